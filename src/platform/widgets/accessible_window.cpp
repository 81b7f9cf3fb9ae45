// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The shell_rux developers
#include "platform/widgets/accessible_window.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <vector>

namespace rux {
namespace {

QString NameOf(const QLabel& label) {
  QString text = label.text().trimmed();
  if (text.endsWith(':')) text.chop(1);
  return text.trimmed();
}

struct Placed {
  QLayoutItem* item;
  int row;
  int column;
};

// A layout's items in reading order. Every item of a horizontal box is in
// one row; every item of a vertical box in a row of its own.
std::vector<Placed> ReadingOrder(QLayout& layout) {
  auto* grid = qobject_cast<QGridLayout*>(&layout);
  auto* box = qobject_cast<QBoxLayout*>(&layout);
  const bool across = box && (box->direction() == QBoxLayout::LeftToRight ||
                              box->direction() == QBoxLayout::RightToLeft);
  std::vector<Placed> items;
  for (int i = 0; i < layout.count(); ++i) {
    Placed placed{layout.itemAt(i), across ? 0 : i, across ? i : 0};
    if (grid) {
      int rowSpan = 0;
      int columnSpan = 0;
      grid->getItemPosition(i, &placed.row, &placed.column, &rowSpan, &columnSpan);
    }
    items.push_back(placed);
  }
  std::stable_sort(items.begin(), items.end(), [](const Placed& a, const Placed& b) {
    return a.row != b.row ? a.row < b.row : a.column < b.column;
  });
  return items;
}

class LayoutReader {
 public:
  // The controls in reading order.
  std::vector<QWidget*> controls;

  void Read(QLayout& layout, const QString& outerRowLabel) {
    const bool grid = qobject_cast<QGridLayout*>(&layout) != nullptr;
    QLabel* before = nullptr;  // the label just before the next item
    QString rowLabel;
    int row = -1;
    for (const Placed& placed : ReadingOrder(layout)) {
      if (placed.row != row) {
        row = placed.row;
        rowLabel = outerRowLabel;
        if (grid) before = nullptr;
      }
      if (QLayout* inner = placed.item->layout()) {
        Read(*inner, rowLabel);
        before = nullptr;
        continue;
      }
      QWidget* widget = placed.item->widget();
      if (!widget) continue;
      if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (NameOf(*label).isEmpty()) continue;  // a picture
        before = label;
        rowLabel = NameOf(*label);
        continue;
      }
      Take(*widget, before, rowLabel);
      before = nullptr;
    }
  }

 private:
  void Take(QWidget& widget, QLabel* before, const QString& rowLabel) {
    if (auto* button = qobject_cast<QAbstractButton*>(&widget)) {
      if (button->accessibleDescription().isEmpty()) button->setAccessibleDescription(rowLabel);
    } else if (widget.layout() && !before) {
      Read(*widget.layout(), rowLabel);  // a group of controls
      return;
    } else if (before && widget.accessibleName().isEmpty()) {
      widget.setAccessibleName(NameOf(*before));
      before->setBuddy(&widget);
    }
    // The edit part of a combo box is named as the box.
    if (auto* combo = qobject_cast<QComboBox*>(&widget); combo && combo->lineEdit()) {
      if (combo->lineEdit()->accessibleName().isEmpty())
        combo->lineEdit()->setAccessibleName(combo->accessibleName());
    }
    controls.push_back(&widget);
  }
};

}  // namespace

void MakeAccessible(QWidget& window) {
  if (!window.layout()) return;
  LayoutReader reader;
  reader.Read(*window.layout(), QString());
  QWidget* previous = nullptr;
  for (QWidget* control : reader.controls) {
    if (!(control->focusPolicy() & Qt::TabFocus)) continue;
    if (previous) QWidget::setTabOrder(previous, control);
    previous = control;
  }
}

}  // namespace rux
