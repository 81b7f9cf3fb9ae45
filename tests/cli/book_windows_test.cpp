// book add and book modify leave the bytes the new master key window and the
// modify window leave for the same fields, and warn on standard error with
// the texts of the windows' boxes.
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

std::vector<std::string> Sorted(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  std::sort(lines.begin(), lines.end());
  return lines;
}

// Types the fields into the window and presses OK; returns its boxes, but the
// closing MODIFY and the modify window's SCRAMBLE, as "CAPTION: text" lines.
template <class Window>
std::string Accept(Window& window, const Fields& fields) {
  ScriptedPrompts prompts;
  QuietBook quiet;
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

using BookWindows = CliTest;

TEST_F(BookWindows, AddAndModifyStoreWhatTheWindowsStore) {
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
    // Added from lines, into the deleted slot.
    CNewMasterKeyDlg adding;
    adding.m_strKeyBook = QString::fromStdString(windowBook);
    const std::string addBoxes = Accept(adding, fields);
    const CliResult added = RunCli({"book", "add", book}, Lines(fields));
    EXPECT_EQ(added.out, "2\n");
    EXPECT_EQ(Sorted(added.err), Sorted(addBoxes));
    // Modified from a JSON object; the window primed as the key management
    // window primes it, with the stored texts.
    QuietBook quietWindow;  // the command ends the quiet of the fixture
    CModifyDlg modifying;
    const NamedRecord stored = *ReadFields(windowBook, 3).record;
    modifying.m_strKeyBook = QString::fromStdString(windowBook);
    modifying.m_nKeyNumber = 3;
    modifying.m_strMasterKeyName = QString::fromStdString(stored.name);
    for (int i = 0; i < 10; ++i) modifying.m_strKey[i] = QString::fromStdString(stored.fields[i]);
    modifying.m_strEnlarge = QString::fromStdString(stored.fields[10]);
    modifying.m_strScramble = QString::fromStdString(stored.fields[11]);
    const std::string modifyBoxes = Accept(modifying, fields);
    const CliResult modified = RunCli({"book", "modify", book, "3", "--json"}, Json(fields));
    EXPECT_EQ(modified.status, 0);
    EXPECT_EQ(Sorted(modified.err), Sorted(modifyBoxes));
    EXPECT_EQ(ReadBytes(book), ReadBytes(windowBook));
  }
}

}  // namespace
}  // namespace rux::test
