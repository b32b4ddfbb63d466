// The axis grid: construction, owned objects, properties, messages, the holder interface and
// timer 1.
#include "grid/axis/DBAxisGridEh.h"

#include <algorithm>

#include "grid/axis/AxisGridRoutinesEh.h"
#include "grid/data/SharedTypesEh.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/Geometry.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/Menus.h"

RTL_IMPLEMENT_CLASS(TCustomDBAxisGridEh)

namespace axis_grid_detail {

// The automatic scrolling's tick, as the base grid runs it.
constexpr int kAutoScrollInterval = 60;
constexpr UINT_PTR kGridTimerId = 1;
// EN_CHANGE: the edit-change notification of an edit window.
constexpr WORD kEditChangeCode = 768;
// The control message a grid broadcasts to its children at design time when its window is made.
constexpr UINT kDesignGridChanged = 45111;

}  // namespace axis_grid_detail

// --- construction ----------------------------------------------------------------------------------

TCustomDBAxisGridEh::TCustomDBAxisGridEh(TComponent* AOwner) : TCustomGridEh(AOwner) {
  SetColCount(2);
  SetRowCount(2);
  SetColor(clWindow);
  SetParentColor(false);
  titleFont_ = std::make_unique<TFont>();
  dynProps_ = std::make_unique<TDynVarsEh>(this);
  border_ = std::make_unique<TControlBorderEh>(this);
}

TCustomDBAxisGridEh::~TCustomDBAxisGridEh() {
  Destroying();
  dataIntf_ = nullptr;
  // The link goes first and silently: no notification may reach a half-destroyed grid.
  dataLink_.reset();
  visibleBars_.Clear();
  // Columns may ask the grid for its objects while they go; the collection stays until then.
  if (columns_) columns_->Clear();
}

TAxisBarDefValuesEh* TCustomDBAxisGridEh::CreateAxisBarDefValues() {
  return new TAxisBarDefValuesEh(this);
}

TGridAxisBarsEh* TCustomDBAxisGridEh::CreateAxisBars() {
  return new TGridAxisBarsEh(this, TAxisBarEh::StaticClass());
}

TAxisGridDataLinkEh* TCustomDBAxisGridEh::CreateDataLink() {
  return new TAxisGridDataLinkEh(this);
}

TAxisColCellParamsEh* TCustomDBAxisGridEh::CreateColCellParams() {
  return new TAxisColCellParamsEh();
}

TGridLineColorsEh* TCustomDBAxisGridEh::CreateGridLineColors() {
  return new TDBAxisGridLineParamsEh(this);
}

// Made on first use: a constructor cannot reach a descendant's Create... override.
TGridAxisBarsEh* TCustomDBAxisGridEh::Columns() const {
  if (!columns_) columns_.reset(const_cast<TCustomDBAxisGridEh*>(this)->CreateAxisBars());
  return columns_.get();
}

TAxisColCellParamsEh* TCustomDBAxisGridEh::ColCellParams() const {
  if (!colCellParams_) colCellParams_.reset(const_cast<TCustomDBAxisGridEh*>(this)->CreateColCellParams());
  return colCellParams_.get();
}

TAxisBarDefValuesEh* TCustomDBAxisGridEh::ColumnDefValues() const {
  if (!columnDefValues_)
    columnDefValues_.reset(const_cast<TCustomDBAxisGridEh*>(this)->CreateAxisBarDefValues());
  return columnDefValues_.get();
}

TAxisGridDataLinkEh* TCustomDBAxisGridEh::DataLink() const {
  if (!dataLink_) dataLink_.reset(const_cast<TCustomDBAxisGridEh*>(this)->CreateDataLink());
  return dataLink_.get();
}

TDBAxisGridLineParamsEh* TCustomDBAxisGridEh::GridLineParams() const {
  return static_cast<TDBAxisGridLineParamsEh*>(GridLineColors());
}

// --- properties --------------------------------------------------------------------------------------

void TCustomDBAxisGridEh::SetAllowedOperations(TGridAllowedOperationsEh Value) {
  if (allowedOperations_ == Value) return;
  allowedOperations_ = Value;
  if (!ComponentState().Contains(csDestroying)) DataLink()->LayoutChanged();
}

