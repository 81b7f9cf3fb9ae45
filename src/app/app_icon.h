// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The shell_rux developers
#pragma once
#include <QIcon>

namespace rux {

// The application's icon, from the program's own resources in every size it
// is rendered at; it needs no installed file.
QIcon AppIcon();

}  // namespace rux
