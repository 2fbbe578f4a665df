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
//   - the child's error output passes through to ours and its last line is
//     kept, so that a failed run can say why in the editor's window
//   - Run Veltora reports every run that fails (not started, or a non-zero
//     exit code) through a callback on the simulator's thread, with a sentence
//     naming the code and that last line; a normal end reports nothing
#pragma once
#include <cstdint>
#include <string>

constexpr const char* simulator_command = "veltora.exe";   // started without arguments
constexpr uint16_t show_normal = 1;                          // normal window

constexpr size_t error_line_limit = 1000;                     // characters of the last error line kept

// Exit code of the program, 128 + signal number when a signal ended it, -1 when
// it could not be started (why, when given, then says why). io_error when the
// working folder cannot be entered. last_error, when given, receives the last
// non-empty line the program wrote to its error output (cut at error_line_limit).
int  run_and_wait(const std::string& command_line, const std::string& working_dir, uint16_t show_mode,
                  std::string* why = nullptr, std::string* last_error = nullptr);
using run_report = void (*)(const std::string& sentence);     // called on the simulator's thread
// What the user is told about a run: "" for exit code 0.
std::string run_sentence(int code, const std::string& why, const std::string& last_error);
void run_simulator(const std::string& root, run_report report);  // thread body: runs the simulator in root
void run_veltora(const std::string& root, run_report report);    // run_simulator on a detached thread, returns at once
