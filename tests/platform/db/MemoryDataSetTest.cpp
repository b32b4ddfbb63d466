// TMemoryDataSet: navigation, bookmarks, editing, RecNo under sort and filter, Locate and
// Lookup, read-only and non-sequenced modes, the field types it stores, calculated and
// lookup fields, bulk loading.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/TextPool.h"
#include "tests/support/ConsistencyTestSupport.h"

namespace {

struct FreeComponent {
  void operator()(TComponent* c) const { c->Free(); }
};
using MemoryDataSetPtr = std::unique_ptr<TMemoryDataSet, FreeComponent>;

MemoryDataSetPtr NewPeople() {
  MemoryDataSetPtr ds(new TMemoryDataSet(nullptr));
  ds->SetName("People");
  ds->FieldDefs()->Add("ID", ftInteger);
  ds->FieldDefs()->Add("Name", ftString, 20);
  ds->FieldDefs()->Add("Amount", ftFloat);
  ds->CreateDataSet();
  return ds;
}

// IDs 1..n, names "N<id>", amounts id * 1.5.
void Fill(TMemoryDataSet& ds, int n) {
  for (int i = 1; i <= n; ++i) ds.AppendRecord({i, "N" + std::to_string(i), i * 1.5});
}

int Id(TDataSet& ds) {
  return ds.FieldByName("ID")->AsInteger();
}

std::vector<int> Ids(TDataSet& ds) {
  std::vector<int> r;
  TBookmark saved = ds.Bookmark();
  ds.DisableControls();
  for (ds.First(); !ds.Eof(); ds.Next()) r.push_back(Id(ds));
  ds.EnableControls();
  ds.SetBookmark(saved);
  return r;
}

class MemoryDataSetTest : public ::testing::Test {
 protected:
  MemoryDataSetPtr ds = NewPeople();
  TConsistencyWatch watch{ds.get()};  // checks the store after every change
};

TEST_F(MemoryDataSetTest, NavigatesWithBofEofAndDistances) {
  Fill(*ds, 5);
  ds->First();
  EXPECT_TRUE(ds->Bof());
  EXPECT_EQ(Id(*ds), 1);
  EXPECT_EQ(ds->MoveBy(3), 3);
  EXPECT_EQ(Id(*ds), 4);
  EXPECT_EQ(ds->MoveBy(10), 1);  // only one record left
  EXPECT_TRUE(ds->Eof());
  EXPECT_EQ(ds->MoveBy(-10), -4);
  EXPECT_TRUE(ds->Bof());
  ds->Last();
  EXPECT_TRUE(ds->Eof());
  EXPECT_EQ(Id(*ds), 5);
  EXPECT_EQ(ds->RecordCount(), 5);
  EXPECT_EQ(ds->RecNo(), 5);
  ds->SetRecNo(2);
  EXPECT_EQ(Id(*ds), 2);
  EXPECT_EQ(ds->RecNo(), 2);
  ds->SetRecNo(99);  // clamped
  EXPECT_EQ(Id(*ds), 5);
}

TEST_F(MemoryDataSetTest, EmptyDataSetIsBofAndEof) {
  EXPECT_TRUE(ds->IsEmpty());
  EXPECT_TRUE(ds->Bof());
  EXPECT_TRUE(ds->Eof());
  EXPECT_EQ(ds->RecordCount(), 0);
  EXPECT_EQ(ds->RecNo(), -1);
  EXPECT_EQ(ds->MoveBy(1), 0);
}

TEST_F(MemoryDataSetTest, InsertGoesBeforeTheCurrentRecordAndAppendLast) {
  Fill(*ds, 3);
  ds->SetRecNo(2);
  ds->Insert();
  EXPECT_EQ(ds->RecNo(), 2);  // the number the new record will take
  ds->FieldByName("ID")->SetAsInteger(10);
  ds->Post();
  EXPECT_EQ(Id(*ds), 10);
  EXPECT_EQ(ds->RecNo(), 2);
  EXPECT_EQ(Ids(*ds), (std::vector<int>{1, 10, 2, 3}));
  ds->First();
  ds->Append();
  EXPECT_EQ(ds->RecNo(), 5);
  ds->FieldByName("ID")->SetAsInteger(20);
  ds->Post();
  EXPECT_EQ(Ids(*ds), (std::vector<int>{1, 10, 2, 3, 20}));
  EXPECT_EQ(Id(*ds), 20);
}

TEST_F(MemoryDataSetTest, EditPostCancelAndModified) {
  Fill(*ds, 2);
  ds->First();
  ds->Edit();
  EXPECT_EQ(ds->State(), dsEdit);
  EXPECT_FALSE(ds->Modified());
  ds->FieldByName("Name")->SetAsString("changed");
  EXPECT_TRUE(ds->Modified());
  ds->Cancel();
  EXPECT_EQ(ds->FieldByName("Name")->AsString(), "N1");
  ds->Edit();
  ds->FieldByName("Name")->SetAsString("kept");
  ds->Next();  // a move posts the modified record
  ds->First();
  EXPECT_EQ(ds->FieldByName("Name")->AsString(), "kept");
  // An unmodified insert is dropped by a move.
  ds->Insert();
  ds->Next();
  EXPECT_EQ(ds->RecordCount(), 2);
}

TEST_F(MemoryDataSetTest, EditOnEmptyStartsAnInsert) {
  ds->Edit();
  EXPECT_EQ(ds->State(), dsInsert);
  ds->FieldByName("ID")->SetAsInteger(7);
  ds->Post();
  EXPECT_EQ(ds->RecordCount(), 1);
}

TEST_F(MemoryDataSetTest, DeleteMovesToTheNextRecordOrThePriorAtTheEnd) {
  Fill(*ds, 3);
  ds->SetRecNo(2);
  ds->Delete();
  EXPECT_EQ(Id(*ds), 3);
  ds->Delete();
  EXPECT_EQ(Id(*ds), 1);
  ds->Delete();
  EXPECT_TRUE(ds->IsEmpty());
  EXPECT_THROW(ds->Delete(), EDatabaseError);
}

TEST_F(MemoryDataSetTest, RequiredFieldIsCheckedOnPost) {
  MemoryDataSetPtr d(new TMemoryDataSet(nullptr));
  d->FieldDefs()->Add("Code", ftString, 10, true);
  d->CreateDataSet();
  d->Append();
  try {
    d->Post();
    FAIL() << "Post accepted a missing required value";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Field 'Code' must have a value");
  }
  EXPECT_EQ(d->State(), dsInsert);
}

TEST_F(MemoryDataSetTest, BookmarksSurviveInsertsAndDeletesOfOtherRecords) {
  Fill(*ds, 5);
  ds->SetRecNo(3);
  const TBookmark three = ds->Bookmark();
  ds->SetRecNo(4);
  const TBookmark four = ds->Bookmark();
  ds->First();
  ds->Insert();
  ds->FieldByName("ID")->SetAsInteger(100);
  ds->Post();
  ds->Last();
  ds->Delete();
  ds->First();
  ds->Next();
  ds->Delete();  // the record with ID 1
  EXPECT_TRUE(ds->BookmarkValid(three));
  ds->GotoBookmark(three);
  EXPECT_EQ(Id(*ds), 3);
  EXPECT_EQ(ds->RecNo(), 3);  // 100, 2, 3
  EXPECT_LT(ds->CompareBookmarks(three, four), 0);
  EXPECT_GT(ds->CompareBookmarks(four, three), 0);
  EXPECT_EQ(ds->CompareBookmarks(three, three), 0);
  EXPECT_LT(ds->CompareBookmarks("", three), 0);
  EXPECT_EQ(ds->CompareBookmarks("", ""), 0);

  ds->GotoBookmark(three);
  ds->Delete();
  EXPECT_FALSE(ds->BookmarkValid(three));
  EXPECT_THROW(ds->GotoBookmark(three), EDatabaseError);
  // An empty bookmark does nothing.
  const int before = Id(*ds);
  ds->SetBookmark("");
  EXPECT_EQ(Id(*ds), before);
  // A bookmark of an emptied data set never names a new record.
  ds->GotoBookmark(four);
  const TBookmark old = ds->Bookmark();
  ds->EmptyDataSet();
  Fill(*ds, 5);
  EXPECT_FALSE(ds->BookmarkValid(old));
  EXPECT_FALSE(ds->BookmarkValid("garbage"));
}

TEST_F(MemoryDataSetTest, BookmarksCompareInTheSortOrder) {
  Fill(*ds, 3);
  ds->First();
  const TBookmark first = ds->Bookmark();
  ds->Last();
  const TBookmark last = ds->Bookmark();
  EXPECT_LT(ds->CompareBookmarks(first, last), 0);
  ds->SetIndexFieldNames("ID DESC");
  EXPECT_GT(ds->CompareBookmarks(first, last), 0);
}

TEST_F(MemoryDataSetTest, SortKeepsTheCurrentRecordAndRecNoFollowsTheOrder) {
  Fill(*ds, 5);
  ds->SetRecNo(2);
  ds->SetIndexFieldNames("Amount DESC");
  EXPECT_EQ(Id(*ds), 2);
  EXPECT_EQ(ds->RecNo(), 4);
  EXPECT_EQ(Ids(*ds), (std::vector<int>{5, 4, 3, 2, 1}));
  // A posted record moves to its place in the order and stays current.
  ds->Append();
  ds->FieldByName("ID")->SetAsInteger(9);
  ds->FieldByName("Amount")->SetAsFloat(4.0);
  ds->Post();
  EXPECT_EQ(Id(*ds), 9);
  EXPECT_EQ(ds->RecNo(), 4);
  EXPECT_EQ(Ids(*ds), (std::vector<int>{5, 4, 3, 9, 2, 1}));
  ds->Edit();
  ds->FieldByName("Amount")->SetAsFloat(100);
  ds->Post();
  EXPECT_EQ(ds->RecNo(), 1);
  ds->SetIndexFieldNames("");
  EXPECT_EQ(Ids(*ds), (std::vector<int>{1, 2, 3, 4, 5, 9}));
  EXPECT_EQ(Id(*ds), 9);
  try {
    ds->SetIndexFieldNames("Nope");
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "People: Field 'Nope' not found");
  }
  EXPECT_EQ(ds->IndexFieldNames(), "");
}

