// Tab skinners on a probe skin: tabs on each side (tab frames, the turned pane), close crosses and
// the skinned form's answer, the up-down left out, sheets, old-style tab strips and picture tabs.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Input.h"
#include "skin/SkinComboEdit.h"
#include "skin/SkinTabs.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinManage.h"
#include "tests/support/ProbeSkin.h"

// Old-style tab strips and picture tabs, as other libraries publish them.
class TTabsLookAlike : public TCustomControl {
  RTL_CLASS(TTabsLookAlike, TCustomControl)
 public:
  using TCustomControl::TCustomControl;
  static void DescribeClass(TClassBuilder<TTabsLookAlike>& c) {
    c.Property("Tabs", [](const TTabsLookAlike& t) -> TStrings* { return t.tabs.get(); });
    c.Property("TabIndex", &TTabsLookAlike::index);
    c.Property("TabPosition", &TTabsLookAlike::position);
    c.Property("TabBackGround", [](const TTabsLookAlike& t) { return t.normal.get(); });
    c.Property("TabBackGroundActive", [](const TTabsLookAlike& t) { return t.active.get(); });
  }
  std::unique_ptr<TStringList> tabs = std::make_unique<TStringList>();
  int index = 0;
  TTabPosition position = tpTop;
  std::unique_ptr<TPicture> normal = std::make_unique<TPicture>(), active = std::make_unique<TPicture>();
};
RTL_IMPLEMENT_CLASS(TTabsLookAlike)

namespace skin_tabs_test {

constexpr TColor kSkinFace = RGB(10, 20, 30);
enum : size_t { kTabs, kBorder };  // the probe skin's elements, in order

class SkinTabsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    probe.Add({"Tabs", 5, false, 24, 24, 6, 6, 6, 6});
    probe.Add({"TabBorder", 1, false, 24, 24, 4, 5, 4, 4});  // the pane: margins as a skin without any
    data = LoadEditedProbeSkin(probe, [](std::string& Ini) {
      Ini.insert(Ini.find("[Tabs]\r\n") + 8, "Border=probe1.bmp\r\n");
      Ini += "[Colours]\r\nButtonFace=10,20,30\r\n";
    });
    ASSERT_NE(data, nullptr);
    (form = new TForm(Application, 0))->SetBounds(20, 20, 420, 300);
    form->Show();
  }
  void TearDown() override { ResetVcl(), data.reset(); }
  static TColor Pixel(TWinControl* C, TPoint At) { return WindowPixel(C->Handle(), At.X, At.Y); }
  TColor Probe(size_t E, int Frame, TNinePart Part) const { return probe.RegionColour(E, Frame, Part); }
  // A page control of three pages "A", "B", "C" with the second active, skinned.
  std::pair<TPageControl*, TSkinTab*> Pages(TTabPosition Position, int Tag = 0,
                                            TWinSkinForm* SkinForm = nullptr) {
    auto* pages = new TPageControl(form);
    pages->SetTabPosition(Position);
    pages->SetTag(Tag);
    pages->SetParent(form);
    pages->SetBounds(10, 10, 300, 200);
    for (const char* caption : {"A", "B", "C"}) {
      auto* sheet = new TTabSheet(form);
      sheet->SetPageControl(pages);
      sheet->SetCaption(caption);
    }
    pages->SetActivePageIndex(1);
    auto* skinner = new TSkinTab(pages);
    skinner->AttachControl(SkinForm, data.get(), false, nullptr);
    pages->Repaint();
    return {pages, skinner};
  }
  TProbeSkin probe;
  std::unique_ptr<TSkinData> data;
  TForm* form = nullptr;
};

