// The month calendar over "SysMonthCal32" and the date-time picker's state model.
#include <algorithm>
#include <cmath>

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/ComCtrls.h"

RTL_IMPLEMENT_CLASS(TMonthCalColors)
RTL_IMPLEMENT_CLASS(TCommonCalendar)
RTL_IMPLEMENT_CLASS(TMonthCalendar)
RTL_IMPLEMENT_CLASS(TDateTimePicker)

namespace {

// MCM_SETCOLOR indexes in the order of TMonthCalColors' colours.
constexpr WPARAM kColorIndex[6] = {MCSC_BACKGROUND, MCSC_TEXT,    MCSC_TITLEBK,
                                   MCSC_TITLETEXT,  MCSC_MONTHBK, MCSC_TRAILINGTEXT};

SYSTEMTIME ToSystemTime(TDateTime Value) {
  SYSTEMTIME st;
  Word y, m, d, h, n, s, ms;
  DecodeDateTime(Value, y, m, d, h, n, s, ms);
  st.wYear = y;
  st.wMonth = m;
  st.wDay = d;
  st.wHour = h;
  st.wMinute = n;
  st.wSecond = s;
  st.wMilliseconds = ms;
  st.wDayOfWeek = static_cast<WORD>(DayOfWeek(Value) - 1);
  return st;
}

bool FromSystemTime(const SYSTEMTIME& st, TDateTime& Value) {
  return TryEncodeDate(st.wYear, st.wMonth, st.wDay, Value);
}

std::string DateText(TDateTime Value) {
  return DateToStr(Value);
}

}  // namespace

// --- TMonthCalColors ------------------------------------------------------------------------------

void TMonthCalColors::DescribeClass(TClassBuilder<TMonthCalColors>& c) {
  c.Property("BackColor", &TMonthCalColors::BackColor, &TMonthCalColors::SetBackColor)
      .Default(clWindow)
      .WithIdents(ColorIdents());
  c.Property("TextColor", &TMonthCalColors::TextColor, &TMonthCalColors::SetTextColor)
      .Default(clWindowText)
      .WithIdents(ColorIdents());
  c.Property("TitleBackColor", &TMonthCalColors::TitleBackColor, &TMonthCalColors::SetTitleBackColor)
      .Default(clActiveCaption)
      .WithIdents(ColorIdents());
  c.Property("TitleTextColor", &TMonthCalColors::TitleTextColor, &TMonthCalColors::SetTitleTextColor)
      .Default(clWhite)
      .WithIdents(ColorIdents());
  c.Property("MonthBackColor", &TMonthCalColors::MonthBackColor, &TMonthCalColors::SetMonthBackColor)
      .Default(clWhite)
      .WithIdents(ColorIdents());
  c.Property("TrailingTextColor", &TMonthCalColors::TrailingTextColor, &TMonthCalColors::SetTrailingTextColor)
      .Default(clInactiveCaptionText)
      .WithIdents(ColorIdents());
}

void TMonthCalColors::Assign(TPersistent* Source) {
  if (auto* other = dynamic_cast<TMonthCalColors*>(Source)) {
    for (int i = 0; i < 6; ++i) colors_[i] = other->colors_[i];
    SetAllColors();
    return;
  }
  inherited::Assign(Source);
}

TPersistent* TMonthCalColors::GetOwner() {
  return owner_;
}

void TMonthCalColors::SetColor(int Index, TColor Value) {
  if (colors_[Index] == Value) return;
  colors_[Index] = Value;
  if (owner_ && owner_->HandleAllocated())
    SendMessage(owner_->Handle(), MCM_SETCOLOR, kColorIndex[Index], static_cast<LPARAM>(ColorToRGB(Value)));
}

void TMonthCalColors::SetAllColors() {
  if (!owner_ || !owner_->HandleAllocated()) return;
  for (int i = 0; i < 6; ++i)
    SendMessage(owner_->Handle(), MCM_SETCOLOR, kColorIndex[i], static_cast<LPARAM>(ColorToRGB(colors_[i])));
}

// --- TCommonCalendar -------------------------------------------------------------------------------

TCommonCalendar::TCommonCalendar(TComponent* AOwner)
    : TWinControl(AOwner), calColors_(std::make_unique<TMonthCalColors>(this)) {
  date_ = ::Date();
  endDate_ = date_;
  SetTabStop(true);
}

