// The recorder: every drawing entry point logs what it was asked, in logical and device
// coordinates, with the DC's colours and modes.
#include <gtest/gtest.h>

#include <functional>

#include "tests/platform/gdi/BitmapCanvas.h"

namespace {

TEST(RecorderTest, EachEntryPointRecordsItself) {
  struct Case {
    const char* note;
    TDrawKind kind;
    std::function<void(HDC, HDC)> call;
  };
  const RECT r{1, 2, 5, 6};
  const POINT pts[] = {{0, 0}, {4, 0}, {4, 4}};
  const Case cases[] = {
      {"FillRect", TDrawKind::FillRect,
       [&](HDC dc, HDC) { FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))); }},
      {"FrameRect", TDrawKind::FrameRect,
       [&](HDC dc, HDC) { FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))); }},
      {"InvertRect", TDrawKind::InvertRect, [&](HDC dc, HDC) { InvertRect(dc, &r); }},
      {"DrawFocusRect", TDrawKind::FocusRect, [&](HDC dc, HDC) { DrawFocusRect(dc, &r); }},
      {"Rectangle", TDrawKind::Rectangle, [&](HDC dc, HDC) { Rectangle(dc, 1, 2, 5, 6); }},
      {"RoundRect", TDrawKind::RoundRect, [&](HDC dc, HDC) { RoundRect(dc, 1, 2, 5, 6, 2, 2); }},
      {"Ellipse", TDrawKind::Ellipse, [&](HDC dc, HDC) { Ellipse(dc, 1, 2, 5, 6); }},
      {"LineTo", TDrawKind::Line, [&](HDC dc, HDC) { LineTo(dc, 3, 3); }},
      {"Polyline", TDrawKind::Polyline, [&](HDC dc, HDC) { Polyline(dc, pts, 3); }},
      {"Polygon", TDrawKind::Polygon, [&](HDC dc, HDC) { Polygon(dc, pts, 3); }},
      {"SetPixel", TDrawKind::Pixel, [&](HDC dc, HDC) { SetPixel(dc, 1, 1, kRed); }},
      {"BitBlt", TDrawKind::Blt, [&](HDC dc, HDC src) { BitBlt(dc, 1, 2, 4, 4, src, 0, 0, SRCCOPY); }},
      {"StretchBlt", TDrawKind::Blt,
       [&](HDC dc, HDC src) { StretchBlt(dc, 1, 2, 4, 4, src, 0, 0, 2, 2, SRCCOPY); }},
      {"PatBlt", TDrawKind::Blt, [&](HDC dc, HDC) { PatBlt(dc, 1, 2, 4, 4, PATCOPY); }},
      {"TransparentBlt", TDrawKind::Blt,
       [&](HDC dc, HDC src) { TransparentBlt(dc, 1, 2, 4, 4, src, 0, 0, 2, 2, 0); }},
      {"AlphaBlend", TDrawKind::Blt,
       [&](HDC dc, HDC src) { AlphaBlend(dc, 1, 2, 4, 4, src, 0, 0, 2, 2, BLENDFUNCTION{}); }},
      {"IntersectClipRect", TDrawKind::ClipChange, [&](HDC dc, HDC) { IntersectClipRect(dc, 1, 2, 5, 6); }},
      {"ExcludeClipRect", TDrawKind::ClipChange, [&](HDC dc, HDC) { ExcludeClipRect(dc, 1, 2, 5, 6); }},
      {"SetViewportOrgEx", TDrawKind::MappingChange,
       [&](HDC dc, HDC) { SetViewportOrgEx(dc, 1, 1, nullptr); }},
      {"SetLayout", TDrawKind::MappingChange, [&](HDC dc, HDC) { SetLayout(dc, LAYOUT_RTL); }},
  };
  TBitmapCanvas src(4, 4);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    TBitmapCanvas canvas(8, 8);
    TDrawLog log;
    AttachDrawRecorder(canvas.Dc(), &log);
    EXPECT_EQ(GetDrawRecorder(canvas.Dc()), &log);
    c.call(canvas.Dc(), src.Dc());
    ASSERT_EQ(log.Calls.size(), 1u);
    EXPECT_EQ(log.Calls[0].Kind, c.kind);
    EXPECT_EQ(log.Calls[0].Note, c.note);
    AttachDrawRecorder(canvas.Dc(), nullptr);
  }
}

