// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The shell_rux developers
// The configuration file: its bytes, and "Save" and "Browse" beside "CONFIGURATION:".

#include "app/config/configuration.h"
#include "app_fixture.h"
#include "config_check.h"

namespace rux::test {
namespace {

// Every value set, each different, some in the 16-bit form.
ConfigurationValues FullValues() {
  ConfigurationValues values{
      "/a/libro.dat", "/a/plano.txt", "/a/cifrado.rux", "/a/verifica", -7, "cl\u00e9", {}, "",
      "/opt/rux4.exe"};
  for (int i = 0; i < 14; ++i) values.params[i] = QString("param %1").arg(i + 1);
  values.params[4] = "\u03a9 omega";
  values.log = QString(300, 'L') + "\nDON\u00b4T \u20ac";
  return values;
}

TEST(ConfigurationBytes, StringFormsAndTheNumber) {
  const struct {
    QString text;
    QByteArray start;
    qsizetype size;
  } cases[] = {
      {QString(254, 'a'), QByteArray::fromHex("fe"), 255},
      {QString(255, 'a'), QByteArray::fromHex("ffff00"), 258},
      {QString(65533, 'a'), QByteArray::fromHex("fffdff"), 3 + 65533},
      {QString(65534, 'a'), QByteArray::fromHex("fffffffeff0000"), 7 + 65534},
      {"DON\u00b4T \u20ac", QByteArray::fromHex("07444f4eb4542080"), 8},
      {QString::fromLatin1("a\0b", 3), QByteArray::fromHex("03610062"), 4},
      // Text Windows-1252 cannot hold: UTF-16LE, the length counted in units.
      {"a\u03a9", QByteArray::fromHex("fffeff026100a903"), 8},
      {"\U0001F511", QByteArray::fromHex("fffeff023dd811dd"), 8},
      {QString(299, 'a') + "\u03a9", QByteArray::fromHex("fffeffff2c01"), 6 + 600},
  };
  for (const auto& c : cases) {
    const QByteArray bytes = ArchiveString(c.text);
    EXPECT_TRUE(bytes.startsWith(c.start)) << c.text.left(20).toStdString();
    EXPECT_EQ(bytes.size(), c.size) << c.text.left(20).toStdString();
  }
  ConfigurationValues values;
  values.keyNumber = -2;  // 32-bit little-endian, after the four paths
  EXPECT_EQ(ConfigurationBytes(values).mid(4, 4), QByteArray::fromHex("feffffff"));
}

// Values read back as written; a file cut short is refused, what follows the 22nd value is
// ignored; the fuzzing corpus passes the fuzzer's checks and only its whole files are read.
TEST(ConfigurationBytes, ReadBackWholeOrRefusedWhenCutShort) {
  ConfigurationValues odd;
  odd.log = QString(70000, 'x') + "\u4e2d\U0001F511";  // 32-bit length, 16-bit form
  odd.params[0] = QString(QChar(0xD800)) + "lone";     // a broken pair stays as it was
  odd.params[1] = QString(QChar(0xFFFD));
  odd.masterKeyName = QString(1, QChar(0x81));  // a byte Windows-1252 leaves undefined
  for (const ConfigurationValues& values : {FullValues(), ConfigurationValues{}, odd})
    EXPECT_EQ(ParseConfiguration(ConfigurationBytes(values)), values);
  const QByteArray whole = ConfigurationBytes(FullValues());
  for (qsizetype cut = 0; cut < whole.size(); ++cut)
    EXPECT_FALSE(ParseConfiguration(whole.left(cut))) << "cut at " << cut;
  for (const QByteArray& tail : {QByteArray(1, '\0'), QByteArray("\xFF\xFF\xFF\xFF", 4), whole})
    EXPECT_EQ(ParseConfiguration(whole + tail), FullValues());
  ConfigurationValues longForm;  // a length in the 64-bit form is read too
  longForm.keyBook = "abc";
  const QByteArray length64("\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x03\0\0\0\0\0\0\0abc", 18);
  EXPECT_EQ(ParseConfiguration(length64 + ConfigurationBytes({}).mid(1)), longForm);
  QStringList read;
  for (const auto& entry :
       std::filesystem::directory_iterator(std::string(TEST_DATA_DIR) + "/config-fuzz-corpus")) {
    const std::string bytes = ReadBytes(entry.path().string());
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    EXPECT_EQ(fuzz::CheckConfigurationBytes(data, bytes.size()), "") << entry.path();
    if (ParseConfiguration(QByteArrayView(data, bytes.size())))
      read << QString::fromStdString(entry.path().filename());
  }
  read.sort();
  EXPECT_EQ(read.join(' '),
            "cp1252-high full length-64bit nested-marker startup trailing-byte wide-name");
}

QString FileError(const std::string& path, const char* what) {
  return "ERROR: ERROR: The file: " + QString::fromStdString(path) + "\n" + what;
}
const char* const kNotAccessible = "is not accessible, access is denied.";
const char* const kUnexpected = "Unexpected file format.";

class Configuration : public AppTest {
 protected:
  void Save(const std::string& path) {
    prompts.Pick(QString::fromStdString(path));
    Press("configSave");
  }
  ConfigurationValues Stored(CShellruxDlg& from) {
    ConfigurationValues values;
    from.Serialize(values, true);
    return values;
  }
};

// Cancelled pickers keep "*.*"; a save right after start-up writes 33 bytes; a cancelled load
// still refills the Master Key list, or asks for a book.
TEST_F(Configuration, SavingAfterStartUpWritesTheBytes) {
  const std::string file = dir.File("start.cfg");
  WriteBytes(file, "old");
  prompts.CancelPick().CancelPick();
  Press("configSave");
  Press("configBrowse");
  EXPECT_EQ(window.m_strConfigFile, "*.*");
  Save(file);
  EXPECT_EQ(ReadBytes(file), std::string(24, '\0') + "\x08rux4.exe");
  EXPECT_EQ(window.m_strConfigFile, QString::fromStdString(file));
  for (int i : {0, 1, 3}) {
    EXPECT_EQ(prompts.All()[i].initialName, "*.*");
    EXPECT_EQ(prompts.All()[i].picker, i == 1 ? PickerKind::Open : PickerKind::Save);
    EXPECT_EQ(prompts.All()[i].overwritePrompt, i != 1);
  }
  window.m_strKeyBook = QString::fromStdString(Book({"alpha"}));
  prompts.CancelPick();
  Press("configBrowse");
  EXPECT_EQ(Entries(Combo()), QStringList({"alpha"}));
  EXPECT_EQ(prompts.Boxes(), QStringList({"ERROR: No Master Key present."}));
}

// All 22 values come back whole and replace what was typed into the log, the record texts
// not; a file that cannot be read or is not a whole configuration changes nothing.
TEST_F(Configuration, SavedValuesLoadBackAndAFileRefusedChangesNothing) {
  ChooseBook(Book({"alpha", "beta"}));
  PickEntry(Combo(), 1);
  window.m_strSourceFile = "/data/plano.txt";
  window.m_strTargetFile = "/data/cifrado.rux";
  window.m_strVerifyFile = "/data/verifica";
  window.m_strParam[10] = "eleven \u03a9";
  window.AppendLog("line one\n");
  QTest::keyClicks(window.LogPanel(), "typed");  // read with the next keystroke in a field
  window.ParamField(13)->setText(QString("0123456789").repeated(4000));
  for (int n : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12})
    QTest::keyClicks(window.ParamField(n), QString("p%1").arg(n));
  const ConfigurationValues before = Stored(window);
  EXPECT_EQ(before.log, "line one\ntyped");
  const std::string file = dir.File("all.cfg");
  Save(file);
  StartedMainWindow other;
  other.m_strConfigFile = "elsewhere";
  for (const char* typed : {"", " dropped"}) {  // a load replaces what was typed
    QTest::keyClicks(other.LogPanel(), typed);
    prompts.Pick(QString::fromStdString(file));
    other.LoadConfiguration();
    EXPECT_EQ(other.LogPanel()->toPlainText(), "line one\ntyped");
  }
  EXPECT_EQ(Stored(other), before);
  EXPECT_EQ(other.ParamField(13)->text(), before.params[12]);
  EXPECT_EQ(other.m_strKey[0], "");  // the record texts come with the next read
  EXPECT_EQ(Entries(other.MasterKeyCombo()), QStringList({"alpha", "beta"}));
  EXPECT_EQ(other.MasterKeyCombo()->currentText(), "beta");
  EXPECT_EQ(prompts.All()[2].initialName, "elsewhere");
  EXPECT_EQ(prompts.Boxes(), QStringList(2, "LOG: line one\ntyped"));

