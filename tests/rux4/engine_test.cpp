// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The shell_rux developers
// The engine program and library: refusals, races, stops, the encoded file's
// layout, stored and damaged files, a source that changes size.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <random>
#include <set>
#include <sstream>

#include "rux4/engine_run.h"
#include "rux4/exit_status.h"
#include "rux4/file_format.h"
#include "rux4/file_io.h"
#include "rux4/stop_cleanup.h"
#include "support/temp_dir.h"

namespace rux4::test {
namespace {

using rux::test::ReadBytes;
using rux::test::WriteBytes;
using OnLine = std::function<void(const std::string&)>;

// The library runs' cheap cost; files record it, so the program reads them at it.
constexpr KdfCost TEST_COST{1, 64ull << 10};
constexpr std::size_t SEALED = CHUNK_SIZE + CHUNK_TAG_SIZE, HEADER = HEADER_PREFIX_SIZE;

std::vector<std::string> Items(const std::string& book, const std::string& number,
                               const std::string& mode, const std::string& source,
                               const std::string& target, const std::string& verify = "0") {
  std::vector<std::string> items{book, number, mode, source, target, verify};
  items.resize(ITEM_COUNT, "0");
  return items;
}

std::string RandomBytes(std::size_t size) {
  static std::mt19937_64 generator(20240611);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(generator());
  return bytes;
}

std::set<std::string> FilesIn(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.insert(entry.path().filename());
  return names;
}

// Calls act once, when a run's progress line reaches percent.
OnLine AtProgress(int percent, const std::function<void()>& act) {
  return [=, done = false](const std::string& line) mutable {
    if (line.starts_with("progress: ") && std::stoi(line.substr(10)) >= percent &&
        !std::exchange(done, true))
      act();
  };
}

struct EngineResult {
  int status = -1;  // exit status, -1 when ended by a signal
  std::string out = "", err = "";
};

// A folder holding a small source and the Key Book the stored encoded files
// were made with: Master Keys 1 and 2 (Key 1 of 1 is "Alpha7Key1"), 3 deleted.
class Engine : public ::testing::Test {
 protected:
  Engine() {
    WriteBytes(book, ReadBytes(TEST_DATA_DIR "/book.dat"));
    WriteBytes(source, "plain text\n");
  }

  // The engine program, its console kept apart from dir, under a file-size
  // limit of 1 MiB that stands in for a disk that fills half-way.
  EngineResult Run(const std::vector<std::string>& items) {
    std::string command = "ulimit -f 2048; exec '" RUX4_PATH "'";
    for (const std::string& item : items) command += " '" + item + "'";
    const std::string out = console.File("out"), err = console.File("err");
    const int status = std::system((command + " >" + out + " 2>" + err).c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes(out), ReadBytes(err)};
  }
  // The library at TEST_COST; onLine sees what it prints, line by line.
  static EngineResult RunInProcess(const std::vector<std::string>& items,
                                   const OnLine& onLine = {}) {
    struct Lines : std::stringbuf {
      OnLine onLine;
      std::string all;
      int sync() override {
        all += str();
        if (onLine) onLine(str());
        str({});
        return 0;
      }
    } lines;
    lines.onLine = onLine;
    std::vector<const char*> pointers;
    for (const std::string& item : items) pointers.push_back(item.c_str());
    std::ostream out(&lines);
    std::ostringstream err;
    const int status =
        RunCipher(*ParseArguments(ITEM_COUNT, pointers.data()).arguments, TEST_COST, out, err);
    out.flush();
    return {status, lines.all, err.str()};
  }
  // The same in a child with the engine's stop handlers, once a byte can be
  // read from gate (when given), so that several start at once.
  static pid_t StartInChild(const std::vector<std::string>& items, int gate = -1,
                            const OnLine& onLine = {}) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      InstallStopHandlers();
      char byte = 0;
      if (gate >= 0) (void)!::read(gate, &byte, 1);
      ::_exit(RunInProcess(items, onLine).status);
    }
    return pid;
  }
  static int WaitStatus(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
  }
  // ENCODE or DECODE in process with Master Key 1.
  EngineResult Code(const char* mode, const std::string& from, const std::string& to) {
    return RunInProcess(Items(book, "1", mode, from, to));
  }
  std::string Encoded(const std::string& plain) {
    WriteBytes(source, plain);
    EXPECT_EQ(Code("c", source, encoded).status, EXIT_OK);
    return ReadBytes(encoded);
  }

  rux::test::TempDir dir, console;
  const std::string book = dir.File("book.dat"), source = dir.File("plain.txt");
  const std::string encoded = dir.File("encoded"), decoded = dir.File("decoded");
};

