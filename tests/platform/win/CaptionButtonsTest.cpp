// The caption's close, maximise and minimise buttons pressed with the mouse: the system command
// a click sends, the buttons that do not act, the pushed look that follows the pointer while
// the button is held, and the ways a press ends without a command.
#include "platform/gdi/DrawRecorder.h"
#include "platform/win/PaintingInternal.h"
#include "tests/platform/win/MessageLog.h"
#include "tests/support/SurfacePixels.h"

namespace wintest {
namespace {

constexpr DWORD kFrameStyle = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
const RECT kStart{100, 100, 400, 300};
class TCaptionButtonsTest : public TWinTest {
 protected:
  // A frame whose system commands are noted as "syscommand F060" before the default handles them.
  HWND Frame(DWORD style = kFrameStyle, const char* cls = kLogClass) {
    HWND w = Make("w", style, kStart, nullptr, 0, cls);
    Log().Handle("w", [](HWND, UINT m, WPARAM wp, LPARAM) -> std::optional<LRESULT> {
      if (m == WM_SYSCOMMAND) {
        char text[32];
        std::snprintf(text, sizeof text, "syscommand %04X", static_cast<unsigned>(wp & 0xFFF0));
        Log().Note(text);
      }
      return std::nullopt;
    });
    Pump();
    Log().Clear();
    return w;
  }

  // The middle of a caption button, counted from the right: 0 close, 1 maximise, 2 minimise.
  static POINT ButtonPoint(HWND w, int fromRight) {
    RECT r;
    GetWindowRect(w, &r);
    const int size = GetSystemMetrics(SM_CXSIZE);
    return POINT{r.Right - GetSystemMetrics(SM_CXFRAME) - size * fromRight - size / 2,
                 r.Top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2};
  }
  static POINT CaptionPoint(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    return POINT{(r.Left + r.Right) / 2,
                 r.Top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2};
  }
  static LRESULT HitAt(HWND w, POINT p) { return SendMessage(w, WM_NCHITTEST, 0, MAKELPARAM(p.X, p.Y)); }
  static RECT WindowRectOf(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    return r;
  }

