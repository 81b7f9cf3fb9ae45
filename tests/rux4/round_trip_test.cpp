// ENCODE and DECODE in-process at a low key derivation cost: sizes around the
// chunk boundaries, the documented layout, damaged, cut and reordered encoded
// files of both versions, hostile headers, a source that changes size, a full disk.
#include <fcntl.h>
#include <sodium.h>
#include <sys/stat.h>
#include <unistd.h>

#include <tuple>

#include "engine_harness.h"
#include "keybook/key_book.h"
#include "rux4/cipher_stream.h"
#include "rux4/file_format.h"
#include "rux4/file_io.h"

namespace rux4::test {
namespace {

constexpr std::size_t SEALED = CHUNK_SIZE + CHUNK_TAG_SIZE;

class RoundTrip : public EngineTest {
 protected:
  const std::string encoded = dir.File("encoded");
  const std::string decoded = dir.File("decoded");

  EngineResult Code(const char* mode, const std::string& from, const std::string& to,
                    int number = KEY_ONE) {
    return RunInProcess(Items(book, number, mode, from, to));
  }
  // Encodes plain into `encoded` and returns its bytes.
  std::string Encoded(const std::string& plain) {
    WriteBytes(source, plain);
    const EngineResult result = Code("c", source, encoded);
    EXPECT_EQ(result.status, EXIT_OK) << result.err;
    return ReadBytes(encoded);
  }
  // Decodes the bytes over an existing target: refused, the target untouched,
  // no temporary file left.
  void ExpectRefused(const std::string& bytes, const std::string& what,
                     const std::string& message = "authentication failed") {
    SCOPED_TRACE(what);
    WriteBytes(dir.File("damaged"), bytes);
    WriteBytes(decoded, "older contents");
    const EngineResult result = Code("d", dir.File("damaged"), decoded);
    EXPECT_EQ(result.status, EXIT_AUTH_FAILED);
    EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
    EXPECT_EQ(ReadBytes(decoded), "older contents");
    for (const std::string& name : FilesIn(dir.Path())) EXPECT_NE(name[0], '.') << name;
  }
};

TEST_F(RoundTrip, SizesAroundChunkAndBatchBoundariesComeBackUnchanged) {
  const std::size_t chunk = CHUNK_SIZE;
  for (std::size_t size : {std::size_t{0}, std::size_t{1}, chunk - 1, chunk, chunk + 1, 16 * chunk,
                           16 * chunk + 1, std::size_t{3 * 1024 * 1024 + 7}}) {
    SCOPED_TRACE(size);
    const std::string plain = RandomBytes(size);
    const std::string bytes = Encoded(plain);
    const std::size_t chunks = std::max<std::size_t>(1, (size + chunk - 1) / chunk);
    EXPECT_EQ(bytes.size(), HEADER_PREFIX_SIZE + size + CHUNK_TAG_SIZE * chunks);
    if (size >= 64) {
      EXPECT_EQ(bytes.find(plain.substr(0, 64)), std::string::npos);
    }
    const EngineResult result = Code("d", encoded, decoded);
    ASSERT_EQ(result.status, EXIT_OK) << result.err;
    EXPECT_EQ(ReadBytes(decoded), plain);
    EXPECT_NE(result.out.find("DECODE: " + std::to_string(size) + " bytes processed, result: OK"),
              std::string::npos)
        << result.out;
  }
}

// The layout as the README gives it, opened with libsodium: the Argon2id key,
// the file key over the label and the header, each chunk's nonce.
TEST_F(RoundTrip, FilesFollowTheDocumentedLayoutWithAFreshSaltEachTime) {
  const std::string plain = RandomBytes(CHUNK_SIZE + 1000);
  const std::string bytes = Encoded(plain);
  // Magic, version 2, Argon2id, opslimit and memlimit (little-endian), then the salt.
  EXPECT_EQ(bytes.substr(0, 22), std::string("RUX4ENC1\x02\x02\x01\0\0\0\0\0\x01\0\0\0\0\0", 22));
  EXPECT_NE(bytes.substr(22, 16), Encoded(plain).substr(22, 16));

  Salt salt;
  std::copy_n(bytes.begin() + 22, salt.size(), salt.begin());
  const SecretBytes key =
      DeriveKey(KeyMaterial(rux::ReadFields(book, KEY_ONE).record->fields), salt, TEST_COST);
  const std::string keyInput = std::string("rux4 file key v2") + bytes.substr(0, 38);
  unsigned char fileKey[32];
  crypto_generichash(fileKey, sizeof fileKey,
                     reinterpret_cast<const unsigned char*>(keyInput.data()), keyInput.size(),
                     key.Data(), key.Size());
  std::string opened;
  for (std::size_t at = 38, number = 0; at < bytes.size(); at += SEALED, ++number) {
    const std::size_t length = std::min(SEALED, bytes.size() - at);
    unsigned char nonce[12] = {static_cast<unsigned char>(number)};
    nonce[8] = at + length == bytes.size();
    std::string text(length - CHUNK_TAG_SIZE, '\0');
    ASSERT_EQ(crypto_aead_chacha20poly1305_ietf_decrypt(
                  reinterpret_cast<unsigned char*>(text.data()), nullptr, nullptr,
                  reinterpret_cast<const unsigned char*>(bytes.data() + at), length, nullptr, 0,
                  nonce, fileKey),
              0)
        << "chunk " << number;
    opened += text;
  }
  EXPECT_EQ(opened, plain);
}

TEST_F(RoundTrip, FlippedCutExtendedOrReorderedChunksAreRefused) {
  // Three chunks, the last a whole CHUNK_SIZE: its flag alone marks the end.
  const std::string bytes = Encoded(RandomBytes(3 * CHUNK_SIZE));
  const std::string header = bytes.substr(0, HEADER_PREFIX_SIZE);
  const auto chunk = [&](std::size_t n) {
    return bytes.substr(HEADER_PREFIX_SIZE + n * SEALED, SEALED);
  };
  ASSERT_EQ(bytes, header + chunk(0) + chunk(1) + chunk(2));
  // Magic, version, key derivation, opslimit, memlimit, salt; the first and
  // last byte (text and tag) of every chunk.
  std::vector<std::size_t> flips{0, 8, 9, 10, 14, 22, 37};
  for (std::size_t n = 0; n < 3; ++n) {
    flips.push_back(HEADER_PREFIX_SIZE + n * SEALED);
    flips.push_back(HEADER_PREFIX_SIZE + (n + 1) * SEALED - 1);
  }
  for (std::size_t at : flips) {
    std::string flipped = bytes;
    flipped[at] = static_cast<char>(flipped[at] ^ 0x01);
    ExpectRefused(flipped, "flip at " + std::to_string(at));
  }
  for (std::size_t length :
       {std::size_t{0}, std::size_t{10}, HEADER_PREFIX_SIZE - 1, HEADER_PREFIX_SIZE,
        HEADER_PREFIX_SIZE + CHUNK_TAG_SIZE, HEADER_PREFIX_SIZE + SEALED,
        HEADER_PREFIX_SIZE + 2 * SEALED, bytes.size() - 1}) {
    ExpectRefused(bytes.substr(0, length), "cut to " + std::to_string(length));
  }
  const std::string otherHeader =
      Encoded(RandomBytes(3 * CHUNK_SIZE)).substr(0, HEADER_PREFIX_SIZE);
  const std::pair<std::string, const char*> changed[] = {
      {header + chunk(1) + chunk(0) + chunk(2), "first two chunks swapped"},
      {header + chunk(0) + chunk(2), "middle chunk dropped"},
      {header + chunk(0) + chunk(1) + chunk(1) + chunk(2), "middle chunk repeated"},
      {bytes + chunk(2), "last chunk twice"},
      {bytes + "x", "one byte appended"},
      {otherHeader + chunk(0) + chunk(1) + chunk(2), "another file's header"},
      // An empty source still ends with a sealed chunk, so losing it is noticed.
      {Encoded("").substr(0, HEADER_PREFIX_SIZE), "empty file's chunk removed"},
  };
  for (const auto& [damaged, what] : changed) ExpectRefused(damaged, what);
  ExpectRefused(RandomBytes(5000), "random bytes", "not an encoded file");
}

// Version 1 files, made by the engine before the chunks were sealed one by
// one, still decode, and damage to them is still found.
TEST_F(RoundTrip, FilesOfTheSecretStreamVersionStillDecodeAndStayGuarded) {
  const std::string bytes = ReadBytes(TEST_DATA_DIR "/stream-format.rux");
  std::string plain(CHUNK_SIZE + 1000, '\0');
  for (std::size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<char>((i * 131 + 7) % 251);
  WriteBytes(dir.File("old"), bytes);
  const EngineResult result = Code("d", dir.File("old"), decoded);
  ASSERT_EQ(result.status, EXIT_OK) << result.err;
  EXPECT_EQ(ReadBytes(decoded), plain);

  const std::size_t header = HEADER_PREFIX_SIZE + STREAM_HEADER_SIZE;
  const std::size_t second = header + CHUNK_SIZE + STREAM_CHUNK_OVERHEAD;
  ASSERT_EQ(bytes.size(), second + 1000 + STREAM_CHUNK_OVERHEAD);
  for (std::size_t at : {HEADER_PREFIX_SIZE, header, second - 1, second, bytes.size() - 1}) {
    std::string flipped = bytes;
    flipped[at] = static_cast<char>(flipped[at] ^ 0x01);
    ExpectRefused(flipped, "flip at " + std::to_string(at));
  }
  for (std::size_t length : {header - 1, header, second}) {
    ExpectRefused(bytes.substr(0, length), "cut to " + std::to_string(length));
  }
  ExpectRefused(bytes + "x", "one byte appended");
  ExpectRefused(bytes.substr(0, header) + bytes.substr(second), "first chunk dropped");
}

// A header of either version that names an unknown version or a key
// derivation cost out of bounds (at most four times the default passes and
// twice the default memory) is refused before any key derivation.
TEST_F(RoundTrip, HeadersOutOfRangeAreRefusedBeforeAnyWork) {
  const std::string versions[] = {ReadBytes(TEST_DATA_DIR "/stream-format.rux"), Encoded("text")};
  const std::tuple<std::size_t, std::string, const char*> fields[] = {
      {8, std::string(1, '\0'), "unknown version (0/2)"},
      {8, "\x03", "unknown version (3/2)"},
      {9, "\x01", "unknown version"},
      {10, std::string(4, '\0'), "cost out of bounds: 0 passes"},
      {10, std::string("\x0d\0\0\0", 4), "cost out of bounds: 13 passes"},
      {14, std::string("\xff\x1f\0\0\0\0\0\0", 8), "cost out of bounds: 1 passes over 7 KiB"},
      {14, std::string("\x00\x04\0\x20\0\0\0\0", 8), "over 524289 KiB"},
      {14, std::string("\0\0\0\0\0\0\0\x01", 8), "cost out of bounds"},  // 2^56 bytes
      // Within bounds: derived, so the changed key no longer opens the file.
      {10, std::string("\x0c\0\0\0", 4), "wrong Master Key, or the encoded file was changed"},
  };
  for (const std::string& bytes : versions) {
    for (const auto& [at, value, message] : fields) {
      std::string changed = bytes;
      changed.replace(at, value.size(), value);
      ExpectRefused(changed, "header byte " + std::to_string(at), message);
    }
  }
}

TEST_F(RoundTrip, ASourceThatChangesSizeWhileReadEndsWith74AndCommitsNothing) {
  const std::pair<const char*, std::function<void()>> changes[] = {
      {"cut to 1 MiB", [&] { ASSERT_EQ(::truncate(source.c_str(), 1 << 20), 0); }},
      {"one byte appended",
       [&] {
         const Descriptor file(::open(source.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC));
         ASSERT_EQ(::write(file.Get(), "x", 1), 1);
       }},
  };
  for (const auto& [what, change] : changes) {
    SCOPED_TRACE(what);
    WriteBytes(source, RandomBytes(32 << 20));
    WriteBytes(encoded, "older contents");
    bool changed = false;  // once a tenth is read, well before the reader reaches the end
    const EngineResult result =
        RunInProcess(Items(book, KEY_ONE, "c", source, encoded), [&](const std::string& line) {
          const std::vector<int> progress = ProgressValues(line);
          if (!changed && !progress.empty() && progress.back() >= 10) {
            changed = true;
            change();
          }
        });
    EXPECT_EQ(result.status, EXIT_IO_ERROR);
    EXPECT_NE(result.err.find("the source changed size while it was read"), std::string::npos)
        << result.err;
    EXPECT_EQ(ReadBytes(encoded), "older contents");
    EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"book.dat", "encoded", "plain.txt"}));
  }
}

TEST(CipherStream, WritingToAFullDiskIsAReadOrWriteError) {
  rux::test::TempDir dir;
  WriteBytes(dir.File("plain"), RandomBytes(3 * CHUNK_SIZE));
  std::uint64_t size = 0;
  const Descriptor source = OpenForReading(dir.File("plain"), "source", EXIT_NO_SOURCE, size);
  const Descriptor full(::open("/dev/full", O_WRONLY | O_CLOEXEC));
  ASSERT_GE(full.Get(), 0);
  const SecretBytes key = DeriveKey(KeyMaterial({"k"}), Salt{}, TEST_COST);
  std::ostringstream out;
  Progress progress(out, size);
  std::uint64_t processed = 0;
  try {
    EncodeStream(source.Get(), size, full.Get(), key, TEST_COST, Salt{}, progress, processed);
    FAIL() << "writing to /dev/full succeeded";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Status(), EXIT_IO_ERROR);
    EXPECT_NE(std::string(failure.what()).find("No space left on device"), std::string::npos)
        << failure.what();
  }
}

}  // namespace
}  // namespace rux4::test
