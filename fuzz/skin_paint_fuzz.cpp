// A mutated skin, packed by our compressor, applied headless to a form with a five-item menu bar
// and an active caption component, then to a dialog box "#32770": each window is attached,
// activated, painted, resized twice, deactivated, has its system menu opened and closed by
// script, and is detached. A skin sets window geometry, so no skin may make a window larger
// than the screen or paint outside a bitmap; a sanitizer report or a crash is a finding.
//
// Input: entries back to back, each a name length (1 byte), the name, a data length (3 bytes,
// little-endian; cut to what is left) and the data. Seeds are our skins, unpacked.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/rtl/Clock.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Display.h"
#include "platform/win/MessageBox.h"
#include "platform/win/WinTesting.h"
#include "skin/SkinCaption.h"
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

TForm* MenuForm() {
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
  auto* button = new TButton(form);
  button->SetParent(form);
  button->SetCaption("OK");
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
  CreateWindowEx(0, "Button", "OK", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 10, 40, 80, 24, box, nullptr,
                 MainInstance(), nullptr);
  ShowWindow(box, SW_SHOW);
  return box;
}

void Run(const std::string& Skin) {
  auto data = std::make_unique<TSkinData>(nullptr);
  data->SkinStream()->WriteBuffer(Skin.data(), static_cast<int64_t>(Skin.size()));
  if (!data->LoadSkin()) return;
  data->SetSkinControls({xcMainMenu, xcSystemMenu});
  data->SetActive(true);
  data->Loaded();
  TForm* form = MenuForm();
  form->Show();
  const HWND other = CreateWindowEx(0, "Static", "other", WS_POPUP | WS_VISIBLE, 600, 600, 50, 50, nullptr,
                                    nullptr, MainInstance(), nullptr);
  Exercise(form->Handle(), other);
  Exercise(DialogBox(), other);
  // Detach: the manager takes the skin off every window.
  data->SetActive(false);
  Pump(kActionWait);
  delete form;
  data.reset();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxInput) return 0;
  std::string skin;
  try {
    skin = PackSkin(ParseEntries(data, size), TLzhPackMode::Literal);
  } catch (const ESkinPackError&) {
    return 0;  // names our packer cannot write
  }
  ResetVcl();
  InitWinSkinDataUnit();
  InitWinSkinFormUnit();
  InitSkinCaptionUnit();
  SetMessageBoxScript([](const std::string&, const std::string&, UINT) { return IDOK; });
  Application->OnException = [](TObject*, const Exception&) {};
  try {
    Run(skin);
  } catch (const Exception&) {
    // a refusal of the class library is the skin's right; a crash is not
  }
  DestroySkinManage();
  FinalizeSkinCaptionUnit();
  FinalizeWinSkinFormUnit();
  ResetVcl();
  return 0;
}
