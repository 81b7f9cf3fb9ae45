#include "platform/seams/prompts.h"

#include <cstdio>
#include <cstdlib>

namespace rux {
namespace {

Prompts* g_prompts = nullptr;

}  // namespace

void InstallPrompts(Prompts* prompts) { g_prompts = prompts; }

Prompts& CurrentPrompts() {
  if (!g_prompts) {
    std::fputs("shell_rux: a prompt was raised before any prompts were installed\n", stderr);
    std::abort();
  }
  return *g_prompts;
}

Answer MessageBox(QWidget* owner, const QString& text, const QString& caption, Buttons buttons,
                  Icon icon) {
  return CurrentPrompts().Message(owner, text, caption, buttons, icon);
}

bool Confirm(QWidget* owner, const QString& text, const QString& caption) {
  return MessageBox(owner, text, caption, Buttons::OkCancel) == Answer::Ok;
}

std::optional<QString> PickOpenFile(QWidget* owner, const QString& initialName) {
  return CurrentPrompts().PickFile(owner, PickerKind::Open, initialName, false);
}

std::optional<QString> PickSaveFile(QWidget* owner, const QString& initialName,
                                    bool overwritePrompt) {
  return CurrentPrompts().PickFile(owner, PickerKind::Save, initialName, overwritePrompt);
}

}  // namespace rux
