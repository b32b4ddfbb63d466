// The grid's copy, cut, paste and delete: one clipboard content in five formats, the paste's
// choice of format, a failed paste reported once, and the delete's question and effect per
// selection kind.
#include "grid/dbgrid/DBGridEhImpExp.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Clipbrd.h"
#include "platform/vcl/Dialogs.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Input.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

// A stream that claims more bytes than a global block can hold.
class THugeStream : public TMemoryStream {
 public:
  int64_t Size() override { return (int64_t{1} << 30) + 1; }
};

class ClipboardActionsTest : public DBGridTestBase {
 protected:
  void SetUp() override {
    DBGridTestBase::SetUp();
    ResetClipboardForTest();
    AddRows({{1, "Ann", 1.5}, {2, "Bob", 2.5}, {3, "Cy", 3.5}, {4, "Di", 4.5}, {5, "Ed", 5.5}});
    AddColumns({"ID", "NAME", "AMOUNT"});
  }
  static std::string Clip(UINT Format) {
    std::vector<uint8_t> bytes;
    return ReadClipboardFormat(Format, bytes) ? std::string(bytes.begin(), bytes.end()) : "<none>";
  }
  void At(int RecNo, int Col) {
    dataSet->SetRecNo(RecNo);
    grid->SetSelectedIndex(Col);
  }
  std::string Names() {
    std::string out;
    for (dataSet->First(); !dataSet->Eof(); dataSet->Next())
      out += dataSet->FieldByName("ID")->AsString() + dataSet->FieldByName("NAME")->AsString() + " ";
    return out;
  }
  void SelectRows(std::initializer_list<int> RecNos) {
    for (int recNo : RecNos) At(recNo, 1), grid->SelectedRows()->SetCurrentRowSelected(true);
  }
  void SelectRect(int TopRec, int LeftCol, int BottomRec, int RightCol) {
    dataSet->SetRecNo(TopRec);
    grid->Selection()->Rect()->Select(LeftCol, dataSet->Bookmark(), false);
    dataSet->SetRecNo(BottomRec);
    grid->Selection()->Rect()->Select(RightCol, dataSet->Bookmark(), true);
  }
};

