#pragma once
// The interface a data-aware editor talks to when a grid hosts it as its cell editor.
#include <cstdint>

#include "platform/rtl/Interfaces.h"
#include "platform/rtl/ShiftState.h"
#include "platform/rtl/Types.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Messages.h"

// Implemented by a grid that hosts a data-aware editor as its cell editor.
class IInplaceEditHolderEh : public virtual IInterface {
 public:
  static constexpr TGUID IID = TGUID::Parse("{4BE708F1-4EA2-4AC7-BA64-89D7D2B83E09}");

  virtual bool InplaceEditCanModify(TControl* Editor) = 0;
  // The screen position and message time of the last press in the grid.
  virtual void GetMouseDownInfo(TPoint& Pos, int32_t& Time) = 0;
  // Sees every message of the editor.
  virtual void InplaceEditWndProc(TControl* Editor, TMessage& Message) = 0;
  // The grid may consume a key by setting it to 0.
  virtual void InplaceEditKeyDown(TControl* Editor, Word& Key, TShiftState Shift) = 0;
  virtual void InplaceEditKeyPress(TControl* Editor, char32_t& Key) = 0;
  virtual void InplaceEditKeyUp(TControl* Editor, Word& Key, TShiftState Shift) = 0;

 protected:
  ~IInplaceEditHolderEh() override = default;
};