TEST_F(MemoryDataSetTest, RecNoAndRecordCountUnderAFilter) {
  Fill(*ds, 10);
  ds->SetFilter("ID > 3 and ID <= 8");
  ds->SetFiltered(true);
  EXPECT_EQ(ds->RecordCount(), 5);
  EXPECT_EQ(Id(*ds), 4);
  EXPECT_EQ(ds->RecNo(), 1);
  ds->Last();
  EXPECT_EQ(Id(*ds), 8);
  EXPECT_EQ(ds->RecNo(), 5);
  // An edit that leaves the filter takes the record out of view.
  ds->Edit();
  ds->FieldByName("ID")->SetAsInteger(50);
  ds->Post();
  EXPECT_EQ(ds->RecordCount(), 4);
  EXPECT_EQ(Id(*ds), 7);
  // A new record that passes shows in its place.
  ds->First();
  ds->Insert();
  ds->FieldByName("ID")->SetAsInteger(6);
  ds->Post();
  EXPECT_EQ(Ids(*ds), (std::vector<int>{6, 4, 5, 6, 7}));
  ds->SetFiltered(false);
  EXPECT_EQ(ds->RecordCount(), 11);
}

TEST_F(MemoryDataSetTest, OnFilterRecordDecidesTogetherWithTheText) {
  Fill(*ds, 10);
  ds->OnFilterRecord = [](TDataSet* d, bool& accept) { accept = d->FieldByName("ID")->AsInteger() % 2 == 0; };
  ds->SetFilter("ID < 7");
  ds->SetFiltered(true);
  EXPECT_EQ(Ids(*ds), (std::vector<int>{2, 4, 6}));
  ds->SetFilter("");
  EXPECT_EQ(Ids(*ds), (std::vector<int>{2, 4, 6, 8, 10}));
}

