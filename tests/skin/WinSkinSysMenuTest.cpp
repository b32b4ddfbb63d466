// Skinned menu items, the skinned system menu with the caption's keyboard commands, and the MDI
// client procedure, on a form whose fields are set directly (no attach) over real windows.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <tuple>

#include "platform/rtl/Clock.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/MenuApi.h"
#include "platform/win/WinTesting.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinMenu.h"
#include "tests/support/ProbeSkin.h"

namespace sys_menu_test {
namespace {

constexpr int kMargin = 6;  // the probe MenuItem's nine-part margins

class WinSkinSysMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    EnsureSkinManage();
    probe_.Add({"MenuItem", 5, false, 24, 24, kMargin, kMargin, kMargin, kMargin, true});
    probe_.Add({"MenuBackground", 1, false, 12, 12, 3, 3, 3, 3});
    const std::string bytes = probe_.SkinFile();
    probeData_->SkinStream()->WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    lightData_->SkinStream()->LoadFromFile(OUR_SKINS_DIR "/light.skn");
    for (TSkinData* data : {probeData_.get(), lightData_.get()}) {
      ASSERT_TRUE(data->LoadSkin()) << data->LoadError();
      data->Loaded();
      data->SetSkinControls({xcMainMenu, xcMenuItem, xcPopupMenu, xcSystemMenu});
    }
    window_ = CreateWindowEx(0, "STATIC", "w", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 300, 200, nullptr,
                             nullptr, MainInstance(), nullptr);
    form_->hWnd = window_;
    form_->SkinData = probeData_.get();
    form_->SystemMenu = GetSystemMenu(window_, FALSE);
    form_->BorderIcons = kSkinIconSystemMenu | kSkinIconMaximize | kSkinIconMinimize;
  }
  void TearDown() override {
    form_.reset();
    DestroySkinManage();
    ResetVcl();
  }
  // Runs Open (a modal menu) with Look scheduled inside it, given the menu window whose top-left
  // corner is At (nullptr when none), then closes the menu with Escape.
  static void WhileMenuOpen(POINT At, const std::function<void()>& Open,
                            const std::function<void(HWND)>& Look) {
    WinTesting::Schedule([&] {
      HWND menu = WindowFromPoint(POINT{At.X + 4, At.Y + 4});
      Look(GetClassName(menu) == "#32768" ? menu : nullptr);
      WinTesting::KeyPress(VK_ESCAPE);
    });
    Open();
  }
  static int CountColour(TBitmap& Picture, const TRect& R, COLORREF Colour) {
    int count = 0;
    for (int y = R.Top; y < R.Bottom; ++y)
      for (int x = R.Left; x < R.Right; ++x) count += GetPixel(Picture.Canvas()->Handle(), x, y) == Colour;
    return count;
  }
  // An item painted into a new W x H picture: a Win32 item of the form's menus through its
  // WM_DRAWITEM (Item null), else through the item's painter.
  std::unique_ptr<TBitmap> Paint(TMenuItem* Item, UINT Id, UINT State, int W = 200, int H = 30) {
    auto picture = std::make_unique<TBitmap>();
    picture->SetSize(W, H);
    DRAWITEMSTRUCT dis{.CtlType = ODT_MENU,
                       .itemID = Id,
                       .itemState = State,
                       .hDC = picture->Canvas()->Handle(),
                       .rcItem = RECT{0, 0, W, H}};
    if (Item)
      SkinMenuItemDraw(form_->SkinData, Item, picture->Canvas(), dis.rcItem, State & ODS_SELECTED);
    else
      EXPECT_TRUE(form_->DrawMenuItem(dis));
    return picture;
  }
  // Menu with Items appended with Flags.
  static HMENU Fill(HMENU Menu, UINT Flags, std::initializer_list<std::pair<UINT_PTR, const char*>> Items) {
    for (const auto& [id, text] : Items) AppendMenu(Menu, Flags, id, text);
    return Menu;
  }
  static bool Posted(HWND Window, UINT Msg, WPARAM WParam) {
    MSG m;
    return PeekMessage(&m, Window, Msg, Msg, PM_REMOVE) && m.wParam == WParam;
  }

