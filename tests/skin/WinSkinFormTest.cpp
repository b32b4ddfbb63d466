// The skinned form on windows skinned by the manager with a probe skin: attach and detach, life
// states, sizing and hit testing per border kind, a widened dialog, and the maximised caption.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "platform/rtl/Streams.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Painting.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinForm.h"
#include "tests/support/ProbeSkin.h"
#include "tools/skinpack/SkinPacker.h"

namespace {

constexpr int kL = 10, kT = 26, kR = 11, kB = 9;
constexpr int kTextShift = 20, kTextRightClip = 30;
constexpr char kFrameClass[] = "SkinFormProbe";
WPARAM gNCButtonDownHit = 0;  // the hit code the class procedure last got with WM_NCLBUTTONDOWN

LRESULT FrameProbeProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  return msg == WM_NCLBUTTONDOWN ? (gNCButtonDownHit = wp, 0) : DefWindowProc(w, msg, wp, lp);
}

// Four borders with two frames each, Extra pixels wider than kL, kT, kR and kB, and the title
// margins a dialog's minimum width adds.
std::string FrameSkinFile(int Extra) {
  TProbeSkin skin;
  for (auto [section, width, height] : {std::tuple{"Left", kL + Extra, 40},
                                        {"Right", kR + Extra, 40},
                                        {"Top", 60, kT + Extra},
                                        {"Bottom", 60, kB + Extra}})
    skin.Add({section, 2, width == 60, width, height, 0, 0, 0, 0, false, false, true});
  TSkinEntries entries = UnpackSkin(skin.SkinFile());
  const std::string margins = "TextShift=" + std::to_string(kTextShift) +
                              "\r\nTextRightClip=" + std::to_string(kTextRightClip) + "\r\n";
  for (auto& [name, bytes] : entries)
    if (name == "probe.ini") bytes.insert(bytes.find("[Personality]\r\n") + 15, margins);
  return PackSkin(entries);
}

// What a detach gives back of a window.
struct TWindowLook {
  LONG_PTR Proc, Style;
  HMENU Menu;
  RECT Window, Client;
  bool operator==(const TWindowLook&) const = default;
};
TWindowLook LookOf(HWND W) {
  TWindowLook look{GetWindowLong(W, GWL_WNDPROC), GetWindowLong(W, GWL_STYLE), GetMenu(W), {}, {}};
  GetWindowRect(W, &look.Window);
  GetClientRect(W, &look.Client);
  return look;
}

class WinSkinFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    InitWinSkinFormUnit();
    WNDCLASSEX wc{};
    wc.lpfnWndProc = &FrameProbeProc, wc.hInstance = MainInstance(), wc.lpszClassName = kFrameClass;
    if (!GetClassInfoEx(MainInstance(), kFrameClass, &wc)) {
      ASSERT_NE(RegisterClassEx(&wc), 0);
    }
    PushMessageBoxAnswer(IDOK);  // registers the dialog-box class "#32770"
    MessageBox(nullptr, "", "", MB_OK);
    DestroySkinManage();
    manage = EnsureSkinManage();
    manage->Active = true, manage->StartState = kSkinStartRunning;
    data = std::make_unique<TSkinData>(nullptr);
    UseSkin(0);
    data->SetSkinControls({xcMainMenu});
    manage->AddSkinData(data.get());
    owner = Window(kFrameClass, WS_OVERLAPPED);
  }
  void TearDown() override {
    for (HWND w : made)
      if (IsWindow(w)) DestroyWindow(w);
    DestroySkinManage();
    data.reset();
    FinalizeWinSkinFormUnit();
    ResetVcl();
  }
  void UseSkin(int Extra) {
    const std::string bytes = FrameSkinFile(Extra);
    data->SkinStream()->Clear();
    data->SkinStream()->WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    ASSERT_TRUE(data->LoadSkin()) << data->LoadError();
  }
  HWND Window(const char* Class, DWORD Style, HWND Owner = nullptr, DWORD ExStyle = 0, bool WithMenu = false,
              const std::string& Text = "Probe", int Width = 300) {
    HMENU menu = WithMenu ? CreateMenu() : nullptr;
    if (menu) AppendMenu(menu, MF_STRING, 100, "&File");
    return made.emplace_back(CreateWindowEx(ExStyle, Class, Text, Style | WS_VISIBLE, 50, 50, Width, 200,
                                            Owner, menu, MainInstance(), nullptr));
  }
  // Skinned by the manager, with the SKMSG_ACTIVATE it posts handled (when Activate).
  TWinSkinForm* Skin(HWND W, bool Activate = true) {
    if (!manage->SkinWindow(W)) return nullptr;
    if (Activate) Application->ProcessMessages();
    return dynamic_cast<TWinSkinForm*>(manage->FindForm(W));
  }
  // A window point as a screen LPARAM; the window's hit answer there, or the default procedure's.
  static LPARAM At(HWND W, int X, int Y) {
    const RECT r = LookOf(W).Window;
    return MAKELPARAM(r.Left + X, r.Top + Y);
  }
  static LRESULT HitAt(HWND W, int X, int Y, bool Default = false) {
    return (Default ? DefWindowProc : SendMessage)(W, WM_NCHITTEST, 0, At(W, X, Y));
  }

  TSkinManage* manage = nullptr;
  std::unique_ptr<TSkinData> data;
  std::vector<HWND> made;
  HWND owner = nullptr;
};

