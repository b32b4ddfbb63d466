// TClipboard: the class library's clipboard object.
#include "platform/vcl/Clipbrd.h"

#include <memory>
#include <vector>

#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"

RTL_IMPLEMENT_CLASS(TClipboard)

TClipboard::~TClipboard() {
  // A clipboard left open would block every other window.
  if (openRefCount_ > 0) {
    openRefCount_ = 1;
    Close();
  }
}

void TClipboard::Open() {
  if (openRefCount_ == 0) {
    window_ = Application ? Application->Handle() : nullptr;
    if (!window_ || !IsWindow(window_)) {
      window_ = AllocateHWnd([](UINT, WPARAM, LPARAM) -> LRESULT { return 0; });
      allocated_ = true;
    }
    if (!OpenClipboard(window_)) {
      if (allocated_) DeallocateHWnd(window_);
      allocated_ = false;
      window_ = nullptr;
      throw EClipboardException("Cannot open clipboard");
    }
    emptied_ = false;
  }
  ++openRefCount_;
}

void TClipboard::Close() {
  if (openRefCount_ == 0) return;
  if (--openRefCount_ > 0) return;
  CloseClipboard();
  if (allocated_) DeallocateHWnd(window_);
  allocated_ = false;
  window_ = nullptr;
}

void TClipboard::Clear() {
  Open();
  TScopeExit close([this] { Close(); });
  EmptyClipboard();
}

void TClipboard::Adding() {
  if (openRefCount_ == 0 || emptied_) return;
  Clear();
  emptied_ = true;
}

bool TClipboard::HasFormat(UINT Format) {
  return IsClipboardFormatAvailable(Format) != FALSE;
}

HANDLE TClipboard::GetAsHandle(UINT Format) {
  Open();
  TScopeExit close([this] { Close(); });
  return GetClipboardData(Format);
}

void TClipboard::SetAsHandle(UINT Format, HANDLE Value) {
  Open();
  TScopeExit close([this] { Close(); });
  Adding();
  SetClipboardData(Format, Value);
}

std::string TClipboard::AsText() {
  Open();
  TScopeExit close([this] { Close(); });
  HGLOBAL data = static_cast<HGLOBAL>(GetClipboardData(CF_UNICODETEXT));
  if (!data) return "";
  const auto* units = static_cast<const uint8_t*>(GlobalLock(data));
  if (!units) return "";
  TScopeExit unlock([data] { GlobalUnlock(data); });
  std::u16string text;
  const size_t size = GlobalSize(data);
  for (size_t i = 0; i + 1 < size; i += 2) {
    const auto unit = static_cast<char16_t>(units[i] | units[i + 1] << 8);
    if (unit == 0) break;
    text.push_back(unit);
  }
  return Utf16ToUtf8(text);
}

void TClipboard::SetAsText(const std::string& Value) {
  const std::u16string text = Utf8ToUtf16(Value);
  std::vector<uint8_t> bytes;
  bytes.reserve(text.size() * 2 + 2);
  for (char16_t unit : text) {
    bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<uint8_t>(unit >> 8));
  }
  bytes.insert(bytes.end(), {0, 0});
  Open();
  TScopeExit close([this] { Close(); });
  Adding();
  HGLOBAL data = GlobalAllocFrom(bytes.data(), bytes.size());
  if (!data) throw EOutOfResources("Out of system resources");
  // A block the clipboard refused is still ours to free.
  if (!SetClipboardData(CF_UNICODETEXT, data)) GlobalFree(data);
}

TClipboard* Clipboard() {
  static const std::unique_ptr<TClipboard> clipboard = std::make_unique<TClipboard>();
  return clipboard.get();
}
