#pragma once
// Moving grid data in and out: the exporters that turn what a data grid shows into a byte stream
// (plain text, UTF-16 text, CSV, RTF and the grid's own typed "VCLDBIF" records), the importers
// that read text and "VCLDBIF" records back into the grid's records, and the four clipboard and
// delete actions built on them.
//
// "ANSI" text is UTF-8 throughout: the plain-text formats, CF_TEXT, the record format's tag 5 and
// the RTF bytes. The Unicode formats are UTF-16LE, converted without loss.
//
// Imports are all or nothing: the whole input is read and checked before the first write, and an
// import that stops part way (a refused value answered No, a data-set error) puts back every
// record it changed, deletes every record it added and returns to the starting record before the
// error goes on to the caller. A refused value answered No goes on as the silent EAbort with the
// refusal's message: the question has shown it already.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "grid/dbgrid/DBGridEh.h"
#include "platform/rtl/Currency.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/Variant.h"

class TMemoryStreamEh;
class TStringList;
class TImportUndoLogEh;

// --- clipboard formats (DBGridEhClipboardActions.cpp) ---

// The three formats the grid registers by name on first use: "VCLDBIF", "Csv" and
// "Rich Text Format". ERangeError when the window manager answers an id above 65535.
UINT ClipboardFormatVCLDBIF();
UINT ClipboardFormatCSV();
UINT ClipboardFormatRTF();

// --- stream helpers (DBGridEhExportText.cpp) ---

// The text's bytes, without length or terminator.
void StreamWriteAnsiText(TStream* Stream, const std::string& Text);
// The text (UTF-8) as UTF-16LE code units, without terminator.
void StreamWriteWideText(TStream* Stream, const std::string& Text);

// --- exporters ----------------------------------------------------------------------------------

// The walk over a grid's selection: which records, which columns, with which texts, fonts and
// colours; descendants say how the start, a title row, a cell, a footer cell and the end look.
// (DBGridEhExport.cpp)
class TDBGridEhExport : public TObject {
  RTL_CLASS(TDBGridEhExport, TObject)
 public:
  TDBGridEhExport();
  ~TDBGridEhExport() override;

  TCustomDBGridEh* DBGridEh() const { return grid_; }
  void SetDBGridEh(TCustomDBGridEh* Value);
  // The exported columns in output order; chosen by ExportToStream when still empty.
  TColumnsEhList* ExpCols() { return &expCols_; }

  // Writes the selection (every record and visible column when ForWholeGrid). Data-set and
  // stream errors pass on after the starting record is restored and the controls enabled.
  virtual void ExportToStream(TStream* Stream, bool ForWholeGrid);
  // Creates (or truncates) the file and writes to it.
  virtual void ExportToFile(const std::string& FileName, bool ForWholeGrid);

 protected:
  // Adds the current record to the sum and count accumulators.
  virtual void CalcFooterValues();
  virtual void WritePrefix() {}
  virtual void WriteSuffix() {}
  virtual void WriteTitle(TColumnsEhList* ColumnsList) {}
  // Fills the cell parameters of each column for the current record and writes the cells.
  virtual void WriteRecord(TColumnsEhList* ColumnsList);
  virtual void WriteDataCell(TColumnEh* Column, TColCellParamsEh* Params) {}
  // Works out each column's footer text, font and colours for footer row FooterNo.
  virtual void WriteFooter(TColumnsEhList* ColumnsList, int FooterNo);
  virtual void WriteFooterCell(int DataCol, int Row, TColumnEh* Column, TFont* AFont, TColor Background,
                               TAlignment Alignment, const std::string& Text) {}

  // The text of a sum, average or count footer over the exported records, formatted as the screen shows
  // it; empty when the footer's field is missing or the total does not fit.
  std::string GetExportFooterValue(int FooterNo, int ColPos);
  // The column's footer for a footer row: the row's item of Footers, else the single Footer.
  static TColumnFooterEh* ColumnFooter(TColumnEh* Column, int FooterNo);

  TStream* Stream() const { return stream_; }
  void SetStream(TStream* Value) { stream_ = Value; }
  TColCellParamsEh* ColCellParams() { return colCellParams_.get(); }
  // A handler called by the export may free the grid: the export then ends silently (EAbort).
  void AbortIfGridFreed() const;

