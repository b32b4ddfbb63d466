// The grid's typed record stream: the writer's bytes, round trips, and a reader that refuses
// every malformed input before it changes a record.
#include "grid/dbgrid/DBGridEhImpExp.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Dialogs.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

const std::string kFormatError = "TDBGridEhImportAsVCLDBIF.ReadPrefix: 错误的 VCLDBIF 格式";

std::string Hex(const std::string& Bytes) {
  std::string out;
  for (unsigned char c : Bytes) out += (out.empty() ? "" : " ") + IntToHex(c, 2);
  return out;
}

std::string Unhex(const std::string& Text) {
  std::string out;
  for (size_t i = 0; i + 1 < Text.size(); i += 3)
    out += static_cast<char>(std::stoi(Text.substr(i, 2), nullptr, 16));
  return out;
}

class VclDbifTest : public DBGridTestBase {
 protected:
  std::string Export() {
    TStringStream out;
    WriteGridToExportStream(TDBGridEhExportAsVCLDBIF::StaticClass(), grid, &out, true);
    return out.DataString();
  }
  // Through a memory stream (read where it lies) or a string stream (read to its end first).
  void Import(const std::string& Data, bool ViaMemory = true) {
    TStringStream text(Data);
    TMemoryStream memory;
    memory.LoadFromStream(&text), text.SetPosition(0);
    ReadGridFromImportStream(TDBGridEhImportAsVCLDBIF::StaticClass(), grid,
                             ViaMemory ? static_cast<TStream*>(&memory) : &text, true);
  }
  // Every field of every record of the grid's data set.
  std::string Records() {
    TDataSet* data = source->DataSet();
    std::string out;
    for (data->First(); !data->Eof(); data->Next(), out += "\n")
      for (int i = 0; i < data->Fields()->Count(); ++i)
        out += (data->Fields()->Fields(i)->IsNull() ? "<null>" : data->Fields()->Fields(i)->AsString()) + "|";
    return out;
  }
};

TEST_F(VclDbifTest, WritesTheRecordOfAnIntegerANullAndATextByteForByte) {
  AddColumns({"ID", "AMOUNT", "NAME"});
  dataSet->AppendRecord({5, Variant("ab")});  // ID, NAME; AMOUNT stays Null
  EXPECT_EQ(Hex(Export()),
            "56 43 4C 44 42 49 46 01 03 00 00 00 01 00 01 00 01 00 03 05 00 00 00 02 05 02 00 00 "
            "00 61 62 00");
}

TEST_F(VclDbifTest, EachFieldTypeGoesOutWithItsTag) {
  const std::tuple<TFieldType, int, Variant, std::string> cases[] = {
      {ftSmallint, 0, -2, "03 FE FF FF FF"},
      {ftWord, 0, 65535, "03 FF FF 00 00"},
      {ftInteger, 0, Null(), "02"},
      {ftCurrency, 0, 2.5, "04 00 00 00 00 00 00 04 40"},
      {ftDate, 0, Variant::FromDate(3.0), "04 00 00 00 00 00 00 08 40"},
      {ftBCD, 4, 1.25, "04 00 00 00 00 00 00 F4 3F"},
      {ftString, 10, "ab", "05 02 00 00 00 61 62"},
      {ftBoolean, 0, true, "05 04 00 00 00 54 72 75 65"},
      {ftLargeint, 0, 1099511627776LL, "05 0D 00 00 00 31 30 39 39 35 31 31 36 32 37 37 37 36"},
      {ftMemo, 0, "中", "05 03 00 00 00 E4 B8 AD"},
      {ftBlob, 0, std::string("\0\xFF", 2), "06 02 00 00 00 00 FF"},
      {ftWideString, 10, u"中", "07 02 00 00 00 2D 4E"},
      {ftVariant, 0, 1, "01"}};
  for (const auto& [type, size, value, cell] : cases) {
    SCOPED_TRACE(cell);
    auto* data = new TMemoryDataSet(form);
    data->FieldDefs()->Add("F", type, size);
    data->CreateDataSet(), data->Append(), data->FieldByName("F")->SetValue(value), data->Post();
    source->SetDataSet(data);
    const std::string bytes = Export();
    EXPECT_EQ(Hex(bytes.substr(14, bytes.size() - 15)), cell);
  }
}

TEST_F(VclDbifTest, RoundTripsEveryValueAndTakesOnlyTheTargetsColumns) {
  AddRows({{1, "a,b;\"c\"\t中\r\n", 1.5}, {2, "", -0.25}});
  dataSet->AppendRecord({3});
  const std::string before = Records(), stream = Export();
  for (bool viaMemory : {true, false}) {
    for (dataSet->First(); !dataSet->Eof(); dataSet->Next())
      dataSet->Edit(), dataSet->ClearFields(), dataSet->Post();
    Import(stream + std::string(5, '\xAB'), viaMemory);  // a clipboard block's rounding is not read
    EXPECT_EQ(Records(), before);
  }
  // Three cells a record for the two target columns: the third is dropped; tag 1 keeps, tag 2 clears.
  grid->Columns()->Clear(), AddColumns({"ID", "NAME"});
  Import(
      Unhex("56 43 4C 44 42 49 46 01 03 00 00 00 01 00 01 00 01 00 03 07 00 00 00 05 01 00 00 00 78 03 63 00 "
            "00 00 01 02 03 64 00 00 00 00 "));
  EXPECT_EQ(Records(), "7|x|1.5|True|\n2|<null>|-0.25|False|\n3|<null>|<null>|<null>|\n");
}

