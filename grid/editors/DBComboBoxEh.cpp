// The combo box editor: text and key modes, item matching and type-ahead, the drop-down list
// and its mouse and keys, stepping with the arrow keys and the wheel.
#include "grid/editors/DBComboBoxEh.h"

#include <algorithm>

#include "grid/editors/ControlEmptyDataInfoEh.h"
#include "grid/editors/DBEditPublishEh.h"
#include "grid/editors/EditImageEh.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "grid/foundation/DropDownPlacementEh.h"
#include "grid/foundation/KeyboardStateEh.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Menus.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Cursors.h"

RTL_IMPLEMENT_CLASS(TDropDownBoxEh)
RTL_IMPLEMENT_CLASS(TCustomDBComboBoxEh)
RTL_IMPLEMENT_CLASS(TDBComboBoxEh)

namespace {

bool IsMemoField(const TField* F) {
  return F->DataType() == ftMemo || F->DataType() == ftFmtMemo;
}

std::string FieldKeyText(TField* F) {
  return IsMemoField(F) ? F->AsString() : F->Text();
}

// Null, Empty and arrays have no key text.
bool HasKeyText(const Variant& V) {
  return !V.IsNull() && !V.IsEmpty() && !V.IsArray();
}

bool Within(TControl* C, TControl* Root) {
  for (; C; C = C->Parent())
    if (C == Root) return true;
  return false;
}

}  // namespace

// --- TDropDownBoxEh ----------------------------------------------------------------------------

void TDropDownBoxEh::DescribeClass(TClassBuilder<TDropDownBoxEh>& c) {
  c.Property("Align", &TDropDownBoxEh::Align, &TDropDownBoxEh::SetAlign).Default(daLeft);
  c.Property("AutoDrop", &TDropDownBoxEh::AutoDrop, &TDropDownBoxEh::SetAutoDrop);
  c.Property("Rows", &TDropDownBoxEh::Rows, &TDropDownBoxEh::SetRows).Default(7);
  c.Property("Sizable", &TDropDownBoxEh::Sizable, &TDropDownBoxEh::SetSizable);
  c.Property("Width", &TDropDownBoxEh::Width, &TDropDownBoxEh::SetWidth).Default(0);
}

void TDropDownBoxEh::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TDropDownBoxEh*>(Source)) {
    align_ = src->align_;
    rows_ = src->rows_;
    width_ = src->width_;
    sizable_ = src->sizable_;
    return;
  }
  inherited::Assign(Source);
}

// --- construction ------------------------------------------------------------------------------

TCustomDBComboBoxEh::TCustomDBComboBoxEh(TComponent* AOwner) : TCustomDBEditEh(AOwner) {
  dropDownBox_ = CreateDropDownBox();
  dropDownBox_->SetRows(7);
  items_ = std::make_unique<TStringList>();
  items_->SetCaseSensitive(false);
  items_->OnChange = TNotifyEvent::Method(this, &TCustomDBComboBoxEh::ItemsChanged);
  keyItems_ = std::make_unique<TStringListEh>();
  keyItems_->SetCaseSensitive(true);
  keyItems_->OnChange = TNotifyEvent::Method(this, &TCustomDBComboBoxEh::KeyItemsChanged);
  // The base constructor could not reach the overrides.
  RecreateEditButton();
  UpdateEditReadOnly();
  UpdateImageIndex();
}

TCustomDBComboBoxEh::~TCustomDBComboBoxEh() {
  items_->OnChange = TNotifyEvent();
  keyItems_->OnChange = TNotifyEvent();
  if (popupListbox_) {
    // The list's messages must not reach this editor while it is freed.
    popupListbox_->SetWindowProc(listDefaultWndProc_);
    delete popupListbox_;
    popupListbox_ = nullptr;
  }
}

std::unique_ptr<TDropDownBoxEh> TCustomDBComboBoxEh::CreateDropDownBox() {
  return std::make_unique<TDropDownBoxEh>(this);
}

std::unique_ptr<TEditButtonEh> TCustomDBComboBoxEh::CreateEditButton() {
  return std::make_unique<TVisibleEditButtonEh>(static_cast<TWinControl*>(this));
}

void TCustomDBComboBoxEh::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == popupListbox_) popupListbox_ = nullptr;
}

// --- lists and modes ---------------------------------------------------------------------------

