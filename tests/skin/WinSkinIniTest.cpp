// The skin's ini reader, its section reader and the load sequence, on skins packed in memory.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/gdi/BmpCodec.h"
#include "platform/gdi/Colors.h"
#include "platform/rtl/Streams.h"
#include "platform/win/Windows.h"
#include "skin/SkinRead.h"
#include "skin/WinSkinIni.h"
#include "tools/skinpack/SkinPacker.h"

namespace {

// A 24-bit BMP file whose pixel (x, y) is Colour(x, y) (0xRRGGBB).
std::string Bmp(int W, int H, const std::function<uint32_t(int, int)>& Colour, int BitCount = 24) {
  TBmpImage image;
  image.Width = W;
  image.Height = H;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) image.Pixels.push_back(Colour(x, y));
  TBmpWriteOptions options;
  options.BitCount = BitCount;
  const auto bytes = EncodeBmp(image, options);
  return std::string(bytes.begin(), bytes.end());
}

uint32_t Unique(int X, int Y) {
  return static_cast<uint32_t>(0x100000 + Y * 256 + X);
}

class WinSkinIniTest : public ::testing::Test {
 protected:
  std::unique_ptr<TSkinElements> Load(const std::string& Ini, TSkinEntries Entries = {}) {
    Entries.insert(Entries.begin(), {"Skin.INI", Ini});
    TStringStream skin(PackSkin(Entries, TLzhPackMode::Greedy));
    std::unique_ptr<TSkinElements> out;
    std::string reason;
    EXPECT_TRUE(LoadSkinElements(&skin, out, reason)) << reason;
    return out;
  }
};

// A line without "=" has an empty key and no value; the first line whose key matches decides.
TEST_F(WinSkinIniTest, IniKeylessLinesAndFirstMatch) {
  struct {
    const char *Text, *Key, *Expected;
  } const kCases[] = {
      {"[S]\nbare line\n = v\n", "", "def"}, {"[S]\n = v\nbare line\n", "", "v"},
      {"[S]\nk = \nk=2\n", "K", "def"},      {"[S]\n K =1=2 \nk=3\n", "k", "1=2"},
      {"[S]\n[T]\nk=1\n", "k", "def"},       {"[S]\nk\nk=4\n", "k", "4"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.Text);
    TQuickIni ini;
    ini.LoadFromText(c.Text);
    EXPECT_EQ(ini.ReadString("s", c.Key, "def"), c.Expected);
  }
}

TEST_F(WinSkinIniTest, IniRulesAndColourValues) {
  TQuickIni ini;
  ini.LoadFromText(
      "  [Main] \r\n Key A = 7 \r;x=1\nEmpty=\rEmpty=5\n\nHex=0x1F\nBare=0x\nDollar=$10\nbad=1z\n"
      "[ Spaced ]\nk=v\n[main]\nKey A=9\n");
  struct {
    const char *Section, *Key, *Expected;
  } const kStrings[] = {{"MAIN", "key a", "7"}, {"Main", "Empty", "def"}, {"Main", ";x", "def"},
                        {"Main", "KEY A", "7"}, {"Spaced", "k", "def"},   {" Spaced ", "k", "v"},
                        {"Other", "k", "def"},  {"Main", "k", "def"}};
  for (const auto& c : kStrings) {
    SCOPED_TRACE(std::string(c.Section) + "/" + c.Key);
    EXPECT_EQ(ini.ReadString(c.Section, c.Key, "def"), c.Expected);
  }
  struct {
    const char* Key;
    int32_t Expected;
  } const kIntegers[] = {{"Hex", 31}, {"Bare", -4}, {"Dollar", 16}, {"bad", -4}, {"Key A", 7}};
  for (const auto& c : kIntegers) {
    SCOPED_TRACE(c.Key);
    EXPECT_EQ(ini.ReadInteger("Main", c.Key, -4), c.Expected);
  }
  std::vector<std::string> sections;
  ini.GetSections(sections);
  EXPECT_EQ(sections, (std::vector<std::string>{"Main", "Spaced", "main"}));
  EXPECT_EQ(ini.Lines().size(), 12u);

  struct {
    const char* Value;
    bool Given;
    TColor Expected;
  } const kColours[] = {{"1 2 3", true, 0x030201},   {"300 2 999999999999", true, 0xFF02FF},
                        {"7", true, 0x000007},       {"1,2,3,4", true, 0x030201},
                        {"-5 x6 7", true, 0x070605}, {"", false, 0x123456},
                        {"red", false, 0x123456}};
  for (const auto& c : kColours) {
    SCOPED_TRACE(c.Value);
    TColor colour = 0x123456;
    EXPECT_EQ(ParseSkinColour(c.Value, colour), c.Given);
    EXPECT_EQ(colour, c.Expected);
  }
}

