// Combo-box, edit and up-down skinners on probe skins: the combo button by style, side and state,
// simple combos, the edit child's procedure, the edit frame and spin child, up-down halves.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/VclTesting.h"
#include "skin/SkinComboEdit.h"
#include "skin/SkinScrollBars.h"
#include "tests/support/ProbeSkin.h"

namespace combo_edit_test {

constexpr TColor kFace = RGB(10, 20, 30), kLine = RGB(200, 0, 0), kDark = RGB(0, 0, 90),
                 kWhite = RGB(255, 255, 255);
enum : size_t { kButton, kExtra };                  // element order; the up-down skin has Vert, Horz
enum TComboSkin { kStyle1, kOtherStyle, kStyle2 };  // Style 2 comes of a skin with a SunkEdge
using TLayouts = std::vector<TProbeElementLayout>;

class SkinComboEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    (form = new TForm(Application, 0))->SetBounds(20, 20, 420, 300);
    form->Show();
  }
  void TearDown() override { ResetVcl(), data.reset(); }
  // A probe skin of Layouts with classic colours of its own; Style goes into the first element's section.
  void Load(const TLayouts& Layouts, const std::string& Style = "") {
    probe = TProbeSkin();
    for (const auto& l : Layouts) probe.Add(l);
    data = LoadEditedProbeSkin(probe, [&](std::string& Ini) {
      Ini.insert(Ini.find("]\r\n", Ini.find(Layouts[0].Section)) + 3, Style);
      Ini += "[Colours]\r\nButtonFace=10,20,30\r\nButtonShadow=200,0,0\r\nButtonDkShadow=0,0,90\r\n";
    });
    ASSERT_NE(data, nullptr);
  }
  // A control of the form with a skinner of kind TSkinner attached.
  template <class TSkinner>
  TSkinner* Skin(TWinControl* C, int W, int H) {
    C->SetParent(form);
    C->SetBounds(10, 10, W, H);
    auto* s = new TSkinner(C);
    s->AttachControl(nullptr, data.get(), false, nullptr);
    return s;
  }
  // A pixel of a window's frame, at window (not client) coordinates.
  static TColor FramePixel(HWND W, int X, int Y) {
    HDC dc = GetWindowDC(W);
    const TColor p = GetPixel(dc, X, Y);
    return ReleaseDC(W, dc), p;
  }
  TColor Probe(size_t E, int Frame) const { return probe.RegionColour(E, Frame, TNinePart::Middle); }

  TProbeSkin probe;
  std::unique_ptr<TSkinData> data;
  TForm* form = nullptr;
};

TEST_F(SkinComboEditTest, ComboButtonByStyleSideAndState) {
  // Skin, button on the left, date picker, state, enabled, frame.
  constexpr uint8_t P = kSkinPressed, H = kSkinHot;
  const std::tuple<TComboSkin, bool, bool, uint8_t, bool, int> cases[] = {
      {kStyle1, false, false, 0, true, 1},     {kStyle1, true, false, P, true, 2},
      {kOtherStyle, false, false, H, true, 4}, {kOtherStyle, true, false, 0, false, 3},
      {kOtherStyle, false, true, 0, true, 1},  {kStyle2, false, false, P, true, 2},
      {kStyle2, true, false, H, true, 4},      {kStyle2, true, false, 0, false, 3}};
  const int scroll = GetSystemMetrics(SM_CXHSCROLL);
  for (const auto& [skin, left, picker, state, enabled, frame] : cases) {
    SCOPED_TRACE(testing::Message() << skin << left << picker << frame);
    TLayouts layouts = {{"ComboButton", 4}, {"ExtraImages", 5, false, 4, 4}};
    if (skin == kStyle2) layouts.push_back({"SunkEdge", 4, false, 12, 12, 3, 3, 3, 3});
    Load(layouts, skin == kStyle1 ? "Style=1\r\n" : "");
    TWinControl* combo = picker ? static_cast<TWinControl*>(new TDateTimePicker(form)) : new TComboBox(form);
    auto* skinner = Skin<TSkinComBox>(combo, 160, 21);
    EXPECT_EQ(skinner->EditWindow != nullptr, !picker);
    if (left) SetWindowLong(combo->Handle(), GWL_EXSTYLE, WS_EX_LEFTSCROLLBAR);
    combo->SetEnabled(enabled);
    skinner->State = state;
    SetFocus(form->Handle());
    skinner->PaintWindow(nullptr);
    const int w = combo->Width(), h = combo->Height();
    // A point of the button away from its arrow, and the button's centre for the arrow.
    int x = left ? 5 : w - 6, centre = left ? 2 + scroll / 2 : w - 2 - scroll / 2;
    if (skin == kStyle2) x = left ? (scroll + 2) / 2 : w - (scroll + 2) / 2;
    EXPECT_EQ(WindowPixel(combo->Handle(), x, 1 + (skin == kStyle1)), Probe(kButton, frame));
    if (skin == kOtherStyle) {
      EXPECT_EQ(WindowPixel(combo->Handle(), centre, h / 2), Probe(kExtra, frame));
    }
    if (skin == kStyle1) {
      EXPECT_EQ(WindowPixel(combo->Handle(), w / 2, 0), kLine);
    }
    delete combo;
  }
  EXPECT_EQ(std::pair(ComboButtonFrame(true, 0, true), ComboButtonFrame(true, kSkinPressed, true)),
            std::pair(4, 2));
}

