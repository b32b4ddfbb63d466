#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "platform/rtl/Resources.h"

namespace {

// The registry is process-wide: every test uses its own kind and cleans up.
class ResourcesTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const std::string& name : ResourceNames(kind_)) UnregisterResource(kind_, name);
  }
  const std::string kind_ =
      "TESTKIND_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name());
};

TEST_F(ResourcesTest, StringTableAnswersEmptyWhenMissing) {
  EXPECT_EQ(LoadStr(987654), "");
  RegisterResourceString(987654, "Record %d of %d");
  EXPECT_EQ(LoadStr(987654), "Record %d of %d");
  RegisterResourceString(987654, "replaced");
  EXPECT_EQ(LoadStr(987654), "replaced");
  UnregisterResourceString(987654);
  EXPECT_EQ(LoadStr(987654), "");
}

TEST_F(ResourcesTest, NamedResourcesIgnoreCaseOfKindAndName) {
  auto data = std::make_shared<const std::string>("pixels");
  RegisterResource(kind_, "Arrow_Down", data);
  for (const char* name : {"ARROW_DOWN", "arrow_down", "Arrow_Down"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(FindResource(kind_, name), data);
  }
  std::string lowerKind = kind_;
  for (char& c : lowerKind) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  EXPECT_EQ(FindResource(lowerKind, "arrow_down"), data);
  EXPECT_EQ(FindResource(kind_, "arrow_up"), nullptr);
  EXPECT_EQ(FindResource("OTHERKIND_NEVER_USED", "arrow_down"), nullptr);
  EXPECT_TRUE(UnregisterResource(kind_, "arrow_DOWN"));
  EXPECT_FALSE(UnregisterResource(kind_, "arrow_down"));
  EXPECT_EQ(FindResource(kind_, "Arrow_Down"), nullptr);
}

TEST_F(ResourcesTest, ReRegisteringReplaces) {
  RegisterResource(kind_, "X", std::make_shared<const int>(1));
  RegisterResource(kind_, "x", std::make_shared<const int>(2));
  EXPECT_EQ(*std::static_pointer_cast<const int>(FindResource(kind_, "X")), 2);
  EXPECT_EQ(ResourceNames(kind_), std::vector<std::string>{"X"});
}

TEST_F(ResourcesTest, FactoriesRunOnceOnFirstUse) {
  int calls = 0;
  RegisterResource(kind_, "lazy", TResourceFactory([&]() -> std::shared_ptr<const void> {
                     ++calls;
                     return std::make_shared<const int>(7);
                   }));
  EXPECT_EQ(calls, 0);
  auto first = FindResource(kind_, "lazy");
  auto second = FindResource(kind_, "LAZY");
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(first, second);
  // A factory that has nothing yet is asked again next time.
  int misses = 0;
  RegisterResource(kind_, "late", TResourceFactory([&]() -> std::shared_ptr<const void> {
                     return ++misses < 2 ? nullptr : std::make_shared<const int>(1);
                   }));
  EXPECT_EQ(FindResource(kind_, "late"), nullptr);
  EXPECT_NE(FindResource(kind_, "late"), nullptr);
  EXPECT_NE(FindResource(kind_, "late"), nullptr);
  EXPECT_EQ(misses, 2);
}

TEST_F(ResourcesTest, AFactoryMayLookUpOtherResources) {
  RegisterResourceAs<std::string>(kind_, "base", std::make_shared<const std::string>("base"));
  std::string kind = kind_;
  RegisterResourceFactoryAs<std::string>(kind_, "derived", [kind]() {
    auto base = FindResourceAs<std::string>(kind, "base");
    return std::make_shared<const std::string>(*base + "+derived");
  });
  auto derived = FindResourceAs<std::string>(kind_, "derived");
  ASSERT_NE(derived, nullptr);
  EXPECT_EQ(*derived, "base+derived");
}

TEST_F(ResourcesTest, TypedLookupRefusesAnotherType) {
  RegisterResourceAs<int>(kind_, "count", std::make_shared<const int>(3));
  ASSERT_NE(FindResourceAs<int>(kind_, "count"), nullptr);
  EXPECT_EQ(*FindResourceAs<int>(kind_, "count"), 3);
  EXPECT_EQ(FindResourceAs<std::string>(kind_, "count"), nullptr);
  EXPECT_EQ(FindResourceAs<int>(kind_, "missing"), nullptr);
  // Untyped registrations are the caller's word.
  RegisterResource(kind_, "raw", std::make_shared<const double>(2.5));
  EXPECT_EQ(*FindResourceAs<double>(kind_, "raw"), 2.5);
}

TEST_F(ResourcesTest, NamesAreListedSortedInUpperCase) {
  for (const char* name : {"zeta", "Alpha", "mid"})
    RegisterResource(kind_, name, std::make_shared<const int>(0));
  EXPECT_EQ(ResourceNames(kind_), (std::vector<std::string>{"ALPHA", "MID", "ZETA"}));
  EXPECT_TRUE(ResourceNames("KIND_WITH_NOTHING").empty());
}

}  // namespace
