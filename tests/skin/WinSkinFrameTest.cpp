// The skinned frame on a headless window: borders and caption buttons checked by probes in each
// state, border sizes, button visibility and layout, and the window region.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <tuple>

#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Painting.h"
#include "platform/win/WinTesting.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinDraw.h"
#include "skin/WinSkinForm.h"
#include "tests/support/ProbeSkin.h"
#include "tools/skingen/SkinImages.h"
#include "tools/skinpack/SkinPacker.h"

namespace {

// Frame k of caption button b is one solid colour.
TColor ButtonColour(int Button, int Frame) {
  return RGB(40 + 60 * Button, 30 * Frame, 250);
}

// Answers SKMSG_BUTTONVISIBLE for code 1500 with the button's action.
LRESULT FrameTestProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == SKMSG_BUTTONVISIBLE) return wp == 1500 ? lp : 0;
  return DefWindowProc(w, msg, wp, lp);
}

// Probe borders (Left: two frames, a magenta corner 2 x 8 when Trans; Bottom: one frame, tiled)
// and two right-aligned caption buttons of 14 x 12: close with 4 frames, maximise with 3.
std::string FrameSkin(bool Trans) {
  TProbeSkin probe;
  probe.Add({"Left", 2, false, 6, 30, 2, 8, 0, 8, Trans, false, true});
  probe.Add({"Right", 2, false, 5, 30, 0, 8, 0, 8, false, false, true});
  probe.Add({"Top", 2, true, 20, 22, 6, 0, 6, 0, false, false, true});
  probe.Add({"Bottom", 1, true, 20, 7, 5, 0, 5, 0, false, true, true});
  TSkinEntries entries = UnpackSkin(probe.SkinFile());
  for (int b = 0; b < 2; ++b) {
    const std::string n = std::to_string(b), frames = b == 0 ? "4" : "3";
    entries[0].second += "[Button" + n + "]\r\nButtonImage=b" + n + ".bmp\r\nAction=" + n +
                         "\r\nAlign=1\r\nYcoord=4\r\nframe=" + frames +
                         "\r\nXcoord=" + std::to_string(24 + 20 * b) + "\r\n";
    TSkinPicture picture{14 * std::stoi(frames), 12, {}};
    for (int i = 0; i < picture.Width * 12; ++i) {
      const COLORREF c = ButtonColour(b, i % picture.Width / 14 + 1);  // pixels are 0x00RRGGBB
      picture.Pixels.push_back(GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c));
    }
    entries.emplace_back("b" + n + ".bmp", EncodeBmp24(picture));
  }
  return PackSkin(entries);
}

class WinSkinFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    InitWinSkinFormUnit();
    WNDCLASSEX wc{};
    wc.lpfnWndProc = &FrameTestProc, wc.hInstance = MainInstance(), wc.lpszClassName = "FrameTestWindow";
    ASSERT_NE(RegisterClassEx(&wc), 0);
    below_ = CreateWindowEx(0, "FrameTestWindow", "", WS_POPUP | WS_VISIBLE, 20, 20, 400, 300, nullptr,
                            nullptr, MainInstance(), nullptr);
    DestroySkinManage();
    manage_ = EnsureSkinManage();
    manage_->Active = true, manage_->StartState = kSkinStartRunning;
  }
  void TearDown() override {
    DestroySkinManage();
    data_.reset();
    FinalizeWinSkinFormUnit();
    ResetVcl();
  }
  // A sizeable window owned by below_, skinned by the manager and activated; w_ x h_ after.
  void UseSkin(bool Trans) {
    if (data_) manage_->RemoveSkinData(data_.get()), DestroyWindow(window_);
    ASSERT_TRUE((data_ = LoadSkinData(FrameSkin(Trans))) != nullptr);
    data_->SetSkinControls({xcMainMenu});
    manage_->AddSkinData(data_.get());
    window_ = CreateWindowEx(0, "FrameTestWindow", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 300, 200,
                             below_, nullptr, MainInstance(), nullptr);
    ASSERT_TRUE(manage_->SkinWindow(window_));
    Application->ProcessMessages();
    form_ = dynamic_cast<TWinSkinForm*>(manage_->FindForm(window_));
    ASSERT_TRUE(form_ && form_->LifeState == TSkinLifeState::Ready);
    RECT r{};
    GetWindowRect(window_, &r);
    w_ = r.Width(), h_ = r.Height();
  }
  std::unique_ptr<TBitmap> Picture() {
    auto picture = std::make_unique<TBitmap>();
    picture->SetSize(w_, h_);
    HDC dc = GetWindowDC(window_);
    BitBlt(picture->Canvas()->Handle(), 0, 0, w_, h_, dc, 0, 0, SRCCOPY);
    ReleaseDC(window_, dc);
    return picture;
  }
  TPoint ButtonCentre(int B) const {
    const TRect& r = form_->CaptionButtons[size_t(B)]->BoundsRect;
    return Point((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
  }

  TSkinManage* manage_ = nullptr;
  HWND below_ = nullptr, window_ = nullptr;
  int w_ = 0, h_ = 0;
  std::unique_ptr<TSkinData> data_;
  TWinSkinForm* form_ = nullptr;  // the manager's
};

TEST_F(WinSkinFrameTest, BordersAndButtonsInEachState) {
  UseSkin(true);
  const TSkinElements& e = *data_->Elements();
  for (bool active : {true, false}) {
    SCOPED_TRACE(active ? "active" : "inactive");
    form_->Active = active;
    form_->PaintFrame();
    // Inactive shows frame 4 only with four frames or more.
    std::vector<TProbePoint> points = {{"close", ButtonCentre(0), ButtonColour(0, active ? 1 : 4)},
                                       {"max", ButtonCentre(1), ButtonColour(1, 1)}};
    const std::vector buttons{form_->CaptionButtons[0]->BoundsRect, form_->CaptionButtons[1]->BoundsRect};
    const std::tuple<const char*, TDataSkinBorder*, TFrameBorder, bool> borders[] = {
        {"Left", e.Left.get(), TFrameBorder::Left, false},
        {"Right", e.Right.get(), TFrameBorder::Right, false},
        {"Top", e.Top.get(), TFrameBorder::Top, true},
        {"Bottom", e.Bottom.get(), TFrameBorder::Bottom, true}};
    for (const auto& [name, border, where, stacked] : borders) {
      const int frame = active || border->FrameCount == 1 ? 1 : 2;
      AddElementProbes(points, name, *border, GeometryOf(*border, stacked, true), frame,
                       FrameBorderRect(e, where, w_, h_), 0, buttons);
    }
    EXPECT_EQ(points.size(), 2u + 3 + 3 + 3 + 3);
    EXPECT_TRUE(CheckProbes(std::string("frame-") + (active ? "active" : "inactive"), *Picture(), points));
  }
  // Hover and press paint straight on the window; one hot object at a time.
  form_->Active = true;
  form_->PaintFrame();
  TWinSysButton &close = *form_->CaptionButtons[0], &max = *form_->CaptionButtons[1];
  const std::tuple<TNCObject*, void (TNCObject::*)(), int, int, TNCObject*> steps[] = {
      {&close, &TNCObject::MouseEnter, kNCHot, kNCNormal, &close},
      {&max, &TNCObject::MouseDown, kNCNormal, kNCPressed, &max},
      {&max, &TNCObject::MouseUp, kNCNormal, kNCHot, &max},
      {&max, &TNCObject::MouseLeave, kNCNormal, kNCNormal, nullptr}};
  for (const auto& [object, step, closeState, maxState, hot] : steps) {
    (object->*step)();
    EXPECT_EQ(std::tuple(close.State, max.State, form_->HotObject), std::tuple(closeState, maxState, hot));
    EXPECT_TRUE(CheckProbes("buttons-" + std::to_string(closeState) + std::to_string(maxState), *Picture(),
                            {{"close", ButtonCentre(0), ButtonColour(0, closeState)},
                             {"max", ButtonCentre(1), ButtonColour(1, maxState)}}));
  }
}

TEST_F(WinSkinFrameTest, BorderWidthsAndLayoutStayInsideScreenAndWindow) {
  UseSkin(false);
  // A quarter of a 16 x 40 screen at most; border kind none has none, nor a menu bar.
  SetSystemMetricForTest(SM_CXSCREEN, 16), SetSystemMetricForTest(SM_CYSCREEN, 40);
  for (auto [kind, sizes] : {std::pair{TSkinBorderKind::Dialog, std::array{4, 10, 4, 7, 19}},
                             {TSkinBorderKind::None, std::array{0, 0, 0, 0, 0}}}) {
    form_->BorderKind = kind, form_->MenuBarHeight = 19;
    form_->ComputeBorderWidths();
    EXPECT_EQ((std::array{form_->L, form_->T, form_->R, form_->B, form_->MenuBarHeight}), sizes);
  }
  EXPECT_EQ(form_->CaptionButtons.size(), data_->Elements()->SysButtons.size());
  // A 10 x 8 button by Align, Xcoord, Ycoord and right to left.
  form_->WindowWidth = 300, form_->WindowHeight = 200, form_->MenuBarHeight = 19;
  form_->L = 6, form_->T = 22, form_->R = 5;
  TDataSkinSysButton element;
  element.Bitmap->SetSize(10, 8);
  form_->CaptionButtons.clear();
  form_->CaptionButtons.push_back(std::make_unique<TWinSysButton>(form_, &element));
  const std::tuple<int, int, int, bool, TRect> cases[] = {
      {0, 7, 3, false, Rect(7, 3, 17, 11)},        {1, 40, 4, false, Rect(260, 4, 270, 12)},
      {2, 7, 3, false, Rect(0, 3, 0, 11)},         {3, 7, 3, false, Rect(7, 3, 17, 11)},
      {100, 20, 0, false, Rect(275, 27, 285, 35)}, {100, 20, 0, true, Rect(26, 27, 36, 35)},
      {42, 7, 3, false, Rect(0, 0, 10, 8)},        {0, 295, 195, false, Rect(295, 195, 300, 200)},
      {1, INT_MIN, 0, false, Rect(300, 0, 300, 8)}};
  for (const auto& [align, x, y, rtl, expected] : cases) {
    element.Align = align, element.Xcoord = x, element.Ycoord = y, form_->RightToLeft = rtl;
    form_->LayoutCaptionButtons();
    EXPECT_EQ(form_->CaptionButtons[0]->BoundsRect, expected) << align << " " << x;
  }
  EXPECT_EQ(form_->RightButtonsEdge, 300);
  form_->CaptionButtons.clear();
}

TEST_F(WinSkinFrameTest, VisibilityTableAndActionFilter) {
  UseSkin(false);
  // Visibility, Visibility1, Action, state ('M' maximised, 'i' inactive, 'K' border kind dialog,
  // 'd' a dialog box, a digit: the border icons, else all three), visible.
  const std::tuple<int, int, int, std::string, bool> rows[] = {
      {0, 0, 0, "", true},     {-1, 0, 5, "", false},   {0, -1, 5, "", false},   {1, 0, 5, "", false},
      {1, 1, 5, "M", true},    {2, 0, 5, "M", false},   {3, 0, 5, "i", false},   {4, 4, 5, "i", true},
      {5, 0, 5, "", false},    {6, 0, 5, "1", false},   {0, 6, 5, "1", true},    {7, 0, 5, "", false},
      {8, 0, 5, "2", false},   {0, 8, 5, "2", true},    {9, 9, 5, "0", true},    {50, 0, 5, "", false},
      {100, 0, 5, "", false},  {150, 0, 5, "", false},  {200, 0, 5, "K", true},  {200, 0, 5, "Kd", false},
      {500, 999, 5, "", true}, {1500, 0, 7, "", true},  {1500, 0, 0, "", false}, {1001, 0, 5, "", false},
      {0, 1500, 5, "", true},  {2001, 0, 5, "", false}, {0, 0, 0, "1", false},   {0, 0, 1, "8", false},
      {0, 0, 2, "1", false},   {0, 0, 3, "K", false},   {0, 0, 11, "K", false},  {0, 0, 12, "", true},
      {0, 0, 42, "0K", true}};
  for (const auto& [v, v1, action, state, visible] : rows) {
    auto has = [&](char c) { return state.find(c) != std::string::npos; };
    form_->WindowState = has('M') ? TSkinWindowState::Maximized : TSkinWindowState::Normal;
    form_->Active = !has('i');
    const size_t digit = state.find_first_of("0123456789");
    form_->BorderIcons = digit == std::string::npos ? 11 : uint8_t(state[digit] - '0');
    form_->BorderKind = has('K') ? TSkinBorderKind::Dialog : TSkinBorderKind::Sizeable;
    form_->Dialog = has('d');
    TDataSkinSysButton element;
    element.Visibility = v, element.Visibility1 = v1, element.Action = action;
    EXPECT_EQ(form_->ButtonVisible(element), visible)
        << v << "/" << v1 << " action " << action << " " << state;
  }
}

// A click (down, then up) on a caption button runs its action; a double click closes through the
// icon button, does nothing on another button and elsewhere maximises or restores.
TEST_F(WinSkinFrameTest, ButtonClicksAndDoubleClicksPostTheirCommands) {
  using S = TSkinWindowState;
  UseSkin(false);
  TWinSysButton& button = *form_->CaptionButtons[0];
  // Message, action (-1: a double click beside the buttons), state, border icons, message and
  // wParam posted (0: nothing).
  const std::tuple<UINT, int, S, uint8_t, UINT, WPARAM> rows[] = {
      {WM_NCLBUTTONUP, 0, S::Normal, 11, WM_SYSCOMMAND, SC_CLOSE},
      {WM_NCLBUTTONUP, 1, S::Normal, 11, WM_SYSCOMMAND, SC_MAXIMIZE},
      {WM_NCLBUTTONUP, 22, S::Maximized, 11, WM_SYSCOMMAND, SC_RESTORE},
      {WM_NCLBUTTONUP, 2, S::Normal, 11, WM_SYSCOMMAND, SC_MINIMIZE},
      {WM_NCLBUTTONUP, 42, S::Normal, 11, SKMSG_BUTTONACTION, 42},
      {WM_NCLBUTTONDBLCLK, 3, S::Normal, 11, WM_SYSCOMMAND, SC_CLOSE},
      {WM_NCLBUTTONDBLCLK, 42, S::Normal, 11, 0, 0},
      {WM_NCLBUTTONDBLCLK, -1, S::Normal, 11, WM_SYSCOMMAND, SC_MAXIMIZE},
      {WM_NCLBUTTONDBLCLK, -1, S::Maximized, 11, WM_SYSCOMMAND, SC_RESTORE},
      {WM_NCLBUTTONDBLCLK, -1, S::Normal, 10, 0, 0}};
  for (const auto& [msg, action, state, icons, posted, wParam] : rows) {
    SCOPED_TRACE(testing::Message() << msg << " action " << action);
    button.Element->Action = action < 0 ? 42 : action;
    form_->WindowState = state, form_->BorderIcons = icons;
    form_->PaintFrame();
    RECT r{};
    GetWindowRect(window_, &r);
    const TPoint at = action < 0 ? Point(60, 10) : ButtonCentre(0);
    const LPARAM screen = MAKELPARAM(r.Left + at.X, r.Top + at.Y);
    if (msg == WM_NCLBUTTONUP) SendMessage(window_, WM_NCLBUTTONDOWN, HTCAPTION, screen);
    SendMessage(window_, msg, HTCAPTION, screen);
    MSG m{};
    const bool any = PeekMessage(&m, window_, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE) ||
                     PeekMessage(&m, window_, SKMSG_BUTTONACTION, SKMSG_BUTTONACTION, PM_REMOVE);
    EXPECT_EQ(std::tuple(any ? m.message : 0u, any ? m.wParam : 0), std::tuple(posted, wParam));
  }
}

TEST_F(WinSkinFrameTest, RegionCutsTheTransparentCorner) {
  for (bool trans : {false, true}) {
    SCOPED_TRACE(trans);
    UseSkin(trans);  // the region comes with SKMSG_ACTIVATE
    ASSERT_TRUE(form_->RegionValid);
    // The magenta corner (2 x 8 at the top-left) is cut out; a skin without Trans keeps all.
    HRGN shape = CreateRectRgn(0, 0, 0, 0), whole = CreateRectRgn(0, 0, w_, h_);
    ASSERT_NE(GetWindowRgn(window_, shape), ERROR);
    EXPECT_EQ(bool(EqualRgn(shape, whole)), !trans);
    for (auto [x, y, inside] : {std::tuple{0, 0, !trans}, {1, 7, !trans}, {2, 0, true}, {0, 8, true}})
      EXPECT_EQ(bool(PtInRegion(shape, x, y)), inside) << x << "," << y;
    EXPECT_EQ(WindowFromPoint(POINT{41, 41}), trans ? below_ : window_);
    EXPECT_EQ(WindowFromPoint(POINT{44, 41}), window_);

    // Same size: kept, still the window's. A skin change or a new size replaces it, and the
    // window frees the old one; the form never deletes a region it handed over.
    HRGN first = form_->Region;
    form_->BuildRegion();
    EXPECT_EQ(form_->Region, first);
    EXPECT_EQ(GetObjectType(first), DWORD(OBJ_REGION));
    form_->LifeState = TSkinLifeState::Reskinning;
    form_->BuildRegion();
    EXPECT_EQ(GetObjectType(first), 0u);
    form_->LifeState = TSkinLifeState::Ready;
    HRGN second = form_->Region;
    SetWindowPos(window_, nullptr, 0, 0, w_ + 10, h_, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    form_->BuildRegion();
    EXPECT_EQ(GetObjectType(second), 0u);
    ASSERT_NE(GetWindowRgn(window_, shape), ERROR);
    EXPECT_TRUE(EqualRgn(shape, form_->Region));
    const HRGN last = form_->Region;
    form_->RemoveRegion();
    EXPECT_EQ(std::tuple(form_->RegionValid, GetWindowRgn(window_, shape), GetObjectType(last)),
              std::tuple(false, ERROR, 0u));
    DeleteObject(shape), DeleteObject(whole);
  }
}

}  // namespace
