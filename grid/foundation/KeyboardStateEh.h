#pragma once
// The keyboard's modifier keys as the window manager holds them now.
#include "platform/rtl/ShiftState.h"

// Shift, Ctrl and Alt as the keyboard holds them now.
TShiftState GetShiftState();
