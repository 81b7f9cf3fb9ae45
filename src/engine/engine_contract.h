#pragma once
// What the front end hands the engine: its path and one parameters text of
// 20 items. The keys themselves never go on the command line.
#include <QString>
#include <array>
#include <memory>

namespace rux {

class ChildProcess;

struct EngineItems {
  QString keyBook;
  int keyNumber = 0;
  char mode = 'c';  // 'c' encode, 'd' decode
  QString source;
  QString target;
  QString verify;                  // "0" when unused
  std::array<QString, 14> params;  // "0" when empty, quotes already escaped
};

// The 20 items joined by single blanks, no blank at the end:
// "BOOK" N c|d "SOURCE" "TARGET" "VERIFY" "P1" ... "P14"
// Each quoted item splits back into exactly its text: paths arrive as they
// are, parameters without the backslash escaping each double quote. Only a
// double quote or a trailing backslash makes an item differ from the text in
// quotes (more backslashes, so that neither ends the item early).
QString EngineCommandLine(const EngineItems& items);

struct EngineStart {
  std::unique_ptr<ChildProcess> process;  // none when the engine could not be started
  int error = 0;                          // the operating system's error number then
};

// Starts the engine hidden: file is the engine path in double quotes, the
// parameters text is split into the engine's arguments as the Windows C
// runtime splits a command line. No shell is involved.
EngineStart RunEngine(const QString& file, const QString& parameters);

}  // namespace rux
