// The field model: names, types, sizes, copying definitions, and restructuring a table that
// holds records.
#include <gtest/gtest.h>

#include <functional>

#include "platform/db/Fields.h"
#include "tests/grid/data/MemTableTestSupport.h"

TEST(MemTableStruct, FieldNamesDifferingOnlyInCaseAreDuplicates) {
  auto t = NewTable();
  AddString(t.get(), "Name");
  auto* second = t->DataStruct()->CreateField<TMTStringDataFieldEh>();
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { second->SetFieldName("NAME"); }), "Duplicate field name 'NAME'");
  EXPECT_EQ(second->FieldName(), "");
  // A field may change the case of its own name.
  t->DataStruct()->Fields(0)->SetFieldName("NAME");
  EXPECT_EQ(t->DataStruct()->Fields(0)->FieldName(), "NAME");
}

TEST(MemTableStruct, EmptyFieldNameSaysFieldNameMissing) {
  auto t = NewTable();
  auto* f = AddString(t.get(), "Name");
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { f->SetFieldName(""); }), "Field name missing");
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { t->DataStruct()->CheckFieldName(""); }), "Field name missing");
  EXPECT_EQ(f->FieldName(), "Name");
}

TEST(MemTableStruct, ComponentNamesFollowFieldNames) {
  struct Case {
    const char* FieldName;
    const char* Expected;
  };
  const Case cases[] = {
      {"Order Date", "OrderDate"},
      {"Order-Date", "OrderDate2"},
      {"ORDERDATE", "ORDERDATE3"},
      {"1st", "MTStringDataFieldEh1st"},
      {"客户", "MTStringDataFieldEh"},
      {"名字", "MTStringDataFieldEh2"},
      {"_x", "_x"},
  };
  auto t = NewTable();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.FieldName);
    EXPECT_EQ(AddString(t.get(), c.FieldName)->Name(), c.Expected);
  }
}

TEST(MemTableStruct, LookupByName) {
  auto t = NewPeopleTable();
  TMTDataStructEh* ds = t->DataStruct();
  EXPECT_EQ(ds->FindField("name"), ds->Fields(1));
  EXPECT_EQ(ds->FindField("nope"), nullptr);
  EXPECT_EQ(ds->FieldIndex("AMOUNT"), 2);
  EXPECT_EQ(ds->FieldIndex("nope"), -1);
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { ds->FieldByName("Nope"); }), "Field 'Nope' not found");
  std::vector<TMTDataFieldEh*> list;
  ds->GetFieldList(list, "Amount; id");
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0], ds->Fields(2));
  EXPECT_EQ(list[1], ds->Fields(0));
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { ds->GetFieldList(list, "ID;X"); }), "Field 'X' not found");
  EXPECT_EQ(MessageOf<EListError>([&] { ds->Fields(3); }), "List index out of bounds (3)");
  EXPECT_EQ(ds->IndexOf(ds->Fields(1)), 1);
}

