// The axis grid's editing protocol: when a cell may be edited, what UpdateData hands the column,
// finding columns by field name, timer 1 shared with the automatic scrolling, and data-aware
// editors hosted through the holder interface.
#include <array>

#include "grid/data/SharedTypesEh.h"
#include "grid/editors/DBComboBoxEh.h"
#include "grid/editors/DBEditEh.h"
#include "platform/win/WinTesting.h"
#include "tests/grid/axis/AxisGridTestSupport.h"

namespace {

using Ops = TGridAllowedOperationsEh;

class AxisGridEditing : public AxisGridTestBase {
 protected:
  // A data set with a memo, a lookup field CITY over CODE, and persistent fields.
  void UseRichDataSet() {
    cities = new TMemoryDataSet(form);
    cities->FieldDefs()->Add("Code", ftInteger);
    cities->FieldDefs()->Add("City", ftString, 20);
    cities->CreateDataSet();
    cities->AppendRecord({3, "Xian"});
    rich = new TMemoryDataSet(form);
    rich->FieldDefs()->Add("CODE", ftInteger);
    rich->FieldDefs()->Add("NOTE", ftMemo);
    for (int i = 0; i < rich->FieldDefs()->Count(); ++i) rich->FieldDefs()->Items(i)->CreateField(rich);
    AddCityLookupField(rich, cities);
    rich->CreateDataSet();
    rich->AppendRecord({3, "note"});
    source->SetDataSet(rich);
    Pump();
  }
  // Selects the field's column and asks whether its cell may be edited, leaving no edit behind.
  bool CanEdit(const char* FieldName) {
    grid->SetCol(grid->GetColumnByFieldName(FieldName)->Index());
    const bool can = grid->CanEditModifyField();
    source->DataSet()->Cancel();
    return can;
  }
  TMemoryDataSet* cities = nullptr;
  TMemoryDataSet* rich = nullptr;
};

TEST_F(AxisGridEditing, AllowedOperationsDecideEditing) {
  // An empty data set is edited by inserting or appending.
  const std::pair<Ops, bool> empty[] = {{Ops{alopUpdateEh}, false},
                                        {Ops{alopUpdateEh, alopInsertEh}, true},
                                        {Ops{alopUpdateEh, alopAppendEh}, true},
                                        {Ops{alopInsertEh}, false}};
  for (const auto& [ops, expected] : empty) {
    grid->SetAllowedOperations(ops);
    EXPECT_EQ(grid->CanUpdateByAllowedOperations(), expected) << ops.ToBits();
  }
  // A record is edited with updates allowed, or while it is being inserted; the test marks the
  // link modified when it starts the edit.
  AddRows({{1, "a", 1.0}});
  grid->SetCol(1);
  const std::tuple<Ops, bool, bool> cases[] = {
      {Ops{alopInsertEh, alopUpdateEh, alopDeleteEh, alopAppendEh}, false, true},
      {Ops{alopInsertEh, alopAppendEh}, false, false},
      {Ops{alopInsertEh, alopAppendEh}, true, true},
  };
  for (const auto& [ops, inserting, expected] : cases) {
    SCOPED_TRACE(testing::Message() << ops.ToBits() << " inserting " << inserting);
    dataSet->Cancel();
    grid->SetAllowedOperations(ops);
    if (inserting) dataSet->Insert();
    grid->DataLink()->ClearModified();
    EXPECT_EQ(grid->CanEditModifyField(), expected);
    EXPECT_EQ(grid->DataLink()->IsModified(), expected);
  }
}

TEST_F(AxisGridEditing, ReadOnlyAnywhereForbidsEditing) {
  AddRows({{1, "a", 1.0}});
  TAxisBarEh* bar = grid->GetColumnByFieldName("NAME");
  const std::pair<const char*, std::function<void(bool)>> cases[] = {
      {"grid", [&](bool v) { grid->SetReadOnly(v); }},
      {"column", [&](bool v) { bar->SetReadOnly(v); }},
      {"field", [&](bool v) { dataSet->FieldByName("NAME")->SetReadOnly(v); }},
      {"link", [&](bool v) { grid->DataLink()->SetReadOnly(v); }},
  };
  grid->SetCol(bar->Index());
  for (const auto& [id, set] : cases) {
    SCOPED_TRACE(id);
    set(true);
    EXPECT_FALSE(grid->CanEditModifyField());
    EXPECT_EQ(dataSet->State(), dsBrowse);  // no edit started
    set(false);
    EXPECT_TRUE(CanEdit("NAME"));
  }
  // The column's own test edits without marking the link modified.
  grid->DataLink()->ClearModified();
  EXPECT_TRUE(bar->CanModify(true));
  EXPECT_TRUE(grid->DataLink()->Editing());
  EXPECT_FALSE(grid->DataLink()->IsModified());
}

// A grid whose cell editor reports an imposed read-only state: -1 none, 0 writable, 1 read-only.
struct TImposingGrid : TTestAxisGridEh {
  using TTestAxisGridEh::TTestAxisGridEh;
  int Imposed = -1;
  bool GetImposedEditorReadOnly(bool& ReadOnly) override {
    ReadOnly = Imposed == 1;
    return Imposed >= 0;
  }
};

TEST_F(AxisGridEditing, ImposedEditorStateDecidesKeysAndEditing) {
  AddRows({{1, "a", 1.0}});
  auto* imposing = new TImposingGrid(form);
  imposing->SetParent(form);
  imposing->SetDataSource(source);
  imposing->SetCol(0);  // ID takes digits only
  imposing->SetReadOnly(true);
  // Linked, the imposed state, the key: whether the key is accepted and the field edited.
  const std::tuple<const char*, bool, int, char32_t, bool, bool> cases[] = {
      {"digit", true, -1, U'5', true, false},
      {"letter", true, -1, U'a', false, false},
      {"imposed-ro", true, 1, U'5', false, false},
      {"imposed-writable", true, 0, U'5', true, true},
      {"unlinked-imposed", false, 0, U'a', true, false},
      {"unlinked", false, -1, U'5', false, false},
  };
  for (const auto& [id, linked, imposed, key, accepts, modifies] : cases) {
    SCOPED_TRACE(id);
    imposing->SetDataSource(linked ? source : nullptr);
    imposing->Imposed = imposed;
    EXPECT_EQ(imposing->CanEditAcceptKey(key), accepts);
    EXPECT_EQ(linked && imposing->CanEditModifyField(), modifies);
    dataSet->Cancel();
  }
}

TEST_F(AxisGridEditing, BlobAndLookupFields) {
  UseRichDataSet();
  // A memo is edited when the grid shows its text or the field takes text itself.
  EXPECT_FALSE(CanEdit("NOTE"));
  grid->SetDrawMemoText(true);
  EXPECT_TRUE(CanEdit("NOTE"));
  grid->SetDrawMemoText(false);
  rich->FieldByName("NOTE")->OnSetText =
      TFieldSetTextEvent([](TField* F, const std::string& T) { F->SetAsString(T); });
  EXPECT_TRUE(CanEdit("NOTE"));
  // A lookup field is edited through its key fields.
  EXPECT_TRUE(CanEdit("CITY"));
  rich->FieldByName("CODE")->SetReadOnly(true);
  EXPECT_FALSE(CanEdit("CITY"));
}

TEST_F(AxisGridEditing, UpdateDataHandsTheColumnTextOrValue) {
  UseRichDataSet();
  grid->Columns()->Clear();
  for (const char* name : {"", "NOTE", "CODE", "CITY", "NOTE"}) grid->Columns()->Add()->SetFieldName(name);
  TAxisBarEh* picks = grid->Columns()->GetAxisBar(1);
  picks->PickList()->Add("a");
  TAxisBarEh* keys = grid->Columns()->GetAxisBar(2);
  keys->PickList()->Add("One");
  keys->KeyList()->Add("1");
  int notInList = 0;
  for (TAxisBarEh* bar : {picks, keys})
    bar->OnNotInList = TAxisBarNotInListEventEh([&](TObject* Sender, const std::string& Text, bool& Recheck) {
      ++notInList;
      if (Text != "Nine") return;
      keys->PickList()->Add("Nine");
      keys->KeyList()->Add("9");
      Recheck = true;
    });
  std::string gotText;
  Variant gotValue;
  bool gotUseText = false;
  for (int i = 0; i < grid->Columns()->Count(); ++i)
    grid->Columns()->GetAxisBar(i)->OnUpdateData = TColCellUpdateDataEventEh(
        [&](TObject*, std::string& Text, Variant& Value, bool& UseText, bool& Handled) {
          gotText = Text;
          gotValue = Value;
          gotUseText = UseText;
          Handled = true;
        });
  grid->SetEditKeyValue(3);
  // The column, the typed text: what the column is handed and how often the text is not in the list.
  const std::tuple<const char*, int, const char*, Variant, bool, int> cases[] = {
      {"no-field", 0, "x", "x", true, 0},
      {"pick-list-in", 1, "a", "a", true, 0},
      {"pick-list-not-in", 1, "b", "b", true, 1},
      {"key-found", 2, "One", "1", false, 0},
      {"key-missing", 2, "Zz", Variant::Null(), false, 1},
      {"key-empty", 2, "", Variant::Null(), false, 0},
      {"key-added-by-event", 2, "Nine", "9", false, 1},
      {"lookup", 3, "Xian", 3, false, 0},
      {"other", 4, "long note", "long note", true, 0},
  };
  for (const auto& [id, col, text, value, useText, misses] : cases) {
    SCOPED_TRACE(id);
    notInList = 0;
    grid->SetCol(col);
    grid->SetEditText(col, 1, text);
    grid->UpdateData();
    EXPECT_EQ(gotText, text);
    EXPECT_TRUE(VarSameValue(gotValue, value)) << VarToStr(gotValue);
    EXPECT_EQ(gotUseText, useText);
    EXPECT_EQ(notInList, misses);
  }
}

TEST_F(AxisGridEditing, ColumnsAreFoundByFieldNameIgnoringCase) {
  EXPECT_EQ(grid->GetColumnByFieldName("name"), grid->Columns()->GetAxisBar(1));
  try {
    grid->GetColumnByFieldName("NOPE");
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "字段名 'NOPE' 没有找到");
  }
}

