// The selection aggregator: sum, count, average, minimum and maximum of the first selected
// column of a rectangle or a column selection.
#include <string>
#include <tuple>

#include "platform/rtl/DateTime.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

// Every data event that reaches a data link of the grid's source.
class TEventCountingLink : public TDataLink {
 public:
  void DataEvent(TDataEvent Event, intptr_t Info) override {
    ++events;
    TDataLink::DataEvent(Event, Info);
  }
  int events = 0;
};

class SelectionAggregatesTest : public DBGridTestBase {
 protected:
  void SetUp() override {
    DBGridTestBase::SetUp();
    // Two more kinds of value: a date and an exact decimal.
    dataSet->Close();
    dataSet->FieldDefs()->Add("PAIDON", ftDate);
    dataSet->FieldDefs()->Add("FEE", ftBCD, 4);
    dataSet->CreateDataSet();
    AddColumns({"ID", "NAME", "AMOUNT", "PAID", "PAIDON", "FEE"});
    // Record 3 has no AMOUNT and no PAIDON.
    const std::tuple<const char*, double, int, const char*> rows[] = {{"pear", 2.5, 12, "0.1"},
                                                                      {"apple", -1.25, 3, "0.2"},
                                                                      {"fig", 0, 0, "0.3"},
                                                                      {"kiwi", 10, 28, "-1.5"},
                                                                      {"", 0.75, 5, "2"}};
    int id = 0;
    for (const auto& [name, amount, day, fee] : rows) {
      dataSet->AppendRecord({++id, name, id == 3 ? Null() : Variant(amount), id % 2 != 0,
                             id == 3 ? Null() : Variant::FromDate(EncodeDate(2024, 3, day)), fee});
    }
    dataSet->First();
    Pump();
  }
  TBookmark BookmarkAt(int RecNo) {
    dataSet->SetRecNo(RecNo);
    return dataSet->Bookmark();
  }
  // The five values as "Sum|Count|Avg|Min|Max", "-" for an empty one.
  std::string Aggregates() {
    Variant v[5];
    grid->SelectionAggregates(v[0], v[1], v[2], v[3], v[4]);
    std::string out;
    for (const Variant& x : v)
      out += (out.empty() ? "" : "|") + (x.IsEmpty() ? std::string("-") : VarToStr(x));
    return out;
  }
};

// The records are read where they stand: the cursor stays and no data event reaches a control,
// so nothing is invalidated; a record in edit answers nothing rather than being posted.
TEST_F(SelectionAggregatesTest, FirstSelectedColumnReadWithoutMovingAnything) {
  enum TKind { kRect, kRectInEdit, kCols, kRows, kNone };
  // clang-format off
  const struct { const char* Name; TKind Kind; int Col1, Row1, Col2, Row2; const char* Hidden; const char* Filter;
                 const char* Expected; } cases[] = {
      {"numbers with a Null",    kRect, 2, 2, 3, 4, "",     "",       "8.75|2|4.375|-1.25|10"},
      {"corners either way",     kRect, 3, 4, 2, 2, "",     "",       "8.75|2|4.375|-1.25|10"},
      {"texts count and compare", kRect, 1, 1, 2, 5, "",    "",       "-|5|-||pear"},
      {"hidden left column",     kRect, 1, 1, 2, 2, "NAME", "",       "1.25|2|0.625|-1.25|2.5"},
      {"only Nulls",             kRect, 2, 3, 4, 3, "",     "",       "-|0|-|-|-"},
      {"booleans",               kRect, 3, 1, 4, 2, "",     "",       "-|2|-|False|True"},
      {"dates",                  kRect, 4, 1, 5, 5, "",     "",       "-|4|-|2024-03-03|2024-03-28"},
      {"in edit",          kRectInEdit, 2, 1, 3, 4, "",     "",       "-|-|-|-|-"},
      {"integers, columns",      kCols, 0, 0, 2, 0, "",     "",       "15|5|3|1|5"},
      {"exact decimals",         kCols, 5, 0, 5, 0, "",     "",       "1.1|5|0.22|-1.5|2"},
      {"floats, in view only",   kCols, 2, 0, 2, 0, "",     "ID > 2", "10.75|2|5.375|0.75|10"},
      {"selected rows",          kRows, 0, 1, 0, 2, "",     "",       "-|-|-|-|-"},
      {"nothing selected",       kNone, 0, 0, 0, 0, "",     "",       "-|-|-|-|-"},
  };
  // clang-format on
  TEventCountingLink link;
  link.SetDataSource(source);
  int scrolls = 0;
  dataSet->AfterScroll = [&](TDataSet*) { ++scrolls; };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    grid->Selection()->Clear();
    for (int i = 0; i < grid->Columns()->Count(); ++i)
      grid->Columns()->GetColumn(i)->SetVisible(grid->Columns()->GetColumn(i)->FieldName() != c.Hidden);
    dataSet->SetFilter(c.Filter);
    dataSet->SetFiltered(*c.Filter != 0);
    if (c.Kind == kRect || c.Kind == kRectInEdit) {
      grid->Selection()->Rect()->Select(c.Col1, BookmarkAt(c.Row1), false);
      grid->Selection()->Rect()->Select(c.Col2, BookmarkAt(c.Row2), true);
    } else if (c.Kind == kCols) {
      grid->Selection()->Columns()->Select(grid->Columns()->GetColumn(c.Col2), false);
      grid->Selection()->Columns()->Select(grid->Columns()->GetColumn(c.Col1), true);
    } else if (c.Kind == kRows) {
      grid->SelectedRows()->SetCurrentRowSelected(true);
    }
    dataSet->Last();
    if (c.Kind == kRectInEdit) dataSet->Edit();
    const int recNo = dataSet->RecNo();
    Pump();
    link.events = scrolls = 0;
    EXPECT_EQ(Aggregates(), c.Expected);
    RECT dirty{};
    EXPECT_EQ(std::make_tuple(dataSet->RecNo(), dataSet->State(), link.events, scrolls,
                              GetUpdateRect(grid->Handle(), &dirty, FALSE)),
              std::make_tuple(recNo, c.Kind == kRectInEdit ? dsEdit : dsBrowse, 0, 0, FALSE));
    dataSet->Cancel();
  }
}

}  // namespace
