// The data grid's title cells: captions, sort markers and their index, images, filter buttons and
// conditions, pressed and vertical titles, the title-button event, the upper title levels and
// the hit test of a title's parts.
#include <cstring>

#include "grid/dbgrid/DBGridEhParams.h"
#include "grid/dbgrid/DBGridEhStyle.h"
#include "platform/gdi/DrawRecorder.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/ScopeGuard.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

class TTitleProbeGrid : public TDBGridEh {
 public:
  using TDBGridEh::TDBGridEh;
  void DrawSubTitleCell(int ACol, int, int, int, TCellAreaTypeEh, const TRect&, TGridDrawState) override {
    subTitles.push_back(ACol);
  }
  // A paint draws the titles alone.
  void DrawCell(int ACol, int ARow, const TRect& R, TGridDrawState S) override {
    if (ARow == 0 && ACol > 0) TDBGridEh::DrawCell(ACol, ARow, R, S);
  }
  void Press(int ACol) { pressedTitleCol_ = ACol, titleTracking_ = true; }
  std::vector<int> subTitles;
};

class TitleCellTest : public DBGridTestBase {
 protected:
  TDBGridEh* MakeGrid(TComponent* AOwner) override { return new TTitleProbeGrid(AOwner); }
  TTitleProbeGrid* Probe() const { return static_cast<TTitleProbeGrid*>(grid); }
  void SetUp() override {
    DBGridTestBase::SetUp();
    AddColumns({"ID", "NAME", "AMOUNT"});
    AddNumberedRows(3);
    SetCursorPos(1900, 1000);  // away from the grid
    Pump();
  }
  TColumnEh* Column(int I) { return grid->Columns()->GetColumn(I); }
  // What the title painter draws in grid column Col.
  TDrawLog Draw(int Col, TGridDrawState State = {gdFixed}, TCellAreaVertTypeEh Vert = vctTitleEh) {
    TDrawLog log;
    HDC dc = grid->Canvas()->Handle();
    AttachDrawRecorder(dc, &log);
    TScopeExit detach([dc] { AttachDrawRecorder(dc, nullptr); });
    grid->DrawTitleCell(Col, 0, Col - 1, 0, TCellAreaTypeEh{hctDataEh, Vert}, grid->CellRect(Col, 0), State);
    return log;
  }
  static std::vector<TDrawCall> Texts(const TDrawLog& Log, const std::string& Text = "") {
    std::vector<TDrawCall> out;
    for (const TDrawCall& c : Log.Calls)
      if (c.Kind == TDrawKind::Text && (Text.empty() || c.Text == Text)) out.push_back(c);
    return out;
  }
  static TSTFilterExpressionEh Condition(TSTFilterOpEh Op, Variant V, TSTFilterOpEh Rel = fopNoneEh,
                                         TSTFilterOpEh Op2 = fopNoneEh, Variant V2 = {}) {
    return TSTFilterExpressionEh{fvkStringEh, Op, V, Rel, Op2, V2};
  }
};

TEST_F(TitleCellTest, CaptionByAlignmentPressOrientationImageAndTheme) {
  grid->SetTitleImages(DBGridEhIndicatorImages());
  TScopeExit themesOff([] { SetThemesEnabled(false); });
  // Flags: r right-aligned, p pressed, w word wrap, v vertical, i image, t themed.
  struct Case {
    const char* flags;
    int dx;  // from the cell's left edge to the caption's; negative: from its right edge
  } cases[] = {{"", 3}, {"r", -3}, {"p", 4}, {"pw", 5}, {"v", 0}, {"i", 0}, {"t", 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flags);
    auto has = [&c](char F) { return std::strchr(c.flags, F) != nullptr; };
    SetThemesEnabled(has('t'));
    Column(0)->Title()->SetAlignment(has('r') ? taRightJustify : taLeftJustify);
    Column(0)->Title()->SetOrientation(has('v') ? tohVertical : tohHorizontal);
    Column(0)->Title()->SetImageIndex(has('i') ? 0 : -1);
    grid->TitleParams()->SetRowLines(has('w') ? 1 : 0);
    Probe()->Press(has('p') ? 1 : -1);
    Pump();
    const TRect cell = grid->CellRect(1, 0);
    const TDrawLog log = Draw(1);
    const auto texts = Texts(log, "ID");
    EXPECT_EQ(grid->IsTitleCellThemed(), has('t'));
    EXPECT_EQ(log.OfKind(TDrawKind::ThemePart).size(), has('t') ? 1u : 0u);
    EXPECT_EQ(log.OfKind(TDrawKind::Blt).empty(), !has('i'));
    ASSERT_EQ(texts.size(), has('i') ? 0u : 1u);
    if (has('i')) continue;
    EXPECT_EQ(texts[0].FontEscapement, has('v') ? 900 : 0);
    EXPECT_EQ(texts[0].Flags & ETO_OPAQUE, 0u);  // over the fill
    if (has('v')) continue;
    EXPECT_EQ(c.dx >= 0 ? texts[0].Rect.Left - cell.Left : cell.Right - texts[0].Rect.Right, std::abs(c.dx));
  }
}

