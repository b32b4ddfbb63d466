#pragma once
// The grid lines of one part of a paint, gathered so that each colour costs one drawing call:
// a column's or row's line that runs on from cell to cell joins into one segment, and a flush
// draws the segments of each colour with a single poly-polyline.
#include <optional>
#include <vector>

#include "platform/vcl/Graphics.h"

class TGridLineBatchEh {
 public:
  // A one-pixel segment from A to B (B not drawn). It extends the last segment instead when
  // that one has the same colour and pass, ends at A and runs in the same direction.
  void AddSegment(TColor Color, bool DrawFirst, TPoint A, TPoint B);
  // A vertical line Width pixels wide, its pixel columns X .. X + Width - 1, from Y1 to Y2.
  void AddVertLine(int X, int Y1, int Y2, int Width, TColor Color, bool DrawFirst);
  // A horizontal line Width pixels high, its pixel rows Y .. Y + Width - 1, from X1 to X2.
  void AddHorzLine(int Y, int X1, int X2, int Width, TColor Color, bool DrawFirst);
  // Moves Other's segments after these as they are (without joining) and empties Other.
  void Append(TGridLineBatchEh& Other);

  bool Empty() const { return segments_.empty(); }
  int SegmentCount() const { return static_cast<int>(segments_.size()); }

  // Draws the segments with a solid one-pixel pen and empties the batch. Segments marked
  // DrawFirst go first, so that the others cross over them; within each pass one call per
  // colour, the colours in the order of their first segment, the segments in the order added.
  // With MirrorWidth, x becomes *MirrorWidth - 1 - x (right-to-left painting).
  void Flush(TCanvas* Canvas, std::optional<int> MirrorWidth);

  // The point pairs (Points[2i], Points[2i + 1]) as separate segments in one call with the
  // canvas pen, mirrored as in Flush; an odd last point is ignored.
  static void DrawSegments(TCanvas* Canvas, const std::vector<TPoint>& Points,
                           std::optional<int> MirrorWidth);

 private:
  struct TSegment {
    TColor Color;
    bool DrawFirst;
    TPoint A, B;
  };
  std::vector<TSegment> segments_;
  // Scratch of Flush, kept to spare allocations from one flush to the next.
  std::vector<TColor> colors_;
  std::vector<TPoint> points_;
};
