// Tool tips and the hint pause: a title, data or footer cell whose text does not fit shows its
// full text in a tool-tip window over the cell, at once; a title with its own Hint shows that
// hint after the normal pause.
#include <algorithm>

#include "grid/axis/AxisGridRoutinesEh.h"
#include "grid/axis/AxisGridSettingsEh.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Forms.h"

namespace dbgrid_tooltips_detail {

// The hint window's border on both sides and the offset it paints its text at.
constexpr int kHintWindowExtraWidth = 6;
// A word-wrapped text breaks a little inside the cell.
constexpr int kWordWrapMargin = 2;
// A right-aligned text whose cell is cut by more than this has lost its end.
constexpr int kRightCutTolerance = 2;

// The part of a hint before its '|'.
std::string ShortHint(const std::string& Hint) {
  const size_t bar = Hint.find('|');
  return bar == std::string::npos ? Hint : Hint.substr(0, bar);
}

// A footer row under grouping: the visible grand totals come first, the column footers follow.
struct TFooterRowEh {
  TGridDataGroupFooterEh* GrandTotal = nullptr;  // set for a grand-total row
  int FooterIndex = 0;                           // the column footer's index otherwise
};

TFooterRowEh FooterRowAt(TCustomDBGridEh* Grid, int AreaRow) {
  TDBGridEhDataGroupsEh* grouping = Grid->DataGrouping();
  const int groupFooters =
      grouping && grouping->IsGroupingActive() ? grouping->Footers()->GetVisibleCount() : 0;
  if (AreaRow < groupFooters) return TFooterRowEh{grouping->Footers()->GetVisibleItem(AreaRow), 0};
  return TFooterRowEh{nullptr, AreaRow - groupFooters};
}

// A grand-total row's tips follow the column's first footer.
bool FooterToolTips(TColumnEh* Column, const TFooterRowEh& Row) {
  return Column->GetFooter(Row.GrandTotal ? 0 : Row.FooterIndex)->ToolTips();
}

TGridDataGroupFooterColumnItemEh* GrandTotalItem(TGridDataGroupFooterEh* Footer, TColumnEh* Column) {
  for (int i = 0; i < Footer->ColumnItems()->Count(); ++i)
    if (Footer->ColumnItems()->Items(i)->Column() == Column) return Footer->ColumnItems()->Items(i);
  return nullptr;
}

Variant GrandTotalValue(TCustomDBGridEh* Grid, TGridDataGroupFooterEh* Footer,
                        TGridDataGroupFooterColumnItemEh* Item) {
  TGroupDataTreeNodeEh* root = Grid->DataGrouping()->GroupDataTree()->GetRoot();
  if (!root || !Item) return Variant::Null();
  for (int i = 0; i < root->GetFooterCount(); ++i) {
    TGroupDataTreeNodeEh* node = root->GetFooterNode(i);
    if (node && node->DataGroupFooter == Footer) return node->GetFooterValue(Item->Index());
  }
  return Variant::Null();
}

bool IsMemoField(TField* Field) {
  if (!Field) return false;
  const TFieldType type = Field->DataType();
  return type == ftMemo || type == ftFmtMemo;
}

// The data rows that show records; a group row or a group footer has no cell text of a column.
bool IsRecordRow(TCustomDBGridEh* Grid, int AreaRow) {
  const int rows = Grid->IsDataIntfAssigned() ? Grid->GetDataRowCount() : Grid->DataLink()->RecordCount();
  if (AreaRow < 0 || AreaRow >= rows) return false;
  TDBGridEhDataGroupsEh* grouping = Grid->DataGrouping();
  if (!grouping || !grouping->IsGroupingActive() || grouping->GroupDataTree()->GetFlatCount() == 0)
    return true;
  TGroupDataTreeNodeEh* node = grouping->GroupDataTree()->GetFlatNode(AreaRow);
  return !node || node->NodeType == dntDataSetRecordEh;
}

// The cell a tip is about: in row panel mode a column's cell inside the panel, otherwise the grid's
// cell. Visible is the part on screen; Start's leading side (mirrored right to left) is where the
// text starts, FullWidth the width the text was laid out in.
struct TTipCellEh {
  TColumnEh* Column = nullptr;
  int AreaCol = -1;
  int DrawCol = -1;  // the grid column the cell painters are told
  TRect Visible;
  TRect Start;
  int FullWidth = 0;
};

TTipCellEh TipCellAt(TCustomDBGridEh* Grid, TGridCoord Cell, TPoint Mouse, int AreaCol,
                     const TCellAreaTypeEh& CellType) {
  TTipCellEh tip;
  if (CellType.HorzType != hctDataEh) return tip;
  if (!Grid->RowPanel()->Active()) {
    tip.Column = Grid->AreaColumn(AreaCol);
    tip.AreaCol = AreaCol;
    tip.DrawCol = Cell.X;
    tip.Visible = tip.Start = Grid->CellRect(Cell.X, Cell.Y);
    tip.FullWidth = Grid->ColWidths(Cell.X);
    return tip;
  }
  TColumnEh* column = Grid->RowPanelColumnAt(Mouse.X, Mouse.Y);
  const int position = column ? Grid->VisibleColumns().IndexOf(column) : -1;
  if (position < 0) return tip;
  const TRect full = Grid->RowPanelCellRect(column, Cell.Y);
  // The panel scrolls by pixels: its cell may be cut by the fixed columns or by the grid's edge.
  const TRect row = Grid->CellRect(Grid->IndicatorOffset(), Cell.Y);
  TGridDrawInfoEh di;
  Grid->CalcDrawInfo(di);
  const bool rtl = Grid->UseRightToLeftAlignment();
  const int areaLeft = rtl ? di.Horz.GridExtent - di.Horz.GridBoundary : di.Horz.FixedBoundary;
  const int areaRight = rtl ? di.Horz.GridExtent - di.Horz.FixedBoundary : di.Horz.GridBoundary;
  tip.Visible = TRect{std::max({full.Left, row.Left, areaLeft}), full.Top,
                      std::min({full.Right, row.Right, areaRight}), full.Bottom};
  if (tip.Visible.Right <= tip.Visible.Left) return tip;
  tip.Column = column;
  tip.AreaCol = position;
  tip.DrawCol = Grid->IndicatorOffset() + position;
  tip.Start = full;
  tip.FullWidth = full.Width();
  return tip;
}

// A canvas on the screen's device context, so that measuring leaves the grid's canvas alone.
class TScreenCanvasEh {
 public:
  TScreenCanvasEh() : dc_(GetDC(nullptr)) { canvas_.SetHandle(dc_); }
  ~TScreenCanvasEh() {
    canvas_.SetHandle(nullptr);
    ReleaseDC(nullptr, dc_);
  }
  TScreenCanvasEh(const TScreenCanvasEh&) = delete;
  TScreenCanvasEh& operator=(const TScreenCanvasEh&) = delete;
  TCanvas* Canvas() { return &canvas_; }

