// bench_book RECORDS [alike]: writes the benchmark book of that many records
// into RUX_BENCH_DIR (once) and prints its path.
#include <iostream>
#include <string>

#include "bench_books.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const bool alike = argc > 2 && std::string(argv[2]) == "alike";
  std::cout << rux::bench::Book(std::stoi(argv[1]),
                                alike ? rux::bench::BookKind::Alike : rux::bench::BookKind::Random)
            << '\n';
  return 0;
}
