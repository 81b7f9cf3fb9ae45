#pragma once
// The key management window run as the main window runs it, over a Key Book
// made with the Key Book library.
#include <gtest/gtest.h>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTest>

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

  static QComboBox* List(CKeysDlg& d) { return Child<QComboBox>(&d, "masterKeyName"); }
  static QPushButton* Button(QDialog& d, const char* name) { return Child<QPushButton>(&d, name); }
  static QStringList Entries(CKeysDlg& d) {
    QStringList entries;
    for (int i = 0; i < List(d)->count(); ++i) entries << List(d)->itemText(i);
    return entries;
  }
  // The user picks list entry index.
  static void Pick(CKeysDlg& d, int index) {
    List(d)->setCurrentIndex(index);
    emit List(d)->activated(index);
  }
  static QString Shown(QDialog& d, const char* field) {
    return Child<QLineEdit>(&d, field)->text();
  }
  static QStringList Shown(QDialog& d, std::initializer_list<const char*> fields) {
    QStringList texts;
    for (const char* field : fields) texts << Shown(d, field);
    return texts;
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
