#pragma once

#include <string>

class ProgressSubject;

// Observer of a long operation. Every notification does nothing here; concrete monitors override
// the ones they show. Remembers the subject it is currently following.
class ProgressMonitor {
public:
  virtual ~ProgressMonitor() = default;

  virtual void subjectStarted(ProgressSubject* subject) { _subject = subject; }
  virtual void subjectFinished(ProgressSubject*) {}
  virtual void subjectCanceled(ProgressSubject*) {}
  virtual void subjectProgressed(ProgressSubject*, const std::string& /*message*/) {}
  virtual void subjectProgressed(ProgressSubject*, int /*current*/, int /*total*/) {}
  virtual void subjectWarning(ProgressSubject*, const std::string& /*message*/) {}
  virtual void subjectError(ProgressSubject*, const std::string& /*message*/) {}

  ProgressSubject* getSubject() const { return _subject; }
  void setSubject(ProgressSubject* subject) { _subject = subject; }

private:
  ProgressSubject* _subject = nullptr;
};
