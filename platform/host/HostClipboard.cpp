// The CLIPBOARD selection bridge. Out: when the program writes the clipboard the host takes the
// selection and answers other clients with the in-memory content as UTF8_STRING, text/plain,
// STRING, text/csv ("Csv") or text/rtf ("Rich Text Format"). In: when the program reads the
// clipboard while another client owns the selection, its text is converted with a bounded
// wait and replaces the in-memory content. Transfers that need the incremental protocol are
// refused both ways.
#include <poll.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "platform/rtl/SysUtils.h"
#include "platform/win/Clipboard.h"
#include "platform/win/WindowManager.h"

// Last: Xlib's macros.
#include "platform/host/HostInternal.h"

namespace host_internal {
namespace {

constexpr int kConvertTimeoutMs = 2000;
constexpr long kMaxIncomingLongs = 4 * 1024 * 1024;  // 16 MiB of text

std::string UntilNul(const std::vector<uint8_t>& bytes) {
  std::string s(bytes.begin(), bytes.end());
  if (auto nul = s.find('\0'); nul != std::string::npos) s.resize(nul);
  return s;
}

std::string Latin1FromUtf8(const std::string& utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    char32_t cp = 0;
    int len = 1;
    Utf8Decode(utf8, i, cp, len);
    out.push_back(cp <= 0xFF ? static_cast<char>(cp) : '?');
    i += static_cast<size_t>(len);
  }
  return out;
}

std::string Utf8FromLatin1(const std::string& latin1) {
  std::string out;
  for (unsigned char ch : latin1) Utf8Append(out, ch);
  return out;
}

// The content of a registered format, when the program registered and wrote it.
std::optional<std::string> Registered(const char* name) {
  const ATOM format = win_internal::UserAtomFind(name);
  std::vector<uint8_t> bytes;
  if (!format || !ReadClipboardFormat(format, bytes)) return std::nullopt;
  return UntilNul(bytes);
}

std::optional<std::string> Text() {
  std::vector<uint8_t> bytes;
  if (!ReadClipboardFormat(CF_TEXT, bytes)) return std::nullopt;
  return UntilNul(bytes);
}

bool OwnsSelection() {
  TConnection& c = Conn();
  return XGetSelectionOwner(c.Dpy, c.Atoms.Clipboard) == c.Helper;
}

class TBridge : public IClipboardHost {
 public:
  void ClipboardChanged() override {
    TConnection& c = Conn();
    if (!c.Dpy) return;
    XSetSelectionOwner(c.Dpy, c.Atoms.Clipboard, c.Helper, c.LastTime);
    XFlush(c.Dpy);
  }

  std::optional<std::string> ExternalText() override {
    TConnection& c = Conn();
    if (!c.Dpy) return std::nullopt;
    const Window owner = XGetSelectionOwner(c.Dpy, c.Atoms.Clipboard);
    if (owner == None || owner == c.Helper) return std::nullopt;
    for (Atom target : {c.Atoms.Utf8String, c.Atoms.String}) {
      bool refused = false;
      std::optional<std::string> text = Convert(target, refused);
      if (text) return target == c.Atoms.String ? Utf8FromLatin1(*text) : *text;
      if (!refused) break;  // timed out or unreadable: do not wait again
    }
    return std::nullopt;
  }

 private:
  // Asks the owner for `target`; `refused` when it answered without the data.
  static std::optional<std::string> Convert(Atom target, bool& refused) {
    TConnection& c = Conn();
    XDeleteProperty(c.Dpy, c.Helper, c.Atoms.Transfer);
    XConvertSelection(c.Dpy, c.Atoms.Clipboard, target, c.Atoms.Transfer, c.Helper, c.LastTime);
    XFlush(c.Dpy);
    XEvent reply;
    if (!WaitForReply(reply)) return std::nullopt;
    if (reply.xselection.property == None) {
      refused = true;
      return std::nullopt;
    }
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(c.Dpy, c.Helper, c.Atoms.Transfer, 0, kMaxIncomingLongs, True, AnyPropertyType,
                           &type, &format, &count, &after, &data) != Success)
      return std::nullopt;
    std::optional<std::string> text;
    if (type != c.Atoms.Incr && format == 8 && data) text.emplace(reinterpret_cast<char*>(data), count);
    if (data) XFree(data);
    return text;
  }