TEST_F(ClipboardActionsTest, CopyPutsFiveFormatsAsOneContentAndPasteTakesTheRichest) {
  At(2, 1);
  GridCopyAction(grid, false);
  std::vector<UINT> order;
  Clipboard()->Open();
  for (UINT f = EnumClipboardFormats(0); f != 0; f = EnumClipboardFormats(f)) order.push_back(f);
  Clipboard()->Close();
  EXPECT_EQ(order, (std::vector<UINT>{CF_TEXT, CF_UNICODETEXT, ClipboardFormatCSV(), ClipboardFormatRTF(),
                                      ClipboardFormatVCLDBIF()}));
  TMemoryStream records;
  WriteGridToExportStream(TDBGridEhExportAsVCLDBIF::StaticClass(), grid, &records, false);
  auto wrongClass = [&] {
    ReadGridFromImportStream(TDBGridEhExportAsCSV::StaticClass(), grid, &records, false);
  };
  EXPECT_EQ(ErrorOf(wrongClass), "Not an importer class: TDBGridEhExportAsCSV");
  const std::string rtf = Clip(ClipboardFormatRTF());
  EXPECT_EQ(std::make_tuple(Clip(CF_TEXT), Clip(CF_UNICODETEXT), Clip(ClipboardFormatCSV()), rtf.substr(0, 5),
                            rtf.substr(rtf.size() - 2), Clip(ClipboardFormatVCLDBIF())),
            std::make_tuple(std::string("Bob\0", 4), std::string("B\0o\0b\0\0\0", 8),
                            std::string("\"Bob\"\0", 6), "{\\rtf", std::string("}\0", 2),
                            std::string(reinterpret_cast<const char*>(records.Memory()), records.Size())));

  // A detail grid's single cell goes out as anywhere else.
  auto* master = new TMemoryDataSet(form);
  master->FieldDefs()->Add("K", ftInteger), master->CreateDataSet(), master->AppendRecord({1});
  auto* masterSource = new TDataSource(form);
  masterSource->SetDataSet(master), dataSet->SetDataSource(masterSource);
  At(2, 1);
  GridCopyAction(grid, false);
  EXPECT_EQ(Clip(CF_TEXT), std::string("Bob\0", 4));
  dataSet->SetDataSource(nullptr);

  // Without a current column neither copy nor paste touches anything.
  for (int i = 0; i < 3; ++i) grid->Columns()->GetColumn(i)->SetVisible(false);
  ASSERT_LT(grid->GetSelectedIndex(), 0);
  Clipboard()->SetAsText("kept");
  GridCopyAction(grid, false);
  GridPasteAction(grid, false);
  EXPECT_EQ(Clipboard()->AsText() + Names(), "kept1Ann 2Bob 3Cy 4Di 5Ed ");
  for (int i = 0; i < 3; ++i) grid->Columns()->GetColumn(i)->SetVisible(true);

  // The paste prefers the grid's records, then UTF-16 text, then UTF-8 text.
  TMemoryStream text, wide;
  text.WriteBuffer("Txt\0", 4), wide.WriteBuffer("U\0n\0i\0\0\0", 8);
  // Formats present (R records, W UTF-16, T UTF-8) and the name pasted into record 4.
  for (auto [formats, name] : {std::pair{"RWT", "Bob"}, {"WT", "Uni"}, {"T", "Txt"}, {"", "Di"}}) {
    SCOPED_TRACE(formats);
    const std::string has = formats;
    ResetClipboardForTest();
    Clipboard()->Open();
    if (has.find('R') != std::string::npos) PutStreamToClipboard(ClipboardFormatVCLDBIF(), &records);
    if (has.find('W') != std::string::npos) PutStreamToClipboard(CF_UNICODETEXT, &wide);
    if (has.find('T') != std::string::npos) PutStreamToClipboard(CF_TEXT, &text);
    Clipboard()->Close();
    At(4, 1);
    dataSet->Edit(), dataSet->FieldByName("NAME")->SetAsString("Di"), dataSet->Post();
    GridPasteAction(grid, false);
    EXPECT_EQ(Names(), std::string("1Ann 2Bob 3Cy 4") + name + " 5Ed ");
  }

  // A format too large for a block fails the copy, leaving none of its formats.
  THugeStream huge;
  Clipboard()->Open();
  PutStreamToClipboard(CF_TEXT, &text);
  EXPECT_EQ(ErrorOf([&] { PutStreamToClipboard(CF_UNICODETEXT, &huge); }),
            "The copy takes 1073741825 bytes, more than the clipboard can hold (1073741824 bytes)");
  Clipboard()->Close();
  EXPECT_EQ(CountClipboardFormats(), 0);
}

