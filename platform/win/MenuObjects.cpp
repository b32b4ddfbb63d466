// Menu objects: the handle table, items by position and by command, item information, the
// menu bar of a window and its system menu.
#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/win/MenuInternal.h"

namespace win_internal {
namespace {

// A menu with more items than this is refused further items instead of growing without bound.
constexpr size_t kMaxItems = 4096;
constexpr size_t kMaxMenus = 0xFFFF;
constexpr int kMaxDepth = 64;  // submenu nesting searched by command

struct TSlot {
  std::unique_ptr<TMenu> Menu;
  uint16_t Generation = 1;
};

struct TMenuTable {
  std::vector<TSlot> Slots;
  std::vector<size_t> Free;
};

TMenuTable& Table() {
  static auto* table = new TMenuTable;
  return *table;
}

// Handle value: slot index + 1 in the low 16 bits, the generation above.
HMENU MakeHandle(size_t index, uint16_t generation) {
  const uintptr_t v = (static_cast<uintptr_t>(generation) << 16) | (index + 1);
  return reinterpret_cast<HMENU>(v);
}

HMENU NewMenu(bool popup) {
  EnsureMenuHooks();
  TMenuTable& t = Table();
  size_t index;
  if (!t.Free.empty()) {
    index = t.Free.back();
    t.Free.pop_back();
  } else {
    if (t.Slots.size() >= kMaxMenus) return nullptr;
    index = t.Slots.size();
    t.Slots.emplace_back();
  }
  TSlot& s = t.Slots[index];
  s.Menu = std::make_unique<TMenu>();
  s.Menu->Handle = MakeHandle(index, s.Generation);
  s.Menu->Popup = popup;
  return s.Menu->Handle;
}

void FreeMenu(HMENU h, int depth) {
  TMenu* m = FindMenu(h);
  if (!m || depth > kMaxDepth) return;
  std::vector<HMENU> subs;
  for (const TMenuItem& it : m->Items)
    if (it.SubMenu) subs.push_back(it.SubMenu);
  const uintptr_t v = reinterpret_cast<uintptr_t>(h);
  TSlot& s = Table().Slots[(v & 0xFFFF) - 1];
  s.Menu.reset();
  s.Generation = static_cast<uint16_t>(s.Generation == 0xFFFF ? 1 : s.Generation + 1);
  Table().Free.push_back((v & 0xFFFF) - 1);
  for (HMENU sub : subs) FreeMenu(sub, depth + 1);
}

TMenuItem* FindByCommand(TMenu& m, UINT id, TMenu** owner, int* position, int depth) {
  if (depth > kMaxDepth) return nullptr;
  for (size_t i = 0; i < m.Items.size(); ++i) {
    TMenuItem& it = m.Items[i];
    if (it.SubMenu) {
      if (TMenu* sub = FindMenu(it.SubMenu))
        if (TMenuItem* found = FindByCommand(*sub, id, owner, position, depth + 1)) return found;
      // A submenu item can still be named by its id.
      if (it.Id == id && it.Id != 0) {
        if (owner) *owner = &m;
        if (position) *position = static_cast<int>(i);
        return &it;
      }
      continue;
    }
    if (it.Id == id && !(it.Type & MFT_SEPARATOR)) {
      if (owner) *owner = &m;
      if (position) *position = static_cast<int>(i);
      return &it;
    }
  }
  return nullptr;
}

// Builds an item from the MF_ flags of AppendMenu and friends.
bool ItemFromFlags(UINT flags, UINT_PTR idNewItem, const std::string& text, TMenuItem& item) {
  item = TMenuItem{};
  if (flags & MF_POPUP) {
    HMENU sub = reinterpret_cast<HMENU>(idNewItem);
    if (!FindMenu(sub)) return false;
    item.SubMenu = sub;
    item.Id = static_cast<UINT>(idNewItem);
  } else {
    item.Id = static_cast<UINT>(idNewItem);
  }
  item.Type = flags & (MF_SEPARATOR | MF_OWNERDRAW | MF_MENUBARBREAK | MF_MENUBREAK | MF_RIGHTJUSTIFY);
  if (flags & MF_BITMAP) item.Type |= MFT_BITMAP;
  item.State = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT);
  if (!(item.Type & (MFT_SEPARATOR | MFT_OWNERDRAW))) item.Text = text;
  if (item.Type & MFT_SEPARATOR) item.Id = 0;
  return true;
}

bool InsertAt(TMenu& m, UINT position, bool byPosition, TMenuItem item) {
  if (m.Items.size() >= kMaxItems) return false;
  if (item.SubMenu == m.Handle) return false;  // a menu inside itself
  size_t at = m.Items.size();
  if (byPosition) {
    if (position < m.Items.size()) at = position;
  } else {
    TMenu* owner = nullptr;
    int pos = -1;
    if (FindItem(m.Handle, position, false, &owner, &pos) && owner) {
      owner->Items.insert(owner->Items.begin() + pos, std::move(item));
      return true;
    }
  }
  m.Items.insert(m.Items.begin() + static_cast<std::ptrdiff_t>(at), std::move(item));
  return true;
}

bool Remove(HMENU menu, UINT position, UINT flags, bool destroySub) {
  TMenu* owner = nullptr;
  int pos = -1;
  TMenuItem* item = FindItem(menu, position, (flags & MF_BYPOSITION) != 0, &owner, &pos);
  if (!item || !owner) return false;
  HMENU sub = item->SubMenu;
  owner->Items.erase(owner->Items.begin() + pos);
  if (destroySub && sub) FreeMenu(sub, 0);
  return true;
}

// Applies the members of a MENUITEMINFO that its mask names; false when the submenu is bad.
bool ApplyInfo(HMENU holder, TMenuItem& it, const MENUITEMINFO& info) {
  const UINT mask = info.fMask;
  if (mask & MIIM_SUBMENU) {
    if (info.hSubMenu && (!FindMenu(info.hSubMenu) || info.hSubMenu == holder)) return false;
    it.SubMenu = info.hSubMenu;
  }
  if (mask & (MIIM_TYPE | MIIM_FTYPE)) {
    it.Type = info.fType;
    if ((mask & MIIM_TYPE) && !(it.Type & (MFT_SEPARATOR | MFT_OWNERDRAW | MFT_BITMAP)))
      it.Text = info.dwTypeData ? info.dwTypeData : "";
  }
  if (mask & MIIM_STRING) it.Text = info.dwTypeData ? info.dwTypeData : "";
  if (mask & MIIM_STATE) it.State = info.fState & (MFS_GRAYED | MFS_CHECKED | MFS_HILITE | MFS_DEFAULT);
  if (mask & MIIM_ID) it.Id = info.wID;
  if (mask & MIIM_DATA) it.Data = info.dwItemData;
  return true;
}

UINT StateFlags(const TMenuItem& it) {
  UINT f =
      it.Type & (MF_SEPARATOR | MF_OWNERDRAW | MF_MENUBARBREAK | MF_MENUBREAK | MF_RIGHTJUSTIFY | MF_BITMAP);
  f |= it.State & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT);
  if (it.SubMenu) f |= MF_POPUP;
  return f;
}