TEST_F(MemoryDataSetTest, MalformedFilterLeavesTheDataSetAsItWas) {
  Fill(*ds, 10);
  ds->SetFilter("ID > 2");
  ds->SetFiltered(true);
  ds->SetRecNo(3);
  const TBookmark at = ds->Bookmark();
  try {
    ds->SetFilter("ID > (");
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_NE(e.Message().find("Filter expression incorrect"), std::string::npos) << e.Message();
  }
  EXPECT_EQ(ds->Filter(), "ID > 2");
  EXPECT_TRUE(ds->Filtered());
  EXPECT_EQ(ds->Bookmark(), at);
  EXPECT_EQ(ds->RecordCount(), 8);
  // Turning a bad text on fails the same way.
  ds->SetFiltered(false);
  ds->SetFilter("Unknown = 1");
  EXPECT_THROW(ds->SetFiltered(true), EDatabaseError);
  EXPECT_FALSE(ds->Filtered());
  EXPECT_EQ(ds->RecordCount(), 10);
  // And so does opening with it.
  ds->Close();
  ds->SetFiltered(true);  // a closed data set takes the text as it is
  EXPECT_TRUE(ds->Filtered());
  EXPECT_THROW(ds->Open(), EDatabaseError);
  EXPECT_FALSE(ds->Active());
}

