// The data grid's title cells: the title painter that collects one title's look, the text painter
// that lays out caption, image, sort marker, sort index and filter button in the cell, the upper
// levels of multi-level titles, the filter condition written inside a title, and the geometry of
// a title's parts that the press and the hot tracker share with the painter.
#include <algorithm>
#include <string>
#include <vector>

#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/dbgrid/DBGridEhStyle.h"
#include "grid/foundation/ColorRoutinesEh.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Variant.h"

namespace dbgrid_title_cell_detail {

// The room a sort marker takes at the right of the title text.
constexpr int kSortMarkerRoom = 16;
// What is given back when the marker is dropped in a narrow column (a little stays as a gap).
constexpr int kSortMarkerDropped = 14;
// The gap between the index number and the right edge of the text area.
constexpr int kSortIndexGap = 2;
// The veil over a filter button that is not in its active look, in percent.
constexpr int kFilterButtonVeil = 80;
// Escapement of text written bottom-to-top, in tenths of a degree.
constexpr int kVerticalEscapement = 900;

// The filter row lies in the titles and the column takes part in it.
bool HasTitleFilter(TCustomDBGridEh* Grid, TColumnEh* Column) {
  return Column && Grid->STFilter()->Visible() && Column->STFilter()->Visible() &&
         Grid->STFilter()->Location() == stflInTitleFilterEh;
}

// The column lies in the grid's selection.
bool ColumnSelected(TCustomDBGridEh* Grid, TColumnEh* Column) {
  switch (Grid->Selection()->SelectionType()) {
    case gstAll:
      return true;
    case gstColumns:
      return Grid->Selection()->Columns()->IndexOf(Column) >= 0;
    default:
      return false;
  }
}

// The node's children before Child in its ring, as the title tree keeps them.
int WidthBefore(THeadTreeNode* Parent, THeadTreeNode* Child) {
  int width = 0;
  for (THeadTreeNode* s = Parent->Child; s && s != Child; s = s->Next) {
    width += s->Width + s->WIDTHLine;
    if (s->Next == Parent->Child) break;  // Child is not in the ring: nothing more to count
  }
  return width;
}

}  // namespace dbgrid_title_cell_detail

using namespace dbgrid_title_cell_detail;

// --- geometry shared with the hot tracker ----------------------------------------------------------

// The leaf's part of a title cell: with multi-level titles the leaf lies at the bottom, below its
// upper levels (node heights exclude the grid line, as the cell does).
static TRect TitleLeafRect(TCustomDBGridEh* Grid, TColumnEh* Column, const TRect& Cell) {
  TRect r = Cell;
  if (!Grid->IsMultiTitleEffective() || !Column) return r;
  auto& leaves = Grid->LeafFieldArr();
  const int index = Column->Index();
  if (index < 0 || index >= static_cast<int>(leaves.size()) || !leaves[static_cast<size_t>(index)].first)
    return r;
  r.Top = std::max(Cell.Top, Cell.Bottom - leaves[static_cast<size_t>(index)].first->Height);
  return r;
}

// Multi-level titles draw their own vertical line inside the leaf, at its right edge: not after
// the last column unless automatic widths end the grid there without a boundary line.
static bool TitleLeafLine(TCustomDBGridEh* Grid, int AreaCol) {
  TDBGridTitleParamsEh* title = Grid->TitleParams();
  const bool last = AreaCol == Grid->VisibleColumns().Count() - 1;
  return Grid->IsMultiTitleEffective() && title->VertLines() && !title->BorderInFillStyle() &&
         (!last || (Grid->AutoFitColWidths() && !Grid->GridLineParams()->GridBoundaries()));
}

// The filter button at the right of a title's area, one text line high and centred when the
// cell is taller, never wider than half the cell.
static TRect TitleFilterButtonBox(TCustomDBGridEh* Grid, const TRect& Area) {
  int width = Grid->Flat() ? FlatButtonWidth() : GetSystemMetrics(SM_CXVSCROLL);
  width = std::min(width, Area.Width() / 2);
  TRect r{Area.Right - width, Area.Top, Area.Right, Area.Bottom};
  const int line = Grid->CalcDefaultRowHeight();
  if (line > 0 && Area.Height() > line) {
    r.Top = Area.Top + (Area.Height() - line) / 2;
    r.Bottom = r.Top + line;
  }
  return r;
}