void TCustomDBComboBoxEh::ItemsChanged(TObject*) {
  UpdateItemsState();
}

void TCustomDBComboBoxEh::KeyItemsChanged(TObject*) {
  UpdateItemsState();
  DataLink()->Reset();
}

void TCustomDBComboBoxEh::UpdateItemsState() {
  const bool wasKeyMode = keyMode_;
  keyMode_ = keyItems_->Count() > 0;
  itemCount_ = keyMode_ ? std::min(items_->Count(), keyItems_->Count()) : items_->Count();
  if (keyMode_ && !wasKeyMode) {
    itemIndex_ = -1;
    TValueRestorer settingItemText(settingItemText_, true);
    TCustomDBEditEh::InternalSetText(std::string());
  } else if (keyMode_) {
    // The key stays; its item may have moved.
    SetVariantValue(keyValue_);
  }
  UpdateEditReadOnly();
  if (keyMode_)
    ResetMaxLength();
  else
    SyncItemIndexWithText();
  if (ListVisible()) {
    popupListbox_->SetItemsList(items_.get());
    popupListbox_->SetCount(itemCount_);
    popupListbox_->SetItemIndex(itemIndex_);
  }
}

int TCustomDBComboBoxEh::IndexOfText(const std::string& Text) const {
  const int i = items_->IndexOf(Text);
  return i >= 0 && i < itemCount_ ? i : -1;
}

void TCustomDBComboBoxEh::SyncItemIndexWithText() {
  const int i = IndexOfText(Text());
  if (i == itemIndex_) return;
  itemIndex_ = i;
  UpdateImageIndex();
  if (ListVisible()) popupListbox_->SetItemIndex(i);
}

void TCustomDBComboBoxEh::RequestItems() {
  if (items_->Count() == 0 && OnGetItemsList) OnGetItemsList(this);
}

void TCustomDBComboBoxEh::MarkUserChange() {
  DataLink()->Modified();
  SetModified(true);
}

// --- item index --------------------------------------------------------------------------------

void TCustomDBComboBoxEh::SetItemIndex(int Value) {
  if (ComponentState().Contains(csDesigning) && !IsDataIndependent()) return;
  // The link's own Edit: it does nothing without a data set.
  if (!IsDataIndependent()) DataLink()->Edit();
  SetItemIndexInternal(Value);
  if (!InUpdateData()) UpdateData();
}

void TCustomDBComboBoxEh::SetItemIndexInternal(int Index) {
  if (Index == itemIndex_) return;
  RequestItems();
  // An index at or past the item count selects nothing (KeyItems may be longer than Items).
  if (Index >= 0 && Index < itemCount_) {
    itemIndex_ = Index;
    if (keyMode_) keyValue_ = Variant(keyItems_->Strings(Index));
  } else {
    itemIndex_ = -1;
    keyValue_ = Variant::Null();
  }
  UpdateImageIndex();
  if (ListVisible()) popupListbox_->SetItemIndex(itemIndex_);
  TValueRestorer settingItemText(settingItemText_, true);
  TCustomDBEditEh::InternalSetText(itemIndex_ >= 0 ? items_->Strings(itemIndex_) : std::string());
}

bool TCustomDBComboBoxEh::LocateItem(const std::string& Text, bool Partial) {
  if (!EditCanModify()) return false;
  const int old = itemIndex_;
  const int length = Utf8Length(Text);
  const std::string key = AnsiUpperCase(Text);
  int found = -1;
  for (int i = 0; i < itemCount_ && found < 0; ++i) {
    const std::string item = Partial ? Utf8Left(items_->Strings(i), length) : items_->Strings(i);
    if (AnsiUpperCase(item) == key) found = i;
  }
  if (found < 0) {
    if (!keyMode_) SetItemIndexInternal(-1);
  } else {
    SetItemIndexInternal(found);
    if (Partial) {
      // The typed prefix stays before the caret, the rest of the item is selected.
      SetSelStart(length);
      SetSelLength(std::max(0, Utf8Length(this->Text()) - length));
    }
  }
  const bool changed = itemIndex_ != old;
  if (changed) MarkUserChange();
  return changed;
}

