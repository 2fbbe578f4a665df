// cmd_info: the design in a file, printed as JSON as it is stored (or as a
// Spacecraft3 vessel imports).
#include <cstdio>
#include "tool/commands.h"
#include "tool/design_json.h"

int cmd_info(const astr& args) {
  const command_args a = parse_command_args(args, command_named("info"), 1, 1);
  // no preview: meshes found here must not raise the stored size
  const vessel_design d = read_input(a.positional[0], false);
  std::printf("%s\n", json_text(design_to_json(d)).c_str());
  return 0;
}
