// The import walk: which records and columns of the grid the input's records go into, the
// appending of what does not fit, the value writes with their "ignore the error?" question, and
// the undo log that puts everything back when the import stops part way.
#include <memory>
#include <string>

#include "grid/data/DataRoutinesEh.h"
#include "grid/data/LocaleRoutinesEh.h"
#include "grid/dbgrid/DBGridEhImpExp.h"
#include "grid/dbgrid/DBGridEhImportUndoLog.h"
#include "grid/dbgrid/DBGridEhSelection.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Dialogs.h"

namespace dbgrid_import_detail {

// The question after a refused value; the data set's message goes between the two lines.
constexpr const char* kInsertErrorText = "插入值过程中出错：";
constexpr const char* kIgnoreErrorText = "忽略错误？";

std::string ColumnDisplayName(TColumnEh* Column) {
  const std::string caption = Column->Title()->Caption();
  return caption.empty() ? Column->FieldName() : caption;
}

[[noreturn]] void RaiseNotInLookupList(const std::string& Text, TColumnEh* Column) {
  throw Exception("Value \"" + Text + "\" is not in the lookup list of column \"" +
                  ColumnDisplayName(Column) + "\"");
}

bool IsDigit(char C) {
  return C >= '0' && C <= '9';
}

// The number a shown text holds, as a plain number text without its sign ("8200.00" of
// "¥-8,200.00"): the first run of digits with the thousands separators of its integer part
// left out, its decimal part and its exponent. Empty without a digit.
std::string ShownNumberDigits(const std::string& Text) {
  const std::string decimal = GetDecimalSeparator(), thousands = GetThousandSeparator();
  const auto at = [&](size_t i, const std::string& Mark) {
    return !Mark.empty() && Text.compare(i, Mark.size(), Mark) == 0;
  };
  size_t i = 0;
  while (i < Text.size() && !IsDigit(Text[i])) ++i;
  // A number shown without its integer part (".5") starts at its decimal separator.
  if (i >= decimal.size() && at(i - decimal.size(), decimal)) i -= decimal.size();
  std::string digits;
  bool fraction = false;
  while (i < Text.size()) {
    if (IsDigit(Text[i])) {
      digits += Text[i++];
    } else if (!fraction && at(i, decimal)) {
      digits += decimal, i += decimal.size(), fraction = true;
    } else if (!fraction && at(i, thousands) && i + thousands.size() < Text.size() &&
               IsDigit(Text[i + thousands.size()])) {
      i += thousands.size();
    } else if ((Text[i] == 'E' || Text[i] == 'e') && !digits.empty()) {
      size_t end = i + 1;
      if (end < Text.size() && (Text[end] == '+' || Text[end] == '-')) ++end;
      if (end >= Text.size() || !IsDigit(Text[end])) break;
      while (end < Text.size() && IsDigit(Text[end])) ++end;
      digits += Text.substr(i, end - i);
      break;
    } else {
      break;
    }
  }
  return digits;
}

// A number text without a fraction of zeros ("1200" of "1200.00"): an integer field takes no
// fraction, though its column may show one.
std::string WithoutZeroFraction(const std::string& Number) {
  const std::string decimal = GetDecimalSeparator();
  const size_t point = decimal.empty() ? std::string::npos : Number.find(decimal);
  if (point == std::string::npos) return Number;
  const size_t zeros = Number.find_first_not_of('0', point + decimal.size());
  return zeros == std::string::npos ? Number.substr(0, point) : Number;
}

// The text a number field is given for a cell: a text that the column's display format (or,
// without one, the field's) writes for a number, such as "8,200.00" for ",0.00" or "¥8,200.00"
// for a currency field, gives that number as plain text; any other text stays as it is, for the
// field to take or refuse. A field that reads texts its own way (OnSetText) gets the text as is.
std::string NumberTextAsShown(TColumnEh* Column, TField* Field, const std::string& Text) {
  auto* numeric = dynamic_cast<TNumericField*>(Field);
  if (numeric == nullptr || Field->OnSetText) return Text;
  const std::string digits = ShownNumberDigits(Text);
  if (digits.empty() || digits == Text) return Text;
  const std::string& format =
      Column->DisplayFormat().empty() ? numeric->DisplayFormat() : Column->DisplayFormat();
  for (const std::string& candidate : {digits, "-" + digits}) {
    Extended value = 0;
    // Only the exact text the format writes for the number counts: "1,2" is not 12.
    if (TryStrToFloat(candidate, value) &&
        FormatValueLikeField(format, Variant(static_cast<double>(value)), Field) == Text)
      return WithoutZeroFraction(candidate);
  }
  return Text;
}

bool IsLookupField(TField* Field) {
  return Field != nullptr && Field->FieldKind() == fkLookup;
}

// The Visible columns of Columns[First..Last] (both clamped to the collection).
void AddVisibleColumns(TCustomDBGridEh* Grid, int First, int Last, TColumnsEhList& Target) {
  TDBGridColumnsEh* columns = Grid->Columns();
  if (First < 0) First = 0;
  if (Last >= columns->Count()) Last = columns->Count() - 1;
  for (int i = First; i <= Last; ++i)
    if (columns->GetColumn(i)->Visible()) Target.Add(columns->GetColumn(i));
}

void AddColumns(TColumnsEhList& Source, TColumnsEhList& Target) {
  for (int i = 0; i < Source.Count(); ++i) Target.Add(Source.Items(i));
}

// The columns the cells of each input record go to, in order, for a selection kind.
void CollectTargetColumns(TCustomDBGridEh* Grid, TDBGridEhSelectionType Kind, int StartColumn,
                          TColumnsEhList& Target) {
  TDBGridEhSelection* selection = Grid->Selection();
  switch (Kind) {
    case gstRecordBookmarks:
    case gstAll:
      AddColumns(Grid->VisibleColumns(), Target);
      break;
    case gstRectangle:
      AddVisibleColumns(Grid, selection->Rect()->GetLeftCol(), selection->Rect()->GetRightCol(), Target);
      break;
    case gstColumns:
      AddColumns(*selection->Columns(), Target);
      break;
    case gstNon:
      AddVisibleColumns(Grid, StartColumn, Grid->Columns()->Count() - 1, Target);
      break;
  }
}

}  // namespace dbgrid_import_detail

