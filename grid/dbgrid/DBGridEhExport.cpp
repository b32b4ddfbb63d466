// The export walk: which records and columns of a grid's selection go out, with which texts,
// fonts and colours, and the footer totals over exactly the records written. The formats
// themselves live in the descendants.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "grid/dbgrid/DBGridEhImpExp.h"
#include "grid/dbgrid/DBGridEhSelection.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Graphics.h"

RTL_IMPLEMENT_CLASS(TDBGridEhExport)

namespace export_walk {

enum class TTotalKind { Integer, Float, Bcd, None };

TTotalKind TotalKindOf(TFieldType Type) {
  switch (Type) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
    case ftLargeint:
      return TTotalKind::Integer;
    case ftFloat:
    case ftCurrency:
      return TTotalKind::Float;
    case ftBCD:
    case ftFMTBcd:
      return TTotalKind::Bcd;
    default:
      return TTotalKind::None;
  }
}

// The field's value in ten-thousandths; false when it does not fit the currency range.
bool FieldAsCurrency(TField* Field, Currency& Out) {
  try {
    switch (TotalKindOf(Field->DataType())) {
      case TTotalKind::Integer:
        Out = Currency::FromInt(Field->AsLargeInt());  // exact, large integers included
        return true;
      case TTotalKind::Float:
        Out = Currency::FromDouble(Field->AsFloat());
        return true;
      case TTotalKind::Bcd:
        Out = Field->AsCurrency();
        return true;
      case TTotalKind::None:
        return false;
    }
  } catch (const EOverflow&) {
  }
  return false;
}

// A total (or an average) as the footer shows it: the footer's format, else the field's, else
// the field's own number look. Fields that are not numbers give no text.
std::string TotalText(TField* Field, const std::string& FooterFormat, Currency Value) {
  std::string format = FooterFormat;
  if (format.empty())
    if (auto* number = dynamic_cast<TNumericField*>(Field)) format = number->DisplayFormat();
  switch (TotalKindOf(Field->DataType())) {
    case TTotalKind::Integer:
      if (!format.empty()) return FormatFloat(format, Value.ToExtended());
      return IntToStr(Value.Raw() / 10000);
    case TTotalKind::Float: {
      if (!format.empty()) return FormatFloat(format, Value.ToExtended());
      auto* f = dynamic_cast<TFloatField*>(Field);
      const bool currency = f && f->IsCurrency();
      const int precision = f ? f->Precision() : 15;
      return currency
                 ? FloatToStrF(Value.ToExtended(), ffCurrency, precision, FormatSettings().CurrencyDecimals)
                 : FloatToStrF(Value.ToExtended(), ffGeneral, precision, 0);
    }
    case TTotalKind::Bcd: {
      if (!format.empty()) return FormatCurr(format, Value);
      bool currency = false;
      if (auto* b = dynamic_cast<TBCDField*>(Field)) currency = b->IsCurrency();
      if (auto* m = dynamic_cast<TFMTBCDField*>(Field)) currency = m->IsCurrency();
      return currency ? CurrToStrF(Value, ffCurrency, FormatSettings().CurrencyDecimals)
                      : CurrToStrF(Value, ffGeneral, 0);
    }
    case TTotalKind::None:
      break;
  }
  return {};
}

// The field a sum or average footer totals: the footer's own name first, then the column's.
TField* FooterField(TDataSet* DataSet, TColumnEh* Column, TColumnFooterEh* Footer) {
  if (!DataSet) return nullptr;
  return DataSet->FindField(Footer->FieldName().empty() ? Column->FieldName() : Footer->FieldName());
}

bool IsTotalled(TFooterValueType Type) {
  return Type == fvtSum || Type == fvtAvg || Type == fvtCount;
}