// Wrong items: one line on standard error. A refusal: its status, one line on
// standard error, a final line naming the result; nothing written.
TEST_F(Engine, EveryExitStatusWithItsMessages) {
  const std::string t = dir.File("t"), pin = dir.File("pin.key"), fifo = dir.File("fifo");
  ASSERT_EQ(RunInProcess(Items(book, "1", "c", source, encoded, pin)).status, 0);
  const std::string key = ReadBytes(pin);
  WriteBytes(dir.File("short.key"), key.substr(1));
  WriteBytes(dir.File("long.key"), key + "x");
  WriteBytes(dir.File("changed.key"), std::string(key).replace(69, 1, 1, key[69] ^ '\1'));
  WriteBytes(dir.File("costly.key"), std::string(key).replace(10, 1, "\x0d"));  // 13 passes
  WriteBytes(t, "older contents");
  ASSERT_EQ(::link(source.c_str(), dir.File("hard").c_str()), 0);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);  // opening it to read would wait for a writer
  WriteBytes(dir.File("big"), RandomBytes(3 << 20));
  ASSERT_EQ(Code("c", dir.File("big"), dir.File("big.rux")).status, 0);
  const std::set<std::string> files = FilesIn(dir.Path());
  const std::string before = ReadBytes(book) + ReadBytes(source) + key + "older contents";

  const EngineResult usage = Run({});
  EXPECT_TRUE(usage.status == 0 && usage.out.find("P1..P14  Parameters 1 to 14: accepted and "
                                                  "ignored\n") != std::string::npos);
  std::vector<std::vector<std::string>> wrongItems{{"one"}, Items(book, "1", "c", source, t)};
  wrongItems[1].push_back("0");
  for (const char* mode : {"x", "C", ""}) wrongItems.push_back(Items(book, "1", mode, source, t));
  for (const char* number : {"0", "+1", "", "2147483648", "99999999999"})
    wrongItems.push_back(Items(book, number, "c", source, t));
  for (const auto& items : wrongItems) {
    const EngineResult result = Run(items);
    EXPECT_EQ(result.status, EXIT_USAGE) << items[1];
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n') + result.out.size(), 1u);
  }
  const std::string tooLarge = "cannot write the target: File too large";
  const std::tuple<std::vector<std::string>, int, std::string> refusals[] = {
      // Nothing that would overwrite the source, the Key Book or the verify file.
      {Items(book, "1", "c", source, dir.File("hard")), EXIT_USAGE, "same file"},
      {Items(book, "1", "c", source, t, t), EXIT_USAGE, "verify file must differ"},
      {Items(book, "1", "c", source, book), EXIT_USAGE, "the Key Book itself"},
      {Items(dir.File("none.dat"), "1", "c", source, t), EXIT_KEY_BOOK, "cannot open the Key Book"},
      {Items(dir.Path(), "1", "c", source, t), EXIT_KEY_BOOK, "is a folder"},
      {Items(fifo, "1", "c", source, t), EXIT_KEY_BOOK, "is not a regular file"},
      {Items(book, "4", "c", source, t), EXIT_KEY_BOOK, "has no Master Key number 4 (it holds 3)"},
      {Items(book, "3", "c", source, t), EXIT_KEY_BOOK, "is deleted"},
      {Items(book, "1", "c", dir.File("none"), t), EXIT_NO_SOURCE, "No such file or directory"},
      {Items(book, "1", "d", dir.Path(), t), EXIT_NO_SOURCE, "is a folder"},
      {Items(book, "1", "c", fifo, t), EXIT_NO_SOURCE, "is not a regular file"},
      {Items(book, "1", "c", source, t, fifo), EXIT_NO_SOURCE, "is not a regular file"},
      {Items(book, "1", "c", source, source + "/t"), EXIT_CANT_CREATE, "Not a directory"},
      {Items(book, "1", "c", source, console.Path()), EXIT_CANT_CREATE, "is a folder"},
      {Items(book, "1", "c", source, "/dev/full"), EXIT_CANT_CREATE, "not a regular file"},
      // Reading the engine's own memory at offset 0 fails with an I/O error.
      {Items(book, "1", "d", "/proc/self/mem", t), EXIT_IO_ERROR, "cannot read the source"},
      // The Master Key is checked against an existing verify file before the source.
      {Items(book, "2", "c", dir.File("none"), t, pin), EXIT_WRONG_KEY, "does not match"},
      {Items(book, "1", "c", source, t, dir.File("changed.key")), EXIT_WRONG_KEY, "does not match"},
      {Items(book, "1", "c", source, t, dir.File("short.key")), EXIT_WRONG_KEY, "not a key-check"},
      {Items(book, "1", "c", source, t, dir.File("long.key")), EXIT_WRONG_KEY, "not a key-check"},
      {Items(book, "1", "c", source, t, dir.File("costly.key")), EXIT_WRONG_KEY, "out of bounds"},
      // Without a verify file another Master Key fails authentication and
      // creates no verify file.
      {Items(book, "2", "d", encoded, t, dir.File("new.key")), EXIT_AUTH_FAILED,
       "authentication failed: wrong Master Key"},
      {Items(book, "1", "c", dir.File("big"), t), EXIT_IO_ERROR, tooLarge},
      {Items(book, "1", "d", dir.File("big.rux"), t), EXIT_IO_ERROR, tooLarge}};
  std::string names;  // each status's on the final line
  for (int status : {64, 65, 66, 73, 74, 77, 78}) names += StatusName(status) + std::string("\n");
  EXPECT_EQ(names,
            "usage error\nKey Book error\ncannot read the source\ncannot create the target\nread "
            "or write error\nwrong Master Key\nauthentication failed\n");
  for (const auto& [items, status, message] : refusals) {
    const EngineResult result = Run(items);
    EXPECT_EQ(result.status, status) << message;
    EXPECT_TRUE(result.err.starts_with("rux4: ") && result.err.find(message) != std::string::npos &&
                std::count(result.err.begin(), result.err.end(), '\n') == 1)
        << result.err;
    EXPECT_TRUE(
        result.out.ends_with(" bytes processed, result: " + std::string(StatusName(status)) +
                             " (exit status " + std::to_string(status) + ")\n"))
        << result.out;
  }
  EXPECT_EQ(ReadBytes(book) + ReadBytes(source) + ReadBytes(pin) + ReadBytes(t), before);
  EXPECT_EQ(FilesIn(dir.Path()), files);

  // At the shipped cost ENCODE replaces the target and creates the verify
  // file, both owner-only, and shows no key.
  ::chmod(t.c_str(), 0644);
  std::vector<std::string> items = Items(book, "1", "c", source, t, dir.File("new.pin"));
  items[7] = "with \"quotes\"";  // Parameters 1 to 14 do not matter
  items[19] = "";
  const EngineResult ok = Run(items);
  EXPECT_EQ(ok.status + ok.err.size(), 0u) << ok.err;
  EXPECT_EQ(ok.out, "rux4 4.5: ENCODE \"" + source + "\" to \"" + t + "\" with Master Key 1 of \"" +
                        book +
                        "\"\nprogress: 0%\nprogress: 99%\nprogress: 100%\nENCODE: 11 bytes "
                        "processed, result: OK\n");
  for (const std::string& file : {t, dir.File("new.pin")})
    EXPECT_EQ(int(std::filesystem::status(file).permissions()), 0600) << file;
  EXPECT_EQ(ReadBytes(dir.File("new.pin")).size(), VERIFY_FILE_SIZE);
  EXPECT_EQ(ReadBytes(dir.File("new.pin")).find("Alpha7Key1"), std::string::npos);
}

