#include <gtest/gtest.h>

#include <memory>

#include "grid/data/FieldValueListEh.h"
#include "platform/db/Fields.h"
#include "platform/db/FilterExpression.h"
#include "platform/db/MemoryDataSet.h"

namespace {

class FieldValueListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ds = std::make_unique<TMemoryDataSet>(nullptr);
    ds->FieldDefs()->Add("N", ftInteger);
    ds->FieldDefs()->Add("S", ftString, 10);
    ds->LoadFromRows({{Variant(10), Variant("pear")},
                      {Variant(9), Variant("apple")},
                      {Variant(10), Variant("pear")},
                      {Variant(), Variant("fig")},
                      {Variant(100), Variant()}});
    src = std::make_unique<TDataSource>(nullptr);
    src->SetDataSet(ds.get());
    impl = new TDatasetFieldValueListEh();
    holder = TInterfacePtr<IMemTableDataFieldValueListEh>(impl);
  }
  std::string Text() {
    std::string s;
    TStrings* v = holder->GetValues();
    for (int i = 0; i < v->Count(); ++i) s += (i ? "," : "") + v->Strings(i);
    return s;
  }
  std::unique_ptr<TMemoryDataSet> ds;
  std::unique_ptr<TDataSource> src;
  TDatasetFieldValueListEh* impl = nullptr;
  TInterfacePtr<IMemTableDataFieldValueListEh> holder;
};

TEST_F(FieldValueListTest, DistinctValuesInValueOrderWithoutNulls) {
  EXPECT_EQ(Text(), "");  // no source yet
  impl->SetDataSource(src.get());
  impl->SetFieldName("N");
  EXPECT_EQ(Text(), "9,10,100");  // by value, not by text
  impl->SetFieldName("S");
  EXPECT_EQ(Text(), "apple,fig,pear");
  impl->SetFieldName("Missing");
  EXPECT_EQ(Text(), "");
}

TEST_F(FieldValueListTest, RebuiltOnlyAfterAChange) {
  impl->SetDataSource(src.get());
  impl->SetFieldName("S");
  ds->SetRecNo(2);
  EXPECT_EQ(Text(), "apple,fig,pear");
  EXPECT_EQ(ds->RecNo(), 2);  // the walk returns to the record it started on
  const int builds = impl->BuildCount();
  ds->Next();
  EXPECT_EQ(Text(), "apple,fig,pear");
  EXPECT_EQ(impl->BuildCount(), builds);  // scrolling is no change
  ds->Append();
  ds->FieldByName("S")->SetAsString("kiwi");
  ds->Post();
  EXPECT_EQ(Text(), "apple,fig,kiwi,pear");
  ds->Close();
  EXPECT_EQ(Text(), "");
}

TEST_F(FieldValueListTest, RebuildThatFailsMidwayReenablesControlsAndTriesAgain) {
  impl->SetDataSource(src.get());
  impl->SetFieldName("S");
  int scrolls = 0;
  ds->AfterScroll = [&](TDataSet*) {
    if (++scrolls == 2) throw Exception("refused");
  };
  EXPECT_THROW(Text(), Exception);
  ds->AfterScroll = TDataSetNotifyEvent();
  EXPECT_FALSE(ds->ControlsDisabled());
  EXPECT_EQ(Text(), "apple,fig,pear");
}

TEST_F(FieldValueListTest, FilterKeepsTheValuesOfPassingRecordsAndLeavesTheDataSetAlone) {
  impl->SetDataSource(src.get());
  struct Case {
    const char* Field;
    const char* DataSetFilter;  // "" = the data set unfiltered
    const char* Text;
    const char* Values;
  };
  const Case cases[] = {
      {"S", "", "", "apple,fig,pear"},
      {"S", "", "[N] >= 10", "pear"},  // the Null S of N = 100 is no value
      {"S", "", "[N] IS NULL", "fig"},
      {"S", "", "[S] Like 'p%' OR [N] < 10", "apple,pear"},
      {"S", "", "Not ([s] Like '%e%')", "fig"},  // names ignore case
      {"N", "", "[S] = 'pear'", "10"},
      {"N", "", "[S] = 'plum'", ""},
      {"N", "[N] <> 9", "", "10,100"},  // only the records the data set shows
      {"N", "[N] <> 9", "[S] IS NOT NULL", "10"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Field) + " / " + c.DataSetFilter + " / " + c.Text);
    ds->SetFilter(c.DataSetFilter);
    ds->SetFiltered(*c.DataSetFilter != 0);
    ds->First();
    ds->Next();
    const int recNo = ds->RecNo();
    impl->SetFieldName(c.Field);
    impl->SetFilter(c.Text);
    EXPECT_EQ(impl->Filter(), c.Text);
    EXPECT_EQ(Text(), c.Values);
    EXPECT_EQ(ds->Filter(), c.DataSetFilter);
    EXPECT_EQ(ds->Filtered(), *c.DataSetFilter != 0);
    EXPECT_EQ(ds->RecNo(), recNo);
  }
}

TEST_F(FieldValueListTest, FilterTextThatCannotBeReadRaisesAndLeavesTheListAsItWas) {
  impl->SetDataSource(src.get());
  impl->SetFieldName("S");
  impl->SetFilter("[N] = 10");
  ASSERT_EQ(Text(), "pear");
  const int builds = impl->BuildCount();
  const std::pair<const char*, const char*> cases[] = {
      {"[N] >> 3", ""}, {"[Missing] = 1", "Missing"}, {"[N] = ", ""}};
  for (const auto& [text, unknownField] : cases) {
    SCOPED_TRACE(text);
    try {
      holder->SetFilter(text);
      ADD_FAILURE() << "no error";
    } catch (const EFilterExpressionError& e) {
      EXPECT_EQ(e.UnknownField, unknownField);
    }
    EXPECT_EQ(impl->Filter(), "[N] = 10");
    EXPECT_EQ(Text(), "pear");
    EXPECT_EQ(impl->BuildCount(), builds);
  }
  // Without a data set the text is read when the values are built.
  impl->SetDataSource(nullptr);
  holder->SetFilter("[N] >> 3");
  impl->SetDataSource(src.get());
  EXPECT_THROW(Text(), EFilterExpressionError);
  holder->SetFilter("");
  EXPECT_EQ(Text(), "apple,fig,pear");
}

}  // namespace
