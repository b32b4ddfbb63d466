// Tree-view rows: when the data interface shows its records as a tree, the first visible column
// of each data row begins with a tree area, one slot a level, holding the connector lines of
// the ancestors and the node's own sign; a press on the sign expands or collapses the node.
#include <algorithm>
#include <climits>
#include <cstdint>

#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "grid/foundation/GridDrawingEh.h"
#include "platform/rtl/ScopeGuard.h"

namespace dbgrid_tree_rows_detail {

constexpr int kTreeSlotWidth = 18;

constexpr int TreeElementCode(TTreeElementEh Element) {
  return static_cast<int>(Element);
}

// The node's own element: its sign, or the leaf connector, with a line on when a sibling
// follows; -1 for nothing (a leaf without tree lines).
int OwnTreeElement(IMemTableEh* Intf, int Level, bool ShowLines) {
  const bool sibling = Intf->GetTreeNodeHasNextSibling(Level);
  if (!Intf->GetTreeNodeHasChildren())
    return ShowLines ? TreeElementCode(sibling ? tehCrossUpDown : tehCrossUp) : -1;
  const bool expanded = Intf->GetTreeNodeExpanded();
  if (!ShowLines) return TreeElementCode(expanded ? tehMinus : tehPlus);
  if (expanded) return TreeElementCode(sibling ? tehMinusUpDown : tehMinusUp);
  return TreeElementCode(sibling ? tehPlusUpDown : tehPlusUp);
}

// The elements whose vertical line goes on below the row.
bool LineContinuesDown(int Element) {
  return Element == TreeElementCode(tehMinusUpDown) || Element == TreeElementCode(tehPlusUpDown) ||
         Element == TreeElementCode(tehCrossUpDown);
}

}  // namespace dbgrid_tree_rows_detail

using dbgrid_tree_rows_detail::kTreeSlotWidth;
using dbgrid_tree_rows_detail::TreeElementCode;

// The record the interface is positioned on decides: callers read a row through the row-read
// bracket (or ask about the current one), so the row number itself is not needed.
int TCustomDBGridEh::GetRowTreeIndent(int) {
  if (!IsDataIntfAssigned() || !DataIntf()->IsTreeViewMode()) return 0;
  const int64_t indent = int64_t{DataIntf()->GetTreeNodeLevel()} * kTreeSlotWidth;
  return static_cast<int>(std::clamp<int64_t>(indent, 0, INT_MAX));
}

void TCustomDBGridEh::DrawTreeArea(int, int, const TRect& ARect, TGridDrawState) {
  if (!IsDataIntfAssigned() || !DataIntf()->IsTreeViewMode()) return;
  TCanvas* canvas = Canvas();
  // The area takes the cell's background, as the cell painter settled it.
  if (TColCellParamsEh* params = GetCellParamsObject()) canvas->Brush()->SetColor(params->Background);
  PaintTreeArea(canvas, ARect, false, true);
}

