// Message boxes, opening files and the help page on Qt.
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

#include "platform/qt/qt_help.h"
#include "platform/qt/qt_main_window.h"
#include "platform/qt/qt_modal_focus.h"
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

void OpenHelp() {
  QString page = QtHelpPagePath();
  if (!page.isEmpty()) QDesktopServices::openUrl(QUrl::fromLocalFile(page));
}
