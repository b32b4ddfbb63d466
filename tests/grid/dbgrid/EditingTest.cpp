// The data grid's cell editor: visibility, the row panel's remembered cell, double clicks,
// selected cells, focus and leaving the grid, the streamed row detail panel, and copying a value
// from the record above.
#include <functional>

#include "grid/dbgrid/DBGridEhPrivate.h"
#include "platform/rtl/Filer.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win/Painting.h"
#include "platform/win/WinTesting.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

// Records what the grid writes back from its editor and answers the cell-level press handling.
class TEditProbeGrid : public TDBGridEh {
 public:
  using TDBGridEh::TDBGridEh;
  void SetEditText(int ACol, int ARow, const std::string& Value) override {
    written.push_back(std::to_string(ACol) + "," + std::to_string(ARow) + "=" + Value);
    TDBGridEh::SetEditText(ACol, ARow, Value);
  }
  bool ProcessCellMouseDown(int X, int Y, bool DblClick) override {
    pressed.push_back(std::to_string(X) + "," + std::to_string(Y) + (DblClick ? " double" : " single"));
    return consumes;
  }
  std::vector<std::string> written, pressed;
  bool consumes = false;
};

class DBGridEditing : public DBGridTestBase {
 protected:
  TDBGridEh* MakeGrid(TComponent* AOwner) override { return new TEditProbeGrid(AOwner); }
  TEditProbeGrid* Probe() const { return static_cast<TEditProbeGrid*>(grid); }
  std::string Name() const { return dataSet->FieldByName("NAME")->AsString(); }
  void SetOption(TDBGridOption O, bool On) {
    grid->SetOptions(On ? grid->Options() + O : grid->Options() - O);
  }
};

TEST_F(DBGridEditing, EditorVisibilityAndTheRowPanelsRememberedCell) {
  AddNumberedRows(3);
  AddColumns({"ID", "NAME"});
  grid->SetFocus();
  for (bool always : {true, false, true}) {
    SCOPED_TRACE(always);
    SetOption(dgAlwaysShowEditor, always);
    grid->UpdateEditorVisibility();
    EXPECT_EQ(grid->EditorMode(), always);
    EXPECT_EQ(grid->InplaceEditor() && grid->InplaceEditor()->Visible(), always);
  }
  grid->HideEditor();

  // With the row panel the editor goes on the selected column's cell and writes back to the
  // cell it was opened on, until hidden.
  grid->RowPanel()->SetActive(true);
  ASSERT_TRUE(grid->RowPanel()->Active());
  grid->SetSelectedIndex(1);
  grid->ShowEditor();
  TInplaceEdit* editor = grid->InplaceEditor();
  ASSERT_TRUE(editor && editor->Visible());
  EXPECT_EQ(editor->BoundsRect(), grid->RowPanelEditorRect());
  EXPECT_EQ(editor->Text(), "Row 1");
  editor->SetText("Typed");
  Probe()->written.clear();
  grid->UpdateText();
  EXPECT_EQ(Probe()->written, std::vector<std::string>{"1," + std::to_string(grid->Row()) + "=Typed"});
  grid->HideEditor();  // hands the text on as it goes, then forgets the cell
  EXPECT_FALSE(editor->Visible());
  Probe()->written.clear();
  grid->UpdateText();
  EXPECT_TRUE(Probe()->written.empty());
}

TEST_F(DBGridEditing, SelectedCellsAndDoubleClicks) {
  // A double click the cell's own press handling takes is no cell double click.
  for (bool consumes : {false, true}) {
    Probe()->consumes = consumes;
    EXPECT_EQ(grid->CanCellDblClick(7, 9), !consumes);
  }
  EXPECT_EQ(Probe()->pressed, (std::vector<std::string>{"7,9 double", "7,9 double"}));
  AddNumberedRows(3);
  AddColumns({"ID", "NAME"});
  grid->SetFooterRowCount(1);
  dataSet->Next();
  grid->SelectedRows()->SetCurrentRowSelected(true);  // the second record, grid row 2
  struct Case {
    const char* kind;
    int col, row;
    bool selected;
  };
  const Case cases[] = {
      {"rows", 0, 2, true},  {"rows", 0, 1, false}, {"rows", 2, 2, true}, {"rows", 1, 1, false},
      {"rows", 1, 0, false}, {"rows", 1, 4, false}, {"all", 1, 0, true},  {"all", 0, 1, true},
      {"none", 0, 2, false}, {"none", 1, 2, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.kind << " " << c.col << "," << c.row);
    if (std::string(c.kind) == "all") grid->Selection()->SelectAll();
    if (std::string(c.kind) == "none") grid->Selection()->Clear();
    EXPECT_EQ(grid->IsCellSelected(c.col, c.row), c.selected);
  }
}

