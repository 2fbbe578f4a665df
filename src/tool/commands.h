// commands: the table of corvane-tool's commands and what they share.
//
// Each command is a function in its own cmd_*.cpp file and one row of the
// table in commands.cpp: its name, its usage line, its help text with an
// example. main() finds the row, answers --help, and turns errors into a
// message on standard error: exit code 2 for a wrong command line, 1 for a
// failure. A new command is one more row and one more function.
//
// Builds on: the design model (kvvar, designfile, sc3import), sys (files), asys (io_error).
//
// Notes: the tool runs in the simulator's root folder like the designer, so
// relative names resolve against it. Commands name every file they write
// through note_written; main prints them after success unless --quiet or the
// command's output is JSON (which scripts read whole).
#pragma once
#include <initializer_list>
#include <map>
#include <span>
#include <stdexcept>
#include <string>
#include "base/asys.h"
#include "design/kvvar.h"
#include "design/meshstore.h"
#include "design/preview_calls.h"

// A failure the user must hear about: its text is the whole message. Exit code 1.
struct tool_error : std::runtime_error {
  using std::runtime_error::runtime_error;
};
// A wrong command line: its text names the wrong argument and ends with the usage line. Exit code 2.
struct usage_error : tool_error {
  using tool_error::tool_error;
};

constexpr int exit_failure_code = 1;     // the command failed
constexpr int exit_usage_code = 2;       // the command line is wrong

using command_fn = int (*)(const astr& args);  // args after the command name; returns the exit code

struct tool_command {
  const char* name;          // as typed after corvane-tool
  const char* usage;         // arguments, e.g. "OUT [--force]"
  const char* help;          // what it does, one or more lines
  const char* example;       // one typical command line
  command_fn run;
  bool prints_json = false;  // its output is JSON and nothing else, not even the files written
};

std::span<const tool_command> tool_commands();  // in the order --help lists them

// Arguments of one command: positional ones in order, options by name
// ("--name" -> value; a flag such as "--force" maps to "").
struct command_args {
  astr positional;
  std::map<std::string, std::string> options;
  bool has(const char* option) const { return options.count(option) != 0; }
};
// Splits args; usage_error naming the wrong argument when the count is off or
// an option is unknown or lacks its value.
command_args parse_command_args(const astr& args, const tool_command& cmd, size_t min_positional,
                                size_t max_positional, std::initializer_list<const char*> value_options = {},
                                std::initializer_list<const char*> flag_options = {});
const tool_command& command_named(const std::string& name);  // a row of the table; usage_error when none
[[noreturn]] void usage_failure(const tool_command& cmd, const std::string& problem); // throws usage_error

// The preview the tool's design is linked to: the headless mesh store, which
// raises the design's size to its meshes' radius as the designer's preview does.
void read_installation_meshes();   // the design operations read the meshes into headless_meshes

// --- Inputs and outputs -------------------------------------------------------------------
// IN read as a design by its content, whatever its name: a design file or a
// vessel module (the design block at its end), or a Spacecraft3 vessel (its
// [sections]) imported with notes on standard error. tool_error for anything else.
vessel_design read_input(const std::string& in, bool with_preview);
void refuse_same_file(const std::string& in, const std::string& out);  // tool_error when out is the file in
void refuse_existing(const std::string& out, const command_args& a);   // tool_error when out exists and --force is not given
void note_written(const std::string& path);   // a file the command wrote
const astr& files_written();                  // in the order they were written
void print_notes(const char* label, const astr& lines);  // "label: line" on standard error, one per line

// --- The commands ---------------------------------------------------------------------------
int cmd_new(const astr& args);          // cmd_design.cpp
int cmd_template(const astr& args);     // cmd_design.cpp
int cmd_import_sc3(const astr& args);   // cmd_design.cpp
int cmd_info(const astr& args);         // cmd_info.cpp
int cmd_generate(const astr& args);     // cmd_generate.cpp
int cmd_module(const astr& args);       // cmd_generate.cpp
int cmd_listing(const astr& args);      // cmd_generate.cpp
int cmd_project(const astr& args);      // cmd_generate.cpp
int cmd_run(const astr& args);          // cmd_generate.cpp
int cmd_install(const astr& args);      // cmd_install.cpp
int cmd_mesh(const astr& args);         // cmd_mesh.cpp
int cmd_image(const astr& args);        // cmd_image.cpp
int cmd_import_mesh(const astr& args);  // cmd_meshio.cpp
int cmd_export_mesh(const astr& args);  // cmd_meshio.cpp
int cmd_check(const astr& args);        // cmd_check.cpp
int cmd_diff(const astr& args);         // cmd_diff.cpp
