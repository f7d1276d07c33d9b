#include "platform/qt/qt_help.h"

#include <QApplication>
#include <QFileInfo>

#include "platform/qt/qt_main_window.h"

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