TEST_F(DBGridEditing, LeavingTheGridCancelsAnUntouchedInsertOrWritesTheEditor) {
  AddNumberedRows(3);
  AddColumns({"ID", "NAME"});
  auto* other = new TEdit(form);
  other->SetParent(form);
  struct Case {
    bool cancelOnExit, touched;
    TDataSetState state;
  };
  const Case cases[] = {{true, false, dsBrowse}, {true, true, dsInsert}, {false, false, dsInsert}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.cancelOnExit << c.touched);
    SetOption(dgCancelOnExit, c.cancelOnExit);
    grid->SetFocus();
    Pump();
    EXPECT_TRUE(grid->FocusedPainted());
    dataSet->Insert();
    if (c.touched) dataSet->FieldByName("NAME")->SetAsString("New");
    other->SetFocus();
    Pump();
    EXPECT_FALSE(grid->FocusedPainted());
    EXPECT_EQ(dataSet->State(), c.state);
    EXPECT_EQ(dataSet->RecordCount(), 3);
    dataSet->Cancel();
  }
  // A value typed into the editor reaches the field when the focus goes.
  grid->SetFocus();
  grid->SetSelectedIndex(1);
  grid->ShowEditor();
  ASSERT_TRUE(grid->InplaceEditor() && grid->InplaceEditor()->Visible());
  grid->InplaceEditor()->SetFocus();
  WinTesting::Type("Typed");
  Pump();
  EXPECT_EQ(Name(), "Row 1");
  other->SetFocus();
  Pump();
  EXPECT_EQ(Name(), "Typed");
}

// The streamed child named RowDetailData, or of the panel's class, is read into the grid's own
// panel; a malformed one raises the reader's error and the grid keeps its panel.
TEST_F(DBGridEditing, RowDetailDataIsReadIntoTheGridsOwnPanel) {
  TRowDetailPanelControlEh* own = grid->RowDetailPanelControl();
  struct Case {
    const char* child;
    const char* error;  // "": read
    const char* name;   // the panel's name afterwards
  };
  const Case cases[] = {
      {"object RowDetailData: TRowDetailPanelControlEh\n  Width = 120\nend\n", "", "RowDetailData"},
      {"object RowDetailData: TNoSuchPanelEh\n  Width = 121\nend\n", "", "RowDetailData"},
      {"object Detail: TRowDetailPanelControlEh\n  Width = 122\nend\n", "", "Detail"},
      {"object RowDetailData: TRowDetailPanelControlEh\n  Width = 'wide'\nend\n",
       "Error reading RowDetailData.Width: Invalid property value", "RowDetailData"},
      {"object RowDetailData: TRowDetailPanelControlEh\n  Depth = 3\nend\n",
       "Error reading RowDetailData.Depth: Property Depth does not exist", "RowDetailData"},
      {"object RowDetailData: TRowDetailPanelControlEh\nend\n"
       "object RowDetailData: TRowDetailPanelControlEh\nend\n",
       "A component named RowDetailData already exists", "RowDetailData"},
  };
  int width = own->Width();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.child);
    own->SetName("RowDetailData");
    const int children = grid->ControlCount();
    const std::string text = std::string("object Grid: TDBGridEh\n") + c.child + "end\n";
    std::string error;
    try {
      ReadComponentFromText(text, grid);
    } catch (const EReadError& e) {
      error = e.Message();
    }
    EXPECT_EQ(error, c.error);
    if (!*c.error) width = 120 + static_cast<int>(&c - cases);  // read; else kept
    EXPECT_EQ(grid->RowDetailPanelControl(), own);
    EXPECT_EQ(grid->FindComponent(c.name), own);
    EXPECT_EQ(own->Parent(), grid);
    EXPECT_EQ(own->Width(), width);
    EXPECT_EQ(grid->ControlCount(), children);
  }
  // A reader that skips what it cannot take skips a panel whose name is refused (another part
  // of the grid has it); the panel stays the grid's.
  TStringStream text(
      "object Grid: TDBGridEh\n  object HorzScrollBarPanelControl: TRowDetailPanelControlEh\n"
      "    Width = 140\n  end\nend\n");
  TMemoryStream binary;
  ObjectTextToBinary(text, binary);
  binary.SetPosition(0);
  TReader reader(binary);
  std::vector<std::string> skipped;
  reader.OnError = [&](TReader*, const std::string& Message, bool& Handled) {
    skipped.push_back(Message);
    Handled = true;
  };
  reader.ReadRootComponent(grid);
  EXPECT_EQ(skipped.size(), 1u);
  EXPECT_EQ(grid->RowDetailPanelControl(), own);
  EXPECT_EQ(grid->FindComponent("RowDetailData"), own);
  EXPECT_EQ(own->Parent(), grid);
}

