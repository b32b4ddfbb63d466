// The decorations of the data-aware editor on a shown form: button layout geometry (none, one,
// several, flat, with the image), the MRU list driven by typing and keys, the grey empty-value
// text and the required highlight probed in painted pixels, tool tips, and drop-down forms
// opened from the edit button, bound and unbound.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grid/editors/DBEditEh.h"
#include "grid/editors/EditDecorationsEh.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/rtl/Clock.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Caret.h"
#include "platform/win/TestInput.h"
#include "tests/grid/editors/EditorTestSupport.h"

namespace {

// Opens the protected decoration members the tests look at.
class TDecoTestEditEh : public TDBEditEh {
  RTL_CLASS(TDecoTestEditEh, TDBEditEh)
 public:
  explicit TDecoTestEditEh(TComponent* AOwner) : TDBEditEh(AOwner) {}
  using TCustomDBEditEh::CalcEditRect;
  using TCustomDBEditEh::ShowDropDownForm;
  TMRUListboxEh* MRUListBox() const { return mruListBox_; }
};

// A drop-down form with an edit and an OK button: the edit shows the first passed value and
// gives its text back in it.
class TDecoTestDropDownFormEh : public TCustomDropDownFormEh {
  RTL_CLASS(TDecoTestDropDownFormEh, TCustomDropDownFormEh)
 public:
  explicit TDecoTestDropDownFormEh(TComponent* AOwner) : TCustomDropDownFormEh(AOwner, 0) {
    SetBounds(0, 0, 150, 100);
    edit = new TEdit(this);
    edit->SetParent(this);
    edit->SetBounds(5, 5, 100, 21);
    ok = new TButton(this);
    ok->SetParent(this);
    ok->SetBounds(5, 40, 60, 25);
    ok->SetModalResult(mrOk);
    OnInitForm = [this](TCustomDropDownFormEh*, TDynVarsEh* p) {
      passed.clear();
      for (int i = 0; p && i < p->Count(); ++i)
        passed.push_back(p->GetItem(i)->Name() + "=" + p->GetItem(i)->AsString());
    };
    OnReturnParams = [this](TCustomDropDownFormEh*, TDynVarsEh* p) {
      if (p && p->Count() > 0) p->GetItem(0)->SetValue(Variant(edit->Text()));
    };
  }
  TEdit* edit;
  TButton* ok;
  std::vector<std::string> passed;
};

// An editor whose value is numeric (as in the number and date editors).
class TNumericValueEditEh : public TDBEditEh {
  RTL_CLASS(TNumericValueEditEh, TDBEditEh)
 public:
  explicit TNumericValueEditEh(TComponent* AOwner) : TDBEditEh(AOwner) {}
  Variant value = Variant::Null();
  using TCustomDBEditEh::UpdateImageIndex;

 protected:
  Variant GetVariantValue() override { return value; }
};

}  // namespace

RTL_IMPLEMENT_CLASS(TDecoTestEditEh)
RTL_IMPLEMENT_CLASS(TDecoTestDropDownFormEh)
RTL_IMPLEMENT_CLASS(TNumericValueEditEh)

namespace {

using editor_test::Key;
using editor_test::Type;

constexpr COLORREF kSilver = RGB(192, 192, 192);
constexpr COLORREF kRed = RGB(255, 0, 0);

class EditDecorationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    SetSystemMetricForTest(SM_CXVSCROLL, 18);
    form = new TForm(Application, 0);
    form->AfterConstruction();
    form->SetBounds(50, 50, 400, 300);
    other = new TEdit(form);
    other->SetParent(form);
    other->SetBounds(10, 200, 100, 21);
    edit = new TDecoTestEditEh(form);
    edit->SetParent(form);
    edit->SetBounds(10, 10, 200, 24);
    form->Show();
    other->SetFocus();
    Application->ProcessMessages();
  }
  void TearDown() override { ResetVcl(); }

  void ClickOn(TControl* c) {
    const TPoint p = c->ClientToScreen(TPoint{c->Width() / 2, c->Height() / 2});
    TestInput::Click(POINT{p.X, p.Y});
    Application->ProcessMessages();
  }
  // Pixels of one colour in the editor as PaintTo draws it into a memory bitmap.
  int CountPaintedPixels(COLORREF Color, int OnlyRow = -1) {
    const int w = edit->Width(), h = edit->Height();
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, bmp);
    edit->PaintTo(mem, 0, 0);
    int n = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if ((OnlyRow < 0 || y == OnlyRow) && GetPixel(mem, x, y) == Color) ++n;
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(bmp);
    return n;
  }
  // Pixels of one colour in the editor's client area on screen (its own WM_PAINT).
  int CountWindowPixels(COLORREF Color, int OnlyRow = -1) {
    edit->Invalidate();
    Application->ProcessMessages();
    HDC dc = GetDC(edit->Handle());
    const TRect r = edit->ClientRect();
    int n = 0;
    for (int y = 0; y < r.Bottom; ++y)
      for (int x = 0; x < r.Right; ++x)
        if ((OnlyRow < 0 || y == OnlyRow) && GetPixel(dc, x, y) == Color) ++n;
    ReleaseDC(edit->Handle(), dc);
    return n;
  }

  TForm* form = nullptr;
  TEdit* other = nullptr;
  TDecoTestEditEh* edit = nullptr;
};

TRect BoundsOf(TControl* c) {
  return TRect{c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()};
}

// --- settings objects ----------------------------------------------------------------------------

