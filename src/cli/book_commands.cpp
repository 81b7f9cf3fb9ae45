// book list | show | add | modify | delete | search
#include <sys/stat.h>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <charconv>
#include <cstring>
#include <ostream>
#include <sstream>

#include "cli/command.h"
#include "cli/field_input.h"
#include "cli/terminal_text.h"
#include "editing/rules/field_rules.h"
#include "keybook/key_book.h"
#include "platform/text/cp1252.h"

namespace rux::cli {
namespace {

constexpr char kNotAccessible[] = "The Key Book is not accessible, access is denied.";
constexpr char kInUse[] = "The Key Book is in use by another program.";

// Why a book could not be read or written, with the system's reason.
std::string FailureText(OpenResult open) {
  return open == OpenResult::InUse ? kInUse : kNotAccessible;
}
std::string FailureText(const WriteResult& result) {
  if (result == WriteResult::InUse) return kInUse;
  if (result.error == 0) return kNotAccessible;
  return std::string("The Key Book could not be written: ") + std::strerror(result.error);
}
constexpr std::size_t kPrintedAtOnce = 1 << 16;

// The Key Book code writes its diagnostics here while a command runs; what it
// wrote goes to standard error line by line, blank lines left out.
class DiagnosticsTo {
 public:
  explicit DiagnosticsTo(std::ostream* shown) : shown_(shown) { SetDiagnostics(&captured_); }
  ~DiagnosticsTo() {
    SetDiagnostics(nullptr);
    if (!shown_) return;
    std::string line;
    while (std::getline(captured_, line)) {
      // The length messages of one record come without line ends: one a line.
      for (std::size_t next; (next = line.find(kLengthMessage, 1)) != std::string::npos;) {
        *shown_ << line.substr(0, next) << '\n';
        line.erase(0, next);
      }
      if (!line.empty()) *shown_ << line << '\n';
    }
  }

 private:
  static constexpr char kLengthMessage[] = "error de longitud";
  std::ostream* shown_;
  std::stringstream captured_;
};

void RequireBook(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) Fail("no Key Book at " + path);
}

// A failure unless record number is there and live.
void RequireLive(const std::string& path, int number, bool present, bool deleted) {
  if (!present) Fail("no record " + std::to_string(number) + " in " + path);
  if (deleted) Fail("record " + std::to_string(number) + " is deleted");
}

// Record number of a live record of an existing book, or a failure.
NamedRecord LiveRecord(const std::string& path, int number) {
  RequireBook(path);
  Lookup lookup = ReadFields(path, number);
  if (lookup.open != OpenResult::Ok) Fail(FailureText(lookup.open));
  RequireLive(path, number, lookup.record.has_value(), lookup.record && lookup.record->deleted);
  return *lookup.record;
}

// The record as the modify window loads it. The load lists the keys on the
// diagnostics stream: not for the terminal.
MasterKeyRecord Load(const std::string& path, int number) {
  MasterKeyRecord record;
  DiagnosticsTo silent(nullptr);
  if (LoadRecord(path, number, record) != LoadResult::Loaded)
    Fail("record " + std::to_string(number) + " could not be read");
  return record;
}

int List(Arguments& args, Streams& io) {
  const std::string path = args.Next("BOOK");
  const bool all = args.Flag("all");
  args.Done();
  RequireBook(path);
  // Printed as read, some lines at a time: the memory does not grow with the book.
  std::string lines;
  OpenResult open = OpenResult::Ok;
  const bool listed = ForEachName(
      path,
      [&](std::uint64_t number, const NameEntry& entry) {
        if (entry.deleted && !all) return;
        char digits[24];
        lines.append(digits, std::to_chars(digits, digits + sizeof digits, number).ptr);
        if (!entry.deleted)
          lines.append("\t").append(TerminalSafe(entry.name)).append("\n");
        else
          lines.append("\t\tdeleted\n");
        if (lines.size() >= kPrintedAtOnce) {
          io.out << lines;
          lines.clear();
        }
      },
      &open);
  if (!listed) Fail(FailureText(open));
  io.out << lines;
  return kOk;
}

const char* const kStoredNames[12] = {"key1", "key2",  "key3",           "key4",
                                      "key5", "key6",  "key7",           "key8",
                                      "key9", "key10", "enlarge-stored", "scramble-stored"};

int Show(Arguments& args, Streams& io) {
  const std::string path = args.Next("BOOK");
  const int number = RecordNumber(args.Next("N"));
  const bool json = args.Flag("json");
  args.Done();
  const NamedRecord stored = LiveRecord(path, number);
  const std::string shownScramble = FormatScramble(Load(path, number));
  if (json) {
    QJsonObject object{{"number", number}, {"name", QString::fromStdString(stored.name)}};
    QJsonArray keys;
    for (int i = 0; i < 10; ++i) keys.append(QString::fromStdString(stored.fields[i]));
    object["keys"] = keys;
    object["enlarge-stored"] = QString::fromStdString(stored.fields[10]);
    object["scramble-stored"] = QString::fromStdString(stored.fields[11]);
    object["scramble"] = QString::fromStdString(shownScramble);
    io.out << TerminalSafe(QJsonDocument(object).toJson(QJsonDocument::Indented).toStdString(),
                           "\n");
    return kOk;
  }
  io.out << "number=" << number << "\nname=" << TerminalSafe(stored.name) << '\n';
  for (int i = 0; i < 12; ++i)
    io.out << kStoredNames[i] << '=' << TerminalSafe(stored.fields[i]) << '\n';
  io.out << "scramble=" << shownScramble << '\n';
  return kOk;
}

// The texts of a record being edited, as the editing windows hold them.
struct EditedTexts {
  std::string name;
  std::array<std::string, 10> keys;
  std::string enlarge;
  std::string scramble;

