// Status-bar, panel and media-player skinners on a probe skin: panel edge frames, simple mode, size
// grip, OnDrawPanel, right-to-left text, the panel's colour on and off, the player's overlay and clicks.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "platform/gdi/BmpCodec.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Resources.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/MPlayer.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Input.h"
#include "skin/SkinStateControls.h"
#include "tests/support/ProbeSkin.h"

namespace {

constexpr TColor kSkinFace = RGB(10, 20, 30);
enum : size_t { kEdges, kExtra, kButtons };  // the probe skin's elements, in order

class SkinStatusMPTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    probe.Add({"StatusBarEdges", 3, false, 12, 12, 3, 3, 3, 3});
    probe.Add({"ExtraImages", 5, false, 12, 12});
    probe.Add({"Buttons", 5, false, 12, 12, 3, 3, 3, 3});
    // The button element names its image Bitmap; the edges' text is white.
    data = LoadEditedProbeSkin(probe, [](std::string& Ini) {
      Ini.insert(Ini.find("[Buttons]\r\n") + 11, "Bitmap=probe2.bmp\r\n");
      Ini.insert(Ini.find("[StatusBarEdges]\r\n") + 18, "NormalColour2=255,255,255\r\n");
      Ini += "[Colours]\r\nButtonFace=10,20,30\r\n";
    });
    ASSERT_TRUE(data != nullptr);
    (form = new TForm(Application, 0))->SetBounds(20, 20, 420, 200);
    form->Show();
  }
  void TearDown() override { ResetVcl(), data.reset(); }
  static TColor PixelOf(TWinControl* C, int X, int Y) { return WindowPixel(C->Handle(), X, Y); }
  // A child of the form with a skinner of kind TSkinner attached.
  template <class T, class TSkinner>
  T* Skinned(bool UseColor, TSkinner** Skinner = nullptr) {
    auto* c = new T(form);
    c->SetParent(form);
    auto* s = new TSkinner(c);
    s->AttachControl(nullptr, data.get(), UseColor, nullptr);
    if (Skinner) *Skinner = s;
    return c;
  }
  TColor Probe(size_t Element, int Frame, TNinePart Part) const {
    return probe.RegionColour(Element, Frame, Part);
  }

  TProbeSkin probe;
  std::unique_ptr<TSkinData> data;
  TForm* form = nullptr;
};

TEST_F(SkinStatusMPTest, StatusBarPanelsGripSimpleModeOwnerDrawAndRightToLeft) {
  auto* bar = Skinned<TStatusBar, TSkinStatusBar>(false);
  for (TStatusPanelBevel b : {pbLowered, pbRaised, pbNone, pbLowered}) bar->Panels()->Add()->SetBevel(b);
  bar->Panels()->Items(0)->SetText("Ledger");
  bar->Panels()->Items(3)->SetStyle(psOwnerDraw);
  std::vector<std::pair<int, TRect>> drawn;
  bar->OnDrawPanel = [&](TStatusBar*, TStatusPanel* P, const TRect& R) { drawn.emplace_back(P->Index(), R); };
  bar->Repaint();
  const int frames[] = {1, 2, 3, 1};  // lowered, raised (its text empty), none, owner-drawn
  ASSERT_EQ(drawn.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    TRect r = bar->PanelRect(i);
    EXPECT_EQ(PixelOf(bar, r.Left + 1, r.Height() / 2), Probe(kEdges, frames[i], TNinePart::Left));
    InflateRect(r, -2, -2);
    EXPECT_EQ(drawn[static_cast<size_t>(i)].second, r);
  }
  const int w = bar->ClientWidth(), h = bar->ClientHeight();
  EXPECT_EQ(PixelOf(bar, w - 5, h - 5), Probe(kExtra, 5, TNinePart::Middle));

  // A wide text panel without edges: which half of it the text lands in.
  TValueRestorer<bool> middleEast(SysLocale().MiddleEast, true);
  TStatusPanel* panel = bar->Panels()->Items(2);
  panel->SetWidth(300);
  panel->SetText("IIII");
  const std::tuple<TBiDiMode, TAlignment, bool> cases[] = {{bdLeftToRight, taLeftJustify, false},
                                                           {bdRightToLeft, taLeftJustify, true},
                                                           {bdRightToLeft, taRightJustify, false},
                                                           {bdRightToLeftNoAlign, taLeftJustify, false}};
  for (const auto& [mode, alignment, inkOnRight] : cases) {
    SCOPED_TRACE(static_cast<int>(mode) * 10 + static_cast<int>(alignment));
    bar->SetBiDiMode(mode);
    panel->SetAlignment(alignment);
    bar->Repaint();
    const TRect r = bar->PanelRect(2);
    int ink[2] = {};
    for (int x = r.Left + 3; x < r.Right - 3; ++x)
      for (int y = r.Top + 3; y < r.Bottom - 3; ++y)
        if (PixelOf(bar, x, y) != Probe(kEdges, 3, TNinePart::Middle)) ++ink[x >= (r.Left + r.Right) / 2];
    EXPECT_EQ(std::pair(ink[0] > 0, ink[1] > 0), std::pair(!inkOnRight, inkOnRight));
  }
  bar->SetSimplePanel(true);
  bar->Repaint();
  EXPECT_EQ(PixelOf(bar, 1, h / 2), Probe(kEdges, 1, TNinePart::Left));
  EXPECT_EQ(PixelOf(bar, w / 2, 1), Probe(kEdges, 1, TNinePart::Top));
}

