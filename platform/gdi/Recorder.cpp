#include "platform/gdi/DCInternal.h"
#include "platform/gdi/DeviceContext.h"

using namespace gdi_internal;

void AttachDrawRecorder(HDC dc, IDrawRecorder* recorder) {
  if (TDeviceContext* d = LookupDC(dc)) d->Recorder = recorder;
}

IDrawRecorder* GetDrawRecorder(HDC dc) {
  TDeviceContext* d = LookupDC(dc);
  return d ? d->Recorder : nullptr;
}

namespace gdi_internal {

void Record(HDC dc, TDrawCall call) {
  TDeviceContext* d = LookupDC(dc);
  if (!d || !d->Recorder) return;
  call.DeviceRect = d->MapRect(call.Rect);
  d->Recorder->Record(call);
}

void RecordCall(TDeviceContext& dc, TDrawCall call) {
  if (!dc.Recorder) return;
  const TDCState& s = dc.State;
  if (call.BkColor == CLR_INVALID) call.BkColor = s.BkColor;
  if (call.BkMode == 0) call.BkMode = s.BkMode;
  if (call.Rop2 == 0) call.Rop2 = s.Rop2;
  if (call.PenStyle == -1) {
    if (const auto* pen = Lookup<TPenObj>(s.Pen)) {
      call.PenStyle = static_cast<int>(pen->Log.lopnStyle & 0xF);
      call.PenWidth = pen->Log.lopnWidth.X;
    }
  }
  if (const auto* font = Lookup<TFontObj>(s.Font)) {
    call.FontFace = font->Log.lfFaceName;
    call.FontHeight = font->Log.lfHeight;
    call.FontWeight = font->Log.lfWeight;
    call.FontEscapement = font->Log.lfEscapement;
  }
  Record(HandleOf(dc), std::move(call));
}

}  // namespace gdi_internal