// A partial key is matched in place while the stored text's bytes under it are ASCII; other
// text is folded whole, so a prefix with folding letters and keys longer than the text agree.
TEST_F(MemoryDataSetTest, PartialKeyLocateOverMixedText) {
  ds->AppendRecord({1, "Ärger", 1.0});
  ds->AppendRecord({2, "ärmel", 2.0});
  ds->AppendRecord({3, "ab", 3.0});
  ds->AppendRecord({4, "Abc", 4.0});
  const struct {
    const char* Key;
    TLocateOptions Options;
    int Found;  // 0: not found
  } cases[] = {
      {"äR", {loCaseInsensitive, loPartialKey}, 1},
      {"ÄRM", {loCaseInsensitive, loPartialKey}, 2},
      {"ÄRM", {loPartialKey}, 0},
      {"ABC", {loCaseInsensitive, loPartialKey}, 4},
      {"abcd", {loCaseInsensitive, loPartialKey}, 0},
      {"Ab", {loPartialKey}, 4},
      {"AB", {loPartialKey}, 0},
      {"", {loCaseInsensitive, loPartialKey}, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Key);
    ds->Last();
    EXPECT_EQ(ds->Locate("Name", c.Key, c.Options), c.Found != 0);
    EXPECT_EQ(Id(*ds), c.Found ? c.Found : 4);
  }
}

TEST_F(MemoryDataSetTest, LocateWithOptionsAndSeveralKeys) {
  ds->AppendRecord({1, "Anna", 10.0});
  ds->AppendRecord({2, "anton", 20.0});
  ds->AppendRecord({3, "Bert", 20.0});
  ds->AppendRecord({4, "ANNA", 30.0});
  struct Case {
    const char* Fields;
    Variant Values;
    TLocateOptions Options;
    int Found;  // 0: not found
  };
  const Case cases[] = {
      {"Name", "ANNA", {}, 4},
      {"Name", "anna", {loCaseInsensitive}, 1},
      {"Name", "an", {loPartialKey}, 2},
      {"Name", "AN", {loCaseInsensitive, loPartialKey}, 1},
      {"Name", "Ann", {}, 0},
      {"ID", "3", {}, 3},  // text key for a number field
      {"ID", 2.5, {}, 0},
      {"Amount", 20, {}, 2},
      {"Name;Amount", VarArrayOf({"Bert", 20.0}), {}, 3},
      {"Name;Amount", VarArrayOf({"anna", 30}), {loCaseInsensitive}, 4},
      {"Name;Amount", VarArrayOf({"Bert", 10}), {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Fields) + " " +
                 VarToStr(c.Values.IsArray() ? c.Values.GetElement(0) : c.Values));
    ds->First();
    const bool found = ds->Locate(c.Fields, c.Values, c.Options);
    EXPECT_EQ(found, c.Found != 0);
    EXPECT_EQ(Id(*ds), c.Found ? c.Found : 1);  // a miss does not move
  }
  // The first match in the current order wins.
  ds->SetIndexFieldNames("ID DESC");
  EXPECT_TRUE(ds->Locate("Amount", 20, {}));
  EXPECT_EQ(Id(*ds), 3);
  // Edits are seen by the index built by the searches above.
  ds->Edit();
  ds->FieldByName("Amount")->SetAsFloat(99);
  ds->Post();
  EXPECT_TRUE(ds->Locate("Amount", 20, {}));
  EXPECT_EQ(Id(*ds), 2);
  EXPECT_TRUE(ds->Locate("Amount", 99, {}));
  EXPECT_EQ(Id(*ds), 3);
  ds->Delete();
  EXPECT_FALSE(ds->Locate("Amount", 99, {}));
}

TEST_F(MemoryDataSetTest, LocateFindsDuplicatesAndNulls) {
  for (int i = 0; i < 200; ++i) ds->AppendRecord({i, i % 2 ? Variant("odd") : Variant::Null(), 1.0});
  ds->SetIndexFieldNames("ID DESC");
  EXPECT_TRUE(ds->Locate("Name", "odd", {}));
  EXPECT_EQ(Id(*ds), 199);
  EXPECT_TRUE(ds->Locate("Name", Variant::Null(), {}));
  EXPECT_EQ(Id(*ds), 198);
}

TEST_F(MemoryDataSetTest, DeclaredKeyIndexFollowsEveryChange) {
  ds->AddKeyIndex("Name", true);
  Fill(*ds, 50);
  EXPECT_TRUE(ds->Locate("Name", "n42", {loCaseInsensitive}));
  EXPECT_EQ(Id(*ds), 42);
  ds->Edit();
  ds->FieldByName("Name")->SetAsString("renamed");
  ds->Post();
  EXPECT_FALSE(ds->Locate("Name", "N42", {loCaseInsensitive}));
  EXPECT_TRUE(ds->Locate("Name", "RENAMED", {loCaseInsensitive}));
  ds->EmptyDataSet();
  EXPECT_FALSE(ds->Locate("Name", "renamed", {loCaseInsensitive}));
  Fill(*ds, 3);
  EXPECT_TRUE(ds->Locate("Name", "n3", {loCaseInsensitive}));
  // The declaration outlives a close; an unknown name is refused.
  ds->Close();
  ds->Open();
  Fill(*ds, 2);
  EXPECT_TRUE(ds->Locate("Name", "N2", {loCaseInsensitive}));
  EXPECT_THROW(ds->AddKeyIndex("Nope"), EDatabaseError);
}

