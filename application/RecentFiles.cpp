#include "application/RecentFiles.h"

#include <QFileInfo>
#include <QSettings>

namespace {

const char* const recentFilesKey = "recentFiles";

} // namespace

QStringList RecentFiles::list() {
  return QSettings().value(recentFilesKey).toStringList();
}

void RecentFiles::add(const QString& fileName) {
  const QString path = QFileInfo(fileName).absoluteFilePath();
  QStringList files = list();
  files.removeAll(path);
  files.prepend(path);
  store(files.mid(0, maximumCount));
}

void RecentFiles::remove(const QString& fileName) {
  QStringList files = list();
  files.removeAll(QFileInfo(fileName).absoluteFilePath());
  store(files);
}

void RecentFiles::store(const QStringList& files) {
  QSettings().setValue(recentFilesKey, files);
}
