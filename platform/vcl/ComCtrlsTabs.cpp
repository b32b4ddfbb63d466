// The tab control over "SysTabControl32", the page control and its sheets.
#include <algorithm>

#include "platform/rtl/Lists.h"
#include "platform/vcl/ComCtrls.h"

RTL_IMPLEMENT_CLASS(TCustomTabControl)
RTL_IMPLEMENT_CLASS(TTabControl)
RTL_IMPLEMENT_CLASS(TTabSheet)
RTL_IMPLEMENT_CLASS(TPageControl)

namespace {

// The window class's geometry, for a control that has no window yet.
constexpr int kTabPad = 6;
constexpr int kTabMargin = 2;
constexpr int kPageBorder = 4;
constexpr int kTextHeight = 13;

}  // namespace

// --- TCustomTabControl ----------------------------------------------------------------------------

TCustomTabControl::TCustomTabControl(TComponent* AOwner)
    : TWinControl(AOwner), tabs_(std::make_unique<TStringList>()) {
  SetBounds(Left(), Top(), 289, 193);
  SetTabStop(true);
  SetControlStyle(ControlStyle() + csAcceptsControls);
  tabs_->OnChange = [this](TObject*) { TabsChanged(); };
}

TCustomTabControl::~TCustomTabControl() {
  tabs_->OnChange = nullptr;
}

TStrings* TCustomTabControl::Tabs() const {
  return tabs_.get();
}

void TCustomTabControl::SetTabs(TStrings* Value) {
  tabs_->Assign(Value);
}

void TCustomTabControl::TabsChanged() {
  if (tabIndex_ >= tabs_->Count()) tabIndex_ = tabs_->Count() - 1;
  if (tabIndex_ < 0 && tabs_->Count() > 0) tabIndex_ = 0;
  SendTabs();
}

void TCustomTabControl::SendTabs() {
  if (!HandleAllocated() || updatingTabs_) return;
  updatingTabs_ = true;
  SendMessage(Handle(), TCM_DELETEALLITEMS, 0, 0);
  for (int i = 0; i < tabs_->Count(); ++i) {
    std::string text = tabs_->Strings(i);
    TCITEM item;
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    SendMessage(Handle(), TCM_INSERTITEM, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  if (tabIndex_ >= 0) SendMessage(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(tabIndex_), 0);
  updatingTabs_ = false;
  Realign();
}

void TCustomTabControl::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, WC_TABCONTROL);
  Params.Style |= WS_CLIPCHILDREN;
  switch (tabPosition_) {
    case tpBottom:
      Params.Style |= TCS_BOTTOM;
      break;
    case tpLeft:
      Params.Style |= TCS_VERTICAL;
      break;
    case tpRight:
      Params.Style |= TCS_VERTICAL | TCS_RIGHT;
      break;
    default:
      break;
  }
  if (multiLine_) Params.Style |= TCS_MULTILINE;
  if (style_ == tsButtons) Params.Style |= TCS_BUTTONS;
  if (style_ == tsFlatButtons) Params.Style |= TCS_BUTTONS | TCS_FLATBUTTONS;
  if (hotTrack_) Params.Style |= TCS_HOTTRACK;
}

void TCustomTabControl::CreateWnd() {
  inherited::CreateWnd();
  SendTabs();
}

void TCustomTabControl::SetTabIndex(int Value) {
  if (Value < -1 || Value >= tabs_->Count()) return;
  tabIndex_ = Value;
  if (HandleAllocated()) {
    if (Value >= 0)
      SendMessage(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(Value), 0);
    else
      SendTabs();
  }
}

void TCustomTabControl::SetTabPosition(TTabPosition Value) {
  if (tabPosition_ == Value) return;
  tabPosition_ = Value;
  RecreateWnd();
  Realign();
}

void TCustomTabControl::SetStyle(TTabStyle Value) {
  if (style_ == Value) return;
  style_ = Value;
  RecreateWnd();
}

void TCustomTabControl::SetMultiLine(bool Value) {
  if (multiLine_ == Value) return;
  multiLine_ = Value;
  RecreateWnd();
}

void TCustomTabControl::SetImages(TCustomImageList* Value) {
  if (images_) images_->RemoveFreeNotification(this);
  images_ = Value;
  if (images_) images_->FreeNotification(this);
  Invalidate();
}

void TCustomTabControl::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == images_) images_ = nullptr;
}

