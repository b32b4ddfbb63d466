// The text importers: cells, records and the end of the data, the caption line, refused text,
// the walk over a selection, and round trips through the text exports for every kind of field.
#include "grid/dbgrid/DBGridEhImpExp.h"
#include "grid/dbgrid/DBGridEhSelection.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/SysUtils.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

using namespace std::string_literals;

namespace {

class ImportTextTest : public DBGridTestBase {
 protected:
  void SetUp() override {
    DBGridTestBase::SetUp();
    texts = new TMemoryDataSet(form);
    for (const char* name : {"A", "B", "C"}) texts->FieldDefs()->Add(name, ftString, 20);
    texts->CreateDataSet(), source->SetDataSet(texts), AddColumns({"A", "B", "C"});
  }
  static std::string Utf16(const std::string& Text) {  // little-endian, as the host
    const std::u16string units = Utf8ToUtf16(Text);
    return std::string(reinterpret_cast<const char*>(units.data()), units.size() * 2);
  }
  // Through a stream, or where a memory stream holds the bytes when inMemory is set.
  void Import(const std::string& Bytes, bool Unicode, bool ForWholeGrid = true) {
    TStringStream stream(Bytes);
    TMemoryStream memory;
    memory.WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size())), memory.SetPosition(0);
    TDBGridEhImportAsText text;
    TDBGridEhImportAsUnicodeText unicode;
    TDBGridEhImportAsText& importer = Unicode ? unicode : text;
    importer.SetDBGridEh(grid);
    importer.ImportFromStream(inMemory ? static_cast<TStream*>(&memory) : &stream, ForWholeGrid);
  }
  static std::string FormatError(bool Unicode) {
    return std::string(Unicode ? "TDBGridEhImportAsUnicodeText" : "TDBGridEhImportAsText") +
           ".CheckState: 错误的文本格式";
  }
  std::string Rows() {
    std::string out;
    for (texts->First(); !texts->Eof(); texts->Next())
      for (int i = 0; i < 3; ++i) out += texts->Fields()->Fields(i)->AsString() + (i < 2 ? "|" : ";");
    return out;
  }
  TMemoryDataSet* texts = nullptr;
  bool inMemory = false;
};

TEST_F(ImportTextTest, SplitsCellsAndRecordsSkipsTheCaptionLineAndRoundTrips) {
  // A 0 byte or the end (its last byte read too) ends the data; a fourth cell is dropped.
  const std::pair<std::string, std::string> cases[] = {{"a\t\tb\0"s, "a||b;"},
                                                       {"a\t\tb", "a||b;"},
                                                       {"x\ny\r\nz", "x||;y||;z||;"},
                                                       {"x\r\n\r\n中\r\n", "x||;||;中||;"},
                                                       {"", ""},
                                                       {"A\tB\tC\r\nx", "x||;"},
                                                       {"A\tB\nx", "x||;"},  // A and B exported
                                                       {"A\tB", "A|B|;"},    // no records follow
                                                       {"B\tC\nx", "B|C|;x||;"},
                                                       {"A\tB\tC\tD\nx", "A|B|C;x||;"},
                                                       {"a\tb\tc\td\0e\nf"s, "a|b|c;"}};
  for (bool memory : {false, true})
    for (bool unicode : {false, true})
      for (const auto& [input, rows] : cases) {
        SCOPED_TRACE(input + (unicode ? " (UTF-16)" : "") + (memory ? " (in memory)" : ""));
        inMemory = memory;
        texts->EmptyDataSet(), Import(unicode ? Utf16(input) : input, unicode);
        EXPECT_EQ(Rows(), rows);
      }
  inMemory = false;
  texts->EmptyDataSet(), Import(Utf16("x") + "y", true);  // an odd last byte is not a code unit
  EXPECT_EQ(Rows(), "x||;");

  texts->EmptyDataSet(), texts->AppendRecord({"a\tb", "中文", ""}), texts->AppendRecord({"x", "y", "z"});
  for (bool unicode : {false, true}) {
    TStringStream stream;
    TDBGridEhExportAsText text;
    TDBGridEhExportAsUnicodeText wide;
    TDBGridEhExport& exporter = unicode ? static_cast<TDBGridEhExport&>(wide) : text;
    exporter.SetDBGridEh(grid), exporter.ExportToStream(&stream, true);
    texts->EmptyDataSet(), Import(stream.DataString(), unicode);
    EXPECT_EQ(Rows(), "a b|中文|;x|y|z;");  // the title line is not a record
  }
}

