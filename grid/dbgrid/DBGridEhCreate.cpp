// The data grid's construction and destruction, its streamed obsolete properties, window
// creation, factories, the sum-list and group-footer relays, the published grid and the unit's
// class registration.
#include <cmath>

#include "grid/dbgrid/DBGridEhFilterListItems.h"
#include "grid/dbgrid/DBGridEhFindDlgs.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/dbgrid/DBLookupGridsEh.h"
#include "grid/dbgrid/DbUtilsEh.h"
#include "grid/dbgrid/MemoryDataSetFeaturesEh.h"
#include "grid/foundation/ButtonPainterEh.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Graphics.h"

RTL_IMPLEMENT_CLASS(TCustomDBGridEh)
RTL_IMPLEMENT_CLASS(TDBGridEh)

namespace dbgrid_create_detail {

// A hidden child of the grid with empty bounds: the grid shows and places it when needed.
template <class T>
T* SetUpChild(TCustomDBGridEh* Grid, T* Control, const char* Name) {
  Control->SetName(Name);
  Control->SetVisible(false);
  Control->SetParent(Grid);
  Control->SetBounds(0, 0, 0, 0);
  return Control;
}

// Frees a child control while the grid is still whole.
template <class T>
void FreeChild(T*& Control) {
  T* doomed = Control;
  Control = nullptr;
  delete doomed;
}

}  // namespace dbgrid_create_detail

// --- construction ----------------------------------------------------------------------------------

TCustomDBGridEh::TCustomDBGridEh(TComponent* AOwner) : TCustomDBAxisGridEh(AOwner) {
  using dbgrid_create_detail::SetUpChild;
  style_ = DBGridEhDefaultStyle();
  if (style_) style_->RegisterGrid(this);
  center_ = DBGridEhCenter();
  if (center_) center_->RegisterGrid(this);
  rowPanel_ = std::make_unique<TGridRowPanelEh>(this);
  indicatorOffset_ = 1;
  secondGridFlag_ = true;
  SetDesignOptionsBoost(TGridOptionsEh{goColSizingEh});
  SetScrollBars(ssHorizontal);
  // The line bits follow the default Options; the line widths follow the bits.
  TCustomGridEh::SetOptions(dbgrid_detail::BaseOptionsFor(
      options_, TGridOptionsEh{goColSizingEh, goColMovingEh, goEditingEh, goTabsEh, goThumbTrackingEh,
                               goExtendedVertLinesEh}));
  titleParams_ = std::make_unique<TDBGridTitleParamsEh>(this);
  indicatorParams_ = std::make_unique<TDBGridIndicatorParamsEh>(this);
  footerParams_ = std::make_unique<TDBGridFooterParamsEh>(this);
  selectedRows_ = std::make_unique<TBookmarkListEh>(this);
  headTree_ = std::make_unique<THeadTreeNode>("Root", 0, 10);
  sumList_ = std::make_unique<TDBGridEhSumList>(this);
  sumList_->SumListChanged = [this](TObject* Sender) { SumListChanged(Sender); };
  sumList_->OnRecalcAll = [this](TObject* Sender) { SumListRecalcAll(Sender); };
  sumList_->OnAfterRecalcAll = [this](TObject* Sender) { SumListAfterRecalcAll(Sender); };
  horzScrollBar_.reset(CreateScrollBar(sbHorizontal));
  vertScrollBar_.reset(CreateScrollBar(sbVertical));
  selection_ = std::make_unique<TDBGridEhSelection>(this);
  searchSelection_ = std::make_unique<TDBGridEhSelection>(nullptr);
  groupRowParams_ = std::make_unique<TGroupRowParamsEh>();
  groupFooterParams_ = std::make_unique<TGroupFooterParamsEh>();
  stFilter_ = std::make_unique<TSTDBGridEhFilter>(this);
  titleImageChangeLink_ = std::make_unique<TChangeLink>();
  titleImageChangeLink_->OnChange = [this](TObject* Sender) { TitleImageChanged(Sender); };
  indicatorTitle_ = std::make_unique<TDBGridEhIndicatorTitle>(this);
  dataGrouping_ = std::make_unique<TDBGridEhDataGroupsEh>(this);
  workList1_ = std::make_unique<TList>();
  workList2_ = std::make_unique<TList>();
  workList3_ = std::make_unique<TList>();
  rowDetailPanel_ = std::make_unique<TRowDetailPanelEh>(this);
  rowDetailPanelControl_ = SetUpChild(this, new TRowDetailPanelControlEh(this), "RowDetailData");
  emptyDataInfo_ = std::make_unique<TGridEmptyDataInfoEh>(this);
  treeViewParams_ = std::make_unique<TGridTreeViewParamsEh>(this);
  searchPanel_ = std::make_unique<TDBGridSearchPanelEh>(this);
  horzScrollBarPanelControl_ =
      SetUpChild(this, new TDBGridEhScrollBarPanelControl(this, sbHorizontal), "HorzScrollBarPanelControl");
  vertScrollBarPanelControl_ =
      SetUpChild(this, new TDBGridEhScrollBarPanelControl(this, sbVertical), "VertScrollBarPanelControl");
  cornerScrollBarPanelControl_ = SetUpChild(this, new TSizeGripPanelEh(this), "CornerScrollBarPanelControl");
  searchPanelControl_ = SetUpChild(this, new TDBGridSearchPanelControlEh(this), "FSearchPanelControl");

  pressedTitleCol_ = -1;
  pressedTitleRow_ = -1;
  rowSizingAllowed_ = false;
  loading_ = false;
  loadingText_ = "Loading...";
  textHeight_ = CalcDefaultRowHeight();
  UpdateIndicatorColWidth();
  CalcHorzScrollExtent();
  CalcVertScrollExtent();
  HideEditor();
}

