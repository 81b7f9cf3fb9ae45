// "Save" and "Browse" beside "CONFIGURATION:", and the save offered at exit.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QComboBox>
#include <QTest>
#include <csignal>
#include <filesystem>
#include <random>

#include "app/about_dlg.h"
#include "app/config/configuration.h"
#include "keys_window_fixture.h"

namespace rux::test {
namespace {

QString NotAccessible(const std::string& path) {
  return "ERROR: The file: " + QString::fromStdString(path) +
         "\nis not accessible, access is denied.";
}

QString UnexpectedFormat(const std::string& path) {
  return "ERROR: The file: " + QString::fromStdString(path) + "\nUnexpected file format.";
}

unsigned PermissionsOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0);
  return info.st_mode & 0777;
}

// Files written by this process may grow to limit bytes at most; a write
// beyond fails as on a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t limit) {
    getrlimit(RLIMIT_FSIZE, &old_);
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lowered = old_;
    lowered.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &lowered);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldHandler_);
  }

 private:
  rlimit old_{};
  void (*oldHandler_)(int) = nullptr;
};

class Configuration : public MainWindowTest {
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
    window.UpdateData(false);
    for (int n = 1; n <= 14; ++n) {
      if (n != 11 && n != 14) QTest::keyClicks(window.ParamField(n), QString("p%1").arg(n));
    }
    window.m_strParam[10] = "eleven \u03a9";
    window.AppendLog("line one\n");
    QTest::keyClicks(window.LogPanel(), "typed");
    prompts.Clear();
  }
};

TEST_F(Configuration, SavingRightAfterStartUpWritesThirtyThreeBytes) {
  const std::string file = dir.File("start.cfg");
  Save(file);

  QByteArray expected(24, '\0');
  expected += '\x08';
  expected += "rux4.exe";
  EXPECT_EQ(QByteArray::fromStdString(ReadBytes(file)), expected);
  EXPECT_TRUE(prompts.MessageTexts().isEmpty());
  ASSERT_EQ(prompts.All().size(), 1u);
  EXPECT_EQ(prompts.All()[0].picker, PickerKind::Save);
  EXPECT_EQ(prompts.All()[0].initialName, "*.*");
  EXPECT_TRUE(prompts.All()[0].overwritePrompt);
  EXPECT_EQ(window.m_strConfigFile, QString::fromStdString(file));
}

TEST_F(Configuration, SavedThenLoadedGivesBackAllValuesButNotTheRecordTexts) {
  FillEverything();
  const ConfigurationValues before = Stored();
  EXPECT_EQ(before.log, "line one\ntyped");
  EXPECT_EQ(before.keyNumber, 2);
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
  EXPECT_EQ(other.ParamField(1)->text(), "p1");
  EXPECT_EQ(ListEntries(other.MasterKeyCombo()), QStringList({"alpha", "beta"}));
  EXPECT_EQ(other.MasterKeyCombo()->currentText(), "beta");
  EXPECT_EQ(prompts.MessageTexts(), QStringList({"line one\ntyped"}));
  EXPECT_EQ(prompts.Captions(), QStringList({"LOG"}));
  EXPECT_EQ(prompts.All()[1].initialName, "elsewhere");
}

TEST_F(Configuration, CancelledLoadStillRefillsTheList) {
  prompts.CancelPick();
  window.LoadConfiguration();
  EXPECT_EQ(prompts.MessageTexts(), QStringList({"No Master Key present."}));
  EXPECT_EQ(prompts.Captions(), QStringList({"ERROR"}));

  const std::string book = MakeBook(dir, {"alpha"});
  window.m_strKeyBook = QString::fromStdString(book);
  prompts.Clear();
  prompts.CancelPick();
  window.LoadConfiguration();
  EXPECT_TRUE(prompts.MessageTexts().isEmpty());
  EXPECT_EQ(ListEntries(Combo()), QStringList({"alpha"}));
}

TEST_F(Configuration, ACancelledSavePickerLeavesStarDotStarForTheNextOne) {
  prompts.CancelPick();
  window.SaveConfiguration();
  EXPECT_EQ(window.m_strConfigFile, "*.*");

  prompts.CancelPick();
  window.SaveConfiguration();
  const std::string file = dir.File("next.cfg");
  Save(file);
  prompts.CancelPick();
  window.LoadConfiguration();

  ASSERT_EQ(prompts.All().size(), 5u);
  EXPECT_EQ(prompts.All()[1].initialName, "*.*");
  EXPECT_EQ(prompts.All()[2].initialName, "*.*");
  EXPECT_EQ(prompts.All()[3].initialName, QString::fromStdString(file));
  EXPECT_EQ(prompts.All()[3].picker, PickerKind::Open);
}

TEST_F(Configuration, ACreatedFileIsForItsOwnerOnlyAndAnExistingOneKeepsItsPermissions) {
  const std::string created = dir.File("new.cfg");
  Save(created);
  EXPECT_EQ(PermissionsOf(created), 0600u);

  const std::string existing = dir.File("shared.cfg");
  WriteBytes(existing, "old");
  ::chmod(existing.c_str(), 0640);
  Save(existing);
  EXPECT_EQ(PermissionsOf(existing), 0640u);
  EXPECT_EQ(ReadBytes(existing).size(), 33u);
}

TEST_F(Configuration, AWriteThatFailsPartWayLeavesTheOldFileWhole) {
  const std::string file = dir.File("keep.cfg");
  Save(file);
  const std::string old = ReadBytes(file);
  window.AppendLog(QString(100000, 'x'));
  {
    FileSizeLimit limit(4096);
    Save(file);
  }
  EXPECT_EQ(ReadBytes(file), old);
  EXPECT_EQ(prompts.MessageTexts(), QStringList({NotAccessible(file)}));
  EXPECT_EQ(prompts.Captions(), QStringList({"ERROR"}));
}

