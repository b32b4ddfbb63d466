#include "grid/data/BookmarkListEh.h"

#include "grid/data/MemoryStreamEh.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"

RTL_IMPLEMENT_CLASS(TBMListEh)

TBMListEh::TBMListEh() : list_(std::make_unique<TStringList>()) {
  list_->OnChange = TNotifyEvent::Method(this, &TBMListEh::StringsChanged);
}

TBMListEh::~TBMListEh() {
  list_->OnChange = nullptr;
}

void TBMListEh::ClearCache() {
  cacheValid_ = false;
  cacheItem_.clear();
}

void TBMListEh::StringsChanged(TObject*) {
  ClearCache();
}

void TBMListEh::RaiseBMListError(const std::string& Message) {
  throw Exception(Message);
}

int TBMListEh::CompareBookmarks(const TBookmark& A, const TBookmark& B) {
  if (A == B) return 0;
  const int c = DataSetCompareBookmarks(GetDataSet(), A, B);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

bool TBMListEh::Find(const TBookmark& Item, int& Index) {
  if (cacheValid_ && Item == cacheItem_) {
    Index = cacheIndex_;
    return cacheFound_;
  }
  // Rows are visited in the list's order (painting, walks), so the entries beside the last
  // hit are tried first; bookmarks are unique, so equal bytes name the same record.
  if (cacheValid_ && cacheFound_) {
    for (const int near : {cacheIndex_ + 1, cacheIndex_ - 1}) {
      if (near < 0 || near >= Count() || list_->Strings(near) != Item) continue;
      Index = near;
      cacheItem_ = Item;
      cacheIndex_ = near;
      return true;
    }
  }
  int lo = 0, hi = Count() - 1;
  bool found = false;
  while (lo <= hi) {
    const int mid = lo + (hi - lo) / 2;
    const int c = CompareBookmarks(list_->Strings(mid), Item);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) {
        found = true;
        lo = mid;
        break;
      }
    }
  }
  Index = lo;
  cacheItem_ = Item;
  cacheIndex_ = lo;
  cacheFound_ = found;
  cacheValid_ = true;
  return found;
}

int TBMListEh::IndexOf(const TBookmark& Item) {
  int index = -1;
  return Find(Item, index) ? index : -1;
}

TBookmark TBMListEh::CurrentBookmark() {
  TDataSet* ds = GetDataSet();
  if (!linkActive_ || ds == nullptr || !ds->Active()) DatabaseError(SDataSetClosed, ds);
  return ds->Bookmark();
}

bool TBMListEh::CurrentRowSelected() {
  const TBookmark current = CurrentBookmark();
  int index = 0;
  return !current.empty() && Find(current, index);
}

void TBMListEh::SetCurrentRowSelected(bool Value) {
  const TBookmark current = CurrentBookmark();
  int index = 0;
  if (current.empty() || Find(current, index) == Value) return;
  if (Value) {
    list_->Insert(index, current);
    DEBUG_CHECK(CheckInserted(index));
  } else {
    list_->Delete(index);
  }
}

void TBMListEh::Clear() {
  if (list_->Count() > 0) list_->Clear();
  ClearCache();
  DEBUG_CHECK_CONSISTENCY(*this);  // empty: nothing to walk
  Cleared();
  ListChanged();
}

void TBMListEh::CustomSort(const TStringListSortCompare& Compare) {
  if (Count() >= 2) list_->CustomSort(Compare);
}

void TBMListEh::SelectAll() {
  TDataSet* ds = GetDataSet();
  if (!linkActive_ || ds == nullptr) return;
  ds->DisableControls();
  TScopeExit enableControls([&] { ds->EnableControls(); });
  const TBookmark saved = ds->Bookmark();
  Clear();
  list_->BeginUpdate();
  {
    TScopeExit endUpdate([&] { list_->EndUpdate(); });
    ds->First();
    while (!ds->Eof()) {
      list_->Add(ds->Bookmark());
      ds->Next();
    }
  }
  if (!saved.empty() && ds->BookmarkValid(saved)) ds->GotoBookmark(saved);
}

void TBMListEh::DeleteSelectedRecords() {
  TDataSet* ds = GetDataSet();
  if (!linkActive_ || ds == nullptr) return;
  ds->DisableControls();
  {
    TScopeExit enableControls([&] { ds->EnableControls(); });
    for (int i = Count() - 1; i >= 0; --i) {
      const TBookmark bm = list_->Strings(i);
      if (ds->BookmarkValid(bm)) {
        ds->GotoBookmark(bm);
        ds->Delete();
      }
      list_->Delete(i);
    }
  }
  Clear();
}

void TBMListEh::SetLinkActive(bool Value) {
  Clear();
  linkActive_ = Value;
}

// --- consistency -------------------------------------------------------------------------------

namespace {

constexpr const char* kBMListName = "TBMListEh";

}  // namespace

// The touched part after an insert: the new entry between neighbours in the data set's order.
void TBMListEh::CheckInserted(int Index) const {
  auto* self = const_cast<TBMListEh*>(this);  // the comparison only reads
  const TBookmark item = list_->Strings(Index);
  CheckRule(!item.empty(), kBMListName, "empty bookmark listed", "position", Index);
  if (Index > 0)
    CheckRule(self->CompareBookmarks(list_->Strings(Index - 1), item) < 0, kBMListName,
              "bookmarks out of order", "position", Index);
  if (Index + 1 < Count())
    CheckRule(self->CompareBookmarks(item, list_->Strings(Index + 1)) < 0, kBMListName,
              "bookmarks out of order", "position", Index + 1);
}

// Rules: no entry is empty and none is listed twice; the entries whose records the data set
// still holds never descend in its bookmark order (a record deleted meanwhile has no place
// left to keep); the search cache, while valid, answers what a search would: a place of the
// list and, when it found, the entry there is its bookmark.
void TBMListEh::CheckConsistency() const {
  auto* self = const_cast<TBMListEh*>(this);  // the data set's comparison only reads
  TDataSet* ds = self->GetDataSet();
  const int n = Count();
  std::unordered_set<TBookmark> seen;
  seen.reserve(static_cast<size_t>(n));
  TBookmark prev;
  for (int i = 0; i < n; ++i) {
    TBookmark item = list_->Strings(i);
    CheckRule(!item.empty(), kBMListName, "empty bookmark listed", "position", i);
    CheckRule(seen.insert(item).second, kBMListName, "bookmark listed twice", "position", i);
    if (ds != nullptr && !ds->BookmarkValid(item)) continue;
    if (!prev.empty())
      CheckRule(self->CompareBookmarks(prev, item) <= 0, kBMListName, "bookmarks out of order", "position",
                i);
    prev = std::move(item);
  }
  if (!cacheValid_) return;
  CheckRule(cacheIndex_ >= 0 && cacheIndex_ <= n, kBMListName, "search cache points outside the list");
  CheckRule(!cacheFound_ || (cacheIndex_ < n && list_->Strings(cacheIndex_) == cacheItem_), kBMListName,
            "search cache names another entry", "position", cacheIndex_);
}
