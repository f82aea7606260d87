// A hand on modal dialogs for tests that drive a real window.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

// Runs `act` on the next modal dialog of the named class as soon as it is shown. A dialog still open two
// seconds later is rejected, so that a test that failed to close it fails instead of hanging.
inline void whenModalShows(std::function<void(QWidget*)> act, const char* className = "QWidget") {
  auto* poll = new QTimer(qApp); // the application deletes it if the test ends first
  auto dialog = std::make_shared<QPointer<QWidget>>();
  auto ticksSinceAct = std::make_shared<int>(-1); // negative until the dialog shows
  QObject::connect(poll, &QTimer::timeout, [poll, act, dialog, ticksSinceAct, className] {
    if (*ticksSinceAct < 0) {
      QWidget* shown = QApplication::activeModalWidget();
      if (shown && shown->inherits(className)) {
        *dialog = shown;
        *ticksSinceAct = 0;
        act(dialog->data());
      }
    } else if (dialog->isNull() || !(*dialog)->isVisible()) {
      poll->stop();
      poll->deleteLater();
    } else if (++*ticksSinceAct > 200) {
      ADD_FAILURE() << "the dialog stayed open";
      if (auto* open = qobject_cast<QDialog*>(dialog->data())) open->done(QDialog::Rejected);
    }
  });
  poll->start(10);
}

// Accepts the next message box, keeping its text in `text` (which must outlive the box).
inline void acceptMessageBox(QString& text) {
  whenModalShows(
      [&text](QWidget* box) {
        text = static_cast<QMessageBox*>(box)->text();
        static_cast<QDialog*>(box)->accept();
      },
      "QMessageBox");
}
