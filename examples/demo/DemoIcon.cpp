// The demo's icon, drawn with the canvas on magenta; magenta becomes the mask.
#include "examples/demo/DemoIcon.h"

#include "platform/gdi/BmpCodec.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Graphics.h"

namespace {

constexpr TColor kMaskColor = 0xFF00FF;
constexpr TColor kCover = 0x3C7A2E;  // dark green (BGR order)
constexpr TColor kPage = 0xF4FAFB;   // off-white
constexpr TColor kRule = 0xC89A5A;   // blue ruled lines
constexpr TColor kCoin = 0x1FB7F2;   // gold
constexpr TColor kCoinEdge = 0x0F6FA8;

// Drawn on a grid of 32 units scaled to Size pixels.
void DrawLedger(TCanvas& C, int Size) {
  const auto u = [Size](int Units) { return Units * Size / 32; };
  C.Brush()->SetColor(kMaskColor);
  C.FillRect(TRect{0, 0, Size, Size});
  C.Pen()->SetColor(kCover);
  C.Brush()->SetColor(kCover);
  C.RoundRect(u(3), u(2), u(26), u(30), u(6), u(6));
  C.Pen()->SetColor(kPage);
  C.Brush()->SetColor(kPage);
  C.Rectangle(u(8), u(5), u(24), u(27));
  C.Pen()->SetColor(kRule);
  for (int y = 9; y <= 21; y += 4) {
    C.MoveTo(u(10), u(y));
    C.LineTo(u(22), u(y));
  }
  C.Pen()->SetColor(kCoinEdge);
  C.Brush()->SetColor(kCoin);
  C.Ellipse(u(17), u(17), u(31), u(31));
  C.MoveTo(u(24), u(20));
  C.LineTo(u(24), u(28));
}

}  // namespace

std::unique_ptr<TIcon> CreateDemoIcon(int Size) {
  TBitmap drawn;
  drawn.SetPixelFormat(pf24bit);
  drawn.SetSize(Size, Size);
  DrawLedger(*drawn.Canvas(), Size);
  // The mask is white where the screen shows through; there the image must be black, as an
  // icon is drawn with SRCAND (mask) and then SRCINVERT (image).
  TBmpImage image = drawn.ToImage();
  TBmpImage mask = image;
  for (size_t i = 0; i < image.Pixels.size(); ++i) {
    // Magenta reads the same as 0x00RRGGBB and as a colour.
    const bool clear = (image.Pixels[i] & 0xFFFFFF) == kMaskColor;
    mask.Pixels[i] = clear ? 0xFFFFFF : 0;
    if (clear) image.Pixels[i] = 0;
  }
  // The icon keeps copies of both bitmaps.
  ICONINFO info;
  info.fIcon = TRUE;
  info.hbmColor = CreateBitmapFromBmpImage(image, false);
  info.hbmMask = CreateBitmapFromBmpImage(mask, false);
  TScopeExit freeBitmaps([&] {
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
  });
  auto icon = std::make_unique<TIcon>();
  icon->SetHandle(CreateIconIndirect(&info));
  return icon;
}

TIcon* DemoIcon() {
  TIcon* icon = Application->Icon();
  if (icon->Empty()) {
    std::unique_ptr<TIcon> made = CreateDemoIcon(kDemoIconSize);
    Application->SetIcon(made.get());
  }
  return Application->Icon();
}

HICON DemoSmallIcon() {
  // Lives as long as the process: windows may ask for it until the very end, and the graphics
  // objects go with the process.
  static TIcon* const small = CreateDemoIcon(GetSystemMetrics(SM_CXSMICON)).release();
  return small->Handle();
}

void UseDemoIcon(TCustomForm* Form) {
  Form->SetIcon(DemoIcon());
  // Captions show the small icon: drawn at its size, it needs no scaling.
  SendMessage(Form->Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(DemoSmallIcon()));
}
