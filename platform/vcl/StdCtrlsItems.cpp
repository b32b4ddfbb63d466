// The item list shared by list boxes and combo boxes.
#include "platform/vcl/StdCtrlsItems.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/Collation.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"

namespace vcl_detail {

const TItemMessages kListBoxMessages{LB_ADDSTRING,   LB_INSERTSTRING,    LB_DELETESTRING, LB_RESETCONTENT,
                                     LB_GETCOUNT,    LB_GETTEXT,         LB_GETTEXTLEN,   LB_SETITEMDATA,
                                     LB_GETITEMDATA, LB_FINDSTRINGEXACT, LB_ERR};
const TItemMessages kComboBoxMessages{CB_ADDSTRING,   CB_INSERTSTRING,    CB_DELETESTRING, CB_RESETCONTENT,
                                      CB_GETCOUNT,    CB_GETLBTEXT,       CB_GETLBTEXTLEN, CB_SETITEMDATA,
                                      CB_GETITEMDATA, CB_FINDSTRINGEXACT, CB_ERR};

namespace {

std::u32string Folded(const std::string& S) {
  std::u32string out = DecodeUtf8(S);
  for (char32_t& c : out) c = UnicodeFoldCase(c);
  return out;
}

[[noreturn]] void InsertError() {
  throw EOutOfResources("Unable to insert a line");
}

}  // namespace

std::u32string DecodeUtf8(const std::string& S) {
  std::u32string out;
  size_t i = 0;
  while (i < S.size()) {
    const auto b = static_cast<unsigned char>(S[i]);
    int n = b < 0xC0 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
    if (i + static_cast<size_t>(n) > S.size()) n = 1;
    for (int k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(S[i + static_cast<size_t>(k)]) & 0xC0) != 0x80) n = 1;
    char32_t c = n == 1 ? b : (b & (0x7F >> n));
    for (int k = 1; k < n; ++k)
      c = (c << 6) | (static_cast<unsigned char>(S[i + static_cast<size_t>(k)]) & 0x3F);
    out.push_back(c);
    i += static_cast<size_t>(n);
  }
  return out;
}

