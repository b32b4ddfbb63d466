// Editing the filter row: keys go to the filter editor as input messages, conditions reach the
// columns and the data set, and the editor moves between the filterable columns.
#include <map>
#include <sstream>

#include "platform/win/Input.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

class FilterRowEditTest : public DBGridTestBase {
 protected:
  void SetUp() override {
    DBGridTestBase::SetUp();
    AddColumns({"ID", "NAME", "AMOUNT", "PAID"});
    AddRows({{1, "ab", 1.5}, {2, "cd", 2.5}, {3, "abc", 3.5}, {4, "x", 4.5}});
    grid->STFilter()->SetVisible(true);
    grid->SetFocus();
    Pump();
    handlerErrors.clear();  // what the steps of a test raise is what it checks
  }
  // Space-separated keys, "S-Tab" with Shift, "C-Left" with Ctrl, "A-Down" with Alt; '"text'.
  void Keys(const std::string& Script) {
    static const std::map<std::string, WORD> names{
        {"Up", VK_UP},   {"Down", VK_DOWN}, {"Left", VK_LEFT},    {"Right", VK_RIGHT}, {"Home", VK_HOME},
        {"End", VK_END}, {"Tab", VK_TAB},   {"Enter", VK_RETURN}, {"Esc", VK_ESCAPE},  {"F2", VK_F2}};
    static const std::map<char, WORD> mods{{'S', VK_SHIFT}, {'C', VK_CONTROL}, {'A', VK_MENU}};
    std::istringstream in(Script);
    for (std::string t; in >> t; Pump()) {
      if (t[0] == '"') {
        for (char32_t ch : Utf8ToUtf16(t.substr(1))) Input::Char(ch);
        continue;
      }
      const bool mod = t.size() > 2 && t[1] == '-';
      if (mod) Input::KeyDown(mods.at(t[0]));
      Input::KeyDown(names.at(t.substr(mod ? 2 : 0)));
      Input::KeyUp(names.at(t.substr(mod ? 2 : 0)));
      if (mod) Input::KeyUp(mods.at(t[0]));
    }
  }
  TColumnEh* Column(int I) { return grid->Columns()->GetColumn(I); }
  bool EditorShown() { return grid->FilterEdit() && grid->FilterEdit()->Visible(); }
  bool EditorFocused() { return grid->FilterEdit() && grid->FilterEdit()->Focused(); }
};

// Up from the first record enters the row; Enter writes the condition into the column and the
// data set filters by it; the editor stays in its cell with the condition.
TEST_F(FilterRowEditTest, TypedConditionAppliesOnEnter) {
  int applied = 0;
  grid->OnApplyFilter = [&](TObject*) { ++applied, grid->DefaultApplyFilter(); };
  Keys("Up");
  ASSERT_TRUE(grid->FilterEditMode() && EditorFocused());
  EXPECT_EQ(std::make_pair(grid->FilterEditCol(), grid->FilterEdit()->BoundsRect()),
            std::make_pair(0, grid->CellRect(1, 1)));
  Keys("Tab \"~ab%");
  EXPECT_EQ(std::make_pair(applied, dataSet->RecordCount()), std::make_pair(0, 4));  // typing alone
  auto textOrigin = [this] { return SendMessage(grid->FilterEdit()->Handle(), EM_POSFROMCHAR, 0, 0); };
  const LRESULT typedOrigin = textOrigin();
  Keys("Enter");
  EXPECT_EQ(std::make_tuple(applied, Column(1)->STFilter()->ExpressionStr(), dataSet->Filtered(),
                            dataSet->RecordCount(), grid->FilterEdit()->Text(), EditorFocused()),
            std::make_tuple(1, "~ab%", true, 2, "~ab%", true));
  // The condition shows where it was typed, not scrolled out of the cell by the editor's placing.
  EXPECT_EQ(textOrigin(), typedOrigin);
  Keys("Down");  // to the column's data cell in the top row
  EXPECT_FALSE(grid->FilterEditMode() || EditorShown());
  EXPECT_EQ(std::make_tuple(grid->GetSelectedIndex(), dataSet->RecNo(), grid->Focused()),
            std::make_tuple(1, 1, true));
  EXPECT_EQ(handlerErrors, std::vector<std::string>{});
}

