// Check-box and radio-button frames by state and strip, clamped to the strip; glyph placement,
// transparency, the group box's line and caption gap, and a bare "Button" check box.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/ControlClasses.h"
#include "platform/win/Painting.h"
#include "skin/SkinStateControls.h"
#include "tests/support/ProbeSkin.h"
#include "tools/skingen/SkinImages.h"
#include "tools/skinpack/SkinPacker.h"

namespace check_radio_test {

constexpr int kGlyph = 13, kW = 120, kH = 21, kGlyphTop = (kH - kGlyph) / 2;
constexpr TColor kFace = RGB(10, 20, 30), kLine = RGB(200, 0, 0), kParent = RGB(0, 120, 0),
                 kMagenta = RGB(255, 0, 255);
TColor FrameColour(bool Radio, int Frame) {
  return RGB(Radio ? 140 : 40, 15 * Frame, 90);
}

// A strip of Frames glyphs, each solid with a magenta 3 x 3 top-left corner.
std::string Strip(bool Radio, int Frames) {
  TSkinPicture p{kGlyph * Frames, kGlyph, {}};
  for (int i = 0; i < p.Width * p.Height; ++i) {
    const int x = i % p.Width % kGlyph, y = i / p.Width;
    const TColor c = x < 3 && y < 3 ? kMagenta : FrameColour(Radio, i % p.Width / kGlyph + 1);
    p.Pixels.push_back(GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c));
  }
  return EncodeBmp24(p);
}

// Check and radio strips of the given frame counts (0: none).
std::string StateSkin(int CheckFrames, int RadioFrames) {
  TSkinEntries e{{"s.ini",
                  "[TitlebarSkin]\r\nSkinName=S\r\n[Colours]\r\nButtonFace=10,20,30\r\n"
                  "ButtonShadow=200,0,0\r\n[Buttons]\r\n"}};
  for (auto [radio, frames] : {std::pair{false, CheckFrames}, {true, RadioFrames}}) {
    if (!frames) continue;
    const std::string key = radio ? "RadioButton" : "CheckButton", file = key + ".bmp";
    e[0].second += key + "=" + file + "\r\n" + key + "Frame=" + std::to_string(frames) + "\r\n";
    e.emplace_back(file, Strip(radio, frames));
  }
  return PackSkin(e);
}

TEST(SkinCheckRadioFrames, CheckRadioAndClampTables) {
  const LRESULT C = BST_CHECKED, I = BST_INDETERMINATE;
  using TIn = TCheckFrameInput;
  const std::tuple<const char*, TIn, int> checks[] = {
      {"bare checked disabled", {C, false, "", "", false, false, 0, true, 4}, 4},
      {"State wins over the window", {C, true, "cbunchecked", "true", false, false, 0, false, 4}, 1},
      {"State grayed disabled, unclamped", {0, true, "cbgrayed", "", false, false, 0, true, 4}, 6},
      {"Checked false disabled", {0, true, "", "false", false, false, 0, true, 4}, 3},
      {"DataField grayed", {0, true, "cbunchecked", "", true, false, 3, false, 4}, 4},
      {"DataField before any check", {0, true, "cbchecked", "", true, false, 0, false, 4}, 2},
      {"DataBinding", {C, true, "cbchecked", "", true, true, 2, false, 4}, 1},
      {"indeterminate disabled", {I, true, "cbchecked", "", false, false, 0, true, 4}, 4},
      {"12 disabled, mapped once", {0, true, "cbunchecked", "", false, false, 0, true, 12}, 4},
      {"12 checked disabled", {0, true, "cbchecked", "", false, false, 0, true, 12}, 8},
      {"12 State grayed", {0, true, "cbgrayed", "", false, false, 0, false, 12}, 8},
      {"12 indeterminate", {I, true, "cbgrayed", "", false, false, 0, false, 12}, 9},
      {"12 indeterminate disabled", {I, true, "cbgrayed", "", false, false, 0, true, 12}, 12}};
  for (const auto& [id, in, expected] : checks) EXPECT_EQ(CheckBoxFrame(in), expected) << id;
  // Per strip: unchecked, checked, disabled, checked and disabled.
  for (const auto& [frames, expected] : {std::pair{4, "1234"}, {8, "1548"}, {12, "1234"}})
    for (int s = 0; s < 4; ++s)
      EXPECT_EQ(RadioButtonFrame(s & 1, s & 2, frames), expected[s] - '0') << frames << s;
  const int clamps[][3] = {{6, 4, 4}, {0, 4, 1}, {5, 0, 1}, {3, 12, 3}, {-2, 8, 1}, {1 << 30, 2, 2}};
  for (const auto& c : clamps) EXPECT_EQ(ClampFrame(c[0], c[1]), c[2]) << c[0] << " of " << c[1];
}

class SkinCheckRadioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    data = std::make_unique<TSkinData>(nullptr);
    (form = new TForm(Application, 0))->SetColor(kParent);
    form->Show();
  }
  void TearDown() override { ResetVcl(); }
  void UseSkin(int CheckFrames, int RadioFrames) {
    const std::string bytes = StateSkin(CheckFrames, RadioFrames);
    data->SkinStream()->Clear();
    data->SkinStream()->WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    ASSERT_TRUE(data->LoadSkin()) << data->LoadError();
  }
  // A window's pixel after every pending paint.
  static TColor PixelOf(HWND W, int X, int Y) {
    FlushPaint();
    return WindowPixel(W, X, Y);
  }
  template <class TChild>
  TChild* Child(const std::string& Caption = "", int W = kW, int H = kH) {
    auto* c = new TChild(form);
    c->SetParent(form);
    c->SetBounds(10, 10, W, H);
    c->SetCaption(Caption);
    return c;
  }
  template <class TSkinner>
  TSkinner* Skin(TWinControl* Control) {
    auto* skinner = new TSkinner(Control);
    skinner->AttachControl(nullptr, data.get(), false, nullptr);
    skinner->Repaint();
    return skinner;
  }
  std::unique_ptr<TSkinData> data;
  TForm* form = nullptr;
};

TEST_F(SkinCheckRadioTest, PaintedFramesPlacementAndClamp) {
  enum { kUnchecked, kChecked, kGrayed };
  // Id, radio, strip frames, state, disabled, BS_LEFTTEXT, window's grayed bit cleared, frame.
  const std::tuple<const char*, bool, int, int, bool, bool, bool, int> cases[] = {
      {"check 4 grayed", false, 4, kGrayed, false, true, false, 4},
      {"check 4 State grayed disabled, no window bit: 6 clamped", false, 4, kGrayed, true, false, true, 4},
      {"check 12 checked", false, 12, kChecked, false, false, false, 5},
      {"check 12 grayed disabled", false, 12, kGrayed, true, true, false, 12},
      {"radio 4 checked", true, 4, kChecked, false, true, false, 2},
      {"radio 8 checked disabled", true, 8, kChecked, true, false, false, 8},
      {"radio 8 unchecked disabled", true, 8, kUnchecked, true, true, false, 4},
      {"radio 3 checked disabled: 4 clamped", true, 3, kChecked, true, false, false, 3}};
  for (const auto& [id, radio, frames, state, disabled, leftText, clearWindowBit, frame] : cases) {
    SCOPED_TRACE(id);
    UseSkin(frames, frames);
    const TLeftRight alignment = leftText ? taLeftJustify : taRightJustify;
    auto* r = radio ? Child<TRadioButton>() : nullptr;
    auto* b = radio ? nullptr : Child<TCheckBox>();
    if (r) r->SetAlignment(alignment), r->SetChecked(state == kChecked);
    if (b) b->SetAllowGrayed(true), b->SetAlignment(alignment), b->SetState(TCheckBoxState(state));
    TButtonControl* control = r ? static_cast<TButtonControl*>(r) : b;
    control->SetEnabled(!disabled);
    TSkinCheckBox* skinner = radio ? Skin<TSkinRadioButton>(control) : Skin<TSkinCheckBox>(control);
    EXPECT_TRUE(skinner->OwnPaint);
    TMessage clear(BM_SETCHECK, BST_UNCHECKED, 0);
    if (clearWindowBit) skinner->CallDefault(clear), skinner->Repaint();
    const HWND w = control->Handle();
    const int inset = radio && leftText ? 1 : 0, mid = kGlyphTop + kGlyph / 2;
    const int glyphLeft = leftText ? kW - inset - kGlyph : 0;
    EXPECT_EQ(PixelOf(w, glyphLeft + kGlyph / 2, mid), FrameColour(radio, frame));
    EXPECT_EQ(PixelOf(w, leftText ? glyphLeft - 1 : kGlyph, mid), kFace);
    if (inset) {
      EXPECT_EQ(PixelOf(w, kW - 1, mid), kFace);
    }
    delete control;
  }
}

TEST_F(SkinCheckRadioTest, TransparentShowsTheParentAndNoStripLeavesTheControl) {
  UseSkin(4, 4);
  for (const auto& [id, tag, option, under] : {std::tuple{"opaque", 0, false, kFace},
                                               {"Tag 5555", kSkinTransparentTag, false, kParent},
                                               {"xoTransparent", 0, true, kParent}}) {
    SCOPED_TRACE(id);
    data->SetOptions(option ? TSkinOptions{xoTransparent} : TSkinOptions{});
    auto* box = Child<TCheckBox>();
    box->SetTag(tag);
    EXPECT_EQ(Skin<TSkinCheckBox>(box)->Transparent, under == kParent);
    EXPECT_EQ(PixelOf(box->Handle(), 1, kGlyphTop + 1), under);  // the glyph's magenta corner
    EXPECT_EQ(PixelOf(box->Handle(), kW - 3, 2), under);
    delete box;
  }
  UseSkin(0, 0);
  auto* box = Child<TCheckBox>("x");
  const TColor before[] = {PixelOf(box->Handle(), 6, 10), PixelOf(box->Handle(), kW - 3, 2)};
  EXPECT_FALSE(Skin<TSkinCheckBox>(box)->OwnPaint);
  EXPECT_EQ(PixelOf(box->Handle(), 6, 10), before[0]);
  EXPECT_EQ(PixelOf(box->Handle(), kW - 3, 2), before[1]);
}

