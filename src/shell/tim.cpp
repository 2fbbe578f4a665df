// tim: stopwatches on the monotonic clock.
#include "shell/tim.h"
#include <cmath>
#include <ctime>

tim_state timers;

namespace {

bool valid(int slot) { return slot >= 0 && slot < stopwatch_slots; }

}  // namespace

int64_t performance_counter() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

void tim_init() {
  timers.frequency = 1000000000;       // the counter counts nanoseconds
  stopwatch_start(0);
}

void stopwatch_start(int slot) {
  if (valid(slot)) timers.start[slot] = performance_counter();
}

int64_t stopwatch_read(int slot) {
  if (!valid(slot) || timers.frequency <= 0) return 0;
  timers.scratch[slot] = performance_counter();
  double seconds = double(timers.scratch[slot] - timers.start[slot]) / double(timers.frequency);
  return int64_t(std::llround(seconds * 1000000.0));
}

uint32_t tick_count() { return uint32_t(performance_counter() / 1000000); }
