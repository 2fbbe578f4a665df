// objimport: Wavefront OBJ models with their MTL materials, read by
// tinyobjloader and turned into groups (part of the meshimport unit).
//
// One group per run of faces with the same material inside an object; each
// distinct position, normal and texture coordinate triple is one vertex.
// Texture coordinates have v going up, the mesh's go down: v becomes 1 - v.
// Material fields: Kd with d as alpha -> diffuse, Ka -> ambient, Ks and Ns ->
// specular and power, Ke -> emissive, map_Kd -> the texture.
#include <tiny_obj_loader.h>

#include <cstdint>
#include <map>
#include <unordered_map>

#include "base/asys.h"
#include "base/instpath.h"
#include "mesh/modelbuild.h"
#include "mesh/texfile.h"

namespace {

struct corner_key {
  int v, n, t;
  int64_t face;                                  // the face whose normal it takes; -1 when the file gives one
  bool operator==(const corner_key&) const = default;
};

struct corner_hash {
  size_t operator()(const corner_key& k) const {
    uint64_t h = uint64_t(uint32_t(k.v)) * 0x9E3779B97F4A7C15ull;
    h ^= (uint64_t(uint32_t(k.n)) + 0x632BE59BD9B4E019ull + (h << 6) + (h >> 2));
    h ^= (uint64_t(uint32_t(k.t)) + 0x85EBCA77C2B2AE63ull + (h << 6) + (h >> 2));
    h ^= (uint64_t(k.face) + 0xC2B2AE3D27D4EB4Full + (h << 6) + (h >> 2));
    return size_t(h);
  }
};

std::string first_line(const std::string& s) { return s.substr(0, s.find('\n')); }

struct obj_reader {
  const tinyobj::attrib_t& attrib;
  const std::string& path;
  model_builder& b;
  bool mirror;

  vec3 position(int v) const {
    const float* p = &attrib.vertices[3 * size_t(v)];
    return affine_point(b.frame, {p[0], p[1], p[2]});
  }

  void check(const tinyobj::index_t& i, size_t face, const std::string& object) const {
    const bool ok = i.vertex_index >= 0 && size_t(i.vertex_index) < attrib.vertices.size() / 3 &&
                    i.normal_index >= -1 && (i.normal_index < 0 || size_t(i.normal_index) < attrib.normals.size() / 3) &&
                    i.texcoord_index >= -1 &&
                    (i.texcoord_index < 0 || size_t(i.texcoord_index) < attrib.texcoords.size() / 2);
    if (!ok)
      throw import_error(path + ": face " + std::to_string(face + 1) + " of object \"" + object +
                         "\" names a vertex, normal or texture coordinate that the file does not hold");
  }

  // The polygon's normal in the vessel frame: the sum of its fanned triangles' face vectors.
  vec3 polygon_normal(const tinyobj::index_t* c, size_t n) const {
    vec3 sum{0, 0, 0};
    const vec3 p0 = position(c[0].vertex_index);
    for (size_t k = 1; k + 1 < n; ++k) {
      const vec3 p1 = position(c[k].vertex_index), p2 = position(c[k + 1].vertex_index);
      sum = add(sum, cross(sub(p1, p0), sub(p2, p0)));
    }
    return unit_or_zero(mirror ? scale(sum, -1) : sum);  // stored mirrored, the corners run the other way
  }

  int32_t vertex(msh_group& g, std::unordered_map<corner_key, int32_t, corner_hash>& seen, const tinyobj::index_t& i,
                 int64_t face, const vec3& face_n) const {
    const corner_key key{i.vertex_index, i.normal_index, i.texcoord_index, i.normal_index < 0 ? face : -1};
    const auto [at, added] = seen.try_emplace(key, int32_t(g.vertices.size()));
    if (!added) return at->second;
    pntyp v{};
    v.position = to_svec(position(i.vertex_index));
    if (i.normal_index >= 0) {
      const float* n = &attrib.normals[3 * size_t(i.normal_index)];
      v.normal = to_svec(affine_normal(b.frame, {n[0], n[1], n[2]}));
    } else {
      v.normal = to_svec(face_n);
    }
    if (i.texcoord_index >= 0) {
      v.u = attrib.texcoords[2 * size_t(i.texcoord_index)];
      v.v = 1 - attrib.texcoords[2 * size_t(i.texcoord_index) + 1];
    }
    g.vertices.push_back(v);
    return at->second;
  }

