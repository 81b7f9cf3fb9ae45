// "Save" and "Browse" beside "CONFIGURATION:": the file written, read back,
// and the files refused.
#include <sys/resource.h>
#include <sys/stat.h>
#include <QTest>
#include <csignal>
#include <filesystem>

#include "app/config/configuration.h"
#include "app_fixture.h"

namespace rux::test {
namespace {

QString FileError(const std::string& path, const char* what) {
  return "ERROR: The file: " + QString::fromStdString(path) + "\n" + what;
}
const char* const kNotAccessible = "is not accessible, access is denied.";

unsigned PermissionsOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0);
  return info.st_mode & 0777;
}

class Configuration : public AppTest {
 protected:
  void Save(const std::string& path) {
    prompts.Pick(QString::fromStdString(path));
    window.SaveConfiguration();
  }
  void Load(const std::string& path) {
    prompts.Pick(QString::fromStdString(path));
    window.LoadConfiguration();
  }
  ConfigurationValues Stored() {
    ConfigurationValues values;
    window.Serialize(values, true);
    return values;
  }
  // Fills every kept field as a user would.
  void FillEverything() {
    ChooseBook(MakeBook(dir, {"alpha", "beta"}));
    PickEntry(Combo(), 1);
    window.m_strSourceFile = "/data/plano.txt";
    window.m_strTargetFile = "/data/cifrado.rux";
    window.m_strVerifyFile = "/data/verifica";
    window.m_strParam[10] = "eleven \u03a9";
    window.AppendLog("line one\n");
    QTest::keyClicks(window.LogPanel(), "typed");  // read with the next keystroke in a field
    for (int n : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 13})
      QTest::keyClicks(window.ParamField(n), QString("p%1").arg(n));
    prompts.Clear();
  }
};

TEST_F(Configuration, SavingRightAfterStartUpWritesThirtyThreeBytes) {
  const std::string file = dir.File("start.cfg");
  Save(file);
  EXPECT_EQ(ReadBytes(file), std::string(24, '\0') + "\x08rux4.exe");
  EXPECT_EQ(PermissionsOf(file), 0600u);  // it may hold keys copied into the log
  ASSERT_EQ(prompts.All().size(), 1u);    // the picker, no message
  EXPECT_EQ(prompts.All()[0].picker, PickerKind::Save);
  EXPECT_EQ(prompts.All()[0].initialName, "*.*");
  EXPECT_TRUE(prompts.All()[0].overwritePrompt);
  EXPECT_EQ(window.m_strConfigFile, QString::fromStdString(file));
}

TEST_F(Configuration, SavedThenLoadedGivesBackAllValuesButNotTheRecordTexts) {
  FillEverything();
  const ConfigurationValues before = Stored();
  EXPECT_EQ(before.log, "line one\ntyped");
  const std::string file = dir.File("all.cfg");
  Save(file);

  StartedMainWindow other;
  other.m_strConfigFile = "elsewhere";
  prompts.Pick(QString::fromStdString(file));
  other.LoadConfiguration();
  ConfigurationValues after;
  other.Serialize(after, true);
  EXPECT_EQ(after, before);
  EXPECT_EQ(other.m_strKey[0], "");  // the record texts come with the next read
  EXPECT_EQ(other.LogPanel()->toPlainText(), "line one\ntyped");
  QTest::keyClicks(other.LogPanel(), " dropped");  // the same log loaded again replaces it
  prompts.Pick(QString::fromStdString(file));
  other.LoadConfiguration();
  EXPECT_EQ(other.LogPanel()->toPlainText(), "line one\ntyped");
  EXPECT_EQ(other.ParamField(1)->text(), "p1");
  EXPECT_EQ(ListEntries(other.MasterKeyCombo()), QStringList({"alpha", "beta"}));
  EXPECT_EQ(other.MasterKeyCombo()->currentText(), "beta");
  EXPECT_EQ(prompts.MessageTexts(), QStringList(2, "line one\ntyped"));
  EXPECT_EQ(prompts.Captions(), QStringList(2, "LOG"));
  EXPECT_EQ(prompts.All()[1].initialName, "elsewhere");
}

TEST_F(Configuration, CancelledPickersLeaveStarDotStarAndALoadStillRefillsTheList) {
  prompts.CancelPick().CancelPick();
  window.SaveConfiguration();
  window.SaveConfiguration();
  EXPECT_EQ(window.m_strConfigFile, "*.*");
  EXPECT_EQ(prompts.All()[1].initialName, "*.*");
  prompts.CancelPick();
  window.LoadConfiguration();  // no Key Book
  EXPECT_EQ(prompts.MessageTexts(), QStringList({"No Master Key present."}));
  EXPECT_EQ(prompts.Captions(), QStringList({"ERROR"}));

  window.m_strKeyBook = QString::fromStdString(MakeBook(dir, {"alpha"}));
  prompts.Clear();
  prompts.CancelPick();
  window.LoadConfiguration();
  EXPECT_TRUE(prompts.MessageTexts().isEmpty());
  EXPECT_EQ(ListEntries(Combo()), QStringList({"alpha"}));
}

