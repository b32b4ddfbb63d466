// Group footers over a grouping grid: aggregates with Nulls, formats and prefixes, aggregation
// into every ancestor, column items following the columns, the event relays, finalising once,
// the reading closed on errors, parent colours and fonts.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "grid/data/MemoryDataSetEh.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"
#include "tests/support/ThinGroupingGrid.h"

namespace grouping_footers_test {

constexpr int kAmount = 3;  // the AMOUNT column's item (columns: ID, CAT, SUB, AMOUNT)

class GroupingFooters : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    form = new TForm(Application, 0);
    form->AfterConstruction();
    form->SetBounds(0, 0, 500, 400);
    dataSet = new TMemoryDataSetEh(form);
    dataSet->FieldDefs()->Add("ID", ftInteger);
    dataSet->FieldDefs()->Add("CAT", ftString, 20);
    dataSet->FieldDefs()->Add("SUB", ftString, 20);
    dataSet->FieldDefs()->Add("AMOUNT", ftFloat);
    dataSet->CreateDataSet();
    source = new TDataSource(form);
    source->SetDataSet(dataSet);
    grid = new TThinGroupingGridEh(form);
    grid->SetParent(form);
    form->Show();
    grid->SetDataSource(source);
    groups = grid->DataGrouping();
  }
  void TearDown() override { ResetVcl(); }

  // Rows of (CAT, SUB, AMOUNT); ID counts from 1.
  void AddRows(const std::vector<std::tuple<const char*, const char*, Variant>>& Rows) {
    for (const auto& [cat, sub, amount] : Rows) dataSet->AppendRecord({++lastId, cat, sub, amount});
  }
  // A visible grand-total footer (the levels share it), grouping on by the given fields.
  TGridDataGroupFooterColumnItemEh* Group(std::initializer_list<const char*> Fields,
                                          TGroupFooterValueTypeEh Type = gfvSumEh) {
    footer = groups->Footers()->Add();
    footer->SetVisible(true);
    for (const char* field : Fields) grid->AddGroupLevel(field);
    groups->SetActive(true);
    TGridDataGroupFooterColumnItemEh* item = footer->ColumnItems()->Items(kAmount);
    item->SetValueType(Type);
    return item;
  }
  // The group at a path of keys ("" the root).
  TGroupDataTreeNodeEh* Node(const std::vector<const char*>& Path) {
    TGroupDataTreeNodeEh* node = grid->GroupTree()->GetRoot();
    for (const char* key : Path) {
      TGroupDataTreeNodeEh* found = nullptr;
      for (int i = 0; i < node->GetRowsCount(); ++i)
        if (node->GetItem(i)->NodeType == dntDataGroupEh && VarToStr(node->GetItem(i)->KeyValue) == key)
          found = node->GetItem(i);
      EXPECT_NE(found, nullptr) << key;
      if (!found) return node;
      node = found;
    }
    return node;
  }
  const Variant& Value(TGroupDataTreeNodeEh* Group, int Item = kAmount) {
    return Group->GetFooterNode(0)->GetFooterValue(Item);
  }
  std::string Text(TGroupDataTreeNodeEh* Group, int Item = kAmount) {
    return footer->ColumnItems()->Items(Item)->GetDisplayText(Value(Group, Item));
  }

  TForm* form = nullptr;
  TMemoryDataSetEh* dataSet = nullptr;
  TDataSource* source = nullptr;
  TThinGroupingGridEh* grid = nullptr;
  TGridDataGroupsEh* groups = nullptr;
  TGridDataGroupFooterEh* footer = nullptr;
  int lastId = 0;
};

