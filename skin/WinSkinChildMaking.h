#pragma once
// The attach routes a maker of skinners follows, shared by the makers of WinSkinChildren.cpp
// and WinSkinChildMakers.cpp.
#include "skin/WinSkinChildren.h"

namespace skin_child_making {

// A skinner of class T attached by the request's route: owned by the control on the control
// route, by the control (when there is one) on the window route. Prepare, when given, sets the
// skinner's own fields before it attaches.
template <class T>
TSkinControl* MakeAttached(const TSkinnerRequest& R, void (*Prepare)(T&, const TSkinnerRequest&) = nullptr) {
  T* skinner = nullptr;
  switch (R.Decision.Attach) {
    case TSkinAttachRoute::Control: {
      auto* control = dynamic_cast<TWinControl*>(R.Control);
      if (!control) return nullptr;
      skinner = new T(control);
      if (Prepare) Prepare(*skinner, R);
      skinner->AttachControl(R.Form, R.Data, R.Decision.UseSkinColor, R.Canvas);
      return skinner;
    }
    case TSkinAttachRoute::Window:
      if (!R.Window) return nullptr;
      skinner = new T(R.Control);
      if (Prepare) Prepare(*skinner, R);
      skinner->AttachWindow(R.Window, R.Data, R.Form, R.Canvas);
      return skinner;
    default:
      return nullptr;
  }
}

}  // namespace skin_child_making
