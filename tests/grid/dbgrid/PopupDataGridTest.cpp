// The popup data grid alone: a list of 20 accounts (ID, NAME) in a top-level popup.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "grid/dbgrid/DBLookupGridsEh.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/TypInfo.h"
#include "platform/win/WinTesting.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

// Can claim every press as the tree area's, and counts its layouts.
class TProbePopupEh : public TPopupDataGridEh {
 public:
  using TPopupDataGridEh::TPopupDataGridEh;
  bool ProcessCellMouseDown(int X, int Y, bool Dbl) override {
    return takePresses || TPopupDataGridEh::ProcessCellMouseDown(X, Y, Dbl);
  }
  void InternalLayout() override {
    ++layouts;
    TPopupDataGridEh::InternalLayout();
  }
  bool takePresses = false;
  int layouts = 0;
};

class PopupDataGridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    InitDBGridEhUnit();
    form = new TForm(Application, 0);
    form->AfterConstruction();
    list = new TMemoryDataSet(form);
    list->FieldDefs()->Add("ID", ftInteger);
    list->FieldDefs()->Add("NAME", ftString, 40);
    list->CreateDataSet();
    for (int id = 1; id <= 20; ++id) list->AppendRecord({id, "Account " + std::to_string(id)});
    auto* source = new TDataSource(form);
    source->SetDataSet(list);
    popup = new TProbePopupEh(form);
    popup->SetListSource(source);
    popup->SetKeyField("ID");
    popup->SetListField("NAME");
    popup->SetRowCount(5);
    popup->SetVisible(false);  // shown as the cell editor shows it
    popup->SetVisible(true);
    popup->OnRowChanged = [&](TObject*) { ++rowChanges; };
    popup->OnCloseUp = [&](TObject*, bool Accept) { closes.push_back(Accept); };
    Pump();
  }
  void TearDown() override {
    ResetVcl();
    FinalizeDBGridEhUnit();
  }
  void Pump() { Application->ProcessMessages(); }
  TPoint Row(int R) {
    const TRect r = popup->CellRect(popup->IndicatorOffset(), R);
    return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
  TPoint DataRow(int Index) { return Row(popup->TopDataOffset() + Index); }
  void Send(UINT Msg, TPoint P, WPARAM Keys = 0) {
    popup->Perform(Msg, Keys, MAKELPARAM(P.X, P.Y));
    Pump();
  }

  TMemoryDataSet* list = nullptr;
  TForm* form = nullptr;
  TProbePopupEh* popup = nullptr;
  int rowChanges = 0;
  std::vector<bool> closes;
};