std::string EncodeUtf8(const std::u32string& S) {
  std::string out;
  for (char32_t c : S) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | ((c >> 18) & 0x07)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::string Utf8Sub(const std::string& S, int Start, int Length) {
  const std::u32string chars = DecodeUtf8(S);
  const int n = static_cast<int>(chars.size());
  Start = std::clamp(Start, 0, n);
  Length = std::clamp(Length, 0, n - Start);
  return EncodeUtf8(chars.substr(static_cast<size_t>(Start), static_cast<size_t>(Length)));
}

void CanvasDrawText(TCanvas* Canvas, TRect& Rect, const std::string& Text, UINT Flags) {
  TTextFormat format;
  for (int i = 0; i <= static_cast<int>(TTextFormats::tfComposited); ++i) {
    const auto item = static_cast<TTextFormats>(i);
    const UINT bits = TextFormatToFlags(TTextFormat{item});
    if (bits != 0 && (Flags & bits) == bits) format.Include(item);
  }
  std::string text = Text;
  Canvas->TextRect(Rect, text, format);
}

int CompareItemText(const std::string& A, const std::string& B) {
  return Folded(A).compare(Folded(B));
}

RTL_IMPLEMENT_CLASS(TItemStrings)

TItemStrings::TItemStrings(TWinControl* Control, const TItemMessages& Messages)
    : control_(Control), msg_(Messages) {}

bool TItemStrings::IsSorted() const {
  if (auto* lb = dynamic_cast<TCustomListBox*>(control_)) return lb->Sorted();
  if (auto* cb = dynamic_cast<TCustomComboBox*>(control_)) return cb->Sorted();
  return false;
}

TCustomListBox* TItemStrings::VirtualListBox() const {
  auto* lb = dynamic_cast<TCustomListBox*>(control_);
  return lb && lb->IsVirtual() ? lb : nullptr;
}

LRESULT TItemStrings::Send(UINT Msg, WPARAM WParam, LPARAM LParam) const {
  return SendMessage(control_->Handle(), Msg, WParam, LParam);
}

void TItemStrings::CheckIndex(int Index) const {
  if (Index < 0 || Index >= Count()) IndexError(Index);
}

int TItemStrings::SortedPlace(const std::string& S) const {
  // After the items that sort equal, as the window inserts.
  int i = 0;
  while (i < static_cast<int>(kept_.size()) && CompareItemText(kept_[static_cast<size_t>(i)].Text, S) <= 0)
    ++i;
  return i;
}

int TItemStrings::Count() const {
  if (auto* lb = VirtualListBox()) return const_cast<TCustomListBox*>(lb)->Count();
  if (!Windowed()) return static_cast<int>(kept_.size());
  return static_cast<int>(Send(msg_.GetCount, 0, 0));
}

std::string TItemStrings::Get(int Index) const {
  if (auto* lb = VirtualListBox()) return lb->DoGetData(Index);
  CheckIndex(Index);
  if (!Windowed()) return kept_[static_cast<size_t>(Index)].Text;
  const LRESULT len = Send(msg_.GetTextLen, static_cast<WPARAM>(Index), 0);
  if (len == msg_.Err || len < 0) IndexError(Index);
  std::string text(static_cast<size_t>(len) + 1, '\0');
  Send(msg_.GetText, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(std::strlen(text.c_str()));
  return text;
}

TObject* TItemStrings::GetObject(int Index) const {
  if (auto* lb = VirtualListBox()) return lb->DoGetDataObject(Index);
  CheckIndex(Index);
  if (!Windowed()) return kept_[static_cast<size_t>(Index)].Object;
  return reinterpret_cast<TObject*>(Send(msg_.GetData, static_cast<WPARAM>(Index), 0));
}

void TItemStrings::PutObject(int Index, TObject* AObject) {
  if (VirtualListBox()) return;
  CheckIndex(Index);
  if (!Windowed()) {
    kept_[static_cast<size_t>(Index)].Object = AObject;
    return;
  }
  Send(msg_.SetData, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(AObject));
}

int TItemStrings::AddObject(const std::string& S, TObject* AObject) {
  if (VirtualListBox()) return -1;
  if (!Windowed()) {
    const int i = IsSorted() ? SortedPlace(S) : static_cast<int>(kept_.size());
    kept_.insert(kept_.begin() + i, TItem{S, AObject});
    return i;
  }
  const LRESULT i = Send(msg_.Add, 0, reinterpret_cast<LPARAM>(S.c_str()));
  if (i < 0) InsertError();
  if (AObject) Send(msg_.SetData, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(AObject));
  return static_cast<int>(i);
}

void TItemStrings::InsertObject(int Index, const std::string& S, TObject* AObject) {
  if (VirtualListBox()) return;
  if (Index < 0 || Index > Count()) IndexError(Index);
  if (!Windowed()) {
    kept_.insert(kept_.begin() + Index, TItem{S, AObject});
    return;
  }
  const LRESULT i = Send(msg_.Insert, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(S.c_str()));
  if (i < 0) InsertError();
  if (AObject) Send(msg_.SetData, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(AObject));
}

void TItemStrings::Put(int Index, const std::string& S) {
  if (VirtualListBox()) return;
  CheckIndex(Index);
  if (!Windowed()) {
    kept_[static_cast<size_t>(Index)].Text = S;
    return;
  }
  // The window cannot rename an item: replace it, keeping its object and the selection.
  TObject* object = GetObject(Index);
  int selected = -1;
  if (auto* lb = dynamic_cast<TCustomListBox*>(control_)) selected = lb->ItemIndex();
  if (auto* cb = dynamic_cast<TCustomComboBox*>(control_)) selected = cb->ItemIndex();
  Delete(Index);
  InsertObject(Index, S, object);
  if (selected >= 0) {
    if (auto* lb = dynamic_cast<TCustomListBox*>(control_)) lb->SetItemIndex(selected);
    if (auto* cb = dynamic_cast<TCustomComboBox*>(control_)) cb->SetItemIndex(selected);
  }
}

void TItemStrings::Delete(int Index) {
  if (VirtualListBox()) return;
  CheckIndex(Index);
  if (!Windowed()) {
    kept_.erase(kept_.begin() + Index);
    return;
  }
  Send(msg_.Delete, static_cast<WPARAM>(Index), 0);
}

void TItemStrings::Clear() {
  if (auto* lb = VirtualListBox()) {
    lb->SetCount(0);
    return;
  }
  if (!Windowed()) {
    kept_.clear();
    return;
  }
  Send(msg_.Reset, 0, 0);
}

int TItemStrings::IndexOf(const std::string& S) const {
  if (auto* lb = VirtualListBox()) return lb->DoFindData(S);
  if (!Windowed()) {
    for (size_t i = 0; i < kept_.size(); ++i)
      if (CompareItemText(kept_[i].Text, S) == 0) return static_cast<int>(i);
    return -1;
  }
  const LRESULT i = Send(msg_.FindExact, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(S.c_str()));
  return i < 0 ? -1 : static_cast<int>(i);
}

void TItemStrings::PushToWindow() {
  if (VirtualListBox()) return;
  std::vector<TItem> items;
  items.swap(kept_);
  // A sorted window places each item; otherwise they go to the end in order.
  const bool sorted = IsSorted();
  for (const TItem& item : items) {
    const LRESULT i =
        sorted ? Send(msg_.Add, 0, reinterpret_cast<LPARAM>(item.Text.c_str()))
               : Send(msg_.Insert, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(item.Text.c_str()));
    if (i < 0) InsertError();
    if (item.Object) Send(msg_.SetData, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.Object));
  }
}

void TItemStrings::PullFromWindow() {
  kept_.clear();
  if (VirtualListBox() || !Windowed()) return;
  const int n = static_cast<int>(Send(msg_.GetCount, 0, 0));
  kept_.reserve(static_cast<size_t>(std::max(0, n)));
  for (int i = 0; i < n; ++i) kept_.push_back(TItem{Get(i), GetObject(i)});
}

void TItemStrings::SortKept() {
  std::stable_sort(kept_.begin(), kept_.end(),
                   [](const TItem& a, const TItem& b) { return CompareItemText(a.Text, b.Text) < 0; });
}

void DrawOwnerDrawItem(TControlCanvas* Canvas, TWinControl* Control, DRAWITEMSTRUCT& Item,
                       TOwnerDrawState State,
                       const std::function<void(int, const TRect&, TOwnerDrawState)>& Draw) {
  Canvas->SetHandle(Item.hDC);
  Canvas->SetFont(Control->Font());
  Canvas->SetBrush(Control->Brush());
  const auto index = static_cast<int>(Item.itemID);
  const TRect rect = Item.rcItem;
  if (index >= 0 && State.Contains(odSelected)) {
    Canvas->Brush()->SetColor(clHighlight);
    Canvas->Font()->SetColor(clHighlightText);
  }
  if (index >= 0)
    Draw(index, rect, State);
  else
    Canvas->FillRect(rect);
  if (State.Contains(odFocused)) {
    RECT r = rect;
    DrawFocusRect(Item.hDC, &r);
  }
  Canvas->SetHandle(nullptr);
}

void MeasureOwnerDrawItem(MEASUREITEMSTRUCT& Item, int ItemHeight, bool Variable,
                          const std::function<void(int, int&)>& Measure) {
  Item.itemHeight = static_cast<UINT>(ItemHeight);
  if (!Variable) return;
  int height = ItemHeight;
  Measure(static_cast<int>(Item.itemID), height);
  Item.itemHeight = static_cast<UINT>(std::max(0, height));
}

}  // namespace vcl_detail
