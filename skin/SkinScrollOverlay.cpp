// The scroll-bar overlay: a small panel laid over a native scroll bar that paints the skin's
// arrows, tracks and thumbs and hands every press to the real bar, whose own tracking loop does
// the scrolling. Nothing about the scroll state is kept here: each paint asks the system again.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "platform/gdi/Colors.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Messages.h"
#include "skin/SkinScrollBars.h"
#include "skin/WinSkinIni.h"

RTL_IMPLEMENT_CLASS(TWScrollbar)

namespace skin_scroll_overlay {

// Frames of the "Scrollbar" strip.
constexpr int kStripFrames = 23;
constexpr int kLeftArrowFrame = 1;
constexpr int kRightArrowFrame = 5;
constexpr int kUpArrowFrame = 9;
constexpr int kDownArrowFrame = 13;
constexpr int kHorzGripFrame = 17;
constexpr int kVertGripFrame = 20;
// The tracks: frame 1 enabled, 3 disabled, of 4.
constexpr int kTrackFrames = 4;
constexpr int kTrackEnabledFrame = 1;
constexpr int kTrackDisabledFrame = 3;
// A strip whose height differs from the system's arrows by more than this uses the system size.
constexpr int kArrowSizeTolerance = 2;

bool Within(const TRect& Inner, const TRect& Outer) {
  return Inner.Left >= Outer.Left && Inner.Top >= Outer.Top && Inner.Right <= Outer.Right &&
         Inner.Bottom <= Outer.Bottom;
}

// A rectangle spanning From..To along the axis and 0..Thickness across.
TRect AlongBar(bool Vertical, int From, int To, int Thickness) {
  return Vertical ? TRect{0, From, Thickness, To} : TRect{From, 0, To, Thickness};
}

}  // namespace skin_scroll_overlay

using namespace skin_scroll_overlay;

TScrollThumb ScrollControlThumb(int Length, int ArrowSize, int Min, int Max, int PageSize, int Position) {
  const int64_t range = static_cast<int64_t>(Max) - Min;
  const int track = Length - 2 * ArrowSize;
  // Nothing to scroll: the thumb fills the track, where a division by the range would fail.
  if (range <= 0) return {ArrowSize, ArrowSize + track};
  const int64_t offset = static_cast<int64_t>(Position) - Min;
  // Span's share of Part of the range; a part beyond the range (a page larger than it, a
  // position outside it) counts as the whole, so the thumb never leaves the bar.
  const auto share = [range](int Span, int64_t Part) {
    const int64_t whole = std::min<int64_t>(range, INT32_MAX);
    return static_cast<int>(
        MulDiv(Span, static_cast<int>(std::clamp<int64_t>(Part, 0, whole)), static_cast<int>(whole)));
  };
  TScrollThumb thumb;
  int size = 0;
  if (PageSize > 0) {
    size = share(track, static_cast<int64_t>(PageSize) - 1);
    thumb.Start = offset == 0 ? ArrowSize : ArrowSize + share(track, offset);
  } else {
    size = ArrowSize;
    thumb.Start = offset == 0 ? ArrowSize : ArrowSize + share(Length - 3 * ArrowSize, offset);
  }
  thumb.End = thumb.Start + size;
  return thumb;
}

int ScrollHitTest(int P, int ArrowSize, int ThumbTop, int ThumbBottom, int BarLength) {
  if (P < ArrowSize) return kScrollPartFirstArrow;
  if (P < ThumbTop) return kScrollPartTrackBefore;
  if (P < ThumbBottom) return kScrollPartThumb;
  if (P < BarLength - ArrowSize) return kScrollPartTrackAfter;
  return kScrollPartSecondArrow;
}

// --- life and binding -----------------------------------------------------------------------------

TWScrollbar::TWScrollbar(TComponent* AOwner) : TCustomPanel(AOwner) {
  SetTabStop(false);
  SetBevelOuter(bvNone);
  // Shown only once placed over a bar.
  SetVisible(false);
  ArrowSize = GetSystemMetrics(SM_CXHSCROLL);
}

TWScrollbar::~TWScrollbar() {
  *Alive = false;
}

void TWScrollbar::CreateParams(TCreateParams& Params) {
  TCustomPanel::CreateParams(Params);
  Params.ExStyle |= WS_EX_TOOLWINDOW;
}

void TWScrollbar::Bind(TSkinControl* ASkinner, TWinControl* AControl, int AKind) {
  if (!AControl) return;
  Skinner = ASkinner;
  Target = AControl->Handle();
  BoundKind = static_cast<uint8_t>(AKind);
  Kind = AKind;
  if (AKind == kScrollControl) {
    ScrollBarControl = AControl;
    Kind = LowerCase(GetPropText(AControl, "Kind")) == "sbhorizontal" ? kScrollHorizontal : kScrollVertical;
  }
  if (AControl->Parent())
    SetColor(AControl->Parent()->Color());
  else if (Skinner)
    SetColor(Skinner->SkinColor());
  SetParentWindow(GetParent(Target));
  UpdatePosition();
}