struct TMenuWndData : TWndData {
  HMENU SystemMenu = nullptr;
};

HMENU BuildSystemMenu() {
  HMENU m = NewMenu(true);
  if (!m) return nullptr;
  FindMenu(m)->System = true;
  AppendMenu(m, MF_STRING, SC_RESTORE, "&Restore");
  AppendMenu(m, MF_STRING, SC_MOVE, "&Move");
  AppendMenu(m, MF_STRING, SC_SIZE, "&Size");
  AppendMenu(m, MF_STRING, SC_MINIMIZE, "Mi&nimize");
  AppendMenu(m, MF_STRING, SC_MAXIMIZE, "Ma&ximize");
  AppendMenu(m, MF_SEPARATOR, 0);
  AppendMenu(m, MF_STRING, SC_CLOSE, "&Close\tAlt+F4");
  SetMenuDefaultItem(m, SC_CLOSE, FALSE);
  return m;
}

void OnWindowDestroyed(HWND hwnd) {
  TWnd* w = Find(hwnd);
  if (!w) return;
  if (auto* d = w->Get<TMenuWndData>(TExtSlot::Menu); d && d->SystemMenu) {
    FreeMenu(d->SystemMenu, 0);
    d->SystemMenu = nullptr;
  }
  if (w->IsTopLevel() && !(w->Style & WS_CHILD) && w->Id) {
    HMENU bar = reinterpret_cast<HMENU>(w->Id);
    w->Id = 0;
    if (FindMenu(bar)) FreeMenu(bar, 0);
  }
}

}  // namespace

