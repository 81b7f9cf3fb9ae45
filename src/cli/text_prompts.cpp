#include "cli/text_prompts.h"

#include <istream>
#include <ostream>

#include "platform/seams/child_process.h"

namespace rux::cli {

Answer TextPrompts::Message(QWidget*, const QString& text, const QString& caption, Buttons buttons,
                            Icon) {
  err_ << caption.toStdString() << ": " << text.toStdString();
  if (buttons == Buttons::Ok) {
    err_ << '\n';
    return Answer::Ok;
  }
  if (assumeYes_) {
    err_ << " OK\n";
    return Answer::Ok;
  }
  err_ << " [OK/Cancel] " << std::flush;
  std::string reply;
  if (!terminal_ || !std::getline(*terminal_, reply)) {
    err_ << "\nno terminal to answer on (use --yes): Cancel\n";
    return Answer::Cancel;
  }
  for (char& c : reply) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return reply == "ok" || reply == "o" || reply == "y" || reply == "yes" ? Answer::Ok
                                                                         : Answer::Cancel;
}

void TextConsole::SetTitle(const QString& title) { out_ << title.toStdString() << std::flush; }

void TextConsole::Write(const QString& text) { out_ << text.toStdString() << std::flush; }

int TextConsole::Run(ChildProcess& process) {
  out_ << '\n' << std::flush;
  return process.ReadToEnd([this](const std::string& chunk) { out_ << chunk << std::flush; });
}

void TextConsole::Release() { out_ << '\n' << std::flush; }

}  // namespace rux::cli