bool TCustomDBComboBoxEh::TypeAhead(const std::string& Text) {
  if (!Field() && !IsDataIndependent()) return false;
  if (!EditCanModify()) return false;
  const std::string current = this->Text();
  const int length = Utf8Length(current);
  if (Text == "\b") {
    // The typed prefix shrinks by one character; no item is looked up.
    const int selStart = SelStart();
    const int selEnd = selStart + SelLength();
    if (selStart >= length) {
      SetSelStart(std::max(0, length - 1));
      SetSelLength(length > 0 ? 1 : 0);
    } else {
      const int newStart = std::max(0, selStart - 1);
      SetSelStart(newStart);
      SetSelLength(selEnd - newStart);
    }
    return false;
  }
  const std::string prefix = Utf8Left(current, SelStart()) + Text;
  RequestItems();
  if (prefix.empty()) return false;
  return LocateItem(prefix, true);
}

void TCustomDBComboBoxEh::SelectNextItem(bool Up) {
  if (!EditCanModify()) return;
  RequestItems();
  const int old = itemIndex_;
  int next = old;
  if (!Up) {
    if (old + 1 < itemCount_) next = old + 1;
  } else if (old >= 1) {
    next = old - 1;
  } else if (old < 0 && itemCount_ > 0) {
    next = itemCount_ - 1;
  }
  if (next == old) return;
  SetItemIndexInternal(next);
  if (itemIndex_ == old) return;
  MarkUserChange();
  SelectAll();
}

// --- value -------------------------------------------------------------------------------------

Variant TCustomDBComboBoxEh::GetVariantValue() {
  return keyMode_ ? keyValue_ : inherited::GetVariantValue();
}

void TCustomDBComboBoxEh::SetVariantValue(const Variant& V) {
  if (!keyMode_) {
    inherited::SetVariantValue(V);
    SyncItemIndexWithText();
    return;
  }
  keyValue_ = V;
  int index = HasKeyText(V) ? keyItems_->IndexOf(VarToStr(V)) : -1;
  if (index >= itemCount_) index = -1;
  itemIndex_ = index;
  {
    TValueRestorer settingItemText(settingItemText_, true);
    TCustomDBEditEh::InternalSetText(index >= 0 ? items_->Strings(index) : std::string());
  }
  UpdateImageIndex();
  if (ListVisible()) popupListbox_->SetItemIndex(itemIndex_);
}

void TCustomDBComboBoxEh::InternalSetText(const std::string& AText) {
  if (!keyMode_) {
    inherited::InternalSetText(AText);
    SyncItemIndexWithText();
    return;
  }
  // Only an item's text can be shown.
  const int index = IndexOfText(AText);
  if (index < 0) return;
  itemIndex_ = index;
  keyValue_ = Variant(keyItems_->Strings(index));
  {
    TValueRestorer settingItemText(settingItemText_, true);
    inherited::InternalSetText(items_->Strings(index));
  }
  UpdateImageIndex();
  if (ListVisible()) popupListbox_->SetItemIndex(itemIndex_);
}

void TCustomDBComboBoxEh::WriteValueToField() {
  // Unbound, the link keeps the key itself, so a Null key stays Null.
  if (keyMode_ && IsDataIndependent())
    DataLink()->SetValue(keyValue_);
  else if (keyMode_)
    DataLink()->SetText(HasKeyText(keyValue_) ? VarToStr(keyValue_) : std::string());
  else
    inherited::WriteValueToField();
}

void TCustomDBComboBoxEh::DataChanged() {
  if (!keyMode_) {
    inherited::DataChanged();
    SyncItemIndexWithText();
    return;
  }
  if (!IsEditMaskStored()) TCustomMaskEdit::SetEditMask(std::string());
  if (TField* f = Field())
    SetVariantValue(f->IsNull() ? Variant::Null() : Variant(FieldKeyText(f)));
  else if (IsDataIndependent())
    SetVariantValue(DataLink()->DataIndependentValue());
  else
    SetVariantValue(Variant::Null());
  UpdateEditReadOnly();
  SetModified(false);
}

void TCustomDBComboBoxEh::UpdateData() {
  if (OnNotInList && itemIndex_ == -1) {
    bool recheck = false;
    OnNotInList(this, Text(), recheck);
    if (recheck && !keyMode_) SyncItemIndexWithText();
  }
  inherited::UpdateData();
}

void TCustomDBComboBoxEh::Clear() {
  if (keyMode_)
    SetValue(Variant::Null());
  else
    inherited::Clear();
}

