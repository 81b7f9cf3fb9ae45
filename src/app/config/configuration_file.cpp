#include "app/config/configuration_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace rux {

namespace {

// A configuration holds paths, parameters and a log: a file larger than this
// is not one, and is not read into memory to find that out.
constexpr qint64 kLargestConfiguration = qint64(1) << 30;

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

bool WriteConfigurationFile(const QString& path, const ConfigurationValues& values) {
  const bool created = !QFileInfo::exists(path);
  // Refuses an existing file the user may not write.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  // The file may hold keys copied into the log: nobody else may read it.
  if (created && !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
    file.cancelWriting();
    return false;
  }
  const QByteArray bytes = ConfigurationBytes(values);
  if (file.write(bytes) != bytes.size()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

}  // namespace rux