TEST_F(EditDecorationsTest, EmptyDataInfoDefaultsFontAndAlignment) {
  TControlEmptyDataInfoEh* info = edit->EmptyDataInfo();
  EXPECT_EQ(info->Font()->Color(), static_cast<TColor>(kSilver));
  EXPECT_TRUE(info->Font()->Style().Contains(fsItalic));
  EXPECT_TRUE(info->ParentFont());
  EXPECT_FALSE(info->AlignmentIsStored());

  // The editor's alignment shows through until one is stored.
  edit->SetAlignment(taRightJustify);
  EXPECT_EQ(info->Alignment(), taRightJustify);
  info->SetAlignmentIsStored(true);  // captures the current one
  edit->SetAlignment(taCenter);
  EXPECT_EQ(info->Alignment(), taRightJustify);
  info->SetAlignmentIsStored(false);
  info->SetAlignment(taLeftJustify);
  EXPECT_TRUE(info->AlignmentIsStored());
  EXPECT_EQ(info->Alignment(), taLeftJustify);

  // With ParentFont the size and name follow the editor; colour and style stay.
  edit->Font()->SetSize(14);
  info->RefreshDefaultFont();
  EXPECT_EQ(info->Font()->Height(), edit->Font()->Height());
  EXPECT_EQ(info->Font()->Color(), static_cast<TColor>(kSilver));
  EXPECT_TRUE(info->ParentFont());
  // Any change of its own font ends ParentFont.
  info->Font()->SetColor(clBlue);
  EXPECT_FALSE(info->ParentFont());
  edit->Font()->SetSize(8);
  info->RefreshDefaultFont();
  EXPECT_NE(info->Font()->Height(), edit->Font()->Height());
}

TEST_F(EditDecorationsTest, EditImageAssignAndFreedList) {
  auto* list = new TImageList(form);
  list->SetWidth(16);
  list->SetHeight(16);
  TEditImageEh source;
  source.SetImages(list);
  source.SetImageIndex(3);
  source.SetVisible(true);
  source.SetWidth(10);
  source.SetUseImageHeight(false);
  edit->EditImage()->Assign(&source);
  EXPECT_EQ(edit->EditImage()->Images(), list);
  EXPECT_EQ(edit->EditImage()->ImageIndex(), 3);
  EXPECT_TRUE(edit->EditImage()->Visible());
  EXPECT_EQ(edit->EditImage()->Width(), 10);
  EXPECT_TRUE(edit->EditImage()->UseImageHeight());  // not copied
  delete list;
  Application->ProcessMessages();
  EXPECT_EQ(edit->EditImage()->Images(), nullptr);
  EXPECT_EQ(source.Images(), nullptr);
  EXPECT_EQ(edit->Images(), nullptr);
}

// --- button layout -------------------------------------------------------------------------------

