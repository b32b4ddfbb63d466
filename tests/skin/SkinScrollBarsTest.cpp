// Scroll-bar overlays on a probe skin: placement as the covered list box changes, clicks and drags
// handed to the native bar, the frames painted by part and state, and TScrollBar controls.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Input.h"
#include "platform/win/WinTesting.h"
#include "skin/SkinRangeControls.h"
#include "skin/SkinScrollBars.h"
#include "skin/WinSkinChildren.h"
#include "skin/WinSkinManage.h"
#include "tests/support/ProbeSkin.h"
#include "tests/support/SurfacePixels.h"

namespace skin_scroll_bars_test {

constexpr TNinePart kWhole = TNinePart::Middle;  // no margins: one colour a frame

class SkinScrollBarsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    LoadProbe(17);
    (form = new TForm(Application, 0))->SetBounds(20, 20, 420, 300);
    form->Show();
  }
  void TearDown() override { ResetVcl(), DestroySkinManage(), data.reset(); }
  void LoadProbe(int StripHeight) {
    probe = ScrollBarProbeSkin(StripHeight);
    ASSERT_TRUE((data = LoadSkinData(probe.SkinFile())) != nullptr);
  }
  TListBox* List(int Items, bool Skinned) {
    auto* list = new TListBox(form);
    list->SetParent(form);
    list->SetBounds(Skinned ? 10 : 200, 10, 150, 200);
    for (int i = 0; i < Items; ++i) list->Items()->Add("row " + std::to_string(i));
    if (Skinned) (skinner = new TSkinScrollbar(list))->AttachBars(list, data.get(), nullptr, nullptr);
    Application->ProcessMessages();
    return list;
  }
  static RECT BarOf(HWND Window) {
    SCROLLBARINFO info;
    GetScrollBarInfo(Window, OBJID_VSCROLL, &info);
    return info.rcScrollBar;
  }
  // From the top, presses at a point along the list's bar, moves down by each Travel and releases
  // at the last; answers the position reached.
  static int Press(TListBox* List, int Along, const std::vector<int>& Travel) {
    List->SetTopIndex(0);
    Application->ProcessMessages();
    const POINT at{BarOf(List->Handle()).Left + 8, BarOf(List->Handle()).Top + Along};
    for (size_t i = 0; i < Travel.size(); ++i)
      WinTesting::Schedule([p = POINT{at.X, at.Y + Travel[i]}, up = i + 1 == Travel.size()] {
        up ? Input::MouseUp(VK_LBUTTON, p) : Input::MouseMove(p);
      });
    Input::MouseMove(at);
    Input::MouseDown(VK_LBUTTON, at);
    Application->ProcessMessages();
    return GetScrollPos(List->Handle(), SB_VERT);
  }
  TColor Probe(size_t Element, int Frame) const { return probe.RegionColour(Element, Frame, kWhole); }

  TProbeSkin probe;
  std::unique_ptr<TSkinData> data;
  TForm* form = nullptr;
  TSkinScrollbar* skinner = nullptr;
};

TEST_F(SkinScrollBarsTest, OverlayFollowsTheListBox) {
  TListBox* list = List(3, true);
  TWScrollbar* bar = skinner->VertBar;
  const std::tuple<const char*, std::function<void()>, bool> steps[] = {
      {"gains a bar", [&] { list->Items()->SetText(std::string(80, '\n')); }, true},
      {"resized", [&] { list->SetBounds(10, 10, 120, 150); }, true},
      {"moved", [&] { list->SetBounds(40, 30, 120, 150); }, true},
      {"hidden", [&] { list->SetVisible(false); }, false},
      {"shown", [&] { list->SetVisible(true); }, true},
      {"loses its bar", [&] { list->Items()->Clear(); }, false},
  };
  for (const auto& [name, change, shown] : steps) {
    SCOPED_TRACE(name);
    change();
    list->Repaint();
    Application->ProcessMessages();
    EXPECT_EQ(std::pair(bar->Shown, IsWindowVisible(bar->Handle()) != FALSE), std::pair(shown, shown));
    EXPECT_EQ((GetWindowLong(list->Handle(), GWL_STYLE) & WS_VSCROLL) != 0, shown || !list->Visible());
    if (!shown) continue;
    RECT placed;
    GetWindowRect(bar->Handle(), &placed);
    EXPECT_EQ(placed, BarOf(list->Handle()));
    EXPECT_EQ(GetWindow(list->Handle(), GW_HWNDPREV), bar->Handle());
  }
  EXPECT_FALSE(skinner->HorzBar->Shown);
}

