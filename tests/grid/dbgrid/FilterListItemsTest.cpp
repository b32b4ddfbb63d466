// The filter lists' entries: their drawing, the values ticked by the mouse, the space key and the
// list keys, the special entries' conditions and applying, and the filter editor's own steps.
#include "grid/dbgrid/DBGridEhCenter.h"
#include "grid/dbgrid/DBGridEhControls.h"
#include "grid/dbgrid/DBGridEhFilterListItems.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/Input.h"
#include "platform/win/WinTesting.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

class TProbeFilterEdit : public TInplaceFilterEditEh {
 public:
  using TInplaceFilterEditEh::TInplaceFilterEditEh;
  std::pair<TRect, TRect> EditRects() { return {TDBComboBoxEh::CalcEditRect(), CalcEditRect()}; }
};

// Counts its sortings instead of sorting, and answers the level a test names as the one whose list
// is open.
class TFilterListGrid : public TDBGridEh {
 public:
  using TDBGridEh::TDBGridEh;
  void ApplySorting() override { ++sortings; }
  TGridDataGroupLevelEh* TitleFilterGroupLevel() const override { return level; }
  TInplaceFilterEditEh* CreateFilterEditor() override { return new TProbeFilterEdit(this); }
  int sortings = 0;
  TGridDataGroupLevelEh* level = nullptr;
};

// NAME's list without sort entries: the six special entries, then Anna (6), Bob (7), Carl (8).
class FilterListEntriesTest : public DBGridTestBase {
 protected:
  TDBGridEh* MakeGrid(TComponent* AOwner) override { return new TFilterListGrid(AOwner); }
  void SetUp() override {
    DBGridTestBase::SetUp();
    AddColumns({"ID", "NAME", "AMOUNT"});
    AddRows({{1, "Anna", 1.5}, {2, "Bob", 2.5}, {3, "Carl", 3.5}, {4, "Anna", 4.5}});
    grid->STFilter()->SetVisible(true);
    grid->STFilter()->SetInstantApply(false);
    grid->OnApplyFilter = [this](TObject*) { ++applied, grid->DefaultApplyFilter(); };
    grid->SetFocus();
    Pump();
  }
  TFilterListGrid* G() { return static_cast<TFilterListGrid*>(grid); }
  TSTColumnFilterEh* F(int I) { return grid->Columns()->GetColumn(I)->STFilter(); }
  void SortEntries() {
    grid->SetOptionsEh(grid->OptionsEh() + dghAutoSortMarking);
    grid->Columns()->GetColumn(1)->Title()->SetTitleButton(true);
  }
  void Key(WORD Vk, WORD Modifier = 0) {
    if (Modifier) Input::KeyDown(Modifier);
    Input::KeyDown(Vk);
    Input::KeyUp(Vk);
    if (Modifier) Input::KeyUp(Modifier);
    Pump();
  }
  // NAME's list: the filter editor's (with Typed in the cell), or the one under its title.
  TPopupListboxEh* Open(bool Editor, const std::string& Typed = "") {
    if (!Editor) {
      grid->DropDownTitleFilter(grid->Columns()->GetColumn(1));
      return grid->TitleFilterList();
    }
    grid->StartFilterEdit(1);
    for (char c : Typed) Input::Char(static_cast<char32_t>(c));
    Key(VK_DOWN, VK_MENU);
    return grid->FilterEdit()->PopupListbox();
  }
  static int IndexOf(TPopupListboxEh* List, TObject* Entry) {
    for (int i = 0; i < List->Count(); ++i)
      if (List->ItemObject(i) == Entry) return i;
    return -1;
  }
  // A press on one entry and the release on another (or the same).
  static void Click(TPopupListboxEh* List, int Press, int Release) {
    for (const auto& [msg, index, keys] : {std::tuple{WM_LBUTTONDOWN, Press, MK_LBUTTON},
                                           {WM_MOUSEMOVE, Release, MK_LBUTTON},
                                           {WM_LBUTTONUP, Release, 0}}) {
      const TRect r = List->ItemRect(index);
      SendMessage(List->Handle(), msg, keys, MAKELPARAM(r.Left + 30, (r.Top + r.Bottom) / 2));
    }
  }
  // "1" or "0" for each value of NAME's open list.
  std::string Ticks() {
    std::string s;
    for (size_t i = 0; i < F(1)->CheckStates.size(); ++i)
      if (F(1)->ListItems->Objects(static_cast<int>(i)) == PopupListboxItemEhData())
        s += F(1)->CheckStates[i] ? '1' : '0';
    return s;
  }
  int applied = 0;
};

