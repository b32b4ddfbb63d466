// The base grid's painting: the cell walk over the visible fixed, frozen, data and contra
// areas, the batched grid lines, the focus rectangle, the empty space, the out-boundary
// strips and the background picture. Paint is a list of steps over one TGridPaintContextEh.
//
// Paint works in left-to-right client coordinates and mirrors at the edge: cell rectangles
// handed to DrawCell and clip rectangles are mirrored, and DrawPolyline/DrawLineSegments
// mirror their points (x becomes ClientWidth - 1 - x, so a one-pixel line keeps its pixel).
#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <optional>

#include "grid/foundation/DrawRoutinesEh.h"
#include "grid/foundation/GridInternalEh.h"
#include "grid/foundation/GridLineBatchEh.h"
#include "grid/foundation/GridPaintContextEh.h"
#include "grid/foundation/GridsEh.h"
#include "grid/foundation/InplaceEditEh.h"
#include "platform/rtl/ScopeGuard.h"

using grid_internal::MirrorRect;
using grid_internal::Saturate;

namespace {

// The cells of one band that meet [ClipLo, ClipHi); the walk starts at the band's first cell
// and ends at the band's end, so only what shows is visited whatever the cell count.
void CollectBand(const TGridAxisDrawInfoEh& A, int First, int Last, int64_t Pos, int Lo, int Hi, int ClipLo,
                 int ClipHi, TGridBandCellsEh& Out) {
  Out.Lo = std::max(Lo, 0);
  Out.Hi = std::min(Hi, A.GridExtent);
  Out.Cells.clear();
  if (Out.Hi <= Out.Lo) return;
  const int stop = std::min(Out.Hi, ClipHi);
  for (int i = First; i < Last && Pos < stop; ++i) {
    const int room = A.GetExtentWithLine(i);
    const int64_t next = Pos + room;
    if (room > 0 && next > std::max(Out.Lo, ClipLo))
      Out.Cells.push_back({i, Saturate(Pos), std::max(0, A.GetExtent(i)), room});
    Pos = next;
  }
}

void CollectAxis(const TGridAxisDrawInfoEh& A, int ClipLo, int ClipHi, TGridAxisBandCellsEh& Bands) {
  auto band = [&](TGridAxisBandEh B) -> TGridBandCellsEh& { return Bands[static_cast<size_t>(B)]; };
  const int firstFrozen = A.FixedCellCount - A.FrozenCellCount;
  int64_t pos = A.StartBoundary;
  for (int i = 0; i < firstFrozen; ++i) pos += A.GetExtentWithLine(i);
  CollectBand(A, 0, firstFrozen, A.StartBoundary, A.StartBoundary, A.FrozenBoundary, ClipLo, ClipHi,
              band(abFixedEh));
  CollectBand(A, firstFrozen, A.FixedCellCount, pos, A.FrozenBoundary, A.FixedBoundary, ClipLo, ClipHi,
              band(abFrozenEh));
  CollectBand(A, std::max(A.FirstGridCell, A.FixedCellCount), A.GridCellCount,
              static_cast<int64_t>(A.FixedBoundary) - A.GridScrollOffset, A.FixedBoundary, A.ContraBoundary,
              ClipLo, ClipHi, band(abDataEh));
  CollectBand(A, A.GridCellCount, A.FullCellCount, A.ContraBoundary, A.ContraBoundary, A.GridBoundary, ClipLo,
              ClipHi, band(abContraEh));
}

}  // namespace

// --- lines -------------------------------------------------------------------------------------------

void TCustomGridEh::GetCellLineParams(int ACol, int ARow, int Side, bool& DrawFirst, TColor& Color,
                                      bool& Visible) {
  DrawFirst = true;
  const TGridOptionsEh opts = Options();
  Visible = (Side == lsLeftLineEh || Side == lsRightLineEh) ? opts.Contains(goVertLineEh)
                                                            : opts.Contains(goHorzLineEh);
  TGridLineColorsEh* colors = GridLineColors();
  const bool fixedCell = ACol < fixedCols_ || ARow < fixedRows_;
  Color = fixedCell ? colors->GetBrightColor() : colors->GetDarkColor();
}

