// Row panel mode: the panel's layout, hit tests, keys, sizing and dragging of panel cells, and
// what the panel's painting asks of the cell painters.
#include <map>
#include <sstream>

#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/foundation/GridMoveLineEh.h"
#include "platform/win/Input.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace dbgrid_rowpanel_test {

// Records the panel cells the row painter hands to the cell painters.
class TPanelPaintGridEh : public TDBGridEh {
 public:
  using TDBGridEh::TDBGridEh;
  struct TCall {
    char Kind;
    int ARow, AreaCol;
    TRect Rect;
    bool Selected;
  };
  void DrawTitleCell(int, int R, int A, int, TCellAreaTypeEh, const TRect& Rc, TGridDrawState S) override {
    calls.push_back({'T', R, A, Rc, S.Contains(gdSelected)});
  }
  void DrawDataAreaCell(int, int R, int A, int, TCellAreaTypeEh, const TRect& Rc, TGridDrawState S) override {
    calls.push_back({'D', R, A, Rc, S.Contains(gdSelected)});
  }
  void DrawFooterCell(int, int R, int A, int, TCellAreaTypeEh, const TRect& Rc, TGridDrawState S) override {
    calls.push_back({'F', R, A, Rc, S.Contains(gdSelected)});
  }
  std::vector<TCall> calls;
};

// Columns ID (40) and NAME (80) on line 0, AMOUNT (121) on line 1, PAID (30) on lines 0 and 1:
// AMOUNT's right edge is NAME's, PAID starts after both.
class RowPanelTest : public DBGridTestBase {
 protected:
  TDBGridEh* MakeGrid(TComponent* AOwner) override { return new TPanelPaintGridEh(AOwner); }
  void SetUp() override {
    DBGridTestBase::SetUp();
    AddNumberedRows(5);
    AddColumns({"ID", "NAME", "AMOUNT", "PAID"});
    const int widths[] = {40, 80, 121, 30}, lines[] = {0, 0, 1, 0};
    for (int i = 0; i < 4; ++i) {
      Col(i)->SetWidth(widths[i]);
      Col(i)->SetInRowLinePos(lines[i]);
    }
    Col(3)->SetInRowLineHeight(2);
    grid->RowPanel()->SetActive(true);
    grid->SetFocus();
    Pump();
    step = grid->RowPanelLineHeight() + grid->GridLineWidth();
  }
  TColumnEh* Col(int I) { return grid->Columns()->GetColumn(I); }
  TPoint Origin(int ARow) { return TPoint{grid->CellRect(1, ARow).Left, grid->CellRect(1, ARow).Top}; }
  TRect Relative(TColumnEh* C, int ARow) {
    const TRect r = grid->RowPanelCellRect(C, ARow);
    return TRect{r.Left - Origin(ARow).X, r.Top - Origin(ARow).Y, r.Right - Origin(ARow).X,
                 r.Bottom - Origin(ARow).Y};
  }
  void Send(UINT Msg, TPoint P, WPARAM Keys = 0) { grid->Perform(Msg, Keys, MAKELPARAM(P.X, P.Y)); }
  // Press at P, move by D, release there; Keys held throughout.
  void Drag(TPoint P, TPoint D, WPARAM Keys = 0) {
    Send(WM_LBUTTONDOWN, P, Keys | MK_LBUTTON);
    Send(WM_MOUSEMOVE, TPoint{P.X + D.X / 2, P.Y + D.Y / 2}, Keys | MK_LBUTTON);
    Send(WM_MOUSEMOVE, TPoint{P.X + D.X, P.Y + D.Y}, Keys | MK_LBUTTON);
    Send(WM_LBUTTONUP, TPoint{P.X + D.X, P.Y + D.Y}, Keys);
  }
  std::vector<int> Widths() { return {Col(0)->Width(), Col(1)->Width(), Col(2)->Width(), Col(3)->Width()}; }
  std::vector<int> LineCounts() {
    return {Col(0)->InRowLineHeight(), Col(1)->InRowLineHeight(), Col(2)->InRowLineHeight(),
            Col(3)->InRowLineHeight()};
  }
  int step = 0;
};

