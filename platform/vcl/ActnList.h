#pragma once
// Actions: commands shared by menu items, buttons and tool buttons. An action carries what its
// clients show (caption, enabled, checked, short cut ...) and runs its handler; clients follow it
// through action links, which copy every change of the action into the client unless the client
// changed that property itself (the IsXxxLinked answers).
//
// Executing an action asks, in order: its action list's OnExecute, the application's OnActionExecute,
// its own OnExecute, and finally the application's target dispatch (CM_ACTIONEXECUTE: the focused
// control and the active form may handle the action through HandlesTarget / ExecuteTarget). Updating
// follows the same order with OnUpdate and CM_ACTIONUPDATE. The application side comes from the forms
// layer through SetApplicationActionHandler, so this unit does not depend on it.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Lists.h"
#include "platform/win/Windows.h"

class TBasicAction;
class TCustomActionList;
class TCustomImageList;
class TChangeLink;
struct TMessage;

// A key with its modifiers: the virtual key in the low byte, scShift / scCtrl / scAlt above it.
using TShortCut = uint16_t;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0;

using TImageIndex = int;

// --- the application's part ----------------------------------------------------------------------------

// Supplied by the forms layer; without one, nothing beyond the action list and the action itself
// handles an action.
class IApplicationActionHandler {
 public:
  virtual ~IApplicationActionHandler() = default;
  // Application.ExecuteAction / UpdateAction: the application's OnActionExecute / OnActionUpdate.
  virtual bool ExecuteAction(TBasicAction* Action) = 0;
  virtual bool UpdateAction(TBasicAction* Action) = 0;
  // CM_ACTIONEXECUTE / CM_ACTIONUPDATE sent to the application: true when a target answered 1.
  virtual bool DispatchAction(bool Execute, TBasicAction* Action) = 0;
};
// Answers the previous handler. The handler is not owned.
IApplicationActionHandler* SetApplicationActionHandler(IApplicationActionHandler* Handler);
IApplicationActionHandler* ApplicationActionHandler();

// --- links ---------------------------------------------------------------------------------------------

// Connects a client (a control, a menu item) to an action.
class TBasicActionLink : public TObject {
  RTL_CLASS(TBasicActionLink, TObject)
 public:
  explicit TBasicActionLink(TObject* AClient);
  ~TBasicActionLink() override;  // leaves the action

  TBasicAction* Action() const { return action_; }
  virtual void SetAction(TBasicAction* Value);
  // Runs the action with ActionComponent set to AComponent for the duration.
  virtual bool Execute(TComponent* AComponent = nullptr);
  virtual bool Update();
  // Whether the client's OnClick is the action's OnExecute (the client then runs the action).
  virtual bool IsOnExecuteLinked() { return true; }

  TNotifyEvent OnChange;

 protected:
  friend class TBasicAction;
  virtual void AssignClient(TObject* AClient) {}
  // The action changed: fires OnChange.
  virtual void Change();
  virtual void SetOnExecute(const TNotifyEvent& Value) {}

  TBasicAction* action_ = nullptr;
};

// Adds the properties a TCustomAction carries. The client overrides the setters it shows.
class TActionLink : public TBasicActionLink {
  RTL_CLASS(TActionLink, TBasicActionLink)
 public:
  explicit TActionLink(TObject* AClient) : TBasicActionLink(AClient) {}

  // True when the action is a TCustomAction and the client has not overridden the property.
  virtual bool IsCaptionLinked();
  virtual bool IsCheckedLinked();
  virtual bool IsEnabledLinked();
  virtual bool IsGroupIndexLinked();
  virtual bool IsHelpContextLinked();
  virtual bool IsHintLinked();
  virtual bool IsImageIndexLinked();
  virtual bool IsShortCutLinked();
  virtual bool IsVisibleLinked();
  bool IsOnExecuteLinked() override;

  virtual void SetAutoCheck(bool Value) {}
  virtual void SetCaption(const std::string& Value) {}
  virtual void SetChecked(bool Value) {}
  virtual void SetEnabled(bool Value) {}
  virtual void SetGroupIndex(int Value) {}
  virtual void SetHelpContext(int Value) {}
  virtual void SetHint(const std::string& Value) {}
  virtual void SetImageIndex(int Value) {}
  virtual void SetShortCut(TShortCut Value) {}
  virtual void SetVisible(bool Value) {}
  void SetOnExecute(const TNotifyEvent& Value) override {}
};

