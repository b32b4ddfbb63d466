#pragma once
// The grid style: the look shared by data grids (selection colours, sort-marker style, title
// fill, data-cell offset, loading-status timings) and the colour arithmetic the grids use for
// selected cells, subtitle rows and sort markers. One instance, made by the unit's start-up,
// hears the system's colour changes through a hidden window.
//
// Files: DBGridEhStyle.cpp (properties, hidden window, colour depth, colour answers),
// DBGridEhStylePaint.cpp (sort markers, fixed-cell backgrounds and frames, TransposeRect).
#include <vector>

#include "grid/dbgrid/DBGridEhCenter.h"
#include "grid/dbgrid/DBGridEhColumns.h"
#include "grid/dbgrid/DBGridEhParams.h"
#include "grid/foundation/EditButtonsEh.h"
#include "platform/vcl/Messages.h"

class TCustomDBGridEh;
struct TDBGridTitleDrawParamsEh;

// Which themed header element fills a title.
enum class TGridThemeTitleFillElementEh : uint8_t { gtfeHeaderItemEh, gtfeSplitButtonEh };
using enum TGridThemeTitleFillElementEh;
RTL_ENUM_INFO(TGridThemeTitleFillElementEh, "gtfeHeaderItemEh", "gtfeSplitButtonEh");

using TDBGridEhGetColorEvent = TEvent<void(TCustomDBGridEh* Grid, TColor& Color)>;

// How a fixed cell (title, indicator, footer, sub-title) draws its background and frame; the
// title painter builds it through DrawTitleCell, the others fill it themselves.
struct TFixedCellParamsEh {
  bool Pressed = false;
  bool Selected = false;
  bool Hot = false;
  bool Is3D = false;
  TGridCellFillStyleEh FillStyle = cfstDefaultEh;
  TColor Color = clBtnFace;
  TColor SecondColor = clDefault;  // clDefault: none
  TColor SpareColor = clDefault;
  bool SplitButtonFill = false;
  TColor FontColor = clWindowText;
  bool VertBorderInFill = false;
  bool HorzBorderInFill = false;
  TColor HorzLineColor = clNone;
  TColor VertLineColor = clNone;
  TRect ClipRect{};  // empty: no clipping
};

class TDBGridEhStyle : public TComponent {
  RTL_CLASS(TDBGridEhStyle, TComponent)
 public:
  static void DescribeClass(TClassBuilder<TDBGridEhStyle>& c);
  // Made without owner by the start-up; allocates the hidden window and reads the colour depth.
  explicit TDBGridEhStyle(TComponent* AOwner = nullptr);
  // Releases the window, clears the global getter when it is this style, and hands every
  // registered grid (last first) a nil style.
  ~TDBGridEhStyle() override;

  // --- virtual operations, in slot order ---
  // Final answer for a data cell's colours; True: the cell is drawn highlighted.
  virtual bool GetCellColors(TCustomDBGridEh* Grid, int ACol, int ARow, int DataCol, int DataRow, int Unused,
                             TGridDrawState& State, bool Selected, TColor& Background, TFont* Font);
  // Title and fixed-cell colours; CellType is the horizontal area in the low byte and the
  // vertical one in the high byte.
  virtual bool GetTitleColors(TCustomDBGridEh* Grid, int ACol, TFont* Font, TColor& Background,
                              bool Highlighted, uint16_t CellType);
  // The hidden window's procedure.
  virtual void WndProc(TMessage& Message);
  // Re-reads the colour depth and forgets the cached edit-button images.
  virtual void SysColorChanged();
  // The style's own mix for selected cells (not the weighted BlendColors of the drawing routines).
  virtual TColor BlendColors(TColor Color1, TColor Color2, bool Spread);
  virtual TColor GetColumnFontColor(TCustomDBGridEh* Grid, TColumnEh* Column);
  virtual TColor GetColumnColor(TCustomDBGridEh* Grid, TColumnEh* Column);
  virtual TColor GetSubtitleRowColor(TCustomDBGridEh* Grid);
  virtual TColor DefaultSubtitleRowColor(TCustomDBGridEh* Grid);
  virtual TColor GetSubtitleRowLineColor(TCustomDBGridEh* Grid);
  virtual TColor GetSelectionColor();
  virtual TColor GetSelectionFontColor();
  virtual TColor GetSelectionInactiveColor();
  virtual void GetSortMarkerSize(TCanvas* Canvas, TSortMarkerStyleEh MarkerStyle, int& Width, int& Height);
  virtual int GetDataCellHorzOffset();
  // 2 while visual themes are enabled, else 1.
  virtual int GetFillStyleCode();
  virtual void DrawCellBackground(TCustomDBGridEh* Grid, TGridCellFillStyleEh FillStyle, const TRect& ARect,
                                  bool Pressed, bool Selected, const TRect& ClipRect, bool FixedLook,
                                  TColor SecondColor);
  virtual void DrawTitleCell(TCustomDBGridEh* Grid, int Unused, TCanvas* Canvas, const TRect& ARect,
                             bool Fill, TRect& ContentRect, TGridDrawState State,
                             const TDBGridTitleDrawParamsEh& DrawParams, const TRect& ClipRect);
  virtual void DrawTitleCellParams(TCustomDBGridEh* Grid, TCanvas* Canvas, const TRect& ARect, bool Fill,
                                   TRect& ContentRect, TGridDrawState State,
                                   const TFixedCellParamsEh& Params);
  virtual bool GetIndicatorColors(TCustomDBGridEh* Grid, TColor& Color1, TColor& Color2, TColor& Color3,
                                  TColor& Color4);
  virtual bool GetTitleFrameColors(TCustomDBGridEh* Grid, TColor& Color1, TColor& Color2, TColor& Color3,
                                   TColor& Color4);

