#pragma once
// Settings objects of the data grid: title, indicator and footer parameters, the tree view,
// the row panel and row detail panel, the filter row, scroll bars, the sum list, the title tree,
// grouping, empty-data text, the indicator title and the search panel.
//
// Files: DBGridEhParams.cpp (display parameters, title tree, sum list, grouping,
// indicator title), DBGridEhPanels.cpp (row panel, row detail panel, filter row, scroll bar
// settings), DBGridEhSearchPanel.cpp (search panel settings), DBGridEhEmptyData.cpp
// (empty-data text).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "grid/axis/DBAxisGridEh.h"
#include "grid/axis/DBGridEhGrouping.h"
#include "grid/data/DBSumListEh.h"
#include "grid/data/PropFilerEh.h"
#include "grid/dbgrid/DBGridEhColumns.h"
#include "grid/foundation/GridDrawingEh.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"

class TCustomDBGridEh;
class TColumnEh;
class THorzDBGridEhScrollBar;
class TDBGridEhDataGroupsEh;
class TDBGridEhDataGroupLevelEh;

// Published by the fill styles of the title, indicator and footer parameters.
RTL_ENUM_INFO(TGridCellFillStyleEh, "cfstDefaultEh", "cfstThemedEh", "cfstSolidEh", "cfstGradientEh");
// Title/style sort-marker look.
enum class TSortMarkerStyleEh {
  smstDefaultEh,
  smstClassicEh,
  smst3DFrameEh,
  smstFrameEh,
  smstSolidEh,
  smstThemeDefinedEh
};
using enum TSortMarkerStyleEh;
RTL_ENUM_INFO(TSortMarkerStyleEh, "smstDefaultEh", "smstClassicEh", "smst3DFrameEh", "smstFrameEh",
              "smstSolidEh", "smstThemeDefinedEh");
// Where the filter row is.
enum class TSTFilterLocationEh { stflUnderTitleFilterEh, stflInTitleFilterEh };
using enum TSTFilterLocationEh;
RTL_ENUM_INFO(TSTFilterLocationEh, "stflUnderTitleFilterEh", "stflInTitleFilterEh");
// When title filter buttons show.
enum class TDBGridFilterButtonDrawTimeEh { fbdtAlwaysEh, fbdtWhenRowHotEh, fbdtWhenCellHotEh };
using enum TDBGridFilterButtonDrawTimeEh;
RTL_ENUM_INFO(TDBGridFilterButtonDrawTimeEh, "fbdtAlwaysEh", "fbdtWhenRowHotEh", "fbdtWhenCellHotEh");
// When a scroll bar shows.
enum class TScrollBarVisibleModeEh { sbAlwaysShowEh, sbNeverShowEh, sbAutoShowEh };
using enum TScrollBarVisibleModeEh;
RTL_ENUM_INFO(TScrollBarVisibleModeEh, "sbAlwaysShowEh", "sbNeverShowEh", "sbAutoShowEh");
// Search strip place.
enum class TSearchPanelLocationEh { splGridTopEh, splHorzScrollBarExtraPanelEh, splExternal };
using enum TSearchPanelLocationEh;
RTL_ENUM_INFO(TSearchPanelLocationEh, "splGridTopEh", "splHorzScrollBarExtraPanelEh", "splExternal");
// Arrows in row-panel mode.
enum class TGridRowPanelNavKeysNavigationTypeEh { rpntRowToRowEh, rpntCellToCellEh };
using enum TGridRowPanelNavKeysNavigationTypeEh;
RTL_ENUM_INFO(TGridRowPanelNavKeysNavigationTypeEh, "rpntRowToRowEh", "rpntCellToCellEh");
// Tab in row-panel mode.
enum class TGridRowPanelTabNavigationTypeEh { rpntUpToDownPriorityEh, rpntLeftToRightPriorityEh };
using enum TGridRowPanelTabNavigationTypeEh;
RTL_ENUM_INFO(TGridRowPanelTabNavigationTypeEh, "rpntUpToDownPriorityEh", "rpntLeftToRightPriorityEh");
enum class TNavigateBtnEh {
  nbFirstEh,
  nbPriorEh,
  nbNextEh,
  nbLastEh,
  nbInsertEh,
  nbDeleteEh,
  nbEditEh,
  nbPostEh,
  nbCancelEh,
  nbRefreshEh
};
// Navigator buttons.
using enum TNavigateBtnEh;
RTL_ENUM_INFO(TNavigateBtnEh, "nbFirstEh", "nbPriorEh", "nbNextEh", "nbLastEh", "nbInsertEh", "nbDeleteEh",
              "nbEditEh", "nbPostEh", "nbCancelEh", "nbRefreshEh");
// Default all ten (1023).
using TNavButtonSetEh = TSet<TNavigateBtnEh, 16>;
// Items of the scroll-bar strip.
enum class TGridSBItemEh { gsbiRecordsInfoEh, gsbiNavigator, gsbiSelAggregationInfoEh };
using enum TGridSBItemEh;
RTL_ENUM_INFO(TGridSBItemEh, "gsbiRecordsInfoEh", "gsbiNavigator", "gsbiSelAggregationInfoEh");
// Default all three (7).
using TGridSBItemsEh = TSet<TGridSBItemEh, 8>;
// Grid event fired by TRowDetailPanelEh.SetExpanded.
using TRowDetailPanelShowEventEh = TEvent<void(TCustomDBGridEh* Sender, bool& CanShow)>;
using TRowDetailPanelHideEventEh = TEvent<void(TCustomDBGridEh* Sender, bool& CanHide)>;
// Grid event read by the hit test.
using TCheckRowHaveDetailPanelEventEh = TEvent<void(TCustomDBGridEh* Sender, bool& RowHaveDetailPanel)>;
using TDBGridEhGroupLevelGetKeyValueEventEh =
    TEvent<void(TCustomDBGridEh* Sender, TDBGridEhDataGroupLevelEh* GroupLevel, Variant& KeyValue)>;
using TDBGridEhGroupLevelGetKeyValueAsTextEventEh =
    TEvent<void(TCustomDBGridEh* Sender, TGroupDataTreeNodeEh* GroupDataTreeNode, const Variant& KeyValue,
                std::string& KeyValueAsText)>;
