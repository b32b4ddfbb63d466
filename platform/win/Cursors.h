#pragma once
// Mouse cursors. The system cursors are drawn here as 32x32 monochrome icons with a hot spot;
// named cursors come from the resource registry (kind "CURSOR", a TCursorImage). LoadCursor
// answers one shared handle per cursor, which DestroyCursor leaves alone.
//
// DefWindowProc's WM_SETCURSOR: a child asks its parent first; then, for the window under the
// mouse, the class cursor in the client area, the sizing cursors on the sizing border and the
// arrow elsewhere; TRUE when it set one.
#include <cstdint>
#include <vector>

#include "platform/win/Windows.h"

using LPCSTR = const char*;

// A resource name or a number (MAKEINTRESOURCE).
inline LPCSTR MAKEINTRESOURCE(int id) {
  return reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(static_cast<WORD>(id)));
}

constexpr int IDC_ARROW_ID = 32512, IDC_IBEAM_ID = 32513, IDC_WAIT_ID = 32514, IDC_CROSS_ID = 32515,
              IDC_UPARROW_ID = 32516, IDC_SIZENWSE_ID = 32642, IDC_SIZENESW_ID = 32643, IDC_SIZEWE_ID = 32644,
              IDC_SIZENS_ID = 32645, IDC_SIZEALL_ID = 32646, IDC_NO_ID = 32648, IDC_HAND_ID = 32649,
              IDC_APPSTARTING_ID = 32650, IDC_HELP_ID = 32651;

inline const LPCSTR IDC_ARROW = MAKEINTRESOURCE(IDC_ARROW_ID);
inline const LPCSTR IDC_IBEAM = MAKEINTRESOURCE(IDC_IBEAM_ID);
inline const LPCSTR IDC_WAIT = MAKEINTRESOURCE(IDC_WAIT_ID);
inline const LPCSTR IDC_CROSS = MAKEINTRESOURCE(IDC_CROSS_ID);
inline const LPCSTR IDC_UPARROW = MAKEINTRESOURCE(IDC_UPARROW_ID);
inline const LPCSTR IDC_SIZENWSE = MAKEINTRESOURCE(IDC_SIZENWSE_ID);
inline const LPCSTR IDC_SIZENESW = MAKEINTRESOURCE(IDC_SIZENESW_ID);
inline const LPCSTR IDC_SIZEWE = MAKEINTRESOURCE(IDC_SIZEWE_ID);
inline const LPCSTR IDC_SIZENS = MAKEINTRESOURCE(IDC_SIZENS_ID);
inline const LPCSTR IDC_SIZEALL = MAKEINTRESOURCE(IDC_SIZEALL_ID);
inline const LPCSTR IDC_NO = MAKEINTRESOURCE(IDC_NO_ID);
inline const LPCSTR IDC_HAND = MAKEINTRESOURCE(IDC_HAND_ID);
inline const LPCSTR IDC_APPSTARTING = MAKEINTRESOURCE(IDC_APPSTARTING_ID);
inline const LPCSTR IDC_HELP = MAKEINTRESOURCE(IDC_HELP_ID);

// A drawn cursor as the resource registry holds it (RegisterResourceAs<TCursorImage>("CURSOR",
// name, ...)).
struct TCursorImage {
  int Width = 32;
  int Height = 32;
  POINT HotSpot{};
  std::vector<uint32_t> Pixels;  // 0x00RRGGBB, top-down rows, Width * Height
  std::vector<uint8_t> Mask;     // non-zero where the screen shows through, Width * Height
};

// A cursor made from an image; nullptr when the sizes do not agree or exceed 256 x 256.
// The caller destroys it with DestroyCursor.
HCURSOR CreateCursorFromImage(const TCursorImage& image);

// `instance` nullptr with an IDC_ number: a system cursor. A name: the registry's "CURSOR" of
// that name. nullptr when there is none.
HCURSOR LoadCursor(HINSTANCE instance, LPCSTR name);
// Answers the previous cursor.
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
// Shared cursors from LoadCursor stay; others are destroyed.
BOOL DestroyCursor(HCURSOR cursor);
// The display counter: the cursor shows while it is >= 0. Answers the new count.
int ShowCursor(BOOL show);
// The IDC_ number of a system cursor handle, 0 for any other (the display host maps it).
int SystemCursorId(HCURSOR cursor);
