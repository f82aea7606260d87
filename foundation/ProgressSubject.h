#pragma once

#include <string>
#include <vector>

class ProgressMonitor;

// A long operation that reports its progress to attached monitors and can be asked to stop.
// Monitors are not owned; a monitor attached twice is notified once.
class ProgressSubject {
public:
  virtual ~ProgressSubject() = default;

  void addMonitor(ProgressMonitor* monitor);
  void removeMonitor(ProgressMonitor* monitor);

  void notifyStarted();
  void notifyFinished();
  void notifyCanceled();
  void notifyProgressed(const std::string& message);
  void notifyProgressed(int current, int total);
  void notifyWarning(const std::string& message);
  void notifyError(const std::string& message);

  void cancel() { _canceled = true; } // asks the operation to stop at its next check
  bool isCanceled() const { return _canceled; }
  void reset() { _canceled = false; }

private:
  std::vector<ProgressMonitor*> _monitors;
  bool _canceled = false;
};
