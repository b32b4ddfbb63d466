// What the data grid's unit makes once for every grid: its bitmaps and cursors, drawn here and
// put into the resource registry, the sort-marker font, the three drag cursors, the default
// keys and colours, the indicator image list and the shared cell parameters.
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

#include "grid/data/PropFilerEh.h"
#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "platform/gdi/BmpCodec.h"
#include "platform/gdi/Colors.h"
#include "platform/rtl/Resources.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/ImgList.h"
#include "platform/win/Cursors.h"

TShortCut DBGridEhShortCuts[6] = {};
int DBGridEhIncSearchResetInterval = 0;
TColor DBGridEhSearchHighlightColor = clYellow;
TColor DBGridEhSearchHighlightFontColor = clBlack;

namespace dbgrid_images_detail {

// Indicator glyphs fill the indicator's glyph place; sort markers fit the title's 16-pixel
// sort-marker slot with room for the sort number.
constexpr int kIndicatorSize = 10;
constexpr int kMarkerWidth = 8;
constexpr int kMarkerHeight = 7;
constexpr int kCursorSize = 32;

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kDarkGray = 0x404040;
constexpr uint32_t kGray = 0x808080;

// A TColor as the bitmap codec keeps pixels (0x00RRGGBB).
uint32_t Rgb(TColor Color) {
  const COLORREF c = ColorToRGB(Color);
  return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

struct TPixels {
  TPixels(int W, int H, uint32_t Fill) : Width(W), Height(H), Data(static_cast<size_t>(W * H), Fill) {}
  void Set(int X, int Y, uint32_t Color) {
    if (X >= 0 && Y >= 0 && X < Width && Y < Height) Data[static_cast<size_t>(Y * Width + X)] = Color;
  }
  uint32_t At(int X, int Y) const { return Data[static_cast<size_t>(Y * Width + X)]; }
  // Every pixel whose centre lies inside the polygon (even-odd rule).
  void FillPolygon(std::initializer_list<std::pair<double, double>> Points, uint32_t Color) {
    const std::vector<std::pair<double, double>> p(Points);
    for (int y = 0; y < Height; ++y)
      for (int x = 0; x < Width; ++x) {
        const double px = x + 0.5, py = y + 0.5;
        bool inside = false;
        for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
          const auto [xi, yi] = p[i];
          const auto [xj, yj] = p[j];
          if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi) inside = !inside;
        }
        if (inside) Set(x, y, Color);
      }
  }
  void FillCircle(double CX, double CY, double R, uint32_t Color) {
    for (int y = 0; y < Height; ++y)
      for (int x = 0; x < Width; ++x)
        if (std::hypot(x + 0.5 - CX, y + 0.5 - CY) <= R) Set(x, y, Color);
  }
  TBmpImage ToImage() const {
    return TBmpImage{.Width = Width, .Height = Height, .Pixels = Data, .Alpha = {}};
  }

  int Width;
  int Height;
  std::vector<uint32_t> Data;
};

// A right-pointing triangle filling the indicator glyph.
void Arrow(TPixels& P, uint32_t Color) {
  P.FillPolygon({{2.5, 0.5}, {7.5, 5.0}, {2.5, 9.5}}, Color);
}

TBmpImage IndicatorArrow() {
  TPixels p(kIndicatorSize, kIndicatorSize, kWhite);
  Arrow(p, kBlack);
  return p.ToImage();
}

TBmpImage IndicatorEdit() {
  TPixels p(kIndicatorSize, kIndicatorSize, kWhite);
  // A pencil: a slanted body and its tip at the bottom left.
  p.FillPolygon({{3.0, 9.0}, {1.0, 9.0}, {1.0, 7.0}, {7.0, 1.0}, {9.0, 3.0}}, kBlack);
  p.FillPolygon({{6.2, 2.2}, {7.8, 3.8}, {7.0, 4.6}, {5.4, 3.0}}, kWhite);
  return p.ToImage();
}

TBmpImage IndicatorInsert() {
  TPixels p(kIndicatorSize, kIndicatorSize, kWhite);
  // A star of four strokes.
  for (int i = 1; i <= 8; ++i) {
    p.Set(i, 5, kBlack);
    p.Set(5, i, kBlack);
  }
  for (int i = 2; i <= 8; ++i) {
    p.Set(i, i, kBlack);
    p.Set(i, 10 - i, kBlack);
  }
  return p.ToImage();
}

