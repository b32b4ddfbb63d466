#include <gtest/gtest.h>

#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DbUtilsEh.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"

namespace {

const TFilterDateFormatterEh kIsoDate = [](TDateTime d) {
  return "'" + FormatDateTime("yyyy-mm-dd", d) + "'";
};

TFormatSettings Decimals(const char* Separator) {
  TFormatSettings s;
  s.DecimalSeparator = Separator;
  s.ThousandSeparator = Separator[0] == ',' ? "." : ",";
  return s;
}

// A grid over ID, NAME, AMOUNT, DAY, never shown: only its columns and their conditions are used.
class FilterTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    InitDBGridEhUnit();
    form = new TForm(Application, 0);
    form->AfterConstruction();
    dataSet = new TMemoryDataSet(form);
    for (auto [name, type] :
         {std::pair{"ID", ftInteger}, {"NAME", ftString}, {"AMOUNT", ftFloat}, {"DAY", ftDate}})
      dataSet->FieldDefs()->Add(name, type, type == ftString ? 20 : 0);
    dataSet->CreateDataSet();
    const std::tuple<int, const char*, double> rows[] = {
        {1, "O'Brien", 1.5}, {2, "Anna", 2.25}, {3, "Bob", 10}, {4, "Abel", 0.5}};
    for (auto [id, name, amount] : rows)
      dataSet->AppendRecord({id, name, amount, Variant::FromDate(EncodeDate(2024, 1, 1 + 2 * id))});
    auto* source = new TDataSource(form);
    source->SetDataSet(dataSet);
    grid = new TDBGridEh(form);
    grid->SetParent(form);
    grid->SetDataSource(source);
    for (const char* name : {"ID", "NAME", "AMOUNT", "DAY"}) grid->Columns()->Add()->SetFieldName(name);
  }
  void TearDown() override { ResetVcl(); }
  TColumnEh* Col(int i) { return grid->Columns()->GetColumn(i); }
  void Filter(int Column, const std::string& Text) {
    TSTFilterExpressionEh e;
    e.ValueKind = FilterValueKindOf(Col(Column));
    ParseFilterExpression(Text, e, dfoAutomaticEh);
    Col(Column)->STFilter()->SetExpression(e);
  }
  std::string GridText(bool UseFieldOrigin = false) {
    std::string text = "stale";
    BuildGridFilterText(grid, {}, kIsoDate, text, false, true, UseFieldOrigin);
    return text;
  }

  TForm* form = nullptr;
  TMemoryDataSet* dataSet = nullptr;
  TDBGridEh* grid = nullptr;
};

}  // namespace

TEST(FilterTextLiteralTest, DoublesAlwaysWithPointDatesThroughTheFormatterStringsQuoted) {
  const Variant day = Variant::FromDate(EncodeDate(2024, 1, 5));
  const std::tuple<Variant, TFilterDateFormatterEh, const char*> cases[] = {
      {1.5, {}, "1.5"}, {-0.25, {}, "-0.25"}, {1234567.5, {}, "1234567.5"},    {"O'Br''", {}, "'O''Br'''''"},
      {"", {}, "''"},   {7, {}, "'7'"},       {day, kIsoDate, "'2024-01-05'"}, {day, {}, "'2024-01-05'"}};
  for (const char* separator : {".", ","}) {
    TFormatSettingsScope scope(Decimals(separator));
    for (const auto& [value, formatter, text] : cases) {
      SCOPED_TRACE(std::string(text) + " under " + separator);
      EXPECT_EQ(QuoteFilterValue(value, formatter), text);
    }
  }
}

TEST(FilterTextConditionTest, EveryOperatorWithEqualNullAndLikeOffAndOn) {
  const Variant ab = VarArrayOf({Variant("a"), Variant("b")}), none;
  // clang-format off
  const std::tuple<TSTFilterOpEh, Variant, const char*, const char*> cases[] = {
      // operator, operand, text with UseEqualNull and LikeSupported off, text with both on
      {fopEqualEh, "a", " [F] = 'a'", " [F] = 'a'"},        {fopNotEqualEh, 1.5, " [F] <> 1.5", " [F] <> 1.5"},
      {fopGreaterEh, 1.5, " [F] > 1.5", " [F] > 1.5"},      {fopLessEh, 2.0, " [F] < 2", " [F] < 2"},
      {fopGreaterOrEqualEh, "x", " [F] >= 'x'", " [F] >= 'x'"}, {fopLessOrEqualEh, "x", " [F] <= 'x'", " [F] <= 'x'"},
      {fopLikeEh, "a%", " [F] = 'a%'", " [F] Like 'a%'"},   {fopNotLikeEh, "a%", " [F] <> 'a%'", " Not ( [F] Like 'a%')"},
      {fopInEh, ab, " ([F] = 'a' OR [F] = 'b')", " ([F] = 'a' OR [F] = 'b')"}, {fopInEh, "a", " ([F] = 'a')", " ([F] = 'a')"},
      {fopNotInEh, ab, " NOT ([F] = 'a' OR [F] = 'b')", " NOT ([F] = 'a' OR [F] = 'b')"},
      {fopNullEh, none, " [F] IS NULL", " [F] = NULL"},     {fopNotNullEh, none, " [F] IS NOT NULL", " [F] <> NULL"},
      {fopEqualNullEh, none, " [F] = NULL", " [F] = NULL"}, {fopNotEqualNullEh, none, " [F] <> NULL", " [F] <> NULL"},
      // The empty text takes the Nulls, which look the same.
      {fopEqualEh, "", " ([F] = '' OR [F] IS NULL)", " ([F] = '' OR [F] = NULL)"},
      {fopInEh, VarArrayOf({Variant("a"), Variant("")}), " ([F] = 'a' OR [F] = '' OR [F] IS NULL)",
       " ([F] = 'a' OR [F] = '' OR [F] = NULL)"},
      {fopNotInEh, "", " NOT ([F] = '' OR [F] IS NULL)", " NOT ([F] = '' OR [F] = NULL)"},
      {fopNotEqualEh, "", " [F] <> ''", " [F] <> ''"}};
  // clang-format on
  for (const auto& [op, operand, textOff, textOn] : cases) {
    for (bool on : {false, true}) {
      SCOPED_TRACE(on ? textOn : textOff);
      std::string text;
      BuildConditionText(op, operand, "F", nullptr, {}, on, on, text);
      EXPECT_EQ(text, on ? textOn : textOff);
    }
  }
}

