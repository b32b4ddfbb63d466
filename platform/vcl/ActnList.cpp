#include "platform/vcl/ActnList.h"

#include <algorithm>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Messages.h"

RTL_IMPLEMENT_CLASS(TBasicActionLink)
RTL_IMPLEMENT_CLASS(TActionLink)
RTL_IMPLEMENT_CLASS(TBasicAction)
RTL_IMPLEMENT_CLASS(TContainedAction)
RTL_IMPLEMENT_CLASS(TShortCutList)
RTL_IMPLEMENT_CLASS(TCustomAction)
RTL_IMPLEMENT_CLASS(TAction)
RTL_IMPLEMENT_CLASS(TCustomActionList)
RTL_IMPLEMENT_CLASS(TActionList)

namespace {
IApplicationActionHandler* gAppHandler = nullptr;

// The modifiers of a key message: Shift and Ctrl from the key state, Alt from the key data.
TShiftState KeyMessageShift(const TMessage& Message) {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
  if (Message.KeyData() & 0x20000000) s.Include(ssAlt);
  return s;
}
}  // namespace

IApplicationActionHandler* SetApplicationActionHandler(IApplicationActionHandler* Handler) {
  IApplicationActionHandler* old = gAppHandler;
  gAppHandler = Handler;
  return old;
}

IApplicationActionHandler* ApplicationActionHandler() {
  return gAppHandler;
}

// --- TBasicActionLink ------------------------------------------------------------------------------------

TBasicActionLink::TBasicActionLink(TObject* AClient) {
  AssignClient(AClient);
}

TBasicActionLink::~TBasicActionLink() {
  if (action_) action_->UnRegisterChanges(this);
}

void TBasicActionLink::SetAction(TBasicAction* Value) {
  if (Value == action_) return;
  if (action_) action_->UnRegisterChanges(this);
  if (Value) Value->RegisterChanges(this);
}

bool TBasicActionLink::Execute(TComponent* AComponent) {
  if (!action_) return false;
  TBasicAction* action = action_;
  action->SetActionComponent(AComponent);
  TScopeExit reset([this] {
    if (action_) action_->SetActionComponent(nullptr);
  });
  return action->Execute();
}

bool TBasicActionLink::Update() {
  return action_ && action_->Update();
}

void TBasicActionLink::Change() {
  if (OnChange) OnChange(this);
}

// --- TActionLink -----------------------------------------------------------------------------------------

namespace {
TCustomAction* AsCustom(TBasicAction* a) {
  return dynamic_cast<TCustomAction*>(a);
}
}  // namespace

bool TActionLink::IsCaptionLinked() {
  return AsCustom(action_) != nullptr;
}
bool TActionLink::IsCheckedLinked() {
  return AsCustom(action_) != nullptr;
}
bool TActionLink::IsEnabledLinked() {
  return AsCustom(action_) != nullptr;
}
bool TActionLink::IsGroupIndexLinked() {
  return AsCustom(action_) != nullptr;
}
bool TActionLink::IsHelpContextLinked() {
  return AsCustom(action_) != nullptr;
}
bool TActionLink::IsHintLinked() {
  return AsCustom(action_) != nullptr;
}
bool TActionLink::IsImageIndexLinked() {
  return AsCustom(action_) != nullptr;
}
bool TActionLink::IsShortCutLinked() {
  return AsCustom(action_) != nullptr;
}
bool TActionLink::IsVisibleLinked() {
  return AsCustom(action_) != nullptr;
}
bool TActionLink::IsOnExecuteLinked() {
  return action_ != nullptr;
}

// --- TBasicAction ----------------------------------------------------------------------------------------

TBasicAction::TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}

TBasicAction::~TBasicAction() {
  while (!clients_.empty()) UnRegisterChanges(clients_.back());
  SetActionComponent(nullptr);
}

void TBasicAction::SetActionComponent(TComponent* Value) {
  if (Value == actionComponent_) return;
  if (actionComponent_) actionComponent_->RemoveFreeNotification(this);
  actionComponent_ = Value;
  if (Value) Value->FreeNotification(this);
}