  TProbeSkin probe_;
  std::unique_ptr<TSkinData> probeData_ = std::make_unique<TSkinData>(nullptr);
  std::unique_ptr<TSkinData> lightData_ = std::make_unique<TSkinData>(nullptr);
  HWND window_ = nullptr;
  std::unique_ptr<TWinSkinForm> form_ = std::make_unique<TWinSkinForm>(nullptr);
};

TEST_F(WinSkinSysMenuTest, ItemPaintingAndMeasuring) {
  TBitmap mark;
  mark.SetHandle(LoadBitmap(nullptr, OBM_CHECK));
  const int markPixels = CountColour(mark, TRect{0, 0, mark.Width(), mark.Height()}, 0);
  const TDataSkinObject& element = *probeData_->Elements()->MenuItem;
  HMENU drop = Fill(CreatePopupMenu(), MF_STRING,
                    {{501, "&Open\tCtrl+O"}, {502, ""}, {503, "Item"}, {504, "\tCtrl+O"}});
  HMENU bar = form_->Menu = Fill(CreateMenu(), MF_POPUP, {{UINT_PTR(drop), "&File"}});
  // Name, Win32 item, state, the frame painted, the check mark's pixels.
  const std::tuple<const char*, bool, UINT, int, int> cases[] = {
      {"normal", false, 0, 1, 0},
      {"selected", false, ODS_SELECTED, 4, 0},
      {"checked", false, ODS_CHECKED, 1, markPixels},
      {"win32 checked", true, ODS_CHECKED, 1, markPixels},
      {"win32 selected", true, ODS_SELECTED, 4, 0}};
  TPopupMenu popup(nullptr);
  for (const auto& [id, win32, state, frame, checkPixels] : cases) {
    SCOPED_TRACE(id);
    auto* item = win32 ? nullptr : new TMenuItem(nullptr);
    if (item) {
      popup.Items()->Add(item);
      item->SetCaption("Item");
      item->SetChecked(state & ODS_CHECKED);
    }
    auto picture = Paint(item, 503, state);
    std::vector<TProbePoint> points;
    AddElementProbes(points, "MenuItem", element, GeometryOf(element, false, false), frame,
                     TRect{0, 0, 200, 30}, 0, {TRect{0, 0, 80, 30}});
    EXPECT_EQ(points.size(), 6u);  // the parts right of the check column and the caption
    EXPECT_TRUE(CheckProbes(std::string("menuitem-") + id, *picture, points));
    EXPECT_EQ(CountColour(*picture, TRect{0, 0, 16, 30}, GetSysColor(COLOR_BTNTEXT)), checkPixels);
  }
  // The short cut ends 10 pixels before the right edge (starts 10 after the left one right to left).
  const COLORREF middle = ColorToRGB(probe_.RegionColour(0, 1, TNinePart::Middle));
  for (bool rightToLeft : {false, true}) {
    form_->RightToLeft = rightToLeft;
    auto picture = Paint(nullptr, 504, 0);
    EXPECT_EQ(CountColour(*picture, TRect{10, 8, 60, 22}, middle) < 14 * 50, rightToLeft);
    EXPECT_EQ(CountColour(*picture, TRect{140, 8, 190, 22}, middle) < 14 * 50, !rightToLeft);
  }
  form_->RightToLeft = false;
  // A separator: the element's strip with the etched line four pixels down.
  auto* line = new TMenuItem(nullptr);
  popup.Items()->Add(line);
  line->SetCaption("-");
  auto separator = Paint(line, 0, 0, 100, 20);
  HDC dc = separator->Canvas()->Handle();
  EXPECT_EQ(GetPixel(dc, 50, 4), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(GetPixel(dc, 50, 5), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(GetPixel(dc, 2, 10), ColorToRGB(probe_.RegionColour(0, 1, TNinePart::Left)));
  // Disabled text takes the skin's ButtonShadow, enabled text its MenuText.
  const TSkinElements& light = *lightData_->Elements();
  form_->SkinData = lightData_.get();
  for (bool enabled : {true, false}) {
    SCOPED_TRACE(enabled);
    TMenuItem item(nullptr);
    item.SetCaption("WWWW");
    item.SetEnabled(enabled);
    auto picture = Paint(&item, 0, 0, 120, 24);
    EXPECT_EQ(CountColour(*picture, TRect{18, 0, 120, 24}, ColorToRGB(light.ButtonShadow)) > 0, !enabled);
    EXPECT_EQ(CountColour(*picture, TRect{18, 0, 120, 24}, ColorToRGB(light.MenuTextColour)) > 0, enabled);
  }
  form_->SkinData = probeData_.get();

  // Measuring: Win32 items of the window menu (low ids too), and the popup measurer's growth.
  TCanvas* canvas = separator->Canvas();
  canvas->Font()->Assign(Screen->MenuFont());
  const int open = canvas->TextWidth("Open"), ctrlO = canvas->TextWidth("Ctrl+O");
  auto measure = [&](UINT Id) {
    MEASUREITEMSTRUCT mis{.CtlType = ODT_MENU, .itemID = Id};
    EXPECT_TRUE(form_->MeasureMenuItem(mis)) << Id;
    return std::pair<int, int>(mis.itemWidth, mis.itemHeight);
  };
  EXPECT_EQ(measure(501), std::pair(open + 26 + ctrlO + 20 + kMargin, canvas->TextHeight("W") + 4));
  EXPECT_EQ(measure(502), std::pair(26 + kMargin, 8));
  DestroyMenu(bar);
  TImageList images(16, 16);
  for (bool withImages : {false, true}) {
    popup.SetImages(withImages ? &images : nullptr);
    int w = 100, h = 20;
    SkinPopupMenuItemMeasure(probeData_.get(), popup.Items()->Items(0), canvas, w, h);
    EXPECT_EQ(w, 100 + kMargin + (withImages ? 12 : 35));
  }
  popup.SetImages(nullptr);
}

TEST_F(WinSkinSysMenuTest, OwnerDrawMarking) {
  auto* vcl = new TForm(Application, 0);
  TMenuItem* own = NewItem("&Own", 0, false, true, nullptr, 0, "Own");
  own->OnDrawItem = [](TObject*, TCanvas*, TRect, bool) {};
  const TMenuDrawItemEvent ownDraw = own->OnDrawItem;
  TMainMenu* main =
      NewMenu(vcl, "Main",
              {NewSubMenu("&File", 0, "File", {NewItem("&Open", 0, false, true, nullptr, 0, "Open"), own})});
  TPopupMenu* popup =
      NewPopupMenu(vcl, "Popup", paLeft, true, {NewItem("&Cut", 0, false, true, nullptr, 0, "Cut")});
  TPopupMenu* left =
      NewPopupMenu(vcl, "Left", paLeft, true, {NewItem("&Copy", 0, false, true, nullptr, 0, "Copy")});
  left->SetTag(probeData_->DisableTag());
  form_->FormControl = vcl;
  TMenuItem *file = main->Items()->Items(0), *open = file->Items(0);
  for (bool on : {true, false}) {
    SCOPED_TRACE(on);
    MarkMainMenusOwnerDraw(*form_, on);
    MarkPopupMenusOwnerDraw(*form_, on);
    // The bar's own item, an item with its own painter and a disabled popup stay as they are.
    EXPECT_EQ(std::tuple(main->OwnerDraw(), bool(file->OnDrawItem), bool(open->OnDrawItem),
                         bool(open->OnMeasureItem), own->OnDrawItem == ownDraw),
              std::tuple(on, false, on, on, true));
    EXPECT_EQ(std::tuple(popup->OwnerDraw(), bool(popup->Items()->Items(0)->OnDrawItem), left->OwnerDraw(),
                         bool(left->Items()->Items(0)->OnDrawItem)),
              std::tuple(on, on, false, false));
  }
  // Win32 menus: every item, in every submenu, keeping its text.
  HMENU sub = Fill(CreatePopupMenu(), MF_STRING, {{8001, "&Deep"}});
  HMENU root = Fill(CreatePopupMenu(), MF_POPUP, {{UINT_PTR(sub), "&Sub"}});
  auto ownerDrawn = [](HMENU Menu) {
    MENUITEMINFO info;
    info.fMask = MIIM_FTYPE;
    return GetMenuItemInfo(Menu, 0, TRUE, &info) && (info.fType & MFT_OWNERDRAW) != 0;
  };
  const TOwnerDrawMarks marks = MakeSubmenuOwnerDraw(root);
  EXPECT_EQ(marks.size(), 2u);
  EXPECT_EQ(std::pair(ownerDrawn(root), ownerDrawn(sub)), std::pair(true, true));
  EXPECT_EQ(GetMenuString(sub, 8001, MF_BYCOMMAND), "&Deep");
  // After the drop-down the items draw themselves again.
  UnmarkSubmenuOwnerDraw(marks);
  EXPECT_EQ(std::pair(ownerDrawn(root), ownerDrawn(sub)), std::pair(false, false));
  DestroyMenu(root);
}

TEST_F(WinSkinSysMenuTest, SystemPopupAndDoubleClickRule) {
  using S = TSkinWindowState;
  constexpr uint8_t kBoth = kSkinIconMaximize | kSkinIconMinimize;
  // Enabled entries: restore, move, size, minimise, maximise, the separator, close.
  const std::tuple<S, uint8_t, const char*> cases[] = {{S::Normal, kBoth, "0111111"},
                                                       {S::Maximized, kBoth, "1001011"},
                                                       {S::Minimized, kSkinIconMaximize, "1110111"},
                                                       {S::Normal, 0, "0110011"}};
  const int kTags[] = {SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, 0, SC_CLOSE};
  const int kImages[] = {0, -1, -1, 2, 1, -1, 3};
  for (const auto& [state, icons, expected] : cases) {
    SCOPED_TRACE(expected);
    form_->WindowState = state;
    form_->BorderIcons = icons;
    form_->BuildSystemPopup();
    ASSERT_EQ(form_->SystemPopup->Items()->Count(), 7);
    std::string enabled;
    for (int i = 0; i < 7; ++i) {
      TMenuItem* it = form_->SystemPopup->Items()->Items(i);
      enabled += it->Enabled() ? '1' : '0';
      EXPECT_EQ(std::pair(it->Tag(), it->ImageIndex()), std::pair(kTags[i], kImages[i])) << i;
    }
    EXPECT_EQ(enabled, expected);
  }
  const TPopupMenu& popup = *form_->SystemPopup;
  EXPECT_EQ(std::tuple(popup.Tag(), popup.Images(), popup.Items()->Items(5)->Caption(),
                       ShortCutToText(popup.Items()->Items(6)->ShortCut())),
            std::tuple(kSkinSystemPopupTag, probeData_->MenuGlyphs(), "-", "Alt+F4"));
  // A grayed entry of the real menu stays disabled; a click posts the entry's command.
  EnableMenuItem(form_->SystemMenu, SC_CLOSE, MF_GRAYED);
  form_->BuildSystemPopup();
  EXPECT_FALSE(form_->SystemPopup->Items()->Items(6)->Enabled());
  form_->SystemPopup->Items()->Items(1)->Click();
  EXPECT_TRUE(Posted(window_, WM_SYSCOMMAND, SC_MOVE));
  EXPECT_TRUE(form_->CanClose());

  // The first call opens the skinned popup: the first item's transparent corner, inside the 3-pixel
  // frame, shows the frame's middle. A second call within the double-click time closes the window
  // only while an object is hot.
  VirtualClock::Advance(form_->DoubleClickTime + 1);
  SkinManage()->RemoveSkinData(lightData_.get());  // the popup skinner takes the probe skin
  SkinManage()->Active = true;
  bool opened = false;
  COLORREF corner = 0;
  auto open = [&] { form_->ShowSystemMenu(POINT{100, 100}); };
  WhileMenuOpen(POINT{100, 100}, open, [&](HWND Menu) {
    opened = Menu && SkinManage()->MenuKind == 2;
    HDC dc = GetWindowDC(Menu);
    corner = GetPixel(dc, 3, 3);
    ReleaseDC(Menu, dc);
  });
  EXPECT_TRUE(opened);
  EXPECT_EQ(corner, ColorToRGB(probe_.RegionColour(1, 1, TNinePart::Middle)));
  SkinManage()->Active = false;
  form_->ShowSystemMenu(POINT{100, 100});
  EXPECT_FALSE(Posted(window_, WM_CLOSE, 0));
  TNCObject hot(form_.get());
  form_->HotObject = &hot;
  form_->ShowSystemMenu(POINT{100, 100});
  EXPECT_TRUE(Posted(window_, WM_CLOSE, 0));
  form_->HotObject = nullptr;
  VirtualClock::Advance(form_->DoubleClickTime + 1);
  opened = false;
  WhileMenuOpen(POINT{100, 100}, open, [&](HWND Menu) { opened = Menu != nullptr; });
  EXPECT_TRUE(opened);
  // Without a MenuItem element an item is the skin's Menu colour, the frame's middle under it or not.
  probeData_->Elements()->MenuItem->Bitmap->SetSize(0, 0);
  const COLORREF menu = ColorToRGB(probeData_->Elements()->MenuColour);
  ASSERT_NE(menu, ColorToRGB(probe_.RegionColour(1, 1, TNinePart::Middle)));
  VirtualClock::Advance(form_->DoubleClickTime + 1);
  SkinManage()->Active = true;
  WhileMenuOpen(POINT{100, 100}, open, [&](HWND Menu) {
    RECT r{};
    GetWindowRect(Menu, &r);
    HDC dc = GetWindowDC(Menu);
    corner = GetPixel(dc, r.Width() - 6, 5);  // right of the first item's text
    ReleaseDC(Menu, dc);
  });
  SkinManage()->Active = false;
  EXPECT_EQ(corner, menu);
}

// Right after the clock starts, the first request opens the menu (on the icon button too): no
// earlier request makes it the second click of a double click. A second one in time closes.
TEST_F(WinSkinSysMenuTest, FirstRequestOpensTheMenuRightAfterTheClockStarts) {
  VirtualClock::Set(ClockNow(), 1);
  TNCObject icon(form_.get());
  form_->HotObject = &icon;
  bool opened = false;
  WhileMenuOpen(
      POINT{100, 100},
      [&] {
        form_->ShowSystemMenu(POINT{100, 100});
      },
      [&](HWND Menu) { opened = Menu != nullptr; });
  EXPECT_TRUE(opened);
  EXPECT_FALSE(Posted(window_, WM_CLOSE, 0));
  form_->ShowSystemMenu(POINT{100, 100});
  EXPECT_TRUE(Posted(window_, WM_CLOSE, 0));
  form_->HotObject = nullptr;
}

TEST_F(WinSkinSysMenuTest, SystemCommands) {
  LRESULT result = -1;
  // Past the double-click time of the virtual clock's start, whichever test ran before.
  VirtualClock::Advance(form_->DoubleClickTime + 1);
  // Alt+Space opens the system menu at the client origin, and the default does not open another.
  POINT origin{0, 0};
  ClientToScreen(window_, &origin);
  bool opened = false;
  WhileMenuOpen(
      origin, [&] { EXPECT_TRUE(form_->SysCommand(SC_KEYMENU, ' ', result)); },
      [&](HWND Menu) { opened = Menu != nullptr; });
  EXPECT_TRUE(opened);
  EXPECT_FALSE(form_->SysCommand(SC_KEYMENU, '-', result));  // an MDI child's system menu
  EXPECT_TRUE(form_->SysCommand(SC_KEYMENU, 0, result));
  EXPECT_EQ(result, 1);
  // With a menu bar: Alt alone opens the first drop-down, Alt+letter the one with that letter.
  HMENU file = Fill(CreatePopupMenu(), MF_STRING, {{6001, "&New"}});
  HMENU edit = Fill(CreatePopupMenu(), MF_STRING, {{6002, "&Copy"}});
  HMENU bar = Fill(CreateMenu(), MF_POPUP, {{UINT_PTR(file), "&File"}, {UINT_PTR(edit), "&Edit"}});
  SetMenu(window_, bar);
  form_->MenuBar = std::make_unique<TWinSkinMenu>(form_.get());
  form_->MenuBar->BuildButtons();
  for (const auto& [key, expected] : {std::pair<LPARAM, HMENU>{0, file}, {'e', edit}, {'z', nullptr}}) {
    SCOPED_TRACE(key);
    HMENU opened = nullptr;
    if (expected)
      WhileMenuOpen(
          POINT{0, 0}, [&] { EXPECT_TRUE(form_->SysCommand(SC_KEYMENU, key, result)); },
          [&](HWND) { opened = form_->MenuTracking ? form_->TrackedSubmenu : nullptr; });
    else
      EXPECT_FALSE(form_->SysCommand(SC_KEYMENU, key, result));
    EXPECT_EQ(opened, expected);
  }
  form_->MenuBar.reset();
  DestroyMenu(bar);
  // The state commands set the window state and go on to the default.
  using S = TSkinWindowState;
  for (const auto& [command, state] :
       {std::pair{SC_MAXIMIZE, S::Maximized}, std::pair{SC_MINIMIZE, S::Minimized},
        std::pair{SC_RESTORE, S::Normal}}) {
    EXPECT_FALSE(form_->SysCommand(command, 0, result));
    EXPECT_EQ(form_->WindowState, state);
  }
}

TEST_F(WinSkinSysMenuTest, MDIClientBranches) {
  WNDCLASSEX wc;
  wc.lpfnWndProc = &DefMDIChildProc;
  wc.hInstance = MainInstance();
  wc.lpszClassName = "SysMenuMDIChild";
  ASSERT_NE(RegisterClassEx(&wc), 0);
  CLIENTCREATESTRUCT ccs;
  HWND client = CreateWindowEx(0, WC_MDICLIENT, "", WS_CHILD | WS_VISIBLE, 0, 0, 280, 150, window_, nullptr,
                               MainInstance(), &ccs);
  HMENU own = Fill(CreateMenu(), MF_STRING, {{7000, "&File"}, {7000, "&Window"}});
  HMENU merged = Fill(CreateMenu(), MF_STRING, {{7001, "&File"}, {7001, "&Edit"}, {7001, "&Window"}});
  SetMenu(window_, own);
  form_->Menu = own;
  form_->FormKind = TSkinFormKind::MDIFrame;
  form_->FrameSkinning = true;
  form_->SavedMenuUpdate = true;
  form_->MenuBar = std::make_unique<TWinSkinMenu>(form_.get());
  form_->MenuBar->BuildButtons();
  form_->HookMDIClient();
  EXPECT_EQ(form_->MDIClient, client);
  const LONG_PTR hooked = form_->MDIClientInstance->Token();
  EXPECT_EQ(GetWindowLong(client, GWL_WNDPROC), hooked);
  // Without xoMDIScrollbar the client loses its scroll bars when its frame is computed.
  SetWindowLong(client, GWL_STYLE, GetWindowLong(client, GWL_STYLE) | WS_VSCROLL | WS_HSCROLL);
  SetWindowPos(client, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  EXPECT_EQ(GetWindowLong(client, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL), 0);

  MDICREATESTRUCT mcs{.szClass = "SysMenuMDIChild", .szTitle = "child"};
  HWND child = reinterpret_cast<HWND>(SendMessage(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
  ASSERT_NE(child, nullptr);
  EXPECT_FALSE(probeData_->MenuUpdate());
  SendMessage(client, WM_MDISETMENU, reinterpret_cast<WPARAM>(merged), 0);
  EXPECT_EQ(std::tuple(form_->MenuBar->Buttons.size(), GetMenu(window_)), std::tuple(3u, HMENU(nullptr)));
  SendMessage(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0);
  bool maximized = false;
  EXPECT_EQ(form_->ActiveMDIChild(&maximized), child);
  EXPECT_TRUE(maximized);
  for (UINT arrange : {WM_MDITILE, WM_MDICASCADE}) {
    SkinManage()->MDIMaximized = true;
    SendMessage(client, arrange, 0, 0);
    EXPECT_FALSE(SkinManage()->MDIMaximized) << arrange;
  }
  form_->SendToActiveMDIChild(SC_MINIMIZE);
  EXPECT_TRUE(IsIconic(child));
  // The last child going gives the bar the frame's own menu back.
  SendMessage(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(child), 0);
  EXPECT_EQ(std::tuple(form_->ActiveMDIChild(), probeData_->MenuUpdate(), form_->MenuBar->Buttons.size(),
                       form_->MenuBar->WindowMenu, GetMenu(window_)),
            std::tuple(HWND(nullptr), true, 2u, own, HMENU(nullptr)));
  form_->UnhookMDIClient();
  EXPECT_NE(GetWindowLong(client, GWL_WNDPROC), hooked);
  EXPECT_EQ(form_->MDIClientInstance, nullptr);
  form_->MenuBar.reset();
  DestroyMenu(own);
  DestroyMenu(merged);
}

}  // namespace
}  // namespace sys_menu_test
