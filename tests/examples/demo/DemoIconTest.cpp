// The program's icon drawn over white and black: its shapes show their colours on both, and
// outside them the background shows through.
#include "examples/demo/DemoIcon.h"

#include <gtest/gtest.h>

#include "platform/vcl/Graphics.h"
#include "platform/vcl/VclTesting.h"

TEST(DemoIconTest, ShapesAreOpaqueAndTheRestShowsTheBackground) {
  ResetVcl();
  const std::unique_ptr<TIcon> icon = CreateDemoIcon(kDemoIconSize);
  ASSERT_EQ(icon->Width(), kDemoIconSize);
  const struct {
    int x, y;
    TColor shown;  // clNone: the background
  } probes[] = {{4, 15, 0x3C7A2E}, {12, 6, 0xF4FAFB}, {21, 24, 0x1FB7F2}, {0, 0, clNone}, {30, 2, clNone}};
  for (TColor background : {clWhite, clBlack}) {
    TBitmap bitmap;
    bitmap.SetSize(kDemoIconSize, kDemoIconSize);
    bitmap.Canvas()->Brush()->SetColor(background);
    bitmap.Canvas()->FillRect(TRect{0, 0, kDemoIconSize, kDemoIconSize});
    bitmap.Canvas()->Draw(0, 0, icon.get());
    for (const auto& p : probes) {
      SCOPED_TRACE(testing::Message() << p.x << "," << p.y << " on " << background);
      EXPECT_EQ(bitmap.Canvas()->Pixels(p.x, p.y), p.shown == clNone ? background : p.shown);
    }
  }
}