  void Apply(const FieldInput& input) {
    if (input.name) name = *input.name;
    for (int i = 0; i < 10; ++i)
      if (input.keys[i]) keys[i] = *input.keys[i];
    if (input.enlarge) enlarge = *input.enlarge;
    if (input.scramble) scramble = *input.scramble;
  }
};

// The windows' live checks and their conversion at OK; warnings on standard error.
MasterKeyRecord Convert(const EditedTexts& texts, const std::string& path, std::ostream& err) {
  MasterKeyRecord record;
  record.bookPath = path;
  record.name = texts.name;
  for (int i = 0; i < 10; ++i) record.keys[i] = texts.keys[i];
  const std::pair<NumericField, const std::string*> numeric[] = {
      {NumericField::Enlarge, &texts.enlarge}, {NumericField::Scramble, &texts.scramble}};
  // As in the windows: the warnings while typing first, then the conversion at OK.
  for (const auto& [field, text] : numeric)
    if (NeedsWarning(field, *text))
      err << LiveCheckCaption(field) << ": " << kWrongNumberWarning << '\n';
  for (const auto& [field, text] : numeric) {
    const ConvertedValue converted = ConvertAtOk(*text);
    if (converted.conversionError) err << "ERROR: " << ConversionMessage(field) << '\n';
    (field == NumericField::Enlarge ? record.enlarge : record.scramble) = converted.value;
  }
  return record;
}

int Add(Arguments& args, Streams& io) {
  const std::string path = args.Next("BOOK");
  const bool json = args.Flag("json");
  args.Done();
  EditedTexts texts{"NAME_MASTER_KEY", {}, "1", "1"};
  texts.Apply(ReadFieldInput(io.in, json));
  MasterKeyRecord record = Convert(texts, path, io.err);
  StoreResult stored;
  {
    DiagnosticsTo shown(&io.err);
    stored = StoreNewRecord(path, record);
  }
  if (stored.write != WriteResult::Written) Fail(FailureText(stored.write));
  io.out << (stored.slot != 0 ? stored.slot : static_cast<int>(record.recordCount) + 1) << '\n';
  return kOk;
}

int Modify(Arguments& args, Streams& io) {
  const std::string path = args.Next("BOOK");
  const int number = RecordNumber(args.Next("N"));
  const bool json = args.Flag("json");
  args.Done();
  RequireBook(path);
  // Standard input is read before the book is held: it may take its time.
  const FieldInput input = ReadFieldInput(io.in, json);
  std::ostringstream warnings;
  WriteResult written;
  {
    DiagnosticsTo shown(&io.err);
    // Read, decide and write with the book held: no other program's change
    // to the record comes between.
    written = ChangeRecord(path, number, [&](std::string_view bytes) -> std::optional<std::string> {
      RequireLive(path, number, !bytes.empty(), IsDeletedRecord(bytes));
      const NamedRecord stored = NamedRecordOf(number, bytes);
      MasterKeyRecord loaded;
      std::ostream nowhere(nullptr);
      ReadRecord(bytes, loaded, nowhere);
      // As the modify window opens: the stored texts, the Scramble rebuilt.
      EditedTexts texts{stored.name, {}, stored.fields[10], FormatScramble(loaded)};
      for (int i = 0; i < 10; ++i) texts.keys[i] = stored.fields[i];
      texts.Apply(input);
      return RecordBytes(Convert(texts, path, warnings), Diagnostics());
    });
    io.err << warnings.str();
  }
  if (written != WriteResult::Written) Fail(FailureText(written));
  return kOk;
}

int Delete(Arguments& args, Streams&) {
  const std::string path = args.Next("BOOK");
  const int number = RecordNumber(args.Next("N"));
  args.Done();
  RequireBook(path);
  const WriteResult written = MarkDeleted(path, number, [&](std::string_view bytes) {
    RequireLive(path, number, !bytes.empty(), IsDeletedRecord(bytes));
    return true;
  });
  if (written != WriteResult::Written) Fail(FailureText(written));
  return kOk;
}

int Search(Arguments& args, Streams& io) {
  const std::string path = args.Next("BOOK");
  const std::string text = args.Next("TEXT");
  args.Done();
  RequireBook(path);
  if (!FitsCp1252(text)) Fail("the text holds characters a Key Book cannot hold");
  const OpenResult read = SearchText(path, text, [&](std::uint64_t offset) {
    io.out << offset << '\t' << offset / RECORD_SIZE + 1 << '\n';
    return true;
  });
  if (read != OpenResult::Ok) Fail(FailureText(read));
  return kOk;
}

}  // namespace

int BookCommand(Arguments& args, Streams& io) {
  const std::string verb = args.Next("book command (list, show, add, modify, delete, search)");
  if (verb == "list") return List(args, io);
  if (verb == "show") return Show(args, io);
  if (verb == "add") return Add(args, io);
  if (verb == "modify") return Modify(args, io);
  if (verb == "delete") return Delete(args, io);
  if (verb == "search") return Search(args, io);
  UsageFail("unknown book command " + verb);
}

}  // namespace rux::cli
