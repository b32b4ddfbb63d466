// TCustomListBox and TListBox over the "ListBox" class, with owner draw and the virtual styles.
#include <algorithm>

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/StdCtrlsItems.h"
#include "platform/win/Painting.h"

using vcl_detail::TItemStrings;

RTL_IMPLEMENT_CLASS(TCustomListBox)
RTL_IMPLEMENT_CLASS(TListBox)

TCustomListBox::TCustomListBox(TComponent* AOwner)
    : TWinControl(AOwner),
      items_(std::make_unique<TItemStrings>(this, vcl_detail::kListBoxMessages)),
      canvas_(std::make_unique<TControlCanvas>()) {
  canvas_->SetControl(this);
  SetControlStyle(TControlStyle{csDoubleClicks});
  SetBounds(Left(), Top(), 121, 97);
  SetTabStop(true);
  SetColor(clWindow);
  SetParentColor(false);
}

TCustomListBox::~TCustomListBox() = default;

TStrings* TCustomListBox::Items() const {
  return items_.get();
}

void TCustomListBox::SetItems(TStrings* Value) {
  items_->Assign(Value);
}

void TCustomListBox::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, "ListBox");
  static constexpr DWORD kStyles[] = {0, LBS_OWNERDRAWFIXED, LBS_OWNERDRAWVARIABLE, LBS_OWNERDRAWFIXED,
                                      LBS_OWNERDRAWFIXED};
  Params.Style |= WS_VSCROLL | LBS_HASSTRINGS | LBS_NOTIFY | kStyles[style_];
  if (IsVirtual()) Params.Style = (Params.Style & ~static_cast<DWORD>(LBS_HASSTRINGS)) | LBS_NODATA;
  if (sorted_ && !IsVirtual()) Params.Style |= LBS_SORT;
  if (multiSelect_) Params.Style |= extendedSelect_ ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
  if (!integralHeight_) Params.Style |= LBS_NOINTEGRALHEIGHT;
  if (columns_ != 0) Params.Style |= LBS_MULTICOLUMN;
  if (borderStyle_ == bsSingle) Params.Style |= WS_BORDER;
  if (Ctl3D() && borderStyle_ == bsSingle) {
    Params.Style &= ~static_cast<DWORD>(WS_BORDER);
    Params.ExStyle |= WS_EX_CLIENTEDGE;
  }
  Params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TCustomListBox::CreateWnd() {
  inherited::CreateWnd();
  if (IsVirtual()) {
    SendMessage(Handle(), LB_SETCOUNT, static_cast<WPARAM>(count_), 0);
  } else {
    items_->PushToWindow();
  }
  if (style_ != lbOwnerDrawVariable && itemHeight_ > 0 && style_ != lbStandard)
    SendMessage(Handle(), LB_SETITEMHEIGHT, 0, itemHeight_);
  if (multiSelect_) {
    for (size_t i = 0; i < savedSelection_.size(); ++i)
      if (savedSelection_[i]) SendMessage(Handle(), LB_SETSEL, TRUE, static_cast<LPARAM>(i));
  }
  savedSelection_.clear();
  SetTopIndex(savedTopIndex_);
  SetItemIndex(savedItemIndex_);
}

void TCustomListBox::DestroyWnd() {
  savedItemIndex_ = ItemIndex();
  savedTopIndex_ = TopIndex();
  savedSelection_.clear();
  if (multiSelect_) {
    const int n = Count();
    for (int i = 0; i < n; ++i)
      savedSelection_.push_back(SendMessage(Handle(), LB_GETSEL, static_cast<WPARAM>(i), 0) > 0);
  }
  items_->PullFromWindow();
  inherited::DestroyWnd();
}

void TCustomListBox::Dispatch(TMessage& Message) {
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
    default:
      inherited::Dispatch(Message);
  }
}

void TCustomListBox::CNCommand(TMessage& Message) {
  switch (Message.NotifyCode()) {
    case LBN_SELCHANGE:
      Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(static_cast<TControl*>(this)));
      Click();
      break;
    case LBN_DBLCLK:
      DblClick();
      break;
    default:
      break;
  }
}

void TCustomListBox::CNDrawItem(TMessage& Message) {
  DRAWITEMSTRUCT* dis = Message.DrawItemStruct();
  if (!dis) return;
  TOwnerDrawState state = OwnerDrawStateFromItemState(dis->itemState & 0xFFFF);
  vcl_detail::DrawOwnerDrawItem(
      canvas_.get(), this, *dis, state,
      [this](int Index, const TRect& Rect, TOwnerDrawState State) { DrawItem(Index, Rect, State); });
  Message.Result = 1;
}

