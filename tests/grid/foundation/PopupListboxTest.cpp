// The popup list box: whole-row heights, virtual mode over external strings, drawing through
// item objects, and its size grip.
#include <gtest/gtest.h>

#include "grid/foundation/PopupListboxEh.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Input.h"

namespace {

// Fills its entry with one colour and remembers what it drew.
class TColorItem : public TPopupListboxItemEh {
 public:
  explicit TColorItem(TColor C, bool Close = true) : color(C), close(Close) {}
  void DrawItem(TPopupListboxEh* Sender, int ItemIndex, TRect ARect, TOwnerDrawState State) override {
    drawn.push_back(ItemIndex);
    Sender->Canvas()->Brush()->SetColor(color);
    Sender->Canvas()->FillRect(ARect);
  }
  bool CloseOnExecute(TPopupListboxEh*, int) override { return close; }
  TColor color;
  bool close;
  std::vector<int> drawn;
};

class PopupListboxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    form = new TForm(Application, 0);
    form->AfterConstruction();
    form->SetBounds(0, 0, 400, 300);
    edit = new TEdit(form);
    edit->SetParent(form);
    edit->SetBounds(10, 10, 150, 24);
    list = new TPopupListboxEh(form);
    list->SetVisible(false);
    list->SetParent(edit);
    list->SetCtl3D(false);
    list->SetItemHeight(16);
    form->Show();
    Application->ProcessMessages();
  }
  void TearDown() override { ResetVcl(); }

  void ShowList() {
    list->SetBounds(100, 100, 120, 16 * 4 + list->GetBorderSize());
    list->Show();
    Application->ProcessMessages();
  }
  COLORREF PixelAt(int X, int Y) {
    HDC dc = GetDC(list->Handle());
    const COLORREF c = GetPixel(dc, X, Y);
    ReleaseDC(list->Handle(), dc);
    return c;
  }

  TForm* form = nullptr;
  TEdit* edit = nullptr;
  TPopupListboxEh* list = nullptr;
};

TEST_F(PopupListboxTest, IsANonActivatingTopmostPopupWithoutTabStop) {
  const auto style = static_cast<DWORD>(GetWindowLong(list->Handle(), GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLong(list->Handle(), GWL_EXSTYLE));
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & WS_CHILD);
  EXPECT_FALSE(style & WS_TABSTOP);
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
  EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
  EXPECT_EQ(list->Perform(WM_MOUSEACTIVATE, 0, 0), MA_NOACTIVATE);
}

TEST_F(PopupListboxTest, HeightSnapsToWholeRowsBeforeAndAfterTheWindow) {
  for (bool ctl3D : {false, true}) {
    for (bool withWindow : {false, true}) {
      SCOPED_TRACE(testing::Message() << "3-D " << ctl3D << ", window " << withWindow);
      auto* l = new TPopupListboxEh(form);
      l->SetVisible(false);
      l->SetParent(edit);
      l->SetCtl3D(ctl3D);
      l->SetItemHeight(16);
      if (withWindow) l->HandleNeeded();
      const int border = l->GetBorderSize();
      EXPECT_EQ(border, ctl3D ? 4 : 2);
      struct Case {
        int asked, rows;
      };
      for (const Case c : {Case{0, 1}, Case{10, 1}, Case{border + 16, 1}, Case{border + 31, 1},
                           Case{border + 32, 2}, Case{border + 100, 6}}) {
        l->SetBounds(0, 0, 80, c.asked);
        EXPECT_EQ(l->Height(), c.rows * 16 + border) << "asked " << c.asked;
        EXPECT_EQ(l->Rows(), c.rows);
      }
      if (withWindow) {
        RECT cr{};
        GetClientRect(l->Handle(), &cr);
        EXPECT_EQ(cr.Bottom % 16, 0);
      }
      delete l;
    }
  }
}

TEST_F(PopupListboxTest, SetHeightForRows) {
  const int border = list->GetBorderSize();
  for (int rows : {-3, 0, 1, 7, 20}) {
    SCOPED_TRACE(rows);
    list->SetHeightForRows(rows);
    EXPECT_EQ(list->Height(), 16 * std::max(rows, 1) + border);
    EXPECT_EQ(list->Rows(), std::max(rows, 1));
  }
  list->SetItemHeight(20);
  list->SetRows(3);
  EXPECT_EQ(list->Height(), 60 + border);
}

TEST_F(PopupListboxTest, VirtualModeShowsExternalStringsAndRestoresOwnItems) {
  TObject own;
  list->Items()->AddObject("own one", &own);
  list->Items()->Add("own two");
  TStringList external;
  for (const char* s : {"alpha", "beta", "gamma"}) external.Add(s);

  list->SetItemsList(&external);
  EXPECT_EQ(list->Count(), 3);
  EXPECT_EQ(list->ItemText(1), "beta");
  EXPECT_EQ(list->ItemText(3), "");
  // The list's own Items read through to the external list.
  EXPECT_EQ(list->Items()->Strings(2), "gamma");
  EXPECT_EQ(list->Items()->IndexOf("GAMMA"), 2);
  EXPECT_EQ(list->Items()->IndexOf("gam"), -1);

  // The owner resynchronises after its list grew.
  external.Add("delta");
  list->SetItemsList(&external);
  EXPECT_EQ(list->Count(), 4);
  list->SetItemIndex(3);
  EXPECT_EQ(list->ItemIndex(), 3);

  list->SetItemsList(nullptr);
  ASSERT_EQ(list->Count(), 2);
  EXPECT_EQ(list->Items()->Strings(0), "own one");
  EXPECT_EQ(list->Items()->Objects(0), &own);
  EXPECT_EQ(list->ItemText(1), "own two");
}