TEST_F(SkinTabsTest, TabsAndTurnedPaneOnEachSideAndTheUpDownLeftOut) {
  for (TTabPosition position : {tpTop, tpBottom, tpLeft, tpRight}) {
    SCOPED_TRACE(static_cast<int>(position));
    auto [pages, skinner] = Pages(position);
    EXPECT_EQ(skinner->TabSide, static_cast<int>(position));
    const TRect d = pages->DisplayRect();
    const int w = pages->ClientWidth(), h = pages->ClientHeight();
    // The pane's edge on the tab side shows the image's top, the far edge its bottom.
    const TPoint nearEdge[] = {
        {w / 2, d.Top - 2}, {w / 2, d.Bottom + 1}, {d.Left - 2, h / 2}, {d.Right + 1, h / 2}};
    const TPoint farEdge[] = {{w / 2, h - 2}, {w / 2, 1}, {w - 2, h / 2}, {1, h / 2}};
    EXPECT_EQ(Pixel(pages, nearEdge[position]), Probe(kBorder, 1, TNinePart::Top));
    EXPECT_EQ(Pixel(pages, farEdge[position]), Probe(kBorder, 1, TNinePart::Bottom));
    // The left edge of each tab image (the active one frame 2): beside the text, turned with the strip.
    for (int i = 0; i < 3; ++i) {
      const TRect r = pages->TabRect(i);
      const int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
      const TPoint edge[] = {{r.Left + 3, cy + 1}, {r.Left + 3, cy - 1}, {cx, r.Bottom - 3}, {cx, r.Top + 3}};
      EXPECT_EQ(Pixel(pages, edge[position]), Probe(kTabs, i == 1 ? 2 : 1, TNinePart::Left)) << i;
    }
    delete pages;
  }
  // An up-down child (the tab control makes none; the paint finds it) is skinned and left out of the strip.
  auto [pages, skinner] = Pages(tpTop);
  HWND arrows = CreateWindowEx(0, UPDOWN_CLASS, "", WS_CHILD | WS_VISIBLE, 250, 2, 30, 16, pages->Handle(),
                               nullptr, nullptr, nullptr);
  TBitmap picture;
  picture.SetSize(300, 200);  // white
  skinner->PaintSkin(picture.Canvas()->Handle(), TRect{0, 0, 300, 200});
  ASSERT_NE(skinner->UpDownSkinner, nullptr);
  EXPECT_EQ(skinner->UpDownSkinner->Handle, arrows);
  EXPECT_EQ(picture.Canvas()->Pixels(265, 10), clWhite);
  EXPECT_EQ(picture.Canvas()->Pixels(200, 10), kSkinFace);
}

TEST_F(SkinTabsTest, CloseBoxesAskTheSkinnedFormBeforeFreeingThePage) {
  std::vector<std::pair<WPARAM, LPARAM>> asked;
  LRESULT answer = 0;
  const TWndMethod own = form->WindowProc();
  form->SetWindowProc([&](TMessage& M) {
    if (M.Msg != SKMSG_TABCLOSE) return own(M);
    asked.emplace_back(M.WParam, M.LParam);
    M.Result = answer;
  });
  // Id, tag, with a skinned form, its answer, pages left, whether the form is asked about tab 2.
  const std::tuple<const char*, int, bool, LRESULT, int, bool> cases[] = {
      {"close tag, no skinned form: freed unasked", kSkinTabCloseTag, false, 0, 2, false},
      {"close tag, the form answers 1: kept", kSkinTabCloseTag, true, 1, 3, true},
      {"close tag, the form answers 0: freed", kSkinTabCloseTag, true, 0, 2, true},
      {"no close tag: no crosses", 0, true, 0, 3, false}};
  for (const auto& [id, tag, withForm, reply, pagesLeft, askedForm] : cases) {
    SCOPED_TRACE(id);
    asked.clear();
    answer = reply;
    auto skinForm = std::make_unique<TWinSkinForm>(nullptr);
    skinForm->hWnd = form->Handle();
    auto [pages, skinner] = Pages(tpTop, tag, withForm ? skinForm.get() : nullptr);
    ASSERT_EQ(skinner->CloseBoxRects.size(), 3u);
    const TRect r = pages->TabRect(2);
    const TRect box{r.Right - 8, r.Top + 3, r.Right - 2, r.Top + 9};  // the strip sits a pixel low
    EXPECT_EQ(skinner->CloseBoxRects[2], tag ? box : TRect{});
    const TPoint at = pages->ClientToScreen(TPoint{box.Left + 3, box.Top + 3});
    Input::MouseDown(VK_LBUTTON, at);
    Input::MouseUp(VK_LBUTTON, at);
    Application->ProcessMessages();
    EXPECT_EQ(pages->PageCount(), pagesLeft);
    EXPECT_EQ(asked, decltype(asked)(askedForm, {reinterpret_cast<WPARAM>(pages->Handle()), LPARAM{2}}));
    delete pages;
  }
  form->SetWindowProc(own);
}

