// Group footers: aggregates and Nulls, formats, ancestors, column items, relays, parent colours.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <sstream>
#include <string>
#include <tuple>
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
    TForm* form = new TForm(Application, 0);
    form->AfterConstruction();
    dataSet = new TMemoryDataSetEh(form);
    dataSet->FieldDefs()->Add("ID", ftInteger);
    dataSet->FieldDefs()->Add("CAT", ftString, 20);
    dataSet->FieldDefs()->Add("SUB", ftString, 20);
    dataSet->FieldDefs()->Add("AMOUNT", ftFloat);
    dataSet->CreateDataSet();
    TDataSource* source = new TDataSource(form);
    source->SetDataSet(dataSet);
    grid = new TThinGroupingGridEh(form);
    grid->SetParent(form);
    form->Show();
    grid->SetDataSource(source);
    groups = grid->DataGrouping();
  }
  void TearDown() override { ResetVcl(); }

  // Records of one CAT and SUB with these amounts; ID counts from 1.
  void Add(const char* Cat, const char* Sub, std::initializer_list<Variant> Amounts) {
    for (const Variant& amount : Amounts) dataSet->AppendRecord({++lastId, Cat, Sub, amount});
  }
  // A visible grand-total footer (the levels share it) summing AMOUNT, grouping on by these fields.
  TGridDataGroupFooterColumnItemEh* Group(std::initializer_list<const char*> Fields) {
    footer = groups->Footers()->Add();
    footer->SetVisible(true);
    for (const char* field : Fields) grid->AddGroupLevel(field);
    groups->SetActive(true);
    TGridDataGroupFooterColumnItemEh* item = footer->ColumnItems()->Items(kAmount);
    item->SetValueType(gfvSumEh);
    return item;
  }
  // The group at a path of keys ({} the root).
  TGroupDataTreeNodeEh* Node(const std::vector<const char*>& Path) {
    TGroupDataTreeNodeEh* node = grid->GroupTree()->GetRoot();
    for (const char* key : Path)
      for (int i = 0, n = node->GetRowsCount(); i < n; ++i)
        if (node->GetItem(i)->NodeType == dntDataGroupEh && VarToStr(node->GetItem(i)->KeyValue) == key) {
          node = node->GetItem(i);
          break;
        }
    return node;
  }
  const Variant& Value(TGroupDataTreeNodeEh* Group, int Item = kAmount) {
    return Group->GetFooterNode(0)->GetFooterValue(Item);
  }
  std::string Text(TGroupDataTreeNodeEh* Group) {
    return footer->ColumnItems()->Items(kAmount)->GetDisplayText(Value(Group));
  }

  TMemoryDataSetEh* dataSet = nullptr;
  TThinGroupingGridEh* grid = nullptr;
  TGridDataGroupsEh* groups = nullptr;
  TGridDataGroupFooterEh* footer = nullptr;
  int lastId = 0;
};

// A float field's sum, added a record at a time, is what the general addition of the values in
// record order gives, bit for bit; an overflow raises as it does there.
TEST_F(GroupingFooters, SumOfFloatsEqualsTheGeneralAddition) {
  struct Case {
    const char* id;
    std::vector<Variant> amounts;
    bool raises;
  } const cases[] = {
      {"rounding order", {0.1, 0.2, 0.3, 1e16, -1e16, 0.7}, false},
      {"Nulls skipped", {Null(), 2.5, Null(), -0.25}, false},
      {"one value", {3.75}, false},
      {"overflow", {1e308, 1e308}, true},
      {"negative zeros", {-0.0, -0.0}, false},
  };
  TGridDataGroupFooterColumnItemEh* item = Group({"CAT"});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    groups->SetActive(false);
    dataSet->EmptyDataSet();
    Add("a", "", {});
    for (const Variant& amount : c.amounts) Add("a", "", {amount});
    Variant expected = Null();
    bool raised = false;
    for (const Variant& amount : c.amounts) try {
        if (!amount.IsNull()) expected = expected.IsNull() ? amount : expected + amount;
      } catch (const Exception&) {
        raised = true;
      }
    ASSERT_EQ(raised, c.raises);
    if (c.raises) {
      EXPECT_THROW(groups->SetActive(true), Exception);
      continue;
    }
    groups->SetActive(true);
    ASSERT_EQ(item->ValueType(), gfvSumEh);
    const Variant& sum = Value(Node({"a"}));
    ASSERT_EQ(sum.VarType(), varDouble);
    EXPECT_EQ(std::bit_cast<uint64_t>(sum.AsDouble()), std::bit_cast<uint64_t>(expected.AsDouble()));
  }
}

