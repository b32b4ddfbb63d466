// The "SysHeader32" class: items with text, width and format laid side by side. It keeps and
// reports them and paints plainly; it does not take the mouse.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/win/CommonControlsInternal.h"

namespace win_controls {
namespace {

struct THeaderItem {
  std::string Text;
  int Width = 0;
  int Format = HDF_LEFT | HDF_STRING;
  LPARAM Param = 0;
  int Image = 0;
};

struct THeaderState : win_internal::TWndData {
  HFONT Font = nullptr;
  std::vector<THeaderItem> Items;
  LPARAM Images = 0;
};

RECT HeaderItemRect(HWND h, const THeaderState& s, int index) {
  int left = 0;
  for (int i = 0; i < index; ++i) left += s.Items[static_cast<size_t>(i)].Width;
  return Rect(left, 0, left + s.Items[static_cast<size_t>(index)].Width, ClientOf(h).Bottom);
}

void PaintHeader(HWND h, HDC dc) {
  auto& s = State<THeaderState>(h);
  RECT client = ClientOf(h);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  SelectObject(dc, ControlFont(s.Font));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  for (int i = 0; i < static_cast<int>(s.Items.size()); ++i) {
    RECT r = HeaderItemRect(h, s, i);
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
    const int justify = s.Items[static_cast<size_t>(i)].Format & HDF_JUSTIFYMASK;
    RECT text = r;
    InflateRect(text, -kTabPad, 0);
    DrawText(dc, s.Items[static_cast<size_t>(i)].Text, &text,
             DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS |
                 (justify == HDF_RIGHT    ? DT_RIGHT
                  : justify == HDF_CENTER ? DT_CENTER
                                          : DT_LEFT));
  }
}

LRESULT HeaderProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!win_internal::Find(h)) return 0;
  auto& s = State<THeaderState>(h);
  LRESULT result = 0;
  if (FontMessage(s, h, msg, wParam, lParam, result)) return result;
  const int count = static_cast<int>(s.Items.size());
  const int index = static_cast<int>(wParam);
  switch (msg) {
    case HDM_GETITEMCOUNT:
      return count;
    case HDM_INSERTITEM: {
      const auto* item = reinterpret_cast<const HDITEM*>(lParam);
      if (!item || index < 0) return -1;
      const int at = std::min(index, count);
      THeaderItem it;
      if ((item->mask & HDI_TEXT) && item->pszText) it.Text = item->pszText;
      if (item->mask & HDI_WIDTH) it.Width = std::max(0, item->cxy);
      if (item->mask & HDI_FORMAT) it.Format = item->fmt;
      if (item->mask & HDI_LPARAM) it.Param = item->lParam;
      if (item->mask & HDI_IMAGE) it.Image = item->iImage;
      s.Items.insert(s.Items.begin() + at, std::move(it));
      InvalidateRect(h, nullptr, TRUE);
      return at;
    }
    case HDM_DELETEITEM:
      if (index < 0 || index >= count) return FALSE;
      s.Items.erase(s.Items.begin() + index);
      InvalidateRect(h, nullptr, TRUE);
      return TRUE;
    case HDM_SETITEM:
    case HDM_GETITEM: {
      auto* item = reinterpret_cast<HDITEM*>(lParam);
      if (!item || index < 0 || index >= count) return FALSE;
      THeaderItem& it = s.Items[static_cast<size_t>(index)];
      if (msg == HDM_SETITEM) {
        if ((item->mask & HDI_TEXT) && item->pszText) it.Text = item->pszText;
        if (item->mask & HDI_WIDTH) it.Width = std::max(0, item->cxy);
        if (item->mask & HDI_FORMAT) it.Format = item->fmt;
        if (item->mask & HDI_LPARAM) it.Param = item->lParam;
        if (item->mask & HDI_IMAGE) it.Image = item->iImage;
        InvalidateRect(h, nullptr, TRUE);
        return TRUE;
      }
      if (item->mask & HDI_TEXT) CopyText(it.Text, item->pszText, item->cchTextMax);
      if (item->mask & HDI_WIDTH) item->cxy = it.Width;
      if (item->mask & HDI_FORMAT) item->fmt = it.Format;
      if (item->mask & HDI_LPARAM) item->lParam = it.Param;
      if (item->mask & HDI_IMAGE) item->iImage = it.Image;
      if (item->mask & HDI_ORDER) item->iOrder = index;
      return TRUE;
    }
    case HDM_GETITEMRECT:
      if (index < 0 || index >= count || !lParam) return FALSE;
      *reinterpret_cast<RECT*>(lParam) = HeaderItemRect(h, s, index);
      return TRUE;
    case HDM_SETIMAGELIST: {
      const LPARAM previous = s.Images;
      s.Images = lParam;
      return previous;
    }
    case HDM_GETIMAGELIST:
      return s.Images;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT:
      PaintControl(h, wParam, [h](HDC dc) { PaintHeader(h, dc); });
      return 0;
    default:
      break;
  }
  return DefWindowProc(h, msg, wParam, lParam);
}

}  // namespace

void RegisterHeaderClass() {
  RegisterControlClass(WC_HEADER, HeaderProc, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW);
}

}  // namespace win_controls
