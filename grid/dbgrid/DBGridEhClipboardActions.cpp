// The grid's edit actions: copy puts the selection on the clipboard in five formats at once,
// paste reads back the richest one there, delete removes the selected records or clears the
// selected cells after a confirmation, and cut is a copy followed by a delete.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "grid/data/MemoryStreamEh.h"
#include "grid/dbgrid/DBGridEhImpExp.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Clipbrd.h"
#include "platform/vcl/Dialogs.h"
#include "platform/win/Clipboard.h"

namespace dbgrid_clipboard_detail {

// A clipboard format id is a 16-bit value; a larger answer cannot be kept.
UINT RegisterFormatChecked(const char* Name) {
  const UINT id = RegisterClipboardFormat(Name);
  if (id > 65535) throw ERangeError("Range check error");
  return id;
}

// A global block holds at most 1 GiB.
constexpr int64_t kMaxClipboardBlock = int64_t{1} << 30;

TDataSet* GridDataSet(TCustomDBGridEh* Grid) {
  TDataSource* source = Grid->DataSource();
  return source ? source->DataSet() : nullptr;
}

TDBGridEhSelectionType ActionKind(TCustomDBGridEh* Grid, bool ForWholeGrid) {
  return ForWholeGrid ? gstAll : Grid->Selection()->SelectionType();
}

// A single-cell action needs a current column; without one there is no cell to take.
bool HasActionCells(TCustomDBGridEh* Grid, bool ForWholeGrid) {
  return ActionKind(Grid, ForWholeGrid) != gstNon || Grid->GetSelectedIndex() >= 0;
}

// Asks before the delete when the grid wants it; false when the answer was Cancel.
bool ConfirmGridDelete(TCustomDBGridEh* Grid, TDBGridEhSelectionType Kind) {
  std::string text;
  switch (Kind) {
    case gstRecordBookmarks: {
      const int count = Grid->Selection()->Rows()->Count();
      text = count >= 2 ? Format("Delete %d selected records?", {count}) : "Delete record?";
      break;
    }
    case gstRectangle:
      text = "清除选择的单元？";
      break;
    case gstAll:
      text = "Delete All records?";
      break;
    case gstColumns:
    case gstNon:
      return true;
  }
  if (!Grid->Options().Contains(dgConfirmDelete)) return true;
  return MessageDlg(text, mtConfirmation, mbOKCancel, 0) != mrCancel;
}

void ClearField(TField* Field) {
  TDataSet* dataSet = Field->DataSet();
  if (dataSet->CanModify()) dataSet->Edit();
  if (dataSet->State() == dsEdit || dataSet->State() == dsInsert) Field->Clear();
}

// Clears the listed columns' cells of the current record; a lookup column clears its key
// fields, the lookup field itself holding no value of its own. The record stays in edit.
void ClearRecordCells(TColumnsEhList* Columns) {
  for (int i = 0; i < Columns->Count(); ++i) {
    TColumnEh* column = Columns->Items(i);
    if (!column->CanModify(false)) continue;
    TField* field = column->GetField();
    if (field->FieldKind() == fkLookup) {
      std::vector<TField*> keys;
      field->DataSet()->GetFieldList(keys, field->KeyFields());
      for (TField* key : keys) ClearField(key);
    } else {
      ClearField(field);
    }
  }
}

void ClearCellsOfRecords(TDataSet* DataSet, const std::vector<TBookmark>& Records, TColumnsEhList* Columns) {
  for (const TBookmark& record : Records) {
    DataSet->GotoBookmark(record);
    ClearRecordCells(Columns);
  }
}

void DeleteBookmarkedRecords(TCustomDBGridEh* Grid, TDataSet* DataSet) {
  TBookmarkListEh* rows = Grid->Selection()->Rows();
  for (int i = rows->Count() - 1; i >= 0; --i) {
    DataSet->GotoBookmark(rows->Item(i));
    DataSet->Delete();
  }
  Grid->Selection()->Clear();
}

// The rectangle's records are taken before anything changes: a clearing that re-sorts the data
// or drops a record must not carry the walk past the rectangle.
void ClearRectangleCells(TCustomDBGridEh* Grid, TDataSet* DataSet) {
  TDBGridEhSelectionRect* rect = Grid->Selection()->Rect();
  TColumnsEhList columns;
  TDBGridColumnsEh* gridColumns = Grid->Columns();
  const int right = std::min(rect->GetRightCol(), gridColumns->Count() - 1);
  for (int i = std::max(rect->GetLeftCol(), 0); i <= right; ++i)
    if (gridColumns->GetColumn(i)->Visible()) columns.Add(gridColumns->GetColumn(i));

  const TBookmark bottom = rect->GetBottomRow();
  std::vector<TBookmark> records;
  DataSet->GotoBookmark(rect->GetTopRow());
  while (!DataSet->Eof()) {
    records.push_back(DataSet->Bookmark());
    if (DataSet->CompareBookmarks(records.back(), bottom) >= 0) break;
    DataSet->Next();
  }
  ClearCellsOfRecords(DataSet, records, &columns);
}

// Every record is taken first, for the same reason as in a rectangle.
void ClearSelectedColumns(TCustomDBGridEh* Grid, TDataSet* DataSet) {
  std::vector<TBookmark> records;
  for (DataSet->First(); !DataSet->Eof(); DataSet->Next()) records.push_back(DataSet->Bookmark());
  ClearCellsOfRecords(DataSet, records, Grid->Selection()->Columns());
}

void DeleteAllRecords(TDataSet* DataSet) {
  DataSet->First();
  while (!DataSet->Eof()) DataSet->Delete();
}

}  // namespace dbgrid_clipboard_detail

