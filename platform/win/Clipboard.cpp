// Global memory blocks and the in-memory clipboard.
#include "platform/win/Clipboard.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/rtl/SysUtils.h"
#include "platform/win/WindowManager.h"

namespace {

// --- global memory --------------------------------------------------------------------------------

constexpr SIZE_T kMaxBlock = SIZE_T{1} << 30;
constexpr size_t kMaxBlocks = size_t{1} << 22;
constexpr uintptr_t kHandleTag = uintptr_t{0x4D} << 56;

struct TBlock {
  std::vector<uint8_t> Bytes;
  uint32_t Generation = 1;
  int Locks = 0;
  bool Live = false;
  bool ClipboardOwned = false;
};

struct TBlocks {
  std::vector<TBlock> Table;
  std::vector<size_t> Free;
};

TBlocks& Blocks() {
  static auto* b = new TBlocks;
  return *b;
}

HGLOBAL MakeHandle(size_t index, uint32_t generation) {
  const uintptr_t v = kHandleTag | (uintptr_t{generation & 0xFFFFFF} << 24) | (index + 1);
  return reinterpret_cast<HGLOBAL>(v);
}

// The live block behind a handle, or nullptr.
TBlock* FindBlock(HGLOBAL mem) {
  const auto v = reinterpret_cast<uintptr_t>(mem);
  if ((v & (uintptr_t{0xFF} << 56)) != kHandleTag) return nullptr;
  const size_t slot = v & 0xFFFFFF;
  const uint32_t generation = static_cast<uint32_t>((v >> 24) & 0xFFFFFF);
  auto& table = Blocks().Table;
  if (slot == 0 || slot > table.size()) return nullptr;
  TBlock& b = table[slot - 1];
  if (!b.Live || (b.Generation & 0xFFFFFF) != generation) return nullptr;
  return &b;
}

bool Resize(std::vector<uint8_t>& bytes, SIZE_T size) {
  try {
    bytes.resize(size);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

void ReleaseBlock(TBlock& b) {
  b.Live = false;
  b.Locks = 0;
  b.ClipboardOwned = false;
  std::vector<uint8_t>().swap(b.Bytes);
  ++b.Generation;
  Blocks().Free.push_back(static_cast<size_t>(&b - Blocks().Table.data()));
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
  if (bytes > kMaxBlock) return nullptr;
  TBlocks& blocks = Blocks();
  size_t index;
  if (!blocks.Free.empty()) {
    index = blocks.Free.back();
    blocks.Free.pop_back();
  } else {
    if (blocks.Table.size() >= kMaxBlocks) return nullptr;
    blocks.Table.emplace_back();
    index = blocks.Table.size() - 1;
  }
  TBlock& b = blocks.Table[index];
  if (!Resize(b.Bytes, bytes)) {
    blocks.Free.push_back(index);
    return nullptr;
  }
  (void)flags;  // every block starts zeroed, GMEM_ZEROINIT or not
  b.Live = true;
  b.Locks = 0;
  b.ClipboardOwned = false;
  return MakeHandle(index, b.Generation);
}

void* GlobalLock(HGLOBAL mem) {
  TBlock* b = FindBlock(mem);
  if (!b || b->Bytes.empty()) return nullptr;
  if (b->Locks < static_cast<int>(GMEM_LOCKCOUNT)) ++b->Locks;
  return b->Bytes.data();
}

BOOL GlobalUnlock(HGLOBAL mem) {
  TBlock* b = FindBlock(mem);
  if (!b || b->Locks == 0) return FALSE;
  return --b->Locks > 0;
}

SIZE_T GlobalSize(HGLOBAL mem) {
  TBlock* b = FindBlock(mem);
  return b ? b->Bytes.size() : 0;
}

HGLOBAL GlobalFree(HGLOBAL mem) {
  if (!mem) return nullptr;
  TBlock* b = FindBlock(mem);
  if (!b || b->ClipboardOwned) return mem;
  ReleaseBlock(*b);
  return nullptr;
}

HGLOBAL GlobalReAlloc(HGLOBAL mem, SIZE_T bytes, UINT flags) {
  TBlock* b = FindBlock(mem);
  if (!b || bytes > kMaxBlock) return nullptr;
  if (flags & GMEM_MODIFY) return mem;  // only attributes change; there are none to keep
  // New bytes come zeroed with or without GMEM_ZEROINIT (undefined is allowed to be zero).
  if (!Resize(b->Bytes, bytes)) return nullptr;
  return mem;
}

UINT GlobalFlags(HGLOBAL mem) {
  TBlock* b = FindBlock(mem);
  if (!b) return GMEM_INVALID_HANDLE;
  return static_cast<UINT>(b->Locks) & GMEM_LOCKCOUNT;
}

HGLOBAL GlobalAllocFrom(const void* bytes, SIZE_T size) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!h || size == 0) return h;
  std::memcpy(GlobalLock(h), bytes, size);
  GlobalUnlock(h);
  return h;
}

// --- clipboard ------------------------------------------------------------------------------------

namespace {

struct TEntry {
  UINT Format = 0;
  HANDLE Data = nullptr;  // nullptr: rendered by the owner on demand
  bool Synthesised = false;
};

struct TClipboard {
  int OpenCount = 0;
  HWND OpenWindow = nullptr;
  bool Emptied = false;  // this session has emptied the clipboard (explicitly or by a first set)
  bool Changed = false;
  bool Synced = false;     // this session has asked the host
  bool Rendering = false;  // inside WM_RENDERFORMAT
  HWND Owner = nullptr;
  std::vector<TEntry> Entries;
  DWORD Sequence = 1;
  IClipboardHost* Host = nullptr;
};

TClipboard& Clip() {
  static auto* c = new TClipboard;
  return *c;
}

bool IsGdiFormat(UINT format) {
  return format == CF_BITMAP || format == CF_PALETTE || (format >= CF_GDIOBJFIRST && format <= CF_GDIOBJLAST);
}

void FreeData(UINT format, HANDLE data) {
  if (!data) return;
  if (IsGdiFormat(format)) {
    DeleteObject(static_cast<HGDIOBJ>(data));
    return;
  }
  if (TBlock* b = FindBlock(data)) {
    b->ClipboardOwned = false;
    ReleaseBlock(*b);
  }
}

void DropContent() {
  TClipboard& c = Clip();
  auto entries = std::move(c.Entries);
  c.Entries.clear();
  for (const TEntry& e : entries) FreeData(e.Format, e.Data);
}

void DropSynthesised() {
  auto& entries = Clip().Entries;
  for (const TEntry& e : entries)
    if (e.Synthesised) FreeData(e.Format, e.Data);
  std::erase_if(entries, [](const TEntry& e) { return e.Synthesised; });
}

TEntry* FindEntry(UINT format, bool synthesisedToo) {
  for (TEntry& e : Clip().Entries)
    if (e.Format == format && (synthesisedToo || !e.Synthesised)) return &e;
  return nullptr;
}

// The text format the other one can be made from.
UINT TextSource(UINT format) {
  if (format == CF_TEXT) return CF_UNICODETEXT;
  if (format == CF_UNICODETEXT) return CF_TEXT;
  return 0;
}

// Written formats in order, then the ones synthesis provides.
std::vector<UINT> FormatList() {
  std::vector<UINT> list;
  for (const TEntry& e : Clip().Entries)
    if (!e.Synthesised) list.push_back(e.Format);
  for (UINT f : {CF_TEXT, CF_UNICODETEXT})
    if (!FindEntry(f, false) && FindEntry(TextSource(f), false)) list.push_back(f);
  return list;
}

void MarkChanged() {
  TClipboard& c = Clip();
  c.Changed = true;
  ++c.Sequence;
}

// A delayed format: the owner renders it now. The data, or nullptr.
HANDLE Render(UINT format) {
  TClipboard& c = Clip();
  if (!c.Owner || !IsWindow(c.Owner) || c.Rendering) return nullptr;
  c.Rendering = true;
  SendMessage(c.Owner, WM_RENDERFORMAT, format, 0);
  c.Rendering = false;
  TEntry* e = FindEntry(format, false);
  return e ? e->Data : nullptr;
}

HANDLE DataOf(TEntry& e) {
  return e.Data ? e.Data : Render(e.Format);
}

std::vector<uint8_t> BlockBytes(HANDLE data) {
  TBlock* b = FindBlock(data);
  return b ? b->Bytes : std::vector<uint8_t>{};
}

// UTF-8 up to the first NUL <-> UTF-16LE up to the first 0 unit; both keep their terminator.
std::vector<uint8_t> Utf16FromAnsi(const std::vector<uint8_t>& bytes) {
  const auto end = std::find(bytes.begin(), bytes.end(), uint8_t{0});
  const std::u16string text = Utf8ToUtf16(std::string(bytes.begin(), end));
  std::vector<uint8_t> out;
  out.reserve(text.size() * 2 + 2);
  for (char16_t u : text) {
    out.push_back(static_cast<uint8_t>(u & 0xFF));
    out.push_back(static_cast<uint8_t>(u >> 8));
  }
  out.push_back(0);
  out.push_back(0);
  return out;
}

std::vector<uint8_t> AnsiFromUtf16(const std::vector<uint8_t>& bytes) {
  std::u16string text;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const char16_t u = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
    if (u == 0) break;
    text.push_back(u);
  }
  const std::string utf8 = Utf16ToUtf8(text);
  std::vector<uint8_t> out(utf8.begin(), utf8.end());
  out.push_back(0);
  return out;
}

// The bytes of a format, synthesised when needed; false when it cannot be had.
bool FormatBytes(UINT format, std::vector<uint8_t>& bytes) {
  if (TEntry* e = FindEntry(format, true)) {
    HANDLE data = DataOf(*e);
    if (!data || !FindBlock(data)) return false;
    bytes = BlockBytes(data);
    return true;
  }
  const UINT source = TextSource(format);
  TEntry* s = source ? FindEntry(source, false) : nullptr;
  if (!s) return false;
  HANDLE data = DataOf(*s);
  if (!data) return false;
  bytes = format == CF_TEXT ? AnsiFromUtf16(BlockBytes(data)) : Utf16FromAnsi(BlockBytes(data));
  return true;
}

void ReplaceWithText(const std::string& utf8) {
  TClipboard& c = Clip();
  DropContent();
  c.Owner = nullptr;
  std::vector<uint8_t> ansi(utf8.begin(), utf8.end());
  ansi.push_back(0);
  const std::vector<uint8_t> wide = Utf16FromAnsi(ansi);
  if (HGLOBAL h = GlobalAllocFrom(wide.data(), wide.size())) {
    FindBlock(h)->ClipboardOwned = true;
    c.Entries.push_back(TEntry{CF_UNICODETEXT, h, false});
  }
  ++c.Sequence;
}

// Another program's content replaces ours before a read; once a session.
void SyncFromHost() {
  TClipboard& c = Clip();
  if (!c.Host || c.Emptied || c.Rendering) return;
  if (c.OpenCount > 0) {
    if (c.Synced) return;
    c.Synced = true;
  }
  if (std::optional<std::string> text = c.Host->ExternalText()) ReplaceWithText(*text);
}

bool IsOpenHere() {
  return Clip().OpenCount > 0;
}

}  // namespace

