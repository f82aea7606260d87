#include "foundation/StageTimes.h"

#include "foundation/Trace.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <mutex>
#include <sstream>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// The processor time of the whole process (all its threads) so far, in seconds.
double processorSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return double(now.tv_sec) + 1e-9 * double(now.tv_nsec);
}

struct Open {
  const char* name;
  Clock::time_point since; // when the stage last started running (it pauses while an inner one runs)
  double processorSince;   // the process's processor seconds then
};

thread_local std::vector<Open> openStages;

std::mutex totalsMutex;
std::vector<StageTimes::Entry>& totals() {
  static std::vector<StageTimes::Entry> list;
  return list;
}

void add(const char* name, double seconds, double processorSeconds) {
  const std::lock_guard<std::mutex> lock(totalsMutex);
  for (StageTimes::Entry& entry : totals())
    if (entry.name == name) {
      entry.seconds += seconds;
      entry.processorSeconds += processorSeconds;
      return;
    }
  totals().push_back({name, seconds, processorSeconds});
}

// Charges the stage with the time since it last started running, and restarts its clocks.
void charge(Open& stage) {
  const Clock::time_point now = Clock::now();
  const double processor = processorSeconds();
  add(stage.name, std::chrono::duration<double>(now - stage.since).count(), processor - stage.processorSince);
  stage.since = now;
  stage.processorSince = processor;
}

// Seconds since the system started, as /proc/self/stat counts the start of a process; -1 when unknown.
double processStartSeconds() {
  std::ifstream stat("/proc/self/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  // The fields after the command name (in parentheses, which may hold anything): the start time in
  // clock ticks is the 20th of them.
  const std::size_t close = text.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(text.substr(close + 1));
  std::string field;
  for (int i = 0; i < 20 && fields >> field; ++i) {
  }
  const long ticks = sysconf(_SC_CLK_TCK);
  return fields && ticks > 0 ? std::stod(field) / double(ticks) : -1;
}

std::string milliseconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f ms", seconds * 1000.0);
  return text;
}

} // namespace

StageTimes::Stage::Stage(const char* name) {
  if (!openStages.empty()) charge(openStages.back());
  openStages.push_back({name, Clock::now(), processorSeconds()});
}

StageTimes::Stage::~Stage() {
  charge(openStages.back());
  openStages.pop_back();
  if (!openStages.empty()) {
    openStages.back().since = Clock::now();
    openStages.back().processorSince = processorSeconds();
  }
}

void StageTimes::addSinceProcessStart(const char* name) {
  const double start = processStartSeconds();
  timespec now{};
  if (start < 0 || clock_gettime(CLOCK_BOOTTIME, &now) != 0) return;
  add(name, std::max(0.0, double(now.tv_sec) + 1e-9 * double(now.tv_nsec) - start), processorSeconds());
}

std::vector<StageTimes::Entry> StageTimes::entries() {
  const std::lock_guard<std::mutex> lock(totalsMutex);
  return totals();
}

void StageTimes::clear() {
  const std::lock_guard<std::mutex> lock(totalsMutex);
  totals().clear();
}

void StageTimes::traceAndClear() {
  const std::vector<Entry> list = entries();
  clear();
  if (!Trace::isEnabled() || list.empty()) return;
  Entry sum{"", 0, 0};
  for (const Entry& entry : list) {
    Trace::print("stage " + entry.name + ": " + milliseconds(entry.seconds) + ", processor " +
                 milliseconds(entry.processorSeconds));
    sum.seconds += entry.seconds;
    sum.processorSeconds += entry.processorSeconds;
  }
  Trace::print("stages in all: " + milliseconds(sum.seconds) + ", processor " +
               milliseconds(sum.processorSeconds));
}
