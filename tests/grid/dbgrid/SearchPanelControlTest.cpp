// The search strip on a shown grid: its layout in both places, and what typing, its keys and its
// buttons do to the text, the records, the search and the filter button.
#include <map>
#include <sstream>

#include "grid/dbgrid/DBGridEhNavigator.h"
#include "grid/dbgrid/DBGridEhSearchPanelControl.h"
#include "grid/dbgrid/DBGridEhStyle.h"
#include "grid/dbgrid/DBGridEhToolResources.h"
#include "grid/foundation/ColorRoutinesEh.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Input.h"
#include "platform/win/WinTesting.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"
#include "tests/support/SurfacePixels.h"

namespace {

class SearchPanelControlTest : public DBGridTestBase {
 protected:
  void SetUp() override {
    DBGridTestBase::SetUp();
    AddColumns({"ID", "NAME"});
    AddRows({{1, "apple", 0}, {2, "banana", 0}, {3, "cherry", 0}, {4, "grape", 0}, {5, "pineapple", 0}});
    strip = grid->SearchPanelControl();
  }
  // "Esc", "Enter", "Up", "Down", "Tab", "Back", "C-F" (Ctrl with a letter); '"text' types text;
  // "#0" clicks the strip's button 0, "@" the middle of its text box. Answers the state after
  // each step.
  std::string Run(const std::string& Script) {
    static const std::map<std::string, WORD> keys{{"Esc", VK_ESCAPE}, {"Enter", VK_RETURN},
                                                  {"Up", VK_UP},      {"Down", VK_DOWN},
                                                  {"Tab", VK_TAB},    {"Back", VK_BACK}};
    std::istringstream in(Script);
    std::string states;
    for (std::string token; in >> token; states += (states.empty() ? "" : " ") + State()) {
      if (token[0] == '"') {
        for (char32_t ch : Utf8ToUtf16(token.substr(1))) Input::Char(ch);
      } else if (token == "@") {
        TNavFindEditEh* box = strip->FindEdit();
        WinTesting::Click(box->ClientToScreen(TPoint{box->ClientWidth() / 2, box->ClientHeight() / 2}));
      } else if (token[0] == '#') {
        TNavFindButtonEh* button = strip->Button(token[1] - '0');
        const TRect r = button->BoundsRect();
        WinTesting::Click(strip->ClientToScreen(TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}));
      } else {
        const bool ctrl = token.starts_with("C-");
        const WORD key = ctrl ? static_cast<WORD>(token[2]) : keys.at(token);
        if (ctrl) Input::KeyDown(VK_CONTROL);
        Input::KeyDown(key);
        Input::KeyUp(key);
        if (ctrl) Input::KeyUp(VK_CONTROL);
      }
      Pump();
    }
    return states;
  }
  // text/record count/current ID/searching/filter button (its image with the hint that goes with
  // it, "x" when disabled)/strip shown.
  std::string State() {
    TNavFindButtonEh* button = strip->Button(0);
    std::string look = "?";
    if (button->GlyphIndex() == kToolGlyphCancelFilterEh &&
        button->Hint() == "Cancel filter and clear the search text")
      look = "10";
    if (button->GlyphIndex() == kToolGlyphFilterEh &&
        button->Hint() == "Show records where the text is found")
      look = "14";
    if (!button->Enabled()) look += "x";
    return strip->FindEdit()->Text() + "/" + std::to_string(dataSet->RecordCount()) + "/" +
           dataSet->FieldByName("ID")->AsString() + "/" + (grid->SearchMode() ? "S" : "-") + "/" + look +
           "/" + (strip->Visible() ? "V" : "h");
  }

  TDBGridSearchPanelControlEh* strip = nullptr;
};