TRect TCustomTabControl::DisplayRect() {
  RECT r = ClientRect();
  if (HandleAllocated()) {
    SendMessage(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    return r;
  }
  const int band = kTextHeight + kTabPad + kTabMargin;
  r.Left += kPageBorder;
  r.Top += kPageBorder;
  r.Right -= kPageBorder;
  r.Bottom -= kPageBorder;
  switch (tabPosition_) {
    case tpTop:
      r.Top += band;
      break;
    case tpBottom:
      r.Bottom -= band;
      break;
    case tpLeft:
      r.Left += band;
      break;
    case tpRight:
      r.Right -= band;
      break;
  }
  return r;
}

void TCustomTabControl::AdjustClientRect(TRect& Rect) {
  Rect = DisplayRect();
  inherited::AdjustClientRect(Rect);
}

TRect TCustomTabControl::TabRect(int Index) {
  RECT r{};
  if (HandleAllocated())
    SendMessage(Handle(), TCM_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&r));
  return r;
}

int TCustomTabControl::IndexOfTabAt(int X, int Y) {
  if (!HandleAllocated()) return -1;
  const int count = static_cast<int>(SendMessage(Handle(), TCM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i)
    if (PtInRect(TabRect(i), POINT{X, Y})) return i;
  return -1;
}

bool TCustomTabControl::CanChange() {
  bool allow = true;
  OnChanging(this, allow);
  return allow;
}

void TCustomTabControl::Change() {
  OnChange(this);
}

void TCustomTabControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  // The window takes no input: a press on another tab selects it as a user would.
  if (Button == mbLeft) {
    const int hit = IndexOfTabAt(X, Y);
    if (hit >= 0 && hit != tabIndex_ && CanChange()) {
      tabIndex_ = hit;
      if (HandleAllocated()) SendMessage(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(hit), 0);
      Change();
    }
  }
  inherited::MouseDown(Button, Shift, X, Y);
}

void TTabControl::DescribeClass(TClassBuilder<TTabControl>& c) {
  PublishControl(c, {"Align",      "Anchors",     "Color",       "Constraints",    "Enabled",
                     "Font",       "ParentColor", "ParentFont",  "ParentShowHint", "PopupMenu",
                     "ShowHint",   "TabOrder",    "TabStop",     "Visible",        "OnClick",
                     "OnDblClick", "OnEnter",     "OnExit",      "OnKeyDown",      "OnKeyPress",
                     "OnKeyUp",    "OnMouseDown", "OnMouseMove", "OnMouseUp",      "OnResize"});
  c.Property("HotTrack", &TTabControl::HotTrack, &TTabControl::SetHotTrack);
  c.Property("Images", &TTabControl::Images, &TTabControl::SetImages);
  c.Property("MultiLine", &TTabControl::MultiLine, &TTabControl::SetMultiLine);
  c.Property("Style", &TTabControl::Style, &TTabControl::SetStyle);
  c.Property("TabPosition", &TTabControl::TabPosition, &TTabControl::SetTabPosition);
  c.Property("Tabs", &TTabControl::Tabs, &TTabControl::SetTabs);
  c.Property("TabIndex", &TTabControl::TabIndex, &TTabControl::SetTabIndex).Default(-1);
  c.Property(
      "OnChange", [](const TTabControl& t) -> const TNotifyEvent& { return t.OnChange; },
      [](TTabControl& t, const TNotifyEvent& e) { t.OnChange = e; });
  c.Property(
      "OnChanging", [](const TTabControl& t) -> const TTabChangingEvent& { return t.OnChanging; },
      [](TTabControl& t, const TTabChangingEvent& e) { t.OnChanging = e; });
}

// --- TTabSheet ------------------------------------------------------------------------------------

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
  SetAlign(alClient);
  SetControlStyle(ControlStyle() + csAcceptsControls);
  SetVisible(false);
}

TTabSheet::~TTabSheet() {
  if (pageControl_) pageControl_->RemovePage(this);
}

