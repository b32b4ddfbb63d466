// Our two packed skins load through the engine and hold every element; painted elements are
// checked at probe points, on a probe skin and on our skins' own images; the text colours read on
// the faces and images they are drawn on.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>

#include "skin/WinSkinDraw.h"
#include "skin/WinSkinStore.h"
#include "tests/support/ProbeSkin.h"
#include "tests/support/TextContrast.h"

namespace {

constexpr TColor kBackground = 0x00302010;

std::string ReadOurSkin(const std::string& Name) {
  std::ifstream in(std::string(OUR_SKINS_DIR) + "/" + Name + ".skn", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The middle pixel of frame Frame of the button element, and its lightness.
TColor ButtonFrameMiddle(TSkinElements& s, int Frame) {
  TBitmap& b = *s.Buttons->Bitmap;
  const int w = b.Width() / s.Buttons->FrameCount;
  return b.Canvas()->Pixels((Frame - 1) * w + w / 2, b.Height() / 2);
}
int Lightness(TSkinElements& s, int Frame) {
  const TColor c = ButtonFrameMiddle(s, Frame);
  return GetRValue(c) + GetGValue(c) + GetBValue(c);
}

class OurSkinsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterSkinTrackResources();  // the program's start-up does this
    light_ = LoadSkinBytes(ReadOurSkin("light"));
    dark_ = LoadSkinBytes(ReadOurSkin("dark"));
    ASSERT_TRUE(light_ && dark_);
  }

  // A picture of W x H in the background colour with frame Frame of the element drawn nine-part
  // at R.
  static std::unique_ptr<TBitmap> Paint(const TDataSkinObject& E, const TElementGeometry& G, int Frame,
                                        const TRect& R, int W, int H) {
    auto picture = std::make_unique<TBitmap>();
    picture->SetSize(W, H);
    picture->Canvas()->Brush()->SetColor(kBackground);
    picture->Canvas()->FillRect(Rect(0, 0, W, H));
    DrawNinePart(picture->Canvas()->Handle(), R, E.Bitmap.get(), G.Stacked, G.TileMiddle, G.Transparent,
                 G.FrameCount, Frame, G.Left, G.Top, G.Right, G.Bottom);
    return picture;
  }

  std::unique_ptr<TSkinElements> light_, dark_;
};

using TElementOf = std::function<TDataSkinObject*(TSkinElements&)>;
#define ELEMENT(member) [](TSkinElements& s) -> TDataSkinObject* { return s.member.get(); }

TEST_F(OurSkinsTest, EveryElementIsFoundWithItsFrameCount) {
  // Frame counts; 0: the skin has no such element.
  struct Row {
    const char* Name;
    TElementOf Of;
    int Light, Dark;
  } rows[] = {
      {"Left", ELEMENT(Left), 2, 2},
      {"Right", ELEMENT(Right), 2, 2},
      {"Top", ELEMENT(Top), 2, 2},
      {"Bottom", ELEMENT(Bottom), 2, 2},
      {"Buttons", ELEMENT(Buttons), 5, 5},
      {"Title", ELEMENT(Title), 2, 2},
      {"Track", ELEMENT(Track), 1, 1},
      {"TrackVert", ELEMENT(TrackVert), 1, 1},
      {"Toolbar", ELEMENT(Toolbar), 1, 1},
      {"Progress", ELEMENT(Progress), 2, 1},
      {"MenuBar", ELEMENT(MenuBar), 2, 2},
      {"GroupBoxEdge", ELEMENT(GroupBoxEdge), 2, 2},
      {"GroupBox", ELEMENT(GroupBox), 1, 1},
      {"Tabs", ELEMENT(Tabs), 5, 5},
      {"StatusBarEdges", ELEMENT(StatusBarEdges), 3, 3},
      {"Tab.Pane", ELEMENT(TabPane), 0, 1},
      {"ToolBars", ELEMENT(ToolBars), 5, 5},
      {"ComboButton", ELEMENT(ComboButton), 4, 4},
      {"SunkEdge", ELEMENT(SunkEdge), 4, 0},
      {"ExtraImages", ELEMENT(ExtraImages), 5, 5},
      {"Headerbar", ELEMENT(Headerbar), 5, 5},
      {"MenuItem", ELEMENT(MenuItem), 0, 0},
      {"MenuBackground", ELEMENT(MenuBackground), 1, 1},
      {"Scrollbar", ELEMENT(Scrollbar), 23, 23},
      {"HorzScroll", ELEMENT(HorzScroll), 4, 4},
      {"VertScroll", ELEMENT(VertScroll), 4, 4},
      {"HorzScrollThumb", ELEMENT(HorzScrollThumb), 3, 4},
      {"VertScrollThumb", ELEMENT(VertScrollThumb), 3, 4},
      {"Trackbar.ThumbHorz", ELEMENT(TrackbarThumbHorz), 5, 5},
      {"Trackbar.ThumbVert", ELEMENT(TrackbarThumbVert), 5, 5},
      {"Trackbar.ThumbLeft", ELEMENT(TrackbarThumbLeft), 5, 5},
      {"Trackbar.ThumbRight", ELEMENT(TrackbarThumbRight), 5, 5},
      {"Trackbar.ThumbUp", ELEMENT(TrackbarThumbUp), 5, 5},
      {"Trackbar.ThumbDown", ELEMENT(TrackbarThumbDown), 5, 5},
      {"UpDown.Horz", ELEMENT(UpDownHorz), 8, 8},
      {"UpDown.Vert", ELEMENT(UpDownVert), 8, 8},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Name);
    for (auto [skin, frames] : {std::pair{light_.get(), row.Light}, std::pair{dark_.get(), row.Dark}}) {
      TDataSkinObject* e = row.Of(*skin);
      ASSERT_EQ(e != nullptr, frames > 0);
      if (!e) continue;
      EXPECT_FALSE(e->Bitmap->Empty());
      EXPECT_EQ(e->FrameCount, frames);
    }
  }
  // Second images: the light tabs' pane, the dark progress chunk, both mirrored combo buttons and
  // the up-down glyphs.
  EXPECT_FALSE(light_->Tabs->Bitmap2->Empty());
  EXPECT_FALSE(dark_->Progress->Bitmap2->Empty());
  for (TSkinElements* s : {light_.get(), dark_.get()}) {
    EXPECT_FALSE(s->ComboButton->Bitmap2->Empty());
    EXPECT_FALSE(s->UpDownHorz->Bitmap2->Empty());
    EXPECT_FALSE(s->UpDownVert->Bitmap2->Empty());
    EXPECT_FALSE(s->Buttons->CheckBitmap->Empty());
    EXPECT_FALSE(s->Buttons->RadioBitmap->Empty());
    EXPECT_EQ(s->ColourSections.size(), s == light_.get() ? 2u : 1u);
  }
}

