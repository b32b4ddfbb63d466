// The caption component: a shared switch (TSkinCaption) over one hidden painter (TEnumCaption)
// that every skinned form's caption strip calls to place its buttons and draw its text.
#include "skin/SkinCaption.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Graphics.h"
#include "platform/win/Windows.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinDraw.h"
#include "skin/WinSkinManage.h"

RTL_IMPLEMENT_CLASS(TSkinCaption)
RTL_IMPLEMENT_CLASS(TEnumCaption)

namespace skin_caption_detail {

constexpr char kCaptionAuthor[] = "Skin engine caption painter";
constexpr uint32_t kCaptionPollInterval = 10;
// A dialog's caption has no icon: left-aligned text starts this much further left.
constexpr int kDialogTextShift = 16;
// A popup window's text keeps this gap before its right-aligned buttons.
constexpr int kPopupButtonGap = 5;
// Skin offsets are untrusted: bounded so that sums of a few of them never overflow.
constexpr int kSkinOffsetLimit = 1 << 20;

// The unit's shared state.
bool gCaptionActive = false;
bool gInstalled = false;  // the painter has painted at least once
bool gPainting = false;   // a paint runs: no frame recomputation, no nesting
TEnumCaption* gEnumCaption = nullptr;

int Bounded(int32_t Value) {
  return std::clamp<int32_t>(Value, -kSkinOffsetLimit, kSkinOffsetLimit);
}

// The form's caption-paint callback while the painter is installed.
struct TCaptionPainter {
  TEnumCaption* Owner;
  void operator()(TWinSkinForm& Form, TCanvas& Strip) const { Owner->PaintCaption(Form, Strip); }
};

// The manager's live skinned forms.
std::vector<TWinSkinForm*> SkinnedForms() {
  std::vector<TWinSkinForm*> forms;
  TSkinManage* manager = SkinManage();
  if (!manager) return forms;
  for (const TSkinManage::TFormEntry& entry : manager->Forms) {
    if (entry.Freed()) continue;
    if (auto* form = dynamic_cast<TWinSkinForm*>(entry.Form)) forms.push_back(form);
  }
  return forms;
}

TRect WindowSize(HWND Window) {
  TRect r;
  GetWindowRect(Window, &r);
  return Rect(0, 0, std::max(r.Right - r.Left, 0), std::max(r.Bottom - r.Top, 0));
}

// The text colour of the title: the title element's own when the skin gives one.
TColor TitleColour(const TSkinElements& Skin, bool Active) {
  const TColor own = Active ? Skin.Title->ActiveTextColour : Skin.Title->InactiveTextColour;
  if (own != TDataSkinTitle::kNoTextColour) return own;
  return Active ? Skin.TitleTextActive : Skin.TitleTextNoActive;
}

}  // namespace skin_caption_detail

// --- TSkinCaption -----------------------------------------------------------------------------

TSkinCaption::TSkinCaption(TComponent* AOwner)
    : TComponent(AOwner), author_(skin_caption_detail::kCaptionAuthor) {}

TSkinCaption::~TSkinCaption() = default;

void TSkinCaption::DescribeClass(TClassBuilder<TSkinCaption>& c) {
  c.Property("Active", &TSkinCaption::Active, &TSkinCaption::SetActive).Default(0);
  c.Property(
      "Author", [](const TSkinCaption& o) { return o.Author(); },
      [](TSkinCaption& o, const std::string& v) { o.SetAuthor(v); });
  c.Property("Version", &TSkinCaption::Version, &TSkinCaption::SetVersion);
}

bool TSkinCaption::Active() const {
  return skin_caption_detail::gCaptionActive;
}

void TSkinCaption::SetActive(bool Value) {
  using namespace skin_caption_detail;
  gCaptionActive = Value;
  if (!SkinManage() || !gEnumCaption) return;
  if (gInstalled)
    gEnumCaption->InstallOnAll(Value, !gPainting);
  else
    gEnumCaption->RequestTimer(Value);
}

void TSkinCaption::SetAuthor(const std::string&) {
  author_ = skin_caption_detail::kCaptionAuthor;
}

void TSkinCaption::Loaded() {
  using namespace skin_caption_detail;
  inherited::Loaded();
  author_ = kCaptionAuthor;
  if (!SkinManage() || !gEnumCaption) return;
  // The first form may not be skinned yet: poll for it whatever Active says.
  if (gInstalled)
    gEnumCaption->InstallOnAll(gCaptionActive, !gPainting);
  else
    gEnumCaption->RequestTimer(true);
}

// --- TEnumCaption -----------------------------------------------------------------------------

TEnumCaption::TEnumCaption(TComponent* AOwner)
    : TComponent(AOwner), Timer(std::make_unique<TTimer>(nullptr)) {
  using namespace skin_caption_detail;
  Timer->SetEnabled(false);
  Timer->SetInterval(kCaptionPollInterval);
  Timer->OnTimer = TNotifyEvent::Method(this, &TEnumCaption::TimerTick);
}

