#include "platform/widgets/widget_prompts.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace rux {

Answer WidgetPrompts::Message(QWidget* owner, const QString& text, const QString& caption,
                              Buttons buttons, Icon icon) {
  QMessageBox box(icon == Icon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon, caption,
                  text, QMessageBox::Ok, owner);
  if (buttons == Buttons::OkCancel) box.addButton(QMessageBox::Cancel);
  box.setDefaultButton(QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);
  return box.exec() == QMessageBox::Ok ? Answer::Ok : Answer::Cancel;
}

std::optional<QString> WidgetPrompts::PickFile(QWidget* owner, PickerKind kind,
                                               const QString& initialName, bool overwritePrompt) {
  // "*.*" names no file: the picker then starts in the current folder.
  QString start;
  if (!initialName.isEmpty() && initialName != "*.*") start = initialName;
  QFileDialog::Options options = QFileDialog::DontUseNativeDialog;
  QString path;
  if (kind == PickerKind::Open) {
    path = QFileDialog::getOpenFileName(owner, "Open", start, QString(), nullptr, options);
  } else {
    if (!overwritePrompt) options |= QFileDialog::DontConfirmOverwrite;
    path = QFileDialog::getSaveFileName(owner, "Save As", start, QString(), nullptr, options);
  }
  if (path.isEmpty()) return std::nullopt;
  return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

}  // namespace rux