TEST_F(FilterListEntriesTest, EntriesDrawTheirMarkOrBoxBesideTheCaption) {
  SortEntries();  // 0 descending, 2 the line, 3 "(取消过滤)", 9 Anna, 10 Bob
  F(1)->SetExpressionStr("=Bob");
  TPopupListboxEh* list = Open(false);
  const int h = list->ItemHeight(), w = list->ClientWidth(), box = DefaultCheckBoxWidth();
  TBitmap bitmap;
  bitmap.SetSize(w, h * list->Count());
  TDrawLog log;
  HDC dc = bitmap.Canvas()->Handle();
  AttachDrawRecorder(dc, &log);
  list->Canvas()->SetHandle(dc);
  TScopeExit detach([&] { list->Canvas()->SetHandle(nullptr), AttachDrawRecorder(dc, nullptr); });
  // Draws entry I in its row of the bitmap; answers where its caption starts.
  auto draw = [&](int I) {
    log.Clear();
    list->Canvas()->Brush()->SetColor(clWindow);
    list->ItemBehaviour(I)->DrawItem(list, I, TRect{0, I * h, w, I * h + h}, TOwnerDrawState{});
    const auto texts = log.OfKind(TDrawKind::Text);
    return texts.empty() ? -1 : static_cast<int>(texts[0]->Points.at(0).X);
  };
  // The middle of the check box: the tick's colour, or the box's white.
  auto ticked = [&](int I) { return GetRValue(GetPixel(dc, 2 + box / 2, I * h + h / 2)) < 0x80; };
  // A box, marker or nothing stands 2 pixels in from the edge, its caption 2 pixels after it.
  const int caption = 2 + box + 2;
  EXPECT_EQ(draw(0), caption);
  EXPECT_LT(log.OfKind(TDrawKind::Polyline).at(0)->Points.at(1).X, 2 + box);  // the marker in the box
  EXPECT_EQ(draw(3), caption);
  EXPECT_EQ(log.OfKind(TDrawKind::FillRect).at(0)->Rect.Right, w);
  EXPECT_EQ(draw(9) + draw(10), 2 * caption);
  EXPECT_EQ(std::make_tuple(ticked(9), ticked(10), log.OfKind(TDrawKind::Blt).at(0)->Rect.Left),
            std::make_tuple(false, true, 2));
  EXPECT_EQ(draw(2), -1);
  const TDrawCall* line = log.OfKind(TDrawKind::Line).at(0);
  EXPECT_EQ(std::make_tuple(line->Color, line->Points.at(0).X, line->Points.at(1).X, line->Points.at(0).Y),
            std::make_tuple(RGB(0xC0, 0xC0, 0xC0), 0, w, 2 * h + h / 2));
  TValueRestorer<bool> middleEast(SysLocale().MiddleEast, true);
  list->SetBiDiMode(bdRightToLeft);
  EXPECT_LE(draw(10) + list->Canvas()->TextWidth("Bob"), w - caption);
  EXPECT_EQ(log.OfKind(TDrawKind::Blt).at(0)->Rect.Left, w - 2 - box);
}

// A list opened over more values than its rows, one of them wider than the width a new list asks
// for: every entry, special or value, shows whole between the list's edges, its box 2 pixels in.
TEST_F(FilterListEntriesTest, EveryEntryShowsWholeBetweenTheListsEdges) {
  AddNumberedRows(20);
  AddRows({{30, std::string(20, 'W'), 1}});  // wider than a new list
  for (bool editor : {true, false}) {
    SCOPED_TRACE(editor ? "editor" : "title");
    TPopupListboxEh* list = Open(editor);
    ASSERT_TRUE(list->Visible());
    const int w = list->ClientWidth(), h = list->ItemHeight();
    ASSERT_GT(list->Count(), list->Rows());  // a scroll bar takes its room
    TBitmap bitmap;
    bitmap.SetSize(w, h);
    TDrawLog log;
    HDC dc = bitmap.Canvas()->Handle();
    AttachDrawRecorder(dc, &log);
    TCanvas* canvas = list->Canvas();
    canvas->SetHandle(dc);
    TScopeExit detach([&] { canvas->SetHandle(nullptr), AttachDrawRecorder(dc, nullptr); });
    canvas->SetFont(list->Font());
    int overflow = -w, boxLeft = w;  // the most any caption passes the right edge; the boxes' left
    for (int i = 0; i < list->Count(); ++i) {
      log.Clear();
      list->ItemBehaviour(i)->DrawItem(list, i, TRect{0, 0, w, h}, TOwnerDrawState{});
      for (const TDrawCall* text : log.OfKind(TDrawKind::Text))
        overflow = std::max(overflow, text->Points.at(0).X + canvas->TextWidth(list->ItemText(i)) - w);
      for (const TDrawCall* box : log.OfKind(TDrawKind::Blt)) boxLeft = std::min(boxLeft, box->Rect.Left);
    }
    EXPECT_EQ(std::make_pair(overflow <= 0, boxLeft), std::make_pair(true, 2)) << overflow;
    Key(VK_ESCAPE);
    grid->CloseTitleFilter();
  }
}

