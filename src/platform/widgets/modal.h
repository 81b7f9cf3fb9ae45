#pragma once
// Every modal run of the program's own windows goes through one seam, so a
// test can drive the opened window synchronously and end it with OK or Cancel.
#include <functional>

class QDialog;

namespace rux {

// Readies the dialog for screen readers and keyboard users (accessible_window.h),
// runs it modally and returns its result code.
using ModalRunner = std::function<int(QDialog& dialog)>;

int RunModal(QDialog& dialog);
// An empty runner restores the real one (QDialog::exec).
void InstallModalRunner(ModalRunner runner);

}  // namespace rux
