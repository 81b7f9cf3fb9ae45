#pragma once
// Byte layouts of the encoded file's header and of the verify (key-check) file.
// Numbers are little-endian.
//
// Both encoded versions begin with the same HEADER_PREFIX_SIZE bytes:
//   offset size
//   0      8    magic "RUX4ENC1"
//   8      1    format version (2 is written; 1 is still read)
//   9      1    key derivation: 2 = Argon2id 1.3
//   10     4    Argon2 opslimit
//   14     8    Argon2 memlimit in bytes
//   22     16   salt
//
// Version 2: the header is those 38 bytes, then chunks. The source goes in
// CHUNK_SIZE pieces, the last one holding 1 to CHUNK_SIZE bytes (none for an
// empty source), each sealed on its own with ChaCha20-Poly1305 (RFC 8439):
// its ciphertext, then a CHUNK_TAG_SIZE-byte tag. The key of every chunk is
// the file key, BLAKE2b-256 keyed with the Argon2id key over FILE_KEY_LABEL
// and the 38 header bytes, so a changed header changes the key. The 12-byte
// nonce is the chunk's number (8 bytes, counted from 0), 1 for the file's last
// chunk and 0 for every other (1 byte), and 3 zero bytes: a chunk opens only
// at its own place, and only the last chunk opens as the last.
//
// Version 1: after the 38 bytes, 24 bytes of XChaCha20-Poly1305 secret stream
// header; chunks of that secret stream, each CHUNK_SIZE bytes of source plus
// STREAM_CHUNK_OVERHEAD but the last, which holds 0 to CHUNK_SIZE - 1 bytes
// and carries the final tag. The whole 62-byte header is the first chunk's
// additional data.
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
constexpr std::size_t HEADER_PREFIX_SIZE = 38;
constexpr std::size_t CHUNK_TAG_SIZE = 16;         // version 2: Poly1305 tag
constexpr std::size_t STREAM_HEADER_SIZE = 24;     // version 1 only
constexpr std::size_t STREAM_CHUNK_OVERHEAD = 17;  // version 1: secret stream tag and MAC
constexpr std::size_t CHECK_VALUE_SIZE = 32;
constexpr std::size_t VERIFY_FILE_SIZE = 70;
constexpr unsigned char FORMAT_STREAM = 1;  // encoded file, version 1
constexpr unsigned char FORMAT_CHUNKS = 2;  // encoded file, version 2
constexpr unsigned char VERIFY_FORMAT = 1;
constexpr unsigned char KDF_ARGON2ID13 = 2;
constexpr char FILE_KEY_LABEL[] = "rux4 file key v2";

using HeaderPrefix = std::array<unsigned char, HEADER_PREFIX_SIZE>;

struct EncodedHeader {
  unsigned char version = FORMAT_CHUNKS;
  KdfCost cost;
  Salt salt{};
};

struct VerifyRecord {
  KdfCost cost;
  Salt salt{};
  std::array<unsigned char, CHECK_VALUE_SIZE> check{};
};
using VerifyBytes = std::array<unsigned char, VERIFY_FILE_SIZE>;

// The header of a version 2 file.
HeaderPrefix HeaderToBytes(const EncodedHeader& header);
// The first 38 bytes of an encoded file of either version; empty with a reason
// in problem when they are not a header this engine reads.
std::optional<EncodedHeader> HeaderFromBytes(const HeaderPrefix& bytes, std::string& problem);

VerifyBytes VerifyToBytes(const VerifyRecord& record);
std::optional<VerifyRecord> VerifyFromBytes(const VerifyBytes& bytes, std::string& problem);

}  // namespace rux4
