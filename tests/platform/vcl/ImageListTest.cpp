// Image lists: adding (strips, masks, mask colours), drawing enabled and disabled, editing,
// change links, resources, streaming, and the image-list API's handles.
#include <gtest/gtest.h>

#include "platform/gdi/DrawRecorder.h"
#include "platform/rtl/Resources.h"
#include "platform/vcl/ImgList.h"

namespace {

// A strip of `count` w x h cells: cell k is filled with colours[k] on a fuchsia border.
void Strip(TBitmap& b, int w, int h, const std::vector<TColor>& colours) {
  b.SetSize(w * static_cast<int>(colours.size()), h);
  TCanvas* c = b.Canvas();
  c->Brush()->SetColor(clFuchsia);
  c->FillRect(Rect(0, 0, b.Width(), h));
  for (size_t k = 0; k < colours.size(); ++k) {
    c->Brush()->SetColor(colours[k]);
    c->FillRect(Rect(static_cast<int>(k) * w + 1, 1, static_cast<int>(k + 1) * w - 1, h - 1));
  }
}

class ImageListTest : public testing::Test {
 protected:
  void SetUp() override {
    target.SetSize(20, 20);
    Fill(clLime);
  }
  void Fill(TColor c) {
    target.Canvas()->Brush()->SetColor(c);
    target.Canvas()->FillRect(Rect(0, 0, 20, 20));
  }
  TColor At(int x, int y) { return target.Canvas()->Pixels(x, y); }
  TBitmap target;
};

TEST_F(ImageListTest, Defaults) {
  TImageList list(nullptr);
  EXPECT_EQ(list.Width(), 16);
  EXPECT_EQ(list.Height(), 16);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_TRUE(list.Masked());
  EXPECT_EQ(list.BkColor(), clNone);
  EXPECT_EQ(list.DrawingStyle(), dsNormal);
  EXPECT_TRUE(list.HandleAllocated());
  std::unique_ptr<TImageList> sized(TImageList::CreateSize(10, 8));
  int cx = 0, cy = 0;
  ASSERT_TRUE(ImageList_GetIconSize(sized->Handle(), &cx, &cy));
  EXPECT_EQ(cx, 10);
  EXPECT_EQ(cy, 8);
  try {
    TImageList bad(0, 5);
    FAIL();
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "Invalid image size");
  }
}

TEST_F(ImageListTest, AddSplitsAStripIntoImages) {
  TImageList list(5, 5);
  TBitmap strip;
  Strip(strip, 5, 5, {clRed, clGreen, clBlue});
  EXPECT_EQ(list.Add(&strip, nullptr), 0);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Add(&strip, nullptr), 3);
  EXPECT_EQ(list.Count(), 6);
  TBitmap narrow;
  narrow.SetSize(4, 5);
  EXPECT_EQ(list.Add(&narrow, nullptr), -1);
  EXPECT_EQ(list.Add(nullptr, nullptr), -1);
  EXPECT_EQ(list.Count(), 6);
  // No mask: the fuchsia border is drawn.
  list.Draw(target.Canvas(), 2, 2, 1);
  EXPECT_EQ(At(2, 2), clFuchsia);
  EXPECT_EQ(At(4, 4), clGreen);
}

TEST_F(ImageListTest, MaskColourAndMaskBitmapMakePixelsTransparent) {
  TImageList list(5, 5);
  TBitmap strip;
  Strip(strip, 5, 5, {clRed, clNavy});
  list.AddMasked(&strip, clFuchsia);
  list.Draw(target.Canvas(), 0, 0, 0);
  EXPECT_EQ(At(0, 0), clLime);  // the border shows the canvas
  EXPECT_EQ(At(2, 2), clRed);

  TBitmap mask;
  mask.SetSize(5, 5);
  mask.Canvas()->Brush()->SetColor(clBlack);
  mask.Canvas()->FillRect(Rect(0, 0, 5, 5));
  mask.Canvas()->SetPixels(2, 2, clWhite);
  TBitmap one;
  Strip(one, 5, 5, {clYellow});
  list.Add(&one, &mask);
  list.Draw(target.Canvas(), 10, 10, 2);
  EXPECT_EQ(At(12, 12), clLime);
  EXPECT_EQ(At(11, 11), clYellow);
  EXPECT_EQ(At(10, 10), clFuchsia);

  // A list that is not masked draws every pixel.
  TImageList plain(5, 5);
  plain.SetMasked(false);
  plain.AddMasked(&strip, clFuchsia);
  Fill(clLime);
  plain.Draw(target.Canvas(), 0, 0, 0);
  EXPECT_EQ(At(0, 0), clFuchsia);
}

