// The part of the dialog manager this window manager has: a dialog's default push button. The
// dialog keeps the id of its default button; the default frame (BS_DEFPUSHBUTTON) follows the
// focus while a push button of the dialog has it and returns to the default id's button when
// the focus moves on to another kind of control. A focus that leaves the dialog altogether
// leaves the frame where it is.
#include "platform/win/ControlClassesInternal.h"

namespace win_controls {
namespace {

struct TDialogState : win_internal::TWndData {
  int DefId = 0;
  bool HasDefId = false;
};

// Only the two push-button types trade the default look; owner-drawn and other buttons keep
// their type.
bool IsPushButton(HWND h) {
  if (!h || !IsWindow(h)) return false;
  const LRESULT code = SendMessage(h, WM_GETDLGCODE, 0, 0);
  if (!(code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) return false;
  const DWORD type = static_cast<DWORD>(GetWindowLong(h, GWL_STYLE)) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

void SetButtonType(HWND button, DWORD type) {
  const DWORD style = static_cast<DWORD>(GetWindowLong(button, GWL_STYLE));
  if ((style & BS_TYPEMASK) != type) SendMessage(button, BM_SETSTYLE, type, TRUE);
}

// The id of the dialog's default button: the one set, or else the first child that was made
// BS_DEFPUSHBUTTON.
int DefaultId(HWND dialog, bool* has) {
  auto& s = State<TDialogState>(dialog);
  *has = s.HasDefId;
  if (s.HasDefId) return s.DefId;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (IsPushButton(c) && (GetWindowLong(c, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
      *has = true;
      return GetDlgCtrlID(c);
    }
  }
  return 0;
}

}  // namespace

HWND DialogKeepingDefault(HWND control) {
  HWND parent = GetParent(control);
  if (!parent) return nullptr;
  const auto answer = static_cast<uintptr_t>(SendMessage(parent, DM_GETDEFID, 0, 0));
  return HIWORD(answer) == DC_HASDEFID ? parent : nullptr;
}

void CheckDefaultPushButton(HWND dialog, HWND newFocus) {
  HWND frame = nullptr;
  if (IsPushButton(newFocus) && GetParent(newFocus) == dialog) {
    frame = newFocus;
  } else {
    bool has = false;
    const int id = DefaultId(dialog, &has);
    if (has) frame = GetDlgItem(dialog, id);
  }
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (IsPushButton(c) && c != frame) SetButtonType(c, BS_PUSHBUTTON);
  if (IsPushButton(frame)) SetButtonType(frame, BS_DEFPUSHBUTTON);
}

}  // namespace win_controls

LRESULT DefDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  using namespace win_controls;
  if (!win_internal::Find(hwnd)) return 0;
  switch (msg) {
    case DM_GETDEFID: {
      bool has = false;
      const int id = DefaultId(hwnd, &has);
      return has ? MAKELRESULT(id, DC_HASDEFID) : 0;
    }
    case DM_SETDEFID: {
      auto& s = State<TDialogState>(hwnd);
      s.DefId = static_cast<int>(LOWORD(wParam));
      s.HasDefId = true;
      // A focused push button keeps the frame; it goes to the new default when the focus leaves.
      HWND focus = GetFocus();
      CheckDefaultPushButton(hwnd, focus && IsChild(hwnd, focus) ? focus : nullptr);
      return TRUE;
    }
    default:
      return DefWindowProc(hwnd, msg, wParam, lParam);
  }
}
