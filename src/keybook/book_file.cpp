#include "keybook/book_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <new>

namespace rux {
namespace {

int OpenRegular(const std::string& path, int flags) {
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0600);
  if (fd < 0) return -1;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return -1;
  }
  return fd;
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
  switch (mode) {
    case Mode::ReadCreating:
      fd_ = OpenRegular(path, O_RDONLY | O_CREAT);
      break;
    case Mode::ReadExisting:
      fd_ = OpenRegular(path, O_RDONLY);
      break;
    case Mode::Write:
      // Read and write: a book that cannot be read is never written blind
      // (its count would be 0, and a new record would land on record 1).
      fd_ = OpenRegular(path, O_RDWR);
      break;
  }
  if (fd_ >= 0 && mode != Mode::Write) ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
}

BookFile::~BookFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::uint64_t BookFile::Size() const {
  struct stat info {};
  if (fd_ < 0 || ::fstat(fd_, &info) != 0) return 0;
  return static_cast<std::uint64_t>(info.st_size);
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
  bool complete = true;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put =
        ::pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      complete = false;
      break;
    }
    done += static_cast<std::size_t>(put);
  }
  if (::fsync(fd_) != 0) complete = false;
  if (::close(fd_) != 0) complete = false;
  fd_ = -1;
  return complete;
}

}  // namespace rux