TEST_F(EditDecorationsTest, ButtonLayoutGeometry) {
  struct Item {
    bool visible;
    int width;
  };
  struct Case {
    const char* name;
    int height;  // editor height (3-D border: client height is 4 less)
    bool flat;
    Item builtIn;
    std::vector<Item> items;
    int buttonsWidth;
    int commonHeight;
    std::vector<int> lefts;   // of each button control on the panel
    std::vector<int> widths;  // of each button control
  };
  const Case cases[] = {
      // Fault 11: with nothing visible the controls keep the base height, never the largest integer.
      {"none visible", 60, false, {false, 0}, {{false, 0}}, 0, 56, {0, 0}, {0, 0}},
      {"built-in at the scroll-bar width", 60, false, {true, 0}, {}, 18, 18, {0}, {18}},
      {"low editor takes the full height", 24, false, {true, 0}, {}, 18, 20, {0}, {18}},
      {"several in collection order",
       60,
       false,
       {true, 0},
       {{true, 20}, {false, 30}, {true, 0}},
       56,
       18,
       {0, 18, 38, 38},
       {18, 20, 0, 18}},
      {"own width", 60, false, {true, 25}, {}, 25, 25, {0}, {25}},
      // Flat: 1-pixel separators, one less in total, heights of 4/3 the width.
      {"flat with separators", 60, true, {true, 12}, {{true, 10}}, 23, 13, {0, 13}, {12, 10}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    edit->EditButtons()->Clear();
    edit->SetFlat(c.flat);
    edit->SetAutoSize(false);
    edit->SetBounds(10, 10, 200, c.height);
    edit->EditButton()->SetWidth(c.builtIn.width);
    edit->EditButton()->SetVisible(c.builtIn.visible);
    for (const Item& it : c.items) {
      TEditButtonEh* b = edit->EditButtons()->Add();
      b->SetWidth(it.width);
      b->SetVisible(it.visible);
    }
    Application->ProcessMessages();
    const TRect client = edit->ClientRect();
    ASSERT_EQ(client.Height(), c.height - 4);
    ASSERT_EQ(edit->ButtonControlCount(), static_cast<int>(c.items.size()) + 1);
    EXPECT_EQ(edit->ButtonsWidth(), c.buttonsWidth);
    for (int i = 0; i < edit->ButtonControlCount(); ++i) {
      SCOPED_TRACE(i);
      TEditButtonControlEh* b = edit->ButtonControl(i);
      EXPECT_EQ(b->Tag(), i);
      EXPECT_EQ(b->Left(), c.lefts[static_cast<size_t>(i)]);
      EXPECT_EQ(b->Width(), c.widths[static_cast<size_t>(i)]);
      EXPECT_EQ(b->Top(), 0);
      EXPECT_EQ(b->Height(), c.commonHeight);
    }
    const TRect buttons{client.Right - c.buttonsWidth, 0, client.Right, client.Bottom};
    EXPECT_EQ(edit->ButtonsRect(), buttons);
    EXPECT_EQ(edit->InnerPanel()->Visible(), c.buttonsWidth > 0);
    if (c.buttonsWidth > 0) {
      EXPECT_EQ(BoundsOf(edit->InnerPanel()), buttons);
    }
    EXPECT_EQ(edit->CalcEditRect(), (TRect{0, 0, client.Right - c.buttonsWidth, client.Bottom}));
  }
}

TEST_F(EditDecorationsTest, ImageNarrowsTheEditRectFromTheLeft) {
  auto* list = new TImageList(form);
  list->SetWidth(16);
  list->SetHeight(16);
  edit->EditButton()->SetVisible(true);
  Application->ProcessMessages();
  const TRect client = edit->ClientRect();
  EXPECT_EQ(edit->CalcEditRect().Left, 0);
  edit->SetImages(list);  // also makes the image visible
  Application->ProcessMessages();
  EXPECT_TRUE(edit->EditImage()->Visible());
  EXPECT_EQ(edit->CalcEditRect(), (TRect{20, 0, client.Right - 18, edit->ClientHeight()}));
  EXPECT_EQ(edit->ImageRect(), (TRect{0, 0, 20, edit->ClientHeight()}));
  edit->EditImage()->SetWidth(10);
  Application->ProcessMessages();
  EXPECT_EQ(edit->CalcEditRect().Left, 14);
  edit->EditImage()->SetVisible(false);
  Application->ProcessMessages();
  EXPECT_EQ(edit->CalcEditRect().Left, 0);
}

TEST_F(EditDecorationsTest, ButtonStateFollowsEnabledAndItems) {
  edit->EditButton()->SetVisible(true);
  TEditButtonEh* extra = edit->EditButtons()->Add();
  extra->SetVisible(true);
  extra->SetEnabled(false);
  Application->ProcessMessages();
  EXPECT_TRUE(edit->ButtonControl(0)->Enabled());
  EXPECT_FALSE(edit->ButtonControl(1)->Enabled());
  edit->SetEnabled(false);
  EXPECT_FALSE(edit->ButtonControl(0)->Enabled());
  edit->SetEnabled(true);
  EXPECT_TRUE(edit->ButtonControl(0)->Enabled());
  // The hot look follows the active border.
  edit->SetAlwaysShowBorder(true);
  EXPECT_TRUE(edit->BorderActive());
  EXPECT_TRUE(edit->ButtonControl(0)->Active());
  edit->SetAlwaysShowBorder(false);
  EXPECT_FALSE(edit->BorderActive());
  EXPECT_FALSE(edit->ButtonControl(0)->Active());
}

TEST_F(EditDecorationsTest, ButtonClicksReachTheirHandlers) {
  edit->EditButton()->SetVisible(true);
  TEditButtonEh* extra = edit->EditButtons()->Add();
  extra->SetVisible(true);
  extra->SetWidth(15);
  std::vector<std::string> log;
  edit->OnButtonDown = [&](TObject* s, bool, bool&, bool& handled) {
    EXPECT_EQ(s, edit);
    log.push_back("down");
    handled = true;
  };
  edit->OnButtonClick = [&](TObject*, bool&) { log.push_back("click"); };
  extra->OnClick = [&](TObject*) { log.push_back("extra click"); };
  Application->ProcessMessages();
  ClickOn(edit->ButtonControl(0));
  EXPECT_EQ(log, (std::vector<std::string>{"down", "click"}));
  EXPECT_TRUE(edit->Focused());  // a press takes the focus
  log.clear();
  ClickOn(edit->ButtonControl(1));
  EXPECT_EQ(log, (std::vector<std::string>{"extra click"}));
}

TEST_F(EditDecorationsTest, DropdownMenuPopsUpUnderTheButton) {
  for (TPopupAlignment align : {paLeft, paRight}) {
    SCOPED_TRACE(static_cast<int>(align));
    auto* menu = new TPopupMenu(form);
    menu->SetAlignment(align);
    auto* item = new TMenuItem(menu);
    item->SetCaption("One");
    menu->Items()->Add(item);
    int popups = 0, clicks = 0;
    menu->OnPopup = [&](TObject*) { ++popups; };
    edit->OnButtonClick = [&](TObject*, bool&) { ++clicks; };
    edit->EditButton()->SetVisible(true);
    edit->EditButton()->SetDropdownMenu(menu);
    Application->ProcessMessages();
    TEditButtonControlEh* button = edit->ButtonControl(0);
    TestInput::Schedule([] { TestInput::KeyPress(VK_ESCAPE); });
    ClickOn(button);
    EXPECT_EQ(popups, 1);
    const TPoint corner =
        button->ClientToScreen(TPoint{align == paRight ? button->Width() : 0, button->Height()});
    EXPECT_EQ(menu->PopupPoint(), corner);
    // Not left pressed, and no click: the menu had the press.
    EXPECT_EQ(button->PaintState(), bpsNormalEh);
    EXPECT_EQ(clicks, 0);
    edit->EditButton()->SetDropdownMenu(nullptr);
    delete menu;
  }
}

// --- MRU list ------------------------------------------------------------------------------------

class EditDecorationsMRUTest : public EditDecorationsTest {
 protected:
  void SetUp() override {
    EditDecorationsTest::SetUp();
    edit->MRUList()->SetActive(true);
    for (const char* s : {"apple", "apricot", "banana"}) edit->MRUList()->Items()->Add(s);
    edit->SetFocus();
    Application->ProcessMessages();
  }
  std::vector<std::string> ListItems() {
    std::vector<std::string> r;
    TMRUListboxEh* box = edit->MRUListBox();
    for (int i = 0; box && i < box->Items()->Count(); ++i) r.push_back(box->Items()->Strings(i));
    return r;
  }
  bool ListShown() {
    TMRUListboxEh* box = edit->MRUListBox();
    return edit->MRUList()->DroppedDown() && box && box->HandleAllocated() && IsWindowVisible(box->Handle());
  }
};

TEST_F(EditDecorationsMRUTest, TypingOpensFilteredListAndClearingClosesIt) {
  Type("ap");
  ASSERT_TRUE(ListShown());
  EXPECT_EQ(ListItems(), (std::vector<std::string>{"apple", "apricot"}));
  EXPECT_EQ(edit->MRUListBox()->ItemIndex(), -1);
  // Placed under the editor, as wide as its edit rectangle.
  const TPoint below = edit->ClientToScreen(TPoint{0, edit->ClientHeight()});
  RECT r{};
  GetWindowRect(edit->MRUListBox()->Handle(), &r);
  EXPECT_EQ(r.Left, below.X);
  EXPECT_EQ(r.Top, below.Y);
  EXPECT_EQ(r.Right - r.Left, edit->CalcEditRect().Width());

  Type("r");
  EXPECT_EQ(ListItems(), (std::vector<std::string>{"apricot"}));
  Type("x");  // nothing matches
  EXPECT_FALSE(edit->MRUList()->DroppedDown());
  Key(VK_BACK);
  EXPECT_TRUE(ListShown());

  // Selecting all and deleting empties the text: the list closes.
  edit->SelectAll();
  Key(VK_DELETE);
  EXPECT_EQ(edit->Text(), "");
  EXPECT_FALSE(edit->MRUList()->DroppedDown());
  EXPECT_FALSE(ListShown());
}

TEST_F(EditDecorationsMRUTest, BackspaceToAnEmptyTextOffersTheWholeList) {
  const std::vector<std::string> all{"apple", "apricot", "banana"};
  for (const char* before : {"", "b"}) {
    SCOPED_TRACE(before);
    Type(before);
    edit->MRUList()->CloseUp(false);
    Key(VK_BACK);
    EXPECT_EQ(edit->Text(), "");
    ASSERT_TRUE(ListShown());
    EXPECT_EQ(ListItems(), all);
  }
  // Emptied otherwise, the text closes the list.
  Type("a");
  ASSERT_TRUE(ListShown());
  edit->SelectAll();
  Key(VK_DELETE);
  EXPECT_FALSE(ListShown());
}

TEST_F(EditDecorationsMRUTest, KeysMoveInTheListAndEnterAccepts) {
  Type("ap");
  ASSERT_TRUE(ListShown());
  Key(VK_DOWN);
  EXPECT_EQ(edit->MRUListBox()->ItemIndex(), 0);
  Key(VK_DOWN);
  EXPECT_EQ(edit->MRUListBox()->ItemIndex(), 1);
  EXPECT_EQ(edit->Text(), "ap");  // moving does not change the text
  Key(VK_UP);
  Key(VK_DOWN);
  Key(VK_RETURN);
  EXPECT_FALSE(edit->MRUList()->DroppedDown());
  EXPECT_EQ(edit->Text(), "apricot");
  EXPECT_TRUE(edit->Focused());
  EXPECT_FALSE(ListShown());  // taking the text does not reopen the list
}

TEST_F(EditDecorationsMRUTest, EscapeAndFocusLossCloseWithoutAccepting) {
  Type("ap");
  Key(VK_DOWN);
  Key(VK_ESCAPE);
  EXPECT_FALSE(edit->MRUList()->DroppedDown());
  EXPECT_EQ(edit->Text(), "ap");

  Type("r");
  ASSERT_TRUE(ListShown());
  other->SetFocus();
  Application->ProcessMessages();
  EXPECT_FALSE(edit->MRUList()->DroppedDown());
  EXPECT_EQ(edit->Text(), "apr");
}

TEST_F(EditDecorationsMRUTest, ClickInTheListAccepts) {
  Type("ap");
  ASSERT_TRUE(ListShown());
  TMRUListboxEh* box = edit->MRUListBox();
  const int rowHeight = box->ItemHeight();
  const TPoint p = box->ClientToScreen(TPoint{5, rowHeight + rowHeight / 2});
  TestInput::Click(POINT{p.X, p.Y});
  Application->ProcessMessages();
  EXPECT_FALSE(edit->MRUList()->DroppedDown());
  EXPECT_EQ(edit->Text(), "apricot");
}

TEST_F(EditDecorationsMRUTest, CancelModeFromAnotherControlCloses) {
  Type("ap");
  ASSERT_TRUE(edit->MRUList()->DroppedDown());
  edit->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(static_cast<TControl*>(edit->ButtonControl(0))));
  EXPECT_TRUE(edit->MRUList()->DroppedDown());  // its own child
  edit->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(static_cast<TControl*>(edit->MRUListBox())));
  EXPECT_TRUE(edit->MRUList()->DroppedDown());
  edit->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(static_cast<TControl*>(other)));
  EXPECT_FALSE(edit->MRUList()->DroppedDown());
  EXPECT_EQ(edit->Text(), "ap");
}

