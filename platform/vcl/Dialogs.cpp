// Message dialogs: TMessageForm built from the message, its kind (title and icon) and its
// buttons, captioned from the program's table, shown modally.
#include "platform/vcl/Dialogs.h"

#include <algorithm>
#include <array>
#include <deque>
#include <iterator>

#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/StdCtrls.h"

RTL_IMPLEMENT_CLASS(TMessageForm)

namespace {

// Posted to a dialog when a scripted answer should be given (the platform's
// private range).
constexpr UINT kScriptedAnswer = WM_APP + 0x0C01;

struct TButtonKind {
  TMsgDlgBtn Button;
  const char* Name;
  const char* Caption;  // English
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
constexpr size_t kButtonKinds = std::size(kButtons);

// By dialog type, mtCustom (the application's title) last.
constexpr size_t kTitledTypes = mtCustom;
const char* const kEnglishTitles[kTitledTypes] = {"Warning", "Error", "Information", "Confirm"};
// The system icon of each titled type.
constexpr int kTypeIcons[kTitledTypes] = {IDI_EXCLAMATION, IDI_HAND, IDI_ASTERISK, IDI_QUESTION};

// The words a dialog shows, as the program has set them.
struct TMsgDlgTexts {
  std::array<std::string, kButtonKinds> Buttons;
  std::array<std::string, kTitledTypes> Titles;
};

TMsgDlgTexts EnglishMsgDlgTexts() {
  TMsgDlgTexts texts;
  for (const TButtonKind& k : kButtons) texts.Buttons[static_cast<size_t>(k.Button)] = k.Caption;
  for (size_t i = 0; i < kTitledTypes; ++i) texts.Titles[i] = kEnglishTitles[i];
  return texts;
}

TMsgDlgTexts& MsgDlgTexts() {
  static TMsgDlgTexts texts = EnglishMsgDlgTexts();
  return texts;
}

constexpr int kButtonWidth = 75, kButtonHeight = 25, kButtonSpacing = 8, kMargin = 8, kLabelGap = 12;
constexpr int kMaxTextWidth = 420;
constexpr int kIconSize = 32;

struct TScriptState {
  std::deque<TModalResult> Answers;
  TMessageDlgScript Script;
  TMessageDlgAnswerer Answerer;
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
  form->SetCaption(DlgType == mtCustom ? Application->Title() : MsgDlgTitle(DlgType));

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
  // The icon of the dialog's kind stands left of the text.
  const bool hasIcon = DlgType != mtCustom;
  const int iconRoom = hasIcon ? kIconSize + kLabelGap : 0;
  const int contentHeight = std::max(textRect.Height(), hasIcon ? kIconSize : 0);
  int rowWidth = count * kButtonWidth + std::max(0, count - 1) * kButtonSpacing;
  int clientWidth = std::max(rowWidth, iconRoom + textRect.Width()) + 2 * kMargin;
  int clientHeight = kMargin + contentHeight + kLabelGap + kButtonHeight + kMargin;
  form->SetClientWidth(clientWidth);
  form->SetClientHeight(clientHeight);

  if (hasIcon) {
    auto* image = new TImage(form);
    image->SetName("Image");
    image->SetParent(form);
    image->SetBounds(kMargin, kMargin, kIconSize, kIconSize);
    image->Picture()->Icon()->SetHandle(LoadIcon(nullptr, kTypeIcons[DlgType]));
  }
  auto* label = new TLabel(form);
  label->SetName("Message");
  label->SetParent(form);
  label->SetWordWrap(true);
  label->SetShowAccelChar(false);
  label->SetBounds(kMargin + iconRoom, kMargin, textRect.Width(), textRect.Height());
  label->SetCaption(Msg);

  TMsgDlgBtn defaultButton = Buttons.Contains(mbOK) ? mbOK : Buttons.Contains(mbYes) ? mbYes : mbRetry;
  TMsgDlgBtn cancelButton = Buttons.Contains(mbCancel) ? mbCancel : Buttons.Contains(mbNo) ? mbNo : mbOK;
  int x = (clientWidth - rowWidth) / 2;
  int y = kMargin + contentHeight + kLabelGap;
  for (const TButtonKind& k : kButtons) {
    if (!Buttons.Contains(k.Button)) continue;
    auto* button = new TButton(form);
    button->SetName(k.Name);
    button->SetParent(form);
    button->SetCaption(MsgDlgButtonCaption(k.Button));
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
  // A copy: the answerer may replace itself.
  if (const TMessageDlgAnswerer answerer = ScriptState().Answerer) {
    const TModalResult answer = answerer(Msg, DlgType, Buttons);
    if (answer != mrNone) return answer;
  }
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

void SetMsgDlgButtonCaption(TMsgDlgBtn Button, const std::string& Caption) {
  const auto index = static_cast<size_t>(Button);
  if (index < kButtonKinds) MsgDlgTexts().Buttons[index] = Caption;
}

std::string MsgDlgButtonCaption(TMsgDlgBtn Button) {
  const auto index = static_cast<size_t>(Button);
  return index < kButtonKinds ? MsgDlgTexts().Buttons[index] : std::string();
}

void SetMsgDlgTitle(TMsgDlgType DlgType, const std::string& Title) {
  const auto index = static_cast<size_t>(DlgType);
  if (index < kTitledTypes) MsgDlgTexts().Titles[index] = Title;
}

std::string MsgDlgTitle(TMsgDlgType DlgType) {
  const auto index = static_cast<size_t>(DlgType);
  return index < kTitledTypes ? MsgDlgTexts().Titles[index] : std::string();
}

void ResetMsgDlgTexts() {
  MsgDlgTexts() = EnglishMsgDlgTexts();
}

void PushMessageDlgAnswer(TModalResult Answer) {
  ScriptState().Answers.push_back(Answer);
}

void SetMessageDlgScript(TMessageDlgScript Script) {
  ScriptState().Script = std::move(Script);
}

void SetMessageDlgAnswerer(TMessageDlgAnswerer Answerer) {
  ScriptState().Answerer = std::move(Answerer);
}

void ClearMessageDlgAnswers() {
  ScriptState().Answers.clear();
  ScriptState().Script = nullptr;
  ScriptState().Answerer = nullptr;
}