TEST_F(MemoryDataSetTest, LookupAnswersWithoutMoving) {
  Fill(*ds, 5);
  ds->SetRecNo(2);
  int scrolls = 0;
  ds->AfterScroll = [&scrolls](TDataSet*) { ++scrolls; };
  EXPECT_EQ(VarToStr(ds->Lookup("ID", 4, "Name")), "N4");
  Variant pair = ds->Lookup("ID", 5, "Name;Amount");
  ASSERT_TRUE(pair.IsArray());
  EXPECT_EQ(VarToStr(pair.GetElement(0)), "N5");
  EXPECT_DOUBLE_EQ(pair.GetElement(1).AsDouble(), 7.5);
  EXPECT_TRUE(ds->Lookup("ID", 42, "Name").IsNull());
  EXPECT_EQ(Id(*ds), 2);
  EXPECT_EQ(scrolls, 0);
}

TEST_F(MemoryDataSetTest, ReadOnlyRefusesEveryChange) {
  Fill(*ds, 2);
  ds->SetReadOnly(true);
  EXPECT_FALSE(ds->CanModify());
  EXPECT_THROW(ds->Edit(), EDatabaseError);
  EXPECT_THROW(ds->Append(), EDatabaseError);
  EXPECT_THROW(ds->Delete(), EDatabaseError);
  EXPECT_FALSE(ds->FieldByName("Name")->CanModify());
  EXPECT_EQ(ds->RecordCount(), 2);
  EXPECT_EQ(ds->State(), dsBrowse);
}

TEST_F(MemoryDataSetTest, NonSequencedAnswersNoRecNo) {
  Fill(*ds, 3);
  ds->SetSequenced(false);
  EXPECT_FALSE(ds->IsSequenced());
  ds->Last();
  EXPECT_EQ(ds->RecNo(), -1);
  ds->SetRecNo(1);  // ignored
  EXPECT_EQ(Id(*ds), 3);
  EXPECT_EQ(ds->RecordCount(), 3);
  ds->SetSequenced(true);
  EXPECT_EQ(ds->RecNo(), 3);
}

TEST_F(MemoryDataSetTest, CloseDropsRecordsAndClosedCallsRaise) {
  Fill(*ds, 2);
  ds->Close();
  try {
    ds->RecordCount();
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "People: Cannot perform this operation on a closed dataset");
  }
  ds->Open();
  EXPECT_EQ(ds->RecordCount(), 0);
  EXPECT_THROW(ds->CreateDataSet(), EDatabaseError);
}

TEST_F(MemoryDataSetTest, LoadFromRowsConvertsToTheFieldTypes) {
  ds->LoadFromRows({{3, "c", "2.5"}, {1, "a", 1}, {2}});
  EXPECT_EQ(ds->RecordCount(), 3);
  EXPECT_EQ(Id(*ds), 3);
  EXPECT_EQ(ds->FieldByName("Amount")->Value().VarType(), varDouble);
  ds->SetIndexFieldNames("ID");
  EXPECT_EQ(Ids(*ds), (std::vector<int>{1, 2, 3}));
  ds->SetRecNo(2);
  EXPECT_TRUE(ds->FieldByName("Name")->IsNull());
  EXPECT_THROW(ds->LoadFromRows({{"not a number"}}), Exception);
  EXPECT_EQ(ds->RecordCount(), 3);
  ds->EmptyDataSet();
  EXPECT_TRUE(ds->IsEmpty());
}

TEST(MemoryDataSetLoad, LoadedTextsLiveInBlocksThatGoWithTheirLastText) {
  const size_t before = TTextPool::LiveBlocks();
  {
    MemoryDataSetPtr ds = NewPeople();
    int next = 0;
    ds->LoadRows([&next](std::span<Variant> Row) {
      if (next == 3000) return false;
      ++next;
      Row[0] = next;
      Row[1] = "a longer name " + std::to_string(100000 + next);  // 20 bytes: not inline
      return true;
    });
    EXPECT_EQ(TTextPool::LiveBlocks(), before + 3);  // 1,364 texts a block
    ds->SetRecNo(2500);
    EXPECT_EQ(ds->FieldByName("Name")->AsString(), "a longer name 102500");
    ds->Edit();
    ds->FieldByName("Name")->SetAsString("renamed");
    ds->Post();
    ds->SetIndexFieldNames("Name");
    ds->Last();
    EXPECT_EQ(ds->FieldByName("Name")->AsString(), "renamed");
    ds->First();
    EXPECT_EQ(ds->FieldByName("Name")->AsString(), "a longer name 100001");
  }
  EXPECT_EQ(TTextPool::LiveBlocks(), before);
}

