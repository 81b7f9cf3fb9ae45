#pragma once
// Stands in for every message box and file picker: records each one in order
// and answers from a queue. Boxes with only an OK button are answered OK and
// take nothing from the queue; a question or a picker with nothing queued
// fails the test and is answered Cancel.
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "platform/seams/prompts.h"

namespace rux::test {

struct Prompt {
  bool isPicker = false;
  QString text;     // message text
  QString caption;  // message caption
  Buttons buttons = Buttons::Ok;
  Icon icon = Icon::Exclamation;
  PickerKind picker = PickerKind::Open;
  QString initialName;
  bool overwritePrompt = false;
};

class ScriptedPrompts : public Prompts {
 public:
  ScriptedPrompts();  // installs itself
  ~ScriptedPrompts() override;

  ScriptedPrompts& Answer(rux::Answer answer);
  ScriptedPrompts& Pick(const QString& path);
  ScriptedPrompts& CancelPick();

  const std::vector<Prompt>& All() const { return prompts_; }
  std::vector<Prompt> Messages() const;
  QStringList MessageTexts() const;
  QStringList Captions() const;
  void Clear() { prompts_.clear(); }
  bool Drained() const { return queue_.empty(); }

  // Called with each prompt before it is answered.
  std::function<void(const Prompt&)> onPrompt;

  rux::Answer Message(QWidget* owner, const QString& text, const QString& caption, Buttons buttons,
                      Icon icon) override;
  std::optional<QString> PickFile(QWidget* owner, PickerKind kind, const QString& initialName,
                                  bool overwritePrompt) override;

 private:
  struct Reply {
    bool isPick = false;
    rux::Answer answer = rux::Answer::Cancel;
    QString path;  // empty: the picker is cancelled
  };
  std::deque<Reply> queue_;
  std::vector<Prompt> prompts_;
};

}  // namespace rux::test
