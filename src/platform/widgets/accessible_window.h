// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The shell_rux developers
#pragma once
// Readies a window for screen readers and keyboard users; every modal run
// does it before the window shows. Names and descriptions the window gave
// itself are kept.
// - A control takes as its accessible name the text of the label just before
//   it in its layout (the same row of a grid), without the closing colon, and
//   the label becomes its buddy.
// - A button, named by its own text, is described by the last label of its
//   row, so that the several "Browse" buttons can be told apart.
// - The tab order is the layout's reading order: from top to bottom, each row
//   from left to right.

class QWidget;

namespace rux {

void MakeAccessible(QWidget& window);

}  // namespace rux
