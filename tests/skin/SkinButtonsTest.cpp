// Button skinners: frames and caption colours by state, glyph layout, speed buttons, pictures,
// the menu arrow, and clicks only for presses that began on the button.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/vcl/Buttons.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Input.h"
#include "platform/win/Painting.h"
#include "skin/SkinButtons.h"
#include "tests/support/ProbeSkin.h"

namespace {

constexpr TColor kFace = RGB(10, 20, 30), kParent = RGB(0, 120, 0), kNormal2 = RGB(1, 2, 3),
                 kOver2 = RGB(4, 5, 6), kPressed2 = RGB(7, 8, 9);
constexpr TColor kRed = RGB(200, 0, 0), kBlue = RGB(30, 60, 90), kGrey = RGB(60, 60, 60),
                 kGreen = RGB(0, 150, 0);

// Solid glyphs of 16 x 16 side by side, each with a black bottom-left pixel (the transparent one).
TBitmap* GlyphStrip(const std::vector<TColor>& Colours) {
  static TBitmap strip;
  strip.SetSize(int(Colours.size()) * 16, 16);
  for (int i = 0; i < int(Colours.size()); ++i) {
    strip.Canvas()->Brush()->SetColor(Colours[size_t(i)]);
    strip.Canvas()->FillRect(Bounds(i * 16, 0, 16, 16));
    strip.Canvas()->SetPixels(i * 16, 15, clBlack);
  }
  return &strip;
}

// The ink of a 10 x 10 plus sign: two bars of two pixels through the middle.
bool PlusInk(int X, int Y) {
  const bool across = X >= 1 && X <= 8, along = Y >= 1 && Y <= 8;
  return (across && (Y == 4 || Y == 5)) || (along && (X == 4 || X == 5));
}

// A list of 10 x 10 plus signs, one in each colour, on the fuchsia mask.
std::unique_ptr<TImageList> PlusSigns(const std::vector<TColor>& Inks) {
  auto list = std::make_unique<TImageList>(nullptr);
  list->SetWidth(10);
  list->SetHeight(10);
  for (TColor ink : Inks) {
    TBitmap sign;
    sign.SetSize(10, 10);
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 10; ++x) sign.Canvas()->SetPixels(x, y, PlusInk(x, y) ? ink : clFuchsia);
    list->AddMasked(&sign, clFuchsia);
  }
  return list;
}

// A speed button that draws its glyph itself, as the grid's navigator and search buttons do: an
// entry of its image list centred (one pixel further while pressed), the disabled list's while
// disabled.
class TListGlyphButton : public TSpeedButton {
 public:
  using TSpeedButton::TSpeedButton;
  TPoint GlyphAt() const {
    const int shift = FState == bsDown ? 1 : 0;
    return {(Width() - 10) / 2 + shift, (Height() - 10) / 2 + shift};
  }
  void Paint() override {
    SyncStateWithEnabled();
    DrawFace(Canvas());
    DrawGlyph(Canvas());
  }
  bool PaintContentOverFace(TCanvas* Over) override {
    InkGiven = Over->Font()->Color();
    SyncStateWithEnabled();
    DrawGlyph(Over);
    return true;
  }
  TCustomImageList* Images = nullptr;
  TCustomImageList* DisabledImages = nullptr;
  int Index = 0;
  // The font colour of the last paint over a skin's face.
  TColor InkGiven = clNone;

 private:
  void DrawGlyph(TCanvas* On) {
    const TPoint at = GlyphAt();
    (Enabled() ? Images : DisabledImages)->Draw(On, at.X, at.Y, Index);
  }
};

}  // namespace

