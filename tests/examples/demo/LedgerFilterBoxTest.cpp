// The ledger detail's filter box on a shown form: conditions typed into its edit for a chosen
// column become the ledger's Filter and the grid draws the matching entries; a condition that
// cannot be read shows the parser's message and leaves the filter as it was; Escape and another
// column apply again.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "examples/demo/DemoSupport.h"
#include "examples/demo/LedgerAxisGridForm.h"
#include "examples/demo/LedgerFilterBox.h"
#include "examples/demo/LedgerGroupingGrid.h"
#include "platform/gdi/DrawRecorder.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/WinTesting.h"

namespace {

using TNotes = std::vector<std::string>;
const TNotes kAllNotes = {"一月工资", "一月房租",   "超市",     "活期利息", "二月工资", "二月房租",
                          "聚餐",     "公交卡充值", "三月工资", "季度奖金", "三月房租", "体检"};

class LedgerFilterBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    ledger = CreateLedger(Application);
    form = CreateLedgerAxisGridForm(Application, ledger);
    form->Show();
    Pump();
    grid = dynamic_cast<TLedgerGroupingGridEh*>(form->FindComponent("LedgerGrid"));
    chooser = dynamic_cast<TComboBox*>(form->FindComponent("FilterColumn"));
    edit = dynamic_cast<TEdit*>(form->FindComponent("FilterCondition"));
    message = dynamic_cast<TLabel*>(form->FindComponent("FilterMessage"));
    ASSERT_TRUE(grid && chooser && edit && message);
  }
  void TearDown() override { ResetVcl(); }
  static void Pump() { Application->ProcessMessages(); }

  // Chooses the column by its caption and types Condition and Enter into an emptied edit.
  void Type(const std::string& Caption, const std::string& Condition) {
    chooser->SetItemIndex(chooser->Items()->IndexOf(Caption));
    edit->SetText("");
    edit->SetFocus();
    Pump();
    WinTesting::Type(Condition + "\n");
    Pump();
  }

  // The notes the grid draws, top to bottom.
  TNotes NotesShown() {
    TDrawLog log;
    auto bmp = std::make_unique<TBitmap>();
    bmp->SetSize(grid->ClientWidth(), grid->ClientHeight());
    HDC dc = bmp->Canvas()->Handle();
    AttachDrawRecorder(dc, &log);
    grid->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    AttachDrawRecorder(dc, nullptr);
    TNotes notes;
    for (int row = 1; row < grid->RowCount(); ++row) {
      const TRect cell = grid->CellRect(lacNote, row);
      std::string last;
      for (const TDrawCall* c : log.OfKind(TDrawKind::Text))
        if (c->Rect.Left >= cell.Left && c->Rect.Right <= cell.Right && c->Rect.Top >= cell.Top &&
            c->Rect.Bottom <= cell.Bottom)
          last = c->Text;
      if (!last.empty()) notes.push_back(last);
    }
    return notes;
  }

  TMemoryDataSet* ledger = nullptr;
  TForm* form = nullptr;
  TLedgerGroupingGridEh* grid = nullptr;
  TComboBox* chooser = nullptr;
  TEdit* edit = nullptr;
  TLabel* message = nullptr;
};

