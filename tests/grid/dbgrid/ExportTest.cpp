// The export walk by selection kind, the text, UTF-16 text and CSV bytes, and footer totals over
// the exported records.
#include <fstream>
#include <iterator>

#include "grid/dbgrid/DBGridEhImpExp.h"
#include "grid/dbgrid/DBGridEhSelection.h"
#include "platform/db/Fields.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

class ExportTest : public DBGridTestBase {
 protected:
  void SetUp() override {
    DBGridTestBase::SetUp();
    AddColumns({"ID", "NAME"});
    AddRows({{1, "a", 1.5}, {2, "b", 2.5}, {3, "c", 4}, {4, "d", 0}});
  }
  std::string Run(TDBGridEhExport& Exporter, bool Whole) {
    TMemoryStream out;
    Exporter.SetDBGridEh(grid);
    Exporter.ExportToStream(&out, Whole);
    return std::string(reinterpret_cast<const char*>(out.Memory()), static_cast<size_t>(out.Size()));
  }
  template <class E>
  std::string Export(bool Whole = false) {
    E exporter;
    return Run(exporter, Whole);
  }
  std::string Text(bool Whole = false) { return Export<TDBGridEhExportAsText>(Whole); }
  TBookmark Mark(int Id) {
    dataSet->Locate("ID", Id, {});
    return dataSet->Bookmark();
  }
  // The last line of a whole-grid text export: the footer row.
  std::string FooterLine() {
    const std::string all = Text(true);
    return all.substr(all.rfind('\n') + 1);
  }
};

TEST_F(ExportTest, EachKindWritesItsRecordsAndColumns) {
  // clang-format off
  struct { const char* name; std::function<void()> select; const char* want; } cases[] = {
      {"all", [&] { grid->Selection()->SelectAll(); }, "ID\tNAME\r\n1\ta\r\n2\tb\r\n3\tc\r\n4\td"},
      {"no titles", [&] { grid->SetOptions(grid->Options() - TDBGridOptions{dgTitles}), grid->Selection()->SelectAll(); }, "1\ta\r\n2\tb\r\n3\tc\r\n4\td"},
      {"bookmarks", [&] { grid->SelectedRows()->AppendItem(Mark(3)), grid->SelectedRows()->AppendItem(Mark(4)),
                          grid->Selection()->SetSelectionType(gstRecordBookmarks); }, "ID\tNAME\r\n3\tc\r\n4\td"},
      {"rectangle", [&] { grid->Selection()->Rect()->Select(1, Mark(2), false),
                          grid->Selection()->Rect()->Select(1, Mark(3), true); }, "NAME\r\nb\r\nc"},
      {"columns", [&] { grid->Selection()->Columns()->Select(grid->Columns()->GetColumn(1), false); },
       "NAME\r\na\r\nb\r\nc\r\nd"},
      // The bottom record goes: the walk stops at the first record past it, not at the end.
      {"rectangle, bottom gone", [&] { grid->Selection()->Rect()->Select(0, Mark(2), false),
                          grid->Selection()->Rect()->Select(1, Mark(3), true), dataSet->Delete(); },
       "ID\tNAME\r\n2\tb"},
      {"current cell", [&] { Mark(2), grid->SetSelectedIndex(1); }, "b"},
      {"detail's current cell", [&] {  // its master not empty: the cell goes out all the same
         auto* master = new TMemoryDataSet(form);
         master->FieldDefs()->Add("M", ftInteger), master->CreateDataSet(), master->AppendRecord({1});
         auto* link = new TDataSource(form);
         link->SetDataSet(master), dataSet->SetDataSource(link);
         Mark(4), grid->SetSelectedIndex(1); }, "d"},
      {"no current column", [&] { grid->Columns()->GetColumn(0)->SetVisible(false),
                                  grid->Columns()->GetColumn(1)->SetVisible(false); }, ""}};
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    c.select(), Pump();
    EXPECT_EQ(Text(), c.want);
    grid->Selection()->Clear(), grid->SelectedRows()->Clear();
    grid->SetOptions(grid->Options() + TDBGridOptions{dgTitles});
  }
  // An error mid-walk passes on with the starting record back and the controls enabled.
  grid->Columns()->GetColumn(0)->SetVisible(true), grid->Selection()->SelectAll(), Mark(2);
  grid->OnGetCellParams = [&](TObject*, TColumnEh*, TFont*, TColor&, TGridDrawState) {
    if (dataSet->FieldByName("ID")->AsInteger() == 4) throw Exception("cell");
  };
  EXPECT_EQ(ErrorOf([&] { Text(); }), "cell");
  EXPECT_EQ(std::tuple(dataSet->FieldByName("ID")->AsInteger(), dataSet->ControlsDisabled()),
            std::tuple(2, false));
}

