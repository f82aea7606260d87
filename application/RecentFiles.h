#pragma once

#include <QString>
#include <QStringList>

// The files opened last, newest first, at most ten, kept in the settings store between runs under
// "recentFiles" by their absolute paths.
class RecentFiles {
public:
  static const int maximumCount = 10;

  static QStringList list();
  // Puts the file at the top, taking it out of where it was; the oldest beyond ten drops out.
  static void add(const QString& fileName);
  static void remove(const QString& fileName);

private:
  static void store(const QStringList& files);
};
