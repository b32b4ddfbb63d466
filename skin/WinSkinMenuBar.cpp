// The skinned menu bar: one button per top-level item of the window menu, the bar painted from
// the skin's menuBar element, and the hover and pressed states of its buttons.
#include <algorithm>

#include "platform/gdi/Colors.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/ActnList.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Graphics.h"
#include "platform/win/MenuApi.h"
#include "platform/win/Painting.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinDraw.h"
#include "skin/WinSkinMenu.h"
#include "skin/WinSubClass.h"

RTL_IMPLEMENT_CLASS(TMenuBtn)
RTL_IMPLEMENT_CLASS(TWinSkinMenu)

namespace {

// The Win32 text buffer of one top-level item.
constexpr int kBarItemTextLength = 80;
// Space around a caption inside its button.
constexpr int kBarCaptionPadding = 10;
// The menuBar image: active frame over inactive frame.
constexpr int kMenuBarFrames = 2;
// The MDI caption buttons the bar shows while an MDI child is maximised.
constexpr int kBarMDIButtonVisibility = 100;

constexpr UINT kBarCaptionFlags = DT_LEFT | DT_SINGLELINE | DT_EXPANDTABS;

TSize MeasureBarCaption(TCanvas& Canvas, const std::string& Text) {
  RECT box{0, 0, 0, 0};
  TSkinData::SkinDrawText(Canvas.Handle(), Text, box, kBarCaptionFlags | DT_CALCRECT | DT_NOCLIP);
  return TSize{box.Width(), box.Height()};
}

// A single-line caption centred both ways in R, on a transparent background.
void DrawBarCaption(TCanvas& Canvas, const TRect& R, const std::string& Text, TColor Colour) {
  Canvas.Font()->SetColor(Colour);
  DrawAlignedText(&Canvas, R, taLeftJustify, Text, true);
}

// The menu font with its style reset, as the bar's captions use it.
void UseBarMenuFont(TCanvas& Canvas) {
  if (Screen && Screen->MenuFont()) Canvas.SetFont(Screen->MenuFont());
  Canvas.Font()->SetStyle({});
}

TColor BarCaptionColour(const TSkinElements& Skin, bool Enabled) {
  return Enabled ? Skin.MenuBarTextColour : Skin.ButtonShadow;
}

// The caption a class-library item shows, read by name as every skinner reads it.
std::string BarItemCaption(TMenuItem* Item) {
  if (!IsPublishedProp(Item, "Caption")) return Item->Caption();
  return GetStrProp(Item, "Caption");
}

}  // namespace

// --- TMenuBtn ---------------------------------------------------------------------------------------

TMenuBtn::TMenuBtn(TWinSkinForm* AForm, TSkinData* Data) : TNCObject(AForm), SkinData(Data) {}

TMenuBtn::~TMenuBtn() = default;

void TMenuBtn::Paint() {
  TWinSkinMenu* bar = Form ? Form->MenuBar.get() : nullptr;
  if (!bar || !SkinData || IsRectEmpty(BoundsRect) || bar->Background->Empty()) return;
  HDC dc = GetWindowDC(Form->hWnd);
  if (!dc) return;
  TScopeExit release([&] { ReleaseDC(Form->hWnd, dc); });
  const TRect& barRect = bar->BarRect;
  BitBlt(dc, BoundsRect.Left, barRect.Top, BoundsRect.Width(), barRect.Height(),
         bar->Background->Canvas()->Handle(), BoundsRect.Left - barRect.Left, 0, SRCCOPY);
  const TSkinElements& skin = *SkinData->Elements();
  TCanvas canvas;
  canvas.SetHandle(dc);
  TScopeExit unbind([&] { canvas.SetHandle(nullptr); });
  if (State == kNCHot || State == kNCPressed) {
    HBRUSH frame = CreateSolidBrush(ColorToRGB(skin.ButtonHilight));
    FrameRect(dc, &BoundsRect, frame);
    DeleteObject(frame);
  }
  UseBarMenuFont(canvas);
  DrawBarCaption(canvas, BoundsRect, Caption, BarCaptionColour(skin, Enabled));
}

// --- TWinSkinMenu: buttons --------------------------------------------------------------------------

