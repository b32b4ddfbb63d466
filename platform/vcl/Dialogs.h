#pragma once
// Message dialogs: a form of class "TMessageForm" with the system icon of its kind, the message
// in a label and a row of buttons, shown modally. Each button's ModalResult is the answer.
// Titles and button captions come from a table that is English until a program sets its
// language's.
//
// Scripted answers for tests: when an answer is queued or a script is set, the dialog is still
// created and shown (hooks and observers see it), then answers at once and is closed.
#include <functional>
#include <string>

#include "platform/vcl/Forms.h"

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
RTL_ENUM_INFO(TMsgDlgType, "mtWarning", "mtError", "mtInformation", "mtConfirmation", "mtCustom");

enum class TMsgDlgBtn {
  mbYes,
  mbNo,
  mbOK,
  mbCancel,
  mbAbort,
  mbRetry,
  mbIgnore,
  mbAll,
  mbNoToAll,
  mbYesToAll,
  mbHelp
};
RTL_ENUM_INFO(TMsgDlgBtn, "mbYes", "mbNo", "mbOK", "mbCancel", "mbAbort", "mbRetry", "mbIgnore", "mbAll",
              "mbNoToAll", "mbYesToAll", "mbHelp");
using TMsgDlgButtons = TSet<TMsgDlgBtn>;
using enum TMsgDlgBtn;

inline const TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline const TMsgDlgButtons mbYesAllNoAllCancel{mbYes, mbYesToAll, mbNo, mbNoToAll, mbCancel};
inline const TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline const TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};
inline const TMsgDlgButtons mbAbortIgnore{mbAbort, mbIgnore};

// The dialog form. Its icon (a TImage, none for mtCustom) is named "Image", its label "Message";
// its buttons are named after the button kind
// ("Yes", "No", "OK", "Cancel", "Abort", "Retry", "Ignore", "All", "NoToAll", "YesToAll",
// "Help") and carry the matching ModalResult.
class TMessageForm : public TForm {
  RTL_CLASS(TMessageForm, TForm)
 public:
  explicit TMessageForm(TComponent* AOwner);
  ~TMessageForm() override;
  const std::string& MessageText() const { return message_; }
  TMsgDlgType DlgType() const { return dlgType_; }
  TMsgDlgButtons Buttons() const { return buttons_; }

 protected:
  void Dispatch(TMessage& Message) override;

 private:
  friend TForm* CreateMessageDialog(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons);
  std::string message_;
  TMsgDlgType dlgType_ = mtCustom;
  TMsgDlgButtons buttons_;
};

// Builds the dialog (not shown): titled by its type (in English "Warning", "Error",
// "Information", "Confirm"), or with the application title for mtCustom; the icon of the type
// (IDI_EXCLAMATION, IDI_HAND, IDI_ASTERISK, IDI_QUESTION; none for mtCustom) left of the text;
// buttons in the customary order, the first default, the cancel answer (Cancel, else No, else
// OK) on Escape.
TForm* CreateMessageDialog(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons);
// Shows the dialog modally, centred on the screen (or at X, Y when both are >= 0); answers the
// ModalResult of the button chosen.
int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
int MessageDlgPos(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx, int X,
                  int Y);
// An information-less dialog with an OK button, captioned with the application title.
void ShowMessage(const std::string& Msg);

// The table of the dialogs' words. A button kind's caption ("&Yes", "OK", ...) and a type's
// title; mtCustom has none (its dialogs take the application's title). Reset: English again.
void SetMsgDlgButtonCaption(TMsgDlgBtn Button, const std::string& Caption);
std::string MsgDlgButtonCaption(TMsgDlgBtn Button);
void SetMsgDlgTitle(TMsgDlgType DlgType, const std::string& Title);
std::string MsgDlgTitle(TMsgDlgType DlgType);
void ResetMsgDlgTexts();

// Test answers: the queue first, then the script (which sees the dialog form, so it can read
// its caption and text or click one of its buttons itself and answer mrNone to let the click
// decide). ClearMessageDlgAnswers drops both.
using TMessageDlgScript = std::function<TModalResult(TMessageForm& Dialog)>;
void PushMessageDlgAnswer(TModalResult Answer);
void SetMessageDlgScript(TMessageDlgScript Script);
void ClearMessageDlgAnswers();
// A quick answer for programs that ask thousands of questions (fuzz targets): asked before any
// dialog is built, it answers from the question alone; mrNone lets the dialog show (and the queue
// or the script answer it). ClearMessageDlgAnswers drops it too.
using TMessageDlgAnswerer =
    std::function<TModalResult(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons)>;
void SetMessageDlgAnswerer(TMessageDlgAnswerer Answerer);
