#pragma once
// Where a drop-down window (list, calendar, calculator, form) opens against its host, and two
// small mouse services of the editors: taking a pending click on a control out of the queue,
// and telling whether two clicks make a double click.
#include <cstdint>

#include "grid/foundation/DropDownFormEh.h"  // TDropDownAlign
#include "platform/vcl/Controls.h"

// The result of placing a drop-down window.
struct TDropDownPlacementEh {
  TPoint Pos;           // top-left corner in screen coordinates
  TSize Size;           // the window's size, fitted to the work area
  bool Upward = false;  // opens above the host
};

// Places a window of WindowSize against HostRect (screen coordinates) inside WorkArea: the size
// is cut to the work area; the window lines up with the host's left edge, right edge or centre
// (then kept inside the work area) and opens below the host, or above it when there is no room
// below but room above. When neither side has room it goes to the side with more room, kept
// inside the work area.
TDropDownPlacementEh AlignDropDownWindowRect(const TRect& HostRect, const TSize& WindowSize,
                                             TDropDownAlign Align, const TRect& WorkArea);
// The same against the screen's work area for DropDownWin; a window larger than the work area
// is resized to fit (its position is left to the caller). Answers the top-left point; Upward
// tells whether it opens above the host.
TPoint AlignDropDownWindowRect(const TRect& HostRect, TWinControl* DropDownWin, TDropDownAlign Align,
                               bool* Upward = nullptr);
// The host's screen rectangle placed by AlignDropDownWindowRect; Pos receives the point.
// Answers whether the window opens upwards.
bool DropDownWindowBelowControl(TControl* Host, TWinControl* DropDownWin, TDropDownAlign Align, TPoint& Pos);

// Looks, without taking it, for a waiting left-button press or double click in the queue of
// the control's window (its parent's window for a control without one). A waiting release
// answers False. When the press lies on the control (its parent's control-at-position test,
// disabled controls included) the message is taken out of the queue and the answer is True.
bool PeekClickOnControl(TControl* Control);

// Two clicks no further apart in time than the double-click time (PrevTime and Time are
// message times in milliseconds; the difference wraps like the tick count) and in position
// than the double-click rectangle centred on the first click.
bool IsDoubleClickGesture(const TPoint& PrevPos, uint32_t PrevTime, const TPoint& Pos, uint32_t Time);
