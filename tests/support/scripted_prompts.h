#pragma once
// Records every message box and file picker and answers from a queue; a box with only
// OK takes no answer, so a question shown without Cancel leaves one unused and fails.
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
  QString text, caption, initialName;  // of a message box, of a picker
  Buttons buttons = Buttons::Ok;
  Icon icon = Icon::Exclamation;
  PickerKind picker = PickerKind::Open;
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
  QStringList Captions() const { return Of(false); }
  QStringList Boxes() const { return Of(true); }  // "CAPTION: text" of each box
  void Clear() { prompts_.clear(); }
  std::function<void(const Prompt&)> onPrompt;  // called with each prompt before its answer

  rux::Answer Message(QWidget*, const QString& text, const QString& caption, Buttons buttons,
                      Icon icon) override {
    return Next({false, text, caption, {}, buttons, icon}).answer;
  }
  std::optional<QString> PickFile(QWidget*, PickerKind kind, const QString& initialName,
                                  bool overwritePrompt) override {
    const QString path = Next({true, {}, {}, initialName, {}, {}, kind, overwritePrompt}).path;
    return path.isEmpty() ? std::nullopt : std::optional<QString>(path);
  }

 private:
  struct Reply {
    bool isPick = false;
    rux::Answer answer = rux::Answer::Cancel;
    QString path;  // empty: the picker is cancelled
  };
  ScriptedPrompts& Queue(const Reply& reply) { return queue_.push_back(reply), *this; }
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
  QStringList Of(bool boxes) const {
    QStringList out;
    for (const Prompt& p : Messages()) out << (boxes ? p.caption + ": " + p.text : p.caption);
    return out;
  }

  std::deque<Reply> queue_;
  std::vector<Prompt> prompts_;
};

}  // namespace rux::test
