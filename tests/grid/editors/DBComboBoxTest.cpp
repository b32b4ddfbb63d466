// The combo box editor on a shown form, driven by typed keys, clicks, the wheel and paste:
// text mode with completion, key mode with type-ahead, the drop-down list chosen by keys and
// by the mouse, unbound and bound to fields of an in-memory data set.
#include <gtest/gtest.h>

#include <string>

#include "grid/editors/DBComboBoxEh.h"
#include "grid/editors/EditImageEh.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/Streams.h"
#include "tests/grid/editors/EditorTestSupport.h"

namespace {

TEST(DropDownBoxEh, AssignCopiesLayoutButNotAutoDrop) {
  TDropDownBoxEh a, b;
  a.SetAlign(daRight);
  a.SetRows(3);
  a.SetWidth(-1);
  a.SetSizable(true);
  a.SetAutoDrop(true);
  b.Assign(&a);
  EXPECT_EQ(b.Align(), daRight);
  EXPECT_EQ(b.Rows(), 3);
  EXPECT_EQ(b.Width(), -1);
  EXPECT_TRUE(b.Sizable());
  EXPECT_FALSE(b.AutoDrop());
}

class DBComboBoxTest : public editor_test::EditorFormTest<TDBComboBoxEh> {
 protected:
  void SetUp() override {
    ResetVcl();
    MakeForm(300, 200);
    ds->FieldDefs()->Add("ID", ftInteger);
    ds->FieldDefs()->Add("Status", ftInteger);
    ds->FieldDefs()->Add("Name", ftString, 20);
    ds->CreateDataSet();
    ds->AppendRecord({1, 2, "Apricot"});
    ds->AppendRecord({2, Variant::Null(), Variant::Null()});
    PlaceControls(Bounds(10, 10, 150, 21), Bounds(10, 100, 80, 21));
  }
  void TearDown() override { ResetVcl(); }

  void KeyMode() {
    ed->Items()->SetCommaText("a,b,c");
    ed->KeyItems()->SetCommaText("1,2,3");
  }
  void Click(TControl* c, TPoint at, int button = VK_LBUTTON) {
    const TPoint p = c->ClientToScreen(at);
    WinTesting::Click({p.X, p.Y}, button);
    Pump();
  }
  void ClickRow(int row) {
    TPopupListboxEh* list = ed->PopupListbox();
    const TRect r = list->ItemRect(row);
    Click(list, {r.Left + 5, (r.Top + r.Bottom) / 2});
  }
  bool ListOpen() { return ed->ListVisible(); }
};

// --- lists and values ----------------------------------------------------------------------------

TEST_F(DBComboBoxTest, ItemCountIsTheShorterListInKeyMode) {
  const struct {
    const char* items;
    const char* keys;
    bool keyMode;
    int count;
  } cases[] = {
      {"a,b,c", "", false, 3},
      {"a,b,c", "1,2", true, 2},
      {"a,b", "1,2,3", true, 2},
      {"", "1", true, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.items) + " / " + c.keys);
    ed->Items()->SetCommaText(c.items);
    ed->KeyItems()->SetCommaText(c.keys);
    EXPECT_EQ(ed->KeyMode(), c.keyMode);
    EXPECT_EQ(ed->ItemCount(), c.count);
  }
}

