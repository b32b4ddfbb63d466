// Fields in descriptions: every published property survives a write and a read, values equal
// to their defaults are not written, and handlers travel by name.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/TypInfo.h"
#include "tests/platform/db/FieldTestSupport.h"

// A form that owns fields (its children in descriptions), a data set for lookup references and
// handlers that descriptions bind by name.
class TFieldStreamForm : public TComponent {
  RTL_CLASS(TFieldStreamForm, TComponent)
 public:
  explicit TFieldStreamForm(TComponent* AOwner) : TComponent(AOwner) {
    lookups = new dbtest::TTestDataSet(this);
    lookups->SetName("Lookups");
  }
  static void DescribeClass(TClassBuilder<TFieldStreamForm>& c) {
    c.Method("AmountChange", &TFieldStreamForm::AmountChange);
    c.Method("AmountGetText", &TFieldStreamForm::AmountGetText);
    c.Method("AmountSetText", &TFieldStreamForm::AmountSetText);
  }
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override {
    for (int i = 0; i < ComponentCount(); ++i)
      if (Components(i)->InheritsFrom(TField::StaticClass())) Proc(Components(i));
  }
  void AmountChange(TField*) {}
  void AmountGetText(TField*, std::string&, bool) {}
  void AmountSetText(TField*, const std::string&) {}

  TDataSet* lookups;
};
RTL_IMPLEMENT_CLASS(TFieldStreamForm)

namespace {

std::string ToText(TComponent* root) {
  TMemoryStream binary;
  binary.WriteComponent(root);
  binary.SetPosition(0);
  TStringStream text;
  ObjectBinaryToText(binary, text);
  return text.DataString();
}

void Reload(TComponent* from, TComponent* into) {
  TMemoryStream binary;
  binary.WriteComponent(from);
  binary.SetPosition(0);
  binary.ReadComponent(into);
}

using Props = std::vector<std::pair<const char*, const char*>>;

}  // namespace