TCommonCalendar::~TCommonCalendar() = default;

void TCommonCalendar::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, MONTHCAL_CLASS);
  if (multiSelect_) Params.Style |= MCS_MULTISELECT;
  if (weekNumbers_) Params.Style |= MCS_WEEKNUMBERS;
  if (!showTodayCircle_) Params.Style |= MCS_NOTODAYCIRCLE;
  if (!showToday_) Params.Style |= MCS_NOTODAY;
  if (OnGetMonthInfo) Params.Style |= MCS_DAYSTATE;
}

void TCommonCalendar::CreateWnd() {
  inherited::CreateWnd();
  calColors_->SetAllColors();
  SendMessage(Handle(), MCM_SETFIRSTDAYOFWEEK, 0,
              firstDayOfWeek_ == dowLocaleDefault ? -1 : static_cast<LPARAM>(firstDayOfWeek_));
  SendRange();
  SendSelection();
  KeepMinimumSize();
}

void TCommonCalendar::ConstrainedResize(int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight) {
  if (HandleAllocated()) {
    RECT month{}, window{}, client{};
    SendMessage(Handle(), MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&month));
    ::GetWindowRect(Handle(), &window);
    ::GetClientRect(Handle(), &client);
    MinWidth = std::max(MinWidth, month.Width() + window.Width() - client.Width());
    MinHeight = std::max(MinHeight, month.Height() + window.Height() - client.Height());
  }
  inherited::ConstrainedResize(MinWidth, MinHeight, MaxWidth, MaxHeight);
}

void TCommonCalendar::CMFontChanged(TMessage& Message) {
  inherited::CMFontChanged(Message);
  if (HandleAllocated()) KeepMinimumSize();
}

void TCommonCalendar::SendRange() {
  if (!HandleAllocated()) return;
  SYSTEMTIME range[2];
  WPARAM flags = 0;
  if (minDate_ != 0) {
    flags |= GDTR_MIN;
    range[0] = ToSystemTime(minDate_);
  }
  if (maxDate_ != 0) {
    flags |= GDTR_MAX;
    range[1] = ToSystemTime(maxDate_);
  }
  if (!SendMessage(Handle(), MCM_SETRANGE, flags, reinterpret_cast<LPARAM>(range)))
    throw ECommonCalendarError("Failed to set calendar min/max range");
}

void TCommonCalendar::SendSelection() {
  if (!HandleAllocated()) return;
  SYSTEMTIME st = ToSystemTime(date_);
  if (!SendMessage(Handle(), MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&st)))
    throw ECommonCalendarError("Failed to set calendar date or time");
}

void TCommonCalendar::CheckValidDate(TDate Value) const {
  if (maxDate_ != 0 && std::floor(Value) > std::floor(maxDate_))
    throw ECommonCalendarError("Date exceeds maximum of " + DateText(maxDate_));
  if (minDate_ != 0 && std::floor(Value) < std::floor(minDate_))
    throw ECommonCalendarError("Date is less than minimum of " + DateText(minDate_));
}

void TCommonCalendar::SetDate(TDate Value) {
  CheckValidDate(Value);
  date_ = Value;
  if (!multiSelect_ || endDate_ < date_) endDate_ = date_;
  SendSelection();
}

void TCommonCalendar::SetEndDate(TDate Value) {
  if (!multiSelect_) return;
  CheckValidDate(Value);
  endDate_ = Value < date_ ? date_ : Value;
}

void TCommonCalendar::SetMinDate(TDate Value) {
  if (Value != 0 && maxDate_ != 0 && std::floor(Value) > std::floor(maxDate_))
    throw ECommonCalendarError("Date exceeds maximum of " + DateText(maxDate_));
  minDate_ = Value;
  if (minDate_ != 0 && std::floor(date_) < std::floor(minDate_))
    date_ = minDate_ + (date_ - std::floor(date_));
  SendRange();
  SendSelection();
}

void TCommonCalendar::SetMaxDate(TDate Value) {
  if (Value != 0 && minDate_ != 0 && std::floor(Value) < std::floor(minDate_))
    throw ECommonCalendarError("Date is less than minimum of " + DateText(minDate_));
  maxDate_ = Value;
  if (maxDate_ != 0 && std::floor(date_) > std::floor(maxDate_))
    date_ = std::floor(maxDate_) + (date_ - std::floor(date_));
  SendRange();
  SendSelection();
}

