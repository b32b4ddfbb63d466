// The header skinner: each item from "Headerbar" (frame 2 for the item under the mouse), its
// image and text placed by the item's format, and the space right of the last item. Serves
// header controls and, as a bare window, the header of a list view.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/gdi/Colors.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/ImgList.h"
#include "platform/win/ControlClasses.h"
#include "skin/SkinRangeControls.h"
#include "skin/WinSkinIni.h"

RTL_IMPLEMENT_CLASS(TSkinHeader)

namespace header_paint {

constexpr int kNormalFrame = 1;
constexpr int kHotFrame = 2;
// Items are hit-tested this far inside their sides, so the sizing edges stay out.
constexpr int kHitInset = 3;
// Item texts are read up to this many bytes.
constexpr int kTextLimit = 260;
// The block of image and text: its left inset, the gap between the two, its right inset.
constexpr int kLeftInset = 3;
constexpr int kImageGap = 2;
constexpr int kRightInset = 2;

// The part of an item worth drawing in a header Width wide: an item reaching far beyond it
// (widths are the program's) is cut just outside, so only its hidden edge is lost.
TRect VisiblePart(const TRect& Item, int Width, const TDataSkinObject& Element) {
  TRect r = Item;
  r.Left = std::max(r.Left, -std::max(Element.LeftWidth, 0));
  r.Right = std::min(r.Right, Width + std::max(Element.RightWidth, 0));
  return r;
}

// The image (when the header's list has it and it fits) and the text of one item, as a block
// placed by Format's justification, centred vertically.
void DrawItemContent(HDC DC, const TRect& R, const std::string& Text, HIMAGELIST Images, int ImageIndex,
                     int Format, bool Enabled) {
  int iconWidth = 0, iconHeight = 0;
  const bool icon = Images && ImageIndex >= 0 && ImageIndex < ImageList_GetImageCount(Images) &&
                    ImageList_GetIconSize(Images, &iconWidth, &iconHeight) && iconWidth < R.Width();
  if (!icon) iconWidth = iconHeight = 0;
  RECT measured{0, 0, std::max(R.Width(), 0), std::max(R.Height(), 0)};
  if (!Text.empty())
    DrawText(DC, Text, &measured, DT_SINGLELINE | DT_EXPANDTABS | DT_END_ELLIPSIS | DT_CALCRECT);
  const int textWidth = Text.empty() ? 0 : measured.Right - measured.Left;
  const int block = iconWidth + (iconWidth > 0 ? kImageGap : 0) + textWidth;
  int x = kLeftInset;
  switch (Format & HDF_JUSTIFYMASK) {
    case HDF_CENTER:
      x = (R.Width() - block) / 2;
      break;
    case HDF_RIGHT:
      x = R.Width() - block - kRightInset;
      break;
    default:
      break;
  }
  x += R.Left;
  if (iconWidth > 0) {
    ImageList_Draw(Images, ImageIndex, DC, x, R.Top + (R.Height() - iconHeight) / 2, ILD_TRANSPARENT);
    x += iconWidth + kImageGap;
  }
  if (Text.empty()) return;
  const TRect textBox{std::max(x, R.Left), R.Top, R.Right, R.Bottom};
  DrawSkinText(DC, textBox, Text, DT_LEFT | DT_SINGLELINE | DT_END_ELLIPSIS, Enabled);
}

}  // namespace header_paint

TSkinHeader::TSkinHeader(TComponent* AOwner) : TSkinControl(AOwner) {}

TSkinHeader::~TSkinHeader() = default;

void TSkinHeader::AttachControl(TWinSkinForm* AForm, TSkinData* Data, bool AUseSkinColor, TCanvas* ACanvas) {
  TSkinControl::AttachControl(AForm, Data, AUseSkinColor, ACanvas);
  HotItem = -1;
}

void TSkinHeader::AttachWindow(HWND AHandle, TSkinData* Data, TWinSkinForm* AForm, TCanvas* ACanvas) {
  TSkinControl::AttachWindow(AHandle, Data, AForm, ACanvas);
  HotItem = -1;
}