void TCustomDBGridEh::CreateSubComponent(TComponent* AOwner) {
  // The mark keeps design-time reactions off for a grid that is part of another component.
  subComponentMark_ = true;
  SetSubComponent(true);
  if (AOwner && AOwner != Owner()) {
    if (Owner()) Owner()->RemoveComponent(this);
    AOwner->InsertComponent(this);
  }
}

TCustomDBGridEh::~TCustomDBGridEh() {
  using dbgrid_create_detail::FreeChild;
  Destroying();
  // The child controls call into the grid's parts while they go: they go first.
  FreeChild(searchPanelControl_);
  FreeChild(cornerScrollBarPanelControl_);
  FreeChild(vertScrollBarPanelControl_);
  FreeChild(horzScrollBarPanelControl_);
  FreeChild(rowDetailPanelControl_);
  FreeChild(titleFilterList_);
  // The cell and filter editors and any other child the grid owns.
  for (int i = ControlCount() - 1; i >= 0; --i) {
    TControl* child = Controls(i);
    if (child->Owner() == this) delete child;
  }
  filterEdit_ = nullptr;
  // A handler that frees the grid in the middle of a row read leaves the table's reads open.
  for (; openRowReads_ > 0; --openRowReads_)
    if (IsDataIntfAssigned()) DataIntf()->InstantReadLeave();
  SetDataSource(nullptr);
  // Searching and editing end; each step only when it is under way.
  if (searchMode_) SetSearchMode(false);
  if (searchFilterActive_) CancelSearchFilter();
  if (filterEditMode_) StopFilterEdit();
  if (incSearching_) StopIncSearch();
  if (selection_ && selection_->SelectionType() != gstNon) selection_->Clear();
  // The columns ask the grid's parts for their settings while they go.
  Columns()->Clear();
  indicatorTitle_.reset();
  if (style_) style_->UnregisterGrid(this);
  style_ = nullptr;
  if (center_) center_->UnregisterGrid(this);
  center_ = nullptr;
  groupRowParams_.reset();
  groupFooterParams_.reset();
  dataGrouping_.reset();
  workList1_.reset();
  workList2_.reset();
  titleParams_.reset();
  indicatorParams_.reset();
  footerParams_.reset();
  horzScrollBar_.reset();
  vertScrollBar_.reset();
  selectedRows_.reset();
  titleImageChangeLink_.reset();
  workList3_.reset();
  sortMarkedColumns_.Clear();
  visibleColumns_.Clear();
  leafFieldArr_.clear();
  headTree_.reset();
  sumList_.reset();
  selection_.reset();
  searchSelection_.reset();
  stFilter_.reset();
  rowDetailPanel_.reset();
  rowPanel_.reset();
  emptyDataInfo_.reset();
  treeViewParams_.reset();
  searchPanel_.reset();
  groupFooterMenu_.reset();
  toolTipFont_.reset();
}

// --- streaming ----------------------------------------------------------------------------------------

