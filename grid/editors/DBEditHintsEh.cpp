// The hints of TCustomDBEditEh: the editor's own hint flag, and the tool tip that shows a
// clipped text whole.
#include <algorithm>

#include "grid/editors/DBEditEh.h"
#include "grid/editors/EditToolTipsWindowEh.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "platform/vcl/Messages.h"

void TCustomDBEditEh::SetTooltips(bool Value) {
  if (tooltips_ == Value) return;
  tooltips_ = Value;
  UpdateShowHint();
}

void TCustomDBEditEh::SetShowHint(bool Value) {
  showHint_ = Value;
  SetParentShowHint(false);
  UpdateShowHint();
}

void TCustomDBEditEh::UpdateShowHint() {
  // The platform's flag follows both; writing it must not end ParentShowHint.
  const bool keepParent = ParentShowHint();
  TControl::SetShowHint(showHint_ || tooltips_);
  if (keepParent && !ParentShowHint()) SetParentShowHint(true);
}

void TCustomDBEditEh::CMParentShowHintChanged(TMessage& Message) {
  if (ParentShowHint()) {
    showHint_ = Parent() ? Parent()->ShowHint() : false;
    UpdateShowHint();
    return;
  }
  inherited::CMParentShowHintChanged(Message);
}

void TCustomDBEditEh::CMHintShow(TMessage& Message) {
  auto* info = reinterpret_cast<THintInfo*>(Message.LParam);
  if (tooltips_ && info) {
    const std::string text = Text();
    const TRect edit = CalcEditRect();
    TRect measured{0, 0, std::max(0, edit.Width()), 0};
    HDC dc = GetDC(nullptr);
    HGDIOBJ oldFont = SelectObject(dc, Font()->Handle());
    const UINT flags = DT_CALCRECT | DT_NOPREFIX | (wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE);
    WindowsDrawText(dc, text, -1, flags, measured);
    SelectObject(dc, oldFont);
    ReleaseDC(nullptr, dc);
    if (!text.empty() && (measured.Width() > edit.Width() - 2 || measured.Height() > edit.Height())) {
      info->HintStr = text;
      // The editor's bottom-left corner (of its window, frame included).
      info->HintPos = Parent() ? Parent()->ClientToScreen(TPoint{Left(), Top() + Height()})
                               : ClientToScreen(TPoint{0, ClientHeight()});
      info->HintWindowClass = TEditToolTipsWindowEh::StaticClass();
      info->HintData = static_cast<TControl*>(this);
      Message.Result = 0;
      return;
    }
  }
  if (!showHint_) {
    Message.Result = 1;
    return;
  }
  inherited::CMHintShow(Message);
}
