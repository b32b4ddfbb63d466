#include <gtest/gtest.h>

#include "platform/rtl/Set.h"
#include "platform/rtl/ShiftState.h"

TEST(Set, OperationsFollowSetAlgebra) {
  TShiftState a{ssShift, ssCtrl};
  TShiftState b{ssCtrl, ssAlt};
  EXPECT_TRUE(a.Contains(ssShift));
  EXPECT_FALSE(a.Contains(ssAlt));
  EXPECT_EQ(a + b, (TShiftState{ssShift, ssCtrl, ssAlt}));
  EXPECT_EQ(a - b, TShiftState{ssShift});
  EXPECT_EQ(a * b, TShiftState{ssCtrl});
  EXPECT_TRUE(TShiftState{ssCtrl} <= a);
  EXPECT_FALSE(b <= a);
  EXPECT_TRUE(TShiftState().Empty());
  a -= ssShift;
  EXPECT_EQ(a, TShiftState{ssCtrl});
}

TEST(Set, BitImageRoundTrips) {
  TShiftState s{ssShift, ssDouble};
  EXPECT_EQ(s.ToBits(), (1u << 0) | (1u << 6));
  EXPECT_EQ(TShiftState::FromUInt(s.ToBits()), s);
}
