// Fuzz target for the grid's own typed record format: the input is pasted as a "VCLDBIF" stream
// (see fuzz/DBGridImportFuzz.h for the input's first byte and the checks).
#include <cstddef>
#include <cstdint>

#include "fuzz/DBGridImportFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return import_fuzz::PasteInput(TDBGridEhImportAsVCLDBIF::StaticClass(), "TDBGridEhImportAsVCLDBIF", data,
                                 size);
}
