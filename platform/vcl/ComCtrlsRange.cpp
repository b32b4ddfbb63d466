// The controls that hold a position in a range: the track bar, the up-down control and the
// progress bar.
#include <algorithm>

#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/ComCtrls.h"

RTL_IMPLEMENT_CLASS(TTrackBar)
RTL_IMPLEMENT_CLASS(TCustomUpDown)
RTL_IMPLEMENT_CLASS(TUpDown)
RTL_IMPLEMENT_CLASS(TProgressBar)

namespace {

// The window classes keep 16-bit ranges for the packed messages.
LPARAM PackRange(int Low, int High) {
  return MAKELONG(static_cast<WORD>(static_cast<SHORT>(std::clamp(Low, -32768, 32767))),
                  static_cast<WORD>(static_cast<SHORT>(std::clamp(High, -32768, 32767))));
}

std::string WithThousands(int Value) {
  std::string digits = std::to_string(Value < 0 ? -static_cast<int64_t>(Value) : static_cast<int64_t>(Value));
  const std::string sep = FormatSettings().ThousandSeparator;
  std::string out;
  const int n = static_cast<int>(digits.size());
  for (int i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) out += sep;
    out += digits[static_cast<size_t>(i)];
  }
  return Value < 0 ? "-" + out : out;
}

}  // namespace

// --- TTrackBar ------------------------------------------------------------------------------------

TTrackBar::TTrackBar(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(Left(), Top(), 150, 45);
  SetTabStop(true);
}

void TTrackBar::DescribeClass(TClassBuilder<TTrackBar>& c) {
  PublishControl(c, {"Align",      "Anchors",     "Color",       "Constraints",    "Enabled",
                     "Font",       "ParentColor", "ParentFont",  "ParentShowHint", "PopupMenu",
                     "ShowHint",   "TabOrder",    "TabStop",     "Visible",        "OnClick",
                     "OnDblClick", "OnEnter",     "OnExit",      "OnKeyDown",      "OnKeyPress",
                     "OnKeyUp",    "OnMouseDown", "OnMouseMove", "OnMouseUp",      "OnResize"});
  c.Property("Frequency", &TTrackBar::Frequency, &TTrackBar::SetFrequency).Default(1);
  c.Property("LineSize", &TTrackBar::LineSize, &TTrackBar::SetLineSize).Default(1);
  c.Property("Max", &TTrackBar::Max, &TTrackBar::SetMax).Default(10);
  c.Property("Min", &TTrackBar::Min, &TTrackBar::SetMin).Default(0);
  c.Property("Orientation", &TTrackBar::Orientation, &TTrackBar::SetOrientation);
  c.Property("PageSize", &TTrackBar::PageSize, &TTrackBar::SetPageSize).Default(2);
  c.Property("Position", &TTrackBar::Position, &TTrackBar::SetPosition).Default(0);
  c.Property("SelEnd", &TTrackBar::SelEnd, &TTrackBar::SetSelEnd).Default(0);
  c.Property("SelStart", &TTrackBar::SelStart, &TTrackBar::SetSelStart).Default(0);
  c.Property("SliderVisible", &TTrackBar::SliderVisible, &TTrackBar::SetSliderVisible).Default(1);
  c.Property("TickMarks", &TTrackBar::TickMarks, &TTrackBar::SetTickMarks);
  c.Property("TickStyle", &TTrackBar::TickStyle, &TTrackBar::SetTickStyle).Default(tsAuto);
  c.Property(
      "OnChange", [](const TTrackBar& t) -> const TNotifyEvent& { return t.OnChange; },
      [](TTrackBar& t, const TNotifyEvent& e) { t.OnChange = e; });
}

void TTrackBar::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, TRACKBAR_CLASS);
  if (orientation_ == trVertical) Params.Style |= TBS_VERT;
  if (tickStyle_ == tsNone) Params.Style |= TBS_NOTICKS;
  if (tickStyle_ == tsAuto) Params.Style |= TBS_AUTOTICKS;
  if (tickMarks_ == tmTopLeft) Params.Style |= TBS_TOP;
  if (tickMarks_ == tmBoth) Params.Style |= TBS_BOTH;
  if (!sliderVisible_) Params.Style |= TBS_NOTHUMB;
  Params.Style |= TBS_ENABLESELRANGE;
}