namespace dim = dbgrid_import_detail;

RTL_IMPLEMENT_CLASS(TDBGridEhImport)

TDBGridEhImport::TDBGridEhImport() = default;
TDBGridEhImport::~TDBGridEhImport() = default;

// --- the walk ------------------------------------------------------------------------------------

void TDBGridEhImport::SetDBGridEh(TCustomDBGridEh* Value) {
  grid_ = Value;
  gridWatch_ = Value ? Value->Watch() : TLivenessWatch();
}

void TDBGridEhImport::AbortIfGridFreed() const {
  if (grid_ && gridWatch_.Gone()) Abort();
}

void TDBGridEhImport::ImportFromStream(TStream* Stream, bool ForWholeGrid) {
  stream_ = Stream;
  Records.Clear();
  NextRecord = 0;
  CurrentCell = nullptr;
  IgnoreErrors = false;
  impCols_.Clear();
  TCustomDBGridEh* grid = grid_;
  if (grid == nullptr || !grid->DataLink()->Active()) return;
  TDataSet* ds = grid->DataLink()->DataSet();

  // The targets are worked out before anything moves, so that a format error found by
  // ReadPrefix leaves the grid and its records untouched.
  const TDBGridEhSelectionType kind = ForWholeGrid ? gstNon : grid->Selection()->SelectionType();
  const int startColumn = ForWholeGrid ? grid->FirstVisibleColumn() : grid->SelectedIndex();
  // Without a current column there is no cell to paste into.
  if (kind == gstNon && startColumn < 0) return;
  dim::CollectTargetColumns(grid, kind, startColumn, impCols_);
  ReadPrefix();

  if (ForWholeGrid) {
    grid->Selection()->Clear();
    ds->First();
    grid->SetSelectedIndex(startColumn);
  }
  atEnd_ = ds->Eof();
  bool inserting = ds->State() == dsInsert;
  // A pending edit of the user's is posted (as moving would) before the import's own changes
  // begin, so that the undo log sees stored values only.
  ds->CheckBrowseMode();
  AbortIfGridFreed();
  if (!inserting) grid->SaveBookmark();
  {  // the writing part: its guards run before ReadSuffix
    ds->DisableControls();
    TScopeExit enableControls([&] { ds->EnableControls(); });
    TScopeExit restorePlace(WhileAlive(gridWatch_, [&] {
      if (!inserting) grid->RestoreBookmark();
    }));
    undo_ = std::make_unique<TImportUndoLogEh>(ds);
    TScopeExit dropLog([&] { undo_.reset(); });
    TScopeFail rollback([&] { undo_->Rollback(); });

    if (inserting) {
      AppendRemainingRecords();
    } else {
      switch (kind) {
        case gstRecordBookmarks: {
          TBookmarkListEh* rows = grid->Selection()->Rows();
          for (int i = 0; i < rows->Count(); ++i) {
            ds->SetBookmark(rows->Item(i));
            ReadRecord(&impCols_);
          }
          break;
        }
        case gstRectangle: {
          const TBookmark bottom = grid->Selection()->Rect()->GetBottomRow();
          ds->SetBookmark(grid->Selection()->Rect()->GetTopRow());
          // A write that re-sorts its record can carry the walk past the bottom without ever
          // meeting it: the walk stops at or past it.
          while (!ds->Eof() && ds->CompareBookmarks(ds->Bookmark(), bottom) <= 0) {
            ReadRecord(&impCols_);
            if (ds->CompareBookmarks(ds->Bookmark(), bottom) >= 0) break;
            ds->Next();
          }
          break;
        }
        case gstColumns:
        case gstAll:
          ds->First();
          while (!ds->Eof()) {
            ReadRecord(&impCols_);
            ds->Next();
          }
          break;
        case gstNon:
          grid->RestoreBookmark();
          while (!EndOfData() && !ds->Eof()) {
            ReadRecord(&impCols_);
            ds->Next();
          }
          AbortIfGridFreed();
          if (grid->AllowedOperations().Contains(alopAppendEh)) {
            atEnd_ = true;
            inserting = true;
            AppendRemainingRecords();
          }
          break;
      }
    }
    // The last written record is posted inside the all-or-nothing part.
    ds->CheckBrowseMode();
    AbortIfGridFreed();
  }
  ReadSuffix();
}