TEST_F(TitleCellTest, SortMarkerAndIndexDropInNarrowColumns) {
  grid->SetOptionsEh(grid->OptionsEh() + TDBGridEhOptions{dghMultiSortMarking});
  struct Case {
    int marked, width;
    size_t markers, indexes;
  } cases[] = {{1, 80, 1, 0}, {2, 80, 1, 1}, {2, 12, 0, 1}, {2, 4, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.marked << "/" << c.width);
    Column(0)->Title()->SetSortMarker(smDownEh);
    Column(1)->Title()->SetSortMarker(c.marked > 1 ? smUpEh : smNoneEh);
    Column(0)->SetWidth(c.width);
    Pump();
    const TDrawLog log = Draw(1);
    EXPECT_EQ(log.OfKind(TDrawKind::Polyline).size(), c.markers);
    const auto index = Texts(log, "1");
    ASSERT_EQ(index.size(), c.indexes);
    for (const TDrawCall& t : index) EXPECT_EQ(t.Rect.Right, grid->CellRect(1, 0).Right - 1 - 2);
  }
}

TEST_F(TitleCellTest, FilterButtonByDrawTimeVeiledUnlessHotBesideItsConditionText) {
  grid->STFilter()->SetLocation(stflInTitleFilterEh);  // first: no filter row under the titles
  grid->STFilter()->SetVisible(true);
  Column(0)->SetWidth(200);  // room for the longest condition
  Column(0)->Title()->SetSortMarker(smDownEh);
  struct Case {
    TDBGridFilterButtonDrawTimeEh time;
    int hot;    // 1: the hot-tracked cell, 2: the mouse over another title of the row
    int alpha;  // -1: no button, 0: opaque, else the veil's alpha (80 percent veiled: 51)
    TSTFilterExpressionEh e;
    const char* text;
  } cases[] = {
      {fbdtAlwaysEh, 0, 51, Condition(fopEqualEh, 2.5), "= 2.5"},
      {fbdtAlwaysEh, 1, 0, Condition(fopInEh, VarArrayOf({"a", 3})), "In ('a','3')"},
      {fbdtAlwaysEh, 1, 0, Condition(fopGreaterOrEqualEh, 1, fopAndEh, fopLikeEh, "x%"), ">= '1' AND ~ 'x%'"},
      {fbdtAlwaysEh, 0, 51, Condition(fopNoneEh, 1), ""},
      {fbdtWhenCellHotEh, 0, -1, Condition(fopNotNullEh, {}), ""},
      {fbdtWhenCellHotEh, 1, 0, Condition(fopNotNullEh, {}), "<>Null"},
      {fbdtWhenCellHotEh, 2, -1, Condition(fopNotNullEh, {}), ""},
      {fbdtWhenRowHotEh, 0, -1, Condition(fopNotNullEh, {}), ""},
      {fbdtWhenRowHotEh, 2, 51, Condition(fopNotNullEh, {}), "<>Null"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.time) << c.hot << c.text);
    grid->STFilter()->SetFilterButtonDrawTime(c.time);
    Column(0)->STFilter()->SetExpression(c.e);
    const TPoint mouse = grid->ClientToScreen(TPoint{grid->CellRect(3, 0).Left + 2, 2});
    SetCursorPos(c.hot == 2 ? mouse.X : 1900, c.hot == 2 ? mouse.Y : 1000);
    const TDrawLog log = Draw(1, c.hot == 1 ? TGridDrawState{gdFixed, gdHotTrack} : TGridDrawState{gdFixed});
    TRect button;
    ASSERT_TRUE(grid->GetTitleFilterButtonRect(1, button));
    int alpha = -1;
    for (const TDrawCall& d : log.Calls)
      if (d.Kind != TDrawKind::Text && d.Kind != TDrawKind::Polyline && d.Rect.Left >= button.Left &&
          d.Rect.Right <= button.Right && d.Rect.Right > d.Rect.Left)
        alpha = d.Note == "AlphaBlend" ? int(d.Flags) : std::max(alpha, 0);
    EXPECT_EQ(alpha, c.alpha);
    const auto texts = Texts(log);  // the caption, then the condition left of the sort marker
    ASSERT_EQ(texts.size(), *c.text ? 2u : 1u);
    EXPECT_TRUE(!*c.text || (texts[1].Text == c.text && texts[1].Rect.Right <= button.Left - 16 &&
                             texts[1].Color == COLORREF(clBlue)));
  }
  grid->STFilter()->SetFilterButtonDrawTime(fbdtAlwaysEh);
  grid->Style()->SetInTitleFitlerButtonStyle(ebsGlyphEh);  // the face alone: the grid adds the glyph
  TScopeExit dropDown([this] { grid->Style()->SetInTitleFitlerButtonStyle(ebsDropDownEh); });
  EXPECT_EQ(Draw(1, {gdFixed, gdHotTrack}).OfKind(TDrawKind::Polygon).size(), 1u);
}

