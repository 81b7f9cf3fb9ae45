// The configuration file's bytes: archive strings in their short and 16-bit
// forms, the number, the refusal of a file cut short and the bytes after the
// last value left alone. The committed
// fuzzing corpus holds the other forms of lengths, read and refused.
#include <gtest/gtest.h>

#include "app/config/configuration.h"

namespace rux {
namespace {

QByteArray Bytes(std::initializer_list<int> values) {
  QByteArray out;
  for (int v : values) out += static_cast<char>(v);
  return out;
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

TEST(ConfigurationBytes, StringFormsAndTheNumber) {
  const struct {
    QString text;
    QByteArray start;
    qsizetype size;
  } cases[] = {
      {QString(254, 'a'), Bytes({0xFE}), 255},
      {QString(255, 'a'), Bytes({0xFF, 0xFF, 0x00}), 258},
      {QString(65533, 'a'), Bytes({0xFF, 0xFD, 0xFF}), 3 + 65533},
      {QString(65534, 'a'), Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}), 7 + 65534},
      {"DON\u00b4T \u20ac", Bytes({7, 'D', 'O', 'N', 0xB4, 'T', ' ', 0x80}), 8},
      {QString::fromLatin1("a\0b", 3), Bytes({3, 'a', 0, 'b'}), 4},
      // Text Windows-1252 cannot hold: UTF-16LE, the length counted in units.
      {"a\u03a9", Bytes({0xFF, 0xFE, 0xFF, 2, 'a', 0, 0xA9, 0x03}), 8},
      {"\U0001F511", Bytes({0xFF, 0xFE, 0xFF, 2, 0x3D, 0xD8, 0x11, 0xDD}), 8},
      {QString(299, 'a') + "\u03a9", Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0x2C, 0x01}), 6 + 600},
  };
  for (const auto& c : cases) {
    const QByteArray bytes = ArchiveString(c.text);
    EXPECT_TRUE(bytes.startsWith(c.start)) << c.text.left(20).toStdString();
    EXPECT_EQ(bytes.size(), c.size) << c.text.left(20).toStdString();
  }
  ConfigurationValues values;
  values.keyNumber = -2;  // 32-bit little-endian, after the four paths
  EXPECT_EQ(ConfigurationBytes(values).mid(4, 4), Bytes({0xFE, 0xFF, 0xFF, 0xFF}));
}

TEST(ConfigurationRead, SavedValuesReadBackTheSameWithNothingLost) {
  ConfigurationValues odd;
  odd.log = QString(70000, 'x') + "\u4e2d\U0001F511";  // 32-bit length, 16-bit form
  odd.params[0] = QString(QChar(0xD800)) + "lone";     // a broken pair stays as it was
  odd.params[1] = QString(QChar(0xFFFD));
  odd.masterKeyName = QString(1, QChar(0x81));  // a byte Windows-1252 leaves undefined
  for (const ConfigurationValues& values : {FullValues(), ConfigurationValues{}, odd}) {
    const std::optional<ConfigurationValues> read = ParseConfiguration(ConfigurationBytes(values));
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, values);
  }
}

// Only a file that ends before all 22 values is refused; what follows the
// last value is ignored.
TEST(ConfigurationRead, AFileCutShortIsRefusedAndBytesAfterTheLastValueIgnored) {
  const QByteArray whole = ConfigurationBytes(FullValues());
  for (qsizetype cut = 0; cut < whole.size(); ++cut)
    EXPECT_FALSE(ParseConfiguration(whole.left(cut))) << "cut at " << cut;
  for (const QByteArray& tail : {QByteArray(1, '\0'), QByteArray("\xFF\xFF\xFF\xFF", 4), whole})
    EXPECT_EQ(ParseConfiguration(whole + tail), FullValues());
}

}  // namespace
}  // namespace rux