TEST_F(VclDbifTest, ALookupColumnCarriesItsKeysAndAShortKeyListIsAskedAbout) {
  auto* names = new TMemoryDataSet(form);
  names->FieldDefs()->Add("A", ftInteger), names->FieldDefs()->Add("B", ftInteger),
      names->FieldDefs()->Add("T", ftString, 10);
  names->CreateDataSet(), names->AppendRecord({1, 2, "one-two"});
  auto* items = new TMemoryDataSet(form);
  items->FieldDefs()->Add("K1", ftInteger), items->FieldDefs()->Add("K2", ftInteger);
  for (int i = 0; i < 2; ++i) items->FieldDefs()->Items(i)->CreateField(items);
  TField* name = CreateFieldForType(ftString, items);
  name->SetFieldName("NAME"), name->SetFieldKind(fkLookup), name->SetKeyFields("K1;K2"),
      name->SetDataSet(items);
  name->SetLookupDataSet(names), name->SetLookupKeyFields("A;B"), name->SetLookupResultField("T");
  items->CreateDataSet(), items->AppendRecord({1, 2});
  source->SetDataSet(items), AddColumns({"NAME", "NONE"});
  const std::string stream = Export();
  EXPECT_EQ(Hex(stream.substr(16)), "07 06 00 00 00 31 00 2C 00 32 00 01 00");
  items->Edit(), items->ClearFields(), items->Post();
  Import(stream);
  EXPECT_EQ(Records(), "1|2|one-two|\n");

  const std::string shortKey = stream.substr(0, 16) + Unhex("07 02 00 00 00 35 00 01 00 ");
  for (TModalResult answer : {mrNo, mrYes}) {
    SCOPED_TRACE(answer);
    PushMessageDlgAnswer(answer);
    EXPECT_EQ(ErrorOf([&] { Import(shortKey); }),
              answer == mrNo ? "The value \"5\" of column \"NAME\" has 1 parts for the 2 key fields \"K1;K2\""
                             : "");
    EXPECT_EQ(Records(), "1|2|one-two|\n");
  }
}

TEST_F(VclDbifTest, EveryMalformedStreamIsTheFormatErrorWithNoRecordChanged) {
  AddRows({{1, "one", 1.5}});
  const std::string before = Records();
  const std::string head = "56 43 4C 44 42 49 46 01 ",
                    valid = head + "02 00 00 00 01 00 01 00 03 09 00 00 00 02 00 ";
  Import(Unhex(head + "00 00 00 00 00 "));  // no columns, only the end mark: nothing to do
  std::vector<std::string> cases = {
      head + "00 00 00 00 01 00 ",                                // no columns, yet a record
      head + "FF FF FF FF 00 ",                                   // negative column count
      head + "FF FF FF 7F 01 00 00 ",                             // more columns than bytes
      "56 43 4C 44 42 49 46 02 00 00 00 00 00 ",                  // version 2
      head + "01 00 00 00 01 00 08 00 ",                          // tag above 7
      head + "01 00 00 00 01 00 05 FF FF FF FF 00 ",              // negative length
      head + "01 00 00 00 01 00 06 02 00 00 00 61 ",              // one byte beyond what is left
      head + "01 00 00 00 01 00 07 03 00 00 00 61 00 62 00 ",     // odd wide byte count
      head + "01 00 00 00 01 00 05 02 00 00 00 C3 28 00 ",        // not UTF-8
      head + "01 00 00 00 01 00 05 03 00 00 00 ED A0 80 00 ",     // a surrogate in UTF-8
      head + "01 00 00 00 01 00 04 00 00 00 00 00 00 F8 7F 00 ",  // NaN
      head + "01 00 00 00 01 00 04 00 00 00 00 00 00 F0 FF 00 ",  // -infinity
      head + "02 00 00 00 01 00 01 00 02 00 ",                    // the end mark inside a record
  };
  for (size_t cut = 0; cut + 3 < valid.size(); cut += 3) cases.push_back(valid.substr(0, cut));
  for (size_t at = 0; at < 7; ++at)
    cases.push_back(valid.substr(0, at * 3) + "20" + valid.substr(at * 3 + 2));
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i]);
    EXPECT_EQ(ErrorOf([&] { Import(Unhex(cases[i]), i % 2 == 0); }), kFormatError);  // both stream kinds
    EXPECT_EQ(Records(), before);
  }
}

}  // namespace
