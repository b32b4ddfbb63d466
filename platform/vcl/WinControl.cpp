// TWinControl: the window's lifecycle (CreateParams, CreateWnd, the binding of a new window to
// its control, DestroyWnd, RecreateWnd, showing), children, alignment, tab order and focus.
#include <algorithm>
#include <array>
#include <unordered_map>

#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/ControlInternal.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Painting.h"

RTL_IMPLEMENT_CLASS(TWinControl)

namespace vcl_internal {

namespace {
std::unordered_map<HWND, TWinControl*>& WindowTable() {
  static std::unordered_map<HWND, TWinControl*> table;
  return table;
}
}  // namespace

void BindWindow(HWND Handle, TWinControl* Control) {
  WindowTable()[Handle] = Control;
}

void UnbindWindow(HWND Handle) {
  WindowTable().erase(Handle);
}

}  // namespace vcl_internal

using namespace vcl_internal;

namespace {
// The control whose window CreateWindowEx is making: its first message binds the two.
TWinControl* gCreationControl = nullptr;
int gNextControlId = 1;
}  // namespace

TWinControl* FindControl(HWND Handle) {
  if (!Handle) return nullptr;
  auto& table = vcl_internal::WindowTable();
  auto it = table.find(Handle);
  if (it == table.end()) return nullptr;
  if (!IsWindow(Handle)) {
    table.erase(it);
    return nullptr;
  }
  return it->second;
}

bool IsVCLControl(HWND Handle) {
  return FindControl(Handle) != nullptr;
}

// --- life ---------------------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {
  brush_ = std::make_unique<TBrush>();
  brush_->SetColor(Color());
  defWndProc_ = TWndProc(&DefWindowProc);
  objectInstance_ = std::make_unique<TWndProcInstance>([this](HWND, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
    TMessage m(msg, w, l);
    MainWndProc(m);
    return m.Result;
  });
}

TWinControl::~TWinControl() {
  Destroying();
  if (parent_) RemoveFocus(true);
  if (handle_) DestroyWindowHandle();
  // Children go with their parent, whoever owns them.
  while (ControlCount() > 0) {
    TControl* child = Controls(ControlCount() - 1);
    Remove(child);
    child->Free();
  }
  // Leave the parent while this is still a TWinControl, so it looks in the right list.
  if (parent_) SetParent(nullptr);
}

TWinControl* TWinControl::CreateParented(HWND ParentWindow) {
  auto* c = new TWinControl(nullptr);
  c->SetParentWindow(ParentWindow);
  return c;
}

// --- window -----------------------------------------------------------------------------------------

HWND TWinControl::Handle() {
  HandleNeeded();
  return handle_;
}

void TWinControl::HandleNeeded() {
  if (handle_) return;
  if (parent_) parent_->HandleNeeded();
  CreateHandle();
}

void TWinControl::SetParentWindow(HWND Value) {
  if (parent_ || parentWindow_ == Value) return;
  if (parentWindow_ && Value && handle_) {
    parentWindow_ = Value;
    ::SetParent(handle_, Value);
  } else {
    DestroyHandle();
    parentWindow_ = Value;
  }
  UpdateControlState();
}