TEST_F(PopupDataGridTest, RowChangedFiresForTheUsersMovesOnly) {
  const struct {
    const char* name;
    std::function<void()> act;
    int changes, key;
  } cases[] = {
      {"Down key",
       [&] {
         WORD k = VK_DOWN;
         popup->KeyDown(k, {});
       },
       1, 2},
      {"click", [&] { Send(WM_LBUTTONDOWN, DataRow(2), MK_LBUTTON), Send(WM_LBUTTONUP, DataRow(2)); }, 1, 3},
      {"hover", [&] { Send(WM_MOUSEMOVE, DataRow(3)); }, 1, 4},
      {"hover with a button held", [&] { Send(WM_MOUSEMOVE, DataRow(3), MK_RBUTTON); }, 0, 1},
      {"SetKeyValue", [&] { popup->SetKeyValue(Variant(7)); }, 0, 7},
      {"SelectCurrent",
       [&] {
         TDBLookupGridEh::TInternalChangeScope quiet(popup);
         list->Next();
         popup->SelectCurrent();
       },
       0, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    popup->SetKeyValue(Variant(1));
    rowChanges = 0;
    c.act();
    EXPECT_EQ(rowChanges, c.changes);
    EXPECT_EQ(popup->KeyValue().AsInteger(), c.key);
    EXPECT_FALSE(popup->UserAction());
  }
}

TEST_F(PopupDataGridTest, MouseUpClosesWithAcceptOnRowsAndWithoutOutside) {
  popup->SpecRow()->SetVisible(true);
  popup->SetShowTitles(true);
  Pump();
  const TPoint data = DataRow(1), special = Row(popup->TopDataOffset() - 1), title = Row(0);
  const TPoint outside{popup->Width() + 15, 10};
  const struct {
    const char* name;
    TPoint press, release;
    bool taken;
    std::vector<bool> closes;
  } cases[] = {{"data row", data, data, false, {true}},
               {"special row", special, special, false, {true}},
               {"title row", title, title, false, {}},
               {"released outside", data, outside, false, {false}},
               {"press taken by the tree area", data, data, true, {}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    closes.clear();
    popup->takePresses = c.taken;
    Send(WM_LBUTTONDOWN, c.press, MK_LBUTTON);
    Send(WM_LBUTTONUP, c.release);
    EXPECT_EQ(closes, c.closes);
  }
}

TEST_F(PopupDataGridTest, SizeLimitsTheResizedMarkAndTheGrip) {
  SetSystemMetricForTest(SM_CXVSCROLL, 40);
  SetSystemMetricForTest(SM_CYHSCROLL, 30);
  TScopeExit restore([] { ResetSystemMetrics(); });
  const struct {
    int askedW, askedH, w, h;
  } sizes[] = {{5, 5, 40, 30}, {100, 10, 100, 30}, {20, 200, 40, 200}};
  for (const auto& s : sizes) {
    SCOPED_TRACE(s.askedW * 1000 + s.askedH);
    popup->ClearSizeChangedByUser();
    SetWindowPos(popup->Handle(), nullptr, 0, 0, s.askedW, s.askedH,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(std::pair(popup->Width(), popup->Height()), std::pair(s.w, s.h));
    EXPECT_TRUE(popup->SizeChangedByUser());
    EXPECT_EQ(popup->SizeGrip()->Left() + popup->SizeGrip()->Width(), popup->ClientWidth());
  }
  popup->ClearSizeChangedByUser();
  SetWindowPos(popup->Handle(), nullptr, 70, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_FALSE(popup->SizeChangedByUser());

  // The axis grid's deferred layout is no grip message: it lays out and leaves the grip alone.
  TSizeGripEh* grip = popup->SizeGrip();
  const int layouts = popup->layouts;
  PostMessage(popup->Handle(), WM_AXISGRID_DEFERRED_LAYOUT, sgpTopLeft, 0);
  Pump();
  EXPECT_GT(popup->layouts, layouts);
  EXPECT_EQ(grip->Position(), sgpBottomRight);
  popup->Perform(WM_POPUPGRID_MOVE_SIZE_GRIP, sgpTopLeft, 0);
  EXPECT_EQ(std::tuple(grip->Position(), grip->Left(), grip->Top()), std::tuple(sgpTopLeft, 0, 0));
  popup->Perform(WM_POPUPGRID_MOVE_SIZE_GRIP, 9, 0);  // no corner
  EXPECT_EQ(grip->Position(), sgpTopLeft);
}

TEST_F(PopupDataGridTest, WindowStylesTheFactoryAndStreaming) {
  const HWND h = popup->Handle();
  EXPECT_EQ(static_cast<DWORD>(GetWindowLong(h, GWL_STYLE)) & (WS_POPUP | WS_CHILD), WS_POPUP);
  EXPECT_TRUE(IsWindowVisible(h) && GetParent(h) == nullptr);
  const DWORD ex = WS_EX_TOPMOST | WS_EX_TOOLWINDOW, cls = CS_SAVEBITS | CS_HREDRAW | CS_DROPSHADOW;
  EXPECT_EQ(static_cast<DWORD>(GetWindowLong(h, GWL_EXSTYLE)) & ex, ex);
  EXPECT_EQ(static_cast<DWORD>(GetClassLong(h, GCL_STYLE)) & cls, cls);
  EXPECT_EQ(std::pair(popup->Perform(WM_MOUSEACTIVATE, 0, 0), popup->Perform(WM_ERASEBKGND, 0, 0)),
            std::pair(LRESULT{MA_NOACTIVATE}, LRESULT{1}));
  for (auto [version, shadow] : {std::pair{0x0A280105u, true}, {0x5u, false}, {0x6u, true}, {0x205u, true}}) {
    SCOPED_TRACE(version);
    EXPECT_EQ(PopupDropShadowByVersionEh(version), shadow);
  }

  ILookupGridEh* made = CreateLookupGridEh(nullptr);
  std::unique_ptr<TComponent> owner(made ? made->LookupGridComponent() : nullptr);
  auto* grid = dynamic_cast<TPopupDataGridEh*>(owner.get());
  ASSERT_NE(grid, nullptr);
  EXPECT_EQ(std::tuple(grid->Name(), grid->Owner(), Supports<ILookupGridEh>(grid)),
            std::tuple("DataList", nullptr, made));
  for (const char* name : {"TDBLookupGridEh", "TPopupDataGridEh", "TDBLookupGridColumnEh"})
    EXPECT_NE(GetClass(name), nullptr) << name;
  // The columns' special cells stream what was set on them.
  auto* first = static_cast<TDBLookupGridColumnEh*>(grid->Columns()->Add());
  first->SpecCell()->SetText("none");
  static_cast<TDBLookupGridColumnEh*>(grid->Columns()->Add())->SpecCell()->Font()->SetSize(14);
  // A fresh grid holds its declared defaults; the list settings stream with the columns.
  // (the popup differs on purpose: it shows hints and starts hidden).
  auto fresh = std::make_unique<TDBLookupGridEh>(nullptr);
  for (const TPropInfo* p : GetPropList(fresh.get())) {
    const bool bounds = p->Name == "Left" || p->Name == "Top" || p->Name == "Width" || p->Name == "Height";
    if (!p->HasDefault || !p->GetOrd || bounds) continue;
    EXPECT_EQ(p->GetOrd(*fresh), p->DefaultValue) << p->Name;
  }
  grid->SetKeyField("ID");
  grid->SetListField("NAME;CODE");
  grid->SetRowCount(5);
  grid->SetShowTitles(true);
  grid->SetLookupOptions({dlgRowLinesEh});
  grid->SpecRow()->SetCellsText("-;-");
  TStringStream bin;
  bin.WriteComponent(grid);
  TStringStream binIn(bin.DataString()), text;
  ObjectBinaryToText(binIn, text);
  auto back = std::make_unique<TPopupDataGridEh>(nullptr);
  ReadComponentFromText(text.DataString(), back.get());
  ASSERT_EQ(back->Columns()->Count(), 2);
  EXPECT_EQ(std::tuple(back->KeyField(), back->ListField(), back->RowCount(), back->ShowTitles(),
                       back->LookupOptions().ToBits(), back->SpecRow()->CellsText()),
            std::tuple("ID", "NAME;CODE", 5, true, TDBLookupGridEhOptions{dlgRowLinesEh}.ToBits(), "-;-"));
  auto cell = [&](int I) {
    return static_cast<TDBLookupGridColumnEh*>(back->Columns()->Items(I))->SpecCell();
  };
  EXPECT_EQ(
      std::tuple(cell(0)->Text(), cell(0)->IsFontStored(), cell(1)->IsTextStored(), cell(1)->Font()->Size()),
      std::tuple("none", false, false, 14));
}

}  // namespace
