// Window procedures that raise: creation undoes the half-made window, destruction completes,
// painting ends its paint, and in each case the error reaches the caller.
#include <stdexcept>

#include "platform/gdi/HandleTable.h"
#include "platform/win/WindowManager.h"
#include "tests/platform/win/MessageLog.h"

namespace wintest {
namespace {

using win_internal::WindowCount;
using win_internal::WindowDCCount;

struct TRaise : std::runtime_error {
  TRaise() : std::runtime_error("raised by a window procedure") {}
};

class TRaisingProcedureTest : public TWinTest {
 protected:
  // `name` raises the first time it receives `msg` (0: never) and notes its handle in `seen`.
  void Watch(const std::string& name, UINT msg, HWND* seen = nullptr) {
    Log().Handle(name, [this, msg, seen](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
      if (seen) *seen = h;
      if (m == msg && raised == 0) {
        ++raised;
        throw TRaise();
      }
      return std::nullopt;
    });
  }
  int raised = 0;
};

TEST_F(TRaisingProcedureTest, CreationThatRaisesLeavesNoWindowBehind) {
  struct Case {
    const char* id;
    UINT msg;
    bool child;         // a visible child of the frame, else a visible overlapped window
    bool parentRaises;  // the frame raises, not the new window
  };
  const Case cases[] = {
      {"create-1", WM_GETMINMAXINFO, false, false}, {"create-2", WM_NCCREATE, false, false},
      {"create-3", WM_NCCALCSIZE, false, false},    {"create-4", WM_CREATE, false, false},
      {"create-5", WM_SIZE, false, false},          {"create-6", WM_MOVE, false, false},
      {"create-7", WM_SHOWWINDOW, false, false},    {"create-8", WM_WINDOWPOSCHANGING, false, false},
      {"create-9", WM_NCACTIVATE, false, false},    {"create-10", WM_ACTIVATE, false, false},
      {"create-11", WM_SETFOCUS, false, false},     {"create-12", WM_NCPAINT, false, false},
      {"create-13", WM_ERASEBKGND, false, false},   {"create-14", WM_WINDOWPOSCHANGED, false, false},
      {"create-15", WM_NCCREATE, true, false},      {"create-16", WM_CREATE, true, false},
      {"create-17", WM_PARENTNOTIFY, true, true},   {"create-18", WM_SHOWWINDOW, true, false},
      {"create-19", WM_ERASEBKGND, true, false},    {"create-20", WM_WINDOWPOSCHANGED, true, false},
  };
  HWND frame = Make("frame", WS_POPUP | WS_VISIBLE, {0, 0, 400, 300});
  // Drawing objects made once and kept (fonts of the frame) are not counted as leaks.
  DestroyWindow(Make("warm-up", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {50, 50, 250, 200}));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const size_t windows = WindowCount(), dcs = WindowDCCount();
    const size_t gdiObjects = gdi_internal::LiveObjectCount();
    HWND made = nullptr;
    raised = 0;
    Watch("w", c.parentRaises ? 0 : c.msg, &made);
    Watch("frame", c.parentRaises ? c.msg : 0);
    if (c.child) {
      EXPECT_THROW(Make("w", WS_CHILD | WS_VISIBLE, {10, 10, 60, 40}, frame), TRaise);
    } else {
      EXPECT_THROW(Make("w", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {50, 50, 250, 200}), TRaise);
    }
    EXPECT_EQ(raised, 1);
    ASSERT_NE(made, nullptr);
    EXPECT_FALSE(IsWindow(made));
    EXPECT_EQ(WindowCount(), windows);
    EXPECT_EQ(WindowDCCount(), dcs);
    EXPECT_EQ(gdi_internal::LiveObjectCount(), gdiObjects);
    EXPECT_EQ(GetWindow(frame, GW_CHILD), nullptr);
    Log().Handle("w", {});
    Log().Handle("frame", {});
  }
  DestroyWindow(frame);
  EXPECT_TRUE(UnregisterClass(kLogClass, MainInstance()));  // no window of the class survived
}

TEST_F(TRaisingProcedureTest, DestructionThatRaisesStillDestroysEveryWindow) {
  struct Case {
    const char* id;
    const char* raiser;
    UINT msg;
  };
  const Case cases[] = {
      {"destroy-1", "frame", WM_DESTROY},
      {"destroy-2", "a", WM_DESTROY},
      {"destroy-3", "a1", WM_DESTROY},
      {"destroy-4", "b", WM_DESTROY},
      {"destroy-5", "a1", WM_NCDESTROY},
      {"destroy-6", "a", WM_NCDESTROY},
      {"destroy-7", "b", WM_NCDESTROY},
      {"destroy-8", "frame", WM_NCDESTROY},
      {"destroy-9", "owned", WM_DESTROY},
      {"destroy-10", "owned", WM_NCDESTROY},
      {"destroy-11", "frame", WM_WINDOWPOSCHANGING},
      {"destroy-12", "frame", WM_NCACTIVATE},
      {"destroy-13", "frame", WM_ACTIVATE},
      {"destroy-14", "frame", WM_KILLFOCUS},
  };
  // The order DestroyWindow(frame) sends its messages in when nothing raises.
  const std::vector<std::string> kOrder = {
      "owned WM_DESTROY", "owned WM_NCDESTROY", "frame WM_DESTROY", "a WM_DESTROY",   "a1 WM_DESTROY",
      "b WM_DESTROY",     "a1 WM_NCDESTROY",    "a WM_NCDESTROY",   "b WM_NCDESTROY", "frame WM_NCDESTROY",
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const size_t windows = WindowCount();
    HWND frame = Make("frame", WS_POPUP | WS_VISIBLE, {0, 0, 300, 300});
    HWND a = Make("a", WS_CHILD | WS_VISIBLE, {0, 0, 50, 50}, frame);
    HWND a1 = Make("a1", WS_CHILD | WS_VISIBLE, {0, 0, 10, 10}, a);
    HWND b = Make("b", WS_CHILD | WS_VISIBLE, {60, 0, 100, 50}, frame);
    HWND owned = Make("owned", WS_POPUP, {0, 0, 50, 50}, frame);
    SetActiveWindow(frame);
    raised = 0;
    Watch(c.raiser, c.msg);
    Log().Clear();
    EXPECT_THROW(DestroyWindow(frame), TRaise);
    EXPECT_EQ(raised, 1);
    EXPECT_TRUE(SequenceIs(Log().Only({WM_DESTROY, WM_NCDESTROY}), kOrder));
    for (HWND h : {frame, a, a1, b, owned}) EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(WindowCount(), windows);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
    Log().Handle(c.raiser, {});
  }
  EXPECT_TRUE(UnregisterClass(kLogClass, MainInstance()));
}

TEST_F(TRaisingProcedureTest, PaintingThatRaisesEndsItsPaint) {
  struct Case {
    const char* id;
    UINT msg;           // raised at; WM_PAINT raises between BeginPaint and EndPaint
    bool frame;         // the frame is due too (RDW_FRAME)
    bool dispatched;    // WM_PAINT through the queue, else UpdateWindow
    bool stillInvalid;  // raised before BeginPaint took the update region
  };
  const Case cases[] = {
      {"paint-1", WM_PAINT, false, false, false},      {"paint-2", WM_PAINT, false, true, false},
      {"paint-3", WM_ERASEBKGND, false, false, false}, {"paint-4", WM_ERASEBKGND, false, true, false},
      {"paint-5", WM_NCPAINT, true, false, true},      {"paint-6", WM_NCPAINT, true, true, true},
  };
  HWND w = Make("w", WS_POPUP | WS_VISIBLE | WS_BORDER, {0, 0, 200, 100});
  Pump();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const size_t dcs = WindowDCCount(), gdiObjects = gdi_internal::LiveObjectCount();
    raised = 0;
    Log().Handle("w", [&](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
      if (m == c.msg && m != WM_PAINT && raised == 0) {
        ++raised;
        throw TRaise();
      }
      if (m != WM_PAINT) return std::nullopt;
      PAINTSTRUCT ps;
      BeginPaint(h, &ps);
      if (m == c.msg && raised == 0) {
        ++raised;
        throw TRaise();
      }
      EndPaint(h, &ps);
      return 0;
    });
    const RECT r{-5, 10, 50, 30};  // over the border: RDW_FRAME marks the frame too
    RedrawWindow(w, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | (c.frame ? RDW_FRAME : 0));
    if (c.dispatched) {
      EXPECT_THROW(Pump(), TRaise);
    } else {
      EXPECT_THROW(UpdateWindow(w), TRaise);
    }
    EXPECT_EQ(raised, 1);
    EXPECT_EQ(WindowDCCount(), dcs);
    EXPECT_EQ(gdi_internal::LiveObjectCount(), gdiObjects);
    RECT left{};
    EXPECT_EQ(GetUpdateRect(w, &left, FALSE), c.stillInvalid ? TRUE : FALSE);
    if (c.stillInvalid) {
      EXPECT_EQ(left, (RECT{0, 10, 50, 30}));
    }
    Log().Handle("w", {});
    ValidateRect(w, nullptr);
  }
}

}  // namespace
}  // namespace wintest