TEST_F(WinSkinFormTest, AttachAndDetachRestoreProcedureStyleMenuSizeAndColour) {
  struct TCase {
    const char* Id;
    const char* Class;  // nullptr: a form of the class library with a main menu
    DWORD Style;
    bool Owned, WithMenu, Activated = true;
  };
  const TCase cases[] = {
      {"ownerless sizeable", kFrameClass, WS_OVERLAPPEDWINDOW, false, false},
      {"owned single with menu", kFrameClass, WS_CAPTION | WS_SYSMENU, true, true},
      // Its caption bits come off while skinned; only the border it had comes back.
      {"ownerless captionless popup", kFrameClass, WS_POPUP | WS_BORDER, false, false},
      {"dialog box", "#32770", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, true, false},
      {"form with main menu", nullptr, 0, true, true},
      // Never sized to the skin, so not shrunk back either.
      {"detached before its SKMSG_ACTIVATE", kFrameClass, WS_OVERLAPPEDWINDOW, true, true, false}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Id);
    TForm* form = c.Class ? nullptr : new TForm(Application, 0);
    if (form) form->SetMenu(NewMenu(form, "", {NewItem("&File", 0, false, true, {}, 0, "")})), form->Show();
    const HWND w = form ? form->Handle() : Window(c.Class, c.Style, c.Owned ? owner : nullptr, 0, c.WithMenu);
    const TWindowLook before = LookOf(w);
    const TColor colour = form ? form->Color() : 0;
    const TWndMethod method = form ? form->WindowProc() : TWndMethod();

    UseSkin(0);
    TWinSkinForm* skinned = Skin(w, c.Activated);
    ASSERT_NE(skinned, nullptr);
    EXPECT_EQ(skinned->LifeState, c.Activated ? TSkinLifeState::Ready : TSkinLifeState::Attached);
    EXPECT_NE(GetWindowLong(w, GWL_WNDPROC), before.Proc);
    EXPECT_EQ(SendMessage(w, SKMSG_ISSKINNED, 0, 0), 1);
    EXPECT_EQ(GetMenu(w), nullptr);
    // A skin with wider borders: the frame follows it, the client area stays.
    const bool framed = skinned->BorderKind != TSkinBorderKind::None;
    for (const int extra : {0, 4}) {
      if (extra) UseSkin(extra), skinned->ReloadElements();
      const TWindowLook now = LookOf(w);
      EXPECT_EQ(skinned->L, framed ? kL + extra : 0);
      if (!c.Activated) continue;
      EXPECT_EQ(now.Client, before.Client);
      if (framed) {
        EXPECT_EQ(now.Window.Width(), before.Client.Width() + kL + kR + 2 * extra);
      }
    }
    if (form) {
      EXPECT_FALSE(form->WindowProc() == method);
      EXPECT_EQ(form->Color(), data->Elements()->BackgroundColour);
    }
    EXPECT_TRUE(skinned->CheckConsistency());

    skinned->Detach();
    delete skinned;
    EXPECT_EQ(manage->FindForm(w), nullptr);
    EXPECT_EQ(LookOf(w), before);
    EXPECT_EQ(GetWindowRgn(w, nullptr), ERROR);
    if (form) {
      EXPECT_TRUE(form->WindowProc() == method);
      EXPECT_EQ(form->Color(), colour);
      delete form;
    }
  }
}