TEST_F(OurSkinsTest, TheSkinsTakeBothBranchesOfEachChoice) {
  struct Row {
    const char* What;
    std::function<int(TSkinElements&)> Value;
    int Light, Dark;
  } rows[] = {
      {"border width", [](TSkinElements& s) { return s.Left->Bitmap->Width() / s.Left->FrameCount; }, 4, 8},
      {"border Stretch", [](TSkinElements& s) { return s.Top->Tile; }, 1, 0},
      {"border Trans", [](TSkinElements& s) { return s.Left->Trans; }, 1, 0},
      {"rounded corner is magenta",
       [](TSkinElements& s) { return int(s.Left->Bitmap->Canvas()->Pixels(0, 0) == 0xFF00FF); }, 1, 0},
      {"menu bar TileMenu", [](TSkinElements& s) { return s.MenuBar->Tile; }, 1, 0},
      {"Buttons Tile", [](TSkinElements& s) { return s.Buttons->Tile; }, 0, 1},
      {"Buttons Trans", [](TSkinElements& s) { return s.Buttons->Trans; }, 1, 0},
      {"check strip frames", [](TSkinElements& s) { return s.Buttons->CheckButtonFrame; }, 4, 12},
      {"radio strip frames", [](TSkinElements& s) { return s.Buttons->RadioButtonFrame; }, 4, 8},
      {"Progress Style", [](TSkinElements& s) { return s.Progress->Style; }, 0, 1},
      {"Progress Tile", [](TSkinElements& s) { return s.Progress->Tile; }, 0, 1},
      {"Tabs Style", [](TSkinElements& s) { return s.Tabs->Style; }, 0, 1},
      {"ComboButton Style", [](TSkinElements& s) { return s.ComboButton->Style; }, 2, 1},
      {"HorzScroll Tile", [](TSkinElements& s) { return s.HorzScroll->Tile; }, 0, 1},
      {"StatusBarEdges Trans", [](TSkinElements& s) { return s.StatusBarEdges->Trans; }, 0, 1},
      {"caption buttons with MDI ones", [](TSkinElements& s) { return int(s.SysButtons.size()); }, 7, 7},
      {"first caption button Align", [](TSkinElements& s) { return s.SysButtons[0]->Align; }, 1, 0},
      {"first caption button frames", [](TSkinElements& s) { return s.SysButtons[0]->FrameCount; }, 3, 6},
      {"second caption button frames", [](TSkinElements& s) { return s.SysButtons[1]->FrameCount; }, 3, 4},
      {"fourth caption button Action", [](TSkinElements& s) { return s.SysButtons[3]->Action; }, 3, -1},
      {"fourth caption button has an image",
       [](TSkinElements& s) { return int(!s.SysButtons[3]->Bitmap->Empty()); }, 0, 1},
      {"title alignment", [](TSkinElements& s) { return s.Title->TextAlignment; }, 0, 2},
      // The button skinner draws frame 1 normal, 2 pressed, 3 disabled, 4 hot or focused.
      {"hot button frame lighter", [](TSkinElements& s) { return int(Lightness(s, 4) > Lightness(s, 1)); }, 1,
       1},
      {"pressed button frame darker", [](TSkinElements& s) { return int(Lightness(s, 2) < Lightness(s, 1)); },
       1, 1},
      {"disabled button frame grey",
       [](TSkinElements& s) {
         const TColor c = ButtonFrameMiddle(s, 3);
         return int(GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c));
       },
       1, 1},
      {"button caption colours given",
       [](TSkinElements& s) {
         return int(s.Buttons->HasNormalColour2 && s.Buttons->HasMouseOverColour2 &&
                    s.Buttons->HasPressedColour2);
       },
       1, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.What);
    EXPECT_EQ(row.Value(*light_), row.Light);
    EXPECT_EQ(row.Value(*dark_), row.Dark);
  }
}