void TWinControl::CreateParams(TCreateParams& Params) {
  Params = TCreateParams{};
  Params.Caption = text_;
  Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (controlStyle_.Contains(csAcceptsControls)) {
    Params.Style |= WS_CLIPCHILDREN;
    Params.ExStyle |= WS_EX_CONTROLPARENT;
  }
  if (!Enabled()) Params.Style |= WS_DISABLED;
  if (tabStop_) Params.Style |= WS_TABSTOP;
  Params.X = left_;
  Params.Y = top_;
  Params.Width = width_;
  Params.Height = height_;
  Params.WndParent = parent_ ? parent_->Handle() : parentWindow_;
  Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  Params.WindowClass.lpfnWndProc = TWndProc(&DefWindowProc);
  Params.WindowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  Params.WindowClass.hbrBackground = nullptr;
  Params.WindowClass.hInstance = MainInstance();
  Params.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& Params, const std::string& ControlClassName) {
  constexpr UINT kClassStylesOff = CS_OWNDC | CS_CLASSDC | CS_PARENTDC | CS_GLOBALCLASS;
  HINSTANCE saved = Params.WindowClass.hInstance;
  WNDCLASS wc;
  if (GetClassInfo(saved, ControlClassName, &wc) || GetClassInfo(nullptr, ControlClassName, &wc) ||
      GetClassInfo(MainInstance(), ControlClassName, &wc)) {
    Params.WindowClass = wc;
  } else {
    throw EInvalidOperation(Fmt("Window class '%s' is not registered", ControlClassName));
  }
  Params.WindowClass.hInstance = saved;
  Params.WindowClass.style &= ~kClassStylesOff;
}

LRESULT TWinControl::InitWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TWinControl* c = gCreationControl;
  if (!c) return DefWindowProc(hwnd, msg, wParam, lParam);
  gCreationControl = nullptr;
  c->handle_ = hwnd;
  BindWindow(hwnd, c);
  SetWindowLong(hwnd, GWL_WNDPROC, c->objectInstance_->Token());
  return CallWindowProc(c->objectInstance_->Proc(), hwnd, msg, wParam, lParam);
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  if (!params.WndParent && (params.Style & WS_CHILD)) {
    auto* ownerWindow = dynamic_cast<TWinControl*>(Owner());
    if (ownerWindow && Owner()->ComponentState().Contains(csReading))
      params.WndParent = ownerWindow->Handle();
    else
      throw EInvalidOperation(Fmt("Control '%s' has no parent window", Name()));
  }
  defWndProc_ = params.WindowClass.lpfnWndProc;
  const TWndProc init(&TWinControl::InitWndProc);
  WNDCLASS existing;
  const bool registered = GetClassInfo(params.WindowClass.hInstance, params.WinClassName, &existing) != FALSE;
  if (!registered || !(existing.lpfnWndProc == init)) {
    if (registered) UnregisterClass(params.WinClassName, params.WindowClass.hInstance);
    params.WindowClass.lpfnWndProc = init;
    params.WindowClass.lpszClassName = params.WinClassName;
    if (::RegisterClass(&params.WindowClass) == 0)
      throw EOutOfResources(Fmt("Cannot register window class %s", params.WinClassName));
  }
  {
    gCreationControl = this;
    TScopeExit forget([] { gCreationControl = nullptr; });
    CreateWindowHandle(params);
  }
  if (!handle_) throw EOutOfResources("Error creating window handle");
  if ((GetWindowLong(handle_, GWL_STYLE) & WS_CHILD) && GetWindowLong(handle_, GWL_ID) == 0)
    SetWindowLong(handle_, GWL_ID, gNextControlId++);
  // The window keeps the text from now on.
  text_.clear();
  UpdateBounds();
  Perform(WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 1);
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
  HWND h = CreateWindowEx(Params.ExStyle, Params.WinClassName, Params.Caption, Params.Style, Params.X,
                          Params.Y, Params.Width, Params.Height, Params.WndParent, nullptr,
                          Params.WindowClass.hInstance, Params.Param);
  if (!h && handle_) {
    UnbindWindow(handle_);
    handle_ = nullptr;
  }
}