TEST_F(WinSkinIniTest, SectionDefaultsFollowTheSystemColours) {
  auto e = Load("[Colours]\nButtonFace=1 2 3\nMenu=\nHilight=junk\n[Customcolors]\nColor3=9 9 9\n");
  ASSERT_TRUE(e);
  auto sys = [](int Index) { return static_cast<TColor>(GetSysColor(Index)); };
  struct {
    const char* Name;
    TColor Actual, Expected;
  } const kCases[] = {{"WindowText", e->TextColour, sys(COLOR_WINDOWTEXT)},
                      {"ButtonFace", e->BackgroundColour, 0x030201},
                      {"Menubar", e->MenubarColour, 0x030201},
                      {"Menu", e->MenuColour, sys(COLOR_MENU)},
                      {"Hilight", e->HilightColour, sys(COLOR_HIGHLIGHT)},
                      {"Buttonlight", e->ButtonLight, sys(COLOR_BTNHIGHLIGHT)},
                      {"ButtonDkShadow", e->ButtonDkShadow, sys(COLOR_3DDKSHADOW)},
                      {"TitleTextNoActive", e->TitleTextNoActive, sys(COLOR_INACTIVECAPTIONTEXT)},
                      {"Color3", e->CustomColors[3], 0x090909},
                      {"Color4", e->CustomColors[4], 0xFFFFFF},
                      {"Title active", e->Title->ActiveTextColour, TDataSkinTitle::kNoTextColour}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(c.Actual, c.Expected);
  }
  EXPECT_EQ(e->Title->FontHeight, 14);
  EXPECT_EQ(e->SysButtons.size(), 3u);   // only the three MDI buttons, without images
  EXPECT_EQ(e->Elements().size(), 12u);  // borders, buttons, title, tracks, toolbar, MDI buttons
}

