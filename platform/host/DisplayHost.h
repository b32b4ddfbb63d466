#pragma once
// The X11 display host: with a DISPLAY, each visible top-level window is an X11 window showing
// its composed surface, shaped by its window region (HostShape.cpp); X11 input, focus, expose
// and resize events enter the window manager as input; the clock runs in real time; the
// CLIPBOARD selection carries the in-memory clipboard's text, CSV and RTF out and text in; the
// X pointer takes the shape of the window manager's current cursor (CursorInternal.h).
//
// Without a DISPLAY (or when the display cannot be opened) nothing of X11 is touched and
// StartDisplayHost answers false; the program keeps its headless behaviour.

// Opens the display, mirrors the visible top-level windows and installs the host as the
// message loops' event source. True when running (also when it already was).
bool StartDisplayHost();
// Closes the windows and the display; the headless event source and the in-memory clipboard
// take over again. The clock stays real time.
void StopDisplayHost();
bool DisplayHostRunning();
// Runs the message loop through the host until WM_QUIT; answers its exit code.
int RunHostMessageLoop();
