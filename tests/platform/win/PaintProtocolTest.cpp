// The painting protocol: update regions, WM_PAINT's place in retrieval and its order, the
// erase flag of BeginPaint, children under WS_CLIPCHILDREN, and window DCs drawing into the
// right place of the top-level surface.
#include "platform/rtl/Clock.h"
#include "platform/win/Caret.h"
#include "platform/win/PaintingInternal.h"
#include "tests/platform/win/MessageLog.h"
#include "tests/support/SurfacePixels.h"

namespace wintest {
namespace {

using test_support::SurfacePixel;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr uint32_t kRedPixel = 0xFF0000;

class TPaintProtocolTest : public TWinTest {
 protected:
  // Paints everything pending, then starts the log afresh.
  static void Settle() {
    Pump();
    Log().Clear();
  }
  static void FillClient(HWND h, COLORREF color) {
    HDC dc = GetDC(h);
    RECT r;
    GetClientRect(h, &r);
    HBRUSH b = CreateSolidBrush(color);
    FillRect(dc, &r, b);
    DeleteObject(b);
    ReleaseDC(h, dc);
  }
};

TEST_F(TPaintProtocolTest, InvalidRectanglesAccumulateAndPaintValidates) {
  HWND w = Make("w", WS_POPUP | WS_VISIBLE, {0, 0, 100, 80});
  Settle();
  RECT r;
  EXPECT_FALSE(GetUpdateRect(w, &r, FALSE));
  const RECT first{10, 10, 20, 20};
  InvalidateRect(w, &first, FALSE);
  RECT more{30, 5, 40, 15};
  InvalidateRect(w, &more, FALSE);
  EXPECT_TRUE(GetUpdateRect(w, &r, FALSE));
  EXPECT_EQ(r, (RECT{10, 5, 40, 20}));
  ValidateRect(w, &more);
  GetUpdateRect(w, &r, FALSE);
  EXPECT_EQ(r, (RECT{10, 10, 20, 20}));
  // Outside the client area counts for nothing.
  RECT outside{200, 200, 300, 300};
  InvalidateRect(w, &outside, FALSE);
  GetUpdateRect(w, &r, FALSE);
  EXPECT_EQ(r, (RECT{10, 10, 20, 20}));
  Pump();
  EXPECT_FALSE(GetUpdateRect(w, &r, FALSE));
  EXPECT_EQ(Log().Only({WM_PAINT}), (std::vector<std::string>{"w WM_PAINT"}));
}

TEST_F(TPaintProtocolTest, PaintComesAfterPostedMessagesAndInputAndBeforeTimers) {
  HWND w = Make("w", WS_POPUP | WS_VISIBLE, {0, 0, 100, 80});
  Settle();
  SetTimer(w, 1, 10);
  VirtualClock::Advance(20);
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_TIMER));
  InvalidateRect(w, nullptr, TRUE);
  PostMessage(w, WM_USER, 0, 0);
  std::vector<UINT> order;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    order.push_back(msg.message);
    DispatchMessage(&msg);
    if (msg.message == WM_TIMER) KillTimer(w, 1);
  }
  EXPECT_EQ(order, (std::vector<UINT>{WM_USER, WM_PAINT, WM_TIMER}));
  // WM_PAINT stays in the queue until the window is validated: PM_REMOVE does not take it.
  InvalidateRect(w, nullptr, FALSE);
  ASSERT_TRUE(PeekMessage(&msg, w, WM_PAINT, WM_PAINT, PM_REMOVE));
  EXPECT_TRUE(PeekMessage(&msg, w, WM_PAINT, WM_PAINT, PM_REMOVE));
  ValidateRect(w, nullptr);
  EXPECT_FALSE(PeekMessage(&msg, w, WM_PAINT, WM_PAINT, PM_REMOVE));
}

