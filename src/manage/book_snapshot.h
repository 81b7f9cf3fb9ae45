#pragma once
// The status of a Key Book file when the key management window last listed
// it: enough to tell, at the next repaint and whatever the book's size,
// whether the book (or the file at its path) has changed since.
#include <cstdint>
#include <string>

namespace rux {

struct BookSnapshot {
  std::string path;
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = -1;
  std::int64_t modifiedNs = 0;
  std::int64_t changedNs = 0;  // the inode's change time: also moves on a permission change

  bool operator==(const BookSnapshot&) const = default;
};

// The file's status now; all zero when there is no file at the path.
BookSnapshot ReadBookSnapshot(const std::string& path);

}  // namespace rux
