// The "msctls_statusbar32" class: parts with text along the bottom of the parent's client area,
// at the height of its font, and an optional size grip that hit-tests as the sizing corner.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win/CommonControlsInternal.h"

namespace win_controls {
namespace {

constexpr int kMaxParts = 256;
constexpr int kStatusBorderY = 2;
constexpr int kStatusGap = 2;

struct TStatusPart {
  int Right = -1;  // -1: to the right edge
  std::string Text;
  WORD Type = 0;
};

struct TStatusState : win_internal::TWndData {
  HFONT Font = nullptr;
  std::vector<TStatusPart> Parts{TStatusPart{}};
  bool Placing = false;
};

int GripWidth(HWND h) {
  return StyleOf(h) & SBARS_SIZEGRIP ? GetSystemMetrics(SM_CXVSCROLL) : 0;
}

RECT StatusPartRect(HWND h, const TStatusState& s, int index) {
  const RECT client = ClientOf(h);
  const int limit = client.Right - GripWidth(h);
  int left = 0;
  for (int i = 0; i < index; ++i) {
    const int right = s.Parts[static_cast<size_t>(i)].Right;
    left = (right < 0 ? limit : std::min(right, limit)) + kStatusGap;
  }
  const int right = s.Parts[static_cast<size_t>(index)].Right;
  const int r = right < 0 ? limit : std::min(right, limit);
  return Rect(std::min(left, r), kStatusBorderY, r, client.Bottom);
}

// Keeps the bar along the bottom of its parent's client area at the height of its font.
void PlaceStatusBar(HWND h, TStatusState& s) {
  HWND parent = GetParent(h);
  if (!parent || s.Placing) return;
  s.Placing = true;
  RECT area = ClientOf(parent);
  const int height = FontHeight(s.Font) + 2 * kStatusBorderY + 4;
  SetWindowPos(h, nullptr, 0, area.Bottom - height, area.Width(), height, SWP_NOZORDER | SWP_NOACTIVATE);
  if (auto* alive = StateIf<TStatusState>(h)) alive->Placing = false;
}

void PaintStatus(HWND h, HDC dc) {
  auto& s = State<TStatusState>(h);
  RECT client = ClientOf(h);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  SelectObject(dc, ControlFont(s.Font));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  for (int i = 0; i < static_cast<int>(s.Parts.size()); ++i) {
    RECT r = StatusPartRect(h, s, i);
    const TStatusPart& part = s.Parts[static_cast<size_t>(i)];
    if (!(part.Type & SBT_NOBORDERS))
      DrawEdge(dc, &r, part.Type & SBT_POPOUT ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
    RECT text = r;
    InflateRect(text, -2, 0);
    DrawText(dc, part.Text, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  if (const int grip = GripWidth(h)) {
    RECT r = Rect(client.Right - grip, client.Bottom - grip, client.Right, client.Bottom);
    DrawFrameControl(dc, &r, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  }
}

LRESULT StatusProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!win_internal::Find(h)) return 0;
  auto& s = State<TStatusState>(h);
  LRESULT result = 0;
  if (FontMessage(s, h, msg, wParam, lParam, result)) return result;
  switch (msg) {
    case WM_CREATE:
      PlaceStatusBar(h, s);
      return 0;
    case WM_SIZE:
      PlaceStatusBar(h, s);
      return 0;
    case SB_SETPARTS: {
      const int count = static_cast<int>(wParam);
      const auto* edges = reinterpret_cast<const int*>(lParam);
      if (count <= 0 || count > kMaxParts || !edges) return FALSE;
      s.Parts.resize(static_cast<size_t>(count));
      for (int i = 0; i < count; ++i) s.Parts[static_cast<size_t>(i)].Right = edges[i];
      InvalidateRect(h, nullptr, TRUE);
      return TRUE;
    }
    case SB_GETPARTS: {
      const int n = static_cast<int>(s.Parts.size());
      if (auto* edges = reinterpret_cast<int*>(lParam))
        for (int i = 0; i < std::min(n, static_cast<int>(wParam)); ++i)
          edges[i] = s.Parts[static_cast<size_t>(i)].Right;
      return n;
    }
    case SB_GETRECT: {
      const int index = static_cast<int>(wParam);
      if (index < 0 || index >= static_cast<int>(s.Parts.size()) || !lParam) return FALSE;
      *reinterpret_cast<RECT*>(lParam) = StatusPartRect(h, s, index);
      return TRUE;
    }
    case SB_SETTEXT: {
      const int index = LOBYTE(LOWORD(wParam));
      if (index >= static_cast<int>(s.Parts.size())) return FALSE;
      TStatusPart& part = s.Parts[static_cast<size_t>(index)];
      part.Type = static_cast<WORD>(wParam & 0xFF00);
      part.Text = lParam && !(part.Type & SBT_OWNERDRAW) ? reinterpret_cast<const char*>(lParam) : "";
      InvalidateRect(h, nullptr, TRUE);
      return TRUE;
    }
    case SB_GETTEXTLENGTH:
    case SB_GETTEXT: {
      const int index = static_cast<int>(wParam);
      if (index < 0 || index >= static_cast<int>(s.Parts.size())) return 0;
      const TStatusPart& part = s.Parts[static_cast<size_t>(index)];
      if (msg == SB_GETTEXT) CopyWhole(part.Text, lParam);
      return MAKELONG(static_cast<WORD>(part.Text.size()), part.Type);
    }
    case WM_NCHITTEST:
      if (const int grip = GripWidth(h)) {
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ScreenToClient(h, &p);
        const RECT client = ClientOf(h);
        if (p.X >= client.Right - grip && p.Y >= client.Bottom - grip) return HTBOTTOMRIGHT;
      }
      break;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT:
      PaintControl(h, wParam, [h](HDC dc) { PaintStatus(h, dc); });
      return 0;
    default:
      break;
  }
  return DefWindowProc(h, msg, wParam, lParam);
}

}  // namespace

void RegisterStatusBarClass() {
  RegisterControlClass(STATUSCLASSNAME, StatusProc, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW);
}

}  // namespace win_controls