void TWinControl::CreateHandle() {
  if (handle_) return;
  CreateWnd();
  if (parent_) {
    // Keep the windows' z-order that of the child list.
    HWND after = HWND_TOP;
    auto& list = parent_->winControls_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it != list.end())
      for (++it; it != list.end(); ++it)
        if ((*it)->handle_) {
          after = (*it)->handle_;
          break;
        }
    SetWindowPos(handle_, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->UpdateAnchorRules();
}

void TWinControl::DestroyHandle() {
  if (!handle_) return;
  std::vector<TWinControl*> children = winControls_;
  for (TWinControl* w : children) w->DestroyHandle();
  DestroyWnd();
}

void TWinControl::DestroyWnd() {
  std::string text = GetText();
  FreeDeviceContexts();
  DestroyWindowHandle();
  text_ = std::move(text);
}

void TWinControl::DestroyWindowHandle() {
  if (!handle_) return;
  controlState_ += csDestroyingHandle;
  HWND h = handle_;
  FreeDeviceContexts();
  DestroyWindow(h);
  controlState_ -= csDestroyingHandle;
  UnbindWindow(h);
  handle_ = nullptr;
  showing_ = false;
}

void TWinControl::RecreateWnd() {
  if (handle_) Perform(CM_RECREATEWND, 0, 0);
}

void TWinControl::CMRecreateWnd(TMessage&) {
  const bool wasFocused = Focused();
  {
    TValueRestorer<bool> keepRecreating(recreating_, true);
    DestroyHandle();
    UpdateControlState();
  }
  if (wasFocused && handle_) ::SetFocus(handle_);
}

// --- showing ---------------------------------------------------------------------------------------

bool TWinControl::IsShowRoot() {
  if (parentWindow_) return true;
  if (InheritsFrom("TCustomForm")) return true;
  if (handle_) return (GetWindowLong(handle_, GWL_STYLE) & WS_CHILD) == 0;
  TCreateParams params;
  CreateParams(params);
  return (params.Style & WS_CHILD) == 0;
}

void TWinControl::UpdateShowing() {
  const bool show = Visible() && !controlState_.Contains(csReadingState);
  if (show) {
    if (!handle_) CreateHandle();
    std::vector<TWinControl*> children = winControls_;
    for (TWinControl* w : children) w->UpdateShowing();
  }
  if (handle_ && showing_ != show) {
    showing_ = show;
    TScopeFail undo([this, show] { showing_ = !show; });
    Perform(CM_SHOWINGCHANGED, 0, 0);
  }
}

void TWinControl::UpdateControlState() {
  TWinControl* root = this;
  while (root->parent_) {
    root = root->parent_;
    if (!root->Showing()) return;
  }
  if (root->IsShowRoot()) UpdateShowing();
}

void TWinControl::CMShowingChanged(TMessage&) {
  constexpr UINT kFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  SetWindowPos(handle_, nullptr, 0, 0, 0, 0, kFlags | (showing_ ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::CMVisibleChanged(TMessage&) {
  if (!Visible() && parent_) RemoveFocus(false);
  UpdateControlState();
}

void TWinControl::ShowControl(TControl*) {
  if (parent_) parent_->ShowControl(this);
}

// --- children ----------------------------------------------------------------------------------------

TControl* TWinControl::Controls(int Index) const {
  if (Index < 0 || Index >= ControlCount()) throw EListError(Fmt("List index out of bounds (%d)", Index));
  const size_t i = static_cast<size_t>(Index);
  if (i < controls_.size()) return controls_[i];
  return winControls_[i - controls_.size()];
}

void TWinControl::Insert(TControl* AControl) {
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
    winControls_.push_back(w);
    tabList_.push_back(w);
  } else {
    controls_.push_back(AControl);
  }
  AControl->parent_ = this;
  AControl->CountPlacement();
}

namespace {
// From the back: a parent frees its children newest first.
template <class T>
bool EraseControl(std::vector<T*>& list, const TControl* control) {
  auto it = std::find_if(list.rbegin(), list.rend(),
                         [control](T* c) { return static_cast<TControl*>(c) == control; });
  if (it == list.rend()) return false;
  list.erase(std::next(it).base());
  return true;
}
}  // namespace

void TWinControl::Remove(TControl* AControl) {
  // A windowed control part-way through its destructor no longer says so: look further then.
  if (dynamic_cast<TWinControl*>(AControl) || !EraseControl(controls_, AControl)) {
    EraseControl(winControls_, AControl);
    EraseControl(tabList_, AControl);
  }
  if (AControl->countedAsPlaced_) --placedChildren_;
  AControl->countedAsPlaced_ = false;
  AControl->parent_ = nullptr;
}

void TWinControl::InsertControl(TControl* AControl) {
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
  Insert(AControl);
  if (!AControl->ComponentState().Contains(csReading)) {
    AControl->Perform(CM_PARENTCOLORCHANGED, 0, 0);
    AControl->Perform(CM_PARENTFONTCHANGED, 0, 0);
    AControl->Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
    AControl->Perform(CM_PARENTBIDIMODECHANGED, 0, 0);
    if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
      w->Perform(CM_PARENTCTL3DCHANGED, 0, 0);
      w->UpdateControlState();
    } else if (HandleAllocated()) {
      AControl->Invalidate();
    }
    AlignControl(AControl);
  }
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
}

void TWinControl::RemoveControl(TControl* AControl) {
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
    w->RemoveFocus(true);
    w->DestroyHandle();
  } else if (HandleAllocated()) {
    AControl->InvalidateControl(AControl->Visible(), false);
  }
  Remove(AControl);
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
  Realign();
}

TControl* TWinControl::ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls) {
  auto hit = [&](TControl* c) {
    TPoint p{Pos.X - c->left_, Pos.Y - c->top_};
    return PtInRect(Rect(0, 0, c->width_, c->height_), p) && c->Visible() &&
           (c->Enabled() || AllowDisabled) && c->Perform(CM_HITTEST, 0, MAKELPARAM(p.X, p.Y)) != 0;
  };
  if (AllowWinControls)
    for (auto it = winControls_.rbegin(); it != winControls_.rend(); ++it)
      if (hit(*it)) return *it;
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
    if (hit(*it)) return *it;
  return nullptr;
}