// Column 3 takes no filter: moves skip it, and a search round the columns wraps past it (Tab
// on the last filterable column reaches the first one). Esc leaves the editor where it is.
TEST_F(FilterRowEditTest, KeysMoveBetweenFilterableColumns) {
  Column(3)->STFilter()->SetVisible(false);
  const std::tuple<int, const char*, int> cases[] = {
      {0, "Tab", 1},    {1, "S-Tab", 0}, {2, "Tab", 0},    {0, "S-Tab", 2}, {0, "C-Right", 2},
      {2, "C-Left", 0}, {2, "Right", 0}, {1, "Left", 0},   {2, "Home", 0},  {0, "End", 2},
      {1, "Up", 1},     {1, "Esc", 1},   {1, "Tab Tab", 0}};
  for (const auto& [from, keys, to] : cases) {
    SCOPED_TRACE(keys);
    grid->StartFilterEdit(from);
    Keys(keys);
    EXPECT_EQ(std::make_tuple(grid->FilterEditCol(), grid->GetSelectedIndex(), EditorFocused()),
              std::make_tuple(to, to, true));
  }
  grid->StartFilterEdit(3);  // never edited
  EXPECT_EQ(std::make_pair(grid->FilterEditCol(), grid->CanEditFilterCell(3)), std::make_pair(0, false));
  EXPECT_EQ(handlerErrors, std::vector<std::string>{});
}

// A condition the parser refuses reaches the user; the column keeps its condition and the row
// stays edited with the typed text, by Enter and by leaving alike.
TEST_F(FilterRowEditTest, RefusedConditionKeepsEditing) {
  grid->StartFilterEdit(1);
  Keys("\"~ab% Enter");
  grid->StartFilterEdit(0);
  Keys("F2 \"=(( Enter Down");
  EXPECT_EQ(std::make_tuple(handlerErrors.size(), grid->FilterEditMode(), EditorFocused(),
                            grid->FilterEdit()->Text(), Column(0)->STFilter()->ExpressionStr(),
                            Column(1)->STFilter()->ExpressionStr(), dataSet->RecordCount()),
            std::make_tuple(2u, true, true, "=((", "", "~ab%", 2));
  EXPECT_THROW(grid->StopFilterEdit(), Exception);
  EXPECT_TRUE(grid->FilterEditMode());
  // The edited column may still go, with what was typed for it; the editor serves the column
  // that takes its place.
  delete Column(0);
  Pump();
  EXPECT_EQ(std::make_tuple(handlerErrors.size(), EditorShown(), grid->FilterEdit()->Column(),
                            grid->FilterEdit()->Text()),
            std::make_tuple(2u, true, Column(0), "~ab%"));
}

// Each column's list opens with the size it keeps: a new filter's 15 rows, else what it
// remembers; closing remembers the size.
TEST_F(FilterRowEditTest, EditorListTakesTheColumnsRememberedSize) {
  Column(2)->STFilter()->DropDownRows = 4;
  Column(2)->STFilter()->DropDownWidth = 150;
  grid->StartFilterEdit(1);
  Keys("A-Down");
  TDropDownBoxEh* box = grid->FilterEdit()->DropDownBox();
  ASSERT_TRUE(grid->FilterEdit()->ListVisible());
  EXPECT_EQ(std::make_tuple(box->Rows(), box->Width() >= 100, box->Sizable()),
            std::make_tuple(15, true, true));
  const int width = box->Width();
  Keys("Esc Tab");
  EXPECT_EQ(std::make_pair(Column(1)->STFilter()->DropDownRows, Column(1)->STFilter()->DropDownWidth),
            std::make_pair(15, width));
  EXPECT_EQ(std::make_pair(box->Rows(), box->Width()), std::make_pair(4, 150));
  EXPECT_EQ(handlerErrors, std::vector<std::string>{});
}

// The row above the data is the filter row only while one is shown under the titles.
TEST_F(FilterRowEditTest, FilterRowIsTheRowAboveTheDataWhileShown) {
  // Shown, under the titles, titles on, row: filter row.
  const std::tuple<bool, bool, bool, int, bool> cases[] = {{1, 1, 1, 1, 1}, {1, 1, 1, 0, 0}, {0, 1, 1, 0, 0},
                                                           {1, 0, 1, 0, 0}, {1, 1, 0, 0, 1}, {0, 1, 0, 0, 0}};
  for (const auto& [visible, under, titles, row, filterRow] : cases) {
    SCOPED_TRACE(testing::Message() << visible << under << titles << row);
    grid->STFilter()->SetVisible(visible);
    grid->STFilter()->SetLocation(under ? stflUnderTitleFilterEh : stflInTitleFilterEh);
    grid->SetOptions(titles ? grid->Options() + dgTitles : grid->Options() - dgTitles);
    EXPECT_EQ(grid->IsFilterRow(row), filterRow);
  }
}

}  // namespace
