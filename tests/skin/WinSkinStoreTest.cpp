// The skin store in descriptions, its item names, the bitmap routines on images with a distinct
// colour per pixel, the colour routines, the gradient cache and the track images.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "platform/gdi/BmpCodec.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/Graphics.h"
#include "skin/WinSkinStore.h"

// A root that writes the components it owns as its children.
class TSkinStoreHost : public TComponent {
  RTL_CLASS(TSkinStoreHost, TComponent)
 public:
  explicit TSkinStoreHost(TComponent* AOwner) : TComponent(AOwner) {}
  void GetChildren(const TGetChildProc& Proc, TComponent*) override {
    for (int i = 0; i < ComponentCount(); ++i) Proc(Components(i));
  }
};
RTL_IMPLEMENT_CLASS(TSkinStoreHost)

struct TGradientCacheAccess {
  static void BreakLastEntry(TGradientCache& Cache, int Slot) { Cache.slots_[Slot].Colors.back() ^= 1; }
};

namespace {

std::string ToText(TComponent* Root) {
  TMemoryStream binary;
  binary.WriteComponent(Root);
  binary.SetPosition(0);
  TStringStream text;
  ObjectBinaryToText(binary, text);
  return text.DataString();
}

template <class F>
std::string RaisedText(F Action) {
  try {
    Action();
  } catch (const Exception& e) {
    return e.what();
  }
  return "no exception";
}

class SkinStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { InitWinSkinStoreUnit(); }
};

TEST_F(SkinStoreTest, ItemNamesAreUniqueAndAssignCopiesThem) {
  TSkinStore store(nullptr), copy(nullptr);
  TSkinCollectionItem* first = store.Store()->Add();
  TSkinCollectionItem* second = store.Store()->Add();
  EXPECT_EQ(first->Name() + second->Name() + second->SkinData(), "SkinItem0SkinItem1Load Skin");
  EXPECT_EQ(RaisedText([&] { second->SetName("SkinItem0"); }), "The name SkinItem0 is already used.");
  EXPECT_EQ(RaisedText([&] { second->SetName("SkinItem1"); }), "no exception");
  second->SetName("skinitem0");
  EXPECT_EQ(second->DisplayName(), "skinitem0");

  first->Data()->WriteBuffer("skin-bytes", 10);
  first->Data()->SetPosition(4);
  copy.SetStore(store.Store());
  copy.SetStore(nullptr);
  EXPECT_EQ(ToText(&copy), ToText(&store));
  EXPECT_EQ(first->Data()->Position(), 4);
}

TEST_F(SkinStoreTest, ItemsTravelThroughBinaryAndTextDescriptions) {
  TSkinStoreHost host(nullptr);
  auto* store = new TSkinStore(&host);
  store->SetName("Skins");
  store->Store()->Add()->Data()->WriteBuffer("S\0\xFF\x7Fz", 5);
  store->Store()->Add()->SetName("Empty");
  const std::string text = ToText(&host);
  EXPECT_NE(text.find("5300FF7F7A}"), std::string::npos) << text;
  EXPECT_NE(text.find("DataStream = {}"), std::string::npos) << text;
  for (bool viaText : {false, true}) {
    SCOPED_TRACE(viaText ? "text" : "binary");
    TMemoryStream binary;
    TStringStream source(text);
    viaText ? ObjectTextToBinary(source, binary) : binary.WriteComponent(&host);
    binary.SetPosition(0);
    TSkinStoreHost copy(nullptr);
    binary.ReadComponent(&copy);
    EXPECT_EQ(ToText(&copy), text);
  }

  TSkinStoreHost refused(nullptr);
  EXPECT_EQ(RaisedText([&] {
              ReadComponentFromText(
                  "object H: TSkinStoreHost\n object S: TSkinStore\n Store = <\n item\n"
                  " Name = 'A'\n end\n item\n Name = 'A'\n end>\n end\nend\n",
                  &refused);
            }),
            "Error reading TSkinCollectionItem.Name: The name A is already used.");
}

// A 3 x 2 image with a distinct colour per pixel; pixel i = x + 3y.
TColor PixelColor(int I) {
  return RGB(16 * I + 1, 40 + I, 200 - I);
}

void Paint(TBitmap& B, TPixelFormat Format) {
  B.SetPixelFormat(Format);
  B.SetSize(3, 2);
  for (int i = 0; i < 6; ++i) B.Canvas()->SetPixels(i % 3, i / 3, PixelColor(i));
}

