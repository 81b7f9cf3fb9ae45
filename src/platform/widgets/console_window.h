#pragma once
// The front end's own console: shows the title, the texts written to it and,
// while the engine runs, the engine's output as it comes, with a progress bar
// driven by its "progress: N%" lines. Modal while the engine runs, so the main
// window takes no input but still repaints. Closing it then offers to stop
// the engine.
#include <QDialog>
#include <QStringDecoder>
#include <QTimer>

#include "platform/seams/console.h"

class QPlainTextEdit;
class QProgressBar;

namespace rux {

class ConsoleWindow : public QDialog, public Console {
  Q_OBJECT
 public:
  explicit ConsoleWindow(QWidget* owner = nullptr);

  void Open() override;
  void SetTitle(const QString& title) override;
  void Write(const QString& text) override;
  int Run(ChildProcess& process) override;
  void Release() override;

  QString Text() const;
  int Progress() const;
  // What the user does by closing the window while the engine runs.
  void RequestStop();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void Append(const QString& text);
  void TakeOutput(ChildProcess& process);

  QPlainTextEdit* text_;
  QProgressBar* progress_;
  QStringDecoder decoder_{QStringDecoder::Utf8};
  QString partialLine_;
  ChildProcess* running_ = nullptr;
  QTimer killTimer_;
};

}  // namespace rux