  // "pushed" or "raised" for each drawing of a caption button (DFCS_CAPTIONCLOSE, ...) in the log.
  static std::vector<std::string> Looks(const TDrawLog& log, UINT button = DFCS_CAPTIONCLOSE) {
    std::vector<std::string> looks;
    for (const TDrawCall* c : log.OfKind(TDrawKind::FrameControl))
      if (c->Note == "DFC_CAPTION" && (c->Flags & 0xFF) == button)
        looks.push_back((c->Flags & DFCS_PUSHED) ? "pushed" : "raised");
    return looks;
  }
};

TEST_F(TCaptionButtonsTest, ClickOnAButtonSendsItsSystemCommand) {
  enum TSetUp { kPlain, kMaximized, kClassWithoutClose, kGreyedClose };
  struct Case {
    const char* id;
    DWORD style;
    TSetUp setUp;
    int button;           // from the right: 0 close, 1 maximise, 2 minimise
    const char* command;  // nullptr: the click does nothing
    const char* after;    // "gone", "zoomed", "iconic", "normal"
  };
  const Case cases[] = {
      {"close", kFrameStyle, kPlain, 0, "syscommand F060", "gone"},
      {"maximise", kFrameStyle, kPlain, 1, "syscommand F030", "zoomed"},
      {"restore a maximised window", kFrameStyle, kMaximized, 1, "syscommand F120", "normal"},
      {"minimise", kFrameStyle, kPlain, 2, "syscommand F020", "iconic"},
      {"no maximise box", kFrameStyle & ~WS_MAXIMIZEBOX, kPlain, 1, nullptr, "normal"},
      {"no minimise box", kFrameStyle & ~WS_MINIMIZEBOX, kPlain, 2, nullptr, "normal"},
      {"class without close", kFrameStyle, kClassWithoutClose, 0, nullptr, "normal"},
      {"close greyed in the system menu", kFrameStyle, kGreyedClose, 0, nullptr, "normal"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    // The double-click class serves no other row: it may lose its close button.
    HWND w = Frame(c.style, c.setUp == kClassWithoutClose ? kLogDblClass : kLogClass);
    if (c.setUp == kClassWithoutClose) SetClassLong(w, GCL_STYLE, CS_NOCLOSE);
    if (c.setUp == kMaximized) ShowWindow(w, SW_MAXIMIZE);
    if (c.setUp == kGreyedClose) EnableMenuItem(GetSystemMenu(w, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    Pump();
    Log().Clear();
    const POINT p = ButtonPoint(w, c.button);
    ASSERT_EQ(HitAt(w, p), c.button == 0 ? HTCLOSE : c.button == 1 ? HTMAXBUTTON : HTMINBUTTON);
    WinTesting::Click(p);
    Pump();
    const auto notes = Log().Only({});
    EXPECT_EQ(notes, c.command ? std::vector<std::string>{c.command} : std::vector<std::string>{});
    EXPECT_EQ(GetCapture(), nullptr);
    const std::string after = !IsWindow(w)  ? "gone"
                              : IsZoomed(w) ? "zoomed"
                              : IsIconic(w) ? "iconic"
                                            : "normal";
    EXPECT_EQ(after, c.after);
    if (after == "zoomed") {
      RECT work;
      SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
      InflateRect(work, GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CYFRAME));
      EXPECT_EQ(WindowRectOf(w), work);
    }
    if (after == "iconic") {
      EXPECT_NE(GetActiveWindow(), w);
      SendMessage(w, WM_SYSCOMMAND, SC_RESTORE, 0);
    }
    if (after != "gone" && after != "zoomed") {
      EXPECT_EQ(WindowRectOf(w), kStart);
    }
    if (IsWindow(w)) DestroyWindow(w);
  }
}

TEST_F(TCaptionButtonsTest, CloseClickMessageOrder) {
  // A click on the close button of an active frame: the release ends the press (the loop takes
  // the button-up itself), the capture goes, then the command closes the window.
  HWND w = Frame();
  const POINT p = ButtonPoint(w, 0);
  WinTesting::Click(p);
  Pump();
  EXPECT_TRUE(SequenceIs(Log().Only({WM_NCLBUTTONDOWN, WM_NCLBUTTONUP, WM_LBUTTONUP, WM_CAPTURECHANGED,
                                     WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}),
                         {"w WM_NCLBUTTONDOWN ht20", "w WM_CAPTURECHANGED 0", "w WM_SYSCOMMAND",
                          "syscommand F060", "w WM_CLOSE", "w WM_DESTROY"}));
}

// The close button's look as drawn and, while pressed and after, on the surface.
TEST_F(TCaptionButtonsTest, ButtonLooksPushedOnlyWhileThePointerIsOverIt) {
  struct Case {
    const char* id;
    std::vector<int> path;  // moves while held: 1 over the close button, 0 over the caption
    bool releaseOver;
    std::vector<std::string> looks;  // the close button as drawn, from the press on
    bool closes;
  };
  const Case cases[] = {
      {"straight click", {}, true, {"pushed", "raised"}, true},
      {"moves within the button", {1, 1}, true, {"pushed", "raised"}, true},
      {"leaves and lets go outside", {0}, false, {"pushed", "raised"}, false},
      {"leaves, comes back, lets go over it", {0, 1}, true, {"pushed", "raised", "pushed", "raised"}, true},
      {"comes back and leaves again", {0, 1, 0}, false, {"pushed", "raised", "pushed", "raised"}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    HWND w = Frame();
    TDrawLog draws;
    win_internal::SetWindowDrawRecorder(w, &draws);
    const POINT over = ButtonPoint(w, 0), away = CaptionPoint(w);
    // On the surface: the outer corner of the button face, 1 x 2 pixels inside its hit zone.
    const RECT r = WindowRectOf(w);
    const POINT face{r.Right - GetSystemMetrics(SM_CXFRAME) - GetSystemMetrics(SM_CXSIZE) + 1,
                     r.Top + GetSystemMetrics(SM_CYFRAME) + 2};
    EXPECT_EQ(test_support::ScreenPixel(w, face), GetSysColor(COLOR_3DHIGHLIGHT));
    COLORREF pressed = 0;
    Input::MouseMove(over);
    Input::MouseDown(VK_LBUTTON, over);
    WinTesting::Schedule([&] { pressed = test_support::ScreenPixel(w, face); });
    // One move a step: queued moves coalesce.
    for (int at : c.path) WinTesting::Schedule([p = at ? over : away] { Input::MouseMove(p); });
    WinTesting::Schedule([p = c.releaseOver ? over : away] { Input::MouseUp(VK_LBUTTON, p); });
    Pump();
    EXPECT_EQ(Looks(draws), c.looks);
    EXPECT_EQ(pressed, GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(Log().Only({}),
              c.closes ? std::vector<std::string>{"syscommand F060"} : std::vector<std::string>{});
    EXPECT_EQ(IsWindow(w) == FALSE, c.closes);
    EXPECT_EQ(GetCapture(), nullptr);
    if (IsWindow(w)) {
      EXPECT_EQ(test_support::ScreenPixel(w, face), GetSysColor(COLOR_3DHIGHLIGHT));
      win_internal::SetWindowDrawRecorder(w, nullptr);
      DestroyWindow(w);
    }
  }
}

TEST_F(TCaptionButtonsTest, CancelModeEndsThePressWithoutACommand) {
  HWND w = Frame();
  TDrawLog draws;
  win_internal::SetWindowDrawRecorder(w, &draws);
  const POINT p = ButtonPoint(w, 1);
  Input::MouseMove(p);
  Input::MouseDown(VK_LBUTTON, p);
  WinTesting::Schedule([w] { SendMessage(w, WM_CANCELMODE, 0, 0); });
  Pump();  // the press waits for more input; the scheduled step cancels it
  EXPECT_EQ(GetCapture(), nullptr);
  Input::MouseUp(VK_LBUTTON, p);
  Pump();
  EXPECT_TRUE(Log().Only({}).empty());
  EXPECT_FALSE(IsZoomed(w));
  EXPECT_EQ(Looks(draws, DFCS_CAPTIONMAX), (std::vector<std::string>{"pushed", "raised"}));
  win_internal::SetWindowDrawRecorder(w, nullptr);
}

}  // namespace
}  // namespace wintest