TMenu* FindMenu(HMENU menu) {
  const uintptr_t v = reinterpret_cast<uintptr_t>(menu);
  if (v == 0 || (v >> 32) != 0) return nullptr;
  const size_t index = (v & 0xFFFF);
  const auto generation = static_cast<uint16_t>(v >> 16);
  TMenuTable& t = Table();
  if (index == 0 || index > t.Slots.size()) return nullptr;
  TSlot& s = t.Slots[index - 1];
  if (!s.Menu || s.Generation != generation) return nullptr;
  return s.Menu.get();
}

TMenuItem* FindItem(HMENU menu, UINT item, bool byPosition, TMenu** owner, int* position) {
  TMenu* m = FindMenu(menu);
  if (!m) return nullptr;
  if (byPosition) {
    if (item >= m->Items.size()) return nullptr;
    if (owner) *owner = m;
    if (position) *position = static_cast<int>(item);
    return &m->Items[item];
  }
  return FindByCommand(*m, item, owner, position, 0);
}

void SplitItemText(const std::string& text, std::string& label, std::string& accel) {
  label.clear();
  accel.clear();
  const size_t tab = text.find('\t');
  const std::string head = text.substr(0, tab);
  if (tab != std::string::npos) accel = text.substr(tab + 1);
  for (size_t i = 0; i < head.size(); ++i) {
    if (head[i] == '&') {
      if (i + 1 < head.size() && head[i + 1] == '&') label += '&';
      ++i;
      if (i < head.size() && head[i] != '&') label += head[i];
      continue;
    }
    label += head[i];
  }
}

char32_t MnemonicOf(const std::string& text) {
  for (size_t i = 0; i + 1 < text.size() && text[i] != '\t'; ++i) {
    if (text[i] != '&') continue;
    const auto c = static_cast<unsigned char>(text[i + 1]);
    if (c == '&') {
      ++i;
      continue;
    }
    if (c >= 0x80 || c == '\t') return 0;  // ASCII mnemonics only
    return static_cast<char32_t>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  }
  return 0;
}

bool IsSelectable(const TMenuItem& item) {
  return !(item.Type & MFT_SEPARATOR);
}

bool IsEnabled(const TMenuItem& item) {
  return IsSelectable(item) && !(item.State & (MF_GRAYED | MF_DISABLED));
}

}  // namespace win_internal

using namespace win_internal;

HMENU CreateMenu() {
  return NewMenu(false);
}

HMENU CreatePopupMenu() {
  return NewMenu(true);
}

BOOL DestroyMenu(HMENU menu) {
  TMenu* m = FindMenu(menu);
  if (!m || m->Shown) return FALSE;  // not while a loop shows it
  FreeMenu(menu, 0);
  return TRUE;
}

BOOL IsMenu(HMENU menu) {
  return FindMenu(menu) ? TRUE : FALSE;
}

BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR idNewItem, const std::string& text) {
  TMenu* m = FindMenu(menu);
  TMenuItem item;
  if (!m || !ItemFromFlags(flags, idNewItem, text, item)) return FALSE;
  return InsertAt(*m, 0xFFFFFFFF, true, std::move(item)) ? TRUE : FALSE;
}

