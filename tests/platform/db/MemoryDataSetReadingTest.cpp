// TMemoryDataSet: reading a record without moving the cursor (BeginRecordReading), and the
// record tests a descendant applies with the filter.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/db/MemoryDataSet.h"

namespace memory_data_set_reading_test {

struct FreeComponent {
  void operator()(TComponent* c) const { c->Free(); }
};

// A descendant whose record test is a function of the data set (empty: no test).
class TTestedDataSet : public TMemoryDataSet {
 public:
  using TMemoryDataSet::TMemoryDataSet;
  std::function<bool(TDataSet&)> Test;
  int Tested = 0;

 protected:
  bool HasExtraRecordTests() const override { return static_cast<bool>(Test); }
  bool AcceptsExtraRecordTests() override {
    ++Tested;
    return Test(*this);
  }
};

using DataSetPtr = std::unique_ptr<TTestedDataSet, FreeComponent>;

// Name, Age and a calculated Twice (= Age * 2); sorted by Name descending so that places
// differ from the order the records were added in.
DataSetPtr NewPeople(int* calcCount = nullptr) {
  DataSetPtr ds(new TTestedDataSet(nullptr));
  ds->SetName("People");
  ds->FieldDefs()->Add("Name", ftString, 20);
  ds->FieldDefs()->Add("Age", ftInteger);
  for (int i = 0; i < ds->FieldDefs()->Count(); ++i) ds->FieldDefs()->Items(i)->CreateField(ds.get());
  TField* twice = CreateFieldForType(ftInteger, ds.get());
  twice->SetFieldName("Twice");
  twice->SetFieldKind(fkCalculated);
  twice->SetDataSet(ds.get());
  ds->OnCalcFields = [calcCount](TDataSet* d) {
    if (calcCount) ++*calcCount;
    d->FieldByName("Twice")->SetAsInteger(d->FieldByName("Age")->AsInteger() * 2);
  };
  ds->CreateDataSet();
  for (auto [name, age] : {std::pair{"Ann", 20}, {"Bob", 30}, {"Cid", 40}, {"Dee", 50}})
    ds->AppendRecord({name, age});
  ds->SetIndexFieldNames("Name DESC");  // Dee, Cid, Bob, Ann
  return ds;
}

std::string Name(TDataSet& ds) {
  return ds.FieldByName("Name")->AsString();
}

int Twice(TDataSet& ds) {
  return ds.FieldByName("Twice")->AsInteger();
}

// Browse: another record reads in place, calculated for it, the cursor stays. Edit and
// insert: the record being edited reads its buffer at its own place (a reading without a
// buffer of its own, nested with ones that have one), and refuses writes while another is read.
TEST(MemoryDataSetReading, ReadsAnyRecordWithoutMovingAndNests) {
  int calcs = 0;
  DataSetPtr ds = NewPeople(&calcs);
  ds->SetSequenced(false);  // places do not depend on RecNo
  int scrolls = 0;
  ds->AfterScroll = [&scrolls](TDataSet*) { ++scrolls; };
  ds->MoveBy(1);  // Cid, place 1
  ds->Edit();
  ds->FieldByName("Age")->SetAsInteger(99);
  calcs = 0;
  ds->BeginRecordReading(3);
  EXPECT_EQ(Name(*ds), "Ann");
  EXPECT_EQ(Twice(*ds), 40);
  ds->BeginRecordReading(1);
  EXPECT_EQ(Twice(*ds), 198);  // unposted
  ds->BeginRecordReading(2);
  EXPECT_EQ(Name(*ds), "Bob");
  EXPECT_THROW(ds->FieldByName("Age")->SetAsInteger(1), EDatabaseError);
  ds->EndRecordReading();
  ds->FieldByName("Age")->SetAsInteger(98);  // the record being edited takes writes again
  EXPECT_EQ(ds->RecordReadingDepth(), 2);
  ds->EndRecordReading();
  EXPECT_EQ(Twice(*ds), 40);  // the outer reading answers again, not recalculated
  EXPECT_EQ(calcs, 3);        // Ann, Bob, and Cid's edit
  ds->EndRecordReading();
  EXPECT_EQ(Twice(*ds), 196);
  ds->Cancel();
  EXPECT_EQ(Name(*ds), "Cid");
  EXPECT_EQ(scrolls, 1);

  // An appended record reads at the place it will take, one past the stored ones.
  ds->Append();
  ds->FieldByName("Name")->SetAsString("Eve");
  ds->BeginRecordReading(4);
  EXPECT_EQ(Name(*ds), "Eve");
  ds->BeginRecordReading(0);
  EXPECT_EQ(Name(*ds), "Dee");
  EXPECT_THROW(ds->BeginRecordReading(5), EDatabaseError);
  ds->EndRecordReading();
  ds->EndRecordReading();
  ds->Cancel();
}

TEST(MemoryDataSetReading, BadIndexUnbalancedEndAndClose) {
  DataSetPtr ds = NewPeople();
  for (int bad : {-1, 4}) {
    try {
      ds->BeginRecordReading(bad);
      ADD_FAILURE() << "no error for " << bad;
    } catch (const EDatabaseError& e) {
      EXPECT_EQ(e.Message(), "People: Record index out of range");
    }
  }
  ds->EndRecordReading();  // without a beginning: nothing
  EXPECT_EQ(ds->RecordReadingDepth(), 0);
  EXPECT_EQ(Name(*ds), "Dee");
  ds->BeginRecordReading(2);
  ds->BeginRecordReading(3);
  ds->Close();
  EXPECT_EQ(ds->RecordReadingDepth(), 0);
  ds->Open();
  ds->AppendRecord({"Zed", 1});
  EXPECT_EQ(Name(*ds), "Zed");  // no reading of the closed store lingers
}

// The descendant's record tests apply with the filter, also while Filtered is off; they
// read the record being tested, calculated fields included.
TEST(MemoryDataSetReading, ExtraRecordTestsApplyWithTheFilter) {
  struct Case {
    const char* id;
    bool filtered;
    const char* filter;
    bool event;  // OnFilterRecord refuses Bob
    std::vector<std::string> names;
    int testedOnPost;  // the text rejects first: the tests are not asked
  };
  const Case cases[] = {
      {"tests-alone", false, "", false, {"Dee", "Cid"}, 1},
      {"tests-ignore-unfiltered-text", false, "Age < 45", true, {"Dee", "Cid"}, 1},
      {"tests-and-text", true, "Age < 45", false, {"Cid"}, 1},
      {"tests-and-event", true, "", true, {"Dee", "Cid"}, 1},
      {"tests-text-and-event", true, "Twice > 50", true, {"Dee", "Cid"}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    DataSetPtr ds = NewPeople();
    ds->OnFilterRecord = [&c](TDataSet* d, bool& accept) {
      accept = !c.event || d->FieldByName("Name")->AsString() != "Bob";
    };
    ds->SetFilter(c.filter);
    ds->SetFiltered(c.filtered);
    ds->Test = [](TDataSet& d) {
      EXPECT_EQ(d.State(), dsFilter);
      return d.FieldByName("Twice")->AsInteger() > 70;
    };
    ds->Refresh();
    std::vector<std::string> names;
    for (ds->First(); !ds->Eof(); ds->Next()) names.push_back(Name(*ds));
    EXPECT_EQ(names, c.names);
    // A posted edit is tested too: Cid, made younger, leaves the view.
    ASSERT_TRUE(ds->Locate("Name", "Cid", {}));
    ds->Tested = 0;
    ds->Edit();
    ds->FieldByName("Age")->SetAsInteger(10);
    ds->Post();
    EXPECT_EQ(ds->Tested, c.testedOnPost);
    EXPECT_EQ(ds->RecordCount(), static_cast<int>(c.names.size()) - 1);
  }
}

// A scan with a condition of its own sees every record, in view or not, reads fields of the
// visited record (calculated ones too) and leaves the cursor, the filter and the order alone.
TEST(MemoryDataSetReading, ScanRecordsWhereReadsEveryRecordPassingTheCondition) {
  struct Case {
    const char* condition;
    std::vector<std::string> visited;  // "Name Twice", in the order added
  } const cases[] = {
      {"", {"Ann 40", "Bob 60", "Cid 80", "Dee 100"}},
      {"Age >= 30 AND Name <> 'Dee'", {"Bob 60", "Cid 80"}},
      {"Twice < 70", {"Ann 40", "Bob 60"}},  // a calculated field in the condition
  };
  DataSetPtr ds = NewPeople();
  ds->SetFilter("Age > 35");
  ds->SetFiltered(true);
  ASSERT_TRUE(ds->Locate("Name", "Cid", {}));
  int scrolls = 0;
  ds->AfterScroll = [&scrolls](TDataSet*) { ++scrolls; };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.condition);
    std::vector<std::string> visited;
    EXPECT_TRUE(ds->ScanRecordsWhere(c.condition, [&](const TStoredRecord& r) {
      EXPECT_EQ(r.Value(1).AsString(), Name(*ds));
      visited.push_back(Name(*ds) + " " + std::to_string(Twice(*ds)));
      return true;
    }));
    EXPECT_EQ(visited, c.visited);
    EXPECT_EQ(Name(*ds), "Cid");
    EXPECT_EQ(ds->RecordReadingDepth(), 0);
  }
  EXPECT_EQ(scrolls, 0);
  EXPECT_EQ(ds->RecordCount(), 2);
  int visits = 0;
  EXPECT_FALSE(ds->ScanRecordsWhere("", [&](const TStoredRecord&) { return ++visits < 2; }));
  EXPECT_EQ(visits, 2);
  EXPECT_THROW(ds->ScanRecordsWhere("Nope = 1", [](const TStoredRecord&) { return true; }), EDatabaseError);
  ds->Edit();  // the record in edit is not stored yet, and a descendant's tests: no scan
  EXPECT_FALSE(ds->ScanRecordsWhere("", [](const TStoredRecord&) { return true; }));
  ds->Cancel();
  ds->Test = [](TDataSet&) { return true; };
  EXPECT_FALSE(ds->ScanRecordsWhere("", [](const TStoredRecord&) { return true; }));
}

}  // namespace memory_data_set_reading_test