TEST_F(SkinScrollBarsTest, BarsGainedAfterSkinningWearTheSkinAndLostOnesTakeTheirOverlaysAlong) {
  auto* box = new TScrollingWinControl(form);
  box->SetParent(form);
  box->SetBounds(10, 10, 200, 150);
  TSkinChildList* list = SkinThroughManager(form->Handle(), *data, {xcScrollbar});
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->SkinnerOf(box), nullptr);  // no bar at skinning: nothing to cover
  // The ranges set; what shows on the vertical and the horizontal bar's first arrow.
  const std::tuple<const char*, int, int, const char*, const char*> steps[] = {
      {"gains-vertical", 1000, 0, "skin", "-"},
      {"gains-horizontal", 1000, 1000, "skin", "skin"},
      {"loses-vertical", 0, 1000, "-", "skin"},
      {"loses-both", 0, 0, "-", "-"},
      {"gains-again", 1000, 0, "skin", "-"}};
  for (const auto& [id, vertical, horizontal, vertLook, horzLook] : steps) {
    SCOPED_TRACE(id);
    box->VertScrollBar()->SetRange(vertical);
    box->HorzScrollBar()->SetRange(horizontal);
    Application->ProcessMessages();
    EXPECT_EQ(std::pair(FirstArrowLook(probe, form->Handle(), list, box->Handle(), OBJID_VSCROLL),
                        FirstArrowLook(probe, form->Handle(), list, box->Handle(), OBJID_HSCROLL)),
              std::pair(std::string(vertLook), std::string(horzLook)));
    EXPECT_TRUE(list->CheckConsistency());
  }
  list->FreeAll(false);  // the skinners taken off: a bar gained now stays the system's
  box->HorzScrollBar()->SetRange(1000);
  Application->ProcessMessages();
  EXPECT_EQ(list->SkinnerOf(box), nullptr);
  EXPECT_EQ(FirstArrowLook(probe, form->Handle(), list, box->Handle(), OBJID_HSCROLL), "bare");
}

TEST_F(SkinScrollBarsTest, TheSkinsPictureStaysThroughScrollsFramePaintsAndSwitches) {
  const TColor line = TColor(0x1E0AC8), face = TColor(0x1EC80A);  // ButtonShadow, ButtonFace below
  data = LoadEditedProbeSkin(probe, [](std::string& Ini) {
    Ini += "[Colours]\r\nButtonShadow=200 10 30\r\nButtonFace=10 200 30\r\n";
  });
  ASSERT_NE(data, nullptr);
  TListBox* list = List(100, true);
  const HWND h = list->Handle();
  const auto screen = [this](POINT At) { return test_support::ScreenPixel(form->Handle(), At); };
  // Above and on the thumb as the system places it, then both rings of the frame.
  const auto looks = [&] {
    RECT window;
    GetWindowRect(h, &window);
    const RECT bar = BarOf(h);
    SCROLLBARINFO info;
    GetScrollBarInfo(h, OBJID_VSCROLL, &info);
    const int x = bar.Left + 8, y = (window.Top + window.Bottom) / 2;
    return std::vector{screen({x, bar.Top + info.xyThumbTop - 2}), screen({x, bar.Top + info.xyThumbTop + 1}),
                       screen({window.Left, y}), screen({window.Left + 1, y})};
  };
  const std::vector<COLORREF> skinned{COLORREF(Probe(kProbeVertTrack, 1)),
                                      COLORREF(Probe(kProbeVertThumb, 1)), COLORREF(line), COLORREF(face)};
  const std::tuple<const char*, std::function<void()>> steps[] = {
      {"top index", [&] { list->SetTopIndex(40); }},
      {"wheel",
       [&] {
         list->SetFocus();
         Input::MouseWheel(-WHEEL_DELTA, BarOf(h).TopLeft());
       }},
      {"frame painted over",
       [&] { RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW); }},
      {"skinning off and on",
       [&] {
         SendMessage(h, SKMSG_SKINCONTROL, 0, 0);
         RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
         SendMessage(h, SKMSG_SKINCONTROL, 1, 0);
       }},
      {"skin applied again", [&] { skinner->ApplySkinColor(); }},
  };
  for (const auto& [id, step] : steps) {
    SCOPED_TRACE(id);
    const int top = list->TopIndex();
    step();
    Application->ProcessMessages();
    EXPECT_EQ(looks(), skinned);
    if (id == std::string("wheel")) {
      EXPECT_GT(list->TopIndex(), top);
    }
  }
}

