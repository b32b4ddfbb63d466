// TCustomComboBox and TComboBox over the "ComboBox" class.
#include <algorithm>

#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/StdCtrlsItems.h"
#include "platform/win/Painting.h"

using vcl_detail::TItemStrings;

RTL_IMPLEMENT_CLASS(TCustomComboBox)
RTL_IMPLEMENT_CLASS(TComboBox)

TCustomComboBox::TCustomComboBox(TComponent* AOwner)
    : TWinControl(AOwner),
      items_(std::make_unique<TItemStrings>(this, vcl_detail::kComboBoxMessages)),
      canvas_(std::make_unique<TControlCanvas>()) {
  canvas_->SetControl(this);
  // No csCaptureMouse: the window holds the capture itself while its list is dropped.
  SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks, csFixedHeight, csReflector});
  SetBounds(Left(), Top(), 145, 21);
  SetTabStop(true);
  SetColor(clWindow);
  SetParentColor(false);
}

// The window outlives this object (the base class destroys it): give the edit back its own
// procedure first.
TCustomComboBox::~TCustomComboBox() {
  UnhookEdit();
}

void TCustomComboBox::UnhookEdit() {
  if (editHandle_ && editInstance_ && IsWindow(editHandle_) &&
      GetWindowLongPtr(editHandle_, GWLP_WNDPROC) == editInstance_->Token())
    SetWindowLongPtr(editHandle_, GWLP_WNDPROC, defEditProc_.Token());
  editHandle_ = nullptr;
}

TStrings* TCustomComboBox::Items() const {
  return items_.get();
}

void TCustomComboBox::SetItems(TStrings* Value) {
  items_->Assign(Value);
}

bool TCustomComboBox::Focused() {
  if (!HandleAllocated()) return false;
  const HWND focus = GetFocus();
  return focus && (focus == Handle() || focus == editHandle_ || focus == listHandle_);
}

void TCustomComboBox::CreateParams(TCreateParams& Params) {
  static constexpr DWORD kStyles[] = {CBS_DROPDOWN, CBS_SIMPLE, CBS_DROPDOWNLIST,
                                      CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED,
                                      CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE};
  static constexpr DWORD kCharCases[] = {0, CBS_UPPERCASE, CBS_LOWERCASE};
  inherited::CreateParams(Params);
  CreateSubClass(Params, "ComboBox");
  Params.Style |= WS_VSCROLL | CBS_HASSTRINGS | CBS_AUTOHSCROLL | kStyles[style_] | kCharCases[charCase_];
  if (sorted_) Params.Style |= CBS_SORT;
}

void TCustomComboBox::CreateWnd() {
  inherited::CreateWnd();
  COMBOBOXINFO info;
  if (GetComboBoxInfo(Handle(), &info)) {
    editHandle_ = info.hwndItem;
    listHandle_ = info.hwndList;
  }
  if (editHandle_) {
    SendMessage(Handle(), CB_LIMITTEXT, static_cast<WPARAM>(std::max(0, maxLength_)), 0);
    editInstance_ =
        std::make_unique<TWndProcInstance>([this](HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
          if (Wnd != editHandle_) return CallWindowProc(defEditProc_, Wnd, Msg, WParam, LParam);
          TMessage message(Msg, WParam, LParam);
          EditWndProc(message);
          return message.Result;
        });
    defEditProc_ =
        WNDPROC(static_cast<LONG_PTR>(SetWindowLongPtr(editHandle_, GWLP_WNDPROC, editInstance_->Token())));
  }
  items_->PushToWindow();
  if (savedItemIndex_ >= 0) {
    SendMessage(Handle(), CB_SETCURSEL, static_cast<WPARAM>(savedItemIndex_), 0);
  } else if (style_ != csDropDown && style_ != csSimple && !TextBuffer().empty()) {
    // A list-only combo box shows the item its text names.
    const int i = items_->IndexOf(TextBuffer());
    if (i >= 0) SendMessage(Handle(), CB_SETCURSEL, static_cast<WPARAM>(i), 0);
  }
}

void TCustomComboBox::DestroyWnd() {
  savedItemIndex_ = ItemIndex();
  items_->PullFromWindow();
  UnhookEdit();
  listHandle_ = nullptr;
  inherited::DestroyWnd();
}

void TCustomComboBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_COMMAND:
      CNCommand(Message);
      return;
    case CN_DRAWITEM:
      CNDrawItem(Message);
      return;
    case CN_MEASUREITEM:
      CNMeasureItem(Message);
      return;
    case WM_SETTEXT: {
      TValueRestorer<bool> keepSettingText(settingText_, true);
      inherited::Dispatch(Message);
      return;
    }
    default:
      inherited::Dispatch(Message);
  }
}

