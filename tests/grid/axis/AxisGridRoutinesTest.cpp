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
  // The rect's width and height, the extra width and height: whether the text is too long.
  const std::tuple<const char*, int, int, int, int, bool> cases[] = {
      {"fits", 25, 13, 0, 0, false},
      {"one-px-too-narrow", 24, 13, 0, 0, true},
      {"extra-width", 30, 13, 6, 0, true},
      {"height-plus-one-still-fits", 40, 12, 0, 0, false},
      {"too-high", 40, 11, 0, 0, true},
      {"extra-height", 40, 14, 3, 0, false},
      {"extra-height-too-high", 40, 14, 0, 3, true},
  };
  for (const auto& [id, width, height, extraWidth, extraHeight, expected] : cases) {
    SCOPED_TRACE(id);
    EXPECT_EQ(
        IsTextTooLongForRect(&canvas, "abc", TRect{0, 0, width, height}, false, extraWidth, extraHeight),
        expected);
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
  // The key fields; whether the lookup field, ID and NAME are read-only: the lookup's answer.
  const std::tuple<const char*, const char*, bool, bool, bool, bool> cases[] = {
      {"no-keys", "", false, true, true, false},
      {"no-keys-itself-ro", "", true, false, false, true},
      {"one-key-writable", "ID", false, false, true, false},
      {"all-keys-ro", "ID;NAME", false, true, true, true},
      {"one-of-two-writable", "ID;NAME", false, true, false, false},
  };
  for (const auto& [id, keys, lookupRO, idRO, nameRO, expected] : cases) {
    SCOPED_TRACE(id);
    lookup->SetKeyFields(keys);
    lookup->SetReadOnly(lookupRO);
    dataSet->FieldByName("ID")->SetReadOnly(idRO);
    dataSet->FieldByName("NAME")->SetReadOnly(nameRO);
    EXPECT_EQ(FieldIsReadOnly(lookup), expected);
  }
  EXPECT_FALSE(FieldIsReadOnly(dataSet->FieldByName("AMOUNT")));
}

}  // namespace
