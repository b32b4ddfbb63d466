// Drop-down forms: the modal and the non-modal protocol, the values that travel, closing on
// loss of activation, the shared instance of a class, placement; and the call parameters.
#include <gtest/gtest.h>

#include "grid/foundation/DropDownFormEh.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Input.h"
#include "platform/win/WinTesting.h"

namespace {

// A form with an edit and an OK button; the edit shows the "Value" variable and gives it back.
class TTestDropDownForm : public TCustomDropDownFormEh {
  RTL_CLASS(TTestDropDownForm, TCustomDropDownFormEh)
 public:
  explicit TTestDropDownForm(TComponent* AOwner) : TCustomDropDownFormEh(AOwner, 0) {
    SetBounds(0, 0, 150, 100);
    edit = new TEdit(this);
    edit->SetParent(this);
    edit->SetBounds(5, 5, 100, 21);
    ok = new TButton(this);
    ok->SetParent(this);
    ok->SetBounds(5, 40, 60, 25);
    ok->SetCaption("OK");
    ok->SetModalResult(mrOk);
    OnInitForm = [this](TCustomDropDownFormEh*, TDynVarsEh* p) {
      ++inits;
      edit->SetText(p ? p->GetDynVar("Value")->AsString() : "");
    };
    OnReturnParams = [this](TCustomDropDownFormEh*, TDynVarsEh* p) {
      ++returns;
      p->GetDynVar("Value")->SetValue(Variant(edit->Text()));
    };
  }
  ~TTestDropDownForm() override {
    if (destroyed) *destroyed = true;
  }

  TEdit* edit;
  TButton* ok;
  int inits = 0;
  int returns = 0;
  bool* destroyed = nullptr;
};
RTL_IMPLEMENT_CLASS(TTestDropDownForm)

class TUnsharedDropDownForm : public TTestDropDownForm {
  RTL_CLASS(TUnsharedDropDownForm, TTestDropDownForm)
 public:
  explicit TUnsharedDropDownForm(TComponent* AOwner) : TTestDropDownForm(AOwner) {}

 protected:
  bool KeepsSharedInstance() const override { return false; }
};
RTL_IMPLEMENT_CLASS(TUnsharedDropDownForm)

// A form whose window is owned by another window.
class TOwnedDialog : public TForm {
  RTL_CLASS(TOwnedDialog, TForm)
 public:
  TOwnedDialog(TComponent* AOwner, HWND AOwnerWindow) : TForm(AOwner, 0), ownerWindow(AOwnerWindow) {}
  void CreateParams(TCreateParams& Params) override {
    inherited::CreateParams(Params);
    Params.WndParent = ownerWindow;
  }
  HWND ownerWindow;
};
RTL_IMPLEMENT_CLASS(TOwnedDialog)

struct TCallbackRecord {
  TCustomForm* form;
  bool accept;
  TDynVarsEh* dyn;
  TDropDownFormSysParams* sys;
  std::string value;  // the Value variable as the callback saw it
};

class DropDownFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    main = new TForm(Application, 0);
    main->AfterConstruction();
    main->SetBounds(100, 100, 400, 300);
    host = new TEdit(main);
    host->SetParent(main);
    host->SetBounds(20, 30, 200, 21);
    main->Show();
    Application->ProcessMessages();
    form = Construct<TTestDropDownForm>(Application);
    params.CreateDynVar("Value", Variant(std::string("start")));
  }
  void TearDown() override { ResetVcl(); }

  void ClickOn(TControl* c) {
    const TPoint p = c->ClientToScreen(TPoint{c->Width() / 2, c->Height() / 2});
    WinTesting::Click(POINT{p.X, p.Y});
  }
  std::string Value() { return params.GetDynVar("Value")->AsString(); }
  TDropDownFormCallbackProcEh Recorder() {
    return [this](TCustomForm* f, bool accept, TDynVarsEh* dyn, TDropDownFormSysParams* sys) {
      calls.push_back({f, accept, dyn, sys, dyn ? dyn->GetDynVar("Value")->AsString() : ""});
    };
  }
  TRect ScreenRectOf(TWinControl* c) {
    TRect r;
    GetWindowRect(c->Handle(), &r);
    return r;
  }

  TForm* main = nullptr;
  TEdit* host = nullptr;
  TTestDropDownForm* form = nullptr;
  TDynVarsEh params;
  TDropDownFormSysParams sys;
  std::vector<TCallbackRecord> calls;
};