TEST(MemTableStruct, DataTypesAndValueTypes) {
  struct Case {
    const char* Name;
    std::function<TMTDataFieldEh*(TMTDataStructEh*)> Make;
    TFieldType Type;
    TVarType VarType;
  };
  auto numeric = [](TNumericDataFieldTypesEh t) {
    return [t](TMTDataStructEh* s) {
      auto* f = s->CreateField<TMTNumericDataFieldEh>();
      f->SetNumericDataType(t);
      return f;
    };
  };
  auto str = [](TStringDataFieldTypesEh t) {
    return [t](TMTDataStructEh* s) {
      auto* f = s->CreateField<TMTStringDataFieldEh>();
      f->SetStringDataType(t);
      return f;
    };
  };
  const Case cases[] = {
      {"string", str(fdtStringEh), ftString, varString},
      {"fixed", str(fdtFixedCharEh), ftFixedChar, varString},
      {"wide", str(fdtWideStringEh), ftWideString, varOleStr},
      {"guid", str(fdtGuidEh), ftGuid, varString},
      {"smallint", numeric(fdtSmallintEh), ftSmallint, varSmallint},
      {"integer", numeric(fdtIntegerEh), ftInteger, varInteger},
      {"word", numeric(fdtWordEh), ftWord, varInteger},
      {"float", numeric(fdtFloatEh), ftFloat, varDouble},
      {"currency", numeric(fdtCurrencyEh), ftCurrency, varCurrency},
      {"bcd", numeric(fdtBCDEh), ftBCD, varCurrency},
      {"autoinc", numeric(fdtAutoIncEh), ftAutoInc, varInteger},
      {"largeint", numeric(fdtLargeintEh), ftLargeint, varInt64},
      {"fmtbcd", numeric(fdtFMTBcdEh), ftFMTBcd, varFMTBcd},
      {"date",
       [](TMTDataStructEh* s) {
         auto* f = s->CreateField<TMTDateTimeDataFieldEh>();
         f->SetDateTimeDataType(fdtDateEh);
         return f;
       },
       ftDate, varDate},
      {"datetime", [](TMTDataStructEh* s) { return s->CreateField<TMTDateTimeDataFieldEh>(); }, ftDateTime,
       varDate},
      {"blob", [](TMTDataStructEh* s) { return s->CreateField<TMTBlobDataFieldEh>(); }, ftBlob, varString},
      {"memo",
       [](TMTDataStructEh* s) {
         auto* f = s->CreateField<TMTBlobDataFieldEh>();
         f->SetBlobType(ftMemo);
         return f;
       },
       ftMemo, varString},
      {"boolean", [](TMTDataStructEh* s) { return s->CreateField<TMTBooleanDataFieldEh>(); }, ftBoolean,
       varBoolean},
      {"interface", [](TMTDataStructEh* s) { return s->CreateField<TMTInterfaceDataFieldEh>(); }, ftInterface,
       varUnknown},
      {"variant", [](TMTDataStructEh* s) { return s->CreateField<TMTVariantDataFieldEh>(); }, ftVariant,
       varVariant},
      {"bytes",
       [](TMTDataStructEh* s) {
         auto* f = s->CreateField<TMTVariantDataFieldEh>();
         f->SetVariantDataType(fdtBytes);
         return f;
       },
       ftBytes, varArray | varByte},
      {"reference", [](TMTDataStructEh* s) { return s->CreateField<TMTRefObjectFieldEh>(); }, ftUnknown,
       varInteger},
      {"timestamp", [](TMTDataStructEh* s) { return s->CreateField<TMTSQLTimeStampDataFieldEh>(); },
       ftTimeStamp, varSQLTimeStamp},
  };
  auto t = NewTable();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TMTDataFieldEh* f = c.Make(t->DataStruct());
    EXPECT_EQ(f->DataType(), c.Type);
    EXPECT_EQ(f->ValueVarType(), c.VarType);
  }
}

TEST(MemTableStruct, DefaultsSizesAndDisplayWidths) {
  auto t = NewTable();
  TMTDataStructEh* ds = t->DataStruct();
  auto* s = ds->CreateField<TMTStringDataFieldEh>();
  EXPECT_EQ(s->Size(), 20);
  EXPECT_EQ(s->DisplayWidth(), 20);
  s->SetSize(300);
  EXPECT_EQ(s->DisplayWidth(), 100);
  s->SetDisplayWidth(7);
  EXPECT_EQ(s->DisplayWidth(), 7);

  auto* n = ds->CreateField<TMTNumericDataFieldEh>();
  EXPECT_EQ(n->Alignment(), taRightJustify);
  EXPECT_EQ(n->Precision(), 15);
  EXPECT_EQ(n->DisplayWidth(), 10);
  EXPECT_FALSE(n->HasSize());
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { n->SetSize(2); }), "Invalid field size");
  n->SetNumericDataType(fdtLargeintEh);
  EXPECT_EQ(n->DisplayWidth(), 15);
  n->SetNumericDataType(fdtBCDEh);
  EXPECT_TRUE(n->HasSize());
  n->SetPrecision(8);
  EXPECT_EQ(n->DisplayWidth(), 9);
  n->SetScale(2);
  EXPECT_EQ(n->Size(), 2);

  EXPECT_EQ(ds->CreateField<TMTDateTimeDataFieldEh>()->DisplayWidth(), 18);
  EXPECT_EQ(ds->CreateField<TMTBooleanDataFieldEh>()->DisplayWidth(), 5);
  auto* v = ds->CreateField<TMTVariantDataFieldEh>();
  EXPECT_EQ(v->DisplayWidth(), 15);
  EXPECT_TRUE(v->HasSize());
  v->SetVariantDataType(fdtVarBytes);
  EXPECT_FALSE(v->HasSize());
  EXPECT_TRUE(ds->CreateField<TMTRefObjectFieldEh>()->HasSize());
  EXPECT_TRUE(ds->CreateField<TMTBlobDataFieldEh>()->Visible());
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { ds->CreateField<TMTBlobDataFieldEh>()->SetBlobType(ftInteger); }),
            "Invalid field type");
}

