#include <gtest/gtest.h>

#include "grid/dbgrid/DBGridEhControls.h"
#include "platform/vcl/StdCtrls.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

// The settings change on grids without a window: placing the strip is not in this version.
class SearchPanelTest : public DBGridTestBase {};

TEST_F(SearchPanelTest, TheStripShowsByItsSettingsAndTheSearch) {
  // Steps: E/e Enabled on/off, P/p PersistentShowing on/off, T text "x", S/s searching on/off;
  // the strip's showing after each step.
  const std::pair<const char*, const char*> cases[] = {
      {"pPTp", "0000"}, {"EpPe", "1010"}, {"ESps", "1110"}, {"ETSps", "11111"}, {"EpSs", "1010"}};
  for (const auto& [steps, want] : cases) {
    SCOPED_TRACE(steps);
    TDBGridSearchPanelEh* panel = (new TDBGridEh(form))->SearchPanel();
    std::string shown;
    for (const char* step = steps; *step; ++step) {
      const bool on = std::isupper(static_cast<unsigned char>(*step));
      if (std::toupper(*step) == 'E') panel->SetEnabled(on);
      if (std::toupper(*step) == 'P') panel->SetPersistentShowing(on);
      if (*step == 'T') panel->SetSearchingText("x");
      if (std::toupper(*step) == 'S') panel->SetSearching(on);
      shown += panel->Visible() ? '1' : '0';
    }
    EXPECT_EQ(shown, want);
  }
}

TEST_F(SearchPanelTest, AnExternalEditorTakesNoRoomAndKeepsTheFocus) {
  for (const TSearchPanelLocationEh location : {splGridTopEh, splExternal}) {
    SCOPED_TRACE(static_cast<int>(location));
    auto* g = new TDBGridEh(form);
    g->SearchPanelControl()->SetHeight(23);
    g->SearchPanel()->SetLocation(location);
    g->SearchPanel()->SetEnabled(true);
    EXPECT_EQ(g->SearchPanel()->GetHeightInGrid(), location == splExternal ? 0 : 23);
    auto* editor = new TEdit(form);
    g->SetParent(form), editor->SetParent(form), Pump();
    editor->SetFocus();
    g->SearchPanel()->SetSearching(true);
    g->SearchPanel()->SetSearching(false);  // the grid takes the focus back from the strip only
    EXPECT_EQ(std::make_pair(editor->Focused(), g->Focused()),
              std::make_pair(location == splExternal, location != splExternal));
  }
}
