// Fonts, pens and brushes. Their handles come from one shared cache keyed by the attributes
// the handle is made from, so equal attributes give the same handle; the last user lets the
// handle go.
#include <algorithm>
#include <cstdlib>
#include <unordered_map>

#include "platform/vcl/Graphics.h"

RTL_IMPLEMENT_CLASS(TGraphicsObject)
RTL_IMPLEMENT_CLASS(TFont)
RTL_IMPLEMENT_CLASS(TPen)
RTL_IMPLEMENT_CLASS(TBrush)

namespace vcl_detail {

// Font heights are kept within +-kFontHeightLimit pixels (the glyph engine draws at most 1024),
// so that sizes and heights scaled between resolutions stay far from the int range whatever a
// description asks for.
constexpr int64_t kFontHeightLimit = 1 << 20;

// Value * Mul / Div rounded half away from zero, as MulDiv does, within +-kFontHeightLimit.
// Div > 0.
int ScaleFontUnits(int64_t Value, int64_t Mul, int64_t Div) {
  const int64_t num = Value * Mul;
  const int64_t q = (std::llabs(num) + Div / 2) / Div;
  return static_cast<int>(std::clamp(num < 0 ? -q : q, -kFontHeightLimit, kFontHeightLimit));
}

struct TCachedObject {
  std::string Key;
  HGDIOBJ Handle = nullptr;
  ~TCachedObject();
};

namespace {
// Never destroyed: fonts held by objects with static lifetime let go of their handles after
// the end of main.
std::unordered_map<std::string, std::weak_ptr<TCachedObject>>& Cache() {
  static auto* cache = new std::unordered_map<std::string, std::weak_ptr<TCachedObject>>();
  return *cache;
}

template <class Make>
std::shared_ptr<TCachedObject> Acquire(const std::string& key, Make make) {
  auto& cache = Cache();
  auto it = cache.find(key);
  if (it != cache.end())
    if (auto live = it->second.lock()) return live;
  auto obj = std::make_shared<TCachedObject>();
  obj->Key = key;
  obj->Handle = make();
  if (!obj->Handle) throw EOutOfResources("Out of system resources");
  cache[key] = obj;
  return obj;
}
}  // namespace

TCachedObject::~TCachedObject() {
  auto& cache = Cache();
  auto it = cache.find(Key);
  if (it != cache.end() && it->second.expired()) cache.erase(it);
  if (Handle) DeleteObject(Handle);
}

}  // namespace vcl_detail

int GraphicsObjectCacheCount() {
  int n = 0;
  for (const auto& [key, weak] : vcl_detail::Cache())
    if (!weak.expired()) ++n;
  return n;
}

void TGraphicsObject::Changed() {
  OnChange(this);
}

// --- TFont ------------------------------------------------------------------------------------

std::string TFont::DefaultFontName() {
  LOGFONT lf;
  if (GetObject(GetStockObject(DEFAULT_GUI_FONT), sizeof(LOGFONT), &lf) && !lf.lfFaceName.empty())
    return lf.lfFaceName;
  return "Sans Serif";
}

TFont::TFont() : name_(DefaultFontName()) {}

TFont::~TFont() = default;

// Charset, Color, Height, Name and Style are always written; Size never (Height carries it).
void TFont::DescribeClass(TClassBuilder<TFont>& c) {
  c.Property("Charset", &TFont::Charset, &TFont::SetCharset)
      .NoDefault()
      .WithIdents(CharsetIdents())
      .OfType("TFontCharset");
  c.Property("Color", &TFont::Color, &TFont::SetColor).NoDefault().WithIdents(ColorIdents()).OfType("TColor");
  c.Property("Height", &TFont::Height, &TFont::SetHeight).NoDefault();
  c.Property("Name", &TFont::Name, &TFont::SetName);
  c.Property("Orientation", &TFont::Orientation, &TFont::SetOrientation).Default(0);
  c.Property("Pitch", &TFont::Pitch, &TFont::SetPitch);
  c.Property("Size", &TFont::Size, &TFont::SetSize).StoredIf([](const TObject&) { return false; });
  c.Property("Style", &TFont::Style, &TFont::SetStyle).NoDefault();
}

