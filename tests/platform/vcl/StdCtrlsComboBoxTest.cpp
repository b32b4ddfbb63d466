// TComboBox: items before and after the window, dropping down, choosing, typing.
#include "tests/platform/vcl/StdCtrlsTestSupport.h"
#include "tests/support/SurfacePixels.h"

namespace stdctrls_test {
namespace {

class TComboBoxTest : public TStdCtrlsTest {
 protected:
  TComboBox* Combo(TComboBoxStyle Style) {
    auto* cb = new TComboBox(form);
    cb->SetStyle(Style);
    for (const char* s : {"收入", "支出", "账户"}) cb->Items()->Add(s);
    cb->SetParent(form);
    cb->SetBounds(10, 10, 120, 21);
    cb->OnChange = [this](TObject*) { log.push_back("change"); };
    cb->OnDropDown = [this](TObject*) { log.push_back("dropdown"); };
    cb->OnCloseUp = [this](TObject*) { log.push_back("closeup"); };
    cb->OnClick = [this](TObject*) { log.push_back("click"); };
    return cb;
  }
  std::vector<std::string> log;
};

TEST_F(TComboBoxTest, StylesMapToTheWindowAndTheEditChild) {
  struct Case {
    TComboBoxStyle Style;
    DWORD Kind;
    bool HasEdit;
  };
  const Case cases[] = {{csDropDown, CBS_DROPDOWN, true},
                        {csSimple, CBS_SIMPLE, true},
                        {csDropDownList, CBS_DROPDOWNLIST, false},
                        {csOwnerDrawFixed, CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Style));
    TComboBox* cb = Combo(c.Style);
    cb->HandleNeeded();
    EXPECT_EQ(StyleOf(cb) & (0x3 | CBS_OWNERDRAWFIXED), c.Kind);
    EXPECT_EQ(cb->EditHandle() != nullptr, c.HasEdit);
    EXPECT_NE(cb->ListHandle(), nullptr);
    EXPECT_EQ(cb->Items()->Count(), 3);
    // The scroll bar the class library asks for is the list's: none stands beside the field.
    EXPECT_EQ(StyleOf(cb) & WS_VSCROLL, 0u);
    EXPECT_NE(GetWindowLong(cb->ListHandle(), GWL_STYLE) & WS_VSCROLL, 0);
    delete cb;
  }
}

// An edit and a combo box with a chosen item, as on a form: the combo box's text is
// highlighted only while Tab has put the focus in it.
TEST_F(TComboBoxTest, TheHighlightShowsOnlyWhileTheComboHasTheFocus) {
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  for (TComboBoxStyle style : {csDropDown, csDropDownList}) {
    SCOPED_TRACE(static_cast<int>(style));
    auto* edit = Make<TEdit>(10, 60);
    TComboBox* cb = Combo(style);
    cb->SetItemIndex(0);
    WinTesting::Click(ScreenOf(edit, 5, 5));
    Pump();
    ASSERT_TRUE(edit->Focused());
    const auto highlighted = [&] {
      int n = 0;
      for (int y = 0; y < cb->Height(); ++y)
        for (int x = 0; x < cb->Width(); ++x)
          if (test_support::ScreenPixel(form->Handle(), ScreenOf(cb, x, y)) == highlight) ++n;
      return n;
    };
    EXPECT_EQ(highlighted(), 0) << "unfocused";
    WinTesting::KeyPress(VK_TAB);
    Pump();
    ASSERT_TRUE(cb->Focused());
    // A point the highlight covers: the first character's corner in the edit; in the face of a
    // drop-down list, right of the text and inside the focus frame.
    COMBOBOXINFO info;
    ASSERT_TRUE(GetComboBoxInfo(cb->Handle(), &info));
    POINT probe{info.rcItem.Right - 3, info.rcItem.Top + info.rcItem.Height() / 2};
    if (cb->EditHandle()) {
      const auto pos = static_cast<uintptr_t>(SendMessage(cb->EditHandle(), EM_POSFROMCHAR, 0, 0));
      probe = POINT{info.rcItem.Left + LOWORD(pos), info.rcItem.Top + HIWORD(pos)};
    }
    EXPECT_EQ(test_support::ScreenPixel(form->Handle(), ScreenOf(cb, probe.X, probe.Y)), highlight)
        << "focused";
    WinTesting::KeyPress(VK_TAB);
    Pump();
    ASSERT_TRUE(edit->Focused());
    EXPECT_EQ(highlighted(), 0) << "after Tab left it";
    cb->SetItemIndex(1);
    Pump();
    EXPECT_EQ(highlighted(), 0) << "chosen after Tab left it";
    delete cb;
    delete edit;
  }
}

// A click straight into the edit child of a drop-down combo box: the form did not hear of the
// new focus, so the button focused before kept the default frame and the Default button did not
// get it back, and the combo box saw no OnEnter.
TEST_F(TComboBoxTest, AClickIntoTheEditMovesTheFormsFocusToTheCombo) {
  auto* ok = Make<TButton>(10, 60);
  ok->SetDefault(true);
  auto* other = Make<TButton>(100, 60);
  TComboBox* cb = Combo(csDropDown);
  cb->OnEnter = [this](TObject*) { log.push_back("enter"); };
  cb->OnExit = [this](TObject*) { log.push_back("exit"); };
  WinTesting::Click(ScreenOf(other, 5, 5));
  Pump();
  ASSERT_TRUE(other->Focused());
  EXPECT_EQ(StyleOf(other) & BS_TYPEMASK, static_cast<DWORD>(BS_DEFPUSHBUTTON));
  EXPECT_EQ(StyleOf(ok) & BS_TYPEMASK, static_cast<DWORD>(BS_PUSHBUTTON));

  RECT edit;
  GetWindowRect(cb->EditHandle(), &edit);
  WinTesting::Click(POINT{edit.Left + 3, edit.Top + 3});
  Pump();
  EXPECT_EQ(GetFocus(), cb->EditHandle());
  EXPECT_EQ(form->ActiveControl(), cb);
  EXPECT_EQ(log, (std::vector<std::string>{"enter"}));
  EXPECT_EQ(StyleOf(other) & BS_TYPEMASK, static_cast<DWORD>(BS_PUSHBUTTON));
  EXPECT_EQ(StyleOf(ok) & BS_TYPEMASK, static_cast<DWORD>(BS_DEFPUSHBUTTON));

  WinTesting::Click(ScreenOf(other, 5, 5));
  Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"enter", "exit"}));
  EXPECT_EQ(StyleOf(other) & BS_TYPEMASK, static_cast<DWORD>(BS_DEFPUSHBUTTON));
}

