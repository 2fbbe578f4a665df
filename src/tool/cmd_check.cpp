// cmd_check: the design checks of a design file, as JSON.
#include <cstdio>
#include "design/designcheck.h"
#include "design/designfile.h"
#include "tool/commands.h"
#include "tool/design_json.h"

int cmd_check(const astr& args) {
  const command_args a = parse_command_args(args, command_named("check"), 1, 1, {"--root"});
  const auto root = a.options.find("--root");
  vessel_design d;                           // no preview: the checks read the meshes themselves
  const design_read_result r = read_design_file(d, a.positional[0]);
  if (r.status != design_read_ok) throw tool_error(r.message);
  nlohmann::ordered_json out = nlohmann::ordered_json::array();
  bool errors = false;
  for (const check_finding& f : check_design(d, root == a.options.end() ? "." : root->second)) {
    out.push_back({{"severity", severity_name(f.severity)}, {"code", f.code}, {"kind", f.kind},
                   {"index", f.index}, {"text", f.text}});
    errors |= f.severity == check_error;
  }
  std::printf("%s\n", json_text(out).c_str());
  return errors ? 1 : 0;
}