void TBasicAction::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == actionComponent_) actionComponent_ = nullptr;
}

bool TBasicAction::Execute() {
  if (!OnExecute) return false;
  OnExecute(this);
  return true;
}

bool TBasicAction::Update() {
  if (!OnUpdate) return false;
  OnUpdate(this);
  return true;
}

void TBasicAction::RegisterChanges(TBasicActionLink* Value) {
  if (!Value || std::find(clients_.begin(), clients_.end(), Value) != clients_.end()) return;
  Value->action_ = this;
  clients_.push_back(Value);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* Value) {
  auto it = std::find(clients_.begin(), clients_.end(), Value);
  if (it == clients_.end()) return;
  clients_.erase(it);
  Value->action_ = nullptr;
}

void TBasicAction::SetOnExecute(const TNotifyEvent& Value) {
  if (Value == OnExecute) return;
  ForEachLink([&](TBasicActionLink* l) { l->SetOnExecute(Value); });
  OnExecute = Value;
  Change();
}

void TBasicAction::Change() {
  if (OnChange) OnChange(this);
  ForEachLink([](TBasicActionLink* l) { l->Change(); });
}

// --- TContainedAction ------------------------------------------------------------------------------------

void TContainedAction::DescribeClass(TClassBuilder<TContainedAction>& c) {
  c.Property("Category", &TContainedAction::Category, &TContainedAction::SetCategory);
}

TContainedAction::~TContainedAction() {
  if (actionList_) actionList_->RemoveAction(this);
}

void TContainedAction::SetActionList(TCustomActionList* Value) {
  if (Value == actionList_) return;
  if (actionList_) actionList_->RemoveAction(this);
  if (Value) Value->AddAction(this);
}

void TContainedAction::SetCategory(const std::string& Value) {
  if (Value == category_) return;
  category_ = Value;
  if (actionList_) actionList_->Change();
}

int TContainedAction::Index() const {
  return actionList_ ? actionList_->IndexOfAction(this) : -1;
}

void TContainedAction::SetIndex(int Value) {
  if (!actionList_) return;
  auto& v = actionList_->actions_;
  int cur = Index();
  Value = std::clamp(Value, 0, static_cast<int>(v.size()) - 1);
  if (cur < 0 || cur == Value) return;
  v.erase(v.begin() + cur);
  v.insert(v.begin() + Value, this);
}

bool TContainedAction::Suspended() const {
  return actionList_ && actionList_->State() != asNormal;
}

bool TContainedAction::Execute() {
  if (Suspended()) return false;
  if (actionList_ && actionList_->ExecuteAction(this)) return true;
  if (gAppHandler && gAppHandler->ExecuteAction(this)) return true;
  if (inherited::Execute()) return true;
  return gAppHandler && gAppHandler->DispatchAction(true, this);
}

bool TContainedAction::Update() {
  if (actionList_ && actionList_->UpdateAction(this)) return true;
  if (gAppHandler && gAppHandler->UpdateAction(this)) return true;
  if (inherited::Update()) return true;
  return gAppHandler && gAppHandler->DispatchAction(false, this);
}

TComponent* TContainedAction::GetParentComponent() const {
  return actionList_;
}

void TContainedAction::SetParentComponent(TComponent* AParent) {
  if (auto* list = dynamic_cast<TCustomActionList*>(AParent)) SetActionList(list);
}

void TContainedAction::ReadState(TReader& Reader) {
  inherited::ReadState(Reader);
  if (auto* list = dynamic_cast<TCustomActionList*>(Reader.Parent())) SetActionList(list);
}

// --- TShortCutList ---------------------------------------------------------------------------------------

TShortCut TShortCutList::ShortCuts(int Index) const {
  return TextToShortCut(Strings(Index));
}

