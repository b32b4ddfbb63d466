// The up-down skinner: two arrow buttons painted instead of the control, each from the skin's
// up-down element by its own state (the half under the mouse is the one pressed or hot), or as
// plain buttons with line arrows when the skin has no such element.
#include <algorithm>

#include "platform/gdi/Colors.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/ControlClasses.h"
#include "platform/win/Painting.h"
#include "skin/SkinComboEdit.h"
#include "skin/WinSkinDraw.h"
#include "skin/WinSkinIni.h"

RTL_IMPLEMENT_CLASS(TSkinUpDown)

namespace updown_paint {

enum TArrow { kArrowUp = 0, kArrowDown = 1, kArrowLeft = 2, kArrowRight = 3 };
enum TArrowState { kStateNormal = 1, kStatePressed = 2, kStateDisabled = 3, kStateHot = 4 };
constexpr int kStatesPerArrow = 4;
constexpr int kElementFrames = 8;
// Inside an edit the buttons keep this far from the edit's top, bottom and right edges.
constexpr int kEditMargin = 3;
constexpr TColor kEditFieldColor = static_cast<TColor>(0xFFFFFF);
// The line arrows: rows (or columns) of growing length; vertical ones sit above the centre.
constexpr int kArrowRows = 3;
constexpr int kVerticalArrowLift = 2;

void FillWith(HDC DC, const TRect& R, TColor Color) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(Color));
  if (!brush) return;
  TScopeExit free([brush] { DeleteObject(brush); });
  FillRect(DC, &R, brush);
}

void FrameWith(HDC DC, const TRect& R, TColor Color) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(Color));
  if (!brush) return;
  TScopeExit free([brush] { DeleteObject(brush); });
  FrameRect(DC, &R, brush);
}

// A small filled triangle of line rows pointing toward Arrow, centred on R.
void DrawLineArrow(HDC DC, const TRect& R, TArrow Arrow, TColor Color) {
  HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(Color));
  if (!pen) return;
  const HGDIOBJ old = SelectObject(DC, pen);
  TScopeExit restore([&] {
    SelectObject(DC, old);
    DeleteObject(pen);
  });
  const int cx = (R.Left + R.Right) / 2, cy = (R.Top + R.Bottom) / 2;
  for (int i = 0; i < kArrowRows; ++i) {
    const int grow = Arrow == kArrowUp || Arrow == kArrowLeft ? i : kArrowRows - 1 - i;
    if (Arrow == kArrowUp || Arrow == kArrowDown) {
      const int y = cy - kVerticalArrowLift + i;
      MoveToEx(DC, cx - grow, y, nullptr);
      LineTo(DC, cx + grow + 1, y);
    } else {
      const int x = cx - 1 + i;
      MoveToEx(DC, x, cy - grow, nullptr);
      LineTo(DC, x, cy + grow + 1);
    }
  }
}

}  // namespace updown_paint

TSkinUpDown::TSkinUpDown(TComponent* AOwner) : TSkinControl(AOwner) {}

TSkinUpDown::~TSkinUpDown() = default;

bool TSkinUpDown::BeforeMessage(TMessage& Message) {
  using namespace updown_paint;
  if (!TSkinControl::BeforeMessage(Message)) return false;
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      CallDefault(Message);
      State |= kSkinPressed;
      PaintWindow(nullptr);
      return false;
    case WM_LBUTTONUP:
      State &= static_cast<uint8_t>(~kSkinPressed);
      CallDefault(Message);
      PaintWindow(nullptr);
      return false;
    case WM_PAINT:
      PaintFromMessage(Message);
      return false;
    case WM_ERASEBKGND:
      if (!Control) {
        RECT client{};
        GetClientRect(Handle, &client);
        FillWith(reinterpret_cast<HDC>(Message.WParam), client, kEditFieldColor);
      }
      Message.Result = 1;
      return false;
    default:
      return true;
  }
}

void TSkinUpDown::PaintSkin(HDC DC, const TRect& R) {
  using namespace updown_paint;
  TRect area = R;
  if (InEdit) {
    RECT client{};
    if (GetClientRect(Handle, &client)) FillWith(DC, client, kEditFieldColor);
    RECT own{}, parent{};
    if (GetWindowRect(Handle, &own) && GetWindowRect(GetParent(Handle), &parent)) {
      area.Top += std::max(0, kEditMargin - (own.Top - parent.Top));
      area.Bottom -= std::max(0, kEditMargin - (parent.Bottom - own.Bottom));
      area.Right -= std::max(0, kEditMargin - (parent.Right - own.Right));
    }
  }
  if (area.Width() <= 0 || area.Height() <= 0) return;

  TBitmap buffer;
  buffer.SetSize(area.Width(), area.Height());
  HDC bufferDC = buffer.Canvas()->Handle();
  const TRect whole{0, 0, area.Width(), area.Height()};
  FillSkinColor(bufferDC, whole);

  const bool horizontal = Horizontal || (GetWindowLong(Handle, GWL_STYLE) & UDS_HORZ);
  TRect halves[2] = {whole, whole};
  if (horizontal) {
    halves[0].Right = halves[1].Left = whole.Width() / 2;
  } else {
    halves[0].Bottom = halves[1].Top = whole.Height() / 2;
  }
  const TArrow arrows[2] = {horizontal ? kArrowLeft : kArrowUp, horizontal ? kArrowRight : kArrowDown};

  POINT cursor{};
  GetCursorPos(&cursor);
  ScreenToClient(Handle, &cursor);
  cursor.X -= area.Left;
  cursor.Y -= area.Top;
  const bool enabled = IsWindowEnabled(Handle);
  const TSkinElements* skin = Elements();
  const TDataSkinBorder* element =
      skin ? (horizontal ? skin->UpDownHorz.get() : skin->UpDownVert.get()) : nullptr;

  for (int i = 0; i < 2; ++i) {
    const TRect& half = halves[i];
    int state = kStateNormal;
    if (PtInRect(half, cursor)) {
      if (State & kSkinPressed)
        state = kStatePressed;
      else if (State & kSkinHot)
        state = kStateHot;
    }
    if (!enabled) state = kStateDisabled;
    if (HasSkinImage(element)) {
      const int index = horizontal ? arrows[i] - kArrowLeft : arrows[i];
      const int frame = index * kStatesPerArrow + state;
      DrawElement(bufferDC, half, kElementFrames, frame, element);
      if (element->Bitmap2 && !element->Bitmap2->Empty())
        DrawBitmapFrameCentered(bufferDC, half, element->Bitmap2.get(), true, kElementFrames, frame);
      continue;
    }
    const bool sunk = state == kStatePressed || state == kStateHot;
    FillWith(bufferDC, half, sunk ? SkinLineColor() : SkinColor());
    FrameWith(bufferDC, half, skin ? skin->ButtonDkShadow : clBtnShadow);
    DrawLineArrow(bufferDC, half, arrows[i], enabled ? SkinTextColor() : SkinLineColor());
  }
  BitBlt(DC, area.Left, area.Top, area.Width(), area.Height(), bufferDC, 0, 0, SRCCOPY);
}
