// The data grid's data cells: row and selection colours, the cell events, images, check boxes,
// edit buttons, the required-field mark, hidden duplicates, empty rows, the focus rectangle,
// the incremental search mark and hot tracking.
#include <string>
#include <tuple>
#include <vector>

#include "grid/dbgrid/DBGridEhStyle.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/ScopeGuard.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

class TDataCellProbe : public TDBGridEh {
 public:
  using TDBGridEh::TDBGridEh;
  void Search(const std::string& Text) { incSearching_ = true, incSearchText_ = Text; }
  int DrawRowDetailButton(const TRect& R) override { return detailButtons.push_back(R), 12; }
  std::vector<TRect> detailButtons;
};

class DataCellTest : public DBGridTestBase, protected TCellPaintEh {
 protected:
  TDBGridEh* MakeGrid(TComponent* AOwner) override { return probe = new TDataCellProbe(AOwner); }
  void SetUp() override {
    DBGridTestBase::SetUp();
    AddColumns({"ID", "NAME", "AMOUNT", "PAID"});
    other = new TEdit(form);
    other->SetParent(form);
  }
  TColumnEh* Column(int Index) { return grid->Columns()->GetColumn(Index); }
  void Focus(bool Grid) { (Grid ? static_cast<TWinControl*>(grid) : other)->SetFocus(); }
  // The data cell at (ACol, ARow), showing data row AreaRow when given.
  void Paint(int ACol, int ARow, TGridDrawState State = {}, int AreaRow = -1) {
    Record(grid, ACol, ARow, [&](int AC, int AR, TCellAreaTypeEh Type, const TRect& R) {
      grid->DrawDataAreaCell(ACol, ARow, AC, AreaRow >= 0 ? AreaRow : AR, Type, R, State);
    });
  }
  std::vector<COLORREF> MiddleLine() {
    std::vector<COLORREF> out;
    for (int x = cell.Left; x < cell.Right; ++x) out.push_back(Pixel(x, (cell.Top + cell.Bottom) / 2));
    return out;
  }
  TDataCellProbe* probe = nullptr;
  TEdit* other = nullptr;
};

// EvenRowColor alone: odd records keep the grid's colour; a column of its own colour and an
// inserted record (no record number) never alternate. Selections take the style's colours.
TEST_F(DataCellTest, RowAndSelectionColours) {
  AddNumberedRows(4);
  grid->SetEvenRowColor(clYellow);
  Column(2)->SetColor(clAqua);
  grid->Style()->SetSelectionColor(clMaroon);
  grid->Style()->SetSelectionFontColor(clLime);
  grid->Style()->SetSelectionInactiveColor(clTeal);
  using Case = std::tuple<const char*, int, int, TGridDrawState, bool, TColor>;
  for (auto [id, col, row, state, focus, color] :
       {Case{"odd", 1, 1, {}, true, clWindow}, Case{"even", 1, 2, {}, true, clYellow},
        Case{"own colour", 3, 2, {}, true, clAqua},
        Case{"selected", 1, 1, {gdSelected, gdFocused}, true, clMaroon},
        Case{"inactive", 1, 1, {gdSelected}, false, clTeal}}) {
    SCOPED_TRACE(id);
    Focus(focus);
    if (!focus) grid->SetOptions(grid->Options() + dgAlwaysShowSelection);
    Paint(col, row, state);
    EXPECT_EQ(FirstFill(), ColorToRGB(color));
    if (color == clMaroon) {
      EXPECT_EQ(log.OfKind(TDrawKind::Text).at(0)->Color, ColorToRGB(clLime));
    }
  }
  // The current cell as the paint hands it over (current and focused) shows selected.
  Focus(true);
  Record(grid, grid->Col(), grid->Row(), [&](int, int, TCellAreaTypeEh, const TRect& R) {
    grid->DrawCell(grid->Col(), grid->Row(), R, {gdCurrent, gdFocused});
  });
  EXPECT_EQ(FirstFill(), ColorToRGB(clMaroon));
  grid->SetOddRowColor(clLime);
  dataSet->Insert();
  Paint(1, grid->Row());
  EXPECT_EQ(FirstFill(), ColorToRGB(clWindow));
}

