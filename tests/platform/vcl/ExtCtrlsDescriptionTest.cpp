// Window descriptions create and set up the controls of this unit.
#include <gtest/gtest.h>

#include "platform/rtl/Filer.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/ExtCtrls.h"
#include "tests/platform/vcl/ExtCtrlsTestSupport.h"

namespace vclext_test {
namespace {

class ExtCtrlsDescriptionTest : public THostFormTest {};

TEST_F(ExtCtrlsDescriptionTest, LoadsPanelsButtonsShapesTimersAndRadioGroups) {
  ReadComponentFromText(R"(object Form1: TForm
  object Panel1: TPanel
    Left = 8
    Top = 8
    Width = 120
    Height = 60
    BevelInner = bvLowered
    BevelWidth = 2
    Alignment = taLeftJustify
    Caption = '账户'
    object SpeedButton1: TSpeedButton
      Left = 4
      Top = 4
      GroupIndex = 3
      Down = True
      Flat = True
      Layout = blGlyphTop
    end
    object Bevel1: TBevel
      Shape = bsTopLine
      Style = bsRaised
    end
  end
  object Shape1: TShape
    Shape = stCircle
    Brush.Color = clRed
    Pen.Width = 2
  end
  object Timer1: TTimer
    Interval = 250
    Enabled = False
  end
  object BitBtn1: TBitBtn
    Kind = bkYes
  end
  object RadioGroup1: TRadioGroup
    Columns = 2
    ItemIndex = 1
    Items.Strings = (
      '收入'
      '支出')
  end
end
)",
                        form);
  auto* panel = dynamic_cast<TPanel*>(form->FindComponent("Panel1"));
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->BoundsRect(), Rect(8, 8, 128, 68));
  EXPECT_EQ(panel->BevelInner(), bvLowered);
  EXPECT_EQ(panel->BevelWidth(), 2);
  EXPECT_EQ(panel->Alignment(), taLeftJustify);
  EXPECT_EQ(panel->Caption(), "账户");

  auto* speed = dynamic_cast<TSpeedButton*>(form->FindComponent("SpeedButton1"));
  ASSERT_NE(speed, nullptr);
  EXPECT_EQ(speed->Parent(), panel);
  EXPECT_TRUE(speed->Down());
  EXPECT_TRUE(speed->Flat());
  EXPECT_EQ(speed->Layout(), blGlyphTop);
  auto* bevel = dynamic_cast<TBevel*>(form->FindComponent("Bevel1"));
  ASSERT_NE(bevel, nullptr);
  EXPECT_EQ(bevel->Shape(), bsTopLine);
  EXPECT_EQ(bevel->Style(), bsRaised);

  auto* shape = dynamic_cast<TShape*>(form->FindComponent("Shape1"));
  ASSERT_NE(shape, nullptr);
  EXPECT_EQ(shape->Shape(), stCircle);
  EXPECT_EQ(shape->Brush()->Color(), clRed);
  EXPECT_EQ(shape->Pen()->Width(), 2);

  auto* timer = dynamic_cast<TTimer*>(form->FindComponent("Timer1"));
  ASSERT_NE(timer, nullptr);
  EXPECT_EQ(timer->Interval(), 250u);
  EXPECT_FALSE(timer->Enabled());

  auto* bit = dynamic_cast<TBitBtn*>(form->FindComponent("BitBtn1"));
  ASSERT_NE(bit, nullptr);
  EXPECT_EQ(bit->Kind(), bkYes);
  EXPECT_EQ(bit->Caption(), "&Yes");
  EXPECT_EQ(bit->ModalResult(), mrYes);

  auto* group = dynamic_cast<TRadioGroup*>(form->FindComponent("RadioGroup1"));
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->Columns(), 2);
  ASSERT_EQ(group->ButtonCount(), 2);
  EXPECT_EQ(group->ItemIndex(), 1);
  EXPECT_TRUE(group->Buttons(1)->Checked());
  EXPECT_EQ(group->Buttons(0)->Caption(), "收入");
}

}  // namespace
}  // namespace vclext_test
