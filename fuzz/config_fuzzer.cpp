// libFuzzer target: the configuration reader on arbitrary bytes.
#include <cstdio>
#include <cstdlib>

#include "config_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string fault = rux::fuzz::CheckConfigurationBytes(data, size);
  if (!fault.empty()) {
    std::fprintf(stderr, "configuration check failed: %s\n", fault.c_str());
    std::abort();
  }
  return 0;
}
