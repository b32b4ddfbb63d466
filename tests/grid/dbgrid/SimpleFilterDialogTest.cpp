// The custom filter dialog: its operator items by column kind, loading a condition into the two
// rows (with the wildcard recognition), OK writing every code back, Cancel, and typed values of
// every sort read back by the parser as typed.
#include <cstdint>
#include <random>

#include "grid/dbgrid/DBGridEhFilterListItems.h"
#include "grid/dbgrid/DBGridEhSimpleFilterDlg.h"
#include "grid/dbgrid/DbUtilsEh.h"
#include "grid/editors/DBComboBoxEh.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win/WinTesting.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

class SimpleFilterDialogTest : public DBGridTestBase {
 protected:
  void SetUp() override {
    DBGridTestBase::SetUp();
    AddColumns({"ID", "NAME", "AMOUNT", "PAID"});
    AddRows({{1, "Anna", 5}, {2, "Anja", 7}, {3, "Annna", 9}});
  }
  TColumnEh* Column(int I) { return grid->Columns()->GetColumn(I); }
  static void Choose(TComboBox* Box, int Code) {
    Box->SetItemIndex(Box->Items()->IndexOfObject(reinterpret_cast<TObject*>(static_cast<intptr_t>(Code))));
  }
  // Opens the dialog on Column; Step sees it while it is shown, then OK or Escape closes it.
  bool Show(TColumnEh* Col, const std::function<void(TDBGridEhSimpleFilterDialog*)>& Step, bool Ok) {
    WinTesting::Schedule([&] {
      dialog = dynamic_cast<TDBGridEhSimpleFilterDialog*>(Screen->ActiveForm());
      ASSERT_NE(dialog, nullptr);
      Step(dialog);
      if (Ok)
        dialog->bOk->Click();
      else
        WinTesting::KeyPress(VK_ESCAPE);
    });
    return ShowSimpleFilterDialog(Col);
  }
  TDBGridEhSimpleFilterDialog* dialog = nullptr;
};

using Row = std::tuple<int, std::string>;

}  // namespace

TEST_F(SimpleFilterDialogTest, ItemsByColumnKindAndOneInstanceReused) {
  const std::tuple<int, int, int, const char*> cases[] = {
      {1, 19, 11, "contains"}, {2, 11, 7, "in list"}, {3, 11, 9, "is blank"}};
  TDBGridEhSimpleFilterDialog* first = nullptr;
  for (const auto& [col, count, index, caption] : cases) {
    SCOPED_TRACE(col);
    EXPECT_FALSE(Show(
        Column(col),
        [&](TDBGridEhSimpleFilterDialog* d) {
          EXPECT_EQ(std::make_tuple(d->ComboBox1->Items()->Count(), d->ComboBox2->Items()->Count(),
                                    d->ComboBox1->Items()->Strings(index), d->Caption(), d->ClientWidth(),
                                    d->ClientHeight(), d->Owner() == Application),
                    std::make_tuple(count, count, std::string(caption), std::string("Custom filter"), 410,
                                    218, true));
        },
        false));
    if (!first) first = dialog;
    EXPECT_EQ(dialog, first);
  }
}

