// Edit-button items (defaults, Assign, click, references), their collection, the button
// control on a form (press halves, auto-repeat, held-down state, painting, images) and the
// shared button measures.
#include <gtest/gtest.h>

#include "grid/foundation/DrawRoutinesEh.h"
#include "grid/foundation/EditButtonsEh.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/Clock.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Input.h"
#include "platform/win/Painting.h"
#include "platform/win/WinTesting.h"
#include "tests/support/SurfacePixels.h"

namespace {

class EditButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    SetThemesEnabled(false);
    ClearButtonsBitmapCache();
    form = new TForm(Application, 0);
    form->AfterConstruction();
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 200, 120);
    form->SetColor(clWhite);
  }
  void TearDown() override {
    ResetSystemMetrics();
    SetThemesEnabled(false);
    ClearButtonsBitmapCache();
  }
  TEditButtonControlEh* AddControl(TEditButtonStyleEh style, int left = 10) {
    auto* b = new TEditButtonControlEh(form);
    b->SetParent(form);
    b->SetBounds(left, 10, 17, 21);
    b->SetStyle(style);
    return b;
  }
  void ShowAndPaint() {
    if (!form->Visible()) form->Show();
    Application->ProcessMessages();
  }
  COLORREF Pixel(TControl* c, int x, int y) {
    return test_support::ScreenPixel(form->Handle(), c->ClientToScreen({x, y}));
  }
  static POINT ScreenOf(TControl* c, int x, int y) {
    const TPoint p = c->ClientToScreen({x, y});
    return {p.X, p.Y};
  }
  static COLORREF Sys(TColor c) { return ColorToRGB(c) & 0xFFFFFF; }

  TForm* form = nullptr;
};

constexpr TShortCut kAltDown = scAlt | VK_DOWN;

// --- items -----------------------------------------------------------------------------------

TEST_F(EditButtonTest, ItemDefaultsByClass) {
  struct Case {
    TClass cls;
    bool visible;
    TShortCut shortCut;
  } cases[] = {
      {TEditButtonEh::StaticClass(), false, scNone},
      {TVisibleEditButtonEh::StaticClass(), true, kAltDown},
      {TDropDownEditButtonEh::StaticClass(), false, kAltDown},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cls->Name);
    TEditButtonsEh buttons(form, c.cls);
    TEditButtonEh* b = buttons.Add();
    ASSERT_TRUE(b->InheritsFrom(c.cls));
    EXPECT_EQ(b->Visible(), c.visible);
    EXPECT_EQ(b->ShortCut(), c.shortCut);
    EXPECT_TRUE(b->Enabled());
    EXPECT_EQ(b->NumGlyphs(), 1);
    EXPECT_EQ(b->Style(), ebsDropDownEh);
    EXPECT_EQ(b->Width(), 0);
    EXPECT_EQ(b->Action(), nullptr);
    EXPECT_EQ(b->DropdownMenu(), nullptr);
    EXPECT_TRUE(b->Glyph()->Empty());
    EXPECT_EQ(b->DropDownFormParams()->FormWidth(), -1);
    EXPECT_EQ(b->Editor(), form);
    // The published defaults agree with what the constructor sets, so nothing default is stored.
    for (const TPropInfo* p : c.cls->AllProps()) {
      if (!p->HasDefault || !p->GetOrd) continue;
      SCOPED_TRACE(p->Name);
      EXPECT_EQ(p->GetOrd(*b), p->DefaultValue);
    }
  }
}

TEST_F(EditButtonTest, BuiltInButtonBelongsToItsEditorAndNoCollection) {
  TVisibleEditButtonEh b(static_cast<TWinControl*>(form));
  EXPECT_EQ(b.Collection(), nullptr);
  EXPECT_EQ(b.Editor(), form);
  EXPECT_EQ(b.GetOwner(), form);
  EXPECT_TRUE(b.Visible());
  int changes = 0;
  b.OnChange = [&](TObject* s) {
    EXPECT_EQ(s, &b);
    ++changes;
  };
  b.SetStyle(ebsEllipsisEh);
  b.SetStyle(ebsEllipsisEh);  // no change, no report
  b.SetWidth(20);
  EXPECT_EQ(changes, 2);
  TEditButtonControlEh* control = b.CreateEditButtonControl();
  EXPECT_EQ(control->Owner(), form);
}

