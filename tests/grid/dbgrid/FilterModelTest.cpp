#include <string>
#include <vector>

#include "grid/dbgrid/DBGridEhFilterListItems.h"
#include "grid/dbgrid/DbUtilsEh.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FormatSettings.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

// Columns ID, NAME, AMOUNT, PAID over three rows; a city list (CODE, CITY) for list sources.
class FilterModelTest : public DBGridTestBase {
 protected:
  void SetUp() override {
    DBGridTestBase::SetUp();
    AddColumns({"ID", "NAME", "AMOUNT", "PAID"});
    AddRows({{1, "Anna", 1.5}, {2, "Bob", 2.5}, {3, "Carl", 3.5}});
    cities = new TMemoryDataSet(form);
    cities->FieldDefs()->Add("CODE", ftInteger);
    cities->FieldDefs()->Add("CITY", ftString, 20);
    cities->CreateDataSet();
    for (auto [code, city] : {std::pair{1, "Xian"}, {2, "Hefei"}, {3, "Wuhan"}})
      cities->AppendRecord({code, city});
    citySource = new TDataSource(form);
    citySource->SetDataSet(cities);
  }
  TSTColumnFilterEh* F(int Column) { return grid->Columns()->GetColumn(Column)->STFilter(); }
  // Items of a value list: the texts, each a plain value.
  void SetItems(TSTColumnFilterEh* Filter, const std::vector<std::string>& Texts) {
    items.Clear();
    for (const std::string& t : Texts) items.AddObject(t, PopupListboxItemEhData());
    Filter->ListItems = &items;
    Filter->CheckStates.assign(Texts.size(), 0);
  }
  std::string Ticks(TSTColumnFilterEh* Filter) {
    std::string s;
    for (uint8_t c : Filter->CheckStates) s += c ? '1' : '0';
    return s;
  }
  TMemoryDataSet* cities = nullptr;
  TDataSource* citySource = nullptr;
  TStringList items;
};

}  // namespace

TEST_F(FilterModelTest, EveryTextFormReadsBackToTheSameCondition) {
  struct Case {
    int Column;
    const char *Text, *Shown;
    bool Comma;
  } cases[] = {
      {1, "abc", "~ 'abc'", false},
      {1, "='O''Neil' OR ~x", "= 'O''Neil' OR ~ 'x'", false},
      {1, "in (a, b)", "In ('a','b')", false},
      {1, "!in ('x,y')", "!In ('x,y')", false},
      {1, "<>Null AND =Null", "<>Null AND =Null", false},
      {2, "in (1,2)", "In (1,2)", false},
      {2, ">1.5 AND <=3", "> 1.5 AND <= 3", false},
      {2, "=0.30000000000000004", "= 0.30000000000000004", false},
      {2, "in ('1,5', 2)", "In ('1,5',2)", true},
      {2, ">=1,25", ">= '1,25'", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text);
    TFormatSettings locale;
    if (c.Comma) locale.DecimalSeparator = ",";
    TFormatSettingsScope scope{locale};
    F(c.Column)->SetExpressionStr(c.Text);
    EXPECT_EQ(F(c.Column)->ExpressionStr(), c.Text);
    const std::string shown = F(c.Column)->GetExpressionAsText();
    EXPECT_EQ(shown, c.Shown);
    const TSTFilterExpressionEh first = F(c.Column)->Expression();
    F(c.Column)->SetExpressionStr(shown);
    EXPECT_EQ(F(c.Column)->GetExpressionAsText(), shown);
    EXPECT_EQ(F(c.Column)->Expression().Operator1, first.Operator1);
    EXPECT_EQ(F(c.Column)->Expression().Operator2, first.Operator2);
  }
  // A date is written in the program's form, milliseconds kept.
  TSTFilterExpressionEh e;
  e.ValueKind = fvkDateTimeEh;
  e.Operator1 = fopEqualEh;
  e.Operand1 = Variant::FromDate(EncodeDate(2024, 1, 5) + EncodeTime(10, 30, 0, 250));
  F(1)->SetExpression(e);
  EXPECT_EQ(F(1)->GetExpressionAsText(), "= 2024-01-05 10:30:00.250");
}