 private:
  HDC dc_;
  TCanvas canvas_;
};

}  // namespace dbgrid_tooltips_detail

using namespace dbgrid_tooltips_detail;

// --- the hint pause ---------------------------------------------------------------------------------

void TCustomDBGridEh::CMHintShowPause(TMessage& Message) {
  auto* pause = reinterpret_cast<int*>(Message.LParam);
  if (!pause || !HandleAllocated()) return;
  // The pause is asked before the move reaches the grid: the pointer itself says where it is.
  POINT screen{};
  GetCursorPos(&screen);
  const TPoint mouse = ScreenToClient(TPoint{screen.X, screen.Y});
  const TGridCoord cell = MouseCoord(mouse.X, mouse.Y);
  if (cell.X < indicatorOffset_ || cell.Y < 0) return;

  int areaCol = -1, areaRow = -1;
  const TCellAreaTypeEh cellType = GetCellType(cell.X, cell.Y, areaCol, areaRow);
  const TTipCellEh tip = TipCellAt(this, cell, mouse, areaCol, cellType);
  TColumnEh* column = tip.Column;
  const TRect cellRect = column ? tip.Visible : CellRect(cell.X, cell.Y);
  const TPoint inCell{mouse.X - cellRect.Left, mouse.Y - cellRect.Top};

  *pause = Application ? Application->HintPause() : 0;
  bool processed = false;
  if (OnHintShowPause) OnHintShowPause(this, mouse, cell, inCell, column, *pause, processed);
  if (!processed && column && column->OnHintShowPause)
    column->OnHintShowPause(this, mouse, cell, inCell, column, *pause, processed);
  if (processed) return;

  bool atOnce = false;
  if (column) {
    switch (cellType.VertType) {
      case vctFooterEh:
        atOnce = FooterToolTips(column, FooterRowAt(this, areaRow));
        break;
      case vctDataEh:
        atOnce = DataLink()->Active() && column->ToolTips() && IsRecordRow(this, areaRow);
        break;
      case vctTitleEh:
        atOnce =
            options_.Contains(dgTitles) && column->Title()->ToolTips() && column->Title()->Hint().empty();
        break;
      default:
        break;
    }
  }
  *pause = atOnce ? 0 : (Application ? Application->HintPause() : 0);
}

// --- tool tips --------------------------------------------------------------------------------------