// --- actions -------------------------------------------------------------------------------------------

class TBasicAction : public TComponent {
  RTL_CLASS(TBasicAction, TComponent)
 public:
  explicit TBasicAction(TComponent* AOwner);
  ~TBasicAction() override;  // detaches every link

  // The component that asked for the action while Execute runs (a menu item, a button).
  TComponent* ActionComponent() const { return actionComponent_; }
  void SetActionComponent(TComponent* Value);

  // Standard actions answer whether they act on Target and act on it.
  virtual bool HandlesTarget(TObject* Target) { return false; }
  virtual void UpdateTarget(TObject* Target) {}
  virtual void ExecuteTarget(TObject* Target) {}
  // OnExecute / OnUpdate when assigned (true), else false.
  virtual bool Execute();
  virtual bool Update();
  virtual bool Suspended() const { return false; }

  void RegisterChanges(TBasicActionLink* Value);
  void UnRegisterChanges(TBasicActionLink* Value);
  int LinkCount() const { return static_cast<int>(clients_.size()); }

  // Assigning OnExecute through SetOnExecute tells the links (their clients' OnClick follow it).
  TNotifyEvent OnExecute;
  TNotifyEvent OnUpdate;
  TNotifyEvent OnChange;
  const TNotifyEvent& GetOnExecute() const { return OnExecute; }
  virtual void SetOnExecute(const TNotifyEvent& Value);
  const TNotifyEvent& GetOnUpdate() const { return OnUpdate; }
  void SetOnUpdate(const TNotifyEvent& Value) { OnUpdate = Value; }

 protected:
  friend class TCustomActionList;
  // Fires OnChange, then tells every link.
  virtual void Change();
  void Notification(TComponent* AComponent, TOperation Operation) override;
  template <class F>
  void ForEachLink(F f) {
    std::vector<TBasicActionLink*> copy = clients_;
    for (TBasicActionLink* l : copy)
      if (std::find(clients_.begin(), clients_.end(), l) != clients_.end()) f(l);
  }

  std::vector<TBasicActionLink*> clients_;

 private:
  TComponent* actionComponent_ = nullptr;
};

// An action that lives in an action list (streamed as a child of the list).
class TContainedAction : public TBasicAction {
  RTL_CLASS(TContainedAction, TBasicAction)
 public:
  explicit TContainedAction(TComponent* AOwner) : TBasicAction(AOwner) {}
  ~TContainedAction() override;  // leaves its list

  static void DescribeClass(TClassBuilder<TContainedAction>& c);  // Category

  TCustomActionList* ActionList() const { return actionList_; }
  void SetActionList(TCustomActionList* Value);
  const std::string& Category() const { return category_; }
  void SetCategory(const std::string& Value);
  // Position in the action list; -1 outside a list.
  int Index() const;
  void SetIndex(int Value);

  bool Execute() override;
  bool Update() override;
  bool Suspended() const override;

  TComponent* GetParentComponent() const override;
  bool HasParent() const override { return actionList_ != nullptr; }
  void SetParentComponent(TComponent* AParent) override;
  void ReadState(TReader& Reader) override;

 private:
  friend class TCustomActionList;
  TCustomActionList* actionList_ = nullptr;
  std::string category_;
};

// Keeps short cuts as their text; ShortCuts(i) reads the key of line i.
class TShortCutList : public TStringList {
  RTL_CLASS(TShortCutList, TStringList)
 public:
  TShortCutList() = default;
  TShortCut ShortCuts(int Index) const;
  // The index of the line whose short cut is ShortCut, -1 when none.
  int IndexOfShortCut(TShortCut ShortCut) const;
};

class TCustomAction : public TContainedAction {
  RTL_CLASS(TCustomAction, TContainedAction)
 public:
  explicit TCustomAction(TComponent* AOwner);
  ~TCustomAction() override;