TEST_F(TitleCellTest, HitTestFindsWhereThePainterPutsButtonMarkerAndCaption) {
  grid->STFilter()->SetLocation(stflInTitleFilterEh);
  grid->STFilter()->SetVisible(true);
  grid->STFilter()->SetFilterButtonDrawTime(fbdtAlwaysEh);
  Column(0)->SetWidth(120);
  Column(0)->Title()->SetTitleButton(true);
  Column(0)->Title()->SetSortMarker(smDownEh);
  Column(2)->STFilter()->SetVisible(false);  // AMOUNT filters in no title
  Pump();
  TRect button;
  ASSERT_TRUE(grid->GetTitleFilterButtonRect(1, button));
  const TDrawLog log = Draw(1);
  const auto markers = log.OfKind(TDrawKind::Polyline);
  ASSERT_EQ(markers.size(), 1u);
  TPoint marker{};  // the middle of the painted marker
  for (const POINT& p : markers[0]->Points) marker = TPoint{marker.X + p.X, marker.Y + p.Y};
  marker = TPoint{marker.X / int(markers[0]->Points.size()), marker.Y / int(markers[0]->Points.size())};
  const TRect id = grid->CellRect(1, 0), name = grid->CellRect(2, 0), amount = grid->CellRect(3, 0);
  const int middle = (id.Top + id.Bottom) / 2;
  struct Case {
    const char* id;
    int col, row;
    TPoint point;
    TTitleHitPartEh part;
  } cases[] = {{"filter button", 1, 0, {(button.Left + button.Right) / 2, middle}, thpFilterButtonEh},
               {"sort marker", 1, 0, marker, thpSortMarkerEh},
               {"title button", 1, 0, {id.Left + 5, middle}, thpTitleButtonEh},
               {"plain title", 2, 0, {name.Left + 5, middle}, thpTextEh},
               {"plain title's button", 2, 0, {name.Right - 4, middle}, thpFilterButtonEh},
               {"title without a filter", 3, 0, {amount.Right - 4, middle}, thpTextEh},
               {"data cell", 1, 1, {id.Left + 5, grid->CellRect(1, 1).Top + 5}, thpNoneEh},
               {"outside the rectangle", 1, 0, {name.Left + 5, middle}, thpNoneEh}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(grid->TitleHitTest(c.col, c.row, Column(c.col - 1), grid->CellRect(c.col, c.row), c.point),
              c.part);
    // The hot spot shares the test.
    grid->MouseMove({}, c.point.X, c.point.Y);
    EXPECT_EQ(grid->HotSpot().Part, c.part == thpFilterButtonEh ? hpTitleFilterButtonEh : hpNoneEh);
  }
  EXPECT_EQ(grid->TitleHitTest(1, 0, nullptr, id, TPoint{id.Left + 5, middle}), thpNoneEh);

  // Multi-level titles: the upper level is no part of the column's own title.
  Column(0)->Title()->SetCaption("Money|x");
  Column(1)->Title()->SetCaption("Money|y");
  grid->TitleParams()->SetMultiTitle(true);
  Pump();
  const TRect cell = grid->CellRect(1, 0);
  const int leafTop = cell.Bottom - grid->LeafFieldArr()[0].first->Height;
  EXPECT_EQ(grid->TitleHitTest(1, 0, Column(0), cell, TPoint{cell.Left + 5, leafTop - 2}), thpNoneEh);
  EXPECT_EQ(grid->TitleHitTest(1, 0, Column(0), cell, TPoint{cell.Left + 5, leafTop + 2}), thpTitleButtonEh);
}

