// The right-to-left alignment rule of fields.
#include <gtest/gtest.h>

#include "platform/db/Fields.h"

TEST(FieldAlignment, RightToLeftMirrorsOnlyTexts) {
  TStringField text(nullptr);
  TFloatField number(nullptr);
  TDateTimeField when(nullptr);
  TBooleanField flag(nullptr);
  EXPECT_TRUE(OkToChangeFieldAlignment(&text, taLeftJustify));
  EXPECT_TRUE(OkToChangeFieldAlignment(&flag, taRightJustify));
  EXPECT_FALSE(OkToChangeFieldAlignment(&text, taCenter));
  EXPECT_FALSE(OkToChangeFieldAlignment(&number, taRightJustify));
  EXPECT_FALSE(OkToChangeFieldAlignment(&when, taLeftJustify));
  EXPECT_TRUE(OkToChangeFieldAlignment(nullptr, taRightJustify));
}
