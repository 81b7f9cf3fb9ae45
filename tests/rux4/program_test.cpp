// The engine program: its usage, every refusal with its status and messages,
// the verify file, a round trip at the shipped cost, a full disk, runs at once
// and runs stopped or killed.
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <map>
#include <tuple>

#include "engine_harness.h"
#include "rux4/file_io.h"

namespace rux4::test {
namespace {

unsigned ModeBits(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

using EngineProgram = EngineTest;

// Without items: the usage. Wrong items give one line on standard error and
// nothing else. Every other refusal ends with its status, one line on standard
// error and a final line naming the result; nothing is written.
TEST_F(EngineProgram, EveryExitStatusWithItsMessages) {
  const std::string t = dir.File("t"), pin = dir.File("pin.key"), fifo = dir.File("fifo");
  ASSERT_EQ(RunInProcess(Items(book, KEY_ONE, "c", source, dir.File("e.rux"), pin)).status, 0);
  const std::string key = ReadBytes(pin);
  WriteBytes(dir.File("short.key"), key.substr(1));
  WriteBytes(dir.File("long.key"), key + "x");
  WriteBytes(dir.File("changed.key"), std::string(key).replace(69, 1, 1, key[69] ^ '\1'));
  WriteBytes(dir.File("costly.key"), std::string(key).replace(10, 1, "\x0d"));  // 13 passes
  WriteBytes(t, "older contents");
  ASSERT_EQ(::link(source.c_str(), dir.File("hard").c_str()), 0);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);  // opening it to read would wait for a writer
  // A file-size limit of 1 MiB stands in for a disk that fills half-way.
  WriteBytes(dir.File("big"), RandomBytes(3 << 20));
  ASSERT_EQ(RunInProcess(Items(book, 1, "c", dir.File("big"), dir.File("big.rux"))).status, 0);
  const std::vector<std::string> files = FilesIn(dir.Path());
  const std::string before = ReadBytes(book) + ReadBytes(source) + key;

  std::vector<std::vector<std::string>> wrongItems{{"one"}, Items(book, 1, "c", source, t)};
  wrongItems[1].push_back("0");
  for (const char* mode : {"x", "C", ""}) wrongItems.push_back(Items(book, 1, mode, source, t));
  for (const char* number : {"0", "+1", "", "2147483648", "99999999999"}) {
    wrongItems.push_back(Items(book, 1, "c", source, t));
    wrongItems.back()[1] = number;
  }
  const EngineResult usage = Run({});
  EXPECT_EQ(usage.status, 0);
  EXPECT_NE(usage.out.find("P1..P14  Parameters 1 to 14: accepted and ignored\n"),
            std::string::npos);
  for (const auto& items : wrongItems) {
    const EngineResult result = Run(items);
    EXPECT_EQ(result.status, EXIT_USAGE) << items[1];
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n') + result.out.size(), 1u);
  }
  const std::string full = "ulimit -f 2048; ", tooLarge = "cannot write the target: File too large";
  const std::tuple<std::vector<std::string>, int, std::string, std::string> refusals[] = {
      // Nothing that would overwrite the source, the Key Book or the verify file.
      {Items(book, 1, "c", source, dir.File("hard")), EXIT_USAGE, "same file", ""},
      {Items(book, 1, "c", source, t, t), EXIT_USAGE, "verify file must differ", ""},
      {Items(book, 1, "c", source, book), EXIT_USAGE, "the Key Book itself", ""},
      {Items(dir.File("none.dat"), 1, "c", source, t), EXIT_KEY_BOOK, "cannot open the Key Book",
       ""},
      {Items(dir.Path(), 1, "c", source, t), EXIT_KEY_BOOK, "is a folder", ""},
      {Items(fifo, 1, "c", source, t), EXIT_KEY_BOOK, "is not a regular file", ""},
      {Items(book, 4, "c", source, t), EXIT_KEY_BOOK, "has no Master Key number 4 (it holds 3)",
       ""},
      {Items(book, KEY_DELETED, "c", source, t), EXIT_KEY_BOOK, "is deleted", ""},
      {Items(book, 1, "c", dir.File("none"), t), EXIT_NO_SOURCE, "No such file or directory", ""},
      {Items(book, 1, "d", dir.Path(), t), EXIT_NO_SOURCE, "is a folder", ""},
      {Items(book, 1, "c", fifo, t), EXIT_NO_SOURCE, "is not a regular file", ""},
      {Items(book, 1, "c", source, t, fifo), EXIT_NO_SOURCE, "is not a regular file", ""},
      {Items(book, 1, "c", source, source + "/t"), EXIT_CANT_CREATE, "Not a directory", ""},
      {Items(book, 1, "c", source, console.Path()), EXIT_CANT_CREATE, "is a folder", ""},
      {Items(book, 1, "c", source, "/dev/full"), EXIT_CANT_CREATE, "not a regular file", ""},
      // Reading the engine's own memory at offset 0 fails with an I/O error.
      {Items(book, 1, "d", "/proc/self/mem", t), EXIT_IO_ERROR, "cannot read the source", ""},
      // The Master Key is checked against an existing verify file before the source.
      {Items(book, KEY_TWO, "c", dir.File("none"), t, pin), EXIT_WRONG_KEY, "does not match", ""},
      {Items(book, 1, "c", source, t, dir.File("changed.key")), EXIT_WRONG_KEY, "does not match",
       ""},
      {Items(book, 1, "c", source, t, dir.File("short.key")), EXIT_WRONG_KEY, "not a key-check",
       ""},
      {Items(book, 1, "c", source, t, dir.File("long.key")), EXIT_WRONG_KEY, "not a key-check", ""},
      {Items(book, 1, "c", source, t, dir.File("costly.key")), EXIT_WRONG_KEY, "out of bounds", ""},
      // Without a verify file another Master Key fails authentication and
      // creates no verify file.
      {Items(book, KEY_TWO, "d", dir.File("e.rux"), t, dir.File("new.key")), EXIT_AUTH_FAILED,
       "authentication failed: wrong Master Key", ""},
      {Items(book, 1, "c", dir.File("big"), t), EXIT_IO_ERROR, tooLarge, full},
      {Items(book, 1, "d", dir.File("big.rux"), t), EXIT_IO_ERROR, tooLarge, full}};
  const std::map<int, std::string> results = {{64, "usage error"},
                                              {65, "Key Book error"},
                                              {66, "cannot read the source"},
                                              {73, "cannot create the target"},
                                              {74, "read or write error"},
                                              {77, "wrong Master Key"},
                                              {78, "authentication failed"}};
  for (const auto& [items, status, message, limits] : refusals) {
    const EngineResult result = Run(items, limits);
    EXPECT_EQ(result.status, status) << message;
    EXPECT_TRUE(result.err.starts_with("rux4: ") && result.err.find(message) != std::string::npos &&
                std::count(result.err.begin(), result.err.end(), '\n') == 1)
        << result.err;
    EXPECT_TRUE(result.out.ends_with(" bytes processed, result: " + results.at(status) +
                                     " (exit status " + std::to_string(status) + ")\n"))
        << result.out;
  }
  EXPECT_EQ(ReadBytes(book) + ReadBytes(source) + ReadBytes(pin), before);
  EXPECT_EQ(ReadBytes(t), "older contents");
  EXPECT_EQ(FilesIn(dir.Path()), files);

  // At the shipped cost ENCODE replaces the target and creates the verify
  // file, both owner-only, and shows no key.
  ::chmod(t.c_str(), 0644);
  std::vector<std::string> items = Items(book, KEY_ONE, "c", source, t, dir.File("new.pin"));
  items[7] = "with \"quotes\"";  // Parameters 1 to 14 do not matter
  items[19] = "";
  const EngineResult ok = Run(items);
  EXPECT_EQ(ok.status + ok.err.size(), 0u) << ok.err;
  EXPECT_EQ(ok.out, "rux4 4.5: ENCODE \"" + source + "\" to \"" + t + "\" with Master Key 1 of \"" +
                        book +
                        "\"\nprogress: 0%\nprogress: 99%\nprogress: 100%\nENCODE: 11 bytes "
                        "processed, result: OK\n");
  EXPECT_EQ(ModeBits(t) + ModeBits(dir.File("new.pin")), 2 * 0600u);
  EXPECT_EQ(ReadBytes(dir.File("new.pin")).size(), VERIFY_FILE_SIZE);
  EXPECT_EQ(ReadBytes(dir.File("new.pin")).find(KEY_ONE_TEXT), std::string::npos);
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
      const int status[] = {WEXITSTATUS(Reap(runs[0])), WEXITSTATUS(Reap(runs[1]))};
      EXPECT_EQ(std::min(status[0], status[1]), EXIT_OK);
      EXPECT_EQ(std::max(status[0], status[1]), secondKey == KEY_ONE ? EXIT_OK : EXIT_WRONG_KEY);
      const int winner = status[0] == EXIT_OK ? 0 : 1;
      const int keys[] = {KEY_ONE, secondKey};
      ASSERT_EQ(
          RunInProcess(Items(book, keys[winner], "d", target, dir.File("back"), verify)).status,
          EXIT_OK);
      const std::string back = ReadBytes(dir.File("back"));
      EXPECT_TRUE(back == plains[winner] || (secondKey == KEY_ONE && back == plains[1 - winner]));
      EXPECT_EQ(FilesIn(dir.Path()).size(), 7u);
    }
  }
}