bool TSkinHeader::BeforeMessage(TMessage& Message) {
  if (!TSkinControl::BeforeMessage(Message)) return false;
  const TSkinElements* skin = Elements();
  // Without the element the header keeps its own look.
  if (!HasSkinImage(skin ? skin->Headerbar.get() : nullptr)) return true;
  return PaintInstead(Message);
}

void TSkinHeader::AfterMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_MOUSEMOVE: {
      const TPoint at{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
      int hot = -1;
      for (size_t i = 0; i < ItemRects.size() && hot < 0; ++i)
        if (PtInRect(ItemRects[i], at)) hot = static_cast<int>(i);
      if (hot == HotItem) return;
      HotItem = hot;
      // The leave notice comes only when asked for, and is needed to put the item back.
      if (HotItem >= 0) {
        TRACKMOUSEEVENT track;
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = Handle;
        TrackMouseEvent(&track);
      }
      Repaint();
      return;
    }
    case WM_MOUSELEAVE:
      HotItem = -1;
      Repaint();
      return;
    default:
      TSkinControl::AfterMessage(Message);
  }
}

void TSkinHeader::PaintSkin(HDC DC, const TRect& R) {
  const TSkinElements* skin = Elements();
  const TDataSkinObject* bar = skin ? skin->Headerbar.get() : nullptr;
  if (!HasSkinImage(bar) || R.Width() <= 0 || R.Height() <= 0) return;
  TBitmap buffer;
  buffer.SetSize(R.Width(), R.Height());
  HDC dc = buffer.Canvas()->Handle();
  FillSkinColor(dc, TRect{0, 0, R.Width(), R.Height()});
  HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessage(Handle, WM_GETFONT, 0, 0));
  HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
  TScopeExit restoreFont([dc, oldFont] {
    if (oldFont) SelectObject(dc, oldFont);
  });
  SetTextColor(dc, ColorToRGB(SkinTextColor()));

  const bool enabled = (GetWindowLongAW(Handle, GWL_STYLE) & WS_DISABLED) == 0;
  auto images = reinterpret_cast<HIMAGELIST>(SendMessage(Handle, HDM_GETIMAGELIST, 0, 0));
  const int count = static_cast<int>(SendMessage(Handle, HDM_GETITEMCOUNT, 0, 0));
  ItemRects.clear();
  int lastRight = 0;
  for (int i = 0; i < count; ++i) {
    RECT got{};
    if (!SendMessage(Handle, HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&got)))
      continue;
    char text[header_paint::kTextLimit] = {};
    HDITEM item;
    item.mask = HDI_TEXT | HDI_FORMAT | HDI_IMAGE;
    item.pszText = text;
    item.cchTextMax = header_paint::kTextLimit;
    item.iImage = -1;
    if (!SendMessage(Handle, HDM_GETITEM, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item)))
      text[0] = 0;
    text[header_paint::kTextLimit - 1] = 0;
    const TRect r = got;
    const int frame = i == HotItem ? header_paint::kHotFrame : header_paint::kNormalFrame;
    const TRect drawn = header_paint::VisiblePart(r, R.Width(), *bar);
    DrawElement(dc, drawn, bar->FrameCount, frame, bar);
    header_paint::DrawItemContent(dc, drawn, text, images, item.iImage, item.fmt, enabled);
    // Indexes stay aligned with the items: a skipped item keeps an empty rectangle.
    ItemRects.resize(static_cast<size_t>(i) + 1);
    ItemRects.back() =
        TRect{r.Left + header_paint::kHitInset, r.Top, r.Right - header_paint::kHitInset, r.Bottom};
    lastRight = std::max(lastRight, r.Right);
  }
  if (lastRight < R.Width())
    DrawElement(dc, TRect{lastRight, 0, R.Width(), R.Height()}, bar->FrameCount, header_paint::kNormalFrame,
                bar);
  BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), dc, 0, 0, SRCCOPY);
}
