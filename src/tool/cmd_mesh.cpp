// cmd_mesh: what the mesh reader makes of a mesh file, printed as JSON, so
// that meshes can be checked without the designer's window.
#include <cstdio>
#include <nlohmann/json.hpp>

#include "mesh/grplib.h"
#include "tool/commands.h"
#include "tool/design_json.h"

namespace {

using json = nlohmann::ordered_json;

json colour_json(packed_colour c) { return json::array({colour_byte(c, 0), colour_byte(c, 1), colour_byte(c, 2), colour_byte(c, 3)}); }

json vec_json(const vec3& v) { return json::array({v.x, v.y, v.z}); }

json group_json(const typmshgrp& g) {
  return {{"vertices", g.vertices.size()},
          {"triangles", g.indices.size() / 3},
          {"diffuse", colour_json(g.diffuse)},
          {"emissive", colour_json(g.emissive)},
          {"specular", colour_json(g.specular)},
          {"specular_power", g.specular_power},
          {"texture", g.texture.index},
          {"light_texture", g.light_texture.index},
          {"specular_texture", g.spec_texture.index},
          {"min", vec_json(g.min_corner)},
          {"max", vec_json(g.max_corner)}};
}

}  // namespace

int cmd_mesh(const astr& args) {
  const command_args a = parse_command_args(args, command_named("mesh"), 1, 1);
  typmsh m;
  const read_result r = read_mesh(m, a.positional[0], "Textures/", false);
  if (!r) throw tool_error(r.message);
  json groups = json::array();
  for (const typmshgrp& g : m.groups) groups.push_back(group_json(g));
  const json out = {{"groups", groups}, {"textures", m.texture_names}, {"radius", m.radius}};
  std::printf("%s\n", json_text(out).c_str());
  return 0;
}