// A step: a click (c), a press moved off before the release (m), the space key (s) or Enter (e)
// on a value; the values ticked afterwards and NAME's condition.
TEST_F(FilterListEntriesTest, ValuesTickOneByOneByMouseAndSpaceAndAloneByTheListKeys) {
  const std::tuple<char, int, const char*, const char*> steps[] = {
      {'c', 6, "100", "='Anna'"},
      {'c', 8, "101", "in ('Anna','Carl')"},
      {'m', 7, "101", "in ('Anna','Carl')"},
      {'s', 7, "111", "in ('Anna','Bob','Carl')"},
      {'c', 6, "011", "in ('Bob','Carl')"},
      {'s', 8, "010", "='Bob'"},
      {'c', 8, "011", "in ('Bob','Carl')"},
      {'e', 8, "", "='Carl'"}};
  for (bool editor : {true, false}) {
    grid->StopFilterEdit();
    F(1)->SetExpressionStr("");
    TPopupListboxEh* list = Open(editor);
    for (const auto& [how, index, ticks, condition] : steps) {
      SCOPED_TRACE(testing::Message() << editor << how << index);
      if (how == 'c' || how == 'm') Click(list, index, how == 'c' ? index : index + 1);
      if (how == 's' || how == 'e') list->SetItemIndex(index), Key(how == 's' ? VK_SPACE : VK_RETURN);
      EXPECT_EQ(std::make_tuple(Ticks(), F(1)->ExpressionStr(), list->Visible(), F(1)->HotIndex, applied),
                std::make_tuple(ticks, condition, how != 'e', -1, 0));
      if (how == 'c') {
        EXPECT_EQ(list->ItemIndex(), index);
      }
      if (editor) {
        EXPECT_EQ(grid->FilterEdit()->Text(), condition);
      }
    }
  }
  EXPECT_EQ(handlerErrors, std::vector<std::string>{});
}

