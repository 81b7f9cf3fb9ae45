// config show | set: the 22 values by the main window's field names, and the
// bytes the main window's Save writes.
#include <sys/stat.h>
#include <QJsonDocument>
#include <QJsonObject>

#include "app/config/configuration.h"
#include "app/shellrux_dlg.h"
#include "cli_fixture.h"
#include "support/scripted_prompts.h"

namespace rux::test {
namespace {

using ConfigCommands = CliTest;

TEST_F(ConfigCommands, SetChangesTheNamedValuesAndShowNamesEachAsTheMainWindowsField) {
  const std::string file = dir.File("job.cfg");
  ConfigurationValues values;
  values.keyBook = "/books/año.dat";
  values.sourceFile = "a.txt";
  values.keyNumber = -7;
  values.params[0] = "p1";
  values.params[13] = "Ω";  // outside Windows-1252: stored as 16-bit characters
  values.log = "line one\nline two\n";
  values.enginePath = "rux4.exe";
  WriteBytes(file, ConfigurationBytes(values).toStdString());
  EXPECT_EQ(RunCli({"config", "set", file, "target=c.dat", "param1=", "number=12"}).status, 0);

  std::string expected =
      "keybook=/books/año.dat\nsource=a.txt\ntarget=c.dat\nverify=\n"
      "number=12\nname=\n";
  for (int n = 1; n <= 13; ++n) expected += "param" + std::to_string(n) + "=\n";
  expected += "param14=Ω\nlog=line one\n\tline two\n\t\nengine=rux4.exe\n";
  const CliResult text = RunCli({"config", "show", file});
  EXPECT_EQ(text.status, 0);
  EXPECT_EQ(text.out, expected);
  const CliResult json = RunCli({"config", "show", file, "--json"});
  const QJsonObject object = QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).object();
  EXPECT_EQ(object.size(), 22);
  EXPECT_EQ(object["log"].toString(), "line one\nline two\n");
}

// The main window as the user finds it after start-up.
class StartedMainWindow : public CShellruxDlg {
 public:
  StartedMainWindow() { OnInitDialog(); }
};

TEST_F(ConfigCommands, SetOnANewFileWritesWhatTheMainWindowSavesAfterStartUp) {
  const std::string created = dir.File("new.cfg");
  const CliResult set =
      RunCli({"config", "set", created, "keybook=/books/año.dat", "number=3", "param14=Ω", "log=-"},
             "line one\nline two\n");
  EXPECT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(set.out + set.err, "");
  struct stat info {};
  ASSERT_EQ(::stat(created.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  ScriptedPrompts prompts;
  StartedMainWindow window;
  window.m_strKeyBook = "/books/año.dat";
  window.m_nKeyNumber = 3;
  window.m_strParam[13] = "Ω";
  window.m_strLog = "line one\nline two\n";
  window.UpdateData(false);
  prompts.Pick(QString::fromStdString(dir.File("window.cfg")));
  window.SaveConfiguration();
  EXPECT_EQ(ReadBytes(created), ReadBytes(dir.File("window.cfg")));
}

}  // namespace
}  // namespace rux::test
