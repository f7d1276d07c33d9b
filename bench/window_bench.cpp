// The window against the command line on the same search: a single word that occurs
// 61,440 times in generated files (and once in each of 5,000 small files), run through the Qt
// window (Go, the search on the worker, every line into the list box until the view shows it) and
// once through tessik-cli (the search on the calling thread, its lines to /dev/null). Prints
// the best of several runs of each and their ratio. The offscreen platform is used unless
// QT_QPA_PLATFORM says otherwise. Usage: window_bench [RUNS]   (default 3)
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/search_state.h"
#include "phonetic/phonetic_key.h"
#include "platform/qt/qt_result_list.h"
#include "platform/qt/qt_result_list_testing.h"
#include "platform/thread.h"
#include "platform/window.h"
#include "ui/main_window_layout.h"
#include "ui/window_search.h"

namespace {

// The two sets of files: 60 files of 1,024 lines with one occurrence a line (as many
// occurrences as the result list holds), and 5,000 small files of one occurrence each,
// where the progress text of every file goes to the window.
struct Corpus {
  const char* Name;
  int Files;
  int LinesPerFile;
};
constexpr Corpus kCorpora[] = {{"few large files", 60, 1024}, {"many small files", 5000, 4}};

bool WriteFiles(const QString& folder, const Corpus& corpus) {
  QByteArray line = "the quick brown fox met Katherine by the river bank this morning\n";
  QByteArray filler = "nothing of interest on this line at all, only words\n";
  QByteArray content = line;
  for (int i = 1; i < corpus.LinesPerFile; ++i) content += corpus.Files > 100 ? filler : line;
  for (int i = 0; i < corpus.Files; ++i) {
    QFile file(folder + QStringLiteral("/letter%1.txt").arg(i, 4, 10, QLatin1Char('0')));
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) return false;
  }
  return true;
}

int Occurrences(const Corpus& corpus) {
  return corpus.Files > 100 ? corpus.Files : corpus.Files * corpus.LinesPerFile;
}

std::string Text(int id) {
  char text[256];
  GetControlText(id, text, sizeof text);
  return text;
}

// Go through the window until the view holds every line; -1 on a wrong count.
double WindowRun(const QByteArray& spec, int expected) {
  SetControlText(kSearchInEdit, spec.constData());
  SetControlText(kSearchForEdit, "Katherine");
  QApplication::processEvents();
  QElapsedTimer timer;
  timer.start();
  SendMainWindowMessage(kMsgCommand, MakeCommand(kGoButton, kNotifyClicked), 0);
  for (;;) {
    QApplication::processEvents(QEventLoop::AllEvents, 1);
    if (WindowSearchState().SearchRunning == 0 && Text(kGoButton) == "&Go" &&
        QtShownLineCount() == ListBoxCount(kResultListBox)) {
      break;
    }
  }
  double seconds = timer.nsecsElapsed() / 1e9;
  // The worker has ended by itself; its thread is collected as the next Go would.
  RequestStop();
  JoinWorker();
  int lines = ListBoxCount(kResultListBox);
  if (lines != expected) {
    std::fprintf(stderr, "window_bench: the window listed %d lines, not %d\n", lines, expected);
    return -1;
  }
  return seconds;
}

double CliRun(const QString& spec) {
  QProcess cli;
  cli.setStandardOutputFile(QProcess::nullDevice());
  cli.setStandardErrorFile(QProcess::nullDevice());
  QElapsedTimer timer;
  timer.start();
  cli.start(QStringLiteral(TESSIK_CLI_PATH), {spec, QStringLiteral("Katherine")});
  if (!cli.waitForFinished(-1) || cli.exitCode() != 0) {
    std::fprintf(stderr, "window_bench: tessik-cli failed\n");
    return -1;
  }
  return timer.nsecsElapsed() / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = argc > 1 ? std::atoi(argv[1]) : 3;
  if (runs < 1) runs = 1;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitialisePhonetics();
  if (SetUpMainWindow() != 0) return 1;

  for (const Corpus& corpus : kCorpora) {
    QTemporaryDir folder;
    if (!folder.isValid() || !WriteFiles(folder.path(), corpus)) {
      std::fprintf(stderr, "window_bench: cannot write the files\n");
      return 1;
    }
    QString spec = folder.path() + QStringLiteral("/*.txt");
    CliRun(spec);  // the files into the page cache
    double window = 1e9;
    double cli = 1e9;
    for (int i = 0; i < runs; ++i) {
      double w = WindowRun(spec.toLocal8Bit(), Occurrences(corpus));
      double c = CliRun(spec);
      if (w < 0 || c < 0) return 1;
      window = std::min(window, w);
      cli = std::min(cli, c);
    }
    std::printf("%s: single word, %d occurrences in %d files, best of %d runs\n", corpus.Name,
                Occurrences(corpus), corpus.Files, runs);
    std::printf("  window (Qt, worker):      %8.3f s\n", window);
    std::printf("  tessik-cli (one thread):  %8.3f s\n", cli);
    std::printf("  ratio window / cli:       %8.2f\n", window / cli);
    std::fflush(stdout);
  }
  ClearSearchLists(WindowSearchState());
  return 0;
}
