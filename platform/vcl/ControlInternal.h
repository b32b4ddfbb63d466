#pragma once
// State the control files share: the capture control, the control the mouse is in, the drag
// in progress, and the device contexts control canvases borrowed outside WM_PAINT.
#include "platform/vcl/Controls.h"

namespace vcl_internal {

// The graphic control that holds the capture through its parent's window.
TControl*& CaptureControlRef();
// The control that last heard CM_MOUSEENTER.
TControl*& MouseControlRef();

struct TDragInfo {
  TControl* Control = nullptr;  // the control being dragged
  TDragObject* Object = nullptr;
  bool OwnsObject = false;
  bool Started = false;  // past the threshold
  int Threshold = 0;
  TPoint StartPos{};  // screen
  TControl* Target = nullptr;
  bool Accepted = false;
};
TDragInfo& DragInfo();

// A control is going away: forget it wherever it is remembered.
void ForgetControl(TControl* Control);

// Control canvases holding a DC from GetDeviceContext.
void RegisterCanvasDC(TControlCanvas* Canvas);
void UnregisterCanvasDC(TControlCanvas* Canvas);
// Gives every borrowed DC back (after each window message, before a window dies).
void FreeDeviceContexts();

// The window-to-control table behind FindControl.
void BindWindow(HWND Handle, TWinControl* Control);
void UnbindWindow(HWND Handle);

}  // namespace vcl_internal