void TCustomGridEh::DrawPolyline(const std::vector<TPoint>& Points, int LastIndex) {
  const int count = std::min(LastIndex + 1, static_cast<int>(Points.size()));
  if (count < 2) return;
  std::vector<TPoint> pts(Points.begin(), Points.begin() + count);
  if (UseRightToLeftAlignment()) {
    const int w = ClientWidth();
    for (TPoint& p : pts) p.X = w - 1 - p.X;
  }
  Canvas()->Polyline(pts);
}

void TCustomGridEh::DrawLineSegments(const std::vector<TPoint>& Points) {
  TGridLineBatchEh::DrawSegments(
      Canvas(), Points, UseRightToLeftAlignment() ? std::optional<int>(ClientWidth()) : std::nullopt);
}

void TCustomGridEh::FillGradientRect(const TRect& ARect, TColor FromColor, TColor ToColor) {
  FillGradient(Canvas(), UseRightToLeftAlignment() ? MirrorRect(ARect, ClientWidth()) : ARect, FromColor,
               ToColor);
}

// --- areas around the cells ------------------------------------------------------------------------------

void TCustomGridEh::DrawTopOutBoundaryData(const TRect& ARect) {
  Canvas()->Brush()->SetColor(FixedColor());
  Canvas()->FillRect(ARect);
}

void TCustomGridEh::DrawLeftOutBoundaryData(const TRect& ARect) {
  Canvas()->Brush()->SetColor(FixedColor());
  Canvas()->FillRect(ARect);
}

void TCustomGridEh::DrawBottomOutBoundaryData(const TRect& ARect) {
  Canvas()->Brush()->SetColor(FixedColor());
  Canvas()->FillRect(ARect);
}

void TCustomGridEh::DrawRightOutBoundaryData(const TRect& ARect) {
  Canvas()->Brush()->SetColor(FixedColor());
  Canvas()->FillRect(ARect);
}

void TCustomGridEh::DrawEmptySpace(const TGridDrawInfoEh& DrawInfo) {
  const TGridAxisDrawInfoEh& h = DrawInfo.Horz;
  const TGridAxisDrawInfoEh& v = DrawInfo.Vert;
  // The strips beside and below the cells are not empty space.
  const int right = std::min(h.GridExtent, h.GridBoundary + outBoundaryData_->RightIndent());
  const int bottom = std::min(v.GridExtent, v.GridBoundary + outBoundaryData_->BottomIndent());
  TCanvas* c = Canvas();
  c->Brush()->SetColor(Color());
  const bool rtl = UseRightToLeftAlignment();
  auto fill = [&](TRect r) {
    if (IsRectEmpty(r)) return;
    c->FillRect(rtl ? MirrorRect(r, h.GridExtent) : r);
  };
  fill(TRect{right, 0, h.GridExtent, v.GridExtent});
  fill(TRect{0, bottom, right, v.GridExtent});
}

bool TCustomGridEh::IsBackgroundVisible() {
  return BackgroundData()->Showing();
}

void TCustomGridEh::DrawBackground(const TGridDrawInfoEh& DrawInfo) {
  TGridBackgroundDataEh* bg = BackgroundData();
  TGraphic* graphic = bg->Picture()->Graphic();
  if (!graphic || graphic->Empty()) return;
  TCanvas* c = Canvas();
  const bool rtl = UseRightToLeftAlignment();
  const int w = DrawInfo.Horz.GridExtent;
  // The picture lies behind the scrollable cells and the empty space beyond them.
  const TRect area{DrawInfo.Horz.FixedBoundary, DrawInfo.Vert.FixedBoundary, w, DrawInfo.Vert.GridExtent};
  if (IsRectEmpty(area)) return;
  c->Brush()->SetColor(Color());
  c->FillRect(rtl ? MirrorRect(area, w) : area);
  TRect pic;
  bg->GetBackgroundRect(DrawInfo, pic);
  if (IsRectEmpty(pic)) return;
  // A tile without extent would never advance.
  if (bg->Placement() == ipTileEh && (graphic->Width() <= 0 || graphic->Height() <= 0)) return;
  HRGN saved = SelectClipRectangle(c, rtl ? MirrorRect(area, w) : area);
  TScopeExit restoreClip([&] { RestoreClipRegion(c, saved); });
  if (bg->Placement() == ipTileEh) {
    const int gw = graphic->Width(), gh = graphic->Height();
    // Only the tiles that meet the area are drawn (negative margins make the tiled rectangle
    // far larger than the window).
    auto firstTile = [](int Start, int Visible, int Step) {
      return Visible <= Start ? Start : Start + (Visible - Start) / Step * Step;
    };
    const int endX = std::min(pic.Right, area.Right), endY = std::min(pic.Bottom, area.Bottom);
    for (int y = firstTile(pic.Top, area.Top, gh); y < endY; y += gh)
      for (int x = firstTile(pic.Left, area.Left, gw); x < endX; x += gw) {
        const TRect tile{x, y, x + gw, y + gh};
        const TRect t = rtl ? MirrorRect(tile, w) : tile;
        c->Draw(t.Left, t.Top, graphic);
      }
  } else {
    const TRect r = rtl ? MirrorRect(pic, w) : pic;
    if (r.Width() == graphic->Width() && r.Height() == graphic->Height())
      c->Draw(r.Left, r.Top, graphic);
    else
      c->StretchDraw(r, graphic);
  }
}