bool TWinControl::ContainsControl(TControl* Control) const {
  while (Control && Control != this) Control = Control->Parent();
  return Control != nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
  for (int i = 0; i < ControlCount(); ++i) {
    Controls(i)->WindowProc()(Message);
    if (Message.Result != 0) return;
  }
}

void TWinControl::NotifyControls(UINT Msg) {
  TMessage m(Msg, 0, 0);
  Broadcast(m);
}

void TWinControl::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c->Owner() == Root) Proc(c);
  }
}

void TWinControl::SetChildOrder(TComponent* Child, int Order) {
  auto move = [Order](auto& list, auto* item) {
    auto it = std::find(list.begin(), list.end(), item);
    if (it == list.end()) return;
    list.erase(it);
    const int at = std::clamp(Order, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + at, item);
  };
  if (auto* w = dynamic_cast<TWinControl*>(Child))
    move(winControls_, w);
  else if (auto* c = dynamic_cast<TControl*>(Child))
    move(controls_, c);
}

void TWinControl::ReadState(TReader& Reader) {
  DisableAlign();
  TScopeExit enableAlign([this] { EnableAlign(); });
  inherited::ReadState(Reader);
}

void TWinControl::Loaded() {
  inherited::Loaded();
  // Tab orders read from the description: sort the children by them.
  std::stable_sort(tabList_.begin(), tabList_.end(), [](TWinControl* a, TWinControl* b) {
    const int ka = a->loadedTabOrder_ < 0 ? INT32_MAX : a->loadedTabOrder_;
    const int kb = b->loadedTabOrder_ < 0 ? INT32_MAX : b->loadedTabOrder_;
    return ka < kb;
  });
  for (TWinControl* w : tabList_) w->loadedTabOrder_ = -1;
  UpdateControlState();
  Realign();
}

// --- alignment ---------------------------------------------------------------------------------------

void TWinControl::AdjustClientRect(TRect& Rect) {
  InflateRect(Rect, -borderWidth_, -borderWidth_);
}

void TWinControl::AlignControl(TControl* AControl) {
  if (ComponentState().Contains(csDestroying)) return;
  if (alignLevel_ != 0) {
    controlState_ += csAlignmentNeeded;
    return;
  }
  DisableAlign();
  TScopeExit enableAlign([this] {
    controlState_ -= csAlignmentNeeded;
    EnableAlign();
  });
  TRect r = GetClientRect();
  AlignControls(AControl, r);
}

