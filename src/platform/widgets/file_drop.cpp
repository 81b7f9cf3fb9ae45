// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The shell_rux developers
#include "platform/widgets/file_drop.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include "platform/seams/prompts.h"

namespace rux {
namespace {

// Stands over the installed prompts while a dropped file is taken: the first
// picker gets the file, everything else goes on to the prompts below.
class DroppedFileAnswer : public Prompts {
 public:
  explicit DroppedFileAnswer(QString path) : path_(std::move(path)), below_(CurrentPrompts()) {
    InstallPrompts(this);
  }
  ~DroppedFileAnswer() override { InstallPrompts(&below_); }

  Answer Message(QWidget* owner, const QString& text, const QString& caption, Buttons buttons,
                 Icon icon) override {
    return below_.Message(owner, text, caption, buttons, icon);
  }

  std::optional<QString> PickFile(QWidget* owner, PickerKind kind, const QString& initialName,
                                  bool overwritePrompt) override {
    if (answered_) return below_.PickFile(owner, kind, initialName, overwritePrompt);
    answered_ = true;
    if (kind == PickerKind::Save && overwritePrompt && QFileInfo::exists(path_) &&
        !Confirm(owner, path_ + "\nalready exists. Do you want to replace it?", "REPLACE"))
      return std::nullopt;
    return path_;
  }

 private:
  QString path_;
  Prompts& below_;
  bool answered_ = false;
};

class FileDropFilter : public QObject {
 public:
  FileDropFilter(QWidget& window, std::vector<DropRow> rows)
      : QObject(&window), window_(window), rows_(std::move(rows)) {}

  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
      case QEvent::DragEnter:
      case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (drag->mimeData()->hasUrls() && RowAt(drag->position().toPoint()))
          drag->acceptProposedAction();
        else
          drag->ignore();
        return true;
      }
      case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const DropRow* row = RowAt(drop->position().toPoint());
        if (!drop->mimeData()->hasUrls() || !row) {
          drop->ignore();
          return true;
        }
        drop->acceptProposedAction();
        // Taken once the drop is over: the boxes it may show must not hold
        // up the program the file was dragged from.
        QMetaObject::invokeMethod(
            this,
            [this, browse = row->browse, urls = drop->mimeData()->urls()] { Take(urls, browse); },
            Qt::QueuedConnection);
        return true;
      }
      default:
        return false;
    }
  }

 private:
  // The row whose controls' bounding box holds the point of the window.
  const DropRow* RowAt(QPoint point) const {
    for (const DropRow& row : rows_) {
      QRect area;
      for (const QWidget* control : row.controls) {
        if (control->isVisibleTo(&window_))
          area |= QRect(control->mapTo(&window_, QPoint(0, 0)), control->size());
      }
      if (area.contains(point)) return &row;
    }
    return nullptr;
  }

  void Take(const QList<QUrl>& urls, const std::function<void()>& browse) {
    if (urls.size() != 1) {
      MessageBox(&window_, "Drop one file at a time: several were dropped.", "ERROR");
    } else if (!urls.front().isLocalFile()) {
      MessageBox(&window_, "Only a file of this computer can be dropped here.", "ERROR");
    } else if (const QString path = urls.front().toLocalFile(); QFileInfo(path).isDir()) {
      MessageBox(&window_, "ERROR: " + path + "\nis a folder. Drop a file.", "ERROR");
    } else {
      DroppedFileAnswer answer(path);
      browse();
    }
  }

  QWidget& window_;
  std::vector<DropRow> rows_;
};

}  // namespace

void AcceptFileDrops(QWidget& window, std::vector<DropRow> rows) {
  window.setAcceptDrops(true);
  window.installEventFilter(new FileDropFilter(window, std::move(rows)));
}

}  // namespace rux