void TCustomDBGridEh::DefineProperties(TFiler& Filer) {
  inherited::DefineProperties(Filer);
  // Older descriptions carry these; they are read into their new places and never written.
  Filer.DefineProperty(
      "VTitleMargin", [this](TReader& Reader) { ReadVTitleMargin(Reader); }, {}, false);
  Filer.DefineProperty(
      "UseMultiTitle", [this](TReader& Reader) { ReadUseMultiTitle(Reader); }, {}, false);
  Filer.DefineProperty(
      "TitleHeight", [this](TReader& Reader) { ReadTitleHeight(Reader); }, {}, false);
  Filer.DefineProperty(
      "TitleLines", [this](TReader& Reader) { ReadTitleLines(Reader); }, {}, false);
  Filer.DefineProperty(
      "FooterColor", [this](TReader& Reader) { ReadFooterColor(Reader); }, {}, false);
}

void TCustomDBGridEh::ReadVTitleMargin(TReader& Reader) {
  const int value = Reader.ReadInteger();
  titleParams_->SetVTitleMargin(value);
}

void TCustomDBGridEh::ReadUseMultiTitle(TReader& Reader) {
  const bool value = Reader.ReadBoolean();
  titleParams_->SetMultiTitle(value);
}

void TCustomDBGridEh::ReadTitleHeight(TReader& Reader) {
  const int value = Reader.ReadInteger();
  titleParams_->SetRowHeight(value);
}

void TCustomDBGridEh::ReadTitleLines(TReader& Reader) {
  const int value = Reader.ReadInteger();
  titleParams_->SetRowLines(value);
}

void TCustomDBGridEh::ReadFooterColor(TReader& Reader) {
  int32_t color = 0;
  if (Reader.NextValue() == vaIdent) {
    if (!IdentToColor(Reader.ReadIdent(), color)) throw EReadError("Invalid property value");
  } else {
    color = Reader.ReadInteger();
  }
  footerParams_->SetColor(static_cast<TColor>(color));
}

std::string TCustomDBGridEh::GetDefinePropertyName() {
  return "Columns";
}

// --- window -------------------------------------------------------------------------------------------

void TCustomDBGridEh::CreateWnd() {
  {
    LockLayoutChange();
    TScopeExit unlock([this] { UnlockLayoutChange(); });
    inherited::CreateWnd();
  }
  const int measured = CalcDefaultRowHeight();
  const dbgrid_detail::TFontHeights heights = dbgrid_detail::MeasureFont(this, Font());
  const int fontLine = static_cast<int>(std::lround(heights.FontHeight * 1.5));
  textHeight_ = measured > fontLine ? DefaultEditButtonHeight(heights.FontHeight, Flat()) : measured;
  if (!autoFitColWidths_ && !rowPanel_->Active() && LayoutLock() == 0 &&
      !ComponentState().Contains(csLoading)) {
    AxisLayoutHook();
    LightLayoutChanged();
    PostChangeUpdate();
  } else {
    LayoutChanged();
  }
  UpdateVertScrollBar();
  UpdateGroupingLayout();
}

void TCustomDBGridEh::DefaultHandler(TMessage& Message) {
  inherited::DefaultHandler(Message);
}

// --- factories ----------------------------------------------------------------------------------------

TInplaceEdit* TCustomDBGridEh::CreateEditor() {
  return new TDBGridInplaceEdit(this);
}

TGridAxisBarsEh* TCustomDBGridEh::CreateAxisBars() {
  return new TDBGridColumnsEh(this, TDBGridColumnEh::StaticClass());
}

TAxisBarDefValuesEh* TCustomDBGridEh::CreateAxisBarDefValues() {
  return new TColumnDefValuesEh(this);
}

TAxisGridDataLinkEh* TCustomDBGridEh::CreateDataLink() {
  return new TGridDataLinkEh(this);
}

TAxisColCellParamsEh* TCustomDBGridEh::CreateColCellParams() {
  return new TColCellParamsEh();
}

TDBGridEhScrollBar* TCustomDBGridEh::CreateScrollBar(TScrollBarKind Kind) {
  if (Kind == sbHorizontal) return new THorzDBGridEhScrollBar(this);
  return new TVertDBGridEhScrollBar(this);
}

// --- sum list and title images ------------------------------------------------------------------------

