// The axis grid's cell painting: one data cell in its steps (fixed look, text area, edit
// buttons, selection colours, background, image, content, buttons, own painter, edges), the
// four background fill styles, translucent edit buttons, pictures from blob fields, the
// extended border, and the tool tip of a cell whose text does not show whole.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "grid/axis/AxisGridRoutinesEh.h"
#include "grid/axis/AxisGridSettingsEh.h"
#include "grid/axis/DBAxisGridEh.h"
#include "grid/foundation/ColorRoutinesEh.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Messages.h"
#include "platform/win/Painting.h"

namespace axis_drawing_detail {

// One edit button painted in a cell: its kind (a TEditButtonStyleEh ordinal), width and image.
struct TCellButtonEh {
  int Kind = 0;
  int Width = 0;      // the slot, separator included
  int Separator = 0;  // the pixels after the face
  TCustomImageList* Images = nullptr;
  int ImageIndex = -1;
  bool Enabled = true;
};

// The cell's own button first, then the visible items of the column, left to right (as the
// data-aware editors lay out theirs). The slots add up to the column's GetEditButtonsWidth: a
// flat grid without themes keeps a pixel after each face for the separator.
std::vector<TCellButtonEh> CollectCellButtons(TAxisBarEh* Bar) {
  std::vector<TCellButtonEh> out;
  TCustomDBAxisGridEh* grid = Bar->GetGrid();
  const bool flat = grid && grid->Flat();
  const int separator = flat && !ThemesEnabled() ? 1 : 0;
  const int defWidth = flat ? FlatButtonWidth() + separator : GetSystemMetrics(SM_CXVSCROLL);
  int ownKind = -1;
  switch (Bar->GetCellButtonStyle()) {
    case esEllipsisEh:
      ownKind = static_cast<int>(ebsEllipsisEh);
      break;
    case esPickListEh:
    case esDataListEh:
    case esDropDownEh:
    case esDateCalendarEh:
      ownKind = static_cast<int>(ebsDropDownEh);
      break;
    case esUpDownEh:
      ownKind = static_cast<int>(ebsUpDownEh);
      break;
    case esAltDropDownEh:
    case esAltDateCalendarEh:
      ownKind = static_cast<int>(ebsAltDropDownEh);
      break;
    case esAltUpDownEh:
      ownKind = static_cast<int>(ebsAltUpDownEh);
      break;
    case esSimpleEh:
      break;
  }
  if (ownKind >= 0) out.push_back({ownKind, defWidth, separator, nullptr, -1, true});
  TEditButtonsEh* items = Bar->EditButtons();
  for (int i = 0; items && i < items->Count(); ++i) {
    TEditButtonEh* item = items->Items(i);
    if (!item->Visible()) continue;
    TCellButtonEh b;
    b.Kind = static_cast<int>(item->Style());
    b.Width = (item->Width() > 0 ? item->Width() : defWidth) + separator;
    b.Separator = separator;
    b.Enabled = item->Enabled();
    if (!item->Images()->GetStateImage(b.Enabled ? bpsNormalEh : bpsDisabledEh, b.Images, b.ImageIndex)) {
      b.Images = nullptr;
      b.ImageIndex = -1;
    }
    out.push_back(b);
  }
  return out;
}

// Step 1 of a cell's drawing: gdFixed through the grid's hook, or a cell the data grid draws
// itself through the second hook.
bool HasFixedLook(TCustomDBAxisGridEh* Grid, int ACol, int ARow, TGridDrawState AState, bool DrawsItself) {
  if (!AState.Contains(gdFixed) && DrawsItself) return Grid->IsOwnDrawnCellFixedLook();
  return Grid->IsFixedLookCell(ACol, ARow, AState);
}

// The constant alpha of a translucent button: (100 - P) * 2.55 to the nearest integer, in
// integers so that 50 gives 128 exactly.
BYTE TranslucentAlpha(int Percent) {
  const int p = std::clamp(Percent, 0, 100);
  return static_cast<BYTE>(((100 - p) * 255 + 50) / 100);
}

// The face of an edit button of Kind in ARect, straight onto the canvas.
void PaintButtonFace(TCanvas* ACanvas, const TRect& ARect, TCustomImageList* Images, int ImageIndex,
                     bool Pressed, bool Hot, bool Flat, bool Active, bool Enabled, int Kind) {
  const TButtonPaintStateEh state = !Enabled  ? bpsDisabledEh
                                    : Pressed ? bpsPressedEh
                                    : Hot     ? bpsHotEh
                                              : bpsNormalEh;
  const int kind =
      Kind >= 0 && Kind <= static_cast<int>(ebsAltUpDownEh) ? Kind : static_cast<int>(ebsGlyphEh);
  const auto style = static_cast<TEditButtonStyleEh>(kind);
  if (style == ebsGlyphEh && !ThemesEnabled()) {
    // The plain button keeps a frame in the face colour around the face.
    ACanvas->Brush()->SetColor(clBtnFace);
    ACanvas->FrameRect(ARect);
    TRect inner = ARect;
    InflateRect(inner, -1, -1);
    if (!IsRectEmpty(inner)) PaintButtonEh(ACanvas, inner, style, state, Flat, Active);
  } else {
    PaintButtonEh(ACanvas, ARect, style, state, Flat, Active);
  }
  if (style == ebsGlyphEh && Images && ImageIndex >= 0 && ImageIndex < Images->Count())
    DrawImageListItemClipped(ACanvas, ButtonContentRectEh(ARect, style, Flat), Images, dsTransparent,
                             ImageIndex, Enabled);
}

// The bitmap every translucent button is drawn into before it is blended; it lives as long as
// the program (held, not freed) and only grows.
TBitmap* TranslucentBitmap() {
  static TBitmap* bitmap = new TBitmap();
  return bitmap;
}

// Writes Text centred in ARect with the canvas font, clipped to the rectangle; Opaque fills it.
void WriteCentredText(TCanvas* ACanvas, const TRect& ARect, const std::string& Text, bool Opaque) {
  const TSize size = ACanvas->TextExtent(Text);
  const int x = ARect.Left + (ARect.Width() - size.cx) / 2;
  const int y = ARect.Top + (ARect.Height() - size.cy) / 2;
  const TBrushStyle oldStyle = ACanvas->Brush()->Style();
  TScopeExit restore([&] { ACanvas->Brush()->SetStyle(oldStyle); });
  if (!Opaque) ACanvas->Brush()->SetStyle(bsClear);
  ACanvas->TextRect(ARect, x, y, Text);
}

// The width a fitted picture takes: pictures larger than the rectangle shrink by the larger
// of the two ratios, keeping their proportions; smaller ones keep their size.
TSize FitPicture(int PicWidth, int PicHeight, int RectWidth, int RectHeight) {
  if (PicWidth <= RectWidth && PicHeight <= RectHeight) return {PicWidth, PicHeight};
  const double wr = static_cast<double>(PicWidth) / RectWidth;
  const double hr = static_cast<double>(PicHeight) / RectHeight;
  if (wr <= hr) return {RoundHalfEven(PicWidth / hr), RectHeight};
  return {RectWidth, RoundHalfEven(PicHeight / wr)};
}

UINT EdgeFlags(TEdgeBorders Borders) {
  UINT flags = 0;
  if (Borders.Contains(ebLeft)) flags |= BF_LEFT;
  if (Borders.Contains(ebTop)) flags |= BF_TOP;
  if (Borders.Contains(ebRight)) flags |= BF_RIGHT;
  if (Borders.Contains(ebBottom)) flags |= BF_BOTTOM;
  return flags;
}

// The horizontal extent the hint window needs around its text (its border and text indent).
constexpr int kHintWindowExtraWidth = 6;
constexpr int kHintWindowExtraHeight = 2;

}  // namespace axis_drawing_detail

