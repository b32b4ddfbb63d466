// A mutated skin, packed by our compressor, applied headless to one window: a small form holding
// one control, picked by the input, of the kinds the control skinners serve (push, bit and speed
// buttons, check box, radio button, panel, group box, radio group, status bar, media player, a
// list box and a memo under scroll overlays, a scroll-bar control, combo boxes of the three
// styles, edits with and without a border, a page control on each side, a header, a track bar,
// an up-down and progress bars of both orientations), with a five-item menu bar and an active
// caption component when the input asks; or a dialog box "#32770" with its buttons, one of them
// picked. The window is attached, activated and painted, then takes the one step the input
// picks: its frame redrawn; resized twice; deactivated and activated again; its system menu
// opened and closed by script; the picked control painted hot, pressed (not where a press would
// open drop-downs or start tracking loops) and focused; every control disabled and enabled
// again; or the list box's lower scroll arrow clicked through the real bar's tracking loop.
// Then the skin is taken off and the window destroyed, or, when the input asks, the window is
// destroyed under the skin.
// A skin sets window geometry and the frames of the control pictures, so no skin may make a
// window larger than the screen or paint outside a bitmap; a sanitizer report or a crash is a
// finding.
//
// Input: one byte, the window (byte % (kinds + 1): a form with a control of that kind, or the
// dialog box, whose button byte / (kinds + 1) picks); one byte, the step (TStep in the low
// bits) and the flags kDestroyAttached and kMenuAndCaption; then entries back to back, each a
// name length (1 byte), the name, a data length (3 bytes, little-endian; cut to what is left)
// and the data. Seeds are our skins with small pictures, a few sections each, unpacked. One
// window, one control and one step an input keep a run short enough to explore; inputs above
// kMaxInput are skipped.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
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

constexpr size_t kMaxInput = 16 * 1024;
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

// The one step an input picks (the low three bits of its second byte) after the window is attached,
// activated and painted.
enum TStep : uint8_t {
  stNone,
  stFrame,       // the frame redrawn at once
  stResize,      // larger, then smaller
  stActivation,  // deactivated, activated again
  stSystemMenu,  // opened by Alt+Space, closed by Escape
  stStates,      // the picked control hot, pressed and focused
  stEnabling,    // every control disabled, then enabled again
  stArrow,       // the list box's lower scroll arrow clicked
};
// The other bits of the second byte.
constexpr uint8_t kStepMask = 7;
constexpr uint8_t kDestroyAttached = 0x40;  // the window is destroyed under the skin, not after
constexpr uint8_t kMenuAndCaption = 0x80;   // the form wears a menu bar and an active caption component

