// cmd_generate: the commands that make what the simulator uses: generate (the
// add-on package), module, listing, project, and run (starts the simulator).
// They call the same generator functions as the designer's Export and Run
// Veltora, in the current folder as the simulator's root.
#include <cstdio>
#include <strings.h>
#include "design/designfile.h"
#include "design/sc3import.h"
#include "generate/addon_files.h"
#include "generate/launcher.h"
#include "generate/module_writer.h"
#include "generate/project_writer.h"
#include "tool/commands.h"

namespace {

constexpr const char* root = ".";   // the tool runs in the simulator's root

// "-o OUT" is the output option of these commands; the shared splitter knows it as "--out".
command_args split(const astr& args, const char* name, size_t positional) {
  astr renamed = args;
  for (std::string& a : renamed)
    if (a == "-o") a = "--out";
  return parse_command_args(renamed, command_named(name), positional, positional, {"--out"});
}

std::string output_of(const command_args& a, const std::string& fallback) {
  auto out = a.options.find("--out");
  return out == a.options.end() ? fallback : out->second;
}

bool is_sc3_file(const std::string& name) {
  return name.size() >= 4 && strcasecmp(name.c_str() + name.size() - 4, ".ini") == 0;
}

void print_notes(const astr& notes) {
  for (const std::string& n : notes) std::fprintf(stderr, "note: %s\n", n.c_str());
}

// IN is a design file, a vessel module, or a Spacecraft3 vessel imported first.
vessel_design load_input(const std::string& in) {
  vessel_design d;
  d.preview = tool_preview();
  if (is_sc3_file(in)) {
    print_notes(import_sc3(d, in, sc3_default_name));
    return d;
  }
  const design_read_result r = read_design_file(d, in);
  if (r.status != design_read_ok) throw tool_error(r.message);
  return d;
}

std::string dll_name_of(const vessel_design& d) { return name_of(d.header.dll_name, sizeof d.header.dll_name); }

}  // namespace

int cmd_generate(const astr& args) {
  const command_args a = split(args, "generate", 1);
  vessel_design d = load_input(a.positional[0]);
  user_settings user;
  read_user_settings(user, root);
  addon_sources src;
  src.root = root;
  src.author = user.author_name;
  src.mesh_textures = mesh_texture_lists(tool_meshes());
  astr messages;
  const addon_report report = generate_addon(d, src, output_of(a, dll_name_of(d) + ".zip"), messages);
  print_notes(messages);
  print_notes(report.left_out);
  return 0;
}

int cmd_module(const astr& args) {
  const command_args a = split(args, "module", 1);
  vessel_design d = load_input(a.positional[0]);
  write_module_file(d, output_of(a, ""), root);
  return 0;
}

int cmd_listing(const astr& args) {
  const command_args a = split(args, "listing", 1);
  if (!a.options.count("--out"))
    throw tool_error("usage: corvane-tool listing " + std::string(command_named("listing").usage));
  write_listing(load_input(a.positional[0]), a.options.at("--out"));
  return 0;
}

int cmd_project(const astr& args) {
  const command_args a = split(args, "project", 1);
  write_project(root, dll_name_of(load_input(a.positional[0])));
  return 0;
}

int cmd_run(const astr& args) {
  split(args, "run", 0);
  std::string why;
  const int code = run_and_wait(simulator_command, root, show_normal, &why);
  if (code < 0) throw tool_error(why);
  return code;
}
