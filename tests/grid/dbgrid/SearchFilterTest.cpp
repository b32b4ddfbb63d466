#include <gtest/gtest.h>

#include "grid/data/MemoryDataSetEh.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

class SearchFilterTest : public DBGridTestBase {
 protected:
  void SetUp() override {
    DBGridTestBase::SetUp();
    AddRows({{1, "xaBy", 1}, {2, "Abc", 2}, {3, "zzz", 3}, {4, "cab", 4}, {5, "q", 5}, {6, "ab", 6}});
    AddColumns({"ID", "NAME"});
    grid->SetOptions(grid->Options() + dgMultiSelect);
  }
  // The IDs in view, in order.
  static std::string Ids(TDataSet* DataSet) {
    std::string out;
    for (DataSet->First(); !DataSet->Eof(); DataSet->Next())
      out += DataSet->FieldByName("ID")->AsString() + " ";
    return out;
  }
};

TEST_F(SearchFilterTest, ShowsTheRecordsWhoseSearchedTextsHoldTheText) {
  // Selection: c the ID column; r the records 2-4, whose bookmarks the filtered data set gives.
  const std::tuple<char, const char*, const char*> cases[] = {
      {' ', "ab", "1 2 4 6 "}, {' ', "AB", "1 2 4 6 "}, {'c', "ab", ""},
      {'c', "5", "5 "},        {'r', "ab", "2 4 "},     {' ', "", "1 2 3 4 5 6 "}};
  for (const auto& [selection, text, want] : cases) {
    SCOPED_TRACE(std::string(1, selection) + text);
    grid->Selection()->Clear();
    if (selection == 'c') grid->Selection()->Columns()->Select(grid->Columns()->GetColumn(0), false);
    for (int rec = 2; selection == 'r' && rec <= 4; ++rec)
      dataSet->SetRecNo(rec), grid->SelectedRows()->SetCurrentRowSelected(true);
    if (!*text) grid->ApplySearchFilter("q");
    grid->ApplySearchFilter(text);  // an empty text cancels
    EXPECT_EQ(std::make_tuple(Ids(dataSet), dataSet->Filtered(), dataSet->OnFilterRecord == nullptr),
              std::make_tuple(std::string(want), *text != 0, *text == 0));
    grid->CancelSearchFilter();
  }
}

TEST_F(SearchFilterTest, MatchesFromAnyStartInAnyCase) {
  // A false start before the match, a match at the end, texts shorter than the search, a
  // non-letter in the search, and a text with a non-ASCII letter.
  AddRows({{7, "aaB", 7},
           {8, "xa", 8},
           {9,
            "\xC3\xA9"
            "aB",
            9},
           {10, "a-b", 10}});
  const std::pair<const char*, const char*> cases[] = {{"ab", "1 2 4 6 7 9 "},
                                                       {"A-", "10 "},
                                                       {"xab", "1 "},
                                                       {"10", "10 "},
                                                       {"\xC3\xA9"
                                                        "A",
                                                        "9 "},
                                                       {"aab", "7 "}};
  for (const auto& [text, want] : cases) {
    SCOPED_TRACE(text);
    grid->ApplySearchFilter(text);
    EXPECT_EQ(Ids(dataSet), want);
    grid->CancelSearchFilter();
  }
}

TEST_F(SearchFilterTest, KeepsThePriorHandlerAndFilteredAndHooksOnce) {
  const TFilterRecordEvent notTwo = [](TDataSet* D, bool& Accept) {
    Accept = D->FieldByName("ID")->AsInteger() != 2;
  };
  const std::tuple<bool, bool, const char*> cases[] = {
      {false, false, "1 2 3 4 5 6 "}, {true, false, "1 2 3 4 5 6 "}, {true, true, "1 3 4 5 6 "}};
  for (const auto& [handler, filtered, after] : cases) {
    SCOPED_TRACE(std::to_string(handler) + std::to_string(filtered));
    dataSet->OnFilterRecord = handler ? notTwo : nullptr;
    dataSet->SetFiltered(filtered);
    grid->ApplySearchFilter("ab");
    EXPECT_EQ(Ids(dataSet), handler ? "1 4 6 " : "1 2 4 6 ");
    grid->ApplySearchFilter("c");
    EXPECT_EQ(Ids(dataSet), handler ? "4 " : "2 4 ");
    grid->CancelSearchFilter();
    EXPECT_EQ(std::make_tuple(Ids(dataSet), dataSet->Filtered(), dataSet->OnFilterRecord == notTwo),
              std::make_tuple(std::string(after), filtered, handler));
  }
}