TEST_F(SkinScrollBarsTest, PressesGoToTheNativeBarExactlyAsOnTheBareOne) {
  TListBox* skinned = List(100, true);
  TListBox* bare = List(100, false);
  const int height = BarOf(bare->Handle()).Height();
  // Where the press lands along the bar, then the cursor's travel from there; the last row first
  // moves the form on the screen, which leaves the lists where they are in it.
  const std::tuple<const char*, int, std::vector<int>, bool> gestures[] = {
      {"track after the thumb", height - 17 - 5, {0}, false},
      {"thumb dragged", 17 + 5, {40, 60}, false},
      {"thumb dragged past the end", 17 + 5, {400, 400}, false},
      {"down arrow after the form moved", height - 5, {0}, true}};
  for (const auto& [name, along, travel, moveForm] : gestures) {
    SCOPED_TRACE(name);
    if (moveForm) form->SetBounds(70, 45, 420, 300);
    const int reached = Press(skinned, along, travel);
    EXPECT_EQ(reached, Press(bare, along, travel));
    EXPECT_NE(reached, 0);
    EXPECT_FALSE(skinner->VertBar->Pressed);
  }
}

TEST_F(SkinScrollBarsTest, PaintsArrowsTracksAndThumbsByPartAndState) {
  TListBox* list = List(30, true);
  list->SetTopIndex(10);
  TWScrollbar* bar = skinner->VertBar;
  bar->Repaint();
  const int length = bar->BarLength, rest = bar->ThumbTop, size = bar->ThumbBottom - rest;
  const auto at = [bar](int Y) { return WindowPixel(bar->Handle(), 8, Y); };
  // Hot part, pressed, the cursor's travel down from the press; the frames expected on the arrows,
  // the thumb and its grip, and the thumb's top: a drag past either end stops it at the arrows.
  const std::tuple<int, bool, int, int, int, int, int, int> cases[] = {
      {kScrollPartNone, false, 0, 9, 13, 1, 20, rest},
      {kScrollPartFirstArrow, false, 0, 12, 13, 1, 20, rest},
      {kScrollPartFirstArrow, true, 0, 10, 13, 1, 20, rest},
      {kScrollPartSecondArrow, true, 0, 9, 14, 1, 20, rest},
      {kScrollPartThumb, false, 0, 9, 13, 3, 22, rest},
      {kScrollPartThumb, true, 0, 9, 13, 2, 21, rest},
      {kScrollPartThumb, true, -1000, 9, 13, 2, 21, 17},
      {kScrollPartThumb, true, 1000, 9, 13, 2, 21, length - 17 - size}};
  for (const auto& [hotPart, pressed, travel, up, down, thumb, grip, top] : cases) {
    SCOPED_TRACE(testing::Message() << hotPart << (pressed ? " pressed " : " ") << travel);
    bar->HotPart = hotPart;
    bar->Pressed = pressed;
    GetCursorPos(&bar->DownPoint);
    bar->DownPoint.Y -= travel;
    bar->SavedThumbTop = rest;
    bar->Repaint();
    EXPECT_EQ(std::pair(bar->ThumbTop, bar->ThumbBottom), std::pair(top, top + size));
    // Arrows, the track off the thumb, the thumb, its grip.
    EXPECT_EQ((std::vector{at(8), at(length - 8), at(top > 30 ? 20 : length - 20), at(top + 1),
                           at(top + size / 2)}),
              (std::vector{Probe(kProbeStrip, up), Probe(kProbeStrip, down), Probe(kProbeVertTrack, 1),
                           Probe(kProbeVertThumb, thumb), Probe(kProbeStrip, grip)}));
  }
  bar->Pressed = false;
  EnableScrollBar(list->Handle(), SB_VERT, ESB_DISABLE_BOTH);
  bar->Repaint();
  EXPECT_EQ(at(rest + size / 2), Probe(kProbeVertTrack, 3));  // a disabled bar: frame 3, no thumb
}

