// The column model: fallbacks and stored rules, Assign, RestoreDefaults, the title rules, field
// binding, names, the collection, declared defaults and description round trips.
#include <functional>
#include <memory>

#include "grid/axis/AxisBarEh.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/ImgList.h"
#include "tests/grid/axis/AxisGridTestSupport.h"

namespace {

// A column that counts its change notices.
class TNoticeCountingBarEh : public TTestAxisBarEh {
  RTL_CLASS(TNoticeCountingBarEh, TTestAxisBarEh)
 public:
  explicit TNoticeCountingBarEh(TCollection* Collection) : TTestAxisBarEh(Collection) {
    if (auto* grid = dynamic_cast<TTestAxisGridEh*>(GetGrid())) layoutsWhileMade = grid->InternalLayoutCount;
  }
  void NotifyChanged(bool AllItems) override {
    ++Notices;
    TTestAxisBarEh::NotifyChanged(AllItems);
  }
  int Notices = 0;
  int layoutsWhileMade = -1;
};
RTL_IMPLEMENT_CLASS(TNoticeCountingBarEh)

// Columns of a collection of their own over the fixture's grid, so that the grid's layout
// leaves them alone.
class AxisBarModel : public AxisGridTestBase {
 protected:
  void SetUp() override {
    AxisGridTestBase::SetUp();
    AddRows({{1, "Ann", 2.5}, {2, "Bob", 3.5}});
    bars = std::make_unique<TGridAxisBarsEh>(grid, TNoticeCountingBarEh::StaticClass());
  }
  void TearDown() override {
    bars.reset();
    AxisGridTestBase::TearDown();
  }
  TNoticeCountingBarEh* NewBar(const std::string& FieldName, TGridAxisBarsEh* In = nullptr) {
    auto* bar = static_cast<TNoticeCountingBarEh*>((In ? In : bars.get())->Add());
    bar->SetFieldName(FieldName);
    bar->Notices = 0;
    return bar;
  }
  TField* Field(const char* Name) { return dataSet->FieldByName(Name); }
  std::unique_ptr<TGridAxisBarsEh> bars;
};

const TPropInfo& Prop(const char* Name) {
  return *TAxisBarEh::StaticClass()->FindProp(Name);
}

// One published property with a fallback, on a column bound to NAME: reading, writing the
// fallback's value, moving the fallback. Without a move of its own, a case turns over the
// property of the same name on the grid's column defaults, if there is one.
struct FallbackCase {
  const char* prop;
  TAxisBarAssignedValueEh bit;
  std::function<void(TTestAxisGridEh*, TAxisBarEh*)> move;
  bool notifies = true;
  bool fallbackWriteOnlyNotifies = false;  // writing the fallback while unassigned
  bool storedWhenSet = false;              // stored whenever the bit is set
};

TEST_F(AxisBarModel, FallbackReadWriteAndStoredRules) {
  const FallbackCase cases[] = {
      {"Color", abvColor, [](auto* g, auto*) { g->SetColor(clYellow); }},
      {"AlwaysShowEditButton", abvAlwaysShowEditButton, {}},
      {"AutoDropDown", abvAutoDropDown, {}, false},
      {"DblClickNextVal", abvDblClickNextVal, {}, false},
      {"DropDownShowTitles", abvDropDownShowTitles, {}, false},
      {"DropDownSizing", abvDropDownSizing, {}, false},
      {"EndEllipsis", abvEndEllipsis, {}},
      {"HighlightRequired", abvHighlightRequired, {}},
      {"Layout", abvLayout, {}},
      {"ToolTips", abvToolTips, {}, false},
      {"Alignment", abvAlignment, [](auto*, auto* b) { b->GetField()->SetAlignment(taCenter); }},
      {"ReadOnly", abvReadOnly, [](auto* g, auto*) { g->SetReadOnly(true); }},
      {"ImeMode", abvImeMode, [](auto* g, auto*) { g->SetImeMode(imClose); }, true, true},
      {"WordWrap", abvWordWrap, [](auto*, auto* b) { b->SetFieldName("AMOUNT"); }, true, true},
      {"BiDiMode", abvBiDiMode, [](auto* g, auto*) { g->SetBiDiMode(bdRightToLeft); }, true, false, true},
      {"Checkboxes", abvCheckboxes, {}, true, false, true},
  };
  TAxisBarDefValuesEh* defs = grid->ColumnDefValues();
  for (const FallbackCase& c : cases) {
    SCOPED_TRACE(c.prop);
    TNoticeCountingBarEh* bar = NewBar("NAME");
    const TPropInfo& p = Prop(c.prop);
    const int64_t fallback = p.GetOrd(*bar);
    EXPECT_FALSE(bar->IsAssigned(c.bit));
    EXPECT_FALSE(p.IsStored(*bar));

    p.SetOrd(*bar, fallback);  // e.g. Color equal to the grid's colour
    EXPECT_EQ(bar->IsAssigned(c.bit), !c.fallbackWriteOnlyNotifies);
    EXPECT_EQ(p.IsStored(*bar), c.storedWhenSet);
    EXPECT_EQ(bar->Notices, c.notifies ? 1 : 0);
    if (!c.fallbackWriteOnlyNotifies) {
      p.SetOrd(*bar, fallback);
      EXPECT_EQ(bar->Notices, c.notifies ? 1 : 0) << "an equal own value is no change";
    }
    if (c.move)
      c.move(grid, bar);
    else if (const TPropInfo* d = defs->ClassType()->FindProp(c.prop))
      d->SetOrd(*defs, !d->GetOrd(*defs));
    else
      continue;  // Checkboxes follow only the field's type
    if (c.fallbackWriteOnlyNotifies) {
      EXPECT_NE(p.GetOrd(*bar), fallback) << "still follows its fallback";
      EXPECT_FALSE(p.IsStored(*bar));
    } else {
      EXPECT_EQ(p.GetOrd(*bar), fallback) << "keeps its own value";
      EXPECT_TRUE(p.IsStored(*bar)) << "stored once the fallback moved away";
    }
  }
}

TEST_F(AxisBarModel, OwnFontAndRestoreDefaults) {
  TNoticeCountingBarEh* bar = NewBar("NAME");
  grid->Font()->SetSize(14);
  EXPECT_EQ(bar->Font()->Size(), 14);
  EXPECT_FALSE(Prop("Font").IsStored(*bar));
  bar->Font()->SetStyle(TFontStyles{fsBold});
  EXPECT_TRUE(Prop("Font").IsStored(*bar));
  grid->Font()->SetSize(9);
  EXPECT_EQ(bar->Font()->Size(), 14) << "an own font no longer follows";

  bar->SetColor(clRed);
  bar->Title()->SetCaption("X");
  bar->PickList()->Add("a");
  bar->KeyList()->Add("1");
  bar->SetButtonStyle(cbsEllipsis);
  bar->RestoreDefaults();
  EXPECT_TRUE(bar->AssignedValues() == TAxisBarAssignedValuesEh());
  EXPECT_EQ(bar->Font()->Size(), 9);
  EXPECT_EQ(bar->Title()->Caption(), "NAME");
  EXPECT_FALSE(bar->HasPickListItems() || bar->HasKeyListItems());
  EXPECT_EQ(bar->ButtonStyle(), cbsAuto);
}

TEST_F(AxisBarModel, AssignCopiesWordWrapTwice) {
  // The source has no grid, so its WordWrap falls back to False; the target's fallback on NAME
  // is True. The conditional copy skips, the unconditional one makes False the target's own.
  TGridAxisBarsEh loose(nullptr, TNoticeCountingBarEh::StaticClass());
  TNoticeCountingBarEh* src = NewBar("NAME", &loose);
  src->SetColor(clRed);
  src->PickList()->Add("a");
  src->Title()->SetCaption("Name!");
  TNoticeCountingBarEh* dst = NewBar("ID");
  ASSERT_FALSE(src->IsAssigned(abvWordWrap));
  dst->Assign(src);
  EXPECT_EQ(dst->FieldName(), "NAME");
  EXPECT_FALSE(dst->WordWrap());
  EXPECT_TRUE(dst->IsWordWrapStored());
  EXPECT_EQ(dst->Color(), clRed);
  EXPECT_FALSE(dst->IsAssigned(abvReadOnly)) << "only the source's own values are copied";
  EXPECT_EQ(dst->PickList()->Count(), 1);
  EXPECT_EQ(dst->Title()->Caption(), "Name!");

  // Same fallback on both sides: the second copy leaves the bit clear.
  TNoticeCountingBarEh* again = NewBar("ID");
  again->Assign(NewBar("NAME"));
  EXPECT_FALSE(again->IsAssigned(abvWordWrap));
  EXPECT_TRUE(again->WordWrap());
}

TEST_F(AxisBarModel, TitleCaptionAndAutomaticColumnWrites) {
  TAxisBarTitleEh* title = NewBar("NAME")->Title();
  const TPropInfo& caption = *TAxisBarTitleEh::StaticClass()->FindProp("Caption");
  title->SetCaption(Field("NAME")->DisplayLabel());
  EXPECT_FALSE(caption.IsStored(*title));
  Field("NAME")->SetDisplayLabel("Name label");
  EXPECT_TRUE(caption.IsStored(*title)) << "stored once the label moved away";
  EXPECT_EQ(title->Caption(), "NAME");
  grid->SetFixedColor(clYellow);
  EXPECT_EQ(title->Color(), clYellow) << "title defaults follow the grid's title colour";

  TNoticeCountingBarEh* automatic = NewBar("AMOUNT");
  automatic->SetPersistent(false);
  automatic->Title()->SetCaption("Sum");
  automatic->SetAlignment(taCenter);
  automatic->SetReadOnly(true);
  EXPECT_EQ(Field("AMOUNT")->DisplayLabel(), "Sum");
  EXPECT_EQ(Field("AMOUNT")->Alignment(), taCenter);
  EXPECT_TRUE(Field("AMOUNT")->ReadOnly());
  EXPECT_TRUE(automatic->AssignedValues() == TAxisBarAssignedValuesEh());
}

TEST_F(AxisBarModel, FieldBindingNamesIndexAndAbstractParts) {
  TNoticeCountingBarEh* bar = NewBar("amount");
  EXPECT_EQ(bar->FieldName(), "AMOUNT") << "the field's own spelling";
  EXPECT_EQ(bar->GetField(), Field("AMOUNT"));
  // The fixture's data set made its fields on open: closed, there is nothing to bind.
  dataSet->Close();
  bar->ResetFieldLink();
  EXPECT_EQ(bar->GetField(), nullptr);
  EXPECT_EQ(bar->FieldName(), "AMOUNT");
  dataSet->Open();
  bars->ResetFieldLinks();
  EXPECT_EQ(bar->GetField(), Field("AMOUNT"));

  EXPECT_EQ(NewBar("")->GetAxisBarName(), "Column_1_");
  TNoticeCountingBarEh* twice = NewBar("AMOUNT");
  EXPECT_EQ(bars->FindAxisBarByName("Column_2_AMOUNT"), twice);
  EXPECT_EQ(bars->FindAxisBarByName("Column_1_AMOUNT"), nullptr);

  // Moving an automatic column moves its field.
  TGridAxisBarsEh* columns = grid->Columns();
  ASSERT_EQ(columns->Count(), 3);
  columns->GetAxisBar(2)->SetIndex(0);
  EXPECT_EQ(Field("AMOUNT")->Index(), 0);
  EXPECT_EQ(columns->GetAxisBar(0)->FieldName(), "AMOUNT");

  // The base column leaves the text area and the cell parameters to the grid's own columns.
  TAxisBarEh plain(nullptr);
  EXPECT_THROW(plain.SetTextArea(TRect{}), Exception);
  EXPECT_THROW(plain.GetColCellParams(nullptr), Exception);
}

TEST_F(AxisBarModel, TheGridLaysOutANewColumnOnlyWhenItIsWhole) {
  const int before = grid->InternalLayoutCount;
  auto* bar = static_cast<TNoticeCountingBarEh*>(bars->Add());
  EXPECT_EQ(bar->layoutsWhileMade, before);
  EXPECT_EQ(grid->InternalLayoutCount, before + 1);
}

TEST_F(AxisBarModel, AFreedImageListIsForgotten) {
  TNoticeCountingBarEh* bar = NewBar("NAME");
  {
    TImageList images(16, 16);
    bar->SetImageList(&images);
    ASSERT_EQ(bar->ImageList(), &images);
  }
  EXPECT_EQ(bar->ImageList(), nullptr);
  bar->Free();  // does not reach the freed list
}

TEST_F(AxisBarModel, DataListComesFromTheFactoryAndGoesWithTheColumn) {
  bool freed = false;
  TLookupGridDoubleEh* made = nullptr;
  RegisterLookupGridFactoryEh([&](TAxisBarEh*) { return made = new TLookupGridDoubleEh(&freed); });
  TScopeExit unregister([] { RegisterLookupGridFactoryEh(nullptr); });
  TNoticeCountingBarEh* bar = NewBar("NAME");
  EXPECT_FALSE(bar->HasDataList());
  ILookupGridEh* list = bar->GetDataList();
  ASSERT_EQ(list, static_cast<ILookupGridEh*>(made));
  EXPECT_EQ(bar->GetDataList(), list) << "made once";
  bar->SetLookupDisplayFields("City");
  bar->DropDownSpecRow()->SetCellsText("(none)");
  bar->DropDownBox()->SetListSource(source);
  EXPECT_EQ(made->listField, "City");
  EXPECT_EQ(made->specRowText, "(none)");
  EXPECT_EQ(made->listSource, source);
  EXPECT_EQ(bar->DropDownBox()->GetListSourceWildcard(dataSet), "*")
      << "without the in-memory table's interface";
  TTestMemTableDataSetEh table(form);
  table.Wildcard = "%";
  EXPECT_EQ(bar->DropDownBox()->GetListSourceWildcard(&table), "%");
  bar->Free();
  EXPECT_TRUE(freed);
}

// Every published property with a declared default holds it on a fresh object.
TEST_F(AxisBarModel, DeclaredDefaultsMatchFreshObjects) {
  auto* fresh = new TTestAxisGridEh(form);
  TNoticeCountingBarEh* bar = NewBar("");
  TAxisBarDefValuesEh* defs = fresh->ColumnDefValues();
  TObject* objects[] = {bar,           bar->Title(),   bar->DropDownBox(), defs,
                        defs->Title(), defs->Footer(), fresh->Border(),    fresh->GridLineParams()};
  int checked = 0;
  for (TObject* o : objects)
    for (const TPropInfo* p : o->ClassType()->AllProps()) {
      if (!p->HasDefault || !p->GetOrd) continue;
      ++checked;
      EXPECT_EQ(p->GetOrd(*o), p->DefaultValue) << o->ClassName() << "." << p->Name;
    }
  EXPECT_EQ(checked, 43);
  RegisterAxisBarClasses();
  RegisterAxisGridSettingsClasses();
  for (const char* name :
       {"TAxisBarEh", "TAxisBarTitleEh", "TGridAxisBarsEh", "TAxisBarDefValuesEh", "TColumnDropDownBoxEh",
        "TDBAxisGridLineParamsEh", "TControlBorderEh", "TGridToolTipsWindowEh"})
    EXPECT_NE(GetClass(name), nullptr) << name;
}

TEST_F(AxisBarModel, ColumnsRoundTripThroughTheGridsDescription) {
  TGridAxisBarsEh* columns = grid->Columns();
  columns->Clear();
  TAxisBarEh* name = columns->Add();
  name->SetFieldName("NAME");
  name->SetColor(clRed);
  name->SetWordWrap(false);
  name->Title()->SetCaption("Who");
  name->SetDropDownRows(3);
  TAxisBarEh* amount = columns->Add();
  amount->SetFieldName("AMOUNT");
  amount->SetColor(grid->Color());  // own value equal to its fallback: not written

  TMemoryStream bin;
  bin.WriteComponent(grid);
  bin.SetPosition(0);
  auto back = std::make_unique<TTestAxisGridEh>(nullptr);
  bin.ReadComponent(back.get());
  TGridAxisBarsEh* read = back->Columns();
  ASSERT_EQ(read->Count(), 2);
  EXPECT_TRUE(read->IsPersistent());
  TAxisBarEh* first = read->GetAxisBar(0);
  EXPECT_EQ(first->FieldName(), "NAME");
  EXPECT_EQ(first->Color(), clRed);
  EXPECT_TRUE(first->IsAssigned(abvWordWrap));
  EXPECT_EQ(first->Title()->Caption(), "Who");
  EXPECT_EQ(first->DropDownRows(), 3u);
  EXPECT_FALSE(read->GetAxisBar(1)->IsAssigned(abvColor));
}

}  // namespace