TDataSource* TCustomDBAxisGridEh::GetDataSource() const {
  return DataLink()->DataSource();
}

void TCustomDBAxisGridEh::SetDataSource(TDataSource* Value) {
  if (Value == DataLink()->DataSource()) return;
  DataLink()->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
  LinkActive(DataLink()->Active());
}

void TCustomDBAxisGridEh::SetReadOnly(bool Value) {
  if (readOnly_ == Value) return;
  readOnly_ = Value;
  // The editor shows again with the new read-only state.
  HideEditor();
  if (!ComponentState().Contains(csLoading)) UpdateEdit();
  ReadOnlyChanged();
}

void TCustomDBAxisGridEh::SetDrawMemoText(bool Value) {
  if (drawMemoText_ == Value) return;
  drawMemoText_ = Value;
  Invalidate();
}

void TCustomDBAxisGridEh::SetDrawGraphicData(bool Value) {
  if (drawGraphicData_ == Value) return;
  drawGraphicData_ = Value;
  Invalidate();
}

TAxisBarEh* TCustomDBAxisGridEh::SelectedAxisBar() {
  const int index = SelectedIndex();
  if (index < 0 || index >= Columns()->Count()) return nullptr;
  return Columns()->GetAxisBar(index);
}

TField* TCustomDBAxisGridEh::SelectedField() {
  TAxisBarEh* bar = SelectedAxisBar();
  return bar ? bar->GetField() : nullptr;
}

void TCustomDBAxisGridEh::SetSelectedField(TField* Value) {
  if (!Value) return;
  TGridAxisBarsEh* bars = Columns();
  for (int i = 0; i < bars->Count(); ++i)
    if (bars->GetAxisBar(i)->GetField() == Value) {
      SetSelectedIndex(i);
      return;
    }
}

TAxisBarEh* TCustomDBAxisGridEh::FindColumnByFieldName(const std::string& FieldName) {
  TGridAxisBarsEh* bars = Columns();
  for (int i = 0; i < bars->Count(); ++i)
    if (AnsiSameText(bars->GetAxisBar(i)->FieldName(), FieldName)) return bars->GetAxisBar(i);
  return nullptr;
}

TAxisBarEh* TCustomDBAxisGridEh::GetColumnByFieldName(const std::string& FieldName) {
  TAxisBarEh* bar = FindColumnByFieldName(FieldName);
  if (!bar) InvalidAxisGridOp(Format("字段名 '%s' 没有找到", {FieldName}));
  return bar;
}

void TCustomDBAxisGridEh::SetSelectedIndex(int Value) {
  throw Exception(" TCustomDBAxisGridEh.SetSelectedIndex must be realized in the inherited class.");
}

void TCustomDBAxisGridEh::SetTitleFont(TFont* Value) {
  throw Exception("Write TCustomDBAxisGridEh.SetTitleFont in the inherited class");
}

TFont* TCustomDBAxisGridEh::GetTitleFont() {
  throw Exception("Write TCustomDBAxisGridEh.GetTitleFont in the inherited class");
}

void TCustomDBAxisGridEh::GetCellOfAxisBar(TAxisBarEh* Bar, int& ACol, int& ARow) {
  ACol = Col();
  ARow = Row();
}

void TCustomDBAxisGridEh::AxisBarExtracting(TAxisBarEh* Item) {
  // A column leaving the collection leaves the visible list at once.
  if (visibleBars_.IndexOf(Item) < 0) return;
  TAxisBarsEhList rest;
  for (int i = 0; i < visibleBars_.Count(); ++i)
    if (visibleBars_[i] != Item) rest.Add(visibleBars_[i]);
  visibleBars_ = rest;
}

// --- input method ----------------------------------------------------------------------------------

void TCustomDBAxisGridEh::UpdateColumnIme() {
  if (TAxisBarEh* bar = SelectedAxisBar()) {
    SetImeMode(bar->ImeMode());
    SetImeName(bar->ImeName());
  } else {
    SetImeMode(gridImeMode_);
    SetImeName(gridImeName_);
  }
  ApplyIme();
}

