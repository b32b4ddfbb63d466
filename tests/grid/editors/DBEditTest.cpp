// The base data-aware editor on a shown form, driven through messages: bound to a real
// in-memory data set and unbound; value entry, change marking, leaving, read-only rules, keys,
// characters, paste, wheel and the in-place holder.
#include <gtest/gtest.h>

#include <string>

#include "grid/editors/DBEditEh.h"
#include "grid/editors/EditImageEh.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/Menus.h"
#include "tests/grid/editors/EditorTestSupport.h"

namespace {

// Counts the data changes the link reports.
class TProbeDBEditEh : public TDBEditEh {
 public:
  explicit TProbeDBEditEh(TComponent* AOwner) : TDBEditEh(AOwner) {}
  using TCustomDBEditEh::EditorFocused;
  using TCustomDBEditEh::InUpdateData;
  int dataChanges = 0;

 protected:
  void DataChanged() override {
    ++dataChanges;
    TDBEditEh::DataChanged();
  }
};

using editor_test::Focus;
using editor_test::TTestHolderEh;
using editor_test::Type;

// A holder that takes Tab itself (as a grid that moves between cells does).
class TTabHolderEh : public TTestHolderEh {
 public:
  explicit TTabHolderEh(TComponent* AOwner) : TTestHolderEh(AOwner) {}
  void WndProc(TMessage& Message) override {
    if (Message.Msg == WM_GETDLGCODE) {
      Message.Result = DLGC_WANTTAB;
      return;
    }
    TTestHolderEh::WndProc(Message);
  }
};

class DBEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    ds_ = new TMemoryDataSet(nullptr);
    ds_->FieldDefs()->Add("ID", ftInteger);
    ds_->FieldDefs()->Add("Name", ftString, 20);
    ds_->FieldDefs()->Add("Code", ftString, 10);
    ds_->FieldDefs()->Add("Amount", ftFloat);
    ds_->FieldDefs()->Add("Notes", ftMemo);
    ds_->CreateDataSet();
    ds_->AppendRecord({1, "Ann", "A1", 2.5, "first line"});
    ds_->AppendRecord({2, "Bob", "B2", 7.0, "second"});
    ds_->First();
    src_ = new TDataSource(nullptr);
    src_->SetDataSet(ds_);

    form_ = new TForm(Application, 0);
    form_->AfterConstruction();
    form_->SetBounds(100, 100, 320, 200);
    form_->Show();
    edit_ = new TProbeDBEditEh(form_);
    edit_->SetParent(form_);
    edit_->SetBounds(8, 8, 150, 24);
    other_ = new TEdit(form_);
    other_->SetParent(form_);
    other_->SetBounds(8, 40, 150, 24);
    edit_->OnChange = [this](TObject*) { ++changes_; };
    Application->OnException = [this](TObject*, const Exception& e) { errors_.push_back(e.Message()); };
    Application->ProcessMessages();
  }
  void TearDown() override {
    ResetVcl();
    delete src_;
    delete ds_;
  }

  void Bind(const std::string& field) {
    edit_->SetDataSource(src_);
    edit_->SetDataField(field);
    Application->ProcessMessages();
  }
  void Press(int vk, TShiftState shift = {}) {
    if (shift.Contains(ssCtrl)) Input::KeyDown(VK_CONTROL);
    if (shift.Contains(ssShift)) Input::KeyDown(VK_SHIFT);
    WinTesting::KeyPress(vk);
    if (shift.Contains(ssShift)) Input::KeyUp(VK_SHIFT);
    if (shift.Contains(ssCtrl)) Input::KeyUp(VK_CONTROL);
    Application->ProcessMessages();
  }
  void SelectAllText() { SendMessage(edit_->Handle(), EM_SETSEL, 0, -1); }
  void SetClipboard(const std::string& text) { editor_test::SetClipboardText(edit_->Handle(), text); }
  std::string FieldText(const char* name) { return ds_->FieldByName(name)->AsString(); }

  TMemoryDataSet* ds_ = nullptr;
  TDataSource* src_ = nullptr;
  TForm* form_ = nullptr;
  TProbeDBEditEh* edit_ = nullptr;
  TEdit* other_ = nullptr;
  int changes_ = 0;
  std::vector<std::string> errors_;
};