int TShortCutList::IndexOfShortCut(TShortCut ShortCut) const {
  if (ShortCut == scNone) return -1;
  for (int i = 0; i < Count(); ++i)
    if (ShortCuts(i) == ShortCut) return i;
  return -1;
}

// --- TCustomAction ---------------------------------------------------------------------------------------

TCustomAction::TCustomAction(TComponent* AOwner) : TContainedAction(AOwner) {}

TCustomAction::~TCustomAction() = default;

bool TCustomAction::Execute() {
  if (Suspended()) return false;
  Update();
  if (enabled_ && autoCheck_ && (!checked_ || groupIndex_ == 0)) SetChecked(!checked_);
  return enabled_ && inherited::Execute();
}

void TCustomAction::SetCaption(const std::string& Value) {
  if (Value == caption_) return;
  ForEachLink([&](TBasicActionLink* l) {
    if (auto* al = dynamic_cast<TActionLink*>(l)) al->SetCaption(Value);
  });
  caption_ = Value;
  Change();
}

void TCustomAction::SetChecked(bool Value) {
  if (checking_ || Value == checked_) return;
  TValueRestorer<bool> keepChecking(checking_, true);
  ForEachLink([&](TBasicActionLink* l) {
    if (auto* al = dynamic_cast<TActionLink*>(l)) al->SetChecked(Value);
  });
  checked_ = Value;
  if (Value && groupIndex_ > 0 && ActionList()) {
    for (int i = 0; i < ActionList()->ActionCount(); ++i) {
      auto* other = dynamic_cast<TCustomAction*>(ActionList()->Actions(i));
      if (other && other != this && other->groupIndex_ == groupIndex_) other->SetChecked(false);
    }
  }
  Change();
}

void TCustomAction::SetEnabled(bool Value) {
  if (Value == enabled_) return;
  // A list suspended with its actions enabled keeps them enabled.
  if (ActionList() && ActionList()->State() == asSuspendedEnabled) Value = true;
  if (Value == enabled_) return;
  ForEachLink([&](TBasicActionLink* l) {
    if (auto* al = dynamic_cast<TActionLink*>(l)) al->SetEnabled(Value);
  });
  enabled_ = Value;
  Change();
}

void TCustomAction::SetVisible(bool Value) {
  if (Value == visible_) return;
  ForEachLink([&](TBasicActionLink* l) {
    if (auto* al = dynamic_cast<TActionLink*>(l)) al->SetVisible(Value);
  });
  visible_ = Value;
  Change();
}

void TCustomAction::SetHint(const std::string& Value) {
  if (Value == hint_) return;
  ForEachLink([&](TBasicActionLink* l) {
    if (auto* al = dynamic_cast<TActionLink*>(l)) al->SetHint(Value);
  });
  hint_ = Value;
  Change();
}

void TCustomAction::SetImageIndex(TImageIndex Value) {
  if (Value == imageIndex_) return;
  ForEachLink([&](TBasicActionLink* l) {
    if (auto* al = dynamic_cast<TActionLink*>(l)) al->SetImageIndex(Value);
  });
  imageIndex_ = Value;
  Change();
}

void TCustomAction::SetShortCut(TShortCut Value) {
  if (Value == shortCut_) return;
  ForEachLink([&](TBasicActionLink* l) {
    if (auto* al = dynamic_cast<TActionLink*>(l)) al->SetShortCut(Value);
  });
  shortCut_ = Value;
  Change();
}

TShortCutList* TCustomAction::SecondaryShortCuts() {
  if (!secondaryShortCuts_) secondaryShortCuts_ = std::make_unique<TShortCutList>();
  return secondaryShortCuts_.get();
}

bool TCustomAction::IsSecondaryShortCutsStored() const {
  return secondaryShortCuts_ && secondaryShortCuts_->Count() > 0;
}

void TCustomAction::SetHelpContext(int Value) {
  if (Value == helpContext_) return;
  ForEachLink([&](TBasicActionLink* l) {
    if (auto* al = dynamic_cast<TActionLink*>(l)) al->SetHelpContext(Value);
  });
  helpContext_ = Value;
  Change();
}