TEST(FieldStreaming, PublishedPropertiesSurviveARoundTrip) {
  struct Case {
    const char* className;
    Props props;
  } cases[] = {
      {"TIntegerField",
       {{"FieldName", "Amount"},
        {"DisplayLabel", "金额"},
        {"DisplayWidth", "12"},
        {"Alignment", "taCenter"},
        {"Required", "True"},
        {"ReadOnly", "True"},
        {"Visible", "False"},
        {"DisplayFormat", "#,##0"},
        {"EditFormat", "0"},
        {"MinValue", "-5"},
        {"MaxValue", "500"},
        {"EditMask", "999;0;_"},
        {"DefaultExpression", "0"},
        {"Origin", "ORDERS.AMOUNT"},
        {"AutoGenerateValue", "arDefault"},
        {"CustomConstraint", "x > 0"},
        {"ConstraintErrorMessage", "must be positive"},
        {"ImportedConstraint", "AMOUNT > 0"}}},
      {"TLargeintField",
       {{"FieldName", "Big"}, {"MinValue", "-9000000000000000000"}, {"MaxValue", "9000000000000000000"}}},
      {"TAutoIncField", {{"FieldName", "Id"}, {"AutoGenerateValue", "arNone"}}},
      {"TFloatField",
       {{"FieldName", "Ratio"},
        {"currency", "True"},
        {"Precision", "10"},
        {"MinValue", "-1.5"},
        {"MaxValue", "1000.25"}}},
      {"TCurrencyField", {{"FieldName", "Price"}, {"currency", "False"}, {"Alignment", "taLeftJustify"}}},
      {"TBCDField",
       {{"FieldName", "Cost"},
        {"Precision", "12"},
        {"Size", "2"},
        {"MinValue", "-100.5"},
        {"MaxValue", "100.25"},
        {"currency", "True"}}},
      {"TFMTBCDField",
       {{"FieldName", "Exact"},
        {"Precision", "30"},
        {"Size", "10"},
        {"MinValue", "-100000000000000000000"},
        {"MaxValue", "123456789012345678901234.5"}}},
      {"TStringField",
       {{"FieldName", "Code"}, {"Size", "50"}, {"FixedChar", "True"}, {"Transliterate", "False"}}},
      {"TWideStringField", {{"FieldName", "Title"}, {"Size", "200"}}},
      {"TBooleanField", {{"FieldName", "Paid"}, {"DisplayValues", "是;否"}}},
      {"TDateTimeField", {{"FieldName", "At"}, {"DisplayFormat", "yyyy-mm-dd hh:nn"}}},
      {"TSQLTimeStampField", {{"FieldName", "Stamp"}, {"DisplayFormat", "hh:nn:ss"}}},
      {"TMemoField",
       {{"FieldName", "Notes"},
        {"BlobType", "ftFmtMemo"},
        {"Transliterate", "False"},
        {"GraphicHeader", "False"}}},
      {"TBytesField", {{"FieldName", "Raw"}, {"Size", "32"}}},
      {"TStringField",
       {{"FieldName", "CustName"},
        {"FieldKind", "fkLookup"},
        {"KeyFields", "CustId"},
        {"LookupKeyFields", "Id"},
        {"LookupResultField", "Name"},
        {"LookupCache", "True"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.className);
    TFieldStreamForm source(nullptr);
    source.SetName("Form");
    TClass cls = GetClass(c.className);
    ASSERT_NE(cls, nullptr);
    auto* field = static_cast<TField*>(cls->Create(&source));
    field->SetName("Field1");
    for (const auto& [name, value] : c.props) {
      SCOPED_TRACE(name);
      ASSERT_TRUE(SetPropText(field, name, value));
      EXPECT_EQ(GetPropText(field, name), value);
    }
    if (field->Lookup()) field->SetLookupDataSet(source.lookups);
    field->OnChange = TFieldNotifyEvent::Method(&source, &TFieldStreamForm::AmountChange, "AmountChange");
    field->OnValidate = TFieldNotifyEvent::Method(&source, &TFieldStreamForm::AmountChange, "AmountChange");
    field->OnGetText = TFieldGetTextEvent::Method(&source, &TFieldStreamForm::AmountGetText, "AmountGetText");
    field->OnSetText = TFieldSetTextEvent::Method(&source, &TFieldStreamForm::AmountSetText, "AmountSetText");

    TFieldStreamForm target(nullptr);
    target.SetName("Form");
    Reload(&source, &target);
    auto* read = dynamic_cast<TField*>(target.FindComponent("Field1"));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->ClassName(), c.className);
    for (const auto& [name, value] : c.props) EXPECT_EQ(GetPropText(read, name), value) << name;
    EXPECT_EQ(read->LookupDataSet(), field->Lookup() ? target.lookups : nullptr);
    EXPECT_EQ(read->DataType(), field->DataType());
    for (const char* event : {"OnChange", "OnValidate", "OnGetText", "OnSetText"}) {
      TMethodRef m = GetMethodProp(read, event);
      EXPECT_EQ(m.Data, static_cast<const void*>(&target)) << event;
      EXPECT_EQ(m.Name, GetMethodProp(field, event).Name) << event;
    }
  }
}

TEST(FieldStreaming, DefaultValuesAreNotWritten) {
  const char* classes[] = {"TStringField",   "TWideStringField",   "TGuidField",     "TIntegerField",
                           "TSmallintField", "TAutoIncField",      "TLargeintField", "TFloatField",
                           "TCurrencyField", "TBCDField",          "TFMTBCDField",   "TBooleanField",
                           "TDateField",     "TSQLTimeStampField", "TBlobField",     "TMemoField",
                           "TGraphicField",  "TBytesField",        "TVariantField"};
  for (const char* className : classes) {
    SCOPED_TRACE(className);
    TFieldStreamForm form(nullptr);
    form.SetName("Form");
    auto* field = static_cast<TField*>(GetClass(className)->Create(&form));
    field->SetName("Field1");
    field->SetFieldName("F");
    std::string text = ToText(&form);
    std::string expected = std::string("  object Field1: ") + className + "\r\n    FieldName = 'F'\r\n";
    if (std::string(className) == "TGuidField") expected += "    Size = 38\r\n";
    EXPECT_NE(text.find(expected + "  end"), std::string::npos) << text;
  }
}

TEST(FieldStreaming, DescriptionsCreateFieldsByClassName) {
  TFieldStreamForm form(nullptr);
  ReadComponentFromText(
      "object Form: TFieldStreamForm\n"
      "  object Qty: TSmallintField\n"
      "    FieldName = 'Qty'\n"
      "    DisplayLabel = 'Quantity'\n"
      "    MaxValue = 99\n"
      "  end\n"
      "  object Price: TCurrencyField\n"
      "    FieldName = 'Price'\n"
      "    DisplayFormat = '#,##0.00'\n"
      "  end\n"
      "end\n",
      &form);
  auto* qty = dynamic_cast<TSmallintField*>(form.FindComponent("Qty"));
  ASSERT_NE(qty, nullptr);
  EXPECT_EQ(qty->DisplayName(), "Quantity");
  EXPECT_EQ(qty->MaxValue(), 99);
  auto* price = dynamic_cast<TCurrencyField*>(form.FindComponent("Price"));
  ASSERT_NE(price, nullptr);
  EXPECT_TRUE(price->IsCurrency());
  EXPECT_EQ(price->DisplayFormat(), "#,##0.00");
}

TEST(FieldStreaming, ValuesAFieldRefusesFailTheRead) {
  const char* bodies[] = {
      "  object S: TStringField\n    Size = -3\n  end\n",
      "  object G: TGuidField\n    Size = 20\n  end\n",
      "  object B: TBlobField\n    BlobType = ftInteger\n  end\n",
      "  object M: TFMTBCDField\n    MaxValue = 'twelve'\n  end\n",
  };
  for (const char* body : bodies) {
    SCOPED_TRACE(body);
    TFieldStreamForm form(nullptr);
    EXPECT_THROW(
        ReadComponentFromText(std::string("object Form: TFieldStreamForm\n") + body + "end\n", &form),
        Exception);
  }
}

TEST(FieldStreaming, AFieldReadUnderADataSetJoinsItByName) {
  TFieldStreamForm source(nullptr);
  auto* field = new TIntegerField(&source);
  field->SetName("DataQty");
  field->SetFieldName("Qty");
  TMemoryStream stream;
  {
    TWriter writer(stream);
    writer.SetRoot(&source);
    writer.WriteComponent(field);
  }
  stream.SetPosition(0);

  TFieldStreamForm target(nullptr);
  dbtest::TTestDataSet data(nullptr);
  data.SetName("Data");
  TReader reader(stream);
  reader.SetOwner(&target);
  reader.SetParent(&data);
  auto* read = dynamic_cast<TIntegerField*>(reader.ReadComponent(nullptr));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->DataSet(), &data);
  EXPECT_EQ(read->GetParentComponent(), &data);
  EXPECT_EQ(data.FindField("Qty"), read);
  EXPECT_EQ(read->Owner(), &target);
}