 private:
  // One accumulator per footer row and export column: index = row × ExpCols count + position.
  struct FooterTotal {
    Currency Sum;
    int64_t Count = 0;
    bool Overflowed = false;  // a sum that left Currency's range exports an empty text
  };
  std::vector<FooterTotal> footerValues_;
  // Per exported column: the column and the copy of its font its cells start from.
  std::vector<std::pair<TColumnEh*, std::unique_ptr<TFont>>> cellFonts_;
  std::unique_ptr<TColCellParamsEh> colCellParams_;
  TCustomDBGridEh* grid_ = nullptr;
  TLivenessWatch gridWatch_;
  TColumnsEhList expCols_;
  TStream* stream_ = nullptr;
};
using TDBGridEhExportClass = TClass;  // a class reference to a TDBGridEhExport descendant

// Tab-separated lines, CR LF between lines and none after the last. A TAB, CR or LF inside a
// cell goes out as a space, so the text reads back cell for cell. (DBGridEhExportText.cpp)
class TDBGridEhExportAsText : public TDBGridEhExport {
  RTL_CLASS(TDBGridEhExportAsText, TDBGridEhExport)
 public:
  TDBGridEhExportAsText() = default;
  void ExportToStream(TStream* Stream, bool ForWholeGrid) override;

 protected:
  void WriteTitle(TColumnsEhList* ColumnsList) override;
  void WriteRecord(TColumnsEhList* ColumnsList) override;
  void WriteDataCell(TColumnEh* Column, TColCellParamsEh* Params) override;
  void WriteFooter(TColumnsEhList* ColumnsList, int FooterNo) override;
  void WriteFooterCell(int DataCol, int Row, TColumnEh* Column, TFont* AFont, TColor Background,
                       TAlignment Alignment, const std::string& Text) override;
  // CR LF before every line but the first.
  virtual void CheckFirstRec();
  // The cell separator before every cell of a line but the first.
  virtual void CheckFirstCell();
  // The cell text as it goes out (separators and line breaks replaced by spaces).
  virtual std::string CellText(const std::string& Text);

  bool FirstRec = true;
  bool FirstCell = true;
};

// The same lines as UTF-16LE code units, without a byte-order mark. (DBGridEhExportText.cpp)
class TDBGridEhExportAsUnicodeText : public TDBGridEhExport {
  RTL_CLASS(TDBGridEhExportAsUnicodeText, TDBGridEhExport)
 public:
  TDBGridEhExportAsUnicodeText() = default;
  void ExportToStream(TStream* Stream, bool ForWholeGrid) override;

 protected:
  void WriteTitle(TColumnsEhList* ColumnsList) override;
  void WriteRecord(TColumnsEhList* ColumnsList) override;
  void WriteDataCell(TColumnEh* Column, TColCellParamsEh* Params) override;
  void WriteFooter(TColumnsEhList* ColumnsList, int FooterNo) override;
  void WriteFooterCell(int DataCol, int Row, TColumnEh* Column, TFont* AFont, TColor Background,
                       TAlignment Alignment, const std::string& Text) override;
  virtual void CheckFirstRec();
  virtual void CheckFirstCell();

  bool FirstRec = true;
  bool FirstCell = true;
};

// Every cell quoted with inner quotes doubled, the separator between cells, the text kept
// exact. (DBGridEhExportText.cpp)
extern char CSVSeparator;  // ';'
extern char CSVQuoteChar;  // '"'
class TDBGridEhExportAsCSV : public TDBGridEhExportAsText {
  RTL_CLASS(TDBGridEhExportAsCSV, TDBGridEhExportAsText)
 public:
  // Takes CSVSeparator and CSVQuoteChar as they are now.
  TDBGridEhExportAsCSV();
  void ExportToStream(TStream* Stream, bool ForWholeGrid) override;
  char Separator;
  char QuoteChar;

 protected:
  void WriteTitle(TColumnsEhList* ColumnsList) override;
  void WriteDataCell(TColumnEh* Column, TColCellParamsEh* Params) override;
  void WriteFooterCell(int DataCol, int Row, TColumnEh* Column, TFont* AFont, TColor Background,
                       TAlignment Alignment, const std::string& Text) override;
  void WriteSuffix() override;
  void CheckFirstRec() override;
  void CheckFirstCell() override;
  // The text between quote characters with inner ones doubled (as is when QuoteChar is 0).
  std::string QuotedCell(const std::string& Text) const;
  void AppendQuotedCell(std::string& Out, std::string_view Text) const;