TEST_F(OurSkinsTest, ProbeSkinShowsEachRegionOfEachFrame) {
  TProbeSkin probe;
  // Section, frames, stacked, frame size, margins (left, top, right, bottom), Trans, tiled, border.
  probe.Add({"HorzScroll", 4, false, 20, 18, 5, 6, 7, 5, true, true, false});
  probe.Add({"Top", 2, true, 20, 12, 6, 0, 7, 0, false, false, true});
  probe.Add({"MenuItem", 5, false, 16, 16, 5, 5, 5, 5, false, false, false});
  auto skin = LoadSkinBytes(probe.SkinFile());
  ASSERT_TRUE(skin);
  struct Row {
    TDataSkinObject* Element;
    bool Stacked, StretchKey;
    int Parts;  // regions with room for a probe
  } rows[] = {{skin->HorzScroll.get(), false, false, 9},
              {skin->Top.get(), true, true, 3},
              {skin->MenuItem.get(), false, false, 9}};
  const TRect dest = Rect(7, 5, 67, 45);
  for (size_t i = 0; i < std::size(rows); ++i) {
    const TElementGeometry g = GeometryOf(*rows[i].Element, rows[i].Stacked, rows[i].StretchKey);
    for (int frame = 1; frame <= probe.Layout(i).FrameCount; ++frame) {
      SCOPED_TRACE(probe.Layout(i).Section + " frame " + std::to_string(frame));
      std::vector<TProbePoint> points;
      for (TNinePart part : kAllNineParts)
        if (auto at = ProbePointIn(
                NinePartRect(g, probe.Layout(i).FrameWidth, probe.Layout(i).FrameHeight, dest, part), {}))
          points.push_back({probe.Layout(i).Section + " " + NinePartName(part), *at,
                            g.Transparent && part == TNinePart::TopLeft
                                ? kBackground
                                : probe.RegionColour(i, frame, part)});
      EXPECT_EQ(int(points.size()), rows[i].Parts);
      auto picture = Paint(*rows[i].Element, g, frame, dest, 80, 50);
      EXPECT_TRUE(
          CheckProbes("probe-" + probe.Layout(i).Section + "-" + std::to_string(frame), *picture, points));
    }
  }
  // Too narrow for both side margins: the pair is dropped and the frame's whole width stretches.
  const TElementGeometry g = GeometryOf(*skin->MenuItem, false, false);
  std::vector<TProbePoint> points;
  int added = 0;
  AddElementProbes(points, "MenuItem", *skin->MenuItem, g, 2, Rect(0, 0, 8, 30), kBackground, {}, &added);
  EXPECT_EQ(added, 3);  // top, middle and bottom
  EXPECT_TRUE(
      CheckProbes("probe-MenuItem-narrow", *Paint(*skin->MenuItem, g, 2, Rect(0, 0, 8, 30), 8, 30), points));
}

