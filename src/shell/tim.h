// tim: microsecond stopwatches and the millisecond tick count.
//
// 101 stopwatch slots on the monotonic clock; the counter frequency is read
// once at unit initialisation, which also starts slot 0.
//
// Builds on: nothing.
#pragma once
#include <cstdint>

constexpr int stopwatch_slots = 101;   // slots 0 to 100

struct tim_state {                     // written only by this unit
  int64_t start[stopwatch_slots] = {}; // counter value at each slot's start
  int64_t scratch[stopwatch_slots] = {}; // counter value of the last read
  int64_t frequency = 0;               // counts per second
};
extern tim_state timers;

void     tim_init();                   // reads the frequency and starts slot 0
int64_t  performance_counter();        // monotonic counts
void     stopwatch_start(int slot);    // out-of-range slots are ignored
int64_t  stopwatch_read(int slot);     // microseconds since the slot's start, rounded; 0 for a bad slot
uint32_t tick_count();                 // milliseconds on the monotonic clock, wrapping at 2^32