 private:
  // Lines and cells go out in large pieces rather than a write a cell: what is not written yet.
  std::string pending_;
  void WritePending(bool OnlyWhenLarge);
};

// One rich-text table: a row per title level, record and footer row, with the grid's widths,
// colours, fonts, alignments and borders. Characters above 127 go out as \uN? escapes.
// (DBGridEhExportRtf.cpp)
class TDBGridEhExportAsRTF : public TDBGridEhExport {
  RTL_CLASS(TDBGridEhExportAsRTF, TDBGridEhExport)
 public:
  TDBGridEhExportAsRTF();
  ~TDBGridEhExportAsRTF() override;
  void ExportToStream(TStream* Stream, bool ForWholeGrid) override;

  // Colour and font numbers, appended on first use.
  int GetColorIndex(TColor Color);
  int GetFontIndex(const std::string& FontName);

  // The body while it is written, before the tables are known (DBGridEhExportRtf.cpp).
  struct TBodyTape;

 protected:
  void WriteSuffix() override;
  void WriteTitle(TColumnsEhList* ColumnsList) override;
  void WriteRecord(TColumnsEhList* ColumnsList) override;
  void WriteDataCell(TColumnEh* Column, TColCellParamsEh* Params) override;
  void WriteFooter(TColumnsEhList* ColumnsList, int FooterNo) override;
  void WriteFooterCell(int DataCol, int Row, TColumnEh* Column, TFont* AFont, TColor Background,
                       TAlignment Alignment, const std::string& Text) override;

  void WriteRTFText(const std::string& Text);
  void WriteRTFLine(const std::string& Text);

  std::unique_ptr<TStream> BodyStream;  // appends to the body, which follows the tables
  std::unique_ptr<TStringList> ColorTable;
  std::unique_ptr<TStringList> FontTable;

 private:
  // The cells' right edges in twips, worked out once an export: the columns keep their widths.
  const std::vector<int64_t>& CellRightEdges(TColumnsEhList* ColumnsList);
  std::vector<int64_t> cellRightEdges_;
  static constexpr uint32_t kNoPiece = UINT32_MAX;
  // Whether the body goes on the tape now, rather than straight to the stream.
  bool OnTape();
  std::unique_ptr<TBodyTape> tape_;
  uint32_t rowEndPiece_ = kNoPiece;
  uint32_t cellEndPiece_ = kNoPiece;
  uint32_t rowDefinitionPiece_ = kNoPiece;
  std::string cellText_;  // a cell's escaped text, kept for its capacity
  bool inRecord_ = false;
  // The format before each record cell's text, by the cell's place in the row.
  struct TRtfCellFormat {
    TAlignment Alignment = taLeftJustify;
    const char* Margin = nullptr;
    TColor Background = 0;
    TColor FontColor = 0;
    int FontSize = 0;
    TFontStyles FontStyle;
    std::string FontName;
    uint32_t Piece = kNoPiece;
  };
  std::vector<TRtfCellFormat> cellFormats_;
  size_t cellNo_ = 0;
  // The colour table's entries as 0x00BBGGRR, in its order: a look-up compares numbers, and a
  // key is made for a new colour only.
  std::vector<uint32_t> colorParts_;
  // The last record row's shadings, which its definition was made for: most rows share it.
  std::vector<int> rowShadings_;
};

// The grid's own typed records: integers, floats, texts, raw bytes, wide texts and nulls kept
// apart; no titles or footers. (DBGridEhVclDbif.cpp)
class TDBGridEhExportAsVCLDBIF : public TDBGridEhExport {
  RTL_CLASS(TDBGridEhExportAsVCLDBIF, TDBGridEhExport)
 public:
  TDBGridEhExportAsVCLDBIF() = default;

 protected:
  void WritePrefix() override;
  void WriteSuffix() override;
  void WriteDataCell(TColumnEh* Column, TColCellParamsEh* Params) override;
};

// --- importers ----------------------------------------------------------------------------------

// The whole input as the readers hand it to the walk, read and checked before the first write:
// the cells in input order and where each record starts. A cell is a text (text formats, a
// UTF-8 string) or a typed value (records; Unassigned leaves the target unchanged, Null clears it).
struct TImportRecordsEh {
  std::vector<Variant> Cells;
  std::vector<size_t> RecordStarts;