using TDBGridEhGroupLevelGetGroupRowTextEventEh =
    TEvent<void(TCustomDBGridEh* Sender, TGroupDataTreeNodeEh* GroupDataTreeNode, std::string& GroupRowText)>;

// --- TDBGridAreaParamsEh (DBGridEhParams.cpp) ---
// The line and fill settings the title, indicator and footer parameters share. The lines follow
// the grid's Options (dgRowLines, dgColLines) until written, which sets their Stored companion;
// a colour or fill change repaints, a line change calls LinesChanged.
class TDBGridAreaParamsEh : public TPersistent {
  RTL_CLASS(TDBGridAreaParamsEh, TPersistent)
 public:
  static void DescribeClass(TClassBuilder<TDBGridAreaParamsEh>& c);
  explicit TDBGridAreaParamsEh(TCustomDBGridEh* AGrid) : grid_(AGrid) {}
  // clDefault: derived from the grid.
  TColor HorzLineColor();
  void SetHorzLineColor(TColor v);
  TColor VertLineColor();
  void SetVertLineColor(TColor v);
  TGridCellFillStyleEh FillStyle();
  void SetFillStyle(TGridCellFillStyleEh v);
  bool HorzLines();
  void SetHorzLines(bool v);
  bool HorzLinesStored();
  void SetHorzLinesStored(bool v);
  bool VertLines();
  void SetVertLines(bool v);
  bool VertLinesStored();
  void SetVertLinesStored(bool v);

 protected:
  // Repaints; the titles lay the grid out again, their lines take room.
  virtual void LinesChanged();
  void AssignAreaSettings(const TDBGridAreaParamsEh& Source);
  TCustomDBGridEh* grid_;

 private:
  TColor horzLineColor_ = clDefault;
  TColor vertLineColor_ = clDefault;
  TGridCellFillStyleEh fillStyle_ = cfstDefaultEh;
  bool horzLines_ = true;
  bool horzLinesStored_ = false;
  bool vertLines_ = true;
  bool vertLinesStored_ = false;
};

// --- TDBGridTitleParamsEh (DBGridEhParams.cpp) ---
// Grid's TitleParams; made by ctor.
class TDBGridTitleParamsEh : public TDBGridAreaParamsEh {
  RTL_CLASS(TDBGridTitleParamsEh, TDBGridAreaParamsEh)
 public:
  static void DescribeClass(TClassBuilder<TDBGridTitleParamsEh>& c);
  // Owner grid.
  explicit TDBGridTitleParamsEh(TCustomDBGridEh* AGrid);
  // Grid's TitleParams write assigns.
  void Assign(TPersistent* Source) override;
  // Default grid FixedColor; repaint.
  TColor Color();
  void SetColor(TColor v);
  // True once written; false falls back to the default.
  bool ColorStored();
  void SetColorStored(bool v);
  // Gradient end, default grid Color; repaint.
  TColor SecondColor();
  void SetSecondColor(TColor v);
  // True once written; false falls back to the default.
  bool SecondColorStored();
  void SetSecondColorStored(bool v);
  // Grid Font while ParentFont; change clears ParentFont, relayout with dgTitles.
  TFont* Font();
  void SetFont(TFont* v);
  // Default True; copies grid font, repaint.
  bool ParentFont();
  void SetParentFont(bool v);
  // Default 10; relayout.
  int VTitleMargin();
  void SetVTitleMargin(int v);
  // Default 0; relayout title heights.
  int RowHeight();
  void SetRowHeight(int v);
  // Default 0; relayout.
  int RowLines();
  void SetRowLines(int v);
  // Default False; relayout.
  bool MultiTitle();
  void SetMultiTitle(bool v);
  // None by default; registers grid's change link, free notification, relayout (grid's TitleImages).
  TCustomImageList* Images();
  void SetImages(TCustomImageList* v);
  // None by default; free notification; title-row context menu.
  TPopupMenu* PopupMenu();
  void SetPopupMenu(TPopupMenu* v);
  // Default: style's SortMarkerStyle; setter marks stored, repaints.
  TSortMarkerStyleEh SortMarkerStyle();
  void SetSortMarkerStyle(TSortMarkerStyleEh v);
  // True once written; false falls back to the default.
  bool SortMarkerStyleStored();
  void SetSortMarkerStyleStored(bool v);
  // Default cfstDefaultEh; repaint.
  // Default False; repaint.
  bool BorderInFillStyle();
  void SetBorderInFillStyle(bool v);
  // Effective fill (themed->gradient/solid without themes, keyed on dghFixed3D).
  virtual TGridCellFillStyleEh GetActualFillStyle();
  // Actual horizontal line colour.
  virtual TColor GetActualHorzLineColor();
  // Actual vertical line colour.
  virtual TColor GetActualVertLineColor();
  // Parent-derived font refresh on CM_FONTCHANGED.
  void RefreshDefaultFont();

 protected:
  void LinesChanged() override;

 private:
  void FontChanged(TObject* Sender);
  // Owner.
  TColor color_ = clBtnFace;
  bool colorStored_ = false;
  TColor secondColor_ = clWindow;
  bool secondColorStored_ = false;
  std::unique_ptr<TFont> font_;
  bool parentFont_ = true;
  bool fontRefreshing_ = false;
  int vTitleMargin_ = 10;
  int rowHeight_ = 0;
  int rowLines_ = 0;
  bool multiTitle_ = false;
  TPopupMenu* popupMenu_ = nullptr;
  TSortMarkerStyleEh sortMarkerStyle_ = smstDefaultEh;
  bool sortMarkerStyleStored_ = false;
  bool borderInFillStyle_ = false;
};

// --- TDBGridIndicatorParamsEh (DBGridEhParams.cpp) ---
// Grid's IndicatorParams.
class TDBGridIndicatorParamsEh : public TDBGridAreaParamsEh {
  RTL_CLASS(TDBGridIndicatorParamsEh, TDBGridAreaParamsEh)
 public:
  static void DescribeClass(TClassBuilder<TDBGridIndicatorParamsEh>& c);
  explicit TDBGridIndicatorParamsEh(TCustomDBGridEh* AGrid);
  void Assign(TPersistent* Source) override;
  // Default grid FixedColor; repaint.
  TColor Color();
  void SetColor(TColor v);
  // True once written; false falls back to the default.
  bool ColorStored();
  void SetColorStored(bool v);
  // cfstDefaultEh.
  // Default 1: record numbers every n rows.
  int RecNoShowStep();
  void SetRecNoShowStep(int v);
  // (dghFixed3D).
  virtual TGridCellFillStyleEh GetActualFillStyle();
  virtual TColor GetActualHorzLineColor();
  virtual TColor GetActualVertLineColor();