void TCustomDBAxisGridEh::ApplyIme() {
  // The editor takes the grid's input method when it shows.
  if (inplaceEdit_) {
    inplaceEdit_->SetImeMode(ImeMode());
    inplaceEdit_->SetImeName(ImeName());
  }
}

// --- focus -------------------------------------------------------------------------------------------

bool TCustomDBAxisGridEh::IsFocusedOrChildFocused() {
  if (Focused()) return true;
  return inplaceEdit_ && inplaceEdit_->Focused();
}

bool TCustomDBAxisGridEh::AcquireFocus() {
  if (IsFocusedOrChildFocused()) return true;
  if (!canFocusOnDemand_ || !CanFocus() || ComponentState().Contains(csDesigning)) return false;
  SetFocus();
  bool result = IsFocusedOrChildFocused();
  if (!result && Screen && Screen->ActiveForm() && Screen->ActiveForm()->FormStyle() == fsMDIForm) {
    ::SetFocus(Handle());
    result = IsFocusedOrChildFocused();
  }
  return result;
}

// --- mouse and the holder interface ------------------------------------------------------------------

void TCustomDBAxisGridEh::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  // Remembered first: a hosted editor shown by this press asks for them.
  mouseDownPoint_ = TPoint{X, Y};
  mouseDownTime_ = GetMessageTime();
  inherited::MouseDown(Button, Shift, X, Y);
}

void TCustomDBAxisGridEh::GetMouseDownInfo(TPoint& Pos, int32_t& Time) {
  Pos = HandleAllocated() ? ClientToScreen(mouseDownPoint_) : mouseDownPoint_;
  Time = mouseDownTime_;
  mouseDownTime_ = 0;
}

bool TCustomDBAxisGridEh::IsCursorInRect(const TRect& ARect) {
  POINT screen{};
  GetCursorPos(&screen);
  const TPoint p = ScreenToClient(TPoint{screen.X, screen.Y});
  return p.X >= ARect.Left && p.X < ARect.Right && p.Y >= ARect.Top && p.Y < ARect.Bottom;
}

int TCustomDBAxisGridEh::ClampTopRow(int ARow, bool NoApply) {
  TGridDrawInfoEh di;
  CalcDrawInfo(di);
  const TGridCoord maxTopLeft = CalcMaxTopLeft(TGridCoord{ColCount() - 1, RowCount() - 1}, di);
  int row = std::min(ARow, RowCount() - 1);
  row = std::min(row, maxTopLeft.Y);
  return std::max(row, FixedRows());
}

// --- timer 1 -----------------------------------------------------------------------------------------

void TCustomDBAxisGridEh::StartGridTimer(int Interval) {
  using namespace axis_grid_detail;
  if (!HandleAllocated()) return;
  if (timerActive_) {
    // The first start leaves the remembered interval alone, so a second request restarts once.
    if (gridTimerInterval_ != Interval) {
      KillTimer(Handle(), kGridTimerId);
      SetTimer(Handle(), kGridTimerId, static_cast<UINT>(Interval), nullptr);
      gridTimerInterval_ = Interval;
    }
    return;
  }
  SetTimer(Handle(), kGridTimerId, static_cast<UINT>(Interval), nullptr);
  timerActive_ = true;
}

void TCustomDBAxisGridEh::StopGridTimer() {
  if (timerActive_ && HandleAllocated()) KillTimer(Handle(), axis_grid_detail::kGridTimerId);
  timerActive_ = false;
  gridTimerInterval_ = -1;
}

void TCustomDBAxisGridEh::StartMouseTimer() {
  StartGridTimer(axis_grid_detail::kAutoScrollInterval);
}

void TCustomDBAxisGridEh::StopMouseTimer() {
  StopGridTimer();
}

void TCustomDBAxisGridEh::WMTimer(TMessage& Message) {
  if (Message.WParam != axis_grid_detail::kGridTimerId) {
    inherited::WMTimer(Message);
    return;
  }
  GridTimerTick();
}

void TCustomDBAxisGridEh::GridTimerTick() {
  AutoScrollTick();
}

// --- messages ----------------------------------------------------------------------------------------