// Over a table whose rows the grid reads through its interface, each row takes the colour of its
// own record's number, not the current record's.
TEST_F(DataCellTest, EvenRowsOfRowsReadThroughTheTableInterface) {
  AddNumberedRows(4);
  UseMemTable();
  grid->SetEvenRowColor(clYellow);
  dataSet->MoveBy(2);
  std::vector<COLORREF> fills;
  for (int row = 1; row <= 4; ++row) Paint(1, row), fills.push_back(FirstFill());
  const COLORREF odd = ColorToRGB(clWindow), even = ColorToRGB(clYellow);
  EXPECT_EQ(fills, (std::vector<COLORREF>{odd, even, odd, even}));
}

// The grid's cell parameters come first, the column's after; a Processed advanced-draw event
// (the grid's, or the column's when the grid's leaves it) keeps the default painter out.
TEST_F(DataCellTest, CellEventsAndProcessed) {
  AddNumberedRows(2);
  int gridAdv = 0;
  grid->OnGetCellParams = [](TObject*, TColumnEh* C, TFont*, TColor& B, TGridDrawState) {
    if (C->FieldName() == "NAME") B = clFuchsia;
  };
  Column(1)->OnGetCellParams = [](TObject*, bool, TColCellParamsEh* P) { P->Text = "X"; };
  grid->OnAdvDrawDataCell = [&](TCustomDBGridEh*, TColumnEh* C, int, int, int, const TRect&, TGridDrawState,
                                TColCellParamsEh*, bool& Processed) {
    ++gridAdv;
    Processed = C->FieldName() == "AMOUNT";
  };
  Column(0)->OnAdvDrawDataCell = [](TCustomDBGridEh*, TColumnEh*, int, int, int, const TRect&, TGridDrawState,
                                    TColCellParamsEh*, bool& Processed) { Processed = true; };
  for (auto [col, text, calls] :
       {std::tuple{2, "X", true}, std::tuple{3, "", false}, std::tuple{1, "", false}}) {
    SCOPED_TRACE(col);
    Paint(col, 1);
    EXPECT_EQ(Texts(), text);
    EXPECT_EQ(!log.Calls.empty(), calls);
  }
  Paint(2, 1);
  EXPECT_EQ(std::pair(FirstFill(), gridAdv), std::pair(ColorToRGB(clFuchsia), 4));
}

// An image strip beside the text: the image inside it, the text after it. Check boxes draw no
// text; record 1 is paid, record 2 not, and their boxes differ.
TEST_F(DataCellTest, ImageBesideTextAndCheckBoxes) {
  AddNumberedRows(2);
  TImageList images(8, 8);
  TBitmap picture;
  picture.SetSize(8, 8);
  images.Add(&picture, nullptr);
  Column(1)->SetImageList(&images);
  Column(1)->SetShowImageAndText(true);
  Column(1)->OnGetCellParams = [](TObject*, bool, TColCellParamsEh* P) { P->ImageIndex = 0; };
  Paint(2, 1);
  ASSERT_FALSE(log.OfKind(TDrawKind::Blt).empty());
  for (const TDrawCall* b : log.OfKind(TDrawKind::Blt)) EXPECT_LE(b->Rect.Right, cell.Left + 12);
  EXPECT_GE(log.OfKind(TDrawKind::Text).at(0)->Rect.Left, cell.Left + 13);
  Column(3)->SetCheckboxes(true);
  Paint(4, 1);
  const std::vector<COLORREF> paid = MiddleLine();
  Paint(4, 2);
  EXPECT_EQ(Texts(), "");
  EXPECT_NE(MiddleLine(), paid);
}