TBmpImage IndicatorMultiDot() {
  TPixels p(kIndicatorSize, kIndicatorSize, kWhite);
  p.FillCircle(5.0, 5.0, 2.3, kBlack);
  return p.ToImage();
}

TBmpImage IndicatorMultiArrow() {
  TPixels p(kIndicatorSize, kIndicatorSize, kWhite);
  p.FillPolygon({{0.5, 1.5}, {4.5, 5.0}, {0.5, 8.5}}, kBlack);
  p.FillCircle(7.5, 5.0, 1.8, kBlack);
  return p.ToImage();
}

// The arrow for highlighted rows: white with a black edge, on teal (the transparent colour).
TBmpImage IndicatorArrowOnTeal() {
  TPixels p(kIndicatorSize, kIndicatorSize, Rgb(clTeal));
  Arrow(p, kBlack);
  p.FillPolygon({{3.5, 2.8}, {6.0, 5.0}, {3.5, 7.2}}, kWhite);
  return p.ToImage();
}

TBmpImage SortMarker(bool Up, uint32_t Color) {
  TPixels p(kMarkerWidth, kMarkerHeight, Rgb(clFuchsia));
  if (Up)
    p.FillPolygon({{4.0, 0.5}, {7.8, 6.5}, {0.2, 6.5}}, Color);
  else
    p.FillPolygon({{0.2, 0.5}, {7.8, 0.5}, {4.0, 6.5}}, Color);
  return p.ToImage();
}

TBmpImage DropDownArrow() {
  TPixels p(kMarkerWidth, kMarkerHeight, kWhite);
  p.FillPolygon({{1.0, 2.0}, {7.0, 2.0}, {4.0, 5.2}}, kBlack);
  return p.ToImage();
}

// A black arrow with a white rim, its tip at the hot spot.
TCursorImage ArrowCursor(std::initializer_list<std::pair<double, double>> Shape, POINT HotSpot) {
  TPixels p(kCursorSize, kCursorSize, 1);  // 1: not drawn
  p.FillPolygon(Shape, kBlack);
  TCursorImage image;
  image.Width = kCursorSize;
  image.Height = kCursorSize;
  image.HotSpot = HotSpot;
  image.Pixels.assign(p.Data.size(), kWhite);
  image.Mask.assign(p.Data.size(), 1);
  for (int y = 0; y < kCursorSize; ++y)
    for (int x = 0; x < kCursorSize; ++x) {
      const size_t i = static_cast<size_t>(y * kCursorSize + x);
      if (p.At(x, y) == kBlack) {
        image.Pixels[i] = kBlack;
        image.Mask[i] = 0;
        continue;
      }
      bool rim = false;
      for (auto [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}}) {
        const int nx = x + dx, ny = y + dy;
        if (nx >= 0 && ny >= 0 && nx < kCursorSize && ny < kCursorSize && p.At(nx, ny) == kBlack) rim = true;
      }
      if (rim) image.Mask[i] = 0;
    }
  return image;
}

TCursorImage DownCursor() {
  return ArrowCursor({{14, 2}, {18, 2}, {18, 17}, {24, 17}, {16, 29}, {8, 17}, {14, 17}}, POINT{16, 28});
}

TCursorImage RightCursor() {
  return ArrowCursor({{2, 14}, {17, 14}, {17, 8}, {29, 16}, {17, 24}, {17, 18}, {2, 18}}, POINT{28, 16});
}

TCursorImage LeftCursor() {
  return ArrowCursor({{30, 14}, {15, 14}, {15, 8}, {3, 16}, {15, 24}, {15, 18}, {30, 18}}, POINT{3, 16});
}

struct TIndicatorBitmap {
  const char* Name;
  TColor Mask;
};
constexpr TIndicatorBitmap kIndicatorBitmaps[] = {
    {"DBGARROWEH", clWhite},   {"DBEDITEH", clWhite},       {"DBINSERTEH", clWhite},
    {"DBMULTIDOTEH", clWhite}, {"DBMULTIARROWEH", clWhite}, {"DBGARROWEHW", clTeal},
};
constexpr int kIndicatorImageCount = 7;

