// What TCustomDBEditEh paints itself: its text while unfocused and not left-aligned (and in
// copies and at design time), the image at the left, the grey empty-data text, the
// required-value highlight and the flat frame; and the rectangles of the text and the image.
#include <algorithm>
#include <cmath>

#include "grid/editors/ControlEmptyDataInfoEh.h"
#include "grid/editors/DBEditEh.h"
#include "grid/editors/EditImageEh.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/MaskUtils.h"
#include "platform/win/Painting.h"

namespace {

// X of a text of TextWidth placed by alignment in the edit's formatting rectangle (EM_GETRECT:
// inside the border inset and the margins), where the edit itself draws it.
int AlignedTextX(const RECT& Format, int TextWidth, TAlignment Alignment) {
  switch (Alignment) {
    case taRightJustify:
      return Format.Right - TextWidth;
    case taCenter:
      return Format.Left + (Format.Right - Format.Left - TextWidth) / 2;
    default:
      return Format.Left;
  }
}

}  // namespace

// --- settings --------------------------------------------------------------------------------

void TCustomDBEditEh::SetEditImage(TEditImageEh* Value) {
  editImage_->Assign(Value);
}

TCustomImageList* TCustomDBEditEh::Images() const {
  return editImage_ ? editImage_->Images() : nullptr;
}

void TCustomDBEditEh::SetImages(TCustomImageList* Value) {
  editImage_->SetImages(Value);
  if (Value) editImage_->SetVisible(true);
  UpdateImageIndex();
}

void TCustomDBEditEh::SetOnGetImageIndex(const TGetImageIndexEventEh& Value) {
  OnGetImageIndex = Value;
  UpdateImageIndex();
}

void TCustomDBEditEh::SetEmptyDataInfo(TControlEmptyDataInfoEh* Value) {
  emptyDataInfo_->Assign(Value);
}

void TCustomDBEditEh::SetHighlightRequired(bool Value) {
  if (highlightRequired_ == Value) return;
  highlightRequired_ = Value;
  Invalidate();
}

// --- rectangles ------------------------------------------------------------------------------

TRect TCustomDBEditEh::ImageRect() {
  const TRect client = ClientRect();
  imageWidth_ = editImage_ ? editImage_->AreaWidth() : 0;
  if (imageWidth_ <= 0) return EmptyRect();
  // Opposite the buttons: at the right edge under right-to-left alignment.
  if (UseRightToLeftAlignment())
    return TRect{client.Right - imageWidth_, client.Top, client.Right, client.Bottom};
  return TRect{client.Left, client.Top, client.Left + imageWidth_, client.Bottom};
}

TRect TCustomDBEditEh::CalcEditRect() {
  TRect r = ClientRect();
  if (buttonsWidth_ > 0) {
    const TRect b = ButtonsRect();
    if (UseRightToLeftAlignment())
      r.Left = std::max(r.Left, b.Right);
    else
      r.Right = std::min(r.Right, b.Left);
  }
  const TRect image = ImageRect();
  if (imageWidth_ > 0) {
    if (UseRightToLeftAlignment())
      r.Right = std::min(r.Right, image.Left);
    else
      r.Left = std::max(r.Left, image.Right);
  }
  if (ThemesEnabled() && BorderStyle() == bsSingle && !Ctl3D() && HandleAllocated()) {
    const auto margins = static_cast<uintptr_t>(SendMessage(Handle(), EM_GETMARGINS, 0, 0));
    r.Left += std::max(0, static_cast<int>(LOWORD(margins)) - 1);
    r.Right -= std::max(0, static_cast<int>(HIWORD(margins)) - 1);
  }
  if (r.Right < r.Left) r.Right = r.Left;
  return r;
}

// --- the image -------------------------------------------------------------------------------

void TCustomDBEditEh::UpdateImageIndex() {
  if (!editImage_ || !editImage_->Visible() || !editImage_->Images()) return;
  int index = DefaultImageIndex();
  const Variant v = Value();
  switch (v.VarType()) {
    case varSmallint:
    case varInteger:
    case varSingle:
    case varDouble:
    case varCurrency: {
      const double d = v.AsDouble();
      // The platform's rounding: ties go to the even integer.
      if (std::isfinite(d) && std::fabs(d) < 2147483647.0) index = RoundHalfEven(d);
      break;
    }
    default:
      break;
  }
  if (OnGetImageIndex) OnGetImageIndex(this, index);
  editImage_->SetImageIndex(index);
}

void TCustomDBEditEh::PaintEditImage(TCanvas* ACanvas) {
  if (!editImage_ || !editImage_->Visible() || !editImage_->Images()) return;
  TRect r = ImageRect();
  if (r.Width() <= 0) return;
  InflateRect(r, -2, -1);
  DrawImageListItemClipped(ACanvas, r, editImage_->Images(), dsNormal, editImage_->ImageIndex(), Enabled());
}

void TCustomDBEditEh::WMSetCursor(TMessage& Message) {
  if (HandleAllocated() && LOWORD(static_cast<uintptr_t>(Message.LParam)) == HTCLIENT) {
    POINT p{};
    GetCursorPos(&p);
    const TPoint client = ScreenToClient(TPoint{p.X, p.Y});
    const TRect image = ImageRect();
    if (imageWidth_ > 0 && PtInRect(image, client)) {
      ::SetCursor(LoadCursor(nullptr, IDC_ARROW));
      Message.Result = 1;
      return;
    }
  }
  inherited::WMSetCursor(Message);
}