TEST_F(SimpleFilterDialogTest, LoadingShowsEveryOperatorAndCancelKeepsTheFilter) {
  const std::tuple<const char*, Row, bool, Row> cases[] = {
      {"=abc", {1, "abc"}, false, {0, ""}},
      {"<>x AND >a", {2, "x"}, false, {3, "a"}},
      {">=a OR <b", {4, "a"}, true, {5, "b"}},
      {"<=a", {6, "a"}, false, {0, ""}},
      {"~ab%", {7, "ab"}, false, {0, ""}},
      {"!~ab%", {8, "ab"}, false, {0, ""}},
      {"~%ab", {9, "ab"}, false, {0, ""}},
      {"!~%ab", {10, "ab"}, false, {0, ""}},
      {"~%ab%", {11, "ab"}, false, {0, ""}},
      {"!~%ab%", {12, "ab"}, false, {0, ""}},
      {"~%%ab", {13, "%%ab"}, false, {0, ""}},
      {"~ab%%", {13, "ab%%"}, false, {0, ""}},
      {"!~a_b", {14, "a_b"}, false, {0, ""}},
      {"in ('a','b c')", {15, "a,b c"}, false, {0, ""}},
      {"!in ('x,y')", {16, "'x,y'"}, false, {0, ""}},
      {"=Null OR <>Null", {17, ""}, true, {18, ""}},
      {"='a b' OR ~'%salt and pepper%'", {1, "a b"}, true, {11, "'salt and pepper'"}},
      {"=' x'", {1, "' x'"}, false, {0, ""}}};
  for (const auto& [text, row1, useOr, row2] : cases) {
    SCOPED_TRACE(text);
    Column(1)->STFilter()->SetExpressionStr(text);
    EXPECT_FALSE(Show(
        Column(1),
        [&](TDBGridEhSimpleFilterDialog* d) {
          EXPECT_EQ(std::make_tuple(Row{d->SelectedCode(d->ComboBox1), d->DBComboBoxEh1->Text()},
                                    d->rbOr->Checked(), d->rbAnd->Checked(),
                                    Row{d->SelectedCode(d->ComboBox2), d->DBComboBoxEh2->Text()}),
                    std::make_tuple(row1, useOr, !useOr, row2));
          d->DBComboBoxEh1->SetText("changed");
        },
        false));
    EXPECT_EQ(Column(1)->STFilter()->ExpressionStr(), text);
  }
}

// The mended faults among them: values the parser would misread go in quotes, and an empty
// first row leaves the second alone.
TEST_F(SimpleFilterDialogTest, OkWritesEveryCodeAsAFilterTheParserReads) {
  const std::tuple<Row, bool, Row, const char*> cases[] = {
      {{1, "Smith, John"}, false, {2, "x"}, "=Smith, John AND <>x"},
      {{3, "b"}, true, {4, "a'b(c"}, ">b OR >='a''b(c'"},
      {{5, "not x"}, false, {6, "null"}, "<'not x' AND <='null'"},
      {{7, "x or y"}, true, {8, "a"}, "~'x or y%' OR !~a%"},
      {{9, "b"}, false, {10, " b"}, "~%b AND !~% b"},
      {{11, "salt and pepper"}, false, {12, "'q r'"}, "~'%salt and pepper%' AND !~'%q r%'"},
      {{13, "A_na"}, false, {14, "张三"}, "~A_na AND !~张三"},
      {{15, "a, b c ,'d,e', =f"}, false, {16, "x"}, "in(a,b c,'d,e','=f') AND !in(x)"},
      {{0, ""}, true, {17, "ignored"}, "=Null"},
      {{18, ""}, true, {0, ""}, "<>Null"}};
  for (const auto& [row1, useOr, row2, text] : cases) {
    SCOPED_TRACE(text);
    EXPECT_TRUE(Show(
        Column(1),
        [&](TDBGridEhSimpleFilterDialog* d) {
          Choose(d->ComboBox1, std::get<0>(row1));
          d->DBComboBoxEh1->SetText(std::get<1>(row1));
          (useOr ? d->rbOr : d->rbAnd)->SetChecked(true);
          Choose(d->ComboBox2, std::get<0>(row2));
          d->DBComboBoxEh2->SetText(std::get<1>(row2));
        },
        true));
    EXPECT_EQ(Column(1)->STFilter()->ExpressionStr(), text);
  }
  // The dialog's "_" reaches the in-memory data set's Like as one character.
  dataSet->SetFilter("NAME Like 'A_na'");
  dataSet->SetFiltered(true);
  EXPECT_EQ(dataSet->RecordCount(), 1);
}