// Typed into NAME's cell (NAME "=Anna", AMOUNT ">2" before), then an entry chosen with Enter in
// its list (the title's for a group level); the editor's text after ("-": no longer edited), and
// whether the parser refused (p) or the custom filter dialog opened and was cancelled (c).
TEST_F(FilterListEntriesTest, SpecialEntriesSetConditionsAndApplyAsInstantApplyAndTheCentreSay) {
  SortEntries();
  TGridDataGroupLevelEh* level = grid->DataGrouping()->GroupLevels()->Add();
  TObject* const sortUp = PopupListboxItemEhSort(smUpEh);
  auto special = [](TPopupListboxItemEhSpecKind Kind) -> TObject* { return PopupListboxItemEhSpec(Kind); };
  const std::tuple<TObject*, bool, bool, bool, const char*, const char*, const char*, int, const char*, char>
      cases[] = {{sortUp, 0, 0, 0, "=Bob", "=Anna", ">2", 0, "=Bob", 0},
                 {sortUp, 0, 0, 1, "", "=Anna", ">2", 0, "-", 0},
                 {special(ptsClearFilterEh), 0, 0, 0, "=Bob", "", "", 1, "-", 0},
                 {special(ptsApplyFilterEh), 0, 1, 0, "=Bob", "=Bob", ">2", 1, "=Bob", 0},
                 {special(ptsApplyFilterEh), 0, 0, 0, "=((", "=Anna", ">2", 0, "=((", 'p'},
                 {special(ptsCustomFilterEh), 1, 1, 0, "=Bob", "=Bob", ">2", 0, "-", 'c'},
                 {special(ptsCustomFilterEh), 0, 0, 0, "=((", "=Anna", ">2", 0, "=((", 'p'},
                 {special(ptsAllValuesEh), 0, 0, 0, "=Bob", "", ">2", 0, "", 0},
                 {special(ptsAllValuesEh), 1, 0, 0, "=Bob", "", ">2", 1, "", 0},
                 {special(ptsAllValuesEh), 0, 1, 0, "=Bob", "", ">2", 1, "", 0},
                 {special(ptsEmptyEh), 0, 0, 0, "=Bob", "=''", ">2", 0, "=''", 0},
                 {special(ptsNotEmptyEh), 1, 1, 0, "=Bob", "<>''", ">2", 1, "<>''", 0}};
  for (const auto& row : cases) {
    const auto& [entry, instant, onChoice, toLevel, typed, name, amount, applies, text, refused] = row;
    SCOPED_TRACE(&row - cases);
    grid->STFilter()->SetInstantApply(instant);
    DBGridEhCenter()->SetApplyOnChoice(onChoice);
    G()->level = toLevel ? level : nullptr;
    level->SetSortOrder(soAscEh);
    grid->Columns()->GetColumn(1)->Title()->SetSortMarker(smNoneEh);
    F(1)->SetExpressionStr("=Anna");
    F(2)->SetExpressionStr(">2");
    G()->sortings = applied = 0;
    handlerErrors.clear();
    TPopupListboxEh* list = Open(!toLevel, typed);
    list->SetItemIndex(IndexOf(list, entry));
    bool dialogShown = false;
    if (refused == 'c')
      WinTesting::Schedule([&] {
        dialogShown = Screen->ActiveForm() != form;
        Key(VK_ESCAPE);
      });
    Key(VK_RETURN);
    EXPECT_EQ(dialogShown, refused == 'c');
    const bool editing = grid->FilterEditMode() && grid->FilterEdit()->Visible();
    EXPECT_EQ(std::make_tuple(F(1)->ExpressionStr(), F(2)->ExpressionStr(), applied,
                              editing ? grid->FilterEdit()->Text() : "-", handlerErrors.size()),
              std::make_tuple(name, amount, applies, text, size_t{refused == 'p'}));
    const bool columnSorted = entry == sortUp && !toLevel;
    EXPECT_EQ(
        std::make_tuple(grid->Columns()->GetColumn(1)->Title()->SortMarker(), G()->sortings,
                        level->SortOrder()),
        std::make_tuple(columnSorted ? smUpEh : smNoneEh, int{columnSorted}, toLevel ? soDescEh : soAscEh));
    if (editing) grid->FilterEdit()->SetText("");
    grid->StopFilterEdit();
  }
  DBGridEhCenter()->SetApplyOnChoice(false);
}

