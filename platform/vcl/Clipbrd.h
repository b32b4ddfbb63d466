#pragma once
// The class library's clipboard object over the window manager's clipboard: nested opening (the
// outermost Open opens the clipboard, the matching Close closes it), the first write of a session
// empties it, and text goes in and out as UTF-8 (kept as CF_UNICODETEXT, CF_TEXT made from it).
#include <string>
#include <utility>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Exceptions.h"
#include "platform/win/Clipboard.h"

// Raised when the clipboard cannot be opened (another window holds it open).
class EClipboardException : public Exception {
 public:
  explicit EClipboardException(std::string m) : Exception(std::move(m)) {}
};

class TClipboard : public TPersistent {
  RTL_CLASS(TClipboard, TPersistent)
 public:
  TClipboard() = default;
  ~TClipboard() override;

  // EClipboardException "Cannot open clipboard" when another window has it open.
  void Open();
  // A Close without an Open does nothing.
  void Close();
  void Clear();
  bool HasFormat(UINT Format);
  // The clipboard keeps the handle; nullptr when the format is not there.
  HANDLE GetAsHandle(UINT Format);
  // The clipboard takes the handle (an HGLOBAL or, for CF_BITMAP, an HBITMAP).
  void SetAsHandle(UINT Format, HANDLE Value);
  // "" when there is no text.
  std::string AsText();
  void SetAsText(const std::string& Value);
  int OpenCount() const { return openRefCount_; }

 private:
  // The first write of a session empties the clipboard.
  void Adding();

  int openRefCount_ = 0;
  HWND window_ = nullptr;
  bool allocated_ = false;
  bool emptied_ = false;
};

// The program's clipboard object, made on first use.
TClipboard* Clipboard();
