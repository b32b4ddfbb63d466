// The "Edit" class: typing with its notifications, selection by message, keyboard and mouse,
// character positions over UTF-8 text, the limit, undo, the clipboard, style filters, and the
// lines of multi-line text with and without word wrap.
#include <cstring>

#include "platform/rtl/Clock.h"
#include "platform/win/Clipboard.h"
#include "tests/platform/win/ControlTestUtil.h"

namespace wintest {
namespace {

class TEditTest : public TControlTest {
 protected:
  HWND Edit(DWORD style = ES_AUTOHSCROLL, const std::string& text = "", RECT r = RECT{10, 10, 210, 30}) {
    HWND e = Control(WC_EDIT, text, style, r);
    SetFocus(e);
    Pump();
    Notes();
    return e;
  }
  static std::pair<int, int> Sel(HWND e) {
    DWORD a = 0, b = 0;
    SendMessage(e, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    return {static_cast<int>(a), static_cast<int>(b)};
  }
  static void SetSel(HWND e, int a, int b) { SendMessage(e, EM_SETSEL, static_cast<WPARAM>(a), b); }
};

TEST_F(TEditTest, TypingInsertsAndNotifiesUpdateThenChange) {
  HWND e = Edit();
  WinTesting::Type("ab");
  Pump();
  EXPECT_EQ(GetWindowText(e), "ab");
  EXPECT_EQ(Sel(e), std::make_pair(2, 2));
  EXPECT_TRUE(SequenceIs(Notes(), {"cmd 5 1024", "cmd 5 768", "cmd 5 1024", "cmd 5 768"}));
  EXPECT_EQ(SendMessage(e, EM_GETMODIFY, 0, 0), TRUE);
}

TEST_F(TEditTest, SetSelFollowsTheMessageRules) {
  HWND e = Edit(ES_AUTOHSCROLL, "hello world");
  struct TCase {
    int Start, End;
    std::pair<int, int> Expected;
  };
  const TCase cases[] = {
      {0, -1, {0, 11}},                   // all
      {7, 2, {2, 7}},                     // reversed answers min, max
      {3, 99, {3, 11}},                   // clamped
      {4, 4, {4, 4}},   {-1, 0, {4, 4}},  // deselects, the caret stays
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.Start) + "," + std::to_string(c.End));
    SetSel(e, c.Start, c.End);
    EXPECT_EQ(Sel(e), c.Expected);
  }
}

TEST_F(TEditTest, PositionsCountCharactersNotBytes) {
  HWND e = Edit(ES_AUTOHSCROLL, "h\xC3\xA9llo");  // "héllo"
  EXPECT_EQ(GetWindowTextLength(e), 6);
  SetSel(e, 1, 2);
  SendMessage(e, EM_REPLACESEL, TRUE,
              reinterpret_cast<LPARAM>("\xE2\x82\xAC\xE2\x82\xAC"));  // two euro signs
  EXPECT_EQ(GetWindowText(e),
            "h\xE2\x82\xAC\xE2\x82\xAC"
            "llo");
  EXPECT_EQ(Sel(e), std::make_pair(3, 3));
  for (int i = 0; i <= 6; ++i) {
    SCOPED_TRACE(i);
    const LRESULT pos = SendMessage(e, EM_POSFROMCHAR, static_cast<WPARAM>(i), 0);
    ASSERT_NE(pos, -1);
    const LRESULT hit = SendMessage(e, EM_CHARFROMPOS, 0, pos);
    EXPECT_EQ(LOWORD(hit), i);
  }
  EXPECT_EQ(SendMessage(e, EM_POSFROMCHAR, 7, 0), -1);
}

TEST_F(TEditTest, LimitRefusesExtraCharactersWithMaxText) {
  HWND e = Edit();
  SendMessage(e, EM_LIMITTEXT, 3, 0);
  EXPECT_EQ(SendMessage(e, EM_GETLIMITTEXT, 0, 0), 3);
  WinTesting::Type("abcd");
  Pump();
  EXPECT_EQ(GetWindowText(e), "abc");
  auto notes = Notes();
  ASSERT_FALSE(notes.empty());
  EXPECT_EQ(notes.back(), "cmd 5 1281");
  // A replacement longer than the room is cut to it.
  SetSel(e, 1, 2);
  SendMessage(e, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("XYZ"));
  EXPECT_EQ(GetWindowText(e), "aXc");
}

TEST_F(TEditTest, UndoSwapsWithTheLastChange) {
  HWND e = Edit(ES_AUTOHSCROLL, "one");
  EXPECT_EQ(SendMessage(e, EM_CANUNDO, 0, 0), FALSE);
  SetSel(e, 0, -1);
  SendMessage(e, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("two"));
  EXPECT_EQ(SendMessage(e, EM_CANUNDO, 0, 0), TRUE);
  EXPECT_EQ(SendMessage(e, EM_UNDO, 0, 0), TRUE);
  EXPECT_EQ(GetWindowText(e), "one");
  SendMessage(e, WM_UNDO, 0, 0);  // undo of the undo
  EXPECT_EQ(GetWindowText(e), "two");
  SendMessage(e, EM_EMPTYUNDOBUFFER, 0, 0);
  EXPECT_EQ(SendMessage(e, EM_UNDO, 0, 0), FALSE);
  SendMessage(e, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("!"));
  EXPECT_EQ(SendMessage(e, EM_CANUNDO, 0, 0), FALSE);
}

TEST_F(TEditTest, KeyboardMovesAndExtendsTheSelection) {
  HWND e = Edit(ES_AUTOHSCROLL, "abc def");
  SetSel(e, 7, 7);
  PressWith(VK_SHIFT, VK_LEFT);
  EXPECT_EQ(Sel(e), std::make_pair(6, 7));
  PressWith(VK_SHIFT, VK_HOME);
  EXPECT_EQ(Sel(e), std::make_pair(0, 7));
  Press(VK_RIGHT);  // collapses to the end of the selection
  EXPECT_EQ(Sel(e), std::make_pair(7, 7));
  PressWith(VK_CONTROL, VK_LEFT);
  EXPECT_EQ(Sel(e), std::make_pair(4, 4));
  Press(VK_BACK);
  EXPECT_EQ(GetWindowText(e), "abcdef");
  Press(VK_DELETE);
  EXPECT_EQ(GetWindowText(e), "abcef");
  Press(VK_END);
  EXPECT_EQ(Sel(e), std::make_pair(5, 5));
}

TEST_F(TEditTest, StyleFiltersTypedCharacters) {
  struct TCase {
    DWORD Style;
    std::string Typed;
    std::string Text;
    int Beeps;
  };
  const TCase cases[] = {
      {ES_NUMBER, "1a2", "12", 1},
      {ES_UPPERCASE, "aB", "AB", 0},
      {ES_LOWERCASE, "aB", "ab", 0},
      {ES_READONLY, "x", "", 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Typed);
    HWND e = Edit(ES_AUTOHSCROLL | c.Style);
    const int before = WinTesting::BeepCount();
    WinTesting::Type(c.Typed);
    Pump();
    EXPECT_EQ(GetWindowText(e), c.Text);
    EXPECT_EQ(WinTesting::BeepCount() - before, c.Beeps);
    DestroyWindow(e);
  }
}

TEST_F(TEditTest, CutCopyPasteGoThroughTheClipboard) {
  HWND e = Edit(ES_AUTOHSCROLL, "copy me");
  SetSel(e, 0, 4);
  SendMessage(e, WM_COPY, 0, 0);
  SetSel(e, 7, 7);
  SendMessage(e, WM_PASTE, 0, 0);
  EXPECT_EQ(GetWindowText(e), "copy mecopy");
  SetSel(e, 0, 5);
  SendMessage(e, WM_CUT, 0, 0);
  EXPECT_EQ(GetWindowText(e), "mecopy");
  SendMessage(e, WM_CLEAR, 0, 0);  // nothing selected
  EXPECT_EQ(GetWindowText(e), "mecopy");
  SetSel(e, 0, 0);
  SendMessage(e, WM_PASTE, 0, 0);
  EXPECT_EQ(GetWindowText(e), "copy mecopy");

  // A password is never copied; a single line takes the first line of multi-line text.
  HWND p = Edit(ES_AUTOHSCROLL | ES_PASSWORD, "secret");
  SetSel(p, 0, -1);
  SendMessage(p, WM_COPY, 0, 0);
  SendMessage(e, WM_PASTE, 0, 0);
  EXPECT_EQ(GetWindowText(e), "copy copy mecopy");
  ASSERT_TRUE(OpenClipboard(parent_));
  EmptyClipboard();
  SetClipboardData(CF_TEXT, GlobalAllocFrom("L1\r\nL2", 7));
  CloseClipboard();
  SetSel(p, 0, -1);
  SendMessage(p, WM_PASTE, 0, 0);
  EXPECT_EQ(GetWindowText(p), "L1");
}

TEST_F(TEditTest, MultiLineLinesAnswerTheLineMessages) {
  HWND e = Edit(ES_MULTILINE | ES_AUTOHSCROLL, "one\r\ntwo\r\nthree", RECT{0, 0, 200, 100});
  EXPECT_EQ(SendMessage(e, EM_GETLINECOUNT, 0, 0), 3);
  struct TCase {
    int Line;
    int Index;
    int Length;
  };
  for (TCase c : {TCase{0, 0, 3}, TCase{1, 5, 3}, TCase{2, 10, 5}}) {
    SCOPED_TRACE(c.Line);
    EXPECT_EQ(SendMessage(e, EM_LINEINDEX, static_cast<WPARAM>(c.Line), 0), c.Index);
    EXPECT_EQ(SendMessage(e, EM_LINELENGTH, static_cast<WPARAM>(c.Index), 0), c.Length);
    EXPECT_EQ(SendMessage(e, EM_LINEFROMCHAR, static_cast<WPARAM>(c.Index + 1), 0), c.Line);
  }
  EXPECT_EQ(SendMessage(e, EM_LINEINDEX, 3, 0), -1);
  char buffer[16] = {};
  WORD size = 4;
  std::memcpy(buffer, &size, sizeof size);
  EXPECT_EQ(SendMessage(e, EM_GETLINE, 2, reinterpret_cast<LPARAM>(buffer)), 4);
  EXPECT_EQ(std::string(buffer, 4), "thre");
  EXPECT_EQ(SendMessage(e, WM_GETDLGCODE, 0, 0),
            DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS | DLGC_WANTALLKEYS);
  // Return inserts a line break; Down keeps the column.
  SetSel(e, 1, 1);
  Press(VK_DOWN);
  EXPECT_EQ(Sel(e), std::make_pair(6, 6));
  WinTesting::Type("\n");
  Pump();
  EXPECT_EQ(SendMessage(e, EM_GETLINECOUNT, 0, 0), 4);
}

TEST_F(TEditTest, WordWrapBreaksAtSpacesOnlyWithoutAutoHScroll) {
  // The test font is 7 pixels a character: 48 pixels inside the margins hold 6.
  for (bool autoScroll : {false, true}) {
    SCOPED_TRACE(autoScroll);
    HWND e =
        Edit(ES_MULTILINE | (autoScroll ? ES_AUTOHSCROLL : 0), "aaa bbb ccc dddddddddd", RECT{0, 0, 50, 100});
    if (autoScroll) {
      EXPECT_EQ(SendMessage(e, EM_GETLINECOUNT, 0, 0), 1);
    } else {
      EXPECT_EQ(SendMessage(e, EM_GETLINECOUNT, 0, 0), 5);  // "aaa ", "bbb ", "ccc ", "dddddd", "dddd"
      EXPECT_EQ(SendMessage(e, EM_LINEINDEX, 1, 0), 4);
      EXPECT_EQ(SendMessage(e, EM_LINEINDEX, 3, 0), 12);
      EXPECT_EQ(SendMessage(e, EM_LINEINDEX, 4, 0), 18);
    }
    DestroyWindow(e);
  }
}

TEST_F(TEditTest, MouseClickPlacesTheCaretAndDoubleClickSelectsAWord) {
  HWND e = Edit(ES_AUTOHSCROLL, "one two three");
  const LRESULT pos = SendMessage(e, EM_POSFROMCHAR, 5, 0);
  ClickAt(e, LOWORD(pos), HIWORD(pos) + 2);
  EXPECT_EQ(Sel(e), std::make_pair(5, 5));
  EXPECT_EQ(GetCapture(), nullptr);
  SendMessage(e, WM_LBUTTONDBLCLK, 0, pos);
  EXPECT_EQ(Sel(e), std::make_pair(4, 8));
}

// The test font's margins: a quarter of its 7-pixel average character width, rounded.
constexpr int kFontMargin = 2;

TEST_F(TEditTest, FormattingRectangleAndMargins) {
  HWND e = Edit(ES_MULTILINE, "text", RECT{0, 0, 100, 50});
  EXPECT_EQ(SendMessage(e, EM_GETMARGINS, 0, 0), MAKELRESULT(kFontMargin, kFontMargin));
  RECT r{};
  SendMessage(e, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r, (RECT{kFontMargin, 0, 100 - kFontMargin, 50}));
  SendMessage(e, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(5, 7));
  EXPECT_EQ(SendMessage(e, EM_GETMARGINS, 0, 0), MAKELRESULT(5, 7));
  SendMessage(e, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r, (RECT{5, 0, 93, 50}));
  // The margins narrow a rectangle set by EM_SETRECTNP as well.
  const RECT set{10, 10, 60, 40};
  SendMessage(e, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&set));
  SendMessage(e, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r, (RECT{15, 10, 53, 40}));
  EXPECT_EQ(LOWORD(SendMessage(e, EM_POSFROMCHAR, 0, 0)), 15);
  SendMessage(e, EM_SETMARGINS, EC_LEFTMARGIN, MAKELPARAM(EC_USEFONTINFO, 0));
  EXPECT_EQ(SendMessage(e, EM_GETMARGINS, 0, 0), MAKELRESULT(kFontMargin, 7));
}