void TTrackBar::CreateWnd() {
  inherited::CreateWnd();
  SendParams();
  SendSettings();
}

void TTrackBar::SendParams() {
  if (!HandleAllocated()) return;
  SendMessage(Handle(), TBM_SETRANGEMIN, FALSE, min_);
  SendMessage(Handle(), TBM_SETRANGEMAX, FALSE, max_);
  SendMessage(Handle(), TBM_SETPOS, TRUE, position_);
}

// What the window keeps besides the range: sizes for paging, tics and the selection.
void TTrackBar::SendSettings() {
  if (!HandleAllocated()) return;
  SendMessage(Handle(), TBM_SETPAGESIZE, 0, pageSize_);
  SendMessage(Handle(), TBM_SETLINESIZE, 0, lineSize_);
  SendMessage(Handle(), TBM_SETTICFREQ, static_cast<WPARAM>(std::max(1, frequency_)), 0);
  SendMessage(Handle(), TBM_CLEARTICS, FALSE, 0);
  if (tickStyle_ == tsManual)
    for (int tick : ticks_) SendMessage(Handle(), TBM_SETTIC, 0, tick);
  SendMessage(Handle(), TBM_SETSELSTART, FALSE, selStart_);
  SendMessage(Handle(), TBM_SETSELEND, TRUE, selEnd_);
}

void TTrackBar::SetParams(int APosition, int AMin, int AMax) {
  if (AMax < AMin) AMax = AMin;
  const int pos = std::clamp(APosition, AMin, AMax);
  const bool changed = pos != position_;
  min_ = AMin;
  max_ = AMax;
  position_ = pos;
  SendParams();
  if (changed) Changed();
}

void TTrackBar::SetMin(int Value) {
  if (Value <= max_) SetParams(position_, Value, max_);
}

void TTrackBar::SetMax(int Value) {
  if (Value >= min_) SetParams(position_, min_, Value);
}

void TTrackBar::SetPosition(int Value) {
  SetParams(Value, min_, max_);
}

void TTrackBar::SetOrientation(TTrackBarOrientation Value) {
  if (orientation_ == Value) return;
  orientation_ = Value;
  // The bar turns: width and height swap.
  SetBounds(Left(), Top(), Height(), Width());
  RecreateWnd();
}

void TTrackBar::SetFrequency(int Value) {
  frequency_ = Value;
  SendSettings();
}

void TTrackBar::SetPageSize(int Value) {
  pageSize_ = Value;
  SendSettings();
}

void TTrackBar::SetLineSize(int Value) {
  lineSize_ = Value;
  SendSettings();
}

void TTrackBar::SetTickStyle(TTickStyle Value) {
  if (tickStyle_ == Value) return;
  tickStyle_ = Value;
  RecreateWnd();
}

void TTrackBar::SetTickMarks(TTickMark Value) {
  if (tickMarks_ == Value) return;
  tickMarks_ = Value;
  RecreateWnd();
}

void TTrackBar::SetSelStart(int Value) {
  selStart_ = Value;
  SendSettings();
}

void TTrackBar::SetSelEnd(int Value) {
  selEnd_ = Value;
  SendSettings();
}

void TTrackBar::SetSliderVisible(bool Value) {
  if (sliderVisible_ == Value) return;
  sliderVisible_ = Value;
  RecreateWnd();
}

void TTrackBar::SetTick(int Value) {
  const auto at = std::lower_bound(ticks_.begin(), ticks_.end(), Value);
  if (at == ticks_.end() || *at != Value) ticks_.insert(at, Value);
  SendSettings();
}

void TTrackBar::Changed() {
  OnChange(this);
}

LRESULT TTrackBar::CustomDraw(const NMCUSTOMDRAW& Draw) {
  (void)Draw;
  return CDRF_DODEFAULT;
}

