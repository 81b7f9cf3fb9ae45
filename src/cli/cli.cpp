#include "cli/cli.h"

#include <algorithm>
#include <charconv>
#include <ostream>

#include "cli/command.h"
#include "cli/terminal_text.h"

namespace rux::cli {
namespace {

struct Help {
  const char* command;
  const char* text;
};

// One help text per command; "--help" after a command prints its own.
const Help kHelp[] = {
    {"",
     "usage: shell_rux-cli COMMAND ...\n"
     "  book list BOOK [--all]        live records, \"number<TAB>name\"\n"
     "  book show BOOK N [--json]     name and stored texts of record N\n"
     "  book add BOOK [--json]        store a new Master Key read from standard input\n"
     "  book modify BOOK N [--json]   rewrite record N with fields from standard input\n"
     "  book delete BOOK N            mark record N deleted\n"
     "  book search BOOK TEXT         \"offset<TAB>record number\" of every occurrence\n"
     "  config show FILE [--json]     the 22 values of a configuration file\n"
     "  config set FILE NAME=VALUE... create or update a configuration file\n"
     "  run CONFIG encode|decode [--yes]  run the engine job of a configuration\n"
     "  --version                     the program's version\n"
     "Every command takes --help. Exit status: 0 success, 2 usage error, else failure.\n"},
    {"book",
     "usage: shell_rux-cli book list|show|add|modify|delete|search BOOK ...\n"
     "A Key Book is a file of 705-byte Master Key records, numbered from 1.\n"},
    {"book list",
     "usage: shell_rux-cli book list BOOK [--all]\n"
     "One line per live record, in file order: number<TAB>name.\n"
     "--all also lists the deleted records: number<TAB><TAB>deleted.\n"},
    {"book show",
     "usage: shell_rux-cli book show BOOK N [--json]\n"
     "The name and the twelve stored field texts of record N (Key 1 ... Key 10, the\n"
     "Enlarge and Scramble texts as stored), and the Scramble as the modify window\n"
     "shows it.\n"},
    {"book add",
     "usage: shell_rux-cli book add BOOK [--json]\n"
     "Reads the fields from standard input, never from the arguments: lines\n"
     "name=..., key1=... key10=..., enlarge=..., scramble=... (or one JSON object\n"
     "with those names). Fields not given start as in the new master key window\n"
     "(name NAME_MASTER_KEY, empty keys, Enlarge 1, Scramble 1). The record goes\n"
     "into the first deleted slot, else after the last record; its number is printed.\n"},
    {"book modify",
     "usage: shell_rux-cli book modify BOOK N [--json]\n"
     "Rewrites record N in place with the fields read from standard input (as for\n"
     "book add); every field not given keeps its stored value.\n"},
    {"book delete",
     "usage: shell_rux-cli book delete BOOK N\n"
     "Marks record N deleted; the other records keep their numbers.\n"},
    {"book search",
     "usage: shell_rux-cli book search BOOK TEXT\n"
     "Every byte offset where the book holds TEXT (case counts), with the number of\n"
     "the record slot holding it: offset<TAB>record number.\n"},
    {"config", "usage: shell_rux-cli config show|set FILE ...\n"},
    {"config show",
     "usage: shell_rux-cli config show FILE [--json]\n"
     "The values of a configuration file, one NAME=VALUE line each (log lines are\n"
     "continued with a TAB), or one JSON object. Names: keybook source target verify\n"
     "number name param1 ... param14 log engine.\n"},
    {"config set",
     "usage: shell_rux-cli config set FILE NAME=VALUE ...\n"
     "Creates FILE or changes the named values, keeping the others. A new file starts\n"
     "as the main window does (engine rux4.exe, number 0, the rest empty). log=-\n"
     "reads the log from standard input. The file is written whole or not at all,\n"
     "readable by its owner only.\n"},
    {"run",
     "usage: shell_rux-cli run CONFIG encode|decode [--yes]\n"
     "Runs the engine job as the main window does with the values of CONFIG and\n"
     "saves the log entries back into CONFIG. Message boxes are printed on standard\n"
     "error, the console and the engine's output on standard output. Without --yes\n"
     "the confirmation is asked on the terminal. Exit status: 0 when the job's\n"
     "outcome is OK, else its error number (or 1).\n"},
};

// The longest known command the arguments begin with.
std::string CommandOf(const std::vector<std::string>& args) {
  std::string best;
  std::string prefix;
  for (const std::string& a : args) {
    if (a.starts_with("--")) break;
    prefix += prefix.empty() ? a : " " + a;
    for (const Help& h : kHelp)
      if (prefix == h.command) best = prefix;
  }
  return best;
}

const char* HelpText(const std::string& command) {
  for (const Help& h : kHelp)
    if (command == h.command) return h.text;
  return kHelp[0].text;
}

}  // namespace

Arguments::Arguments(const std::vector<std::string>& args, std::size_t first) {
  for (std::size_t i = first; i < args.size(); ++i) {
    if (args[i].starts_with("--") && args[i].size() > 2)
      flags_.push_back(args[i]);
    else
      positional_.push_back(args[i]);
  }
}

bool Arguments::Flag(const std::string& name) {
  auto it = std::find(flags_.begin(), flags_.end(), "--" + name);
  if (it == flags_.end()) return false;
  flags_.erase(it);
  return true;
}

std::string Arguments::Next(const char* what) {
  if (next_ >= positional_.size()) UsageFail(std::string("missing ") + what);
  return positional_[next_++];
}

std::vector<std::string> Arguments::Rest() {
  std::vector<std::string> rest(positional_.begin() + static_cast<long>(next_), positional_.end());
  next_ = positional_.size();
  return rest;
}

void Arguments::Done() {
  if (!flags_.empty()) UsageFail("unknown option " + flags_.front());
  if (next_ < positional_.size()) UsageFail("unexpected argument " + positional_[next_]);
}

int RecordNumber(const std::string& text) {
  int number = 0;
  const char* end = text.data() + text.size();
  auto [at, ec] = std::from_chars(text.data(), end, number);
  if (text.empty() || ec != std::errc() || at != end || number < 1)
    UsageFail("the record number must be a positive integer: " + text);
  return number;
}

int Run(const std::vector<std::string>& args, Streams io) {
  if (args == std::vector<std::string>{"--version"}) {
    io.out << "shell_rux-cli " << SHELLRUX_VERSION << '\n';
    return kOk;
  }
  if (std::find(args.begin(), args.end(), "--help") != args.end()) {
    io.out << HelpText(CommandOf(args));
    return kOk;
  }
  try {
    if (args.empty()) UsageFail("missing command (try --help)");
    Arguments rest(args, 1);
    if (args[0] == "book") return BookCommand(rest, io);
    if (args[0] == "config") return ConfigCommand(rest, io);
    if (args[0] == "run") return RunCommand(rest, io);
    UsageFail("unknown command " + args[0] + " (try --help)");
  } catch (const Failure& failure) {
    io.err << "shell_rux-cli: " << TerminalSafe(failure.message) << '\n';
    return failure.status;
  }
}

}  // namespace rux::cli
