// The line formats: tab-separated text (UTF-8), the same as UTF-16LE, and CSV. Lines are
// separated by CR LF, never terminated.
#include <bit>
#include <string>
#include <string_view>

#include "grid/dbgrid/DBGridEhImpExp.h"
#include "platform/rtl/SysUtils.h"

RTL_IMPLEMENT_CLASS(TDBGridEhExportAsText)
RTL_IMPLEMENT_CLASS(TDBGridEhExportAsUnicodeText)
RTL_IMPLEMENT_CLASS(TDBGridEhExportAsCSV)

char CSVSeparator = ';';
char CSVQuoteChar = '"';

namespace export_text {

constexpr std::string_view kLineBreak = "\r\n";
constexpr std::string_view kCellBreak = "\t";
constexpr std::string_view kWideLineBreak{"\r\0\n\0", 4};
constexpr std::string_view kWideCellBreak{"\t\0", 2};

// A TAB or line break inside a cell would split it when the text is read back.
std::string WithoutBreaks(const std::string& Text) {
  std::string out = Text;
  for (char& c : out)
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  return out;
}

void WriteBytes(TStream* Stream, std::string_view Bytes) {
  if (!Bytes.empty()) Stream->WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
}

// A cell of the UTF-16 text, copied only when it holds a break.
void WriteWideCell(TStream* Stream, const std::string& Text) {
  if (Text.find_first_of("\t\r\n") == std::string::npos)
    StreamWriteWideText(Stream, Text);
  else
    StreamWriteWideText(Stream, WithoutBreaks(Text));
}

}  // namespace export_text

void StreamWriteAnsiText(TStream* Stream, const std::string& Text) {
  export_text::WriteBytes(Stream, Text);
}

void StreamWriteWideText(TStream* Stream, const std::string& Text) {
  if (Text.empty()) return;
  const std::u16string units = Utf8ToUtf16(Text);
  if constexpr (std::endian::native == std::endian::little) {
    Stream->WriteBuffer(units.data(), static_cast<int64_t>(units.size() * 2));
  } else {
    std::string bytes(units.size() * 2, '\0');
    for (size_t i = 0; i < units.size(); ++i) {
      bytes[2 * i] = static_cast<char>(units[i] & 0xFF);
      bytes[2 * i + 1] = static_cast<char>(units[i] >> 8);
    }
    export_text::WriteBytes(Stream, bytes);
  }
}

// --- TDBGridEhExportAsText -----------------------------------------------------------------------

void TDBGridEhExportAsText::ExportToStream(TStream* AStream, bool ForWholeGrid) {
  FirstRec = true;
  inherited::ExportToStream(AStream, ForWholeGrid);
}

void TDBGridEhExportAsText::CheckFirstRec() {
  if (!FirstRec)
    export_text::WriteBytes(Stream(), export_text::kLineBreak);
  else
    FirstRec = false;
}

void TDBGridEhExportAsText::CheckFirstCell() {
  if (!FirstCell)
    export_text::WriteBytes(Stream(), export_text::kCellBreak);
  else
    FirstCell = false;
}

std::string TDBGridEhExportAsText::CellText(const std::string& Text) {
  return export_text::WithoutBreaks(Text);
}

void TDBGridEhExportAsText::WriteTitle(TColumnsEhList* ColumnsList) {
  CheckFirstRec();
  for (int i = 0; i < ColumnsList->Count(); ++i) {
    if (i > 0) export_text::WriteBytes(Stream(), export_text::kCellBreak);
    StreamWriteAnsiText(Stream(), CellText(ColumnsList->Items(i)->Title()->Caption()));
  }
}

void TDBGridEhExportAsText::WriteRecord(TColumnsEhList* ColumnsList) {
  CheckFirstRec();
  FirstCell = true;
  inherited::WriteRecord(ColumnsList);
}

void TDBGridEhExportAsText::WriteFooter(TColumnsEhList* ColumnsList, int FooterNo) {
  CheckFirstRec();
  FirstCell = true;
  inherited::WriteFooter(ColumnsList, FooterNo);
}

void TDBGridEhExportAsText::WriteDataCell(TColumnEh* Column, TColCellParamsEh* Params) {
  CheckFirstCell();
  StreamWriteAnsiText(Stream(), CellText(Params->Text));
}

void TDBGridEhExportAsText::WriteFooterCell(int DataCol, int Row, TColumnEh* Column, TFont* AFont,
                                            TColor Background, TAlignment Alignment,
                                            const std::string& Text) {
  CheckFirstCell();
  StreamWriteAnsiText(Stream(), CellText(Text));
}

// --- TDBGridEhExportAsUnicodeText ----------------------------------------------------------------

void TDBGridEhExportAsUnicodeText::ExportToStream(TStream* AStream, bool ForWholeGrid) {
  FirstRec = true;
  inherited::ExportToStream(AStream, ForWholeGrid);
}

void TDBGridEhExportAsUnicodeText::CheckFirstRec() {
  if (!FirstRec)
    export_text::WriteBytes(Stream(), export_text::kWideLineBreak);
  else
    FirstRec = false;
}

