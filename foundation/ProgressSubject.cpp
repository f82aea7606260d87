#include "foundation/ProgressSubject.h"

#include "foundation/ProgressMonitor.h"

#include <algorithm>

void ProgressSubject::addMonitor(ProgressMonitor* monitor) {
  if (monitor && std::find(_monitors.begin(), _monitors.end(), monitor) == _monitors.end())
    _monitors.push_back(monitor);
}

void ProgressSubject::removeMonitor(ProgressMonitor* monitor) {
  _monitors.erase(std::remove(_monitors.begin(), _monitors.end(), monitor), _monitors.end());
}

// Monitors may detach themselves while being notified: iterate over a copy.
#define OSTREL_NOTIFY(call)                                                                                  \
  for (ProgressMonitor * monitor : std::vector<ProgressMonitor*>(_monitors)) monitor->call

void ProgressSubject::notifyStarted() {
  OSTREL_NOTIFY(subjectStarted(this));
}
void ProgressSubject::notifyFinished() {
  OSTREL_NOTIFY(subjectFinished(this));
}
void ProgressSubject::notifyCanceled() {
  OSTREL_NOTIFY(subjectCanceled(this));
}
void ProgressSubject::notifyProgressed(const std::string& message) {
  OSTREL_NOTIFY(subjectProgressed(this, message));
}
void ProgressSubject::notifyProgressed(int current, int total) {
  OSTREL_NOTIFY(subjectProgressed(this, current, total));
}
void ProgressSubject::notifyWarning(const std::string& message) {
  OSTREL_NOTIFY(subjectWarning(this, message));
}
void ProgressSubject::notifyError(const std::string& message) {
  OSTREL_NOTIFY(subjectError(this, message));
}
