#pragma once
// Every message box and file picker of the program goes through one seam.
// The program installs the widget implementation; tests install a scripted
// stand-in that records each prompt and answers from a queue; the command
// line program prints the boxes.
#include <QString>
#include <optional>

class QWidget;

namespace rux {

enum class Buttons { Ok, OkCancel };
enum class Icon { None, Exclamation };
enum class Answer { Ok, Cancel };
enum class PickerKind { Open, Save };

class Prompts {
 public:
  virtual ~Prompts() = default;
  virtual Answer Message(QWidget* owner, const QString& text, const QString& caption,
                         Buttons buttons, Icon icon) = 0;
  // The chosen full path, or nothing when the user cancelled. A save picker
  // with overwritePrompt asks before an existing file is chosen.
  virtual std::optional<QString> PickFile(QWidget* owner, PickerKind kind,
                                          const QString& initialName, bool overwritePrompt) = 0;
};

// The installed prompts; installing nullptr restores none (a prompt then fails loudly).
void InstallPrompts(Prompts* prompts);
Prompts& CurrentPrompts();

// The usual box: exclamation icon.
Answer MessageBox(QWidget* owner, const QString& text, const QString& caption,
                  Buttons buttons = Buttons::Ok, Icon icon = Icon::Exclamation);
// Asks with OK and Cancel; true only on OK.
bool Confirm(QWidget* owner, const QString& text, const QString& caption);
std::optional<QString> PickOpenFile(QWidget* owner, const QString& initialName);
std::optional<QString> PickSaveFile(QWidget* owner, const QString& initialName,
                                    bool overwritePrompt = true);

}  // namespace rux
