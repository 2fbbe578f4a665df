// vorlutil: the engine's log, its error escalation and the apparent size of a sphere.
//
// The log "vorl.log" is appended one line at a time (open, write, close), so
// that a crash loses nothing. Every engine pass reports its failures through
// report_error; the 21st report ends the program: after a second a message
// box (standard error without a display) says so and the process exits with
// code 1, while the reporting thread waits for it. The program's own last
// words (the autosave) run first, through before_end.
//
// Builds on: base/asys (local time), SDL (the message box).
//
// Notes:
//   - a log line is "yyyy-mm-dd hh:nn:ss|", the source padded on the left
//     with blanks to 8 characters (a longer one is written whole), "| " and
//     the text
//   - the error count only grows
#pragma once
#include <string>

#include "base/asys.h"

struct vorl_log_state {             // written by open_log, vorl_log and report_error
  std::string path = "vorl.log";    // in the working folder
  bool on = false;                  // false: lines are dropped
  int errors = 0;                   // reports so far
  std::string last_error;           // set at the fatal report
  void (*before_end)() = nullptr;   // run by the fatal path before its message, while the reporter waits
};
extern vorl_log_state vorl_log_file;

constexpr int fatal_error_count = 21; // the report that ends the program

void open_log(const std::string& path = "vorl.log");       // append when it exists, else create; off when neither works
std::string log_line(const std::string& source, const std::string& text, const local_time& t); // without line end
void vorl_log(const std::string& source, const std::string& text);      // one line, opened and closed
void report_error(const std::string& source, const std::string& text);  // "Error: " + text; the 21st never returns
std::string fatal_message(const std::string& last_error);  // the message box text
// Pixels across the radius r of a sphere whose centre is d away, in a view
// `height` pixels high with half the vertical field of view `half_fov`.
double apparent_size(double r, double d, int height, double half_fov);
