// The painting side of the grid style: sort markers in every marker style, the background and
// frame of fixed cells (titles, indicator, footer, sub-titles) and the rectangle helpers the
// grid's painters share. The title parameters' effective fill style and line colours live here
// too: the fixed-cell record is built from them.
#include <memory>
#include <vector>

#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/dbgrid/DBGridEhStyle.h"
#include "grid/foundation/ColorRoutinesEh.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/ImgList.h"

namespace style_paint_detail {

// The bitmaps of the shared sort-marker list, in image order, with their mask colours.
struct TSortMarkerBitmap {
  const char* Name;
  TColor Mask;
};
constexpr TSortMarkerBitmap kSortMarkerBitmaps[] = {
    {"DBSMDOWNEH", clFuchsia},   {"DBSMUPEH", clFuchsia},   {"DROPDOWNEH", clWhite},
    {"DBSMDOWNEH_1", clFuchsia}, {"DBSMUPEH_1", clFuchsia},
};

std::unique_ptr<TCustomImageList>& SortMarkerImageHolder() {
  static std::unique_ptr<TCustomImageList> images;
  return images;
}

// The bright line colour of the column's grid (the grid lines' default without a grid).
TColor BrightLineColor(TColumnEh* Column) {
  TCustomDBGridEh* grid = Column ? Column->Grid() : nullptr;
  if (grid && grid->GridLineColors()) return grid->GridLineColors()->GetBrightColor();
  return static_cast<TColor>(0x808080);
}

TGridLineColorsEh* LineColorsOf(TColumnEh* Column) {
  TCustomDBGridEh* grid = Column ? Column->Grid() : nullptr;
  return grid ? grid->GridLineColors() : nullptr;
}

void Line(TCanvas* Canvas, TColor Color, int X1, int Y1, int X2, int Y2) {
  Canvas->Pen()->SetColor(Color);
  Canvas->MoveTo(X1, Y1);
  Canvas->LineTo(X2, Y2);
}

// One column of a frame at X from Top to Bottom: both ends (2 pixels each) in EndColor,
// the middle in MidColor.
void FramedColumn(TCanvas* Canvas, int X, int Top, int Bottom, TColor EndColor, TColor MidColor) {
  Line(Canvas, EndColor, X, Top, X, Top + 2);
  Line(Canvas, EndColor, X, Bottom - 2, X, Bottom);
  Line(Canvas, MidColor, X, Top + 2, X, Bottom - 2);
}

// The edges of a fixed cell: top and bottom always, the left and right ones when asked; sunken
// while pressed; a flat cell shows only a shadow line at its right and bottom.
void DrawFixedCellEdges(TCanvas* Canvas, const TRect& ARect, bool Pressed, bool /*Selected*/, bool Left,
                        bool Right, bool Flat) {
  if (IsRectEmpty(ARect)) return;
  Canvas->RequiredState(TCanvasState{csHandleValid});
  RECT r = ARect;
  if (Flat) {
    DrawEdge(Canvas->Handle(), &r, BDR_SUNKENOUTER, BF_BOTTOM | (Right ? BF_RIGHT : 0) | BF_FLAT);
    return;
  }
  UINT sides = BF_TOP | BF_BOTTOM;
  if (Left) sides |= BF_LEFT;
  if (Right) sides |= BF_RIGHT;
  DrawEdge(Canvas->Handle(), &r, Pressed ? BDR_SUNKENINNER : BDR_RAISEDINNER, sides);
}

bool EmptyClip(const TRect& R) {
  return R.Right <= R.Left || R.Bottom <= R.Top;
}

}  // namespace style_paint_detail

using namespace style_paint_detail;

// --- the shared sort-marker images --------------------------------------------------------------

TCustomImageList* dbgrid_detail::SortMarkerImages() {
  std::unique_ptr<TCustomImageList>& images = SortMarkerImageHolder();
  if (images) return images.get();
  // Sized by the first bitmap; without it there is nothing to draw yet (asked again next time).
  TBitmap first;
  try {
    first.LoadFromResourceName(nullptr, kSortMarkerBitmaps[0].Name);
  } catch (const EResNotFound&) {
    return nullptr;
  }
  if (first.Empty()) return nullptr;
  auto list = std::make_unique<TCustomImageList>(first.Width(), first.Height());
  for (const TSortMarkerBitmap& b : kSortMarkerBitmaps) {
    TBitmap bmp;
    try {
      bmp.LoadFromResourceName(nullptr, b.Name);
    } catch (const EResNotFound&) {
      // A missing bitmap keeps the later ones at their places.
      bmp.SetSize(first.Width(), first.Height());
    }
    list->AddMasked(&bmp, b.Mask);
  }
  images = std::move(list);
  return images.get();
}

