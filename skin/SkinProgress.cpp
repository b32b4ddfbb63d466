// The progress-bar skinner: the "Progress" element in its two styles. Both lay the bar
// horizontally in a buffer; a vertical bar's buffer is turned counter-clockwise at the end, so
// its fill grows from the bottom.
#include <algorithm>
#include <cstdint>
#include <memory>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/ControlClasses.h"
#include "skin/SkinRangeControls.h"
#include "skin/WinSkinDraw.h"
#include "skin/WinSkinIni.h"
#include "skin/WinSkinStore.h"

RTL_IMPLEMENT_CLASS(TSkinProgress)

namespace progress_paint {

// The frames of the two-frame style.
constexpr int kFrames = 2;
constexpr int kBackgroundFrame = 1;
constexpr int kFilledFrame = 2;
// The style that fills with the element's chunk image.
constexpr int kChunkStyle = 1;
// A Tile of 1 repeats the chunk instead of stretching it.
constexpr int kTiledChunk = 1;

void DrawTransparentNinePart(HDC DC, const TRect& R, const TDataSkinObject& Element, int FrameCount,
                             int Frame) {
  if (R.Width() <= 0 || R.Height() <= 0) return;
  DrawNinePart(DC, R, Element.Bitmap.get(), false, Element.Tile == 1, true, std::max(FrameCount, 1), Frame,
               Element.LeftWidth, Element.TopHeight, Element.RightWidth, Element.BottomHeight);
}

// The chunk over the filled part, vertically centred: stretched, or repeated from the left
// margin without running into the right one.
void DrawChunks(HDC DC, const TRect& Bar, int Filled, const TDataSkinBorder& Element) {
  TBitmap* chunk = Element.Bitmap2.get();
  if (!chunk || chunk->Empty() || Filled <= 0) return;
  const int width = chunk->Width(), height = chunk->Height();
  const int top = Bar.Top + (Bar.Height() - height) / 2;
  if (Element.Tile != kTiledChunk) {
    DrawBitmapFrame(DC, TRect{Bar.Left, top, Bar.Left + Filled, top + height}, chunk, true, 1, 1);
    return;
  }
  const int limit = Bar.Right - std::max(Element.RightWidth, 0);
  const int copies = Filled / width + 1;
  const int saved = SaveDC(DC);
  TScopeExit restore([DC, saved] { RestoreDC(DC, saved); });
  IntersectClipRect(DC, Bar.Left, Bar.Top, limit, Bar.Bottom);
  for (int i = 0; i < copies; ++i) {
    const int left = Bar.Left + std::max(Element.LeftWidth, 0) + i * width;
    if (left >= limit) break;
    DrawBitmapFrame(DC, TRect{left, top, left + width, top + height}, chunk, true, 1, 1);
  }
}

}  // namespace progress_paint

int ProgressFillWidth(int Width, int Position, int Min, int Max) {
  if (Max <= Min || Width <= 0) return 0;
  const int64_t span = static_cast<int64_t>(Max) - Min;
  const int64_t done = std::clamp<int64_t>(static_cast<int64_t>(Position) - Min, 0, span);
  return static_cast<int>((Width * done + span / 2) / span);
}

TSkinProgress::TSkinProgress(TComponent* AOwner) : TSkinControl(AOwner) {}

TSkinProgress::~TSkinProgress() = default;

bool TSkinProgress::BeforeMessage(TMessage& Message) {
  if (!TSkinControl::BeforeMessage(Message)) return false;
  const TSkinElements* skin = Elements();
  if (Message.Msg == WM_PAINT && (!skin || !skin->Progress)) return true;
  return PaintInstead(Message);
}

void TSkinProgress::PaintSkin(HDC DC, const TRect& R) {
  const TSkinElements* skin = Elements();
  if (!skin || !skin->Progress || R.Width() <= 0 || R.Height() <= 0) return;
  const TDataSkinBorder& element = *skin->Progress;
  const bool vertical = (GetWindowLongAW(Handle, GWL_STYLE) & PBS_VERTICAL) != 0;

  PBRANGE range;
  SendMessage(Handle, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
  const int position = static_cast<int>(SendMessage(Handle, PBM_GETPOS, 0, 0));

  // Along the bar and across it, as if it were horizontal.
  const int along = vertical ? R.Height() : R.Width();
  const int across = vertical ? R.Width() : R.Height();
  TBitmap buffer;
  buffer.SetPixelFormat(TPixelFormat::pf24bit);
  buffer.SetSize(along, across);
  HDC dc = buffer.Canvas()->Handle();
  const TRect bar{0, 0, along, across};
  const int filled = ProgressFillWidth(along, position, range.iLow, range.iHigh);
  FillSkinColor(dc, bar);

  if (element.Style != progress_paint::kChunkStyle) {
    progress_paint::DrawTransparentNinePart(dc, bar, element, progress_paint::kFrames,
                                            progress_paint::kBackgroundFrame);
    progress_paint::DrawTransparentNinePart(dc, TRect{0, 0, filled, across}, element, progress_paint::kFrames,
                                            progress_paint::kFilledFrame);
  } else {
    progress_paint::DrawTransparentNinePart(dc, bar, element, element.FrameCount, 1);
    progress_paint::DrawChunks(dc, bar, filled, element);
  }

  if (vertical) RotateBitmapLeft(&buffer);
  BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), buffer.Canvas()->Handle(), 0, 0, SRCCOPY);
}