// The line runs through the middle of the caption's height; a caption of blanks interrupts it in
// the skin colour. A bare group box also gets its own frame covered in the skin colour.
TEST_F(SkinCheckRadioTest, GroupBoxLineAndCaptionGap) {
  UseSkin(4, 4);
  constexpr int kBoxW = 160, kBoxH = 90;
  const std::string caption = "      ";
  for (const bool bare : {false, true}) {
    SCOPED_TRACE(bare ? "bare" : "class library");
    TGroupBox* box = bare ? nullptr : Child<TGroupBox>(caption, kBoxW, kBoxH);
    const HWND w = box ? box->Handle()
                       : CreateWindowEx(0, "Button", caption, WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 10, 10,
                                        kBoxW, kBoxH, form->Handle(), nullptr, MainInstance(), nullptr);
    TSkinGroupBox* skinner = box ? Skin<TSkinGroupBox>(box) : new TSkinGroupBox(nullptr);
    if (bare) skinner->AttachWindow(w, data.get(), nullptr, nullptr);
    EXPECT_EQ(skinner->OwnPaint, !bare);
    HDC dc = GetDC(w);
    SelectObject(dc, box ? box->Font()->Handle() : HFONT(SendMessage(w, WM_GETFONT, 0, 0)));
    SIZE text{};
    GetTextExtentPoint32(dc, caption, &text);
    ReleaseDC(w, dc);
    const int lineY = text.cy / 2 - 1;
    const std::tuple<const char*, int, int, TColor> probes[] = {
        {"line after the caption", 8 + text.cx + 6, lineY, kLine},
        {"caption gap", 8 + text.cx / 2, lineY, kFace},
        {"left line", 1, kBoxH / 2, kLine},
        {"right line", kBoxW - 2, kBoxH / 2, kLine},
        {"bottom line", kBoxW / 2, kBoxH - 2, kLine},
        {"outer frame", 0, kBoxH / 2, bare ? kFace : kParent}};
    for (const auto& [id, x, y, expected] : probes) EXPECT_EQ(PixelOf(w, x, y), expected) << id;
    if (bare) delete skinner, DestroyWindow(w);
    delete box;
  }
}

// A bare "Button" check box paints itself, then gets the glyph over its own.
TEST_F(SkinCheckRadioTest, BareButtonCheckBoxFollowsItsWindowState) {
  UseSkin(4, 4);
  const HWND w = CreateWindowEx(0, "Button", "bare", WS_CHILD | WS_VISIBLE | BS_AUTO3STATE, 10, 40, kW, kH,
                                form->Handle(), nullptr, MainInstance(), nullptr);
  TSkinCheckBox skinner(nullptr);
  skinner.AttachWindow(w, data.get(), nullptr, nullptr);
  EXPECT_FALSE(skinner.OwnPaint);
  EXPECT_EQ(skinner.Text, "bare");
  // Id, message (WM_KEYUP: a space press, WM_ENABLE: disable and check), WParam, CheckState, frame.
  const std::tuple<const char*, UINT, WPARAM, int, int> steps[] = {
      {"attached", 0, 0, 0, 1},
      {"BM_SETCHECK checked", BM_SETCHECK, BST_CHECKED, 2, 2},
      {"space: indeterminate", WM_KEYUP, 0, 3, 4},
      {"disabled checked", WM_ENABLE, 0, 2, 4},
      {"disabled unchecked", BM_SETCHECK, BST_UNCHECKED, 1, 3}};
  for (const auto& [id, msg, wParam, checkState, frame] : steps) {
    SCOPED_TRACE(id);
    if (msg == WM_ENABLE) EnableWindow(w, FALSE), SendMessage(w, BM_SETCHECK, BST_CHECKED, 0);
    if (msg == WM_KEYUP) SendMessage(w, WM_KEYDOWN, VK_SPACE, 0), SendMessage(w, WM_KEYUP, VK_SPACE, 0);
    if (msg == BM_SETCHECK) SendMessage(w, msg, wParam, 0);
    EXPECT_EQ(skinner.CheckState, checkState);
    EXPECT_EQ(PixelOf(w, kGlyph / 2, kGlyphTop + kGlyph / 2), FrameColour(false, frame));
  }
  DestroyWindow(w);
}

}  // namespace check_radio_test
