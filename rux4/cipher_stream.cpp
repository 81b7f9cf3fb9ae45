#include "cipher_stream.h"

#include <sodium.h>

#include <algorithm>

#include "batch_pipeline.h"
#include "chunk_cipher.h"
#include "exit_status.h"
#include "file_io.h"

namespace rux4 {

namespace {

constexpr std::size_t BATCH_CHUNKS = 16;  // 1 MiB of plaintext per batch
constexpr std::size_t SEALED_CHUNK = CHUNK_SIZE + CHUNK_TAG_SIZE;
constexpr std::size_t STREAM_CHUNK = CHUNK_SIZE + STREAM_CHUNK_OVERHEAD;

// Secret stream state, wiped when it goes (it holds the key).
struct StreamState {
  crypto_secretstream_xchacha20poly1305_state state;
  ~StreamState() { sodium_memzero(&state, sizeof state); }
};

[[noreturn]] void NotAuthentic(const std::string& reason) {
  throw Failure(EXIT_AUTH_FAILED, "authentication failed: " + reason);
}

[[noreturn]] void ChunkNotAuthentic(std::uint64_t at) {
  NotAuthentic("wrong Master Key, or the encoded file was changed or cut short (at byte " +
               std::to_string(at) + ")");
}

std::vector<ChunkCipher> Ciphers(const SecretBytes& fileKey, ChunkCipher::Direction direction,
                                 int count) {
  std::vector<ChunkCipher> ciphers;
  for (int i = 0; i < count; ++i) ciphers.emplace_back(fileKey, direction);
  return ciphers;
}

// Version 2: every chunk opened on its own; a chunk's number and whether it is
// the last follow from its place in the file.
void DecodeChunks(int source, std::uint64_t bodySize, int sink, const SecretBytes& key,
                  const HeaderPrefix& header, const BatchWritten& written) {
  const int workers = WorkerCount();
  std::vector<ChunkCipher> ciphers = Ciphers(FileKey(key, header), ChunkCipher::Opening, workers);
  const BatchTransform open = [&](int worker, const Batch& batch) {
    std::size_t at = 0;
    std::size_t opened = 0;
    do {
      const std::size_t length = std::min(SEALED_CHUNK, batch.inSize - at);
      const std::uint64_t number = batch.number * BATCH_CHUNKS + at / SEALED_CHUNK;
      const bool last = batch.last && at + length == batch.inSize;
      if (!ciphers[worker].Open(number, last, batch.in + at, length, batch.out + opened)) {
        ChunkNotAuthentic(HEADER_PREFIX_SIZE + number * SEALED_CHUNK);
      }
      opened += length - CHUNK_TAG_SIZE;
      at += length;
    } while (at < batch.inSize);
    return opened;
  };
  RunPipeline(source, bodySize, sink,
              {BATCH_CHUNKS * SEALED_CHUNK, BATCH_CHUNKS * CHUNK_SIZE, workers}, open, written);
}

// Version 1: one secret stream, opened chunk after chunk on one worker.
void DecodeSecretStream(int source, std::uint64_t bodySize, int sink, const SecretBytes& key,
                        const std::vector<unsigned char>& headerBytes,
                        const BatchWritten& written) {
  StreamState stream;
  if (crypto_secretstream_xchacha20poly1305_init_pull(
          &stream.state, headerBytes.data() + HEADER_PREFIX_SIZE, key.Data()) != 0) {
    NotAuthentic("the stream header is damaged");
  }
  const unsigned char* additional = headerBytes.data();  // first chunk only
  std::size_t additionalSize = headerBytes.size();
  bool finalSeen = false;
  const BatchTransform open = [&](int, const Batch& batch) {
    std::size_t opened = 0;
    for (std::size_t at = 0; at < batch.inSize;) {
      if (finalSeen) NotAuthentic("data follows the end of the encoded file");
      const std::size_t length = std::min(STREAM_CHUNK, batch.inSize - at);
      unsigned long long size = 0;
      unsigned char tag = 0;
      if (length < STREAM_CHUNK_OVERHEAD ||
          crypto_secretstream_xchacha20poly1305_pull(&stream.state, batch.out + opened, &size, &tag,
                                                     batch.in + at, length, additional,
                                                     additionalSize) != 0) {
        ChunkNotAuthentic(headerBytes.size() + batch.number * BATCH_CHUNKS * STREAM_CHUNK + at);
      }
      if (tag == crypto_secretstream_xchacha20poly1305_TAG_FINAL) {
        finalSeen = true;
      } else if (tag != crypto_secretstream_xchacha20poly1305_TAG_MESSAGE) {
        NotAuthentic("unexpected chunk tag");
      }
      additional = nullptr;
      additionalSize = 0;
      opened += static_cast<std::size_t>(size);
      at += length;
    }
    if (batch.last && !finalSeen)
      NotAuthentic("the encoded file was cut short (its end is missing)");
    return opened;
  };
  RunPipeline(source, bodySize, sink, {BATCH_CHUNKS * STREAM_CHUNK, BATCH_CHUNKS * CHUNK_SIZE, 1},
              open, written);
}

}  // namespace

void EncodeStream(int source, std::uint64_t sourceSize, int sink, const SecretBytes& key,
                  const KdfCost& cost, const Salt& salt, Progress& progress,
                  std::uint64_t& processed) {
  EncodedHeader header;
  header.cost = cost;
  header.salt = salt;
  const HeaderPrefix headerBytes = HeaderToBytes(header);
  WriteAll(sink, headerBytes.data(), headerBytes.size(), "target");
  const int workers = WorkerCount();
  std::vector<ChunkCipher> ciphers =
      Ciphers(FileKey(key, headerBytes), ChunkCipher::Sealing, workers);
  // Every batch but the last is whole chunks; the file's last chunk carries
  // the last flag, also when it is full, and an empty source still gets one.
  const BatchTransform seal = [&](int worker, const Batch& batch) {
    std::size_t at = 0;
    std::size_t sealed = 0;
    do {
      const std::size_t length = std::min(CHUNK_SIZE, batch.inSize - at);
      const bool last = batch.last && at + length == batch.inSize;
      ciphers[worker].Seal(batch.number * BATCH_CHUNKS + at / CHUNK_SIZE, last, batch.in + at,
                           length, batch.out + sealed);
      sealed += length + CHUNK_TAG_SIZE;
      at += length;
    } while (at < batch.inSize);
    return sealed;
  };
  progress.Update(0);
  RunPipeline(source, sourceSize, sink,
              {BATCH_CHUNKS * CHUNK_SIZE, BATCH_CHUNKS * SEALED_CHUNK, workers}, seal,
              [&](std::uint64_t read, std::uint64_t) {
                processed = read;
                progress.Update(read);
              });
}

EncodedHeader ReadEncodedHeader(int source, std::vector<unsigned char>& bytes) {
  HeaderPrefix prefix{};
  if (ReadUpTo(source, prefix.data(), prefix.size(), "source") < prefix.size()) {
    NotAuthentic("the file is too short to be an encoded file");
  }
  std::string problem;
  const std::optional<EncodedHeader> header = HeaderFromBytes(prefix, problem);
  if (!header) NotAuthentic(problem);
  bytes.assign(prefix.begin(), prefix.end());
  if (header->version == FORMAT_STREAM) {
    bytes.resize(HEADER_PREFIX_SIZE + STREAM_HEADER_SIZE);
    if (ReadUpTo(source, bytes.data() + HEADER_PREFIX_SIZE, STREAM_HEADER_SIZE, "source") <
        STREAM_HEADER_SIZE) {
      NotAuthentic("the file is too short to be an encoded file");
    }
  }
  return *header;
}

void DecodeStream(int source, std::uint64_t sourceSize, int sink, const SecretBytes& key,
                  const std::vector<unsigned char>& headerBytes, const EncodedHeader& header,
                  Progress& progress, std::uint64_t& processed) {
  if (sourceSize < headerBytes.size()) SourceChangedSize();
  const std::uint64_t bodySize = sourceSize - headerBytes.size();
  const BatchWritten written = [&](std::uint64_t read, std::uint64_t wrote) {
    processed = wrote;
    progress.Update(headerBytes.size() + read);
  };
  progress.Update(headerBytes.size());
  if (header.version == FORMAT_STREAM) {
    DecodeSecretStream(source, bodySize, sink, key, headerBytes, written);
  } else {
    HeaderPrefix prefix{};
    std::copy_n(headerBytes.begin(), prefix.size(), prefix.begin());
    DecodeChunks(source, bodySize, sink, key, prefix, written);
  }
}

}  // namespace rux4
