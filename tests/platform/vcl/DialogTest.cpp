// Message dialogs: the TMessageForm, scripted answers and answers given by clicks and keys; the
// icon of each kind and the words a program sets for its language.
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win/Display.h"
#include "platform/win/WindowManager.h"
#include "tests/platform/vcl/FormTestSupport.h"
#include "tests/support/PaintOracle.h"

namespace {

class Dialogs_ : public VclFormTest {
 protected:
  // What a shown dialog looked like, read while it waited for its answer.
  struct TSeen {
    std::string ClassName;
    TRect Window;
    TRect Client;
    TRect Label;
    std::vector<TRect> Buttons;
    DWORD Style = 0;
    bool ScrollBarsVisible = true;
  };

  // Opens the dialog as a user does, by clicking a button whose OnClick calls MessageDlg, reads
  // it, and closes it with Escape.
  TSeen OpenByClick(const std::string& text, TMsgDlgButtons buttons) {
    TForm* main = NewShownForm("Main");
    auto* open = new TButton(main);
    open->SetParent(main);
    open->SetBounds(10, 10, 80, 25);
    open->OnClick = [&](TObject*) { MessageDlg(text, mtCustom, buttons, 0); };
    TSeen seen;
    WinTesting::Schedule([&] {
      auto* dialog = dynamic_cast<TMessageForm*>(FindControl(GetActiveWindow()));
      ASSERT_NE(dialog, nullptr);
      seen.ClassName = dialog->ClassName();
      RECT r{};
      GetWindowRect(dialog->Handle(), &r);
      seen.Window = r;
      ::GetClientRect(dialog->Handle(), &r);
      seen.Client = r;
      seen.Style = static_cast<DWORD>(GetWindowLong(dialog->Handle(), GWL_STYLE));
      seen.ScrollBarsVisible =
          dialog->HorzScrollBar()->IsScrollBarVisible() || dialog->VertScrollBar()->IsScrollBarVisible();
      if (auto* label = dynamic_cast<TLabel*>(dialog->FindComponent("Message")))
        seen.Label = label->BoundsRect();
      for (int i = 0; i < dialog->ComponentCount(); ++i)
        if (auto* b = dynamic_cast<TButton*>(dialog->Components(i))) seen.Buttons.push_back(b->BoundsRect());
      WinTesting::KeyPress(VK_ESCAPE);
    });
    WinTesting::Click(CenterOf(open));
    Application->ProcessMessages();
    EXPECT_EQ(WinTesting::ScheduledSteps(), 0u);
    main->Free();
    return seen;
  }
};

}  // namespace

TEST_F(Dialogs_, QueuedAnswerIsGivenByTheShownDialog) {
  std::vector<std::string> seen;
  int observer = win_internal::AddWindowObserver([&](const win_internal::TWindowNotice& n) {
    if (n.Event == win_internal::TWindowEvent::Shown) seen.push_back(GetClassName(n.Hwnd));
  });
  PushMessageDlgAnswer(mrYes);
  EXPECT_EQ(MessageDlg("Delete record?", mtConfirmation, mbYesNoCancel, 0), mrYes);
  win_internal::RemoveWindowObserver(observer);
  EXPECT_NE(std::find(seen.begin(), seen.end(), "TMessageForm"), seen.end());
  EXPECT_EQ(Screen->FormCount(), 0);  // freed afterwards
}

TEST_F(Dialogs_, AnswererAnswersWithoutADialogUnlessItPasses) {
  int shown = 0;
  int observer = win_internal::AddWindowObserver([&](const win_internal::TWindowNotice& n) {
    if (n.Event == win_internal::TWindowEvent::Shown && GetClassName(n.Hwnd) == "TMessageForm") ++shown;
  });
  std::vector<std::string> asked;
  SetMessageDlgAnswerer([&](const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons) {
    asked.push_back(Msg + "|" + std::to_string(DlgType) + "|" + std::to_string(Buttons.Contains(mbAll)));
    return Msg == "pass" ? mrNone : mrAll;
  });
  PushMessageDlgAnswer(mrNo);
  struct Case {
    const char* msg;
    TModalResult answer;
    int shownAfter;
  } cases[] = {
      {"Ignore the error?", mrAll, 0},  // answered: no dialog
      {"pass", mrNo, 1},                // passed on: the dialog shows and the queue answers
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.msg);
    EXPECT_EQ(MessageDlg(c.msg, mtError, TMsgDlgButtons{mbYes, mbNo, mbAll}, 0), c.answer);
    EXPECT_EQ(shown, c.shownAfter);
  }
  EXPECT_EQ(asked, (std::vector<std::string>{"Ignore the error?|1|1", "pass|1|1"}));
  ClearMessageDlgAnswers();
  PushMessageDlgAnswer(mrCancel);
  EXPECT_EQ(MessageDlg("Ignore the error?", mtError, mbOKCancel, 0), mrCancel);  // dropped
  EXPECT_EQ(asked.size(), 2u);
  EXPECT_EQ(shown, 2);
  win_internal::RemoveWindowObserver(observer);
  EXPECT_EQ(Screen->FormCount(), 0);
}

