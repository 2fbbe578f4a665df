// autosave: nothing lost when the designer ends.
//
// Each session writes the design to a file of its own,
// "Vessel_Design/autosave-YYMMDD-HHMMSS.vessdef" under the root (named after
// the session's start), every minute while it changes and whenever the
// designer ends (Exit, the window's close button, Escape, Alt+F4), through the
// design file's writer, which replaces the file whole or not at all. The
// newest ten of these files are kept; older ones are removed. At start-up the
// newest one is offered back when it holds work that no design file in the
// root or in "Vessel_Design" holds. "Load" opens any of them like any other
// design file. A designer that is killed loses at most the last minute.
//
// Builds on: designfile (the writer and reader), undo (the revision that says
// the design changed, the snapshot that compares designs), kvwindows (the
// question and the message), filecmds (loading the offered file), base/sys
// and filef (folders, listings).
//
// Notes:
//   - a design that did not change since start-up is never written, so an
//     untouched session leaves no file; once it changed, its growing design
//     time is a change too, and the file is rewritten every minute with the
//     time spent so far
//   - designs are compared as stored, the design time aside
//   - a failing write shows one message; the next failures stay quiet until a
//     write succeeds again, and the editor goes on either way
//   - the live design is written through a copy: its playing animations and
//     their positions are left alone
//   - text still being typed into a box is not stored by Alt+F4 or the
//     close button, which leave a focused box untouched
//   - two sessions started in the same second take the next free second
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include "base/asys.h"

constexpr const char* autosave_folder = "Vessel_Design";  // relative to the root
constexpr size_t autosave_kept = 10;       // files kept, the newest ones
constexpr double autosave_period = 60.0;   // seconds between writes while the design changes

struct autosave_state {            // written by the functions below
  std::string root;                // the folder the files are written under
  std::string file;                // this session's file, relative to the root
  std::string offered;             // the file the start-up question offers, relative to the root
  uint64_t started = 0;            // undo revision at start-up
  uint64_t written = 0;            // undo revision of the design last written (or found at start)
  double written_time = 0;         // design time of the design last written
  double last = 0;                 // time of the last write or attempt, seconds
  bool failing = false;            // the last write failed and said so
};
extern autosave_state autosave;

std::string autosave_name(const local_time& t); // "Vessel_Design/autosave-YYMMDD-HHMMSS.vessdef"
astr autosave_files(const std::string& root);   // the sessions' files in the folder, oldest first, relative to the root

void autosave_init(const std::string& root, double now); // the design as it stands counts as written
void autosave_offer();             // at start-up: asks whether to load the newest file holding unsaved work
void autosave_restore();           // "Yes" to that question: loads the offered file
void autosave_tick(double now);    // every frame: writes when due and changed
bool autosave_final();             // at the end: writes when changed; false when it failed
