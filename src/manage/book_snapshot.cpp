#include "manage/book_snapshot.h"

#include <sys/stat.h>

#include "keybook/key_book.h"

namespace rux {

BookSnapshot ReadBookSnapshot(const std::string& path) {
  BookSnapshot snapshot;
  snapshot.path = path;
  struct stat status {};
  if (::stat(path.c_str(), &status) == 0) {
    snapshot.device = status.st_dev;
    snapshot.inode = status.st_ino;
    snapshot.size = status.st_size;
    snapshot.modifiedNs =
        static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec;
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
