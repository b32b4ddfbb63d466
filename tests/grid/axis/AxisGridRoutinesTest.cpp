// The axis grid's unit routines: integers from fields, saved fonts, the text-fit test, the
// read-only test of lookup fields and the editor's text without selection.
#include <cmath>

#include "grid/axis/AxisGridRoutinesEh.h"
#include "platform/vcl/StdCtrls.h"
#include "tests/grid/axis/AxisGridTestSupport.h"

namespace {

class AxisGridRoutines : public AxisGridTestBase {};

TEST_F(AxisGridRoutines, FieldAsIntegerRoundsThenChecksTheRange) {
  TMemoryDataSet* ds = new TMemoryDataSet(form);
  for (auto [name, type] : {std::pair{"I", ftInteger},
                            {"S", ftSmallint},
                            {"L", ftLargeint},
                            {"F", ftFloat},
                            {"C", ftCurrency},
                            {"T", ftString}})
    ds->FieldDefs()->Add(name, type, type == ftString ? 10 : 0);
  ds->CreateDataSet();
  ds->Append();
  struct Case {
    const char* id;
    const char* field;
    Variant value;
    int32_t expected;
  };
  const double two31 = std::ldexp(1.0, 31);
  const Case cases[] = {
      {"int", "I", 42, 42},
      {"smallint", "S", -7, -7},
      {"large-in", "L", Variant(Int64{-2147483648LL}), INT32_MIN},
      {"large-out", "L", Variant(Int64{2147483648LL}), -1},
      {"float-2^31", "F", two31, -1},
      {"float--2^31", "F", -two31, INT32_MIN},
      {"float-rounds-down-into-range", "F", 2147483647.4, INT32_MAX},
      {"float-rounds-up-out-of-range", "F", 2147483647.6, -1},
      {"float-half-even", "F", 2.5, 2},
      {"float-null", "F", Variant::Null(), -1},
      {"currency", "C", 3.5, 4},
      {"string", "T", "12", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    ds->FieldByName(c.field)->SetValue(c.value);
    EXPECT_EQ(GetFieldAsInteger(ds->FieldByName(c.field), -1), c.expected);
  }
}

TEST_F(AxisGridRoutines, FontRecordWritesOnlyWhatDiffers) {
  TFont font;
  font.SetName("Serif");
  font.SetStyle(TFontStyles{fsBold});
  int changes = 0;
  font.OnChange = TNotifyEvent([&](TObject*) { ++changes; });
  TFontDataRecEh rec;
  GetFontDataRec(&font, rec);
  SetFontDataRec(rec, &font);
  EXPECT_EQ(changes, 0);
  rec.Color = clRed;
  SetFontDataRec(rec, &font);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(font.Color(), clRed);
}

TEST_F(AxisGridRoutines, TextTooLongForRect) {
  // The test font: 7 px a character, 13 px a line; "abc" is 21 px wide.
  TControlCanvas canvas;
  canvas.SetControl(grid);
  struct Case {
    const char* id;
    int width, height, extraWidth, extraHeight;
    bool expected;
  };
  const Case cases[] = {
      {"fits", 25, 13, 0, 0, false},
      {"one-px-too-narrow", 24, 13, 0, 0, true},
      {"extra-width", 30, 13, 6, 0, true},
      {"height-plus-one-still-fits", 40, 12, 0, 0, false},
      {"too-high", 40, 11, 0, 0, true},
      {"extra-height", 40, 14, 3, 0, false},
      {"extra-height-too-high", 40, 14, 0, 3, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(IsTextTooLongForRect(&canvas, "abc", TRect{0, 0, c.width, c.height}, false, c.extraWidth,
                                   c.extraHeight),
              c.expected);
  }
}

TEST_F(AxisGridRoutines, LookupFieldReadOnlyFollowsItsKeys) {
  dataSet->Close();
  for (int i = 0; i < dataSet->FieldDefs()->Count(); ++i)
    dataSet->FieldDefs()->Items(i)->CreateField(dataSet);
  TField* lookup = CreateFieldForType(ftString, dataSet);
  lookup->SetFieldName("LK");
  lookup->SetFieldKind(fkLookup);
  lookup->SetDataSet(dataSet);
  TField* id = dataSet->FieldByName("ID");
  TField* name = dataSet->FieldByName("NAME");
  struct Case {
    const char* id;
    const char* keys;
    bool lookupRO, idRO, nameRO;
    bool expected;
  };
  const Case cases[] = {
      {"no-keys", "", false, true, true, false},
      {"no-keys-itself-ro", "", true, false, false, true},
      {"one-key-writable", "ID", false, false, true, false},
      {"all-keys-ro", "ID;NAME", false, true, true, true},
      {"one-of-two-writable", "ID;NAME", false, true, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    lookup->SetKeyFields(c.keys);
    lookup->SetReadOnly(c.lookupRO);
    id->SetReadOnly(c.idRO);
    name->SetReadOnly(c.nameRO);
    EXPECT_EQ(FieldIsReadOnly(lookup), c.expected);
  }
  EXPECT_FALSE(FieldIsReadOnly(dataSet->FieldByName("AMOUNT")));
}

TEST_F(AxisGridRoutines, EditTextWithoutSelection) {
  TEdit* edit = new TEdit(form);
  edit->SetParent(form);
  edit->SetText("h\xC3\xA9llo");
  edit->SetSelStart(1);
  edit->SetSelLength(2);
  EXPECT_EQ(GetTextWithoutSelection(edit), "hlo");
}

}  // namespace