// The text touched the border: glyphs sat on the left and top edge of the client area. The
// formatting rectangle keeps off a border drawn around the client area (a pixel under a sunken
// client edge, two with WS_BORDER, downwards too when the line has room) and then the margins.
TEST_F(TEditTest, TextKeepsOffTheBorderByTheMargins) {
  struct TCase {
    const char* Id;
    DWORD Style;
    DWORD ExStyle;
    int Height;  // of the window
    RECT Format;
  };
  // Client areas: 120 x 24 without a border, 116 x 20 in a client edge, 118 x 22 in WS_BORDER.
  const TCase cases[] = {
      {"plain", 0, 0, 24, RECT{2, 0, 118, 24}},
      {"client-edge", 0, WS_EX_CLIENTEDGE, 24, RECT{3, 1, 113, 19}},
      {"border", WS_BORDER, 0, 24, RECT{4, 2, 114, 20}},
      {"client-edge-multiline", ES_MULTILINE, WS_EX_CLIENTEDGE, 24, RECT{3, 1, 113, 19}},
      // A line (13 pixels) and a pixel above and below do not fit in 14: the text keeps the top.
      {"client-edge-low", 0, WS_EX_CLIENTEDGE, 18, RECT{3, 0, 113, 14}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Id);
    HWND e = CreateWindowEx(c.ExStyle, WC_EDIT, "abc", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | c.Style, 10,
                            10, 120, c.Height, parent_, reinterpret_cast<HMENU>(static_cast<intptr_t>(7)),
                            MainInstance(), nullptr);
    RECT r{};
    SendMessage(e, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r, c.Format);
    EXPECT_EQ(SendMessage(e, EM_POSFROMCHAR, 0, 0), MAKELRESULT(c.Format.Left, c.Format.Top));
    const TDrawLog log = Painted(e);
    const auto texts = log.OfKind(TDrawKind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->Points[0], (POINT{c.Format.Left, c.Format.Top}));
    DestroyWindow(e);
  }
}

