// The "ComboBox" class: items through CB_ messages, the selection field with its edit, the
// dropped list as a pop-up and the CBN_ notifications of dropping, picking and cancelling by
// mouse and keyboard, owner draw through the parent, and GetComboBoxInfo.
#include "tests/platform/win/ControlTestUtil.h"

namespace wintest {
namespace {

std::string Cmd(WORD code) {
  return "cmd 5 " + std::to_string(code);
}

class TComboBoxTest : public TControlTest {
 protected:
  HWND Combo(DWORD style, std::initializer_list<const char*> items, RECT r = RECT{10, 10, 160, 160}) {
    HWND c = Control(WC_COMBOBOX, "", style, r);
    for (const char* s : items) SendMessage(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    Notes();
    return c;
  }
  static std::string ItemText(HWND c, int i) {
    const LRESULT n = SendMessage(c, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    if (n < 0) return "<err>";
    std::string s(static_cast<size_t>(n) + 1, '\0');
    SendMessage(c, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(s.data()));
    s.resize(static_cast<size_t>(n));
    return s;
  }
  static std::string Text(HWND c) {
    char buffer[64] = {};
    GetWindowText(c, buffer, sizeof buffer);
    return buffer;
  }
  static COMBOBOXINFO Info(HWND c) {
    COMBOBOXINFO info;
    EXPECT_TRUE(GetComboBoxInfo(c, &info));
    return info;
  }
  // A client point of the dropped list's item `i`.
  static POINT ListItemScreen(HWND c, int i) {
    HWND list = Info(c).hwndList;
    RECT r;
    SendMessage(list, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
    POINT p{r.Left + 5, r.Top + r.Height() / 2};
    ClientToScreen(list, &p);
    return p;
  }
  static void ClickButton(HWND c) {
    const RECT b = Info(c).rcButton;
    ClickAt(c, b.Left + b.Width() / 2, b.Top + b.Height() / 2);
  }
};

TEST_F(TComboBoxTest, ItemMessagesForEveryKind) {
  for (DWORD kind : {CBS_SIMPLE, CBS_DROPDOWN, CBS_DROPDOWNLIST}) {
    for (bool sorted : {false, true}) {
      SCOPED_TRACE(std::to_string(kind) + (sorted ? " sorted" : ""));
      HWND c = Combo(kind | (sorted ? CBS_SORT : 0), {"pear", "Apple", "fig"});
      ASSERT_NE(c, nullptr);
      EXPECT_EQ(SendMessage(c, CB_GETCOUNT, 0, 0), 3);
      EXPECT_EQ(ItemText(c, 0), sorted ? "Apple" : "pear");
      EXPECT_EQ(ItemText(c, 3), "<err>");
      EXPECT_EQ(SendMessage(c, CB_INSERTSTRING, 1, reinterpret_cast<LPARAM>("kiwi")), 1);
      EXPECT_EQ(ItemText(c, 1), "kiwi");
      EXPECT_EQ(SendMessage(c, CB_SETITEMDATA, 1, 77), TRUE);
      EXPECT_EQ(SendMessage(c, CB_GETITEMDATA, 1, 0), 77);
      EXPECT_EQ(SendMessage(c, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("FI")),
                SendMessage(c, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("fig")));
      EXPECT_EQ(SendMessage(c, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("fi")),
                CB_ERR);
      EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), CB_ERR);
      EXPECT_EQ(SendMessage(c, CB_SETCURSEL, 1, 0), 1);
      EXPECT_EQ(Text(c), "kiwi");
      EXPECT_EQ(SendMessage(c, CB_SETCURSEL, 9, 0), CB_ERR);
      EXPECT_EQ(Text(c), "");
      const LRESULT apple =
          SendMessage(c, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("app"));
      EXPECT_EQ(ItemText(c, static_cast<int>(apple)), "Apple");
      EXPECT_EQ(Text(c), "Apple");
      EXPECT_EQ(SendMessage(c, CB_DELETESTRING, 0, 0), 3);
      EXPECT_EQ(SendMessage(c, CB_RESETCONTENT, 0, 0), CB_OKAY);
      EXPECT_EQ(SendMessage(c, CB_GETCOUNT, 0, 0), 0);
      EXPECT_TRUE(Notes().empty());  // nothing done by message is reported
      DestroyWindow(c);
    }
  }
}

TEST_F(TComboBoxTest, InfoAndGeometryPerKind) {
  struct TCase {
    DWORD Kind;
    bool HasEdit;
    DWORD ButtonState;
  };
  const TCase cases[] = {
      {CBS_SIMPLE, true, STATE_SYSTEM_INVISIBLE}, {CBS_DROPDOWN, true, 0}, {CBS_DROPDOWNLIST, false, 0}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Kind);
    HWND h = Combo(c.Kind, {"a", "b"}, RECT{10, 10, 160, 210});
    const COMBOBOXINFO info = Info(h);
    EXPECT_EQ(info.hwndCombo, h);
    EXPECT_EQ(info.hwndItem != nullptr, c.HasEdit);
    ASSERT_NE(info.hwndList, nullptr);
    char cls[32] = {};
    GetClassName(info.hwndList, cls, sizeof cls);
    EXPECT_STREQ(cls, WC_COMBOLBOX);
    EXPECT_EQ(info.stateButton, c.ButtonState);
    RECT window;
    GetWindowRect(h, &window);
    RECT dropped{};
    SendMessage(h, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    EXPECT_EQ(dropped.Height(), 200);
    if (c.Kind == CBS_SIMPLE) {
      EXPECT_EQ(window.Height(), 200);
      EXPECT_TRUE(IsRectEmpty(info.rcButton));
      EXPECT_TRUE(IsWindowVisible(info.hwndList));
    } else {
      // The window is the field; the height asked for is what the list drops to.
      const LRESULT field = SendMessage(h, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
      EXPECT_EQ(window.Height(), field + 6);
      EXPECT_EQ(info.rcButton.Width(), GetSystemMetrics(SM_CXVSCROLL));
      EXPECT_LE(info.rcItem.Right, info.rcButton.Left);
      EXPECT_FALSE(IsWindowVisible(info.hwndList));
      EXPECT_EQ(GetWindowLong(info.hwndList, GWL_STYLE) & WS_CHILD, 0);
    }
    if (info.hwndItem) {
      RECT edit;
      GetWindowRect(info.hwndItem, &edit);
      POINT origin{0, 0};
      ClientToScreen(h, &origin);
      OffsetRect(edit, -origin.X, -origin.Y);
      EXPECT_EQ(edit, info.rcItem);
    }
    DestroyWindow(h);
  }
  COMBOBOXINFO wrongSize;
  wrongSize.cbSize = sizeof(COMBOBOXINFO) + 1;
  HWND h = Combo(CBS_DROPDOWN, {});
  EXPECT_FALSE(GetComboBoxInfo(h, &wrongSize));
}

TEST_F(TComboBoxTest, ClickToDropThenPickAnItem) {
  HWND c = Combo(CBS_DROPDOWNLIST, {"one", "two", "three"});
  ClickButton(c);
  EXPECT_EQ(SendMessage(c, CB_GETDROPPEDSTATE, 0, 0), TRUE);
  HWND list = Info(c).hwndList;
  EXPECT_TRUE(IsWindowVisible(list));
  EXPECT_EQ(GetActiveWindow(), parent_);  // shown without activation
  EXPECT_EQ(Info(c).stateButton, STATE_SYSTEM_PRESSED);
  RECT lr, cr;
  GetWindowRect(list, &lr);
  GetWindowRect(c, &cr);
  EXPECT_EQ(lr.Top, cr.Bottom);
  EXPECT_EQ(Notes(), (std::vector<std::string>{Cmd(CBN_SETFOCUS), Cmd(CBN_DROPDOWN)}));

  WinTesting::Click(ListItemScreen(c, 2));
  Pump();
  EXPECT_EQ(Notes(), (std::vector<std::string>{Cmd(CBN_SELENDOK), Cmd(CBN_CLOSEUP), Cmd(CBN_SELCHANGE)}));
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(Text(c), "three");
  EXPECT_FALSE(IsWindowVisible(list));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(TComboBoxTest, WaysOfClosingAndWhatTheyReport) {
  struct TCase {
    const char* Name;
    std::function<void(TComboBoxTest&, HWND)> Close;
    int Sel;  // selection afterwards: the hovered item 1 kept or the original 0 restored
    std::vector<std::string> Notes;
  };
  const std::vector<std::string> ok{Cmd(CBN_SELENDOK), Cmd(CBN_CLOSEUP), Cmd(CBN_SELCHANGE)};
  const std::vector<std::string> cancel{Cmd(CBN_SELENDCANCEL), Cmd(CBN_CLOSEUP)};
  const TCase cases[] = {
      {"click outside", [](TComboBoxTest&, HWND) { ClickAt(GetParent(GetFocus()), 390, 290); }, 0, cancel},
      {"escape", [](TComboBoxTest&, HWND) { Press(VK_ESCAPE); }, 0, cancel},
      {"enter", [](TComboBoxTest&, HWND) { Press(VK_RETURN); }, 1, ok},
      {"F4", [](TComboBoxTest&, HWND) { Press(VK_F4); }, 1, ok},
      {"alt+down", [](TComboBoxTest&, HWND) { PressWith(VK_MENU, VK_DOWN); }, 1, ok},
      {"message", [](TComboBoxTest&, HWND c) { SendMessage(c, CB_SHOWDROPDOWN, FALSE, 0); }, 0, cancel},
  };
  for (DWORD kind : {CBS_DROPDOWN, CBS_DROPDOWNLIST}) {
    for (const TCase& t : cases) {
      SCOPED_TRACE(std::string(t.Name) + " kind " + std::to_string(kind));
      HWND c = Combo(kind, {"one", "two", "three"});
      SendMessage(c, CB_SETCURSEL, 0, 0);
      SetFocus(c);
      Press(VK_F4);
      ASSERT_EQ(SendMessage(c, CB_GETDROPPEDSTATE, 0, 0), TRUE);
      Input::MouseMove(ListItemScreen(c, 1));  // hover highlights without reporting
      Pump();
      Notes();
      t.Close(*this, c);
      EXPECT_EQ(SendMessage(c, CB_GETDROPPEDSTATE, 0, 0), FALSE);
      auto notes = Notes();
      std::erase(notes, Cmd(CBN_KILLFOCUS));
      EXPECT_EQ(notes, t.Notes);
      EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), t.Sel);
      EXPECT_EQ(Text(c), t.Sel == 1 ? "two" : "one");
      EXPECT_EQ(GetCapture(), nullptr);
      DestroyWindow(c);
      Notes();
    }
  }
}

TEST_F(TComboBoxTest, ArrowsChangeTheSelectionOpenOrClosed) {
  for (bool dropped : {false, true}) {
    SCOPED_TRACE(dropped);
    HWND c = Combo(CBS_DROPDOWN, {"one", "two", "three"});
    SetFocus(c);
    EXPECT_EQ(GetFocus(), Info(c).hwndItem);  // the edit holds the focus
    if (dropped) Press(VK_F4);
    Notes();
    Press(VK_DOWN);
    Press(VK_DOWN);
    Press(VK_UP);
    EXPECT_EQ(Notes(), std::vector<std::string>(3, Cmd(CBN_SELCHANGE)));
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(Text(c), "one");
    Press(VK_UP);  // already first
    EXPECT_TRUE(Notes().empty());
    EXPECT_EQ(SendMessage(c, CB_GETDROPPEDSTATE, 0, 0), dropped ? TRUE : FALSE);
    DestroyWindow(c);
    Notes();
  }
}

TEST_F(TComboBoxTest, TypingInTheEditReportsEditNotifications) {
  HWND c = Combo(CBS_DROPDOWN, {"one"});
  SetFocus(c);
  EXPECT_EQ(Notes(), (std::vector<std::string>{Cmd(CBN_SETFOCUS)}));
  WinTesting::Type("ab");
  Pump();
  EXPECT_EQ(Notes(), (std::vector<std::string>{Cmd(CBN_EDITUPDATE), Cmd(CBN_EDITCHANGE), Cmd(CBN_EDITUPDATE),
                                               Cmd(CBN_EDITCHANGE)}));
  EXPECT_EQ(Text(c), "ab");
  EXPECT_EQ(SendMessage(c, CB_SETEDITSEL, 0, MAKELPARAM(1, 2)), TRUE);
  DWORD start = 9, end = 9;
  EXPECT_EQ(SendMessage(c, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end)),
            MAKELRESULT(1, 2));
  EXPECT_EQ(start, 1u);
  EXPECT_EQ(end, 2u);
  EXPECT_EQ(SendMessage(c, CB_LIMITTEXT, 3, 0), TRUE);
  WinTesting::Type("xyz");
  Pump();
  EXPECT_EQ(Text(c), "axy");  // "b" replaced, cut at the limit
  SetFocus(parent_);
  auto notes = Notes();
  ASSERT_FALSE(notes.empty());
  EXPECT_EQ(notes.back(), Cmd(CBN_KILLFOCUS));