TEST(RecorderTest, CallsCarryCoordinatesAndAttributes) {
  TBitmapCanvas canvas(16, 16);
  TDrawLog log;
  AttachDrawRecorder(canvas.Dc(), &log);
  SetViewportOrgEx(canvas.Dc(), 3, 4, nullptr);
  TSelected pen(canvas.Dc(), CreatePen(PS_DOT, 1, kRed));
  TSelected brush(canvas.Dc(), CreateSolidBrush(kBlue));
  SetBkMode(canvas.Dc(), TRANSPARENT);
  SetROP2(canvas.Dc(), R2_XORPEN);
  log.Clear();
  Rectangle(canvas.Dc(), 1, 1, 5, 6);
  MoveToEx(canvas.Dc(), 2, 2, nullptr);
  LineTo(canvas.Dc(), 7, 2);
  BitBlt(canvas.Dc(), 0, 0, 2, 2, nullptr, 0, 0, DSTINVERT);
  ASSERT_EQ(log.Calls.size(), 3u);
  const TDrawCall& rect = log.Calls[0];
  EXPECT_EQ(rect.Rect, (RECT{1, 1, 5, 6}));
  EXPECT_EQ(rect.DeviceRect, (RECT{4, 5, 8, 10}));
  EXPECT_EQ(rect.Color, kBlue);
  EXPECT_EQ(rect.PenStyle, PS_DOT);
  EXPECT_EQ(rect.PenWidth, 1);
  EXPECT_EQ(rect.BkMode, TRANSPARENT);
  EXPECT_EQ(rect.Rop2, R2_XORPEN);
  const TDrawCall& line = log.Calls[1];
  EXPECT_EQ(line.Points, (std::vector<POINT>{{2, 2}, {7, 2}}));
  EXPECT_EQ(line.Color, kRed);
  EXPECT_EQ(log.Calls[2].Flags, DSTINVERT);
  EXPECT_EQ(log.OfKind(TDrawKind::Line).size(), 1u);
  AttachDrawRecorder(canvas.Dc(), nullptr);
}

TEST(RecorderTest, NothingIsRecordedWithoutARecorder) {
  TBitmapCanvas canvas(8, 8);
  TDrawLog log;
  AttachDrawRecorder(canvas.Dc(), &log);
  AttachDrawRecorder(canvas.Dc(), nullptr);
  Rectangle(canvas.Dc(), 0, 0, 4, 4);
  EXPECT_TRUE(log.Calls.empty());
  EXPECT_EQ(GetDrawRecorder(canvas.Dc()), nullptr);
  AttachDrawRecorder(nullptr, &log);  // an invalid DC is ignored
  EXPECT_EQ(GetDrawRecorder(nullptr), nullptr);
}

TEST(RecorderTest, PolyPolylineRecordsEachPart) {
  TBitmapCanvas canvas(8, 8);
  TDrawLog log;
  AttachDrawRecorder(canvas.Dc(), &log);
  const POINT pts[] = {{0, 0}, {3, 0}, {0, 2}, {3, 2}, {3, 5}};
  const DWORD counts[] = {2, 3};
  PolyPolyline(canvas.Dc(), pts, counts, 2);
  ASSERT_EQ(log.Calls.size(), 2u);
  EXPECT_EQ(log.Calls[1].Points.size(), 3u);
  EXPECT_EQ(log.Calls[1].Rect, (RECT{0, 2, 3, 5}));
  AttachDrawRecorder(canvas.Dc(), nullptr);
}

}  // namespace