TEST_F(SearchFilterTest, CancellingKeepsTheRecordOnItsScreenRow) {
  AddNumberedRows(60);
  for (const int id : {21, 41}) {
    grid->ApplySearchFilter("1");
    dataSet->Locate("ID", id, {});
    const int row = grid->DataLink()->ActiveRecord();
    grid->CancelSearchFilter();
    EXPECT_EQ(std::make_pair(dataSet->FieldByName("ID")->AsInteger(), grid->DataLink()->ActiveRecord()),
              std::make_pair(id, row));
  }
}

TEST_F(SearchFilterTest, ADataSetClosedOrReplacedAndAFreedGridLeaveNoFilter) {
  for (const std::string act : {"close", "replace", "unlink", "free-grid"}) {
    SCOPED_TRACE(act);
    grid->ApplySearchFilter("ab");
    if (act == "close") dataSet->Close(), dataSet->Open();
    if (act == "replace") source->SetDataSet(new TMemoryDataSet(form)), source->SetDataSet(dataSet);
    if (act == "unlink") grid->SetDataSource(nullptr), grid->SetDataSource(source);
    if (act == "free-grid") delete grid, grid = nullptr;
    EXPECT_EQ(std::make_pair(dataSet->OnFilterRecord == nullptr, dataSet->Filtered()),
              std::make_pair(true, false));
  }
}

TEST_F(SearchFilterTest, FiltersThroughTheDataInterfaceAndFreesCleanly) {
  auto* table = new TMemoryDataSetEh(form);
  table->FieldDefs()->Assign(dataSet->FieldDefs());
  table->CreateDataSet();
  for (int id = 1; id <= 6; ++id)
    dataSet->SetRecNo(id), table->AppendRecord({id, dataSet->FieldByName("NAME")->Value()});
  source->SetDataSet(table);
  ASSERT_NE(grid->DataIntf(), nullptr);
  grid->ApplySearchFilter("ab");
  EXPECT_EQ(std::make_tuple(Ids(table), table->Filtered(), table->OnFilterRecord == nullptr),
            std::make_tuple(std::string("1 2 4 6 "), false, true));
  table->SetRecNo(1), grid->SelectedRows()->SetCurrentRowSelected(true);
  grid->ApplySearchFilter("b");  // the interface gives the bookmarks of the record selection
  EXPECT_EQ(Ids(table), "1 ");
  grid->CancelSearchFilter();
  EXPECT_EQ(Ids(table), "1 2 3 4 5 6 ");
  // Under ASan: freeing the data set, then the grid, reaches nothing freed.
  grid->ApplySearchFilter("ab");
  delete table;
  source->SetDataSet(dataSet);
  grid->ApplySearchFilter("ab");
  delete dataSet;
  delete grid;
  grid = nullptr;
}

TEST_F(SearchFilterTest, ALookupTextLeavesTheLookupDataSetWhereItIs) {
  auto* cities = new TMemoryDataSet(form);
  cities->FieldDefs()->Add("Code", ftInteger), cities->FieldDefs()->Add("City", ftString, 20);
  cities->CreateDataSet(), cities->AppendRecord({1, "Abby"}), cities->AppendRecord({2, "Zed"});
  auto* items = new TMemoryDataSet(form);
  items->FieldDefs()->Add("ID", ftInteger), items->FieldDefs()->Items(0)->CreateField(items);
  TField* city = CreateFieldForType(ftString, items);
  city->SetFieldName("CITY"), city->SetFieldKind(fkLookup), city->SetKeyFields("ID"), city->SetDataSet(items);
  city->SetLookupDataSet(cities), city->SetLookupKeyFields("Code"), city->SetLookupResultField("City");
  items->CreateDataSet(), items->AppendRecord({2}), items->AppendRecord({1});
  source->SetDataSet(items);
  grid->Columns()->GetColumn(1)->SetFieldName("CITY");
  cities->SetRecNo(2), cities->Edit(), cities->FieldByName("City")->SetAsString("Zab");  // not posted
  grid->ApplySearchFilter("ab");
  EXPECT_EQ(
      std::make_tuple(Ids(items), cities->State(), cities->RecNo(), cities->FieldByName("City")->AsString()),
      std::make_tuple(std::string("1 "), dsEdit, 2, std::string("Zab")));
}