// A leading byte-order mark is not part of the first cell, pasted or imported, in either text
// format; a UTF-16 one in front of what the UTF-8 reader takes says the rest is UTF-16.
TEST_F(ClipboardActionsTest, ALeadingByteOrderMarkIsDropped) {
  auto utf16 = [](const std::string& Text) {
    const std::u16string units = Utf8ToUtf16(Text);
    return std::string(reinterpret_cast<const char*>(units.data()), units.size() * 2);
  };
  const std::string utf8Mark = "\xEF\xBB\xBF", utf16Mark = "\xFF\xFE";
  struct Case {
    const char* id;
    UINT format;
    std::string bytes;
    const char* names;  // ID and NAME of the records after the paste into record 2
    bool pasted = true;
  } const cases[] = {
      {"UTF-8, no mark", CF_TEXT, "7\tx", "1Ann 7x 3Cy "},
      {"UTF-8, UTF-8 mark", CF_TEXT, utf8Mark + "7\tx", "1Ann 7x 3Cy "},
      // (not pasted: the clipboard's UTF-16 form of such a CF_TEXT block holds its bytes as text)
      {"UTF-8, UTF-16 mark", CF_TEXT, utf16Mark + utf16("7\tx"), "1Ann 7x 3Cy ", false},
      {"UTF-8, UTF-8 mark before the title line", CF_TEXT, utf8Mark + "ID\tNAME\tAMOUNT\r\n7\tx",
       "1Ann 7x 3Cy "},
      {"UTF-8, UTF-8 mark into a text cell", CF_TEXT, utf8Mark + "x", "1Ann 2x 3Cy "},
      {"UTF-16, no mark", CF_UNICODETEXT, utf16("7\tx"), "1Ann 7x 3Cy "},
      {"UTF-16, UTF-16 mark", CF_UNICODETEXT, utf16Mark + utf16("7\tx"), "1Ann 7x 3Cy "},
      {"UTF-16, UTF-16 mark into a text cell", CF_UNICODETEXT, utf16Mark + utf16("x"), "1Ann 2x 3Cy "},
      {"UTF-16, a second mark is text", CF_UNICODETEXT, utf16Mark + utf16Mark + utf16("x"),
       "1Ann 2\xEF\xBB\xBFx 3Cy "},
  };
  std::string asked;  // a refused value would be asked about
  SetMessageDlgScript([&asked](TMessageForm& Dialog) { return asked += Dialog.MessageText(), mrNo; });
  for (bool paste : {true, false})
    for (const Case& c : cases) {
      if (paste && !c.pasted) continue;
      SCOPED_TRACE(std::string(c.id) + (paste ? " (paste)" : " (import)"));
      asked.clear();
      dataSet->EmptyDataSet(), AddRows({{1, "Ann", 1.5}, {2, "Bob", 2.5}, {3, "Cy", 3.5}});
      // Into ID, or into NAME when the case's text is one cell.
      At(2, std::string(c.names).find("7x") != std::string::npos ? 0 : 1);
      const std::string input = c.bytes + std::string(c.format == CF_TEXT ? 1 : 2, '\0');
      TMemoryStream stream;
      stream.WriteBuffer(input.data(), static_cast<int64_t>(input.size())), stream.SetPosition(0);
      if (paste) {
        ResetClipboardForTest();
        PutStreamToClipboard(c.format, &stream);
        ErrorOf([&] { GridPasteAction(grid, false); });
      } else {
        ErrorOf([&] {
          ReadGridFromImportStream(c.format == CF_TEXT ? TDBGridEhImportAsText::StaticClass()
                                                       : TDBGridEhImportAsUnicodeText::StaticClass(),
                                   grid, &stream, false);
        });
      }
      EXPECT_EQ(Names() + asked, c.names);
    }
  ClearMessageDlgAnswers();
}

TEST_F(ClipboardActionsTest, DeleteAsksPerKindThenDeletesOrClearsExactlyTheSelection) {
  grid->SetOptions(grid->Options() + dgMultiSelect);
  grid->SetAllowedSelections({gstRecordBookmarks, gstRectangle, gstColumns, gstAll});
  struct Case {
    const char* id;
    std::function<void()> select;
    bool confirm;
    TModalResult answer;
    const char* asked;
    const char* names;
    int rowsLeft = 0;  // selected rows after the action
  } cases[] = {
      {"two rows",
       [&] {
         SelectRows({2, 4});
       },
       true, mrOk, "Delete 2 selected records?", "1Ann 3Cy 5Ed "},
      {"one row", [&] { SelectRows({4}); }, true, mrOk, "Delete record?", "1Ann 2Bob 3Cy 5Ed "},
      {"cancelled", [&] { SelectRows({4}); }, true, mrCancel, "Delete record?", "1Ann 2Bob 3Cy 4Di 5Ed ", 1},
      {"rectangle", [&] { SelectRect(2, 1, 3, 2); }, true, mrOk, "清除选择的单元？", "1Ann 2 3 4Di 5Ed "},
      {"columns", [&] { grid->Selection()->Columns()->Select(grid->Columns()->GetColumn(1), false); }, true,
       mrOk, "", "1 2 3 4 5 "},
      {"all", [&] { grid->Selection()->SelectAll(); }, true, mrOk, "Delete All records?", ""},
      {"all unasked", [&] { grid->Selection()->SelectAll(); }, false, mrOk, "", ""},
      {"current cell", [] {}, true, mrOk, "", "1Ann 2Bob 3Cy 4Di 5Ed "},
  };
  std::string asked;  // outlives the loop: the script that fills it stays set after it
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    dataSet->EmptyDataSet();
    AddRows({{1, "Ann", 1.5}, {2, "Bob", 2.5}, {3, "Cy", 3.5}, {4, "Di", 4.5}, {5, "Ed", 5.5}});
    grid->Selection()->Clear();
    grid->SetOptions(c.confirm ? grid->Options() + dgConfirmDelete : grid->Options() - dgConfirmDelete);
    c.select();
    asked.clear();
    SetMessageDlgScript(
        [&asked, answer = c.answer](TMessageForm& Dialog) { return asked += Dialog.MessageText(), answer; });
    GridDeleteAction(grid, false);
    EXPECT_EQ(std::make_tuple(asked, Names(), grid->SelectedRows()->Count()),
              std::make_tuple(c.asked, c.names, c.rowsLeft));
  }

  // A clearing that re-sorts the records clears the rectangle's records and no other.
  dataSet->EmptyDataSet();
  AddRows({{1, "B", 1}, {2, "C", 2}, {3, "D", 3}, {4, "A", 4}});
  dataSet->SetIndexFieldNames("NAME");  // A B C D
  SelectRect(2, 1, 3, 1);
  GridDeleteAction(grid, false);
  dataSet->SetIndexFieldNames("ID");
  EXPECT_EQ(Names(), "1 2 3D 4A ");

  // Cut copies first: a cancelled delete keeps the copy.
  grid->Selection()->SelectAll();
  SetMessageDlgScript([](TMessageForm&) { return mrCancel; });
  GridCutAction(grid, false);
  EXPECT_EQ(std::make_tuple(Clip(CF_TEXT).substr(0, 10), Names()),
            std::make_tuple("ID\tNAME\tAM", "1 2 3D 4A "));
  ClearMessageDlgAnswers();
}

