#include "platform/widgets/dialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextCursor>
#include <QTextDocument>
#include <limits>

#include "platform/widgets/modal.h"

namespace rux {

void DataExchange::Text(QLineEdit* edit, QString& value) {
  if (saving_)
    value = edit->text();
  else if (edit->text() != value)
    edit->setText(value);
}

namespace {

// The text a plain text edit shows, remembered from its last exchange until
// its document changes. A text of megabytes (the main window's log) is then
// not copied out again by an exchange with no edit since, and a refresh that
// only adds to the end inserts only what was added.
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
    if (!known_) Remember(edit_->toPlainText());
    return text_;
  }

  void Show(const QString& value) {
    const QString& shown = Text();
    if (shown == value) return;
    QTextDocument* document = edit_->document();
    if (value.startsWith(shown)) {
      // Like setPlainText, the change cannot be undone by the user.
      const QString added = value.sliced(shown.size());
      const bool undo = document->isUndoRedoEnabled();
      document->setUndoRedoEnabled(false);
      QTextCursor end(document);
      end.movePosition(QTextCursor::End);
      end.insertText(added);
      document->setUndoRedoEnabled(undo);
    } else {
      edit_->setPlainText(value);
    }
    edit_->moveCursor(QTextCursor::End);
    if (ReadsBackAsIs(value)) Remember(value);
  }

 private:
  explicit ShownText(QPlainTextEdit* edit) : QObject(edit), edit_(edit) {}

  // A document gives back what was put in, except for these characters:
  // line and paragraph breaks other than \n become \n, no-break space a blank.
  static bool ReadsBackAsIs(const QString& text) {
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

  // Any change of the document's text forgets the remembered one. The
  // document reports the change before the edit raises textChanged, so a
  // read from a textChanged handler sees the new text.
  void Watch() {
    if (document_ == edit_->document()) return;
    if (document_) disconnect(document_, nullptr, this, nullptr);
    document_ = edit_->document();
    known_ = false;
    connect(document_, &QTextDocument::contentsChange, this, [this] { known_ = false; });
  }

  void Remember(const QString& text) {
    text_ = text;
    known_ = true;
  }

  QPlainTextEdit* edit_;
  QPointer<QTextDocument> document_;
  QString text_;
  bool known_ = false;
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
  // An entry that is the text itself comes first: with "abc" listed before
  // "ab", the text "ab" shows "ab", not "abc".
  const int exact = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (exact >= 0 && !text.isEmpty()) {
    combo->setCurrentIndex(exact);
    return exact;
  }
  for (int i = 0; i < combo->count(); ++i) {
    if (combo->itemText(i).startsWith(text, Qt::CaseInsensitive)) {
      combo->setCurrentIndex(i);
      return i;
    }
  }
  return -1;
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
