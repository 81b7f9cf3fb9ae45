// run CONFIG encode|decode [--yes]: the main window's engine job on the
// values of a configuration file, its log entries saved back into the file.
#include <QFileInfo>
#include <ostream>

#include "cli/command.h"
#include "cli/config_fields.h"
#include "cli/text_prompts.h"
#include "engine/engine_job.h"

namespace rux::cli {
namespace {

// The job's window: the values of the configuration file.
class ConfigurationJob : public JobWindow {
 public:
  ConfigurationJob(ConfigurationValues& values, const QString& configFile)
      : v_(values), configFile_(configFile) {}

  QString& EnginePath() override { return v_.enginePath; }
  QString& EngineCommand() override { return engineCommand_; }
  QString& KeyBook() override { return v_.keyBook; }
  int& KeyNumber() override { return v_.keyNumber; }
  QString& SourceFile() override { return v_.sourceFile; }
  QString& TargetFile() override { return v_.targetFile; }
  QString& VerifyFile() override { return v_.verifyFile; }
  QString& Param(int n) override { return v_.params[n - 1]; }
  QString& ConfigFile() override { return configFile_; }
  QString& Log() override { return v_.log; }
  void SetParamFieldText(int n, const QString& text) override { v_.params[n - 1] = text; }
  void FocusLog() override {}
  void Refresh() override {}
  QWidget* Owner() override { return nullptr; }

 private:
  ConfigurationValues& v_;
  QString engineCommand_ = "rux4.exe";
  QString configFile_;
};

// Installs the text prompts and console for the length of a job.
class TextSeams {
 public:
  TextSeams(Streams& io, bool yes) : prompts_(io.err, io.terminal, yes), console_(io.out) {
    InstallPrompts(&prompts_);
    InstallConsole(&console_);
  }
  ~TextSeams() {
    InstallConsole(nullptr);
    InstallPrompts(nullptr);
  }

 private:
  TextPrompts prompts_;
  TextConsole console_;
};

// The file as it is now, with this run's changes: the values the job set,
// and the entries it added to the log after those another program may have
// added meanwhile.
ConfigurationValues WithRunChanges(const ConfigurationValues& now,
                                   const ConfigurationValues& before,
                                   const ConfigurationValues& after) {
  ConfigurationValues merged = now;
  for (const std::string& name : ConfigFieldNames()) {
    const QString was = ConfigValue(before, name);
    const QString is = ConfigValue(after, name);
    if (is == was) continue;
    const bool appended = name == "log" && is.startsWith(was);
    SetConfigValue(merged, name, appended ? ConfigValue(now, name) + is.mid(was.size()) : is);
  }
  return merged;
}

}  // namespace

int RunCommand(Arguments& args, Streams& io) {
  const std::string path = args.Next("CONFIG");
  const std::string mode = args.Next("encode or decode");
  const bool yes = args.Flag("yes");
  args.Done();
  if (mode != "encode" && mode != "decode") UsageFail("the mode must be encode or decode");

  const ConfigurationValues before = LoadConfigurationOrFail(path);
  ConfigurationValues values = before;
  ConfigurationJob window(values, QFileInfo(QString::fromStdString(path)).absoluteFilePath());
  JobResult result;
  {
    TextSeams seams(io, yes);
    result = EngineJob(window, mode == "encode" ? JobMode::Encode : JobMode::Decode);
  }
  // The engine may have run for long: the file is read again for the save.
  if (values.log != before.log) {
    UpdateConfigurationOrFail(path, [&](std::optional<ConfigurationValues> now) {
      return now ? WithRunChanges(*now, before, values) : values;
    });
  }
  if (result.ok) return kOk;
  return result.errorNumber > 0 && result.errorNumber < 256 ? result.errorNumber : kFailed;
}

}  // namespace rux::cli