TEST_F(DropDownFormTest, OffersTheInterface) {
  IDropDownFormEh* intf = Supports<IDropDownFormEh>(form);
  ASSERT_NE(intf, nullptr);
  EXPECT_FALSE(intf->GetReadOnly());
  int changes = 0;
  form->OnReadOnlyChanged = [&](TObject*) { ++changes; };
  intf->SetReadOnly(true);
  intf->SetReadOnly(true);
  EXPECT_TRUE(intf->GetReadOnly());
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(Supports<IDropDownFormEh>(main), nullptr);
}

// --- modal ---

TEST_F(DropDownFormTest, ModalOkReturnsTheValues) {
  WinTesting::Schedule([&] {
    EXPECT_TRUE(form->Visible());
    EXPECT_TRUE(form->Modal());
    EXPECT_EQ(form->edit->Text(), "start");
    EXPECT_EQ(form->DynParams(), &params);
    form->edit->SetText("changed");
    ClickOn(form->ok);
  });
  EXPECT_TRUE(form->Execute(host, nullptr, daLeft, &params));
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(form->inits, 1);
  EXPECT_EQ(form->returns, 1);
  EXPECT_EQ(Value(), "changed");
  EXPECT_EQ(form->DynParams(), nullptr);
}

TEST_F(DropDownFormTest, ModalCancelKeepsTheValues) {
  struct Case {
    const char* name;
    std::function<void(TTestDropDownForm*)> end;
  };
  const Case cases[] = {
      {"escape", [](TTestDropDownForm*) { WinTesting::KeyPress(VK_ESCAPE); }},
      {"close", [](TTestDropDownForm* f) { f->Close(); }},
      {"hide", [](TTestDropDownForm* f) { f->Hide(); }},
      {"result", [](TTestDropDownForm* f) { f->SetModalResult(mrAbort); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WinTesting::Schedule([&] {
      form->edit->SetText("changed");
      c.end(form);
    });
    EXPECT_FALSE(form->Execute(host, nullptr, daLeft, &params));
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(Value(), "start");
  }
  EXPECT_EQ(form->returns, 0);
}

// --- non-modal ---

TEST_F(DropDownFormTest, NomodalOkReturnsTheValuesThenCallsBackOnce) {
  form->ExecuteNomodal(host, nullptr, daLeft, &params, &sys, Recorder());
  Application->ProcessMessages();
  EXPECT_TRUE(form->Visible());
  EXPECT_TRUE(form->NomodalExecuting());
  EXPECT_FALSE(form->Modal());
  EXPECT_EQ(form->edit->Text(), "start");
  EXPECT_TRUE(calls.empty());

  form->edit->SetText("picked");
  ClickOn(form->ok);
  Application->ProcessMessages();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].form, form);
  EXPECT_TRUE(calls[0].accept);
  EXPECT_EQ(calls[0].dyn, &params);
  EXPECT_EQ(calls[0].sys, &sys);
  EXPECT_EQ(calls[0].value, "picked");  // returned before the callback
  EXPECT_FALSE(form->Visible());
  EXPECT_FALSE(form->NomodalExecuting());
  EXPECT_EQ(form->DynParams(), nullptr);
  EXPECT_EQ(form->SysParams(), nullptr);

  form->Close();
  form->Hide();
  Application->ProcessMessages();
  EXPECT_EQ(calls.size(), 1u);
}