// --- bound -------------------------------------------------------------------------------------

TEST_F(DBEditTest, BoundEditorShowsTheFieldAndFollowsTheRecord) {
  Bind("Name");
  EXPECT_FALSE(edit_->DataLink()->DataIndependent());
  EXPECT_EQ(edit_->Field(), ds_->FieldByName("Name"));
  EXPECT_EQ(edit_->Text(), "Ann");
  ds_->Next();
  EXPECT_EQ(edit_->Text(), "Bob");
  EXPECT_EQ(edit_->MaxLength(), 20);
}

TEST_F(DBEditTest, TypingMarksTheLinkModifiedAndLeavingWritesTheFieldOnce) {
  Bind("Name");
  int updates = 0;
  edit_->OnUpdateData = [&](TObject*, bool&) { ++updates; };
  Focus(edit_);
  EXPECT_TRUE(edit_->EditorFocused());
  SelectAllText();
  changes_ = 0;
  Type("Zed");
  EXPECT_EQ(edit_->Text(), "Zed");
  EXPECT_EQ(ds_->State(), dsEdit);
  // Typed edits mark the link, so the record would be written on post.
  EXPECT_TRUE(edit_->DataLink()->IsModified());
  EXPECT_EQ(changes_, 3);
  EXPECT_EQ(FieldText("Name"), "Ann");
  Focus(other_);
  EXPECT_EQ(updates, 1);
  EXPECT_EQ(FieldText("Name"), "Zed");
  EXPECT_FALSE(edit_->DataLink()->IsModified());
  EXPECT_FALSE(edit_->EditorFocused());
  EXPECT_TRUE(errors_.empty());
}

TEST_F(DBEditTest, TypedTextReachesThePostedRecord) {
  Bind("Name");
  Focus(edit_);
  SelectAllText();
  Type("Kim");
  // Post asks the link for its data before the record is written.
  ds_->Post();
  EXPECT_EQ(ds_->State(), dsBrowse);
  EXPECT_EQ(FieldText("Name"), "Kim");
}

TEST_F(DBEditTest, HandledUpdateDataKeepsTheFieldUntouched) {
  Bind("Name");
  int updates = 0;
  edit_->OnUpdateData = [&](TObject* sender, bool& handled) {
    EXPECT_EQ(sender, edit_);
    ++updates;
    handled = true;
  };
  Focus(edit_);
  SelectAllText();
  Type("Max");
  Focus(other_);
  EXPECT_EQ(updates, 1);
  EXPECT_EQ(FieldText("Name"), "Ann");
}

TEST_F(DBEditTest, UpdateDataHandlerThatRaisesDoesNotStopLaterUpdates) {
  int updates = 0;
  bool raise = true;
  edit_->OnUpdateData = [&](TObject*, bool&) {
    ++updates;
    if (raise) throw Exception("handler failed");
  };
  EXPECT_THROW(edit_->SetText("abc"), Exception);
  EXPECT_FALSE(edit_->InUpdateData());
  raise = false;
  edit_->SetText("def");
  EXPECT_EQ(updates, 2);
  EXPECT_EQ(edit_->DataLink()->DataIndependentValue(), Variant(std::string("def")));
}

TEST_F(DBEditTest, TextWhoseUpdateHandlerRaisesStaysModifiedSoThatPostRaises) {
  Bind("Name");
  bool raise = true;
  edit_->OnUpdateData = [&](TObject*, bool&) {
    if (raise) throw Exception("handler failed");
  };
  EXPECT_THROW(edit_->SetText("Zed"), Exception);
  EXPECT_EQ(edit_->Text(), "Zed");
  EXPECT_TRUE(edit_->DataLink()->IsModified());
  EXPECT_THROW(ds_->Post(), Exception);
  EXPECT_EQ(FieldText("Name"), "Ann");
  raise = false;
  ds_->Post();
  EXPECT_EQ(FieldText("Name"), "Zed");
}

TEST_F(DBEditTest, TextWritePutsTheDataSetIntoEditAndWritesWithoutPosting) {
  Bind("Name");
  edit_->SetText("Lee");
  EXPECT_EQ(ds_->State(), dsEdit);
  EXPECT_EQ(FieldText("Name"), "Lee");
  EXPECT_EQ(edit_->Text(), "Lee");
  edit_->Clear();
  EXPECT_EQ(FieldText("Name"), "");
}

