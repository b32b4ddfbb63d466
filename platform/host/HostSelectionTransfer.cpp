// A selection's bytes through window properties, both ways. Data that fits one request goes as
// one property; larger data goes through the incremental protocol (INCR): the owner writes a
// chunk each time the requestor deletes the last one and ends with an empty property. Every
// wait is bounded, so a stalled peer costs a timeout, never a hung program, and incoming data
// stops at the size a global block holds.
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

// Last: Xlib's macros.
#include "platform/host/HostInternal.h"

namespace host_internal {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kChunkWait = std::chrono::milliseconds(2000);      // each incoming chunk
constexpr auto kTransferWait = std::chrono::milliseconds(60000);  // a whole incoming transfer
constexpr auto kOutgoingIdle = std::chrono::milliseconds(5000);   // a requestor that stopped reading
constexpr size_t kOutgoingChunk = size_t{1} << 20;
constexpr long kReadPieceLongs = long{1} << 20;  // 4 MiB a property read

// One outgoing incremental transfer: the bytes still owed to a requestor's property.
struct TOutgoing {
  Window Requestor = 0;
  Atom Property = None;
  Atom Type = None;
  std::string Data;
  size_t Sent = 0;
  Clock::time_point LastProgress;
};

std::vector<TOutgoing>& Outgoing() {
  static auto* transfers = new std::vector<TOutgoing>;
  return *transfers;
}

// The most one property may carry in a single request, headers aside.
size_t LargestProperty() {
  Display* dpy = Conn().Dpy;
  long maxRequest = XExtendedMaxRequestSize(dpy);
  if (maxRequest == 0) maxRequest = XMaxRequestSize(dpy);
  return static_cast<size_t>(maxRequest) * 4 - 1024;
}

bool WatchedByOther(const TOutgoing& t) {
  return std::count_if(Outgoing().begin(), Outgoing().end(),
                       [&](const TOutgoing& o) { return o.Requestor == t.Requestor; }) > 1;
}

// Forgets a transfer and stops listening to its window when no other transfer needs it.
void Finish(std::vector<TOutgoing>::iterator it) {
  if (!WatchedByOther(*it)) XSelectInput(Conn().Dpy, it->Requestor, NoEventMask);
  Outgoing().erase(it);
}

void DropStalled() {
  const Clock::time_point now = Clock::now();
  auto& all = Outgoing();
  for (auto it = all.begin(); it != all.end();) {
    if (now - it->LastProgress > kOutgoingIdle) {
      std::fprintf(stderr, "clipboard: a program stopped reading %zu bytes of the clipboard; dropped\n",
                   it->Data.size());
      Finish(it);
      it = all.begin();
    } else {
      ++it;
    }
  }
}

void WriteChunk(TOutgoing& t, size_t size) {
  XChangeProperty(Conn().Dpy, t.Requestor, t.Property, t.Type, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(t.Data.data() + t.Sent), static_cast<int>(size));
  t.Sent += size;
  t.LastProgress = Clock::now();
}

// --- incoming -------------------------------------------------------------------------------------

// A property's type and, for 8-bit data, its bytes.
struct TProperty {
  Atom Type = None;
  int Format = 0;
  std::string Bytes;
};

void RefuseTooLarge(unsigned long long size) {
  std::fprintf(stderr,
               "clipboard: the other program's data (%llu bytes or more) is larger than a global block "
               "holds (%zu bytes); not pasted\n",
               size, kMaxIncomingBytes);
}

// The helper's transfer property, read in pieces and deleted once read whole; nullopt when it
// could not be read or exceeds `room` bytes (then it stays, and so does its owner's next chunk).
std::optional<TProperty> ReadTransferProperty(size_t room) {
  TConnection& c = Conn();
  TProperty p;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(c.Dpy, c.Helper, c.Atoms.Transfer, 0, 0, False, AnyPropertyType, &p.Type, &p.Format,
                         &count, &after, &data) != Success)
    return std::nullopt;
  if (data) XFree(data);
  // Absent: nothing to read, and a read that deletes could take a chunk written meanwhile.
  if (p.Type == None) return p;
  if (p.Format == 8 && after > room) {
    RefuseTooLarge(kMaxIncomingBytes - room + after);
    return std::nullopt;
  }
  if (p.Format == 8) p.Bytes.reserve(after);
  for (long offset = 0;; offset += kReadPieceLongs) {
    Atom type = None;
    int format = 0;
    data = nullptr;
    if (XGetWindowProperty(c.Dpy, c.Helper, c.Atoms.Transfer, offset, kReadPieceLongs, True, AnyPropertyType,
                           &type, &format, &count, &after, &data) != Success)
      return std::nullopt;
    if (data && format == 8) p.Bytes.append(reinterpret_cast<char*>(data), count);
    if (data) XFree(data);
    if (after == 0 || type == None || format != 8) break;
  }
  return p;
}

struct TNewValueOf {
  Window Owner;
  Atom Property;
};

