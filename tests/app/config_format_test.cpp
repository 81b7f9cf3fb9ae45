// The configuration file's bytes: the 22 values, archive strings and their
// 16-bit form, and the refusal of anything that is not a whole configuration.
#include <gtest/gtest.h>

#include <random>

#include "app/config/configuration.h"

namespace rux {
namespace {

QByteArray Bytes(std::initializer_list<int> values) {
  QByteArray out;
  for (int v : values) out += static_cast<char>(v);
  return out;
}

ConfigurationValues StartupValues() {
  ConfigurationValues values;
  values.enginePath = "rux4.exe";
  return values;
}

// Every value set, each different, some in the 16-bit form.
ConfigurationValues FullValues() {
  ConfigurationValues values;
  values.keyBook = "/home/ana/libro.dat";
  values.sourceFile = "/home/ana/plano.txt";
  values.targetFile = "/home/ana/cifrado.rux";
  values.verifyFile = "/home/ana/verifica";
  values.keyNumber = -7;
  values.masterKeyName = "cl\u00e9";
  for (int i = 0; i < 14; ++i) values.params[i] = QString("param %1").arg(i + 1);
  values.params[4] = "\u03a9 omega";
  values.log = QString(300, 'L') + "\nDON\u00b4T \u20ac";
  values.enginePath = "/opt/rux/rux4.exe";
  return values;
}

TEST(ConfigurationBytes, StartupStateIsThirtyThreeBytes) {
  QByteArray expected(24, '\0');
  expected += Bytes({8});
  expected += "rux4.exe";
  EXPECT_EQ(ConfigurationBytes(StartupValues()), expected);
  EXPECT_EQ(expected.size(), 33);
}

TEST(ConfigurationBytes, TheNumberIsThirtyTwoBitsLittleEndianAfterTheFourPaths) {
  ConfigurationValues values;
  values.keyNumber = 0x01020304;
  EXPECT_EQ(ConfigurationBytes(values).mid(4, 4), Bytes({4, 3, 2, 1}));
  values.keyNumber = -2;
  EXPECT_EQ(ConfigurationBytes(values).mid(4, 4), Bytes({0xFE, 0xFF, 0xFF, 0xFF}));
}

TEST(ArchiveStrings, LengthPrefixesAtEachBoundary) {
  EXPECT_EQ(ArchiveString(QString(254, 'a')).left(1), Bytes({0xFE}));
  EXPECT_EQ(ArchiveString(QString(254, 'a')).size(), 255);
  EXPECT_EQ(ArchiveString(QString(255, 'a')).left(3), Bytes({0xFF, 0xFF, 0x00}));
  EXPECT_EQ(ArchiveString(QString(255, 'a')).size(), 258);
  EXPECT_EQ(ArchiveString(QString(65533, 'a')).left(3), Bytes({0xFF, 0xFD, 0xFF}));
  EXPECT_EQ(ArchiveString(QString(65534, 'a')).left(7),
            Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}));
  EXPECT_EQ(ArchiveString(QString(65534, 'a')).size(), 7 + 65534);
}

TEST(ArchiveStrings, WindowsLatinTextIsOneBytePerCharacter) {
  EXPECT_EQ(ArchiveString("DON\u00b4T \u20ac"), Bytes({7, 'D', 'O', 'N', 0xB4, 'T', ' ', 0x80}));
  EXPECT_EQ(ArchiveString(QString::fromLatin1("a\0b", 3)), Bytes({3, 'a', 0, 'b'}));
}

TEST(ArchiveStrings, TextWindowsLatinCannotHoldIsStoredInSixteenBitUnits) {
  EXPECT_EQ(ArchiveString("a\u03a9"), Bytes({0xFF, 0xFE, 0xFF, 2, 'a', 0, 0xA9, 0x03}));
  // A character beyond the 16-bit range counts as two units.
  EXPECT_EQ(ArchiveString("\U0001F511"), Bytes({0xFF, 0xFE, 0xFF, 2, 0x3D, 0xD8, 0x11, 0xDD}));
  // The length takes the same forms, counted in units.
  const QByteArray wide300 = ArchiveString(QString(299, 'a') + "\u03a9");
  EXPECT_EQ(wide300.left(6), Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0x2C, 0x01}));
  EXPECT_EQ(wide300.size(), 6 + 600);
}

TEST(ConfigurationRead, SavedValuesReadBackTheSame) {
  for (const ConfigurationValues& values : {StartupValues(), FullValues(), ConfigurationValues{}}) {
    const std::optional<ConfigurationValues> read = ParseConfiguration(ConfigurationBytes(values));
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, values);
  }
}

TEST(ConfigurationRead, NothingTypedIsLost) {
  ConfigurationValues values;
  values.log = QString(70000, 'x') + "\u4e2d\U0001F511";  // 32-bit length, 16-bit form
  values.params[0] = QString(QChar(0xD800)) + "lone";     // a broken pair stays as it was
  values.params[1] = QString(QChar(0xFFFD));
  values.masterKeyName = QString(1, QChar(0x81));  // a byte Windows-1252 leaves undefined
  const std::optional<ConfigurationValues> read = ParseConfiguration(ConfigurationBytes(values));
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(*read, values);
}