TEnumCaption::~TEnumCaption() {
  using namespace skin_caption_detail;
  gCaptionActive = false;
  Timer->SetEnabled(false);
  for (TWinSkinForm* form : SkinnedForms()) Remove(*form);
}

void TEnumCaption::InstallOnAll(bool On, bool Reframe) {
  using namespace skin_caption_detail;
  for (TWinSkinForm* form : SkinnedForms()) {
    if (On)
      Install(*form);
    else
      Remove(*form);
    if (Reframe) form->FrameChanged();
  }
}

void TEnumCaption::Install(TWinSkinForm& Form) {
  using skin_caption_detail::TCaptionPainter;
  // Installed again from inside its own call: the running painter must not be replaced.
  const TCaptionPainter* current = Form.CaptionPaint.target<TCaptionPainter>();
  if (!current || current->Owner != this) Form.CaptionPaint = TCaptionPainter{this};
  // Documented: while installed, the application's own OnFormSkin rules no longer apply.
  if (Form.SkinData) Form.SkinData->OnFormSkin = TOnFormSkin::Method(this, &TEnumCaption::FormSkin);
}

void TEnumCaption::Remove(TWinSkinForm& Form) {
  Form.CaptionPaint = nullptr;
  if (Form.SkinData && Form.SkinData->OnFormSkin == TOnFormSkin::Method(this, &TEnumCaption::FormSkin))
    Form.SkinData->OnFormSkin = nullptr;
}

void TEnumCaption::FormSkin(TObject*, const std::string&, bool& DoSkin) {
  // Never vetoes: it only notices that a form is about to be skinned.
  RequestTimer(DoSkin);
}

void TEnumCaption::RequestTimer(bool Want) {
  Wanted = Want;
  if (Want && !Busy && !Timer->Enabled()) Timer->SetEnabled(true);
}

void TEnumCaption::TimerTick(TObject*) {
  using namespace skin_caption_detail;
  Timer->SetEnabled(false);
  bool pollAgain = gCaptionActive;
  {
    TValueRestorer<bool> busy(Busy, true);
    if (SkinManage()) {
      const std::vector<TWinSkinForm*> forms = SkinnedForms();
      for (TWinSkinForm* form : forms) {
        if (gCaptionActive)
          Install(*form);
        else
          form->CaptionPaint = nullptr;  // the replaced OnFormSkin stays
        if (!gPainting) form->FrameChanged();
      }
      pollAgain = gCaptionActive && forms.empty();
    }
  }
  if (pollAgain) Timer->SetEnabled(true);
}

void TEnumCaption::PaintCaption(TWinSkinForm& Form, TCanvas& Strip) {
  using namespace skin_caption_detail;
  if (gPainting) return;
  {
    TValueRestorer<bool> painting(gPainting, true);
    for (TWinSkinForm* form : SkinnedForms()) Install(*form);
    ExStyle = GetWindowLong(Form.hWnd, GWL_EXSTYLE);
    Style = GetWindowLong(Form.hWnd, GWL_STYLE);
    RightToLeft = (ExStyle & WS_EX_LEFTSCROLLBAR) != 0;
    UnicodeClass = GetClassName(Form.hWnd).find(".UnicodeClass") != std::string::npos;
    LayoutButtons(Form, GetSystemMetrics(SM_CYCAPTION));
    DrawCaptionText(Form, Strip);
    gInstalled = true;
  }
  if (!Busy) RequestTimer(Wanted);
}

void TEnumCaption::MeasureFrames(TWinSkinForm& Form) {
  // The form's border sizes: the skin's frame sizes, already bounded to the screen.
  const bool none = Form.BorderKind == TSkinBorderKind::None;
  LeftFrame = none ? 0 : Form.L;
  RightFrame = none ? 0 : Form.R;
  TopFrame = none ? 0 : Form.T;
  BottomFrame = none ? 0 : Form.B;
}

void TEnumCaption::LayoutButtons(TWinSkinForm& Form, int CaptionHeight) {
  using namespace skin_caption_detail;
  MeasureFrames(Form);
  const TRect window = WindowSize(Form.hWnd);
  const int w = window.Width();
  const TRect& text = Form.CaptionTextRect;
  ButtonBand = 0;
  for (const auto& button : Form.CaptionButtons) {
    const TDataSkinSysButton& e = *button->Element;
    if (!button->Visible || e.Bitmap->Empty()) continue;
    const int bw = e.Bitmap->Width() / std::max(button->FrameCount(), 1);
    const int bh = e.Bitmap->Height();
    const int x = Bounded(e.Xcoord), y = Bounded(e.Ycoord);
    TPoint at{0, 0};
    switch (e.Align) {
      case 0:
        at = TPoint{x, y};
        break;
      case 1:
        at = TPoint{w - x, y};
        ButtonBand = std::max(ButtonBand, at.X);
        break;
      case 2:
      case 8:
        at = TPoint{text.Left - bw - x, y};
        break;
      case 3:
      case 9:
        at = TPoint{text.Right + x, y};
        break;
      case 100:
        at = TPoint{RightToLeft ? x + LeftFrame : w - x - RightFrame, TopFrame + (CaptionHeight - bh) / 2};
        break;
      default:
        break;
    }
    TRect r = Bounds(at.X, at.Y, bw, bh);
    // A skin's coordinates never reach outside the window.
    if (!IntersectRect(r, r, window)) r = TRect{};
    button->BoundsRect = r;
  }
}

