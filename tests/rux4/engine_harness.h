#pragma once
// The engine tests' ground: a Key Book, the twenty items, runs of the engine
// program and in-process runs at a low key derivation cost.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "keybook/key_book.h"
#include "rux4/engine_run.h"
#include "rux4/exit_status.h"
#include "rux4/stop_cleanup.h"
#include "support/temp_dir.h"

namespace rux4::test {

using rux::test::Exists;
using rux::test::ReadBytes;
using rux::test::WriteBytes;

// Cheap Argon2id cost for in-process runs; files record it, so the engine
// program reads them at this cost too.
inline constexpr KdfCost TEST_COST{1, 64ull << 10};

// Master Keys of the test book: 1 and 2 live with different keys, 3 deleted.
constexpr int KEY_ONE = 1;
constexpr int KEY_TWO = 2;
constexpr int KEY_DELETED = 3;
// Key 1 of record 1, which must never reach the console or a verify file.
inline const std::string KEY_ONE_TEXT = "Alpha7Key1";

inline std::vector<std::string> Items(const std::string& book, int number, const std::string& mode,
                                      const std::string& source, const std::string& target,
                                      const std::string& verify = "0") {
  std::vector<std::string> items{book, std::to_string(number), mode, source, target, verify};
  items.resize(ITEM_COUNT, "0");
  return items;
}

inline std::string RandomBytes(std::size_t size) {
  static std::mt19937_64 generator(20240611);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(generator());
  return bytes;
}

inline std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The N of every "progress: N%" line, in order.
inline std::vector<int> ProgressValues(const std::string& out) {
  std::vector<int> values;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);)
    if (line.starts_with("progress: ") && line.ends_with('%'))
      values.push_back(std::stoi(line.substr(10)));
  return values;
}

// Output that hands what is printed to a callback at every flush; the engine
// flushes after every line.
class LineHook : public std::stringbuf {
 public:
  explicit LineHook(std::function<void(const std::string&)> onLine) : onLine_(std::move(onLine)) {}
  std::string all;  // everything printed

 protected:
  int sync() override {
    const std::string text = str();
    str({});
    all += text;
    if (onLine_) onLine_(text);
    return 0;
  }

 private:
  std::function<void(const std::string&)> onLine_;
};

struct EngineResult {
  int status = -1;  // exit status, -1 when ended by a signal
  int signal = 0;   // the signal that ended it, 0 when it exited
  std::string out;
  std::string err;
};

// A folder holding the test Key Book and a small source.
class EngineTest : public ::testing::Test {
 protected:
  EngineTest() {
    WriteBytes(book, "");
    const char* prefixes[] = {"Alpha7Key", "Bravo9Key", "Charlie3Key"};
    for (int number : {KEY_ONE, KEY_TWO, KEY_DELETED}) {
      rux::MasterKeyRecord record;
      for (int n = 0; n < rux::KEY_COUNT; ++n)
        record.keys[n] = prefixes[number - 1] + std::to_string(n + 1);
      record.enlarge = 4 + number;
      EXPECT_EQ(rux::WriteRecordAt(book, number, record), rux::WriteResult::Written);
    }
    EXPECT_EQ(rux::MarkDeleted(book, KEY_DELETED), rux::WriteResult::Written);
    WriteBytes(source, "plain text\n");
  }

  // The engine program, its console captured apart from dir; setup runs in
  // the child before exec (only async-signal-safe calls).
  pid_t Start(std::vector<std::string> items, const std::function<void()>& setup = {}) {
    items.insert(items.begin(), RUX4_PATH);
    std::vector<char*> argv;
    for (std::string& item : items) argv.push_back(item.data());
    argv.push_back(nullptr);
    const int out =
        ::open(console.File("out").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const int err =
        ::open(console.File("err").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::dup2(out, STDOUT_FILENO);
      ::dup2(err, STDERR_FILENO);
      if (setup) setup();
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    ::close(out);
    ::close(err);
    return pid;
  }
  static EngineResult Reap(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    EngineResult result;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return result;
  }
  EngineResult Wait(pid_t pid) {
    EngineResult result = Reap(pid);
    result.out = ReadBytes(console.File("out"));
    result.err = ReadBytes(console.File("err"));
    return result;
  }
  EngineResult Run(const std::vector<std::string>& items, const std::function<void()>& setup = {}) {
    return Wait(Start(items, setup));
  }
  // The library run at TEST_COST; onLine sees what it prints, line by line.
  static EngineResult RunInProcess(const std::vector<std::string>& items,
                                   const std::function<void(const std::string&)>& onLine = {}) {
    std::vector<const char*> pointers;
    for (const std::string& item : items) pointers.push_back(item.c_str());
    const ParsedArguments parsed = ParseArguments(static_cast<int>(items.size()), pointers.data());
    EXPECT_TRUE(parsed.arguments) << parsed.error;
    if (!parsed.arguments) return {};
    LineHook hook(onLine);
    std::ostream out(&hook);
    std::ostringstream err;
    const int status = RunCipher(*parsed.arguments, TEST_COST, out, err);
    out.flush();
    return {status, 0, hook.all, err.str()};
  }
  // The same in a child process with the engine's stop handlers, started once
  // a byte can be read from `gate` (when given), so that several start at once.
  static pid_t StartInChild(const std::vector<std::string>& items, int gate = -1,
                            const std::function<void(const std::string&)>& onLine = {}) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      InstallStopHandlers();
      char byte = 0;
      if (gate >= 0) (void)!::read(gate, &byte, 1);
      ::_exit(RunInProcess(items, onLine).status);
    }
    return pid;
  }

  rux::test::TempDir dir;
  rux::test::TempDir console;
  std::string book = dir.File("book.dat");
  std::string source = dir.File("plain.txt");
};

}  // namespace rux4::test