void TCustomDBGridEh::PaintTreeArea(TCanvas* ACanvas, const TRect& ARect, bool LinesOnly, bool RowLine) {
  if (!ACanvas || !IsDataIntfAssigned() || !DataIntf()->IsTreeViewMode()) return;
  IMemTableEh* intf = DataIntf();
  const int level = intf->GetTreeNodeLevel();
  if (level < 1) return;
  TRect slot{ARect.Left, ARect.Top, ARect.Left + kTreeSlotWidth, ARect.Bottom};
  // The grid's cells come in device coordinates: a right-to-left row starts at the cell's right
  // end. Another canvas (the editor's) is mirrored by its owner.
  const bool fromRight =
      UseRightToLeftAlignment() && ACanvas == Canvas() && !dbgrid_detail::IsCanvasMirrored(ACanvas);
  auto placed = [&](const TRect& R) {
    return fromRight
               ? TRect{ARect.Left + ARect.Right - R.Right, R.Top, ARect.Left + ARect.Right - R.Left, R.Bottom}
               : R;
  };

  // Slots past the cell's right edge are cut at it (the row line below included).
  HRGN savedClip = nullptr;
  bool clipped = false;
  TScopeExit restoreClip([&] {
    if (clipped) RestoreClipRegion(ACanvas, savedClip);
  });
  auto clipWhenPast = [&] {
    if (clipped || slot.Right <= ARect.Right) return;
    savedClip = SelectClipRectangle(ACanvas, TRect{ARect.Left, ARect.Top, ARect.Right, ARect.Bottom + 1});
    clipped = true;
  };
  clipWhenPast();

  // The tree lines run through the row's bottom grid line, except under the last row when the
  // grid closes its boundary.
  const bool lastWithBoundary =
      GridLineParams()->GridBoundaries() && intf->GetRowIndex() == intf->GetRowCount() - 1;
  const bool throughRowLines = options_.Contains(dgRowLines) && RowLine && !lastWithBoundary;
  int extension = 0;
  auto hideRowLine = [&] {
    ACanvas->FillRect(placed(TRect{slot.Left, slot.Bottom, slot.Right, slot.Bottom + 1}));
    extension = 1;
  };
  if (throughRowLines) hideRowLine();

  const bool showLines = treeViewParams_->ShowTreeLines();
  const int nextLevel = intf->GetNextTreeNodeLevel();
  for (int ancestor = 1; ancestor < level; ++ancestor) {
    // The slots of a deep node beyond the cell show nothing.
    if (slot.Left >= ARect.Right) return;
    if (showLines && intf->GetTreeNodeHasNextSibling(ancestor))
      DrawTreeElementInSlot(ACanvas, placed(slot), TreeElementCode(tehVLine), extension);
    else
      ACanvas->FillRect(placed(slot));
    slot.Left += kTreeSlotWidth;
    slot.Right += kTreeSlotWidth;
    clipWhenPast();
    extension = 0;
    if (throughRowLines && (nextLevel < 0 || nextLevel > ancestor)) hideRowLine();
  }

  if (slot.Left >= ARect.Right) return;
  const int element = dbgrid_tree_rows_detail::OwnTreeElement(intf, level, showLines);
  if (!LinesOnly) {
    if (element < 0)
      ACanvas->FillRect(placed(slot));
    else
      DrawTreeElementInSlot(ACanvas, placed(slot), element, extension);
  } else if (showLines && dbgrid_tree_rows_detail::LineContinuesDown(element)) {
    DrawTreeElementInSlot(ACanvas, placed(slot), TreeElementCode(tehVLine), extension);
  }

  // Closes the indented left edge of the text area up to the line of the row above.
  if (GridLineParams()->DataHorzLines() && RowLine) {
    TBrush* brush = ACanvas->Brush();
    const TColor saved = brush->Color();
    TScopeExit restoreBrush([&] { brush->SetColor(saved); });
    brush->SetColor(GridLineParams()->GetDataHorzColor());
    ACanvas->FillRect(placed(TRect{slot.Right - 1, slot.Top - 1, slot.Right, slot.Bottom + 1}));
  }
}

void TCustomDBGridEh::DrawTreeElementInSlot(TCanvas* ACanvas, const TRect& W, int Element,
                                            int BottomExtension) {
  TRect rect = W;
  rect.Bottom += BottomExtension;
  ACanvas->FillRect(rect);
  // Dotted lines of rows of odd height keep in step across the rows shown.
  const bool linePhase = DefaultDataRowHeight() % 2 != 0 && TopRow() % 2 != 0;
  DrawTreeElementMirrored(ACanvas, rect, Element, treeViewParams_->GetActualGlyphStyle(), linePhase);
}

