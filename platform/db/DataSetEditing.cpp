// TDataSet: editing — Edit, Insert, Append, Post, Cancel, Delete, Refresh and the browse-mode
// check that every move makes first.
#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/rtl/ScopeGuard.h"

namespace {
bool IsEditState(TDataSetState s) {
  return s == dsEdit || s == dsInsert || s == dsSetKey;
}
}  // namespace

void TDataSet::InternalInitRecord(TRecordBuffer& Buffer) {
  Buffer.Values.assign(static_cast<size_t>(RecordSlotCount()), Variant::Null());
}

void TDataSet::InitRecord(TRecordBuffer& Buffer) {
  InternalInitRecord(Buffer);
  ClearCalcFields(Buffer);
  Buffer.Bookmark.clear();
  SetBookmarkFlag(Buffer, bfInserted);
}

void TDataSet::CheckOperation(void (TDataSet::*Operation)(), const TDataSetErrorEvent& ErrorEvent) {
  for (;;) {
    try {
      UpdateCursorPos();
      (this->*Operation)();
      return;
    } catch (EDatabaseError& e) {
      TDataAction action = daFail;
      if (ErrorEvent) ErrorEvent(this, e, action);
      if (action == daFail) throw;
      if (action == daAbort) Abort();
    }
  }
}

void TDataSet::CheckBrowseMode() {
  CheckActive();
  DataEvent(deCheckBrowseMode, 0);
  switch (state_) {
    case dsEdit:
    case dsInsert:
      UpdateRecord();
      if (modified_)
        Post();
      else
        Cancel();
      break;
    case dsSetKey:
      Post();
      break;
    default:
      break;
  }
}

void TDataSet::UpdateRecord() {
  if (!IsEditState(state_)) DatabaseError(SNotEditing, this);
  DataEvent(deUpdateRecord, 0);
}

void TDataSet::Edit() {
  if (state_ == dsEdit || state_ == dsInsert) return;
  if (recordCount_ == 0) {
    Insert();
    return;
  }
  CheckBrowseMode();
  CheckCanModify();
  BeforeEdit(this);
  CheckOperation(&TDataSet::InternalEdit, OnEditError);
  oldBuffer_ = ActiveBuffer();
  hasOldBuffer_ = true;
  GetCalcFields(ActiveBuffer());
  SetState(dsEdit);
  DataEvent(deRecordChange, 0);
  AfterEdit(this);
}

void TDataSet::BeginInsertAppend() {
  CheckBrowseMode();
  CheckCanModify();
  BeforeInsert(this);
  DoBeforeScroll();
}

void TDataSet::EndInsertAppend() {
  // A new record's old values are all Null: only the buffer's shape is copied.
  const TRecordBuffer& active = ActiveBuffer();
  oldBuffer_.Values.assign(active.Values.size(), Variant::Null());
  oldBuffer_.Bookmark = active.Bookmark;
  oldBuffer_.BookmarkFlag = active.BookmarkFlag;
  oldBuffer_.StoredRecord = active.StoredRecord;
  hasOldBuffer_ = true;
  SetState(dsInsert);
  {
    TScopeFail cancel([this] {
      UpdateCursorPos();
      InternalCancel();
      SetState(dsBrowse);
      Resync({});
    });
    OnNewRecord(this);
  }
  modified_ = false;
  DataEvent(deDataSetChange, 0);
  AfterInsert(this);
  DoAfterScroll();
}

void TDataSet::Insert() {
  BeginInsertAppend();
  TBookmark oldCurrent = Bookmark();
  MoveBuffer(recordCount_, activeRecord_);
  // Rows after the active one shifted: the cursor's buffer index no longer holds.
  CursorPosChanged();
  TRecordBuffer& buffer = ActiveBuffer();
  InitRecord(buffer);
  if (recordCount_ == 0)
    SetBookmarkFlag(buffer, bfBOF);
  else
    SetBookmarkData(buffer, oldCurrent);
  if (recordCount_ < bufferCount_) ++recordCount_;
  InternalInsert();
  EndInsertAppend();
}

void TDataSet::Append() {
  BeginInsertAppend();
  if (!AppendToFullWindow()) {
    ClearBuffers();
    TRecordBuffer& buffer = buffers_[0];
    InitRecord(buffer);
    SetBookmarkFlag(buffer, bfEOF);
    recordCount_ = 1;
    bof_ = false;
    GetPriorRecords();
  }
  InternalInsert();
  EndInsertAppend();
}

// A full window that ends at the last record already holds the rows a refill from the end
// would fetch: the first row leaves and the new record takes the last place. Appending record
// after record then costs a fetch each, not a window's worth.
bool TDataSet::AppendToFullWindow() {
  // Calculated values of the kept rows are worked out again by a refill only.
  if (recordCount_ == 0 || recordCount_ != bufferCount_ || HasCalcFields()) return false;
  SetCurrentRecord(recordCount_ - 1);
  const TGetResult next = FetchRecord(BufferAt(recordCount_), gmNext, false);
  CursorPosChanged();
  if (next != grEOF) return false;
  MoveBuffer(0, recordCount_);
  activeRecord_ = recordCount_ - 1;
  TRecordBuffer& buffer = BufferAt(activeRecord_);
  InitRecord(buffer);
  SetBookmarkFlag(buffer, bfEOF);
  bof_ = false;
  eof_ = true;
  return true;
}

