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

class ConfigCommands : public CliTest {
 protected:
  std::string file = dir.File("job.cfg");
};

// The main window as the user finds it after start-up.
class StartedMainWindow : public CShellruxDlg {
 public:
  StartedMainWindow() { OnInitDialog(); }
};

ConfigurationValues Example() {
  ConfigurationValues values;
  values.keyBook = "/books/año.dat";
  values.sourceFile = "a.txt";
  values.targetFile = "b.dat";
  values.keyNumber = -7;
  values.masterKeyName = "Ana";
  values.params[0] = "p1";
  values.params[13] = "Ω";  // outside Windows-1252: stored as 16-bit characters
  values.log = "line one\nline two\n";
  values.enginePath = "rux4.exe";
  return values;
}

TEST_F(ConfigCommands, ShowNamesEachValueAsTheMainWindowsField) {
  WriteBytes(file, ConfigurationBytes(Example()).toStdString());
  std::string expected =
      "keybook=/books/año.dat\nsource=a.txt\ntarget=b.dat\nverify=\nnumber=-7\nname=Ana\n"
      "param1=p1\n";
  for (int n = 2; n <= 13; ++n) expected += "param" + std::to_string(n) + "=\n";
  expected += "param14=Ω\nlog=line one\n\tline two\n\t\nengine=rux4.exe\n";
  const CliResult text = RunCli({"config", "show", file});
  EXPECT_EQ(text.status, 0);
  EXPECT_EQ(text.out, expected);

  const CliResult json = RunCli({"config", "show", file, "--json"});
  EXPECT_EQ(json.status, 0);
  const QJsonObject object = QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).object();
  EXPECT_EQ(object.size(), 22);
  EXPECT_EQ(object["number"].toInt(), -7);
  EXPECT_EQ(object["keybook"].toString(), "/books/año.dat");
  EXPECT_EQ(object["log"].toString(), "line one\nline two\n");
  EXPECT_EQ(object["param14"].toString(), "Ω");
}

TEST_F(ConfigCommands, SetOnANewFileWritesWhatTheMainWindowSavesAfterStartUp) {
  const CliResult set = RunCli({"config", "set", file, "keybook=/books/año.dat", "number=3",
                                "source=a.txt", "param14=Ω", "log=-"},
                               "line one\nline two\n");
  EXPECT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(set.out + set.err, "");
  struct stat info {};
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  const std::string saved = dir.File("window.cfg");
  ScriptedPrompts prompts;
  StartedMainWindow window;
  window.m_strKeyBook = "/books/año.dat";
  window.m_nKeyNumber = 3;
  window.m_strSourceFile = "a.txt";
  window.m_strParam[13] = "Ω";
  window.m_strLog = "line one\nline two\n";
  window.UpdateData(false);
  prompts.Pick(QString::fromStdString(saved));
  window.SaveConfiguration();
  EXPECT_EQ(ReadBytes(file), ReadBytes(saved));
}

TEST_F(ConfigCommands, SetChangesTheNamedValuesAndKeepsTheOthers) {
  WriteBytes(file, ConfigurationBytes(Example()).toStdString());
  EXPECT_EQ(RunCli({"config", "set", file, "target=c.dat", "param1=", "number=12"}).status, 0);
  ConfigurationValues expected = Example();
  expected.targetFile = "c.dat";
  expected.params[0] = "";
  expected.keyNumber = 12;
  EXPECT_EQ(ReadBytes(file), ConfigurationBytes(expected).toStdString());

  // The log from standard input, taken as it comes.
  EXPECT_EQ(RunCli({"config", "set", file, "log=-"}, "").status, 0);
  expected.log = "";
  EXPECT_EQ(ReadBytes(file), ConfigurationBytes(expected).toStdString());
}

}  // namespace
}  // namespace rux::test