TEST_F(FilterModelTest, QuotedFormAndListSourceText) {
  const std::tuple<Variant, TSTFilterOpEh, const char*> cases[] = {
      {Variant("a,b"), fopInEh, "'a,b'"},
      {Variant("a,b"), fopEqualEh, "a,b"},
      {Variant(" x"), fopEqualEh, "' x'"},
      {Variant("x "), fopEqualEh, "'x '"},
      {Variant("'q"), fopEqualEh, "'''q'"},
      {Variant("it's"), fopEqualEh, "it's"},
      {Variant("a or"), fopEqualEh, "'a or'"},
      {Variant("b AND"), fopEqualEh, "'b AND'"},
      {Variant("and"), fopEqualEh, "'and'"},
      {Variant("null"), fopEqualEh, "'null'"},
      {Variant("a <b"), fopEqualEh, "'a <b'"},
      {Variant(""), fopEqualEh, "''"},
      {Variant(1.5), fopEqualEh, "1.5"},
      {VarArrayOf({Variant("a"), Variant("b,c")}), fopNotInEh, "a,'b,c'"}};
  for (const auto& [value, op, quoted] : cases) {
    SCOPED_TRACE(quoted);
    EXPECT_EQ(F(1)->GetOperandAsQuotedText(value, op), quoted);
  }
  F(1)->SetListSource(citySource);
  F(1)->SetExpressionStr("'a','b'");
  EXPECT_EQ(F(1)->GetExpressionAsText(), "'a','b'");
  F(1)->SetExpressionStr("a");
  EXPECT_EQ(F(1)->GetExpressionAsText(), "a");
}

TEST_F(FilterModelTest, ARefusedTextKeepsConditionAndText) {
  F(2)->SetExpressionStr("=5");
  EXPECT_THROW(F(2)->SetExpressionStr("=abc"), EConvertError);
  EXPECT_THROW(F(2)->SetExpressionStr("=1e999"), EConvertError);
  EXPECT_EQ(ErrorOf([&] { F(2)->SetExpressionStr("in ("); }), "Unexpected expression after operator: in (");
  EXPECT_EQ(F(2)->ExpressionStr(), "=5");
  EXPECT_EQ(F(2)->Expression().Operator1, fopEqualEh);
  EXPECT_EQ(F(2)->Expression().Operand1.AsDouble(), 5.0);
}

TEST_F(FilterModelTest, PickAndKeyListsAndListSourceKeys) {
  TColumnEh* name = grid->Columns()->GetColumn(1);
  name->KeyList()->SetText("1\n2\n");
  name->PickList()->SetText("one\ntwo\n");
  F(1)->SetExpressionStr("in (one, three)");
  EXPECT_EQ(VarToStr(F(1)->Expression().Operand1.GetElement(0)), "1");
  EXPECT_EQ(VarToStr(F(1)->Expression().Operand1.GetElement(1)), "three");
  SetItems(F(1), {"one", "two", "three"});
  F(1)->CheckStatesFromExpression();
  EXPECT_EQ(Ticks(F(1)), "101");

  // A list source: the condition keeps the shown cities, the key value their codes.
  F(3)->SetListSource(citySource);
  F(3)->SetKeyField("CODE");
  F(3)->SetListField("CITY");
  EXPECT_TRUE(VarIsNull(F(3)->GetOperand1()));
  cities->Last();
  F(3)->SetExpressionStr("Hefei");
  EXPECT_EQ(F(3)->Expression().Operator1, fopEqualEh);
  EXPECT_EQ(F(3)->GetOperand1().AsInteger(), 2);
  EXPECT_EQ(F(3)->GetExpressionAsText(), "Hefei");
  F(3)->SetExpressionStr("'Xian','Nowhere'");
  EXPECT_EQ(F(3)->GetOperand1().GetElement(0).AsInteger(), 1);
  EXPECT_TRUE(VarIsNull(F(3)->GetOperand1().GetElement(1)));
  EXPECT_EQ(cities->RecNo(), 3);
  F(3)->Clear();
  EXPECT_TRUE(VarIsEmpty(F(3)->GetOperand1()));
  EXPECT_EQ(F(3)->ExpressionStr(), "");
}

