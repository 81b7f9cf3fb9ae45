// Saving and loading the main window's fields in a configuration file.
#include "app/config/configuration.h"
#include "app/config/configuration_file.h"
#include "app/shellrux_dlg.h"
#include "platform/seams/prompts.h"

namespace rux {

namespace {

QString NotAccessibleText(const QString& path) {
  return "ERROR: The file: " + path + "\nis not accessible, access is denied.";
}

QString UnexpectedFormatText(const QString& path) {
  return "ERROR: The file: " + path + "\nUnexpected file format.";
}

}  // namespace

void CShellruxDlg::Serialize(ConfigurationValues& values, bool storing) {
  const auto exchange = [storing](auto& member, auto& value) {
    if (storing)
      value = member;
    else
      member = value;
  };
  exchange(m_strKeyBook, values.keyBook);
  exchange(m_strSourceFile, values.sourceFile);
  exchange(m_strTargetFile, values.targetFile);
  exchange(m_strVerifyFile, values.verifyFile);
  exchange(m_nKeyNumber, values.keyNumber);
  exchange(m_strMasterKeyName, values.masterKeyName);
  for (std::size_t i = 0; i < m_strParam.size(); ++i) exchange(m_strParam[i], values.params[i]);
  exchange(m_strLog, values.log);
  exchange(m_strEnginePath, values.enginePath);
  if (!storing) UpdateData(false);
}

void CShellruxDlg::SaveConfiguration() { SaveConfigurationTellingOutcome(); }

CShellruxDlg::SaveOutcome CShellruxDlg::SaveConfigurationTellingOutcome() {
  if (m_strConfigFile.isEmpty()) m_strConfigFile = "*.*";
  const std::optional<QString> path = PickSaveFile(this, m_strConfigFile, true);
  if (!path) return SaveOutcome::Cancelled;
  m_strConfigFile = *path;
  UpdateData(true);
  ConfigurationValues values;
  Serialize(values, true);
  if (!WriteConfigurationFile(m_strConfigFile, values)) {
    MessageBox(this, NotAccessibleText(m_strConfigFile), "ERROR");
    return SaveOutcome::Failed;
  }
  return SaveOutcome::Saved;
}

// A file that cannot be read, or is not a complete configuration, changes
// nothing: the values are all read before any member is replaced.
void CShellruxDlg::LoadConfiguration() {
  if (m_strConfigFile.isEmpty()) m_strConfigFile = "*.*";
  if (const std::optional<QString> path = PickOpenFile(this, m_strConfigFile)) {
    m_strConfigFile = *path;
    ConfigurationValues values;
    switch (ReadConfigurationFile(m_strConfigFile, values)) {
      case ConfigurationRead::NotAccessible:
        MessageBox(this, NotAccessibleText(m_strConfigFile), "ERROR");
        return;
      case ConfigurationRead::UnexpectedFormat:
        MessageBox(this, UnexpectedFormatText(m_strConfigFile), "ERROR");
        return;
      case ConfigurationRead::Loaded:
        break;
    }
    ReadLogPanel();  // the loaded log replaces what was typed too
    Serialize(values, false);
    MessageBox(this, m_strLog, "LOG");
  }
  FillMasterKeyList("No Master Key present.");
}

}  // namespace rux
