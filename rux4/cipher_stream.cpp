#include "cipher_stream.h"

#include <sodium.h>

#include <algorithm>
#include <cstring>

#include "background_io.h"
#include "exit_status.h"
#include "file_io.h"

namespace rux4 {

namespace {

constexpr std::size_t BATCH_CHUNKS = 16;  // 1 MiB of plaintext per read or write
constexpr std::size_t SEALED_CHUNK = CHUNK_SIZE + CHUNK_OVERHEAD;

// Secret stream state, wiped when it goes (it holds the key).
struct StreamState {
  crypto_secretstream_xchacha20poly1305_state state;
  ~StreamState() { sodium_memzero(&state, sizeof state); }
};

[[noreturn]] void NotAuthentic(const std::string& reason) {
  throw Failure(EXIT_AUTH_FAILED, "authentication failed: " + reason);
}

}  // namespace

void EncodeStream(int source, int sink, const SecretBytes& key, const KdfCost& cost,
                  const Salt& salt, Progress& progress, std::uint64_t& processed) {
  EncodedHeader header;
  header.cost = cost;
  header.salt = salt;
  StreamState stream;
  crypto_secretstream_xchacha20poly1305_init_push(&stream.state, header.streamHeader.data(),
                                                  key.Data());
  const HeaderBytes headerBytes = HeaderToBytes(header);
  WriteAll(sink, headerBytes.data(), headerBytes.size(), "target");

  BackgroundReader reader(source, BATCH_CHUNKS * CHUNK_SIZE, "source");
  BackgroundWriter writer(sink, BATCH_CHUNKS * SEALED_CHUNK, "target");
  const unsigned char* additional = headerBytes.data();  // first chunk only
  std::size_t additionalSize = headerBytes.size();
  bool atEnd = false;
  progress.Update(0);
  while (!atEnd) {
    Buffer plain = reader.Next();
    atEnd = plain.size < BATCH_CHUNKS * CHUNK_SIZE;
    Buffer sealed = writer.Take();
    sealed.size = 0;
    for (std::size_t at = 0; at < plain.size || (atEnd && at == plain.size);) {
      const std::size_t length = std::min(CHUNK_SIZE, plain.size - at);
      const bool last = length < CHUNK_SIZE;  // a full chunk is never the last one
      unsigned long long written = 0;
      crypto_secretstream_xchacha20poly1305_push(
          &stream.state, sealed.bytes.data() + sealed.size, &written, plain.bytes.data() + at,
          length, additional, additionalSize,
          last ? crypto_secretstream_xchacha20poly1305_TAG_FINAL
               : crypto_secretstream_xchacha20poly1305_TAG_MESSAGE);
      additional = nullptr;
      additionalSize = 0;
      sealed.size += static_cast<std::size_t>(written);
      at += length;
      if (last) break;
    }
    writer.Write(std::move(sealed));
    processed += plain.size;
    reader.Recycle(std::move(plain));
    progress.Update(processed);
  }
  writer.Finish();
}

EncodedHeader ReadEncodedHeader(int source, HeaderBytes& bytes) {
  if (ReadUpTo(source, bytes.data(), bytes.size(), "source") < bytes.size()) {
    NotAuthentic("the file is too short to be an encoded file");
  }
  std::string problem;
  std::optional<EncodedHeader> header = HeaderFromBytes(bytes, problem);
  if (!header) NotAuthentic(problem);
  return *header;
}

void DecodeStream(int source, int sink, const SecretBytes& key, const HeaderBytes& bytes,
                  const EncodedHeader& header, Progress& progress, std::uint64_t& processed) {
  StreamState stream;
  if (crypto_secretstream_xchacha20poly1305_init_pull(&stream.state, header.streamHeader.data(),
                                                      key.Data()) != 0) {
    NotAuthentic("the stream header is damaged");
  }
  BackgroundReader reader(source, BATCH_CHUNKS * SEALED_CHUNK, "source");
  BackgroundWriter writer(sink, BATCH_CHUNKS * CHUNK_SIZE, "target");
  const unsigned char* additional = bytes.data();  // first chunk only
  std::size_t additionalSize = bytes.size();
  std::uint64_t consumed = bytes.size();
  bool finalSeen = false;
  bool atEnd = false;
  progress.Update(consumed);
  while (!atEnd) {
    Buffer sealed = reader.Next();
    atEnd = sealed.size < BATCH_CHUNKS * SEALED_CHUNK;
    Buffer plain = writer.Take();
    plain.size = 0;
    for (std::size_t at = 0; at < sealed.size;) {
      if (finalSeen) NotAuthentic("data follows the end of the encoded file");
      const std::size_t length = std::min(SEALED_CHUNK, sealed.size - at);
      unsigned long long opened = 0;
      unsigned char tag = 0;
      if (length < CHUNK_OVERHEAD ||
          crypto_secretstream_xchacha20poly1305_pull(&stream.state, plain.bytes.data() + plain.size,
                                                     &opened, &tag, sealed.bytes.data() + at,
                                                     length, additional, additionalSize) != 0) {
        NotAuthentic("wrong Master Key, or the encoded file was changed or cut short (at byte " +
                     std::to_string(consumed + at) + ")");
      }
      if (tag == crypto_secretstream_xchacha20poly1305_TAG_FINAL) {
        finalSeen = true;
      } else if (tag != crypto_secretstream_xchacha20poly1305_TAG_MESSAGE) {
        NotAuthentic("unexpected chunk tag");
      }
      additional = nullptr;
      additionalSize = 0;
      plain.size += static_cast<std::size_t>(opened);
      at += length;
    }
    consumed += sealed.size;
    processed += plain.size;
    writer.Write(std::move(plain));  // every byte in it has been authenticated
    reader.Recycle(std::move(sealed));
    progress.Update(consumed);
  }
  writer.Finish();
  if (!finalSeen) NotAuthentic("the encoded file was cut short (its end is missing)");
}

}  // namespace rux4