using namespace axis_drawing_detail;

// --- one data cell ---------------------------------------------------------------------------

void TCustomDBAxisGridEh::DrawDataCell(int ACol, int ARow, int AreaCol, int AreaRow, const TRect& ARect,
                                       TGridDrawState AState, TAxisBarEh* Bar) {
  TAxisColCellParamsEh* params = ColCellParams();
  TCanvas* canvas = Canvas();
  if (!params || !canvas) return;

  // 1. The fixed look.
  const bool fixedLook = HasFixedLook(this, ACol, ARow, AState, params->DrawsCellItself);

  // 2. The text area.
  TRect textRect = ARect;
  if (fixedLook) {
    if (params->ThemedCell) {
      AdjustFixedCellRect(textRect, true, true);
    } else if (Flat()) {
      ++textRect.Left;
      ++textRect.Top;
    } else {
      InflateRect(textRect, -1, -1);
    }
  }

  // 3. The edit buttons take their width from the right.
  TRect buttonsRect{};
  std::vector<TCellButtonEh> buttons;
  if (Bar && !params->DrawsCellItself && Bar->IsAlwaysShowEditButton()) {
    const int width = std::clamp(Bar->GetEditButtonsWidth(), 0, std::max(0, textRect.Width()));
    if (width > 0) {
      buttons = CollectCellButtons(Bar);
      buttonsRect = TRect{textRect.Right - width, textRect.Top, textRect.Right, textRect.Bottom};
      textRect.Right -= width;
    }
  }

  // 4. Selection colours, unless the data grid marked this as its current cell.
  const bool rowSelect = Options().Contains(goRowSelectEh);
  const bool isCurrent = ARow == Row() && (rowSelect || ACol == Col());
  if (!(isCurrent && params->IsCurrentCellMarked)) {
    TColor color = params->Background;
    if (GetSelectionColors(ACol, ARow, params, canvas->Font(), color)) {
      params->State.Include(gdSelected);
      params->Background = color;
    }
  }

  // 5. The background.
  canvas->Brush()->SetColor(params->Background);
  bool painted = DrawCellSelectionBackground(ACol, ARow, AreaCol, AreaRow, Bar, ARect, params);
  if (IsBackgroundVisible() && canvas->Brush()->Color() == Color()) painted = true;

  // 6 and 7. The image and the content.
  if (Bar && DefaultDrawing() && !params->DrawsCellItself && textRect.Right > textRect.Left) {
    const TAxisBarKindEh kind = Bar->GetColumnType();
    TCustomImageList* images = Bar->ImageList();
    if (images && Bar->ShowImageAndText() && kind != abkImageListEh) {
      const int imageRight = std::min(textRect.Right, textRect.Left + 2 + images->Width() + 4);
      const TRect imageArea{textRect.Left, textRect.Top, imageRight, textRect.Bottom};
      if (!painted) canvas->FillRect(imageArea);
      if (params->ImageIndex >= 0)
        DrawClipped(images, nullptr, canvas, imageArea, params->ImageIndex, 2, taLeftJustify);
      textRect.Left = imageRight;
    }
    if (textRect.Right > textRect.Left) switch (kind) {
        case abkImageListEh:
          if (!painted) canvas->FillRect(textRect);
          if (images && params->ImageIndex >= 0)
            DrawClipped(images, nullptr, canvas, textRect, params->ImageIndex, 2, params->Alignment);
          break;
        case abkCheckboxesEh:
          if (!painted) canvas->FillRect(textRect);
          PaintCellButton(canvas, textRect, params->CheckState, Enabled(), Flat());
          break;
        case abkGraphicEh:
          DrawGraphicData(Bar, textRect, !painted);
          break;
        default: {
          int margin = Bar->GetTextMargin();
          if (fixedLook) --margin;
          int vertMargin = std::min(margin, 2);
          if (Flat() && vertMargin >= 1) --vertMargin;
          WriteCellText(Bar, canvas, textRect, !painted, margin, vertMargin, params->Text, params->Alignment,
                        Bar->Layout(), Bar->IsWordWrapEffective(ARect.Height()), Bar->EndEllipsis(), 0, 0,
                        Bar->UseRightToLeftAlignment());
          break;
        }
      }
  }

  // 8. The edit buttons, left to right.
  if (!buttons.empty()) {
    const int transparency = std::min(GetEditButtonTransparency(ACol, ARow), 255);
    // The separators between flat faces show the cell's colour.
    if (!painted) canvas->FillRect(buttonsRect);
    int64_t x = buttonsRect.Left;
    for (const TCellButtonEh& b : buttons) {
      if (x >= buttonsRect.Right) break;
      const int right = static_cast<int>(std::min<int64_t>(x + b.Width - b.Separator, buttonsRect.Right));
      const TRect r{static_cast<int>(x), buttonsRect.Top, right, buttonsRect.Bottom};
      FillTranslucentRect(canvas, r, b.Images, b.ImageIndex, params->Background, transparency, false, false,
                          Flat(), AState.Contains(gdFocused), b.Enabled, b.Kind);
      x += std::max(0, b.Width);
    }
    if (fixedLook && !ThemesEnabled()) {
      canvas->Pen()->SetColor(clBtnShadow);
      canvas->MoveTo(buttonsRect.Left - 1, buttonsRect.Top);
      canvas->LineTo(buttonsRect.Left - 1, buttonsRect.Bottom);
    }
  }

  // 9. The data grid's own painter.
  if (params->DrawsCellItself) DrawOwnCellContent(ACol, ARow, ARect, AState);

  // 10. The edges of a fixed-look cell.
  if (fixedLook && !params->ThemedCell)
    DrawEdgeBorders(canvas, ARect, gbtRaisedEh, Flat() && ThemesEnabled());
}

