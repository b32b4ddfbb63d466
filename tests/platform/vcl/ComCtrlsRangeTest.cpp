// Track bar, up-down and progress bar: positions within their limits, the window agreeing,
// keys and clicks, the track bar's drag and paging and its drawn ticks and selection, custom
// draw, and the up-down's associated control.
#include <string>
#include <vector>

#include "tests/platform/vcl/ComCtrlsTestUtil.h"

namespace {

class ComCtrlsTrackBarTest : public TComCtrlsTest {};

TEST_F(ComCtrlsTrackBarTest, PositionStaysWithinTheLimits) {
  auto* t = Make<TTrackBar>();
  int changes = 0;
  t->OnChange = [&](TObject*) { ++changes; };
  struct Case {
    int min, max, position, expected;
  } cases[] = {{0, 10, 5, 5}, {0, 10, 11, 10}, {0, 10, -1, 0}, {-20, -10, 0, -10}, {3, 3, 9, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.position);
    t->SetParams(c.position, c.min, c.max);
    EXPECT_EQ(t->Position(), c.expected);
  }
  EXPECT_EQ(changes, 5);  // 5, 10, 0, -10, 3
  t->SetParams(0, 0, 10);
  t->SetMin(20);  // above Max: ignored
  t->SetMax(-5);  // below Min: ignored
  EXPECT_EQ(t->Min(), 0);
  EXPECT_EQ(t->Max(), 10);
  ShowForm();
  t->SetPosition(7);
  EXPECT_EQ(SendMessage(t->Handle(), TBM_GETPOS, 0, 0), 7);
  EXPECT_EQ(SendMessage(t->Handle(), TBM_GETRANGEMAX, 0, 0), 10);
}

TEST_F(ComCtrlsTrackBarTest, KeysStepByLineAndPageSize) {
  auto* t = Make<TTrackBar>();
  t->SetParams(5, 0, 20);
  t->SetLineSize(2);
  t->SetPageSize(5);
  ShowForm();
  t->SetFocus();
  struct Case {
    int vk, expected;
  } cases[] = {{VK_RIGHT, 7}, {VK_LEFT, 5},   {VK_NEXT, 10}, {VK_PRIOR, 5},
               {VK_END, 20},  {VK_RIGHT, 20}, {VK_HOME, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.vk);
    Press(c.vk);
    EXPECT_EQ(t->Position(), c.expected);
  }
}

class TRecordingTrackBar : public TTrackBar {
 public:
  using TTrackBar::TTrackBar;
  std::vector<std::pair<DWORD, DWORD_PTR>> stages;
  LRESULT CustomDraw(const NMCUSTOMDRAW& Draw) override {
    stages.emplace_back(Draw.dwDrawStage, Draw.dwItemSpec);
    if (Draw.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    return Draw.dwItemSpec == TBCD_THUMB ? CDRF_SKIPDEFAULT : CDRF_DODEFAULT;
  }
};

TEST_F(ComCtrlsTrackBarTest, CustomDrawReachesTheControlThroughItsParent) {
  auto* t = Make<TRecordingTrackBar>();
  ShowForm();
  t->stages.clear();
  t->Invalidate();
  t->Update();
  const std::vector<std::pair<DWORD, DWORD_PTR>> expected{{CDDS_PREPAINT, 0},
                                                          {CDDS_ITEMPREPAINT, TBCD_CHANNEL},
                                                          {CDDS_ITEMPREPAINT, TBCD_TICS},
                                                          {CDDS_ITEMPREPAINT, TBCD_THUMB}};
  EXPECT_EQ(t->stages, expected);
}

TEST_F(ComCtrlsTrackBarTest, OrientationTurnsTheBarAndItsWindow) {
  auto* t = Make<TTrackBar>();
  t->SetBounds(0, 0, 150, 45);
  ShowForm();
  t->SetOrientation(trVertical);
  EXPECT_EQ(t->Width(), 45);
  EXPECT_EQ(t->Height(), 150);
  EXPECT_TRUE(GetWindowLong(t->Handle(), GWL_STYLE) & TBS_VERT);
}

// --- track bar and the mouse ---------------------------------------------------------------------

// A track bar on the form with the form's WM_HSCROLL/WM_VSCROLL from it recorded as (code, position).
class ComCtrlsTrackBarMouseTest : public TComCtrlsTest {
 protected:
  void SetUp() override {
    TComCtrlsTest::SetUp();
    t = Make<TTrackBar>();
    t->SetBounds(10, 10, 216, 45);
    t->OnChange = [this](TObject*) { ++changes; };
    const TWndMethod saved = form->WindowProc();
    form->SetWindowProc([this, saved](TMessage& m) {
      if ((m.Msg == WM_HSCROLL || m.Msg == WM_VSCROLL) && t->HandleAllocated() &&
          m.LParam == reinterpret_cast<LPARAM>(t->Handle()))
        Record(m);
      saved(m);
    });
    ShowForm();
  }

