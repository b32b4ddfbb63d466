// The grid's scroll-bar strips and the size grip in the corner between them.
#include "grid/dbgrid/DBGridEhNavigator.h"
#include "grid/dbgrid/DBGridEhScrollBarPanel.h"
#include "grid/dbgrid/DBGridEhSearchPanelControl.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/Cursors.h"
#include "platform/win/Painting.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"
#include "tests/support/PaintOracle.h"

namespace dbgrid_scroll_bar_panel_test {

// Forty records over four wide columns, both bars needed, the strips shown.
class ScrollBarPanelTest : public DBGridTestBase {
 protected:
  void SetUp() override {
    DBGridTestBase::SetUp();
    AddColumns({"ID", "NAME", "AMOUNT", "PAID"});
    for (int i = 0; i < 4; ++i) grid->Columns()->GetColumn(i)->SetWidth(200);
    AddNumberedRows(40);
    grid->HorzScrollBar()->ExtraPanel()->SetVisible(true);
    Pump();
    grid->UpdateScrollBarPanel();
  }
  TDBGridEhScrollBarPanelControl* Strip(bool Horz = true) {
    return Horz ? grid->HorzScrollBarPanelControl() : grid->VertScrollBarPanelControl();
  }
  // A grip of its own on the form, Dx, Dy from the form's client corner.
  void PlaceGrip(bool Rtl, int Dx, int Dy) {
    if (!grip) (grip = new TSizeGripPanelEh(form))->SetParent(form);
    grip->SetBiDiMode(Rtl ? bdRightToLeft : bdLeftToRight);
    grip->SetBounds(Rtl ? Dx : form->ClientWidth() - 17 - Dx, form->ClientHeight() - 17 - Dy, 17, 17);
    Pump();
  }
  // A mouse message at a screen point, wherever the grip stands by then.
  void Mouse(UINT Msg, TPoint Screen) {
    const TPoint p = grip->ScreenToClient(Screen);
    grip->Perform(Msg, Msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(p.X, p.Y));
  }
  // The last drawing call of the grip's paint.
  TDrawCall PaintGrip() {
    TBitmap bitmap;
    TDrawLog log;
    AttachDrawRecorder(bitmap.Canvas()->Handle(), &log);
    grip->Canvas()->SetHandle(bitmap.Canvas()->Handle());
    grip->Paint();
    grip->Canvas()->SetHandle(nullptr);
    AttachDrawRecorder(bitmap.Canvas()->Handle(), nullptr);
    return log.Calls.at(log.Calls.size() - 1);
  }
  TSizeGripPanelEh* grip = nullptr;
};

TEST_F(ScrollBarPanelTest, TheNavigatorFollowsTheSettingsUpToItsCapAndHoldsTheSearchStrip) {
  EXPECT_EQ(
      std::tuple(Strip()->ScrollBar()->Perform(WM_MOUSEACTIVATE, 0, 0), Strip(false)->Navigator()->Visible()),
      std::tuple(MA_NOACTIVATE, false));
  TDBGridEhNavigatorPanel* nav = Strip()->Navigator();
  Strip()->UpdateContent();
  EXPECT_EQ(nav->DataSource(), source);
  TDBGridEhScrollBarPanel* settings = grid->HorzScrollBar()->ExtraPanel();
  settings->SetNavigatorButtons(TNavButtonSetEh{nbFirstEh, nbLastEh});
  settings->SetVisibleItems(TGridSBItemsEh{gsbiNavigator});
  EXPECT_TRUE(nav->VisibleButtons() == TNavButtonSetEh({nbFirstEh, nbLastEh}) &&
              nav->VisibleItems() == TGridSBItemsEh{gsbiNavigator} && nav->Width() == nav->UpdateLayout());
  settings->SetNavigatorButtons(TNavButtonSetEh::FromUInt(1023));
  form->SetWidth(200);
  Pump();
  EXPECT_EQ(nav->Width(), Strip()->Width() - 2 * GetSystemMetrics(SM_CYHSCROLL));

  TDBGridSearchPanelControlEh* search = grid->SearchPanelControl();
  for (const bool here : {true, false}) {
    grid->SearchPanel()->SetLocation(here ? splHorzScrollBarExtraPanelEh : splGridTopEh);
    grid->SearchPanel()->SetEnabled(true);
    Strip()->UpdateContent();
    EXPECT_TRUE(search->Visible() && (nav->AttachedControl() == search) == here &&
                search->InScrollBarPanel() == here &&
                search->Parent() == (here ? static_cast<TWinControl*>(nav) : grid));
  }
}

TEST_F(ScrollBarPanelTest, TheBarTakesARangeExceedingAPageAndScrollsTheGrid) {
  TControlScrollBarEh* bar = Strip()->ScrollBar();
  // A disabled bar keeps the values it had.
  // clang-format off
  struct Case { int pos, min, page, max; bool enabled; int wantPos, wantMax, wantPage; } cases[] = {
      {5, 0, 10, 100, true, 5, 100, 10}, {5, 0, 100, 100, true, 5, 100, 100}, {150, 20, 30, 60, true, 60, 60, 30},
      {1, 0, 101, 100, false, 60, 60, 30}, {1, 50, 0, 50, false, 60, 60, 30}, {1, 60, 0, 50, false, 60, 60, 30}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.pos << "," << c.min << "," << c.page << "," << c.max);
    Strip()->SetScrollParams(c.pos, c.min, c.page, c.max);
    EXPECT_EQ(std::tuple(bar->Enabled(), bar->Position(), bar->Max(), bar->PageSize()),
              std::tuple(c.enabled, c.wantPos, c.wantMax, c.wantPage));
  }
  // The grid takes the bar's scroll events and the bar shows where the grid went.
  TControlScrollBarEh* horz = bar;
  horz->Perform(CN_HSCROLL, SB_BOTTOM, 0);
  EXPECT_TRUE(grid->LeftCol() > grid->FixedCols() && horz->Position() == horz->Max() - horz->PageSize() + 1);
  horz->Perform(CN_HSCROLL, SB_TOP, 0);
  EXPECT_EQ(std::tuple(grid->LeftCol(), horz->Position()), std::tuple(grid->FixedCols(), 0));
  TControlScrollBarEh* vert = Strip(false)->ScrollBar();
  for (const auto& [code, recNo] :
       {std::tuple(SB_BOTTOM, 40), std::tuple(SB_PAGEUP, 40 - grid->VisibleRowCount()),
        std::tuple(SB_TOP, 1)}) {
    vert->Perform(CN_VSCROLL, code, 0);
    EXPECT_EQ(std::tuple(dataSet->RecNo(), vert->Position()), std::tuple(recNo, recNo)) << code;
  }
}

