#pragma once
// What the built-in window classes share: notifications to the parent, the WM_CTLCOLOR*
// exchange, fonts and text measuring, painting through WM_PAINT or WM_PRINTCLIENT, and UTF-8
// text as characters. Not for use above platform/.
#include <functional>
#include <string>

#include "platform/win/ControlClasses.h"
#include "platform/win/WindowManager.h"

namespace win_controls {

// The control's state object in the window's control slot (created on first use).
template <class T>
T& State(HWND hwnd) {
  win_internal::TWnd* w = win_internal::Find(hwnd);
  return w->Ensure<T>(win_internal::TExtSlot::Control);
}
template <class T>
T* StateIf(HWND hwnd) {
  win_internal::TWnd* w = win_internal::Find(hwnd);
  return w ? w->Get<T>(win_internal::TExtSlot::Control) : nullptr;
}

// Where a control's notifications, owner-draw and colour requests go: its parent, or for the
// list of a combo box (a pop-up while dropped) the combo box.
HWND ControlParent(HWND control);
// The combo box a "ComboLBox" list belongs to, or null.
HWND ComboOfList(HWND list);

// The dialog whose default push button `control` takes part in: its parent when that keeps a
// default id (answers DM_GETDEFID), else null.
HWND DialogKeepingDefault(HWND control);
// The dialog manager's rule for the default frame: while one of the dialog's push buttons has
// the focus (`newFocus`), that one is BS_DEFPUSHBUTTON; otherwise the button with the default
// id is. Every other push button of the dialog becomes BS_PUSHBUTTON.
void CheckDefaultPushButton(HWND dialog, HWND newFocus);

// WM_COMMAND to the parent (the owner for a top-level window): control id and code in wParam,
// the control in lParam.
void NotifyParent(HWND control, WORD code);
// WM_NOTIFY to the parent; fills hdr's sender and id first.
LRESULT NotifyParent(HWND control, NMHDR& hdr);
// Asks the parent for the background brush with `msg` (WM_CTLCOLORBTN ...); the parent may set
// the DC's colours and background mode. Falls back to the default answer for a missing parent
// or a null brush.
HBRUSH ControlColor(HWND control, HDC dc, UINT msg);

// The font the control was given with WM_SETFONT, or the default GUI font.
HFONT ControlFont(HFONT font);
// Width and height of text in a font, measured on a scratch DC.
SIZE MeasureText(HFONT font, const std::string& text);
int FontHeight(HFONT font);

// Paints through BeginPaint/EndPaint for WM_PAINT (or into the DC in wParam when it is not
// null, as WM_PRINTCLIENT and WM_PAINT from a parent pass it).
void PaintControl(HWND hwnd, WPARAM dcParam, const std::function<void(HDC)>& paint);

// UTF-8 text as code points and back.
std::u32string Decode(const std::string& text);
std::string Encode(const std::u32string& text);
std::string Encode(char32_t ch);

// Copies text into an LB_GETTEXT-style buffer (NUL-terminated, no size given): the caller
// promised room for the whole text.
void CopyWhole(const std::string& text, LPARAM buffer);

bool ShiftDown();
bool ControlDown();

}  // namespace win_controls

namespace win_controls {

// One registration per class file; RegisterBuiltinClasses runs them all once.
void RegisterButtonClass();
void RegisterStaticClass();
void RegisterEditClass();
void RegisterListBoxClass();
void RegisterScrollBarClass();
void RegisterComboBoxClass();
void RegisterMonthCalClass();
void RegisterMdiClientClass();
void RegisterTabControlClass();
void RegisterHeaderClass();
void RegisterTrackBarClass();
void RegisterUpDownClass();
void RegisterProgressBarClass();
void RegisterStatusBarClass();
void RegisterListViewClass();
// "ComboBoxEx32", "SysTreeView32" and "ToolbarWindow32": registered names with the default
// behaviour.
void RegisterNameOnlyClasses();

// Registers a system class with the usual defaults of a built-in control.
void RegisterControlClass(const char* name, TWndProcFunction proc, UINT style, HCURSOR cursor = nullptr,
                          HBRUSH background = nullptr);

}  // namespace win_controls
