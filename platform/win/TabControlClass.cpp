// The "SysTabControl32" class: a row of tabs (horizontal or vertical, at either side, owner-drawn
// on request) around a display area. It keeps the items, the selected and the focus tab, and
// paints plainly; it does not take the mouse.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/win/CommonControlsInternal.h"

namespace win_controls {
namespace {

constexpr int kTabMargin = 2;   // tab row to control edge
constexpr int kPageBorder = 4;  // frame and margin around the display area

struct TTab {
  std::string Text;
  int Image = -1;
  LPARAM Param = 0;
  DWORD State = 0;
};

struct TTabState : win_internal::TWndData {
  HFONT Font = nullptr;
  std::vector<TTab> Items;
  int Sel = -1;
  int Focus = -1;
};

int TabBand(const TTabState& s) {
  return FontHeight(s.Font) + kTabPad;
}

// A tab along the row: horizontal tabs run left to right at the top (or bottom); vertical
// tabs run top to bottom at the left (or right).
RECT TabRect(HWND h, const TTabState& s, int index) {
  const DWORD style = StyleOf(h);
  const RECT client = ClientOf(h);
  const int band = TabBand(s);
  int along = kTabMargin;
  RECT r{};
  for (int i = 0; i <= index; ++i) {
    const int length = MeasureText(s.Font, s.Items[static_cast<size_t>(i)].Text).cx + 2 * kTabPad;
    if (i == index) {
      if (style & TCS_VERTICAL) {
        const int left = style & TCS_RIGHT ? client.Right - kTabMargin - band : kTabMargin;
        r = Bounds(left, along, band, length);
      } else {
        const int top = style & TCS_BOTTOM ? client.Bottom - kTabMargin - band : kTabMargin;
        r = Bounds(along, top, length, band);
      }
    }
    along += length;
  }
  return r;
}

// The display area from the window area (or back with `larger`).
void AdjustTabRect(HWND h, const TTabState& s, bool larger, RECT& r) {
  const DWORD style = StyleOf(h);
  const int band = TabBand(s) + kTabMargin;
  RECT grow{kPageBorder, kPageBorder, kPageBorder, kPageBorder};  // left, top, right, bottom
  if (style & TCS_VERTICAL)
    (style & TCS_RIGHT ? grow.Right : grow.Left) += band;
  else
    (style & TCS_BOTTOM ? grow.Bottom : grow.Top) += band;
  const int sign = larger ? -1 : 1;
  r.Left += sign * grow.Left;
  r.Top += sign * grow.Top;
  r.Right -= sign * grow.Right;
  r.Bottom -= sign * grow.Bottom;
}

void PaintTabs(HWND h, HDC dc) {
  auto& s = State<TTabState>(h);
  RECT client = ClientOf(h);
  FillRect(dc, &client, ControlColor(h, dc, WM_CTLCOLORDLG));
  RECT page = client;
  AdjustTabRect(h, s, false, page);
  InflateRect(page, kPageBorder / 2, kPageBorder / 2);
  DrawEdge(dc, &page, EDGE_RAISED, BF_RECT);
  SelectObject(dc, ControlFont(s.Font));
  SetBkMode(dc, TRANSPARENT);
  const bool ownerDraw = StyleOf(h) & TCS_OWNERDRAWFIXED;
  for (int i = 0; i < static_cast<int>(s.Items.size()); ++i) {
    RECT r = TabRect(h, s, i);
    if (ownerDraw) {
      DRAWITEMSTRUCT dis;
      dis.CtlType = ODT_TAB;
      dis.CtlID = static_cast<UINT>(GetDlgCtrlID(h));
      dis.itemID = static_cast<UINT>(i);
      dis.itemAction = ODA_DRAWENTIRE;
      dis.itemState = i == s.Sel ? ODS_SELECTED : 0;
      dis.hwndItem = h;
      dis.hDC = dc;
      dis.rcItem = r;
      dis.itemData = static_cast<ULONG_PTR>(s.Items[static_cast<size_t>(i)].Param);
      SendMessage(GetParent(h), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
      continue;
    }
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
    DrawText(dc, s.Items[static_cast<size_t>(i)].Text, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
}

LRESULT TabProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!win_internal::Find(h)) return 0;
  auto& s = State<TTabState>(h);
  LRESULT result = 0;
  if (FontMessage(s, h, msg, wParam, lParam, result)) return result;
  const int count = static_cast<int>(s.Items.size());
  const int index = static_cast<int>(wParam);
  switch (msg) {
    case TCM_GETITEMCOUNT:
      return count;
    case TCM_INSERTITEM: {
      const auto* item = reinterpret_cast<const TCITEM*>(lParam);
      if (!item || index < 0) return -1;
      const int at = std::min(index, count);
      TTab tab;
      if ((item->mask & TCIF_TEXT) && item->pszText) tab.Text = item->pszText;
      if (item->mask & TCIF_IMAGE) tab.Image = item->iImage;
      if (item->mask & TCIF_PARAM) tab.Param = item->lParam;
      if (item->mask & TCIF_STATE) tab.State = item->dwState & item->dwStateMask;
      s.Items.insert(s.Items.begin() + at, std::move(tab));
      if (s.Sel < 0)
        s.Sel = s.Focus = 0;
      else if (at <= s.Sel)
        s.Focus = ++s.Sel;
      InvalidateRect(h, nullptr, TRUE);
      return at;
    }
    case TCM_SETITEM:
    case TCM_GETITEM: {
      auto* item = reinterpret_cast<TCITEM*>(lParam);
      if (!item || index < 0 || index >= count) return FALSE;
      TTab& tab = s.Items[static_cast<size_t>(index)];
      if (msg == TCM_SETITEM) {
        if ((item->mask & TCIF_TEXT) && item->pszText) tab.Text = item->pszText;
        if (item->mask & TCIF_IMAGE) tab.Image = item->iImage;
        if (item->mask & TCIF_PARAM) tab.Param = item->lParam;
        if (item->mask & TCIF_STATE)
          tab.State = (tab.State & ~item->dwStateMask) | (item->dwState & item->dwStateMask);
        InvalidateRect(h, nullptr, TRUE);
        return TRUE;
      }
      if (item->mask & TCIF_TEXT) CopyText(tab.Text, item->pszText, item->cchTextMax);
      if (item->mask & TCIF_IMAGE) item->iImage = tab.Image;
      if (item->mask & TCIF_PARAM) item->lParam = tab.Param;
      if (item->mask & TCIF_STATE) item->dwState = tab.State & item->dwStateMask;
      return TRUE;
    }
    case TCM_DELETEITEM:
      if (index < 0 || index >= count) return FALSE;
      s.Items.erase(s.Items.begin() + index);
      if (index == s.Sel)
        s.Sel = -1;
      else if (index < s.Sel)
        --s.Sel;
      s.Focus = s.Sel;
      InvalidateRect(h, nullptr, TRUE);
      return TRUE;
    case TCM_DELETEALLITEMS:
      s.Items.clear();
      s.Sel = s.Focus = -1;
      InvalidateRect(h, nullptr, TRUE);
      return TRUE;
    case TCM_GETITEMRECT:
      if (index < 0 || index >= count || !lParam) return FALSE;
      *reinterpret_cast<RECT*>(lParam) = TabRect(h, s, index);
      return TRUE;
    case TCM_GETCURSEL:
      return s.Sel;
    case TCM_SETCURSEL: {
      if (index < 0 || index >= count) return -1;
      const int old = s.Sel;
      s.Sel = s.Focus = index;
      InvalidateRect(h, nullptr, TRUE);
      return old;
    }
    case TCM_GETCURFOCUS:
      return s.Focus;
    case TCM_SETCURFOCUS:
      if (index >= 0 && index < count) s.Focus = index;
      return 0;
    case TCM_ADJUSTRECT:
      if (lParam) AdjustTabRect(h, s, wParam != 0, *reinterpret_cast<RECT*>(lParam));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT:
      PaintControl(h, wParam, [h](HDC dc) { PaintTabs(h, dc); });
      return 0;
    default:
      break;
  }
  return DefWindowProc(h, msg, wParam, lParam);
}

}  // namespace

void RegisterTabControlClass() {
  RegisterControlClass(WC_TABCONTROL, TabProc, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW);
}

}  // namespace win_controls