TEST_F(TPaintProtocolTest, EraseFlagFollowsTheEraseAnswer) {
  struct Case {
    const char* name;
    BOOL invalidateErase;
    std::optional<LRESULT> eraseAnswer;  // nullopt: DefWindowProc (the class brush)
    bool eraseSent;
    BOOL fErase;
  };
  const Case cases[] = {
      {"handled", TRUE, 1, true, FALSE},
      {"refused", TRUE, 0, true, TRUE},
      {"class brush", TRUE, std::nullopt, true, FALSE},
      {"no erase asked", FALSE, 1, false, FALSE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND w = Make("w", WS_POPUP | WS_VISIBLE, {0, 0, 100, 80});
    Settle();
    PAINTSTRUCT seen;
    bool erased = false;
    Log().Handle("w", [&](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
      if (m == WM_ERASEBKGND) {
        erased = true;
        return c.eraseAnswer;
      }
      if (m != WM_PAINT) return std::nullopt;
      BeginPaint(h, &seen);
      EndPaint(h, &seen);
      return 0;
    });
    RECT r{5, 6, 50, 40};
    InvalidateRect(w, &r, c.invalidateErase);
    Pump();
    EXPECT_EQ(erased, c.eraseSent);
    EXPECT_EQ(seen.fErase, c.fErase);
    EXPECT_EQ(seen.rcPaint, r);
    Log().Handle("w", nullptr);
    DestroyWindow(w);
  }
}

TEST_F(TPaintProtocolTest, ParentsPaintBeforeChildrenAndClipChildrenKeepsThemOut) {
  for (DWORD clip : {0u, static_cast<unsigned>(WS_CLIPCHILDREN)}) {
    SCOPED_TRACE(clip ? "WS_CLIPCHILDREN" : "no clipping");
    HWND p = Make("p", WS_POPUP | WS_VISIBLE | clip, {0, 0, 200, 100});
    Make("a", WS_CHILD | WS_VISIBLE, {10, 10, 60, 60}, p);
    Make("b", WS_CHILD | WS_VISIBLE, {100, 10, 150, 60}, p);
    Settle();
    RECT overA{0, 0, 50, 50};  // reaches into a only
    InvalidateRect(p, &overA, TRUE);
    Pump();
    const std::vector<std::string> expected =
        clip ? std::vector<std::string>{"p WM_PAINT"} : std::vector<std::string>{"p WM_PAINT", "a WM_PAINT"};
    EXPECT_EQ(Log().Only({WM_PAINT}), expected);
    DestroyWindow(p);
  }
}

TEST_F(TPaintProtocolTest, ShowingAWindowPaintsFrameBackgroundThenClient) {
  HWND w = Make("w", WS_POPUP | WS_BORDER, {0, 0, 100, 80});
  Settle();
  ShowWindow(w, SW_SHOWNA);
  Pump();
  EXPECT_EQ(Log().Only({WM_NCPAINT, WM_ERASEBKGND, WM_PAINT}),
            (std::vector<std::string>{"w WM_NCPAINT", "w WM_ERASEBKGND", "w WM_PAINT"}));
  // The class brush (COLOR_WINDOW) filled the client area; the border has its own colour.
  EXPECT_EQ(SurfacePixel(w, 50, 40), 0xFFFFFFu);
  EXPECT_NE(SurfacePixel(w, 0, 0), 0xFFFFFFu);
}

TEST_F(TPaintProtocolTest, WindowDCsDrawAtTheirPlaceInTheTopLevelSurface) {
  HWND top = Make("top", WS_POPUP | WS_VISIBLE | WS_BORDER, {300, 200, 500, 350});
  HWND child = Make("child", WS_CHILD | WS_VISIBLE, {10, 20, 40, 50}, top);
  Settle();
  FillClient(child, kRed);
  // Border 1, then the child's place in the client area.
  EXPECT_EQ(SurfacePixel(top, 11, 21), kRedPixel);
  EXPECT_EQ(SurfacePixel(top, 40, 50), kRedPixel);
  EXPECT_NE(SurfacePixel(top, 41, 51), kRedPixel);
  EXPECT_NE(SurfacePixel(top, 10, 20), kRedPixel);
  // A window DC starts at the window's corner, GetDC at the client's.
  HDC dc = GetWindowDC(top);
  SetPixel(dc, 0, 0, RGB(0, 0, 255));
  ReleaseDC(top, dc);
  EXPECT_EQ(SurfacePixel(top, 0, 0), 0x0000FFu);
  EXPECT_EQ(WindowFromDC(dc), nullptr);  // released
}

TEST_F(TPaintProtocolTest, ClippingBySiblingsChildrenAndRegions) {
  struct Case {
    const char* name;
    DWORD parentStyle, childStyle;
    bool region;
    POINT probe;  // surface point
    bool red;
  };
  // Parent client 0..200 x 0..100; child c at (10,10)-(60,60) filled red; sibling s above it
  // at (40,40)-(90,90); grandchild g of c at (0,0)-(10,10).
  const Case cases[] = {
      {"plain child paints over its area", 0, 0, false, {20, 20}, true},
      {"sibling above is painted over without WS_CLIPSIBLINGS", 0, 0, false, {50, 50}, true},
      {"WS_CLIPSIBLINGS spares the sibling above", 0, WS_CLIPSIBLINGS, false, {50, 50}, false},
      {"grandchild painted over without WS_CLIPCHILDREN", 0, 0, false, {12, 12}, true},
      {"WS_CLIPCHILDREN spares the grandchild", 0, WS_CLIPCHILDREN, false, {12, 12}, false},
      {"window region limits the child", 0, 0, true, {35, 35}, false},
      {"inside the window region", 0, 0, true, {15, 15}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND p = Make("p", WS_POPUP | WS_VISIBLE | c.parentStyle, {0, 0, 200, 100});
    HWND s = Make("s", WS_CHILD | WS_VISIBLE, {40, 40, 90, 90}, p);
    HWND ch = Make("c", WS_CHILD | WS_VISIBLE | c.childStyle, {10, 10, 60, 60}, p);
    Make("g", WS_CHILD | WS_VISIBLE, {0, 0, 10, 10}, ch);
    SetWindowPos(s, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (c.region) SetWindowRgn(ch, CreateRectRgn(0, 0, 20, 20), FALSE);
    Settle();
    FillClient(ch, kRed);
    EXPECT_EQ(SurfacePixel(p, c.probe.X, c.probe.Y) == kRedPixel, c.red);
    DestroyWindow(p);
  }
}

TEST_F(TPaintProtocolTest, BeginPaintClipsToTheUpdateRegion) {
  HWND w = Make("w", WS_POPUP | WS_VISIBLE, {0, 0, 100, 80});
  Settle();
  Log().Handle("w", [](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m != WM_PAINT) return std::nullopt;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    RECT all{0, 0, 100, 80};
    HBRUSH b = CreateSolidBrush(kRed);
    FillRect(dc, &all, b);
    DeleteObject(b);
    EndPaint(h, &ps);
    return 0;
  });
  HRGN two = CreateRectRgn(0, 0, 10, 10);
  HRGN second = CreateRectRgn(50, 50, 60, 60);
  CombineRgn(two, two, second, RGN_OR);
  InvalidateRgn(w, two, FALSE);
  DeleteObject(two);
  DeleteObject(second);
  std::vector<RECT> dirty;
  const int id = AddSurfaceObserver([&](HWND, const RECT& r) { dirty.push_back(r); });
  UpdateWindow(w);
  RemoveSurfaceObserver(id);
  EXPECT_EQ(SurfacePixel(w, 5, 5), kRedPixel);
  EXPECT_EQ(SurfacePixel(w, 55, 55), kRedPixel);
  EXPECT_NE(SurfacePixel(w, 30, 30), kRedPixel);
  ASSERT_EQ(dirty.size(), 1u);
  EXPECT_EQ(dirty[0], (RECT{0, 0, 60, 60}));
}

TEST_F(TPaintProtocolTest, ScatteredInvalidationPaintsEveryRectangleWithinABoundedRegion) {
  // 2x2 rectangles on an 8-pixel grid, none touching another; few are kept one by one.
  for (const int count : {10, 300}) {
    SCOPED_TRACE(count);
    HWND w = Make("w", WS_POPUP | WS_VISIBLE, {0, 0, 400, 300});
    Settle();
    std::vector<RECT> spots;
    for (int i = 0; i < count; ++i) {
      const int x = (i * 7 % 50) * 8, y = (i * 3 % 37) * 8;
      spots.push_back(RECT{x, y, x + 2, y + 2});
      InvalidateRect(w, &spots.back(), FALSE);
    }
    HRGN update = CreateRectRgn(0, 0, 0, 0);
    GetUpdateRgn(w, update, FALSE);
    const size_t rects = win_internal::RegionOf(update)->Rects().size();
    EXPECT_EQ(rects, count == 10 ? 10u : 1u);  // past the bound, the bounding box
    int covered = 0;
    for (const RECT& r : spots)
      covered += PtInRegion(update, r.Left, r.Top) && PtInRegion(update, r.Right - 1, r.Bottom - 1);
    EXPECT_EQ(covered, count);
    EXPECT_EQ(PtInRegion(update, 5, 5), count == 10 ? FALSE : TRUE);
    DeleteObject(update);
    DestroyWindow(w);
  }
}

TEST_F(TPaintProtocolTest, RedrawWindowFlags) {
  HWND p = Make("p", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, {0, 0, 200, 100});
  Make("c", WS_CHILD | WS_VISIBLE, {10, 10, 60, 60}, p);
  Settle();
  RedrawWindow(p, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  EXPECT_EQ(Log().Only({WM_PAINT}), (std::vector<std::string>{"p WM_PAINT", "c WM_PAINT"}));
  RedrawWindow(p, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ERASENOW);
  EXPECT_EQ(Log().Only({WM_NCPAINT, WM_ERASEBKGND, WM_PAINT}),
            (std::vector<std::string>{"p WM_NCPAINT", "p WM_ERASEBKGND"}));
  RedrawWindow(p, nullptr, nullptr, RDW_VALIDATE);
  MSG msg;
  EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));
  // Hidden windows keep no update region.
  ShowWindow(p, SW_HIDE);
  InvalidateRect(p, nullptr, TRUE);
  RECT r;
  EXPECT_FALSE(GetUpdateRect(p, &r, FALSE));
}

TEST_F(TPaintProtocolTest, TheCaretIsHiddenBetweenBeginPaintAndEndPaint) {
  HWND w = Make("w", WS_POPUP | WS_VISIBLE, {0, 0, 100, 80});
  Settle();
  ASSERT_TRUE(CreateCaret(w, nullptr, 2, 12));
  ShowCaret(w);
  ASSERT_TRUE(IsCaretDrawn());
  bool drawnWhilePainting = true;
  Log().Handle("w", [&](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m != WM_PAINT) return std::nullopt;
    PAINTSTRUCT ps;
    BeginPaint(h, &ps);
    drawnWhilePainting = IsCaretDrawn();
    EndPaint(h, &ps);
    return 0;
  });
  InvalidateRect(w, nullptr, FALSE);
  UpdateWindow(w);
  EXPECT_FALSE(drawnWhilePainting);
  EXPECT_TRUE(IsCaretDrawn());
  DestroyCaret();
}

}  // namespace
}  // namespace wintest
