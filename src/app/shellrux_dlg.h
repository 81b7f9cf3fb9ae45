#pragma once
// The main window: holds all of the user's working state in members bound to
// its controls. Its handlers live in several files by subject: the window
// itself and its simple buttons here, the engine jobs, the Master Key
// selection, the log and the configuration file in their own files.
#include <QIcon>
#include <QString>
#include <array>
#include <limits>
#include <string>

#include "platform/widgets/dialog.h"

class QComboBox;
class QDataStream;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace rux {

struct ConfigurationValues;

class CShellruxDlg : public Dialog {
  Q_OBJECT
 public:
  explicit CShellruxDlg(QWidget* parent = nullptr);
  ~CShellruxDlg() override;

  // Working state (bound members first, in the order of the binding).
  QString m_strEngineCommand = "rux4.exe";
  QString m_strTargetFile;
  QString m_strKeyBook;
  QString m_strSourceFile;
  QString m_strVerifyFile;
  std::array<QString, 12> m_strKey;  // m_strKey1 ... m_strKey12: the record's stored texts
  QString m_strMasterKeyName;
  // No record has this number: nothing counts as read before the first read.
  static constexpr int kNoKeyRead = std::numeric_limits<int>::min();
  int m_nLastKeyRead = kNoKeyRead;
  int m_nKeyNumber = 0;
  std::array<QString, 14> m_strParam;  // m_strParam1 ... m_strParam14
  QString m_strLog;
  QString m_strConfigFile;
  QString m_strEnginePath;
  QString m_strMasterKeyCombo;
  QIcon m_hIcon;

  // Handlers of the buttons.
  void OnBrowseEngine();
  void OnBrowseSource();
  void OnBrowseTarget();
  void OnBrowseVerify();
  void OnClearVerify();
  void OnRunConsole();
  void OnAbout();

  // Engine jobs.
  void OnEncode();
  void OnDecode();

  // Master Key selection.
  void ReadMasterKey();
  void FillMasterKeyList(const QString& emptyMessage);
  void FindMasterKeyByName(const QString& name);
  void OnBrowseKeyBook();
  void OnSelectMasterKey();
  void OnKeyManagement();

  // Log.
  // Takes what was typed into the log panel into m_strLog, as a read of the
  // fields does. A refresh keeps the typing as long as m_strLog is as last
  // read or shown, so every step that changes m_strLog reads the panel first.
  void ReadLogPanel();
  void AppendLog(const QString& text);
  void OnCopyKeysToLog();
  void OnClearLog();
  void OnEditLog();

  // Configuration file.
  void SaveConfiguration();
  void LoadConfiguration();
  // Storing copies the members a configuration file keeps into values;
  // loading copies values into the members and refreshes the window.
  void Serialize(ConfigurationValues& values, bool storing);

  // Controls the handlers in other files reach.
  QComboBox* MasterKeyCombo() const { return m_comboMasterKey; }
  QLineEdit* ParamField(int n) const { return m_editParam[n - 1]; }  // n = 1 ... 14
  QPlainTextEdit* LogPanel() const { return m_editLog; }

 protected:
  void DoDataExchange(DataExchange& dx) override;
  bool OnInitDialog() override;
  void OnCancel() override;

 private:
  enum class SaveOutcome { Saved, Cancelled, Failed };
  SaveOutcome SaveConfigurationTellingOutcome();
  void BuildControls();
  QPushButton* AddButton(const QString& text, const char* name, void (CShellruxDlg::*handler)());
  // The record texts and m_nLastKeyRead come from one record of one book.
  void KeepKeyTexts(int number, const std::array<std::string, 12>& fields);
  void ForgetLastKeyRead();

  QString m_strLastKeyBook;  // the book the kept texts were read from

  QComboBox* m_comboMasterKey = nullptr;
  QLineEdit* m_editTarget = nullptr;
  QLineEdit* m_editKeyBook = nullptr;
  QLineEdit* m_editSource = nullptr;
  QLineEdit* m_editVerify = nullptr;
  QLineEdit* m_editName = nullptr;
  QLineEdit* m_editNumber = nullptr;
  std::array<QLineEdit*, 14> m_editParam{};
  QPlainTextEdit* m_editLog = nullptr;
  QLineEdit* m_editEnginePath = nullptr;
};

// The engine path at start-up: the current folder and "rux4.exe"; empty (after
// the "Current directory _getcwd error" box) when the folder cannot be read.
QString StartupEnginePath(QWidget* owner);

// The command line "Run RUX4 (Console)" gives the command interpreter: the
// text as typed, with a bare program name found in the current folder first.
QString ConsoleCommand(const QString& text);

}  // namespace rux