BOOL InsertMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, const std::string& text) {
  TMenu* m = FindMenu(menu);
  TMenuItem item;
  if (!m || !ItemFromFlags(flags, idNewItem, text, item)) return FALSE;
  const bool byPosition = (flags & MF_BYPOSITION) != 0;
  if (!byPosition && position != 0xFFFFFFFF && !FindItem(menu, position, false)) return FALSE;
  return InsertAt(*m, position, byPosition, std::move(item)) ? TRUE : FALSE;
}

BOOL ModifyMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, const std::string& text) {
  TMenuItem* it = FindItem(menu, position, (flags & MF_BYPOSITION) != 0);
  TMenuItem item;
  if (!it || !ItemFromFlags(flags, idNewItem, text, item)) return FALSE;
  if (item.SubMenu == menu) return FALSE;
  // A submenu that is replaced is destroyed with the old item.
  if (it->SubMenu && it->SubMenu != item.SubMenu) FreeMenu(it->SubMenu, 0);
  item.Rect = it->Rect;
  *it = std::move(item);
  return TRUE;
}

BOOL InsertMenuItem(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO* info) {
  TMenu* m = FindMenu(menu);
  if (!m || !info) return FALSE;
  TMenu* owner = m;
  int at = static_cast<int>(m->Items.size());
  if (byPosition) {
    if (item < m->Items.size()) at = static_cast<int>(item);
  } else if (item != 0xFFFFFFFF && !FindItem(menu, item, false, &owner, &at)) {
    return FALSE;
  }
  if (owner->Items.size() >= kMaxItems) return FALSE;
  TMenuItem it;
  if (!ApplyInfo(owner->Handle, it, *info)) return FALSE;
  owner->Items.insert(owner->Items.begin() + at, std::move(it));
  return TRUE;
}

BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) {
  return Remove(menu, position, flags, false) ? TRUE : FALSE;
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) {
  return Remove(menu, position, flags, true) ? TRUE : FALSE;
}

int GetMenuItemCount(HMENU menu) {
  TMenu* m = FindMenu(menu);
  return m ? static_cast<int>(m->Items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position) {
  TMenu* m = FindMenu(menu);
  if (!m || position < 0 || static_cast<size_t>(position) >= m->Items.size()) return 0xFFFFFFFF;
  const TMenuItem& it = m->Items[static_cast<size_t>(position)];
  return it.SubMenu ? 0xFFFFFFFF : it.Id;
}

BOOL GetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFO* info) {
  TMenuItem* it = FindItem(menu, item, byPosition != 0);
  if (!it || !info) return FALSE;
  const UINT mask = info->fMask;
  if (mask & (MIIM_TYPE | MIIM_FTYPE)) info->fType = it->Type;
  if (mask & MIIM_STATE) info->fState = it->State;
  if (mask & MIIM_ID) info->wID = it->Id;
  if (mask & MIIM_SUBMENU) info->hSubMenu = it->SubMenu;
  if (mask & MIIM_DATA) info->dwItemData = it->Data;
  const bool hasText = !(it->Type & (MFT_SEPARATOR | MFT_OWNERDRAW | MFT_BITMAP));
  if ((mask & MIIM_STRING) || ((mask & MIIM_TYPE) && hasText)) {
    if (!info->dwTypeData || info->cch == 0) {
      info->cch = static_cast<UINT>(it->Text.size());
    } else {
      const int n = CopyTextToBuffer(it->Text, info->dwTypeData,
                                     static_cast<int>(std::min<UINT>(info->cch, 0x7FFFFFFF)));
      info->cch = static_cast<UINT>(n);
    }
  }
  return TRUE;
}