void TCustomDBGridEh::SumListChanged(TObject* /*Sender*/) {
  if (ComponentState().Contains(csDestroying)) return;
  InvalidateFooter();
  if (DataLink()->Active() && DataLink()->DataSet() && !DataLink()->DataSet()->ControlsDisabled())
    UpdateVertScrollBar();
}

void TCustomDBGridEh::SumListRecalcAll(TObject* /*Sender*/) {
  OnSumListRecalcAll(this);
}

void TCustomDBGridEh::SumListAfterRecalcAll(TObject* /*Sender*/) {
  OnSumListAfterRecalcAll(this);
}

void TCustomDBGridEh::TitleImageChanged(TObject* /*Sender*/) {
  if (titleImages_ && titleImageChangeLink_ && titleImageChangeLink_->Sender() == titleImages_) Invalidate();
}

// --- group footer relays: the column's event, then the grid's -----------------------------------------

bool TCustomDBGridEh::DoDataGroupFooterAggregateValue(TAxisBarEh* Column, TGridDataGroupFooterEh* Footer,
                                                      TGridDataGroupFooterColumnItemEh* Item,
                                                      Variant& AggValue, TGroupDataTreeNodeEh* Node) {
  auto* column = dynamic_cast<TColumnEh*>(Column);
  bool processed = false;
  if (column && column->OnDataGroupFooterAggregateValue)
    column->OnDataGroupFooterAggregateValue(this, column, Footer, Item, AggValue, Node, processed);
  if (!processed && OnDataGroupFooterAggregateValue)
    OnDataGroupFooterAggregateValue(this, column, Footer, Item, AggValue, Node, processed);
  return processed;
}

bool TCustomDBGridEh::DoDataGroupFooterFinalizeValue(TAxisBarEh* Column, TGridDataGroupFooterEh* Footer,
                                                     TGridDataGroupFooterColumnItemEh* Item,
                                                     Variant& AggValue) {
  auto* column = dynamic_cast<TColumnEh*>(Column);
  bool processed = false;
  if (column && column->OnDataGroupFooterFinalizeValue)
    column->OnDataGroupFooterFinalizeValue(this, column, Footer, Item, AggValue, processed);
  if (!processed && OnDataGroupFooterFinalizeValue)
    OnDataGroupFooterFinalizeValue(this, column, Footer, Item, AggValue, processed);
  return processed;
}

bool TCustomDBGridEh::DoDataGroupFooterToDisplayText(TAxisBarEh* Column, TGridDataGroupFooterEh* Footer,
                                                     TGridDataGroupFooterColumnItemEh* Item,
                                                     const Variant& Value, std::string& Text) {
  auto* column = dynamic_cast<TColumnEh*>(Column);
  Variant value = Value;
  bool processed = false;
  if (column && column->OnDataGroupFooterToDisplayText)
    column->OnDataGroupFooterToDisplayText(this, column, Footer, Item, value, Text, processed);
  if (!processed && OnDataGroupFooterToDisplayText)
    OnDataGroupFooterToDisplayText(this, column, Footer, Item, value, Text, processed);
  return processed;
}

// --- the published grid -------------------------------------------------------------------------------

namespace dbgrid_create_detail {

// Publishes the event member M under its own name.
template <class D, class B, class E>
void PublishEvent(TClassBuilder<D>& c, const char* Name, E B::*M) {
  c.Property(
      Name, [M](const D& g) -> const E& { return g.*M; }, [M](D& g, const E& e) { g.*M = e; });
}

// Publishes an owned settings object (written through its Assign).
template <class D, class T>
void PublishObject(TClassBuilder<D>& c, const char* Name, T* (TCustomDBGridEh::*Get)() const,
                   void (TCustomDBGridEh::*Set)(T*)) {
  c.Property(
      Name, [Get](const D& g) { return (g.*Get)(); }, [Set](D& g, T* v) { (g.*Set)(v); });
}

}  // namespace dbgrid_create_detail