TEST_F(RowPanelTest, LayoutPlacesColumnsOnTheirLinesAndTheGridHoldsOnePanel) {
  const int h = 2 * step - 1;
  EXPECT_EQ(Relative(Col(0), 0), (TRect{0, 0, 40, step - 1}));
  EXPECT_EQ(Relative(Col(1), 0), (TRect{41, 0, 121, step - 1}));
  EXPECT_EQ(Relative(Col(2), 1), (TRect{0, step, 121, h}));
  EXPECT_EQ(Relative(Col(3), 2), (TRect{122, 0, 152, h}));
  EXPECT_EQ(std::tuple(grid->ColCount(), grid->ColWidths(1), grid->RowHeights(0), grid->RowHeights(1)),
            std::tuple(2, 152, h, h));
  const int textHeight = dbgrid_detail::MeasureFont(grid, grid->TitleFont()).TextHeight;
  EXPECT_EQ(grid->RowPanelLineHeight(), textHeight + 5);
  grid->SetFlat(true);
  EXPECT_EQ(grid->RowPanelLineHeight(), textHeight + 4);

  // A hidden column takes no room; reordering by places puts PAID after AMOUNT's start.
  Col(1)->SetVisible(false);
  EXPECT_EQ(Col(3)->InRowPanelLeft(), 122);
  Col(1)->SetVisible(true);
  grid->OrderColumnsByRowPanelPlaces();
  EXPECT_EQ(std::vector<std::string>({Col(0)->FieldName(), Col(1)->FieldName(), Col(2)->FieldName()}),
            std::vector<std::string>({"ID", "AMOUNT", "NAME"}));

  // Switching the mode keeps the current column; the grid gets its columns back.
  grid->SetSelectedIndex(2);
  grid->RowPanel()->SetActive(false);
  EXPECT_EQ(std::tuple(grid->ColCount(), grid->SelectedIndex(), grid->Col()), std::tuple(5, 2, 3));
  TGridRowPanelEh other(grid);
  other.SetActive(true);
  grid->SetRowPanel(&other);
  EXPECT_EQ(std::tuple(grid->RowPanel()->Active(), grid->SelectedIndex(), grid->ColCount()),
            std::tuple(true, 2, 2));
  // A description naming the row panel without a value switches the mode on; outside loading
  // nil is refused.
  auto* loaded = new TDBGridEh(form);
  loaded->Loading();
  loaded->SetRowPanel(nullptr);
  EXPECT_TRUE(loaded->RowPanel()->Active());
  EXPECT_NE(ErrorOf([&] { grid->SetRowPanel(nullptr); }), "");
}

TEST_F(RowPanelTest, HitTestFindsTheCellWithTheLinesAfterIt) {
  // clang-format off
  struct Case { int x, y; const char* field; } cases[] = {
      {10, 5, "ID"}, {40, 5, "ID"}, {41, 5, "NAME"}, {5, step - 1, "ID"}, {5, step, "AMOUNT"},
      {121, step + 2, "AMOUNT"}, {122, step + 2, "PAID"}, {153, 3, ""}, {200, 3, ""}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
    TColumnEh* hit = grid->RowPanelColumnAt(Origin(1).X + c.x, Origin(1).Y + c.y);
    EXPECT_EQ(hit ? hit->FieldName() : "", c.field);
  }
  EXPECT_EQ(grid->RowPanelColumnAt(5, Origin(1).Y + 5), nullptr);  // the indicator

  // Focusing a cell out of view scrolls the panel by pixels until the cell shows whole.
  Col(3)->SetWidth(450);
  grid->SetSelectedIndex(3);
  TGridDrawInfoEh di;
  grid->CalcDrawInfo(di);
  const TRect paid = grid->RowPanelCellRect(Col(3), 1);
  EXPECT_EQ(std::tuple(grid->IsSmoothHorzScroll(), grid->HorzScrollPos() > 0, paid.Right),
            std::tuple(true, true, di.Horz.ContraBoundary));
  grid->SetSelectedIndex(0);
  EXPECT_EQ(std::tuple(grid->HorzScrollPos(), grid->RowPanelCellRect(Col(0), 1).Left),
            std::tuple(0, di.Horz.FixedBoundary));
}

