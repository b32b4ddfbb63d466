// The record navigator of the horizontal scroll-bar strip: its data link, the button actions,
// the enable table, the layout of its parts and the two info boxes.
#include "grid/dbgrid/DBGridEhNavigator.h"

#include <algorithm>
#include <array>

#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhScrollBarPanel.h"
#include "grid/dbgrid/DBGridEhSelection.h"
#include "grid/dbgrid/DBGridEhToolResources.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Dialogs.h"
#include "platform/win/Painting.h"

RTL_IMPLEMENT_CLASS(TNavDataLinkEh)
RTL_IMPLEMENT_CLASS(TDBGridEhNavigatorPanel)

namespace {

constexpr int kNavButtonCount = 10;
constexpr const char* kNavDefaultHints[kNavButtonCount] = {
    "First record",  "Prior record", "Next record", "Last record", "Insert record",
    "Delete record", "Edit record",  "Post edit",   "Cancel edit", "Refresh data"};
constexpr const char* kNavAggregateNames[] = {"Sum", "Count", "Average", "Min", "Max"};
constexpr const char* kNavDeleteRecordQuestion = "Delete record?";
// A separator is a line in the middle of a narrow gap.
constexpr int kNavSeparatorWidth = 5;

TNavigateBtnEh NavKind(int Index) {
  return static_cast<TNavigateBtnEh>(Index);
}

// Text widths in one font on the screen's device context.
class TNavTextMeasure {
 public:
  explicit TNavTextMeasure(TFont* AFont) : dc_(GetDC(nullptr)), old_(SelectObject(dc_, AFont->Handle())) {}
  ~TNavTextMeasure() {
    SelectObject(dc_, old_);
    ReleaseDC(nullptr, dc_);
  }
  TNavTextMeasure(const TNavTextMeasure&) = delete;
  TNavTextMeasure& operator=(const TNavTextMeasure&) = delete;
  int Width(const std::string& Text) const {
    SIZE size{};
    GetTextExtentPoint32(dc_, Text, &size);
    return size.cx;
  }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace

// --- TNavDataLinkEh -------------------------------------------------------------------------------

TNavDataLinkEh::TNavDataLinkEh(TDBGridEhNavigatorPanel* ANavigator) : navigator_(ANavigator) {
  SetVisualControl(true);
}

TNavDataLinkEh::~TNavDataLinkEh() = default;

void TNavDataLinkEh::ActiveChanged() {
  if (!navigator_) return;
  navigator_->UpdateButtonStates();
  navigator_->UpdateInfo();
}

void TNavDataLinkEh::DataSetChanged() {
  if (!navigator_) return;
  navigator_->UpdateButtonStates();
  navigator_->UpdateInfo();
}

void TNavDataLinkEh::EditingChanged() {
  if (navigator_) navigator_->UpdateButtonStates();
}

// --- creation -------------------------------------------------------------------------------------

TDBGridEhNavigatorPanel::TDBGridEhNavigatorPanel(TComponent* AOwner)
    : TCustomControl(AOwner),
      dataLink_(std::make_unique<TNavDataLinkEh>(this)),
      hints_(std::make_unique<TStringList>()),
      defaultHints_(std::make_unique<TStringList>()),
      recordsInfoFont_(std::make_unique<TFont>()),
      aggregationFont_(std::make_unique<TFont>()) {
  SetColor(clBtnFace);
  for (int i = 0; i < kNavButtonCount; ++i) {
    auto* button = new TNavButtonEh(this);
    button->SetKind(NavKind(i));
    button->SetGlyphIndex(i);
    button->SetFlat(flat_);
    button->SetRepeatClick(NavKind(i) == nbPriorEh || NavKind(i) == nbNextEh);
    button->OnClick = TNotifyEvent::Method(this, &TDBGridEhNavigatorPanel::ButtonClick);
    button->OnMouseDown = TMouseEvent::Method(this, &TDBGridEhNavigatorPanel::ButtonMouseDown);
    button->SetParent(this);
    buttons_[i] = button;
    defaultHints_->Add(kNavDefaultHints[i]);
  }
  hints_->OnChange = TNotifyEvent::Method(this, &TDBGridEhNavigatorPanel::HintsChanged);
  ApplyHints();
  UpdateButtonStates();
}

TDBGridEhNavigatorPanel::~TDBGridEhNavigatorPanel() {
  destroying_ = true;
  // The attached control belongs to whoever attached it: it must not go with the panel.
  if (attachedControl_ && attachedControl_->Parent() == this) attachedControl_->SetParent(nullptr);
  dataLink_->ForgetNavigator();
  dataLink_.reset();
  hints_.reset();
  defaultHints_.reset();
}

TNavButtonEh* TDBGridEhNavigatorPanel::Button(TNavigateBtnEh Kind) const {
  return buttons_[static_cast<int>(Kind)];
}

// --- properties -----------------------------------------------------------------------------------

TDataSource* TDBGridEhNavigatorPanel::DataSource() const {
  return dataLink_ ? dataLink_->DataSource() : nullptr;
}

void TDBGridEhNavigatorPanel::SetDataSource(TDataSource* Value) {
  TDataSource* old = DataSource();
  if (old && old != Value) old->RemoveFreeNotification(this);
  dataLink_->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
  UpdateButtonStates();
  UpdateInfo();
}

void TDBGridEhNavigatorPanel::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (dataLink_ && AComponent == dataLink_->DataSource()) SetDataSource(nullptr);
  if (AComponent == attachedControl_) {
    attachedControl_ = nullptr;
    if (!destroying_) RequestLayout();
  }
}

void TDBGridEhNavigatorPanel::SetVisibleButtons(TNavButtonSetEh Value) {
  if (visibleButtons_ == Value) return;
  visibleButtons_ = Value;
  RequestLayout();
}

void TDBGridEhNavigatorPanel::SetVisibleItems(TGridSBItemsEh Value) {
  if (visibleItems_ == Value) return;
  visibleItems_ = Value;
  UpdateInfo();
  RequestLayout();
  if (grid_) grid_->Invalidate();
}

void TDBGridEhNavigatorPanel::SetHints(TStrings* Value) {
  hints_->Assign(Value);
}

void TDBGridEhNavigatorPanel::HintsChanged(TObject*) {
  ApplyHints();
}

void TDBGridEhNavigatorPanel::ApplyHints() {
  for (int i = 0; i < kNavButtonCount; ++i) {
    const std::string own = i < hints_->Count() ? hints_->Strings(i) : std::string();
    buttons_[i]->SetHint(own.empty() ? defaultHints_->Strings(i) : own);
  }
}

void TDBGridEhNavigatorPanel::SetFlat(bool Value) {
  if (flat_ == Value) return;
  flat_ = Value;
  for (TNavButtonEh* button : buttons_) button->SetFlat(Value);
}

void TDBGridEhNavigatorPanel::SetLineColor(TColor Value) {
  if (lineColor_ == Value) return;
  lineColor_ = Value;
  Invalidate();
  if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TDBGridEhNavigatorPanel::SetImages(TCustomImageList* Enabled, TCustomImageList* Disabled) {
  for (TNavButtonEh* button : buttons_) button->SetImages(Enabled, Disabled);
}

void TDBGridEhNavigatorPanel::SetAttachedControl(TControl* Value) {
  if (attachedControl_ == Value) return;
  if (attachedControl_) attachedControl_->RemoveFreeNotification(this);
  attachedControl_ = Value;
  if (Value) Value->FreeNotification(this);
  RequestLayout();
}

// --- the action of a button -----------------------------------------------------------------------

TDataSet* TDBGridEhNavigatorPanel::ActiveDataSet() const {
  return dataLink_ && dataLink_->Active() ? dataLink_->DataSet() : nullptr;
}

bool TDBGridEhNavigatorPanel::GridReadOnly() const {
  return grid_ && grid_->ReadOnly();
}

void TDBGridEhNavigatorPanel::ButtonClick(TObject* Sender) {
  if (auto* button = dynamic_cast<TNavButtonEh*>(Sender)) NavigatorButtonAction(button->Kind());
}

void TDBGridEhNavigatorPanel::ButtonMouseDown(TObject* Sender, TMouseButton, TShiftState, int, int) {
  auto* button = dynamic_cast<TNavButtonEh*>(Sender);
  if (!button) return;
  const int old = focusedButton_;
  focusedButton_ = static_cast<int>(button->Kind());
  if (TabStop() && CanFocus() && !Focused()) SetFocus();
  if (old != focusedButton_ && Focused()) {
    buttons_[old]->Invalidate();
    button->Invalidate();
  }
}

void TDBGridEhNavigatorPanel::NavigatorButtonAction(TNavigateBtnEh Kind) {
  if (TDataSet* ds = ActiveDataSet()) {
    if (BeforeAction) BeforeAction(this, Kind);
    // The grid inserts through its own steps so that grouping gives the new record its keys.
    TCustomDBGridEh* grid = grid_ && grid_->DataLink()->DataSet() == ds ? grid_ : nullptr;
    const bool modifying = Kind == nbInsertEh || Kind == nbDeleteEh || Kind == nbEditEh;
    if (modifying && GridReadOnly()) {
      // A read-only grid offers no way to change its data.
    } else {
      switch (Kind) {
        case nbFirstEh:
          ds->First();
          break;
        case nbPriorEh:
          ds->Prior();
          break;
        case nbNextEh:
          ds->Next();
          break;
        case nbLastEh:
          ds->Last();
          break;
        case nbInsertEh:
          if (!grid_ || grid_->AllowedOperations().Contains(alopInsertEh))
            grid ? grid->InsertRecord() : ds->Insert();
          else
            grid ? grid->AppendRecord() : ds->Append();
          break;
        case nbDeleteEh: {
          const TDBGridEhSelectionType selection = grid_ ? grid_->Selection()->SelectionType() : gstNon;
          if (grid_ && (selection == gstRecordBookmarks || selection == gstAll))
            GridDeleteAction(grid_, false);  // asks its own confirmation
          else if (!confirmDelete_ ||
                   MessageDlg(kNavDeleteRecordQuestion, mtConfirmation, mbOKCancel, 0) != mrCancel)
            ds->Delete();
          break;
        }
        case nbEditEh:
          ds->Edit();
          break;
        case nbPostEh:
          ds->Post();
          break;
        case nbCancelEh:
          ds->Cancel();
          break;
        case nbRefreshEh:
          ds->Refresh();
          break;
      }
    }
  }
  if (OnClick) OnClick(this, Kind);
}

// --- the enable table -----------------------------------------------------------------------------

void TDBGridEhNavigatorPanel::UpdateButtonStates() {
  if (destroying_ || (grid_ && !grid_->HandleAllocated())) return;
  TDataSet* ds = ActiveDataSet();
  std::array<bool, kNavButtonCount> enabled{};
  if (Enabled() && ds) {
    const TGridAllowedOperationsEh allowed =
        grid_ ? grid_->AllowedOperations()
              : TGridAllowedOperationsEh{alopInsertEh, alopUpdateEh, alopDeleteEh, alopAppendEh};
    // Editing on a group row or a group footer is blocked.
    TGroupDataTreeNodeEh* node = grid_ ? grid_->CurrentNode() : nullptr;
    const bool notBlocked =
        !grid_ || !grid_->DataGrouping()->IsGroupingActive() || !node || node->NodeType == dntDataSetRecordEh;
    const bool modifiable = ds->CanModify() && !GridReadOnly();
    const bool editing = dataLink_->Editing();
    // A stored record that is the first or the last one counts as the beginning or the end,
    // so that the only record leaves nothing to move to.
    const int recNo = ds->State() == dsInsert ? -1 : ds->RecNo();
    const bool atBeginning = ds->Bof() || recNo == 1;
    const bool atEnd = ds->Eof() || (recNo > 0 && recNo >= ds->RecordCount());
    const bool canInsert =
        modifiable && notBlocked && (allowed.Contains(alopInsertEh) || allowed.Contains(alopAppendEh));
    enabled[int(nbFirstEh)] = enabled[int(nbPriorEh)] = !atBeginning;
    enabled[int(nbNextEh)] = enabled[int(nbLastEh)] = !atEnd;
    enabled[int(nbInsertEh)] = canInsert;
    enabled[int(nbDeleteEh)] =
        modifiable && notBlocked && allowed.Contains(alopDeleteEh) && !(ds->Bof() && ds->Eof());
    enabled[int(nbEditEh)] = modifiable && notBlocked && allowed.Contains(alopUpdateEh) && !editing &&
                             !(!canInsert && ds->IsEmpty());
    enabled[int(nbPostEh)] = enabled[int(nbCancelEh)] = modifiable && editing;
    enabled[int(nbRefreshEh)] = modifiable;
  }
  for (int i = 0; i < kNavButtonCount; ++i) buttons_[i]->SetEnabled(enabled[i]);
}

// The parts are placed from the other side.
void TDBGridEhNavigatorPanel::CMBiDiModeChanged(TMessage& Message) {
  inherited::CMBiDiModeChanged(Message);
  RequestLayout();
}

void TDBGridEhNavigatorPanel::CMEnabledChanged(TMessage& Message) {
  inherited::CMEnabledChanged(Message);
  UpdateButtonStates();
}

// --- the info boxes -------------------------------------------------------------------------------

void TDBGridEhNavigatorPanel::UpdateInfoFonts() {
  TFont* source = grid_ ? grid_->Font() : Font();
  const TColor color = grid_ ? grid_->GetToolStripTextColor() : clBtnText;
  recordsInfoFont_->SetName(source->Name());
  recordsInfoFont_->SetSize(source->Size() - 1);
  recordsInfoFont_->SetColor(color);
  aggregationFont_->SetName(source->Name());
  aggregationFont_->SetSize(source->Size());
  aggregationFont_->SetColor(color);
}

int TDBGridEhNavigatorPanel::MeasureRecordsInfoWidth() {
  const int text = TNavTextMeasure(recordsInfoFont_.get()).Width(" " + recordsInfoText_ + " ");
  const int indicator = grid_ && grid_->IsIndicatorColumnVisible() ? grid_->ColWidths(0) : 0;
  return std::max(text, indicator);
}

// Sets the pixel span of every value in the text; answers the box's width (0: nothing to show).
int TDBGridEhNavigatorPanel::MeasureAggregation() {
  if (aggregationText_.empty()) return 0;
  const TNavTextMeasure measure(aggregationFont_.get());
  for (size_t i = 0; i < aggregationItems_.size(); ++i) {
    const auto [first, last] = aggregationSpans_[i];
    aggregationItems_[i].Left = measure.Width(aggregationText_.substr(0, first));
    aggregationItems_[i].Right = measure.Width(aggregationText_.substr(0, last));
  }
  return measure.Width(aggregationText_ + " ");
}

void TDBGridEhNavigatorPanel::UpdateInfo() {
  if (destroying_) return;
  TDataSet* ds = ActiveDataSet();
  recordsInfoText_.clear();
  if (ds) {
    recordsInfoText_ = IntToStr(ds->RecordCount());
    const int selected = grid_ ? grid_->SelectedRows()->Count() : 0;
    if (selected > 0) recordsInfoText_ += " (" + IntToStr(selected) + ")";
  }
  aggregationText_.clear();
  aggregationItems_.clear();
  aggregationSpans_.clear();
  const TDBGridEhSelectionType selection = grid_ ? grid_->Selection()->SelectionType() : gstNon;
  if (ds && visibleItems_.Contains(gsbiSelAggregationInfoEh) &&
      (selection == gstRectangle || selection == gstColumns)) {
    Variant values[5];
    grid_->SelectionAggregates(values[0], values[1], values[2], values[3], values[4]);
    for (int i = 0; i < 5; ++i) {
      if (values[i].IsEmpty() || values[i].IsNull()) continue;
      if (!aggregationItems_.empty()) aggregationText_ += "   ";
      aggregationText_ += std::string(" ") + kNavAggregateNames[i] + ": ";
      TAggregationItem item;
      item.ValueText = VarToStr(values[i]);
      const size_t first = aggregationText_.size();
      aggregationText_ += item.ValueText;
      aggregationSpans_.emplace_back(first, aggregationText_.size());
      aggregationItems_.push_back(std::move(item));
    }
  }
  UpdateInfoFonts();
  if (MeasureRecordsInfoWidth() != recordsInfoWidth_ || MeasureAggregation() != aggregationWidth_)
    RequestLayout();
  Invalidate();
}

// --- layout ---------------------------------------------------------------------------------------

bool TDBGridEhNavigatorPanel::ButtonShows(TNavigateBtnEh Kind) const {
  return visibleButtons_.Contains(Kind) && visibleItems_.Contains(gsbiNavigator);
}

bool TDBGridEhNavigatorPanel::RecordsInfoShows() const {
  return visibleItems_.Contains(gsbiRecordsInfoEh);
}

bool TDBGridEhNavigatorPanel::AggregationShows() const {
  return visibleItems_.Contains(gsbiSelAggregationInfoEh) && !aggregationText_.empty();
}

int TDBGridEhNavigatorPanel::UpdateLayout() {
  // The grid's font and indicator width may have changed since the texts were made.
  UpdateInfoFonts();
  recordsInfoWidth_ = MeasureRecordsInfoWidth();
  aggregationWidth_ = MeasureAggregation();
  const int height = std::max(0, ClientHeight());
  const bool rtl = UseRightToLeftAlignment();
  int x = rtl ? ClientWidth() : 0;
  int wanted = FrameWidth();
  // Places one part of the given width after the ones placed so far.
  auto place = [&](int Width) {
    const TRect r{rtl ? x - Width : x, 0, rtl ? x : x + Width, height};
    x = rtl ? x - Width : x + Width;
    wanted += Width;
    return r;
  };

  recordsInfoRect_ = RecordsInfoShows() ? place(recordsInfoWidth_) : TRect{};
  bool anyButton = false;
  for (int i = 0; i < kNavButtonCount; ++i) anyButton = anyButton || ButtonShows(NavKind(i));
  separatorRects_[0] = RecordsInfoShows() && anyButton ? place(kNavSeparatorWidth) : TRect{};
  // Right to left, the four moves keep their left-to-right order on screen.
  std::array<int, kNavButtonCount> order{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  if (rtl) std::reverse(order.begin(), order.begin() + 4);
  for (int i : order) {
    TNavButtonEh* button = buttons_[i];
    const bool shows = ButtonShows(NavKind(i));
    if (shows) button->SetBoundsRect(place(height));
    button->SetVisible(shows);
  }
  if (attachedControl_) {
    const TRect r = place(attachedControl_->Width());
    if (attachedControl_->Parent() == this) attachedControl_->SetBoundsRect(r);
  }
  const bool anyBefore = RecordsInfoShows() || anyButton || attachedControl_;
  separatorRects_[1] =
      anyBefore && (attachedControl_ || AggregationShows()) ? place(kNavSeparatorWidth) : TRect{};
  aggregationRect_ = AggregationShows() ? place(aggregationWidth_) : TRect{};
  Invalidate();
  return wanted;
}

void TDBGridEhNavigatorPanel::RequestLayout() {
  if (destroying_) return;
  if (auto* strip = dynamic_cast<TDBGridEhScrollBarPanelControl*>(Parent())) {
    strip->UpdateNavigatorLayout();
    return;
  }
  const int wanted = UpdateLayout();
  if (Width() != wanted) SetWidth(wanted);
}

void TDBGridEhNavigatorPanel::Resize() {
  inherited::Resize();
  UpdateLayout();
}

// --- painting -------------------------------------------------------------------------------------

void TDBGridEhNavigatorPanel::Paint() {
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(ClientRect());
  canvas->Brush()->SetStyle(bsClear);
  if (!IsRectEmpty(recordsInfoRect_)) {
    canvas->SetFont(recordsInfoFont_.get());
    canvas->TextRect(recordsInfoRect_, recordsInfoText_,
                     TTextFormat{tfCenter, tfVerticalCenter, tfSingleLine});
  }
  if (!IsRectEmpty(aggregationRect_)) {
    canvas->SetFont(aggregationFont_.get());
    canvas->TextRect(aggregationRect_, aggregationText_, TTextFormat{tfLeft, tfVerticalCenter, tfSingleLine});
  }
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Pen()->SetColor(lineColor_);
  for (const TRect& r : separatorRects_) {
    if (IsRectEmpty(r)) continue;
    const int lineX = r.Left + r.Width() / 2;
    canvas->MoveTo(lineX, r.Top + 2);
    canvas->LineTo(lineX, r.Bottom - 2);
  }
}

// The border is the room the bevels take around the client area, drawn in the line colour.
void TDBGridEhNavigatorPanel::WMNCPaint(TMessage& Message) {
  inherited::WMNCPaint(Message);
  if (!HandleAllocated() || FrameWidth() == 0) return;
  HDC dc = GetWindowDC(Handle());
  TScopeExit release([this, dc] { ReleaseDC(Handle(), dc); });
  HBRUSH brush = CreateSolidBrush(ColorToRGB(lineColor_));
  TScopeExit freeBrush([brush] { DeleteObject(brush); });
  POINT origin{0, 0};
  ::ClientToScreen(Handle(), &origin);
  RECT window{};
  GetWindowRect(Handle(), &window);
  const int left = origin.X - window.Left, top = origin.Y - window.Top;
  ExcludeClipRect(dc, left, top, left + ClientWidth(), top + ClientHeight());
  const RECT whole{0, 0, Width(), Height()};
  FillRect(dc, &whole, brush);
}

int TDBGridEhNavigatorPanel::FrameWidth() const {
  if (BevelKind() == bkNone) return 0;
  const int cuts = (BevelInner() != bvNone) + (BevelOuter() != bvNone);
  return (BevelEdges().Contains(beLeft) + BevelEdges().Contains(beRight)) * cuts * BevelWidth();
}

// --- keys and the mouse ---------------------------------------------------------------------------

void TDBGridEhNavigatorPanel::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETDLGCODE:
      Message.Result = DLGC_WANTARROWS;
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      inherited::Dispatch(Message);
      buttons_[focusedButton_]->Invalidate();
      break;
    default:
      inherited::Dispatch(Message);
  }
}

void TDBGridEhNavigatorPanel::KeyDown(WORD& Key, TShiftState Shift) {
  inherited::KeyDown(Key, Shift);
  const int step = Key == VK_RIGHT ? 1 : Key == VK_LEFT ? -1 : 0;
  if (Key == VK_SPACE) {
    TNavButtonEh* button = buttons_[focusedButton_];
    if (button->Enabled() && button->Visible()) button->Click();
    return;
  }
  if (step == 0) return;
  for (int i = focusedButton_ + step; i >= 0 && i < kNavButtonCount; i += step) {
    if (!ButtonShows(NavKind(i))) continue;
    buttons_[focusedButton_]->Invalidate();
    focusedButton_ = i;
    buttons_[i]->Invalidate();
    break;
  }
}

void TDBGridEhNavigatorPanel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  inherited::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !PtInRect(aggregationRect_, TPoint{X, Y})) return;
  const int x = X - aggregationRect_.Left;
  for (const TAggregationItem& item : aggregationItems_) {
    if (x < item.Left || x >= item.Right) continue;
    // The menu's Copy takes the value from its hint.
    if (grid_) grid_->SetCopyMenuHint(item.ValueText);
    if (TDBGridEhRes* res = DBGridEhRes(); res && res->PopupMenu1) {
      const TPoint screen = ClientToScreen(TPoint{X, Y});
      res->PopupMenu1->Popup(screen.X, screen.Y);
    }
    return;
  }
}

// --- the grid's side ------------------------------------------------------------------------------

// No colour of its own is set for the strip's texts: the system's button text.
TColor TCustomDBGridEh::GetToolStripTextColor() {
  return clBtnText;
}