TEST(ConfigurationRead, EitherStringFormIsAccepted) {
  QByteArray bytes;
  bytes += Bytes({0xFF, 0xFE, 0xFF, 2, 'o', 0, 'k', 0});  // 16-bit form, short length
  bytes += Bytes({0xFF, 3, 0, 'a', 'b', 'c'});            // 16-bit length, short text
  bytes += Bytes({0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 'x'});    // 32-bit length
  bytes +=
      Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF, 1, 0, 0, 0, 'y', 0});  // 16-bit, 32-bit length
  bytes += Bytes({5, 0, 0, 0});
  bytes += QByteArray(16, '\0');
  bytes += Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 2, 0, 0, 0, 0, 0, 0, 0, 'z', 'z'});
  const std::optional<ConfigurationValues> read = ParseConfiguration(bytes);
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->keyBook, "ok");
  EXPECT_EQ(read->sourceFile, "abc");
  EXPECT_EQ(read->targetFile, "x");
  EXPECT_EQ(read->verifyFile, "y");
  EXPECT_EQ(read->keyNumber, 5);
  EXPECT_EQ(read->enginePath, "zz");
}

// The byte offsets at which each of the 22 values of the bytes starts.
std::vector<qsizetype> ValueStarts(const ConfigurationValues& values) {
  std::vector<qsizetype> starts;
  QByteArray prefix;
  const auto add = [&](const QByteArray& piece) {
    starts.push_back(prefix.size());
    prefix += piece;
  };
  for (const QString* text :
       {&values.keyBook, &values.sourceFile, &values.targetFile, &values.verifyFile}) {
    add(ArchiveString(*text));
  }
  add(QByteArray(4, '\0'));
  add(ArchiveString(values.masterKeyName));
  for (const QString& param : values.params) add(ArchiveString(param));
  add(ArchiveString(values.log));
  add(ArchiveString(values.enginePath));
  EXPECT_EQ(prefix.size(), ConfigurationBytes(values).size());
  return starts;
}

TEST(ConfigurationRead, AFileCutShortAnywhereIsRefused) {
  const ConfigurationValues values = FullValues();
  const QByteArray whole = ConfigurationBytes(values);
  const std::vector<qsizetype> starts = ValueStarts(values);
  ASSERT_EQ(starts.size(), 22u);
  for (std::size_t v = 0; v < starts.size(); ++v) {
    const qsizetype end = v + 1 < starts.size() ? starts[v + 1] : whole.size();
    for (qsizetype cut = starts[v]; cut < end; ++cut) {
      EXPECT_FALSE(ParseConfiguration(whole.left(cut))) << "value " << v + 1 << " cut at " << cut;
    }
  }
  EXPECT_FALSE(ParseConfiguration(QByteArray()));
}

TEST(ConfigurationRead, BytesAfterTheLastValueAreRefused) {
  EXPECT_FALSE(ParseConfiguration(ConfigurationBytes(StartupValues()) + '\0'));
  EXPECT_FALSE(ParseConfiguration(QByteArray(34, '\0')));
}

TEST(ConfigurationRead, LengthsBeyondTheEndAreRefused) {
  QByteArray tail(20, '\0');  // what the other values would need
  EXPECT_FALSE(ParseConfiguration(Bytes({200}) + tail));
  EXPECT_FALSE(ParseConfiguration(Bytes({0xFF, 0xFD, 0xFF}) + tail));
  EXPECT_FALSE(ParseConfiguration(Bytes({0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0xFF}) + tail));
  EXPECT_FALSE(ParseConfiguration(Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                         0xFF, 0xFF, 0xFF, 0xFF, 0x7F}) +
                                  tail));
  // 16-bit form: ten units need twenty bytes; the file holds an odd nineteen.
  EXPECT_FALSE(ParseConfiguration(Bytes({0xFF, 0xFE, 0xFF, 10}) + QByteArray(19, 'a')));
  EXPECT_FALSE(ParseConfiguration(Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                         0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}) +
                                  tail));
}

TEST(ConfigurationRead, AHundredMegabytesOfGarbageIsRefused) {
  std::mt19937 random(20130301);
  QByteArray garbage(100 * 1024 * 1024, Qt::Uninitialized);
  for (char& byte : garbage) byte = static_cast<char>(random());
  EXPECT_FALSE(ParseConfiguration(garbage));
  garbage[0] = static_cast<char>(0xFF);  // a long first length
  garbage[1] = static_cast<char>(0xFF);
  garbage[2] = static_cast<char>(0xFF);
  EXPECT_FALSE(ParseConfiguration(garbage));
}

}  // namespace
}  // namespace rux