TEST_F(SearchPanelControlTest, KeysButtonsAndTypingDriveTheSearch) {
  // Setup: f FilterEnabled off, T FilterOnTyping on, p PersistentShowing off.
  struct Case {
    const char* id;
    const char* setup;
    const char* script;
    const char* states;
  };
  // clang-format off
  const Case cases[] = {
    {"type-two", "", "C-F \"p \"i", "/5/3/S/10/V p/5/1/S/14/V pi/5/5/S/14/V"},
    {"enter-filters", "", "C-F \"ap Enter #0", "/5/3/S/10/V ap/5/1/S/14/V ap/3/1/S/10/V /5/1/-/10x/V"},
    {"enter-clears", "f", "C-F \"ap Enter", "/5/3/S/10/V ap/5/1/S/14/V /5/1/-/10x/V"},
    {"escape", "", "C-F \"gr Esc", "/5/3/S/10/V gr/5/4/S/14/V /5/4/-/10x/V"},
    {"down-up", "", "C-F \"ap Down Down Up", "/5/3/S/10/V ap/5/1/S/14/V ap/5/4/S/14/V ap/5/5/S/14/V ap/5/4/S/14/V"},
    {"tab", "", "C-F \"ch Tab", "/5/3/S/10/V ch/5/3/S/14/V ch/5/3/-/14/V"},
    {"typing-filters", "T", "C-F \"ap Back Back", "/5/3/S/10/V ap/3/1/S/14/V a/4/1/S/14/V /5/1/S/14/V"},
    {"hides-when-done", "p", "C-F \"a Esc", "/5/3/S/10/V a/5/1/S/14/V /5/1/-/10x/h"},
    {"stays-with-text", "p", "C-F \"a Tab", "/5/3/S/10/V a/5/1/S/14/V a/5/1/-/14/V"},
    // Enter on an empty box: the search ends with every record, as after Escape.
    {"empty-enter-clears", "", "C-F Enter", "/5/3/S/10/V /5/3/-/10x/V"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const std::string setup = c.setup;
    TDBGridSearchPanelEh* settings = grid->SearchPanel();
    settings->SetFilterEnabled(setup.find('f') == std::string::npos);
    settings->SetFilterOnTyping(setup.find('T') != std::string::npos);
    settings->SetPersistentShowing(setup.find('p') == std::string::npos);
    settings->SetEnabled(true);
    dataSet->First();
    dataSet->MoveBy(2);
    grid->SetFocus();
    Pump();
    EXPECT_EQ(Run(c.script), c.states);
    EXPECT_EQ(handlerErrors, std::vector<std::string>{});
    strip->ClearSearch();
    strip->FindEdit()->Items()->Clear();  // no completion from the texts of the case before
    settings->SetEnabled(false);
  }
}

// A condition typed into the filter row, applied and deleted again; then a click in the search
// box and two typed characters, each filtering as typed. Both stay in the box: the grid placing
// its filter editor after the data changed leaves the keyboard where the user put it.
TEST_F(SearchPanelControlTest, TypingStaysInTheBoxAfterTheFilterRowWasEdited) {
  grid->STFilter()->SetVisible(true);
  grid->SearchPanel()->SetFilterOnTyping(true);
  grid->SearchPanel()->SetEnabled(true);
  dataSet->First();
  grid->SetFocus();
  Pump();
  Run("Up Tab \"~b% Enter");
  ASSERT_EQ(std::make_tuple(grid->FilterEditMode(), grid->FilterEdit()->Focused(), dataSet->RecordCount()),
            std::make_tuple(true, true, 1));
  Run("Back Back Back Enter");
  EXPECT_EQ(dataSet->RecordCount(), 5);
  EXPECT_EQ(Run("@ \"c \"h"), "/5/1/S/10x/V c/1/3/S/14/V ch/1/3/S/14/V");
  EXPECT_EQ(std::make_tuple(strip->FindEdit()->Focused(), grid->FilterEdit()->Text()),
            std::make_tuple(true, ""));
  EXPECT_EQ(handlerErrors, std::vector<std::string>{});
}

TEST_F(SearchPanelControlTest, PastedTextOfAnyLengthAndBytesIsOnlyCompared) {
  ASSERT_TRUE(SetClipboardTextFromHost(std::string(100000, 'p') + "\xC3\x28\xFF\x01%*[?"));
  grid->SearchPanel()->SetEnabled(true);
  grid->SetFocus();
  Run("C-F C-V Enter");
  EXPECT_EQ(std::make_tuple(strip->FindEdit()->Text().size() > 100000, dataSet->RecordCount(), handlerErrors),
            std::make_tuple(true, 0, std::vector<std::string>{}));
  Run("Esc");
  EXPECT_EQ(dataSet->RecordCount(), 5);
}

// The boxes of the buttons 0-3 and of the text box, in the strip's client coordinates.
std::string Boxes(TDBGridSearchPanelControlEh* Strip) {
  std::string text;
  for (int i = 0; i <= 4; ++i) {
    const TRect r = i < 4 ? Strip->Button(i)->BoundsRect() : Strip->FindEdit()->BoundsRect();
    text += Format("%d,%d,%d,%d ", {r.Left, r.Top, r.Right, r.Bottom});
  }
  return text;
}

TEST_F(SearchPanelControlTest, TheStripLaysOutAboveTheGridAndInTheScrollBarStrip) {
  // Place: T above the grid, R above a right-to-left grid, S in the scroll-bar strip at 200 x 17.
  struct Case {
    char place;
    bool filterEnabled;
    const char* boxes;
    int answer, preferredHeight, topStrip;
  };
  const Case cases[] = {
      {'T', true, "425,0,449,24 449,0,473,24 473,0,497,24 0,0,0,0 0,3,421,21 ", 496, 25, 25},
      {'T', false, "0,0,0,0 449,0,473,24 473,0,497,24 0,0,0,0 0,3,445,21 ", 496, 25, 25},
      {'R', true, "51,0,75,24 27,0,51,24 3,0,27,24 0,0,0,0 79,3,500,21 ", 496, 25, 25},
      {'S', true, "149,0,165,16 165,0,181,16 181,0,197,16 0,0,0,0 0,0,145,17 ", 196, 23, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(1, c.place) + (c.filterEnabled ? "+" : "-"));
    TValueRestorer<bool> mirrored(SysLocale().MiddleEast, c.place == 'R');
    // A child takes its parent's mode when it is put in; a later change stays with the parent.
    for (TControl* control : std::initializer_list<TControl*>{grid, strip})
      control->SetBiDiMode(c.place == 'R' ? bdRightToLeft : bdLeftToRight);
    grid->SearchPanel()->SetLocation(c.place == 'S' ? splHorzScrollBarExtraPanelEh : splGridTopEh);
    grid->SearchPanel()->SetFilterEnabled(c.filterEnabled);
    grid->SearchPanel()->SetEnabled(true);
    strip->SetInScrollBarPanel(c.place == 'S');
    const int answer = c.place == 'S' ? strip->RealignControls(200, 17) : strip->RealignControls(500, 25);
    EXPECT_EQ(std::make_tuple(Boxes(strip), answer, strip->GetPreferredHeight(),
                              grid->OutBoundaryData()->TopIndent()),
              std::make_tuple(std::string(c.boxes), c.answer, c.preferredHeight, c.topStrip));
    grid->SearchPanel()->SetEnabled(false);
  }
  EXPECT_EQ(strip->GetPreferredWidth(16), 164);
  // The strip's height follows its box's font, which is the grid's.
  grid->Font()->SetSize(20);
  grid->SearchPanel()->SetLocation(splGridTopEh);
  strip->SetInScrollBarPanel(false);
  grid->SearchPanel()->SetEnabled(true);
  EXPECT_EQ(strip->Height(), GetFontTextHeight(grid->Font()) + 12);
}

TEST_F(SearchPanelControlTest, TheStripPaintsItsFillLinesAndFrames) {
  grid->SearchPanel()->SetEnabled(true);
  Pump();
  const auto at = [this](TControl* Control, int X, int Y) {
    const TPoint p = Control->ClientToScreen(TPoint{X, Y});
    return test_support::ScreenPixel(form->Handle(), POINT{p.X, p.Y});
  };
  const COLORREF bright = ColorToRGB(grid->GridLineColors()->GetBrightColor());
  // Between the box and the buttons, and the bottom line under it; the box's frame.
  const int gap = strip->Button(0)->Left() - 2;
  const TRect frame = strip->FindEdit()->BoundsRect();
  EXPECT_EQ(std::make_tuple(at(strip, gap, 12), at(strip, gap, 24), at(strip, frame.Left, frame.Top)),
            std::make_tuple(ColorToRGB(clBtnFace), bright, bright));
  // The box: idle in its parent's colour two thirds toward the window colour, white under the
  // mouse and while focused.
  TNavFindEditEh* box = strip->FindEdit();
  strip->SetColor(clBtnFace);
  std::vector<TColor> colors;
  for (UINT message : {CM_MOUSELEAVE, CM_MOUSEENTER, CM_MOUSELEAVE}) {
    box->Perform(message, 0, 0);
    colors.push_back(box->Color());
  }
  box->SetFocus();
  Pump();
  box->Perform(CM_MOUSELEAVE, 0, 0);
  colors.push_back(box->Color());
  const TColor idle = BlendColors(clBtnFace, clWindow, 170.0);
  EXPECT_EQ(colors, (std::vector<TColor>{idle, clWindow, idle, clWindow}));
  const COLORREF lit = ColorToRGB(grid->Style()->BlendColors(grid->Color(), clHighlight, true));
  EXPECT_EQ(at(strip, gap, 12), lit);
}

}  // namespace
