// The skinned frame: border sizes from the skin, the borders, the caption strip (drawn off
// screen so the caption text and buttons land on it before it reaches the window) and the
// window icon the icon button shows.
#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Graphics.h"
#include "platform/win/Painting.h"
#include "platform/win/Windows.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinDraw.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinMenu.h"

namespace {

// One frame's size across the strip of frames (side by side) or down it (stacked).
int BorderFrameSize(const TDataSkinBorder& Element, bool Stacked) {
  const int frames = std::max(1, Element.FrameCount);
  return Stacked ? Element.Bitmap->Height() / frames : Element.Bitmap->Width() / frames;
}

}  // namespace

void TWinSkinForm::ComputeBorderWidths() {
  FittedBorders.clear();
  if (BorderKind == TSkinBorderKind::None || !SkinData) {
    L = T = R = B = 0;
    MenuBarHeight = 0;
  } else {
    const TSkinElements& skin = *SkinData->Elements();
    // A skin sets the window's geometry: no border may take more than a quarter of the screen.
    const int maxX = std::max(0, GetSystemMetrics(SM_CXSCREEN) / 4);
    const int maxY = std::max(0, GetSystemMetrics(SM_CYSCREEN) / 4);
    L = std::min(BorderFrameSize(*skin.Left, false), maxX);
    R = std::min(BorderFrameSize(*skin.Right, false), maxX);
    T = std::min(BorderFrameSize(*skin.Top, true), maxY);
    B = std::min(BorderFrameSize(*skin.Bottom, true), maxY);
  }
  BuildCaptionButtons();
}

void TWinSkinForm::PaintFrame(HDC DC) {
  const bool painting = LifeState == TSkinLifeState::Ready || LifeState == TSkinLifeState::Reskinning;
  if (!painting || BorderKind == TSkinBorderKind::None || !SkinData) return;
  if (FormKind == TSkinFormKind::MDIChild && WindowState != TSkinWindowState::Normal) return;
  if (!SkinScratchBitmap()) return;

  RECT window{};
  if (!GetWindowRect(hWnd, &window)) return;
  WindowRect = window;
  const int w = window.Width(), h = window.Height();
  WindowWidth = w;
  WindowHeight = h;

  const bool ownDC = DC == 0;
  if (ownDC) DC = GetWindowDC(hWnd);
  if (!DC) return;
  TScopeExit release([&] {
    if (ownDC) ReleaseDC(hWnd, DC);
  });

  const TSkinElements& skin = *SkinData->Elements();
  DrawBorder(DC, skin.Left.get(), Rect(0, 0, L, h), false);
  DrawBorder(DC, skin.Right.get(), Rect(w - R, 0, w, h), false);
  DrawBorder(DC, skin.Bottom.get(), Rect(L, h - B, w - R, h), true);
  PaintCaptionStrip(DC);

  const TRect bar = Rect(L, T, w - R, T + MenuBarHeight);
  if (MenuBar) {
    MenuBar->Paint(DC, bar);
  } else if (MenuBarHeight > 0 && SkinData->BackgroundBrush()) {
    // The gap an MDI child keeps for the frame's menu bar.
    FillRect(DC, &bar, SkinData->BackgroundBrush());
  }
  HotObject = nullptr;
}

void TWinSkinForm::PaintCaptionStrip(HDC DC) {
  const int w = WindowWidth;
  if (!CaptionBitmap) CaptionBitmap = std::make_unique<TBitmap>();
  CaptionBitmap->SetSize(std::max(0, w), std::max(0, T));
  LayoutCaptionButtons();
  if (CaptionBitmap->Empty()) return;
  HDC strip = CaptionBitmap->Canvas()->Handle();
  // The corners the side borders painted stay under the Top element's transparent ends.
  BitBlt(strip, 0, 0, w, T, DC, 0, 0, SRCCOPY);
  DrawBorder(strip, SkinData->Elements()->Top.get(), Rect(L, 0, w - R, T), true);

  // The caption component may place the buttons anew and draws the text under them.
  if (CaptionPaint) {
    CaptionPaint(*this, *CaptionBitmap->Canvas());
    // What it placed stays inside the window as well.
    for (const auto& button : CaptionButtons) {
      const TRect placed = button->BoundsRect;
      IntersectRect(button->BoundsRect, placed, Rect(0, 0, w, WindowHeight));
    }
  }
  for (const auto& button : CaptionButtons) {
    const TDataSkinSysButton& e = *button->Element;
    if (!button->Visible || e.Bitmap->Empty() || e.Visibility == 100) continue;
    const int frame = !Active && button->FrameCount() >= 4 ? 4 : 1;
    button->DrawFrame(strip, frame);
  }

  BitBlt(DC, 0, 0, w, T, strip, 0, 0, SRCCOPY);
  SetBkMode(DC, OPAQUE);
}

