#pragma once
// Stands in for every message box and file picker: records each one in order
// and answers from a queue. A box with only an OK button is answered OK and
// takes nothing from the queue, so a question shown without its Cancel button
// leaves an answer unused, which fails the test; a question or a picker with
// nothing fitting queued fails the test and is answered Cancel.
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "platform/seams/prompts.h"

namespace rux::test {

struct Prompt {
  bool isPicker = false;
  QString text, caption;  // of a message box
  Buttons buttons = Buttons::Ok;
  Icon icon = Icon::Exclamation;
  PickerKind picker = PickerKind::Open;
  QString initialName;
  bool overwritePrompt = false;
};

class ScriptedPrompts : public Prompts {
 public:
  ScriptedPrompts() { InstallPrompts(this); }
  ~ScriptedPrompts() override {
    InstallPrompts(nullptr);
    EXPECT_TRUE(queue_.empty()) << queue_.size() << " scripted answer(s) were never asked for";
  }

  ScriptedPrompts& Answer(rux::Answer answer) { return Queue({false, answer, {}}); }
  ScriptedPrompts& Pick(const QString& path) { return Queue({true, rux::Answer::Ok, path}); }
  ScriptedPrompts& CancelPick() { return Queue({true, rux::Answer::Cancel, {}}); }

  const std::vector<Prompt>& All() const { return prompts_; }
  std::vector<Prompt> Messages() const {
    std::vector<Prompt> out;
    for (const Prompt& p : prompts_)
      if (!p.isPicker) out.push_back(p);
    return out;
  }
  QStringList MessageTexts() const { return Of(&Prompt::text, false); }
  QStringList Captions() const { return Of(&Prompt::caption, false); }
  QStringList Boxes() const { return Of(&Prompt::text, true); }  // "CAPTION: text" of each box
  void Clear() { prompts_.clear(); }
  std::function<void(const Prompt&)> onPrompt;  // called with each prompt before its answer

  rux::Answer Message(QWidget*, const QString& text, const QString& caption, Buttons buttons,
                      Icon icon) override {
    return Next({false, text, caption, buttons, icon, {}, {}, {}}).answer;
  }
  std::optional<QString> PickFile(QWidget*, PickerKind kind, const QString& initialName,
                                  bool overwritePrompt) override {
    const QString path = Next({true, {}, {}, {}, {}, kind, initialName, overwritePrompt}).path;
    return path.isEmpty() ? std::nullopt : std::optional<QString>(path);
  }

 private:
  struct Reply {
    bool isPick = false;
    rux::Answer answer = rux::Answer::Cancel;
    QString path;  // empty: the picker is cancelled
  };
  ScriptedPrompts& Queue(const Reply& reply) {
    queue_.push_back(reply);
    return *this;
  }
  // Records the prompt and takes its answer; a box with only OK takes none.
  Reply Next(const Prompt& p) {
    prompts_.push_back(p);
    if (onPrompt) onPrompt(p);
    if (!p.isPicker && p.buttons == Buttons::Ok) return {false, rux::Answer::Ok, {}};
    if (queue_.empty() || queue_.front().isPick != p.isPicker) {
      ADD_FAILURE() << "unscripted prompt: " << p.caption.toStdString() << p.text.toStdString();
      return {};
    }
    const Reply reply = queue_.front();
    queue_.pop_front();
    return reply;
  }
  QStringList Of(QString Prompt::*part, bool withCaption) const {
    QStringList out;
    for (const Prompt& p : Messages())
      out << (withCaption ? p.caption + ": " : QString()) + p.*part;
    return out;
  }

  std::deque<Reply> queue_;
  std::vector<Prompt> prompts_;
};

}  // namespace rux::test