TEST_F(SkinTabsTest, SheetsTabStripsAndPictureTabs) {
  // The sheet (red, a windowless lime shape on it): skin colour asked, OwnPaint, its Color then, colour
  // shown.
  const std::tuple<bool, bool, TColor, TColor> sheetCases[] = {
      {false, false, clRed, kSkinFace}, {true, false, kSkinFace, kSkinFace}, {false, true, clRed, clRed}};
  for (const auto& [useColor, ownPaint, color, shown] : sheetCases) {
    SCOPED_TRACE(useColor * 10 + ownPaint);
    TTabSheet* sheet = Pages(tpTop).first->ActivePage();
    sheet->SetColor(clRed);
    sheet->SetParentBackground(false);
    auto* shape = new TShape(sheet);
    shape->SetParent(sheet);
    shape->SetBounds(0, 0, 20, 20);
    shape->Brush()->SetColor(clLime);
    auto* skinner = new TSkinTabSheet(sheet);
    skinner->AttachControl(nullptr, data.get(), useColor, nullptr);
    skinner->OwnPaint = ownPaint;
    sheet->Repaint();
    EXPECT_EQ(sheet->Color(), color);
    EXPECT_EQ(Pixel(sheet, {40, 40}), shown);
    EXPECT_EQ(Pixel(sheet, {10, 10}), clLime);
    delete sheet->PageControl();
  }

  // Old-style strip: three empty tabs 16 wide from x = 4; position, selected, frame of each, outer part.
  const std::tuple<TTabPosition, int, std::vector<int>, TNinePart> stripCases[] = {
      {tpTop, 1, {1, 2, 1}, TNinePart::Top}, {tpBottom, 0, {2, 1, 1}, TNinePart::Bottom}};
  for (const auto& [position, selected, frames, outerPart] : stripCases) {
    SCOPED_TRACE(static_cast<int>(position));
    auto* strip = new TTabsLookAlike(form);
    strip->SetParent(form);
    strip->SetBounds(10, 220, 200, 30);
    for (int i = 0; i < 3; ++i) strip->tabs->Add("");
    strip->position = position;
    strip->index = selected;
    (new TSkinTab31(strip))->AttachControl(nullptr, data.get(), false, nullptr);
    strip->Repaint();
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(Pixel(strip, {4 + 16 * i + 3, 15}), Probe(kTabs, frames[i], TNinePart::Left)) << i;
    EXPECT_EQ(Pixel(strip, {12, 2}), Probe(kTabs, frames[0], outerPart));
    EXPECT_EQ(Pixel(strip, {100, 15}), kSkinFace);
    delete strip;
  }

  // Picture tabs: only mode 4 renders them (100 wide, tab frames 1 and 2), and detach takes them back.
  for (int mode : {4, 0}) {
    SCOPED_TRACE(mode);
    auto* tabs = new TTabsLookAlike(form);
    tabs->SetParent(form);
    auto* skinner = new TSkinAdvPage(tabs);
    skinner->Mode = mode;
    skinner->AttachControl(nullptr, data.get(), false, nullptr);
    for (auto [picture, frame] : {std::pair{tabs->normal.get(), 1}, std::pair{tabs->active.get(), 2}}) {
      ASSERT_EQ(picture->Width(), mode ? 100 : 0);
      if (mode) {
        EXPECT_EQ(picture->Bitmap()->Canvas()->Pixels(50, 10), Probe(kTabs, frame, TNinePart::Middle));
      }
    }
    skinner->Detach();
    EXPECT_EQ(tabs->normal->Width() + tabs->active->Width(), 0);
    delete tabs;
  }
}

}  // namespace skin_tabs_test