// Writes to a file in large blocks: a cell at a time would cost a system call a cell.
class TBlockWriteStream : public TStream {
 public:
  explicit TBlockWriteStream(TStream* Target) : target_(Target) { buffer_.reserve(kBlock); }
  int64_t Read(void*, int64_t) override { return 0; }
  int64_t Write(const void* Buffer, int64_t Count) override {
    if (Count <= 0) return 0;
    if (buffer_.size() + static_cast<size_t>(Count) > kBlock) Flush();
    if (static_cast<size_t>(Count) >= kBlock) {
      target_->WriteBuffer(Buffer, Count);
    } else {
      const auto* bytes = static_cast<const uint8_t*>(Buffer);
      buffer_.insert(buffer_.end(), bytes, bytes + Count);
    }
    written_ += Count;
    return Count;
  }
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override {
    if (Offset == 0 && Origin != soBeginning) return written_;
    Flush();
    return written_ = target_->Seek(Offset, Origin);
  }
  void Flush() {
    if (buffer_.empty()) return;
    target_->WriteBuffer(buffer_.data(), static_cast<int64_t>(buffer_.size()));
    buffer_.clear();
  }

 private:
  static constexpr size_t kBlock = 1 << 16;
  TStream* target_;
  std::vector<uint8_t> buffer_;
  int64_t written_ = 0;
};

}  // namespace export_walk

TDBGridEhExport::TDBGridEhExport() : colCellParams_(std::make_unique<TColCellParamsEh>()) {}

TDBGridEhExport::~TDBGridEhExport() = default;

TColumnFooterEh* TDBGridEhExport::ColumnFooter(TColumnEh* Column, int FooterNo) {
  return Column->GetFooter(FooterNo);
}

void TDBGridEhExport::ExportToFile(const std::string& FileName, bool ForWholeGrid) {
  TFileStream file(FileName, fmCreate);
  export_walk::TBlockWriteStream blocks(&file);
  ExportToStream(&blocks, ForWholeGrid);
  blocks.Flush();
}

void TDBGridEhExport::SetDBGridEh(TCustomDBGridEh* Value) {
  grid_ = Value;
  gridWatch_ = Value ? Value->Watch() : TLivenessWatch();
}

void TDBGridEhExport::AbortIfGridFreed() const {
  if (grid_ && gridWatch_.Gone()) Abort();
}

