#include "platform/gdi/Theme.h"

#include <gtest/gtest.h>

#include "PaintTestSupport.h"
#include "platform/gdi/DrawRecorder.h"

namespace {

// Runs first in this file; nothing in the library turns themes on by itself.
TEST(Theme, OffByDefault) {
  EXPECT_FALSE(ThemesEnabled());
  EXPECT_FALSE(IsThemeActive());
  EXPECT_FALSE(IsAppThemed());
  EXPECT_EQ(OpenThemeData(nullptr, "BUTTON"), nullptr);
}

class ThemeTest : public ::testing::Test {
 protected:
  void SetUp() override { SetThemesEnabled(true); }
  void TearDown() override {
    for (HTHEME t : opened_) CloseThemeData(t);
    SetThemesEnabled(false);
  }
  HTHEME Open(const std::string& cls) {
    HTHEME t = OpenThemeData(nullptr, cls);
    if (t) opened_.push_back(t);
    return t;
  }
  std::vector<HTHEME> opened_;
  TPaintCanvas canvas_;
};

TEST_F(ThemeTest, TheSwitchGovernsOpening) {
  EXPECT_TRUE(ThemesEnabled());
  EXPECT_TRUE(IsThemeActive());
  HTHEME button = Open("BUTTON");
  EXPECT_NE(button, nullptr);
  EXPECT_NE(Open("button"), nullptr);
  EXPECT_NE(Open("Explorer::TreeView;TreeView"), nullptr);
  EXPECT_NE(Open("Nothing; Header"), nullptr);
  EXPECT_EQ(Open("NOTHING"), nullptr);
  EXPECT_EQ(Open(""), nullptr);
  EXPECT_EQ(Open(";;"), nullptr);

  SetThemesEnabled(false);
  EXPECT_FALSE(IsThemeActive());
  EXPECT_EQ(OpenThemeData(nullptr, "BUTTON"), nullptr);
  // A handle opened while themes were on keeps working.
  RECT r{0, 0, 10, 10};
  EXPECT_EQ(DrawThemeBackground(button, canvas_.Dc(), BP_PUSHBUTTON, PBS_NORMAL, &r, nullptr), S_OK);
}

TEST_F(ThemeTest, AClosedHandleIsRefused) {
  HTHEME t = OpenThemeData(nullptr, "EDIT");
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(CloseThemeData(t), S_OK);
  EXPECT_LT(CloseThemeData(t), 0);
  RECT r{0, 0, 10, 10};
  EXPECT_LT(DrawThemeBackground(t, canvas_.Dc(), EP_EDITTEXT, ETS_NORMAL, &r, nullptr), 0);
  HTHEME again = Open("EDIT");  // may reuse the slot, never the handle
  EXPECT_NE(again, t);
  EXPECT_LT(DrawThemeBackground(t, canvas_.Dc(), EP_EDITTEXT, ETS_NORMAL, &r, nullptr), 0);
  EXPECT_EQ(DrawThemeBackground(again, canvas_.Dc(), EP_EDITTEXT, ETS_NORMAL, &r, nullptr), S_OK);
  EXPECT_LT(CloseThemeData(nullptr), 0);
  EXPECT_LT(CloseThemeData(reinterpret_cast<HTHEME>(uintptr_t{0x7654321})), 0);
  EXPECT_TRUE(canvas_.Untouched(RECT{10, 0, 32, 32}));
}

TEST_F(ThemeTest, RecordsEveryPartWithItsNameAndState) {
  struct Case {
    const char* cls;
    int part, state;
    const char* note;
    bool paints;
  } cases[] = {
      {"BUTTON", BP_PUSHBUTTON, PBS_NORMAL, "BUTTON.BP_PUSHBUTTON.PBS_NORMAL", true},
      {"BUTTON", BP_PUSHBUTTON, PBS_DEFAULTED, "BUTTON.BP_PUSHBUTTON.PBS_DEFAULTED", true},
      {"BUTTON", BP_RADIOBUTTON, RBS_CHECKEDHOT, "BUTTON.BP_RADIOBUTTON.RBS_CHECKEDHOT", true},
      {"BUTTON", BP_CHECKBOX, CBS_MIXEDDISABLED, "BUTTON.BP_CHECKBOX.CBS_MIXEDDISABLED", true},
      {"HEADER", HP_HEADERITEM, HIS_PRESSED, "HEADER.HP_HEADERITEM.HIS_PRESSED", true},
      {"HEADER", HP_HEADERSORTARROW, HSAS_SORTEDDOWN, "HEADER.HP_HEADERSORTARROW.HSAS_SORTEDDOWN", true},
      {"TREEVIEW", TVP_GLYPH, GLPS_OPENED, "TREEVIEW.TVP_GLYPH.GLPS_OPENED", true},
      {"STATUS", SP_GRIPPER, 0, "STATUS.SP_GRIPPER", true},
      {"TOOLBAR", TP_BUTTON, TS_NORMAL, "TOOLBAR.TP_BUTTON.TS_NORMAL", false},
      {"TOOLBAR", TP_BUTTON, TS_HOT, "TOOLBAR.TP_BUTTON.TS_HOT", true},
      {"EDIT", EP_EDITTEXT, ETS_FOCUSED, "EDIT.EP_EDITTEXT.ETS_FOCUSED", true},
      {"LISTVIEW", LVP_LISTITEM, LISS_NORMAL, "LISTVIEW.LVP_LISTITEM.LISS_NORMAL", false},
      {"LISTVIEW", LVP_LISTITEM, LISS_SELECTED, "LISTVIEW.LVP_LISTITEM.LISS_SELECTED", true},
  };
  const RECT r{4, 4, 28, 20};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    canvas_.Clear();
    HTHEME t = Open(c.cls);
    ASSERT_NE(t, nullptr);
    EXPECT_TRUE(IsThemePartDefined(t, c.part, c.state));
    TDrawLog log;
    AttachDrawRecorder(canvas_.Dc(), &log);
    EXPECT_EQ(DrawThemeBackground(t, canvas_.Dc(), c.part, c.state, &r, nullptr), S_OK);
    AttachDrawRecorder(canvas_.Dc(), nullptr);
    ASSERT_EQ(log.Calls.size(), 1u);
    EXPECT_EQ(log.Calls[0].Kind, TDrawKind::ThemePart);
    EXPECT_EQ(log.Calls[0].Note, c.note);
    EXPECT_EQ(log.Calls[0].Flags, static_cast<UINT>(c.part << 16 | (c.state ? c.state : 1)));
    EXPECT_EQ(log.Calls[0].Rect, r);
    EXPECT_EQ(!canvas_.Untouched(r), c.paints);
    EXPECT_TRUE(canvas_.Untouched(RECT{0, 0, 32, 4}));
    EXPECT_TRUE(canvas_.Untouched(RECT{0, 20, 32, 32}));
    EXPECT_TRUE(canvas_.Untouched(RECT{0, 0, 4, 32}));
    EXPECT_TRUE(canvas_.Untouched(RECT{28, 0, 32, 32}));
  }
}

