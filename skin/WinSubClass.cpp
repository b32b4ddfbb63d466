// The life of a control skinner: attaching to a control of the class library or to a bare
// window, the message split around the control's own handling, switching skinning off and on,
// the colour and ParentBackground changes, and destruction that puts both kinds of hook back.
#include "skin/WinSubClass.h"

#include <algorithm>

#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/TypInfo.h"
#include "platform/rtl/Types.h"
#include "platform/vcl/Messages.h"
#include "platform/win/Painting.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinManage.h"

RTL_IMPLEMENT_CLASS(TSkinControl)

namespace skin_subclass_life {

// A bare window's caption is read up to this many characters.
constexpr size_t kWindowTextLimit = 1000;

// The first Limit characters of a UTF-8 text, never cutting a character.
std::string FirstCharacters(const std::string& Text, size_t Limit) {
  size_t chars = 0;
  for (size_t i = 0; i < Text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(Text[i]);
    if ((byte & 0xC0) == 0x80) continue;  // a continuation byte
    if (chars == Limit) return Text.substr(0, i);
    ++chars;
  }
  return Text;
}

// The control is being freed: its parts below TComponent may be gone already.
bool IsGoing(const TComponent* Component) {
  return Component && Component->ComponentState().Contains(csDestroying);
}

}  // namespace skin_subclass_life

using namespace skin_subclass_life;

TSkinControl::TSkinControl(TComponent* AOwner) : TComponent(AOwner) {}

TSkinControl::~TSkinControl() {
  if (OldWindowProc) {
    TControl* hooked = GraphicControl ? GraphicControl : static_cast<TControl*>(Control);
    // Still owned by the control, the skinner is freed by someone else (the form's list) while the
    // control lives on, perhaps into its own destructor, which still sends messages: its path is
    // mended. Freed by its owner's destruction, the skinner has left the owner first, and the
    // control's parts are gone: nothing to mend.
    if (hooked && (Owner() == hooked || !IsGoing(hooked))) hooked->SetWindowProc(OldWindowProc);
    OldWindowProc = TWndMethod();
  }
  if (ObjectInstance) {
    if (IsWindow(Handle) && GetWindowLongAW(Handle, GWL_WNDPROC) == ObjectInstance->Token())
      SetWindowLong(Handle, GWL_WNDPROC, OldWndProc.Token());
    ObjectInstance.reset();
  }
  // The form frees its list last; a skinner freed by it is told so through Lifecycle.
  if (Form && Form->Children && Lifecycle != kSkinnerFormGoing) Form->Children->Unregister(this);
  Form = nullptr;
}

// --- attach and detach ------------------------------------------------------------------------------

bool TSkinControl::BindOwner(TWinSkinForm* AForm, TSkinData* Data, bool AUseSkinColor, TCanvas* ACanvas) {
  auto* owner = dynamic_cast<TWinControl*>(Owner());
  if (Attached || !owner) return false;
  UseSkinColor = AUseSkinColor;
  SkinData = Data;
  Form = AForm;
  Canvas = ACanvas;
  Control = owner;
  return true;
}

void TSkinControl::AttachControl(TWinSkinForm* AForm, TSkinData* Data, bool AUseSkinColor, TCanvas* ACanvas) {
  if (!BindOwner(AForm, Data, AUseSkinColor, ACanvas)) return;
  Handle = Control->Handle();
  Unicode = IsWindowUnicode(Handle);

  OldWindowProc = Control->WindowProc();
  Control->SetWindowProc(TWndMethod::Method(this, &TSkinControl::WindowProcedure));
  Control->SetDoubleBuffered(true);
  RegisterWithForm();
  if (UseSkinColor) TakeSkinColor();
  if (ParentBackgroundWasOn) OwnPaint = true;
  Control->Invalidate();
  Attached = true;
  Lifecycle = kSkinnerAttached;
}

void TSkinControl::AttachWindow(HWND AHandle, TSkinData* Data, TWinSkinForm* AForm, TCanvas* ACanvas) {
  if (Attached || !IsWindow(AHandle)) return;
  SkinData = Data;
  Canvas = ACanvas;
  Form = AForm;
  Handle = AHandle;
  WindowEnabled = true;
  OwnPaint = false;
  RegisterWithForm();
  Unicode = IsWindowUnicode(Handle);
  Text = FirstCharacters(GetWindowText(Handle), kWindowTextLimit);

  ObjectInstance = std::make_unique<TWndProcInstance>([this](HWND, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage message(Msg, WParam, LParam);
    WindowProcedure(message);
    return message.Result;
  });
  OldWndProc = WNDPROC(GetWindowLongAW(Handle, GWL_WNDPROC));
  SetWindowLong(Handle, GWL_WNDPROC, ObjectInstance->Token());

  InvalidateRect(Handle, nullptr, TRUE);
  Attached = true;
  Lifecycle = kSkinnerAttached;
}

