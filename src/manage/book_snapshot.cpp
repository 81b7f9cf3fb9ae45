#include "manage/book_snapshot.h"

#include <sys/stat.h>

namespace rux {

namespace {

std::int64_t Nanoseconds(const timespec& time) {
  return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

}  // namespace

BookSnapshot ReadBookSnapshot(const std::string& path) {
  BookSnapshot snapshot;
  snapshot.path = path;
  struct stat status {};
  if (::stat(path.c_str(), &status) == 0) {
    snapshot.device = status.st_dev;
    snapshot.inode = status.st_ino;
    snapshot.size = status.st_size;
    snapshot.modifiedNs = Nanoseconds(status.st_mtim);
    snapshot.changedNs = Nanoseconds(status.st_ctim);
  }
  return snapshot;
}

}  // namespace rux
