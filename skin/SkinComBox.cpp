// The combo-box skinner, which also serves date pickers: the field's edge and the drop button
// drawn from the skin over the window after the control has painted itself. The edit child is
// subclassed so that typing into it repaints the button; a simple combo's list keeps its own
// window and gets skinned scroll bars instead of a button.
#include <algorithm>

#include "platform/gdi/Colors.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Messages.h"
#include "platform/win/Painting.h"
#include "skin/SkinComboEdit.h"
#include "skin/SkinScrollBars.h"
#include "skin/WinSkinDraw.h"
#include "skin/WinSkinIni.h"

RTL_IMPLEMENT_CLASS(TSkinComBox)

namespace combo_paint {

constexpr int kFrameNormal = 1;
constexpr int kFramePressed = 2;
constexpr int kFrameDisabled = 3;
constexpr int kFrameHot = 4;
// The field's text area keeps this far from the window's edges and from the button.
constexpr int kFieldInset = 2;
constexpr int kButtonGap = 4;
// The style bits that tell simple, drop-down and drop-down list combos apart.
constexpr LONG_PTR kComboKindMask = 0x3;

// Mirroring a strip of frames also reverses their order.
int MirroredFrame(const TDataSkinObject& Element, int Frame) {
  const int frames = std::max(Element.FrameCount, 1);
  return frames + 1 - std::clamp(Frame, 1, frames);
}

void FrameWith(HDC DC, const TRect& R, TColor Color) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(Color));
  if (!brush) return;
  TScopeExit free([brush] { DeleteObject(brush); });
  FrameRect(DC, &R, brush);
}

// The button image for its side: the copy mirrored at load for a button on the left.
void DrawButtonFrame(HDC DC, const TRect& R, const TDataSkinBorder& Button, int Frame, bool OnLeft) {
  const bool mirrored = OnLeft && Button.Bitmap2 && !Button.Bitmap2->Empty();
  TBitmap* image = mirrored ? Button.Bitmap2.get() : Button.Bitmap.get();
  DrawFrameToDC(DC, R, image, Button.FrameCount, mirrored ? MirroredFrame(Button, Frame) : Frame);
}

// Style 1: plain lines round the field and the button image at its natural width.
void PaintClassic(HDC DC, const TRect& R, const TDataSkinBorder& Button, int Frame, bool OnLeft,
                  TColor LineColor) {
  TRect inner = R;
  InflateRect(inner, -1, -1);
  // The DC's own brush covers the control's native edge.
  FrameRect(DC, &inner, static_cast<HBRUSH>(GetCurrentObject(DC, OBJ_BRUSH)));
  FrameWith(DC, R, LineColor);
  const int frameWidth = Button.Bitmap->Width() / std::max(Button.FrameCount, 1);
  const int height = std::min(Button.Bitmap->Height(), inner.Height());
  const int left = OnLeft ? inner.Left : inner.Right - frameWidth;
  DrawButtonFrame(DC, TRect{left, inner.Top, left + frameWidth, inner.Top + height}, Button, Frame, OnLeft);
}

// Style 2: the whole control is one element. The load composes it with its text area
// transparent, and its mirror into SunkEdge for the button on the left.
void PaintWhole(HDC DC, const TRect& R, const TSkinElements& Skin, int Frame, bool OnLeft) {
  const bool mirrored = OnLeft && HasSkinImage(Skin.SunkEdge.get());
  const TDataSkinObject& e = mirrored ? *Skin.SunkEdge : *Skin.ComboButton;
  DrawNinePart(DC, R, e.Bitmap.get(), false, e.Tile == 1, true, e.FrameCount,
               mirrored ? MirroredFrame(e, Frame) : Frame, e.LeftWidth, e.TopHeight, e.RightWidth,
               e.BottomHeight);
}