// Where the parts of a title lie in its area: the filter button at the right, the sort marker
// and its index left of it, the caption in the rest. A narrow title gives up the marker, then
// the index, before the caption's room gets narrower than the title's image.
struct TTitleLayoutEh {
  TRect Text;                // the caption's (and the image's) room
  TRect Button;              // the filter button; empty when none is shown
  int DecorationRight = 0;   // the right edge of the marker's and the index's room
  bool MarkerShown = false;  // the marker lies in the room's first kSortMarkerRoom pixels
  bool IndexShown = false;   // the index lies at the room's right end
  int IndexWidth = 0;
  std::string IndexText;
};

// Canvas measures the index in the sort-marker font; without one no index is shown.
static TTitleLayoutEh LayOutTitle(TCustomDBGridEh* Grid, TColumnEh* Column, TCanvas* Canvas,
                                  const TDBGridTitleDrawParamsEh& Params, const TRect& ARect) {
  TTitleLayoutEh layout;
  TRect& text = layout.Text;
  // A filled look draws its borders inside the fill, the others take an edge.
  const TGridCellFillStyleEh fill = Grid->TitleParams()->GetActualFillStyle();
  const bool framedByFill =
      (Params.The3DTitle && (Params.Themed || fill == cfstGradientEh)) || Params.BorderInFill;
  text = ARect;
  if (!framedByFill) {
    const int edge = std::max(0, (Params.The3DTitle ? 1 : 2) - (Grid->Flat() ? 1 : 0));
    InflateRect(text, -edge, -edge);
  }
  if (Params.FilterButtonShown) {
    layout.Button = TitleFilterButtonBox(Grid, ARect);
    text.Right = std::min(text.Right, layout.Button.Left);
  }
  if (Params.Pressed) {
    const int d = Params.WordWrapAllowed ? 2 : 1;
    OffsetRect(text, d, d);
  }

  layout.DecorationRight = text.Right;
  if (Params.SortMarker == smNoneEh) return layout;
  TColumnTitleEh* title = Column->Title();
  const int imageWidth = Grid->TitleImages() && title->ImageIndex() != -1 ? Grid->TitleImages()->Width() : 0;
  layout.MarkerShown = true;
  text.Right -= kSortMarkerRoom;
  if (Canvas && Params.ShowSortIndex && Grid->SortMarkedColumns().Count() > 1 && title->SortIndex() > 0) {
    if (TFont* small = DBGridEhSortMarkerFont()) {
      TFont* font = Canvas->Font();
      layout.IndexText = std::to_string(title->SortIndex());
      TFont saved;
      saved.Assign(font);
      font->Assign(small);
      layout.IndexWidth = Canvas->TextWidth(layout.IndexText);
      font->Assign(&saved);
      layout.IndexShown = true;
      text.Right -= layout.IndexWidth;
    }
  }
  if (text.Right < text.Left + imageWidth) {
    layout.MarkerShown = false;
    text.Right += kSortMarkerDropped;
    if (text.Right < text.Left + imageWidth && layout.IndexShown) {
      layout.IndexShown = false;
      text.Right += layout.IndexWidth + kSortIndexGap;
    }
  }
  return layout;
}

bool TCustomDBGridEh::GetTitleFilterButtonRect(int ACol, TRect& ARect) {
  ARect = TRect{};
  if (!options_.Contains(dgTitles) || ACol < indicatorOffset_ || ACol >= ColCount()) return false;
  TColumnEh* column = AreaColumn(ACol - indicatorOffset_);
  if (!HasTitleFilter(this, column)) return false;
  const TRect cell = CellRect(ACol, 0);
  if (IsRectEmpty(cell)) return false;
  TRect leaf = TitleLeafRect(this, column, cell);
  if (TitleLeafLine(this, ACol - indicatorOffset_)) --leaf.Right;
  ARect = TitleFilterButtonBox(this, leaf);
  return !IsRectEmpty(ARect);
}