  const std::string whole = ConfigurationBytes(FullValues()).toStdString();  // all values differ
  const std::string damaged = dir.File("damaged.cfg");
  const std::pair<std::string, std::string> cases[] = {
      {damaged, whole.substr(0, 55)},  // cut in the number
      {damaged, whole.substr(0, whole.size() - 1)},
      {damaged, "\xC8" + std::string(40, '\0')},  // a length beyond the end
      {damaged, whole},                           // made past a gigabyte below: not even read
      {dir.File("missing.cfg"), ""},
      {dir.Path(), ""},
  };
  for (const auto& [path, bytes] : cases) {
    if (path == damaged) WriteBytes(damaged, bytes);
    if (bytes == whole) std::filesystem::resize_file(damaged, (std::uintmax_t(1) << 30) + 1);
    prompts.Clear();
    prompts.Pick(QString::fromStdString(path));
    other.LoadConfiguration();
    EXPECT_EQ(prompts.Boxes(),
              QStringList({FileError(path, bytes.empty() ? kNotAccessible : kUnexpected)}));
    EXPECT_EQ(Stored(other), before);
    EXPECT_EQ(Entries(other.MasterKeyCombo())
                  << other.MasterKeyCombo()->currentText() << other.LogPanel()->toPlainText(),
              QStringList({"alpha", "beta", "beta", before.log}));
  }
}

}  // namespace
}  // namespace rux::test