TEST_F(TComboBoxTest, DropDownAndChooseByKeyboard) {
  TComboBox* cb = Combo(csDropDownList);
  cb->SetFocus();
  Pump();
  cb->SetDroppedDown(true);
  Pump();
  EXPECT_TRUE(cb->DroppedDown());
  WinTesting::KeyPress(VK_DOWN);
  WinTesting::KeyPress(VK_DOWN);
  WinTesting::KeyPress(VK_RETURN);
  Pump();
  EXPECT_FALSE(cb->DroppedDown());
  EXPECT_EQ(cb->ItemIndex(), 1);
  EXPECT_EQ(cb->Text(), "支出");
  // Each move in the dropped list is a choice already.
  const std::vector<std::string> want{"dropdown", "click", "change", "click", "change", "closeup"};
  EXPECT_EQ(log, want);
}

TEST_F(TComboBoxTest, OnSelectReplacesChangeForAChoice) {
  TComboBox* cb = Combo(csDropDownList);
  int selects = 0;
  cb->OnSelect = [&](TObject*) { ++selects; };
  cb->SetFocus();
  Pump();
  WinTesting::KeyPress(VK_DOWN);  // closed: the arrow chooses the next item at once
  Pump();
  EXPECT_EQ(cb->ItemIndex(), 0);
  EXPECT_EQ(selects, 1);
  EXPECT_EQ(std::count(log.begin(), log.end(), "change"), 0);
}

TEST_F(TComboBoxTest, DropDownCountSizesTheList) {
  TComboBox* cb = Combo(csDropDown);
  for (int i = 0; i < 20; ++i) cb->Items()->Add("x" + std::to_string(i));
  cb->SetDropDownCount(5);
  cb->SetDroppedDown(true);
  Pump();
  RECT list{};
  GetWindowRect(cb->ListHandle(), &list);
  EXPECT_GE(list.Bottom - list.Top, 5 * cb->ItemHeight());
  EXPECT_LT(list.Bottom - list.Top, 6 * cb->ItemHeight());
  cb->SetDroppedDown(false);
}