TEST(MemTableStruct, DataTypeFromField) {
  auto t = NewTable();
  TMTDataStructEh* ds = t->DataStruct();
  auto* base = new TMTDataFieldEh(ds);
  EXPECT_EQ(MessageOf<Exception>([&] { base->AssignDataTypeFromField(ftString); }),
            "Can't assign DataType from Field");
  struct Case {
    TMTDataFieldEh* Field;
    TFieldType Type;
    bool Accepted;
  };
  auto* s = ds->CreateField<TMTStringDataFieldEh>();
  auto* n = ds->CreateField<TMTNumericDataFieldEh>();
  auto* b = ds->CreateField<TMTBlobDataFieldEh>();
  auto* r = ds->CreateField<TMTRefObjectFieldEh>();
  auto* v = ds->CreateField<TMTVariantDataFieldEh>();
  const Case cases[] = {
      {s, ftWideString, true}, {s, ftInteger, false}, {n, ftLargeint, true}, {n, ftString, false},
      {b, ftOraClob, true},    {b, ftInteger, false}, {r, ftUnknown, true},  {r, ftString, false},
      {v, ftVarBytes, true},   {v, ftBlob, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Field->ClassName()) + " " + std::to_string(c.Type));
    if (c.Accepted) {
      c.Field->AssignDataTypeFromField(c.Type);
      EXPECT_EQ(c.Field->DataType(), c.Type);
    } else {
      EXPECT_EQ(MessageOf<Exception>([&] { c.Field->AssignDataTypeFromField(c.Type); }),
                "Can not assign DataType from Field");
    }
  }
  EXPECT_EQ(s->ValueVarType(), varOleStr);
  EXPECT_EQ(n->ValueVarType(), varInt64);
}

TEST(MemTableStruct, PropertiesFromAndToDataSetFields) {
  auto t = NewTable();
  TMTDataStructEh* ds = t->DataStruct();
  {
    TStringField src(nullptr);
    src.SetSize(33);
    src.SetDisplayLabel("Customer");
    src.SetRequired(true);
    src.SetVisible(false);
    src.SetFixedChar(true);
    auto* f = ds->CreateField<TMTStringDataFieldEh>();
    f->AssignPropsFromField(&src);
    EXPECT_EQ(f->Size(), 33);
    EXPECT_EQ(f->DisplayLabel(), "Customer");
    EXPECT_TRUE(f->Required());
    EXPECT_FALSE(f->Visible());
    EXPECT_TRUE(f->FixedChar());
    TStringField dst(nullptr);
    f->AssignPropsToField(&dst);
    EXPECT_EQ(dst.Size(), 33);
    EXPECT_EQ(dst.DisplayLabel(), "Customer");
    EXPECT_FALSE(dst.Visible());
  }
  {
    TBCDField src(nullptr);
    src.SetMaxValue(Currency::FromRaw(1234500));  // 123.45
    src.SetMinValue(Currency::FromRaw(-10000));
    src.SetPrecision(10);
    src.SetCurrency(true);
    src.SetSize(2);
    auto* f = ds->CreateField<TMTNumericDataFieldEh>();
    f->SetNumericDataType(fdtBCDEh);
    f->AssignPropsFromField(&src);
    EXPECT_DOUBLE_EQ(f->MaxValue(), 123.45);
    EXPECT_DOUBLE_EQ(f->MinValue(), -1);
    EXPECT_EQ(f->Precision(), 10);
    EXPECT_TRUE(f->IsCurrency());
    EXPECT_EQ(f->Scale(), 2);
    TBCDField dst(nullptr);
    f->AssignPropsToField(&dst);
    EXPECT_EQ(dst.MaxValue().Raw(), 1234500);
    EXPECT_EQ(dst.MinValue().Raw(), -10000);
  }
  {
    TAutoIncField src(nullptr);
    src.SetAutoGenerateValue(arAutoInc);
    src.SetMaxValue(99);
    auto* f = ds->CreateField<TMTNumericDataFieldEh>();
    f->AssignPropsFromField(&src);
    EXPECT_TRUE(f->AutoIncrement());
    EXPECT_DOUBLE_EQ(f->MaxValue(), 99);
    f->SetMaxValue(1e12);  // beyond 32 bits: saturates
    TIntegerField dst(nullptr);
    f->AssignPropsToField(&dst);
    EXPECT_EQ(dst.MaxValue(), INT32_MAX);
    EXPECT_EQ(dst.AutoGenerateValue(), arAutoInc);
  }
}