TEST_F(FilterTextTest, GridTextJoinsColumnsKeepsOneBlankAndIsEmptyWithoutConditions) {
  EXPECT_EQ(GridText(), "");  // nothing filtered: no characters cut from an empty text
  Filter(1, "'a','b'");
  Filter(2, ">1.5");
  EXPECT_EQ(GridText(), " ([NAME] = 'a' OR [NAME] = 'b') AND  [AMOUNT] > 1.5 ");
  Filter(1, "");
  Filter(2, "<1 OR >5");
  EXPECT_EQ(GridText(), "( [AMOUNT] < 1 OR [AMOUNT] > 5) ");
  Col(2)->STFilter()->Expression().ValueKind = fvkNoneEh;  // a kind-less column writes nothing
  EXPECT_EQ(GridText(), "");
  // The origin names the field only when the filter settings name no data field.
  Filter(1, "=x");
  Col(1)->GetField()->SetOrigin("T.NM");
  const std::tuple<bool, const char*, const char*> names[] = {
      {false, "", " [NAME] = 'x' "}, {true, "", " [T.NM] = 'x' "}, {true, "N2", " [N2] = 'x' "}};
  for (const auto& [useOrigin, dataField, text] : names) {
    Col(1)->STFilter()->SetDataField(dataField);
    EXPECT_EQ(GridText(useOrigin), text);
  }
}

TEST_F(FilterTextTest, TheMemoryDataSetReadsTheBuiltText) {
  // clang-format off
  const std::tuple<const char*, const char*, const char*, const char*, std::vector<int>> cases[] = {
      // decimal separator, NAME, AMOUNT, DAY condition texts; the IDs the filter keeps
      {".", "'O''Brien','Bob'", "", "", {1, 3}}, {".", "A%", "<2", "", {4}}, {".", "!~A%", "", "", {1, 3}},
      {".", "", "<1 OR >5", "", {3, 4}}, {".", "", "", ">=2024-01-05", {2, 3, 4}}, {",", "", ">1,5", "<=2024-01-07", {2, 3}}};
  // clang-format on
  for (const auto& [separator, name, amount, day, expected] : cases) {
    SCOPED_TRACE(std::string(name) + amount + day);
    TFormatSettingsScope scope(Decimals(separator));
    Filter(1, name);
    Filter(2, amount);
    Filter(3, day);
    dataSet->SetFilter(GridText());
    dataSet->SetFiltered(true);
    std::vector<int> ids;
    for (dataSet->First(); !dataSet->Eof(); dataSet->Next())
      ids.push_back(dataSet->FieldByName("ID")->AsInteger());
    EXPECT_EQ(ids, expected) << dataSet->Filter();
  }
}

TEST_F(FilterTextTest, ValueKindByFieldTypeAndPickedColumns) {
  // clang-format off
  const std::pair<TFieldType, TSTFilterValueKindEh> types[] = {{ftString, fvkStringEh}, {ftGuid, fvkStringEh},
      {ftVariant, fvkStringEh}, {ftLargeint, fvkNumberEh}, {ftFMTBcd, fvkNumberEh}, {ftTimeStamp, fvkDateTimeEh},
      {ftTime, fvkDateTimeEh}, {ftBoolean, fvkBooleanEh}, {ftBlob, fvkNoneEh}, {ftBytes, fvkNoneEh}, {ftUnknown, fvkNoneEh}};
  // clang-format on
  for (auto [type, kind] : types) EXPECT_EQ(FilterValueKindOf(type), kind) << type;
  Col(0)->KeyList()->Add("1");
  EXPECT_EQ(FilterValueKindOf(Col(0)), fvkNumberEh);  // keys alone: still the field's kind
  Col(0)->PickList()->Add("one");
  EXPECT_EQ(FilterValueKindOf(Col(0)), fvkStringEh);
}
