// The data grid's data cells: DrawDataAreaCell prepares one cell (its record, colours, cell
// parameters and the events that may take it over) and hands it to the default content painter,
// which draws the background, image, content, edit buttons, required-field mark, search
// highlights and hidden duplicates. Also the cell questions those painters ask: where edit
// buttons show, the data-cell colour question, the selection background and hot tracking.
#include <algorithm>
#include <string>
#include <vector>

#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Variant.h"
#include "platform/vcl/Forms.h"

namespace dbgrid_datacell_detail {

// The strip the row-detail column keeps free in a row without a detail panel.
constexpr int kRowDetailStripWidth = 18;
// Edit buttons are veiled with the cell colour: this much of them shows through (percent of
// transparency), less while the cell is hot.
constexpr int kButtonVeil = 80;
constexpr int kHotButtonVeil = 30;

// One edit button as painted in a cell.
struct TDataCellButton {
  int Kind = 0;  // a TEditButtonStyleEh ordinal
  int Width = 0;
  TCustomImageList* Images = nullptr;
  int ImageIndex = -1;
  bool Enabled = true;
  int ItemIndex = -1;  // index in the column's EditButtons; -1 for the column's own button
};

// The button kind a cell shows for the column's own edit style; -1 for none.
int OwnButtonKind(TInplaceEditStyleEh Style) {
  switch (Style) {
    case esEllipsisEh:
      return static_cast<int>(ebsEllipsisEh);
    case esPickListEh:
    case esDataListEh:
    case esDropDownEh:
    case esDateCalendarEh:
      return static_cast<int>(ebsDropDownEh);
    case esUpDownEh:
      return static_cast<int>(ebsUpDownEh);
    case esAltDropDownEh:
    case esAltDateCalendarEh:
      return static_cast<int>(ebsAltDropDownEh);
    case esAltUpDownEh:
      return static_cast<int>(ebsAltUpDownEh);
    case esSimpleEh:
      break;
  }
  return -1;
}

// The column's own button first, then each visible item of its EditButtons.
std::vector<TDataCellButton> CellButtonsOf(TColumnEh* Column, int DefaultWidth) {
  std::vector<TDataCellButton> out;
  if (const int own = OwnButtonKind(Column->GetCellButtonStyle()); own >= 0)
    out.push_back({own, DefaultWidth, nullptr, -1, true, -1});
  TEditButtonsEh* items = Column->EditButtons();
  for (int i = 0; items && i < items->Count(); ++i) {
    TEditButtonEh* item = items->Items(i);
    if (!item->Visible()) continue;
    TDataCellButton b;
    b.Kind = static_cast<int>(item->Style());
    b.Width = item->Width() > 0 ? item->Width() : DefaultWidth;
    b.Enabled = item->Enabled();
    b.ItemIndex = i;
    if (!item->Images()->GetStateImage(b.Enabled ? bpsNormalEh : bpsDisabledEh, b.Images, b.ImageIndex)) {
      b.Images = nullptr;
      b.ImageIndex = -1;
    }
    out.push_back(b);
  }
  return out;
}

bool IsEditingState(TDataSet* DataSet) {
  return DataSet && (DataSet->State() == dsEdit || DataSet->State() == dsInsert);
}

// The first Count code points of Text.
std::string LeadingCharacters(const std::string& Text, size_t Count) {
  size_t i = 0;
  for (size_t n = 0; i < Text.size() && n < Count; ++n) {
    ++i;
    while (i < Text.size() && (static_cast<unsigned char>(Text[i]) & 0xC0) == 0x80) ++i;
  }
  return Text.substr(0, i);
}

size_t CodePointCount(const std::string& Text) {
  size_t n = 0;
  for (unsigned char c : Text)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

}  // namespace dbgrid_datacell_detail

using namespace dbgrid_datacell_detail;

// --- one data cell --------------------------------------------------------------------------------

TCustomDBGridEh::TRowReadScope::TRowReadScope(TCustomDBGridEh* Grid, int DataRow)
    : grid_(Grid),
      watch_(Grid->Watch()),
      ownRows_(Grid->IsDataIntfAssigned()),
      saved_(Grid->DataLink()->ActiveRecord()) {
  if (ownRows_)
    grid_->EnterRowRead(DataRow);
  else
    grid_->DataLink()->SetActiveRecord(DataRow);
}

TCustomDBGridEh::TRowReadScope::~TRowReadScope() {
  // A grid freed meanwhile has left the table's reads in its destructor.
  if (watch_.Gone()) return;
  if (ownRows_)
    grid_->LeaveRowRead();
  else
    grid_->DataLink()->SetActiveRecord(saved_);
}

void TCustomDBGridEh::DrawDataAreaCell(int ACol, int ARow, int AreaCol, int AreaRow, TCellAreaTypeEh CellType,
                                       const TRect& ARect, TGridDrawState AState) {
  TColumnEh* column = AreaColumn(AreaCol);
  TCanvas* canvas = Canvas();
  if (!column || !canvas) return;
  TRect rect = ARect;
  const TLivenessWatch watch = Watch();

  // 1. The column's font and colours, as the style answers them.
  canvas->Font()->Assign(column->Font());
  canvas->Font()->SetColor(style_ ? style_->GetColumnFontColor(this, column) : GetStyleFontColor(column));
  TColor columnColor = style_ ? style_->GetColumnColor(this, column) : GetStyleBackgroundColor(column);
  canvas->Brush()->SetColor(columnColor);

  // 2. Rows past the last record show the empty background only.
  TAxisGridDataLinkEh* link = DataLink();
  TDataSet* dataSet = link->Active() ? link->DataSet() : nullptr;
  if (!dataSet || !dataSet->Active()) {
    if (!IsBackgroundVisible()) canvas->FillRect(rect);
    return;
  }
  const bool ownRows = IsDataIntfAssigned();
  const int rowCount = ownRows ? GetDataRowCount() : link->RecordCount();
  // Group rows changed by a handler of this paint are read again once it ends.
  if (AreaRow < 0 || AreaRow >= rowCount || GroupTreeStale()) {
    if (!IsBackgroundVisible()) canvas->FillRect(rect);
    return;
  }

  // 4 (first half). Group rows and group footers belong to their own painters.
  TGroupDataTreeNodeEh* node = nullptr;
  const bool grouped = dataGrouping_ && dataGrouping_->IsGroupingActive() &&
                       dataGrouping_->GetActiveGroupLevelsCount() > 0 &&
                       dataGrouping_->GroupDataTree()->GetFlatCount() > 0;
  if (grouped) {
    node = dataGrouping_->GroupDataTree()->GetFlatNode(AreaRow);
    if (node && node->NodeType == dntDataGroupEh) {
      DrawDataGroupRow(ACol, ARow, AreaCol, AreaRow, CellType, rect, AState);
      return;
    }
    if (node && node->NodeType == dntDataGroupFooterEh) {
      DrawDataGroupFooterCell(ACol, ARow, AreaCol, AreaRow, CellType, rect, AState);
      return;
    }
  }

  // 2 (second half). The row's record is the active one while the cell paints.
  TRowReadScope readRow(this, AreaRow);
  if (GroupTreeStale()) {
    if (!IsBackgroundVisible()) canvas->FillRect(rect);
    return;
  }

  // 3. Frame and theme.
  TColCellParamsEh* params = GetCellParamsObject();
  if (!params) return;
  const bool cell3D = IsCell3D(ACol, ARow, AState, rect);
  const bool themed = IsThemedCell(ACol, ARow, CellType, AreaRow);

  // 4 (second half). The tree indent of a record row under grouping.
  const bool rowPanel = rowPanel_ && rowPanel_->Active();
  if (grouped && node && AreaCol == 0 && !rowPanel) {
    DrawDataRowGroupIndent(ACol, ARow, rect, AState, node->Level());
    if (UseRightToLeftAlignment())
      rect.Right -= GroupIndent();
    else
      rect.Left += GroupIndent();
  }

  // 6. Even and odd rows take their colours only in columns that keep the grid's colour; a
  // record without a number (being inserted) keeps the column's.
  TColor background = columnColor;
  if (column->Color() == Color() && EvenRowColor() != OddRowColor() &&
      (dataSet->IsSequenced() || (sumList_->Active() && sumList_->VirtualRecords()))) {
    const bool inserted = dataSet->State() == dsInsert && AreaRow == readRow.SavedActive();
    // Read through the table interface, the row's record is the positioned one, not the data
    // set's current record.
    const int recNo = inserted ? 0 : ownRows ? DataIntf()->GetRowIndex() + 1 : sumList_->RecNo();
    if (recNo > 0) background = recNo % 2 != 0 ? OddRowColor() : EvenRowColor();
  }

  // 7. The cell parameters, then the grid's and the column's events.
  column->FillColCellParams(params);
  TAxisColCellParamsEh* base = params;
  base->Col = ACol;
  base->Row = ARow;
  const int savedRow = std::exchange(params->Row, AreaRow);
  TScopeExit restoreRow(WhileAlive(watch, [params, savedRow] { params->Row = savedRow; }));
  params->State = AState;
  params->Font = canvas->Font();
  params->Background = background;
  params->Alignment = column->Alignment();
  params->DataCol = column->Index();
  params->DataRow = AreaRow;
  params->CellRect = rect;
  const bool readOnly = !column->CanModify(false);  // may call the column's handler
  if (watch.Gone()) return;
  params->ReadOnly = readOnly;
  params->NotDataRowCell = false;
  params->UseFixedColor = false;
  params->Cell3D = cell3D;
  params->ThemedCell = themed;
  params->FrameWidth = (cell3D ? 1 : 2) - (Flat() ? 1 : 0);
  params->DrawsCellItself = false;
  params->IsCurrentCellMarked = false;
  GetCellParams(column, params->Font, params->Background, params->State);
  if (watch.Gone() || GroupTreeStale()) return;
  column->GetColCellParamsEh(false, params);
  if (watch.Gone()) return;

  // 8. Whether this row has a detail panel (every row, unless the handler says otherwise).
  bool rowHasDetailPanel = true;
  if (OnCheckRowHaveDetailPanel) OnCheckRowHaveDetailPanel(this, rowHasDetailPanel);

  // 9. The tree area of a tree-view row (without tree lines it still holds the node's sign).
  if (AreaCol == 0 && ownRows && DataIntf()->IsTreeViewMode()) {
    DrawTreeArea(ACol, ARow, rect, AState);
    if (UseRightToLeftAlignment())
      rect.Right -= GetRowTreeIndent(ARow);
    else
      rect.Left += GetRowTreeIndent(ARow);
  }

  // 10. The row detail panel's expand button, or an empty strip where the row has no panel.
  if (AreaCol == 0 && rowDetailPanel_ && rowDetailPanel_->Active()) {
    if (!rowHasDetailPanel) {
      canvas->Brush()->SetColor(params->Background);
      canvas->FillRect(
          TRect{rect.Left, rect.Top, std::min(rect.Right, rect.Left + kRowDetailStripWidth), rect.Bottom});
      rect.Left += kRowDetailStripWidth;
    } else {
      rect.Left += DrawRowDetailButton(rect);
    }
  }

  // 11. The events may take the cell over.
  bool processed = false;
  if (OnAdvDrawDataCell)
    OnAdvDrawDataCell(this, column, ACol, AreaCol, AreaRow, rect, params->State, params, processed);
  if (!processed && column->OnAdvDrawDataCell)
    column->OnAdvDrawDataCell(this, column, ACol, AreaCol, AreaRow, rect, params->State, params, processed);
  if (!processed)
    DefaultDrawDataCellContent(ACol, ARow, AreaCol, AreaRow, rect, params->State, column, params);
  if (watch.Gone()) return;

  // 12. The focus rectangle.
  if (DefaultDrawing() && AState.Contains(gdFocused) && Focused() &&
      !ComponentState().Contains(csDesigning) && !options_.Contains(dgRowSelect) && !EditorMode() && Screen &&
      Screen->ActiveControl() == this && (!style_ || style_->IsDrawFocusRect()))
    canvas->DrawFocusRect(ARect);
}

// --- the default content painter ------------------------------------------------------------------

void TCustomDBGridEh::DefaultDrawDataCellContent(int ACol, int ARow, int AreaCol, int AreaRow,
                                                 const TRect& ARect, TGridDrawState AState, TColumnEh* Column,
                                                 TColCellParamsEh* Params) {
  TCanvas* canvas = Canvas();
  if (!canvas || !Column || !Params) return;

  // 12. Cells outside the data rows get the plain or themed fill and their edges.
  if (Params->NotDataRowCell) {
    FillCellBackground(ARect, Params, AState);
    if (Params->Cell3D && !Params->ThemedCell) DrawEdgeBorders(canvas, ARect, gbtRaisedEh, Flat());
    return;
  }

  // 1. The text margins and the frame of a 3-D cell.
  int margin = style_ ? style_->GetDataCellHorzOffset() : 3;
  if (Params->Cell3D) --margin;
  const int vertMargin = std::min(margin, 2);
  TRect textRect = ARect;
  if (Params->Cell3D && !Params->ThemedCell) {
    ++textRect.Left;
    ++textRect.Top;
    if (!Flat()) {
      --textRect.Right;
      --textRect.Bottom;
    }
  }

  // 2. The edit buttons take their width from the right.
  const bool buttonsShown = EditButtonsShownInCell(Column, ACol, ARow);
  TRect buttonsRect{};
  if (buttonsShown) {
    const int width = std::clamp(Column->GetEditButtonsWidth(), 0, std::max(0, textRect.Width()));
    buttonsRect = TRect{textRect.Right - width, textRect.Top, textRect.Right, textRect.Bottom};
    textRect.Right -= width;
  }

  // 3.
  if (Params->UseFixedColor) Params->Background = FixedColor();

  // 4. Selection colours, except for the current cell while its editor shows.
  const bool rowSelect = options_.Contains(dgRowSelect);
  const bool editorShown = InplaceEditor() && InplaceEditor()->Visible() && EditorMode();
  if (!(ARow == Row() && ACol == Col() && !rowSelect && editorShown)) {
    TColor color = Params->Background;
    if (CheckCellSelectedColors(ACol, ARow, canvas->Font(), color)) Params->State.Include(gdSelected);
    Params->Background = color;
  }

  // 5. The background.
  canvas->Brush()->SetColor(Params->Background);
  bool painted = DrawCellSelectionBackground(ACol, ARow, AreaCol, AreaRow, Column, ARect, Params);
  if (IsBackgroundVisible() && canvas->Brush()->Color() == Color()) painted = true;

  // 11 (first half). A value repeating the row above shows nothing; the lines between equal
  // values are painted over. Only rows inside the buffer are compared.
  bool sameAsPrior = false;
  bool sameAsNext = false;
  if (Column->HideDuplicates()) {
    const int rowCount = IsDataIntfAssigned() ? GetDataRowCount() : DataLink()->RecordCount();
    const Variant value = HideDuplicatesValue(Column, AreaRow);
    if (AreaRow > 0) sameAsPrior = VarSameValue(value, HideDuplicatesValue(Column, AreaRow - 1));
    if (AreaRow + 1 < rowCount) sameAsNext = VarSameValue(value, HideDuplicatesValue(Column, AreaRow + 1));
    if (sameAsPrior) {
      Params->Text.clear();
      Params->ImageIndex = -1;
    }
    const size_t index = static_cast<size_t>(Column->Index());
    if (index < duplicateFlags_.size() && static_cast<size_t>(AreaRow) < duplicateFlags_[index].size())
      duplicateFlags_[index][static_cast<size_t>(AreaRow)] = sameAsPrior ? 1 : 0;
  }

  // 6. Image and content.
  const bool rtl = Column->UseRightToLeftAlignment();
  const bool wrap = Column->IsWordWrapEffective(ARect.Height());
  if (DefaultDrawing() && textRect.Right > textRect.Left) {
    const TAxisBarKindEh kind = Column->GetColumnType();
    TCustomImageList* images = Column->ImageList();
    if (images && Column->ShowImageAndText() && kind != abkImageListEh) {
      const TRect imageRect{textRect.Left, textRect.Top,
                            std::min(textRect.Right, textRect.Left + images->Width() + 4), textRect.Bottom};
      if (!painted) canvas->FillRect(imageRect);
      if (Params->ImageIndex >= 0) DrawCellImageMirrored(canvas, imageRect, images, Params->ImageIndex);
      textRect.Left = std::min(textRect.Right, imageRect.Right + 1);
    }
    if (textRect.Right > textRect.Left) switch (kind) {
        case abkImageListEh:
          if (!painted) canvas->FillRect(textRect);
          if (images && Params->ImageIndex >= 0)
            DrawCellImageMirrored(canvas, textRect, images, Params->ImageIndex);
          break;
        case abkCheckboxesEh:
          if (!painted) canvas->FillRect(textRect);
          PaintCellButton(canvas, textRect, Params->CheckState, Enabled(), Flat());
          break;
        case abkGraphicEh:
          DrawGraphicData(Column, textRect, !painted);
          break;
        default:
          WriteCellText(Column, canvas, textRect, !painted, margin, vertMargin, Params->Text,
                        Params->Alignment, Column->Layout(), wrap, Column->EndEllipsis(), 0, 0, rtl);
          if (searchMode_ && SearchInProgress() && dbgrid_detail::SearchesInColumn(this, Column)) {
            const std::string searched = SearchText();
            if (!searched.empty())
              WriteCellTextMirrored(Column, canvas, textRect, false, margin, vertMargin, Params->Text,
                                    Params->Alignment, Column->Layout(), wrap, Column->EndEllipsis(), 0, 0,
                                    Column->UseRightToLeftReading(), searched, clYellow);
          }
          // The texts the grid was given to highlight (a filtered list's typed text) are marked
          // over the written text in the same way.
          for (TGridHighlightTextParamsEh* entry : highlightTexts_)
            if (!entry->Text.empty() && entry->Columns()->IndexOf(Column) >= 0)
              WriteCellTextMirrored(Column, canvas, textRect, false, margin, vertMargin, Params->Text,
                                    Params->Alignment, Column->Layout(), wrap, Column->EndEllipsis(), 0, 0,
                                    Column->UseRightToLeftReading(), entry->Text, entry->Color);
          break;
      }
  }

  // 7. The edit buttons, veiled with the cell colour.
  if (buttonsShown && buttonsRect.Right > buttonsRect.Left) {
    const bool flatNoThemes = Flat() && !ThemesEnabled();
    const int defaultWidth = Flat() ? FlatButtonWidth() : GetSystemMetrics(SM_CXVSCROLL);
    const TGridHotTrackSpotEh* hot = HotTrackSpot();
    const bool hotCell = AState.Contains(gdHotTrack) || (hot && hot->Col == ACol && hot->Row == ARow);
    int veil = hotCell ? kHotButtonVeil : kButtonVeil;
    if (AState.Contains(gdFocused) || (optionsEh_.Contains(dghRowHighlight) && ARow == Row())) veil = 0;
    if (!painted) canvas->FillRect(buttonsRect);
    int x = buttonsRect.Left;
    for (const TDataCellButton& b : CellButtonsOf(Column, defaultWidth)) {
      if (x >= buttonsRect.Right) break;
      const TRect r{x, buttonsRect.Top, std::min(x + b.Width, buttonsRect.Right), buttonsRect.Bottom};
      const bool hotButton = hotCell && b.ItemIndex >= 0 && hotSpot_.Part == hpEditButtonEh &&
                             hotSpot_.EditButtonIndex == b.ItemIndex;
      FillTranslucentRect(canvas, r, b.Images, b.ImageIndex, Params->Background, veil, false, hotButton,
                          Flat(), AState.Contains(gdFocused), b.Enabled, b.Kind);
      if (Params->Cell3D && flatNoThemes) {
        canvas->Pen()->SetColor(clBtnShadow);
        canvas->MoveTo(r.Left - 1, r.Top);
        canvas->LineTo(r.Left - 1, r.Bottom);
      }
      x += b.Width + (flatNoThemes ? 1 : 0);
    }
  }

  // 8. The required-field mark of the row being edited.
  TDataSet* dataSet = DataLink()->DataSet();
  TField* field = Column->GetField();
  if (Column->HighlightRequired() && ARow == Row() && IsEditingState(dataSet)) {
    bool mark = field && field->Required() && field->IsNull();
    if (Column->OnCheckDrawRequiredState) Column->OnCheckDrawRequiredState(Column, Params->Text, mark);
    if (mark) {
      const TPenStyle oldStyle = canvas->Pen()->Style();
      const TColor oldColor = canvas->Pen()->Color();
      TScopeExit restorePen([&] {
        canvas->Pen()->SetStyle(oldStyle);
        canvas->Pen()->SetColor(oldColor);
      });
      canvas->Pen()->SetStyle(psDot);
      canvas->Pen()->SetColor(clRed);
      canvas->MoveTo(ARect.Left + 2, ARect.Bottom - 2);
      canvas->LineTo(ARect.Right - 3, ARect.Bottom - 2);
    }
  }

  // 9. The drawing events.
  if (!Columns()->IsPersistent()) DrawDataCellEvent(ARect, field, AState);
  const TLivenessWatch watch = Watch();
  DrawColumnCell(ARect, Column->Index(), Column, AState);
  if (watch.Gone()) return;

  // 10. The incremental search marks the searched part of the focused cell's text.
  const bool searchCell = rowSelect ? AreaCol == 0 : ACol == Col();
  if (incSearching_ && !incSearchText_.empty() && ARow == Row() && searchCell &&
      (options_.Contains(dgAlwaysShowSelection) || Focused()) && !ComponentState().Contains(csDesigning) &&
      !EditorMode() && Screen && Screen->ActiveControl() == this)
    DrawIncSearchHighlight(Column, textRect, margin, vertMargin, Params->Text, Params->Alignment, wrap);

  // 11 (second half). The lines between equal values take the column's colour.
  if (options_.Contains(dgRowLines) && (sameAsPrior || sameAsNext)) {
    const int lineWidth = GridLineWidth();
    canvas->Brush()->SetColor(Column->Color());
    if (sameAsPrior && AreaRow > 0)
      canvas->FillRect(TRect{ARect.Left, ARect.Top - lineWidth, ARect.Right, ARect.Top});
    if (sameAsNext) canvas->FillRect(TRect{ARect.Left, ARect.Bottom, ARect.Right, ARect.Bottom + lineWidth});
  }
}

Variant TCustomDBGridEh::HideDuplicatesValue(TColumnEh* Column, int AreaRow) {
  TRowReadScope readRow(this, AreaRow);
  TField* field = Column->GetField();
  Variant value = field ? field->AsVariant() : Variant();
  if (Column->OnGetHideDuplicatesValue) {
    bool processed = false;
    Column->OnGetHideDuplicatesValue(this, Column, value, processed);
  }
  return value;
}

void TCustomDBGridEh::DrawIncSearchHighlight(TColumnEh* Column, const TRect& TextRect, int Margin,
                                             int VertMargin, const std::string& Text, TAlignment Alignment,
                                             bool WordWrap) {
  TCanvas* canvas = Canvas();
  const std::string part = LeadingCharacters(Text, CodePointCount(incSearchText_));
  if (part.empty()) return;
  UINT flags = DT_EXPANDTABS | DT_NOPREFIX;
  TAlignment align = Alignment;
  if (UseRightToLeftAlignment() && align != taCenter)
    align = align == taLeftJustify ? taRightJustify : taLeftJustify;
  flags |= align == taRightJustify ? DT_RIGHT : align == taCenter ? DT_CENTER : DT_LEFT;
  if (WordWrap) {
    flags |= DT_WORDBREAK;
    if (Column->UseRightToLeftReading()) flags |= DT_RTLREADING;
  }
  RECT r{TextRect.Left + Margin, TextRect.Top + VertMargin, TextRect.Right - Margin, TextRect.Bottom};
  if (r.Right <= r.Left || r.Bottom <= r.Top) return;
  canvas->Font()->SetColor(DBGridEhSearchHighlightFontColor);
  canvas->Brush()->SetColor(DBGridEhSearchHighlightColor);
  canvas->RequiredState(TCanvasState{csHandleValid, csFontValid, csBrushValid});
  HDC dc = canvas->Handle();
  const int oldMode = SetBkMode(dc, OPAQUE);
  const COLORREF oldBk = SetBkColor(dc, ColorToRGB(DBGridEhSearchHighlightColor));
  const COLORREF oldText = SetTextColor(dc, ColorToRGB(DBGridEhSearchHighlightFontColor));
  TScopeExit restore([&] {
    SetBkMode(dc, oldMode);
    SetBkColor(dc, oldBk);
    SetTextColor(dc, oldText);
  });
  DRAWTEXTPARAMS dtp{};
  dtp.cbSize = sizeof(DRAWTEXTPARAMS);
  std::string text = part;
  DrawTextEx(dc, text, &r, flags, &dtp);
}

// --- the events ------------------------------------------------------------------------------------

void TCustomDBGridEh::DrawColumnCell(const TRect& Rect, int DataCol, TColumnEh* Column,
                                     TGridDrawState State) {
  if (OnDrawColumnCell) OnDrawColumnCell(this, Rect, DataCol, Column, State);
}

void TCustomDBGridEh::DrawDataCellEvent(const TRect& Rect, TField* Field, TGridDrawState State) {
  if (OnDrawDataCell) OnDrawDataCell(this, Rect, Field, State);
}

bool TCustomDBGridEh::GetCellParams(TColumnEh* Column, TFont* AFont, TColor& Background,
                                    TGridDrawState State) {
  if (!OnGetCellParams) return false;
  OnGetCellParams(this, Column, AFont, Background, State);
  return true;
}

// --- the cell questions -------------------------------------------------------------------------------

bool TCustomDBGridEh::EditButtonsShownInCell(TColumnEh* Column, int ACol, int ARow) {
  if (!Column || !Column->IsAlwaysShowEditButton()) return false;
  const TEditButtonsShowOptionsEh options = editButtonsShowOptions_;
  if (options.Contains(sebShowOnlyForCurCellEh) && (ACol != Col() || ARow != Row())) return false;
  if (options.Contains(sebShowOnlyForCurRowEh) && ARow != Row()) return false;
  if (options.Contains(sebShowOnlyWhenGridActiveEh) && !IsFocusedOrChildFocused()) return false;
  if (options.Contains(sebShowOnlyWhenDataEditingEh) && !IsEditingState(DataLink()->DataSet())) return false;
  return true;
}

bool TCustomDBGridEh::CheckCellSelectedColors(int ACol, int ARow, TFont* AFont, TColor& Background) {
  return GetSelectionColors(ACol, ARow, ColCellParams(), AFont, Background);
}

bool TCustomDBGridEh::DrawCellSelectionBackground(int ACol, int ARow, int AreaCol, int AreaRow,
                                                  TAxisBarEh* Bar, const TRect& ARect,
                                                  TAxisColCellParamsEh* Params) {
  if (!HandleAllocated() || !Params) return false;
  const bool selected = Params->State.Contains(gdSelected);
  const bool currentRow = ARow == Row();
  const bool rowHighlight = optionsEh_.Contains(dghRowHighlight);
  const TGridHotTrackSpotEh* hot = HotTrackSpot();
  const bool hotRow = hot && hot->Row == ARow;
  const bool hotCell = hotRow && hot->Col == ACol;
  bool highlighted = (IsFocusedOrChildFocused() || options_.Contains(dgAlwaysShowSelection)) &&
                     ((rowHighlight && currentRow) || selected);
  if (ThemesEnabled() && !highlighted)
    highlighted = (rowHighlight && currentRow && !hotCell) || hotCell || (rowHighlight && hotRow);
  TCanvas* canvas = Canvas();
  if (!highlighted) {
    if (!Params->Cell3D || selected) return false;
    canvas->Brush()->SetColor(Params->Background);
    canvas->FillRect(ARect);
    return true;
  }
  canvas->Brush()->SetColor(Params->Background);
  const TGridCellFillStyleEh fill = ThemesEnabled() ? cfstThemedEh : cfstSolidEh;
  if (style_)
    style_->DrawCellBackground(this, fill, ARect, false, selected, EmptyRect(), false, clDefault);
  else
    DrawCellBackground(fill, ARect, false, selected, EmptyRect(), false, false, clDefault);
  return true;
}

bool TCustomDBGridEh::CanHotTrackCell(int ACol, int ARow) {
  if (optionsEh_.Contains(dghHotTrack)) return ACol >= 0 && ARow >= 0;
  if (ARow == GetTitleRowCount() - 1 && stFilter_ && stFilter_->Location() == stflInTitleFilterEh)
    return true;
  if (ACol == 0 && IsIndicatorColumnVisible()) return true;
  return inherited::CanHotTrackCell(ACol, ARow);
}
