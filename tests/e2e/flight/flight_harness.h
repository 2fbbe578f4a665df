// flight_harness: installing designs in a temporary simulator root and flying them.
//
// A flight_root is a fresh folder laid out like an installation: "Modules"
// (with the stand-in Payload Manager and crew libraries unless left out),
// "Config/Vessels" and "Scenarios". Designs become module files (the image
// their flag selects, then the design block) and class configurations; fly()
// runs veltora.exe there and returns its exit status, report and error output.
//
// Builds on: designfile (the block writer), module_images, the stand-in simulator.
#pragma once
#include <string>
#include <vector>
#include "design/kvvar.h"

struct flight_result {
  int exit_code = -1;                       // the simulator's exit status
  std::vector<std::string> report;          // the report's lines
  std::string errors;                       // what it wrote to standard error
};

struct scenario_ship {                          // one ship of a scenario
  std::string name;
  std::string class_name;
  std::vector<std::string> state;           // its state lines
};

struct flight_root {
  std::string dir;                          // the root folder
  explicit flight_root(bool payload_manager = true, bool crew_library = true);
  ~flight_root();                           // removes the folder
  std::string path(const std::string& rel) const;
  void write(const std::string& rel, const std::string& bytes) const;     // creates folders
  void write(const std::string& rel, const std::vector<uint8_t>& bytes) const;
  // Installs d as module dll_name with a configuration for class vessel_name.
  void install(vessel_design& d, bool editor_module = false) const;
  void add_class(const std::string& class_name, const std::string& module, bool editor_module = false) const;
  void add_scenario(const std::string& name, const std::vector<scenario_ship>& ships,
                    const std::string& focus = "") const;
  flight_result fly(const std::vector<std::string>& args) const;          // veltora.exe args, in dir
};

std::vector<uint8_t> module_bytes(vessel_design& d);          // image by payload_manager + block + length
std::vector<uint8_t> design_file_bytes(vessel_design& d);     // block + length
vessel_design named_design(const std::string& name, bool payload_manager = false); // blank, named
std::string ship_of(const vessel_design& d);                  // vessel_name + "-1"

// The report lines about one ship, without the "[ship] " prefix.
std::vector<std::string> calls(const flight_result& r, const std::string& ship);
// The lines from the first one equal to from, excluding it, up to the first starting with any of until.
std::vector<std::string> section(const std::vector<std::string>& lines, const std::string& from,
                                 const std::vector<std::string>& until);
// Lines that start with prefix.
std::vector<std::string> starting(const std::vector<std::string>& lines, const std::string& prefix);
int index_of(const std::vector<std::string>& lines, const std::string& line, int from = 0); // -1 if absent

// The report's text forms, written independently of the simulator.
std::string num(double v);
std::string vec(const vec3& v);
