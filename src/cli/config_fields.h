#pragma once
// The values of a configuration file by the names the command line uses for
// the main window's fields, in the file's order.
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/config/configuration.h"

namespace rux::cli {

// keybook source target verify number name param1 ... param14 log engine
std::vector<std::string> ConfigFieldNames();
// The value as text (the number in decimal).
QString ConfigValue(const ConfigurationValues& values, const std::string& name);
// False for an unknown name or a number that is not a 32-bit integer.
bool SetConfigValue(ConfigurationValues& values, const std::string& name, const QString& value);

// The values of a new configuration: those of the main window at start-up.
ConfigurationValues StartupConfiguration();

// The values of an existing, well-formed file, or a failure naming the file.
ConfigurationValues LoadConfigurationOrFail(const std::string& path);
// Saves what change makes of the file's values (nothing when there is no
// file yet), with no other save in between; a failure naming the file.
void UpdateConfigurationOrFail(
    const std::string& path,
    const std::function<ConfigurationValues(std::optional<ConfigurationValues>)>& change);

}  // namespace rux::cli
