#pragma once
// The clipboard and global memory. The clipboard is in memory: one content, a set of formats
// written in one session (the first SetClipboardData of a session empties it, later ones add
// to it). CF_TEXT (UTF-8 here, NUL-terminated) and CF_UNICODETEXT (UTF-16LE, 2-byte
// terminator) are synthesised from each other when only one was written.
//
// Global memory blocks are handles: table entries with a generation, so a handle that was
// freed is refused instead of reaching freed memory. GlobalSize answers the size asked for.
//
// The display host plugs in through IClipboardHost: it hears of every new content (to offer it
// to other programs) and can supply text when another program owns the shared clipboard.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/win/Windows.h"

using HGLOBAL = HANDLE;
using SIZE_T = size_t;

// --- global memory --------------------------------------------------------------------------------

constexpr UINT GMEM_FIXED = 0x0000, GMEM_MOVEABLE = 0x0002, GMEM_NOCOMPACT = 0x0010, GMEM_NODISCARD = 0x0020,
               GMEM_ZEROINIT = 0x0040, GMEM_MODIFY = 0x0080, GMEM_DISCARDABLE = 0x0100,
               GMEM_NOT_BANKED = 0x1000, GMEM_SHARE = 0x2000, GMEM_DDESHARE = 0x2000, GMEM_LOCKCOUNT = 0x00FF,
               GHND = GMEM_MOVEABLE | GMEM_ZEROINIT, GPTR = GMEM_FIXED | GMEM_ZEROINIT;
constexpr UINT GMEM_INVALID_HANDLE = 0x8000;

// nullptr when the size is beyond what a block may hold (1 GiB) or memory runs out.
HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
// The block's bytes (stable until GlobalReAlloc or GlobalFree); nullptr for a stale handle or
// an empty block. Each lock counts.
void* GlobalLock(HGLOBAL mem);
// TRUE while the block stays locked; FALSE once the count is back at zero (or for a bad handle).
BOOL GlobalUnlock(HGLOBAL mem);
// The exact size asked for; 0 for a stale handle.
SIZE_T GlobalSize(HGLOBAL mem);
// nullptr on success; the handle itself when it is stale or the clipboard owns the block.
HGLOBAL GlobalFree(HGLOBAL mem);
// Resizes (new bytes zeroed with GMEM_ZEROINIT); the handle stays the same. nullptr on failure,
// with the block unchanged. A locked block may still move here (there is no fixed memory).
HGLOBAL GlobalReAlloc(HGLOBAL mem, SIZE_T bytes, UINT flags);
// The lock count in the low byte; GMEM_INVALID_HANDLE for a stale handle.
UINT GlobalFlags(HGLOBAL mem);
// A block made from bytes (a convenience for the layers above and the host).
HGLOBAL GlobalAllocFrom(const void* bytes, SIZE_T size);

// --- clipboard ------------------------------------------------------------------------------------

constexpr UINT CF_TEXT = 1, CF_BITMAP = 2, CF_METAFILEPICT = 3, CF_SYLK = 4, CF_DIF = 5, CF_TIFF = 6,
               CF_OEMTEXT = 7, CF_DIB = 8, CF_PALETTE = 9, CF_PENDATA = 10, CF_RIFF = 11, CF_WAVE = 12,
               CF_UNICODETEXT = 13, CF_ENHMETAFILE = 14, CF_HDROP = 15, CF_LOCALE = 16, CF_DIBV5 = 17;
constexpr UINT CF_PRIVATEFIRST = 0x0200, CF_PRIVATELAST = 0x02FF, CF_GDIOBJFIRST = 0x0300,
               CF_GDIOBJLAST = 0x03FF;

// Nests for the window that has it open; FALSE while another window has it open.
BOOL OpenClipboard(HWND newOwner);
// FALSE when it was not open. The last close tells the host about a new content.
BOOL CloseClipboard();
// Frees the content and makes the opening window the owner (needs the clipboard open).
BOOL EmptyClipboard();
// Needs the clipboard open. The clipboard owns the data from here on (an HGLOBAL for memory
// formats, an HBITMAP for CF_BITMAP); nullptr asks the owner for WM_RENDERFORMAT when read.
// Answers the data, or nullptr on failure.
HANDLE SetClipboardData(UINT format, HANDLE data);
// Needs the clipboard open. The handle stays the clipboard's.
HANDLE GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);
// The formats in the order they were written, then the synthesised ones; 0 after the last.
UINT EnumClipboardFormats(UINT format);
int CountClipboardFormats();
// 0xC000..0xFFFF, shared with registered window messages; 0 for an empty or too long name.
UINT RegisterClipboardFormat(const std::string& name);
// Bytes copied (without the NUL) for a registered format; 0 for others.
int GetClipboardFormatName(UINT format, char* buffer, int bufferSize);
std::string GetClipboardFormatName(UINT format);
HWND GetClipboardOwner();
HWND GetOpenClipboardWindow();
// Counts the contents: changes whenever a session changed the clipboard.
DWORD GetClipboardSequenceNumber();

// --- for the display host ---------------------------------------------------------------------------

class IClipboardHost {
 public:
  virtual ~IClipboardHost() = default;
  // A session that changed the content has closed (or the content was dropped).
  virtual void ClipboardChanged() = 0;
  // Text (UTF-8) when another program owns the shared clipboard, asked when the program reads
  // text formats; nullopt leaves the in-memory content as it is.
  virtual std::optional<std::string> ExternalText() = 0;
};
// nullptr removes it.
void SetClipboardHost(IClipboardHost* host);

// The bytes of a format as GetClipboardData would give them (synthesis included), read without
// opening the clipboard or asking the host; false when the format is not there.
bool ReadClipboardFormat(UINT format, std::vector<uint8_t>& bytes);
// Replaces the content with text from outside (CF_UNICODETEXT), owned by no window. False while
// the clipboard is open.
bool SetClipboardTextFromHost(const std::string& utf8);

// Tests: drops the content and closes every session, without telling the host.
void ResetClipboardForTest();
