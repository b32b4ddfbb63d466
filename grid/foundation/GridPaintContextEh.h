#pragma once
// What the steps of the base grid's Paint share: the layout, the area to paint, the cells of
// each band that meet it, the grid state the cells are drawn in and the lines waiting to be
// drawn. Descendants that override a step include this header.
#include <array>
#include <vector>

#include "grid/foundation/GridLineBatchEh.h"
#include "grid/foundation/GridsEh.h"

// The bands of an axis in screen order, for walking them.
inline constexpr std::array<TGridAxisBandEh, 4> kGridAxisBandsEh = {abFixedEh, abFrozenEh, abDataEh,
                                                                    abContraEh};

// One shown cell of an axis: where it starts, its extent and the room it takes (extent plus
// line), all in left-to-right client pixels.
struct TGridShownCellEh {
  int Index = 0;
  int Start = 0;
  int Extent = 0;
  int Room = 0;
};

// The cells of one band that meet the area to paint, in screen order.
struct TGridBandCellsEh {
  int Lo = 0;  // the band's area on its axis, inside the client
  int Hi = 0;
  std::vector<TGridShownCellEh> Cells;
};

// The cells of each band of one axis, by TGridAxisBandEh.
using TGridAxisBandCellsEh = std::array<TGridBandCellsEh, kGridAxisBandsEh.size()>;

// One paint's state, made by its first steps and read by the others. Pixel values are
// left-to-right client coordinates; ToScreen mirrors them when painting right to left.
struct TGridPaintContextEh {
  TGridDrawInfoEh DrawInfo;
  TRect Clip{};  // the area to paint
  bool RightToLeft = false;
  bool BackgroundVisible = false;  // the picture lies behind the data cells, so they are not filled
  TGridAxisBandCellsEh Cols, Rows;

  // The grid's state when the cell walk began, the same for every band.
  TGridOptionsEh Options;
  TGridRect Selection;
  bool Focused = false;
  bool EditorCovers = false;  // the shown in-place editor covers the current cell
  TGridHotTrackSpotEh HotTrack;

  // Lines waiting for the next flush. A band's vertical lines gather per shown column first,
  // so that a column's line joins into one segment.
  TGridLineBatchEh Lines;
  std::vector<TGridLineBatchEh> ColumnLines;

  const TGridBandCellsEh& ColBand(TGridAxisBandEh Band) const { return Cols[static_cast<size_t>(Band)]; }
  const TGridBandCellsEh& RowBand(TGridAxisBandEh Band) const { return Rows[static_cast<size_t>(Band)]; }
  // The width of the vertical lines (between columns) and of the horizontal ones; 0: none.
  int VertLineWidth() const { return DrawInfo.Horz.EffectiveLineWidth; }
  int HorzLineWidth() const { return DrawInfo.Vert.EffectiveLineWidth; }
  // The rectangle a column band and a row band share.
  TRect BandRect(TGridAxisBandEh ColBand, TGridAxisBandEh RowBand) const;
  // The part of BandRect inside the area to paint; false when there is none or either band
  // shows no cell there.
  bool GetBandArea(TGridAxisBandEh ColBand, TGridAxisBandEh RowBand, TRect& Area) const;
  // A client rectangle as the canvas takes it: mirrored when painting right to left.
  TRect ToScreen(const TRect& R) const;
};