TEST_F(ScrollBarPanelTest, TheGripPaintsAndResizesInTheCornerOfASizableWindowOnly) {
  TValueRestorer<bool> middleEast(SysLocale().MiddleEast, true);
  const DWORD style = GetWindowLong(form->Handle(), GWL_STYLE);
  // clang-format off
  struct Case { const char* id; bool rtl; int dx, dy; bool sizable, active; } cases[] = {
      {"corner", false, 0, 0, true, true}, {"4 px inside", false, 4, 4, true, true},
      {"5 px left", false, 5, 0, true, false}, {"5 px up", false, 0, 5, true, false},
      {"no sizing frame", false, 0, 0, false, false}, {"right to left", true, 0, 0, true, true},
      {"right to left, 5 px right", true, 5, 0, true, false}, {"middle of the form", false, 60, 60, true, false}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    SetWindowLong(form->Handle(), GWL_STYLE, c.sizable ? style : style & ~WS_THICKFRAME);
    PlaceGrip(c.rtl, c.dx, c.dy);
    EXPECT_EQ(grip->IsGripActive(), c.active);
    // Active: the classic gripper for its corner; else a flat face.
    const TDrawCall paint = PaintGrip();
    const UINT look = c.rtl ? DFCS_SCROLLSIZEGRIPRIGHT : DFCS_SCROLLSIZEGRIP;
    EXPECT_EQ(std::tuple(paint.Kind, c.active ? paint.Flags : paint.Color),
              std::tuple(c.active ? TDrawKind::FrameControl : TDrawKind::FillRect,
                         c.active ? look : ColorToRGB(clBtnFace)));
    grip->Perform(WM_SETCURSOR, reinterpret_cast<WPARAM>(grip->Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor() == Screen->Cursors(c.rtl ? crSizeNESW : crSizeNWSE), c.active);
    // Every move sets the size at the press plus the whole distance since the press (right to
    // left, the right edge stays); an inactive grip resizes nothing.
    const TRect start = form->BoundsRect();
    const TPoint press = grip->ClientToScreen(TPoint{3, 3});
    Mouse(WM_LBUTTONDOWN, press);
    for (const TPoint d : {TPoint{10, 6}, TPoint{40, 20}, TPoint{-30, -12}}) {
      Mouse(WM_MOUSEMOVE, TPoint{press.X + d.X, press.Y + d.Y});
      const TRect now = form->BoundsRect();
      const int dx = !c.active ? 0 : c.rtl ? -d.X : d.X, dy = c.active ? d.Y : 0;
      EXPECT_EQ(std::tuple(now.Width(), now.Height(), c.rtl ? now.Right : now.Left),
                std::tuple(start.Width() + dx, start.Height() + dy, c.rtl ? start.Right : start.Left));
    }
    Mouse(WM_LBUTTONUP, press);
    Mouse(WM_MOUSEMOVE, press);
    EXPECT_EQ(std::tuple(grip->DragStart(), form->Width() - start.Width()),
              std::tuple(TPoint{-1, -1}, !c.active ? 0
                                         : c.rtl   ? 30
                                                   : -30));
    form->SetBoundsRect(start);
  }
  SetThemesEnabled(true);
  TScopeExit themesOff([] { SetThemesEnabled(false); });
  PlaceGrip(false, 0, 0);
  EXPECT_EQ(PaintGrip().Note, "STATUS.SP_GRIPPER");
}

// The strip turned on and off after the settings that make the window's own vertical bar show or
// not, in every order: with the strip on, both bars are the strip's and it lies along the edges
// of the whole client area; turned off, the window's own bars come back where they are needed.
// Four columns of 200 need the horizontal bar; 40 records the vertical one, one record does not.
class ScrollBarPanelOrder : public DBGridTestBase {
 protected:
  // The window's own bar shows: its style bit, and the platform's report of it.
  bool OwnBarShown(LONG Bar) {
    SCROLLBARINFO info{};
    info.cbSize = sizeof info;
    EXPECT_TRUE(GetScrollBarInfo(grid->Handle(), Bar, &info));
    const bool styled =
        GetWindowLong(grid->Handle(), GWL_STYLE) & (Bar == OBJID_VSCROLL ? WS_VSCROLL : WS_HSCROLL);
    EXPECT_EQ(styled, (info.rgstate[0] & STATE_SYSTEM_INVISIBLE) == 0);
    return styled;
  }
};

TEST_F(ScrollBarPanelOrder, TheStripTakesBothBarsWhateverTheOrderOfSettings) {
  enum TStep { StripOn, AlwaysShow, OneRecord, FortyRecords };
  // clang-format off
  struct Case { const char* id; std::vector<TStep> steps; bool stripVertBar, ownVertBarAfter; } cases[] = {
      {"strip first",              {StripOn, FortyRecords},                true,  true},
      {"rows first",               {FortyRecords, StripOn},                true,  true},
      {"always-show first",        {AlwaysShow, OneRecord, StripOn},       true,  true},
      {"always-show, strip, rows", {AlwaysShow, StripOn, FortyRecords},    true,  true},
      {"one record first",         {OneRecord, StripOn},                   false, false}};
  // clang-format on
  const int barWidth = GetSystemMetrics(SM_CXVSCROLL), barHeight = GetSystemMetrics(SM_CYHSCROLL);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    SetUp();
    AddColumns({"ID", "NAME", "AMOUNT", "PAID"});
    for (int i = 0; i < 4; ++i) grid->Columns()->GetColumn(i)->SetWidth(200);
    test_support::TPaintOracle oracle(grid->Handle(), "dbgrid-strip-order");
    for (const TStep step : c.steps) {
      if (step == StripOn) grid->HorzScrollBar()->ExtraPanel()->SetVisible(true);
      if (step == AlwaysShow) grid->VertScrollBar()->SetVisibleMode(sbAlwaysShowEh);
      if (step == OneRecord || step == FortyRecords) AddNumberedRows(step == OneRecord ? 1 : 40);
      Pump();
    }
    const int w = c.stripVertBar ? barWidth : 0, cw = grid->Width(), ch = grid->Height();
    EXPECT_EQ(std::tuple(OwnBarShown(OBJID_VSCROLL), OwnBarShown(OBJID_HSCROLL), grid->ClientRect()),
              std::tuple(false, false, TRect{0, 0, cw, ch}));
    EXPECT_EQ(std::tuple(grid->HorzScrollBarPanelControl()->BoundsRect(),
                         grid->VertScrollBarPanelControl()->BoundsRect()),
              std::tuple(TRect{0, ch - barHeight, cw - w, ch}, TRect{cw - w, 0, cw, ch - barHeight}));
    EXPECT_EQ(oracle.Check(), "");

    grid->HorzScrollBar()->ExtraPanel()->SetVisible(false);
    Pump();
    const int ownWidth = c.ownVertBarAfter ? barWidth : 0;
    EXPECT_EQ(std::tuple(OwnBarShown(OBJID_VSCROLL), OwnBarShown(OBJID_HSCROLL), grid->ClientRect()),
              std::tuple(c.ownVertBarAfter, true, TRect{0, 0, cw - ownWidth, ch - barHeight}));
    EXPECT_EQ(std::tuple(grid->HorzScrollBarPanelControl()->Visible(),
                         grid->VertScrollBarPanelControl()->Visible()),
              std::tuple(false, false));
    EXPECT_EQ(oracle.Check(), "");
    TearDown();
  }
}

}  // namespace dbgrid_scroll_bar_panel_test
