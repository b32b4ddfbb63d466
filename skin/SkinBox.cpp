// The panel skinner: the skin colour on the panel and its ParentBackground off while skinned.
// It takes no part in the panel's messages.
#include "skin/SkinStateControls.h"

RTL_IMPLEMENT_CLASS(TSkinBox)

TSkinBox::TSkinBox(TComponent* AOwner) : TSkinControl(AOwner) {}

TSkinBox::~TSkinBox() = default;

void TSkinBox::AttachControl(TWinSkinForm* AForm, TSkinData* Data, bool AUseSkinColor, TCanvas* ACanvas) {
  if (!BindOwner(AForm, Data, AUseSkinColor, ACanvas)) return;
  if (Control->HandleAllocated()) Handle = Control->Handle();
  RegisterWithForm();
  if (UseSkinColor) TakeSkinColor();
  Attached = true;
  Lifecycle = kSkinnerAttached;
}

void TSkinBox::Detach() {
  // The form is going with its controls: nothing to give back.
  if (Lifecycle == kSkinnerFormGoing) return;
  TSkinControl::Detach();
  Lifecycle = kSkinnerReleased;
}
