// Message boxes, the open and save dialogs, opening files and the help page on Qt.
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>
#include <QUrl>
#include <string>

#include "platform/qt/qt_help.h"
#include "platform/qt/qt_main_widget.h"
#include "platform/qt/qt_window_state.h"
#include "platform/qt/qt_window_thread.h"
#include "platform/thread.h"
#include "platform/window.h"

namespace {

// The process's current directory never changes; the dialogs remember the folder of the
// last file chosen instead, and start in the current directory.
QString lastFolder;

void ShowMessageBoxNow(const QString& title, const QString& text, MessageIcon icon) {
  QtEnsureApplication();
  QMessageBox box(icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::Information,
                  title, text, QMessageBox::Ok, QtMainWindow());
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

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

int RunFileDialog(bool save, const FileFilter* filters, int filterCount, int selected, char* path,
                  int size) {
  if (path != nullptr && size > 0) path[0] = '\0';
  QtEnsureApplication();
  if (lastFolder.isEmpty()) lastFolder = QDir::currentPath();
  QFileDialog dialog(QtMainWindow());
  dialog.setOption(QFileDialog::DontUseNativeDialog);
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
  if (dialog.exec() != QDialog::Accepted) return 0;
  QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return 0;
  QByteArray bytes = QDir::toNativeSeparators(chosen.first()).toLocal8Bit();
  // A path cut to the buffer would name another file: a path too long fails instead.
  if (path == nullptr || bytes.size() >= size) return 0;
  QtCopyOut(bytes, path, size);
  lastFolder = QFileInfo(chosen.first()).absolutePath();
  return 1;
}

}  // namespace

void ShowMessageBox(const char* title, const char* text, MessageIcon icon) {
  QString titleText = QtFromLocal(title);
  QString bodyText = QtFromLocal(text);
  if (OnWorkerThread()) {
    QtCarryOut([=](QtCallResult&) { ShowMessageBoxNow(titleText, bodyText, icon); }, nullptr);
    return;
  }
  ShowMessageBoxNow(titleText, bodyText, icon);
}

int ShowOpenDialog(const FileFilter* filters, int filterCount, int selected, char* path, int size) {
  return RunFileDialog(false, filters, filterCount, selected, path, size);
}

int ShowSaveDialog(const FileFilter* filters, int filterCount, int selected, char* path, int size) {
  return RunFileDialog(true, filters, filterCount, selected, path, size);
}

void OpenWithDefaultApplication(const char* path) {
  if (path == nullptr || path[0] == '\0') return;
  QtEnsureApplication();
  QDesktopServices::openUrl(QUrl::fromLocalFile(QtFromLocal(path)));
}

QString QtHelpPagePath() {
  QtEnsureApplication();
  QString folder = QApplication::applicationDirPath();
  const QString candidates[] = {folder + QStringLiteral("/morrin.html"),
                                folder + QStringLiteral("/../share/tessik/morrin.html")};
  for (const QString& candidate : candidates) {
    if (QFileInfo(candidate).isFile()) return QFileInfo(candidate).canonicalFilePath();
  }
  return QString();
}

void OpenHelp() {
  QString page = QtHelpPagePath();
  if (!page.isEmpty()) QDesktopServices::openUrl(QUrl::fromLocalFile(page));
}
