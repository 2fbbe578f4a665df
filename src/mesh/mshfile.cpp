#include "mesh/mshfile.h"

#include <charconv>

namespace {

constexpr size_t plain_limit = 24;  // longer plain decimals (tiny or huge values) take an exponent

// The shortest text that reads back to v, as a plain decimal where that is short.
template <typename T>
void put_number(std::string& out, T v) {
  char buf[400];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
  if (r.ec != std::errc{} || size_t(r.ptr - buf) > plain_limit) r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr);
}

template <typename T>
void put_line(std::string& out, std::initializer_list<T> values) {
  const char* sep = "";
  for (T v : values) {
    out += sep;
    append_number(out, v);
    sep = " ";
  }
  out += '\n';
}

void put_name(std::string& out, const std::string& name) {
  out.append(name, 0, name.find_first_of("\r\n"));
  out += '\n';
}

// A material name is one word: the list of names is skipped by looking for
// "MATERIAL " at a line's start, which a name with blanks could fake.
void put_material_name(std::string& out, std::string name) {
  for (char& c : name)
    if (c == ' ' || c == '\t') c = '_';
  put_name(out, name);
}

void put_colour(std::string& out, const double* c) { put_line(out, {c[0], c[1], c[2], c[3]}); }

void put_group(std::string& out, const msh_document& d, const msh_group& g, int32_t& material, int32_t& texture) {
  if (!g.label.empty()) {
    out += "LABEL ";
    put_name(out, g.label);
  }
  const int32_t m = valid_material(d, g.material) ? g.material : 0;
  const int32_t t = g.texture >= 1 && size_t(g.texture) <= d.textures.size() ? g.texture : 0;
  if (m != material) out += "MATERIAL " + std::to_string(material = m) + "\n";
  if (t != texture) out += "TEXTURE " + std::to_string(texture = t) + "\n";
  const size_t triangles = g.indices.size() / 3;
  out += "GEOM " + std::to_string(g.vertices.size()) + " " + std::to_string(triangles) + "\n";
  for (const pntyp& v : g.vertices)
    put_line(out, {v.position.x, v.position.y, v.position.z, v.normal.x, v.normal.y, v.normal.z, v.u, v.v});
  for (size_t i = 0; i < triangles; ++i) {
    const int32_t* t3 = &g.indices[3 * i];
    out += std::to_string(t3[0]) + " " + std::to_string(t3[1]) + " " + std::to_string(t3[2]) + "\n";
  }
}

}  // namespace

void append_number(std::string& out, float v) { put_number(out, v); }
void append_number(std::string& out, double v) { put_number(out, v); }

bool valid_material(const msh_document& d, int32_t index) {
  return index >= 1 && index <= max_mesh_materials && size_t(index) <= d.materials.size();
}

std::string mesh_text(const msh_document& d) {
  std::string out = "MSHX1\nGROUPS " + std::to_string(d.groups.size()) + "\n";
  int32_t material = 0, texture = 0;
  for (const msh_group& g : d.groups) put_group(out, d, g, material, texture);
  out += "MATERIALS " + std::to_string(d.materials.size()) + "\n";
  for (const msh_material& m : d.materials) put_material_name(out, m.name);
  for (const msh_material& m : d.materials) {
    out += "MATERIAL ";
    put_material_name(out, m.name);
    put_colour(out, m.diffuse);
    put_colour(out, m.ambient);
    put_line(out, {m.specular[0], m.specular[1], m.specular[2], m.specular[3], m.power});
    put_colour(out, m.emissive);
  }
  out += "TEXTURES " + std::to_string(d.textures.size()) + "\n";
  for (const std::string& t : d.textures) put_name(out, t);
  return out;
}
