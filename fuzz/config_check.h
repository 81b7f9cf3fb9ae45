#pragma once
// One run of the configuration reader over arbitrary bytes. Shared by the
// fuzzer and the corpus replay test of the configuration.
#include <cstddef>
#include <cstdint>
#include <string>

namespace rux::fuzz {

// Returns an empty text when every check held, else what went wrong.
std::string CheckConfigurationBytes(const std::uint8_t* data, std::size_t size);

}  // namespace rux::fuzz