TEST(SkinButtonRules, FramesGlyphsCaptionsAndLayouts) {
  // State (1 hot, 2 pressed), focused, disabled, frame.
  const int frames[][4] = {{0, 0, 0, 1}, {0, 1, 0, 4}, {1, 0, 0, 4},
                           {2, 0, 0, 2}, {3, 1, 0, 2}, {1, 0, 1, 3}};
  for (const auto& f : frames)
    EXPECT_EQ(ButtonFrame(uint8_t(f[0]), f[1], f[2]), f[3]) << f[0] << f[1] << f[2];
  const int glyphs[][3] = {{1, 4, 1}, {2, 4, 3}, {3, 4, 2}, {4, 4, 1}, {2, 2, 1}, {3, 0, 1}, {2, 3, 3}};
  for (const auto& g : glyphs) EXPECT_EQ(GlyphForFrame(g[0], g[1]), g[2]) << g[0] << " of " << g[1];
  EXPECT_EQ(ButtonCaption("a||b"), "a\r\nb");
  EXPECT_EQ(ButtonCaption("a||b||c"), "a\r\nb||c");

  // A 100 x 40 client, a 16 x 16 glyph and a 30 x 14 text. Variant: 1 taCenter, 2 speed button,
  // 4 no text. Id, layout, margin, spacing, variant, glyph, text, flags.
  const UINT WB = DT_WORDBREAK;
  const std::tuple<const char*, int, int, int, int, TPoint, TPoint, UINT> cases[] = {
      {"left", 0, 4, 2, 0, {4, 12}, {22, 13}, WB},
      {"right", 1, 4, 2, 0, {80, 12}, {48, 13}, WB | DT_RIGHT},
      {"top", 2, 4, 2, 0, {42, 4}, {35, 22}, WB | DT_CENTER},
      {"bottom", 3, 4, 2, 0, {42, 20}, {35, 4}, WB | DT_CENTER},
      {"margin and spacing -1: thirds", 0, -1, -1, 0, {18, 12}, {52, 13}, WB},
      {"margin -1, spacing 4: centred pair", 0, -1, 4, 0, {25, 12}, {45, 13}, WB},
      {"margin 4, spacing -1: spacing splits the rest", 0, 4, -1, 0, {4, 12}, {45, 13}, WB},
      {"taCenter ignores the margin", 0, 4, -1, 1, {18, 12}, {52, 13}, WB},
      {"no text: no spacing", 0, 4, 2, 4, {4, 12}, {20, 20}, WB},
      {"speed: one more margin, no alignment", 0, -1, 4, 3, {26, 12}, {46, 13}, WB}};
  for (const auto& [id, layout, margin, spacing, variant, glyph, at, flags] : cases) {
    SCOPED_TRACE(id);
    const TSize text = variant & 4 ? TSize{0, 0} : TSize{30, 14};
    const TGlyphLayout l =
        LayoutGlyph(Rect(0, 0, 100, 40), {16, 16}, text, layout, margin, spacing, variant & 1, variant & 2);
    EXPECT_EQ(l.Glyph, glyph);
    EXPECT_EQ(l.Text, Bounds(at.X, at.Y, text.cx, text.cy));
    EXPECT_EQ(l.TextFlags, flags);
  }
}

class SkinButtonsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    // Five frames with margins of 6; every frame's top-left corner is magenta (transparent).
    probe.Add({"Buttons", 5, false, 16, 16, 6, 6, 6, 6, true});
    data = ButtonSkin("1,2,3", "10,20,30");
    ASSERT_NE(data, nullptr);
    (form = new TForm(Application, 0))->SetBounds(100, 100, 300, 200);
    form->SetColor(kParent);
    form->Show();
  }
  void TearDown() override { ResetVcl(); }
  // The probe's button element with the caption colours of frames 4 and 2 fixed, Normal2 for
  // frame 1 and Face as the skin's colour.
  std::unique_ptr<TSkinData> ButtonSkin(const std::string& Normal2, const std::string& Face) {
    return LoadEditedProbeSkin(probe, [&](std::string& Ini) {
      Ini.replace(Ini.find("Image=", Ini.find("[Buttons]")), 5, "Bitmap");
      Ini += "NormalColour2=" + Normal2 + "\r\nMouseOverColour2=4,5,6\r\nPressedColour2=7,8,9\r\n";
      Ini += "[Colours]\r\nButtonFace=" + Face + "\r\n";
    });
  }
  template <class TButtonClass>
  TButtonClass* Child(const char* Caption, int Width = 90) {
    auto* b = new TButtonClass(form);
    b->SetParent(form);
    b->SetBounds(10, 10, Width, 30);
    b->SetCaption(Caption);
    return b;
  }
  // The pixels of Area of the form's client area after every pending paint.
  std::unique_ptr<TBitmap> Picture(const TRect& Area) {
    FlushPaint();
    auto picture = std::make_unique<TBitmap>();
    picture->SetSize(Area.Width(), Area.Height());
    HDC dc = GetDC(form->Handle());
    BitBlt(picture->Canvas()->Handle(), 0, 0, Area.Width(), Area.Height(), dc, Area.Left, Area.Top, SRCCOPY);
    ReleaseDC(form->Handle(), dc);
    return picture;
  }
  // Nine probes of the button frame, none on the caption in the middle.
  ::testing::AssertionResult ShowsFrame(TBitmap& Picture, int Frame, TColor Under) {
    const TDataSkinButton& b = *data->Elements()->Buttons;
    std::vector<TProbePoint> points;
    int added = 0;
    AddElementProbes(points, "Buttons", b, GeometryOf(b, false, false), Frame, Rect(0, 0, 90, 30), Under,
                     {Rect(25, 0, 65, 30)}, &added);
    EXPECT_EQ(added, 9);
    return CheckProbes("button-frame-" + std::to_string(Frame), Picture, points);
  }
  // The left button pressed (Down) or released at a point of the form, or just a move there.
  void Mouse(POINT At, int Down = -1) {
    Input::MouseMove(At);
    if (Down >= 0) (Down ? Input::MouseDown : Input::MouseUp)(VK_LBUTTON, At);
    Application->ProcessMessages();
  }
  TProbeSkin probe;
  std::unique_ptr<TSkinData> data;
  TForm* form = nullptr;
};

