// Fuzz target for pasted tab-separated UTF-16LE text: the input is pasted through the Unicode
// text importer (see fuzz/DBGridImportFuzz.h for the input's first byte and the checks).
#include <cstddef>
#include <cstdint>

#include "fuzz/DBGridImportFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return import_fuzz::PasteInput(TDBGridEhImportAsUnicodeText::StaticClass(), "TDBGridEhImportAsUnicodeText",
                                 data, size);
}