bool TCustomDBAxisGridEh::DrawCellSelectionBackground(int ACol, int ARow, int AreaCol, int AreaRow,
                                                      TAxisBarEh* Bar, const TRect& ARect,
                                                      TAxisColCellParamsEh* Params) {
  if (!Params) return false;
  const bool fixedLook = HasFixedLook(this, ACol, ARow, Params->State, Params->DrawsCellItself);
  if (!fixedLook || Params->State.Contains(gdSelected)) return false;
  if (!Params->ThemedCell && !(Flat() && ThemesEnabled())) return false;
  DrawCellBackground(Params->ThemedCell ? cfstThemedEh : GetDefaultFillStyle(), ARect, false,
                     Params->State.Contains(gdSelected), EmptyRect(), fixedLook,
                     Params->State.Contains(gdFocused), clDefault);
  return true;
}

void TCustomDBAxisGridEh::DrawCellBackground(TGridCellFillStyleEh FillStyle, const TRect& ARect, bool Pressed,
                                             bool Selected, const TRect& ClipRect, bool FixedLook,
                                             bool Focused, TColor AColor) {
  TCanvas* canvas = Canvas();
  if (FillStyle == cfstThemedEh && ThemesEnabled()) {
    HTHEME theme = OpenThemeData(HandleAllocated() ? Handle() : nullptr, "HEADER");
    if (theme) {
      TScopeExit close([&] { CloseThemeData(theme); });
      const int state = Pressed || Selected ? HIS_PRESSED : HIS_NORMAL;
      const bool clipEmpty = ClipRect.Right <= ClipRect.Left || ClipRect.Bottom <= ClipRect.Top;
      canvas->FillRect(clipEmpty ? ARect : ClipRect);
      canvas->RequiredState(TCanvasState{csHandleValid});
      DrawThemeBackground(theme, canvas->Handle(), HP_HEADERITEM, state, &ARect,
                          clipEmpty ? nullptr : &ClipRect);
      return;
    }
  }
  if (FillStyle == cfstGradientEh) {
    TColor top = clNone, bottom = clNone;
    if (UseCustomGradient()) {
      GetCustomGradientColors(top, bottom);
      canvas->Brush()->SetColor(bottom);
    } else {
      bottom = canvas->Brush()->Color();
      if (Selected)
        top = BlendColors(bottom, clWindow, 127);
      else if (AColor == clDefault)
        top = ColorToGray(BlendColors(bottom, Color(), 240));
      else
        top = AColor;
    }
    FillGradient(canvas, ARect, top, bottom);
    return;
  }
  canvas->FillRect(ARect);
}

