// The engine jobs of the main window: ENCODE and DECODE run the one engine
// job procedure on the window's members.
#include <QLineEdit>
#include <QPlainTextEdit>

#include "app/shellrux_dlg.h"
#include "engine/engine_job.h"

namespace rux {
namespace {

class MainWindowJob : public JobWindow {
 public:
  explicit MainWindowJob(CShellruxDlg& window) : w_(window) {}

  QString& EnginePath() override { return w_.m_strEnginePath; }
  QString& EngineCommand() override { return w_.m_strEngineCommand; }
  QString& KeyBook() override { return w_.m_strKeyBook; }
  int& KeyNumber() override { return w_.m_nKeyNumber; }
  QString& SourceFile() override { return w_.m_strSourceFile; }
  QString& TargetFile() override { return w_.m_strTargetFile; }
  QString& VerifyFile() override { return w_.m_strVerifyFile; }
  QString& Param(int n) override { return w_.m_strParam[n - 1]; }
  QString& ConfigFile() override { return w_.m_strConfigFile; }
  QString& Log() override { return w_.m_strLog; }

  void SetParamFieldText(int n, const QString& text) override {
    // A change of the field reads all fields; the same text again is no
    // change, so the fields are read here then.
    QLineEdit* field = w_.ParamField(n);
    if (field->text() == text)
      w_.UpdateData(true);
    else
      field->setText(text);
  }
  void FocusLog() override { w_.LogPanel()->setFocus(); }
  void Refresh() override { w_.UpdateData(false); }
  QWidget* Owner() override { return &w_; }

 private:
  CShellruxDlg& w_;
};

}  // namespace

void CShellruxDlg::OnEncode() {
  MainWindowJob job(*this);
  EngineJob(job, JobMode::Encode);
}

void CShellruxDlg::OnDecode() {
  MainWindowJob job(*this);
  EngineJob(job, JobMode::Decode);
}

}  // namespace rux