TEST_F(EditButtonTest, AssignCopiesEveryPublishedProperty) {
  TAction action(form);
  TPopupMenu menu(form);
  TImageList images(form);
  TEditButtonsEh buttons(form, TEditButtonEh::StaticClass());
  TEditButtonEh* a = buttons.Add();
  TEditButtonEh* b = buttons.Add();
  auto click = [](TObject*) {};
  auto down = [](TObject*, bool, bool&, bool&) {};
  a->SetAction(&action);
  a->SetDropdownMenu(&menu);
  a->DropDownFormParams()->SetFormWidth(321);
  a->DropDownFormParams()->SetDropDownFormClassName("TPickForm");
  a->SetEnabled(false);
  a->Glyph()->SetSize(6, 4);
  a->SetHint("pick one");
  a->Images()->SetHotImages(&images);
  a->Images()->SetPressedIndex(3);
  a->SetNumGlyphs(3);
  a->SetShortCut(scCtrl | 'K');
  a->SetStyle(ebsAltUpDownEh);
  a->SetVisible(true);
  a->SetWidth(25);
  a->OnClick = click;
  a->OnDown = down;

  b->Assign(a);
  const std::vector<const TPropInfo*> props = TEditButtonEh::StaticClass()->AllProps();
  for (const TPropInfo* p : props) {
    SCOPED_TRACE(p->Name);
    if (p->GetOrd) {
      EXPECT_EQ(p->GetOrd(*b), p->GetOrd(*a));
      if (p->HasDefault) {
        EXPECT_NE(p->GetOrd(*a), p->DefaultValue) << "the source must differ from the default";
      }
    } else if (p->GetStr) {
      EXPECT_EQ(p->GetStr(*b), p->GetStr(*a));
    }
  }
  EXPECT_EQ(b->Action(), &action);
  EXPECT_EQ(b->DropdownMenu(), &menu);
  EXPECT_NE(b->DropDownFormParams(), a->DropDownFormParams());
  EXPECT_EQ(b->DropDownFormParams()->FormWidth(), 321);
  EXPECT_EQ(b->DropDownFormParams()->DropDownFormClassName(), "TPickForm");
  EXPECT_NE(b->Glyph(), a->Glyph());
  EXPECT_EQ(b->Glyph()->Width(), 6);
  EXPECT_EQ(b->Hint(), "pick one");
  EXPECT_EQ(b->Images()->HotImages(), &images);
  EXPECT_EQ(b->Images()->PressedIndex(), 3);
  EXPECT_TRUE(b->OnClick == a->OnClick);
  EXPECT_TRUE(b->OnDown == a->OnDown);
  // Every published property is one of those checked here.
  EXPECT_EQ(props.size(), 14u);
}

TEST_F(EditButtonTest, ClickRunsTheActionInsteadOfOnClick) {
  TAction action(form);
  int executed = 0, clicked = 0;
  action.OnExecute = [&](TObject*) { ++executed; };
  TEditButtonEh b(static_cast<TWinControl*>(form));
  b.OnClick = [&](TObject* s) {
    EXPECT_EQ(s, form);
    ++clicked;
  };
  bool handled = false;
  b.Click(form, handled);
  EXPECT_EQ(clicked, 1);
  EXPECT_FALSE(handled);

  b.SetAction(&action);
  handled = false;
  b.Click(form, handled);
  EXPECT_EQ(executed, 1);
  EXPECT_EQ(clicked, 1);
  EXPECT_TRUE(handled);
}

TEST_F(EditButtonTest, FreedReferencesAreForgotten) {
  auto* action = new TAction(form);
  auto* menu = new TPopupMenu(form);
  auto* images = new TImageList(form);
  TEditButtonsEh buttons(form, TVisibleEditButtonEh::StaticClass());
  TEditButtonEh* b = buttons.Add();
  std::vector<TObject*> imageReports;
  buttons.OnImagesChange = [&](TObject* s) { imageReports.push_back(s); };
  b->SetAction(action);
  b->SetDropdownMenu(menu);
  b->Images()->SetNormalImages(images);
  b->Images()->SetDisabledImages(images);
  EXPECT_EQ(imageReports.size(), 2u);

  delete action;
  delete menu;
  EXPECT_EQ(b->Action(), nullptr);
  EXPECT_EQ(b->DropdownMenu(), nullptr);
  delete images;
  EXPECT_EQ(b->Images()->NormalImages(), nullptr);
  EXPECT_EQ(b->Images()->DisabledImages(), nullptr);
  EXPECT_EQ(imageReports.size(), 3u);
  EXPECT_EQ(imageReports.back(), b);
}

