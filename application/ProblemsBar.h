#pragma once

#include <QStatusBar>
#include <QString>
#include <QStringList>

class QListWidget;
class QPushButton;

// The window's status bar, which also keeps the problems met while the program runs (a file that
// cannot be read, ...). Each problem is written to the standard error stream, shown as the bar's
// message and added to a list that the "Problems" button at the bar's right end opens, so that the
// user learns what went wrong without a modal box per file.
class ProblemsBar : public QStatusBar {
  Q_OBJECT

public:
  explicit ProblemsBar(QWidget* parent = nullptr);

  // A problem in one line: "Cannot read FILE as a KIND: REASON".
  void add(const QString& problem);
  const QStringList& problems() const { return _problems; }
  QPushButton* button() const { return _button; } // hidden while there is no problem

public slots:
  void showList(); // a window listing every problem, newest last

private:
  QStringList _problems;
  QPushButton* _button;
  QListWidget* _list = nullptr; // the list window's, made when first shown
};