  // One object: a group per run of one material; polygons fanned from their first corner.
  void shape(const tinyobj::shape_t& s, size_t material_count, size_t& short_faces) {
    const tinyobj::mesh_t& mesh = s.mesh;
    size_t corners = 0;
    for (unsigned char n : mesh.num_face_vertices) corners += n;
    if (corners != mesh.indices.size() || mesh.material_ids.size() != mesh.num_face_vertices.size())
      throw import_error(path + ": object \"" + s.name + "\" has a face with more than 255 corners");
    std::unordered_map<corner_key, int32_t, corner_hash> seen;
    int current = -2;
    size_t first = 0;
    for (size_t f = 0; f < mesh.num_face_vertices.size(); first += mesh.num_face_vertices[f], ++f) {
      const size_t n = mesh.num_face_vertices[f];
      const tinyobj::index_t* c = &mesh.indices[first];
      for (size_t k = 0; k < n; ++k) check(c[k], f, s.name);
      if (n < 3) { ++short_faces; continue; }
      const int id = mesh.material_ids[f];
      const int material = id >= 0 && size_t(id) < material_count ? id : -1;
      if (material != current) {
        new_group(b, s.name, material + 1);
        seen.clear();
        current = material;
      }
      msh_group& g = b.groups.back();
      const vec3 fn = polygon_normal(c, n);
      int32_t fan[2] = {vertex(g, seen, c[0], int64_t(f), fn), vertex(g, seen, c[1], int64_t(f), fn)};
      for (size_t k = 2; k < n; ++k) {  // vertices numbered in corner order
        const int32_t next = vertex(g, seen, c[k], int64_t(f), fn);
        push_triangle(g, fan[0], fan[1], next, mirror);
        fan[1] = next;
      }
    }
  }
};

void put_rgb(double* out, const float* in, double alpha) {
  for (int k = 0; k < 3; ++k) out[k] = in[k];
  out[3] = alpha;
}

// The file's materials; each map_Kd image becomes a texture source once.
void read_materials(const std::vector<tinyobj::material_t>& list, const std::string& folder, model_builder& b) {
  std::map<std::string, int32_t> sources;
  for (const tinyobj::material_t& t : list) {
    source_material s;
    s.material.name = t.name;
    put_rgb(s.material.diffuse, t.diffuse, t.dissolve);
    put_rgb(s.material.ambient, t.ambient, 1);
    put_rgb(s.material.specular, t.specular, 1);
    s.material.power = t.shininess;
    put_rgb(s.material.emissive, t.emission, 1);
    if (!t.diffuse_texname.empty()) {
      const std::string file = t.diffuse_texname[0] == '/' ? t.diffuse_texname : folder + t.diffuse_texname;
      const auto [at, added] = sources.try_emplace(file, int32_t(b.textures.size()));
      if (added) b.textures.push_back({texture_name_hint(file, folder), t.diffuse_texname, {}});
      s.texture = at->second;
    }
    b.materials.push_back(s);
  }
}

void load_texture_files(model_builder& b, const std::string& folder, const std::string& path) {
  for (texture_source& t : b.textures) {
    const std::string file = t.source[0] == '/' ? t.source : folder + t.source;
    const std::string found = locate_file(file);
    const read_result r = found.empty() ? read_failure(read_missing, "file not found") : read_file_bytes(found, t.bytes);
    if (!r) throw import_error(path + ": texture " + t.source + ": " + r.message);
  }
}

}  // namespace

imported_model import_obj(const std::string& path, const import_options& o) {
  tinyobj::ObjReaderConfig config;
  config.triangulate = false;                    // fanned here, as the mesh format wants
  config.vertex_color = false;
  tinyobj::ObjReader reader;
  if (!reader.ParseFromFile(path, config)) throw import_error(path + ": " + first_line(reader.Error()));
  model_builder b;
  b.frame = frame_affine(o.axes_given ? o.axes : default_axes(model_obj), o.scale);
  const std::string folder = folder_part(path);
  read_materials(reader.GetMaterials(), folder, b);
  load_texture_files(b, folder, path);
  obj_reader r{reader.GetAttrib(), path, b, affine_determinant(b.frame) < 0};
  size_t short_faces = 0, lines = 0, points = 0;
  for (const tinyobj::shape_t& s : reader.GetShapes()) {
    r.shape(s, b.materials.size(), short_faces);
    lines += s.lines.num_line_vertices.size();
    points += s.points.indices.size();
  }
  std::erase_if(b.groups, [](const msh_group& g) { return g.indices.empty(); });
  if (lines || points)
    b.warnings.push_back(std::to_string(lines) + " lines and " + std::to_string(points) + " points left out: a mesh holds triangles only");
  if (short_faces) b.warnings.push_back(std::to_string(short_faces) + " faces with fewer than three corners left out");
  for (std::string w = reader.Warning(); !w.empty();) {
    const size_t cut = w.find('\n');
    if (cut > 0) b.warnings.push_back(w.substr(0, cut));
    w = cut == std::string::npos ? "" : w.substr(cut + 1);
  }
  return finish_model(b, path, o);
}