TEST(MemoryDataSetTypes, StoresEveryFieldType) {
  TFormatSettingsScope scope(TFormatSettings{});
  MemoryDataSetPtr ds(new TMemoryDataSet(nullptr));
  struct Def {
    const char* Name;
    TFieldType Type;
    int Size;
  };
  const Def defs[] = {
      {"S", ftString, 20}, {"W", ftWideString, 20}, {"I16", ftSmallint, 0}, {"I32", ftInteger, 0},
      {"U16", ftWord, 0},  {"I64", ftLargeint, 0},  {"F", ftFloat, 0},      {"C", ftCurrency, 0},
      {"B", ftBCD, 4},     {"FB", ftFMTBcd, 4},     {"L", ftBoolean, 0},    {"D", ftDate, 0},
      {"T", ftTime, 0},    {"DT", ftDateTime, 0},   {"TS", ftTimeStamp, 0}, {"M", ftMemo, 0},
      {"BL", ftBlob, 0},   {"G", ftGraphic, 0},     {"A", ftAutoInc, 0}};
  for (const Def& d : defs) ds->FieldDefs()->Add(d.Name, d.Type, d.Size);
  ds->CreateDataSet();
  ds->Append();
  ds->FieldByName("S")->SetAsString("text");
  ds->FieldByName("W")->SetAsString("宽字符");
  ds->FieldByName("I16")->SetAsInteger(-12);
  ds->FieldByName("I32")->SetAsInteger(123456);
  ds->FieldByName("U16")->SetAsInteger(65000);
  ds->FieldByName("I64")->SetAsLargeInt(int64_t{1} << 40);
  ds->FieldByName("F")->SetAsFloat(2.5);
  ds->FieldByName("C")->SetAsCurrency(Currency::FromRaw(123456));
  ds->FieldByName("B")->SetAsString("12.3456");
  ds->FieldByName("FB")->SetAsString("98.7654");
  ds->FieldByName("L")->SetAsBoolean(true);
  ds->FieldByName("D")->SetAsDateTime(EncodeDate(2024, 2, 29));
  ds->FieldByName("T")->SetAsDateTime(EncodeTime(13, 14, 15, 0));
  ds->FieldByName("DT")->SetAsDateTime(EncodeDate(2024, 1, 2) + EncodeTime(3, 4, 5, 0));
  ds->FieldByName("TS")->SetAsDateTime(EncodeDate(2023, 12, 31));
  ds->FieldByName("M")->SetAsString("a long memo");
  ds->FieldByName("BL")->SetAsString(std::string("\0\1\2", 3));
  ds->FieldByName("G")->SetAsString("PNG");
  ds->FieldByName("A")->SetAsInteger(7);
  ds->Post();
  ds->Close();
  ds->Open();  // closing drops the records: write again through AppendRecord's path
  EXPECT_TRUE(ds->IsEmpty());
  ds->Append();
  ds->FieldByName("S")->SetAsString("text");
  ds->FieldByName("W")->SetAsString("宽字符");
  ds->FieldByName("I64")->SetAsLargeInt(int64_t{1} << 40);
  ds->FieldByName("C")->SetAsCurrency(Currency::FromRaw(123456));
  ds->FieldByName("B")->SetAsString("12.3456");
  ds->FieldByName("L")->SetAsBoolean(true);
  ds->FieldByName("D")->SetAsDateTime(EncodeDate(2024, 2, 29));
  ds->FieldByName("TS")->SetAsDateTime(EncodeDate(2023, 12, 31));
  ds->FieldByName("BL")->SetAsString(std::string("\0\1\2", 3));
  ds->Post();
  ds->Append();
  ds->FieldByName("S")->SetAsString("other");
  ds->Post();
  ds->First();
  EXPECT_EQ(ds->FieldByName("S")->AsString(), "text");
  EXPECT_EQ(ds->FieldByName("W")->AsString(), "宽字符");
  EXPECT_EQ(ds->FieldByName("I64")->AsLargeInt(), int64_t{1} << 40);
  EXPECT_EQ(ds->FieldByName("C")->AsCurrency().Raw(), 123456);
  EXPECT_EQ(ds->FieldByName("B")->AsString(), "12.3456");
  EXPECT_TRUE(ds->FieldByName("L")->AsBoolean());
  EXPECT_EQ(ds->FieldByName("D")->AsDateTime(), EncodeDate(2024, 2, 29));
  EXPECT_EQ(ds->FieldByName("TS")->AsDateTime(), EncodeDate(2023, 12, 31));
  EXPECT_EQ(ds->FieldByName("BL")->AsString(), std::string("\0\1\2", 3));
  EXPECT_TRUE(ds->FieldByName("F")->IsNull());
  // Every type can be searched and sorted on.
  for (const Def& d : defs) {
    SCOPED_TRACE(d.Name);
    ds->SetIndexFieldNames(std::string(d.Name) + " DESC");
    EXPECT_EQ(ds->RecordCount(), 2);
  }
  EXPECT_TRUE(ds->Locate("TS", ds->FieldByName("TS")->Value(), {}));
  EXPECT_TRUE(ds->Locate("L", true, {}));
  EXPECT_EQ(ds->FieldByName("S")->AsString(), "text");
}