TEST_F(ThemeTest, TheClipRectangleLimitsPainting) {
  HTHEME t = Open("BUTTON");
  const RECT r{4, 4, 28, 20}, clip{0, 0, 10, 32};
  EXPECT_EQ(DrawThemeBackground(t, canvas_.Dc(), BP_PUSHBUTTON, PBS_HOT, &r, &clip), S_OK);
  EXPECT_FALSE(canvas_.Untouched(RECT{4, 4, 10, 20}));
  EXPECT_TRUE(canvas_.Untouched(RECT{10, 0, 32, 32}));
}

TEST_F(ThemeTest, RefusesUnknownPartsStatesAndArguments) {
  HTHEME t = Open("BUTTON");
  const RECT r{4, 4, 28, 20};
  TDrawLog log;
  AttachDrawRecorder(canvas_.Dc(), &log);
  EXPECT_LT(DrawThemeBackground(t, canvas_.Dc(), 9, 1, &r, nullptr), 0);
  EXPECT_LT(DrawThemeBackground(t, canvas_.Dc(), HP_HEADERSORTARROW, 1, &r, nullptr),
            0);  // not a button part
  EXPECT_LT(DrawThemeBackground(t, canvas_.Dc(), BP_CHECKBOX, 13, &r, nullptr), 0);
  EXPECT_LT(DrawThemeBackground(t, canvas_.Dc(), BP_CHECKBOX, -1, &r, nullptr), 0);
  EXPECT_LT(DrawThemeBackground(t, canvas_.Dc(), BP_CHECKBOX, 1, nullptr, nullptr), 0);
  EXPECT_LT(DrawThemeBackground(t, nullptr, BP_CHECKBOX, 1, &r, nullptr), 0);
  AttachDrawRecorder(canvas_.Dc(), nullptr);
  EXPECT_TRUE(log.Calls.empty());
  EXPECT_TRUE(canvas_.Untouched(canvas_.All()));
  EXPECT_FALSE(IsThemePartDefined(t, 9, 1));
  EXPECT_FALSE(IsThemePartDefined(t, BP_RADIOBUTTON, 9));
}

TEST_F(ThemeTest, PartSizes) {
  struct Case {
    const char* cls;
    int part;
    THEMESIZE kind;
    SIZE expected;
  } cases[] = {
      {"BUTTON", BP_CHECKBOX, TS_TRUE, {13, 13}},   {"BUTTON", BP_RADIOBUTTON, TS_DRAW, {13, 13}},
      {"TREEVIEW", TVP_GLYPH, TS_TRUE, {9, 9}},     {"HEADER", HP_HEADERSORTARROW, TS_TRUE, {7, 4}},
      {"STATUS", SP_GRIPPER, TS_TRUE, {12, 12}},    {"BUTTON", BP_PUSHBUTTON, TS_MIN, {2, 2}},
      {"BUTTON", BP_PUSHBUTTON, TS_DRAW, {24, 16}}, {"EDIT", EP_EDITTEXT, TS_TRUE, {2, 2}},
      {"TOOLBAR", TP_BUTTON, TS_MIN, {0, 0}},
  };
  const RECT r{4, 4, 28, 20};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.cls << " " << c.part);
    SIZE s{-1, -1};
    EXPECT_EQ(GetThemePartSize(Open(c.cls), canvas_.Dc(), c.part, 1, &r, c.kind, &s), S_OK);
    EXPECT_EQ(s, c.expected);
  }
  EXPECT_LT(GetThemePartSize(Open("BUTTON"), nullptr, BP_CHECKBOX, 1, nullptr, TS_TRUE, nullptr), 0);
}

