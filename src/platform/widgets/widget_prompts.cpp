#include "platform/widgets/widget_prompts.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStyle>
#include <QVBoxLayout>

namespace rux {

namespace {

// A text too long for a message box (a loaded log, say) is shown whole in a
// scrolling box with the same caption and buttons.
bool TooLongForABox(const QString& text) { return text.size() > 2000 || text.count('\n') > 30; }

Answer ScrollingMessage(QWidget* owner, const QString& text, const QString& caption,
                        Buttons buttons, Icon icon) {
  QDialog box(owner);
  box.setWindowTitle(caption);
  auto* layout = new QVBoxLayout(&box);
  auto* row = new QHBoxLayout;
  if (icon == Icon::Exclamation) {
    auto* picture = new QLabel(&box);
    const int size = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize);
    picture->setPixmap(box.style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(size));
    row->addWidget(picture, 0, Qt::AlignTop);
  }
  auto* view = new QPlainTextEdit(text, &box);
  view->setReadOnly(true);
  view->setLineWrapMode(QPlainTextEdit::NoWrap);
  row->addWidget(view);
  layout->addLayout(row);
  auto* answer = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
  if (buttons == Buttons::OkCancel) answer->addButton(QDialogButtonBox::Cancel);
  QObject::connect(answer, &QDialogButtonBox::accepted, &box, &QDialog::accept);
  QObject::connect(answer, &QDialogButtonBox::rejected, &box, &QDialog::reject);
  layout->addWidget(answer);
  box.resize(640, 420);
  return box.exec() == QDialog::Accepted ? Answer::Ok : Answer::Cancel;
}

}  // namespace

Answer WidgetPrompts::Message(QWidget* owner, const QString& text, const QString& caption,
                              Buttons buttons, Icon icon) {
  if (TooLongForABox(text)) return ScrollingMessage(owner, text, caption, buttons, icon);
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
