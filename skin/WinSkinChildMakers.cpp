// The makers of the scroll-bar, combo box, edit, tab, header, track-bar, up-down, progress and
// small skinners. Scroll-bar skinners of controls attach through their own AttachBars; the
// others follow the control or window route of the decision.
#include "platform/vcl/Controls.h"
#include "skin/SkinComboEdit.h"
#include "skin/SkinRangeControls.h"
#include "skin/SkinScrollBars.h"
#include "skin/SkinTabs.h"
#include "skin/WinSkinChildMaking.h"
#include "skin/WinSkinChildren.h"

namespace skin_child_makers {
namespace {

using skin_child_making::MakeAttached;

// A scroll-bar skinner of a windowed control, owned by it and attached through AttachBars.
template <class T>
TSkinControl* MakeBars(const TSkinnerRequest& R) {
  auto* control = dynamic_cast<TWinControl*>(R.Control);
  if (R.Decision.Attach != TSkinAttachRoute::ScrollBar || !control) return nullptr;
  auto* skinner = new T(control);
  skinner->AttachBars(control, R.Data, R.Form, R.Canvas);
  return skinner;
}

template <class T>
void SetMode(T& Skinner, const TSkinnerRequest& R) {
  Skinner.Mode = R.Decision.SubKind;
}

template <class T>
TSkinnerMaker Attached() {
  return [](const TSkinnerRequest& R) { return MakeAttached<T>(R); };
}

}  // namespace
}  // namespace skin_child_makers

void RegisterWinSkinChildMakers() {
  using namespace skin_child_makers;
  using K = TSkinnerKind;
  RegisterSkinnerMaker(K::ComBox, Attached<TSkinComBox>());
  RegisterSkinnerMaker(K::Edit, Attached<TSkinEdit>());
  RegisterSkinnerMaker(K::UpDown, Attached<TSkinUpDown>());
  RegisterSkinnerMaker(K::Tab, Attached<TSkinTab>());
  RegisterSkinnerMaker(K::Tab31, Attached<TSkinTab31>());
  RegisterSkinnerMaker(K::TabSheet, Attached<TSkinTabSheet>());
  RegisterSkinnerMaker(K::Header, Attached<TSkinHeader>());
  RegisterSkinnerMaker(K::TrackBar, Attached<TSkinTrackBar>());
  RegisterSkinnerMaker(K::Progress, Attached<TSkinProgress>());
  RegisterSkinnerMaker(K::Sizer, Attached<TSkinSizer>());
  RegisterSkinnerMaker(K::BoxH, Attached<TSkinBoxH>());
  // A bare window's scroll bars: the window route only.
  RegisterSkinnerMaker(K::ScrollbarH, [](const TSkinnerRequest& R) -> TSkinControl* {
    if (R.Decision.Attach != TSkinAttachRoute::Window) return nullptr;
    return MakeAttached<TSkinScrollbarH>(R);
  });
  RegisterSkinnerMaker(K::Scrollbar, &MakeBars<TSkinScrollbar>);
  RegisterSkinnerMaker(K::ListView, &MakeBars<TSkinListView>);
  RegisterSkinnerMaker(K::ScControl, &MakeBars<TSkinScControl>);
  RegisterSkinnerMaker(K::ObjImage, [](const TSkinnerRequest& R) {
    return MakeAttached<TSkinObjImage>(R, &SetMode<TSkinObjImage>);
  });
  RegisterSkinnerMaker(K::AdvPage, [](const TSkinnerRequest& R) {
    return MakeAttached<TSkinAdvPage>(R, &SetMode<TSkinAdvPage>);
  });
}