void TDBGridEhImport::ImportFromFile(const std::string& FileName, bool ForWholeGrid) {
  TFileStream stream(FileName, fmOpenRead);
  ImportFromStream(&stream, ForWholeGrid);
}

void TDBGridEhImport::AppendRemainingRecords() {
  TDataSet* ds = grid_->DataLink()->DataSet();
  while (!EndOfData()) {
    if (atEnd_)
      ds->Append();
    else
      ds->Insert();
    const size_t before = NextRecord;
    ReadRecord(&impCols_);
    // Every round takes an input record, whatever a descendant's ReadRecord did.
    if (NextRecord == before) ++NextRecord;
    ds->Post();
    if (undo_) undo_->LogAppendedRecord();
    if (!atEnd_) ds->Next();
  }
}

void TDBGridEhImport::ReadRecord(TColumnsEhList* ColumnsList) {
  if (EndOfData()) return;
  const size_t record = NextRecord++;
  const size_t first = Records.CellsBegin(record);
  const size_t last = Records.CellsEnd(record);
  const size_t columns = ColumnsList ? static_cast<size_t>(ColumnsList->Count()) : 0;
  TScopeExit forgetCell([&] { CurrentCell = nullptr; });
  for (size_t cell = first; cell < last; ++cell) {
    // A post (the last record's, or one a write made) may have freed the grid and its columns.
    AbortIfGridFreed();
    CurrentCell = &Records.Cells[cell];
    ReadCell(cell - first < columns ? ColumnsList->Items(static_cast<int>(cell - first)) : nullptr);
  }
}

