// addon_names: the names of the files the generator writes and of the package's entries.
//
// Entry names use backslashes, as the simulator's installation expects; the
// same names turned to forward slashes locate files below the root. Every name
// built from design data (dll_name, vessel_name, mesh and texture names) is
// checked here, so that neither a package entry nor a file written or read
// for one can leave the simulator's root.
//
// Builds on: instpath (is_safe_relative, to_backslashes), asys (io_error).
#pragma once
#include <string>

std::string module_entry_name(const std::string& dll_name);        // "modules\" + dll_name + ".dll"
std::string mesh_entry_name(const std::string& mesh_name);         // "meshes\" + name + ".msh"
std::string texture_entry_name(const std::string& texture_name);   // "textures\" + name
std::string payload_manager_entry_name();                          // "modules\PayloadManager.dll"
std::string config_entry_name(const std::string& vessel_name);     // "config\vessels\" + name + ".cfg"
std::string readme_entry_name(const std::string& vessel_name);     // name + "_readme.txt"
std::string orbital_scenario_name(const std::string& vessel_name); // "scenarios\" + name + "_orbital_scenario.scn"
std::string ground_scenario_name(const std::string& vessel_name);  // "scenarios\" + name + "_ground_scenario.scn"

std::string mesh_source_name(const std::string& mesh_name);        // "Meshes/" + name + ".msh"
std::string texture_source_name(const std::string& texture_name);  // "Textures/" + name

bool        is_safe_name(const std::string& name);                 // relative, no "..", either separator
// root + "/" + rel, each component that already exists matched ignoring case,
// so that a file is written into "meshes" when the installation has "Meshes".
std::string target_path(const std::string& root, const std::string& rel);
// The name with forward slashes when it stays below the root; otherwise
// io_error naming what the name came from ("DLL name", "vessel name").
std::string checked_target_name(const std::string& name, const std::string& what);
