// launcher: starts the simulator so that a generated add-on can be tried at once.
//
// Run and wait starts a program in a given folder and blocks until it ends;
// Run Veltora calls it on a thread of its own so that the editor's frame loop
// never waits for the simulator.
//
// Builds on: asys (io_error), instpath (case-insensitive installation lookup).
//
// Notes:
//   - the command line is split at blanks (double quotes group); a program
//     name without a folder is looked up in the working folder first, then in
//     the search path
//   - the child is given the working folder itself, so the process-wide
//     current folder of the caller is never changed
//   - the window show mode has no meaning here and is accepted for the callers'
//     sake; the child shares the caller's terminal
//   - the editor's thread cannot show a message, so a simulator that cannot be
//     started is named on standard error
#pragma once
#include <cstdint>
#include <string>

constexpr const char* simulator_command = "veltora.exe";   // started without arguments
constexpr uint16_t show_normal = 1;                          // normal window

// Exit code of the program, 128 + signal number when a signal ended it, -1 when
// it could not be started (why, when given, then says why). io_error when the
// working folder cannot be entered.
int  run_and_wait(const std::string& command_line, const std::string& working_dir, uint16_t show_mode,
                  std::string* why = nullptr);
void run_simulator(const std::string& root);   // thread body: runs the simulator in root; a failure to start goes to standard error
void run_veltora(const std::string& root);     // starts run_simulator on a detached thread, returns at once
