// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The shell_rux developers
#pragma once
// Dropping a file onto a row of a window (its label, field and buttons, and
// the space between them): the drop does what the row's "Browse" button does
// with that file. The button's handler runs, and its file picker is answered
// with the dropped file instead of showing; every other box shows as usual.
// A save picker that asks before an existing file is chosen asks the same
// for a dropped one. Several files, a folder or anything but a file of this
// computer are refused with a message box.
//
// The window takes the drops itself, because the toolkit hands no drop to a
// disabled control, as the rows' path fields are.
#include <QString>
#include <functional>
#include <vector>

class QWidget;

namespace rux {

struct DropRow {
  std::vector<QWidget*> controls;
  std::function<void()> browse;
};

void AcceptFileDrops(QWidget& window, std::vector<DropRow> rows);

}  // namespace rux
