// cmd_diff: two designs compared field by field.
#include <cstdio>
#include "design/designfile.h"
#include "tool/commands.h"
#include "tool/design_json.h"

namespace {

using json = nlohmann::ordered_json;

// Vectors, group slots and group lists are compared whole: an array of plain values is one field.
bool is_field(const json& j) {
  if (j.is_object()) return false;
  if (!j.is_array()) return true;
  for (const json& e : j)
    if (e.is_structured()) return false;
  return true;
}

void add_difference(json& out, const std::string& path, const json& was, const json& now) {
  out.push_back({{"path", path}, {"old", was}, {"new", now}});
}

// Every field where a and b differ, under path; an element only one side has is one difference.
void compare(const json& a, const json& b, const std::string& path, json& out) {
  if (is_field(a) || is_field(b) || a.type() != b.type()) {
    if (a != b) add_difference(out, path, a, b);
    return;
  }
  if (a.is_object()) {
    for (auto it = a.begin(); it != a.end(); ++it)
      compare(it.value(), b.contains(it.key()) ? b[it.key()] : json(), path + (path.empty() ? "" : ".") + it.key(), out);
    return;
  }
  const size_t n = std::max(a.size(), b.size());
  for (size_t i = 0; i < n; ++i)
    compare(i < a.size() ? a[i] : json(), i < b.size() ? b[i] : json(), path + "[" + std::to_string(i) + "]", out);
}

json read_as_json(const std::string& name) {
  vessel_design d;                           // no preview: the stored values as they are
  const design_read_result r = read_design_file(d, name);
  if (r.status != design_read_ok) throw tool_error(r.message);
  return design_to_json(d);
}

}  // namespace

int cmd_diff(const astr& args) {
  const command_args a = parse_command_args(args, command_named("diff"), 2, 2);
  json out = json::array();
  compare(read_as_json(a.positional[0]), read_as_json(a.positional[1]), "", out);
  if (out.empty()) return 0;
  std::printf("%s\n", json_text(out).c_str());
  return 1;
}
