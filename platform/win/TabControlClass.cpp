// The "SysTabControl32" class: a row of tabs (horizontal or vertical, at either side, owner-drawn
// on request) around a display area. It keeps the items, the selected and the focus tab, and
// paints in the classic look: the page is a raised panel, the tabs stand on its edge and the
// selected tab is raised out of the row, wider than its neighbours and open onto the page; with
// TCS_BUTTONS the tabs are push buttons and the selected one is pushed in. It does not take the
// mouse.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/win/CommonControlsInternal.h"

namespace win_controls {
namespace {

constexpr int kTabMargin = 2;   // tab row to control edge
constexpr int kPageBorder = 4;  // frame and margin around the display area
constexpr int kEdge = 2;        // the raised edges of the page and of a tab
// The selected tab stands out this far beyond its item rectangle: along the row on both
// sides, outwards into the margin and inwards over the page's edge.
constexpr int kSelectedGrow = 2;

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
  bool HasFocus = false;
};

int TabBand(const TTabState& s) {
  return FontHeight(s.Font) + kTabPad;
}

// Where the tab row is.
enum class TSide { Top, Bottom, Left, Right };

TSide SideOf(DWORD style) {
  if (style & TCS_VERTICAL) return style & TCS_RIGHT ? TSide::Right : TSide::Left;
  return style & TCS_BOTTOM ? TSide::Bottom : TSide::Top;
}

// A tab along the row (TCM_GETITEMRECT): horizontal tabs run left to right at the top (or
// bottom); vertical tabs run top to bottom at the left (or right). A tab reaches from the
// margin to the page's edge, and the row starts where the page does, so that the selected tab
// grown by kSelectedGrow stays inside the control.
RECT TabRect(HWND h, const TTabState& s, int index) {
  const RECT client = ClientOf(h);
  const int depth = TabBand(s) + kSelectedGrow;  // margin to page edge
  int along = kTabMargin + kSelectedGrow;
  RECT r{};
  for (int i = 0; i <= index; ++i) {
    const int length = MeasureText(s.Font, s.Items[static_cast<size_t>(i)].Text).cx + 2 * kTabPad;
    if (i == index) {
      switch (SideOf(StyleOf(h))) {
        case TSide::Top:
          r = Bounds(along, kTabMargin, length, depth);
          break;
        case TSide::Bottom:
          r = Bounds(along, client.Bottom - kTabMargin - depth, length, depth);
          break;
        case TSide::Left:
          r = Bounds(kTabMargin, along, depth, length);
          break;
        case TSide::Right:
          r = Bounds(client.Right - kTabMargin - depth, along, depth, length);
          break;
      }
    }
    along += length;
  }
  return r;
}

// The selected tab: its item rectangle grown along the row and outwards over the margin, and
// inwards over the page's edge, which it hides.
RECT SelectedTabRect(HWND h, const TTabState& s, int index) {
  static_assert(kSelectedGrow == kEdge, "one growth covers the margin and the page's edge");
  RECT r = TabRect(h, s, index);
  InflateRect(r, kSelectedGrow, kSelectedGrow);
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

// The three sides of a tab that are not on the page.
UINT OpenTabEdges(TSide side) {
  switch (side) {
    case TSide::Top:
      return BF_LEFT | BF_TOP | BF_RIGHT;
    case TSide::Bottom:
      return BF_LEFT | BF_BOTTOM | BF_RIGHT;
    case TSide::Left:
      return BF_LEFT | BF_TOP | BF_BOTTOM;
    case TSide::Right:
      return BF_TOP | BF_RIGHT | BF_BOTTOM;
  }
  return BF_RECT;
}

// The two outer corners of a tab are cut by a pixel, in the background.
void CutOuterCorners(HDC dc, const RECT& r, TSide side, COLORREF background) {
  const bool top = side != TSide::Bottom, bottom = side != TSide::Top;
  const bool left = side != TSide::Right, right = side != TSide::Left;
  if (top && left) SetPixel(dc, r.Left, r.Top, background);
  if (top && right) SetPixel(dc, r.Right - 1, r.Top, background);
  if (bottom && left) SetPixel(dc, r.Left, r.Bottom - 1, background);
  if (bottom && right) SetPixel(dc, r.Right - 1, r.Bottom - 1, background);
}

// The label, or for TCS_OWNERDRAWFIXED the parent's drawing, inside a tab's edges.
void PaintTabFace(HWND h, HDC dc, const TTabState& s, int i, RECT inner, bool selected) {
  if (StyleOf(h) & TCS_OWNERDRAWFIXED) {
    DRAWITEMSTRUCT dis;
    dis.CtlType = ODT_TAB;
    dis.CtlID = static_cast<UINT>(GetDlgCtrlID(h));
    dis.itemID = static_cast<UINT>(i);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = selected ? ODS_SELECTED : 0;
    dis.hwndItem = h;
    dis.hDC = dc;
    dis.rcItem = inner;
    dis.itemData = static_cast<ULONG_PTR>(s.Items[static_cast<size_t>(i)].Param);
    SendMessage(GetParent(h), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
    return;
  }
  DrawText(dc, s.Items[static_cast<size_t>(i)].Text, &inner, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (selected && s.HasFocus) {
    InflateRect(inner, -1, -1);
    DrawFocusRect(dc, &inner);
  }
}

RECT Deflated(RECT r, int by) {
  InflateRect(r, -by, -by);
  return r;
}

// TCS_BUTTONS: no page frame; each tab a push button, the selected one pushed in.
void PaintButtons(HWND h, HDC dc, const TTabState& s) {
  for (int i = 0; i < static_cast<int>(s.Items.size()); ++i) {
    RECT r = TabRect(h, s, i);
    const bool selected = i == s.Sel;
    DrawEdge(dc, &r, selected ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    RECT inner = Deflated(r, kEdge);
    if (selected) OffsetRect(inner, 1, 1);
    PaintTabFace(h, dc, s, i, inner, selected);
  }
}

void PaintTabs(HWND h, HDC dc) {
  auto& s = State<TTabState>(h);
  RECT client = ClientOf(h);
  HBRUSH background = ControlColor(h, dc, WM_CTLCOLORDLG);
  FillRect(dc, &client, background);
  SelectObject(dc, ControlFont(s.Font));
  SetBkMode(dc, TRANSPARENT);
  if (StyleOf(h) & TCS_BUTTONS) {
    PaintButtons(h, dc, s);
    return;
  }
  LOGBRUSH face{};
  GetObject(background, sizeof face, &face);
  const TSide side = SideOf(StyleOf(h));
  RECT page = client;
  AdjustTabRect(h, s, false, page);
  InflateRect(page, kPageBorder / 2, kPageBorder / 2);
  DrawEdge(dc, &page, EDGE_RAISED, BF_RECT);
  // The others stand on the page's edge; the selected tab comes last, over its neighbours'
  // near sides and over the page's edge, so that tab and page are one surface.
  for (int i = 0; i < static_cast<int>(s.Items.size()); ++i) {
    if (i == s.Sel) continue;
    RECT r = TabRect(h, s, i);
    DrawEdge(dc, &r, EDGE_RAISED, OpenTabEdges(side));
    CutOuterCorners(dc, r, side, face.lbColor);
    PaintTabFace(h, dc, s, i, Deflated(r, kEdge), false);
  }
  if (s.Sel < 0 || s.Sel >= static_cast<int>(s.Items.size())) return;
  RECT r = SelectedTabRect(h, s, s.Sel);
  FillRect(dc, &r, background);
  DrawEdge(dc, &r, EDGE_RAISED, OpenTabEdges(side));
  CutOuterCorners(dc, r, side, face.lbColor);
  // The label sits where the unselected tab's would, raised by the tab's growth outwards.
  RECT inner = Deflated(TabRect(h, s, s.Sel), kEdge);
  switch (side) {
    case TSide::Top:
      OffsetRect(inner, 0, -kSelectedGrow / 2);
      break;
    case TSide::Bottom:
      OffsetRect(inner, 0, kSelectedGrow / 2);
      break;
    case TSide::Left:
      OffsetRect(inner, -kSelectedGrow / 2, 0);
      break;
    case TSide::Right:
      OffsetRect(inner, kSelectedGrow / 2, 0);
      break;
  }
  PaintTabFace(h, dc, s, s.Sel, inner, true);
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
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      s.HasFocus = msg == WM_SETFOCUS;
      InvalidateRect(h, nullptr, FALSE);
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
