#include "platform/rtl/Lists.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"

RTL_IMPLEMENT_CLASS(TList)
RTL_IMPLEMENT_CLASS(TObjectList)
RTL_IMPLEMENT_CLASS(TStrings)
RTL_IMPLEMENT_CLASS(TStringList)

namespace {

// The class library's limit on list sizes.
constexpr int kMaxListSize = INT32_MAX / 16;

// A stable merge sort that touches only indexes inside the range whatever the compare
// function answers, so an inconsistent comparison cannot run off the ends.
template <class T, class Less>
void MergeSort(std::vector<T>& v, Less less) {
  const size_t n = v.size();
  if (n < 2) return;
  std::vector<T> buf(n);
  for (size_t width = 1; width < n; width *= 2) {
    for (size_t lo = 0; lo < n; lo += 2 * width) {
      const size_t mid = std::min(lo + width, n), hi = std::min(lo + 2 * width, n);
      size_t i = lo, j = mid, k = lo;
      while (i < mid && j < hi) buf[k++] = less(v[j], v[i]) ? std::move(v[j++]) : std::move(v[i++]);
      while (i < mid) buf[k++] = std::move(v[i++]);
      while (j < hi) buf[k++] = std::move(v[j++]);
    }
    v.swap(buf);
  }
}

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

}  // namespace

// --- TList -------------------------------------------------------------------------------------

TList::~TList() {
  Clear();
}

void TList::IndexError(int Index) {
  throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}

void* TList::Items(int Index) const {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  return items_[static_cast<size_t>(Index)];
}

void TList::SetItem(int Index, void* Item) {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  void*& slot = items_[static_cast<size_t>(Index)];
  if (slot == Item) return;
  void* old = slot;
  slot = Item;
  if (old) Notify(old, lnDeleted);
  if (Item) Notify(Item, lnAdded);
}

int TList::Add(void* Item) {
  int index = Count();
  Insert(index, Item);
  return index;
}

void TList::Insert(int Index, void* Item) {
  if (Index < 0 || Index > Count()) IndexError(Index);
  if (Count() == capacity_) {
    // The class library's growth steps, so Capacity reports what callers expect.
    int delta = capacity_ > 64 ? capacity_ / 4 : capacity_ > 8 ? 16 : 4;
    SetCapacity(std::min(capacity_ + delta, kMaxListSize));
  }
  items_.insert(items_.begin() + Index, Item);
  if (Item) Notify(Item, lnAdded);
}

void TList::Delete(int Index) {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  void* item = items_[static_cast<size_t>(Index)];
  items_.erase(items_.begin() + Index);
  if (item) Notify(item, lnDeleted);
}

int TList::Remove(void* Item) {
  int index = IndexOf(Item);
  if (index >= 0) Delete(index);
  return index;
}

void* TList::Extract(void* Item) {
  int index = IndexOf(Item);
  if (index < 0) return nullptr;
  items_.erase(items_.begin() + index);
  if (Item) Notify(Item, lnExtracted);
  return Item;
}

void TList::Clear() {
  // One at a time from the end: a notified owner may free objects that touch the list.
  while (!items_.empty()) Delete(Count() - 1);
  capacity_ = 0;
  items_.shrink_to_fit();
}

