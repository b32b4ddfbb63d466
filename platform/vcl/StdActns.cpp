#include "platform/vcl/StdActns.h"

#include "platform/vcl/StdCtrls.h"
#include "platform/win/Clipboard.h"

RTL_IMPLEMENT_CLASS(TEditAction)
RTL_IMPLEMENT_CLASS(TEditCut)
RTL_IMPLEMENT_CLASS(TEditCopy)
RTL_IMPLEMENT_CLASS(TEditPaste)
RTL_IMPLEMENT_CLASS(TEditSelectAll)
RTL_IMPLEMENT_CLASS(TEditUndo)
RTL_IMPLEMENT_CLASS(TEditDelete)

TEditAction::TEditAction(TComponent* AOwner) : TAction(AOwner) {}

TEditAction::~TEditAction() {
  SetControl(nullptr);
}

void TEditAction::DescribeClass(TClassBuilder<TEditAction>& c) {
  c.Property("Control", &TEditAction::Control, &TEditAction::SetControl);
}

void TEditAction::SetControl(TCustomEdit* Value) {
  if (Value == control_) return;
  if (control_) control_->RemoveFreeNotification(this);
  control_ = Value;
  if (Value) Value->FreeNotification(this);
}

void TEditAction::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == control_) control_ = nullptr;
}

TCustomEdit* TEditAction::GetControl(TObject* Target) const {
  return dynamic_cast<TCustomEdit*>(Target);
}

bool TEditAction::HandlesTarget(TObject* Target) {
  TCustomEdit* edit = GetControl(Target);
  if (!edit) return false;
  if (control_ && edit != control_) return false;
  return edit->Focused();
}

void TEditAction::UpdateTarget(TObject* Target) {
  // Bound to another control: this target does not decide.
  if (control_ && Target != control_) SetEnabled(false);
}

void TEditCut::UpdateTarget(TObject* Target) {
  TCustomEdit* edit = GetControl(Target);
  SetEnabled(edit && edit->SelLength() > 0 && !edit->ReadOnly());
}

void TEditCut::ExecuteTarget(TObject* Target) {
  if (TCustomEdit* edit = GetControl(Target)) edit->CutToClipboard();
}

void TEditCopy::UpdateTarget(TObject* Target) {
  TCustomEdit* edit = GetControl(Target);
  SetEnabled(edit && edit->SelLength() > 0);
}

void TEditCopy::ExecuteTarget(TObject* Target) {
  if (TCustomEdit* edit = GetControl(Target)) edit->CopyToClipboard();
}

void TEditPaste::UpdateTarget(TObject* Target) {
  TCustomEdit* edit = GetControl(Target);
  SetEnabled(edit && !edit->ReadOnly() &&
             (IsClipboardFormatAvailable(CF_TEXT) || IsClipboardFormatAvailable(CF_UNICODETEXT)));
}

void TEditPaste::ExecuteTarget(TObject* Target) {
  if (TCustomEdit* edit = GetControl(Target)) edit->PasteFromClipboard();
}

void TEditSelectAll::UpdateTarget(TObject* Target) {
  TCustomEdit* edit = GetControl(Target);
  SetEnabled(edit && !edit->Text().empty());
}

void TEditSelectAll::ExecuteTarget(TObject* Target) {
  if (TCustomEdit* edit = GetControl(Target)) edit->SelectAll();
}

void TEditUndo::UpdateTarget(TObject* Target) {
  TCustomEdit* edit = GetControl(Target);
  SetEnabled(edit && edit->CanUndo());
}

void TEditUndo::ExecuteTarget(TObject* Target) {
  if (TCustomEdit* edit = GetControl(Target)) edit->Undo();
}

void TEditDelete::UpdateTarget(TObject* Target) {
  TCustomEdit* edit = GetControl(Target);
  SetEnabled(edit && edit->SelLength() > 0 && !edit->ReadOnly());
}

void TEditDelete::ExecuteTarget(TObject* Target) {
  if (TCustomEdit* edit = GetControl(Target)) edit->ClearSelection();
}

void RegisterStdActionClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TEditCut::StaticClass(), TEditCopy::StaticClass(), TEditPaste::StaticClass(),
                   TEditSelectAll::StaticClass(), TEditUndo::StaticClass(), TEditDelete::StaticClass()});
}