TEST_F(EditButtonTest, CollectionReportsChangesToItsOwner) {
  TEditButtonsEh buttons(form, TVisibleEditButtonEh::StaticClass());
  EXPECT_EQ(buttons.GetOwner(), form);
  int changes = 0;
  buttons.OnChange = [&](TObject* s) {
    EXPECT_EQ(s, &buttons);
    ++changes;
  };
  TEditButtonEh* first = buttons.Add();
  const int afterAdd = changes;
  EXPECT_GE(afterAdd, 1);
  first->SetStyle(ebsPlusEh);
  EXPECT_EQ(changes, afterAdd + 1);
  first->SetHint("x");
  first->SetVisible(false);
  EXPECT_EQ(changes, afterAdd + 3);
  buttons.Add();
  EXPECT_EQ(buttons.Count(), 2);
  EXPECT_EQ(buttons.GetItem(0), first);
  EXPECT_EQ(buttons.Items(0)->Style(), ebsPlusEh);
  EXPECT_GT(changes, afterAdd + 3);
}

TEST_F(EditButtonTest, StateImageFallsBackToTheNormalList) {
  TImageList normal(form), hot(form);
  normal.SetWidth(4);
  normal.SetHeight(4);
  TBitmap img;
  img.SetSize(4, 4);
  normal.Add(&img, nullptr);
  normal.Add(&img, nullptr);
  hot.SetWidth(4);
  hot.SetHeight(4);
  hot.Add(&img, nullptr);
  TEditButtonImagesEh images;
  TCustomImageList* list = nullptr;
  int index = -1;
  EXPECT_FALSE(images.GetStateImage(bpsNormalEh, list, index));
  images.SetNormalImages(&normal);
  images.SetNormalIndex(1);
  images.SetHotImages(&hot);
  images.SetHotIndex(0);
  ASSERT_TRUE(images.GetStateImage(bpsPressedEh, list, index));
  EXPECT_EQ(list, &normal);
  EXPECT_EQ(index, 1);
  ASSERT_TRUE(images.GetStateImage(bpsHotEh, list, index));
  EXPECT_EQ(list, &hot);
  EXPECT_EQ(index, 0);
  images.SetHotIndex(5);  // beyond the list
  EXPECT_FALSE(images.GetStateImage(bpsHotEh, list, index));
}

// --- measures --------------------------------------------------------------------------------

TEST_F(EditButtonTest, DefaultEditButtonHeight) {
  struct Case {
    int width;
    bool flat;
    int expected;
  } cases[] = {{17, false, 17}, {17, true, 23}, {16, true, 21}, {15, true, 20}, {9, true, 12},
               {10, true, 13},  {11, true, 15}, {0, true, 0},   {1, true, 1},   {2, true, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << (c.flat ? " flat" : ""));
    EXPECT_EQ(DefaultEditButtonHeight(c.width, c.flat), c.expected);
  }
}

TEST_F(EditButtonTest, DefaultFlatButtonWidthParityFollowsTheThemeAndIsCapped) {
  TFont font;
  const int text = GetFontTextHeight(&font);
  ASSERT_EQ(text, 13);  // the test font: two thirds are 8.67, rounded 9
  EXPECT_EQ(GetDefaultFlatButtonWidth(), 9);
  SetThemesEnabled(true);
  EXPECT_EQ(GetDefaultFlatButtonWidth(), 10);
  SetSystemMetricForTest(SM_CXVSCROLL, 8);
  EXPECT_EQ(GetDefaultFlatButtonWidth(), 8);
  // Clearing the cache (a theme or colour change) refreshes the shared width.
  ClearButtonsBitmapCache();
  EXPECT_EQ(FlatButtonWidth(), 8);
}

// --- the control -----------------------------------------------------------------------------

TEST_F(EditButtonTest, ControlPaintsItsStyleThroughThePainter) {
  TEditButtonControlEh* b = AddControl(ebsDropDownEh);
  ShowAndPaint();
  EXPECT_EQ(Pixel(b, 8, 11), Sys(clBtnText));  // the arrow's tip
  EXPECT_EQ(Pixel(b, 3, 9), Sys(clBtnFace));   // the first dot of the ellipsis

  b->SetStyle(ebsEllipsisEh);
  Application->ProcessMessages();
  EXPECT_EQ(Pixel(b, 8, 11), Sys(clBtnFace));
  EXPECT_EQ(Pixel(b, 3, 9), Sys(clBtnText));

  b->SetFlat(true);
  Application->ProcessMessages();
  EXPECT_EQ(Pixel(b, 0, 0), Sys(clBtnFace));
  b->SetActive(true);
  Application->ProcessMessages();
  EXPECT_EQ(Pixel(b, 0, 0), Sys(clBtnHighlight));

  b->SetEnabled(false);
  Application->ProcessMessages();
  EXPECT_EQ(b->PaintState(), bpsDisabledEh);
  EXPECT_EQ(Pixel(b, 3, 9), Sys(clBtnShadow));
}

