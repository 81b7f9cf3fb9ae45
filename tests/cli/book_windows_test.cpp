// book add and book modify leave the bytes the new master key window and the
// modify window leave for the same fields, and warn where the windows show a
// box.
#include <QComboBox>
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

// Field name on standard input -> text typed into the window's field of the
// same object name.
using Fields = std::map<std::string, std::string>;

std::string ObjectName(const std::string& field) {
  return field == "name" ? "masterKeyName" : field;
}

std::string InputLines(const Fields& fields) {
  std::string lines;
  for (const auto& [name, value] : fields) lines += name + "=" + value + "\n";
  return lines;
}

void Type(QDialog& window, const Fields& fields) {
  for (const auto& [name, value] : fields) {
    QWidget* control = Child<QWidget>(&window, QString::fromStdString(ObjectName(name)));
    auto* edit = qobject_cast<QLineEdit*>(control);
    if (auto* combo = qobject_cast<QComboBox*>(control)) edit = combo->lineEdit();
    ASSERT_NE(edit, nullptr) << name;
    edit->setText(QString::fromStdString(value));
  }
}

// The window's boxes before its closing "MODIFY" box as "CAPTION: text"
// lines, sorted; the command's warnings the same way.
std::vector<std::string> BoxLines(const ScriptedPrompts& prompts, const QString& skipCaption) {
  std::vector<std::string> lines;
  for (const Prompt& box : prompts.Messages())
    if (box.caption != "MODIFY" && box.caption != skipCaption)
      lines.push_back((box.caption + ": " + box.text).toStdString());
  std::sort(lines.begin(), lines.end());
  return lines;
}
std::vector<std::string> WarningLines(const std::string& err) {
  std::vector<std::string> lines;
  std::istringstream in(err);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  std::sort(lines.begin(), lines.end());
  return lines;
}

const Fields kCases[] = {
    {},
    {{"name", "Ana María"},
     {"key1", "a b"},
     {"key7", "ñ€"},
     {"enlarge", "2,5"},
     {"scramble", "-3.25e-7"}},
    {{"key10", std::string(64, 'k')}, {"enlarge", "abc"}, {"scramble", "0"}},
    {{"name", ""}, {"enlarge", "1e400"}, {"scramble", ""}},
};

class BookWindows : public CliTest {
 protected:
  std::string windowBook = dir.File("window.dat");
};

TEST_F(BookWindows, AddStoresWhatTheNewMasterKeyWindowStores) {
  for (const Fields& fields : kCases) {
    for (const std::string& path : {book, windowBook})
      MakeBook(path, {KeyRecord("one"), std::nullopt, KeyRecord("three")});
    ScriptedPrompts prompts;
    {
      QuietBook windowDiagnostics;
      ModalScript modal;
      modal.Then<CNewMasterKeyDlg>([&](CNewMasterKeyDlg& d) {
        Type(d, fields);
        d.accept();
      });
      CNewMasterKeyDlg window;
      window.m_strKeyBook = QString::fromStdString(windowBook);
      ASSERT_EQ(window.DoModal(), Dialog::IDOK);
    }
    const CliResult added = RunCli({"book", "add", book}, InputLines(fields));
    EXPECT_EQ(added.status, 0);
    EXPECT_EQ(added.out, "2\n");
    EXPECT_EQ(ReadBytes(book), ReadBytes(windowBook)) << InputLines(fields);
    EXPECT_EQ(WarningLines(added.err), BoxLines(prompts, "")) << InputLines(fields);
  }
}

TEST_F(BookWindows, ModifyWritesWhatTheModifyWindowWrites) {
  for (const Fields& fields : kCases) {
    for (const std::string& path : {book, windowBook})
      MakeBook(path, {KeyRecord("one"), KeyRecord("two", 12.5, -0.0625), KeyRecord("three")});
    ScriptedPrompts prompts;
    {
      QuietBook windowDiagnostics;
      // Primed as the key management window primes it: the stored texts.
      ModalScript modal;
      modal.Then<CModifyDlg>([&](CModifyDlg& d) {
        Type(d, fields);
        d.accept();
      });
      CModifyDlg window;
      const NamedRecord stored = *ReadFields(windowBook, 2).record;
      window.m_strKeyBook = QString::fromStdString(windowBook);
      window.m_nKeyNumber = 2;
      window.m_strMasterKeyName = QString::fromStdString(stored.name);
      for (int i = 0; i < 10; ++i) window.m_strKey[i] = QString::fromStdString(stored.fields[i]);
      window.m_strEnlarge = QString::fromStdString(stored.fields[10]);
      window.m_strScramble = QString::fromStdString(stored.fields[11]);
      ASSERT_EQ(window.DoModal(), Dialog::IDOK);
    }
    const CliResult modified = RunCli({"book", "modify", book, "2"}, InputLines(fields));
    EXPECT_EQ(modified.status, 0);
    EXPECT_EQ(ReadBytes(book), ReadBytes(windowBook)) << InputLines(fields);
    EXPECT_EQ(WarningLines(modified.err), BoxLines(prompts, "SCRAMBLE")) << InputLines(fields);
  }
}

}  // namespace
}  // namespace rux::test
