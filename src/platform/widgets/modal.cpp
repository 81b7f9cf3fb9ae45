#include "platform/widgets/modal.h"

#include <QDialog>

namespace rux {
namespace {

ModalRunner& Runner() {
  static ModalRunner runner;
  return runner;
}

}  // namespace

int RunModal(QDialog& dialog) {
  if (Runner()) return Runner()(dialog);
  return dialog.exec();
}

void InstallModalRunner(ModalRunner runner) { Runner() = std::move(runner); }

}  // namespace rux
