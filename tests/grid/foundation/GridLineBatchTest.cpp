// The grid line batch on a bitmap with the recording device context: which segments join, and
// in which order the colours and segments reach the device.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "grid/foundation/GridLineBatchEh.h"
#include "platform/gdi/DrawRecorder.h"
#include "platform/vcl/VclTesting.h"

namespace {

// One drawn segment as the device saw it.
struct TSeenSegment {
  TColor Color;
  TPoint A, B;
  bool operator==(const TSeenSegment&) const = default;
};

void PrintTo(const TSeenSegment& S, std::ostream* Os) {
  *Os << "{" << std::hex << S.Color << std::dec << " " << S.A.X << "," << S.A.Y << " -> " << S.B.X << ","
      << S.B.Y << "}";
}

class GridLineBatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(100, 100);
  }
  void TearDown() override { ResetVcl(); }

  // Flushes the batch into the bitmap and answers what was drawn, in order.
  std::vector<TSeenSegment> Flush(std::optional<int> MirrorWidth = std::nullopt) {
    TDrawLog log;
    HDC dc = bitmap->Canvas()->Handle();
    AttachDrawRecorder(dc, &log);
    batch.Flush(bitmap->Canvas(), MirrorWidth);
    AttachDrawRecorder(dc, nullptr);
    std::vector<TSeenSegment> seen;
    for (const TDrawCall& c : log.Calls) {
      EXPECT_EQ(c.Kind, TDrawKind::Polyline);
      EXPECT_EQ(c.Note, "PolyPolyline");
      EXPECT_EQ(c.Points.size(), 2u);
      if (c.Points.size() == 2) seen.push_back({static_cast<TColor>(c.Color), c.Points[0], c.Points[1]});
    }
    return seen;
  }

  std::unique_ptr<TBitmap> bitmap;
  TGridLineBatchEh batch;
};

constexpr TColor kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;

TEST_F(GridLineBatchTest, FirstPassThenColoursInOrderOfTheirFirstSegment) {
  EXPECT_TRUE(Flush().empty()) << "an empty batch draws nothing";
  batch.AddSegment(kRed, false, {0, 0}, {0, 10});
  batch.AddSegment(kBlue, true, {5, 0}, {5, 10});
  batch.AddSegment(kRed, false, {20, 0}, {20, 10});
  batch.AddSegment(kGreen, true, {0, 30}, {10, 30});
  batch.AddSegment(kBlue, true, {0, 40}, {10, 40});
  batch.AddSegment(kGreen, false, {0, 50}, {10, 50});
  // Segments marked to go first, blue before green as blue came first; then the rest.
  const std::vector<TSeenSegment> expected = {
      {kBlue, {5, 0}, {5, 10}}, {kBlue, {0, 40}, {10, 40}}, {kGreen, {0, 30}, {10, 30}},
      {kRed, {0, 0}, {0, 10}},  {kRed, {20, 0}, {20, 10}},  {kGreen, {0, 50}, {10, 50}},
  };
  EXPECT_EQ(Flush(), expected);
  EXPECT_TRUE(batch.Empty());
  EXPECT_TRUE(Flush().empty()) << "a flush empties the batch";
}

TEST_F(GridLineBatchTest, SegmentJoinsOnlyTheOneItContinues) {
  struct Case {
    const char* id;
    TColor color;
    bool drawFirst;
    TPoint a, b;
    int segments;  // after adding it to a red vertical segment (10, 0) -> (10, 20)
  };
  const Case cases[] = {
      {"continues", kRed, false, {10, 20}, {10, 30}, 1},
      {"other-colour", kBlue, false, {10, 20}, {10, 30}, 2},
      {"other-pass", kRed, true, {10, 20}, {10, 30}, 2},
      {"gap", kRed, false, {10, 21}, {10, 30}, 2},
      {"turns", kRed, false, {10, 20}, {30, 20}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    batch.AddSegment(kRed, false, {10, 0}, {10, 20});
    batch.AddSegment(c.color, c.drawFirst, c.a, c.b);
    EXPECT_EQ(batch.SegmentCount(), c.segments);
    Flush();
  }
}

TEST_F(GridLineBatchTest, WideLinesAreOnePixelSegmentsSideBySide) {
  batch.AddVertLine(10, 0, 20, 2, kRed, false);
  batch.AddHorzLine(30, 0, 40, 3, kBlue, false);
  batch.AddVertLine(10, 20, 25, 0, kRed, false);  // no width: nothing
  const std::vector<TSeenSegment> expected = {
      {kRed, {10, 0}, {10, 20}},  {kRed, {11, 0}, {11, 20}},  {kBlue, {0, 30}, {40, 30}},
      {kBlue, {0, 31}, {40, 31}}, {kBlue, {0, 32}, {40, 32}},
  };
  EXPECT_EQ(Flush(), expected);
}

TEST_F(GridLineBatchTest, AppendKeepsTheSegmentsAsTheyAre) {
  TGridLineBatchEh column;
  column.AddVertLine(10, 0, 20, 1, kRed, false);
  batch.AddVertLine(10, 20, 40, 1, kRed, false);
  batch.Append(column);
  EXPECT_TRUE(column.Empty());
  EXPECT_EQ(batch.SegmentCount(), 2) << "no joining across an append";
  const std::vector<TSeenSegment> expected = {{kRed, {10, 20}, {10, 40}}, {kRed, {10, 0}, {10, 20}}};
  EXPECT_EQ(Flush(), expected);
}

TEST_F(GridLineBatchTest, MirrorKeepsTheLinesPixel) {
  batch.AddVertLine(0, 0, 10, 1, kRed, false);
  batch.AddHorzLine(5, 10, 30, 1, kRed, false);
  const std::vector<TSeenSegment> expected = {{kRed, {99, 0}, {99, 10}}, {kRed, {89, 5}, {69, 5}}};
  EXPECT_EQ(Flush(100), expected);
  EXPECT_EQ(bitmap->Canvas()->Pixels(99, 4), kRed);
}

}  // namespace