  // Execute runs OnUpdate first; a disabled action does not run. AutoCheck toggles Checked (a
  // checked action of a group stays checked).
  bool Execute() override;
  // Lets the action adjust the hint a client is about to show; true to show it.
  virtual bool DoHint(std::string& HintStr) { return true; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& Value);
  bool Checked() const { return checked_; }
  // Checking an action with a GroupIndex unchecks the other actions of that group in its list.
  void SetChecked(bool Value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool Value);
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& Value);
  TImageIndex ImageIndex() const { return imageIndex_; }
  void SetImageIndex(TImageIndex Value);
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut Value);
  TShortCutList* SecondaryShortCuts();
  bool IsSecondaryShortCutsStored() const;
  int HelpContext() const { return helpContext_; }
  void SetHelpContext(int Value);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int Value);
  bool AutoCheck() const { return autoCheck_; }
  void SetAutoCheck(bool Value);
  // When set, the application disables an action that no target handled on update and that has
  // no OnExecute.
  bool DisableIfNoHandler() const { return disableIfNoHandler_; }
  void SetDisableIfNoHandler(bool Value) { disableIfNoHandler_ = Value; }
  // The images of the action list.
  TCustomImageList* Images() const;
  void SetOnExecute(const TNotifyEvent& Value) override;

 private:
  std::string caption_, hint_;
  bool checked_ = false, enabled_ = true, visible_ = true, autoCheck_ = false, disableIfNoHandler_ = true;
  bool checking_ = false;
  TImageIndex imageIndex_ = -1;
  TShortCut shortCut_ = 0;
  int helpContext_ = 0, groupIndex_ = 0;
  std::unique_ptr<TShortCutList> secondaryShortCuts_;
};

class TAction : public TCustomAction {
  RTL_CLASS(TAction, TCustomAction)
 public:
  explicit TAction(TComponent* AOwner);
  // AutoCheck, Caption, Checked, Enabled, GroupIndex, HelpContext, Hint, ImageIndex, ShortCut,
  // Visible, OnExecute, OnUpdate.
  static void DescribeClass(TClassBuilder<TAction>& c);
};

// --- action lists --------------------------------------------------------------------------------------

enum TActionListState { asNormal, asSuspended, asSuspendedEnabled };
RTL_ENUM_INFO(TActionListState, "asNormal", "asSuspended", "asSuspendedEnabled");

using TActionEvent = TEvent<void(TBasicAction* Action, bool& Handled)>;

class TCustomActionList : public TComponent {
  RTL_CLASS(TCustomActionList, TComponent)
 public:
  explicit TCustomActionList(TComponent* AOwner);
  ~TCustomActionList() override;  // frees nothing it does not own; its actions leave it

  TContainedAction* Actions(int Index) const;  // EListError when out of range
  int ActionCount() const { return static_cast<int>(actions_.size()); }
  int IndexOfAction(const TContainedAction* Action) const;

  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* Value);
  TActionListState State() const { return state_; }
  void SetState(TActionListState Value);

  // OnExecute / OnUpdate of the list (Handled); false when the list is suspended.
  virtual bool ExecuteAction(TBasicAction* Action);
  virtual bool UpdateAction(TBasicAction* Action);
  // A key message (TWMKey): runs the enabled action whose ShortCut or SecondaryShortCuts match.
  virtual bool IsShortCut(TMessage& Message);

  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  void SetChildOrder(TComponent* Child, int Order) override;

  TActionEvent OnExecute;
  TActionEvent OnUpdate;
  TNotifyEvent OnChange;

 protected:
  friend class TContainedAction;
  void AddAction(TContainedAction* Action);
  void RemoveAction(TContainedAction* Action);
  virtual void Change();
  // The image list changed: every action's links hear a change.
  void ImageListChange(TObject* Sender);
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  std::vector<TContainedAction*> actions_;
  TCustomImageList* images_ = nullptr;
  std::unique_ptr<TChangeLink> imageChangeLink_;
  TActionListState state_ = asNormal;
};

class TActionList : public TCustomActionList {
  RTL_CLASS(TActionList, TCustomActionList)
 public:
  explicit TActionList(TComponent* AOwner) : TCustomActionList(AOwner) {}
  // Images, State, OnChange, OnExecute, OnUpdate.
  static void DescribeClass(TClassBuilder<TActionList>& c);
};

// Registers the action classes for window descriptions.
void RegisterActionClasses();