TEST_F(DBEditTest, MemoFieldIsEditedAsItsStringValue) {
  Bind("Notes");
  EXPECT_EQ(edit_->Text(), "first line");
  edit_->SetText("changed");
  EXPECT_EQ(FieldText("Notes"), "changed");
}

TEST_F(DBEditTest, UnconvertibleTextRaisesTheFieldErrorAndKeepsRecordAndText) {
  Bind("Amount");
  Focus(edit_);
  SelectAllText();
  // Letters are refused as typed...
  const int beeps = WinTesting::BeepCount();
  Type("x");
  EXPECT_GT(WinTesting::BeepCount(), beeps);
  EXPECT_EQ(edit_->Text(), "2.5");
  // ...but a paste brings them in.
  SetClipboard("12x");
  SelectAllText();
  SendMessage(edit_->Handle(), WM_PASTE, 0, 0);
  Application->ProcessMessages();
  EXPECT_EQ(edit_->Text(), "12x");
  Focus(other_);
  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_NE(errors_[0].find("12x"), std::string::npos);
  EXPECT_DOUBLE_EQ(ds_->FieldByName("Amount")->AsFloat(), 2.5);
  EXPECT_EQ(edit_->Text(), "12x");
  EXPECT_TRUE(edit_->Focused());
  // Corrected, it goes in.
  SelectAllText();
  Type("12");
  Focus(other_);
  EXPECT_DOUBLE_EQ(ds_->FieldByName("Amount")->AsFloat(), 12.0);
}

TEST_F(DBEditTest, EscapeDropsTheEditsAndShowsTheFieldAgain) {
  Bind("Name");
  Focus(edit_);
  SelectAllText();
  Type("Tom");
  EXPECT_EQ(edit_->Text(), "Tom");
  Press(VK_ESCAPE);
  EXPECT_EQ(edit_->Text(), "Ann");
  EXPECT_EQ(edit_->SelLength(), 3);
  Focus(other_);
  EXPECT_EQ(FieldText("Name"), "Ann");
}

TEST_F(DBEditTest, ReadOnlyFieldAndReadOnlyEditorRefuseTyping) {
  struct Case {
    const char* name;
    bool fieldReadOnly;
    bool editorReadOnly;
  };
  for (const Case& c : {Case{"field", true, false}, Case{"editor", false, true}}) {
    SCOPED_TRACE(c.name);
    ds_->FieldByName("Name")->SetReadOnly(c.fieldReadOnly);
    edit_->SetReadOnly(c.editorReadOnly);
    Bind("Name");
    Focus(edit_);
    SelectAllText();
    Type("Q");
    Press(VK_DELETE);
    EXPECT_EQ(edit_->Text(), "Ann");
    EXPECT_EQ(ds_->State(), dsBrowse);
    EXPECT_TRUE(static_cast<TCustomEdit*>(edit_)->ReadOnly());
    Focus(other_);
    ds_->FieldByName("Name")->SetReadOnly(false);
    edit_->SetReadOnly(false);
  }
}

TEST_F(DBEditTest, FieldRejectedCharactersBeepAndAreDropped) {
  Bind("ID");
  Focus(edit_);
  SelectAllText();
  const int beeps = WinTesting::BeepCount();
  Type("4a2");
  EXPECT_EQ(edit_->Text(), "42");
  EXPECT_EQ(WinTesting::BeepCount(), beeps + 1);
}

TEST_F(DBEditTest, ClosingTheDataSetEmptiesTheEditorAndOpeningRebinds) {
  Bind("Name");
  ds_->Close();
  EXPECT_EQ(edit_->Text(), "");
  EXPECT_EQ(edit_->Field(), nullptr);
  ds_->Open();
  ds_->AppendRecord({3, "Cy", "C3", 1.0, "x"});
  EXPECT_EQ(edit_->Field(), ds_->FieldByName("Name"));
  EXPECT_EQ(edit_->Text(), "Cy");
  EXPECT_EQ(edit_->MaxLength(), 20);
}

// --- MaxLength follows the bound string field ---------------------------------------------------

