// The popup skinner on real "#32768" windows: which menus get one, what it leaves alone, and the
// frame it paints on screen and into a WM_PRINT picture, checked by probes.
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "platform/vcl/VclTesting.h"
#include "platform/win/Painting.h"
#include "platform/win/WinTesting.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinManage.h"
#include "skin/WinSkinPopMenu.h"
#include "tests/support/ProbeSkin.h"

namespace {

constexpr int kFrame = kSkinPopupFrame;

class SkinPopMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    owner_ = CreateWindowEx(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 400, 300, nullptr,
                            nullptr, MainInstance(), nullptr);
    menu_ = CreatePopupMenu();
    for (int id = 100; id < 104; ++id) AppendMenu(menu_, MF_STRING, id, "Item");
  }
  void TearDown() override {
    data_.reset();
    DestroySkinManage();
    DestroyMenu(menu_);
    ResetVcl();
  }

  // Probe-skin data (its one element MenuBackground, or MenuItem) under an active manager; the
  // open menu is read first while the manager is still inactive.
  void UseSkin(bool WithMenuBackground) {
    TProbeSkin skin;
    skin.Add({WithMenuBackground ? "MenuBackground" : "MenuItem", 1, false, 12, 12, kFrame, kFrame, kFrame,
              kFrame});
    ASSERT_TRUE((data_ = LoadSkinData(skin.SkinFile())) != nullptr);
    data_->Loaded();
    data_->SetSkinControls({xcPopupMenu});
    unskinned_.clear();
    WithOpenMenu([&](HWND, HDC dc) {
      for (int i = 0; i < w_ * h_; ++i) unskinned_.push_back(GetPixel(dc, i % w_, i / w_));
    });
    SkinManage()->Active = true;
  }
  // Opens the context menu, looks at its window while open, closes it with Escape.
  void WithOpenMenu(const std::function<void(HWND, HDC)>& Look) {
    WinTesting::Schedule([&] {
      HWND popup = WindowFromPoint(POINT{110, 110});
      RECT r{};
      GetWindowRect(popup, &r);
      w_ = r.Width(), h_ = r.Height();
      HDC dc = GetWindowDC(popup);
      Look(popup, dc);
      ReleaseDC(popup, dc);
      WinTesting::KeyPress(VK_ESCAPE);
    });
    TrackPopupMenu(menu_, TPM_LEFTALIGN, 100, 100, 0, owner_, nullptr);
  }
  int PixelsChanged(HDC DC) const {
    int count = 0;
    for (int i = 0; i < w_ * h_; ++i) count += GetPixel(DC, i % w_, i / w_) != unskinned_[size_t(i)];
    return count;
  }

  HWND owner_ = nullptr;
  HMENU menu_ = nullptr;
  std::unique_ptr<TSkinData> data_;
  std::vector<COLORREF> unskinned_;
  int w_ = 0, h_ = 0;
};

TEST_F(SkinPopMenuTest, MenuKindsAgainstSkinControls) {
  UseSkin(true);
  // The kind opening, the skin's SkinControls, whether the popup gets a skinner.
  const std::tuple<int, TSkinControlTypes, bool> cases[] = {
      {0, {xcPopupMenu}, true},
      {0, {xcMainMenu, xcMenuItem, xcSystemMenu}, false},
      {1, {xcMainMenu}, true},
      {1, {xcMenuItem}, true},
      {1, {xcPopupMenu, xcSystemMenu}, false},
      {2, {xcSystemMenu}, true},
      {2, {xcPopupMenu, xcMainMenu, xcMenuItem}, false}};
  for (size_t row = 0; row < std::size(cases); ++row) {
    SCOPED_TRACE(row);
    const auto& [kind, controls, skinned] = cases[row];
    data_->SetSkinControls(controls);
    SkinManage()->MenuKind = kind;
    SkinManage()->MenuBarMode = true;
    HWND popup = CreateWindowEx(0, "#32768", "", WS_POPUP, 0, 0, 50, 50, owner_, nullptr,
                                GetModuleHandle("user32"), nullptr);
    EXPECT_EQ(SendMessage(popup, SKMSG_ISSKINNED, 0, 0), skinned ? 1 : 0);
    SkinManage()->AddPopupMenu(popup);  // a second request for the same window adds nothing
    ASSERT_EQ(SkinManage()->PopupMenus.size(), skinned ? 1u : 0u);
    if (skinned) {
      EXPECT_TRUE(SkinManage()->PopupMenus[0]->MenuBarOwned);
    }
    DestroyWindow(popup);
    EXPECT_EQ(SkinManage()->PopupMenus.size(), 0u);
    EXPECT_EQ(SkinManage()->MenuKind, skinned ? 0 : kind);  // back to 0 when the last one goes
    EXPECT_EQ(SkinManage()->MenuBarMode, !skinned);
  }
}

TEST_F(SkinPopMenuTest, NoMenuBackgroundImageLeavesTheMenuUnchanged) {
  UseSkin(false);
  WithOpenMenu([&](HWND, HDC dc) {
    ASSERT_EQ(SkinManage()->PopupMenus.size(), 1u);
    EXPECT_EQ(PixelsChanged(dc), 0);
  });
}

// Exactly the 3-pixel frame changes: corners and mid-edges as the MenuBackground image gives them
// through the nine-part fitting, on screen and printed. With the manager inactive WM_NCPAINT
// passes on again; CurrentPopup names the skinner until it is freed.
TEST_F(SkinPopMenuTest, FrameOnScreenAndInPrint) {
  UseSkin(true);
  const TDataSkinObject& back = *data_->Elements()->MenuBackground;
  for (bool print : {false, true}) {
    SCOPED_TRACE(print ? "WM_PRINT" : "screen");
    WithOpenMenu([&](HWND popup, HDC screen) {
      ASSERT_EQ(SkinManage()->PopupMenus.size(), 1u);
      TBitmap printed;
      printed.SetSize(w_, h_);
      HDC dc = print ? printed.Canvas()->Handle() : screen;
      if (print)
        SendMessage(popup, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                    PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
      EXPECT_EQ(CurrentPopup, SkinManage()->PopupMenus[0]);
      const int w = w_, h = h_;
      for (TPoint at : {TPoint{0, 0}, TPoint{w - 1, 0}, TPoint{0, h - 1}, TPoint{w - 1, h - 1},
                        TPoint{w / 2, 1}, TPoint{1, h / 2}, TPoint{w - 2, h / 2}, TPoint{w / 2, h - 2}}) {
        const auto from =
            NinePartSource(GeometryOf(back, false, false), *back.Bitmap, 1, Rect(0, 0, w, h), at);
        ASSERT_TRUE(from.has_value());
        EXPECT_EQ(GetPixel(dc, at.X, at.Y), GetPixel(back.Bitmap->Canvas()->Handle(), from->X, from->Y))
            << at.X << "," << at.Y;
      }
      const int item = kFrame + 3;
      EXPECT_EQ(GetPixel(dc, item, item), unskinned_[size_t(item * w + item)]);
      if (print) return;
      EXPECT_EQ(PixelsChanged(dc), w * h - (w - 2 * kFrame) * (h - 2 * kFrame));
      SkinManage()->Active = false;
      SendMessage(popup, WM_NCPAINT, 1, 0);
      EXPECT_EQ(PixelsChanged(dc), 0);
      EXPECT_EQ(SendMessage(popup, SKMSG_ISSKINNED, 0, 0), 1);
      SkinManage()->Active = true;
    });
    EXPECT_EQ(CurrentPopup, nullptr);
  }
}

}  // namespace