LOGFONT TFont::MakeLogFont() const {
  LOGFONT lf;
  lf.lfHeight = height_;
  lf.lfEscapement = orientation_;
  lf.lfOrientation = orientation_;
  lf.lfWeight = style_.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = style_.Contains(fsItalic) ? 1 : 0;
  lf.lfUnderline = style_.Contains(fsUnderline) ? 1 : 0;
  lf.lfStrikeOut = style_.Contains(fsStrikeOut) ? 1 : 0;
  lf.lfCharSet = charset_;
  lf.lfPitchAndFamily = pitch_ == fpFixed ? 1 : pitch_ == fpVariable ? 2 : 0;
  lf.lfFaceName = name_;
  return lf;
}

HFONT TFont::Handle() {
  if (!handle_) {
    const LOGFONT lf = MakeLogFont();
    std::string key = "F|" + lf.lfFaceName + "|" + std::to_string(lf.lfHeight) + "|" +
                      std::to_string(lf.lfWeight) + "|" + std::to_string(lf.lfItalic) +
                      std::to_string(lf.lfUnderline) + std::to_string(lf.lfStrikeOut) + "|" +
                      std::to_string(lf.lfCharSet) + "|" + std::to_string(lf.lfPitchAndFamily) + "|" +
                      std::to_string(lf.lfEscapement);
    handle_ = vcl_detail::Acquire(key, [&] { return static_cast<HGDIOBJ>(CreateFontIndirect(lf)); });
  }
  return static_cast<HFONT>(handle_->Handle);
}

// The old handle is let go only after the listeners (a canvas deselecting it) have heard.
void TFont::Changed() {
  auto old = std::move(handle_);
  handle_.reset();
  inherited::Changed();
}

void TFont::SetHandle(HFONT Value) {
  LOGFONT lf;
  if (!Value || !GetObject(Value, sizeof(LOGFONT), &lf)) throw EInvalidGraphic("Invalid font handle");
  name_ = lf.lfFaceName;
  height_ = vcl_detail::ScaleFontUnits(lf.lfHeight, 1, 1);
  orientation_ = lf.lfEscapement;
  style_ = {};
  if (lf.lfWeight >= FW_BOLD) style_.Include(fsBold);
  if (lf.lfItalic) style_.Include(fsItalic);
  if (lf.lfUnderline) style_.Include(fsUnderline);
  if (lf.lfStrikeOut) style_.Include(fsStrikeOut);
  charset_ = lf.lfCharSet;
  const int pitch = lf.lfPitchAndFamily & 3;
  pitch_ = pitch == 1 ? fpFixed : pitch == 2 ? fpVariable : fpDefault;
  Changed();
}

void TFont::Assign(TPersistent* Source) {
  if (auto* f = dynamic_cast<TFont*>(Source)) {
    if (f == this) return;
    name_ = f->name_;
    if (f->pixelsPerInch_ != pixelsPerInch_)
      height_ = -vcl_detail::ScaleFontUnits(f->Size(), pixelsPerInch_, 72);
    else
      height_ = f->height_;
    style_ = f->style_;
    color_ = f->color_;
    charset_ = f->charset_;
    pitch_ = f->pitch_;
    orientation_ = f->orientation_;
    Changed();
    return;
  }
  inherited::Assign(Source);
}

void TFont::SetName(const std::string& Value) {
  if (Value.empty() || Value == name_) return;
  name_ = Value;
  Changed();
}

void TFont::SetHeight(int Value) {
  Value = vcl_detail::ScaleFontUnits(Value, 1, 1);
  if (Value == height_) return;
  height_ = Value;
  Changed();
}

