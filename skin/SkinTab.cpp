// The tab skinner: tab and page controls on any of the four sides. The tabs are drawn laid
// horizontally into a strip buffer, as if they stood at the top, and the buffer is turned to the
// tab side; the pane image is flipped or turned once, when the side is known, and drawn nine-part
// around the pages. Page controls whose Tag asks for it get close crosses on their tabs.
#include <algorithm>
#include <array>

#include "platform/gdi/Colors.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ImgList.h"
#include "platform/win/ControlClasses.h"
#include "skin/SkinComboEdit.h"
#include "skin/SkinTabs.h"
#include "skin/WinSkinDraw.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinIni.h"
#include "skin/WinSkinManage.h"
#include "skin/WinSkinStore.h"

RTL_IMPLEMENT_CLASS(TSkinTab)

namespace skin_tab {

enum TTabSide { kTop = 0, kBottom = 1, kLeft = 2, kRight = 3 };

constexpr int kTabFrames = 5;
constexpr int kNormalTabFrame = 1;
constexpr int kFocusedTabFrame = 2;
// TCM_ADJUSTRECT's display area lies this far inside the page's frame.
constexpr int kPaneGrowth = 4;
// Pane margins when the skin gives none: left, top, right, bottom for tabs at the top.
constexpr std::array<int, 4> kDefaultPaneMargins = {4, 5, 4, 4};
// A tab text is read up to this many characters.
constexpr size_t kItemTextLimit = 80;
// A bare window answering TCM_GETITEMCOUNT with more is not believed past this.
constexpr int kItemLimit = 4096;
// The close cross: a square this far in from the tab's top-right corner.
constexpr int kCloseRightOuter = 8, kCloseRightInner = 2, kCloseTopInner = 2, kCloseTopOuter = 8;
// Between an icon and its text.
constexpr int kIconGap = 2;
constexpr int kLeftIndent = 3;
constexpr int kRightIndent = 2;

// The first Limit characters of a UTF-8 text.
std::string FirstCharacters(const std::string& Text, size_t Limit) {
  size_t chars = 0;
  for (size_t i = 0; i < Text.size(); ++i) {
    if ((static_cast<unsigned char>(Text[i]) & 0xC0) == 0x80) continue;
    if (chars == Limit) return Text.substr(0, i);
    ++chars;
  }
  return Text;
}

bool HasImage(const TBitmap* Bitmap) {
  return Bitmap && !Bitmap->Empty();
}

// Left, top, right and bottom margins as they lie once the image is flipped or turned to Side.
std::array<int, 4> TurnedMargins(const std::array<int, 4>& M, int Side) {
  switch (Side) {
    case kBottom:
      return {M[0], M[3], M[2], M[1]};
    case kLeft:  // counter-clockwise: the top edge goes to the left
      return {M[1], M[2], M[3], M[0]};
    case kRight:  // clockwise: the top edge goes to the right
      return {M[3], M[0], M[1], M[2]};
    default:
      return M;
  }
}

// The strip of one side and the mapping between the window and its horizontal buffer. Sides 2
// and 3 are turned a quarter: the buffer's top becomes the outer edge.
struct TStripMap {
  int Side = kTop;
  TRect Strip;  // window coordinates

  int BufferWidth() const { return Side >= kLeft ? Strip.Height() : Strip.Width(); }
  int BufferHeight() const { return Side >= kLeft ? Strip.Width() : Strip.Height(); }

  // An item's rectangle (window coordinates) where it is drawn in the buffer. Horizontal tabs
  // are moved a pixel towards the pane.
  TRect ItemToBuffer(const TRect& R) const {
    const TRect r{R.Left - Strip.Left, R.Top - Strip.Top, R.Right - Strip.Left, R.Bottom - Strip.Top};
    switch (Side) {
      case kTop:
        return {r.Left, r.Top + 1, r.Right, r.Bottom + 1};
      case kBottom:
        return {r.Left, r.Top - 1, r.Right, r.Bottom - 1};
      case kLeft:
        return {BufferWidth() - r.Bottom, r.Left, BufferWidth() - r.Top, r.Right};
      default:
        return {r.Top, BufferHeight() - r.Right, r.Bottom, BufferHeight() - r.Left};
    }
  }