void TWinSkinForm::DrawBorder(HDC DC, TDataSkinBorder* Element, const TRect& R, bool Stacked) {
  if (!Element || R.Width() < 0 || R.Height() < 0) return;
  const int frames = std::max(1, Element->FrameCount);
  const int frame = frames == 1 || Active ? 1 : 2;
  // A missing image leaves the border as it is.
  if (IsRectEmpty(SkinFrameRect(Element->Bitmap.get(), Stacked, frames, frame))) return;
  TBitmap* fitted = FittedBorder(Element, R, Stacked, frame);
  if (fitted->Empty()) return;
  BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), fitted->Canvas()->Handle(), 0, 0, SRCCOPY);
}

TBitmap* TWinSkinForm::FittedBorder(TDataSkinBorder* Element, const TRect& R, bool Stacked, int Frame) {
  const int w = R.Width(), h = R.Height();
  auto same = [&](const TFittedBorder& f) { return f.Element == Element && f.Frame == Frame; };
  auto it = std::find_if(FittedBorders.begin(), FittedBorders.end(), same);
  if (it != FittedBorders.end() && it->Width == w && it->Height == h) return it->Bitmap.get();
  if (it == FittedBorders.end())
    it = FittedBorders.insert(FittedBorders.end(), TFittedBorder{Element, Frame, 0, 0, nullptr});
  // Tile holds the border's "Stretch" key: 1 stretches the middle, anything else tiles it.
  it->Bitmap = MakeNinePartBitmap(Rect(0, 0, w, h), Element->Bitmap.get(), Element->LeftWidth,
                                  Element->TopHeight, Element->RightWidth, Element->BottomHeight, Stacked,
                                  Element->Tile != 1, std::max(1, Element->FrameCount), Frame);
  it->Width = w;
  it->Height = h;
  return it->Bitmap.get();
}

HICON TWinSkinForm::WindowIcon() const {
  if (!hWnd) return nullptr;
  auto icon = reinterpret_cast<HICON>(SendMessage(hWnd, WM_GETICON, ICON_SMALL, 0));
  if (!icon) icon = reinterpret_cast<HICON>(SendMessage(hWnd, WM_GETICON, ICON_BIG, 0));
  return icon;
}

void TWinSkinForm::DrawIconBitmap() {
  const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
  IconSize = cx;
  if (!IconBitmap) IconBitmap = std::make_unique<TBitmap>();
  IconBitmap->SetSize(cx, cy);
  TCanvas* canvas = IconBitmap->Canvas();
  canvas->Brush()->SetColor(kSkinTransparentColor);
  canvas->FillRect(Rect(0, 0, cx, cy));

  Icon = WindowIcon();
  if (Icon) {
    auto scaled = static_cast<HICON>(CopyImage(Icon, IMAGE_ICON, cx, cy, LR_COPYFROMRESOURCE));
    if (!scaled) return;
    TScopeExit destroy([&] { DestroyIcon(scaled); });
    DrawIconEx(canvas->Handle(), 0, 0, scaled, cx, cy, 0, nullptr, DI_NORMAL);
    return;
  }
  if (!SkinData || !SkinData->SmallIcon()->Empty()) return;
  TSkinManage* manager = SkinManage();
  if (!manager) return;
  // No icon of its own and none in its skin: the main skin data's icon (the last such one).
  for (TSkinData* data : manager->SkinDatas)
    if (data->SkinFormtype() == sfMainform && !data->SmallIcon()->Empty())
      canvas->Draw(0, 0, data->SmallIcon());
}
