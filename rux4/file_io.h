#pragma once
// Plain POSIX file work for the engine; failures become Failure with an exit status.
#include <cstddef>
#include <cstdint>
#include <string>

namespace rux4 {

// An open file descriptor, closed when it goes.
class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  ~Descriptor();
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  Descriptor(Descriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  Descriptor& operator=(Descriptor&&) = delete;
  int Get() const { return fd_; }

 private:
  int fd_;
};

// Opens a regular file to read; opening never waits. Failure with `status`
// when it is missing, cannot be opened, or is a folder, a FIFO, a socket or a
// device; `what` names it in the message ("source", "verify file"). size is
// its length.
Descriptor OpenForReading(const std::string& path, const char* what, int status,
                          std::uint64_t& size);

// Reads until `size` bytes are in or the file ends; returns the count.
// Failure (read or write error) on a read error.
std::size_t ReadUpTo(int fd, unsigned char* data, std::size_t size, const char* what);

// Writes every byte; Failure (read or write error) otherwise.
void WriteAll(int fd, const unsigned char* data, std::size_t size, const char* what);

bool FileExists(const std::string& path);

// True when both paths name one file: the same device and inode when both
// exist, otherwise the same absolute path once links and dots are resolved.
bool SameFile(const std::string& first, const std::string& second);

// The folder part of a path ("." when there is none) and the name part.
// A path as the messages show it: in double quotes.
std::string Quoted(const std::string& path);
std::string FolderOf(const std::string& path);
std::string NameOf(const std::string& path);

}  // namespace rux4
