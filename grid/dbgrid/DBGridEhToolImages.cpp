// The glyphs of the tool controls, drawn here with the canvas into one strip a list and put into
// the resource registry, where the resources module loads them from. Each glyph is drawn into a
// bitmap of its own first, so that nothing spills into its neighbour; fuchsia is the mask.
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "grid/dbgrid/DBGridEhToolResources.h"
#include "platform/gdi/BmpCodec.h"
#include "platform/rtl/Resources.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Graphics.h"

namespace dbgrid_tool_images_detail {

constexpr TColor kMaskColor = clFuchsia;

// How a strip looks: the themed lists are coloured, the classic ones black; their disabled
// looks are flat grey and embossed grey.
enum class TLook { Themed, ThemedDisabled, Classic, ClassicDisabled };

// A glyph's two colours: the shape and, where a glyph has one, its second part.
struct TInk {
  TColor Main;
  TColor Accent;
};

// Draws on a glyph's own bitmap at an offset (the emboss draws twice), mirrored on request, so
// that one drawing serves both arrows of a pair. Spans are inclusive pixel ranges.
class TGlyphPen {
 public:
  TGlyphPen(TCanvas* Canvas, int Size, TPoint Offset) : canvas_(Canvas), size_(Size), offset_(Offset) {}
  int Size() const { return size_; }
  void Mirror(bool Horizontal, bool Vertical) {
    mirrorX_ = Horizontal;
    mirrorY_ = Vertical;
  }
  void SetColor(TColor Color) {
    canvas_->Pen()->SetColor(Color);
    canvas_->Brush()->SetColor(Color);
  }
  TColor Color() const { return canvas_->Brush()->Color(); }
  TPoint At(int X, int Y) const {
    return TPoint{offset_.X + (mirrorX_ ? size_ - 1 - X : X), offset_.Y + (mirrorY_ ? size_ - 1 - Y : Y)};
  }
  void Pixel(int X, int Y) {
    const TPoint p = At(X, Y);
    canvas_->SetPixels(p.X, p.Y, Color());
  }
  void Fill(int Left, int Top, int Right, int Bottom) {
    for (int y = Top; y <= Bottom; ++y)
      for (int x = Left; x <= Right; ++x) Pixel(x, y);
  }
  void Polygon(std::initializer_list<std::pair<int, int>> Points) {
    std::vector<TPoint> points;
    for (auto [x, y] : Points) points.push_back(At(x, y));
    canvas_->Polygon(points);
  }
  // Both ends included.
  void Line(int X1, int Y1, int X2, int Y2) {
    const TPoint a = At(X1, Y1), b = At(X2, Y2);
    canvas_->MoveTo(a.X, a.Y);
    canvas_->LineTo(b.X, b.Y);
    canvas_->SetPixels(b.X, b.Y, Color());
  }

