#include "platform/widgets/decoration.h"

#include <QLabel>

namespace rux {

QWidget* MakeBanner(QWidget* parent, const QString& title, int height) {
  auto* banner = new QLabel(title, parent);
  banner->setObjectName("banner");
  banner->setFixedHeight(height);
  banner->setAlignment(Qt::AlignCenter);
  banner->setStyleSheet(
      "QLabel { color: #f4e9c8; font: bold 18px; letter-spacing: 3px;"
      " background: qlineargradient(x1:0, y1:0, x2:1, y2:0,"
      " stop:0 #102a43, stop:0.5 #2f5d8a, stop:1 #102a43); }");
  return banner;
}

QWidget* MakeSideStrip(QWidget* parent, int width) {
  auto* strip = new QLabel(parent);
  strip->setObjectName("sideStrip");
  strip->setFixedWidth(width);
  strip->setStyleSheet(
      "QLabel { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
      " stop:0 #2f5d8a, stop:1 #102a43); }");
  return strip;
}

QWidget* MakeBar(QWidget* parent) {
  auto* bar = new QLabel(parent);
  bar->setFixedHeight(4);
  bar->setStyleSheet("QLabel { background: #2f5d8a; }");
  return bar;
}

}  // namespace rux