BOOL OpenClipboard(HWND newOwner) {
  TClipboard& c = Clip();
  if (c.OpenCount > 0) {
    if (c.OpenWindow != newOwner) return FALSE;
    ++c.OpenCount;
    return TRUE;
  }
  if (newOwner && !IsWindow(newOwner)) return FALSE;
  c.OpenCount = 1;
  c.OpenWindow = newOwner;
  c.Emptied = false;
  c.Changed = false;
  c.Synced = false;
  return TRUE;
}

BOOL CloseClipboard() {
  TClipboard& c = Clip();
  if (c.OpenCount == 0) return FALSE;
  if (--c.OpenCount > 0) return TRUE;
  const bool changed = c.Changed;
  c.OpenWindow = nullptr;
  c.Emptied = false;
  c.Changed = false;
  c.Synced = false;
  if (changed && c.Host) c.Host->ClipboardChanged();
  return TRUE;
}

BOOL EmptyClipboard() {
  TClipboard& c = Clip();
  if (!IsOpenHere()) return FALSE;
  const HWND previous = c.Owner;
  if (previous && previous != c.OpenWindow && IsWindow(previous))
    SendMessage(previous, WM_DESTROYCLIPBOARD, 0, 0);
  DropContent();
  c.Owner = c.OpenWindow;
  c.Emptied = true;
  MarkChanged();
  return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE data) {
  TClipboard& c = Clip();
  if (format == 0) return nullptr;
  if (data && !IsGdiFormat(format) && !FindBlock(data)) return nullptr;
  if (c.Rendering) {
    // The owner answering WM_RENDERFORMAT fills in the entry it promised.
    TEntry* e = FindEntry(format, false);
    if (!e || e->Data || !data) return nullptr;
    e->Data = data;
    if (TBlock* b = FindBlock(data)) b->ClipboardOwned = true;
    return data;
  }
  if (!IsOpenHere()) return nullptr;
  if (!c.Emptied && !EmptyClipboard()) return nullptr;
  DropSynthesised();
  if (TBlock* b = FindBlock(data)) b->ClipboardOwned = true;
  if (TEntry* e = FindEntry(format, false)) {
    if (e->Data != data) FreeData(format, e->Data);
    e->Data = data;
  } else {
    c.Entries.push_back(TEntry{format, data, false});
  }
  MarkChanged();
  return data;  // nullptr for a delayed format, as for a failure
}

