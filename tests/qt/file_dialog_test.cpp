// The open and save dialogs as a user meets them: they list a folder without reading the
// files in it, show their columns whole, and open where the last file used was.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/qt/qt_main_window.h"
#include "platform/window.h"
#include "qt/qt_test_support.h"
#include "support/test_support.h"
#include "ui/file_commands.h"

namespace {

// Qt's file dialog keeps its columns, history and last folder in the user's settings; the
// tests start from none, whatever earlier runs left.
const TempTree settingsHome;
const bool freshSettings = setenv("XDG_CONFIG_HOME", settingsHome.Root().c_str(), 1) == 0;

// Longer than anything a working dialog needs; only a broken one runs into it.
constexpr int kGuardMs = 30000;

const FileFilter kOpenFilters[] = {
    {"Text Files (*.txt,*.doc,*.wri,*.wpd,*.log,*.rtf)", "*.TXT;*.DOC;*.WRI;*.WPD;*.LOG;*.RTF"},
    {"All Files (*.*)", "*.*"}};
const FileFilter kSaveFilters[] = {{"Log Files (*.log)", "*.log"}, {"All Files (*.*)", "*.*"}};

// Names of the files opened in one folder, as the kernel reports them.
class OpenWatch {
 public:
  explicit OpenWatch(const std::string& folder)
      : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)),
        watch_(inotify_add_watch(fd_, folder.c_str(), IN_OPEN)) {}
  ~OpenWatch() { close(fd_); }
  bool Ready() const { return fd_ >= 0 && watch_ >= 0; }

  // Files (not the folder itself, which listing it opens) opened since the watch began.
  std::vector<std::string> OpenedFiles() const {
    std::vector<std::string> names;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
      ssize_t got = read(fd_, buffer, sizeof buffer);
      if (got <= 0) return names;
      for (ssize_t at = 0; at < got;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        if (event->len > 0 && (event->mask & IN_ISDIR) == 0) names.emplace_back(event->name);
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
  }

 private:
  int fd_;
  int watch_;
};

QString Q(const std::string& text) { return QString::fromStdString(text); }

// Runs the event loop until the model lists every one of `names` in `folder`, each row
// being made only once the model has the file's type and icon.
bool WaitForListing(QFileSystemModel* model, const QString& folder, const QStringList& names) {
  auto listed = [&] {
    for (const QString& name : names) {
      if (!model->index(folder + QLatin1Char('/') + name).isValid()) return false;
    }
    return true;
  };
  if (listed()) return true;
  QEventLoop loop;
  QObject::connect(model, &QFileSystemModel::directoryLoaded, &loop, [&] {
    if (listed()) loop.quit();
  });
  QObject::connect(model, &QAbstractItemModel::rowsInserted, &loop, [&] {
    if (listed()) loop.quit();
  });
  QTimer::singleShot(kGuardMs, &loop, &QEventLoop::quit);
  loop.exec();
  return listed();
}

QString TypeOf(QFileSystemModel* model, const QString& path) {
  return model->index(path, 2).data().toString();
}

class QtFileDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(freshSettings);
    CreateTestWindow();
    // A PDF by its contents, under a name that says nothing of it.
    tree_.WriteFile("shown/report", "%PDF-1.4\n1 0 obj\n<< /Type /Catalog >>\nendobj\n");
    tree_.WriteFile("shown/notes.txt", "Catherine\n");
    tree_.WriteFile("shown/big.log", "");
    std::filesystem::resize_file(tree_.Path("shown/big.log"), 41000000);  // "39.10 MiB"
    tree_.MakeDirectory("start");
  }
  void TearDown() override { DestroyTestWindow(); }

  std::string Shown() const { return tree_.Path("shown"); }

  TempTree tree_;
};

struct DialogCase {
  const char* Name;
  bool Save;
  bool Typed;  // the folder is typed into the name field instead of being the one shown
};

void PrintTo(const DialogCase& c, std::ostream* out) { *out << c.Name; }

class QtFileDialogListingTest : public QtFileDialogTest,
                                public testing::WithParamInterface<DialogCase> {};

struct Seen {
  bool Listed = false;
  QString ReportType;
  QString NotesType;
  std::vector<std::string> Cut;  // cells of the detail view too narrow for their text
};