TEST(MemoryDataSetFields, CalculatedAndLookupFields) {
  MemoryDataSetPtr cities(new TMemoryDataSet(nullptr));
  cities->FieldDefs()->Add("Code", ftInteger);
  cities->FieldDefs()->Add("City", ftString, 20);
  cities->CreateDataSet();
  cities->AppendRecord({1, "Beijing"});
  cities->AppendRecord({2, "Shanghai"});

  MemoryDataSetPtr people(new TMemoryDataSet(nullptr));
  people->FieldDefs()->Add("Name", ftString, 20);
  people->FieldDefs()->Add("CityCode", ftInteger);
  people->FieldDefs()->Add("Age", ftInteger);
  for (int i = 0; i < people->FieldDefs()->Count(); ++i)
    people->FieldDefs()->Items(i)->CreateField(people.get());
  TField* twice = CreateFieldForType(ftInteger, people.get());
  twice->SetFieldName("Twice");
  twice->SetFieldKind(fkCalculated);
  twice->SetDataSet(people.get());
  TField* city = CreateFieldForType(ftString, people.get());
  city->SetFieldName("CityName");
  city->SetSize(20);
  city->SetFieldKind(fkLookup);
  city->SetKeyFields("CityCode");
  city->SetLookupDataSet(cities.get());
  city->SetLookupKeyFields("Code");
  city->SetLookupResultField("City");
  city->SetDataSet(people.get());
  people->OnCalcFields = [](TDataSet* d) {
    d->FieldByName("Twice")->SetAsInteger(d->FieldByName("Age")->AsInteger() * 2);
  };
  people->CreateDataSet();
  people->AppendRecord({"Li", 2, 30});
  people->AppendRecord({"Wang", 1, 41});
  people->First();
  EXPECT_EQ(people->FieldByName("Twice")->AsInteger(), 60);
  EXPECT_EQ(people->FieldByName("CityName")->AsString(), "Shanghai");
  // Filters and Lookup read calculated values too.
  people->SetFilter("Twice > 70 and CityName = 'Beijing'");
  people->SetFiltered(true);
  EXPECT_EQ(people->RecordCount(), 1);
  EXPECT_EQ(people->FieldByName("Name")->AsString(), "Wang");
  EXPECT_EQ(VarToStr(people->Lookup("Name", "Wang", "CityName")), "Beijing");
  EXPECT_TRUE(people->Locate("Twice", 82, {}));  // a calculated key: the generic scan
  EXPECT_THROW(people->SetIndexFieldNames("Twice"), EDatabaseError);
  people->Close();
  cities->Close();
}

// Deletes at the edges, re-sorting and re-keying, each step followed by the store's own checks
// (and the watch's after every data event). Inserts, filters, kept indexes and bulk loading are
// checked by the fixture's watch in the tests of their own.
TEST(MemoryDataSetConsistency, TrickyChangesKeepTheStoreConsistent) {
  using Step = std::function<void(TMemoryDataSet&)>;
  auto edit = [](const char* field, Variant value) -> Step {
    return [=](TMemoryDataSet& d) {
      d.Edit();
      d.FieldByName(field)->SetAsVariant(value);
      d.Post();
    };
  };
  auto sortBy = [](const char* names) -> Step {
    return [=](TMemoryDataSet& d) { d.SetIndexFieldNames(names); };
  };
  const Step first = [](TMemoryDataSet& d) { d.First(); };
  const Step remove = [](TMemoryDataSet& d) { d.Delete(); };
  struct Case {
    const char* Id;
    std::vector<Step> Steps;
    std::vector<int> Ids;  // the view afterwards
  };
  const std::vector<Case> cases = {
      {"delete-last-then-append",
       {[](TMemoryDataSet& d) { d.Last(); }, remove,
        [](TMemoryDataSet& d) {
          d.AppendRecord({9, "N9", 0.5});
        }},
       {1, 2, 3, 9}},
      {"delete-first-under-a-sort", {sortBy("Amount DESC"), first, remove}, {3, 2, 1}},
      {"resort-there-and-back", {sortBy("Name DESC"), sortBy("ID DESC"), sortBy("")}, {1, 2, 3, 4}},
      {"rekey-first-to-last-under-a-sort", {sortBy("ID"), first, edit("ID", 99)}, {2, 3, 4, 99}},
      {"delete-everything",
       {[](TMemoryDataSet& d) {
         while (!d.IsEmpty()) {
           d.First();
           d.Delete();
           ExpectConsistent(d);
         }
       }},
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Id);
    MemoryDataSetPtr ds = NewPeople();
    TConsistencyWatch watch(ds.get());
    Fill(*ds, 4);
    for (size_t i = 0; i < c.Steps.size(); ++i) {
      SCOPED_TRACE(i);
      c.Steps[i](*ds);
      ExpectConsistent(*ds);
    }
    EXPECT_EQ(Ids(*ds), c.Ids);
    EXPECT_GT(watch.Checks, 0);
  }
}