int TList::IndexOf(void* Item) const {
  auto it = std::find(items_.begin(), items_.end(), Item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TList::Exchange(int Index1, int Index2) {
  if (Index1 < 0 || Index1 >= Count()) IndexError(Index1);
  if (Index2 < 0 || Index2 >= Count()) IndexError(Index2);
  std::swap(items_[static_cast<size_t>(Index1)], items_[static_cast<size_t>(Index2)]);
}

void TList::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  if (NewIndex < 0 || NewIndex >= Count()) IndexError(NewIndex);
  if (CurIndex < 0 || CurIndex >= Count()) IndexError(CurIndex);
  void* item = items_[static_cast<size_t>(CurIndex)];
  items_.erase(items_.begin() + CurIndex);
  items_.insert(items_.begin() + NewIndex, item);
}

void TList::Pack() {
  items_.erase(std::remove(items_.begin(), items_.end(), nullptr), items_.end());
}

void TList::Sort(const TListSortCompare& Compare) {
  if (!Compare) return;
  MergeSort(items_, [&](void* a, void* b) { return Compare(a, b) < 0; });
}

void TList::SetCount(int NewCount) {
  if (NewCount < 0 || NewCount > kMaxListSize)
    throw EListError("List count out of bounds (" + std::to_string(NewCount) + ")");
  if (NewCount > capacity_) SetCapacity(NewCount);
  if (NewCount > Count()) {
    items_.resize(static_cast<size_t>(NewCount), nullptr);
  } else {
    while (Count() > NewCount) Delete(Count() - 1);
  }
}

void TList::SetCapacity(int NewCapacity) {
  if (NewCapacity < Count() || NewCapacity > kMaxListSize)
    throw EListError("List capacity out of bounds (" + std::to_string(NewCapacity) + ")");
  if (NewCapacity > capacity_) items_.reserve(static_cast<size_t>(NewCapacity));
  capacity_ = NewCapacity;
}

// --- TObjectList ---------------------------------------------------------------------------------

TObjectList::~TObjectList() {
  Clear();
}

void TObjectList::Notify(void* Ptr, TListNotification Action) {
  if (ownsObjects_ && Action == lnDeleted) static_cast<TObject*>(Ptr)->Free();
  TList::Notify(Ptr, Action);
}

int TObjectList::FindInstanceOf(TClass AClass, bool AExact, int AStartAt) const {
  for (int i = std::max(AStartAt, 0); i < Count(); ++i) {
    TObject* obj = Items(i);
    if (obj && (AExact ? obj->ClassType() == AClass : obj->InheritsFrom(AClass))) return i;
  }
  return -1;
}

// --- TStrings: items -------------------------------------------------------------------------------

void TStrings::IndexError(int Index) {
  throw EStringListError("List index out of bounds (" + std::to_string(Index) + ")");
}

void TStrings::Put(int Index, const std::string& S) {
  TObject* obj = GetObject(Index);
  BeginUpdate();
  TScopeExit endUpdate([this] { EndUpdate(); });
  PutObject(Index, nullptr);  // an owning list must not free what stays
  Delete(Index);
  InsertObject(Index, S, obj);
}

int TStrings::Add(const std::string& S) {
  int index = Count();
  Insert(index, S);
  return index;
}

int TStrings::AddObject(const std::string& S, TObject* AObject) {
  int index = Add(S);
  PutObject(index, AObject);
  return index;
}

void TStrings::InsertObject(int Index, const std::string& S, TObject* AObject) {
  Insert(Index, S);
  PutObject(Index, AObject);
}

void TStrings::AddStrings(TStrings* Strings) {
  if (!Strings) return;
  // A snapshot, so that adding a list to itself (or to a list it watches) stays finite.
  std::vector<std::pair<std::string, TObject*>> items;
  for (int i = 0; i < Strings->Count(); ++i) items.emplace_back(Strings->Get(i), Strings->GetObject(i));
  BeginUpdate();
  TScopeExit endUpdate([this] { EndUpdate(); });
  for (auto& [s, obj] : items) AddObject(s, obj);
}

void TStrings::Exchange(int Index1, int Index2) {
  BeginUpdate();
  TScopeExit endUpdate([this] { EndUpdate(); });
  std::string s = Get(Index1);
  TObject* obj = GetObject(Index1);
  Put(Index1, Get(Index2));
  PutObject(Index1, GetObject(Index2));
  Put(Index2, s);
  PutObject(Index2, obj);
}

void TStrings::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  BeginUpdate();
  TScopeExit endUpdate([this] { EndUpdate(); });
  std::string s = Get(CurIndex);
  TObject* obj = GetObject(CurIndex);
  PutObject(CurIndex, nullptr);  // an owning list must not free what only moves
  Delete(CurIndex);
  InsertObject(NewIndex, s, obj);
}

int TStrings::CompareStrings(const std::string& S1, const std::string& S2) const {
  return AnsiCompareText(S1, S2);
}

int TStrings::IndexOf(const std::string& S) const {
  for (int i = 0; i < Count(); ++i)
    if (CompareStrings(Get(i), S) == 0) return i;
  return -1;
}

int TStrings::IndexOfName(const std::string& Name) const {
  for (int i = 0; i < Count(); ++i) {
    std::string s = Get(i);
    size_t p = s.find(nameValueSeparator_);
    if (p != std::string::npos && CompareStrings(s.substr(0, p), Name) == 0) return i;
  }
  return -1;
}

