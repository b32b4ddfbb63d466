// The column model: fallbacks and stored rules, Assign, RestoreDefaults, the title rules, field
// binding, names, the collection, declared defaults and description round trips.
#include <functional>
#include <memory>

#include "grid/axis/AxisBarEh.h"
#include "platform/rtl/Filer.h"
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

// A lookup grid that notes what the column hands it; Freed tells when the column let it go.
class TLookupGridDoubleEh : public TComponent, public ILookupGridEh {
  RTL_CLASS(TLookupGridDoubleEh, TComponent)
  RTL_INTERFACES(ILookupGridEh)
 public:
  explicit TLookupGridDoubleEh(bool* AFreed) : TComponent(nullptr), freed_(AFreed) {}
  ~TLookupGridDoubleEh() override { *freed_ = true; }
  TComponent* LookupGridComponent() override { return this; }
  TGridAxisBarsEh* LookupColumns() override { return nullptr; }
  TAxisBarDefValuesEh* LookupColumnDefValues() override { return nullptr; }
  TDBLookupGridEhOptions LookupOptions() override { return options; }
  void SetLookupOptions(TDBLookupGridEhOptions Value) override { options = Value; }
  bool SortLocal() override { return sortLocal; }
  void SetSortLocal(bool Value) override { sortLocal = Value; }
  TDataSource* ListSource() override { return listSource; }
  void SetListSource(TDataSource* Value) override { listSource = Value; }
  void SetKeyField(const std::string&) override {}
  void SetListField(const std::string& Value) override { listField = Value; }
  void AssignSpecRow(TSpecRowEh* Value) override { specRowText = Value->CellsText(); }

  TDBLookupGridEhOptions options{dlgColLinesEh};
  bool sortLocal = false;
  TDataSource* listSource = nullptr;
  std::string listField, specRowText;

 private:
  bool* freed_;
};
RTL_IMPLEMENT_CLASS(TLookupGridDoubleEh)

const TPropInfo& Prop(const char* Name) {
  return *TAxisBarEh::StaticClass()->FindProp(Name);
}

// One published property with a fallback, on a column bound to NAME: reading, writing the
// fallback's value, moving the fallback.
struct FallbackCase {
  const char* prop;
  TAxisBarAssignedValueEh bit;
  std::function<void(TTestAxisGridEh*, TAxisBarEh*)> moveFallback;  // empty: no source to move
  bool notifies = true;
  bool fallbackWriteOnlyNotifies = false;  // writing the fallback while unassigned
  bool storedWhenSet = false;              // stored whenever the bit is set
};

TEST_F(AxisBarModel, FallbackReadWriteAndStoredRules) {
  const FallbackCase cases[] = {
      {"Color", abvColor, [](auto* g, auto*) { g->SetColor(clYellow); }},
      {"AlwaysShowEditButton", abvAlwaysShowEditButton,
       [](auto* g, auto*) { g->ColumnDefValues()->SetAlwaysShowEditButton(true); }},
      {"AutoDropDown", abvAutoDropDown, [](auto* g, auto*) { g->ColumnDefValues()->SetAutoDropDown(true); },
       false},
      {"DblClickNextVal", abvDblClickNextVal,
       [](auto* g, auto*) { g->ColumnDefValues()->SetDblClickNextVal(true); }, false},
      {"DropDownShowTitles", abvDropDownShowTitles,
       [](auto* g, auto*) { g->ColumnDefValues()->SetDropDownShowTitles(true); }, false},
      {"DropDownSizing", abvDropDownSizing,
       [](auto* g, auto*) { g->ColumnDefValues()->SetDropDownSizing(true); }, false},
      {"EndEllipsis", abvEndEllipsis, [](auto* g, auto*) { g->ColumnDefValues()->SetEndEllipsis(true); }},
      {"HighlightRequired", abvHighlightRequired,
       [](auto* g, auto*) { g->ColumnDefValues()->SetHighlightRequired(true); }},
      {"Layout", abvLayout, [](auto* g, auto*) { g->ColumnDefValues()->SetLayout(tlCenter); }},
      {"ToolTips", abvToolTips, [](auto* g, auto*) { g->ColumnDefValues()->SetToolTips(true); }, false},
      {"Alignment", abvAlignment, [](auto*, auto* b) { b->GetField()->SetAlignment(taCenter); }},
      {"ReadOnly", abvReadOnly, [](auto* g, auto*) { g->SetReadOnly(true); }},
      {"ImeMode", abvImeMode, [](auto* g, auto*) { g->SetImeMode(imClose); }, true, true},
      {"WordWrap", abvWordWrap, [](auto*, auto* b) { b->SetFieldName("AMOUNT"); }, true, true},
      {"BiDiMode", abvBiDiMode, [](auto* g, auto*) { g->SetBiDiMode(bdRightToLeft); }, true, false, true},
      {"Checkboxes", abvCheckboxes, nullptr, true, false, true},
  };
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
    if (!c.moveFallback) continue;
    c.moveFallback(grid, bar);
    if (c.fallbackWriteOnlyNotifies) {
      EXPECT_NE(p.GetOrd(*bar), fallback) << "still follows its fallback";
      EXPECT_FALSE(p.IsStored(*bar));
    } else {
      EXPECT_EQ(p.GetOrd(*bar), fallback) << "keeps its own value";
      EXPECT_TRUE(p.IsStored(*bar)) << "stored once the fallback moved away";
    }
  }
}

