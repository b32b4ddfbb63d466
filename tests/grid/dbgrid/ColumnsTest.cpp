// The data grid's columns: the sort-marker state machine, the width rules, the collection's
// redistribution of automatic widths, editable-column navigation, group-footer kinds and the
// row-panel placement in window descriptions.
#include <memory>
#include <utility>

#include "grid/dbgrid/DBGridEhPrivate.h"
#include "platform/gdi/FontEngine.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/Geometry.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Streams.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

class DBGridColumns : public DBGridTestBase {
 protected:
  TColumnEh* Col(int Index) { return grid->Columns()->GetColumn(Index); }
  void SetMultiSort(bool On) {
    TDBGridEhOptions options = grid->OptionsEh();
    if (On)
      options.Include(dghMultiSortMarking);
    else
      options.Exclude(dghMultiSortMarking);
    grid->SetOptionsEh(options);
  }
  std::vector<int> SortIndexes() {
    std::vector<int> result;
    for (int i = 0; i < grid->Columns()->Count(); ++i) result.push_back(Col(i)->Title()->SortIndex());
    return result;
  }
  std::vector<TSortMarkerEh> Markers() {
    std::vector<TSortMarkerEh> result;
    for (int i = 0; i < grid->Columns()->Count(); ++i) result.push_back(Col(i)->Title()->SortMarker());
    return result;
  }
  // The sort-marked list as column indexes.
  std::vector<int> Marked() {
    std::vector<int> result;
    for (int i = 0; i < grid->SortMarkedColumns().Count(); ++i)
      result.push_back(grid->SortMarkedColumns()[i] ? grid->SortMarkedColumns()[i]->Index() : -1);
    return result;
  }
};

