// The popup skinner, and the manager's rules for which popup windows get one.
#include "skin/WinSkinPopMenu.h"

#include <algorithm>

#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Graphics.h"
#include "platform/win/Painting.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinDraw.h"
#include "skin/WinSkinManage.h"

RTL_IMPLEMENT_CLASS(TWinSkinPopMenu)

TWinSkinPopMenu::TWinSkinPopMenu() : FrameBitmap(std::make_unique<TBitmap>()) {}

TWinSkinPopMenu::~TWinSkinPopMenu() {
  Detach();
  // Nothing may reach a freed skinner through the global.
  if (CurrentPopup == this) CurrentPopup = nullptr;
}

void TWinSkinPopMenu::Attach(HWND Window, TSkinData* Data, HMENU AMenu) {
  if (attached_ || !IsWindow(Window)) return;
  Handle = Window;
  SkinData = Data;
  Menu = AMenu;
  ObjectInstance = std::make_unique<TWndProcInstance>(
      [this](HWND, UINT Msg, WPARAM WParam, LPARAM LParam) { return WndProc(Msg, WParam, LParam); });
  OldWndProc = WNDPROC(GetWindowLong(Handle, GWL_WNDPROC));
  SetWindowLong(Handle, GWL_WNDPROC, ObjectInstance->Token());
  MenuBarOwned = false;
  attached_ = true;
}

void TWinSkinPopMenu::Detach() {
  if (!attached_) return;
  attached_ = false;
  if (OwnsRegion && Region) DeleteObject(Region);
  Region = nullptr;
  OwnsRegion = false;
  // Only a window still running our procedure gets its own back: a later subclasser keeps its
  // place in the chain.
  if (IsWindow(Handle) && GetWindowLong(Handle, GWL_WNDPROC) == ObjectInstance->Token())
    SetWindowLong(Handle, GWL_WNDPROC, OldWndProc.Token());
  ObjectInstance.reset();
  FrameBitmap->Assign(nullptr);
}

LRESULT TWinSkinPopMenu::PassOn(UINT Msg, WPARAM WParam, LPARAM LParam) {
  return CallWindowProc(OldWndProc, Handle, Msg, WParam, LParam);
}

LRESULT TWinSkinPopMenu::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
  // Answered even while the manager is inactive: the window must never get a second skinner.
  if (Msg == SKMSG_ISSKINNED) {
    Result = 1;
    return Result;
  }
  TSkinManage* manager = SkinManage();
  if (!manager || !manager->Active) return PassOn(Msg, WParam, LParam);
  Result = 0;
  switch (Msg) {
    case WM_DESTROY: {
      const WNDPROC old = OldWndProc;
      const HWND window = Handle;
      Detach();
      return CallWindowProc(old, window, Msg, WParam, LParam);
    }
    case WM_NCPAINT:
      if (!CanPaintFrame()) return PassOn(Msg, WParam, LParam);
      PaintFrame();
      return Result;
    case WM_PRINT:
      if (!CanPaintFrame() || !WParam) return PassOn(Msg, WParam, LParam);
      PrintWindow(reinterpret_cast<HDC>(WParam), LParam);
      return Result;
    default:
      return PassOn(Msg, WParam, LParam);
  }
}

bool TWinSkinPopMenu::CanPaintFrame() const {
  if (!SkinData || SkinData->Empty()) return false;
  const TDataSkinObject* back = SkinData->Elements()->MenuBackground.get();
  return back && back->Bitmap && !back->Bitmap->Empty();
}

void TWinSkinPopMenu::BuildFrame(int W, int H) {
  const TDataSkinObject& back = *SkinData->Elements()->MenuBackground;
  FrameBitmap =
      MakeNinePartBitmap(Rect(0, 0, W, H), back.Bitmap.get(), back.LeftWidth, back.TopHeight, back.RightWidth,
                         back.BottomHeight, false, back.Tile == 1, back.FrameCount, 1);
  if (!FrameBitmap) FrameBitmap = std::make_unique<TBitmap>();
}

