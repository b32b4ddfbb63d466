// The axis grid's editing protocol: when a cell may be edited, what UpdateData hands the column,
// the texts of the hooks only the data grid supplies, timer 1 shared with the automatic
// scrolling, and data-aware editors hosted through the holder interface.
#include "grid/data/SharedTypesEh.h"
#include "grid/editors/DBComboBoxEh.h"
#include "grid/editors/DBEditEh.h"
#include "platform/win/WinTesting.h"
#include "tests/grid/axis/AxisGridTestSupport.h"

namespace {

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
    TField* city = CreateFieldForType(ftString, rich);
    city->SetFieldName("CITY");
    city->SetSize(20);
    city->SetFieldKind(fkLookup);
    city->SetKeyFields("CODE");
    city->SetLookupDataSet(cities);
    city->SetLookupKeyFields("Code");
    city->SetLookupResultField("City");
    city->SetDataSet(rich);
    rich->CreateDataSet();
    rich->AppendRecord({3, "note"});
    source->SetDataSet(rich);
    Pump();
  }
  void Select(const char* FieldName) { grid->SetCol(grid->GetColumnByFieldName(FieldName)->Index()); }
  TMemoryDataSet* cities = nullptr;
  TMemoryDataSet* rich = nullptr;
};

TEST_F(AxisGridEditing, AllowedOperationsDecideEditing) {
  AddRows({{1, "a", 1.0}});
  Select("NAME");
  using Ops = TGridAllowedOperationsEh;
  struct Case {
    const char* id;
    Ops ops;
    bool inserting;
    bool expected;
  };
  const Case cases[] = {
      {"all-existing", Ops{alopInsertEh, alopUpdateEh, alopDeleteEh, alopAppendEh}, false, true},
      {"no-update-existing", Ops{alopInsertEh, alopAppendEh}, false, false},
      {"no-update-inserting", Ops{alopInsertEh, alopAppendEh}, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    dataSet->Cancel();
    grid->SetAllowedOperations(c.ops);
    if (c.inserting) dataSet->Insert();
    grid->DataLink()->ClearModified();
    EXPECT_EQ(grid->CanEditModifyField(), c.expected);
    EXPECT_EQ(grid->DataLink()->IsModified(), c.expected);
  }
}

TEST_F(AxisGridEditing, EmptyDataSetNeedsInsertOrAppend) {
  using Ops = TGridAllowedOperationsEh;
  const std::pair<Ops, bool> cases[] = {{Ops{alopUpdateEh}, false},
                                        {Ops{alopUpdateEh, alopInsertEh}, true},
                                        {Ops{alopUpdateEh, alopAppendEh}, true},
                                        {Ops{alopInsertEh}, false}};
  for (const auto& [ops, expected] : cases) {
    grid->SetAllowedOperations(ops);
    EXPECT_EQ(grid->CanUpdateByAllowedOperations(), expected) << ops.ToBits();
  }
}

TEST_F(AxisGridEditing, ReadOnlyAnywhereForbidsEditing) {
  AddRows({{1, "a", 1.0}});
  Select("NAME");
  TAxisBarEh* bar = grid->SelectedAxisBar();
  TField* name = dataSet->FieldByName("NAME");
  const std::pair<const char*, std::function<void(bool)>> cases[] = {
      {"grid", [&](bool v) { grid->SetReadOnly(v); }},
      {"column", [&](bool v) { bar->SetReadOnly(v); }},
      {"field", [&](bool v) { name->SetReadOnly(v); }},
      {"link", [&](bool v) { grid->DataLink()->SetReadOnly(v); }},
  };
  for (const auto& [id, set] : cases) {
    SCOPED_TRACE(id);
    dataSet->Cancel();
    set(true);
    EXPECT_FALSE(grid->CanEditModifyField());
    EXPECT_EQ(dataSet->State(), dsBrowse);
    set(false);
    EXPECT_TRUE(grid->CanEditModifyField());
  }
  // The column's own test edits without marking the link modified.
  dataSet->Cancel();
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
  struct Case {
    const char* id;
    bool linked;
    int imposed;
    char32_t key;
    bool accepts, modifies;
  };
  const Case cases[] = {
      {"digit", true, -1, U'5', true, false},
      {"letter", true, -1, U'a', false, false},
      {"imposed-ro", true, 1, U'5', false, false},
      {"imposed-writable", true, 0, U'5', true, true},
      {"unlinked-imposed", false, 0, U'a', true, false},
      {"unlinked", false, -1, U'5', false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    imposing->SetDataSource(c.linked ? source : nullptr);
    imposing->Imposed = c.imposed;
    EXPECT_EQ(imposing->CanEditAcceptKey(c.key), c.accepts);
    if (c.linked) {
      EXPECT_EQ(imposing->CanEditModifyField(), c.modifies);
    }
    dataSet->Cancel();
  }
}

TEST_F(AxisGridEditing, BlobAndLookupFields) {
  UseRichDataSet();
  TField* note = rich->FieldByName("NOTE");
  Select("NOTE");
  EXPECT_FALSE(grid->CanEditModifyField());
  grid->SetDrawMemoText(true);
  EXPECT_TRUE(grid->CanEditModifyField());
  rich->Cancel();
  grid->SetDrawMemoText(false);
  note->OnSetText = TFieldSetTextEvent([](TField* F, const std::string& T) { F->SetAsString(T); });
  EXPECT_TRUE(grid->CanEditModifyField());

  rich->Cancel();
  Select("CITY");
  EXPECT_TRUE(grid->CanEditModifyField());
  rich->Cancel();
  rich->FieldByName("CODE")->SetReadOnly(true);
  EXPECT_FALSE(grid->CanEditModifyField());
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
  struct Case {
    const char* id;
    int col;
    const char* text;
    Variant value;
    bool useText;
    int notInList;
  };
  const Case cases[] = {
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
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    notInList = 0;
    grid->SetCol(c.col);
    grid->SetEditText(c.col, 1, c.text);
    grid->UpdateData();
    EXPECT_EQ(gotText, c.text);
    EXPECT_TRUE(VarSameValue(gotValue, c.value)) << VarToStr(gotValue);
    EXPECT_EQ(gotUseText, c.useText);
    EXPECT_EQ(notInList, c.notInList);
  }
}

TEST_F(AxisGridEditing, HooksForTheDataGridRaiseWithTheirTexts) {
  TCustomDBAxisGridEh* base = grid;
  const std::pair<const char*, std::function<void()>> cases[] = {
      {"Must be rewrited in the inherited class", [&] { base->TCustomDBAxisGridEh::GetEditMask(0, 1); }},
      {"Must be rewrited in the inherited class", [&] { base->TCustomDBAxisGridEh::GetEditText(0, 1); }},
      {" TCustomDBAxisGridEh.SetSelectedIndex must be realized in the inherited class.",
       [&] { base->TCustomDBAxisGridEh::SetSelectedIndex(0); }},
      {"Write TCustomDBAxisGridEh.SetTitleFont in the inherited class",
       [&] { base->TCustomDBAxisGridEh::SetTitleFont(nullptr); }},
      {"Write TCustomDBAxisGridEh.GetTitleFont in the inherited class",
       [&] { base->TCustomDBAxisGridEh::GetTitleFont(); }},
      {"字段名 'NOPE' 没有找到", [&] { grid->GetColumnByFieldName("NOPE"); }},
  };
  for (const auto& [text, call] : cases) {
    SCOPED_TRACE(text);
    try {
      call();
      ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
      EXPECT_STREQ(e.what(), text);
    }
  }
  EXPECT_EQ(grid->GetColumnByFieldName("name"), grid->Columns()->GetAxisBar(1));
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
  EXPECT_EQ(time, 0);
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
    EXPECT_EQ(holder->KeyDowns, 2);
    EXPECT_EQ(holder->KeyPresses, 2);
    EXPECT_EQ(holder->KeyUps, 2);
    EXPECT_EQ(holder->Chars, 2);
    EXPECT_EQ(editor->Text(), "a");
  }
}

}  // namespace
