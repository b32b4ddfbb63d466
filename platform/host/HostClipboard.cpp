// The CLIPBOARD selection bridge. Out: when the program writes the clipboard the host takes the
// selection and answers other clients with the in-memory content as UTF8_STRING, text/plain,
// STRING, text/csv ("Csv") or text/rtf ("Rich Text Format"). In: when the program reads the
// clipboard while another client owns the selection, its text is converted with bounded waits
// and replaces the in-memory content. Large data travels incrementally both ways
// (HostSelectionTransfer.cpp).
#include <cstdio>
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

// The clipboard keeps text as UTF-16: a text whose UTF-16 form a global block cannot hold is
// refused whole rather than lost on the way.
bool FitsABlock(const std::string& utf8) {
  size_t units = 1;  // the terminator
  for (unsigned char ch : utf8) units += ((ch & 0xC0) != 0x80 ? 1 : 0) + (ch >= 0xF0 ? 1 : 0);
  if (units * 2 <= kMaxIncomingBytes) return true;
  std::fprintf(stderr, "clipboard: the other program's text (%zu bytes) is too large to paste\n",
               utf8.size());
  return false;
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
      std::optional<std::string> text = ReceiveSelectionData(target, refused);
      if (text && target == c.Atoms.String) text = Utf8FromLatin1(*text);
      if (text) return FitsABlock(*text) ? text : std::nullopt;
      if (!refused) break;  // timed out or unreadable: do not wait again
    }
    return std::nullopt;
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
      if (data) {
        SendSelectionData(r.requestor, property, type, std::move(*data));
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
  DropOutgoingTransfers();
  TConnection& c = Conn();
  if (c.Dpy && OwnsSelection()) XSetSelectionOwner(c.Dpy, c.Atoms.Clipboard, None, c.LastTime);
}

bool HandleSelectionEvent(const XEvent& event) {
  if (HandleTransferEvent(event)) return true;
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