// Two runs at once on one verify file: with different Master Keys one ends
// with 77; the target is one whole run's output.
TEST_F(Engine, RunsAtOnceAgreeOnTheVerifyFileAndLeaveOneWholeTarget) {
  const std::string plains[] = {RandomBytes(3 << 20), RandomBytes(3 << 20)};
  const std::string sources[] = {source, dir.File("b")}, verify = dir.File("pin.key");
  for (int i = 0; i < 2; ++i) WriteBytes(sources[i], plains[i]);
  for (int round = 0; round < 20; ++round) {
    const std::string keys[] = {"1", round % 2 ? "1" : "2"};
    std::filesystem::remove(verify);
    std::filesystem::remove(encoded);
    int gate[2];
    ASSERT_EQ(::pipe2(gate, O_CLOEXEC), 0);
    const pid_t runs[] = {
        StartInChild(Items(book, keys[0], "c", sources[0], encoded, verify), gate[0]),
        StartInChild(Items(book, keys[1], "c", sources[1], encoded, verify), gate[0])};
    EXPECT_EQ(::write(gate[1], "go", 2), 2);  // both go
    ::close(gate[0]);
    ::close(gate[1]);
    const int ended[] = {WaitStatus(runs[0]), WaitStatus(runs[1])};
    ASSERT_TRUE(WIFEXITED(ended[0]) && WIFEXITED(ended[1])) << ended[0] << " " << ended[1];
    const int status[] = {WEXITSTATUS(ended[0]), WEXITSTATUS(ended[1])};
    EXPECT_EQ(status[0] + status[1], keys[0] == keys[1] ? EXIT_OK : EXIT_WRONG_KEY);
    const int winner = status[0] == EXIT_OK ? 0 : 1;
    ASSERT_EQ(RunInProcess(Items(book, keys[winner], "d", encoded, decoded, verify)).status, 0);
    const std::string back = ReadBytes(decoded);
    EXPECT_TRUE(back == plains[winner] || (keys[0] == keys[1] && back == plains[1 - winner]));
    EXPECT_EQ(FilesIn(dir.Path()).size(), 6u);
  }
}

