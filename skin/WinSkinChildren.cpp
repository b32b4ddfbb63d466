// The skinners of one skinned form: the walks over its controls (the control tree, then the
// tab-order list) or the child windows of a bare window, carrying out the decisions of
// WinSkinChildClassify.cpp through the registry of makers, and the list's upkeep: re-skinning
// as a scroll bar or as scroll bars come and go, colours after a skin change, the hover check
// and freeing.
#include "skin/WinSkinChildren.h"

#include <algorithm>
#include <array>

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Graphics.h"
#include "skin/SkinButtons.h"
#include "skin/SkinScrollBars.h"
#include "skin/SkinStateControls.h"
#include "skin/WinSkinChildMaking.h"
#include "skin/WinSkinManage.h"
#include "skin/WinSkinMenu.h"

namespace skin_children {
namespace {

constexpr size_t kKindCount = static_cast<size_t>(TSkinnerKind::AdvPage) + 1;

std::array<TSkinnerMaker, kKindCount>& Makers() {
  static std::array<TSkinnerMaker, kKindCount> makers;
  return makers;
}

void SetPictureProperty(TSkinBitButton& Skinner, const TSkinnerRequest& R) {
  Skinner.PictureProperty = R.Decision.PictureProperty;
}

TSkinControl* MakeSpeedButton(const TSkinnerRequest& R) {
  if (R.Decision.Attach != TSkinAttachRoute::Graphic || !R.Control) return nullptr;
  auto* skinner = new TSkinSpeedButton(R.Control);
  skinner->PictureProperty = R.Decision.PictureProperty;
  skinner->AttachGraphic(R.Form, R.Data, R.Canvas);
  return skinner;
}

// The controls among Container's children, taken before any skinner is made: a skinner may add
// a control of its own (the media player's overlay).
std::vector<TControl*> ChildrenOf(TWinControl* Container) {
  std::vector<TControl*> children;
  for (int i = 0; i < Container->ControlCount(); ++i) children.push_back(Container->Controls(i));
  return children;
}

std::vector<HWND> ChildWindowsOf(HWND Window) {
  std::vector<HWND> children;
  for (HWND child = GetTopWindow(Window); child; child = GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  return children;
}

bool IsGone(const TSkinControl* Skinner) {
  return Skinner->Lifecycle == kSkinnerWindowGone;
}

}  // namespace
}  // namespace skin_children

TSkinnerMaker RegisterSkinnerMaker(TSkinnerKind Kind, TSkinnerMaker Maker) {
  const auto index = static_cast<size_t>(Kind);
  if (Kind == TSkinnerKind::None || index >= skin_children::kKindCount) return nullptr;
  std::swap(skin_children::Makers()[index], Maker);
  return Maker;
}

void InitWinSkinChildrenUnit() {
  using namespace skin_children;
  using skin_child_making::MakeAttached;
  using K = TSkinnerKind;
  RegisterSkinnerMaker(K::Button, [](const TSkinnerRequest& R) { return MakeAttached<TSkinButton>(R); });
  RegisterSkinnerMaker(K::BitButton, [](const TSkinnerRequest& R) {
    return MakeAttached<TSkinBitButton>(R, &SetPictureProperty);
  });
  RegisterSkinnerMaker(K::MenuButton,
                       [](const TSkinnerRequest& R) { return MakeAttached<TSkinMenuButton>(R); });
  RegisterSkinnerMaker(K::SpeedButton, &MakeSpeedButton);
  RegisterSkinnerMaker(K::CheckBox, [](const TSkinnerRequest& R) { return MakeAttached<TSkinCheckBox>(R); });
  RegisterSkinnerMaker(K::RadioButton,
                       [](const TSkinnerRequest& R) { return MakeAttached<TSkinRadioButton>(R); });
  RegisterSkinnerMaker(K::GroupBox, [](const TSkinnerRequest& R) { return MakeAttached<TSkinGroupBox>(R); });
  RegisterSkinnerMaker(K::StatusBar,
                       [](const TSkinnerRequest& R) { return MakeAttached<TSkinStatusBar>(R); });
  RegisterSkinnerMaker(K::Box, [](const TSkinnerRequest& R) { return MakeAttached<TSkinBox>(R); });
  RegisterSkinnerMaker(K::MediaPlayer, [](const TSkinnerRequest& R) { return MakeAttached<TSkinMP>(R); });
  RegisterWinSkinChildMakers();
  SetSkinChildrenFactory([](TWinSkinForm& Form) { return std::make_unique<TSkinChildList>(Form); });
}

// --- the list -----------------------------------------------------------------------------------------

TSkinChildList::TSkinChildList(TWinSkinForm& AForm) : form_(AForm), canvas_(std::make_unique<TCanvas>()) {}

TSkinChildList::~TSkinChildList() {
  // The form frees its skinners first; any left go with the list, their windows restored.
  FreeAll(!IsWindow(form_.hWnd));
}

bool TSkinChildList::Listed(const TSkinControl* Skinner) const {
  return std::find(skinners_.begin(), skinners_.end(), Skinner) != skinners_.end();
}

void TSkinChildList::Register(TSkinControl* Skinner) {
  if (Skinner && !Listed(Skinner)) skinners_.push_back(Skinner);
}

void TSkinChildList::Unregister(TSkinControl* Skinner) {
  auto it = std::find(skinners_.begin(), skinners_.end(), Skinner);
  if (it == skinners_.end()) return;
  skinners_.erase(it);
  if (Skinner->Handle && Skinner->Handle == hovered_) hovered_ = nullptr;
}

void TSkinChildList::Drop(TSkinControl* Skinner) {
  Unregister(Skinner);
  Skinner->Free();
}

bool TSkinChildList::Holds(HWND Window) const {
  return Window && SkinnerOf(Window) != nullptr;
}

TSkinControl* TSkinChildList::SkinnerOf(const TControl* Control) const {
  if (!Control) return nullptr;
  for (TSkinControl* s : skinners_)
    if (!skin_children::IsGone(s) &&
        (s->Control == Control || s->GraphicControl == Control || s->Owner() == Control))
      return s;
  return nullptr;
}

TSkinControl* TSkinChildList::SkinnerOf(HWND Window) const {
  if (!Window) return nullptr;
  for (TSkinControl* s : skinners_)
    if (!skin_children::IsGone(s) && s->Handle == Window) return s;
  return nullptr;
}

void TSkinChildList::FreeGone() {
  const std::vector<TSkinControl*> listed = skinners_;
  for (TSkinControl* s : listed) {
    // Skinning switched off lets WM_NCDESTROY pass unseen: a vanished window counts as gone.
    const bool vanished = s->Handle && !s->GraphicControl && !IsWindow(s->Handle);
    if (Listed(s) && (skin_children::IsGone(s) || vanished)) Drop(s);
  }
}

void TSkinChildList::FreeAll(bool Destroying) {
  hovered_ = nullptr;
  // Nothing is skinned any more until the next walk.
  if (barsHook_) UnhookWinEvent(barsHook_);
  barsHook_ = nullptr;
  if (!Destroying && form_.FormControl) UnmarkContainerPopups(form_.FormControl);
  // One at a time off the back: freeing one may free or unregister others.
  while (!skinners_.empty()) {
    TSkinControl* s = skinners_.back();
    skinners_.pop_back();
    if (Destroying)
      s->Lifecycle = kSkinnerFormGoing;
    else if (!skin_children::IsGone(s))
      s->Detach();
    s->Free();
  }
}

void TSkinChildList::UnmarkContainerPopups(TWinControl* Parent) {
  for (TControl* child : skin_children::ChildrenOf(Parent))
    if (auto* container = dynamic_cast<TWinControl*>(child)) {
      MarkContainerPopupMenusOwnerDraw(container, form_.SkinData, false);
      UnmarkContainerPopups(container);
    }
}

// --- the walks ----------------------------------------------------------------------------------------

void TSkinChildList::SkinChildren() {
  TSkinData* data = form_.SkinData;
  if (!data) return;
  WatchScrollBars();
  FreeGone();
  TWinControl* formControl = form_.FormControl;
  if (!formControl) {
    SkinChildWindows(form_.hWnd);
    return;
  }
  SkinContainer(formControl);
  // Windowed controls the tree walk left (inside containers that were not classified).
  std::vector<TWinControl*> tabOrder;
  formControl->GetTabOrderList(tabOrder);
  for (TWinControl* control : tabOrder) {
    if (!control->HandleAllocated() || control->Tag() == data->DisableTag()) continue;
    if (!form_.IsHandled(control)) ClassifyControl(control->Parent(), control);
    // The list holds windowed controls only: the windowless ones of such a container (a sheet of
    // a page control the skin leaves alone, a frame) are classified with it as parent.
    for (TControl* child : skin_children::ChildrenOf(control))
      if (!dynamic_cast<TWinControl*>(child)) ClassifyControl(control, child);
  }
}

void TSkinChildList::SkinContainer(TWinControl* Container) {
  if (!Container) return;
  for (TControl* child : skin_children::ChildrenOf(Container)) ClassifyControl(Container, child);
  // The form marks the popup menus it owns itself when it activates.
  if (Container != form_.FormControl) MarkContainerPopupMenusOwnerDraw(Container, form_.SkinData, true);
}

void TSkinChildList::SkinChildWindows(HWND Window) {
  if (!Window) return;
  for (HWND child : skin_children::ChildWindowsOf(Window))
    if (IsWindow(child) && (GetWindowLong(child, GWL_STYLE) & WS_CHILD)) ClassifyWindow(child);
}

void TSkinChildList::SkinChildWindow(HWND Child) {
  if (form_.SkinData && IsWindow(Child)) ClassifyWindow(Child);
}

void TSkinChildList::ClassifyWindow(HWND Window) {
  TSkinData* data = form_.SkinData;
  if (!data || !Window || SkinnerOf(Window)) return;
  Apply(ChooseForWindow(*data, Window), nullptr, nullptr, Window);
}

void TSkinChildList::ClassifyControl(TWinControl* Parent, TControl* Control) {
  TSkinData* data = form_.SkinData;
  if (!data || !Control) return;
  if (Control->Tag() == data->DisableTag()) {
    // A disabled radio or check group takes its items out too.
    auto* group = dynamic_cast<TWinControl*>(Control);
    const std::string lower = LowerCase(Control->ClassName());
    if (group &&
        (lower.find("radiogroup") != std::string::npos || lower.find("checkgroup") != std::string::npos))
      for (TControl* item : skin_children::ChildrenOf(group)) item->SetTag(data->DisableTag());
    return;
  }
  if (!Parent || Control->Perform(SKMSG_ISSKINNED, 0, 0) == 1 || SkinnerOf(Control)) return;
  const std::string upper = UpperCase(Control->ClassName());
  auto* windowed = dynamic_cast<TWinControl*>(Control);
  if (windowed) windowed->HandleNeeded();
  // A part another skinner took over on its window (a tab control's up-down) stays with it.
  if (windowed && SkinnerOf(windowed->Handle())) return;
  if (data->OnSkinControl) {
    TComponent* chosen = nullptr;
    data->OnSkinControl(&form_, data, Parent, Control, upper, chosen);
    if (auto* skinner = dynamic_cast<TSkinControl*>(chosen)) {
      AttachChosen(skinner, Control);
      if (auto* panel = dynamic_cast<TCustomPanel*>(Control)) SkinContainer(panel);
      return;
    }
  }
  Apply(ChooseForControl(*data, Control, upper), Parent, Control, windowed ? windowed->Handle() : nullptr);
}

void TSkinChildList::AttachChosen(TSkinControl* Skinner, TControl* Control) {
  if (Listed(Skinner)) return;
  auto* speed = dynamic_cast<TSkinSpeedButton*>(Skinner);
  if (speed && !dynamic_cast<TWinControl*>(Control))
    speed->AttachGraphic(&form_, form_.SkinData, canvas_.get());
  else
    Skinner->AttachControl(&form_, form_.SkinData, Skinner->UseSkinColor, canvas_.get());
  if (Skinner->Attached) Register(Skinner);
}

// --- carrying out a decision --------------------------------------------------------------------------

void TSkinChildList::Apply(const TSkinDecision& Decision, TWinControl*, TControl* Control, HWND Window) {
  if (Decision.SetTransparent && Control) SetPropText(Control, "Transparent", "True");
  if (Decision.ChildrenFirst) ApplyChildren(Decision, Control, Window);
  Make(Decision, Control, Window);
  if (!Decision.ChildrenFirst) ApplyChildren(Decision, Control, Window);
  if (Decision.ColorFoundControl && form_.SkinData) {
    const TColor face = form_.SkinData->Elements()->BackgroundColour;
    if (TWinControl* found = FindControl(Window)) {
      if (dynamic_cast<TCustomPanel*>(found))
        SetControlColor(found, face);
      else
        found->SetColor(face);
    }
  }
}

void TSkinChildList::ApplyChildren(const TSkinDecision& Decision, TControl* Control, HWND Window) {
  auto* container = dynamic_cast<TWinControl*>(Control);
  switch (Decision.Children) {
    case TSkinChildRule::None:
      return;
    case TSkinChildRule::Classify:
      if (container)
        SkinContainer(container);
      else
        SkinChildWindows(Window);
      return;
    case TSkinChildRule::RadioGroupItems:
    case TSkinChildRule::CheckGroupItems:
    case TSkinChildRule::EmbedScrollBars:
      if (!container || !form_.SkinData) return;
      for (TControl* item : skin_children::ChildrenOf(container)) {
        if (item->Tag() == form_.SkinData->DisableTag() || SkinnerOf(item)) continue;
        if (auto* windowed = dynamic_cast<TWinControl*>(item)) windowed->HandleNeeded();
        Make(ChooseGroupItem(*form_.SkinData, item, Decision.Children), item, nullptr);
      }
      return;
  }
}

TSkinControl* TSkinChildList::Make(const TSkinDecision& Decision, TControl* Control, HWND Window) {
  const auto index = static_cast<size_t>(Decision.Kind);
  if (Decision.Kind == TSkinnerKind::None || index >= skin_children::kKindCount) return nullptr;
  const TSkinnerMaker& maker = skin_children::Makers()[index];
  if (!maker) return nullptr;
  TSkinnerRequest request{Decision, Control, Window, &form_, form_.SkinData, canvas_.get()};
  if (Decision.Attach == TSkinAttachRoute::Window) {
    if (!request.Window)
      if (auto* windowed = dynamic_cast<TWinControl*>(Control)) request.Window = windowed->Handle();
    if (Decision.TargetFirstChild)
      request.Window = request.Window ? GetWindow(request.Window, GW_CHILD) : nullptr;
    if (!request.Window || SkinnerOf(request.Window)) return nullptr;
  }
  TSkinControl* skinner = maker(request);
  if (!skinner || Listed(skinner)) return skinner;
  // An attach that did not take leaves nothing behind.
  if (!skinner->Attached) {
    skinner->Free();
    return nullptr;
  }
  Register(skinner);
  return skinner;
}

// --- upkeep -------------------------------------------------------------------------------------------

void TSkinChildList::ReskinScrollBar(HWND Child) {
  // A recreated window's skinner has seen WM_NCDESTROY by the time this arrives: gone ones count.
  auto listed = std::find_if(skinners_.begin(), skinners_.end(),
                             [&](const TSkinControl* s) { return Child && s->Handle == Child; });
  if (listed == skinners_.end()) return;
  TSkinControl* old = *listed;
  TSkinDecision decision;
  decision.Kind = old->InheritsFrom("TSkinListView") ? TSkinnerKind::ListView : TSkinnerKind::Scrollbar;
  decision.Attach = TSkinAttachRoute::ScrollBar;
  decision.Rule = "reskin";
  TControl* control = old->Control ? old->Control : dynamic_cast<TControl*>(old->Owner());
  Drop(old);
  Make(decision, control, Child);
}

void TSkinChildList::WatchScrollBars() {
  if (barsHook_) return;
  barsHook_ = SetWinEventHook(
      EVENT_OBJECT_SHOW, EVENT_OBJECT_HIDE, nullptr,
      [this](HWINEVENTHOOK, DWORD, HWND Window, LONG Object, LONG, DWORD, DWORD) {
        if (Object == OBJID_HSCROLL || Object == OBJID_VSCROLL) ScrollBarsChanged(Window);
      },
      0, GetCurrentThreadId(), WINEVENT_INCONTEXT);
}

bool TSkinChildList::ListedFor(const TControl* Control) const {
  return std::any_of(skinners_.begin(), skinners_.end(), [Control](const TSkinControl* s) {
    return s->Control == Control || s->GraphicControl == Control || s->Owner() == Control;
  });
}

void TSkinChildList::ScrollBarsChanged(HWND Window) {
  TSkinData* data = form_.SkinData;
  if (!data || !Window || !IsChild(form_.hWnd, Window)) return;
  TSkinManage* manage = SkinManage();
  for (HWND up = GetParent(Window); up && up != form_.hWnd; up = GetParent(up))
    if (manage && manage->FindForm(up)) return;
  if (TSkinControl* skinner = SkinnerOf(Window)) {
    auto* bars = dynamic_cast<TSkinScrollbar*>(skinner);
    if (bars && bars->SkinActive) bars->UpdateBars();
    return;
  }
  // Skinned afresh, a window without bars would get no overlays: only gained bars count. A control
  // whose window is being made again keeps waiting for its scroll-bar skinner to be made anew.
  TWinControl* control = FindControl(Window);
  if (!control || !(GetWindowLong(Window, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL))) return;
  if (control->ComponentState().Contains(csDestroying) || control->Tag() == data->DisableTag() ||
      ListedFor(control))
    return;
  ClassifyControl(control->Parent(), control);
}

void TSkinChildList::ApplySkinColor() {
  if (TWinControl* formControl = form_.FormControl; formControl && form_.SkinData) {
    const TColor face = form_.SkinData->Elements()->BackgroundColour;
    formControl->SetColor(face);
    for (TControl* child : skin_children::ChildrenOf(formControl))
      if (auto* embedded = dynamic_cast<TCustomForm*>(child)) embedded->SetColor(face);
  }
  const std::vector<TSkinControl*> listed = skinners_;
  for (TSkinControl* s : listed)
    if (Listed(s)) s->ApplySkinColor();
}

void TSkinChildList::CheckHovered(POINT Cursor, bool Force) {
  TSkinControl* hot = SkinnerOf(hovered_);
  if (!hot) {
    hovered_ = nullptr;
    for (TSkinControl* s : skinners_)
      if (s->Handle && !s->GraphicControl && !skin_children::IsGone(s) && (s->State & kSkinHot)) {
        hot = s;
        break;
      }
  }
  if (!hot) return;
  RECT bounds{};
  const bool inside = GetWindowRect(hot->Handle, &bounds) && PtInRect(bounds, Cursor);
  if (inside && !Force) {
    hovered_ = hot->Handle;
    return;
  }
  hovered_ = nullptr;
  hot->SendMouseLeave();
}

bool TSkinChildList::CheckConsistency() const {
  for (size_t i = 0; i < skinners_.size(); ++i) {
    const TSkinControl* s = skinners_[i];
    if (!s || !s->Attached || s->Form != &form_) return false;
    if (!s->Handle && !s->GraphicControl) return false;
    if (std::find(skinners_.begin() + static_cast<std::ptrdiff_t>(i) + 1, skinners_.end(), s) !=
        skinners_.end())
      return false;
  }
  return !hovered_ || SkinnerOf(hovered_) != nullptr;
}