  // Where a buffer rectangle shows in the window once the buffer is turned and copied.
  TRect BufferToWindow(const TRect& B) const {
    TRect r = B;
    if (Side == kLeft)
      r = {B.Top, BufferWidth() - B.Right, B.Bottom, BufferWidth() - B.Left};
    else if (Side == kRight)
      r = {BufferHeight() - B.Bottom, B.Left, BufferHeight() - B.Top, B.Right};
    return {r.Left + Strip.Left, r.Top + Strip.Top, r.Right + Strip.Left, r.Bottom + Strip.Top};
  }
};

struct TTabItem {
  std::string Text;
  int Image = -1;
};

bool ReadItem(HWND Window, int Index, TTabItem& Item) {
  std::array<char, kItemTextLimit * 4 + 1> text{};
  TCITEM item;
  item.mask = TCIF_TEXT | TCIF_IMAGE;
  item.pszText = text.data();
  item.cchTextMax = static_cast<int>(text.size());
  if (!SendMessage(Window, TCM_GETITEM, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&item)))
    return false;
  text.back() = '\0';
  Item.Text = FirstCharacters(text.data(), kItemTextLimit);
  Item.Image = item.iImage;
  return true;
}

// The text-and-image routine of tabs: the block (icon, gap, text) placed by Alignment, centred
// vertically; the text ends in an ellipsis when it does not fit. The canvas holds the font and
// the text colour.
void DrawTabLabel(TCanvas* Canvas, const TRect& R, const TTabItem& Item, TCustomImageList* Images,
                  UINT Alignment) {
  const bool withIcon =
      Images && Images->HandleAllocated() && Item.Image != -1 && Images->Width() < R.Width();
  const int iconWidth = withIcon ? Images->Width() : 0, iconHeight = withIcon ? Images->Height() : 0;
  const int gap = withIcon ? kIconGap : 0;
  Canvas->Font()->SetStyle({});
  HDC dc = Canvas->Handle();
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  TScopeExit restoreMode([&] { SetBkMode(dc, oldMode); });
  constexpr UINT kTextFlags = DT_SINGLELINE | DT_EXPANDTABS | DT_END_ELLIPSIS;
  RECT measured{0, 0, 0, 0};
  TSkinData::SkinDrawText(dc, Item.Text, measured, DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT | DT_NOCLIP);
  const int room = std::max(R.Width() - iconWidth - gap, 0);
  const int textWidth = std::min(measured.Width(), room), textHeight = measured.Height();
  int x = R.Left + kLeftIndent;
  if (Alignment == DT_CENTER)
    x = R.Left + (R.Width() - iconWidth - textWidth) / 2;
  else if (Alignment == DT_RIGHT)
    x = R.Left + R.Width() - iconWidth - textWidth - kRightIndent;
  if (withIcon)
    ImageList_Draw(Images->Handle(), Item.Image, dc, x, R.Top + (R.Height() - iconHeight) / 2,
                   ILD_TRANSPARENT);
  const int textLeft = x + iconWidth + gap, textTop = R.Top + (R.Height() - textHeight) / 2;
  RECT box{textLeft, textTop, textLeft + textWidth, textTop + textHeight};
  RECT clipped;
  if (!IntersectRect(clipped, box, R)) return;
  TSkinData::SkinDrawText(dc, Item.Text, clipped, kTextFlags);
}

// Takes the window's font when it answers WM_GETFONT with a usable one.
void TakeWindowFont(TCanvas* Canvas, HWND Window) {
  auto font = reinterpret_cast<HFONT>(SendMessage(Window, WM_GETFONT, 0, 0));
  LOGFONT log;
  if (font && GetObject(font, sizeof(log), &log)) Canvas->Font()->SetHandle(font);
}

void DrawCross(TCanvas* Canvas, const TRect& R) {
  Canvas->MoveTo(R.Left, R.Top);
  Canvas->LineTo(R.Right, R.Bottom);
  Canvas->MoveTo(R.Right - 1, R.Top);
  Canvas->LineTo(R.Left - 1, R.Bottom);
}