TEST_F(ExportTest, FormatsWriteExactBytes) {
  Mark(2);
  dataSet->Edit(), dataSet->FieldByName("NAME")->SetAsString("x\ty\r\nz"), dataSet->Post();
  Mark(3);
  dataSet->Edit(), dataSet->FieldByName("NAME")->SetAsString("1\"2"), dataSet->Post();
  Mark(4);
  dataSet->Edit(), dataSet->FieldByName("NAME")->SetAsString("汉𝄞"), dataSet->Post();
  grid->Columns()->GetColumn(0)->Title()->SetCaption("I\nD");
  grid->Selection()->Columns()->Select(grid->Columns()->GetColumn(1), false);
  EXPECT_EQ(Text(), "NAME\r\na\r\nx y  z\r\n1\"2\r\n汉𝄞");
  EXPECT_EQ(Export<TDBGridEhExportAsCSV>(), "\"NAME\"\r\n\"a\"\r\n\"x\ty\r\nz\"\r\n\"1\"\"2\"\r\n\"汉𝄞\"");
  EXPECT_EQ(Export<TDBGridEhExportAsCSV>(true).substr(0, 18), "\"I\nD\";\"NAME\"\r\n\"1\";");
  EXPECT_EQ(Text(true).substr(0, 9), "I D\tNAME\r");
  const std::string wide = Export<TDBGridEhExportAsUnicodeText>();
  EXPECT_EQ(wide.substr(0, 12), std::string("N\0A\0M\0E\0\r\0\n\0", 12));
  EXPECT_EQ(wide.substr(wide.size() - 6),
            std::string("\x49\x6C\x34\xD8\x1E\xDD", 6));  // 汉 and a surrogate pair
  EXPECT_EQ(wide.find(std::string("x\0 \0y\0", 6)) != std::string::npos, true);
  const std::string path = testing::TempDir() + "export.txt";
  TDBGridEhExportAsText file;
  file.SetDBGridEh(grid), file.ExportToFile(path, true);
  std::ifstream in(path, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), Text(true));
  // The constants are read when a CSV exporter is made; an empty text is quoted too.
  Mark(1);
  dataSet->Edit(), dataSet->FieldByName("NAME")->SetAsString(""), dataSet->Post();
  CSVSeparator = ',', CSVQuoteChar = '\'';
  TDBGridEhExportAsCSV csv;
  CSVSeparator = ';', CSVQuoteChar = '"';
  grid->Selection()->SelectAll();
  EXPECT_EQ(Run(csv, false).substr(0, 26), "'I\nD','NAME'\r\n'1',''\r\n'2',");
}

// Quote bytes inside a cell are doubled; one above 127 only where it stands alone, never as a
// byte of a longer character.
TEST_F(ExportTest, CsvQuotesEveryCellAndDoublesItsQuotes) {
  struct Case {
    char Quote;
    const char* Text;
    const char* Cell;
  };
  const Case cases[] = {
      {'"', "", "\"\""},
      {'"', "plain", "\"plain\""},
      {'"', "\"", "\"\"\"\""},
      {'"', "\"a\"\"b\"", "\"\"\"a\"\"\"\"b\"\"\""},
      {'"', "账\"户", "\"账\"\"户\""},
      {'\'', "it's \"x\"", "'it''s \"x\"'"},
      {'\0', "a\"b", "a\"b"},
      {'\xA6', "账", "\xA6账\xA6"},  // E8 B4 A6: a character's last byte
      {'\xA6',
       "a\xA6"
       "b",
       "\xA6"
       "a\xA6\xA6"
       "b\xA6"},  // a byte on its own
  };
  Mark(2);
  grid->SetSelectedIndex(1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text);
    dataSet->Edit(), dataSet->FieldByName("NAME")->SetAsString(c.Text), dataSet->Post();
    TDBGridEhExportAsCSV csv;
    csv.QuoteChar = c.Quote;
    EXPECT_EQ(Run(csv, false), c.Cell);
  }
  // The whole grid: the captions, a line a record and the footer, in that order.
  grid->SetFooterRowCount(1);
  grid->Columns()->GetColumn(0)->Footer()->SetValueType(fvtSum);
  grid->Columns()->GetColumn(1)->Footer()->SetValueType(fvtCount);
  EXPECT_EQ(Export<TDBGridEhExportAsCSV>(true),
            "\"ID\";\"NAME\"\r\n\"1\";\"a\"\r\n\"2\";\"a\xA6"
            "b\"\r\n\"3\";\"c\"\r\n\"4\";\"d\"\r\n\"10\";\"4\"");
}

