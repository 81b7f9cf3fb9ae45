#include "platform/widgets/modal.h"

#include <QDialog>

#include "platform/widgets/accessible_window.h"

namespace rux {
namespace {

ModalRunner& Runner() {
  static ModalRunner runner;
  return runner;
}

}  // namespace

int RunModal(QDialog& dialog) {
  MakeAccessible(dialog);
  if (Runner()) return Runner()(dialog);
  return dialog.exec();
}

void InstallModalRunner(ModalRunner runner) { Runner() = std::move(runner); }

}  // namespace rux