// What the start-up made; FreeSharedObjects lets it go.
struct TUnitObjects {
  std::unique_ptr<TFont> sortMarkerFont;
  HCURSOR columnSelectCursor = nullptr;
  HCURSOR recordSelectCursor = nullptr;
  HCURSOR recordSelectRightToLeftCursor = nullptr;
  bool defaultsSet = false;
  std::unique_ptr<TCustomImageList> indicatorImages;
  std::unique_ptr<TColCellParamsEh> cellParams;
};

TUnitObjects& Objects() {
  static TUnitObjects objects;
  return objects;
}

template <class T>
void RegisterDrawn(const char* Kind, const char* Name, T (*Draw)()) {
  for (const std::string& n : ResourceNames(Kind))
    if (SameText(n, Name)) return;
  RegisterResourceFactoryAs<T>(Kind, Name, std::function<std::shared_ptr<const T>()>([Draw] {
                                 return std::make_shared<const T>(Draw());
                               }));
}

HCURSOR LoadGridCursor(const char* Name) {
  HCURSOR cursor = LoadCursor(MainInstance(), Name);
  if (!cursor) throw EOutOfResources("Cannot load cursor resource");
  return cursor;
}

TBitmap* LoadBitmap(TBitmap& Bitmap, const char* Name) {
  Bitmap.LoadFromResourceName(nullptr, Name);
  return &Bitmap;
}

}  // namespace dbgrid_images_detail

using namespace dbgrid_images_detail;

// A program may ship bitmaps and cursors of its own under these names: those stay.
void dbgrid_detail::RegisterDrawnResources() {
  RegisterDrawn<TBmpImage>("BITMAP", "DBGARROWEH", IndicatorArrow);
  RegisterDrawn<TBmpImage>("BITMAP", "DBEDITEH", IndicatorEdit);
  RegisterDrawn<TBmpImage>("BITMAP", "DBINSERTEH", IndicatorInsert);
  RegisterDrawn<TBmpImage>("BITMAP", "DBMULTIDOTEH", IndicatorMultiDot);
  RegisterDrawn<TBmpImage>("BITMAP", "DBMULTIARROWEH", IndicatorMultiArrow);
  RegisterDrawn<TBmpImage>("BITMAP", "DBGARROWEHW", IndicatorArrowOnTeal);
  RegisterDrawn<TBmpImage>(
      "BITMAP", "DBSMDOWNEH", +[] { return SortMarker(false, kGray); });
  RegisterDrawn<TBmpImage>(
      "BITMAP", "DBSMUPEH", +[] { return SortMarker(true, kGray); });
  RegisterDrawn<TBmpImage>("BITMAP", "DROPDOWNEH", DropDownArrow);
  RegisterDrawn<TBmpImage>(
      "BITMAP", "DBSMDOWNEH_1", +[] { return SortMarker(false, kDarkGray); });
  RegisterDrawn<TBmpImage>(
      "BITMAP", "DBSMUPEH_1", +[] { return SortMarker(true, kDarkGray); });
  RegisterDrawn<TCursorImage>("CURSOR", "DOWNCUREH", DownCursor);
  RegisterDrawn<TCursorImage>("CURSOR", "RIGHTCUREH", RightCursor);
  RegisterDrawn<TCursorImage>("CURSOR", "LEFTCUREH", LeftCursor);
}

void dbgrid_detail::RegisterColumnInterceptors() {
  RegisterStoragePropertyInterceptor(TColumnEh::StaticClass(),
                                     TStoragePropertyInterceptorClass::Of<TColumnEhPropertyInterceptor>());
  RegisterStoragePropertyInterceptor(TDBGridColumnsEh::StaticClass(),
                                     TStoragePropertyInterceptorClass::Of<TColumnsEhPropertyInterceptor>());
}

