#pragma once
// The standard edit actions: they act on the focused edit control (or on the one named by
// Control), enabling themselves on update when the control can do what they do.
#include "platform/vcl/ActnList.h"

class TCustomEdit;

class TEditAction : public TAction {
  RTL_CLASS(TEditAction, TAction)
 public:
  explicit TEditAction(TComponent* AOwner);
  ~TEditAction() override;
  // Category, Control and the TAction properties.
  static void DescribeClass(TClassBuilder<TEditAction>& c);

  // A focused edit control: Control itself when set, else any TCustomEdit.
  bool HandlesTarget(TObject* Target) override;
  void UpdateTarget(TObject* Target) override;

  TCustomEdit* Control() const { return control_; }
  void SetControl(TCustomEdit* Value);

 protected:
  TCustomEdit* GetControl(TObject* Target) const;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TCustomEdit* control_ = nullptr;
};

// Enabled with a selection in an editable control.
class TEditCut : public TEditAction {
  RTL_CLASS(TEditCut, TEditAction)
 public:
  explicit TEditCut(TComponent* AOwner) : TEditAction(AOwner) {}
  void UpdateTarget(TObject* Target) override;
  void ExecuteTarget(TObject* Target) override;
};

// Enabled with a selection.
class TEditCopy : public TEditAction {
  RTL_CLASS(TEditCopy, TEditAction)
 public:
  explicit TEditCopy(TComponent* AOwner) : TEditAction(AOwner) {}
  void UpdateTarget(TObject* Target) override;
  void ExecuteTarget(TObject* Target) override;
};

// Enabled when the clipboard holds text and the control is editable.
class TEditPaste : public TEditAction {
  RTL_CLASS(TEditPaste, TEditAction)
 public:
  explicit TEditPaste(TComponent* AOwner) : TEditAction(AOwner) {}
  void UpdateTarget(TObject* Target) override;
  void ExecuteTarget(TObject* Target) override;
};

// Enabled when the control holds text.
class TEditSelectAll : public TEditAction {
  RTL_CLASS(TEditSelectAll, TEditAction)
 public:
  explicit TEditSelectAll(TComponent* AOwner) : TEditAction(AOwner) {}
  void UpdateTarget(TObject* Target) override;
  void ExecuteTarget(TObject* Target) override;
};

// Enabled when the control can undo.
class TEditUndo : public TEditAction {
  RTL_CLASS(TEditUndo, TEditAction)
 public:
  explicit TEditUndo(TComponent* AOwner) : TEditAction(AOwner) {}
  void UpdateTarget(TObject* Target) override;
  void ExecuteTarget(TObject* Target) override;
};

// Clears the selection; enabled with a selection in an editable control.
class TEditDelete : public TEditAction {
  RTL_CLASS(TEditDelete, TEditAction)
 public:
  explicit TEditDelete(TComponent* AOwner) : TEditAction(AOwner) {}
  void UpdateTarget(TObject* Target) override;
  void ExecuteTarget(TObject* Target) override;
};

// Registers the standard edit actions for window descriptions.
void RegisterStdActionClasses();