TEST_F(MemoryDataSetTest, ForEachRecordReadsEveryRecordWithoutMoving) {
  Fill(*ds, 6);
  ds->SetIndexFieldNames("Amount DESC");
  ds->SetFilter("ID <> 3");
  ds->SetFiltered(true);
  ASSERT_TRUE(ds->Locate("ID", 4, {}));
  int scrolls = 0;
  ds->BeforeScroll = [&](TDataSet*) { ++scrolls; };
  ds->AfterScroll = [&](TDataSet*) { ++scrolls; };
  const int events = watch.Checks;
  std::vector<int> seen;
  std::vector<TBookmark> marks;
  ds->ForEachRecord([&](const TBookmark& b) {
    seen.push_back(Id(*ds));  // the fields read the record visited
    marks.push_back(b);
  });
  EXPECT_EQ(seen, (std::vector<int>{6, 5, 4, 2, 1}));
  EXPECT_EQ(Id(*ds), 4);
  EXPECT_EQ(ds->RecNo(), 3);
  EXPECT_EQ(ds->State(), dsBrowse);
  EXPECT_FALSE(ds->ControlsDisabled());
  EXPECT_EQ(scrolls, 0);
  EXPECT_EQ(watch.Checks, events);  // no data event either
  ds->GotoBookmark(marks[1]);
  EXPECT_EQ(Id(*ds), 5);
  // A visitor's exception leaves the cursor and the state as they were.
  EXPECT_THROW(ds->ForEachRecord([&](const TBookmark&) {
    if (Id(*ds) == 2) throw Exception("stop");
  }),
               Exception);
  EXPECT_EQ(Id(*ds), 5);
  EXPECT_EQ(ds->State(), dsBrowse);
  EXPECT_FALSE(ds->ControlsDisabled());
  ds->Edit();
  try {
    ds->ForEachRecord([](const TBookmark&) {});
    ADD_FAILURE() << "no exception";
  } catch (const EDatabaseError& e) {
    EXPECT_STREQ(e.what(), "People: Dataset not in browse mode");
  }
  ds->Cancel();
}

TEST_F(MemoryDataSetTest, ScanStoredRecordsVisitsTheViewWithoutMoving) {
  Fill(*ds, 8);
  ASSERT_TRUE(ds->Locate("ID", 2, {}));
  ds->Delete();
  ds->AppendRecord({9, "N9", 13.5});  // stored in the slot ID 2 left
  ds->SetIndexFieldNames("Name DESC");
  ds->SetFilter("ID <> 5");
  ds->SetFiltered(true);
  ASSERT_TRUE(ds->Locate("ID", 4, {}));
  ds->AfterScroll = [](TDataSet*) { ADD_FAILURE() << "scrolled"; };
  const int events = watch.Checks;
  std::vector<int> ids;
  EXPECT_TRUE(ds->ScanStoredRecords([&](const TStoredRecord& r) {
    ids.push_back(r.Value(1).AsInteger());
    EXPECT_EQ(r.Value(3), Variant(ids.back() * 1.5));
    return ids.size() < 100;
  }));
  EXPECT_EQ(ids, (std::vector<int>{1, 9, 3, 4, 6, 7, 8}));  // storage order, the view's records only
  EXPECT_EQ(Id(*ds), 4);
  EXPECT_EQ(watch.Checks, events);
  EXPECT_FALSE(ds->ScanStoredRecords([&](const TStoredRecord&) { return ids.size() > 100; }));
  ds->Edit();  // the record in edit is not stored yet: no scan
  EXPECT_FALSE(ds->ScanStoredRecords([&](const TStoredRecord&) { return ids.size() > 100; }));
  ds->Cancel();
}

}  // namespace
