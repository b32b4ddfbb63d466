// Fuzz target for pasted tab-separated text (UTF-8): the input is pasted through the text
// importer (see fuzz/DBGridImportFuzz.h for the input's first byte and the checks).
#include <cstddef>
#include <cstdint>

#include "fuzz/DBGridImportFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return import_fuzz::PasteInput(TDBGridEhImportAsText::StaticClass(), "TDBGridEhImportAsText", data, size);
}
