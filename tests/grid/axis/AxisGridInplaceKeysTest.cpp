// The axis grid's cell editor under the keyboard: the list keys, the key rules of lookup and
// key pick-list cells, typed characters, type-ahead and paste.
#include <array>
#include <functional>

#include "grid/foundation/ClipboardLineEh.h"
#include "platform/win/Clipboard.h"
#include "tests/grid/axis/AxisGridInplaceEditTestSupport.h"

namespace {

class AxisInplaceKeys : public AxisInplaceEditBase {
 protected:
  void Paste(TDBAxisGridInplaceEdit* Ed, const std::string& Text) {
    ASSERT_TRUE(OpenClipboard(Ed->Handle()));
    EmptyClipboard();
    SetClipboardData(CF_TEXT, GlobalAllocFrom(Text.c_str(), Text.size() + 1));
    CloseClipboard();
    Chord(VK_CONTROL, 'V');
  }
  TDBAxisGridInplaceEdit* PickList(bool Keyed = false) {
    for (const char* s : {"alpha", "beta", "gamma"}) Column("NAME")->PickList()->Add(s);
    if (Keyed)
      for (const char* s : {"A", "B", "G"}) Column("NAME")->KeyList()->Add(s);
    return Edit("NAME");
  }
  std::string Name() { return rows->FieldByName("NAME")->AsString(); }
};

TEST_F(AxisInplaceKeys, ListKeysOpenCloseForwardAndFollow) {
  TDBAxisGridInplaceEdit* ed = PickList();
  struct Step {
    const char* name;
    std::function<void()> keys;
    bool open;
    const char* text;
  };
  const Step steps[] = {
      {"Alt+Down opens", [&] { Chord(VK_MENU, VK_DOWN); }, true, "alpha"},
      {"Down moves the list, the text follows", [&] { Key(VK_DOWN); }, true, "beta"},
      {"Enter accepts", [&] { Key(VK_RETURN); }, false, "beta"},
      {"Ctrl+Enter opens", [&] { Chord(VK_CONTROL, VK_RETURN); }, true, "beta"},
      {"Down again", [&] { Key(VK_DOWN); }, true, "gamma"},
      {"Escape restores", [&] { Key(VK_ESCAPE); }, false, "beta"},
      {"Alt+Down, Down, Alt+Up accepts",
       [&] { Chord(VK_MENU, VK_DOWN), Key(VK_DOWN), Chord(VK_MENU, VK_UP); }, false, "gamma"},
      {"a printable character opens with AutoDropDown",
       [&] { Column("NAME")->SetAutoDropDown(true), ed->SelectAll(), Type("a"); }, true, "alpha"},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    s.keys();
    EXPECT_EQ(ed->ListVisible(), s.open);
    EXPECT_EQ(ed->EditButtonControls()[0].second->AlwaysDown(), s.open);
    EXPECT_EQ(ed->Text(), s.text);
  }
  EXPECT_EQ(Name(), "gamma");
}

TEST_F(AxisInplaceKeys, TypeAheadAndPasteComplete) {
  struct Case {
    const char* name;
    const char* field;
    bool notInList;
    std::function<void(TDBAxisGridInplaceEdit*)> input;
    const char* text;
    int selStart, selLength;
    Variant key;
  };
  auto typed = [this](const char* s) {
    return [this, s](TDBAxisGridInplaceEdit* ed) { ed->SelectAll(), Type(s); };
  };
  auto pasted = [this](std::string s) {
    return [this, s](TDBAxisGridInplaceEdit* ed) { ed->SelectAll(), Paste(ed, s); };
  };
  const Case cases[] = {
      {"pick list", "NAME", false, typed("g"), "gamma", 1, 4, Variant()},
      {"pick list, no entry", "NAME", false, typed("q"), "q", 1, 0, Variant()},
      {"pick list, no entry, the rest stays", "NAME", false,
       [this](TDBAxisGridInplaceEdit* ed) { Select(ed, 2, 0), Type("q"); }, "alqpha", 3, 0, Variant()},
      {"lookup, first of two", "CITY", false, typed("be"), "Beijing", 2, 5, Variant(1)},
      {"lookup, narrowed", "CITY", false, typed("ber"), "Berlin", 3, 3, Variant(2)},
      {"lookup, no row drops the key", "CITY", false, typed("berx"), "Berlin", 3, 3, Variant(2)},
      {"lookup, no row, new entries heard", "CITY", true, typed("qu"), "qu", 2, 0, Null()},
      {"paste into lookup", "CITY", false, pasted("xI"), "Xian", 2, 2, Variant(3)},
      {"paste into pick list", "NAME", false, pasted("be"), "beta", 2, 2, Variant()},
      {"paste cut to the limit in characters", "NAME", false,
       pasted(std::string(25, 'q').insert(0, "\xC3\xA9")), "\xC3\xA9qqqqqqqqqqqqqqqqqqq", 20, 0, Variant()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    if (c.notInList) Column(c.field)->OnNotInList = [](TObject*, const std::string&, bool&) {};
    TDBAxisGridInplaceEdit* ed = std::string(c.field) == "NAME" ? PickList() : Edit(c.field);
    c.input(ed);
    EXPECT_EQ(ed->Text(), c.text);
    EXPECT_EQ((std::array{ed->SelStart(), ed->SelLength()}), (std::array{c.selStart, c.selLength}));
    if (!c.key.IsEmpty()) {
      EXPECT_EQ(VarToStr(grid->EditKeyValue()), VarToStr(c.key));
    }
  }
}

// Backspace and Delete in keyed cells: "Berlin" with the selection at [start, start + length).
TEST_F(AxisInplaceKeys, BackspaceAndDeleteInKeyedCells) {
  struct Case {
    const char* name;
    bool keyPickList, notInList;
    int vk, start, length;
    const char* text;
    int caret;
  };
  const Case cases[] = {
      {"Backspace without new entries moves the caret", false, false, VK_BACK, 3, 0, "Berlin", 2},
      {"Delete inside without new entries does nothing", false, false, VK_DELETE, 2, 0, "Berlin", 2},
      {"Backspace, completed tail", false, true, VK_BACK, 3, 3, "Be", 2},
      {"Backspace, selection inside the text", false, true, VK_BACK, 1, 2, "Blin", 1},
      {"Backspace, bare caret", false, true, VK_BACK, 3, 0, "Belin", 2},
      {"Delete, selection", false, true, VK_DELETE, 1, 2, "Blin", 1},
      {"Delete at the end clears text and key", false, false, VK_DELETE, 6, 0, "", 0},
      {"key pick list, Backspace inside the text", true, true, VK_BACK, 1, 2, "Blin", 1},
      {"key pick list, Backspace without new entries", true, false, VK_BACK, 3, 0, "Berlin", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    TAxisBarEh* col = Column(c.keyPickList ? "NAME" : "CITY");
    if (c.keyPickList) {
      col->PickList()->Add("Berlin");
      col->KeyList()->Add("B");
      rows->Edit();
      rows->FieldByName("NAME")->SetAsString("B");
      rows->Post();
    }
    if (c.notInList) col->OnNotInList = [](TObject*, const std::string&, bool&) {};
    TDBAxisGridInplaceEdit* ed = Edit(col->FieldName().c_str());
    ASSERT_EQ(ed->Text(), "Berlin");
    Select(ed, c.start, c.length);
    Key(c.vk);
    EXPECT_EQ(ed->Text(), c.text);
    EXPECT_EQ(ed->SelStart(), c.caret);
    if (!c.keyPickList && std::string(c.text) != "Berlin") {
      EXPECT_EQ(VarToStr(grid->EditKeyValue()), "");
    }
  }
}

TEST_F(AxisInplaceKeys, SpecialRowShortCutAndDecimalMarks) {
  TAxisBarEh* city = Column("CITY");
  city->DropDownSpecRow()->SetVisible(true);
  city->DropDownSpecRow()->SetCellsText("(none)");
  city->DropDownSpecRow()->SetValue(Variant(0));
  TDBAxisGridInplaceEdit* ed = Edit("CITY");
  Chord(VK_MENU, VK_DELETE);
  EXPECT_EQ(ed->Text(), "(none)");
  EXPECT_EQ(VarToStr(grid->EditKeyValue()), "0");
  // A number takes either mark as the decimal separator.
  ed = Edit("AMOUNT");
  ed->SelectAll();
  Type("2,5");
  EXPECT_EQ(ed->Text(), "2" + FormatSettings().DecimalSeparator + "5");
}

TEST_F(AxisInplaceKeys, LineFeedsAndArrowsInMultiLineCells) {
  rows->AppendRecord({"second", 2.0, Variant(), 1});
  rows->First();
  // Ctrl+Enter adds a line only to a cell of more than one.
  Column("NAME")->SetWordWrap(false);
  TDBAxisGridInplaceEdit* ed = Edit("NAME");
  Chord(VK_CONTROL, VK_RETURN);
  EXPECT_EQ(ed->Text(), "alpha");
  Column("NAME")->SetWordWrap(true);
  grid->SetDefaultRowHeight(60);
  ed = Edit("NAME");
  ASSERT_TRUE(ed->MultiLine());
  ed->SetSelStart(5);
  Chord(VK_CONTROL, VK_RETURN);
  EXPECT_EQ(ed->Text(), "alpha\r\n");
  Key(VK_ESCAPE);
  ed = Edit("NAME");
  Key(VK_DOWN);
  EXPECT_EQ(grid->Row(), 1);
  // With the editor always shown, the last line hands Down to the grid.
  grid->SetOptions(grid->Options() + TGridOptionsEh{goAlwaysShowEditorEh});
  ed = Edit("NAME");
  ed->SetSelStart(5);
  Key(VK_DOWN);
  EXPECT_EQ(grid->Row(), 2);
}

TEST_F(AxisInplaceKeys, CancelModeFromOutsideAndFocusLossCloseTheList) {
  TDBAxisGridInplaceEdit* ed = PickList();
  auto* other = new TEdit(form);
  other->SetParent(form);
  const std::pair<const char*, TControl*> senders[] = {
      {"the editor", ed}, {"its button", ed->EditButtonControls()[0].second}, {"another control", other}};
  for (const auto& [name, sender] : senders) {
    SCOPED_TRACE(name);
    if (!ed->ListVisible()) Chord(VK_MENU, VK_DOWN);
    ASSERT_TRUE(ed->ListVisible());
    ed->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(sender));
    EXPECT_EQ(ed->ListVisible(), sender != other);
  }
  EXPECT_EQ(ed->Text(), "alpha");
  // Leaving the editor closes its list and writes the cell.
  ed->SelectAll();
  Type("b");
  Chord(VK_MENU, VK_DOWN);
  ASSERT_TRUE(ed->ListVisible());
  other->SetFocus();
  Pump();
  EXPECT_FALSE(ed->ListVisible());
  EXPECT_EQ(Name(), "beta");
}

TEST_F(AxisInplaceKeys, ArrowCursorOverTheButtons) {
  Column("NAME")->SetButtonStyle(cbsEllipsis);
  TDBAxisGridInplaceEdit* ed = Edit("NAME");
  TEditButtonControlEh* b = ed->EditButtonControls()[0].second;
  for (const auto& [x, arrow] : {std::pair{b->Left() + 1, true}, std::pair{4, false}}) {
    const TPoint p = ed->ClientToScreen(TPoint{x, 2});
    Input::MouseMove(p);
    Pump();
    SetCursor(LoadCursor(nullptr, IDC_IBEAM));
    ed->Perform(WM_SETCURSOR, reinterpret_cast<WPARAM>(ed->Handle()), HTCLIENT);
    EXPECT_EQ(GetCursor() == LoadCursor(nullptr, IDC_ARROW), arrow) << x;
  }
}

}  // namespace
