// What the editor tests share: a shown form with an editor bound through a data source to an
// in-memory data set, input helpers that pump the messages they cause, and a grid stand-in
// that hosts an editor in place.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "grid/foundation/InplaceEditHolderEh.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Input.h"
#include "platform/win/WinTesting.h"

namespace editor_test {

inline void Pump() {
  Application->ProcessMessages();
}

inline void Focus(TWinControl* c) {
  c->SetFocus();
  Pump();
}

inline void Type(const std::string& s) {
  WinTesting::Type(s);
  Pump();
}

inline void Key(int vk) {
  WinTesting::KeyPress(vk);
  Pump();
}

// Puts text on the clipboard as the given window.
inline void SetClipboardText(HWND owner, const std::string& s) {
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  SetClipboardData(CF_TEXT, GlobalAllocFrom(s.c_str(), s.size() + 1));
  CloseClipboard();
}

// The component as a textual window description.
inline std::string AsText(TComponent* c) {
  TMemoryStream bin;
  bin.WriteComponent(c);
  bin.SetPosition(0);
  TStringStream text;
  ObjectBinaryToText(bin, text);
  return text.DataString();
}

// A grid stand-in that hosts an editor: it can refuse changes, eat one key and one character,
// counts the messages it is shown and logs the arrow keys that reach it.
class TTestHolderEh : public TCustomControl, public IInplaceEditHolderEh {
 public:
  explicit TTestHolderEh(TComponent* AOwner) : TCustomControl(AOwner) {}
  bool GetInterface(const TGUID& iid, void*& obj) override {
    if (iid == IInplaceEditHolderEh::IID) {
      obj = static_cast<IInplaceEditHolderEh*>(this);
      return true;
    }
    return TCustomControl::GetInterface(iid, obj);
  }
  bool InplaceEditCanModify(TControl*) override { return canModify; }
  void GetMouseDownInfo(TPoint& Pos, int32_t& Time) override {
    Pos = TPoint{-1000, -1000};
    Time = 0;
  }
  void InplaceEditWndProc(TControl*, TMessage&) override { ++messages; }
  void InplaceEditKeyDown(TControl*, Word& Key, TShiftState) override {
    if (Key == VK_UP || Key == VK_DOWN) log += "holder ";
    if (Key == eatKey) Key = 0;
  }
  void InplaceEditKeyPress(TControl*, char32_t& Key) override {
    if (Key == eatChar) Key = 0;
  }
  void InplaceEditKeyUp(TControl*, Word&, TShiftState) override {}

  bool canModify = false;
  int messages = 0;
  Word eatKey = 0;
  char32_t eatChar = 0;
  std::string log;
};

// A borderless form at (100, 100) holding the editor under test, another edit to move the focus
// to, and a data set (owned by the form) behind a data source. SetUp resets the controls, builds
// the form with MakeForm, adds the fields and rows to ds, then calls PlaceControls.
template <class Editor>
class EditorFormTest : public ::testing::Test {
 protected:
  void MakeForm(int width, int height) {
    form = new TForm(Application, 0);
    form->AfterConstruction();
    form->SetBorderStyle(bsNone);
    form->SetBounds(100, 100, width, height);
    ds = new TMemoryDataSet(form);
  }
  // Opens the data set's first row and shows the form with the editor and the other edit.
  void PlaceControls(const TRect& editor, const TRect& otherEdit) {
    ds->First();
    src = new TDataSource(form);
    src->SetDataSet(ds);
    ed = new Editor(form);
    ed->SetParent(form);
    ed->SetBounds(editor.Left, editor.Top, editor.Width(), editor.Height());
    other = new TEdit(form);
    other->SetParent(form);
    other->SetBounds(otherEdit.Left, otherEdit.Top, otherEdit.Width(), otherEdit.Height());
    form->Show();
    Pump();
  }

  static void Pump() { editor_test::Pump(); }
  static void Focus(TWinControl* c) { editor_test::Focus(c); }
  static void Type(const std::string& s) { editor_test::Type(s); }
  static void Key(int vk) { editor_test::Key(vk); }
  static void AltKey(int vk) {
    Input::KeyDown(VK_MENU);
    WinTesting::KeyPress(vk);
    Input::KeyUp(VK_MENU);
    Pump();
  }
  void Bind(const char* field) {
    ed->SetDataSource(src);
    ed->SetDataField(field);
  }
  void Wheel(int delta) {
    const TPoint p = ed->ClientToScreen(TPoint{20, 10});
    Input::MouseWheel(delta, POINT{p.X, p.Y});
    Pump();
  }
  void Paste(const std::string& s) {
    editor_test::SetClipboardText(ed->Handle(), s);
    SendMessage(ed->Handle(), WM_PASTE, 0, 0);
    Pump();
  }
  Variant FieldValue(const char* name) { return ds->FieldByName(name)->Value(); }

  TForm* form = nullptr;
  TMemoryDataSet* ds = nullptr;
  TDataSource* src = nullptr;
  Editor* ed = nullptr;
  TEdit* other = nullptr;
};

}  // namespace editor_test