// Runs stopped at a point of their progress by SIGKILL, or by the stop
// signals of the front end (SIGTERM) and of a terminal. The target is written
// to a file without a name, so nothing of it stays behind; what a killed run
// left under a temporary name goes, a live run's file stays.
TEST_F(EngineProgram, AStoppedOrKilledRunLeavesNoPlaintextAndTheTargetAsItWas) {
  WriteBytes(source, RandomBytes(8 << 20));
  const std::string encoded = dir.File("e.rux"), target = dir.File("out/t");
  ASSERT_EQ(RunInProcess(Items(book, KEY_ONE, "c", source, encoded)).status, EXIT_OK);
  std::filesystem::create_directory(dir.File("out"));
  WriteBytes(target, "older contents");
  WriteBytes(dir.File("out/.t.rux4-AbC123"), "decoded start");
  WriteBytes(dir.File("out/.t.rux4-Live01"), "");
  const Descriptor live(::open(dir.File("out/.t.rux4-Live01").c_str(), O_RDONLY | O_CLOEXEC));
  ASSERT_EQ(::flock(live.Get(), LOCK_EX), 0);
  const std::tuple<const char*, int, int> cases[] = {{"c", 10, SIGKILL}, {"d", 50, SIGKILL},
                                                     {"d", 99, SIGKILL}, {"d", 10, SIGTERM},
                                                     {"c", 50, SIGINT},  {"d", 99, SIGHUP}};
  for (const auto& [mode, percent, signal] : cases) {
    SCOPED_TRACE(std::string(mode) + " at " + std::to_string(percent) + "% " + strsignal(signal));
    int reached[2];
    ASSERT_EQ(::pipe2(reached, O_CLOEXEC), 0);
    const pid_t run =
        StartInChild(Items(book, KEY_ONE, mode, *mode == 'c' ? source : encoded, target), -1,
                     [&, percent = percent](const std::string& line) {
                       if (!line.starts_with("progress: ") || std::stoi(line.substr(10)) < percent)
                         return;
                       (void)!::write(reached[1], "!", 1);
                       while (true) ::pause();  // the output waits; so does the run
                     });
    ::close(reached[1]);
    char byte = 0;
    EXPECT_EQ(::read(reached[0], &byte, 1), 1);
    ::close(reached[0]);
    ::kill(run, signal);
    EXPECT_EQ(WTERMSIG(Reap(run)), signal);
    EXPECT_EQ(FilesIn(dir.File("out")), (std::vector<std::string>{".t.rux4-Live01", "t"}));
    EXPECT_EQ(ReadBytes(target), "older contents");
  }
}

}  // namespace
}  // namespace rux4::test