TEST_F(LedgerFilterBoxTest, TypedConditionsFilterTheLedger) {
  // The columns that show a field's value and have a title, the pictures left out.
  std::vector<std::string> captions;
  for (int i = 0; i < chooser->Items()->Count(); ++i) captions.push_back(chooser->Items()->Strings(i));
  EXPECT_EQ(captions, (std::vector<std::string>{"日期", "账户", "类型", "金额", "已核对", "备注"}));
  // The box starts empty, on the first column, with nothing filtered.
  EXPECT_EQ(edit->Text(), "");
  EXPECT_EQ(chooser->Text(), "日期");
  EXPECT_EQ(message->Caption(), "");
  EXPECT_FALSE(ledger->Filtered());

  const struct {
    const char* caption;
    const char* condition;
    const char* filter;
    TNotes notes;
  } cases[] = {
      {"金额",
       ">= 1000 AND <= 5000",
       "[Amount] >= 1000 AND [Amount] <= 5000",
       {"一月房租", "二月房租", "季度奖金", "三月房租"}},
      {"金额",
       "< 100 OR > 8000",
       "([Amount] < 100 OR [Amount] > 8000)",
       {"一月工资", "活期利息", "二月工资", "三月工资"}},
      {"金额", "312.4", "[Amount] = 312.4", {"超市"}},
      {"账户",
       "In (工资, 奖金)",
       "([Account] = '工资' OR [Account] = '奖金')",
       {"一月工资", "二月工资", "三月工资", "季度奖金"}},
      {"账户", "餐饮", "[Account] Like '餐饮'", {"超市", "聚餐"}},
      {"备注", "~ %房租", "[Note] Like '%房租'", {"一月房租", "二月房租", "三月房租"}},
      {"备注",
       "!~ %月%",
       "Not ( [Note] Like '%月%')",
       {"超市", "活期利息", "聚餐", "公交卡充值", "季度奖金", "体检"}},
      // The kind is typed as the grid shows it and filtered by the key it stores.
      {"类型", "收入", "[Kind] Like 'I'", {"一月工资", "活期利息", "二月工资", "三月工资", "季度奖金"}},
      {"类型", "In (支出, 收入)", "([Kind] = 'E' OR [Kind] = 'I')", kAllNotes},
      {"日期", ">= 2026-03-05", "[Date] >= '2026-03-05'", {"三月房租", "体检"}},
      {"已核对", "= False", "[Cleared] = 'False'", {"聚餐", "季度奖金", "三月房租", "体检"}},
      {"账户", "", "", kAllNotes},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.caption) + " " + c.condition);
    Type(c.caption, c.condition);
    EXPECT_EQ(ledger->Filter(), c.filter);
    EXPECT_EQ(ledger->Filtered(), *c.filter != '\0');
    EXPECT_EQ(ledger->RecordCount(), static_cast<int>(c.notes.size()));
    EXPECT_EQ(NotesShown(), c.notes);
    EXPECT_EQ(message->Caption(), *c.filter ? "符合条件: " + std::to_string(c.notes.size()) + " 条" : "");
  }
}

TEST_F(LedgerFilterBoxTest, MalformedConditionShowsWhyAndKeepsTheFilter) {
  Type("金额", ">= 1000 AND <= 5000");
  const std::string kept = ledger->Filter();
  const TNotes shown = NotesShown();
  ASSERT_EQ(shown.size(), 4u);
  const struct {
    const char* caption;
    const char* condition;
    const char* message;
  } cases[] = {
      {"金额", ">=", "Unexpected expression after operator: >="},
      {"金额", "AND 5", "Error in expression: AND 5"},
      {"金额", "> 8000 AND", "Error in expression: > 8000 AND"},
      {"金额", "= 1 > 2", "Unexpected AND or OR: = 1 > 2"},
      {"金额", "> 1 AND (", "Incorrect expression: > 1 AND ("},
      {"账户", "'工资", "Quote is absent: '工资"},
      {"账户", "In 工资", "'(' expected: In 工资"},
      {"金额", ">= abc", "'abc' is not a valid floating point value"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.condition);
    Type(c.caption, c.condition);
    EXPECT_EQ(message->Caption(), c.message);
    EXPECT_EQ(message->Font()->Color(), clRed);
    EXPECT_EQ(ledger->Filter(), kept);
    EXPECT_TRUE(ledger->Filtered());
    EXPECT_EQ(NotesShown(), shown);
  }
  // A good condition afterwards is shown in the window's text colour again.
  Type("金额", "> 8000");
  EXPECT_EQ(message->Caption(), "符合条件: 3 条");
  EXPECT_EQ(message->Font()->Color(), clWindowText);
}

TEST_F(LedgerFilterBoxTest, EscapeClearsAndAnotherColumnAppliesAgain) {
  Type("账户", "工资");
  EXPECT_EQ(NotesShown(), (TNotes{"一月工资", "二月工资", "三月工资"}));
  // The next column down is the kind: no kind is "工资".
  chooser->SetFocus();
  WinTesting::KeyPress(VK_DOWN);
  Pump();
  EXPECT_EQ(chooser->Text(), "类型");
  EXPECT_EQ(ledger->Filter(), "[Kind] Like '工资'");
  EXPECT_EQ(NotesShown(), TNotes{});
  EXPECT_EQ(message->Caption(), "符合条件: 0 条");
  edit->SetFocus();
  WinTesting::KeyPress(VK_ESCAPE);
  Pump();
  EXPECT_EQ(edit->Text(), "");
  EXPECT_FALSE(ledger->Filtered());
  EXPECT_EQ(NotesShown(), kAllNotes);
  EXPECT_EQ(message->Caption(), "");
}

}  // namespace