void TWinControl::EnableAlign() {
  if (alignLevel_ > 0) --alignLevel_;
  if (alignLevel_ == 0 && controlState_.Contains(csAlignmentNeeded)) Realign();
}

void TWinControl::Realign() {
  AlignControl(nullptr);
}

namespace {
// The edge a control of this alignment is ordered by: the top and left ones by their
// near edge, the bottom and right ones by their far edge, from the far side in.
int64_t AlignKey(const TControl* c, TAlign align) {
  switch (align) {
    case alTop:
      return c->Top();
    case alBottom:
      return -(int64_t{c->Top()} + c->Height());
    case alLeft:
      return c->Left();
    case alRight:
      return -(int64_t{c->Left()} + c->Width());
    default:
      return 0;
  }
}

// A control that neither aligns nor has anchors to follow needs no placing.
bool NeedsPlacing(const TControl* c, TPoint originalParentSize) {
  if (c->Align() != alNone) return true;
  return originalParentSize.X != 0 && originalParentSize.Y != 0 && c->Anchors() != TAnchors{akLeft, akTop};
}
}  // namespace

void TWinControl::DoAlign(TControl* AControl, TAlign AAlign, std::vector<TControl*>& list, TRect& Rect) {
  // Ordered by the alignment's edge; AControl comes first among equal top and left edges,
  // and among equal bottom and right edges the later control goes nearer the edge.
  if (AControl) list.insert(list.begin(), AControl);
  if (AAlign == alBottom || AAlign == alRight) std::reverse(list.begin(), list.end());
  if (AAlign >= alTop && AAlign <= alRight)
    std::stable_sort(list.begin(), list.end(), [AAlign](TControl* a, TControl* b) {
      return AlignKey(a, AAlign) < AlignKey(b, AAlign);
    });
  for (TControl* c : list) {
    if (AAlign == alNone) {
      // Anchored controls keep their distances to the edges the anchors name.
      if (c->originalParentSize_.X == 0 || c->originalParentSize_.Y == 0) continue;
      if (c->Anchors() == TAnchors{akLeft, akTop}) continue;
      TRect client = GetClientRect();
      const TPoint size{client.Width(), client.Height()};
      int l = c->left_, t = c->top_, w = c->width_, h = c->height_;
      const TAnchors a = c->Anchors();
      if (a.Contains(akRight)) {
        if (a.Contains(akLeft))
          w = size.X - c->originalParentSize_.X + c->anchorRules_.X;
        else
          l = size.X - c->originalParentSize_.X + c->anchorRules_.X;
      } else if (!a.Contains(akLeft)) {
        l = MulDiv(c->anchorRules_.X, size.X, c->originalParentSize_.X) - w / 2;
      }
      if (a.Contains(akBottom)) {
        if (a.Contains(akTop))
          h = size.Y - c->originalParentSize_.Y + c->anchorRules_.Y;
        else
          t = size.Y - c->originalParentSize_.Y + c->anchorRules_.Y;
      } else if (!a.Contains(akTop)) {
        t = MulDiv(c->anchorRules_.Y, size.Y, c->originalParentSize_.Y) - h / 2;
      }
      {
        TValueRestorer<bool> keepAnchors(c->anchorMove_, true);
        c->SetBounds(l, t, w, h);
      }
      continue;
    }
    int w = Rect.Right - Rect.Left;
    if (w < 0 || AAlign == alLeft || AAlign == alRight || AAlign == alCustom) w = c->width_;
    int h = Rect.Bottom - Rect.Top;
    if (h < 0 || AAlign == alTop || AAlign == alBottom || AAlign == alCustom) h = c->height_;
    int l = Rect.Left, t = Rect.Top;
    switch (AAlign) {
      case alTop:
        Rect.Top += h;
        break;
      case alBottom:
        Rect.Bottom -= h;
        t = Rect.Bottom;
        break;
      case alLeft:
        Rect.Left += w;
        break;
      case alRight:
        Rect.Right -= w;
        l = Rect.Right;
        break;
      case alCustom:
        l = c->left_;
        t = c->top_;
        break;
      default:
        break;
    }
    {
      TValueRestorer<bool> keepAnchors(c->anchorMove_, true);
      c->SetBounds(l, t, w, h);
    }
    // A control that refused the size (constraints) gives the rest back.
    if (c->width_ != w || c->height_ != h) {
      switch (AAlign) {
        case alTop:
          Rect.Top -= h - c->height_;
          break;
        case alBottom:
          Rect.Bottom += h - c->height_;
          break;
        case alLeft:
          Rect.Left -= w - c->width_;
          break;
        case alRight:
          Rect.Right += w - c->width_;
          break;
        case alClient:
          Rect.Right += c->width_ - w;
          Rect.Bottom += c->height_ - h;
          break;
        default:
          break;
      }
    }
  }
}

