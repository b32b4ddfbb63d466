// Window procedures as closures: subclass chains through GWL_WNDPROC, restoring in any order,
// lifetime of the closures, and the hidden utility window.
#include <algorithm>
#include <numeric>

#include "tests/platform/win/MessageLog.h"

namespace wintest {
namespace {

using TSubclassTest = TWinTest;

constexpr UINT kProbe = WM_APP + 1;

// A subclasser that notes its name and passes the message on to the procedure it replaced.
struct TSubclasser {
  std::string Name;
  std::vector<std::string>* Trace = nullptr;
  LONG_PTR Previous = 0;
  TWndProcInstance Instance;

  TSubclasser(std::string name, std::vector<std::string>* trace)
      : Name(std::move(name)), Trace(trace), Instance([this](HWND h, UINT m, WPARAM w, LPARAM l) {
          if (m == kProbe) Trace->push_back(Name);
          return CallWindowProc(WNDPROC(Previous), h, m, w, l);
        }) {}
  void Attach(HWND h) { Previous = SetWindowLong(h, GWL_WNDPROC, Instance.Token()); }
};

TEST_F(TSubclassTest, SetWindowLongAnswersThePreviousProcedureAndChainsRunNewestFirst) {
  HWND w = Make("w", WS_POPUP, {0, 0, 10, 10});
  const LONG_PTR original = GetWindowLong(w, GWL_WNDPROC);
  EXPECT_EQ(original, WNDPROC(&TMessageLog::Proc).Token());  // a plain function keeps one identity
  std::vector<std::string> trace;
  TSubclasser a("a", &trace), b("b", &trace);
  a.Attach(w);
  b.Attach(w);
  EXPECT_EQ(a.Previous, original);
  EXPECT_EQ(b.Previous, a.Instance.Token());
  Log().Clear();
  SendMessage(w, kProbe, 0, 0);
  EXPECT_EQ(trace, (std::vector<std::string>{"b", "a"}));
  EXPECT_TRUE(SequenceIs(Log().Sequence(), {"w 0x8001"}));  // reached the class procedure last
  DestroyWindow(w);                                         // before the subclassers go
}

TEST_F(TSubclassTest, ChainsRoundTripInEveryRestoreOrder) {
  // Three subclassers attach in order and detach in each of the six orders. A subclasser that
  // is on top restores its predecessor; one that is not on top splices itself out by handing
  // its predecessor to the one that chained to it. Whatever the order, the window ends with
  // its original procedure and every step in between calls exactly the attached ones.
  std::vector<int> order{0, 1, 2};
  do {
    SCOPED_TRACE(testing::Message() << order[0] << order[1] << order[2]);
    HWND w = Make("w", WS_POPUP, {0, 0, 10, 10});
    const LONG_PTR original = GetWindowLong(w, GWL_WNDPROC);
    std::vector<std::string> trace;
    std::vector<std::unique_ptr<TSubclasser>> subs;
    for (const char* n : {"s0", "s1", "s2"}) {
      subs.push_back(std::make_unique<TSubclasser>(n, &trace));
      subs.back()->Attach(w);
    }
    std::vector<int> attached{2, 1, 0};  // call order, newest first
    for (int leaving : order) {
      TSubclasser& s = *subs[static_cast<size_t>(leaving)];
      if (GetWindowLong(w, GWL_WNDPROC) == s.Instance.Token()) {
        EXPECT_EQ(SetWindowLong(w, GWL_WNDPROC, s.Previous), s.Instance.Token());
      } else {
        for (auto& other : subs)
          if (other->Previous == s.Instance.Token()) other->Previous = s.Previous;
      }
      std::erase(attached, leaving);
      trace.clear();
      SendMessage(w, kProbe, 0, 0);
      std::vector<std::string> expected;
      for (int i : attached) expected.push_back("s" + std::to_string(i));
      EXPECT_EQ(trace, expected);
    }
    EXPECT_EQ(GetWindowLong(w, GWL_WNDPROC), original);
    DestroyWindow(w);
  } while (std::next_permutation(order.begin(), order.end()));
}

TEST_F(TSubclassTest, ContextProceduresAndPlainFunctions) {
  struct TCounter {
    int Calls = 0;
    static LRESULT Proc(void* ctx, HWND h, UINT m, WPARAM w, LPARAM l) {
      if (m == kProbe) return ++static_cast<TCounter*>(ctx)->Calls;
      return DefWindowProc(h, m, w, l);
    }
  } one, two;
  WNDPROC p1 = MakeWndProc(&TCounter::Proc, &one);
  WNDPROC p2 = MakeWndProc(&TCounter::Proc, &two);
  EXPECT_NE(p1, p2);  // the same function with two contexts: two procedures
  HWND w = Make("w", WS_POPUP, {0, 0, 10, 10});
  SetWindowLong(w, GWL_WNDPROC, p1.Token());
  EXPECT_EQ(SendMessage(w, kProbe, 0, 0), 1);
  EXPECT_EQ(CallWindowProc(p2, w, kProbe, 0, 0), 1);
  EXPECT_EQ(one.Calls, 1);
  EXPECT_EQ(two.Calls, 1);
  FreeWndProc(p2);
  EXPECT_FALSE(IsWndProcAlive(p2));
  // A freed procedure is never called; the default procedure stands in.
  EXPECT_EQ(CallWindowProc(p2, w, WM_GETTEXTLENGTH, 0, 0), 1);
  EXPECT_EQ(two.Calls, 1);
  EXPECT_EQ(CallWindowProc(nullptr, w, kProbe, 0, 0), 0);
  FreeWndProc(p1);  // still installed: it lives on with the window
  EXPECT_TRUE(IsWndProcAlive(p1));
  EXPECT_EQ(SendMessage(w, kProbe, 0, 0), 2);
  DestroyWindow(w);
  EXPECT_FALSE(IsWndProcAlive(p1));
}

TEST_F(TSubclassTest, ReplacedProcedureOfADeadOwnerIsReleasedWhenUninstalled) {
  HWND w = Make("w", WS_POPUP, {0, 0, 10, 10});
  int calls = 0;
  WNDPROC p = MakeWndProc([&calls](HWND h, UINT m, WPARAM wp, LPARAM lp) {
    ++calls;
    return DefWindowProc(h, m, wp, lp);
  });
  const LONG_PTR original = SetWindowLong(w, GWL_WNDPROC, p.Token());
  FreeWndProc(p);
  SendMessage(w, kProbe, 0, 0);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(SetWindowLong(w, GWL_WNDPROC, original), p.Token());
  EXPECT_FALSE(IsWndProcAlive(p));
  // A token that was never made is refused rather than called.
  SetWindowLong(w, GWL_WNDPROC, 0x4ABC1234);
  EXPECT_EQ(SendMessage(w, WM_GETTEXTLENGTH, 0, 0), 1);
}

TEST_F(TSubclassTest, AProcedureMayFreeItselfWhileRunning) {
  HWND w = Make("w", WS_POPUP, {0, 0, 10, 10});
  const LONG_PTR original = GetWindowLong(w, GWL_WNDPROC);
  auto* self = new WNDPROC;
  std::string seen;
  *self = MakeWndProc([&, original](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m != kProbe) return CallWindowProc(WNDPROC(original), h, m, wp, lp);
    SetWindowLong(h, GWL_WNDPROC, original);
    FreeWndProc(*self);
    seen = "after free";  // the closure's captures are still valid here
    return 7;
  });
  SetWindowLong(w, GWL_WNDPROC, self->Token());
  EXPECT_EQ(SendMessage(w, kProbe, 0, 0), 7);
  EXPECT_EQ(seen, "after free");
  EXPECT_FALSE(IsWndProcAlive(*self));
  delete self;
}

TEST_F(TSubclassTest, ClassProcedureAndInstanceData) {
  WNDCLASSEX wc;
  wc.lpfnWndProc = MakeWndProc([](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == kProbe) return GetWindowLong(h, 0) + GetWindowLongPtr(h, 4);
    return DefWindowProc(h, m, w, l);
  });
  wc.cbWndExtra = 12;
  wc.cbClsExtra = 4;
  wc.hInstance = MainInstance();
  wc.lpszClassName = "Extra";
  ASSERT_NE(RegisterClassEx(&wc), 0);
  FreeWndProc(wc.lpfnWndProc);  // the class keeps it
  HWND w = CreateWindowEx(0, "Extra", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, MainInstance(), nullptr);
  ASSERT_TRUE(w);
  EXPECT_EQ(SetWindowLong(w, 0, 40), 0);
  EXPECT_EQ(SetWindowLongPtr(w, 4, 2), 0);
  EXPECT_EQ(SendMessage(w, kProbe, 0, 0), 42);
  EXPECT_EQ(SetWindowLong(w, 10, 1), 0);  // past the extra bytes
  EXPECT_EQ(GetWindowLong(w, 10), 0);
  EXPECT_EQ(GetWindowLongPtr(w, 8), 0);
  EXPECT_EQ(GetWindowLong(w, -100), 0);
  EXPECT_EQ(SetClassLong(w, 0, 5), 0);
  EXPECT_EQ(GetClassLong(w, 0), 5);
  EXPECT_EQ(GetClassLong(w, GCL_CBWNDEXTRA), 12);
  DestroyWindow(w);
  EXPECT_TRUE(IsWndProcAlive(wc.lpfnWndProc));
  EXPECT_TRUE(UnregisterClass("Extra", MainInstance()));
  EXPECT_FALSE(IsWndProcAlive(wc.lpfnWndProc));
}

TEST_F(TSubclassTest, UtilityWindowSendsEverythingToItsHandler) {
  std::vector<UINT> seen;
  HWND h = nullptr;
  h = AllocateHWnd([&](UINT m, WPARAM w, LPARAM l) -> LRESULT {
    seen.push_back(m);
    if (m == kProbe) return 99;
    return DefWindowProc(h, m, w, l);
  });
  ASSERT_TRUE(h);
  EXPECT_FALSE(IsWindowVisible(h));
  EXPECT_EQ(SendMessage(h, kProbe, 0, 0), 99);
  PostMessage(h, WM_TIMER, 1, 0);
  Pump();
  EXPECT_EQ(seen, (std::vector<UINT>{kProbe, WM_TIMER}));
  DeallocateHWnd(h);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(seen.back(), WM_NCDESTROY);
}

}  // namespace
}  // namespace wintest