// Every value type skips Nulls; the average is finalised once; formats and prefixes (group a).
TEST_F(GroupingFooters, ValueTypesFormatsAndPrefixes) {
  Add("a", "", {1.0, Null(), 2.0});
  Add("b", "", {Null(), Null()});
  Add("c", "", {5.0});
  TGridDataGroupFooterColumnItemEh* item = Group({"CAT"});
  TAxisBarEh* column = grid->Columns()->GetAxisBar(kAmount);
  // clang-format off
  // The texts of groups a and b and of the grand total; bNull: b's value is Null.
  struct Case { TGroupFooterValueTypeEh type; const char *a, *b, *total; bool bNull; };
  const Case cases[] = {
      {gfvSumEh, "3", "", "8", true},       {gfvAvgEh, "1.5", "", "2.6667", true},
      {gfvCountEh, "2", "0", "3", false},   {gfvMaxEh, "2", "", "5", true},
      {gfvMinEh, "1", "", "1", true},       {gfvNonEh, "", "", "", false},
      {gfvStaticTextEh, "StaticText", "StaticText", "StaticText", false},
      {gfvCustomEh, "Custom", "Custom", "Custom", false}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(GetEnumName(TEnumTraits<TGroupFooterValueTypeEh>::Info(), static_cast<int>(c.type)));
    item->SetValueType(c.type);
    EXPECT_EQ(Text(Node({"a"})), c.a);
    EXPECT_EQ(Text(Node({"b"})), c.b);
    EXPECT_EQ(Text(Node({})), c.total);
    EXPECT_EQ(Value(Node({"b"})).IsNull(), c.bNull);
  }
  int finalizes = 0;
  {  // The average's pair is divided once, at recalculation: texts and repaints only format it.
    item->SetValueType(gfvAvgEh);
    grid->OnFinalizeValue = [&](auto*, auto*, auto*, Variant&) { return ++finalizes, false; };
    grid->GroupTree()->RecalcFooterValues();
    EXPECT_EQ(finalizes, 4);  // three groups' footers and the grand total
    EXPECT_EQ(Text(Node({"a"})), "1.5");
    grid->Repaint();
    EXPECT_EQ(finalizes, 4);
    EXPECT_EQ(Value(Node({"a"})).VarType(), varDouble);
    EXPECT_DOUBLE_EQ(Value(Node({"a"})).AsDouble(), 1.5);
    TFormatSettings comma = FormatSettings();
    comma.DecimalSeparator = ",";
    TFormatSettingsScope scope(comma);
    EXPECT_EQ(Text(Node({"a"})), "1,5");
    EXPECT_EQ(Text(Node({})), "2,6667");
  }
  // The prefix follows the footer, the footer the settings' defaults, until stored.
  item->SetValueType(gfvSumEh);
  item->SetShowFunctionNameStored(false);
  EXPECT_EQ(Text(Node({"a"})), "3");
  groups->FootersDefValues()->SetShowFunctionName(true);
  EXPECT_EQ(Text(Node({"a"})), "Sum = 3");
  footer->SetShowFunctionName(false);
  EXPECT_EQ(Text(Node({"a"})), "3");
  footer->SetShowFunctionNameStored(false);
  EXPECT_EQ(Text(Node({"a"})), "Sum = 3");
  EXPECT_FALSE(GetPropInfo(footer, "ShowFunctionName")->IsStored(*footer));
  EXPECT_FALSE(GetPropInfo(footer, "ColumnItems")->IsStored(*footer));  // automatic columns
  // Format id: the value type, the item's and the column's format (- none), "+" with the prefix.
  // clang-format off
  struct Format { const char* id; TGroupFooterValueTypeEh type; const char* text; };
  const Format formats[] = {
      {"sum - -", gfvSumEh, "3"},                 {"sum 0.00 -", gfvSumEh, "3.00"},
      {"sum - 0.000", gfvSumEh, "3.000"},         {"sum 0.0 0.000", gfvSumEh, "3.0"},
      {"avg - 0.000", gfvAvgEh, "1.5"},           {"avg 0.000 -", gfvAvgEh, "1.500"},
      {"max - 0.00", gfvMaxEh, "2.00"},           {"cnt - 0.00 +", gfvCountEh, "Cnt = 2"},
      {"sum - - +", gfvSumEh, "Sum = 3"},         {"avg - - +", gfvAvgEh, "Avg = 1.5"},
      {"max - - +", gfvMaxEh, "Max = 2"},         {"min - - +", gfvMinEh, "Min = 1"},
      {"static - - +", gfvStaticTextEh, "StaticText"}, {"custom - - +", gfvCustomEh, "Custom"}};
  // clang-format on
  for (const Format& c : formats) {
    SCOPED_TRACE(c.id);
    std::istringstream parts(c.id);
    std::string name, itemFormat, columnFormat, prefix;
    parts >> name >> itemFormat >> columnFormat >> prefix;
    item->SetValueType(c.type);
    item->SetDisplayFormat(itemFormat == "-" ? "" : itemFormat);
    column->SetDisplayFormat(columnFormat == "-" ? "" : columnFormat);
    item->SetShowFunctionName(prefix == "+");
    EXPECT_EQ(Text(Node({"a"})), c.text);
  }
}