 private:
  TColor color_ = clBtnFace;
  bool colorStored_ = false;
  int recNoShowStep_ = 1;
};

// --- TDBGridFooterParamsEh (DBGridEhParams.cpp) ---
// Grid's FooterParams.
class TDBGridFooterParamsEh : public TDBGridAreaParamsEh {
  RTL_CLASS(TDBGridFooterParamsEh, TDBGridAreaParamsEh)
 public:
  static void DescribeClass(TClassBuilder<TDBGridFooterParamsEh>& c);
  explicit TDBGridFooterParamsEh(TCustomDBGridEh* AGrid);
  void Assign(TPersistent* Source) override;
  // Default clDefault; getter: grid Color when clDefault.
  TColor Color();
  void SetColor(TColor v);
  // cfstDefaultEh (keyed on dghFooter3D).
  // Grid Font while ParentFont; grid's FooterFont; change clears ParentFont.
  TFont* Font();
  void SetFont(TFont* v);
  // Default True.
  bool ParentFont();
  void SetParentFont(bool v);
  // 0; relayout.
  int RowHeight();
  void SetRowHeight(int v);
  // 0; relayout.
  int RowLines();
  void SetRowLines(int v);
  virtual TGridCellFillStyleEh GetActualFillStyle();
  virtual TColor GetActualHorzLineColor();
  virtual TColor GetActualVertLineColor();
  // Per-footer-row height list entry.
  int RowHeightOf(int FooterRow) const;
  // Filled by the footer-height recompute.
  void SetRowHeightOf(int FooterRow, int Height);
  // On CM_FONTCHANGED.
  void RefreshDefaultFont();

 private:
  // One height per FooterRowCount row.
  std::vector<int> rowHeights_;
  void FontChanged(TObject* Sender);
  TColor color_ = clDefault;
  std::unique_ptr<TFont> font_;
  bool parentFont_ = true;
  bool fontRefreshing_ = false;
  int rowHeight_ = 0;
  int rowLines_ = 0;
};

// --- TGridTreeViewParamsEh (DBGridEhParams.cpp) ---
// Grid's TreeViewParams.
class TGridTreeViewParamsEh : public TPersistent {
  RTL_CLASS(TGridTreeViewParamsEh, TPersistent)
 public:
  static void DescribeClass(TClassBuilder<TGridTreeViewParamsEh>& c);
  explicit TGridTreeViewParamsEh(TCustomDBGridEh* AGrid);
  // Grid write assigns.
  void Assign(TPersistent* Source) override;
  // Default tvgsDefaultEh; repaint.
  TTreeViewGlyphStyleEh GlyphStyle();
  void SetGlyphStyle(TTreeViewGlyphStyleEh v);
  // Default True; repaint.
  bool ShowTreeLines();
  void SetShowTreeLines(bool v);
  // tvgsDefaultEh -> style object's choice.
  TTreeViewGlyphStyleEh GetActualGlyphStyle();

 private:
  TCustomDBGridEh* grid_;
  TTreeViewGlyphStyleEh glyphStyle_ = tvgsDefaultEh;
  bool showTreeLines_ = true;
};

// --- TDBGridLineParamsEh (DBGridEhParams.cpp) ---
// Grid's GridLineParams: the data line defaults follow dgColLines and dgRowLines; the colour
// scheme and the data vertical colour derive from the fill styles and the footer.
class TDBGridLineParamsEh : public TDBAxisGridLineParamsEh {
  RTL_CLASS(TDBGridLineParamsEh, TDBAxisGridLineParamsEh)
 public:
  static void DescribeClass(TClassBuilder<TDBGridLineParamsEh>& c);
  explicit TDBGridLineParamsEh(TCustomDBGridEh* AGrid);
  TCustomDBGridEh* DBGrid() const { return grid_; }
  bool DefaultDataVertLines() override;
  bool DefaultDataHorzLines() override;
  TColor GetDataVertColor() override;
  TDBGridLinesColorSchemeEh GetActualColorScheme() override;
  // Keeps dghExtendVertLines of OptionsEh (and the base grid's bit) in step with the style.
  void SetVertEmptySpaceStyle(TDrawEmptySpaceStyle Value) override;

 private:
  TCustomDBGridEh* grid_;
};

// --- TDBGridBackgroundDataEh (DBGridEhParams.cpp) ---
// Grid's BackgroundData: the picture may keep off the titles, the indicator and the footers.
class TDBGridBackgroundDataEh : public TGridBackgroundDataEh {
  RTL_CLASS(TDBGridBackgroundDataEh, TGridBackgroundDataEh)
 public:
  static void DescribeClass(TClassBuilder<TDBGridBackgroundDataEh>& c);
  explicit TDBGridBackgroundDataEh(TCustomDBGridEh* AGrid);
  void Assign(TPersistent* Source) override;
  bool ExcludeTitle() const { return excludeTitle_; }
  void SetExcludeTitle(bool Value);
  bool ExcludeIndicator() const { return excludeIndicator_; }
  void SetExcludeIndicator(bool Value);
  bool ExcludeFooter() const { return excludeFooter_; }
  void SetExcludeFooter(bool Value);
  void GetBackgroundRect(const TGridDrawInfoEh& DrawInfo, TRect& ARect) override;

 private:
  void ExcludeChanged(bool& Field, bool Value);
  TCustomDBGridEh* dbGrid_;
  bool excludeTitle_ = false;
  bool excludeIndicator_ = false;
  bool excludeFooter_ = false;
};

// --- TGridHighlightTextParamsEh (DBGridEhParams.cpp) ---
// What the grid's search highlights: the text, its colour and the columns it is looked for in.
// Made by the search code and freed with it.
class TGridHighlightTextParamsEh : public TPersistent {
  RTL_CLASS(TGridHighlightTextParamsEh, TPersistent)
 public:
  TGridHighlightTextParamsEh();
  ~TGridHighlightTextParamsEh() override;
  TColumnsEhList* Columns() const { return columns_.get(); }
  std::string Text;
  TColor Color = clYellow;

