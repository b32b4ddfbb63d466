// The clipboard window's grids have no search strip: Ctrl+F opens the find dialog over the focused
// grid, and a search from it moves to the match. Skinned, the empty grid that pastes fill gains
// its scroll bar in the skin. A copy's header line reads the fields' labels.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "examples/demo/LedgerClipboardForm.h"
#include "grid/dbgrid/DBGridEhFindDlgs.h"
#include "grid/dbgrid/DBGridEhSelection.h"
#include "grid/editors/DBComboBoxEh.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/vcl/Clipbrd.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Input.h"
#include "platform/win/WinTesting.h"
#include "skin/WinSkinChildren.h"
#include "skin/WinSkinManage.h"
#include "tests/support/ProbeSkin.h"

TEST(LedgerClipboardFormTest, CtrlFOpensTheFindDialogOverTheFocusedGrid) {
  ResetVcl();
  TForm* form = CreateLedgerClipboardForm(Application, std::filesystem::temp_directory_path());
  form->Show();
  TDBGridEh* grid = LedgerClipboardTargetOf(form);  // the second: not the one active at the start
  grid->DataSource()->DataSet()->AppendRecord({Variant(), Variant(std::string("房租"))});
  grid->DataSource()->DataSet()->AppendRecord({Variant(), Variant(std::string("餐饮"))});
  grid->SetFocus();
  std::string caption;
  TCustomDBGridEh* searched = nullptr;
  WinTesting::Schedule([&] {
    auto* dialog = dynamic_cast<TDBGridEhFindDlg*>(Screen->ActiveForm());
    ASSERT_NE(dialog, nullptr);
    caption = dialog->Caption(), searched = dialog->Grid();
    dialog->cbFindIn->SetItemIndex(dialog->cbFindIn->Items()->Count() - 1);  // "<All>"
    dialog->cbText->SetText("房租");
    WinTesting::KeyPress(VK_RETURN);
    WinTesting::Schedule([] { WinTesting::KeyPress(VK_ESCAPE); });
  });
  Input::KeyDown(VK_CONTROL), Input::KeyDown('F'), Input::KeyUp('F'), Input::KeyUp(VK_CONTROL);
  Application->ProcessMessages();
  EXPECT_EQ(std::make_tuple(caption, searched, grid->SearchPanel()->Enabled(),
                            grid->DataSource()->DataSet()->RecNo()),
            std::make_tuple("查找字符", grid, false, 1));
  ResetVcl();
}

TEST(LedgerClipboardFormTest, TheTargetGridsBarGainedByPastingWearsTheSkinAndGoesWithTheRows) {
  ResetVcl();
  TForm* form = CreateLedgerClipboardForm(Application, std::filesystem::temp_directory_path());
  form->Show();
  const TProbeSkin probe = ScrollBarProbeSkin(GetSystemMetrics(SM_CXVSCROLL));
  std::unique_ptr<TSkinData> data = LoadSkinData(probe.SkinFile());
  ASSERT_NE(data, nullptr);
  TSkinChildList* list = SkinThroughManager(form->Handle(), *data, {xcScrollbar});
  ASSERT_NE(list, nullptr);
  TDBGridEh* source = LedgerClipboardSourceOf(form);
  TDBGridEh* target = LedgerClipboardTargetOf(form);
  GridCopyAction(source, true);
  auto* ledger = static_cast<TMemoryDataSet*>(target->DataSource()->DataSet());
  // What is done to the target; the rows it holds then, and what its vertical bar shows.
  const std::tuple<const char*, std::function<void()>, int, const char*> steps[] = {
      {"empty", [] {}, 0, "-"},
      {"pasted", [&] { GridPasteAction(target, true); }, 12, "skin"},
      {"emptied", [&] { ledger->EmptyDataSet(); }, 0, "-"},
      {"pasted again", [&] { GridPasteAction(target, true); }, 12, "skin"},
  };
  for (const auto& [id, change, rows, look] : steps) {
    SCOPED_TRACE(id);
    change();
    Application->ProcessMessages();
    EXPECT_EQ(std::pair(ledger->RecordCount(),
                        FirstArrowLook(probe, form->Handle(), list, target->Handle(), OBJID_VSCROLL)),
              std::pair(rows, std::string(look)));
  }
  form->Free();
  DestroySkinManage();
  ResetVcl();
}

// A copy of the whole source grid starts with the fields' labels as its header line, and the kind
// column writes the kinds as it shows them.
TEST(LedgerClipboardFormTest, ACopysHeaderLineReadsTheLabelsAndTheKindsTheirTexts) {
  ResetVcl();
  TForm* form = CreateLedgerClipboardForm(Application, std::filesystem::temp_directory_path());
  form->Show();
  TDBGridEh* source = LedgerClipboardSourceOf(form);
  source->Selection()->SelectAll();
  GridCopyAction(source, true);
  std::vector<std::string> lines;
  std::stringstream text(Clipboard()->AsText());
  for (std::string line; std::getline(text, line);) lines.push_back(line.substr(0, line.find('\r')));
  std::map<std::string, int> kinds;
  for (size_t i = 1; i < lines.size(); ++i) {
    std::stringstream cells(lines[i]);
    std::string cell;
    for (int c = 0; c < 3; ++c) std::getline(cells, cell, '\t');
    ++kinds[cell];
  }
  EXPECT_EQ(lines.at(0), "日期\t账户\t类型\t金额\t已核对\t备注");
  EXPECT_EQ(kinds, (std::map<std::string, int>{{"收入", 5}, {"支出", 7}}));
  ResetVcl();
}
