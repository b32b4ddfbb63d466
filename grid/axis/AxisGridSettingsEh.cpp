// The axis grid's line parameters, its border object and the tool-tip window of its cells.
#include "grid/axis/AxisGridSettingsEh.h"

#include "grid/axis/DBAxisGridEh.h"
#include "grid/foundation/ColorRoutinesEh.h"
#include "platform/gdi/Theme.h"
#include "platform/vcl/Forms.h"

RTL_IMPLEMENT_CLASS(TDBAxisGridLineParamsEh)
RTL_IMPLEMENT_CLASS(TControlBorderEh)
RTL_IMPLEMENT_CLASS(TGridToolTipsWindowEh)

namespace axis_settings_detail {

constexpr TColor kFlatDarkColor = static_cast<TColor>(0x808080);
// Blue 0xB8, green 0xC7, red 0xCB.
constexpr TColor kThemedDarkColor = static_cast<TColor>(0xB8C7CB);

int OsMajorVersion() {
  OSVERSIONINFO info;
  return GetVersionEx(&info) ? static_cast<int>(info.dwMajorVersion) : 0;
}

}  // namespace axis_settings_detail

using namespace axis_settings_detail;

// --- line parameters ---------------------------------------------------------------------------

TDBAxisGridLineParamsEh::TDBAxisGridLineParamsEh(TCustomDBAxisGridEh* AGrid)
    : TGridLineColorsEh(AGrid), axisGrid_(AGrid) {}

TDBAxisGridLineParamsEh::~TDBAxisGridLineParamsEh() = default;

void TDBAxisGridLineParamsEh::DescribeClass(TClassBuilder<TDBAxisGridLineParamsEh>& c) {
  using L = TDBAxisGridLineParamsEh;
  c.Property(
       "DataVertLines", [](const L& l) { return const_cast<L&>(l).DataVertLines(); }, &L::SetDataVertLines)
      .NoDefault()
      .StoredIf([](const TObject& o) { return static_cast<const L&>(o).DataVertLinesStored(); });
  c.Property("DataVertLinesStored", &L::DataVertLinesStored, &L::SetDataVertLinesStored).Default(0);
  c.Property(
       "DataHorzLines", [](const L& l) { return const_cast<L&>(l).DataHorzLines(); }, &L::SetDataHorzLines)
      .NoDefault()
      .StoredIf([](const TObject& o) { return static_cast<const L&>(o).DataHorzLinesStored(); });
  c.Property("DataHorzLinesStored", &L::DataHorzLinesStored, &L::SetDataHorzLinesStored).Default(0);
  c.Property("DataBoundaryColor", &L::DataBoundaryColor, &L::SetDataBoundaryColor)
      .Default(clDefault)
      .WithIdents(ColorIdents());
  c.Property("GridBoundaries", &L::GridBoundaries, &L::SetGridBoundaries).Default(0);
  c.Property("ColorScheme", &L::ColorScheme, &L::SetColorScheme).Default(static_cast<int64_t>(glcsDefaultEh));
  c.Property("VertEmptySpaceStyle", &L::VertEmptySpaceStyle, &L::SetVertEmptySpaceStyle)
      .Default(static_cast<int64_t>(dessGradiendEh));
}

void TDBAxisGridLineParamsEh::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TDBAxisGridLineParamsEh*>(Source)) {
    dataVertLines_ = src->dataVertLines_;
    dataVertLinesStored_ = src->dataVertLinesStored_;
    dataHorzLines_ = src->dataHorzLines_;
    dataHorzLinesStored_ = src->dataHorzLinesStored_;
    dataBoundaryColor_ = src->dataBoundaryColor_;
    gridBoundaries_ = src->gridBoundaries_;
    colorScheme_ = src->colorScheme_;
    vertEmptySpaceStyle_ = src->vertEmptySpaceStyle_;
  }
  // The base copies the four colours (or raises for a foreign source) and repaints.
  inherited::Assign(Source);
}

void TDBAxisGridLineParamsEh::Invalidate() {
  if (axisGrid_) axisGrid_->InvalidateGrid();
}

bool TDBAxisGridLineParamsEh::DataVertLines() {
  return dataVertLinesStored_ ? dataVertLines_ : DefaultDataVertLines();
}

void TDBAxisGridLineParamsEh::SetDataVertLines(bool Value) {
  dataVertLines_ = Value;
  dataVertLinesStored_ = true;
  Invalidate();
}

void TDBAxisGridLineParamsEh::SetDataVertLinesStored(bool Value) {
  // Turning on again keeps the own value: a description reads it before this flag.
  if (Value && dataVertLinesStored_) return;
  dataVertLines_ = DefaultDataVertLines();
  dataVertLinesStored_ = Value;
  Invalidate();
}

bool TDBAxisGridLineParamsEh::DataHorzLines() {
  return dataHorzLinesStored_ ? dataHorzLines_ : DefaultDataHorzLines();
}

