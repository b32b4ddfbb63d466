// Data sets, their persistent fields and data sources in descriptions.
#include <gtest/gtest.h>

#include "platform/rtl/Filer.h"
#include "platform/rtl/Streams.h"
#include "tests/platform/db/TestDataSet.h"

namespace {

// A container that streams the components it owns which have no parent of their own.
class TStreamModule : public TComponent {
  RTL_CLASS(TStreamModule, TComponent)
 public:
  explicit TStreamModule(TComponent* AOwner) : TComponent(AOwner) {}
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override {
    for (int i = 0; i < ComponentCount(); ++i)
      if (!Components(i)->HasParent()) Proc(Components(i));
  }
};

const bool registered = [] {
  RegisterClasses({TStreamModule::StaticClass(), dbtest::TTestDataSet::StaticClass()});
  return true;
}();

}  // namespace

RTL_IMPLEMENT_CLASS(TStreamModule)

TEST(DataSetStreaming, FieldsAndSourcesSurviveARoundTrip) {
  ASSERT_TRUE(registered);
  TStreamModule from(nullptr);
  from.SetName("Module");
  auto* orders = new dbtest::TTestDataSet(&from);
  orders->SetName("Orders");
  orders->SetFilter("ID > 1");
  orders->SetAutoCalcFields(false);
  for (const char* name : {"Name", "ID"}) {
    TField* f = CreateFieldForType(std::string(name) == "ID" ? ftInteger : ftString, &from);
    f->SetName(std::string("Orders") + name);
    f->SetFieldName(name);
    if (std::string(name) == "Name") f->SetSize(20);
    f->SetDataSet(orders);
  }
  auto* source = new TDataSource(&from);
  source->SetName("OrdersSource");
  source->SetDataSet(orders);
  source->SetAutoEdit(false);

  TMemoryStream binary;
  binary.WriteComponent(&from);
  binary.SetPosition(0);
  TStringStream text;
  ObjectBinaryToText(binary, text);
  const std::string description = text.DataString();
  EXPECT_NE(description.find("object Orders: TTestDataSet"), std::string::npos) << description;
  EXPECT_NE(description.find("object OrdersName: TStringField"), std::string::npos) << description;
  EXPECT_NE(description.find("DataSet = Orders"), std::string::npos) << description;

  binary.SetPosition(0);
  TStreamModule into(nullptr);
  binary.ReadComponent(&into);
  auto* readOrders = dynamic_cast<dbtest::TTestDataSet*>(into.FindComponent("Orders"));
  auto* readSource = dynamic_cast<TDataSource*>(into.FindComponent("OrdersSource"));
  ASSERT_NE(readOrders, nullptr);
  ASSERT_NE(readSource, nullptr);
  EXPECT_EQ(readSource->DataSet(), readOrders);
  EXPECT_FALSE(readSource->AutoEdit());
  EXPECT_EQ(readOrders->Filter(), "ID > 1");
  EXPECT_FALSE(readOrders->AutoCalcFields());
  ASSERT_EQ(readOrders->FieldCount(), 2);
  EXPECT_EQ(readOrders->Fields()->Fields(0)->FieldName(), "Name") << "field order is kept";
  EXPECT_EQ(readOrders->Fields()->Fields(1)->Owner(), &into);

  readOrders->AddColumn("ID", ftInteger);
  readOrders->AddColumn("Name", ftString, 20);
  readOrders->FillNumbered(2);
  readOrders->Open();
  EXPECT_EQ(readOrders->FieldByName("Name")->AsString(), "Name1");
  EXPECT_EQ(readSource->State(), dsBrowse);
}