void TCommonCalendar::SetMultiSelect(bool Value) {
  if (multiSelect_ == Value) return;
  multiSelect_ = Value;
  endDate_ = date_;
  RecreateWnd();
}

void TCommonCalendar::SetMaxSelectRange(int Value) {
  if (Value < 1) throw ECommonCalendarError("Failed to set maximum selection range");
  maxSelectRange_ = Value;
}

void TCommonCalendar::SetFirstDayOfWeek(TCalDayOfWeek Value) {
  firstDayOfWeek_ = Value;
  if (HandleAllocated())
    SendMessage(Handle(), MCM_SETFIRSTDAYOFWEEK, 0,
                Value == dowLocaleDefault ? -1 : static_cast<LPARAM>(Value));
}

void TCommonCalendar::SetWeekNumbers(bool Value) {
  if (weekNumbers_ == Value) return;
  weekNumbers_ = Value;
  RecreateWnd();
}

void TCommonCalendar::SetShowToday(bool Value) {
  if (showToday_ == Value) return;
  showToday_ = Value;
  RecreateWnd();
}

void TCommonCalendar::SetShowTodayCircle(bool Value) {
  if (showTodayCircle_ == Value) return;
  showTodayCircle_ = Value;
  RecreateWnd();
}

TRect TCommonCalendar::GetMinReqRect() {
  HandleNeeded();
  RECT r{};
  SendMessage(Handle(), MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&r));
  return r;
}

void TCommonCalendar::GetMonthInfo(Cardinal Month, Cardinal& MonthBoldInfo) {
  OnGetMonthInfo(this, Month, MonthBoldInfo);
}

void TCommonCalendar::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_NOTIFY) return CNNotify(Message);
  inherited::Dispatch(Message);
}

void TCommonCalendar::CNNotify(TMessage& Message) {
  const NMHDR* hdr = Message.NMHdr();
  if (!hdr) return;
  if (hdr->code == MCN_SELCHANGE || hdr->code == MCN_SELECT) {
    const auto* sel = reinterpret_cast<const NMSELCHANGE*>(hdr);
    TDateTime picked;
    if (!FromSystemTime(sel->stSelStart, picked)) return;
    // The window picks whole days; the time of day stays.
    const TDateTime time = date_ - std::floor(date_);
    date_ = picked + (date_ < 0 ? -time : time);
    TDateTime last;
    endDate_ = multiSelect_ && FromSystemTime(sel->stSelEnd, last) && last > picked ? last : date_;
    Change();
  }
}

// --- TMonthCalendar --------------------------------------------------------------------------------

TMonthCalendar::TMonthCalendar(TComponent* AOwner) : TCommonCalendar(AOwner) {
  SetBounds(Left(), Top(), 191, 154);
}

void TMonthCalendar::DescribeClass(TClassBuilder<TMonthCalendar>& c) {
  PublishControl(c, {"Align",      "Anchors",     "Color",       "Constraints",    "Enabled",
                     "Font",       "ParentColor", "ParentFont",  "ParentShowHint", "PopupMenu",
                     "ShowHint",   "TabOrder",    "TabStop",     "Visible",        "OnClick",
                     "OnDblClick", "OnEnter",     "OnExit",      "OnKeyDown",      "OnKeyPress",
                     "OnKeyUp",    "OnMouseDown", "OnMouseMove", "OnMouseUp",      "OnResize"});
  c.Property("CalColors", &TMonthCalendar::CalColors);
  c.Property("Date", &TMonthCalendar::Date, &TMonthCalendar::SetDate);
  c.Property("EndDate", &TMonthCalendar::EndDate, &TMonthCalendar::SetEndDate);
  c.Property("FirstDayOfWeek", &TMonthCalendar::FirstDayOfWeek, &TMonthCalendar::SetFirstDayOfWeek)
      .Default(dowLocaleDefault);
  c.Property("MaxDate", &TMonthCalendar::MaxDate, &TMonthCalendar::SetMaxDate);
  c.Property("MaxSelectRange", &TMonthCalendar::MaxSelectRange, &TMonthCalendar::SetMaxSelectRange)
      .Default(31);
  c.Property("MinDate", &TMonthCalendar::MinDate, &TMonthCalendar::SetMinDate);
  c.Property("MultiSelect", &TMonthCalendar::MultiSelect, &TMonthCalendar::SetMultiSelect);
  c.Property("ShowToday", &TMonthCalendar::ShowToday, &TMonthCalendar::SetShowToday).Default(1);
  c.Property("ShowTodayCircle", &TMonthCalendar::ShowTodayCircle, &TMonthCalendar::SetShowTodayCircle)
      .Default(1);
  c.Property("WeekNumbers", &TMonthCalendar::WeekNumbers, &TMonthCalendar::SetWeekNumbers);
  c.Property(
      "OnGetMonthInfo",
      [](const TMonthCalendar& m) -> const TOnGetMonthInfoEvent& { return m.OnGetMonthInfo; },
      [](TMonthCalendar& m, const TOnGetMonthInfoEvent& e) { m.OnGetMonthInfo = e; });
}