void TWinControl::AlignControls(TControl* AControl, TRect& Rect) {
  AdjustClientRect(Rect);
  if (placedChildren_ == 0) return;
  // One pass sorts the children into their alignments; a child that is neither aligned nor
  // anchored is left alone, so adding plain controls costs one pass, not a sort.
  std::array<std::vector<TControl*>, alCustom + 1> byAlign;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c != AControl && c->Visible() && NeedsPlacing(c, c->originalParentSize_))
      byAlign[static_cast<size_t>(c->Align())].push_back(c);
  }
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient, alCustom, alNone}) {
    TControl* placed = AControl && AControl->Align() == a && AControl->Visible() ? AControl : nullptr;
    auto& list = byAlign[static_cast<size_t>(a)];
    if (list.empty() && (!placed || !NeedsPlacing(placed, placed->originalParentSize_))) continue;
    DoAlign(placed, a, list, Rect);
  }
}

// --- tab order and focus ----------------------------------------------------------------------------

void TWinControl::SetTabStop(bool Value) {
  if (tabStop_ == Value) return;
  tabStop_ = Value;
  if (handle_) {
    LONG_PTR style = GetWindowLong(handle_, GWL_STYLE);
    SetWindowLong(handle_, GWL_STYLE,
                  Value ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP)));
  }
  Perform(CM_TABSTOPCHANGED, 0, 0);
}

int TWinControl::TabOrder() const {
  if (!parent_) return -1;
  const auto& list = parent_->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

// Moves the control in its parent's tab list; the siblings renumber around it.
void TWinControl::SetTabOrder(int Value) {
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csReading)) {
    loadedTabOrder_ = Value;
    return;
  }
  if (!parent_) return;
  auto& list = parent_->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  const int count = static_cast<int>(list.size());
  Value = std::clamp(Value, 0, count - 1);
  const int current = static_cast<int>(it - list.begin());
  if (Value == current) return;
  list.erase(it);
  list.insert(list.begin() + Value, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) {
  for (TWinControl* c : tabList_) {
    List.push_back(c);
    c->GetTabOrderList(List);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  const int count = static_cast<int>(list.size());
  auto found = std::find(list.begin(), list.end(), CurControl);
  int start = found == list.end() ? (GoForward ? count - 1 : 0) : static_cast<int>(found - list.begin());
  int i = start;
  do {
    if (GoForward) {
      if (++i == count) i = 0;
    } else {
      if (i == 0) i = count;
      --i;
    }
    TWinControl* c = list[static_cast<size_t>(i)];
    if (c->CanFocus() && (!CheckTabStop || c->TabStop()) && (!CheckParent || c->Parent() == this)) return c;
  } while (i != start);
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
  if (TWinControl* c = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop)) c->SetFocus();
}

void TWinControl::SelectFirst() {
  TWinControl* c = FindNextControl(nullptr, true, true, false);
  if (!c) c = FindNextControl(nullptr, true, false, false);
  if (c) c->SetFocus();
}

