// Bitmaps (size, scan lines, BMP streams and bad input, transparency, resources, the "Data"
// property), icons and pictures.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/rtl/Resources.h"
#include "platform/vcl/Graphics.h"

namespace {

// A 4 x 3 bitmap with a distinct colour in every pixel.
void Paint(TBitmap& b) {
  b.SetSize(4, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) b.Canvas()->SetPixels(x, y, RGB(x * 60, y * 100, 7 + x + y));
}

std::vector<uint8_t> Bytes(TMemoryStream& s) {
  return {s.Memory(), s.Memory() + s.Size()};
}

TEST(GraphicsBitmapTest, NewPixelsAreWhiteAndResizingKeepsTheTopLeft) {
  TBitmap b;
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(b.Handle(), nullptr);
  b.SetSize(3, 2);
  EXPECT_EQ(b.Canvas()->Pixels(2, 1), clWhite);
  b.Canvas()->SetPixels(1, 1, clRed);
  b.SetWidth(5);
  b.SetHeight(4);
  EXPECT_EQ(b.Width(), 5);
  EXPECT_EQ(b.Canvas()->Pixels(1, 1), clRed);
  EXPECT_EQ(b.Canvas()->Pixels(4, 3), clWhite);
  b.SetSize(1, 1);
  EXPECT_EQ(b.Canvas()->Pixels(0, 0), clWhite);
  b.SetSize(-5, 2);
  EXPECT_TRUE(b.Empty());
  EXPECT_THROW(b.SetSize(100000, 1), EOutOfResources);
}

TEST(GraphicsBitmapTest, ScanLinesFollowThePixelFormat) {
  TBitmap b;
  b.SetSize(3, 2);
  b.SetPixelFormat(pf32bit);
  static_cast<uint32_t*>(b.ScanLine(1))[2] = 0x00112233;  // 0x00RRGGBB
  EXPECT_EQ(b.Canvas()->Pixels(2, 1), RGB(0x11, 0x22, 0x33));

  b.SetPixelFormat(pf24bit);
  uint8_t* row = static_cast<uint8_t*>(b.ScanLine(0));
  row[3] = 0x30;  // pixel 1: blue, green, red
  row[4] = 0x20;
  row[5] = 0x10;
  EXPECT_EQ(static_cast<uint8_t*>(b.ScanLine(1))[6], 0x33);  // the earlier 32-bit write shows
  EXPECT_EQ(b.Canvas()->Pixels(1, 0), RGB(0x10, 0x20, 0x30));

  EXPECT_THROW(b.ScanLine(2), EInvalidGraphicOperation);
  EXPECT_THROW(b.ScanLine(-1), EInvalidGraphicOperation);
  b.SetPixelFormat(pf8bit);
  EXPECT_THROW(b.ScanLine(0), EInvalidGraphicOperation);
}

TEST(GraphicsBitmapTest, BmpRoundTripsKeepPixelsAndFormat) {
  const TPixelFormat formats[] = {pf24bit, pf32bit, pfDevice, pf8bit};
  for (TPixelFormat f : formats) {
    SCOPED_TRACE(static_cast<int>(f));
    TBitmap a;
    Paint(a);
    a.SetPixelFormat(f);
    TMemoryStream s;
    a.SaveToStream(&s);
    s.SetPosition(0);
    TBitmap b;
    b.LoadFromStream(&s);
    EXPECT_EQ(b.Width(), 4);
    EXPECT_EQ(b.Height(), 3);
    EXPECT_EQ(b.PixelFormat(), f == pfDevice ? pf32bit : f);
    EXPECT_EQ(b.ToImage().Pixels, a.ToImage().Pixels);
  }
}

TEST(GraphicsBitmapTest, MonochromeTurnsEverythingButWhiteBlack) {
  TBitmap a;
  a.SetSize(3, 1);
  a.Canvas()->SetPixels(0, 0, clSilver);
  a.SetMonochrome(true);
  EXPECT_EQ(a.PixelFormat(), pf1bit);
  EXPECT_EQ(a.Canvas()->Pixels(0, 0), clBlack);
  EXPECT_EQ(a.Canvas()->Pixels(1, 0), clWhite);
  EXPECT_EQ(a.TransparentColor(), clWhite);
  TMemoryStream s;
  a.SaveToStream(&s);
  EXPECT_EQ(Bytes(s)[28], 1);  // biBitCount
  s.SetPosition(0);
  TBitmap b;
  b.LoadFromStream(&s);
  EXPECT_TRUE(b.Monochrome());
  EXPECT_EQ(b.ToImage().Pixels, a.ToImage().Pixels);
}

// A palette file's colours (not only black and white) and colours drawn beyond what the
// format's palette holds are saved, not refused.
TEST(GraphicsBitmapTest, PaletteFormatsSaveTheColoursTheyHold) {
  TBmpImage redBlue;
  redBlue.Width = 3;
  redBlue.Height = 1;
  redBlue.Pixels = {0xFF0000, 0x0000FF, 0xFF0000};
  TBmpWriteOptions mono;
  mono.BitCount = 1;
  const std::vector<uint8_t> file = EncodeBmp(redBlue, mono);
  TMemoryStream in;
  in.WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
  in.SetPosition(0);
  TBitmap one;
  one.LoadFromStream(&in);
  EXPECT_EQ(one.PixelFormat(), pf1bit);

  TBitmap many;
  many.SetSize(20, 20);
  for (int i = 0; i < 400; ++i) many.Canvas()->SetPixels(i % 20, i / 20, RGB(i % 256, i / 256, 9));
  many.SetPixelFormat(pf8bit);

  const struct {
    TBitmap* bitmap;
    int bits;  // biBitCount written
  } cases[] = {{&one, 1}, {&many, 24}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bits);
    TMemoryStream s;
    ASSERT_NO_THROW(c.bitmap->SaveToStream(&s));
    EXPECT_EQ(Bytes(s)[28], c.bits);
    s.SetPosition(0);
    TBitmap again;
    again.LoadFromStream(&s);
    EXPECT_EQ(again.ToImage().Pixels, c.bitmap->ToImage().Pixels);
  }
}

