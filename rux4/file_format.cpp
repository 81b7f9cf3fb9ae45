#include "file_format.h"

#include <sodium.h>

#include <algorithm>
#include <cstring>

namespace rux4 {

static_assert(SALT_SIZE == crypto_pwhash_SALTBYTES);
static_assert(KEY_SIZE == crypto_secretstream_xchacha20poly1305_KEYBYTES);
static_assert(STREAM_HEADER_SIZE == crypto_secretstream_xchacha20poly1305_HEADERBYTES);
static_assert(STREAM_CHUNK_OVERHEAD == crypto_secretstream_xchacha20poly1305_ABYTES);
static_assert(CHUNK_TAG_SIZE == crypto_aead_chacha20poly1305_ietf_ABYTES);
static_assert(KDF_ARGON2ID13 == crypto_pwhash_ALG_ARGON2ID13);

namespace {

constexpr char ENCODED_MAGIC[8] = {'R', 'U', 'X', '4', 'E', 'N', 'C', '1'};
constexpr char VERIFY_MAGIC[8] = {'R', 'U', 'X', '4', 'V', 'F', 'Y', '1'};
constexpr std::size_t SALT_OFFSET = 22;  // after magic, version, algorithm, cost
constexpr std::size_t AFTER_SALT = SALT_OFFSET + SALT_SIZE;
static_assert(AFTER_SALT == HEADER_PREFIX_SIZE);

void PutNumber(unsigned char* at, std::uint64_t value, int size) {
  for (int i = 0; i < size; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

std::uint64_t GetNumber(const unsigned char* at, int size) {
  std::uint64_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = (value << 8) | at[i];
  return value;
}

void PutPrefix(unsigned char* at, const char (&magic)[8], unsigned char version,
               const KdfCost& cost) {
  std::memcpy(at, magic, 8);
  at[8] = version;
  at[9] = KDF_ARGON2ID13;
  PutNumber(at + 10, cost.opslimit, 4);
  PutNumber(at + 14, cost.memlimit, 8);
}

// The cost from a prefix written by PutPrefix of a version from first to
// last, or empty with the reason.
std::optional<KdfCost> GetPrefix(const unsigned char* at, const char (&magic)[8],
                                 unsigned char first, unsigned char last, const char* what,
                                 std::string& problem) {
  if (std::memcmp(at, magic, 8) != 0) {
    problem = std::string("not ") + what + " made by this engine";
    return std::nullopt;
  }
  if (at[8] < first || at[8] > last || at[9] != KDF_ARGON2ID13) {
    problem = std::string(what) + " of an unknown version (" + std::to_string(at[8]) + "/" +
              std::to_string(at[9]) + ")";
    return std::nullopt;
  }
  KdfCost cost{static_cast<std::uint32_t>(GetNumber(at + 10, 4)), GetNumber(at + 14, 8)};
  if (!IsAcceptedCost(cost)) {
    problem = std::string(what) +
              " with a key derivation cost out of bounds: " + std::to_string(cost.opslimit) +
              " passes over " + std::to_string(cost.memlimit >> 10) +
              " KiB (accepted: " + std::to_string(MIN_KDF_COST.opslimit) + " to " +
              std::to_string(MAX_KDF_COST.opslimit) + " passes over " +
              std::to_string(MIN_KDF_COST.memlimit >> 10) + " to " +
              std::to_string(MAX_KDF_COST.memlimit >> 10) + " KiB)";
    return std::nullopt;
  }
  return cost;
}

}  // namespace

HeaderPrefix HeaderToBytes(const EncodedHeader& header) {
  HeaderPrefix bytes{};
  PutPrefix(bytes.data(), ENCODED_MAGIC, header.version, header.cost);
  std::copy(header.salt.begin(), header.salt.end(), bytes.begin() + SALT_OFFSET);
  return bytes;
}

std::optional<EncodedHeader> HeaderFromBytes(const HeaderPrefix& bytes, std::string& problem) {
  std::optional<KdfCost> cost = GetPrefix(bytes.data(), ENCODED_MAGIC, FORMAT_STREAM, FORMAT_CHUNKS,
                                          "an encoded file", problem);
  if (!cost) return std::nullopt;
  EncodedHeader header;
  header.version = bytes[8];
  header.cost = *cost;
  std::copy_n(bytes.begin() + SALT_OFFSET, SALT_SIZE, header.salt.begin());
  return header;
}

VerifyBytes VerifyToBytes(const VerifyRecord& record) {
  VerifyBytes bytes{};
  PutPrefix(bytes.data(), VERIFY_MAGIC, VERIFY_FORMAT, record.cost);
  std::copy(record.salt.begin(), record.salt.end(), bytes.begin() + SALT_OFFSET);
  std::copy(record.check.begin(), record.check.end(), bytes.begin() + AFTER_SALT);
  return bytes;
}

std::optional<VerifyRecord> VerifyFromBytes(const VerifyBytes& bytes, std::string& problem) {
  std::optional<KdfCost> cost =
      GetPrefix(bytes.data(), VERIFY_MAGIC, VERIFY_FORMAT, VERIFY_FORMAT, "a verify file", problem);
  if (!cost) return std::nullopt;
  VerifyRecord record;
  record.cost = *cost;
  std::copy_n(bytes.begin() + SALT_OFFSET, SALT_SIZE, record.salt.begin());
  std::copy_n(bytes.begin() + AFTER_SALT, CHECK_VALUE_SIZE, record.check.begin());
  return record;
}

}  // namespace rux4