// A run killed, or stopped by the front end (SIGTERM) or a terminal, leaves no
// part of its target; a killed run's temporary file goes, a live run's stays.
TEST_F(Engine, AStoppedOrKilledRunLeavesNoPlaintextAndTheTargetAsItWas) {
  Encoded(RandomBytes(8 << 20));
  const std::string target = dir.File("t"), live = dir.File(".t.rux4-Live01");
  WriteBytes(target, "older contents");
  WriteBytes(dir.File(".t.rux4-AbC123"), "decoded start");
  WriteBytes(live, "");
  const Descriptor held(::open(live.c_str(), O_RDONLY | O_CLOEXEC));
  ASSERT_EQ(::flock(held.Get(), LOCK_EX), 0);
  const std::tuple<const char*, int, int> cases[] = {{"c", 10, SIGKILL}, {"d", 50, SIGKILL},
                                                     {"d", 99, SIGKILL}, {"d", 10, SIGTERM},
                                                     {"c", 50, SIGINT},  {"d", 99, SIGHUP}};
  for (const auto& [mode, percent, signal] : cases) {
    SCOPED_TRACE(std::string(mode) + " at " + std::to_string(percent) + "% " + strsignal(signal));
    const pid_t run = StartInChild(Items(book, "1", mode, *mode == 'c' ? source : encoded, target),
                                   -1, AtProgress(percent, [signal = signal] { ::raise(signal); }));
    EXPECT_EQ(WTERMSIG(WaitStatus(run)), signal);
    EXPECT_EQ(FilesIn(dir.Path()),
              (std::set<std::string>{".t.rux4-Live01", "book.dat", "encoded", "plain.txt", "t"}));
    EXPECT_EQ(ReadBytes(target), "older contents");
  }
}

// Version 2: magic, version, Argon2id, its cost, a fresh salt; then the
// source in chunks, each with its tag.
TEST_F(Engine, SizesAroundChunkAndBatchBoundariesComeBackUnchanged) {
  std::string salt;
  for (std::size_t size :
       std::vector<std::size_t>{0, 1, CHUNK_SIZE - 1, CHUNK_SIZE, CHUNK_SIZE + 1, 16 * CHUNK_SIZE,
                                16 * CHUNK_SIZE + 1, (3 << 20) + 7}) {
    SCOPED_TRACE(size);
    const std::string plain = RandomBytes(size), bytes = Encoded(plain);
    EXPECT_EQ(bytes.substr(0, 22), std::string("RUX4ENC1\x02\x02\x01\0\0\0\0\0\x01\0\0\0\0\0", 22));
    EXPECT_NE(bytes.substr(22, 16), salt);
    salt = bytes.substr(22, 16);
    const std::size_t chunks = std::max<std::size_t>(1, (size + CHUNK_SIZE - 1) / CHUNK_SIZE);
    EXPECT_EQ(bytes.size(), HEADER + size + chunks * CHUNK_TAG_SIZE);
    const EngineResult result = Code("d", encoded, decoded);
    EXPECT_EQ(ReadBytes(decoded), plain);
    EXPECT_TRUE(
        result.out.ends_with("DECODE: " + std::to_string(size) + " bytes processed, result: OK\n"))
        << result.out;
  }
}

// Stored files of versions 1 and 2 decode for ever. Damaged ones, and a cost
// over 4x the default passes or 2x its memory (refused before any work), end
// with 78, the target as it was, no temporary file.
TEST_F(Engine, StoredFilesDecodeAndDamagedOnesAreRefused) {
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
    EXPECT_EQ(result.status, EXIT_AUTH_FAILED);
    EXPECT_TRUE(result.out.ends_with("result: authentication failed (exit status 78)\n"));
    EXPECT_TRUE(result.err.starts_with("rux4: authentication failed") &&
                result.err.find(message) != std::string::npos)
        << result.err;
    EXPECT_EQ(ReadBytes(decoded), "older contents");
    for (const std::string& name : FilesIn(dir.Path())) EXPECT_NE(name[0], '.') << name;
  }
}

TEST_F(Engine, ASourceThatChangesSizeWhileReadEndsWith74AndCommitsNothing) {
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
    // Once a tenth is read, well before the reader reaches the end.
    const EngineResult result =
        RunInProcess(Items(book, "1", "c", source, encoded), AtProgress(10, change));
    EXPECT_EQ(result.status, EXIT_IO_ERROR);
    EXPECT_NE(result.err.find("the source changed size while it was read"), std::string::npos)
        << result.err;
    EXPECT_EQ(ReadBytes(encoded), "older contents");
    EXPECT_EQ(FilesIn(dir.Path()), (std::set<std::string>{"book.dat", "encoded", "plain.txt"}));
  }
}

}  // namespace
}  // namespace rux4::test