  void Record(const TMessage& m) {
    EXPECT_EQ(m.Msg, t->Orientation() == trVertical ? WM_VSCROLL : WM_HSCROLL);
    const int code = LOWORD(m.WParam);
    const int pos = static_cast<SHORT>(HIWORD(m.WParam));
    codes.emplace_back(code, pos);
  }

  void Orient(TTrackBarOrientation o) {
    t->SetOrientation(o);
    if (o == trVertical && t->Width() > t->Height()) t->SetBounds(10, 10, 45, 216);
    Application->ProcessMessages();
  }

  RECT Rc(UINT msg) {
    RECT r{};
    SendMessage(t->Handle(), msg, 0, reinterpret_cast<LPARAM>(&r));
    return r;
  }
  // Along the channel (the channel rect is answered as if horizontal) where a value sits.
  int AlongOf(int value) {
    const RECT ch = Rc(TBM_GETCHANNELRECT);
    return ch.Left + (value - t->Min()) * ch.Width() / (t->Max() - t->Min());
  }
  int ThumbAlong() {
    const RECT th = Rc(TBM_GETTHUMBRECT);
    return t->Orientation() == trVertical ? (th.Top + th.Bottom) / 2 : (th.Left + th.Right) / 2;
  }
  // A screen point at `along`, across the middle of the thumb.
  TPoint At(int along) {
    const RECT th = Rc(TBM_GETTHUMBRECT);
    const TPoint p = t->Orientation() == trVertical ? TPoint{(th.Left + th.Right) / 2, along}
                                                    : TPoint{along, (th.Top + th.Bottom) / 2};
    return t->ClientToScreen(p);
  }
  void Down(int along) {
    Input::MouseDown(VK_LBUTTON, At(along));
    Application->ProcessMessages();
  }
  void Move(int along) {
    Input::MouseMove(At(along));
    Application->ProcessMessages();
  }
  void Up(int along) {
    Input::MouseUp(VK_LBUTTON, At(along));
    Application->ProcessMessages();
  }