TGridCellFillStyleEh TCustomDBAxisGridEh::GetDefaultFillStyle() {
  if (Flat()) return cfstSolidEh;
  return ThemesEnabled() ? cfstThemedEh : cfstSolidEh;
}

bool TCustomDBAxisGridEh::IsFixedLookCell(int ACol, int ARow, TGridDrawState AState) {
  return AState.Contains(gdFixed);
}

void TCustomDBAxisGridEh::AdjustFixedCellRect(TRect& ARect, bool Right, bool Bottom) {
  if (Right) ARect.Right += 2;
  if (Bottom) ARect.Bottom += 2;
}

void TCustomDBAxisGridEh::GetCustomGradientColors(TColor& TopColor, TColor& BottomColor) {
  TopColor = clNone;
  BottomColor = clNone;
}

bool TCustomDBAxisGridEh::GetSelectionColors(int ACol, int ARow, TAxisColCellParamsEh* Params, TFont* AFont,
                                             TColor& AColor) {
  if (!Params || !Params->State.Contains(gdSelected) || !Focused()) return false;
  AColor = clHighlight;
  if (AFont) AFont->SetColor(clHighlightText);
  return true;
}

void TCustomDBAxisGridEh::FillCellBackground(const TRect& ARect, TAxisColCellParamsEh* Params,
                                             TGridDrawState AState) {
  if (Params) Canvas()->Brush()->SetColor(Params->Background);
  const bool themed = Params && Params->ThemedCell;
  DrawCellBackground(themed ? cfstThemedEh : GetDefaultFillStyle(), ARect, false, AState.Contains(gdSelected),
                     EmptyRect(), IsFixedLookCell(Params ? Params->Col : 0, Params ? Params->Row : 0, AState),
                     AState.Contains(gdFocused), clDefault);
}

