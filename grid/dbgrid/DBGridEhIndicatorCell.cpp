// The indicator column's cells: the row-state glyph, the row-select check box and the record
// number of data rows, the record count in the footer, the indicator title with its drop-down
// sign, and the glyph routines they use.
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/dbgrid/DBGridEhStyle.h"
#include "grid/foundation/ColorRoutinesEh.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/ImgList.h"

namespace indicator_cell_detail {

// The glyph part at the right of the indicator; narrower beside record numbers, which take the
// two pixels.
constexpr int kGlyphPartWidth = 11;
constexpr int kGlyphPartWidthWithRecNo = 9;
// The drop-down sign of the indicator title sits in this many pixels at the cell's right edge.
constexpr int kTitleSignWidth = 12;
constexpr int kTitlePressedOffset = 2;
// The current row under visual themes is darkened this much towards black.
constexpr int kCurrentRowDarkening = 10;

// U+00B7 MIDDLE DOT in UTF-8: the mark of rows between the shown record numbers.
constexpr const char* kRecNoMark = "\xC2\xB7";

// Indexes into the indicator image list (DBGridEhIndicatorImages) by glyph kind: arrow, arrow
// over a selected row, edit, insert, incremental search.
constexpr int kGlyphImages[] = {0, 5, 1, 2, 6};
// Under themes the edit and insert glyphs stay images; they sit one pixel lower.
constexpr int kThemedEditImage = 1;
constexpr int kThemedInsertImage = 2;
// The drop-down image of the shared sort-marker list.
constexpr int kDropDownImage = 2;

// The text the indicator shows for RecNo. Step 0 or less shows every number (a remainder by it
// would divide by zero).
std::string RecNoText(int RecNo, int Step, int RecordCount, bool Current) {
  if (Step <= 0 || RecNo % Step == 0 || RecNo == 1 || RecNo == RecordCount || Current)
    return std::to_string(RecNo);
  if (Step % 2 == 0 && RecNo % Step == Step / 2) return "-";
  return kRecNoMark;
}

// The row arrow as a staircase polygon in a box of W x H, pointing right, centred.
std::vector<TPoint> ArrowPolygon(const TRect& Box) {
  static constexpr TPoint kShape[] = {{2, 0}, {3, 0}, {4, 1}, {5, 2}, {6, 3}, {7, 4}, {7, 5}, {6, 6}, {5, 7},
                                      {4, 8}, {3, 9}, {2, 9}, {2, 7}, {2, 5}, {2, 3}, {2, 1}, {2, 0}};
  constexpr int kShapeWidth = 8, kShapeHeight = 10;
  const int dx = Box.Left + (Box.Width() - kShapeWidth) / 2;
  const int dy = Box.Top + (Box.Height() - kShapeHeight) / 2;
  std::vector<TPoint> points;
  for (const TPoint& p : kShape) points.push_back(TPoint{p.X + dx, p.Y + dy});
  return points;
}

// A downward arrow 7 pixels wide, centred in ARect.
std::vector<TPoint> DropDownPolygon(const TRect& ARect) {
  static constexpr TPoint kShape[] = {{0, 0}, {7, 0}, {7, 1}, {4, 4}, {3, 4}, {0, 1}, {0, 0}};
  constexpr int kShapeWidth = 7, kShapeHeight = 4;
  const int dx = ARect.Left + (ARect.Width() - kShapeWidth) / 2;
  const int dy = ARect.Top + (ARect.Height() - kShapeHeight) / 2;
  std::vector<TPoint> points;
  for (const TPoint& p : kShape) points.push_back(TPoint{p.X + dx, p.Y + dy});
  return points;
}

void FillPolygon(TCanvas* Canvas, const std::vector<TPoint>& Points, TColor Fill, TColor Edge) {
  const TColor oldBrush = Canvas->Brush()->Color();
  const TColor oldPen = Canvas->Pen()->Color();
  TScopeExit restore([&] {
    Canvas->Brush()->SetColor(oldBrush);
    Canvas->Pen()->SetColor(oldPen);
  });
  Canvas->Brush()->SetColor(Fill);
  Canvas->Pen()->SetColor(Edge);
  Canvas->Polygon(Points);
}

}  // namespace indicator_cell_detail