TEST_F(DBEditTest, MaxLengthFollowsTheNextStringFieldButAnExplicitOneStays) {
  Bind("Name");
  EXPECT_EQ(edit_->MaxLength(), 20);
  edit_->SetDataField("Code");
  EXPECT_EQ(edit_->MaxLength(), 10);
  edit_->SetDataField("Amount");
  EXPECT_EQ(edit_->MaxLength(), 0);
  edit_->SetDataField("Name");
  EXPECT_EQ(edit_->MaxLength(), 20);

  edit_->SetMaxLength(5);
  edit_->SetDataField("Code");
  EXPECT_EQ(edit_->MaxLength(), 5);
  edit_->SetDataField("Name");
  EXPECT_EQ(edit_->MaxLength(), 5);
}

TEST_F(DBEditTest, MissingFieldRaisesTheDataSetError) {
  edit_->SetDataSource(src_);
  EXPECT_THROW(edit_->SetDataField("Nope"), Exception);
  EXPECT_EQ(edit_->Field(), nullptr);
}

// --- unbound ---------------------------------------------------------------------------------------

TEST_F(DBEditTest, UnboundEditorKeepsTypedTextInTheLink) {
  EXPECT_TRUE(edit_->DataLink()->DataIndependent());
  Focus(edit_);
  Type("hello");
  EXPECT_EQ(edit_->Text(), "hello");
  EXPECT_TRUE(edit_->DataLink()->IsModified());
  Focus(other_);
  EXPECT_EQ(edit_->DataLink()->DataIndependentValue(), Variant(std::string("hello")));
  EXPECT_EQ(edit_->Value(), Variant(std::string("hello")));
  EXPECT_EQ(edit_->Text(), "hello");
}

TEST_F(DBEditTest, UnboundValueWriteStoresInTheLinkWithOneDataChange) {
  edit_->dataChanges = 0;
  edit_->SetValue(Variant(42));
  EXPECT_EQ(edit_->dataChanges, 1);
  EXPECT_EQ(edit_->DataLink()->DataIndependentValue(), Variant(std::string("42")));
  EXPECT_EQ(edit_->Text(), "42");
  edit_->SetValue(Variant::Null());
  EXPECT_EQ(edit_->Text(), "");
  edit_->SetText("abc");
  EXPECT_EQ(edit_->Value(), Variant(std::string("abc")));
}

TEST_F(DBEditTest, FieldNameWithoutDataSourceWritesWithoutADataSet) {
  edit_->SetDataField("Name");
  EXPECT_FALSE(edit_->DataLink()->DataIndependent());
  EXPECT_NO_THROW(edit_->SetText("x"));
  EXPECT_NO_THROW(edit_->SetValue(Variant(3)));
  EXPECT_NO_THROW(edit_->Clear());
  Focus(edit_);
  Type("abc");
  EXPECT_NO_THROW(Focus(other_));
  EXPECT_TRUE(errors_.empty());
}

// --- keys, characters, paste, wheel -------------------------------------------------------------------

