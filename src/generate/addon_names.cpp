#include "generate/addon_names.h"

#include "base/asys.h"
#include "base/instpath.h"

std::string module_entry_name(const std::string& dll_name) { return "modules\\" + to_backslashes(dll_name) + ".dll"; }

std::string mesh_entry_name(const std::string& mesh_name) { return "meshes\\" + to_backslashes(mesh_name) + ".msh"; }

std::string texture_entry_name(const std::string& texture_name) { return "textures\\" + to_backslashes(texture_name); }

std::string payload_manager_entry_name() { return "modules\\PayloadManager.dll"; }

std::string config_entry_name(const std::string& vessel_name) {
  return "config\\vessels\\" + to_backslashes(vessel_name) + ".cfg";
}

std::string readme_entry_name(const std::string& vessel_name) { return to_backslashes(vessel_name) + "_readme.txt"; }

std::string orbital_scenario_name(const std::string& vessel_name) {
  return "scenarios\\" + to_backslashes(vessel_name) + "_orbital_scenario.scn";
}

std::string ground_scenario_name(const std::string& vessel_name) {
  return "scenarios\\" + to_backslashes(vessel_name) + "_ground_scenario.scn";
}

std::string mesh_source_name(const std::string& mesh_name) { return "Meshes/" + to_slashes(mesh_name) + ".msh"; }

std::string texture_source_name(const std::string& texture_name) { return "Textures/" + to_slashes(texture_name); }

std::string target_path(const std::string& root, const std::string& rel) {
  std::string path = root;
  std::string rest = to_slashes(rel);
  while (!rest.empty()) {
    size_t cut = rest.find('/');
    std::string part = rest.substr(0, cut);
    rest = cut == std::string::npos ? "" : rest.substr(cut + 1);
    if (part.empty() || part == ".") continue;
    std::string found = install_path(path, part);
    path = found.empty() ? path + "/" + part : found;
  }
  return path;
}

bool is_safe_name(const std::string& name) { return is_safe_relative(to_slashes(name)); }

std::string checked_target_name(const std::string& name, const std::string& what) {
  if (!is_safe_name(name))
    throw io_error("The " + what + " gives \"" + name + "\", which would lie outside the simulator's folder.");
  return to_slashes(name);
}
