// engine_raw_loop FILE: the yardstick for the engine's throughput. Reads FILE
// into memory, then seals it with libsodium's XChaCha20-Poly1305 secret stream
// in 64 KiB chunks on one core (as rux4.exe's version 1 files were) and opens
// it again, all in memory. Prints "push SECONDS" and "pull SECONDS" for the
// two loops alone.
#include <sodium.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

constexpr std::size_t CHUNK = 64 * 1024;
constexpr std::size_t SEALED = CHUNK + crypto_secretstream_xchacha20poly1305_ABYTES;

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || sodium_init() < 0) {
    std::fprintf(stderr, "usage: engine_raw_loop FILE\n");
    return 64;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::vector<unsigned char> plain((std::istreambuf_iterator<char>(in)), {});
  const std::size_t chunks = plain.size() / CHUNK + 1;
  std::vector<unsigned char> sealed(
      plain.size() + chunks * crypto_secretstream_xchacha20poly1305_ABYTES, 1);
  std::vector<unsigned char> opened(plain.size() + CHUNK, 1);  // touched, as the engine's files are

  unsigned char key[crypto_secretstream_xchacha20poly1305_KEYBYTES];
  unsigned char header[crypto_secretstream_xchacha20poly1305_HEADERBYTES];
  crypto_secretstream_xchacha20poly1305_keygen(key);
  crypto_secretstream_xchacha20poly1305_state state;

  auto start = std::chrono::steady_clock::now();
  crypto_secretstream_xchacha20poly1305_init_push(&state, header, key);
  std::size_t sealedSize = 0;
  for (std::size_t at = 0;; at += CHUNK) {
    const std::size_t length = std::min(CHUNK, plain.size() - at);
    const bool last = length < CHUNK;
    unsigned long long written = 0;
    crypto_secretstream_xchacha20poly1305_push(
        &state, sealed.data() + sealedSize, &written, plain.data() + at, length, nullptr, 0,
        last ? crypto_secretstream_xchacha20poly1305_TAG_FINAL : 0);
    sealedSize += written;
    if (last) break;
  }
  std::printf("push %.6f\n", SecondsSince(start));

  start = std::chrono::steady_clock::now();
  if (crypto_secretstream_xchacha20poly1305_init_pull(&state, header, key) != 0) return 1;
  std::size_t openedSize = 0;
  for (std::size_t at = 0; at < sealedSize; at += SEALED) {
    unsigned long long length = 0;
    unsigned char tag = 0;
    if (crypto_secretstream_xchacha20poly1305_pull(
            &state, opened.data() + openedSize, &length, &tag, sealed.data() + at,
            std::min(SEALED, sealedSize - at), nullptr, 0) != 0) {
      std::fprintf(stderr, "engine_raw_loop: the loop does not open what it sealed\n");
      return 1;
    }
    openedSize += length;
  }
  std::printf("pull %.6f\n", SecondsSince(start));
  return openedSize == plain.size() ? 0 : 1;
}
