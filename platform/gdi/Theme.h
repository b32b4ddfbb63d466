#pragma once
// Visual themes: a process-wide switch (off by default) and a small flat painter behind the
// customary theme entry points. Each DrawThemeBackground is logged on the DC's recorder as
// TDrawKind::ThemePart with Note "<CLASS>.<part>.<state>" (for example
// "HEADER.HP_HEADERITEM.HIS_HOT"; a part without states, such as SP_GRIPPER, has no state
// name) and Flags = part << 16 | state.
#include <string>

#include "platform/gdi/Gdi.h"

struct HTHEME__ {
  int unused;
};
using HTHEME = HTHEME__*;

// The switch. While it is off IsThemeActive answers false and OpenThemeData answers nullptr,
// so callers paint the classic way; handles opened before it went off keep working.
bool ThemesEnabled();
void SetThemesEnabled(bool enabled);
BOOL IsThemeActive();
BOOL IsAppThemed();

// `classList` is one or more class names separated by ';', matched case-insensitively; an
// application prefix ("Explorer::TreeView") is ignored. Answers nullptr when themes are off
// or no name is known. `window` is accepted for the customary signature and not used.
HTHEME OpenThemeData(void* window, const std::string& classList);
// S_OK, or a failure code (negative) for a stale or foreign handle.
HRESULT CloseThemeData(HTHEME theme);
// Paints the part in `rect`, limited to `clip` when given. Failure codes (negative) for a bad
// handle, DC or rectangle, or a part or state the class does not have; state 0 means the
// part's first state.
HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int partId, int stateId, const RECT* rect,
                            const RECT* clip);
BOOL IsThemePartDefined(HTHEME theme, int partId, int stateId);

enum THEMESIZE { TS_MIN = 0, TS_TRUE = 1, TS_DRAW = 2 };
// Fixed-size glyphs answer their size; parts that stretch answer their border widths, or
// the rectangle's size for TS_DRAW when one is given.
HRESULT GetThemePartSize(HTHEME theme, HDC dc, int partId, int stateId, const RECT* rect, THEMESIZE size,
                         SIZE* out);
// TMT_FILLCOLOR, TMT_BORDERCOLOR, TMT_TEXTCOLOR; a failure code for a colour the part lacks.
HRESULT GetThemeColor(HTHEME theme, int partId, int stateId, int propId, COLORREF* color);

constexpr int TMT_BORDERCOLOR = 3801, TMT_FILLCOLOR = 3802, TMT_TEXTCOLOR = 3803;

// "BUTTON"
constexpr int BP_PUSHBUTTON = 1, BP_RADIOBUTTON = 2, BP_CHECKBOX = 3;
constexpr int PBS_NORMAL = 1, PBS_HOT = 2, PBS_PRESSED = 3, PBS_DISABLED = 4, PBS_DEFAULTED = 5;
constexpr int RBS_UNCHECKEDNORMAL = 1, RBS_UNCHECKEDHOT = 2, RBS_UNCHECKEDPRESSED = 3,
              RBS_UNCHECKEDDISABLED = 4, RBS_CHECKEDNORMAL = 5, RBS_CHECKEDHOT = 6, RBS_CHECKEDPRESSED = 7,
              RBS_CHECKEDDISABLED = 8;
constexpr int CBS_UNCHECKEDNORMAL = 1, CBS_UNCHECKEDHOT = 2, CBS_UNCHECKEDPRESSED = 3,
              CBS_UNCHECKEDDISABLED = 4, CBS_CHECKEDNORMAL = 5, CBS_CHECKEDHOT = 6, CBS_CHECKEDPRESSED = 7,
              CBS_CHECKEDDISABLED = 8, CBS_MIXEDNORMAL = 9, CBS_MIXEDHOT = 10, CBS_MIXEDPRESSED = 11,
              CBS_MIXEDDISABLED = 12;
// "HEADER"
constexpr int HP_HEADERITEM = 1, HP_HEADERSORTARROW = 4;
constexpr int HIS_NORMAL = 1, HIS_HOT = 2, HIS_PRESSED = 3;
constexpr int HSAS_SORTEDUP = 1, HSAS_SORTEDDOWN = 2;
// "TREEVIEW"
constexpr int TVP_GLYPH = 2;
constexpr int GLPS_CLOSED = 1, GLPS_OPENED = 2;
// "STATUS"
constexpr int SP_GRIPPER = 3;
// "TOOLBAR"
constexpr int TP_BUTTON = 1;
constexpr int TS_NORMAL = 1, TS_HOT = 2, TS_PRESSED = 3, TS_DISABLED = 4, TS_CHECKED = 5, TS_HOTCHECKED = 6;
// "EDIT"
constexpr int EP_EDITTEXT = 1;
constexpr int ETS_NORMAL = 1, ETS_HOT = 2, ETS_SELECTED = 3, ETS_DISABLED = 4, ETS_FOCUSED = 5,
              ETS_READONLY = 6, ETS_ASSIST = 7;
// "LISTVIEW"
constexpr int LVP_LISTITEM = 1;
constexpr int LISS_NORMAL = 1, LISS_HOT = 2, LISS_SELECTED = 3, LISS_DISABLED = 4, LISS_SELECTEDNOTFOCUS = 5,
              LISS_HOTSELECTED = 6;