TAlignment TCustomDBComboBoxEh::DefaultAlignment() const {
  return keyMode_ ? taLeftJustify : inherited::DefaultAlignment();
}

bool TCustomDBComboBoxEh::IsValidChar(char32_t Key) {
  return keyMode_ || inherited::IsValidChar(Key);
}

void TCustomDBComboBoxEh::UpdateEditReadOnly() {
  // In key mode the text is never typed directly.
  if (keyMode_)
    TCustomEdit::SetReadOnly(true);
  else
    inherited::UpdateEditReadOnly();
}

void TCustomDBComboBoxEh::ResetMaxLength() {
  if (keyMode_)
    TCustomMaskEdit::SetMaxLength(0);
  else
    inherited::ResetMaxLength();
}

int TCustomDBComboBoxEh::DefaultImageIndex() const {
  return itemImageIndex_;
}

void TCustomDBComboBoxEh::UpdateImageIndex() {
  itemImageIndex_ = itemIndex_;
  OnGetItemImageIndex(this, itemIndex_, itemImageIndex_);
  inherited::UpdateImageIndex();
}

std::string TCustomDBComboBoxEh::GetPaintText() {
  if (keyMode_ && ControlState().Contains(csPaintCopy)) {
    if (TField* f = Field()) {
      const int index = keyItems_->IndexOf(FieldKeyText(f));
      return index >= 0 && index < itemCount_ ? items_->Strings(index) : std::string();
    }
  }
  return inherited::GetPaintText();
}

void TCustomDBComboBoxEh::Change() {
  if (!settingItemText_ && !keyMode_) SyncItemIndexWithText();
  const bool typed = !settingItemText_ && !SettingTextInternally();
  inherited::Change();
  if (typed) OnChangeNotify(this, ccrTextTypedEh);
}

// --- keys --------------------------------------------------------------------------------------

bool TCustomDBComboBoxEh::IsButtonShortCut(WORD Key, TShiftState Shift) const {
  const TShortCut sc = ::ShortCut(Key, Shift);
  if (sc == scNone) return false;
  if (EditButton() && EditButton()->ShortCut() == sc) return true;
  for (int i = 0; EditButtons() && i < EditButtons()->Count(); ++i)
    if (EditButtons()->Items(i)->ShortCut() == sc) return true;
  return false;
}

void TCustomDBComboBoxEh::KeyDown(WORD& Key, TShiftState Shift) {
  if (ListVisible()) {
    if ((Key == VK_UP || Key == VK_DOWN) && Shift.Contains(ssAlt)) {
      CloseUp(true);
      Key = 0;
      return;
    }
    const bool listKey =
        ((Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN) && !Shift.Contains(ssAlt)) ||
        ((Key == VK_HOME || Key == VK_END) && Shift.Contains(ssCtrl));
    if (listKey && !IsButtonShortCut(Key, Shift) && popupListbox_->HandleAllocated()) {
      SendMessage(popupListbox_->Handle(), WM_KEYDOWN, Key, 0);
      Key = 0;
      return;
    }
  }
  inherited::KeyDown(Key, Shift);
  if (Key == 0) return;
  if ((Key == VK_UP || Key == VK_DOWN) && !Shift.Contains(ssAlt)) {
    const bool atEnd = !WordWrap() || (SelLength() == 0 && SelStart() >= Utf8Length(Text()));
    if (atEnd && !ReadOnly() && !ListVisible() && EditCanModify()) {
      SelectNextItem(Key == VK_UP);
      Key = 0;
    }
    return;
  }
  if (!keyMode_) return;
  if (Key == VK_DELETE) {
    TField* f = Field();
    const bool optional = IsDataIndependent() || !f || !f->Required();
    if (optional && !ReadOnly() && EditCanModify()) {
      const bool hadValue = HasKeyText(keyValue_);
      SetVariantValue(Variant::Null());
      if (hadValue) MarkUserChange();
    }
    Key = 0;
  } else if (Key == 'V' && Shift == TShiftState{ssCtrl} && !ReadOnly()) {
    Perform(WM_PASTE, 0, 0);
    Key = 0;
  }
}

