#pragma once
// The skinners of combo boxes, edits and up-down buttons:
//   TSkinComBox    combo boxes and date pickers: the button by the "ComboButton" style, the
//                  edit child subclassed, a simple combo's list with skinned scroll bars
//                                                                      SkinComBox.cpp
//   TSkinEdit      the frame of an edit (or memo) with a border, and its spin child  SkinEdit.cpp
//   TSkinUpDown    up-down buttons, also inside an edit                          SkinUpDown.cpp
#include <cstdint>
#include <memory>

#include "platform/win/ControlClasses.h"
#include "skin/WinSubClass.h"

class TSkinScrollbarH;
class TSkinUpDown;

// The frame of the combo's button (1 normal, 2 pressed, 3 disabled, 4 focused or hot).
int ComboButtonFrame(bool Focused, uint8_t State, bool Enabled);

class TSkinComBox : public TSkinControl {
  RTL_CLASS(TSkinComBox, TSkinControl)
 public:
  explicit TSkinComBox(TComponent* AOwner);
  // Gives the edit child its procedure back and frees the list's scroll-bar skinner.
  ~TSkinComBox() override;

  // Each attaches once: the base attach, then a simple combo's list gets a TSkinScrollbarH,
  // other combos' edit child is subclassed.
  void AttachControl(TWinSkinForm* AForm, TSkinData* Data, bool AUseSkinColor, TCanvas* ACanvas) override;
  void AttachWindow(HWND AHandle, TSkinData* Data, TWinSkinForm* AForm, TCanvas* ACanvas) override;
  void Detach() override;
  void AfterMessage(TMessage& Message) override;
  void PaintSkin(HDC DC, const TRect& R) override;

  LONG_PTR WindowStyle = 0;    // refreshed at each paint
  LONG_PTR WindowExStyle = 0;  // refreshed at each paint
  HWND ListWindow = nullptr;
  HWND EditWindow = nullptr;
  std::unique_ptr<TWndProcInstance> EditInstance;
  WNDPROC OldEditProc = nullptr;
  TSkinScrollbarH* ListScrollBars = nullptr;  // owned by the control (or the skinner for a bare window)
  COMBOBOXINFO ComboInfo{};

 protected:
  // Forgets the list's skinner when someone else frees it.
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  // After the base attach of either route.
  void AttachParts();
  // The edit child's procedure: the old one first, then the combo's paint and the pressed state.
  LRESULT EditProcedure(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
  // The pressed state by a button message of the combo or its edit, and a repaint; false for
  // other messages.
  bool TrackPress(UINT Msg);
  void ReleaseParts();
};

class TSkinEdit : public TSkinControl {
  RTL_CLASS(TSkinEdit, TSkinControl)
 public:
  explicit TSkinEdit(TComponent* AOwner);
  ~TSkinEdit() override;
  void AfterMessage(TMessage& Message) override;
  void PaintSkin(HDC DC, const TRect& R) override;

  TSkinUpDown* SpinSkinner = nullptr;  // owned by the control (or the skinner for a bare window)

 protected:
  // Forgets the spin skinner when someone else frees it.
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  // The WM_PRINT frame on DC.
  void PaintPrintFrame(HDC DC);
  // The spin child, skinned the first time it is found (xcSpin).
  void SkinSpinChild();
};

class TSkinUpDown : public TSkinControl {
  RTL_CLASS(TSkinUpDown, TSkinControl)
 public:
  explicit TSkinUpDown(TComponent* AOwner);
  ~TSkinUpDown() override;
  bool BeforeMessage(TMessage& Message) override;
  void PaintSkin(HDC DC, const TRect& R) override;

  bool InEdit = false;      // the up-down lives inside an edit
  bool Horizontal = false;  // set by the creator; UDS_HORZ also makes it horizontal
};
