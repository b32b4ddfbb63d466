#pragma once
// The raw input path and the event source. Mouse and keyboard events enter the system input
// queue here; the queue turns them into messages as they are retrieved, which is when the key
// state (GetKeyState and friends) changes. The display host feeds real input through these
// functions; tests feed scripted input through the same ones (WinTesting.h adds conveniences).
//
// When a message loop finds nothing to do, it asks the event source (SetEventSource). The
// headless source runs the next scripted step, or else advances the virtual clock to the next
// due timer; when nothing at all can happen it raises EWaitForever instead of hanging.
#include <cstddef>
#include <cstdint>

#include "platform/rtl/Exceptions.h"
#include "platform/win/Windows.h"

class EWaitForever : public Exception {
 public:
  EWaitForever() : Exception("message loop would wait forever") {}
};

// What a message loop waits on. The display host implements it over its display connection.
class IEventSource {
 public:
  virtual ~IEventSource() = default;
  // Nothing can be retrieved. Make something happen (feed input, post, advance the clock) or
  // wait for it, then return. `msUntilTimer` is the time until the next timer falls due, or -1
  // when no timer runs.
  virtual void WaitForEvents(int64_t msUntilTimer) = 0;
  // A timer message is about to be handed out. Take the input that has arrived meanwhile,
  // without waiting, so that a timer which is always due (a drag that scrolls) cannot starve
  // the mouse and the keys.
  virtual void PollEvents() {}
};

// nullptr restores the headless source.
void SetEventSource(IEventSource* source);
IEventSource* GetEventSource();

namespace Input {

// Mouse buttons are given as VK_LBUTTON, VK_RBUTTON, VK_MBUTTON, VK_XBUTTON1 or VK_XBUTTON2.
void MouseMove(POINT screen);
void MouseDown(int button, POINT screen);
void MouseUp(int button, POINT screen);
void MouseWheel(int delta, POINT screen);
// A key press. `ch` is the character the host's keyboard layout produced for it; 0 lets
// TranslateMessage derive it from the US layout and the key state.
void KeyDown(int vk, char32_t ch = 0);
void KeyUp(int vk);
// A character with no key behind it (input methods, characters beyond the US layout).
void Char(char32_t ch);

// Events fed but not yet retrieved.
size_t PendingInput();

}  // namespace Input