void TCustomAction::SetGroupIndex(int Value) {
  if (Value == groupIndex_) return;
  groupIndex_ = Value;
  ForEachLink([&](TBasicActionLink* l) {
    if (auto* al = dynamic_cast<TActionLink*>(l)) al->SetGroupIndex(Value);
  });
  // Joining a group while checked: the others of the group give way.
  if (checked_ && Value > 0 && ActionList()) {
    for (int i = 0; i < ActionList()->ActionCount(); ++i) {
      auto* other = dynamic_cast<TCustomAction*>(ActionList()->Actions(i));
      if (other && other != this && other->groupIndex_ == Value) other->SetChecked(false);
    }
  }
  Change();
}

void TCustomAction::SetAutoCheck(bool Value) {
  if (Value == autoCheck_) return;
  ForEachLink([&](TBasicActionLink* l) {
    if (auto* al = dynamic_cast<TActionLink*>(l)) al->SetAutoCheck(Value);
  });
  autoCheck_ = Value;
  Change();
}

TCustomImageList* TCustomAction::Images() const {
  return ActionList() ? ActionList()->Images() : nullptr;
}

void TCustomAction::SetOnExecute(const TNotifyEvent& Value) {
  inherited::SetOnExecute(Value);
}

// --- TAction ---------------------------------------------------------------------------------------------

TAction::TAction(TComponent* AOwner) : TCustomAction(AOwner) {}

void TAction::DescribeClass(TClassBuilder<TAction>& c) {
  c.Property("AutoCheck", &TAction::AutoCheck, &TAction::SetAutoCheck);
  c.Property("Caption", &TAction::Caption, &TAction::SetCaption);
  c.Property("Checked", &TAction::Checked, &TAction::SetChecked);
  c.Property("Enabled", &TAction::Enabled, &TAction::SetEnabled).Default(1);
  c.Property("GroupIndex", &TAction::GroupIndex, &TAction::SetGroupIndex);
  c.Property("HelpContext", &TAction::HelpContext, &TAction::SetHelpContext);
  c.Property("Hint", &TAction::Hint, &TAction::SetHint);
  c.Property("ImageIndex", &TAction::ImageIndex, &TAction::SetImageIndex).Default(-1);
  c.Property("ShortCut", &TAction::ShortCut, &TAction::SetShortCut).OfType("TShortCut");
  c.Property("Visible", &TAction::Visible, &TAction::SetVisible).Default(1);
  c.Property("OnExecute", &TAction::GetOnExecute, &TAction::SetOnExecute).OfType("TNotifyEvent");
  c.Property("OnUpdate", &TAction::GetOnUpdate, &TAction::SetOnUpdate).OfType("TNotifyEvent");
}

// --- TCustomActionList -----------------------------------------------------------------------------------

TCustomActionList::TCustomActionList(TComponent* AOwner)
    : TComponent(AOwner), imageChangeLink_(std::make_unique<TChangeLink>()) {
  imageChangeLink_->OnChange = TNotifyEvent::Method(this, &TCustomActionList::ImageListChange);
}

TCustomActionList::~TCustomActionList() {
  while (!actions_.empty()) RemoveAction(actions_.back());
  if (images_) images_->UnRegisterChanges(imageChangeLink_.get());
}

TContainedAction* TCustomActionList::Actions(int Index) const {
  if (Index < 0 || Index >= ActionCount())
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return actions_[static_cast<size_t>(Index)];
}

int TCustomActionList::IndexOfAction(const TContainedAction* Action) const {
  auto it = std::find(actions_.begin(), actions_.end(), Action);
  return it == actions_.end() ? -1 : static_cast<int>(it - actions_.begin());
}

void TCustomActionList::AddAction(TContainedAction* Action) {
  actions_.push_back(Action);
  Action->actionList_ = this;
  Change();
}