TColor TCustomDBAxisGridEh::GetDefaultHighlightColor() {
  return ColorToGray(clHighlight);
}

// --- buttons -----------------------------------------------------------------------------------

void TCustomDBAxisGridEh::PaintCellButton(TCanvas* ACanvas, const TRect& ARect, TCheckBoxState State,
                                          bool Enabled, bool Flat, bool Hot) {
  if (!ACanvas || IsRectEmpty(ARect)) return;
  const int w = DefaultCheckBoxWidth(), h = DefaultCheckBoxHeight();
  const TRect box = CalcAlignedRect(ARect, taCenter, tlCenter, TSize{w, h});
  if (IsRectEmpty(box)) return;
  HRGN saved = SelectClipRectangle(ACanvas, ARect);
  TScopeExit restore([&] { RestoreClipRegion(ACanvas, saved); });
  PaintButtonEh(ACanvas, box, ACanvas->Brush()->Color(), false, Enabled, Hot, Flat, State);
}

void TCustomDBAxisGridEh::FillTranslucentRect(TCanvas* ACanvas, const TRect& ARect, TCustomImageList* Images,
                                              int ImageIndex, TColor Background, int Transparency,
                                              bool Pressed, bool Hot, bool Flat, bool Active, bool Enabled,
                                              int Kind) {
  if (!ACanvas || IsRectEmpty(ARect)) return;
  const int percent = std::clamp(Transparency, 0, 100);
  if (percent == 0) {
    HRGN saved = SelectClipRectangle(ACanvas, ARect);
    TScopeExit restore([&] { RestoreClipRegion(ACanvas, saved); });
    PaintButtonFace(ACanvas, ARect, Images, ImageIndex, Pressed, Hot, Flat, Active, Enabled, Kind);
    return;
  }
  const BYTE alpha = TranslucentAlpha(percent);
  if (alpha == 0) return;  // wholly transparent: nothing shows
  const int w = ARect.Width(), h = ARect.Height();
  TBitmap* bitmap = TranslucentBitmap();
  if (w > bitmap->Width() || h > bitmap->Height())
    bitmap->SetSize(std::max(w, bitmap->Width()), std::max(h, bitmap->Height()));
  TCanvas* bc = bitmap->Canvas();
  const TRect local{0, 0, w, h};
  bc->Brush()->SetColor(Background == clNone || Background == clDefault ? clBtnFace : Background);
  bc->Brush()->SetStyle(bsSolid);
  bc->FillRect(local);
  PaintButtonFace(bc, local, Images, ImageIndex, Pressed, Hot, Flat, Active, Enabled, Kind);
  BLENDFUNCTION blend;
  blend.BlendOp = AC_SRC_OVER;
  blend.SourceConstantAlpha = alpha;
  ACanvas->RequiredState(TCanvasState{csHandleValid});
  bc->RequiredState(TCanvasState{csHandleValid});
  AlphaBlend(ACanvas->Handle(), ARect.Left, ARect.Top, w, h, bc->Handle(), 0, 0, w, h, blend);
}

