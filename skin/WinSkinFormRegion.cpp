// The window region of a skinned frame: the window less the magenta pixels of its transparent
// borders, so rounded or cut-out corners let the windows below show and take the clicks.
//
// The window owns a region once SetWindowRgn has it and frees it when the next one (or none) is
// set; deleting it here as well would free it twice, so Region is never deleted by the form.
#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Graphics.h"
#include "platform/win/Windows.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinDraw.h"
#include "skin/WinSkinForm.h"

namespace {

// A rectangle region; an inverted rectangle gives an empty one.
HRGN RegionOfRect(int Left, int Top, int Right, int Bottom) {
  return CreateRectRgn(Left, Top, std::max(Left, Right), std::max(Top, Bottom));
}

// Piece united into Into, then deleted.
void UniteInto(HRGN Into, HRGN Piece) {
  CombineRgn(Into, Into, Piece, RGN_OR);
  DeleteObject(Piece);
}

}  // namespace

void TWinSkinForm::BuildRegion() {
  if (LifeState == TSkinLifeState::Destroyed || !FrameSkinning || !SkinData || !hWnd) return;
  if (FormKind == TSkinFormKind::MDIChild && WindowState != TSkinWindowState::Normal) return;
  RECT window{};
  if (!GetWindowRect(hWnd, &window)) return;
  const int w = window.Width(), h = window.Height();
  if (w <= 0 || h <= 0) return;
  const bool sameSize = w == RegionWidth && h == RegionHeight;
  if (sameSize && FormKind != TSkinFormKind::MDIChild && LifeState != TSkinLifeState::Reskinning) return;

  const TSkinElements& skin = *SkinData->Elements();
  const bool anyTrans =
      skin.Left->Trans == 1 || skin.Right->Trans == 1 || skin.Top->Trans == 1 || skin.Bottom->Trans == 1;
  RegionWidth = w;
  RegionHeight = h;
  HRGN region = nullptr;
  if (!anyTrans) {
    region = RegionOfRect(0, 0, w, h);
  } else {
    region = RegionOfRect(L, T, w - R, h - B);
    if (BorderKind != TSkinBorderKind::None) {
      // One border drawn as painted, its magenta pixels left out (tolerance 1 a component).
      auto cutOut = [&](TDataSkinBorder* Element, bool Stacked, int X, int Y, int Width, int Height) {
        TBitmap piece;
        piece.SetSize(Width, Height);
        DrawBorder(piece.Canvas()->Handle(), Element, Rect(0, 0, Width, Height), Stacked);
        return BitmapToRegion(&piece, X, Y, 1, 1, 1, kSkinTransparentColor);
      };
      const int middle = w - L - R;
      HRGN left = skin.Left->Trans == 1 && h >= 2 ? cutOut(skin.Left.get(), false, 0, 0, L, h)
                                                  : RegionOfRect(0, 0, L, h);
      HRGN right = skin.Right->Trans == 1 && h >= 2 ? cutOut(skin.Right.get(), false, w - R, 0, R, h)
                                                    : RegionOfRect(w - R, 0, w, h);
      HRGN bottom = skin.Bottom->Trans == 1 && B >= 2 && middle >= 1
                        ? cutOut(skin.Bottom.get(), true, L, h - B, middle, B)
                        : RegionOfRect(L, h - B, w - R, h);
      HRGN top = skin.Top->Trans == 1 && T >= 2 && middle >= 1 ? cutOut(skin.Top.get(), true, L, 0, middle, T)
                                                               : RegionOfRect(L, 0, w - R, T);
      UniteInto(left, right);
      UniteInto(top, bottom);
      UniteInto(left, top);
      UniteInto(region, left);
    }
  }
  if (!region) return;
  // The window frees the region it had; the new one is the window's from here on.
  if (!SetWindowRgn(hWnd, region, TRUE)) {
    DeleteObject(region);  // refused, so still ours
    return;
  }
  Region = region;
  RegionValid = true;
}

void TWinSkinForm::RemoveRegion() {
  if (!RegionValid) return;
  if (CaptionBitmap) CaptionBitmap->SetSize(0, 0);
  // Setting no region frees the window's one.
  SetWindowRgn(hWnd, nullptr, FormKind == TSkinFormKind::MDIChild);
  Region = nullptr;
  RegionValid = false;
  // A region set again later is built anew even at the same size.
  RegionWidth = RegionHeight = 0;
}
