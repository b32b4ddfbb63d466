#pragma once
// What the tests of the data-aware editor's buttons, MRU list, painting, hints and drop-down
// forms share: a shown form with the editor (its protected members opened) and another edit to
// take the focus, and pixel counts of what the editor paints.
#include <gtest/gtest.h>

#include "grid/editors/DBEditEh.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Input.h"
#include "platform/win/WinTesting.h"

// Opens the protected members the tests look at.
class TExposedDBEditEh : public TDBEditEh {
  RTL_CLASS(TExposedDBEditEh, TDBEditEh)
 public:
  explicit TExposedDBEditEh(TComponent* AOwner) : TDBEditEh(AOwner) {}
  using TCustomDBEditEh::CalcEditRect;
  using TCustomDBEditEh::ShowDropDownForm;
  TMRUListboxEh* MRUListBox() const { return mruListBox_; }
};

namespace dbedit_test {

constexpr COLORREF kSilver = RGB(192, 192, 192);
constexpr COLORREF kRed = RGB(255, 0, 0);

class DBEditFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    SetSystemMetricForTest(SM_CXVSCROLL, 18);
    form = new TForm(Application, 0);
    form->AfterConstruction();
    form->SetBounds(50, 50, 400, 300);
    other = new TEdit(form);
    other->SetParent(form);
    other->SetBounds(10, 200, 100, 21);
    edit = new TExposedDBEditEh(form);
    edit->SetParent(form);
    edit->SetBounds(10, 10, 200, 24);
    form->Show();
    other->SetFocus();
    Application->ProcessMessages();
  }
  void TearDown() override { ResetVcl(); }

  void ClickOn(TControl* c) {
    const TPoint p = c->ClientToScreen(TPoint{c->Width() / 2, c->Height() / 2});
    WinTesting::Click(POINT{p.X, p.Y});
    Application->ProcessMessages();
  }
  // Pixels of one colour in the editor as PaintTo draws it into a memory bitmap.
  int CountPaintedPixels(COLORREF Color, int OnlyRow = -1) {
    const int w = edit->Width(), h = edit->Height();
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, bmp);
    edit->PaintTo(mem, 0, 0);
    int n = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if ((OnlyRow < 0 || y == OnlyRow) && GetPixel(mem, x, y) == Color) ++n;
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(bmp);
    return n;
  }
  // Pixels of one colour in the editor's client area on screen (its own WM_PAINT).
  int CountWindowPixels(COLORREF Color, int OnlyRow = -1) {
    edit->Invalidate();
    Application->ProcessMessages();
    HDC dc = GetDC(edit->Handle());
    const TRect r = edit->ClientRect();
    int n = 0;
    for (int y = 0; y < r.Bottom; ++y)
      for (int x = 0; x < r.Right; ++x)
        if ((OnlyRow < 0 || y == OnlyRow) && GetPixel(dc, x, y) == Color) ++n;
    ReleaseDC(edit->Handle(), dc);
    return n;
  }

  TForm* form = nullptr;
  TEdit* other = nullptr;
  TExposedDBEditEh* edit = nullptr;
};

inline TRect BoundsOf(TControl* c) {
  return TRect{c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()};
}

}  // namespace dbedit_test
