#include "cli/text_prompts.h"

#include <poll.h>
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
  std::string chunk;
  // Until the engine has ended: a program it started may hold the pipe longer.
  while (process.OutputFd() >= 0) {
    const bool ended = process.Poll().has_value();
    pollfd p{process.OutputFd(), POLLIN, 0};
    ::poll(&p, 1, 200);
    chunk.clear();
    if (!process.ReadAvailable(chunk) || ended) process.CloseOutput();
    out_ << chunk << std::flush;
  }
  return process.Wait();
}

void TextConsole::Release() { out_ << '\n' << std::flush; }

}  // namespace rux::cli
