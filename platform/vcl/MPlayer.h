#pragma once
// The media player as a state model: a row of up to nine buttons with their visible, enabled and
// coloured sets, and OnClick for a click on a button. It plays no media; each visible button
// takes an equal slot of the client width, from the left, and is drawn as a plain push button.
#include "platform/rtl/Classes.h"
#include "platform/vcl/Controls.h"

// Scoped: the up-down control's button type already owns btNext and btPrev.
enum class TMPBtnType { btPlay, btPause, btStop, btNext, btPrev, btStep, btBack, btRecord, btEject };
RTL_ENUM_INFO(TMPBtnType, "btPlay", "btPause", "btStop", "btNext", "btPrev", "btStep", "btBack", "btRecord",
              "btEject");
using TButtonSet = TSet<TMPBtnType, 16>;

inline constexpr int kMPButtonCount = 9;
inline TButtonSet AllMPButtons() {
  TButtonSet all;
  for (int i = 0; i < kMPButtonCount; ++i) all.Include(static_cast<TMPBtnType>(i));
  return all;
}

// DoDefault comes in True; the player has no default action to skip.
using TMPBtnClickEvent = TEvent<void(TObject* Sender, TMPBtnType Button, bool& DoDefault)>;

class TMediaPlayer : public TCustomControl {
  RTL_CLASS(TMediaPlayer, TCustomControl)
 public:
  explicit TMediaPlayer(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TMediaPlayer>& c);

  TButtonSet VisibleButtons() const { return visible_; }
  void SetVisibleButtons(TButtonSet Value);
  TButtonSet EnabledButtons() const { return enabled_; }
  void SetEnabledButtons(TButtonSet Value);
  TButtonSet ColoredButtons() const { return colored_; }
  void SetColoredButtons(TButtonSet Value);

  // The visible button whose slot holds the client x; false for none.
  bool ButtonAt(int X, TMPBtnType& Button);
  // The slot of a visible button (empty for a hidden one).
  TRect ButtonRect(TMPBtnType Button);
  // The button pressed by the mouse and not yet released on, if any.
  bool PressedButton(TMPBtnType& Button) const;

  // Hides TControl::OnClick: a click names the button.
  TMPBtnClickEvent OnClick;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // A press and release on the same enabled button.
  virtual void Click(TMPBtnType Button);

 private:
  int SlotWidth();
  TButtonSet visible_ = AllMPButtons();
  TButtonSet enabled_ = AllMPButtons();
  TButtonSet colored_ = AllMPButtons();
  int pressed_ = -1;  // the pressed button's ordinal, -1 for none
};

void RegisterMPlayerClasses();
