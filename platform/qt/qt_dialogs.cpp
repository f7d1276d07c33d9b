// Message boxes, opening files and the help page on Qt.
#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

#include "platform/qt/qt_help.h"
#include "platform/qt/qt_main_widget.h"
#include "platform/qt/qt_modal_focus.h"
#include "platform/qt/qt_window_state.h"
#include "platform/qt/qt_window_thread.h"
#include "platform/thread.h"
#include "platform/window.h"

namespace {

void ShowMessageBoxNow(const QString& title, const QString& text, MessageIcon icon) {
  QtEnsureApplication();
  QtModalFocus focus;
  QMessageBox box(icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::Information,
                  title, text, QMessageBox::Ok, QtMainWindow());
  box.setTextFormat(Qt::PlainText);
  box.exec();
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
