// Replays the committed fuzzing corpus of the configuration reader through
// the fuzzer's own entry point: whole files in every string form are read,
// with a byte after the last value, the others (empty, cut in the number,
// lengths beyond the end in each form, a 16-bit text of an odd byte count)
// refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "app/config/configuration.h"
#include "config_fuzz_entry.h"
#include "support/temp_dir.h"

namespace rux {
namespace {

TEST(ConfigurationFuzzCorpus, EveryInputPassesTheChecksAndOnlyWholeFilesAreRead) {
  const std::set<std::string> wellFormed = {"startup",       "full",         "wide-name",
                                            "nested-marker", "length-64bit", "cp1252-high",
                                            "trailing-byte"};
  int inputs = 0;
  for (const auto& entry : std::filesystem::directory_iterator(
           std::filesystem::path(TEST_DATA_DIR) / "config-fuzz-corpus")) {
    const std::string bytes = test::ReadBytes(entry.path().string());
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    EXPECT_EQ(fuzz::CheckConfigurationBytes(data, bytes.size()), "") << entry.path();
    EXPECT_EQ(ParseConfiguration(QByteArrayView(data, bytes.size())).has_value(),
              wellFormed.count(entry.path().filename().string()) == 1)
        << entry.path();
    ++inputs;
  }
  EXPECT_GE(inputs, 12);
}

}  // namespace
}  // namespace rux