TEST_F(WinSkinIniTest, FrameCountsAndMargins) {
  auto e = Load(
      "[Personality]\nLeft=l.bmp\nLeftFrame=0\nLeftTopHeight=50\nLeftBotHeight=-3\nLeftStretch=4\n"
      "Top=d/t.bmp\nTopFrame=-2\nTopTopHeight=99\nmenuBar=C:t.bmp\nActiveTextR=1\n[Fonts]\nActiveTextG=300\n"
      "ActiveTextB=3\n[Buttons]\nRadioButton=r.bmp\nCheckButton=c.bmp\nCheckButtonFrame=-1\n"
      "[Tab.Pane]\nImage=t.bmp\nLeftWidth=9\n[HorzScrollThumb]\nImage=l.bmp\nFrameCount=0\nTopHeight=-8\n"
      "[Button.Close]\nButtonImage=w.bmp\n[BUTTONWIDE]\nButtonImage=w.bmp\nAction=-2\n[Button.Hidden]"
      "\nAction=-1\n"
      "[ButtonIcon]\nAction=11\nButtonImage=t.bmp\n[Headerbar]\nImage=bad.bmp\n[MenuItem]\nImage=l.BMP\n",
      {{"l.bmp", Bmp(6, 20, Unique)},
       {"t.bmp", Bmp(30, 8, Unique)},
       {"r.bmp", Bmp(52, 13, Unique)},
       {"c.bmp", Bmp(80, 16, Unique)},
       {"w.bmp", Bmp(38, 10, Unique)},
       {"bad.bmp", "BM not a bitmap"}});
  ASSERT_TRUE(e);
  struct {
    const char* Name;
    int32_t Actual, Expected;
  } const kCases[] = {{"Left frames", e->Left->FrameCount, 1},
                      {"Left top", e->Left->TopHeight, 20},
                      {"Left bottom", e->Left->BottomHeight, 0},
                      {"Left tile", e->Left->Tile, 1},
                      {"Top frames", e->Top->FrameCount, 1},
                      {"Top left", e->Top->LeftWidth, 30},
                      {"Radio glyphs", e->Buttons->RadioButtonFrame, 4},
                      {"Check glyphs", e->Buttons->CheckButtonFrame, 1},
                      {"Menu bar frames", e->MenuBar->FrameCount, 2},
                      {"Menu bar top", e->MenuBar->TopHeight, 0},
                      {"Menu bar left", e->MenuBar->LeftWidth, 1},
                      {"Pane left", e->TabPane->LeftWidth, 4},
                      {"Thumb frames", e->HorzScrollThumb->FrameCount, 1},
                      {"Thumb top", e->HorzScrollThumb->TopHeight, 0},
                      {"Close frames", e->SysButtons[0]->FrameCount, 3},
                      {"Wide frames", e->SysButtons[1]->FrameCount, 6},
                      {"Icon image", e->SysButtons[2]->Bitmap->Width(), 0},
                      {"Active text", e->Title->ActiveTextColour, 0x03FF01}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(c.Actual, c.Expected);
  }
  EXPECT_EQ(e->SysButtons[0]->Name, "BUTTON.CLOSE");
  EXPECT_EQ(e->SysButtons.size(), 6u);  // Close, WIDE, Icon, three MDI; Hidden is left out
  EXPECT_FALSE(e->Headerbar);           // invalid image entry
  EXPECT_FALSE(e->MenuItem);            // extension in capitals
}

TEST_F(WinSkinIniTest, DerivedImagesByPixel) {
  auto e = Load("[ComboButton]\nImage=b.bmp\n[MDICONTROLS]\nImage=m.bmp\n",
                {{"b.bmp", Bmp(8, 3, Unique)}, {"m.bmp", Bmp(25, 2, Unique)}});
  ASSERT_TRUE(e);
  const TBmpImage button = e->ComboButton->Bitmap->ToImage(), mirrored = e->ComboButton->Bitmap2->ToImage();
  ASSERT_EQ(mirrored.Width, 8);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(mirrored.Pixel(x, y), button.Pixel(7 - x, y)) << x << "," << y;
  ASSERT_EQ(e->SysButtons.size(), 3u);
  for (int k = 0; k < 3; ++k) {
    SCOPED_TRACE(k);
    const TDataSkinSysButton& b = *e->SysButtons[k];
    EXPECT_EQ(b.Action, 7 + k);
    EXPECT_EQ(b.Xcoord, (3 - k) * 6);
    const TBmpImage image = b.Bitmap->ToImage();
    ASSERT_EQ(image.Width, 8);
    EXPECT_EQ(image.Pixel(0, 1), Unique(8 * k, 1));
    EXPECT_EQ(image.Pixel(7, 0), Unique(8 * k + 7, 0));
  }
}

// Frame k of a strip of Frames solid frames, each FrameWidth wide, has colour Base + k.
std::string SolidFrames(int Frames, int FrameWidth, int Height, uint32_t Base) {
  return Bmp(Frames * FrameWidth, Height, [=](int X, int) { return Base + X / FrameWidth; });
}

