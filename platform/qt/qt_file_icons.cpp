#include "platform/qt/qt_file_icons.h"

#include <QFileInfo>

// Made once per dialog, so every entry shares the same three icons.
QtFileIcons::QtFileIcons()
    : drive_(QFileIconProvider::icon(Drive)),
      folder_(QFileIconProvider::icon(Folder)),
      file_(QFileIconProvider::icon(File)) {}

QIcon QtFileIcons::icon(const QFileInfo& info) const {
  if (info.isRoot()) return drive_;
  if (info.isDir()) return folder_;
  return file_;
}

// What a name says of a regular file: its extension's type, or just "File". A name that
// says nothing is not looked into.
QString QtFileIcons::type(const QFileInfo& info) const {
  if (info.isRoot()) return QStringLiteral("Drive");
  if (info.isDir()) return QStringLiteral("Folder");
  if (info.isFile()) {
    QMimeType mime = types_.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
    if (!mime.isValid() || mime.isDefault()) return QStringLiteral("File");
    return mime.comment().isEmpty() ? mime.name() : mime.comment();
  }
  if (info.isSymLink()) return QStringLiteral("Shortcut");  // to nothing that exists
  return QStringLiteral("Special file");                    // a pipe, socket or device
}