using namespace indicator_cell_detail;

// --- the indicator cell ----------------------------------------------------------------------------

void TCustomDBGridEh::DrawIndicatorCell(int ACol, int ARow, int /*AreaCol*/, int AreaRow,
                                        TCellAreaTypeEh CellType, const TRect& ARect, TGridDrawState AState) {
  TCanvas* canvas = Canvas();
  TDBGridIndicatorParamsEh* params = IndicatorParams();
  const bool title = CellType.VertType == vctTitleEh || CellType.VertType == vctSubTitleEh;
  TDBGridEhStyle* style = style_ ? style_ : DBGridEhDefaultStyle();

  // 1. The colour, the 3-D frame and the drawing rectangle.
  canvas->Brush()->SetColor(params->Color());
  const TGridCellFillStyleEh fill =
      title ? TitleParams()->GetActualFillStyle() : params->GetActualFillStyle();
  const bool is3D = IsCell3D(ACol, ARow, AState, ARect);
  const bool themed = IsThemedCell(ACol, ARow, CellType, AreaRow);
  const bool pressed = title && dragState_ == dgsIndicatorTitlePressedEh && titleTracking_;
  TRect rect = ARect;
  if (is3D && !themed) {
    if (!Flat() && fill != cfstGradientEh) {
      DrawEdgeBorders(canvas, ARect, pressed ? gbtSunkenEh : gbtRaisedEh, false);
      InflateRect(rect, -1, -1);
    } else {
      canvas->Pen()->SetColor(clBtnHighlight);
      canvas->MoveTo(ARect.Left, ARect.Bottom - 1);
      canvas->LineTo(ARect.Left, ARect.Top);
      canvas->LineTo(ARect.Right, ARect.Top);
      ++rect.Left;
      ++rect.Top;
    }
  }

  // The background of data and footer rows: themed header, else the style's fill.
  auto fillBackground = [&](bool Selected) {
    if (themed) {
      TRect wide = rect;
      AdjustFixedCellRect(wide, true, true);
      DrawCellBackground(cfstThemedEh, wide, false, Selected, ARect, true, false, clDefault);
    } else if (style) {
      style->DrawCellBackground(this, fill, rect, false, Selected, EmptyRect(), true, clDefault);
    } else {
      DrawCellBackground(fill, rect, false, Selected, EmptyRect(), true, false, clDefault);
    }
  };

  // 8. The indicator title; the filter row's indicator cell is a plain fixed cell.
  if (CellType.VertType == vctSubTitleEh) {
    DrawSubTitleCell(ACol, ARow, 0, AreaRow, CellType, rect, AState);
    return;
  }
  if (title) {
    canvas->Brush()->SetColor(TitleParams()->Color());
    canvas->Font()->Assign(TitleParams()->Font());
    const int offset = pressed ? kTitlePressedOffset : 0;
    if (themed) {
      TRect wide = rect;
      if (!pressed) AdjustFixedCellRect(wide, true, true);
      DrawCellBackground(cfstThemedEh, wide, pressed, false, ARect, true, false, clDefault);
    } else {
      const TColor second = TitleParams()->SecondColorStored() ? TitleParams()->SecondColor() : clDefault;
      if (style)
        style->DrawCellBackground(this, fill, rect, pressed, false, EmptyRect(), true, second);
      else
        DrawCellBackground(fill, rect, pressed, false, EmptyRect(), true, false, second);
    }
    if (IndicatorTitle()->ShowDropDownSign())
      DrawIndicatorTitleSign(TRect{rect.Right - kTitleSignWidth + offset, rect.Top + offset,
                                   rect.Right + offset, rect.Bottom + offset},
                             pressed);
    return;
  }

  // 2. The parts: glyph at the right, the check box left of it, the record number in the rest.
  const bool showGlyph = options_.Contains(dgIndicator);
  const bool showRecNo = optionsEh_.Contains(dghShowRecNo);
  const bool showCheckBox = indicatorOptions_.Contains(gioShowRowselCheckboxesEh);
  const int glyphWidth = showGlyph ? (showRecNo ? kGlyphPartWidthWithRecNo : kGlyphPartWidth) : 0;
  const TRect glyphRect{rect.Right - glyphWidth, rect.Top, rect.Right, rect.Bottom};
  const TRect checkRect{glyphRect.Left - (showCheckBox ? rowSelCheckBoxWidth_ : 0), rect.Top, glyphRect.Left,
                        rect.Bottom};
  const TRect recNoRect{rect.Left, rect.Top, checkRect.Left, rect.Bottom};

  TDataLink* link = DataLink();
  TDataSet* dataSet = link->Active() ? link->DataSet() : nullptr;
  const bool multiSelect = options_.Contains(dgMultiSelect);
  const TDBGridEhSelectionType selectionType = Selection()->SelectionType();
  canvas->Font()->Assign(Font());

  // 7. The footer rows: the record count in the first one.
  if (CellType.VertType == vctFooterEh) {
    bool selected = multiSelect && selectionType == gstAll;
    if (selected) {
      TColor background = canvas->Brush()->Color();
      GetSelectionColors(ACol, canvas->Font(), background, true, true, CellType);
      canvas->Brush()->SetColor(background);
    }
    fillBackground(selected);
    if (showRecNo && AreaRow == 0 && dataSet && dataSet->State() != dsInsert && dataSet->RecordCount() > 0) {
      canvas->Font()->SetSize(canvas->Font()->Size() - 1);
      WriteCellText(nullptr, canvas, rect, false, 2, 1, std::to_string(dataSet->RecordCount()),
                    taRightJustify, tlCenter, false, false, 0, 0, false);
    }
    return;
  }

  // 3. Data rows: the row's record is the active one while it is painted.
  TGroupDataTreeNodeEh* node = nullptr;
  if (dataGrouping_ && dataGrouping_->IsGroupingActive())
    node = dataGrouping_->GroupDataTree()->GetFlatNode(AreaRow);
  const bool groupRow = node && node->NodeType != dntDataSetRecordEh;
  const bool intf = IsDataIntfAssigned();
  // Rows the records no longer reach (a handler of this paint emptied the table) read nothing.
  const bool recordRow = dataSet && !groupRow && AreaRow < (intf ? GetDataRowCount() : link->RecordCount());
  if (!recordRow && !groupRow) {
    fillBackground(false);
    return;
  }
  const int savedActive = link->ActiveRecord();
  std::optional<TRowReadScope> readRow;
  if (recordRow) readRow.emplace(this, AreaRow);
  const bool current = groupRow ? ARow == Row() : intf ? IsCurrentRecordRow(AreaRow) : savedActive == AreaRow;

  bool selected = false;
  if (multiSelect) {
    if (groupRow)
      selected = selectionType == gstAll;
    else
      selected = selectionType == gstAll ||
                 (selectionType == gstRecordBookmarks && Selection()->Rows()->CurrentRowSelected());
  }
  if (selected) {
    TColor background = canvas->Brush()->Color();
    GetSelectionColors(ACol, canvas->Font(), background, true, true, CellType);
    canvas->Brush()->SetColor(background);
  }
  if (current && ThemesEnabled())
    canvas->Brush()->SetColor(BlendColorsPercent(canvas->Brush()->Color(), clBlack, kCurrentRowDarkening));
  fillBackground(selected);

  // 4. The state glyph of the current row.
  if (showGlyph && current) {
    int kind = 0;
    const TDataSetState state = dataSet ? dataSet->State() : dsInactive;
    if (state == dsEdit)
      kind = 2;
    else if (state == dsInsert)
      kind = 3;
    else if (selected)
      kind = 1;
    else if (incSearching_)
      kind = 4;
    DrawIndicatorGlyph(kind, 0, glyphRect);
  }
  if (recordRow && current) indicatorRow_ = ARow;

  // 5. The row-select check box.
  if (showCheckBox && !groupRow && checkRect.Right > checkRect.Left) {
    TRect hotRect = checkRect;
    InflateRect(hotRect, GridLineWidth(), GridLineWidth());
    TGridHotTrackSpotEh* spot = HotTrackSpot();
    const bool hot = spot->Col == ACol && spot->Row == ARow && IsCursorInRect(hotRect);
    PaintCellButton(canvas, checkRect, selected ? cbChecked : cbUnchecked, true, Flat(), hot);
  }

  // 6. The record number.
  if (showRecNo && !groupRow && dataSet && !(current && dataSet->State() == dsInsert)) {
    // Read through the table interface, the row's record is the positioned one, not the data
    // set's current record.
    const int recNo = intf ? DataIntf()->GetRowIndex() + 1 : dataSet->RecNo();
    if (recNo > 0 && recNoRect.Right > recNoRect.Left) {
      canvas->Font()->SetSize(canvas->Font()->Size() - 1);
      const std::string text = RecNoText(recNo, params->RecNoShowStep(), dataSet->RecordCount(), current);
      WriteCellText(nullptr, canvas, recNoRect, false, 2, 1, text, taRightJustify, tlCenter, false, false, 0,
                    0, false);
    }
  }
}

