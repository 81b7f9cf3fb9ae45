#pragma once
// What the key management window last listed from a Key Book: enough to tell,
// at the next repaint, whether anything in the book (or the book itself) has
// changed since.
#include <cstdint>
#include <string>
#include <vector>

namespace rux {

struct BookSnapshot {
  std::string path;
  bool accessible = false;  // the book could be opened and its names read
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = -1;
  std::int64_t modifiedNs = 0;
  std::int64_t changedNs = 0;          // the inode's change time: also moves on a permission change
  std::vector<std::string> liveNames;  // names of the records without the deleted mark, in order

  bool operator==(const BookSnapshot&) const = default;
};

// Reads the book's file status, then its names; a book that cannot be opened
// gives an inaccessible snapshot with no names. When the file status is that
// of the given earlier snapshot of a readable book, the book is not read again
// and that snapshot is the answer.
BookSnapshot ReadBookSnapshot(const std::string& path, const BookSnapshot& earlier = {});

}  // namespace rux
