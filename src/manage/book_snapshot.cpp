#include "manage/book_snapshot.h"

#include <sys/stat.h>

#include "keybook/key_book.h"

namespace rux {

namespace {

std::int64_t Nanoseconds(const timespec& time) {
  return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

bool SameFile(const BookSnapshot& a, const BookSnapshot& b) {
  return a.path == b.path && a.device == b.device && a.inode == b.inode && a.size == b.size &&
         a.modifiedNs == b.modifiedNs && a.changedNs == b.changedNs;
}

}  // namespace

BookSnapshot ReadBookSnapshot(const std::string& path, const BookSnapshot& earlier) {
  BookSnapshot snapshot;
  snapshot.path = path;
  struct stat status {};
  if (::stat(path.c_str(), &status) == 0) {
    snapshot.device = status.st_dev;
    snapshot.inode = status.st_ino;
    snapshot.size = status.st_size;
    snapshot.modifiedNs = Nanoseconds(status.st_mtim);
    snapshot.changedNs = Nanoseconds(status.st_ctim);
    // The repaint asks at every paint: an unchanged book is not read again.
    if (earlier.accessible && SameFile(snapshot, earlier)) return earlier;
  }
  const auto names = ListNames(path);
  if (!names) return snapshot;
  snapshot.accessible = true;
  for (const NameEntry& entry : *names) {
    if (!entry.deleted) snapshot.liveNames.push_back(entry.name);
  }
  return snapshot;
}

}  // namespace rux
