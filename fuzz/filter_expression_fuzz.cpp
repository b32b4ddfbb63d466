// Fuzz target for the filter language: the input (after one byte of filter options) is a
// filter text over an in-memory data set with a field of every value kind and a few rows,
// Nulls among them. A malformed text must raise the documented errors and leave the data set
// as it was; an accepted one must keep exactly the rows that the expression, evaluated on its
// own over the same values, accepts, and the data set must stay consistent while it is
// walked both ways and a record is added under the filter.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/db/FilterExpression.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/SysUtils.h"

namespace {

void Fail(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

struct Column {
  const char* Name;
  TFieldType Type;
  int Size;
  TFilterValueKind Kind;  // how the data set compares the field's values
};

const Column kColumns[] = {
    {"Name", ftString, 20, TFilterValueKind::Text},
    {"Small", ftSmallint, 0, TFilterValueKind::Integer},
    {"ID", ftInteger, 0, TFilterValueKind::Integer},
    {"W", ftWord, 0, TFilterValueKind::Integer},
    {"Big", ftLargeint, 0, TFilterValueKind::Integer},
    {"Flag", ftBoolean, 0, TFilterValueKind::Boolean},
    {"Amount", ftFloat, 0, TFilterValueKind::Float},
    {"Price", ftCurrency, 0, TFilterValueKind::Currency},
    {"Bcd", ftBCD, 4, TFilterValueKind::Float},
    {"Day", ftDate, 0, TFilterValueKind::Date},
    {"At", ftTime, 0, TFilterValueKind::Time},
    {"Ship Date", ftDateTime, 0, TFilterValueKind::DateTime},
    {"Stamp", ftTimeStamp, 0, TFilterValueKind::DateTime},
    {"Note", ftMemo, 0, TFilterValueKind::Text},
    {"名称", ftWideString, 20, TFilterValueKind::Text},
    {"Code", ftFixedChar, 4, TFilterValueKind::Text},
    {"Raw", ftBytes, 4, TFilterValueKind::Other},
};
constexpr int kColumnCount = static_cast<int>(std::size(kColumns));

std::vector<std::vector<Variant>> Rows() {
  const TDateTime day = EncodeDate(2024, 1, 5), time = EncodeTime(10, 30, 0, 0);
  return {
      {Variant("O'Brien"), Variant(3), Variant(1), Variant(7), Variant(1LL << 40), Variant(true),
       Variant(12.5), Variant(Currency::FromRaw(19990)), Variant(1.25), Variant::FromDate(day),
       Variant::FromDate(time), Variant::FromDate(day + time), Variant::FromDate(day + time),
       Variant("a longer note"), Variant("张三"), Variant("AB"), Variant("xy")},
      {Variant("abc*"), Variant(-3), Variant(2), Variant(0), Variant(-5LL), Variant(false), Variant(-0.5),
       Variant(Currency::FromRaw(-1)), Variant(0.0), Variant::FromDate(day - 400), Variant::FromDate(0.0),
       Variant::FromDate(-1.5), Variant::FromDate(2.25), Variant(""), Variant("Ünïcode"), Variant("ab"),
       Variant::Null()},
      {Variant::Null(), Variant::Null(), Variant(3), Variant::Null(), Variant::Null(), Variant::Null(),
       Variant::Null(), Variant::Null(), Variant::Null(), Variant::Null(), Variant::Null(), Variant::Null(),
       Variant::Null(), Variant::Null(), Variant::Null(), Variant::Null(), Variant::Null()},
      {Variant("%_x"), Variant(32767), Variant(4), Variant(65535), Variant(INT64_MIN), Variant(true),
       Variant(1e300), Variant(Currency::FromRaw(INT64_MAX)), Variant(-99.99), Variant::FromDate(day),
       Variant::FromDate(0.999988), Variant::FromDate(day), Variant::FromDate(day), Variant("O'Brien"),
       Variant("o'brien"), Variant("ABCD"), Variant("\x01\x02")},
  };
}

// The ID of the record an input may add under its filter.
constexpr int kAddedId = 99;

int CountWalking(TMemoryDataSet& ds, bool forward) {
  int n = 0;
  if (forward) {
    for (ds.First(); !ds.Eof(); ds.Next()) ++n;
  } else {
    for (ds.Last(); !ds.Bof(); ds.Prior()) ++n;
  }
  return n;
}

// One data set for every input, since building it costs most of a run: each input starts it
// from its four records, unfiltered and in record order.
TMemoryDataSet& Table() {
  static TMemoryDataSet* const table = [] {
    auto* ds = new TMemoryDataSet(nullptr);
    for (const Column& c : kColumns) ds->FieldDefs()->Add(c.Name, c.Type, c.Size);
    ds->LoadFromRows(Rows());
    return ds;
  }();
  TMemoryDataSet* ds = table;
  ds->SetFiltered(false);
  ds->SetFilter("");
  ds->SetFilterOptions(TFilterOptions{});
  ds->SetIndexFieldNames("");
  if (ds->Locate("ID", Variant(kAddedId), TLocateOptions{})) ds->Delete();  // the last input's
  return *ds;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 1024) return 0;
  TFormatSettingsScope locale{TFormatSettings{}};
  const uint8_t flags = data[0];
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

  TMemoryDataSet* ds = &Table();
  if (flags & 4) ds->SetIndexFieldNames("Amount DESC;Name");

  // The values as the data set gives them, one row of slots a record.
  std::vector<std::vector<Variant>> values;
  for (ds->First(); !ds->Eof(); ds->Next()) {
    std::vector<Variant>& row = values.emplace_back();
    for (int i = 0; i < kColumnCount; ++i) {
      TField* f = ds->Fields()->Fields(i);
      // A byte field's value is a byte array; the filter compares the bytes it stores.
      const bool bytes = kColumns[i].Kind == TFilterValueKind::Other && !f->IsNull();
      row.push_back(bytes ? Variant(f->AsString()) : f->Value());
    }
  }

  TFilterOptions options;
  if (flags & 1) options.Include(foCaseInsensitive);
  if (flags & 2) options.Include(foNoPartialCompare);
  ds->SetFilterOptions(options);
  try {
    ds->SetFilter(text);
    ds->SetFiltered(true);
  } catch (const EDatabaseError&) {
    if (ds->Filtered() && ds->Filter() == text) Fail("a refused filter stayed in force");
    ds->CheckConsistency();
    if (CountWalking(*ds, true) != static_cast<int>(values.size())) Fail("a refused filter hid records");
    return 0;
  } catch (const EFilterExpressionError&) {
    Fail("the parser's own error escaped the data set");
  }
  ds->CheckConsistency();

  // The expression on its own over the same values.
  int expected = 0;
  std::vector<int> expectedIds;  // the ID column (slot 2) of the rows the expression accepts
  if (!text.empty()) {
    TFilterParseOptions parse;
    parse.CaseInsensitive = flags & 1;
    parse.PartialCompare = !(flags & 2);
    auto resolve = [](const std::string& name, TFilterField& out) {
      for (int i = 0; i < kColumnCount; ++i) {
        if (!SameText(name, kColumns[i].Name)) continue;
        out.Slot = i;
        out.Kind = kColumns[i].Kind;
        return true;
      }
      return false;
    };
    TFilterExpression expression(text, resolve, parse);
    for (const std::vector<Variant>& row : values) {
      if (!expression.Evaluate(row.data())) continue;
      ++expected;
      expectedIds.push_back(row[2].AsInteger());
    }
  } else {
    expected = static_cast<int>(values.size());
    for (const std::vector<Variant>& row : values) expectedIds.push_back(row[2].AsInteger());
  }

  const int forward = CountWalking(*ds, true), backward = CountWalking(*ds, false);
  if (forward != expected) Fail("the data set keeps other records than the expression accepts");
  std::vector<int> ids;
  for (ds->First(); !ds->Eof(); ds->Next()) ids.push_back(ds->FieldByName("ID")->AsInteger());
  std::sort(ids.begin(), ids.end());
  std::sort(expectedIds.begin(), expectedIds.end());
  if (ids != expectedIds) Fail("the data set keeps other records than the expression accepts");
  if (forward != backward) Fail("walking forward and backward see different records");
  if (ds->RecordCount() != forward) Fail("RecordCount differs from the records walked");

  // A record added under the filter, then the filter lifted: every record is back.
  if (flags & 8) {
    ds->Append();
    ds->FieldByName("ID")->SetValue(Variant(kAddedId));
    ds->FieldByName("Name")->SetValue(Variant(text.substr(0, 20)));
    ds->Post();
    ds->CheckConsistency();
    ds->SetFiltered(false);
    if (CountWalking(*ds, true) != static_cast<int>(values.size()) + 1) Fail("a record went missing");
  } else {
    ds->SetFiltered(false);
    if (CountWalking(*ds, true) != static_cast<int>(values.size())) Fail("lifting the filter lost records");
  }
  ds->CheckConsistency();
  return 0;
}
