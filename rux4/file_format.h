#pragma once
// Byte layouts of the encoded file's header and of the verify (key-check) file.
// Numbers are little-endian.
//
// Encoded file: header, then chunks. Every chunk but the last holds CHUNK_SIZE
// bytes of the source; the last holds the rest (0 to CHUNK_SIZE - 1 bytes) and
// carries the final tag, so a file cut at a chunk boundary is still detected.
// Each chunk is its plaintext plus CHUNK_OVERHEAD bytes of XChaCha20-Poly1305
// secret stream. The whole header is the first chunk's additional data.
//   offset size
//   0      8    magic "RUX4ENC1"
//   8      1    format version (1)
//   9      1    key derivation: 2 = Argon2id 1.3
//   10     4    Argon2 opslimit
//   14     8    Argon2 memlimit in bytes
//   22     16   salt
//   38     24   secret stream header
//
// Verify file, exactly VERIFY_FILE_SIZE bytes:
//   0      8    magic "RUX4VFY1"
//   8      1    format version (1)
//   9      1    key derivation: 2 = Argon2id 1.3
//   10     4    Argon2 opslimit
//   14     8    Argon2 memlimit in bytes
//   22     16   salt of its own
//   38     32   check value: BLAKE2b keyed with the key derived with this salt
#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "key_derivation.h"

namespace rux4 {

constexpr std::size_t CHUNK_SIZE = 64 * 1024;
constexpr std::size_t CHUNK_OVERHEAD = 17;  // secret stream tag and MAC
constexpr std::size_t STREAM_HEADER_SIZE = 24;
constexpr std::size_t ENCODED_HEADER_SIZE = 62;
constexpr std::size_t CHECK_VALUE_SIZE = 32;
constexpr std::size_t VERIFY_FILE_SIZE = 70;
constexpr unsigned char FORMAT_VERSION = 1;
constexpr unsigned char KDF_ARGON2ID13 = 2;

struct EncodedHeader {
  KdfCost cost;
  Salt salt{};
  std::array<unsigned char, STREAM_HEADER_SIZE> streamHeader{};
};
using HeaderBytes = std::array<unsigned char, ENCODED_HEADER_SIZE>;

struct VerifyRecord {
  KdfCost cost;
  Salt salt{};
  std::array<unsigned char, CHECK_VALUE_SIZE> check{};
};
using VerifyBytes = std::array<unsigned char, VERIFY_FILE_SIZE>;

HeaderBytes HeaderToBytes(const EncodedHeader& header);
// Empty with a reason in problem when the bytes are not a header this engine reads.
std::optional<EncodedHeader> HeaderFromBytes(const HeaderBytes& bytes, std::string& problem);

VerifyBytes VerifyToBytes(const VerifyRecord& record);
std::optional<VerifyRecord> VerifyFromBytes(const VerifyBytes& bytes, std::string& problem);

}  // namespace rux4
