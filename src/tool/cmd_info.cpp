// cmd_info: the design block at the end of a file, printed as JSON as it is
// stored.
#include <cstdio>
#include "design/designfile.h"
#include "tool/commands.h"
#include "tool/design_json.h"

int cmd_info(const astr& args) {
  const command_args a = parse_command_args(args, command_named("info"), 1, 1);
  vessel_design d;                           // no preview: meshes found here must not raise the stored size
  const design_read_result r = read_design_file(d, a.positional[0]);
  if (r.status != design_read_ok) throw tool_error(r.message);
  std::printf("%s\n", json_text(design_to_json(d)).c_str());
  return 0;
}
