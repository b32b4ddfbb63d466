// The skin drawing routines on small images whose every pixel has its own colour, so each
// probed destination pixel names the source pixel it came from.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/vcl/VclTesting.h"
#include "skin/WinSkinDraw.h"

namespace {

constexpr COLORREF kBack = RGB(1, 2, 3);
constexpr auto Src = [](int x, int y) { return RGB(10 + x, 20 + y, 30); };
constexpr int kKeep = -1;   // probe: the destination is left as it was
constexpr int kWhite = -2;  // probe: a pixel of the composed bitmap that no piece covered

struct TProbe {
  int X, Y, SX, SY;  // destination pixel, source pixel (or kKeep, kWhite)
};

struct TDrawCase {
  const char* Id;
  std::function<void(HDC, TCanvas*)> Draw;
  std::vector<TProbe> Probes;
};

class WinSkinDrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    source.SetSize(12, 12);  // two frames: 6 x 12 side by side, or 12 x 6 stacked
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 12; ++x) source.Canvas()->SetPixels(x, y, static_cast<TColor>(Src(x, y)));
    source.Canvas()->SetPixels(8, 8, kSkinTransparentColor);
  }

  void Run(const std::vector<TDrawCase>& Cases) {
    for (const TDrawCase& c : Cases) {
      SCOPED_TRACE(c.Id);
      TBitmap target;
      target.SetSize(16, 16);
      target.Canvas()->Brush()->SetColor(static_cast<TColor>(kBack));
      target.Canvas()->FillRect(Rect(0, 0, 16, 16));
      c.Draw(target.Canvas()->Handle(), target.Canvas());
      for (const TProbe& p : c.Probes) {
        const COLORREF expected = p.SX == kKeep    ? kBack
                                  : p.SX == kWhite ? RGB(255, 255, 255)
                                                   : Src(p.SX, p.SY);
        EXPECT_EQ(GetPixel(target.Canvas()->Handle(), p.X, p.Y), expected) << "at " << p.X << "," << p.Y;
      }
    }
  }
  TBitmap source;
  TBitmap* s = &source;
};

// A drawing step of a case: dc and c are the target's DC and canvas, s the source image.
#define DRAW(...) [&](HDC dc, TCanvas* c) { __VA_ARGS__; }

// Nine-part: frame 2 of 2 (x 6..12), margins l2 t3 r1 b2, into (1,1)-(11,13): middle 3 x 7 -> 7 x 7.
#define NINE_PART(Tile, Transparent, Count, Index) \
  DRAW(DrawNinePart(dc, Rect(1, 1, 11, 13), s, false, Tile, Transparent, Count, Index, 2, 3, 1, 2))

TEST_F(WinSkinDrawTest, NinePartSlicesStretchesTilesAndClamps) {
  const std::vector<TProbe> slicedFrame2 = {
      {1, 1, 6, 0},  {2, 3, 7, 2}, {10, 1, 11, 0}, {10, 12, 11, 11}, {1, 12, 6, 11},    {1, 4, 6, 3},
      {1, 10, 6, 9}, {3, 4, 8, 3}, {9, 10, 10, 9}, {0, 0, kKeep, 0}, {11, 13, kKeep, 0}};
  Run({
      {"stretch", NINE_PART(false, false, 2, 2), slicedFrame2},
      {"index-above-count", NINE_PART(false, false, 2, 9), slicedFrame2},
      // middle columns 8..10 repeat from x 3, rows 3..9 from y 4; tiles past it lie under the edges
      {"tile",
       NINE_PART(true, false, 2, 2),
       {{3, 4, 8, 3}, {5, 4, 10, 3}, {6, 4, 8, 3}, {9, 4, 8, 3}, {10, 4, 11, 3}, {10, 11, 11, 10}}},
      {"transparent", NINE_PART(false, true, 2, 2), {{3, 9, kKeep, 0}, {3, 4, 8, 3}, {1, 1, 6, 0}}},
      {"count-0-and-index-0",
       NINE_PART(false, false, 0, 0),
       {{1, 1, 0, 0}, {10, 12, 11, 11}, {10, 1, 11, 0}}},
      {"stacked",
       DRAW(DrawNinePart(dc, Rect(0, 0, 12, 6), s, true, false, false, 2, 2, 1, 1, 1, 1)),
       {{0, 0, 0, 6}, {11, 5, 11, 11}, {5, 3, 5, 9}}},
      // l + r (5 + 5) exceed the 8 wide destination: dropped together; t/b kept (edges stretched)
      {"pair-exceeds-destination",
       DRAW(DrawNinePart(dc, Rect(0, 0, 8, 12), s, false, false, false, 2, 1, 5, 2, 5, 2)),
       {{0, 0, 0, 0}, {7, 0, 5, 0}, {4, 1, 3, 1}, {0, 11, 0, 11}, {7, 6, 5, 6}}},
      // margins beyond the frame are clamped to 6, then l + r = 6 + 1 > 6 drops the pair
      {"pair-exceeds-frame",
       DRAW(DrawNinePart(dc, Rect(0, 0, 12, 12), s, false, false, false, 2, 1, 99, -4, 1, 0)),
       {{0, 0, 0, 0}, {11, 11, 5, 11}, {6, 6, 3, 6}}},
      {"inverted",
       DRAW(DrawNinePart(dc, Rect(8, 8, 2, 2), s, false, false, false, 1, 1, 0, 0, 0, 0)),
       {{4, 4, kKeep, 0}}},
  });
}