// Clicks hit the character under the mouse, counted from the margin; a click in the margin
// puts the caret before the first character.
TEST_F(TEditTest, ClicksHitCharactersFromTheMargin) {
  HWND e = Control(WC_EDIT, "abcdef", ES_AUTOHSCROLL, RECT{10, 10, 210, 30});
  const int left = kFontMargin;  // the test font: 7 pixels a character
  struct TCase {
    int X;
    int Caret;
  };
  // The boundary between two characters is the middle of the first (3 of its 7 pixels).
  const TCase cases[] = {
      {0, 0}, {left + 2, 0}, {left + 3, 1}, {left + 7 + 2, 1}, {left + 7 + 3, 2}, {left + 6 * 7 + 20, 6}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.X);
    VirtualClock::Advance(1000);  // single clicks, not double clicks
    ClickAt(e, c.X, 5);
    EXPECT_EQ(Sel(e), std::make_pair(c.Caret, c.Caret));
    EXPECT_EQ(LOWORD(SendMessage(e, EM_CHARFROMPOS, 0, MAKELPARAM(c.X, 5))), c.Caret);
    POINT caret{};
    GetCaretPos(&caret);
    EXPECT_EQ(caret.X, left + 7 * c.Caret);
  }
}

// Typing past the right margin scrolls the text so that the caret stays inside the margins;
// Home scrolls back to the margin.
TEST_F(TEditTest, LongTextScrollsWithinTheMargins) {
  HWND e = Edit(ES_AUTOHSCROLL, "", RECT{10, 10, 80, 30});  // 70 wide: 66 between the margins
  RECT fr{};
  SendMessage(e, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&fr));
  ASSERT_EQ(fr, (RECT{kFontMargin, 0, 70 - kFontMargin, 20}));
  WinTesting::Type("abcdefghijklmno");  // 105 pixels
  Pump();
  POINT caret{};
  GetCaretPos(&caret);
  EXPECT_EQ(SendMessage(e, EM_POSFROMCHAR, 15, 0), MAKELRESULT(caret.X, 0));
  EXPECT_GE(caret.X, fr.Left);
  EXPECT_LE(caret.X, fr.Right);
  EXPECT_LT(static_cast<int16_t>(LOWORD(SendMessage(e, EM_POSFROMCHAR, 0, 0))), fr.Left) << "scrolled";
  Press(VK_HOME);
  GetCaretPos(&caret);
  EXPECT_EQ(caret.X, fr.Left);
  EXPECT_EQ(LOWORD(SendMessage(e, EM_POSFROMCHAR, 0, 0)), fr.Left);
}