  HWND list = Combo(CBS_DROPDOWNLIST, {"one"});
  EXPECT_EQ(SendMessage(list, CB_GETEDITSEL, 0, 0), CB_ERR);
  EXPECT_EQ(SendMessage(list, CB_LIMITTEXT, 3, 0), CB_ERR);
}

TEST_F(TComboBoxTest, SimpleListPicksWithoutTakingTheFocus) {
  HWND c = Combo(CBS_SIMPLE, {"one", "two", "three"}, RECT{10, 10, 160, 160});
  SetFocus(c);
  Notes();
  HWND list = Info(c).hwndList;
  RECT r;
  SendMessage(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
  ClickAt(list, r.Left + 3, r.Top + 2);
  EXPECT_EQ(Notes(), (std::vector<std::string>{Cmd(CBN_SELCHANGE)}));
  EXPECT_EQ(Text(c), "two");
  EXPECT_EQ(GetFocus(), Info(c).hwndItem);
  Press(VK_F4);  // nothing to drop
  EXPECT_EQ(SendMessage(c, CB_GETDROPPEDSTATE, 0, 0), FALSE);
}

TEST_F(TComboBoxTest, OwnerDrawGoesToTheParentAsTheComboBox) {
  std::vector<std::string> seen;
  parentHandler_ = [&seen](UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
    if (m == WM_MEASUREITEM) {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(l);
      seen.push_back("measure " + std::to_string(mis->CtlType) + " " + std::to_string(mis->CtlID) + " " +
                     std::to_string(static_cast<int>(mis->itemID)));
      mis->itemHeight = 20;
      return TRUE;
    }
    if (m == WM_DRAWITEM) {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(l);
      seen.push_back("draw " + std::to_string(dis->CtlType) + " " + std::to_string(dis->CtlID) + " " +
                     std::to_string(static_cast<int>(dis->itemID)) +
                     ((dis->itemState & ODS_COMBOBOXEDIT) ? " field" : ""));
      return TRUE;
    }
    return std::nullopt;
  };
  HWND c = Combo(CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED, {});
  EXPECT_EQ(seen, (std::vector<std::string>{"measure 3 5 -1", "measure 3 5 0"}));
  EXPECT_EQ(SendMessage(c, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0), 20);
  EXPECT_EQ(SendMessage(c, CB_GETITEMHEIGHT, 0, 0), 20);
  SendMessage(c, CB_ADDSTRING, 0, 11);
  SendMessage(c, CB_SETCURSEL, 0, 0);
  seen.clear();
  Painted(c);
  EXPECT_EQ(seen, (std::vector<std::string>{"draw 3 5 0 field"}));
  seen.clear();
  SendMessage(c, CB_SHOWDROPDOWN, TRUE, 0);
  Painted(Info(c).hwndList);
  EXPECT_EQ(seen, (std::vector<std::string>{"draw 3 5 0"}));
  parentHandler_ = nullptr;
  SendMessage(c, CB_SHOWDROPDOWN, FALSE, 0);
}

TEST_F(TComboBoxTest, ButtonIsDrawnAsAComboButton) {
  for (DWORD kind : {CBS_SIMPLE, CBS_DROPDOWN, CBS_DROPDOWNLIST}) {
    SCOPED_TRACE(kind);
    HWND c = Combo(kind, {});
    const TDrawLog log = Painted(c);
    const auto frames = log.OfKind(TDrawKind::FrameControl);
    if (kind == CBS_SIMPLE) {
      EXPECT_TRUE(frames.empty());
    } else {
      ASSERT_EQ(frames.size(), 1u);
      EXPECT_EQ(frames[0]->Flags & 0xFF, DFCS_SCROLLCOMBOBOX);
      EXPECT_EQ(frames[0]->Rect, Info(c).rcButton);
    }
    DestroyWindow(c);
  }
}

TEST_F(TComboBoxTest, DroppedListScrollsByItsOwnBarAndStaysOpen) {
  HWND c = Combo(CBS_DROPDOWNLIST | WS_VSCROLL,
                 {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"}, RECT{10, 10, 160, 90});
  SetFocus(c);
  SendMessage(c, CB_SHOWDROPDOWN, TRUE, 0);
  HWND list = Info(c).hwndList;
  SCROLLBARINFO bar;
  ASSERT_TRUE(GetScrollBarInfo(list, OBJID_VSCROLL, &bar));
  ASSERT_EQ(bar.rgstate[0] & STATE_SYSTEM_INVISIBLE, 0u);
  const POINT down{bar.rcScrollBar.Left + 2, bar.rcScrollBar.Bottom - 2};
  Notes();
  WinTesting::Click(down);
  Pump();
  EXPECT_EQ(SendMessage(list, LB_GETTOPINDEX, 0, 0), 1);
  EXPECT_EQ(SendMessage(c, CB_GETDROPPEDSTATE, 0, 0), TRUE);
  EXPECT_EQ(GetCapture(), c);
  EXPECT_TRUE(Notes().empty());
  Press(VK_ESCAPE);
  EXPECT_EQ(GetCapture(), nullptr);
}

// WS_VSCROLL (and WS_HSCROLL) asked for the combo box describe its list: on the combo window
// itself a dead scroll bar stood beside the drop button.
TEST_F(TComboBoxTest, ScrollBarStyleLandsOnTheListNotTheField) {
  struct TCase {
    const char* Id;
    DWORD Style;
    bool ListBar;
  };
  const TCase cases[] = {
      {"simple", CBS_SIMPLE, false},
      {"simple-vscroll", CBS_SIMPLE | WS_VSCROLL, true},
      {"dropdown", CBS_DROPDOWN, false},
      {"dropdown-vscroll", CBS_DROPDOWN | WS_VSCROLL, true},
      {"droplist-vscroll", CBS_DROPDOWNLIST | WS_VSCROLL, true},
      {"droplist-both", CBS_DROPDOWNLIST | WS_VSCROLL | WS_HSCROLL, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Id);
    // More items than the list shows, so that a list with the style shows its bar.
    HWND h = Combo(c.Style, {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"},
                   RECT{10, 10, 160, 110});
    SendMessage(h, CB_SHOWDROPDOWN, TRUE, 0);
    const DWORD style = static_cast<DWORD>(GetWindowLong(h, GWL_STYLE));
    EXPECT_EQ(style & (WS_VSCROLL | WS_HSCROLL), 0u);
    RECT window, client;
    GetWindowRect(h, &window);
    GetClientRect(h, &client);
    EXPECT_EQ(client.Width(), window.Width()) << "no scroll bar beside the field";
    EXPECT_EQ(client.Height(), window.Height());
    const COMBOBOXINFO info = Info(h);
    if (!(c.Style & CBS_SIMPLE)) {
      EXPECT_EQ(info.rcButton.Right, client.Right - 2);
    }
    const DWORD listStyle = static_cast<DWORD>(GetWindowLong(info.hwndList, GWL_STYLE));
    EXPECT_EQ((listStyle & WS_VSCROLL) != 0, c.ListBar);
    EXPECT_EQ(listStyle & WS_HSCROLL, c.Style & WS_HSCROLL);
    SendMessage(h, CB_SHOWDROPDOWN, FALSE, 0);
    DestroyWindow(h);
  }
}

TEST_F(TComboBoxTest, DestroyingTheComboTakesTheDroppedListAlong) {
  HWND c = Combo(CBS_DROPDOWNLIST, {"one"});
  SendMessage(c, CB_SHOWDROPDOWN, TRUE, 0);
  HWND list = Info(c).hwndList;
  DestroyWindow(c);
  EXPECT_FALSE(IsWindow(list));
  EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
}  // namespace wintest
