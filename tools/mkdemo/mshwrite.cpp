#include "mkdemo/mshwrite.h"

#include <cmath>
#include <cstdio>

namespace {

// Four decimals, without a negative zero.
void number(std::string& out, double v) {
  char buf[32];
  if (std::fabs(v) < 5e-5) v = 0;
  std::snprintf(buf, sizeof buf, "%.4f", v);
  out += buf;
}

void numbers(std::string& out, std::initializer_list<double> values) {
  bool first = true;
  for (double v : values) {
    if (!first) out += ' ';
    number(out, v);
    first = false;
  }
  out += '\n';
}

void colour(std::string& out, const double* c) { numbers(out, {c[0], c[1], c[2], c[3]}); }

void group_text(std::string& out, const demo_group& d, int& material, int& texture) {
  out += "LABEL " + d.label + "\n";
  if (d.material != material) out += "MATERIAL " + std::to_string(material = d.material) + "\n";
  if (d.texture != texture) out += "TEXTURE " + std::to_string(texture = d.texture) + "\n";
  out += "GEOM " + std::to_string(d.g.vertices.size()) + " " + std::to_string(d.g.indices.size() / 3) + "\n";
  for (const pntyp& v : d.g.vertices)
    numbers(out, {v.position.x, v.position.y, v.position.z, v.normal.x, v.normal.y, v.normal.z, v.u, v.v});
  for (size_t i = 0; i + 2 < d.g.indices.size(); i += 3)
    out += std::to_string(d.g.indices[i]) + " " + std::to_string(d.g.indices[i + 1]) + " " +
           std::to_string(d.g.indices[i + 2]) + "\n";
}

}  // namespace

std::string mesh_text(const demo_mesh& m) {
  std::string out = "MSHX1\nGROUPS " + std::to_string(m.groups.size()) + "\n";
  int material = 0, texture = 0;
  for (const demo_group& d : m.groups) group_text(out, d, material, texture);
  out += "MATERIALS " + std::to_string(m.materials.size()) + "\n";
  for (const demo_material& mat : m.materials) out += mat.name + "\n";
  for (const demo_material& mat : m.materials) {
    out += "MATERIAL " + mat.name + "\n";
    colour(out, mat.diffuse);
    colour(out, mat.ambient);
    numbers(out, {mat.specular[0], mat.specular[1], mat.specular[2], mat.specular[3], mat.power});
    colour(out, mat.emissive);
  }
  out += "TEXTURES " + std::to_string(m.textures.size()) + "\n";
  for (const std::string& t : m.textures) out += t + "\n";
  return out;
}