void dbgrid_detail::FreeSortMarkerImages() {
  SortMarkerImageHolder().reset();
}

// --- rectangles ---------------------------------------------------------------------------------

TRect TransposeRect(const TRect& ARect) {
  return TRect{ARect.Left, ARect.Top, ARect.Left + ARect.Height(), ARect.Top + ARect.Width()};
}

// --- sort markers -------------------------------------------------------------------------------

void TDBGridEhStyle::GetSortMarkerSize(TCanvas* Canvas, TSortMarkerStyleEh MarkerStyle, int& Width,
                                       int& Height) {
  Width = -1;
  Height = -1;
  if (MarkerStyle == smstDefaultEh) MarkerStyle = DefaultSortMarkerStyle();
  switch (MarkerStyle) {
    case smstClassicEh:
    case smst3DFrameEh:
      Width = 8;
      Height = 7;
      break;
    case smstFrameEh:
      Width = 7;
      Height = 8;
      break;
    case smstSolidEh:
      Width = 9;
      Height = 5;
      break;
    case smstThemeDefinedEh: {
      HTHEME theme = OpenThemeData(nullptr, "HEADER");
      if (!theme) break;
      TScopeExit close([&] { CloseThemeData(theme); });
      HDC dc = nullptr;
      if (Canvas) {
        Canvas->RequiredState(TCanvasState{csHandleValid});
        dc = Canvas->Handle();
      }
      SIZE size{};
      if (GetThemePartSize(theme, dc, HP_HEADERSORTARROW, HSAS_SORTEDUP, nullptr, TS_TRUE, &size) != S_OK)
        break;
      Width = size.cx - 2;
      Height = size.cy + 1;
      break;
    }
    case smstDefaultEh:
      break;
  }
}

void DrawSortMarker(TDBGridEhStyle* Style, TCanvas* Canvas, TSortMarkerStyleEh MarkerStyle,
                    const TRect& ARect, bool Active, TSortMarkerEh Marker, TColumnEh* Column) {
  if (Marker == smNoneEh || !Canvas) return;
  TPen* pen = Canvas->Pen();
  const TColor savedPen = pen->Color();
  TScopeExit restorePen([&] { pen->SetColor(savedPen); });
  if (MarkerStyle == smstDefaultEh) MarkerStyle = Style ? Style->DefaultSortMarkerStyle() : smstFrameEh;
  const int L = ARect.Left, T = ARect.Top, R = ARect.Right, B = ARect.Bottom;
  const int M = (L + R) / 2;
  const bool up = Marker == smUpEh;
  switch (MarkerStyle) {
    case smstClassicEh:
      if (TCustomImageList* images = dbgrid_detail::SortMarkerImages())
        images->Draw(Canvas, L, T, up ? 4 : 3, true);
      break;
    case smst3DFrameEh: {
      const TColor dark = BlendColors(BrightLineColor(Column), cl3DDkShadow, 85.0);
      if (up) {
        pen->SetColor(clWindow);
        Canvas->Polyline({TPoint{L + 1, B}, TPoint{R, B}, TPoint{M + 1, T - 1}});
        Line(Canvas, dark, L, B, M, T - 1);
      } else {
        pen->SetColor(dark);
        Canvas->Polyline({TPoint{M, B}, TPoint{L, T}, TPoint{R, T}});
        Line(Canvas, clWindow, M + 1, B, R + 1, T - 1);
      }
      break;
    }
    case smstFrameEh:
      if (Active && Style)
        pen->SetColor(Style->GetSelectionFontColor());
      else
        pen->SetColor(BlendColors(BrightLineColor(Column), cl3DDkShadow, 50.0));
      if (up)
        Canvas->Polyline({TPoint{M, T}, TPoint{R, B}, TPoint{L, B}, TPoint{M, T}});
      else
        Canvas->Polyline({TPoint{M, B}, TPoint{L, T}, TPoint{R, T}, TPoint{M, B}});
      break;
    case smstSolidEh: {
      TColor color = clNone;
      TGridLineColorsEh* lines = LineColorsOf(Column);
      TCustomDBGridEh* grid = Column ? Column->Grid() : nullptr;
      if (Active && Style) {
        color = Style->GetSelectionFontColor();
      } else if (grid && lines && grid->TitleParams()->GetActualFillStyle() == cfstThemedEh &&
                 lines->DarkColor() == clDefault) {
        color = lines->GetBrightColor();
      } else {
        const TColor dark = lines ? lines->GetDarkColor() : static_cast<TColor>(0xC0C0C0);
        color = BlendColors(BrightLineColor(Column), dark, 128.0);
      }
      pen->SetColor(color);
      static const std::vector<TPoint> kUp = {{0, 4}, {9, 4}, {1, 3}, {8, 3}, {2, 2},
                                              {7, 2}, {3, 1}, {6, 1}, {4, 0}, {5, 0}};
      static const std::vector<TPoint> kDown = {{0, 0}, {9, 0}, {1, 1}, {8, 1}, {2, 2},
                                                {7, 2}, {3, 3}, {6, 3}, {4, 4}, {5, 4}};
      DrawGradientFrameLines(Canvas, ARect, up ? kUp : kDown, color, color, 5);
      break;
    }
    case smstThemeDefinedEh: {
      HTHEME theme = OpenThemeData(nullptr, "HEADER");
      if (!theme) break;
      TScopeExit close([&] { CloseThemeData(theme); });
      Canvas->RequiredState(TCanvasState{csHandleValid});
      const RECT r = ARect;
      DrawThemeBackground(theme, Canvas->Handle(), HP_HEADERSORTARROW, up ? HSAS_SORTEDUP : HSAS_SORTEDDOWN,
                          &r, nullptr);
      break;
    }
    case smstDefaultEh:
      break;
  }
}