void TWScrollbar::BindWindow(TSkinControl* ASkinner, HWND AHandle, int AKind) {
  if (!IsWindow(AHandle)) return;
  Skinner = ASkinner;
  Target = AHandle;
  BoundKind = static_cast<uint8_t>(AKind);
  Kind = AKind;
  if (AKind == kScrollControl)
    Kind = (GetWindowLong(AHandle, GWL_STYLE) & SBS_VERT) ? kScrollVertical : kScrollHorizontal;
  SetParentWindow(GetParent(Target));
  UpdatePosition();
}

void TWScrollbar::HideBar() {
  if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
  Shown = false;
  SetVisible(false);
}

// --- placement ------------------------------------------------------------------------------------

bool TWScrollbar::GetBarInfo(SCROLLBARINFO& Info) {
  Info = SCROLLBARINFO{};
  if (!IsWindow(Target)) return false;
  if (BoundKind != kScrollControl)
    return TSkinData::SkinGetScrollBarInfo(Target, Kind == kScrollVertical ? OBJID_VSCROLL : OBJID_HSCROLL,
                                           &Info);

  RECT bounds;
  if (!GetWindowRect(Target, &bounds)) return false;
  int min = 0, max = 0, page = 0, position = 0;
  if (ScrollBarControl) {
    min = static_cast<int>(GetIntProp(ScrollBarControl, "Min"));
    max = static_cast<int>(GetIntProp(ScrollBarControl, "Max"));
    page = static_cast<int>(GetIntProp(ScrollBarControl, "PageSize"));
    position = static_cast<int>(GetIntProp(ScrollBarControl, "Position"));
  } else {
    SCROLLINFO scroll;
    scroll.fMask = SIF_ALL;
    if (!GetScrollInfo(Target, SB_CTL, &scroll)) return false;
    min = scroll.nMin;
    max = scroll.nMax;
    page = static_cast<int>(std::min<UINT>(scroll.nPage, INT32_MAX));
    position = scroll.nPos;
  }
  // The length of the bar as it is now; BarLength keeps the one of the last placement.
  const int length = Kind == kScrollVertical ? bounds.Height() : bounds.Width();
  const TScrollThumb thumb = ScrollControlThumb(length, ArrowSize, min, max, page, position);
  Info.rcScrollBar = bounds;
  Info.dxyLineButton = ArrowSize;
  Info.xyThumbTop = thumb.Start;
  Info.xyThumbBottom = thumb.End;
  if (!IsWindowEnabled(Target)) Info.rgstate[0] |= STATE_SYSTEM_UNAVAILABLE;
  return true;
}

void TWScrollbar::UpdatePosition() {
  SCROLLBARINFO info;
  if (!GetBarInfo(info)) return;
  if (!(GetWindowLong(Target, GWL_STYLE) & WS_VISIBLE) || (info.rgstate[0] & STATE_SYSTEM_INVISIBLE)) {
    HideBar();
    return;
  }
  HWND parent = GetParent(Target);
  if (!parent) return;
  const RECT bar = info.rcScrollBar;
  POINT topLeft = bar.TopLeft(), bottomRight{bar.Right, bar.Bottom};
  BarOrigin = topLeft;
  ::ScreenToClient(Target, &topLeft);
  ::ScreenToClient(Target, &bottomRight);
  BarRect = TRect{topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y};
  BarLength = Kind == kScrollVertical ? BarRect.Height() : BarRect.Width();

  POINT at = bar.TopLeft();
  ::ScreenToClient(parent, &at);
  if (ParentWindow() != parent) SetParentWindow(parent);
  SetBounds(at.X, at.Y, bar.Width(), bar.Height());
  SetVisible(true);
  HWND self = Handle();
  ShowWindow(self, SW_SHOW);
  Shown = true;
  // Just above the covered window, so that its own painting of the bar stays underneath.
  HWND above = GetWindow(Target, GW_HWNDPREV);
  UINT flags = SWP_NOACTIVATE;
  if (above == self) flags |= SWP_NOZORDER;
  SetWindowPos(self, above ? above : HWND_TOP, at.X, at.Y, bar.Width(), bar.Height(), flags);
  MoveWindow(self, at.X, at.Y, bar.Width(), bar.Height(), TRUE);
}

// --- the mouse ------------------------------------------------------------------------------------

int TWScrollbar::AlongAxis(TPoint P) const {
  return Kind == kScrollVertical ? P.Y : P.X;
}