TEST_F(ImageListTest, BackgroundColourAndDrawingStyles) {
  TImageList list(5, 5);
  TBitmap strip;
  Strip(strip, 5, 5, {clBlack});
  list.AddMasked(&strip, clFuchsia);
  list.SetBkColor(clWhite);
  list.Draw(target.Canvas(), 0, 0, 0);
  EXPECT_EQ(At(0, 0), clWhite);  // masked pixels take the background colour
  list.Draw(target.Canvas(), 6, 0, 0, dsTransparent, itImage);
  EXPECT_EQ(At(6, 0), clLime);
  list.Draw(target.Canvas(), 12, 0, 0, dsNormal, itMask);
  EXPECT_EQ(At(12, 0), clWhite);
  EXPECT_EQ(At(14, 2), clBlack);
  list.SetBlendColor(clWhite);
  list.Draw(target.Canvas(), 0, 6, 0, dsSelected, itImage);
  EXPECT_EQ(At(2, 8), RGB(127, 127, 127));  // half black, half white
  list.Draw(target.Canvas(), 6, 6, 0, dsFocus, itImage);
  EXPECT_EQ(At(8, 8), RGB(63, 63, 63));
}

TEST_F(ImageListTest, DisabledImagesAreEmbossed) {
  TImageList list(5, 5);
  TBitmap strip;
  strip.SetSize(5, 5);
  strip.Canvas()->Brush()->SetColor(clFuchsia);
  strip.Canvas()->FillRect(Rect(0, 0, 5, 5));
  strip.Canvas()->SetPixels(1, 1, clNavy);
  strip.Canvas()->SetPixels(3, 3, clWhite);  // white takes no part in the shape
  list.AddMasked(&strip, clFuchsia);
  Fill(clBtnFace);
  list.Draw(target.Canvas(), 4, 4, 0, false);
  const TColor face = static_cast<TColor>(ColorToRGB(clBtnFace));
  EXPECT_EQ(At(5, 5), static_cast<TColor>(ColorToRGB(clBtnShadow)));
  EXPECT_EQ(At(6, 6), static_cast<TColor>(ColorToRGB(clBtnHighlight)));
  EXPECT_EQ(At(7, 7), face);
  EXPECT_EQ(At(8, 8), face);
  EXPECT_EQ(At(4, 4), face);
}