// The region clips a copy of the source: keyed pixels leave the background.
#define REGION_COPY(Offset, Tolerance, Key)                                                            \
  DRAW(HRGN r = BitmapToRegion(s, Offset, Offset, Tolerance, Tolerance, Tolerance, Key);               \
       SelectClipRgn(dc, r); BitBlt(dc, Offset, Offset, 12, 12, s->Canvas()->Handle(), 0, 0, SRCCOPY); \
       DeleteObject(r); SelectClipRgn(dc, nullptr))

TEST_F(WinSkinDrawTest, StripsFramesTilesAndRegions) {
  Run({
      // caps of 2 and 1, the middle (3 wide) repeated from x 2 while x < 13
      {"three-part",
       DRAW(DrawThreePartTiled(c, Rect(0, 0, 14, 6), s, false, false, 2, 1, 2, 1)),
       {{0, 0, 0, 0}, {1, 5, 1, 10}, {2, 0, 2, 0}, {5, 0, 2, 0}, {12, 0, 3, 0}, {13, 0, 5, 0}}},
      {"three-part-no-middle",
       DRAW(DrawThreePartTiled(c, Rect(0, 0, 10, 12), s, false, false, 2, 1, 4, 3)),
       {{3, 0, 3, 0}, {5, 0, kWhite, 0}, {9, 0, 5, 0}, {7, 0, 3, 0}}},
      {"three-part-transparent",
       DRAW(DrawThreePartTiled(c, Rect(0, 0, 6, 12), s, false, true, 2, 2, 3, 3)),
       {{2, 8, kKeep, 0}, {1, 8, 7, 8}}},
      {"frame-stretched",
       DRAW(DrawBitmapFrame(dc, Rect(2, 2, 14, 8), s, false, 2, 2)),
       {{2, 2, 6, 0}, {13, 7, 11, 10}, {14, 8, kKeep, 0}}},
      {"frame-centred",
       DRAW(DrawBitmapFrameCentered(dc, Rect(0, 0, 15, 14), s, true, 2, 2)),
       {{4, 1, 6, 0}, {9, 12, 11, 11}, {3, 1, kKeep, 0}, {6, 9, kKeep, 0}}},
      // frame 6 x 12 of a 2 x 1 split; caps 1 and 2; the 3-wide middle stretched to 13 - 3 = 10
      {"stretched-horizontal",
       DRAW(DrawStretchedHorizontal(dc, Rect(0, 1, 13, 15), s, false, 2, 1, 1, 2)),
       {{0, 2, 0, 0}, {1, 2, 1, 0}, {10, 2, 3, 0}, {11, 13, 4, 11}, {12, 2, 5, 0}, {0, 1, kKeep, 0}}},
      {"stretched-vertical",
       DRAW(DrawStretchedVertical(dc, Rect(0, 0, 16, 16), s, true, 2, 2, 2, 1)),
       {{2, 0, 0, 6}, {2, 1, 0, 7}, {2, 2, 0, 8}, {2, 14, 0, 10}, {2, 15, 0, 11}, {1, 0, kKeep, 0}}},
      // a source rectangle reaching past the image is clipped to 10..12 x 0..2
      {"tile-clipped-source",
       DRAW(TileBitmap(c, Rect(1, 1, 6, 4), s, Rect(10, 0, 20, 2))),
       {{1, 1, 10, 0}, {2, 2, 11, 1}, {3, 1, 10, 0}, {6, 4, 11, 1}, {7, 1, kKeep, 0}, {0, 0, kKeep, 0}}},
      {"region-magenta-moved",
       REGION_COPY(3, 0, kSkinTransparentColor),
       {{11, 11, kKeep, 0}, {10, 11, 7, 8}, {14, 14, 11, 11}}},
      // key RGB(17, 26, 28) with tolerance 2: red 17..19, green 26..28 (rows 6..8), blue 28..30
      {"region-tolerance",
       REGION_COPY(0, 2, RGB(17, 26, 28)),
       {{7, 8, kKeep, 0}, {9, 6, kKeep, 0}, {6, 8, 6, 8}, {10, 8, 10, 8}, {7, 9, 7, 9}}},
  });
  // No key colour at all: the whole bitmap, gathered in two batches (one rectangle a row).
  TBitmap plain;
  plain.SetSize(40, 3000);
  HRGN full = BitmapToRegion(&plain, 0, 0, 0, 0, 0, kSkinTransparentColor),
       rect = CreateRectRgn(0, 0, 40, 3000);
  EXPECT_TRUE(EqualRgn(full, rect));
  DeleteObject(full);
  DeleteObject(rect);
}

// A parent that paints a 2 x 2 square of colour Src(1, 1) at (12,6) of its client area.
class TSquareParent : public TCustomControl {
 public:
  explicit TSquareParent(TComponent* AOwner) : TCustomControl(AOwner) {}
  void Paint() override {
    Canvas()->Brush()->SetColor(static_cast<TColor>(Src(1, 1)));
    Canvas()->FillRect(Rect(12, 6, 14, 8));
  }
};

TEST_F(WinSkinDrawTest, ParentBackgroundShowsWhatLiesUnderTheControl) {
  auto* parent = new TSquareParent(nullptr);
  parent->SetBounds(0, 0, 40, 30);
  parent->SetColor(static_cast<TColor>(Src(0, 0)));
  auto* child = new TSquareParent(parent);
  child->SetParent(parent);
  child->SetBounds(10, 5, 6, 4);
  // Erased in the parent's colour, its square 2 right and 1 down, nothing outside the control.
  Run({{"under-child",
        DRAW(PaintParentBackground(child, dc)),
        {{0, 0, 0, 0}, {2, 1, 1, 1}, {6, 0, kKeep, 0}, {0, 4, kKeep, 0}}}});
  parent->Free();
}

}  // namespace
