// The default push button of a dialog: DM_SETDEFID and DM_GETDEFID through DefDlgProc, and the
// default frame (BS_DEFPUSHBUTTON) that follows the focus among the push buttons and returns to
// the default id's button when another kind of control takes the focus.
#include "tests/platform/win/ControlTestUtil.h"

namespace wintest {
namespace {

constexpr int kOk = 1, kCancel = 2, kApply = 3, kEdit = 4;

class TDialogDefaultButtonTest : public TControlTest {
 protected:
  void SetUp() override {
    TControlTest::SetUp();
    // The parent is a dialog: what the dialog manager answers, it answers.
    parentHandler_ = [this](UINT m, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
      if (keepsDefault_ && (m == DM_GETDEFID || m == DM_SETDEFID)) return DefDlgProc(parent_, m, w, l);
      return std::nullopt;
    };
    ok_ = Control(WC_BUTTON, "OK", BS_DEFPUSHBUTTON, RECT{10, 50, 85, 73}, kOk);
    cancel_ = Control(WC_BUTTON, "Cancel", BS_PUSHBUTTON, RECT{95, 50, 170, 73}, kCancel);
    apply_ = Control(WC_BUTTON, "Apply", BS_PUSHBUTTON, RECT{180, 50, 255, 73}, kApply);
    edit_ = Control(WC_EDIT, "text", ES_AUTOHSCROLL, RECT{10, 10, 170, 30}, kEdit);
  }
  void TearDown() override {
    parentHandler_ = nullptr;
    TControlTest::TearDown();
  }

  // Which of OK, Cancel and Apply carry the default frame, by style ("D" or "-") and by what
  // they paint (a frame in the window-frame colour around the face).
  std::string Styles() const {
    std::string out;
    for (HWND b : {ok_, cancel_, apply_})
      out += (GetWindowLong(b, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON ? 'D' : '-';
    return out;
  }
  std::string Painted() const {
    std::string out;
    const COLORREF frame = GetSysColor(COLOR_WINDOWFRAME);
    for (HWND b : {ok_, cancel_, apply_}) {
      int frames = 0;
      const TDrawLog log = TControlTest::Painted(b);
      for (const TDrawCall* call : log.OfKind(TDrawKind::FrameRect))
        if (call->Color == frame) ++frames;
      out += frames == 1 ? 'D' : frames == 0 ? '-' : '?';
    }
    return out;
  }
  static void ClickCentre(HWND h) {
    RECT r;
    GetClientRect(h, &r);
    ClickAt(h, r.Width() / 2, r.Height() / 2);
  }
  // Presses the button and lets go outside it: the focus moves, nothing is clicked.
  static void PressAndSlideOff(HWND h) {
    Input::MouseDown(VK_LBUTTON, ScreenPoint(h, 5, 5));
    Input::MouseMove(ScreenPoint(h, 5, 60));
    Input::MouseUp(VK_LBUTTON, ScreenPoint(h, 5, 60));
    Pump();
  }

  bool keepsDefault_ = true;
  HWND ok_ = nullptr, cancel_ = nullptr, apply_ = nullptr, edit_ = nullptr;
};

// Focus moves by the mouse and DM_SETDEFID through a dialog; before any DM_SETDEFID it answers
// the button created with BS_DEFPUSHBUTTON. The frame stays while the focus is outside.
TEST_F(TDialogDefaultButtonTest, TheDefaultFrameFollowsTheFocusedPushButton) {
  HWND elsewhere = Make("elsewhere", WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{500, 0, 700, 200});
  struct TStep {
    const char* Id;
    std::function<void()> Act;
    const char* Frames;  // OK, Cancel, Apply
    int DefId;
  };
  const TStep steps[] = {
      {"start", [] {}, "D--", kOk},
      {"setdefid-ok", [this] { SendMessage(parent_, DM_SETDEFID, kOk, 0); }, "D--", kOk},
      {"edit", [this] { ClickCentre(edit_); }, "D--", kOk},
      {"press-cancel", [this] { PressAndSlideOff(cancel_); }, "-D-", kOk},
      {"other-window", [elsewhere] { ClickAt(elsewhere, 50, 50); }, "-D-", kOk},
      {"click-apply", [this] { ClickCentre(apply_); }, "--D", kOk},
      {"back-to-edit", [this] { ClickCentre(edit_); }, "D--", kOk},
      {"setdefid-apply", [this] { SendMessage(parent_, DM_SETDEFID, kApply, 0); }, "--D", kApply},
      {"click-ok", [this] { ClickCentre(ok_); }, "D--", kApply},
      {"setdefid-cancel-while-ok-focused", [this] { SendMessage(parent_, DM_SETDEFID, kCancel, 0); }, "D--",
       kCancel},
      {"edit-again", [this] { ClickCentre(edit_); }, "-D-", kCancel},
  };
  for (const TStep& step : steps) {
    SCOPED_TRACE(step.Id);
    step.Act();
    EXPECT_EQ(Styles(), step.Frames);
    EXPECT_EQ(Painted(), step.Frames);
    EXPECT_EQ(SendMessage(parent_, DM_GETDEFID, 0, 0), MAKELRESULT(step.DefId, DC_HASDEFID));
    // The dialog code follows the style, so the dialog keys find the default button.
    EXPECT_EQ(SendMessage(ok_, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON,
              step.Frames[0] == 'D' ? DLGC_DEFPUSHBUTTON : 0);
  }
}

// A parent that keeps no default id (a plain window, or a form of the class library, which
// moves the frame itself): pushing another button changes no style.
TEST_F(TDialogDefaultButtonTest, WithoutADialogTheStylesStayAsCreated) {
  keepsDefault_ = false;
  EXPECT_EQ(SendMessage(parent_, DM_GETDEFID, 0, 0), 0);
  ClickCentre(cancel_);
  ClickCentre(edit_);
  PressAndSlideOff(apply_);
  EXPECT_EQ(Styles(), "D--");
  EXPECT_EQ(Painted(), "D--");
}

// The window system's message box is such a dialog: pressing No (and sliding off, so nothing
// is answered) takes the frame from Yes; Enter then answers the focused No.
TEST_F(TDialogDefaultButtonTest, TheMessageBoxFrameFollowsThePressedButton) {
  std::string frames;
  WinTesting::Schedule([] { PressAndSlideOff(GetDlgItem(GetActiveWindow(), IDNO)); });
  WinTesting::Schedule([&frames] {
    HWND box = GetActiveWindow();
    for (int id : {IDYES, IDNO, IDCANCEL})
      frames += (GetWindowLong(GetDlgItem(box, id), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON ? 'D' : '-';
    WinTesting::KeyPress(VK_RETURN);
  });
  EXPECT_EQ(MessageBox(parent_, "Save?", "caption", MB_YESNOCANCEL), IDNO);
  EXPECT_EQ(frames, "-D-");
}

}  // namespace
}  // namespace wintest
