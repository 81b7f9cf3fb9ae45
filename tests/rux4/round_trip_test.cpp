// ENCODE and DECODE in-process at a low key derivation cost: sizes around the
// chunk boundaries, damaged, cut and reordered encoded files, a source of unknown size,
// a full disk.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <thread>
#include <tuple>

#include "engine_harness.h"
#include "rux4/cipher_stream.h"
#include "rux4/file_format.h"
#include "rux4/file_io.h"

namespace rux4::test {
namespace {

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
    EXPECT_EQ(bytes.size(), ENCODED_HEADER_SIZE + size + CHUNK_OVERHEAD * (size / chunk + 1));
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

TEST_F(RoundTrip, EachEncodeUsesAFreshSaltAndStream) {
  const std::string plain = RandomBytes(1000);
  const std::string first = Encoded(plain);
  const std::string second = Encoded(plain);
  // Magic, version, Argon2id, opslimit and memlimit (little-endian), then the salt.
  EXPECT_EQ(first.substr(0, 22), std::string("RUX4ENC1\x01\x02\x01\0\0\0\0\0\x01\0\0\0\0\0", 22));
  EXPECT_NE(first.substr(22, 16), second.substr(22, 16));
  EXPECT_NE(first.substr(38), second.substr(38));
}

TEST_F(RoundTrip, FlippedCutExtendedOrReorderedFilesAreRefused) {
  const std::string bytes = Encoded(RandomBytes(2 * CHUNK_SIZE + 5000));
  const std::size_t secondChunk = ENCODED_HEADER_SIZE + CHUNK_SIZE + CHUNK_OVERHEAD;
  // Magic, version, opslimit, memlimit, salt, stream header, first chunk's tag
  // byte, text and MAC, a middle chunk, the last chunk's MAC.
  for (std::size_t at :
       {std::size_t{0}, std::size_t{8}, std::size_t{10}, std::size_t{14}, std::size_t{22},
        std::size_t{38}, ENCODED_HEADER_SIZE, ENCODED_HEADER_SIZE + 500, secondChunk - 1,
        secondChunk + 40000, bytes.size() - 1}) {
    std::string flipped = bytes;
    flipped[at] = static_cast<char>(flipped[at] ^ 0x01);
    ExpectRefused(flipped, "flip at " + std::to_string(at));
  }
  for (std::size_t length : {std::size_t{0}, std::size_t{10}, ENCODED_HEADER_SIZE - 1,
                             ENCODED_HEADER_SIZE, ENCODED_HEADER_SIZE + 16, secondChunk,
                             2 * secondChunk - ENCODED_HEADER_SIZE, bytes.size() - 1}) {
    ExpectRefused(bytes.substr(0, length), "cut to " + std::to_string(length));
  }
  // A header that would make decoding run for hours or claim all memory.
  const std::tuple<std::size_t, char, const char*> headers[] = {
      {8, 2, "unknown version"},
      {10, 17, "damaged key derivation cost"},
      {21, 1, "damaged key derivation cost"}};  // 2^56 bytes
  for (const auto& [at, value, message] : headers) {
    std::string changed = bytes;
    changed[at] = value;
    ExpectRefused(changed, "header byte " + std::to_string(at), message);
  }
  ExpectRefused(bytes + "x", "one byte appended");
  ExpectRefused(bytes + bytes.substr(bytes.size() - 5017), "last chunk twice");
  const std::size_t chunkSize = secondChunk - ENCODED_HEADER_SIZE;
  std::string swapped = bytes;
  swapped.replace(secondChunk, chunkSize, bytes.substr(ENCODED_HEADER_SIZE, chunkSize));
  swapped.replace(ENCODED_HEADER_SIZE, chunkSize, bytes.substr(secondChunk, chunkSize));
  ExpectRefused(swapped, "chunks swapped");
  // An empty source still ends with a final chunk, so losing it is noticed.
  ExpectRefused(Encoded("").substr(0, ENCODED_HEADER_SIZE), "empty file's final chunk removed");
  ExpectRefused(RandomBytes(5000), "random bytes", "not an encoded file");
}

TEST_F(RoundTrip, PipeSourceOfUnknownSizeIsEncodedWhole) {
  const std::string fifo = dir.File("feed");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string plain = RandomBytes(2 * 1024 * 1024 + 3);
  std::thread feeder([&] { WriteBytes(fifo, plain); });  // opens once the engine does
  const EngineResult encode = Code("c", fifo, encoded);
  feeder.join();
  ASSERT_EQ(encode.status, EXIT_OK) << encode.err;
  EXPECT_EQ(ProgressValues(encode.out), std::vector<int>{100});
  ASSERT_EQ(Code("d", encoded, decoded).status, EXIT_OK);
  EXPECT_EQ(ReadBytes(decoded), plain);
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
    EncodeStream(source.Get(), full.Get(), key, TEST_COST, Salt{}, progress, processed);
    FAIL() << "writing to /dev/full succeeded";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Status(), EXIT_IO_ERROR);
    EXPECT_NE(std::string(failure.what()).find("No space left on device"), std::string::npos)
        << failure.what();
  }
}

}  // namespace
}  // namespace rux4::test