TEST_F(SkinButtonsTest, FramesByStateAndCaptionColours) {
  enum { kNormal, kFocused, kHot, kPressed, kDisabled, kTransparentTag };
  // Id, step, frame, caption colour.
  const std::tuple<const char*, int, int, TColor> cases[] = {
      {"normal", kNormal, 1, kNormal2},
      {"focused", kFocused, 4, kOver2},
      {"hot", kHot, 4, kOver2},
      {"pressed", kPressed, 2, kPressed2},
      {"disabled", kDisabled, 3, clBtnShadow},
      {"Tag 5555: the parent under the corner", kTransparentTag, 1, kNormal2}};
  const POINT centre = form->ClientToScreen(Point(55, 25));
  for (const auto& [id, step, frame, caption] : cases) {
    SCOPED_TRACE(id);
    Mouse({0, 0});
    auto* button = Child<TButton>("OK");
    if (step == kTransparentTag) button->SetTag(kSkinTransparentTag);
    auto* skinner = new TSkinButton(button);
    skinner->AttachControl(nullptr, data.get(), false, nullptr);
    FlushPaint();
    if (step == kFocused) button->SetFocus();
    if (step == kHot || step == kPressed) Mouse(centre, step == kPressed ? 1 : -1);
    if (step == kDisabled) button->SetEnabled(false);
    EXPECT_TRUE(
        ShowsFrame(*Picture(Bounds(10, 10, 90, 30)), frame, step == kTransparentTag ? kParent : kFace));
    EXPECT_EQ(skinner->Buffer->Canvas()->Font()->Color(), caption);
    if (step == kPressed) Mouse({0, 0}, 0);
    delete button;
  }
}

TEST_F(SkinButtonsTest, ClickOnlyWhenPressedOnTheButton) {
  enum { kPressHere, kPressBeside, kPressLeaveReturn };
  const std::tuple<const char*, int, size_t> cases[] = {
      {"pressed and released here", kPressHere, 1},
      {"pressed beside, released here", kPressBeside, 0},
      {"pressed, left, released back here", kPressLeaveReturn, 0}};
  // The control's OnClick, or the WM_COMMAND a bare "Button" window's parent gets.
  std::vector<std::pair<WPARAM, LPARAM>> clicks;
  form->SetWindowProc([&, old = form->WindowProc()](TMessage& M) {
    if (M.Msg == WM_COMMAND) clicks.emplace_back(M.WParam, M.LParam);
    old(M);
  });
  const POINT here = form->ClientToScreen(Point(30, 25)), beside = form->ClientToScreen(Point(150, 25));
  for (bool bare : {false, true})
    for (const auto& [id, path, count] : cases) {
      SCOPED_TRACE(std::string(bare ? "bare " : "TButton ") + id);
      Mouse({0, 0});
      clicks.clear();
      TButton* button = bare ? nullptr : Child<TButton>("Go");
      const HWND window =
          button ? button->Handle()
                 : CreateWindowEx(0, "Button", "Go", WS_CHILD | WS_VISIBLE, 10, 10, 90, 30, form->Handle(),
                                  reinterpret_cast<HMENU>(42), MainInstance(), nullptr);
      TSkinButton bareSkinner(nullptr);
      if (button) {
        button->OnClick = [&](TObject*) { clicks.emplace_back(0, 0); };
        (new TSkinButton(button))->AttachControl(nullptr, data.get(), false, nullptr);
      } else {
        bareSkinner.AttachWindow(window, data.get(), nullptr, nullptr);
      }
      FlushPaint();
      Mouse(path == kPressBeside ? beside : here, 1);
      if (path == kPressLeaveReturn) Mouse(beside);
      Mouse(here, 0);
      EXPECT_EQ(clicks, decltype(clicks)(count, {WPARAM(bare ? 42 : 0), bare ? LPARAM(window) : 0}));
      if (bare) DestroyWindow(window);
      delete button;
    }
}

