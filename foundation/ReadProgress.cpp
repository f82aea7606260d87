#include "foundation/ReadProgress.h"

#include "foundation/ErrorThrowing.h"

#include <algorithm>

namespace {

thread_local std::atomic<int>* installedCount = nullptr;
thread_local const std::atomic<bool>* installedStop = nullptr;

} // namespace

ReadProgress::Scope::Scope(std::atomic<int>& count, const std::atomic<bool>& stop)
    : _previousCount(installedCount), _previousStop(installedStop) {
  installedCount = &count;
  installedStop = &stop;
}

ReadProgress::Scope::~Scope() {
  installedCount = _previousCount;
  installedStop = _previousStop;
}

void ReadProgress::stopIfAsked() {
  if (installedStop && installedStop->load(std::memory_order_relaxed))
    throwError<FileReadError>(OSTREL_HERE, "Reading was cancelled");
}

void ReadProgress::report(std::size_t done, std::size_t total) {
  if (!installedCount) return;
  stopIfAsked();
  if (total == 0) return;
  // The reading thread is the counter's only writer. A companion file, or a header read again by the
  // reader after a check, starts from 0: the count never goes back.
  const double part = static_cast<double>(std::min(done, total)) / static_cast<double>(total);
  const int count = static_cast<int>(part * whole);
  if (count > installedCount->load(std::memory_order_relaxed))
    installedCount->store(count, std::memory_order_relaxed);
}