TSize TCustomDBAxisGridEh::TranslucentBitmapSize() {
  TBitmap* bitmap = TranslucentBitmap();
  return TSize{bitmap->Width(), bitmap->Height()};
}

// --- pictures, text and edges ------------------------------------------------------------------

void TCustomDBAxisGridEh::DrawGraphicData(TAxisBarEh* Bar, const TRect& ARect, bool Opaque) {
  TCanvas* canvas = Canvas();
  if (!canvas || IsRectEmpty(ARect)) return;
  TField* field = Bar ? Bar->GetField() : nullptr;
  canvas->Font()->Assign(Font());
  if (!DrawGraphicData() || !field || !field->IsBlob()) {
    WriteCentredText(canvas, ARect, field ? field->DisplayText() : std::string(), Opaque);
    return;
  }
  if (Opaque) canvas->FillRect(ARect);
  if (field->IsNull()) return;
  TPicture picture;
  try {
    TMemoryStream stream;
    static_cast<TBlobField*>(field)->SaveToStream(&stream);
    stream.SetPosition(0);
    picture.LoadFromStream(&stream);
  } catch (const Exception& e) {
    WriteCentredText(canvas, ARect, e.Message() + " - Incorrect image format.", false);
    return;
  }
  const int pw = picture.Width(), ph = picture.Height();
  if (pw <= 0 || ph <= 0 || !picture.Graphic()) return;
  const TSize size = FitPicture(pw, ph, ARect.Width(), ARect.Height());
  if (size.cx <= 0 || size.cy <= 0) return;
  const int x = ARect.Left + (ARect.Width() - size.cx) / 2;
  const int y = ARect.Top + (ARect.Height() - size.cy) / 2;
  HRGN saved = SelectClipRectangle(canvas, ARect);
  TScopeExit restore([&] { RestoreClipRegion(canvas, saved); });
  canvas->StretchDraw(TRect{x, y, x + size.cx, y + size.cy}, picture.Graphic());
}

