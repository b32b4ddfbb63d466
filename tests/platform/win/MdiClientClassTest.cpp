// The "MDIClient" class: creating and destroying children, activation with its notifications,
// the maximised flag, cycling, tiling, cascading, the menu set, and the default frame and child
// procedures.
#include "platform/win/MenuApi.h"
#include "tests/platform/win/ControlTestUtil.h"

namespace wintest {
namespace {

constexpr const char* kChildClass = "MdiTestChild";
constexpr UINT kFirstId = 100;

std::vector<std::string>& Notes() {
  static std::vector<std::string> notes;
  return notes;
}

std::string NameOf(HWND h) {
  return h ? GetWindowText(h) : "0";
}

LRESULT ChildProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_CREATE) {
    const auto* cs = reinterpret_cast<const CREATESTRUCT*>(l);
    const auto* mcs = static_cast<const MDICREATESTRUCT*>(cs->lpCreateParams);
    Notes().push_back("create " + std::string(mcs ? mcs->szTitle : "?") + " " +
                      std::to_string(mcs ? mcs->lParam : 0));
  }
  if (msg == WM_MDIACTIVATE)
    Notes().push_back(NameOf(h) + " mdiactivate " + NameOf(reinterpret_cast<HWND>(w)) + "->" +
                      NameOf(reinterpret_cast<HWND>(l)));
  return DefMDIChildProc(h, msg, w, l);
}

