#include "examples/demo/LedgerGroupingGrid.h"

#include <algorithm>
#include <string>

#include "platform/db/Fields.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/ScopeGuard.h"

namespace ledger_grouping_grid_detail {

// Enough rows for the whole ledger, which has a dozen entries.
constexpr int kWindowRows = 32;
constexpr int kRowHeight = 26;  // room for the receipt pictures
// The look of the rows that are not records.
constexpr TColor kGroupRowColor = static_cast<TColor>(0x00F4E8DC);  // a light blue
constexpr TColor kTotalRowColor = static_cast<TColor>(0x00D8F0FF);  // a light amber
// The expand sign's box, and where the caption starts after it.
constexpr int kSignLeft = 6, kSignSize = 9, kCaptionLeft = 22;

class TLedgerAxisBarEh : public TBaseColumnEh {
  RTL_CLASS(TLedgerAxisBarEh, TBaseColumnEh)
 public:
  explicit TLedgerAxisBarEh(TCollection* Collection) : TBaseColumnEh(Collection) {}
  void GetColCellParams(TAxisColCellParamsEh* Params) override {}
  void SetTextArea(const TRect& ARect) override {}
  bool GetAutoFitColWidth() override { return false; }
  int GetWidth() override { return GetGrid() ? GetGrid()->ColWidths(Index()) : 0; }
  int GetMaxWidth() override { return 0; }
  int GetMinWidth() override { return 0; }
  void SetAutoFitColWidth(bool Value) override {}
  void SetMaxWidth(int Value) override {}
  void SetMinWidth(int Value) override {}
  void SetWidth(int Value) override {
    if (GetGrid()) GetGrid()->SetColWidths(Index(), Value);
  }
};

// The grid lines as the data grid sets them: data lines on, the scheme from the look.
class TLedgerAxisLineParamsEh : public TDBAxisGridLineParamsEh {
  RTL_CLASS(TLedgerAxisLineParamsEh, TDBAxisGridLineParamsEh)
 public:
  explicit TLedgerAxisLineParamsEh(TCustomDBAxisGridEh* AGrid) : TDBAxisGridLineParamsEh(AGrid) {}
  bool DefaultDataVertLines() override { return true; }
  bool DefaultDataHorzLines() override { return true; }
  TDBGridLinesColorSchemeEh GetActualColorScheme() override {
    if (ColorScheme() != glcsDefaultEh) return ColorScheme();
    if (ThemesEnabled()) return glcsThemedEh;
    return AxisGrid() && AxisGrid()->Flat() ? glcsFlatEh : glcsClassicEh;
  }
};

// Activation and a change of the levels rebuild the tree, as the data grid's settings will.
class TLedgerDataGroupsEh : public TGridDataGroupsEh {
  RTL_CLASS(TLedgerDataGroupsEh, TGridDataGroupsEh)
 public:
  using TGridDataGroupsEh::TGridDataGroupsEh;
  void ActiveChanged() override {
    if (IsGroupingActive())
      GroupDataTree()->Rebuild();
    else
      GroupDataTree()->ClearDataNodes();
  }
  void ActiveGroupingStructChanged() override {
    if (IsGroupingActive()) GroupDataTree()->Rebuild();
  }
};

bool IsGroupNode(const TGroupDataTreeNodeEh* Node) {
  return Node && Node->NodeType == dntDataGroupEh;
}

bool IsDataNode(const TGroupDataTreeNodeEh* Node) {
  return Node && Node->NodeType == dntDataSetRecordEh;
}

RTL_IMPLEMENT_CLASS(TLedgerAxisBarEh)
RTL_IMPLEMENT_CLASS(TLedgerAxisLineParamsEh)
RTL_IMPLEMENT_CLASS(TLedgerDataGroupsEh)

}  // namespace ledger_grouping_grid_detail

using namespace ledger_grouping_grid_detail;

RTL_IMPLEMENT_CLASS(TLedgerGroupingGridEh)

TLedgerGroupingGridEh::TLedgerGroupingGridEh(TComponent* AOwner)
    : TCustomDBAxisGridEh(AOwner), dataGrouping_(std::make_unique<TLedgerDataGroupsEh>(this, this)) {
  SetFixedCols(0);
  SetFixedRows(1);
  SetDefaultRowHeight(kRowHeight);
  SetOptions(Options() + goEditingEh + goColSizingEh + goTabsEh);
  SetDrawGraphicData(true);
  SetShowHint(true);
  DataLink()->SetBufferCount(kWindowRows);
}