void TCustomDBComboBoxEh::KeyPress(char32_t& Key) {
  if (ListVisible() && (Key == U'\r' || Key == 27)) {
    CloseUp(Key == U'\r');
    Key = 0;
    return;
  }
  inherited::KeyPress(Key);
  if (Key == 0) return;
  if (keyMode_ && !ReadOnly() && Key == 8) {
    TypeAhead("\b");
    Key = 0;
    return;
  }
  // Ctrl+V was pasted on its key press.
  if (keyMode_ && Key == 0x16) {
    Key = 0;
    return;
  }
  if (Key < 32 || Key == 0x7F) return;
  if (dropDownBox_->AutoDrop() && !ListVisible()) DropDown();
  if (keyMode_ && !ReadOnly()) {
    std::string typed;
    Utf8Append(typed, Key);
    TypeAhead(typed);
    Key = 0;
  }
}

void TCustomDBComboBoxEh::WMChar(TMessage& Message) {
  const char32_t ch = Message.CharValue();
  const std::string before = HandleAllocated() ? Text() : std::string();
  inherited::WMChar(Message);
  if (keyMode_ || !HandleAllocated() || ch == 0x7F || (ch < 32 && ch != 8)) return;
  if (GetShiftState().Contains(ssCtrl)) return;
  const std::string text = Text();
  if (text == before) return;
  const int length = Utf8Length(text);
  if (ch != 8 && SelLength() == 0 && SelStart() >= length) {
    // Typing at the end completes the text from Items.
    TypeAhead(std::string());
    return;
  }
  const int caret = SelStart();
  if (LocateItem(text, false)) {
    SetSelStart(caret);
    SetSelLength(std::max(0, Utf8Length(Text()) - caret));
  }
}

void TCustomDBComboBoxEh::CMWantSpecialKey(TMessage& Message) {
  const WORD key = Message.CharCode();
  if (ListVisible() && (key == VK_RETURN || key == VK_ESCAPE)) {
    Message.Result = 1;
    return;
  }
  inherited::CMWantSpecialKey(Message);
}

void TCustomDBComboBoxEh::WMPaste(TMessage& Message) {
  if (!keyMode_) {
    inherited::WMPaste(Message);
    return;
  }
  if (ReadOnly()) return;
  std::string clip;
  if (IsClipboardFormatAvailable(CF_TEXT) && ReadClipboardLine(clip) && !clip.empty()) TypeAhead(clip);
}

// --- mouse -------------------------------------------------------------------------------------

void TCustomDBComboBoxEh::WMMouseWheel(TMessage& Message) {
  if (ListVisible() && popupListbox_->HandleAllocated()) {
    SendMessage(popupListbox_->Handle(), WM_MOUSEWHEEL, Message.WParam, Message.LParam);
    Message.Result = 1;
    return;
  }
  const int delta = static_cast<short>(HIWORD(static_cast<uintptr_t>(Message.WParam)));
  const WORD keys = LOWORD(static_cast<uintptr_t>(Message.WParam));
  const bool modifier = (keys & (MK_SHIFT | MK_CONTROL)) != 0 || GetShiftState().Contains(ssAlt);
  const bool mruOpen = MRUList() && MRUList()->DroppedDown();
  if (!mruOpen && !modifier && delta != 0 && !ReadOnly() && DataLink()->CanModify()) {
    SelectNextItem(delta > 0);
    Message.Result = 1;
    return;
  }
  inherited::WMMouseWheel(Message);
}

void TCustomDBComboBoxEh::Dispatch(TMessage& Message) {
  if (KeyModeMouse(Message)) return;
  inherited::Dispatch(Message);
}

bool TCustomDBComboBoxEh::KeyModeMouse(TMessage& Message) {
  if (!keyMode_ || !HandleAllocated()) return false;
  const TShiftState shift = KeysToShiftState(Message.WParamLo());
  const int x = Message.XPos(), y = Message.YPos();
  // The edit gets no mouse message: no caret placement and no selection in key mode.
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (ListVisible()) {
        CloseUp(false);
      } else if (Message.Msg == WM_LBUTTONDOWN && CanUseEditButtons()) {
        if (CanFocus() && !Focused()) SetFocus();
        if (Focused()) DropDown();
      }
      MouseDown(mbLeft, Message.Msg == WM_LBUTTONDBLCLK ? shift + ssDouble : shift, x, y);
      return true;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      MouseDown(mbRight, shift, x, y);
      return true;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      MouseDown(mbMiddle, shift, x, y);
      return true;
    case WM_LBUTTONUP:
      MouseUp(mbLeft, shift, x, y);
      return true;
    case WM_MBUTTONUP:
      MouseUp(mbMiddle, shift, x, y);
      return true;
    case WM_RBUTTONUP: {
      MouseUp(mbRight, shift, x, y);
      const TPoint p = ClientToScreen(TPoint{x, y});
      SendMessage(Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Handle()), MAKELPARAM(p.X, p.Y));
      return true;
    }
    case WM_MOUSEMOVE:
      MouseMove(shift, x, y);
      return true;
    default:
      return false;
  }
}

