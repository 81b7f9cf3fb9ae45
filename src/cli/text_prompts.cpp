#include "cli/text_prompts.h"

#include <istream>
#include <ostream>

#include "cli/terminal_text.h"
#include "platform/seams/child_process.h"

namespace rux::cli {

Answer TextPrompts::Message(QWidget*, const QString& text, const QString& caption, Buttons buttons,
                            Icon) {
  err_ << TerminalSafe(caption.toStdString()) << ": " << TerminalSafe(text.toStdString(), "\n");
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

void TextConsole::SetTitle(const QString& title) {
  out_ << TerminalSafe(title.toStdString()) << std::flush;
}

void TextConsole::Write(const QString& text) {
  out_ << TerminalSafe(text.toStdString(), "\n") << std::flush;
}

// The engine's output repeats paths of the configuration. A chunk that ends
// inside a two-byte character waits for the rest of it.
int TextConsole::Run(ChildProcess& process) {
  out_ << '\n' << std::flush;
  std::string pending;
  const int status = process.ReadToEnd([&](const std::string& chunk) {
    pending += chunk;
    const bool cut = !pending.empty() && static_cast<unsigned char>(pending.back()) == 0xC2;
    out_ << TerminalSafe(std::string_view(pending).substr(0, pending.size() - cut), "\n")
         << std::flush;
    pending.erase(0, pending.size() - cut);
  });
  out_ << TerminalSafe(pending) << std::flush;
  return status;
}

void TextConsole::Release() { out_ << '\n' << std::flush; }

}  // namespace rux::cli