void TCustomDBAxisGridEh::DrawBorder() {
  if (!HandleAllocated() || !Border()->ExtendedDraw()) return;
  RECT window{}, client{};
  GetWindowRect(Handle(), &window);
  ::GetClientRect(Handle(), &client);
  POINT origin{0, 0};
  ::ClientToScreen(Handle(), &origin);
  // The frame is what lies between the window rectangle and the client area.
  const TRect whole{0, 0, window.Width(), window.Height()};
  const TRect inner{origin.X - window.Left, origin.Y - window.Top, origin.X - window.Left + client.Width(),
                    origin.Y - window.Top + client.Height()};
  if (inner == whole) return;
  HDC dc = GetWindowDC(Handle());
  if (!dc) return;
  TScopeExit release([&] { ReleaseDC(Handle(), dc); });
  const TEdgeBorders edges = Border()->EdgeBorders();
  const TColor color = Border()->Color();
  if (color == clDefault) {
    RECT r = whole;
    DrawEdge(dc, &r, Border()->Ctl3D() ? EDGE_SUNKEN : BDR_SUNKENOUTER, EdgeFlags(edges));
    return;
  }
  HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
  TScopeExit free([&] { DeleteObject(brush); });
  const TRect strips[] = {{whole.Left, whole.Top, inner.Left, whole.Bottom},
                          {whole.Left, whole.Top, whole.Right, inner.Top},
                          {inner.Right, whole.Top, whole.Right, whole.Bottom},
                          {whole.Left, inner.Bottom, whole.Right, whole.Bottom}};
  const TEdgeBorder sides[] = {ebLeft, ebTop, ebRight, ebBottom};
  for (int i = 0; i < 4; ++i)
    if (edges.Contains(sides[i]) && !IsRectEmpty(strips[i])) FillRect(dc, &strips[i], brush);
}

void TCustomDBAxisGridEh::DrawEdgeBorders(TCanvas* ACanvas, const TRect& ARect, TGridCellBorderTypeEh Type,
                                          bool Flat) {
  if (!ACanvas || Type == gbtNoneEh || IsRectEmpty(ARect)) return;
  ACanvas->RequiredState(TCanvasState{csHandleValid});
  RECT r = ARect;
  if (Flat || Type == gbtFlatEh) {
    // Flat cells show a line in the shadow colour at their right and bottom only.
    DrawEdge(ACanvas->Handle(), &r, BDR_SUNKENOUTER, BF_RIGHT | BF_BOTTOM | BF_FLAT);
    return;
  }
  DrawEdge(ACanvas->Handle(), &r, Type == gbtSunkenEh ? BDR_SUNKENINNER : BDR_RAISEDINNER, BF_RECT);
}

void TCustomDBAxisGridEh::WriteCellText(TAxisBarEh* Bar, TCanvas* ACanvas, const TRect& ARect, bool FillRect,
                                        int DX, int DY, const std::string& Text, TAlignment Alignment,
                                        TTextLayout Layout, bool MultyL, bool EndEllipsis, int LeftMarg,
                                        int RightMarg, bool RightToLeft) {
  if (!ACanvas) return;
  const bool rtlReading = Bar && Bar->UseRightToLeftReading();
  if (!RightToLeft) {
    WriteTextEh(ACanvas, ARect, FillRect, DX, DY, Text, Alignment, Layout, MultyL, EndEllipsis, LeftMarg,
                RightMarg, false, rtlReading);
    return;
  }
  // Mirrored, the cell's logical left lies at its right on the screen: alignment and margins
  // turn round with it.
  const int width = ClientWidth(), height = ClientHeight();
  ChangeInplaceEditOrientation(ACanvas, true, width, height);
  TScopeExit back([&] { ChangeInplaceEditOrientation(ACanvas, false, width, height); });
  const TRect mirrored{width - ARect.Right, ARect.Top, width - ARect.Left, ARect.Bottom};
  WriteTextEh(ACanvas, mirrored, FillRect, DX, DY, Text, Alignment, Layout, MultyL, EndEllipsis, LeftMarg,
              RightMarg, false, rtlReading);
}

// --- tool tips ---------------------------------------------------------------------------------

