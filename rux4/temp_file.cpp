#include "temp_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sodium.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "exit_status.h"
#include "file_io.h"
#include "stop_cleanup.h"

namespace rux4 {

namespace {

constexpr std::size_t MAX_NAME_PART = 100;  // keeps the temporary name within NAME_MAX
constexpr std::size_t SUFFIX_SIZE = 6;      // as mkostemp makes it: letters and digits

// ".NAME.rux4-": what the temporary names for finalPath begin with.
std::string TempPrefix(const std::string& finalPath) {
  std::string prefix = ".";
  prefix += NameOf(finalPath).substr(0, MAX_NAME_PART);
  prefix += ".rux4-";
  return prefix;
}

std::string RandomSuffix() {
  static constexpr char LETTERS[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::string suffix(SUFFIX_SIZE, '0');
  for (char& letter : suffix) letter = LETTERS[randombytes_uniform(sizeof LETTERS - 1)];
  return suffix;
}

bool IsTempName(const std::string& name, const std::string& prefix) {
  return name.size() == prefix.size() + SUFFIX_SIZE && name.starts_with(prefix) &&
         std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

// Removes the temporary files that runs killed before their end left for the
// same final path. A live run holds its file's flock, so its file stays.
void RemoveStale(const std::string& folder, const std::string& prefix) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* entry = ::readdir(dir)) {
    if (!IsTempName(entry->d_name, prefix)) continue;
    const std::string path = folder + "/" + entry->d_name;
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat opened {
    }, named{};
    if (file.Get() >= 0 && ::flock(file.Get(), LOCK_EX | LOCK_NB) == 0 &&
        ::fstat(file.Get(), &opened) == 0 && S_ISREG(opened.st_mode) &&
        ::lstat(path.c_str(), &named) == 0 && named.st_dev == opened.st_dev &&
        named.st_ino == opened.st_ino) {
      ::unlink(path.c_str());
    }
  }
  ::closedir(dir);
}

// Gives the unnamed file open as fd the name path, never replacing a file;
// 0 or the error number.
int LinkUnnamed(int fd, const std::string& path) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0) return 0;
  const int error = errno;
  if (error == EEXIST) return error;
  // Without /proc: the direct way, which some systems allow.
  return ::linkat(fd, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) == 0 ? 0 : error;
}

// Gives the named file `from` the name `to` too, never replacing a file; 0 or the error number.
int LinkNamed(const std::string& from, const std::string& to) {
  if (::link(from.c_str(), to.c_str()) == 0) return 0;
  if (errno == EEXIST) return EEXIST;
  // A file system without hard links may still rename without replacing.
  return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0 ? 0
                                                                                          : errno;
}

void SyncFolder(const std::string& folder) {
  const Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
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
                  std::string("the ") + what + " " + quoted + NotRegular(info.st_mode));
  }
  const std::string folder = FolderOf(finalPath);
  RemoveStale(folder, TempPrefix(finalPath));
  // Created readable and writable by its owner only (0600).
  fd_ = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  int error = errno;
  if (fd_ < 0 && (error == EOPNOTSUPP || error == EISDIR || error == EINVAL)) {
    // No unnamed files here: a named one, which exists only once it is
    // registered for removal on a stop signal.
    std::string pattern = folder + "/" + TempPrefix(finalPath) + "XXXXXX";
    StopSignalsBlocked blocked;
    fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    error = errno;
    if (fd_ >= 0) {
      path_ = pattern;
      removalSlot_ = RegisterForRemoval(pattern.c_str());
    }
  }
  if (fd_ < 0) {
    CannotCreate(error);
  }
  ::flock(fd_, LOCK_EX | LOCK_NB);  // a new file: nobody else holds it
}

TempFile::~TempFile() { Discard(); }

void TempFile::CannotCreate(int error) const {
  throw Failure(
      EXIT_CANT_CREATE,
      WithReason(std::string("cannot create the ") + what_ + " " + Quoted(finalPath_), error));
}

void TempFile::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!path_.empty()) ::unlink(path_.c_str());
  path_.clear();
  ReleaseRemoval(removalSlot_);
  removalSlot_ = -1;
}

void TempFile::Flush() {
  if (::fsync(fd_) != 0) {
    throw Failure(EXIT_IO_ERROR, WithReason(std::string("cannot write the ") + what_, errno));
  }
}

// A file system link cannot replace a file, and rename needs a name: an
// unnamed file gets a temporary name just before it is renamed.
void TempFile::NameForCommit() {
  for (int attempt = 0; path_.empty(); ++attempt) {
    const std::string candidate =
        FolderOf(finalPath_) + "/" + TempPrefix(finalPath_) + RandomSuffix();
    const int error = LinkUnnamed(fd_, candidate);
    if (error == 0) {
      path_ = candidate;
    } else if (error != EEXIST || attempt == 100) {
      CannotCreate(error);
    }
  }
}

void TempFile::CommitReplacing() {
  Flush();
  {
    // Named only for the moment between the link and the rename; no stop
    // signal comes in between, and a later run removes what SIGKILL leaves.
    StopSignalsBlocked blocked;
    NameForCommit();
    if (::rename(path_.c_str(), finalPath_.c_str()) != 0) {
      CannotCreate(errno);
    }
    path_.clear();
  }
  Discard();
  SyncFolder(FolderOf(finalPath_));
}

bool TempFile::CommitIfAbsent() {
  Flush();
  const int error = path_.empty() ? LinkUnnamed(fd_, finalPath_) : LinkNamed(path_, finalPath_);
  if (error != 0 && error != EEXIST) {
    CannotCreate(error);
  }
  Discard();  // the file stays under its final name, if it got it
  if (error == EEXIST) return false;
  SyncFolder(FolderOf(finalPath_));
  return true;
}

}  // namespace rux4