void TCustomDBGridEh::DrawIndicatorTitleSign(const TRect& ARect, bool Pressed) {
  DrawIndicatorButtonGlyph(Pressed, ARect);
}

// --- the glyphs ----------------------------------------------------------------------------------

void TCustomDBGridEh::DrawIndicatorGlyph(int GlyphKind, int Offset, const TRect& ARect) {
  TCustomImageList* images = DBGridEhIndicatorImages();
  TCanvas* canvas = Canvas();
  if (GlyphKind < 0 || GlyphKind >= static_cast<int>(std::size(kGlyphImages))) return;
  if (!ThemesEnabled()) {
    if (!images) return;
    const int x = ARect.Left + (ARect.Width() - images->Width()) / 2 + Offset;
    const int y = ARect.Top + (ARect.Height() - images->Height()) / 2;
    images->Draw(canvas, x, y, kGlyphImages[GlyphKind]);
    return;
  }
  if (GlyphKind == 2 || GlyphKind == 3) {
    if (!images) return;
    const int x = ARect.Left + (ARect.Width() - images->Width()) / 2 + Offset;
    const int y = ARect.Top + (ARect.Height() - images->Height()) / 2 + 1;
    images->Draw(canvas, x, y, GlyphKind == 2 ? kThemedEditImage : kThemedInsertImage);
    return;
  }
  // The arrow in the text colour; the search arrow filled with the search's highlight.
  const int w = images ? images->Width() : kGlyphPartWidth;
  const int h = images ? images->Height() : kGlyphPartWidth;
  const TRect box{ARect.Left + (ARect.Width() - w) / 2 + Offset, ARect.Top + (ARect.Height() - h) / 2,
                  ARect.Left + (ARect.Width() - w) / 2 + Offset + w,
                  ARect.Top + (ARect.Height() - h) / 2 + h};
  const TColor text = canvas->Font()->Color();
  FillPolygon(canvas, ArrowPolygon(box), GlyphKind == 4 ? DBGridEhSearchHighlightColor : text, text);
}

void TCustomDBGridEh::DrawIndicatorButtonGlyph(bool Pressed, const TRect& ARect) {
  TCanvas* canvas = Canvas();
  if (!ThemesEnabled()) {
    TCustomImageList* images = dbgrid_detail::SortMarkerImages();
    if (!images) return;
    images->Draw(canvas, ARect.Left + (ARect.Width() - images->Width()) / 2,
                 ARect.Top + (ARect.Height() - images->Height()) / 2, kDropDownImage);
    return;
  }
  if (ARect.Height() <= 6) return;
  // Pressed: the text colour itself; else softened towards the background.
  const TColor text = canvas->Font()->Color();
  const TColor color = Pressed ? text : BlendColorsPercent(text, canvas->Brush()->Color(), 30);
  FillPolygon(canvas, DropDownPolygon(ARect), color, color);
}