TEST_F(WinSkinFormTest, LifeStatesFromAttachToTheReleaseOnNCDestroy) {
  const HWND first = Window(kFrameClass, WS_OVERLAPPEDWINDOW),
             second = Window(kFrameClass, WS_OVERLAPPEDWINDOW);
  SetActiveWindow(first);
  ASSERT_TRUE(manage->SkinWindow(first));  // its SKMSG_ACTIVATE still waits in the queue
  auto* form = dynamic_cast<TWinSkinForm*>(manage->FindForm(first));
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->LifeState, TSkinLifeState::Attached);
  HDC dc = GetWindowDC(first);
  SetPixel(dc, 1, 1, RGB(1, 2, 3));
  EXPECT_EQ(SendMessage(first, WM_NCPAINT, 1, 0), 0);
  EXPECT_EQ(GetPixel(dc, 1, 1), RGB(1, 2, 3));
  ReleaseDC(first, dc);
  // A deactivation before SKMSG_ACTIVATE is allowed, not refused.
  SetActiveWindow(second);
  EXPECT_EQ(GetActiveWindow(), second);
  EXPECT_FALSE(form->Active);
  Application->ProcessMessages();
  EXPECT_EQ(form->LifeState, TSkinLifeState::Ready);
  EXPECT_TRUE(form->Timer->Enabled());
  DestroyWindow(first);
  EXPECT_EQ(form->LifeState, TSkinLifeState::Destroyed);
  EXPECT_TRUE(form->WindowDestroyed());
  EXPECT_FALSE(form->Timer->Enabled());
  EXPECT_TRUE(form->CheckConsistency());
}

// Client rectangles and hit codes of each border kind with and without a menu bar. Points in the
// skin's side and bottom borders keep the default answer: they never move the window.
TEST_F(WinSkinFormTest, SizingAndHitTestingOfEachBorderKind) {
  struct TCase {
    const char* Id;
    DWORD Style, ExStyle;
    bool Owned;
    TSkinBorderKind Kind;
  };
  const TCase cases[] = {
      {"sizeable ownerless", WS_OVERLAPPEDWINDOW, 0, false, TSkinBorderKind::Sizeable},
      {"sizeable owned", WS_OVERLAPPEDWINDOW, 0, true, TSkinBorderKind::Sizeable},
      {"single", WS_CAPTION | WS_SYSMENU, 0, true, TSkinBorderKind::Single},
      {"dialog", WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, true, TSkinBorderKind::Dialog},
      {"none", WS_POPUP, 0, true, TSkinBorderKind::None}};
  for (const TCase& c : cases) {
    for (const bool withMenu : {false, true}) {
      SCOPED_TRACE(std::string(c.Id) + (withMenu ? " with menu bar" : ""));
      const HWND w = Window(kFrameClass, c.Style, c.Owned ? owner : nullptr, c.ExStyle, withMenu);
      TWinSkinForm* form = Skin(w);
      ASSERT_NE(form, nullptr);
      EXPECT_EQ(form->BorderKind, c.Kind);
      const bool framed = c.Kind != TSkinBorderKind::None;
      const int bar = framed && withMenu ? GetSystemMetrics(SM_CYMENU) : 0;
      EXPECT_EQ(form->MenuBarHeight, bar);
      const auto [proc, style, menu, window, client] = LookOf(w);
      POINT origin{0, 0};
      ClientToScreen(w, &origin);
      const int wide = window.Width(), high = window.Height();
      if (framed) {
        EXPECT_EQ(origin, (POINT{window.Left + kL, window.Top + kT + bar}));
        EXPECT_EQ(client, (RECT{0, 0, wide - kL - kR, high - kT - kB - bar}));
      }
      const LRESULT cap = framed ? HTCAPTION : HTCLIENT, dflt = -99;  // dflt: the default procedure's
      for (const auto& [x, y, hit] : {std::tuple{100, kT / 2, cap},
                                      {100, 4, cap},
                                      {100, 3, dflt},
                                      {kL, kT / 2, cap},
                                      {wide - kR - 1, kT / 2, cap},
                                      {100, kT + 2, framed && withMenu ? HTMENU : HTCLIENT},
                                      {5, 100, dflt},
                                      {wide - 5, kT / 2, dflt},
                                      {100, high - 5, dflt},
                                      {wide + 5, kT / 2, dflt},
                                      {100, high + 5, dflt}}) {
        SCOPED_TRACE(testing::Message() << "(" << x << ", " << y << ")");
        EXPECT_EQ(HitAt(w, x, y), hit == dflt ? HitAt(w, x, y, true) : hit);
      }
      DestroyWindow(w);
    }
  }
}

