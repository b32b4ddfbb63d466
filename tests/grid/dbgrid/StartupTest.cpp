// The data grid unit's start-up and finalization: the order of its steps, a missing resource,
// and the shared images, cursors, keys and colours.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "grid/data/PropFilerEh.h"
#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhCenter.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/dbgrid/DBGridEhStyle.h"
#include "platform/gdi/Colors.h"
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
  std::string s;
  s += DBGridEhDefaultStyle() ? "style " : "";
  s += DBGridEhCenter() ? "centre " : "";
  s += DBGridEhSortMarkerFont() ? "font " : "";
  s += DBGridEhColumnSelectCursor() ? "down " : "";
  s += DBGridEhRecordSelectCursor() ? "right " : "";
  s += DBGridEhRecordSelectRightToLeftCursor() ? "left " : "";
  s += DBGridEhShortCuts[0] != 0 ? "keys " : "";
  s += DBGridEhIndicatorImages() ? "images " : "";
  s += DBGridEhSharedCellParams() ? "cells" : "";
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
  EXPECT_EQ(DBGridEhIncSearchResetInterval, 1500);
  EXPECT_EQ(DBGridEhSearchHighlightColor, clYellow);
  EXPECT_EQ(DBGridEhSearchHighlightFontColor, clBlack);
  EXPECT_EQ(DBGridEhSortMarkerFont()->Height(), -6);
  EXPECT_EQ(DBGridEhSortMarkerFont()->Name(), "Arial");
  TCustomImageList* indicator = DBGridEhIndicatorImages();
  TCustomImageList* markers = dbgrid_detail::SortMarkerImages();
  ASSERT_TRUE(indicator && markers);
  EXPECT_EQ(std::make_tuple(indicator->Count(), indicator->Width(), indicator->Height()),
            std::make_tuple(7, 10, 10));
  EXPECT_EQ(std::make_tuple(markers->Count(), markers->Width(), markers->Height()), std::make_tuple(5, 8, 7));
  // The cursors are the drawn arrows, hot spot at the tip.
  auto down = FindResourceAs<TCursorImage>("CURSOR", "DOWNCUREH");
  ASSERT_TRUE(down);
  EXPECT_EQ(std::make_tuple(down->Width, down->HotSpot.X, down->HotSpot.Y), std::make_tuple(32, 16, 28));
  EXPECT_EQ(down->Mask[static_cast<size_t>(16 * 32 + 16)], 0);
  EXPECT_NE(down->Mask[0], 0);
  // A repeated start-up keeps every object and every changed value.
  TFont* font = DBGridEhSortMarkerFont();
  DBGridEhSearchHighlightColor = clLime;
  InitDBGridEhUnit();
  EXPECT_EQ(DBGridEhSortMarkerFont(), font);
  EXPECT_EQ(DBGridEhIndicatorImages(), indicator);
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
    TBitmap shown;
    images->GetBitmap(6, &shown);
    EXPECT_EQ(ColorToRGB(shown.Canvas()->Pixels(0, 0)), c.Corner);
    TBitmap dark;
    images->GetBitmap(5, &dark);
    EXPECT_EQ(ColorToRGB(dark.Canvas()->Pixels(0, 0)), RGB(255, 255, 255));
  }
}

}  // namespace startup_test
