// The status-bar skinner: panels with the skin's edges and texts, the simple mode and the size
// grip, drawn into one off-screen bitmap shared by every status bar, then copied to the window.
// Owner-drawn contents come last, through the bar's OnDrawPanel.
#include <algorithm>
#include <memory>

#include "platform/gdi/Colors.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ExtCtrls.h"
#include "skin/SkinStateControls.h"
#include "skin/WinSkinIni.h"

RTL_IMPLEMENT_CLASS(TSkinStatusBar)

namespace status_paint {

// The panel rectangles the window reports are widened by this much to the right.
constexpr int kPanelGrowth = 2;
// Texts keep this far from a panel's sides; OnDrawPanel gets the panel shrunk by as much.
constexpr int kPanelInset = 2;
// The frame of ExtraImages that holds the size grip.
constexpr int kGripFrame = 5;
// The frames of StatusBarEdges.
constexpr int kEdgeFrames = 3;
constexpr int kEdgeLowered = 1;
constexpr int kEdgeRaised = 2;
constexpr int kEdgeNone = 3;

// One buffer for every status bar: they paint one at a time on the thread that owns them. It
// takes its device context while it is made, so the drawing layer's own statics are complete
// first and outlive it at exit.
struct TSharedBuffer {
  TBitmap Bitmap;
  TSharedBuffer() {
    Bitmap.SetSize(1, 1);
    Bitmap.Canvas()->Handle();
  }
};

TBitmap& SharedBuffer() {
  static TSharedBuffer buffer;
  return buffer.Bitmap;
}

int EdgeFrame(TStatusPanelBevel Bevel) {
  switch (Bevel) {
    case pbLowered:
      return kEdgeLowered;
    case pbRaised:
      return kEdgeRaised;
    default:
      return kEdgeNone;
  }
}

// A right-to-left panel swaps left and right.
UINT AlignmentFlags(TAlignment Alignment, bool Swapped) {
  if (Swapped && Alignment == taLeftJustify)
    Alignment = taRightJustify;
  else if (Swapped && Alignment == taRightJustify)
    Alignment = taLeftJustify;
  return SkinAlignmentFlags(Alignment);
}

// A skin edge, or a one-pixel 3-D frame without one (frame 3 draws nothing then).
void DrawPanelEdge(TCanvas* Canvas, const TRect& R, int Frame, const TDataSkinObject* Edges) {
  if (HasSkinImage(Edges)) {
    DrawElement(Canvas->Handle(), R, kEdgeFrames, Frame, Edges);
    return;
  }
  if (Frame == kEdgeNone) return;
  TRect r = R;
  const bool lowered = Frame == kEdgeLowered;
  Frame3D(Canvas, r, lowered ? clBtnShadow : clBtnHighlight, lowered ? clBtnHighlight : clBtnShadow, 1);
}

}  // namespace status_paint

TSkinStatusBar::TSkinStatusBar(TComponent* AOwner) : TSkinControl(AOwner) {}

TSkinStatusBar::~TSkinStatusBar() = default;

bool TSkinStatusBar::BeforeMessage(TMessage& Message) {
  return TSkinControl::BeforeMessage(Message) && PaintInstead(Message);
}

void TSkinStatusBar::PaintSkin(HDC DC, const TRect& R) {
  if (R.Width() <= 0 || R.Height() <= 0) return;
  auto* bar = dynamic_cast<TStatusBar*>(Control);
  const TSkinElements* skin = Elements();
  const TDataSkinObject* edges = skin ? skin->StatusBarEdges.get() : nullptr;
  const bool enabled = !bar || bar->Enabled();

  TBitmap& buffer = status_paint::SharedBuffer();
  buffer.SetSize(R.Width(), R.Height());
  TCanvas* canvas = buffer.Canvas();
  const TRect area{0, 0, R.Width(), R.Height()};
  FillSkinColor(canvas->Handle(), area);
  if (bar) canvas->Font()->Assign(bar->Font());
  canvas->Font()->SetStyle({});
  if (edges) canvas->Font()->SetColor(edges->NormalColour2);
  canvas->Brush()->SetStyle(bsClear);

  const int count = bar ? bar->Panels()->Count() : 0;
  if (bar && !bar->SimplePanel() && count > 0) {
    for (int i = 0; i < count; ++i) {
      TStatusPanel* panel = bar->Panels()->Items(i);
      RECT got{};
      if (!SendMessage(Handle, SB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&got))) continue;
      TRect r = got;
      r.Right += status_paint::kPanelGrowth;
      if (i == count - 1) r.Right = area.Right;
      status_paint::DrawPanelEdge(canvas, r, status_paint::EdgeFrame(panel->Bevel()), edges);
      if (panel->Style() != psText) continue;
      TRect text = r;
      InflateRect(text, -status_paint::kPanelInset, 0);
      DrawSkinText(canvas->Handle(), text, panel->Text().empty() ? " " : panel->Text(),
                   status_paint::AlignmentFlags(panel->Alignment(), panel->UseRightToLeftAlignment()),
                   enabled);
    }
  } else if (bar) {
    status_paint::DrawPanelEdge(canvas, area, status_paint::kEdgeLowered, edges);
    TRect text = area;
    InflateRect(text, -status_paint::kPanelInset, 0);
    DrawSkinText(canvas->Handle(), text, bar->SimpleText(),
                 bar->UseRightToLeftAlignment() ? DT_RIGHT : DT_LEFT, enabled);
  }

  const TDataSkinObject* extra = skin ? skin->ExtraImages.get() : nullptr;
  if ((GetWindowLong(Handle, GWL_STYLE) & SBARS_SIZEGRIP) && HasSkinImage(extra)) {
    const int frames = std::max(extra->FrameCount, 1);
    const int width = extra->Bitmap->Width() / frames, height = extra->Bitmap->Height();
    const TRect grip{area.Right - 1 - width, area.Bottom - 1 - height, area.Right - 1, area.Bottom - 1};
    DrawFrameToDC(canvas->Handle(), grip, extra->Bitmap.get(), frames, status_paint::kGripFrame);
  }

  BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), canvas->Handle(), 0, 0, SRCCOPY);
  if (!bar) return;
  bar->PaintControls(DC, nullptr);
  // The simple text covers the panels.
  if (!bar->OnDrawPanel || bar->SimplePanel()) return;
  TCanvas* barCanvas = bar->Canvas();
  barCanvas->SetHandle(DC);
  TScopeExit unbind([barCanvas] { barCanvas->SetHandle(nullptr); });
  barCanvas->SetFont(bar->Font());
  // A handler may change the panels or itself.
  for (int i = 0; i < bar->Panels()->Count() && bar->OnDrawPanel; ++i) {
    RECT got{};
    if (!SendMessage(Handle, SB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&got))) continue;
    TRect r = got;
    InflateRect(r, -status_paint::kPanelInset, -status_paint::kPanelInset);
    bar->OnDrawPanel(bar, bar->Panels()->Items(i), r);
  }
}