TEST_F(DBGridColumns, SortMarkerWritesSingleAndMulti) {
  AddNumberedRows(2);
  struct Case {
    const char* name;
    bool multi;
    std::vector<std::pair<int, TSortMarkerEh>> writes;
    std::vector<int> indexes;
    std::vector<TSortMarkerEh> markers;
    std::vector<int> marked;
  };
  const Case cases[] = {
      {"single: marking B clears A",
       false,
       {{0, smDownEh}, {1, smUpEh}},
       {0, 1, 0},
       {smNoneEh, smUpEh, smNoneEh},
       {1}},
      {"single: unmarking empties",
       false,
       {{1, smDownEh}, {1, smNoneEh}},
       {0, 0, 0},
       {smNoneEh, smNoneEh, smNoneEh},
       {}},
      {"multi: three in turn",
       true,
       {{0, smDownEh}, {2, smUpEh}, {1, smDownEh}},
       {1, 3, 2},
       {smDownEh, smDownEh, smUpEh},
       {0, 2, 1}},
      {"multi: clearing the second",
       true,
       {{0, smDownEh}, {1, smUpEh}, {2, smDownEh}, {1, smNoneEh}},
       {1, 0, 2},
       {smDownEh, smNoneEh, smDownEh},
       {0, 2}},
      {"multi: direction change keeps the place",
       true,
       {{0, smDownEh}, {1, smDownEh}, {0, smUpEh}},
       {1, 2, 0},
       {smUpEh, smDownEh, smNoneEh},
       {0, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    grid->Columns()->Clear();
    AddColumns({"ID", "NAME", "AMOUNT"});
    SetMultiSort(c.multi);
    for (const auto& [col, marker] : c.writes) Col(col)->Title()->SetSortMarker(marker);
    EXPECT_EQ(SortIndexes(), c.indexes);
    EXPECT_EQ(Markers(), c.markers);
    EXPECT_EQ(Marked(), c.marked);
  }
}

TEST_F(DBGridColumns, SortIndexWritesExchangeOnlyWithAMarkedHolder) {
  AddNumberedRows(2);
  AddColumns({"ID", "NAME", "AMOUNT", "PAID"});
  SetMultiSort(true);
  for (int i : {0, 1, 2}) Col(i)->Title()->SetSortMarker(smDownEh);
  ASSERT_EQ(SortIndexes(), (std::vector<int>{1, 2, 3, 0}));

  Col(2)->Title()->SetSortIndex(1);
  EXPECT_EQ(SortIndexes(), (std::vector<int>{3, 2, 1, 0}));
  EXPECT_EQ(Marked(), (std::vector<int>{2, 1, 0}));
  struct Case {
    const char* name;
    int col, value;
  };
  const Case unchanged[] = {
      {"no column holds 7", 0, 7},
      {"an unmarked title", 3, 2},
      {"a negative value is 0, held by no marked column", 1, -4},
  };
  for (const Case& c : unchanged) {
    SCOPED_TRACE(c.name);
    Col(c.col)->Title()->SetSortIndex(c.value);
    EXPECT_EQ(SortIndexes(), (std::vector<int>{3, 2, 1, 0}));
    EXPECT_EQ(Marked(), (std::vector<int>{2, 1, 0}));
  }

  // Inside an update (as while loading) both writes are only stored; the end rebuilds the list.
  grid->Columns()->BeginUpdate();
  Col(3)->Title()->SetSortMarker(smUpEh);
  Col(3)->Title()->SetSortIndex(4);
  EXPECT_EQ(Marked(), (std::vector<int>{2, 1, 0}));
  grid->Columns()->EndUpdate();
  EXPECT_EQ(SortIndexes(), (std::vector<int>{3, 2, 1, 4}));
  EXPECT_EQ(Marked(), (std::vector<int>{2, 1, 0, 3}));
}

TEST_F(DBGridColumns, TitleClicksCycleFromTheFirstClickDirection) {
  AddNumberedRows(2);
  struct Case {
    const char* field;
    bool multi;
    std::vector<TSortMarkerEh> afterClicks;
  };
  const Case cases[] = {
      {"ID", false, {smDownEh, smUpEh, smDownEh}},
      {"NAME", false, {smUpEh, smDownEh, smUpEh}},
      {"ID", true, {smDownEh, smUpEh, smNoneEh}},
      {"NAME", true, {smUpEh, smDownEh, smNoneEh}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.field << (c.multi ? " multi" : " single"));
    grid->Columns()->Clear();
    AddColumns({"AMOUNT", c.field});
    SetMultiSort(c.multi);
    Col(0)->Title()->ToggleSortMarker(c.multi);
    for (TSortMarkerEh expected : c.afterClicks) {
      Col(1)->Title()->ToggleSortMarker(c.multi);
      EXPECT_EQ(Col(1)->Title()->SortMarker(), expected);
    }
    // A single-sort click clears the other column first; a multi-sort click keeps it.
    EXPECT_EQ(Col(0)->Title()->SortMarker(), c.multi ? smDownEh : smNoneEh);
  }
}

TEST_F(DBGridColumns, WidthRules) {
  AddNumberedRows(2);
  struct Case {
    const char* name;
    int minWidth, maxWidth, write, expected;
  };
  const Case cases[] = {
      {"plain", 0, 0, 120, 120},         {"above MaxWidth", 0, 90, 150, 90},
      {"below MinWidth", 30, 0, 10, 30}, {"MinWidth above MaxWidth ends at MinWidth", 80, 50, 60, 80},
      {"-1 is ignored", 0, 0, -1, 100},  {"MaxWidth lowers the present width; -1 keeps it", 0, 50, -1, 50},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    grid->Columns()->Clear();
    AddColumns({"NAME"});
    Col(0)->SetWidth(100);
    Col(0)->SetMaxWidth(c.maxWidth);
    Col(0)->SetMinWidth(c.minWidth);
    Col(0)->SetWidth(c.write);
    EXPECT_EQ(Col(0)->Width(), c.expected);
  }
  // The default width set on a column that has none of its own stays unassigned.
  grid->Columns()->Clear();
  AddColumns({"NAME"});
  Col(0)->SetWidth(Col(0)->GetDefaultWidth());
  EXPECT_FALSE(Col(0)->IsAssigned(abvWidth));
}

// Faces that measure every character as nothing.
class TZeroWidthFace : public IFontFace {
 public:
  TZeroWidthFace() {
    metrics_.Height = 13;
    metrics_.Ascent = 11;
    metrics_.Descent = 2;
  }
  const TFontMetrics& Metrics() const override { return metrics_; }
  int Advance(char32_t) override { return 0; }
  std::shared_ptr<const TGlyph> Glyph(char32_t) override { return std::make_shared<TGlyph>(); }
  std::string FamilyFor(char32_t) override { return "Zero"; }

 private:
  TFontMetrics metrics_;
};

class TZeroWidthEngine : public IFontEngine {
 public:
  std::string Name() const override { return "Zero"; }
  std::shared_ptr<IFontFace> Realize(const LOGFONT&) override { return std::make_shared<TZeroWidthFace>(); }
};

TEST_F(DBGridColumns, AutomaticWidthWritesDisplayWidthBackUnlessTheFontMeasuresNothing) {
  AddNumberedRows(2);
  ASSERT_EQ(grid->Columns()->Count(), 4);
  TColumnEh* name = Col(1);
  ASSERT_TRUE(name->IsAutomatic());
  grid->SetWriteWidthsToFields(true);
  name->SetWidth(100);
  // (100 + 7 div 2 - 3) div 7 with the 7-pixel digits of the default font.
  EXPECT_EQ(name->GetField()->DisplayWidth(), 14);
  EXPECT_EQ(name->Width(), 100);

  TZeroWidthEngine engine;
  UseFontEngine(&engine);
  TScopeExit restore([] { UseFontEngine(nullptr); });
  name->SetWidth(130);
  EXPECT_EQ(name->GetField()->DisplayWidth(), 14);
  EXPECT_EQ(name->Width(), 130);
}

TEST_F(DBGridColumns, AutoFitRedistributesInitWidthToTheNextColumn) {
  AddNumberedRows(2);
  // A hidden first column: the grid's columns are the visible ones.
  AddColumns({"PAID", "ID", "NAME", "AMOUNT"});
  Col(0)->SetVisible(false);
  grid->SetAutoFitColWidths(true);
  Pump();
  struct Case {
    const char* name;
    int visible;  // the column's place among the visible ones (its index is one more)
  };
  const Case cases[] = {{"a middle column gives to the next", 1}, {"the last column gives to none", 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<int> before;
    for (int i = 0; i < 4; ++i) before.push_back(Col(i)->InitWidth());
    const int gridWidth = grid->ColWidths(grid->IndicatorOffset() + c.visible);
    ASSERT_GT(gridWidth, 20);
    const int newWidth = gridWidth - 17;
    const int col = c.visible + 1;
    Col(col)->SetWidth(newWidth);
    std::vector<int> expected = before;
    expected[col] = MulDiv(before[col], newWidth, gridWidth);
    if (col + 1 < 4) expected[col + 1] = std::max(before[col + 1] + before[col] - expected[col], 0);
    std::vector<int> after;
    for (int i = 0; i < 4; ++i) after.push_back(Col(i)->InitWidth());
    EXPECT_EQ(after, expected);
  }
}

TEST_F(DBGridColumns, EditableColumnNavigation) {
  AddNumberedRows(2);
  AddColumns({"ID", "NAME", "AMOUNT", "NAME", "PAID", "ID", "AMOUNT"});
  Col(1)->SetVisible(false);
  Col(6)->SetVisible(false);
  Col(2)->SetReadOnly(true);
  grid->SetContraColCount(1);
  Pump();
  TDBGridColumnsEh* columns = grid->Columns();
  struct Case {
    int from;
    bool forward;
    int expected;
  };
  // Hidden 1 and 6, read-only 2, contra 5 (the last visible one).
  const Case byIndex[] = {{0, true, 3},  {3, true, 4},  {4, true, 4},
                          {4, false, 3}, {3, false, 0}, {0, false, 0}};
  for (const Case& c : byIndex) {
    SCOPED_TRACE(testing::Message() << c.from << (c.forward ? " forward" : " back"));
    EXPECT_EQ(columns->GetNextEditableColumn(Col(c.from), c.forward), Col(c.expected));
  }
  EXPECT_EQ(columns->GetFirstEditableColumn(), Col(0));
  EXPECT_EQ(columns->GetLastEditableColumn(), Col(4));

  // The panel: line 0: 0 | 3 (hidden 1 at 120); line 1: 4 | 2 (read-only); line 2: 5 at 60.
  grid->SetContraColCount(0);
  const int places[][3] = {{0, 0, 0}, {1, 0, 120}, {2, 1, 60}, {3, 0, 60}, {4, 1, 0}, {5, 2, 60}};
  for (const auto& [col, line, left] : places) {
    Col(col)->SetWidth(50);
    Col(col)->SetInRowLinePos(line);
    Col(col)->SetInRowPanelLeft(left);
  }
  // The places above, not the ones the panel's layout gives these widths, are navigated.
  grid->RowPanel()->SetActive(true);
  ASSERT_TRUE(grid->RowPanel()->Active());
  for (const auto& [col, line, left] : places) Col(col)->SetInRowPanelLeft(left);
  EXPECT_EQ(grid->LayoutLock(), 0);
  EXPECT_EQ(grid->LayoutChangeLock(), 0);
  const Case byPanel[] = {{3, true, 4}, {4, true, 5}, {5, true, 5}, {4, false, 3}, {0, false, 0}};
  for (const Case& c : byPanel) {
    SCOPED_TRACE(testing::Message() << "panel " << c.from << (c.forward ? " forward" : " back"));
    EXPECT_EQ(columns->GetNextEditableColumn(Col(c.from), c.forward), Col(c.expected));
  }
  EXPECT_EQ(columns->GetFirstEditableColumn(), Col(0));
  EXPECT_EQ(columns->GetLastEditableColumn(), Col(5));
  const Case vertical[] = {{0, true, 4}, {3, true, 5}, {5, false, 3}, {4, false, 0}, {4, true, 4}};
  for (const Case& c : vertical) {
    SCOPED_TRACE(testing::Message() << "panel " << c.from << (c.forward ? " down" : " up"));
    EXPECT_EQ(columns->GetColumnAboveOrBelow(Col(c.from), c.forward), Col(c.expected));
  }
}

TEST_F(DBGridColumns, GroupFooterKindsByFieldType) {
  AddNumberedRows(2);
  AddColumns({"ID", "NAME", "AMOUNT", "PAID", "MISSING"});
  // Kinds 0 to 8, one character each.
  const std::pair<int, const char*> cases[] = {
      {0, "011111110"}, {1, "000111110"}, {2, "011111110"}, {3, "010111110"}, {4, "000000000"},
  };
  for (const auto& [col, expected] : cases) {
    SCOPED_TRACE(Col(col)->FieldName());
    std::string allowed;
    for (int kind = 0; kind <= 8; ++kind) allowed += Col(col)->GetGroupFooterKindAllowed(kind) ? '1' : '0';
    EXPECT_EQ(allowed, expected);
  }
}

TEST_F(DBGridColumns, RowPanelPlacementAndSortOrderInTheDescription) {
  AddNumberedRows(2);
  AddColumns({"ID", "NAME", "AMOUNT"});
  SetMultiSort(true);
  Col(2)->Title()->SetSortMarker(smUpEh);
  Col(0)->Title()->SetSortMarker(smDownEh);
  Col(1)->SetInRowLinePos(2);
  Col(2)->SetInRowLineHeight(3);

  TStringStream bin;
  bin.WriteComponent(grid);
  TStringStream binIn(bin.DataString()), text;
  ObjectBinaryToText(binIn, text);
  const std::string& description = text.DataString();
  auto count = [&](const std::string& what) {
    int n = 0;
    for (size_t at = description.find(what); at != std::string::npos; at = description.find(what, at + 1))
      ++n;
    return n;
  };
  EXPECT_EQ(count("InRowLinePos"), 1);
  EXPECT_EQ(count("InRowLinePos = 2"), 1);
  EXPECT_EQ(count("InRowLineHeight"), 1);
  EXPECT_EQ(count("InRowLineHeight = 3"), 1);

  // Read back onto a fresh grid: the titles come in inside the collection's update.
  auto back = std::make_unique<TDBGridEh>(nullptr);
  ReadComponentFromText(description, back.get());
  TDBGridColumnsEh* read = back->Columns();
  ASSERT_EQ(read->Count(), 3);
  const int placement[][2] = {{0, 1}, {2, 1}, {0, 3}};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(read->GetColumn(i)->InRowLinePos(), placement[i][0]);
    EXPECT_EQ(read->GetColumn(i)->InRowLineHeight(), placement[i][1]);
  }
  EXPECT_EQ(read->GetColumn(0)->Title()->SortIndex(), 2);
  EXPECT_EQ(read->GetColumn(2)->Title()->SortIndex(), 1);
  EXPECT_EQ(read->GetColumn(2)->Title()->SortMarker(), smUpEh);
  ASSERT_EQ(back->SortMarkedColumns().Count(), 2);
  EXPECT_EQ(back->SortMarkedColumns()[0], read->GetColumn(2));
  EXPECT_EQ(back->SortMarkedColumns()[1], read->GetColumn(0));

  // A placement of the wrong type is the reader's error.
  std::string wrong = description;
  wrong.replace(wrong.find("InRowLinePos = 2"), 16, "InRowLinePos = 'x'");
  auto other = std::make_unique<TDBGridEh>(nullptr);
  EXPECT_THROW(ReadComponentFromText(wrong, other.get()), EReadError);
}

TEST_F(DBGridColumns, FootersKeepTheirSumItemsThroughAssignAndDestruction) {
  AddNumberedRows(2);
  AddColumns({"ID", "AMOUNT", "NAME"});
  TDBSumCollection* sums = grid->SumList()->SumCollection();
  ASSERT_EQ(sums->Count(), 0);
  Col(1)->Footer()->SetValueType(fvtSum);
  TColumnFooterEh* counted = Col(1)->Footers()->Add();
  counted->SetFieldName("ID");
  counted->SetValueType(fvtCount);
  ASSERT_EQ(sums->Count(), 2);
  EXPECT_EQ(Col(1)->Footer()->Field(), dataSet->FieldByName("AMOUNT"));
  EXPECT_EQ(counted->Field(), dataSet->FieldByName("ID"));
  EXPECT_EQ(Col(1)->GetFooter(0), counted);
  EXPECT_EQ(Col(1)->GetFooter(1), Col(1)->Footer());

  // The third column takes the second's footers with their own sum items; its field rebinds them.
  Col(1)->SetMinWidth(40);
  Col(1)->SetHideDuplicates(true);
  Col(2)->Assign(Col(1));
  EXPECT_EQ(sums->Count(), 4);
  EXPECT_EQ(Col(2)->Footers()->Count(), 1);
  EXPECT_EQ(Col(2)->MinWidth(), 40);
  EXPECT_TRUE(Col(2)->HideDuplicates());
  EXPECT_EQ(Col(2)->Footer()->Field(), dataSet->FieldByName("AMOUNT"));

  Col(2)->Footer()->SetValueType(fvtStaticText);
  EXPECT_EQ(sums->Count(), 3);
  delete Col(1);
  EXPECT_EQ(sums->Count(), 1);
  EXPECT_EQ(sums->Items(0)->GroupOperation(), goCount);
}

// A description with tens of thousands of footers on one column reads in time linear in them:
// each footer joins its column without a walk over the footers read before it.
TEST_F(DBGridColumns, ManyFootersReadFromADescriptionInOrder) {
  AddNumberedRows(3);
  constexpr int kFooters = 50000;
  std::string description =
      "object Grid: TDBGridEh\n  Columns = <\n    item\n      FieldName = 'ID'\n      Footers = <";
  for (int i = 0; i < kFooters; ++i)
    description += i % 2 ? "\n        item\n          ValueType = fvtSum\n        end"
                         : "\n        item\n          Value = 'v" + std::to_string(i) +
                               "'\n          ValueType = fvtStaticText\n        end";
  description += ">\n    end>\nend\n";
  grid->Columns()->Clear();
  ReadComponentFromText(description, grid);
  ASSERT_EQ(grid->Columns()->Count(), 1);
  TColumnFootersEh* footers = Col(0)->Footers();
  ASSERT_EQ(footers->Count(), kFooters);
  for (int i : {0, 1, kFooters - 2, kFooters - 1}) {
    SCOPED_TRACE(i);
    TColumnFooterEh* footer = Col(0)->GetFooter(i);
    EXPECT_EQ(footer->Index(), i);
    EXPECT_EQ(footer->ValueType(), i % 2 ? fvtSum : fvtStaticText);
    EXPECT_EQ(footer->Value(), i % 2 ? "" : "v" + std::to_string(i));
  }
  EXPECT_EQ(grid->SumList()->SumCollection()->Count(), kFooters / 2);
}

}  // namespace