 private:
  std::unique_ptr<TColumnsEhList> columns_;
};

// --- layout-storage interceptors (DBGridEhParams.cpp) ---
// A column's pseudo-property Width (write only): with AutoFitColWidths the value becomes the
// width the fitting starts from; otherwise the column's width.
class TColumnEhPropertyInterceptor : public TStoragePropertyInterceptor {
  RTL_CLASS(TColumnEhPropertyInterceptor, TStoragePropertyInterceptor)
 public:
  static void DescribeClass(TClassBuilder<TColumnEhPropertyInterceptor>& c);
  explicit TColumnEhPropertyInterceptor(TObject* ATarget) : TStoragePropertyInterceptor(ATarget) {}
  void SetWidth(int Value);
};

// The columns' pseudo-property ColumnsIndex: the field names in column order, each in double
// quotes, comma separated; writing it reorders the columns by those names.
class TColumnsEhPropertyInterceptor : public TStoragePropertyInterceptor {
  RTL_CLASS(TColumnsEhPropertyInterceptor, TStoragePropertyInterceptor)
 public:
  static void DescribeClass(TClassBuilder<TColumnsEhPropertyInterceptor>& c);
  explicit TColumnsEhPropertyInterceptor(TObject* ATarget) : TStoragePropertyInterceptor(ATarget) {}
  std::string ColumnsIndex() const;
  void SetColumnsIndex(const std::string& Value);
  void ApplyProperties() override {}

 private:
  std::string columnsIndex_;
};

// --- TGridRowPanelEh (DBGridEhPanels.cpp) ---
// Grid's RowPanel.
class TGridRowPanelEh : public TPersistent {
  RTL_CLASS(TGridRowPanelEh, TPersistent)
 public:
  static void DescribeClass(TClassBuilder<TGridRowPanelEh>& c);
  explicit TGridRowPanelEh(TCustomDBGridEh* AGrid);
  // Copies Active only (nil while loading -> Active on, grid side).
  void Assign(TPersistent* Source) override;
  // Default False; re-applies indicator offset, grid layout update.
  bool Active();
  void SetActive(bool v);
  // Default rpntRowToRowEh.
  TGridRowPanelNavKeysNavigationTypeEh NavKeysNavigationType();
  void SetNavKeysNavigationType(TGridRowPanelNavKeysNavigationTypeEh v);
  // Default rpntUpToDownPriorityEh.
  TGridRowPanelTabNavigationTypeEh TabNavigationType();
  void SetTabNavigationType(TGridRowPanelTabNavigationTypeEh v);

 private:
  TCustomDBGridEh* grid_;
  bool active_ = false;
  TGridRowPanelNavKeysNavigationTypeEh navKeysNavigationType_ = rpntRowToRowEh;
  TGridRowPanelTabNavigationTypeEh tabNavigationType_ = rpntUpToDownPriorityEh;
};

// --- TDBGridEhScrollBar (DBGridEhPanels.cpp) ---
// Base of the grid's scroll-bar settings.
class TDBGridEhScrollBar : public TPersistent {
  RTL_CLASS(TDBGridEhScrollBar, TPersistent)
 public:
  static void DescribeClass(TClassBuilder<TDBGridEhScrollBar>& c);
  // VisibleMode sbAutoShowEh, Tracking True.
  TDBGridEhScrollBar(TCustomDBGridEh* AGrid, TScrollBarKind AKind);
  // Detaches the external bar (as SetExtScrollBar(nullptr)).
  ~TDBGridEhScrollBar() override;
  // Visible, Tracking, ExtScrollBar; grid's write assigns.
  void Assign(TPersistent* Source) override;
  // External bar; hooks its window proc; raises "Possible <Name> already attached to the other control.".
  TScrollBar* ExtScrollBar();
  void SetExtScrollBar(TScrollBar* v);
  // Default True: thumb drag scrolls at once.
  bool Tracking();
  void SetTracking(bool v);
  // Derived: VisibleMode != sbNeverShowEh; True->sbAutoShowEh, False->sbNeverShowEh.
  bool Visible();
  void SetVisible(bool v);
  // Default sbAutoShowEh; vertical: grid updates bar; relayout.
  TScrollBarVisibleModeEh VisibleMode();
  void SetVisibleMode(TScrollBarVisibleModeEh v);
  // Scroll by pixels; on change SmoothStepChanged.
  bool SmoothStep();
  void SetSmoothStep(bool v);
  // Horizontal or vertical.
  TScrollBarKind Kind() const;
  // Owner.
  TCustomDBGridEh* Grid() const;
  // External bar Visible, else Visible && WS_HSCROLL/WS_VSCROLL.
  bool IsShowing();
  // By VisibleMode; auto: max>min && max-min>=page.
  bool IsScrollNeeded();
  // From external bar, panel bar control, or grid window.
  void GetScrollInfo(SCROLLINFO& Info);
  // Empty in base.
  virtual void SmoothStepChanged();
  // Grid updates vertical bar and relays out.
  virtual void Changed();
  // False in base.
  virtual bool IsPanelNeeded();

 protected:
  // Owner.
  TCustomDBGridEh* grid_;
  TScrollBar* extScrollBar_ = nullptr;
  TScrollBarKind kind_;
  bool tracking_ = true;
  TScrollBarVisibleModeEh visibleMode_ = sbAutoShowEh;
  bool smoothStep_ = false;
  // The external bar's own window procedure, given back when it is detached.
  TWndMethod extOwnProc_;
  // The external bar's window procedure while attached: scroll notifications reach the grid.
  void ExtWndProc(TMessage& Message);
  // Told when the external bar is freed, so that no reference to it outlives it.
  std::unique_ptr<TComponent> extBarWatch_;
  friend class TDBGridEhExtBarWatch;
};