TEST_F(ThemeTest, ColoursFollowTheState) {
  HTHEME button = Open("BUTTON"), toolbar = Open("TOOLBAR");
  COLORREF normal = 0, hot = 0, disabled = 0;
  EXPECT_EQ(GetThemeColor(button, BP_PUSHBUTTON, PBS_NORMAL, TMT_FILLCOLOR, &normal), S_OK);
  EXPECT_EQ(GetThemeColor(button, BP_PUSHBUTTON, PBS_HOT, TMT_FILLCOLOR, &hot), S_OK);
  EXPECT_NE(normal, hot);
  EXPECT_EQ(GetThemeColor(button, BP_PUSHBUTTON, PBS_DISABLED, TMT_TEXTCOLOR, &disabled), S_OK);
  COLORREF text = 0;
  EXPECT_EQ(GetThemeColor(button, BP_PUSHBUTTON, PBS_NORMAL, TMT_TEXTCOLOR, &text), S_OK);
  EXPECT_NE(disabled, text);
  COLORREF unused = 0;
  EXPECT_LT(GetThemeColor(toolbar, TP_BUTTON, TS_NORMAL, TMT_FILLCOLOR, &unused),
            0);  // a flat toolbar button
  EXPECT_LT(GetThemeColor(button, BP_PUSHBUTTON, PBS_NORMAL, 1234, &unused), 0);
  EXPECT_LT(GetThemeColor(button, BP_PUSHBUTTON, PBS_NORMAL, TMT_FILLCOLOR, nullptr), 0);

  // What GetThemeColor answers is what the painter paints.
  const RECT r{4, 4, 28, 20};
  DrawThemeBackground(button, canvas_.Dc(), BP_PUSHBUTTON, PBS_HOT, &r, nullptr);
  COLORREF border = 0;
  GetThemeColor(button, BP_PUSHBUTTON, PBS_HOT, TMT_BORDERCOLOR, &border);
  EXPECT_EQ(canvas_.At(4, 4), border);
  EXPECT_EQ(canvas_.At(27, 19), border);
  EXPECT_EQ(canvas_.At(10, 10), hot);
}

TEST_F(ThemeTest, CheckBoxMarksAndGlyphs) {
  HTHEME button = Open("BUTTON");
  const RECT r{4, 4, 28, 20};  // the 13 x 13 box is centred: (9, 5) - (22, 18)
  struct Case {
    int state;
    int glyphPixels;  // frame (48) plus the mark
  } cases[] = {{CBS_UNCHECKEDNORMAL, 48}, {CBS_CHECKEDNORMAL, 48 + 21}, {CBS_MIXEDNORMAL, 48 + 49}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.state);
    canvas_.Clear();
    DrawThemeBackground(button, canvas_.Dc(), BP_CHECKBOX, c.state, &r, nullptr);
    COLORREF border = 0;
    GetThemeColor(button, BP_CHECKBOX, c.state, TMT_BORDERCOLOR, &border);
    EXPECT_EQ(canvas_.Count(border), c.glyphPixels);
    EXPECT_EQ(canvas_.BoundsOf(border), (RECT{9, 5, 22, 18}));
  }

  HTHEME header = Open("HEADER");
  canvas_.Clear();
  DrawThemeBackground(header, canvas_.Dc(), HP_HEADERSORTARROW, HSAS_SORTEDUP, &r, nullptr);
  const RECT arrow{12, 10, 19, 14};
  EXPECT_EQ(canvas_.Count(kCanvasBackground, arrow), 28 - 16);
  EXPECT_EQ(canvas_.Count(kCanvasBackground, RECT{12, 10, 19, 11}), 6);  // the apex row
  EXPECT_EQ(canvas_.Count(kCanvasBackground, RECT{12, 13, 19, 14}), 0);  // the base row

  HTHEME tree = Open("TREEVIEW");
  canvas_.Clear();
  DrawThemeBackground(tree, canvas_.Dc(), TVP_GLYPH, GLPS_CLOSED, &r, nullptr);
  const COLORREF plus = canvas_.At(15, 10);  // above the centre of the 9 x 9 box at (11, 7)
  EXPECT_EQ(canvas_.At(15, 11), plus);
  canvas_.Clear();
  DrawThemeBackground(tree, canvas_.Dc(), TVP_GLYPH, GLPS_OPENED, &r, nullptr);
  EXPECT_EQ(canvas_.At(15, 11), plus);  // both have the bar
  EXPECT_NE(canvas_.At(15, 10), plus);  // only the closed glyph has the upright
}

}  // namespace
