// TMemoryDataSetEh: instant reading, the update bracket, and the record notices each change
// sends, in order, before the data links hear of it.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "grid/data/MemoryDataSetEh.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Interfaces.h"

namespace memory_data_set_eh_test {

struct FreeComponent {
  void operator()(TComponent* c) const { c->Free(); }
};
using DataSetPtr = std::unique_ptr<TMemoryDataSetEh, FreeComponent>;
using Log = std::vector<std::string>;

// ID, Name, Amount and a calculated Double (= Amount * 2); records (1, E, 10) .. (5, A, 50).
DataSetPtr NewData() {
  DataSetPtr ds(new TMemoryDataSetEh(nullptr));
  ds->SetName("Data");
  for (TFieldDef* def : {ds->FieldDefs()->Add("ID", ftInteger), ds->FieldDefs()->Add("Name", ftString, 10),
                         ds->FieldDefs()->Add("Amount", ftFloat)})
    def->CreateField(ds.get());
  TField* twice = CreateFieldForType(ftFloat, ds.get());
  twice->SetFieldName("Double");
  twice->SetFieldKind(fkCalculated);
  twice->SetDataSet(ds.get());
  ds->OnCalcFields = [](TDataSet* d) {
    d->FieldByName("Double")->SetAsFloat(d->FieldByName("Amount")->AsFloat() * 2);
  };
  ds->CreateDataSet();
  const char* names[] = {"E", "D", "C", "B", "A"};
  for (int i = 1; i <= 5; ++i) ds->AppendRecord({i, names[i - 1], i * 10.0});
  ds->First();
  return ds;
}

std::string Name(TDataSet& ds) {
  return ds.FieldByName("Name")->AsString();
}

// Logs each notice; an inserted or changed record is read at once through instant reading,
// so the log shows that the data set had settled.
struct TLogReceiver : IMemTableEventReceiverEh {
  TLogReceiver(TMemoryDataSetEh* DataSet, Log* L) : ds(DataSet), log(L) {}
  TMemoryDataSetEh* ds;
  Log* log;
  std::function<void()> OnNotice;
  void MemTableRecordsChanged(TMemTableChangeKindEh Kind, int RecIndex) override {
    const char* kinds[] = {"ins ", "del ", "chg ", "reload "};
    std::string entry = kinds[static_cast<int>(Kind)];
    entry += std::to_string(Kind == mtcDataReloaded ? ds->GetRowCount() : RecIndex);
    if (Kind == mtcRecordInserted || Kind == mtcRecordChanged) {
      ds->InstantReadEnter(RecIndex);
      entry += " " + Name(*ds);
      ds->InstantReadLeave();
    }
    log->push_back(entry);
    if (OnNotice) OnNotice();
  }
};

// Logs "link" when the data link hears that the data set changed.
struct Watched : TDataLink {
  DataSetPtr ds = NewData();
  Log log;
  TLogReceiver receiver{ds.get(), &log};
  TLogReceiver second{ds.get(), &log};  // registered by a case that wants it
  std::unique_ptr<TDataSource> source{new TDataSource(nullptr)};
  Watched() {
    source->SetDataSet(ds.get());
    SetDataSource(source.get());
    ds->RegisterEventReceiver(&receiver);
    ds->RegisterEventReceiver(&receiver);  // told once all the same
  }
  ~Watched() {
    SetDataSource(nullptr);
    ds->UnregisterEventReceiver(&receiver);
  }
  void DataSetChanged() override { log.push_back("link"); }
  void DataSetScrolled(int) override {}
};

TEST(MemoryDataSetEh, InstantReadingLeavesTheCursorAlone) {
  TClass cls = FindClass("TMemoryDataSetEh");  // registered for streaming
  ASSERT_EQ(cls, TMemoryDataSetEh::StaticClass());
  EXPECT_NE(DataSetPtr(dynamic_cast<TMemoryDataSetEh*>(cls->Create(nullptr))), nullptr);

  DataSetPtr ds = NewData();
  ds->SetRecNo(2);  // D
  int scrolls = 0;
  ds->AfterScroll = [&scrolls](TDataSet*) { ++scrolls; };
  IMemTableEh* table = Supports<IMemTableEh>(static_cast<TObject*>(ds.get()));
  ASSERT_EQ(table, static_cast<IMemTableEh*>(ds.get()));
  EXPECT_EQ(table->GetRowIndex(), 1);
  table->InstantReadEnter(4);
  EXPECT_EQ(ds->FieldByName("Double")->AsFloat(), 100.0);
  EXPECT_EQ(table->GetNextTreeNodeLevel(), -1);  // the last record
  const TBookmark atA = table->GetPositionedBookmark();
  table->InstantReadEnter(0);
  EXPECT_EQ(Name(*ds), "E");
  EXPECT_EQ(table->GetRowIndex(), 0);
  EXPECT_TRUE(table->GetTreeNodeHasNextSibling(1));
  table->InstantReadLeave();
  EXPECT_EQ(Name(*ds), "A");
  EXPECT_EQ(table->GetRowIndex(), 4);
  table->InstantReadLeave();
  table->InstantReadLeave();  // unbalanced: nothing to end
  EXPECT_EQ(Name(*ds), "D");
  EXPECT_EQ(ds->RecNo(), 2);
  EXPECT_EQ(scrolls, 0);
  table->GotoBookmarkEh(atA);
  EXPECT_EQ(Name(*ds), "A");

  // The record being edited reads its unposted values.
  ds->Edit();
  ds->FieldByName("Amount")->SetAsFloat(7);
  table->InstantReadEnter(4);
  EXPECT_EQ(ds->FieldByName("Double")->AsFloat(), 14.0);
  table->InstantReadLeave();
  ds->Cancel();
  EXPECT_THROW(table->InstantReadEnter(5), EDatabaseError);
  EXPECT_EQ(table->GetRowIndex(), 4);  // the failed enter left no reading behind
  ds->Close();
  EXPECT_EQ(table->GetRowCount(), 0);
  EXPECT_EQ(table->GetCurrentRecordIndex(), -1);
}

using Step = std::function<void(Watched&)>;
// clang-format off
#define STEP(...) Step([=](Watched& w) { [[maybe_unused]] TMemoryDataSetEh& ds = *w.ds; __VA_ARGS__; })
// clang-format on

// Every change tells the receivers, in this order, before the data link hears it; the update
// bracket holds the notices back and ends in one reload if anything changed inside.
TEST(MemoryDataSetEh, EachChangeSendsItsNotices) {
  auto set = [](const char* field, Variant value) { return STEP(ds.FieldByName(field)->SetValue(value)); };
  auto recNo = [](int n) { return STEP(ds.SetRecNo(n)); };
  auto sort = [](const char* names) { return STEP(ds.SetIndexFieldNames(names)); };
  auto filter = [](const char* text) { return STEP(ds.SetFilter(text)); };
  const Step on = STEP(ds.SetFiltered(true)), edit = STEP(ds.Edit()), insert = STEP(ds.Insert());
  const Step append = STEP(ds.Append()), post = STEP(ds.Post()), close = STEP(ds.Close());
  const Step begin = STEP(ds.BeginUpdate()), end = STEP(ds.EndUpdate()),
             unlink = STEP(w.SetDataSource(nullptr));
  static TMemTableFilterItemEh item = 0;
  const Step add = STEP(item = ds.AddFilterItem([](TDataSet* d, bool& accept) {
    accept = d->FieldByName("Amount")->AsFloat() > 20;
  }));
  const Step apply = STEP(ds.ApplyFilterItems());
  const Step remove = STEP(ds.RemoveFilterItem(item); ds.RemoveFilterItem(12345));  // unknown: nothing
  const Step bracket = STEP(ds.BeginUpdate(); ds.AppendRecord({6, "F", 60.0}); ds.BeginUpdate(); ds.Delete();
                            ds.EndUpdate(); ds.SetIndexFieldNames("Name"); EXPECT_EQ(ds.UpdateCount(), 1);
                            ds.EndUpdate(); ds.EndUpdate();  // unbalanced: nothing
                            EXPECT_EQ(ds.UpdateCount(), 0));
  const Step under45 = STEP(ds.SetFilter("Amount < 45"); ds.SetFiltered(true));
  const Step moveAndEdit =
      STEP(ds.Last(); ds.First(); ds.Edit(); ds.FieldByName("Name")->SetAsString("Y"); ds.Post());
  const Step delAtFirst = STEP(ds.Delete(); EXPECT_EQ(ds.RecNo(), 1));  // where the receiver left it
  const Step second = STEP(ds.RegisterEventReceiver(&w.second));
  const Step drop = STEP(ds.UnregisterEventReceiver(&w.second); ds.UnregisterEventReceiver(&w.receiver);
                         ds.UnregisterEventReceiver(&w.receiver));  // unknown by now: nothing
  struct Case {
    const char* id;
    std::vector<Step> prepare;  // not logged
    Step act;
    Log notices;
    int count;                         // the record count afterwards
    std::vector<Step> whileTold = {};  // done by the receiver when first told
  };
  const Case cases[] = {
      {"insert", {recNo(3), insert, set("Name", "X")}, post, {"ins 2 X", "link"}, 6},
      {"append", {append, set("Name", "X")}, post, {"ins 5 X", "link"}, 6},
      {"edit-in-place", {recNo(3), edit, set("Amount", 99.0)}, post, {"chg 2 C", "link"}, 5},
      {"edit-moves", {sort("Name"), recNo(1), edit, set("Name", "Z")}, post, {"del 0", "ins 4 Z", "link"}, 5},
      {"edit-leaves-filter", {under45, recNo(2), edit, set("Amount", 100.0)}, post, {"del 1", "link"}, 3},
      {"insert-outside-filter", {under45, append, set("Amount", 100.0)}, post, {"link"}, 4},
      {"cancel", {edit, set("Amount", 1.0)}, STEP(ds.Cancel()), {"link"}, 5},
      {"scroll", {}, STEP(ds.MoveBy(3)), {}, 5},
      {"delete", {recNo(3)}, STEP(ds.Delete()), {"del 2", "link"}, 4},
      {"empty", {}, STEP(ds.EmptyDataSet()), {"reload 0", "link"}, 0},
      {"load", {}, STEP(ds.LoadFromRows({{7, "Q", 1.0}})), {"reload 6", "link"}, 6},
      {"sort", {}, sort("Name"), {"reload 5", "link"}, 5},
      {"sort-case", {sort("Name")}, STEP(ds.SetSortCaseSensitive(true)), {"reload 5", "link"}, 5},
      {"filter-text", {on}, filter("Amount > 20"), {"reload 3", "link"}, 3},
      {"filter-on", {filter("Amount > 20")}, on, {"reload 3", "link"}, 3},
      {"item-add", {}, add, {}, 5},
      {"item-apply", {add}, apply, {"reload 3", "link"}, 3},
      {"item-and-filter", {under45, add}, apply, {"reload 2", "link"}, 2},
      {"insert-outside-item", {add, apply, append, set("Amount", 5.0)}, post, {"link"}, 3},
      {"edit-into-item", {add, apply, edit, set("Amount", 1.0)}, post, {"del 0", "link"}, 2},
      {"item-remove", {add, apply}, remove, {}, 3},
      {"item-remove-apply", {add, apply, remove}, apply, {"reload 5", "link"}, 5},
      {"refresh", {}, STEP(ds.Refresh()), {"reload 5", "link"}, 5},
      {"close", {}, close, {"reload 0"}, 0},
      {"open", {close}, STEP(ds.Open()), {"reload 0"}, 0},
      {"bracket", {unlink}, bracket, {"reload 5"}, 5},
      {"bracket-unchanged", {unlink}, STEP(ds.BeginUpdate(); ds.Next(); ds.EndUpdate()), {}, 5},
      {"after-bracket", {unlink, begin, end, end, recNo(2), edit, set("Amount", 1.0)}, post, {"chg 1 D"}, 5},
      // A receiver may unregister itself and others while told; the one dropped is not told.
      {"drop-while-told", {second}, STEP(ds.Delete(); ds.Delete()), {"del 0", "link", "link"}, 3, {drop}},
      // Moving and editing while told: the edit's notice goes out once, after the one told.
      {"edit-while-told", {unlink, recNo(3)}, delAtFirst, {"del 2", "chg 0 Y"}, 4, {moveAndEdit}},
      // Closing while told: the reload is heard after the notice.
      {"close-while-told", {unlink, edit, set("Name", "W")}, post, {"chg 0 W", "reload 0"}, 0, {close}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    Watched w;
    for (const Step& step : c.prepare) step(w);
    w.receiver.OnNotice = [&w, told = c.whileTold]() mutable {
      for (const Step& step : std::exchange(told, {})) step(w);  // once
    };
    w.log.clear();
    c.act(w);
    EXPECT_EQ(w.log, c.notices);
    EXPECT_EQ(w.ds->GetRowCount(), c.count);
  }
}

}  // namespace memory_data_set_eh_test
