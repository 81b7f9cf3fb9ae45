// Replays the committed fuzzing corpus of the configuration reader through
// the fuzzer's own entry point.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "app/config/configuration.h"
#include "config_fuzz_entry.h"
#include "support/temp_dir.h"

namespace rux {
namespace {

TEST(ConfigurationFuzzCorpus, EveryInputPassesTheChecks) {
  const std::filesystem::path corpus = std::filesystem::path(TEST_DATA_DIR) / "config-fuzz-corpus";
  // The seeds that are whole configurations; the others must be refused.
  const std::set<std::string> wellFormed = {"startup",       "full",         "wide-name",
                                            "nested-marker", "length-64bit", "cp1252-high"};
  int inputs = 0;
  for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
    const std::string bytes = test::ReadBytes(entry.path().string());
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    EXPECT_EQ(fuzz::CheckConfigurationBytes(data, bytes.size()), "") << entry.path();
    const bool accepted = ParseConfiguration(QByteArrayView(data, bytes.size())).has_value();
    if (wellFormed.count(entry.path().filename().string())) {
      EXPECT_TRUE(accepted) << entry.path();
    }
    ++inputs;
  }
  EXPECT_GE(inputs, 10);
}

}  // namespace
}  // namespace rux
