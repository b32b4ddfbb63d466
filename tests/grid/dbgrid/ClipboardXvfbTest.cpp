// The grid's clipboard with other X programs: the grid runs in this test program through the
// display host on an Xvfb server, and xclip reads what the grid copied (CSV read back by
// Python's csv module, RTF, text; a 100,000-row copy whole, through the incremental protocol)
// and writes text the grid pastes (one text larger than an X request, too). Skipped when Xvfb,
// xclip or python3 is missing (scripts/setup.sh installs them).
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "grid/dbgrid/DBGridEhImpExp.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Clipbrd.h"
#include "platform/vcl/Dialogs.h"
#include "platform/win/Clipboard.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"
#include "tests/grid/dbgrid/PythonCsv.h"
#include "tests/support/InProcessHost.h"
#include "tests/support/XvfbSession.h"

namespace {

using namespace std::chrono_literals;

// Python's cells of a CSV text.
TCsvRowsEh PythonCsvText(const std::string& Folder, const std::string& Csv) {
  const std::string path = Folder + "/pasted.csv";
  std::ofstream(path, std::ios::binary) << Csv;
  return PythonCsvCells(path);
}

// A clipboard format's bytes up to its terminator, as the bridge offers them.
std::string ClipboardBytes(UINT Format) {
  std::vector<uint8_t> bytes;
  if (!ReadClipboardFormat(Format, bytes)) return "<none>";
  std::string s(bytes.begin(), bytes.end());
  return s.substr(0, s.find('\0'));
}

class ClipboardXvfbTest : public DBGridTestBase {
 protected:
  void SetUp() override {
    DBGridTestBase::SetUp();
    const std::string missing = test_support::MissingTool({"Xvfb", "xclip", "python3"});
    if (!missing.empty()) GTEST_SKIP() << missing << " is not installed (scripts/setup.sh installs it)";
    ResetClipboardForTest();
    ASSERT_TRUE(server_.Start("1920x1080")) << "Xvfb did not accept connections on any display from :90";
    ASSERT_TRUE(host_.Start(server_));
  }
  void TearDown() override {
    host_.Stop();
    ResetClipboardForTest();
    DBGridTestBase::TearDown();
  }
  // xclip's reading of the clipboard as the target; the exit code must be 0.
  std::string XclipOut(const std::string& Target) {
    auto [code, out] = host_.Run({"xclip", "-o", "-selection", "clipboard", "-t", Target}, "", 120s);
    EXPECT_EQ(code, 0) << Target;
    return out;
  }
  std::string Rtf() const {
    TMemoryStream rtf;
    WriteGridToExportStream(TDBGridEhExportAsRTF::StaticClass(), grid, &rtf, false);
    return std::string(reinterpret_cast<const char*>(rtf.Memory()), static_cast<size_t>(rtf.Size()));
  }

  test_support::TXvfbServer server_;
  test_support::TInProcessHost host_;
};

TEST_F(ClipboardXvfbTest, XclipReadsTheCopiedSelectionAsCsvRtfAndText) {
  AddRows(
      {{1, "a;b", 1.5}, {2, "say \"hi\"", 2.5}, {3, "two\r\nlines", 3.5}, {4, "账户 ✓", 4.5}, {5, "e", 5.5}});
  AddColumns({"ID", "NAME", "AMOUNT"});
  dataSet->SetRecNo(2);
  grid->Selection()->Rect()->Select(0, dataSet->Bookmark(), false);
  dataSet->SetRecNo(4);
  grid->Selection()->Rect()->Select(1, dataSet->Bookmark(), true);
  GridCopyAction(grid, false);

  const TCsvRowsEh expected = {{"ID", "NAME"}, {"2", "say \"hi\""}, {"3", "two\r\nlines"}, {"4", "账户 ✓"}};
  EXPECT_EQ(PythonCsvText(server_.Folder(), XclipOut("text/csv")), expected);
  const std::string rtf = XclipOut("text/rtf");
  EXPECT_EQ(rtf, Rtf());
  EXPECT_EQ(XclipOut("UTF8_STRING"), "ID\tNAME\r\n2\tsay \"hi\"\r\n3\ttwo  lines\r\n4\t账户 ✓");
}

// A copy far larger than one X request: every format arrives whole.
TEST_F(ClipboardXvfbTest, AHundredThousandRowCopyArrivesWhole) {
  dataSet->DisableControls();  // no repaint a row
  AddNumberedRows(100000);
  dataSet->EnableControls();
  AddColumns({"ID", "NAME", "AMOUNT"});
  GridCopyAction(grid, true);
  const std::string rtf = ClipboardBytes(ClipboardFormatRTF());
  ASSERT_GT(rtf.size(), size_t{16} << 20);  // beyond the largest request: incremental
  const std::string outRtf = XclipOut("text/rtf");
  EXPECT_EQ(outRtf.size(), rtf.size());
  EXPECT_TRUE(outRtf == rtf);
  const std::string text = XclipOut("UTF8_STRING");
  EXPECT_TRUE(text == ClipboardBytes(CF_TEXT)) << text.size();
  const TCsvRowsEh csv = PythonCsvText(server_.Folder(), XclipOut("text/csv"));
  ASSERT_EQ(csv.size(), 100001u);
  EXPECT_EQ(csv[1], (std::vector<std::string>{"1", "Row 1", "1.5"}));
  EXPECT_EQ(csv[100000], (std::vector<std::string>{"100000", "Row 100000", "150000"}));
}

// Text another program owns pastes into an empty grid as appended records, a text larger than
// one X request as well.
TEST_F(ClipboardXvfbTest, TextFromXclipPastesIntoTheGrid) {
  auto* wide = new TMemoryDataSet(form);
  wide->FieldDefs()->Add("ID", ftInteger);
  wide->FieldDefs()->Add("TEXT", ftString, 2000);
  wide->CreateDataSet();
  source->SetDataSet(wide);
  struct Case {
    const char* name;
    int records;
    size_t textLength;
  };
  const Case cases[] = {{"three lines", 3, 10}, {"beyond 16 MiB", 9000, 1990}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    while (!wide->IsEmpty()) wide->Delete();
    std::string text;
    for (int i = 1; i <= c.records; ++i)
      text +=
          std::to_string(i) + "\t" + std::string(c.textLength - 4, 'x') + "账" + (i < c.records ? "\n" : "");
    const std::string path = server_.Folder() + "/clip.in";
    std::ofstream(path, std::ios::binary) << text;
    const auto owner = server_.Spawn({"xclip", "-quiet", "-i", "-selection", "clipboard"}, "xclip", path);
    ASSERT_TRUE(test_support::WaitFor(
        [&] {
          return host_.Run({"xclip", "-o", "-selection", "clipboard"}).second == text;
        },
        30s));
    const std::string pasted = Clipboard()->AsText();
    ASSERT_EQ(pasted.size(), text.size());
    ASSERT_TRUE(pasted == text);
    PushMessageDlgAnswer(mrNo);  // a refused value fails the test instead of waiting for a click
    GridPasteAction(grid, false);
    ClearMessageDlgAnswers();
    EXPECT_EQ(wide->RecordCount(), c.records);
    wide->Last();
    EXPECT_EQ(wide->FieldByName("ID")->AsInteger(), c.records);
    EXPECT_EQ(wide->FieldByName("TEXT")->AsString(), std::string(c.textLength - 4, 'x') + "账");
  }
}

}  // namespace