int TFont::Size() const {
  return -vcl_detail::ScaleFontUnits(height_, 72, pixelsPerInch_);
}

void TFont::SetSize(int Value) {
  SetHeight(-vcl_detail::ScaleFontUnits(Value, pixelsPerInch_, 72));
}

void TFont::SetStyle(TFontStyles Value) {
  if (Value == style_) return;
  style_ = Value;
  Changed();
}

// The colour is not part of the handle: the handle stays.
void TFont::SetColor(TColor Value) {
  if (Value == color_) return;
  color_ = Value;
  inherited::Changed();
}

void TFont::SetCharset(TFontCharset Value) {
  if (Value == charset_) return;
  charset_ = Value;
  Changed();
}

void TFont::SetPitch(TFontPitch Value) {
  if (Value == pitch_) return;
  pitch_ = Value;
  Changed();
}

void TFont::SetOrientation(int Value) {
  if (Value == orientation_) return;
  orientation_ = Value;
  Changed();
}

// --- TPen -------------------------------------------------------------------------------------

TPen::~TPen() = default;

void TPen::DescribeClass(TClassBuilder<TPen>& c) {
  c.Property("Color", &TPen::Color, &TPen::SetColor)
      .Default(clBlack)
      .WithIdents(ColorIdents())
      .OfType("TColor");
  c.Property("Mode", &TPen::Mode, &TPen::SetMode).Default(static_cast<int>(pmCopy));
  c.Property("Style", &TPen::Style, &TPen::SetStyle);
  c.Property("Width", &TPen::Width, &TPen::SetWidth).Default(1);
}

