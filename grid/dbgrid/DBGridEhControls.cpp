#include "grid/dbgrid/DBGridEhControls.h"

#include "grid/data/MemTableInterfacesEh.h"
#include "grid/dbgrid/DBGridEh.h"
#include "platform/rtl/ScopeGuard.h"

RTL_IMPLEMENT_CLASS(TRowDetailPanelControlEh)
RTL_IMPLEMENT_CLASS(TDBGridInplaceEdit)
RTL_IMPLEMENT_CLASS(TGridDataLinkEh)
RTL_IMPLEMENT_CLASS(TDBGridEhMenuItem)

// --- TRowDetailPanelControlEh -----------------------------------------------------------------

// The panel's settings live in the grid's RowDetailPanel, which streams them; the control
// itself streams only what its base publishes.
void TRowDetailPanelControlEh::DescribeClass(TClassBuilder<TRowDetailPanelControlEh>&) {}

TRowDetailPanelControlEh::TRowDetailPanelControlEh(TComponent* AOwner)
    : TScrollingWinControl(AOwner), ncCanvas_(std::make_unique<TControlCanvas>()) {
  SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                                csDoubleClicks, csReplicatable});
  SetBounds(Left(), Top(), 185, 41);
}

TBorderStyle TRowDetailPanelControlEh::BorderStyle() {
  return borderStyle_;
}

void TRowDetailPanelControlEh::SetBorderStyle(TBorderStyle v) {
  if (borderStyle_ == v) return;
  borderStyle_ = v;
  if (HandleAllocated()) RecreateWnd();
}

bool TRowDetailPanelControlEh::ParentPopupMenu() {
  return parentPopupMenu_;
}

void TRowDetailPanelControlEh::SetParentPopupMenu(bool v) {
  parentPopupMenu_ = v;
}

bool TRowDetailPanelControlEh::VertSizing() {
  return vertSizing_;
}

void TRowDetailPanelControlEh::SetVertSizing(bool v) {
  if (vertSizing_ == v) return;
  vertSizing_ = v;
  if (HandleAllocated()) RecreateWnd();
}

int TRowDetailPanelControlEh::SizingBarHeight() {
  return sizingBarHeight_;
}

void TRowDetailPanelControlEh::SetSizingBarHeight(int v) {
  if (sizingBarHeight_ == v) return;
  sizingBarHeight_ = v;
  if (HandleAllocated()) RecreateWnd();
}

bool TRowDetailPanelControlEh::SizingBarBeveled() {
  return sizingBarBeveled_;
}