TEST(SkinBitmapTest, RoutinesMovePixelsExactly) {
  struct Case {
    const char* id;
    void (*routine)(TBitmap*);
    TPixelFormat format, expectedFormat;
    int width;
    int source[6];  // the source pixel of each result pixel, rows top-down
  } cases[] = {
      {"mirror", MirrorBitmap, pf8bit, pf8bit, 3, {2, 1, 0, 5, 4, 3}},
      {"flip", FlipBitmap, pf32bit, pf32bit, 3, {3, 4, 5, 0, 1, 2}},
      {"left", RotateBitmapLeft, pf32bit, pf24bit, 2, {2, 5, 1, 4, 0, 3}},
      {"right", RotateBitmapRight, pf24bit, pf24bit, 2, {3, 0, 4, 1, 5, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    TBitmap b;
    Paint(b, c.format);
    c.routine(&b);
    ASSERT_EQ(b.Width() * 10 + b.Height(), c.width * 10 + 6 / c.width);
    EXPECT_EQ(b.PixelFormat(), c.expectedFormat);
    for (int i = 0; i < 6; ++i)
      EXPECT_EQ(b.Canvas()->Pixels(i % c.width, i / c.width), PixelColor(c.source[i])) << i;
  }

  TBitmap b, copy;
  Paint(b, pf32bit);
  CopyBitmap(&b, &copy);
  EXPECT_EQ(copy.ToImage().Pixels, b.ToImage().Pixels);
  GrayBitmap(&b);
  EXPECT_EQ(b.PixelFormat(), pf24bit);
  EXPECT_EQ(b.Canvas()->Pixels(0, 0), RGB(80, 80, 80));     // (1 + 40 + 200) / 3
  EXPECT_EQ(b.Canvas()->Pixels(2, 1), RGB(107, 107, 107));  // (81 + 45 + 195) / 3
}

TEST(SkinColorTest, BlendAndSaturation) {
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const std::tuple<TColor, TColor, int, TColor> blends[] = {
      {RGB(200, 0, 100), RGB(0, 100, 0), 150, RGB(30, 85, 15)},  // 15 % of the first on the 1000 scale
      {RGB(200, 0, 100), RGB(0, 100, 0), 50, RGB(100, 50, 50)},
      {RGB(9, 9, 9), clBtnFace, 0, static_cast<TColor>(face)},       // system colours resolve first
      {RGB(255, 255, 255), RGB(0, 0, 0), 5000, RGB(255, 255, 255)},  // beyond the scale: clamped
  };
  for (auto [a, b, weight, expected] : blends) EXPECT_EQ(BlendColor(a, b, weight), expected) << weight;
  // All below 160; one at 160; 255 * 100 / 200 = 127.5.
  EXPECT_EQ(std::vector<int>({ColorSaturation(RGB(159, 10, 0)), ColorSaturation(RGB(160, 80, 0)),
                              ColorSaturation(RGB(200, 150, 100))}),
            std::vector<int>({200, 255, 128}));
}

TEST(SkinColorTest, RampsRoundHalfAwayFromZeroAndGradientFillKeepsToTheClipBox) {
  TGradientCache cache;
  EXPECT_EQ(cache.Ramp(3, RGB(0, 255, 10), RGB(255, 0, 10)),
            (std::vector<COLORREF>{RGB(0, 255, 10), RGB(128, 127, 10), RGB(255, 0, 10)}));
  EXPECT_EQ(cache.Ramp(1, RGB(0, 255, 0), RGB(255, 0, 0)), (std::vector<COLORREF>{RGB(127, 128, 0)}));
  EXPECT_EQ(cache.NextSlot(), 2);
  // Both hit: the descending ramp now ends on its colour and the single entry is keyed.
  cache.Ramp(3, RGB(0, 255, 10), RGB(255, 0, 10));
  cache.Ramp(1, RGB(0, 255, 0), RGB(255, 0, 0));
  EXPECT_EQ(cache.NextSlot(), 2);
  for (int n = 2; n <= 16; ++n) {
    cache.Ramp(n, 0, RGB(0, 0, 255));
    cache.CheckConsistency();
  }
  EXPECT_EQ(cache.NextSlot(), 1);
  EXPECT_EQ(cache.FindSlot(3, RGB(0, 255, 10), RGB(255, 0, 10)), -1);  // the 17th ramp took slot 0
  EXPECT_EQ(cache.FindSlot(1, RGB(0, 255, 0), RGB(255, 0, 0)), 1);
  TGradientCacheAccess::BreakLastEntry(cache, 4);
  EXPECT_EQ(RaisedText([&] { cache.CheckConsistency(); }), "TGradientCache: ramp ends differ at slot 4");

  TBitmap b;
  b.SetSize(4, 4);
  HDC dc = b.Canvas()->Handle();
  GradientFill(dc, Rect(0, 0, 4, 1), RGB(0, 0, 0), true, RGB(200, 100, 50));
  IntersectClipRect(dc, 0, 0, 4, 3);
  GradientFill(dc, Rect(1, 1, 3, 4), RGB(0, 0, 0), true, RGB(0, 0, 90));
  const TBmpImage i = b.ToImage();
  // A single line takes the midpoint; the ramp 0, 45, 90 loses its last line to the clip box.
  EXPECT_EQ(
      std::vector<uint32_t>({i.Pixel(3, 0), i.Pixel(1, 1), i.Pixel(2, 2), i.Pixel(2, 3), i.Pixel(0, 2)}),
      std::vector<uint32_t>({0x643219, 0, 0x00002D, 0xFFFFFF, 0xFFFFFF}));
}

TEST_F(SkinStoreTest, TrackImagesAreOneGrooveBothWays) {
  TBitmap track, vert;
  track.LoadFromResourceName(nullptr, "TRACK");
  vert.LoadFromResourceName(nullptr, "TRACKVERT");
  ASSERT_EQ(track.Width() * 100 + track.Height(), 1608);
  RotateBitmapRight(&track);
  MirrorBitmap(&track);
  EXPECT_EQ(track.ToImage().Pixels, vert.ToImage().Pixels);
  EXPECT_EQ(vert.Canvas()->Pixels(1, 8), RGB(0x69, 0x69, 0x69));  // dark edge across the middle
}

}  // namespace
