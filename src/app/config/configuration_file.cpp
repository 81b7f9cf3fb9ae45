#include "app/config/configuration_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include "platform/files/file_lock.h"
#include "platform/files/write_all.h"

namespace rux {

namespace {

// A configuration holds paths, parameters and a log: a file larger than this
// is not one, and is not read into memory to find that out.
constexpr qint64 kLargestConfiguration = qint64(1) << 30;

// Saves that find the file replaced under them start over; a path that keeps
// changing under a save this often is given up.
constexpr int kAttempts = 1000;

// The file a path names, open and locked against other saves.
class HeldFile {
 public:
  HeldFile() = default;
  ~HeldFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;

  // 0 when the file is held, or when there is none at the path (Exists()
  // false); else the reason. A file that is no longer the one the path names
  // once the lock is taken has been replaced by another save: the new one is
  // held instead.
  int Hold(const std::string& path) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
      // Links were followed before: one here leads nowhere.
      fd_ = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
      if (fd_ < 0) return errno == ENOENT ? 0 : errno;
      struct stat held {};
      if (::fstat(fd_, &held) != 0 || !S_ISREG(held.st_mode)) return EINVAL;
      if (const int error = LockFile(fd_, LockKind::Exclusive)) return error;
      struct stat named {};
      if (::stat(path.c_str(), &named) == 0 && named.st_dev == held.st_dev &&
          named.st_ino == held.st_ino)
        return 0;
      ::close(fd_);
      fd_ = -1;
    }
    return EAGAIN;
  }

  bool Exists() const { return fd_ >= 0; }

  // The whole file, or nothing when it cannot be read or is too large to be
  // a configuration (error 0).
  std::optional<QByteArray> ReadAll(int& error) const {
    QFile file;
    if (!file.open(fd_, QIODevice::ReadOnly, QFileDevice::DontCloseHandle)) {
      error = EACCES;
      return std::nullopt;
    }
    if (file.size() > kLargestConfiguration) return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
      error = EIO;
      return std::nullopt;
    }
    return bytes;
  }

 private:
  int fd_ = -1;
};

// Writes the bytes to a new owner-only file beside path and puts it at path:
// over the file there (replace), or only while there still is none. 0 or
// the reason; EEXIST when a file came to the path meanwhile.
int PutInPlace(const std::string& path, const QByteArray& bytes, bool replace) {
  std::string temporary = path + ".XXXXXX";
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);  // mode 0600
  if (fd < 0) return errno;
  int error = WriteAllAt(fd, 0, std::string_view(bytes.constData(), bytes.size()));
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0) {
    const int placed = replace ? ::rename(temporary.c_str(), path.c_str())
                               : ::link(temporary.c_str(), path.c_str());
    if (placed != 0) error = errno;
  }
  if (error != 0 || !replace) ::unlink(temporary.c_str());
  return error;
}

// A link to a configuration is followed: the file it leads to is saved.
std::string FileToSave(const QString& path) {
  const std::string named = QFile::encodeName(path).toStdString();
  char resolved[PATH_MAX];
  return ::realpath(named.c_str(), resolved) ? std::string(resolved) : named;
}

ConfigurationSave Failed(ConfigurationSave::Outcome outcome, int error) {
  return {error == EWOULDBLOCK ? ConfigurationSave::InUse : outcome, error};
}

// The one way a configuration file is saved: the file held from its read to
// the rename of its replacement. readFirst: change is given what the file
// holds.
ConfigurationSave Save(
    const QString& path, bool readFirst,
    const std::function<ConfigurationValues(std::optional<ConfigurationValues>)>& change) {
  const std::string file = FileToSave(path);
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    HeldFile held;
    if (const int error = held.Hold(file)) return Failed(ConfigurationSave::NotAccessible, error);
    std::optional<ConfigurationValues> current;
    if (readFirst && held.Exists()) {
      int error = 0;
      const std::optional<QByteArray> bytes = held.ReadAll(error);
      if (error != 0) return Failed(ConfigurationSave::NotAccessible, error);
      if (bytes) current = ParseConfiguration(*bytes);
      if (!current) return {ConfigurationSave::UnexpectedFormat, 0};
    }
    const int error = PutInPlace(file, ConfigurationBytes(change(current)), held.Exists());
    if (error == EEXIST && !held.Exists()) continue;  // another save made the file first
    if (error != 0) return Failed(ConfigurationSave::NotAccessible, error);
    return {};
  }
  return {ConfigurationSave::NotAccessible, EAGAIN};
}

}  // namespace

ConfigurationRead ReadConfigurationFile(const QString& path, ConfigurationValues& values) {
  if (!QFileInfo(path).isFile()) return ConfigurationRead::NotAccessible;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return ConfigurationRead::NotAccessible;
  if (file.size() > kLargestConfiguration) return ConfigurationRead::UnexpectedFormat;
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return ConfigurationRead::NotAccessible;
  std::optional<ConfigurationValues> read = ParseConfiguration(bytes);
  if (!read) return ConfigurationRead::UnexpectedFormat;
  values = std::move(*read);
  return ConfigurationRead::Loaded;
}

ConfigurationSave WriteConfigurationFile(const QString& path, const ConfigurationValues& values) {
  return Save(path, false, [&values](std::optional<ConfigurationValues>) { return values; });
}

ConfigurationSave UpdateConfigurationFile(
    const QString& path,
    const std::function<ConfigurationValues(std::optional<ConfigurationValues> current)>& change) {
  return Save(path, true, change);
}

}  // namespace rux
