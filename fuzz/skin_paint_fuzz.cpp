// A mutated skin, packed by our compressor, applied headless to one of three windows: a form with
// a five-item menu bar, an active caption component and one control of each kind the button and
// state skinners serve; a form of scrolling, combo, edit, tab and range controls (a list box and a
// memo under scroll overlays, a scroll-bar control, combo boxes of the three styles, edits with
// and without a border, a page control on each side, a header, a track bar, an up-down and
// progress bars of both orientations); or a dialog box "#32770" with its buttons. The window is
// attached, activated, painted, resized twice, deactivated, has its system menu opened and closed
// by script, and is detached. One of its controls, picked by the input, is painted normal, hot,
// pressed (not on the second form: a press there would open drop-downs or start tracking loops)
// and focused, then every control disabled and enabled again; on the second form the list box's
// lower scroll arrow is clicked through the real bar's tracking loop.
// A skin sets window geometry and the frames of the control pictures, so no skin may make a
// window larger than the screen or paint outside a bitmap; a sanitizer report or a crash is a
// finding.
//
// Input: one byte, the window (byte % 3) and the control (byte / 3, modulo the window's count);
// then entries back to back, each a name length (1 byte), the name, a data length (3 bytes,
// little-endian; cut to what is left) and the data. Seeds are our skins, unpacked. One window
// and one control an input keep a run short enough to explore.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Clock.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/MPlayer.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Display.h"
#include "platform/win/Input.h"
#include "platform/win/MessageBox.h"
#include "platform/win/WinTesting.h"
#include "skin/SkinCaption.h"
#include "skin/WinSkinChildren.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinManage.h"
#include "tools/skinpack/SkinPacker.h"