  TTrackBar* t = nullptr;
  std::vector<std::pair<int, int>> codes;
  int changes = 0;
};

using TCodes = std::vector<std::pair<int, int>>;

TEST_F(ComCtrlsTrackBarMouseTest, DraggingTheThumbTracksWithinTheRangeAndReportsOnRelease) {
  struct Case {
    TTrackBarOrientation orientation;
    int min, max;
  } cases[] = {{trHorizontal, 0, 10}, {trVertical, 0, 10}, {trHorizontal, -30, -20}, {trVertical, -30, -20}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "vertical " << (c.orientation == trVertical) << " min " << c.min);
    Orient(c.orientation);
    t->SetParams(c.min + 5, c.min, c.max);
    codes.clear();
    changes = 0;
    // Pressed off the thumb's centre: the thumb keeps that offset from the cursor.
    const int grip = ThumbAlong() + 2;
    Down(grip);
    Move(AlongOf(c.min + 7) + 2);
    Move(AlongOf(c.max) + 40);  // past the end
    Move(AlongOf(c.min) - 30);  // before the start
    Move(AlongOf(c.min + 3) + 2);
    Up(AlongOf(c.min + 3) + 2);
    const TCodes expected{{TB_THUMBTRACK, c.min + 7}, {TB_THUMBTRACK, c.max},        {TB_THUMBTRACK, c.min},
                          {TB_THUMBTRACK, c.min + 3}, {TB_THUMBPOSITION, c.min + 3}, {TB_ENDTRACK, 0}};
    EXPECT_EQ(codes, expected);
    EXPECT_EQ(t->Position(), c.min + 3);
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(GetCapture(), nullptr);
  }
}

TEST_F(ComCtrlsTrackBarMouseTest, APressBesideTheThumbPagesTowardsIt) {
  for (TTrackBarOrientation o : {trHorizontal, trVertical}) {
    SCOPED_TRACE(o);
    Orient(o);
    t->SetParams(5, 0, 10);
    t->SetPageSize(3);
    codes.clear();
    changes = 0;
    struct Step {
      int at, position, code;
    } steps[] = {
        {9, 8, TB_PAGEDOWN}, {9, 10, TB_PAGEDOWN}, {0, 7, TB_PAGEUP}, {1, 4, TB_PAGEUP}, {1, 1, TB_PAGEUP}};
    TCodes expected;
    for (const Step& s : steps) {
      Down(AlongOf(s.at));
      Up(AlongOf(s.at));
      EXPECT_EQ(t->Position(), s.position);
      expected.insert(expected.end(), {{s.code, 0}, {TB_ENDTRACK, 0}});
    }
    EXPECT_EQ(codes, expected);
    EXPECT_EQ(changes, 5);
    // On the thumb at the end: a press and release without a move changes nothing.
    Down(ThumbAlong());
    Up(ThumbAlong());
    EXPECT_EQ(t->Position(), 1);
    EXPECT_EQ(changes, 5);
  }
}

TEST_F(ComCtrlsTrackBarMouseTest, AHeldPressRepeatsPagingUntilTheThumbReachesTheCursor) {
  t->SetParams(0, 0, 10);
  t->SetPageSize(2);
  Down(AlongOf(9));
  const int target = AlongOf(9);
  WinTesting::Schedule([this, target] { Input::MouseUp(VK_LBUTTON, At(target)); }, 2000);
  while (WinTesting::ScheduledSteps() > 0 || Input::PendingInput() > 0) Application->HandleMessage();
  Application->ProcessMessages();
  EXPECT_EQ(t->Position(), 10);
  TCodes expected(5, {TB_PAGEDOWN, 0});
  expected.emplace_back(TB_ENDTRACK, 0);
  EXPECT_EQ(codes, expected);
}

TEST_F(ComCtrlsTrackBarMouseTest, ADisabledBarIgnoresTheMouse) {
  t->SetParams(5, 0, 10);
  t->SetEnabled(false);
  Application->ProcessMessages();
  Down(AlongOf(9));
  Up(AlongOf(9));
  Down(ThumbAlong());
  Move(AlongOf(8));
  Up(AlongOf(8));
  EXPECT_EQ(t->Position(), 5);
  EXPECT_TRUE(codes.empty());
}

TEST_F(ComCtrlsTrackBarMouseTest, SelectionAndTicksAreDrawn) {
  const COLORREF black = RGB(0, 0, 0);
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  t->SetParams(10, 0, 10);
  t->SetSelStart(2);
  t->SetSelEnd(6);
  Application->ProcessMessages();
  for (TTrackBarOrientation o : {trHorizontal, trVertical}) {
    SCOPED_TRACE(o);
    Orient(o);
    const RECT ch = Rc(TBM_GETCHANNELRECT);
    const int across = (ch.Top + ch.Bottom) / 2;
    auto pixel = [&](int along, int acrossAt) {
      return o == trVertical ? PixelOf(t, acrossAt, along) : PixelOf(t, along, acrossAt);
    };
    EXPECT_EQ(pixel(AlongOf(4), across), highlight);
    EXPECT_NE(pixel(AlongOf(8), across), highlight);
    EXPECT_NE(pixel(AlongOf(1), across), highlight);
  }
  Orient(trHorizontal);
  struct Case {
    TTickStyle style;
    TTickMark marks;
    int frequency;
    std::vector<int> ticked, plain;
  } cases[] = {{tsManual, tmBottomRight, 1, {0, 3, 10}, {4, 5}},
               {tsAuto, tmBottomRight, 5, {0, 5, 10}, {3, 4}},
               {tsAuto, tmTopLeft, 1, {0, 3, 4}, {}},
               {tsNone, tmBottomRight, 1, {}, {0, 3, 10}}};
  t->SetTick(3);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "style " << c.style << " marks " << c.marks);
    t->SetTickStyle(c.style);
    t->SetTickMarks(c.marks);
    t->SetFrequency(c.frequency);
    t->SetPosition(c.style == tsManual ? 7 : 10);  // the thumb clear of the probes
    Application->ProcessMessages();
    const RECT th = Rc(TBM_GETTHUMBRECT);
    const int row = c.marks == tmTopLeft ? th.Top - 2 : th.Bottom + 2;
    const int other = c.marks == tmTopLeft ? th.Bottom + 2 : th.Top - 2;
    for (int v : c.ticked) {
      SCOPED_TRACE(v);
      EXPECT_EQ(PixelOf(t, AlongOf(v), row), black);
      if (other >= 0) {
        EXPECT_NE(PixelOf(t, AlongOf(v), other), black);
      }
    }
    for (int v : c.plain) {
      SCOPED_TRACE(v);
      EXPECT_NE(PixelOf(t, AlongOf(v), row), black);
      EXPECT_NE(PixelOf(t, AlongOf(v), th.Bottom + 2), black);
    }
  }
}

