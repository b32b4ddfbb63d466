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
  if (Value)
    list_->Insert(index, current);
  else
    list_->Delete(index);
}

void TBMListEh::Clear() {
  if (list_->Count() > 0) list_->Clear();
  ClearCache();
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