TEST_F(GroupingFooters, EveryValueTypeSkipsNulls) {
  AddRows({{"a", "", 1.0},
           {"a", "", Null()},
           {"a", "", 2.0},
           {"b", "", Null()},
           {"b", "", Null()},
           {"c", "", 5.0}});
  TGridDataGroupFooterColumnItemEh* item = Group({"CAT"});
  struct Case {
    TGroupFooterValueTypeEh type;
    const char *a, *b, *total;
    bool bNull;  // the all-null group's value is Null
  };
  const Case cases[] = {
      {gfvSumEh, "3", "", "8", true},
      {gfvAvgEh, "1.5", "", "2.6667", true},
      {gfvCountEh, "2", "0", "3", false},
      {gfvMaxEh, "2", "", "5", true},
      {gfvMinEh, "1", "", "1", true},
      {gfvStaticTextEh, "StaticText", "StaticText", "StaticText", false},
      {gfvCustomEh, "Custom", "Custom", "Custom", false},
      {gfvNonEh, "", "", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(GetEnumName(TEnumTraits<TGroupFooterValueTypeEh>::Info(), static_cast<int>(c.type)));
    item->SetValueType(c.type);
    EXPECT_EQ(Text(Node({"a"})), c.a);
    EXPECT_EQ(Text(Node({"b"})), c.b);
    EXPECT_EQ(Text(Node({})), c.total);
    EXPECT_EQ(Value(Node({"b"})).IsNull(), c.bNull);
  }
  item->SetValueType(gfvAvgEh);
  EXPECT_EQ(Value(Node({"a"})).VarType(), varDouble);
  EXPECT_DOUBLE_EQ(Value(Node({"a"})).AsDouble(), 1.5);
  TFormatSettings comma = FormatSettings();
  comma.DecimalSeparator = ",";
  TFormatSettingsScope scope(comma);
  EXPECT_EQ(Text(Node({"a"})), "1,5");
  EXPECT_EQ(Text(Node({})), "2,6667");
}

TEST_F(GroupingFooters, DisplayFormatsAndPrefixes) {
  AddRows({{"a", "", 1.0}, {"a", "", 2.5}});
  TGridDataGroupFooterColumnItemEh* item = Group({"CAT"});
  TAxisBarEh* column = grid->Columns()->GetAxisBar(kAmount);
  struct Case {
    const char* id;
    TGroupFooterValueTypeEh type;
    const char *itemFormat, *columnFormat;
    bool prefix;
    const char* text;
  };
  const Case cases[] = {
      {"sum", gfvSumEh, "", "", false, "3.5"},
      {"sum-item-format", gfvSumEh, "0.00", "", false, "3.50"},
      {"sum-column-format", gfvSumEh, "", "0.000", false, "3.500"},
      {"item-over-column", gfvSumEh, "0.0", "0.000", false, "3.5"},
      {"avg-ignores-column", gfvAvgEh, "", "0.000", false, "1.75"},
      {"avg-item-format", gfvAvgEh, "0.000", "", false, "1.750"},
      {"max-column-format", gfvMaxEh, "", "0.00", false, "2.50"},
      {"count-unformatted", gfvCountEh, "", "0.00", true, "Cnt = 2"},
      {"sum-prefix", gfvSumEh, "", "", true, "Sum = 3.5"},
      {"avg-prefix", gfvAvgEh, "", "", true, "Avg = 1.75"},
      {"max-prefix", gfvMaxEh, "", "", true, "Max = 2.5"},
      {"min-prefix", gfvMinEh, "", "", true, "Min = 1"},
      {"static-no-prefix", gfvStaticTextEh, "", "", true, "StaticText"},
      {"custom-no-prefix", gfvCustomEh, "", "", true, "Custom"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    item->SetValueType(c.type);
    item->SetDisplayFormat(c.itemFormat);
    column->SetDisplayFormat(c.columnFormat);
    item->SetShowFunctionName(c.prefix);
    EXPECT_EQ(Text(Node({})), c.text);
  }
  // The prefix follows the footer, the footer the settings' defaults, until stored.
  item->SetValueType(gfvSumEh);
  item->SetDisplayFormat("");
  column->SetDisplayFormat("");
  item->SetShowFunctionNameStored(false);
  EXPECT_EQ(Text(Node({})), "3.5");
  groups->FootersDefValues()->SetShowFunctionName(true);
  EXPECT_EQ(Text(Node({})), "Sum = 3.5");
  footer->SetShowFunctionName(false);
  EXPECT_EQ(Text(Node({})), "3.5");
  footer->SetShowFunctionNameStored(false);
  EXPECT_TRUE(footer->ShowFunctionName());
  EXPECT_FALSE(GetPropInfo(footer, "ShowFunctionName")->IsStored(*footer));
  EXPECT_FALSE(GetPropInfo(item, "ShowFunctionName")->IsStored(*item));
  EXPECT_FALSE(GetPropInfo(footer, "ColumnItems")->IsStored(*footer));  // automatic columns
}

TEST_F(GroupingFooters, EachRecordCountsOnceInEveryAncestor) {
  AddRows({{"a", "x", 1.0}, {"a", "x", 2.0}, {"a", "y", 3.0}, {"b", "x", 4.0}, {"b", "z", Null()}});
  Group({"CAT", "SUB"});
  footer->ColumnItems()->Items(0)->SetValueType(gfvCountEh);
  struct Case {
    std::vector<const char*> path;
    const char *count, *sum;
  };
  auto check = [&](const std::vector<Case>& cases) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::PrintToString(std::vector<std::string>(c.path.begin(), c.path.end())));
      EXPECT_EQ(VarToStr(Value(Node(c.path), 0)), c.count);
      EXPECT_EQ(VarToStr(Value(Node(c.path))), c.sum);
    }
  };
  check({{{}, "5", "10"},
         {{"a"}, "3", "6"},
         {{"a", "x"}, "2", "3"},
         {{"a", "y"}, "1", "3"},
         {{"b"}, "2", "4"},
         {{"b", "x"}, "1", "4"},
         {{"b", "z"}, "1", ""}});
  // An edit reaches the footers through the record notice.
  dataSet->Last();
  dataSet->Edit();
  dataSet->FieldByName("AMOUNT")->SetAsFloat(7);
  dataSet->Post();
  check({{{}, "5", "17"}, {{"b"}, "2", "11"}, {{"b", "z"}, "1", "7"}});
}

