#pragma once
// One run of the Key Book code over arbitrary bytes: the record reader on the
// bytes, and the name scans, field reads, free-slot scan and text search on a
// book file holding them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rux::fuzz {

// Returns an empty text when every check held, else what went wrong.
std::string CheckKeyBookBytes(const std::uint8_t* data, std::size_t size);

// Every offset of needle in haystack, by plain comparison at each offset.
std::vector<std::uint64_t> PlainSearch(std::string_view haystack, std::string_view needle);

}  // namespace rux::fuzz
