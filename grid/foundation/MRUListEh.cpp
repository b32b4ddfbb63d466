// The MRU text list and its drop-down list box.
#include "grid/foundation/MRUListEh.h"

#include <algorithm>

#include "grid/data/LocaleRoutinesEh.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/Windows.h"

RTL_IMPLEMENT_CLASS(TMRUListEh)
RTL_IMPLEMENT_CLASS(TMRUListboxEh)

// --- TMRUListEh ----------------------------------------------------------------------------------

TMRUListEh::TMRUListEh(TPersistent* AOwner) : owner_(AOwner), items_(std::make_unique<TStringList>()) {}

TMRUListEh::~TMRUListEh() = default;

void TMRUListEh::DescribeClass(TClassBuilder<TMRUListEh>& c) {
  c.Property("Active", &TMRUListEh::Active, &TMRUListEh::SetActive);
  c.Property("AutoAdd", &TMRUListEh::AutoAdd, &TMRUListEh::SetAutoAdd).Default(1);
  c.Property("CaseSensitive", &TMRUListEh::CaseSensitive, &TMRUListEh::SetCaseSensitive);
  c.Property("Items", &TMRUListEh::Items, &TMRUListEh::SetItems);
  c.Property("Limit", &TMRUListEh::Limit, &TMRUListEh::SetLimit).Default(100);
  c.Property("Rows", &TMRUListEh::Rows, &TMRUListEh::SetRows).Default(7);
}

void TMRUListEh::Assign(TPersistent* Source) {
  if (auto* other = dynamic_cast<TMRUListEh*>(Source)) {
    active_ = other->active_;
    autoAdd_ = other->autoAdd_;
    caseSensitive_ = other->caseSensitive_;
    items_->Assign(other->items_.get());
    limit_ = other->limit_;
    rows_ = other->rows_;
    width_ = other->width_;
    return;
  }
  inherited::Assign(Source);
}

void TMRUListEh::Add(const std::string& Text) {
  const std::string text = Trim(Text);
  if (text.empty()) return;
  for (int i = 0; i < items_->Count(); ++i) {
    const std::string& item = items_->Strings(i);
    if (caseSensitive_ ? item == text : AnsiSameText(item, text)) {
      items_->Move(i, items_->Count() - 1);
      return;
    }
  }
  items_->BeginUpdate();
  items_->Add(text);
  while (items_->Count() > std::max(limit_, 0)) items_->Delete(0);
  items_->EndUpdate();
}

namespace {

bool KeyPressWaiting() {
  MSG msg{};
  return PeekMessage(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE) ||
         PeekMessage(&msg, nullptr, WM_CHAR, WM_CHAR, PM_NOREMOVE);
}

}  // namespace

bool TMRUListEh::FilterItemsTo(TStrings* List, const std::string& Text) {
  const std::string prefix = caseSensitive_ ? Text : NlsUpperCase(Text);
  List->BeginUpdate();
  TScopeExit endUpdate([&] { List->EndUpdate(); });
  List->Clear();
  for (int i = 0; i < items_->Count(); ++i) {
    if (cancelIfKeyInQueue_ && i > 0 && i % 100 == 0 && KeyPressWaiting()) return false;
    const std::string& item = items_->Strings(i);
    const std::string key = caseSensitive_ ? item : NlsUpperCase(item);
    if (key.compare(0, prefix.size(), prefix) != 0) continue;
    bool accept = true;
    filteredItem_ = item;
    FilterItem(accept);
    filteredItem_.clear();
    if (accept) List->Add(item);
  }
  return true;
}

void TMRUListEh::DoSetDropDown(bool Accept) {
  OnSetCloseUp(this, Accept);
}

void TMRUListEh::DoFilterItem() {
  OnSetDropDown(this);
}

void TMRUListEh::FilterItem(bool& Accept) {
  OnFilterItem(this, Accept);
}

// --- TMRUListboxEh -------------------------------------------------------------------------------

TMRUListboxEh::TMRUListboxEh(TComponent* AOwner) : TPopupListboxEh(AOwner) {
  scrollBar_ = new TScrollBar(this);
  scrollBar_->SetKind(sbVertical);
  scrollBar_->SetTabStop(false);
  scrollBar_->SetVisible(false);
  scrollBar_->SetParent(this);
  scrollBar_->OnScroll = TScrollEvent::Method(this, &TMRUListboxEh::ScrollBarScroll);
}

void TMRUListboxEh::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style &= ~static_cast<DWORD>(WS_VSCROLL);
}

void TMRUListboxEh::CreateWnd() {
  inherited::CreateWnd();
  PlaceScrollBar();
  UpdateScrollBar();
}

void TMRUListboxEh::PlaceScrollBar() {
  const TRect client = ClientRect();
  const int width = GetSystemMetrics(SM_CXVSCROLL);
  // The size grip keeps the bottom-right corner.
  const int bottom = std::max(client.Top, client.Bottom - SizeGrip()->Height());
  scrollBar_->SetBounds(client.Right - width, client.Top, width, bottom - client.Top);
}

void TMRUListboxEh::Resize() {
  inherited::Resize();
  if (!scrollBar_) return;
  PlaceScrollBar();
  UpdateScrollBar();
}

void TMRUListboxEh::UpdateScrollBar() {
  if (!scrollBar_ || !HandleAllocated() || updating_) return;
  TValueRestorer updating(updating_, true);
  const int count = Count();
  const int itemHeight = ItemHeight();
  const int rows = itemHeight > 0 ? std::max(1, ClientHeight() / itemHeight) : 1;
  if (count <= rows) {
    scrollBar_->SetVisible(false);
    return;
  }
  scrollBar_->SetPageSize(0);
  scrollBar_->SetParams(std::clamp(TopIndex(), 0, count - rows), 0, count - 1);
  scrollBar_->SetPageSize(rows);
  scrollBar_->SetLargeChange(rows);
  scrollBar_->SetVisible(true);
}

void TMRUListboxEh::ScrollBarScroll(TObject*, TScrollCode ScrollCode, int& ScrollPos) {
  if (ScrollCode == scEndScroll) return;
  SetTopIndex(ScrollPos);
  ScrollPos = TopIndex();
}

void TMRUListboxEh::WndProc(TMessage& Message) {
  inherited::WndProc(Message);
  // Whatever may move the top row or change the count moves the bar with it.
  const UINT msg = Message.Msg;
  if ((msg >= LB_ADDSTRING && msg <= LB_ITEMFROMPOINT) || msg == WM_KEYDOWN || msg == WM_MOUSEWHEEL ||
      msg == WM_VSCROLL)
    UpdateScrollBar();
}
