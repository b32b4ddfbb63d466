// The text importers: cells, records and the end of the data, the caption line, refused text,
// the walk over a selection, and round trips through the text exports.
#include "grid/dbgrid/DBGridEhImpExp.h"
#include "grid/dbgrid/DBGridEhSelection.h"
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
                                                       {"A\tB\nx", "A|B|;x||;"},
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
