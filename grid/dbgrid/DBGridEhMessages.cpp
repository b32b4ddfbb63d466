// The window and control messages the data grid answers itself: routing, size and scroll,
// focus, cancel mode, the filter row's presses, the cursor over sizing edges, the indicator and
// the titles, the wheel's routing to open lists, the standard edit actions, and the small
// overrides that follow the grid's options (boundary lines, hot tracking, flat look).
#include "grid/axis/AxisGridInplaceEditEh.h"
#include "grid/dbgrid/DBGridEhControls.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/foundation/PopupListboxEh.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/StdActns.h"

namespace dbgrid_messages_detail {

// WM_SIZE may come back once from inside its own handling (a resize that resizes); deeper
// nesting is dropped.
constexpr int kMaxSizeNesting = 2;
// A title shows the column-select cursor this close to its bottom edge.
constexpr int kColumnSelectBand = 5;

// The filter row is part of the grid, under the titles (not folded into them).
bool FilterRowUnderTitles(TCustomDBGridEh* Grid) {
  TSTDBGridEhFilter* filter = Grid->STFilter();
  return filter->Visible() && filter->Location() == stflUnderTitleFilterEh;
}

bool IsStandardEditAction(TBasicAction* Action) {
  return dynamic_cast<TEditAction*>(Action) != nullptr;
}

// The edit-action kinds in the order the grid tests them.
struct TEditActionTest {
  TDBGridEhEditAction Kind;
  bool (*Matches)(TBasicAction*);
  bool (TCustomDBGridEh::*Possible)();
  void (*Run)(TCustomDBGridEh*);
};

template <class A>
bool IsActionOf(TBasicAction* Action) {
  return dynamic_cast<A*>(Action) != nullptr;
}

const TEditActionTest kEditActionTests[] = {
    {geaCopyEh, IsActionOf<TEditCopy>, &TCustomDBGridEh::CheckCopyAction,
     [](TCustomDBGridEh* G) { GridCopyAction(G, false); }},
    {geaPasteEh, IsActionOf<TEditPaste>, &TCustomDBGridEh::CheckPasteAction,
     [](TCustomDBGridEh* G) { GridPasteAction(G, false); }},
    {geaCutEh, IsActionOf<TEditCut>, &TCustomDBGridEh::CheckCutAction,
     [](TCustomDBGridEh* G) { GridCutAction(G, false); }},
    {geaSelectAllEh, IsActionOf<TEditSelectAll>, &TCustomDBGridEh::CheckSelectAllAction,
     [](TCustomDBGridEh* G) { G->Selection()->SelectAll(); }},
    {geaDeleteEh, IsActionOf<TEditDelete>, &TCustomDBGridEh::CheckDeleteAction,
     [](TCustomDBGridEh* G) { GridDeleteAction(G, false); }},
};

// The test that decides Action for this grid: the first of the five whose kind the grid allows
// and whose action class Action is; nullptr when none does.
const TEditActionTest* FindEditActionTest(TCustomDBGridEh* Grid, TBasicAction* Action) {
  for (const TEditActionTest& test : kEditActionTests)
    if (Grid->EditActions().Contains(test.Kind) && test.Matches(Action)) return &test;
  return nullptr;
}

// An action that acts on the grid's data source (a data-set action) is the data link's.
bool DataLinkHandles(TCustomDBGridEh* Grid, TBasicAction* Action) {
  TDataSource* source = Grid->DataLink()->DataSource();
  return source && Action->HandlesTarget(source);
}

// The filter-row editor as a window; nullptr before its first use.
TWinControl* FilterEditorControl(TCustomDBGridEh* Grid) {
  return Grid->FilterEdit();
}

// The window belongs to the filter-row editor (the editor or a window inside it).
bool IsFilterEditorWindow(TCustomDBGridEh* Grid, HWND Wnd) {
  TWinControl* editor = FilterEditorControl(Grid);
  return Wnd && editor && editor->HandleAllocated() &&
         (Wnd == editor->Handle() || IsChild(editor->Handle(), Wnd));
}

// The press that opened the filter editor lands in the editor, on the child window under it.
void ForwardPressToFilterEditor(TCustomDBGridEh* Grid, const TMessage& Message) {
  TWinControl* editor = FilterEditorControl(Grid);
  if (!editor || !editor->HandleAllocated() || !Grid->HandleAllocated()) return;
  POINT screen{Message.XPos(), Message.YPos()};
  ::ClientToScreen(Grid->Handle(), &screen);
  POINT local = screen;
  ::ScreenToClient(editor->Handle(), &local);
  HWND target = ChildWindowFromPoint(editor->Handle(), local);
  if (!target) target = editor->Handle();
  POINT inTarget = screen;
  ::ScreenToClient(target, &inTarget);
  SendMessage(target, WM_LBUTTONDOWN, Message.WParam, MAKELPARAM(inTarget.X, inTarget.Y));
}

HCURSOR ColumnSplitCursor() {
  return Screen ? Screen->Cursors(crHSplit) : nullptr;
}

// The grid's own cursor for a client point; nullptr leaves the choice to the base grid.
HCURSOR GridCursorAt(TCustomDBGridEh* Grid, TPoint P) {
  if (Grid->DragState() == dgsFrozenColSizingEh) return ColumnSplitCursor();
  if (Grid->GridState() == gsNormal && Grid->DragState() == dgsNormalEh) {
    int index = -1, pos = 0, ofs = 0;
    if (Grid->CalcFrozenColSizingState(P.X, P.Y, index, pos, ofs)) return ColumnSplitCursor();
  }
  const TDBGridOptions options = Grid->Options();
  if (Grid->ComponentState().Contains(csDesigning) || !Grid->DataLink()->Active() ||
      !options.Contains(dgMultiSelect))
    return nullptr;
  // A sizing edge keeps the base grid's sizing cursor.
  if (Grid->GridState() != gsNormal || Grid->Sizing(P.X, P.Y)) return nullptr;
  const TGridCoord cell = Grid->MouseCoord(P.X, P.Y);
  if (cell.X < 0 || cell.Y < 0) return nullptr;
  int areaCol = -1, areaRow = -1;
  const TCellAreaTypeEh type = Grid->GetCellType(cell.X, cell.Y, areaCol, areaRow);
  const TDBGridEhAllowedSelections allowed = Grid->AllowedSelections();
  if (type.HorzType == hctIndicatorEh && type.VertType == vctDataEh) {
    TDataSet* dataSet = Grid->DataLink()->DataSet();
    if (!allowed.Contains(gstRecordBookmarks) || !dataSet || !dataSet->CanModify() ||
        Grid->IndicatorOptions().Contains(gioShowRowselCheckboxesEh))
      return nullptr;
    return Grid->UseRightToLeftAlignment() ? DBGridEhRecordSelectRightToLeftCursor()
                                           : DBGridEhRecordSelectCursor();
  }
  if (type.HorzType != hctDataEh || type.VertType != vctTitleEh || !options.Contains(dgTitles) ||
      options.Contains(dgRowSelect) || !allowed.Contains(gstColumns))
    return nullptr;
  TColumnEh* column = Grid->AreaColumn(areaCol);
  // A title button takes the press for its click.
  if (!column || column->Title()->TitleButton()) return nullptr;
  return P.Y >= Grid->CellRect(cell.X, cell.Y).Bottom - kColumnSelectBand ? DBGridEhColumnSelectCursor()
                                                                          : nullptr;
}

}  // namespace dbgrid_messages_detail

