#include <gtest/gtest.h>

#include "platform/vcl/StdActns.h"
#include "platform/win/Clipboard.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace dbgrid_messages_test {

// Records the horizontal scroll codes that reach the base grid.
class TScrollLogGridEh : public TRecordingDBGridEh {
 public:
  using TRecordingDBGridEh::TRecordingDBGridEh;
  void ModifyScrollBar(int ScrollBar, int ScrollCode, int Pos, bool UseRightToLeft) override {
    if (ScrollBar == SB_HORZ) codes.push_back(ScrollCode);
    TRecordingDBGridEh::ModifyScrollBar(ScrollBar, ScrollCode, Pos, UseRightToLeft);
  }
  std::vector<int> codes;
};

// Ten records; grid column 0 the indicator, 1-4 ID, NAME, AMOUNT, PAID; row 0 the titles.
class DBGridMessages : public RecordingDBGridTestBase {
 protected:
  TDBGridEh* MakeGrid(TComponent* AOwner) override { return new TScrollLogGridEh(AOwner); }
  void SetUp() override {
    RecordingDBGridTestBase::SetUp();
    AddNumberedRows(10);
    AddColumns({"ID", "NAME", "AMOUNT", "PAID"});
  }
  TScrollLogGridEh* Log() { return static_cast<TScrollLogGridEh*>(grid); }
  HCURSOR CursorAt(TPoint P) {
    const TPoint s = grid->ClientToScreen(P);
    SetCursorPos(s.X, s.Y);
    SetCursor(nullptr);
    grid->Perform(WM_SETCURSOR, reinterpret_cast<WPARAM>(grid->Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
  }
  void PutUnicodeText() {
    const char16_t text[] = u"abc";
    ASSERT_TRUE(OpenClipboard(grid->Handle()));
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, GlobalAllocFrom(text, sizeof text));
    CloseClipboard();
  }
};

TEST_F(DBGridMessages, CursorFollowsSizingEdgesTheIndicatorAndTitleBottoms) {
  grid->SetOptions(grid->Options() + dgMultiSelect);
  const TRect title = grid->CellRect(2, 0), cell = grid->CellRect(2, 3), indicator = grid->CellRect(0, 3);
  const HCURSOR plain = CursorAt(TPoint{cell.Left + 5, cell.Top + 3});
  // clang-format off
  struct Case { const char* id; TPoint p; HCURSOR want; } cases[] = {
      {"title's right edge", {title.Right, title.Top + 3}, Screen->Cursors(crHSplit)},
      {"indicator of a data row", {indicator.Left + 3, indicator.Top + 3}, DBGridEhRecordSelectCursor()},
      {"title bottom edge", {title.Left + 10, title.Bottom - 2}, DBGridEhColumnSelectCursor()},
      {"title middle", {title.Left + 10, title.Top + 2}, plain},
      {"data cell", {cell.Left + 5, cell.Top + 3}, plain}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(CursorAt(c.p), c.want);
  }
  EXPECT_NE(plain, DBGridEhColumnSelectCursor());
  grid->Columns()->GetColumn(1)->Title()->SetTitleButton(true);
  EXPECT_EQ(CursorAt(TPoint{title.Left + 10, title.Bottom - 2}), plain);  // a title button clicks
  SetCursor(nullptr);
}

TEST_F(DBGridMessages, SizeReentersOnceAndTrackingScrollsToTheThumb) {
  grid->SetAlign(alNone);
  int resizes = 0;
  grid->OnResize = [&](TObject*) {
    ++resizes;
    grid->SetWidth(grid->Width() - 10);  // every resize asks for another
  };
  grid->SetWidth(300);
  EXPECT_EQ(resizes, 2);
  grid->OnResize = nullptr;

  for (int i = 0; i < 4; ++i) grid->Columns()->GetColumn(i)->SetWidth(150);
  for (const bool tracking : {true, false}) {
    SCOPED_TRACE(tracking ? "tracking" : "no tracking");
    grid->HorzScrollBar()->SetTracking(tracking);
    grid->SetLeftCol(1);
    Log()->codes.clear();
    grid->Perform(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 2), 0);
    EXPECT_EQ(Log()->codes, std::vector<int>{tracking ? SB_THUMBPOSITION : SB_THUMBTRACK});
    EXPECT_EQ(grid->LeftCol(), 3);
  }
}

