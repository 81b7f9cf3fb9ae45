// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The shell_rux developers
#include "chunk_cipher.h"

#include <openssl/evp.h>
#include <sodium.h>

#include <array>
#include <cstring>

#include "exit_status.h"

namespace rux4 {

namespace {

constexpr std::size_t NONCE_SIZE = 12;

}  // namespace

SecretBytes FileKey(const SecretBytes& derivedKey, const HeaderPrefix& header) {
  std::array<unsigned char, sizeof FILE_KEY_LABEL - 1 + HEADER_PREFIX_SIZE> input{};
  std::memcpy(input.data(), FILE_KEY_LABEL, sizeof FILE_KEY_LABEL - 1);
  std::memcpy(input.data() + sizeof FILE_KEY_LABEL - 1, header.data(), header.size());
  SecretBytes key(KEY_SIZE);
  crypto_generichash(key.Data(), key.Size(), input.data(), input.size(), derivedKey.Data(),
                     derivedKey.Size());
  return key;
}

ChunkCipher::ChunkCipher(const SecretBytes& fileKey, Direction direction)
    : context_(EVP_CIPHER_CTX_new()) {
  if (!context_ || EVP_CipherInit_ex(context_, EVP_chacha20_poly1305(), nullptr, fileKey.Data(),
                                     nullptr, direction == Sealing ? 1 : 0) != 1) {
    EVP_CIPHER_CTX_free(context_);
    throw Failure(EXIT_IO_ERROR, "the cipher cannot start");
  }
}

ChunkCipher::~ChunkCipher() { EVP_CIPHER_CTX_free(context_); }  // wipes the key

ChunkCipher::ChunkCipher(ChunkCipher&& other) noexcept : context_(other.context_) {
  other.context_ = nullptr;
}

void ChunkCipher::Start(std::uint64_t number, bool last) {
  std::array<unsigned char, NONCE_SIZE> nonce{};
  for (int i = 0; i < 8; ++i) nonce[i] = static_cast<unsigned char>(number >> (8 * i));
  nonce[8] = last ? 1 : 0;
  EVP_CipherInit_ex(context_, nullptr, nullptr, nullptr, nonce.data(), -1);
}

void ChunkCipher::Seal(std::uint64_t number, bool last, const unsigned char* in, std::size_t size,
                       unsigned char* out) {
  Start(number, last);
  int length = 0;
  if (EVP_CipherUpdate(context_, out, &length, in, static_cast<int>(size)) != 1 ||
      EVP_CipherFinal_ex(context_, out + length, &length) != 1 ||
      EVP_CIPHER_CTX_ctrl(context_, EVP_CTRL_AEAD_GET_TAG, CHUNK_TAG_SIZE, out + size) != 1) {
    throw Failure(EXIT_IO_ERROR, "the cipher failed");
  }
}

bool ChunkCipher::Open(std::uint64_t number, bool last, const unsigned char* in, std::size_t size,
                       unsigned char* out) {
  if (size < CHUNK_TAG_SIZE) return false;
  Start(number, last);
  const std::size_t textSize = size - CHUNK_TAG_SIZE;
  std::array<unsigned char, CHUNK_TAG_SIZE> tag{};
  std::memcpy(tag.data(), in + textSize, tag.size());
  int length = 0;
  return EVP_CipherUpdate(context_, out, &length, in, static_cast<int>(textSize)) == 1 &&
         EVP_CIPHER_CTX_ctrl(context_, EVP_CTRL_AEAD_SET_TAG, CHUNK_TAG_SIZE, tag.data()) == 1 &&
         EVP_CipherFinal_ex(context_, out + length, &length) == 1;
}

}  // namespace rux4
