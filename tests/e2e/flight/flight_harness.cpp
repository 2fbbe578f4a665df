// flight_harness: temporary installations and flights (see header).
#include "flight_harness.h"
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include "design/designfile.h"
#include "module_images.h"

namespace fs = std::filesystem;

namespace {

std::string read_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::stringstream s(text);
  for (std::string line; std::getline(s, line);) lines.push_back(line);
  return lines;
}

int run_in(const std::string& dir, const std::vector<std::string>& args, const std::string& errors) {
  pid_t pid = fork();
  if (pid == 0) {
    int err = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int null = open("/dev/null", O_WRONLY);
    if (err < 0 || null < 0 || chdir(dir.c_str()) != 0) _exit(127);
    dup2(err, 2);
    dup2(null, 1);
    std::vector<char*> argv{const_cast<char*>(VELTORA_EXE)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(VELTORA_EXE, argv.data());
    _exit(127);
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace

flight_root::flight_root(bool payload_manager, bool crew_library) {
  char tmpl[] = "/tmp/corvane_flightXXXXXX";
  dir = mkdtemp(tmpl) ? tmpl : "";
  fs::create_directories(path("Modules"));
  fs::create_directories(path("Config/Vessels"));
  fs::create_directories(path("Scenarios"));
  if (payload_manager) fs::copy_file(PAYLOAD_MANAGER_STANDIN, path("Modules/PayloadManager.dll"));
  if (crew_library) fs::copy_file(UMMU_STANDIN, path("Modules/UMmu.dll"));
}

flight_root::~flight_root() {
  std::error_code ec;
  if (!dir.empty()) fs::remove_all(dir, ec);
}

std::string flight_root::path(const std::string& rel) const { return dir + "/" + rel; }

void flight_root::write(const std::string& rel, const std::string& bytes) const {
  fs::create_directories(fs::path(path(rel)).parent_path());
  std::ofstream(path(rel), std::ios::binary) << bytes;
}

void flight_root::write(const std::string& rel, const std::vector<uint8_t>& bytes) const {
  write(rel, std::string(bytes.begin(), bytes.end()));
}

void flight_root::add_class(const std::string& class_name, const std::string& module, bool editor_module) const {
  std::string text = "; " + class_name + " vessel class\r\nClassName=" + class_name + "\r\nModule=" + module + "\r\n";
  if (editor_module) text += "EditorModule=" + module + "\r\n";
  write("Config/Vessels/" + class_name + ".cfg", text);
}

void flight_root::install(vessel_design& d, bool editor_module) const {
  std::string module = name_of(d.header.dll_name, sizeof d.header.dll_name);
  write("Modules/" + module + ".dll", module_bytes(d));
  add_class(name_of(d.header.vessel_name, sizeof d.header.vessel_name), module, editor_module);
}

void flight_root::add_scenario(const std::string& name, const std::vector<scenario_ship>& ships,
                               const std::string& focus) const {
  std::string text = "BEGIN_DESC\r\ntest flight\r\nEND_DESC\r\n\r\n";
  if (!focus.empty()) text += "BEGIN_FOCUS\r\n  Ship " + focus + "\r\nEND_FOCUS\r\n\r\n";
  text += "BEGIN_SHIPS\r\n";
  for (const scenario_ship& s : ships) {
    text += s.name + ":" + s.class_name + "\r\n";
    for (const std::string& line : s.state) text += "  " + line + "\r\n";
    text += "END\r\n";
  }
  write("Scenarios/" + name, text + "END_SHIPS\r\n");
}

flight_result flight_root::fly(const std::vector<std::string>& args) const {
  std::string report = "veltora.log";
  for (size_t i = 0; i + 1 < args.size(); i++)
    if (args[i] == "--report") report = args[i + 1];
  std::error_code ec;
  fs::remove(path(report), ec);
  flight_result r;
  std::string errors = dir + ".stderr";
  r.exit_code = run_in(dir, args, errors);
  r.errors = read_text(errors);
  fs::remove(errors, ec);
  r.report = split_lines(read_text(path(report)));
  return r;
}

std::vector<uint8_t> module_bytes(vessel_design& d) {
  module_image image = module_image_for(d.header.payload_manager != 0);
  std::vector<uint8_t> out(image.bytes, image.bytes + image.size);
  append_design_block(d, out);
  return out;
}

std::vector<uint8_t> design_file_bytes(vessel_design& d) {
  std::vector<uint8_t> out;
  append_design_block(d, out);
  return out;
}

vessel_design named_design(const std::string& name, bool payload_manager) {
  vessel_design d;
  set_name(d.header.vessel_name, design_name_capacity, name);
  set_name(d.header.dll_name, design_name_capacity, name);
  d.header.payload_manager = payload_manager ? 1 : 0;
  return d;
}

std::string ship_of(const vessel_design& d) { return name_of(d.header.vessel_name, sizeof d.header.vessel_name) + "-1"; }

std::vector<std::string> calls(const flight_result& r, const std::string& ship) {
  std::string prefix = "[" + ship + "] ";
  std::vector<std::string> out;
  for (const std::string& line : r.report)
    if (line.compare(0, prefix.size(), prefix) == 0) out.push_back(line.substr(prefix.size()));
  return out;
}

std::vector<std::string> section(const std::vector<std::string>& lines, const std::string& from,
                                 const std::vector<std::string>& until) {
  std::vector<std::string> out;
  int start = index_of(lines, from);
  for (size_t i = start + 1; start >= 0 && i < lines.size(); i++) {
    for (const std::string& u : until)
      if (lines[i].compare(0, u.size(), u) == 0) return out;
    out.push_back(lines[i]);
  }
  return out;
}

std::vector<std::string> starting(const std::vector<std::string>& lines, const std::string& prefix) {
  std::vector<std::string> out;
  for (const std::string& line : lines)
    if (line.compare(0, prefix.size(), prefix) == 0) out.push_back(line);
  return out;
}

int index_of(const std::vector<std::string>& lines, const std::string& line, int from) {
  for (size_t i = from < 0 ? 0 : from; i < lines.size(); i++)
    if (lines[i] == line) return static_cast<int>(i);
  return -1;
}

std::string num(double v) {
  char text[32];
  snprintf(text, sizeof text, "%.6g", v == 0 ? 0.0 : v);
  return text;
}

std::string vec(const vec3& v) { return "(" + num(v.x) + " " + num(v.y) + " " + num(v.z) + ")"; }
