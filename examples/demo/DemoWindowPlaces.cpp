// Where the demo's windows open: inside the screen's work area, the Window menu's in a cascade.
#include "examples/demo/DemoWindowPlaces.h"

#include <algorithm>

#include "platform/win/Windows.h"

TRect FitIntoWorkArea(const TRect& Bounds, const TRect& WorkArea) {
  const int width = std::min(Bounds.Width(), WorkArea.Width());
  const int height = std::min(Bounds.Height(), WorkArea.Height());
  const int left = std::clamp(Bounds.Left, WorkArea.Left, WorkArea.Right - width);
  const int top = std::clamp(Bounds.Top, WorkArea.Top, WorkArea.Bottom - height);
  return TRect{left, top, left + width, top + height};
}

void KeepOnScreen(TForm* Form) {
  const TRect fitted = FitIntoWorkArea(Form->BoundsRect(), Screen->WorkAreaRect());
  if (fitted != Form->BoundsRect()) Form->SetBoundsRect(fitted);
}

int DemoCascadeStep() {
  return GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
}

void PlaceInCascade(TForm* Form, int Step) {
  const TRect work = Screen->WorkAreaRect();
  const int offset = Step * DemoCascadeStep();
  Form->SetBounds(work.Left + kDemoCascadeOrigin.X + offset, work.Top + kDemoCascadeOrigin.Y + offset,
                  Form->Width(), Form->Height());
  KeepOnScreen(Form);
}