TEST_F(EditButtonTest, OverAnotherFaceTheControlDrawsItsSignInTheFontColourAndItsImage) {
  TBitmap over;
  over.SetSize(17, 21);
  auto paintOver = [&](TEditButtonControlEh* Button) {
    over.Canvas()->Brush()->SetColor(clLime);
    over.Canvas()->FillRect(Rect(0, 0, 17, 21));
    over.Canvas()->Font()->SetColor(clRed);
    EXPECT_TRUE(Button->PaintContentOverFace(over.Canvas()));
  };
  auto at = [&](int X, int Y) { return Sys(over.Canvas()->Pixels(X, Y)); };
  TEditButtonControlEh* b = AddControl(ebsDropDownEh);
  ShowAndPaint();
  paintOver(b);
  // The arrow's tip where the control's own face has it, nothing of that face around it.
  EXPECT_EQ(at(8, 11), Sys(clRed));
  EXPECT_EQ(at(8, 12), Sys(clLime));
  EXPECT_EQ(at(0, 0), Sys(clLime));
  b->SetAlwaysDown(true);
  paintOver(b);
  EXPECT_EQ(at(9, 12), Sys(clRed));  // shifted with the pressed face

  auto* images = new TImageList(form);
  images->SetWidth(5);
  images->SetHeight(5);
  TBitmap blue;
  blue.SetSize(5, 5);
  blue.Canvas()->Brush()->SetColor(clBlue);
  blue.Canvas()->FillRect(TRect{0, 0, 5, 5});
  images->Add(&blue, nullptr);
  TEditButtonEh item(static_cast<TWinControl*>(form));
  item.Images()->SetNormalImages(images);
  TEditButtonControlEh* glyph = AddControl(ebsGlyphEh, 40);
  glyph->SetButtonImages(item.Images());
  paintOver(glyph);
  EXPECT_EQ(at(8, 10), Sys(clBlue));
}

TEST_F(EditButtonTest, SetAlwaysDownHoldsThePressedLook) {
  TEditButtonControlEh* b = AddControl(ebsDropDownEh);
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  ShowAndPaint();
  EXPECT_EQ(b->PaintState(), bpsNormalEh);
  b->SetAlwaysDown(true);
  Application->ProcessMessages();
  EXPECT_TRUE(b->AlwaysDown());
  EXPECT_TRUE(b->Down());
  EXPECT_EQ(b->GroupIndex(), 1);
  EXPECT_FALSE(b->AllowAllUp());
  EXPECT_EQ(b->PaintState(), bpsPressedEh);
  EXPECT_EQ(Pixel(b, 0, 0), Sys(clBtnShadow));

  // A click while held keeps it down.
  WinTesting::Click(ScreenOf(b, 5, 5));
  Application->ProcessMessages();
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(b->Down());

  b->SetAlwaysDown(false);
  Application->ProcessMessages();
  EXPECT_FALSE(b->Down());
  EXPECT_EQ(b->GroupIndex(), 0);
  EXPECT_EQ(b->PaintState(), bpsNormalEh);
  EXPECT_NE(Pixel(b, 0, 0), Sys(clBtnShadow));
}

TEST_F(EditButtonTest, PressReportsTheHalfOfAnUpDownButton) {
  TEditButtonControlEh* upDown = AddControl(ebsUpDownEh);
  TEditButtonControlEh* dropDown = AddControl(ebsDropDownEh, 40);
  std::vector<std::pair<TObject*, bool>> presses;
  int clicks = 0;
  for (TEditButtonControlEh* b : {upDown, dropDown}) {
    b->OnDown = [&](TObject* s, bool top, bool&, bool&) { presses.push_back({s, top}); };
    b->OnClick = [&](TObject*) { ++clicks; };
  }
  ShowAndPaint();
  Input::MouseDown(VK_LBUTTON, ScreenOf(upDown, 8, 15));
  Application->ProcessMessages();
  EXPECT_EQ(upDown->PaintPart(), udpBottomEh);
  Input::MouseUp(VK_LBUTTON, ScreenOf(upDown, 8, 15));
  Application->ProcessMessages();
  WinTesting::Click(ScreenOf(upDown, 8, 3));
  WinTesting::Click(ScreenOf(dropDown, 8, 18));  // any half of other styles counts as the top
  Application->ProcessMessages();
  const std::vector<std::pair<TObject*, bool>> expected = {{upDown, false}, {upDown, true}, {dropDown, true}};
  EXPECT_EQ(presses, expected);
  EXPECT_EQ(clicks, 3);
}