TLedgerGroupingGridEh::~TLedgerGroupingGridEh() {
  // The base's destructor reaches only its own UpdateDataIntf: let go of the ledger here.
  if (registeredIntf_ && !registeredDataSet_->ComponentState().Contains(csDestroying))
    registeredIntf_->UnregisterEventReceiver(this);
  registeredIntf_ = nullptr;
}

// --- grouping -----------------------------------------------------------------------------------

void TLedgerGroupingGridEh::SetGroupedByAccount(bool Value) {
  if (Value == GroupedByAccount()) return;
  HideEditor();
  TGridDataGroupsEh* groups = dataGrouping_.get();
  if (Value && groups->GroupLevels()->Count() == 0) {
    // One grand-total footer that the level shares, counting the entries under the account
    // column and summing the amounts, shown inside the group row.
    groups->SetDefaultStateExpanded(true);
    groups->GroupRowDefValues()->SetFooterInGroupRow(true);
    TGridDataGroupFooterEh* footer = groups->Footers()->Add();
    groups->InitFootersColumnItems();
    for (int i = 0; i < footer->ColumnItems()->Count(); ++i) {
      TGridDataGroupFooterColumnItemEh* item = footer->ColumnItems()->Items(i);
      if (item->Column() == Columns()->GetAxisBar(lacAccount)) item->SetValueType(gfvCountEh);
      if (item->Column() != Columns()->GetAxisBar(lacAmount)) continue;
      item->SetValueType(gfvSumEh);
      // Footers format a currency without a format of their own as currency: the sums read
      // as the amounts do.
      TDataSet* ds = DataLink()->DataSet();
      if (auto* amount = ds ? dynamic_cast<TNumericField*>(ds->FindField(item->FieldName())) : nullptr)
        item->SetDisplayFormat(amount->DisplayFormat());
    }
    footer->SetVisible(true);
    groups->GroupLevels()->Add()->SetColumn(Columns()->GetAxisBar(lacAccount));
  }
  followRecord_ = true;
  groups->SetActive(Value);
  SyncDimensions();
  Invalidate();
}

TGroupDataTreeNodeEh* TLedgerGroupingGridEh::RowNode(int ARow) const {
  if (!dataGrouping_->IsGroupingActive()) return nullptr;
  return GroupTree()->GetFlatNode(ARow - FixedRows());
}

bool TLedgerGroupingGridEh::IsGrandTotalRow(int ARow) const {
  return dataGrouping_->IsGroupingActive() && ARow == FixedRows() + GroupTree()->GetFlatCount();
}

TGridDataGroupFooterColumnItemEh* TLedgerGroupingGridEh::FooterItem(int ACol) const {
  TGridDataGroupFootersEh* footers = dataGrouping_->Footers();
  if (footers->Count() == 0 || ACol >= Columns()->Count()) return nullptr;
  TGridDataGroupFooterColumnItemsEh* items = footers->Items(0)->ColumnItems();
  for (int i = 0; i < items->Count(); ++i)
    if (items->Items(i)->Column() == Columns()->GetAxisBar(ACol)) return items->Items(i);
  return nullptr;
}

// The finalised value of the column's item in the group's first footer, as text.
std::string TLedgerGroupingGridEh::FooterText(TGroupDataTreeNodeEh* GroupNode, int ACol) {
  TGridDataGroupFooterColumnItemEh* item = FooterItem(ACol);
  if (!item || !GroupNode || GroupNode->GetFooterCount() == 0) return std::string();
  return item->GetDisplayText(GroupNode->GetFooterNode(0)->GetFooterValue(item->Index()));
}

TLedgerGroupingGridEh::TGroupRowTexts TLedgerGroupingGridEh::GroupRowTexts(TGroupDataTreeNodeEh* Node) {
  TGroupRowTexts texts;
  TGroupDataTreeNodeEh* group = Node ? Node : GroupTree()->GetRoot();
  if (Node) {
    texts.Caption = Node->DataGroupLevel ? Node->DataGroupLevel->GetNodeKeyValue(Node->KeyValue) : "";
    if (texts.Caption.empty()) texts.Caption = "(无账户)";
  } else {
    texts.Caption = "合计";
  }
  const std::string count = FooterText(group, lacAccount);
  texts.Count = (count.empty() ? "0" : count) + " 笔";
  texts.Sum = FooterText(group, lacAmount);
  return texts;
}