TEST_F(EditDecorationsMRUTest, UserResizeIsRemembered) {
  Type("ap");
  TMRUListboxEh* box = edit->MRUListBox();
  ASSERT_NE(box, nullptr);
  box->SetBounds(box->Left(), box->Top(), 150, box->ItemHeight() * 5 + box->GetBorderSize());
  box->OnSizeGripResized(box);
  EXPECT_EQ(edit->MRUList()->Width(), 150);
  EXPECT_EQ(edit->MRUList()->Rows(), 5);
}

TEST_F(EditDecorationsMRUTest, WheelScrollsTheOpenList) {
  for (int i = 0; i < 12; ++i) edit->MRUList()->Items()->Add("avocado " + std::to_string(10 + i));
  Type("a");
  ASSERT_TRUE(ListShown());
  TMRUListboxEh* box = edit->MRUListBox();
  EXPECT_EQ(box->Rows(), 7);
  EXPECT_EQ(box->TopIndex(), 0);
  const TPoint p = edit->ClientToScreen(TPoint{5, 5});
  TestInput::MouseWheel(-WHEEL_DELTA, POINT{p.X, p.Y});
  Application->ProcessMessages();
  EXPECT_EQ(box->TopIndex(), 1);
  EXPECT_TRUE(edit->MRUList()->DroppedDown());
  EXPECT_EQ(edit->Text(), "a");
}