// What the grid exports as text (titles on), UTF-16 text or its own records reads back into the
// grid without loss, for every kind of field a ledger shows: text, a float with a display format,
// money as the currency text shows it and under a column format of its own, an integer with
// group separators, a date, a boolean and a key-list column. A rectangle of the first columns
// reads back with its title line too.
TEST_F(ImportTextTest, TheGridsOwnExportReadsBackIntoItForEveryKindOfField) {
  auto* ledger = new TMemoryDataSet(form);
  const std::pair<const char*, TFieldType> fields[] = {
      {"Note", ftString},   {"Rate", ftFloat}, {"Money", ftCurrency}, {"Price", ftCurrency},
      {"Units", ftInteger}, {"Day", ftDate},   {"Paid", ftBoolean},   {"Kind", ftString}};
  for (const auto& [name, type] : fields) ledger->FieldDefs()->Add(name, type, type == ftString ? 20 : 0);
  ledger->CreateDataSet();
  static_cast<TNumericField*>(ledger->FieldByName("Rate"))->SetDisplayFormat(",0.00");
  static_cast<TNumericField*>(ledger->FieldByName("Units"))->SetDisplayFormat("#,##0");
  source->SetDataSet(ledger), grid->Columns()->Clear();
  AddColumns({"Note", "Rate", "Money", "Price", "Units", "Day", "Paid", "Kind"});
  grid->Columns()->GetColumn(3)->SetDisplayFormat("￥,0.00;(￥,0.00)");
  grid->Columns()->GetColumn(7)->KeyList()->SetCommaText("I,E");
  grid->Columns()->GetColumn(7)->PickList()->SetCommaText("收入,支出");
  const auto day = [](int Month, int Day) { return Variant::FromDate(EncodeDate(2026, Month, Day)); };
  const std::vector<std::vector<Variant>> rows = {
      {"一月工资", 8200.0, 8200.0, 1234567.89, 1200, day(1, 3), true, "I"},
      {"房租", -2600.5, -0.25, -2600.5, -1234567, day(2, 5), false, "E"},
      {"零", 0.0, 0.0, 0.0, 0, day(12, 31), false, "I"},
      {"", Variant::Null(), Variant::Null(), Variant::Null(), Variant::Null(), Variant::Null(),
       Variant::Null(), Variant::Null()}};
  // Null shows as "-", but for texts: a text format cannot tell an empty text from none.
  const auto dump = [&] {
    std::string out;
    ledger->ForEachRecord([&](const TBookmark&) {
      for (int i = 0; i < ledger->FieldCount(); ++i) {
        TField* f = ledger->Fields()->Fields(i);
        const bool none = f->IsNull() && f->DataType() != ftString;
        out += (none ? "-" : f->AsString()) + (i + 1 < ledger->FieldCount() ? "|" : ";");
      }
    });
    return out;
  };
  ledger->LoadFromRows(rows);
  const std::string stored = dump();
  ASSERT_EQ(stored.substr(0, stored.find(';')), "一月工资|8200|8200|1234567.89|1200|2026-01-03|True|I");

  const auto exported = [&](TDBGridEhExport& Exporter, bool WholeGrid) {
    TStringStream stream;
    Exporter.SetDBGridEh(grid), Exporter.ExportToStream(&stream, WholeGrid);
    return stream.DataString();
  };
  for (int format = 0; format < 3; ++format) {
    SCOPED_TRACE(format);
    TDBGridEhExportAsText text;
    TDBGridEhExportAsUnicodeText wide;
    TDBGridEhExportAsVCLDBIF records;
    TDBGridEhExport* exporters[] = {&text, &wide, &records};
    TDBGridEhImportAsText textIn;
    TDBGridEhImportAsUnicodeText wideIn;
    TDBGridEhImportAsVCLDBIF recordsIn;
    TDBGridEhImport* importers[] = {&textIn, &wideIn, &recordsIn};
    ledger->EmptyDataSet(), ledger->LoadFromRows(rows);
    TStringStream stream(exported(*exporters[format], true));
    const std::string lines = stream.DataString();
    if (format == 0) {  // the export writes the texts the grid shows, under the title line
      EXPECT_EQ(lines.substr(0, lines.find("\r\n", lines.find("\r\n") + 2)),
                "Note\tRate\tMoney\tPrice\tUnits\tDay\tPaid\tKind\r\n一月工资\t8,200.00\t¥8,200.00\t￥1,234,"
                "567.89\t1,200\t2026-01-03\tTrue\t收入");
    }
    ledger->EmptyDataSet();
    importers[format]->SetDBGridEh(grid), importers[format]->ImportFromStream(&stream, true);
    EXPECT_EQ(dump(), stored);
  }

  // A rectangle over the first four columns of the first two records, read back at the first
  // column of an empty grid.
  ledger->EmptyDataSet(), ledger->LoadFromRows(rows);
  const TBookmark top = ledger->Bookmark();
  ledger->Next();
  grid->Selection()->Rect()->Select(0, top, false),
      grid->Selection()->Rect()->Select(3, ledger->Bookmark(), true);
  TDBGridEhExportAsText rectangle;
  TStringStream part(exported(rectangle, false));
  ledger->EmptyDataSet(), grid->Selection()->Clear(), grid->SetSelectedIndex(0);
  TDBGridEhImportAsText partIn;
  partIn.SetDBGridEh(grid), partIn.ImportFromStream(&part, false);
  EXPECT_EQ(dump(), "一月工资|8200|8200|1234567.89|-|-|-|;房租|-2600.5|-0.25|-2600.5|-|-|-|;");
}