void TDBGridEhExportAsUnicodeText::CheckFirstCell() {
  if (!FirstCell)
    export_text::WriteBytes(Stream(), export_text::kWideCellBreak);
  else
    FirstCell = false;
}

void TDBGridEhExportAsUnicodeText::WriteTitle(TColumnsEhList* ColumnsList) {
  CheckFirstRec();
  for (int i = 0; i < ColumnsList->Count(); ++i) {
    if (i > 0) export_text::WriteBytes(Stream(), export_text::kWideCellBreak);
    export_text::WriteWideCell(Stream(), ColumnsList->Items(i)->Title()->Caption());
  }
}

void TDBGridEhExportAsUnicodeText::WriteRecord(TColumnsEhList* ColumnsList) {
  CheckFirstRec();
  FirstCell = true;
  inherited::WriteRecord(ColumnsList);
}

void TDBGridEhExportAsUnicodeText::WriteFooter(TColumnsEhList* ColumnsList, int FooterNo) {
  CheckFirstRec();
  FirstCell = true;
  inherited::WriteFooter(ColumnsList, FooterNo);
}

void TDBGridEhExportAsUnicodeText::WriteDataCell(TColumnEh* Column, TColCellParamsEh* Params) {
  CheckFirstCell();
  export_text::WriteWideCell(Stream(), Params->Text);
}

void TDBGridEhExportAsUnicodeText::WriteFooterCell(int DataCol, int Row, TColumnEh* Column, TFont* AFont,
                                                   TColor Background, TAlignment Alignment,
                                                   const std::string& Text) {
  CheckFirstCell();
  export_text::WriteWideCell(Stream(), Text);
}

// --- TDBGridEhExportAsCSV ------------------------------------------------------------------------

TDBGridEhExportAsCSV::TDBGridEhExportAsCSV() : Separator(CSVSeparator), QuoteChar(CSVQuoteChar) {}

std::string TDBGridEhExportAsCSV::QuotedCell(const std::string& Text) const {
  std::string out;
  AppendQuotedCell(out, Text);
  return out;
}

void TDBGridEhExportAsCSV::AppendQuotedCell(std::string& Out, std::string_view Text) const {
  if (QuoteChar == '\0') {
    Out += Text;
    return;
  }
  Out.reserve(Out.size() + Text.size() + 2);
  Out += QuoteChar;
  if (static_cast<unsigned char>(QuoteChar) < 0x80) {
    // An ASCII byte is never part of a longer character: every quote byte is one, and the text
    // between them goes out whole.
    for (size_t from = 0;;) {
      const size_t at = Text.find(QuoteChar, from);
      if (at == std::string_view::npos) {
        Out += Text.substr(from);
        break;
      }
      Out += Text.substr(from, at + 1 - from);
      Out += QuoteChar;
      from = at + 1;
    }
  } else {
    // A quote byte above 127 could be part of a character: only whole characters count.
    for (size_t i = 0; i < Text.size();) {
      const auto len = static_cast<size_t>(Utf8CharLength(Text, i));
      if (len == 1 && Text[i] == QuoteChar) Out += QuoteChar;
      Out += Text.substr(i, len);
      i += len;
    }
  }
  Out += QuoteChar;
}

void TDBGridEhExportAsCSV::ExportToStream(TStream* AStream, bool ForWholeGrid) {
  pending_.clear();
  inherited::ExportToStream(AStream, ForWholeGrid);
}

void TDBGridEhExportAsCSV::WritePending(bool OnlyWhenLarge) {
  constexpr size_t kLargeBytes = size_t{1} << 16;
  if (OnlyWhenLarge && pending_.size() < kLargeBytes) return;
  export_text::WriteBytes(Stream(), pending_);
  pending_.clear();
}

void TDBGridEhExportAsCSV::WriteSuffix() {
  WritePending(false);
}

void TDBGridEhExportAsCSV::CheckFirstRec() {
  if (!FirstRec)
    pending_ += export_text::kLineBreak;
  else
    FirstRec = false;
}

void TDBGridEhExportAsCSV::CheckFirstCell() {
  if (!FirstCell && Separator != '\0')
    pending_ += Separator;
  else
    FirstCell = false;
}

void TDBGridEhExportAsCSV::WriteTitle(TColumnsEhList* ColumnsList) {
  CheckFirstRec();
  for (int i = 0; i < ColumnsList->Count(); ++i) {
    if (i > 0 && Separator != '\0') pending_ += Separator;
    AppendQuotedCell(pending_, ColumnsList->Items(i)->Title()->Caption());
  }
  WritePending(true);
}

void TDBGridEhExportAsCSV::WriteDataCell(TColumnEh* Column, TColCellParamsEh* Params) {
  CheckFirstCell();
  AppendQuotedCell(pending_, Params->Text);
  WritePending(true);
}

void TDBGridEhExportAsCSV::WriteFooterCell(int DataCol, int Row, TColumnEh* Column, TFont* AFont,
                                           TColor Background, TAlignment Alignment, const std::string& Text) {
  CheckFirstCell();
  AppendQuotedCell(pending_, Text);
  WritePending(true);
}
