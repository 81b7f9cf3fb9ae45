#include "file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "exit_status.h"

namespace rux4 {

namespace {

// The absolute form of a path whose last part need not exist.
std::string Canonical(const std::string& path) {
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved)) return resolved;
  if (::realpath(FolderOf(path).c_str(), resolved))
    return std::string(resolved) + "/" + NameOf(path);
  return path;
}

}  // namespace

Descriptor::~Descriptor() {
  if (fd_ >= 0) ::close(fd_);
}

Descriptor OpenForReading(const std::string& path, const char* what, int status,
                          std::uint64_t& size) {
  // Opened without waiting, so that a FIFO with no writer cannot hold the run.
  Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (file.Get() < 0) {
    throw Failure(status,
                  WithReason(std::string("cannot open the ") + what + " " + Quoted(path), errno));
  }
  struct stat info {};
  if (::fstat(file.Get(), &info) != 0) {
    throw Failure(
        status, WithReason(std::string("cannot examine the ") + what + " " + Quoted(path), errno));
  }
  if (!S_ISREG(info.st_mode)) {
    throw Failure(status,
                  std::string("the ") + what + " " + Quoted(path) + NotRegular(info.st_mode));
  }
  ::fcntl(file.Get(), F_SETFL, ::fcntl(file.Get(), F_GETFL) & ~O_NONBLOCK);
  size = static_cast<std::uint64_t>(info.st_size);
  return file;
}

std::size_t ReadUpTo(int fd, unsigned char* data, std::size_t size, const char* what) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t got = ::read(fd, data + done, size - done);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      throw Failure(EXIT_IO_ERROR, WithReason(std::string("cannot read the ") + what, errno));
    }
    done += static_cast<std::size_t>(got);
  }
  return done;
}

void WriteAll(int fd, const unsigned char* data, std::size_t size, const char* what) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t put = ::write(fd, data + done, size - done);
    if (put < 0) {
      if (errno == EINTR) continue;
      throw Failure(EXIT_IO_ERROR, WithReason(std::string("cannot write the ") + what, errno));
    }
    done += static_cast<std::size_t>(put);
  }
}

bool FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

bool SameFile(const std::string& first, const std::string& second) {
  struct stat a {
  }, b{};
  if (::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
  }
  return Canonical(first) == Canonical(second);
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

}  // namespace rux4
