#pragma once
// THintWindow: the small pop-up that shows a hint. A top-level WS_POPUP | WS_BORDER window that
// never takes activation (WS_EX_TOOLWINDOW, shown with SWP_NOACTIVATE), painted in the hint
// colour with the text in clInfoText.
#include <string>

#include "platform/vcl/Controls.h"

class THintWindow : public TCustomControl {
  RTL_CLASS(THintWindow, TCustomControl)
 public:
  explicit THintWindow(TComponent* AOwner);
  ~THintWindow() override;

  // Places the window at Rect (screen coordinates), sets the caption and shows it.
  virtual void ActivateHint(TRect Rect, const std::string& AHint);
  virtual void ActivateHintData(TRect Rect, const std::string& AHint, void* AData);
  // The window rectangle (at 0, 0) the text needs, wrapped at MaxWidth: DrawText with
  // DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX, plus 6 pixels across and 4 down
  // (the border and the offset Paint draws the text at).
  virtual TRect CalcHintRect(int MaxWidth, const std::string& AHint, void* AData);
  // Whether a message should take the hint down (keys, clicks, and the like).
  virtual bool IsHintMsg(const MSG& Msg);
  // Hides the window and lets its handle go.
  void ReleaseHandle();

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void Dispatch(TMessage& Message) override;
  virtual void WMNCHitTest(TMessage& Message);
  virtual void CMTextChanged(TMessage& Message);
};
