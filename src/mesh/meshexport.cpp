#include "mesh/meshexport.h"

#include <tiny_gltf.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <sstream>

#include "base/asys.h"
#include "base/instpath.h"
#include "base/strval.h"
#include "images/png.h"
#include "mesh/grplib.h"
#include "mesh/modelbuild.h"
#include "mesh/texfile.h"

namespace {

// A material of the model: one mesh material (0: none, the reader's grey) with one texture (0: none).
struct material_pair {
  int32_t material = 0, texture = 0;
  std::string name;                              // the mesh material's
  std::string unique_name;                       // for MTL, where names must differ
};

struct export_state {
  msh_document doc;
  std::vector<material_pair> pairs;
  std::vector<size_t> group_pair;                // per group
  std::map<int32_t, std::string> images;         // texture -> PNG path relative to the output
  affine to_source;                              // vessel frame back to the format's
  bool mirror = false;
  exported_model out;
};

msh_document read_document(const std::string& path) {
  const std::string found = locate_file(path);
  if (found.empty()) throw import_error(path + ": file not found");
  mapped_file data;
  file_map(data, found);
  msh_document d;
  if (!read_mesh_document(d, std::string_view(reinterpret_cast<const char*>(data.data), data.size)))
    throw import_error(path + ": not a mesh file (no GROUPS line, or a group count out of range)");
  return d;
}

// Pairs in the order of the material list, each material's textures in the
// order the groups first use them; a material no group uses still gets one.
void make_pairs(export_state& s) {
  const msh_document& d = s.doc;
  std::map<std::pair<int32_t, int32_t>, size_t> index;
  auto pair_index = [&](int32_t m, int32_t t) {
    const auto [at, added] = index.try_emplace({m, t}, s.pairs.size());
    if (added) {
      const std::string base = m ? d.materials[size_t(m - 1)].name : "default";
      const std::string name = base.empty() ? "material_" + std::to_string(m) : base;
      const int n = int(std::count_if(s.pairs.begin(), s.pairs.end(), [&](const material_pair& p) { return p.name == name; }));
      s.pairs.push_back({m, t, name, n ? name + "_" + std::to_string(n + 1) : name});
    }
    return at->second;
  };
  for (int32_t m = 1; m <= int32_t(d.materials.size()); ++m) {
    bool used = false;
    for (const msh_group& g : d.groups)
      if (g.material == m) pair_index(m, g.texture), used = true;
    if (!used) pair_index(m, 0);
  }
  for (const msh_group& g : d.groups) s.group_pair.push_back(pair_index(g.material, g.texture));
}

// The textures the groups use, as PNG beside the output; one that cannot be
// read is left out of its materials with a warning.
void write_images(export_state& s, const std::string& out, const std::string& textures_root) {
  std::set<std::string> taken;
  for (material_pair& p : s.pairs) {
    if (!p.texture || s.images.count(p.texture)) continue;
    const std::string& name = s.doc.textures[size_t(p.texture - 1)];
    rgba_image img;
    const read_result r = decode_image(textures_root + "/" + to_slashes(name), img);
    if (!r) {
      s.out.warnings.push_back("texture " + name + " left out: " + r.message);
      s.images[p.texture] = "";
      continue;
    }
    std::string rel = to_slashes(name);
    rel = is_safe_relative(rel) ? rel.substr(0, rel.find_last_of('.')) : stem_part(rel);
    std::string unique = rel + ".png";
    for (int n = 2; !taken.insert(lower_case(unique)).second; ++n) unique = rel + "_" + std::to_string(n) + ".png";
    s.images[p.texture] = unique;
    s.out.files.push_back({folder_part(out) + unique, encode_png(img)});
  }
  for (material_pair& p : s.pairs)
    if (p.texture && s.images[p.texture].empty()) p.texture = 0;
}

vec3 source_point(const export_state& s, const svec3& p) { return affine_point(s.to_source, to_vec(p)); }
vec3 source_normal(const export_state& s, const svec3& n) { return affine_point(s.to_source, to_vec(n)); }

// Corner k of triangle i in the source's order.
int32_t corner(const export_state& s, const msh_group& g, size_t i, int k) {
  static const int swapped[3] = {0, 2, 1};
  return g.indices[3 * i + size_t(s.mirror ? swapped[k] : k)];
}

// --- OBJ ---------------------------------------------------------------------------

void put_numbers(std::string& out, const char* key, std::initializer_list<double> v) {
  out += key;
  for (double x : v) {
    out += ' ';
    append_number(out, float(x));
  }
  out += '\n';
}

std::string mtl_text(const export_state& s) {
  std::string out = "# Materials of the mesh, one per material and texture the groups use\n";
  for (const material_pair& p : s.pairs) {
    msh_material m;
    if (p.material) m = s.doc.materials[size_t(p.material - 1)];
    else std::fill_n(m.diffuse, 3, 128 / 255.0), std::fill_n(m.ambient, 3, 128 / 255.0);
    out += "\nnewmtl " + p.unique_name + "\n";
    put_numbers(out, "Kd", {m.diffuse[0], m.diffuse[1], m.diffuse[2]});
    put_numbers(out, "d", {m.diffuse[3]});
    put_numbers(out, "Ka", {m.ambient[0], m.ambient[1], m.ambient[2]});
    put_numbers(out, "Ks", {m.specular[0], m.specular[1], m.specular[2]});
    put_numbers(out, "Ns", {m.power});
    put_numbers(out, "Ke", {m.emissive[0], m.emissive[1], m.emissive[2]});
    if (p.texture) out += "map_Kd " + s.images.at(p.texture) + "\n";
  }
  return out;
}

std::string obj_text(const export_state& s, const std::string& mtl_name) {
  std::string out = "# Exported mesh: one object per group\nmtllib " + mtl_name + "\n";
  size_t base = 1;
  for (size_t gi = 0; gi < s.doc.groups.size(); ++gi) {
    const msh_group& g = s.doc.groups[gi];
    out += "o " + (g.label.empty() ? "group_" + std::to_string(gi + 1) : g.label) + "\n";
    out += "usemtl " + s.pairs[s.group_pair[gi]].unique_name + "\n";
    for (const pntyp& v : g.vertices) {
      const vec3 p = source_point(s, v.position), n = source_normal(s, v.normal);
      put_numbers(out, "v", {p.x, p.y, p.z});
      put_numbers(out, "vt", {v.u, 1 - v.v});
      put_numbers(out, "vn", {n.x, n.y, n.z});
    }
    for (size_t i = 0; i < g.indices.size() / 3; ++i) {
      out += 'f';
      for (int k = 0; k < 3; ++k) {
        const std::string c = std::to_string(base + size_t(corner(s, g, i, k)));
        out += " " + c + "/" + c + "/" + c;
      }
      out += '\n';
    }
    base += g.vertices.size();
  }
  return out;
}

// --- glTF --------------------------------------------------------------------------

tinygltf::Value number_list(const double* v, size_t n) {
  tinygltf::Value::Array a;
  for (size_t k = 0; k < n; ++k) a.emplace_back(v[k]);
  return tinygltf::Value(std::move(a));
}

tinygltf::Material gltf_material(const export_state& s, const material_pair& p, const std::map<int32_t, int>& textures) {
  msh_material m;
  if (p.material) m = s.doc.materials[size_t(p.material - 1)];
  else std::fill_n(m.diffuse, 3, 128 / 255.0), std::fill_n(m.ambient, 3, 128 / 255.0);
  tinygltf::Material g;
  g.name = p.name;
  g.pbrMetallicRoughness.baseColorFactor.assign(m.diffuse, m.diffuse + 4);
  g.pbrMetallicRoughness.metallicFactor = 0;
  g.pbrMetallicRoughness.roughnessFactor = m.power > 0 ? std::pow(2 / (m.power + 2), 0.25) : 1;
  g.emissiveFactor.assign(m.emissive, m.emissive + 3);
  if (m.diffuse[3] < 1) g.alphaMode = "BLEND";
  if (p.texture) g.pbrMetallicRoughness.baseColorTexture.index = textures.at(p.texture);
  tinygltf::Value::Object fields{{"ambient", number_list(m.ambient, 4)}, {"specular", number_list(m.specular, 4)},
                                 {"power", tinygltf::Value(m.power)}, {"emissive", number_list(m.emissive, 4)}};
  g.extras = tinygltf::Value(tinygltf::Value::Object{{"mesh_material", tinygltf::Value(std::move(fields))}});
  return g;
}

// Appends the bytes of v to the buffer as a view of its own for target; an accessor of
// component, type and count on it, not yet added.
template <class T>
tinygltf::Accessor add_view(tinygltf::Model& m, const std::vector<T>& v, int target, int component, int type) {
  tinygltf::Buffer& buf = m.buffers[0];
  const size_t at = buf.data.size();
  buf.data.resize(at + v.size() * sizeof(T));
  std::memcpy(buf.data.data() + at, v.data(), v.size() * sizeof(T));
  tinygltf::BufferView bv;
  bv.buffer = 0;
  bv.byteOffset = at;
  bv.byteLength = v.size() * sizeof(T);
  bv.target = target;
  m.bufferViews.push_back(bv);
  tinygltf::Accessor a;
  a.bufferView = int(m.bufferViews.size() - 1);
  a.componentType = component;
  a.type = type;
  a.count = v.size() / size_t(tinygltf::GetNumComponentsInType(uint32_t(type)));
  return a;
}

int added(tinygltf::Model& m, const tinygltf::Accessor& a) {
  m.accessors.push_back(a);
  return int(m.accessors.size() - 1);
}

// Appends the floats as one buffer view with its accessor; returns the accessor.
int add_floats(tinygltf::Model& m, const std::vector<float>& v, int type, bool with_bounds) {
  tinygltf::Accessor a = add_view(m, v, TINYGLTF_TARGET_ARRAY_BUFFER, TINYGLTF_COMPONENT_TYPE_FLOAT, type);
  if (with_bounds) {
    const size_t n = size_t(tinygltf::GetNumComponentsInType(uint32_t(type)));
    a.minValues.assign(n, 1e300);
    a.maxValues.assign(n, -1e300);
    for (size_t i = 0; i < v.size(); ++i) {
      a.minValues[i % n] = std::min(a.minValues[i % n], double(v[i]));
      a.maxValues[i % n] = std::max(a.maxValues[i % n], double(v[i]));
    }
  }
  return added(m, a);
}

int add_indices(tinygltf::Model& m, const std::vector<uint32_t>& v) {
  return added(m, add_view(m, v, TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER, TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT,
                           TINYGLTF_TYPE_SCALAR));
}

void add_group(tinygltf::Model& m, const export_state& s, size_t gi) {
  const msh_group& g = s.doc.groups[gi];
  std::vector<float> pos, nrm, uv;
  for (const pntyp& v : g.vertices) {
    const vec3 p = source_point(s, v.position), n = source_normal(s, v.normal);
    pos.insert(pos.end(), {float(p.x), float(p.y), float(p.z)});
    nrm.insert(nrm.end(), {float(n.x), float(n.y), float(n.z)});
    uv.insert(uv.end(), {v.u, v.v});
  }
  std::vector<uint32_t> idx;
  for (size_t i = 0; i < g.indices.size() / 3; ++i)
    for (int k = 0; k < 3; ++k) idx.push_back(uint32_t(corner(s, g, i, k)));
  tinygltf::Primitive p;
  p.attributes["POSITION"] = add_floats(m, pos, TINYGLTF_TYPE_VEC3, true);
  p.attributes["NORMAL"] = add_floats(m, nrm, TINYGLTF_TYPE_VEC3, false);
  p.attributes["TEXCOORD_0"] = add_floats(m, uv, TINYGLTF_TYPE_VEC2, false);
  p.indices = add_indices(m, idx);
  p.material = int(s.group_pair[gi]);
  p.mode = TINYGLTF_MODE_TRIANGLES;
  tinygltf::Mesh mesh;
  mesh.name = g.label;
  mesh.primitives.push_back(p);
  m.meshes.push_back(mesh);
  tinygltf::Node node;
  node.name = g.label;
  node.mesh = int(m.meshes.size() - 1);
  m.nodes.push_back(node);
  m.scenes[0].nodes.push_back(int(m.nodes.size() - 1));
}

bool keep_uri(const std::string*, const std::string*, const tinygltf::Image*, bool, std::string*, void*) { return false; }

std::vector<uint8_t> gltf_bytes(export_state& s, bool binary) {
  tinygltf::Model m;
  m.asset.generator = "corvane-tool export-mesh";
  m.buffers.resize(1);
  m.scenes.resize(1);
  m.defaultScene = 0;
  std::map<int32_t, int> textures;
  for (const auto& [texture, png] : s.images) {
    if (png.empty()) continue;
    tinygltf::Image img;
    img.uri = png;
    m.images.push_back(img);
    tinygltf::Texture t;
    t.source = int(m.images.size() - 1);
    m.textures.push_back(t);
    textures[texture] = int(m.textures.size() - 1);
  }
  for (const material_pair& p : s.pairs) m.materials.push_back(gltf_material(s, p, textures));
  for (size_t gi = 0; gi < s.doc.groups.size(); ++gi) {
    if (s.doc.groups[gi].indices.empty()) {
      s.out.warnings.push_back("group " + std::to_string(gi + 1) + " left out: it has no triangles");
      continue;
    }
    add_group(m, s, gi);
  }
  if (!binary) m.buffers[0].uri.clear();  // written inside the file as a data URI
  tinygltf::TinyGLTF writer;
  writer.SetImageWriter(keep_uri, nullptr);
  std::ostringstream out;
  if (!writer.WriteGltfSceneToStream(&m, out, !binary, binary)) throw import_error("the glTF model could not be written");
  const std::string text = out.str();
  return std::vector<uint8_t>(text.begin(), text.end());
}

}  // namespace

