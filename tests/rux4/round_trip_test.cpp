// ENCODE and DECODE in process at a low key derivation cost: sizes around the
// chunk and batch boundaries; stored files of both versions; damaged, cut,
// reordered and hostile encoded files; a source that changes size while read.
#include <fcntl.h>
#include <unistd.h>

#include <tuple>

#include "engine_harness.h"
#include "rux4/file_io.h"

namespace rux4::test {
namespace {

constexpr std::size_t SEALED = CHUNK_SIZE + CHUNK_TAG_SIZE, HEADER = HEADER_PREFIX_SIZE;

class RoundTrip : public EngineTest {
 protected:
  const std::string encoded = dir.File("encoded"), decoded = dir.File("decoded");

  EngineResult Code(const char* mode, const std::string& from, const std::string& to) {
    return RunInProcess(Items(book, KEY_ONE, mode, from, to));
  }
  std::string Encoded(const std::string& plain) {
    WriteBytes(source, plain);
    EXPECT_EQ(Code("c", source, encoded).status, EXIT_OK);
    return ReadBytes(encoded);
  }
};

// Version 2: magic, version, Argon2id, its cost, a fresh salt; then the
// source in chunks, each with its tag.
TEST_F(RoundTrip, SizesAroundChunkAndBatchBoundariesComeBackUnchanged) {
  std::string salt;
  for (std::size_t size :
       {std::size_t{0}, std::size_t{1}, CHUNK_SIZE - 1, CHUNK_SIZE, CHUNK_SIZE + 1, 16 * CHUNK_SIZE,
        16 * CHUNK_SIZE + 1, std::size_t{(3 << 20) + 7}}) {
    SCOPED_TRACE(size);
    const std::string plain = RandomBytes(size), bytes = Encoded(plain);
    EXPECT_EQ(bytes.substr(0, 22), std::string("RUX4ENC1\x02\x02\x01\0\0\0\0\0\x01\0\0\0\0\0", 22));
    EXPECT_NE(bytes.substr(22, 16), salt);
    salt = bytes.substr(22, 16);
    EXPECT_EQ(bytes.size(),
              HEADER + size +
                  CHUNK_TAG_SIZE * std::max<std::size_t>(1, (size + CHUNK_SIZE - 1) / CHUNK_SIZE));
    const EngineResult result = Code("d", encoded, decoded);
    EXPECT_EQ(ReadBytes(decoded), plain);
    EXPECT_TRUE(
        result.out.ends_with("DECODE: " + std::to_string(size) + " bytes processed, result: OK\n"))
        << result.out;
  }
}

// Files made by this engine's versions (a secret stream, version 1; chunks
// sealed one by one, version 2, as the README lays it out) decode for ever.
// A changed byte of a header or of any chunk's text or tag, a cut, anything
// appended, chunks reordered, dropped, repeated or taken from another file,
// and a header with an unknown version or a key derivation cost out of bounds
// (over four times the default passes or twice the default memory, refused
// before any work): all end with 78, the target as it was, no temporary file.
TEST_F(RoundTrip, StoredFilesDecodeAndDamagedOnesAreRefused) {
  std::string plain(CHUNK_SIZE + 1000, '\0');
  for (std::size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<char>((i * 131 + 7) % 251);
  const std::string v1 = ReadBytes(TEST_DATA_DIR "/stream-format.rux");
  for (const char* stored :
       {TEST_DATA_DIR "/stream-format.rux", TEST_DATA_DIR "/chunk-format.rux"}) {
    ASSERT_EQ(Code("d", stored, decoded).status, EXIT_OK) << stored;
    EXPECT_EQ(ReadBytes(decoded), plain);
  }
  // Three chunks, the last a whole CHUNK_SIZE: its flag alone marks the end.
  const std::string v2 = Encoded(RandomBytes(3 * CHUNK_SIZE)), header = v2.substr(0, HEADER);
  const auto chunk = [&](std::size_t n) { return v2.substr(HEADER + n * SEALED, SEALED); };
  const std::size_t v1Second = HEADER + STREAM_HEADER_SIZE + CHUNK_SIZE + STREAM_CHUNK_OVERHEAD;
  std::vector<std::tuple<std::string, std::string, std::string>> damaged = {
      {header + chunk(1) + chunk(0) + chunk(2), "swapped", ""},
      {header + chunk(0) + chunk(2), "middle dropped", ""},
      {header + chunk(0) + chunk(1) + chunk(1) + chunk(2), "middle repeated", ""},
      {v2 + chunk(2), "last twice", ""},
      {Encoded(RandomBytes(3 * CHUNK_SIZE)).substr(0, HEADER) + v2.substr(HEADER), "other header",
       ""},
      // An empty source still ends with a sealed chunk, so losing it is noticed.
      {Encoded("").substr(0, HEADER), "empty file's chunk removed", ""},
      {v1.substr(0, HEADER + STREAM_HEADER_SIZE) + v1.substr(v1Second), "v1 first dropped", ""},
      {RandomBytes(5000), "random bytes", "not an encoded file"}};
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
      {10, std::string("\x0c\0\0\0", 4), "wrong Master Key, or the encoded file was changed"}};
  const std::pair<std::string, std::vector<std::size_t>> chunkStarts[] = {
      {v1, {HEADER + STREAM_HEADER_SIZE, v1Second}},
      {v2, {HEADER, HEADER + SEALED, HEADER + 2 * SEALED}}};
  for (const auto& [bytes, starts] : chunkStarts) {
    const std::string version = bytes == v1 ? "v1 " : "v2 ";
    std::vector<std::size_t> flips{0, 22, 37, bytes.size() - 1}, cuts{0, 37, bytes.size() - 1};
    for (std::size_t start : starts) {
      flips.insert(flips.end(), {start - 1, start});
      cuts.insert(cuts.end(), {start - 1, start, start + CHUNK_TAG_SIZE});
    }
    for (std::size_t at : flips) {
      damaged.push_back({bytes, version + "flip at " + std::to_string(at), ""});
      std::get<0>(damaged.back())[at] ^= 1;
    }
    for (std::size_t at : cuts) damaged.push_back({bytes.substr(0, at), version + "cut", ""});
    damaged.push_back({bytes + "x", version + "one byte appended", ""});
    for (const auto& [at, value, message] : fields)
      damaged.push_back({std::string(bytes).replace(at, value.size(), value), version, message});
  }
  for (const auto& [bytes, what, message] : damaged) {
    SCOPED_TRACE(what + " " + message);
    WriteBytes(dir.File("damaged"), bytes);
    WriteBytes(decoded, "older contents");
    const EngineResult result = Code("d", dir.File("damaged"), decoded);
    EXPECT_TRUE(result.out.ends_with("result: authentication failed (exit status 78)\n"));
    EXPECT_TRUE(result.err.starts_with("rux4: authentication failed") &&
                result.err.find(message) != std::string::npos)
        << result.err;
    EXPECT_EQ(ReadBytes(decoded), "older contents");
    for (const std::string& name : FilesIn(dir.Path())) EXPECT_NE(name[0], '.') << name;
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
          if (!changed && line.starts_with("progress: ") && std::stoi(line.substr(10)) >= 10) {
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

}  // namespace
}  // namespace rux4::test
