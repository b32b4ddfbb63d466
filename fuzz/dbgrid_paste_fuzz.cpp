// Fuzz target for the grid's paste through the clipboard: byte 0 picks the format the input is
// put on the clipboard as (byte % 3: the grid's "VCLDBIF" records, UTF-16 text, UTF-8 text, which
// the clipboard also offers as UTF-16), the rest is as in fuzz/DBGridImportFuzz.h (its first byte
// the selection, the answer and the start, then the clipboard block) with the same checks.
#include <cstddef>
#include <cstdint>

#include "fuzz/DBGridImportFuzz.h"
#include "platform/vcl/Clipbrd.h"
#include "platform/win/Clipboard.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const unsigned choice = data[0] % 3;
  const UINT format = choice == 0 ? ClipboardFormatVCLDBIF() : choice == 1 ? CF_UNICODETEXT : CF_TEXT;
  // A text block reaches the grid as UTF-16: the clipboard converts UTF-8 text on the way out.
  const char* reader = choice == 0 ? "TDBGridEhImportAsVCLDBIF" : "TDBGridEhImportAsUnicodeText";
  return import_fuzz::CheckedPaste(reader, data + 1, size - 1,
                                   [format](TDBGridEh* Grid, TMemoryStream& Block, bool Whole) {
                                     Clipboard()->Open();
                                     Clipboard()->Clear();
                                     PutStreamToClipboard(format, &Block);
                                     Clipboard()->Close();
                                     GridPasteAction(Grid, Whole);
                                   });
}