TEST_F(Dialogs_, ScriptSeesTheDialogAndMayClickIt) {
  struct Case {
    TMsgDlgType type;
    TMsgDlgButtons buttons;
    const char* caption;
    const char* click;
    TModalResult result;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {mtConfirmation, mbYesNoCancel, "Confirm", "No", mrNo, {"Yes", "No", "Cancel"}},
      {mtWarning, TMsgDlgButtons{mbYes, mbNo, mbAll}, "Warning", "All", mrAll, {"Yes", "No", "All"}},
      {mtError, TMsgDlgButtons{mbOK}, "Error", "OK", mrOk, {"OK"}},
      {mtInformation, mbAbortRetryIgnore, "Information", "Retry", mrRetry, {"Abort", "Retry", "Ignore"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    std::string caption, text, className;
    std::vector<std::string> names;
    SetMessageDlgScript([&](TMessageForm& d) {
      caption = d.Caption();
      className = d.ClassName();
      auto* label = dynamic_cast<TLabel*>(d.FindComponent("Message"));
      text = label ? label->Caption() : "";
      for (int i = 0; i < d.ComponentCount(); ++i)
        if (auto* b = dynamic_cast<TButton*>(d.Components(i))) names.push_back(b->Name());
      auto* target = dynamic_cast<TButton*>(d.FindComponent(c.click));
      EXPECT_NE(target, nullptr);
      if (target) WinTesting::Click(target->ClientToScreen(TPoint{10, 10}));
      return mrNone;  // the click decides
    });
    EXPECT_EQ(MessageDlg("清除选择的单元？", c.type, c.buttons, 0), c.result);
    EXPECT_EQ(caption, c.caption);
    EXPECT_EQ(className, "TMessageForm");
    EXPECT_EQ(text, "清除选择的单元？");
    EXPECT_EQ(names, c.names);
    ClearMessageDlgAnswers();
  }
}

TEST_F(Dialogs_, ButtonCaptionsDefaultAndCancel) {
  TForm* d = CreateMessageDialog("Delete All records?", mtCustom,
                                 TMsgDlgButtons{mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore,
                                                mbAll, mbNoToAll, mbYesToAll, mbHelp});
  const std::pair<const char*, const char*> captions[] = {{"Yes", "&Yes"},
                                                          {"No", "&No"},
                                                          {"OK", "OK"},
                                                          {"Cancel", "Cancel"},
                                                          {"Abort", "&Abort"},
                                                          {"Retry", "&Retry"},
                                                          {"Ignore", "&Ignore"},
                                                          {"All", "&All"},
                                                          {"NoToAll", "N&o to All"},
                                                          {"YesToAll", "Yes to &All"},
                                                          {"Help", "&Help"}};
  for (const auto& [name, caption] : captions) {
    SCOPED_TRACE(name);
    auto* b = dynamic_cast<TButton*>(d->FindComponent(name));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Caption(), caption);
  }
  EXPECT_TRUE(dynamic_cast<TButton*>(d->FindComponent("OK"))->Default());
  EXPECT_TRUE(dynamic_cast<TButton*>(d->FindComponent("Cancel"))->Cancel());
  EXPECT_EQ(d->Caption(), Application->Title());  // mtCustom
  EXPECT_EQ(d->BorderStyle(), bsDialog);
  d->Free();
}

TEST_F(Dialogs_, EscapeAndEnterAnswerTheCancelAndDefaultButtons) {
  struct Case {
    int key;
    TMsgDlgButtons buttons;
    TModalResult result;
  };
  const Case cases[] = {
      {VK_ESCAPE, mbYesNoCancel, mrCancel},
      {VK_ESCAPE, TMsgDlgButtons{mbYes, mbNo}, mrNo},
      {VK_RETURN, mbOKCancel, mrOk},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    WinTesting::Schedule([&] { WinTesting::KeyPress(c.key); });
    EXPECT_EQ(MessageDlg("Delete %d selected records?", mtConfirmation, c.buttons, 0), c.result);
  }
}

TEST_F(Dialogs_, TheDialogIsSizedFromItsTextAndButtonsAndNeverScrolls) {
  struct Case {
    const char* id;
    std::string text;
    TMsgDlgButtons buttons;
    TRect label;             // the text at the margin, as large as it draws
    TSize client;            // margin, text, gap, buttons, margin
    std::vector<TRect> row;  // the buttons, centred under the text
  };
  // The test font: 7 px a character (14 for a wide one), 13 px a line; text wraps at 420 px.
  const std::string words =
      "abcdef abcdef abcdef abcdef abcdef abcdef abcdef abcdef abcdef abcdef abcdef abcdef";
  const Case cases[] = {
      {"short", "Hi", TMsgDlgButtons{mbOK}, {8, 8, 22, 21}, {91, 66}, {{8, 33, 83, 58}}},
      {"long", words, TMsgDlgButtons{mbOK}, {8, 8, 393, 34}, {401, 79}, {{163, 46, 238, 71}}},
      {"lines",
       "Line one\nLine two is longer",
       TMsgDlgButtons{mbOK},
       {8, 8, 134, 34},
       {142, 79},
       {{33, 46, 108, 71}}},
      {"chinese",
       "清除选择的单元？",
       mbYesNoCancel,
       {8, 8, 120, 21},
       {257, 66},
       {{8, 33, 83, 58}, {91, 33, 166, 58}, {174, 33, 249, 58}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const TSeen seen = OpenByClick(c.text, c.buttons);
    EXPECT_EQ(seen.ClassName, "TMessageForm");
    EXPECT_EQ(seen.Client, (TRect{0, 0, c.client.cx, c.client.cy}));
    EXPECT_EQ(seen.Label, c.label);
    EXPECT_EQ(seen.Buttons, c.row);
    EXPECT_EQ(seen.Style & (WS_HSCROLL | WS_VSCROLL), 0u);
    EXPECT_FALSE(seen.ScrollBarsVisible);
    // A dialog frame (3 px) and a caption (19 px) around the client, centred on the screen.
    EXPECT_EQ(seen.Window.Width(), c.client.cx + 6);
    EXPECT_EQ(seen.Window.Height(), c.client.cy + 6 + 19);
    EXPECT_EQ(seen.Window.Left, (1920 - seen.Window.Width()) / 2);
    EXPECT_EQ(seen.Window.Top, (1080 - seen.Window.Height()) / 2);
  }
}

TEST_F(Dialogs_, TheDialogIsCentredOnTheScreenTheDisplayReports) {
  struct Case {
    const char* id;
    int width, height;
    TPoint topLeft;  // of the 97 x 91 window "Hi" makes
  };
  const Case cases[] = {
      {"xvfb", 1280, 1024, {591, 466}},
      {"small", 1024, 768, {463, 338}},
      {"wide", 2560, 1080, {1231, 494}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    ASSERT_TRUE(SetDisplayGeometry(c.width, c.height, RECT{0, 0, c.width, c.height - 30}));
    EXPECT_EQ(Screen->Width(), c.width);
    EXPECT_EQ(Screen->Height(), c.height);
    EXPECT_EQ(Screen->WorkAreaRect(), (TRect{0, 0, c.width, c.height - 30}));
    const TSeen seen = OpenByClick("Hi", TMsgDlgButtons{mbOK});
    EXPECT_EQ(seen.Window, (TRect{c.topLeft.X, c.topLeft.Y, c.topLeft.X + 97, c.topLeft.Y + 91}));
  }
}

// Each kind but mtCustom shows its system icon left of the text, drawn over the dialog's face as
// the icon draws anywhere; the text and the buttons make room for it.
TEST_F(Dialogs_, EachKindShowsTheIconOfItsKind) {
  struct Case {
    TMsgDlgType type;
    int icon;  // 0: none
    TRect label;
    TSize client;
  };
  const Case cases[] = {
      {mtWarning, IDI_EXCLAMATION, {52, 8, 66, 21}, {91, 85}},
      {mtError, IDI_HAND, {52, 8, 66, 21}, {91, 85}},
      {mtInformation, IDI_ASTERISK, {52, 8, 66, 21}, {91, 85}},
      {mtConfirmation, IDI_QUESTION, {52, 8, 66, 21}, {91, 85}},
      {mtCustom, 0, {8, 8, 22, 21}, {91, 66}},
  };
  // The icon drawn on a canvas of the dialog's colour: what the dialog must show.
  const auto onFace = [](int Icon, TColor Face) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf32bit);
    bitmap.SetSize(32, 32);
    bitmap.Canvas()->Brush()->SetColor(Face);
    bitmap.Canvas()->FillRect(TRect{0, 0, 32, 32});
    HICON icon = LoadIcon(nullptr, Icon);
    DrawIconEx(bitmap.Canvas()->Handle(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    DestroyIcon(icon);
    std::vector<TColor> pixels;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) pixels.push_back(bitmap.Canvas()->Pixels(x, y));
    return pixels;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    TForm* d = CreateMessageDialog("Hi", c.type, TMsgDlgButtons{mbOK});
    d->Show();
    Application->ProcessMessages();
    auto* image = dynamic_cast<TImage*>(d->FindComponent("Image"));
    EXPECT_EQ(image != nullptr, c.icon != 0);
    EXPECT_EQ(dynamic_cast<TLabel*>(d->FindComponent("Message"))->BoundsRect(), c.label);
    EXPECT_EQ(d->ClientRect(), (TRect{0, 0, c.client.cx, c.client.cy}));
    if (image) {
      EXPECT_EQ(image->BoundsRect(), (TRect{8, 8, 40, 40}));
      const test_support::TWindowPixels shown = test_support::CaptureWindowPixels(d->Handle());
      RECT window{};
      GetWindowRect(d->Handle(), &window);
      const TPoint origin = d->ClientOrigin();
      const TPoint at{origin.X + 8 - window.Left, origin.Y + 8 - window.Top};
      std::vector<TColor> pixels;
      for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
          const uint32_t p = shown.Pixels[static_cast<size_t>((at.Y + y) * shown.Width + at.X + x)];
          pixels.push_back(TColor(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF)));
        }
      EXPECT_TRUE(pixels == onFace(c.icon, ColorToRGB(d->Color()))) << "not the icon of its kind";
    }
    d->Free();
  }
}

// The titles and button captions come from the program's table: English until it sets its own,
// English again after a reset. mtCustom keeps the application's title.
TEST_F(Dialogs_, TitlesAndButtonCaptionsFollowTheProgramsLanguage) {
  const TMsgDlgButtons all{mbYes,    mbNo,  mbOK,      mbCancel,   mbAbort, mbRetry,
                           mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp};
  struct Button {
    TMsgDlgBtn kind;
    const char* name;
    const char* caption;
  };
  const Button buttons[] = {
      {mbYes, "Yes", "是(&Y)"},
      {mbNo, "No", "否(&N)"},
      {mbOK, "OK", "确定"},
      {mbCancel, "Cancel", "取消"},
      {mbAbort, "Abort", "中止(&A)"},
      {mbRetry, "Retry", "重试(&R)"},
      {mbIgnore, "Ignore", "忽略(&I)"},
      {mbAll, "All", "全部(&A)"},
      {mbNoToAll, "NoToAll", "全否(&O)"},
      {mbYesToAll, "YesToAll", "全是(&L)"},
      {mbHelp, "Help", "帮助(&H)"},
  };
  const std::pair<TMsgDlgType, const char*> titles[] = {
      {mtWarning, "警告"}, {mtError, "错误"}, {mtInformation, "信息"}, {mtConfirmation, "确认"}};
  // Every caption and title a dialog of each type shows, in order.
  const auto shown = [&] {
    std::vector<std::string> words;
    for (TMsgDlgType type : {mtWarning, mtError, mtInformation, mtConfirmation, mtCustom}) {
      TForm* d = CreateMessageDialog("Hi", type, all);
      words.push_back(d->Caption());
      for (const Button& b : buttons)
        words.push_back(dynamic_cast<TButton*>(d->FindComponent(b.name))->Caption());
      d->Free();
    }
    return words;
  };
  const std::vector<std::string> english = shown();
  EXPECT_EQ(english.front(), "Warning");
  EXPECT_EQ(english.at(1), "&Yes");
  for (const Button& b : buttons) SetMsgDlgButtonCaption(b.kind, b.caption);
  for (const auto& [type, title] : titles) SetMsgDlgTitle(type, title);
  SetMsgDlgTitle(mtCustom, "ignored");
  EXPECT_EQ(MsgDlgTitle(mtCustom), "");
  std::vector<std::string> chinese;
  for (const auto& [type, title] : titles) {
    chinese.push_back(title);
    for (const Button& b : buttons) chinese.push_back(b.caption);
  }
  chinese.push_back(Application->Title());
  for (const Button& b : buttons) chinese.push_back(b.caption);
  EXPECT_EQ(shown(), chinese);
  ResetMsgDlgTexts();
  EXPECT_EQ(shown(), english);
}
