// The predefined system bitmaps, painted on demand with the frame-control painter in the
// current system colours. Every call answers a new bitmap that the caller deletes.
#include "platform/gdi/FramePainter.h"

namespace {

constexpr int kCell = 13;

// Four columns (unchecked, checked, pushed, pushed and checked) by three rows (check box,
// radio button, three-state check box), each image in a 13 x 13 cell.
HBITMAP CheckBoxesBitmap() {
  return gdi_internal::PaintedBitmap(4 * kCell, 3 * kCell, [](const gdi_internal::TPixelPainter& p) {
    p.Fill(RECT{0, 0, 4 * kCell, 3 * kCell}, GetSysColor(COLOR_BTNFACE));
    static const UINT kRows[3] = {DFCS_BUTTONCHECK, DFCS_BUTTONRADIO, DFCS_BUTTON3STATE};
    static const UINT kColumns[4] = {0, DFCS_CHECKED, DFCS_PUSHED, DFCS_PUSHED | DFCS_CHECKED};
    for (int row = 0; row < 3; ++row)
      for (int col = 0; col < 4; ++col) {
        RECT cell = Bounds(col * kCell, row * kCell, kCell, kCell);
        gdi_internal::PaintFrameControl(p, cell, DFC_BUTTON, kRows[row] | kColumns[col]);
      }
  });
}

// The menu check mark: black on white.
HBITMAP CheckBitmap() {
  return gdi_internal::PaintedBitmap(kCell, kCell, [](const gdi_internal::TPixelPainter& p) {
    RECT cell{0, 0, kCell, kCell};
    gdi_internal::PaintFrameControl(p, cell, DFC_MENU, DFCS_MENUCHECK);
  });
}

}  // namespace

HBITMAP LoadBitmap(void* instance, int resourceId) {
  if (instance) return nullptr;  // no module carries bitmap resources here
  switch (resourceId) {
    case OBM_CHECKBOXES:
      return CheckBoxesBitmap();
    case OBM_CHECK:
      return CheckBitmap();
    default:
      return nullptr;
  }
}
