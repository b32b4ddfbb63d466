// TDataSet: the record-buffer window and navigation.
//
// Window buffers 0 .. recordCount_-1 hold the records around the current one (activeRecord_);
// currentRecord_ is the buffer whose record the descendant's cursor is on (-1: unknown).
// Fetching a record past either end of a full window turns the ring of buffers by one, and
// deDataSetScroll carries that shift so every link can keep its own window in step.
#include <algorithm>

#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/rtl/ScopeGuard.h"

// --- buffers ---------------------------------------------------------------------------------

void TDataSet::AllocateBuffers(int Count) {
  // Growing needs the ring laid out flat first.
  std::rotate(buffers_.begin(), buffers_.begin() + ringStart_, buffers_.end());
  ringStart_ = 0;
  const size_t slots = static_cast<size_t>(RecordSlotCount());
  const size_t old = buffers_.size();
  buffers_.resize(static_cast<size_t>(Count));
  for (size_t i = old; i < buffers_.size(); ++i) buffers_[i].Values.assign(slots, Variant::Null());
}

// Moves window buffer CurIndex to NewIndex, shifting the ones between by one. Moving the
// first to the last place of the whole ring, or back, only turns the ring.
void TDataSet::MoveBuffer(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  const int size = static_cast<int>(buffers_.size());
  if (CurIndex == 0 && NewIndex == size - 1) {
    ringStart_ = (ringStart_ + 1) % size;
  } else if (CurIndex == size - 1 && NewIndex == 0) {
    ringStart_ = (ringStart_ + size - 1) % size;
  } else if (NewIndex == 0 && CurIndex >= recordCount_) {
    // The buffers after CurIndex hold no record, so their order is free: turning the ring back
    // shifts the window, and one swap brings CurIndex's buffer to the front. Filling a window
    // from its end costs a step a record, not a shift of the whole window.
    ringStart_ = (ringStart_ + size - 1) % size;
    std::swap(BufferAt(0), BufferAt(CurIndex + 1));
  } else {
    const int step = CurIndex < NewIndex ? 1 : -1;
    for (int i = CurIndex; i != NewIndex; i += step) std::swap(BufferAt(i), BufferAt(i + step));
  }
}

void TDataSet::ClearBuffers() {
  // No buffer holds a record: window buffer 0 is buffers_[0] again.
  ringStart_ = 0;
  recordCount_ = 0;
  activeRecord_ = 0;
  currentRecord_ = -1;
  bof_ = true;
  eof_ = true;
}

void TDataSet::ActivateBuffers() {
  recordCount_ = 1;
  activeRecord_ = 0;
  currentRecord_ = 0;
  bof_ = false;
  eof_ = false;
}

TRecordBuffer& TDataSet::ActiveBuffer() {
  if (buffers_.empty()) DatabaseError(SDataSetClosed, this);
  return BufferAt(std::clamp(activeRecord_, 0, static_cast<int>(buffers_.size()) - 1));
}

const TRecordBuffer& TDataSet::Buffer(int Index) const {
  if (Index < 0 || static_cast<size_t>(Index) >= buffers_.size())
    DatabaseError("Record buffer index out of range", const_cast<TDataSet*>(this));
  return BufferAt(Index);
}

void TDataSet::UpdateBufferCount() {
  if (!internalOpenComplete_) return;
  int maxCount = 1;
  for (TDataSource* s : dataSources_)
    for (TDataLink* l : s->dataLinks_) maxCount = std::max(maxCount, l->bufferCount_);
  SetBufferCount(maxCount);
}

void TDataSet::SetBufferCount(int Value) {
  if (Value == bufferCount_) return;
  auto adjustFirstRecords = [this](int Delta) {
    if (Delta == 0) return;
    for (TDataSource* s : dataSources_)
      for (TDataLink* l : s->dataLinks_)
        if (l->active_) l->firstRecord_ = std::max(0, l->firstRecord_ + Delta);
  };
  if (Value < bufferCount_ && recordCount_ > 0) {
    // Drop rows from the front first, as far as no link's window starts there, but always
    // enough to keep the active record inside the smaller window.
    int delta = activeRecord_;
    for (TDataSource* s : dataSources_)
      for (TDataLink* l : s->dataLinks_)
        if (l->active_) delta = std::min(delta, l->firstRecord_);
    delta = std::max({delta, activeRecord_ - Value + 1, 0});
    for (int i = 0; i < delta; ++i) MoveBuffer(0, bufferCount_);
    activeRecord_ -= delta;
    recordCount_ = std::min(recordCount_ - delta, Value);
    if (currentRecord_ != -1) {
      currentRecord_ -= delta;
      if (currentRecord_ < 0 || currentRecord_ >= recordCount_) currentRecord_ = -1;
    }
    adjustFirstRecords(-delta);
  }
  AllocateBuffers(Value + 1);
  bufferCount_ = Value;
  if (recordCount_ > bufferCount_) recordCount_ = bufferCount_;
  if (activeRecord_ >= bufferCount_) activeRecord_ = bufferCount_ - 1;
  if (currentRecord_ >= recordCount_) currentRecord_ = -1;
  GetNextRecords();
  adjustFirstRecords(GetPriorRecords());
}