TEST_F(WinSkinIniTest, ComboStripsAndToolbarGradient) {
  auto e = Load("[Colours]\nButtonFace=100 100 100\n[SunkEdge]\nImage=s.bmp\n[ComboButton]\nImage=b.bmp\n",
                {{"s.bmp", SolidFrames(4, 10, 10, 0x202000)}, {"b.bmp", SolidFrames(4, 8, 10, 0x404000)}});
  ASSERT_TRUE(e && e->SunkEdge && e->ComboButton);
  const int b = GetSystemMetrics(SM_CXHSCROLL) + 2;
  const TBmpImage combo = e->ComboButton->Bitmap->ToImage(), sunk = e->SunkEdge->Bitmap->ToImage();
  ASSERT_EQ(combo.Width, 200);
  ASSERT_EQ(combo.Height, 21);
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const int x0 = 50 * i;
    EXPECT_EQ(combo.Pixel(x0 + 1, 1), 0x202000u + i);            // the sunk edge
    EXPECT_EQ(combo.Pixel(x0 + 50 - b + 2, 10), 0x404000u + i);  // the button
    EXPECT_EQ(combo.Pixel(x0 + 10, 10), 0xFF00FFu);              // the hollow middle
    EXPECT_EQ(sunk.Pixel(199 - x0 - 1, 1), 0x202000u + i);       // mirrored
  }
  struct {
    const char* Name;
    int32_t Actual, Expected;
  } const kCases[] = {{"combo style", e->ComboButton->Style, 2},
                      {"combo left", e->ComboButton->LeftWidth, 2},
                      {"combo right", e->ComboButton->RightWidth, b + 2},
                      {"sunk left", e->SunkEdge->LeftWidth, b + 2},
                      {"sunk right", e->SunkEdge->RightWidth, 2}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(c.Actual, c.Expected);
  }
  // Without a top border the base is the background (100 grey): from 232 grey down to 171 grey.
  const TBmpImage toolbar = e->Toolbar->Bitmap->ToImage();
  ASSERT_EQ(toolbar.Height, 40);
  EXPECT_EQ(toolbar.Pixel(5, 0), 0xE8E8E8u);
  EXPECT_EQ(toolbar.Pixel(5, 39), 0xABABABu);
}

TEST_F(WinSkinIniTest, ReloadRefusalsAndTheImageCap) {
  const std::string ini = "[Button.Min]\nButtonImage=w.bmp\n";
  auto first = Load(ini, {{"w.bmp", Bmp(9, 3, Unique)}});
  auto second = Load(ini, {{"w.bmp", Bmp(9, 3, Unique)}});
  ASSERT_TRUE(first && second);
  EXPECT_EQ(second->SysButtons.size(), 4u);
  EXPECT_EQ(second->SysButtons[0]->FrameCount, 3);

  std::string manyButtons;  // one section more than a skin may hold, none with an image
  for (size_t i = 0; i <= kSkinMaxTitleButtons; ++i) manyButtons += "[Button" + std::to_string(i) + "]\n";
  const std::string big = Bmp(
      4096, 4000, [](int, int) { return 0u; }, 1);
  struct {
    const char* Name;
    std::string Skin;
    const char* Reason;
  } const kRefusals[] = {
      {"no ini", PackSkin({{"a.bmp", "x"}}, TLzhPackMode::Literal), kSkinNoIni},
      {"truncated", PackSkin({{"s.ini", std::string(4000, 'x')}}, TLzhPackMode::Literal).substr(0, 300),
       kSkinTruncated},
      {"images",
       PackSkin({{"s.ini", "[Personality]\nLeft=b.bmp\nRight=b.bmp\nTop=b.bmp\n"}, {"b.bmp", big}},
                TLzhPackMode::Greedy),
       kSkinImagesTooLarge},
      {"buttons", PackSkin({{"s.ini", manyButtons}}, TLzhPackMode::Greedy), kSkinTooManyTitleButtons}};
  for (const auto& c : kRefusals) {
    SCOPED_TRACE(c.Name);
    TStringStream skin(c.Skin);
    std::unique_ptr<TSkinElements> held = std::move(first);
    TSkinElements* before = held.get();
    std::string reason;
    EXPECT_FALSE(LoadSkinElements(&skin, held, reason));
    EXPECT_EQ(reason, c.Reason);
    EXPECT_EQ(held.get(), before);
    first = std::move(held);
  }
}

}  // namespace
