// scenario: what the stand-in simulator reads from the installation.
//
// A scenario names its ships in the block from "BEGIN_SHIPS" to "END_SHIPS":
// a "name:class" line, then the ship's state lines up to "END". The focus
// ship is the "Ship" line of the "BEGIN_FOCUS" block. A vessel class is
// described by "Config/Vessels/<class>.cfg", whose "Module=" line names the
// module in "Modules/" and whose "EditorModule=" line names the module that
// adds scenario editor pages. File names are matched ignoring case.
//
// Builds on: base/instpath (installation paths).
//
// Notes: lines are read without their line ends and leading or trailing
// blanks; keys of configuration lines are matched ignoring case.
#pragma once
#include <string>
#include <vector>

struct ship_rec {                          // one ship of a scenario
  std::string name;                        // before the ":"
  std::string class_name;                  // after it
  std::vector<std::string> state;          // its state lines, in order
};

struct scenario_rec {                      // what a flight needs from a scenario
  std::string focus;                       // the focus ship's name, or ""
  std::vector<ship_rec> ships;             // in scenario order
};

struct class_config {                      // what a flight needs from a class configuration
  std::string path;                        // the file found, or "" when there is none
  std::string module;                      // "Module=" value, or ""
  std::string editor_module;               // "EditorModule=" value, or ""
};

bool         read_scenario(const std::string& path, scenario_rec& out); // false when unreadable
class_config read_class_config(const std::string& root, const std::string& class_name);
std::string  module_path(const std::string& root, const std::string& module); // "Modules/<m>.dll" found, or ""
std::string  newest_scenario(const std::string& root);  // newest "*.scn" below "Scenarios", or ""
std::string  find_scenario(const std::string& root, const std::string& name); // as given, or below "Scenarios"