TEST_F(DBGridMessages, DialogCodesEditActionsAndScrollBarVisibility) {
  const LRESULT plain = grid->Perform(WM_GETDLGCODE, 0, 0);
  grid->SetOptionsEh(grid->OptionsEh() + dghEnterAsTab);
  EXPECT_EQ(grid->Perform(WM_GETDLGCODE, 0, 0), plain | DLGC_WANTMESSAGE);
  EXPECT_EQ(plain & DLGC_WANTMESSAGE, 0);

  grid->VertScrollBar()->SetVisibleMode(sbAlwaysShowEh);
  grid->VertScrollBar()->SetVisible(true);
  EXPECT_EQ(grid->VertScrollBar()->VisibleMode(), sbAutoShowEh);

  grid->SetFocus();
  ASSERT_TRUE(grid->Focused());
  grid->SetEditActions(TDBGridEhEditActions{geaCopyEh, geaPasteEh, geaCutEh, geaSelectAllEh, geaDeleteEh});
  grid->SetAllowedOperations(TGridAllowedOperationsEh{alopUpdateEh});
  PutUnicodeText();
  TEditCopy copy(form);
  TEditPaste paste(form);
  TEditCut cut(form);
  TEditSelectAll all(form);
  TEditDelete del(form);
  // clang-format off
  struct Case { const char* id; TCustomAction* action; bool enabled; } cases[] = {
      {"copy", &copy, true}, {"paste from Unicode-only text", &paste, true},
      {"cut needs delete", &cut, false}, {"select all", &all, true}, {"delete needs alopDeleteEh", &del, false}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    c.action->SetEnabled(!c.enabled);
    EXPECT_TRUE(grid->UpdateAction(c.action));
    EXPECT_EQ(c.action->Enabled(), c.enabled);
  }
  EXPECT_TRUE(grid->ExecuteAction(&all));
  EXPECT_EQ(grid->Selection()->SelectionType(), gstAll);
  grid->SetEditActions(TDBGridEhEditActions{});
  EXPECT_FALSE(grid->UpdateAction(&copy));
}

TEST_F(DBGridMessages, MouseLeaveRepaintsTheHotRowAndAFontChangeRelaysOut) {
  grid->SetOptionsEh(grid->OptionsEh() + dghHotTrack);
  const TRect cell = grid->CellRect(2, 3);
  grid->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(cell.Left + 3, cell.Top + 3));
  ASSERT_EQ(grid->HotTrackSpot()->Row, 3);
  Repaint();
  Recorder()->cells.clear();
  grid->Perform(CM_MOUSELEAVE, 0, 0);
  UpdateWindow(grid->Handle());
  std::vector<int> repainted;
  for (const TRecordedCellEh& c : Recorder()->cells) repainted.push_back(c.Row * 10 + c.Col);
  EXPECT_EQ(repainted, (std::vector<int>{30, 31, 32, 33, 34}));
  EXPECT_EQ(std::tuple(grid->HotTrackSpot()->Col, grid->HotTrackSpot()->Row), std::tuple(-1, -1));

  const int rowHeight = grid->RowHeights(1);
  grid->Font()->SetSize(grid->Font()->Size() * 2);
  EXPECT_EQ(grid->TitleParams()->Font()->Size(), grid->Font()->Size());
  EXPECT_EQ(grid->FooterParams()->Font()->Size(), grid->Font()->Size());
  EXPECT_EQ(grid->EmptyDataInfo()->Font()->Size(), grid->Font()->Size());
  EXPECT_GT(grid->RowHeights(1), rowHeight);
}

}  // namespace dbgrid_messages_test
