// ENCODE and DECODE in-process at a low key derivation cost: sizes around the
// chunk boundaries, damaged and cut encoded files, a wrong Master Key.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <thread>

#include "engine_harness.h"
#include "rux4/cipher_stream.h"
#include "rux4/exit_status.h"
#include "rux4/file_io.h"
#include "support/temp_dir.h"

namespace rux4 {
namespace {

using rux::test::Exists;
using rux::test::ReadBytes;
using rux::test::WriteBytes;

class RoundTrip : public ::testing::Test {
 protected:
  RoundTrip() { test::MakeBook(book); }

  test::EngineResult Encode(const std::string& source, const std::string& target,
                            int number = test::KEY_ONE) {
    return test::RunInProcess(test::Items(book, number, "c", source, target));
  }
  test::EngineResult Decode(const std::string& source, const std::string& target,
                            int number = test::KEY_ONE) {
    return test::RunInProcess(test::Items(book, number, "d", source, target));
  }
  // Encodes plain into "encoded" and returns the encoded bytes.
  std::string Encoded(const std::string& plain) {
    WriteBytes(dir.File("plain"), plain);
    const test::EngineResult result = Encode(dir.File("plain"), dir.File("encoded"));
    EXPECT_EQ(result.status, EXIT_OK) << result.err;
    return ReadBytes(dir.File("encoded"));
  }
  // Decodes bytes given as an encoded file into "decoded" over an existing file.
  test::EngineResult DecodeBytes(const std::string& encoded) {
    WriteBytes(dir.File("damaged"), encoded);
    WriteBytes(dir.File("decoded"), "older contents");
    return Decode(dir.File("damaged"), dir.File("decoded"));
  }
  void ExpectRefused(const test::EngineResult& result, const std::string& what) {
    EXPECT_EQ(result.status, EXIT_AUTH_FAILED) << what;
    EXPECT_NE(result.err.find("authentication failed"), std::string::npos) << what;
    EXPECT_EQ(ReadBytes(dir.File("decoded")), "older contents") << what;
    for (const std::string& name : test::FilesIn(dir.Path())) {
      EXPECT_NE(name[0], '.') << what << ": temporary file " << name << " left";
    }
  }