TTitleHitPartEh TCustomDBGridEh::TitleHitTest(int ACol, int ARow, TColumnEh* Column, const TRect& ARect,
                                              TPoint Pt) {
  if (!Column || !PtInRect(ARect, Pt) || ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount())
    return thpNoneEh;
  int areaCol = -1, areaRow = -1;
  const TCellAreaTypeEh cellType = GetCellType(ACol, ARow, areaCol, areaRow);
  if (cellType != TCellAreaTypeEh{hctDataEh, vctTitleEh}) return thpNoneEh;
  TRect leaf = TitleLeafRect(this, Column, ARect);
  if (Pt.Y < leaf.Top) return thpNoneEh;  // an upper level of multi-level titles
  if (TitleLeafLine(this, areaCol)) --leaf.Right;

  // The title as the painter lays it out, unpressed; under the pointer a filter button shows
  // whenever the column filters in its title.
  TDBGridTitleDrawParamsEh params;
  params.The3DTitle = IsCell3D(ACol, ARow, TGridDrawState{gdFixed}, ARect);
  params.Themed = IsThemedCell(ACol, ARow, cellType, areaRow);
  params.BorderInFill = TitleParams()->BorderInFillStyle();
  params.FilterButtonShown = HasTitleFilter(this, Column);
  params.SortMarker = Column->Title()->SortMarker();
  params.ShowSortIndex = true;
  const TTitleLayoutEh layout =
      LayOutTitle(this, Column, HandleAllocated() ? Canvas() : nullptr, params, leaf);

  if (PtInRect(layout.Button, Pt)) return thpFilterButtonEh;
  if ((layout.MarkerShown || layout.IndexShown) && Pt.X >= layout.Text.Right && Pt.X < layout.DecorationRight)
    return thpSortMarkerEh;
  return Column->Title()->TitleButton() ? thpTitleButtonEh : thpTextEh;
}

// --- the title cell ---------------------------------------------------------------------------------

bool TCustomDBGridEh::IsTitleCellThemed() {
  return ThemesEnabled() && TitleParams()->GetActualFillStyle() == cfstThemedEh;
}

void TCustomDBGridEh::DrawTitleCell(int ACol, int ARow, int AreaCol, int AreaRow, TCellAreaTypeEh CellType,
                                    const TRect& ARect, TGridDrawState AState) {
  TCanvas* canvas = Canvas();
  TColumnEh* column = AreaColumn(AreaCol);
  if (!column) {
    canvas->Brush()->SetColor(FixedColor());
    canvas->FillRect(ARect);
    return;
  }
  TColumnTitleEh* title = column->Title();
  TDBGridTitleParamsEh* titleParams = TitleParams();
  TColor background = title->Color();
  const bool is3D = IsCell3D(ACol, ARow, AState, ARect);
  const bool themed = IsThemedCell(ACol, ARow, CellType, AreaRow);

  if (CellType.VertType == vctSubTitleEh) {
    if (themed) {
      canvas->Brush()->SetColor(background);
      DrawCellBackground(cfstThemedEh, ARect, false, false, EmptyRect(), true, false, clDefault);
    }
    DrawSubTitleCell(ACol, ARow, AreaCol, AreaRow, CellType, ARect, AState);
    if (is3D && !themed) DrawEdgeBorders(canvas, ARect, gbtRaisedEh, Flat());
    return;
  }

  const bool noMouseOperation = GridState() == gsNormal && dragState_ == dgsNormalEh;
  const bool pressed =
      pressedTitleCol_ == ACol && titleTracking_ && !titlePressLookOff_ && GridState() != gsColMoving;
  const bool multiTitle = IsMultiTitleEffective();
  const bool lastVisible = AreaCol == visibleColumns_.Count() - 1;

  TRect rect = TitleLeafRect(this, column, ARect);
  if (TitleLeafLine(this, AreaCol)) {
    canvas->Pen()->SetColor(titleParams->GetActualVertLineColor());
    canvas->MoveTo(rect.Right - 1, rect.Top);
    canvas->LineTo(rect.Right - 1, rect.Bottom);
    --rect.Right;
  }

  std::string caption = title->Caption();
  THeadTreeNode* leaf = nullptr;
  if (multiTitle && column->Index() < static_cast<int>(leafFieldArr_.size()))
    leaf = leafFieldArr_[static_cast<size_t>(column->Index())].first;
  if (leaf) caption = leaf->Text;

  // The mouse over this title, or the hot-tracked cell while the mouse does nothing else.
  const bool hot = IsCursorInRect(ARect) || (AState.Contains(gdHotTrack) && noMouseOperation);
  bool filterShown = false;
  if (HasTitleFilter(this, column)) {
    switch (STFilter()->FilterButtonDrawTime()) {
      case fbdtAlwaysEh:
        filterShown = true;
        break;
      case fbdtWhenCellHotEh:
        filterShown = hot;
        break;
      case fbdtWhenRowHotEh: {
        const TRect row{0, ARect.Top, ClientWidth(), ARect.Bottom};
        filterShown = IsCursorInRect(row) || (HotTrackSpot()->Row == ARow && noMouseOperation);
        break;
      }
    }
  }

  if (TitleImages() && title->ImageIndex() != -1) caption.clear();

  canvas->Font()->Assign(title->Font());
  TSortMarkerEh sortMarker = title->SortMarker();
  if (OnGetBtnParams && column->GetField())
    OnGetBtnParams(this, column, canvas->Font(), background, sortMarker, pressed);

  const bool selected = ColumnSelected(this, column);
  const bool highlighted = GetSelectionColors(ACol, canvas->Font(), background, selected, selected, CellType);

  TDBGridTitleDrawParamsEh params;
  params.Caption = caption;
  params.Color = background;
  params.Pressed = pressed;
  params.Hot = hot;
  params.WordWrapAllowed =
      titleParams->MultiTitle() || titleParams->RowHeight() != 0 || titleParams->RowLines() != 0;
  params.Highlighted = highlighted;
  params.Orientation = title->Orientation();
  params.The3DTitle = is3D;
  params.Themed = themed;
  params.ThemedByStyle = style_ && style_->IsThemed();
  params.FilterButtonShown = filterShown;
  params.Selected = selected;
  params.SortMarker = sortMarker;
  params.ShowSortIndex = true;
  TFont* font = canvas->Font();
  params.FontCharset = font->Charset();
  params.FontColor = font->Color();
  params.FontHeight = font->Height();
  params.FontName = font->Name();
  params.FontStyle = font->Style();
  params.BorderInFillNotLast = !lastVisible && titleParams->BorderInFillStyle();
  params.BorderInFill = titleParams->BorderInFillStyle();
  DrawTitleText(params, column, rect);

  if (leaf && leaf->Host && leaf->Host != headTree_.get()) DrawTitleUpperLevels(column, rect);
}