TEST_F(TComboBoxTest, TypingChangesAndProgramTextDoesNot) {
  TComboBox* cb = Combo(csDropDown);
  cb->SetText("start");
  EXPECT_TRUE(log.empty());
  cb->SetFocus();
  Pump();
  cb->SelectAll();
  WinTesting::Type("ab");
  Pump();
  EXPECT_EQ(cb->Text(), "ab");
  EXPECT_EQ(std::count(log.begin(), log.end(), "change"), 2);
  EXPECT_EQ(cb->SelStart(), 2);
  cb->SetSelStart(0);
  cb->SetSelLength(1);
  EXPECT_EQ(cb->SelText(), "a");
}

TEST_F(TComboBoxTest, KeysTypedInTheEditReachTheComboBoxEvents) {
  TComboBox* cb = Combo(csDropDown);
  std::string pressed;
  cb->OnKeyPress = [&](TObject* Sender, char32_t& Key) {
    EXPECT_EQ(Sender, cb);
    pressed.push_back(static_cast<char>(Key));
    if (Key == U'x') Key = 0;
  };
  cb->SetText("");
  cb->SetFocus();
  Pump();
  WinTesting::Type("axb");
  Pump();
  EXPECT_EQ(pressed, "axb");
  EXPECT_EQ(cb->Text(), "ab") << "a key set to 0 is swallowed";
}

// Recreating the window while the user types in the edit child (a style change, say) gives
// the new edit child the focus, and its keys reach the events, over two recreations and both
// ways of recreating.
TEST_F(TComboBoxTest, KeysTypedInTheEditSurviveRecreatingTheWindow) {
  struct Case {
    const char* Name;
    void (*Recreate)(TComboBox*);
  };
  const Case cases[] = {
      {"RecreateWnd", [](TComboBox* cb) { cb->RecreateWnd(); }},
      {"style round trip",
       [](TComboBox* cb) {
         cb->SetStyle(csDropDownList);
         cb->SetStyle(csDropDown);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TComboBox* cb = Combo(csDropDown);
    std::string pressed, down;
    cb->OnKeyPress = [&](TObject* Sender, char32_t& Key) {
      EXPECT_EQ(Sender, cb);
      pressed.push_back(static_cast<char>(Key));
      if (Key == U'x') Key = 0;
    };
    cb->OnKeyDown = [&](TObject*, WORD& Key, TShiftState) { down.push_back(static_cast<char>(Key)); };
    cb->SetText("");
    cb->SetFocus();
    Pump();
    WinTesting::Type("a");
    Pump();
    ASSERT_EQ(pressed, "a");
    for (int round = 1; round <= 2; ++round) {
      SCOPED_TRACE(round);
      const HWND oldEdit = cb->EditHandle();
      c.Recreate(cb);
      Pump();
      ASSERT_NE(cb->EditHandle(), nullptr);
      EXPECT_NE(cb->EditHandle(), oldEdit);
      EXPECT_EQ(GetFocus(), cb->EditHandle());
      EXPECT_TRUE(cb->Focused());
      pressed.clear();
      down.clear();
      cb->SetText("");
      WinTesting::Type("axb");
      Pump();
      EXPECT_EQ(pressed, "axb");
      EXPECT_EQ(down, "AXB");
      EXPECT_EQ(cb->Text(), "ab") << "a key set to 0 is swallowed";
    }
    delete cb;
  }
}

TEST_F(TComboBoxTest, ItemIndexAndItemsKeptWithoutWindowAndAcrossRecreate) {
  auto* cb = new TComboBox(form);
  cb->Items()->Add("b");
  cb->Items()->Add("a");
  cb->SetItemIndex(1);
  EXPECT_EQ(cb->Text(), "a");
  cb->SetParent(form);
  cb->HandleNeeded();
  EXPECT_EQ(cb->ItemIndex(), 1);
  cb->SetSorted(true);  // recreates with a sorted list
  EXPECT_EQ(cb->Items()->Strings(0), "a");
  EXPECT_EQ(cb->Items()->Strings(1), "b");
  EXPECT_TRUE(StyleOf(cb) & CBS_SORT);
  cb->Clear();
  EXPECT_EQ(cb->Items()->Count(), 0);
  EXPECT_EQ(cb->ItemIndex(), -1);
}

}  // namespace
}  // namespace stdctrls_test