TEST_F(GroupingFooters, ColumnItemsFollowTheColumns) {
  grid->BeginLayout();
  for (const char* name : {"ID", "CAT", "SUB", "AMOUNT"}) grid->Columns()->Add()->SetFieldName(name);
  grid->EndLayout();
  TGridDataGroupFooterEh* f = groups->Footers()->Add();
  TGridDataGroupFooterColumnItemsEh* items = f->ColumnItems();
  auto expectMatch = [&] {
    ASSERT_EQ(items->Count(), grid->Columns()->Count());
    for (int i = 0; i < items->Count(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(items->Items(i)->Column(), grid->Columns()->GetAxisBar(i));
      EXPECT_EQ(items->Items(i)->FieldName(), grid->Columns()->GetAxisBar(i)->FieldName());
    }
  };
  expectMatch();
  EXPECT_TRUE(GetPropInfo(f, "ColumnItems")->IsStored(*f));
  TGridDataGroupFooterColumnItemEh* amountItem = items->Items(3);
  grid->Columns()->GetAxisBar(3)->SetIndex(0);
  EXPECT_TRUE(f->UpdateColumnItems(grid->Columns()));
  expectMatch();
  EXPECT_EQ(items->Items(0), amountItem);
  EXPECT_FALSE(f->UpdateColumnItems(grid->Columns()));
  // A deleted column leaves no dangling pointer before the items are brought in line.
  TGridDataGroupFooterColumnItemEh* catItem = items->Items(2);
  grid->Columns()->Delete(2);
  for (int i = 0; i < items->Count(); ++i)
    if (items->Items(i) == catItem) {
      EXPECT_EQ(catItem->Column(), nullptr);
    }
  f->UpdateColumnItems(grid->Columns());
  expectMatch();
  // Columns [AMOUNT, NEW, ID, SUB] over items [AMOUNT, ID, SUB]: the new item lands at its index.
  TAxisBarEh* added = grid->Columns()->Add();
  added->SetFieldName("ID");
  added->SetIndex(1);
  grid->Columns()->GetAxisBar(3)->SetFieldName("CAT");
  EXPECT_TRUE(f->UpdateColumnItems(grid->Columns()));
  expectMatch();
  EXPECT_EQ(items->Items(3)->FieldName(), "CAT");
}

TEST_F(GroupingFooters, RelayHandledStepSkipsTheBuiltInOne) {
  AddRows({{"a", "", 1.0}, {"a", "", 2.0}, {"b", "", 3.0}});
  TGridDataGroupFooterColumnItemEh* item = Group({"CAT"});
  TAxisBarEh* column = grid->Columns()->GetAxisBar(kAmount);
  int aggregates = 0, finalizes = 0, texts = 0;
  bool goodArgs = true;
  struct Case {
    const char* id;
    TGroupFooterValueTypeEh type;
    bool aggregate, finalize, text;  // which relay reports handled
    const char* total;
    int aggregateCalls, finalizeCalls;
  };
  const Case cases[] = {
      {"none-handled", gfvSumEh, false, false, false, "Sum = 6", 6, 3},
      {"aggregate", gfvSumEh, true, false, false, "Sum = 300", 6, 3},
      {"finalize", gfvAvgEh, false, true, false, "Avg = ", 6, 3},  // the pair stays unfinalised
      {"text", gfvSumEh, false, false, true, "shown", 6, 3},
      {"never-for-none", gfvNonEh, true, true, true, "", 0, 0},
  };
  item->SetShowFunctionName(true);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    grid->OnAggregateValue = [&](TAxisBarEh* col, TGridDataGroupFooterEh* f,
                                 TGridDataGroupFooterColumnItemEh* it, Variant& v,
                                 TGroupDataTreeNodeEh* node) {
      ++aggregates;
      goodArgs =
          goodArgs && col == column && f == footer && it == item && node->NodeType == dntDataGroupFooterEh;
      if (c.aggregate) v = v.IsEmpty() ? Variant(100) : v + Variant(100);
      return c.aggregate;
    };
    grid->OnFinalizeValue = [&](TAxisBarEh*, TGridDataGroupFooterEh*, TGridDataGroupFooterColumnItemEh*,
                                Variant&) {
      ++finalizes;
      return c.finalize;
    };
    grid->OnToDisplayText = [&](TAxisBarEh*, TGridDataGroupFooterEh*, TGridDataGroupFooterColumnItemEh*,
                                const Variant&, std::string& text) {
      ++texts;
      text = "shown";
      return c.text;
    };
    item->SetValueType(c.type);
    aggregates = finalizes = texts = 0;
    grid->GroupTree()->RecalcFooterValues();
    EXPECT_EQ(aggregates, c.aggregateCalls);
    EXPECT_EQ(finalizes, c.finalizeCalls);
    EXPECT_EQ(Text(Node({})), c.total);
    EXPECT_EQ(texts, c.type == gfvNonEh ? 0 : 1);
    EXPECT_EQ(Value(Node({})).IsArray(), c.finalize && c.type == gfvAvgEh);
    EXPECT_TRUE(goodArgs);
  }
}

