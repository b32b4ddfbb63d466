// The "ListBox" class: items, sorting and searching, selection by message, mouse and keyboard
// with LBN_ notifications, owner draw through the parent, and the top index with its scroll bar.
#include "tests/platform/win/ControlTestUtil.h"

namespace wintest {
namespace {

class TListBoxTest : public TControlTest {
 protected:
  HWND List(DWORD style, std::initializer_list<const char*> items, RECT r = RECT{10, 10, 110, 110}) {
    HWND l = Control(WC_LISTBOX, "", style, r);
    for (const char* s : items) SendMessage(l, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    Notes();
    return l;
  }
  static std::string Text(HWND l, int i) {
    const LRESULT n = SendMessage(l, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    if (n < 0) return "<err>";
    std::string s(static_cast<size_t>(n) + 1, '\0');
    SendMessage(l, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(s.data()));
    s.resize(static_cast<size_t>(n));
    return s;
  }
};

TEST_F(TListBoxTest, SortedAndUnsortedAdding) {
  for (bool sorted : {false, true}) {
    SCOPED_TRACE(sorted);
    HWND l = List(sorted ? LBS_SORT : 0, {"pear", "Apple", "fig"});
    const std::vector<std::string> expected = sorted ? std::vector<std::string>{"Apple", "fig", "pear"}
                                                     : std::vector<std::string>{"pear", "Apple", "fig"};
    ASSERT_EQ(SendMessage(l, LB_GETCOUNT, 0, 0), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Text(l, i), expected[static_cast<size_t>(i)]);
    EXPECT_EQ(SendMessage(l, LB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("z")), 3);
    EXPECT_EQ(SendMessage(l, LB_INSERTSTRING, 9, reinterpret_cast<LPARAM>("z")), LB_ERR);
    EXPECT_EQ(Text(l, 7), "<err>");
    DestroyWindow(l);
  }
}

TEST_F(TListBoxTest, FindingIgnoresCaseAndWrapsAfterTheStart) {
  HWND l = List(0, {"alpha", "beta", "Alpine", "al"});
  struct TCase {
    UINT Message;
    int Start;
    const char* Text;
    LRESULT Expected;
  };
  const TCase cases[] = {
      {LB_FINDSTRING, -1, "AL", 0},     {LB_FINDSTRING, 0, "al", 2},
      {LB_FINDSTRING, 3, "al", 0},      {LB_FINDSTRINGEXACT, -1, "AL", 3},
      {LB_FINDSTRING, -1, "x", LB_ERR}, {LB_FINDSTRINGEXACT, -1, "alp", LB_ERR},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.Text) + " from " + std::to_string(c.Start));
    EXPECT_EQ(SendMessage(l, c.Message, static_cast<WPARAM>(c.Start), reinterpret_cast<LPARAM>(c.Text)),
              c.Expected);
  }
  EXPECT_EQ(SendMessage(l, LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("be")), 1);
  EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), 1);
  EXPECT_TRUE(Notes().empty());  // selection by message does not notify
}

TEST_F(TListBoxTest, SelectionFollowsDeletionAndData) {
  HWND l = List(0, {"a", "b", "c"});
  EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), LB_ERR);
  EXPECT_EQ(SendMessage(l, LB_SETCURSEL, 2, 0), 2);
  EXPECT_EQ(SendMessage(l, LB_DELETESTRING, 0, 0), 2);
  EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(SendMessage(l, LB_DELETESTRING, 1, 0), 1);
  EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), LB_ERR);
  EXPECT_EQ(SendMessage(l, LB_SETITEMDATA, 0, 1234), TRUE);
  EXPECT_EQ(SendMessage(l, LB_GETITEMDATA, 0, 0), 1234);
  EXPECT_EQ(SendMessage(l, LB_GETITEMDATA, 5, 0), LB_ERR);
  EXPECT_EQ(SendMessage(l, LB_SETCURSEL, static_cast<WPARAM>(-1), 0), LB_ERR);
  SendMessage(l, LB_RESETCONTENT, 0, 0);
  EXPECT_EQ(SendMessage(l, LB_GETCOUNT, 0, 0), 0);
}

TEST_F(TListBoxTest, MouseAndKeysNotifyOnlyWithNotifyStyle) {
  for (bool notify : {true, false}) {
    SCOPED_TRACE(notify);
    HWND l = List(notify ? LBS_NOTIFY : 0, {"a", "b", "c", "d"});
    const int h = static_cast<int>(SendMessage(l, LB_GETITEMHEIGHT, 0, 0));
    ClickAt(l, 5, h + 1);
    EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(GetCapture(), nullptr);
    Press(VK_DOWN);
    EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), 2);
    Press(VK_END);
    EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), 3);
    Press(VK_END);  // no change, no notification
    SendMessage(l, WM_LBUTTONDBLCLK, 0, MAKELPARAM(5, 1));
    auto notes = Notes();
    std::vector<std::string> expected;
    if (notify) expected = {"cmd 5 4", "cmd 5 1", "cmd 5 1", "cmd 5 1", "cmd 5 2"};
    EXPECT_TRUE(SequenceIs(notes, expected));
    DestroyWindow(l);
  }
}

