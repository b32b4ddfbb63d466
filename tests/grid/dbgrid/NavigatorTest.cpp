#include <memory>
#include <tuple>

#include "grid/dbgrid/DBGridEhNavigator.h"
#include "grid/dbgrid/DBGridEhSelection.h"
#include "grid/dbgrid/DBGridEhToolResources.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Dialogs.h"
#include "platform/win/Input.h"
#include "platform/win/WinTesting.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"
#include "tests/support/SurfacePixels.h"

namespace {

// A navigator of its own on the grid's form, below the grid, following the grid's source.
class NavigatorTest : public DBGridTestBase {
 protected:
  void SetUp() override {
    DBGridTestBase::SetUp();
    grid->SetAlign(alNone);
    grid->SetBounds(0, 0, 500, 300);
    nav = new TDBGridEhNavigatorPanel(form);
    nav->SetGrid(grid);
    nav->SetBounds(0, 320, 100, 20);
    nav->SetParent(form);
    nav->SetDataSource(source);
    Pump();
  }
  // A fresh data set of Rows records on the first, and the grid and panel as they start.
  void Reset(int Rows) {
    if (!dataSet->Active()) dataSet->Open();
    dataSet->Cancel();
    dataSet->SetReadOnly(false);
    dataSet->EmptyDataSet();
    grid->SetReadOnly(false);
    grid->SetAllowedOperations({alopInsertEh, alopUpdateEh, alopDeleteEh, alopAppendEh});
    nav->SetEnabled(true);
    AddNumberedRows(Rows);
  }
  // '1' for each enabled button, First to Refresh.
  std::string EnabledButtons() const {
    std::string s;
    for (int i = 0; i < 10; ++i) s += nav->Button(TNavigateBtnEh(i))->Enabled() ? '1' : '0';
    return s;
  }
  POINT CentreOf(TControl* Control) {
    return Control->ClientToScreen({Control->Width() / 2, Control->Height() / 2});
  }