void TCustomDBComboBoxEh::WMSetCursor(TMessage& Message) {
  if (keyMode_ && HandleAllocated() && reinterpret_cast<HWND>(Message.WParam) == Handle() &&
      LOWORD(static_cast<uintptr_t>(Message.LParam)) == HTCLIENT) {
    ::SetCursor(LoadCursor(nullptr, IDC_ARROW));
    Message.Result = 1;
    return;
  }
  inherited::WMSetCursor(Message);
}

void TCustomDBComboBoxEh::EditButtonMouseMove(TObject* Sender, TShiftState Shift, int X, int Y) {
  inherited::EditButtonMouseMove(Sender, Shift, X, Y);
  auto* control = dynamic_cast<TControl*>(Sender);
  if (!control || control != ButtonControl(0) || !Shift.Contains(ssLeft) || !ListVisible() ||
      !popupListbox_->HandleAllocated())
    return;
  const TPoint p = popupListbox_->ScreenToClient(control->ClientToScreen(TPoint{X, Y}));
  if (!PtInRect(popupListbox_->ClientRect(), p)) return;
  // A drag from the pressed button into the list: the list takes the mouse and follows it.
  control->Perform(WM_LBUTTONUP, 0, MAKELPARAM(-1, -1));
  if (GetCapture()) ReleaseCapture();
  listTracking_ = true;
  SetCapture(popupListbox_->Handle());
  const int row = ListRowAt(p.Y);
  if (row >= 0) popupListbox_->SetItemIndex(row);
}

// --- focus and cancel mode ---------------------------------------------------------------------

void TCustomDBComboBoxEh::WMKillFocus(TMessage& Message) {
  const auto next = reinterpret_cast<HWND>(Message.WParam);
  if (ListVisible() && !(popupListbox_->HandleAllocated() && next == popupListbox_->Handle())) CloseUp(false);
  inherited::WMKillFocus(Message);
}

void TCustomDBComboBoxEh::CMCancelMode(TMessage& Message) {
  auto* sender = reinterpret_cast<TControl*>(Message.LParam);
  if (ListVisible() && !Within(sender, this)) CloseUp(false);
  inherited::CMCancelMode(Message);
}

// --- the drop-down list ------------------------------------------------------------------------

bool TCustomDBComboBoxEh::ListVisible() const {
  return popupListbox_ && popupListbox_->Visible();
}

TColor TCustomDBComboBoxEh::GetListColor() {
  return Color();
}

TFont* TCustomDBComboBoxEh::GetListFont() {
  return Font();
}

void TCustomDBComboBoxEh::CreatePopupListbox() {
  TClass cls = popupListboxClass_ ? popupListboxClass_ : TPopupListboxEh::StaticClass();
  TObject* made =
      cls->InheritsFrom(TPopupListboxEh::StaticClass()) && cls->Create ? cls->Create(this) : nullptr;
  popupListbox_ = dynamic_cast<TPopupListboxEh*>(made);
  if (!popupListbox_) {
    delete made;
    popupListbox_ = new TPopupListboxEh(this);
  }
  popupListbox_->SetVisible(false);
  popupListbox_->SetParent(this);
  popupListbox_->OnGetImageIndex =
      TGetItemImageIndexEventEh::Method(this, &TCustomDBComboBoxEh::ListGetImageIndex);
  listDefaultWndProc_ = popupListbox_->WindowProc();
  popupListbox_->SetWindowProc(TWndMethod::Method(this, &TCustomDBComboBoxEh::ListWindowProc));
}

void TCustomDBComboBoxEh::ListGetImageIndex(TObject*, int Index, int& ImageIndex) {
  OnGetItemImageIndex(this, Index, ImageIndex);
}

