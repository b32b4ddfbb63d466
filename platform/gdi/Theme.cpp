// The flat theme painter: one fixed palette, one-pixel borders, glyphs from the frame-control
// painter. Handles are slots with a generation, so a closed handle is refused afterwards.
#include "platform/gdi/Theme.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdint>
#include <iterator>
#include <mutex>
#include <vector>

#include "platform/gdi/DCInternal.h"
#include "platform/gdi/FramePainter.h"

namespace {

constexpr HRESULT kInvalidArg = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT kInvalidHandle = static_cast<HRESULT>(0x80070006u);
constexpr HRESULT kPropertyNotFound = static_cast<HRESULT>(0x80070490u);

std::atomic<bool> g_enabled{false};

// --- classes, parts and states -------------------------------------------------------------

enum class TClass { Button, Header, TreeView, Status, Toolbar, Edit, ListView };

const char* const kClassNames[] = {"BUTTON", "HEADER", "TREEVIEW", "STATUS", "TOOLBAR", "EDIT", "LISTVIEW"};

struct TPart {
  TClass Class;
  int Id;
  const char* Name;
  std::vector<const char*> States;  // state n is States[n - 1]; empty: a part without states
};

const std::vector<TPart>& Parts() {
  static const std::vector<TPart> parts = {
      {TClass::Button,
       BP_PUSHBUTTON,
       "BP_PUSHBUTTON",
       {"PBS_NORMAL", "PBS_HOT", "PBS_PRESSED", "PBS_DISABLED", "PBS_DEFAULTED"}},
      {TClass::Button,
       BP_RADIOBUTTON,
       "BP_RADIOBUTTON",
       {"RBS_UNCHECKEDNORMAL", "RBS_UNCHECKEDHOT", "RBS_UNCHECKEDPRESSED", "RBS_UNCHECKEDDISABLED",
        "RBS_CHECKEDNORMAL", "RBS_CHECKEDHOT", "RBS_CHECKEDPRESSED", "RBS_CHECKEDDISABLED"}},
      {TClass::Button,
       BP_CHECKBOX,
       "BP_CHECKBOX",
       {"CBS_UNCHECKEDNORMAL", "CBS_UNCHECKEDHOT", "CBS_UNCHECKEDPRESSED", "CBS_UNCHECKEDDISABLED",
        "CBS_CHECKEDNORMAL", "CBS_CHECKEDHOT", "CBS_CHECKEDPRESSED", "CBS_CHECKEDDISABLED", "CBS_MIXEDNORMAL",
        "CBS_MIXEDHOT", "CBS_MIXEDPRESSED", "CBS_MIXEDDISABLED"}},
      {TClass::Header, HP_HEADERITEM, "HP_HEADERITEM", {"HIS_NORMAL", "HIS_HOT", "HIS_PRESSED"}},
      {TClass::Header, HP_HEADERSORTARROW, "HP_HEADERSORTARROW", {"HSAS_SORTEDUP", "HSAS_SORTEDDOWN"}},
      {TClass::TreeView, TVP_GLYPH, "TVP_GLYPH", {"GLPS_CLOSED", "GLPS_OPENED"}},
      {TClass::Status, SP_GRIPPER, "SP_GRIPPER", {}},
      {TClass::Toolbar,
       TP_BUTTON,
       "TP_BUTTON",
       {"TS_NORMAL", "TS_HOT", "TS_PRESSED", "TS_DISABLED", "TS_CHECKED", "TS_HOTCHECKED"}},
      {TClass::Edit,
       EP_EDITTEXT,
       "EP_EDITTEXT",
       {"ETS_NORMAL", "ETS_HOT", "ETS_SELECTED", "ETS_DISABLED", "ETS_FOCUSED", "ETS_READONLY",
        "ETS_ASSIST"}},
      {TClass::ListView,
       LVP_LISTITEM,
       "LVP_LISTITEM",
       {"LISS_NORMAL", "LISS_HOT", "LISS_SELECTED", "LISS_DISABLED", "LISS_SELECTEDNOTFOCUS",
        "LISS_HOTSELECTED"}},
  };
  return parts;
}

const TPart* FindPart(TClass cls, int partId) {
  for (const TPart& p : Parts())
    if (p.Class == cls && p.Id == partId) return &p;
  return nullptr;
}

// State 0 stands for the first state; a part without states takes 0 or 1.
int NormalState(const TPart& part, int state) {
  if (state == 0) return 1;
  const int count = part.States.empty() ? 1 : static_cast<int>(part.States.size());
  return state >= 1 && state <= count ? state : -1;
}

// --- handles ---------------------------------------------------------------------------------

struct TSlot {
  int Class = -1;  // -1: free
  uint32_t Generation = 0;
};

constexpr uintptr_t kSlotBits = 20;
constexpr uintptr_t kSlotMask = (uintptr_t{1} << kSlotBits) - 1;

std::mutex g_mutex;
std::vector<TSlot> g_slots;

bool ClassOf(HTHEME theme, TClass& cls) {
  const uintptr_t v = reinterpret_cast<uintptr_t>(theme);
  const uintptr_t slot = (v & kSlotMask) - 1;
  std::lock_guard<std::mutex> lock(g_mutex);
  if ((v & kSlotMask) == 0 || slot >= g_slots.size()) return false;
  const TSlot& s = g_slots[slot];
  if (s.Class < 0 || s.Generation != (v >> kSlotBits)) return false;
  cls = static_cast<TClass>(s.Class);
  return true;
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// --- the flat look ---------------------------------------------------------------------------

constexpr COLORREF kWhite = RGB(255, 255, 255), kText = RGB(0, 0, 0), kDisabledText = RGB(131, 131, 131);
constexpr COLORREF kFace = RGB(225, 225, 225), kBorder = RGB(173, 173, 173);
constexpr COLORREF kHotFace = RGB(229, 241, 251), kAccent = RGB(0, 120, 215);
constexpr COLORREF kPressedFace = RGB(204, 228, 247), kPressedBorder = RGB(0, 84, 153);
constexpr COLORREF kDisabledFace = RGB(204, 204, 204), kDisabledBorder = RGB(191, 191, 191);
constexpr COLORREF kGlyph = RGB(51, 51, 51), kDisabledGlyph = RGB(160, 160, 160);
constexpr COLORREF kHotItem = RGB(229, 243, 255), kSelectedItem = RGB(204, 232, 255);
constexpr COLORREF kSelectedBorder = RGB(153, 209, 255), kInactiveSelection = RGB(217, 217, 217);
constexpr COLORREF kSeparator = RGB(229, 229, 229);

// What a part in a state is made of; CLR_INVALID where it has nothing.
struct TLook {
  COLORREF Fill = CLR_INVALID;
  COLORREF Border = CLR_INVALID;
  COLORREF Text = CLR_INVALID;
  COLORREF Glyph = CLR_INVALID;
};

// Check boxes and radio buttons repeat normal, hot, pressed, disabled for each mark.
TLook MarkLook(int state) {
  switch ((state - 1) % 4) {
    case 1:
      return {kWhite, kAccent, kText, kAccent};
    case 2:
      return {kPressedFace, kPressedBorder, kText, kPressedBorder};
    case 3:
      return {kWhite, kDisabledBorder, kDisabledText, kDisabledGlyph};
    default:
      return {kWhite, kGlyph, kText, kGlyph};
  }
}

TLook LookOf(const TPart& part, int state) {
  switch (part.Class) {
    case TClass::Button:
      if (part.Id != BP_PUSHBUTTON) return MarkLook(state);
      switch (state) {
        case PBS_HOT:
          return {kHotFace, kAccent, kText};
        case PBS_PRESSED:
          return {kPressedFace, kPressedBorder, kText};
        case PBS_DISABLED:
          return {kDisabledFace, kDisabledBorder, kDisabledText};
        case PBS_DEFAULTED:
          return {kFace, kAccent, kText};
        default:
          return {kFace, kBorder, kText};
      }
    case TClass::Header:
      if (part.Id == HP_HEADERSORTARROW) return {CLR_INVALID, CLR_INVALID, CLR_INVALID, kGlyph};
      return {state == HIS_HOT ? kHotItem : state == HIS_PRESSED ? kSelectedItem : kWhite, kSeparator, kText};
    case TClass::TreeView:
      return {kWhite, kBorder, CLR_INVALID, kGlyph};
    case TClass::Status:
      return {CLR_INVALID, CLR_INVALID, CLR_INVALID, kBorder};
    case TClass::Toolbar:
      switch (state) {
        case TS_HOT:
          return {kHotFace, kAccent, kText};
        case TS_PRESSED:
        case TS_HOTCHECKED:
          return {kPressedFace, kPressedBorder, kText};
        case TS_CHECKED:
          return {kSelectedItem, kSelectedBorder, kText};
        case TS_DISABLED:
          return {CLR_INVALID, CLR_INVALID, kDisabledText};
        default:
          return {CLR_INVALID, CLR_INVALID, kText};
      }
    case TClass::Edit:
      switch (state) {
        case ETS_HOT:
          return {kWhite, kGlyph, kText};
        case ETS_FOCUSED:
          return {kWhite, kAccent, kText};
        case ETS_DISABLED:
          return {kDisabledFace, kDisabledBorder, kDisabledText};
        case ETS_READONLY:
          return {kFace, kBorder, kText};
        default:
          return {kWhite, kBorder, kText};
      }
    case TClass::ListView:
      switch (state) {
        case LISS_HOT:
          return {kHotItem, kHotItem, kText};
        case LISS_SELECTED:
          return {kSelectedItem, kSelectedBorder, kText};
        case LISS_HOTSELECTED:
          return {kSelectedItem, kAccent, kText};
        case LISS_SELECTEDNOTFOCUS:
          return {kInactiveSelection, kInactiveSelection, kText};
        case LISS_DISABLED:
          return {CLR_INVALID, CLR_INVALID, kDisabledText};
        default:
          return {CLR_INVALID, CLR_INVALID, kText};
      }
  }
  return {};
}

// The intrinsic size of glyph parts; {0, 0} for parts that stretch to their rectangle.
SIZE TrueSize(const TPart& part) {
  if (part.Class == TClass::Button && part.Id != BP_PUSHBUTTON) return {13, 13};
  if (part.Class == TClass::Header && part.Id == HP_HEADERSORTARROW) return {7, 4};
  if (part.Class == TClass::TreeView) return {9, 9};
  if (part.Class == TClass::Status) return {12, 12};
  return {0, 0};
}

using gdi_internal::TPixelPainter;

void Frame(const TPixelPainter& p, const RECT& r, COLORREF c) {
  p.HLine(r.Left, r.Right, r.Top, c);
  p.HLine(r.Left, r.Right, r.Bottom - 1, c);
  p.VLine(r.Left, r.Top, r.Bottom, c);
  p.VLine(r.Right - 1, r.Top, r.Bottom, c);
}

// A filled box with a border, the common shape of buttons, edits and selections.
void Box(const TPixelPainter& p, const RECT& r, const TLook& look) {
  if (look.Fill != CLR_INVALID) p.Fill(r, look.Fill);
  if (look.Border != CLR_INVALID) Frame(p, r, look.Border);
}

RECT Glyph(const RECT& r, SIZE size) {
  return gdi_internal::CenteredRect(r, std::min(size.cx, r.Width()), std::min(size.cy, r.Height()));
}

void PaintPart(const TPixelPainter& p, const TPart& part, int state, const RECT& r) {
  const TLook look = LookOf(part, state);
  switch (part.Class) {
    case TClass::Button:
      if (part.Id == BP_PUSHBUTTON) {
        Box(p, r, look);
      } else if (part.Id == BP_CHECKBOX) {
        const RECT b = Glyph(r, TrueSize(part));
        Box(p, b, look);
        const RECT mark{b.Left + 3, b.Top + 3, b.Right - 3, b.Bottom - 3};
        if (state >= CBS_MIXEDNORMAL)
          p.Fill(mark, look.Glyph);
        else if (state >= CBS_CHECKEDNORMAL)
          gdi_internal::PaintCheckMark(p, mark, look.Glyph);
      } else {
        const RECT b = Glyph(r, TrueSize(part));
        const int d = std::min(b.Width(), b.Height());
        gdi_internal::PaintDisc(p, b, d, look.Border);
        gdi_internal::PaintDisc(p, b, d - 2, look.Fill);
        if (state >= RBS_CHECKEDNORMAL) gdi_internal::PaintDisc(p, b, d - 8, look.Glyph);
      }
      break;
    case TClass::Header:
      if (part.Id == HP_HEADERSORTARROW) {
        gdi_internal::PaintArrow(p, r, state == HSAS_SORTEDDOWN ? 1 : 0, 4, look.Glyph);
      } else {
        p.Fill(r, look.Fill);
        p.VLine(r.Right - 1, r.Top, r.Bottom, look.Border);
        p.HLine(r.Left, r.Right, r.Bottom - 1, look.Border);
      }
      break;
    case TClass::TreeView: {
      const RECT b = Glyph(r, TrueSize(part));
      Box(p, b, look);
      const int cx = b.Left + b.Width() / 2, cy = b.Top + b.Height() / 2;
      p.HLine(b.Left + 2, b.Right - 2, cy, look.Glyph);
      if (state == GLPS_CLOSED) p.VLine(cx, b.Top + 2, b.Bottom - 2, look.Glyph);
      break;
    }
    case TClass::Status: {
      // Six 2 x 2 dots in a staircase towards the bottom-right corner.
      for (int row = 0; row < 3; ++row)
        for (int col = 2 - row; col < 3; ++col) {
          const int x = r.Right - 4 * (3 - col) + 1, y = r.Bottom - 4 * (3 - row) + 1;
          p.Fill(x, y, x + 2, y + 2, look.Glyph);
        }
      break;
    }
    default:
      Box(p, r, look);
      break;
  }
}

bool Resolve(HTHEME theme, int partId, int stateId, const TPart*& part, int& state, HRESULT& error) {
  TClass cls;
  if (!ClassOf(theme, cls)) {
    error = kInvalidHandle;
    return false;
  }
  part = FindPart(cls, partId);
  state = part ? NormalState(*part, stateId) : -1;
  if (state < 0) {
    error = kInvalidArg;
    return false;
  }
  return true;
}

}  // namespace

bool ThemesEnabled() {
  return g_enabled.load();
}
void SetThemesEnabled(bool enabled) {
  g_enabled.store(enabled);
}
BOOL IsThemeActive() {
  return ThemesEnabled();
}
BOOL IsAppThemed() {
  return ThemesEnabled();
}

HTHEME OpenThemeData(void* window, const std::string& classList) {
  if (!ThemesEnabled()) return nullptr;
  size_t start = 0;
  while (start <= classList.size()) {
    size_t end = classList.find(';', start);
    if (end == std::string::npos) end = classList.size();
    std::string name = classList.substr(start, end - start);
    const size_t scope = name.rfind("::");
    if (scope != std::string::npos) name.erase(0, scope + 2);
    const size_t first = name.find_first_not_of(" \t"), last = name.find_last_not_of(" \t");
    name = first == std::string::npos ? std::string() : Upper(name.substr(first, last - first + 1));
    for (int cls = 0; cls < static_cast<int>(std::size(kClassNames)); ++cls) {
      if (name != kClassNames[cls]) continue;
      std::lock_guard<std::mutex> lock(g_mutex);
      size_t slot = 0;
      while (slot < g_slots.size() && g_slots[slot].Class >= 0) ++slot;
      if (slot == g_slots.size()) {
        if (slot >= kSlotMask) return nullptr;
        g_slots.emplace_back();
      }
      TSlot& s = g_slots[slot];
      s.Class = cls;
      s.Generation = (s.Generation + 1) & 0xFFF;
      return reinterpret_cast<HTHEME>(uintptr_t{s.Generation} << kSlotBits | (slot + 1));
    }
    start = end + 1;
  }
  return nullptr;
}

HRESULT CloseThemeData(HTHEME theme) {
  TClass cls;
  if (!ClassOf(theme, cls)) return kInvalidHandle;
  std::lock_guard<std::mutex> lock(g_mutex);
  g_slots[(reinterpret_cast<uintptr_t>(theme) & kSlotMask) - 1].Class = -1;
  return S_OK;
}

HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int partId, int stateId, const RECT* rect,
                            const RECT* clip) {
  const TPart* part = nullptr;
  int state = 0;
  HRESULT error = S_OK;
  if (!Resolve(theme, partId, stateId, part, state, error)) return error;
  gdi_internal::TTextState dcState;
  if (!rect || !gdi_internal::GetTextState(dc, dcState)) return kInvalidArg;
  TDrawCall call{};
  call.Kind = TDrawKind::ThemePart;
  call.Rect = *rect;
  call.Flags = static_cast<UINT>(partId) << 16 | static_cast<UINT>(state);
  call.Note = std::string(kClassNames[static_cast<int>(part->Class)]) + "." + part->Name;
  if (!part->States.empty()) call.Note += std::string(".") + part->States[state - 1];
  gdi_internal::Record(dc, std::move(call));
  PaintPart(TPixelPainter(dc, clip), *part, state, *rect);
  return S_OK;
}