  TDBGridEhNavigatorPanel* nav = nullptr;
};

TEST_F(NavigatorTest, TheEnableTableFollowsTheDataSetTheGridAndThePanel) {
  struct Case {
    const char* Name;
    int Rows;
    std::function<void()> Arrange;
    const char* Expected;  // First Prior Next Last Insert Delete Edit Post Cancel Refresh
  };
  const Case cases[] = {
      {"first of three", 3, [] {}, "0011111001"},
      {"middle", 3, [&] { dataSet->Next(); }, "1111111001"},
      {"last", 3, [&] { dataSet->Last(); }, "1100111001"},
      {"last, reached by Next", 3, [&] { dataSet->MoveBy(2); }, "1100111001"},
      {"only record", 1, [] {}, "0000111001"},
      {"empty", 0, [] {}, "0000101001"},
      {"empty, insert not allowed", 0, [&] { grid->SetAllowedOperations({alopUpdateEh}); }, "0000000001"},
      {"only update allowed", 3, [&] { grid->SetAllowedOperations({alopUpdateEh}); }, "0011001001"},
      {"only append allowed", 3, [&] { grid->SetAllowedOperations({alopAppendEh}); }, "0011100001"},
      {"editing", 3, [&] { dataSet->Edit(); }, "0011110111"},
      {"inserting in the middle", 3, [&] { dataSet->Next(), dataSet->Insert(); }, "1111110111"},
      {"inactive", 3, [&] { dataSet->Close(); }, "0000000000"},
      {"read-only data set", 3, [&] { dataSet->SetReadOnly(true); }, "0011000000"},
      {"read-only grid", 3, [&] { grid->SetReadOnly(true); }, "0011000000"},
      {"panel disabled", 3, [&] { nav->SetEnabled(false); }, "0000000000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Reset(c.Rows);
    c.Arrange();
    nav->UpdateButtonStates();
    EXPECT_EQ(EnabledButtons(), c.Expected);
  }
}

TEST_F(NavigatorTest, ButtonsDrawTheirGlyphOverAnotherFaceWhereTheyDoOnTheirOwn) {
  TDBGridEhRes* res = DBGridEhRes();
  ASSERT_NE(res, nullptr);
  nav->SetImages(res->IMList10Bmp, res->IMList10DBmp);
  Reset(3);  // on the first record: First disabled, Next enabled
  Pump();
  // Id, button, the list its glyph comes from.
  const std::tuple<const char*, TNavigateBtnEh, TCustomImageList*> cases[] = {
      {"enabled: the list's glyph", nbNextEh, res->IMList10Bmp},
      {"disabled: the disabled list's", nbFirstEh, res->IMList10DBmp}};
  for (const auto& [id, kind, list] : cases) {
    SCOPED_TRACE(id);
    TNavButtonEh* button = nav->Button(kind);
    const int w = button->Width(), h = button->Height();
    auto limeFace = [w, h] {
      auto face = std::make_unique<TBitmap>();
      face->SetSize(w, h);
      face->Canvas()->Brush()->SetColor(clLime);
      face->Canvas()->FillRect(Rect(0, 0, w, h));
      return face;
    };
    // The glyph centred on a face of lime, as expected; then as the button draws it there.
    const std::unique_ptr<TBitmap> expected = limeFace(), over = limeFace();
    list->Draw(expected->Canvas(), (w - list->Width()) / 2, (h - list->Height()) / 2, button->GlyphIndex());
    EXPECT_TRUE(button->PaintContentOverFace(over->Canvas()));
    // Every pixel as expected, and the glyph's pixels also in the button's own painting.
    int ink = 0, wrongOver = 0, wrongBare = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const TColor want = expected->Canvas()->Pixels(x, y);
        wrongOver += over->Canvas()->Pixels(x, y) != want;
        if (want == clLime) continue;
        ++ink;
        const TPoint at = button->ClientToScreen({x, y});
        wrongBare += test_support::ScreenPixel(form->Handle(), {at.X, at.Y}) != COLORREF(want);
      }
    EXPECT_GT(ink, 0);
    EXPECT_EQ(wrongOver, 0);
    EXPECT_EQ(wrongBare, 0);
  }
}

TEST_F(NavigatorTest, ActionsMoveEditAndAskBeforeDeleting) {
  struct Case {
    const char* Name;
    std::function<void()> Arrange;
    TNavigateBtnEh Kind;
    TModalResult Answer;
    std::string Expected;  // record number, record count, state, the questions asked
  };
  const Case cases[] = {
      {"first", [] {}, nbFirstEh, mrNone, "1 5 1 "},
      {"prior", [] {}, nbPriorEh, mrNone, "2 5 1 "},
      {"next", [] {}, nbNextEh, mrNone, "4 5 1 "},
      {"last", [] {}, nbLastEh, mrNone, "5 5 1 "},
      {"insert", [] {}, nbInsertEh, mrNone, "3 5 3 "},
      {"append without alopInsertEh", [&] { grid->SetAllowedOperations({alopAppendEh}); }, nbInsertEh, mrNone,
       "6 5 3 "},
      {"delete, OK", [] {}, nbDeleteEh, mrOk, "3 4 1 Delete record?"},
      {"delete, Cancel", [] {}, nbDeleteEh, mrCancel, "3 5 1 Delete record?"},
      {"delete unconfirmed", [&] { nav->SetConfirmDelete(false); }, nbDeleteEh, mrNone, "3 4 1 "},
      {"edit", [] {}, nbEditEh, mrNone, "3 5 2 "},
      {"post", [&] { dataSet->Edit(); }, nbPostEh, mrNone, "3 5 1 "},
      {"cancel", [&] { dataSet->Insert(); }, nbCancelEh, mrNone, "3 5 1 "},
      {"refresh", [] {}, nbRefreshEh, mrNone, "3 5 1 "},
      {"insert on a read-only grid", [&] { grid->SetReadOnly(true); }, nbInsertEh, mrNone, "3 5 1 "},
      {"delete on a read-only grid", [&] { grid->SetReadOnly(true); }, nbDeleteEh, mrOk, "3 5 1 "},
      {"edit on a read-only grid", [&] { grid->SetReadOnly(true); }, nbEditEh, mrNone, "3 5 1 "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Reset(5);
    dataSet->MoveBy(2);
    nav->SetConfirmDelete(true);
    std::string asked;
    SetMessageDlgScript([&](TMessageForm& Dialog) { return asked += Dialog.MessageText(), c.Answer; });
    c.Arrange();
    nav->NavigatorButtonAction(c.Kind);
    EXPECT_EQ(IntToStr(dataSet->RecNo()) + " " + IntToStr(dataSet->RecordCount()) + " " +
                  IntToStr(dataSet->State()) + " " + asked,
              c.Expected);
  }
}

TEST_F(NavigatorTest, EventsBookmarkDeleteAndTheKeyboard) {
  Reset(3);
  std::string events;
  nav->BeforeAction = [&](TObject*, TNavigateBtnEh Kind) { events += "b" + IntToStr(int(Kind)); };
  nav->OnClick = [&](TObject*, TNavigateBtnEh Kind) { events += "c" + IntToStr(int(Kind)); };
  nav->NavigatorButtonAction(nbNextEh);
  dataSet->Close();
  nav->NavigatorButtonAction(nbLastEh);  // no data: only the click event
  EXPECT_EQ(events, "b2c2c3");
  nav->Hints()->Add("");  // an empty line keeps the default
  nav->Hints()->Add("Back");
  EXPECT_EQ(nav->Button(nbFirstEh)->Hint() + "|" + nav->Button(nbPriorEh)->Hint(), "First record|Back");

  // A bookmark selection goes through the grid's delete action and its own confirmation: only
  // the selected record goes.
  Reset(3);
  grid->SelectedRows()->SetCurrentRowSelected(true);
  PushMessageDlgAnswer(mrOk);
  nav->NavigatorButtonAction(nbDeleteEh);
  EXPECT_EQ(std::make_tuple(dataSet->RecordCount(), grid->SelectedRows()->Count()), std::make_tuple(2, 0));

  // Right and Left walk the visible buttons; Space clicks the focused one.
  nav->SetVisibleButtons(TNavButtonSetEh{nbFirstEh, nbNextEh, nbLastEh});
  nav->SetTabStop(true);
  nav->SetFocus();
  for (WORD key : {VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_LEFT}) WinTesting::KeyPress(key);
  Pump();
  EXPECT_EQ(nav->FocusedButton(), int(nbNextEh));
  WinTesting::KeyPress(VK_SPACE);
  Pump();
  EXPECT_EQ(dataSet->RecNo(), 2);
}

TEST_F(NavigatorTest, HoldingNextMovesOnceThenEveryHundredMillisecondsAfterFourHundred) {
  Reset(20);
  const POINT next = CentreOf(nav->Button(nbNextEh));
  Input::MouseDown(VK_LBUTTON, next);
  Pump();
  std::vector<int> recNos{dataSet->RecNo()};
  for (uint32_t step : {399u, 1u, 99u, 1u, 100u}) {
    VirtualClock::Advance(step);
    Pump();
    recNos.push_back(dataSet->RecNo());
  }
  Input::MouseUp(VK_LBUTTON, next);
  VirtualClock::Advance(1000);
  Pump();
  recNos.push_back(dataSet->RecNo());
  EXPECT_EQ(recNos, (std::vector<int>{2, 2, 3, 3, 4, 5, 5}));
  EXPECT_EQ(nav->Button(nbNextEh)->RepeatTimer(), nullptr);
  WinTesting::Click(CentreOf(nav->Button(nbPriorEh)));  // a click moves once
  Pump();
  EXPECT_EQ(dataSet->RecNo(), 4);
}

TEST_F(NavigatorTest, LayoutPlacesThePartsLeftToRightOrMirrored) {
  TValueRestorer<bool> middleEast(SysLocale().MiddleEast, true);  // right to left needs it
  // The strip's bevel: two cuts of a pixel at the right make the border.
  nav->SetBevelKind(bkFlat);
  nav->SetBevelOuter(bvRaised);
  nav->SetBevelEdges(TBevelEdges{beTop, beRight});
  Reset(3);
  const int narrow = nav->RecordsInfoRect().Width();
  // The box is at least as wide as the indicator column, here widened by record numbers.
  grid->SetIndicatorOptions({gioShowRowIndicatorEh, gioShowRecNoEh});
  nav->SetWidth(nav->UpdateLayout());  // as the strip does
  const int info = nav->RecordsInfoRect().Width(), button = nav->ClientHeight();
  EXPECT_GT(grid->ColWidths(0), narrow);
  EXPECT_EQ(info, grid->ColWidths(0));
  struct Case {
    const char* Name;
    TBiDiMode BiDi;
    const char* Buttons;   // the visible buttons by kind
    const char* OnScreen;  // the buttons that show, left to right
    TGridSBItemsEh Items;
    int Width;
  };
  const TGridSBItemsEh all = TGridSBItemsEh::FromUInt(7);
  const Case cases[] = {
      {"all", bdLeftToRight, "0123456789", "0123456789", all, info + 5 + 10 * button + 2},
      {"moves", bdLeftToRight, "0123", "0123", all, info + 5 + 4 * button + 2},
      {"moves, no info", bdLeftToRight, "0123", "0123", {gsbiNavigator}, 4 * button + 2},
      {"info only", bdLeftToRight, "0123", "", {gsbiRecordsInfoEh}, info + 2},
      {"right to left", bdRightToLeft, "0234", "4023", all, info + 5 + 4 * button + 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    nav->SetBiDiMode(c.BiDi);
    TNavButtonSetEh buttons;
    for (const char* k = c.Buttons; *k; ++k) buttons.Include(TNavigateBtnEh(*k - '0'));
    nav->SetVisibleButtons(buttons);
    nav->SetVisibleItems(c.Items);
    EXPECT_EQ(nav->Width(), c.Width);
    std::string onScreen;
    for (int x = 0; x < nav->ClientWidth(); ++x)
      for (int i = 0; i < 10; ++i)
        if (nav->Button(TNavigateBtnEh(i))->Visible() && nav->Button(TNavigateBtnEh(i))->Left() == x)
          onScreen += char('0' + i);
    EXPECT_EQ(onScreen, c.OnScreen);
    const bool rtl = c.BiDi == bdRightToLeft;
    if (c.Items.Contains(gsbiRecordsInfoEh)) {
      EXPECT_EQ(rtl ? nav->RecordsInfoRect().Right : nav->RecordsInfoRect().Left,
                rtl ? nav->ClientWidth() : 0);
    }
  }
}

TEST_F(NavigatorTest, TheInfoBoxesCountRecordsAndAggregateTheSelectedColumn) {
  Reset(4);  // amounts 1.5, 3, 4.5, 6
  EXPECT_EQ(nav->RecordsInfoText(), "4");
  grid->SelectedRows()->SetCurrentRowSelected(true);
  dataSet->Next();
  grid->SelectedRows()->SetCurrentRowSelected(true);
  nav->UpdateInfo();
  EXPECT_EQ(nav->RecordsInfoText(), "4 (2)");
  EXPECT_EQ(grid->GetToolStripTextColor(), clBtnText);
  grid->Selection()->Clear();
  AddColumns({"ID", "AMOUNT"});
  grid->Selection()->Columns()->Select(grid->Columns()->GetColumn(1), false);
  nav->UpdateInfo();
  EXPECT_EQ(nav->AggregationText(), " Sum: 15    Count: 4    Average: 3.75    Min: 1.5    Max: 6");
  ASSERT_EQ(nav->AggregationItems().size(), 5u);
  EXPECT_FALSE(IsRectEmpty(nav->AggregationRect()));
  // A press on the average puts it into the Copy item's hint and pops the menu up.
  const TDBGridEhNavigatorPanel::TAggregationItem& average = nav->AggregationItems()[2];
  const TPoint at =
      nav->ClientToScreen({nav->AggregationRect().Left + (average.Left + average.Right) / 2, 10});
  WinTesting::Schedule([] { WinTesting::KeyPress(VK_ESCAPE); });
  WinTesting::Click(POINT{at.X, at.Y});
  Pump();
  EXPECT_EQ(WinTesting::ScheduledSteps(), 0u);
  EXPECT_EQ(DBGridEhRes()->Copy1->Hint(), "3.75");
  grid->Selection()->Clear();
  dataSet->Close();
  EXPECT_EQ(nav->RecordsInfoText() + nav->AggregationText(), "");
  EXPECT_TRUE(IsRectEmpty(nav->AggregationRect()));
}

}  // namespace
