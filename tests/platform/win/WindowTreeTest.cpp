// The tree: relations between windows, reparenting, owners and enumeration.
#include "platform/win/WindowManager.h"
#include "tests/platform/win/MessageLog.h"

namespace wintest {
namespace {

class TWindowTreeTest : public TWinTest {
 protected:
  void SetUp() override {
    TWinTest::SetUp();
    frame = Make("frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 300, 300});
    a = Make("a", WS_CHILD | WS_VISIBLE, {0, 0, 100, 100}, frame);
    a1 = Make("a1", WS_CHILD | WS_VISIBLE, {0, 0, 10, 10}, a);
    b = Make("b", WS_CHILD | WS_VISIBLE, {100, 0, 200, 100}, frame);
    popup = Make("popup", WS_POPUP | WS_VISIBLE, {0, 0, 50, 50}, a1);  // owned by a1's top-level window
  }
  static std::string N(HWND h) { return Log().NameOf(h); }
  HWND frame = nullptr, a = nullptr, a1 = nullptr, b = nullptr, popup = nullptr;
};

TEST_F(TWindowTreeTest, Relations) {
  struct Case {
    HWND w;
    UINT cmd;
    const char* expected;
  };
  const Case cases[] = {
      {frame, GW_CHILD, "a"},
      {a, GW_HWNDNEXT, "b"},
      {b, GW_HWNDPREV, "a"},
      {b, GW_HWNDNEXT, "0"},
      {b, GW_HWNDFIRST, "a"},
      {a, GW_HWNDLAST, "b"},
      {popup, GW_OWNER, "frame"},
      {a1, GW_CHILD, "0"},
      {frame, GW_ENABLEDPOPUP, "popup"},
      {popup, GW_ENABLEDPOPUP, "popup"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << N(c.w) << " " << c.cmd);
    EXPECT_EQ(N(GetWindow(c.w, c.cmd)), c.expected);
  }
  EXPECT_TRUE(IsChild(frame, a1));
  EXPECT_FALSE(IsChild(a, b));
  EXPECT_FALSE(IsChild(frame, popup));  // owned, not a child
  EXPECT_FALSE(IsChild(GetDesktopWindow(), frame));
  EXPECT_EQ(GetParent(a1), a);
  EXPECT_EQ(GetAncestor(a1, GA_ROOT), frame);
  EXPECT_EQ(GetAncestor(popup, GA_ROOTOWNER), frame);
  EXPECT_EQ(GetAncestor(frame, GA_PARENT), GetDesktopWindow());
  EXPECT_EQ(GetDlgItem(frame, 0), a);
  EXPECT_EQ(GetTopWindow(frame), a);
}

TEST_F(TWindowTreeTest, EnumerationWalksDepthFirstInZOrderAndStopsOnRequest) {
  std::vector<std::string> seen;
  EnumChildWindows(
      frame,
      [&](HWND h, LPARAM l) {
        seen.push_back(N(h));
        EXPECT_EQ(l, 42);
        return TRUE;
      },
      42);
  EXPECT_EQ(seen, (std::vector<std::string>{"a", "a1", "b"}));
  seen.clear();
  EXPECT_FALSE(EnumWindows(
      [&](HWND h, LPARAM) {
        seen.push_back(N(h));
        return FALSE;
      },
      0));
  EXPECT_EQ(seen, (std::vector<std::string>{"popup"}));
  // Windows destroyed during the walk are skipped, not visited dead.
  seen.clear();
  EnumChildWindows(
      frame,
      [&](HWND h, LPARAM) {
        seen.push_back(N(h));
        if (h == a) DestroyWindow(a);
        return TRUE;
      },
      0);
  EXPECT_EQ(seen, (std::vector<std::string>{"a", "b"}));
}

TEST_F(TWindowTreeTest, SetParentMovesWindowsBetweenParentsAndToTheTopLevel) {
  EXPECT_EQ(SetParent(a1, b), a);
  EXPECT_EQ(GetParent(a1), b);
  EXPECT_TRUE(IsChild(b, a1));
  RECT r;
  GetWindowRect(a1, &r);
  POINT p{r.Left, r.Top};
  ScreenToClient(b, &p);
  EXPECT_EQ(p, (POINT{0, 0}));  // the same place in the new parent's client area
  EXPECT_EQ(SetParent(a1, nullptr), b);
  EXPECT_EQ(GetAncestor(a1, GA_PARENT), GetDesktopWindow());
  EXPECT_EQ(GetParent(a1), GetDesktopWindow());  // still WS_CHILD
  EXPECT_EQ(SetParent(frame, a), nullptr);       // never into its own subtree
  EXPECT_EQ(SetParent(a, a), nullptr);
  EXPECT_EQ(GetParent(a), frame);
}

TEST_F(TWindowTreeTest, OwnerThroughWindowLong) {
  HWND other = Make("other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 50, 50});
  EXPECT_EQ(reinterpret_cast<HWND>(GetWindowLong(popup, GWL_HWNDPARENT)), frame);
  EXPECT_EQ(reinterpret_cast<HWND>(SetWindowLong(popup, GWL_HWNDPARENT, reinterpret_cast<LONG_PTR>(other))),
            frame);
  EXPECT_EQ(GetWindow(popup, GW_OWNER), other);
  // Owned windows stay above their owner.
  bool popupAbove = false;
  for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT)) {
    if (h == popup) popupAbove = true;
    if (h == other) break;
  }
  EXPECT_TRUE(popupAbove);
  // No cycles.
  SetWindowLong(other, GWL_HWNDPARENT, reinterpret_cast<LONG_PTR>(popup));
  EXPECT_EQ(GetWindow(other, GW_OWNER), nullptr);
  EXPECT_EQ(reinterpret_cast<HWND>(GetWindowLong(a, GWL_HWNDPARENT)), frame);
}

TEST_F(TWindowTreeTest, ObserversHearAboutTheLifeOfWindows) {
  std::vector<std::string> events;
  const int id = win_internal::AddWindowObserver([&](const win_internal::TWindowNotice& n) {
    using E = win_internal::TWindowEvent;
    const char* name = n.Event == E::Created       ? "created"
                       : n.Event == E::Destroyed   ? "destroyed"
                       : n.Event == E::Shown       ? "shown"
                       : n.Event == E::Hidden      ? "hidden"
                       : n.Event == E::TextChanged ? "text"
                                                   : nullptr;
    if (name) events.push_back(std::string(name) + " " + N(n.Hwnd));
  });
  HWND w = Make("w", WS_POPUP, {0, 0, 10, 10});
  ShowWindow(w, SW_SHOWNA);
  SetWindowText(w, "hello");
  ShowWindow(w, SW_HIDE);
  DestroyWindow(w);
  win_internal::RemoveWindowObserver(id);
  Make("unseen", WS_POPUP, {0, 0, 10, 10});
  EXPECT_EQ(events, (std::vector<std::string>{"created w", "shown w", "text w", "hidden w", "destroyed w"}));
}

// A parent with many children: the order seen through GetWindow both ways stays the model's
// through removals from the top (past the point where the list gathers its free slots),
// moves to either end or below a sibling above or below, an adoption and a removal in the
// middle; the parent's destruction then frees the children from the top down.
TEST_F(TWindowTreeTest, ManySiblingsKeepTheirZOrderThroughEveryChange) {
  HWND parent = Make("many", WS_POPUP, {0, 0, 100, 100});
  std::vector<HWND> model;
  for (int i = 0; i < 60; ++i) model.push_back(Make("c" + std::to_string(i), WS_CHILD, {0, 0, 5, 5}, parent));
  auto at = [&model](size_t i) { return model[i]; };
  auto place = [&model](HWND w, size_t to) {
    std::erase(model, w);
    model.insert(model.begin() + static_cast<std::ptrdiff_t>(to), w);
  };
  auto move = [](HWND w, HWND after) {
    SetWindowPos(w, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  };
  enum Op { DestroyTop, ToTop, ToBottom, BelowSibling, DestroyAt, Adopt };
  struct Step {
    const char* id;
    Op op;
    size_t who, other;
    int repeat;
  };
  const Step steps[] = {
      {"top-goes", DestroyTop, 0, 0, 10},
      {"to-top", ToTop, 12, 0, 3},
      {"more-top-goes", DestroyTop, 0, 0, 25},  // past the gathering of the free slots
      {"to-top-again", ToTop, 6, 0, 2},
      {"to-bottom", ToBottom, 0, 0, 2},
      {"below-later", BelowSibling, 2, 9, 1},
      {"below-earlier", BelowSibling, 20, 4, 1},
      {"below-itself", BelowSibling, 5, 5, 1},
      {"middle-goes", DestroyAt, 7, 0, 2},
      {"adopted", Adopt, 0, 0, 1},  // takes a slot freed at the top
      {"top-goes-again", DestroyTop, 0, 0, 5},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.id);
    for (int r = 0; r < s.repeat; ++r) switch (s.op) {
        case DestroyTop:
          DestroyWindow(at(0));
          model.erase(model.begin());
          break;
        case ToTop: {
          HWND w = at(s.who);
          move(w, HWND_TOP);
          place(w, 0);
          break;
        }
        case ToBottom: {
          HWND w = at(s.who);
          move(w, HWND_BOTTOM);
          place(w, model.size() - 1);
          break;
        }
        case BelowSibling: {
          HWND w = at(s.who), sibling = at(s.other);
          move(w, sibling);
          if (w != sibling) {
            std::erase(model, w);
            place(w, static_cast<size_t>(std::find(model.begin(), model.end(), sibling) - model.begin()) + 1);
          }
          break;
        }
        case DestroyAt:
          DestroyWindow(at(s.who));
          model.erase(model.begin() + static_cast<std::ptrdiff_t>(s.who));
          break;
        case Adopt: {
          HWND w = Make("adoptee", WS_CHILD, {0, 0, 5, 5}, frame);
          SetParent(w, parent);
          model.insert(model.begin(), w);
          break;
        }
      }
    std::vector<HWND> down, up;
    for (HWND h = GetWindow(parent, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) down.push_back(h);
    for (HWND h = GetWindow(GetWindow(parent, GW_CHILD), GW_HWNDLAST); h; h = GetWindow(h, GW_HWNDPREV))
      up.insert(up.begin(), h);
    EXPECT_EQ(down, model);
    EXPECT_EQ(up, model);
  }
  std::vector<HWND> freed;
  const int id = win_internal::AddWindowObserver([&](const win_internal::TWindowNotice& n) {
    if (n.Event == win_internal::TWindowEvent::Destroyed && n.Hwnd != parent) freed.push_back(n.Hwnd);
  });
  DestroyWindow(parent);
  win_internal::RemoveWindowObserver(id);
  EXPECT_EQ(freed, model);
}

TEST_F(TWindowTreeTest, ResetLeavesNothingBehind) {
  EXPECT_GT(win_internal::WindowCount(), 0u);
  WinTesting::ResetWindowManager();
  EXPECT_EQ(win_internal::WindowCount(), 0u);
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(GetTopWindow(nullptr), nullptr);
}

}  // namespace
}  // namespace wintest
