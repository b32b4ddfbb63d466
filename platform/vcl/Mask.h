#pragma once
// The masked edit: an edit whose text follows an edit mask (MaskUtils.h). With a mask the
// window always holds the edit text, one character per mask position (literals in place,
// blanks where nothing was typed); typing overwrites, the caret skips literals and is shown
// as a one-character selection, Backspace and Delete blank positions instead of shifting the
// text. Without a mask the control is a plain TCustomEdit.
#include <string>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Set.h"
#include "platform/vcl/MaskUtils.h"
#include "platform/vcl/StdCtrls.h"

// Raised when the edit text does not satisfy the mask.
class EDBEditError : public Exception {
 public:
  explicit EDBEditError(std::string m) : Exception(std::move(m)) {}
};

inline constexpr const char* SMaskEditErr = "Invalid input value.  Use escape key to abandon changes";

enum class TMaskedStateItem { msMasked, msReEnter, msDBSetText };
using enum TMaskedStateItem;
using TMaskedState = TSet<TMaskedStateItem>;

class TCustomMaskEdit : public TCustomEdit {
  RTL_CLASS(TCustomMaskEdit, TCustomEdit)
 public:
  explicit TCustomMaskEdit(TComponent* AOwner);
  ~TCustomMaskEdit() override;

  // Setting the mask keeps the input characters of the text and lays them into the new mask;
  // MaxLength becomes the number of mask positions (0 when the mask is cleared).
  const std::string& EditMask() const { return editMask_; }
  void SetEditMask(const std::string& Value);
  bool IsMasked() const { return maskState_.Contains(msMasked); }
  // With a mask the limit stays the number of mask positions.
  void SetMaxLength(int Value);
  // The text as shown: literals and blanks included.
  std::string EditText();
  void SetEditText(const std::string& Value);
  // With a mask, the edit text with blanks as spaces, and without the literals when the mask
  // does not save them. Reading through TControl (GetText) answers the window's text, the
  // edit text; writing through any class lays the value into the mask.
  std::string Text();
  void SetText(const std::string& Value) override;

  // Raises EDBEditError (after putting the caret on the first unfilled position and keeping
  // the focus) when the text was modified and does not satisfy the mask.
  virtual void ValidateEdit();
  // Undoes every change since the last Reset, enter or programmatic text.
  virtual void Reset();
  void Clear() override;

  // Overwritten by descendants that must refuse changes (read-only data, ...).
  virtual bool EditCanModify();

  void Dispatch(TMessage& Message) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyUp(WORD& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void CMEnter(TMessage& Message) override;
  void CMExit(TMessage& Message) override;
  virtual void CMWantSpecialKey(TMessage& Message);
  void WMLButtonUp(TMessage& Message) override;
  virtual void WMCut(TMessage& Message);
  virtual void WMPaste(TMessage& Message);
  virtual void WMClear(TMessage& Message);

 protected:
  [[noreturn]] virtual void ValidateError();
  // Puts the caret on position Pos (shown as a one-character selection while inside the text).
  void SetCursor(int Pos);
  // Turns an empty selection into the caret of a masked edit.
  void CheckCursor();
  TMaskedState MaskState() const { return maskState_; }
  void SetMaskState(TMaskedState Value) { maskState_ = Value; }
  const TEditMaskModel& MaskModel() const { return model_; }
  // Writes the changed span of NewText into the window as one replacement (one change
  // notification, undoable), then places the caret.
  void ApplyEdit(const std::u32string& NewText, int Caret);

 private:
  std::u32string CurrentEditText();
  void GetSel(int& SelStart, int& SelStop);
  void ArrowKeys(WORD Key, TShiftState Shift);
  void HomeEndKeys(WORD Key, TShiftState Shift);
  void DeleteKeys(WORD Key);
  void SelectRange(int Anchor, int Caret);
  bool CanEdit();

  std::string editMask_;
  TEditMaskModel model_;
  TMaskedState maskState_;
  std::string oldValue_;
  // The keyboard selection: anchor and moving end, valid while the window's selection is
  // still [min, max) of them.
  int anchor_ = 0;
  int caret_ = 0;
};

class TMaskEdit : public TCustomMaskEdit {
  RTL_CLASS(TMaskEdit, TCustomMaskEdit)
 public:
  explicit TMaskEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {}
  static void DescribeClass(TClassBuilder<TMaskEdit>& c);
};

void RegisterMaskClasses();
