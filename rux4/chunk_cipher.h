// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The shell_rux developers
#pragma once
// The chunks of a version 2 encoded file (layout in file_format.h): each sealed
// on its own, so any number of threads can seal or open them at once.
#include <cstddef>
#include <cstdint>

#include "file_format.h"
#include "key_derivation.h"

struct evp_cipher_ctx_st;  // OpenSSL's EVP_CIPHER_CTX

namespace rux4 {

// The file key: BLAKE2b-256 keyed with the Argon2id key over FILE_KEY_LABEL and the header.
SecretBytes FileKey(const SecretBytes& derivedKey, const HeaderPrefix& header);

// ChaCha20-Poly1305 under one file key, for one thread. OpenSSL's is RFC
// 8439's, as libsodium's IETF variant is, and several times faster on
// processors with wide vector units.
class ChunkCipher {
 public:
  enum Direction { Sealing, Opening };
  ChunkCipher(const SecretBytes& fileKey, Direction direction);
  ~ChunkCipher();
  ChunkCipher(ChunkCipher&& other) noexcept;
  ChunkCipher(const ChunkCipher&) = delete;
  ChunkCipher& operator=(const ChunkCipher&) = delete;
  ChunkCipher& operator=(ChunkCipher&&) = delete;

  // Seals size bytes into out: the ciphertext, then the tag (size + CHUNK_TAG_SIZE bytes).
  void Seal(std::uint64_t number, bool last, const unsigned char* in, std::size_t size,
            unsigned char* out);
  // Opens a sealed chunk of size bytes (tag included) into out; false when it
  // does not authenticate as chunk `number`, the last one or not.
  bool Open(std::uint64_t number, bool last, const unsigned char* in, std::size_t size,
            unsigned char* out);

 private:
  void Start(std::uint64_t number, bool last);

  evp_cipher_ctx_st* context_;
};

}  // namespace rux4