TEST_F(DBEditTest, LineBreaksNeverEnterASingleLineEditor) {
  Focus(edit_);
  Type("ab");
  Press(VK_RETURN);
  Press(VK_RETURN, TShiftState{ssCtrl});
  SendMessage(edit_->Handle(), WM_CHAR, '\n', 0);
  Type("c");
  EXPECT_EQ(edit_->Text(), "abc");
  EXPECT_EQ(SendMessage(edit_->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS, 0);
  edit_->SetWantReturns(true);
  EXPECT_NE(SendMessage(edit_->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS, 0);
}

TEST_F(DBEditTest, PasteTakesTheFirstLineOnly) {
  Bind("Name");
  Focus(edit_);
  SelectAllText();
  SetClipboard("one\r\ntwo");
  SendMessage(edit_->Handle(), WM_PASTE, 0, 0);
  Application->ProcessMessages();
  EXPECT_EQ(edit_->Text(), "one");
  EXPECT_TRUE(edit_->DataLink()->IsModified());
  Focus(other_);
  EXPECT_EQ(FieldText("Name"), "one");
}

TEST_F(DBEditTest, PasteIntoAReadOnlyEditorDoesNothing) {
  Bind("Name");
  edit_->SetReadOnly(true);
  Focus(edit_);
  SetClipboard("zzz");
  SendMessage(edit_->Handle(), WM_PASTE, 0, 0);
  Application->ProcessMessages();
  EXPECT_EQ(edit_->Text(), "Ann");
  EXPECT_EQ(ds_->State(), dsBrowse);
}

TEST_F(DBEditTest, CtrlASelectsAll) {
  Bind("Name");
  Focus(edit_);
  edit_->SetSelStart(1);
  edit_->SetSelLength(0);
  Press('A', TShiftState{ssCtrl});
  EXPECT_EQ(edit_->SelStart(), 0);
  EXPECT_EQ(edit_->SelLength(), 3);
}

TEST_F(DBEditTest, EnteringSelectsAllWithAutoSelect) {
  Bind("Name");
  Focus(edit_);
  EXPECT_EQ(edit_->SelLength(), 3);
}

TEST_F(DBEditTest, WheelLeavesTheValueAlone) {
  Bind("Name");
  Focus(edit_);
  const TPoint p = edit_->ClientToScreen(TPoint{5, 5});
  Input::MouseWheel(-120, POINT{p.X, p.Y});
  Application->ProcessMessages();
  EXPECT_EQ(edit_->Text(), "Ann");
  EXPECT_EQ(ds_->State(), dsBrowse);
}

TEST_F(DBEditTest, EscapeIsWantedOnlyWhileModified) {
  Bind("Name");
  Focus(edit_);
  EXPECT_EQ(edit_->Perform(CM_WANTSPECIALKEY, VK_ESCAPE, 0), 0);
  Type("x");
  EXPECT_EQ(edit_->Perform(CM_WANTSPECIALKEY, VK_ESCAPE, 0), 1);
}

// --- in-place mode ----------------------------------------------------------------------------------

TEST_F(DBEditTest, InplaceHolderMustOfferTheInterface) {
  try {
    edit_->SetInplaceEditHolder(other_);
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "InplaceEditHolder have to support IInplaceEditHolderEh interface");
  }
  EXPECT_EQ(edit_->InplaceEditHolder(), nullptr);
}

TEST_F(DBEditTest, InplaceHolderSeesMessagesKeysAndDecidesReadOnly) {
  auto* holder = new TTestHolderEh(form_);
  holder->SetParent(form_);
  holder->SetBounds(170, 8, 140, 100);
  ds_->FieldByName("Name")->SetReadOnly(true);
  Bind("Name");
  edit_->SetInplaceEditHolder(holder);
  EXPECT_TRUE(edit_->InplaceMode());
  EXPECT_TRUE(static_cast<TCustomEdit*>(edit_)->ReadOnly());
  holder->canModify = true;
  edit_->SetReadOnly(true);
  edit_->SetReadOnly(false);
  EXPECT_FALSE(static_cast<TCustomEdit*>(edit_)->ReadOnly());
  ds_->FieldByName("Name")->SetReadOnly(false);

  holder->messages = 0;
  Focus(edit_);
  EXPECT_GT(holder->messages, 0);
  holder->eatChar = U'q';
  SelectAllText();
  Type("pqr");
  EXPECT_EQ(edit_->Text(), "pr");
  // Enter is always wanted in place (the grid takes it from the editor).
  EXPECT_EQ(edit_->Perform(CM_WANTSPECIALKEY, VK_RETURN, 0), 1);
  edit_->SetInplaceEditHolder(nullptr);
  EXPECT_EQ(edit_->Perform(CM_WANTSPECIALKEY, VK_RETURN, 0), 0);
}

TEST_F(DBEditTest, InplaceBoundsShowAndAnEmptyRectangleHides) {
  auto* holder = new TTestHolderEh(form_);
  holder->SetParent(form_);
  holder->SetBounds(170, 8, 140, 100);
  edit_->SetParent(holder);
  edit_->SetInplaceEditHolder(holder);
  edit_->SetBoundsRect(TRect{2, 2, 100, 22});
  EXPECT_TRUE(edit_->Visible());
  EXPECT_EQ(edit_->Width(), 98);
  Focus(edit_);
  edit_->SetBoundsRect(TRect{0, 0, 0, 0});
  Application->ProcessMessages();
  EXPECT_FALSE(edit_->Visible());
  EXPECT_EQ(GetFocus(), holder->Handle());
}

TEST_F(DBEditTest, FreedDataSourceIsForgotten) {
  Bind("Name");
  delete src_;
  src_ = nullptr;
  EXPECT_EQ(edit_->DataSource(), nullptr);
  EXPECT_NO_THROW(edit_->SetText("free"));
}

// --- masks --------------------------------------------------------------------------------------------

TEST_F(DBEditTest, MaskedEditorsTakeTypedDigitsBoundAndUnbound) {
  for (bool bound : {false, true}) {
    SCOPED_TRACE(bound ? "bound" : "unbound");
    if (bound) Bind("Code");
    edit_->SetEditMask("000;0;_");
    Focus(edit_);
    Type("123");
    EXPECT_EQ(edit_->Text(), "123");
    Focus(other_);
    EXPECT_TRUE(errors_.empty());
    if (bound)
      EXPECT_EQ(FieldText("Code"), "123");
    else
      EXPECT_EQ(edit_->DataLink()->DataIndependentValue(), Variant(std::string("123")));
  }
}

TEST_F(DBEditTest, IncompleteMaskStopsLeavingAndKeepsTheRecord) {
  Bind("Code");
  edit_->SetEditMask("000;0;_");
  Focus(edit_);
  Type("9");
  Focus(other_);
  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_EQ(errors_[0], SMaskEditErr);
  EXPECT_TRUE(edit_->Focused());
  EXPECT_EQ(FieldText("Code"), "A1");
}

// --- edit button short cuts ---------------------------------------------------------------------------

TEST_F(DBEditTest, ShortCutClicksTheFirstMatchingButtonUnlessItIsDisabled) {
  const TShortCut sc = ShortCut('K', TShiftState{ssCtrl});
  TEditButtonEh* first = edit_->EditButtons()->Add();
  TEditButtonEh* second = edit_->EditButtons()->Add();
  first->SetShortCut(sc);
  second->SetShortCut(sc);
  int firstClicks = 0, secondClicks = 0;
  first->OnClick = [&](TObject*) { ++firstClicks; };
  second->OnClick = [&](TObject*) { ++secondClicks; };
  Focus(edit_);
  Press('K', TShiftState{ssCtrl});
  EXPECT_EQ(firstClicks, 1);
  EXPECT_EQ(secondClicks, 0);
  first->SetEnabled(false);
  Press('K', TShiftState{ssCtrl});
  EXPECT_EQ(firstClicks, 1);
  EXPECT_EQ(secondClicks, 0);
}

// --- in-place double click ------------------------------------------------------------------------------

class TClickHolderEh : public TTestHolderEh {
 public:
  using TTestHolderEh::TTestHolderEh;
  void GetMouseDownInfo(TPoint& Pos, int32_t& Time) override {
    Pos = pos;
    Time = static_cast<int32_t>(GetTickCount());
  }
  TPoint pos;
};

TEST_F(DBEditTest, InplaceClickCloseToTheOpeningClickIsADoubleClick) {
  auto* holder = new TClickHolderEh(form_);
  holder->SetParent(form_);
  holder->SetBounds(170, 8, 140, 100);
  edit_->SetInplaceEditHolder(holder);
  int doubles = 0;
  edit_->OnDblClick = [&](TObject*) { ++doubles; };
  for (bool near : {false, true}) {
    SCOPED_TRACE(near ? "near" : "far");
    // Each click lands elsewhere, so the clicks do not pair up among themselves.
    const TPoint p = edit_->ClientToScreen(TPoint{near ? 80 : 10, 5});
    holder->pos = near ? p : TPoint{p.X + 200, p.Y};
    WinTesting::Click(POINT{p.X, p.Y});
    Application->ProcessMessages();
    EXPECT_EQ(doubles, near ? 1 : 0);
  }
}

// --- descriptions ---------------------------------------------------------------------------------------

TEST_F(DBEditTest, OnlyAnUnboundEditorStoresItsText) {
  TDBEditEh unbound(nullptr);
  unbound.SetText("kept");
  EXPECT_NE(editor_test::AsText(&unbound).find("Text = 'kept'"), std::string::npos);
  TDBEditEh empty(nullptr);
  EXPECT_EQ(editor_test::AsText(&empty).find("Text ="), std::string::npos);
  TDBEditEh bound(nullptr);
  bound.SetDataField("Name");
  bound.SetText("lost");
  const std::string d = editor_test::AsText(&bound);
  EXPECT_EQ(d.find("Text ="), std::string::npos);
  EXPECT_NE(d.find("DataField = 'Name'"), std::string::npos);

  TDBEditEh read(nullptr);
  TMemoryStream binary;
  binary.WriteComponent(&unbound);
  binary.SetPosition(0);
  binary.ReadComponent(&read);
  EXPECT_EQ(read.Text(), "kept");
  EXPECT_EQ(read.DataLink()->DataIndependentValue(), Variant(std::string("kept")));
}

// --- more keys and edits ---------------------------------------------------------------------------------

TEST_F(DBEditTest, EnterReachesTheDefaultButtonUnlessWantReturns) {
  auto* ok = new TButton(form_);
  ok->SetParent(form_);
  ok->SetBounds(200, 40, 80, 24);
  ok->SetDefault(true);
  int clicks = 0;
  ok->OnClick = [&](TObject*) { ++clicks; };
  Focus(edit_);
  Press(VK_RETURN);
  EXPECT_EQ(clicks, 1);
  edit_->SetWantReturns(true);
  Press(VK_RETURN);
  EXPECT_EQ(clicks, 1);
  // Taken by the editor itself.
  EXPECT_NE(edit_->Text().find('\n'), std::string::npos);
}

TEST_F(DBEditTest, DeleteAndCutStartEditingTheRecord) {
  struct Case {
    const char* name;
    int vk;
    TShiftState shift;
  };
  for (const Case& c : {Case{"Delete", VK_DELETE, {}}, Case{"Ctrl+X", 'X', TShiftState{ssCtrl}}}) {
    SCOPED_TRACE(c.name);
    Bind("Name");
    Focus(edit_);
    SelectAllText();
    Press(c.vk, c.shift);
    EXPECT_EQ(edit_->Text(), "");
    EXPECT_EQ(ds_->State(), dsEdit);
    Focus(other_);
    EXPECT_EQ(FieldText("Name"), "");
    ds_->Cancel();
  }
}

TEST_F(DBEditTest, PasteIsCutToTheFieldSize) {
  Bind("Code");
  Focus(edit_);
  SelectAllText();
  SetClipboard("0123456789ABCDE");
  SendMessage(edit_->Handle(), WM_PASTE, 0, 0);
  Application->ProcessMessages();
  EXPECT_EQ(edit_->Text(), "0123456789");
  Focus(other_);
  EXPECT_EQ(FieldText("Code"), "0123456789");
}

TEST_F(DBEditTest, UpdateDataHandlerKeepsTheWindowWritableWhileTheRecordIsEdited) {
  Bind("Name");
  EXPECT_TRUE(static_cast<TCustomEdit*>(edit_)->ReadOnly());
  edit_->OnUpdateData = [](TObject*, bool&) {};
  ds_->Edit();
  // The data set's editing reaches the editor through its link.
  EXPECT_FALSE(static_cast<TCustomEdit*>(edit_)->ReadOnly());
  ds_->Cancel();
  EXPECT_TRUE(static_cast<TCustomEdit*>(edit_)->ReadOnly());
}

TEST_F(DBEditTest, LeavingAddsTheTextToAnActiveMRUList) {
  edit_->MRUList()->SetActive(true);
  Focus(edit_);
  Type("pear");
  Focus(other_);
  ASSERT_EQ(edit_->MRUList()->Items()->Count(), 1);
  EXPECT_EQ(edit_->MRUList()->Items()->Strings(0), "pear");
}

}  // namespace

