#pragma once
// The window an engine job runs for: the values it reads and writes and the
// few things it asks of the window. The main window of the front end is one;
// a program without windows can be another.
#include <QString>

class QWidget;

namespace rux {

class JobWindow {
 public:
  virtual ~JobWindow() = default;

  virtual QString& EnginePath() = 0;     // as the user named it
  virtual QString& EngineCommand() = 0;  // the engine path of the job
  virtual QString& KeyBook() = 0;
  virtual int& KeyNumber() = 0;
  virtual QString& SourceFile() = 0;
  virtual QString& TargetFile() = 0;
  virtual QString& VerifyFile() = 0;
  virtual QString& Param(int n) = 0;  // n = 1 ... 14
  virtual QString& ConfigFile() = 0;
  virtual QString& Log() = 0;

  // Puts the text into parameter field n; as any change of a parameter field
  // does, this reads all fields, so Param(n) becomes the text.
  virtual void SetParamFieldText(int n, const QString& text) = 0;
  virtual void FocusLog() = 0;
  // Shows every value above in its field.
  virtual void Refresh() = 0;
  // The owner of the job's message boxes.
  virtual QWidget* Owner() = 0;
};

}  // namespace rux