Bool IsNewValue(Display*, XEvent* e, XPointer arg) {
  const auto* want = reinterpret_cast<const TNewValueOf*>(arg);
  return e->type == PropertyNotify && e->xproperty.window == want->Owner &&
         e->xproperty.atom == want->Property && e->xproperty.state == PropertyNewValue;
}

struct TReplyTo {
  Window Requestor;
  Atom Target;
};

Bool IsReply(Display*, XEvent* e, XPointer arg) {
  const auto* want = reinterpret_cast<const TReplyTo*>(arg);
  return e->type == SelectionNotify && e->xselection.requestor == want->Requestor &&
         e->xselection.target == want->Target;
}

// Takes the first queued or arriving event the predicate picks, until the deadline.
bool WaitForEvent(Bool (*pick)(Display*, XEvent*, XPointer), XPointer arg, Clock::time_point deadline,
                  XEvent& event) {
  Display* dpy = Conn().Dpy;
  for (;;) {
    if (XCheckIfEvent(dpy, &event, pick, arg)) return true;  // reads what has arrived
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    pollfd p{ConnectionNumber(dpy), POLLIN, 0};
    poll(&p, 1, static_cast<int>(left));
  }
}

// The chunks of an incremental transfer, whose announcement was just read (and so deleted).
std::optional<std::string> ReceiveIncremental() {
  TConnection& c = Conn();
  XFlush(c.Dpy);
  std::string data;
  TNewValueOf want{c.Helper, c.Atoms.Transfer};
  const Clock::time_point end = Clock::now() + kTransferWait;
  for (;;) {
    XEvent e;
    if (!WaitForEvent(IsNewValue, reinterpret_cast<XPointer>(&want), std::min(end, Clock::now() + kChunkWait),
                      e)) {
      std::fprintf(stderr, "clipboard: the other program stopped sending after %zu bytes; not pasted\n",
                   data.size());
      return std::nullopt;
    }
    std::optional<TProperty> chunk = ReadTransferProperty(kMaxIncomingBytes - data.size());
    if (!chunk) return std::nullopt;
    if (chunk->Type == None) continue;  // already read: a late notice
    XFlush(c.Dpy);                      // the deletion asks for the next chunk
    if (chunk->Bytes.empty()) return data;
    data += chunk->Bytes;
  }
}

}  // namespace

void SendSelectionData(Window requestor, Atom property, Atom type, std::string data) {
  TConnection& c = Conn();
  DropStalled();
  if (data.size() < LargestProperty()) {
    XChangeProperty(c.Dpy, requestor, property, type, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
    return;
  }
  auto& all = Outgoing();
  if (auto old = std::find_if(
          all.begin(), all.end(),
          [&](const TOutgoing& t) { return t.Requestor == requestor && t.Property == property; });
      old != all.end())
    all.erase(old);
  XSelectInput(c.Dpy, requestor, PropertyChangeMask);
  // The announcement holds a lower bound of the size.
  long size = static_cast<long>(std::min<size_t>(data.size(), 0x7FFFFFFF));
  XChangeProperty(c.Dpy, requestor, property, c.Atoms.Incr, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&size), 1);
  all.push_back(TOutgoing{requestor, property, type, std::move(data), 0, Clock::now()});
}

bool HandleTransferEvent(const XEvent& event) {
  DropStalled();
  if (event.type != PropertyNotify || event.xproperty.state != PropertyDelete) return false;
  const XPropertyEvent& e = event.xproperty;
  auto& all = Outgoing();
  auto it = std::find_if(all.begin(), all.end(),
                         [&](const TOutgoing& t) { return t.Requestor == e.window && t.Property == e.atom; });
  if (it == all.end()) return false;
  const size_t left = it->Data.size() - it->Sent;
  WriteChunk(*it, std::min(left, std::min(kOutgoingChunk, LargestProperty())));
  if (left == 0) Finish(it);  // the empty chunk just written ends the transfer
  XFlush(Conn().Dpy);
  return true;
}

void DropOutgoingTransfers() {
  while (!Outgoing().empty()) Finish(Outgoing().begin());
}

std::optional<std::string> ReceiveSelectionData(Atom target, bool& refused) {
  TConnection& c = Conn();
  refused = false;
  XDeleteProperty(c.Dpy, c.Helper, c.Atoms.Transfer);
  XConvertSelection(c.Dpy, c.Atoms.Clipboard, target, c.Atoms.Transfer, c.Helper, c.LastTime);
  XFlush(c.Dpy);
  XEvent reply;
  TReplyTo want{c.Helper, target};
  if (!WaitForEvent(IsReply, reinterpret_cast<XPointer>(&want), Clock::now() + kChunkWait, reply))
    return std::nullopt;
  if (reply.xselection.property == None) {
    refused = true;
    return std::nullopt;
  }
  std::optional<TProperty> p = ReadTransferProperty(kMaxIncomingBytes);
  if (!p) return std::nullopt;
  if (p->Type == c.Atoms.Incr) return ReceiveIncremental();
  if (p->Format != 8) return std::nullopt;
  return std::move(p->Bytes);
}

}  // namespace host_internal