void TDBGridEh::DescribeClass(TClassBuilder<TDBGridEh>& c) {
  using D = TDBGridEh;
  using G = TCustomDBGridEh;
  using dbgrid_create_detail::PublishEvent;
  using dbgrid_create_detail::PublishObject;
  PublishControl(
      c, {"Align",          "Anchors",     "BiDiMode",       "Color",        "Constraints", "DragCursor",
          "DragKind",       "DragMode",    "Enabled",        "Font",         "ImeMode",     "ImeName",
          "ParentBiDiMode", "ParentFont",  "ParentShowHint", "PopupMenu",    "ShowHint",    "TabOrder",
          "Visible",        "OnClick",     "OnContextPopup", "OnDblClick",   "OnDragDrop",  "OnDragOver",
          "OnEndDrag",      "OnEnter",     "OnExit",         "OnKeyDown",    "OnKeyPress",  "OnKeyUp",
          "OnMouseDown",    "OnMouseMove", "OnMouseUp",      "OnMouseWheel", "OnResize",    "OnStartDrag"});
  // A grid takes the focus and keeps its own colour.
  c.Property("ParentColor", &D::ParentColor, &D::SetParentColor).Default(0);
  c.Property("TabStop", &D::TabStop, &D::SetTabStop).Default(1);
  c.Property("AllowedOperations", &D::AllowedOperations, &D::SetAllowedOperations)
      .Default(TGridAllowedOperationsEh{alopInsertEh, alopUpdateEh, alopDeleteEh, alopAppendEh}.ToBits());
  c.Property("AllowedSelections", &G::AllowedSelections, &G::SetAllowedSelections)
      .Default(TDBGridEhAllowedSelections{gstRecordBookmarks, gstRectangle, gstColumns, gstAll}.ToBits());
  c.Property("AutoFitColWidths", &G::AutoFitColWidths, &G::SetAutoFitColWidths).Default(0);
  c.Property("BorderStyle", &D::BorderStyle, &D::SetBorderStyle).Default(bsSingle);
  PublishObject<D, TColumnDefValuesEh>(c, "ColumnDefValues", &G::ColumnDefValues, &G::SetColumnDefValues);
  c.Property(
       "ContraColCount", [](const D& g) { return g.ContraColCount(); },
       [](D& g, int v) { g.SetContraColCount(v); })
      .Default(0);
  PublishObject<D, TDBGridEhDataGroupsEh>(c, "DataGrouping", &G::DataGrouping, &G::SetDataGrouping);
  c.Property(
      "DataSource", [](const D& g) { return g.DataSource(); },
      [](D& g, TDataSource* v) { g.SetDataSource(v); });
  c.Property(
       "DefaultDrawing", [](const D& g) { return g.DefaultDrawing(); },
       [](D& g, bool v) { g.SetDefaultDrawing(v); })
      .Default(1);
  c.Property(
       "DrawGraphicData", [](const D& g) { return g.DrawGraphicData(); },
       [](D& g, bool v) { g.SetDrawGraphicData(v); })
      .Default(0);
  c.Property("DrawMemoText", &D::DrawMemoText, &D::SetDrawMemoText).Default(0);
  c.Property("EditActions", &G::EditActions, &G::SetEditActions).Default(0);
  c.Property("EditButtonsShowOptions", &G::EditButtonsShowOptions, &G::SetEditButtonsShowOptions).Default(0);
  PublishObject<D, TGridEmptyDataInfoEh>(c, "EmptyDataInfo", &G::EmptyDataInfo, &G::SetEmptyDataInfo);
  c.Property("EvenRowColor", &G::EvenRowColor, &G::SetEvenRowColor)
      .NoDefault()
      .WithIdents(ColorIdents())
      .StoredIf([](const TObject& o) { return static_cast<const D&>(o).IsEvenRowColorStored(); });
  c.Property("FixedColor", &D::FixedColor, &D::SetFixedColor).Default(clBtnFace).WithIdents(ColorIdents());
  c.Property("Flat", &D::Flat, &D::SetFlat).Default(0);
  PublishObject<D, TDBGridFooterParamsEh>(c, "FooterParams", &G::FooterParams, &G::SetFooterParams);
  PublishObject<D, TDBGridLineParamsEh>(c, "GridLineParams", &G::GridLineParams, &G::SetGridLineParams);
  c.Property("FooterRowCount", &G::FooterRowCount, &G::SetFooterRowCount).Default(0);
  c.Property(
       "FrozenCols", [](const D& g) { return g.FrozenCols(); }, [](D& g, int v) { g.SetFrozenCols(v); })
      .Default(0);
  PublishObject<D, THorzDBGridEhScrollBar>(c, "HorzScrollBar", &G::HorzScrollBar, &G::SetHorzScrollBar);
  c.Property("IncludeImageModules", &G::IncludeImageModules, &G::SetIncludeImageModules);
  c.Property("IndicatorOptions", &G::IndicatorOptions, &G::SetIndicatorOptions)
      .Default(TDBGridEhIndicatorOptions{gioShowRowIndicatorEh}.ToBits());
  PublishObject<D, TDBGridIndicatorParamsEh>(c, "IndicatorParams", &G::IndicatorParams,
                                             &G::SetIndicatorParams);
  PublishObject<D, TDBGridEhIndicatorTitle>(c, "IndicatorTitle", &G::IndicatorTitle, &G::SetIndicatorTitle);
  c.Property("MinAutoFitWidth", &G::MinAutoFitWidth, &G::SetMinAutoFitWidth).Default(0);
  c.Property("OddRowColor", &G::OddRowColor, &G::SetOddRowColor)
      .NoDefault()
      .WithIdents(ColorIdents())
      .StoredIf([](const TObject& o) { return static_cast<const D&>(o).IsOddRowColorStored(); });
  c.Property(
       "Options", [](const D& g) { return g.Options(); }, [](D& g, TDBGridOptions v) { g.SetOptions(v); })
      .Default(TDBGridOptions{dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines,
                              dgTabs, dgConfirmDelete, dgCancelOnExit}
                   .ToBits());
  c.Property("OptionsEh", &G::OptionsEh, &G::SetOptionsEh)
      .Default(TDBGridEhOptions{dghFixed3D, dghHighlightFocus, dghClearSelection, dghDialogFind,
                                dghColumnResize, dghColumnMove, dghExtendVertLines}
                   .ToBits());
  c.Property("ReadOnly", &D::ReadOnly, &D::SetReadOnly).Default(0);
  PublishObject<D, TRowDetailPanelEh>(c, "RowDetailPanel", &G::RowDetailPanel, &G::SetRowDetailPanel);
  c.Property("RowHeight", &G::RowHeight, &G::SetRowHeight).Default(0);
  c.Property("RowLines", &G::RowLines, &G::SetRowLines).Default(0);
  PublishObject<D, TGridRowPanelEh>(c, "RowPanel", &G::RowPanel, &G::SetRowPanel);
  c.Property("RowSizingAllowed", &G::RowSizingAllowed, &G::SetRowSizingAllowed).Default(0);
  PublishObject<D, TDBGridSearchPanelEh>(c, "SearchPanel", &G::SearchPanel, &G::SetSearchPanel);
  c.Property("SortLocal", &G::SortLocal, &G::SetSortLocal).Default(0);
  PublishObject<D, TSTDBGridEhFilter>(c, "STFilter", &G::STFilter, &G::SetSTFilter);
  PublishObject<D, TDBGridEhSumList>(c, "SumList", &G::SumList, &G::SetSumList);
  c.Property("TitleImages", &G::TitleImages, &G::SetTitleImages);
  PublishObject<D, TDBGridTitleParamsEh>(c, "TitleParams", &G::TitleParams, &G::SetTitleParams);
  PublishObject<D, TGridTreeViewParamsEh>(c, "TreeViewParams", &G::TreeViewParams, &G::SetTreeViewParams);
  PublishObject<D, TVertDBGridEhScrollBar>(c, "VertScrollBar", &G::VertScrollBar, &G::SetVertScrollBar);

  PublishEvent<D>(c, "OnActiveGroupingStructChanged", &G::OnActiveGroupingStructChanged);
  PublishEvent<D>(c, "OnAdvDrawDataCell", &G::OnAdvDrawDataCell);
  PublishEvent<D>(c, "OnApplyFilter", &G::OnApplyFilter);
  PublishEvent<D>(c, "OnBuildIndicatorTitleMenu", &G::OnBuildIndicatorTitleMenu);
  PublishEvent<D>(c, "OnCellClick", &G::OnCellClick);
  PublishEvent<D>(c, "OnCheckButton", &G::OnCheckButton);
  PublishEvent<D>(c, "OnCheckRowHaveDetailPanel", &G::OnCheckRowHaveDetailPanel);
  PublishEvent<D>(c, "OnColEnter", &G::OnColEnter);
  PublishEvent<D>(c, "OnColExit", &G::OnColExit);
  PublishEvent<D>(c, "OnColumnMoved", &G::OnColumnMoved);
  PublishEvent<D>(c, "OnColWidthsChanged", &G::OnColWidthsChanged);
  PublishEvent<D>(c, "OnDataGroupFooterAggregateValue", &G::OnDataGroupFooterAggregateValue);
  PublishEvent<D>(c, "OnDataGroupFooterFinalizeValue", &G::OnDataGroupFooterFinalizeValue);
  PublishEvent<D>(c, "OnDataGroupFooterToDisplayText", &G::OnDataGroupFooterToDisplayText);
  PublishEvent<D>(c, "OnDataGroupGetFooterParams", &G::OnDataGroupGetFooterParams);
  PublishEvent<D>(c, "OnDataGroupGetRowParams", &G::OnDataGroupGetRowParams);
  PublishEvent<D>(c, "OnDataGroupGetRowText", &G::OnDataGroupGetRowText);
  PublishEvent<D>(c, "OnDrawColumnCell", &G::OnDrawColumnCell);
  PublishEvent<D>(c, "OnDrawDataCell", &G::OnDrawDataCell);
  PublishEvent<D>(c, "OnDrawFooterCell", &G::OnDrawFooterCell);
  PublishEvent<D>(c, "OnFillSTFilterListValues", &G::OnFillSTFilterListValues);
  PublishEvent<D>(c, "OnGetBtnParams", &G::OnGetBtnParams);
  PublishEvent<D>(c, "OnGetCellParams", &G::OnGetCellParams);
  PublishEvent<D>(c, "OnGetFooterParams", &G::OnGetFooterParams);
  PublishEvent<D>(c, "OnGetRowHeight", &G::OnGetRowHeight);
  PublishEvent<D>(c, "OnHintShowPause", &G::OnHintShowPause);
  PublishEvent<D>(c, "OnIndicatorTitleMouseDown", &G::OnIndicatorTitleMouseDown);
  PublishEvent<D>(c, "OnMoveRecords", &G::OnMoveRecords);
  PublishEvent<D>(c, "OnRowDetailPanelHide", &G::OnRowDetailPanelHide);
  PublishEvent<D>(c, "OnRowDetailPanelShow", &G::OnRowDetailPanelShow);
  PublishEvent<D>(c, "OnSelectionChanged", &G::OnSelectionChanged);
  PublishEvent<D>(c, "OnSortMarkingChanged", &G::OnSortMarkingChanged);
  PublishEvent<D>(c, "OnSumListAfterRecalcAll", &G::OnSumListAfterRecalcAll);
  PublishEvent<D>(c, "OnSumListRecalcAll", &G::OnSumListRecalcAll);
  PublishEvent<D>(c, "OnTitleBtnClick", &G::OnTitleBtnClick);
  PublishEvent<D>(c, "OnTitleClick", &G::OnTitleClick);
}