TEST_F(EditDecorationsMRUTest, AcceptedTextThatRaisesStillLetsTheListOpenAgain) {
  Type("ap");
  ASSERT_TRUE(ListShown());
  Key(VK_DOWN);
  edit->OnChange = [](TObject*) { throw Exception("change refused"); };
  EXPECT_THROW(edit->MRUList()->CloseUp(true), Exception);
  edit->OnChange = nullptr;
  edit->SelectAll();
  Type("b");
  EXPECT_TRUE(ListShown());
}

TEST_F(EditDecorationsMRUTest, InactiveListNeverOpens) {
  edit->MRUList()->SetActive(false);
  Type("ap");
  EXPECT_FALSE(edit->MRUList()->DroppedDown());
  EXPECT_EQ(edit->MRUListBox(), nullptr);
}

// --- painting ------------------------------------------------------------------------------------

TEST_F(EditDecorationsTest, EmptyTextPaintedOnlyWhileEmptyAndUnfocused) {
  EXPECT_EQ(CountPaintedPixels(kSilver), 0);
  edit->EmptyDataInfo()->SetText("Name");
  EXPECT_GT(CountPaintedPixels(kSilver), 0);
  EXPECT_GT(CountWindowPixels(kSilver), 0);

  edit->SetText("x");
  EXPECT_EQ(CountPaintedPixels(kSilver), 0);
  EXPECT_EQ(CountWindowPixels(kSilver), 0);
  edit->SetText("");
  EXPECT_GT(CountWindowPixels(kSilver), 0);

  edit->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(CountWindowPixels(kSilver), 0);
  other->SetFocus();
  Application->ProcessMessages();
  EXPECT_GT(CountWindowPixels(kSilver), 0);
}

TEST_F(EditDecorationsTest, EmptyTextAlignment) {
  edit->EmptyDataInfo()->SetText("N");
  // The leftmost silver pixel moves right with the alignment.
  auto leftmost = [&]() {
    edit->Invalidate();
    Application->ProcessMessages();
    HDC dc = GetDC(edit->Handle());
    int found = -1;
    const TRect r = edit->ClientRect();
    for (int x = 0; x < r.Right && found < 0; ++x)
      for (int y = 0; y < r.Bottom; ++y)
        if (GetPixel(dc, x, y) == kSilver) {
          found = x;
          break;
        }
    ReleaseDC(edit->Handle(), dc);
    return found;
  };
  edit->EmptyDataInfo()->SetAlignment(taLeftJustify);
  const int left = leftmost();
  edit->EmptyDataInfo()->SetAlignment(taCenter);
  const int center = leftmost();
  edit->EmptyDataInfo()->SetAlignment(taRightJustify);
  const int right = leftmost();
  ASSERT_GE(left, 0);
  EXPECT_LT(left, 10);
  EXPECT_GT(center, left + 50);
  EXPECT_GT(right, center + 50);
}

TEST_F(EditDecorationsTest, RequiredHighlightOfAnUnboundEditorWhileEmpty) {
  const int bottom = edit->ClientHeight() - 1;
  edit->SetHighlightRequired(true);
  const int dots = CountWindowPixels(kRed, bottom);
  // A dotted line from the text rectangle's left + 2 to its right - 3.
  EXPECT_EQ(dots, (edit->CalcEditRect().Width() - 5 + 1) / 2);
  const int border = (edit->Height() - edit->ClientHeight()) / 2;  // PaintTo draws the frame too
  EXPECT_EQ(CountPaintedPixels(kRed, bottom + border), dots);
  edit->SetText("x");
  EXPECT_EQ(CountWindowPixels(kRed, bottom), 0);
}

class EditDecorationsBoundTest : public EditDecorationsTest {
 protected:
  void SetUp() override {
    EditDecorationsTest::SetUp();
    data = new TMemoryDataSet(form);
    data->FieldDefs()->Add("Name", ftString, 20, true);
    data->FieldDefs()->Add("Code", ftString, 10);
    data->CreateDataSet();
    data->AppendRecord({Variant(std::string("old")), Variant(std::string("c1"))});
    source = new TDataSource(form);
    source->SetDataSet(data);
    edit->SetDataSource(source);
    edit->SetDataField("Name");
    Application->ProcessMessages();
  }
  TMemoryDataSet* data = nullptr;
  TDataSource* source = nullptr;
};

TEST_F(EditDecorationsBoundTest, RequiredHighlightWhileTheInsertedValueIsMissing) {
  const int bottom = edit->ClientHeight() - 1;
  edit->SetHighlightRequired(true);
  EXPECT_EQ(CountWindowPixels(kRed, bottom), 0);  // browsing
  data->Insert();
  Application->ProcessMessages();
  EXPECT_GT(CountWindowPixels(kRed, bottom), 20);
  data->FieldByName("Name")->SetAsString("given");
  Application->ProcessMessages();
  EXPECT_EQ(CountWindowPixels(kRed, bottom), 0);
  data->FieldByName("Name")->Clear();
  Application->ProcessMessages();
  // The application may overrule the decision.
  edit->OnCheckDrawRequiredState = [](TObject*, bool& draw) { draw = false; };
  EXPECT_EQ(CountWindowPixels(kRed, bottom), 0);
  edit->OnCheckDrawRequiredState = TCheckDrawRequiredStateEventEh();
  edit->SetHighlightRequired(false);
  EXPECT_EQ(CountWindowPixels(kRed, bottom), 0);
}