TEST(GraphicsBitmapTest, BadStreamsRaiseInvalidGraphic) {
  TBitmap good;
  Paint(good);
  TMemoryStream s;
  good.SaveToStream(&s);
  const std::vector<uint8_t> file = Bytes(s);

  std::vector<std::vector<uint8_t>> bad;
  bad.push_back({'X', 'Y', 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14});  // no signature
  bad.push_back({'B', 'M', 1});                                              // short header
  bad.push_back(std::vector<uint8_t>(file.begin(), file.begin() + 40));      // truncated header
  bad.push_back(std::vector<uint8_t>(file.begin(), file.end() - 5));         // truncated pixels
  auto huge = file;
  huge[18] = 0xFF;  // width 0x..FF04: far beyond the limits
  huge[19] = 0xFF;
  huge[20] = 0xFF;
  bad.push_back(huge);
  for (size_t i = 0; i < bad.size(); ++i) {
    SCOPED_TRACE(i);
    TMemoryStream in;
    in.WriteBuffer(bad[i].data(), static_cast<int64_t>(bad[i].size()));
    in.SetPosition(0);
    TBitmap b;
    try {
      b.LoadFromStream(&in);
      ADD_FAILURE() << "accepted";
    } catch (const EInvalidGraphic& e) {
      EXPECT_EQ(e.Message().rfind("Bitmap image is not valid", 0), 0u) << e.Message();
    }
  }
  TMemoryStream empty;
  TBitmap b;
  Paint(b);
  b.LoadFromStream(&empty);
  EXPECT_TRUE(b.Empty());
}

TEST(GraphicsBitmapTest, ABitmapInsideALongerStreamReadsOnlyItsBytes) {
  TBitmap a, b;
  Paint(a);
  b.SetSize(2, 2);
  b.Canvas()->SetPixels(0, 0, clRed);
  TMemoryStream s;
  a.SaveToStream(&s);
  b.SaveToStream(&s);
  s.SetPosition(0);
  TBitmap x, y;
  x.LoadFromStream(&s);
  y.LoadFromStream(&s);
  EXPECT_EQ(x.Width(), 4);
  EXPECT_EQ(y.Width(), 2);
  EXPECT_EQ(y.Canvas()->Pixels(0, 0), clRed);
  EXPECT_EQ(s.Position(), s.Size());
}