TEST_F(ImportTextTest, RefusesMalformedTextBeforeWritingAndWalksTheSelection) {
  const std::pair<std::string, bool> cases[] = {
      {"a\n\xFF", false},     {"\xC0\x80", false},      {"\xED\xA0\x80", false},  {"\xF4\x90\x80\x80", false},
      {"a\t\xE4\xB8", false}, {"a\0\n\0\0\xD8"s, true}, {"a\0\0\xDC\n\0"s, true}, {"\0\xD8\n\0"s, true}};
  texts->AppendRecord({"k", "k", "k"});
  for (bool memory : {false, true})
    for (const auto& [input, unicode] : cases) {
      SCOPED_TRACE(input + (memory ? " (in memory)" : ""));
      inMemory = memory;
      EXPECT_EQ(ErrorOf([&] { Import(input, unicode); }), FormatError(unicode));
      EXPECT_EQ(Rows(), "k|k|k;");
    }
  inMemory = false;
  // Three records over two selected ones: the third is dropped, unless appending follows the walk.
  texts->AppendRecord({"l"}), grid->Selection()->SelectAll();
  Import("p\nq\nr", false, false);
  EXPECT_EQ(Rows(), "p|k|k;q||;");
  Import("s\nt\nu", false, true);
  EXPECT_EQ(Rows(), "s|k|k;t||;u||;");
}

// A text importer that reads at most 8 bytes of text.
template <class Reader>
class TEightByteImportEh : public Reader {
 protected:
  size_t MaxInputBytes() const override { return 8; }
};

TEST_F(ImportTextTest, TextLongerThanTheLimitIsRefusedBeforeAnyWrite) {
  struct Case {
    const char* id;
    std::string input;
    bool unicode;
    const char* rows;  // "" when refused
  } const cases[] = {
      {"8 bytes", "abc\tdefg", false, "abc|defg|k;"},
      {"9 bytes", "abc\tdefgh", false, ""},
      {"8 bytes and the end mark", "abc\tdefg\0tail"s, false, "abc|defg|k;"},
      {"the mark does not count",
       "\xEF\xBB\xBF"
       "abc\tdefg",
       false, "abc|defg|k;"},
      {"8 UTF-16 bytes", Utf16("ab\tc"), true, "ab|c|k;"},
      {"8 UTF-16 bytes and an odd one", Utf16("ab\tc") + "x", true, "ab|c|k;"},
      {"10 UTF-16 bytes", Utf16("ab\tcd"), true, ""},
  };
  // Read from a stream, or where a memory stream holds it.
  for (bool inMemory : {false, true})
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.id) + (inMemory ? " (in memory)" : ""));
      texts->EmptyDataSet(), texts->AppendRecord({"k", "k", "k"});
      TStringStream read(c.input);
      TMemoryStream memory;
      memory.WriteBuffer(c.input.data(), static_cast<int64_t>(c.input.size())), memory.SetPosition(0);
      TEightByteImportEh<TDBGridEhImportAsText> text;
      TEightByteImportEh<TDBGridEhImportAsUnicodeText> unicode;
      TDBGridEhImportAsText& importer = c.unicode ? static_cast<TDBGridEhImportAsText&>(unicode) : text;
      importer.SetDBGridEh(grid);
      const std::string error = ErrorOf(
          [&] { importer.ImportFromStream(inMemory ? static_cast<TStream*>(&memory) : &read, true); });
      EXPECT_EQ(error, *c.rows ? "" : "The text to import is longer than 8 bytes, the most an import reads");
      EXPECT_EQ(Rows(), *c.rows ? c.rows : "k|k|k;");
    }
}

TEST_F(ImportTextTest, ALoneCarriageReturnIsAFormatErrorThatWritesNothing) {
  // A CR ends a record only together with its LF.
  struct Case {
    const char* id;
    std::string input;
  } const cases[] = {{"at the start", "\rx\ty"},
                     {"inside a cell", "a\tb\rc\td"},
                     {"at the end of the stream", "a\tb\r"},
                     {"before the end mark", "a\tb\r\0\n"s},
                     {"before a CR LF", "a\r\r\nb"},
                     {"after a whole record", "a\tb\r\nc\rd"}};
  texts->AppendRecord({"k", "k", "k"}), texts->AppendRecord({"l", "l", "l"});
  for (bool unicode : {false, true})
    for (bool wholeGrid : {false, true})
      for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.id) + (unicode ? " (UTF-16)" : "") + (wholeGrid ? " (whole grid)" : ""));
        texts->First(), texts->Next();
        EXPECT_EQ(ErrorOf([&] { Import(unicode ? Utf16(c.input) : c.input, unicode, wholeGrid); }),
                  FormatError(unicode));
        EXPECT_EQ(texts->RecNo(), 2);
        EXPECT_EQ(Rows(), "k|k|k;l|l|l;");
      }
}

}  // namespace