TEST_F(PopupListboxTest, ItemObjectsDrawTheirEntries) {
  TColorItem red(clRed), blue(clBlue);
  TStringList external;
  external.AddObject("red", &red);
  external.Add("plain");
  external.AddObject("blue", &blue);
  for (bool virtualMode : {false, true}) {
    SCOPED_TRACE(virtualMode);
    red.drawn.clear();
    list->SetItemsList(nullptr);
    list->Clear();
    if (virtualMode)
      list->SetItemsList(&external);
    else
      list->Items()->Assign(&external);
    list->SetUseItemObjects(true);
    ShowList();
    list->Invalidate();
    Application->ProcessMessages();
    EXPECT_EQ(PixelAt(60, 8), static_cast<COLORREF>(ColorToRGB(clRed)));
    EXPECT_EQ(PixelAt(60, 16 * 2 + 8), static_cast<COLORREF>(ColorToRGB(clBlue)));
    EXPECT_EQ(PixelAt(60, 16 + 8), static_cast<COLORREF>(ColorToRGB(list->Color())));
    EXPECT_FALSE(red.drawn.empty());
    EXPECT_EQ(list->ItemBehaviour(1), nullptr);
    EXPECT_EQ(list->ItemBehaviour(2), &blue);

    // Without item objects every entry is drawn as text.
    list->SetUseItemObjects(false);
    Application->ProcessMessages();
    EXPECT_EQ(PixelAt(60, 8), static_cast<COLORREF>(ColorToRGB(list->Color())));
    list->Hide();
  }
}

TEST_F(PopupListboxTest, DefaultDrawingShowsSelectionAndText) {
  for (const char* s : {"first", "second", "third"}) list->Items()->Add(s);
  ShowList();
  list->SetItemIndex(1);
  Application->ProcessMessages();
  // Selected row: highlight colour beyond its text; unselected rows: the window colour.
  EXPECT_EQ(PixelAt(110, 16 + 8), static_cast<COLORREF>(ColorToRGB(clHighlight)));
  EXPECT_EQ(PixelAt(110, 8), static_cast<COLORREF>(ColorToRGB(list->Color())));
  // Some text pixel in the first row's text area differs from the background.
  bool ink = false;
  for (int x = 2; x < 40 && !ink; ++x)
    for (int y = 2; y < 14 && !ink; ++y)
      ink = PixelAt(x, y) != static_cast<COLORREF>(ColorToRGB(list->Color()));
  EXPECT_TRUE(ink);
}

TEST_F(PopupListboxTest, BaseItemBehaviour) {
  TPopupListboxItemEh base;
  TColorItem stays(clRed, false);
  bool close = false;
  base.MouseUp(list, 0, mbLeft, {}, TPoint{1, 1}, close);
  EXPECT_TRUE(close);
  stays.MouseUp(list, 0, mbLeft, {}, TPoint{1, 1}, close);
  EXPECT_FALSE(close);
  EXPECT_TRUE(base.CanFocus(list, 0));
}

TEST_F(PopupListboxTest, SizeGripResizesToWholeRowsAndMarksTheList) {
  int notified = 0;
  list->OnSizeGripResized = TNotifyEvent([&](TObject*) { ++notified; });
  ShowList();
  TSizeGripEh* grip = list->SizeGrip();
  ASSERT_TRUE(grip->HandleAllocated());
  EXPECT_EQ(grip->Left(), list->ClientWidth() - grip->Width());
  EXPECT_EQ(grip->Top(), list->ClientHeight() - grip->Height());
  EXPECT_FALSE(list->SizeGripResized());

  const TPoint p = grip->ClientToScreen(TPoint{grip->Width() - 2, grip->Height() - 2});
  Input::MouseMove(POINT{p.X, p.Y});
  Input::MouseDown(VK_LBUTTON, POINT{p.X, p.Y});
  Input::MouseMove(POINT{p.X + 25, p.Y + 37});
  Input::MouseUp(VK_LBUTTON, POINT{p.X + 25, p.Y + 37});
  Application->ProcessMessages();

  EXPECT_EQ(list->Width(), 145);
  EXPECT_EQ(list->Rows(), 6);  // 64 + 37 = 101 pixels of rows: six whole rows
  EXPECT_EQ(list->Height(), 6 * 16 + list->GetBorderSize());
  EXPECT_TRUE(list->SizeGripResized());
  EXPECT_GT(notified, 0);
  EXPECT_EQ(grip->Top(), list->ClientHeight() - grip->Height());
}

}  // namespace