// What the dialog that is up shows of the folder once it has listed it.
void Inspect(QWidget* modal, const DialogCase& c, const QString& folder, Seen& seen) {
  auto* dialog = qobject_cast<QFileDialog*>(modal);
  ASSERT_NE(dialog, nullptr);
  auto* model = dialog->findChild<QFileSystemModel*>();
  ASSERT_NE(model, nullptr);
  dialog->selectNameFilter(dialog->nameFilters().last());  // "All Files (*.*)"
  if (c.Typed) {
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    QTest::keyClicks(name, folder + QLatin1Char('/'));  // the completer lists the folder
  }
  seen.Listed = WaitForListing(model, folder, {"report", "notes.txt", "big.log"});
  seen.ReportType = TypeOf(model, folder + QStringLiteral("/report"));
  seen.NotesType = TypeOf(model, folder + QStringLiteral("/notes.txt"));
  if (c.Typed) return;
  auto* details = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
  ASSERT_NE(details, nullptr);
  // What the header does on its next turn of the event loop, done now.
  QMetaObject::invokeMethod(details->header(), "resizeSections");
  for (const char* file : {"report", "notes.txt", "big.log"}) {
    for (int column = 1; column <= 3; ++column) {
      QModelIndex cell = model->index(folder + QLatin1Char('/') + QLatin1String(file), column);
      if (details->columnWidth(column) < details->sizeHintForIndex(cell).width()) {
        seen.Cut.push_back(std::string(file) + ": " + cell.data().toString().toStdString());
      }
    }
  }
}

TEST_P(QtFileDialogListingTest, NamesTypesByNameAloneAndShowsColumnsWhole) {
  const DialogCase& c = GetParam();
  OpenWatch watch(Shown());
  ASSERT_TRUE(watch.Ready());
  RememberDialogFolder(tree_.Path(c.Typed ? "start/x" : "shown/x").c_str());
  const QString folder = Q(Shown());
  Seen seen;
  WhenModal([&](QWidget* modal) {
    Inspect(modal, c, folder, seen);
    modal->close();
  });
  char path[510];
  if (c.Save) {
    ShowSaveDialog(kSaveFilters, 2, 1, path, sizeof path);
  } else {
    ShowOpenDialog(kOpenFilters, 2, 2, path, sizeof path);
  }
  ASSERT_TRUE(seen.Listed);
  EXPECT_FALSE(seen.ReportType.contains(QStringLiteral("PDF"), Qt::CaseInsensitive))
      << seen.ReportType.toStdString();
  EXPECT_FALSE(seen.ReportType.isEmpty());
  EXPECT_TRUE(seen.NotesType.contains(QStringLiteral("text"), Qt::CaseInsensitive))
      << seen.NotesType.toStdString();
  EXPECT_EQ(watch.OpenedFiles(), std::vector<std::string>());
  EXPECT_EQ(seen.Cut, std::vector<std::string>());
}

INSTANTIATE_TEST_SUITE_P(Dialogs, QtFileDialogListingTest,
                         testing::Values(DialogCase{"OpenShowingTheFolder", false, false},
                                         DialogCase{"SaveShowingTheFolder", true, false},
                                         DialogCase{"OpenWithTheFolderTyped", false, true},
                                         DialogCase{"SaveWithTheFolderTyped", true, true}),
                         [](const testing::TestParamInfo<DialogCase>& info) {
                           return std::string(info.param.Name);
                         });

// Chooses `file` in the file dialog that is up, as a user typing its name and pressing OK.
void Choose(QWidget* modal, const std::string& file) {
  auto* dialog = qobject_cast<QFileDialog*>(modal);
  if (dialog == nullptr) {
    ADD_FAILURE() << "not a file dialog";
    modal->close();
    return;
  }
  dialog->selectFile(Q(file));
  static_cast<QDialog*>(dialog)->accept();  // as the OK button does
}

TEST_F(QtFileDialogTest, AFailedSaveLeavesTheDialogsInTheFolderOfTheLastFileWritten) {
  tree_.MakeDirectory("kept");
  tree_.MakeDirectory("gone");
  // A save that works: the dialogs move to its folder.
  WhenModal([&](QWidget* modal) { Choose(modal, tree_.Path("kept/first.log")); });
  SaveCommand();
  ASSERT_FALSE(ReadWholeFile(tree_.Path("kept/first.log")).empty());

  // A save into a folder that is gone by the time the log is written: the user is told,
  // and the dialogs stay where they were.
  QString error;
  WhenModal([&](QWidget* modal) {
    Choose(modal, tree_.Path("gone/second.log"));
    std::filesystem::remove(tree_.Path("gone"));
    WhenModal([&](QWidget* box) {
      error = box->windowTitle();
      box->close();
    });
  });
  SaveCommand();
  EXPECT_EQ(error, QStringLiteral(" Error"));

  for (bool save : {false, true}) {
    QString folder;
    WhenModal([&](QWidget* modal) {
      if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
        folder = dialog->directory().absolutePath();
      }
      modal->close();
    });
    if (save) {
      SaveCommand();
    } else {
      BrowseCommand();
    }
    EXPECT_EQ(folder.toStdString() + "/", tree_.Path("kept/")) << (save ? "save" : "open");
  }
}

}  // namespace
