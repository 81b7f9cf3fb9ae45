#pragma once
// Message boxes and the console of the engine job as text: boxes on standard
// error ("CAPTION: text"), questions answered by --yes or on the terminal,
// the console and the engine's output on standard output.
#include <iosfwd>

#include "platform/seams/console.h"
#include "platform/seams/prompts.h"

namespace rux::cli {

class TextPrompts : public Prompts {
 public:
  // terminal: where questions are answered; nullptr answers Cancel unless assumeYes.
  TextPrompts(std::ostream& err, std::istream* terminal, bool assumeYes)
      : err_(err), terminal_(terminal), assumeYes_(assumeYes) {}
  Answer Message(QWidget* owner, const QString& text, const QString& caption, Buttons buttons,
                 Icon icon) override;
  std::optional<QString> PickFile(QWidget*, PickerKind, const QString&, bool) override {
    return std::nullopt;
  }

 private:
  std::ostream& err_;
  std::istream* terminal_;
  bool assumeYes_;
};

class TextConsole : public Console {
 public:
  explicit TextConsole(std::ostream& out) : out_(out) {}
  void Open() override {}
  void SetTitle(const QString& title) override;
  void Write(const QString& text) override;
  int Run(ChildProcess& process) override;
  void Release() override;

 private:
  std::ostream& out_;
};

}  // namespace rux::cli