void TTrackBar::KeyDown(WORD& Key, TShiftState Shift) {
  inherited::KeyDown(Key, Shift);
  int pos = position_;
  switch (Key) {
    case VK_LEFT:
    case VK_UP:
      pos -= lineSize_;
      break;
    case VK_RIGHT:
    case VK_DOWN:
      pos += lineSize_;
      break;
    case VK_PRIOR:
      pos -= pageSize_;
      break;
    case VK_NEXT:
      pos += pageSize_;
      break;
    case VK_HOME:
      pos = min_;
      break;
    case VK_END:
      pos = max_;
      break;
    default:
      return;
  }
  SetPosition(pos);
  Key = 0;
}

void TTrackBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETDLGCODE:
      Message.Result = DLGC_WANTARROWS;
      return;
    case CN_NOTIFY:
      if (const NMHDR* hdr = Message.NMHdr(); hdr && hdr->code == NM_CUSTOMDRAW) {
        Message.Result = CustomDraw(*reinterpret_cast<const NMCUSTOMDRAW*>(hdr));
        return;
      }
      break;
    case CN_HSCROLL:
    case CN_VSCROLL:
      if (HandleAllocated()) {
        const int pos = static_cast<int>(SendMessage(Handle(), TBM_GETPOS, 0, 0));
        if (pos != position_) {
          position_ = pos;
          Changed();
        }
      }
      Message.Result = 0;
      return;
    default:
      break;
  }
  inherited::Dispatch(Message);
}

// --- TCustomUpDown --------------------------------------------------------------------------------

TCustomUpDown::TCustomUpDown(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(Left(), Top(), 16, 24);
}

TCustomUpDown::~TCustomUpDown() {
  Unhook();
}

void TUpDown::DescribeClass(TClassBuilder<TUpDown>& c) {
  PublishControl(c, {"Anchors", "Enabled", "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder", "TabStop",
                     "Visible", "OnEnter", "OnExit", "OnMouseDown", "OnMouseMove", "OnMouseUp"});
  c.Property("AlignButton", &TUpDown::AlignButton, &TUpDown::SetAlignButton).Default(udRight);
  c.Property("ArrowKeys", &TUpDown::ArrowKeys, &TUpDown::SetArrowKeys).Default(1);
  c.Property("Associate", &TUpDown::Associate, &TUpDown::SetAssociate);
  c.Property("Increment", &TUpDown::Increment, &TUpDown::SetIncrement).Default(1);
  c.Property("Max", &TUpDown::Max, &TUpDown::SetMax).Default(100);
  c.Property("Min", &TUpDown::Min, &TUpDown::SetMin).Default(0);
  c.Property("Orientation", &TUpDown::Orientation, &TUpDown::SetOrientation).Default(udVertical);
  c.Property("Position", &TUpDown::Position, &TUpDown::SetPosition).Default(0);
  c.Property("Thousands", &TUpDown::Thousands, &TUpDown::SetThousands).Default(1);
  c.Property("Wrap", &TUpDown::Wrap, &TUpDown::SetWrap);
  c.Property(
      "OnChanging", [](const TUpDown& u) -> const TUDChangingEvent& { return u.OnChanging; },
      [](TUpDown& u, const TUDChangingEvent& e) { u.OnChanging = e; });
  c.Property(
      "OnClick", [](const TUpDown& u) -> const TUDClickEvent& { return u.OnClick; },
      [](TUpDown& u, const TUDClickEvent& e) { u.OnClick = e; });
}

void TCustomUpDown::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, UPDOWN_CLASS);
  if (orientation_ == udHorizontal) Params.Style |= UDS_HORZ;
  if (wrap_) Params.Style |= UDS_WRAP;
  if (arrowKeys_) Params.Style |= UDS_ARROWKEYS;
  if (!thousands_) Params.Style |= UDS_NOTHOUSANDS;
}

void TCustomUpDown::CreateWnd() {
  inherited::CreateWnd();
  SendMessage(Handle(), UDM_SETRANGE, 0, PackRange(max_, min_));
  SendMessage(Handle(), UDM_SETPOS, 0, PackRange(position_, 0));
}

