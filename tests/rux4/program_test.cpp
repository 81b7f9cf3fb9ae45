// The engine program: items, exit statuses and messages, the verify file, the
// temporary-file rule, a full disk, runs at once and runs stopped or killed.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <tuple>

#include "engine_harness.h"
#include "rux4/file_format.h"
#include "rux4/file_io.h"

namespace rux4::test {
namespace {

unsigned ModeBits(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

class EngineProgram : public EngineTest {
 protected:
  // A failed run: its status, the message on standard error and the status
  // in the final line on standard output.
  EngineResult ExpectFailure(const std::vector<std::string>& items, int status,
                             const std::string& message) {
    const EngineResult result = Run(items);
    EXPECT_EQ(result.status, status) << result.err;
    EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
    EXPECT_TRUE(result.out.ends_with("(exit status " + std::to_string(status) + ")\n"))
        << result.out;
    return result;
  }
  // An encoded file made in-process at the test cost, optionally making a verify file.
  std::string EncodeCheaply(const std::string& plain, const std::string& verify = "0") {
    WriteBytes(source, plain);
    const std::string encoded = dir.File("cheap.rux");
    EXPECT_EQ(RunInProcess(Items(book, KEY_ONE, "c", source, encoded, verify)).status, EXIT_OK);
    return encoded;
  }
};

TEST_F(EngineProgram, WithoutItemsShowsUsageAndVersion) {
  const EngineResult result = Run({});
  EXPECT_EQ(result.status, EXIT_OK);
  EXPECT_EQ(result.err, "");
  for (const char* text :
       {"rux4.exe 4.5", "usage: rux4.exe BOOK NUMBER c|d SOURCE TARGET VERIFY P1",
        "P1..P14  Parameters 1 to 14: accepted and ignored", "77 wrong Master Key"})
    EXPECT_NE(result.out.find(text), std::string::npos) << text;
}

TEST_F(EngineProgram, WrongItemsGiveOneLineAndUsageStatus) {
  const std::string target = dir.File("t");
  std::vector<std::vector<std::string>> cases{
      {"one"}, Items(book, 1, "c", source, target), Items(book, 1, "c", source, target)};
  cases[1].pop_back();
  cases[2].push_back("0");
  for (const char* mode : {"x", "C", "e", "", "cd"})
    cases.push_back(Items(book, 1, mode, source, target));
  for (const char* number : {"0", "-1", "+1", "1.5", "x", "", "2147483648", "99999999999"}) {
    cases.push_back(Items(book, 1, "c", source, target));
    cases.back()[1] = number;
  }
  for (const auto& items : cases) {
    SCOPED_TRACE(::testing::PrintToString(items));
    const EngineResult result = Run(items);
    EXPECT_EQ(result.status, EXIT_USAGE);
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_EQ(result.out, "");
  }
  EXPECT_FALSE(Exists(target));
}

TEST_F(EngineProgram, EachProblemEndsWithItsStatusAndLeavesNothing) {
  const std::string t = dir.File("t");
  std::filesystem::create_directory(dir.File("locked"));
  ::chmod(dir.File("locked").c_str(), 0500);
  ASSERT_EQ(::link(source.c_str(), dir.File("hard").c_str()), 0);
  ASSERT_EQ(::symlink(source.c_str(), dir.File("soft").c_str()), 0);
  const std::string fifo = dir.File("fifo");  // opening it to read would wait for a writer
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string bookBytes = ReadBytes(book);
  const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
      // Nothing that would overwrite the source, the Key Book or the verify file.
      {Items(book, 1, "c", source, source), EXIT_USAGE, "same file"},
      {Items(book, 1, "c", source, dir.Path() + "/./plain.txt"), EXIT_USAGE, "same file"},
      {Items(book, 1, "c", source, dir.File("hard")), EXIT_USAGE, "same file"},
      {Items(book, 1, "c", source, dir.File("soft")), EXIT_USAGE, "same file"},
      {Items(book, 1, "c", source, t, t), EXIT_USAGE, "verify file must differ"},
      {Items(book, 1, "c", source, book), EXIT_USAGE, "the Key Book itself"},
      {Items(dir.File("none.dat"), 1, "c", source, t), EXIT_KEY_BOOK, "cannot open the Key Book"},
      {Items(dir.Path(), 1, "c", source, t), EXIT_KEY_BOOK, "is a folder"},
      {Items(book, 4, "c", source, t), EXIT_KEY_BOOK, "has no Master Key number 4 (it holds 3)"},
      {Items(book, 2147483647, "c", source, t), EXIT_KEY_BOOK, "no Master Key number 2147483647"},
      {Items(book, KEY_DELETED, "c", source, t), EXIT_KEY_BOOK, "is deleted"},
      {Items(book, 1, "c", dir.File("none"), t), EXIT_NO_SOURCE, "No such file or directory"},
      {Items(book, 1, "d", dir.Path(), t), EXIT_NO_SOURCE, "is a folder"},
      {Items(book, 1, "c", fifo, t), EXIT_NO_SOURCE, "is not a regular file"},
      {Items(book, 1, "c", "/dev/zero", t), EXIT_NO_SOURCE, "is not a regular file"},
      {Items(book, 1, "c", source, t, fifo), EXIT_NO_SOURCE, "is not a regular file"},
      {Items(fifo, 1, "c", source, t), EXIT_KEY_BOOK, "is not a regular file"},
      {Items(book, 1, "c", source, dir.File("missing/t")), EXIT_CANT_CREATE, "No such file"},
      {Items(book, 1, "c", source, source + "/t"), EXIT_CANT_CREATE, "Not a directory"},
      {Items(book, 1, "c", source, console.Path()), EXIT_CANT_CREATE, "is a folder"},
      // A device is never replaced by a file.
      {Items(book, 1, "c", source, "/dev/full"), EXIT_CANT_CREATE, "not a regular file"},
      // Reading the engine's own memory at offset 0 fails with an I/O error.
      {Items(book, 1, "d", "/proc/self/mem", t), EXIT_IO_ERROR, "cannot read the source"},
  };
  for (const auto& [items, status, message] : cases) {
    SCOPED_TRACE(message);
    ExpectFailure(items, status, message);
  }
  if (::geteuid() != 0)  // permissions do not hold back root
    ExpectFailure(Items(book, 1, "c", source, dir.File("locked/t")), EXIT_CANT_CREATE,
                  "Permission denied");
  struct stat info {};
  ASSERT_EQ(::stat("/dev/full", &info), 0);
  EXPECT_TRUE(S_ISCHR(info.st_mode));
  EXPECT_EQ(ReadBytes(source), "plain text\n");
  EXPECT_EQ(ReadBytes(book), bookBytes);
  EXPECT_EQ(FilesIn(dir.Path()),
            (std::vector<std::string>{"book.dat", "fifo", "hard", "locked", "plain.txt", "soft"}));
  EXPECT_EQ(FilesIn(dir.File("locked")), std::vector<std::string>{});
}

TEST_F(EngineProgram, RoundTripWithVerifyFileAtShippedCost) {
  const std::string plain = RandomBytes(3 * 1024 * 1024 + 11);
  WriteBytes(source, plain);
  const std::string encoded = dir.File("encoded.rux"), decoded = dir.File("decoded.txt");
  const std::string verify = dir.File("pin.key");
  WriteBytes(encoded, "older contents");
  ::chmod(encoded.c_str(), 0644);
  std::vector<std::string> items = Items(book, KEY_ONE, "c", source, encoded, verify);
  items[6] = "-x";  // Parameters 1 to 14 do not matter
  items[7] = "with \"quotes\"";
  items[19] = "";

  const EngineResult encode = Run(items);
  ASSERT_EQ(encode.status, EXIT_OK) << encode.err;
  EXPECT_EQ(encode.err, "");
  EXPECT_TRUE(encode.out.starts_with("rux4 4.5: ENCODE \"" + source + "\" to \"" + encoded +
                                     "\" with Master Key 1 of \"" + book + "\"\n"))
      << encode.out;
  const std::vector<int> progress = ProgressValues(encode.out);
  EXPECT_EQ(std::adjacent_find(progress.begin(), progress.end(), std::greater_equal<>()),
            progress.end());  // rising, one line per percent at most
  EXPECT_EQ(progress.empty() ? -1 : progress.back(), 100);
  EXPECT_TRUE(encode.out.ends_with("ENCODE: " + std::to_string(plain.size()) +
                                   " bytes processed, result: OK\n"));
  EXPECT_EQ(encode.out.find(KEY_ONE_TEXT), std::string::npos);
  EXPECT_EQ(ModeBits(encoded), 0600u);
  EXPECT_EQ(ModeBits(verify), 0600u);
  const std::string pin = ReadBytes(verify);
  EXPECT_EQ(pin.size(), VERIFY_FILE_SIZE);
  EXPECT_EQ(pin.find(KEY_ONE_TEXT), std::string::npos);

  const EngineResult decode = Run(Items(book, KEY_ONE, "d", encoded, decoded, verify));
  ASSERT_EQ(decode.status, EXIT_OK) << decode.err;
  EXPECT_EQ(ReadBytes(decoded), plain);
  EXPECT_EQ(ReadBytes(verify), pin);  // checked, not rewritten
}

TEST_F(EngineProgram, VerifyFileRefusesOtherMasterKeysBeforeTheSource) {
  const std::string verify = dir.File("pin.key");
  const std::string encoded = EncodeCheaply("text", verify);
  ASSERT_EQ(ReadBytes(verify).size(), VERIFY_FILE_SIZE);
  // The source does not even exist: the key is checked first.
  ExpectFailure(Items(book, KEY_TWO, "c", dir.File("none"), dir.File("t"), verify), EXIT_WRONG_KEY,
                "wrong Master Key");
  WriteBytes(dir.File("short.key"), ReadBytes(verify).substr(0, VERIFY_FILE_SIZE - 1));
  ExpectFailure(Items(book, KEY_ONE, "c", source, dir.File("t"), dir.File("short.key")),
                EXIT_WRONG_KEY, "not a key-check file");
  std::string changed = ReadBytes(verify);
  changed[VERIFY_FILE_SIZE - 1] ^= 1;
  WriteBytes(dir.File("changed.key"), changed);
  ExpectFailure(Items(book, KEY_ONE, "c", source, dir.File("t"), dir.File("changed.key")),
                EXIT_WRONG_KEY, "wrong Master Key");
  EXPECT_FALSE(Exists(dir.File("t")));
  // Without a verify file another Master Key fails authentication; the run
  // creates no verify file and leaves the existing target alone.
  WriteBytes(dir.File("t"), "older contents");
  const EngineResult wrongKey =
      ExpectFailure(Items(book, KEY_TWO, "d", encoded, dir.File("t"), dir.File("new.key")),
                    EXIT_AUTH_FAILED, "authentication failed: wrong Master Key");
  EXPECT_TRUE(wrongKey.out.ends_with("result: authentication failed (exit status 78)\n"));
  EXPECT_FALSE(Exists(dir.File("new.key")));
  EXPECT_EQ(ReadBytes(dir.File("t")), "older contents");
}

TEST_F(EngineProgram, FullDiskEndsWithWriteErrorAndNoTemporaryFile) {
  const std::string encoded = EncodeCheaply(RandomBytes(3 * 1024 * 1024));
  const std::string target = dir.File("decoded.txt");
  WriteBytes(target, "older contents");
  // A file-size limit of 1 MiB stands in for a disk that fills half-way.
  const EngineResult result = Run(Items(book, 1, "d", encoded, target), [] {
    const struct rlimit limit { 1 << 20, 1 << 20 };
    ::setrlimit(RLIMIT_FSIZE, &limit);
  });
  EXPECT_EQ(result.status, EXIT_IO_ERROR) << result.err;
  EXPECT_NE(result.err.find("cannot write the target: File too large"), std::string::npos)
      << result.err;
  EXPECT_EQ(ReadBytes(target), "older contents");
  EXPECT_EQ(FilesIn(dir.Path()),
            (std::vector<std::string>{"book.dat", "cheap.rux", "decoded.txt", "plain.txt"}));
}

// Two runs at once: racing to create one verify file with different Master
// Keys, exactly one wins and the other ends with 77; writing one target, the
// target is one whole run's output.
TEST_F(EngineProgram, RunsAtOnceAgreeOnTheVerifyFileAndLeaveOneWholeTarget) {
  const std::string plains[] = {RandomBytes(3 << 20), RandomBytes(3 << 20)};
  const std::string sources[] = {dir.File("a"), dir.File("b")};
  for (int i = 0; i < 2; ++i) WriteBytes(sources[i], plains[i]);
  const std::string verify = dir.File("pin.key"), target = dir.File("t");
  for (const int secondKey : {KEY_TWO, KEY_ONE}) {
    for (int round = 0; round < 10; ++round) {
      SCOPED_TRACE("second key " + std::to_string(secondKey) + ", round " + std::to_string(round));
      std::filesystem::remove(verify);
      std::filesystem::remove(target);
      int gate[2];
      ASSERT_EQ(::pipe2(gate, O_CLOEXEC), 0);
      const pid_t runs[] = {
          StartInChild(Items(book, KEY_ONE, "c", sources[0], target, verify), gate[0]),
          StartInChild(Items(book, secondKey, "c", sources[1], target, verify), gate[0])};
      EXPECT_EQ(::write(gate[1], "go", 2), 2);  // both go
      ::close(gate[0]);
      ::close(gate[1]);
      const int status[] = {Reap(runs[0]).status, Reap(runs[1]).status};
      EXPECT_EQ(std::min(status[0], status[1]), EXIT_OK);
      EXPECT_EQ(std::max(status[0], status[1]), secondKey == KEY_ONE ? EXIT_OK : EXIT_WRONG_KEY);
      const int winner = status[0] == EXIT_OK ? 0 : 1;
      const int keys[] = {KEY_ONE, secondKey};
      const EngineResult decode =
          RunInProcess(Items(book, keys[winner], "d", target, dir.File("back"), verify));
      ASSERT_EQ(decode.status, EXIT_OK) << decode.err;
      const std::string back = ReadBytes(dir.File("back"));
      EXPECT_TRUE(back == plains[winner] || (secondKey == KEY_ONE && back == plains[1 - winner]));
      EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"a", "b", "back", "book.dat",
                                                               "pin.key", "plain.txt", "t"}));
    }
  }
}

