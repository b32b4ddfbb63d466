// The control skinner base: both hook layers and their restoration, the per-control switch, the skinned
// query, ParentBackground, properties by name, top-level windows, mouse points, clamped element frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "platform/rtl/TypInfo.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Painting.h"
#include "skin/WinSkinChildren.h"
#include "tests/support/ProbeSkin.h"
#include "tools/skinpack/SkinPacker.h"

namespace skin_control_test {

constexpr UINT kProbe = WM_USER + 77;
constexpr TColor kFace = RGB(10, 20, 30), kOwn = RGB(1, 2, 3);
std::vector<UINT> gOwnMessages;  // what the bare window's own procedure received

LRESULT BareProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  gOwnMessages.push_back(msg);
  return msg == kProbe ? 42 : DefWindowProc(w, msg, wp, lp);
}
int CountOf(const std::vector<UINT>& Messages, UINT Msg) {
  return static_cast<int>(std::count(Messages.begin(), Messages.end(), Msg));
}

// Records the split and the paints.
class TRecordingSkinner : public TSkinControl {
 public:
  using TSkinControl::TSkinControl;
  bool BeforeMessage(TMessage& M) override { return Before.push_back(M.Msg), TSkinControl::BeforeMessage(M); }
  void AfterMessage(TMessage& M) override { After.push_back(M.Msg), TSkinControl::AfterMessage(M); }
  void PaintSkin(HDC, const TRect&) override { ++Paints; }
  std::vector<UINT> Before, After;
  int Paints = 0;
};

class SkinControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    gOwnMessages.clear();
    WNDCLASSEX wc;
    wc.lpfnWndProc = &BareProc, wc.hInstance = MainInstance(), wc.lpszClassName = "SkinControlBare";
    if (!GetClassInfoEx(MainInstance(), wc.lpszClassName, &wc)) {
      ASSERT_NE(RegisterClassEx(&wc), 0);
    }
    const std::string skin =
        PackSkin({{"s.ini", "[TitlebarSkin]\r\nSkinName=S\r\n[Colours]\r\nButtonFace=10,20,30"}});
    data->SkinStream()->WriteBuffer(skin.data(), static_cast<int64_t>(skin.size()));
    ASSERT_TRUE(data->LoadSkin()) << data->LoadError();
    form = new TForm(Application, 0);
    form->Show();
  }
  void TearDown() override { ResetVcl(); }
  template <class TControlClass>
  TControlClass* Child(int Width = 80, int Height = 24) {
    auto* c = new TControlClass(form);
    c->SetParent(form);
    c->SetBounds(10, 10, Width, Height);
    return c;
  }
  HWND Bare(HWND Parent, DWORD Style) {
    return CreateWindowEx(0, "SkinControlBare", "Bare text", Style | WS_VISIBLE, 0, 0, 60, 20, Parent,
                          nullptr, MainInstance(), nullptr);
  }
  std::unique_ptr<TSkinData> data = std::make_unique<TSkinData>(nullptr);
  TForm* form = nullptr;
};

