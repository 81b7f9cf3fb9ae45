#include "key_derivation.h"

#include <sodium.h>

#include <cstring>
#include <new>
#include <string_view>

#include "exit_status.h"

namespace rux4 {

namespace {

constexpr std::string_view MATERIAL_LABEL{"rux4 master key v1", 18};

void PutLength(unsigned char* at, std::uint32_t length) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(length >> (8 * i));
}

}  // namespace

bool IsAcceptedCost(const KdfCost& cost) {
  return cost.opslimit >= MIN_KDF_COST.opslimit && cost.opslimit <= MAX_KDF_COST.opslimit &&
         cost.memlimit >= MIN_KDF_COST.memlimit && cost.memlimit <= MAX_KDF_COST.memlimit;
}

SecretBytes::SecretBytes(std::size_t size) : size_(size) {
  StartCrypto();
  data_ = static_cast<unsigned char*>(sodium_malloc(size == 0 ? 1 : size));
  if (!data_) throw std::bad_alloc();
}

SecretBytes::~SecretBytes() {
  if (data_) sodium_free(data_);  // wipes before it frees
}

SecretBytes::SecretBytes(SecretBytes&& other) noexcept : data_(other.data_), size_(other.size_) {
  other.data_ = nullptr;
  other.size_ = 0;
}

void StartCrypto() {
  if (sodium_init() < 0) throw Failure(EXIT_IO_ERROR, "the crypto library cannot start");
}

SecretBytes KeyMaterial(const rux::FieldTexts& fields) {
  std::size_t size = MATERIAL_LABEL.size();
  for (const std::string& field : fields) size += 4 + field.size();
  SecretBytes material(size);
  unsigned char* at = material.Data();
  std::memcpy(at, MATERIAL_LABEL.data(), MATERIAL_LABEL.size());
  at += MATERIAL_LABEL.size();
  for (const std::string& field : fields) {
    PutLength(at, static_cast<std::uint32_t>(field.size()));
    std::memcpy(at + 4, field.data(), field.size());
    at += 4 + field.size();
  }
  return material;
}

SecretBytes DeriveKey(const SecretBytes& material, const Salt& salt, const KdfCost& cost) {
  SecretBytes key(KEY_SIZE);
  if (crypto_pwhash(key.Data(), key.Size(), reinterpret_cast<const char*>(material.Data()),
                    material.Size(), salt.data(), cost.opslimit,
                    static_cast<std::size_t>(cost.memlimit), crypto_pwhash_ALG_ARGON2ID13) != 0) {
    throw Failure(EXIT_IO_ERROR, "not enough memory for the key derivation (" +
                                     std::to_string(cost.memlimit >> 20) + " MiB)");
  }
  return key;
}

Salt RandomSalt() {
  StartCrypto();
  Salt salt;
  randombytes_buf(salt.data(), salt.size());
  return salt;
}

}  // namespace rux4