TEST_F(TitleCellTest, GetBtnParamsOncePerFieldColumnAndSubTitlesToTheFilterRowPainter) {
  EXPECT_TRUE(Texts(Draw(2, {gdFixed}, vctSubTitleEh)).empty());
  EXPECT_EQ(Probe()->subTitles, std::vector<int>{2});
  grid->Columns()->Add()->Title()->SetCaption("free");  // a column without a field
  Pump();
  int calls = 0;
  grid->OnGetBtnParams = [&](TObject*, TColumnEh*, TFont* AFont, TColor& Background, TSortMarkerEh& Marker,
                             bool) {
    ++calls, AFont->SetColor(clRed), Background = clYellow, Marker = smUpEh;
  };
  const TDrawLog log = Draw(1);
  EXPECT_EQ(Texts(Draw(4), "free").size(), 1u);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(Texts(log, "ID").at(0).Color, COLORREF(clRed));
  EXPECT_EQ(log.OfKind(TDrawKind::FillRect).at(0)->Color, COLORREF(clYellow));
  const auto markers = log.OfKind(TDrawKind::Polyline);
  ASSERT_EQ(markers.size(), 1u);
  EXPECT_LT(markers[0]->Points[0].Y, markers[0]->Points[1].Y);  // up: the tip first
}

TEST_F(TitleCellTest, UpperLevelPaintedOnceFromWhicheverColumnComesFirst) {
  Column(0)->Title()->SetCaption("Money|x");
  Column(1)->Title()->SetCaption("Money|y");
  grid->TitleParams()->SetMultiTitle(true);
  Pump();
  const TRect first = grid->CellRect(1, 0), second = grid->CellRect(2, 0);
  const int leafTop = first.Bottom - grid->LeafFieldArr()[0].first->Height;
  for (int start : {1, 2}) {
    SCOPED_TRACE(start);
    grid->HeadTree()->Child->Drawed = false;  // a new paint pass
    size_t upper = 0;
    for (int col = start; col <= 3; ++col)
      for (const TDrawCall& t : Texts(Draw(col), "Money")) {
        ++upper;
        EXPECT_NEAR((t.Rect.Left + t.Rect.Right) / 2, (first.Left + second.Right) / 2, 1);
        EXPECT_LE(t.Rect.Bottom, leafTop);
      }
    EXPECT_EQ(upper, 1u);
  }
  for (int frozen : {0, 1}) {  // a paint: once in each band the node spans
    SCOPED_TRACE(frozen);
    grid->SetFrozenCols(frozen);
    Pump();
    TBitmap bmp;
    bmp.SetSize(grid->ClientWidth(), grid->ClientHeight());
    HDC dc = bmp.Canvas()->Handle();
    TDrawLog log;
    AttachDrawRecorder(dc, &log);
    grid->Invalidate();
    grid->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    AttachDrawRecorder(dc, nullptr);
    EXPECT_EQ(Texts(log, "Money").size(), size_t(frozen + 1));
  }
}

}  // namespace