// The page of a page control that shows the tab Index.
TTabSheet* PageOfTab(TPageControl* Pages, int Index) {
  for (int i = 0; i < Pages->PageCount(); ++i)
    if (Pages->Pages(i)->TabIndex() == Index) return Pages->Pages(i);
  return nullptr;
}

}  // namespace skin_tab

// --- module routines --------------------------------------------------------------------------------

int TabSideOf(LONG_PTR Style) {
  const bool farSide = (Style & TCS_BOTTOM) != 0, vertical = (Style & TCS_VERTICAL) != 0;
  if (vertical) return farSide ? skin_tab::kRight : skin_tab::kLeft;
  return farSide ? skin_tab::kBottom : skin_tab::kTop;
}

HWND FindUpDownChild(HWND Parent) {
  if (!Parent) return nullptr;
  for (HWND child = GetWindow(Parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (LowerCase(GetClassName(child)) == UPDOWN_CLASS) return child;
  return nullptr;
}

TSkinUpDown* SkinUpDownChildOf(TSkinControl& Skinner, TSkinUpDown* Current) {
  if (Current) return Current;
  HWND child = FindUpDownChild(Skinner.Handle);
  // One skinned by someone else already keeps that skinner.
  if (!child || SendMessage(child, SKMSG_ISSKINNED, 0, 0) == 1) return nullptr;
  TComponent* owner = Skinner.Control ? static_cast<TComponent*>(Skinner.Control) : &Skinner;
  auto* upDown = new TSkinUpDown(owner);
  upDown->AttachWindow(child, Skinner.SkinData, Skinner.Form, Skinner.Canvas);
  return upDown;
}

// --- TSkinTab ---------------------------------------------------------------------------------------

TSkinTab::TSkinTab(TComponent* AOwner)
    : TSkinControl(AOwner),
      TabImage(std::make_unique<TBitmap>()),
      PaneImage(std::make_unique<TBitmap>()),
      StripBuffer(std::make_unique<TBitmap>()) {}

TSkinTab::~TSkinTab() = default;

void TSkinTab::AttachControl(TWinSkinForm* AForm, TSkinData* Data, bool AUseSkinColor, TCanvas* ACanvas) {
  if (Attached) return;
  TSkinControl::AttachControl(AForm, Data, AUseSkinColor, ACanvas);
  if (!Attached) return;
  AttachParts();
  // Only the class library's page control frees a page by itself.
  CloseBoxes = Control->Tag() == kSkinTabCloseTag && dynamic_cast<TPageControl*>(Control) != nullptr;
}

void TSkinTab::AttachWindow(HWND AHandle, TSkinData* Data, TWinSkinForm* AForm, TCanvas* ACanvas) {
  if (Attached) return;
  TSkinControl::AttachWindow(AHandle, Data, AForm, ACanvas);
  if (Attached) AttachParts();
}

void TSkinTab::AttachParts() {
  Focused = GetFocus() == Handle;
  WindowEnabled = IsWindowEnabled(Handle);
  TabSide = TabSideOf(GetWindowLongAW(Handle, GWL_STYLE));
  PrepareImages();
  SkinUpDownChild();
}

void TSkinTab::ApplySkinColor() {
  PrepareImages();
  TSkinControl::ApplySkinColor();
}

void TSkinTab::PrepareImages() {
  TabImage = std::make_unique<TBitmap>();
  PaneImage = std::make_unique<TBitmap>();
  const TSkinElements* skin = Elements();
  const TDataSkinBorder* tabs = skin ? skin->Tabs.get() : nullptr;
  if (!tabs) return;
  const bool ownPane = tabs->Style == 1 && skin->TabPane && skin_tab::HasImage(skin->TabPane->Bitmap.get());
  TBitmap* paneSource = ownPane ? skin->TabPane->Bitmap.get() : tabs->Bitmap2.get();
  for (auto [source, target] :
       {std::pair{tabs->Bitmap.get(), TabImage.get()}, std::pair{paneSource, PaneImage.get()}}) {
    if (!skin_tab::HasImage(source)) continue;
    CopyBitmap(source, target);
    target->SetPixelFormat(pf24bit);
  }
  if (TabSide == skin_tab::kBottom) {
    if (skin_tab::HasImage(TabImage.get())) FlipBitmap(TabImage.get());
    if (skin_tab::HasImage(PaneImage.get())) FlipBitmap(PaneImage.get());
  } else if (skin_tab::HasImage(PaneImage.get()) && TabSide == skin_tab::kLeft) {
    RotateBitmapLeft(PaneImage.get());
  } else if (skin_tab::HasImage(PaneImage.get()) && TabSide == skin_tab::kRight) {
    RotateBitmapRight(PaneImage.get());
  }
}

void TSkinTab::SkinUpDownChild() {
  UpDownSkinner = SkinUpDownChildOf(*this, UpDownSkinner);
}

bool TSkinTab::BeforeMessage(TMessage& Message) {
  if (!TSkinControl::BeforeMessage(Message)) return false;
  switch (Message.Msg) {
    case WM_PAINT: {
      // Without tabs in the skin the control keeps its own look.
      const TSkinElements* skin = Elements();
      if (!skin || !skin->Tabs) return true;
      PaintFromMessage(Message);
      return false;
    }
    case WM_LBUTTONDOWN:
      return !(CloseBoxes && ClickCloseBox(Message));
    default:
      return true;
  }
}

bool TSkinTab::ClickCloseBox(TMessage& Message) {
  POINT at{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
  RECT window;
  if (!ClientToScreen(Handle, &at) || !GetWindowRect(Handle, &window)) return false;
  at.X -= window.Left;
  at.Y -= window.Top;
  const auto hit = std::find_if(CloseBoxRects.begin(), CloseBoxRects.end(),
                                [&](const TRect& Box) { return PtInRect(Box, at); });
  if (hit == CloseBoxRects.end()) return false;
  const int index = static_cast<int>(hit - CloseBoxRects.begin());
  Message.Result = 0;
  // Without a skinned form nobody objects.
  LRESULT answer = 0;
  if (Form && Form->hWnd && IsWindow(Form->hWnd))
    answer = SendMessage(Form->hWnd, SKMSG_TABCLOSE, reinterpret_cast<WPARAM>(Handle), index);
  if (answer != 0) return true;
  CloseBoxRects.clear();  // the tabs move; the next paint places the boxes again
  auto* pages = dynamic_cast<TPageControl*>(Control);
  if (TTabSheet* page = pages ? skin_tab::PageOfTab(pages, index) : nullptr) delete page;
  return true;
}

void TSkinTab::PaintSkin(HDC DC, const TRect& R) {
  if (R.Width() <= 0 || R.Height() <= 0) return;
  const int side = TabSideOf(GetWindowLongAW(Handle, GWL_STYLE));
  if (side != TabSide) {
    TabSide = side;
    PrepareImages();
  }
  WindowEnabled = IsWindowEnabled(Handle);
  SkinUpDownChild();

  RECT display = R;
  SendMessage(Handle, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  TRect pane = display;
  InflateRect(pane, skin_tab::kPaneGrowth, skin_tab::kPaneGrowth);
  TRect strip = R;
  switch (TabSide) {
    case skin_tab::kTop:
      strip.Bottom = ++pane.Top;
      break;
    case skin_tab::kBottom:
      strip.Top = --pane.Bottom;
      break;
    case skin_tab::kLeft:
      strip.Right = ++pane.Left;
      break;
    default:
      strip.Left = --pane.Right;
      break;
  }
  const auto count = static_cast<int>(
      std::clamp<LRESULT>(SendMessage(Handle, TCM_GETITEMCOUNT, 0, 0), 0, skin_tab::kItemLimit));
  CloseBoxRects.assign(static_cast<size_t>(count), TRect{});
  if (skin_tab::HasImage(TabImage.get()) && strip.Width() > 0 && strip.Height() > 0)
    PaintStrip(DC, strip, count);
  PaintPane(DC, pane);
}

void TSkinTab::PaintStrip(HDC DC, const TRect& Strip, int Count) {
  const TDataSkinBorder* tabs = Elements()->Tabs.get();
  const skin_tab::TStripMap map{TabSide, Strip};
  StripBuffer->SetPixelFormat(pf24bit);
  StripBuffer->SetSize(map.BufferWidth(), map.BufferHeight());
  TCanvas* canvas = StripBuffer->Canvas();
  FillSkinColor(canvas->Handle(), TRect{0, 0, map.BufferWidth(), map.BufferHeight()});
  skin_tab::TakeWindowFont(canvas, Handle);
  std::array<int, 4> margins = {tabs->LeftWidth, tabs->TopHeight, tabs->RightWidth, tabs->BottomHeight};
  if (TabSide == skin_tab::kBottom) margins = skin_tab::TurnedMargins(margins, skin_tab::kBottom);
  auto* images = GetObjectPropAs<TCustomImageList>(Control, "Images");
  const auto focus = static_cast<int>(SendMessage(Handle, TCM_GETCURFOCUS, 0, 0));

  for (int i = 0; i < Count; ++i) {
    RECT itemRect;
    skin_tab::TTabItem item;
    if (!SendMessage(Handle, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&itemRect)) ||
        !skin_tab::ReadItem(Handle, i, item))
      continue;
    const TRect r = map.ItemToBuffer(itemRect);
    const bool focused = i == focus;
    DrawNinePart(canvas->Handle(), r, TabImage.get(), false, tabs->Tile == 1, tabs->Trans == 1,
                 skin_tab::kTabFrames, focused ? skin_tab::kFocusedTabFrame : skin_tab::kNormalTabFrame,
                 margins[0], margins[1], margins[2], margins[3]);
    const TColor colour = !WindowEnabled ? clBtnShadow
                          : focused      ? tabs->MouseOverColour2
                                         : tabs->NormalColour2;
    canvas->Font()->SetColor(colour);
    if (CloseBoxes) {
      const TRect box{r.Right - skin_tab::kCloseRightOuter, r.Top + skin_tab::kCloseTopInner,
                      r.Right - skin_tab::kCloseRightInner, r.Top + skin_tab::kCloseTopOuter};
      canvas->Pen()->SetColor(colour);
      skin_tab::DrawCross(canvas, box);
      CloseBoxRects[static_cast<size_t>(i)] = map.BufferToWindow(box);
    }
    skin_tab::DrawTabLabel(canvas, r, item, images, DT_CENTER);
  }

  if (TabSide == skin_tab::kLeft) RotateBitmapLeft(StripBuffer.get());
  if (TabSide == skin_tab::kRight) RotateBitmapRight(StripBuffer.get());
  const int saved = SaveDC(DC);
  TScopeExit restore([&] { RestoreDC(DC, saved); });
  HWND upDown = FindUpDownChild(Handle);
  RECT upDownRect, window;
  if (upDown && IsWindowVisible(upDown) && GetWindowRect(upDown, &upDownRect) &&
      GetWindowRect(Handle, &window))
    ExcludeClipRect(DC, upDownRect.Left - window.Left, upDownRect.Top - window.Top,
                    upDownRect.Right - window.Left, upDownRect.Bottom - window.Top);
  BitBlt(DC, Strip.Left, Strip.Top, Strip.Width(), Strip.Height(), StripBuffer->Canvas()->Handle(), 0, 0,
         SRCCOPY);
}

void TSkinTab::PaintPane(HDC DC, const TRect& Pane) {
  if (!skin_tab::HasImage(PaneImage.get()) || Pane.Width() <= 0 || Pane.Height() <= 0) return;
  const TSkinElements* skin = Elements();
  const TDataSkinBorder* tabs = skin->Tabs.get();
  const TDataSkinObject* paneElement = skin->TabPane.get();
  std::array<int, 4> margins = skin_tab::kDefaultPaneMargins;
  if (tabs->Style != 0 && paneElement)
    margins = {paneElement->LeftWidth, paneElement->TopHeight, paneElement->RightWidth,
               paneElement->BottomHeight};
  margins = skin_tab::TurnedMargins(margins, TabSide);
  const bool ownPane = tabs->Style == 1 && paneElement && skin_tab::HasImage(paneElement->Bitmap.get());
  const TDataSkinObject* source = ownPane ? paneElement : tabs;
  const bool transparent = source->Trans == 1;
  if (transparent) FillSkinColor(DC, Pane);
  DrawNinePart(DC, Pane, PaneImage.get(), false, source->Tile == 1, transparent, 1, 1, margins[0], margins[1],
               margins[2], margins[3]);
}