TEST_F(GroupingFooters, EachRecordCountsOnceInEveryAncestor) {
  Add("a", "x", {1.0, 2.0});
  Add("a", "y", {3.0});
  Add("b", "x", {4.0});
  Add("b", "z", {Null()});
  Group({"CAT", "SUB"});
  footer->ColumnItems()->Items(0)->SetValueType(gfvCountEh);
  struct Case {
    std::vector<const char*> path;
    const char *count, *sum;  // of the ID's Count item and the AMOUNT's Sum item
  };
  auto check = [&](const std::vector<Case>& cases) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::PrintToString(std::vector<std::string>(c.path.begin(), c.path.end())));
      EXPECT_EQ(VarToStr(Value(Node(c.path), 0)), c.count);
      EXPECT_EQ(VarToStr(Value(Node(c.path))), c.sum);
    }
  };
  // clang-format off
  check({{{}, "5", "10"}, {{"a"}, "3", "6"}, {{"a", "x"}, "2", "3"}, {{"a", "y"}, "1", "3"},
         {{"b"}, "2", "4"}, {{"b", "x"}, "1", "4"}, {{"b", "z"}, "1", ""}});
  // clang-format on
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
  // Footers the settings do not know: nothing but the column IDs keeps their items right.
  TGridDataGroupFootersEh standalone(groups, nullptr);
  TGridDataGroupFooterEh* f = standalone.Add();
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
  grid->Columns()->Delete(2);
  EXPECT_EQ(items->Items(2)->Column(), nullptr);
  EXPECT_TRUE(f->UpdateColumnItems(grid->Columns()));
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

