#pragma once
// The "progress: N%" lines the front end's console turns into a progress bar.
#include <cstdint>
#include <iosfwd>

namespace rux4 {

class Progress {
 public:
  // total is the number of bytes the run will go through; 0 when unknown.
  Progress(std::ostream& out, std::uint64_t total) : out_(out), total_(total) {}

  // Prints a line when the whole percentage has grown; 100 is kept for Finish.
  void Update(std::uint64_t done);
  // Prints "progress: 100%" unless already printed.
  void Finish();

 private:
  void Print(int percent);

  std::ostream& out_;
  std::uint64_t total_;
  int shown_ = -1;
};

}  // namespace rux4