TEST_F(ClipboardActionsTest, ClearingALookupColumnClearsItsKeyFields) {
  auto* items = new TMemoryDataSet(form);
  items->FieldDefs()->Add("K", ftInteger), items->FieldDefs()->Items(0)->CreateField(items);
  TField* name = CreateFieldForType(ftString, items);
  name->SetFieldName("NAME"), name->SetFieldKind(fkLookup), name->SetKeyFields("K"), name->SetDataSet(items);
  name->SetLookupDataSet(dataSet), name->SetLookupKeyFields("ID"), name->SetLookupResultField("NAME");
  items->CreateDataSet(), items->AppendRecord({2});
  source->SetDataSet(items);
  grid->Columns()->Clear(), AddColumns({"NAME"});
  ASSERT_EQ(name->AsString(), "Bob");
  grid->Selection()->Columns()->Select(grid->Columns()->GetColumn(0), false);
  GridDeleteAction(grid, false);
  items->CheckBrowseMode();
  EXPECT_EQ(std::make_tuple(items->FieldByName("K")->IsNull(), name->AsString()), std::make_tuple(true, ""));
}

// A paste by Ctrl+V that a value refuses asks once whether to ignore the error, and that question is
// the only report of it: answered No, the paste stops and nothing reaches the application's handler.
// A format error asks nothing and reaches it once. Either way no record changes.
TEST_F(ClipboardActionsTest, AFailedPasteIsReportedOnce) {
  struct Case {
    const char* id;
    std::string text;
    TModalResult answer;
    size_t questions;
    std::vector<std::string> handled;  // what reached the application's handler
  };
  const Case cases[] = {
      {"refused, No", "abc", mrNo, 1, {}},
      {"refused, Yes", "abc", mrYes, 1, {}},
      {"refused, All", "abc", mrAll, 1, {}},
      {"format error", "1\r2", mrNo, 0, {"TDBGridEhImportAsUnicodeText.CheckState: 错误的文本格式"}},
  };
  grid->SetEditActions({geaPasteEh});
  grid->SetFocus();
  const auto Records = [&] {
    std::string out;
    for (dataSet->First(); !dataSet->Eof(); dataSet->Next())
      out +=
          dataSet->FieldByName("NAME")->AsString() + " " + dataSet->FieldByName("AMOUNT")->AsString() + "|";
    return out;
  };
  const std::string before = Records();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    At(2, 2);
    Clipboard()->SetAsText(c.text);
    size_t questions = 0;
    SetMessageDlgScript([&](TMessageForm&) {
      ++questions;
      return c.answer;
    });
    handlerErrors.clear();
    Input::KeyDown(VK_CONTROL), Input::KeyDown('V'), Input::KeyUp('V'), Input::KeyUp(VK_CONTROL);
    Pump();
    ClearMessageDlgAnswers();
    EXPECT_EQ(std::tie(questions, handlerErrors), std::tie(c.questions, c.handled));
    EXPECT_EQ(Records(), before);
  }
}

}  // namespace