TEST_F(TEditTest, SetTextResetsSelectionUndoAndModify) {
  HWND e = Edit(ES_AUTOHSCROLL, "abc");
  WinTesting::Type("x");
  Pump();
  Notes();
  SetWindowText(e, "new");
  EXPECT_TRUE(SequenceIs(Notes(), {"cmd 5 1024", "cmd 5 768"}));
  EXPECT_EQ(Sel(e), std::make_pair(0, 0));
  EXPECT_EQ(SendMessage(e, EM_GETMODIFY, 0, 0), FALSE);
  EXPECT_EQ(SendMessage(e, EM_CANUNDO, 0, 0), FALSE);
}

TEST_F(TEditTest, PasswordDrawsMaskCharacters) {
  HWND e = Edit(ES_AUTOHSCROLL | ES_PASSWORD, "abc");
  EXPECT_EQ(SendMessage(e, EM_GETPASSWORDCHAR, 0, 0), '*');
  SendMessage(e, EM_SETPASSWORDCHAR, '#', 0);
  TDrawLog log = Painted(e);
  std::string drawn;
  for (auto* c : log.OfKind(TDrawKind::Text)) drawn += c->Text;
  EXPECT_EQ(drawn, "###");
  SendMessage(e, EM_SETPASSWORDCHAR, 0, 0);
  EXPECT_EQ(GetWindowLong(e, GWL_STYLE) & ES_PASSWORD, 0);
}

TEST_F(TEditTest, FocusNotificationsAndCaret) {
  HWND e = Control(WC_EDIT, "", ES_AUTOHSCROLL, RECT{0, 0, 100, 20});
  HWND other = Control(WC_EDIT, "", ES_AUTOHSCROLL, RECT{0, 30, 100, 50}, 6);
  Notes();
  SetFocus(e);
  EXPECT_EQ(GetCaretWindow(), e);
  SetFocus(other);
  EXPECT_EQ(GetCaretWindow(), other);
  EXPECT_TRUE(SequenceIs(Notes(), {"cmd 5 256", "cmd 5 512", "cmd 6 256"}));
}

}  // namespace
}  // namespace wintest