TEST(MemTableStruct, ChangesAreReportedOnceWhileUpdating) {
  auto t = NewTable();
  TRecordingClient client(nullptr);
  SetMemTableData(&client, t.get());
  int changes = 0;
  t->DataStruct()->OnChange = [&](TMTDataStructEh*) { ++changes; };
  AddNumeric(t.get(), "ID");
  int single = changes;
  EXPECT_GT(single, 0);
  changes = 0;
  client.StructChanges = 0;
  t->DataStruct()->BeginUpdate();
  AddNumeric(t.get(), "Key", fdtAutoIncEh);
  AddString(t.get(), "Name");
  EXPECT_EQ(changes, 0);
  EXPECT_TRUE(t->AutoIncFields().empty());
  t->DataStruct()->EndUpdate();
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(client.StructChanges, 1);
  EXPECT_EQ(t->AutoIncFields(), std::vector<int>{1});
  SetMemTableData(&client, nullptr);
}

TEST(MemTableStruct, StructureWithoutTableOnlyMarksItselfChanged) {
  TMTDataStructEh ds(nullptr);
  EXPECT_FALSE(ds.ChangedFlag());
  ds.CreateField<TMTStringDataFieldEh>()->SetFieldName("A");
  EXPECT_TRUE(ds.ChangedFlag());
  TMTDataFieldEh* f = ds.Fields(0);
  ds.RemoveField(f);
  EXPECT_EQ(ds.FieldsCount(), 0);
  f->Free();  // a removed field is the caller's
}

TEST(MemTableStruct, RemovedFieldLeavesOwnership) {
  auto t = NewPeopleTable();
  TMTDataFieldEh* f = t->DataStruct()->Fields(1);
  t->DataStruct()->RemoveField(f);
  EXPECT_EQ(f->Owner(), nullptr);
  EXPECT_EQ(f->DataStruct(), nullptr);
  EXPECT_EQ(t->DataStruct()->FieldsCount(), 2);
  EXPECT_EQ(t->DataStruct()->ComponentCount(), 2);
  f->Free();
}

TEST(MemTableStruct, AssignStructureKeepsValuesAndCutsStrings) {
  auto t = NewPeopleTable();
  t->RecordsList()->SetCachedUpdates(true);
  Append(t.get(), {1, "Alexander the Great", 1.5});
  TMemoryRecordEh* r = Append(t.get(), {2, "Bartholomew", 2.5});
  t->RecordsList()->MergeChangeLog();
  r->Edit();
  r->SetDataValue(1, dvkCurrentEh, "Christopher Robin");
  r->Post();

  TMTDataStructEh copy(nullptr);
  copy.Assign(t->DataStruct());
  static_cast<TMTStringDataFieldEh*>(copy.FieldByName("Name"))->SetSize(5);
  t->DataStruct()->Assign(&copy);

  EXPECT_EQ(t->DataStruct()->FieldByName("Name")->Size(), 5);
  EXPECT_EQ(Column(t.get(), 0), (std::vector<Variant>{1, 2}));
  EXPECT_EQ(Column(t.get(), 1), (std::vector<Variant>{"Alexa", "Chris"}));
  EXPECT_EQ(Column(t.get(), 2), (std::vector<Variant>{1.5, 2.5}));
  // Old values of cached updates follow the same conversion.
  EXPECT_EQ(r->GetDataValue(1, dvkOldEh), Variant("Barth"));
}

TEST(MemTableStruct, FieldCreatedAnewDoesNotMatch) {
  auto t = NewPeopleTable();
  Append(t.get(), {1, "Ann", 1.5});
  TMTDataStructEh other(nullptr);
  other.CreateField<TMTNumericDataFieldEh>()->SetFieldName("ID");
  other.CreateField<TMTStringDataFieldEh>()->SetFieldName("Name");
  t->DataStruct()->Assign(&other);
  EXPECT_EQ(t->DataStruct()->FieldsCount(), 2);
  EXPECT_TRUE(t->RecordsList()->Rec(0)->GetDataValue(0, dvkCurrentEh).IsNull());
  EXPECT_TRUE(t->RecordsList()->Rec(0)->GetDataValue(1, dvkCurrentEh).IsNull());
}

