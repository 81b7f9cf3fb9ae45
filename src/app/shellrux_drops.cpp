// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The shell_rux developers
#include "app/shellrux_drops.h"

#include <QLabel>

#include "app/shellrux_dlg.h"
#include "platform/widgets/file_drop.h"

namespace rux {

void AcceptFileDrops(CShellruxDlg& window) {
  struct Row {
    const char* label;
    std::vector<const char*> controls;
    void (CShellruxDlg::*browse)();
  };
  const Row rows[] = {
      {"Key Book:", {"keyBook", "keyBookBrowse"}, &CShellruxDlg::OnBrowseKeyBook},
      {"File Key Verify:",
       {"verifyFile", "verifyBrowse", "verifyClear"},
       &CShellruxDlg::OnBrowseVerify},
      {"Source File:", {"sourceFile", "sourceBrowse"}, &CShellruxDlg::OnBrowseSource},
      {"Target File:", {"targetFile", "targetBrowse"}, &CShellruxDlg::OnBrowseTarget},
      {"CONFIGURATION:", {"configBrowse", "configSave"}, &CShellruxDlg::LoadConfiguration},
  };
  const QList<QLabel*> labels = window.findChildren<QLabel*>();
  std::vector<DropRow> dropRows;
  for (const Row& row : rows) {
    std::vector<QWidget*> controls;
    for (QLabel* label : labels) {
      if (label->text() == row.label) controls.push_back(label);
    }
    for (const char* name : row.controls) {
      if (auto* control = window.findChild<QWidget*>(name)) controls.push_back(control);
    }
    dropRows.push_back({controls, [&window, browse = row.browse] { (window.*browse)(); }});
  }
  AcceptFileDrops(window, std::move(dropRows));
}

}  // namespace rux
