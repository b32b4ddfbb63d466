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
  // Every message creating a visible overlapped window or a visible child of the (active)
  // frame sends, to the new window or to the frame.
  struct Case {
    const char* id;
    UINT msg;
    bool child;
    bool frameRaises;
  };
  const Case cases[] = {
      {"create-1", WM_GETMINMAXINFO, false, false},
      {"create-2", WM_NCCREATE, false, false},
      {"create-3", WM_NCCALCSIZE, false, false},
      {"create-4", WM_CREATE, false, false},
      {"create-5", WM_SIZE, false, false},
      {"create-6", WM_MOVE, false, false},
      {"create-7", WM_SHOWWINDOW, false, false},
      {"create-8", WM_WINDOWPOSCHANGING, false, false},
      {"create-9", WM_NCACTIVATE, false, true},
      {"create-10", WM_ACTIVATE, false, true},
      {"create-11", WM_NCACTIVATE, false, false},
      {"create-12", WM_ACTIVATE, false, false},
      {"create-13", WM_KILLFOCUS, false, true},
      {"create-14", WM_SETFOCUS, false, false},
      {"create-15", WM_NCPAINT, false, false},
      {"create-16", WM_ERASEBKGND, false, false},
      {"create-17", WM_WINDOWPOSCHANGED, false, false},
      {"create-18", WM_NCCREATE, true, false},
      {"create-19", WM_NCCALCSIZE, true, false},
      {"create-20", WM_CREATE, true, false},
      {"create-21", WM_SIZE, true, false},
      {"create-22", WM_MOVE, true, false},
      {"create-23", WM_PARENTNOTIFY, true, true},
      {"create-24", WM_SHOWWINDOW, true, false},
      {"create-25", WM_WINDOWPOSCHANGING, true, false},
      {"create-26", WM_NCPAINT, true, false},
      {"create-27", WM_ERASEBKGND, true, false},
      {"create-28", WM_WINDOWPOSCHANGED, true, false},
  };
  HWND frame = Make("frame", WS_POPUP | WS_VISIBLE, {0, 0, 400, 300});
  // Drawing objects made once and kept (the caption font) are not counted as leaks.
  DestroyWindow(Make("warm-up", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {50, 50, 250, 200}));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const size_t windows = WindowCount(), dcs = WindowDCCount(), objects = gdi_internal::LiveObjectCount();
    HWND made = nullptr;
    raised = false;
    SetActiveWindow(frame);
    Watch("w", c.frameRaises ? 0 : c.msg, &made);
    Watch("frame", c.frameRaises ? c.msg : 0);
    const DWORD style = c.child ? WS_CHILD : WS_OVERLAPPEDWINDOW;
    EXPECT_THROW(Make("w", style | WS_VISIBLE, {10, 10, 210, 160}, c.child ? frame : nullptr), TRaise);
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
  enum TVia { kUpdateWindow, kQueue, kEraseNow };  // how WM_PAINT (or the erasing) is asked for
  struct Case {
    const char* id;
    UINT msg;  // WM_PAINT raises between BeginPaint and EndPaint
    TVia via;
    bool stillInvalid;  // raised before the update region was taken
  };
  const Case cases[] = {
      {"paint-1", WM_PAINT, kUpdateWindow, false},      {"paint-2", WM_PAINT, kQueue, false},
      {"paint-3", WM_ERASEBKGND, kUpdateWindow, false}, {"paint-4", WM_ERASEBKGND, kQueue, false},
      {"paint-5", WM_NCPAINT, kUpdateWindow, true},     {"paint-6", WM_NCPAINT, kQueue, true},
      {"paint-7", WM_ERASEBKGND, kEraseNow, true},      {"paint-8", WM_NCPAINT, kEraseNow, true},
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
    EXPECT_THROW(c.via == kQueue      ? Pump()
                 : c.via == kEraseNow ? void(RedrawWindow(w, nullptr, nullptr, RDW_ERASENOW))
                                      : void(UpdateWindow(w)),
                 TRaise);
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