class TMdiClientTest : public TWinTest {
 protected:
  void SetUp() override {
    TWinTest::SetUp();
    Notes().clear();
    WNDCLASSEX wc;
    wc.lpfnWndProc = &ChildProc;
    wc.hInstance = MainInstance();
    wc.lpszClassName = kChildClass;
    ASSERT_NE(RegisterClassEx(&wc), 0);
    frame_ = Make("frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{0, 0, 500, 400});
    SetActiveWindow(frame_);
    CLIENTCREATESTRUCT ccs;
    ccs.idFirstChild = kFirstId;
    RECT r;
    GetClientRect(frame_, &r);
    client_ = CreateWindowEx(0, WC_MDICLIENT, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, r.Width(),
                             r.Height(), frame_, nullptr, MainInstance(), &ccs);
    ASSERT_NE(client_, nullptr);
  }

  HWND NewChild(const char* title, DWORD style = 0, LPARAM data = 0) {
    MDICREATESTRUCT mcs;
    mcs.szClass = kChildClass;
    mcs.szTitle = title;
    mcs.hOwner = MainInstance();
    mcs.style = style;
    mcs.lParam = data;
    return reinterpret_cast<HWND>(SendMessage(client_, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
  }

  HWND Active(BOOL* maximized = nullptr) {
    return reinterpret_cast<HWND>(
        SendMessage(client_, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(maximized)));
  }

  // The children's titles, top of the z-order first.
  std::string ZOrder() {
    std::string out;
    for (HWND c = GetWindow(client_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) out += GetWindowText(c);
    return out;
  }

  RECT RectInClient(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    POINT tl{r.Left, r.Top}, br{r.Right, r.Bottom};
    ScreenToClient(client_, &tl);
    ScreenToClient(client_, &br);
    return RECT{tl.X, tl.Y, br.X, br.Y};
  }

  HWND frame_ = nullptr;
  HWND client_ = nullptr;
};

TEST_F(TMdiClientTest, CreateMakesActiveMdiChildren) {
  HWND a = NewChild("A", 0, 42);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(Notes(), (std::vector<std::string>{"create A 42", "A mdiactivate 0->A"}));
  HWND b = NewChild("B");
  EXPECT_EQ(GetParent(b), client_);
  EXPECT_TRUE(GetWindowLong(b, GWL_EXSTYLE) & WS_EX_MDICHILD);
  EXPECT_EQ(GetDlgCtrlID(a), static_cast<int>(kFirstId));
  EXPECT_EQ(GetDlgCtrlID(b), static_cast<int>(kFirstId + 1));
  BOOL maximized = TRUE;
  EXPECT_EQ(Active(&maximized), b);
  EXPECT_FALSE(maximized);
  EXPECT_EQ(ZOrder(), "BA");
  EXPECT_EQ(GetFocus(), b);

  MDICREATESTRUCT bad;
  bad.szClass = "NoSuchClass";
  EXPECT_EQ(SendMessage(client_, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&bad)), 0);
  EXPECT_EQ(SendMessage(client_, WM_MDICREATE, 0, 0), 0);
  EXPECT_EQ(Active(), b);
}

TEST_F(TMdiClientTest, ActivateNotifiesBothChildren) {
  HWND a = NewChild("A");
  HWND b = NewChild("B");
  Notes().clear();
  SendMessage(client_, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(a), 0);
  EXPECT_EQ(Notes(), (std::vector<std::string>{"B mdiactivate B->A", "A mdiactivate B->A"}));
  EXPECT_EQ(Active(), a);
  EXPECT_EQ(ZOrder(), "AB");
  Notes().clear();
  SendMessage(client_, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(a), 0);       // already active
  SendMessage(client_, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(frame_), 0);  // not a child
  EXPECT_TRUE(Notes().empty());
  EXPECT_EQ(Active(), a);
  (void)b;
}

TEST_F(TMdiClientTest, MaximisedFlagFollowsTheActiveChild) {
  HWND a = NewChild("A");
  HWND b = NewChild("B");
  SendMessage(client_, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(b), 0);
  BOOL maximized = FALSE;
  EXPECT_EQ(Active(&maximized), b);
  EXPECT_TRUE(maximized);
  EXPECT_TRUE(IsZoomed(b));

  // Activating another child keeps the client maximised: the new one takes over.
  SendMessage(client_, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(a), 0);
  EXPECT_EQ(Active(&maximized), a);
  EXPECT_TRUE(maximized);
  EXPECT_TRUE(IsZoomed(a));
  EXPECT_FALSE(IsZoomed(b));

  SendMessage(client_, WM_MDIRESTORE, reinterpret_cast<WPARAM>(a), 0);
  Active(&maximized);
  EXPECT_FALSE(maximized);
  EXPECT_FALSE(IsZoomed(a));

  // A child created maximised maximises the client.
  HWND c = NewChild("C", WS_MAXIMIZE);
  EXPECT_EQ(Active(&maximized), c);
  EXPECT_TRUE(maximized);
  EXPECT_TRUE(IsZoomed(c));
}

TEST_F(TMdiClientTest, DestroyActivatesTheNextChild) {
  HWND a = NewChild("A");
  HWND b = NewChild("B");
  Notes().clear();
  SendMessage(client_, WM_MDIDESTROY, reinterpret_cast<WPARAM>(b), 0);
  EXPECT_FALSE(IsWindow(b));
  EXPECT_EQ(Active(), a);
  EXPECT_EQ(Notes(), (std::vector<std::string>{"B mdiactivate B->A", "A mdiactivate 0->A"}));

  // Closing through the child's default procedure goes the same way.
  SendMessage(a, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(a));
  BOOL maximized = TRUE;
  EXPECT_EQ(Active(&maximized), nullptr);
  EXPECT_FALSE(maximized);

  // A child destroyed behind the client's back is forgotten.
  HWND c = NewChild("C");
  DestroyWindow(c);
  EXPECT_EQ(Active(), nullptr);
}

TEST_F(TMdiClientTest, NextAndPreviousCycle) {
  HWND a = NewChild("A");
  HWND b = NewChild("B");
  HWND c = NewChild("C");
  struct TStep {
    LPARAM Previous;
    HWND Want;
    const char* Order;
  };
  const TStep steps[] = {{0, b, "BAC"}, {0, a, "ACB"}, {1, b, "BAC"}, {1, c, "CBA"}};
  for (const TStep& s : steps) {
    SendMessage(client_, WM_MDINEXT, 0, s.Previous);
    SCOPED_TRACE(s.Order);
    EXPECT_EQ(Active(), s.Want);
    EXPECT_EQ(ZOrder(), s.Order);
  }
}

TEST_F(TMdiClientTest, TileCoversTheClientWithoutOverlap) {
  for (WPARAM how : {MDITILE_VERTICAL, MDITILE_HORIZONTAL}) {
    for (int n : {1, 2, 3, 5}) {
      SCOPED_TRACE(std::to_string(how) + " n=" + std::to_string(n));
      std::vector<HWND> kids;
      for (int i = 0; i < n; ++i) kids.push_back(NewChild("K"));
      ASSERT_TRUE(SendMessage(client_, WM_MDITILE, how, 0));
      RECT area;
      GetClientRect(client_, &area);
      long covered = 0;
      for (size_t i = 0; i < kids.size(); ++i) {
        RECT r = RectInClient(kids[i]);
        EXPECT_GE(r.Left, 0);
        EXPECT_GE(r.Top, 0);
        EXPECT_LE(r.Right, area.Right);
        EXPECT_LE(r.Bottom, area.Bottom);
        covered += static_cast<long>(r.Width()) * r.Height();
        for (size_t j = 0; j < i; ++j) {
          RECT both;
          EXPECT_FALSE(IntersectRect(both, r, RectInClient(kids[j])));
        }
      }
      EXPECT_GT(covered, static_cast<long>(area.Width()) * area.Height() * 9 / 10);
      if (n == 2) {
        RECT r0 = RectInClient(kids[0]), r1 = RectInClient(kids[1]);
        if (how == MDITILE_VERTICAL)
          EXPECT_EQ(r0.Top, r1.Top);  // side by side
        else
          EXPECT_EQ(r0.Left, r1.Left);  // one above the other
      }
      for (HWND k : kids) SendMessage(client_, WM_MDIDESTROY, reinterpret_cast<WPARAM>(k), 0);
    }
  }
  EXPECT_FALSE(SendMessage(client_, WM_MDITILE, 0, 0));  // nothing to arrange
}

TEST_F(TMdiClientTest, CascadePutsTheActiveChildInFrontAndLast) {
  HWND a = NewChild("A");
  HWND b = NewChild("B");
  HWND c = NewChild("C");
  SendMessage(client_, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(c), 0);
  ASSERT_TRUE(SendMessage(client_, WM_MDICASCADE, 0, 0));
  BOOL maximized = TRUE;
  EXPECT_EQ(Active(&maximized), c);
  EXPECT_FALSE(maximized);  // arranging restores
  const int step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
  EXPECT_EQ(RectInClient(a).Left, 0);
  EXPECT_EQ(RectInClient(b).Left, step);
  EXPECT_EQ(RectInClient(c).Top, 2 * step);
  EXPECT_EQ(RectInClient(a).Width(), RectInClient(c).Width());

  EnableWindow(b, FALSE);
  ASSERT_TRUE(SendMessage(client_, WM_MDICASCADE, MDITILE_SKIPDISABLED, 0));
  EXPECT_EQ(RectInClient(c).Top, step);
  EXPECT_EQ(RectInClient(b).Top, step);  // left where it was
}

TEST_F(TMdiClientTest, SetMenuReplacesTheFrameMenu) {
  HMENU first = CreateMenu();
  HMENU second = CreateMenu();
  SetMenu(frame_, first);
  EXPECT_EQ(reinterpret_cast<HMENU>(SendMessage(client_, WM_MDISETMENU, reinterpret_cast<WPARAM>(second), 0)),
            first);
  EXPECT_EQ(GetMenu(frame_), second);
  // A null frame menu leaves the frame's menu alone.
  EXPECT_EQ(reinterpret_cast<HMENU>(SendMessage(client_, WM_MDISETMENU, 0, 0)), second);
  EXPECT_EQ(GetMenu(frame_), second);
  SetMenu(frame_, nullptr);
  DestroyMenu(first);
  DestroyMenu(second);
}

TEST_F(TMdiClientTest, DefaultProceduresRouteToTheClient) {
  HWND a = NewChild("A");
  HWND b = NewChild("B");
  SetWindowPos(frame_, nullptr, 0, 0, 600, 450, SWP_NOMOVE | SWP_NOZORDER);
  DefFrameProc(frame_, client_, WM_SIZE, 0, 0);
  RECT frameClient, clientRect;
  GetClientRect(frame_, &frameClient);
  GetClientRect(client_, &clientRect);
  EXPECT_EQ(clientRect.Width(), frameClient.Width());

  DefFrameProc(frame_, client_, WM_COMMAND, kFirstId, 0);  // the window-list id of A
  EXPECT_EQ(Active(), a);
  SendMessage(b, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  BOOL maximized = FALSE;
  EXPECT_EQ(Active(&maximized), b);
  EXPECT_TRUE(maximized);
  SendMessage(b, WM_SYSCOMMAND, SC_RESTORE, 0);
  Active(&maximized);
  EXPECT_FALSE(maximized);
  SendMessage(b, WM_SYSCOMMAND, SC_NEXTWINDOW, 0);
  EXPECT_EQ(Active(), a);
}

}  // namespace
}  // namespace wintest