// A picture's column shows a placeholder text ("(GRAPHIC)", "(graphic)" when empty) that the
// searches do not look into: the search filter finds no record by it, in the visible columns or
// in a selection of that column, and the searching strip marks no hit in it.
TEST_F(SearchFilterTest, APicturesPlaceholderNeitherFindsNorMarksARecord) {
  auto* receipts = new TMemoryDataSet(form);
  receipts->FieldDefs()->Add("ID", ftInteger), receipts->FieldDefs()->Add("NAME", ftString, 20);
  receipts->FieldDefs()->Add("PIC", ftGraphic);
  receipts->CreateDataSet();
  receipts->AppendRecord({1, "Graphs", std::string("BM")});
  receipts->AppendRecord({2, "x", std::string("BM")});
  receipts->AppendRecord({3, "y", Variant::Null()});
  source->SetDataSet(receipts);
  TColumnEh* picture = grid->Columns()->Add();
  picture->SetFieldName("PIC");
  receipts->First();
  Pump();
  ASSERT_EQ(picture->GetDisplayText(), "(GRAPHIC)");
  const std::tuple<bool, const char*, const char*> cases[] = {
      {false, "graph", "1 "}, {false, "(", ""}, {true, "graph", ""}, {true, "ic", ""}};
  for (const auto& [pictureSelected, text, want] : cases) {
    SCOPED_TRACE(std::string(pictureSelected ? "the picture column: " : "") + text);
    grid->Selection()->Clear();
    if (pictureSelected) grid->Selection()->Columns()->Select(picture, false);
    grid->ApplySearchFilter(text);
    EXPECT_EQ(Ids(receipts), want);
    grid->CancelSearchFilter();
  }
  // Searching for "GRA" marks it in the name, not in the placeholder.
  grid->Selection()->Clear();
  grid->SearchPanel()->SetEnabled(true);
  grid->SearchPanel()->SetLocation(splExternal);
  grid->SearchPanel()->SetSearchingText("GRA");
  grid->SetSearchMode(true);
  receipts->First();
  TCellPaintEh paint;
  const auto marked = [&](int Column) {
    const int col = Column + grid->IndicatorOffset();
    paint.Record(grid, col, grid->Row(), [&](int AreaCol, int AreaRow, TCellAreaTypeEh Type, const TRect& R) {
      grid->DrawDataAreaCell(col, grid->Row(), AreaCol, AreaRow, Type, R, {});
    });
    int yellow = 0;
    for (int y = paint.cell.Top; y < paint.cell.Bottom; ++y)
      for (int x = paint.cell.Left; x < paint.cell.Right; ++x)
        yellow += paint.Pixel(x, y) == RGB(255, 255, 0);
    return yellow > 0;
  };
  EXPECT_EQ(std::make_pair(marked(1), marked(2)), std::make_pair(true, false));
  grid->SetSearchMode(false);
}

// The filter row's Filter text and the search's Filtered share the data set: a cleared row
// takes its text off (a later search shows no trace of it), a row cleared while searching
// leaves the search on, a row applied while searching stays in force, and a text the program
// set stays as it was (Filtered goes back to what it was before the search). Steps: F the row's NAME = 'zzz'
// applied, C the row cleared as its "clear" entry does, S a search for "ab", X the search cancelled, P the
// program's Filter "ID > 3" set, Q the same put in force. After each step: the IDs in view, Filtered, and
// whose Filter text stands ("row", "prog" or none).
TEST_F(SearchFilterTest, TheFilterRowAndTheSearchShareFilteredWithoutReviving) {
  const std::pair<const char*, std::vector<const char*>> cases[] = {
      {"FCS", {"3 /+/row", "1 2 3 4 5 6 /-/", "1 2 4 6 /+/"}},
      {"FSCX", {"3 /+/row", "/+/row", "1 2 4 6 /+/", "1 2 3 4 5 6 /+/"}},  // Filtered as before S
      {"SFX", {"1 2 4 6 /+/", "/+/row", "3 /+/row"}},
      {"PSX", {"1 2 3 4 5 6 /-/prog", "1 2 4 6 /+/", "1 2 3 4 5 6 /-/prog"}},
      {"QC", {"4 5 6 /+/prog", "1 2 3 4 5 6 /-/prog"}},
  };
  TSTColumnFilterEh* name = grid->Columns()->GetColumn(1)->STFilter();
  for (const auto& [steps, states] : cases) {
    SCOPED_TRACE(steps);
    for (size_t i = 0; steps[i]; ++i) {
      switch (steps[i]) {
        case 'F':
          name->SetExpressionStr("=zzz"), grid->ApplyFilter();
          break;
        case 'C':
          grid->ClearFilter(), grid->ApplyFilter();
          break;
        case 'S':
          grid->ApplySearchFilter("ab");
          break;
        case 'X':
          grid->CancelSearchFilter();
          break;
        case 'P':
        case 'Q':
          dataSet->SetFilter("ID > 3"), dataSet->SetFiltered(steps[i] == 'Q');
          break;
      }
      const std::string filter = dataSet->Filter();
      const std::string owner = filter.empty() ? "" : filter == "ID > 3" ? "prog" : "row";
      EXPECT_EQ(Ids(dataSet) + "/" + (dataSet->Filtered() ? "+" : "-") + "/" + owner, states.at(i)) << i;
    }
    grid->CancelSearchFilter();
    grid->ClearFilter(), grid->ApplyFilter();
    dataSet->SetFiltered(false), dataSet->SetFilter("");
  }
}