void TCustomDBGridEh::DrawTreeElementMirrored(TCanvas* ACanvas, const TRect& ARect, int TreeElement,
                                              TTreeViewGlyphStyleEh GlyphStyle, bool LinePhase) {
  // Another canvas (the editor's) is mirrored by its owner, if at all.
  if (!UseRightToLeftAlignment() || ACanvas != Canvas()) {
    DrawTreeElement(ACanvas, ARect, TreeElement, GlyphStyle, 1.0, 1.0, false, LinePhase);
    return;
  }
  // The element is mirrored by the device context's layout, which themed glyphs follow (a
  // mirroring mapping they do not): any mapping goes off meanwhile, and the painter's own
  // mirroring stays off, as the layout does it.
  const TRect device = DeviceRect(ACanvas, ARect);
  const bool wasMirrored = dbgrid_detail::IsCanvasMirrored(ACanvas);
  if (wasMirrored) SetCanvasMirroring(false);
  TScopeExit mirrorAgain([&] {
    if (wasMirrored) SetCanvasMirroring(true);
  });
  HDC dc = ACanvas->Handle();
  SetLayout(dc, LAYOUT_RTL);
  TScopeExit layoutBack([dc] { SetLayout(dc, 0); });
  const int width = ClientWidth();
  const TRect mirrored{width - device.Right, device.Top, width - device.Left, device.Bottom};
  DrawTreeElement(ACanvas, mirrored, TreeElement, GlyphStyle, 1.0, 1.0, false, LinePhase);
}

bool TCustomDBGridEh::ProcessCellMouseDown(int X, int Y, bool DblClick) {
  if (!IsDataIntfAssigned() || !DataIntf()->IsTreeViewMode()) return false;
  IMemTableEh* intf = DataIntf();
  const TGridCoord cell = MouseCoord(X, Y);
  if (cell.X < 0 || cell.Y < TopDataOffset()) return false;
  int areaCol = -1, areaRow = -1;
  const TCellAreaTypeEh cellType = GetCellType(cell.X, cell.Y, areaCol, areaRow);
  if (cellType.HorzType != hctDataEh || cellType.VertType != vctDataEh || areaCol != 0) return false;
  const TRect rect = CellRect(cell.X, cell.Y);
  const int dataRow = cell.Y - TopDataOffset();

  // The pressed row's indent and state, read without moving the data set.
  const bool otherRow = cell.Y != Row();
  const int savedTopRow = TopRow();
  const TBookmark savedBookmark = intf->GetPositionedBookmark();
  int indent = 0;
  bool expanded = false;
  {
    if (otherRow) intf->InstantReadEnter(dataRow);
    TScopeExit leave([&] {
      if (otherRow) intf->InstantReadLeave();
    });
    indent = GetRowTreeIndent(cell.Y);
    expanded = intf->GetTreeNodeExpanded();
  }
  if (UseRightToLeftAlignment()) X = rect.Left + rect.Right - X;
  if (X < rect.Left || X >= rect.Left + indent) return false;
  // A double click in the tree area is no cell double click, and toggles nothing.
  if (DblClick) return true;

  TDataSet* dataSet = DataLink()->DataSet();
  DataLink()->UpdateRecord();
  dataSet->CheckBrowseMode();
  dataSet->DisableControls();
  bool controlsDisabled = true;
  auto enableControls = [&] {
    if (!controlsDisabled) return;
    controlsDisabled = false;
    dataSet->EnableControls();
  };
  TScopeExit enableAfterFailure(enableControls);
  // A press in an ancestor's slot only goes back to where the data set was.
  int newRecNo = 0;
  if (X >= rect.Left + indent - kTreeSlotWidth) newRecNo = intf->SetTreeNodeExpanded(dataRow, !expanded);

  {
    LockPaint();
    TScopeExit unlock([this] { UnlockPaint(); });
    TValueRestorer<bool> busy(treeExpandBusy_, true);
    TScopeExit enableWhileLocked(enableControls);
    if (newRecNo > 0 && newRecNo != dataSet->RecNo())
      dataSet->SetRecNo(newRecNo);
    else if (!savedBookmark.empty() && dataSet->BookmarkValid(savedBookmark))  // not hidden by a collapse
      intf->GotoBookmarkEh(savedBookmark);
    enableControls();
    ClampTopRow(savedTopRow, false);
  }
  Invalidate();
  UpdateVertScrollBar();
  return true;
}