void TCustomListBox::CNMeasureItem(TMessage& Message) {
  MEASUREITEMSTRUCT* mis = Message.MeasureItemStruct();
  if (!mis) return;
  vcl_detail::MeasureOwnerDrawItem(*mis, itemHeight_, style_ == lbOwnerDrawVariable,
                                   [this](int Index, int& Height) { MeasureItem(Index, Height); });
  Message.Result = 1;
}

void TCustomListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
  if (OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  canvas_->FillRect(Rect);
  if (Index < Count()) {
    Rect.Left += 2;
    const std::string data = IsVirtual() ? DoGetData(Index) : items_->Strings(Index);
    vcl_detail::CanvasDrawText(canvas_.get(), Rect, data, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
}

void TCustomListBox::MeasureItem(int Index, int& Height) {
  OnMeasureItem(this, Index, Height);
}

std::string TCustomListBox::DoGetData(int Index) {
  std::string data;
  OnData(this, Index, data);
  return data;
}

TObject* TCustomListBox::DoGetDataObject(int Index) {
  TObject* object = nullptr;
  OnDataObject(this, Index, object);
  return object;
}

int TCustomListBox::DoFindData(const std::string& Data) {
  return OnDataFind ? OnDataFind(this, Data) : -1;
}

// --- items and selection ----------------------------------------------------------------------

void TCustomListBox::Clear() {
  items_->Clear();
}

int TCustomListBox::Count() {
  return IsVirtual() ? count_ : items_->Count();
}

void TCustomListBox::SetCount(int Value) {
  if (!IsVirtual()) throw EInvalidOperation(Fmt("Error setting %s.Count", Name()));
  count_ = std::max(0, Value);
  if (HandleAllocated()) SendMessage(Handle(), LB_SETCOUNT, static_cast<WPARAM>(count_), 0);
}

int TCustomListBox::ItemIndex() {
  if (!HandleAllocated()) return savedItemIndex_;
  const LRESULT r = SendMessage(Handle(), multiSelect_ ? LB_GETCARETINDEX : LB_GETCURSEL, 0, 0);
  return r < 0 ? -1 : static_cast<int>(r);
}

void TCustomListBox::SetItemIndex(int Value) {
  if (!HandleAllocated()) {
    savedItemIndex_ = Value;
    return;
  }
  if (ItemIndex() == Value) return;
  SendMessage(Handle(), multiSelect_ ? LB_SETCARETINDEX : LB_SETCURSEL, static_cast<WPARAM>(Value), 0);
}

int TCustomListBox::TopIndex() {
  if (!HandleAllocated()) return savedTopIndex_;
  return static_cast<int>(SendMessage(Handle(), LB_GETTOPINDEX, 0, 0));
}

void TCustomListBox::SetTopIndex(int Value) {
  if (!HandleAllocated()) {
    savedTopIndex_ = Value;
    return;
  }
  if (TopIndex() != Value) SendMessage(Handle(), LB_SETTOPINDEX, static_cast<WPARAM>(Value), 0);
}

bool TCustomListBox::Selected(int Index) {
  const LRESULT r = SendMessage(Handle(), LB_GETSEL, static_cast<WPARAM>(Index), 0);
  if (r < 0) throw EListError(Fmt("List index out of bounds (%d)", Index));
  return r != 0;
}

void TCustomListBox::SetSelected(int Index, bool Value) {
  if (multiSelect_) {
    if (SendMessage(Handle(), LB_SETSEL, Value ? TRUE : FALSE, Index) < 0)
      throw EListError(Fmt("List index out of bounds (%d)", Index));
  } else if (Value) {
    SetItemIndex(Index);
  } else if (ItemIndex() == Index) {
    SetItemIndex(-1);
  }
}

int TCustomListBox::SelCount() {
  if (!multiSelect_) return -1;
  return static_cast<int>(SendMessage(Handle(), LB_GETSELCOUNT, 0, 0));
}

int TCustomListBox::ItemAtPos(const TPoint& Pos, bool Existing) {
  const TRect client = ClientRect();
  if (Pos.X >= client.Left && Pos.X < client.Right && Pos.Y >= client.Top && Pos.Y < client.Bottom) {
    const int count = Count();
    for (int i = std::max(0, TopIndex()); i < count; ++i) {
      RECT r{};
      SendMessage(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
      if (Pos.X >= r.Left && Pos.X < r.Right && Pos.Y >= r.Top && Pos.Y < r.Bottom) return i;
      if (r.Top >= client.Bottom) break;
    }
    if (!Existing) return count;
  }
  return -1;
}

TRect TCustomListBox::ItemRect(int Index) {
  const int count = Count();
  RECT r{};
  if (Index == 0 || Index < count) {
    SendMessage(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&r));
  } else if (Index == count) {
    SendMessage(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(Index - 1), reinterpret_cast<LPARAM>(&r));
    const int h = r.Bottom - r.Top;
    r.Top += h;
    r.Bottom += h;
  }
  return r;
}

// --- properties ----------------------------------------------------------------------------------

void TCustomListBox::SetStyle(TListBoxStyle Value) {
  if (style_ == Value) return;
  const bool wasVirtual = IsVirtual();
  if (!wasVirtual && HandleAllocated()) items_->PullFromWindow();
  style_ = Value;
  if (IsVirtual() && !wasVirtual) items_->Clear();
  RecreateWnd();
}

int TCustomListBox::ItemHeight() {
  if (HandleAllocated() && style_ == lbStandard) {
    RECT r{};
    SendMessage(Handle(), LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
    return r.Bottom - r.Top;
  }
  return itemHeight_;
}

void TCustomListBox::SetItemHeight(int Value) {
  if (itemHeight_ == Value || Value <= 0) return;
  itemHeight_ = Value;
  RecreateWnd();
}

void TCustomListBox::SetSorted(bool Value) {
  if (sorted_ == Value) return;
  sorted_ = Value;
  if (sorted_ && !HandleAllocated()) items_->SortKept();
  RecreateWnd();
}

void TCustomListBox::SetMultiSelect(bool Value) {
  if (multiSelect_ == Value) return;
  multiSelect_ = Value;
  RecreateWnd();
}

void TCustomListBox::SetExtendedSelect(bool Value) {
  if (extendedSelect_ == Value) return;
  extendedSelect_ = Value;
  RecreateWnd();
}

void TCustomListBox::SetIntegralHeight(bool Value) {
  if (integralHeight_ == Value) return;
  integralHeight_ = Value;
  RecreateWnd();
}

void TCustomListBox::SetColumns(int Value) {
  if (columns_ == Value) return;
  const bool multi = (columns_ == 0) != (Value == 0);
  columns_ = std::max(0, Value);
  if (multi) RecreateWnd();
}

void TCustomListBox::SetBorderStyle(TBorderStyle Value) {
  if (borderStyle_ == Value) return;
  borderStyle_ = Value;
  RecreateWnd();
}

void TListBox::DescribeClass(TClassBuilder<TListBox>& c) {
  PublishControl(
      c, {"Align",       "Anchors",    "BevelEdges",     "BevelInner",     "BevelOuter",     "BevelKind",
          "BiDiMode",    "Color",      "Constraints",    "Ctl3D",          "DragCursor",     "DragMode",
          "Enabled",     "Font",       "ImeMode",        "ImeName",        "ParentBiDiMode", "ParentColor",
          "ParentCtl3D", "ParentFont", "ParentShowHint", "PopupMenu",      "ShowHint",       "TabOrder",
          "TabStop",     "Visible",    "OnClick",        "OnContextPopup", "OnDblClick",     "OnEnter",
          "OnExit",      "OnKeyDown",  "OnKeyPress",     "OnKeyUp",        "OnMouseDown",    "OnMouseMove",
          "OnMouseUp"});
  c.Property("BorderStyle", &TCustomListBox::BorderStyle, &TCustomListBox::SetBorderStyle).Default(bsSingle);
  c.Property("Columns", &TCustomListBox::Columns, &TCustomListBox::SetColumns);
  c.Property("ExtendedSelect", &TCustomListBox::ExtendedSelect, &TCustomListBox::SetExtendedSelect)
      .Default(1);
  c.Property("IntegralHeight", &TCustomListBox::IntegralHeight, &TCustomListBox::SetIntegralHeight);
  c.Property(
       "ItemHeight", [](const TListBox& o) { return const_cast<TListBox&>(o).ItemHeight(); },
       &TCustomListBox::SetItemHeight)
      .Default(16);
  c.Property("Items", &TCustomListBox::Items, &TCustomListBox::SetItems);
  c.Property("MultiSelect", &TCustomListBox::MultiSelect, &TCustomListBox::SetMultiSelect);
  c.Property("Sorted", &TCustomListBox::Sorted, &TCustomListBox::SetSorted);
  c.Property("Style", &TCustomListBox::Style, &TCustomListBox::SetStyle);
  c.Property("OnDrawItem", &TListBox::OnDrawItem,
             [](TListBox& o, const TDrawItemEvent& e) { o.OnDrawItem = e; });
  c.Property("OnMeasureItem", &TListBox::OnMeasureItem,
             [](TListBox& o, const TMeasureItemEvent& e) { o.OnMeasureItem = e; });
  c.Property("OnData", &TListBox::OnData, [](TListBox& o, const TLBGetDataEvent& e) { o.OnData = e; });
  c.Property("OnDataObject", &TListBox::OnDataObject,
             [](TListBox& o, const TLBGetDataObjectEvent& e) { o.OnDataObject = e; });
  c.Property("OnDataFind", &TListBox::OnDataFind,
             [](TListBox& o, const TLBFindDataEvent& e) { o.OnDataFind = e; });
}
