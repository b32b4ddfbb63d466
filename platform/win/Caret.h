#pragma once
// The caret: one per program, owned by a window. It starts hidden; ShowCaret and HideCaret
// nest (each hide needs its show). While shown it blinks on a timer of the virtual clock and is
// drawn by inverting its rectangle in the window's DC, so drawing it twice restores the pixels.
#include "platform/win/Windows.h"

// CreateCaret's bitmap argument for a gray (half-tone) caret; nullptr gives a solid one.
inline HBITMAP CaretGrayBitmap() {
  return reinterpret_cast<HBITMAP>(uintptr_t{1});
}

// Replaces any caret. Width or height 0 take the border width/height; a bitmap gives its size
// (the caret inverts where the bitmap has set bits). The window must live.
BOOL CreateCaret(HWND hwnd, HBITMAP bitmap, int width, int height);
BOOL DestroyCaret();
// nullptr: whichever window owns the caret. FALSE for another window or no caret.
BOOL HideCaret(HWND hwnd);
BOOL ShowCaret(HWND hwnd);
// Client coordinates of the caret's window; moving restarts the blink in the "on" phase.
BOOL SetCaretPos(int x, int y);
BOOL GetCaretPos(POINT* point);
UINT GetCaretBlinkTime();  // 530 until set
BOOL SetCaretBlinkTime(UINT ms);

// For tests and the window classes: the caret's window (nullptr when none) and whether its
// rectangle is currently inverted on screen.
HWND GetCaretWindow();
bool IsCaretDrawn();