TEST_F(GroupingFooters, AverageIsFinalisedOnceAndPaintingOnlyFormats) {
  AddRows({{"a", "", 1.0}, {"a", "", Null()}, {"a", "", 2.0}});
  TGridDataGroupFooterColumnItemEh* item = Group({"CAT"}, gfvAvgEh);
  int finalizes = 0;
  grid->OnFinalizeValue = [&](TAxisBarEh*, TGridDataGroupFooterEh*, TGridDataGroupFooterColumnItemEh*,
                              Variant&) {
    ++finalizes;
    return false;
  };
  grid->GroupTree()->RecalcFooterValues();
  EXPECT_EQ(finalizes, 2);  // the group's footer and the grand total
  const std::string first = item->GetDisplayText(Value(Node({"a"})));
  EXPECT_EQ(first, "1.5");
  EXPECT_EQ(item->GetDisplayText(Value(Node({"a"}))), first);
  grid->Invalidate();
  grid->Repaint();
  EXPECT_EQ(finalizes, 2);
  EXPECT_DOUBLE_EQ(Value(Node({"a"})).AsDouble(), 1.5);
}

TEST_F(GroupingFooters, RecalcEndsTheReadingWhenAStepRaises) {
  AddRows({{"a", "", 1.0}, {"a", "", 2.0}, {"b", "", 3.0}});
  Group({"CAT"});
  const std::function<bool(Variant&)> raisers[] = {
      [](Variant&) -> bool { throw Exception("relay failed"); },
      [](Variant& v) {
        v = "text";
        return false;
      },  // "text" + 1.0 raises in the Sum
  };
  for (size_t i = 0; i < std::size(raisers); ++i) {
    SCOPED_TRACE(i);
    grid->OnAggregateValue = [&, i](TAxisBarEh*, TGridDataGroupFooterEh*, TGridDataGroupFooterColumnItemEh*,
                                    Variant& v, TGroupDataTreeNodeEh*) { return raisers[i](v); };
    EXPECT_THROW(grid->GroupTree()->RecalcFooterValues(), Exception);
    EXPECT_EQ(dataSet->RecordReadingDepth(), 0);
  }
  grid->OnAggregateValue = nullptr;
  grid->GroupTree()->RecalcFooterValues();
  EXPECT_EQ(Text(Node({})), "6");
}