bool TLedgerGroupingGridEh::SetRowExpanded(int ARow, bool Expanded) {
  TGroupDataTreeNodeEh* node = RowNode(ARow);
  if (!IsGroupNode(node)) return false;
  node->SetExpanded(Expanded);
  // The rows above the group are the same: it keeps its row.
  const int row = FixedRows() + GroupTree()->IndexOfFlatNode(node);
  if (row != Row()) MoveColRow(Col(), row, true, true);
  return true;
}

void TLedgerGroupingGridEh::UpdateRowCountForGrouping() {
  SyncDimensions();
  Invalidate();
}

// A count skips the Nulls of its column, yet an entry counts whatever it lacks: the count of the
// account column counts records.
bool TLedgerGroupingGridEh::DoDataGroupFooterAggregateValue(TAxisBarEh* Column,
                                                            TGridDataGroupFooterEh* Footer,
                                                            TGridDataGroupFooterColumnItemEh* Item,
                                                            Variant& AggValue, TGroupDataTreeNodeEh* Node) {
  if (Item->ValueType() != gfvCountEh || Column != Columns()->GetAxisBar(lacAccount)) return false;
  AggValue = Variant(AggValue.IsEmpty() ? 1 : AggValue.AsInteger() + 1);
  return true;
}

// A record's row changed, and so may the sums of its group and the grand totals: the whole
// (small) grid is repainted.
void TLedgerGroupingGridEh::InvalidateGroupFlatRow(TGroupDataTreeNodeEh* Node) {
  Invalidate();
}

void TLedgerGroupingGridEh::MemTableRecordsChanged(TMemTableChangeKindEh Kind, int RecIndex) {
  if (!dataGrouping_->IsGroupingActive()) return;
  TGridGroupDataTreeEh* tree = GroupTree();
  switch (Kind) {
    case mtcRecordInserted:
      tree->DataRecordInserted(RecIndex);
      break;
    case mtcRecordDeleted:
      tree->DataRecordDeleted(RecIndex);
      break;
    case mtcRecordChanged:
      tree->DataRecordChanged(RecIndex);
      break;
    case mtcDataReloaded:
      tree->Rebuild();
      break;
  }
  Invalidate();
}

void TLedgerGroupingGridEh::UpdateDataIntf() {
  TCustomDBAxisGridEh::UpdateDataIntf();
  if (DataIntf() == registeredIntf_) return;
  // A data set being destroyed forgets its receivers itself.
  if (registeredIntf_ && !registeredDataSet_->ComponentState().Contains(csDestroying))
    registeredIntf_->UnregisterEventReceiver(this);
  registeredIntf_ = DataIntf();
  registeredDataSet_ = registeredIntf_ ? DataLink()->DataSet() : nullptr;
  if (registeredIntf_) registeredIntf_->RegisterEventReceiver(this);
  if (dataGrouping_->IsGroupingActive()) GroupTree()->Rebuild();
}

void TLedgerGroupingGridEh::AxisBarExtracting(TAxisBarEh* Item) {
  TCustomDBAxisGridEh::AxisBarExtracting(Item);
  dataGrouping_->ColumnRemoving(Item);
}

// --- editing ------------------------------------------------------------------------------------

std::string TLedgerGroupingGridEh::GetEditText(int ACol, int ARow) {
  TAxisBarEh* bar = SelectedAxisBar();
  return bar ? bar->GetEditText() : std::string();
}

std::string TLedgerGroupingGridEh::GetEditMask(int ACol, int ARow) {
  TAxisBarEh* bar = SelectedAxisBar();
  return bar ? bar->GetEditorEditMask() : std::string();
}

// Grouped, only the rows of records edit.
bool TLedgerGroupingGridEh::CanEditShow() {
  if (dataGrouping_->IsGroupingActive() && !IsDataNode(RowNode(Row()))) return false;
  return TCustomDBAxisGridEh::CanEditShow();
}

// Check boxes change by a click, not by typed text.
bool TLedgerGroupingGridEh::CanEditModify() {
  TAxisBarEh* bar = SelectedAxisBar();
  return bar && bar->GetColumnType() != abkCheckboxesEh && CanEditModifyField();
}

// The text reaches the field at once; closing the editor posts the record, also when the text
// arrived earlier (the editor hands on each completion of a pick list as it is typed).
void TLedgerGroupingGridEh::SetEditText(int ACol, int ARow, const std::string& Value) {
  TCustomDBAxisGridEh::SetEditText(ACol, ARow, Value);
  if (!DataLink()->Active()) return;
  if (DataLink()->IsModified()) DataLink()->UpdateRecord();
  TDataSet* ds = DataLink()->DataSet();
  if (!EditorMode() && (ds->State() == dsEdit || ds->State() == dsInsert)) ds->Post();
}