void TCustomDBGridEh::DrawTitleCellByParams(const TDBGridTitleDrawParamsEh& Params, const TRect& ARect) {
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetColor(Params.Color);
  // A grid without a style of its own has the default look.
  TDBGridEhStyle* style = style_ ? style_ : DBGridEhDefaultStyle();
  if (!style) {
    canvas->FillRect(ARect);
    if (Params.The3DTitle) DrawEdgeBorders(canvas, ARect, Params.Pressed ? gbtSunkenEh : gbtRaisedEh, Flat());
    return;
  }
  TGridDrawState state;
  if (Params.Hot) state.Include(gdHotTrack);
  TRect content;
  style->DrawTitleCell(this, 0, canvas, ARect, true, content, state, Params, EmptyRect());
}

void TCustomDBGridEh::DrawTitleText(const TDBGridTitleDrawParamsEh& Params, TColumnEh* Column,
                                    const TRect& ARect) {
  if (!Column) return;
  TCanvas* canvas = Canvas();
  TColumnTitleEh* title = Column->Title();
  TFont* font = canvas->Font();
  if (!Params.FontName.empty()) {
    font->SetName(Params.FontName);
    font->SetCharset(Params.FontCharset);
    font->SetHeight(Params.FontHeight);
    font->SetStyle(Params.FontStyle);
    font->SetColor(Params.FontColor);
  }
  canvas->Brush()->SetColor(Params.Color);
  DrawTitleCellByParams(Params, ARect);
  canvas->Brush()->SetColor(Params.Color);

  const TTitleLayoutEh layout = LayOutTitle(this, Column, canvas, Params, ARect);
  const TRect& text = layout.Text;
  const TRect& button = layout.Button;
  const bool hasImage = TitleImages() && title->ImageIndex() != -1;

  const bool rtl = Column->UseRightToLeftAlignment();
  // The caption lies over the fill: no box of its own behind it.
  canvas->Brush()->SetStyle(bsClear);
  TScopeExit solidBrush([canvas] { canvas->Brush()->SetStyle(bsSolid); });
  if (!Params.Caption.empty()) {
    if (Params.Orientation == tohVertical) {
      // Bottom-to-top, the title's alignment read along the cell's height.
      const int saved = font->Orientation();
      font->SetOrientation(kVerticalEscapement);
      TScopeExit restore([&] { font->SetOrientation(saved); });
      const int length = canvas->TextWidth(Params.Caption);
      const int thickness = canvas->TextHeight(Params.Caption);
      const int x = text.Left + std::max(0, (text.Width() - thickness) / 2);
      int y = text.Bottom - 3;
      if (title->Alignment() == taCenter)
        y = (text.Top + text.Bottom + length) / 2;
      else if (title->Alignment() == taRightJustify)
        y = text.Top + length + 3;
      const int bkMode = SetBkMode(canvas->Handle(), TRANSPARENT);
      TScopeExit restoreMode([&] { SetBkMode(canvas->Handle(), bkMode); });
      canvas->TextRect(text, x, std::min(y, text.Bottom), Params.Caption);
    } else {
      WriteCellText(Column, canvas, text, false, 2, 2, Params.Caption, title->Alignment(), tlCenter,
                    Params.WordWrapAllowed, title->EndEllipsis(), 0, 0, rtl);
    }
  }

  // A leaf of multi-level titles keeps its image at the left, where the press moved the text.
  if (hasImage)
    DrawClipped(TitleImages(), nullptr, canvas, text, title->ImageIndex(), 0,
                IsMultiTitleEffective() ? taLeftJustify : taCenter);

  const int midY = (ARect.Top + ARect.Bottom) / 2;
  if (layout.MarkerShown) {
    TDBGridEhStyle* style = style_ ? style_ : DBGridEhDefaultStyle();
    const TSortMarkerStyleEh markerStyle = TitleParams()->SortMarkerStyle();
    int w = 0, h = 0;
    if (style) style->GetSortMarkerSize(canvas, markerStyle, w, h);
    if (w > 0 && h > 0) {
      const int left = text.Right + (kSortMarkerRoom - w) / 2;
      const TRect r{left, midY - h / 2, left + w, midY - h / 2 + h};
      ::DrawSortMarker(style, canvas, markerStyle, r, Params.Highlighted, Params.SortMarker, Column);
    }
  }
  if (layout.IndexShown) {
    TFont saved;
    saved.Assign(font);
    TScopeExit restoreFont([&] { font->Assign(&saved); });
    font->Assign(DBGridEhSortMarkerFont());
    font->SetColor(TitleFont()->Color());
    const int h = canvas->TextHeight(layout.IndexText);
    const int bkMode = SetBkMode(canvas->Handle(), TRANSPARENT);
    TScopeExit restoreMode([&] { SetBkMode(canvas->Handle(), bkMode); });
    canvas->TextOut(layout.DecorationRight - kSortIndexGap - layout.IndexWidth, midY - h / 2,
                    layout.IndexText);
  }

  if (Params.FilterButtonShown && !IsRectEmpty(button)) {
    const bool active = Params.Hot;
    const int veil = active ? 0 : kFilterButtonVeil;
    TDBGridEhStyle* style = style_ ? style_ : DBGridEhDefaultStyle();
    const TEditButtonStyleEh kind = style ? style->InTitleFitlerButtonStyle() : ebsDropDownEh;
    const bool dropped = titleFilterColumn_ == Column && titleFilterList_ && titleFilterList_->Visible();
    FillTranslucentRect(canvas, button, nullptr, -1, Params.Color, veil, dropped, active, Flat(), active,
                        true, static_cast<int>(kind));
    // The face alone: the grid draws the glyph over it.
    if (kind == ebsGlyphEh) DrawTitleButtonGlyph(active, button);
    // The condition reads beside the button that sets it, left of the sort marker.
    if (HasTitleFilter(this, Column))
      DrawTitleFilterCell(Column, TRect{text.Left, button.Top, text.Right, button.Bottom});
  }
}

