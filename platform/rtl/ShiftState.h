#pragma once
// Keyboard and mouse button state that accompanies input events.
#include "platform/rtl/Set.h"

enum class TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;
using enum TShiftStateItem;

enum TMouseButton { mbLeft, mbRight, mbMiddle };
