#include "keybook/book_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <new>

#include "platform/files/file_lock.h"
#include "platform/files/write_all.h"

namespace rux {
namespace {

// The open file, or -1 with the reason in error.
int OpenRegular(const std::string& path, int flags, int& error) {
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0600);
  if (fd < 0) {
    error = errno;
    return -1;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    ::close(fd);
    return -1;
  }
  return fd;
}

int FlagsOf(BookFile::Mode mode) {
  switch (mode) {
    case BookFile::Mode::ReadCreating:
      return O_RDONLY | O_CREAT;
    case BookFile::Mode::ReadExisting:
      return O_RDONLY;
    case BookFile::Mode::Write:
      // Read and write: a book that cannot be read is never written blind
      // (its count would be 0, and a new record would land on record 1).
      return O_RDWR;
    case BookFile::Mode::WriteCreating:
      return O_RDWR | O_CREAT;
  }
  return O_RDONLY;
}

constexpr std::size_t kPageSize = 4096;

}  // namespace

PageAlignedBuffer::PageAlignedBuffer(std::size_t size)
    : bytes(static_cast<char*>(
          std::aligned_alloc(kPageSize, (size + kPageSize - 1) / kPageSize * kPageSize))) {
  if (!bytes) throw std::bad_alloc();
}

PageAlignedBuffer::~PageAlignedBuffer() { std::free(bytes); }

BookFile::BookFile(const std::string& path, Mode mode) {
  fd_ = OpenRegular(path, FlagsOf(mode), error_);
  if (fd_ < 0) return;
  const bool writes = mode == Mode::Write || mode == Mode::WriteCreating;
  error_ = LockFile(fd_, writes ? LockKind::Exclusive : LockKind::Shared);
  if (error_ != 0) {
    ::close(fd_);
    fd_ = -1;
    return;
  }
  if (!writes) ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
}

BookFile::~BookFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::uint64_t BookFile::Size() const {
  struct stat info {};
  if (fd_ < 0 || ::fstat(fd_, &info) != 0) return 0;
  return static_cast<std::uint64_t>(info.st_size);
}

unsigned BookFile::Records() const {
  const std::uint64_t count = Size() / RECORD_SIZE;
  return count > UINT_MAX ? UINT_MAX : static_cast<unsigned>(count);
}

bool BookFile::ReadWholeRecord(int number, char* bytes) const {
  return number > 0 && ReadAt(RecordOffset(number), bytes, RECORD_SIZE) == RECORD_SIZE;
}

std::size_t BookFile::ReadAt(std::uint64_t offset, char* buffer, std::size_t size) const {
  std::size_t done = 0;
  while (fd_ >= 0 && done < size) {
    const ssize_t got = ::pread(fd_, buffer + done, size - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

std::size_t BookFile::ReadNext(char* buffer, std::size_t size) {
  std::size_t done = 0;
  while (fd_ >= 0 && done < size) {
    const ssize_t got = ::read(fd_, buffer + done, size - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

bool BookFile::WriteAt(std::uint64_t offset, std::string_view bytes) {
  if (fd_ < 0) return false;
  const std::uint64_t oldSize = Size();
  std::string old(bytes.size(), '\0');
  old.resize(ReadAt(offset, old.data(), old.size()));
  error_ = WriteAllAt(fd_, offset, bytes);
  if (error_ == 0 && ::fsync(fd_) != 0) error_ = errno;
  if (error_ != 0) PutBack(offset, old, oldSize);
  Wipe(old.data(), old.size());  // the old record's keys
  return error_ == 0;
}

void Wipe(char* bytes, std::size_t size) {
  volatile char* wipe = bytes;
  for (std::size_t i = 0; i < size; ++i) wipe[i] = 0;
}

// Undoes a write that did not complete: a book is never left with part of a
// record.
void BookFile::PutBack(std::uint64_t offset, std::string_view old, std::uint64_t oldSize) {
  WriteAllAt(fd_, offset, old);
  if (Size() > oldSize) {
    while (::ftruncate(fd_, static_cast<off_t>(oldSize)) != 0 && errno == EINTR) {
    }
  }
  ::fsync(fd_);
}

}  // namespace rux