TEST_F(SkinButtonsTest, GlyphsPicturesSpeedButtonsAndTheMenuArrow) {
  // A bit button with Margin 4 (glyph at (4, 7)): glyph 1, the disabled glyph 2 grey; a picture
  // property draws the whole strip. Id, disabled, picture, probe, colour.
  const std::tuple<const char*, bool, bool, TPoint, TColor> bits[] = {
      {"glyph 1", false, false, {12, 15}, kRed},
      {"disabled glyph 2 grey", true, false, {12, 15}, kGrey},
      {"picture: the whole strip", false, true, {28, 15}, kBlue}};
  for (const auto& [id, disabled, picture, at, colour] : bits) {
    SCOPED_TRACE(id);
    auto* bit = Child<TBitBtn>("Go", 100);
    bit->SetGlyph(GlyphStrip({kRed, kBlue}));
    bit->SetMargin(4);
    bit->SetEnabled(!disabled);
    auto* skinner = new TSkinBitButton(bit);
    if (picture) skinner->PictureProperty = "Glyph";
    skinner->AttachControl(nullptr, data.get(), false, nullptr);
    EXPECT_EQ(Picture(Bounds(10, 10, 100, 30))->Canvas()->Pixels(at.X, at.Y), colour);
    delete bit;
  }

  // A flat speed button of 60 x 30 (glyph at (23, 7)): the frame's left edge and the glyph.
  auto* speed = new TSpeedButton(form);
  speed->SetParent(form);
  speed->SetBounds(120, 10, 60, 30);
  speed->SetFlat(true);
  speed->SetGroupIndex(1);
  speed->SetAllowAllUp(true);
  speed->SetGlyph(GlyphStrip({kRed, kBlue, kGreen}));
  (new TSkinSpeedButton(speed))->AttachGraphic(nullptr, data.get(), nullptr);
  // Id, mouse in, down, disabled, frame (0: none), glyph colour.
  const std::tuple<const char*, bool, bool, bool, int, TColor> speeds[] = {
      {"flat at rest: no image", false, false, false, 0, kRed},
      {"flat, mouse in", true, false, false, 4, kRed},
      {"down", false, true, false, 2, kGreen},
      {"disabled flat: no image, glyph 2 grey", false, false, true, 0, kGrey},
      {"disabled and down: frame 2, glyph 3", false, true, true, 2, kGreen}};
  for (const auto& [id, enter, down, disabled, frame, glyph] : speeds) {
    SCOPED_TRACE(id);
    speed->SetEnabled(true);
    speed->SetDown(down);
    speed->SetEnabled(!disabled);
    speed->Perform(enter ? CM_MOUSEENTER : CM_MOUSELEAVE, 0, 0);
    const std::unique_ptr<TBitmap> shot = Picture(Bounds(120, 10, 60, 30));
    EXPECT_EQ(shot->Canvas()->Pixels(2, 15), frame ? probe.RegionColour(0, frame, TNinePart::Left) : kFace);
    EXPECT_EQ(shot->Canvas()->Pixels(31, 15), glyph);
  }

  // The menu button's arrow at (W - 12, H div 2 + 2) pointing down; beside it the frame's right part.
  for (bool disabled : {false, true}) {
    SCOPED_TRACE(disabled ? "disabled arrow" : "arrow");
    auto* button = Child<TButton>("Menu", 100);
    button->SetEnabled(!disabled);
    (new TSkinMenuButton(button))->AttachControl(nullptr, data.get(), false, nullptr);
    const std::unique_ptr<TBitmap> shot = Picture(Bounds(10, 10, 100, 30));
    EXPECT_EQ(shot->Canvas()->Pixels(88, 15), ColorToRGB(disabled ? clBtnShadow : clWindowText));
    EXPECT_EQ(shot->Canvas()->Pixels(97, 15), probe.RegionColour(0, disabled ? 3 : 1, TNinePart::Right));
    delete button;
  }
}

