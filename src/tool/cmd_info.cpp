// cmd_info: the design block at the end of a file, printed as JSON.
#include <cstdio>
#include "design/designfile.h"
#include "tool/commands.h"
#include "tool/design_json.h"

int cmd_info(const astr& args) {
  const command_args a = parse_command_args(args, command_named("info"), 1, 1);
  vessel_design d;
  d.preview = tool_preview();
  const design_read_result r = read_design_file(d, a.positional[0]);
  if (r.status != design_read_ok) throw tool_error(r.message);
  // names may hold any bytes: what is not UTF-8 is shown as U+FFFD
  const std::string text = design_to_json(d).dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
  std::printf("%s\n", text.c_str());
  return 0;
}
