#pragma once
// A new file written beside its final place and renamed over it only when
// complete. Until then an existing file at the final place is never touched;
// a temporary file that is not committed is removed, also when the engine is
// stopped by a signal.
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
  const std::string& Path() const { return path_; }

  // Flushes the file to disk and renames it to its final path. Failure (read or
  // write error) when the flush fails, (cannot create) when the rename fails;
  // the temporary file is then removed by the destructor.
  void Commit();

 private:
  void Discard();

  std::string finalPath_;
  std::string path_;
  const char* what_;
  int fd_ = -1;
  int removalSlot_ = -1;
};

}  // namespace rux4
