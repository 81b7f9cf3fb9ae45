// libFuzzer target: the record reader and the book scans on arbitrary bytes.
#include <cstdio>
#include <cstdlib>

#include "keybook_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string fault = rux::fuzz::CheckKeyBookBytes(data, size);
  if (!fault.empty()) {
    std::fprintf(stderr, "keybook check failed: %s\n", fault.c_str());
    std::abort();
  }
  return 0;
}
