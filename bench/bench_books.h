#pragma once
// The files the benchmarks work on: Key Books of many records and the folder
// they live in. run-benchmarks sets RUX_BENCH_DIR so that the programs and the
// comparisons with other tools share one set of files.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "keybook/master_key_record.h"

namespace rux::bench {

inline std::string BenchDir() {
  if (const char* dir = std::getenv("RUX_BENCH_DIR")) return dir;
  static const std::string own = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "rux-bench-XXXXXX").string();
    return std::string(::mkdtemp(pattern.data()));
  }();
  return own;
}

// A text no benchmark book holds.
inline std::string AbsentText() {
  const char* text = std::getenv("RUX_BENCH_ABSENT_TEXT");
  return text ? text : "Q7wXk2Lp9vZ";
}

inline std::string RecordName(int number) { return "key" + std::to_string(number); }

// Random: every record's ten keys are random letters and digits. Alike: every
// record holds the same keys and numbers, only the names differ.
enum class BookKind { Random, Alike };

// The book of that many records, written once per folder and settled on the
// disk so that write-back does not run during the timings.
inline std::string Book(int records, BookKind kind = BookKind::Random) {
  const std::string path = BenchDir() + "/book-" + std::to_string(records) +
                           (kind == BookKind::Alike ? "-alike" : "") + ".kb";
  if (std::filesystem::exists(path)) return path;
  std::ofstream out(path + ".part", std::ios::binary | std::ios::trunc);
  std::mt19937 random(42);
  const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::ostringstream diag;
  MasterKeyRecord record;
  for (int number = 1; number <= records; ++number) {
    record.name = RecordName(number);
    if (kind == BookKind::Random || number == 1) {
      for (std::string& key : record.keys) {
        key.resize(32 + random() % 33);
        for (char& c : key) c = alphabet[random() % alphabet.size()];
      }
      record.enlarge = 1 + random() % 100000;
      record.scramble = (1 + random() % 1000000) / 1000.0;
    }
    out << RecordBytes(record, diag);
  }
  out.close();
  const int fd = ::open((path + ".part").c_str(), O_RDONLY);
  ::fsync(fd);
  ::close(fd);
  std::filesystem::rename(path + ".part", path);
  return path;
}

}  // namespace rux::bench