// The base reads the hint from the link's window, which grouped rows do not follow.
bool TLedgerGroupingGridEh::GetCellHint(int ACol, int ARow, std::string& HintText, TRect& HintRect) {
  if (!dataGrouping_->IsGroupingActive())
    return TCustomDBAxisGridEh::GetCellHint(ACol, ARow, HintText, HintRect);
  HintText.clear();
  HintRect = TRect{};
  return false;
}

// --- drawing ------------------------------------------------------------------------------------

void TLedgerGroupingGridEh::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
  const bool grouped = dataGrouping_->IsGroupingActive();
  TAxisBarEh* bar = ACol < Columns()->Count() ? Columns()->GetAxisBar(ACol) : nullptr;
  TGroupDataTreeNodeEh* node = RowNode(ARow);
  if (bar && ARow > 0 && grouped && !IsDataNode(node) && (node || IsGrandTotalRow(ARow))) {
    DrawGroupRow(ACol, ARow, ARect, node);
    return;
  }
  const bool hasRecord =
      grouped ? IsDataNode(node) && DataIntf() : DataLink()->Active() && ARow - 1 < DataLink()->RecordCount();
  if (!bar || (ARow > 0 && !hasRecord)) {
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ARect);
    return;
  }
  if (ARow == 0) {
    Canvas()->Brush()->SetColor(GetTitleColor());
    Canvas()->Font()->Assign(bar->Title()->Font());
    const std::string caption = bar->Title()->Caption();
    const int y = ARect.Top + (ARect.Height() - Canvas()->TextHeight(caption)) / 2;
    Canvas()->TextRect(ARect, ARect.Left + 4, y, caption);
    return;
  }
  // The record is read in place: grouped through the data interface, else from the window.
  int record = ARow - 1;
  TScopeExit restore([&, grouped, oldActive = DataLink()->ActiveRecord()] {
    if (grouped)
      DataIntf()->InstantReadLeave();
    else
      DataLink()->SetActiveRecord(oldActive);
  });
  if (grouped) {
    record = node->RecNo;
    DataIntf()->InstantReadEnter(record);
  } else {
    DataLink()->SetActiveRecord(record);
  }
  Canvas()->Font()->Assign(bar->Font());
  TAxisColCellParamsEh* params = ColCellParams();
  bar->FillColCellParams(params);
  params->Font = Canvas()->Font();
  params->State = AState;
  params->Col = params->DataCol = ACol;
  params->Row = ARow;
  params->DataRow = record;
  params->CellRect = ARect;
  DrawDataCell(ACol, ARow, ACol, record, ARect, AState, bar);
}

// Each cell of a group row (Node) or of the grand-total row (Node nullptr) draws the whole
// row's content clipped to itself and the line right of it, so the row reads as one band
// however much of it is repainted.
void TLedgerGroupingGridEh::DrawGroupRow(int ACol, int ARow, const TRect& ARect, TGroupDataTreeNodeEh* Node) {
  TCanvas* canvas = Canvas();
  TRect area = ARect;
  if (ACol < ColCount() - 1) area.Right += GridLineWidth();
  const bool current = ARow == Row();
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(current ? clHighlight : Node ? kGroupRowColor : kTotalRowColor);
  canvas->FillRect(area);

  // Column c's left edge, reckoned from this cell.
  auto colLeft = [&](int c) {
    int x = ARect.Left;
    for (int i = ACol; i < c; ++i) x += ColWidths(i) + GridLineWidth();
    for (int i = c; i < ACol; ++i) x -= ColWidths(i) + GridLineWidth();
    return x;
  };
  // The sign, caption and count keep to the first shown column when the columns scroll.
  const int rowLeft = colLeft(LeftCol());
  const TGroupRowTexts texts = GroupRowTexts(Node);
  canvas->Font()->Assign(Font());
  canvas->Font()->SetStyle(TFontStyles{fsBold});
  canvas->Font()->SetColor(current ? clHighlightText : clWindowText);
  const int textY = ARect.Top + (ARect.Height() - canvas->TextHeight("0")) / 2;
  canvas->Brush()->SetStyle(bsClear);
  auto put = [&](int x, const std::string& text) {
    if (text.empty() || x >= area.Right || x + canvas->TextWidth(text) <= area.Left) return;
    canvas->TextRect(area, x, textY, text);
  };
  const int captionX = rowLeft + kCaptionLeft;
  put(captionX, texts.Caption);
  const int countX = captionX + canvas->TextWidth(texts.Caption) + 14;
  put(countX, texts.Count);
  // The sum stands under the amounts, right-aligned as they are, but never over the count.
  const int sumX = colLeft(lacAmount) + ColWidths(lacAmount) - 4 - canvas->TextWidth(texts.Sum);
  put(std::max(sumX, countX + canvas->TextWidth(texts.Count) + 14), texts.Sum);
  canvas->Brush()->SetStyle(bsSolid);

  // The sign: minus on an expanded group, plus on a collapsed one.
  const TRect box{rowLeft + kSignLeft, ARect.Top + (ARect.Height() - kSignSize) / 2,
                  rowLeft + kSignLeft + kSignSize, ARect.Top + (ARect.Height() - kSignSize) / 2 + kSignSize};
  if (!Node || box.Left < area.Left || box.Right > area.Right) return;
  canvas->Brush()->SetColor(clWindow);
  canvas->Pen()->SetColor(clGray);
  canvas->Rectangle(box);
  canvas->Pen()->SetColor(clWindowText);
  const int midX = box.Left + kSignSize / 2, midY = box.Top + kSignSize / 2;
  canvas->MoveTo(box.Left + 2, midY);
  canvas->LineTo(box.Right - 2, midY);
  if (!Node->Expanded()) {
    canvas->MoveTo(midX, box.Top + 2);
    canvas->LineTo(midX, box.Bottom - 2);
  }
}

