// autosave: nothing lost when the designer ends.
//
// The design is written to "Vessel_Design/autosave.vessdef" under the root
// every minute while it changes and whenever the designer ends (Exit, the
// window's close button, Escape, Alt+F4), through the design file's writer,
// which replaces the file whole or not at all. "Load" opens it like any
// other design file. A designer that is killed loses at most the last minute.
//
// Builds on: designfile (the writer), undo (the revision that says the design
// changed, the last checkpoint), kvwindows (the message), base/sys (folders).
//
// Notes:
//   - a design that did not change since start-up is never written, so an
//     untouched session keeps the autosave of the one before; once it changed,
//     its growing design time is a change too, and the file is rewritten every
//     minute with the time spent so far
//   - a failing write shows one message; the next failures stay quiet until a
//     write succeeds again, and the editor goes on either way
//   - the live design is written through a copy: its playing animations and
//     their positions are left alone
//   - text still being typed into a box is not stored by the ending, as
//     Escape leaves a focused box untouched
#pragma once
#include <cstdint>
#include <string>

constexpr const char* autosave_file = "Vessel_Design/autosave.vessdef"; // relative to the root
constexpr double autosave_period = 60.0;   // seconds between writes while the design changes

struct autosave_state {            // written by the functions below
  std::string root;                // the folder the file is written under
  uint64_t started = 0;            // undo revision at start-up
  uint64_t written = 0;            // undo revision of the design last written (or found at start)
  double written_time = 0;         // design time of the design last written
  double last = 0;                 // time of the last write or attempt, seconds
  bool failing = false;            // the last write failed and said so
};
extern autosave_state autosave;

void autosave_init(const std::string& root, double now); // the design as it stands counts as written
void autosave_tick(double now);    // every frame: writes when due and changed
bool autosave_final();             // at the end: writes when changed; false when it failed