TEST_F(DBComboBoxTest, KeyModeValueShowsTheItemOfItsKey) {
  KeyMode();
  const struct {
    Variant value;
    const char* text;
    int index;
  } cases[] = {
      {Variant("2"), "b", 1},
      {Variant(3), "c", 2},
      {Variant(9), "", -1},
      {Variant::Null(), "", -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(VarToStr(c.value));
    ed->SetValue(c.value);
    EXPECT_EQ(ed->Text(), c.text);
    EXPECT_EQ(ed->ItemIndex(), c.index);
    // A key that is not listed is kept.
    EXPECT_EQ(ed->Value(), c.value);
  }
}

TEST_F(DBComboBoxTest, KeysBeyondTheItemsSelectNothing) {
  // Items a, b, c with keys 1, 2: c cannot be chosen.
  ed->Items()->SetCommaText("a,b,c");
  ed->KeyItems()->SetCommaText("1,2");
  ed->SetItemIndex(2);
  EXPECT_EQ(ed->ItemIndex(), -1);
  EXPECT_TRUE(ed->Value().IsNull());
  EXPECT_EQ(ed->Text(), "");
  // Keys longer than the items: the third key has no item to show.
  ed->Items()->SetCommaText("a,b");
  ed->KeyItems()->SetCommaText("1,2,3");
  ed->SetValue(Variant("3"));
  EXPECT_EQ(ed->ItemIndex(), -1);
  EXPECT_EQ(ed->Text(), "");
  ed->SetValue(Variant("2"));
  EXPECT_EQ(ed->ItemIndex(), 1);
  EXPECT_EQ(ed->Text(), "b");
  ed->SetItemIndex(5);
  EXPECT_EQ(ed->ItemIndex(), -1);
}

TEST_F(DBComboBoxTest, ItemIndexWriteWithoutDataSetGoesThroughTheLink) {
  KeyMode();
  // Unbound: the link keeps the key.
  ed->SetItemIndex(1);
  EXPECT_EQ(ed->Text(), "b");
  EXPECT_EQ(VarToStr(ed->DataLink()->DataIndependentValue()), "2");
  EXPECT_EQ(VarToStr(ed->Value()), "2");
  // Bound by field name only: no data set to put into edit state, and no crash.
  ed->SetDataField("Status");
  EXPECT_NO_THROW(ed->SetItemIndex(2));
  EXPECT_EQ(ed->Text(), "c");
  // Text mode, bound by field name only.
  ed->KeyItems()->Clear();
  EXPECT_NO_THROW(ed->SetItemIndex(0));
  EXPECT_EQ(ed->Text(), "a");
}

TEST_F(DBComboBoxTest, BoundKeyModeShowsTheFieldAndWritesTheKey) {
  KeyMode();
  Bind("Status");
  EXPECT_EQ(ed->Text(), "b");
  ed->SetItemIndex(2);
  EXPECT_EQ(ds->State(), dsEdit);
  EXPECT_EQ(FieldValue("Status"), Variant(3));
  ds->Cancel();
  EXPECT_EQ(ed->Text(), "b");
  ds->Next();
  EXPECT_EQ(ed->Text(), "");
  EXPECT_EQ(ed->ItemIndex(), -1);
}

TEST_F(DBComboBoxTest, TextModeItemIndexFollowsTheText) {
  ed->Items()->SetCommaText("Apple,Apricot");
  ed->SetText("apricot");
  EXPECT_EQ(ed->ItemIndex(), 1);
  ed->SetText("Banana");
  EXPECT_EQ(ed->ItemIndex(), -1);
  EXPECT_EQ(ed->Text(), "Banana");
  ed->SetItemIndex(0);
  EXPECT_EQ(ed->Text(), "Apple");
  EXPECT_EQ(VarToStr(ed->DataLink()->DataIndependentValue()), "Apple");
}

// --- typing ----------------------------------------------------------------------------------------

TEST_F(DBComboBoxTest, TextModeCompletesTypedTextFromItems) {
  ed->Items()->SetCommaText("Apple,Apricot");
  Bind("Name");
  ds->Next();
  Focus(ed);
  const struct {
    const char* typed;
    const char* text;
    int selStart, selLength;
  } steps[] = {{"a", "Apple", 1, 4}, {"p", "Apple", 2, 3}, {"r", "Apricot", 3, 4}};
  for (const auto& s : steps) {
    SCOPED_TRACE(s.typed);
    Type(s.typed);
    EXPECT_EQ(ed->Text(), s.text);
    EXPECT_EQ(ed->SelStart(), s.selStart);
    EXPECT_EQ(ed->SelLength(), s.selLength);
  }
  // Backspace removes the completion; text that no item starts with stays as typed.
  Key(VK_BACK);
  EXPECT_EQ(ed->Text(), "Apr");
  EXPECT_EQ(ed->ItemIndex(), -1);
  Type("z");
  EXPECT_EQ(ed->Text(), "Aprz");
  Focus(other);
  EXPECT_EQ(FieldValue("Name"), Variant("Aprz"));
}

TEST_F(DBComboBoxTest, KeyModeTypeAheadSelectsAndWritesTheKeyOnExit) {
  ed->Items()->SetCommaText("black,blue,red");
  ed->KeyItems()->SetCommaText("1,2,3");
  Bind("Status");
  ds->Next();
  Focus(ed);
  Type("b");
  EXPECT_EQ(ed->Text(), "black");
  EXPECT_EQ(ed->SelStart(), 1);
  EXPECT_EQ(ed->SelLength(), 4);
  Type("lu");
  EXPECT_EQ(ed->Text(), "blue");
  EXPECT_EQ(ed->SelStart(), 3);
  // Backspace shrinks the typed prefix without choosing another item.
  Key(VK_BACK);
  EXPECT_EQ(ed->Text(), "blue");
  EXPECT_EQ(ed->SelStart(), 2);
  // A letter no item starts with changes nothing.
  Type("x");
  EXPECT_EQ(ed->Text(), "blue");
  Focus(other);
  EXPECT_EQ(FieldValue("Status"), Variant(2));
}

TEST_F(DBComboBoxTest, ArrowKeysStepThroughItems) {
  KeyMode();
  Focus(ed);
  Key(VK_DOWN);
  EXPECT_EQ(ed->ItemIndex(), 0);
  Key(VK_DOWN);
  Key(VK_DOWN);
  Key(VK_DOWN);
  EXPECT_EQ(ed->ItemIndex(), 2);
  EXPECT_EQ(ed->SelLength(), 1);  // the whole text is selected
  Key(VK_UP);
  EXPECT_EQ(ed->Text(), "b");
  ed->SetValue(Variant::Null());
  Key(VK_UP);
  EXPECT_EQ(ed->ItemIndex(), 2);
  ed->SetItemIndex(0);
  Key(VK_UP);
  EXPECT_EQ(ed->ItemIndex(), 0);
}

TEST_F(DBComboBoxTest, DeleteClearsTheKeyOfAnOptionalFieldOnly) {
  KeyMode();
  Bind("Status");
  for (bool required : {true, false}) {
    SCOPED_TRACE(required);
    ds->Cancel();
    ds->FieldByName("Status")->SetRequired(required);
    Focus(ed);
    EXPECT_EQ(ed->Text(), "b");
    Key(VK_DELETE);
    EXPECT_EQ(ed->Text(), required ? "b" : "");
    Focus(other);
    EXPECT_EQ(FieldValue("Status"), required ? Variant(2) : Variant::Null());
  }
}

TEST_F(DBComboBoxTest, PasteInKeyModeTypesAhead) {
  KeyMode();
  ed->Items()->SetCommaText("alpha,beta,gamma");
  Focus(ed);
  editor_test::SetClipboardText(ed->Handle(), "gam");
  Input::KeyDown(VK_CONTROL);
  WinTesting::KeyPress('V');
  Input::KeyUp(VK_CONTROL);
  Pump();
  EXPECT_EQ(ed->Text(), "gamma");
  EXPECT_EQ(VarToStr(ed->Value()), "3");
}

TEST_F(DBComboBoxTest, NotInListIsAskedForFreeText) {
  ed->Items()->SetCommaText("Apple");
  std::string asked;
  int calls = 0;
  ed->OnNotInList = [&](TObject*, const std::string& text, bool&) {
    asked = text;
    ++calls;
  };
  ed->SetText("Pear");
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(asked, "Pear");
  EXPECT_EQ(ed->Text(), "Pear");
  ed->SetText("apple");
  EXPECT_EQ(calls, 1);
}

// --- wheel ---------------------------------------------------------------------------------------

TEST_F(DBComboBoxTest, WheelStepsWhileClosedAndScrollsTheOpenList) {
  KeyMode();
  Bind("Status");
  Focus(ed);
  Wheel(-WHEEL_DELTA);
  EXPECT_EQ(ed->Text(), "c");
  Wheel(WHEEL_DELTA);
  Wheel(WHEEL_DELTA);
  EXPECT_EQ(ed->Text(), "a");
  Focus(other);
  EXPECT_EQ(FieldValue("Status"), Variant(1));
  // A read-only editor does not step.
  ed->SetReadOnly(true);
  Focus(ed);
  Wheel(-WHEEL_DELTA);
  EXPECT_EQ(ed->Text(), "a");
}

// --- the drop-down list ----------------------------------------------------------------------------

TEST_F(DBComboBoxTest, ListChosenByKeysAcceptsWithEnterOnly) {
  KeyMode();
  Bind("Status");
  Focus(ed);
  AltKey(VK_DOWN);
  ASSERT_TRUE(ListOpen());
  EXPECT_EQ(ed->PopupListbox()->ItemIndex(), 1);
  EXPECT_EQ(ed->PopupListbox()->Count(), 3);
  Key(VK_DOWN);
  Key(VK_ESCAPE);
  EXPECT_FALSE(ListOpen());
  EXPECT_EQ(ed->Text(), "b");
  AltKey(VK_DOWN);
  ASSERT_TRUE(ListOpen());
  Key(VK_DOWN);
  // The close-up request may refuse the choice.
  ed->OnCloseUpRequest = [](TObject*, bool& accept) { accept = false; };
  Key(VK_RETURN);
  EXPECT_FALSE(ListOpen());
  EXPECT_EQ(ed->Text(), "b");
  ed->OnCloseUpRequest = nullptr;
  AltKey(VK_DOWN);
  ASSERT_TRUE(ListOpen());
  Key(VK_DOWN);
  Key(VK_RETURN);
  EXPECT_FALSE(ListOpen());
  EXPECT_EQ(ed->Text(), "c");
  EXPECT_TRUE(ed->Focused());
  Focus(other);
  EXPECT_EQ(FieldValue("Status"), Variant(3));
}

// The change notification names its cause; text set from code has none.
TEST_F(DBComboBoxTest, ChangeNotificationTellsTypedTextFromAChosenItem) {
  ed->Items()->SetCommaText("one,two");
  std::string reasons;
  ed->OnChangeNotify = [&](TObject*, TComboBoxChangeReasonEh Reason) {
    reasons += Reason == ccrTextTypedEh ? 't' : 'l';
  };
  Focus(ed);
  ed->SetText("z");
  Type("xy");
  AltKey(VK_DOWN);
  Key(VK_DOWN);
  Key(VK_RETURN);
  AltKey(VK_DOWN);
  Key(VK_ESCAPE);
  EXPECT_EQ(reasons, "ttl");
  EXPECT_EQ(ed->Text(), "one");
}

TEST_F(DBComboBoxTest, ListChosenByClickOnARow) {
  ed->Items()->SetCommaText("one,two,three,four");
  int closeUps = 0;
  bool accepted = false;
  ed->OnCloseUp = [&](TObject*, bool accept) {
    ++closeUps;
    accepted = accept;
  };
  Focus(ed);
  TControl* button = ed->ButtonControl(0);
  ASSERT_NE(button, nullptr);
  Click(button, {button->Width() / 2, button->Height() / 2});
  ASSERT_TRUE(ListOpen());
  EXPECT_TRUE(ed->ButtonControl(0)->AlwaysDown());
  ClickRow(2);
  EXPECT_FALSE(ed->ButtonControl(0)->AlwaysDown());
  EXPECT_FALSE(ListOpen());
  EXPECT_EQ(closeUps, 1);
  EXPECT_TRUE(accepted);
  EXPECT_EQ(ed->Text(), "three");
  EXPECT_EQ(ed->ItemIndex(), 2);
  EXPECT_TRUE(ed->Focused());
  // A second press on the button closes the list without accepting.
  Click(button, {button->Width() / 2, button->Height() / 2});
  ASSERT_TRUE(ListOpen());
  Click(button, {button->Width() / 2, button->Height() / 2});
  EXPECT_FALSE(ListOpen());
  EXPECT_FALSE(accepted);
  EXPECT_EQ(ed->Text(), "three");
}

TEST_F(DBComboBoxTest, KeyModeClickOnTextDropsAndSecondClickCloses) {
  KeyMode();
  Focus(other);
  Click(ed, {10, 8});
  EXPECT_TRUE(ed->Focused());
  ASSERT_TRUE(ListOpen());
  Click(ed, {10, 8});
  EXPECT_FALSE(ListOpen());
  EXPECT_EQ(ed->ItemIndex(), -1);
}

TEST_F(DBComboBoxTest, FocusLossClosesWithoutAccepting) {
  KeyMode();
  Focus(ed);
  AltKey(VK_DOWN);
  ASSERT_TRUE(ListOpen());
  Key(VK_DOWN);
  Focus(other);
  EXPECT_FALSE(ListOpen());
  EXPECT_EQ(ed->ItemIndex(), -1);
}

TEST_F(DBComboBoxTest, ListRowsAndWidth) {
  ed->Items()->SetCommaText("a,b,\"a much longer item than the editor is wide, surely\"");
  const struct {
    int width;
    int rows;
    bool widerThanEditor;
  } cases[] = {{0, 7, false}, {-1, 2, true}, {400, 7, true}, {20, 7, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.width);
    ed->DropDownBox()->SetWidth(c.width);
    ed->DropDownBox()->SetRows(c.rows);
    ed->DropDown();
    ASSERT_TRUE(ListOpen());
    TPopupListboxEh* list = ed->PopupListbox();
    EXPECT_EQ(list->Rows(), std::min(c.rows, 3));
    if (c.width > 0) {
      EXPECT_EQ(list->Width(), std::max(c.width, ed->Width()));
    }
    if (c.widerThanEditor)
      EXPECT_GT(list->Width(), ed->Width());
    else
      EXPECT_EQ(list->Width(), ed->Width());
    ed->CloseUp(false);
  }
}

TEST_F(DBComboBoxTest, AutoDropOpensTheListOnTyping) {
  ed->Items()->SetCommaText("Apple,Apricot");
  ed->DropDownBox()->SetAutoDrop(true);
  int drops = 0;
  ed->OnDropDown = [&](TObject*) { ++drops; };
  Focus(ed);
  Type("apr");
  EXPECT_TRUE(ListOpen());
  EXPECT_EQ(drops, 1);
  EXPECT_EQ(ed->PopupListbox()->ItemIndex(), 1);
  Key(VK_RETURN);
  EXPECT_FALSE(ListOpen());
  EXPECT_EQ(ed->Text(), "Apricot");
}

TEST_F(DBComboBoxTest, DragFromTheButtonIntoTheListChoosesTheRowUnderTheRelease) {
  ed->Items()->SetCommaText("one,two,three,four");
  Focus(ed);
  TControl* button = ed->ButtonControl(0);
  ASSERT_NE(button, nullptr);
  const TPoint press = button->ClientToScreen({button->Width() / 2, button->Height() / 2});
  Input::MouseDown(VK_LBUTTON, {press.X, press.Y});
  Pump();
  ASSERT_TRUE(ListOpen());
  TPopupListboxEh* list = ed->PopupListbox();
  const TRect r = list->ItemRect(3);
  const TPoint over = list->ClientToScreen({r.Left + 5, (r.Top + r.Bottom) / 2});
  Input::MouseMove({over.X, over.Y});
  Pump();
  EXPECT_EQ(list->ItemIndex(), 3);
  Input::MouseUp(VK_LBUTTON, {over.X, over.Y});
  Pump();
  EXPECT_FALSE(ListOpen());
  EXPECT_EQ(ed->Text(), "four");
}

TEST_F(DBComboBoxTest, ReleaseOutsideTheListClosesWithoutAccepting) {
  ed->Items()->SetCommaText("one,two,three");
  Focus(ed);
  ed->DropDown();
  ASSERT_TRUE(ListOpen());
  TPopupListboxEh* list = ed->PopupListbox();
  const TRect r = list->ItemRect(1);
  const TPoint in = list->ClientToScreen({r.Left + 5, (r.Top + r.Bottom) / 2});
  Input::MouseDown(VK_LBUTTON, {in.X, in.Y});
  Pump();
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_TRUE(ed->Focused());  // the list takes the mouse, not the focus
  const TPoint out = list->ClientToScreen({list->ClientWidth() + 40, -60});
  Input::MouseMove({out.X, out.Y});
  Input::MouseUp(VK_LBUTTON, {out.X, out.Y});
  Pump();
  EXPECT_FALSE(ListOpen());
  EXPECT_EQ(ed->ItemIndex(), -1);
  EXPECT_EQ(ed->Text(), "");
}

TEST_F(DBComboBoxTest, ItemsAreRequestedOnDemand) {
  int requests = 0;
  ed->OnGetItemsList = [&](TObject*) {
    ++requests;
    ed->Items()->SetCommaText("x,y");
  };
  ed->DropDown();
  EXPECT_EQ(requests, 1);
  EXPECT_EQ(ed->PopupListbox()->Count(), 2);
  ed->CloseUp(false);
  ed->DropDown();
  EXPECT_EQ(requests, 1);  // not while Items has entries
}

TEST_F(DBComboBoxTest, ListRowsTakeTheImageHeightAndItemImageIndexes) {
  ed->Items()->SetCommaText("a,b,c");
  TImageList images(16, 30);
  ed->SetImages(&images);
  ed->OnGetItemImageIndex = [](TObject*, int index, int& image) { image = index * 10; };
  ed->SetItemIndex(2);
  EXPECT_EQ(ed->EditImage()->ImageIndex(), 20);
  ed->DropDown();
  EXPECT_EQ(ed->PopupListbox()->ItemHeight(), 30);
  EXPECT_EQ(ed->PopupListbox()->Images(), &images);
  ed->CloseUp(false);
  ed->EditImage()->SetUseImageHeight(false);
  ed->DropDown();
  EXPECT_LT(ed->PopupListbox()->ItemHeight(), 30);
  ed->CloseUp(false);
  ed->SetImages(nullptr);
}

TEST_F(DBComboBoxTest, ResizedListKeepsItsSizeInDropDownBox) {
  ed->Items()->SetCommaText("1,2,3,4,5,6,7,8,9,10,11,12");
  ed->DropDownBox()->SetSizable(true);
  ed->DropDown();
  TPopupListboxEh* list = ed->PopupListbox();
  ASSERT_TRUE(list->SizeGrip()->Visible());
  const int itemHeight = list->ItemHeight();
  list->SetBounds(list->Left(), list->Top(), 220, list->GetBorderSize() + 4 * itemHeight);
  list->SetSizeGripResized(true);
  ed->CloseUp(false);
  EXPECT_EQ(ed->DropDownBox()->Rows(), 4);
  EXPECT_EQ(ed->DropDownBox()->Width(), 220);
}

TEST_F(DBComboBoxTest, ReadsItsDescription) {
  RegisterDBComboBoxClasses();
  TStringStream text(
      "object Combo: TDBComboBoxEh\n  Left = 8\n  DropDownBox.Rows = 3\n  DropDownBox.Width = -1\n"
      "  Items.Strings = (\n    'red'\n    'green')\n  KeyItems.Strings = (\n    'R'\n    'G')\n"
      "  Text = 'green'\nend\n");
  TMemoryStream binary;
  ObjectTextToBinary(text, binary);
  binary.SetPosition(0);
  auto* loaded = new TDBComboBoxEh(form);
  binary.ReadComponent(loaded);
  EXPECT_EQ(loaded->DropDownBox()->Rows(), 3);
  EXPECT_EQ(loaded->DropDownBox()->Width(), -1);
  EXPECT_EQ(loaded->ItemCount(), 2);
  EXPECT_TRUE(loaded->KeyMode());
  EXPECT_EQ(loaded->Text(), "green");
  EXPECT_EQ(VarToStr(loaded->Value()), "G");
}

TEST_F(DBComboBoxTest, KeyModeMouseNeitherPlacesACaretNorSelects) {
  KeyMode();
  ed->SetValue(Variant("3"));
  Focus(ed);
  ed->SetSelStart(1);
  ed->SetSelLength(0);
  int popups = 0;
  ed->OnContextPopup = [&](TObject*, TPoint, bool&) { ++popups; };
  int downs = 0;
  ed->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
  Click(ed, {2, 8}, VK_RBUTTON);
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(downs, 1);
  EXPECT_EQ(ed->SelStart(), 1);
  EXPECT_FALSE(ListOpen());
  // A disabled editor's list cannot be dropped by a press on the text.
  ed->SetEnabled(false);
  Click(ed, {10, 8});
  EXPECT_FALSE(ListOpen());
}

TEST_F(DBComboBoxTest, WheelWithAModifierDoesNotStep) {
  ed->Items()->SetCommaText("a,b,c");
  Focus(ed);
  Input::KeyDown(VK_CONTROL);
  Wheel(-WHEEL_DELTA);
  Input::KeyUp(VK_CONTROL);
  Pump();
  EXPECT_EQ(ed->ItemIndex(), -1);
  Wheel(-WHEEL_DELTA);
  EXPECT_EQ(ed->Text(), "a");
}

// Opens the painted text for a paint-copy check.
class TProbeComboEh : public TDBComboBoxEh {
 public:
  explicit TProbeComboEh(TComponent* AOwner) : TDBComboBoxEh(AOwner) {}
  using TCustomDBComboBoxEh::GetPaintText;
};

TEST_F(DBComboBoxTest, PaintCopyShowsTheItemOfTheFieldsKey) {
  auto* probe = new TProbeComboEh(form);
  probe->SetParent(form);
  probe->SetBounds(10, 40, 150, 21);
  probe->Items()->SetCommaText("a,b,c");
  probe->KeyItems()->SetCommaText("1,2,3");
  probe->SetDataSource(src);
  probe->SetDataField("Status");
  Focus(probe);
  Type("c");
  EXPECT_EQ(probe->Text(), "c");
  // The field still holds key 2 until the editor writes it.
  probe->SetControlState(probe->ControlState() + csPaintCopy);
  EXPECT_EQ(probe->GetPaintText(), "b");
  probe->SetControlState(probe->ControlState() - csPaintCopy);
  EXPECT_EQ(probe->GetPaintText(), "c");
}

}  // namespace