// Group and grand-total rows run across the columns without lines between their cells.
void TLedgerGroupingGridEh::GetCellLineParams(int ACol, int ARow, int Side, bool& DrawFirst, TColor& Color,
                                              bool& Visible) {
  TCustomDBAxisGridEh::GetCellLineParams(ACol, ARow, Side, DrawFirst, Color, Visible);
  if (Side != lsRightLineEh || ACol >= ColCount() - 1 || ARow < FixedRows()) return;
  if (IsGroupNode(RowNode(ARow)) || IsGrandTotalRow(ARow)) Visible = false;
}

bool TLedgerGroupingGridEh::GetFocusRectangle(const TGridDrawInfoEh& DrawInfo, TRect& ARect) {
  if (!IsGroupNode(RowNode(Row())) && !IsGrandTotalRow(Row()))
    return TCustomDBAxisGridEh::GetFocusRectangle(DrawInfo, ARect);
  ARect = CalcBoxRect(DrawInfo, FixedCols(), Row(), ColCount() - 1, Row());
  return !IsRectEmpty(ARect);
}

// --- rows and the data set ----------------------------------------------------------------------

void TLedgerGroupingGridEh::LinkActive(bool Value) {
  TCustomDBAxisGridEh::LinkActive(Value);
  SyncDimensions();
}

void TLedgerGroupingGridEh::DataChanged() {
  SyncDimensions();
  Invalidate();
}

void TLedgerGroupingGridEh::Scroll(int Distance) {
  SyncDimensions();
  Invalidate();
}

bool TLedgerGroupingGridEh::SelectCell(int ACol, int ARow) {
  // The grid repaints only the cell it leaves; a group row's frame ran round the whole row.
  if (ARow != Row() && (IsGroupNode(RowNode(Row())) || IsGrandTotalRow(Row()))) InvalidateRow(Row());
  if (ARow == Row() || !DataLink()->Active() || ARow <= 0) return true;
  if (!dataGrouping_->IsGroupingActive()) {
    DataLink()->MoveBy(ARow - 1 - DataLink()->ActiveRecord());
    return true;
  }
  // A group row or the totals leave the data set where it is.
  TGroupDataTreeNodeEh* node = RowNode(ARow);
  followRecord_ = IsDataNode(node);
  if (!followRecord_ || !DataIntf() || node->RecNo == DataIntf()->GetCurrentRecordIndex()) return true;
  DataLink()->DataSet()->SetRecNo(node->RecNo + 1);
  // Leaving the record posted a pending edit, which may have moved rows: ARow may now show
  // another node. Go to the record's row itself instead.
  const int row = FixedRows() + GroupTree()->FlatIndexOfRecord(DataIntf()->GetCurrentRecordIndex());
  if (row == ARow || row < FixedRows()) return true;
  if (row != Row()) MoveColRow(ACol, row, true, true);
  UpdateEdit();
  return false;
}