TEST_F(TListBoxTest, OwnerDrawAsksTheParentToMeasureAndDraw) {
  std::vector<std::pair<UINT, RECT>> drawn;
  parentHandler_ = [&](UINT m, WPARAM, LPARAM lp) -> std::optional<LRESULT> {
    if (m == WM_MEASUREITEM) {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
      EXPECT_EQ(mis->CtlType, ODT_LISTBOX);
      mis->itemHeight = 30;
      return TRUE;
    }
    if (m == WM_DRAWITEM) {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
      EXPECT_EQ(dis->CtlType, ODT_LISTBOX);
      drawn.emplace_back(dis->itemID | (dis->itemState & ODS_SELECTED ? 0x100 : 0), dis->rcItem);
      return TRUE;
    }
    return std::nullopt;
  };
  HWND l = List(LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, {"a", "b", "c", "d", "e"}, RECT{0, 0, 80, 70});
  EXPECT_EQ(SendMessage(l, LB_GETITEMHEIGHT, 0, 0), 30);
  SendMessage(l, LB_SETCURSEL, 1, 0);
  Painted(l);
  ASSERT_EQ(drawn.size(), 3u);  // 0, 30 and the partly visible 60
  EXPECT_EQ(drawn[0].first, 0u);
  EXPECT_EQ(drawn[1].first, 0x101u);
  EXPECT_EQ(drawn[2].second, (RECT{0, 60, 80, 90}));
  RECT r{};
  SendMessage(l, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r, (RECT{0, 60, 80, 90}));
  const LRESULT hit = SendMessage(l, LB_ITEMFROMPOINT, 0, MAKELPARAM(10, 45));
  EXPECT_EQ(LOWORD(hit), 1);
  EXPECT_EQ(HIWORD(hit), 0);
  parentHandler_ = nullptr;
}

TEST_F(TListBoxTest, TopIndexKeepsTheLastPageFullAndDrivesTheScrollBar) {
  HWND l = Control(WC_LISTBOX, "", WS_VSCROLL | LBS_NOINTEGRALHEIGHT, RECT{0, 0, 100, 100});
  SendMessage(l, LB_SETITEMHEIGHT, 0, MAKELPARAM(20, 0));
  for (int i = 0; i < 10; ++i) SendMessage(l, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("x"));
  RECT client;
  GetClientRect(l, &client);
  const int perPage = client.Height() / 20;
  SendMessage(l, LB_SETTOPINDEX, 9, 0);
  EXPECT_EQ(SendMessage(l, LB_GETTOPINDEX, 0, 0), 10 - perPage);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(l, SB_VERT, &si));
  EXPECT_EQ(si.nMin, 0);
  EXPECT_EQ(si.nMax, 9);
  EXPECT_EQ(si.nPage, static_cast<UINT>(perPage));
  EXPECT_EQ(si.nPos, 10 - perPage);
  SendMessage(l, WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(SendMessage(l, LB_GETTOPINDEX, 0, 0), 0);
  SendMessage(l, LB_SETCURSEL, 8, 0);  // scrolled into view
  EXPECT_GE(SendMessage(l, LB_GETTOPINDEX, 0, 0), 8 - perPage + 1);
}

TEST_F(TListBoxTest, NoDataCountAndMultipleSelection) {
  HWND nd = Control(WC_LISTBOX, "", LBS_NODATA | LBS_OWNERDRAWFIXED, RECT{0, 0, 50, 50});
  EXPECT_EQ(SendMessage(nd, LB_SETCOUNT, 100, 0), 0);
  EXPECT_EQ(SendMessage(nd, LB_GETCOUNT, 0, 0), 100);
  EXPECT_EQ(SendMessage(nd, LB_ADDSTRING, 0, 0), LB_ERR);
  HWND plain = List(0, {"a"});
  EXPECT_EQ(SendMessage(plain, LB_SETCOUNT, 5, 0), LB_ERR);

  HWND m = List(LBS_MULTIPLESEL, {"a", "b", "c"});
  EXPECT_EQ(SendMessage(m, LB_SETCURSEL, 0, 0), LB_ERR);
  SendMessage(m, LB_SETSEL, TRUE, 0);
  SendMessage(m, LB_SETSEL, TRUE, 2);
  EXPECT_EQ(SendMessage(m, LB_GETSELCOUNT, 0, 0), 2);
  int items[4] = {};
  EXPECT_EQ(SendMessage(m, LB_GETSELITEMS, 4, reinterpret_cast<LPARAM>(items)), 2);
  EXPECT_EQ(items[1], 2);
  SendMessage(m, LB_SETSEL, FALSE, -1);
  EXPECT_EQ(SendMessage(m, LB_GETSELCOUNT, 0, 0), 0);
}

}  // namespace
}  // namespace wintest
