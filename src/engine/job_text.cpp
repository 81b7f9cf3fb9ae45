#include "engine/job_text.h"

#include "platform/text/cp1252.h"

namespace rux {

QString EscapeQuotes(const QString& text) {
  QString escaped;
  escaped.reserve(text.size() + 8);
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == '"' && (i == 0 || text[i - 1] != '\\')) escaped += '\\';
    escaped += text[i];
  }
  return escaped;
}

QString CutToConsoleBytes(const QString& text, int maxBytes) {
  int used = 0;
  qsizetype end = 0;
  while (end < text.size()) {
    const qsizetype length =
        text[end].isHighSurrogate() && end + 1 < text.size() && text[end + 1].isLowSurrogate() ? 2
                                                                                               : 1;
    const QByteArray utf8 = text.mid(end, length).toUtf8();
    const int bytes = FitsCp1252(utf8.toStdString()) ? 1 : int(utf8.size());
    if (used + bytes > maxBytes) break;
    used += bytes;
    end += length;
  }
  return text.left(end);
}

}  // namespace rux