void TTabSheet::DescribeClass(TClassBuilder<TTabSheet>& c) {
  PublishControl(
      c, {"Caption", "Color", "Enabled", "Font", "ParentColor", "ParentFont", "ParentShowHint", "PopupMenu",
          "ShowHint", "OnEnter", "OnExit", "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnResize"});
  c.Property("Highlighted", &TTabSheet::Highlighted, &TTabSheet::SetHighlighted);
  c.Property("ImageIndex", &TTabSheet::ImageIndex, &TTabSheet::SetImageIndex).Default(-1);
  c.Property("PageIndex", &TTabSheet::PageIndex, &TTabSheet::SetPageIndex).StoredIf([](const TObject&) {
    return false;
  });
  c.Property("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible).Default(1);
  c.Property(
      "OnHide", [](const TTabSheet& t) -> const TNotifyEvent& { return t.OnHide; },
      [](TTabSheet& t, const TNotifyEvent& e) { t.OnHide = e; });
  c.Property(
      "OnShow", [](const TTabSheet& t) -> const TNotifyEvent& { return t.OnShow; },
      [](TTabSheet& t, const TNotifyEvent& e) { t.OnShow = e; });
}

void TTabSheet::SetPageControl(TPageControl* Value) {
  SetParent(Value);
}

void TTabSheet::SetParent(TWinControl* AParent) {
  TPageControl* newPages = dynamic_cast<TPageControl*>(AParent);
  if (pageControl_ && pageControl_ != newPages) pageControl_->RemovePage(this);
  inherited::SetParent(AParent);
  if (newPages && pageControl_ != newPages) newPages->InsertPage(this);
}

int TTabSheet::PageIndex() const {
  if (!pageControl_) return -1;
  const auto& pages = pageControl_->pages_;
  return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int Value) {
  if (!pageControl_) return;
  auto& pages = pageControl_->pages_;
  const int count = static_cast<int>(pages.size());
  const int target = std::clamp(Value, 0, count - 1);
  const int current = PageIndex();
  if (target == current) return;
  pages.erase(pages.begin() + current);
  pages.insert(pages.begin() + target, this);
  pageControl_->UpdateTabs();
}

int TTabSheet::TabIndex() const {
  if (!pageControl_ || !tabVisible_) return -1;
  int index = 0;
  for (TTabSheet* page : pageControl_->pages_) {
    if (page == this) return index;
    if (page->tabVisible_) ++index;
  }
  return -1;
}

void TTabSheet::SetTabVisible(bool Value) {
  if (tabVisible_ == Value) return;
  tabVisible_ = Value;
  if (pageControl_) pageControl_->UpdateTabs();
}

// --- TPageControl ---------------------------------------------------------------------------------

TPageControl::TPageControl(TComponent* AOwner) : TCustomTabControl(AOwner) {}

TPageControl::~TPageControl() {
  // The sheets may outlive the control (another owner): they forget it now.
  for (TTabSheet* page : pages_) page->pageControl_ = nullptr;
  pages_.clear();
  activePage_ = nullptr;
}

void TPageControl::DescribeClass(TClassBuilder<TPageControl>& c) {
  PublishControl(c, {"Align",      "Anchors",     "Color",       "Constraints",    "Enabled",
                     "Font",       "ParentColor", "ParentFont",  "ParentShowHint", "PopupMenu",
                     "ShowHint",   "TabOrder",    "TabStop",     "Visible",        "OnClick",
                     "OnDblClick", "OnEnter",     "OnExit",      "OnKeyDown",      "OnKeyPress",
                     "OnKeyUp",    "OnMouseDown", "OnMouseMove", "OnMouseUp",      "OnResize"});
  c.Property("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage);
  c.Property("HotTrack", &TPageControl::HotTrack, &TPageControl::SetHotTrack);
  c.Property("Images", &TPageControl::Images, &TPageControl::SetImages);
  c.Property("MultiLine", &TPageControl::MultiLine, &TPageControl::SetMultiLine);
  c.Property("Style", &TPageControl::Style, &TPageControl::SetStyle);
  c.Property("TabPosition", &TPageControl::TabPosition, &TPageControl::SetTabPosition);
  c.Property(
      "OnChange", [](const TPageControl& t) -> const TNotifyEvent& { return t.OnChange; },
      [](TPageControl& t, const TNotifyEvent& e) { t.OnChange = e; });
  c.Property(
      "OnChanging", [](const TPageControl& t) -> const TTabChangingEvent& { return t.OnChanging; },
      [](TPageControl& t, const TTabChangingEvent& e) { t.OnChanging = e; });
}

TTabSheet* TPageControl::Pages(int Index) const {
  if (Index < 0 || Index >= PageCount())
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return pages_[static_cast<size_t>(Index)];
}

int TPageControl::ActivePageIndex() const {
  return activePage_ ? activePage_->PageIndex() : -1;
}

void TPageControl::SetActivePageIndex(int Value) {
  SetActivePage(Value >= 0 && Value < PageCount() ? pages_[static_cast<size_t>(Value)] : nullptr);
}

void TPageControl::SetActivePage(TTabSheet* Page) {
  if (Page && Page->pageControl_ != this) return;
  ChangeActivePage(Page);
}

void TPageControl::InsertPage(TTabSheet* Page) {
  pages_.push_back(Page);
  Page->pageControl_ = this;
  UpdateTabs();
  if (!activePage_ && Page->tabVisible_) ChangeActivePage(Page);
}

void TPageControl::RemovePage(TTabSheet* Page) {
  const auto at = std::find(pages_.begin(), pages_.end(), Page);
  if (at == pages_.end()) return;
  TTabSheet* next = activePage_ == Page ? FindNextPage(Page, true, true) : activePage_;
  if (next == Page) next = nullptr;
  pages_.erase(at);
  Page->pageControl_ = nullptr;
  if (activePage_ == Page) activePage_ = nullptr;
  UpdateTabs();
  if (!ComponentState().Contains(csDestroying)) ChangeActivePage(next);
}

TTabSheet* TPageControl::PageForTab(int Index) const {
  for (TTabSheet* page : pages_)
    if (page->TabIndex() == Index && Index >= 0) return page;
  return nullptr;
}

void TPageControl::UpdateTabs() {
  tabs_->BeginUpdate();
  tabs_->Clear();
  for (TTabSheet* page : pages_)
    if (page->tabVisible_) tabs_->Add(page->Caption());
  tabIndex_ = activePage_ ? activePage_->TabIndex() : -1;
  tabs_->EndUpdate();
  SendTabs();
}

void TPageControl::TabsChanged() {
  // The tabs mirror the sheets; the list is rebuilt by UpdateTabs.
  SendTabs();
}

void TPageControl::ChangeActivePage(TTabSheet* Page) {
  if (Page == activePage_) {
    tabIndex_ = Page ? Page->TabIndex() : -1;
    SetTabIndex(tabIndex_);
    return;
  }
  TTabSheet* old = activePage_;
  activePage_ = Page;
  if (Page) {
    Page->SetBounds(DisplayRect().Left, DisplayRect().Top, DisplayRect().Width(), DisplayRect().Height());
    Page->BringToFront();
    Page->SetVisible(true);
  }
  if (old) old->SetVisible(false);
  tabIndex_ = Page ? Page->TabIndex() : -1;
  if (HandleAllocated()) {
    if (tabIndex_ >= 0)
      SendMessage(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(tabIndex_), 0);
    else
      SendTabs();
  }
  if (old) old->OnHide(old);
  if (Page) Page->OnShow(Page);
}

void TPageControl::Change() {
  ChangeActivePage(PageForTab(tabIndex_));
  inherited::Change();
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible) const {
  const int count = PageCount();
  if (count == 0) return nullptr;
  int start = -1;
  for (int i = 0; i < count; ++i)
    if (pages_[static_cast<size_t>(i)] == CurPage) start = i;
  if (start < 0) start = GoForward ? count - 1 : 0;
  int i = start;
  for (int n = 0; n < count; ++n) {
    i = GoForward ? (i + 1) % count : (i + count - 1) % count;
    TTabSheet* page = pages_[static_cast<size_t>(i)];
    if (!CheckTabVisible || page->tabVisible_) return page;
  }
  return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward, bool CheckTabVisible) {
  TTabSheet* page = FindNextPage(activePage_, GoForward, CheckTabVisible);
  if (!page || page == activePage_ || !CanChange()) return;
  ChangeActivePage(page);
  inherited::Change();
}

void TPageControl::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_DIALOGKEY && Message.CharCode() == VK_TAB && GetKeyState(VK_CONTROL) < 0 &&
      HandleAllocated() && (Focused() || IsChild(Handle(), GetFocus()))) {
    SelectNextPage(GetKeyState(VK_SHIFT) >= 0);
    Message.Result = 1;
    return;
  }
  inherited::Dispatch(Message);
}

void TPageControl::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  (void)Root;
  for (TTabSheet* page : pages_) Proc(page);
}

void TPageControl::SetChildOrder(TComponent* Child, int Order) {
  if (auto* page = dynamic_cast<TTabSheet*>(Child); page && page->pageControl_ == this)
    page->SetPageIndex(Order);
}

void TTabSheet::Dispatch(TMessage& Message) {
  inherited::Dispatch(Message);
  if (Message.Msg == CM_TEXTCHANGED && pageControl_) pageControl_->UpdateTabs();
}