bool TCustomGridEh::FocusRectangleShown() {
  if (ComponentState().Contains(csDesigning) || !Focused()) return false;
  const TGridOptionsEh opts = Options();
  // The editor shows the focus itself.
  return !(editorMode_ && opts.Contains(goEditingEh) && !opts.Contains(goRowSelectEh));
}

bool TCustomGridEh::GetFocusRectangle(const TGridDrawInfoEh& DrawInfo, TRect& ARect) {
  if (Options().Contains(goRowSelectEh)) {
    const TGridRect sel = Selection();
    ARect = CalcBoxRect(DrawInfo, fixedCols_, sel.Top, colCount_ - 1, sel.Bottom);
  } else {
    ARect = CalcBoxRect(DrawInfo, curCol_, curRow_, curCol_, curRow_);
  }
  return !IsRectEmpty(ARect);
}

void TCustomGridEh::InvalidateFocusRectangle() {
  if (!HandleAllocated()) return;
  TGridDrawInfoEh di;
  CalcDrawInfo(di);
  TRect r;
  if (GetFocusRectangle(di, r)) ::InvalidateRect(Handle(), &r, FALSE);
}

void TCustomGridEh::DrawFocusRectangle(const TGridDrawInfoEh& DrawInfo) {
  TRect r;
  if (!FocusRectangleShown() || !GetFocusRectangle(DrawInfo, r)) return;
  // A cell partly scrolled under the fixed or frozen cells keeps its frame to the data area.
  const TGridAxisDrawInfoEh& h = DrawInfo.Horz;
  const TGridAxisDrawInfoEh& v = DrawInfo.Vert;
  TRect area{h.FixedBoundary, v.FixedBoundary, h.ContraBoundary, v.ContraBoundary};
  if (UseRightToLeftAlignment()) area = MirrorRect(area, h.GridExtent);
  TCanvas* c = Canvas();
  HRGN saved = SelectClipRectangle(c, area);
  TScopeExit restoreClip([&] { RestoreClipRegion(c, saved); });
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(Color());
  c->DrawFocusRect(r);
}

// --- the paint context ------------------------------------------------------------------------------------

TRect TGridPaintContextEh::BandRect(TGridAxisBandEh ColBand, TGridAxisBandEh RowBand) const {
  const TGridBandCellsEh& cols = this->ColBand(ColBand);
  const TGridBandCellsEh& rows = this->RowBand(RowBand);
  return TRect{cols.Lo, rows.Lo, cols.Hi, rows.Hi};
}

bool TGridPaintContextEh::GetBandArea(TGridAxisBandEh ColBand, TGridAxisBandEh RowBand, TRect& Area) const {
  if (this->ColBand(ColBand).Cells.empty() || this->RowBand(RowBand).Cells.empty()) return false;
  return IntersectRect(Area, BandRect(ColBand, RowBand), Clip);
}

TRect TGridPaintContextEh::ToScreen(const TRect& R) const {
  return RightToLeft ? MirrorRect(R, DrawInfo.Horz.GridExtent) : R;
}

// --- the steps -------------------------------------------------------------------------------------------