TEST_F(GroupingFooters, RelaysSkipHandledStepsAndRaisingEndsTheReading) {
  Add("a", "", {1.0, 2.0});
  Add("b", "", {3.0});
  TGridDataGroupFooterColumnItemEh* item = Group({"CAT"});
  TAxisBarEh* column = grid->Columns()->GetAxisBar(kAmount);
  int aggregates = 0, finalizes = 0, texts = 0;
  // clang-format off
  // aggregate, finalize, text: the relays that report the step handled.
  struct Case { const char* id; TGroupFooterValueTypeEh type; bool aggregate, finalize, text;
                const char* total; int aggregateCalls, finalizeCalls; };
  const Case cases[] = {
      {"none-handled", gfvSumEh, false, false, false, "Sum = 6", 6, 3},
      {"aggregate", gfvSumEh, true, false, false, "Sum = 300", 6, 3},
      {"finalize", gfvAvgEh, false, true, false, "Avg = ", 6, 3},  // the pair stays unfinalised
      {"text", gfvSumEh, false, false, true, "shown", 6, 3},
      {"never-for-none", gfvNonEh, true, true, true, "", 0, 0}};
  // clang-format on
  item->SetShowFunctionName(true);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    grid->OnAggregateValue = [&](TAxisBarEh* col, auto* f, auto* it, Variant& v, TGroupDataTreeNodeEh* node) {
      ++aggregates;
      EXPECT_TRUE(col == column && f == footer && it == item && node->NodeType == dntDataGroupFooterEh);
      if (c.aggregate) v = v.IsEmpty() ? Variant(100) : v + Variant(100);
      return c.aggregate;
    };
    grid->OnFinalizeValue = [&](auto*, auto*, auto*, Variant&) { return ++finalizes, c.finalize; };
    grid->OnToDisplayText = [&](auto*, auto*, auto*, const Variant&, std::string& t) {
      return t = "shown", ++texts, c.text;
    };
    item->SetValueType(c.type);
    aggregates = finalizes = texts = 0;
    grid->GroupTree()->RecalcFooterValues();
    EXPECT_EQ(aggregates, c.aggregateCalls);
    EXPECT_EQ(finalizes, c.finalizeCalls);
    EXPECT_EQ(Text(Node({})), c.total);
    EXPECT_EQ(texts, c.type == gfvNonEh ? 0 : 1);
    EXPECT_EQ(Value(Node({})).IsArray(), c.finalize && c.type == gfvAvgEh);
  }
  grid->OnFinalizeValue = nullptr;
  grid->OnToDisplayText = nullptr;
  item->SetValueType(gfvSumEh);
  item->SetShowFunctionName(false);
  // A relay that raises, or a running sum of "text" to which the Sum adds a number, ends the reading.
  for (bool relayRaises : {true, false}) {
    SCOPED_TRACE(relayRaises);
    grid->OnAggregateValue = [&](auto*, auto*, auto*, Variant& v, auto*) -> bool {
      if (relayRaises) throw Exception("relay failed");
      return v = "text", false;
    };
    EXPECT_THROW(grid->GroupTree()->RecalcFooterValues(), Exception);
    EXPECT_EQ(dataSet->RecordReadingDepth(), 0);
  }
  grid->OnAggregateValue = nullptr;
  grid->GroupTree()->RecalcFooterValues();
  EXPECT_EQ(Text(Node({})), "6");
}

TEST_F(GroupingFooters, ParentColoursAndFonts) {
  Add("a", "", {1.0});
  TGridDataGroupFooterColumnItemEh* item = Group({"CAT"});
  auto stored = [](TObject* o, const char* prop) { return GetPropInfo(o, prop)->IsStored(*o); };
  groups->SetColor(clYellow);
  EXPECT_EQ((std::pair{footer->Color(), item->Color()}), (std::pair{clYellow, clYellow}));
  EXPECT_FALSE(stored(footer, "Color"));
  footer->SetColor(clAqua);
  EXPECT_EQ((std::tuple{footer->ParentColor(), stored(footer, "Color"), item->Color()}),
            (std::tuple{false, true, clAqua}));
  item->SetColor(clRed);
  item->SetParentColor(true);
  EXPECT_EQ(item->Color(), clAqua);

  auto sizes = [&] { return std::pair{footer->Font()->Size(), item->Font()->Size()}; };
  groups->Font()->SetSize(14);
  EXPECT_EQ(sizes(), (std::pair{14, 14}));
  footer->Font()->SetStyle(TFontStyles{fsBold});
  EXPECT_EQ((std::pair{footer->ParentFont(), stored(footer, "Font")}), (std::pair{false, true}));
  groups->Font()->SetSize(16);
  EXPECT_EQ(sizes(), (std::pair{14, 14}));
  EXPECT_TRUE(item->Font()->Style().Contains(fsBold));
  footer->SetParentFont(true);
  EXPECT_EQ(sizes(), (std::pair{16, 16}));
  EXPECT_FALSE(item->Font()->Style().Contains(fsBold));

  // A level's own footers follow the level.
  TGridDataGroupLevelEh* level = groups->GroupLevels()->Items(0);
  TGridDataGroupFooterEh* own = level->OwnFooters()->Add();
  level->SetColor(clLime);
  level->Font()->SetSize(20);
  EXPECT_EQ((std::tuple{own->Color(), own->Font()->Size(), own->ColumnItems()->Items(0)->Font()->Size()}),
            (std::tuple{clLime, 20, 20}));
}

}  // namespace grouping_footers_test