// Typed values of every sort: OK gives a text that parses to the codes' operators and the values.
TEST_F(SimpleFilterDialogTest, TypedValuesReadBackAsTyped) {
  EXPECT_FALSE(Show(
      Column(1), [](TDBGridEhSimpleFilterDialog*) {}, false));
  const char* const parts[] = {" ", "'", ",", "(", ")", "and", "OR", "not",  "in", "null", "like", "%", "_",
                               "~", "=", "<", "!", "&", "|",   "\"", "张三", "a",  "7",    "''",   "\t"};
  const TSTFilterOpEh kOps[] = {fopNoneEh,           fopEqualEh, fopNotEqualEh,    fopGreaterEh,
                                fopGreaterOrEqualEh, fopLessEh,  fopLessOrEqualEh, fopLikeEh,
                                fopNotLikeEh,        fopLikeEh,  fopNotLikeEh,     fopLikeEh,
                                fopNotLikeEh,        fopLikeEh,  fopNotLikeEh};
  std::mt19937 random(31);
  for (int round = 0; round < 2000; ++round) {
    std::string value;
    for (int n = 1 + static_cast<int>(random() % 6); n > 0; --n) value += parts[random() % std::size(parts)];
    const int code = 1 + static_cast<int>(random() % 14);
    if (value.find_first_not_of(' ') == std::string::npos || value == "''") continue;  // no value
    SCOPED_TRACE("code " + std::to_string(code) + " value [" + value + "]");
    Choose(dialog->ComboBox1, code);
    dialog->DBComboBoxEh1->SetText(value);
    Choose(dialog->ComboBox2, 17);
    dialog->SetFilterFromRows();
    const TSTFilterExpressionEh& e = Column(1)->STFilter()->Expression();
    std::string expected = value;
    if (value.size() > 1 && value.front() == '\'' && value.back() == '\'') {
      TSTFilterExpressionEh quoted;
      quoted.ValueKind = fvkStringEh;
      try {
        ParseFilterExpression("=" + value, quoted, 0);  // a proper literal stands for its value
        if (quoted.Operator1 == fopEqualEh) expected = VarToStr(quoted.Operand1);
      } catch (const Exception&) {
      }
    }
    if (code == 9 || code == 10 || code == 11 || code == 12) expected.insert(0, "%");
    if (code == 7 || code == 8 || code == 11 || code == 12) expected += "%";
    EXPECT_EQ(std::make_tuple(e.Operator1, VarToStr(e.Operand1), e.Relation, e.Operator2),
              std::make_tuple(kOps[code], expected, fopAndEh, fopNullEh));
  }
}

// A key-list column shows its values as the column does: the value editors list the pick texts
// (a value the key list lacks as it is), the rows show the condition's keys picked, and OK hands
// the picked texts back as keys.
TEST_F(SimpleFilterDialogTest, AKeyListColumnShowsAndTakesItsPickTexts) {
  Column(1)->KeyList()->SetText("Anna\nAnja");
  Column(1)->PickList()->SetText("安娜\n安雅");
  Column(1)->STFilter()->SetExpressionStr("=安娜 OR =Annna");
  EXPECT_TRUE(Show(
      Column(1),
      [](TDBGridEhSimpleFilterDialog* d) {
        EXPECT_EQ(
            std::make_tuple(d->DBComboBoxEh1->Items()->CommaText(), d->DBComboBoxEh2->Items()->CommaText(),
                            d->DBComboBoxEh1->Text(), d->DBComboBoxEh2->Text()),
            std::make_tuple("安雅,安娜,Annna", "安雅,安娜,Annna", "安娜", "Annna"));
        d->DBComboBoxEh2->SetText("安雅");
      },
      true));
  const TSTFilterExpressionEh& e = Column(1)->STFilter()->Expression();
  EXPECT_EQ(
      std::make_tuple(Column(1)->STFilter()->ExpressionStr(), VarToStr(e.Operand1), VarToStr(e.Operand2)),
      std::make_tuple("=安娜 OR =安雅", "Anna", "Anja"));
}