void TCustomGridEh::Paint() {
  if (paintLock_ > 0) return;
  TGridPaintContextEh ctx;
  if (!PreparePaint(ctx)) return;
  PaintBackground(ctx);
  CollectShownCells(ctx);
  // A cell's handler may free the grid: the paint ends there.
  const TLivenessWatch watch = Watch();
  PaintCellBands(ctx);
  if (watch.Gone()) return;
  PaintContraLines(ctx);
  PaintExtendedLines(ctx);
  DrawFocusRectangle(ctx.DrawInfo);
  PaintOutBoundaryStrips();
}

bool TCustomGridEh::PreparePaint(TGridPaintContextEh& Ctx) {
  CalcDrawInfo(Ctx.DrawInfo);
  Ctx.RightToLeft = UseRightToLeftAlignment();
  // Only the cells that meet the area to paint are visited.
  Ctx.Clip = Canvas()->ClipRect();
  if (Ctx.RightToLeft) Ctx.Clip = MirrorRect(Ctx.Clip, Ctx.DrawInfo.Horz.GridExtent);
  return !IsRectEmpty(Ctx.Clip);
}

void TCustomGridEh::PaintBackground(TGridPaintContextEh& Ctx) {
  DrawEmptySpace(Ctx.DrawInfo);
  Ctx.BackgroundVisible = IsBackgroundVisible();
  if (Ctx.BackgroundVisible) DrawBackground(Ctx.DrawInfo);
}

void TCustomGridEh::CollectShownCells(TGridPaintContextEh& Ctx) {
  CollectAxis(Ctx.DrawInfo.Horz, Ctx.Clip.Left, Ctx.Clip.Right, Ctx.Cols);
  CollectAxis(Ctx.DrawInfo.Vert, Ctx.Clip.Top, Ctx.Clip.Bottom, Ctx.Rows);
  Ctx.Options = Options();
  Ctx.Selection = Selection();
  Ctx.Focused = Focused();
  const bool designing = ComponentState().Contains(csDesigning);
  Ctx.EditorCovers = editorMode_ && Ctx.Options.Contains(goEditingEh) && !designing && inplaceEdit_ &&
                     inplaceEdit_->HandleAllocated() && inplaceEdit_->Visible();
  Ctx.HotTrack = hotTrackSpot_;
}

void TCustomGridEh::PaintCellBands(TGridPaintContextEh& Ctx) {
  const TLivenessWatch watch = Watch();
  for (const TGridAxisBandEh rowBand : kGridAxisBandsEh)
    for (const TGridAxisBandEh colBand : kGridAxisBandsEh) {
      TRect area;
      if (Ctx.GetBandArea(colBand, rowBand, area)) PaintCellBand(Ctx, colBand, rowBand);
      if (watch.Gone()) return;
    }
}

