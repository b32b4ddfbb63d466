#include <gtest/gtest.h>

#include "PaintTestSupport.h"

namespace {

COLORREF S(int index) {
  return TDistinctSysColors::Sys(index);
}

// Selects a bitmap into a memory DC for reading its pixels.
class TBitmapReader {
 public:
  explicit TBitmapReader(HBITMAP bitmap) : bitmap_(bitmap), dc_(CreateCompatibleDC(nullptr)) {
    old_ = SelectObject(dc_, bitmap_);
  }
  ~TBitmapReader() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  TBitmapReader(const TBitmapReader&) = delete;
  TBitmapReader& operator=(const TBitmapReader&) = delete;

  BITMAP Info() const {
    BITMAP bm;
    EXPECT_EQ(GetObject(bitmap_, sizeof bm, &bm), static_cast<int>(sizeof bm));
    return bm;
  }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
  int Count(COLORREF c, const RECT& r) const {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) n += At(x, y) == c;
    return n;
  }

 private:
  HBITMAP bitmap_;
  HDC dc_;
  HGDIOBJ old_;
};

TEST(SystemBitmaps, CheckBoxesAreAFourByThreeGridOfThirteenPixelCells) {
  TDistinctSysColors colors;
  HBITMAP bitmap = LoadBitmap(nullptr, OBM_CHECKBOXES);
  ASSERT_NE(bitmap, nullptr);
  TBitmapReader bmp(bitmap);
  const BITMAP info = bmp.Info();
  EXPECT_EQ(info.bmWidth, 52);
  EXPECT_EQ(info.bmHeight, 39);
  EXPECT_EQ(info.bmWidth / 4, 13);
  EXPECT_EQ(info.bmHeight / 3, 13);

  auto cell = [](int col, int row) { return Bounds(col * 13, row * 13, 13, 13); };
  auto inside = [&](int col, int row) {
    RECT r = cell(col, row);
    InflateRect(r, -2, -2);
    return r;
  };
  const COLORREF mark = S(COLOR_WINDOWTEXT);
  struct Case {
    int col, row;
    int marks;      // pixels of the window text colour: check mark or radio dot
    COLORREF face;  // the colour inside the box
  } cases[] = {
      {0, 0, 0, S(COLOR_WINDOW)},   {1, 0, 21, S(COLOR_WINDOW)},  {2, 0, 0, S(COLOR_BTNFACE)},
      {3, 0, 21, S(COLOR_BTNFACE)}, {0, 1, 0, S(COLOR_WINDOW)},   {1, 1, 12, S(COLOR_WINDOW)},
      {2, 1, 0, S(COLOR_BTNFACE)},  {3, 1, 12, S(COLOR_BTNFACE)}, {0, 2, 0, S(COLOR_WINDOW)},
      {2, 2, 0, S(COLOR_BTNFACE)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "cell " << c.col << "," << c.row);
    EXPECT_EQ(bmp.Count(mark, cell(c.col, c.row)), c.marks);
    EXPECT_EQ(bmp.At(cell(c.col, c.row).Left + 6, cell(c.col, c.row).Top + 3), c.face);
  }
  // Check boxes have a sunken edge; radio buttons leave the cell's corner to the face.
  EXPECT_EQ(bmp.At(0, 0), S(COLOR_BTNSHADOW));
  EXPECT_EQ(bmp.At(0, 13), S(COLOR_BTNFACE));
  // The indeterminate three-state images carry a grey mark instead of a black one.
  EXPECT_EQ(bmp.Count(S(COLOR_BTNSHADOW), inside(1, 2)), 21);
  EXPECT_EQ(bmp.Count(S(COLOR_BTNSHADOW), inside(3, 2)), 21);
}

TEST(SystemBitmaps, CheckIsABlackMarkOnWhite) {
  HBITMAP bitmap = LoadBitmap(nullptr, OBM_CHECK);
  ASSERT_NE(bitmap, nullptr);
  TBitmapReader bmp(bitmap);
  EXPECT_EQ(bmp.Info().bmWidth, 13);
  EXPECT_EQ(bmp.Info().bmHeight, 13);
  const RECT all{0, 0, 13, 13};
  EXPECT_EQ(bmp.Count(RGB(0, 0, 0), all), 21);
  EXPECT_EQ(bmp.Count(RGB(255, 255, 255), all), 13 * 13 - 21);
}

TEST(SystemBitmaps, UnknownIdsAndModulesAnswerNothing) {
  EXPECT_EQ(LoadBitmap(nullptr, 12345), nullptr);
  int module = 0;
  EXPECT_EQ(LoadBitmap(&module, OBM_CHECK), nullptr);
}

TEST(SystemBitmaps, EachLoadIsANewBitmapOwnedByTheCaller) {
  HBITMAP a = LoadBitmap(nullptr, OBM_CHECK);
  HBITMAP b = LoadBitmap(nullptr, OBM_CHECK);
  ASSERT_NE(a, nullptr);
  EXPECT_NE(a, b);
  EXPECT_TRUE(DeleteObject(a));
  EXPECT_TRUE(DeleteObject(b));
}

}  // namespace