void TCustomDBAxisGridEh::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_AXISGRID_DEFERRED_LAYOUT) {
    WMDeferredLayout(Message);
    return;
  }
  inherited::Dispatch(Message);
}

void TCustomDBAxisGridEh::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  extendedBorderDrawing_ = false;
  if (Border()->ExtendedDraw()) {
    Params.Style &= ~WS_BORDER;
    Params.ExStyle &= ~WS_EX_CLIENTEDGE;
    extendedBorderDrawing_ = BorderStyle() == bsSingle;
  }
  Params.Style |= WS_CLIPCHILDREN;
}

void TCustomDBAxisGridEh::CreateWnd() {
  LockLayoutChange();
  TScopeExit unlock([this] { UnlockLayoutChange(); });
  inherited::CreateWnd();
  editButtonDefaultWidth_ = Flat() ? FlatButtonWidth() : GetSystemMetrics(SM_CXVSCROLL);
  gridImeMode_ = ImeMode();
  gridImeName_ = ImeName();
  if (ComponentState().Contains(csDesigning)) {
    // Child controls placed on the grid at design time learn that it has a window now.
    TMessage changed;
    changed.Msg = axis_grid_detail::kDesignGridChanged;
    changed.LParam = reinterpret_cast<LPARAM>(this);
    Broadcast(changed);
  }
}

void TCustomDBAxisGridEh::FlatChanged() {
  cellTextMargin_ = Flat() ? 2 : 4;
}

void TCustomDBAxisGridEh::CMFontChanged(TMessage& Message) {
  inherited::CMFontChanged(Message);
  BeginLayout();
  TScopeExit end([this] { EndLayout(); });
  TGridAxisBarsEh* bars = Columns();
  for (int i = 0; i < bars->Count(); ++i) {
    TAxisBarEh* bar = bars->GetAxisBar(i);
    // Reading a font that follows its fallback reloads it.
    bar->Font();
    bar->Title()->RefreshDefaultFont();
  }
}

void TCustomDBAxisGridEh::ChangeScale(int M, int D) {
  inherited::ChangeScale(M, D);
  if (M == D || D == 0) return;
  if (!ParentFont()) titleFont_->SetSize(MulDiv(titleFont_->Size(), M, D));
  TGridAxisBarsEh* bars = Columns();
  for (int i = 0; i < bars->Count(); ++i) {
    TAxisBarEh* bar = bars->GetAxisBar(i);
    // A font that follows its fallback is scaled with it.
    if (bar->IsAssigned(abvFont)) bar->Font()->SetSize(MulDiv(bar->Font()->Size(), M, D));
    if (bar->IsAssigned(abvTitleFont))
      bar->Title()->Font()->SetSize(MulDiv(bar->Title()->Font()->Size(), M, D));
  }
}

void TCustomDBAxisGridEh::WMPaint(TMessage& Message) {
  // The window layer paints through a compatible bitmap when DoubleBuffered asks for it.
  inherited::WMPaint(Message);
}

int TCustomDBAxisGridEh::ExtendedBorderWidth() const {
  return Border()->Ctl3D() ? 2 : 1;
}

void TCustomDBAxisGridEh::WMNCCalcSize(TMessage& Message) {
  inherited::WMNCCalcSize(Message);
  if (!extendedBorderDrawing_ || !Message.LParam) return;
  RECT* r = Message.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                           : reinterpret_cast<RECT*>(Message.LParam);
  const int w = ExtendedBorderWidth();
  const TEdgeBorders edges = Border()->EdgeBorders();
  if (edges.Contains(ebLeft)) r->Left += w;
  if (edges.Contains(ebTop)) r->Top += w;
  if (edges.Contains(ebRight)) r->Right -= w;
  if (edges.Contains(ebBottom)) r->Bottom -= w;
}

void TCustomDBAxisGridEh::WMNCPaint(TMessage& Message) {
  inherited::WMNCPaint(Message);
  if (extendedBorderDrawing_) DrawBorder();
}

