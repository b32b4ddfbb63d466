#include "grid/foundation/GridLineBatchEh.h"

#include <algorithm>

void TGridLineBatchEh::AddSegment(TColor Color, bool DrawFirst, TPoint A, TPoint B) {
  if (!segments_.empty()) {
    TSegment& last = segments_.back();
    const bool bothVertical = last.A.X == last.B.X && A.X == B.X;
    const bool bothHorizontal = last.A.Y == last.B.Y && A.Y == B.Y;
    if (last.Color == Color && last.DrawFirst == DrawFirst && last.B == A &&
        (bothVertical || bothHorizontal)) {
      last.B = B;
      return;
    }
  }
  segments_.push_back({Color, DrawFirst, A, B});
}

void TGridLineBatchEh::AddVertLine(int X, int Y1, int Y2, int Width, TColor Color, bool DrawFirst) {
  for (int k = 0; k < Width; ++k) AddSegment(Color, DrawFirst, TPoint{X + k, Y1}, TPoint{X + k, Y2});
}

void TGridLineBatchEh::AddHorzLine(int Y, int X1, int X2, int Width, TColor Color, bool DrawFirst) {
  for (int k = 0; k < Width; ++k) AddSegment(Color, DrawFirst, TPoint{X1, Y + k}, TPoint{X2, Y + k});
}

void TGridLineBatchEh::Append(TGridLineBatchEh& Other) {
  segments_.insert(segments_.end(), Other.segments_.begin(), Other.segments_.end());
  Other.segments_.clear();
}

void TGridLineBatchEh::Flush(TCanvas* Canvas, std::optional<int> MirrorWidth) {
  for (const bool drawFirst : {true, false}) {
    colors_.clear();
    for (const TSegment& s : segments_)
      if (s.DrawFirst == drawFirst && std::find(colors_.begin(), colors_.end(), s.Color) == colors_.end())
        colors_.push_back(s.Color);
    for (const TColor color : colors_) {
      points_.clear();
      for (const TSegment& s : segments_)
        if (s.DrawFirst == drawFirst && s.Color == color) {
          points_.push_back(s.A);
          points_.push_back(s.B);
        }
      Canvas->Pen()->SetStyle(psSolid);
      Canvas->Pen()->SetWidth(1);
      Canvas->Pen()->SetColor(color);
      DrawSegments(Canvas, points_, MirrorWidth);
    }
  }
  segments_.clear();
}

void TGridLineBatchEh::DrawSegments(TCanvas* Canvas, const std::vector<TPoint>& Points,
                                    std::optional<int> MirrorWidth) {
  const size_t n = Points.size() / 2;
  if (n == 0) return;
  std::vector<POINT> pts(Points.begin(), Points.begin() + static_cast<std::ptrdiff_t>(n * 2));
  // A one-pixel line keeps its pixel: the mirror of x is Width - 1 - x.
  if (MirrorWidth)
    for (POINT& p : pts) p.X = *MirrorWidth - 1 - p.X;
  std::vector<DWORD> counts(n, 2);
  Canvas->RequiredState(TCanvasState{csHandleValid, csPenValid});
  PolyPolyline(Canvas->Handle(), pts.data(), counts.data(), static_cast<DWORD>(n));
}