TEST(GraphicsBitmapTest, TransparentColorModes) {
  TBitmap b;
  Paint(b);
  EXPECT_EQ(b.TransparentMode(), tmAuto);
  EXPECT_EQ(b.TransparentColor(), b.Canvas()->Pixels(0, 2));  // bottom-left
  b.SetTransparentColor(clFuchsia);
  EXPECT_EQ(b.TransparentMode(), tmFixed);
  EXPECT_EQ(b.TransparentColor(), clFuchsia);
  b.SetTransparentMode(tmAuto);
  EXPECT_EQ(b.TransparentColor(), b.Canvas()->Pixels(0, 2));
  b.SetTransparentMode(tmFixed);  // keeps the colour it had
  b.Canvas()->SetPixels(0, 2, clBlack);
  EXPECT_NE(b.TransparentColor(), clBlack);
}

TEST(GraphicsBitmapTest, TransparentDrawingLeavesTheKeyColourOut) {
  TBitmap glyph;
  glyph.SetSize(3, 3);
  glyph.Canvas()->Brush()->SetColor(clFuchsia);
  glyph.Canvas()->FillRect(Rect(0, 0, 3, 3));
  glyph.Canvas()->SetPixels(1, 1, clNavy);
  glyph.SetTransparent(true);

  TBitmap target;
  target.SetSize(5, 5);
  target.Canvas()->Brush()->SetColor(clLime);
  target.Canvas()->FillRect(Rect(0, 0, 5, 5));
  target.Canvas()->Draw(1, 1, &glyph);
  EXPECT_EQ(target.Canvas()->Pixels(2, 2), clNavy);
  EXPECT_EQ(target.Canvas()->Pixels(1, 1), clLime);

  // The mask marks the key colour white.
  TBitmap mask;
  mask.SetHandle(static_cast<HBITMAP>(CopyImage(glyph.MaskHandle(), IMAGE_BITMAP, 0, 0, 0)));
  EXPECT_EQ(mask.Canvas()->Pixels(0, 0), clWhite);
  EXPECT_EQ(mask.Canvas()->Pixels(1, 1), clBlack);

  glyph.SetTransparent(false);
  target.Canvas()->Draw(1, 1, &glyph);
  EXPECT_EQ(target.Canvas()->Pixels(1, 1), clFuchsia);
}

TEST(GraphicsBitmapTest, AssignMakesAnIndependentCopy) {
  TBitmap a;
  Paint(a);
  a.SetPixelFormat(pf24bit);
  a.SetTransparentColor(clRed);
  TBitmap b;
  int changes = 0;
  b.OnChange = [&](TObject*) { ++changes; };
  b.Assign(&a);
  EXPECT_GE(changes, 1);
  EXPECT_EQ(b.PixelFormat(), pf24bit);
  EXPECT_EQ(b.TransparentColor(), clRed);
  EXPECT_NE(b.Handle(), a.Handle());
  b.Canvas()->SetPixels(0, 0, clBlack);
  EXPECT_NE(a.Canvas()->Pixels(0, 0), clBlack);
  b.Assign(nullptr);
  EXPECT_TRUE(b.Empty());
  TFont font;
  EXPECT_THROW(b.Assign(&font), EConvertError);
}

TEST(GraphicsBitmapTest, LoadsFromTheResourceRegistry) {
  auto image = std::make_shared<TBmpImage>();
  image->Width = 2;
  image->Height = 1;
  image->Pixels = {0xFF0000, 0x0000FF};
  RegisterResourceAs<TBmpImage>("BITMAP", "GFXTEST_IMAGE", image);
  TBitmap src;
  Paint(src);
  TMemoryStream s;
  src.SaveToStream(&s);
  RegisterResourceAs<std::vector<uint8_t>>("BITMAP", "GFXTEST_FILE",
                                           std::make_shared<std::vector<uint8_t>>(Bytes(s)));

  TBitmap b;
  b.LoadFromResourceName(nullptr, "gfxtest_image");
  EXPECT_EQ(b.Canvas()->Pixels(0, 0), clRed);
  EXPECT_EQ(b.Canvas()->Pixels(1, 0), clBlue);
  b.LoadFromResourceName(nullptr, "GFXTEST_FILE");
  EXPECT_EQ(b.ToImage().Pixels, src.ToImage().Pixels);
  try {
    b.LoadFromResourceName(nullptr, "GFXTEST_MISSING");
    FAIL();
  } catch (const EResNotFound& e) {
    EXPECT_EQ(e.Message(), "Resource GFXTEST_MISSING not found");
  }
  UnregisterResource("BITMAP", "GFXTEST_IMAGE");
  UnregisterResource("BITMAP", "GFXTEST_FILE");
}