namespace clipd = dbgrid_clipboard_detail;

UINT ClipboardFormatVCLDBIF() {
  static const UINT id = clipd::RegisterFormatChecked("VCLDBIF");
  return id;
}

UINT ClipboardFormatCSV() {
  static const UINT id = clipd::RegisterFormatChecked("Csv");
  return id;
}

UINT ClipboardFormatRTF() {
  static const UINT id = clipd::RegisterFormatChecked("Rich Text Format");
  return id;
}

void WriteGridToExportStream(TDBGridEhExportClass ExpClass, TCustomDBGridEh* Grid, TStream* Stream,
                             bool ForWholeGrid) {
  if (!ExpClass || !ExpClass->InheritsFrom(TDBGridEhExport::StaticClass()) || !ExpClass->Create)
    throw EInvalidOperation("Not an exporter class: " + std::string(ExpClass ? ExpClass->Name : "nil"));
  std::unique_ptr<TObject> made(ExpClass->Create(nullptr));
  auto* exporter = static_cast<TDBGridEhExport*>(made.get());
  exporter->SetDBGridEh(Grid);
  exporter->ExportToStream(Stream, ForWholeGrid);
}

void ReadGridFromImportStream(TDBGridEhImportClass ImpClass, TCustomDBGridEh* Grid, TStream* Stream,
                              bool ForWholeGrid) {
  if (!ImpClass || !ImpClass->InheritsFrom(TDBGridEhImport::StaticClass()) || !ImpClass->Create)
    throw EInvalidOperation("Not an importer class: " + std::string(ImpClass ? ImpClass->Name : "nil"));
  std::unique_ptr<TObject> made(ImpClass->Create(nullptr));
  auto* importer = static_cast<TDBGridEhImport*>(made.get());
  importer->SetDBGridEh(Grid);
  importer->ImportFromStream(Stream, ForWholeGrid);
}

void PutStreamToClipboard(UINT Format, TCustomMemoryStream* Stream) {
  // Inside an open session other formats of the same copy may be there already.
  const bool copyInProgress = Clipboard()->OpenCount() > 0;
  Clipboard()->Open();
  TScopeExit close([] { Clipboard()->Close(); });
  const int64_t size = Stream->Size();
  HGLOBAL data = size <= clipd::kMaxClipboardBlock
                     ? GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, static_cast<SIZE_T>(size))
                     : nullptr;
  if (!data) {
    if (copyInProgress) Clipboard()->Clear();
    throw EOutOfResources("The copy takes " + std::to_string(size) +
                          " bytes, more than the clipboard can hold (" +
                          std::to_string(clipd::kMaxClipboardBlock) + " bytes)");
  }
  if (size > 0) {
    void* bytes = GlobalLock(data);
    std::memcpy(bytes, Stream->Memory(), static_cast<size_t>(size));
    GlobalUnlock(data);
  }
  Clipboard()->SetAsHandle(Format, data);
}

void GetClipboardToStream(UINT Format, TStream* Stream) {
  Clipboard()->Open();
  TScopeExit close([] { Clipboard()->Close(); });
  HGLOBAL data = static_cast<HGLOBAL>(Clipboard()->GetAsHandle(Format));
  if (!data) return;
  const void* bytes = GlobalLock(data);
  if (!bytes) return;
  TScopeExit unlock([data] { GlobalUnlock(data); });
  Stream->WriteBuffer(bytes, static_cast<int64_t>(GlobalSize(data)));
}