void TCustomDBGridEh::DrawTitleUpperLevels(TColumnEh* Column, const TRect& ARect) {
  if (!Column || !headTree_ || Column->Index() >= static_cast<int>(leafFieldArr_.size())) return;
  THeadTreeNode* child = leafFieldArr_[static_cast<size_t>(Column->Index())].first;
  if (!child) return;
  TCanvas* canvas = Canvas();
  // The cell walk paints band by band, each under its own clip: a node spanning frozen and
  // scrolled columns is painted once in each band.
  const TRect clip = canvas->ClipRect();
  if (clip != upperTitleClip_) {
    upperTitleClip_ = clip;
    dbgrid_detail::ClearTitleMarks(headTree_.get());
  }
  TDBGridTitleParamsEh* titleParams = TitleParams();
  const bool wholeGrid = Selection()->SelectionType() == gstAll;
  TDBGridEhStyle* style = style_ ? style_ : DBGridEhDefaultStyle();
  int left = ARect.Left;
  int top = ARect.Top;
  for (THeadTreeNode* node = child->Host; node && node != headTree_.get(); child = node, node = node->Host) {
    left -= WidthBefore(node, child);
    const TRect r{left, top - node->Height, left + node->Width, top};
    top = r.Top;
    // A node spans several columns: the first of them to paint it paints it for all. The levels
    // above lie higher still: once one is above the clip, none is left to paint.
    if (node->Drawed || r.Bottom <= clip.Top) break;
    if (r.Top >= clip.Bottom) continue;  // below the clip: a level further up may show
    node->Drawed = true;

    canvas->Font()->Assign(TitleFont());
    TColor background = ColumnDefValues()->Title()->Color();
    if (wholeGrid)
      GetSelectionColors(-1, canvas->Font(), background, true, true, TCellAreaTypeEh{hctDataEh, vctTitleEh});
    canvas->Brush()->SetColor(background);
    const TGridCellFillStyleEh fill = titleParams->GetActualFillStyle();
    const TColor second = titleParams->SecondColorStored() ? titleParams->SecondColor() : clDefault;
    if (style)
      style->DrawCellBackground(this, fill, r, false, wholeGrid, EmptyRect(), true, second);
    else
      DrawCellBackground(fill, r, false, wholeGrid, EmptyRect(), true, false, second);

    TRect textRect = r;
    if (titleParams->VertLines() && !titleParams->BorderInFillStyle()) {
      canvas->Pen()->SetColor(titleParams->GetActualVertLineColor());
      canvas->MoveTo(r.Right - 1, r.Top);
      canvas->LineTo(r.Right - 1, r.Bottom);
      --textRect.Right;
    }
    if (titleParams->HorzLines()) {
      canvas->Pen()->SetColor(titleParams->GetActualHorzLineColor());
      canvas->MoveTo(r.Left, r.Bottom - 1);
      canvas->LineTo(r.Right, r.Bottom - 1);
      --textRect.Bottom;
    }
    canvas->Brush()->SetStyle(bsClear);
    WriteCellText(Column, canvas, textRect, false, 0, 0, node->Text, taCenter, tlCenter, true,
                  Column->Title()->EndEllipsis(), 2, 2, UseRightToLeftAlignment());
    canvas->Brush()->SetStyle(bsSolid);
  }
}