// --- TDBGridEhScrollBarPanel (DBGridEhPanels.cpp) ---
// Settings of the scroll-bar strip (ExtraPanel).
class TDBGridEhScrollBarPanel : public TPersistent {
  RTL_CLASS(TDBGridEhScrollBarPanel, TPersistent)
 public:
  static void DescribeClass(TClassBuilder<TDBGridEhScrollBarPanel>& c);
  explicit TDBGridEhScrollBarPanel(THorzDBGridEhScrollBar* AOwner);
  // Default False; change calls owner's Changed.
  bool Visible();
  void SetVisible(bool v);
  // Default all; kept in the grid's panel control.
  TNavButtonSetEh NavigatorButtons();
  void SetNavigatorButtons(TNavButtonSetEh v);
  // Default 7; kept in the panel control.
  TGridSBItemsEh VisibleItems();
  void SetVisibleItems(TGridSBItemsEh v);

 private:
  THorzDBGridEhScrollBar* owner_;
  bool visible_ = false;
  // Kept here while the grid's panel control does not exist.
  TNavButtonSetEh navigatorButtons_ = TNavButtonSetEh::FromUInt(1023);
  TGridSBItemsEh visibleItems_ = TGridSBItemsEh::FromUInt(7);
};

// --- THorzDBGridEhScrollBar (DBGridEhPanels.cpp) ---
// Grid's HorzScrollBar.
class THorzDBGridEhScrollBar : public TDBGridEhScrollBar {
  RTL_CLASS(THorzDBGridEhScrollBar, TDBGridEhScrollBar)
 public:
  static void DescribeClass(TClassBuilder<THorzDBGridEhScrollBar>& c);
  // SmoothStep True, makes ExtraPanel.
  explicit THorzDBGridEhScrollBar(TCustomDBGridEh* AGrid);
  // Owned; published.
  TDBGridEhScrollBarPanel* ExtraPanel();
  void SetExtraPanel(TDBGridEhScrollBarPanel* v);
  // Recomputes horizontal extents and scroll range.
  void SmoothStepChanged() override;
  // ExtraPanel.Visible.
  bool IsPanelNeeded() override;
  // Published: ExtScrollBar, Tracking, Visible, ExtraPanel, SmoothStep (default True)
 private:
  std::unique_ptr<TDBGridEhScrollBarPanel> extraPanel_;
};

// --- TVertDBGridEhScrollBar (DBGridEhPanels.cpp) ---
// Grid's VertScrollBar.
class TVertDBGridEhScrollBar : public TDBGridEhScrollBar {
  RTL_CLASS(TVertDBGridEhScrollBar, TDBGridEhScrollBar)
 public:
  static void DescribeClass(TClassBuilder<TVertDBGridEhScrollBar>& c);
  // SmoothStep False.
  explicit TVertDBGridEhScrollBar(TCustomDBGridEh* AGrid);
  // Recomputes vertical extents; relayout with window.
  void SmoothStepChanged() override;
  // Writes the bar (external, panel or own; sbAlwaysShowEh disables).
  void SetParams(int Position, int Min, int Page, int Max);
  // Published: ExtScrollBar, Tracking, SmoothStep (default False), VisibleMode (sbAutoShowEh), Visible (not
  // stored)
 private:
  // Last applied VisibleMode.
  TScrollBarVisibleModeEh lastVisibleMode_;
  // Grid's own bar was shown once.
  bool ownBarShownOnce_ = false;
};

// --- TSTDBGridEhFilter (DBGridEhPanels.cpp; the derived font, colours and row height in
// DBGridEhSubTitleCell.cpp) ---
// Grid's STFilter.
class TSTDBGridEhFilter : public TPersistent {
  RTL_CLASS(TSTDBGridEhFilter, TPersistent)
 public:
  static void DescribeClass(TClassBuilder<TSTDBGridEhFilter>& c);
  // Update count 0, ParentFont True, font grid/blue, colours clDefault.
  explicit TSTDBGridEhFilter(TCustomDBGridEh* AGrid);
  // Frees font.
  ~TSTDBGridEhFilter() override;
  // Copies Visible and Local only.
  void Assign(TPersistent* Source) override;
  // Follows Local until set; stored once set.
  bool InstantApply();
  void SetInstantApply(bool v);
  // Flag "set explicitly".
  bool IsInstantApplyStored();
  // Default False; stored only.
  bool Local();
  void SetLocal(bool v);
  // Default stflUnderTitleFilterEh; grid layout.
  TSTFilterLocationEh Location();
  void SetLocation(TSTFilterLocationEh v);
  // Default False; off: StopFilterEdit; layout; InvalidateEditor.
  bool Visible();
  void SetVisible(bool v);
  // clDefault; repaint.
  TColor Color();
  void SetColor(TColor v);
  // Grid font in blue; stored when !ParentFont; user change clears ParentFont.
  TFont* Font();
  void SetFont(TFont* v);
  // Default True; refresh font, repaint.
  bool ParentFont();
  void SetParentFont(bool v);
  // clDefault; repaint.
  TColor HorzLineColor();
  void SetHorzLineColor(TColor v);
  // clDefault; repaint.
  TColor VertLineColor();
  void SetVertLineColor(TColor v);
  // 0; layout.
  int RowHeight();
  void SetRowHeight(int v);
  // 0; layout.
  int RowLines();
  void SetRowLines(int v);
  // fbdtAlwaysEh; repaint.
  TDBGridFilterButtonDrawTimeEh FilterButtonDrawTime();
  void SetFilterButtonDrawTime(TDBGridFilterButtonDrawTimeEh v);
  // Update counter: filter editor neither hidden nor placed while >0.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const;
  // The grid's Font.
  virtual TFont* GetParentFont();
  // Color, or clWindow blended to FixedColor w 8.
  virtual TColor GetActualColor();
  // clDefault -> GridLineParams bright.
  virtual TColor GetActualHorzLineColor();
  virtual TColor GetActualVertLineColor();
  // Font refresh (ParentFont): grid font, clBlue.
  void RefreshDefaultFont();
  // Filter row height rule.
  int GetRowHeight();
  // Computed button height of the row.
  int FilterButtonHeight() const;

 private:
  // Owner.
  TCustomDBGridEh* grid_;
  int updateCount_ = 0;
  bool instantApplyStored_ = false;
  int filterButtonHeight_ = 0;
  void FontChanged(TObject* Sender);
  bool instantApply_ = false;
  bool local_ = false;
  TSTFilterLocationEh location_ = stflUnderTitleFilterEh;
  bool visible_ = false;
  TColor color_ = clDefault;
  std::unique_ptr<TFont> font_;
  bool parentFont_ = true;
  bool fontRefreshing_ = false;
  TColor horzLineColor_ = clDefault;
  TColor vertLineColor_ = clDefault;
  int rowHeight_ = 0;
  int rowLines_ = 0;
  TDBGridFilterButtonDrawTimeEh filterButtonDrawTime_ = fbdtAlwaysEh;
};