BOOL IsThemePartDefined(HTHEME theme, int partId, int stateId) {
  const TPart* part = nullptr;
  int state = 0;
  HRESULT error = S_OK;
  return Resolve(theme, partId, stateId, part, state, error);
}

HRESULT GetThemePartSize(HTHEME theme, HDC dc, int partId, int stateId, const RECT* rect, THEMESIZE size,
                         SIZE* out) {
  const TPart* part = nullptr;
  int state = 0;
  HRESULT error = S_OK;
  if (!Resolve(theme, partId, stateId, part, state, error)) return error;
  if (!out) return kInvalidArg;
  SIZE s = TrueSize(*part);
  if (s.cx == 0) {
    const TLook look = LookOf(*part, state);
    const int border = look.Border != CLR_INVALID ? 2 : 0;
    s = size == TS_DRAW && rect ? SIZE{rect->Width(), rect->Height()} : SIZE{border, border};
  }
  *out = s;
  return S_OK;
}

HRESULT GetThemeColor(HTHEME theme, int partId, int stateId, int propId, COLORREF* color) {
  const TPart* part = nullptr;
  int state = 0;
  HRESULT error = S_OK;
  if (!Resolve(theme, partId, stateId, part, state, error)) return error;
  if (!color) return kInvalidArg;
  const TLook look = LookOf(*part, state);
  COLORREF c = CLR_INVALID;
  switch (propId) {
    case TMT_FILLCOLOR:
      c = look.Fill;
      break;
    case TMT_BORDERCOLOR:
      c = look.Border;
      break;
    case TMT_TEXTCOLOR:
      c = look.Text;
      break;
    default:
      break;
  }
  if (c == CLR_INVALID) return kPropertyNotFound;
  *color = c;
  return S_OK;
}