TEST_F(DropDownFormTest, NomodalClosingWithoutOkDoesNotReturnValues) {
  struct Case {
    const char* name;
    std::function<void(TTestDropDownForm*)> end;
  };
  const Case cases[] = {
      {"close", [](TTestDropDownForm* f) { f->Close(); }},
      {"hide", [](TTestDropDownForm* f) { f->Hide(); }},
      {"escape", [](TTestDropDownForm*) { WinTesting::KeyPress(VK_ESCAPE); }},
      {"result", [](TTestDropDownForm* f) { f->SetModalResult(mrCancel); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    calls.clear();
    form->ExecuteNomodal(host, nullptr, daLeft, &params, &sys, Recorder());
    Application->ProcessMessages();
    form->edit->SetText("changed");
    c.end(form);
    // A modal result alone waits for the next input to reach the form.
    if (std::string(c.name) == "result") ClickOn(form->edit);
    Application->ProcessMessages();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_FALSE(calls[0].accept);
    EXPECT_EQ(calls[0].value, "start");
    EXPECT_FALSE(form->Visible());
  }
  EXPECT_EQ(form->returns, 0);
}

TEST_F(DropDownFormTest, NomodalOkFromAButtonDeeperInTheForm) {
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(70, 30, 75, 60);
  form->ok->SetParent(panel);
  form->ok->SetBounds(5, 5, 60, 25);
  form->ExecuteNomodal(host, nullptr, daLeft, &params, &sys, Recorder());
  Application->ProcessMessages();
  form->edit->SetText("deep");
  ClickOn(form->ok);
  Application->ProcessMessages();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_TRUE(calls[0].accept);
  EXPECT_EQ(calls[0].value, "deep");
}

TEST_F(DropDownFormTest, NomodalResultSetWhileAChildHandlesInput) {
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(70, 30, 75, 60);
  auto* inner = new TEdit(form);
  inner->SetParent(panel);
  inner->SetBounds(5, 5, 60, 21);
  inner->OnChange = [&](TObject*) {
    if (inner->Text() == "y") form->SetModalResult(mrOk);
  };
  form->ExecuteNomodal(host, nullptr, daLeft, &params, &sys, Recorder());
  Application->ProcessMessages();
  inner->SetFocus();
  Application->ProcessMessages();
  Input::Char(U'y');
  Application->ProcessMessages();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_TRUE(calls[0].accept);
}

TEST_F(DropDownFormTest, NomodalFormClosesWhenItLosesActivation) {
  form->ExecuteNomodal(host, nullptr, daLeft, &params, &sys, Recorder());
  Application->ProcessMessages();
  EXPECT_EQ(GetActiveWindow(), form->Handle());
  ClickOn(host);  // the click that activates the main form
  Application->ProcessMessages();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_FALSE(calls[0].accept);
  EXPECT_FALSE(form->Visible());
}

TEST_F(DropDownFormTest, OwnedWindowsDoNotCloseTheForm) {
  form->ExecuteNomodal(host, nullptr, daLeft, &params, &sys, Recorder());
  Application->ProcessMessages();
  // A dialog of the form's own takes the activation without closing it.
  auto* dialog = new TOwnedDialog(form, form->Handle());
  dialog->AfterConstruction();
  dialog->SetBounds(500, 500, 100, 80);
  dialog->Show();
  Application->ProcessMessages();
  EXPECT_EQ(GetActiveWindow(), dialog->Handle());
  EXPECT_TRUE(calls.empty());
  EXPECT_TRUE(form->Visible());
}

TEST_F(DropDownFormTest, CallbackMayStartTheNextCall) {
  TDynVarsEh second;
  int nested = 0;
  form->ExecuteNomodal(
      host, nullptr, daLeft, &params, &sys, [&](TCustomForm*, bool, TDynVarsEh*, TDropDownFormSysParams*) {
        // The first call is over before its callback runs.
        EXPECT_FALSE(form->NomodalExecuting());
        form->ExecuteNomodal(host, nullptr, daLeft, &second, nullptr,
                             [&](TCustomForm*, bool, TDynVarsEh*, TDropDownFormSysParams*) { ++nested; });
      });
  Application->ProcessMessages();
  form->Close();
  Application->ProcessMessages();
  EXPECT_TRUE(form->NomodalExecuting());
  EXPECT_EQ(form->DynParams(), &second);
  form->Close();
  Application->ProcessMessages();
  EXPECT_EQ(nested, 1);
}

TEST_F(DropDownFormTest, ANewCallEndsTheOpenOneWithoutAccepting) {
  form->ExecuteNomodal(host, nullptr, daLeft, &params, &sys, Recorder());
  Application->ProcessMessages();
  TDynVarsEh second;
  second.CreateDynVar("Value", Variant(std::string("two")));
  form->ExecuteNomodal(host, nullptr, daLeft, &second, &sys, Recorder());
  Application->ProcessMessages();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_FALSE(calls[0].accept);
  EXPECT_EQ(calls[0].dyn, &params);
  EXPECT_TRUE(form->Visible());
  EXPECT_EQ(form->edit->Text(), "two");
  form->Close();  // before the second parameter set goes
  EXPECT_EQ(calls.size(), 2u);
}

TEST_F(DropDownFormTest, FreeFormOnCloseReleasesTheFormAfterTheCallback) {
  bool destroyed = false;
  form->destroyed = &destroyed;
  sys.SetFreeFormOnClose(true);
  form->ExecuteNomodal(
      host, nullptr, daLeft, &params, &sys,
      [&](TCustomForm*, bool, TDynVarsEh*, TDropDownFormSysParams*) { EXPECT_FALSE(destroyed); });
  Application->ProcessMessages();
  form->Close();
  Application->ProcessMessages();
  EXPECT_TRUE(destroyed);
}

TEST_F(DropDownFormTest, CallsWhoseFormFailsToStartAreForgotten) {
  form->OnInitForm = [](TCustomDropDownFormEh*, TDynVarsEh*) { throw Exception("init failed"); };
  EXPECT_THROW(form->Execute(host, nullptr, daLeft, &params), Exception);
  EXPECT_EQ(form->DynParams(), nullptr);
  EXPECT_THROW(form->ExecuteNomodal(host, nullptr, daLeft, &params, &sys, Recorder()), Exception);
  EXPECT_FALSE(form->NomodalExecuting());
  EXPECT_EQ(form->DynParams(), nullptr);
  EXPECT_EQ(form->SysParams(), nullptr);
  form->Close();
  Application->ProcessMessages();
  EXPECT_TRUE(calls.empty());
}

TEST_F(DropDownFormTest, CallbackThatRaisesStillEndsTheCall) {
  bool destroyed = false;
  form->destroyed = &destroyed;
  int callbacks = 0;
  auto raising = [&](TCustomForm*, bool, TDynVarsEh*, TDropDownFormSysParams*) {
    ++callbacks;
    throw Exception("callback failed");
  };
  form->ExecuteNomodal(host, nullptr, daLeft, &params, &sys, raising);
  Application->ProcessMessages();
  EXPECT_THROW(form->Close(), Exception);
  EXPECT_EQ(callbacks, 1);
  // The next call ends normally and calls back once.
  form->ExecuteNomodal(host, nullptr, daLeft, &params, &sys, Recorder());
  Application->ProcessMessages();
  form->Close();
  Application->ProcessMessages();
  EXPECT_EQ(calls.size(), 1u);
  // A form freed on close goes even when the callback raises.
  sys.SetFreeFormOnClose(true);
  form->ExecuteNomodal(host, nullptr, daLeft, &params, &sys, raising);
  Application->ProcessMessages();
  EXPECT_THROW(form->Close(), Exception);
  Application->ProcessMessages();
  EXPECT_EQ(callbacks, 2);
  EXPECT_TRUE(destroyed);
}

TEST_F(DropDownFormTest, FreeingAnOpenFormEndsTheCall) {
  form->ExecuteNomodal(host, nullptr, daLeft, &params, &sys, Recorder());
  Application->ProcessMessages();
  form->Free();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_FALSE(calls[0].accept);
}

// --- shared instances ---

TEST_F(DropDownFormTest, EachClassSharesItsFirstForm) {
  EXPECT_EQ(TCustomDropDownFormEh::GetGlobalRef<TTestDropDownForm>(), form);
  auto* second = Construct<TTestDropDownForm>(Application);
  EXPECT_EQ(TCustomDropDownFormEh::GetGlobalRef<TTestDropDownForm>(), form);
  form->Free();
  EXPECT_EQ(TCustomDropDownFormEh::GetGlobalRef<TTestDropDownForm>(), nullptr);
  second->Free();

  auto* unshared = static_cast<TUnsharedDropDownForm*>(
      ConstructComponent(TUnsharedDropDownForm::StaticClass(), Application));
  EXPECT_EQ(TCustomDropDownFormEh::GetGlobalRef<TUnsharedDropDownForm>(), nullptr);
  unshared->Free();
}

// --- placement ---

TEST_F(DropDownFormTest, PlacedNextToTheHost) {
  const TRect work = Screen->WorkAreaRect();
  struct Case {
    const char* name;
    int hostLeft, hostTop;  // in the main form's client area
    TDropDownAlign align;
    bool above;
  };
  const Case cases[] = {
      {"left", 20, 30, daLeft, false},
      {"right", 20, 30, daRight, false},
      {"centre", 20, 30, daCenter, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    host->SetBounds(c.hostLeft, c.hostTop, 200, 21);
    form->ExecuteNomodal(host, nullptr, c.align, &params, &sys, Recorder());
    Application->ProcessMessages();
    const TRect h = ScreenRectOf(host), f = ScreenRectOf(form);
    EXPECT_EQ(f.Top, h.Bottom);
    const int expectLeft = c.align == daLeft    ? h.Left
                           : c.align == daRight ? h.Right - f.Width()
                                                : h.Left + (h.Width() - f.Width()) / 2;
    EXPECT_EQ(f.Left, expectLeft);
    form->Close();
    Application->ProcessMessages();
  }
  // No room below: above the host. Pushed inside the work area on the right.
  main->SetBounds(work.Right - 120, work.Bottom - 80, 120, 80);
  host->SetBounds(0, 0, 100, 21);
  form->ExecuteNomodal(host, nullptr, daLeft, &params, &sys, Recorder());
  Application->ProcessMessages();
  const TRect h = ScreenRectOf(host), f = ScreenRectOf(form);
  EXPECT_EQ(f.Bottom, h.Top);
  EXPECT_EQ(f.Right, work.Right);
}

// --- call parameters ---

TEST(DropDownFormCallParamsTest, DefaultsChangesAndAssign) {
  ResetVcl();
  TDropDownFormCallParamsEh p;
  EXPECT_EQ(p.DropDownForm(), nullptr);
  EXPECT_EQ(p.Align(), daCenter);
  EXPECT_EQ(p.PassParams(), pspFieldValueEh);
  EXPECT_EQ(p.FormWidth(), -1);
  EXPECT_EQ(p.FormHeight(), -1);
  EXPECT_TRUE(p.SaveFormSize());

  int changes = 0;
  p.OnChanged = [&](TObject* Sender) {
    EXPECT_EQ(Sender, &p);
    ++changes;
  };
  const std::function<void()> setters[] = {
      [&] { p.SetDropDownFormClassName("TFoo"); },
      [&] { p.SetAlign(daRight); },
      [&] { p.SetPassParams(pspRecordValuesEh); },
      [&] { p.SetPassFieldNames("A;B"); },
      [&] { p.SetAssignBackFieldNames("B"); },
      [&] { p.SetFormWidth(200); },
      [&] { p.SetFormHeight(120); },
      [&] { p.SetSaveFormSize(false); },
  };
  for (const auto& set : setters) {
    const int before = changes;
    set();
    EXPECT_EQ(changes, before + 1);
    set();  // the same value again changes nothing
    EXPECT_EQ(changes, before + 1);
  }

  auto* f = new TForm(Application, 0);
  f->AfterConstruction();
  p.SetDropDownForm(f);
  TDropDownFormCallParamsEh copy;
  copy.Assign(&p);
  EXPECT_EQ(copy.DropDownForm(), f);
  EXPECT_EQ(copy.DropDownFormClassName(), "TFoo");
  EXPECT_EQ(copy.Align(), daRight);
  EXPECT_EQ(copy.PassParams(), pspRecordValuesEh);
  EXPECT_EQ(copy.PassFieldNames(), "A;B");
  EXPECT_EQ(copy.AssignBackFieldNames(), "B");
  EXPECT_EQ(copy.FormWidth(), 200);
  EXPECT_EQ(copy.FormHeight(), 120);
  EXPECT_FALSE(copy.SaveFormSize());

  // Both forget the form when it goes.
  f->Free();
  EXPECT_EQ(p.DropDownForm(), nullptr);
  EXPECT_EQ(copy.DropDownForm(), nullptr);
  ResetVcl();
}

TEST(DropDownFormCallParamsTest, PublishedPropertiesAndEditorSysParams) {
  const TClassInfo* info = TDropDownFormCallParamsEh::StaticClass();
  for (const char* name : {"DropDownForm", "DropDownFormClassName", "Align", "PassParams", "PassFieldNames",
                           "AssignBackFieldNames", "FormWidth", "FormHeight", "SaveFormSize"}) {
    SCOPED_TRACE(name);
    EXPECT_NE(info->FindProp(name), nullptr);
  }
  TEditControlDropDownFormSysParams sys;
  EXPECT_FALSE(sys.FreeFormOnClose());
  EXPECT_EQ(sys.EditControl(), nullptr);
  EXPECT_EQ(sys.EditButton(), nullptr);
  EXPECT_TRUE(sys.InheritsFrom(TDropDownFormSysParams::StaticClass()));
}

}  // namespace