TEST_F(AxisBarModel, FontFollowsTheGridUntilChanged) {
  TNoticeCountingBarEh* bar = NewBar("NAME");
  grid->Font()->SetSize(14);
  EXPECT_EQ(bar->Font()->Size(), 14);
  EXPECT_FALSE(bar->IsAssigned(abvFont));
  EXPECT_FALSE(Prop("Font").IsStored(*bar));
  bar->Font()->SetStyle(TFontStyles{fsBold});
  EXPECT_TRUE(bar->IsAssigned(abvFont));
  EXPECT_TRUE(Prop("Font").IsStored(*bar));
  grid->Font()->SetSize(9);
  EXPECT_EQ(bar->Font()->Size(), 14) << "an own font no longer follows";
}

TEST_F(AxisBarModel, AssignCopiesWordWrapTwice) {
  // The source has no grid, so its WordWrap falls back to False; the target's fallback on NAME
  // is True. The conditional copy skips, the unconditional one makes False the target's own.
  TGridAxisBarsEh loose(nullptr, TNoticeCountingBarEh::StaticClass());
  TNoticeCountingBarEh* src = NewBar("NAME", &loose);
  src->SetColor(clRed);
  src->SetTag(7);
  src->SetVisible(false);
  src->PickList()->Add("a");
  src->SetEditMask("999");
  src->Title()->SetCaption("Name!");
  TNoticeCountingBarEh* dst = NewBar("ID");
  ASSERT_TRUE(dst->WordWrap() == false && !src->IsAssigned(abvWordWrap));
  dst->Assign(src);
  EXPECT_EQ(dst->FieldName(), "NAME");
  EXPECT_TRUE(dst->IsAssigned(abvWordWrap));
  EXPECT_FALSE(dst->WordWrap());
  EXPECT_TRUE(dst->IsWordWrapStored());
  EXPECT_EQ(dst->Color(), clRed);
  EXPECT_FALSE(dst->IsAssigned(abvReadOnly)) << "only the source's own values are copied";
  EXPECT_EQ(dst->Tag(), 7);
  EXPECT_FALSE(dst->Visible());
  EXPECT_EQ(dst->PickList()->Count(), 1);
  EXPECT_EQ(dst->EditMask(), "999");
  EXPECT_EQ(dst->Title()->Caption(), "Name!");

  // Same fallback on both sides: the second copy leaves the bit clear.
  TNoticeCountingBarEh* plainSrc = NewBar("NAME");
  TNoticeCountingBarEh* again = NewBar("ID");
  again->Assign(plainSrc);
  EXPECT_FALSE(again->IsAssigned(abvWordWrap));
  EXPECT_TRUE(again->WordWrap());
}

TEST_F(AxisBarModel, RestoreDefaultsClearsOwnValues) {
  TNoticeCountingBarEh* bar = NewBar("NAME");
  bar->SetColor(clRed);
  bar->Font()->SetSize(20);
  bar->Title()->SetCaption("X");
  bar->PickList()->Add("a");
  bar->KeyList()->Add("1");
  bar->SetButtonStyle(cbsEllipsis);
  bar->RestoreDefaults();
  EXPECT_TRUE(bar->AssignedValues() == TAxisBarAssignedValuesEh());
  EXPECT_EQ(bar->Font()->Size(), grid->Font()->Size());
  EXPECT_EQ(bar->Title()->Caption(), "NAME");
  EXPECT_FALSE(bar->HasPickListItems());
  EXPECT_FALSE(bar->HasKeyListItems());
  EXPECT_EQ(bar->ButtonStyle(), cbsAuto);
}

