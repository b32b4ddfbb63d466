// Index order over random data: keys whose prefixes tie, long common beginnings, case and
// accent variants, Nulls, several key fields and keys without a prefix. The order an index
// holds must be the one a stable sort of the records by the plain key comparison gives, after
// a build, while maintained through inserts, and after edits, deletions and moves.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include "grid/data/MemTableInternalEh.h"
#include "platform/rtl/FormatSettings.h"
#include "tests/grid/data/MemTableTestSupport.h"

// Named, not anonymous: the test sources share translation units.
namespace index_order {

using Rng = std::mt19937;
using Gen = std::function<Variant(Rng&)>;

// Record positions by key (the Variant comparison of whole keys, Nulls first), ties by position.
std::vector<int> ReferenceOrder(TMemTableDataEh* t, const std::string& fields) {
  TRecordsListEh* list = t->RecordsList();
  std::vector<Variant> keys;
  std::vector<int> order;
  for (int i = 0; i < list->Count(); ++i) {
    TMemoryRecordEh* r = list->Rec(i);
    keys.push_back(r->GetDataValues(fields, dvkCurrentEh));
    if (r->UpdateStatus() != usDeletedEh) order.push_back(i);
  }
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    return memtable_detail::CompareKeys(keys[size_t(a)], keys[size_t(b)]) == memtable_detail::kLess;
  });
  return order;
}

Gen OneOf(std::vector<Variant> values) {
  return [values](Rng& rng) { return values[rng() % values.size()]; };
}

// Text of Min..Max characters from Alphabet, after a fixed Lead.
Gen Text(std::string alphabet, size_t min, size_t max, std::string lead = "") {
  return [=](Rng& rng) {
    std::string s = lead;
    for (size_t n = min + rng() % (max - min + 1); n > 0; --n) s += alphabet[rng() % alphabet.size()];
    return Variant(s);
  };
}

// Integers from Low to Low + Count - 1.
Gen Int(int count, int low = 0) {
  return [=](Rng& rng) { return Variant(low + static_cast<int>(rng() % static_cast<unsigned>(count))); };
}

Gen WithNulls(Gen g) {
  return [g](Rng& rng) { return rng() % 9 == 0 ? Null() : g(rng); };
}

using AddFn = void (*)(TMemTableDataEh*, const std::string&);
struct Field {
  AddFn Add;
  Gen Value;
};

const AddFn AddText = [](TMemTableDataEh* t, const std::string& name) { AddString(t, name, 80); };
const AddFn AddWide = [](TMemTableDataEh* t, const std::string& name) {
  AddString(t, name, 80)->SetStringDataType(fdtWideStringEh);
};
const AddFn AddInt = [](TMemTableDataEh* t, const std::string& name) { AddNumeric(t, name); };
const AddFn AddFloat = [](TMemTableDataEh* t, const std::string& name) { AddNumeric(t, name, fdtFloatEh); };
const AddFn AddAny = [](TMemTableDataEh* t, const std::string& name) {
  t->DataStruct()->CreateField<TMTVariantDataFieldEh>()->SetFieldName(name);
};

struct Case {
  const char* Id;
  std::vector<Field> Fields;  // named F0, F1, ...; the index follows all of them
  int Rows;
};

std::vector<Case> Cases() {
  return {
      // Two letters and both cases: prefixes tie on every case variant and on texts longer
      // than the prefix.
      {"ascii-ties", {{AddText, WithNulls(Text("abAB", 0, 20))}}, 1500},
      // Everything shares 24 characters: the prefix never decides.
      {"long-common-beginning", {{AddText, Text("xyzXYZ", 1, 6, "customer-000000000000000-")}}, 800},
      {"case-variants",
       {{AddText, WithNulls(OneOf({"apple", "Apple", "APPLE", "aPPle", "apples", "Apples", "", " "}))}},
       600},
      // Characters without a primary weight and punctuation between letters.
      {"ignorables", {{AddText, Text(std::string("ab-\x01 .", 6), 0, 8)}}, 600},
      // One text outside ASCII in the middle turns every prefix into collation weights.
      {"accents-midway",
       {{AddText,
         [](Rng& rng) {
           if (rng() % 50 == 0)
             return Variant(rng() % 2 ? "\xc3\xa9t\xc3\xa9" : "\xc3\x89T\xc3\x89");  // été ÉTÉ
           return Text("eEtT", 1, 5)(rng);
         }}},
       900},
      {"wide-text",
       {{AddWide, WithNulls(OneOf({u"b", u"B", u"ab", u"aB", u"\u4e2d", u"\u00e9", u"e"}))}},
       500},
      {"small-integers", {{AddInt, WithNulls(Int(40, -20))}}, 1500},
      {"floats", {{AddFloat, OneOf({-0.0, 0.0, -1.5, 1.5, 1e300, -1e300, 2.25, Null()})}}, 700},
      {"text-then-integer", {{AddText, Text("aA", 0, 3)}, {AddInt, WithNulls(Int(5))}}, 1200},
      {"integer-then-text", {{AddInt, OneOf({1, 2, Null()})}, {AddText, WithNulls(Text("bB", 0, 18))}}, 1200},
      {"text-then-text", {{AddText, Text("cC", 16, 17)}, {AddText, Text("dD", 0, 2)}}, 700},
      // A variant field keeps no prefix: every comparison reads the records.
      {"variant-numbers",
       {{AddAny, WithNulls(OneOf({3, 1.5, -2, Variant(Currency::FromRaw(20000)), 2.0}))}},
       700},
  };
}