  size_t RecordCount() const { return RecordStarts.size(); }
  void BeginRecord() { RecordStarts.push_back(Cells.size()); }
  void AddCell(Variant Value) { Cells.push_back(std::move(Value)); }
  size_t CellsBegin(size_t Record) const { return RecordStarts[Record]; }
  size_t CellsEnd(size_t Record) const {
    return Record + 1 < RecordStarts.size() ? RecordStarts[Record + 1] : Cells.size();
  }
  void Clear() {
    Cells.clear();
    RecordStarts.clear();
  }
};

// The walk that writes records of the input into the grid's records over its selection, and
// appends the rest when the grid allows it. (DBGridEhImport.cpp)
class TDBGridEhImport : public TObject {
  RTL_CLASS(TDBGridEhImport, TObject)
 public:
  TDBGridEhImport();
  ~TDBGridEhImport() override;

  TCustomDBGridEh* DBGridEh() const { return grid_; }
  void SetDBGridEh(TCustomDBGridEh* Value);
  TColumnsEhList* ImpCols() { return &impCols_; }

  // Reads the whole input from the stream's position (a format error raises before anything is
  // written), then writes it; all or nothing (see the top of this file).
  virtual void ImportFromStream(TStream* Stream, bool ForWholeGrid);
  virtual void ImportFromFile(const std::string& FileName, bool ForWholeGrid);

 protected:
  // Reads and checks the whole input into Records (descendants); raises the format's error.
  virtual void ReadPrefix() {}
  virtual void ReadSuffix() {}
  // Writes the next input record into the current record, cell i into the list's column i.
  virtual void ReadRecord(TColumnsEhList* ColumnsList);
  // Writes the current cell into the column (nullptr: the cell is dropped).
  virtual void ReadCell(TColumnEh* Column) {}
  // While input records remain: insert (or append at the end), read a record, post.
  void AppendRemainingRecords();

  // The value writes; a refused write asks "insert error, ignore?" (Yes, No, All). A number
  // field takes the text as the column shows numbers too ("8,200.00" for ",0.00").
  void WriteImportText(TColumnEh* Column, const std::string& Text);
  void WriteImportValue(TColumnEh* Column, const Variant& Value);
  // A value the reader cannot give the column, asked about as a refused write is.
  void WriteImportError(TColumnEh* Column, const std::string& Message);

  TStream* Stream() const { return stream_; }
  // The whole input, read by ReadPrefix; the walk takes the records in order.
  TImportRecordsEh Records;
  size_t NextRecord = 0;
  const Variant* CurrentCell = nullptr;  // the cell ReadCell writes
  // Whether no input record is left (a reader that splits its records as the walk takes them
  // says so itself).
  virtual bool EndOfData() const { return NextRecord >= Records.RecordCount(); }
  bool IgnoreErrors = false;
  // A handler called by the import (AfterPost, a key handler on a post) may free the grid: the
  // import then ends silently (EAbort) and its changes are undone. Every reader checks before
  // each cell it writes.
  void AbortIfGridFreed() const;

 private:
  // Runs one value write inside the error question.
  template <class Write>
  void GuardedWrite(TColumnEh* Column, Write&& write);
  // Starts editing the current record for a write (logging its old values first).
  bool EditForWrite(TField* Field);

  TCustomDBGridEh* grid_ = nullptr;
  TLivenessWatch gridWatch_;
  TColumnsEhList impCols_;
  TStream* stream_ = nullptr;
  std::unique_ptr<TImportUndoLogEh> undo_;
  bool atEnd_ = false;  // AppendRemainingRecords appends (else inserts before the current record)
};
using TDBGridEhImportClass = TClass;  // a class reference to a TDBGridEhImport descendant

// Tab-separated text (UTF-8): TAB ends a cell; LF or CR LF a record; a 0 byte or the end of
// the input the data. A leading byte-order mark is dropped (a UTF-16LE one reads the rest as
// UTF-16LE). A first line of the captions of the first target columns (all of them, or fewer
// with records after it) is the export's title line and skipped. Text that is not UTF-8, a CR
// without its LF and an input longer than MaxInputBytes are refused before anything is
// written. (DBGridEhImportText.cpp)
class TDBGridEhImportAsText : public TDBGridEhImport {
  RTL_CLASS(TDBGridEhImportAsText, TDBGridEhImport)
 public:
  TDBGridEhImportAsText() = default;
  void ImportFromStream(TStream* Stream, bool ForWholeGrid) override;

