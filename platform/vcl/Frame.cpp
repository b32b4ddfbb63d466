// TCustomFrame and TFrame: a container with its own window description, placed
// like a control.
#include <algorithm>

#include "platform/rtl/Filer.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"

RTL_IMPLEMENT_CLASS(TCustomFrame)
RTL_IMPLEMENT_CLASS(TFrame)

namespace {

std::vector<TCustomFrame*>& LiveFrames() {
  static std::vector<TCustomFrame*> frames;
  return frames;
}

}  // namespace

// Frames not freed by an owner go with ResetVcl.
std::vector<TCustomFrame*> LiveFramesForReset() {
  return LiveFrames();
}

TCustomFrame::TCustomFrame(TComponent* AOwner) : TScrollingWinControl(AOwner) {
  InitVcl();
  SetControlStyle(
      TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks});
  SetBounds(0, 0, 320, 240);
  LiveFrames().push_back(this);
}

TCustomFrame::~TCustomFrame() {
  auto& frames = LiveFrames();
  frames.erase(std::remove(frames.begin(), frames.end(), this), frames.end());
}

void TCustomFrame::AfterConstruction() {
  if (constructed_) return;
  constructed_ = true;
  if (ClassType() != TFrame::StaticClass() && ClassType() != TCustomFrame::StaticClass() &&
      !InitInheritedComponent(this))
    throw EResNotFound(Format("Resource %s not found", {ClassName()}));
}

void TCustomFrame::ReadState(TReader& Reader) {
  // Inside a form's description: the frame's own description first, then the
  // overrides.
  if (!constructed_) {
    constructed_ = true;
    if (ClassType() != TFrame::StaticClass() && ClassType() != TCustomFrame::StaticClass()) {
      // The description names its root; inside a form the frame keeps the form's name for it.
      std::string name = Name();
      InitInheritedComponent(this);
      if (Name() != name) SetName(name);
    }
  }
  inherited::ReadState(Reader);
}

void TCustomFrame::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN;
}

void TCustomFrame::DescribeClass(TClassBuilder<TCustomFrame>& c) {
  (void)c;
}

void TFrame::DescribeClass(TClassBuilder<TFrame>& c) {
  PublishControl(c, {"Align",    "Anchors",     "Color",       "Constraints",    "Ctl3D",      "Enabled",
                     "Font",     "ParentColor", "ParentFont",  "ParentShowHint", "PopupMenu",  "ShowHint",
                     "TabOrder", "TabStop",     "Visible",     "OnClick",        "OnDblClick", "OnEnter",
                     "OnExit",   "OnMouseDown", "OnMouseMove", "OnMouseUp",      "OnResize"});
}