// Attaches the skin to Window by activating it, then takes Step where it concerns the window
// itself.
void Exercise(HWND Window, HWND Other, TStep Step) {
  SetActiveWindow(Window);
  Pump(kActionWait);
  switch (Step) {
    case stFrame:
      RedrawWindow(Window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
      break;
    case stResize: {
      RECT r{};
      GetWindowRect(Window, &r);
      SetWindowPos(Window, nullptr, 0, 0, r.Width() + 37, r.Height() + 23, SWP_NOMOVE | SWP_NOZORDER);
      Application->ProcessMessages();
      SetWindowPos(Window, nullptr, 0, 0, std::max(r.Width() - 61, 1), std::max(r.Height() - 45, 1),
                   SWP_NOMOVE | SWP_NOZORDER);
      Application->ProcessMessages();
      break;
    }
    case stActivation:
      SetActiveWindow(Other);
      Application->ProcessMessages();
      SetActiveWindow(Window);
      Application->ProcessMessages();
      break;
    case stSystemMenu:
      // Alt+Space: the system menu, closed by Escape once its loop waits. Past the double-click
      // time, so that it is not taken for a second click on the icon.
      VirtualClock::Advance(1000);
      WinTesting::Schedule([] { WinTesting::KeyPress(VK_ESCAPE); });
      SendMessage(Window, WM_SYSCOMMAND, SC_KEYMENU, ' ');
      Application->ProcessMessages();
      break;
    default:
      break;
  }
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

// The hot and, with Press, the pressed look at the screen point At, painted through the queue;
// the press is released away from it, so nothing is clicked.
void HotAndPressed(HWND Window, POINT At, bool Press) {
  VirtualClock::Advance(kPressGap);
  Input::MouseMove(At);
  Application->ProcessMessages();
  PaintThrough(Window);
  if (Press) {
    Input::MouseDown(VK_LBUTTON, At);
    Application->ProcessMessages();
    PaintThrough(Window);
    Input::MouseUp(VK_LBUTTON, kAway);
  }
  Input::MouseMove(kAway);
  Application->ProcessMessages();
}

// The picked control hot, pressed (with Press) and focused.
void ExerciseStates(TControl* Control, bool Press) {
  auto* windowed = dynamic_cast<TWinControl*>(Control);
  const HWND window = windowed ? windowed->Handle() : Control->Parent()->Handle();
  HotAndPressed(window, Control->ClientToScreen(Point(Control->Width() / 2, Control->Height() / 2)), Press);
  if (windowed && windowed->CanFocus()) {
    windowed->SetFocus();
    PaintThrough(window);
  }
}

// Every control disabled, painted, enabled again and painted.
void ExerciseEnabling(TForm* Form, const std::vector<TControl*>& Controls) {
  for (TControl* control : Controls) control->SetEnabled(false);
  PaintThrough(Form->Handle());
  for (TControl* control : Controls) control->SetEnabled(true);
  PaintThrough(Form->Handle());
}

// The same for a child window of a bare window.
void ExerciseStates(HWND Child) {
  RECT r{};
  GetWindowRect(Child, &r);
  HotAndPressed(Child, POINT{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}, true);
  SetFocus(Child);
  PaintThrough(Child);
}

void ExerciseEnabling(HWND Window, const std::vector<HWND>& Children) {
  for (HWND child : Children) EnableWindow(child, FALSE);
  PaintThrough(Window);
  for (HWND child : Children) EnableWindow(child, TRUE);
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

// Where a form's one control goes.
constexpr int kAt = 8;

// One kind of control a form may hold: Place puts it (with any parent it needs) on the form and
// answers the control the states are shown on; Press says whether a press is safe (not where it
// would open a drop-down or start a tracking loop).
struct TControlKind {
  TControl* (*Place)(TForm* Form, std::vector<TControl*>& Controls);
  bool Press;
};

TControl* PlaceStatusBar(TForm* Form, std::vector<TControl*>& Controls) {
  auto* status = Place<TStatusBar>(Form, Controls, 0, 0, 100, 20);
  status->SetAlign(alBottom);
  for (const char* text : {"Ready", ""}) status->Panels()->Add()->SetText(text);
  status->Panels()->Items(1)->SetStyle(psOwnerDraw);
  status->OnDrawPanel = [](TStatusBar* Bar, TStatusPanel*, const TRect& R) { Bar->Canvas()->FillRect(R); };
  return status;
}

TControl* PlaceSpeedButton(TForm* Form, std::vector<TControl*>& Controls) {
  auto* panel = Place<TPanel>(Form, Controls, kAt, kAt, 200, 36);
  panel->SetCaption("Tools");
  auto* speed = Place<TSpeedButton>(panel, Controls, 4, 4, 28, 28);
  const std::unique_ptr<TBitmap> glyph = BitBtnGlyph(bkCancel);
  speed->SetGlyph(glyph.get());
  return speed;
}

TControl* PlaceCheckBox(TForm* Form, std::vector<TControl*>& Controls) {
  auto* check = Place<TCheckBox>(Form, Controls, kAt, kAt, 100, 20);
  check->SetCaption("Posted");
  check->SetAllowGrayed(true);
  check->SetState(cbGrayed);
  return check;
}

TControl* PlaceRadioButton(TForm* Form, std::vector<TControl*>& Controls) {
  auto* box = Place<TGroupBox>(Form, Controls, kAt, kAt, 200, 60);
  box->SetCaption("Kind");
  auto* radio = Place<TRadioButton>(box, Controls, 8, 20, 80, 20);
  radio->SetCaption("Income");
  return radio;
}

TControl* PlaceRadioGroup(TForm* Form, std::vector<TControl*>& Controls) {
  auto* group = Place<TRadioGroup>(Form, Controls, kAt, kAt, 200, 60);
  group->SetCaption("Period");
  for (const char* item : {"Month", "Year"}) group->Items()->Add(item);
  group->SetItemIndex(1);
  return group;
}

TControl* PlaceListBox(TForm* Form, std::vector<TControl*>& Controls) {
  auto* list = Place<TListBox>(Form, Controls, kAt, kAt, 120, 100);
  for (int i = 0; i < 40; ++i) list->Items()->Add("Row " + std::to_string(i));
  return list;
}

TControl* PlaceMemo(TForm* Form, std::vector<TControl*>& Controls) {
  auto* memo = Place<TMemo>(Form, Controls, kAt, kAt, 120, 100);
  memo->SetScrollBars(ssBoth);
  for (int i = 0; i < 40; ++i)
    memo->Lines()->Add("A rather long line of the memo, number " + std::to_string(i));
  return memo;
}

TControl* PlaceScrollBar(TForm* Form, std::vector<TControl*>& Controls) {
  auto* bar = Place<TScrollBar>(Form, Controls, kAt, kAt, 160, 18);
  bar->SetParams(4, 0, 20);
  bar->SetPageSize(5);
  return bar;
}

template <TComboBoxStyle Style>
TControl* PlaceComboBox(TForm* Form, std::vector<TControl*>& Controls) {
  auto* combo = Place<TComboBox>(Form, Controls, kAt, kAt, 120, Style == csSimple ? 60 : 24);
  combo->SetStyle(Style);
  for (const char* item : {"Cash", "Bank", "Card", "Loan", "Other"}) combo->Items()->Add(item);
  combo->SetItemIndex(1);
  return combo;
}

template <TBorderStyle Border>
TControl* PlaceEdit(TForm* Form, std::vector<TControl*>& Controls) {
  auto* edit = Place<TEdit>(Form, Controls, kAt, kAt, 100, 22);
  edit->SetBorderStyle(Border);
  edit->SetText("Amount");
  return edit;
}

template <TTabPosition Side>
TControl* PlacePageControl(TForm* Form, std::vector<TControl*>& Controls) {
  auto* pages = Place<TPageControl>(Form, Controls, kAt, kAt, 140, 110);
  pages->SetTabPosition(Side);
  for (const char* caption : {"Income", "Costs"}) {
    auto* sheet = new TTabSheet(Form);
    sheet->SetPageControl(pages);
    sheet->SetCaption(caption);
  }
  return pages;
}

TControl* PlaceHeader(TForm* Form, std::vector<TControl*>& Controls) {
  auto* header = Place<THeaderControl>(Form, Controls, kAt, kAt, 220, 22);
  for (const char* text : {"Date", "Account", "Sum"}) {
    THeaderSection* section = header->Sections()->Add();
    section->SetText(text);
    section->SetWidth(70);
  }
  return header;
}

TControl* PlaceTrackBar(TForm* Form, std::vector<TControl*>& Controls) {
  auto* track = Place<TTrackBar>(Form, Controls, kAt, kAt, 200, 30);
  track->SetParams(3, 0, 10);
  return track;
}

TControl* PlaceUpDown(TForm* Form, std::vector<TControl*>& Controls) {
  auto* upDown = Place<TUpDown>(Form, Controls, kAt, kAt, 18, 30);
  upDown->SetMax(10);
  return upDown;
}

template <TProgressBarOrientation Orientation>
TControl* PlaceProgressBar(TForm* Form, std::vector<TControl*>& Controls) {
  const bool vertical = Orientation == pbVertical;
  auto* progress = Place<TProgressBar>(Form, Controls, kAt, kAt, vertical ? 20 : 180, vertical ? 120 : 20);
  progress->SetOrientation(Orientation);
  progress->SetSmooth(vertical);
  progress->SetPosition(60);
  return progress;
}

template <class T>
TControl* PlaceCaptioned(TForm* Form, std::vector<TControl*>& Controls) {
  auto* control = Place<T>(Form, Controls, kAt, kAt, 200, 36);
  control->SetCaption("Tools");
  return control;
}

const TControlKind kControlKinds[] = {
    {PlaceStatusBar, true},
    {PlaceSpeedButton, true},
    {PlaceCaptioned<TPanel>, true},
    {[](TForm* Form, std::vector<TControl*>& Controls) -> TControl* {
       auto* button = Place<TButton>(Form, Controls, kAt, kAt, 80, 24);
       button->SetCaption("OK");
       return button;
     },
     true},
    {[](TForm* Form, std::vector<TControl*>& Controls) -> TControl* {
       auto* button = Place<TBitBtn>(Form, Controls, kAt, kAt, 80, 24);
       button->SetKind(bkOK);
       return button;
     },
     true},
    {PlaceCheckBox, true},
    {PlaceCaptioned<TGroupBox>, true},
    {PlaceRadioButton, true},
    {PlaceRadioGroup, true},
    {[](TForm* Form, std::vector<TControl*>& Controls) -> TControl* {
       return Place<TMediaPlayer>(Form, Controls, kAt, kAt, 230, 30);
     },
     true},
    {PlaceListBox, false},
    {PlaceMemo, false},
    {PlaceScrollBar, false},
    {PlaceComboBox<csDropDown>, false},
    {PlaceComboBox<csSimple>, false},
    {PlaceComboBox<csDropDownList>, false},
    {PlaceEdit<bsSingle>, false},
    {PlaceEdit<bsNone>, false},
    {PlacePageControl<tpTop>, false},
    {PlacePageControl<tpBottom>, false},
    {PlacePageControl<tpLeft>, false},
    {PlacePageControl<tpRight>, false},
    {PlaceHeader, false},
    {PlaceTrackBar, false},
    {PlaceUpDown, false},
    {PlaceProgressBar<pbHorizontal>, false},
    {PlaceProgressBar<pbVertical>, false},
};
constexpr size_t kControlKindCount = std::size(kControlKinds);

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

// A small form holding one control of Kind (answered in Picked), with a five-item menu bar and
// an active caption component when Dressed.
TForm* ControlForm(const TControlKind& Kind, bool Dressed, std::vector<TControl*>& Controls,
                   TControl*& Picked) {
  auto* form = new TForm(Application, 0);
  form->SetCaption("Ledger of the year");
  form->SetBounds(40, 40, 250, 170);
  if (Dressed) {
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
  }
  Picked = Kind.Place(form, Controls);
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

// Every input's skin data lives at one address: the menu item painters are kept per data object
// for the program's life, so a fresh address each input would add an entry each input, and
// libFuzzer would take every input for a leak and run it twice more.
alignas(TSkinData) unsigned char gDataSlot[sizeof(TSkinData)];
struct TDestroyInSlot {
  void operator()(TSkinData* Data) const { Data->~TSkinData(); }
};

void Run(const std::string& Skin, size_t Window, size_t Child, uint8_t Steps) {
  const std::unique_ptr<TSkinData, TDestroyInSlot> data(new (gDataSlot) TSkinData(nullptr));
  data->SkinStream()->WriteBuffer(Skin.data(), static_cast<int64_t>(Skin.size()));
  if (!data->LoadSkin()) return;
  data->SetSkinControls({xcMainMenu, xcSystemMenu, xcButton, xcBitBtn, xcSpeedButton, xcCheckBox,
                         xcRadioButton, xcPanel, xcGroupBox, xcStatusBar, xcScrollbar, xcCombo, xcEdit,
                         xcSpin, xcTab, xcTrackBar, xcProgress});
  data->SetActive(true);
  data->Loaded();
  const HWND other = CreateWindowEx(0, "Static", "other", WS_POPUP | WS_VISIBLE, 600, 600, 50, 50, nullptr,
                                    nullptr, MainInstance(), nullptr);
  const auto step = static_cast<TStep>(Steps & kStepMask);
  std::unique_ptr<TForm> form;
  HWND box = nullptr;
  if (Window < kControlKindCount) {
    const TControlKind& kind = kControlKinds[Window];
    std::vector<TControl*> controls;
    TControl* picked = nullptr;
    form.reset(ControlForm(kind, (Steps & kMenuAndCaption) != 0, controls, picked));
    form->Show();
    Exercise(form->Handle(), other, step);
    if (step == stStates) ExerciseStates(picked, kind.Press);
    if (step == stEnabling) ExerciseEnabling(form.get(), controls);
    if (auto* list = dynamic_cast<TListBox*>(picked); list && step == stArrow)
      ClickLowerArrow(list->Handle());
  } else {
    box = DialogBox();
    Exercise(box, other, step);
    std::vector<HWND> children;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      children.push_back(child);
    if (step == stStates && !children.empty()) ExerciseStates(children[Child % children.size()]);
    if (step == stEnabling) ExerciseEnabling(box, children);
  }
  if (Steps & kDestroyAttached) {
    // The window goes while skinned, then the skin data.
    form.reset();
    if (box) DestroyWindow(box);
    Application->ProcessMessages();
    return;
  }
  // Detach: the manager takes the skin off every window.
  data->SetActive(false);
  Pump(kActionWait);
  form.reset();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size > kMaxInput) return 0;
  const size_t window = data[0] % (kControlKindCount + 1);
  const size_t child = data[0] / (kControlKindCount + 1);
  const uint8_t steps = data[1];
  std::string skin;
  try {
    skin = PackSkin(ParseEntries(data + 2, size - 2), TLzhPackMode::Literal);
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
    Run(skin, window, child, steps);
  } catch (const Exception&) {
    // a refusal of the class library is the skin's right; a crash is not
  }
  DestroySkinManage();
  FinalizeSkinCaptionUnit();
  FinalizeWinSkinFormUnit();
  ResetVcl();
  return 0;
}