// --- TDBGridEhSumList (DBGridEhParams.cpp) ---
// Grid's SumList.
class TDBGridEhSumList : public TDBSumListProducer {
  RTL_CLASS(TDBGridEhSumList, TDBSumListProducer)
 public:
  static void DescribeClass(TClassBuilder<TDBGridEhSumList>& c);
  // Owner grid; sets DesignTimeWork, Active False.
  explicit TDBGridEhSumList(TComponent* AOwner);
  // Design time: only records hooked.
  void SetDataSetEvents() override;
  // Design time: only records unhooked.
  void ResetDataSetEvents() override;
  // Nothing while grid loading; inherited when owner is a grid.
  void RecalcAll() override;
  // Run by the grid's Loaded.
  virtual void Loaded();
  // Published: Active (False), ExternalRecalc (False), OnRecalcAll, OnAfterRecalcAll, SumListChanged,
  // VirtualRecords (False)
};

// --- TGroupRowParamsEh (DBGridEhParams.cpp) ---
// Group row paint block.
class TGroupRowParamsEh : public TObject {
  RTL_CLASS(TGroupRowParamsEh, TObject)
 public:
  // Background.
  TColor Color = clWindow;
  // Canvas font, not owned.
  TFont* Font = nullptr;
  // Reset to 0 before event.
  int ImageIndex = 0;
  // Not owned; reset to none.
  TCustomImageList* Images = nullptr;
  // Row text.
  std::string GroupRowText;
  TGridDrawState State;
};

// --- TGroupFooterParamsEh (DBGridEhParams.cpp) ---
// Group footer paint block.
class TGroupFooterParamsEh : public TObject {
  RTL_CLASS(TGroupFooterParamsEh, TObject)
 public:
  TColor Color = clWindow;
  // Not owned.
  TFont* Font = nullptr;
  // Text shown.
  std::string DisplayValue;
  // Aggregated value.
  Variant Value;
  TGridDrawState State;
};

// --- THeadTreeNode (DBGridEhTitleTree.cpp) ---
// Title tree node; root "Root",10,0.
class THeadTreeNode : public TObject {
  RTL_CLASS(THeadTreeNode, TObject)
 public:
  // Child/Host/Column nil, Next = this.
  THeadTreeNode();
  // CreateText (text, width, height; lists text, height, width).
  THeadTreeNode(const std::string& AText, int AWidth, int AHeight);
  // Root frees its subtree.
  ~THeadTreeNode() override;
  // Sibling after; "Node not in Tree".
  THeadTreeNode* Add(THeadTreeNode* AAfter, const std::string& AText, int AWidth, int AHeight);
  // Last child; "Node not in Tree".
  THeadTreeNode* AddChild(THeadTreeNode* ANode, const std::string& AText, int AWidth, int AHeight);
  // Frees subtree, Child nil.
  void FreeAllChild(THeadTreeNode* ANode);
  // In start's siblings or below.
  bool Find(THeadTreeNode* AStart, THeadTreeNode* ANode);
  // Host links to root.
  int GetLevel(THeadTreeNode* ANode);
  // Group run; "ATo not in level".
  void Union(THeadTreeNode* AFrom, THeadTreeNode* ATo, const std::string& AText, int AHeight);
  // Rebuild from columns ("|" captions).
  void CreateFieldTree(TCustomDBGridEh* AGrid);
  // Raises EInternalError when a sibling ring or a host link is broken.
  void CheckConsistency() const;
  // First child.
  THeadTreeNode* Child = nullptr;
  // Leaf's column.
  TColumnEh* Column = nullptr;
  // Cell height px.
  int Height = 0;
  // Parent.
  THeadTreeNode* Host = nullptr;
  // Next sibling (ring).
  THeadTreeNode* Next = nullptr;
  // Caption.
  std::string Text;
  // 1 with vertical title lines.
  int WIDTHLine = 0;
  // Cell width px.
  int Width = 0;
  // Room for the sort marker (16) and an always-drawn filter button.
  int ExtraWidth = 0;
  // Painted-in-this-pass mark.
  bool Drawed = false;
  // The node's minimal height.
  int MinHeight = 0;
};

// --- TDBGridEhGroupingPanelEh (DBGridEhParams.cpp) ---
// DataGrouping.GroupPanel settings.
class TDBGridEhGroupingPanelEh : public TPersistent {
  RTL_CLASS(TDBGridEhGroupingPanelEh, TPersistent)
 public:
  static void DescribeClass(TClassBuilder<TDBGridEhGroupingPanelEh>& c);
  explicit TDBGridEhGroupingPanelEh(TDBGridEhDataGroupsEh* AOwner);
  // GroupPanel write assigns.
  void Assign(TPersistent* Source) override;
  // Published, default clDefault; change invalidates grid.
  TColor Color();
  void SetColor(TColor v);
  // Color, or style's default panel colour (BlendColors FixedColor/Bright,128).
  virtual TColor GetColor();

 private:
  // Gives the grid.
  TDBGridEhDataGroupsEh* owner_;
  TColor color_ = clDefault;
};