 private:
  TCanvas* canvas_;
  int size_;
  TPoint offset_;
  bool mirrorX_ = false;
  bool mirrorY_ = false;
};

// --- the glyphs -------------------------------------------------------------------------------------
// Sizes are 10 or 12; the shapes scale with S. Triangles are centred on row S / 2.

// A left-pointing triangle, its tip at column X.
void LeftTriangle(TGlyphPen& P, int X) {
  const int s = P.Size(), half = s / 2 - 2, mid = s / 2;
  P.Polygon({{X + half, mid - half}, {X + half, mid + half}, {X, mid}});
}

// First (Last mirrored): a bar and a triangle pointing at it.
void FirstGlyph(TGlyphPen& P, const TInk&) {
  const int s = P.Size(), half = s / 2 - 2, mid = s / 2, left = (s - half - 3) / 2;
  P.Fill(left, mid - half, left + 1, mid + half);
  LeftTriangle(P, left + 2);
}

// Prior (Next mirrored).
void PriorGlyph(TGlyphPen& P, const TInk&) {
  const int s = P.Size();
  LeftTriangle(P, (s - (s / 2 - 1)) / 2);
}

// Insert: a plus.
void InsertGlyph(TGlyphPen& P, const TInk&) {
  const int s = P.Size(), a = s / 2 - 1;
  P.Fill(2, a, s - 3, a + 1);
  P.Fill(a, 2, a + 1, s - 3);
}

// Delete: a minus.
void DeleteGlyph(TGlyphPen& P, const TInk&) {
  const int s = P.Size(), a = s / 2 - 1;
  P.Fill(2, a, s - 3, a + 1);
}

// Edit: a pencil slanting up to the right, its tip in the main colour.
void EditGlyph(TGlyphPen& P, const TInk& Ink) {
  const int s = P.Size();
  P.SetColor(Ink.Accent);
  P.Polygon({{1, s - 2}, {1, s - 4}, {s - 4, 1}, {s - 2, 3}, {3, s - 2}});
  P.SetColor(Ink.Main);
  P.Fill(1, s - 3, 2, s - 2);
}

// Post: a check mark, two pixels thick, its arms at 45 degrees.
void PostGlyph(TGlyphPen& P, const TInk&) {
  const int s = P.Size(), bottomX = s / 2 - 2, bottomY = s - 4;
  for (int dy = 0; dy <= 1; ++dy) {
    P.Line(1, s / 2 - 1 + dy, bottomX, bottomY + dy);
    P.Line(bottomX, bottomY + dy, s - 2, s / 2 - 4 + dy);
  }
}

// Cancel: a cross, two pixels thick.
void CancelGlyph(TGlyphPen& P, const TInk&) {
  const int s = P.Size();
  for (int dx = 0; dx <= 1; ++dx) {
    P.Line(2 + dx, 2, s - 3 + dx, s - 3);
    P.Line(s - 3 - dx, 2, 2 - dx, s - 3);
  }
}

// Refresh: a ring open in its top right quarter, the arrow head at twelve o'clock pointing
// clockwise.
void RefreshGlyph(TGlyphPen& P, const TInk&) {
  const int s = P.Size();
  const double centre = (s - 1) / 2.0, outer = s / 2.0 - 0.5, inner = outer - 1.8;
  constexpr double kPi = 3.14159265358979323846;
  for (int y = 0; y < s; ++y)
    for (int x = 0; x < s; ++x) {
      const double dx = x - centre, dy = y - centre, r = std::hypot(dx, dy);
      // Clockwise from twelve o'clock.
      const double angle = std::fmod(std::atan2(dx, -dy) + 2 * kPi, 2 * kPi);
      if (r >= inner && r <= outer && (angle > kPi / 2 || angle < 0.01)) P.Pixel(x, y);
    }
  const int base = s / 2 - 1, row = s / 10;
  P.Polygon({{base, row - 2}, {base, row + 2}, {base + 2, row}});
}

// A funnel Width (odd) pixels wide at row Top: it narrows by a pixel a side each row down to
// three pixels, then a one-pixel stem runs down to row Bottom.
void Funnel(TGlyphPen& P, int Left, int Top, int Width, int Bottom) {
  const int centre = Left + Width / 2;
  int half = Width / 2;
  for (int y = Top; y <= Bottom; ++y) {
    P.Fill(centre - half, y, centre + half, y);
    half = half > 1 ? half - 1 : 0;
  }
}

// Filter: a funnel.
void FilterGlyph(TGlyphPen& P, const TInk&) {
  const int s = P.Size();
  Funnel(P, 1, 1, s - 3, s - 2);
}

// Cancel filter: a smaller funnel with a cross at its lower right.
void CancelFilterGlyph(TGlyphPen& P, const TInk& Ink) {
  const int s = P.Size();
  Funnel(P, 0, 0, s - 3, s - 3);
  P.SetColor(Ink.Accent);
  const int from = s - 5;
  P.Line(from, from, s - 1, s - 1);
  P.Line(from + 1, from, s - 1, s - 2);
  P.Line(s - 1, from, from, s - 1);
  P.Line(s - 2, from, from, s - 2);
}

// Find next: an arrow down (find prior: the same turned upside down).
void FindNextGlyph(TGlyphPen& P, const TInk&) {
  const int s = P.Size(), a = s / 2 - 1;
  P.Fill(a, 1, a + 1, s - 6);
  P.Polygon({{a - 3, s - 6}, {a + 4, s - 6}, {a + 1, s - 3}, {a, s - 3}});
}

// Options: three bars.
void OptionsGlyph(TGlyphPen& P, const TInk&) {
  const int s = P.Size();
  for (int top : {1, s / 2 - 1, s - 3}) P.Fill(1, top, s - 2, top + 1);
}

struct TGlyph {
  void (*Draw)(TGlyphPen&, const TInk&);
  bool MirrorX;
  bool MirrorY;
  TInk Themed;
};

constexpr TColor kBlue = static_cast<TColor>(0x99541F);  // RGB(31, 84, 153)
constexpr TColor kGreen = static_cast<TColor>(0x158A15);
constexpr TColor kRed = static_cast<TColor>(0x2020C0);
constexpr TColor kDark = static_cast<TColor>(0x404040);
constexpr TColor kOrange = static_cast<TColor>(0x2090E0);
constexpr TColor kSlate = static_cast<TColor>(0x785A46);
constexpr TColor kDisabledGray = static_cast<TColor>(0xA6A6A6);

// In glyph index order.
const TGlyph kGlyphs[kToolGlyphCountEh] = {
    {FirstGlyph, false, false, {kBlue, kBlue}},        {PriorGlyph, false, false, {kBlue, kBlue}},
    {PriorGlyph, true, false, {kBlue, kBlue}},         {FirstGlyph, true, false, {kBlue, kBlue}},
    {InsertGlyph, false, false, {kGreen, kGreen}},     {DeleteGlyph, false, false, {kRed, kRed}},
    {EditGlyph, false, false, {kDark, kOrange}},       {PostGlyph, false, false, {kGreen, kGreen}},
    {CancelGlyph, false, false, {kRed, kRed}},         {RefreshGlyph, false, false, {kBlue, kBlue}},
    {CancelFilterGlyph, false, false, {kSlate, kRed}}, {FindNextGlyph, false, false, {kBlue, kBlue}},
    {FindNextGlyph, false, true, {kBlue, kBlue}},      {OptionsGlyph, false, false, {kDark, kDark}},
    {FilterGlyph, false, false, {kSlate, kSlate}},
};

void DrawGlyph(TCanvas* Canvas, int Size, const TGlyph& Glyph, TPoint Offset, const TInk& Ink) {
  TGlyphPen pen(Canvas, Size, Offset);
  pen.Mirror(Glyph.MirrorX, Glyph.MirrorY);
  pen.SetColor(Ink.Main);
  Glyph.Draw(pen, Ink);
}

// One strip: the glyphs side by side on the mask colour.
TBmpImage DrawStrip(int Size, TLook Look) {
  TBitmap strip;
  strip.SetSize(Size * kToolGlyphCountEh, Size);
  strip.Canvas()->Brush()->SetColor(kMaskColor);
  strip.Canvas()->FillRect(TRect{0, 0, Size * kToolGlyphCountEh, Size});
  for (int i = 0; i < kToolGlyphCountEh; ++i) {
    TBitmap cell;
    cell.SetSize(Size, Size);
    TCanvas* canvas = cell.Canvas();
    canvas->Brush()->SetColor(kMaskColor);
    canvas->FillRect(TRect{0, 0, Size, Size});
    const TGlyph& glyph = kGlyphs[i];
    switch (Look) {
      case TLook::Themed:
        DrawGlyph(canvas, Size, glyph, TPoint{0, 0}, glyph.Themed);
        break;
      case TLook::ThemedDisabled:
        DrawGlyph(canvas, Size, glyph, TPoint{0, 0}, {kDisabledGray, kDisabledGray});
        break;
      case TLook::Classic:
        DrawGlyph(canvas, Size, glyph, TPoint{0, 0}, {clBlack, clBlack});
        break;
      case TLook::ClassicDisabled:
        // Engraved: a white copy one pixel down and right, the grey shape over it.
        DrawGlyph(canvas, Size, glyph, TPoint{1, 1}, {clWhite, clWhite});
        DrawGlyph(canvas, Size, glyph, TPoint{0, 0}, {clGray, clGray});
        break;
    }
    strip.Canvas()->Draw(i * Size, 0, &cell);
  }
  return strip.ToImage();
}

struct TStrip {
  const char* Name;
  int Size;
  TLook Look;
};
// In the order of kToolGlyphStripNamesEh.
constexpr TStrip kStrips[] = {
    {kToolGlyphStripNamesEh[0], 10, TLook::Themed},
    {kToolGlyphStripNamesEh[1], 10, TLook::ThemedDisabled},
    {kToolGlyphStripNamesEh[2], 12, TLook::ThemedDisabled},
    {kToolGlyphStripNamesEh[3], 12, TLook::Themed},
    {kToolGlyphStripNamesEh[4], 10, TLook::Classic},
    {kToolGlyphStripNamesEh[5], 10, TLook::ClassicDisabled},
};

}  // namespace dbgrid_tool_images_detail

// A program may ship strips of its own under these names: those stay.
void RegisterDBGridEhToolGlyphs() {
  using namespace dbgrid_tool_images_detail;
  const std::vector<std::string> present = ResourceNames("BITMAP");
  for (const TStrip& strip : kStrips) {
    bool shipped = false;
    for (const std::string& name : present) shipped = shipped || SameText(name, strip.Name);
    if (shipped) continue;
    const int size = strip.Size;
    const TLook look = strip.Look;
    RegisterResourceFactoryAs<TBmpImage>("BITMAP", strip.Name,
                                         std::function<std::shared_ptr<const TBmpImage>()>([size, look] {
                                           return std::make_shared<const TBmpImage>(DrawStrip(size, look));
                                         }));
  }
}