// The bar lies in the frame: only a frame change paints it again.
void TRowDetailPanelControlEh::SetSizingBarBeveled(bool v) {
  if (sizingBarBeveled_ == v) return;
  sizingBarBeveled_ = v;
  if (HandleAllocated())
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// --- TDBGridInplaceEdit -----------------------------------------------------------------------

namespace dbgrid_controls_detail {

TColumnEh* EditorColumn(TDBGridInplaceEdit* Editor) {
  return dynamic_cast<TColumnEh*>(Editor->GetColumn());
}

}  // namespace dbgrid_controls_detail

TDBGridInplaceEdit::TDBGridInplaceEdit(TComponent* AOwner) : TDBAxisGridInplaceEdit(AOwner) {}

TCustomDBGridEh* TDBGridInplaceEdit::Grid() const {
  return dynamic_cast<TCustomDBGridEh*>(GetGrid());
}

void TDBGridInplaceEdit::PaintWindow(HDC DC) {
  TCustomDBGridEh* grid = Grid();
  TColumnEh* column = dbgrid_controls_detail::EditorColumn(this);
  if (grid != nullptr && column != nullptr && grid->IsDataIntfAssigned() &&
      grid->VisibleColumns().Count() > 0 && grid->VisibleColumns()[0] == column &&
      grid->DataIntf()->IsTreeViewMode()) {
    // The first column's tree lines and sign sit under the editor: it paints them itself.
    canvas_->Lock();
    TScopeExit release([&] {
      canvas_->SetHandle(nullptr);
      canvas_->Unlock();
    });
    canvas_->SetHandle(DC);
    canvas_->Brush()->SetColor(grid->Color());
    canvas_->FillRect(TRect{0, 0, Width(), Height()});
    // Right to left: the indent area is painted into a mirrored view of the editor.
    const DWORD layout = grid->UseRightToLeftAlignment() ? SetLayout(DC, LAYOUT_RTL) : 0;
    TScopeExit restoreLayout([&] {
      if (grid->UseRightToLeftAlignment()) SetLayout(DC, layout);
    });
    grid->PaintTreeArea(canvas_.get(), TRect{0, 0, Width(), Height()}, false, false);
  }
  inherited::PaintWindow(DC);
}

void TDBGridInplaceEdit::PaintAfterText(HDC DC) {
  TCustomDBGridEh* grid = Grid();
  TColumnEh* column = dbgrid_controls_detail::EditorColumn(this);
  if (grid == nullptr || column == nullptr) return;
  bool draw = false;
  if (column->HighlightRequired() && grid->DataLink()->Active()) {
    TDataSet* ds = grid->DataLink()->DataSet();
    TField* field = column->GetField();
    draw = ds != nullptr && (ds->State() == dsEdit || ds->State() == dsInsert) && field != nullptr &&
           field->Required() && field->IsNull();
  }
  if (column->OnCheckDrawRequiredState) column->OnCheckDrawRequiredState(column, Text(), draw);
  if (!draw) return;
  canvas_->Lock();
  TScopeExit release([&] {
    canvas_->SetHandle(nullptr);
    canvas_->Unlock();
  });
  canvas_->SetHandle(DC);
  const TRect edit = CalcEditRect();
  canvas_->Pen()->SetStyle(psDot);
  canvas_->Pen()->SetColor(clRed);
  canvas_->Pen()->SetWidth(1);
  canvas_->MoveTo(edit.Left + 2, ClientHeight() - 1);
  canvas_->LineTo(edit.Right - 3, ClientHeight() - 1);
}

void TDBGridInplaceEdit::WMSetFocus(TMessage& M) {
  inherited::WMSetFocus(M);
  TCustomDBGridEh* grid = Grid();
  if (grid != nullptr && grid->FocusedPainted() != grid->IsFocusedOrChildFocused()) grid->FocusStateChanged();
}

void TDBGridInplaceEdit::WMKillFocus(TMessage& M) {
  inherited::WMKillFocus(M);
  TCustomDBGridEh* grid = Grid();
  if (grid == nullptr) return;
  if (grid->FocusedPainted() != grid->IsFocusedOrChildFocused()) grid->FocusStateChanged();
  HWND to = reinterpret_cast<HWND>(M.WParam);
  const bool toGrid = grid->HandleAllocated() && to == grid->Handle();
  TPopupListboxEh* list = grid->TitleFilterList();
  if (!toGrid && list != nullptr && list->Visible()) grid->CloseTitleFilter();
}

void TDBGridInplaceEdit::Invalidate() {
  TCustomDBGridEh* grid = Grid();
  if (grid != nullptr && grid->RowPanel() != nullptr && grid->RowPanel()->Active()) {
    // Row panels lay cells over each other: the grid's cell under the editor is not ours.
    TWinControl::Invalidate();
    return;
  }
  inherited::Invalidate();
}

void TDBGridInplaceEdit::DropDown() {
  inherited::DropDown();
}

// --- TGridDataLinkEh --------------------------------------------------------------------------

TGridDataLinkEh::TGridDataLinkEh(TCustomDBGridEh* AGrid) : TAxisGridDataLinkEh(AGrid) {}

void TGridDataLinkEh::ActiveChanged() {
  inherited::ActiveChanged();
  if (auto* grid = dynamic_cast<TCustomDBGridEh*>(Grid())) grid->DataSetActiveChanged();
}
