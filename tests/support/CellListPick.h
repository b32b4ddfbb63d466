#pragma once
// A pick from a cell editor's pick list as a user makes it, through the input queue: by the mouse
// (a click on the editor's drop-down button, then on the entry) or by keys (Alt+Down, the arrows
// to the entry, Enter). For the tests of every grid that edits its cells with the axis grid's
// editor; Pump lets the windows take the input.
#include <functional>

#include "grid/axis/AxisGridInplaceEditEh.h"
#include "platform/win/Input.h"
#include "platform/win/WinTesting.h"

namespace test_support {

// False when the list did not drop down.
inline bool PickFromCellList(TDBAxisGridInplaceEdit* Editor, int Index, bool Mouse,
                             const std::function<void()>& Pump) {
  if (Mouse) {
    TControl* button = Editor->EditButtonControls().at(0).second;
    const TPoint at = button->ClientToScreen({button->Width() / 2, button->Height() / 2});
    WinTesting::Click({at.X, at.Y});
  } else {
    Input::KeyDown(VK_MENU);
    WinTesting::KeyPress(VK_DOWN);
    Input::KeyUp(VK_MENU);
  }
  Pump();
  TPopupListboxEh* list = Editor->PickListBox();
  if (!Editor->ListVisible() || !list) return false;
  if (Mouse) {
    const TRect r = list->ItemRect(Index);
    const TPoint item = list->ClientToScreen({r.Left + 5, (r.Top + r.Bottom) / 2});
    WinTesting::Click({item.X, item.Y});
  } else {
    for (int i = list->ItemIndex(); i < Index; ++i) WinTesting::KeyPress(VK_DOWN);
    for (int i = list->ItemIndex(); i > Index; --i) WinTesting::KeyPress(VK_UP);
    WinTesting::KeyPress(VK_RETURN);
  }
  Pump();
  return true;
}

}  // namespace test_support
