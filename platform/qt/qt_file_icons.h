// Icons and type names for the entries the file dialogs list, decided by each entry's name
// and kind (drive, folder, file, link) alone: no file is ever opened. Qt's own provider
// reads a file's first bytes to name its type, and froze the window on a file whose read
// never returns, such as /proc/kmsg. Window thread only (the dialog's model asks there).
#pragma once

#include <QFileIconProvider>
#include <QIcon>
#include <QMimeDatabase>

class QtFileIcons : public QFileIconProvider {
 public:
  QtFileIcons();

  using QFileIconProvider::icon;
  QIcon icon(const QFileInfo& info) const override;
  QString type(const QFileInfo& info) const override;

 private:
  QIcon drive_;
  QIcon folder_;
  QIcon file_;
  QMimeDatabase types_;
};
