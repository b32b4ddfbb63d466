#pragma once
// The skinned frame of a popup menu's window ("#32768": context menus, drop-downs of a menu bar,
// the system menu). The window keeps drawing its own items; the skinner replaces the window
// procedure and paints the 3-pixel non-client frame from the skin's MenuBackground element, on
// WM_NCPAINT and when the window is printed (WM_PRINT). The manager makes one per popup window
// as the window is created and frees it when the window goes.
#include <memory>

#include "platform/rtl/Object.h"
#include "platform/win/Windows.h"

class TBitmap;
class TSkinData;

// The popup window's non-client frame, on every side.
inline constexpr int kSkinPopupFrame = 3;

class TWinSkinPopMenu : public TObject {
  RTL_CLASS(TWinSkinPopMenu, TObject)
 public:
  TWinSkinPopMenu();
  // Detaches first; clears CurrentPopup when it names this skinner.
  ~TWinSkinPopMenu() override;

  // Takes the window over: its procedure is replaced by this skinner's. A repeat on an attached
  // skinner, or a window that does not exist, does nothing.
  void Attach(HWND Window, TSkinData* Data, HMENU AMenu);
  // Gives the window its own procedure back and forgets the last frame.
  void Detach();
  bool Attached() const { return attached_; }

  WNDPROC OldWndProc;
  std::unique_ptr<TWndProcInstance> ObjectInstance;
  LRESULT Result = 0;
  HWND Handle = nullptr;
  TSkinData* SkinData = nullptr;
  int ItemIndex = -1;
  // The last frame painted; never null, but replaced at each paint (read it afresh).
  std::unique_ptr<TBitmap> FrameBitmap;
  HMENU Menu = nullptr;
  // A region the skinner owns, deleted at Detach when OwnsRegion.
  HRGN Region = nullptr;
  bool OwnsRegion = false;
  bool MenuBarOwned = false;

 private:
  LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam);
  // The skin data holds a skin whose MenuBackground has an image.
  bool CanPaintFrame() const;
  // The MenuBackground element fitted to a window of W x H, into FrameBitmap.
  void BuildFrame(int W, int H);
  void PaintFrame();
  void PrintWindow(HDC DC, LPARAM Flags);
  LRESULT PassOn(UINT Msg, WPARAM WParam, LPARAM LParam);

  bool attached_ = false;
};
