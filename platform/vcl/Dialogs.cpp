// Message dialogs: TMessageForm built from the message, its kind and its
// buttons, shown modally.
#include "platform/vcl/Dialogs.h"

#include <algorithm>
#include <deque>

#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/StdCtrls.h"

RTL_IMPLEMENT_CLASS(TMessageForm)

namespace {

// Posted to a dialog when a scripted answer should be given (the platform's
// private range).
constexpr UINT kScriptedAnswer = WM_APP + 0x0C01;

struct TButtonKind {
  TMsgDlgBtn Button;
  const char* Name;
  const char* Caption;
  TModalResult Result;
};

// In the order the buttons appear.
constexpr TButtonKind kButtons[] = {
    {mbYes, "Yes", "&Yes", mrYes},
    {mbNo, "No", "&No", mrNo},
    {mbOK, "OK", "OK", mrOk},
    {mbCancel, "Cancel", "Cancel", mrCancel},
    {mbAbort, "Abort", "&Abort", mrAbort},
    {mbRetry, "Retry", "&Retry", mrRetry},
    {mbIgnore, "Ignore", "&Ignore", mrIgnore},
    {mbAll, "All", "&All", mrAll},
    {mbNoToAll, "NoToAll", "N&o to All", mrNoToAll},
    {mbYesToAll, "YesToAll", "Yes to &All", mrYesToAll},
    {mbHelp, "Help", "&Help", mrNone},
};

const char* const kCaptions[] = {"Warning", "Error", "Information", "Confirm", nullptr};

constexpr int kButtonWidth = 75, kButtonHeight = 25, kButtonSpacing = 8, kMargin = 8, kLabelGap = 12;
constexpr int kMaxTextWidth = 420;

struct TScriptState {
  std::deque<TModalResult> Answers;
  TMessageDlgScript Script;
};

TScriptState& ScriptState() {
  static TScriptState state;
  return state;
}

bool HasScriptedAnswer() {
  return !ScriptState().Answers.empty() || static_cast<bool>(ScriptState().Script);
}

}  // namespace

TMessageForm::TMessageForm(TComponent* AOwner) : TForm(AOwner, 0) {}

TMessageForm::~TMessageForm() = default;

void TMessageForm::Dispatch(TMessage& Message) {
  if (Message.Msg != kScriptedAnswer) {
    inherited::Dispatch(Message);
    return;
  }
  TScriptState& s = ScriptState();
  TModalResult answer = mrNone;
  if (!s.Answers.empty()) {
    answer = s.Answers.front();
    s.Answers.pop_front();
  } else if (s.Script) {
    TMessageDlgScript script = s.Script;
    answer = script(*this);
  }
  if (answer != mrNone) SetModalResult(answer);
}

TForm* CreateMessageDialog(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons) {
  InitVcl();
  auto* form = new TMessageForm(Application);
  TScopeFail freeForm([form] { form->Free(); });
  form->message_ = Msg;
  form->dlgType_ = DlgType;
  form->buttons_ = Buttons;
  form->SetBorderStyle(bsDialog);
  form->SetPosition(poScreenCenter);
  const char* caption = kCaptions[DlgType];
  form->SetCaption(caption ? std::string(caption) : Application->Title());

  // The text's size decides the dialog's width (at least the button row's).
  TRect textRect{0, 0, kMaxTextWidth, 0};
  HDC dc = GetDC(nullptr);
  HGDIOBJ oldFont = SelectObject(dc, form->Font()->Handle());
  ::DrawText(dc, Msg.empty() ? std::string(" ") : Msg, &textRect, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, oldFont);
  ReleaseDC(nullptr, dc);

  int count = 0;
  for (const TButtonKind& k : kButtons)
    if (Buttons.Contains(k.Button)) ++count;
  int rowWidth = count * kButtonWidth + std::max(0, count - 1) * kButtonSpacing;
  int clientWidth = std::max(rowWidth, textRect.Width()) + 2 * kMargin;
  int clientHeight = kMargin + textRect.Height() + kLabelGap + kButtonHeight + kMargin;
  form->SetClientWidth(clientWidth);
  form->SetClientHeight(clientHeight);

  auto* label = new TLabel(form);
  label->SetName("Message");
  label->SetParent(form);
  label->SetWordWrap(true);
  label->SetShowAccelChar(false);
  label->SetBounds(kMargin, kMargin, textRect.Width(), textRect.Height());
  label->SetCaption(Msg);

  TMsgDlgBtn defaultButton = Buttons.Contains(mbOK) ? mbOK : Buttons.Contains(mbYes) ? mbYes : mbRetry;
  TMsgDlgBtn cancelButton = Buttons.Contains(mbCancel) ? mbCancel : Buttons.Contains(mbNo) ? mbNo : mbOK;
  int x = (clientWidth - rowWidth) / 2;
  int y = kMargin + textRect.Height() + kLabelGap;
  for (const TButtonKind& k : kButtons) {
    if (!Buttons.Contains(k.Button)) continue;
    auto* button = new TButton(form);
    button->SetName(k.Name);
    button->SetParent(form);
    button->SetCaption(k.Caption);
    button->SetModalResult(k.Result);
    button->SetBounds(x, y, kButtonWidth, kButtonHeight);
    if (k.Button == defaultButton) {
      button->SetDefault(true);
      form->SetActiveControl(button);
    }
    if (k.Button == cancelButton) button->SetCancel(true);
    x += kButtonWidth + kButtonSpacing;
  }
  return form;
}

int MessageDlgPos(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx, int X,
                  int Y) {
  (void)HelpCtx;
  TForm* dialog = CreateMessageDialog(Msg, DlgType, Buttons);
  TScopeExit freeDialog([dialog] { dialog->Free(); });
  if (X >= 0 && Y >= 0) {
    dialog->SetPosition(poDesigned);
    dialog->SetBounds(X, Y, dialog->Width(), dialog->Height());
  }
  if (HasScriptedAnswer()) PostMessage(dialog->Handle(), kScriptedAnswer, 0, 0);
  return dialog->ShowModal();
}

int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx) {
  return MessageDlgPos(Msg, DlgType, Buttons, HelpCtx, -1, -1);
}

void ShowMessage(const std::string& Msg) {
  MessageDlg(Msg, mtCustom, TMsgDlgButtons{mbOK}, 0);
}

void PushMessageDlgAnswer(TModalResult Answer) {
  ScriptState().Answers.push_back(Answer);
}

void SetMessageDlgScript(TMessageDlgScript Script) {
  ScriptState().Script = std::move(Script);
}

void ClearMessageDlgAnswers() {
  ScriptState().Answers.clear();
  ScriptState().Script = nullptr;
}