// --- TDateTimePicker --------------------------------------------------------------------------------

TDateTimePicker::TDateTimePicker(TComponent* AOwner) : TCustomControl(AOwner) {
  dateTime_ = Now();
  SetBounds(Left(), Top(), 186, 21);
  SetTabStop(true);
  // The field is a window's: it does not follow the parent's colour.
  SetParentColor(false);
  SetColor(clWindow);
}

void TDateTimePicker::DescribeClass(TClassBuilder<TDateTimePicker>& c) {
  PublishControl(c, {"Align",      "Anchors",     "Color",       "Constraints",    "Enabled",
                     "Font",       "ParentColor", "ParentFont",  "ParentShowHint", "PopupMenu",
                     "ShowHint",   "TabOrder",    "TabStop",     "Visible",        "OnClick",
                     "OnDblClick", "OnEnter",     "OnExit",      "OnKeyDown",      "OnKeyPress",
                     "OnKeyUp",    "OnMouseDown", "OnMouseMove", "OnMouseUp",      "OnResize"});
  c.Property("Checked", &TDateTimePicker::Checked, &TDateTimePicker::SetChecked).Default(1);
  c.Property("Date", &TDateTimePicker::Date, &TDateTimePicker::SetDate);
  c.Property("Time", &TDateTimePicker::Time, &TDateTimePicker::SetTime);
  c.Property("DateFormat", &TDateTimePicker::DateFormat, &TDateTimePicker::SetDateFormat);
  c.Property("DateMode", &TDateTimePicker::DateMode, &TDateTimePicker::SetDateMode);
  c.Property("Kind", &TDateTimePicker::Kind, &TDateTimePicker::SetKind);
  c.Property("MaxDate", &TDateTimePicker::MaxDate, &TDateTimePicker::SetMaxDate);
  c.Property("MinDate", &TDateTimePicker::MinDate, &TDateTimePicker::SetMinDate);
  c.Property("ShowCheckbox", &TDateTimePicker::ShowCheckbox, &TDateTimePicker::SetShowCheckbox);
  c.Property(
      "OnChange", [](const TDateTimePicker& p) -> const TNotifyEvent& { return p.OnChange; },
      [](TDateTimePicker& p, const TNotifyEvent& e) { p.OnChange = e; });
}

std::string TDateTimePicker::DisplayText() const {
  if (kind_ == dtkTime) return FormatDateTime(FormatSettings().LongTimeFormat, dateTime_);
  return FormatDateTime(
      dateFormat_ == dfLong ? FormatSettings().LongDateFormat : FormatSettings().ShortDateFormat, dateTime_);
}

void TDateTimePicker::SetValue(TDateTime Value) {
  if (maxDate_ != 0 && std::floor(Value) > std::floor(maxDate_))
    throw EDateTimeError("Date exceeds maximum of " + DateText(maxDate_));
  if (minDate_ != 0 && std::floor(Value) < std::floor(minDate_))
    throw EDateTimeError("Date is less than minimum of " + DateText(minDate_));
  if (Value == dateTime_) return;
  dateTime_ = Value;
  Invalidate();
  Change();
}

