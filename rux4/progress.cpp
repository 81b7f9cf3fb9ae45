#include "progress.h"

#include <algorithm>
#include <ostream>

namespace rux4 {

void Progress::Update(std::uint64_t done) {
  if (total_ == 0) return;
  const auto percent = static_cast<int>(std::min<long double>(
      99, static_cast<long double>(done) * 100 / static_cast<long double>(total_)));
  if (percent > shown_) Print(percent);
}

void Progress::Finish() {
  if (shown_ < 100) Print(100);
}

void Progress::Print(int percent) {
  shown_ = percent;
  out_ << "progress: " << percent << "%" << std::endl;
}

}  // namespace rux4
