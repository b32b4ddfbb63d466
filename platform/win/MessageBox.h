#pragma once
// MessageBox: a real dialog window of class "#32770" (module "user32") with a "Static" text and
// "Button" children, and for an MB_ICON* type a "Static" (SS_ICON, id 20) holding the system
// icon of that kind (IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION, IDI_ASTERISK) left of the text;
// owned by the given window or else the active one, centred on its owner,
// which stays disabled while the box's modal loop runs. Enter answers the default button,
// Escape the cancel answer (IDCANCEL, or IDOK for a lone OK button).
//
// Scripted answers: when an answer is queued or a script is set, the box is still built and
// shown (hooks see it) and then answers at once instead of waiting for input.
#include <functional>
#include <string>

#include "platform/win/Windows.h"

constexpr UINT MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_ABORTRETRYIGNORE = 0x2, MB_YESNOCANCEL = 0x3,
               MB_YESNO = 0x4, MB_RETRYCANCEL = 0x5, MB_CANCELTRYCONTINUE = 0x6, MB_TYPEMASK = 0xF,
               MB_ICONHAND = 0x10, MB_ICONERROR = 0x10, MB_ICONSTOP = 0x10, MB_ICONQUESTION = 0x20,
               MB_ICONEXCLAMATION = 0x30, MB_ICONWARNING = 0x30, MB_ICONASTERISK = 0x40,
               MB_ICONINFORMATION = 0x40, MB_ICONMASK = 0xF0, MB_DEFBUTTON1 = 0x0, MB_DEFBUTTON2 = 0x100,
               MB_DEFBUTTON3 = 0x200, MB_DEFBUTTON4 = 0x300, MB_DEFMASK = 0xF00, MB_APPLMODAL = 0x0,
               MB_SYSTEMMODAL = 0x1000, MB_TASKMODAL = 0x2000, MB_HELP = 0x4000, MB_SETFOREGROUND = 0x10000,
               MB_TOPMOST = 0x40000, MB_RIGHT = 0x80000;

constexpr int IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7,
              IDCLOSE = 8, IDHELP = 9, IDTRYAGAIN = 10, IDCONTINUE = 11;

// Answers the id of the button chosen; 0 when the box could not be shown or WM_QUIT ended it.
int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type);

// The captions of the buttons by answer id (IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES,
// IDNO, IDTRYAGAIN, IDCONTINUE): English until a program sets its language's. Other ids are
// ignored and read as "".
void SetMessageBoxButtonCaption(int Id, const std::string& Caption);
std::string MessageBoxButtonCaption(int Id);
void ResetMessageBoxButtonCaptions();

// Test answers. The queue is used first; the script sees caption, text and type. An empty
// script or ClearMessageBoxAnswers goes back to waiting for input.
using TMessageBoxScript = std::function<int(const std::string& caption, const std::string& text, UINT type)>;
void SetMessageBoxScript(TMessageBoxScript script);
void PushMessageBoxAnswer(int id);
void ClearMessageBoxAnswers();