// Each EditButtonsShowOptions option narrows where a column with AlwaysShowEditButton shows
// its buttons (the current cell is 1, 1); they are veiled everywhere but in the focused cell.
TEST_F(DataCellTest, EditButtonsShowOptions) {
  AddNumberedRows(3);
  TColumnEh* name = Column(1);
  name->SetAlwaysShowEditButton(true);
  name->EditButtons()->Add()->SetStyle(ebsEllipsisEh);
  using Case = std::tuple<const char*, TEditButtonsShowOptionEh, int, int, bool, bool, bool>;
  const TEditButtonsShowOptionEh cur = sebShowOnlyForCurCellEh, row = sebShowOnlyForCurRowEh,
                                 act = sebShowOnlyWhenGridActiveEh, edit = sebShowOnlyWhenDataEditingEh;
  for (auto [id, option, col, r, focus, editing, shown] :
       {Case{"cell", cur, 1, 1, 0, 0, 1}, Case{"cell, other row", cur, 1, 2, 0, 0, 0},
        Case{"cell, other col", cur, 2, 1, 0, 0, 0}, Case{"row", row, 3, 1, 0, 0, 1},
        Case{"row, other row", row, 1, 2, 0, 0, 0}, Case{"active", act, 1, 2, 0, 0, 0},
        Case{"active, focused", act, 1, 2, 1, 0, 1}, Case{"editing", edit, 1, 2, 0, 0, 0},
        Case{"editing, edit", edit, 1, 2, 0, 1, 1}}) {
    SCOPED_TRACE(id);
    grid->SetEditButtonsShowOptions({option});
    Focus(focus);
    if (editing) dataSet->Edit();
    EXPECT_EQ(grid->EditButtonsShownInCell(name, col, r), shown);
    EXPECT_FALSE(grid->EditButtonsShownInCell(Column(0), col, r));
    dataSet->Cancel();
  }
  grid->SetEditButtonsShowOptions({});
  EXPECT_TRUE(grid->EditButtonsShownInCell(name, 3, 3));
  Paint(2, 2);
  EXPECT_EQ(Count(TDrawKind::Blt, "AlphaBlend"), 1);
  Paint(2, 1, {gdFocused});
  EXPECT_EQ(Count(TDrawKind::Blt, "AlphaBlend"), 0);
}

// A required, empty field of the inserted record is underlined with a red dotted line until
// the record is posted.
TEST_F(DataCellTest, RequiredFieldMarkBeforeAndAfterPosting) {
  AddNumberedRows(2);
  dataSet->FieldByName("NAME")->SetRequired(true);
  Column(1)->SetHighlightRequired(true);
  using Lines = std::vector<std::vector<POINT>>;
  auto dotted = [&](int Col) {
    Paint(Col, grid->Row());
    Lines lines;
    for (const TDrawCall* l : log.OfKind(TDrawKind::Line))
      if (l->PenStyle == PS_DOT && l->Color == ColorToRGB(clRed)) lines.push_back(l->Points);
    return lines;
  };
  dataSet->Insert();
  const Lines name = dotted(2);
  const std::vector<POINT> under{{cell.Left + 2, cell.Bottom - 2}, {cell.Right - 3, cell.Bottom - 2}};
  const Lines amount = dotted(3);
  dataSet->FieldByName("NAME")->SetAsString("named");
  dataSet->Post();
  EXPECT_EQ(std::tuple(name, amount, dotted(2)), std::tuple(Lines{under}, Lines{}, Lines{}));
}

// A value repeating the row above is hidden and the line between them takes the column colour;
// the first and last buffered rows compare nothing outside the buffer.
TEST_F(DataCellTest, HiddenDuplicates) {
  AddRows({{1, "A", 1}, {2, "A", 1}, {3, "B", 1}, {4, "B", 1}, {5, "C", 1}});
  Column(1)->SetHideDuplicates(true);
  Column(1)->SetColor(clAqua);
  using Shown = std::vector<std::pair<std::string, int>>;  // text, lines in the column colour
  auto shown = [&](std::vector<int> Rows) {
    Shown out;
    for (int row : Rows) {
      Paint(2, row);
      int lines = 0;
      for (const TDrawCall* f : log.OfKind(TDrawKind::FillRect))
        lines += f->Color == ColorToRGB(clAqua) && (f->Rect.Bottom == cell.Top || f->Rect.Top == cell.Bottom);
      out.emplace_back(Texts(), lines);
    }
    return out;
  };
  EXPECT_EQ(shown({1, 2, 3, 4, 5}), (Shown{{"A", 1}, {"", 1}, {"B", 1}, {"", 1}, {"C", 0}}));
  AddRows(std::vector<std::tuple<int, std::string, double>>(60, {0, "Z", 0}));
  dataSet->Last();
  Pump();
  const int top = grid->TopRow();
  EXPECT_EQ(shown({top, top + grid->DataLink()->RecordCount() - 1}), (Shown{{"Z", 1}, {"", 1}}));
}