int TStrings::IndexOfObject(TObject* AObject) const {
  for (int i = 0; i < Count(); ++i)
    if (GetObject(i) == AObject) return i;
  return -1;
}

bool TStrings::Equals(TStrings* Strings) const {
  if (!Strings || Strings->Count() != Count()) return false;
  for (int i = 0; i < Count(); ++i)
    if (Get(i) != Strings->Get(i)) return false;
  return true;
}

void TStrings::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TStrings*>(Source)) {
    if (src == this) return;
    BeginUpdate();
    TScopeExit endUpdate([this] { EndUpdate(); });
    Clear();
    delimiter_ = src->delimiter_;
    quoteChar_ = src->quoteChar_;
    nameValueSeparator_ = src->nameValueSeparator_;
    strictDelimiter_ = src->strictDelimiter_;
    AddStrings(src);
    return;
  }
  inherited::Assign(Source);
}

void TStrings::BeginUpdate() {
  if (updateCount_ == 0) SetUpdateState(true);
  ++updateCount_;
}

void TStrings::EndUpdate() {
  if (updateCount_ == 0) return;
  if (--updateCount_ == 0) SetUpdateState(false);
}

// --- TStrings: text forms ----------------------------------------------------------------------------

std::string TStrings::Text() const {
  std::string out;
  for (int i = 0; i < Count(); ++i) {
    out += Get(i);
    out += "\r\n";
  }
  return out;
}

void TStrings::SetText(const std::string& Value) {
  BeginUpdate();
  TScopeExit endUpdate([this] { EndUpdate(); });
  Clear();
  size_t i = 0;
  while (i < Value.size()) {
    size_t j = Value.find_first_of("\r\n", i);
    if (j == std::string::npos) {
      Add(Value.substr(i));
      break;
    }
    Add(Value.substr(i, j - i));
    i = j + (Value[j] == '\r' && j + 1 < Value.size() && Value[j + 1] == '\n' ? 2 : 1);
  }
}

namespace {

std::string JoinDelimited(const TStrings& list, char delimiter, char quote, bool strict) {
  if (list.Count() == 1 && list.Strings(0).empty()) return std::string(2, quote);
  // Blanks around a blank delimiter fold into one break on reading, so an empty item there
  // survives only when quoted.
  const bool quoteEmpty = !strict && IsBlank(delimiter);
  std::string out;
  for (int i = 0; i < list.Count(); ++i) {
    std::string s = list.Strings(i);
    bool quoteIt = (quoteEmpty && s.empty()) || std::any_of(s.begin(), s.end(), [&](char c) {
                     return c == delimiter || c == quote || (!strict && IsBlank(c));
                   });
    if (i > 0) out += delimiter;
    out += quoteIt ? AnsiQuotedStr(s, quote) : s;
  }
  return out;
}

std::vector<std::string> SplitDelimited(const std::string& v, char delimiter, char quote, bool strict) {
  std::vector<std::string> items;
  const size_t n = v.size();
  size_t p = 0;
  auto skipBlanks = [&] {
    if (!strict)
      while (p < n && IsBlank(v[p])) ++p;
  };
  skipBlanks();
  while (p < n) {
    if (v[p] == quote) {
      items.push_back(AnsiExtractQuotedStr(v, p, quote));
    } else {
      size_t start = p;
      while (p < n && v[p] != delimiter && (strict || !IsBlank(v[p]))) ++p;
      items.push_back(v.substr(start, p - start));
    }
    skipBlanks();
    if (p < n && v[p] == delimiter) {
      if (p + 1 == n) items.emplace_back();  // a final delimiter ends with an empty item
      ++p;
      skipBlanks();
    }
  }
  return items;
}

}  // namespace

std::string TStrings::DelimitedText() const {
  return JoinDelimited(*this, delimiter_, quoteChar_, strictDelimiter_);
}

void TStrings::SetDelimitedText(const std::string& Value) {
  std::vector<std::string> items = SplitDelimited(Value, delimiter_, quoteChar_, strictDelimiter_);
  BeginUpdate();
  TScopeExit endUpdate([this] { EndUpdate(); });
  Clear();
  for (const std::string& s : items) Add(s);
}

std::string TStrings::CommaText() const {
  return JoinDelimited(*this, ',', '"', false);
}