namespace {

constexpr size_t kMaxInput = 512 * 1024;
constexpr uint32_t kActionWait = 260;  // the manager applies an activation after 250 ms

TSkinEntries ParseEntries(const uint8_t* Data, size_t Size) {
  TSkinEntries entries;
  size_t at = 0;
  while (at < Size) {
    const size_t declared = Data[at++];
    const size_t nameLength = std::min(declared, Size - at);
    std::string name(reinterpret_cast<const char*>(Data + at), nameLength);
    at += nameLength;
    size_t length = 0;
    for (int i = 0; i < 3 && at < Size; ++i) length |= size_t{Data[at++]} << (8 * i);
    length = std::min(length, Size - at);
    entries.emplace_back(std::move(name), std::string(reinterpret_cast<const char*>(Data + at), length));
    at += length;
  }
  return entries;
}

// Lets Ms of virtual time pass (timers due fire once), then the caption poll's 10 ms.
void Pump(uint32_t Ms) {
  VirtualClock::Advance(Ms);
  Application->ProcessMessages();
  VirtualClock::Advance(10);
  Application->ProcessMessages();
}

// Every step of one skinned window's life that a skin's geometry reaches.
void Exercise(HWND Window, HWND Other) {
  SetActiveWindow(Window);
  Pump(kActionWait);
  RedrawWindow(Window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  RECT r{};
  GetWindowRect(Window, &r);
  SetWindowPos(Window, nullptr, 0, 0, r.Width() + 37, r.Height() + 23, SWP_NOMOVE | SWP_NOZORDER);
  Application->ProcessMessages();
  SetWindowPos(Window, nullptr, 0, 0, std::max(r.Width() - 61, 1), std::max(r.Height() - 45, 1),
               SWP_NOMOVE | SWP_NOZORDER);
  Application->ProcessMessages();
  SetActiveWindow(Other);
  Application->ProcessMessages();
  SetActiveWindow(Window);
  Application->ProcessMessages();
  // Alt+Space: the system menu, closed by Escape once its loop waits. Past the double-click
  // time, so that it is not taken for a second click on the icon.
  VirtualClock::Advance(1000);
  WinTesting::Schedule([] { WinTesting::KeyPress(VK_ESCAPE); });
  SendMessage(Window, WM_SYSCOMMAND, SC_KEYMENU, ' ');
  Application->ProcessMessages();
}

// Where the mouse goes between presses: the screen's far corner, over no window of ours.
constexpr POINT kAway{1000, 700};
// Past the double-click time, so that two presses are never taken for a double click.
constexpr uint32_t kPressGap = 600;

// Invalidates Window and its children and lets the queue deliver their paint.
void PaintThrough(HWND Window) {
  RedrawWindow(Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  Application->ProcessMessages();
}

// The hot and the pressed look at the screen point At, painted through the queue; the press
// is released away from it, so nothing is clicked.
void HotAndPressed(HWND Window, POINT At) {
  VirtualClock::Advance(kPressGap);
  Input::MouseMove(At);
  Application->ProcessMessages();
  PaintThrough(Window);
  Input::MouseDown(VK_LBUTTON, At);
  Application->ProcessMessages();
  PaintThrough(Window);
  Input::MouseMove(kAway);
  Input::MouseUp(VK_LBUTTON, kAway);
  Application->ProcessMessages();
}

// The hot look at the screen point At, painted through the queue.
void Hot(HWND Window, POINT At) {
  Input::MouseMove(At);
  Application->ProcessMessages();
  PaintThrough(Window);
  Input::MouseMove(kAway);
  Application->ProcessMessages();
}

// The picked control hot, pressed (with Press) and focused, then all of them disabled, then
// enabled again.
void ExerciseStates(TForm* Form, const std::vector<TControl*>& Controls, size_t Pick, bool Press = true) {
  PaintThrough(Form->Handle());
  if (!Controls.empty()) {
    TControl* control = Controls[Pick % Controls.size()];
    auto* windowed = dynamic_cast<TWinControl*>(control);
    const HWND window = windowed ? windowed->Handle() : control->Parent()->Handle();
    const POINT centre = control->ClientToScreen(Point(control->Width() / 2, control->Height() / 2));
    if (Press)
      HotAndPressed(window, centre);
    else
      Hot(window, centre);
    if (windowed && windowed->CanFocus()) {
      windowed->SetFocus();
      PaintThrough(window);
    }
  }
  for (TControl* control : Controls) control->SetEnabled(false);
  PaintThrough(Form->Handle());
  for (TControl* control : Controls) control->SetEnabled(true);
  PaintThrough(Form->Handle());
}

// The same for the child windows of a bare window.
void ExerciseStates(HWND Window, size_t Pick) {
  PaintThrough(Window);
  std::vector<HWND> children;
  for (HWND child = GetWindow(Window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  if (!children.empty()) {
    const HWND child = children[Pick % children.size()];
    RECT r{};
    GetWindowRect(child, &r);
    HotAndPressed(child, POINT{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    SetFocus(child);
    PaintThrough(child);
  }
  for (HWND child : children) EnableWindow(child, FALSE);
  PaintThrough(Window);
  for (HWND child : children) EnableWindow(child, TRUE);
  PaintThrough(Window);
}

template <class T>
T* Place(TWinControl* Parent, std::vector<TControl*>& Controls, int X, int Y, int W, int H) {
  auto* control = new T(Parent);
  control->SetParent(Parent);
  control->SetBounds(X, Y, W, H);
  Controls.push_back(control);
  return control;
}

// One control of each kind the control skinners serve.
void PlaceControls(TForm* Form, std::vector<TControl*>& Controls) {
  auto* status = Place<TStatusBar>(Form, Controls, 0, 0, 100, 20);
  status->SetAlign(alBottom);
  for (const char* text : {"Ready", ""}) status->Panels()->Add()->SetText(text);
  status->Panels()->Items(1)->SetStyle(psOwnerDraw);
  status->OnDrawPanel = [](TStatusBar* Bar, TStatusPanel*, const TRect& R) { Bar->Canvas()->FillRect(R); };
  auto* panel = Place<TPanel>(Form, Controls, 8, 8, 200, 36);
  panel->SetCaption("Tools");
  auto* speed = Place<TSpeedButton>(panel, Controls, 4, 4, 28, 28);
  const std::unique_ptr<TBitmap> glyph = BitBtnGlyph(bkCancel);
  speed->SetGlyph(glyph.get());
  Place<TButton>(Form, Controls, 8, 52, 80, 24)->SetCaption("OK");
  Place<TBitBtn>(Form, Controls, 96, 52, 80, 24)->SetKind(bkOK);
  auto* check = Place<TCheckBox>(Form, Controls, 8, 84, 100, 20);
  check->SetCaption("Posted");
  check->SetAllowGrayed(true);
  check->SetState(cbGrayed);
  auto* box = Place<TGroupBox>(Form, Controls, 216, 8, 200, 60);
  box->SetCaption("Kind");
  Place<TRadioButton>(box, Controls, 8, 20, 80, 20)->SetCaption("Income");
  auto* group = Place<TRadioGroup>(Form, Controls, 216, 72, 200, 60);
  group->SetCaption("Period");
  for (const char* item : {"Month", "Year"}) group->Items()->Add(item);
  group->SetItemIndex(1);
  Place<TMediaPlayer>(Form, Controls, 8, 140, 260, 30);
}

// One control of each kind the scrolling, combo, edit, tab and range skinners serve.
TForm* RangeForm(std::vector<TControl*>& Controls, TListBox*& List) {
  auto* form = new TForm(Application, 0);
  form->SetCaption("Accounts");
  form->SetBounds(60, 60, 640, 480);
  List = Place<TListBox>(form, Controls, 8, 8, 120, 100);
  auto* memo = Place<TMemo>(form, Controls, 136, 8, 120, 100);
  memo->SetScrollBars(ssBoth);
  for (int i = 0; i < 40; ++i) {
    List->Items()->Add("Row " + std::to_string(i));
    memo->Lines()->Add("A rather long line of the memo, number " + std::to_string(i));
  }
  auto* bar = Place<TScrollBar>(form, Controls, 264, 8, 160, 18);
  bar->SetParams(4, 0, 20);
  bar->SetPageSize(5);
  for (int i = 0; const TComboBoxStyle style : {csDropDown, csSimple, csDropDownList}) {
    auto* combo = Place<TComboBox>(form, Controls, 264, 32 + 30 * i++, 120, style == csSimple ? 60 : 24);
    combo->SetStyle(style);
    for (const char* item : {"Cash", "Bank", "Card", "Loan", "Other"}) combo->Items()->Add(item);
    combo->SetItemIndex(1);
  }
  Place<TEdit>(form, Controls, 432, 8, 100, 22)->SetText("Amount");
  auto* bare = Place<TEdit>(form, Controls, 432, 36, 100, 22);
  bare->SetBorderStyle(bsNone);
  bare->SetText("Note");
  for (int i = 0; const TTabPosition side : {tpTop, tpBottom, tpLeft, tpRight}) {
    auto* pages = Place<TPageControl>(form, Controls, 8 + 150 * i++, 160, 140, 110);
    pages->SetTabPosition(side);
    for (const char* caption : {"Income", "Costs"}) {
      auto* sheet = new TTabSheet(form);
      sheet->SetPageControl(pages);
      sheet->SetCaption(caption);
    }
  }
  auto* header = Place<THeaderControl>(form, Controls, 8, 280, 300, 22);
  for (const char* text : {"Date", "Account", "Sum"}) {
    THeaderSection* section = header->Sections()->Add();
    section->SetText(text);
    section->SetWidth(90);
  }
  auto* track = Place<TTrackBar>(form, Controls, 8, 310, 200, 30);
  track->SetParams(3, 0, 10);
  auto* upDown = Place<TUpDown>(form, Controls, 216, 310, 18, 30);
  upDown->SetMax(10);
  for (int i = 0; const TProgressBarOrientation orientation : {pbHorizontal, pbVertical}) {
    auto* progress = Place<TProgressBar>(form, Controls, 250 + 200 * i, 310, i ? 20 : 180, i ? 120 : 20);
    progress->SetOrientation(orientation);
    progress->SetSmooth(i++ == 1);
    progress->SetPosition(60);
  }
  return form;
}

// A click on the list's lower scroll arrow, where an overlay may lie over the real bar: the press
// reaches the bar, whose tracking loop returns when the scheduled release comes.
void ClickLowerArrow(HWND List) {
  SCROLLBARINFO info{};
  info.cbSize = sizeof(info);
  if (!GetScrollBarInfo(List, OBJID_VSCROLL, &info) ||
      (info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE)) != 0 ||
      info.rcScrollBar.Bottom - info.rcScrollBar.Top < 4)
    return;
  const POINT at{(info.rcScrollBar.Left + info.rcScrollBar.Right) / 2, info.rcScrollBar.Bottom - 2};
  VirtualClock::Advance(kPressGap);
  Input::MouseMove(at);
  Application->ProcessMessages();
  WinTesting::Schedule([at] { Input::MouseUp(VK_LBUTTON, at); }, 120);
  Input::MouseDown(VK_LBUTTON, at);
  Application->ProcessMessages();
  // A press no loop took leaves its release waiting: a wait delivers it.
  while (WinTesting::ScheduledSteps() > 0) {
    WaitMessage();
    Application->ProcessMessages();
  }
  Input::MouseMove(kAway);
  PaintThrough(List);
}

TForm* MenuForm(std::vector<TControl*>& Controls) {
  auto* form = new TForm(Application, 0);
  form->SetCaption("Ledger of the year");
  form->SetBounds(40, 40, 480, 320);
  auto* menu = new TMainMenu(form);
  for (const char* caption : {"&File", "&Edit", "&View", "&Window", "&Help"}) {
    auto* top = new TMenuItem(menu);
    top->SetCaption(caption);
    menu->Items()->Add(top);
    auto* item = new TMenuItem(menu);
    item->SetCaption("Item");
    top->Add(item);
  }
  form->SetMenu(menu);
  auto* caption = new TSkinCaption(form);
  caption->SetActive(true);
  PlaceControls(form, Controls);
  return form;
}

HWND DialogBox() {
  // The system's box (answered by script at once) registers the dialog class.
  MessageBox(nullptr, "Clear the note?", "Question", MB_OKCANCEL | MB_ICONQUESTION);
  const HWND box = CreateWindowEx(WS_EX_DLGMODALFRAME, "#32770", "Question",
                                  WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 200, 200, 300, 140,
                                  Application->Handle(), nullptr, MainInstance(), nullptr);
  CreateWindowEx(0, "Static", "Clear the note?", WS_CHILD | WS_VISIBLE, 10, 10, 200, 20, box, nullptr,
                 MainInstance(), nullptr);
  struct TBoxButton {
    const char* Text;
    DWORD Style;
  };
  for (int i = 0;
       const TBoxButton& b : {TBoxButton{"OK", BS_DEFPUSHBUTTON}, TBoxButton{"Cancel", BS_PUSHBUTTON},
                              TBoxButton{"Again", BS_AUTOCHECKBOX}, TBoxButton{"All", BS_AUTORADIOBUTTON},
                              TBoxButton{"Scope", BS_GROUPBOX}})
    CreateWindowEx(0, "Button", b.Text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | b.Style, 10 + 56 * i++, 40, 52,
                   24, box, nullptr, MainInstance(), nullptr);
  ShowWindow(box, SW_SHOW);
  return box;
}

// The windows an input may pick.
enum TWindowPick { wpMenuForm, wpRangeForm, wpDialogBox, kWindowPicks };

void Run(const std::string& Skin, TWindowPick Window, size_t Control) {
  auto data = std::make_unique<TSkinData>(nullptr);
  data->SkinStream()->WriteBuffer(Skin.data(), static_cast<int64_t>(Skin.size()));
  if (!data->LoadSkin()) return;
  data->SetSkinControls({xcMainMenu, xcSystemMenu, xcButton, xcBitBtn, xcSpeedButton, xcCheckBox,
                         xcRadioButton, xcPanel, xcGroupBox, xcStatusBar, xcScrollbar, xcCombo, xcEdit,
                         xcSpin, xcTab, xcTrackBar, xcProgress});
  data->SetActive(true);
  data->Loaded();
  const HWND other = CreateWindowEx(0, "Static", "other", WS_POPUP | WS_VISIBLE, 600, 600, 50, 50, nullptr,
                                    nullptr, MainInstance(), nullptr);
  std::vector<TControl*> controls;
  std::unique_ptr<TForm> form;
  switch (Window) {
    case wpMenuForm:
      form.reset(MenuForm(controls));
      form->Show();
      Exercise(form->Handle(), other);
      ExerciseStates(form.get(), controls, Control);
      break;
    case wpRangeForm: {
      TListBox* list = nullptr;
      form.reset(RangeForm(controls, list));
      form->Show();
      Exercise(form->Handle(), other);
      ExerciseStates(form.get(), controls, Control, false);
      ClickLowerArrow(list->Handle());
      break;
    }
    case wpDialogBox:
    case kWindowPicks: {
      const HWND box = DialogBox();
      Exercise(box, other);
      ExerciseStates(box, Control);
      break;
    }
  }
  // Detach: the manager takes the skin off every window.
  data->SetActive(false);
  Pump(kActionWait);
  form.reset();
  data.reset();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > kMaxInput) return 0;
  const auto window = static_cast<TWindowPick>(data[0] % kWindowPicks);
  const size_t control = data[0] / kWindowPicks;
  std::string skin;
  try {
    skin = PackSkin(ParseEntries(data + 1, size - 1), TLzhPackMode::Literal);
  } catch (const ESkinPackError&) {
    return 0;  // names our packer cannot write
  }
  ResetVcl();
  InitWinSkinDataUnit();
  InitWinSkinFormUnit();
  InitWinSkinChildrenUnit();
  InitSkinCaptionUnit();
  SetMessageBoxScript([](const std::string&, const std::string&, UINT) { return IDOK; });
  Application->OnException = [](TObject*, const Exception&) {};
  try {
    Run(skin, window, control);
  } catch (const Exception&) {
    // a refusal of the class library is the skin's right; a crash is not
  }
  DestroySkinManage();
  FinalizeSkinCaptionUnit();
  FinalizeWinSkinFormUnit();
  ResetVcl();
  return 0;
}
