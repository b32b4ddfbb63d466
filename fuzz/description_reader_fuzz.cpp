// Fuzz target for the description reader: the input is a binary description when it starts
// with the signature, else a text description. It is read into a root with every kind of
// property and converted to the other form; only the runtime library's exceptions may leave
// the parsers, and nothing may crash or leak.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/rtl/Filer.h"
#include "tests/platform/rtl/FilerTestClasses.h"

namespace {

void ReadInto(const std::string& binary, bool skipErrors) {
  TTestForm root(nullptr);
  TStringStream stream(binary);
  TReader reader(stream);
  if (skipErrors) reader.OnError = [](TReader*, const std::string&, bool& handled) { handled = true; };
  try {
    reader.ReadRootComponent(&root);
  } catch (const Exception&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string input(reinterpret_cast<const char*>(data), size);
  std::string binary;
  if (input.compare(0, 4, "TPF0") == 0) {
    binary = input;
    try {
      TStringStream in(binary), out;
      ObjectBinaryToText(in, out);
    } catch (const Exception&) {
    }
  } else {
    try {
      TStringStream in(input), out;
      ObjectTextToBinary(in, out);
      binary = out.DataString();
    } catch (const Exception&) {
      return 0;
    }
  }
  ReadInto(binary, false);
  ReadInto(binary, true);
  return 0;
}