HANDLE GetClipboardData(UINT format) {
  TClipboard& c = Clip();
  if (!IsOpenHere()) return nullptr;
  SyncFromHost();
  if (TEntry* e = FindEntry(format, true)) return DataOf(*e);
  const UINT source = TextSource(format);
  if (!source || !FindEntry(source, false)) return nullptr;
  std::vector<uint8_t> bytes;
  if (!FormatBytes(format, bytes)) return nullptr;
  HGLOBAL h = GlobalAllocFrom(bytes.data(), bytes.size());
  if (!h) return nullptr;
  FindBlock(h)->ClipboardOwned = true;
  c.Entries.push_back(TEntry{format, h, true});
  return h;
}

BOOL IsClipboardFormatAvailable(UINT format) {
  SyncFromHost();
  const auto list = FormatList();
  return std::find(list.begin(), list.end(), format) != list.end();
}

UINT EnumClipboardFormats(UINT format) {
  if (!IsOpenHere()) return 0;
  SyncFromHost();
  const auto list = FormatList();
  if (format == 0) return list.empty() ? 0 : list.front();
  auto it = std::find(list.begin(), list.end(), format);
  if (it == list.end() || ++it == list.end()) return 0;
  return *it;
}

int CountClipboardFormats() {
  SyncFromHost();
  return static_cast<int>(FormatList().size());
}