void TCustomDBGridEh::CMHintShow(TMessage& Message) {
  // The axis grid's own data-cell tips do not know the title and footer bands: the control's
  // handling is the one this grid builds on.
  TCustomGridEh::CMHintShow(Message);
  if (Message.Result != 0) return;
  THintInfo* info = Message.HintInfo();
  if (!info) return;
  const TGridCoord cell = MouseCoord(info->CursorPos.X, info->CursorPos.Y);
  if (cell.X < indicatorOffset_ || cell.Y < 0) return;
  int areaCol = -1, areaRow = -1;
  const TCellAreaTypeEh cellType = GetCellType(cell.X, cell.Y, areaCol, areaRow);
  const TTipCellEh tip = TipCellAt(this, cell, info->CursorPos, areaCol, cellType);
  TColumnEh* column = tip.Column;
  if (!column) return;
  const TRect cellRect = tip.Visible;

  if (cellType.VertType == vctTitleEh && !column->Title()->Hint().empty()) {
    info->HintStr = ShortHint(column->Title()->Hint());
    info->CursorRect = cellRect;
    return;
  }
  if (MouseCapture()) return;

  if (!toolTipFont_) toolTipFont_ = std::make_unique<TFont>();
  TScreenCanvasEh measure;
  TCanvas* canvas = measure.Canvas();
  std::string text;
  TAlignment alignment = taLeftJustify;
  bool wordWrap = false;
  bool always = false;
  int extraWidth = 0;

  switch (cellType.VertType) {
    case vctTitleEh: {
      TColumnTitleEh* title = column->Title();
      if (!options_.Contains(dgTitles) || !title->ToolTips()) return;
      text = title->Caption();
      alignment = title->Alignment();
      toolTipFont_->Assign(title->Font());
      if (alignment != taCenter) extraWidth = optionsEh_.Contains(dghFixed3D) && !Flat() ? 2 : 3;
      const int marker = title->GetSortMarkerAreaWidth();
      if (marker > 2) extraWidth += marker - 2;
      extraWidth += std::min(title->GetFilterButtonWidth(), cellRect.Width() / 2);
      break;
    }
    case vctDataEh: {
      if (!column->ToolTips() || !DataLink()->Active() || !IsRecordRow(this, areaRow)) return;
      TRowReadScope readRow(this, areaRow);
      text = column->GetDisplayText();
      alignment = column->Alignment();
      wordWrap = column->IsWordWrapEffective(cellRect.Height());
      toolTipFont_->Assign(column->Font());
      always = column->GetColumnType() == abkGraphicEh || IsMemoField(column->GetField());
      if (EditButtonsShownInCell(column, tip.DrawCol, cell.Y))
        extraWidth = std::max(0, column->GetEditButtonsWidth());
      break;
    }
    case vctFooterEh: {
      const TFooterRowEh row = FooterRowAt(this, areaRow);
      if (!FooterToolTips(column, row)) return;
      if (row.GrandTotal) {
        TGridDataGroupFooterColumnItemEh* item = GrandTotalItem(row.GrandTotal, column);
        if (!item) return;
        text = item->GetDisplayText(GrandTotalValue(this, row.GrandTotal, item));
        alignment = item->Alignment();
        toolTipFont_->Assign(item->Font());
      } else {
        TColumnFooterEh* footer = column->GetFooter(row.FooterIndex);
        toolTipFont_->Assign(footer->Font());
        TColor background = footer->Color();
        alignment = footer->Alignment();
        wordWrap = footer->WordWrap();
        GetFooterValue(row.FooterIndex, column, text);
        // The text the cell paints, with what the grid's handler made of it.
        GetFooterParams(tip.AreaCol, row.FooterIndex, column, toolTipFont_.get(), background, alignment,
                        TGridDrawState{}, text);
      }
      break;
    }
    default:
      return;
  }

  canvas->Font()->Assign(toolTipFont_.get());
  const int cutWidth = tip.FullWidth - cellRect.Width();
  const bool tooLong =
      !text.empty() && IsTextTooLongForRect(canvas, text, cellRect, wordWrap,
                                            extraWidth + (wordWrap ? kWordWrapMargin : 0), 0);
  const bool endCut = alignment == taRightJustify && cutWidth > kRightCutTolerance;
  if (!(tooLong || always || endCut)) {
    info->HintStr.clear();
    return;
  }

  // Where the hint goes: over the cell's text, from the side the text is aligned to.
  const int maxWidth = wordWrap ? std::max(1, cellRect.Width() - 4) : info->HintMaxWidth;
  canvas->RequiredState(TCanvasState{csHandleValid, csFontValid});
  TRect calc{0, 0, maxWidth, 0};
  DrawText(canvas->Handle(), text, &calc, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  const int hintWidth = calc.Width() + kHintWindowExtraWidth;
  const bool rtl = UseRightToLeftAlignment();
  const TRect logical = rtl ? TRect{ClientWidth() - tip.Start.Right, tip.Start.Top,
                                    ClientWidth() - tip.Start.Left, tip.Start.Bottom}
                            : tip.Start;
  int x = logical.Left;
  if (alignment == taRightJustify)
    x = logical.Left + tip.FullWidth - hintWidth;
  else if (alignment == taCenter)
    x = logical.Left + (tip.FullWidth - hintWidth) / 2;
  if (rtl) x = ClientWidth() - x - hintWidth;

  info->HintStr = text;
  info->CursorRect = cellRect;
  info->HintPos = ClientToScreen(TPoint{x, cellRect.Top});
  if (wordWrap) info->HintMaxWidth = maxWidth;
  info->HintWindowClass = TGridToolTipsWindowEh::StaticClass();
  info->HintData = toolTipFont_.get();
}
