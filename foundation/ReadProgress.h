#pragma once

#include <atomic>
#include <cstddef>

// How far the reader of a file has got, for a progress bar that another thread shows, and the place
// where that thread stops the reading. A loading thread installs a counter and a stop flag for the
// time of one read (Scope); the streams that readers read from report their position as they go
// (report), which costs a test of a thread-local pointer on a thread with nothing installed.
class ReadProgress {
public:
  static constexpr int whole = 1000; // the count of a read that got to the end of its bytes

  // Counts the calling thread's reading into `count` (0 to whole; the caller sets where it starts)
  // and stops it once `stop` is set, until destroyed; what was installed before is then back.
  class Scope {
  public:
    Scope(std::atomic<int>& count, const std::atomic<bool>& stop);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

  private:
    std::atomic<int>* _previousCount;
    const std::atomic<bool>* _previousStop;
  };

  // `done` of `total` bytes of a stream are read: the count rises to that part of whole. Stops first
  // when asked to (stopIfAsked).
  static void report(std::size_t done, std::size_t total);
  // Throws a FileReadError "Reading was cancelled" once the stop flag is set, which unwinds the
  // reader as a broken file would.
  static void stopIfAsked();
};