void TStrings::SetCommaText(const std::string& Value) {
  std::vector<std::string> items = SplitDelimited(Value, ',', '"', false);
  BeginUpdate();
  TScopeExit endUpdate([this] { EndUpdate(); });
  Clear();
  for (const std::string& s : items) Add(s);
}

// --- TStrings: name=value lines ----------------------------------------------------------------------

std::string TStrings::Names(int Index) const {
  std::string s = Get(Index);
  size_t p = s.find(nameValueSeparator_);
  return p == std::string::npos ? std::string() : s.substr(0, p);
}

std::string TStrings::Values(const std::string& Name) const {
  int i = IndexOfName(Name);
  return i >= 0 ? ValueFromIndex(i) : std::string();
}

void TStrings::SetValue(const std::string& Name, const std::string& Value) {
  int i = IndexOfName(Name);
  if (Value.empty()) {
    if (i >= 0) Delete(i);
    return;
  }
  std::string line = Name + nameValueSeparator_ + Value;
  if (i < 0)
    Add(line);
  else
    Put(i, line);
}

std::string TStrings::ValueFromIndex(int Index) const {
  if (Index < 0) return {};
  std::string s = Get(Index);
  size_t p = s.find(nameValueSeparator_);
  return p == std::string::npos ? std::string() : s.substr(p + 1);
}

void TStrings::SetValueFromIndex(int Index, const std::string& Value) {
  if (Value.empty()) {
    Delete(Index);
    return;
  }
  Put(Index, Names(Index) + nameValueSeparator_ + Value);
}

// --- TStrings: streams and files -----------------------------------------------------------------------

void TStrings::SaveToStream(TStream* Stream) const {
  std::string text = Text();
  if (!text.empty()) Stream->WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

void TStrings::LoadFromStream(TStream* Stream) {
  // Read to the end in pieces: the stream's own size claim is not trusted for allocation.
  std::string data;
  char buf[64 * 1024];
  for (;;) {
    int64_t got = Stream->Read(buf, sizeof buf);
    if (got <= 0) break;
    data.append(buf, static_cast<size_t>(std::min<int64_t>(got, sizeof buf)));
  }
  auto startsWith = [&](std::string_view bom) { return data.compare(0, bom.size(), bom) == 0; };
  if (startsWith("\xEF\xBB\xBF")) {
    data.erase(0, 3);
  } else if (startsWith("\xFF\xFE") || startsWith("\xFE\xFF")) {
    const bool little = data[0] == '\xFF';
    std::u16string wide;
    for (size_t i = 2; i + 1 < data.size(); i += 2) {
      unsigned char a = static_cast<unsigned char>(data[i]), b = static_cast<unsigned char>(data[i + 1]);
      wide += static_cast<char16_t>(little ? a | (b << 8) : (a << 8) | b);
    }
    data = Utf16ToUtf8(wide);
  }
  SetText(data);
}

void TStrings::SaveToFile(const std::string& FileName) const {
  TFileStream stream(FileName, fmCreate);
  SaveToStream(&stream);
}

void TStrings::LoadFromFile(const std::string& FileName) {
  TFileStream stream(FileName, static_cast<uint16_t>(fmOpenRead | fmShareDenyNone));
  LoadFromStream(&stream);
}

// --- TStringList ---------------------------------------------------------------------------------------

TStringList::~TStringList() {
  OnChange = nullptr;
  OnChanging = nullptr;
  std::vector<Item> items = std::move(items_);
  items_.clear();
  if (ownsObjects_)
    for (Item& it : items)
      if (it.Obj) it.Obj->Free();
}

void TStringList::CheckIndex(int Index) const {
  if (Index < 0 || Index >= Count()) IndexError(Index);
}

std::string TStringList::Get(int Index) const {
  CheckIndex(Index);
  return items_[static_cast<size_t>(Index)].S;
}

TObject* TStringList::GetObject(int Index) const {
  CheckIndex(Index);
  return items_[static_cast<size_t>(Index)].Obj;
}

void TStringList::Put(int Index, const std::string& S) {
  if (sorted_) throw EStringListError("Operation not allowed on sorted list");
  CheckIndex(Index);
  Changing();
  items_[static_cast<size_t>(Index)].S = S;
  Changed();
}

void TStringList::PutObject(int Index, TObject* AObject) {
  CheckIndex(Index);
  Changing();
  items_[static_cast<size_t>(Index)].Obj = AObject;
  Changed();
}

void TStringList::Changing() {
  if (UpdateCount() == 0) OnChanging(this);
}

void TStringList::Changed() {
  if (UpdateCount() == 0) OnChange(this);
}

void TStringList::SetUpdateState(bool Updating) {
  if (Updating)
    Changing();
  else
    Changed();
}

int TStringList::CompareStrings(const std::string& S1, const std::string& S2) const {
  return caseSensitive_ ? AnsiCompareStr(S1, S2) : AnsiCompareText(S1, S2);
}

int TStringList::AddObject(const std::string& S, TObject* AObject) {
  int index = Count();
  if (sorted_ && Find(S, index)) {
    if (duplicates_ == dupIgnore) return index;
    if (duplicates_ == dupError) throw EStringListError("String list does not allow duplicates");
  }
  InsertItem(index, S, AObject);
  return index;
}

void TStringList::InsertObject(int Index, const std::string& S, TObject* AObject) {
  if (sorted_) throw EStringListError("Operation not allowed on sorted list");
  if (Index < 0 || Index > Count()) IndexError(Index);
  InsertItem(Index, S, AObject);
}

void TStringList::InsertItem(int Index, const std::string& S, TObject* AObject) {
  Changing();
  items_.insert(items_.begin() + Index, Item{S, AObject});
  Changed();
}

void TStringList::Delete(int Index) {
  CheckIndex(Index);
  Changing();
  TObject* obj = items_[static_cast<size_t>(Index)].Obj;
  items_.erase(items_.begin() + Index);
  if (ownsObjects_ && obj) obj->Free();
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  Changing();
  std::vector<Item> items = std::move(items_);
  items_.clear();
  if (ownsObjects_)
    for (Item& it : items)
      if (it.Obj) it.Obj->Free();
  Changed();
}

void TStringList::Exchange(int Index1, int Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  Changing();
  std::swap(items_[static_cast<size_t>(Index1)], items_[static_cast<size_t>(Index2)]);
  Changed();
}

void TStringList::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  if (sorted_) throw EStringListError("Operation not allowed on sorted list");
  CheckIndex(CurIndex);
  CheckIndex(NewIndex);
  Changing();
  Item item = std::move(items_[static_cast<size_t>(CurIndex)]);
  items_.erase(items_.begin() + CurIndex);
  items_.insert(items_.begin() + NewIndex, std::move(item));
  Changed();
}

