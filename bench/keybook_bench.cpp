// Whole-book operations on a book of 100,000 records, against a plain
// sequential read of the same file (the floor).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <vector>

#include "bench_books.h"
#include "keybook/key_book.h"

namespace {

constexpr int kRecords = 100000;

using rux::bench::AbsentText;
using rux::bench::RecordName;

const std::string& Book() {
  static const std::string path = rux::bench::Book(kRecords);
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
