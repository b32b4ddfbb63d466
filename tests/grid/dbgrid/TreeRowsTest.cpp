// Tree-view rows of the data grid over a TMemoryDataSetEh in tree-view mode: the elements of
// each row's tree area, the indent, right-to-left mirroring and the presses on the tree area.
#include <gtest/gtest.h>

#include "grid/data/MemoryDataSetEh.h"
#include "grid/dbgrid/DBGridEhParams.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace dbgrid_tree_rows_test {

// Records, as "slot:element" and "+1" for a reach through the row line, what goes into each
// slot of the area being painted; draws it as well.
class TSpyTreeGridEh : public TDBGridEh {
 public:
  using TDBGridEh::TDBGridEh;
  void DrawTreeElementInSlot(TCanvas* ACanvas, const TRect& W, int Element, int BottomExtension) override {
    slots += (slots.empty() ? "" : " ") + IntToStr((W.Left - area.Left) / 18) + ":" + IntToStr(Element) +
             (BottomExtension ? "+1" : "");
    TDBGridEh::DrawTreeElementInSlot(ACanvas, W, Element, BottomExtension);
  }
  bool TreeBusy() const { return treeExpandBusy_; }
  std::string slots;
  TRect area;
};

// Food > (Fruit > Apple, Bread), Rent, with Food and Fruit open; columns NAME, ID.
class TreeRows : public DBGridTestBase {
 protected:
  TDBGridEh* MakeGrid(TComponent* AOwner) override { return spy = new TSpyTreeGridEh(AOwner); }
  void SetUp() override {
    DBGridTestBase::SetUp();
    tree = new TMemoryDataSetEh(form);
    for (const char* name : {"ID", "PARENT"}) tree->FieldDefs()->Add(name, ftInteger);
    tree->FieldDefs()->Add("NAME", ftString, 20);
    tree->SetTreeKeyFieldName("ID");
    tree->SetTreeParentFieldName("PARENT");
    tree->SetTreeViewActive(true);
    tree->CreateDataSet();
    const Variant none = Variant::Null();
    tree->LoadFromRows(
        {{1, none, "Food"}, {3, 1, "Fruit"}, {5, 3, "Apple"}, {4, 1, "Bread"}, {2, none, "Rent"}});
    source->SetDataSet(tree);
    AddColumns({"NAME", "ID"});
    Reset("Food", -1);
  }
  // Food and Fruit open but row Collapse (-1: none), the record named Current current.
  void Reset(const std::string& Current, int Collapse) {
    tree->SetTreeNodeExpanded(0, true);
    tree->SetTreeNodeExpanded(1, true);
    tree->Locate("NAME", Current, {});
    if (Collapse >= 0) tree->SetTreeNodeExpanded(Collapse, false);
    Pump();
  }
  // The shown rows: names, + closed, - open.
  std::string Rows() {
    std::string text;
    for (int r = 0; r < tree->GetRowCount(); ++r) {
      tree->InstantReadEnter(r);
      text += (r ? " " : "") + tree->FieldByName("NAME")->AsString();
      if (tree->GetTreeNodeHasChildren()) text += tree->GetTreeNodeExpanded() ? "-" : "+";
      tree->InstantReadLeave();
    }
    return text;
  }
  // What PaintTreeArea puts into the slots of Area for data row Row, then "=" and the indent.
  std::string Elements(int Row, const TRect& Area, bool LinesOnly, bool RowLine) {
    spy->slots.clear();
    spy->area = Area;
    tree->InstantReadEnter(Row);
    TScopeExit leave([&] { tree->InstantReadLeave(); });
    paint.Record(grid, 1, Row + 1, [&](int, int, TCellAreaTypeEh, const TRect&) {
      grid->PaintTreeArea(grid->Canvas(), Area, LinesOnly, RowLine);
    });
    return spy->slots + " =" + IntToStr(grid->GetRowTreeIndent(Row + 1));
  }
  TSpyTreeGridEh* spy = nullptr;
  TMemoryDataSetEh* tree = nullptr;
  TCellPaintEh paint;
};

