// The group-box skinner: a rounded line in the skin's line colour with the caption set into it on
// the skin colour, so the caption interrupts the line.
#include <string>

#include "platform/gdi/Colors.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Graphics.h"
#include "platform/win/Windows.h"
#include "skin/SkinStateControls.h"

RTL_IMPLEMENT_CLASS(TSkinGroupBox)

namespace group_box_detail {

// Where the caption starts from the box's left edge.
constexpr int kCaptionIndent = 8;
// The line's rounded corners.
constexpr int kCornerSize = 5;

}  // namespace group_box_detail

TSkinGroupBox::TSkinGroupBox(TComponent* AOwner) : TSkinControl(AOwner) {}

TSkinGroupBox::~TSkinGroupBox() = default;

void TSkinGroupBox::AttachControl(TWinSkinForm* AForm, TSkinData* Data, bool AUseSkinColor,
                                  TCanvas* ACanvas) {
  if (Attached) return;
  TSkinControl::AttachControl(AForm, Data, AUseSkinColor, ACanvas);
  if (!Attached) return;
  OwnPaint = Control != nullptr;
}

void TSkinGroupBox::AttachWindow(HWND AHandle, TSkinData* Data, TWinSkinForm* AForm, TCanvas* ACanvas) {
  TSkinControl::AttachWindow(AHandle, Data, AForm, ACanvas);
  OwnPaint = false;
}

bool TSkinGroupBox::BeforeMessage(TMessage& Message) {
  if (!TSkinControl::BeforeMessage(Message)) return false;
  if (!OwnPaint) return true;
  switch (Message.Msg) {
    case WM_PAINT:
      PaintFromMessage(Message);
      return false;
    case WM_ERASEBKGND:
      EraseFromMessage(Message);
      Message.Result = 1;
      return false;
    default:
      return true;
  }
}

void TSkinGroupBox::PaintSkin(HDC DC, const TRect& R) {
  std::string caption = Handle ? GetWindowText(Handle) : std::string();
  if (caption.empty() && Control) caption = GetPropText(Control, "Caption");
  TFont* font = Control ? GetObjectPropAs<TFont>(Control, "Font") : nullptr;
  const HFONT fontHandle =
      font ? font->Handle() : reinterpret_cast<HFONT>(SendMessage(Handle, WM_GETFONT, 0, 0));

  const HGDIOBJ oldFont = fontHandle ? SelectObject(DC, fontHandle) : nullptr;
  const HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(SkinLineColor()));
  const HBRUSH skinBrush = CreateSolidBrush(ColorToRGB(SkinColor()));
  const HGDIOBJ oldPen = SelectObject(DC, pen);
  const HGDIOBJ oldBrush = SelectObject(DC, GetStockObject(HOLLOW_BRUSH));
  const int oldMode = SetBkMode(DC, OPAQUE);
  const COLORREF oldBack = SetBkColor(DC, ColorToRGB(SkinColor()));
  const COLORREF oldText = SetTextColor(DC, ColorToRGB(font ? font->Color() : SkinTextColor()));
  TScopeExit restore([&] {
    SetTextColor(DC, oldText);
    SetBkColor(DC, oldBack);
    SetBkMode(DC, oldMode);
    SelectObject(DC, oldBrush);
    SelectObject(DC, oldPen);
    if (oldFont) SelectObject(DC, oldFont);
    DeleteObject(skinBrush);
    DeleteObject(pen);
  });

  SIZE extent{};
  GetTextExtentPoint32(DC, caption, &extent);
  const int textHeight = extent.cy;

  // A bare window painted itself first: its own frame is covered in the skin colour.
  if (!OwnPaint) {
    RECT outer = R, inner{R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1};
    FrameRect(DC, &outer, skinBrush);
    FrameRect(DC, &inner, skinBrush);
  }
  RoundRect(DC, R.Left + 1, R.Top + textHeight / 2 - 1, R.Right - 1, R.Bottom - 1,
            group_box_detail::kCornerSize, group_box_detail::kCornerSize);
  RECT captionRect{R.Left + group_box_detail::kCaptionIndent, R.Top, R.Right, R.Bottom};
  TSkinData::SkinDrawText(DC, caption, captionRect, DT_EXPANDTABS);

  if (OwnPaint && Control) Control->PaintControls(DC, nullptr);
}
