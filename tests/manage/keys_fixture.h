#pragma once
// The key management window run as the main window runs it, over a Key Book
// made with the Key Book library (editing/book_fixture.h).
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "editing/book_fixture.h"
#include "manage/keys_dlg.h"
#include "support/modal_script.h"
#include "support/scripted_prompts.h"
#include "support/widget_find.h"

namespace rux::test {

class KeysTest : public ::testing::Test {
 protected:
  // Queue the steps first (this window, then what it opens), then run it.
  // Keeps what the window hands back: book, name and number.
  int RunKeys(const std::string& path, const QString& name = QString(), int number = 0) {
    CKeysDlg keys;
    keys.m_strKeyBook = QString::fromStdString(path);
    keys.m_strMasterKeyName = name;
    keys.m_nKeyNumber = number;
    const int result = keys.DoModal();
    returned = {keys.m_strKeyBook, keys.m_strMasterKeyName, QString::number(keys.m_nKeyNumber)};
    return result;
  }

  static QComboBox* List(QDialog& d) { return Child<QComboBox>(&d, "masterKeyName"); }
  static void Click(QDialog& d, const char* button) { Child<QPushButton>(&d, button)->click(); }
  static QStringList Entries(QDialog& d) {
    QStringList entries;
    for (int i = 0; i < List(d)->count(); ++i) entries << List(d)->itemText(i);
    return entries;
  }
  // The user picks list entry index.
  static void Pick(QDialog& d, int index) {
    List(d)->setCurrentIndex(index);
    emit List(d)->activated(index);
  }
  // The texts of the fields, joined by blanks.
  static QString Shown(QDialog& d, std::initializer_list<const char*> fields) {
    QStringList texts;
    for (const char* field : fields) texts << Child<QLineEdit>(&d, field)->text();
    return texts.join(' ');
  }
  QString Book() const { return QString::fromStdString(book); }

  CapturedDiagnostics quiet;
  ScriptedPrompts prompts;
  ModalScript modal;
  TempDir dir;
  std::string book = dir.File("book.dat");
  QStringList returned;
};

}  // namespace rux::test
