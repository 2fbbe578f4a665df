#include "mesh/modelbuild.h"

#include <cctype>
#include <cmath>
#include <cstring>
#include <map>
#include <set>

#include "base/instpath.h"
#include "base/strval.h"
#include "mesh/grplib.h"
#include "mesh/texfile.h"

// --- Transforms --------------------------------------------------------------------

affine compose_affine(const affine& a, const affine& b) {
  affine r;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j];
    r.t[i] = a.m[i][0] * b.t[0] + a.m[i][1] * b.t[1] + a.m[i][2] * b.t[2] + a.t[i];
  }
  return r;
}

affine frame_affine(const axes_map& axes, double scale) {
  affine r;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) r.m[i][j] = axes.source[size_t(i)] == j ? axes.sign[size_t(i)] * scale : 0;
  return r;
}

double affine_determinant(const affine& a) {
  const auto& m = a.m;
  return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
         m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

vec3 affine_point(const affine& a, const vec3& p) {
  const double v[3] = {p.x, p.y, p.z};
  double r[3];
  for (int i = 0; i < 3; ++i) r[i] = a.m[i][0] * v[0] + a.m[i][1] * v[1] + a.m[i][2] * v[2] + a.t[i];
  return {r[0], r[1], r[2]};
}

// The cofactor matrix is the inverse transpose times the determinant: its
// direction is right for any invertible m, and the sign of the determinant
// keeps a mirrored normal pointing out. The length stays the source's, as
// normals in mesh files need not be of unit length.
vec3 affine_normal(const affine& a, const vec3& n) {
  const auto& m = a.m;
  auto cof = [&m](int i, int j) {
    const int i1 = (i + 1) % 3, i2 = (i + 2) % 3, j1 = (j + 1) % 3, j2 = (j + 2) % 3;
    return m[i1][j1] * m[i2][j2] - m[i1][j2] * m[i2][j1];
  };
  const double v[3] = {n.x, n.y, n.z};
  double r[3];
  for (int i = 0; i < 3; ++i) r[i] = cof(i, 0) * v[0] + cof(i, 1) * v[1] + cof(i, 2) * v[2];
  const double s = affine_determinant(a) < 0 ? -1 : 1;
  const vec3 out = unit_or_zero({s * r[0], s * r[1], s * r[2]});
  return std::isfinite(length(n)) ? scale(out, length(n)) : vec3{0, 0, 0};
}

vec3 unit_or_zero(const vec3& v) {
  const double len = length(v);
  return len > 0 && std::isfinite(len) ? scale(v, 1 / len) : vec3{0, 0, 0};
}

vec3 triangle_normal(const vec3& a, const vec3& b, const vec3& c) { return unit_or_zero(cross(sub(b, a), sub(c, a))); }

msh_group& new_group(model_builder& b, const std::string& label, int32_t material) {
  msh_group& g = b.groups.emplace_back();
  g.label = label;
  g.material = material;
  return g;
}

void push_triangle(msh_group& g, int32_t a, int32_t b, int32_t c, bool mirror) {
  const int32_t t[3] = {a, mirror ? c : b, mirror ? b : c};
  g.indices.insert(g.indices.end(), t, t + 3);
}

// --- Materials ---------------------------------------------------------------------

namespace {

bool same_material(const msh_material& a, const msh_material& b) {
  auto same = [](const double* x, const double* y) { return std::memcmp(x, y, 4 * sizeof(double)) == 0; };
  return a.name == b.name && same(a.diffuse, b.diffuse) && same(a.ambient, b.ambient) &&
         same(a.specular, b.specular) && a.power == b.power && same(a.emissive, b.emissive);
}

// One mesh material per distinct source material; returns the 1-based index
// of each source material's mesh material.
std::vector<int32_t> merge_materials(const std::vector<source_material>& in, std::vector<msh_material>& out) {
  std::vector<int32_t> index;
  for (const source_material& s : in) {
    size_t k = 0;
    while (k < out.size() && !same_material(out[k], s.material)) ++k;
    if (k == out.size()) out.push_back(s.material);
    index.push_back(int32_t(k + 1));
  }
  return index;
}

// --- Textures ----------------------------------------------------------------------

// A file name part the installation can hold: letters, digits, "_", "-", ".".
std::string clean_part(const std::string& s) {
  std::string out;
  for (char c : s) out += std::isalnum((unsigned char)c) || c == '_' || c == '-' || c == '.' ? c : '_';
  while (!out.empty() && out[0] == '.') out[0] = '_';
  return out.empty() ? "texture" : out;
}

// "tex/hull.png" -> "PREFIX\tex\hull.dds", unique among the names given so far (any case).
std::string texture_name(const std::string& hint, const std::string& folder, std::set<std::string>& taken) {
  std::string path = to_slashes(hint), name = folder.empty() ? "" : to_backslashes(folder) + "\\";
  for (size_t start = 0; start <= path.size();) {
    const size_t end = std::min(path.find('/', start), path.size());
    if (end > start) {
      std::string part = path.substr(start, end - start);
      if (end == path.size()) part = part.substr(0, part.find_last_of('.'));
      name += clean_part(part) + (end == path.size() ? "" : "\\");
    }
    start = end + 1;
  }
  std::string unique = name + ".dds";
  for (int n = 2; !taken.insert(lower_case(unique)).second; ++n) unique = name + "_" + std::to_string(n) + ".dds";
  return unique;
}

rgba_image decode_texture(const texture_source& t, const std::string& path) {
  rgba_image img;
  if (!decode_image_bytes(t.bytes, img))
    throw import_error(path + ": texture " + t.source +
                       " is no image this program reads (PNG, JPEG with a JFIF header, BMP, GIF or DDS), or is damaged");
  return img;
}

}  // namespace

std::string folder_part(const std::string& path) {
  const size_t cut = to_slashes(path).find_last_of('/');
  return cut == std::string::npos ? "" : path.substr(0, cut + 1);
}

std::string stem_part(const std::string& path) {
  const std::string name = path.substr(folder_part(path).size());
  return name.substr(0, name.find_last_of('.'));
}

std::string texture_name_hint(const std::string& image, const std::string& model_folder) {
  const std::string p = to_slashes(image);
  const std::string folder = to_slashes(model_folder);
  std::string rel = !folder.empty() && p.starts_with(folder) ? p.substr(folder.size()) : p;
  if (!is_safe_relative(rel)) rel = rel.substr(rel.find_last_of('/') + 1);
  return rel;
}

imported_model finish_model(model_builder& b, const std::string& path, const import_options& o) {
  imported_model m;
  m.warnings = std::move(b.warnings);
  size_t triangles = 0;
  for (const msh_group& g : b.groups) triangles += g.indices.size() / 3;
  if (triangles == 0) throw import_error(path + ": the model holds no triangles");
  if (b.groups.size() > size_t(max_mesh_groups))
    throw import_error(path + ": " + std::to_string(b.groups.size()) + " groups; a mesh holds at most " +
                       std::to_string(max_mesh_groups));
  const std::vector<int32_t> material_index = merge_materials(b.materials, m.mesh.materials);
  if (m.mesh.materials.size() > size_t(max_mesh_materials))
    throw import_error(path + ": " + std::to_string(m.mesh.materials.size()) + " materials; a mesh can use at most " +
                       std::to_string(max_mesh_materials));
  // Textures in the order the materials first name them; unused ones are not converted.
  std::map<int32_t, int32_t> texture_index;  // source -> 1-based mesh texture
  std::set<std::string> taken;
  for (const source_material& s : b.materials) {
    if (s.texture < 0 || texture_index.count(s.texture)) continue;
    const texture_source& t = b.textures[size_t(s.texture)];
    m.mesh.textures.push_back(texture_name(t.name, o.texture_folder, taken));
    m.textures.push_back({t.source, decode_texture(t, path)});
    texture_index[s.texture] = int32_t(m.mesh.textures.size());
  }
  for (msh_group& g : b.groups) {
    if (g.material < 1) continue;
    const source_material& s = b.materials[size_t(g.material - 1)];
    g.texture = s.texture < 0 ? 0 : texture_index[s.texture];
    g.material = material_index[size_t(g.material - 1)];
  }
  m.mesh.groups = std::move(b.groups);
  return m;
}