void TDBGridEhExport::ExportToStream(TStream* AStream, bool ForWholeGrid) {
  stream_ = AStream;
  cellFonts_.clear();
  TCustomDBGridEh* grid = grid_;
  TDataSet* dataSet = grid && grid->DataSource() ? grid->DataSource()->DataSet() : nullptr;
  if (!dataSet) return;  // nothing to export, as a delete does nothing then
  TDBGridEhSelection* selection = grid->Selection();
  const TDBGridEhSelectionType kind = ForWholeGrid ? gstAll : selection->SelectionType();

  // The kind's columns: the grid's or the selection's own list, or one made here.
  std::unique_ptr<TColumnsEhList> madeList;
  TColumnsEhList* columns = nullptr;
  switch (kind) {
    case gstRecordBookmarks:
    case gstAll:
      columns = &grid->VisibleColumns();
      break;
    case gstColumns:
      columns = selection->Columns();
      break;
    case gstRectangle: {
      madeList = std::make_unique<TColumnsEhList>();
      TDBGridEhSelectionRect* rect = selection->Rect();
      const int last = std::min(rect->GetRightCol(), grid->Columns()->Count() - 1);
      for (int i = std::max(rect->GetLeftCol(), 0); i <= last; ++i)
        if (grid->Columns()->GetColumn(i)->Visible()) madeList->Add(grid->Columns()->GetColumn(i));
      columns = madeList.get();
      break;
    }
    case gstNon: {
      // No current column: nothing at all goes out.
      const int index = grid->GetSelectedIndex();
      if (index < 0 || index >= grid->Columns()->Count()) return;
      madeList = std::make_unique<TColumnsEhList>();
      madeList->Add(grid->Columns()->GetColumn(index));
      columns = madeList.get();
      break;
    }
  }
  if (expCols_.Count() == 0)
    for (int i = 0; i < columns->Count(); ++i) expCols_.Add(columns->Items(i));

  {
    dataSet->DisableControls();
    TScopeExit enable([&] { dataSet->EnableControls(); });
    grid->SaveBookmark();
    TScopeExit restore(WhileAlive(gridWatch_, [&] { grid->RestoreBookmark(); }));

    if (kind == gstNon) {
      // The current cell alone, a detail grid's too: no title and no footer.
      footerValues_.clear();
      WritePrefix();
      WriteRecord(columns);
    } else {
      footerValues_.assign(static_cast<size_t>(std::max(grid->FooterRowCount(), 0)) * expCols_.Count(),
                           FooterTotal{});
      WritePrefix();
      if (grid->Options().Contains(dgTitles)) WriteTitle(columns);
      auto exportRecord = [&] {
        if (kind == gstRecordBookmarks) CalcFooterValues();
        WriteRecord(columns);
        if (kind != gstRecordBookmarks) CalcFooterValues();
      };
      switch (kind) {
        case gstRecordBookmarks: {
          TBookmarkListEh* rows = selection->Rows();
          for (int i = 0; i < rows->Count(); ++i) {
            dataSet->SetBookmark(rows->Item(i));
            exportRecord();
          }
          break;
        }
        case gstRectangle: {
          TDBGridEhSelectionRect* rect = selection->Rect();
          const TBookmark bottom = rect->GetBottomRow();
          dataSet->SetBookmark(rect->GetTopRow());
          // The bottom record may be gone or moved: a record past it ends the walk as well.
          while (!dataSet->Eof()) {
            const int order = dataSet->CompareBookmarks(dataSet->Bookmark(), bottom);
            if (order > 0) break;
            exportRecord();
            if (order == 0) break;
            dataSet->Next();
          }
          break;
        }
        default: {
          const int count = dataSet->RecordCount();
          dataSet->First();
          while (!dataSet->Eof()) {
            exportRecord();
            if (dataSet->IsSequenced() && dataSet->RecNo() >= count) break;
            dataSet->Next();
          }
          break;
        }
      }
      for (int row = 0; row < grid->FooterRowCount(); ++row) WriteFooter(columns, row);
    }
  }
  WriteSuffix();
}

void TDBGridEhExport::WriteRecord(TColumnsEhList* ColumnsList) {
  TColCellParamsEh* params = colCellParams_.get();
  if (cellFonts_.size() < static_cast<size_t>(ColumnsList->Count()))
    cellFonts_.resize(static_cast<size_t>(ColumnsList->Count()));
  for (int i = 0; i < ColumnsList->Count(); ++i) {
    TColumnEh* column = ColumnsList->Items(i);
    // Each cell starts from a copy of its column's font; where no handler can change the copy,
    // the one taken for the first record serves them all.
    const bool handled = column->ChangesColCellParams() || static_cast<bool>(grid_->OnGetCellParams);
    auto& [fontColumn, cellFont] = cellFonts_[static_cast<size_t>(i)];
    if (!cellFont) cellFont = std::make_unique<TFont>();
    if (handled || fontColumn != column) cellFont->Assign(column->Font());
    fontColumn = column;
    TFont& font = *cellFont;
    params->Col = -1;
    params->Row = -1;
    params->TAxisColCellParamsEh::Row = -1;
    params->State = TGridDrawState();
    params->Font = &font;
    params->Background = column->Color();
    params->Alignment = column->Alignment();
    // A cell's image and check-box state cost a field read each: they are worked out only where
    // they show or a handler may look at them.
    const bool shownOrAsked = handled || column->ImageList() || column->Checkboxes();
    params->ImageIndex = shownOrAsked ? column->GetImageIndex() : -1;
    params->CheckState = shownOrAsked ? column->GetCheckboxState() : cbUnchecked;
    params->Text = column->GetDisplayText();
    if (grid_->OnGetCellParams) {
      TColor background = params->Background;
      grid_->OnGetCellParams(grid_, column, &font, background, params->State);
      AbortIfGridFreed();
      params->Background = background;
    }
    column->GetColCellParamsEh(false, params);
    AbortIfGridFreed();
    WriteDataCell(column, params);
  }
}