TEST_F(SkinScrollBarsTest, ScrollBarControlsStripHeightsAndShortBars) {
  // Strip height, bar width, position; a point along the bar, the element and frame painted there:
  // a short bar's two arrows of half its length; a strip within 2 of the system's arrows keeps its
  // size, one further off takes the system's 17; position 50 of 0..100 puts the thumb (all grip) at
  // 92..109.
  const std::tuple<int, int, int, int, size_t, int> cases[] = {
      {17, 30, 0, 14, kProbeStrip, 1},       {17, 30, 0, 15, kProbeStrip, 5},
      {19, 200, 100, 18, kProbeStrip, 1},    {20, 200, 100, 18, kProbeHorzTrack, 1},
      {17, 200, 50, 60, kProbeHorzTrack, 1}, {17, 200, 50, 94, kProbeStrip, 17}};
  for (const auto& [stripHeight, width, position, x, element, frame] : cases) {
    SCOPED_TRACE(stripHeight * 1000 + width + x);
    LoadProbe(stripHeight);
    auto* control = new TScrollBar(form);
    control->SetParent(form);
    control->SetBounds(10, 250, width, 17);
    control->SetPosition(position);
    TSkinScControl* s;
    (s = new TSkinScControl(control))->AttachBars(control, data.get(), nullptr, nullptr);
    Application->ProcessMessages();
    EXPECT_EQ(s->Bar->BoundsRect(), control->BoundsRect());
    s->Bar->Repaint();
    EXPECT_EQ(WindowPixel(s->Bar->Handle(), x, 8), Probe(element, frame));
    delete control;
  }
}

TEST_F(SkinScrollBarsTest, BareWindowsAndListViews) {
  HWND w = CreateWindowEx(0, "Static", "", WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, 10, 10, 100, 100,
                          form->Handle(), nullptr, nullptr, nullptr);
  const SCROLLINFO info{sizeof(SCROLLINFO), SIF_ALL, 0, 100, 10};
  for (int side : {SB_HORZ, SB_VERT}) SetScrollInfo(w, side, &info, TRUE);
  const auto bare = std::make_unique<TSkinScrollbarH>(nullptr);
  bare->AttachWindow(w, data.get(), nullptr, nullptr);
  for (const bool visible : {true, false, true}) {  // a hidden window takes both overlays with it
    ShowWindow(w, visible ? SW_SHOW : SW_HIDE);
    Application->ProcessMessages();
    EXPECT_EQ(std::pair(bare->HorzBar->Shown, bare->VertBar->Shown), std::pair(visible, visible));
  }
  auto* view = new TListView(form);
  view->SetParent(form);
  view->SetViewStyle(vsReport);
  TSkinListView* viewSkinner;
  (viewSkinner = new TSkinListView(view))->AttachBars(view, data.get(), nullptr, nullptr);
  ASSERT_NE(viewSkinner->HeaderSkinner, nullptr);
  EXPECT_EQ(viewSkinner->HeaderSkinner->Handle, reinterpret_cast<HWND>(view->Perform(LVM_GETHEADER, 0, 0)));
}

TEST(ScrollControlThumbTest, ThumbAndHitTest) {
  // Min, max, page, position; the thumb on a bar of 200 with arrows of 17. An empty or inverted
  // range, or a page larger than it, fills the track.
  const std::tuple<int, int, int, int, int, int> thumbs[] = {
      {0, 100, 10, 0, 17, 32}, {0, 100, 10, 50, 100, 115}, {0, 100, 0, 50, 92, 109},   {0, 100, 0, 0, 17, 34},
      {0, 0, 10, 0, 17, 183},  {5, 3, 1, 4, 17, 183},      {50, 100, 100, 50, 17, 183}};
  for (const auto& [min, max, page, position, start, end] : thumbs) {
    const TScrollThumb t = ScrollControlThumb(200, 17, min, max, page, position);
    EXPECT_EQ(std::pair(t.Start, t.End), std::pair(start, end)) << min << ".." << max << " " << page;
  }
  const std::pair<int, int> hits[] = {{0, 0},  {16, 0}, {17, 2},  {49, 2}, {50, 5},
                                      {79, 5}, {80, 3}, {182, 3}, {183, 1}};
  for (const auto& [at, part] : hits) EXPECT_EQ(ScrollHitTest(at, 17, 50, 80, 200), part) << at;
}

}  // namespace skin_scroll_bars_test
