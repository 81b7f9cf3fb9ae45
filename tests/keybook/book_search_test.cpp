// SearchText over the raw bytes of a book.
#include <gtest/gtest.h>

#include "keybook_test_helpers.h"
#include "support/temp_dir.h"

namespace rux {
namespace {

using Offsets = std::vector<std::uint64_t>;
using test::SampleRecordBytes;
using test::WriteBytes;

Offsets PlainSearch(const std::string& haystack, const std::string& needle) {
  Offsets offsets;
  for (std::size_t at = 0; at + needle.size() <= haystack.size(); ++at) {
    if (haystack.compare(at, needle.size(), needle) == 0) offsets.push_back(at);
  }
  return offsets;
}

class BookSearch : public ::testing::Test {
 protected:
  test::TempDir dir;
  std::string book = dir.File("book.kb");
};

TEST_F(BookSearch, FindsAKeyAndTheKeyThatBeginsWithIt) {
  WriteBytes(book, SampleRecordBytes());
  EXPECT_EQ(SearchText(book, "ab"), (Offsets{20, 605}));
  EXPECT_EQ(SearchText(book, "abc"), (Offsets{605}));
  EXPECT_EQ(SearchText(book, "AB"), Offsets{});
}

TEST_F(BookSearch, MatchesSpanFieldsAndRecords) {
  WriteBytes(book, SampleRecordBytes("one") + SampleRecordBytes("two"));
  EXPECT_EQ(SearchText(book, std::string("ab\0_", 4)), (Offsets{20, 725}));
  EXPECT_EQ(SearchText(book, std::string("-two", 4)), (Offsets{704}));
  EXPECT_EQ(SearchText(book, ",,3250000000.01"), (Offsets{683, 1388}));
}

TEST_F(BookSearch, OverlappingMatchesAreAllReported) {
  WriteBytes(book, "aaaaa");
  EXPECT_EQ(SearchText(book, "aa"), (Offsets{0, 1, 2, 3}));
  EXPECT_EQ(SearchText(book, "aaaaa"), (Offsets{0}));
  EXPECT_EQ(SearchText(book, "aaaaaa"), Offsets{});
}

TEST_F(BookSearch, EmptyTextMatchesEveryOffset) {
  WriteBytes(book, "abc");
  EXPECT_EQ(SearchText(book, ""), (Offsets{0, 1, 2}));
}

TEST_F(BookSearch, MissingBookIsCreatedEmpty) {
  EXPECT_EQ(SearchText(book, "x"), Offsets{});
  EXPECT_TRUE(test::Exists(book));
  EXPECT_EQ(SearchText(dir.Path(), "x"), Offsets{});
}

TEST_F(BookSearch, TextIsSearchedAsItsWindows1252Bytes) {
  WriteBytes(book, SampleRecordBytes("Se\xF1or"));
  EXPECT_EQ(SearchText(book, "\xC3\xB1o"), (Offsets{2}));
  EXPECT_EQ(SearchText(book, "Se\xE4\xB8\xADor"), Offsets{});
}

TEST_F(BookSearch, MatchesAcrossReadBoundariesAgreeWithAPlainSearch) {
  // Three megabytes of a repeating pattern with marks placed around the
  // one-megabyte read boundaries.
  std::string bytes;
  while (bytes.size() < 3u << 20) bytes += SampleRecordBytes("r" + std::to_string(bytes.size()));
  for (std::size_t boundary : {std::size_t{1} << 20, std::size_t{2} << 20}) {
    for (std::size_t at : {boundary - 7, boundary - 3, boundary - 1, boundary, boundary + 2}) {
      bytes.replace(at, 3, "XYX");
    }
  }
  WriteBytes(book, bytes);
  for (const std::string needle : {"XYX", "X", "XYXYX", "YX", "r1", "3250000000.01"}) {
    EXPECT_EQ(SearchText(book, needle), PlainSearch(bytes, needle)) << needle;
  }
}

TEST_F(BookSearch, CallbackCanStopTheScan) {
  WriteBytes(book, "xaxaxaxa");
  Offsets seen;
  SearchText(book, "a", [&seen](std::uint64_t offset) {
    seen.push_back(offset);
    return seen.size() < 2;
  });
  EXPECT_EQ(seen, (Offsets{1, 3}));
}

}  // namespace
}  // namespace rux