int TCustomDBComboBoxEh::ListRowAt(int Y) {
  const int count = popupListbox_->Count();
  if (count == 0) return -1;
  if (Y < 0) return std::max(0, popupListbox_->TopIndex() - 1);
  if (Y >= popupListbox_->ClientHeight())
    return std::min(count - 1, popupListbox_->TopIndex() + popupListbox_->Rows());
  const int row = popupListbox_->ItemAtPos(TPoint{1, Y}, true);
  return row >= 0 ? row : count - 1;
}

void TCustomDBComboBoxEh::ListWindowProc(TMessage& Message) {
  TPopupListboxEh* list = popupListbox_;
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      // The list takes the mouse but not the focus: the editor keeps it.
      listTracking_ = true;
      SetCapture(list->Handle());
      const int row = ListRowAt(Message.YPos());
      if (row >= 0) {
        list->SetItemIndex(row);
        if (TPopupListboxItemEh* item = list->ItemBehaviour(row)) {
          const TRect r = list->ItemRect(row);
          item->MouseDown(list, row, mbLeft, KeysToShiftState(Message.WParamLo()),
                          TPoint{Message.XPos() - r.Left, Message.YPos() - r.Top});
        }
      }
      Message.Result = 0;
      return;
    }
    case WM_MOUSEMOVE: {
      const bool tracking = listTracking_ && GetCapture() == list->Handle();
      const int row = tracking ? ListRowAt(Message.YPos()) : list->ItemAtPos(Message.Pos(), true);
      if (tracking && row >= 0 && row != list->ItemIndex()) list->SetItemIndex(row);
      // The entry under the mouse hears of it (one that was pressed lets go when left).
      if (TPopupListboxItemEh* item = row >= 0 ? list->ItemBehaviour(row) : nullptr) {
        const TRect r = list->ItemRect(row);
        item->MouseMove(list, row, KeysToShiftState(Message.WParamLo()),
                        TPoint{Message.XPos() - r.Left, Message.YPos() - r.Top});
      }
      break;
    }
    case WM_LBUTTONUP:
      if (listTracking_) {
        listTracking_ = false;
        if (GetCapture() == list->Handle()) ReleaseCapture();
        const bool inside = PtInRect(list->ClientRect(), Message.Pos());
        bool close = true;
        const int row = inside ? list->ItemAtPos(Message.Pos(), true) : -1;
        if (row >= 0) {
          if (TPopupListboxItemEh* item = list->ItemBehaviour(row)) {
            const TRect r = list->ItemRect(row);
            item->MouseUp(list, row, mbLeft, KeysToShiftState(Message.WParamLo()),
                          TPoint{Message.XPos() - r.Left, Message.YPos() - r.Top}, close);
          }
        }
        if (close) CloseUp(inside);
        Message.Result = 0;
        return;
      }
      break;
    case WM_CAPTURECHANGED:
      listTracking_ = false;
      break;
    default:
      break;
  }
  listDefaultWndProc_(Message);
}

int TCustomDBComboBoxEh::WidestItemWidth() {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font()->Handle());
  int widest = 0;
  for (int i = 0; i < itemCount_; ++i) {
    SIZE size{};
    GetTextExtentPoint32(dc, items_->Strings(i), &size);
    widest = std::max(widest, static_cast<int>(size.cx));
  }
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return widest;
}

