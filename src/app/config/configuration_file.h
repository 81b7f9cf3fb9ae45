#pragma once
// Configuration files on disk. Qt Core only.
#include <QString>

#include "app/config/configuration.h"

namespace rux {

enum class ConfigurationRead { Loaded, NotAccessible, UnexpectedFormat };

// Reads a configuration file. values changes only when the whole file was
// read and is a well-formed configuration (Loaded). Anything but a regular
// file counts as not accessible.
ConfigurationRead ReadConfigurationFile(const QString& path, ConfigurationValues& values);

// Writes the file beside its place and puts it there only when complete, so a
// failure leaves an existing file whole. A file created here is readable and
// writable by its owner only; an existing file keeps its permissions.
// False when the file could not be written.
bool WriteConfigurationFile(const QString& path, const ConfigurationValues& values);

}  // namespace rux
