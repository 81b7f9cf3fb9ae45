// book list | show | add | modify | delete | search: what each prints and
// what it leaves in the book; add and modify leave the bytes the new master
// key window and the modify window leave for the same fields, and warn on
// standard error with the texts of the windows' boxes.
#include <QComboBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <algorithm>
#include <map>

#include "cli_fixture.h"
#include "editing/modify_dlg.h"
#include "editing/new_master_key_dlg.h"
#include "support/modal_script.h"
#include "support/scripted_prompts.h"
#include "support/widget_find.h"

namespace rux::test {
namespace {

// Field name on standard input -> text typed into the window's field.
using Fields = std::map<std::string, std::string>;

std::string Lines(const Fields& fields) {
  std::string lines;
  for (const auto& [name, value] : fields) lines += name + "=" + value + "\n";
  return lines;
}

std::string Json(const Fields& fields) {
  QJsonObject object;
  for (const auto& [name, value] : fields)
    object[QString::fromStdString(name)] = QString::fromStdString(value);
  return QJsonDocument(object).toJson().toStdString();
}

// Types the fields into the window and presses OK; returns its boxes, but the
// closing MODIFY and the modify window's SCRAMBLE, as "CAPTION: text" lines.
template <class Window>
std::string Accept(Window& window, const Fields& fields) {
  ScriptedPrompts prompts;
  ModalScript modal;
  modal.Then<Window>([&](Window& shown) {
    for (const auto& [name, value] : fields) {
      QWidget* control =
          Child<QWidget>(&shown, QString::fromStdString(name == "name" ? "masterKeyName" : name));
      auto* edit = qobject_cast<QLineEdit*>(control);
      if (auto* combo = qobject_cast<QComboBox*>(control)) edit = combo->lineEdit();
      ASSERT_NE(edit, nullptr) << name;
      edit->setText(QString::fromStdString(value));
    }
    shown.accept();
  });
  EXPECT_EQ(window.DoModal(), Dialog::IDOK);
  std::string lines;
  for (const Prompt& box : prompts.Messages())
    if (box.caption != "MODIFY" && box.caption != "SCRAMBLE")
      lines += (box.caption + ": " + box.text).toStdString() + "\n";
  return lines;
}

using BookCommands = CliTest;

TEST_F(BookCommands, DeleteMarksTheRecordListAndSearchShowWhatIsLeft) {
  MakeBook(book, {KeyRecord("zeta"), KeyRecord("two"), KeyRecord("año"), KeyRecord("")});
  const CliResult deleted = RunCli({"book", "delete", book, "2"});
  EXPECT_EQ(deleted.status, 0);
  EXPECT_EQ(deleted.out + deleted.err, "");
  EXPECT_EQ(RecordOf(ReadBytes(book), 2), DeletedMark());
  const CliResult live = RunCli({"book", "list", book});
  EXPECT_EQ(live.status, 0);
  EXPECT_EQ(live.out, "1\tzeta\n3\taño\n4\t\n");
  EXPECT_EQ(RunCli({"book", "list", book, "--all"}).out, "1\tzeta\n2\t\tdeleted\n3\taño\n4\t\n");
  // Key 1 and Key 10 of record 3.
  EXPECT_EQ(RunCli({"book", "search", book, "año-k1"}).out,
            std::to_string(2 * RECORD_SIZE + KeyOffset(1)) + "\t3\n" +
                std::to_string(2 * RECORD_SIZE + KeyOffset(10)) + "\t3\n");
}

TEST_F(BookCommands, ShowGivesTheStoredTextsAndTheScrambleAsTheModifyWindowShowsIt) {
  MakeBook(book, {KeyRecord("one"), KeyRecord("two", 5, 0.05)});
  std::string keys;
  for (int n = 1; n <= 10; ++n)
    keys += "key" + std::to_string(n) + "=two-k" + std::to_string(n) + "\n";
  const CliResult text = RunCli({"book", "show", book, "2"});
  EXPECT_EQ(text.status, 0);
  EXPECT_EQ(text.out, "number=2\nname=two\n" + keys +
                          "enlarge-stored=5000000000\nscramble-stored=5000000000.0-1\n"
                          "scramble=+.05000000000\n");
  const CliResult json = RunCli({"book", "show", book, "1", "--json"});
  const QJsonObject object = QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).object();
  EXPECT_EQ(object["scramble-stored"].toString(), "3250000000.01");
  EXPECT_EQ(object["scramble"].toString(), "+3.250000000");
}

TEST_F(BookCommands, AddFillsTheFirstDeletedSlotThenAppends) {
  MakeBook(book, {KeyRecord("one"), std::nullopt});
  EXPECT_EQ(RunCli({"book", "add", book}, "name=new\n").out, "2\n");
  EXPECT_EQ(RunCli({"book", "add", book}, "name=new\n").out, "3\n");
  EXPECT_EQ(ReadBytes(book).size(), 3u * RECORD_SIZE);
  EXPECT_EQ(RecordOf(ReadBytes(book), 2), RecordOf(ReadBytes(book), 3));
}

TEST_F(BookCommands, ModifyWithNothingGivenRewritesTheSameBytes) {
  for (double scramble : {3.25, 0.05, -2.0, 3.25e12, 1e-12, 1e300}) {
    MakeBook(book, {KeyRecord("one", 0.5, scramble), KeyRecord("two", 9.87654321e20, scramble)});
    const std::string before = ReadBytes(book);
    for (const char* number : {"1", "2"}) {
      EXPECT_EQ(RunCli({"book", "modify", book, number}).status, 0);
      EXPECT_EQ(ReadBytes(book), before) << scramble << " in record " << number;
    }
  }
}

TEST_F(BookCommands, AddAndModifyStoreWhatTheWindowsStore) {
  const Fields cases[] = {
      {},
      {{"name", "Ana María"},
       {"key1", "a b"},
       {"key7", "ñ€"},
       {"enlarge", "2,5"},
       {"scramble", "-3.25e-7"}},
      {{"key10", std::string(64, 'k')}, {"enlarge", "abc"}, {"scramble", "0"}},
      {{"name", ""}, {"enlarge", "1e400"}, {"scramble", ""}},
  };
  const std::string windowBook = dir.File("window.dat");
  for (const Fields& fields : cases) {
    SCOPED_TRACE(Lines(fields));
    for (const std::string& path : {book, windowBook})
      MakeBook(path, {KeyRecord("one"), std::nullopt, KeyRecord("three", 12.5, -0.0625)});
    CapturedDiagnostics quietWindows;  // each command ends the quiet it finds
    // The new master key window adds into the deleted slot; the modify window
    // changes record 3, primed as the key management window primes it.
    CNewMasterKeyDlg adding;
    adding.m_strKeyBook = QString::fromStdString(windowBook);
    const std::string addBoxes = Accept(adding, fields);
    CModifyDlg modifying;
    const NamedRecord stored = *ReadFields(windowBook, 3).record;
    modifying.m_strKeyBook = QString::fromStdString(windowBook);
    modifying.m_nKeyNumber = 3;
    modifying.m_strMasterKeyName = QString::fromStdString(stored.name);
    for (int i = 0; i < 10; ++i) modifying.m_strKey[i] = QString::fromStdString(stored.fields[i]);
    modifying.m_strEnlarge = QString::fromStdString(stored.fields[10]);
    modifying.m_strScramble = QString::fromStdString(stored.fields[11]);
    const std::string modifyBoxes = Accept(modifying, fields);
    // The commands: add from lines, modify from a JSON object.
    const CliResult added = RunCli({"book", "add", book}, Lines(fields));
    EXPECT_EQ(added.out, "2\n");
    EXPECT_EQ(added.err, addBoxes);  // the same boxes, in the same order
    const CliResult modified = RunCli({"book", "modify", book, "3", "--json"}, Json(fields));
    EXPECT_EQ(modified.status, 0);
    EXPECT_EQ(modified.err, modifyBoxes);
    EXPECT_EQ(ReadBytes(book), ReadBytes(windowBook));
  }
}

}  // namespace
}  // namespace rux::test