  // --- what the painters ask beyond the colours ---
  // Themed glyphs while visual themes are enabled, else classic.
  TTreeViewGlyphStyleEh DefaultTreeGlyphStyle();
  bool IsThemed();
  // Not themed: grows ARect by 2 at the right and/or bottom as asked; themed: by 1 on every side.
  void AdjustFixedCellFrameRect(TRect& ARect, bool Right, bool Bottom);
  bool GradientAllowed();
  // BlendColors(Grid.FixedColor, the grid lines' bright colour, 128).
  TColor DefaultGroupingPanelColor(TCustomDBGridEh* Grid);

  // --- grids using the style ---
  void RegisterGrid(TCustomDBGridEh* Grid);
  void UnregisterGrid(TCustomDBGridEh* Grid);
  bool IsGridRegistered(TCustomDBGridEh* Grid);
  int GridCount() const { return static_cast<int>(grids_.size()); }

  // The hidden window; made again when it was destroyed behind the style's back.
  HWND WindowHandle();

  // --- published ---
  bool LuminateSelection() const { return luminateSelection_; }
  void SetLuminateSelection(bool Value);
  bool IsDrawFocusRect() const { return isDrawFocusRect_; }
  void SetIsDrawFocusRect(bool Value) { isDrawFocusRect_ = Value; }
  TEditButtonStyleEh InTitleFitlerButtonStyle() const { return inTitleFitlerButtonStyle_; }
  void SetInTitleFitlerButtonStyle(TEditButtonStyleEh Value) { inTitleFitlerButtonStyle_ = Value; }
  TGridThemeTitleFillElementEh ThemeTitleFillElement() const { return themeTitleFillElement_; }
  void SetThemeTitleFillElement(TGridThemeTitleFillElementEh Value) { themeTitleFillElement_ = Value; }
  TColor SelectionColor() const { return selectionColor_; }
  void SetSelectionColor(TColor Value);
  TColor SelectionFontColor() const { return selectionFontColor_; }
  void SetSelectionFontColor(TColor Value);
  TColor SelectionInactiveColor() const { return selectionInactiveColor_; }
  void SetSelectionInactiveColor(TColor Value) { selectionInactiveColor_ = Value; }
  TSortMarkerStyleEh SortMarkerStyle() const { return sortMarkerStyle_; }
  void SetSortMarkerStyle(TSortMarkerStyleEh Value);
  int DataCellHorzOffset() const { return dataCellHorzOffset_; }
  void SetDataCellHorzOffset(int Value) { dataCellHorzOffset_ = Value; }
  bool GradientEnabledInClassicTheme() const { return gradientEnabledInClassicTheme_; }
  void SetGradientEnabledInClassicTheme(bool Value);
  TSortMarkerStyleEh DefaultSortMarkerStyle() const { return defaultSortMarkerStyle_; }
  void SetDefaultSortMarkerStyle(TSortMarkerStyleEh Value) { defaultSortMarkerStyle_ = Value; }
  int FinishLoadingStatusRenderDuration() const { return finishLoadingStatusRenderDuration_; }
  void SetFinishLoadingStatusRenderDuration(int Value) { finishLoadingStatusRenderDuration_ = Value; }
  int StartLoadingStatusRenderDuration() const { return startLoadingStatusRenderDuration_; }
  void SetStartLoadingStatusRenderDuration(int Value) { startLoadingStatusRenderDuration_ = Value; }

  TDBGridEhGetColorEvent OnGetSubtitleRowColor;

 private:
  // Asks every registered grid to refresh its look.
  void NotifyGrids();
  // Whether windowHandle_ is still this style's window.
  bool OwnsLiveWindow();
  // Lum of the cell colours: the mix toward the selection colour, as the grid's device shows it.
  TColor LuminatedColor(TCustomDBGridEh* Grid, TColor Color);

  std::vector<TCustomDBGridEh*> grids_;  // not owned
  HWND windowHandle_ = nullptr;
  bool luminateSelection_ = true;
  bool isDrawFocusRect_ = true;
  TEditButtonStyleEh inTitleFitlerButtonStyle_ = ebsDropDownEh;
  TGridThemeTitleFillElementEh themeTitleFillElement_ = gtfeHeaderItemEh;
  TColor selectionColor_ = clDefault;
  TColor selectionFontColor_ = clDefault;
  TColor selectionInactiveColor_ = clDefault;
  TSortMarkerStyleEh sortMarkerStyle_ = smstDefaultEh;
  int dataCellHorzOffset_ = -1;
  bool gradientEnabledInClassicTheme_ = false;
  TSortMarkerStyleEh defaultSortMarkerStyle_ = smstFrameEh;
  int finishLoadingStatusRenderDuration_ = 500;
  int startLoadingStatusRenderDuration_ = 300;
};

// The screen's NUMCOLORS as the style last read it, or -1 for a true-colour screen.
int DBGridEhScreenColorDepth();

// Draws a sort marker of Marker into ARect (sized by GetSortMarkerSize) in MarkerStyle;
// nothing for smNoneEh. Active: the title is highlighted (the selection font colour).
void DrawSortMarker(TDBGridEhStyle* Style, TCanvas* Canvas, TSortMarkerStyleEh MarkerStyle,
                    const TRect& ARect, bool Active, TSortMarkerEh Marker, TColumnEh* Column);

// Keeps Left and Top and swaps the width and the height.
TRect TransposeRect(const TRect& ARect);

// The global style: nullptr until the start-up makes it and after it is freed.
TDBGridEhStyle* DBGridEhDefaultStyle();
// Made by InitDBGridEhUnit (a repeat keeps the first) and freed by FinalizeDBGridEhUnit.
void CreateDBGridEhDefaultStyle();
void FreeDBGridEhDefaultStyle();
