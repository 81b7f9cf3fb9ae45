#include "cli/config_fields.h"

#include <cstring>

#include "app/config/configuration_file.h"
#include "cli/command.h"

namespace rux::cli {
namespace {

QString* TextField(ConfigurationValues& v, const std::string& name) {
  if (name == "keybook") return &v.keyBook;
  if (name == "source") return &v.sourceFile;
  if (name == "target") return &v.targetFile;
  if (name == "verify") return &v.verifyFile;
  if (name == "name") return &v.masterKeyName;
  if (name == "log") return &v.log;
  if (name == "engine") return &v.enginePath;
  for (int n = 1; n <= 14; ++n)
    if (name == "param" + std::to_string(n)) return &v.params[n - 1];
  return nullptr;
}

}  // namespace

std::vector<std::string> ConfigFieldNames() {
  std::vector<std::string> names = {"keybook", "source", "target", "verify", "number", "name"};
  for (int n = 1; n <= 14; ++n) names.push_back("param" + std::to_string(n));
  names.push_back("log");
  names.push_back("engine");
  return names;
}

QString ConfigValue(const ConfigurationValues& values, const std::string& name) {
  if (name == "number") return QString::number(values.keyNumber);
  QString* field = TextField(const_cast<ConfigurationValues&>(values), name);
  return field ? *field : QString();
}

bool SetConfigValue(ConfigurationValues& values, const std::string& name, const QString& value) {
  if (name == "number") {
    bool ok = false;
    const int number = value.toInt(&ok);
    if (ok) values.keyNumber = number;
    return ok;
  }
  QString* field = TextField(values, name);
  if (field) *field = value;
  return field != nullptr;
}

ConfigurationValues StartupConfiguration() {
  ConfigurationValues values;
  values.enginePath = "rux4.exe";
  return values;
}

ConfigurationValues LoadConfigurationOrFail(const std::string& path) {
  ConfigurationValues values;
  switch (ReadConfigurationFile(QString::fromStdString(path), values)) {
    case ConfigurationRead::Loaded:
      return values;
    case ConfigurationRead::NotAccessible:
      Fail("ERROR: The file: " + path + " is not accessible, access is denied.");
    case ConfigurationRead::UnexpectedFormat:
      Fail("ERROR: The file: " + path + " Unexpected file format.");
  }
  Fail("ERROR: The file: " + path + " Unexpected file format.");
}

void UpdateConfigurationOrFail(
    const std::string& path,
    const std::function<ConfigurationValues(std::optional<ConfigurationValues>)>& change) {
  const ConfigurationSave saved = UpdateConfigurationFile(QString::fromStdString(path), change);
  switch (saved.outcome) {
    case ConfigurationSave::Saved:
      return;
    case ConfigurationSave::UnexpectedFormat:
      Fail("ERROR: The file: " + path + " Unexpected file format.");
    case ConfigurationSave::InUse:
      Fail("ERROR: The file: " + path + " is in use by another program.");
    case ConfigurationSave::NotAccessible:
      break;
  }
  if (saved.error == 0) Fail("ERROR: The file: " + path + " is not accessible, access is denied.");
  Fail("ERROR: The file: " + path + " could not be saved: " + std::strerror(saved.error));
}

}  // namespace rux::cli
