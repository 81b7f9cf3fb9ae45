// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The shell_rux developers
#pragma once

namespace rux {

class CShellruxDlg;

// Files dropped onto the Key Book, File Key Verify, Source File, Target File
// and CONFIGURATION rows of the main window are taken as their "Browse"
// buttons take a chosen file.
void AcceptFileDrops(CShellruxDlg& window);

}  // namespace rux