TEST_F(ImageListTest, DeleteMoveInsertAndReplace) {
  TImageList list(5, 5);
  TBitmap strip;
  Strip(strip, 5, 5, {clRed, clGreen, clBlue});
  list.Add(&strip, nullptr);
  auto colourOf = [&](int index) {
    list.Draw(target.Canvas(), 0, 0, index);
    return At(2, 2);
  };
  try {
    list.Delete(3);
    FAIL();
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "Invalid ImageList Index");
  }
  EXPECT_THROW(list.Delete(-1), EInvalidOperation);
  list.Delete(1);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(colourOf(1), clBlue);
  list.Move(0, 1);
  EXPECT_EQ(colourOf(0), clBlue);
  EXPECT_EQ(colourOf(1), clRed);
  TBitmap one;
  Strip(one, 5, 5, {clYellow});
  list.Insert(1, &one, nullptr);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(colourOf(0), clBlue);
  EXPECT_EQ(colourOf(1), clYellow);
  EXPECT_EQ(colourOf(2), clRed);
  Strip(one, 5, 5, {clTeal});
  list.ReplaceMasked(2, &one, clFuchsia);
  EXPECT_EQ(colourOf(2), clTeal);
  EXPECT_EQ(list.Count(), 3);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(ImageListTest, ChangingTheSizeRemovesTheImages) {
  TImageList list(5, 5);
  TBitmap strip;
  Strip(strip, 5, 5, {clRed, clGreen});
  list.Add(&strip, nullptr);
  list.SetWidth(5);
  EXPECT_EQ(list.Count(), 2);
  list.SetWidth(6);
  EXPECT_EQ(list.Count(), 0);
  list.Add(&strip, nullptr);
  list.SetMasked(false);
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(ImageListTest, GetBitmapAndGetIcon) {
  TImageList list(5, 5);
  TBitmap strip;
  Strip(strip, 5, 5, {clRed, clGreen});
  list.AddMasked(&strip, clFuchsia);
  TBitmap out;
  EXPECT_TRUE(list.GetBitmap(1, &out));
  EXPECT_EQ(out.Width(), 5);
  EXPECT_EQ(out.Canvas()->Pixels(0, 0), clWhite);
  EXPECT_EQ(out.Canvas()->Pixels(2, 2), clGreen);
  EXPECT_FALSE(list.GetBitmap(2, &out));
  TIcon icon;
  list.GetIcon(0, &icon);
  EXPECT_EQ(icon.Width(), 5);
  target.Canvas()->Draw(0, 0, &icon);
  EXPECT_EQ(At(0, 0), clLime);
  EXPECT_EQ(At(2, 2), clRed);
  EXPECT_EQ(list.AddIcon(&icon), 2);
}

TEST_F(ImageListTest, ChangeLinksHearEveryChange) {
  auto list = std::make_unique<TImageList>(5, 5);
  TChangeLink a, b;
  std::vector<std::string> heard;
  a.OnChange = [&](TObject* s) {
    EXPECT_EQ(s, list.get());
    heard.push_back("a");
  };
  b.OnChange = [&](TObject*) { heard.push_back("b"); };
  list->OnChange = [&](TObject*) { heard.push_back("list"); };
  list->RegisterChanges(&a);
  list->RegisterChanges(&b);
  EXPECT_EQ(a.Sender(), list.get());
  TBitmap strip;
  Strip(strip, 5, 5, {clRed});
  list->Add(&strip, nullptr);
  EXPECT_EQ(heard, (std::vector<std::string>{"a", "b", "list"}));
  heard.clear();
  list->UnRegisterChanges(&b);
  EXPECT_EQ(b.Sender(), nullptr);
  list->BeginUpdate();
  list->Add(&strip, nullptr);
  list->Delete(0);
  EXPECT_TRUE(heard.empty());
  list->EndUpdate();
  EXPECT_EQ(heard, (std::vector<std::string>{"a", "list"}));

  {
    // A link freed first unregisters itself.
    TChangeLink temp;
    list->RegisterChanges(&temp);
  }
  heard.clear();
  list->Clear();
  EXPECT_EQ(heard, (std::vector<std::string>{"a", "list"}));
  // A list freed first detaches its links.
  list.reset();
  EXPECT_EQ(a.Sender(), nullptr);
}

TEST_F(ImageListTest, LoadsAStripFromTheResourceRegistry) {
  TBitmap strip;
  Strip(strip, 10, 10, {clRed, clGreen, clBlue, clYellow});
  RegisterResourceAs<TBmpImage>("BITMAP", "GFXTEST_IMLIST10", std::make_shared<TBmpImage>(strip.ToImage()));
  TImageList list(nullptr);
  EXPECT_TRUE(list.GetResource(rtBitmap, "GFXTEST_IMLIST10", 10, {}, clFuchsia));
  EXPECT_EQ(list.Count(), 4);
  EXPECT_EQ(list.Width(), 10);
  EXPECT_EQ(list.Height(), 10);
  list.Draw(target.Canvas(), 0, 0, 3);
  EXPECT_EQ(At(0, 0), clLime);
  EXPECT_EQ(At(5, 5), clYellow);
  EXPECT_FALSE(list.GetResource(rtBitmap, "GFXTEST_MISSING", 10, {}, clFuchsia));
  EXPECT_EQ(list.Width(), 10);
  EXPECT_EQ(list.Count(), 4);
  UnregisterResource("BITMAP", "GFXTEST_IMLIST10");
}

TEST_F(ImageListTest, ImagesStreamWithTheComponent) {
  TImageList a(nullptr);
  a.SetWidth(6);
  a.SetHeight(4);
  TBitmap strip;
  Strip(strip, 6, 4, {clRed, clGreen, clBlue, clYellow, clTeal});
  a.AddMasked(&strip, clFuchsia);
  TMemoryStream s;
  s.WriteComponent(&a);
  s.SetPosition(0);
  TImageList b(nullptr);
  s.ReadComponent(&b);
  ASSERT_EQ(b.Count(), 5);
  EXPECT_EQ(b.Width(), 6);
  EXPECT_EQ(b.Height(), 4);
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    std::vector<uint32_t> pa, pb;
    std::vector<bool> ta, tb;
    ASSERT_TRUE(ImageList_GetImagePixels(a.Handle(), i, pa, ta));
    ASSERT_TRUE(ImageList_GetImagePixels(b.Handle(), i, pb, tb));
    EXPECT_EQ(pa, pb);
    EXPECT_EQ(ta, tb);
  }
}

