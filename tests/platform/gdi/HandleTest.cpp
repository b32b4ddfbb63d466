// Handles: stale, foreign and wrong-kind handles are refused; selected and stock objects
// survive DeleteObject (a selected object is refused: FALSE, and it stays usable).
#include <gtest/gtest.h>

#include "platform/gdi/HandleTable.h"
#include "tests/platform/gdi/BitmapCanvas.h"

namespace {

TEST(HandleTest, StaleHandleRefusedAfterDelete) {
  HPEN pen = CreatePen(PS_SOLID, 1, kRed);
  ASSERT_NE(pen, nullptr);
  ASSERT_TRUE(DeleteObject(pen));
  LOGPEN log;
  EXPECT_EQ(GetObject(pen, sizeof log, &log), 0);
  EXPECT_EQ(GetObjectType(pen), 0u);
  EXPECT_FALSE(DeleteObject(pen));
  // The slot is reused by the next object; the old handle still names nothing.
  HPEN next = CreatePen(PS_SOLID, 1, kBlue);
  EXPECT_NE(next, pen);
  EXPECT_EQ(GetObjectType(pen), 0u);
  TBitmapCanvas canvas;
  EXPECT_EQ(SelectObject(canvas.Dc(), pen), nullptr);
  EXPECT_TRUE(DeleteObject(next));
}

TEST(HandleTest, WrongKindRefused) {
  TBitmapCanvas canvas;
  HPEN pen = CreatePen(PS_SOLID, 1, kRed);
  HBRUSH brush = CreateSolidBrush(kRed);
  HRGN rgn = CreateRectRgn(0, 0, 4, 4);
  RECT r{0, 0, 4, 4};
  EXPECT_EQ(FillRect(canvas.Dc(), &r, reinterpret_cast<HBRUSH>(pen)), 0);
  EXPECT_EQ(CombineRgn(rgn, reinterpret_cast<HRGN>(brush), rgn, RGN_OR), ERROR);
  EXPECT_FALSE(PtInRegion(reinterpret_cast<HRGN>(pen), 1, 1));
  EXPECT_EQ(SelectClipRgn(canvas.Dc(), reinterpret_cast<HRGN>(brush)), ERROR);
  EXPECT_FALSE(DeleteDC(reinterpret_cast<HDC>(canvas.Bitmap())));
  EXPECT_FALSE(DeleteObject(canvas.Dc()));  // a DC goes with DeleteDC
  EXPECT_EQ(canvas.At(0, 0), kWhite);
  DeleteObject(pen);
  DeleteObject(brush);
  DeleteObject(rgn);
}

TEST(HandleTest, ForeignValuesRefused) {
  int local = 0;
  for (void* h : {static_cast<void*>(&local), reinterpret_cast<void*>(uintptr_t{0x1234}),
                  reinterpret_cast<void*>(~uintptr_t{0}), reinterpret_cast<void*>(uintptr_t{1} << 40)}) {
    SCOPED_TRACE(reinterpret_cast<uintptr_t>(h));
    EXPECT_EQ(GetObjectType(h), 0u);
    EXPECT_FALSE(DeleteObject(h));
    EXPECT_EQ(GetDeviceCaps(static_cast<HDC>(h), HORZRES), 0);
  }
}

TEST(HandleTest, SelectedObjectIsNotDeleted) {
  TBitmapCanvas canvas;
  HPEN pen = CreatePen(PS_SOLID, 1, kRed);
  HGDIOBJ old = SelectObject(canvas.Dc(), pen);
  EXPECT_FALSE(DeleteObject(pen));
  EXPECT_EQ(GetObjectType(pen), OBJ_PEN);
  MoveToEx(canvas.Dc(), 0, 0, nullptr);
  LineTo(canvas.Dc(), 3, 0);
  EXPECT_EQ(canvas.At(1, 0), kRed);
  SelectObject(canvas.Dc(), old);
  EXPECT_TRUE(DeleteObject(pen));
}

TEST(HandleTest, SavedStateHoldsItsObjects) {
  TBitmapCanvas canvas;
  HBRUSH a = CreateSolidBrush(kRed), b = CreateSolidBrush(kBlue);
  HGDIOBJ original = SelectObject(canvas.Dc(), a);
  const int saved = SaveDC(canvas.Dc());
  SelectObject(canvas.Dc(), b);
  EXPECT_FALSE(DeleteObject(a));  // the saved state still has it
  ASSERT_TRUE(RestoreDC(canvas.Dc(), saved));
  EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_BRUSH), a);
  EXPECT_TRUE(DeleteObject(b));
  SelectObject(canvas.Dc(), original);
  EXPECT_TRUE(DeleteObject(a));
}

