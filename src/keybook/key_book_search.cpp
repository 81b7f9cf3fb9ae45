// SearchText: every occurrence of a text in the raw bytes of a book, matches
// across field and record boundaries included. One sequential pass; each read
// is searched together with the last L - 1 bytes of the read before it, so a
// match that straddles two reads is found once.
#include <cstring>
#include <memory>
#include <vector>

#include "keybook/book_file.h"
#include "keybook/key_book.h"
#include "platform/text/cp1252.h"

namespace rux {
namespace {

constexpr std::size_t kReadSize = 1 << 20;

// Reports the matches in buffer[0, length) that lie wholly inside it.
// Returns false when onMatch asked to stop.
bool SearchBuffer(const char* buffer, std::size_t length, std::string_view needle,
                  std::uint64_t base, const std::function<bool(std::uint64_t)>& onMatch) {
  const char* pos = buffer;
  const char* const end = buffer + length;
  while (static_cast<std::size_t>(end - pos) >= needle.size()) {
    const void* found = needle.size() == 1 ? std::memchr(pos, needle[0], end - pos)
                                           : ::memmem(pos, end - pos, needle.data(), needle.size());
    if (found == nullptr) return true;
    const char* match = static_cast<const char*>(found);
    if (!onMatch(base + (match - buffer))) return false;
    pos = match + 1;
  }
  return true;
}

// An empty text matches at every offset of the file.
void ReportEveryOffset(std::uint64_t size, const std::function<bool(std::uint64_t)>& onMatch) {
  for (std::uint64_t offset = 0; offset < size; ++offset) {
    if (!onMatch(offset)) return;
  }
}

}  // namespace

void SearchText(const std::string& path, const std::string& text,
                const std::function<bool(std::uint64_t offset)>& onMatch) {
  BookFile file(path, BookFile::Mode::ReadCreating);
  if (!file.IsOpen()) return;
  std::string needle;
  if (!Utf8ToCp1252(text, needle)) return;  // the book's bytes cannot spell it
  if (needle.empty()) {
    ReportEveryOffset(file.Size(), onMatch);
    return;
  }

  const std::size_t overlap = needle.size() - 1;
  const std::size_t readSize = std::min<std::uint64_t>(kReadSize, file.Size() + 1);
  const std::unique_ptr<char[]> buffer(new char[overlap + readSize]);
  std::size_t kept = 0;    // bytes carried over from the read before
  std::uint64_t base = 0;  // file offset of buffer[0]
  for (;;) {
    const std::size_t got = file.ReadNext(buffer.get() + kept, readSize);
    const std::size_t length = kept + got;
    if (!SearchBuffer(buffer.get(), length, needle, base, onMatch)) return;
    if (got < readSize) return;
    kept = std::min(overlap, length);
    std::memmove(buffer.get(), buffer.get() + length - kept, kept);
    base += length - kept;
  }
}

std::vector<std::uint64_t> SearchText(const std::string& path, const std::string& text) {
  std::vector<std::uint64_t> offsets;
  SearchText(path, text, [&offsets](std::uint64_t offset) {
    offsets.push_back(offset);
    return true;
  });
  return offsets;
}

}  // namespace rux
