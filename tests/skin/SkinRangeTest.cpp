// Header, track-bar, progress-bar and small skinners on a probe skin: the header's hot item and
// its leave, the track bar's custom-draw answers and pixels, the progress fill by style and
// orientation, size grips, dialog boxes and glyph look-alikes.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <tuple>
#include <utility>

#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/ControlClasses.h"
#include "platform/win/Input.h"
#include "skin/SkinRangeControls.h"
#include "tests/support/ProbeSkin.h"

namespace range_test {

constexpr TColor kFace = RGB(10, 20, 30), kGroove = RGB(240, 240, 240);
enum : size_t { kHeader, kProgress, kChunk, kProgressOne, kThumbH, kThumbV, kCheck };

// A glyph look-alike publishing both kinds of glyph picture.
struct TGlyphHolder : TPersistent {
  RTL_CLASS(TGlyphHolder, TPersistent)
 public:
  static void DescribeClass(TClassBuilder<TGlyphHolder>& c) {
    c.Property("Glyph", [](const TGlyphHolder& h) { return h.glyph.get(); });
  }
  std::unique_ptr<TBitmap> glyph = std::make_unique<TBitmap>();
};
struct TLookAlike : TWinControl {
  RTL_CLASS(TLookAlike, TWinControl)
 public:
  using TWinControl::TWinControl;
  static void DescribeClass(TClassBuilder<TLookAlike>& c) {
    c.Property("CustomGlyphs", [](const TLookAlike& l) { return l.glyphs.get(); });
    c.Property("Properties", [](const TLookAlike& l) { return l.holder.get(); });
    c.Property(
        "TransparentColor", [](const TLookAlike& l) { return l.transparent; },
        [](TLookAlike& l, int V) { l.transparent = V; });
    c.Property(
        "UseCustomGlyphs", [](const TLookAlike& l) { return l.use; },
        [](TLookAlike& l, bool V) { l.use = V; });
  }
  std::unique_ptr<TBitmap> glyphs = std::make_unique<TBitmap>();
  std::unique_ptr<TGlyphHolder> holder = std::make_unique<TGlyphHolder>();
  int transparent = 0;
  bool use = false;
};
RTL_IMPLEMENT_CLASS(TGlyphHolder)
RTL_IMPLEMENT_CLASS(TLookAlike)

class SkinRangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    probe.Add({"Headerbar", 5, false, 12, 12, 3, 3, 3, 3});
    probe.Add({"ProgressTwo", 2, false, 12, 12, 3, 3, 3, 3});
    probe.Add({"ProgressChunk", 1, false, 4, 6});
    probe.Add({"ProgressOne", 1, false, 12, 12, 3, 3, 3, 3});
    probe.Add({"Trackbar.ThumbHorz", 5, false, 10, 20});
    probe.Add({"Trackbar.ThumbVert", 5, false, 20, 10});
    probe.Add({"CheckStrip", 4, false, 13, 13});
    LoadWithProgressStyle(0);
    (form = new TForm(Application, 0))->SetBounds(20, 20, 420, 300);
    form->Show();
  }
  void TearDown() override { ResetVcl(), data.reset(); }
  void LoadWithProgressStyle(int Style, bool TiledChunk = false) {
    data = LoadEditedProbeSkin(probe, [&](std::string& Ini) {
      Ini += "[Progress]\r\nBitmap=" + std::string(Style == 1 ? "probe3.bmp" : "probe1.bmp") +
             "\r\nChunk=probe2.bmp\r\nStyle=" + std::to_string(Style) + (TiledChunk ? "\r\nTile=1" : "") +
             "\r\nLeftWidth=3\r\nTopHeight=3\r\nRightWidth=3\r\nBottomHeight=3\r\n"
             "[Buttons]\r\nCheckButton=probe6.bmp\r\nCheckButtonFrame=4\r\n"
             "[Colours]\r\nButtonFace=10,20,30\r\nButtonShadow=200,0,0\r\n";
    });
    ASSERT_NE(data, nullptr);
  }
  // A child of the form and its skinner, the child set up by Setup before the skinner attaches.
  template <class T, class TSkinner>
  std::pair<T*, TSkinner*> Skinned(int W, int H, const std::function<void(T*)>& Setup = nullptr) {
    auto* c = new T(form);
    c->SetParent(form);
    c->SetBounds(10, 10, W, H);
    if (Setup) Setup(c);
    auto* skinner = new TSkinner(c);
    skinner->AttachControl(nullptr, data.get(), false, nullptr);
    return {c, skinner};
  }
  TColor Probe(size_t Item, int Frame) const { return probe.RegionColour(Item, Frame, TNinePart::Middle); }
  TProbeSkin probe;
  std::unique_ptr<TSkinData> data;
  TForm* form = nullptr;
};