TEST_F(AxisBarModel, TitleCaptionAndAutomaticColumnWrites) {
  TNoticeCountingBarEh* bar = NewBar("NAME");
  TAxisBarTitleEh* title = bar->Title();
  const TPropInfo& caption = *TAxisBarTitleEh::StaticClass()->FindProp("Caption");
  title->SetCaption(Field("NAME")->DisplayLabel());
  EXPECT_TRUE(bar->IsAssigned(abvTitleCaption));
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

TEST_F(AxisBarModel, FieldBinding) {
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
}

TEST_F(AxisBarModel, SetIndexOfAnAutomaticColumnMovesItsField) {
  TGridAxisBarsEh* columns = grid->Columns();
  ASSERT_TRUE(columns->IsAutomatic());
  ASSERT_EQ(columns->Count(), 3);
  columns->GetAxisBar(2)->SetIndex(0);
  EXPECT_EQ(Field("AMOUNT")->Index(), 0);
  EXPECT_EQ(columns->GetAxisBar(0)->FieldName(), "AMOUNT");
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
    EXPECT_EQ(bar->ImageList(), &images);
  }
  EXPECT_EQ(bar->ImageList(), nullptr);
  bar->Free();  // does not reach the freed list
}

TEST_F(AxisBarModel, NamesAndLookupByName) {
  EXPECT_TRUE(bars->IsAutomatic()) << "an empty collection";
  TNoticeCountingBarEh* none = NewBar("");
  NewBar("AMOUNT");
  TNoticeCountingBarEh* twice = NewBar("AMOUNT");
  EXPECT_EQ(none->GetAxisBarName(), "Column_0_");
  EXPECT_EQ(twice->GetAxisBarName(), "Column_2_AMOUNT");
  EXPECT_EQ(bars->FindAxisBarByName("Column_2_AMOUNT"), twice);
  EXPECT_EQ(bars->FindAxisBarByName("Column_1_AMOUNT"), bars->GetAxisBar(1));
  EXPECT_EQ(bars->FindAxisBarByName("Column_3_AMOUNT"), nullptr);
  EXPECT_TRUE(bars->IsPersistent());
  EXPECT_TRUE(bars->HasAxisBar(twice));
  EXPECT_FALSE(grid->Columns()->HasAxisBar(twice));
  TAxisBarEh plain(nullptr);
  const std::pair<std::function<void()>, const char*> abstracts[] = {
      {[&] { plain.SetTextArea(TRect{}); },
       " TAxisBarEh.SetTextArea must be realized in the inherited class."},
      {[&] { plain.GetColCellParams(nullptr); },
       " TAxisBarEh.GetColCellParams must be realized in the inherited class."},
  };
  for (const auto& [call, text] : abstracts) {
    try {
      call();
      ADD_FAILURE() << text;
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), text);
    }
  }
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
  EXPECT_EQ(made->listField, "City");
  bar->DropDownSpecRow()->SetCellsText("(none)");
  EXPECT_EQ(made->specRowText, "(none)");
  TColumnDropDownBoxEh* box = bar->DropDownBox();
  box->SetSortLocal(true);
  box->SetListSource(source);
  box->SetOptions(TDBLookupGridEhOptions{dlgRowLinesEh});
  EXPECT_TRUE(made->sortLocal);
  EXPECT_EQ(made->listSource, source);
  EXPECT_TRUE(box->Options() == TDBLookupGridEhOptions{dlgRowLinesEh});
  EXPECT_EQ(box->GetListSourceWildcard(dataSet), "*") << "a data set without the in-memory table's interface";
  TTestMemTableDataSetEh table(form);
  table.Wildcard = "%";
  EXPECT_EQ(box->GetListSourceWildcard(&table), "%");
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
  TStringStream text;
  ObjectBinaryToText(bin, text);
  const std::string desc = text.DataString();
  EXPECT_NE(desc.find("Color = clRed"), std::string::npos) << desc;
  EXPECT_EQ(desc.find("Color = clWindow"), std::string::npos) << desc;
  EXPECT_NE(desc.find("WordWrap = False"), std::string::npos) << desc;

  bin.SetPosition(0);
  auto back = std::make_unique<TTestAxisGridEh>(nullptr);
  bin.ReadComponent(back.get());
  TGridAxisBarsEh* read = back->Columns();
  ASSERT_EQ(read->Count(), 2);
  EXPECT_TRUE(read->IsPersistent());
  EXPECT_EQ(read->GetAxisBar(0)->FieldName(), "NAME");
  EXPECT_EQ(read->GetAxisBar(0)->Color(), clRed);
  EXPECT_TRUE(read->GetAxisBar(0)->IsAssigned(abvWordWrap));
  EXPECT_EQ(read->GetAxisBar(0)->Title()->Caption(), "Who");
  EXPECT_EQ(read->GetAxisBar(0)->DropDownRows(), 3u);
  EXPECT_FALSE(read->GetAxisBar(1)->IsAssigned(abvColor));
}

}  // namespace
