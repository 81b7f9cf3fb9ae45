// Replays the committed fuzzing corpus through the fuzzer's own entry point.
#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz_entry.h"
#include "support/temp_dir.h"

namespace rux {
namespace {

TEST(FuzzCorpus, EveryInputPassesTheChecks) {
  const std::filesystem::path corpus = std::filesystem::path(TEST_DATA_DIR) / "fuzz-corpus";
  int inputs = 0;
  for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
    const std::string bytes = test::ReadBytes(entry.path().string());
    const std::string fault =
        fuzz::CheckKeyBookBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    EXPECT_EQ(fault, "") << entry.path();
    ++inputs;
  }
  EXPECT_GE(inputs, 10);
}

}  // namespace
}  // namespace rux