TEST_F(SkinButtonsTest, ButtonsThatDrawTheirOwnGlyphShowItWhereAndAsTheyDoBare) {
  constexpr TColor kWhite = RGB(255, 255, 255), kLightGrey = RGB(200, 200, 200), kBlack = RGB(0, 0, 0);
  const std::unique_ptr<TImageList> inks = PlusSigns({kWhite, kBlack}), greyed = PlusSigns({kLightGrey});
  // Two alike buttons of 30 x 24, bare at (10, 10) and skinned at (60, 10).
  auto pair = [&](bool Flat, int Index) {
    std::vector<TListGlyphButton*> buttons;
    for (int left : {10, 60}) {
      auto* b = new TListGlyphButton(form);
      b->SetParent(form);
      b->SetBounds(left, 10, 30, 24);
      b->SetFlat(Flat);
      b->Images = inks.get();
      b->DisabledImages = greyed.get();
      b->Index = Index;
      buttons.push_back(b);
    }
    return buttons;
  };
  // Every ink pixel of the sign at At in the picture of a button.
  auto showsSign = [&](TListGlyphButton* Button, TPoint At, TColor Ink) {
    std::unique_ptr<TBitmap> shot = Picture(Bounds(Button->Left(), 10, 30, 24));
    int wrong = 0;
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 10; ++x)
        wrong += PlusInk(x, y) && shot->Canvas()->Pixels(At.X + x, At.Y + y) != Ink;
    EXPECT_EQ(wrong, 0) << (Button->Left() == 10 ? "bare" : "skinned");
    return shot;
  };

  // The navigator's buttons are framed, the search strip's flat. Frame 0: flat at rest, the
  // skin's colour alone.
  enum { kRest, kHot, kPressed, kDisabled };
  // Id, flat, step, glyph's top-left, frame, its caption colour, the ink shown.
  const std::tuple<const char*, bool, int, TPoint, int, TColor, TColor> cases[] = {
      {"framed at rest", false, kRest, {10, 7}, 1, kNormal2, kWhite},
      {"framed, pressed: one pixel further", false, kPressed, {11, 8}, 2, kPressed2, kWhite},
      {"framed, disabled: the greyed glyph", false, kDisabled, {10, 7}, 3, clBtnShadow, kLightGrey},
      {"flat at rest", true, kRest, {10, 7}, 0, kNormal2, kWhite},
      {"flat, hot", true, kHot, {10, 7}, 4, kOver2, kWhite},
      {"flat, disabled", true, kDisabled, {10, 7}, 0, clBtnShadow, kLightGrey}};
  for (const auto& [id, flat, step, at, frame, caption, ink] : cases) {
    SCOPED_TRACE(id);
    const std::vector<TListGlyphButton*> buttons = pair(flat, 0);
    (new TSkinSpeedButton(buttons[1]))->AttachGraphic(nullptr, data.get(), nullptr);
    for (TListGlyphButton* b : buttons) {
      if (step == kDisabled) b->SetEnabled(false);
      if (step == kHot) b->Perform(CM_MOUSEENTER, 0, 0);
      if (step == kPressed) b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 12));
      EXPECT_EQ(b->GlyphAt(), at);
    }
    showsSign(buttons[0], at, ink);
    const std::unique_ptr<TBitmap> skinned = showsSign(buttons[1], at, ink);
    EXPECT_EQ(skinned->Canvas()->Pixels(2, 12),
              frame ? probe.RegionColour(0, frame, TNinePart::Left) : kFace);
    EXPECT_EQ(buttons[1]->InkGiven, caption);
    for (TListGlyphButton* b : buttons) {
      if (step == kPressed) b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(15, 12));
      delete b;
    }
  }

  // A glyph lost on the skin's face takes the caption colour; one that stands out keeps its own.
  // Id, the skin's colour (a flat button at rest shows it alone), ink shown.
  const std::tuple<const char*, const char*, TColor> faces[] = {
      {"black on a light face stays black", "240,240,240", kBlack},
      {"black on a dark face takes the caption colour", "10,20,30", RGB(250, 250, 250)}};
  for (const auto& [id, face, ink] : faces) {
    SCOPED_TRACE(id);
    data = ButtonSkin("250,250,250", face);
    const std::vector<TListGlyphButton*> buttons = pair(true, 1);
    (new TSkinSpeedButton(buttons[1]))->AttachGraphic(nullptr, data.get(), nullptr);
    showsSign(buttons[0], {10, 7}, kBlack);
    showsSign(buttons[1], {10, 7}, ink);
    for (TListGlyphButton* b : buttons) delete b;
  }
}