std::string FieldNames(size_t count) {
  std::string names;
  for (size_t i = 0; i < count; ++i) names += (i ? ";F" : "F") + std::to_string(i);
  return names;
}

void Load(TMemTableDataEh* t, const Case& c, Rng& rng) {
  TRecordsListEh* list = t->RecordsList();
  for (int i = 0; i < c.Rows; ++i) {
    TMemoryRecordEh* r = list->NewRecord();
    for (size_t f = 0; f < c.Fields.size(); ++f)
      r->SetDataValue(int(f), dvkCurrentEh, c.Fields[f].Value(rng));
    r->Post();
  }
}

// Each check also finds every key by search: the position it answers holds an equal key.
void ExpectOrder(TMemTableDataEh* t, TMTIndexEh* index, const std::string& fields) {
  EXPECT_EQ(IndexOrder(index), ReferenceOrder(t, fields));
  ExpectIndexConsistent(index);
  for (int i = 0; i < t->RecordsList()->Count(); i += 7) {
    Variant key = t->RecordsList()->Rec(i)->GetDataValues(fields, dvkCurrentEh);
    int pos = -1;
    ASSERT_TRUE(index->FindKeyValueIndex(key, pos)) << i;
    EXPECT_EQ(memtable_detail::CompareKeys(index->Items(pos).Key, key), memtable_detail::kEqual) << i;
  }
}

TEST(MemTableIndexOrder, RandomKeysOrderAsAStableSortOfTheKeys) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.Id);
    const std::string fields = FieldNames(c.Fields.size());
    for (bool before : {false, true}) {
      SCOPED_TRACE(before ? "maintained" : "rebuilt");
      Rng rng(2024);
      auto t = NewTable();
      for (size_t f = 0; f < c.Fields.size(); ++f) c.Fields[f].Add(t.get(), "F" + std::to_string(f));
      TMTIndexEh* index = before ? AddIndex(t.get(), fields) : nullptr;
      Load(t.get(), c, rng);
      if (!before) index = AddIndex(t.get(), fields);
      ExpectOrder(t.get(), index, fields);
      // Re-keyed, deleted and moved records, then a rebuild of the changed list.
      TRecordsListEh* list = t->RecordsList();
      for (int step = 0; step < 60; ++step) {
        int at = static_cast<int>(rng() % list->Count());
        if (step % 3 == 0) {
          TMemoryRecordEh* r = list->Rec(at);
          r->Edit();
          size_t f = rng() % c.Fields.size();
          r->SetDataValue(int(f), dvkCurrentEh, c.Fields[f].Value(rng));
          r->Post();
        } else if (step % 3 == 1) {
          list->DeleteRecord(at);
        } else {
          list->MoveRecord(at, static_cast<int>(rng() % list->Count()));
        }
      }
      ExpectOrder(t.get(), index, fields);
      index->Rebuild();
      ExpectOrder(t.get(), index, fields);
      if (::testing::Test::HasFailure()) return;
    }
  }
}

// A move is the one change the list reports after the fact with no notice before it; when it
// is the first report under a new locale, the re-sort it causes already holds the move.
TEST(MemTableIndexOrder, MoveRightAfterALocaleChangeKeepsOneItemARecord) {
  auto t = NewTable();
  AddString(t.get(), "K");
  for (const char* v : {"\xe5\xbc\xa0", "\xe6\x9d\x8e", "\xe7\x8e\x8b", "b", "a"})
    Append(t.get(), {v});  // 张 李 王
  TMTIndexEh* index = AddIndex(t.get(), "K");
  TFormatSettings root = FormatSettings();
  root.CollationLocale = "root";
  TFormatSettingsScope scope(root);
  t->RecordsList()->MoveRecord(0, 3);
  ExpectIndexConsistent(index);
  EXPECT_EQ(IndexOrder(index), ReferenceOrder(t.get(), "K"));
}

}  // namespace index_order
