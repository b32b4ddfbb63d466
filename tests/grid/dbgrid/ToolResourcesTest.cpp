// The tool controls' resources module: its components in order, its drawn image lists, the
// "Copy" item copying its hint, and its life with the grid unit.
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/BmpCodec.h"
#include "platform/rtl/Resources.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Clipbrd.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

class ToolResourcesTest : public DBGridTestBase {
 protected:
  // Which pixels of one image are drawn, as a string of '#' and '.'.
  static std::string Shape(TCustomImageList* List, int Index) {
    std::vector<uint32_t> pixels;
    std::vector<bool> transparent;
    ImageList_GetImagePixels(List->Handle(), Index, pixels, transparent);
    std::string shape;
    for (bool t : transparent) shape += t ? '.' : '#';
    return shape;
  }
};

TEST_F(ToolResourcesTest, ComponentsInOrderAndFifteenDrawnGlyphsEach) {
  TDBGridEhRes* res = DBGridEhRes();
  ASSERT_NE(res, nullptr);
  std::string names;
  for (int i = 0; i < res->ComponentCount(); ++i)
    names += res->Components(i)->Name() + ":" + res->Components(i)->ClassName() + " ";
  EXPECT_EQ(names,
            "IMList10:TImageList IMList10D:TImageList IMList12_D:TImageList IMList12:TImageList "
            "PopupMenu1:TPopupMenu Copy1:TMenuItem IMList10Bmp:TImageList IMList10DBmp:TImageList ");
  EXPECT_EQ(std::make_tuple(res->PopupMenu1->Items()->Count(),
                            res->PopupMenu1->Items()->Items(0) == res->Copy1, res->Copy1->Caption()),
            std::make_tuple(1, true, std::string("Copy")));
  // clang-format off
  const struct { TImageList* List; TImageList* SameShapes; int Size; } lists[] = {
      {res->IMList10, res->IMList10D, 10}, {res->IMList10D, res->IMList10, 10},
      {res->IMList12_D, res->IMList12, 12}, {res->IMList12, res->IMList12_D, 12},
      {res->IMList10Bmp, res->IMList10, 10}, {res->IMList10DBmp, nullptr, 10}};
  // clang-format on
  for (const auto& l : lists) {
    SCOPED_TRACE(l.List->Name());
    EXPECT_EQ(std::make_tuple(l.List->Count(), l.List->Width(), l.List->Height()),
              std::make_tuple(kToolGlyphCountEh, l.Size, l.Size));
    // Every glyph draws something of its own; the flat looks share their shapes (the engraved
    // one adds its highlight).
    for (int i = 0; i < l.List->Count(); ++i) {
      SCOPED_TRACE(i);
      const std::string shape = Shape(l.List, i);
      EXPECT_NE(shape.find('#'), std::string::npos);
      EXPECT_NE(shape.find('.'), std::string::npos);
      for (int j = 0; j < i; ++j) EXPECT_NE(shape, Shape(l.List, j)) << "same as " << j;
      if (l.SameShapes) {
        EXPECT_EQ(shape, Shape(l.SameShapes, i));
      }
    }
  }
}

TEST_F(ToolResourcesTest, CopyItemPutsTheHintTheGridSetOnTheClipboard) {
  ResetClipboardForTest();
  for (const std::string text : {"1234.5", "收入: 12,50 €", ""}) {
    SCOPED_TRACE(text);
    Clipboard()->SetAsText("before");
    grid->SetCopyMenuHint(text);
    EXPECT_EQ(DBGridEhRes()->Copy1->Hint(), text);
    DBGridEhRes()->Copy1->Click();
    EXPECT_EQ(Clipboard()->AsText(), text);
  }
}

// Made once by the unit's start-up, gone with its finalization or a reset; a strip a program
// ships stays, and a strip that cannot be loaded leaves no module.
TEST_F(ToolResourcesTest, LivesWithTheUnitAndLoadsWhatIsRegistered) {
  TDBGridEhRes* first = DBGridEhRes();
  InitDBGridEhUnit();
  EXPECT_EQ(DBGridEhRes(), first);
  ResetVcl();
  EXPECT_EQ(DBGridEhRes(), nullptr);
  FinalizeDBGridEhUnit();
  auto shipped = std::make_shared<const TBmpImage>(
      TBmpImage{.Width = 30, .Height = 10, .Pixels = std::vector<uint32_t>(300, 0x000000), .Alpha = {}});
  RegisterResourceAs<TBmpImage>("BITMAP", kToolGlyphStripNamesEh[0], shipped);
  RegisterResource("BITMAP", kToolGlyphStripNamesEh[3],
                   TResourceFactory([] { return std::shared_ptr<const void>(); }));
  TScopeExit unregister([] {
    UnregisterResource("BITMAP", kToolGlyphStripNamesEh[0]);
    UnregisterResource("BITMAP", kToolGlyphStripNamesEh[3]);
  });
  EXPECT_EQ(ErrorOf([] { InitDBGridEhUnit(); }), "Resource DBGRIDEHRESNAV12 not found");
  EXPECT_EQ(DBGridEhRes(), nullptr);
  UnregisterResource("BITMAP", kToolGlyphStripNamesEh[3]);
  InitDBGridEhUnit();
  ASSERT_NE(DBGridEhRes(), nullptr);
  EXPECT_EQ(std::make_tuple(DBGridEhRes()->IMList10->Count(), DBGridEhRes()->IMList12->Count()),
            std::make_tuple(3, kToolGlyphCountEh));
  FinalizeDBGridEhUnit();
  EXPECT_EQ(DBGridEhRes(), nullptr);
}

}  // namespace