TEST_F(Configuration, AFileTheUserMayNotWriteIsNotReplaced) {
  if (::geteuid() == 0) GTEST_SKIP() << "the superuser may write any file";
  const std::string file = dir.File("read-only.cfg");
  WriteBytes(file, "old");
  ::chmod(file.c_str(), 0444);
  Save(file);
  EXPECT_EQ(ReadBytes(file), "old");
  EXPECT_EQ(prompts.MessageTexts(), QStringList({NotAccessible(file)}));
}

TEST_F(Configuration, AFileThatCannotBeCreatedIsReported) {
  const std::string file = dir.File("no-such-folder/x.cfg");
  Save(file);
  EXPECT_EQ(prompts.MessageTexts(), QStringList({NotAccessible(file)}));
  EXPECT_FALSE(Exists(file));
}

TEST_F(Configuration, AFileThatCannotBeReadIsReportedAndTheListIsNotRefilled) {
  for (const std::string& path : {dir.File("missing.cfg"), dir.Path()}) {
    prompts.Clear();
    Load(path);
    EXPECT_EQ(prompts.MessageTexts(), QStringList({NotAccessible(path)}));
    EXPECT_EQ(window.m_strConfigFile, QString::fromStdString(path));
  }
}

// Files that are not a whole configuration: the message, and nothing changes.
class DamagedConfiguration : public Configuration {
 protected:
  void ExpectRefused(const std::string& bytes, const std::string& what) {
    const std::string file = dir.File("damaged.cfg");
    WriteBytes(file, bytes);
    const ConfigurationValues before = Stored();
    const QStringList listBefore = ListEntries(Combo());
    const QString comboBefore = Combo()->currentText();
    prompts.Clear();
    Load(file);
    EXPECT_EQ(prompts.MessageTexts(), QStringList({UnexpectedFormat(file)})) << what;
    EXPECT_EQ(prompts.Captions(), QStringList({"ERROR"})) << what;
    EXPECT_TRUE(Stored() == before) << what;
    EXPECT_EQ(ListEntries(Combo()), listBefore) << what;
    EXPECT_EQ(Combo()->currentText(), comboBefore) << what;
    EXPECT_EQ(window.LogPanel()->toPlainText(), before.log) << what;
  }
};

TEST_F(DamagedConfiguration, EmptyOrCutShortInAnyValue) {
  FillEverything();
  ExpectRefused("", "empty");

  // A file whose values all differ from the window's, cut inside each value.
  ConfigurationValues other;
  other.keyBook = "/other/book";
  other.sourceFile = "s";
  other.targetFile = "t";
  other.verifyFile = "v";
  other.keyNumber = 77;
  other.masterKeyName = "n";
  for (QString& param : other.params) param = "q";
  other.log = "other log";
  other.enginePath = "e";
  const QByteArray whole = ConfigurationBytes(other);
  // Every value but the number is a one-byte length and its text: value v
  // (1-based) ends at the offsets below.
  const int ends[22] = {12, 14, 16, 18, 22, 24, 26, 28, 30, 32, 34,
                        36, 38, 40, 42, 44, 46, 48, 50, 52, 62, 64};
  ASSERT_EQ(whole.size(), 64);
  for (int v = 0; v < 22; ++v) {
    ExpectRefused(whole.left(ends[v] - 1).toStdString(), "cut in value " + std::to_string(v + 1));
  }
}

TEST_F(DamagedConfiguration, LengthsBeyondTheEnd) {
  FillEverything();
  ExpectRefused(std::string("\xC8", 1) + std::string(40, '\0'), "one-byte length");
  ExpectRefused(std::string("\xFF\xFF\xFF\xF0\xFF\xFF\x7F", 7) + std::string(40, '\0'),
                "32-bit length");
  ExpectRefused(std::string("\xFF\xFE\xFF\x0A", 4) + std::string(19, 'a'),
                "16-bit form with an odd number of bytes");
}

TEST_F(DamagedConfiguration, AHundredMegabytesOfGarbage) {
  FillEverything();
  std::mt19937 random(7);
  std::string garbage(100 * 1024 * 1024, '\0');
  for (char& byte : garbage) byte = static_cast<char>(random());
  ExpectRefused(garbage, "garbage");
}

// Not read into memory at all: a file past a gigabyte is no configuration.
TEST_F(DamagedConfiguration, AFileOfMoreThanAGigabyte) {
  FillEverything();
  const std::string file = dir.File("huge.cfg");
  WriteBytes(file, std::string(ConfigurationBytes(Stored()).toStdString()));
  std::filesystem::resize_file(file, (std::uintmax_t(1) << 30) + 1);  // sparse
  prompts.Clear();
  Load(file);
  EXPECT_EQ(prompts.MessageTexts(), QStringList({UnexpectedFormat(file)}));
}

TEST_F(Configuration, CancelAtExitOffersTheSaveThenShowsTheAboutBox) {
  window.AppendLog("kept at exit");
  const std::string file = dir.File("exit.cfg");
  prompts.Answer(Answer::Cancel).Pick(QString::fromStdString(file));
  modal.Then<CAboutDlg>([](CAboutDlg& about) { about.accept(); });
  window.reject();

  EXPECT_EQ(prompts.Captions(), QStringList({"RUX EXIT"}));
  const auto read = ParseConfiguration(QByteArray::fromStdString(ReadBytes(file)));
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->log, "kept at exit");
  EXPECT_EQ(window.ModalResult(), Dialog::IDCANCEL);
}

}  // namespace
}  // namespace rux::test
