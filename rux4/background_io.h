#pragma once
// Reading ahead and writing behind on threads of their own, so file I/O
// overlaps the encryption of the batch in hand. A fixed set of buffers goes
// round between the cipher loop and the I/O thread, which bounds the memory.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace rux4 {

struct Buffer {
  std::vector<unsigned char> bytes;
  std::size_t size = 0;  // bytes in use
};

// A queue of buffers handed between two threads; Pop waits until a buffer
// comes or the queue is closed.
class BufferQueue {
 public:
  void Push(Buffer buffer);
  std::optional<Buffer> Pop();  // empty once closed and drained
  void Close();

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Buffer> buffers_;
  bool closed_ = false;
};

// Writes the buffers it is given to fd in order, behind the caller.
class BackgroundWriter {
 public:
  BackgroundWriter(int fd, std::size_t capacity, const char* what);
  ~BackgroundWriter();
  BackgroundWriter(const BackgroundWriter&) = delete;
  BackgroundWriter& operator=(const BackgroundWriter&) = delete;

  // A buffer of `capacity` bytes to fill; throws the write failure, if any.
  Buffer Take();
  // Queues the first buffer.size bytes for writing.
  void Write(Buffer buffer);
  // Waits until everything is written; throws the write failure, if any.
  void Finish();

 private:
  void Run();
  void Stop();

  int fd_;
  const char* what_;
  BufferQueue full_;
  BufferQueue empty_;
  std::exception_ptr failure_;
  std::thread thread_;
};

// Reads fd ahead of the caller, a buffer at a time. Only a regular file is read
// ahead: a pipe or a device may block for ever, and a failed run must be able
// to end without waiting for it, so those are read when asked.
class BackgroundReader {
 public:
  BackgroundReader(int fd, std::size_t capacity, const char* what);
  ~BackgroundReader();
  BackgroundReader(const BackgroundReader&) = delete;
  BackgroundReader& operator=(const BackgroundReader&) = delete;

  // The next part of the file; a buffer not filled to capacity is the last.
  // Throws the read failure, if any.
  Buffer Next();
  // Gives a buffer from Next back for reading into.
  void Recycle(Buffer buffer);

 private:
  void Run();

  int fd_;
  std::size_t capacity_;
  bool ahead_;
  const char* what_;
  BufferQueue full_;
  BufferQueue empty_;
  std::exception_ptr failure_;
  std::thread thread_;
};

}  // namespace rux4
