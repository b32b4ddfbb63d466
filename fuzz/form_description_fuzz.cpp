// Fuzz target for forms read from text descriptions: the input is the text description of a
// form class (standard controls, the data-aware editors, an in-memory data set with persistent
// fields and a data source may appear in it). The form is created from it, shown, painted into
// its in-memory surface, its data sets walked and edited while the controls follow, and freed.
//
// A malformed description must refuse with a library exception and leave nothing behind; a
// form that loads must show, paint and go away without a crash, a leak or a broken data set.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <typeinfo>
#include <vector>

#include "grid/editors/EditorsRegistryEh.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/rtl/Filer.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Windows.h"

namespace {

class TFuzzForm : public TForm {
  RTL_CLASS(TFuzzForm, TForm)
 public:
  explicit TFuzzForm(TComponent* AOwner) : TForm(AOwner) {}
};

const bool registered = [] {
  RegisterClasses({TFuzzForm::StaticClass(), TMemoryDataSet::StaticClass()});
  return true;
}();

void Pump() {
  Application->ProcessMessages();
}

// Walks and edits every open in-memory data set of the form; the data-aware controls follow.
void ExerciseData(TForm* form) {
  std::vector<TMemoryDataSet*> sets;
  for (int i = 0; i < form->ComponentCount(); ++i)
    if (auto* ds = dynamic_cast<TMemoryDataSet*>(form->Components(i))) sets.push_back(ds);
  for (TMemoryDataSet* ds : sets) {
    try {
      if (!ds->Active() && ds->FieldCount() > 0) ds->Open();
      if (!ds->Active()) continue;
      ds->Append();
      Pump();
      ds->Post();
      Pump();
      ds->First();
      Pump();
      ds->Last();
      Pump();
      ds->Edit();
      Pump();
      ds->Cancel();
      ds->Delete();
      Pump();
    } catch (const Exception&) {
      // refusals of the data set (a required field, an invalid value) are its right
      if (ds->State() == dsEdit || ds->State() == dsInsert) ds->Cancel();
    }
    ds->CheckConsistency();
  }
}

}  // namespace

RTL_IMPLEMENT_CLASS(TFuzzForm)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!registered || size > 16 * 1024) return 0;
  const std::string text(reinterpret_cast<const char*>(data), size);
  ResetVcl();
  RegisterGridEditorClasses();
  // Exceptions that the message loop catches land here instead of in a message box.
  Application->OnException = [](TObject*, const Exception&) {};
  RegisterDescription("TFuzzForm", text);
  TFuzzForm* form = nullptr;
  try {
    Application->CreateForm(form);
  } catch (const Exception&) {
    form = nullptr;
  }
  UnregisterDescription("TFuzzForm");
  if (form) {
    // A description may ask for a size beyond any screen; the surface is then left out.
    const bool paintable =
        form->Width() > 0 && form->Height() > 0 && form->Width() <= 2000 && form->Height() <= 2000;
    try {
      if (paintable) {
        form->Show();
        Pump();
        UpdateWindow(form->Handle());
        ExerciseData(form);
        InvalidateRect(form->Handle(), nullptr, true);
        UpdateWindow(form->Handle());
        form->Hide();
        Pump();
      }
    } catch (const Exception&) {
    }
    delete form;
  }
  ResetVcl();
  return 0;
}