void GridCopyAction(TCustomDBGridEh* Grid, bool ForWholeGrid) {
  if (!clipd::HasActionCells(Grid, ForWholeGrid)) return;
  struct FormatStep {
    TDBGridEhExportClass Exporter;
    int Terminator;  // zero bytes after the data
    UINT Format;
  };
  const FormatStep steps[] = {
      {TDBGridEhExportAsText::StaticClass(), 1, CF_TEXT},
      {TDBGridEhExportAsUnicodeText::StaticClass(), 2, CF_UNICODETEXT},
      {TDBGridEhExportAsCSV::StaticClass(), 1, ClipboardFormatCSV()},
      {TDBGridEhExportAsRTF::StaticClass(), 1, ClipboardFormatRTF()},
      {TDBGridEhExportAsVCLDBIF::StaticClass(), 0, ClipboardFormatVCLDBIF()},
  };
  TDataSet* dataSet = clipd::GridDataSet(Grid);
  if (!dataSet) return;
  // One open session makes the five formats one clipboard content.
  Clipboard()->Open();
  TScopeExit close([] { Clipboard()->Close(); });
  dataSet->DisableControls();
  TScopeExit enable([dataSet] { dataSet->EnableControls(); });
  // A copy that fails part way leaves none of its formats behind.
  bool put = false;
  TScopeFail dropPartial([&put] {
    if (put) Clipboard()->Clear();
  });
  TMemoryStreamEh stream;
  stream.SetMemoryDelta(65536);
  for (const FormatStep& step : steps) {
    WriteGridToExportStream(step.Exporter, Grid, &stream, ForWholeGrid);
    static const uint8_t zeros[2] = {0, 0};
    if (step.Terminator > 0) stream.WriteBuffer(zeros, step.Terminator);
    PutStreamToClipboard(step.Format, &stream);
    put = true;
    stream.Clear();
  }
}

void GridPasteAction(TCustomDBGridEh* Grid, bool ForWholeGrid) {
  if (!clipd::GridDataSet(Grid) || !clipd::HasActionCells(Grid, ForWholeGrid)) return;
  const std::pair<UINT, TDBGridEhImportClass> preferred[] = {
      {ClipboardFormatVCLDBIF(), TDBGridEhImportAsVCLDBIF::StaticClass()},
      {CF_UNICODETEXT, TDBGridEhImportAsUnicodeText::StaticClass()},
      {CF_TEXT, TDBGridEhImportAsText::StaticClass()},
  };
  Clipboard()->Open();
  TScopeExit close([] { Clipboard()->Close(); });
  for (const auto& [format, importer] : preferred) {
    if (!Clipboard()->HasFormat(format)) continue;
    TMemoryStream stream;
    GetClipboardToStream(format, &stream);
    stream.SetPosition(0);
    ReadGridFromImportStream(importer, Grid, &stream, ForWholeGrid);
    return;
  }
}

void GridCutAction(TCustomDBGridEh* Grid, bool ForWholeGrid) {
  GridCopyAction(Grid, ForWholeGrid);
  GridDeleteAction(Grid, ForWholeGrid);
}

void GridDeleteAction(TCustomDBGridEh* Grid, bool ForWholeGrid) {
  const TDBGridEhSelectionType kind = clipd::ActionKind(Grid, ForWholeGrid);
  if (kind == gstNon) return;
  TDataSet* dataSet = clipd::GridDataSet(Grid);
  if (!dataSet) return;
  if (!clipd::ConfirmGridDelete(Grid, kind)) return;
  Grid->SaveBookmark();
  dataSet->DisableControls();
  TScopeExit enable([dataSet] { dataSet->EnableControls(); });
  switch (kind) {
    case gstRecordBookmarks:
      clipd::DeleteBookmarkedRecords(Grid, dataSet);
      break;
    case gstRectangle:
      clipd::ClearRectangleCells(Grid, dataSet);
      Grid->RestoreBookmark();
      break;
    case gstColumns:
      clipd::ClearSelectedColumns(Grid, dataSet);
      Grid->RestoreBookmark();
      break;
    case gstAll:
      clipd::DeleteAllRecords(dataSet);
      break;
    case gstNon:
      break;
  }
}
