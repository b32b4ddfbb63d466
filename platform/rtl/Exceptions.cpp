#include "platform/rtl/Exceptions.h"

void Abort() {
  throw EAbort("Operation aborted");
}

std::string QuotedInput(std::string_view Text) {
  size_t chars = 0, end = 0;
  // A character starts at every byte that is not a continuation byte (10xxxxxx).
  for (; end < Text.size(); ++end) {
    if ((static_cast<unsigned char>(Text[end]) & 0xC0) != 0x80 && chars++ == MaxQuotedChars) break;
  }
  std::string quoted = "'";
  quoted.append(Text.substr(0, end));
  if (end < Text.size()) quoted += "...";
  return quoted += "'";
}