TEST_F(EditDecorationsTest, PaintThatRaisesStillEndsThePaint) {
  edit->SetHighlightRequired(true);
  edit->SetFocus();
  Application->ProcessMessages();
  ASSERT_EQ(GetCaretWindow(), edit->Handle());
  edit->OnCheckDrawRequiredState = [](TObject*, bool&) { throw Exception("paint failed"); };
  EXPECT_THROW(edit->Perform(WM_PAINT, 0, 0), Exception);
  edit->OnCheckDrawRequiredState = TCheckDrawRequiredStateEventEh();
  // The paint hid the caret; ending it shows the caret again, so it blinks on.
  bool drawn = false;
  for (int i = 0; i < 4 && !drawn; ++i) {
    VirtualClock::Advance(GetCaretBlinkTime());
    Application->ProcessMessages();
    drawn = IsCaretDrawn();
  }
  EXPECT_TRUE(drawn);
}

TEST_F(EditDecorationsTest, FlatBorderShowsItsActiveLook) {
  auto frameAt = [&](int X, int Y) {
    SetWindowPos(edit->Handle(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Application->ProcessMessages();
    HDC dc = GetWindowDC(edit->Handle());
    const COLORREF c = GetPixel(dc, X, Y);
    ReleaseDC(edit->Handle(), dc);
    return c;
  };
  const COLORREF face = GetSysColor(COLOR_BTNFACE), shadow = GetSysColor(COLOR_BTNSHADOW);
  ASSERT_NE(face, shadow);
  EXPECT_EQ(frameAt(0, 0), shadow);  // the ordinary sunken 3-D frame
  edit->SetFlat(true);
  EXPECT_FALSE(edit->BorderActive());
  EXPECT_EQ(frameAt(0, 0), face);
  EXPECT_EQ(frameAt(1, 1), face);
  edit->SetAlwaysShowBorder(true);
  EXPECT_EQ(frameAt(0, 0), shadow);
  EXPECT_EQ(frameAt(1, 1), face);
  edit->SetAlwaysShowBorder(false);
  edit->SetFocus();
  Application->ProcessMessages();
  EXPECT_TRUE(edit->BorderActive());
  other->SetFocus();
  Application->ProcessMessages();
  EXPECT_FALSE(edit->BorderActive());
  EXPECT_EQ(frameAt(0, 0), face);
}

TEST_F(EditDecorationsTest, RightAlignedTextIsPaintedAtTheRightWhileUnfocused) {
  edit->EditButton()->SetVisible(true);
  edit->SetText("x");
  edit->SetAlignment(taRightJustify);
  const COLORREF text = ColorToRGB(edit->Font()->Color());
  auto inkSpan = [&](int& First, int& Last) {
    edit->Invalidate();
    Application->ProcessMessages();
    HDC dc = GetDC(edit->Handle());
    First = -1;
    Last = -1;
    const TRect r = edit->ClientRect();
    for (int x = 0; x < r.Right; ++x)
      for (int y = 0; y < r.Bottom; ++y)
        if (GetPixel(dc, x, y) == text) {
          if (First < 0) First = x;
          Last = x;
        }
    ReleaseDC(edit->Handle(), dc);
  };
  int first = 0, last = 0;
  inkSpan(first, last);
  const int editRight = edit->CalcEditRect().Right;
  ASSERT_GE(first, 0);
  EXPECT_GT(first, editRight - 20);  // at the right of the text area, left of the button
  EXPECT_LT(last, editRight);
  edit->SetFocus();
  Application->ProcessMessages();
  inkSpan(first, last);
  ASSERT_GE(first, 0);
  EXPECT_LT(first, 10);  // edits left-aligned
}

TEST_F(EditDecorationsTest, ImageIsPaintedLeftOfTheTextByIndex) {
  const COLORREF green = RGB(0, 200, 0), blue = RGB(0, 0, 200);
  auto* list = new TImageList(form);
  list->SetWidth(8);
  list->SetHeight(8);
  for (COLORREF c : {green, blue}) {
    TBitmap bmp;
    bmp.SetWidth(8);
    bmp.SetHeight(8);
    bmp.Canvas()->Brush()->SetColor(static_cast<TColor>(c));
    bmp.Canvas()->FillRect(TRect{0, 0, 8, 8});
    list->Add(&bmp, nullptr);
  }
  edit->SetImages(list);
  Application->ProcessMessages();
  EXPECT_EQ(edit->EditImage()->ImageIndex(), -1);
  EXPECT_EQ(CountWindowPixels(green), 0);
  // The application has the last word on the index.
  int asked = 0;
  edit->SetOnGetImageIndex([&](TObject*, int& index) {
    ++asked;
    index = 0;
  });
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(edit->EditImage()->ImageIndex(), 0);
  EXPECT_EQ(CountWindowPixels(green), 64);
  edit->EditImage()->SetImageIndex(1);
  EXPECT_EQ(CountWindowPixels(green), 0);
  EXPECT_EQ(CountWindowPixels(blue), 64);
  // Inside the image area only.
  HDC dc = GetDC(edit->Handle());
  EXPECT_EQ(GetPixel(dc, edit->CalcEditRect().Left + 1, edit->ClientHeight() / 2), GetSysColor(COLOR_WINDOW));
  ReleaseDC(edit->Handle(), dc);
}

// --- tool tips -----------------------------------------------------------------------------------

TEST_F(EditDecorationsTest, ToolTipsShowClippedTextOnly) {
  struct Case {
    const char* name;
    bool tooltips;
    bool showHint;
    std::string text;
    LRESULT result;
    bool textAsHint;
  };
  const std::string longText(50, 'w');
  const Case cases[] = {
      {"clipped text is the hint", true, false, longText, 0, true},
      {"fitting text: no hint without ShowHint", true, false, "short", 1, false},
      {"fitting text keeps the control hint with ShowHint", true, true, "short", 0, false},
      {"no tool tips", false, false, longText, 1, false},
  };
  edit->SetHint("control hint");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    edit->SetTooltips(c.tooltips);
    edit->SetShowHint(c.showHint);
    EXPECT_EQ(static_cast<TControl*>(edit)->TControl::ShowHint(), c.tooltips || c.showHint);
    edit->SetText(c.text);
    THintInfo info;
    info.HintControl = edit;
    info.HintStr = "control hint";
    const LRESULT result = edit->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(result, c.result);
    if (c.textAsHint) {
      EXPECT_EQ(info.HintStr, c.text);
      EXPECT_EQ(info.HintWindowClass, TEditToolTipsWindowEh::StaticClass());
      const TPoint corner = form->ClientToScreen(TPoint{edit->Left(), edit->Top() + edit->Height()});
      EXPECT_EQ(info.HintPos, corner);
    } else if (result == 0) {
      EXPECT_EQ(info.HintStr, "control hint");
    }
  }
}

TEST_F(EditDecorationsTest, ToolTipWindowShowsTheWholeClippedText) {
  const std::string longText(50, 'w');
  edit->SetTooltips(true);
  edit->SetText(longText);
  const TPoint p = edit->ClientToScreen(TPoint{20, 5});
  Application->ActivateHint(p);
  THintWindow* hint = Application->HintWindow();
  ASSERT_NE(hint, nullptr);
  EXPECT_TRUE(hint->InheritsFrom(TEditToolTipsWindowEh::StaticClass()));
  EXPECT_EQ(hint->Caption(), longText);
  EXPECT_GT(hint->Width(), edit->Width());
  Application->CancelHint();
}

TEST_F(EditDecorationsTest, HoverShowsClippedTextAlsoWithoutAHint) {
  const std::string longText(50, 'w');
  edit->SetHint("");
  edit->SetTooltips(true);
  const auto hintShowing = [] {
    THintWindow* w = Application->HintWindow();
    return w && w->HandleAllocated() && IsWindowVisible(w->Handle());
  };
  const struct {
    const char* name;
    std::string text;
    bool shown;
  } cases[] = {{"clipped text", longText, true}, {"fitting text", "short", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    edit->SetText(c.text);
    const TPoint away = other->ClientToScreen(TPoint{5, 5});
    TestInput::MouseMove(POINT{away.X, away.Y});
    Application->ProcessMessages();
    Application->CancelHint();
    const TPoint p = edit->ClientToScreen(TPoint{20, 5});
    TestInput::MouseMove(POINT{p.X, p.Y});
    Application->ProcessMessages();
    VirtualClock::Advance(static_cast<uint32_t>(Application->HintPause() + 10));
    Application->ProcessMessages();
    ASSERT_EQ(hintShowing(), c.shown);
    if (c.shown) {
      EXPECT_EQ(Application->HintWindow()->Caption(), longText);
    }
    Application->CancelHint();
  }
}

TEST_F(EditDecorationsTest, ANewButtonIsLaidOutAtOnce) {
  edit->EditButton()->SetVisible(true);
  Application->ProcessMessages();
  const int before = edit->ButtonsWidth();
  // Items are visible by default; no paint runs between adding and looking.
  edit->EditButtons()->Add();
  ASSERT_EQ(edit->ButtonControlCount(), 2);
  EXPECT_EQ(edit->ButtonControl(1)->Width(), 18);
  EXPECT_EQ(edit->ButtonsWidth(), before + 18);
  EXPECT_EQ(edit->CalcEditRect().Right, edit->ButtonsRect().Left);
  edit->EditButtons()->Delete(0);
  EXPECT_EQ(edit->ButtonControlCount(), 1);
  EXPECT_EQ(edit->ButtonsWidth(), before);
}

TEST_F(EditDecorationsTest, NumericValueChoosesTheImageIndex) {
  auto* list = new TImageList(form);
  auto* numeric = new TNumericValueEditEh(form);
  numeric->SetParent(form);
  numeric->SetImages(list);
  const struct {
    const char* name;
    Variant value;
    int index;
  } cases[] = {
      {"null: the default", Variant::Null(), -1},
      {"integer", Variant(3), 3},
      {"double to the nearest", Variant(2.6), 3},
      {"a tie goes to the even index", Variant(2.5), 2},
      {"a tie above an odd number goes up", Variant(3.5), 4},
      {"text is no number", Variant(std::string("4")), -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    numeric->value = c.value;
    numeric->UpdateImageIndex();
    EXPECT_EQ(numeric->EditImage()->ImageIndex(), c.index);
  }
}

// --- drop-down forms -----------------------------------------------------------------------------

class EditDecorationsFormTest : public EditDecorationsTest {
 protected:
  void SetUp() override {
    EditDecorationsTest::SetUp();
    dropDown = Construct<TDecoTestDropDownFormEh>(Application);
    edit->EditButton()->SetVisible(true);
    edit->EditButton()->DropDownFormParams()->SetDropDownForm(dropDown);
    edit->EditButton()->DropDownFormParams()->SetSaveFormSize(false);
    edit->OnCloseDropDownForm = [this](TCustomDBEditEh* e, TEditButtonEh* b, bool accept, TCustomForm* f,
                                       TDynVarsEh*) {
      EXPECT_EQ(e, edit);
      EXPECT_EQ(b, nullptr);
      EXPECT_EQ(f, dropDown);
      closes.push_back(accept);
    };
    Application->ProcessMessages();
  }
  void PickInForm(const std::string& Text) {
    ClickOn(edit->ButtonControl(0));
    ASSERT_TRUE(dropDown->Visible());
    EXPECT_TRUE(edit->ButtonControl(0)->AlwaysDown());
    dropDown->edit->SetText(Text);
    ClickOn(dropDown->ok);
  }
  TDecoTestDropDownFormEh* dropDown = nullptr;
  std::vector<bool> closes;
};

TEST_F(EditDecorationsFormTest, UnboundEditorTakesTheValue) {
  edit->SetText("start");
  PickInForm("picked");
  EXPECT_EQ(dropDown->passed, (std::vector<std::string>{"=start"}));
  EXPECT_FALSE(dropDown->Visible());
  EXPECT_EQ(closes, (std::vector<bool>{true}));
  EXPECT_EQ(edit->Text(), "picked");
  EXPECT_FALSE(edit->ButtonControl(0)->AlwaysDown());
}

TEST_F(EditDecorationsFormTest, FieldNameWithoutDataSourceOnlySetsTheValue) {
  // Fault 2: no data set to put into edit state.
  edit->SetDataField("Name");
  PickInForm("picked");
  EXPECT_EQ(closes, (std::vector<bool>{true}));
  EXPECT_EQ(edit->Text(), "picked");
}

TEST_F(EditDecorationsFormTest, BoundEditorWritesAndPostsTheField) {
  auto* data = new TMemoryDataSet(form);
  data->FieldDefs()->Add("Name", ftString, 20);
  data->CreateDataSet();
  data->AppendRecord({Variant(std::string("old"))});
  auto* source = new TDataSource(form);
  source->SetDataSet(data);
  edit->SetDataSource(source);
  edit->SetDataField("Name");
  Application->ProcessMessages();
  PickInForm("new");
  EXPECT_EQ(dropDown->passed, (std::vector<std::string>{"Name=old"}));
  EXPECT_EQ(data->State(), dsBrowse);  // posted, as it was not editing before
  EXPECT_EQ(data->FieldByName("Name")->AsString(), "new");
  EXPECT_EQ(edit->Text(), "new");
}

TEST_F(EditDecorationsFormTest, AssignBackFieldNamesWriteEachNamedField) {
  auto* data = new TMemoryDataSet(form);
  data->FieldDefs()->Add("Name", ftString, 20);
  data->FieldDefs()->Add("Code", ftString, 10);
  data->CreateDataSet();
  data->AppendRecord({Variant(std::string("old")), Variant(std::string("c1"))});
  auto* source = new TDataSource(form);
  source->SetDataSet(data);
  edit->SetDataSource(source);
  edit->SetDataField("Name");
  TDropDownFormCallParamsEh* params = edit->EditButton()->DropDownFormParams();
  params->SetPassFieldNames("Code");
  params->SetAssignBackFieldNames("Code");
  Application->ProcessMessages();
  PickInForm("c2");
  EXPECT_EQ(dropDown->passed, (std::vector<std::string>{"Code=c1"}));
  EXPECT_EQ(data->FieldByName("Code")->AsString(), "c2");
  EXPECT_EQ(data->FieldByName("Name")->AsString(), "old");
  EXPECT_EQ(data->State(), dsBrowse);
}

TEST_F(EditDecorationsFormTest, CancelLeavesTheValueAndTheCloseNoticeBlocksReopening) {
  edit->SetText("start");
  ClickOn(edit->ButtonControl(0));
  ASSERT_TRUE(dropDown->Visible());
  dropDown->edit->SetText("ignored");
  dropDown->Close();
  EXPECT_EQ(closes, (std::vector<bool>{false}));
  EXPECT_EQ(edit->Text(), "start");
  // While the closed notice is still queued, a press does not open the form again.
  bool handled = false;
  edit->ShowDropDownForm(edit->EditButton(), edit->ButtonControl(0), handled);
  EXPECT_TRUE(handled);
  EXPECT_FALSE(dropDown->Visible());
  Application->ProcessMessages();
  handled = false;
  edit->ShowDropDownForm(edit->EditButton(), edit->ButtonControl(0), handled);
  EXPECT_TRUE(handled);
  EXPECT_TRUE(dropDown->Visible());
  dropDown->Close();
  Application->ProcessMessages();
}

TEST_F(EditDecorationsFormTest, ClickingTheButtonWhileOpenClosesWithoutReopening) {
  edit->SetText("start");
  ClickOn(edit->ButtonControl(0));
  ASSERT_TRUE(dropDown->Visible());
  dropDown->edit->SetText("ignored");
  ClickOn(edit->ButtonControl(0));
  Application->ProcessMessages();
  EXPECT_FALSE(dropDown->Visible());
  EXPECT_EQ(closes, (std::vector<bool>{false}));
  EXPECT_EQ(edit->Text(), "start");
  EXPECT_FALSE(edit->ButtonControl(0)->AlwaysDown());
  // The next press opens it again.
  ClickOn(edit->ButtonControl(0));
  EXPECT_TRUE(dropDown->Visible());
  dropDown->Close();
  Application->ProcessMessages();
}

TEST_F(EditDecorationsFormTest, UnregisteredClassNameRaises) {
  TDropDownFormCallParamsEh* params = edit->EditButton()->DropDownFormParams();
  params->SetDropDownForm(nullptr);
  params->SetDropDownFormClassName("TNoSuchDropDownFormEh");
  bool handled = false;
  try {
    edit->ShowDropDownForm(edit->EditButton(), edit->ButtonControl(0), handled);
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Class 'TNoSuchDropDownFormEh' is not registered");
  }
  EXPECT_FALSE(handled);
  EXPECT_FALSE(edit->ButtonControl(0)->AlwaysDown());
}

}  // namespace
