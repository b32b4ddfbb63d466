// The grid style: its published settings, the hidden window that hears colour changes, the
// screen's colour depth, the grids that use it and the colours it answers for cells and titles.
// Sort markers and fixed-cell frames are drawn in DBGridEhStylePaint.cpp.
#include <algorithm>
#include <cmath>

#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/foundation/ButtonPainterEh.h"
#include "grid/foundation/ColorRoutinesEh.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/Painting.h"
#include "platform/win/Windows.h"

RTL_IMPLEMENT_CLASS(TDBGridEhStyle)

namespace dbgrid_style_detail {

// The shared instance; none before the start-up and after the finalization.
TDBGridEhStyle* gDefaultStyle = nullptr;

// NUMCOLORS of the screen as the last style read it; -1: true colour.
int gScreenColorDepth = -1;

// A third and two thirds of the way, in the 0..255 weights of the drawing routines' mix.
constexpr double kThird = 255.0 / 3.0;
constexpr double kTwoThirds = 255.0 * 2.0 / 3.0;

bool TrueColor() {
  return gScreenColorDepth == -1;
}

// The search box is in use: the grid keeps that state in step with its search panel.
bool Searching(TCustomDBGridEh* Grid) {
  return Grid->SearchMode();
}

}  // namespace dbgrid_style_detail

int DBGridEhScreenColorDepth() {
  return dbgrid_style_detail::gScreenColorDepth;
}

TDBGridEhStyle* DBGridEhDefaultStyle() {
  return dbgrid_style_detail::gDefaultStyle;
}

void CreateDBGridEhDefaultStyle() {
  if (!dbgrid_style_detail::gDefaultStyle)
    dbgrid_style_detail::gDefaultStyle = new TDBGridEhStyle(nullptr);
  else
    dbgrid_style_detail::gDefaultStyle->WindowHandle();  // a window lost to a reset comes back
}

void FreeDBGridEhDefaultStyle() {
  delete dbgrid_style_detail::gDefaultStyle;  // its destructor clears the getter
  dbgrid_style_detail::gDefaultStyle = nullptr;
}

// --- life cycle ------------------------------------------------------------------------------------

void TDBGridEhStyle::DescribeClass(TClassBuilder<TDBGridEhStyle>& c) {
  using T = TDBGridEhStyle;
  c.Property("LuminateSelection", &T::LuminateSelection, &T::SetLuminateSelection).Default(1);
  c.Property("IsDrawFocusRect", &T::IsDrawFocusRect, &T::SetIsDrawFocusRect).Default(1);
  c.Property("InTitleFitlerButtonStyle", &T::InTitleFitlerButtonStyle, &T::SetInTitleFitlerButtonStyle)
      .Default(static_cast<int64_t>(ebsDropDownEh));
  c.Property("ThemeTitleFillElement", &T::ThemeTitleFillElement, &T::SetThemeTitleFillElement)
      .Default(static_cast<int64_t>(gtfeHeaderItemEh));
  c.Property(
      "OnGetSubtitleRowColor", [](const T& s) -> const auto& { return s.OnGetSubtitleRowColor; },
      [](T& s, const TDBGridEhGetColorEvent& v) { s.OnGetSubtitleRowColor = v; });
  c.Property("SelectionColor", &T::SelectionColor, &T::SetSelectionColor)
      .Default(clDefault)
      .WithIdents(ColorIdents());
  c.Property("SelectionFontColor", &T::SelectionFontColor, &T::SetSelectionFontColor)
      .Default(clDefault)
      .WithIdents(ColorIdents());
  c.Property("SelectionInactiveColor", &T::SelectionInactiveColor, &T::SetSelectionInactiveColor)
      .Default(clDefault)
      .WithIdents(ColorIdents());
  c.Property("SortMarkerStyle", &T::SortMarkerStyle, &T::SetSortMarkerStyle)
      .Default(static_cast<int64_t>(smstDefaultEh));
  c.Property("DataCellHorzOffset", &T::DataCellHorzOffset, &T::SetDataCellHorzOffset).Default(-1);
  c.Property("GradientEnabledInClassicTheme", &T::GradientEnabledInClassicTheme,
             &T::SetGradientEnabledInClassicTheme)
      .Default(0);
  c.Property("DefaultSortMarkerStyle", &T::DefaultSortMarkerStyle, &T::SetDefaultSortMarkerStyle)
      .Default(static_cast<int64_t>(smstFrameEh));
  c.Property("FinishLoadingStatusRenderDuration", &T::FinishLoadingStatusRenderDuration,
             &T::SetFinishLoadingStatusRenderDuration)
      .Default(500);
  c.Property("StartLoadingStatusRenderDuration", &T::StartLoadingStatusRenderDuration,
             &T::SetStartLoadingStatusRenderDuration)
      .Default(300);
}