LPARAM TWScrollbar::TargetPoint(TPoint P) const {
  if (BoundKind != kScrollControl) {
    P.X += BarOrigin.X;
    P.Y += BarOrigin.Y;
  }
  return MAKELPARAM(P.X, P.Y);
}

void TWScrollbar::PassButtonDown(TMessage& Message) {
  TCustomPanel::WndProc(Message);
  POINT cursor;
  GetCursorPos(&cursor);
  DownPoint = cursor;
  SCROLLBARINFO info;
  if (GetBarInfo(info)) {
    SavedThumbTop = ThumbTop = info.xyThumbTop;
    ThumbBottom = info.xyThumbBottom;
    // The window may have moved on the screen since the overlay was placed (its parent's frame
    // changed): the point goes to the bar where it is now.
    BarOrigin = TPoint{info.rcScrollBar.Left, info.rcScrollBar.Top};
  }
  const TPoint at{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
  HotPart = ScrollHitTest(AlongAxis(at), ArrowSize, ThumbTop, ThumbBottom, BarLength);
  Pressed = true;
  Invalidate();
  ReleaseCapture();
  const std::shared_ptr<bool> alive = Alive;
  const LPARAM point = TargetPoint(at);
  // The real bar runs its tracking loop and returns once the button is up.
  if (BoundKind == kScrollControl)
    SendMessage(Target, WM_LBUTTONDOWN, MK_LBUTTON, point);
  else
    SendMessage(Target, WM_NCLBUTTONDOWN, Kind == kScrollVertical ? HTVSCROLL : HTHSCROLL, point);
  if (!*alive) return;
  Pressed = false;
  if (BoundKind == kScrollControl) Invalidate();
}

void TWScrollbar::PassButtonUp(TMessage& Message) {
  TCustomPanel::WndProc(Message);
  SCROLLBARINFO info;
  if (BoundKind != kScrollControl && GetBarInfo(info))
    BarOrigin = TPoint{info.rcScrollBar.Left, info.rcScrollBar.Top};
  const LPARAM point = TargetPoint(TPoint{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)});
  Pressed = false;
  ReleaseCapture();
  if (BoundKind == kScrollControl) {
    PostMessage(Target, WM_LBUTTONUP, MK_LBUTTON, point);
    Invalidate();
  } else {
    PostMessage(Target, WM_NCLBUTTONUP, Kind == kScrollVertical ? HTVSCROLL : HTHSCROLL, point);
  }
}

void TWScrollbar::TrackHotPart(TMessage& Message) {
  TCustomPanel::WndProc(Message);
  const TPoint at{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
  const int part = ScrollHitTest(AlongAxis(at), ArrowSize, ThumbTop, ThumbBottom, BarLength);
  if (part != HotPart) {
    HotPart = part;
    Invalidate();
  }
  TRACKMOUSEEVENT track;
  track.dwFlags = TME_LEAVE;
  track.hwndTrack = Handle();
  TrackMouseEvent(&track);
}

void TWScrollbar::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      PassButtonDown(Message);
      return;
    case WM_LBUTTONUP:
      PassButtonUp(Message);
      return;
    case WM_MOUSEMOVE:
      TrackHotPart(Message);
      return;
    case WM_MOUSELEAVE:
      TCustomPanel::WndProc(Message);
      if (!Pressed) {
        HotPart = kScrollPartNone;
        Invalidate();
      }
      return;
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    default:
      TCustomPanel::WndProc(Message);
  }
}

// --- painting -------------------------------------------------------------------------------------

void TWScrollbar::DragThumb() {
  POINT cursor;
  GetCursorPos(&cursor);
  const int size = ThumbBottom - ThumbTop;
  const int moved = Kind == kScrollVertical ? cursor.Y - DownPoint.Y : cursor.X - DownPoint.X;
  // The upper limit first, so that on a bar too short for the thumb it starts after the arrow.
  ThumbTop = std::min(SavedThumbTop + moved, BarLength - ArrowSize - size);
  ThumbTop = std::max(ThumbTop, ArrowSize);
  ThumbBottom = ThumbTop + size;
}

bool TWScrollbar::ReadPaintKey(TPaintKey& Key, SCROLLBARINFO& Info) {
  const TSkinElements* skin = Skinner ? Skinner->Elements() : nullptr;
  if (!skin || !HasSkinImage(skin->Scrollbar.get())) return false;
  if (!GetBarInfo(Info) || (Info.rgstate[0] & STATE_SYSTEM_INVISIBLE)) return false;
  const int width = Info.rcScrollBar.Width(), height = Info.rcScrollBar.Height();
  if (width <= 0 || height <= 0 || width > ClientWidth() || height > ClientHeight()) return false;
  BarLength = Kind == kScrollVertical ? height : width;

  int button = skin->Scrollbar->Bitmap->Height();
  if (std::abs(button - ArrowSize) > kArrowSizeTolerance) button = ArrowSize;
  if (Pressed && HotPart == kScrollPartThumb && BoundKind != kScrollControl) {
    DragThumb();
  } else {
    ThumbTop = Info.xyThumbTop;
    ThumbBottom = Info.xyThumbBottom;
  }
  Key = TPaintKey{skin,     Skinner->SkinColor(),
                  width,    height,
                  button,   !(Info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE),
                  Pressed,  HotPart,
                  ThumbTop, ThumbBottom};
  return true;
}