TEST_F(SkinComboEditTest, SimpleComboAndTheEditChildsProcedure) {
  Load({{"ComboButton", 4}});
  auto* simple = new TComboBox(form);
  simple->SetStyle(csSimple);
  auto* s = Skin<TSkinComBox>(simple, 160, 120);
  ASSERT_NE(s->ListScrollBars, nullptr);
  EXPECT_EQ(s->ListScrollBars->Handle, simple->ListHandle());
  EXPECT_EQ(s->EditInstance, nullptr);
  s->PaintWindow(nullptr);
  EXPECT_NE(WindowPixel(simple->Handle(), simple->Width() - 6, 3), Probe(kButton, 1));
  delete s;

  auto* combo = new TComboBox(form);
  combo->SetParent(form);
  const LONG_PTR own = GetWindowLong(combo->EditHandle(), GWL_WNDPROC);
  auto* skinner = Skin<TSkinComBox>(combo, 160, 21);
  skinner->AttachControl(nullptr, data.get(), false, nullptr);  // a second attach does nothing
  ASSERT_NE(skinner->EditInstance, nullptr);
  EXPECT_EQ(GetWindowLong(combo->EditHandle(), GWL_WNDPROC), skinner->EditInstance->Token());
  SendMessage(combo->EditHandle(), WM_LBUTTONDOWN, 0, 0);
  EXPECT_EQ(skinner->State, kSkinPressed);
  SendMessage(combo->EditHandle(), WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(skinner->State, 0);
  delete skinner;
  EXPECT_EQ(GetWindowLong(combo->EditHandle(), GWL_WNDPROC), own);
}

TEST_F(SkinComboEditTest, EditFrameAndSpinChild) {
  Load({{"UpDown.Vert", 8}});
  for (const auto& [framed, spin] : {std::pair{true, true}, {false, false}, {true, false}}) {
    SCOPED_TRACE(testing::Message() << "framed " << framed << ", spin " << spin);
    data->SetSkinControls(spin ? TSkinControlTypes{xcSpin} : TSkinControlTypes{});
    auto* edit = new TEdit(form);
    edit->SetBorderStyle(framed ? bsSingle : bsNone);
    edit->SetParent(form);
    HWND child = CreateWindowEx(0, "msctls_updown32", "", WS_CHILD | WS_VISIBLE, 100, 0, 16, 20,
                                edit->Handle(), nullptr, nullptr, nullptr);
    auto* skinner = Skin<TSkinEdit>(edit, 120, 24);
    skinner->PaintWindow(nullptr);
    EXPECT_EQ(FramePixel(edit->Handle(), 0, 10) == kLine, framed);
    if (framed) {
      EXPECT_EQ(FramePixel(edit->Handle(), 2, 10), kWhite);
    }
    TBitmap printed;
    printed.SetSize(120, 24);
    SendMessage(edit->Handle(), WM_PRINT, WPARAM(printed.Canvas()->Handle()), PRF_NONCLIENT | PRF_CLIENT);
    EXPECT_EQ(GetPixel(printed.Canvas()->Handle(), 0, 10) == kLine, framed);
    ASSERT_EQ(skinner->SpinSkinner != nullptr, spin);
    if (spin) {
      EXPECT_TRUE(skinner->SpinSkinner->InEdit && skinner->SpinSkinner->Handle == child);
      skinner->SpinSkinner->PaintWindow(nullptr);  // kept 3 pixels from the edit's top: white there
      EXPECT_EQ(WindowPixel(child, 8, 0), kWhite);
      EXPECT_EQ(WindowPixel(child, 8, 4), Probe(0, 1));
    }
    delete edit;
  }
}

TEST_F(SkinComboEditTest, UpDownHalvesAndStates) {
  // With the element, horizontal, state, cursor in the first half, enabled; the halves' element
  // frames, or states 1..4 without the element.
  const std::tuple<bool, bool, uint8_t, bool, bool, int, int> cases[] = {
      {true, false, kSkinPressed, true, true, 2, 5},  {true, false, kSkinHot, false, true, 1, 8},
      {true, true, kSkinPressed, false, true, 1, 6},  {true, true, 0, true, false, 3, 7},
      {false, false, kSkinPressed, true, true, 2, 1}, {false, true, 0, true, false, 3, 3}};
  const TColor classic[] = {kFace, kLine, kFace, kLine};
  for (const auto& [element, horizontal, state, cursorInFirst, enabled, firstFrame, secondFrame] : cases) {
    SCOPED_TRACE(testing::Message() << element << horizontal << int(state) << firstFrame << secondFrame);
    Load(element ? TLayouts{{"UpDown.Vert", 8}, {"UpDown.Horz", 8}} : TLayouts{{"ExtraImages", 5}});
    auto* updown = new TUpDown(form);
    updown->SetOrientation(horizontal ? udHorizontal : udVertical);
    auto* skinner = Skin<TSkinUpDown>(updown, 40, 40);
    updown->SetEnabled(enabled);
    skinner->State = state;
    const TPoint first = horizontal ? TPoint{10, 20} : TPoint{20, 10};
    const TPoint second = horizontal ? TPoint{30, 20} : TPoint{20, 30};
    POINT at = cursorInFirst ? first : second;
    ClientToScreen(updown->Handle(), &at);
    SetCursorPos(at.X, at.Y);
    skinner->PaintWindow(nullptr);
    for (const auto& [p, frame] : {std::pair{first, firstFrame}, std::pair{second, secondFrame}})
      EXPECT_EQ(WindowPixel(updown->Handle(), p.X + 2, p.Y + 2),
                element ? Probe(horizontal ? 1 : 0, frame) : classic[frame - 1]);
    if (!element) {
      EXPECT_EQ(WindowPixel(updown->Handle(), 0, 0), kDark);
    }
    delete updown;
  }
}

}  // namespace combo_edit_test