// --- TDBGridEhDataGroupsEh (DBGridEhParams.cpp) ---
// Grid's DataGrouping.
class TDBGridEhDataGroupsEh : public TGridDataGroupsEh {
  RTL_CLASS(TDBGridEhDataGroupsEh, TGridDataGroupsEh)
 public:
  static void DescribeClass(TClassBuilder<TDBGridEhDataGroupsEh>& c);
  // Base ctor with the grid as host; makes GroupPanel; hot item -1.
  explicit TDBGridEhDataGroupsEh(TCustomDBGridEh* AGrid);
  // Frees GroupPanel.
  ~TDBGridEhDataGroupsEh() override;
  // Owned, published; write assigns.
  TDBGridEhGroupingPanelEh* GroupPanel();
  void SetGroupPanel(TDBGridEhGroupingPanelEh* v);
  // Collection of TDBGridEhDataGroupLevelEh.
  TGridDataGroupLevelsEh* CreateGroupLevels() override;
  // FooterParams colour.
  TColor GetLevelDefaultColor() const override;
  // Grid FooterFont.
  TFont* GetLevelDefaultFont() const override;
  // Design-time "DataSet doesn't support IMemTableEh interface. Grouping won't work."; relink;
  // UpdateGroupingLayout; OnActiveGroupingStructChanged.
  void ActiveChanged() override;
  // Grid: whole data changed, UpdateGroupingLayout, event.
  void ActiveGroupingStructChanged() override;
  // Invalidate + refresh row heights.
  void InvalidateGrid() override;
  // Inherited; hot item -1; grid re-sorts when link active.
  void RebuildActiveGroupLevels() override;
  // Inherited; grid re-sorts.
  void ResortLevel(int LevelIndex, TSortOrderEh SortOrder) override;
  // Active && grid holds data interface && link active.
  bool IsGroupingActive() const override;
  // New: levels on that column lose it.
  virtual void ColumnRemoved(TColumnEh* Column);
  // Grid's CurrentNode.
  virtual TGroupDataTreeNodeEh* GetCurrentNode();
  // Levels resolve stream column names; InitFootersColumnItems.
  virtual void Loaded();
  // Grouping-panel item under mouse.
  int HotPanelItem = -1;
  // Panel items' vertical offset (search panel height).
  int PanelTop = 0;

 private:
  std::unique_ptr<TDBGridEhGroupingPanelEh> groupPanel_;
};

// --- TDBGridEhDataGroupLevelEh (DBGridEhParams.cpp) ---
// Grid's level class.
class TDBGridEhDataGroupLevelEh : public TGridDataGroupLevelEh {
  RTL_CLASS(TDBGridEhDataGroupLevelEh, TGridDataGroupLevelEh)
 public:
  static void DescribeClass(TClassBuilder<TDBGridEhDataGroupLevelEh>& c);
  explicit TDBGridEhDataGroupLevelEh(TCollection* Collection);
  // Color, ColumnName, Font, Parent*, SortOrder, RowHeight(+Stored), RowLines(+Stored), 3 events.
  void Assign(TPersistent* Source) override;
  // Inherited, column OnGroupGetKeyValue, level OnGetKeyValue.
  Variant GetKeyValue() override;
  std::string GetKeyValueAsText(const Variant& KeyValue) override;
  // GetKeyValueAsText: a group row shows its key as its column shows it.
  std::string GetNodeKeyValue(const Variant& KeyValue) override;
  // New: "Caption: key (n)" + grid/level events.
  virtual void GetGroupRowText(TGroupDataTreeNodeEh* Node, std::string& Text);
  // As the groups' InvalidateGrid.
  void InvalidateGrid() override;
  // Published through the base accessors: Color, ColumnName, Font, ParentColor, ParentFont, SortOrder
  // (soAscEh), RowHeight, RowHeightStored, RowLines, RowLinesStored
  TDBGridEhGroupLevelGetKeyValueEventEh OnGetKeyValue;
  TDBGridEhGroupLevelGetKeyValueAsTextEventEh OnGetKeyValueAsText;
  TDBGridEhGroupLevelGetGroupRowTextEventEh OnGetGroupRowText;
  // Item rectangle in grouping panel coordinates.
  TRect PanelItemRect;
};

// --- TRowDetailPanelEh (DBGridEhPanels.cpp) ---
// Grid's RowDetailPanel.
class TRowDetailPanelEh : public TPersistent {
  RTL_CLASS(TRowDetailPanelEh, TPersistent)
 public:
  static void DescribeClass(TClassBuilder<TRowDetailPanelEh>& c);
  // Color := grid FixedColor.
  explicit TRowDetailPanelEh(TCustomDBGridEh* AGrid);
  // Copies Active only.
  void Assign(TPersistent* Source) override;
  // Default False; off hides; design on shows; layout.
  bool Active();
  void SetActive(bool v);
  // 0 = to the right edge; re-places.
  int Width();
  void SetWidth(int v);
  // 120; clamped MinHeight..MaxHeight.
  int Height();
  void SetHeight(int v);
  // None by default; stored only.
  TWinControl* ActiveControl();
  void SetActiveControl(TWinControl* v);
  // All four.
  TBevelEdges BevelEdges();
  void SetBevelEdges(TBevelEdges v);
  // bvRaised.
  TBevelCut BevelInner();
  void SetBevelInner(TBevelCut v);
  // bvLowered.
  TBevelCut BevelOuter();
  void SetBevelOuter(TBevelCut v);
  // bkNone.
  TBevelKind BevelKind();
  void SetBevelKind(TBevelKind v);
  // 1.
  TBevelWidth BevelWidth();
  void SetBevelWidth(TBevelWidth v);
  // bsSingle.
  TBorderStyle BorderStyle();
  void SetBorderStyle(TBorderStyle v);
  // Grid FixedColor at creation; sets ParentColor off; stored rule.
  TColor Color();
  void SetColor(TColor v);
  // !ParentColor && != grid FixedColor.
  bool IsColorStored();
  // False; on: Color reads grid Color.
  bool ParentColor();
  void SetParentColor(bool v);
  // False; clamps Height to MaxHeight.
  bool VertSizing();
  void SetVertSizing(bool v);
  // 0 = none.
  int MaxHeight();
  void SetMaxHeight(int v);
  // 1; raises Height.
  int MinHeight();
  void SetMinHeight(int v);
  // 8.
  int SizingBarHeight();
  void SetSizingBarHeight(int v);
  // True.
  bool SizingBarBeveled();
  void SetSizingBarBeveled(bool v);
  // True; kept in the panel control.
  bool ParentPopupMenu();
  void SetParentPopupMenu(bool v);
  // Panel of current record shown.
  bool Expanded() const;
  // OnRowDetailPanelShow/Hide, re-place, keep row in view.
  void SetExpanded(bool Show);
  void SetVisible(bool Value);
  bool Visible() const;
  // 18 px button at content edge; OnCheckRowHaveDetailPanel.
  bool ExpandButtonHitTest(int DataCol, int X, const TRect& CellRect);
  // Effective colour incl. ParentColor.
  TColor GetActualColor();

