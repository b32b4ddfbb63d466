#pragma once
// What the painting files share: the per-window painting state, the visible parts of windows
// in their top-level surface, and the extension points other slices paint through. Not for
// use above platform/.
#include <functional>

#include "platform/gdi/DrawRecorder.h"
#include "platform/gdi/Regions.h"
#include "platform/win/WindowManager.h"

namespace win_internal {

using gdi_internal::TRegion;

// TExtSlot::Paint of every window that was ever invalidated, painted or shown.
struct TPaintData : TWndData {
  ~TPaintData() override;
  HWND Owner = nullptr;
  TRegion Update;             // client coordinates
  bool Erase = false;         // WM_ERASEBKGND still due for the update region
  bool Frame = false;         // WM_NCPAINT still due
  bool Internal = false;      // RDW_INTERNALPAINT: WM_PAINT without an update region
  bool Pending = false;       // listed among the windows waiting for WM_PAINT
  bool NoRedraw = false;      // WM_SETREDRAW FALSE: no WM_PAINT and no output until TRUE
  HBITMAP Surface = nullptr;  // top-level windows: the composed bitmap, window-sized
  IDrawRecorder* Recorder = nullptr;
};
TPaintData& PaintData(TWnd& w);

// --- regions and geometry (PaintDC.cpp) ---------------------------------------------------------------

// The window rectangle and client rectangle in the coordinates of its top-level window's
// surface (the top-level window's top-left is (0, 0)).
RECT WindowRectInTop(const TWnd& w);
RECT ClientRectInTop(const TWnd& w);
// What of the window (or its client area) can be painted, in surface coordinates: cut to every
// ancestor's client area and window region, to its own region, and without the siblings above
// it (`clipSiblings`) and its children (`clipChildren`). Empty when any of the chain is hidden.
TRegion VisibleRegion(const TWnd& w, bool client, bool clipChildren, bool clipSiblings);
// A region's rectangles moved by (dx, dy).
TRegion Offset(const TRegion& r, int dx, int dy);
TRegion Intersect(const TRegion& a, const TRegion& b);
TRegion Subtract(const TRegion& a, const TRegion& b);
TRegion Unite(const TRegion& a, const TRegion& b);
// The region object behind an HRGN, or nullptr.
const TRegion* RegionOf(HRGN rgn);
// A new HRGN holding `r` (the caller owns it).
HRGN MakeRgn(const TRegion& r);

// A DC over the window's top-level surface: client or window origin, limited to `visible`
// (surface coordinates). Recorded so ReleaseDC can tell the host what changed.
HDC MakeWindowDC(TWnd& w, bool window, const TRegion& visible);

// --- composition (Composition.cpp) -----------------------------------------------------------------

// The surface of a visible top-level window, created or resized to the window's size.
HBITMAP EnsureSurface(TWnd& top);
void ReleaseSurface(TPaintData& data);
void NotifySurfaceChanged(HWND top, const RECT& dirty);

// --- update regions (UpdateRegions.cpp) ---------------------------------------------------------------

// Adds `rgn` (client coordinates) to the window's update region; children not clipped by the
// parent (or all of them with `allChildren`) take their parts. `frame` marks the frame too.
void InvalidateClient(TWnd& w, const TRegion& rgn, bool erase, bool allChildren, bool noChildren, bool frame);
void UpdatePending(TWnd& w);  // re-evaluates whether the window waits for WM_PAINT

// --- non-client painting (NonClientPaint.cpp) -------------------------------------------------------------

// Paints the default frame, caption, scroll bars and size box through a window DC.
void PaintNonClient(TWnd& w, HDC windowDC);
// Draws one window scroll bar at once (after SetScrollInfo with redraw).
void RedrawWindowScrollBar(TWnd& w, int bar);
// Draws the caption buttons at once (a press on one of them is being tracked).
void RedrawCaptionButtons(TWnd& w);

struct TNcPaintHooks {
  // Paints the menu bar band (window coordinates) of a window with a menu.
  std::function<void(HWND, HDC, const RECT&)> MenuBar;
};
TNcPaintHooks& NcPaintHooks();

// Every DC the window manager makes for the window reports to `recorder` (nullptr stops).
void SetWindowDrawRecorder(HWND hwnd, IDrawRecorder* recorder);

void InstallNonClientHandlers();
void InstallScrollBarHandlers();

// --- caption buttons (CaptionButtons.cpp) ---------------------------------------------------------------

// Whether a caption button (HTCLOSE, HTMAXBUTTON, HTMINBUTTON) acts: the minimise and maximise
// buttons with their WS_ style, the close button unless the class has CS_NOCLOSE or the
// window's system menu greys SC_CLOSE. A button that does not act is drawn inactive.
bool CaptionButtonEnabled(const TWnd& w, LRESULT hit);
// The caption button drawn pushed: the one a press is tracking while the pointer is over it;
// HTNOWHERE when none.
LRESULT PushedCaptionButton(const TWnd& w);
void InstallCaptionButtonHandlers();

// --- moving and sizing (SizeMoveLoop.cpp) ---------------------------------------------------------------

// The window or an ancestor has redrawing turned off (WM_SETREDRAW FALSE).
bool RedrawSuppressed(const TWnd& w);
void InstallSizeMoveHandlers();

}  // namespace win_internal
