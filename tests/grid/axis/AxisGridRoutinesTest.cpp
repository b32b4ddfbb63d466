// The axis grid's unit routines: integers from fields, saved fonts, the text-fit test, the
// read-only test of lookup fields and the editor's text without selection.
#include <cmath>

#include "grid/axis/AxisGridRoutinesEh.h"
#include "platform/vcl/StdCtrls.h"
#include "tests/grid/axis/AxisGridTestSupport.h"

namespace {

class AxisGridRoutines : public AxisGridTestBase {};

TEST_F(AxisGridRoutines, FieldAsIntegerRoundsThenChecksTheRange) {
  auto* ds = new TMemoryDataSet(form);
  for (auto [name, type] : {std::pair{"I", ftInteger}, {"L", ftLargeint}, {"F", ftFloat}, {"C", ftCurrency}})
    ds->FieldDefs()->Add(name, type);
  ds->FieldDefs()->Add("T", ftString, 10);
  ds->CreateDataSet();
  ds->Append();
  const double two31 = std::ldexp(1.0, 31);
  const std::tuple<const char*, Variant, int32_t> cases[] = {
      {"I", 42, 42},
      {"L", Variant(Int64{-2147483648LL}), INT32_MIN},
      {"L", Variant(Int64{2147483648LL}), -1},
      {"F", two31, -1},
      {"F", -two31, INT32_MIN},
      {"F", 2147483647.4, INT32_MAX},  // rounds down into the range
      {"F", 2147483647.6, -1},         // rounds up out of it
      {"F", 2.5, 2},                   // half to even
      {"F", Variant::Null(), -1},
      {"C", 3.5, 4},
      {"T", "12", -1},
  };
  for (const auto& [field, value, expected] : cases) {
    SCOPED_TRACE(testing::Message() << field << " " << VarToStr(value));
    ds->FieldByName(field)->SetValue(value);
    EXPECT_EQ(GetFieldAsInteger(ds->FieldByName(field), -1), expected);
  }
}

TEST_F(AxisGridRoutines, FontRecordWritesOnlyWhatDiffersAndEditTextDropsTheSelection) {
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

  auto* edit = new TEdit(form);
  edit->SetParent(form);
  edit->SetText("h\xC3\xA9llo");  // the selection counts characters, not bytes
  edit->SetSelStart(1);
  edit->SetSelLength(2);
  EXPECT_EQ(GetTextWithoutSelection(edit), "hlo");
}

TEST_F(AxisGridRoutines, TextTooLongForRect) {
  // The test font: 7 px a character, 13 px a line; "abc" is 21 px wide, 4 px go to margins.
  TControlCanvas canvas;
  canvas.SetControl(grid);
  struct Case {
    int width, height, extraWidth, extraHeight;
    bool expected;
  };
  const Case cases[] = {
      {25, 13, 0, 0, false}, {24, 13, 0, 0, true},  {30, 13, 6, 0, true}, {40, 12, 0, 0, false},
      {40, 11, 0, 0, true},  {40, 14, 3, 0, false}, {40, 14, 0, 3, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " +" << c.extraWidth << "/"
                                    << c.extraHeight);
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
  struct Case {
    const char* keys;
    bool lookupRO, idRO, nameRO, expected;
  };
  const Case cases[] = {
      {"", false, true, true, false},         {"", true, false, false, true},
      {"ID", false, false, true, false},      {"ID;NAME", false, true, true, true},
      {"ID;NAME", false, true, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.keys << " " << c.lookupRO << c.idRO << c.nameRO);
    lookup->SetKeyFields(c.keys);
    lookup->SetReadOnly(c.lookupRO);
    dataSet->FieldByName("ID")->SetReadOnly(c.idRO);
    dataSet->FieldByName("NAME")->SetReadOnly(c.nameRO);
    EXPECT_EQ(FieldIsReadOnly(lookup), c.expected);
  }
  EXPECT_FALSE(FieldIsReadOnly(dataSet->FieldByName("AMOUNT")));
}

}  // namespace