TEST_F(OurSkinsTest, OurSkinsPaintTheirOwnImagesAtTwoSizes) {
  // Probes a size: light's thin margins leave room only in the middle of most elements.
  struct Row {
    const char* Name;
    TElementOf Of;
    bool Stacked, StretchKey;
    int Frame, LightProbes, DarkProbes;
  } rows[] = {
      {"Top", ELEMENT(Top), true, true, 1, 3, 3},
      {"Left", ELEMENT(Left), false, true, 2, 3, 3},
      {"MenuBar", ELEMENT(MenuBar), true, true, 2, 1, 3},
      {"Buttons", ELEMENT(Buttons), false, false, 3, 1, 9},
      {"Tabs", ELEMENT(Tabs), false, false, 2, 1, 6},
      {"HorzScroll", ELEMENT(HorzScroll), false, false, 1, 1, 1},
      {"GroupBoxEdge", ELEMENT(GroupBoxEdge), false, false, 2, 1, 9},
  };
  const TRect sizes[] = {Rect(3, 4, 143, 64), Rect(10, 2, 47, 39)};
  const std::vector<TRect> text = {Rect(60, 28, 90, 40)};  // a caption would sit here
  for (auto [skinName, skin] : {std::pair{"light", light_.get()}, std::pair{"dark", dark_.get()}})
    for (const Row& row : rows)
      for (const TRect& dest : sizes) {
        const std::string name = std::string(skinName) + "-" + row.Name + "-" + std::to_string(dest.Width());
        SCOPED_TRACE(name);
        const TDataSkinObject& e = *row.Of(*skin);
        const TElementGeometry g = GeometryOf(e, row.Stacked, row.StretchKey);
        std::vector<TProbePoint> points;
        AddElementProbes(points, name, e, g, row.Frame, dest, kBackground, text);
        EXPECT_EQ(int(points.size()), skin == light_.get() ? row.LightProbes : row.DarkProbes);
        EXPECT_TRUE(CheckProbes(name, *Paint(e, g, row.Frame, dest, 150, 70), points));
      }
}

TEST_F(OurSkinsTest, AWindowFrameShowsEachBorder) {
  // Active frame: frame 1 of each border; the light skin's rounded corners leave the background.
  struct Row {
    const char* Name;
    TFrameBorder Border;
    std::unique_ptr<TDataSkinBorder> TSkinElements::*Element;
    bool Stacked;
    int LightProbes, DarkProbes;
  } rows[] = {{"Left", TFrameBorder::Left, &TSkinElements::Left, false, 0, 3},
              {"Right", TFrameBorder::Right, &TSkinElements::Right, false, 0, 3},
              {"Top", TFrameBorder::Top, &TSkinElements::Top, true, 3, 3},
              {"Bottom", TFrameBorder::Bottom, &TSkinElements::Bottom, true, 0, 3}};
  for (auto [skinName, skin] : {std::pair{"light", light_.get()}, std::pair{"dark", dark_.get()}}) {
    SCOPED_TRACE(skinName);
    TBitmap window;
    window.SetSize(220, 130);
    window.Canvas()->Brush()->SetColor(kBackground);
    window.Canvas()->FillRect(Rect(0, 0, 220, 130));
    std::vector<TProbePoint> points;
    for (const Row& row : rows) {
      const TDataSkinBorder& e = *(skin->*row.Element);
      const TElementGeometry g = GeometryOf(e, row.Stacked, true);
      const TRect r = FrameBorderRect(*skin, row.Border, 220, 130);
      DrawNinePart(window.Canvas()->Handle(), r, e.Bitmap.get(), g.Stacked, g.TileMiddle, g.Transparent,
                   g.FrameCount, 1, g.Left, g.Top, g.Right, g.Bottom);
      int added = 0;
      AddElementProbes(points, row.Name, e, g, 1, r, kBackground, {}, &added);
      EXPECT_EQ(added, skin == light_.get() ? row.LightProbes : row.DarkProbes) << row.Name;
    }
    // The light skin's corner pixel is cut away; the dark one's is the border's own.
    const bool light = skin == light_.get();
    points.push_back({"top-left corner pixel", Point(0, 0),
                      light ? kBackground : skin->Left->Bitmap->Canvas()->Pixels(0, 0)});
    EXPECT_TRUE(CheckProbes(std::string(skinName) + "-window-frame", window, points));
  }
}

uint32_t RgbOf(TColor Colour) {
  const COLORREF c = ColorToRGB(Colour);
  return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c);
}