// --- fetching --------------------------------------------------------------------------------

TGetResult TDataSet::FetchRecord(TRecordBuffer& Buffer, TGetMode GetMode, bool DoCheck) {
  TGetResult result = GetRecord(Buffer, GetMode, DoCheck);
  if (result == grOK) {
    if (Buffer.Values.size() < static_cast<size_t>(RecordSlotCount()))
      Buffer.Values.resize(static_cast<size_t>(RecordSlotCount()), Variant::Null());
    GetCalcFields(Buffer);
  }
  return result;
}

void TDataSet::SetCurrentRecord(int Index) {
  if (currentRecord_ == Index) return;
  const TRecordBuffer& buffer = BufferAt(Index);
  switch (GetBookmarkFlag(buffer)) {
    case bfCurrent:
    case bfInserted:
      InternalSetToRecord(buffer);
      break;
    case bfBOF:
      InternalFirst();
      break;
    case bfEOF:
      InternalLast();
      break;
  }
  currentRecord_ = Index;
}

void TDataSet::UpdateCursorPos() {
  if (recordCount_ > 0) SetCurrentRecord(activeRecord_);
}

void TDataSet::InternalSetToRecord(const TRecordBuffer& Buffer) {
  InternalGotoBookmark(GetBookmarkData(Buffer));
}

bool TDataSet::GetNextRecord() {
  TGetMode mode = gmNext;
  if (recordCount_ > 0) {
    SetCurrentRecord(recordCount_ - 1);
    // The last row is the record being inserted: the cursor went to the record it is inserted
    // before, which is the next one to show.
    if (state_ == dsInsert && currentRecord_ == activeRecord_) {
      const TBookmarkFlag flag = GetBookmarkFlag(ActiveBuffer());
      if (flag == bfInserted || flag == bfCurrent) mode = gmCurrent;
    }
  }
  const bool ok = FetchRecord(BufferAt(recordCount_), mode, true) == grOK;
  if (ok) {
    if (recordCount_ == 0) {
      ActivateBuffers();
    } else if (recordCount_ < bufferCount_) {
      ++recordCount_;
    } else {
      MoveBuffer(0, recordCount_);
    }
    currentRecord_ = recordCount_ - 1;
  } else {
    CursorPosChanged();
  }
  return ok;
}

bool TDataSet::GetPriorRecord() {
  if (recordCount_ > 0) SetCurrentRecord(0);
  // The ring's last buffer never holds a record (it is the spare, or past a window that is not
  // full): turned back, the ring shifts the window by one and that buffer becomes the front
  // the prior record goes to. A window filled from its end costs a step a record.
  const int size = static_cast<int>(buffers_.size());
  const int start = ringStart_;
  ringStart_ = (start + size - 1) % size;
  bool ok = false;
  try {
    ok = FetchRecord(BufferAt(0), gmPrior, true) == grOK;
  } catch (...) {
    ringStart_ = start;
    throw;
  }
  if (ok) {
    if (recordCount_ == 0) {
      ActivateBuffers();
    } else if (recordCount_ < bufferCount_) {
      ++recordCount_;
      ++activeRecord_;
    }
    currentRecord_ = 0;
  } else {
    ringStart_ = start;
    CursorPosChanged();
  }
  return ok;
}

int TDataSet::GetNextRecords() {
  int n = 0;
  while (recordCount_ < bufferCount_ && GetNextRecord()) ++n;
  return n;
}

int TDataSet::GetPriorRecords() {
  int n = 0;
  while (recordCount_ < bufferCount_ && GetPriorRecord()) ++n;
  return n;
}

// --- navigation ------------------------------------------------------------------------------

void TDataSet::First() {
  CheckBrowseMode();
  DoBeforeScroll();
  ClearBuffers();
  {
    TScopeExit announce([this] {
      bof_ = true;
      DataEvent(deDataSetChange, 0);
    });
    InternalFirst();
    GetNextRecord();
    GetNextRecords();
  }
  DoAfterScroll();
}

void TDataSet::Last() {
  CheckBrowseMode();
  DoBeforeScroll();
  ClearBuffers();
  {
    TScopeExit announce([this] {
      eof_ = true;
      DataEvent(deDataSetChange, 0);
    });
    InternalLast();
    GetPriorRecord();
    GetPriorRecords();
  }
  DoAfterScroll();
}

