#pragma once
// The prompts a person sees: message boxes and file pickers.
#include "platform/seams/prompts.h"

namespace rux {

class WidgetPrompts : public Prompts {
 public:
  Answer Message(QWidget* owner, const QString& text, const QString& caption, Buttons buttons,
                 Icon icon) override;
  std::optional<QString> PickFile(QWidget* owner, PickerKind kind, const QString& initialName,
                                  bool overwritePrompt) override;
};

}  // namespace rux