TEST_F(AxisGridEditing, TimerOneIsSharedWithTheAutomaticScrolling) {
  grid->StartGridTimer(100);
  EXPECT_TRUE(grid->GridTimerRunning());
  EXPECT_EQ(grid->GridTimerInterval(), -1);  // the first start keeps the remembered interval
  grid->StartGridTimer(100);
  EXPECT_EQ(grid->GridTimerInterval(), 100);
  grid->StopGridTimer();
  EXPECT_FALSE(grid->GridTimerRunning());
  EXPECT_EQ(grid->GridTimerInterval(), -1);

  AddRows({{1, "a", 1.0}, {2, "b", 2.0}, {3, "c", 3.0}});
  grid->SetOptions(grid->Options() - TGridOptionsEh{goEditingEh});
  grid->SetFocus();
  const TRect cell = grid->CellRect(0, 3);
  const LPARAM at = MAKELPARAM(cell.Left + 2, cell.Top + 2);
  grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON, at);
  EXPECT_EQ(grid->Row(), 3);
  EXPECT_TRUE(grid->GridTimerRunning());
  TPoint pos;
  int32_t time = -1;
  grid->GetMouseDownInfo(pos, time);
  EXPECT_EQ(pos, grid->ClientToScreen(TPoint{cell.Left + 2, cell.Top + 2}));
  grid->GetMouseDownInfo(pos, time);
  EXPECT_EQ(time, 0);  // the press's time is handed out once
  // The cursor rests above the grid: a tick of timer 1 scrolls up one row.
  SetCursorPos(0, 0);
  grid->Perform(WM_TIMER, 1, 0);
  EXPECT_EQ(grid->Row(), 2);
  grid->Perform(WM_LBUTTONUP, 0, at);
  EXPECT_FALSE(grid->GridTimerRunning());
  EXPECT_EQ(grid->GridTimerInterval(), -1);
}

