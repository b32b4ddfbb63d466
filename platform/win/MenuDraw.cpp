// Layout and plain drawing of menu items, in popups and in the menu bar. Owner-drawn items are
// measured and drawn by the owner window (WM_MEASUREITEM / WM_DRAWITEM with ODT_MENU).
#include <algorithm>

#include "platform/win/MenuInternal.h"

namespace win_internal {
namespace {

constexpr int kSeparatorHeight = 8;
constexpr int kAccelGap = 16;   // between the label column and the accelerator column
constexpr int kBarPadding = 8;  // each side of a menu-bar item's text

int CheckColumn() {
  return GetSystemMetrics(SM_CXMENUCHECK) + 4;
}

// A memory DC with the menu font for measuring; restores and deletes on destruction.
class TMeasureDC {
 public:
  TMeasureDC() : dc_(CreateCompatibleDC(nullptr)), font_(CreateMenuFont()) {
    if (dc_ && font_) old_ = SelectObject(dc_, font_);
  }
  ~TMeasureDC() {
    if (dc_ && old_) SelectObject(dc_, old_);
    if (font_) DeleteObject(font_);
    if (dc_) DeleteDC(dc_);
  }
  TMeasureDC(const TMeasureDC&) = delete;
  TMeasureDC& operator=(const TMeasureDC&) = delete;
  SIZE Extent(const std::string& s) const {
    SIZE size{};
    if (dc_) GetTextExtentPoint32(dc_, s, &size);
    return size;
  }
  int LineHeight() const {
    TEXTMETRIC tm{};
    if (dc_) GetTextMetrics(dc_, &tm);
    return tm.tmHeight;
  }

