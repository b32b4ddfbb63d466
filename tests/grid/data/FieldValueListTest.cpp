#include <gtest/gtest.h>

#include <memory>

#include "grid/data/FieldValueListEh.h"
#include "platform/db/Fields.h"
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

}  // namespace
