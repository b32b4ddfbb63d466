#include "tests/support/ProbeSkin.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "platform/gdi/PngWriter.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/Forms.h"
#include "skin/SkinScrollBars.h"
#include "skin/WinSkinChildren.h"
#include "skin/WinSkinManage.h"
#include "tests/support/SurfacePixels.h"
#include "tools/skingen/SkinImages.h"
#include "tools/skinpack/SkinPacker.h"

namespace {

constexpr uint32_t kMagentaRgb = 0xFF00FF;

// Image pixels are 0x00RRGGBB, colours 0x00BBGGRR.
TColor ColourOfPixel(uint32_t p) {
  return TColor(((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF));
}
uint32_t PixelOfColour(TColor c) {
  return ColourOfPixel(uint32_t(c));
}

std::string Hex(TColor c) {
  char text[16];
  std::snprintf(text, sizeof text, "#%06X", unsigned(PixelOfColour(c)));
  return text;
}

// The three spans (before, middle, after) of one axis, margins clamped and dropped as a pair.
struct TSpans {
  int Near = 0, Far = 0;
};
TSpans FitMargins(int nearMargin, int farMargin, int frameSize, int destSize) {
  TSpans s{std::clamp(nearMargin, 0, frameSize), std::clamp(farMargin, 0, frameSize)};
  if (s.Near + s.Far > frameSize || s.Near + s.Far > destSize) s = {};
  return s;
}

// The source offset within the frame along one axis for destination offset d.
std::optional<int> AxisSource(int d, TSpans m, int frameSize, int destSize, bool tile) {
  if (d < m.Near) return d;
  if (d >= destSize - m.Far) return frameSize - (destSize - d);
  const int middleSource = frameSize - m.Near - m.Far, middleDest = destSize - m.Near - m.Far;
  if (middleSource <= 0) return std::nullopt;
  const int offset = d - m.Near;
  return m.Near + (tile ? offset % middleSource : int(int64_t(offset) * middleSource / middleDest));
}

int FrameWidthOf(const TElementGeometry& g, int imageWidth) {
  return g.Stacked ? imageWidth : imageWidth / std::max(1, g.FrameCount);
}
int FrameHeightOf(const TElementGeometry& g, int imageHeight) {
  return g.Stacked ? imageHeight / std::max(1, g.FrameCount) : imageHeight;
}

// Distinct, never magenta: 30 steps of 8 on each of red and green, then blue.
uint32_t DistinctRgb(int index) {
  const int r = 8 + (index % 30) * 8, g = 8 + (index / 30 % 30) * 8, b = 8 + (index / 900) * 8;
  return uint32_t(r << 16 | g << 8 | b);
}

}  // namespace

const char* NinePartName(TNinePart Part) {
  static const char* const names[] = {"top-left", "top",         "top-right", "left",        "middle",
                                      "right",    "bottom-left", "bottom",    "bottom-right"};
  return names[int(Part)];
}

TElementGeometry GeometryOf(const TDataSkinObject& Element, bool Stacked, bool StretchKey) {
  TElementGeometry g;
  g.FrameCount = std::max(1, Element.FrameCount);
  g.Stacked = Stacked;
  g.Left = Element.LeftWidth;
  g.Top = Element.TopHeight;
  g.Right = Element.RightWidth;
  g.Bottom = Element.BottomHeight;
  g.TileMiddle = StretchKey ? Element.Tile != 1 : Element.Tile == 1;
  g.Transparent = Element.Trans == 1;
  return g;
}

TRect NinePartRect(const TElementGeometry& Geometry, int FrameWidth, int FrameHeight, const TRect& Dest,
                   TNinePart Part) {
  const int w = Dest.Width(), h = Dest.Height();
  if (w <= 0 || h <= 0) return {};
  const TSpans x = FitMargins(Geometry.Left, Geometry.Right, FrameWidth, w);
  const TSpans y = FitMargins(Geometry.Top, Geometry.Bottom, FrameHeight, h);
  const int column = int(Part) % 3, row = int(Part) / 3;
  const int xs[] = {0, x.Near, w - x.Far, w}, ys[] = {0, y.Near, h - y.Far, h};
  const TRect r =
      Rect(Dest.Left + xs[column], Dest.Top + ys[row], Dest.Left + xs[column + 1], Dest.Top + ys[row + 1]);
  return IsRectEmpty(r) ? TRect{} : r;
}

std::optional<TPoint> NinePartSource(const TElementGeometry& Geometry, const TBitmap& Image, int Frame,
                                     const TRect& Dest, TPoint At) {
  if (!PtInRect(Dest, At)) return std::nullopt;
  const int fw = FrameWidthOf(Geometry, Image.Width()), fh = FrameHeightOf(Geometry, Image.Height());
  if (fw <= 0 || fh <= 0) return std::nullopt;
  const int w = Dest.Width(), h = Dest.Height(), dx = At.X - Dest.Left, dy = At.Y - Dest.Top;
  const TSpans mx = FitMargins(Geometry.Left, Geometry.Right, fw, w);
  const TSpans my = FitMargins(Geometry.Top, Geometry.Bottom, fh, h);
  // Only the middle tiles; the edges stretch along their length.
  const bool inMiddle = dx >= mx.Near && dx < w - mx.Far && dy >= my.Near && dy < h - my.Far;
  const auto sx = AxisSource(dx, mx, fw, w, Geometry.TileMiddle && inMiddle);
  const auto sy = AxisSource(dy, my, fh, h, Geometry.TileMiddle && inMiddle);
  if (!sx || !sy) return std::nullopt;
  const int frame = std::clamp(Frame, 1, Geometry.FrameCount) - 1;
  return Geometry.Stacked ? Point(*sx, frame * fh + *sy) : Point(frame * fw + *sx, *sy);
}

TRect FrameBorderRect(const TSkinElements& Skin, TFrameBorder Border, int W, int H) {
  const auto size = [](const TDataSkinBorder& b, bool stacked) {
    const int frames = std::max(1, b.FrameCount);
    return stacked ? b.Bitmap->Height() / frames : b.Bitmap->Width() / frames;
  };
  const int l = size(*Skin.Left, false), r = size(*Skin.Right, false);
  const int t = size(*Skin.Top, true), b = size(*Skin.Bottom, true);
  switch (Border) {
    case TFrameBorder::Left:
      return Rect(0, 0, l, H);
    case TFrameBorder::Right:
      return Rect(W - r, 0, W, H);
    case TFrameBorder::Top:
      return Rect(l, 0, W - r, t);
    case TFrameBorder::Bottom:
      return Rect(l, H - b, W - r, H);
  }
  return {};
}

std::optional<TPoint> ProbePointIn(const TRect& Region, const std::vector<TRect>& Avoid) {
  const TRect inner = Rect(Region.Left + 2, Region.Top + 2, Region.Right - 2, Region.Bottom - 2);
  if (IsRectEmpty(inner)) return std::nullopt;
  const auto clear = [&](TPoint p) {
    return std::none_of(Avoid.begin(), Avoid.end(), [&](const TRect& r) { return PtInRect(r, p); });
  };
  const TPoint centre = Point((inner.Left + inner.Right - 1) / 2, (inner.Top + inner.Bottom - 1) / 2);
  if (clear(centre)) return centre;
  for (int y = inner.Top; y < inner.Bottom; ++y)
    for (int x = inner.Left; x < inner.Right; ++x)
      if (clear(Point(x, y))) return Point(x, y);
  return std::nullopt;
}

void AddElementProbes(std::vector<TProbePoint>& Points, const std::string& Element,
                      const TDataSkinObject& Data, const TElementGeometry& Geometry, int Frame,
                      const TRect& Dest, TColor Background, const std::vector<TRect>& Avoid, int* Added) {
  TBitmap& image = *Data.Bitmap;
  const TBmpImage pixels = image.ToImage();
  int made = 0;
  for (TNinePart part : kAllNineParts) {
    const TRect region = NinePartRect(Geometry, FrameWidthOf(Geometry, image.Width()),
                                      FrameHeightOf(Geometry, image.Height()), Dest, part);
    const auto at = ProbePointIn(region, Avoid);
    if (!at) continue;
    const auto source = NinePartSource(Geometry, image, Frame, Dest, *at);
    if (!source) continue;
    const uint32_t p = pixels.Pixels[size_t(source->Y) * pixels.Width + source->X];
    const TColor expected = Geometry.Transparent && p == kMagentaRgb ? Background : ColourOfPixel(p);
    Points.push_back({Element + " frame " + std::to_string(Frame) + " " + NinePartName(part), *at, expected});
    ++made;
  }
  if (Added) *Added = made;
}

::testing::AssertionResult CheckProbes(const std::string& PictureName, TBitmap& Picture,
                                       const std::vector<TProbePoint>& Points) {
  TBmpImage image = Picture.ToImage();
  std::string failures;
  std::vector<bool> failed(Points.size());
  for (size_t i = 0; i < Points.size(); ++i) {
    const TProbePoint& p = Points[i];
    const bool inside = p.At.X >= 0 && p.At.Y >= 0 && p.At.X < image.Width && p.At.Y < image.Height;
    const TColor actual = inside ? ColourOfPixel(image.Pixels[size_t(p.At.Y) * image.Width + p.At.X]) : -1;
    if (actual == p.Expected) continue;
    failed[i] = true;
    failures += "  " + p.Name + " at (" + std::to_string(p.At.X) + ", " + std::to_string(p.At.Y) +
                "): expected " + Hex(p.Expected) + ", actual " +
                (inside ? Hex(actual) : "outside the picture") + "\n";
  }
  if (failures.empty()) return ::testing::AssertionSuccess();
  // A 5 x 5 outline around each point (the point itself keeps its colour).
  for (size_t i = 0; i < Points.size(); ++i)
    for (int d = -2; d <= 2; ++d)
      for (const auto& [x, y] : {std::pair{Points[i].At.X + d, Points[i].At.Y - 2},
                                 std::pair{Points[i].At.X + d, Points[i].At.Y + 2},
                                 std::pair{Points[i].At.X - 2, Points[i].At.Y + d},
                                 std::pair{Points[i].At.X + 2, Points[i].At.Y + d}})
        if (x >= 0 && y >= 0 && x < image.Width && y < image.Height)
          image.Pixels[size_t(y) * image.Width + x] = failed[i] ? 0xFF0000 : 0x00C000;
  const std::filesystem::path dir = PROBE_PICTURES_DIR;
  std::filesystem::create_directories(dir);
  const std::string path = (dir / (PictureName + ".png")).string();
  if (image.Width > 0 && image.Height > 0) WritePng(path, image.Width, image.Height, image.Pixels.data());
  return ::testing::AssertionFailure() << PictureName << ": probes differ (picture " << path << ")\n"
                                       << failures;
}

void TProbeSkin::Add(const TProbeElementLayout& Element) {
  layouts_.push_back(Element);
}

TColor TProbeSkin::RegionColour(size_t Index, int Frame, TNinePart Part) const {
  if (layouts_[Index].Transparent && Part == TNinePart::TopLeft) return ColourOfPixel(kMagentaRgb);
  int before = 0;
  for (size_t i = 0; i < Index; ++i) before += layouts_[i].FrameCount * 9;
  return ColourOfPixel(DistinctRgb(before + (Frame - 1) * 9 + int(Part)));
}

std::string TProbeSkin::IniText() const {
  std::string personality, sections;
  for (size_t i = 0; i < layouts_.size(); ++i) {
    const TProbeElementLayout& s = layouts_[i];
    const std::string image = "probe" + std::to_string(i) + ".bmp";
    std::string lines;
    auto key = [&](const std::string& name, const std::string& value) {
      lines += name + "=" + value + "\r\n";
    };
    if (s.Border) {
      const std::string& n = s.Section;
      key(n, image);
      key(n + "Frame", std::to_string(s.FrameCount));
      key(n + "TopHeight", std::to_string(n == "Left" || n == "Right" ? s.Top : s.Left));
      key(n + "BotHeight", std::to_string(n == "Left" || n == "Right" ? s.Bottom : s.Right));
      key(n + "Stretch", s.TileMiddle ? "0" : "1");
      key(n + "Trans", s.Transparent ? "1" : "0");
    } else {
      key("Image", image);
      key("LeftWidth", std::to_string(s.Left));
      key("TopHeight", std::to_string(s.Top));
      key("RightWidth", std::to_string(s.Right));
      key("BottomHeight", std::to_string(s.Bottom));
      key("Trans", s.Transparent ? "1" : "0");
      key("Tile", s.TileMiddle ? "1" : "0");
    }
    (s.Border ? personality : sections) += s.Border ? lines : "[" + s.Section + "]\r\n" + lines;
  }
  return "[TitlebarSkin]\r\nSkinName=Probe\r\n[Personality]\r\n" + personality + sections;
}

std::string TProbeSkin::SkinFile() const {
  TSkinEntries entries{{"probe.ini", IniText()}};
  for (size_t i = 0; i < layouts_.size(); ++i) {
    const TProbeElementLayout& s = layouts_[i];
    TSkinPicture picture;
    picture.Width = s.Stacked ? s.FrameWidth : s.FrameWidth * s.FrameCount;
    picture.Height = s.Stacked ? s.FrameHeight * s.FrameCount : s.FrameHeight;
    picture.Pixels.resize(size_t(picture.Width) * picture.Height);
    TElementGeometry g;
    g.Left = s.Left, g.Top = s.Top, g.Right = s.Right, g.Bottom = s.Bottom;
    const TRect frameRect = Rect(0, 0, s.FrameWidth, s.FrameHeight);
    for (int frame = 1; frame <= s.FrameCount; ++frame)
      for (TNinePart part : kAllNineParts) {
        const TRect r = NinePartRect(g, s.FrameWidth, s.FrameHeight, frameRect, part);
        const int ox = s.Stacked ? 0 : (frame - 1) * s.FrameWidth,
                  oy = s.Stacked ? (frame - 1) * s.FrameHeight : 0;
        for (int y = r.Top; y < r.Bottom; ++y)
          for (int x = r.Left; x < r.Right; ++x)
            picture.Pixels[size_t(oy + y) * picture.Width + ox + x] =
                PixelOfColour(RegionColour(i, frame, part));
      }
    entries.emplace_back("probe" + std::to_string(i) + ".bmp", EncodeBmp24(picture));
  }
  return PackSkin(entries, TLzhPackMode::Greedy);
}

TProbeSkin ScrollBarProbeSkin(int StripHeight) {
  TProbeSkin probe;
  probe.Add({"Scrollbar", 23, false, StripHeight, StripHeight});
  for (const char* section : {"HorzScroll", "VertScroll"}) probe.Add({section, 4});
  for (const char* section : {"HorzScrollThumb", "VertScrollThumb"}) probe.Add({section, 3});
  return probe;
}

TSkinChildList* SkinThroughManager(HWND Window, TSkinData& Data, const TSkinControlTypes& Controls) {
  InitWinSkinDataUnit();
  TSkinManage* manage = EnsureSkinManage();
  manage->Active = true;
  manage->StartState = kSkinStartRunning;
  Data.SetSkinControls(Controls);
  manage->AddSkinData(&Data);
  if (!manage->SkinWindow(Window)) return nullptr;
  Application->ProcessMessages();
  auto* form = dynamic_cast<TWinSkinForm*>(manage->FindForm(Window));
  return form ? dynamic_cast<TSkinChildList*>(form->ChildSkinners()) : nullptr;
}

std::string FirstArrowLook(const TProbeSkin& Probe, HWND Top, TSkinChildList* List, HWND Window, LONG Bar) {
  SCROLLBARINFO info;
  GetScrollBarInfo(Window, Bar, &info);
  if (info.rgstate[0] & STATE_SYSTEM_INVISIBLE) {
    auto* s = List ? dynamic_cast<TSkinScrollbar*>(List->SkinnerOf(Window)) : nullptr;
    TWScrollbar* overlay = s ? (Bar == OBJID_VSCROLL ? s->VertBar : s->HorzBar) : nullptr;
    return overlay && (overlay->Shown || IsWindowVisible(overlay->Handle())) ? "stale" : "-";
  }
  const POINT arrow{info.rcScrollBar.Left + 8, info.rcScrollBar.Top + 8};
  // The up arrow is frame 9 of the strip, the left one frame 1.
  const TColor expected = Probe.RegionColour(kProbeStrip, Bar == OBJID_VSCROLL ? 9 : 1, TNinePart::Middle);
  return test_support::ScreenPixel(Top, arrow) == static_cast<COLORREF>(expected) ? "skin" : "bare";
}

std::unique_ptr<TSkinElements> LoadSkinBytes(const std::string& Bytes) {
  TMemoryStream stream;
  stream.Write(Bytes.data(), int64_t(Bytes.size()));
  stream.SetPosition(0);
  std::unique_ptr<TSkinElements> elements;
  std::string reason;
  if (!LoadSkinElements(&stream, elements, reason)) ADD_FAILURE() << "the skin was refused: " << reason;
  return elements;
}

std::unique_ptr<TSkinData> LoadSkinData(const std::string& Bytes) {
  auto data = std::make_unique<TSkinData>(nullptr);
  data->SkinStream()->WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
  if (data->LoadSkin()) return data;
  ADD_FAILURE() << data->LoadError();
  return nullptr;
}

std::unique_ptr<TSkinData> LoadEditedProbeSkin(const TProbeSkin& Probe,
                                               const std::function<void(std::string& Ini)>& Edit) {
  TSkinEntries entries = UnpackSkin(Probe.SkinFile());
  for (auto& [name, bytes] : entries)
    if (name == "probe.ini") Edit(bytes);
  return LoadSkinData(PackSkin(entries));
}

TColor WindowPixel(HWND Window, int X, int Y) {
  HDC dc = GetDC(Window);
  const COLORREF pixel = GetPixel(dc, X, Y);
  ReleaseDC(Window, dc);
  return static_cast<TColor>(pixel);
}
