// Non-client painting: the frame-changed order with real WM_NCPAINT and WM_ERASEBKGND, the
// pixels of borders and edges, the caption on activation, and WM_PRINT.
#include "tests/platform/win/MessageLog.h"
#include "tests/support/SurfacePixels.h"

namespace wintest {
namespace {

using test_support::SurfacePixel;

uint32_t Px(COLORREF c) {  // a system colour as a surface pixel
  return (static_cast<uint32_t>(GetRValue(c)) << 16) | (static_cast<uint32_t>(GetGValue(c)) << 8) |
         GetBValue(c);
}

class TNonClientPaintTest : public TWinTest {};

TEST_F(TNonClientPaintTest, FrameChangedPaintsFrameAndBackgroundBeforePosChanged) {
  HWND w = Make("w", WS_POPUP | WS_VISIBLE, {0, 0, 100, 50});
  Pump();
  SetWindowLong(w, GWL_STYLE, GetWindowLong(w, GWL_STYLE) | WS_BORDER);
  Log().Clear();
  SetWindowPos(w, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Pump();
  EXPECT_TRUE(SequenceIs(Log().Sequence({WM_NCPAINT, WM_ERASEBKGND, WM_PAINT}),
                         {"w WM_WINDOWPOSCHANGING", "w WM_NCCALCSIZE 1", "w WM_NCPAINT", "w WM_ERASEBKGND",
                          "w WM_WINDOWPOSCHANGED", "w WM_MOVE", "w WM_SIZE 0", "w WM_PAINT"}));
  // The new border is on the surface.
  EXPECT_EQ(SurfacePixel(w, 0, 0), Px(GetSysColor(COLOR_WINDOWFRAME)));
  EXPECT_EQ(SurfacePixel(w, 1, 1), Px(GetSysColor(COLOR_WINDOW)));
}

TEST_F(TNonClientPaintTest, BorderAndEdgePixels) {
  struct Case {
    const char* name;
    DWORD style, exStyle;
    std::vector<std::pair<POINT, int>> pixels;  // window point, system colour
  };
  const Case cases[] = {
      {"thin border", WS_POPUP | WS_BORDER, 0, {{{0, 0}, COLOR_WINDOWFRAME}, {{99, 59}, COLOR_WINDOWFRAME}}},
      {"client edge",
       WS_POPUP,
       WS_EX_CLIENTEDGE,
       {{{0, 0}, COLOR_3DSHADOW},
        {{1, 1}, COLOR_3DDKSHADOW},
        {{99, 59}, COLOR_3DHIGHLIGHT},
        {{2, 2}, COLOR_WINDOW}}},
      {"dialog frame",
       WS_POPUP | WS_DLGFRAME,
       0,
       {{{0, 5}, COLOR_3DLIGHT},
        {{2, 5}, COLOR_3DFACE},
        {{99, 5}, COLOR_3DDKSHADOW},
        {{3, 5}, COLOR_WINDOW}}},
      {"size box between bars", WS_POPUP | WS_VSCROLL | WS_HSCROLL, 0, {{{95, 55}, COLOR_3DFACE}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND w = Make("w", c.style | WS_VISIBLE, {0, 0, 100, 60}, nullptr, c.exStyle);
    Pump();
    for (const auto& [p, color] : c.pixels) {
      SCOPED_TRACE(testing::Message() << "(" << p.X << ", " << p.Y << ")");
      EXPECT_EQ(SurfacePixel(w, p.X, p.Y), Px(GetSysColor(color)));
    }
    DestroyWindow(w);
  }
}

TEST_F(TNonClientPaintTest, CaptionFollowsActivation) {
  HWND a = Make("a", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 200, 100});
  Pump();
  const int y = GetSystemMetrics(SM_CYFRAME) + 3, x = 60;  // caption band, left of the text
  EXPECT_EQ(SurfacePixel(a, x + 60, y), Px(GetSysColor(COLOR_ACTIVECAPTION)));
  HWND b = Make("b", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {300, 0, 500, 100});
  Pump();
  EXPECT_EQ(GetActiveWindow(), b);
  EXPECT_EQ(SurfacePixel(a, x + 60, y), Px(GetSysColor(COLOR_INACTIVECAPTION)));
  // lParam -1 leaves the painting to the caller.
  DefWindowProc(a, WM_NCACTIVATE, TRUE, -1);
  EXPECT_EQ(SurfacePixel(a, x + 60, y), Px(GetSysColor(COLOR_INACTIVECAPTION)));
}

TEST_F(TNonClientPaintTest, PrintDrawsFrameBackgroundClientAndChildren) {
  HWND w = Make("w", WS_POPUP | WS_BORDER, {0, 0, 60, 40});
  Make("c", WS_CHILD | WS_VISIBLE | WS_BORDER, {10, 10, 30, 30}, w);
  HDC mem = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateBitmap(60, 40, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(mem, bmp);
  Log().Clear();
  // Hidden: PRF_CHECKVISIBLE prints nothing.
  SendMessage(w, WM_PRINT, reinterpret_cast<WPARAM>(mem), PRF_CHECKVISIBLE | PRF_CLIENT);
  EXPECT_TRUE(Log().Only({WM_PRINTCLIENT, WM_ERASEBKGND}).empty());
  SendMessage(w, WM_PRINT, reinterpret_cast<WPARAM>(mem),
              PRF_NONCLIENT | PRF_ERASEBKGND | PRF_CLIENT | PRF_CHILDREN);
  EXPECT_EQ(Log().Only({WM_PRINT, WM_PRINTCLIENT, WM_ERASEBKGND}),
            (std::vector<std::string>{"w WM_PRINT", "w WM_ERASEBKGND", "w WM_PRINTCLIENT", "c WM_PRINT",
                                      "c WM_ERASEBKGND", "c WM_PRINTCLIENT"}));
  const COLORREF frame = GetSysColor(COLOR_WINDOWFRAME), window = GetSysColor(COLOR_WINDOW);
  EXPECT_EQ(GetPixel(mem, 0, 0), frame);
  EXPECT_EQ(GetPixel(mem, 5, 5), window);
  EXPECT_EQ(GetPixel(mem, 11, 11), frame);  // the child's border: client (1, 1) + child (10, 10)
  EXPECT_EQ(GetPixel(mem, 15, 15), window);
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
}

}  // namespace
}  // namespace wintest