std::string TEnumCaption::CaptionText(TWinSkinForm& Form) const {
  // One UTF-8 text path: wide-class windows need no conversion of their own.
  std::string text = GetWindowText(Form.hWnd);
  if (text.empty() && Form.FormControl) text = Form.FormControl->Text();
  return "  " + text + " ";
}

TRect TEnumCaption::TextRect(TWinSkinForm& Form, TCanvas& Strip, const std::string& Text) {
  using namespace skin_caption_detail;
  const TSkinElements& skin = *Form.SkinData->Elements();
  const TDataSkinTitle& title = *skin.Title;
  if (TFont* font = Form.SkinData->CaptionFont() ? Form.SkinData->CaptionFont() : Form.CaptionFont.get())
    Strip.Font()->Assign(font);
  Strip.RequiredState(TCanvasState{csHandleValid, csFontValid});
  TRect measured;
  TSkinData::SkinDrawText(Strip.Handle(), Text, measured, DT_CALCRECT | DT_NOCLIP | DT_SINGLELINE);
  const int w = WindowSize(Form.hWnd).Width();
  const int backLeft = Bounded(title.TextBackLeft), backRight = Bounded(title.TextBackRight);
  const int shift = Bounded(title.LeftWidth), shiftVert = Bounded(title.TopHeight);
  const int rightClip = Bounded(title.RightWidth);
  const int width = (measured.Right - measured.Left) + backLeft + backRight;
  const int height = measured.Bottom - measured.Top;
  TRect r;
  if (RightToLeft || title.TextAlignment == 2) {
    r.Right = w - rightClip;
    r.Left = r.Right - width;
  } else if (title.TextAlignment == 1) {
    r.Left = (w - width) / 2;
    r.Right = r.Left + width;
  } else {
    r.Left = shift;
    r.Right = r.Left + width;
  }
  r.Top = (TopFrame - height) / 2 + shiftVert / 2;
  r.Bottom = r.Top + height;
  if (Style & WS_POPUP) {
    if (ButtonBand >= kPopupButtonGap + 1) r.Right = std::min(r.Right, ButtonBand - kPopupButtonGap);
  } else {
    r.Right = std::min(r.Right, w - rightClip);
  }
  if (Form.BorderKind == TSkinBorderKind::Dialog && title.TextAlignment == 0) r.Left -= kDialogTextShift;
  // Keeps a wild skin's text background from tiling far beyond the strip.
  r.Left = std::clamp(r.Left, -w, 2 * w);
  r.Right = std::clamp(r.Right, -w, 2 * w);
  return r;
}

void TEnumCaption::DrawCaptionText(TWinSkinForm& Form, TCanvas& Strip) {
  using namespace skin_caption_detail;
  if (!Form.SkinData) return;
  const TSkinElements& skin = *Form.SkinData->Elements();
  const TDataSkinTitle& title = *skin.Title;
  const std::string text = CaptionText(Form);
  TRect r = TextRect(Form, Strip, text);
  Form.CaptionTextRect = r;
  const int frame = Form.Active ? 1 : 2;
  if (!title.Bitmap->Empty() && r.Right > r.Left && r.Bottom > r.Top)
    DrawThreePartTiled(&Strip, r, title.Bitmap.get(), false, true, title.FrameCount, frame,
                       Bounded(title.TextBackLeft), Bounded(title.TextBackRight));
  r.Left += Bounded(title.TextBackLeft);
  r.Right -= Bounded(title.TextBackRight);
  Strip.Font()->SetColor(TitleColour(skin, Form.Active));
  Strip.RequiredState(TCanvasState{csHandleValid, csFontValid});
  const HDC dc = Strip.Handle();
  SetBkMode(dc, TRANSPARENT);
  TRect box = r;
  TSkinData::SkinDrawText(dc, text, box, DT_SINGLELINE | DT_END_ELLIPSIS | (RightToLeft ? DT_RIGHT : 0));
}

// --- unit -------------------------------------------------------------------------------------

bool SkinCaptionActive() {
  return skin_caption_detail::gCaptionActive;
}

TEnumCaption* EnumCaption() {
  return skin_caption_detail::gEnumCaption;
}

void InitSkinCaptionUnit() {
  using namespace skin_caption_detail;
  RegisterClasses({TSkinCaption::StaticClass()});
  if (gEnumCaption) return;
  gCaptionActive = gInstalled = gPainting = false;
  gEnumCaption = new TEnumCaption(nullptr);
}

void FinalizeSkinCaptionUnit() {
  using namespace skin_caption_detail;
  gCaptionActive = false;
  delete std::exchange(gEnumCaption, nullptr);
  gInstalled = gPainting = false;
}