TEST(MemTableStruct, ApplyRestructAppliesTheEditedCopy) {
  auto t = NewPeopleTable();
  Append(t.get(), {1, "Ann-Katrin", 1.5});
  Append(t.get(), {2, "Bob", 2.75});
  TMTDataStructEh* copy = t->BeginRestruct();
  EXPECT_TRUE(t->RestructMode());
  EXPECT_EQ(MessageOf<Exception>([&] { t->BeginRestruct(); }), "MemTableData already in RestructMode.");
  static_cast<TMTStringDataFieldEh*>(copy->FieldByName("Name"))->SetSize(3);
  static_cast<TMTNumericDataFieldEh*>(copy->FieldByName("Amount"))->SetNumericDataType(fdtCurrencyEh);
  copy->CreateField<TMTStringDataFieldEh>()->SetFieldName("Note");
  t->ApplyRestruct();

  EXPECT_FALSE(t->RestructMode());
  ASSERT_EQ(t->DataStruct()->FieldsCount(), 4);
  EXPECT_EQ(t->DataStruct()->Fields(3)->FieldName(), "Note");
  EXPECT_EQ(Column(t.get(), 1), (std::vector<Variant>{"Ann", "Bob"}));
  Variant amount = t->RecordsList()->Rec(1)->GetDataValue(2, dvkCurrentEh);
  EXPECT_EQ(amount.VarType(), varCurrency);
  EXPECT_EQ(amount.AsCurrency().Raw(), 27500);
  EXPECT_TRUE(t->RecordsList()->Rec(0)->GetDataValue(3, dvkCurrentEh).IsNull());
  // A new restructure starts from the applied structure.
  EXPECT_EQ(t->BeginRestruct()->FieldsCount(), 4);
  t->CancelRestruct();
  EXPECT_FALSE(t->RestructMode());
  EXPECT_EQ(t->DataStruct()->FieldsCount(), 4);
}

TEST(MemTableStruct, FailedRestructureChangesNothing) {
  auto t = NewPeopleTable();
  Append(t.get(), {1, "Ann", 1e20});
  TMTDataStructEh* copy = t->BeginRestruct();
  static_cast<TMTNumericDataFieldEh*>(copy->FieldByName("Amount"))->SetNumericDataType(fdtIntegerEh);
  EXPECT_THROW(t->ApplyRestruct(), EVariantError);
  EXPECT_TRUE(t->RestructMode());
  EXPECT_EQ(t->DataStruct()->FieldByName("Amount")->DataType(), ftFloat);
  EXPECT_EQ(Column(t.get(), 2), (std::vector<Variant>{1e20}));
  t->CancelRestruct();
}

TEST(MemTableStruct, RestructureRefusesToLoseAnIndexedField) {
  auto t = NewPeopleTable();
  Append(t.get(), {1, "Ann", 1.0});
  TMTIndexEh* index = t->RecordsList()->Indexes()->Add();
  index->SetFields("Name");
  index->SetActive(true);
  TMTDataStructEh* copy = t->BeginRestruct();
  TMTDataFieldEh* name = copy->FieldByName("Name");
  copy->RemoveField(name);
  name->Free();
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { t->ApplyRestruct(); }), "Field 'Name' not found");
  EXPECT_EQ(t->DataStruct()->FieldsCount(), 3);
  t->CancelRestruct();
}

TEST(MemTableStruct, WideStringsAreCutByCharacters) {
  auto t = NewTable();
  auto* f = AddString(t.get(), "W", 10);
  f->SetStringDataType(fdtWideStringEh);
  Append(t.get(), {Variant(u"\u4e2d\u6587\u5b57\u7b26\u4e32")});
  TMTDataStructEh* copy = t->BeginRestruct();
  copy->Fields(0)->SetSize(2);
  t->ApplyRestruct();
  Variant v = t->RecordsList()->Rec(0)->GetDataValue(0, dvkCurrentEh);
  EXPECT_EQ(v.VarType(), varOleStr);
  EXPECT_EQ(v.AsWideString(), u"\u4e2d\u6587");
}