  rux::test::TempDir dir;
  std::string book = dir.File("book.dat");
};

TEST_F(RoundTrip, SizesAroundChunkAndBatchBoundariesComeBackUnchanged) {
  const std::size_t chunk = CHUNK_SIZE;
  for (std::size_t size : {std::size_t{0}, std::size_t{1}, chunk - 1, chunk, chunk + 1, 16 * chunk,
                           16 * chunk + 1, std::size_t{3 * 1024 * 1024 + 7}}) {
    const std::string plain = test::RandomBytes(size);
    const std::string encoded = Encoded(plain);
    EXPECT_EQ(encoded.size(), ENCODED_HEADER_SIZE + size + CHUNK_OVERHEAD * (size / chunk + 1))
        << size;
    if (size >= 64) {
      EXPECT_EQ(encoded.find(plain.substr(0, 64)), std::string::npos) << "plaintext visible";
    }
    const test::EngineResult result = Decode(dir.File("encoded"), dir.File("decoded"));
    ASSERT_EQ(result.status, EXIT_OK) << result.err;
    EXPECT_EQ(ReadBytes(dir.File("decoded")), plain) << size;
    EXPECT_NE(result.out.find("DECODE: " + std::to_string(size) + " bytes processed, result: OK"),
              std::string::npos)
        << result.out;
  }
}

TEST_F(RoundTrip, EachEncodeUsesAFreshSaltAndStream) {
  const std::string plain = test::RandomBytes(1000);
  const std::string first = Encoded(plain);
  const std::string second = Encoded(plain);
  EXPECT_EQ(first.size(), second.size());
  EXPECT_NE(first.substr(22, 16), second.substr(22, 16));
  EXPECT_NE(first.substr(ENCODED_HEADER_SIZE), second.substr(ENCODED_HEADER_SIZE));
}

TEST_F(RoundTrip, AnotherMasterKeyCannotDecode) {
  Encoded("secret text");
  WriteBytes(dir.File("decoded"), "older contents");
  const test::EngineResult result = Decode(dir.File("encoded"), dir.File("decoded"), test::KEY_TWO);
  EXPECT_EQ(result.status, EXIT_AUTH_FAILED);
  EXPECT_NE(result.err.find("wrong Master Key"), std::string::npos) << result.err;
  EXPECT_EQ(ReadBytes(dir.File("decoded")), "older contents");
  EXPECT_NE(result.out.find("result: authentication failed (exit status 78)"), std::string::npos);
}

TEST_F(RoundTrip, OneFlippedByteAnywhereIsRefused) {
  const std::string encoded = Encoded(test::RandomBytes(2 * CHUNK_SIZE + 5000));
  const std::size_t secondChunk = ENCODED_HEADER_SIZE + CHUNK_SIZE + CHUNK_OVERHEAD;
  const std::size_t positions[] = {
      0,                          // magic
      8,                          // format version
      10,                         // Argon2 opslimit
      14,                         // Argon2 memlimit
      22,                         // salt
      38,                         // stream header
      ENCODED_HEADER_SIZE,        // first chunk's tag byte
      ENCODED_HEADER_SIZE + 500,  // first chunk's text
      secondChunk - 1,            // first chunk's MAC
      secondChunk + 40000,        // middle chunk
      encoded.size() - 1,         // last chunk's MAC
  };
  for (std::size_t position : positions) {
    std::string damaged = encoded;
    damaged[position] = static_cast<char>(damaged[position] ^ 0x01);
    ExpectRefused(DecodeBytes(damaged), "flip at " + std::to_string(position));
  }
}

TEST_F(RoundTrip, CutShortOrExtendedFilesAreRefused) {
  const std::string encoded = Encoded(test::RandomBytes(2 * CHUNK_SIZE + 5000));
  const std::size_t firstEnd = ENCODED_HEADER_SIZE + CHUNK_SIZE + CHUNK_OVERHEAD;
  for (std::size_t length : {std::size_t{0}, std::size_t{10}, ENCODED_HEADER_SIZE - 1,
                             ENCODED_HEADER_SIZE, ENCODED_HEADER_SIZE + 16, firstEnd,
                             2 * firstEnd - ENCODED_HEADER_SIZE, encoded.size() - 1}) {
    ExpectRefused(DecodeBytes(encoded.substr(0, length)), "cut to " + std::to_string(length));
  }
  ExpectRefused(DecodeBytes(encoded + "x"), "one byte appended");
  ExpectRefused(DecodeBytes(encoded + encoded.substr(encoded.size() - 5017)), "last chunk twice");
  const std::string chunk = encoded.substr(firstEnd, firstEnd - ENCODED_HEADER_SIZE);
  std::string swapped = encoded;
  swapped.replace(firstEnd, chunk.size(), encoded.substr(ENCODED_HEADER_SIZE, chunk.size()));
  swapped.replace(ENCODED_HEADER_SIZE, chunk.size(), chunk);
  ExpectRefused(DecodeBytes(swapped), "chunks swapped");
}

TEST_F(RoundTrip, EmptyFileCutAtTheEndIsRefused) {
  // An empty source still ends with a final chunk, so losing it is noticed.
  const std::string encoded = Encoded("");
  ASSERT_EQ(encoded.size(), ENCODED_HEADER_SIZE + CHUNK_OVERHEAD);
  ExpectRefused(DecodeBytes(encoded.substr(0, ENCODED_HEADER_SIZE)), "final chunk removed");
}

TEST_F(RoundTrip, PlainFileGivenToDecodeIsNotAnEncodedFile) {
  const test::EngineResult result = DecodeBytes(test::RandomBytes(5000));
  ExpectRefused(result, "random bytes");
  EXPECT_NE(result.err.find("not an encoded file"), std::string::npos) << result.err;
}

TEST_F(RoundTrip, PipeSourceOfUnknownSizeIsEncodedWhole) {
  const std::string fifo = dir.File("feed");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string plain = test::RandomBytes(2 * 1024 * 1024 + 3);
  std::thread feeder([&] { WriteBytes(fifo, plain); });  // opens once the engine does
  const test::EngineResult encode = Encode(fifo, dir.File("encoded"));
  feeder.join();
  ASSERT_EQ(encode.status, EXIT_OK) << encode.err;
  EXPECT_EQ(test::ProgressValues(encode.out), std::vector<int>{100});
  ASSERT_EQ(Decode(dir.File("encoded"), dir.File("decoded")).status, EXIT_OK);
  EXPECT_EQ(ReadBytes(dir.File("decoded")), plain);
}

TEST(CipherStream, WriteErrorEndsWithReadOrWriteError) {
  rux::test::TempDir dir;
  WriteBytes(dir.File("plain"), test::RandomBytes(3 * CHUNK_SIZE));
  std::uint64_t size = 0;
  const Descriptor source = OpenForReading(dir.File("plain"), "source", EXIT_NO_SOURCE, size);
  const Descriptor full(::open("/dev/full", O_WRONLY | O_CLOEXEC));
  ASSERT_GE(full.Get(), 0);
  const SecretBytes key = DeriveKey(KeyMaterial({"k"}), Salt{}, test::TEST_COST);
  std::ostringstream out;
  Progress progress(out, size);
  std::uint64_t processed = 0;
  try {
    EncodeStream(source.Get(), full.Get(), key, test::TEST_COST, Salt{}, progress, processed);
    FAIL() << "writing to /dev/full succeeded";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Status(), EXIT_IO_ERROR);
    EXPECT_NE(std::string(failure.what()).find("No space left on device"), std::string::npos)
        << failure.what();
  }
}

}  // namespace
}  // namespace rux4
