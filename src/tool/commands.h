// commands: the table of corvane-tool's commands and what they share.
//
// Each command is a function in its own cmd_*.cpp file and one row of the
// table in commands.cpp: its name, its usage line, its help text. main() finds
// the row, answers --help, and turns errors into a one-line message on
// standard error and exit code 1.
//
// Builds on: the design model (kvvar, designfile), asys (io_error).
//
// Notes: the tool runs in the simulator's root folder like the designer, so
// relative names resolve against it.
#pragma once
#include <map>
#include <span>
#include <stdexcept>
#include <string>
#include "base/asys.h"
#include "design/meshstore.h"
#include "design/preview_link.h"

// A failure the user must hear about: its text is the whole one-line message.
struct tool_error : std::runtime_error {
  using std::runtime_error::runtime_error;
};

using command_fn = int (*)(const astr& args);  // args after the command name; returns the exit code

struct tool_command {
  const char* name;          // as typed after corvane-tool
  const char* usage;         // arguments, e.g. "OUT"
  const char* help;          // what it does, one or more lines
  command_fn run;
};

std::span<const tool_command> tool_commands();  // in the order --help lists them

// Arguments of one command: positional ones in order, options with a value by name.
struct command_args {
  astr positional;
  std::map<std::string, std::string> options;   // "--name" -> value
};
// Splits args; tool_error with the usage line when the count is off or an option is unknown.
command_args parse_command_args(const astr& args, const tool_command& cmd, size_t min_positional,
                                size_t max_positional, std::initializer_list<const char*> value_options = {});
const tool_command& command_named(const std::string& name);  // a row of the table

// The preview the tool's design is linked to: the headless mesh store, which
// raises the design's size to its meshes' radius and knows their texture names.
preview_link tool_preview();
mesh_store& tool_meshes();

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
int cmd_mesh(const astr& args);         // cmd_mesh.cpp
int cmd_image(const astr& args);        // cmd_image.cpp
int cmd_check(const astr& args);        // cmd_check.cpp
int cmd_diff(const astr& args);         // cmd_diff.cpp