void TDBAxisGridLineParamsEh::SetDataHorzLines(bool Value) {
  dataHorzLines_ = Value;
  dataHorzLinesStored_ = true;
  Invalidate();
}

void TDBAxisGridLineParamsEh::SetDataHorzLinesStored(bool Value) {
  // Turning on again keeps the own value: a description reads it before this flag.
  if (Value && dataHorzLinesStored_) return;
  dataHorzLines_ = DefaultDataHorzLines();
  dataHorzLinesStored_ = Value;
  Invalidate();
}

void TDBAxisGridLineParamsEh::SetDataBoundaryColor(TColor Value) {
  if (dataBoundaryColor_ == Value) return;
  dataBoundaryColor_ = Value;
  Invalidate();
}

void TDBAxisGridLineParamsEh::SetGridBoundaries(bool Value) {
  if (gridBoundaries_ == Value) return;
  gridBoundaries_ = Value;
  Invalidate();
}

void TDBAxisGridLineParamsEh::SetColorScheme(TDBGridLinesColorSchemeEh Value) {
  if (colorScheme_ == Value) return;
  colorScheme_ = Value;
  Invalidate();
}

void TDBAxisGridLineParamsEh::SetVertEmptySpaceStyle(TDrawEmptySpaceStyle Value) {
  if (vertEmptySpaceStyle_ == Value) return;
  vertEmptySpaceStyle_ = Value;
  Invalidate();
}

TColor TDBAxisGridLineParamsEh::ThemedListBorderColor() {
  // The list view's own frame; a painter without one answers the edit frame, which a list
  // view shares on the systems that theme it.
  COLORREF color = 0;
  bool found = false;
  if (HTHEME theme = OpenThemeData(nullptr, "LISTVIEW")) {
    found = GetThemeColor(theme, LVP_LISTITEM, LISS_NORMAL, TMT_BORDERCOLOR, &color) == S_OK;
    CloseThemeData(theme);
  }
  if (!found) {
    if (HTHEME theme = OpenThemeData(nullptr, "EDIT")) {
      found = GetThemeColor(theme, EP_EDITTEXT, ETS_NORMAL, TMT_BORDERCOLOR, &color) == S_OK;
      CloseThemeData(theme);
    }
  }
  return found ? static_cast<TColor>(color) : kThemedDarkColor;
}

TColor TDBAxisGridLineParamsEh::GetDarkColor() {
  if (darkColor_ != clDefault) return darkColor_;
  const TDBGridLinesColorSchemeEh scheme = GetActualColorScheme();
  const bool themes = ThemesEnabled();
  if (themes && OsMajorVersion() >= 6 && scheme == glcsThemedEh) return ThemedListBorderColor();
  if (scheme == glcsFlatEh) return kFlatDarkColor;
  if (scheme == glcsThemedEh) return kThemedDarkColor;
  if (scheme == glcsClassicEh && themes) return cl3DDkShadow;
  return clBlack;
}

TColor TDBAxisGridLineParamsEh::GetBrightColor() {
  if (brightColor_ != clDefault) return brightColor_;
  if (ThemesEnabled() && GetActualColorScheme() == glcsThemedEh) return clBtnFace;
  return inherited::GetBrightColor();
}

TColor TDBAxisGridLineParamsEh::GetDataVertColor() {
  return dataVertColor_ != clDefault ? dataVertColor_ : GetBrightColor();
}

TColor TDBAxisGridLineParamsEh::GetDataHorzColor() {
  return dataHorzColor_ != clDefault ? dataHorzColor_ : GetBrightColor();
}

TColor TDBAxisGridLineParamsEh::GetDataBoundaryColor() {
  if (dataBoundaryColor_ != clDefault) return dataBoundaryColor_;
  const TColor vert = GetDataVertColor();
  const TColor horz = GetDataHorzColor();
  if (vert == horz && vert != clNone) return GetDarkColor();
  return DarkerColor(vert, horz);
}

bool TDBAxisGridLineParamsEh::DefaultDataVertLines() {
  throw Exception("Realize DefaultDataVertLines in an inherited class");
}

bool TDBAxisGridLineParamsEh::DefaultDataHorzLines() {
  throw Exception("Realize DefaultDataHorzLines in an inherited class");
}

TDBGridLinesColorSchemeEh TDBAxisGridLineParamsEh::GetActualColorScheme() {
  throw Exception("Realize GetActualColorScheme in an inherited class");
}

// --- the border --------------------------------------------------------------------------------

TControlBorderEh::TControlBorderEh(TCustomDBAxisGridEh* AGrid) : grid_(AGrid) {}

TControlBorderEh::~TControlBorderEh() = default;