HPEN TPen::Handle() {
  if (!handle_) {
    static constexpr int kStyles[] = {PS_SOLID,      PS_DASH, PS_DOT,        PS_DASHDOT,
                                      PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    const int style = kStyles[static_cast<int>(style_)];
    const COLORREF rgb = ColorToRGB(color_);
    const std::string key =
        "P|" + std::to_string(style) + "|" + std::to_string(width_) + "|" + std::to_string(rgb);
    handle_ = vcl_detail::Acquire(key, [&] { return static_cast<HGDIOBJ>(CreatePen(style, width_, rgb)); });
  }
  return static_cast<HPEN>(handle_->Handle);
}

void TPen::Changed() {
  auto old = std::move(handle_);
  handle_.reset();
  inherited::Changed();
}

void TPen::SetHandle(HPEN Value) {
  LOGPEN lp;
  if (!Value || !GetObject(Value, sizeof(LOGPEN), &lp)) throw EInvalidGraphic("Invalid pen handle");
  color_ = static_cast<TColor>(lp.lopnColor);
  width_ = lp.lopnWidth.X;
  switch (lp.lopnStyle) {
    case PS_DASH:
      style_ = psDash;
      break;
    case PS_DOT:
      style_ = psDot;
      break;
    case PS_DASHDOT:
      style_ = psDashDot;
      break;
    case PS_DASHDOTDOT:
      style_ = psDashDotDot;
      break;
    case PS_NULL:
      style_ = psClear;
      break;
    case PS_INSIDEFRAME:
      style_ = psInsideFrame;
      break;
    default:
      style_ = psSolid;
      break;
  }
  Changed();
}

void TPen::Assign(TPersistent* Source) {
  if (auto* p = dynamic_cast<TPen*>(Source)) {
    if (p == this) return;
    color_ = p->color_;
    width_ = p->width_;
    style_ = p->style_;
    mode_ = p->mode_;
    Changed();
    return;
  }
  inherited::Assign(Source);
}

void TPen::SetColor(TColor Value) {
  if (Value == color_) return;
  color_ = Value;
  Changed();
}

void TPen::SetWidth(int Value) {
  if (Value < 0 || Value == width_) return;
  width_ = Value;
  Changed();
}

void TPen::SetStyle(TPenStyle Value) {
  if (Value == style_) return;
  style_ = Value;
  Changed();
}

void TPen::SetMode(TPenMode Value) {
  if (Value == mode_) return;
  mode_ = Value;
  inherited::Changed();
}

// --- TBrush -----------------------------------------------------------------------------------

TBrush::~TBrush() = default;

void TBrush::DescribeClass(TClassBuilder<TBrush>& c) {
  c.Property("Color", &TBrush::Color, &TBrush::SetColor)
      .Default(clWhite)
      .WithIdents(ColorIdents())
      .OfType("TColor");
  c.Property("Style", &TBrush::Style, &TBrush::SetStyle);
}

HBRUSH TBrush::Handle() {
  if (!handle_) {
    if (bitmap_ && bitmap_->Handle()) {
      HBITMAP bmp = bitmap_->Handle();
      const std::string key = "B|pattern|" + std::to_string(reinterpret_cast<uintptr_t>(bmp));
      handle_ = vcl_detail::Acquire(key, [&] { return static_cast<HGDIOBJ>(CreatePatternBrush(bmp)); });
    } else {
      LOGBRUSH lb;
      lb.lbColor = ColorToRGB(color_);
      if (style_ == bsSolid) {
        lb.lbStyle = BS_SOLID;
      } else if (style_ == bsClear) {
        lb.lbStyle = BS_HOLLOW;
      } else {
        lb.lbStyle = BS_HATCHED;
        lb.lbHatch = static_cast<uintptr_t>(static_cast<int>(style_) - static_cast<int>(bsHorizontal));
      }
      const std::string key = "B|" + std::to_string(lb.lbStyle) + "|" + std::to_string(lb.lbHatch) + "|" +
                              std::to_string(lb.lbStyle == BS_HOLLOW ? 0 : lb.lbColor);
      handle_ = vcl_detail::Acquire(key, [&] { return static_cast<HGDIOBJ>(CreateBrushIndirect(lb)); });
    }
  }
  return static_cast<HBRUSH>(handle_->Handle);
}

void TBrush::Changed() {
  auto old = std::move(handle_);
  handle_.reset();
  inherited::Changed();
}

void TBrush::SetHandle(HBRUSH Value) {
  LOGBRUSH lb;
  if (!Value || !GetObject(Value, sizeof(LOGBRUSH), &lb)) throw EInvalidGraphic("Invalid brush handle");
  bitmap_ = nullptr;
  color_ = static_cast<TColor>(lb.lbColor);
  if (lb.lbStyle == BS_HOLLOW)
    style_ = bsClear;
  else if (lb.lbStyle == BS_HATCHED && lb.lbHatch <= static_cast<uintptr_t>(HS_DIAGCROSS))
    style_ = static_cast<TBrushStyle>(static_cast<int>(bsHorizontal) + static_cast<int>(lb.lbHatch));
  else
    style_ = bsSolid;
  Changed();
}

void TBrush::Assign(TPersistent* Source) {
  if (auto* b = dynamic_cast<TBrush*>(Source)) {
    if (b == this) return;
    color_ = b->color_;
    style_ = b->style_;
    bitmap_ = b->bitmap_;
    Changed();
    return;
  }
  inherited::Assign(Source);
}

void TBrush::SetColor(TColor Value) {
  if (Value == color_ && style_ != bsClear) return;
  color_ = Value;
  if (style_ == bsClear) style_ = bsSolid;
  Changed();
}

void TBrush::SetStyle(TBrushStyle Value) {
  if (Value == style_ && !bitmap_) return;
  style_ = Value;
  if (style_ == bsClear) color_ = clWhite;
  bitmap_ = nullptr;
  Changed();
}

void TBrush::SetBitmap(TBitmap* Value) {
  if (Value == bitmap_) return;
  bitmap_ = Value;
  Changed();
}