// --- fixed cells --------------------------------------------------------------------------------

void TDBGridEhStyle::DrawCellBackground(TCustomDBGridEh* Grid, TGridCellFillStyleEh FillStyle,
                                        const TRect& ARect, bool Pressed, bool Selected,
                                        const TRect& ClipRect, bool FixedLook, TColor SecondColor) {
  if (!Grid) return;
  Grid->DrawCellBackground(FillStyle, ARect, Pressed, Selected, ClipRect, FixedLook, false, SecondColor);
}

void TDBGridEhStyle::DrawTitleCell(TCustomDBGridEh* Grid, int /*Unused*/, TCanvas* Canvas, const TRect& ARect,
                                   bool Fill, TRect& ContentRect, TGridDrawState State,
                                   const TDBGridTitleDrawParamsEh& DrawParams, const TRect& ClipRect) {
  TDBGridTitleParamsEh* title = Grid->TitleParams();
  TFixedCellParamsEh params;
  params.Pressed = DrawParams.Pressed;
  params.Selected = DrawParams.Selected;
  params.Hot = State.Contains(gdHotTrack);
  params.Is3D = DrawParams.The3DTitle;
  params.FillStyle = title->GetActualFillStyle();
  params.Color = DrawParams.Color;
  params.SecondColor = title->SecondColorStored() ? title->SecondColor() : clDefault;
  params.SpareColor = clDefault;
  params.SplitButtonFill = DrawParams.Themed && ThemeTitleFillElement() == gtfeSplitButtonEh;
  params.FontColor = DrawParams.FontColor;
  params.VertBorderInFill = DrawParams.BorderInFillNotLast;
  params.HorzBorderInFill = DrawParams.BorderInFill;
  params.HorzLineColor = title->GetActualHorzLineColor();
  params.VertLineColor = title->GetActualVertLineColor();
  params.ClipRect = ClipRect;
  DrawTitleCellParams(Grid, Canvas, ARect, Fill, ContentRect, State, params);
}

