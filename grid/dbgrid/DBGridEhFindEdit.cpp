// The search strip's text box: search as you type, its keys, and its look while idle, hovered
// or in use.
#include "grid/dbgrid/DBGridEhSearchPanelControl.h"

#include <algorithm>

#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhParams.h"
#include "grid/foundation/ColorRoutinesEh.h"
#include "grid/foundation/KeyboardStateEh.h"
#include "platform/rtl/ScopeGuard.h"

RTL_IMPLEMENT_CLASS(TNavFindEditEh)

namespace dbgrid_find_edit_detail {

// How far an idle box's colour goes from its parent's colour toward the window colour.
constexpr double kIdleColorWeight = 170.0;

bool GridAlive(TCustomDBGridEh* Grid) {
  return Grid && !Grid->ComponentState().Contains(csDestroying);
}

}  // namespace dbgrid_find_edit_detail

using dbgrid_find_edit_detail::GridAlive;

TNavFindEditEh::TNavFindEditEh(TComponent* AOwner) : TDBComboBoxEh(AOwner) {
  auto* items = static_cast<TStringList*>(Items());
  items->SetSorted(true);
  items->SetDuplicates(dupIgnore);
}

TDBGridSearchPanelControlEh* TNavFindEditEh::Strip() const {
  return dynamic_cast<TDBGridSearchPanelControlEh*>(Owner());
}

void TNavFindEditEh::SetTextSilently(const std::string& Value) {
  TValueRestorer<bool> silent(SettingText, true);
  SetText(Value);
}

// --- typing ------------------------------------------------------------------------------------

void TNavFindEditEh::Change() {
  inherited::Change();
  if (SettingText) return;
  if (GridAlive(Grid)) {
    TDBGridSearchPanelEh* settings = Grid->SearchPanel();
    settings->SetSearchingText(Text());
    // Text of any bytes is only compared with the cells' texts.
    if (!settings->SearchingText().empty()) settings->SearchAsTyped();
  }
  TextApplied = false;
  OnChangeNotify(this);
}

void TNavFindEditEh::WMChar(TMessage& Message) {
  const char32_t ch = Message.CharValue();
  const TShiftState shift = GetShiftState();
  inherited::WMChar(Message);
  if (!GridAlive(Grid)) return;
  TDBGridSearchPanelEh* settings = Grid->SearchPanel();
  if (!settings->FilterOnTyping() || !settings->FilterEnabled()) return;
  if ((ch <= U' ' && ch != U'\b') || shift.Contains(ssAlt) || shift.Contains(ssCtrl)) return;
  const std::string text = Text();
  if (text.empty())
    Grid->CancelSearchFilter();
  else
    Grid->ApplySearchFilter(text);
}

void TNavFindEditEh::KeyDown(WORD& Key, TShiftState Shift) {
  TDBGridSearchPanelControlEh* strip = Strip();
  if (strip && GridAlive(Grid)) {
    const bool listShown = ListVisible();
    const bool plain = (Shift * TShiftState{ssShift, ssAlt, ssCtrl}).Empty();
    switch (Key) {
      case VK_ESCAPE:
        if (listShown) break;
        strip->ClearSearch();
        Key = 0;
        return;
      case VK_RETURN:
        if (listShown) break;
        if (Grid->SearchPanel()->FilterEnabled())
          strip->ApplyFilter();
        else
          strip->ClearSearch();
        Key = 0;
        return;
      case VK_DOWN:
      case VK_UP:
        if (listShown || !plain) break;
        if (Key == VK_DOWN)
          strip->FindNext();
        else
          strip->FindPrior();
        Key = 0;
        return;
      case VK_TAB:
        Grid->SetSearchMode(false);
        Key = 0;
        return;
      default:
        break;
    }
  }
  inherited::KeyDown(Key, Shift);
}

void TNavFindEditEh::CMWantSpecialKey(TMessage& Message) {
  if (Message.CharCode() == VK_TAB) {
    Message.Result = 1;
    return;
  }
  inherited::CMWantSpecialKey(Message);
}

// --- mouse and focus ---------------------------------------------------------------------------

void TNavFindEditEh::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (GridAlive(Grid)) Grid->SetSearchMode(true);
  inherited::MouseDown(Button, Shift, X, Y);
}

void TNavFindEditEh::DoEnter() {
  inherited::DoEnter();
  SetColor(clWindow);
  Font()->SetColor(clWindowText);
  if (TextEmpty) SetTextSilently("");
}

void TNavFindEditEh::DoExit() {
  inherited::DoExit();
  ApplyIdleColor();
  TextEmpty = Text().empty();
}

void TNavFindEditEh::CreateWnd() {
  inherited::CreateWnd();
  ApplyIdleColor();
}

void TNavFindEditEh::ApplyIdleColor() {
  if (Parent()) SetColor(BlendColors(Parent()->Color(), clWindow, dbgrid_find_edit_detail::kIdleColorWeight));
}

// The grid paints the matches only while the box has the focus; the filter button is enabled
// while the search goes on, which begins and ends with the focus here; the strip is lit then.
void TNavFindEditEh::WMSetFocus(TMessage& Message) {
  inherited::WMSetFocus(Message);
  SearchStateChanged();
}

void TNavFindEditEh::WMKillFocus(TMessage& Message) {
  inherited::WMKillFocus(Message);
  SearchStateChanged();
}

void TNavFindEditEh::SearchStateChanged() {
  if (!GridAlive(Grid)) return;
  Grid->Invalidate();
  if (TDBGridSearchPanelControlEh* strip = Strip()) {
    strip->UpdateFilterButton(this);
    strip->Invalidate();
  }
}

void TNavFindEditEh::CMMouseEnter(TMessage& Message) {
  inherited::CMMouseEnter(Message);
  SetColor(clWindow);
}

void TNavFindEditEh::CMMouseLeave(TMessage& Message) {
  inherited::CMMouseLeave(Message);
  if (!Focused()) ApplyIdleColor();
}

// --- frame and text rectangle ------------------------------------------------------------------

TRect TNavFindEditEh::CalcEditRect() {
  TRect r = inherited::CalcEditRect();
  r.Left += 2;
  r.Right = std::max(r.Left, r.Right - 2);
  if (!Compact) {
    r.Top += 1;
    r.Bottom = std::max(r.Top, r.Bottom - 1);
  }
  return r;
}

void TNavFindEditEh::WMNCPaint(TMessage& Message) {
  inherited::WMNCPaint(Message);
  if (!HandleAllocated() || !GridAlive(Grid)) return;
  HDC dc = GetWindowDC(Handle());
  if (!dc) return;
  HBRUSH brush = CreateSolidBrush(ColorToRGB(Grid->GridLineColors()->GetBrightColor()));
  TScopeExit release([this, dc, brush] {
    DeleteObject(brush);
    ReleaseDC(Handle(), dc);
  });
  RECT window{};
  GetWindowRect(Handle(), &window);
  RECT frame{0, 0, window.Right - window.Left, window.Bottom - window.Top};
  FrameRect(dc, &frame, brush);
}