TEST_F(EditButtonTest, AutoRepeatRepeatsThePressWhileHeld) {
  TEditButtonControlEh* b = AddControl(ebsUpDownEh);
  int presses = 0;
  b->OnDown = [&](TObject*, bool top, bool& autoRepeat, bool&) {
    EXPECT_TRUE(top);
    ++presses;
    autoRepeat = presses < 4;  // the handler may stop the repeat
  };
  ShowAndPaint();
  Input::MouseDown(VK_LBUTTON, ScreenOf(b, 8, 3));
  Application->ProcessMessages();
  EXPECT_EQ(presses, 1);
  VirtualClock::Advance(TEditButtonControlEh::kRepeatDelay - 1);
  Application->ProcessMessages();
  EXPECT_EQ(presses, 1);
  VirtualClock::Advance(1);
  Application->ProcessMessages();
  EXPECT_EQ(presses, 2);
  for (int i = 0; i < 5; ++i) {
    VirtualClock::Advance(TEditButtonControlEh::kRepeatInterval);
    Application->ProcessMessages();
  }
  EXPECT_EQ(presses, 4);

  // Released, nothing repeats any more.
  presses = 0;
  Input::MouseUp(VK_LBUTTON, ScreenOf(b, 8, 3));
  Application->ProcessMessages();
  Input::MouseDown(VK_LBUTTON, ScreenOf(b, 8, 3));
  Application->ProcessMessages();
  Input::MouseUp(VK_LBUTTON, ScreenOf(b, 8, 3));
  Application->ProcessMessages();
  VirtualClock::Advance(2000);
  Application->ProcessMessages();
  EXPECT_EQ(presses, 1);
}

TEST_F(EditButtonTest, DoDrawCustomRunsThePressEventWhenAssigned) {
  TEditButtonControlEh* b = AddControl(ebsEllipsisEh);
  bool handled = false;
  b->DoDrawCustom(handled);  // nothing assigned: nothing happens
  EXPECT_FALSE(handled);
  int calls = 0;
  b->OnDown = [&](TObject* s, bool top, bool&, bool& h) {
    EXPECT_EQ(s, b);
    EXPECT_TRUE(top);
    h = true;
    ++calls;
  };
  b->DoDrawCustom(handled);
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(handled);
}

TEST_F(EditButtonTest, ControlDrawsTheImageOfItsState) {
  auto* normal = new TImageList(form);
  normal->SetWidth(5);
  normal->SetHeight(5);
  auto* pressed = new TImageList(form);
  pressed->SetWidth(5);
  pressed->SetHeight(5);
  TBitmap red, blue;
  for (auto [bmp, colour] : {std::pair{&red, clRed}, std::pair{&blue, clBlue}}) {
    bmp->SetSize(5, 5);
    bmp->Canvas()->Brush()->SetColor(colour);
    bmp->Canvas()->FillRect(TRect{0, 0, 5, 5});
  }
  normal->Add(&red, nullptr);
  pressed->Add(&blue, nullptr);
  TEditButtonEh item(static_cast<TWinControl*>(form));
  item.Images()->SetNormalImages(normal);
  item.Images()->SetPressedImages(pressed);

  TEditButtonControlEh* b = AddControl(ebsGlyphEh);
  b->SetButtonImages(item.Images());
  ShowAndPaint();
  EXPECT_EQ(Pixel(b, 8, 10), Sys(clRed));
  b->SetAlwaysDown(true);
  Application->ProcessMessages();
  EXPECT_EQ(Pixel(b, 9, 11), Sys(clBlue));  // shifted with the pressed face
  b->SetButtonImages(nullptr);
  Application->ProcessMessages();
  EXPECT_EQ(Pixel(b, 9, 11), Sys(clBtnFace));
}

}  // namespace