// The faintest contrast of Text with frame Frame of Element's image (frames side by side) where the
// text sits: inside the nine-part margins (Middle), else inside the one-pixel rim. Magenta pixels
// show the face and are left out.
double FaintestContrastOnFrame(const TDataSkinObject& Element, int Frame, bool Middle, TColor Text) {
  TBitmap& image = *Element.Bitmap;
  const int w = image.Width() / std::max(Element.FrameCount, 1), left = (Frame - 1) * w;
  const int l = Middle ? Element.LeftWidth : 1, t = Middle ? Element.TopHeight : 1;
  const int r = Middle ? Element.RightWidth : 1, b = Middle ? Element.BottomHeight : 1;
  double faintest = 21;
  for (int y = t; y + b < image.Height(); ++y)
    for (int x = left + l; x + r < left + w; ++x)
      if (const TColor c = image.Canvas()->Pixels(x, y); c != 0xFF00FF)
        faintest = std::min(faintest, test_support::ContrastRatio(RgbOf(c), RgbOf(Text)));
  return faintest;
}

// Each text colour of our skins reads on what it is drawn on: text in the default colour (labels,
// dialogs' static texts, owner-drawn panels) and in the skin's on the face, a flat button's caption
// at rest on the face, button captions on their frames at rest, hot and pressed, the status bar's
// and owner-drawn texts on its edges, header texts on their items and the captions' texts on their
// text backgrounds, active and inactive.
TEST_F(OurSkinsTest, TextColoursReadOnWhatTheyAreDrawnOn) {
  using TColourOf = std::function<TColor(TSkinElements&)>;
  const TColourOf defaultText = [](TSkinElements&) { return TColor(GetSysColor(COLOR_WINDOWTEXT)); };
  struct Row {
    const char* What;
    TElementOf On;  // nullptr: the face
    int Frame;
    TColourOf Text;
    bool Middle = true;  // the text sits inside the element's margins
  } rows[] = {
      {"default text on the face", nullptr, 0, defaultText},
      {"skin text on the face", nullptr, 0, [](TSkinElements& s) { return s.ButtonTextColour; }},
      {"flat button at rest", nullptr, 0, [](TSkinElements& s) { return s.Buttons->NormalColour2; }},
      {"button at rest", ELEMENT(Buttons), 1, [](TSkinElements& s) { return s.Buttons->NormalColour2; }},
      {"hot button", ELEMENT(Buttons), 4, [](TSkinElements& s) { return s.Buttons->MouseOverColour2; }},
      {"pressed button", ELEMENT(Buttons), 2, [](TSkinElements& s) { return s.Buttons->PressedColour2; }},
      {"status text", ELEMENT(StatusBarEdges), 1,
       [](TSkinElements& s) { return s.StatusBarEdges->NormalColour2; }},
      {"owner-drawn status text", ELEMENT(StatusBarEdges), 1, defaultText},
      {"header item", ELEMENT(Headerbar), 1, [](TSkinElements& s) { return s.ButtonTextColour; }},
      {"hot header item", ELEMENT(Headerbar), 2, [](TSkinElements& s) { return s.ButtonTextColour; }},
      // The text background is drawn as high as the text, without margins.
      {"active caption", ELEMENT(Title), 1, [](TSkinElements& s) { return s.Title->ActiveTextColour; },
       false},
      {"inactive caption", ELEMENT(Title), 2, [](TSkinElements& s) { return s.Title->InactiveTextColour; },
       false},
  };
  for (auto [skinName, skin] : {std::pair{"light", light_.get()}, std::pair{"dark", dark_.get()}})
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(skinName) + " " + row.What);
      const TColor text = row.Text(*skin);
      EXPECT_GE(row.On ? FaintestContrastOnFrame(*row.On(*skin), row.Frame, row.Middle, text)
                       : test_support::ContrastRatio(RgbOf(skin->BackgroundColour), RgbOf(text)),
                test_support::kReadableContrast);
    }
}

TEST_F(OurSkinsTest, AFailingProbeNamesThePointAndWritesThePicture) {
  TBitmap picture;
  picture.SetSize(8, 8);
  picture.Canvas()->Brush()->SetColor(kBackground);
  picture.Canvas()->FillRect(Rect(0, 0, 8, 8));
  const auto result =
      CheckProbes("probe-failure-demo", picture, {{"demo frame 1 middle", Point(3, 4), 0x0000FF}});
  EXPECT_FALSE(result);
  EXPECT_NE(
      std::string(result.message()).find("demo frame 1 middle at (3, 4): expected #FF0000, actual #102030"),
      std::string::npos);
  EXPECT_TRUE(std::ifstream(std::string(PROBE_PICTURES_DIR) + "/probe-failure-demo.png").good());
}

}  // namespace
