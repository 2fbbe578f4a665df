// cmd_generate: the commands that make what the simulator uses: generate (the
// add-on package), module, listing, project, and run (starts the simulator).
// They call the same generator functions as the designer's Export and Run
// Veltora, in the current folder as the simulator's root.
#include <algorithm>
#include <cstdio>
#include "design/kvvar.h"
#include "generate/addon_files.h"
#include "generate/launcher.h"
#include "generate/module_writer.h"
#include "generate/project_writer.h"
#include "tool/commands.h"

namespace {

constexpr const char* root = ".";   // the tool runs in the simulator's root

// "-o OUT" is the output option of these commands; the shared splitter knows it as "--out".
command_args split(const astr& args, const char* name, size_t positional,
                   std::initializer_list<const char*> flags = {}) {
  astr renamed = args;
  for (std::string& a : renamed)
    if (a == "-o") a = "--out";
  return parse_command_args(renamed, command_named(name), positional, positional, {"--out"}, flags);
}

// The output named by -o, never the input itself; fallback when none is named.
std::string output_of(const command_args& a, const std::string& fallback) {
  auto out = a.options.find("--out");
  const std::string name = out == a.options.end() ? fallback : out->second;
  if (!name.empty()) refuse_same_file(a.positional[0], name);
  return name;
}

std::string dll_name_of(const vessel_design& d) { return name_of(d.header.dll_name, sizeof d.header.dll_name); }

// A package that lacks every mesh the design names is no add-on: say so instead
// of writing it. A mesh with an empty name names nothing.
void refuse_meshless(const vessel_design& d, const addon_report& report, const command_args& a) {
  const auto named = std::count_if(d.data.meshes.begin(), d.data.meshes.end(), [](const mesh_entry& m) { return m.name[0] != 0; });
  if (named == 0 || report.meshes_packed > 0 || a.has("--allow-missing")) return;
  throw tool_error("none of the " + std::to_string(named) +
                   " meshes the design names was found below Meshes/ here; run in the simulator's root, "
                   "or give --allow-missing to write the package without them");
}

// Simulator options as one command line; a double quote cannot be passed through it.
std::string command_line(const astr& options) {
  std::string line = simulator_command;
  for (const std::string& o : options) {
    if (o.find('"') != std::string::npos) usage_failure(command_named("run"), "option " + o + " holds a double quote");
    line += " \"" + o + "\"";
  }
  return line;
}

}  // namespace

int cmd_generate(const astr& args) {
  const command_args a = split(args, "generate", 1, {"--allow-missing", "--strict"});
  vessel_design d = read_input(a.positional[0], true);
  const std::string out = output_of(a, dll_name_of(d) + ".zip");
  user_settings user;
  read_user_settings(user, root);
  const addon_sources src = package_sources(d, root, user.author_name);
  zipfile_rec z;
  astr warnings;
  const addon_report report = build_addon(d, src, z, warnings);
  warnings.insert(warnings.end(), report.left_out.begin(), report.left_out.end());
  print_notes("warning", warnings);
  refuse_meshless(d, report, a);
  if (a.has("--strict") && !warnings.empty())
    throw tool_error("--strict: " + std::to_string(warnings.size()) + " warnings; " + out + " was not written");
  zip_write(z, out);
  note_written(out);
  return 0;
}

int cmd_module(const astr& args) {
  const command_args a = split(args, "module", 1);
  vessel_design d = read_input(a.positional[0], true);
  note_written(write_module_file(d, output_of(a, module_target(d, "", root)), root));
  return 0;
}

int cmd_listing(const astr& args) {
  const command_args a = split(args, "listing", 1);
  if (!a.has("--out")) usage_failure(command_named("listing"), "missing -o OUT");
  const std::string out = output_of(a, "");
  write_listing(read_input(a.positional[0], true), out);
  note_written(out);
  return 0;
}

int cmd_project(const astr& args) {
  const command_args a = split(args, "project", 1);
  for (const std::string& f : write_project(root, dll_name_of(read_input(a.positional[0], true)))) note_written(f);
  return 0;
}

int cmd_run(const astr& args) {
  std::string why;
  const int code = run_and_wait(command_line(args), root, show_normal, &why);
  if (code < 0) throw tool_error(why);
  return code;
}
