#pragma once
// Shared helpers of the menu and action tests.
#include <string>

#include "platform/vcl/Forms.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Input.h"
#include "platform/win/WinTesting.h"

namespace menutest {

// Runs every queued message.
inline void Pump() {
  MSG msg{};
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
}

struct TEntry {
  std::string Text;
  UINT Type = 0;
  UINT State = 0;
  UINT Id = 0;
  HMENU SubMenu = nullptr;
  ULONG_PTR Data = 0;
};

inline TEntry Entry(HMENU menu, int position) {
  char buffer[256] = {};
  MENUITEMINFO mii;
  mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU | MIIM_DATA;
  mii.dwTypeData = buffer;
  mii.cch = sizeof buffer;
  TEntry e;
  if (!GetMenuItemInfo(menu, static_cast<UINT>(position), TRUE, &mii)) return e;
  e.Text = buffer;
  e.Type = mii.fType;
  e.State = mii.fState;
  e.Id = mii.wID;
  e.SubMenu = mii.hSubMenu;
  e.Data = mii.dwItemData;
  return e;
}

// The entries' texts joined by '|'.
inline std::string Texts(HMENU menu) {
  std::string s;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    if (i) s += '|';
    TEntry e = Entry(menu, i);
    s += (e.Type & MFT_SEPARATOR) ? "-" : e.Text;
  }
  return s;
}

inline TMenuItem* Item(const std::string& caption, TShortCut sc = 0) {
  TMenuItem* item = NewItem(caption, sc, false, true, nullptr, 0, "");
  return item;
}

}  // namespace menutest
