// The base grid's painting: the cell walk over the visible fixed, frozen, data and contra
// areas, the batched grid lines, the focus rectangle, the empty space, the out-boundary
// strips and the background picture.
//
// Paint works in left-to-right client coordinates and mirrors at the edge: cell rectangles
// handed to DrawCell and clip rectangles are mirrored, and DrawPolyline/DrawLineSegments
// mirror their points (x becomes ClientWidth - 1 - x, so a one-pixel line keeps its pixel).
#include <algorithm>
#include <climits>
#include <cstdint>

#include "grid/foundation/DrawRoutinesEh.h"
#include "grid/foundation/GridsEh.h"
#include "grid/foundation/InplaceEditEh.h"

namespace {

// The four bands of an axis in screen order.
enum TAxisBandEh { abFixed, abFrozen, abData, abContra, abCount };

// One shown cell of an axis: where it starts, its extent and the room it takes (extent
// plus line), all in left-to-right client pixels.
struct TShownCellEh {
  int Index = 0;
  int Start = 0;
  int Extent = 0;
  int Room = 0;
};

struct TAxisBandCellsEh {
  int Lo = 0;  // the band's area
  int Hi = 0;
  std::vector<TShownCellEh> Cells;
};

int Saturate(int64_t V) {
  return static_cast<int>(std::clamp<int64_t>(V, INT_MIN / 2, INT_MAX / 2));
}

// The cells of one band that meet [ClipLo, ClipHi); the walk starts at the band's first cell
// and ends at the band's end, so only what shows is visited whatever the cell count.
void CollectBand(const TGridAxisDrawInfoEh& A, int First, int Last, int64_t Pos, int Lo, int Hi, int ClipLo,
                 int ClipHi, TAxisBandCellsEh& Out) {
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

void CollectAxis(const TGridAxisDrawInfoEh& A, int ClipLo, int ClipHi, TAxisBandCellsEh (&Bands)[abCount]) {
  const int firstFrozen = A.FixedCellCount - A.FrozenCellCount;
  int64_t pos = A.StartBoundary;
  for (int i = 0; i < firstFrozen; ++i) pos += A.GetExtentWithLine(i);
  CollectBand(A, 0, firstFrozen, A.StartBoundary, A.StartBoundary, A.FrozenBoundary, ClipLo, ClipHi,
              Bands[abFixed]);
  CollectBand(A, firstFrozen, A.FixedCellCount, pos, A.FrozenBoundary, A.FixedBoundary, ClipLo, ClipHi,
              Bands[abFrozen]);
  CollectBand(A, std::max(A.FirstGridCell, A.FixedCellCount), A.GridCellCount,
              static_cast<int64_t>(A.FixedBoundary) - A.GridScrollOffset, A.FixedBoundary, A.ContraBoundary,
              ClipLo, ClipHi, Bands[abData]);
  CollectBand(A, A.GridCellCount, A.FullCellCount, A.ContraBoundary, A.ContraBoundary, A.GridBoundary, ClipLo,
              ClipHi, Bands[abContra]);
}

// One line segment waiting for its batch.
struct TLineEh {
  TColor Color;
  bool First;
  TPoint A, B;
};

// Joins a segment to the previous one of the same colour and pass when it continues it.
void AddLine(std::vector<TLineEh>& Lines, const TLineEh& L) {
  if (!Lines.empty()) {
    TLineEh& p = Lines.back();
    if (p.Color == L.Color && p.First == L.First && p.B == L.A &&
        ((p.A.X == p.B.X && L.A.X == L.B.X) || (p.A.Y == p.B.Y && L.A.Y == L.B.Y))) {
      p.B = L.B;
      return;
    }
  }
  Lines.push_back(L);
}

TRect MirrorRect(const TRect& R, int Width) {
  return TRect{Width - R.Right, R.Top, Width - R.Left, R.Bottom};
}

}  // namespace

// --- lines -------------------------------------------------------------------------------------------

void TCustomGridEh::GetCellLineParams(int ACol, int ARow, int Side, bool& DrawFirst, TColor& Color,
                                      bool& Visible) {
  DrawFirst = true;
  const TGridOptionsEh opts = Options();
  Visible = (Side == 1 || Side == 3) ? opts.Contains(goVertLineEh) : opts.Contains(goHorzLineEh);
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
  const size_t n = Points.size() / 2;
  if (n == 0) return;
  const bool rtl = UseRightToLeftAlignment();
  const int w = rtl ? ClientWidth() : 0;
  std::vector<POINT> pts(n * 2);
  for (size_t i = 0; i < n * 2; ++i) {
    pts[i].X = rtl ? w - 1 - Points[i].X : Points[i].X;
    pts[i].Y = Points[i].Y;
  }
  std::vector<DWORD> counts(n, 2);
  TCanvas* c = Canvas();
  c->RequiredState(TCanvasState{csHandleValid, csPenValid});
  PolyPolyline(c->Handle(), pts.data(), counts.data(), static_cast<DWORD>(n));
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
  try {
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
  } catch (...) {
    RestoreClipRegion(c, saved);
    throw;
  }
  RestoreClipRegion(c, saved);
}

void TCustomGridEh::DrawFocusRectangle(const TGridDrawInfoEh& DrawInfo) {
  if (ComponentState().Contains(csDesigning) || !Focused()) return;
  const TGridOptionsEh opts = Options();
  // The editor shows the focus itself.
  if (editorMode_ && opts.Contains(goEditingEh) && !opts.Contains(goRowSelectEh)) return;
  TRect r;
  if (opts.Contains(goRowSelectEh)) {
    const TGridRect sel = Selection();
    r = CalcBoxRect(DrawInfo, fixedCols_, sel.Top, colCount_ - 1, sel.Bottom);
  } else {
    r = CalcBoxRect(DrawInfo, curCol_, curRow_, curCol_, curRow_);
  }
  if (IsRectEmpty(r)) return;
  TCanvas* c = Canvas();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(Color());
  c->DrawFocusRect(r);
}

// --- the cell walk ---------------------------------------------------------------------------------------

void TCustomGridEh::Paint() {
  if (paintLock_ > 0) return;
  TCanvas* c = Canvas();
  TGridDrawInfoEh di;
  CalcDrawInfo(di);
  const bool rtl = UseRightToLeftAlignment();
  const int clientW = di.Horz.GridExtent;
  auto toScreen = [&](const TRect& R) { return rtl ? MirrorRect(R, clientW) : R; };

  // Only the cells that meet the area to paint are visited.
  TRect clip = c->ClipRect();
  if (rtl) clip = MirrorRect(clip, clientW);
  if (IsRectEmpty(clip)) return;

  DrawEmptySpace(di);
  const bool background = IsBackgroundVisible();
  if (background) DrawBackground(di);

  TAxisBandCellsEh cols[abCount], rows[abCount];
  CollectAxis(di.Horz, clip.Left, clip.Right, cols);
  CollectAxis(di.Vert, clip.Top, clip.Bottom, rows);

  const TGridOptionsEh opts = Options();
  const TGridRect sel = Selection();
  const bool rowSelect = opts.Contains(goRowSelectEh);
  const bool focused = Focused();
  const bool designing = ComponentState().Contains(csDesigning);
  // The shown editor covers the focused cell.
  const bool editorCovers = editorMode_ && opts.Contains(goEditingEh) && !designing && inplaceEdit_ &&
                            inplaceEdit_->HandleAllocated() && inplaceEdit_->Visible();
  const int vertLine = di.Horz.EffectiveLineWidth;  // the vertical lines' width
  const int horzLine = di.Vert.EffectiveLineWidth;
  const TGridHotTrackSpotEh hot = hotTrackSpot_;

  std::vector<TLineEh> lines;
  std::vector<TPoint> batch;
  auto flushLines = [&]() {
    // Lines marked to go first are drawn first, so that the others cross over them.
    for (int pass = 0; pass < 2; ++pass) {
      const bool first = pass == 0;
      std::vector<bool> done(lines.size(), false);
      for (size_t i = 0; i < lines.size(); ++i) {
        if (done[i] || lines[i].First != first) continue;
        const TColor color = lines[i].Color;
        batch.clear();
        for (size_t j = i; j < lines.size(); ++j) {
          if (done[j] || lines[j].First != first || lines[j].Color != color) continue;
          done[j] = true;
          batch.push_back(lines[j].A);
          batch.push_back(lines[j].B);
        }
        c->Pen()->SetStyle(psSolid);
        c->Pen()->SetWidth(1);
        c->Pen()->SetColor(color);
        DrawLineSegments(batch);
      }
    }
    lines.clear();
  };
  // A line of Width pixels as one-pixel segments: vertical along x from Y1 to Y2, or
  // horizontal along y from X1 to X2 (end pixels excluded).
  auto addVertTo = [](std::vector<TLineEh>& To, int X, int Y1, int Y2, int Width, TColor Color, bool First) {
    for (int k = 0; k < Width; ++k) AddLine(To, {Color, First, TPoint{X + k, Y1}, TPoint{X + k, Y2}});
  };
  auto addVert = [&](int X, int Y1, int Y2, int Width, TColor Color, bool First) {
    addVertTo(lines, X, Y1, Y2, Width, Color, First);
  };
  // Vertical lines gather per column, so that a column's line joins into one segment.
  std::vector<std::vector<TLineEh>> columnLines;
  auto addHorz = [&](int Y, int X1, int X2, int Width, TColor Color, bool First) {
    for (int k = 0; k < Width; ++k) AddLine(lines, {Color, First, TPoint{X1, Y + k}, TPoint{X2, Y + k}});
  };

  for (int vb = 0; vb < abCount; ++vb) {
    const TAxisBandCellsEh& rb = rows[vb];
    if (rb.Cells.empty()) continue;
    for (int hb = 0; hb < abCount; ++hb) {
      const TAxisBandCellsEh& cb = cols[hb];
      if (cb.Cells.empty()) continue;
      TRect area;
      if (!IntersectRect(area, TRect{cb.Lo, rb.Lo, cb.Hi, rb.Hi}, clip)) continue;
      const bool fixedBand = vb == abFixed || vb == abContra || hb == abFixed || hb == abContra;
      HRGN saved = SelectClipRectangle(c, toScreen(TRect{cb.Lo, rb.Lo, cb.Hi, rb.Hi}));
      try {
        // Line places whose line is not drawn keep the band's colour.
        if (!(background && hb == abData && vb == abData)) {
          c->Brush()->SetStyle(bsSolid);
          c->Brush()->SetColor(fixedBand ? FixedColor() : Color());
          c->FillRect(toScreen(area));
        }
        columnLines.assign(cb.Cells.size(), {});
        for (const TShownCellEh& r : rb.Cells) {
          for (size_t ci = 0; ci < cb.Cells.size(); ++ci) {
            const TShownCellEh& col = cb.Cells[ci];
            const TRect cell{col.Start, r.Start, std::min(col.Start + col.Extent, cb.Hi),
                             std::min(r.Start + r.Extent, rb.Hi)};
            if (IsRectEmpty(cell)) continue;
            TGridDrawState state;
            const bool current = col.Index == curCol_ && r.Index == curRow_;
            if (fixedBand) {
              state.Include(gdFixed);
            } else {
              if (current) {
                state.Include(gdCurrent);
                if (focused) state.Include(gdFocused);
              }
              const bool inSel = r.Index >= sel.Top && r.Index <= sel.Bottom &&
                                 (rowSelect || (col.Index >= sel.Left && col.Index <= sel.Right));
              // The current cell shows selected only when asked to (or in row select).
              if (inSel && (!current || rowSelect || opts.Contains(goDrawFocusSelectedEh)))
                state.Include(gdSelected);
            }
            if (hot.Col == col.Index && hot.Row == r.Index && CanHotTrackCell(col.Index, r.Index))
              state.Include(gdHotTrack);
            if (!(current && editorCovers)) {
              c->Brush()->SetColor(fixedBand ? FixedColor() : Color());
              c->Brush()->SetStyle(bsSolid);
              DrawCell(col.Index, r.Index, toScreen(cell), state);
            }
            bool drawFirst = true, visible = false;
            TColor color = clBlack;
            if (vertLine > 0) {
              GetCellLineParams(col.Index, r.Index, 3, drawFirst, color, visible);
              if (visible)
                addVertTo(columnLines[ci], col.Start + col.Extent, r.Start, r.Start + r.Room, vertLine, color,
                          drawFirst);
            }
            if (horzLine > 0) {
              GetCellLineParams(col.Index, r.Index, 2, drawFirst, color, visible);
              if (visible)
                addHorz(r.Start + r.Extent, col.Start, col.Start + col.Room, horzLine, color, drawFirst);
            }
          }
        }
        for (const auto& column : columnLines) lines.insert(lines.end(), column.begin(), column.end());
        flushLines();
      } catch (...) {
        RestoreClipRegion(c, saved);
        throw;
      }
      RestoreClipRegion(c, saved);
    }
  }

  // The line before the contra cells is theirs: it stays when the data area ends inside a cell.
  {
    TRect cells{di.Horz.StartBoundary, di.Vert.StartBoundary, di.Horz.GridBoundary, di.Vert.GridBoundary};
    HRGN saved = SelectClipRectangle(c, toScreen(cells));
    bool drawFirst = true, visible = false;
    TColor color = clBlack;
    if (vertLine > 0 && !cols[abContra].Cells.empty() &&
        cols[abContra].Cells.front().Index == di.Horz.GridCellCount &&
        di.Horz.ContraBoundary - vertLine >= di.Horz.FixedBoundary) {
      const int col = di.Horz.GridCellCount;
      for (const auto& band : rows)
        for (const TShownCellEh& r : band.Cells) {
          GetCellLineParams(col, r.Index, 1, drawFirst, color, visible);
          if (visible)
            addVert(di.Horz.ContraBoundary - vertLine, r.Start, r.Start + r.Room, vertLine, color, drawFirst);
        }
    }
    if (horzLine > 0 && !rows[abContra].Cells.empty() &&
        rows[abContra].Cells.front().Index == di.Vert.GridCellCount &&
        di.Vert.ContraBoundary - horzLine >= di.Vert.FixedBoundary) {
      const int row = di.Vert.GridCellCount;
      for (const auto& band : cols)
        for (const TShownCellEh& col : band.Cells) {
          GetCellLineParams(col.Index, row, 0, drawFirst, color, visible);
          if (visible)
            addHorz(di.Vert.ContraBoundary - horzLine, col.Start, col.Start + col.Room, horzLine, color,
                    drawFirst);
        }
    }
    TGridLineColorsEh* lc = GridLineColors();
    if (vertLine > 0 && NeedGridBoundaryLine(true) && di.Horz.GridBoundary > di.Horz.StartBoundary)
      addVert(di.Horz.GridBoundary - vertLine, di.Vert.StartBoundary, di.Vert.GridBoundary, vertLine,
              lc->GetDarkColor(), false);
    if (horzLine > 0 && NeedGridBoundaryLine(false) && di.Vert.GridBoundary > di.Vert.StartBoundary)
      addHorz(di.Vert.GridBoundary - horzLine, di.Horz.StartBoundary, di.Horz.GridBoundary, horzLine,
              lc->GetDarkColor(), false);
    flushLines();
    RestoreClipRegion(c, saved);
  }

  // Extended vertical lines run on below the last row through the empty space.
  if (vertLine > 0 && opts.Contains(goExtendedVertLinesEh) && di.Vert.GridBoundary < di.Vert.GridExtent) {
    const int bottomStrip =
        std::min(di.Vert.GridExtent, di.Vert.GridBoundary + outBoundaryData_->BottomIndent());
    for (int hb = 0; hb < abCount; ++hb)
      for (const TShownCellEh& col : cols[hb].Cells) {
        bool drawFirst = true, visible = false;
        TColor color = clBlack;
        GetCellLineParams(col.Index, di.Vert.FullCellCount - 1, 3, drawFirst, color, visible);
        const int x = col.Start + col.Extent;
        if (visible && x >= cols[hb].Lo && x < cols[hb].Hi)
          addVert(x, bottomStrip, di.Vert.GridExtent, vertLine, color, drawFirst);
      }
    flushLines();
  }

  DrawFocusRectangle(di);

  TRect strip;
  if (outBoundaryData_->GetOutBoundaryRect(strip, 0)) DrawTopOutBoundaryData(strip);
  if (outBoundaryData_->GetOutBoundaryRect(strip, 1)) DrawLeftOutBoundaryData(strip);
  if (outBoundaryData_->GetOutBoundaryRect(strip, 2)) DrawBottomOutBoundaryData(strip);
  if (outBoundaryData_->GetOutBoundaryRect(strip, 3)) DrawRightOutBoundaryData(strip);
}
