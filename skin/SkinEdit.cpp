// The edit skinner: a flat frame in the skin's line colour over the native border of an edit
// or memo that has one, and the skin for a spin button living inside the edit.
#include <algorithm>
#include <cctype>
#include <string>

#include "platform/gdi/Colors.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/ControlClasses.h"
#include "platform/win/Painting.h"
#include "skin/SkinComboEdit.h"

RTL_IMPLEMENT_CLASS(TSkinEdit)

namespace edit_frame {

// The white rings inside the line give the field the skin's flat look.
constexpr TColor kInnerRingColor = static_cast<TColor>(0xFFFFFF);
// WM_PRINT frames only a window whose border is wider than this on each axis.
constexpr int kPrintBorderLimit = 2;

void FrameWith(HDC DC, const TRect& R, TColor Color) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(Color));
  if (!brush) return;
  TScopeExit free([brush] { DeleteObject(brush); });
  FrameRect(DC, &R, brush);
}

std::string Lowered(std::string Text) {
  std::transform(Text.begin(), Text.end(), Text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return Text;
}

// Up-down and spin buttons of the platform and of other libraries.
bool IsSpinClass(const std::string& ClassName) {
  const std::string lower = Lowered(ClassName);
  return lower == "msctls_updown32" || lower.find("spin") != std::string::npos ||
         lower.find("updown") != std::string::npos;
}

}  // namespace edit_frame

TSkinEdit::TSkinEdit(TComponent* AOwner) : TSkinControl(AOwner) {}

TSkinEdit::~TSkinEdit() {
  if (SpinSkinner) SpinSkinner->RemoveFreeNotification(this);
}

void TSkinEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TSkinControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == SpinSkinner) SpinSkinner = nullptr;
}

void TSkinEdit::AfterMessage(TMessage& Message) {
  if (Message.Msg != WM_PRINT) {
    TSkinControl::AfterMessage(Message);
    return;
  }
  if (HDC given = reinterpret_cast<HDC>(Message.WParam)) {
    PaintPrintFrame(given);
    return;
  }
  HDC windowDC = GetWindowDC(Handle);
  if (!windowDC) return;
  TScopeExit release([&] { ReleaseDC(Handle, windowDC); });
  PaintPrintFrame(windowDC);
}

void TSkinEdit::PaintSkin(HDC DC, const TRect& R) {
  using namespace edit_frame;
  SkinSpinChild();
  RECT client{};
  if (!GetClientRect(Handle, &client)) return;
  // An edit without a border keeps its own look.
  if (client.Width() >= R.Width() || client.Height() >= R.Height()) return;
  TRect ring = R;
  FrameWith(DC, ring, SkinLineColor());
  for (int i = 0; i < 2; ++i) {
    InflateRect(ring, -1, -1);
    FrameWith(DC, ring, kInnerRingColor);
  }
}

void TSkinEdit::PaintPrintFrame(HDC DC) {
  using namespace edit_frame;
  RECT window{}, client{};
  if (!GetWindowRect(Handle, &window) || !GetClientRect(Handle, &client)) return;
  const TRect whole{0, 0, window.Width(), window.Height()};
  if (whole.Width() - (client.Width()) <= kPrintBorderLimit ||
      whole.Height() - (client.Height()) <= kPrintBorderLimit)
    return;
  TRect inner = whole;
  InflateRect(inner, -1, -1);
  FrameRect(DC, &inner, static_cast<HBRUSH>(GetCurrentObject(DC, OBJ_BRUSH)));
  FrameWith(DC, whole, SkinLineColor());
}

void TSkinEdit::SkinSpinChild() {
  using namespace edit_frame;
  if (SpinSkinner || !SkinData || !SkinData->SkinControls().Contains(xcSpin)) return;
  for (HWND child = GetWindow(Handle, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsSpinClass(GetClassName(child))) continue;
    SpinSkinner = new TSkinUpDown(Control ? static_cast<TComponent*>(Control) : this);
    SpinSkinner->FreeNotification(this);
    SpinSkinner->InEdit = true;
    SpinSkinner->AttachWindow(child, SkinData, Form, Canvas);
    return;
  }
}