// The value of the record above, also on the top row, where the record above lies outside the
// rows the grid holds; while editing, the top row copies nothing.
TEST_F(DBGridEditing, CopyValueFromTheRecordAbove) {
  AddNumberedRows(60);
  AddColumns({"ID", "NAME"});
  grid->SetFocus();
  grid->SetSelectedIndex(1);
  auto* link = grid->DataLink();
  struct Case {
    const char* where;
    bool editing;
    int from;  // the ID whose name is copied; 0: nothing copied
  };
  const Case cases[] = {
      {"top", false, -1}, {"first", false, 0}, {"second", false, 1}, {"top", true, 0}, {"inner", false, -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.where << " " << c.editing);
    const std::string where = c.where;
    if (where == "first" || where == "second") dataSet->First();
    if (where == "second") dataSet->Next();
    if (where == "top" || where == "inner") {
      dataSet->Last();
      dataSet->MoveBy(-link->ActiveRecord() + (where == "inner" ? 2 : 0));
      ASSERT_EQ(link->ActiveRecord(), where == "inner" ? 2 : 0);
    }
    if (c.editing) dataSet->Edit();
    const int id = dataSet->FieldByName("ID")->AsInteger();
    const std::string before = Name();
    const int from = c.from < 0 ? id - 1 : c.from;
    grid->CopyValueFromPreviousRecord();
    EXPECT_EQ(dataSet->FieldByName("ID")->AsInteger(), id);
    EXPECT_EQ(Name(), from ? "Row " + std::to_string(from) : before);
    EXPECT_EQ(dataSet->State(), from || c.editing ? dsEdit : dsBrowse);
    EXPECT_EQ(grid->EditorMode(), from != 0);
    grid->HideEditor();
    dataSet->Cancel();
  }
}

using DBGridRepaints = DBGridEditing;

// Where a step asks the grid to be repainted: the bounds of the update region it leaves.
TRect DirtyAfter(TCustomDBGridEh* Grid, const std::function<void()>& Step) {
  Application->ProcessMessages();
  ValidateRect(Grid->Handle(), nullptr);
  Step();
  TRect r{};
  return GetUpdateRect(Grid->Handle(), &r, FALSE) ? r : TRect{};
}

TEST_F(DBGridRepaints, FocusRepaintsTheCurrentRowAndTheSelectionSettersOnlyANewValue) {
  AddNumberedRows(4);
  AddColumns({"ID", "NAME"});
  dataSet->Last();
  grid->SelectedRows()->SetCurrentRowSelected(true);  // grid row 4
  dataSet->First();
  const TRect rows = DirtyAfter(grid, [&] {
    grid->InvalidateRow(1);
    grid->InvalidateRow(4);
  });
  const TRect titleCell = DirtyAfter(grid, [&] { grid->InvalidateCell(0, 0); });
  TGridEmptyDataInfoEh* info = grid->EmptyDataInfo();
  TDBGridEhIndicatorTitle* title = grid->IndicatorTitle();
  const std::pair<std::function<void()>, TRect> cases[] = {
      {[&] { grid->FocusChanged(); }, rows},
      {[&] { info->SetParentFont(true); }, TRect{}},
      {[&] { info->SetParentFont(false); }, grid->ClientRect()},
      {[&] { title->SetShowDropDownSign(false); }, TRect{}},
      {[&] { title->SetShowDropDownSign(true); }, titleCell},
  };
  for (size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(DirtyAfter(grid, cases[i].first), cases[i].second) << i;
}

}  // namespace