void TDBGridEhStyle::DrawTitleCellParams(TCustomDBGridEh* Grid, TCanvas* Canvas, const TRect& ARect,
                                         bool Fill, TRect& ContentRect, TGridDrawState /*State*/,
                                         const TFixedCellParamsEh& Params) {
  TRect& R = ContentRect;
  R = ARect;
  const bool F = !Grid->Flat() && Params.FillStyle != cfstGradientEh;
  const bool horzInFill = Params.HorzBorderInFill;
  const bool vertInFill = Params.VertBorderInFill;
  const bool anyInFill = horzInFill || vertInFill;

  HRGN savedClip = nullptr;
  const bool clipped = !EmptyClip(Params.ClipRect);
  if (clipped) savedClip = SelectClipRectangle(Canvas, Params.ClipRect);
  TScopeExit restoreClip([&] {
    if (clipped) RestoreClipRegion(Canvas, savedClip);
  });

  if (Params.FillStyle != cfstThemedEh) {
    if (horzInFill && Params.HorzLineColor != clNone) {
      Line(Canvas, Params.HorzLineColor, R.Left, R.Bottom - 1, R.Right, R.Bottom - 1);
      R.Bottom -= 1;
    }
    if (Params.Is3D && !anyInFill) {
      Canvas->Brush()->SetColor(Params.Color);
      DrawFixedCellEdges(Canvas, R, Params.Pressed, Params.Selected, true, F, !F);
      R.Top += 1;
      R.Bottom -= 1;
      R.Left += 1;
      if (F) {
        R.Right -= 1;
      } else if (Params.FillStyle == cfstSolidEh) {
        Line(Canvas, Params.Color, R.Right - 1, R.Top, R.Right - 1, R.Bottom);
        R.Right -= 1;
      }
    } else if (Params.Is3D && anyInFill) {
      Canvas->Brush()->SetColor(Params.Color);
      DrawFixedCellEdges(Canvas, R, Params.Pressed, Params.Selected, false, false, !F);
      R.Top += 1;
      R.Bottom -= 1;
    }
    if (Fill) {
      // The fill paints with the brush: the record's background colour.
      Grid->Canvas()->Brush()->SetColor(Params.Color);
      Grid->DrawCellBackground(Params.FillStyle, R, Params.Pressed, Params.Selected, EmptyRect(), true, false,
                               Params.SecondColor);
      if (vertInFill) {
        Line(Canvas, Params.VertLineColor, R.Right - 1, R.Top + 2, R.Right - 1, R.Bottom - 2);
        R.Right -= 1;
      }
      if (anyInFill && Params.Is3D && F)
        Line(Canvas, clBtnHighlight, R.Left, R.Top + 2, R.Left, R.Bottom - 2);
      R.Left += 1;
      R.Right -= 1;
      if (!F) {
        R.Right -= 1;
        if (!Params.Is3D) R.Left += 1;
      }
    } else {
      if (vertInFill) {
        FramedColumn(Canvas, R.Right - 1, R.Top, R.Bottom, Params.Color, Params.VertLineColor);
        R.Right -= 1;
      }
      if (anyInFill) {
        if (Params.Is3D && F)
          FramedColumn(Canvas, R.Left, R.Top, R.Bottom, Params.Color, clBtnHighlight);
        else
          Line(Canvas, Params.Color, R.Left, R.Top, R.Left, R.Bottom);
        R.Left += 1;
      }
    }
    return;
  }

  // Themed: the header element's own right and bottom edges are pushed outside the clip so
  // that neighbouring titles join without a double line.
  TRect fillRect = ARect;
  TRect clipRect = EmptyRect();
  if (!(horzInFill && vertInFill) && !Params.SplitButtonFill) {
    clipRect = ARect;
    if (ThemeTitleFillElement() == gtfeHeaderItemEh) {
      if (!vertInFill) fillRect.Right += 2;
      if (!horzInFill) fillRect.Bottom += 2;
    } else {
      InflateRect(fillRect, 1, 1);
    }
  }
  Grid->Canvas()->Brush()->SetColor(Params.Color);
  Grid->DrawCellBackground(cfstThemedEh, fillRect, Params.Pressed, Params.Selected, clipRect, Params.Is3D,
                           false, Params.SecondColor);
  InflateRect(R, -2, -1);
  if (horzInFill) R.Bottom -= 1;
}

bool TDBGridEhStyle::GetTitleFrameColors(TCustomDBGridEh* /*Grid*/, TColor& Color1, TColor& Color2,
                                         TColor& Color3, TColor& Color4) {
  Color1 = clNone;
  Color2 = clNone;
  Color3 = clNone;
  Color4 = clNone;
  return false;
}

bool TDBGridEhStyle::GetIndicatorColors(TCustomDBGridEh* Grid, TColor& Color1, TColor& Color2, TColor& Color3,
                                        TColor& Color4) {
  return GetTitleFrameColors(Grid, Color1, Color2, Color3, Color4);
}

// --- the title parameters' effective values ------------------------------------------------------

TGridCellFillStyleEh TDBGridTitleParamsEh::GetActualFillStyle() {
  const bool option3D = grid_->OptionsEh().Contains(dghFixed3D);
  const bool themes = ThemesEnabled();
  switch (FillStyle()) {
    case cfstDefaultEh:
      if (grid_->Flat()) return option3D && themes ? cfstGradientEh : cfstSolidEh;
      return option3D && themes ? cfstThemedEh : cfstSolidEh;
    case cfstThemedEh:
      if (themes) return cfstThemedEh;
      return option3D ? cfstGradientEh : cfstSolidEh;
    case cfstGradientEh: {
      if (themes) return cfstGradientEh;
      // A grid without a style of its own has the default look.
      TDBGridEhStyle* style = grid_->Style() ? grid_->Style() : DBGridEhDefaultStyle();
      return style && style->GradientAllowed() ? cfstGradientEh : cfstSolidEh;
    }
    case cfstSolidEh:
      break;
  }
  return FillStyle();
}

TColor TDBGridTitleParamsEh::GetActualHorzLineColor() {
  const TColor own = HorzLineColor();
  return own != clDefault ? own : grid_->GridLineColors()->GetBrightColor();
}

TColor TDBGridTitleParamsEh::GetActualVertLineColor() {
  const TColor own = VertLineColor();
  return own != clDefault ? own : grid_->GridLineColors()->GetBrightColor();
}