// --- value writes --------------------------------------------------------------------------------

bool TDBGridEhImport::EditForWrite(TField* Field) {
  TDataSet* ds = Field ? Field->DataSet() : nullptr;
  if (ds == nullptr || !ds->CanModify()) return false;
  if (ds->State() == dsBrowse) {
    // Edit would insert a record into an empty data set behind the walk's back.
    if (ds->IsEmpty()) return false;
    if (undo_ && undo_->DataSet() == ds) undo_->LogCurrentRecord();
  }
  ds->Edit();
  return ds->State() == dsEdit || ds->State() == dsInsert;
}

template <class Write>
void TDBGridEhImport::GuardedWrite(TColumnEh* Column, Write&& write) {
  TField* field = Column->GetField();
  if (!EditForWrite(field)) return;
  try {
    write(field);
  } catch (const Exception& e) {
    if (IgnoreErrors) return;
    const std::string question =
        std::string(dim::kInsertErrorText) + "\n" + e.Message() + "\n\n" + dim::kIgnoreErrorText;
    const int answer = MessageDlg(question, mtError, TMsgDlgButtons{mbYes, mbNo, mbAll}, 0);
    if (answer == mrAll) {
      IgnoreErrors = true;
    } else if (answer != mrYes) {
      // The question has shown the error: the import stops with it, silently, so that the
      // application does not report the same failure in a second box.
      throw EAbort(e.Message());
    }
  }
}

void TDBGridEhImport::WriteImportText(TColumnEh* Column, const std::string& Text) {
  if (Column == nullptr || !Column->CanModify(false)) return;
  GuardedWrite(Column, [&](TField* Field) {
    if (dim::IsLookupField(Field)) {
      // Lookup leaves the lookup data set where it stands, unlike Locate. (An open lookup field
      // always names its key fields: the data set refuses to open otherwise.)
      const Variant keys =
          Field->LookupDataSet()->Lookup(Field->LookupResultField(), Variant(Text), Field->LookupKeyFields());
      if (keys.IsNull() || keys.IsEmpty()) dim::RaiseNotInLookupList(Text, Column);
      Column->UpdateDataValue(keys);
    } else if (Column->GetColumnType() == abkKeyPickListEh) {
      const int index = Column->PickList()->IndexOf(Text);
      if (index >= 0 && index < Column->KeyList()->Count())
        Column->UpdateDataText(Column->KeyList()->Strings(index));
      else
        Column->UpdateDataText(Text);
    } else {
      // The text goes in as the column showed it: the field refuses what it cannot take, and
      // the question follows; stripping characters blindly would turn "1.5" into 15.
      Column->UpdateDataText(dim::NumberTextAsShown(Column, Field, Text));
    }
  });
}

void TDBGridEhImport::WriteImportValue(TColumnEh* Column, const Variant& Value) {
  // An unassigned value leaves the target as it is.
  if (Column == nullptr || Value.IsEmpty() || !Column->CanModify(false)) return;
  GuardedWrite(Column, [&](TField*) { Column->UpdateDataValue(Value); });
}

void TDBGridEhImport::WriteImportError(TColumnEh* Column, const std::string& Message) {
  if (Column == nullptr || !Column->CanModify(false)) return;
  GuardedWrite(Column, [&](TField*) { throw Exception(Message); });
}
