// engine_kdf: the engine's key derivation alone, at the shipped cost, as a
// whole program. An empty file's ENCODE should cost about this much time and
// memory, and a big file's no more memory than this plus its buffers.
#include "rux4/key_derivation.h"

int main() {
  const rux4::SecretBytes material = rux4::KeyMaterial(rux::FieldTexts{"BenchKey1x7Q"});
  const rux4::SecretBytes key =
      rux4::DeriveKey(material, rux4::RandomSalt(), rux4::DEFAULT_KDF_COST);
  return key.Size() == rux4::KEY_SIZE ? 0 : 1;
}
