// The data grid unit's start-up and finalization: the order of its steps, a missing resource,
// and the shared images, cursors, keys and colours.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "grid/data/PropFilerEh.h"
#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhCenter.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/dbgrid/DBGridEhStyle.h"
#include "platform/rtl/Resources.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/VclTesting.h"

namespace startup_test {

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    InitDBGridEhUnit();
  }
  void TearDown() override {
    ResetVcl();
    FinalizeDBGridEhUnit();
  }
};

// What each step left, in the step order.
std::string Made() {
  const std::pair<bool, const char*> steps[] = {
      {DBGridEhDefaultStyle(), "style "},       {DBGridEhCenter(), "centre "},
      {DBGridEhSortMarkerFont(), "font "},      {DBGridEhColumnSelectCursor(), "down "},
      {DBGridEhRecordSelectCursor(), "right "}, {DBGridEhRecordSelectRightToLeftCursor(), "left "},
      {DBGridEhShortCuts[0] != 0, "keys "},     {DBGridEhIndicatorImages(), "images "},
      {DBGridEhSharedCellParams(), "cells"}};
  std::string s;
  for (const auto& [made, name] : steps) s += made ? name : "";
  return s;
}

TEST_F(StartupTest, StepsRunInOrderAndAMissingResourceStopsTheRest) {
  // clang-format off
  const struct { const char* Kind; const char* Name; const char* Error; const char* Made; } cases[] = {
      {"", "", "", "style centre font down right left keys images cells"},
      {"BITMAP", "DBSMDOWNEH", "Resource DBSMDOWNEH not found", "style centre "},
      {"CURSOR", "DOWNCUREH", "Cannot load cursor resource", "style centre font "},
      {"CURSOR", "LEFTCUREH", "Cannot load cursor resource", "style centre font down right "},
      {"BITMAP", "DBMULTIDOTEH", "Resource DBMULTIDOTEH not found", "style centre font down right left keys "}};
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    FinalizeDBGridEhUnit();
    DBGridEhShortCuts[0] = 0;  // the values outlive the unit; cleared to see them set again
    EXPECT_EQ(Made(), "");
    // Registered but not loadable: the start-up draws nothing under a registered name.
    if (*c.Kind)
      RegisterResource(c.Kind, c.Name, TResourceFactory([] { return std::shared_ptr<const void>(); }));
    TScopeExit restore([&] {
      if (*c.Kind) UnregisterResource(c.Kind, c.Name);
    });
    std::string error;
    try {
      InitDBGridEhUnit();
    } catch (const Exception& e) {
      error = e.Message();
    }
    EXPECT_EQ(error, c.Error);
    EXPECT_EQ(Made(), c.Made);
    EXPECT_TRUE(GetStoragePropertyInterceptorClass(TDBGridColumnEh::StaticClass()));
  }
  // With the resource back the start-up completes what is missing.
  InitDBGridEhUnit();
  EXPECT_EQ(Made(), "style centre font down right left keys images cells");
}

TEST_F(StartupTest, DefaultsFontCursorsAndImages) {
  const TShortCut keys[6] = {0x4000 | 'F', 0x4000 | VK_RETURN, 0x6000 | VK_RETURN,
                             0x4000 | 222, 0x4000 | 'F',       0x4000 | 'T'};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(DBGridEhShortCuts[i], keys[i]) << i;
  EXPECT_EQ(std::make_tuple(DBGridEhIncSearchResetInterval, DBGridEhSearchHighlightColor,
                            DBGridEhSearchHighlightFontColor, DBGridEhSortMarkerFont()->Height()),
            std::make_tuple(1500, clYellow, clBlack, -6));
  EXPECT_EQ(DBGridEhSortMarkerFont()->Name(), "Arial");
  TCustomImageList* indicator = DBGridEhIndicatorImages();
  TCustomImageList* markers = dbgrid_detail::SortMarkerImages();
  EXPECT_EQ(std::make_tuple(indicator->Count(), indicator->Width(), indicator->Height()),
            std::make_tuple(7, 10, 10));
  EXPECT_EQ(std::make_tuple(markers->Count(), markers->Width(), markers->Height()), std::make_tuple(5, 8, 7));
  // The cursors are the drawn arrows, hot spot at the tip.
  auto down = FindResourceAs<TCursorImage>("CURSOR", "DOWNCUREH");
  EXPECT_EQ(std::make_tuple(down->Width, down->HotSpot.X, down->HotSpot.Y), std::make_tuple(32, 16, 28));
  EXPECT_EQ(down->Mask[static_cast<size_t>(16 * 32 + 16)], 0);
  EXPECT_NE(down->Mask[0], 0);
  // A repeated start-up keeps every object and every changed value.
  TFont* font = DBGridEhSortMarkerFont();
  DBGridEhSearchHighlightColor = clLime;
  InitDBGridEhUnit();
  EXPECT_TRUE(DBGridEhSortMarkerFont() == font && DBGridEhIndicatorImages() == indicator);
  EXPECT_EQ(DBGridEhSearchHighlightColor, clLime);
  FinalizeDBGridEhUnit();
  EXPECT_EQ(Made(), "keys ");
  InitDBGridEhUnit();
  EXPECT_EQ(DBGridEhSearchHighlightColor, clYellow);
}

// The last indicator image is the arrow on the search highlight colour; teal, the mask colour,
// becomes a darker teal. Rebuilding keeps seven images.
TEST_F(StartupTest, TheHighlightArrowIsRedrawnInPlace) {
  // clang-format off
  const struct { TColor Highlight; COLORREF Corner; } cases[] = {
      {clYellow, RGB(255, 255, 0)}, {clTeal, RGB(0, 127, 127)}, {clRed, RGB(255, 0, 0)}};
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Highlight);
    DBGridEhSearchHighlightColor = c.Highlight;
    BuildIndicatorImages();
    TCustomImageList* images = DBGridEhIndicatorImages();
    ASSERT_EQ(images->Count(), 7);
    TBitmap shown, dark;
    images->GetBitmap(6, &shown);
    images->GetBitmap(5, &dark);
    EXPECT_EQ(ColorToRGB(shown.Canvas()->Pixels(0, 0)), c.Corner);
    EXPECT_EQ(ColorToRGB(dark.Canvas()->Pixels(0, 0)), RGB(255, 255, 255));
  }
}

}  // namespace startup_test