bool TWinControl::CanFocus() {
  TCustomForm* form = GetParentForm(this);
  for (TWinControl* c = this; c && c != form; c = c->parent_)
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

bool TWinControl::Focused() {
  return handle_ && GetFocus() == handle_;
}

void TWinControl::SetFocus() {
  if (TCustomForm* form = GetParentForm(this))
    form->FocusControl(this);
  else
    ::SetFocus(Handle());
}

void TWinControl::RemoveFocus(bool Removing) {
  if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(this, Removing);
}

void TWinControl::DoEnter() {
  OnEnter(this);
}
void TWinControl::DoExit() {
  OnExit(this);
}
void TWinControl::CMEnter(TMessage&) {
  DoEnter();
}
void TWinControl::CMExit(TMessage&) {
  DoExit();
}

// --- geometry ------------------------------------------------------------------------------------------

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  ClampBounds(ALeft, ATop, AWidth, AHeight);
  if (!CheckNewSize(AWidth, AHeight)) return;
  ClampBounds(ALeft, ATop, AWidth, AHeight);  // an OnCanResize answer too
  if (ALeft == left_ && ATop == top_ && AWidth == width_ && AHeight == height_) return;
  if (handle_ && !IsIconic(handle_)) {
    SetWindowPos(handle_, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    const bool sized = AWidth != width_ || AHeight != height_;
    SetBoundsFields(ALeft, ATop, AWidth, AHeight);
    if (!handle_ && sized) {
      // Without a window nothing sends WM_SIZE: lay the children out here.
      Realign();
      if (!ComponentState().Contains(csLoading)) Resize();
    }
  }
  UpdateAnchorRules();
  RequestAlign();
}

void TWinControl::UpdateBounds() {
  if (!handle_) return;
  RECT r{};
  GetWindowRect(handle_, &r);
  if (GetWindowLong(handle_, GWL_STYLE) & WS_CHILD) MapWindowPoints(HWND_DESKTOP, GetParent(handle_), &r);
  if (r.Left == left_ && r.Top == top_ && r.Width() == width_ && r.Height() == height_) return;
  SetBoundsFields(r.Left, r.Top, r.Width(), r.Height());
  UpdateAnchorRules();
}

int TWinControl::BevelSize(TBevelEdge Edge) const {
  if (bevelKind_ == bkNone || !bevelEdges_.Contains(Edge)) return 0;
  int size = 0;
  if (bevelInner_ != bvNone) size += bevelWidth_;
  if (bevelOuter_ != bvNone) size += bevelWidth_;
  return size;
}

TRect TWinControl::GetClientRect() {
  RECT r{};
  if (handle_) {
    ::GetClientRect(handle_, &r);
    return r;
  }
  const int w = width_ - BevelSize(beLeft) - BevelSize(beRight);
  const int h = height_ - BevelSize(beTop) - BevelSize(beBottom);
  return Rect(0, 0, std::max(0, w), std::max(0, h));
}

TPoint TWinControl::GetClientOrigin() {
  if (handle_) {
    POINT p{};
    ::ClientToScreen(handle_, &p);
    return p;
  }
  TPoint p{left_ + BevelSize(beLeft), top_ + BevelSize(beTop)};
  if (parent_) {
    TPoint o = parent_->GetClientOrigin();
    p.X += o.X;
    p.Y += o.Y;
  } else if (parentWindow_) {
    POINT o{};
    ::ClientToScreen(parentWindow_, &o);
    p.X += o.X;
    p.Y += o.Y;
  }
  return p;
}

void TWinControl::SetZOrder(bool TopMost) {
  if (parent_) {
    auto& list = parent_->winControls_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it != list.end()) {
      list.erase(it);
      if (TopMost)
        list.push_back(this);
      else
        list.insert(list.begin(), this);
    }
  }
  if (handle_) SetWindowPos(handle_, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void TWinControl::ScrollBy(int DeltaX, int DeltaY) {
  const bool visible = handle_ && IsWindowVisible(handle_);
  if (visible) ScrollWindow(handle_, DeltaX, DeltaY, nullptr, nullptr);
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    auto* w = dynamic_cast<TWinControl*>(c);
    if (!w || !w->handle_) {
      c->left_ += DeltaX;
      c->top_ += DeltaY;
    } else if (!visible) {
      SetWindowPos(w->handle_, nullptr, w->left_ + DeltaX, w->top_ + DeltaY, w->width_, w->height_,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
      w->UpdateBounds();
    }
  }
  Realign();
}

// --- scaling -------------------------------------------------------------------------------------------

void TWinControl::ScaleControls(int M, int D) {
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->ChangeScale(M, D);
}

void TWinControl::ScaleBy(int M, int D) {
  ChangeScale(M, D);
}

void TWinControl::ChangeScale(int M, int D) {
  DisableAlign();
  TScopeExit enableAlign([this] { EnableAlign(); });
  ScaleControls(M, D);
  inherited::ChangeScale(M, D);
}

// --- frame properties ------------------------------------------------------------------------------------

void TWinControl::SetCtl3D(bool Value) {
  if (ctl3D_ == Value) return;
  ctl3D_ = Value;
  parentCtl3D_ = false;
  Perform(CM_CTL3DCHANGED, 0, 0);
}

void TWinControl::SetParentCtl3D(bool Value) {
  if (parentCtl3D_ == Value) return;
  parentCtl3D_ = Value;
  if (parent_ && !ComponentState().Contains(csReading)) Perform(CM_PARENTCTL3DCHANGED, 0, 0);
}

void TWinControl::CMCtl3DChanged(TMessage&) {
  NotifyControls(CM_PARENTCTL3DCHANGED);
}

void TWinControl::CMParentCtl3DChanged(TMessage& Message) {
  if (!parentCtl3D_) return;
  if (Message.WParam != 0)
    SetCtl3D(Message.LParam != 0);
  else if (parent_)
    SetCtl3D(parent_->Ctl3D());
  parentCtl3D_ = true;
}

void TWinControl::SetBevelEdges(TBevelEdges Value) {
  if (bevelEdges_ == Value) return;
  bevelEdges_ = Value;
  Perform(CM_BORDERCHANGED, 0, 0);
}

void TWinControl::SetBevelInner(TBevelCut Value) {
  if (bevelInner_ == Value) return;
  bevelInner_ = Value;
  Perform(CM_BORDERCHANGED, 0, 0);
}

void TWinControl::SetBevelOuter(TBevelCut Value) {
  if (bevelOuter_ == Value) return;
  bevelOuter_ = Value;
  Perform(CM_BORDERCHANGED, 0, 0);
}

void TWinControl::SetBevelKind(TBevelKind Value) {
  if (bevelKind_ == Value) return;
  bevelKind_ = Value;
  Perform(CM_BORDERCHANGED, 0, 0);
}

void TWinControl::SetBevelWidth(TBevelWidth Value) {
  Value = std::clamp(Value, 1, kWindowCoordLimit);
  if (bevelWidth_ == Value) return;
  bevelWidth_ = Value;
  Perform(CM_BORDERCHANGED, 0, 0);
}

void TWinControl::SetBorderWidth(TBorderWidth Value) {
  Value = ClampControlSize(Value);
  if (borderWidth_ == Value) return;
  borderWidth_ = Value;
  Perform(CM_BORDERCHANGED, 0, 0);
}

void TWinControl::SetParentBackground(bool Value) {
  if (ParentBackground() == Value) return;
  if (Value)
    controlStyle_ += csParentBackground;
  else
    controlStyle_ -= csParentBackground;
  Invalidate();
}

// The frame changed size: the window recomputes its client area, the children realign.
void TWinControl::CMBorderChanged(TMessage&) {
  if (handle_) {
    SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                 SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED);
    if (Visible()) Invalidate();
  }
  Realign();
}