// --- the filter inside a title and the title button's glyph --------------------------------------------

void TCustomDBGridEh::DrawTitleFilterCell(TColumnEh* Column, const TRect& ARect) {
  if (!Column) return;
  const std::string text = Column->STFilter()->GetExpressionAsText();
  if (text.empty()) return;
  if (IsRectEmpty(ARect)) return;
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(STFilter()->Font());
  canvas->Brush()->SetStyle(bsClear);
  TScopeExit solid([canvas] { canvas->Brush()->SetStyle(bsSolid); });
  WriteTextEh(canvas, ARect, false, 2, 0, text, taRightJustify, tlCenter, false, true, 0, 0);
}

void TCustomDBGridEh::DrawTitleButtonGlyph(bool Pressed, const TRect& ARect) {
  // A small arrow pointing down, 6 pixels wide: the bright line colour darkened, lighter while
  // the button is in its active look.
  const TColor bright = GridLineColors()->GetBrightColor();
  const TColor color = Pressed ? BlendColors(bright, clBlack, 40) : BlendColors(bright, clBlack, 110);
  const int x = ARect.Left + (ARect.Width() - 6) / 2;
  const int y = ARect.Top + (ARect.Height() - 4) / 2;
  const std::vector<TPoint> points = {{x, y},         {x + 1, y},     {x + 3, y + 2}, {x + 5, y},
                                      {x + 6, y},     {x + 6, y + 1}, {x + 4, y + 3}, {x + 3, y + 4},
                                      {x + 2, y + 3}, {x, y + 1},     {x, y}};
  TCanvas* canvas = Canvas();
  canvas->Pen()->SetColor(color);
  canvas->Brush()->SetColor(color);
  canvas->Polygon(points);
}
