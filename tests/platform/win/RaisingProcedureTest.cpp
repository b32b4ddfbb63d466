// Window procedures that raise: creation undoes the half-made window, destruction completes,
// painting ends its paint, and in each case the error reaches the caller.
#include <stdexcept>

#include "platform/gdi/HandleTable.h"
#include "platform/win/WindowManager.h"
#include "tests/platform/win/MessageLog.h"

namespace wintest {
namespace {

using TRaise = std::runtime_error;
using win_internal::WindowCount;
using win_internal::WindowDCCount;

class TRaisingProcedureTest : public TWinTest {
 protected:
  // `name` raises the first time it receives `msg` (0: never) and notes its handle in `seen`.
  // Painting windows begin a paint at WM_PAINT and raise (at WM_PAINT) before ending it.
  void Watch(const std::string& name, UINT msg, HWND* seen = nullptr, bool paints = false) {
    Log().Handle(name, [=, this](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
      if (seen) *seen = h;
      PAINTSTRUCT ps;
      if (paints && m == WM_PAINT) BeginPaint(h, &ps);
      if (m == msg && !raised) {
        raised = true;
        throw TRaise("raised by a window procedure");
      }
      if (!paints || m != WM_PAINT) return std::nullopt;
      EndPaint(h, &ps);
      return 0;
    });
  }
  bool raised = false;
};

TEST_F(TRaisingProcedureTest, CreationThatRaisesLeavesNoWindowBehind) {
  enum TKind { kTop, kChild, kParentOfChild };  // a visible overlapped window or child; who raises
  struct Case {
    const char* id;
    UINT msg;
    TKind kind;
  };
  const Case cases[] = {
      {"create-1", WM_GETMINMAXINFO, kTop},
      {"create-2", WM_NCCREATE, kTop},
      {"create-3", WM_NCCALCSIZE, kTop},
      {"create-4", WM_CREATE, kTop},
      {"create-5", WM_SIZE, kTop},
      {"create-6", WM_MOVE, kTop},
      {"create-7", WM_SHOWWINDOW, kTop},
      {"create-8", WM_WINDOWPOSCHANGING, kTop},
      {"create-9", WM_NCACTIVATE, kTop},
      {"create-10", WM_ACTIVATE, kTop},
      {"create-11", WM_SETFOCUS, kTop},
      {"create-12", WM_NCPAINT, kTop},
      {"create-13", WM_ERASEBKGND, kTop},
      {"create-14", WM_WINDOWPOSCHANGED, kTop},
      {"create-15", WM_NCCREATE, kChild},
      {"create-16", WM_CREATE, kChild},
      {"create-17", WM_PARENTNOTIFY, kParentOfChild},
      {"create-18", WM_SHOWWINDOW, kChild},
      {"create-19", WM_ERASEBKGND, kChild},
      {"create-20", WM_WINDOWPOSCHANGED, kChild},
  };
  HWND frame = Make("frame", WS_POPUP | WS_VISIBLE, {0, 0, 400, 300});
  // Drawing objects made once and kept (the caption font) are not counted as leaks.
  DestroyWindow(Make("warm-up", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {50, 50, 250, 200}));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const size_t windows = WindowCount(), dcs = WindowDCCount(), objects = gdi_internal::LiveObjectCount();
    HWND made = nullptr;
    raised = false;
    Watch("w", c.kind == kParentOfChild ? 0 : c.msg, &made);
    Watch("frame", c.kind == kParentOfChild ? c.msg : 0);
    const DWORD style = c.kind == kTop ? WS_OVERLAPPEDWINDOW : WS_CHILD;
    EXPECT_THROW(Make("w", style | WS_VISIBLE, {10, 10, 210, 160}, c.kind == kTop ? nullptr : frame), TRaise);
    EXPECT_TRUE(raised);
    EXPECT_FALSE(IsWindow(made));
    EXPECT_EQ(WindowCount(), windows);
    EXPECT_EQ(WindowDCCount(), dcs);
    EXPECT_EQ(gdi_internal::LiveObjectCount(), objects);
  }
  Log().Handle("frame", {});
  DestroyWindow(frame);
  EXPECT_TRUE(UnregisterClass(kLogClass, MainInstance()));  // no window of the class survived
}

TEST_F(TRaisingProcedureTest, DestructionThatRaisesStillDestroysEveryWindow) {
  const std::pair<const char*, UINT> cases[] = {
      {"frame", WM_DESTROY},    {"a", WM_DESTROY},
      {"a1", WM_DESTROY},       {"b", WM_DESTROY},
      {"a1", WM_NCDESTROY},     {"a", WM_NCDESTROY},
      {"b", WM_NCDESTROY},      {"frame", WM_NCDESTROY},
      {"owned", WM_DESTROY},    {"owned", WM_NCDESTROY},
      {"frame", WM_NCACTIVATE}, {"frame", WM_ACTIVATE},
      {"frame", WM_KILLFOCUS},  {"frame", WM_WINDOWPOSCHANGING},
  };
  // DestroyWindow(frame) sends these whether or not something raises.
  const std::vector<std::string> kOrder = {
      "owned WM_DESTROY", "owned WM_NCDESTROY", "frame WM_DESTROY", "a WM_DESTROY",   "a1 WM_DESTROY",
      "b WM_DESTROY",     "a1 WM_NCDESTROY",    "a WM_NCDESTROY",   "b WM_NCDESTROY", "frame WM_NCDESTROY"};
  for (const auto& [raiser, msg] : cases) {
    SCOPED_TRACE(std::string(raiser) + " " + MessageName(msg));
    HWND frame = Make("frame", WS_POPUP | WS_VISIBLE, {0, 0, 300, 300});
    HWND a = Make("a", WS_CHILD | WS_VISIBLE, {0, 0, 50, 50}, frame);
    HWND a1 = Make("a1", WS_CHILD | WS_VISIBLE, {0, 0, 10, 10}, a);
    HWND b = Make("b", WS_CHILD | WS_VISIBLE, {60, 0, 100, 50}, frame);
    HWND owned = Make("owned", WS_POPUP, {0, 0, 50, 50}, frame);
    raised = false;
    Watch(raiser, msg);
    Log().Clear();
    EXPECT_THROW(DestroyWindow(frame), TRaise);
    EXPECT_TRUE(raised);
    EXPECT_TRUE(SequenceIs(Log().Only({WM_DESTROY, WM_NCDESTROY}), kOrder));
    for (HWND h : {frame, a, a1, b, owned}) EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(WindowCount(), 0u);
    EXPECT_EQ(GetFocus(), nullptr);
    Log().Handle(raiser, {});
  }
}

TEST_F(TRaisingProcedureTest, PaintingThatRaisesEndsItsPaint) {
  struct Case {
    const char* id;
    UINT msg;           // WM_PAINT raises between BeginPaint and EndPaint
    bool dispatched;    // WM_PAINT through the queue, else UpdateWindow
    bool stillInvalid;  // raised (at the frame) before BeginPaint took the update region
  };
  const Case cases[] = {
      {"paint-1", WM_PAINT, false, false},      {"paint-2", WM_PAINT, true, false},
      {"paint-3", WM_ERASEBKGND, false, false}, {"paint-4", WM_ERASEBKGND, true, false},
      {"paint-5", WM_NCPAINT, false, true},     {"paint-6", WM_NCPAINT, true, true},
  };
  HWND w = Make("w", WS_POPUP | WS_VISIBLE | WS_BORDER, {0, 0, 200, 100});
  Pump();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const size_t dcs = WindowDCCount(), objects = gdi_internal::LiveObjectCount();
    raised = false;
    Watch("w", c.msg, nullptr, true);
    const RECT r{-5, 10, 50, 30};  // over the border: the frame is due too
    RedrawWindow(w, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    EXPECT_THROW(c.dispatched ? Pump() : void(UpdateWindow(w)), TRaise);
    EXPECT_TRUE(raised);
    EXPECT_EQ(WindowDCCount(), dcs);
    EXPECT_EQ(gdi_internal::LiveObjectCount(), objects);
    RECT left{};
    EXPECT_EQ(GetUpdateRect(w, &left, FALSE), c.stillInvalid ? TRUE : FALSE);
    EXPECT_EQ(left, c.stillInvalid ? (RECT{0, 10, 50, 30}) : RECT{});
    ValidateRect(w, nullptr);
  }
}

}  // namespace
}  // namespace wintest