 private:
  HDC dc_;
  HFONT font_;
  HGDIOBJ old_ = nullptr;
};

SIZE MeasureOwnerDrawn(const TMenuItem& it, HWND owner) {
  MEASUREITEMSTRUCT mis;
  mis.CtlType = ODT_MENU;
  mis.itemID = it.Id;
  mis.itemData = it.Data;
  if (IsWindow(owner)) SendMessage(owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
  // Sizes beyond any screen are clipped rather than trusted.
  return SIZE{static_cast<int>(std::min<UINT>(mis.itemWidth, 0x7FFF)),
              static_cast<int>(std::min<UINT>(mis.itemHeight, 0x7FFF))};
}

UINT OwnerDrawState(const TMenuItem& it) {
  UINT s = 0;
  if (it.State & MF_HILITE) s |= ODS_SELECTED;
  if (it.State & MF_GRAYED) s |= ODS_GRAYED;
  if (it.State & MF_DISABLED) s |= ODS_DISABLED;
  if (it.State & MF_CHECKED) s |= ODS_CHECKED;
  if (it.State & MF_DEFAULT) s |= ODS_DEFAULT;
  return s;
}

}  // namespace

HFONT CreateMenuFont() {
  NONCLIENTMETRICS ncm;
  SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
  return CreateFontIndirect(ncm.lfMenuFont);
}

SIZE LayoutPopup(TMenu& menu, HWND owner) {
  TMeasureDC dc;
  const int textHeight = std::max(dc.LineHeight() + 4, GetSystemMetrics(SM_CYMENUCHECK) + 4);
  int labelWidth = 0, accelWidth = 0, ownerWidth = 0;
  std::vector<int> heights(menu.Items.size());
  for (size_t i = 0; i < menu.Items.size(); ++i) {
    const TMenuItem& it = menu.Items[i];
    if (it.Type & MFT_SEPARATOR) {
      heights[i] = kSeparatorHeight;
    } else if (it.Type & MFT_OWNERDRAW) {
      const SIZE s = MeasureOwnerDrawn(it, owner);
      heights[i] = s.cy;
      ownerWidth = std::max(ownerWidth, s.cx);
    } else {
      std::string label, accel;
      SplitItemText(it.Text, label, accel);
      labelWidth = std::max(labelWidth, static_cast<int>(dc.Extent(label).cx));
      if (!accel.empty()) accelWidth = std::max(accelWidth, static_cast<int>(dc.Extent(accel).cx));
      heights[i] = textHeight;
    }
  }
  int width = 2 * CheckColumn() + labelWidth + (accelWidth ? kAccelGap + accelWidth : 0);
  width = std::max(width, ownerWidth);
  int y = 0;
  for (size_t i = 0; i < menu.Items.size(); ++i) {
    menu.Items[i].Rect = RECT{0, y, width, y + heights[i]};
    y += heights[i];
    y = std::min(y, 0x7FFF);
  }
  return SIZE{width, y};
}

int LayoutMenuBar(TMenu& menu, HWND owner, int width) {
  TMeasureDC dc;
  const int height = GetSystemMetrics(SM_CYMENU);
  int x = 0;
  size_t rightFrom = menu.Items.size();
  for (size_t i = 0; i < menu.Items.size(); ++i) {
    TMenuItem& it = menu.Items[i];
    if ((it.Type & MFT_RIGHTJUSTIFY) && rightFrom == menu.Items.size()) rightFrom = i;
    int w;
    if (it.Type & MFT_OWNERDRAW) {
      w = MeasureOwnerDrawn(it, owner).cx;
    } else if (it.Type & MFT_SEPARATOR) {
      w = kBarPadding;
    } else {
      std::string label, accel;
      SplitItemText(it.Text, label, accel);
      w = dc.Extent(label).cx + 2 * kBarPadding;
    }
    it.Rect = RECT{x, 0, x + w, height};
    x = std::min(x + w, 0x7FFF);
  }
  // Items from the first right-justified one on move to the right end of the band.
  if (rightFrom < menu.Items.size()) {
    const int shift = width - x;
    if (shift > 0)
      for (size_t i = rightFrom; i < menu.Items.size(); ++i) OffsetRect(menu.Items[i].Rect, shift, 0);
  }
  return height;
}

void DrawMenuItem(HDC dc, TMenu& menu, int position, HWND owner, bool bar, UINT odAction, POINT origin) {
  if (position < 0 || static_cast<size_t>(position) >= menu.Items.size()) return;
  const TMenuItem& it = menu.Items[static_cast<size_t>(position)];
  RECT r = it.Rect;
  OffsetRect(r, origin.X, origin.Y);
  if (it.Type & MFT_OWNERDRAW) {
    DRAWITEMSTRUCT dis;
    dis.CtlType = ODT_MENU;
    dis.itemID = it.Id;
    dis.itemAction = odAction;
    dis.itemState = OwnerDrawState(it);
    dis.hwndItem = reinterpret_cast<HWND>(menu.Handle);
    dis.hDC = dc;
    dis.rcItem = r;
    dis.itemData = it.Data;
    if (IsWindow(owner)) SendMessage(owner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    return;
  }
  const bool hilite = (it.State & MF_HILITE) != 0;
  FillRect(dc, &r, GetSysColorBrush(hilite ? COLOR_HIGHLIGHT : COLOR_MENU));
  if (it.Type & MFT_SEPARATOR) {
    if (!bar) {
      RECT line{r.Left + 1, r.Top + r.Height() / 2 - 1, r.Right - 1, r.Top + r.Height() / 2 + 1};
      DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    }
    return;
  }
  const bool grayed = (it.State & MF_GRAYED) != 0;
  const COLORREF oldText = SetTextColor(dc, GetSysColor(grayed   ? COLOR_GRAYTEXT
                                                        : hilite ? COLOR_HIGHLIGHTTEXT
                                                                 : COLOR_MENUTEXT));
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const size_t tab = it.Text.find('\t');
  const std::string label = it.Text.substr(0, tab);
  if (bar) {
    RECT t = r;
    DrawText(dc, label, &t, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  } else {
    const int check = CheckColumn();
    if (it.State & MF_CHECKED) {
      RECT box{r.Left + 2, r.Top + (r.Height() - GetSystemMetrics(SM_CYMENUCHECK)) / 2,
               r.Left + 2 + GetSystemMetrics(SM_CXMENUCHECK), 0};
      box.Bottom = box.Top + GetSystemMetrics(SM_CYMENUCHECK);
      DrawFrameControl(dc, &box, DFC_MENU, (it.Type & MFT_RADIOCHECK) ? DFCS_MENUBULLET : DFCS_MENUCHECK);
    }
    RECT t{r.Left + check, r.Top, r.Right - check, r.Bottom};
    DrawText(dc, label, &t, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    if (tab != std::string::npos)
      DrawText(dc, it.Text.substr(tab + 1), &t, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (it.SubMenu) {
      RECT arrow{r.Right - check + 2, r.Top + (r.Height() - GetSystemMetrics(SM_CYMENUCHECK)) / 2,
                 r.Right - 2, 0};
      arrow.Bottom = arrow.Top + GetSystemMetrics(SM_CYMENUCHECK);
      DrawFrameControl(dc, &arrow, DFC_MENU, DFCS_MENUARROW);
    }
  }
  SetBkMode(dc, oldMode);
  SetTextColor(dc, oldText);
}

void DrawPopupItems(HDC dc, TMenu& menu, HWND owner) {
  HFONT font = CreateMenuFont();
  HGDIOBJ old = SelectObject(dc, font);
  for (size_t i = 0; i < menu.Items.size(); ++i)
    DrawMenuItem(dc, menu, static_cast<int>(i), owner, false, ODA_DRAWENTIRE, POINT{0, 0});
  SelectObject(dc, old);
  DeleteObject(font);
}

void PaintMenuBar(HWND hwnd, HDC dc, const RECT& band) {
  TMenu* menu = FindMenu(GetMenu(hwnd));
  if (!menu || !dc) return;
  FillRect(dc, &band, GetSysColorBrush(COLOR_MENU));
  LayoutMenuBar(*menu, hwnd, band.Width());
  HFONT font = CreateMenuFont();
  HGDIOBJ old = SelectObject(dc, font);
  for (size_t i = 0; i < menu->Items.size(); ++i)
    DrawMenuItem(dc, *menu, static_cast<int>(i), hwnd, true, ODA_DRAWENTIRE, POINT{band.Left, band.Top});
  SelectObject(dc, old);
  DeleteObject(font);
}

}  // namespace win_internal