void TDateTimePicker::SetDate(TDate Value) {
  const TDateTime time = TimeOf(dateTime_);
  SetValue(std::floor(Value) + (Value < 0 ? -time : time));
}

void TDateTimePicker::SetTime(TTime Value) {
  const TDateTime day = DateOf(dateTime_);
  const TDateTime time = std::fabs(Value - std::trunc(Value));
  SetValue(day + (day < 0 ? -time : time));
}

void TDateTimePicker::SetDateTime(TDateTime Value) {
  SetValue(Value);
}

void TDateTimePicker::SetMinDate(TDate Value) {
  if (Value != 0 && maxDate_ != 0 && Value > maxDate_)
    throw EDateTimeError("Date exceeds maximum of " + DateText(maxDate_));
  minDate_ = Value;
}

void TDateTimePicker::SetMaxDate(TDate Value) {
  if (Value != 0 && minDate_ != 0 && Value < minDate_)
    throw EDateTimeError("Date is less than minimum of " + DateText(minDate_));
  maxDate_ = Value;
}

void TDateTimePicker::SetKind(TDateTimeKind Value) {
  if (kind_ == Value) return;
  kind_ = Value;
  Invalidate();
}

void TDateTimePicker::SetDateMode(TDTDateMode Value) {
  if (dateMode_ == Value) return;
  dateMode_ = Value;
  Invalidate();
}

void TDateTimePicker::SetDateFormat(TDTDateFormat Value) {
  if (dateFormat_ == Value) return;
  dateFormat_ = Value;
  Invalidate();
}

void TDateTimePicker::SetChecked(bool Value) {
  if (checked_ == Value) return;
  checked_ = Value;
  Invalidate();
  if (showCheckbox_) Change();
}

void TDateTimePicker::SetShowCheckbox(bool Value) {
  if (showCheckbox_ == Value) return;
  showCheckbox_ = Value;
  Invalidate();
}

void TDateTimePicker::Change() {
  OnChange(this);
}

void TDateTimePicker::Paint() {
  TCanvas* canvas = Canvas();
  TRect r = ClientRect();
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(r);
  int x = 2;
  if (showCheckbox_) {
    RECT box = Rect(2, (r.Height() - 13) / 2, 15, (r.Height() - 13) / 2 + 13);
    DrawFrameControl(canvas->Handle(), &box, DFC_BUTTON, DFCS_BUTTONCHECK | (checked_ ? DFCS_CHECKED : 0));
    x = box.Right + 3;
  }
  // The drop-down button or the arrow pair at the right.
  const int button = 17;
  RECT arrows = Rect(r.Right - button, 0, r.Right, r.Bottom);
  if (dateMode_ == dmUpDown || kind_ == dtkTime) {
    RECT up = arrows, down = arrows;
    up.Bottom = down.Top = arrows.Top + arrows.Height() / 2;
    DrawFrameControl(canvas->Handle(), &up, DFC_SCROLL, DFCS_SCROLLUP);
    DrawFrameControl(canvas->Handle(), &down, DFC_SCROLL, DFCS_SCROLLDOWN);
  } else {
    DrawFrameControl(canvas->Handle(), &arrows, DFC_SCROLL, DFCS_SCROLLCOMBOBOX);
  }
  canvas->Font()->SetColor(checked_ || !showCheckbox_ ? clWindowText : clGrayText);
  canvas->Brush()->SetStyle(bsClear);
  const std::string text = DisplayText();
  canvas->TextOut(x, (r.Height() - canvas->TextHeight(text)) / 2, text);
}

// --- registration ------------------------------------------------------------------------------------

void RegisterComCtrlsClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TMonthCalendar::StaticClass(), TDateTimePicker::StaticClass(), TStatusBar::StaticClass(),
                   TTabControl::StaticClass(), TPageControl::StaticClass(), TTabSheet::StaticClass(),
                   THeaderControl::StaticClass(), TTrackBar::StaticClass(), TUpDown::StaticClass(),
                   TProgressBar::StaticClass(), TToolBar::StaticClass(), TToolButton::StaticClass(),
                   TListView::StaticClass(), TTreeView::StaticClass(), TComboBoxEx::StaticClass()});
}

namespace {
// Descriptions can name these classes as soon as the program starts.
const bool registered = (RegisterComCtrlsClasses(), true);
}  // namespace