TEST(HandleTest, StockObjectsSurviveDelete) {
  for (int index : {WHITE_BRUSH, BLACK_PEN, NULL_PEN, SYSTEM_FONT, DEFAULT_GUI_FONT, DC_BRUSH}) {
    SCOPED_TRACE(index);
    HGDIOBJ stock = GetStockObject(index);
    ASSERT_NE(stock, nullptr);
    EXPECT_TRUE(DeleteObject(stock));
    EXPECT_NE(GetObjectType(stock), 0u);
    EXPECT_EQ(GetStockObject(index), stock);
  }
  HBRUSH sys = GetSysColorBrush(COLOR_BTNFACE);
  EXPECT_TRUE(DeleteObject(sys));
  EXPECT_EQ(GetObjectType(sys), OBJ_BRUSH);
  EXPECT_EQ(GetStockObject(-1), nullptr);
  EXPECT_EQ(GetStockObject(9), nullptr);
}

TEST(HandleTest, BitmapBelongsToOneDCAtATime) {
  HBITMAP bmp = CreateCompatibleBitmap(nullptr, 4, 4);
  HDC a = CreateCompatibleDC(nullptr), b = CreateCompatibleDC(nullptr);
  HGDIOBJ oldA = SelectObject(a, bmp);
  ASSERT_NE(oldA, nullptr);
  EXPECT_EQ(SelectObject(b, bmp), nullptr);
  EXPECT_EQ(SelectObject(a, bmp), bmp);  // again into the same DC is fine
  SelectObject(a, oldA);
  EXPECT_NE(SelectObject(b, bmp), nullptr);
  DeleteDC(b);  // deleting the DC lets go of the bitmap
  EXPECT_TRUE(DeleteObject(bmp));
  DeleteDC(a);
}

TEST(HandleTest, DeleteDCReleasesSelections) {
  // The stock objects a DC starts with are made on first use; make them before counting.
  DeleteDC(CreateCompatibleDC(nullptr));
  const size_t before = gdi_internal::LiveObjectCount();
  HDC dc = CreateCompatibleDC(nullptr);
  HPEN pen = CreatePen(PS_DOT, 1, kRed);
  HFONT font = CreateFont(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, 1, 0, 0, 0, 0, "Sans");
  SelectObject(dc, pen);
  SelectObject(dc, font);
  SaveDC(dc);
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_FALSE(DeleteDC(dc));
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_TRUE(DeleteObject(font));
  EXPECT_EQ(gdi_internal::LiveObjectCount(), before);
}

TEST(HandleTest, SurfaceDCHoldsItsTarget) {
  HBITMAP target = CreateCompatibleBitmap(nullptr, 8, 8);
  HDC dc = gdi_internal::CreateSurfaceDC(target, POINT{2, 2}, {RECT{0, 0, 8, 8}});
  ASSERT_NE(dc, nullptr);
  EXPECT_FALSE(DeleteObject(target));
  EXPECT_EQ(GetObjectType(dc), OBJ_DC);
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_TRUE(DeleteObject(target));
}

TEST(HandleTest, ScreenDCIsSharedAndResetByDelete) {
  HDC screen = GetScreenDC();
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(GetScreenDC(), screen);
  HFONT font = CreateFont(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, 1, 0, 0, 0, 0, "Sans");
  SelectObject(screen, font);
  SetTextColor(screen, kRed);
  EXPECT_TRUE(DeleteDC(screen));
  EXPECT_EQ(GetScreenDC(), screen);
  EXPECT_EQ(GetTextColor(screen), kBlack);
  EXPECT_EQ(GetCurrentObject(screen, OBJ_FONT), GetStockObject(DEFAULT_GUI_FONT));
  EXPECT_TRUE(DeleteObject(font));
}

}  // namespace