void TCustomUpDown::SetMin(int Value) {
  min_ = Value;
  if (HandleAllocated()) SendMessage(Handle(), UDM_SETRANGE, 0, PackRange(max_, min_));
  SetPosition(position_);
}

void TCustomUpDown::SetMax(int Value) {
  max_ = Value;
  if (HandleAllocated()) SendMessage(Handle(), UDM_SETRANGE, 0, PackRange(max_, min_));
  SetPosition(position_);
}

void TCustomUpDown::SetPosition(int Value) {
  position_ = std::clamp(Value, std::min(min_, max_), std::max(min_, max_));
  if (HandleAllocated()) SendMessage(Handle(), UDM_SETPOS, 0, PackRange(position_, 0));
  UpdateAssociate();
}

void TCustomUpDown::SetOrientation(TUDOrientation Value) {
  if (orientation_ == Value) return;
  orientation_ = Value;
  SetBounds(Left(), Top(), Height(), Width());
  RecreateWnd();
}

void TCustomUpDown::SetAlignButton(TUDAlignButton Value) {
  if (alignButton_ == Value) return;
  alignButton_ = Value;
  PlaceNextToAssociate();
}

void TCustomUpDown::SetThousands(bool Value) {
  if (thousands_ == Value) return;
  thousands_ = Value;
  UpdateAssociate();
  RecreateWnd();
}

void TCustomUpDown::SetAssociate(TWinControl* Value) {
  if (Value == associate_) return;
  if (Value == this) return;
  Unhook();
  if (associate_) associate_->RemoveFreeNotification(this);
  associate_ = Value;
  if (!associate_) return;
  associate_->FreeNotification(this);
  savedAssociateProc_ = associate_->WindowProc();
  associate_->SetWindowProc(TWndMethod::Method(this, &TCustomUpDown::AssociateWndProc));
  PlaceNextToAssociate();
  UpdateAssociate();
}

void TCustomUpDown::Unhook() {
  if (!associate_) return;
  if (associate_->WindowProc() == TWndMethod::Method(this, &TCustomUpDown::AssociateWndProc))
    associate_->SetWindowProc(savedAssociateProc_);
  savedAssociateProc_ = TWndMethod();
}

void TCustomUpDown::PlaceNextToAssociate() {
  if (!associate_ || associate_->Parent() != Parent()) return;
  // The arrows sit against the associate's chosen edge, which gives up their width.
  const int w = Width();
  const int newWidth = std::max(0, associate_->Width() - w);
  if (alignButton_ == udRight) {
    associate_->SetBounds(associate_->Left(), associate_->Top(), newWidth, associate_->Height());
    SetBounds(associate_->Left() + newWidth, associate_->Top(), w, associate_->Height());
  } else {
    SetBounds(associate_->Left(), associate_->Top(), w, associate_->Height());
    associate_->SetBounds(associate_->Left() + w, associate_->Top(), newWidth, associate_->Height());
  }
}

void TCustomUpDown::UpdateAssociate() {
  if (!associate_) return;
  associate_->SetText(thousands_ ? WithThousands(position_) : std::to_string(position_));
}

void TCustomUpDown::AssociateWndProc(TMessage& Message) {
  // Up and Down step before the associate or its form see them; a key that came as
  // CN_KEYDOWN is answered as handled, so no WM_KEYDOWN follows.
  if (arrowKeys_ && (Message.Msg == CN_KEYDOWN || Message.Msg == WM_KEYDOWN) &&
      (Message.WParam == VK_UP || Message.WParam == VK_DOWN)) {
    Step(Message.WParam == VK_UP ? btNext : btPrev);
    Message.Result = Message.Msg == CN_KEYDOWN ? 1 : 0;
    return;
  }
  savedAssociateProc_(Message);
}

void TCustomUpDown::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == associate_) {
    associate_ = nullptr;
    savedAssociateProc_ = TWndMethod();
  }
}

bool TCustomUpDown::CanChange() {
  bool allow = true;
  OnChanging(this, allow);
  return allow;
}