void TControlBorderEh::DescribeClass(TClassBuilder<TControlBorderEh>& c) {
  using B = TControlBorderEh;
  c.Property("ExtendedDraw", &B::ExtendedDraw, &B::SetExtendedDraw)
      .NoDefault()
      .StoredIf([](const TObject& o) { return static_cast<const B&>(o).ExtendedDrawStored(); });
  c.Property("ExtendedDrawStored", &B::ExtendedDrawStored, &B::SetExtendedDrawStored).Default(0);
  c.Property("Style", &B::Style, &B::SetStyle).Default(static_cast<int64_t>(bsSingle));
  c.Property("Ctl3D", &B::Ctl3D, &B::SetCtl3D).Default(1);
  c.Property("Color", &B::Color, &B::SetColor).Default(clDefault).WithIdents(ColorIdents());
  c.Property("EdgeBorders", &B::EdgeBorders, &B::SetEdgeBorders)
      .Default(static_cast<int64_t>(AllEdgeBorders().ToBits()));
}

TPersistent* TControlBorderEh::GetOwner() {
  return grid_;
}

void TControlBorderEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TControlBorderEh*>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  SetStyle(src->Style());
  SetCtl3D(src->Ctl3D());
  SetColor(src->Color());
  SetEdgeBorders(src->EdgeBorders());
  if (src->ExtendedDrawStored())
    SetExtendedDraw(src->ExtendedDraw());
  else
    SetExtendedDrawStored(false);
}

bool TControlBorderEh::DefaultExtendedDraw() const {
  if (!grid_ || !grid_->Flat()) return false;
  return grid_->Ctl3D() || color_ != clDefault || edgeBorders_ != AllEdgeBorders();
}

bool TControlBorderEh::ExtendedDraw() const {
  return extendedDrawStored_ ? extendedDraw_ : DefaultExtendedDraw();
}

void TControlBorderEh::SetExtendedDraw(bool Value) {
  extendedDraw_ = Value;
  extendedDrawStored_ = true;
  if (grid_ && grid_->HandleAllocated()) grid_->RecreateWnd();
}

void TControlBorderEh::SetExtendedDrawStored(bool Value) {
  // Turning on again keeps the own value: a description reads it before this flag.
  if (Value && extendedDrawStored_) return;
  extendedDraw_ = DefaultExtendedDraw();
  extendedDrawStored_ = Value;
  if (grid_) grid_->InvalidateGrid();
}

TBorderStyle TControlBorderEh::Style() const {
  return grid_ ? grid_->BorderStyle() : bsSingle;
}

void TControlBorderEh::SetStyle(TBorderStyle Value) {
  if (grid_) grid_->SetBorderStyle(Value);
}

bool TControlBorderEh::Ctl3D() const {
  return grid_ ? grid_->Ctl3D() : true;
}

void TControlBorderEh::SetCtl3D(bool Value) {
  if (grid_) grid_->SetCtl3D(Value);
}

void TControlBorderEh::SetColor(TColor Value) {
  if (color_ == Value) return;
  const bool oldNeed = ExtendedDraw();
  color_ = Value;
  NeedChanged(oldNeed);
}

void TControlBorderEh::SetEdgeBorders(TEdgeBorders Value) {
  if (edgeBorders_ == Value) return;
  const bool oldNeed = ExtendedDraw();
  edgeBorders_ = Value;
  NeedChanged(oldNeed);
}

void TControlBorderEh::NeedChanged(bool OldNeed) {
  if (!grid_ || !grid_->HandleAllocated()) return;
  SetWindowPos(grid_->Handle(), nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  if (OldNeed != ExtendedDraw()) grid_->RecreateWnd();
}

// --- the tool-tip window -----------------------------------------------------------------------

TGridToolTipsWindowEh::TGridToolTipsWindowEh(TComponent* AOwner) : THintWindow(AOwner) {}

TGridToolTipsWindowEh::~TGridToolTipsWindowEh() = default;

TRect TGridToolTipsWindowEh::CalcHintRect(int MaxWidth, const std::string& AHint, void* AData) {
  if (auto* font = static_cast<TFont*>(AData)) {
    Canvas()->Font()->Assign(font);
    // The platform measures with the window's font.
    Font()->Assign(font);
  }
  Canvas()->Font()->SetColor(clWindowText);
  return inherited::CalcHintRect(MaxWidth, AHint, AData);
}

void TGridToolTipsWindowEh::ActivateHintData(TRect Rect, const std::string& AHint, void* AData) {
  if (auto* font = static_cast<TFont*>(AData)) Font()->Assign(font);
  inherited::ActivateHintData(Rect, AHint, AData);
}

void TGridToolTipsWindowEh::Paint() {
  TRect r = ClientRect();
  r.Left += 2;
  r.Top += 2;
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(Font());
  canvas->Brush()->SetStyle(bsClear);
  UINT flags = DT_LEFT | DT_WORDBREAK | DT_NOPREFIX;
  if (UseRightToLeftReading()) flags |= DT_RTLREADING;
  const std::string text = Caption();
  ::DrawText(canvas->Handle(), text, &r, flags);
}

void RegisterAxisGridSettingsClasses() {
  RegisterClasses({TDBAxisGridLineParamsEh::StaticClass(), TControlBorderEh::StaticClass(),
                   TGridToolTipsWindowEh::StaticClass()});
}