TWinSkinMenu::TWinSkinMenu(TWinSkinForm* AForm)
    : TComponent(nullptr), Form(AForm), Background(std::make_unique<TBitmap>()) {
  SkinData = Form ? Form->SkinData : nullptr;
}

TWinSkinMenu::~TWinSkinMenu() = default;

std::unique_ptr<TMenuBtn> TWinSkinMenu::MakeButton(int Position) const {
  char text[kBarItemTextLength + 1] = {};
  MENUITEMINFO info;
  info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_TYPE;
  info.dwTypeData = text;
  info.cch = kBarItemTextLength;
  GetMenuItemInfo(WindowMenu, UINT(Position), TRUE, &info);
  auto button = std::make_unique<TMenuBtn>(Form, SkinData);
  button->Index = Position;
  button->Submenu = info.hSubMenu;
  button->Enabled = (info.fState & (MFS_GRAYED | MFS_DISABLED)) == 0;
  button->Visible = true;
  button->Command = info.wID;
  button->Caption = text;
  return button;
}

void TWinSkinMenu::BuildButtons() {
  if (!Form) return;
  if (HMENU current = GetMenu(Form->hWnd)) WindowMenu = current;
  if (!WindowMenu) return;
  if (Form->FormControl) {
    auto* form = dynamic_cast<TCustomForm*>(Form->FormControl);
    VclMenu = form ? form->Menu() : nullptr;
    if (!VclMenu) return;
  }
  Buttons.clear();
  const int count = GetMenuItemCount(WindowMenu);
  for (int i = 0; i < count; ++i) {
    auto button = MakeButton(i);
    if (TMenuItem* item = VclMenu ? VclMenu->FindItem(button->Command, fkCommand) : nullptr) {
      if (TBasicAction* action = item->Action()) action->Update();
      button->Caption = BarItemCaption(item);
      button->Enabled = item->Enabled();
      button->MenuItem = item;
      button->Submenu = item->Count() > 0 ? item->Handle() : nullptr;
    }
    Buttons.push_back(std::move(button));
  }
  SetMenu(Form->hWnd, nullptr);
}

void TWinSkinMenu::BuildButtonsFrom(HMENU NewMenu) {
  if (!Form || !NewMenu) return;
  WindowMenu = NewMenu;
  if (auto* form = dynamic_cast<TCustomForm*>(Form->FormControl)) VclMenu = form->Menu();
  Buttons.clear();
  const int count = GetMenuItemCount(WindowMenu);
  for (int i = 0; i < count; ++i) {
    auto button = MakeButton(i);
    // A merged MDI menu carries its texts; only an empty one asks the class-library item.
    if (button->Caption.empty() && VclMenu)
      if (TMenuItem* item = VclMenu->FindItem(button->Command, fkCommand)) {
        button->Caption = item->Caption();
        button->MenuItem = item;
      }
    Buttons.push_back(std::move(button));
  }
  SetMenu(Form->hWnd, nullptr);
}

// --- TWinSkinMenu: painting -------------------------------------------------------------------------

