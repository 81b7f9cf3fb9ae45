#include "platform/widgets/console_window.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRegularExpression>
#include <QSocketNotifier>
#include <QVBoxLayout>

#include "platform/seams/child_process.h"
#include "platform/seams/prompts.h"

namespace rux {

ConsoleWindow::ConsoleWindow(QWidget* owner) : QDialog(owner) {
  setObjectName("console");
  text_ = new QPlainTextEdit(this);
  text_->setObjectName("consoleText");
  text_->setAccessibleName("Output");
  text_->setReadOnly(true);
  text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  text_->setStyleSheet("QPlainTextEdit { background: black; color: #d0d0d0; }");
  progress_ = new QProgressBar(this);
  progress_->setObjectName("consoleProgress");
  progress_->setAccessibleName("Progress");
  progress_->setRange(0, 100);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text_);
  layout->addWidget(progress_);
  resize(640, 360);
  killTimer_.setSingleShot(true);
  connect(&killTimer_, &QTimer::timeout, this, [this] {
    if (running_) running_->Kill();
  });
}

void ConsoleWindow::Open() {
  text_->clear();
  partialLine_.clear();
  decoder_.resetState();
  progress_->setValue(0);
  progress_->hide();
  show();
  raise();
}

void ConsoleWindow::SetTitle(const QString& title) { setWindowTitle(title); }

void ConsoleWindow::Write(const QString& text) { Append(text); }

void ConsoleWindow::Append(const QString& text) {
  text_->moveCursor(QTextCursor::End);
  text_->insertPlainText(text);
  text_->moveCursor(QTextCursor::End);
}

QString ConsoleWindow::Text() const { return text_->toPlainText(); }

int ConsoleWindow::Progress() const { return progress_->isVisible() ? progress_->value() : -1; }

void ConsoleWindow::TakeOutput(ChildProcess& process) {
  std::string bytes;
  if (!process.ReadAvailable(bytes)) process.CloseOutput();
  if (bytes.empty()) return;
  const QString text = decoder_.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
  Append(text);
  static const QRegularExpression progressLine(R"(^progress: (\d{1,3})%\s*$)");
  const QStringList lines = (partialLine_ + text).split('\n');
  partialLine_ = lines.back();
  for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
    const QRegularExpressionMatch m = progressLine.match(lines[i]);
    if (m.hasMatch()) {
      progress_->show();
      progress_->setValue(qMin(100, m.captured(1).toInt()));
    }
  }
}

int ConsoleWindow::Run(ChildProcess& process) {
  running_ = &process;
  // The program's output starts on a line of its own.
  const QString shown = text_->toPlainText();
  if (!shown.isEmpty() && !shown.endsWith('\n')) Append("\n");
  hide();
  setWindowModality(Qt::ApplicationModal);
  show();

  QEventLoop loop;
  QSocketNotifier notifier(process.OutputFd(), QSocketNotifier::Read);
  connect(&notifier, &QSocketNotifier::activated, this, [&] {
    TakeOutput(process);
    if (process.OutputFd() < 0) notifier.setEnabled(false);
  });
  QTimer poll;
  connect(&poll, &QTimer::timeout, this, [&] {
    if (process.Poll()) loop.quit();
  });
  poll.start(30);
  if (!process.Poll()) loop.exec();
  TakeOutput(process);  // what is left; a program it started may still hold the pipe
  process.CloseOutput();

  killTimer_.stop();
  running_ = nullptr;
  hide();
  setWindowModality(Qt::NonModal);
  show();
  return process.Wait();
}

void ConsoleWindow::Release() {
  killTimer_.stop();
  hide();
}

void ConsoleWindow::RequestStop() {
  if (!running_) return;
  if (!Confirm(this, kStopEngineText, kStopEngineCaption)) return;
  if (!running_) return;  // it ended while the question was open
  running_->Terminate();
  killTimer_.start(kStopGraceMilliseconds);
}

void ConsoleWindow::closeEvent(QCloseEvent* event) {
  // Never closed under a running engine: the user is offered to stop it instead.
  if (!running_) return QDialog::closeEvent(event);
  event->ignore();
  RequestStop();
}

void ConsoleWindow::reject() {
  if (running_)
    RequestStop();
  else
    hide();
}

}  // namespace rux
