// Whole-book operations on a book of 100,000 records, against a plain
// sequential read of the same file (the floor).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

#include "keybook/key_book.h"

namespace {

constexpr int kRecords = 100000;

std::string RecordName(int number) { return "key" + std::to_string(number); }

// The book lives in RUX_BENCH_DIR when set (run-benchmarks then reuses it),
// else in a folder of its own.
std::string BenchDir() {
  if (const char* dir = std::getenv("RUX_BENCH_DIR")) return dir;
  static const std::string own = [] {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "keybook-bench-XXXXXX").string();
    return std::string(::mkdtemp(pattern.data()));
  }();
  return own;
}

std::string AbsentText() {
  const char* text = std::getenv("RUX_BENCH_ABSENT_TEXT");
  return text ? text : "Q7wXk2Lp9vZ";
}

const std::string& Book() {
  static const std::string path = [] {
    const std::string book = BenchDir() + "/book-" + std::to_string(kRecords) + ".kb";
    std::ofstream out(book, std::ios::binary | std::ios::trunc);
    std::mt19937 random(42);
    const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::ostringstream diag;
    for (int number = 1; number <= kRecords; ++number) {
      rux::MasterKeyRecord record;
      record.name = RecordName(number);
      for (std::string& key : record.keys) {
        key.resize(32 + random() % 33);
        for (char& c : key) c = alphabet[random() % alphabet.size()];
      }
      record.enlarge = 1 + random() % 100000;
      record.scramble = (1 + random() % 1000000) / 1000.0;
      rux::WriteRecord(out, record, diag);
    }
    out.close();
    // Settle the new file on the disk so that write-back does not run during the timings.
    const int fd = ::open(book.c_str(), O_RDONLY);
    ::fsync(fd);
    ::close(fd);
    return book;
  }();
  return path;
}

void Throughput(benchmark::State& state) {
  state.SetBytesProcessed(state.iterations() * std::filesystem::file_size(Book()));
}

void PlainRead(benchmark::State& state) {
  std::vector<char> buffer(1 << 20);
  for (auto _ : state) {
    const int fd = ::open(Book().c_str(), O_RDONLY);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    std::size_t total = 0;
    for (ssize_t got; (got = ::read(fd, buffer.data(), buffer.size())) > 0;) total += got;
    ::close(fd);
    benchmark::DoNotOptimize(total);
  }
  Throughput(state);
}

void CountRecords(benchmark::State& state) {
  for (auto _ : state) {
    if (rux::CountRecords(Book()) != kRecords) state.SkipWithError("wrong count");
  }
}

void ListNames(benchmark::State& state) {
  for (auto _ : state) {
    const auto names = rux::ListNames(Book());
    if (!names || names->size() != kRecords) state.SkipWithError("wrong names");
  }
  Throughput(state);
}

void FindByNameLast(benchmark::State& state) {
  const std::string last = RecordName(kRecords);
  for (auto _ : state) {
    const rux::Lookup lookup = rux::FindByName(Book(), last);
    if (!lookup.record || lookup.record->number != kRecords) state.SkipWithError("not found");
  }
  Throughput(state);
}

void FindFreeSlotNone(benchmark::State& state) {
  std::ostringstream diag;
  rux::SetDiagnostics(&diag);
  for (auto _ : state) {
    if (rux::FindFreeSlot(Book()) != 0) state.SkipWithError("a free slot");
    diag.str({});
  }
  rux::SetDiagnostics(nullptr);
  Throughput(state);
}

void SearchTextAbsent(benchmark::State& state) {
  const std::string text = AbsentText();
  for (auto _ : state) {
    if (!rux::SearchText(Book(), text).empty()) state.SkipWithError("text found");
  }
  Throughput(state);
}

void SearchTextCommon(benchmark::State& state) {
  // "000" occurs in every Enlarge and Scramble field: many matches.
  std::size_t matches = 0;
  for (auto _ : state) matches = rux::SearchText(Book(), "000").size();
  state.counters["matches"] = static_cast<double>(matches);
  Throughput(state);
}

BENCHMARK(PlainRead)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CountRecords)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(ListNames)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(FindByNameLast)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(FindFreeSlotNone)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SearchTextAbsent)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SearchTextCommon)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  Book();  // made before any timing
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