int TDataSet::MoveBy(int Distance) {
  CheckBrowseMode();
  int result = 0;
  DoBeforeScroll();
  if ((Distance > 0 && !eof_) || (Distance < 0 && !bof_)) {
    bof_ = false;
    eof_ = false;
    // How far the buffers shifted: negative when rows left at the front.
    int scrollCount = 0;
    auto walk = [&] {
      while (Distance > 0) {
        if (activeRecord_ < recordCount_ - 1) {
          ++activeRecord_;
        } else {
          const int shift = recordCount_ < bufferCount_ ? 0 : 1;
          if (!GetNextRecord()) {
            eof_ = true;
            break;
          }
          scrollCount -= shift;
          if (activeRecord_ < recordCount_ - 1) ++activeRecord_;
        }
        --Distance;
        ++result;
      }
      while (Distance < 0) {
        if (activeRecord_ > 0) {
          --activeRecord_;
        } else {
          const int shift = recordCount_ < bufferCount_ ? 0 : 1;
          if (!GetPriorRecord()) {
            bof_ = true;
            break;
          }
          scrollCount += shift;
          if (activeRecord_ > 0) --activeRecord_;
        }
        ++Distance;
        --result;
      }
    };
    if (dataSources_.empty()) {
      // Nobody to tell should a fetch raise: the guard's exception bookkeeping would be the
      // dearest part of a step.
      walk();
      DataEvent(deDataSetScroll, scrollCount);
    } else {
      // Listeners hear of the shifted window however the walk ends.
      TScopeExit announce([this, &scrollCount] { DataEvent(deDataSetScroll, scrollCount); });
      walk();
    }
    DoAfterScroll();
  }
  return result;
}

void TDataSet::Resync(TResyncMode Mode) {
  TRecordBuffer& spare = BufferAt(recordCount_);
  if (Mode.Contains(rmExact)) {
    CursorPosChanged();
    if (FetchRecord(spare, gmCurrent, true) != grOK) DatabaseError(SRecordNotFound, this);
  } else if (FetchRecord(spare, gmCurrent, false) != grOK && FetchRecord(spare, gmNext, false) != grOK &&
             FetchRecord(spare, gmPrior, false) != grOK) {
    ClearBuffers();
    DataEvent(deDataSetChange, 0);
    return;
  }
  int count = Mode.Contains(rmCenter) ? (bufferCount_ - 1) / 2 : activeRecord_;
  MoveBuffer(recordCount_, 0);
  ActivateBuffers();
  TScopeExit announce([this] { DataEvent(deDataSetChange, 0); });
  while (count > 0 && GetPriorRecord()) --count;
  GetNextRecords();
  GetPriorRecords();
}

// --- bookmarks -------------------------------------------------------------------------------

bool TDataSet::BookmarkAvailable() const {
  if (state_ != dsBrowse && state_ != dsEdit && state_ != dsInsert) return false;
  if (IsEmpty()) return false;
  return GetBookmarkFlag(BufferAt(activeRecord_)) == bfCurrent;
}

TBookmark TDataSet::Bookmark() {
  // Inside a record filter the record under test answers, as the field reads do.
  if (state_ == dsFilter) {
    const TRecordBuffer* tested = ReadBuffer();
    return tested ? GetBookmarkData(*tested) : TBookmark();
  }
  if (!BookmarkAvailable()) return TBookmark();
  return GetBookmarkData(ActiveBuffer());
}

void TDataSet::GotoBookmark(const TBookmark& Value) {
  if (Value.empty()) return;
  CheckBrowseMode();
  DoBeforeScroll();
  InternalGotoBookmark(Value);
  Resync({rmExact, rmCenter});
  DoAfterScroll();
}

int TDataSet::CompareBookmarks(const TBookmark& A, const TBookmark& B) {
  if (A.empty() && B.empty()) return 0;
  if (A.empty()) return -1;
  if (B.empty()) return 1;
  return 0;
}

// --- walking without moving ------------------------------------------------------------------

void TDataSet::ForEachRecord(const std::function<void(const TBookmark& Bookmark)>& Visit) {
  CheckActive();
  if (state_ != dsBrowse) DatabaseError(SNotBrowsing, this);
  TRecordBuffer record;
  record.Values.assign(static_cast<size_t>(RecordSlotCount()), Variant::Null());
  // The descendant's cursor goes back to the current record; the window was never touched.
  CursorPosChanged();
  TScopeExit back([this] {
    CursorPosChanged();
    UpdateCursorPos();
  });
  InternalFirst();
  while (FetchRecord(record, gmNext, false) == grOK) {
    // Fields read the calculation buffer in this state: point it at the record.
    TRecordBuffer* const savedCalc = calcBuffer_;
    const TDataSetState saved = SetTempState(dsCalcFields);
    calcBuffer_ = &record;
    TScopeExit restore([&] {
      calcBuffer_ = savedCalc;
      RestoreState(saved);
    });
    Visit(GetBookmarkData(record));
  }
}