// Rows past the last record are one fill; the focus rectangle needs the focused cell of a
// focused grid without row select. The incremental search marks as many characters of the
// focused cell's text as were typed; a themed grid fills the highlighted cell through the theme.
TEST_F(DataCellTest, EmptyRowsFocusRectangleAndSearchMark) {
  AddRows({{1, "Pëar", 1}, {2, "Plum", 2}});
  Paint(2, 2, {}, 3);
  EXPECT_EQ(std::pair(log.Calls.size(), Count(TDrawKind::FillRect)), std::pair(1ul, 1));
  for (auto [id, rowSelect, focus, expected] :
       {std::tuple{"focused", false, true, 1}, std::tuple{"row select", true, true, 0},
        std::tuple{"unfocused", false, false, 0}}) {
    SCOPED_TRACE(id);
    grid->SetOptions(rowSelect ? grid->Options() + dgRowSelect : grid->Options() - dgRowSelect);
    Focus(focus);
    Paint(1, 1, {gdFocused, gdSelected});
    EXPECT_EQ(Count(TDrawKind::FocusRect), expected);
  }
  Focus(true);
  grid->SetCol(2);
  for (auto [typed, marked] : {std::pair{"Pë", "Pë"}, std::pair{"Pëar and more", "Pëar"}}) {
    probe->Search(typed);
    Paint(2, 1, {gdFocused, gdSelected});
    const auto texts = log.OfKind(TDrawKind::Text);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(std::pair(texts[1]->Text, texts[1]->BkColor),
              std::pair(std::string(marked), ColorToRGB(DBGridEhSearchHighlightColor)));
  }
  probe->Search("");
  SetThemesEnabled(true);
  TScopeExit themesOff([] { SetThemesEnabled(false); });
  Paint(2, 1, {gdFocused, gdSelected});
  EXPECT_EQ(Count(TDrawKind::ThemePart), 1);
}

// With the row detail panel on, the first column of a row that has a panel gets the expand
// button and its content moves right by the button's width; a row without one keeps 18 pixels.
TEST_F(DataCellTest, RowDetailButtonOrStrip) {
  AddNumberedRows(2);
  ErrorOf([&] { grid->RowDetailPanel()->SetActive(true); });  // the panel's placement is pending
  for (bool has : {true, false}) {
    grid->OnCheckRowHaveDetailPanel = [has](TCustomDBGridEh*, bool& Have) { Have = has; };
    probe->detailButtons.clear();
    Paint(1, 1);
    EXPECT_EQ(probe->detailButtons.size(), has ? 1u : 0u);
    EXPECT_EQ(log.OfKind(TDrawKind::FillRect).back()->Rect.Left, cell.Left + (has ? 12 : 18));
  }
}

TEST_F(DataCellTest, CanHotTrackCell) {
  using Case = std::tuple<const char*, bool, bool, int, int, bool>;  // hot track, filter in title
  for (auto [id, hot, inTitle, col, row, expected] :
       {Case{"hot track", 1, 0, 2, 2, 1}, Case{"hot track, outside", 1, 0, -1, 2, 0},
        Case{"indicator", 0, 0, 0, 2, 1}, Case{"filter in title", 0, 1, 2, 0, 1},
        Case{"data", 0, 0, 2, 2, 0}}) {
    SCOPED_TRACE(id);
    grid->SetOptionsEh(hot ? TDBGridEhOptions{dghHotTrack} : TDBGridEhOptions{});
    grid->STFilter()->SetLocation(inTitle ? stflInTitleFilterEh : stflUnderTitleFilterEh);
    EXPECT_EQ(grid->CanHotTrackCell(col, row), expected);
  }
}

}  // namespace
