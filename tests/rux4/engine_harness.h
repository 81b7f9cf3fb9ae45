#pragma once
// The engine tests' ground: a Key Book, the twenty items, the engine program,
// and the library at a low key derivation cost, in process or in a child.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <sstream>

#include "keybook/key_book.h"
#include "rux4/engine_run.h"
#include "rux4/exit_status.h"
#include "rux4/file_format.h"
#include "rux4/stop_cleanup.h"
#include "support/temp_dir.h"

namespace rux4::test {

using rux::test::ReadBytes;
using rux::test::WriteBytes;

// Cheap Argon2id cost for the library runs; files record it, so the engine
// program reads them at this cost too.
inline constexpr KdfCost TEST_COST{1, 64ull << 10};
// Master Keys of the test book: 1 and 2 live, 3 deleted. Key 1 of record 1
// must never reach the console or a verify file.
constexpr int KEY_ONE = 1, KEY_TWO = 2, KEY_DELETED = 3;
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

struct EngineResult {
  int status = -1;  // exit status, -1 when ended by a signal
  std::string out = "", err = "";
};

// A folder holding the test Key Book and a small source.
class EngineTest : public ::testing::Test {
 protected:
  EngineTest() {
    std::string bytes;
    for (const char* prefix : {"Alpha7Key", "Bravo9Key", "Charlie3Key"}) {
      rux::MasterKeyRecord record;
      record.enlarge = 5 + static_cast<double>(bytes.size() / rux::RECORD_SIZE);
      for (int n = 0; n < rux::KEY_COUNT; ++n) record.keys[n] = prefix + std::to_string(n + 1);
      std::ostringstream ignored;
      bytes += rux::RecordBytes(record, ignored);
    }
    WriteBytes(book, bytes.replace(2 * rux::RECORD_SIZE, rux::RECORD_SIZE, rux::DeletedMark()));
    WriteBytes(source, "plain text\n");
  }

  // The engine program, its console kept apart from dir; the shell runs
  // `limits` first (ulimit).
  EngineResult Run(const std::vector<std::string>& items, const std::string& limits = "") {
    std::string command = limits + "exec '" RUX4_PATH "'";
    for (const std::string& item : items) command += " '" + item + "'";
    const std::string out = console.File("out"), err = console.File("err");
    const int status = std::system((command + " >" + out + " 2>" + err).c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes(out), ReadBytes(err)};
  }
  // The wait status of a child.
  static int Reap(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
  }
  // The library at TEST_COST; onLine sees what it prints, line by line.
  static EngineResult RunInProcess(const std::vector<std::string>& items,
                                   const std::function<void(const std::string&)>& onLine = {}) {
    struct Lines : std::stringbuf {
      std::function<void(const std::string&)> onLine;
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

  rux::test::TempDir dir, console;
  std::string book = dir.File("book.dat"), source = dir.File("plain.txt");
};

}  // namespace rux4::test