TEST_F(SkinStatusMPTest, PanelGetsTheSkinColourWithoutAWindowProcedure) {
  // Use colour, lifecycle at detach, colour while skinned, colour and parent background after.
  const std::tuple<bool, int, TColor, TColor, bool> cases[] = {
      {true, kSkinnerAttached, kSkinFace, clRed, true},
      {true, kSkinnerFormGoing, kSkinFace, kSkinFace, false},
      {false, kSkinnerAttached, clRed, clRed, true}};
  for (const auto& [useColor, lifecycle, whileSkinned, afterDetach, parentBackgroundAfter] : cases) {
    SCOPED_TRACE(lifecycle + (useColor ? 10 : 0));
    auto* panel = new TPanel(form);
    panel->SetColor(clRed);
    panel->SetParentBackground(true);
    const TWndMethod own = panel->WindowProc();
    auto* box = new TSkinBox(panel);
    box->AttachControl(nullptr, data.get(), useColor, nullptr);
    EXPECT_TRUE(panel->WindowProc() == own);
    EXPECT_EQ(panel->Color(), whileSkinned);
    EXPECT_EQ(panel->ParentBackground(), !useColor);
    box->Lifecycle = lifecycle;
    box->Detach();
    EXPECT_EQ(panel->Color(), afterDetach);
    EXPECT_EQ(panel->ParentBackground(), parentBackgroundAfter);
    EXPECT_EQ(box->Lifecycle, lifecycle == kSkinnerFormGoing ? kSkinnerFormGoing : kSkinnerReleased);
    delete panel;
  }
}

TEST_F(SkinStatusMPTest, MediaPlayerOverlayFollowsPaintsAndFiltersClicks) {
  using B = TMPBtnType;
  TBmpImage own;  // a program's own glyph
  own.Width = own.Height = 4;
  own.Pixels.assign(16, 0);
  RegisterResourceAs<TBmpImage>("BITMAP", "EN_MPPLAY", std::make_shared<const TBmpImage>(own));
  TScopeExit drop([] { UnregisterResource("BITMAP", "EN_MPPLAY"), RegisterMediaPlayerGlyphs(); });
  TSkinMP* skinner = nullptr;
  auto* player = Skinned<TMediaPlayer, TSkinMP>(false, &skinner);
  player->SetVisibleButtons(TButtonSet{B::btPlay, B::btPause, B::btStop});
  player->SetEnabledButtons(TButtonSet{B::btPlay, B::btStop});
  std::vector<B> clicks;
  player->OnClick = [&](TObject*, B Button, bool&) { clicks.push_back(Button); };
  TWMediaPlayer* overlay = skinner->Overlay;
  ASSERT_NE(overlay, nullptr);
  EXPECT_EQ(overlay->Tag(), data->DisableTag());
  EXPECT_EQ(overlay->Buttons[0].EnabledGlyph->Width(), 4);
  EXPECT_EQ(overlay->Buttons[8].DisabledGlyph->Width(), 16);
  player->SetBounds(20, 40, 150, 30);  // slots of 50: play, pause (disabled), stop
  EXPECT_EQ(overlay->BoundsRect(), player->BoundsRect());
  overlay->Repaint();
  const int frames[] = {1, 3, 1};  // probes clear of the centred glyphs
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(PixelOf(overlay, i * 50 + 5, 5), Probe(kButtons, frames[i], TNinePart::Middle)) << i;

  // Down x, up x, clicks; the third press is a double click.
  const std::tuple<int, int, std::vector<B>> presses[] = {
      {10, 40, {B::btPlay}}, {10, 120, {}}, {10, 40, {B::btPlay}}, {110, 140, {B::btStop}}};
  for (const auto& [downX, upX, expected] : presses) {
    SCOPED_TRACE(downX * 1000 + upX);
    clicks.clear();
    Input::MouseDown(VK_LBUTTON, overlay->ClientToScreen(TPoint{downX, 15}));
    Application->ProcessMessages();
    EXPECT_EQ(PixelOf(overlay, downX / 50 * 50 + 5, 5), Probe(kButtons, 2, TNinePart::Middle));
    Input::MouseUp(VK_LBUTTON, overlay->ClientToScreen(TPoint{upX, 15}));
    Application->ProcessMessages();
    EXPECT_EQ(clicks, expected);
  }
  // Without visible buttons the overlay's paint leaves what was there.
  player->SetVisibleButtons(TButtonSet{});
  HDC dc = GetDC(overlay->Handle());
  const RECT all{0, 0, 150, 30};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  overlay->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  ReleaseDC(overlay->Handle(), dc);
  EXPECT_EQ(PixelOf(overlay, 5, 5), clWhite);
  player->SetVisible(false);
  EXPECT_FALSE(overlay->Visible());
}

}  // namespace