// A component with a glyph, as buttons have, to stream the "Data" property.
class TGlyphHost : public TComponent {
  RTL_CLASS(TGlyphHost, TComponent)
 public:
  explicit TGlyphHost(TComponent* AOwner) : TComponent(AOwner) {}
  TBitmap* Glyph() const { return glyph_.get(); }
  void SetGlyph(TBitmap* Value) { glyph_->Assign(Value); }
  TPicture* Picture() const { return picture_.get(); }
  void SetPicture(TPicture* Value) { picture_->Assign(Value); }
  static void DescribeClass(TClassBuilder<TGlyphHost>& c) {
    c.Property("Glyph", &TGlyphHost::Glyph, &TGlyphHost::SetGlyph);
    c.Property("Picture", &TGlyphHost::Picture, &TGlyphHost::SetPicture);
  }

 private:
  std::unique_ptr<TBitmap> glyph_ = std::make_unique<TBitmap>();
  std::unique_ptr<TPicture> picture_ = std::make_unique<TPicture>();
};
RTL_IMPLEMENT_CLASS(TGlyphHost)

TEST(GraphicsBitmapTest, GlyphAndPictureDataStreamWithTheirComponent) {
  TGlyphHost a(nullptr);
  Paint(*a.Glyph());
  a.Picture()->Bitmap()->SetSize(2, 2);
  a.Picture()->Bitmap()->Canvas()->SetPixels(1, 1, clTeal);
  TMemoryStream s;
  s.WriteComponent(&a);
  s.SetPosition(0);
  TGlyphHost b(nullptr);
  s.ReadComponent(&b);
  EXPECT_EQ(b.Glyph()->ToImage().Pixels, a.Glyph()->ToImage().Pixels);
  ASSERT_NE(dynamic_cast<TBitmap*>(b.Picture()->Graphic()), nullptr);
  EXPECT_EQ(b.Picture()->Bitmap()->Canvas()->Pixels(1, 1), clTeal);

  // An empty glyph writes nothing.
  TGlyphHost e(nullptr);
  TMemoryStream es;
  es.WriteComponent(&e);
  const std::string text(reinterpret_cast<const char*>(es.Memory()), static_cast<size_t>(es.Size()));
  EXPECT_EQ(text.find("Glyph.Data"), std::string::npos);
}

// --- icons and pictures ------------------------------------------------------------------------

HICON MakeTestIcon() {
  TBmpImage color, mask;
  color.Width = mask.Width = 4;
  color.Height = mask.Height = 4;
  color.Pixels.assign(16, 0x0000FF);  // blue
  mask.Pixels.assign(16, 0);
  mask.Pixels[0] = 0xFFFFFF;  // top-left transparent
  ICONINFO info;
  info.hbmColor = CreateBitmapFromBmpImage(color);
  color.Pixels[0] = 0;
  info.hbmMask = CreateBitmapFromBmpImage(mask);
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return icon;
}

TEST(GraphicsIconTest, HandleSizeDrawingAndFileRoundTrip) {
  TIcon icon;
  EXPECT_TRUE(icon.Empty());
  icon.SetHandle(MakeTestIcon());
  EXPECT_EQ(icon.Width(), 4);
  EXPECT_EQ(icon.Height(), 4);
  EXPECT_THROW(icon.SetWidth(8), EInvalidGraphicOperation);

  TMemoryStream s;
  icon.SaveToStream(&s);
  s.SetPosition(0);
  TIcon copy;
  copy.LoadFromStream(&s);
  EXPECT_EQ(copy.Width(), 4);

  TBitmap target;
  target.SetSize(6, 6);
  target.Canvas()->Brush()->SetColor(clRed);
  target.Canvas()->FillRect(Rect(0, 0, 6, 6));
  target.Canvas()->Draw(1, 1, &copy);
  EXPECT_EQ(target.Canvas()->Pixels(1, 1), clRed);  // transparent corner
  EXPECT_EQ(target.Canvas()->Pixels(2, 2), clBlue);

  TIcon assigned;
  assigned.Assign(&icon);
  EXPECT_NE(assigned.Handle(), icon.Handle());
  EXPECT_EQ(assigned.Width(), 4);
}

