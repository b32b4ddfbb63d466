#include <gtest/gtest.h>

#include "grid/data/DynVarsEh.h"
#include "platform/rtl/Exceptions.h"

namespace {

TEST(DynVarsTest, CreateAndFindWithoutCase) {
  TDynVarsEh vars(nullptr);
  TDynVarEh* a = vars.CreateDynVar("Amount", Variant(5));
  vars.CreateDynVar("Name", Variant("x"));
  EXPECT_EQ(vars.Count(), 2);
  EXPECT_EQ(vars.GetItem(0), a);
  EXPECT_EQ(vars.GetDynVar("AMOUNT"), a);
  EXPECT_EQ(vars.GetDynVar("name")->Value().AsString(), "x");
  EXPECT_THROW(vars.GetItem(2), Exception);
}

TEST(DynVarsTest, DuplicateNameRaisesExactText) {
  TDynVarsEh vars(nullptr);
  vars.CreateDynVar("Amount", Variant(5));
  try {
    vars.CreateDynVar("amount", Variant(6));
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "A Variable named 'amount' already exists in the Collection");
  }
  EXPECT_EQ(vars.Count(), 1);
  EXPECT_EQ(vars.GetItem(0)->Value().AsInteger(), 5);
}

TEST(DynVarsTest, MissingNameGivesFreshDummy) {
  TDynVarsEh vars(nullptr);
  vars.CreateDynVar("A", Variant(1));
  TDynVarEh* d = vars.GetDynVar("Missing");
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->Name(), "Missing");
  EXPECT_TRUE(d->Value().IsNull());
  EXPECT_EQ(vars.Count(), 1);
  // A value written to the dummy must not show through for the next missing name.
  d->SetValue(Variant(42));
  TDynVarEh* e = vars.GetDynVar("Other");
  EXPECT_EQ(e->Name(), "Other");
  EXPECT_TRUE(e->Value().IsNull());
  EXPECT_EQ(vars.FindDynVar("Missing"), nullptr);
  EXPECT_EQ(vars.Count(), 1);
}

TEST(DynVarsTest, AssignCopiesValuesIndependently) {
  TPersistent owner;
  TDynVarsEh src(&owner), dst(nullptr);
  EXPECT_EQ(src.GetOwner(), &owner);
  src.CreateDynVar("A", Variant(1));
  src.CreateDynVar("B", VarArrayOf({1, 2}));
  dst.CreateDynVar("Old", Variant(0));
  dst.Assign(&src);
  ASSERT_EQ(dst.Count(), 2);
  EXPECT_EQ(dst.FindDynVar("Old"), nullptr);
  EXPECT_EQ(dst.GetDynVar("b")->Value().GetElement(1).AsInteger(), 2);
  src.GetDynVar("A")->SetValue(Variant(9));
  EXPECT_EQ(dst.GetDynVar("A")->Value().AsInteger(), 1);
  EXPECT_EQ(dst.GetItem(0)->DisplayName(), "A");
}

}  // namespace