BOOL SetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO* info) {
  TMenu* owner = nullptr;
  TMenuItem* it = FindItem(menu, item, byPosition != 0, &owner);
  if (!it || !info) return FALSE;
  TMenuItem changed = *it;
  if (!ApplyInfo(owner->Handle, changed, *info)) return FALSE;
  *it = std::move(changed);
  return TRUE;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
  TMenuItem* it = FindItem(menu, item, (flags & MF_BYPOSITION) != 0);
  if (!it) return 0xFFFFFFFF;
  UINT f = StateFlags(*it);
  if (it->SubMenu)
    if (TMenu* sub = FindMenu(it->SubMenu))
      f = (f & 0xFF) | (static_cast<UINT>(std::min<size_t>(sub->Items.size(), 0xFF)) << 8);
  return f;
}

int GetMenuString(HMENU menu, UINT item, char* buffer, int bufferSize, UINT flags) {
  TMenuItem* it = FindItem(menu, item, (flags & MF_BYPOSITION) != 0);
  if (!it) return 0;
  if (!buffer || bufferSize <= 0) return static_cast<int>(it->Text.size());
  return CopyTextToBuffer(it->Text, buffer, bufferSize);
}

std::string GetMenuString(HMENU menu, UINT item, UINT flags) {
  TMenuItem* it = FindItem(menu, item, (flags & MF_BYPOSITION) != 0);
  return it ? it->Text : std::string();
}

HMENU GetSubMenu(HMENU menu, int position) {
  TMenu* m = FindMenu(menu);
  if (!m || position < 0 || static_cast<size_t>(position) >= m->Items.size()) return nullptr;
  HMENU sub = m->Items[static_cast<size_t>(position)].SubMenu;
  return FindMenu(sub) ? sub : nullptr;
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT check) {
  TMenuItem* it = FindItem(menu, item, (check & MF_BYPOSITION) != 0);
  if (!it) return 0xFFFFFFFF;
  const DWORD old = it->State & MF_CHECKED;
  it->State = (it->State & ~MF_CHECKED) | (check & MF_CHECKED);
  return old;
}

BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags) {
  TMenu* m = FindMenu(menu);
  if (!m) return FALSE;
  const bool byPosition = (flags & MF_BYPOSITION) != 0;
  int from = static_cast<int>(first), to = static_cast<int>(last), at = static_cast<int>(check);
  if (!byPosition) {
    TMenu* o1 = nullptr;
    TMenu* o2 = nullptr;
    TMenu* o3 = nullptr;
    if (!FindItem(menu, first, false, &o1, &from) || !FindItem(menu, last, false, &o2, &to) ||
        !FindItem(menu, check, false, &o3, &at) || o1 != o2 || o1 != o3)
      return FALSE;
    m = o1;
  }
  if (from < 0 || to < from || static_cast<size_t>(to) >= m->Items.size() || at < from || at > to)
    return FALSE;
  for (int i = from; i <= to; ++i) {
    TMenuItem& it = m->Items[static_cast<size_t>(i)];
    if (i == at) {
      it.State |= MF_CHECKED;
      it.Type |= MFT_RADIOCHECK;
    } else {
      it.State &= ~MF_CHECKED;
    }
  }
  return TRUE;
}

BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable) {
  TMenuItem* it = FindItem(menu, item, (enable & MF_BYPOSITION) != 0);
  if (!it) return -1;
  const BOOL old = static_cast<BOOL>(it->State & (MF_GRAYED | MF_DISABLED));
  it->State = (it->State & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
  return old;
}

BOOL HiliteMenuItem(HWND hwnd, HMENU menu, UINT item, UINT hilite) {
  if (!IsWindow(hwnd)) return FALSE;
  TMenuItem* it = FindItem(menu, item, (hilite & MF_BYPOSITION) != 0);
  if (!it) return FALSE;
  it->State = (it->State & ~MF_HILITE) | (hilite & MF_HILITE);
  if (GetMenu(hwnd) == menu) DrawMenuBar(hwnd);
  return TRUE;
}

BOOL SetMenuDefaultItem(HMENU menu, UINT item, UINT byPosition) {
  TMenu* m = FindMenu(menu);
  if (!m) return FALSE;
  TMenuItem* target = nullptr;
  if (item != 0xFFFFFFFF) {
    if (byPosition) {
      if (item >= m->Items.size()) return FALSE;
      target = &m->Items[item];
    } else {
      for (TMenuItem& it : m->Items)
        if (it.Id == item && IsSelectable(it)) target = &it;
      if (!target) return FALSE;
    }
  }
  for (TMenuItem& it : m->Items) it.State &= ~MF_DEFAULT;
  if (target) target->State |= MF_DEFAULT;
  return TRUE;
}

UINT GetMenuDefaultItem(HMENU menu, UINT byPosition, UINT flags) {
  TMenu* m = FindMenu(menu);
  if (!m) return 0xFFFFFFFF;
  for (size_t i = 0; i < m->Items.size(); ++i) {
    const TMenuItem& it = m->Items[i];
    if (!(it.State & MF_DEFAULT)) continue;
    if (!(flags & GMDI_USEDISABLED) && !IsEnabled(it)) return 0xFFFFFFFF;
    if ((flags & GMDI_GOINTOPOPUPS) && it.SubMenu) {
      const UINT inner = GetMenuDefaultItem(it.SubMenu, byPosition, flags);
      if (inner != 0xFFFFFFFF) return inner;
    }
    return byPosition ? static_cast<UINT>(i) : it.Id;
  }
  return 0xFFFFFFFF;
}

BOOL SetMenuItemBitmaps(HMENU menu, UINT position, UINT flags, HBITMAP, HBITMAP) {
  // Check-mark bitmaps are not drawn; the call only checks its item.
  return FindItem(menu, position, (flags & MF_BYPOSITION) != 0) ? TRUE : FALSE;
}

HMENU GetMenu(HWND hwnd) {
  TWnd* w = Find(hwnd);
  if (!w || w->IsRoot || (w->Style & WS_CHILD)) return nullptr;
  return reinterpret_cast<HMENU>(w->Id);
}

BOOL SetMenu(HWND hwnd, HMENU menu) {
  EnsureMenuHooks();
  TWnd* w = Find(hwnd);
  if (!w || w->IsRoot || (w->Style & WS_CHILD)) return FALSE;
  if (menu && !FindMenu(menu)) return FALSE;
  w->Id = reinterpret_cast<LONG_PTR>(menu);
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return TRUE;
}

BOOL DrawMenuBar(HWND hwnd) {
  TWnd* w = Find(hwnd);
  if (!w || w->IsRoot || (w->Style & WS_CHILD)) return FALSE;
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return TRUE;
}

HMENU GetSystemMenu(HWND hwnd, BOOL revert) {
  EnsureMenuHooks();
  TWnd* w = Find(hwnd);
  if (!w || w->IsRoot) return nullptr;
  auto& d = w->Ensure<TMenuWndData>(TExtSlot::Menu);
  if (revert) {
    if (d.SystemMenu && FindMenu(d.SystemMenu)) FreeMenu(d.SystemMenu, 0);
    d.SystemMenu = nullptr;
    return nullptr;
  }
  if (!FindMenu(d.SystemMenu)) d.SystemMenu = BuildSystemMenu();
  return d.SystemMenu;
}

namespace win_internal {

bool SystemCommandDisabled(const TWnd& w, UINT command) {
  const auto* d = w.Get<TMenuWndData>(TExtSlot::Menu);
  if (!d || !FindMenu(d->SystemMenu)) return false;
  const TMenuItem* it = FindItem(d->SystemMenu, command, false);
  return it && !IsEnabled(*it);
}

void InstallMenuDestructionObserver() {
  AddWindowObserver([](const TWindowNotice& n) {
    if (n.Event == TWindowEvent::Destroyed) OnWindowDestroyed(n.Hwnd);
  });
}

}  // namespace win_internal
