#include "grid/foundation/ClipboardLineEh.h"

#include <cstring>

#include "platform/win/Clipboard.h"

bool ReadClipboardLineEh(HWND Owner, std::string& Line) {
  Line.clear();
  if (!OpenClipboard(Owner)) return false;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    HGLOBAL mem = static_cast<HGLOBAL>(data);
    if (const char* p = static_cast<const char*>(GlobalLock(mem))) {
      Line.assign(p, strnlen(p, GlobalSize(mem)));
      GlobalUnlock(mem);
    }
  }
  CloseClipboard();
  const size_t lineEnd = Line.find_first_of("\r\n");
  if (lineEnd != std::string::npos) Line.erase(lineEnd);
  return true;
}
