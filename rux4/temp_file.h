#pragma once
// A new file written beside its final place and put there only when complete.
// Until then an existing file at the final place is never touched.
//
// Where the file system offers it, the file has no name at all while it is
// written (O_TMPFILE), so a run that is killed leaves nothing behind. Elsewhere
// it is named ".NAME.rux4-XXXXXX", removed on failure and on a stop signal,
// and a later run for the same final path removes what a killed run left.
// Either way the file holds an exclusive flock while it lives, which is how a
// later run tells a live temporary file from a stale one.
#include <string>

namespace rux4 {

class TempFile {
 public:
  // Creates an empty owner-only file in the folder of finalPath. Failure
  // (cannot create) when the folder is missing or not writable, or finalPath
  // exists and is not a regular file; `what` names it ("target", "verify file").
  TempFile(const std::string& finalPath, const char* what);
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  int Fd() const { return fd_; }

  // Flushes the file to disk and puts it at its final path, replacing what is
  // there in one step. Failure (read or write error) when the flush fails,
  // (cannot create) when it cannot be put there.
  void CommitReplacing();
  // The same, but only when nothing is at the final path yet: false, and the
  // file discarded, when something is (another run put it there meanwhile).
  bool CommitIfAbsent();

 private:
  [[noreturn]] void CannotCreate(int error) const;
  void Flush();
  void NameForCommit();
  void Discard();

  std::string finalPath_;
  std::string path_;  // empty while the file has no name
  const char* what_;
  int fd_ = -1;
  int removalSlot_ = -1;
};

}  // namespace rux4