TEST_F(ImageListTest, BadImageStreamsRaiseReadErrors) {
  TImageList a(nullptr);
  TBitmap strip;
  Strip(strip, 16, 16, {clRed});
  a.Add(&strip, nullptr);
  TMemoryStream s;
  s.WriteComponent(&a);
  const std::vector<uint8_t> good(s.Memory(), s.Memory() + s.Size());
  // Find the "IL" block and damage it in several ways.
  size_t il = 0;
  for (size_t i = 0; i + 3 < good.size(); ++i)
    if (good[i] == 'I' && good[i + 1] == 'L' && good[i + 2] == 1 && good[i + 3] == 1) il = i;
  ASSERT_GT(il, 0u);
  std::vector<std::pair<size_t, uint8_t>> damage = {{il + 1, 'X'},  {il + 2, 2},     {il + 10, 0},
                                                    {il + 28, 'Q'}, {il + 30, 0xFF}, {il + 4, 9}};
  for (const auto& [at, value] : damage) {
    SCOPED_TRACE(at - il);
    auto bad = good;
    bad[at] = value;
    if (at == il + 30) bad[at + 1] = 0xFF;  // bitmap file size beyond the data
    TMemoryStream in;
    in.WriteBuffer(bad.data(), static_cast<int64_t>(bad.size()));
    in.SetPosition(0);
    TImageList b(nullptr);
    EXPECT_THROW(in.ReadComponent(&b), EReadError);
  }
}

TEST(ImageListApiTest, StaleHandlesAreRefused) {
  HIMAGELIST h = ImageList_Create(4, 4, ILC_COLOR32 | ILC_MASK, 0, 4);
  ASSERT_NE(h, nullptr);
  ASSERT_TRUE(ImageList_SetImageCount(h, 2));
  EXPECT_EQ(ImageList_GetImageCount(h), 2);
  HIMAGELIST dup = ImageList_Duplicate(h);
  EXPECT_TRUE(ImageList_Destroy(h));
  EXPECT_FALSE(ImageList_Destroy(h));
  EXPECT_EQ(ImageList_GetImageCount(h), 0);
  HIMAGELIST again = ImageList_Create(4, 4, 0, 0, 4);  // reuses the slot with a new generation
  EXPECT_NE(again, h);
  EXPECT_EQ(ImageList_Remove(h, -1), FALSE);
  EXPECT_EQ(ImageList_GetImageCount(dup), 2);
  EXPECT_EQ(ImageList_Create(0, 4, 0, 0, 0), nullptr);
  ImageList_Destroy(again);
  ImageList_Destroy(dup);
}

TEST(ImageListApiTest, DrawingGoesThroughBlits) {
  TImageList list(4, 4);
  TBitmap strip;
  Strip(strip, 4, 4, {clRed});
  list.AddMasked(&strip, clFuchsia);
  TBitmap target;
  target.SetSize(8, 8);
  TDrawLog log;
  AttachDrawRecorder(target.Canvas()->Handle(), &log);
  ImageList_Draw(list.Handle(), 0, target.Canvas()->Handle(), 1, 1, ILD_TRANSPARENT);
  AttachDrawRecorder(target.Canvas()->Handle(), nullptr);
  auto blts = log.OfKind(TDrawKind::Blt);
  ASSERT_EQ(blts.size(), 2u);
  EXPECT_EQ(blts[0]->Flags, SRCAND);
  EXPECT_EQ(blts[1]->Flags, SRCPAINT);
  EXPECT_FALSE(ImageList_Draw(list.Handle(), 5, target.Canvas()->Handle(), 0, 0, ILD_NORMAL));
}

}  // namespace
