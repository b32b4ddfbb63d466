// The find dialog: its window by the data set's tree mode, what a find asks of the grid, the
// repeated search, its keys in both modes, and the cell editor's search keys.
#include <vector>

#include "grid/data/MemoryDataSetEh.h"
#include "grid/dbgrid/DBGridEhCenter.h"
#include "grid/dbgrid/DBGridEhColumns.h"
#include "grid/dbgrid/DBGridEhFindDlgs.h"
#include "grid/editors/DBCheckBoxEh.h"
#include "grid/editors/DBComboBoxEh.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win/Input.h"
#include "platform/win/WinTesting.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

struct TLocateCallEh {
  std::string Text, FieldName;
  int Options, Direction, Matching, TreeRange;
  bool operator==(const TLocateCallEh&) const = default;
};

// Records what the dialog asks of the grid's search instead of searching.
class TLocateRecordingGridEh : public TDBGridEh {
 public:
  using TDBGridEh::TDBGridEh;
  bool LocateText(const std::string& Text, const std::string& FieldName, uint8_t Options, int Direction,
                  int Matching, int TreeRange) override {
    calls.push_back({Text, FieldName, Options, Direction, Matching, TreeRange});
    return found;
  }
  std::vector<TLocateCallEh> calls;
  bool found = true;
};

// An in-memory table whose interface reports tree mode.
class TTreeModeTableEh : public TMemoryDataSetEh {
 public:
  using TMemoryDataSetEh::TMemoryDataSetEh;
  bool IsTreeMode() override { return true; }
};

class FindDialogTest : public DBGridTestBase {
 protected:
  TDBGridEh* MakeGrid(TComponent* AOwner) override { return recording = new TLocateRecordingGridEh(AOwner); }
  void SetUp() override {
    DBGridTestBase::SetUp();
    AddColumns({"ID", "NAME", "AMOUNT"});
    grid->Columns()->GetColumn(1)->Title()->SetCaption("名称");
    AddNumberedRows(3);
    grid->SetSelectedIndex(1);
  }
  TDBGridEhFindDlg* Show(const std::string& Text, const TDBGridEhFindColumnsEh* Columns = nullptr) {
    ShowFindDialog(grid, Text, Columns, false);
    Pump();
    recording->calls.clear();
    return DBGridEhFindDlg();
  }
  TLocateRecordingGridEh* recording = nullptr;
};

std::vector<std::string> ItemsOf(TDBComboBoxEh* Box) {
  std::vector<std::string> items;
  for (int i = 0; i < Box->Items()->Count(); ++i) items.push_back(Box->Items()->Strings(i));
  return items;
}

}  // namespace

TEST_F(FindDialogTest, WindowShortenedWithoutTreeAndFullWithIt) {
  TDBGridEhFindDlg* dlg = Show("Row 2");
  ASSERT_NE(dlg, nullptr);
  EXPECT_EQ(dlg->ClientWidth(), 466);
  // The captions say what the options do; the defaults stay.
  EXPECT_EQ(dlg->cbCharCase->Caption(), "区分大小写&C");
  EXPECT_EQ(dlg->cbUseFormat->Caption(), "按显示格式&o");
  EXPECT_EQ(dlg->lMatchinType->Caption(), "匹配方式&h");
  EXPECT_FALSE(dlg->cbCharCase->Checked());
  EXPECT_TRUE(dlg->cbUseFormat->Checked());
  EXPECT_EQ(dlg->FormStyle(), fsStayOnTop);
  EXPECT_EQ(dlg->cbText->Text(), "Row 2");
  EXPECT_EQ(dlg->ActiveControl(), dlg->cbText);
  EXPECT_EQ(ItemsOf(dlg->cbFindIn), (std::vector<std::string>{"ID", "名称", "AMOUNT", "<All>"}));
  EXPECT_EQ(dlg->cbFindIn->ItemIndex(), 1);
  EXPECT_FALSE(dlg->dbcTreeFindRange->Visible());
  EXPECT_EQ(dlg->ClientHeight(), dlg->dbcTreeFindRange->Top() - 4);

  auto* table = new TTreeModeTableEh(form);
  table->FieldDefs()->Add("NAME", ftString, 20);
  table->CreateDataSet();
  source->SetDataSet(table);
  EXPECT_EQ(Show("x"), dlg);  // the same dialog, refilled
  EXPECT_EQ(dlg->Height(), dlg->FullHeight());
  EXPECT_EQ(dlg->ClientHeight(), 138);
  EXPECT_TRUE(dlg->dbcTreeFindRange->Visible());
}