TEST_F(SkinControlTest, HookLayersSwitchAndSkinnedQuery) {
  TWinSkinForm skinForm(nullptr);
  const TSkinChildrenFactory previous =
      SetSkinChildrenFactory([](TWinSkinForm& F) { return std::make_unique<TSkinChildList>(F); });
  // A control: SendMessage and Perform both enter at its WindowProc.
  auto* panel = Child<TPanel>();
  const HWND handle = panel->Handle();
  const TWndMethod ownProc = panel->WindowProc();
  const LONG_PTR ownWndProc = GetWindowLong(handle, GWL_WNDPROC);
  auto* skinner = new TRecordingSkinner(panel);
  skinner->AttachControl(&skinForm, data.get(), false, nullptr);
  skinner->AttachControl(nullptr, data.get(), true, nullptr);  // ignored
  EXPECT_TRUE(skinForm.ChildSkinners()->Holds(handle));
  SendMessage(handle, kProbe, 0, 0);
  panel->Perform(kProbe, 0, 0);
  EXPECT_EQ(CountOf(skinner->Before, kProbe) + CountOf(skinner->After, kProbe), 4);
  delete skinner;  // leaves its owner and the form's list, and puts the WindowProc back
  EXPECT_EQ(panel->ComponentCount(), 0);
  EXPECT_FALSE(skinForm.ChildSkinners()->Holds(handle));
  EXPECT_EQ(panel->WindowProc(), ownProc);
  EXPECT_EQ(GetWindowLong(handle, GWL_WNDPROC), ownWndProc);
  (new TRecordingSkinner(panel))->AttachControl(&skinForm, data.get(), false, nullptr);
  auto* list = static_cast<TSkinChildList*>(skinForm.ChildSkinners());
  EXPECT_EQ(list->Skinners().size(), 1u);
  delete panel;  // the control frees its skinner, which leaves the list
  EXPECT_TRUE(list->Skinners().empty());
  SetSkinChildrenFactory(previous);

  // A bare window: its procedure is replaced, called through, switched off and on, put back.
  const HWND w = Bare(form->Handle(), WS_CHILD);
  const LONG_PTR classProc = GetWindowLong(w, GWL_WNDPROC);
  auto bare = std::make_unique<TRecordingSkinner>(nullptr);
  bare->AttachWindow(w, data.get(), nullptr, nullptr);
  EXPECT_EQ(bare->Text, "Bare text");
  FlushPaint();
  EXPECT_EQ(SendMessage(w, kProbe, 0, 0), 42);
  EXPECT_EQ(SendMessage(w, SKMSG_ISSKINNED, 0, 0), 1);
  EXPECT_EQ(CountOf(bare->After, kProbe) + CountOf(gOwnMessages, kProbe), 2);
  SendMessage(w, SKMSG_SKINCONTROL, 0, 0);
  bare->Before.clear();
  const int paints = bare->Paints;
  SendMessage(w, kProbe, 0, 0);
  SendMessage(w, SKMSG_ISSKINNED, 0, 0);
  EXPECT_TRUE(bare->Before.empty());
  EXPECT_EQ(CountOf(gOwnMessages, kProbe) + CountOf(gOwnMessages, SKMSG_ISSKINNED), 3);
  SendMessage(w, SKMSG_SKINCONTROL, 1, 0);  // on again: painted at once, without a flush
  EXPECT_EQ(bare->Paints, paints + 1);
  EXPECT_EQ(CountOf(bare->Before, SKMSG_SKINCONTROL) + CountOf(gOwnMessages, SKMSG_SKINCONTROL), 0);
  bare.reset();
  EXPECT_EQ(GetWindowLong(w, GWL_WNDPROC), classProc);
  // Destroyed while skinned: switched off and detached; freeing it later touches nothing.
  (bare = std::make_unique<TRecordingSkinner>(nullptr))->AttachWindow(w, data.get(), nullptr, nullptr);
  DestroyWindow(w);
  EXPECT_EQ(bare->Lifecycle, kSkinnerWindowGone);
  EXPECT_FALSE(bare->SkinActive);
  EXPECT_EQ(CountOf(gOwnMessages, WM_NCDESTROY), 1);
}

TEST_F(SkinControlTest, ParentBackgroundAndColour) {
  const struct {
    const char* Id;
    bool Panel, Option, UseSkinColor, TurnedOff, FollowsParent = false;
  } cases[] = {{"panel", true, false, true, true},
               {"panel with xoParentBackGround", true, true, true, false},
               {"panel without the colour flag", true, false, false, false},
               {"button: no ParentBackground published", false, false, true, false},
               {"panel taking its parent's colour", true, false, true, true, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Id);
    data->SetOptions(c.Option ? TSkinOptions{xoParentBackGround} : TSkinOptions{});
    TWinControl* control = c.Panel ? static_cast<TWinControl*>(Child<TPanel>()) : Child<TButton>();
    if (c.FollowsParent)
      control->SetParentColor(true);
    else
      control->SetColor(kOwn);
    control->SetParentBackground(true);
    auto* skinner = new TSkinControl(control);
    skinner->AttachControl(nullptr, data.get(), c.UseSkinColor, nullptr);
    EXPECT_EQ(control->ParentBackground(), !c.TurnedOff);
    EXPECT_EQ(skinner->OwnPaint, c.TurnedOff);
    if (c.UseSkinColor) {
      EXPECT_EQ(control->Color(), kFace);
    }
    // The parent's colour changes meanwhile (the form is re-coloured when skinning ends).
    if (c.FollowsParent) control->Parent()->SetColor(clBtnFace);
    skinner->Detach();
    EXPECT_TRUE(control->ParentBackground());
    EXPECT_EQ(control->ParentColor(), c.FollowsParent);
    EXPECT_EQ(control->Color(), c.FollowsParent ? clBtnFace : kOwn);
    delete control;
  }
}

