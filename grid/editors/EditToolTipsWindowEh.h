#pragma once
// The hint window that shows a data-aware editor's clipped text whole.
#include <string>

#include "platform/vcl/HintWindow.h"

// The hint window of an editor's clipped text: it measures with the editor's font (the hint
// data is the editor).
class TEditToolTipsWindowEh : public THintWindow {
  RTL_CLASS(TEditToolTipsWindowEh, THintWindow)
 public:
  explicit TEditToolTipsWindowEh(TComponent* AOwner) : THintWindow(AOwner) {}
  TRect CalcHintRect(int MaxWidth, const std::string& AHint, void* AData) override;
};