TEST_F(FindDialogTest, FindPassesOptionsDirectionMatchingAndField) {
  struct Case {
    const char* name;
    bool charCase, useFormat, ctrl;
    int findIn, direction, matching, treeRange;
    TLocateCallEh want;
  };
  const int ic = ltoIgnoreCaseEh, fmt = ltoMatchFormatEh, all = ltoAllFieldsEh;
  const Case cases[] = {
      {"defaults", false, true, false, 1, 2, 0, 0, {"Row", "NAME", ic | fmt, ltdAllEh, ltmAnyPartEh, 0}},
      {"case-sensitive raw", true, false, false, 0, 1, 1, 2, {"Row", "ID", 0, ltdDownEh, ltmWholeEh, 2}},
      {"<All>", false, false, false, 3, 0, 2, 3, {"Row", "", ic | all, ltdUpEh, ltmFromBeginningEh, 3}},
      {"ctrl: down is up", true, true, true, 2, 1, 0, 0, {"Row", "AMOUNT", fmt, ltdUpEh, ltmAnyPartEh, 0}},
      {"ctrl: up is down", true, true, true, 2, 0, 0, 0, {"Row", "AMOUNT", fmt, ltdDownEh, ltmAnyPartEh, 0}},
      {"ctrl: all is up", true, true, true, 2, 2, 0, 0, {"Row", "AMOUNT", fmt, ltdUpEh, ltmAnyPartEh, 0}},
      {"none is <All>", true, true, false, -1, -1, -1, -1, {"Row", "", fmt | all, ltdAllEh, ltmAnyPartEh, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TDBGridEhFindDlg* dlg = Show("Row");
    dlg->cbCharCase->SetChecked(c.charCase);
    dlg->cbUseFormat->SetChecked(c.useFormat);
    dlg->cbFindIn->SetItemIndex(c.findIn);
    dlg->cbFindDirection->SetItemIndex(c.direction);
    dlg->cbMatchinType->SetItemIndex(c.matching);
    dlg->dbcTreeFindRange->SetItemIndex(c.treeRange);
    if (c.ctrl) Input::KeyDown(VK_CONTROL);
    Pump();
    dlg->bFind->Click();
    if (c.ctrl) Input::KeyUp(VK_CONTROL);
    Pump();
    EXPECT_EQ(recording->calls, std::vector<TLocateCallEh>{c.want});
    dlg->Hide();
  }
}

TEST_F(FindDialogTest, RepeatedWholeDataSearchContinuesDownwards) {
  const struct {
    const char* name;
    bool found, changeText;
    int wantSecond;
  } cases[] = {{"found", true, false, ltdDownEh},
               {"not found", false, false, ltdAllEh},
               {"text changed", true, true, ltdAllEh}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TDBGridEhFindDlg* dlg = Show("Row");
    recording->found = c.found;
    dlg->Find();
    if (c.changeText) dlg->cbText->SetText("Row 3");
    dlg->Find();
    ASSERT_EQ(recording->calls.size(), 2u);
    EXPECT_EQ(std::make_pair(recording->calls[0].Direction, recording->calls[1].Direction),
              std::make_pair(int{ltdAllEh}, c.wantSecond));
  }
  // Each searched text is offered once among the earlier texts.
  EXPECT_EQ(ItemsOf(DBGridEhFindDlg()->cbText), (std::vector<std::string>{"Row", "Row 3"}));
}

TEST_F(FindDialogTest, EnterFindsAndEscapeClosesInBothModes) {
  TDBGridEhFindDlg* dlg = Show("Row");
  WinTesting::KeyPress(VK_RETURN);
  Pump();
  EXPECT_EQ(recording->calls.size(), 1u);
  EXPECT_FALSE(dlg->cbText->Modified());
  WinTesting::KeyPress(VK_ESCAPE);
  Pump();
  EXPECT_FALSE(dlg->Visible());

  bool styleNormal = false;
  WinTesting::Schedule([&] {
    styleNormal = dlg->FormStyle() == fsNormal;
    WinTesting::KeyPress(VK_RETURN);
    WinTesting::Schedule([] { WinTesting::KeyPress(VK_ESCAPE); });
  });
  ShowFindDialog(grid, "Row 1", nullptr, true);
  EXPECT_TRUE(styleNormal);
  EXPECT_EQ(recording->calls.size(), 2u);
  EXPECT_EQ(dlg->ModalResult(), mrCancel);
}

TEST_F(FindDialogTest, CallerColumnsGoneColumnsAndGoneGrid) {
  TColumnEh* amount = grid->Columns()->GetColumn(2);
  const TDBGridEhFindColumnsEh columns{{"金额", amount}};
  TDBGridEhFindDlg* dlg = Show("1", &columns);
  EXPECT_EQ(ItemsOf(dlg->cbFindIn), (std::vector<std::string>{"金额", "<All>"}));
  EXPECT_EQ(dlg->cbFindIn->ItemIndex(), -1);  // the current column is not offered
  dlg->cbFindIn->SetItemIndex(0);
  dlg->Find();
  delete amount;  // a column freed since the filling is not searched
  dlg->Find();
  ASSERT_EQ(recording->calls.size(), 2u);
  EXPECT_EQ(recording->calls[0].FieldName, "AMOUNT");
  EXPECT_EQ(recording->calls[1].FieldName, "");
  // The grid's own find path reaches the installed dialog; a freed grid is forgotten.
  dlg->Hide();
  grid->ExecuteFindDialog("Row 2", nullptr, false);
  EXPECT_TRUE(dlg->Visible());
  delete grid;
  dlg->Find();
  EXPECT_EQ(dlg->Grid(), nullptr);
}

TEST_F(FindDialogTest, CellEditorSearchKeys) {
  static std::vector<std::string> opened;
  opened.clear();
  TScopeExit restore([saved = ShowFindDialogProcEh()] { SetShowFindDialogProcEh(saved); });
  SetShowFindDialogProcEh([](TCustomDBGridEh*, const std::string& Text, const std::string&, bool, int) {
    opened.push_back(Text);
  });
  grid->SetOptions(grid->Options() + dgEditing + dgAlwaysShowEditor);
  grid->SetFocus();
  Pump();
  ASSERT_NE(grid->InplaceEditor(), nullptr);
  auto press = [&](WORD Key, bool Ctrl) {
    grid->InplaceEditor()->SetFocus();
    if (Ctrl) Input::KeyDown(VK_CONTROL);
    Input::KeyDown(Key);
    Input::KeyUp(Key);
    if (Ctrl) Input::KeyUp(VK_CONTROL);
    Pump();
  };
  grid->SetOptionsEh(grid->OptionsEh() + dghDialogFind - dghIncSearch);
  press('F', true);
  EXPECT_EQ(opened, std::vector<std::string>{"Row 1"});
  grid->SetOptionsEh(grid->OptionsEh() - dghDialogFind + dghIncSearch);
  press('F', true);
  EXPECT_TRUE(grid->IncrementalSearching());
  EXPECT_EQ(opened.size(), 1u);
  grid->StopIncSearch();
  grid->SetOptionsEh(grid->OptionsEh() + dghEnterAsTab);
  grid->SetSelectedIndex(0);
  press(VK_RETURN, false);
  EXPECT_EQ(grid->SelectedIndex(), 1);
}