 private:
  // Owner.
  TCustomDBGridEh* grid_;
  bool active_ = false;
  bool expanded_ = false;
  int width_ = 0;
  int height_ = 120;
  TWinControl* activeControl_ = nullptr;
  TBevelEdges bevelEdges_;
  TBevelCut bevelInner_ = bvRaised;
  TBevelCut bevelOuter_ = bvLowered;
  TBevelKind bevelKind_ = bkNone;
  TBevelWidth bevelWidth_ = 1;
  TBorderStyle borderStyle_ = bsSingle;
  TColor color_;
  bool parentColor_ = false;
  bool vertSizing_ = false;
  int maxHeight_ = 0;
  int minHeight_ = 1;
  int sizingBarHeight_ = 8;
  bool sizingBarBeveled_ = true;
  // Kept here while the grid's panel control does not exist.
  bool parentPopupMenu_ = true;
};

// --- TGridEmptyDataInfoEh (DBGridEhEmptyData.cpp) ---
// The text every grid's EmptyDataInfo shows without a Text of its own; empty unless the program
// sets it.
extern std::string DBGridEhEmptyDataInfoText;
// Grid's EmptyDataInfo.
class TGridEmptyDataInfoEh : public TPersistent {
  RTL_CLASS(TGridEmptyDataInfoEh, TPersistent)
 public:
  static void DescribeClass(TClassBuilder<TGridEmptyDataInfoEh>& c);
  // Font from grid, clGray, ParentFont True.
  explicit TGridEmptyDataInfoEh(TCustomDBGridEh* AGrid);
  // Grid write assigns.
  void Assign(TPersistent* Source) override;
  // Published, default False; invalidates.
  bool Active() const;
  void SetActive(bool v);
  // Published; stored when !ParentFont; change -> ParentFont False.
  TFont* Font() const;
  void SetFont(TFont* v);
  bool IsFontStored() const;
  // Published, default True; True re-takes grid font.
  bool ParentFont() const;
  void SetParentFont(bool v);
  // Published; invalidates.
  const std::string& Text() const;
  void SetText(const std::string& v);
  // Size/Name/Charset from grid (colour kept).
  void RefreshFont();
  // Text, global default, "<No Records>".
  std::string GetDisplayText();
  // Active, text, data set open and empty.
  bool IsShowing();
  // Centred framed text; extra frame with dghExtendVertLines.
  void Paint();

 private:
  void FontChanged(TObject* Sender);
  bool active_ = false;
  std::unique_ptr<TFont> font_;
  TCustomDBGridEh* grid_;
  bool parentFont_ = true;
  std::string text_;
};

// --- TDBGridEhIndicatorTitle (DBGridEhParams.cpp) ---
// Grid's IndicatorTitle; parent not stated.
class TDBGridEhIndicatorTitle : public TPersistent {
  RTL_CLASS(TDBGridEhIndicatorTitle, TPersistent)
 public:
  static void DescribeClass(TClassBuilder<TDBGridEhIndicatorTitle>& c);
  explicit TDBGridEhIndicatorTitle(TCustomDBGridEh* AGrid);
  // User's menu copied into the shared menu.
  TPopupMenu* DropdownMenu();
  void SetDropdownMenu(TPopupMenu* v);
  // Default False; repaints cell (0,0).
  bool ShowDropDownSign();
  void SetShowDropDownSign(bool v);
  // Default False.
  bool TitleButton();
  void SetTitleButton(bool v);
  // Default True: standard items offered.
  bool UseGlobalMenu();
  void SetUseGlobalMenu(bool v);
  // Press on indicator title, cell-relative.
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);

 private:
  TCustomDBGridEh* grid_;
  TPopupMenu* dropdownMenu_ = nullptr;
  bool showDropDownSign_ = false;
  bool titleButton_ = false;
  bool useGlobalMenu_ = true;
};

// --- TDBGridSearchPanelEh (DBGridEhSearchPanel.cpp) ---
// Grid's SearchPanel.
class TDBGridSearchPanelEh : public TPersistent {
  RTL_CLASS(TDBGridSearchPanelEh, TPersistent)
 public:
  static void DescribeClass(TClassBuilder<TDBGridSearchPanelEh>& c);
  // Defaults below.
  explicit TDBGridSearchPanelEh(TCustomDBGridEh* AGrid);
  // Inherited only.
  ~TDBGridSearchPanelEh() override;
  // Grid's SearchPanel write assigns.
  void Assign(TPersistent* Source) override;
  // 16454 Ctrl+F.
  TShortCut ShortCut();
  void SetShortCut(TShortCut v);
  // False; showing := Enabled && (Persistent || text).
  bool Enabled();
  void SetEnabled(bool v);
  // True.
  bool PersistentShowing();
  void SetPersistentShowing(bool v);
  // splGridTopEh; UpdateSearchPanelLayout.
  TSearchPanelLocationEh Location();
  void SetLocation(TSearchPanelLocationEh v);
  // False.
  bool FilterOnTyping();
  void SetFilterOnTyping(bool v);
  // True; UpdateSearchPanelLayout.
  bool FilterEnabled();
  void SetFilterEnabled(bool v);
  // Whether the panel shows.
  bool Visible();
  // On change: UpdateSearchPanelLayout.
  void SetPanelShowing(bool v);
  // Stores only.
  const std::string& SearchingText();
  void SetSearchingText(const std::string& v);
  // External: flag; else editor visible and focused.
  bool IsSearching();
  // Start/end searching.
  void SetSearching(bool Value);
  // 0, or control height at splGridTopEh.
  int GetHeightInGrid();
  // LocateText dir 1.
  void FindNext();
  // LocateText dir 0.
  void FindPrior();
  // LocateText dir 2.
  void SearchAsTyped();
  // Index of last hit; selects/scrolls, repaints row.
  int FoundColumn();
  void SetFoundColumn(int Index);
  // Grid SelectedIndex stored on entering search (<0 none).
  int SearchColumn();
  void SetSearchColumn(int v);

 private:
  bool showing_ = false;
  TCustomDBGridEh* grid_;
  TShortCut shortCut_ = 16454;
  bool enabled_ = false;
  bool persistentShowing_ = true;
  TSearchPanelLocationEh location_ = splGridTopEh;
  std::string searchText_;
  bool searching_ = false;
  bool filterOnTyping_ = false;
  bool filterEnabled_ = true;
  int foundColumn_ = -1;
  int searchColumn_ = -1;
};
