// The data grid's title cells: captions, sort markers and their index, images, filter buttons and
// conditions, pressed and vertical titles, the title-button event and the upper title levels.
#include "grid/dbgrid/DBGridEhParams.h"
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
};

TEST_F(TitleCellTest, CaptionByAlignmentPressOrientationAndImage) {
  TCustomImageList images(16, 16);
  TBitmap picture;
  picture.SetSize(16, 16);
  images.Add(&picture, nullptr);
  grid->SetTitleImages(&images);
  TScopeExit noImages([this] { grid->SetTitleImages(nullptr); });
  struct Case {
    TAlignment align;
    bool pressed, wrap, vertical;
    int image;
    int dx;  // from the cell's left edge to the caption's; negative: from its right edge
  } cases[] = {{taLeftJustify, false, false, false, -1, 3}, {taRightJustify, false, false, false, -1, -3},
               {taLeftJustify, true, false, false, -1, 4},  {taLeftJustify, true, true, false, -1, 5},
               {taLeftJustify, false, false, true, -1, 0},  {taLeftJustify, false, false, false, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.align << c.pressed << c.wrap << c.vertical << c.image);
    Column(0)->Title()->SetAlignment(c.align);
    Column(0)->Title()->SetOrientation(c.vertical ? tohVertical : tohHorizontal);
    Column(0)->Title()->SetImageIndex(c.image);
    grid->TitleParams()->SetRowLines(c.wrap ? 1 : 0);
    Probe()->Press(c.pressed ? 1 : -1);
    Pump();
    const TRect cell = grid->CellRect(1, 0);
    const TDrawLog log = Draw(1);
    const auto texts = Texts(log, "ID");
    EXPECT_EQ(log.OfKind(TDrawKind::Blt).size(), c.image < 0 ? 0u : 2u);  // image and mask
    ASSERT_EQ(texts.size(), c.image < 0 ? 1u : 0u);
    if (c.image >= 0) continue;
    EXPECT_EQ(texts[0].FontEscapement, c.vertical ? 900 : 0);
    if (c.vertical) continue;
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

TEST_F(TitleCellTest, FilterButtonByDrawTimeVeiledUnlessHotWithTheCondition) {
  grid->STFilter()->SetLocation(stflInTitleFilterEh);  // first: no filter row under the titles
  grid->STFilter()->SetVisible(true);
  Column(0)->STFilter()->SetExpression(
      TSTFilterExpressionEh{fvkNumberEh, fopGreaterEh, 5.0, fopNoneEh, fopNoneEh, {}});
  Pump();
  struct Case {
    TDBGridFilterButtonDrawTimeEh time;
    bool hot;
    int alpha;  // -1: no button, 0: opaque, else the veil's alpha (80 percent veiled: 51)
  } cases[] = {{fbdtAlwaysEh, false, 51},
               {fbdtAlwaysEh, true, 0},
               {fbdtWhenCellHotEh, false, -1},
               {fbdtWhenCellHotEh, true, 0},
               {fbdtWhenRowHotEh, false, -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.time) << c.hot);
    grid->STFilter()->SetFilterButtonDrawTime(c.time);
    const TDrawLog log = Draw(1, c.hot ? TGridDrawState{gdFixed, gdHotTrack} : TGridDrawState{gdFixed});
    TRect button;
    ASSERT_TRUE(grid->GetTitleFilterButtonRect(1, button));
    int alpha = -1;  // a blend's alpha, else 0 when anything is drawn in the button
    for (const TDrawCall& d : log.Calls)
      if (d.Kind != TDrawKind::Text && d.Rect.Left >= button.Left && d.Rect.Right <= button.Right &&
          d.Rect.Right > d.Rect.Left)
        alpha = d.Note == "AlphaBlend" ? int(d.Flags) : std::max(alpha, 0);
    EXPECT_EQ(alpha, c.alpha);
    const auto condition = Texts(log, "> 5");
    ASSERT_EQ(condition.size(), c.alpha < 0 ? 0u : 1u);
    for (const TDrawCall& t : condition)
      EXPECT_TRUE(t.Rect.Right <= button.Left && t.Color == COLORREF(clBlue));
    EXPECT_EQ(Texts(Draw(2)).size(), 1u);  // the column without a condition: its caption only
  }
}

TEST_F(TitleCellTest, ConditionTextOfEachOperatorForm) {
  struct Case {
    TSTFilterOpEh op1;
    Variant v1;
    TSTFilterOpEh rel, op2;
    Variant v2;
    const char* text;
  } cases[] = {{fopEqualEh, 2.5, fopNoneEh, fopNoneEh, {}, "= 2.5"},
               {fopInEh, VarArrayOf({Variant("a"), Variant(3)}), fopNoneEh, fopNoneEh, {}, "In ('a','3')"},
               {fopNotNullEh, {}, fopNoneEh, fopNoneEh, {}, "<>Null"},
               {fopGreaterOrEqualEh, 1, fopAndEh, fopLikeEh, "x%", ">= '1' AND ~ 'x%'"},
               {fopNoneEh, 1, fopNoneEh, fopNoneEh, {}, ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Column(1)->STFilter()->SetExpression(TSTFilterExpressionEh{fvkStringEh, c.op1, c.v1, c.rel, c.op2, c.v2});
    EXPECT_EQ(Column(1)->STFilter()->GetExpressionAsText(), c.text);
  }
}

TEST_F(TitleCellTest, GetBtnParamsOncePerFieldColumnChangesColoursAndMarker) {
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
  ASSERT_EQ(Texts(log, "ID").size(), 1u);
  EXPECT_EQ(Texts(log, "ID")[0].Color, COLORREF(clRed));
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
  EXPECT_EQ(Texts(Draw(1), "x").size(), 1u);
}

TEST_F(TitleCellTest, SubTitleGoesToTheFilterRowPainterAndThemesFillTheHeader) {
  EXPECT_TRUE(Texts(Draw(2, {gdFixed}, vctSubTitleEh)).empty());
  EXPECT_EQ(Probe()->subTitles, std::vector<int>{2});
  SetThemesEnabled(true);
  TScopeExit themesOff([] { SetThemesEnabled(false); });
  EXPECT_TRUE(grid->IsTitleCellThemed());
  const TDrawLog log = Draw(1);
  EXPECT_EQ(log.OfKind(TDrawKind::ThemePart).size(), 1u);
  EXPECT_EQ(Texts(log, "ID").size(), 1u);
}

}  // namespace