// --- up-down --------------------------------------------------------------------------------------

// A windowed control that keeps a text, standing in for an edit box.
class TTextBox : public TWinControl {
 public:
  using TWinControl::TWinControl;
};

class ComCtrlsUpDownTest : public TComCtrlsTest {
 protected:
  void SetUp() override {
    TComCtrlsTest::SetUp();
    box = Make<TTextBox>();
    box->SetBounds(10, 10, 100, 21);
    box->SetTabStop(true);
    ud = Make<TUpDown>();
    ud->OnClick = [this](TObject*, TUDBtnType b) { clicks.push_back(b == btNext ? "next" : "prev"); };
  }
  TTextBox* box = nullptr;
  TUpDown* ud = nullptr;
  std::vector<std::string> clicks;
};

TEST_F(ComCtrlsUpDownTest, AssociateTakesThePositionAsTextAndGivesUpItsEdge) {
  ud->SetPosition(3);
  ud->SetAssociate(box);
  EXPECT_EQ(box->Text(), "3");
  EXPECT_EQ(box->Width(), 100 - ud->Width());
  EXPECT_EQ(ud->Left(), box->Left() + box->Width());
  EXPECT_EQ(ud->Top(), 10);
  EXPECT_EQ(ud->Height(), 21);
  ud->SetMax(5000);
  ud->SetPosition(1234);
  EXPECT_EQ(box->Text(), "1,234");
  ud->SetThousands(false);
  EXPECT_EQ(box->Text(), "1234");
}

TEST_F(ComCtrlsUpDownTest, StepsStopOrWrapAtTheEnds) {
  ud->SetAssociate(box);
  struct Case {
    bool wrap;
    int increment, position;
    TUDBtnType button;
    int expected;
  } cases[] = {{false, 1, 99, btNext, 100}, {false, 1, 100, btNext, 100}, {true, 1, 100, btNext, 0},
               {false, 1, 0, btPrev, 0},    {true, 1, 0, btPrev, 100},    {false, 5, 50, btPrev, 45}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    ud->SetWrap(c.wrap);
    ud->SetIncrement(c.increment);
    ud->SetPosition(c.position);
    ud->Step(c.button);
    EXPECT_EQ(ud->Position(), c.expected);
    EXPECT_EQ(box->Text(), std::to_string(c.expected));
  }
  EXPECT_EQ(clicks.size(), 6u);
}

TEST_F(ComCtrlsUpDownTest, OnChangingCanRefuse) {
  ud->OnChanging = [](TObject*, bool& allow) { allow = false; };
  ud->Step(btNext);
  EXPECT_EQ(ud->Position(), 0);
  EXPECT_TRUE(clicks.empty());
}

