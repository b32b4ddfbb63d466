// The clipboard window's grids have no search strip: Ctrl+F opens the find dialog over the focused
// grid, and a search from it moves to the match.
#include <gtest/gtest.h>

#include <filesystem>

#include "examples/demo/LedgerClipboardForm.h"
#include "grid/dbgrid/DBGridEhFindDlgs.h"
#include "grid/editors/DBComboBoxEh.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Input.h"
#include "platform/win/WinTesting.h"

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
