#pragma once
// Shared helpers for the engine tests: a Key Book, the twenty items, runs of the
// real engine program and in-process runs at a low key derivation cost.
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include "rux4/arguments.h"
#include "rux4/key_derivation.h"

namespace rux4::test {

// Cheap Argon2id cost for in-process runs; files record it, so the engine
// program decodes them at this cost too.
inline constexpr KdfCost TEST_COST{1, 64ull << 10};

// Master Keys of the test book: 1 and 2 live with different keys, 3 deleted.
constexpr int KEY_ONE = 1;
constexpr int KEY_TWO = 2;
constexpr int KEY_DELETED = 3;
// A Key 1 text of record 1, to check that keys never reach the console.
inline const std::string KEY_ONE_TEXT = "Alpha7Key1Secret";

void MakeBook(const std::string& path);

std::vector<std::string> Items(const std::string& book, int number, const std::string& mode,
                               const std::string& source, const std::string& target,
                               const std::string& verify = "0");

struct EngineResult {
  int status = -1;  // exit status, -1 when ended by a signal
  int signal = 0;   // the signal that ended it, 0 when it exited
  std::string out;
  std::string err;
};

// Runs the real engine program; setup runs in the child before exec (only
// async-signal-safe calls). Output goes through files in outputDir.
using ChildSetup = std::function<void()>;
struct RunningEngine {
  pid_t pid = -1;
  std::string outPath;
  std::string errPath;
};
RunningEngine StartEngine(const std::vector<std::string>& items, const std::string& outputDir,
                          const ChildSetup& setup = {});
EngineResult WaitEngine(const RunningEngine& running);
EngineResult RunEngine(const std::vector<std::string>& items, const std::string& outputDir,
                       const ChildSetup& setup = {});

// The library run at TEST_COST; items as for the program.
EngineResult RunInProcess(const std::vector<std::string>& items);

std::string RandomBytes(std::size_t size);
// Names in a folder, sorted.
std::vector<std::string> FilesIn(const std::string& folder);
// The N of every "progress: N%" line, in order.
std::vector<int> ProgressValues(const std::string& out);

}  // namespace rux4::test