TEST_F(SkinRangeTest, HeaderHotItemFollowsTheMouseAndLeaves) {
  auto [header, skinner] = Skinned<THeaderControl, TSkinHeader>(300, 24);
  for (const char* text : {"", "", "Amount"}) header->Sections()->Add()->SetText(text);
  header->Sections()->Items(2)->SetWidth(120);
  // A lime image at the right of item 0, from the header's image list.
  HIMAGELIST list = ImageList_Create(8, 8, ILC_COLOR24, 1, 1);
  TScopeExit destroy([list] { ImageList_Destroy(list); });
  TBitmap icon;
  icon.SetSize(8, 8);
  icon.Canvas()->Brush()->SetColor(clLime);
  icon.Canvas()->FillRect(TRect{0, 0, 8, 8});
  ImageList_Add(list, icon.Handle(), nullptr);
  EXPECT_EQ(SendMessage(header->Handle(), HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list)), 0);
  HDITEM item{.mask = HDI_IMAGE | HDI_FORMAT, .fmt = HDF_RIGHT, .iImage = 0};
  SendMessage(header->Handle(), HDM_SETITEM, 0, reinterpret_cast<LPARAM>(&item));
  header->Repaint();
  const TPoint onItem1 = header->ClientToScreen(TPoint{75, 12}),
               away = form->ClientToScreen(TPoint{350, 200});
  // Mouse position, hot item, frames of items 0 and 1.
  const std::tuple<TPoint, int, int, int> cases[] = {{away, -1, 1, 1}, {onItem1, 1, 1, 2}, {away, -1, 1, 1}};
  for (const auto& [at, hot, frame0, frame1] : cases) {
    SCOPED_TRACE(hot);
    Input::MouseMove(at);
    Application->ProcessMessages();
    EXPECT_EQ(skinner->HotItem, hot);
    // Item 0, its image, item 1, right of item 2's text, right of the last item.
    const std::pair<int, TColor> points[] = {{25, Probe(kHeader, frame0)},
                                             {44, clLime},
                                             {75, Probe(kHeader, frame1)},
                                             {205, Probe(kHeader, 1)},
                                             {260, Probe(kHeader, 1)}};
    for (const auto& [x, colour] : points) EXPECT_EQ(WindowPixel(header->Handle(), x, 12), colour) << x;
  }
  ASSERT_EQ(skinner->ItemRects.size(), 3u);
  EXPECT_EQ(skinner->ItemRects[1], (TRect{53, 0, 97, 24}));
}

