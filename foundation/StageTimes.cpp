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

struct Open {
  const char* name;
  Clock::time_point since; // when the stage last started running (it pauses while an inner one runs)
};

thread_local std::vector<Open> openStages;

std::mutex totalsMutex;
std::vector<StageTimes::Entry>& totals() {
  static std::vector<StageTimes::Entry> list;
  return list;
}

void add(const char* name, double seconds) {
  const std::lock_guard<std::mutex> lock(totalsMutex);
  for (StageTimes::Entry& entry : totals())
    if (entry.name == name) {
      entry.seconds += seconds;
      return;
    }
  totals().push_back({name, seconds});
}

void charge(const Open& stage, Clock::time_point now) {
  add(stage.name, std::chrono::duration<double>(now - stage.since).count());
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
  const Clock::time_point now = Clock::now();
  if (!openStages.empty()) charge(openStages.back(), now);
  openStages.push_back({name, now});
}

StageTimes::Stage::~Stage() {
  const Clock::time_point now = Clock::now();
  charge(openStages.back(), now);
  openStages.pop_back();
  if (!openStages.empty()) openStages.back().since = now;
}

void StageTimes::addSinceProcessStart(const char* name) {
  const double start = processStartSeconds();
  timespec now{};
  if (start < 0 || clock_gettime(CLOCK_BOOTTIME, &now) != 0) return;
  add(name, std::max(0.0, double(now.tv_sec) + 1e-9 * double(now.tv_nsec) - start));
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
  double sum = 0;
  for (const Entry& entry : list) {
    Trace::print("stage " + entry.name + ": " + milliseconds(entry.seconds));
    sum += entry.seconds;
  }
  Trace::print("stages in all: " + milliseconds(sum));
}
