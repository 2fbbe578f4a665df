// cmd_design: the commands that write a design file: new, template, import-sc3.
// None of them replaces an existing file unless --force is given.
#include <cstdio>
#include "design/designfile.h"
#include "design/designtemplate.h"
#include "design/sc3import.h"
#include "tool/commands.h"

namespace {

vessel_design fresh_design() {
  read_installation_meshes();
  return vessel_design{};
}

void write_design(vessel_design& d, const std::string& out) {
  write_design_file(d, out);
  note_written(out);
}

}  // namespace

int cmd_new(const astr& args) {
  const command_args a = parse_command_args(args, command_named("new"), 1, 1, {}, {"--force"});
  refuse_existing(a.positional[0], a);
  vessel_design d = fresh_design();
  write_design(d, a.positional[0]);
  return 0;
}

int cmd_template(const astr& args) {
  const command_args a = parse_command_args(args, command_named("template"), 1, 1, {}, {"--force"});
  refuse_existing(a.positional[0], a);
  vessel_design d = fresh_design();
  apply_template(d);
  write_design(d, a.positional[0]);
  return 0;
}

int cmd_import_sc3(const astr& args) {
  const command_args a = parse_command_args(args, command_named("import-sc3"), 2, 2, {"--name"}, {"--force"});
  const std::string &in = a.positional[0], &out = a.positional[1];
  refuse_same_file(in, out);
  refuse_existing(out, a);
  const auto name = a.options.find("--name");
  vessel_design d = fresh_design();
  print_notes("note", import_sc3(d, in, name == a.options.end() ? sc3_default_name : name->second));
  write_design(d, out);
  return 0;
}