void TCustomGridEh::PaintCellBand(TGridPaintContextEh& Ctx, TGridAxisBandEh ColBand,
                                  TGridAxisBandEh RowBand) {
  TRect area;
  if (!Ctx.GetBandArea(ColBand, RowBand, area)) return;
  const TGridBandCellsEh& cb = Ctx.ColBand(ColBand);
  const TGridBandCellsEh& rb = Ctx.RowBand(RowBand);
  const bool fixedBand =
      RowBand == abFixedEh || RowBand == abContraEh || ColBand == abFixedEh || ColBand == abContraEh;
  const int vertLine = Ctx.VertLineWidth(), horzLine = Ctx.HorzLineWidth();
  TCanvas* c = Canvas();
  HRGN saved = SelectClipRectangle(c, Ctx.ToScreen(Ctx.BandRect(ColBand, RowBand)));
  const TLivenessWatch watch = Watch();
  TScopeExit restoreClip(WhileAlive(watch, [&] { RestoreClipRegion(c, saved); }));
  // Line places whose line is not drawn keep the band's colour.
  if (!(Ctx.BackgroundVisible && ColBand == abDataEh && RowBand == abDataEh)) {
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(fixedBand ? FixedColor() : Color());
    c->FillRect(Ctx.ToScreen(area));
  }
  Ctx.ColumnLines.assign(cb.Cells.size(), TGridLineBatchEh{});
  for (const TGridShownCellEh& r : rb.Cells) {
    for (size_t ci = 0; ci < cb.Cells.size(); ++ci) {
      const TGridShownCellEh& col = cb.Cells[ci];
      // The whole cell, also where the band's end cuts it (the band's clip hides the rest): what
      // a cell shows must not depend on where the view ends, since scrolling moves its pixels.
      const TRect cell{col.Start, r.Start, col.Start + col.Extent, r.Start + r.Extent};
      if (IsRectEmpty(cell)) continue;
      // A cell outside what is being repainted (after a scroll, most of them) is left alone.
      const TRect withLines =
          Ctx.ToScreen(TRect{cell.Left, cell.Top, cell.Right + vertLine, cell.Bottom + horzLine});
      if (!RectVisible(c->Handle(), &withLines)) continue;
      const TGridDrawState state = GetCellPaintState(Ctx, col.Index, r.Index, fixedBand);
      const bool current = col.Index == curCol_ && r.Index == curRow_;
      if (!(current && Ctx.EditorCovers)) {
        c->Brush()->SetColor(fixedBand ? FixedColor() : Color());
        c->Brush()->SetStyle(bsSolid);
        DrawCell(col.Index, r.Index, Ctx.ToScreen(cell), state);
        if (watch.Gone()) return;
      }
      bool drawFirst = true, visible = false;
      TColor color = clBlack;
      if (vertLine > 0) {
        GetCellLineParams(col.Index, r.Index, lsRightLineEh, drawFirst, color, visible);
        if (visible)
          Ctx.ColumnLines[ci].AddVertLine(col.Start + col.Extent, r.Start, r.Start + r.Room, vertLine, color,
                                          drawFirst);
      }
      if (horzLine > 0) {
        GetCellLineParams(col.Index, r.Index, lsBottomLineEh, drawFirst, color, visible);
        if (visible)
          Ctx.Lines.AddHorzLine(r.Start + r.Extent, col.Start, col.Start + col.Room, horzLine, color,
                                drawFirst);
      }
    }
  }
  for (TGridLineBatchEh& column : Ctx.ColumnLines) Ctx.Lines.Append(column);
  FlushPaintLines(Ctx);
}

TGridDrawState TCustomGridEh::GetCellPaintState(const TGridPaintContextEh& Ctx, int ACol, int ARow,
                                                bool FixedBand) {
  TGridDrawState state;
  if (FixedBand) {
    state.Include(gdFixed);
  } else {
    const bool current = ACol == curCol_ && ARow == curRow_;
    if (current) {
      state.Include(gdCurrent);
      if (Ctx.Focused) state.Include(gdFocused);
    }
    const TGridRect& sel = Ctx.Selection;
    const bool rowSelect = Ctx.Options.Contains(goRowSelectEh);
    const bool inSel =
        ARow >= sel.Top && ARow <= sel.Bottom && (rowSelect || (ACol >= sel.Left && ACol <= sel.Right));
    // The current cell shows selected only when asked to (or in row select).
    if (inSel && (!current || rowSelect || Ctx.Options.Contains(goDrawFocusSelectedEh)))
      state.Include(gdSelected);
  }
  if (Ctx.HotTrack.Col == ACol && Ctx.HotTrack.Row == ARow && CanHotTrackCell(ACol, ARow))
    state.Include(gdHotTrack);
  return state;
}