TEST(GraphicsIconTest, BadIconFilesRaiseInvalidGraphic) {
  TIcon icon;
  icon.SetHandle(MakeTestIcon());
  TMemoryStream s;
  icon.SaveToStream(&s);
  const std::vector<uint8_t> file = Bytes(s);
  std::vector<std::vector<uint8_t>> bad;
  bad.push_back({0, 0, 1, 0});                                           // short directory
  bad.push_back({0, 0, 1, 0, 0, 0});                                     // no images
  bad.push_back(std::vector<uint8_t>(file.begin(), file.begin() + 30));  // image missing
  auto offset = file;
  offset[18] = 0xF0;  // image offset far beyond the end
  bad.push_back(offset);
  auto height = file;
  height[22 + 8] = 3;  // odd doubled height
  bad.push_back(height);
  auto png = file;
  std::memcpy(&png[22], "\x89PNG\r\n\x1a\n", 8);
  bad.push_back(png);
  for (size_t i = 0; i < bad.size(); ++i) {
    SCOPED_TRACE(i);
    TMemoryStream in;
    in.WriteBuffer(bad[i].data(), static_cast<int64_t>(bad[i].size()));
    in.SetPosition(0);
    TIcon t;
    EXPECT_THROW(t.LoadFromStream(&in), EInvalidGraphic);
  }
}

TEST(GraphicsPictureTest, LoadFromStreamDetectsTheFormat) {
  TBitmap bmp;
  Paint(bmp);
  TMemoryStream bs;
  bmp.SaveToStream(&bs);
  bs.SetPosition(0);
  TPicture p;
  int changes = 0;
  p.OnChange = [&](TObject*) { ++changes; };
  p.LoadFromStream(&bs);
  ASSERT_NE(dynamic_cast<TBitmap*>(p.Graphic()), nullptr);
  EXPECT_EQ(p.Width(), 4);
  EXPECT_EQ(p.Height(), 3);
  EXPECT_EQ(changes, 1);

  TIcon icon;
  icon.SetHandle(MakeTestIcon());
  TMemoryStream is;
  icon.SaveToStream(&is);
  is.SetPosition(0);
  p.LoadFromStream(&is);
  ASSERT_NE(dynamic_cast<TIcon*>(p.Graphic()), nullptr);

  TMemoryStream junk;
  junk.WriteBuffer("\xFF\xD8\xFF\xE0", 4);
  junk.SetPosition(0);
  try {
    p.LoadFromStream(&junk);
    FAIL();
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "Bitmap image is not valid");
  }
  // Asking for a bitmap replaces the icon; changes of the graphic reach the picture.
  TBitmap* b = p.Bitmap();
  changes = 0;
  b->SetSize(1, 1);
  EXPECT_EQ(changes, 1);
}

TEST(GraphicsPictureTest, FilesByExtension) {
  TPicture p;
  try {
    p.LoadFromFile("/nonexistent/picture.xyz");
    FAIL();
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "Unknown picture file extension (.xyz)");
  }
  EXPECT_EQ(TPicture::GraphicClassForExtension("BMP"), TBitmap::StaticClass());
  const std::string path = testing::TempDir() + "vclgfx_picture.bmp";
  TBitmap bmp;
  Paint(bmp);
  bmp.SaveToFile(path);
  p.LoadFromFile(path);
  EXPECT_EQ(p.Bitmap()->ToImage().Pixels, bmp.ToImage().Pixels);
  TPicture q;
  q.Assign(&p);
  EXPECT_NE(q.Graphic(), p.Graphic());
  EXPECT_TRUE(q.Graphic()->Equals(p.Graphic()));
  std::remove(path.c_str());
}

}  // namespace