  static bool WaitForReply(XEvent& reply) {
    TConnection& c = Conn();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kConvertTimeoutMs);
    for (;;) {
      XPending(c.Dpy);  // reads what has arrived
      if (XCheckTypedWindowEvent(c.Dpy, c.Helper, SelectionNotify, &reply)) return true;
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
              .count();
      if (left <= 0) return false;
      pollfd p{ConnectionNumber(c.Dpy), POLLIN, 0};
      poll(&p, 1, static_cast<int>(left));
    }
  }
};

TBridge& Bridge() {
  static auto* b = new TBridge;
  return *b;
}

void Answer(const XSelectionRequestEvent& r) {
  TConnection& c = Conn();
  const TAtoms& a = c.Atoms;
  XSelectionEvent reply{};
  reply.type = SelectionNotify;
  reply.display = c.Dpy;
  reply.requestor = r.requestor;
  reply.selection = r.selection;
  reply.target = r.target;
  reply.time = r.time;
  reply.property = None;
  const Atom property = r.property == None ? r.target : r.property;  // obsolete clients
  if (r.selection == a.Clipboard && r.owner == c.Helper) {
    const std::optional<std::string> text = Text();
    const std::optional<std::string> csv = Registered("Csv");
    const std::optional<std::string> rtf = Registered("Rich Text Format");
    if (r.target == a.Targets) {
      std::vector<Atom> targets = {a.Targets};
      if (text) targets.insert(targets.end(), {a.Utf8String, a.TextPlainUtf8, a.TextPlain, a.String, a.Text});
      if (csv) targets.push_back(a.TextCsv);
      if (rtf) targets.push_back(a.TextRtf);
      XChangeProperty(c.Dpy, r.requestor, property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<unsigned char*>(targets.data()), static_cast<int>(targets.size()));
      reply.property = property;
    } else {
      std::optional<std::string> data;
      Atom type = r.target;
      if (text && (r.target == a.Utf8String || r.target == a.TextPlainUtf8 || r.target == a.TextPlain)) {
        data = text;
      } else if (text && r.target == a.Text) {
        data = text;
        type = a.Utf8String;
      } else if (text && r.target == a.String) {
        data = Latin1FromUtf8(*text);
      } else if (csv && r.target == a.TextCsv) {
        data = csv;
      } else if (rtf && r.target == a.TextRtf) {
        data = rtf;
      }
      long maxRequest = XExtendedMaxRequestSize(c.Dpy);
      if (maxRequest == 0) maxRequest = XMaxRequestSize(c.Dpy);
      const size_t limit = static_cast<size_t>(maxRequest) * 4 - 1024;
      if (data && data->size() < limit) {
        XChangeProperty(c.Dpy, r.requestor, property, type, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(data->data()), static_cast<int>(data->size()));
        reply.property = property;
      }
    }
  }
  XSendEvent(c.Dpy, r.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
  XFlush(c.Dpy);
}

}  // namespace

void StartClipboardBridge() {
  SetClipboardHost(&Bridge());
}

void StopClipboardBridge() {
  SetClipboardHost(nullptr);
  TConnection& c = Conn();
  if (c.Dpy && OwnsSelection()) XSetSelectionOwner(c.Dpy, c.Atoms.Clipboard, None, c.LastTime);
}

bool HandleSelectionEvent(const XEvent& event) {
  switch (event.type) {
    case SelectionRequest:
      Answer(event.xselectionrequest);
      return true;
    case SelectionClear:
      // Another client took the clipboard: reads ask it from now on (see ExternalText).
      return true;
    case SelectionNotify:
      // A reply that came after its wait ended.
      if (event.xselection.property != None)
        XDeleteProperty(Conn().Dpy, Conn().Helper, event.xselection.property);
      return true;
    default:
      return false;
  }
}

}  // namespace host_internal