// --- the unit's start-up ------------------------------------------------------------------------------

// Registers the streamable classes of the data grid (call after InitVcl; a repeat is harmless).
void InitDBGridEhUnit() {
  RegisterClasses({TDBGridEh::StaticClass(), TDBGridColumnEh::StaticClass(), TColumnEh::StaticClass(),
                   TColumnFooterEh::StaticClass(), TDBGridEhDataGroupLevelEh::StaticClass(),
                   TDBGridEhSumList::StaticClass(), TRowDetailPanelControlEh::StaticClass(),
                   TSizeGripPanelEh::StaticClass(), TDBGridEhScrollBarPanelControl::StaticClass(),
                   TDBGridSearchPanelControlEh::StaticClass(), TNavFindEditEh::StaticClass(),
                   TDBGridInplaceEdit::StaticClass(), TDBGridEhMenuItem::StaticClass()});
  CreateDataSetFeaturesRegistry();
  if (!GetDataSetFeatures(TMemoryDataSet::StaticClass())) RegisterMemoryDataSetFeatures();
  CreateFilterPopupListboxItems();
  dbgrid_detail::RegisterDrawnResources();
  dbgrid_detail::RegisterColumnInterceptors();
  CreateDBGridEhDefaultStyle();
  CreateDBGridEhCenter();
  dbgrid_detail::StartSharedObjects();
  CreateDBGridEhRes();
  InitDBGridEhFindDlgsUnit();
  InitDBLookupGridsEhUnit();
}

void FinalizeDBGridEhUnit() {
  FreeDBGridEhRes();
  dbgrid_detail::FreeSharedObjects();
  FreeDBGridEhIndicatorTitleMenu();
  FreeDBGridEhCenter();
  FreeDBGridEhDefaultStyle();
  FreeFilterPopupListboxItems();
  FreeDataSetFeaturesRegistry();
  RegisterLookupGridFactoryEh(nullptr);
}