// Each step keeps what an earlier start-up made; a failing step leaves the later ones undone.
void dbgrid_detail::StartSharedObjects() {
  TUnitObjects& o = Objects();
  if (!o.sortMarkerFont) {
    TBitmap marker;
    LoadBitmap(marker, "DBSMDOWNEH");
    auto font = std::make_unique<TFont>();
    font->SetHeight(1 - marker.Height());
    font->SetName("Arial");
    o.sortMarkerFont = std::move(font);
  }
  if (!o.columnSelectCursor) o.columnSelectCursor = LoadGridCursor("DOWNCUREH");
  if (!o.recordSelectCursor) o.recordSelectCursor = LoadGridCursor("RIGHTCUREH");
  if (!o.recordSelectRightToLeftCursor) o.recordSelectRightToLeftCursor = LoadGridCursor("LEFTCUREH");
  if (!o.defaultsSet) {
    constexpr TShortCut ctrl = 0x4000, shift = 0x2000;
    const TShortCut keys[6] = {static_cast<TShortCut>(ctrl | 'F'),
                               static_cast<TShortCut>(ctrl | VK_RETURN),
                               static_cast<TShortCut>(ctrl | shift | VK_RETURN),
                               static_cast<TShortCut>(ctrl | 222),
                               static_cast<TShortCut>(ctrl | 'F'),
                               static_cast<TShortCut>(ctrl | 'T')};
    std::copy(std::begin(keys), std::end(keys), std::begin(DBGridEhShortCuts));
    DBGridEhIncSearchResetInterval = 1500;
    DBGridEhSearchHighlightColor = static_cast<TColor>(0x00FFFF);
    DBGridEhSearchHighlightFontColor = static_cast<TColor>(0);
    o.defaultsSet = true;
  }
  if (!o.indicatorImages) BuildIndicatorImages();
  if (!o.cellParams) o.cellParams = std::make_unique<TColCellParamsEh>();
}

void dbgrid_detail::FreeSharedObjects() {
  TUnitObjects& o = Objects();
  for (HCURSOR* c : {&o.columnSelectCursor, &o.recordSelectCursor, &o.recordSelectRightToLeftCursor}) {
    if (*c) DestroyCursor(*c);
    *c = nullptr;
  }
  o.indicatorImages.reset();
  FreeSortMarkerImages();
  o.sortMarkerFont.reset();
  o.cellParams.reset();
  // The next start-up gives the keys and colours their defaults again.
  o.defaultsSet = false;
}

void BuildIndicatorImages() {
  TUnitObjects& o = Objects();
  if (!o.indicatorImages) {
    TBitmap first;
    LoadBitmap(first, kIndicatorBitmaps[0].Name);
    auto list = std::make_unique<TCustomImageList>(first.Width(), first.Height());
    for (const TIndicatorBitmap& b : kIndicatorBitmaps) {
      TBitmap bmp;
      list->AddMasked(LoadBitmap(bmp, b.Name), b.Mask);
    }
    o.indicatorImages = std::move(list);
  }
  // The arrow for a row the search found, on the search's highlight colour: teal there would
  // vanish under the mask.
  const TColor back = DBGridEhSearchHighlightColor == clTeal ? static_cast<TColor>(RGB(0, 127, 127))
                                                             : DBGridEhSearchHighlightColor;
  TBitmap arrow;
  TBmpImage image = LoadBitmap(arrow, "DBGARROWEHW")->ToImage();
  std::replace(image.Pixels.begin(), image.Pixels.end(), Rgb(clTeal), Rgb(back));
  TBitmap highlighted;
  highlighted.SetImage(image);
  if (o.indicatorImages->Count() >= kIndicatorImageCount) o.indicatorImages->Delete(kIndicatorImageCount - 1);
  o.indicatorImages->AddMasked(&highlighted, clTeal);
  // The sort-marker list is made on its first use: this is it.
  dbgrid_detail::SortMarkerImages();
}

TFont* DBGridEhSortMarkerFont() {
  return Objects().sortMarkerFont.get();
}

HCURSOR DBGridEhColumnSelectCursor() {
  return Objects().columnSelectCursor;
}

HCURSOR DBGridEhRecordSelectCursor() {
  return Objects().recordSelectCursor;
}

HCURSOR DBGridEhRecordSelectRightToLeftCursor() {
  return Objects().recordSelectRightToLeftCursor;
}

TCustomImageList* DBGridEhIndicatorImages() {
  return Objects().indicatorImages.get();
}

TColCellParamsEh* DBGridEhSharedCellParams() {
  return Objects().cellParams.get();
}
