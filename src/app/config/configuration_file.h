#pragma once
// Configuration files on disk. Qt Core only.
//
// A save writes a new file beside the old one and renames it into place, so
// a reader always finds a whole file, and the file is readable and writable
// by its owner only after every save (the log may hold keys). Saves lock the
// file they replace, and the one that renames it away wakes the others on a
// file that is no longer at the path: they lock the new one and start over,
// so no save is ever made from a file another save has replaced.
#include <QString>
#include <functional>
#include <optional>

#include "app/config/configuration.h"

namespace rux {

enum class ConfigurationRead { Loaded, NotAccessible, UnexpectedFormat };

// Reads a configuration file. values changes only when the whole file was
// read and is a well-formed configuration (Loaded). Anything but a regular
// file counts as not accessible.
ConfigurationRead ReadConfigurationFile(const QString& path, ConfigurationValues& values);

// What became of a save. InUse: another program kept the file locked longer
// than the lock patience.
struct ConfigurationSave {
  enum Outcome { Saved, NotAccessible, UnexpectedFormat, InUse };
  Outcome outcome = Saved;
  int error = 0;  // the system's error number of a failure, 0 when there is none
  explicit operator bool() const { return outcome == Saved; }
};

// Puts the values in the file at path, whatever it held. A failure leaves an
// existing file whole.
ConfigurationSave WriteConfigurationFile(const QString& path, const ConfigurationValues& values);

// Changes the file at path with no other save in between: change is given
// the values the file holds (nothing when there is no file yet) and returns
// the values to save. An existing file that is not a configuration is left as
// it is (UnexpectedFormat). change may be called more than once, each time
// with the file as it then is.
ConfigurationSave UpdateConfigurationFile(
    const QString& path,
    const std::function<ConfigurationValues(std::optional<ConfigurationValues> current)>& change);

}  // namespace rux
