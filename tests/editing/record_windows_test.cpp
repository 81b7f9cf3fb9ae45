// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The shell_rux developers
// The new master key window and the modify window, run as the key management
// window runs them: what they store, show and say.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <filesystem>

#include <gtest/gtest.h>

#include "editing/book_fixture.h"
#include "editing/modify_dlg.h"
#include "editing/new_master_key_dlg.h"
#include "platform/files/file_lock.h"
#include "support/modal_script.h"
#include "support/scripted_prompts.h"
#include "support/widget_find.h"

namespace rux::test {
namespace {

class RecordWindows : public ::testing::Test {
 protected:
  // Runs the window on record number of the book at path; the step types into it and ends it.
  template <typename Window>
  int Run(std::function<void(Window&)> step, int number = 1, const std::string& path = {}) {
    Window window;
    window.m_strKeyBook = QString::fromStdString(path.empty() ? book : path);
    window.m_nKeyNumber = number;
    if constexpr (std::is_same_v<Window, CModifyDlg>) Prime(window);
    ModalScript modal;
    modal.Then<Window>(std::move(step));
    return window.DoModal();
  }
  // With the name and stored texts of its record, as the key window opens it.
  static void Prime(CModifyDlg& window) {
    const Lookup read = ReadFields(window.m_strKeyBook.toStdString(), window.m_nKeyNumber);
    if (!read.record) return;
    window.m_strMasterKeyName = QString::fromStdString(read.record->name);
    for (int i = 0; i < 10; ++i)
      window.m_strKey[i] = QString::fromStdString(read.record->fields[i]);
    window.m_strEnlarge = QString::fromStdString(read.record->fields[10]);
    window.m_strScramble = QString::fromStdString(read.record->fields[11]);
    window.m_shownRecord = read.record;
  }
  static QLineEdit* Field(QDialog& d, const QString& name) { return Child<QLineEdit>(&d, name); }

  ScriptedPrompts prompts;
  TempDir dir;
  std::string book = dir.File("book.dat");
};

// Typing is limited to what a book holds: 19 characters of name, 64 of a key,
// only characters Windows-1252 has. Each change of Enlarge or Scramble is
// checked, in the new master key window before its text shows, in the modify
// window after. Clearing Enlarge and an infinite Scramble store the zero form
// after their conversion messages; Cancel stores nothing. A failed write is
// never reported as success and the window keeps what was typed: a book another
// program holds, a book whose folder is a file. A record another program changed
// since it was loaded is left as it is, and the modify window closes with Cancel.
TEST_F(RecordWindows, WhatTheWindowsStoreShowAndSay) {
  const LockPatience impatient(std::chrono::milliseconds(0));
  const QString warning =
      "Wrong number. Only numeric and  \" , \" \" . \"  characters allowed, try again.";
  const std::pair<const char*, int> warnings[] = {
      {"25", 0}, {"-3", 2}, {"05", 2}, {"7", 0}, {"x", 1}};
  QStringList frozen;  // the fields that still show their former text when a box comes up
  prompts.onPrompt = [&](const Prompt&) {
    for (QWidget* w : QApplication::allWidgets()) {
      if (!w->updatesEnabled()) frozen << w->objectName();
    }
  };
  QStringList kept;  // after each OK that cannot write: Key 1, or how the window closed
  bool closed = false;
  const auto ok = [&](Dialog& d) {
    closed = false;
    Field(d, "key1")->setText("typed");
    QObject::connect(&d, &QDialog::finished, [&] { closed = true; });
    d.accept();
    kept << (closed ? QString("closed %1").arg(d.ModalResult()) : Field(d, "key1")->text());
  };
  Run<CNewMasterKeyDlg>([](CNewMasterKeyDlg& d) { d.reject(); });
  EXPECT_FALSE(Exists(book));
  Run<CNewMasterKeyDlg>([&](CNewMasterKeyDlg& d) {
    QTest::keyClicks(Field(d, "masterKeyName"), "abcdefghijklmnopqrstuvwxy");  // to 40 letters
    QTest::keyClicks(Field(d, "key1"), QString(70, 'k'));
    for (const char* letter : {"a", "\xE4\xB8\xAD", "\xC3\xB1"})  // a, 中, ñ
      QTest::sendKeyEvent(QTest::Click, Field(d, "key2"), Qt::Key_unknown,
                          QString::fromUtf8(letter), Qt::NoModifier);
    for (const auto& [typed, count] : warnings) {  // "05" begins with 0
      prompts.Clear();
      Field(d, "enlarge")->clear();
      QTest::keyClicks(Field(d, "enlarge"), typed);
      EXPECT_EQ(prompts.Boxes(), QStringList(count, "ENLARGE ERROR: " + warning)) << typed;
    }
    Field(d, "enlarge")->clear();
    Field(d, "scramble")->setText("1e400");
    d.accept();
  });
  MasterKeyRecord typed = KeyRecord("NAME_MASTER_KEYabcd", 0, 0);
  typed.keys = {std::string(64, 'k'), "a\xC3\xB1"};
  EXPECT_EQ(ReadBytes(book), BytesOf(typed));
  Run<CModifyDlg>([&](CModifyDlg& d) {
    QTest::keyClicks(Field(d, "scramble"), "x");
    for (const char* field : {"enlarge", "scramble"}) Field(d, field)->setText("1");
    const int holder = ::open(book.c_str(), O_RDONLY | O_CLOEXEC);
    ::flock(holder, LOCK_SH);
    ok(d);
    ::close(holder);
    WriteRecordAt(book, 1, KeyRecord("other"));
    ok(d);
  });
  CModifyDlg late;  // opened on "other", which another program replaces first
  late.m_strKeyBook = QString::fromStdString(book);
  late.m_nKeyNumber = 1;
  Prime(late);
  WriteRecordAt(book, 1, KeyRecord("late"));
  ModalScript modal;
  modal.Then<CModifyDlg>(ok);
  late.DoModal();
  WriteBytes(dir.File("plain"), "x");
  Run<CNewMasterKeyDlg>(
      [&](CNewMasterKeyDlg& d) {
        ok(d);
        d.reject();
      },
      1, dir.File("plain") + "/book.dat");
  EXPECT_EQ(ReadBytes(book), BytesOf(KeyRecord("late")));
  EXPECT_EQ(kept, QStringList({"typed", "closed 2", "closed 2", "typed"}));  // 2: Cancel
  EXPECT_EQ(prompts.Boxes(),
            QStringList(
                {"ENLARGE ERROR: " + warning, "SCRAMBLE ERROR: " + warning,
                 "ERROR: Attention! Error in the Enlarge Key conversion.",
                 "ERROR: Attention! Error in the Scramble Key conversion.",
                 "MODIFY: The Key Book: " + QString::fromStdString(book) + "\nhas been modified.",
                 "SCRAMBLE: Scramble is: +.0000000000", "SCRAMBLE ERROR: " + warning,
                 "ERROR: The Key Book is in use by another program, try again later.",
                 "ERROR: The Master Key has been changed by another program, nothing was written.",
                 "SCRAMBLE: Scramble is: 3250000000.01",
                 "ERROR: The Master Key has been changed by another program, nothing was written.",
                 "ERROR: The Key Book is not accessible, access is denied."}));
  EXPECT_EQ(frozen, QStringList(5, "enlarge") << "scramble");
}

}  // namespace
}  // namespace rux::test