void TWinSkinPopMenu::PaintFrame() {
  HDC dc = GetWindowDC(Handle);
  if (!dc) return;
  TScopeExit release([&] { ReleaseDC(Handle, dc); });
  RECT r{};
  GetWindowRect(Handle, &r);
  const int w = r.Width(), h = r.Height();
  BuildFrame(w, h);
  if (!Menu) CurrentPopup = this;
  if (FrameBitmap->Empty()) return;  // not sized yet
  HDC frame = FrameBitmap->Canvas()->Handle();
  constexpr int b = kSkinPopupFrame;
  BitBlt(dc, 0, 0, w, b, frame, 0, 0, SRCCOPY);
  StretchBlt(dc, 0, h - b, w, b, frame, 0, h - b, w, b, SRCCOPY);
  StretchBlt(dc, 0, 0, b, h, frame, 0, 0, b, h, SRCCOPY);
  StretchBlt(dc, w - b, 0, b, h, frame, w - b, 0, b, h, SRCCOPY);
}

void TWinSkinPopMenu::PrintWindow(HDC DC, LPARAM Flags) {
  if (!Menu) CurrentPopup = this;
  RECT r{};
  if (!GetWindowRect(Handle, &r)) {
    Result = PassOn(WM_PRINT, reinterpret_cast<WPARAM>(DC), Flags);
    return;
  }
  const int w = r.Width(), h = r.Height();
  constexpr int b = kSkinPopupFrame;
  HRGN clip = CreateRectRgn(b, b, w - b, h - b);
  TScopeExit dropClip([&] { DeleteObject(clip); });
  BuildFrame(w, h);
  BitBlt(DC, 0, 0, w, h, FrameBitmap->Canvas()->Handle(), 0, 0, SRCCOPY);
  // The items go over the frame's middle; the frame itself stays out of their reach.
  const int oldMode = SetBkMode(DC, TRANSPARENT);
  SelectClipRgn(DC, clip);
  TScopeExit restore([&] {
    SelectClipRgn(DC, nullptr);
    SetBkMode(DC, oldMode);
  });
  Result = PassOn(WM_PRINT, reinterpret_cast<WPARAM>(DC), Flags);
}

// --- the manager's popup rules ---------------------------------------------------------------------------

namespace {

// The SkinControls member that lets a menu of the kind opening be framed.
bool PopupKindAllowed(TSkinControlTypes Controls, int Kind) {
  switch (Kind) {
    case 0:
      return Controls.Contains(xcPopupMenu);
    case 1:
      return Controls.Contains(xcMainMenu) || Controls.Contains(xcMenuItem);
    case 2:
      return Controls.Contains(xcSystemMenu);
    default:
      return false;
  }
}

}  // namespace

void TSkinManage::AddPopupMenu(HWND Window) {
  if (!Active || !IsWindow(Window)) return;
  if (SendMessage(Window, SKMSG_ISSKINNED, 0, 0) == 1) return;
  if (IsPopupListed(Window)) return;
  TSkinData* data = FindSkinDataFor(Window);
  if (!data || data->Empty() || !PopupKindAllowed(data->SkinControls(), MenuKind)) return;
  auto popup = std::make_unique<TWinSkinPopMenu>();
  popup->Attach(Window, data, nullptr);
  popup->MenuBarOwned = MenuBarMode;
  PopupMenus.push_back(popup.release());
}

void TSkinManage::RemovePopupMenu(HWND Window) {
  const auto it = std::find_if(PopupMenus.begin(), PopupMenus.end(),
                               [Window](const TWinSkinPopMenu* p) { return p->Handle == Window; });
  if (it == PopupMenus.end()) return;
  FreePopupAt(static_cast<size_t>(it - PopupMenus.begin()));
  if (PopupMenus.empty()) {
    MenuKind = 0;
    MenuBarMode = false;
  }
}

bool TSkinManage::IsPopupListed(HWND Window) const {
  return std::any_of(PopupMenus.begin(), PopupMenus.end(),
                     [Window](const TWinSkinPopMenu* p) { return p->Handle == Window; });
}
