// The MRU list of TCustomDBEditEh: the list box under the editor that offers the remembered
// texts starting like the typed one, and the keys, clicks and focus changes that close it.
#include <algorithm>

#include "grid/editors/DBEditEh.h"
#include "grid/editors/DropDownCallEh.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "grid/foundation/KeyboardStateEh.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/MaskUtils.h"

void TCustomDBEditEh::SetMRUList(TMRUListEh* Value) {
  mruList_->Assign(Value);
}

TMRUListboxEh* TCustomDBEditEh::CreateMRUListBox() {
  return NewMRUListBoxEh(this);
}

void TCustomDBEditEh::FilterMRUItem(const std::string& AText, bool& Accept) {
  Accept = Accept && MRUItemMatchesEh(AText, Text(), mruList_->CaseSensitive());
}

void TCustomDBEditEh::MRUListDropDown(TObject*) {
  if (!HandleAllocated()) return;
  if (!mruListBox_) {
    mruListBox_ = CreateMRUListBox();
    mruListBox_->SetParent(this);
    mruListBox_->OnSizeGripResized = TNotifyEvent::Method(this, &TCustomDBEditEh::MRUListboxResized);
    mruListBox_->OnMouseUp = TMouseEvent::Method(this, &TCustomDBEditEh::MRUListBoxMouseUp);
  }
  const bool shown =
      DropDownMRUListBoxEh(mruListBox_, mruList_.get(), this, CalcEditRect(), Text(), Font(), Color(),
                           [this](const std::string& Item, bool& Accept) { FilterMRUItem(Item, Accept); });
  if (!shown) {
    mruList_->CloseUp(false);
    return;
  }
  mruList_->SetDroppedDown(true);
}

void TCustomDBEditEh::MRUListCloseUp(TObject*, bool Accept) {
  if (!mruList_->DroppedDown()) return;
  mruList_->SetDroppedDown(false);
  if (!mruListBox_) return;
  const bool listHadFocus = HideMRUListBoxEh(mruListBox_);
  if (listHadFocus && CanFocus()) SetFocus();
  const int index = mruListBox_->ItemIndex();
  if (Accept && index >= 0 && !ReadOnly() && DataLink()->Edit()) {
    const std::string text = mruListBox_->Items()->Strings(index);
    mruClosing_ = true;
    {
      TScopeExit endClosing([&] { mruClosing_ = false; });
      SetEditText(text);
    }
    if (Focused()) SelectAll();
  }
}

void TCustomDBEditEh::MRUListBoxMouseUp(TObject*, TMouseButton Button, TShiftState, int X, int Y) {
  if (Button != mbLeft || !mruListBox_) return;
  mruList_->CloseUp(PtInRect(mruListBox_->ClientRect(), TPoint{X, Y}));
}

void TCustomDBEditEh::MRUListboxResized(TObject*) {
  if (!mruListBox_) return;
  mruList_->SetRows(mruListBox_->Rows());
  mruList_->SetWidth(mruListBox_->Width());
}

void TCustomDBEditEh::UpdateMRUDropDown() {
  if (mruClosing_ || !mruList_ || !mruList_->Active()) return;
  if (!Showing() || !EditorFocused() || DroppedDown()) return;
  bool empty = Text().empty();
  if (!empty && IsMasked()) empty = EditText() == FormatMaskText(EditMask(), "");
  if (empty) {
    if (mruList_->DroppedDown()) mruList_->CloseUp(false);
    return;
  }
  mruList_->DropDown();
}

// --- keys, focus and mouse while the list is open ----------------------------------------------

bool TCustomDBEditEh::MRUListKeyDown(WORD& Key, TShiftState Shift) {
  if (!mruList_ || !mruList_->DroppedDown() || !mruListBox_) return false;
  const bool alt = Shift.Contains(ssAlt), ctrl = Shift.Contains(ssCtrl);
  switch (Key) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN:
      if (alt) return false;
      break;
    case VK_HOME:
    case VK_END:
      if (!ctrl) return false;
      break;
    case VK_RETURN:
    case VK_ESCAPE:
      mruList_->CloseUp(Key == VK_RETURN);
      Key = 0;
      return true;
    default:
      return false;
  }
  if (mruListBox_->HandleAllocated()) {
    if (mruListBox_->ItemIndex() < 0 && (Key == VK_DOWN || Key == VK_NEXT)) {
      mruListBox_->SetItemIndex(0);
    } else {
      SendMessage(mruListBox_->Handle(), WM_KEYDOWN, Key, 0);
    }
  }
  Key = 0;
  return true;
}

void TCustomDBEditEh::CNKeyDown(TMessage& Message) {
  WORD key = Message.CharCode();
  if (MRUListKeyDown(key, GetShiftState())) {
    Message.Result = 1;
    return;
  }
  inherited::CNKeyDown(Message);
}

void TCustomDBEditEh::WMKillFocus(TMessage& Message) {
  inherited::WMKillFocus(Message);
  const auto next = reinterpret_cast<HWND>(Message.WParam);
  if (mruList_ && mruList_->DroppedDown() &&
      !(mruListBox_ && mruListBox_->HandleAllocated() && next == mruListBox_->Handle()))
    mruList_->CloseUp(false);
  UpdateBorderActive();
}

void TCustomDBEditEh::CMCancelMode(TMessage& Message) {
  auto* sender = reinterpret_cast<TControl*>(Message.LParam);
  for (int i = 0; i < ControlCount(); ++i)
    if (TControl* c = Controls(i); c && c->MouseCapture()) c->SetMouseCapture(false);
  for (TButtonControlPairEh& pair : buttonControls_)
    if (pair.Button->MouseCapture()) pair.Button->SetMouseCapture(false);
  if (!mruList_ || !mruList_->DroppedDown()) return;
  auto within = [](TControl* c, TWinControl* root) {
    for (; c; c = c->Parent())
      if (c == root) return true;
    return false;
  };
  if (sender && (within(sender, this) || within(sender, mruListBox_))) return;
  mruList_->CloseUp(false);
}

void TCustomDBEditEh::WMMouseWheel(TMessage& Message) {
  if (mruList_ && mruList_->DroppedDown() && mruListBox_ && mruListBox_->HandleAllocated()) {
    const int delta = static_cast<short>(HIWORD(static_cast<uintptr_t>(Message.WParam)));
    const int top = mruListBox_->TopIndex() + (delta < 0 ? 1 : delta > 0 ? -1 : 0);
    mruListBox_->SetTopIndex(std::max(0, top));
    mruListBox_->UpdateScrollBar();
    Message.Result = 1;
    return;
  }
  inherited::WMMouseWheel(Message);
}