void TCustomDBAxisGridEh::WMCommand(TMessage& Message) {
  if (inplaceEdit_ && inplaceEdit_->HandleAllocated() && Message.Ctl() == inplaceEdit_->Handle() &&
      Message.NotifyCode() == axis_grid_detail::kEditChangeCode) {
    inplaceEdit_->Perform(CN_COMMAND, Message.WParam, Message.LParam);
    return;
  }
  inherited::WMCommand(Message);
}

void TCustomDBAxisGridEh::WMSetFocus(TMessage& Message) {
  const HWND from = reinterpret_cast<HWND>(Message.WParam);
  const bool fromEditor = inplaceEdit_ && inplaceEdit_->HandleAllocated() && from == inplaceEdit_->Handle();
  if (!fromEditor) UpdateColumnIme();
  inherited::WMSetFocus(Message);
}

// --- removal and streaming ---------------------------------------------------------------------------

void TCustomDBAxisGridEh::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove || !AComponent) return;
  if (ComponentState().Contains(csDestroying)) return;
  if (dataLink_ && AComponent == dataLink_->DataSource()) {
    SetDataSource(nullptr);
    return;
  }
  // A component deleted without Free() is told from its destructor, where its class is gone:
  // references are therefore compared by address, not found by cast.
  auto* field = dynamic_cast<TField*>(AComponent);
  if (!field && columns_)
    for (int i = 0; i < columns_->Count() && !field; ++i)
      if (columns_->GetAxisBar(i)->CachedField() == AComponent)
        field = columns_->GetAxisBar(i)->CachedField();
  if (field) {
    // The columns and the map must not keep the freed field; the layout finds the rest again.
    TValueRestorer<TField*> removing(removingField_, field);
    Columns()->ResetFieldLinks();
    DataLink()->ClearMapping();
    LayoutChanged();
    Columns()->ResetFieldLinks();
    return;
  }
  if (!columns_) return;
  for (int i = 0; i < columns_->Count(); ++i) {
    TAxisBarEh* bar = columns_->GetAxisBar(i);
    if (bar->PopupMenu() && static_cast<TComponent*>(bar->PopupMenu()) == AComponent)
      bar->SetPopupMenu(nullptr);
    if (bar->Title()->PopupMenu() && static_cast<TComponent*>(bar->Title()->PopupMenu()) == AComponent)
      bar->Title()->SetPopupMenu(nullptr);
    if (bar->ImageList() && static_cast<TComponent*>(bar->ImageList()) == AComponent)
      bar->SetImageList(nullptr);
    if (bar->DropDownBox()->ListSource() &&
        static_cast<TComponent*>(bar->DropDownBox()->ListSource()) == AComponent)
      bar->DropDownBox()->SetListSource(nullptr);
  }
}

bool TCustomDBAxisGridEh::ColumnsStoredInDescription(TFiler& Filer) {
  auto* ancestor = dynamic_cast<TCustomDBAxisGridEh*>(Filer.Ancestor());
  if (!ancestor) return Columns()->IsPersistent();
  if (ancestor->Columns()->IsPersistent() != Columns()->IsPersistent()) return true;
  auto* writer = dynamic_cast<TWriter*>(&Filer);
  return writer && !writer->CollectionsEqual(Columns(), ancestor->Columns());
}

void TCustomDBAxisGridEh::ReadColumns(TReader& Reader) {
  Reader.CheckValue(vaCollection);
  Columns()->Clear();
  Reader.ReadCollection(Columns());
}

void TCustomDBAxisGridEh::WriteColumns(TWriter& Writer) {
  Writer.WriteCollection(Columns());
}

void TCustomDBAxisGridEh::DefineProperties(TFiler& Filer) {
  inherited::DefineProperties(Filer);
  Filer.DefineProperty(
      GetDefinePropertyName(), [this](TReader& Reader) { ReadColumns(Reader); },
      [this](TWriter& Writer) { WriteColumns(Writer); }, ColumnsStoredInDescription(Filer));
}

// --- the data interface --------------------------------------------------------------------------------

void TCustomDBAxisGridEh::UpdateDataIntf() {
  IMemTableEh* intf = nullptr;
  if (dataLink_ && dataLink_->Active() && !ComponentState().Contains(csDestroying))
    intf = Supports<IMemTableEh>(dataLink_->DataSet());
  dataIntf_ = intf;
}
