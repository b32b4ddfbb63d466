#pragma once
// Points, sizes and rectangles. A rectangle excludes its right and bottom edges.
#include <vector>

#include "platform/rtl/Types.h"

struct TPoint {
  Integer X = 0;
  Integer Y = 0;
  bool operator==(const TPoint&) const = default;
};

struct TSize {
  Integer cx = 0;
  Integer cy = 0;
  bool operator==(const TSize&) const = default;
};

struct TRect {
  Integer Left = 0;
  Integer Top = 0;
  Integer Right = 0;
  Integer Bottom = 0;

  Integer Width() const { return Right - Left; }
  Integer Height() const { return Bottom - Top; }
  TPoint TopLeft() const { return {Left, Top}; }
  TPoint BottomRight() const { return {Right, Bottom}; }
  bool operator==(const TRect&) const = default;
};

inline TPoint Point(Integer x, Integer y) { return {x, y}; }
inline TRect Rect(Integer left, Integer top, Integer right, Integer bottom) { return {left, top, right, bottom}; }
inline TRect Bounds(Integer left, Integer top, Integer width, Integer height) {
  return {left, top, left + width, top + height};
}

// A rectangle is empty when it has no area.
inline bool IsRectEmpty(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }
inline bool EqualRect(const TRect& a, const TRect& b) { return a == b; }
inline bool PtInRect(const TRect& r, const TPoint& p) {
  return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}
inline void OffsetRect(TRect& r, Integer dx, Integer dy) {
  r.Left += dx;
  r.Right += dx;
  r.Top += dy;
  r.Bottom += dy;
}
inline void InflateRect(TRect& r, Integer dx, Integer dy) {
  r.Left -= dx;
  r.Right += dx;
  r.Top -= dy;
  r.Bottom += dy;
}
inline void SetRectEmpty(TRect& r) { r = TRect{}; }

// Intersection; answers false and sets `dst` empty when the two do not overlap.
bool IntersectRect(TRect& dst, const TRect& a, const TRect& b);
// Smallest rectangle holding both; an empty operand is ignored.
bool UnionRect(TRect& dst, const TRect& a, const TRect& b);
// The parts of `a` outside `b`: up to four non-overlapping rectangles
// (a band above, a band below, then the left and right pieces between them).
std::vector<TRect> SubtractRect(const TRect& a, const TRect& b);

// (a * b) / c rounded to the nearest integer, halves away from zero; -1 when c is 0.
Integer MulDiv(Integer a, Integer b, Integer c);