void TSkinControl::TakeSkinColor() {
  ParentBackgroundRule(true);
  SavedColor = Control->Color();
  SavedParentColor = Control->ParentColor();
  Control->SetColor(SkinColor());
}

void TSkinControl::Detach() {
  if (!UseSkinColor || !Control) return;
  ParentBackgroundRule(false);
  Control->SetColor(SavedColor);
  if (SavedParentColor) Control->SetParentColor(true);
}

void TSkinControl::ParentBackgroundRule(bool Off) {
  if (!Control || HasOption(xoParentBackGround) || !IsPublishedProp(Control, "ParentBackground")) return;
  if (Off) {
    if (LowerCase(GetPropText(Control, "ParentBackground")) != "true") return;
    ParentBackgroundWasOn = true;
    SetPropText(Control, "ParentBackground", "False");
  } else if (ParentBackgroundWasOn) {
    SetPropText(Control, "ParentBackground", "True");
  }
}

void TSkinControl::RegisterWithForm() {
  if (!Form) return;
  if (TSkinChildren* children = Form->ChildSkinners()) children->Register(this);
}

void TSkinControl::ApplySkinColor() {
  if (UseSkinColor && Control) Control->SetColor(SkinColor());
  Repaint();
}

// --- messages ---------------------------------------------------------------------------------------

void TSkinControl::WindowProcedure(TMessage& Message) {
  if (Message.Msg == SKMSG_SKINCONTROL) {
    SkinActive = Message.WParam > 0;
    if (SkinActive) Repaint();
    return;
  }
  if (!SkinActive) {
    CallDefault(Message);
    return;
  }
  if (BeforeMessage(Message)) {
    CallDefault(Message);
    AfterMessage(Message);
  }
}

bool TSkinControl::BeforeMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_NCDESTROY:
      CallDefault(Message);
      SkinActive = false;
      Lifecycle = kSkinnerWindowGone;
      Detach();
      return false;
    case SKMSG_ISSKINNED:
      Message.Result = 1;
      return false;
    default:
      return true;
  }
}

void TSkinControl::AfterMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PAINT:
      PaintWindow(reinterpret_cast<HDC>(Message.WParam));
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SETTEXT:
    case CM_ENABLEDCHANGED:
      Repaint();
      break;
    case SKMSG_SKINCONTROL:
      SkinActive = Message.WParam >= 1;
      break;
    default:
      break;
  }
}

void TSkinControl::CallDefault(TMessage& Message) {
  if (OldWindowProc) {
    OldWindowProc(Message);
    return;
  }
  if (OldWndProc)
    Message.Result = CallWindowProc(OldWndProc, Handle, Message.Msg, Message.WParam, Message.LParam);
}

// --- painting ---------------------------------------------------------------------------------------

void TSkinControl::PaintWindow(HDC DC) {
  RECT rect;
  if (!GetWindowRect(Handle, &rect)) return;
  WindowRect = rect;
  const TRect local{0, 0, WindowRect.Width(), WindowRect.Height()};
  if (DC) {
    PaintSkin(DC, local);
    return;
  }
  HDC windowDC = GetWindowDC(Handle);
  if (!windowDC) return;
  TScopeExit release([&] { ReleaseDC(Handle, windowDC); });
  PaintSkin(windowDC, local);
}

void TSkinControl::Repaint() {
  if (GraphicControl) {
    GraphicControl->Invalidate();
    return;
  }
  if (!Handle) return;
  InvalidateRect(Handle, nullptr, TRUE);
  UpdateWindow(Handle);
}

void TSkinControl::SendMouseLeave() {
  if (Handle) SendMessage(Handle, CM_MOUSELEAVE, 0, 0);
}

// --- skin values ------------------------------------------------------------------------------------

const TSkinElements* TSkinControl::Elements() const {
  return SkinData ? SkinData->Elements() : nullptr;
}

TColor TSkinControl::SkinColor() const {
  const TSkinElements* skin = Elements();
  return skin ? skin->BackgroundColour : clBtnFace;
}

TColor TSkinControl::SkinTextColor() const {
  const TSkinElements* skin = Elements();
  return skin ? skin->ButtonTextColour : clBtnText;
}

TColor TSkinControl::SkinLineColor() const {
  const TSkinElements* skin = Elements();
  return skin ? skin->ButtonShadow : clBtnShadow;
}

bool TSkinControl::HasOption(TSkinOption Option) const {
  return SkinData && SkinData->Options().Contains(Option);
}

TObject* TSkinControl::PropertyObject() const {
  if (GraphicControl) return GraphicControl;
  return Control;
}
