#include <gtest/gtest.h>

#include <memory>

#include "grid/foundation/ColorRoutinesEh.h"
#include "platform/gdi/DrawRecorder.h"
#include "platform/rtl/Resources.h"
#include "platform/rtl/ScopeGuard.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

class DBGridEmptyData : public DBGridTestBase {
 protected:
  void TearDown() override {
    if (bitmap) grid->Canvas()->SetHandle(nullptr);
    DBGridTestBase::TearDown();
  }
  // The grid's canvas paints into a bitmap of the client's size, every call recorded.
  void Bind() {
    if (bitmap) grid->Canvas()->SetHandle(nullptr);
    bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(grid->ClientWidth(), grid->ClientHeight());
    log.Clear();
    AttachDrawRecorder(bitmap->Canvas()->Handle(), &log);
    grid->Canvas()->SetHandle(bitmap->Canvas()->Handle());
  }
  std::unique_ptr<TBitmap> bitmap;
  TDrawLog log;
};

TEST_F(DBGridEmptyData, DisplayTextAndShowing) {
  struct Case {
    const char* id;
    bool active;
    int rows;
    bool open;
    const char* text;
    const char* programText;   // the program-wide default
    const char* resourceText;  // nullptr: no string table entry
    const char* display;
    bool showing;
  };
  const Case cases[] = {
      {"built-in text", true, 0, true, "", "", nullptr, "<No Records>", true},
      {"own text", true, 0, true, "Nothing yet", "Program", "Table", "Nothing yet", true},
      {"program text", true, 0, true, "", "Program", "Table", "Program", true},
      {"string table", true, 0, true, "", "", "Table", "Table", true},
      {"inactive", false, 0, true, "", "", nullptr, "<No Records>", false},
      {"records", true, 2, true, "", "", nullptr, "<No Records>", false},
      {"closed", true, 0, false, "", "", nullptr, "<No Records>", false},
  };
  TScopeExit restore([] {
    DBGridEhEmptyDataInfoText.clear();
    UnregisterResourceString(65167);
  });
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    dataSet->EmptyDataSet();
    AddNumberedRows(c.rows);
    dataSet->SetActive(c.open);
    DBGridEhEmptyDataInfoText = c.programText;
    if (c.resourceText)
      RegisterResourceString(65167, c.resourceText);
    else
      UnregisterResourceString(65167);
    TGridEmptyDataInfoEh* info = grid->EmptyDataInfo();
    info->SetActive(c.active);
    info->SetText(c.text);
    EXPECT_EQ(info->GetDisplayText(), c.display);
    EXPECT_EQ(info->IsShowing(), c.showing);
    dataSet->SetActive(true);
  }
}

// The text sits centred in the room of the data rows, on the grid's colour, framed in a blend of
// its colour toward the grid's when vertical lines run through the empty area.
TEST_F(DBGridEmptyData, PaintedCentredInTheDataArea) {
  grid->SetColor(0xF0E0D0);
  struct Case {
    const char* id;
    const char* text;
    bool extendVertLines;
  };
  const Case cases[] = {
      {"built-in text, framed", "", true},
      {"own text, no frame", "Nothing to show here", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    TDBGridEhOptions options = grid->OptionsEh();
    if (c.extendVertLines)
      options.Include(dghExtendVertLines);
    else
      options.Exclude(dghExtendVertLines);
    grid->SetOptionsEh(options);
    TGridEmptyDataInfoEh* info = grid->EmptyDataInfo();
    info->SetActive(true);
    info->SetText(c.text);
    ASSERT_TRUE(info->IsShowing());
    Bind();
    info->Paint();

    TGridDrawInfoEh di;
    grid->CalcDrawInfo(di);
    const TRect area{di.Horz.FixedBoundary, di.Vert.FixedBoundary, grid->ClientWidth(), grid->ClientHeight()};
    bitmap->Canvas()->Font()->Assign(info->Font());
    const TSize extent = bitmap->Canvas()->TextExtent(info->GetDisplayText());
    TRect box{0, 0, extent.cx + 10, extent.cy + 2 + 10};
    OffsetRect(box, area.Left + (area.Width() - extent.cx) / 2 - 5,
               area.Top + (area.Height() - extent.cy - 2) / 2 - 5);

    const auto fills = log.OfKind(TDrawKind::FillRect);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(TRect(fills[0]->Rect), box);
    EXPECT_EQ(fills[0]->Color, ColorToRGB(grid->Color()));
    const auto texts = log.OfKind(TDrawKind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->Text, info->GetDisplayText());
    EXPECT_EQ(texts[0]->Color, ColorToRGB(clGray));

    const auto frames = log.OfKind(TDrawKind::FrameRect);
    ASSERT_EQ(frames.size(), c.extendVertLines ? 1u : 0u);
    if (c.extendVertLines) {
      TRect outer = box;
      InflateRect(outer, 1, 1);
      EXPECT_EQ(TRect(frames[0]->Rect), outer);
      EXPECT_EQ(frames[0]->Color, ColorToRGB(BlendColors(clGray, grid->Color(), 192)));
    }
  }
}

TEST_F(DBGridEmptyData, ParentFontFallsOffWhenTheFontChanges) {
  TGridEmptyDataInfoEh* info = grid->EmptyDataInfo();
  ASSERT_TRUE(info->ParentFont());
  EXPECT_FALSE(info->IsFontStored());
  grid->Font()->SetSize(14);
  grid->Font()->SetName("Courier New");
  info->RefreshFont();
  EXPECT_TRUE(info->ParentFont());
  EXPECT_EQ(info->Font()->Size(), 14);
  EXPECT_EQ(info->Font()->Name(), "Courier New");
  EXPECT_EQ(info->Font()->Color(), clGray);  // the colour is its own

  info->Font()->SetSize(20);
  EXPECT_FALSE(info->ParentFont());
  EXPECT_TRUE(info->IsFontStored());
  grid->Font()->SetSize(9);
  info->RefreshFont();
  EXPECT_EQ(info->Font()->Size(), 20);

  info->SetParentFont(true);
  EXPECT_EQ(info->Font()->Size(), 9);
  EXPECT_TRUE(info->ParentFont());
}
