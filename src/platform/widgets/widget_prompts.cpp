#include "platform/widgets/widget_prompts.h"

#include <QAbstractListModel>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

namespace rux {

namespace {

// A text too long for a message box (a loaded log, say) is shown whole in a
// scrolling box with the same caption and buttons.
bool TooLongForABox(const QString& text) { return text.size() > 2000 || text.count('\n') > 30; }

// The lines of a text for a list that draws only the lines in sight, so a
// text of a million lines shows at once and is not copied. A line ends at
// \n, \r or \r\n. Every line is given the size of the longest.
class TextLines : public QAbstractListModel {
 public:
  TextLines(const QString& text, QObject* parent) : QAbstractListModel(parent), text_(text) {
    const bool returns = text.contains('\r');
    starts_.reserve(text.count('\n') + (returns ? text.count('\r') : 0) + 2);
    qsizetype longestLength = -1;
    for (qsizetype start = 0;;) {
      starts_.push_back(start);
      qsizetype end = text.indexOf('\n', start);
      if (returns) {
        const qsizetype ret = text.indexOf('\r', start);
        if (ret >= 0 && (end < 0 || ret < end)) end = ret;
      }
      if (end < 0) end = text.size();
      if (end - start > longestLength) {
        longestLength = end - start;
        longest_ = static_cast<qsizetype>(starts_.size()) - 1;
      }
      if (end == text.size()) break;
      start = end + (QStringView(text).sliced(end).startsWith(u"\r\n") ? 2 : 1);
    }
    starts_.push_back(text.size() + 1);  // where a line after the last would start
  }

  // Each line as wide as the longest one in the font given, and as high as a line of it.
  void SizeLinesFor(const QFontMetrics& metrics) {
    lineSize_ =
        QSize(metrics.horizontalAdvance(Line(longest_).toString()) + 2 * metrics.averageCharWidth(),
              metrics.lineSpacing());
  }

  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(starts_.size() - 1);
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role == Qt::SizeHintRole) return lineSize_;
    if (role != Qt::DisplayRole) return {};
    return Line(index.row()).toString();
  }

 private:
  QStringView Line(qsizetype row) const {
    if (row + 1 >= static_cast<qsizetype>(starts_.size())) return {};
    QStringView line = QStringView(text_).sliced(starts_[row]);
    line = line.first(std::min(line.size(), starts_[row + 1] - starts_[row]));
    while (line.endsWith(u'\n') || line.endsWith(u'\r')) line.chop(1);
    return line;
  }

  QString text_;
  std::vector<qsizetype> starts_;
  qsizetype longest_ = 0;
  QSize lineSize_;
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
  auto* view = new QListView(&box);
  view->setObjectName("text");
  view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  view->setUniformItemSizes(true);
  view->setSelectionMode(QAbstractItemView::NoSelection);
  view->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  auto* lines = new TextLines(text, view);
  lines->SizeLinesFor(view->fontMetrics());
  view->setModel(lines);
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