void TWinSkinMenu::Paint(HDC DC, const TRect& Rect) {
  if (!Form || !SkinData || !DC) return;
  const int w = Rect.Width(), h = Rect.Height();
  if (w <= 0 || h <= 0) return;
  // The unit's scratch bitmap when there is one and it is not the destination itself.
  TBitmap own;
  TBitmap* scratch = SkinScratchBitmap();
  if (!scratch || (scratch->Canvas()->HandleAllocated() && scratch->Canvas()->Handle() == DC)) scratch = &own;
  scratch->SetSize(w, h);
  TCanvas& canvas = *scratch->Canvas();
  const TSkinElements& skin = *SkinData->Elements();
  const TRect local = ::Rect(0, 0, w, h);

  int x;
  const TDataSkinObject* element = skin.MenuBar.get();
  if (element && !element->Bitmap->Empty()) {
    const int frame = Form->Active ? 1 : 2;
    if (element->Tile == 1)
      DrawNinePart(canvas.Handle(), local, element->Bitmap.get(), true, false, false, kMenuBarFrames, frame,
                   element->LeftWidth, 0, element->RightWidth, 0);
    else
      DrawThreePartTiled(&canvas, local, element->Bitmap.get(), true, false, kMenuBarFrames, frame,
                         element->LeftWidth, element->RightWidth);
    x = Form->RightToLeft ? element->RightWidth + 8 : element->LeftWidth + 4;
    if (w < x) x = 12;
  } else {
    canvas.Brush()->SetStyle(bsSolid);
    canvas.Brush()->SetColor(skin.MenubarColour);
    canvas.FillRect(local);
    x = 6;
  }

  BarRect = Rect;
  Background->SetSize(w, h);
  BitBlt(Background->Canvas()->Handle(), 0, 0, w, h, canvas.Handle(), 0, 0, SRCCOPY);

  UseBarMenuFont(canvas);
  Painting = true;
  for (const auto& button : Buttons) {
    if (!button->Visible) {
      button->BoundsRect = TRect{};
      continue;
    }
    const int width =
        button->Caption.empty() ? 0 : MeasureBarCaption(canvas, button->Caption).cx + kBarCaptionPadding;
    const TRect item =
        Form->RightToLeft ? ::Rect(w - x - width, 0, w - x, h - 1) : ::Rect(x, 0, x + width, h - 1);
    if (width > 0) DrawBarCaption(canvas, item, button->Caption, BarCaptionColour(skin, button->Enabled));
    button->BoundsRect =
        ::Rect(item.Left + Rect.Left, item.Top + Rect.Top, item.Right + Rect.Left, item.Bottom + Rect.Top);
    x += width;
  }

  PaintMDIButtons(canvas.Handle());
  BitBlt(DC, Rect.Left, Rect.Top, w, h, canvas.Handle(), 0, 0, SRCCOPY);
}

void TWinSkinMenu::PaintMDIButtons(HDC DC) {
  if (Form->FormKind != TSkinFormKind::MDIFrame || !Form->MDIClient) return;
  BOOL maximized = FALSE;
  const HWND child = reinterpret_cast<HWND>(
      SendMessage(Form->MDIClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)));
  if (!child || !maximized) return;
  for (const auto& button : Form->CaptionButtons) {
    const TDataSkinSysButton* element = button->Element;
    if (!element || element->Visibility != kBarMDIButtonVisibility || element->Bitmap->Empty()) continue;
    button->DrawFrame(DC, 1, Form->L, Form->T);
  }
  if (TSkinManage* manager = SkinManage(); manager && !manager->MDIMaximized) manager->SetMDIMaximized(true);
}

// --- TWinSkinMenu: finding buttons ------------------------------------------------------------------

TMenuBtn* TWinSkinMenu::ButtonAt(TPoint P) const {
  for (const auto& button : Buttons)
    if (!button->Caption.empty() && PtInRect(button->BoundsRect, P)) return button.get();
  return nullptr;
}

TMenuBtn* TWinSkinMenu::FindByAccel(WORD Key) const {
  for (const auto& button : Buttons)
    if (button->Visible && button->Enabled && IsAccel(Key, button->Caption)) return button.get();
  return nullptr;
}

TMenuBtn* TWinSkinMenu::NextButton(int FromIndex, bool Forward) const {
  const int count = static_cast<int>(Buttons.size());
  if (count == 0) return nullptr;
  // From outside the bar the first step lands on the first (or the last) button.
  int start = FromIndex;
  if (start < 0 || start >= count) start = Forward ? -1 : count;
  const int step = Forward ? 1 : -1;
  // A hidden or empty button has no rectangle to click: stepping onto it would open nothing.
  for (int n = 1; n <= count; ++n) {
    const int i = ((start + step * n) % count + count) % count;
    const TMenuBtn* button = Buttons[size_t(i)].get();
    if (button->Visible && !button->Caption.empty()) return Buttons[size_t(i)].get();
  }
  return nullptr;
}

void TWinSkinMenu::PostOpen(TMenuBtn* Button) const {
  if (!Form || !Button) return;
  RECT window{};
  if (!GetWindowRect(Form->hWnd, &window)) return;
  const int x = window.Left + Button->BoundsRect.Left + 1, y = window.Top + Button->BoundsRect.Top + 1;
  PostMessage(Form->hWnd, WM_NCLBUTTONDOWN, HTCLIENT, MAKELPARAM(x, y));
}