TEST_F(Configuration, AFailedWriteIsReportedAndLeavesTheOldFileWhole) {
  const std::string file = dir.File("keep.cfg");
  WriteBytes(file, "old");
  ::chmod(file.c_str(), 0640);
  Save(file);
  EXPECT_EQ(PermissionsOf(file), 0600u);  // owner-only after every save
  const std::string old = ReadBytes(file);
  ASSERT_EQ(old.size(), 33u);
  window.AppendLog(QString(100000, 'x'));
  rlimit saved{};  // the write fails part-way, as on a full disk
  getrlimit(RLIMIT_FSIZE, &saved);
  const rlimit lowered{4096, saved.rlim_max};
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &lowered);
  Save(file);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(ReadBytes(file), old);
  const std::string noFolder = dir.File("no-such-folder/x.cfg");
  Save(noFolder);
  EXPECT_EQ(prompts.MessageTexts(),
            QStringList({FileError(file, kNotAccessible), FileError(noFolder, kNotAccessible)}));
  EXPECT_EQ(prompts.Captions(), QStringList({"ERROR", "ERROR"}));
}

// No text is ever cut: a parameter of 40,000 characters loaded from a file is
// saved back byte for byte, and reaches the engine and the log whole.
TEST_F(Configuration, ALongParameterGoesThroughLoadSaveAndJobWhole) {
  ConfigurationValues values;
  values.keyBook = "books.dat";
  values.keyNumber = 3;
  values.sourceFile = "a.txt";
  values.targetFile = "b.dat";
  values.params[0] = QString("0123456789").repeated(4000);
  values.enginePath = FAKE_ENGINE_PATH;
  const std::string file = dir.File("long.cfg");
  const std::string again = dir.File("again.cfg");
  WriteBytes(file, ConfigurationBytes(values).toStdString());
  Load(file);
  Save(again);
  EXPECT_EQ(ReadBytes(again), ReadBytes(file));
  Run("encode");
  ASSERT_EQ(Runs().size(), 1u);
  EXPECT_EQ(Runs()[0].at(6), values.params[0].toStdString());
  EXPECT_TRUE(window.m_strLog.contains("\nParameter 1: " + values.params[0] + "\n"));
}

// A file that cannot be read or is not a whole configuration: the message,
// and nothing changes, the Master Key list included.
TEST_F(Configuration, AFileRefusedChangesNothing) {
  FillEverything();
  const ConfigurationValues before = Stored();
  const auto expectRefused = [&](const std::string& path, const char* what) {
    prompts.Clear();
    Load(path);
    EXPECT_EQ(prompts.MessageTexts(), QStringList({FileError(path, what)}));
    EXPECT_EQ(prompts.Captions(), QStringList({"ERROR"}));
    EXPECT_TRUE(Stored() == before);
    EXPECT_EQ(ListEntries(Combo()), QStringList({"alpha", "beta"}));
    EXPECT_EQ(Combo()->currentText(), "beta");
    EXPECT_EQ(window.LogPanel()->toPlainText(), before.log);
  };
  ConfigurationValues other;  // every value differs from the window's
  other.keyBook = "/other/book";
  other.keyNumber = 77;
  other.params.fill("q");
  other.log = "other log";
  const std::string whole = ConfigurationBytes(other).toStdString();
  const std::string damaged[] = {
      "",
      whole.substr(0, 17),                // cut in the number
      whole.substr(0, whole.size() - 1),  // cut in the last value
      "\xC8" + std::string(40, '\0'),     // a length beyond the end
      std::string("\xFF\xFF\xFF\xF0\xFF\xFF\x7F", 7) + std::string(40, '\0'),
      std::string("\xFF\xFE\xFF\x0A", 4) + std::string(19, 'a'),  // odd 16-bit bytes
  };
  const std::string file = dir.File("damaged.cfg");
  for (const std::string& bytes : damaged) {
    SCOPED_TRACE(bytes.substr(0, 8));
    WriteBytes(file, bytes);
    expectRefused(file, "Unexpected file format.");
  }
  // Not read into memory at all: a file past a gigabyte is no configuration.
  WriteBytes(file, whole);
  std::filesystem::resize_file(file, (std::uintmax_t(1) << 30) + 1);  // sparse
  expectRefused(file, "Unexpected file format.");
  for (const std::string& path : {dir.File("missing.cfg"), dir.Path()})
    expectRefused(path, kNotAccessible);
}

}  // namespace
}  // namespace rux::test
