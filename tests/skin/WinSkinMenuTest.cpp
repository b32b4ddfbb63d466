// The skinned menu bar: buttons from the window menu, the bar painted from the skin's menuBar
// element, and moving along the bar by keys and mouse while a drop-down is open.
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "platform/gdi/Colors.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Input.h"
#include "platform/win/MenuApi.h"
#include "platform/win/WinTesting.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinManage.h"
#include "skin/WinSkinMenu.h"
#include "tests/support/ProbeSkin.h"

namespace {

constexpr int kBarProbeHeight = 19;  // SM_CYMENU
constexpr int kBarProbeMargin = 5;   // the probe menuBar's left and right caps

class WinSkinMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    TProbeSkin probe;
    probe.Add({"menuBar", 2, true, 30, kBarProbeHeight, kBarProbeMargin, 0, kBarProbeMargin, 0, false, false,
               true});
    ASSERT_TRUE((data_ = LoadSkinData(probe.SkinFile())) != nullptr);
    element_ = data_->Elements()->MenuBar.get();
    element_->LeftWidth = element_->RightWidth = kBarProbeMargin;  // keys the probe skin does not write
    form_ = new TForm(Application, 0);
    menu_ = new TMainMenu(form_);
    menu_->Items()->Add(
        {Item("&File", {Item("-"), Item("&Open"), Item("-"), Item("-"), Item("E&xit"), Item("-")}),
         Item("&Edit", {Item("&Sub", {Item("&Deep")}), Item("&Undo")}), Item("&Help"),
         Item("&Tools", {Item("&Options")}), Item("&Window", {Item("&Cascade")})});
    menu_->Items()->Items(3)->SetEnabled(false);
    form_->SetMenu(menu_);
    form_->SetBounds(100, 100, 500, 300);
    form_->Show();
    // Skinned by the manager, as every form is.
    InitWinSkinFormUnit();
    TSkinManage* manage = EnsureSkinManage();
    manage->Active = true;
    manage->StartState = kSkinStartRunning;
    data_->SetSkinControls({xcMainMenu});
    manage->AddSkinData(data_.get());
    ASSERT_TRUE(manage->SkinWindow(form_->Handle()));
    Application->ProcessMessages();
    skin_ = dynamic_cast<TWinSkinForm*>(manage->FindForm(form_->Handle()));
    ASSERT_TRUE(skin_ && skin_->MenuBar);
    bar_ = skin_->MenuBar.get();
  }
  void TearDown() override {
    DestroySkinManage();
    FinalizeWinSkinFormUnit();
    ResetVcl();
  }
  TMenuItem* Item(const char* Caption, std::initializer_list<TMenuItem*> Children = {}) {
    auto* item = new TMenuItem(form_);
    item->SetCaption(Caption);
    for (TMenuItem* child : Children) item->Add(child);
    return item;
  }
  // Opens button Open; once the first message has selected the first item, feeds the mouse move
  // and Keys, then Look and Escapes. Answers the button the posted click opens (-1 for none).
  int Switch(int Open, std::vector<int> Keys, const POINT* Mouse = nullptr, std::function<void()> Look = {}) {
    WinTesting::Schedule([this] { PostMessage(skin_->hWnd, WM_NULL, 0, 0); });
    WinTesting::Schedule([=] {
      if (Mouse) Input::MouseMove(*Mouse);
      for (int key : Keys) WinTesting::KeyPress(key);
    });
    WinTesting::Schedule([=] {
      if (Look) Look();
      for (int i = 0; i < 3; ++i) WinTesting::KeyPress(VK_ESCAPE);
    });
    EXPECT_TRUE(bar_->OpenDropDown(bar_->Buttons[size_t(Open)].get()));
    int target = -1;
    const POINT origin = Screen(Point(0, 0));
    do {  // the steps a closed loop left, and the queue
      for (MSG msg; PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE);)
        if (msg.message != WM_NCLBUTTONDOWN)
          DispatchMessage(&msg);
        else if (const TMenuBtn* b = bar_->ButtonAt(
                     Point(short(LOWORD(msg.lParam)) - origin.X, short(HIWORD(msg.lParam)) - origin.Y)))
          target = b->Index;
    } while (WinTesting::ScheduledSteps() > 0 && WaitMessage());
    return target;
  }
  POINT Screen(TPoint WindowPoint) const {
    RECT r{};
    GetWindowRect(form_->Handle(), &r);
    return POINT{r.Left + WindowPoint.X, r.Top + WindowPoint.Y};
  }

  std::unique_ptr<TSkinData> data_;
  TDataSkinObject* element_ = nullptr;
  TForm* form_ = nullptr;
  TMainMenu* menu_ = nullptr;
  TWinSkinForm* skin_ = nullptr;
  TWinSkinMenu* bar_ = nullptr;
  TBitmap picture_;
  const TRect barRect_ = Rect(10, 12, 330, 12 + kBarProbeHeight);
};

