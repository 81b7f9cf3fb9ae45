#include "platform/widgets/dialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "platform/widgets/modal.h"

namespace rux {

void DataExchange::Text(QLineEdit* edit, QString& value) {
  if (saving_)
    value = edit->text();
  else if (edit->text() != value)
    edit->setText(value);
}

void DataExchange::Text(QPlainTextEdit* edit, QString& value) {
  if (saving_) {
    value = edit->toPlainText();
  } else if (edit->toPlainText() != value) {
    edit->setPlainText(value);
    edit->moveCursor(QTextCursor::End);
  }
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

int SelectByPrefix(QComboBox* combo, const QString& text) {
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