// Runs stopped at a point of their progress by SIGKILL, or by the stop
// signals of the front end (SIGTERM) and of a terminal. The target is written
// to a file without a name, so nothing of it stays behind.
TEST_F(EngineProgram, AStoppedOrKilledRunLeavesNoPlaintextAndTheTargetAsItWas) {
  const std::string encoded = EncodeCheaply(RandomBytes(8 << 20));
  std::filesystem::create_directory(dir.File("out"));
  const std::string target = dir.File("out/t");
  WriteBytes(target, "older contents");
  // What a run killed with a named temporary file left, and a live run's file.
  WriteBytes(dir.File("out/.t.rux4-AbC123"), "decoded start");
  WriteBytes(dir.File("out/.t.rux4-Live01"), "");
  const Descriptor live(::open(dir.File("out/.t.rux4-Live01").c_str(), O_RDONLY | O_CLOEXEC));
  ASSERT_EQ(::flock(live.Get(), LOCK_EX), 0);
  const std::tuple<const char*, int, int> cases[] = {
      {"c", 10, SIGKILL}, {"d", 50, SIGKILL}, {"d", 99, SIGKILL},
      {"d", 10, SIGTERM}, {"c", 50, SIGINT},  {"d", 99, SIGHUP},
  };
  for (const auto& [mode, percent, signal] : cases) {
    SCOPED_TRACE(std::string(mode) + " at " + std::to_string(percent) + "% " + strsignal(signal));
    int reached[2];
    ASSERT_EQ(::pipe2(reached, O_CLOEXEC), 0);
    const std::string& from = mode == std::string("c") ? source : encoded;
    const pid_t run = StartInChild(Items(book, KEY_ONE, mode, from, target), -1,
                                   [&, percent = percent](const std::string& line) {
                                     const std::vector<int> progress = ProgressValues(line);
                                     if (progress.empty() || progress.back() < percent) return;
                                     (void)!::write(reached[1], "!", 1);
                                     while (true) ::pause();  // the output waits; so does the run
                                   });
    ::close(reached[1]);
    char byte = 0;
    const bool paused = ::read(reached[0], &byte, 1) == 1;
    ::close(reached[0]);
    ::kill(run, signal);
    EXPECT_TRUE(paused);
    EXPECT_EQ(Reap(run).signal, signal);
    EXPECT_EQ(FilesIn(dir.File("out")), (std::vector<std::string>{".t.rux4-Live01", "t"}));
    EXPECT_EQ(ReadBytes(target), "older contents");
  }
}

}  // namespace
}  // namespace rux4::test