TEST_F(WinSkinMenuTest, ButtonsFromTheWindowMenu) {
  ASSERT_EQ(bar_->Buttons.size(), 5u);
  EXPECT_EQ(GetMenu(skin_->hWnd), nullptr);
  for (int i = 0; i < 5; ++i) {
    const TMenuBtn& b = *bar_->Buttons[size_t(i)];
    TMenuItem* item = menu_->Items()->Items(i);
    EXPECT_EQ(std::tuple(b.Caption, b.Command, b.Enabled, b.Submenu),
              std::tuple(item->Caption(), UINT(item->Command()), i != 3, i == 2 ? nullptr : item->Handle()));
  }
  // Without a TMainMenu a bare window gets the Win32 items and a form keeps its window menu.
  HMENU native = CreateMenu(), sub = CreatePopupMenu();
  AppendMenu(native, MF_POPUP, UINT_PTR(sub), "&One");
  AppendMenu(native, MF_STRING | MF_GRAYED, 42, "&Two");
  for (bool vcl : {false, true}) {
    auto* other = new TForm(Application, 0);
    TWinSkinForm form(nullptr);
    form.hWnd = other->Handle();
    form.FormControl = vcl ? other : nullptr;
    SetMenu(form.hWnd, native);
    TWinSkinMenu bar(&form);
    bar.BuildButtons();
    std::string built;
    for (const auto& b : bar.Buttons)
      built += b->Caption + (b->Submenu == sub ? " sub" : "") +
               (b->Enabled ? "" : " grey " + std::to_string(b->Command));
    EXPECT_EQ(built, vcl ? "" : "&One sub&Two grey 42");
    EXPECT_EQ(GetMenu(form.hWnd), vcl ? native : nullptr);
    SetMenu(form.hWnd, nullptr);
  }
  DestroyMenu(native);
}

TEST_F(WinSkinMenuTest, BarPaintAndCaptionPlacement) {
  const TSkinElements& skin = *data_->Elements();
  picture_.SetSize(340, 40);
  for (const auto& [tile, active, rtl] : {std::tuple(1, true, false), {0, false, false}, {1, true, true}}) {
    SCOPED_TRACE(testing::Message() << "TileMenu " << tile << " active " << active << " rtl " << rtl);
    element_->Tile = tile;
    skin_->Active = active;
    skin_->RightToLeft = rtl;
    bar_->Paint(picture_.Canvas()->Handle(), barRect_);
    std::vector<TRect> texts;
    for (const auto& b : bar_->Buttons) texts.push_back(b->BoundsRect);
    std::vector<TProbePoint> points;
    int added = 0;  // left cap, middle, right cap
    AddElementProbes(points, "menuBar", *element_, GeometryOf(*element_, true, true), active ? 1 : 2,
                     barRect_, 0, texts, &added);
    EXPECT_EQ(added, 3);
    EXPECT_TRUE(CheckProbes("menubar-" + std::to_string(tile) + std::to_string(rtl), picture_, points));
    // From the first button's place each follows the last; its caption is centred in it.
    EXPECT_EQ(rtl ? barRect_.Right - texts[0].Right : texts[0].Left - barRect_.Left,
              kBarProbeMargin + (rtl ? 8 : 4));
    for (size_t i = 0; i < texts.size(); ++i) {
      const TRect r = texts[i];
      EXPECT_EQ(std::tuple(r.Top, r.Bottom,
                           i && (rtl ? r.Right != texts[i - 1].Left : r.Left != texts[i - 1].Right)),
                std::tuple(barRect_.Top, barRect_.Bottom - 1, false));
      const TColor ink = bar_->Buttons[i]->Enabled ? skin.MenuBarTextColour : skin.ButtonShadow;
      int left = r.Right, right = r.Left;
      for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
          if (picture_.Canvas()->Pixels(x, y) == ink)
            left = std::min(left, x), right = std::max(right, x + 1);
      EXPECT_LE(std::abs((left - r.Left) - (r.Right - right)), 1) << i;
    }
  }
}

