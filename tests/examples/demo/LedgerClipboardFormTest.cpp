// The clipboard window's grids have no search strip: Ctrl+F opens the find dialog over the focused
// grid, and a search from it moves to the match. Skinned, the empty grid that pastes fill gains
// its scroll bar in the skin. The export buttons write the whole grid, or its selection, and say
// how many rows they wrote; the text they write reads back through the import button. A copy's
// header line reads the fields' labels.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
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
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Input.h"
#include "platform/win/WinTesting.h"
#include "skin/WinSkinChildren.h"
#include "skin/WinSkinManage.h"
#include "tests/support/ProbeSkin.h"
#include "tests/support/XvfbSession.h"

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

namespace {

// A folder of the test's own: shards of this program run side by side.
std::filesystem::path ExportFolder() {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() /
      ("ledger-clipboard-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
       "-" + std::to_string(getpid()));
  std::filesystem::remove_all(folder);
  return folder;
}

void ClickButton(TForm* Form, const std::string& Caption) {
  for (int i = 0; i < Form->ComponentCount(); ++i)
    if (auto* button = dynamic_cast<TButton*>(Form->Components(i)); button && button->Caption() == Caption)
      return button->Click();
  FAIL() << "no button " << Caption;
}

// The lines of a file, without their CR LF.
std::vector<std::string> FileLines(const std::filesystem::path& File) {
  const std::string text = test_support::ReadFile(File.string());
  std::vector<std::string> lines;
  for (size_t from = 0; from <= text.size();) {
    const size_t to = std::min(text.find("\r\n", from), text.size());
    lines.push_back(text.substr(from, to - from));
    from = to + 2;
  }
  return lines;
}

// Every record of the grid's ledger as the fields hold them, but the receipt picture.
std::string LedgerRows(TDBGridEh* Grid) {
  TDataSet* ledger = Grid->DataSource()->DataSet();
  std::string out;
  ledger->ForEachRecord([&](const TBookmark&) {
    for (const char* name : {"Date", "Account", "Kind", "Amount", "Cleared", "Note"})
      out += ledger->FieldByName(name)->AsString() + "|";
    out += "\n";
  });
  return out;
}

}  // namespace

// With nothing selected the export buttons write the whole grid (under its title line), with a
// selection the selection; the message says how many rows went into which file.
TEST(LedgerClipboardFormTest, ExportsTheWholeGridOrItsSelectionAndSaysHowManyRows) {
  ResetVcl();
  const std::filesystem::path folder = ExportFolder();
  TForm* form = CreateLedgerClipboardForm(Application, folder);
  form->Show();
  TDBGridEh* source = LedgerClipboardSourceOf(form);
  TDataSet* ledger = source->DataSource()->DataSet();
  std::vector<std::string> said;
  SetMessageDlgScript([&](TMessageForm& Dialog) {
    said.push_back(Dialog.MessageText());
    return mrOk;
  });
  const auto bookmarkAt = [&](int RecNo) { return ledger->SetRecNo(RecNo), ledger->Bookmark(); };
  struct Case {
    const char* id;
    std::function<void()> select;
    const char* button;
    const char* file;
    int rows;
    char separator;  // between the cells of a line; 0 for the RTF document
    int cells;
  } const cases[] = {
      {"nothing selected, CSV", [] {}, "导出 CSV", kLedgerExportCsv, 12, ';', 6},
      {"nothing selected, text", [] {}, "导出文本", kLedgerExportText, 12, '\t', 6},
      {"nothing selected, RTF", [] {}, "导出 RTF", kLedgerExportRtf, 12, 0, 0},
      {"three rows",
       [&] {
         for (int rec : {2, 5, 9}) ledger->SetRecNo(rec), source->SelectedRows()->SetCurrentRowSelected(true);
       },
       "导出文本", kLedgerExportText, 3, '\t', 6},
      {"two columns of four rows",
       [&] {
         source->Selection()->Rect()->Select(1, bookmarkAt(3), false);
         source->Selection()->Rect()->Select(2, bookmarkAt(6), true);
       },
       "导出 CSV", kLedgerExportCsv, 4, ';', 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    source->Selection()->Clear(), ledger->First(), source->SetSelectedIndex(3);
    c.select();
    ClickButton(form, c.button);
    const std::filesystem::path file = folder / c.file;
    ASSERT_FALSE(said.empty());
    EXPECT_EQ(said.back(), "已导出 " + std::to_string(c.rows) + " 行到 " + file.string());
    if (!c.separator) continue;
    const std::vector<std::string> lines = FileLines(file);
    ASSERT_EQ(lines.size(), static_cast<size_t>(c.rows + 1));  // and the title line
    for (const std::string& line : lines)
      EXPECT_EQ(std::count(line.begin(), line.end(), c.separator), c.cells - 1) << line;
  }
  EXPECT_EQ(said.size(), std::size(cases));
  ClearMessageDlgAnswers();
  ResetVcl();
  std::filesystem::remove_all(folder);
}

// The ledger's text export (dates, amounts as ",0.00" shows them, the cleared flags, titles
// above) reads back through the import button: whole into the empty grid beside it, whichever of
// its cells is current, and into the ledger itself, which it leaves as it was.
TEST(LedgerClipboardFormTest, TheTextExportReadsBackThroughTheImportButton) {
  ResetVcl();
  const std::filesystem::path folder = ExportFolder();
  TForm* form = CreateLedgerClipboardForm(Application, folder);
  form->Show();
  TDBGridEh* source = LedgerClipboardSourceOf(form);
  TDBGridEh* target = LedgerClipboardTargetOf(form);
  const std::string rows = LedgerRows(source);
  std::vector<std::string> said;
  SetMessageDlgScript([&](TMessageForm& Dialog) {
    said.push_back(Dialog.MessageText());
    return mrOk;
  });
  const std::string file = (folder / kLedgerExportText).string();
  ClickButton(form, "导出文本");
  // What is then made current, and the ledger it ends with.
  const std::tuple<const char*, TDBGridEh*, int> steps[] = {
      {"the empty grid at its amount column", target, 3}, {"the ledger itself", source, 1}};
  for (const auto& [id, grid, column] : steps) {
    SCOPED_TRACE(id);
    grid->SetFocus(), grid->SetSelectedIndex(column);
    Application->ProcessMessages();
    ClickButton(form, "导入文本");
    EXPECT_EQ(said.back(), "已导入 " + file);
    EXPECT_EQ(LedgerRows(grid), rows);
  }
  EXPECT_EQ(said.size(), 3u) << "a value was refused";
  ClearMessageDlgAnswers();
  ResetVcl();
  std::filesystem::remove_all(folder);
}
