// SearchText: every occurrence of a text in the raw bytes of a book, matches
// across field and record boundaries included. One sequential pass; each read
// is searched together with the last L - 1 bytes of the read before it, so a
// match that straddles two reads is found once.
#include <cstring>
#include <vector>

#include "keybook/book_file.h"
#include "keybook/key_book.h"
#include "platform/text/cp1252.h"

namespace rux {
namespace {

constexpr std::size_t kReadSize = 1 << 17;  // 128 KiB: stays in the cache while it is searched
constexpr std::size_t kPageSize = 4096;

// On x86-64 the search also comes in an AVX2 form, taken when the processor
// has it.
#if defined(__x86_64__)
#define SEARCH_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define SEARCH_CLONES
#endif

// Sixteen bytes compared at once (SSE2 on x86-64, NEON on ARM).
using Bytes16 = char __attribute__((vector_size(16)));

Bytes16 Splat(char byte) {
  Bytes16 bytes;
  for (int i = 0; i < 16; ++i) bytes[i] = byte;
  return bytes;
}

template <typename Mask>
bool AnySet(Mask bytes) {
  std::uint64_t halves[2];
  std::memcpy(halves, &bytes, sizeof halves);
  return (halves[0] | halves[1]) != 0;
}

// Reports the matches in buffer[0, length) that lie wholly inside it, in
// ascending order. Sixteen start positions are tested at a time against the
// text's first, middle and last byte (a book of one letter repeated gives few
// candidates then), and 64 of them before a branch; only the candidates are
// compared in full. Returns false when onMatch asked to stop.
SEARCH_CLONES bool SearchBuffer(const char* buffer, std::size_t length, std::string_view needle,
                                std::uint64_t base,
                                const std::function<bool(std::uint64_t)>& onMatch) {
  if (length < needle.size()) return true;
  const std::size_t lastStart = length - needle.size();
  const auto matchesAt = [&](std::size_t at) {
    return std::memcmp(buffer + at, needle.data(), needle.size()) == 0;
  };
  const std::size_t middleAt = needle.size() / 2;
  const Bytes16 first = Splat(needle.front());
  const Bytes16 middle = Splat(needle[middleAt]);
  const Bytes16 last = Splat(needle.back());
  const auto candidatesAt = [&](std::size_t at) {
    Bytes16 starts, middles, ends;
    std::memcpy(&starts, buffer + at, 16);
    std::memcpy(&middles, buffer + at + middleAt, 16);
    std::memcpy(&ends, buffer + at + needle.size() - 1, 16);
    return (starts == first) & (middles == middle) & (ends == last);
  };
  const auto reportFrom = [&](std::size_t at, auto candidates) {
    for (std::size_t i = 0; i < 16; ++i) {
      if (candidates[i] && matchesAt(at + i) && !onMatch(base + at + i)) return false;
    }
    return true;
  };
  std::size_t at = 0;
  for (; at + 63 <= lastStart; at += 64) {
    const auto a = candidatesAt(at), b = candidatesAt(at + 16), c = candidatesAt(at + 32),
               d = candidatesAt(at + 48);
    if (!AnySet(a | b | c | d)) continue;
    if (!reportFrom(at, a) || !reportFrom(at + 16, b) || !reportFrom(at + 32, c) ||
        !reportFrom(at + 48, d))
      return false;
  }
  for (; at + 15 <= lastStart; at += 16) {
    if (!reportFrom(at, candidatesAt(at))) return false;
  }
  for (; at <= lastStart; ++at) {
    if (matchesAt(at) && !onMatch(base + at)) return false;
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

OpenResult SearchText(const std::string& path, const std::string& text,
                      const std::function<bool(std::uint64_t offset)>& onMatch) {
  BookFile file(path, BookFile::Mode::ReadCreating);
  if (!file.IsOpen()) return OpenResultOf(file);
  std::string needle;
  if (!Utf8ToCp1252(text, needle)) return OpenResult::Ok;  // the book's bytes cannot spell it
  if (needle.empty()) {
    ReportEveryOffset(file.Size(), onMatch);
    return OpenResult::Ok;
  }

  // Each read goes to a page boundary (reads into it are faster); the bytes
  // carried over from the read before are put just in front of it.
  const std::size_t overlap = needle.size() - 1;
  const std::size_t front = (overlap + kPageSize - 1) / kPageSize * kPageSize;
  const std::size_t readSize = std::min<std::uint64_t>(kReadSize, file.Size() + 1);
  const PageAlignedBuffer buffer(front + readSize);
  char* const reads = buffer.bytes + front;
  std::size_t kept = 0;    // bytes carried over from the read before
  std::uint64_t base = 0;  // file offset of reads[-kept]
  for (;;) {
    const std::size_t got = file.ReadNext(reads, readSize);
    const std::size_t length = kept + got;
    if (!SearchBuffer(reads - kept, length, needle, base, onMatch)) return OpenResult::Ok;
    if (got < readSize) return OpenResult::Ok;
    const std::size_t next = std::min(overlap, length);
    std::memmove(reads - next, reads - kept + length - next, next);
    kept = next;
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