void TCustomDBComboBoxEh::DropDown() {
  if (ListVisible()) return;
  inherited::DropDown();
  OnDropDown(this);
  RequestItems();
  if (!popupListbox_) CreatePopupListbox();
  TPopupListboxEh* list = popupListbox_;
  list->SetColor(GetListColor());
  list->Font()->Assign(GetListFont());
  TCustomImageList* images = Images();
  list->SetImages(images);
  int itemHeight = GetFontTextHeight(list->Font());
  if (images && EditImage() && EditImage()->UseImageHeight() && images->Height() > itemHeight)
    itemHeight = images->Height();
  list->SetItemHeight(itemHeight);
  list->SetItemsList(items_.get());
  list->SetCount(itemCount_);
  list->SetItemIndex(itemIndex_);

  const int rows = std::max(1, std::min(dropDownBox_->Rows(), itemCount_));
  int width = Width();
  if (dropDownBox_->Width() == -1) {
    int client = WidestItemWidth() + 5;
    if (images) client += images->Width() + 4;
    // The frame is as wide on the sides as on top and bottom; a scroll bar comes with more
    // items than rows.
    width = client + list->GetBorderSize() + (itemCount_ > rows ? GetSystemMetrics(SM_CXVSCROLL) : 0);
  } else if (dropDownBox_->Width() > 0) {
    width = dropDownBox_->Width();
  }
  width = std::max(width, Width());
  list->SetBounds(list->Left(), list->Top(), width, list->Height());
  list->SetRows(rows);

  TDropDownAlign align = dropDownBox_->Align();
  if (UseRightToLeftAlignment()) {
    if (align == daLeft)
      align = daRight;
    else if (align == daRight)
      align = daLeft;
  }
  TPoint pos{};
  DropDownWindowBelowControl(this, list, align, pos);
  list->SetBounds(pos.X, pos.Y, list->Width(), list->Height());
  if (TSizeGripEh* grip = list->SizeGrip()) grip->SetVisible(dropDownBox_->Sizable());
  list->SetSizeGripResized(false);
  list->SetVisible(true);
  if (list->HandleAllocated())
    SetWindowPos(list->Handle(), HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  // The built-in button looks pressed while its list is open.
  if (TEditButtonControlEh* button = ButtonControl(0)) button->SetAlwaysDown(true);
  SetDroppedDown(true);
}

void TCustomDBComboBoxEh::CloseUp(bool Accept) {
  if (!ListVisible() || closingUp_) return;
  TValueRestorer closingUp(closingUp_, true);
  TPopupListboxEh* list = popupListbox_;
  listTracking_ = false;
  if (HWND capture = GetCapture(); capture && ((list->HandleAllocated() && capture == list->Handle()) ||
                                               (HandleAllocated() && capture == Handle())))
    ReleaseCapture();
  const bool listHadFocus = list->HandleAllocated() && GetFocus() == list->Handle();
  if (list->HandleAllocated())
    SetWindowPos(list->Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  list->SetVisible(false);
  if (TEditButtonControlEh* button = ButtonControl(0)) button->SetAlwaysDown(false);
  SetDroppedDown(false);
  if (list->SizeGripResized()) {
    dropDownBox_->SetRows(list->Rows());
    dropDownBox_->SetWidth(list->Width());
    list->SetSizeGripResized(false);
  }
  if (listHadFocus && CanFocus()) SetFocus();
  inherited::CloseUp(Accept);
  OnCloseUpRequest(this, Accept);
  if (Accept && !ReadOnly() && DataLink()->Edit()) {
    const int old = itemIndex_;
    SetItemIndexInternal(list->ItemIndex());
    if (itemIndex_ != old) MarkUserChange();
    if (Focused()) SelectAll();
  }
  OnCloseUp(this, Accept);
  // After the close-up handler, which may act on the chosen item.
  if (Accept && list->ItemIndex() >= 0) OnChangeNotify(this, ccrListItemChosenEh);
}

// --- the published combo box -------------------------------------------------------------------

void TDBComboBoxEh::DescribeClass(TClassBuilder<TDBComboBoxEh>& c) {
  using db_edit_publish::PublishEvent;
  PublishDBEditProperties(c, db_edit_publish::dpoTextCase | db_edit_publish::dpoEmptyDataInfo);
  PublishDBEditMask(c);
  c.Property("DropDownBox", &TCustomDBComboBoxEh::DropDownBox, &TCustomDBComboBoxEh::SetDropDownBox);
  // The lists come before the text, so a described text finds its item.
  c.Property("Items", &TCustomDBComboBoxEh::Items, &TCustomDBComboBoxEh::SetItems);
  c.Property("KeyItems", &TCustomDBComboBoxEh::KeyItems, &TCustomDBComboBoxEh::SetKeyItems);
  PublishDBEditText(c);
  PublishDBEditEvents(c);
  PublishEvent(c, "OnCloseUp", &TCustomDBComboBoxEh::OnCloseUp);
  PublishEvent(c, "OnDropDown", &TCustomDBComboBoxEh::OnDropDown);
  PublishEvent(c, "OnGetItemImageIndex", &TCustomDBComboBoxEh::OnGetItemImageIndex);
  PublishEvent(c, "OnNotInList", &TCustomDBComboBoxEh::OnNotInList);
}

void RegisterDBComboBoxClasses() {
  RegisterClass(TDBComboBoxEh::StaticClass());
}
