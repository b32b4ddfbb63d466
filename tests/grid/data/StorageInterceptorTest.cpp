#include <gtest/gtest.h>

#include "grid/data/PropFilerEh.h"
#include "platform/rtl/Exceptions.h"

namespace {

class TTargetA : public TComponent {
  RTL_CLASS(TTargetA, TComponent)
 public:
  using TComponent::TComponent;
};
class TTargetB : public TTargetA {
  RTL_CLASS(TTargetB, TTargetA)
 public:
  using TTargetA::TTargetA;
};
class TInterceptorA : public TStoragePropertyInterceptor {
  RTL_CLASS(TInterceptorA, TStoragePropertyInterceptor)
 public:
  using TStoragePropertyInterceptor::TStoragePropertyInterceptor;
};
class TInterceptorB : public TStoragePropertyInterceptor {
  RTL_CLASS(TInterceptorB, TStoragePropertyInterceptor)
 public:
  using TStoragePropertyInterceptor::TStoragePropertyInterceptor;
};

}  // namespace

RTL_IMPLEMENT_CLASS(TTargetA)
RTL_IMPLEMENT_CLASS(TTargetB)
RTL_IMPLEMENT_CLASS(TInterceptorA)
RTL_IMPLEMENT_CLASS(TInterceptorB)

namespace {

TEST(StorageInterceptorTest, LookupFindsNearestRegisteredAncestor) {
  TTargetB target(nullptr);
  EXPECT_EQ(CreateStoragePropertyInterceptor(&target), nullptr);
  RegisterStoragePropertyInterceptor(TTargetA::StaticClass(),
                                     TStoragePropertyInterceptorClass::Of<TInterceptorA>());
  auto i = CreateStoragePropertyInterceptor(&target);
  ASSERT_NE(i, nullptr);
  EXPECT_EQ(i->ClassType(), TInterceptorA::StaticClass());
  EXPECT_EQ(i->Target(), &target);
  // A second registration for the class replaces the first.
  RegisterStoragePropertyInterceptor(TTargetA::StaticClass(),
                                     TStoragePropertyInterceptorClass::Of<TInterceptorB>());
  EXPECT_EQ(GetStoragePropertyInterceptorClass(TTargetB::StaticClass())->Class, TInterceptorB::StaticClass());
  RegisterStoragePropertyInterceptor(TTargetB::StaticClass(),
                                     TStoragePropertyInterceptorClass::Of<TInterceptorA>());
  EXPECT_EQ(GetStoragePropertyInterceptorClass(TTargetB::StaticClass())->Class, TInterceptorA::StaticClass());
  UnregisterStoragePropertyInterceptor(TTargetB::StaticClass());
  UnregisterStoragePropertyInterceptor(TTargetA::StaticClass());
  EXPECT_EQ(GetStoragePropertyInterceptorClass(TTargetB::StaticClass()), nullptr);
  EXPECT_THROW(
      RegisterStoragePropertyInterceptor(nullptr, TStoragePropertyInterceptorClass::Of<TInterceptorA>()),
      EInvalidOperation);
}

}  // namespace
