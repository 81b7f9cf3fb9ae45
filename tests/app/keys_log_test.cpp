// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The shell_rux developers
// Choosing a Key Book and a Master Key in the main window, and the log panel's buttons.
#include <cstdio>
#include <functional>

#include "app_fixture.h"

namespace rux::test {
namespace {

const QString kNoKey = "ERROR: No Master Key present, select one and try again.";

// A chosen book lists its live names and reads record 1; picking counts deleted records; a
// cancelled picker asks for a book or lists it again; a book that cannot be read is said.
TEST_F(AppTest, ChoosingABookAndAMasterKey) {
  prompts.CancelPick();
  Press("keyBookBrowse");
  const std::string book = Book({"nnnova", nullptr, "twin", "cl\u00e9", "twin"});
  ChooseBook(book);
  EXPECT_EQ(
      QStringList({Field("keyNumber"), window.m_strMasterKeyName, window.m_strKey[0],
                   window.m_strKey[10], Combo()->currentText(), prompts.All()[2].initialName}),
      QStringList({"1", "nnnova", "nnnova-k1", "5000000000", "nnnova", "*.*"}));
  for (const auto& [entry, picked] : {std::pair{3, "3 twin-k1"}, {2, "4 cl\u00e9-k1"}}) {
    PickEntry(Combo(), entry);
    EXPECT_EQ(Field("keyNumber") + " " + window.m_strKey[0], picked);
  }
  window.UpdateData(false);  // as any later refresh does: the entry stays
  EXPECT_EQ(Combo()->currentText(), "cl\u00e9");
  Book({"nnnova", nullptr, "twin", "cl\u00e9", "twin", "grown"});
  prompts.CancelPick();
  Press("keyBookBrowse");
  ChooseBook(dir.File("missing.dat"));
  EXPECT_EQ(Entries(Combo()), QStringList({"nnnova", "twin", "cl\u00e9", "twin", "grown"}));
  EXPECT_EQ(window.m_strMasterKeyName, "cl\u00e9");
  window.m_strKeyBook = QString::fromStdString(book);
  window.UpdateData(false);
  std::remove(book.c_str());  // vanishes between two actions
  PickEntry(Combo(), 4);
  EXPECT_EQ(Field("keyNumber") + " " + window.m_strMasterKeyName, "1 grown");
  EXPECT_EQ(prompts.Boxes(),
            QStringList({kNoKey, kBookNotAccessible, kBookNotAccessible, kBookNotAccessible}));
}

// Typing into the box completes and selects nothing; Enter presses the default button.
TEST_F(AppTest, TypingANameIntoTheBoxSelectsNothingAndEnterGoesToTheDefaultButton) {
  ChooseBook(Book({"alpha", "beta", "gamma"}));
  window.show();  // active, so that focus moves
  QApplication::setActiveWindow(&window);
  QLineEdit* edit = Combo()->lineEdit();
  for (const char* typed : {"gam", "gamma", "Beta"}) {
    edit->clear();
    edit->setFocus();
    QTest::keyClicks(edit, typed);
    EXPECT_EQ(edit->text(), typed);
    modal.Then<CKeysDlg>([](CKeysDlg& d) { d.reject(); });
    QTest::keyClick(edit, Qt::Key_Return);
    window.ParamField(1)->setFocus();  // leaving the box
    EXPECT_EQ(QStringList({Field("keyNumber"), window.m_strMasterKeyName}),
              QStringList({"1", "alpha"}));
  }
  EXPECT_EQ(modal.Titles(), QStringList(3, "shell_rux KEYS"));
  EXPECT_EQ(prompts.Boxes(), QStringList());
}

// Key management hands back book, name and number on OK only; without a book it asks for one.
TEST_F(AppTest, KeyManagementHandsBackItsChoiceOnOkOnly) {
  const std::string first = Book({"a1", "a2"}, "first.dat");
  const std::string second = Book({"b1", nullptr, "b3"}, "second.dat");
  ChooseBook(first);
  Book({"a1", "a2", "a3"}, "first.dat");  // changed meanwhile
  const auto keysBefore = window.m_strKey;
  prompts.Pick(QString::fromStdString(second));
  QStringList opened;
  for (const bool ok : {false, true}) {
    modal.Then<CKeysDlg>([&, ok](CKeysDlg& d) {
      opened << d.m_strKeyBook + " " + d.m_strMasterKeyName + " " + QString::number(d.m_nKeyNumber);
      if (ok) Child<QPushButton>(&d, "browse")->click();
      d.RefreshOnRepaint();
      PickEntry(Child<QComboBox>(&d, "masterKeyName"), 1);
      ok ? d.accept() : d.reject();
    });
  }
  modal.Then<CKeysDlg>([](CKeysDlg& d) { d.reject(); });
  Press("keyManagement");
  EXPECT_EQ(Field("keyNumber") + " " + Entries(Combo()).join(','), "1 a1,a2,a3");
  Press("keyManagement");
  EXPECT_EQ(opened, QStringList(2, QString::fromStdString(first) + " a1 1"));
  EXPECT_EQ(QStringList({window.m_strKeyBook, window.m_strMasterKeyName, Field("keyNumber"),
                         Entries(Combo()).join(',')}),
            QStringList({QString::fromStdString(second), "b3", "3", "b1,b3"}));
  EXPECT_EQ(window.m_strKey, keysBefore);
  window.m_strKeyBook.clear();
  window.UpdateData(false);
  Press("keyManagement");
  EXPECT_EQ(prompts.Boxes(), QStringList({kNoKey}));
}

QString KeysEntry(const std::string& book, int number, const QString& name) {
  QString entry = "\n FECHA: " + kStamp + "\nLibro Claves: " + QString::fromStdString(book) +
                  "\nNumero de Clave: " + QString::number(number);
  for (int n = 1; n <= 10; ++n) entry += QString("\nClave%1: %2-k%1").arg(n).arg(name);
  return entry + "\nClave11: 5000000000\nClave12: 3250000000.01\n";
}

// "Copy Keys to Log" appends only the record last read from the book still chosen.
TEST_F(AppTest, CopyKeysAppendsOnlyTheTextsOfTheRecordItNames) {
  Press("copyKeysToLog");  // before any read: no Key Book, number 0
  const std::string book = Book({"alpha", "beta"});
  ChooseBook(book);
  QTest::keyClicks(window.LogPanel(), "typed");
  PickEntry(Combo(), 1);
  EXPECT_EQ(window.LogPanel()->toPlainText(), "typed");
  Press("copyKeysToLog");
  EXPECT_EQ(window.LogPanel()->toPlainText(), "typed" + KeysEntry(book, 2, "beta"));
  EXPECT_EQ(prompts.Boxes(), QStringList({kBookNotAccessible}));
  WriteBytes(dir.File("empty.dat"), "");
  // Changes after record 1 of the book was read; whether its texts are still appended.
  const std::pair<std::function<void()>, bool> steps[] = {
      {[&] { std::remove(book.c_str()); }, true},
      {[&] { ChooseBook(dir.File("empty.dat")); }, false},
      {[&] { ChooseBook(dir.Path()); }, false},  // cannot be read
  };
  for (const auto& [change, appended] : steps) {
    ChooseBook(Book({"alpha", "beta"}));
    window.LogPanel()->clear();
    change();
    Press("copyKeysToLog");
    EXPECT_EQ(window.m_strLog, appended ? KeysEntry(book, 1, "alpha") : QString());
  }
}

// "Clear Log" asks first; in "Edit Log" SAVE and Enter store, Quit drops, Ctrl+Enter breaks a line.
TEST_F(AppTest, ClearLogAndEditLog) {
  QTest::keyClicks(window.LogPanel(), "kept");
  prompts.Answer(Answer::Cancel).Answer(Answer::Ok);
  Press("clearLog");
  EXPECT_EQ(window.LogPanel()->toPlainText(), "kept");
  Press("clearLog");
  EXPECT_EQ(QStringList({window.m_strLog, window.LogPanel()->toPlainText()}), QStringList(2, ""));
  EXPECT_EQ(prompts.Boxes(),
            QStringList(2, "LOG DELETE: ATTENTION! Are you sure you want to delete LOG?"));

  QTest::keyClicks(window.LogPanel(), "typed");
  window.AppendLog(" old");  // takes what was typed first
  QTest::keyClicks(window.LogPanel(), " more");
  const auto text = [](CLogDlg& log) { return Child<QPlainTextEdit>(&log, "logText"); };
  modal.Then<CLogDlg>([&](CLogDlg& log) {
    EXPECT_EQ(log.windowTitle(), "shell_rux LOG");
    EXPECT_EQ(text(log)->toPlainText(), "typed old more");
    text(log)->setPlainText("edited");
    Child<QPushButton>(&log, "save")->click();
  });
  modal.Then<CLogDlg>([&](CLogDlg& log) {
    text(log)->setPlainText("thrown away");
    Child<QPushButton>(&log, "quit")->click();
  });
  modal.Then<CLogDlg>([&](CLogDlg& log) {
    text(log)->moveCursor(QTextCursor::End);
    QTest::keyClick(text(log), Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClicks(text(log), "more");
    QTest::keyClick(text(log), Qt::Key_Return);
  });
  QStringList logs;
  for (int i = 0; i < 3; ++i) {
    Press("editLog");
    logs << window.LogPanel()->toPlainText();
  }
  EXPECT_EQ(logs, QStringList({"edited", "edited", "edited\nmore"}));
}

}  // namespace
}  // namespace rux::test