TEST_F(RowPanelTest, KeysWalkTheLinesAndLeaveTheRecordAtItsEdges) {
  using enum TGridRowPanelNavKeysNavigationTypeEh;
  using enum TGridRowPanelTabNavigationTypeEh;
  const std::map<std::string, WORD> names{
      {"Left", VK_LEFT}, {"Right", VK_RIGHT}, {"Up", VK_UP}, {"Down", VK_DOWN}, {"Tab", VK_TAB}};
  // clang-format off
  struct Case { TGridRowPanelNavKeysNavigationTypeEh nav; TGridRowPanelTabNavigationTypeEh tab; int rec, col;
                const char* keys; int wantRec, wantCol; } cases[] = {
      {rpntRowToRowEh, rpntUpToDownPriorityEh, 2, 0, "Right Right", 2, 3},
      {rpntRowToRowEh, rpntUpToDownPriorityEh, 2, 3, "Right", 2, 3},
      {rpntRowToRowEh, rpntUpToDownPriorityEh, 2, 1, "Down", 3, 1},
      {rpntRowToRowEh, rpntUpToDownPriorityEh, 2, 2, "Left", 2, 2},
      {rpntCellToCellEh, rpntUpToDownPriorityEh, 2, 0, "Down", 2, 2},
      {rpntCellToCellEh, rpntUpToDownPriorityEh, 2, 0, "Down Down", 3, 0},
      {rpntCellToCellEh, rpntUpToDownPriorityEh, 2, 1, "Up", 1, 2},
      {rpntCellToCellEh, rpntUpToDownPriorityEh, 2, 3, "Down", 3, 3},
      {rpntCellToCellEh, rpntUpToDownPriorityEh, 1, 0, "Up", 1, 0},
      {rpntRowToRowEh, rpntLeftToRightPriorityEh, 2, 3, "Tab", 2, 2},
      {rpntRowToRowEh, rpntLeftToRightPriorityEh, 2, 2, "Tab", 3, 0},
      {rpntRowToRowEh, rpntLeftToRightPriorityEh, 2, 0, "S-Tab", 1, 2},
      {rpntRowToRowEh, rpntUpToDownPriorityEh, 2, 0, "Tab Tab", 2, 1},
      {rpntRowToRowEh, rpntUpToDownPriorityEh, 2, 3, "Tab", 3, 0},
      {rpntRowToRowEh, rpntUpToDownPriorityEh, 2, 1, "S-Tab", 2, 2}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.keys) + " from " + std::to_string(c.rec) + "/" + std::to_string(c.col));
    grid->RowPanel()->SetNavKeysNavigationType(c.nav);
    grid->RowPanel()->SetTabNavigationType(c.tab);
    dataSet->First();
    dataSet->MoveBy(c.rec - 1);
    grid->SetSelectedIndex(c.col);
    std::istringstream in(c.keys);
    for (std::string key; in >> key; Pump()) {
      const bool shift = key.rfind("S-", 0) == 0;
      if (shift) Input::KeyDown(VK_SHIFT);
      Input::KeyDown(names.at(shift ? key.substr(2) : key));
      Input::KeyUp(names.at(shift ? key.substr(2) : key));
      if (shift) Input::KeyUp(VK_SHIFT);
    }
    EXPECT_EQ(std::tuple(dataSet->RecNo(), grid->SelectedIndex()), std::tuple(c.wantRec, c.wantCol));
  }
}