// --- painting --------------------------------------------------------------------------------

std::string TCustomDBEditEh::GetPaintText() {
  return EditText();
}

void TCustomDBEditEh::WMPaint(TMessage& Message) {
  if (!HandleAllocated()) {
    inherited::WMPaint(Message);
    return;
  }
  if (buttonLayoutPending_) {
    UpdateEditButtonControlList();
    UpdateEditButtonControlsState();
    UpdateEditRect();
  }
  const bool designing = ComponentState().Contains(csDesigning);
  const bool ownText = (!wordWrap_ && !EditorFocused() && Alignment() != taLeftJustify) ||
                       ControlState().Contains(csPaintCopy) || (designing && !DataLink()->Active());
  PAINTSTRUCT ps{};
  HDC dc = Message.DC();
  const bool ownDC = dc == nullptr;
  if (ownDC) dc = BeginPaint(Handle(), &ps);
  TCanvas canvas;
  {
    TScopeExit release([&] {
      canvas.SetHandle(nullptr);
      if (ownDC) EndPaint(Handle(), &ps);
    });
    canvas.SetHandle(dc);
    if (ownText) {
      const TRect client = ClientRect();
      canvas.Brush()->SetColor(Color());
      canvas.FillRect(client);
      if (!Ctl3D() && BorderStyle() == bsSingle) {
        canvas.Brush()->SetColor(clWindowFrame);
        canvas.FrameRect(client);
      }
      canvas.Font()->Assign(Font());
      if (!Enabled()) canvas.Font()->SetColor(clGrayText);
      canvas.Brush()->SetColor(Color());
      std::string text = GetPaintText();
      if (PasswordChar() != 0) {
        std::string mask;
        for (unsigned char c : text)
          if ((c & 0xC0) != 0x80) Utf8Append(mask, PasswordChar());
        text = mask;
      }
      RECT fr{};
      SendMessage(Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&fr));
      const TRect edit = CalcEditRect();
      TAlignment align = Alignment();
      if (UseRightToLeftAlignment() && align != taCenter)
        align = align == taLeftJustify ? taRightJustify : taLeftJustify;
      const int x = AlignedTextX(fr, canvas.TextWidth(text), align);
      canvas.TextRect(edit, x, fr.Top, text);
    } else {
      Message.WParam = reinterpret_cast<WPARAM>(dc);
      DefaultHandler(Message);
      if (ownDC) Message.WParam = 0;
    }
    PaintEditImage(&canvas);
    PaintEmptyDataInfo(&canvas);
    DrawRequiredState(&canvas);
  }
  Message.Result = 0;
}

void TCustomDBEditEh::PaintEmptyDataInfo(TCanvas* ACanvas) {
  if (!emptyDataInfo_ || emptyDataInfo_->Text().empty() || EditorFocused()) return;
  if (HandleAllocated() && GetFocus() == Handle()) return;
  bool empty = Text().empty();
  if (!empty && IsMasked()) empty = EditText() == FormatMaskText(EditMask(), "");
  if (!empty) return;
  emptyDataInfo_->RefreshDefaultFont();
  const TRect edit = CalcEditRect();
  RECT fr{edit.Left, edit.Top, edit.Right, edit.Bottom};
  if (HandleAllocated()) SendMessage(Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&fr));
  TAlignment align = emptyDataInfo_->Alignment();
  if (UseRightToLeftAlignment() && align != taCenter)
    align = align == taLeftJustify ? taRightJustify : taLeftJustify;
  ACanvas->Font()->Assign(emptyDataInfo_->Font());
  ACanvas->Brush()->SetColor(Color());
  const std::string& text = emptyDataInfo_->Text();
  const int x = AlignedTextX(fr, ACanvas->TextWidth(text), align);
  ACanvas->TextRect(edit, x, fr.Top, text);
}

void TCustomDBEditEh::DrawRequiredState(TCanvas* ACanvas) {
  if (!highlightRequired_) return;
  bool draw = false;
  TFieldDataLinkEh* link = DataLink();
  if (link->DataIndependent()) {
    if (link->Active()) draw = Value().IsNull() || Value().IsEmpty() || Text().empty();
  } else {
    TDataSet* dataSet = link->DataSet();
    TField* f = Field();
    if (dataSet && f && (dataSet->State() == dsEdit || dataSet->State() == dsInsert))
      draw = f->Required() && f->IsNull();
  }
  if (OnCheckDrawRequiredState) OnCheckDrawRequiredState(this, draw);
  if (!draw) return;
  const TRect edit = CalcEditRect();
  const int y = ClientHeight() - 1;
  HDC dc = ACanvas->Handle();
  for (int x = edit.Left + 2; x < edit.Right - 3; x += 2) SetPixel(dc, x, y, RGB(255, 0, 0));
}

void TCustomDBEditEh::WMNCPaint(TMessage& Message) {
  inherited::WMNCPaint(Message);
  if (!HandleAllocated() || !flat_ || !Ctl3D() || BorderStyle() != bsSingle) return;
  if (ThemesEnabled()) return;
  HDC dc = GetWindowDC(Handle());
  if (!dc) return;
  RECT w{};
  GetWindowRect(Handle(), &w);
  RECT r{0, 0, w.Right - w.Left, w.Bottom - w.Top};
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  if (borderActive_) {
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  } else {
    FrameRect(dc, &r, face);
    InflateRect(r, -1, -1);
  }
  FrameRect(dc, &r, face);
  ReleaseDC(Handle(), dc);
}
