#pragma once
// The configuration file: the main window's 22 values, in a fixed order, with
// no header. Texts are archive strings: a length, then the characters in
// Windows-1252; a text holding a character Windows-1252 cannot hold is stored
// as UTF-16LE behind the marker 0xFF 0xFFFE. The Master Key number is a 32-bit
// little-endian integer.
//
// Qt Core only: no window code depends on this file's callers.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <array>
#include <optional>

namespace rux {

struct ConfigurationValues {
  QString keyBook;
  QString sourceFile;
  QString targetFile;
  QString verifyFile;
  qint32 keyNumber = 0;
  QString masterKeyName;
  std::array<QString, 14> params;
  QString log;
  QString enginePath;

  bool operator==(const ConfigurationValues&) const = default;
};

// The file's bytes for the values.
QByteArray ConfigurationBytes(const ConfigurationValues& values);

// The 22 values read in order from the start of the bytes; whatever follows
// the last one is ignored. Nothing when the bytes end before all 22 values,
// that is when a value is cut or a length is larger than what follows it. A
// length is checked against the bytes that remain before anything is
// allocated for it.
std::optional<ConfigurationValues> ParseConfiguration(QByteArrayView bytes);

// One archive string on its own (the form every text of the file takes).
QByteArray ArchiveString(const QString& text);

}  // namespace rux