 protected:
  // Reads and checks the whole text; its records are split as the walk takes them.
  void ReadPrefix() override;
  bool EndOfData() const override;
  void ReadRecord(TColumnsEhList* ColumnsList) override;
  void ReadCell(TColumnEh* Column) override;
  // The input as UTF-8 text up to its end mark (a memory stream's bytes in place when they are
  // UTF-8 already); raises the format error.
  std::string_view ReadInputText();
  // The bytes of a code unit of the input without a byte-order mark: 1 (UTF-8) or 2 (UTF-16LE).
  virtual size_t CodeUnitSize() const;
  // The most bytes of text (before its end mark) an import reads: 1 GiB, the largest clipboard block.
  virtual size_t MaxInputBytes() const;
  // The message of the format error, which names the reader.
  virtual const char* FormatErrorText() const;

 private:
  std::string ownText_;    // the text when it is not the stream's own bytes
  std::string_view text_;  // the whole input as UTF-8 (in ownText_ or the stream)
  size_t readPos_ = 0;     // where the next record starts
  Variant cell_;           // the cell ReadCell writes
};

// The same over UTF-16LE code units (a UTF-8 byte-order mark is not one here); an unpaired
// surrogate is a format error. (DBGridEhImportText.cpp)
class TDBGridEhImportAsUnicodeText : public TDBGridEhImportAsText {
  RTL_CLASS(TDBGridEhImportAsUnicodeText, TDBGridEhImportAsText)
 public:
  TDBGridEhImportAsUnicodeText() = default;

 protected:
  size_t CodeUnitSize() const override;
  const char* FormatErrorText() const override;
};

// The grid's own typed records; every malformed input is the format error, found before the
// first write. The records are read again from the input as the walk takes them (a memory
// stream's bytes where they lie). (DBGridEhVclDbif.cpp)
class TDBGridEhImportAsVCLDBIF : public TDBGridEhImport {
  RTL_CLASS(TDBGridEhImportAsVCLDBIF, TDBGridEhImport)
 public:
  TDBGridEhImportAsVCLDBIF();
  ~TDBGridEhImportAsVCLDBIF() override;
  void ImportFromStream(TStream* Stream, bool ForWholeGrid) override;

 protected:
  void ReadPrefix() override;
  bool EndOfData() const override;
  void ReadRecord(TColumnsEhList* ColumnsList) override;
  void ReadCell(TColumnEh* Column) override;
  // A lookup column's cell (comma text of key values) written to the lookup's key fields.
  void WriteLookupKeys(TColumnEh* Column, TField* Field, const Variant& Value);

  // The column descriptors of the input (name, visible flag); they do not steer the import.
  std::unique_ptr<TStringList> ColumnDescriptors;

 private:
  std::vector<uint8_t> copy_;      // the input of a stream that does not hold its bytes in memory
  const uint8_t* data_ = nullptr;  // the input from the header on
  size_t size_ = 0;
  int32_t columns_ = 0;  // values a record
  size_t recordCount_ = 0;
  size_t readPos_ = 0;  // where the next record starts
  Variant cell_;        // the cell ReadCell writes
};

// --- the routines the grid, its menu, its keys and the navigator call ----------------------------
// (DBGridEhClipboardActions.cpp)

// Makes an exporter of the class, sets its grid, writes, frees it.
void WriteGridToExportStream(TDBGridEhExportClass ExpClass, TCustomDBGridEh* Grid, TStream* Stream,
                             bool ForWholeGrid);
// Makes an importer of the class, sets its grid, reads, frees it.
void ReadGridFromImportStream(TDBGridEhImportClass ImpClass, TCustomDBGridEh* Grid, TStream* Stream,
                              bool ForWholeGrid);
// The whole stream into a new global block, handed to the clipboard under the format. A stream
// too large for a block raises, and the clipboard keeps no part of the copy in progress.
void PutStreamToClipboard(UINT Format, TCustomMemoryStream* Stream);
// Appends the clipboard's block of the format (terminators included) to the stream.
void GetClipboardToStream(UINT Format, TStream* Stream);