TEST_F(GroupingFooters, ParentColoursAndFonts) {
  AddRows({{"a", "", 1.0}});
  TGridDataGroupFooterColumnItemEh* item = Group({"CAT"});
  groups->SetColor(clYellow);
  EXPECT_EQ(footer->Color(), clYellow);
  EXPECT_EQ(item->Color(), clYellow);
  EXPECT_FALSE(GetPropInfo(footer, "Color")->IsStored(*footer));
  footer->SetColor(clAqua);
  EXPECT_FALSE(footer->ParentColor());
  EXPECT_TRUE(GetPropInfo(footer, "Color")->IsStored(*footer));
  EXPECT_EQ(item->Color(), clAqua);
  item->SetColor(clRed);
  EXPECT_EQ(item->Color(), clRed);
  item->SetParentColor(true);
  EXPECT_EQ(item->Color(), clAqua);

  groups->Font()->SetSize(14);
  EXPECT_EQ(footer->Font()->Size(), 14);
  EXPECT_EQ(item->Font()->Size(), 14);
  EXPECT_TRUE(footer->ParentFont());
  EXPECT_TRUE(item->ParentFont());
  footer->Font()->SetStyle(TFontStyles{fsBold});
  EXPECT_FALSE(footer->ParentFont());
  EXPECT_TRUE(GetPropInfo(footer, "Font")->IsStored(*footer));
  groups->Font()->SetSize(16);
  EXPECT_EQ(footer->Font()->Size(), 14);
  EXPECT_EQ(item->Font()->Size(), 14);
  EXPECT_TRUE(item->Font()->Style().Contains(fsBold));
  footer->SetParentFont(true);
  EXPECT_EQ(footer->Font()->Size(), 16);
  EXPECT_FALSE(footer->Font()->Style().Contains(fsBold));
  EXPECT_EQ(item->Font()->Size(), 16);

  // A level's own footers follow the level.
  TGridDataGroupLevelEh* level = groups->GroupLevels()->Items(0);
  TGridDataGroupFooterEh* own = level->OwnFooters()->Add();
  level->SetColor(clLime);
  level->Font()->SetSize(20);
  EXPECT_EQ(own->Color(), clLime);
  EXPECT_EQ(own->Font()->Size(), 20);
  EXPECT_EQ(own->ColumnItems()->Items(0)->Font()->Size(), 20);
}

}  // namespace grouping_footers_test