void TCustomUpDown::Click(TUDBtnType Button) {
  OnClick(this, Button);
}

void TCustomUpDown::Step(TUDBtnType Button) {
  if (!CanChange()) return;
  const int lo = std::min(min_, max_), hi = std::max(min_, max_);
  int64_t next = static_cast<int64_t>(position_) + (Button == btNext ? increment_ : -increment_);
  if (next > hi)
    next = wrap_ ? lo : hi;
  else if (next < lo)
    next = wrap_ ? hi : lo;
  SetPosition(static_cast<int>(next));
  Click(Button);
}

void TCustomUpDown::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  inherited::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  // Vertical: the upper arrow is "next"; horizontal: the right one.
  const bool firstHalf = orientation_ == udVertical ? Y < Height() / 2 : X < Width() / 2;
  Step(orientation_ == udVertical ? (firstHalf ? btNext : btPrev) : (firstHalf ? btPrev : btNext));
}

// --- TProgressBar ---------------------------------------------------------------------------------

TProgressBar::TProgressBar(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(Left(), Top(), 150, 16);
}

void TProgressBar::DescribeClass(TClassBuilder<TProgressBar>& c) {
  PublishControl(c, {"Align", "Anchors", "Constraints", "Enabled", "ParentShowHint", "PopupMenu", "ShowHint",
                     "TabOrder", "TabStop", "Visible", "OnMouseDown", "OnMouseMove", "OnMouseUp"});
  c.Property("Max", &TProgressBar::Max, &TProgressBar::SetMax).Default(100);
  c.Property("Min", &TProgressBar::Min, &TProgressBar::SetMin).Default(0);
  c.Property("Orientation", &TProgressBar::Orientation, &TProgressBar::SetOrientation);
  c.Property("Position", &TProgressBar::Position, &TProgressBar::SetPosition).Default(0);
  c.Property("Smooth", &TProgressBar::Smooth, &TProgressBar::SetSmooth);
  c.Property("Step", &TProgressBar::Step, &TProgressBar::SetStep).Default(10);
}

void TProgressBar::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, PROGRESS_CLASS);
  if (orientation_ == pbVertical) Params.Style |= PBS_VERTICAL;
  if (smooth_) Params.Style |= PBS_SMOOTH;
}

void TProgressBar::CreateWnd() {
  inherited::CreateWnd();
  SendMessage(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min_), max_);
  SendMessage(Handle(), PBM_SETSTEP, static_cast<WPARAM>(step_), 0);
  SendMessage(Handle(), PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::SetMin(int Value) {
  if (Value > max_) return;
  min_ = Value;
  if (HandleAllocated()) SendMessage(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min_), max_);
  SetPosition(position_);
}

void TProgressBar::SetMax(int Value) {
  if (Value < min_) return;
  max_ = Value;
  if (HandleAllocated()) SendMessage(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min_), max_);
  SetPosition(position_);
}

void TProgressBar::SetPosition(int Value) {
  position_ = std::clamp(Value, min_, max_);
  if (HandleAllocated()) SendMessage(Handle(), PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::SetStep(int Value) {
  step_ = Value;
  if (HandleAllocated()) SendMessage(Handle(), PBM_SETSTEP, static_cast<WPARAM>(step_), 0);
}

void TProgressBar::StepIt() {
  int64_t next = static_cast<int64_t>(position_) + step_;
  if (next > max_) next = min_ + (next - max_);
  SetPosition(static_cast<int>(std::clamp<int64_t>(next, min_, max_)));
}

void TProgressBar::StepBy(int Delta) {
  SetPosition(static_cast<int>(std::clamp<int64_t>(static_cast<int64_t>(position_) + Delta, min_, max_)));
}

void TProgressBar::SetOrientation(TProgressBarOrientation Value) {
  if (orientation_ == Value) return;
  orientation_ = Value;
  SetBounds(Left(), Top(), Height(), Width());
  RecreateWnd();
}

void TProgressBar::SetSmooth(bool Value) {
  if (smooth_ == Value) return;
  smooth_ = Value;
  RecreateWnd();
}