void TWScrollbar::Refresh() {
  if (!Shown || !HandleAllocated()) return;
  // A covered window that does not clip its siblings paints its own bar over the overlay.
  const bool overdrawn = !(GetWindowLong(Target, GWL_STYLE) & WS_CLIPSIBLINGS);
  TPaintKey key;
  SCROLLBARINFO info;
  if (overdrawn || !painted_ || !ReadPaintKey(key, info) || key != paintedKey_) Invalidate();
}

void TWScrollbar::Paint() {
  TPaintKey key;
  SCROLLBARINFO info;
  if (!ReadPaintKey(key, info)) return;
  const TRect r{0, 0, key.Width, key.Height};
  if (painted_ && key == paintedKey_) {
    BitBlt(Canvas()->Handle(), 0, 0, r.Width(), r.Height(), painted_->Canvas()->Handle(), 0, 0, SRCCOPY);
    return;
  }
  const bool vertical = Kind == kScrollVertical;
  const bool enabled = key.Enabled;
  const int button = key.Button;
  const int thickness = std::min(button, vertical ? r.Width() : r.Height());
  TBitmap* strip = key.Skin->Scrollbar->Bitmap.get();
  if (!painted_) painted_ = std::make_unique<TBitmap>();
  paintedKey_ = key;
  TBitmap& buffer = *painted_;
  buffer.SetSize(r.Width(), r.Height());
  TCanvas* canvas = buffer.Canvas();
  HDC dc = canvas->Handle();
  SetStretchBltMode(dc, HALFTONE);
  canvas->Brush()->SetColor(key.Color);
  canvas->FillRect(r);

  // The track, between the arrows.
  const TDataSkinObject* track = vertical ? key.Skin->VertScroll.get() : key.Skin->HorzScroll.get();
  if (HasSkinImage(track))
    DrawElement(dc, AlongBar(vertical, button, BarLength - button, thickness), kTrackFrames,
                enabled ? kTrackEnabledFrame : kTrackDisabledFrame, track);

  // The arrows; a bar shorter than two of them gets two halves.
  const int arrow = 2 * button > BarLength ? BarLength / 2 : button;
  const int hotStep = Pressed ? 1 : 3;
  const int firstFrame =
      (vertical ? kUpArrowFrame : kLeftArrowFrame) + (HotPart == kScrollPartFirstArrow ? hotStep : 0);
  const int secondFrame =
      (vertical ? kDownArrowFrame : kRightArrowFrame) + (HotPart == kScrollPartSecondArrow ? hotStep : 0);
  DrawFrameToDC(dc, AlongBar(vertical, 0, arrow, thickness), strip, kStripFrames, firstFrame);
  DrawFrameToDC(dc, AlongBar(vertical, BarLength - arrow, BarLength, thickness), strip, kStripFrames,
                secondFrame);

  const bool hotThumb = HotPart == kScrollPartThumb;
  const TRect thumbRect = AlongBar(vertical, ThumbTop, ThumbBottom, thickness);
  const TDataSkinObject* thumb = vertical ? key.Skin->VertScrollThumb.get() : key.Skin->HorzScrollThumb.get();
  if (enabled && ThumbBottom > ThumbTop && Within(thumbRect, r)) {
    if (HasSkinImage(thumb))
      DrawElement(dc, thumbRect, thumb->FrameCount, 1 + (hotThumb ? (Pressed ? 1 : 2) : 0), thumb);
    const int grip = strip->Height();
    const int thumbLength = ThumbBottom - ThumbTop;
    if (grip < thumbLength + 2) {
      const int gripStart = ThumbTop + (thumbLength - grip) / 2;
      const int gripFrame = (vertical ? kVertGripFrame : kHorzGripFrame) + (hotThumb && Pressed ? 1
                                                                            : hotThumb          ? 2
                                                                                                : 0);
      DrawFrameToDC(dc, AlongBar(vertical, gripStart, gripStart + grip, thickness), strip, kStripFrames,
                    gripFrame);
    }
  }
  BitBlt(Canvas()->Handle(), 0, 0, r.Width(), r.Height(), dc, 0, 0, SRCCOPY);
}