TEST_F(ExportTest, FootersTotalTheExportedRecords) {
  AddColumns({"AMOUNT"});
  grid->SetFooterRowCount(1);
  grid->SetOptions(grid->Options() - TDBGridOptions{dgTitles});
  grid->SelectedRows()->AppendItem(Mark(2)), grid->SelectedRows()->AppendItem(Mark(3));
  dataSet->Edit(), dataSet->FieldByName("AMOUNT")->Clear(), dataSet->Post();  // ID 3: no amount
  auto set = [&](int Col, TFooterValueType Type, const char* Field = "", const char* Format = "") {
    TColumnFooterEh* f = grid->Columns()->GetColumn(Col)->Footer();
    f->SetValueType(Type), f->SetFieldName(Field), f->SetDisplayFormat(Format);
  };
  // clang-format off
  struct { TFooterValueType id, name, amount; const char *field, *format; bool whole; const char* want; } cases[] = {
      {fvtSum, fvtCount, fvtAvg, "", "", true, "10\t4\t1.3333"},
      {fvtSum, fvtCount, fvtAvg, "", "", false, "5\t2\t2.5"},   // the selected records only
      {fvtAvg, fvtSum, fvtSum, "", "0.00", false, "2\t\t2.50"}, // a text field has no sum
      {fvtCount, fvtCount, fvtCount, "NOPE", "", false, "2\t2\t2"},  // counted without a field
      {fvtSum, fvtSum, fvtSum, "NOPE", "", false, "\t\t"},
      {fvtStaticText, fvtNon, fvtFieldValue, "", "", false, "\t\t"}};
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.want);
    set(0, c.id, c.field), set(1, c.name, c.field), set(2, c.amount, c.field, c.format);
    grid->Selection()->SetSelectionType(gstRecordBookmarks);
    const std::string all = Text(c.whole);
    EXPECT_EQ(all.substr(all.rfind('\n') + 1), c.want);
  }
  // Every amount null: the formatted zero.
  set(2, fvtSum);
  grid->Selection()->Columns()->Select(grid->Columns()->GetColumn(2), false);
  for (dataSet->First(); !dataSet->Eof(); dataSet->Next())
    dataSet->Edit(), dataSet->FieldByName("AMOUNT")->Clear(), dataSet->Post();
  EXPECT_EQ(Text(), "\r\n\r\n\r\n\r\n0");
}

TEST_F(ExportTest, LargeTotalsAreExactOrEmptyNeverWrapped) {
  auto* big = new TMemoryDataSet(form);
  big->FieldDefs()->Add("N", ftLargeint);
  big->FieldDefs()->Add("F", ftFloat);
  big->CreateDataSet();
  source->SetDataSet(big);
  grid->Columns()->Clear();
  AddColumns({"N", "F"});
  grid->SetFooterRowCount(1);
  grid->Columns()->GetColumn(0)->Footer()->SetValueType(fvtSum);
  grid->Columns()->GetColumn(1)->Footer()->SetValueType(fvtSum);
  // clang-format off
  struct { int64_t n; double f; const char* want; } cases[] = {
      {400000000000000, 1.25, "400000000000000\t1.25"},
      {500000000000000, 2, "900000000000000\t3.25"},
      {1, 1e300, "900000000000001\t"},      // the float total left the range
      {100000000000000, 1, "\t"}};          // so did the integer one, past 2^63 ten-thousandths
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.want);
    big->Append(), big->FieldByName("N")->SetAsLargeInt(c.n), big->FieldByName("F")->SetAsFloat(c.f),
        big->Post();
    EXPECT_EQ(FooterLine(), c.want);
  }
}

}  // namespace
