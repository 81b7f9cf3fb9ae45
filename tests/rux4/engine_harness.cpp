#include "engine_harness.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <sstream>
#include <stdexcept>

#include "keybook/key_book.h"
#include "rux4/engine_run.h"
#include "support/temp_dir.h"

namespace rux4::test {

namespace {

rux::MasterKeyRecord Record(const std::string& name, const std::string& keyPrefix, double enlarge,
                            double scramble) {
  rux::MasterKeyRecord record;
  record.name = name;
  for (int n = 0; n < rux::KEY_COUNT; ++n) record.keys[n] = keyPrefix + std::to_string(n + 1);
  record.enlarge = enlarge;
  record.scramble = scramble;
  return record;
}

}  // namespace

void MakeBook(const std::string& path) {
  rux::test::WriteBytes(path, "");
  rux::MasterKeyRecord one = Record("first", "Alpha7Key", 5, 3.25);
  one.keys[0] = KEY_ONE_TEXT;
  const rux::MasterKeyRecord two = Record("second", "Bravo9Key", 7, -0.05);
  const rux::MasterKeyRecord three = Record("third", "Charlie3Key", 11, 2);
  if (rux::WriteRecordAt(path, KEY_ONE, one) != rux::WriteResult::Written ||
      rux::WriteRecordAt(path, KEY_TWO, two) != rux::WriteResult::Written ||
      rux::WriteRecordAt(path, KEY_DELETED, three) != rux::WriteResult::Written ||
      rux::MarkDeleted(path, KEY_DELETED) != rux::WriteResult::Written) {
    throw std::runtime_error("cannot make the test Key Book");
  }
}

std::vector<std::string> Items(const std::string& book, int number, const std::string& mode,
                               const std::string& source, const std::string& target,
                               const std::string& verify) {
  std::vector<std::string> items{book, std::to_string(number), mode, source, target, verify};
  items.resize(ITEM_COUNT, "0");
  return items;
}

RunningEngine StartEngine(const std::vector<std::string>& items, const std::string& outputDir,
                          const ChildSetup& setup) {
  static int runCount = 0;
  RunningEngine running;
  const std::string stem = outputDir + "/engine-" + std::to_string(++runCount);
  running.outPath = stem + ".out";
  running.errPath = stem + ".err";
  std::vector<char*> argv;
  std::string program = RUX4_PATH;
  argv.push_back(program.data());
  std::vector<std::string> copies = items;
  for (std::string& item : copies) argv.push_back(item.data());
  argv.push_back(nullptr);
  const int out = ::open(running.outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  const int err = ::open(running.errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  running.pid = ::fork();
  if (running.pid == 0) {
    ::dup2(out, STDOUT_FILENO);
    ::dup2(err, STDERR_FILENO);
    if (setup) setup();
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(out);
  ::close(err);
  if (running.pid < 0) throw std::runtime_error("fork failed");
  return running;
}

EngineResult WaitEngine(const RunningEngine& running) {
  int status = 0;
  while (::waitpid(running.pid, &status, 0) < 0) {
    if (errno != EINTR) throw std::runtime_error("waitpid failed");
  }
  EngineResult result;
  if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  result.out = rux::test::ReadBytes(running.outPath);
  result.err = rux::test::ReadBytes(running.errPath);
  ::unlink(running.outPath.c_str());
  ::unlink(running.errPath.c_str());
  return result;
}

EngineResult RunEngine(const std::vector<std::string>& items, const std::string& outputDir,
                       const ChildSetup& setup) {
  return WaitEngine(StartEngine(items, outputDir, setup));
}

EngineResult RunInProcess(const std::vector<std::string>& items) {
  std::vector<const char*> pointers;
  for (const std::string& item : items) pointers.push_back(item.c_str());
  const ParsedArguments parsed = ParseArguments(static_cast<int>(pointers.size()), pointers.data());
  if (!parsed.arguments) throw std::runtime_error("bad test items: " + parsed.error);
  std::ostringstream out, err;
  EngineResult result;
  result.status = RunCipher(*parsed.arguments, TEST_COST, out, err);
  result.out = out.str();
  result.err = err.str();
  return result;
}

std::string RandomBytes(std::size_t size) {
  static std::mt19937_64 generator(20240611);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(generator());
  return bytes;
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<int> ProgressValues(const std::string& out) {
  std::vector<int> values;
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind("progress: ", 0) == 0 && line.back() == '%') {
      values.push_back(std::stoi(line.substr(10)));
    }
  }
  return values;
}

}  // namespace rux4::test