// Other styles: the sunken edge round the field, then the button and its arrow. The text
// area is clipped out so that the control's own text stays.
void PaintEdgeAndButton(HDC DC, const TRect& R, const TSkinElements& Skin, int Frame, bool OnLeft) {
  const int w = GetSystemMetrics(SM_CXHSCROLL);
  const int saved = SaveDC(DC);
  TScopeExit restore([DC, saved] { RestoreDC(DC, saved); });
  TRect button;
  if (OnLeft) {
    ExcludeClipRect(DC, R.Left + w + kButtonGap, R.Top + kFieldInset, R.Right - kFieldInset,
                    R.Bottom - kFieldInset);
    button = TRect{R.Left + kFieldInset, R.Top, R.Left + w + kFieldInset, R.Bottom};
  } else {
    ExcludeClipRect(DC, R.Left + kFieldInset, R.Top + kFieldInset, R.Right - w - kButtonGap,
                    R.Bottom - kFieldInset);
    button = TRect{R.Right - w - kFieldInset, R.Top, R.Right - kFieldInset, R.Bottom};
  }
  if (HasSkinImage(Skin.SunkEdge.get()))
    DrawElement(DC, R, Skin.SunkEdge->FrameCount, Frame, Skin.SunkEdge.get());
  DrawButtonFrame(DC, button, *Skin.ComboButton, Frame, OnLeft);
  if (HasSkinImage(Skin.ExtraImages.get()))
    DrawBitmapFrameCentered(DC, button, Skin.ExtraImages->Bitmap.get(), true, Skin.ExtraImages->FrameCount,
                            Frame);
}

}  // namespace combo_paint

int ComboButtonFrame(bool Focused, uint8_t State, bool Enabled) {
  using namespace combo_paint;
  int frame = Focused ? kFrameHot : kFrameNormal;
  if (State & kSkinPressed)
    frame = kFramePressed;
  else if (State & kSkinHot)
    frame = kFrameHot;
  return Enabled ? frame : kFrameDisabled;
}

TSkinComBox::TSkinComBox(TComponent* AOwner) : TSkinControl(AOwner) {}

TSkinComBox::~TSkinComBox() {
  ReleaseParts();
}

// --- attach and detach ------------------------------------------------------------------------------

void TSkinComBox::AttachControl(TWinSkinForm* AForm, TSkinData* Data, bool AUseSkinColor, TCanvas* ACanvas) {
  if (Attached) return;
  TSkinControl::AttachControl(AForm, Data, AUseSkinColor, ACanvas);
  if (Attached) AttachParts();
}

void TSkinComBox::AttachWindow(HWND AHandle, TSkinData* Data, TWinSkinForm* AForm, TCanvas* ACanvas) {
  if (Attached) return;
  TSkinControl::AttachWindow(AHandle, Data, AForm, ACanvas);
  if (Attached) AttachParts();
}

void TSkinComBox::AttachParts() {
  WindowStyle = GetWindowLong(Handle, GWL_STYLE);
  WindowExStyle = GetWindowLong(Handle, GWL_EXSTYLE);
  ComboInfo = COMBOBOXINFO{};
  // A date picker answers no combo information: it is neither simple nor has a list.
  const bool isCombo = GetComboBoxInfo(Handle, &ComboInfo);
  if (isCombo && (WindowStyle & combo_paint::kComboKindMask) == CBS_SIMPLE) {
    ListWindow = ComboInfo.hwndList;
    const bool childList = ListWindow && (GetWindowLong(ListWindow, GWL_STYLE) & WS_CHILD);
    if (!childList || IsTopLevelWindow(ListWindow)) return;
    ListScrollBars = new TSkinScrollbarH(Control ? static_cast<TComponent*>(Control) : this);
    ListScrollBars->FreeNotification(this);
    ListScrollBars->AttachWindow(ListWindow, SkinData, Form, Canvas);
    return;
  }
  if (isCombo) ListWindow = ComboInfo.hwndList;
  HWND edit = GetTopWindow(Handle);
  if (!edit || edit == ListWindow) return;
  EditWindow = edit;
  EditInstance =
      std::make_unique<TWndProcInstance>([this](HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
        return EditProcedure(Window, Msg, WParam, LParam);
      });
  OldEditProc = WNDPROC(GetWindowLong(EditWindow, GWL_WNDPROC));
  SetWindowLong(EditWindow, GWL_WNDPROC, EditInstance->Token());
}