void TCustomComboBox::CNCommand(TMessage& Message) {
  switch (Message.NotifyCode()) {
    case CBN_DBLCLK:
      DblClick();
      break;
    case CBN_EDITCHANGE:
      if (!settingText_) Change();
      break;
    case CBN_DROPDOWN:
      DropDown();
      AdjustDropDown();
      break;
    case CBN_SELCHANGE: {
      const int i = ItemIndex();
      if (i >= 0) {
        const std::string item = items_->Strings(i);
        if (Text() != item) SetText(item);
      }
      Click();
      Select();
      break;
    }
    case CBN_CLOSEUP:
      CloseUp();
      break;
    default:
      break;
  }
}

void TCustomComboBox::CNDrawItem(TMessage& Message) {
  DRAWITEMSTRUCT* dis = Message.DrawItemStruct();
  if (!dis) return;
  TOwnerDrawState state = OwnerDrawStateFromItemState(dis->itemState & 0xFFFF);
  if (dis->itemState & ODS_COMBOBOXEDIT) state.Include(odComboBoxEdit);
  vcl_detail::DrawOwnerDrawItem(
      canvas_.get(), this, *dis, state,
      [this](int Index, const TRect& Rect, TOwnerDrawState State) { DrawItem(Index, Rect, State); });
  Message.Result = 1;
}

void TCustomComboBox::CNMeasureItem(TMessage& Message) {
  MEASUREITEMSTRUCT* mis = Message.MeasureItemStruct();
  if (!mis) return;
  vcl_detail::MeasureOwnerDrawItem(*mis, itemHeight_, style_ == csOwnerDrawVariable,
                                   [this](int Index, int& Height) { MeasureItem(Index, Height); });
  Message.Result = 1;
}

void TCustomComboBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
  canvas_->UpdateTextFlags();
  if (OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  canvas_->FillRect(Rect);
  if (Index >= 0 && Index < items_->Count())
    canvas_->TextOut(Rect.Left + 2, Rect.Top, items_->Strings(Index));
}

void TCustomComboBox::MeasureItem(int Index, int& Height) {
  OnMeasureItem(this, Index, Height);
}

void TCustomComboBox::EditWndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFOCUS: {
      // The focus that a click puts straight into the edit child is the combo box's for the
      // form: its focused control, CM_ENTER and CM_EXIT, CM_FOCUSCHANGED.
      TCustomForm* form = GetParentForm(this);
      if (form && !form->SetFocusedControl(this)) return;
      break;
    }
    case WM_KILLFOCUS:
      if (ControlState().Contains(csFocusing)) return;
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (DoKeyDown(Message)) return;
      break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (DoKeyUp(Message)) return;
      break;
    case WM_CHAR:
      if (DoKeyPress(Message)) return;
      break;
    default:
      break;
  }
  Message.Result = CallWindowProc(defEditProc_, editHandle_, Message.Msg, Message.WParam, Message.LParam);
}

void TCustomComboBox::Change() {
  Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(static_cast<TControl*>(this)));
  OnChange(this);
}

void TCustomComboBox::Select() {
  if (OnSelect)
    OnSelect(this);
  else
    Change();
}

void TCustomComboBox::DropDown() {
  OnDropDown(this);
}

void TCustomComboBox::CloseUp() {
  OnCloseUp(this);
}

