// scenario: reading scenarios and class configurations (see header).
#include "scenario.h"
#include <strings.h>
#include <cstring>
#include <filesystem>
#include <fstream>
#include "base/instpath.h"

namespace fs = std::filesystem;

namespace {

std::string trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

bool starts_with_nocase(const std::string& s, const char* prefix) {
  return strncasecmp(s.c_str(), prefix, strlen(prefix)) == 0;
}

std::vector<std::string> read_lines(const std::string& path, bool& ok) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  ok = static_cast<bool>(in);
  for (std::string line; std::getline(in, line);) lines.push_back(trim(line));
  return lines;
}

// A path below root that exists (either slash, any case), as something dlopen and fopen take.
std::string existing(const std::string& root, const std::string& rel) {
  std::string p = install_path(root, rel);
  return p.empty() || p.find('/') != std::string::npos ? p : "./" + p;
}

} // namespace

bool read_scenario(const std::string& path, scenario_rec& out) {
  bool ok;
  std::vector<std::string> lines = read_lines(path, ok);
  if (!ok) return false;
  out = scenario_rec{};
  bool in_focus = false, in_ships = false;
  ship_rec* ship = nullptr;
  for (const std::string& line : lines) {
    if (line == "BEGIN_FOCUS") in_focus = true;
    else if (line == "END_FOCUS") in_focus = false;
    else if (in_focus && starts_with_nocase(line, "Ship ")) out.focus = trim(line.substr(5));
    else if (line == "BEGIN_SHIPS") in_ships = true;
    else if (line == "END_SHIPS") in_ships = false;
    else if (!in_ships || line.empty()) continue;
    else if (ship && line == "END") ship = nullptr;
    else if (ship) ship->state.push_back(line);
    else if (size_t colon = line.find(':'); colon != std::string::npos) {
      out.ships.push_back({trim(line.substr(0, colon)), trim(line.substr(colon + 1)), {}});
      ship = &out.ships.back();
    }
  }
  return true;
}

class_config read_class_config(const std::string& root, const std::string& class_name) {
  class_config c;
  c.path = existing(root, "Config/Vessels/" + class_name + ".cfg");
  if (c.path.empty()) return c;
  bool ok;
  for (const std::string& line : read_lines(c.path, ok)) {
    size_t eq = line.find('=');
    if (eq == std::string::npos || line[0] == ';') continue;
    std::string key = trim(line.substr(0, eq)), value = trim(line.substr(eq + 1));
    if (strcasecmp(key.c_str(), "Module") == 0) c.module = value;
    if (strcasecmp(key.c_str(), "EditorModule") == 0) c.editor_module = value;
  }
  return c;
}

std::string module_path(const std::string& root, const std::string& module) {
  return existing(root, "Modules/" + module + ".dll");
}

std::string newest_scenario(const std::string& root) {
  std::string folder = install_path(root, "Scenarios"), newest;
  std::error_code ec;
  if (folder.empty() || !fs::is_directory(folder, ec)) return "";
  fs::file_time_type newest_time{};
  for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    const fs::path& p = it->path();
    if (!it->is_regular_file(ec) || strcasecmp(p.extension().string().c_str(), ".scn") != 0) continue;
    fs::file_time_type t = it->last_write_time(ec);
    if (!ec && (newest.empty() || t > newest_time)) {
      newest = p.string();
      newest_time = t;
    }
  }
  return newest;
}

std::string find_scenario(const std::string& root, const std::string& name) {
  std::error_code ec;
  if (fs::is_regular_file(name, ec)) return name;
  for (const std::string& rel : {name, "Scenarios/" + name, "Scenarios/" + name + ".scn"})
    if (std::string p = existing(root, rel); !p.empty() && fs::is_regular_file(p, ec)) return p;
  return "";
}
