// The windows on big inputs, drawn offscreen, on a warm page cache: loading a
// configuration whose log is 5 MB and 50 MB (the "LOG" box and the log panel
// included), one keystroke with a 50 MB log, the key management window opened
// and listed on 100,000 and 1,000,000 records, the Master Key list filled and
// its drop-down opened on 1,000,000 entries. Every box is the real one, closed
// as soon as it has been drawn. The counters give the program's resident
// memory after the last run (rss) and at its highest so far (peak): the loads
// run first, so their peak is theirs.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <fstream>

#include "app/config/configuration_file.h"
#include "app/shellrux_dlg.h"
#include "bench_books.h"
#include "manage/keys_dlg.h"
#include "platform/widgets/modal.h"
#include "platform/widgets/widget_prompts.h"

namespace rux::bench {
namespace {

// The real boxes, each closed once drawn; the pickers choose the file named here.
class ClosingPrompts : public WidgetPrompts {
 public:
  Answer Message(QWidget* owner, const QString& text, const QString& caption, Buttons buttons,
                 Icon icon) override {
    QTimer::singleShot(0, [] {
      if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        box->repaint();
        box->done(QDialog::Accepted);
      }
    });
    return WidgetPrompts::Message(owner, text, caption, buttons, icon);
  }
  std::optional<QString> PickFile(QWidget*, PickerKind, const QString&, bool) override {
    return pick;
  }
  QString pick;
};

ClosingPrompts& Prompts() {
  static ClosingPrompts prompts;
  return prompts;
}

void ReportMemory(benchmark::State& state) {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  state.counters["rss_MiB"] = static_cast<double>(resident) * ::getpagesize() / (1 << 20);
  state.counters["peak_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024;
}

// The main window as the user finds it after start-up, on the screen.
class MainWindow : public CShellruxDlg {
 public:
  MainWindow() {
    OnInitDialog();
    show();
    if (!QTest::qWaitForWindowExposed(this)) std::abort();
  }
};

// A log of about that many megabytes, made of the entries "Copy Keys to Log"
// writes (about 1 KB each, lines of 20 to 80 characters).
QString LogOf(int megabytes) {
  QString entry = "\n FECHA: Fri Mar 01 09:05:07 2013\n\nLibro Claves: /home/user/books/main.kb";
  entry += "\nNumero de Clave: 12";
  for (int n = 1; n <= 10; ++n)
    entry += QString("\nClave%1: ").arg(n) + QString("k%1").arg(n).repeated(20).left(64);
  entry += "\nClave11: 5000000000\nClave12: 3250000000.01\n";
  QString log;
  log.reserve(qsizetype(megabytes) << 20);
  while (log.size() < (qsizetype(megabytes) << 20)) log += entry;
  return log;
}

QString ConfigurationWithLog(int megabytes) {
  const QString path = QString::fromStdString(BenchDir()) + QString("/log-%1MB.cfg").arg(megabytes);
  if (QFile::exists(path)) return path;
  ConfigurationValues values;
  values.enginePath = "rux4.exe";
  values.log = LogOf(megabytes);
  WriteConfigurationFile(path, values);
  return path;
}

// Reading the file and turning its bytes into the values: the floor of a load.
void ConfigurationRead(benchmark::State& state) {
  const QString path = ConfigurationWithLog(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    ConfigurationValues values;
    if (ReadConfigurationFile(path, values) != ConfigurationRead::Loaded)
      state.SkipWithError("not loaded");
  }
}

// "Browse" beside "CONFIGURATION:": the file, the "LOG" box, the panel.
void ConfigurationLoad(benchmark::State& state) {
  Prompts().pick = ConfigurationWithLog(static_cast<int>(state.range(0)));
  MainWindow window;
  for (auto _ : state) {
    window.LoadConfiguration();
    QApplication::processEvents();
    state.PauseTiming();
    if (window.LogPanel()->document()->characterCount() < state.range(0) << 20)
      state.SkipWithError("log not shown");
    window.m_strLog.clear();  // each load starts from the empty log of start-up
    window.UpdateData(false);
    QApplication::processEvents();
    state.ResumeTiming();
  }
  ReportMemory(state);
}

// A letter typed, or taken away, in a field; the window drawn again.
template <typename Field>
void Keystroke(benchmark::State& state, Field field) {
  Prompts().pick = ConfigurationWithLog(static_cast<int>(state.range(0)));
  MainWindow window;
  window.LoadConfiguration();
  QWidget* typedInto = field(window);
  typedInto->setFocus();
  QApplication::processEvents();
  bool add = true;
  for (auto _ : state) {
    QTest::keyClick(typedInto, add ? Qt::Key_A : Qt::Key_Backspace);
    QApplication::processEvents();
    add = !add;
  }
  ReportMemory(state);
}

void KeystrokeInParameter(benchmark::State& state) {
  Keystroke(state, [](CShellruxDlg& window) { return window.ParamField(1); });
}

void KeystrokeInLogPanel(benchmark::State& state) {
  Keystroke(state, [](CShellruxDlg& window) {
    window.LogPanel()->moveCursor(QTextCursor::End);
    return window.LogPanel();
  });
}

// "BOOK / KEY MANAGEMENT" on a book: the window opens, lists the book and
// shows the chosen record, the last one.
void KeyManagementWindow(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  const QString book = QString::fromStdString(Book(records));
  int listed = 0;
  InstallModalRunner([&listed](QDialog& dialog) {
    dialog.show();
    auto* list = dialog.findChild<QComboBox*>("masterKeyName");
    for (int i = 0; i < 100 && list->count() == 0; ++i) QApplication::processEvents();
    QApplication::processEvents();
    listed = list->count();
    return Dialog::IDCANCEL;
  });
  for (auto _ : state) {
    CKeysDlg keys;
    keys.m_strKeyBook = book;
    keys.m_strMasterKeyName = QString::fromStdString(RecordName(records));
    keys.m_nKeyNumber = records;
    keys.DoModal();
    if (listed != records) state.SkipWithError("not listed");
  }
  InstallModalRunner(nullptr);
  ReportMemory(state);
}

void ChooseBook(CShellruxDlg& window, int records) {
  window.m_strKeyBook = QString::fromStdString(Book(records));
  window.m_nKeyNumber = 1;
}

// Choosing a book fills the "Master Key:" list.
void MasterKeyListFilled(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  MainWindow window;
  ChooseBook(window, records);
  for (auto _ : state) {
    window.FillMasterKeyList("No Master Key present.");
    QApplication::processEvents();
  }
  if (window.MasterKeyCombo()->count() != records) state.SkipWithError("not listed");
  ReportMemory(state);
}

// The "Master Key:" list dropped down and drawn, then closed.
void MasterKeyDropDown(benchmark::State& state) {
  MainWindow window;
  ChooseBook(window, static_cast<int>(state.range(0)));
  window.FillMasterKeyList("No Master Key present.");
  QComboBox* combo = window.MasterKeyCombo();
  for (auto _ : state) {
    combo->showPopup();
    combo->view()->window()->repaint();
    state.PauseTiming();
    if (!combo->view()->isVisible()) state.SkipWithError("not dropped down");
    combo->hidePopup();
    QApplication::processEvents();
    state.ResumeTiming();
  }
  ReportMemory(state);
}

BENCHMARK(ConfigurationRead)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ConfigurationLoad)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(KeystrokeInParameter)->Arg(0)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(KeystrokeInLogPanel)->Arg(0)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(KeyManagementWindow)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(MasterKeyListFilled)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(MasterKeyDropDown)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace rux::bench

int main(int argc, char** argv) {
  // The offscreen platform says at every window that it cannot do what only
  // a real screen does; nothing else is left out.
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& message) {
    if (!message.startsWith("This plugin does not support") && !message.contains("XDG_RUNTIME_DIR"))
      std::fprintf(stderr, "%s\n", qPrintable(message));
  });
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  rux::InstallPrompts(&rux::bench::Prompts());
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  rux::InstallPrompts(nullptr);
  return 0;
}