TEST_F(SkinControlTest, PropertiesByName) {
  auto* box = Child<TCheckBox>();
  box->SetCaption("Caption");
  box->SetTag(7);
  const struct {
    TObject* Obj;
    const char *Name, *Text, *Write;
    int64_t Int;
    bool Written;
    std::u16string Wide;
    TObject* Object;
  } cases[] = {{box, "Tag", "7", "12", 7, true, u"", nullptr},
               {box, "Alignment", "taRightJustify", "taLeftJustify", 1, true, u"", nullptr},
               {box, "Enabled", "True", "False", 1, true, u"", nullptr},
               {box, "Caption", "Caption", "Caption", -1, true, u"Caption", nullptr},
               {box, "Font", "", "x", -1, false, u"", box->Font()},
               {box, "NoSuchProperty", "", "1", -1, false, u"", nullptr},
               {nullptr, "Font", "", "1", -1, false, u"", nullptr}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name + std::string(c.Obj ? "" : " of nil"));
    EXPECT_EQ(GetIntProp(c.Obj, c.Name), c.Int);
    EXPECT_EQ(GetPropText(c.Obj, c.Name), c.Text);
    EXPECT_EQ(GetWideTextProp(c.Obj, c.Name), c.Wide);
    EXPECT_EQ(GetObjectPropOf(c.Obj, c.Name, TFont::StaticClass()), c.Object);
    EXPECT_EQ(SetPropText(c.Obj, c.Name, c.Write), c.Written);
    if (c.Written) {
      EXPECT_EQ(GetPropText(c.Obj, c.Name), c.Write);
    }
  }
  EXPECT_EQ(GetObjectPropOf(box, "Font", TBitmap::StaticClass()), nullptr);
}

TEST_F(SkinControlTest, TopLevelWindowsAndForwardedMousePoints) {
  const HWND desktop = GetDesktopWindow();  // the handle value 0x10014
  for (auto [parent, style, topLevel] : {std::tuple{form->Handle(), WS_CHILD, false},
                                         {desktop, WS_CHILD, true},
                                         {HWND(), WS_POPUP, true},
                                         {HWND(), WS_OVERLAPPED, false}}) {
    SCOPED_TRACE(style);
    const HWND w = Bare(parent, DWORD(style));
    EXPECT_EQ(IsTopLevelWindow(w), topLevel);
    DestroyWindow(w);
  }
  const struct {
    int Width, Height;
    LPARAM Point;
    TPoint Expected;
  } mice[] = {{80, 24, MAKELPARAM(-3, 7), {-3, 7}},
              {32768, 24, MAKELPARAM(5, 7), {5, 7}},
              {32769, 24, MAKELPARAM(5, 7), {30, 11}},  // from the cursor
              {80, 40000, MAKELPARAM(5, 7), {30, 11}}};
  for (const auto& m : mice) {
    SCOPED_TRACE(m.Width + m.Height);
    auto* panel = Child<TPanel>(m.Width, m.Height);
    TPoint got;
    TShiftState shift;
    panel->OnMouseDown = [&](TObject*, TMouseButton, TShiftState S, int X, int Y) {
      got = {X, Y}, shift = S;
    };
    const TPoint screen = panel->ClientToScreen(TPoint{30, 11});
    SetCursorPos(screen.X, screen.Y);
    auto* skinner = new TSkinControl(panel);
    skinner->AttachControl(nullptr, data.get(), false, nullptr);
    TMessage down(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, m.Point);
    skinner->ForwardMouseDown(down);
    EXPECT_EQ(got, m.Expected);
    EXPECT_TRUE(shift.Contains(ssShift));
    delete panel;
  }
}

TEST(SkinControlElements, FramesAreClampedToTheStrip) {
  constexpr TColor kBack = RGB(7, 7, 7);
  for (bool transparent : {false, true}) {
    TProbeSkin skin;
    skin.Add({"StatusBarEdges", 5, false, 12, 12, 3, 3, 3, 3, transparent});
    const std::unique_ptr<TSkinElements> elements = LoadSkinBytes(skin.SkinFile());
    ASSERT_TRUE(elements && elements->StatusBarEdges);
    // frame, drawn, width; frame 1 again comes from the element's kept fittings
    const int cases[][3] = {{0, 1, 40}, {3, 3, 40}, {9, 5, 40}, {1, 1, 40}, {2, 0, -40}};
    for (const auto& c : cases) {
      SCOPED_TRACE(std::to_string(c[0]) + (transparent ? " transparent" : ""));
      TBitmap target;
      target.SetSize(40, 30);
      target.Canvas()->Brush()->SetColor(kBack);
      target.Canvas()->FillRect(TRect{0, 0, 40, 30});
      const TRect r = c[2] > 0 ? TRect{0, 0, 40, 30} : TRect{40, 0, 0, 30};
      DrawElement(target.Canvas()->Handle(), r, 5, c[0], elements->StatusBarEdges.get());
      auto expected = [&](TNinePart Part) { return c[1] ? skin.RegionColour(0, c[1], Part) : kBack; };
      EXPECT_EQ(target.Canvas()->Pixels(20, 15), expected(TNinePart::Middle));
      EXPECT_EQ(target.Canvas()->Pixels(38, 28), expected(TNinePart::BottomRight));
      EXPECT_EQ(target.Canvas()->Pixels(1, 1), transparent ? kBack : expected(TNinePart::TopLeft));
    }
  }
}

}  // namespace skin_control_test
