#include "engine/engine_contract.h"

#include <cerrno>

#include "platform/seams/child_process.h"

namespace rux {

namespace {
QString Quoted(const QString& text) { return '"' + text + '"'; }
}  // namespace

QString EngineCommandLine(const EngineItems& items) {
  QString line = Quoted(items.keyBook) + ' ' + QString::number(items.keyNumber) + ' ' +
                 QChar(items.mode) + ' ' + Quoted(items.source) + ' ' + Quoted(items.target) + ' ' +
                 Quoted(items.verify);
  for (const QString& p : items.params) line += ' ' + Quoted(p);
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
