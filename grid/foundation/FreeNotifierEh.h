#pragma once
// TFreeNotifierEh: a small component that watches others for being freed and calls back, for
// objects that are not components themselves but hold references to components (image lists,
// actions, menus) and must forget them in time.
#include <functional>
#include <utility>

#include "platform/rtl/Classes.h"

class TFreeNotifierEh : public TComponent {
  RTL_CLASS(TFreeNotifierEh, TComponent)
 public:
  explicit TFreeNotifierEh(std::function<void(TComponent*)> OnRemoved = {})
      : TComponent(nullptr), onRemoved_(std::move(OnRemoved)) {}
  void Watch(TComponent* AComponent) {
    if (AComponent) AComponent->FreeNotification(this);
  }
  void Unwatch(TComponent* AComponent) {
    if (AComponent) AComponent->RemoveFreeNotification(this);
  }

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && onRemoved_) onRemoved_(AComponent);
  }

 private:
  std::function<void(TComponent*)> onRemoved_;
};
