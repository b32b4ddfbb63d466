// The date-time editor: value and text through the edit format's mask, section stepping,
// separator keys, the calendar drop-down, and the published class.
#include "grid/editors/DBDateTimeEditEh.h"

#include <algorithm>
#include <cctype>

#include "grid/editors/ControlEmptyDataInfoEh.h"
#include "grid/editors/DBEditPublishEh.h"
#include "grid/editors/DropDownCallEh.h"
#include "grid/editors/EditImageEh.h"
#include "grid/foundation/DropDownPlacementEh.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/MaskUtils.h"
#include "platform/win/Windows.h"

RTL_IMPLEMENT_CLASS(TCustomDBDateTimeEditEh)
RTL_IMPLEMENT_CLASS(TDBDateTimeEditEh)

namespace {

bool IsUpDownStyle(TEditButtonStyleEh Style) {
  return Style == ebsUpDownEh || Style == ebsAltUpDownEh;
}

std::string Trimmed(const std::string& S) {
  size_t b = 0, e = S.size();
  while (b < e && static_cast<unsigned char>(S[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(S[e - 1]) <= ' ') --e;
  return S.substr(b, e - b);
}

std::u32string ToU32(const std::string& S) {
  std::u32string out;
  size_t i = 0;
  while (i < S.size()) {
    const auto c = static_cast<unsigned char>(S[i]);
    size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    if (i + n > S.size()) n = 1;
    char32_t cp = n == 1 ? c : (c & (0x7F >> n));
    for (size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(S[i + k]) & 0x3F);
    out += cp;
    i += n;
  }
  return out;
}

// The first character of a separator setting (0 when empty).
char32_t FirstChar(const std::string& S) {
  const std::u32string u = ToU32(S);
  return u.empty() ? 0 : u[0];
}

// All six parts of a date-time value.
TDateTimePartsEh DecodeParts(TDateTime Value) {
  Word y, m, d, h, n, s, ms;
  DecodeDateTime(Value, y, m, d, h, n, s, ms);
  return TDateTimePartsEh{y, m, d, h, n, s};
}

bool InDateRange(TDateTime Value) {
  // 0001-01-01 up to the end of 9999-12-31.
  return Value >= -693593.0 && Value < 2958466.0;
}

// A value the editor can hold: Null, or a date-time within the representable years.
Variant ToDateTimeVariant(const Variant& V) {
  if (V.IsNull() || V.IsEmpty()) return Variant::Null();
  const TDateTime dt = V.AsDateTime();
  if (!InDateRange(dt)) throw EConvertError("Invalid argument to date encode");
  return Variant::FromDate(dt);
}

}  // namespace

// --- construction ---------------------------------------------------------------------------------

TCustomDBDateTimeEditEh::TCustomDBDateTimeEditEh(TComponent* AOwner) : TCustomDBEditEh(AOwner) {
  SetControlStyle(ControlStyle() - csSetCaption);
  RecreateEditButton();
  UpdateFourDigitYear();
  UpdateEditFormat();
  SetTextGuarded(std::string());
}

TCustomDBDateTimeEditEh::~TCustomDBDateTimeEditEh() {
  delete calendar_;
  calendar_ = nullptr;
}

std::unique_ptr<TEditButtonEh> TCustomDBDateTimeEditEh::CreateEditButton() {
  return std::make_unique<TVisibleEditButtonEh>(static_cast<TWinControl*>(this));
}

// --- kind and format ------------------------------------------------------------------------------

void TCustomDBDateTimeEditEh::SetKind(TDateTimeKindEh Value) {
  if (Value < dtkDateEh || Value > dtkCustomEh) return;
  kind_ = Value;
  UpdateEditFormat();
  ReReadValue();
}

void TCustomDBDateTimeEditEh::SetEditFormat(const std::string& Value) {
  if (!Value.empty()) {
    // A malformed format raises here, before anything changes.
    TDateTimeElementsEh probe;
    std::string mask;
    ParseEditFormatEh(Value, probe, mask);
  }
  kind_ = dtkCustomEh;
  if (Value == editFormat_) return;
  editFormat_ = Value;
  UpdateEditFormat();
  ReReadValue();
}

void TCustomDBDateTimeEditEh::UpdateFourDigitYear() {
  std::string fmt = FormatSettings().ShortDateFormat;
  for (char& c : fmt) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const bool four = fmt.find("YYY") != std::string::npos;
  if (four == fourDigitYear_) return;
  fourDigitYear_ = four;
  UpdateEditFormat();
  SetTextGuarded(ValueToText(value_));
}

void TCustomDBDateTimeEditEh::UpdateEditFormat() {
  switch (kind_) {
    case dtkDateEh:
      editFormat_ = DefaultDateEditFormatEh(fourDigitYear_);
      break;
    case dtkTimeEh:
      editFormat_ = DefaultTimeEditFormatEh();
      break;
    case dtkDateTimeEh:
      editFormat_ = DefaultDateEditFormatEh(fourDigitYear_) + " " + DefaultTimeEditFormatEh();
      break;
    default:
      break;
  }
  TDateTimeElementsEh elements{};
  std::string mask;
  if (!editFormat_.empty()) ParseEditFormatEh(editFormat_, elements, mask);
  displayFormat_ = editFormat_.empty() ? std::string() : EditFormatToDisplayFormatEh(editFormat_);
  elements_ = elements;
  TCounterScope settingText(inSetText_);
  BeginInternalText();
  TScopeExit endInternalText([&] { EndInternalText(); });
  SetEditMask(mask);
}

void TCustomDBDateTimeEditEh::ReReadValue() {
  DataChanged();
}

// --- value and text -------------------------------------------------------------------------------

void TCustomDBDateTimeEditEh::SetTextGuarded(const std::string& AText) {
  TCounterScope settingText(inSetText_);
  SetEditTextInternally(AText);
}

std::string TCustomDBDateTimeEditEh::ValueToText(const Variant& V) const {
  if (V.IsNull() || V.IsEmpty()) return std::string();
  const TDateTime dt = V.AsDateTime();
  return HasMask() ? FormatDateTime(displayFormat_, dt) : DateTimeToStr(dt);
}

Variant TCustomDBDateTimeEditEh::TextToValue(const std::string& AText) const {
  if (HasMask()) {
    TDateTimePartsEh parts;
    TextToDatePartsEh(AText, elements_, parts);
    Variant v = value_;
    if (!DatePartsToValueEh(parts, elements_, v, false)) return Variant::Null();
    return v;
  }
  const std::string t = Trimmed(AText);
  TDateTime dt = 0;
  if (t.empty() || !TryStrToDateTime(t, dt) || !InDateRange(dt)) return Variant::Null();
  return Variant::FromDate(dt);
}

Variant TCustomDBDateTimeEditEh::GetVariantValue() {
  return value_;
}

void TCustomDBDateTimeEditEh::SetVariantValue(const Variant& V) {
  const Variant v = ToDateTimeVariant(V);
  const std::string text = ValueToText(v);
  value_ = v;
  SetTextGuarded(text);
}

namespace {

// "15-06-2025" or "15.06.2025" where the mask shows "15/06/2025" is the same date: a common
// date separator between two digits becomes the locale's before the text is laid in.
std::string WithLocaleDateSeparators(const std::string& Clip) {
  const std::string& separator = FormatSettings().DateSeparator;
  if (separator.size() != 1) return Clip;
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  std::string text = Clip;
  for (size_t i = 1; i + 1 < text.size(); ++i)
    if ((text[i] == '-' || text[i] == '.' || text[i] == '/') && digit(text[i - 1]) && digit(text[i + 1]))
      text[i] = separator[0];
  return text;
}

}  // namespace

bool TCustomDBDateTimeEditEh::LayIntoMask(std::string& EditText, int& SelStart, int SelStop,
                                          const std::string& Clip, Variant& Value) const {
  std::u32string text = MaskToCodePoints(EditText);
  // A character the mask drops (a sign, a letter, a digit beyond the last position) would
  // leave the rest to stand for another value.
  const std::string clip = kind_ == dtkTimeEh ? Clip : WithLocaleDateSeparators(Clip);
  const bool all = MaskModel().Paste(text, SelStart, SelStop, MaskToCodePoints(clip));
  EditText = MaskFromCodePoints(text);
  TDateTimePartsEh parts;
  const bool numbers = TextToDatePartsEh(EditText, elements_, parts);
  const bool blank = std::all_of(parts.begin(), parts.end(), [](int p) { return p == -1; });
  Value = value_;
  if (blank) Value = Variant::Null();
  return all && (blank || (numbers && DatePartsToValueEh(parts, elements_, Value, false)));
}

void TCustomDBDateTimeEditEh::InternalSetText(const std::string& AText) {
  Variant v;
  std::string text;
  if (HasMask()) {
    // Laid in as a paste over the whole blank text, so that both refuse the same texts.
    text = MaskFromCodePoints(MaskModel().EmptyText());
    int caret = 0;
    if (!LayIntoMask(text, caret, MaskModel().Count(), AText, v))
      throw Exception("Invalid datetime: \"" + AText + "\"");
  } else {
    text = AText;
    const std::string t = Trimmed(AText);
    v = t.empty() ? Variant::Null() : ToDateTimeVariant(Variant::FromDate(StrToDateTime(t)));
  }
  value_ = v;
  SetTextGuarded(text);
}

void TCustomDBDateTimeEditEh::ValidateEdit() {
  if (inValidate_) return;
  TValueRestorer validating(inValidate_, true);
  inherited::ValidateEdit();
  if (!HasMask()) return;
  TDateTimePartsEh parts;
  TextToDatePartsEh(EditText(), elements_, parts);
  Variant v = value_;
  // Missing parts come from today and out-of-range ones are clamped, so this never fails for
  // an incomplete date; a failure leaves Null.
  DatePartsToValueEh(parts, elements_, v, true);
  value_ = v;
  SetTextGuarded(ValueToText(v));
}

void TCustomDBDateTimeEditEh::WriteValueToField() {
  Variant result;
  if (HasMask()) {
    // Components the format does not show keep the stored value's; a Null stored value has
    // nothing to keep, so the editor's own value stands.
    result = Field() ? Field()->Value() : DataLink()->DataIndependentValue();
    if (result.IsNull() || result.IsEmpty()) result = value_;
    TDateTimePartsEh parts{-1, -1, -1, -1, -1, -1};
    if (!value_.IsNull()) parts = DecodeParts(value_.AsDateTime());
    if (!DatePartsToValueEh(parts, elements_, result, true)) result = Variant::Null();
  } else {
    const std::string t = Trimmed(Text());
    result = t.empty() ? Variant::Null() : ToDateTimeVariant(Variant::FromDate(StrToDateTime(t)));
  }
  DataLink()->SetValue(result);
}

void TCustomDBDateTimeEditEh::DataChanged() {
  Variant v = Variant::Null();
  if (TField* f = Field()) {
    if (f->Alignment() != Alignment()) Invalidate();
    v = f->Value();
  } else if (IsDataIndependent()) {
    v = DataLink()->DataIndependentValue();
  }
  try {
    SetVariantValue(v);
  } catch (const Exception&) {
    // A stored value that is no date shows as empty rather than breaking the data event.
    SetVariantValue(Variant::Null());
  }
  UpdateEditReadOnly();
  SetModified(false);
}

void TCustomDBDateTimeEditEh::Change() {
  if (inSetText_ == 0) {
    value_ = TextToValue(EditText());
    UpdateImageIndex();
  }
  inherited::Change();
}

std::string TCustomDBDateTimeEditEh::GetPaintText() {
  TField* f = Field();
  if (ControlState().Contains(csPaintCopy) && f) {
    if (f->IsNull()) return std::string();
    const TDateTime dt = f->AsDateTime();
    return HasMask() ? FormatDateTime(displayFormat_, dt) : DateTimeToStr(dt);
  }
  return inherited::GetPaintText();
}

void TCustomDBDateTimeEditEh::FilterMRUItem(const std::string& AText, bool& Accept) {
  std::string t = Text();
  const std::string& sep = FormatSettings().DateSeparator;
  for (bool stripped = true; stripped;) {
    stripped = false;
    while (!t.empty() && t.back() == ' ') t.pop_back(), stripped = true;
    if (!sep.empty() && t.size() >= sep.size() && t.compare(t.size() - sep.size(), sep.size(), sep) == 0) {
      t.resize(t.size() - sep.size());
      stripped = true;
    }
  }
  bool begins = AText.size() >= t.size();
  for (size_t i = 0; begins && i < t.size(); ++i)
    begins =
        std::tolower(static_cast<unsigned char>(AText[i])) == std::tolower(static_cast<unsigned char>(t[i]));
  Accept = Accept && begins;
}

// --- stepping and sections ------------------------------------------------------------------------

bool TCustomDBDateTimeEditEh::StepSectionAtCaret(bool Up) {
  TStepSectionResultEh r;
  if (!StepSectionEh(editFormat_, EditText(), SelStart(), Up, r)) return false;
  SetEditText(r.Text);
  DataLink()->Modified();
  SetSelStart(r.SelStart);
  SetSelLength(r.SelLength);
  return true;
}

void TCustomDBDateTimeEditEh::MoveToNextSection(char32_t Separator) {
  const std::u32string text = ToU32(EditText());
  // A caret just after a separator (a section that was just entered) still sees that separator;
  // a whole selected section looks beyond itself.
  const int selStart = SelStart();
  const size_t from = static_cast<size_t>(SelLength() > 1 ? selStart : std::max(0, selStart - 1));
  const size_t at = from < text.size() ? text.find(Separator, from) : std::u32string::npos;
  int start = 0, length = 0;
  const int caret = at == std::u32string::npos ? 0 : static_cast<int>(at) + 1;
  if (!SectionAtCaretEh(editFormat_, caret, start, length) &&
      !SectionAtCaretEh(editFormat_, 0, start, length))
    return;
  SetSelStart(start);
  SetSelLength(length);
}

void TCustomDBDateTimeEditEh::ButtonDropDown(bool TopButton) {
  if (IsUpDownStyle(EditButton()->Style())) {
    if (HasMask() && !ReadOnly() && DataLink()->Edit()) StepSectionAtCaret(TopButton);
    return;
  }
  inherited::ButtonDropDown(TopButton);
}

// --- keys, wheel and focus ------------------------------------------------------------------------

void TCustomDBDateTimeEditEh::KeyDown(WORD& Key, TShiftState Shift) {
  swallowChar_ = false;
  if (calendarDropped_) {
    if ((Key == VK_UP || Key == VK_DOWN) && Shift == TShiftState{ssAlt}) {
      CloseUp(true);
      Key = 0;
      return;
    }
    if ((Key == VK_RETURN || Key == VK_ESCAPE) && Shift.Empty()) {
      CloseUp(Key == VK_RETURN);
      swallowChar_ = true;
      Key = 0;
      return;
    }
    const bool plain = Shift.Empty() && (Key == VK_UP || Key == VK_DOWN || Key == VK_LEFT ||
                                         Key == VK_RIGHT || Key == VK_PRIOR || Key == VK_NEXT);
    const bool ctrlHomeEnd = Shift == TShiftState{ssCtrl} && (Key == VK_HOME || Key == VK_END);
    if ((plain || ctrlHomeEnd) && calendar_ && calendar_->HandleAllocated()) {
      SendMessage(calendar_->Handle(), WM_KEYDOWN, Key, 0);
      Key = 0;
      return;
    }
  }
  if (HasMask() && Shift.Empty()) {
    const bool step = (Key == VK_UP || Key == VK_DOWN) && !ReadOnly();
    const bool collapse = (Key == VK_LEFT || Key == VK_RIGHT) && SelLength() > 1;
    if (step || collapse) {
      OnKeyDown(this, Key, Shift);
      if (Key != 0 && InplaceEditHolderIntf()) InplaceEditHolderIntf()->InplaceEditKeyDown(this, Key, Shift);
      if (Key == 0) return;
      if (step) {
        if (DataLink()->Edit()) {
          StepSectionAtCaret(Key == VK_UP);
          Key = 0;
          return;
        }
      } else {
        const int start = SelStart();
        SetCursor(Key == VK_LEFT ? start : start + SelLength() - 1);
        Key = 0;
        return;
      }
    }
  }
  inherited::KeyDown(Key, Shift);
}

void TCustomDBDateTimeEditEh::KeyPress(char32_t& Key) {
  if (swallowChar_ && (Key == U'\r' || Key == 27)) {
    // The character of the Enter or Escape that closed the calendar.
    swallowChar_ = false;
    Key = 0;
    return;
  }
  swallowChar_ = false;
  if (HasMask() && Key != 0) {
    const char32_t dateSep = FirstChar(FormatSettings().DateSeparator);
    const char32_t timeSep = FirstChar(FormatSettings().TimeSeparator);
    if ((dateSep && Key == dateSep) || (timeSep && Key == timeSep)) {
      MoveToNextSection(Key);
      Key = 0;
      return;
    }
  }
  inherited::KeyPress(Key);
}

void TCustomDBDateTimeEditEh::WMMouseWheel(TMessage& Message) {
  if (calendarDropped_ && calendar_ && calendar_->HandleAllocated()) {
    SendMessage(calendar_->Handle(), WM_MOUSEWHEEL, Message.WParam, Message.LParam);
    Message.Result = 1;
    return;
  }
  const bool modifier = (Message.Keys() & (MK_SHIFT | MK_CONTROL)) != 0 || GetKeyState(VK_MENU) < 0;
  if (!MRUList()->DroppedDown() && !modifier && !ReadOnly() && HasMask() && Message.WheelDelta() != 0 &&
      DataLink()->Edit()) {
    StepSectionAtCaret(Message.WheelDelta() > 0);
    Message.Result = 1;
    return;
  }
  inherited::WMMouseWheel(Message);
}

void TCustomDBDateTimeEditEh::WMPaste(TMessage& Message) {
  if (!HasMask() || !EditCanModify() || TCustomEdit::ReadOnly()) {
    // Without a mask the text stays for correction and its write raises, as a typed one.
    inherited::WMPaste(Message);
    return;
  }
  std::string clip;
  if (!ReadClipboardLine(clip)) return;
  // Refused as the mask refuses a typed character: leaving would otherwise complete the parts
  // into whatever date they come nearest to.
  std::string text = EditText();
  int caret = SelStart();
  Variant unused;
  if (!LayIntoMask(text, caret, caret + SelLength(), clip, unused)) {
    MessageBeep(0);
    return;
  }
  // What was laid in, separators made the locale's, as one edit.
  ApplyEdit(MaskToCodePoints(text), caret);
}

bool TCustomDBDateTimeEditEh::IsCalendarWindow(HWND Wnd) const {
  if (!Wnd || !calendar_ || !calendar_->HandleAllocated()) return false;
  return Wnd == calendar_->Handle() || IsChild(calendar_->Handle(), Wnd);
}

void TCustomDBDateTimeEditEh::WMKillFocus(TMessage& Message) {
  inherited::WMKillFocus(Message);
  if (calendarDropped_ && !IsCalendarWindow(reinterpret_cast<HWND>(Message.WParam))) CloseUp(false);
}

void TCustomDBDateTimeEditEh::CMCancelMode(TMessage& Message) {
  inherited::CMCancelMode(Message);
  if (!calendarDropped_) return;
  auto* sender = reinterpret_cast<TControl*>(Message.LParam);
  for (TControl* c = sender; c; c = c->Parent())
    if (c == this || c == calendar_) return;
  CloseUp(false);
}

void TCustomDBDateTimeEditEh::CMEnter(TMessage& Message) {
  UpdateFourDigitYear();
  inherited::CMEnter(Message);
}

void TCustomDBDateTimeEditEh::CMWantSpecialKey(TMessage& Message) {
  const WORD key = Message.CharCode();
  if (calendarDropped_ && (key == VK_RETURN || key == VK_ESCAPE)) {
    Message.Result = 1;
    return;
  }
  inherited::CMWantSpecialKey(Message);
}

void TCustomDBDateTimeEditEh::WMGetDlgCode(TMessage& Message) {
  inherited::WMGetDlgCode(Message);
  if (calendarDropped_) Message.Result |= DLGC_WANTALLKEYS;
}

// --- calendar -------------------------------------------------------------------------------------

void TCustomDBDateTimeEditEh::DropDown() {
  inherited::DropDown();
  if (calendarDropped_) return;
  OnDropDown(this);
  if (!calendar_) {
    calendar_ = new TPopupMonthCalendarEh(this);
    calendar_->OnDayPicked = TNotifyEvent::Method(this, &TCustomDBDateTimeEditEh::CalendarPicked);
    calendar_->SetVisible(false);
    calendar_->SetParent(this);
  }
  calendar_->SetDate(value_.IsNull() ? Date() : value_.AsDateTime());
  calendar_->HandleNeeded();
  calendar_->UpdateSize();
  TPoint pos;
  DropDownWindowBelowControl(this, calendar_, UseRightToLeftAlignment() ? daRight : daLeft, pos);
  calendar_->SetBounds(pos.X, pos.Y, calendar_->Width(), calendar_->Height());
  calendar_->SetVisible(true);
  calendarDropped_ = true;
  SetDroppedDown(true);
}

void TCustomDBDateTimeEditEh::CloseUp(bool Accept) {
  if (!calendarDropped_) return;
  if (HWND capture = GetCapture();
      capture && (IsCalendarWindow(capture) || capture == Handle() || IsChild(Handle(), capture)))
    ReleaseCapture();
  if (IsCalendarWindow(GetFocus()) && CanFocus()) SetFocus();
  calendar_->SetVisible(false);
  calendarDropped_ = false;
  SetDroppedDown(false);
  inherited::CloseUp(Accept);
  if (Accept && !ReadOnly() && DataLink()->Edit()) {
    TDateTime picked = DateOf(calendar_->Date());
    if (!value_.IsNull()) picked = JoinDateWithTimeOfDayEh(picked, value_.AsDateTime());
    Variant v = value_;
    if (!HasMask() || !DatePartsToValueEh(DecodeParts(picked), elements_, v, false))
      v = Variant::FromDate(picked);
    SetVariantValue(v);
    DataLink()->Modified();
    SetModified(true);
    if (Focused()) SelectAll();
  }
  OnCloseUp(this, Accept);
}

void TCustomDBDateTimeEditEh::CalendarPicked(TObject* Sender) {
  CloseUp(true);
}

void TCustomDBDateTimeEditEh::EditButtonMouseMove(TObject* Sender, TShiftState Shift, int X, int Y) {
  inherited::EditButtonMouseMove(Sender, Shift, X, Y);
  auto* control = dynamic_cast<TControl*>(Sender);
  if (!calendarDropped_ || !control || control != ButtonControl(0) || !control->MouseCapture() ||
      !calendar_->HandleAllocated())
    return;
  const TPoint p = calendar_->ScreenToClient(control->ClientToScreen(TPoint{X, Y}));
  if (!PtInRect(calendar_->ClientRect(), p)) return;
  // Dragging from the button into the calendar carries on as a press in the calendar.
  control->SetMouseCapture(false);
  SendMessage(calendar_->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.X, p.Y));
}

// --- streaming ------------------------------------------------------------------------------------

void TCustomDBDateTimeEditEh::DefineProperties(TFiler& Filer) {
  inherited::DefineProperties(Filer);
  Filer.DefineProperty(
      "EditFormat", [this](TReader& Reader) { SetEditFormat(Reader.ReadString()); },
      [this](TWriter& Writer) { Writer.WriteString(editFormat_); }, kind_ == dtkCustomEh);
}

// --- the published editor -------------------------------------------------------------------------

void TDBDateTimeEditEh::DescribeClass(TClassBuilder<TDBDateTimeEditEh>& c) {
  using db_edit_publish::Mutable;
  using db_edit_publish::PublishEvent;
  PublishDBEditProperties(c, 0);
  // A custom kind is described by its EditFormat (DefineProperties).
  c.Property("Kind", &TCustomDBDateTimeEditEh::Kind, &TCustomDBDateTimeEditEh::SetKind)
      .Default(dtkDateEh)
      .StoredIf([](const TObject& o) { return Mutable<TDBDateTimeEditEh>(o).Kind() != dtkCustomEh; });
  PublishDBEditValue(c);
  PublishDBEditEvents(c);
  PublishEvent(c, "OnCloseUp", &TCustomDBDateTimeEditEh::OnCloseUp);
  PublishEvent(c, "OnDropDown", &TCustomDBDateTimeEditEh::OnDropDown);
}

void RegisterDBDateTimeEditClasses() {
  RegisterClass(TDBDateTimeEditEh::StaticClass());
}