bool TStringList::Find(const std::string& S, int& Index) const {
  bool found = false;
  int lo = 0, hi = Count() - 1;
  while (lo <= hi) {
    int mid = lo + (hi - lo) / 2;
    int c = CompareStrings(items_[static_cast<size_t>(mid)].S, S);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) {
        found = true;
        if (duplicates_ != dupAccept) lo = mid;
      }
    }
  }
  Index = lo;
  return found;
}

int TStringList::IndexOf(const std::string& S) const {
  if (!sorted_) return TStrings::IndexOf(S);
  int index;
  return Find(S, index) ? index : -1;
}

void TStringList::SortBy(const TStringListSortCompare& Compare) {
  if (Count() < 2 || !Compare) return;
  Changing();
  // Sort positions, so that the compare function always sees the list as it was.
  std::vector<int> order(items_.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  MergeSort(order, [&](int a, int b) { return Compare(this, a, b) < 0; });
  std::vector<Item> sorted;
  sorted.reserve(items_.size());
  for (int i : order) sorted.push_back(std::move(items_[static_cast<size_t>(i)]));
  items_ = std::move(sorted);
  Changed();
}

int TStringList::CompareItems(TStringList* List, int Index1, int Index2) {
  return List->CompareStrings(List->items_[static_cast<size_t>(Index1)].S,
                              List->items_[static_cast<size_t>(Index2)].S);
}

void TStringList::Sort() {
  CustomSort(CompareItems);
}

void TStringList::CustomSort(const TStringListSortCompare& Compare) {
  if (!sorted_) SortBy(Compare);
}

void TStringList::SetSorted(bool Value) {
  if (Value == sorted_) return;
  if (Value) SortBy(CompareItems);
  sorted_ = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
  if (Value == caseSensitive_) return;
  caseSensitive_ = Value;
  if (sorted_) SortBy(CompareItems);
}