TEST_F(SkinRangeTest, TrackBarAnswersCustomDrawAndPaintsThumbAndChannel) {
  TTrackBar* bar = Skinned<TTrackBar, TSkinTrackBar>(200, 40).first;
  TBitmap target;
  target.SetSize(200, 200);
  const HDC dc = target.Canvas()->Handle();
  // Message, stage, part, answer.
  const std::tuple<UINT, DWORD, DWORD_PTR, LRESULT> answers[] = {
      {CN_NOTIFY, CDDS_PREPAINT, 0, CDRF_NOTIFYITEMDRAW},
      {WM_NOTIFY, CDDS_PREPAINT, 0, CDRF_NOTIFYITEMDRAW},
      {CN_NOTIFY, CDDS_ITEMPREPAINT, TBCD_TICS, CDRF_DODEFAULT},
      {CN_NOTIFY, CDDS_ITEMPREPAINT, TBCD_THUMB, CDRF_SKIPDEFAULT},
      {WM_NOTIFY, CDDS_ITEMPREPAINT, TBCD_CHANNEL, CDRF_SKIPDEFAULT},
      {CN_NOTIFY, CDDS_POSTPAINT, 0, CDRF_DODEFAULT}};
  for (const auto& [msg, stage, part, answer] : answers) {
    SCOPED_TRACE(stage + part * 10);
    NMCUSTOMDRAW nm{
        .hdr = {bar->Handle(), 0, NM_CUSTOMDRAW}, .dwDrawStage = stage, .hdc = dc, .dwItemSpec = part};
    EXPECT_EQ(bar->Perform(msg, 0, reinterpret_cast<LPARAM>(&nm)), answer);
  }
  delete bar;
  for (const TTrackBarOrientation orientation : {trHorizontal, trVertical}) {
    SCOPED_TRACE(orientation);
    const bool vertical = orientation == trVertical;
    bar = Skinned<TTrackBar, TSkinTrackBar>(vertical ? 40 : 200, vertical ? 200 : 40, [&](TTrackBar* B) {
            B->SetOrientation(orientation);
          }).first;
    bar->Repaint();
    const HWND w = bar->Handle();
    RECT thumb{}, channel{};
    SendMessage(w, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    SendMessage(w, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    EXPECT_EQ(WindowPixel(w, (thumb.Left + thumb.Right) / 2, (thumb.Top + thumb.Bottom) / 2),
              Probe(vertical ? kThumbV : kThumbH, 2));
    // Three quarters along the channel, away from the thumb, across its middle (a vertical bar
    // answers its channel laid horizontally).
    const int along = channel.Left + (channel.Right - channel.Left) * 3 / 4,
              across = (channel.Top + channel.Bottom) / 2;
    EXPECT_EQ(vertical ? WindowPixel(w, across, along) : WindowPixel(w, along, across), kGroove);
    delete bar;
  }
}

TEST_F(SkinRangeTest, ProgressFillsByStyleAndOrientationFromTheMinimum) {
  // Width, position, minimum, maximum, fill.
  const int widths[][5] = {{200, 75, 50, 100, 100},
                           {200, 150, 50, 100, 200},
                           {200, 10, 50, 100, 0},
                           {200, 5, 10, 10, 0},
                           {200, 5, 10, 0, 0},
                           {0, 75, 50, 100, 0},
                           {200, INT_MAX, INT_MIN, INT_MAX, 200}};
  for (const auto& [width, position, min, max, fill] : widths)
    EXPECT_EQ(ProgressFillWidth(width, position, min, max), fill) << position << " of " << min << ".." << max;
  // Style, tiled chunk, vertical, position (range 50..100), then whether a point before and after
  // the fill's middle edge (a quarter of the bar from it) is filled.
  const std::tuple<int, bool, bool, int, bool, bool> cases[] = {
      {0, false, false, 75, true, false}, {0, false, true, 75, true, false},
      {1, false, false, 75, true, false}, {1, false, true, 75, true, false},
      {1, true, false, 75, true, false},  {0, false, false, 150, true, true},
      {1, false, true, 20, false, false}};
  for (const auto& [style, tiled, vertical, position, before, after] : cases) {
    SCOPED_TRACE(style * 1000 + tiled * 100 + vertical * 10 + position);
    LoadWithProgressStyle(style, tiled);
    // The bar exchanges its sides as it turns.
    auto* bar = Skinned<TProgressBar, TSkinProgress>(200, 20, [&](TProgressBar* B) {
                  B->SetOrientation(vertical ? pbVertical : pbHorizontal);
                  B->SetMin(50);
                  B->SetPosition(position);
                }).first;
    bar->Repaint();
    const TColor filled = style == 1 ? Probe(kChunk, 1) : Probe(kProgress, 2);
    const TColor empty = style == 1 ? Probe(kProgressOne, 1) : Probe(kProgress, 1);
    // Along the bar from where the fill starts: the left end, or the bottom of a vertical bar.
    const HWND w = bar->Handle();
    auto at = [&](int Along) {
      return vertical ? WindowPixel(w, 10, 199 - Along) : WindowPixel(w, Along, 10);
    };
    EXPECT_EQ(at(50), before ? filled : empty);
    EXPECT_EQ(at(150), after ? filled : empty);
    delete bar;
  }
}

TEST_F(SkinRangeTest, SizerBoxAndGlyphLookAlikes) {
  HWND grip = CreateWindowEx(0, "ScrollBar", "", WS_CHILD | WS_VISIBLE | SBS_SIZEGRIP, 300, 200, 16, 16,
                             form->Handle(), nullptr, nullptr, nullptr);
  (new TSkinSizer(form))->AttachWindow(grip, data.get(), nullptr, nullptr);
  UpdateWindow(grip);
  EXPECT_EQ(WindowPixel(grip, 8, 8), kFace);

  HWND box = CreateWindowEx(0, "Static", "", WS_CHILD | WS_VISIBLE, 10, 200, 50, 30, form->Handle(), nullptr,
                            nullptr, nullptr);
  (new TSkinBoxH(form))->AttachWindow(box, data.get(), nullptr, nullptr);
  TBitmap target;
  target.SetSize(50, 30);
  EXPECT_EQ(SendMessage(box, WM_ERASEBKGND, reinterpret_cast<WPARAM>(target.Canvas()->Handle()), 0), 0);
  EXPECT_EQ(TColor(GetPixel(target.Canvas()->Handle(), 25, 15)), kFace);
  EXPECT_EQ(SendMessage(box, WM_CTLCOLORSTATIC, 0, 0), reinterpret_cast<LRESULT>(data->BackgroundBrush()));

  // Per mode the picture filled (its checked glyph probed) and the flags set, then taken back.
  for (const int mode : {1, 3}) {
    SCOPED_TRACE(mode);
    auto* control = new TLookAlike(form);
    control->SetParent(form);
    auto* skinner = new TSkinObjImage(control);
    skinner->Mode = mode;
    skinner->AttachControl(nullptr, data.get(), true, nullptr);
    TBitmap* glyphs = mode == 1 ? control->glyphs.get() : control->holder->glyph.get();
    ASSERT_EQ(glyphs->Width(), 13 * 4);
    EXPECT_EQ(TColor(GetPixel(glyphs->Canvas()->Handle(), 13 + 6, 6)), Probe(kCheck, 2));
    EXPECT_EQ(std::pair(control->use, control->transparent), std::pair(mode == 1, mode == 1 ? 0xFF00FF : 0));
    skinner->Detach();
    EXPECT_EQ(std::pair(control->use, glyphs->Empty()), std::pair(false, mode == 3));
  }
}

}  // namespace range_test
