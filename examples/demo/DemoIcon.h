#pragma once
// The program's icon, drawn at start-up instead of read from a file: a green ledger with ruled
// lines and a gold coin. Given to the application window and to each form, so that the
// caption's icon button shows it.
#include <memory>

#include "platform/win/Windows.h"

class TIcon;
class TCustomForm;

// Edge of the icon's square image.
inline constexpr int kDemoIconSize = 32;

// The icon, Size pixels square, transparent outside its shapes.
std::unique_ptr<TIcon> CreateDemoIcon(int Size);
// The application's icon (kDemoIconSize), made on first use and kept by the application.
TIcon* DemoIcon();
// The icon at the system's small-icon size, made on first use.
HICON DemoSmallIcon();
// Gives Form the application's icon, and the small one for its caption.
void UseDemoIcon(TCustomForm* Form);
