#include "temp_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "exit_status.h"
#include "file_io.h"
#include "stop_cleanup.h"

namespace rux4 {

namespace {

constexpr std::size_t MAX_NAME_PART = 100;  // keeps the temporary name within NAME_MAX

void SyncFolder(const std::string& folder) {
  Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.Get() >= 0) ::fsync(dir.Get());  // best effort: some file systems refuse it
}

}  // namespace

TempFile::TempFile(const std::string& finalPath, const char* what)
    : finalPath_(finalPath), what_(what) {
  const std::string quoted = Quoted(finalPath);
  const std::string name = NameOf(finalPath);
  if (name.empty() || name == "." || name == "..") {
    throw Failure(EXIT_CANT_CREATE,
                  std::string("the ") + what + " " + quoted + " is not a file name");
  }
  struct stat info {};
  if (::stat(finalPath.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    throw Failure(EXIT_CANT_CREATE,
                  std::string("the ") + what + " " + quoted +
                      (S_ISDIR(info.st_mode) ? " is a folder" : " is not a regular file"));
  }
  std::string pattern = FolderOf(finalPath) + "/." + name.substr(0, MAX_NAME_PART) + ".rux4-XXXXXX";
  {
    StopSignalsBlocked blocked;  // the file exists only once it is registered for removal
    // Created readable and writable by its owner only (0600).
    fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ >= 0) removalSlot_ = RegisterForRemoval(pattern.c_str());
  }
  if (fd_ < 0) {
    throw Failure(EXIT_CANT_CREATE,
                  WithReason(std::string("cannot create the ") + what + " " + quoted, errno));
  }
  path_ = pattern;
}

TempFile::~TempFile() { Discard(); }

void TempFile::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!path_.empty()) ::unlink(path_.c_str());
  path_.clear();
  ReleaseRemoval(removalSlot_);
  removalSlot_ = -1;
}

void TempFile::Commit() {
  const std::string quoted = Quoted(finalPath_);
  if (::fsync(fd_) != 0) {
    throw Failure(EXIT_IO_ERROR, WithReason(std::string("cannot write the ") + what_, errno));
  }
  const int closed = ::close(fd_);
  fd_ = -1;
  if (closed != 0) {
    throw Failure(EXIT_IO_ERROR, WithReason(std::string("cannot write the ") + what_, errno));
  }
  if (::rename(path_.c_str(), finalPath_.c_str()) != 0) {
    throw Failure(EXIT_CANT_CREATE,
                  WithReason(std::string("cannot create the ") + what_ + " " + quoted, errno));
  }
  path_.clear();
  ReleaseRemoval(removalSlot_);
  removalSlot_ = -1;
  SyncFolder(FolderOf(finalPath_));
}

}  // namespace rux4