TDBGridEhStyle::TDBGridEhStyle(TComponent* AOwner) : TComponent(AOwner) {
  WindowHandle();
  SysColorChanged();
}

TDBGridEhStyle::~TDBGridEhStyle() {
  if (OwnsLiveWindow()) DeallocateHWnd(windowHandle_);
  windowHandle_ = nullptr;
  if (dbgrid_style_detail::gDefaultStyle == this) dbgrid_style_detail::gDefaultStyle = nullptr;
  // Popped before the grid lets go, so its unregistering finds nothing left to remove.
  while (!grids_.empty()) {
    TCustomDBGridEh* grid = grids_.back();
    grids_.pop_back();
    grid->SetStyle(nullptr);
  }
}

// The window carries the style in its user data: a handle that a reset of the window manager
// handed to another window is not this style's any more.
bool TDBGridEhStyle::OwnsLiveWindow() {
  return windowHandle_ && IsWindow(windowHandle_) &&
         GetWindowLongPtr(windowHandle_, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this);
}

HWND TDBGridEhStyle::WindowHandle() {
  if (OwnsLiveWindow()) return windowHandle_;
  windowHandle_ = AllocateHWnd([this](UINT Msg, WPARAM WParam, LPARAM LParam) -> LRESULT {
    TMessage message;
    message.Msg = Msg;
    message.WParam = WParam;
    message.LParam = LParam;
    WndProc(message);
    return message.Result;
  });
  if (windowHandle_) SetWindowLongPtr(windowHandle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  return windowHandle_;
}

void TDBGridEhStyle::WndProc(TMessage& Message) {
  if (Message.Msg == WM_SYSCOLORCHANGE) {
    SysColorChanged();
    Message.Result = 0;
  } else {
    Message.Result = DefWindowProc(windowHandle_, Message.Msg, Message.WParam, Message.LParam);
  }
}

void TDBGridEhStyle::SysColorChanged() {
  HDC dc = GetDC(nullptr);
  TScopeExit release([dc] { ReleaseDC(nullptr, dc); });
  int depth = GetDeviceCaps(dc, NUMCOLORS);
  if (depth > 1 && GetDeviceCaps(dc, BITSPIXEL) > 8) depth = -1;
  dbgrid_style_detail::gScreenColorDepth = depth;
  ClearButtonsBitmapCache();
}

// --- grids using the style ---------------------------------------------------------------------

void TDBGridEhStyle::RegisterGrid(TCustomDBGridEh* Grid) {
  if (Grid && !IsGridRegistered(Grid)) grids_.push_back(Grid);
}

void TDBGridEhStyle::UnregisterGrid(TCustomDBGridEh* Grid) {
  grids_.erase(std::remove(grids_.begin(), grids_.end(), Grid), grids_.end());
}

bool TDBGridEhStyle::IsGridRegistered(TCustomDBGridEh* Grid) {
  return std::find(grids_.begin(), grids_.end(), Grid) != grids_.end();
}

void TDBGridEhStyle::NotifyGrids() {
  // A copy: a grid may leave the style while it refreshes.
  const std::vector<TCustomDBGridEh*> grids = grids_;
  for (TCustomDBGridEh* grid : grids)
    if (IsGridRegistered(grid)) grid->StyleChanged();
}

// --- published setters -----------------------------------------------------------------------

void TDBGridEhStyle::SetLuminateSelection(bool Value) {
  if (Value == luminateSelection_) return;
  luminateSelection_ = Value;
  NotifyGrids();
}

void TDBGridEhStyle::SetSelectionColor(TColor Value) {
  if (Value == selectionColor_) return;
  selectionColor_ = Value;
  NotifyGrids();
}

void TDBGridEhStyle::SetSelectionFontColor(TColor Value) {
  if (Value == selectionFontColor_) return;
  selectionFontColor_ = Value;
  NotifyGrids();
}

void TDBGridEhStyle::SetSortMarkerStyle(TSortMarkerStyleEh Value) {
  if (Value == sortMarkerStyle_) return;
  sortMarkerStyle_ = Value;
  NotifyGrids();
}

void TDBGridEhStyle::SetGradientEnabledInClassicTheme(bool Value) {
  if (Value == gradientEnabledInClassicTheme_) return;
  gradientEnabledInClassicTheme_ = Value;
  NotifyGrids();
}

// --- colour arithmetic -------------------------------------------------------------------------

// Halfway between the colours, then 60 % of the way to 225; Spread pushes the channel a quarter
// further away from 122.
TColor TDBGridEhStyle::BlendColors(TColor Color1, TColor Color2, bool Spread) {
  const COLORREF a = ColorToRGB(Color1);
  const COLORREF b = ColorToRGB(Color2);
  uint32_t result = 0;
  for (int shift : {0, 8, 16}) {
    const double c1 = static_cast<double>((a >> shift) & 0xFF);
    const double c2 = static_cast<double>((b >> shift) & 0xFF);
    const double m = (c2 - c1) * 0.5 + c1;
    double v = (225.0 - m) * 0.6 + m;
    if (Spread) v -= (122.0 - v) * 0.25;
    const long channel = std::clamp(std::lround(v), 0L, 255L);
    result |= static_cast<uint32_t>(channel) << shift;
  }
  return static_cast<TColor>(result);
}

TColor TDBGridEhStyle::LuminatedColor(TCustomDBGridEh* Grid, TColor Color) {
  TCanvas* canvas = Grid->Canvas();
  // The device is only asked when it exists: a grid is not given a device context for this.
  void* dc = canvas && canvas->HandleAllocated() ? canvas->Handle() : nullptr;
  return static_cast<TColor>(GetNearestColor(dc, ColorToRGB(BlendColors(Color, GetSelectionColor(), true))));
}

TColor TDBGridEhStyle::GetColumnFontColor(TCustomDBGridEh* Grid, TColumnEh* Column) {
  return Column ? Column->Font()->Color() : Grid->Font()->Color();
}

TColor TDBGridEhStyle::GetColumnColor(TCustomDBGridEh* Grid, TColumnEh* Column) {
  return Column ? Column->Color() : Grid->Color();
}

TColor TDBGridEhStyle::GetSubtitleRowColor(TCustomDBGridEh* Grid) {
  TColor color = DefaultSubtitleRowColor(Grid);
  if (OnGetSubtitleRowColor) OnGetSubtitleRowColor(Grid, color);
  return color;
}

TColor TDBGridEhStyle::DefaultSubtitleRowColor(TCustomDBGridEh* Grid) {
  return ::BlendColors(Grid->Color(), Grid->FixedColor(), 8);
}

TColor TDBGridEhStyle::GetSubtitleRowLineColor(TCustomDBGridEh* Grid) {
  return ::BlendColors(Grid->FixedColor(), Grid->GridLineColors()->GetDarkColor(), 128);
}

TColor TDBGridEhStyle::GetSelectionColor() {
  return selectionColor_ == clDefault ? clHighlight : selectionColor_;
}

TColor TDBGridEhStyle::GetSelectionFontColor() {
  return selectionFontColor_ == clDefault ? clHighlightText : selectionFontColor_;
}

TColor TDBGridEhStyle::GetSelectionInactiveColor() {
  return selectionInactiveColor_ == clDefault ? ColorToGray(GetSelectionColor()) : selectionInactiveColor_;
}

int TDBGridEhStyle::GetDataCellHorzOffset() {
  return dataCellHorzOffset_ < 0 ? 3 : dataCellHorzOffset_;
}

int TDBGridEhStyle::GetFillStyleCode() {
  return ThemesEnabled() ? 2 : 1;
}

// --- what the painters ask ---------------------------------------------------------------------

TTreeViewGlyphStyleEh TDBGridEhStyle::DefaultTreeGlyphStyle() {
  return IsThemed() ? tvgsThemedEh : tvgsClassicEh;
}

bool TDBGridEhStyle::IsThemed() {
  return ThemesEnabled();
}

void TDBGridEhStyle::AdjustFixedCellFrameRect(TRect& ARect, bool Right, bool Bottom) {
  if (IsThemed()) {
    InflateRect(ARect, 1, 1);
    return;
  }
  if (Right) ARect.Right += 2;
  if (Bottom) ARect.Bottom += 2;
}

bool TDBGridEhStyle::GradientAllowed() {
  return IsThemed() || gradientEnabledInClassicTheme_;
}

TColor TDBGridEhStyle::DefaultGroupingPanelColor(TCustomDBGridEh* Grid) {
  return ::BlendColors(Grid->FixedColor(), Grid->GridLineColors()->GetBrightColor(), 128);
}

// --- title and cell colours --------------------------------------------------------------------

bool TDBGridEhStyle::GetTitleColors(TCustomDBGridEh* Grid, int /*ACol*/, TFont* Font, TColor& Background,
                                    bool Highlighted, uint16_t CellType) {
  if (!Highlighted) return false;
  const int horz = CellType & 0xFF;
  const int vert = CellType >> 8;
  const bool fixedLook = (horz == 0 && vert != 3) || (horz != 0 && (vert == 0 || vert == 1)) ||
                         (horz != 0 && vert == 4 && Grid->FooterParams()->Color() == Grid->FixedColor());
  if (fixedLook) {
    Background = ::BlendColors(RGB(64, 64, 64), clHighlight, 63.0);
    if (Font) Font->SetColor(static_cast<TColor>(0xFFFFFF));
  } else if (Grid->IsFocusedOrChildFocused()) {
    if (luminateSelection_ && dbgrid_style_detail::TrueColor()) {
      Background = BlendColors(Background, clHighlight, true);
    } else {
      Background = clHighlight;
      if (Font) Font->SetColor(clHighlightText);
    }
  } else if (dbgrid_style_detail::TrueColor()) {
    Background = BlendColors(Background, clBtnShadow, false);
  } else {
    Background = clBtnFace;
  }
  return true;
}

bool TDBGridEhStyle::GetCellColors(TCustomDBGridEh* Grid, int ACol, int ARow, int DataCol, int /*DataRow*/,
                                   int /*Unused*/, TGridDrawState& State, bool Selected, TColor& Background,
                                   TFont* Font) {
  using namespace dbgrid_style_detail;
  const TColor entryColor = Background;
  const TDBGridOptions options = Grid->Options();
  const TDBGridEhOptions optionsEh = Grid->OptionsEh();
  const bool rowSelect = options.Contains(dgRowSelect);
  const bool alwaysShow = options.Contains(dgAlwaysShowSelection);
  const bool hotTrack = optionsEh.Contains(dghHotTrack);
  const bool rowHighlight = optionsEh.Contains(dghRowHighlight);
  const bool currentRow = ARow == Grid->Row();
  const bool currentCell = currentRow && (rowSelect || DataCol == Grid->SelectedIndex());
  const TGridHotTrackSpotEh hot = *Grid->HotTrackSpot();
  const bool hotRow = ARow == hot.Row;
  const bool searching = Searching(Grid);
  const bool trueColor = TrueColor();
  auto setFontColor = [Font](TColor Color) {
    if (Font) Font->SetColor(Color);
  };

  // 1. Whether the cell is drawn highlighted.
  bool highlighted = Grid->DataLink()->Active() && Selected;
  bool focusHighlight = false;
  if (!highlighted) {
    focusHighlight = Grid->Focused() && optionsEh.Contains(dghHighlightFocus) && !Grid->FilterEditMode();
    const bool editorFocused = Grid->InplaceEditor() && Grid->InplaceEditor()->Focused();
    if (rowHighlight && currentRow && DataCol != Grid->SelectedIndex() &&
        Grid->Selection()->SelectionType() == gstNon && (alwaysShow || focusHighlight || editorFocused)) {
      focusHighlight = true;
      State.Include(gdSelected);
    }
    highlighted = (State.Contains(gdSelected) || (currentRow && rowSelect)) &&
                  (alwaysShow || focusHighlight) && (Grid->LayoutChangeLock() == 0 || rowSelect);
  }

  // 5. A cell that is not highlighted only takes the hot-tracking tint.
  if (!highlighted) {
    if (trueColor && hotTrack && hotRow && Grid->CanHotTrackCell(ACol, ARow) &&
        hot.Col >= Grid->IndicatorOffset()) {
      if (rowHighlight || rowSelect) {
        Background = LuminatedColor(Grid, Background);
        const bool hotCell = ACol == hot.Col && !rowSelect;
        if (!hotCell) Background = ::BlendColors(Background, entryColor, kTwoThirds);
      } else if (ACol == hot.Col) {
        Background = LuminatedColor(Grid, Background);
      }
    }
    return false;
  }

  if (Grid->IsFocusedOrChildFocused()) {
    // 2. The focus is in the grid.
    if (currentCell && !searching) {
      Background = GetSelectionColor();
      setFontColor(GetSelectionFontColor());
    } else if (luminateSelection_ && trueColor) {
      if (currentCell) {
        if (hotRow && Grid->CanHotTrackCell(ACol, ARow)) Background = LuminatedColor(Grid, Background);
      } else {
        Background = LuminatedColor(Grid, Background);
        if (hotTrack && rowHighlight && hotRow && ((ACol == hot.Col && ACol != Grid->Col()) || rowSelect))
          Background = ::BlendColors(Background, GetSelectionColor(), kThird);
      }
      if (searching) Background = ::BlendColors(Background, GetSelectionInactiveColor(), kThird);
    }
  } else {
    // 3. The focus is elsewhere.
    bool tint = true;
    if (currentRow && (rowSelect || ACol == Grid->Col()) && (alwaysShow || focusHighlight)) {
      Background = GetSelectionInactiveColor();
      setFontColor(GetSelectionFontColor());
    } else if (trueColor) {
      void* dc = Grid->Canvas() && Grid->Canvas()->HandleAllocated() ? Grid->Canvas()->Handle() : nullptr;
      Background =
          static_cast<TColor>(GetNearestColor(dc, ColorToRGB(BlendColors(Background, clBtnShadow, false))));
    } else {
      Background = clBtnFace;
      tint = false;
    }
    if (tint && hotTrack && hotRow && (rowSelect || ACol == hot.Col))
      Background = ::BlendColors(Background, BlendColors(Background, GetSelectionColor(), true), kTwoThirds);
  }

  // 4. The search panel's column in the current row stands out while searching.
  const int searchColumn = Grid->SearchPanel()->SearchColumn();
  if (searching && searchColumn >= 0 && currentRow && DataCol == searchColumn) {
    Background = ::BlendColors(GetSelectionColor(), GetSelectionInactiveColor(), kTwoThirds);
    setFontColor(GetSelectionFontColor());
  }
  return true;
}
