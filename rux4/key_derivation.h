#pragma once
// The 256-bit key of a run: Argon2id over a Master Key's stored field texts.
#include <array>
#include <cstddef>
#include <cstdint>

#include "keybook/key_book.h"

namespace rux4 {

// Argon2id cost. Every encoded file and verify file records the cost it was made
// with, and reading one uses the recorded cost, so the default may change freely.
struct KdfCost {
  std::uint32_t opslimit = 0;  // passes over the memory
  std::uint64_t memlimit = 0;  // bytes
};

// Shipped default: libsodium's "moderate" level, 3 passes over 256 MiB (about 0.8 s
// on one core of the build machine). Tests that make many files in-process use a
// lower cost through the library; the engine program always uses this one.
inline constexpr KdfCost DEFAULT_KDF_COST{3, 256ull << 20};
// Recorded costs outside these bounds are refused before any work, so a damaged
// or hostile header can ask for at most four times the default passes over
// twice the default memory.
inline constexpr KdfCost MIN_KDF_COST{1, 8ull << 10};
inline constexpr KdfCost MAX_KDF_COST{4 * DEFAULT_KDF_COST.opslimit, 2 * DEFAULT_KDF_COST.memlimit};
bool IsAcceptedCost(const KdfCost& cost);

constexpr std::size_t KEY_SIZE = 32;
constexpr std::size_t SALT_SIZE = 16;
using Salt = std::array<unsigned char, SALT_SIZE>;

// Bytes that hold secrets: kept out of swap, wiped when they go.
class SecretBytes {
 public:
  explicit SecretBytes(std::size_t size);
  ~SecretBytes();
  SecretBytes(const SecretBytes&) = delete;
  SecretBytes& operator=(const SecretBytes&) = delete;
  SecretBytes(SecretBytes&& other) noexcept;
  SecretBytes& operator=(SecretBytes&&) = delete;

  unsigned char* Data() { return data_; }
  const unsigned char* Data() const { return data_; }
  std::size_t Size() const { return size_; }

 private:
  unsigned char* data_ = nullptr;
  std::size_t size_ = 0;
};

// Makes libsodium ready; Failure when it cannot start.
void StartCrypto();

// The key material of a Master Key: a fixed label, then the twelve stored field
// texts (Key 1 ... Key 10, Enlarge, Scramble), each after its length as four
// little-endian bytes, so no two different records give the same material.
SecretBytes KeyMaterial(const rux::FieldTexts& fields);

// A KEY_SIZE-byte key from the material; Failure (read or write error) when the
// memory the cost asks for is not available.
SecretBytes DeriveKey(const SecretBytes& material, const Salt& salt, const KdfCost& cost);

Salt RandomSalt();

}  // namespace rux4
