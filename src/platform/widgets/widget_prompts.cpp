#include "platform/widgets/widget_prompts.h"

#include <QAbstractScrollArea>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

namespace rux {

namespace {

// A text too long for a message box (a loaded log, say) is shown whole in a
// scrolling box with the same caption and buttons.
bool TooLongForABox(const QString& text) { return text.size() > 2000 || text.count('\n') > 30; }

// A read-only view of a text that draws only the lines in sight, so a text of
// a million lines shows at once and is not copied. A line ends at \n, \r or
// \r\n. The font has letters of one width: the longest line is the widest.
class LinesView : public QAbstractScrollArea {
 public:
  LinesView(const QString& text, QWidget* parent) : QAbstractScrollArea(parent), text_(text) {
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    const bool returns = text.contains('\r');
    starts_.reserve(text.count('\n') + (returns ? text.count('\r') : 0) + 2);
    qsizetype longest = 0;
    for (qsizetype start = 0;;) {
      starts_.push_back(start);
      qsizetype end = text.indexOf('\n', start);
      if (returns) {
        const qsizetype ret = text.indexOf('\r', start);
        if (ret >= 0 && (end < 0 || ret < end)) end = ret;
      }
      if (end < 0) end = text.size();
      if (end - start > Line(longest).size()) longest = static_cast<qsizetype>(starts_.size()) - 1;
      if (end == text.size()) break;
      start = end + (QStringView(text).sliced(end).startsWith(u"\r\n") ? 2 : 1);
    }
    starts_.push_back(text.size() + 1);  // where a line after the last would start
    widest_ = fontMetrics().horizontalAdvance(Line(longest).toString()) + 2 * kMargin;
  }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QAbstractScrollArea::resizeEvent(event);
    const int lines = static_cast<int>(starts_.size() - 1);
    const int page = std::max(1, viewport()->height() / fontMetrics().lineSpacing());
    verticalScrollBar()->setRange(0, std::max(0, lines - page));
    verticalScrollBar()->setPageStep(page);
    horizontalScrollBar()->setRange(0, std::max(0, widest_ - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(fontMetrics().averageCharWidth());
  }

  // Ctrl+C copies the whole text, as in a message box.
  void keyPressEvent(QKeyEvent* event) override {
    if (event->matches(QKeySequence::Copy))
      QGuiApplication::clipboard()->setText(text_);
    else
      QAbstractScrollArea::keyPressEvent(event);
  }

  void paintEvent(QPaintEvent*) override {
    QPainter painter(viewport());
    const QFontMetrics metrics = fontMetrics();
    const int x = kMargin - horizontalScrollBar()->value();
    int y = kMargin + metrics.ascent();
    for (qsizetype row = verticalScrollBar()->value();
         row + 1 < static_cast<qsizetype>(starts_.size()) &&
         y - metrics.ascent() < viewport()->height();
         ++row, y += metrics.lineSpacing())
      painter.drawText(x, y, Line(row).toString());
  }

 private:
  static constexpr int kMargin = 4;

  // The line without its line break; empty past the last one.
  QStringView Line(qsizetype row) const {
    if (row + 1 >= static_cast<qsizetype>(starts_.size())) return {};
    QStringView line = QStringView(text_).sliced(starts_[row]);
    line = line.first(std::min(line.size(), starts_[row + 1] - starts_[row]));
    while (line.endsWith(u'\n') || line.endsWith(u'\r')) line.chop(1);
    return line;
  }

  QString text_;
  std::vector<qsizetype> starts_;  // where each line starts
  int widest_ = 0;
};

Answer ScrollingMessage(QWidget* owner, const QString& text, const QString& caption,
                        Buttons buttons, Icon icon) {
  QDialog box(owner);
  box.setWindowTitle(caption);
  auto* layout = new QVBoxLayout(&box);
  auto* row = new QHBoxLayout;
  if (icon == Icon::Exclamation) {
    auto* picture = new QLabel(&box);
    const int size = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize);
    picture->setPixmap(box.style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(size));
    row->addWidget(picture, 0, Qt::AlignTop);
  }
  auto* view = new LinesView(text, &box);
  view->setObjectName("text");
  row->addWidget(view);
  layout->addLayout(row);
  auto* answer = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
  if (buttons == Buttons::OkCancel) answer->addButton(QDialogButtonBox::Cancel);
  QObject::connect(answer, &QDialogButtonBox::accepted, &box, &QDialog::accept);
  QObject::connect(answer, &QDialogButtonBox::rejected, &box, &QDialog::reject);
  layout->addWidget(answer);
  box.resize(640, 420);
  return box.exec() == QDialog::Accepted ? Answer::Ok : Answer::Cancel;
}

}  // namespace

Answer WidgetPrompts::Message(QWidget* owner, const QString& text, const QString& caption,
                              Buttons buttons, Icon icon) {
  if (TooLongForABox(text)) return ScrollingMessage(owner, text, caption, buttons, icon);
  QMessageBox box(icon == Icon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon, caption,
                  text, QMessageBox::Ok, owner);
  if (buttons == Buttons::OkCancel) box.addButton(QMessageBox::Cancel);
  box.setDefaultButton(QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);
  return box.exec() == QMessageBox::Ok ? Answer::Ok : Answer::Cancel;
}

std::optional<QString> WidgetPrompts::PickFile(QWidget* owner, PickerKind kind,
                                               const QString& initialName, bool overwritePrompt) {
  // "*.*" names no file: the picker then starts in the current folder.
  QString start;
  if (!initialName.isEmpty() && initialName != "*.*") start = initialName;
  QFileDialog::Options options = QFileDialog::DontUseNativeDialog;
  QString path;
  if (kind == PickerKind::Open) {
    path = QFileDialog::getOpenFileName(owner, "Open", start, QString(), nullptr, options);
  } else {
    if (!overwritePrompt) options |= QFileDialog::DontConfirmOverwrite;
    path = QFileDialog::getSaveFileName(owner, "Save As", start, QString(), nullptr, options);
  }
  if (path.isEmpty()) return std::nullopt;
  return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

}  // namespace rux
