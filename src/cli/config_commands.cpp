// config show | set
#include <QJsonDocument>
#include <QJsonObject>
#include <istream>
#include <iterator>
#include <ostream>

#include "cli/command.h"
#include "cli/config_fields.h"
#include "cli/terminal_text.h"

namespace rux::cli {
namespace {

int Show(Arguments& args, Streams& io) {
  const std::string path = args.Next("FILE");
  const bool json = args.Flag("json");
  args.Done();
  const ConfigurationValues values = LoadConfigurationOrFail(path);
  if (json) {
    QJsonObject object;
    for (const std::string& name : ConfigFieldNames()) {
      const QString key = QString::fromStdString(name);
      if (name == "number")
        object[key] = values.keyNumber;
      else
        object[key] = ConfigValue(values, name);
    }
    io.out << TerminalSafe(QJsonDocument(object).toJson(QJsonDocument::Indented).toStdString(),
                           "\n");
    return kOk;
  }
  for (const std::string& name : ConfigFieldNames()) {
    // A value of several lines goes on, each further line after a TAB; a
    // TAB of the value itself is escaped like any control character.
    const std::string value = TerminalSafe(ConfigValue(values, name).toStdString(), "\n");
    io.out << name << '=' << QString::fromStdString(value).replace('\n', "\n\t").toStdString()
           << '\n';
  }
  return kOk;
}

int Set(Arguments& args, Streams& io) {
  const std::string path = args.Next("FILE");
  const std::vector<std::string> settings = args.Rest();
  args.Done();
  if (settings.empty()) UsageFail("missing NAME=VALUE");
  // Every setting is checked, and the log read, before the file is touched.
  std::vector<std::pair<std::string, QString>> changes;
  ConfigurationValues checked = StartupConfiguration();
  for (const std::string& setting : settings) {
    const std::size_t equals = setting.find('=');
    if (equals == std::string::npos) UsageFail("expected NAME=VALUE: " + setting);
    const std::string name = setting.substr(0, equals);
    QString value = QString::fromStdString(setting.substr(equals + 1));
    if (name == "log" && value == "-")
      value = QString::fromStdString(std::string(std::istreambuf_iterator<char>(io.in), {}));
    if (!SetConfigValue(checked, name, value))
      UsageFail(name == "number" ? "the number must be an integer: " + value.toStdString()
                                 : "unknown value name " + name);
    changes.emplace_back(name, value);
  }
  // A new file starts as the main window does after start-up.
  UpdateConfigurationOrFail(path, [&changes](std::optional<ConfigurationValues> current) {
    ConfigurationValues values = current ? *current : StartupConfiguration();
    for (const auto& [name, value] : changes) SetConfigValue(values, name, value);
    return values;
  });
  return kOk;
}

}  // namespace

int ConfigCommand(Arguments& args, Streams& io) {
  const std::string verb = args.Next("config command (show, set)");
  if (verb == "show") return Show(args, io);
  if (verb == "set") return Set(args, io);
  UsageFail("unknown config command " + verb);
}

}  // namespace rux::cli