using namespace dbgrid_messages_detail;

// --- routing ------------------------------------------------------------------------------------------

void TCustomDBGridEh::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETDLGCODE:
      WMGetDlgCode(Message);
      return;
    case CM_CANCELMODE:
      CMCancelMode(Message);
      return;
    case CM_HINTSHOWPAUSE:
      CMHintShowPause(Message);
      return;
    default:
      inherited::Dispatch(Message);
  }
}

void TCustomDBGridEh::WndProc(TMessage& Message) {
  const bool keyMessage = Message.Msg == WM_KEYDOWN || Message.Msg == WM_CHAR || Message.Msg == WM_KEYUP;
  if (keyMessage && titleFilterList_ && titleFilterList_->Visible()) {
    // The open title filter list is navigated with the keys that reach the grid.
    Message.Result = titleFilterList_->Perform(Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  const bool leftPress = Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK;
  if (leftPress && DragMode() == dmAutomatic) {
    // The grid's own press decides whether a drag starts; the control's automatic drag would
    // take every press.
    SetDragMode(dmManual);
    TScopeExit automatic(WhileAlive(Watch(), [this] { SetDragMode(dmAutomatic); }));
    inherited::WndProc(Message);
    return;
  }
  inherited::WndProc(Message);
}

void TCustomDBGridEh::WMGetDlgCode(TMessage& Message) {
  TCustomGridEh::WMGetDlgCode(Message);
  // Enter moves on like Tab, so the dialog must hand the grid every key.
  if (optionsEh_.Contains(dghEnterAsTab)) Message.Result |= DLGC_WANTMESSAGE;
}

// --- size and scrolling -------------------------------------------------------------------------------

void TCustomDBGridEh::WMSize(TMessage& Message) {
  if (sizeNesting_ >= kMaxSizeNesting) return;
  TCounterScope<int> nested(sizeNesting_);
  inherited::WMSize(Message);
  // A bar that comes or goes below the cells changes only the height: the fitted widths stay.
  const bool widthChanged = ClientWidth() != lastSizeWidth_;
  const bool heightChanged = ClientHeight() != lastSizeHeight_;
  lastSizeWidth_ = ClientWidth();
  lastSizeHeight_ = ClientHeight();
  if (LayoutLock() != 0 || LayoutChangeLock() != 0) {
    // A layout is under way: it runs again once it is released.
    LayoutChanged();
  } else if (autoFitColWidths_ && widthChanged && !ComponentState().Contains(csDesigning)) {
    FitColWidths();
    LayoutChanged();
  } else {
    // The rows that fit decide how many records the grid buffers (over a table's interface: the
    // top row and the bar's page), as when the data source is bound. A new row count repaints
    // every row: the window of records may start at another one.
    if (heightChanged) UpdateRowsLayout();
    CalcHorzScrollExtent();
    CalcVertScrollExtent();
    UpdateScrollRange();
    UpdateVertScrollBar();
    if (UpdateIndicatorColWidth()) LayoutChanged();
  }
  UpdateScrollBarPanel();
  // Also a panel shown before the window existed (set while loading) is placed here.
  UpdateSearchPanelLayout();
  if (rowDetailPanel_->Visible()) UpdateRowDetailPanel();
}

void TCustomDBGridEh::WMHScroll(TMessage& Message) {
  if (HorzScrollBar()->Tracking() && Message.ScrollCode() == SB_THUMBTRACK) {
    // Tracking scrolls to each thumb position as if the thumb were let go there.
    Message.Result = Perform(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, Message.WParamHi()), Message.LParam);
  } else {
    inherited::WMHScroll(Message);
  }
  UpdateHorzExtScrollBar();
}

// --- focus --------------------------------------------------------------------------------------------

void TCustomDBGridEh::WMSetFocus(TMessage& Message) {
  if (options_.Contains(dgRowSelect) && Row() < GetFullRowCount()) InvalidateRow(Row());
  inherited::WMSetFocus(Message);
  if (filterEditMode_ && !IsFilterEditorWindow(this, Message.FocusedWnd())) StopFilterEdit();
  if (focused_ == IsFocusedOrChildFocused()) return;
  FocusChanged();
  const TEditButtonsShowOptionsEh show = editButtonsShowOptions_;
  // Buttons that show only while the grid is active appear on every cell at once.
  if (show.Contains(sebShowOnlyWhenGridActiveEh) && !show.Contains(sebShowOnlyForCurCellEh) &&
      !show.Contains(sebShowOnlyForCurRowEh))
    Invalidate();
}

// --- cancel mode --------------------------------------------------------------------------------------

void TCustomDBGridEh::CMCancelMode(TMessage& Message) {
  TCustomGridEh::CMCancelMode(Message);
  if (TWinControl* editor = FilterEditorControl(this)) editor->WndProc(Message);
  if (!titleFilterList_ || !titleFilterList_->Visible()) return;
  TControl* sender = Message.Sender();
  if (sender == titleFilterList_ || (sender && titleFilterList_->ContainsControl(sender))) return;
  if (sender == this && Mouse) {
    // The grid cancels for a press of its own: a press on the list keeps it open.
    RECT list{};
    const TPoint p = Mouse->CursorPos();
    if (titleFilterList_->HandleAllocated() && GetWindowRect(titleFilterList_->Handle(), &list) &&
        p.X >= list.Left && p.X < list.Right && p.Y >= list.Top && p.Y < list.Bottom)
      return;
  }
  CloseTitleFilter();
}

void TCustomDBGridEh::WMCancelMode(TMessage& Message) {
  inherited::WMCancelMode(Message);
  if (titleFilterList_ && titleFilterList_->Visible()) CloseTitleFilter();
}

// --- the mouse ----------------------------------------------------------------------------------------

void TCustomDBGridEh::CMMouseLeave(TMessage& Message) {
  const int hotRow = HotTrackSpot()->Row;
  inherited::CMMouseLeave(Message);
  if (DataGrouping()->GroupPanelVisible()) UpdateGroupingPanelHotItem(-1, -1);
  if (!optionsEh_.Contains(dghHotTrack) || hotRow <= 0) return;
  // The hot row is highlighted across: all of it goes back to normal.
  *HotTrackSpot() = TGridHotTrackSpotEh{};
  if (hotRow < GetFullRowCount()) InvalidateRow(hotRow);
}

void TCustomDBGridEh::CMMouseWheel(TMessage& Message) {
  // A list or editor open over the grid takes the wheel; the record stays. Each is asked directly:
  // what it leaves would otherwise come back to the grid through its parent.
  TControl* target = nullptr;
  auto* editor = dynamic_cast<TDBAxisGridInplaceEdit*>(inplaceEdit_);
  const bool editorListOpen = editor && editor->Visible() && editor->ListVisible() && editor->ActiveList();
  if (editorListOpen)
    target = editor->ActiveList();
  else if (filterEditMode_ && FilterEditorControl(this))
    target = FilterEditorControl(this);
  else if (titleFilterList_ && titleFilterList_->Visible())
    target = titleFilterList_;
  if (!target) {
    inherited::CMMouseWheel(Message);
    return;
  }
  const bool handled = target->DoMouseWheel(Message.ShiftState(), Message.WheelDelta(), Message.Pos());
  Message.Result = editorListOpen || handled ? 1 : 0;
}

void TCustomDBGridEh::WMRButtonDown(TMessage& Message) {
  if (!ComponentState().Contains(csDesigning) && FilterRowUnderTitles(this)) {
    const TGridCoord cell = MouseCoord(Message.XPos(), Message.YPos());
    int areaCol = -1, areaRow = -1;
    if (cell.X >= 0 && cell.Y >= 0) {
      const TCellAreaTypeEh type = GetCellType(cell.X, cell.Y, areaCol, areaRow);
      TColumnEh* column =
          type.HorzType == hctDataEh && type.VertType == vctSubTitleEh ? AreaColumn(areaCol) : nullptr;
      if (column && CanEditFilterCell(column->Index())) {
        StartFilterEdit(column->Index());
        mouseDownTime_ = GetMessageTime();
        mouseDownPoint_ = Message.Pos();
        return;
      }
    }
  }
  inherited::WMRButtonDown(Message);
}

void TCustomDBGridEh::WMLButtonDown(TMessage& Message) {
  if (!ComponentState().Contains(csDesigning) && FilterRowUnderTitles(this)) {
    const TPoint pos = Message.Pos();
    const TGridCoord cell = MouseCoord(pos.X, pos.Y);
    int areaCol = -1, areaRow = -1;
    const TCellAreaTypeEh type =
        cell.X >= 0 && cell.Y >= 0 ? GetCellType(cell.X, cell.Y, areaCol, areaRow) : TCellAreaTypeEh{};
    if (cell.X >= 0 && cell.Y >= 0 && type.VertType == vctSubTitleEh && type.HorzType == hctDataEh) {
      TColumnEh* column = rowPanel_->Active() ? RowPanelColumnAt(pos.X, pos.Y) : AreaColumn(areaCol);
      if (column) {
        StartFilterEdit(column->Index());
        mouseDownTime_ = GetMessageTime();
        mouseDownPoint_ = pos;
        if (filterEditMode_) ForwardPressToFilterEditor(this, Message);
        return;
      }
    }
  }
  inherited::WMLButtonDown(Message);
}

// --- the cursor ---------------------------------------------------------------------------------------

void TCustomDBGridEh::WMSetCursor(TMessage& Message) {
  if (Message.HitTest() == HTCLIENT) {
    if (HCURSOR cursor = GridCursorAt(this, ScreenToClient(Mouse ? Mouse->CursorPos() : TPoint{}))) {
      ::SetCursor(cursor);
      Message.Result = 1;
      return;
    }
  }
  inherited::WMSetCursor(Message);
}

// --- edit actions -------------------------------------------------------------------------------------

bool TCustomDBGridEh::ExecuteAction(TBasicAction* Action) {
  if (DataLinkHandles(this, Action)) {
    Action->ExecuteTarget(DataLink()->DataSource());
    return true;
  }
  if (Focused() && IsStandardEditAction(Action)) {
    const TEditActionTest* test = FindEditActionTest(this, Action);
    if (test && (this->*test->Possible)()) {
      test->Run(this);
      return true;
    }
  }
  return inherited::ExecuteAction(Action);
}

bool TCustomDBGridEh::UpdateAction(TBasicAction* Action) {
  if (DataLinkHandles(this, Action)) {
    Action->UpdateTarget(DataLink()->DataSource());
    return true;
  }
  if (Focused() && IsStandardEditAction(Action)) {
    if (const TEditActionTest* test = FindEditActionTest(this, Action)) {
      static_cast<TCustomAction*>(Action)->SetEnabled((this->*test->Possible)());
      return true;
    }
  }
  return inherited::UpdateAction(Action);
}

bool TCustomDBGridEh::CanUpdateByAllowedOperations() {
  if (!DataLink()->Active()) return false;
  TDataSet* dataSet = DataLink()->DataSet();
  const TGridAllowedOperationsEh ops = AllowedOperations();
  // Existing records change only with alopUpdateEh; the record being inserted is new.
  if (!ops.Contains(alopUpdateEh) && dataSet->State() != dsInsert) return false;
  return !dataSet->IsEmpty() || ops.Contains(alopInsertEh) || ops.Contains(alopAppendEh);
}

// --- options that change the look ---------------------------------------------------------------------

bool TCustomDBGridEh::NeedGridBoundaryLine(bool Vertical) {
  if (options_.Contains(Vertical ? dgColLines : dgRowLines)) return true;
  return GridLineParams()->GridBoundaries();
}

void TCustomDBGridEh::InvalidateHotTrackSpot(TGridHotTrackSpotEh* Spot) {
  inherited::InvalidateHotTrackSpot(Spot);
  if (!options_.Contains(dgTitles) || !HandleAllocated()) return;
  const int titleRows = TopDataOffset();
  auto inTitles = [titleRows](const TGridHotTrackSpotEh* S) { return S->Row >= 0 && S->Row < titleRows; };
  // The titles show the hot state of the grid as a whole (the filter buttons follow it).
  if (inTitles(OldHotTrackSpot()) != inTitles(HotTrackSpot())) InvalidateTitle();
}

void TCustomDBGridEh::FlatChanged() {
  inherited::FlatChanged();
  // The flat look draws thinner cell edges: the rows take another height.
  defaultDataRowHeight_ = CalcDefaultRowHeight();
  pendingRowHeights_ = true;
  RecreateWnd();
  LayoutChanged();
  UpdateAllRowHeights();
}

void TCustomDBGridEh::CMFontChanged(TMessage& Message) {
  inherited::CMFontChanged(Message);
  // Reading a font that follows the grid's reloads it.
  dataGrouping_->Font();
  emptyDataInfo_->RefreshFont();
  TitleParams()->RefreshDefaultFont();
  FooterParams()->RefreshDefaultFont();
  STFilter()->RefreshDefaultFont();
  LayoutChanged();
}

// --- commands from children ---------------------------------------------------------------------------

void TCustomDBGridEh::WMCommand(TMessage& Message) {
  inherited::WMCommand(Message);
  // The filter editor's inner edit window is no control of the grid's: its changes arrive here.
  if (!filterEditMode_ || filterEditCol_ < 0 || FindControl(Message.Ctl()) ||
      !IsFilterEditorWindow(this, Message.Ctl()))
    return;
  TDBGridColumnsEh* columns = Columns();
  if (filterEditCol_ >= columns->Count()) return;
  TWinControl* editor = FilterEditorControl(this);
  if (editor->Text() != columns->GetColumn(filterEditCol_)->STFilter()->ExpressionStr()) {
    TakeFilterEditorValue();
    ApplyFilter();
  }
}