void TCustomComboBox::AdjustDropDown() {
  if (!HandleAllocated()) return;
  const int count = std::max(1, std::min(items_->Count(), dropDownCount_));
  SetWindowPos(Handle(), nullptr, 0, 0, Width(), ItemHeight() * count + Height() + 2,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}

// --- items, selection and text ---------------------------------------------------------------

void TCustomComboBox::Clear() {
  SetText("");
  items_->Clear();
  savedItemIndex_ = -1;
}

int TCustomComboBox::ItemIndex() {
  if (!HandleAllocated()) return savedItemIndex_;
  const LRESULT r = SendMessage(Handle(), CB_GETCURSEL, 0, 0);
  return r < 0 ? -1 : static_cast<int>(r);
}

void TCustomComboBox::SetItemIndex(int Value) {
  if (!HandleAllocated()) {
    // While loading, the items may come after the index.
    if (ComponentState().Contains(csLoading)) {
      savedItemIndex_ = Value;
      return;
    }
    savedItemIndex_ = Value >= 0 && Value < items_->Count() ? Value : -1;
    if (savedItemIndex_ >= 0) SetText(items_->Strings(savedItemIndex_));
    return;
  }
  if (ItemIndex() != Value) SendMessage(Handle(), CB_SETCURSEL, static_cast<WPARAM>(Value), 0);
}

bool TCustomComboBox::DroppedDown() {
  return HandleAllocated() && SendMessage(Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool Value) {
  SendMessage(Handle(), CB_SHOWDROPDOWN, Value ? TRUE : FALSE, 0);
}

void TCustomComboBox::SelectAll() {
  if (HandleAllocated()) SendMessage(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(0, 0xFFFF));
}

int TCustomComboBox::SelStart() {
  DWORD start = 0, end = 0;
  SendMessage(Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(start);
}

void TCustomComboBox::SetSelStart(int Value) {
  SendMessage(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(Value, Value));
}

int TCustomComboBox::SelLength() {
  DWORD start = 0, end = 0;
  SendMessage(Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(end) - static_cast<int>(start);
}

void TCustomComboBox::SetSelLength(int Value) {
  DWORD start = 0, end = 0;
  SendMessage(Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  SendMessage(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(start, static_cast<int>(start) + Value));
}

std::string TCustomComboBox::SelText() {
  return vcl_detail::Utf8Sub(Text(), SelStart(), SelLength());
}

void TCustomComboBox::SetSelText(const std::string& Value) {
  HandleNeeded();
  if (editHandle_) SendMessage(editHandle_, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(Value.c_str()));
}

// --- properties ----------------------------------------------------------------------------------

void TCustomComboBox::SetStyle(TComboBoxStyle Value) {
  if (style_ == Value) return;
  style_ = Value;
  RecreateWnd();
}

void TCustomComboBox::SetCharCase(TEditCharCase Value) {
  if (charCase_ == Value) return;
  charCase_ = Value;
  RecreateWnd();
}

void TCustomComboBox::SetMaxLength(int Value) {
  maxLength_ = std::max(0, Value);
  if (HandleAllocated() && editHandle_)
    SendMessage(Handle(), CB_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void TCustomComboBox::SetSorted(bool Value) {
  if (sorted_ == Value) return;
  sorted_ = Value;
  if (sorted_ && !HandleAllocated()) items_->SortKept();
  RecreateWnd();
}

int TCustomComboBox::ItemHeight() {
  if (style_ == csOwnerDrawFixed || style_ == csOwnerDrawVariable || !HandleAllocated()) return itemHeight_;
  return static_cast<int>(SendMessage(Handle(), CB_GETITEMHEIGHT, 0, 0));
}

void TCustomComboBox::SetItemHeight(int Value) {
  if (Value <= 0 || itemHeight_ == Value) return;
  itemHeight_ = Value;
  if (style_ == csOwnerDrawFixed || style_ == csOwnerDrawVariable) RecreateWnd();
}

void TComboBox::DescribeClass(TClassBuilder<TComboBox>& c) {
  PublishControl(
      c, {"Anchors",    "BevelEdges",     "BevelInner", "BevelOuter",     "BevelKind",   "BiDiMode",
          "Color",      "Constraints",    "Ctl3D",      "DragCursor",     "DragMode",    "Enabled",
          "Font",       "ImeMode",        "ImeName",    "ParentBiDiMode", "ParentColor", "ParentCtl3D",
          "ParentFont", "ParentShowHint", "PopupMenu",  "ShowHint",       "TabOrder",    "TabStop",
          "Text",       "Visible",        "OnClick",    "OnContextPopup", "OnDblClick",  "OnEnter",
          "OnExit",     "OnKeyDown",      "OnKeyPress", "OnKeyUp"});
  c.Property("Style", &TCustomComboBox::Style, &TCustomComboBox::SetStyle);
  c.Property("CharCase", &TCustomComboBox::CharCase, &TCustomComboBox::SetCharCase);
  c.Property("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount).Default(8);
  c.Property(
       "ItemHeight", [](const TComboBox& o) { return const_cast<TComboBox&>(o).ItemHeight(); },
       &TCustomComboBox::SetItemHeight)
      .Default(16);
  c.Property(
       "ItemIndex", [](const TComboBox& o) { return const_cast<TComboBox&>(o).ItemIndex(); },
       &TCustomComboBox::SetItemIndex)
      .Default(-1);
  c.Property("MaxLength", &TCustomComboBox::MaxLength, &TCustomComboBox::SetMaxLength);
  c.Property("Sorted", &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted);
  c.Property("Items", &TCustomComboBox::Items, &TCustomComboBox::SetItems);
  c.Property("OnChange", &TComboBox::OnChange, [](TComboBox& o, const TNotifyEvent& e) { o.OnChange = e; });
  c.Property("OnSelect", &TComboBox::OnSelect, [](TComboBox& o, const TNotifyEvent& e) { o.OnSelect = e; });
  c.Property("OnDropDown", &TComboBox::OnDropDown,
             [](TComboBox& o, const TNotifyEvent& e) { o.OnDropDown = e; });
  c.Property("OnCloseUp", &TComboBox::OnCloseUp,
             [](TComboBox& o, const TNotifyEvent& e) { o.OnCloseUp = e; });
  c.Property("OnDrawItem", &TComboBox::OnDrawItem,
             [](TComboBox& o, const TDrawItemEvent& e) { o.OnDrawItem = e; });
  c.Property("OnMeasureItem", &TComboBox::OnMeasureItem,
             [](TComboBox& o, const TMeasureItemEvent& e) { o.OnMeasureItem = e; });
}
