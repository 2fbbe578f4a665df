// cmd_design: the commands that write a design file: new, template, import-sc3.
#include <cstdio>
#include "design/designfile.h"
#include "design/designtemplate.h"
#include "design/sc3import.h"
#include "tool/commands.h"

static vessel_design fresh_design() {
  vessel_design d;
  d.preview = tool_preview();
  return d;
}

int cmd_new(const astr& args) {
  const command_args a = parse_command_args(args, command_named("new"), 1, 1);
  vessel_design d = fresh_design();
  write_design_file(d, a.positional[0]);
  return 0;
}

int cmd_template(const astr& args) {
  const command_args a = parse_command_args(args, command_named("template"), 1, 1);
  vessel_design d = fresh_design();
  apply_template(d);
  write_design_file(d, a.positional[0]);
  return 0;
}

int cmd_import_sc3(const astr& args) {
  const command_args a = parse_command_args(args, command_named("import-sc3"), 2, 2, {"--name"});
  const auto name = a.options.find("--name");
  vessel_design d = fresh_design();
  const astr notes = import_sc3(d, a.positional[0], name == a.options.end() ? sc3_default_name : name->second);
  for (const std::string& n : notes) std::fprintf(stderr, "note: %s\n", n.c_str());
  write_design_file(d, a.positional[1]);
  return 0;
}