TEST_F(ComCtrlsUpDownTest, ClicksOnTheArrowsStep) {
  ud->SetAssociate(box);
  ShowForm();
  ClickAt(ud, ud->Width() / 2, 2);
  ClickAt(ud, ud->Width() / 2, 2);
  ClickAt(ud, ud->Width() / 2, ud->Height() - 2);
  EXPECT_EQ(ud->Position(), 1);
  EXPECT_EQ(clicks, (std::vector<std::string>{"next", "next", "prev"}));
  EXPECT_EQ(LOWORD(SendMessage(ud->Handle(), UDM_GETPOS, 0, 0)), 1);
  // Horizontal: the right arrow is "next".
  ud->SetOrientation(udHorizontal);
  ClickAt(ud, 1, ud->Height() / 2);
  EXPECT_EQ(clicks.back(), "prev");
}

TEST_F(ComCtrlsUpDownTest, ArrowKeysInTheAssociateStep) {
  ud->SetAssociate(box);
  ShowForm();
  box->SetFocus();
  Press(VK_UP);
  Press(VK_UP);
  Press(VK_DOWN);
  EXPECT_EQ(ud->Position(), 1);
  EXPECT_EQ(box->Text(), "1");
  ud->SetArrowKeys(false);
  Press(VK_UP);
  EXPECT_EQ(ud->Position(), 1);
}

TEST_F(ComCtrlsUpDownTest, FreedAssociateIsForgottenAndItsProcedureRestored) {
  const TWndMethod original = box->WindowProc();
  ud->SetAssociate(box);
  EXPECT_FALSE(box->WindowProc() == original);
  ud->SetAssociate(nullptr);
  EXPECT_TRUE(box->WindowProc() == original);
  ud->SetAssociate(box);
  delete box;
  EXPECT_EQ(ud->Associate(), nullptr);
  ud->Step(btNext);  // no associate to update
  EXPECT_EQ(ud->Position(), 1);
}

// --- progress bar --------------------------------------------------------------------------------

class ComCtrlsProgressBarTest : public TComCtrlsTest {};

TEST_F(ComCtrlsProgressBarTest, StepItWrapsStepByAndPositionStop) {
  auto* p = Make<TProgressBar>();
  ShowForm();
  struct Case {
    const char* what;
    int start;
    int arg;
    int expected;
  } cases[] = {{"StepIt", 0, 0, 10},    {"StepIt", 95, 0, 5},  {"StepBy", 50, 30, 80},
               {"StepBy", 90, 30, 100}, {"StepBy", 5, -30, 0}, {"Position", 0, 150, 100},
               {"Position", 0, -3, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.what) + " " + std::to_string(c.start));
    p->SetPosition(c.start);
    if (std::string(c.what) == "StepIt")
      p->StepIt();
    else if (std::string(c.what) == "StepBy")
      p->StepBy(c.arg);
    else
      p->SetPosition(c.arg);
    EXPECT_EQ(p->Position(), c.expected);
    EXPECT_EQ(SendMessage(p->Handle(), PBM_GETPOS, 0, 0), c.expected);
  }
}

TEST_F(ComCtrlsProgressBarTest, LimitsKeepOrderAndClampThePosition) {
  auto* p = Make<TProgressBar>();
  p->SetPosition(80);
  p->SetMax(50);
  EXPECT_EQ(p->Position(), 50);
  p->SetMin(60);  // above Max: ignored
  EXPECT_EQ(p->Min(), 0);
  p->SetMin(20);
  p->SetPosition(0);
  EXPECT_EQ(p->Position(), 20);
  ShowForm();
  PBRANGE range;
  SendMessage(p->Handle(), PBM_GETRANGE, 0, reinterpret_cast<LPARAM>(&range));
  EXPECT_EQ(range.iLow, 20);
  EXPECT_EQ(range.iHigh, 50);
  p->SetOrientation(pbVertical);
  EXPECT_TRUE(GetWindowLong(p->Handle(), GWL_STYLE) & PBS_VERTICAL);
  EXPECT_EQ(SendMessage(p->Handle(), PBM_GETPOS, 0, 0), 20);
}

}  // namespace