TEST_F(DBEditTest, DialogCodesFollowWantTabsWantReturnsAndTheHolder) {
  const auto code = [this] { return static_cast<LRESULT>(edit_->Perform(WM_GETDLGCODE, 0, 0)); };
  const LRESULT always = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
  EXPECT_EQ(code(), always);
  edit_->SetWantTabs(true);
  EXPECT_EQ(code(), always | DLGC_WANTTAB);
  edit_->SetWantTabs(false);
  edit_->SetWantReturns(true);
  EXPECT_EQ(code(), always | DLGC_WANTALLKEYS);
  edit_->SetWantReturns(false);
  // In place, Tab is wanted when the holder itself wants it.
  auto* holder = new TTabHolderEh(form_);
  holder->SetParent(form_);
  edit_->SetInplaceEditHolder(holder);
  EXPECT_EQ(code(), always | DLGC_WANTTAB);
  edit_->SetInplaceEditHolder(nullptr);
  EXPECT_EQ(code(), always);
}

TEST_F(DBEditTest, HintFlagsFollowTheParentUntilSetAndTooltipsTurnThePlatformFlagOn) {
  ASSERT_TRUE(edit_->ParentShowHint());
  for (bool parent : {true, false}) {
    SCOPED_TRACE(parent);
    form_->SetShowHint(parent);
    EXPECT_EQ(edit_->ShowHint(), parent);
    EXPECT_EQ(edit_->TControl::ShowHint(), parent);
  }
  edit_->SetTooltips(true);
  EXPECT_FALSE(edit_->ShowHint());
  EXPECT_TRUE(edit_->TControl::ShowHint());
  EXPECT_TRUE(edit_->ParentShowHint());
  edit_->SetTooltips(false);
  // Setting the editor's own flag ends following the parent.
  edit_->SetShowHint(true);
  EXPECT_FALSE(edit_->ParentShowHint());
  form_->SetShowHint(false);
  EXPECT_TRUE(edit_->ShowHint());
  EXPECT_TRUE(edit_->TControl::ShowHint());
}