void TCustomGridEh::PaintContraLines(TGridPaintContextEh& Ctx) {
  const TGridDrawInfoEh& di = Ctx.DrawInfo;
  const int vertLine = Ctx.VertLineWidth(), horzLine = Ctx.HorzLineWidth();
  TCanvas* c = Canvas();
  const TRect cells{di.Horz.StartBoundary, di.Vert.StartBoundary, di.Horz.GridBoundary, di.Vert.GridBoundary};
  HRGN saved = SelectClipRectangle(c, Ctx.ToScreen(cells));
  TScopeExit restoreClip([&] { RestoreClipRegion(c, saved); });
  bool drawFirst = true, visible = false;
  TColor color = clBlack;
  // The line before the contra cells is theirs: it stays when the data area ends inside a cell.
  // Whether it shows follows from the layout, not from the cells met by the area to paint, so
  // that repainting only the line draws it too.
  auto contraShown = [](const TGridAxisDrawInfoEh& A) {
    return A.ContraCellCount > 0 && A.GetExtentWithLine(A.GridCellCount) > 0 &&
           A.ContraBoundary < A.GridBoundary;
  };
  if (vertLine > 0 && contraShown(di.Horz) && di.Horz.ContraBoundary - vertLine >= di.Horz.FixedBoundary) {
    const int col = di.Horz.GridCellCount;
    // Each row's piece stays in its band: a row scrolled partly under the fixed rows must not
    // draw its line over them.
    for (const TGridBandCellsEh& band : Ctx.Rows)
      for (const TGridShownCellEh& r : band.Cells) {
        GetCellLineParams(col, r.Index, lsLeftLineEh, drawFirst, color, visible);
        const int top = std::max(r.Start, band.Lo), bottom = std::min(r.Start + r.Room, band.Hi);
        if (visible && top < bottom)
          Ctx.Lines.AddVertLine(di.Horz.ContraBoundary - vertLine, top, bottom, vertLine, color, drawFirst);
      }
  }
  if (horzLine > 0 && contraShown(di.Vert) && di.Vert.ContraBoundary - horzLine >= di.Vert.FixedBoundary) {
    const int row = di.Vert.GridCellCount;
    for (const TGridBandCellsEh& band : Ctx.Cols)
      for (const TGridShownCellEh& col : band.Cells) {
        GetCellLineParams(col.Index, row, lsTopLineEh, drawFirst, color, visible);
        const int left = std::max(col.Start, band.Lo), right = std::min(col.Start + col.Room, band.Hi);
        if (visible && left < right)
          Ctx.Lines.AddHorzLine(di.Vert.ContraBoundary - horzLine, left, right, horzLine, color, drawFirst);
      }
  }
  TGridLineColorsEh* lc = GridLineColors();
  if (vertLine > 0 && NeedGridBoundaryLine(true) && di.Horz.GridBoundary > di.Horz.StartBoundary)
    Ctx.Lines.AddVertLine(di.Horz.GridBoundary - vertLine, di.Vert.StartBoundary, di.Vert.GridBoundary,
                          vertLine, lc->GetDarkColor(), false);
  if (horzLine > 0 && NeedGridBoundaryLine(false) && di.Vert.GridBoundary > di.Vert.StartBoundary)
    Ctx.Lines.AddHorzLine(di.Vert.GridBoundary - horzLine, di.Horz.StartBoundary, di.Horz.GridBoundary,
                          horzLine, lc->GetDarkColor(), false);
  FlushPaintLines(Ctx);
}

void TCustomGridEh::PaintExtendedLines(TGridPaintContextEh& Ctx) {
  const TGridDrawInfoEh& di = Ctx.DrawInfo;
  const int vertLine = Ctx.VertLineWidth();
  // They run through the empty space, below the bottom strip.
  if (vertLine <= 0 || !Ctx.Options.Contains(goExtendedVertLinesEh) ||
      di.Vert.GridBoundary >= di.Vert.GridExtent)
    return;
  const int bottomStrip =
      std::min(di.Vert.GridExtent, di.Vert.GridBoundary + outBoundaryData_->BottomIndent());
  for (const TGridBandCellsEh& band : Ctx.Cols)
    for (const TGridShownCellEh& col : band.Cells) {
      bool drawFirst = true, visible = false;
      TColor color = clBlack;
      GetCellLineParams(col.Index, di.Vert.FullCellCount - 1, lsRightLineEh, drawFirst, color, visible);
      const int x = col.Start + col.Extent;
      if (visible && x >= band.Lo && x < band.Hi)
        Ctx.Lines.AddVertLine(x, bottomStrip, di.Vert.GridExtent, vertLine, color, drawFirst);
    }
  FlushPaintLines(Ctx);
}

void TCustomGridEh::PaintOutBoundaryStrips() {
  TRect strip;
  if (outBoundaryData_->GetOutBoundaryRect(strip, 0)) DrawTopOutBoundaryData(strip);
  if (outBoundaryData_->GetOutBoundaryRect(strip, 1)) DrawLeftOutBoundaryData(strip);
  if (outBoundaryData_->GetOutBoundaryRect(strip, 2)) DrawBottomOutBoundaryData(strip);
  if (outBoundaryData_->GetOutBoundaryRect(strip, 3)) DrawRightOutBoundaryData(strip);
}

void TCustomGridEh::FlushPaintLines(TGridPaintContextEh& Ctx) {
  Ctx.Lines.Flush(Canvas(), Ctx.RightToLeft ? std::optional<int>(ClientWidth()) : std::nullopt);
}
