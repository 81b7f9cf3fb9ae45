#pragma once
// A Key Book file opened for one operation: raw bytes, no translation, closed
// when the object goes. Only regular files open; anything else (a folder, a
// device, a pipe) counts as a file that cannot be opened.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "keybook/master_key_record.h"

namespace rux {

class BookFile {
 public:
  enum class Mode {
    ReadCreating,  // read only; an empty book (owner-only) is created when there is none
    ReadExisting,  // read only; never creates
    Write,         // write only; never creates, never truncates
  };

  BookFile(const std::string& path, Mode mode);
  ~BookFile();
  BookFile(const BookFile&) = delete;
  BookFile& operator=(const BookFile&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  std::uint64_t Size() const;  // 0 when not open

  // Reads up to size bytes at offset; fewer at the end of the file or on an error.
  std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) const;
  // Reads the next bytes of a sequential pass from the start.
  std::size_t ReadNext(char* buffer, std::size_t size);

  // Writes all the bytes at offset and flushes them to the disk; false when
  // any of them did not get there. Closes the file.
  bool WriteAt(std::uint64_t offset, std::string_view bytes);

 private:
  int fd_ = -1;
};

// Records read in one sequential pass with large reads.
constexpr std::size_t kRecordsPerRead = 186;  // about 128 KiB: stays in the cache

// A read buffer that starts on a page boundary (reads into it are faster).
struct PageAlignedBuffer {
  explicit PageAlignedBuffer(std::size_t size);
  ~PageAlignedBuffer();
  PageAlignedBuffer(const PageAlignedBuffer&) = delete;
  PageAlignedBuffer& operator=(const PageAlignedBuffer&) = delete;
  char* bytes;
};

// Calls onRecord(number, bytes) for each record in file order (number from 1);
// the last one may be shorter than RECORD_SIZE when the file ends inside it.
// Stops when onRecord returns false.
template <typename OnRecord>
void ForEachRecord(BookFile& file, OnRecord&& onRecord) {
  if (!file.IsOpen()) return;
  const std::uint64_t records = file.Size() / RECORD_SIZE + 1;
  const std::size_t size = std::min<std::uint64_t>(records, kRecordsPerRead) * RECORD_SIZE;
  const PageAlignedBuffer buffer(size);
  std::uint64_t number = 1;
  for (;;) {
    const std::size_t got = file.ReadNext(buffer.bytes, size);
    for (std::size_t at = 0; at < got; at += RECORD_SIZE, ++number) {
      const std::size_t length = std::min<std::size_t>(RECORD_SIZE, got - at);
      if (!onRecord(number, std::string_view(buffer.bytes + at, length))) return;
    }
    if (got < size) return;
  }
}

}  // namespace rux
