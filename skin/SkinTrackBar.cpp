// The track-bar skinner: the bar's custom-draw notice answered with the program's channel images
// ("TRACK", "TRACKVERT") and the skin's thumb; the tics stay the bar's own.
#include <algorithm>

#include "platform/gdi/Colors.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Messages.h"
#include "platform/win/ControlClasses.h"
#include "skin/SkinRangeControls.h"
#include "skin/WinSkinIni.h"

RTL_IMPLEMENT_CLASS(TSkinTrackBar)

namespace track_paint {

constexpr int kThumbFrames = 5;
constexpr int kThumbFrame = 2;

// Without a thumb image: a box in the line colour over the skin colour.
void DrawPlainThumb(HDC DC, const TRect& R, TColor Line, TColor Face) {
  HBRUSH face = CreateSolidBrush(ColorToRGB(Face));
  HBRUSH line = CreateSolidBrush(ColorToRGB(Line));
  TScopeExit free([face, line] {
    if (face) DeleteObject(face);
    if (line) DeleteObject(line);
  });
  if (face) FillRect(DC, &R, face);
  if (line) FrameRect(DC, &R, line);
}

}  // namespace track_paint

TSkinTrackBar::TSkinTrackBar(TComponent* AOwner) : TSkinControl(AOwner) {}

TSkinTrackBar::~TSkinTrackBar() = default;

bool TSkinTrackBar::BeforeMessage(TMessage& Message) {
  if (!TSkinControl::BeforeMessage(Message)) return false;
  if (Message.Msg != WM_NOTIFY && Message.Msg != CN_NOTIFY) return true;
  const auto* header = reinterpret_cast<const NMHDR*>(Message.LParam);
  // Only the bar's own drawing (its window may have been made again); other notices pass.
  const HWND own = Control && Control->HandleAllocated() ? Control->Handle() : Handle;
  if (!header || header->code != NM_CUSTOMDRAW || !header->hwndFrom || header->hwndFrom != own) return true;
  Message.Result = CustomDraw(*reinterpret_cast<const NMCUSTOMDRAW*>(header));
  return false;
}

LRESULT TSkinTrackBar::CustomDraw(const NMCUSTOMDRAW& Draw) {
  if (Draw.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (Draw.dwDrawStage != CDDS_ITEMPREPAINT || !Draw.hdc) return CDRF_DODEFAULT;
  const TSkinElements* skin = Elements();
  const HWND bar = Draw.hdr.hwndFrom;
  const bool vertical = (GetWindowLongAW(bar, GWL_STYLE) & TBS_VERT) != 0;
  switch (Draw.dwItemSpec) {
    case TBCD_THUMB: {
      RECT got{};
      SendMessage(bar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&got));
      const TRect thumb = got;
      const TDataSkinObject* image = nullptr;
      if (skin && vertical && HasSkinImage(skin->TrackbarThumbVert.get()))
        image = skin->TrackbarThumbVert.get();
      else if (skin && HasSkinImage(skin->TrackbarThumbHorz.get()))
        image = skin->TrackbarThumbHorz.get();
      if (image)
        DrawFrameTransparent(Draw.hdc, thumb, image->Bitmap.get(), track_paint::kThumbFrames,
                             track_paint::kThumbFrame);
      else if (thumb.Width() > 0 && thumb.Height() > 0)
        track_paint::DrawPlainThumb(Draw.hdc, thumb, SkinLineColor(), SkinColor());
      return CDRF_SKIPDEFAULT;
    }
    case TBCD_CHANNEL: {
      RECT got{};
      SendMessage(bar, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&got));
      TRect channel = got;
      // The bar answers a vertical channel as if it lay horizontally.
      if (vertical) channel = TRect{channel.Top, channel.Left, channel.Bottom, channel.Right};
      const TDataSkinObject* groove = skin ? (vertical ? skin->TrackVert.get() : skin->Track.get()) : nullptr;
      // A program without the channel images keeps the bar's own channel.
      if (!HasSkinImage(groove)) return CDRF_DODEFAULT;
      DrawElement(Draw.hdc, channel, 1, 1, groove);
      return CDRF_SKIPDEFAULT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

void TSkinTrackBar::ApplySkinColor() {
  if (!Handle) return;
  HWND previous = SetFocus(Handle);
  if (previous && previous != Handle) SetFocus(previous);
}

void TSkinTrackBar::Detach() {
  TSkinControl::Detach();
}
