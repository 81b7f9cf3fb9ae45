#include "background_io.h"

#include <sys/stat.h>

#include "exit_status.h"
#include "file_io.h"

namespace rux4 {

namespace {

constexpr int BUFFER_COUNT = 3;  // one being filled, one being worked on, one spare

}  // namespace

void BufferQueue::Push(Buffer buffer) {
  {
    std::lock_guard lock(mutex_);
    buffers_.push_back(std::move(buffer));
  }
  changed_.notify_one();
}

std::optional<Buffer> BufferQueue::Pop() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return closed_ || !buffers_.empty(); });
  if (buffers_.empty()) return std::nullopt;
  Buffer buffer = std::move(buffers_.front());
  buffers_.pop_front();
  return buffer;
}

void BufferQueue::Close() {
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
  }
  changed_.notify_all();
}

BackgroundWriter::BackgroundWriter(int fd, std::size_t capacity, const char* what)
    : fd_(fd), what_(what) {
  for (int i = 0; i < BUFFER_COUNT; ++i) {
    empty_.Push(Buffer{std::vector<unsigned char>(capacity), 0});
  }
  thread_ = std::thread(&BackgroundWriter::Run, this);
}

BackgroundWriter::~BackgroundWriter() { Stop(); }

void BackgroundWriter::Run() {
  while (std::optional<Buffer> buffer = full_.Pop()) {
    try {
      WriteAll(fd_, buffer->bytes.data(), buffer->size, what_);
    } catch (...) {
      failure_ = std::current_exception();
      break;
    }
    empty_.Push(std::move(*buffer));
  }
  empty_.Close();  // wakes a caller waiting in Take
}

Buffer BackgroundWriter::Take() {
  std::optional<Buffer> buffer = empty_.Pop();
  if (!buffer) {
    Stop();
    if (failure_) std::rethrow_exception(failure_);
    throw Failure(EXIT_IO_ERROR, std::string("cannot write the ") + what_);
  }
  return std::move(*buffer);
}

void BackgroundWriter::Write(Buffer buffer) { full_.Push(std::move(buffer)); }

void BackgroundWriter::Stop() {
  full_.Close();
  if (thread_.joinable()) thread_.join();
}

void BackgroundWriter::Finish() {
  Stop();
  if (failure_) std::rethrow_exception(failure_);
}

BackgroundReader::BackgroundReader(int fd, std::size_t capacity, const char* what)
    : fd_(fd), capacity_(capacity), what_(what) {
  struct stat info {};
  ahead_ = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  for (int i = 0; i < (ahead_ ? BUFFER_COUNT : 1); ++i) {
    empty_.Push(Buffer{std::vector<unsigned char>(capacity), 0});
  }
  if (ahead_) thread_ = std::thread(&BackgroundReader::Run, this);
}

BackgroundReader::~BackgroundReader() {
  empty_.Close();
  if (thread_.joinable()) thread_.join();
}

void BackgroundReader::Run() {
  while (std::optional<Buffer> buffer = empty_.Pop()) {
    try {
      buffer->size = ReadUpTo(fd_, buffer->bytes.data(), capacity_, what_);
    } catch (...) {
      failure_ = std::current_exception();
      break;
    }
    const bool last = buffer->size < capacity_;
    full_.Push(std::move(*buffer));
    if (last) break;
  }
  full_.Close();  // wakes a caller waiting in Next
}

Buffer BackgroundReader::Next() {
  if (!ahead_) {
    std::optional<Buffer> buffer = empty_.Pop();  // the one buffer, given back by Recycle
    buffer->size = ReadUpTo(fd_, buffer->bytes.data(), capacity_, what_);
    return std::move(*buffer);
  }
  std::optional<Buffer> buffer = full_.Pop();
  if (!buffer) {
    if (thread_.joinable()) thread_.join();
    if (failure_) std::rethrow_exception(failure_);
    return Buffer{};  // asked again after the last buffer
  }
  return std::move(*buffer);
}

void BackgroundReader::Recycle(Buffer buffer) { empty_.Push(std::move(buffer)); }

}  // namespace rux4