// A name that is an empty text and one that is Null look alike: the empty entry of NAME's list,
// chosen by a click or by the list keys, an empty value ticked, and "=''" typed into the cell all
// show both; "(非空)" shows neither. AMOUNT's empty entry shows its Null amount.
TEST_F(FilterListEntriesTest, EmptyEntriesTakeEmptyTextsAndNullsAlike) {
  AddRows({{5, "", 5.5}});
  dataSet->AppendRecord({6, Variant::Null(), 6.5});
  dataSet->AppendRecord({7, "Dee", Variant::Null()});
  grid->STFilter()->SetInstantApply(true);
  auto ids = [this] {
    std::string text;
    for (dataSet->First(); !dataSet->Eof(); dataSet->Next())
      text += dataSet->FieldByName("ID")->AsString() + " ";
    return text;
  };
  // Step: c a click on the entry, k the list keys down to it and Enter, t typed with Enter; "" the
  // empty value a fill hook offers.
  const std::tuple<int, char, TObject*, const char*, const char*> cases[] = {
      {1, 'c', PopupListboxItemEhSpec(ptsEmptyEh), "=''", "5 6 "},
      {1, 'k', PopupListboxItemEhSpec(ptsEmptyEh), "=''", "5 6 "},
      {1, 'c', PopupListboxItemEhData(), "=''", "5 6 "},
      {1, 't', nullptr, "=''", "5 6 "},
      {1, 'c', PopupListboxItemEhSpec(ptsNotEmptyEh), "<>''", "1 2 3 4 7 "},
      {2, 'c', PopupListboxItemEhSpec(ptsEmptyEh), "=Null", "7 "},
  };
  for (const auto& [column, how, entry, condition, shown] : cases) {
    SCOPED_TRACE(testing::Message() << column << how << condition);
    grid->OnFillSTFilterListValues = TFillSTFilterListValuesEventEh();
    if (entry == PopupListboxItemEhData())
      grid->OnFillSTFilterListValues = [](TCustomDBGridEh*, TColumnEh*, TStrings* Items, bool& Processed) {
        Items->Add("Anna"), Items->Add(""), Processed = true;
      };
    grid->StartFilterEdit(column);
    if (how == 't') {
      for (char c : std::string(condition)) Input::Char(static_cast<char32_t>(c));
      Key(VK_RETURN);
    } else {
      Key(VK_DOWN, VK_MENU);
      TPopupListboxEh* list = grid->FilterEdit()->PopupListbox();
      const int index = entry == PopupListboxItemEhData() ? 1 : IndexOf(list, entry);
      if (how == 'c') Click(list, index, index);
      for (int i = 0; how == 'k' && list->ItemIndex() != index && i < list->Count(); ++i) Key(VK_DOWN);
      if (how == 'k') Key(VK_RETURN);
      if (list->Visible()) Key(VK_ESCAPE);
    }
    EXPECT_EQ(std::make_tuple(F(column)->ExpressionStr(), ids(), handlerErrors),
              std::make_tuple(condition, shown, std::vector<std::string>{}));
    handlerErrors.clear();
    grid->FilterEdit()->SetText("");
    grid->StopFilterEdit();
    grid->ClearFilter(), grid->ApplyFilter();
  }
}

TEST_F(FilterListEntriesTest, ClosedCellStepsOverValuesOnlyAndTheEditorTakesTheGridsLooks) {
  SortEntries();
  grid->StartFilterEdit(1);
  TInplaceFilterEditEh* editor = grid->FilterEdit();
  const std::tuple<WORD, WORD, int, const char*> steps[] = {{VK_UP, VK_SHIFT, 1, ""},
                                                            {VK_DOWN, VK_SHIFT, 1, "Anna"},
                                                            {VK_DOWN, VK_SHIFT, 1, "Bob"},
                                                            {VK_UP, VK_CONTROL, 1, "Anna"},
                                                            {VK_DOWN, VK_SHIFT, 3, "Carl"}};
  for (const auto& [vk, modifier, times, text] : steps) {
    SCOPED_TRACE(text);
    for (int i = 0; i < times; ++i) Key(vk, modifier);
    const LRESULT selection = SendMessage(editor->Handle(), EM_GETSEL, 0, 0);
    EXPECT_EQ(std::make_tuple(editor->Text(), LOWORD(selection), HIWORD(selection), grid->FilterEditMode()),
              std::make_tuple(text, 0, std::string(text).size(), true));
  }
  auto [base, own] = static_cast<TProbeFilterEdit*>(editor)->EditRects();
  EXPECT_EQ(own, (TRect{base.Left, base.Top + 1, base.Right - 1, base.Bottom}));
  grid->SetColor(clYellow);
  grid->Font()->SetColor(clNavy);
  editor->SetText("");
  TPopupListboxEh* list = Open(true);
  EXPECT_EQ(std::make_pair(list->Color(), list->Font()->Color()), std::make_pair(clYellow, clNavy));

  // Fault: a value whose new condition fails to apply left the list unable ever to close.
  grid->STFilter()->SetInstantApply(true);
  grid->OnApplyFilter = [](TObject*) { throw Exception("apply failed"); };
  handlerErrors.clear();
  const int bob = IndexOf(list, PopupListboxItemEhData()) + 1;
  Click(list, bob, bob);
  EXPECT_EQ(
      std::make_tuple(handlerErrors, F(1)->ExpressionStr(), Ticks(), F(1)->ListChanging, F(1)->KeepOthers),
      std::make_tuple(std::vector<std::string>{"apply failed"}, "='Bob'", "010", false, false));
  F(1)->ListChanging = true;  // while a value is being toggled a close-up is refused
  editor->CloseUp(false);
  EXPECT_TRUE(list->Visible());
  F(1)->ListChanging = false;
  Key(VK_ESCAPE);
  EXPECT_FALSE(list->Visible());
}

}  // namespace