void TSkinComBox::ReleaseParts() {
  if (EditInstance) {
    // Put back only over our own procedure, as the base does with the window's.
    if (IsWindow(EditWindow) && GetWindowLong(EditWindow, GWL_WNDPROC) == EditInstance->Token())
      SetWindowLong(EditWindow, GWL_WNDPROC, OldEditProc.Token());
    EditInstance.reset();
  }
  EditWindow = nullptr;
  OldEditProc = WNDPROC();
  if (TSkinScrollbarH* bars = ListScrollBars) {
    ListScrollBars = nullptr;
    bars->RemoveFreeNotification(this);
    bars->Free();
  }
}

void TSkinComBox::Detach() {
  ReleaseParts();
  TSkinControl::Detach();
}

void TSkinComBox::Notification(TComponent* AComponent, TOperation Operation) {
  TSkinControl::Notification(AComponent, Operation);
  // The control or the form's list may free the list's skinner first.
  if (Operation == opRemove && AComponent == ListScrollBars) ListScrollBars = nullptr;
}

// --- messages ---------------------------------------------------------------------------------------

bool TSkinComBox::TrackPress(UINT Msg) {
  switch (Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      State |= kSkinPressed;
      break;
    case WM_LBUTTONUP:
      State &= static_cast<uint8_t>(~kSkinPressed);
      break;
    default:
      return false;
  }
  Repaint();
  return true;
}

void TSkinComBox::AfterMessage(TMessage& Message) {
  if (TrackPress(Message.Msg)) return;
  switch (Message.Msg) {
    case CM_MOUSEENTER:
      if (IsWindowEnabled(Handle)) State |= kSkinHot;
      break;
    case CM_MOUSELEAVE:
      if (!IsWindowEnabled(Handle)) break;
      State &= static_cast<uint8_t>(~kSkinHot);
      Repaint();
      break;
    case WM_DRAWITEM:
    case WM_NCPAINT:
      Repaint();
      break;
    default:
      TSkinControl::AfterMessage(Message);
      break;
  }
}

LRESULT TSkinComBox::EditProcedure(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
  const WNDPROC old = OldEditProc;
  const LRESULT result = CallWindowProc(old, Window, Msg, WParam, LParam);
  // The edit's own handling may have detached us (the combo box recreated its window).
  if (Window != EditWindow || !SkinActive) return result;
  if (Msg == WM_PAINT)
    PaintWindow(nullptr);
  else
    TrackPress(Msg);
  return result;
}

// --- painting ---------------------------------------------------------------------------------------

void TSkinComBox::PaintSkin(HDC DC, const TRect& R) {
  using namespace combo_paint;
  const TSkinElements* skin = Elements();
  if (!skin || !HasSkinImage(skin->ComboButton.get()) || R.Width() <= 0 || R.Height() <= 0) return;
  WindowStyle = GetWindowLong(Handle, GWL_STYLE);
  WindowExStyle = GetWindowLong(Handle, GWL_EXSTYLE);
  COMBOBOXINFO info;
  if (GetComboBoxInfo(Handle, &info)) {
    ComboInfo = info;
    if (info.stateButton & STATE_SYSTEM_INVISIBLE) return;  // a simple combo has no button
  }
  const HWND focus = GetFocus();
  Focused = focus && (focus == Handle || focus == EditWindow);
  WindowEnabled = IsWindowEnabled(Handle);
  const int frame = ComboButtonFrame(Focused, State, WindowEnabled);
  const bool onLeft = (WindowExStyle & WS_EX_LEFTSCROLLBAR) != 0;
  switch (skin->ComboButton->Style) {
    case 1:
      PaintClassic(DC, R, *skin->ComboButton, frame, onLeft, SkinLineColor());
      break;
    case 2:
      PaintWhole(DC, R, *skin, frame, onLeft);
      break;
    default:
      PaintEdgeAndButton(DC, R, *skin, frame, onLeft);
      break;
  }
}
