#include "engine/engine_job.h"

#include "engine/engine_contract.h"
#include "engine/job_text.h"
#include "engine/job_texts.h"
#include "platform/seams/child_process.h"
#include "platform/seams/console.h"
#include "platform/seams/prompts.h"
#include "platform/text/timestamp.h"

namespace rux {
namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

QString Stamp() { return QString::fromStdString(TimeStamp(Now())); }

void OpenConsole(const JobTexts& texts, JobWindow& window) {
  Console& console = CurrentConsole();
  console.Open();
  console.SetTitle(Text(texts.consoleTitle));
  const QString writes[] = {Text(texts.consoleWait), "\n Source File: " + window.SourceFile(),
                            "\n Target File: " + window.TargetFile(), Text(texts.consoleWait)};
  for (const QString& text : writes) console.Write(CutToConsoleBytes(text, kConsoleWriteBytes));
}

// The engine path, the Key Book, the source and the target must be named; a
// text of blanks counts as named.
bool MandatoryEmpty(JobWindow& window) {
  return window.EngineCommand().isEmpty() || window.KeyBook().isEmpty() ||
         window.SourceFile().isEmpty() || window.TargetFile().isEmpty();
}

void FillDefaults(JobWindow& window) {
  if (window.VerifyFile().isEmpty()) window.VerifyFile() = "0";
  for (int n = 1; n <= 14; ++n)
    if (window.Param(n).isEmpty()) window.Param(n) = "0";
}

EngineItems ItemsOf(JobWindow& window, char modeLetter) {
  EngineItems items;
  items.keyBook = window.KeyBook();
  items.keyNumber = window.KeyNumber();
  items.mode = modeLetter;
  items.source = window.SourceFile();
  items.target = window.TargetFile();
  items.verify = window.VerifyFile();
  for (int n = 1; n <= 14; ++n) items.params[n - 1] = window.Param(n);
  return items;
}

QString HeaderEntry(const JobTexts& texts, JobWindow& window, const QString& keyNumber) {
  const QString stamp = Stamp();
  QString entry = Text(kSeparatorLine);
  for (int i = 0; i < texts.dateLines; ++i) entry += Text(texts.dateLabel) + stamp;
  entry += Text(texts.heading);
  entry += Text(texts.configLabel) + window.ConfigFile();
  entry += Text(texts.programLabel) + window.EngineCommand();
  entry += Text(texts.keyBookLabel) + window.KeyBook();
  entry += Text(texts.keyNumberLabel) + keyNumber;
  entry += Text(texts.sourceLabel) + window.SourceFile();
  entry += Text(texts.targetLabel) + window.TargetFile();
  entry += Text(texts.verifyLabel) + window.VerifyFile();
  entry += Text(texts.parametersHeading);
  for (int n = 1; n <= 14; ++n) entry += Text(texts.parameterLabels[n - 1]) + window.Param(n);
  entry += Text(texts.waitLine);
  return entry;
}

// Starts the engine, shows its output until it ends and releases the console.
JobResult RunToEnd(const QString& program, const QString& commandLine) {
  Console& console = CurrentConsole();
  JobResult outcome;
  EngineStart start = RunEngine('"' + program + '"', commandLine);
  if (start.process) {
    const int status = console.Run(*start.process);
    start.process.reset();
    outcome.ok = status == 0;
    outcome.errorNumber = status;
  } else {
    outcome.errorNumber = start.error;
  }
  console.Release();
  return outcome;
}

}  // namespace

JobResult EngineJob(JobWindow& window, JobMode mode) {
  const JobTexts& texts = TextsFor(mode);
  QWidget* owner = window.Owner();

  window.FocusLog();
  for (int n = 1; n <= 14; ++n) window.SetParamFieldText(n, EscapeQuotes(window.Param(n)));

  const QString question = Text(texts.question) + "\n\nSource file: " + window.SourceFile() +
                           "\nTarget file: " + window.TargetFile() + "\n\nAre you sure?";
  if (!Confirm(owner, question, Text(texts.caption))) return {};

  OpenConsole(texts, window);
  const QString keyNumber = QString::number(window.KeyNumber());
  window.EngineCommand() = window.EnginePath();
  if (MandatoryEmpty(window)) {
    CurrentConsole().Release();
    MessageBox(owner, Text(kMandatoryEmptyText), "ERROR");
    return {};
  }
  FillDefaults(window);
  const QString commandLine = EngineCommandLine(ItemsOf(window, texts.modeLetter));
  window.Log() += HeaderEntry(texts, window, keyNumber);
  window.Refresh();

  const QString program = window.EngineCommand();
  const JobResult outcome = RunToEnd(program, commandLine);
  const AroundPath& box = outcome.ok ? texts.okBox : texts.errorBox;
  const AroundPath& entry = outcome.ok ? texts.okEntry : texts.errorEntry;
  MessageBox(owner, box.With(program), outcome.ok ? "OK" : "ERROR");
  const QString outcomeStamp = Stamp();
  window.Log() += Text(kOutcomeDateLabel) + outcomeStamp + entry.With(program);
  window.Refresh();

  if (outcome.errorNumber != 0) {
    const QString errorText = Text(texts.errorNumberLabel) + QString::number(outcome.errorNumber);
    MessageBox(owner, errorText, "ERROR");
    const QString stamp = texts.errorNumberReusesStamp ? outcomeStamp : Stamp();
    window.Log() += Text(kOutcomeDateLabel) + stamp + errorText;
    window.Refresh();
  }

  // The closing line is shown at once.
  window.Log() += Text(kSeparatorLine);
  window.Refresh();
  return outcome;
}

}  // namespace rux