void TCustomActionList::RemoveAction(TContainedAction* Action) {
  auto it = std::find(actions_.begin(), actions_.end(), Action);
  if (it == actions_.end()) return;
  actions_.erase(it);
  Action->actionList_ = nullptr;
  if (!ComponentState().Contains(csDestroying)) Change();
}

void TCustomActionList::SetImages(TCustomImageList* Value) {
  if (Value == images_) return;
  if (images_) {
    images_->UnRegisterChanges(imageChangeLink_.get());
    images_->RemoveFreeNotification(this);
  }
  images_ = Value;
  if (images_) {
    images_->RegisterChanges(imageChangeLink_.get());
    images_->FreeNotification(this);
  }
  Change();
}

void TCustomActionList::SetState(TActionListState Value) {
  if (Value == state_) return;
  state_ = Value;
  if (Value == asSuspendedEnabled)
    for (TContainedAction* a : std::vector<TContainedAction*>(actions_))
      if (auto* ca = dynamic_cast<TCustomAction*>(a)) ca->SetEnabled(true);
}

bool TCustomActionList::ExecuteAction(TBasicAction* Action) {
  if (state_ != asNormal) return false;
  bool handled = false;
  OnExecute(Action, handled);
  return handled;
}

bool TCustomActionList::UpdateAction(TBasicAction* Action) {
  if (state_ != asNormal) return false;
  bool handled = false;
  OnUpdate(Action, handled);
  return handled;
}

bool TCustomActionList::IsShortCut(TMessage& Message) {
  if (state_ != asNormal) return false;
  TShortCut sc = ::ShortCut(Message.CharCode(), KeyMessageShift(Message));
  if ((sc & 0xFF) == 0) return false;
  for (TContainedAction* a : std::vector<TContainedAction*>(actions_)) {
    auto* ca = dynamic_cast<TCustomAction*>(a);
    if (!ca || IndexOfAction(ca) < 0) continue;
    if (ca->ShortCut() == sc || ca->SecondaryShortCuts()->IndexOfShortCut(sc) >= 0) return ca->Execute();
  }
  return false;
}

void TCustomActionList::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  for (TContainedAction* a : actions_)
    if (a->Owner() == Root) Proc(a);
}

void TCustomActionList::SetChildOrder(TComponent* Child, int Order) {
  if (auto* a = dynamic_cast<TContainedAction*>(Child); a && a->ActionList() == this) a->SetIndex(Order);
}

void TCustomActionList::Change() {
  if (OnChange) OnChange(this);
}

void TCustomActionList::ImageListChange(TObject* Sender) {
  if (Sender != images_) return;
  for (TContainedAction* a : std::vector<TContainedAction*>(actions_)) a->Change();
}

void TCustomActionList::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == images_) {
    images_ = nullptr;
    if (!ComponentState().Contains(csDestroying)) Change();
  }
  if (auto* a = dynamic_cast<TContainedAction*>(AComponent); a && a->ActionList() == this) RemoveAction(a);
}

void TActionList::DescribeClass(TClassBuilder<TActionList>& c) {
  c.Property("Images", &TActionList::Images, &TActionList::SetImages);
  c.Property("State", &TActionList::State, &TActionList::SetState);
  c.Property(
       "OnChange", [](const TActionList& l) -> const TNotifyEvent& { return l.OnChange; },
       [](TActionList& l, const TNotifyEvent& e) { l.OnChange = e; })
      .OfType("TNotifyEvent");
  c.Property(
       "OnExecute", [](const TActionList& l) -> const TActionEvent& { return l.OnExecute; },
       [](TActionList& l, const TActionEvent& e) { l.OnExecute = e; })
      .OfType("TActionEvent");
  c.Property(
       "OnUpdate", [](const TActionList& l) -> const TActionEvent& { return l.OnUpdate; },
       [](TActionList& l, const TActionEvent& e) { l.OnUpdate = e; })
      .OfType("TActionEvent");
}

void RegisterActionClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TAction::StaticClass(), TActionList::StaticClass()});
}