TEST_F(RowPanelTest, SizingAPanelCellMovesTheEdgesItShares) {
  grid->SetRowSizingAllowed(true);
  const TPoint title = Origin(0);
  const int nameRight = title.X + 121, lineMiddle = title.Y + step / 2;
  // clang-format off
  struct Case { const char* id; TPoint press, move; WPARAM keys; std::vector<int> widths, lines; } cases[] = {
      {"width, shared edge follows", {nameRight, lineMiddle}, {20, 0}, 0, {40, 100, 141, 30}, {1, 1, 1, 2}},
      {"width with Shift", {nameRight, lineMiddle}, {20, 0}, MK_SHIFT, {40, 100, 121, 30}, {1, 1, 1, 2}},
      {"width 3 pixels off the edge, snapped", {title.X + 43, lineMiddle}, {79, 0}, 0, {121, 80, 121, 30}, {1, 1, 1, 2}},
      {"width to nothing is refused", {nameRight, lineMiddle}, {-90, 0}, 0, {40, 80, 121, 30}, {1, 1, 1, 2}},
      {"height, same bottom follows", {title.X + 20, title.Y + step - 1}, {0, step}, 0, {40, 80, 121, 30}, {2, 2, 1, 2}},
      {"height with Shift", {title.X + 20, title.Y + step - 1}, {0, step}, MK_SHIFT, {40, 80, 121, 30}, {2, 1, 1, 2}}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    for (int i = 0; i < 4; ++i) Col(i)->SetInRowLineHeight(i == 3 ? 2 : 1);
    for (int i = 0; i < 4; ++i) Col(i)->SetWidth(std::vector<int>{40, 80, 121, 30}[i]);
    Drag(c.press, c.move, c.keys);
    EXPECT_EQ(std::tuple(Widths(), LineCounts(), grid->GridState()), std::tuple(c.widths, c.lines, gsNormal));
  }
  // The line of a press with Shift spans the sized cell only; without Shift the grid's height.
  for (const WPARAM keys : {WPARAM(0), WPARAM(MK_SHIFT)}) {
    Send(WM_LBUTTONDOWN, TPoint{nameRight, lineMiddle}, keys | MK_LBUTTON);
    TGridDrawInfoEh di;
    grid->CalcDrawInfo(di);
    int from = 0, to = 0, baseFrom = 0, baseTo = 0;
    grid->GetSizingLineRange(di, from, to);
    grid->TCustomGridEh::GetSizingLineRange(di, baseFrom, baseTo);
    EXPECT_EQ(std::pair(from, to),
              keys ? std::pair(title.Y, title.Y + step - 1) : std::pair(baseFrom, baseTo));
    Send(WM_LBUTTONUP, TPoint{nameRight, lineMiddle}, keys);
  }
  // Off the title row nothing is sized.
  Drag(TPoint{nameRight, Origin(1).Y + step / 2}, TPoint{20, 0});
  EXPECT_EQ(Widths(), (std::vector<int>{40, 80, 121, 30}));
}

