#include "engine/engine_contract.h"

#include <cerrno>

#include "platform/seams/child_process.h"

namespace rux {

namespace {

// One item in double quotes that the engine's C runtime reads back as the
// text itself: a run of backslashes before a double quote is doubled and the
// quote gets one more, and a run at the end is doubled, so that the closing
// quote stays the closing quote. A text without double quotes or a trailing
// backslash is just put in quotes.
QString Quoted(const QString& text) {
  QString item = "\"";
  qsizetype backslashes = 0;
  for (const QChar c : text) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"')
      item += QString(2 * backslashes + 1, '\\');
    else
      item += QString(backslashes, '\\');
    item += c;
    backslashes = 0;
  }
  item += QString(2 * backslashes, '\\');
  return item + '"';
}

// A parameter comes with its double quotes escaped (EscapeQuotes): the
// backslash before each quote belongs to the command line and is taken away,
// so the engine receives the quote and everything else as it stands.
QString QuotedParameter(const QString& text) {
  QString plain;
  for (const QChar c : text) {
    if (c == '"' && plain.endsWith('\\')) plain.chop(1);
    plain += c;
  }
  return Quoted(plain);
}

}  // namespace

QString EngineCommandLine(const EngineItems& items) {
  QString line = Quoted(items.keyBook) + ' ' + QString::number(items.keyNumber) + ' ' +
                 QChar(items.mode) + ' ' + Quoted(items.source) + ' ' + Quoted(items.target) + ' ' +
                 Quoted(items.verify);
  for (const QString& p : items.params) line += ' ' + QuotedParameter(p);
  return line;
}

EngineStart RunEngine(const QString& file, const QString& parameters) {
  QString path = file;
  if (path.size() >= 2 && path.startsWith('"') && path.endsWith('"'))
    path = path.mid(1, path.size() - 2);
  EngineStart start;
  if (path.isEmpty()) {
    start.error = ENOENT;
    return start;
  }
  const std::string program = FindProgram(path.toStdString());
  ChildProcess::Started started =
      ChildProcess::Start(program, SplitCommandLine(parameters.toStdString()));
  start.process = std::move(started.process);
  start.error = started.error;
  return start;
}

}  // namespace rux
