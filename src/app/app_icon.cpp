// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The shell_rux developers
#include "app/app_icon.h"

#include <QDirIterator>

namespace rux {

QIcon AppIcon() {
  QIcon icon;
  QDirIterator sizes(":/icons", QDir::Files, QDirIterator::Subdirectories);
  while (sizes.hasNext()) icon.addFile(sizes.next());
  return icon;
}

}  // namespace rux