exported_model export_mesh(const std::string& mesh_path, const std::string& out, const std::string& textures_root) {
  const std::string name = lower_case(out);
  const bool obj = name.ends_with(".obj"), glb = name.ends_with(".glb");
  if (!obj && !glb && !name.ends_with(".gltf")) throw import_error(out + ": the output must end in .obj, .gltf or .glb");
  export_state s;
  s.doc = read_document(mesh_path);
  const affine frame = frame_affine(default_axes(obj ? model_obj : model_gltf), 1);
  for (int i = 0; i < 3; ++i)  // a signed permutation: its inverse is its transpose
    for (int j = 0; j < 3; ++j) s.to_source.m[i][j] = frame.m[j][i];
  s.mirror = affine_determinant(frame) < 0;
  make_pairs(s);
  write_images(s, out, textures_root);
  if (obj) {
    const std::string mtl = stem_part(out) + ".mtl";
    const std::string m = mtl_text(s), o = obj_text(s, mtl);
    s.out.files.push_back({folder_part(out) + mtl, std::vector<uint8_t>(m.begin(), m.end())});
    s.out.files.push_back({out, std::vector<uint8_t>(o.begin(), o.end())});
  } else {
    s.out.files.push_back({out, gltf_bytes(s, glb)});
  }
  return std::move(s.out);
}
