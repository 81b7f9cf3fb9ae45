#pragma once
// The decorative pictures of the windows, drawn by the program: a banner, a
// strip down the left edge and thin bars between bands.
#include <QWidget>

namespace rux {

QWidget* MakeBanner(QWidget* parent, const QString& title, int height = 46);
QWidget* MakeSideStrip(QWidget* parent, int width = 22);
QWidget* MakeBar(QWidget* parent);

}  // namespace rux