void TLedgerGroupingGridEh::InternalLayout() {
  TCustomDBAxisGridEh::InternalLayout();
  SyncDimensions();
}

void TLedgerGroupingGridEh::SyncDimensions() {
  if (ColCount() != std::max(1, Columns()->Count())) SetColCount(std::max(1, Columns()->Count()));
  if (!dataGrouping_->IsGroupingActive()) {
    const int rows = 1 + (DataLink()->Active() ? std::max(1, DataLink()->RecordCount()) : 1);
    if (RowCount() != rows) SetRowCount(rows);
    if (DataLink()->Active() && Row() != DataLink()->ActiveRecord() + 1)
      MoveColRow(Col(), DataLink()->ActiveRecord() + 1, true, false);
    return;
  }
  // The titles, the flat list and the grand totals.
  const int rows = 1 + GroupTree()->GetFlatCount() + 1;
  if (RowCount() != rows) SetRowCount(rows);
  if (!followRecord_ || !DataIntf()) return;
  const int flat = GroupTree()->FlatIndexOfRecord(DataIntf()->GetCurrentRecordIndex());
  if (flat >= 0 && Row() != flat + 1) MoveColRow(Col(), flat + 1, true, false);
}

// --- mouse and keys -----------------------------------------------------------------------------

void TLedgerGroupingGridEh::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  const TGridCoord cell = MouseCoord(X, Y);
  lastDownCell_ = cell;
  lastDownOnSign_ = false;
  if (IsGroupNode(RowNode(cell.Y)) && cell.X == LeftCol()) {
    const int rowLeft = CellRect(LeftCol(), cell.Y).Left;
    lastDownOnSign_ = X >= rowLeft + kSignLeft - 2 && X < rowLeft + kSignLeft + kSignSize + 2;
  }
  TCustomDBAxisGridEh::MouseDown(Button, Shift, X, Y);
  if (dataGrouping_->IsGroupingActive() && !IsDataNode(RowNode(Row()))) {
    // A click on the current cell asks for the editor, which other rows have not.
    if (EditorMode()) HideEditor();
    // A click on the sign folds; the second click of a double click leaves it to DblClick.
    if (Button == mbLeft && lastDownOnSign_ && cell.Y == Row() && !Shift.Contains(ssDouble))
      SetRowExpanded(cell.Y, !RowNode(cell.Y)->Expanded());
    return;
  }
  if (Button != mbLeft || cell.X != lacCleared || cell.Y < 1 || cell.Y != Row()) return;
  TAxisBarEh* bar = Columns()->GetAxisBar(lacCleared);
  if (!bar->CanModify(true)) return;
  bar->SetCheckboxState(bar->GetCheckboxState() == cbChecked ? cbUnchecked : cbChecked);
  TDataSet* ds = DataLink()->DataSet();
  if (ds->State() == dsEdit) ds->Post();
}

void TLedgerGroupingGridEh::DblClick() {
  TCustomDBAxisGridEh::DblClick();
  // Only on the group row the double click landed on (not, say, on a title), and not on its
  // sign, whose first click folded it already.
  if (lastDownCell_.Y != Row() || lastDownOnSign_) return;
  if (TGroupDataTreeNodeEh* node = RowNode(Row()); IsGroupNode(node))
    SetRowExpanded(Row(), !node->Expanded());
}

void TLedgerGroupingGridEh::KeyDown(WORD& Key, TShiftState Shift) {
  if ((Key == VK_ADD || Key == VK_SUBTRACT) && SetRowExpanded(Row(), Key == VK_ADD)) {
    Key = 0;
    return;
  }
  TCustomDBAxisGridEh::KeyDown(Key, Shift);
}

// The typed signs too (the main keyboard's + and -), before the grid takes a character as the
// start of an edit. The keypad's VK_ADD has expanded the row already; setting the state again
// leaves it as it is.
void TLedgerGroupingGridEh::WMChar(TMessage& Message) {
  const char32_t ch = Message.CharValue();
  if ((ch == U'+' || ch == U'-') && SetRowExpanded(Row(), ch == U'+')) return;
  TCustomDBAxisGridEh::WMChar(Message);
}

TGridLineColorsEh* TLedgerGroupingGridEh::CreateGridLineColors() {
  return new TLedgerAxisLineParamsEh(this);
}

TGridAxisBarsEh* TLedgerGroupingGridEh::CreateAxisBars() {
  return new TBaseColumnsEh(this, TLedgerAxisBarEh::StaticClass());
}