void TDataSet::CheckRequiredFields() {
  for (TField* f : *fields_) {
    if (f->Required() && !f->ReadOnly() && f->FieldKind() == fkData && f->IsNull()) {
      f->FocusControl();
      DatabaseErrorFmt(SFieldRequired, {f->DisplayName()});
    }
  }
}

void TDataSet::Post() {
  UpdateRecord();
  if (state_ != dsEdit && state_ != dsInsert) return;
  DataEvent(deCheckBrowseMode, 0);
  BeforePost(this);
  CheckRequiredFields();
  const bool appendedToFullWindow = state_ == dsInsert && recordCount_ == bufferCount_ &&
                                    activeRecord_ == recordCount_ - 1 && recordCount_ >= 2 &&
                                    GetBookmarkFlag(ActiveBuffer()) == bfEOF;
  CheckOperation(&TDataSet::InternalPost, OnPostError);
  SetState(dsBrowse);
  if (!appendedToFullWindow || !ResyncAfterAppendAtEnd()) Resync({});
  AfterPost(this);
}

// What Resync would fetch after a record appended to a full window, when the posted record is
// the last and follows the window's row before it: that row and the ones before it are the
// same records, as the post changed no other. Four fetches instead of a window's worth.
bool TDataSet::ResyncAfterAppendAtEnd() {
  // Calculated values of the kept rows would not be worked out again.
  if (!PostChangesOneRecord() || HasCalcFields()) return false;
  TRecordBuffer& posted = BufferAt(activeRecord_);
  TRecordBuffer& spare = BufferAt(recordCount_);
  if (FetchRecord(posted, gmCurrent, false) != grOK) return false;
  bool same = false;
  try {
    same = FetchRecord(spare, gmNext, false) == grEOF && FetchRecord(spare, gmPrior, false) == grOK &&
           FetchRecord(spare, gmPrior, false) == grOK &&
           GetBookmarkData(spare) == GetBookmarkData(BufferAt(activeRecord_ - 1));
  } catch (...) {
    CursorPosChanged();
    throw;
  }
  CursorPosChanged();
  if (!same) {
    // Resync starts from the record the post left the cursor on.
    InternalSetToRecord(posted);
    return false;
  }
  bof_ = false;
  eof_ = false;
  DataEvent(deDataSetChange, 0);
  return true;
}

void TDataSet::Cancel() {
  if (state_ != dsEdit && state_ != dsInsert) return;
  DataEvent(deCheckBrowseMode, 0);
  BeforeCancel(this);
  const bool scrollEvents = state_ == dsInsert;
  if (scrollEvents) DoBeforeScroll();
  UpdateCursorPos();
  InternalCancel();
  SetState(dsBrowse);
  Resync({});
  AfterCancel(this);
  if (scrollEvents) DoAfterScroll();
}

void TDataSet::Delete() {
  CheckActive();
  if (state_ == dsInsert || state_ == dsSetKey) {
    Cancel();
    return;
  }
  if (recordCount_ == 0) DatabaseError(SDataSetEmpty, this);
  CheckCanModify();
  DataEvent(deCheckBrowseMode, 0);
  BeforeDelete(this);
  DoBeforeScroll();
  CheckOperation(&TDataSet::InternalDelete, OnDeleteError);
  SetState(dsBrowse);
  Resync({});
  AfterDelete(this);
  DoAfterScroll();
}

void TDataSet::Refresh() {
  CheckBrowseMode();
  BeforeRefresh(this);
  UpdateCursorPos();
  InternalRefresh();
  Resync({});
  AfterRefresh(this);
}

void TDataSet::SetFields(std::initializer_list<Variant> Values) {
  if (!IsEditState(state_)) DatabaseError(SNotEditing, this);
  int i = 0;
  for (const Variant& v : Values) {
    TField* f = fields_->Fields(i++);
    if (v.IsEmpty()) continue;
    if (v.IsNull())
      f->Clear();
    else
      f->SetValue(v);
  }
}

void TDataSet::InsertRecord(std::initializer_list<Variant> Values) {
  Insert();
  SetFields(Values);
  Post();
}

void TDataSet::AppendRecord(std::initializer_list<Variant> Values) {
  Append();
  SetFields(Values);
  Post();
}

void TDataSet::ClearFields() {
  if (!IsEditState(state_)) DatabaseError(SNotEditing, this);
  DataEvent(deCheckBrowseMode, 0);
  TRecordBuffer& buffer = ActiveBuffer();
  for (int i = 0; i < dataSlotCount_ && static_cast<size_t>(i) < buffer.Values.size(); ++i)
    buffer.Values[static_cast<size_t>(i)] = Variant::Null();
  if (state_ != dsSetKey) GetCalcFields(buffer);
  DataEvent(deRecordChange, 0);
}
