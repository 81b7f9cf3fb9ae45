#include "platform/widgets/dialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <limits>

#include "platform/widgets/long_list.h"
#include "platform/widgets/modal.h"

namespace rux {

void DataExchange::Text(QLineEdit* edit, QString& value) {
  if (saving_)
    value = edit->text();
  else if (edit->text() != value)
    edit->setText(value);
}

namespace {

bool Same(const QString& a, const QString& b) { return a.isSharedWith(b) || a == b; }

// A document holds a paragraph per line break, and a text of a million lines
// then takes seconds and hundreds of megabytes to put in and to draw. A line
// separator reads back as \n all the same, so a text goes in as paragraphs of
// about kParagraphLength characters, their lines kept apart by line
// separators. A line break is \n, \r or \r\n, as the document counts them;
// each becomes one \n when read back.
constexpr qsizetype kParagraphLength = 4096;
constexpr qsizetype kPieceLength = qsizetype(1) << 16;

void InsertInParagraphs(QTextCursor& cursor, QStringView text) {
  const bool returns = text.contains(u'\r');
  const auto nextBreak = [&](qsizetype from) {
    if (!returns) return text.indexOf(u'\n', from);
    for (qsizetype at = from; at < text.size(); ++at)
      if (text[at] == u'\n' || text[at] == u'\r') return at;
    return qsizetype(-1);
  };
  QString piece;
  piece.reserve(kPieceLength);
  qsizetype paragraph = 0;  // characters since the last paragraph break
  for (qsizetype at = 0; at < text.size();) {
    piece.clear();
    while (at < text.size() && piece.size() < kPieceLength) {
      const qsizetype found = nextBreak(at);
      const qsizetype end = found < 0 ? text.size() : found;
      const qsizetype run = std::min(end - at, kPieceLength - piece.size());
      piece += text.sliced(at, run);
      paragraph += run;
      at += run;
      if (at != found) continue;
      at += text.sliced(at).startsWith(u"\r\n") ? 2 : 1;
      const bool newParagraph = paragraph >= kParagraphLength;
      piece += newParagraph ? QChar(u'\n') : QChar(QChar::LineSeparator);
      paragraph = newParagraph ? 0 : paragraph + 1;
    }
    cursor.insertText(piece);
  }
}

// The text a plain text edit shows, remembered from its last exchange with
// the member. A text of megabytes (the main window's log) is then neither
// copied out by a read nor put in again by a refresh while neither side
// changed it, and a refresh that only adds to the end inserts only what was
// added. Typing since the last exchange is kept by a refresh that finds the
// member as it was exchanged: the next read takes it.
class ShownText : public QObject {
 public:
  static ShownText& Of(QPlainTextEdit* edit) {
    for (QObject* child : edit->children()) {
      if (auto* shown = dynamic_cast<ShownText*>(child)) return *shown;
    }
    return *new ShownText(edit);
  }

  // What the edit returns as its text.
  const QString& Text() {
    Watch();
    if (edited_ || !readsBack_) Exchanged(edit_->toPlainText(), true);
    return exchanged_;
  }

  void Show(const QString& value) {
    Watch();
    if (edited_ && Same(value, exchanged_)) return;
    const QString& shown = Text();
    if (Same(shown, value)) return;
    QTextDocument* document = edit_->document();
    // Like setPlainText, the change cannot be undone by the user.
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    const bool adds = value.startsWith(shown);
    // A document keeps the memory of text taken out of it until it is emptied.
    if (!adds) document->setPlainText(QString());
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    const QStringView added = QStringView(value).sliced(adds ? shown.size() : 0);
    InsertInParagraphs(cursor, added);
    cursor.endEditBlock();
    document->setUndoRedoEnabled(undo);
    edit_->moveCursor(QTextCursor::End);
    Exchanged(value, ReadsBackAsIs(added));
  }

 private:
  explicit ShownText(QPlainTextEdit* edit) : QObject(edit), edit_(edit) {}

  // A document gives back what was put in, except for these characters:
  // line and paragraph breaks other than \n become \n, no-break space a blank.
  static bool ReadsBackAsIs(QStringView text) {
    for (QChar c : text) {
      switch (c.unicode()) {
        case u'\r':
        case 0x00A0:
        case 0x2028:
        case 0x2029:
        case 0xFDD0:
        case 0xFDD1:
          return false;
      }
    }
    return true;
  }

  // Any change of the document's text since the last exchange is an edit.
  // The document reports the change before the edit raises textChanged, so a
  // read from a textChanged handler sees the new text.
  void Watch() {
    if (document_ == edit_->document()) return;
    if (document_) disconnect(document_, nullptr, this, nullptr);
    document_ = edit_->document();
    readsBack_ = false;
    connect(document_, &QTextDocument::contentsChange, this, [this] { edited_ = true; });
  }

  void Exchanged(const QString& text, bool readsBack) {
    exchanged_ = text;
    edited_ = false;
    readsBack_ = readsBack;
  }

  QPlainTextEdit* edit_;
  QPointer<QTextDocument> document_;
  QString exchanged_;       // the text last read from the edit or shown in it
  bool edited_ = false;     // the document changed since
  bool readsBack_ = false;  // the document, unchanged, gives back exchanged_
};

}  // namespace

void DataExchange::Text(QPlainTextEdit* edit, QString& value) {
  ShownText& shown = ShownText::Of(edit);
  if (saving_)
    value = shown.Text();
  else
    shown.Show(value);
}

void DataExchange::Number(QLineEdit* edit, int& value) {
  if (saving_) {
    bool ok = false;
    int parsed = edit->text().trimmed().toInt(&ok);
    if (ok) value = parsed;
  } else {
    const QString shown = QString::number(value);
    if (edit->text() != shown) edit->setText(shown);
  }
}

void HoldAnyLength(QLineEdit* edit) { edit->setMaxLength(std::numeric_limits<int>::max()); }

int SelectByPrefix(QComboBox* combo, const QString& text) {
  const LongList* list = LongList::Of(combo);
  const int row = list ? list->Find(text) : -1;
  if (row >= 0) combo->setCurrentIndex(row);
  return row;
}

void DataExchange::ComboText(QComboBox* combo, QString& value) {
  if (saving_) {
    value = combo->currentText();
    return;
  }
  if (SelectByPrefix(combo, value) < 0) {
    combo->setCurrentIndex(-1);
    combo->setEditText(value);
  }
}

Dialog::Dialog(QWidget* parent) : QDialog(parent) {}

int Dialog::DoModal() {
  result_ = IDCANCEL;
  OnInitDialog();
  RunModal(*this);
  return result_;
}

bool Dialog::UpdateData(bool saveAndValidate) {
  DataExchange dx(saveAndValidate);
  ++exchangeDepth_;
  DoDataExchange(dx);
  --exchangeDepth_;
  return true;
}

void Dialog::EndDialog(int result) {
  result_ = result;
  done(result == IDOK ? QDialog::Accepted : QDialog::Rejected);
}

bool Dialog::OnInitDialog() {
  UpdateData(false);
  return true;
}

void Dialog::OnOK() {
  if (UpdateData(true)) EndDialog(IDOK);
}

void Dialog::OnCancel() { EndDialog(IDCANCEL); }

}  // namespace rux