TEST_F(TreeRows, ElementsAndIndentOfEachRow) {
  // clang-format off
  struct Case {
    const char* What; int Row, Width; bool Lines, LinesOnly, RowLine, Boundaries; const char* Elements;
  } cases[] = {
    {"open top node with a sibling", 0, 120, true, false, true, false, "0:0+1 =18"},
    {"open inner node: its line goes on to its child", 1, 120, true, false, true, false, "0:11+1 1:0+1 =36"},
    {"last leaf on level 3", 2, 120, true, false, true, false, "0:11+1 1:11+1 2:9 =54"},
    {"a cell narrower than the area cuts it", 2, 30, true, false, true, false, "0:11+1 1:11+1 =54"},
    {"leaf above a shallower row", 3, 120, true, false, true, false, "0:11+1 1:9 =36"},
    {"the last row hides its line", 4, 120, true, false, true, false, "0:9+1 =18"},
    {"the last row keeps the closing boundary", 4, 120, true, false, true, true, "0:9 =18"},
    {"no row-line handling", 2, 120, true, false, false, false, "0:11 1:11 2:9 =54"},
    {"without tree lines a sign only", 1, 120, false, false, true, false, "1:3+1 =36"},
    {"without tree lines a leaf shows nothing", 2, 120, false, false, true, false, " =54"},
    {"lines only: the sign's line goes on", 0, 120, true, true, true, false, "0:11+1 =18"},
    {"lines only: a last leaf adds nothing", 2, 120, true, true, true, false, "0:11+1 1:11+1 =54"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    grid->TreeViewParams()->SetShowTreeLines(c.Lines);
    grid->GridLineParams()->SetGridBoundaries(c.Boundaries);
    EXPECT_EQ(Elements(c.Row, TRect{0, 0, c.Width, 18}, c.LinesOnly, c.RowLine), c.Elements);
    EXPECT_EQ(paint.Count(TDrawKind::ClipChange), c.Width < 54 ? 2 : 0);  // narrowed, then restored
  }
  Reset("Food", 1);  // a closed node
  EXPECT_EQ(Elements(1, TRect{0, 0, 120, 18}, false, true), "0:11+1 1:4+1 =36");
  tree->SetTreeViewActive(false);
  EXPECT_EQ(Elements(0, TRect{0, 0, 120, 18}, false, true), " =0");
}

// The first column's cell keeps the tree area for the sign even without tree lines, and its text
// starts after the area on the reading side.
TEST_F(TreeRows, TheFirstCellsTextStaysOutOfTheTreeArea) {
  TValueRestorer<bool> locale(SysLocale().MiddleEast, true);
  grid->TreeViewParams()->SetShowTreeLines(false);
  for (const bool rtl : {false, true}) {
    SCOPED_TRACE(rtl);
    grid->SetBiDiMode(rtl ? bdRightToLeft : bdLeftToRight);
    paint.Record(grid, 1, 2, [&](int, int, TCellAreaTypeEh, const TRect& R) {
      grid->DrawCell(1, 2, R, TGridDrawState{});
    });
    const int indent = grid->GetRowTreeIndent(2);
    const TRect text = paint.log.OfKind(TDrawKind::Text).at(0)->DeviceRect;
    EXPECT_EQ(std::tuple(paint.Count(TDrawKind::FrameRect) > 0, rtl ? text.Right <= paint.cell.Right - indent
                                                                    : text.Left >= paint.cell.Left + indent),
              std::tuple(true, true));
  }
}

TEST_F(TreeRows, PressesOnTheTreeAreaWhatAFailureLeavesAndRightToLeft) {
  // X from the cell's left edge: slot 0 spans 0-17, slot 1 18-35. Fail: "refresh" or "scroll"
  // raises in the data set's event; the busy flag and the paint lock are noted when it scrolls.
  // clang-format off
  struct Case {
    const char* What; const char* Current; int Collapse, Row, X; bool Double; const char* Fail;
    const char* Result, *Rows, *Then;
  } cases[] = {
    {"own sign closes", "Food", -1, 1, 27, false, "", "1", "Food- Fruit+ Bread Rent", "Food"},
    {"ancestor slot: taken, nothing changes", "Bread", -1, 2, 9, false, "", "1", "Food- Fruit- Apple Bread Rent", "Bread"},
    {"double click in the area toggles nothing", "Food", -1, 1, 27, true, "", "1", "Food- Fruit- Apple Bread Rent", "Food"},
    {"text beside the area", "Food", -1, 1, 40, false, "", "0", "Food- Fruit- Apple Bread Rent", "Food"},
    {"closing over the current record makes the node current", "Apple", -1, 0, 9, false, "", "1", "Food+ Rent", "Food"},
    {"opening keeps the current record", "Rent", 0, 0, 9, false, "", "1", "Food- Fruit- Apple Bread Rent", "Rent"},
    {"the toggle fails", "Food", -1, 1, 27, false, "refresh", "refresh failed", "Food- Fruit- Apple Bread Rent", "Food"},
    {"going back to the current record fails", "Bread", -1, 1, 27, false, "scroll", "scroll failed locked busy",
     "Food- Fruit+ Bread Rent", "Bread"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    tree->BeforeRefresh = nullptr;
    Reset(c.Current, c.Collapse);
    std::string noted;
    if (c.Fail == std::string("refresh"))
      tree->BeforeRefresh = [](TDataSet*) { throw EDatabaseError("refresh failed"); };
    if (c.Fail == std::string("scroll"))
      tree->BeforeScroll = [&](TDataSet*) {
        noted = std::string(grid->PaintLockCount() > 0 ? " locked" : "") + (spy->TreeBusy() ? " busy" : "");
        throw EDatabaseError("scroll failed");
      };
    const int top = grid->TopRow();
    const TRect cell = grid->CellRect(1, c.Row + 1);
    std::string result;
    const std::string error = ErrorOf(
        [&] { result = grid->ProcessCellMouseDown(cell.Left + c.X, cell.Top + 5, c.Double) ? "1" : "0"; });
    EXPECT_EQ(result + error + noted, c.Result);
    tree->BeforeScroll = nullptr;
    EXPECT_EQ(std::tuple(Rows(), tree->FieldByName("NAME")->AsString(), grid->TopRow()),
              std::tuple(std::string(c.Rows), std::string(c.Then), top));
    EXPECT_EQ(std::tuple(tree->ControlsDisabled(), grid->PaintLockCount(), spy->TreeBusy()),
              std::tuple(false, 0, false));
  }
  // Not the first column, not a data row.
  EXPECT_EQ(std::pair(grid->ProcessCellMouseDown(grid->CellRect(2, 2).Left + 5, grid->CellRect(2, 2).Top + 5,
                                                 false),
                      grid->ProcessCellMouseDown(grid->CellRect(1, 1).Left + 5, 3, false)),
            std::pair(false, false));

  // Right to left, as the cell loop paints: device rectangles on a canvas that is not mirrored,
  // as wide as the client that the elements are mirrored against.
  TValueRestorer<bool> locale(SysLocale().MiddleEast, true);
  grid->SetBiDiMode(bdRightToLeft);
  grid->TreeViewParams()->SetGlyphStyle(tvgsClassicEh);
  Reset("Food", -1);
  TBitmap bitmap;
  bitmap.SetSize(grid->ClientWidth(), grid->ClientHeight());
  TDrawLog log;
  AttachDrawRecorder(bitmap.Canvas()->Handle(), &log);
  grid->Canvas()->SetHandle(bitmap.Canvas()->Handle());
  TScopeExit detach([&] {
    grid->Canvas()->SetHandle(nullptr);
    AttachDrawRecorder(bitmap.Canvas()->Handle(), nullptr);
  });
  const int right = grid->CellRect(1, 3).Right;
  for (int row : {2, 1}) {  // Apple, then Fruit
    tree->InstantReadEnter(row);
    grid->PaintTreeArea(grid->Canvas(), grid->CellRect(1, row + 1), false, true);
    tree->InstantReadLeave();
  }
  // Apple's connector ran from the middle of the third slot from the right towards the text.
  int towardsText = 0, away = 0;
  for (const TDrawCall* pixel : log.OfKind(TDrawKind::Pixel)) {
    const int x = pixel->DeviceRect.Left - (right - 54);
    towardsText += x >= 0 && x < 7;
    away += x > 9 && x < 18;
  }
  const TRect sign = log.OfKind(TDrawKind::FrameRect).at(0)->DeviceRect;  // Fruit's, in the second slot
  EXPECT_EQ(std::tuple(sign.Left >= right - 36, sign.Right <= right - 18, towardsText > 0, away),
            std::tuple(true, true, true, 0));
  EXPECT_TRUE(grid->ProcessCellMouseDown((sign.Left + sign.Right) / 2, (sign.Top + sign.Bottom) / 2, false));
  EXPECT_EQ(Rows(), "Food- Fruit+ Bread Rent");
}

}  // namespace dbgrid_tree_rows_test
