// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The shell_rux developers
//
// The windows for screen readers and keyboard users, and files dropped onto
// the main window.
#include <QAbstractButton>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QUrl>

#include "app/config/configuration_file.h"
#include "app_fixture.h"

namespace rux::test {
namespace {

QString Described(const QWidget* control) {
  return control->objectName() + " \"" + control->accessibleName() + "\"";
}

// Every control has a name a screen reader says (a button its text), and Tab
// goes through the window in reading order: down, along each row to the
// right, and down a column of keys before the next.
void ExpectAccessible(QDialog& window) {
  SCOPED_TRACE(window.windowTitle().toStdString());
  window.adjustSize();
  for (QWidget* control : window.findChildren<QWidget*>()) {
    auto* button = qobject_cast<QAbstractButton*>(control);
    const bool input = qobject_cast<QLineEdit*>(control) || qobject_cast<QComboBox*>(control) ||
                       qobject_cast<QPlainTextEdit*>(control);
    if ((!button && !input) || !control->isVisibleTo(&window)) continue;
    const QString said =
        control->accessibleName().isEmpty() && button ? button->text() : control->accessibleName();
    EXPECT_FALSE(said.isEmpty()) << "no name: " << Described(control).toStdString();
  }
  std::vector<QWidget*> tabbed;
  for (QWidget* w = window.nextInFocusChain(); w != &window; w = w->nextInFocusChain()) {
    if (w->isVisibleTo(&window) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
        !w->focusProxy())
      tabbed.push_back(w);
  }
  const auto place = [&window](const QWidget* w) {
    return QRect(w->mapTo(&window, QPoint(0, 0)), w->size());
  };
  for (std::size_t i = 1; i < tabbed.size(); ++i) {
    const QRect a = place(tabbed[i - 1]);
    const QRect b = place(tabbed[i]);
    const bool sameRow = a.top() < b.bottom() && b.top() < a.bottom();
    const bool nextColumn = b.left() >= a.right();  // Key 5, then Key 6 at the top of its column
    EXPECT_TRUE(sameRow ? b.left() > a.left() : b.top() >= a.bottom() || nextColumn)
        << Described(tabbed[i - 1]).toStdString() << " then " << Described(tabbed[i]).toStdString();
  }
}

QString NameOf(const QWidget& window, const char* control) {
  return Child<QWidget>(&window, control)->accessibleName();
}

TEST_F(AppTest, EveryWindowNamesItsControlsAndTabsInReadingOrder) {
  ChooseBook(MakeBook(dir, {"a1", "a2"}));
  const auto check = [](QDialog& d) {
    ExpectAccessible(d);
    d.reject();
  };
  modal.Then([&](QDialog&) {
    ExpectAccessible(window);
    EXPECT_EQ(
        QStringList({NameOf(window, "keyBook"), NameOf(window, "masterKeyCombo"),
                     NameOf(window, "keyNumber"), NameOf(window, "enginePath"),
                     NameOf(window, "param14"), NameOf(window, "log")}),
        QStringList({"Key Book", "Master Key", "Number", "PATH RUX4.EXE", "Parameter 14", "LOG"}));
    EXPECT_EQ(Child<QWidget>(&window, "targetBrowse")->accessibleDescription(), "Target File");
    EXPECT_EQ(window.windowIcon().availableSizes().size(), 7);
    Press("keyManagement");
    Press("editLog");
    window.actions()[1]->trigger();
    window.EndDialog(Dialog::IDCANCEL);
  });
  modal.Then([&](QDialog& keys) {
    ExpectAccessible(keys);
    EXPECT_EQ(NameOf(keys, "key6"), "Key 6");
    for (const char* button : {"new", "modify", "search"})
      Child<QAbstractButton>(&keys, button)->click();
    keys.reject();
  });
  modal
      .Then([&](QDialog& newKey) {
        QWidget* next = Child<QWidget>(&newKey, "key5")->nextInFocusChain();
        while (!(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
        EXPECT_EQ(next->objectName(), "key6");
        check(newKey);
      })
      .Then(check)
      .Then([&](QDialog& search) {
        EXPECT_EQ(NameOf(search, "searchText"), "Text to Search...");
        check(search);
      });
  modal.Then(check).Then(check);
  window.DoModal();
  EXPECT_EQ(modal.Titles(),
            QStringList({"shell_rux  4.5", "shell_rux KEYS", "shell_rux NEW MASTER KEY",
                         "shell_rux MODIFY", "shell_rux SEARCH", "shell_rux LOG", "shell_rux"}));
}

// Drops the data onto a control of the main window as the desktop does: the
// window, which takes the drops, gets them at the control's centre. Whether
// the drop was accepted; a drop is taken once the events are handled.
bool Drop(CShellruxDlg& window, QWidget* control, const QMimeData& data) {
  window.adjustSize();
  const QPoint at = control->mapTo(&window, control->rect().center());
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &enter);
  QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &drop);
  QCoreApplication::sendPostedEvents();
  return enter.isAccepted() && drop.isAccepted();
}

void Drop(CShellruxDlg& window, QWidget* control, const QList<QUrl>& urls) {
  QMimeData data;
  data.setUrls(urls);
  EXPECT_TRUE(Drop(window, control, data)) << control->objectName().toStdString();
}

QUrl Local(const std::string& path) { return QUrl::fromLocalFile(QString::fromStdString(path)); }

// Each row takes a dropped file as its Browse button takes a chosen one: the
// name arrives exactly, the target's replace question is asked, the Key Book
// list is refilled and a configuration is loaded, and no picker shows.
TEST_F(AppTest, DroppedFilesAreTakenAsTheRowsBrowseTakesThem) {
  const std::string odd = " l'été \"à\" b ";
  const std::string book = MakeBook(dir, {"a1", "a2"}, {}, "book" + odd);
  for (const char* name : {"source", "target", "verify"}) WriteBytes(dir.File(name + odd), "x");
  ConfigurationValues loaded;
  loaded.keyBook = QString::fromStdString(book);
  loaded.log = "the loaded log";
  ASSERT_TRUE(WriteConfigurationFile(QString::fromStdString(dir.File("config" + odd)), loaded));
  prompts.Answer(Answer::Cancel).Answer(Answer::Ok);  // replace the target: no, then yes

  Drop(window, Child<QLineEdit>(&window, "sourceFile"), {Local(dir.File("source" + odd))});
  Drop(window, Child<QWidget>(&window, "targetBrowse"), {Local(dir.File("target" + odd))});
  EXPECT_TRUE(window.m_strTargetFile.isEmpty());
  Drop(window, Child<QLineEdit>(&window, "targetFile"), {Local(dir.File("target" + odd))});
  Drop(window, Child<QWidget>(&window, "verifyBrowse"), {Local(dir.File("verify" + odd))});
  Drop(window, Child<QLineEdit>(&window, "keyBook"), {Local(book)});
  EXPECT_EQ(window.m_nKeyNumber, 1);
  EXPECT_EQ(window.m_strMasterKeyName, "a1");
  EXPECT_EQ(ListEntries(Combo()), QStringList({"a1", "a2"}));
  const auto path = [&](const char* name) { return QString::fromStdString(dir.File(name + odd)); };
  EXPECT_EQ(QStringList({window.m_strSourceFile, window.m_strTargetFile, window.m_strVerifyFile,
                         Child<QLineEdit>(&window, "sourceFile")->text()}),
            QStringList({path("source"), path("target"), path("verify"), path("source")}));
  for (QLabel* label : window.findChildren<QLabel*>()) {
    if (label->text() == "CONFIGURATION:") Drop(window, label, {Local(dir.File("config" + odd))});
  }
  EXPECT_EQ(window.m_strConfigFile, path("config"));
  EXPECT_TRUE(window.m_strSourceFile.isEmpty());  // all fields are the loaded ones
  EXPECT_EQ(window.m_strLog, "the loaded log");
  const QString replace = path("target") + "\nalready exists. Do you want to replace it?";
  EXPECT_EQ(prompts.MessageTexts(), QStringList({replace, replace, "the loaded log"}));
  EXPECT_EQ(prompts.Captions(), QStringList({"REPLACE", "REPLACE", "LOG"}));
  EXPECT_EQ(prompts.All().size(), 3u);  // no picker
}

TEST_F(AppTest, SeveralFilesAFolderOrARemoteFileAreRefused) {
  WriteBytes(dir.File("one"), "1");
  WriteBytes(dir.File("two"), "2");
  QWidget* source = Child<QWidget>(&window, "sourceBrowse");
  Drop(window, source, {Local(dir.File("one")), Local(dir.File("two"))});
  Drop(window, source, {Local(dir.Path())});
  Drop(window, source, {QUrl("https://example.org/one")});
  EXPECT_EQ(
      prompts.MessageTexts(),
      QStringList({"Drop one file at a time: several were dropped.",
                   "ERROR: " + QString::fromStdString(dir.Path()) + "\nis a folder. Drop a file.",
                   "Only a file of this computer can be dropped here."}));
  EXPECT_EQ(prompts.Captions(), QStringList(3, "ERROR"));
  EXPECT_TRUE(window.m_strSourceFile.isEmpty());
  // Text dragged from elsewhere is not taken, nor a file off the rows.
  QMimeData text;
  text.setText(QString::fromStdString(dir.File("one")));
  EXPECT_FALSE(Drop(window, source, text));
  QMimeData file;
  file.setUrls({Local(dir.File("one"))});
  EXPECT_FALSE(Drop(window, Child<QWidget>(&window, "encode"), file));
  EXPECT_EQ(prompts.All().size(), 3u);
}

}  // namespace
}  // namespace rux::test