// A grid that records what hosted editors hand it and swallows the character 'x'.
struct TRecordingGrid : TTestAxisGridEh {
  using TTestAxisGridEh::TTestAxisGridEh;
  int KeyDowns = 0, KeyPresses = 0, KeyUps = 0, Chars = 0;
  void InplaceEditWndProc(TControl*, TMessage& Message) override { Chars += Message.Msg == WM_CHAR; }
  void InplaceEditKeyDown(TControl*, Word&, TShiftState) override { ++KeyDowns; }
  void InplaceEditKeyPress(TControl*, char32_t& Key) override {
    ++KeyPresses;
    if (Key == U'x') Key = 0;
  }
  void InplaceEditKeyUp(TControl*, Word&, TShiftState) override { ++KeyUps; }
};

TEST_F(AxisGridEditing, HostedEditorsTalkToTheGrid) {
  TCustomDBEditEh* editors[] = {new TDBEditEh(form), new TDBComboBoxEh(form)};
  for (TCustomDBEditEh* editor : editors) {
    SCOPED_TRACE(editor->ClassName());
    auto* holder = new TRecordingGrid(form);
    holder->SetParent(form);
    editor->SetParent(holder);
    editor->SetInplaceEditHolder(holder);
    editor->SetBoundsRect(TRect{2, 2, 100, 22});
    editor->SetFocus();
    Pump();
    WinTesting::Type("ax");
    Pump();
    EXPECT_EQ((std::array{holder->KeyDowns, holder->KeyPresses, holder->KeyUps, holder->Chars}),
              (std::array{2, 2, 2, 2}));
    EXPECT_EQ(editor->Text(), "a");
  }
}

}  // namespace
