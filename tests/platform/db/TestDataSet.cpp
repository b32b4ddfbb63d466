#include "tests/platform/db/TestDataSet.h"

#include <cstring>

namespace dbtest {

// --- TTestDataSet ----------------------------------------------------------------------------

TTestDataSet::TTestDataSet(TComponent* AOwner) : TDataSet(AOwner) {}

TTestDataSet::~TTestDataSet() {
  Destroying();
  if (Active()) Close();
}

void TTestDataSet::AddColumn(const std::string& Name, TFieldType Type, int Size, bool Required) {
  columns_.push_back({Name, Type, Size, Required});
}

void TTestDataSet::AddRow(std::vector<Variant> Values) {
  Values.resize(columns_.size(), Variant::Null());
  rows_.push_back({nextId_++, std::move(Values)});
}

const Variant& TTestDataSet::Stored(int Row, int Column) const {
  return rows_.at(static_cast<size_t>(Row)).Values.at(static_cast<size_t>(Column));
}

void TTestDataSet::FillNumbered(int Count) {
  for (int i = 1; i <= Count; ++i) AddRow({Variant(i), Variant("Name" + std::to_string(i))});
}

TBookmark TTestDataSet::MakeBookmark(int64_t Id) {
  TBookmark b(sizeof Id, '\0');
  std::memcpy(b.data(), &Id, sizeof Id);
  return b;
}

int TTestDataSet::IndexOfBookmark(const TBookmark& B) const {
  if (B.size() != sizeof(int64_t)) return -1;
  int64_t id = 0;
  std::memcpy(&id, B.data(), sizeof id);
  for (size_t i = 0; i < rows_.size(); ++i)
    if (rows_[i].Id == id) return static_cast<int>(i);
  return -1;
}

int TTestDataSet::CompareBookmarks(const TBookmark& A, const TBookmark& B) {
  if (A.empty() || B.empty()) return TDataSet::CompareBookmarks(A, B);
  const int a = IndexOfBookmark(A);
  const int b = IndexOfBookmark(B);
  return a < b ? -1 : a > b ? 1 : 0;
}

bool TTestDataSet::BookmarkValid(const TBookmark& B) {
  return IndexOfBookmark(B) >= 0;
}

void TTestDataSet::InternalOpen() {
  open_ = true;
  cursor_ = -1;
}

void TTestDataSet::InternalClose() {
  open_ = false;
}

void TTestDataSet::InternalInitFieldDefs() {
  FieldDefs()->Clear();
  for (const Column& c : columns_) FieldDefs()->Add(c.Name, c.Type, c.Size, c.Required);
}

bool TTestDataSet::Accepts(int Index) {
  if (!Filtered() || !OnFilterRecord) return true;
  TRecordBuffer probe;
  probe.Values.assign(static_cast<size_t>(RecordSlotCount()), Variant::Null());
  const Row& row = rows_[static_cast<size_t>(Index)];
  std::copy(row.Values.begin(), row.Values.end(), probe.Values.begin());
  return EvaluateFilterRecord(probe);
}

TGetResult TTestDataSet::GetRecord(TRecordBuffer& Buffer, TGetMode GetMode, bool DoCheck) {
  ++GetRecordCalls;
  const int n = static_cast<int>(rows_.size());
  if (GetMode == gmCurrent) {
    if (cursor_ < 0) return grBOF;
    if (cursor_ >= n) return grEOF;
    if (!Accepts(cursor_)) return grError;
  } else if (GetMode == gmNext) {
    do {
      if (cursor_ >= n - 1) {
        cursor_ = n;
        return grEOF;
      }
      ++cursor_;
    } while (!Accepts(cursor_));
  } else {
    do {
      if (cursor_ <= 0) {
        cursor_ = -1;
        return grBOF;
      }
      --cursor_;
    } while (!Accepts(cursor_));
  }
  const Row& row = rows_[static_cast<size_t>(cursor_)];
  std::copy(row.Values.begin(), row.Values.end(), Buffer.Values.begin());
  Buffer.Bookmark = MakeBookmark(row.Id);
  Buffer.BookmarkFlag = bfCurrent;
  return grOK;
}

void TTestDataSet::StoreAt(int Index, const TRecordBuffer& Buffer) {
  Row row{nextId_++, std::vector<Variant>(Buffer.Values.begin(),
                                          Buffer.Values.begin() + static_cast<long>(columns_.size()))};
  rows_.insert(rows_.begin() + Index, std::move(row));
  cursor_ = Index;
}

void TTestDataSet::InternalAddRecord(const TRecordBuffer& Buffer, bool Append) {
  const int n = static_cast<int>(rows_.size());
  StoreAt(Append ? n : std::clamp(cursor_, 0, n), Buffer);
}

void TTestDataSet::InternalPost() {
  if (FailPosts > 0) {
    --FailPosts;
    throw EDatabaseError("disk full");
  }
  const TRecordBuffer& buffer = ActiveBuffer();
  const int n = static_cast<int>(rows_.size());
  if (State() == dsInsert) {
    const bool append = buffer.BookmarkFlag == bfEOF;
    StoreAt(append ? n : std::clamp(cursor_, 0, n), buffer);
  } else {
    Row& row = rows_.at(static_cast<size_t>(cursor_));
    std::copy(buffer.Values.begin(), buffer.Values.begin() + static_cast<long>(columns_.size()),
              row.Values.begin());
  }
}

void TTestDataSet::InternalDelete() {
  rows_.erase(rows_.begin() + cursor_);
}

void TTestDataSet::InternalGotoBookmark(const TBookmark& Bookmark) {
  const int i = IndexOfBookmark(Bookmark);
  if (i < 0) DatabaseError(SBookmarkNotFound, this);
  cursor_ = i;
}

int TTestDataSet::GetRecordCount() {
  CheckActive();
  int count = 0;
  for (int i = 0; i < static_cast<int>(rows_.size()); ++i)
    if (Accepts(i)) ++count;
  return count;
}

int TTestDataSet::GetRecNo() {
  if (!Active() || IsEmpty() || State() == dsInsert) return -1;
  const int index = IndexOfBookmark(ActiveBuffer().Bookmark);
  int recNo = 0;
  for (int i = 0; i <= index; ++i)
    if (Accepts(i)) ++recNo;
  return recNo;
}

void TTestDataSet::DoSetRecNo(int Value) {
  CheckBrowseMode();
  int seen = 0;
  for (int i = 0; i < static_cast<int>(rows_.size()); ++i) {
    if (!Accepts(i) || ++seen != Value) continue;
    DoBeforeScroll();
    cursor_ = i;
    Resync({rmExact, rmCenter});
    DoAfterScroll();
    return;
  }
}

RTL_IMPLEMENT_CLASS(TTestDataSet)

// --- TTestLink -------------------------------------------------------------------------------

void TTestLink::DataEvent(TDataEvent Event, intptr_t Info) {
  if (Event == deDisabledStateChange) {
    ++DisabledStateCount;
    Log.push_back("disabled");
  }
  TDataLink::DataEvent(Event, Info);
}

void TTestLink::FocusControl(TField*& Field) {
  Log.push_back("focus " + (Field ? Field->FieldName() : std::string("nil")));
}

void TTestLink::RecordChanged(TField* Field) {
  Log.push_back("record " + (Field ? Field->FieldName() : std::string("nil")));
}

void TTestLink::UpdateData() {
  Log.push_back("update");
  if (!UpdateField.empty()) DataSet()->FieldByName(UpdateField)->SetValue(UpdateValue);
}

// --- TEventRecorder --------------------------------------------------------------------------

TEventRecorder::TEventRecorder(TDataSet* D) {
  auto hook = [this](TDataSetNotifyEvent& e, const char* name) {
    e = [this, name](TDataSet*) { Log.push_back(name); };
    hooked_.push_back(&e);
  };
  hook(D->BeforeOpen, "BeforeOpen");
  hook(D->AfterOpen, "AfterOpen");
  hook(D->BeforeClose, "BeforeClose");
  hook(D->AfterClose, "AfterClose");
  hook(D->BeforeInsert, "BeforeInsert");
  hook(D->AfterInsert, "AfterInsert");
  hook(D->BeforeEdit, "BeforeEdit");
  hook(D->AfterEdit, "AfterEdit");
  hook(D->BeforePost, "BeforePost");
  hook(D->AfterPost, "AfterPost");
  hook(D->BeforeCancel, "BeforeCancel");
  hook(D->AfterCancel, "AfterCancel");
  hook(D->BeforeDelete, "BeforeDelete");
  hook(D->AfterDelete, "AfterDelete");
  hook(D->BeforeScroll, "BeforeScroll");
  hook(D->AfterScroll, "AfterScroll");
  hook(D->BeforeRefresh, "BeforeRefresh");
  hook(D->AfterRefresh, "AfterRefresh");
  hook(D->OnNewRecord, "OnNewRecord");
}

TEventRecorder::~TEventRecorder() {
  for (TDataSetNotifyEvent* e : hooked_) *e = nullptr;
}

std::string TEventRecorder::Joined() const {
  std::string s;
  for (const std::string& e : Log) {
    if (!s.empty()) s += ' ';
    s += e;
  }
  return s;
}

}  // namespace dbtest