// Moving along the bar: the click the hook posts names the next drop-down to open.
TEST_F(WinSkinMenuTest, SwitchingByKeysAndMouse) {
  TValueRestorer<bool> middleEast(SysLocale().MiddleEast);
  const POINT overHelp =
      Screen(Point(bar_->Buttons[2]->BoundsRect.Left + 3, bar_->Buttons[2]->BoundsRect.Top + 3));
  // Name, open button, keys, mouse, right to left, Edit hidden and Help without caption, target.
  const std::tuple<const char*, int, std::vector<int>, const POINT*, bool, bool, int> cases[] = {
      {"right on the last opens the first", 4, {VK_RIGHT}, nullptr, false, false, 0},
      {"left on the first opens the last", 0, {VK_LEFT}, nullptr, false, false, 4},
      {"right on a submenu item opens the submenu", 1, {VK_RIGHT}, nullptr, false, false, -1},
      {"left in the submenu is the menu's", 1, {VK_RIGHT, VK_LEFT}, nullptr, false, false, -1},
      {"right to left swaps the arrows", 0, {VK_LEFT}, nullptr, true, false, 1},
      {"the mouse over another button", 0, {}, &overHelp, false, false, 2},
      {"hidden and empty buttons are skipped", 0, {VK_RIGHT}, nullptr, false, true, 3}};
  for (const auto& [name, open, keys, mouse, rtl, hide, target] : cases) {
    SCOPED_TRACE(name);
    SysLocale().MiddleEast = rtl;
    form_->SetBiDiMode(rtl ? bdRightToLeft : bdLeftToRight);
    bar_->Buttons[1]->Visible = !hide;
    bar_->Buttons[2]->Caption = hide ? "" : "&Help";
    EXPECT_EQ(Switch(open, keys, mouse), target);
    EXPECT_EQ(std::tuple(skin_->MenuTracking, MenuTrackState().Hook, MenuTrackState().OpenIndex),
              std::tuple(false, HHOOK(nullptr), -1));
  }
  std::tuple<TMenuItem*, int, bool> seen;  // the submenu's first item selected, the manager told
  Switch(1, {VK_RIGHT}, nullptr, [&] {
    seen = {MenuTrackState().Selected, SkinManage()->MenuKind, SkinManage()->MenuBarMode};
  });
  EXPECT_EQ(seen, std::tuple(menu_->Items()->Items(1)->Items(0)->Items(0), 1, true));
  std::string separators;  // File's, tidied when it opened
  for (int i = 0; i < menu_->Items()->Items(0)->Count(); ++i)
    separators += menu_->Items()->Items(0)->Items(i)->Visible() ? "v" : "h";
  EXPECT_EQ(separators, "hvvhvh");
  for (const auto& b : bar_->Buttons) b->Visible = false;
  EXPECT_EQ(bar_->NextButton(0, true), nullptr);
}

// Through the skinned form's window procedure: a click opens a drop-down and Right the next one;
// an item without subitems posts its command, a disabled one shows nothing.
TEST_F(WinSkinMenuTest, ClicksThroughTheSkinnedForm) {
  const auto click = [&](int Button) {
    const TRect& r = bar_->Buttons[size_t(Button)]->BoundsRect;
    WinTesting::Click(Screen(Point(r.Left + 3, r.Top + 3)));
    Application->ProcessMessages();
  };
  std::vector<HMENU> opened;
  for (int step = 0; step < 2; ++step)
    WinTesting::Schedule([&, step] {
      opened.push_back(skin_->TrackedSubmenu);
      WinTesting::KeyPress(step ? VK_ESCAPE : VK_RIGHT);
    });
  click(0);
  EXPECT_EQ(opened, (std::vector<HMENU>{bar_->Buttons[0]->Submenu, bar_->Buttons[1]->Submenu}));
  int helpClicks = 0;
  menu_->Items()->Items(2)->OnClick = [&](TObject*) { ++helpClicks; };
  click(2);
  EXPECT_EQ(helpClicks, 1);
  WinTesting::Schedule([] { WinTesting::KeyPress(VK_ESCAPE); });
  click(3);  // pressed and framed, but not opened
  const TMenuBtn& tools = *bar_->Buttons[3];
  HDC dc = GetWindowDC(skin_->hWnd);
  const COLORREF corner = GetPixel(dc, tools.BoundsRect.Left, tools.BoundsRect.Top);
  ReleaseDC(skin_->hWnd, dc);
  EXPECT_EQ(std::tuple(tools.State, corner, WinTesting::ScheduledSteps(), skin_->TrackedSubmenu),
            std::tuple(kNCPressed, ColorToRGB(data_->Elements()->ButtonHilight), 1u, tools.Submenu));
}

}  // namespace
