#pragma once
// A Key Book file opened for one operation: raw bytes, no translation, closed
// when the object goes. Only regular files open; anything else (a folder, a
// device, a pipe) counts as a file that cannot be opened.
//
// While it is open the book is locked against other programs: readers share
// it, a writer has it alone, so no reader sees a record half written and no
// two writers decide on the same book at once. A book another program keeps
// locked longer than the lock patience does not open (InUse).
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "keybook/key_book.h"
#include "keybook/master_key_record.h"

namespace rux {

class BookFile {
 public:
  enum class Mode {
    ReadCreating,   // read only; an empty book (owner-only) is created when there is none
    ReadExisting,   // read only; never creates
    Write,          // read and write; never creates, never truncates
    WriteCreating,  // read and write; creates an empty owner-only book when there is none
  };

  BookFile(const std::string& path, Mode mode);
  ~BookFile();
  BookFile(const BookFile&) = delete;
  BookFile& operator=(const BookFile&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  // Why the book did not open or was not written: the system's error number,
  // EWOULDBLOCK when another program kept it locked.
  int Error() const { return error_; }
  std::uint64_t Size() const;  // 0 when not open
  // Whole records in the book (at most UINT_MAX): bytes after the last whole
  // record belong to none.
  unsigned Records() const;

  // Reads up to size bytes at offset; fewer at the end of the file or on an error.
  std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) const;
  // Record number into bytes (RECORD_SIZE of them), when the book holds the
  // whole of it.
  bool ReadWholeRecord(int number, char* bytes) const;
  // Reads the next bytes of a sequential pass from the start.
  std::size_t ReadNext(char* buffer, std::size_t size);

  // Writes all the bytes at offset and flushes them to the disk. When any of
  // them did not get there, the bytes they replaced are put back and the book
  // is cut back to its old size, and the result is false.
  bool WriteAt(std::uint64_t offset, std::string_view bytes);

 private:
  void PutBack(std::uint64_t offset, std::string_view old, std::uint64_t oldSize);

  int fd_ = -1;
  int error_ = 0;
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

// Calls onRecord(number, bytes) for each whole record in file order (number
// from 1). Bytes after the last whole record are no record: a write cut short
// left them, and the next record appended goes over them. Stops when onRecord
// returns false.
template <typename OnRecord>
void ForEachRecord(BookFile& file, OnRecord&& onRecord) {
  if (!file.IsOpen()) return;
  const std::uint64_t records = file.Size() / RECORD_SIZE;
  const std::size_t size = std::min<std::uint64_t>(records + 1, kRecordsPerRead) * RECORD_SIZE;
  const PageAlignedBuffer buffer(size);
  std::uint64_t number = 1;
  for (;;) {
    const std::size_t got = file.ReadNext(buffer.bytes, size);
    for (std::size_t at = 0; at + RECORD_SIZE <= got && number <= records; at += RECORD_SIZE) {
      if (!onRecord(number++, std::string_view(buffer.bytes + at, RECORD_SIZE))) return;
    }
    if (got < size || number > records) return;
  }
}

// Where record number (from 1) begins.
inline std::uint64_t RecordOffset(int number) {
  return static_cast<std::uint64_t>(number - 1) * RECORD_SIZE;
}

// Overwrites bytes that held keys before their memory is given back.
void Wipe(char* bytes, std::size_t size);

// Record bytes hold keys: wiped when they go, also when an operation gives up
// with an exception.
struct WipedText {
  explicit WipedText(std::size_t size) : text(size, '\0') {}
  explicit WipedText(std::string&& bytes) : text(std::move(bytes)) {}
  WipedText(const WipedText&) = delete;
  WipedText& operator=(const WipedText&) = delete;
  ~WipedText() { Wipe(text.data(), text.size()); }
  std::string text;
};

// Ok when the file is open, else why not.
OpenResult OpenResultOf(const BookFile& file);

// The number of the first record holding the deleted mark, or 0.
int FirstFreeSlot(BookFile& file);

}  // namespace rux