TEST_F(DBEditTest, ImageSettingsAreDescribedWithTheEditor) {
  TDBEditEh source(nullptr);
  source.EditImage()->SetWidth(12);
  source.EditImage()->SetUseImageHeight(false);
  source.EditImage()->SetImageIndex(3);
  TMemoryStream binary;
  binary.WriteComponent(&source);
  binary.SetPosition(0);
  TStringStream text;
  ObjectBinaryToText(binary, text);
  EXPECT_NE(text.DataString().find("EditImage.Width = 12"), std::string::npos);
  // Defaults are left out.
  EXPECT_EQ(text.DataString().find("EditImage.Visible"), std::string::npos);

  TDBEditEh read(nullptr);
  binary.SetPosition(0);
  binary.ReadComponent(&read);
  EXPECT_EQ(read.EditImage()->Width(), 12);
  EXPECT_FALSE(read.EditImage()->UseImageHeight());
  EXPECT_EQ(read.EditImage()->ImageIndex(), 3);
  EXPECT_FALSE(read.EditImage()->Visible());
}

// --- handlers that free the editor ------------------------------------------------------------------

TEST_F(DBEditTest, AnEditorFreedByItsOwnHandlerIsNotTouchedAgain) {
  auto freeEdit = [this](auto&&...) { delete edit_, edit_ = nullptr; };
  auto clickAt = [this](int Times) {
    const TPoint p = edit_->ClientToScreen(TPoint{20, 5});
    for (int i = 0; i < Times && edit_; ++i)
      WinTesting::Click(POINT{p.X, p.Y}), Application->ProcessMessages();
  };
  struct TCase {
    const char* id;
    std::function<void()> install;
    std::function<void()> run;
  };
  const TCase cases[] = {
      {"change", [&] { edit_->OnChange = freeEdit; }, [&] { Type("x"); }},
      {"exit", [&] { edit_->OnExit = freeEdit; }, [&] { Focus(other_); }},
      {"click", [&] { edit_->OnClick = freeEdit; }, [&] { clickAt(1); }},
      {"double-click", [&] { edit_->OnDblClick = freeEdit; }, [&] { clickAt(2); }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.id);
    TearDown(), SetUp();
    Bind("Name");
    Focus(edit_);
    c.install();
    c.run();
    Application->ProcessMessages();
    EXPECT_EQ(std::make_tuple(edit_ == nullptr, errors_), std::make_tuple(true, std::vector<std::string>()));
    // The form goes on without the editor.
    Focus(other_);
    Type("y");
    EXPECT_EQ(other_->Text(), "y");
  }
}