void TDBGridEhExport::WriteFooter(TColumnsEhList* ColumnsList, int FooterNo) {
  TFont font;
  for (int j = 0; j < ColumnsList->Count(); ++j) {
    TColumnEh* column = ColumnsList->Items(j);
    TColumnFooterEh* footer = ColumnFooter(column, FooterNo);
    font.Assign(footer->Font());
    TColor background = footer->Color();
    TAlignment alignment = footer->Alignment();
    std::string text;
    if (export_walk::IsTotalled(footer->ValueType()))
      text = GetExportFooterValue(FooterNo, j);
    else
      grid_->GetFooterValue(FooterNo, column, text);
    if (grid_->OnGetFooterParams)
      grid_->OnGetFooterParams(grid_, column->Index(), FooterNo, column, &font, background, alignment,
                               TGridDrawState(), text);
    AbortIfGridFreed();
    WriteFooterCell(j, FooterNo, column, &font, background, alignment, text);
  }
}

void TDBGridEhExport::CalcFooterValues() {
  const int count = expCols_.Count();
  if (count == 0 || footerValues_.empty()) return;
  TDataSet* dataSet = grid_->DataSource()->DataSet();
  const int rows = static_cast<int>(footerValues_.size()) / count;
  for (int r = 0; r < rows; ++r) {
    for (int j = 0; j < count; ++j) {
      TColumnEh* column = expCols_.Items(j);
      TColumnFooterEh* footer = ColumnFooter(column, r);
      FooterTotal& total = footerValues_[static_cast<size_t>(r) * count + j];
      switch (footer->ValueType()) {
        case fvtCount:
          ++total.Count;  // every exported record, a column without a field included
          break;
        case fvtSum:
        case fvtAvg: {
          TField* field = export_walk::FooterField(dataSet, column, footer);
          if (!field || total.Overflowed ||
              export_walk::TotalKindOf(field->DataType()) == export_walk::TTotalKind::None)
            break;
          if (field->IsNull()) break;
          Currency value;
          int64_t sum;
          if (!export_walk::FieldAsCurrency(field, value) ||
              __builtin_add_overflow(total.Sum.Raw(), value.Raw(), &sum)) {
            total.Overflowed = true;
            break;
          }
          total.Sum = Currency::FromRaw(sum);
          ++total.Count;  // the values the average divides by
          break;
        }
        default:
          break;
      }
    }
  }
}

std::string TDBGridEhExport::GetExportFooterValue(int FooterNo, int ColPos) {
  const int count = expCols_.Count();
  const size_t index = static_cast<size_t>(FooterNo) * count + ColPos;
  if (FooterNo < 0 || ColPos < 0 || ColPos >= count || index >= footerValues_.size()) return {};
  TColumnEh* column = expCols_.Items(ColPos);
  TColumnFooterEh* footer = ColumnFooter(column, FooterNo);
  const FooterTotal& total = footerValues_[index];
  switch (footer->ValueType()) {
    case fvtCount: {
      const Extended c = static_cast<Extended>(total.Count);
      return footer->DisplayFormat().empty() ? FloatToStr(c) : FormatFloat(footer->DisplayFormat(), c);
    }
    case fvtSum:
    case fvtAvg: {
      TField* field = export_walk::FooterField(grid_->DataSource() ? grid_->DataSource()->DataSet() : nullptr,
                                               column, footer);
      if (!field || total.Overflowed) return {};
      Currency value = total.Sum;
      // The average of the values written, nulls left out as on screen; no value gives zero.
      if (footer->ValueType() == fvtAvg)
        value = total.Count == 0 ? Currency() : total.Sum / Currency::FromInt(total.Count);
      return export_walk::TotalText(field, footer->DisplayFormat(), value);
    }
    default:
      return {};
  }
}