TEST_F(FilterModelTest, TickingBuildsTheConditionAndTheConditionTicks) {
  const std::tuple<int, std::vector<std::string>, const char*, const char*> build[] = {
      {1, {"abc"}, "10", "='abc'"},           {1, {"a", "b"}, "11", "in ('a','b')"},
      {1, {"O'Neil"}, "1", "='O''Neil'"},     {2, {"", "5"}, "10", "=Null"},
      {2, {"", "5"}, "11", "='5' OR =Null "}, {1, {"a", "b"}, "00", ""}};
  for (const auto& [column, texts, ticks, condition] : build) {
    SCOPED_TRACE(condition);
    SetItems(F(column), texts);
    for (size_t i = 0; i < texts.size(); ++i) F(column)->CheckStates[i] = ticks[i] == '1';
    F(column)->SetExpressionFromCheckStates();
    EXPECT_EQ(F(column)->ExpressionStr(), condition);
  }
  const std::pair<const char*, const char*> tick[] = {
      {"in (a, c)", "100"}, {"=a OR =b", "110"}, {"=a AND =b", "000"}, {"=c", "000"}, {"~a", "000"}};
  SetItems(F(1), {"a", "b", "c"});
  items.SetObject(2, PopupListboxItemEhLine());  // no value: never ticked
  for (const auto& [text, ticks] : tick) {
    SCOPED_TRACE(text);
    F(1)->SetExpressionStr(text);
    F(1)->CheckStatesFromExpression();
    EXPECT_EQ(Ticks(F(1)), ticks);
  }
}

TEST_F(FilterModelTest, FillingKeysLeavesTheListDataSetAsItWas) {
  F(1)->SetKeyField("CODE");
  F(1)->SetListField("CITY");
  F(1)->SetListSource(citySource);
  cities->SetRecNo(2);
  cities->Edit();
  cities->FieldByName("CITY")->SetAsString("Changed");
  F(1)->FillKeyAndListValues();
  EXPECT_EQ(cities->State(), dsEdit);
  cities->Cancel();
  cities->SetRecNo(3);
  F(1)->FillKeyAndListValues();
  EXPECT_EQ(cities->RecNo(), 3);
  EXPECT_FALSE(cities->ControlsDisabled());
  EXPECT_EQ(grid->ColumnByFieldNameForFilter("name"), grid->Columns()->GetColumn(1));
  EXPECT_EQ(grid->ColumnByFieldNameForFilter("none"), nullptr);
}

TEST_F(FilterModelTest, TitleFilterListKeepsTheSizeTheUserGaveIt) {
  grid->STFilter()->SetLocation(stflInTitleFilterEh);
  grid->STFilter()->SetVisible(true);
  Pump();
  grid->DropDownTitleFilter(grid->Columns()->GetColumn(1));
  TPopupListboxEh* list = grid->TitleFilterList();
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(list->Visible());
  EXPECT_EQ(list->Items()->Count(), 6 + 3);  // six special entries, three names
  EXPECT_EQ(list->Rows(), 15);
  list->SetBounds(list->Left(), list->Top(), 260, list->Height() / 3);
  const int rows = list->Rows();
  list->SetSizeGripResized(true);
  list->Perform(WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(list->Visible());
  EXPECT_EQ(F(1)->DropDownWidth, 260);
  EXPECT_EQ(F(1)->DropDownRows, rows);
  grid->DropDownTitleFilter(grid->Columns()->GetColumn(1));
  EXPECT_EQ(list->Width(), 260);
  EXPECT_EQ(list->Rows(), rows);
  grid->CloseTitleFilter();

  // Any entry widens a list to show it whole, a plain value as well; a wider width asked for stays.
  const std::string wide = "a plain value much wider than any asked width";
  grid->OnFillSTFilterListValues = [&wide](TCustomDBGridEh*, TColumnEh*, TStrings* Items, bool& Processed) {
    Items->Add(wide);
    Processed = true;
  };
  const int fitted = FillSTFilterValueList(grid, grid->Columns()->GetColumn(1), list, 7);
  EXPECT_EQ(fitted, FilterListWidthFor(list->Canvas()->TextWidth(wide), list->GetBorderSize()));
  EXPECT_EQ(FillSTFilterValueList(grid, grid->Columns()->GetColumn(1), list, fitted + 9), fitted + 9);
  grid->OnFillSTFilterListValues = TFillSTFilterListValuesEventEh();
  EXPECT_GT(FillSTFilterValueList(grid, grid->Columns()->GetColumn(1), list, 7), 7);
}