TEST_F(WinSkinFormTest, ADialogIsWidenedForItsCaptionAndItsChildrenShiftedByHalf) {
  // A long caption, or title margins whose sum overflows 32 bits, give the screen width at most.
  for (const char* id : {"wider than the client", "capped at the screen width", "margins beyond 32 bits"}) {
    SCOPED_TRACE(id);
    const bool capped = id[0] != 'w', wildMargins = id[0] == 'm';
    TDataSkinTitle& title = *data->Elements()->Title;
    title.LeftWidth = wildMargins ? INT32_MAX : kTextShift;
    title.RightWidth = wildMargins ? INT32_MAX : kTextRightClip;
    const HWND box = Window("#32770", WS_POPUP | WS_CAPTION | WS_SYSMENU, owner, 0, false,
                            std::string(id[0] == 'c' ? 3000 : 30, 'W'), 120);
    const HWND child = CreateWindowEx(0, "Button", "OK", WS_CHILD | WS_VISIBLE, 10, 20, 40, 20, box, nullptr,
                                      MainInstance(), nullptr);
    const int natural = LookOf(box).Client.Width() + kL + kR;
    TWinSkinForm* form = Skin(box);
    ASSERT_NE(form, nullptr);
    const int minimum =
        capped ? GetSystemMetrics(SM_CXSCREEN) : kTextShift + form->CaptionTextWidth + kTextRightClip;
    ASSERT_GT(minimum, natural);
    EXPECT_EQ(LookOf(box).Window.Width(), minimum);
    RECT button = LookOf(child).Window;
    MapWindowPoints(nullptr, box, &button);
    EXPECT_EQ(button.Left, 10 + (minimum - natural) / 2);
  }
}

TEST_F(WinSkinFormTest, DraggingTheCaptionOfAMaximisedActiveWindowIsRefused) {
  const struct {
    const char* Id;
    bool Maximised, Active;
    WPARAM Passed;
  } cases[] = {{"maximised active", true, true, HTMENU},
               {"maximised inactive", true, false, HTCAPTION},
               {"normal active", false, true, HTCAPTION}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Id);
    const HWND w = Window(kFrameClass, WS_OVERLAPPEDWINDOW, owner);
    if (c.Maximised) ShowWindow(w, SW_MAXIMIZE);
    TWinSkinForm* form = Skin(w);
    ASSERT_NE(form, nullptr);
    form->Active = c.Active;
    gNCButtonDownHit = 0;
    SendMessage(w, WM_NCLBUTTONDOWN, HTCAPTION, At(w, 100, kT / 2));
    EXPECT_EQ(gNCButtonDownHit, c.Passed);
    DestroyWindow(w);
  }
}

}  // namespace
