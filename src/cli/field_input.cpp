#include "cli/field_input.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <istream>
#include <iterator>
#include <vector>

#include "cli/command.h"
#include "editing/rules/field_rules.h"

namespace rux::cli {
namespace {

std::optional<std::string>* Slot(FieldInput& input, const std::string& name) {
  if (name == "name") return &input.name;
  if (name == "enlarge") return &input.enlarge;
  if (name == "scramble") return &input.scramble;
  for (int n = 1; n <= 10; ++n)
    if (name == "key" + std::to_string(n)) return &input.keys[n - 1];
  return nullptr;
}

void Set(FieldInput& input, const std::string& name, const std::string& value) {
  std::optional<std::string>* slot = Slot(input, name);
  if (!slot) UsageFail("unknown field on standard input: " + name);
  if (slot->has_value()) UsageFail("field given twice on standard input: " + name);
  if (!FitsField(value))
    UsageFail("field " + name + " holds a line break or a character a Key Book cannot hold");
  *slot = value;
}

// The member names of a well-formed JSON object in the order written, a
// repeated name as often as it is written (QJsonObject keeps only its last).
std::vector<QString> MemberNames(const std::string& text) {
  std::vector<QString> names;
  int depth = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '{' || text[at] == '[') ++depth;
    if (text[at] == '}' || text[at] == ']') --depth;
    if (text[at] != '"') continue;
    std::size_t end = at + 1;
    while (end < text.size() && text[end] != '"') end += text[end] == '\\' ? 2 : 1;
    if (end >= text.size()) break;
    const std::size_t next = text.find_first_not_of(" \t\r\n", end + 1);
    if (depth == 1 && next != std::string::npos && text[next] == ':') {
      std::string quoted = "[";  // built in steps: GCC 12 warns wrongly on "[" + substr
      quoted.append(text, at, end + 1 - at).append("]");
      names.push_back(
          QJsonDocument::fromJson(QByteArray::fromStdString(quoted)).array()[0].toString());
    }
    at = end;
  }
  return names;
}

}  // namespace

FieldInput ReadFieldInput(std::istream& in, bool json) {
  FieldInput input;
  if (json) {
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    if (!doc.isObject()) UsageFail("standard input is not one JSON object");
    const QJsonObject object = doc.object();
    for (const QString& name : MemberNames(text)) {
      const QJsonValue value = object.value(name);
      if (!value.isString()) UsageFail("field " + name.toStdString() + " is not a text");
      Set(input, name.toStdString(), value.toString().toStdString());
    }
    return input;
  }
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    const std::size_t equals = line.find('=');
    // The line is not repeated: it may hold a key.
    if (equals == std::string::npos) UsageFail("expected NAME=VALUE lines on standard input");
    Set(input, line.substr(0, equals), line.substr(equals + 1));
  }
  return input;
}

}  // namespace rux::cli