UINT RegisterClipboardFormat(const std::string& name) {
  return win_internal::UserAtomAdd(name);
}

std::string GetClipboardFormatName(UINT format) {
  if (format < 0xC000 || format > 0xFFFF) return "";
  return win_internal::UserAtomName(static_cast<ATOM>(format));
}

int GetClipboardFormatName(UINT format, char* buffer, int bufferSize) {
  const std::string name = GetClipboardFormatName(format);
  if (name.empty()) {
    if (buffer && bufferSize > 0) buffer[0] = 0;
    return 0;
  }
  return win_internal::CopyTextToBuffer(name, buffer, bufferSize);
}

HWND GetClipboardOwner() {
  HWND owner = Clip().Owner;
  return owner && IsWindow(owner) ? owner : nullptr;
}

HWND GetOpenClipboardWindow() {
  return IsOpenHere() ? Clip().OpenWindow : nullptr;
}

DWORD GetClipboardSequenceNumber() {
  return Clip().Sequence;
}

void SetClipboardHost(IClipboardHost* host) {
  Clip().Host = host;
}

bool ReadClipboardFormat(UINT format, std::vector<uint8_t>& bytes) {
  return FormatBytes(format, bytes);
}

bool SetClipboardTextFromHost(const std::string& utf8) {
  if (IsOpenHere()) return false;
  ReplaceWithText(utf8);
  return true;
}

void ResetClipboardForTest() {
  TClipboard& c = Clip();
  DropContent();
  IClipboardHost* host = c.Host;
  const DWORD sequence = c.Sequence;
  c = TClipboard{};
  c.Host = host;
  c.Sequence = sequence + 1;
}