TEST_F(RowPanelTest, DraggingATitleMovesTheColumnInThePanel) {
  // clang-format off
  struct Case { const char* id; int from; TPoint to; std::vector<std::string> order; int line; } cases[] = {
      {"AMOUNT after NAME on line 0", 2, {110, 5}, {"ID", "NAME", "AMOUNT", "PAID"}, 0},
      {"PAID before AMOUNT on line 1", 3, {5, 0}, {"ID", "NAME", "PAID", "AMOUNT"}, 1},
      {"ID after NAME", 0, {100, 3}, {"NAME", "ID", "AMOUNT", "PAID"}, 0}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    TColumnEh* moved = Col(c.from);
    const TRect r = grid->RowPanelCellRect(moved, 0);
    const TPoint press{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    const TPoint to{Origin(0).X + c.to.X, Origin(0).Y + c.to.Y + (c.line == 1 ? step + 2 : 0)};
    Drag(press, TPoint{to.X - press.X, to.Y - press.Y});
    std::vector<std::string> order;
    for (int i = 0; i < 4; ++i) order.push_back(Col(i)->FieldName());
    EXPECT_EQ(std::tuple(order, moved->InRowLinePos(), grid->GridState(), GetGridMoveLine()->Visible()),
              std::tuple(c.order, c.line, gsNormal, false));
    moved->SetInRowLinePos(c.from == 2 ? 1 : 0);
    moved->SetIndex(c.from);
  }
}

TEST_F(RowPanelTest, APressFocusesThePanelCellAndAClickStepsACheckBox) {
  grid->SetOptions(grid->Options() + dgEditing);
  std::vector<std::string> clicked;
  grid->OnCellClick = [&](TColumnEh* Column) { clicked.push_back(Column->FieldName()); };
  // clang-format off
  struct Case { const char* id; WPARAM keys; bool dblClickNext, paid; } cases[] = {
      {"click", 0, false, true}, {"Shift steps back", MK_SHIFT, false, false}, {"DblClickNextVal", 0, true, false}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    Col(3)->SetDblClickNextVal(c.dblClickNext);
    dataSet->First();
    grid->SetSelectedIndex(0);
    Pump();
    const TRect paid = grid->RowPanelCellRect(Col(3), 2);  // record 2: PAID false
    const TPoint p{(paid.Left + paid.Right) / 2, (paid.Top + paid.Bottom) / 2};
    Send(WM_LBUTTONDOWN, p, c.keys | MK_LBUTTON);
    Send(WM_LBUTTONUP, p, c.keys);
    EXPECT_EQ(std::tuple(dataSet->RecNo(), grid->SelectedIndex(), dataSet->FieldByName("PAID")->AsBoolean()),
              std::tuple(2, 3, c.paid));
  }
  EXPECT_EQ(clicked, (std::vector<std::string>{"PAID", "PAID", "PAID"}));
}

TEST_F(RowPanelTest, PaintingAsksForEachPanelCellAndPaintsWithoutError) {
  auto* g = static_cast<TPanelPaintGridEh*>(grid);
  grid->SetFooterRowCount(1);
  dataSet->First();
  grid->SetSelectedIndex(1);
  Pump();
  g->calls.clear();
  grid->Repaint();
  const int footerRow = grid->GetFullRowCount() - 1;
  for (int row : {0, 1, 2, footerRow}) {
    SCOPED_TRACE(row);
    std::vector<std::tuple<char, int, TRect, bool>> got, want;
    for (const auto& call : g->calls)
      if (call.ARow == row) got.emplace_back(call.Kind, call.AreaCol, call.Rect, call.Selected);
    const char kind = row == 0 ? 'T' : row == footerRow ? 'F' : 'D';
    for (int i = 0; i < 4; ++i)
      want.emplace_back(kind, i, grid->RowPanelCellRect(Col(i), row), row == grid->Row() && i == 1);
    EXPECT_EQ(got, want);
  }

  // Under a shown editor the rest of the current panel is painted all the same.
  grid->ShowEditor();
  ASSERT_TRUE(grid->InplaceEditor() && grid->InplaceEditor()->Visible());
  EXPECT_EQ(grid->InplaceEditor()->BoundsRect(), grid->RowPanelCellRect(Col(1), grid->Row()));
  g->calls.clear();
  grid->Repaint();
  EXPECT_EQ(
      std::count_if(g->calls.begin(), g->calls.end(), [&](const auto& c) { return c.ARow == grid->Row(); }),
      4);

  // The real painters draw the panel rows without raising.
  auto* plain = new TDBGridEh(form);
  plain->SetParent(form);
  plain->SetDataSource(source);
  plain->RowPanel()->SetActive(true);
  plain->SetFooterRowCount(1);
  handlerErrors.clear();
  form->Invalidate();
  form->Update();
  Pump();
  EXPECT_EQ(handlerErrors, std::vector<std::string>{});
}

}  // namespace dbgrid_rowpanel_test
