#include "support/scripted_prompts.h"

#include <gtest/gtest.h>

namespace rux::test {

ScriptedPrompts::ScriptedPrompts() { InstallPrompts(this); }

ScriptedPrompts::~ScriptedPrompts() {
  InstallPrompts(nullptr);
  EXPECT_TRUE(queue_.empty()) << queue_.size() << " scripted answer(s) were never asked for";
}

ScriptedPrompts& ScriptedPrompts::Answer(rux::Answer answer) {
  queue_.push_back(Reply{false, answer, QString()});
  return *this;
}

ScriptedPrompts& ScriptedPrompts::Pick(const QString& path) {
  queue_.push_back(Reply{true, rux::Answer::Ok, path});
  return *this;
}

ScriptedPrompts& ScriptedPrompts::CancelPick() {
  queue_.push_back(Reply{true, rux::Answer::Cancel, QString()});
  return *this;
}

std::vector<Prompt> ScriptedPrompts::Messages() const {
  std::vector<Prompt> out;
  for (const Prompt& p : prompts_)
    if (!p.isPicker) out.push_back(p);
  return out;
}

QStringList ScriptedPrompts::MessageTexts() const {
  QStringList out;
  for (const Prompt& p : Messages()) out << p.text;
  return out;
}

QStringList ScriptedPrompts::Captions() const {
  QStringList out;
  for (const Prompt& p : Messages()) out << p.caption;
  return out;
}

rux::Answer ScriptedPrompts::Message(QWidget*, const QString& text, const QString& caption,
                                     Buttons buttons, Icon icon) {
  Prompt p;
  p.text = text;
  p.caption = caption;
  p.buttons = buttons;
  p.icon = icon;
  prompts_.push_back(p);
  if (onPrompt) onPrompt(p);
  if (buttons == Buttons::Ok) return rux::Answer::Ok;
  if (queue_.empty() || queue_.front().isPick) {
    ADD_FAILURE() << "unscripted question: " << caption.toStdString() << ": " << text.toStdString();
    return rux::Answer::Cancel;
  }
  const rux::Answer a = queue_.front().answer;
  queue_.pop_front();
  return a;
}

std::optional<QString> ScriptedPrompts::PickFile(QWidget*, PickerKind kind,
                                                 const QString& initialName, bool overwritePrompt) {
  Prompt p;
  p.isPicker = true;
  p.picker = kind;
  p.initialName = initialName;
  p.overwritePrompt = overwritePrompt;
  prompts_.push_back(p);
  if (onPrompt) onPrompt(p);
  if (queue_.empty() || !queue_.front().isPick) {
    ADD_FAILURE() << "unscripted file picker";
    return std::nullopt;
  }
  const Reply reply = queue_.front();
  queue_.pop_front();
  if (reply.path.isEmpty()) return std::nullopt;
  return reply.path;
}

}  // namespace rux::test
