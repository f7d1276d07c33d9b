// The open and save dialogs on Qt: Qt's own dialog, with an icon provider that never reads
// the files it lists, opened at a size that shows its columns whole, in the folder of the
// last file used.
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QScreen>
#include <QTreeView>

#include "platform/qt/qt_file_icons.h"
#include "platform/qt/qt_main_window.h"
#include "platform/qt/qt_modal_focus.h"
#include "platform/window.h"

namespace {

// Average characters across and lines down the dialog is made: room for the name, size,
// type and date columns beside the side bar.
constexpr int kDialogColumns = 120;
constexpr int kDialogLines = 30;

// Columns of the dialog's detail view.
constexpr int kNameColumn = 0;
constexpr int kLastColumn = 3;

// The process's current directory never changes; the dialogs remember the folder of the
// last file used instead, and start in the current directory.
QString lastFolder;

// Letters of a pattern match either case, as names do in the search itself, and "*.*"
// matches every name, with or without a dot.
QString DialogPattern(const QString& pattern) {
  if (pattern == QStringLiteral("*.*")) return QStringLiteral("*");
  QString result;
  for (QChar c : pattern) {
    if (c.isLetter() && c.toLower() != c.toUpper()) {
      result += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
    } else {
      result += c;
    }
  }
  return result;
}

// "Description (patterns)", the patterns separated by blanks. The dialog shows only the
// description, which names the patterns already.
QString DialogFilter(const FileFilter& filter) {
  QStringList patterns;
  const QStringList given = QtFromLocal(filter.Pattern).split(QLatin1Char(';'), Qt::SkipEmptyParts);
  for (const QString& pattern : given) patterns << DialogPattern(pattern.trimmed());
  if (patterns.isEmpty()) patterns << QStringLiteral("*");
  return QtFromLocal(filter.Description) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
         QLatin1Char(')');
}

// Qt makes the dialog just big enough for its controls, and its columns narrower than a
// size such as "39.1 MiB", which then shows as "39....MiB". The columns after the name
// follow their contents and the name takes what is left.
void SizeDialog(QFileDialog& dialog) {
  QFontMetrics metrics(dialog.font());
  QSize wanted(metrics.averageCharWidth() * kDialogColumns, metrics.lineSpacing() * kDialogLines);
  wanted = wanted.expandedTo(dialog.sizeHint());
  if (QScreen* screen = dialog.screen()) wanted = wanted.boundedTo(screen->availableSize());
  dialog.resize(wanted);
  auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
  if (details == nullptr) return;
  QHeaderView* header = details->header();
  header->setStretchLastSection(false);
  header->setSectionResizeMode(kNameColumn, QHeaderView::Stretch);
  for (int column = kNameColumn + 1; column <= kLastColumn; ++column) {
    header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
  }
}

int RunFileDialog(bool save, const FileFilter* filters, int filterCount, int selected, char* path,
                  int size) {
  if (path != nullptr && size > 0) path[0] = '\0';
  QtEnsureApplication();
  if (lastFolder.isEmpty()) lastFolder = QDir::currentPath();
  QtModalFocus focus;
  // Outlives the dialog, whose model keeps a pointer to it.
  QtFileIcons icons;
  QFileDialog dialog(QtMainWindow());
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  // Set before any event is handled: the model lists folders on a thread of its own but
  // asks the provider for every entry here, as the listing arrives.
  dialog.setIconProvider(&icons);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setDirectory(lastFolder);
  dialog.setDefaultSuffix(QString());  // a name typed without an extension stays so
  if (save) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);  // and it asks before replacing a file
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  }
  QStringList names;
  for (int i = 0; filters != nullptr && i < filterCount; ++i) names << DialogFilter(filters[i]);
  if (!names.isEmpty()) {
    dialog.setNameFilters(names);
    if (selected >= 1 && selected <= names.size()) dialog.selectNameFilter(names[selected - 1]);
  }
  SizeDialog(dialog);
  if (dialog.exec() != QDialog::Accepted) return -1;
  QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return -1;
  QByteArray bytes = QDir::toNativeSeparators(chosen.first()).toLocal8Bit();
  // A path cut to the buffer would name another file: a path too long fails instead.
  if (path == nullptr || bytes.size() >= size) return -1;
  QtCopyOut(bytes, path, size);
  // The file to open exists; a file to save counts once it has been written.
  if (!save) lastFolder = QFileInfo(chosen.first()).absolutePath();
  return 0;
}

}  // namespace

int ShowOpenDialog(const FileFilter* filters, int filterCount, int selected, char* path, int size) {
  return RunFileDialog(false, filters, filterCount, selected, path, size);
}

int ShowSaveDialog(const FileFilter* filters, int filterCount, int selected, char* path, int size) {
  return RunFileDialog(true, filters, filterCount, selected, path, size);
}

void RememberDialogFolder(const char* path) {
  if (path == nullptr || path[0] == '\0') return;
  lastFolder = QFileInfo(QtFromLocal(path)).absolutePath();
}