bool TCustomDBAxisGridEh::GetCellHint(int ACol, int ARow, std::string& HintText, TRect& HintRect) {
  HintText.clear();
  HintRect = TRect{};
  const int barIndex = ACol - FixedCols();
  const int record = ARow - FixedRows();
  TAxisBarsEhList& bars = VisibleAxisBars();
  if (barIndex < 0 || barIndex >= bars.Count() || record < 0) return false;
  TAxisBarEh* bar = bars[barIndex];
  TAxisGridDataLinkEh* link = DataLink();
  if (!bar || !link->Active() || record >= link->RecordCount()) return false;

  // The visible part of the cell: narrower than its column when the view cuts it.
  const TRect full = CellRect(ACol, ARow);
  if (IsRectEmpty(full)) return false;
  TRect area = full;
  if (bar->IsAlwaysShowEditButton()) area.Right -= std::max(0, bar->GetEditButtonsWidth());

  const int oldActive = link->ActiveRecord();
  link->SetActiveRecord(record);
  TScopeExit back([&] { link->SetActiveRecord(oldActive); });

  const TAxisBarKindEh kind = bar->GetColumnType();
  // The display text names a key pick list's entry, not the key.
  const std::string text = bar->GetDisplayText();

  if (!hintFont_) hintFont_ = std::make_unique<TFont>();
  hintFont_->Assign(bar->Font());
  TAxisColCellParamsEh* params = ColCellParams();
  TFont* oldFont = params->Font;
  TScopeExit fontBack([&] { params->Font = oldFont; });
  bar->FillColCellParams(params);
  params->Font = hintFont_.get();
  params->Col = ACol;
  params->Row = ARow;
  params->DataCol = barIndex;
  params->DataRow = record;
  params->CellRect = full;
  bar->GetColCellParams(params);
  TAlignment alignment = params->Alignment;

  // Measured on a screen canvas in the hint font: the grid's own canvas stays as it is.
  TCanvas measure;
  HDC dc = GetDC(nullptr);
  measure.SetHandle(dc);
  TScopeExit release([&] {
    measure.SetHandle(nullptr);
    ReleaseDC(nullptr, dc);
  });
  measure.Font()->Assign(hintFont_.get());

  bool offer = false;
  if (kind == abkImageListEh || kind == abkCheckboxesEh) {
    offer = true;
    alignment = taLeftJustify;
  } else if (!text.empty()) {
    offer = IsTextTooLongForRect(&measure, text, area, bar->IsWordWrapEffective(full.Height()), 0, 0) ||
            (alignment == taRightJustify && full.Width() < ColWidths(ACol));
  }
  if (!offer) return false;

  measure.RequiredState(TCanvasState{csHandleValid, csFontValid});
  TRect calc{0, 0, Screen ? Screen->Width() : GetSystemMetrics(SM_CXSCREEN), 0};
  DrawText(measure.Handle(), text, &calc, DT_CALCRECT | DT_NOPREFIX | DT_WORDBREAK);
  const int w = calc.Width() + kHintWindowExtraWidth;
  const int h = calc.Height() + kHintWindowExtraHeight;
  int x = area.Left;
  if (alignment == taRightJustify)
    x = area.Right - w;
  else if (alignment == taCenter)
    x = area.Left + (area.Width() - w) / 2;
  ++x;
  HintText = text;
  HintRect = TRect{x, area.Top, x + w, area.Top + h};
  return true;
}

void TCustomDBAxisGridEh::CMHintShow(TMessage& Message) {
  auto* info = reinterpret_cast<THintInfo*>(Message.LParam);
  if (info) {
    const TGridCoord cell = MouseCoord(info->CursorPos.X, info->CursorPos.Y);
    const int barIndex = cell.X - FixedCols();
    TAxisBarsEhList& bars = VisibleAxisBars();
    std::string text;
    TRect rect;
    const bool dataCell = barIndex >= 0 && barIndex < bars.Count() && cell.Y >= FixedRows();
    // Another cell asks again: the hint belongs to this one only.
    if (dataCell) info->CursorRect = CellRect(cell.X, cell.Y);
    if (dataCell && bars[barIndex]->ToolTips() && GetCellHint(cell.X, cell.Y, text, rect)) {
      info->HintStr = text;
      info->HintPos = ClientToScreen(rect.TopLeft());
      info->HintWindowClass = TGridToolTipsWindowEh::StaticClass();
      info->HintData = hintFont_.get();
      Message.Result = 0;
      return;
    }
  }
  TCustomGridEh::CMHintShow(Message);
}
