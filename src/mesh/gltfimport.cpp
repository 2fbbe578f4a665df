// gltfimport: glTF 2.0 models (.gltf with its buffers, or .glb), read by
// tinygltf and turned into groups (part of the meshimport unit).
//
// The default scene's node tree is walked with each node's transform; every
// primitive of a node's mesh is one group labelled with the node's name (the
// mesh's when the node has none) and keeps its vertices in order. Triangle
// strips and fans become triangles. Materials: base colour -> diffuse (and
// ambient), emissive factor -> emissive, roughness r -> specular grey 1 - r
// with power 2 / r^4 - 2 (at most 256; none for r = 1). A material whose
// extras hold "mesh_material" (written by our export) takes those fields
// instead, so a mesh goes out and comes back unchanged.
//
// Notes: tinygltf parses the file and reads its buffers and images; every
// index, count, offset and stride it hands on is checked here before use.
#include <tiny_gltf.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

#include "base/asys.h"
#include "mesh/modelbuild.h"

namespace {

constexpr int max_node_depth = 256;              // deeper trees are damaged files, not models
constexpr double max_power = 256;                // for roughness 0

// The image bytes as they are: this program's own decoders read them later.
bool keep_image_bytes(tinygltf::Image* image, const int, std::string*, std::string*, int, int,
                      const unsigned char* bytes, int size, void*) {
  if (image->bufferView < 0 && bytes && size > 0) image->image.assign(bytes, bytes + size);  // views are read checked
  return true;
}

// An accessor's elements, checked to lie inside their buffer.
struct element_view {
  const uint8_t* data = nullptr;
  size_t count = 0, stride = 0;
  int component_type = 0, components = 0;
  bool normalized = false;
};

struct gltf_reader {
  const tinygltf::Model& model;
  const std::string& path;
  model_builder& b;
  std::map<int, int32_t> image_sources;          // image -> texture source
  std::vector<char> reached;                     // per node

  [[noreturn]] void fail(const std::string& what) const { throw import_error(path + ": " + what); }

  // The bytes of a buffer view, checked against its buffer.
  std::pair<const uint8_t*, size_t> view_bytes(int index, const std::string& what) const {
    if (index < 0 || size_t(index) >= model.bufferViews.size()) fail(what + " names a buffer view that does not exist");
    const tinygltf::BufferView& v = model.bufferViews[size_t(index)];
    if (v.buffer < 0 || size_t(v.buffer) >= model.buffers.size()) fail(what + " names a buffer that does not exist");
    const std::vector<unsigned char>& data = model.buffers[size_t(v.buffer)].data;
    if (v.byteLength > data.size() || v.byteOffset > data.size() - v.byteLength)
      fail(what + ": buffer view " + std::to_string(index) + " reaches past the end of its buffer (" +
           std::to_string(data.size()) + " bytes)");
    return {data.data() + v.byteOffset, v.byteLength};
  }

  element_view elements(int index, const std::string& what, int type, std::initializer_list<int> component_types) const {
    if (index < 0 || size_t(index) >= model.accessors.size()) fail(what + " names an accessor that does not exist");
    const tinygltf::Accessor& a = model.accessors[size_t(index)];
    const std::string name = what + " (accessor " + std::to_string(index) + ")";
    if (a.sparse.isSparse) fail(name + " is sparse, which this import does not read");
    if (a.type != type || std::find(component_types.begin(), component_types.end(), a.componentType) == component_types.end())
      fail(name + " has a type or component type this import does not read there");
    if (a.bufferView < 0) fail(name + " has no data");
    const auto [bytes, size] = view_bytes(a.bufferView, name);
    element_view e{nullptr, a.count, model.bufferViews[size_t(a.bufferView)].byteStride, a.componentType,
                   tinygltf::GetNumComponentsInType(uint32_t(type)), a.normalized};
    const size_t element = size_t(e.components) * size_t(tinygltf::GetComponentSizeInBytes(uint32_t(a.componentType)));
    if (e.stride == 0) e.stride = element;
    if (e.stride < element) fail(name + " has elements wider than their stride");
    const bool fits = a.count == 0 || (a.byteOffset <= size && element <= size - a.byteOffset &&
                                       a.count - 1 <= (size - a.byteOffset - element) / e.stride);
    if (!fits) fail(name + " claims " + std::to_string(a.count) + " elements, more than its buffer view holds");
    e.data = bytes + a.byteOffset;
    return e;
  }

  static double component(const element_view& e, size_t i, int k) {
    const uint8_t* p = e.data + i * e.stride;
    auto get = [p, k](auto zero) {
      decltype(zero) v;
      std::memcpy(&v, p + k * sizeof v, sizeof v);
      return v;
    };
    switch (e.component_type) {
      case TINYGLTF_COMPONENT_TYPE_FLOAT: return get(float{});
      case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE: return get(uint8_t{}) / (e.normalized ? 255.0 : 1.0);
      case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: return get(uint16_t{}) / (e.normalized ? 65535.0 : 1.0);
      default: return get(uint32_t{});
    }
  }

  static vec3 vec_at(const element_view& e, size_t i) { return {component(e, i, 0), component(e, i, 1), component(e, i, 2)}; }

  // --- Geometry ------------------------------------------------------------------

  std::vector<uint32_t> corner_list(const tinygltf::Primitive& p, size_t vertices, const std::string& what) const {
    std::vector<uint32_t> list;
    if (p.indices < 0) {
      list.resize(vertices);
      for (size_t i = 0; i < vertices; ++i) list[i] = uint32_t(i);
      return list;
    }
    const element_view e = elements(p.indices, what + " indices", TINYGLTF_TYPE_SCALAR,
                                    {TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE, TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT,
                                     TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT});
    list.resize(e.count);
    for (size_t i = 0; i < e.count; ++i) {
      const double v = component(e, i, 0);
      if (v >= double(vertices))
        fail(what + " has index " + std::to_string(uint64_t(v)) + " for " + std::to_string(vertices) + " vertices");
      list[i] = uint32_t(v);
    }
    return list;
  }

  // Corner triples of the primitive's triangles, in the source's order.
  static std::vector<uint32_t> triangles(const std::vector<uint32_t>& c, int mode) {
    std::vector<uint32_t> t;
    const size_t n = c.size();
    if (mode == TINYGLTF_MODE_TRIANGLES) t.assign(c.begin(), c.begin() + long(n - n % 3));
    for (size_t i = 0; mode == TINYGLTF_MODE_TRIANGLE_STRIP && i + 2 < n; ++i) {
      const uint32_t tri[3] = {c[i + (i & 1)], c[i + 1 - (i & 1)], c[i + 2]};
      t.insert(t.end(), tri, tri + 3);
    }
    for (size_t i = 1; mode == TINYGLTF_MODE_TRIANGLE_FAN && i + 1 < n; ++i) {
      const uint32_t tri[3] = {c[0], c[i], c[i + 1]};
      t.insert(t.end(), tri, tri + 3);
    }
    return t;
  }

  void primitive(const tinygltf::Primitive& p, const affine& world, const std::string& label, const std::string& what) {
    if (p.mode < TINYGLTF_MODE_TRIANGLES && p.mode >= 0) {
      b.warnings.push_back(what + ": lines or points left out: a mesh holds triangles only");
      return;
    }
    if (p.mode > TINYGLTF_MODE_TRIANGLE_FAN || p.mode < 0) fail(what + " has the unknown mode " + std::to_string(p.mode));
    const auto attribute = [&p](const char* name) {
      const auto at = p.attributes.find(name);
      return at == p.attributes.end() ? -1 : at->second;
    };
    if (attribute("POSITION") < 0) fail(what + " has no positions");
    const element_view pos = elements(attribute("POSITION"), what + " positions", TINYGLTF_TYPE_VEC3, {TINYGLTF_COMPONENT_TYPE_FLOAT});
    element_view nrm, uv;
    if (attribute("NORMAL") >= 0)
      nrm = elements(attribute("NORMAL"), what + " normals", TINYGLTF_TYPE_VEC3, {TINYGLTF_COMPONENT_TYPE_FLOAT});
    if (attribute("TEXCOORD_0") >= 0)
      uv = elements(attribute("TEXCOORD_0"), what + " texture coordinates", TINYGLTF_TYPE_VEC2,
                    {TINYGLTF_COMPONENT_TYPE_FLOAT, TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE, TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT});
    if ((nrm.data && nrm.count != pos.count) || (uv.data && uv.count != pos.count))
      fail(what + " has attributes of different counts");
    if (p.material >= int(b.materials.size())) fail(what + " names a material that does not exist");
    const std::vector<uint32_t> tri = triangles(corner_list(p, pos.count, what), p.mode);
    const bool mirror = affine_determinant(world) < 0;
    msh_group& g = new_group(b, label, p.material >= 0 ? p.material + 1 : 0);
    auto vertex = [&](size_t i, const vec3& face_n) {
      pntyp v{};
      v.position = to_svec(affine_point(world, vec_at(pos, i)));
      v.normal = to_svec(nrm.data ? affine_normal(world, vec_at(nrm, i)) : face_n);
      if (uv.data) v.u = float(component(uv, i, 0)), v.v = float(component(uv, i, 1));
      g.vertices.push_back(v);
    };
    if (nrm.data) {
      for (size_t i = 0; i < pos.count; ++i) vertex(i, {});
      for (size_t i = 0; i < tri.size(); i += 3) push_triangle(g, int32_t(tri[i]), int32_t(tri[i + 1]), int32_t(tri[i + 2]), mirror);
      return;
    }
    for (size_t i = 0; i < tri.size(); i += 3) {  // each face its own corners with the face's normal
      const vec3 a = affine_point(world, vec_at(pos, tri[i])), bb = affine_point(world, vec_at(pos, tri[i + 1])),
                 c = affine_point(world, vec_at(pos, tri[i + 2]));
      const vec3 n = mirror ? triangle_normal(a, c, bb) : triangle_normal(a, bb, c);
      const int32_t first = int32_t(g.vertices.size());
      for (int k = 0; k < 3; ++k) vertex(tri[i + size_t(k)], n);
      push_triangle(g, first, first + 1, first + 2, mirror);
    }
  }

  // --- Nodes ---------------------------------------------------------------------

  affine local_transform(const tinygltf::Node& n, int index) const {
    affine a;
    if (n.matrix.size() == 16) {
      for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) a.m[i][j] = n.matrix[size_t(j * 4 + i)];
        a.t[i] = n.matrix[size_t(12 + i)];
      }
    } else {
      const std::vector<double>& q = n.rotation.size() == 4 ? n.rotation : std::vector<double>{0, 0, 0, 1};
      const double x = q[0], y = q[1], z = q[2], w = q[3];
      const double r[3][3] = {{1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)},
                              {2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)},
                              {2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)}};
      for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) a.m[i][j] = r[i][j] * (n.scale.size() == 3 ? n.scale[size_t(j)] : 1);
        a.t[i] = n.translation.size() == 3 ? n.translation[size_t(i)] : 0;
      }
    }
    for (int i = 0; i < 3; ++i)
      if (!std::isfinite(a.t[i]) || !std::isfinite(a.m[i][0] + a.m[i][1] + a.m[i][2]))
        fail("node " + std::to_string(index) + " has a transform that is not finite");
    return a;
  }

  void node(int index, const affine& parent, int depth) {
    if (index < 0 || size_t(index) >= model.nodes.size()) fail("a node list names a node that does not exist");
    if (depth > max_node_depth) fail("the node tree is deeper than " + std::to_string(max_node_depth));
    if (reached[size_t(index)]) fail("node " + std::to_string(index) + " is reached twice: the nodes form no tree");
    reached[size_t(index)] = 1;
    const tinygltf::Node& n = model.nodes[size_t(index)];
    const affine world = compose_affine(parent, local_transform(n, index));
    if (n.mesh >= int(model.meshes.size())) fail("node " + std::to_string(index) + " names a mesh that does not exist");
    if (n.mesh >= 0) {
      const tinygltf::Mesh& m = model.meshes[size_t(n.mesh)];
      for (size_t i = 0; i < m.primitives.size(); ++i)
        primitive(m.primitives[i], world, n.name.empty() ? m.name : n.name,
                  "mesh " + std::to_string(n.mesh) + " primitive " + std::to_string(i));
    }
    for (int child : n.children) node(child, world, depth + 1);
  }

  // The default scene's roots, or every node without a parent when there are no scenes.
  std::vector<int> roots() const {
    if (!model.scenes.empty()) {
      const int s = model.defaultScene >= 0 && size_t(model.defaultScene) < model.scenes.size() ? model.defaultScene : 0;
      return model.scenes[size_t(s)].nodes;
    }
    std::vector<char> child(model.nodes.size());
    for (const tinygltf::Node& n : model.nodes)
      for (int c : n.children)
        if (c >= 0 && size_t(c) < child.size()) child[size_t(c)] = 1;
    std::vector<int> out;
    for (size_t i = 0; i < child.size(); ++i)
      if (!child[i]) out.push_back(int(i));
    return out;
  }

  // --- Materials and images ------------------------------------------------------

  static bool numbers(const tinygltf::Value& v, size_t n, double* out) {
    if (!v.IsArray() || v.ArrayLen() != n) return false;
    for (size_t k = 0; k < n; ++k) {
      if (!v.Get(int(k)).IsNumber()) return false;
      out[k] = v.Get(int(k)).GetNumberAsDouble();
    }
    return true;
  }

  // The fields our export keeps in the extras; false when they are not all there.
  static bool stored_fields(const tinygltf::Value& extras, msh_material& m) {
    if (!extras.IsObject() || !extras.Has("mesh_material")) return false;
    const tinygltf::Value& s = extras.Get("mesh_material");
    if (!s.IsObject() || !s.Has("power") || !s.Get("power").IsNumber()) return false;
    m.power = s.Get("power").GetNumberAsDouble();
    return numbers(s.Get("ambient"), 4, m.ambient) && numbers(s.Get("specular"), 4, m.specular) &&
           numbers(s.Get("emissive"), 4, m.emissive);
  }

  void material(const tinygltf::Material& src) {
    source_material s;
    msh_material& m = s.material;
    m.name = src.name;
    const std::vector<double>& base = src.pbrMetallicRoughness.baseColorFactor;
    if (base.size() == 4) std::copy_n(base.begin(), 4, m.diffuse);
    if (!stored_fields(src.extras, m)) {
      std::copy_n(m.diffuse, 3, m.ambient);
      const double r = std::clamp(src.pbrMetallicRoughness.roughnessFactor, 0.0, 1.0);
      std::fill_n(m.specular, 3, 1 - r);
      m.power = r >= 1 ? 0 : std::min(max_power, 2 / (r * r * r * r) - 2);
      if (src.emissiveFactor.size() == 3) std::copy_n(src.emissiveFactor.begin(), 3, m.emissive);
    }
    s.texture = texture_source_of(src.pbrMetallicRoughness.baseColorTexture.index, m.name);
    b.materials.push_back(s);
  }

  int32_t texture_source_of(int texture, const std::string& material) {
    if (texture < 0) return -1;
    if (size_t(texture) >= model.textures.size()) fail("material " + material + " names a texture that does not exist");
    const int image = model.textures[size_t(texture)].source;
    if (image < 0 || size_t(image) >= model.images.size()) fail("texture " + std::to_string(texture) + " has no image");
    const auto [at, added] = image_sources.try_emplace(image, int32_t(b.textures.size()));
    if (added) b.textures.push_back(image_source(image));
    return at->second;
  }

  texture_source image_source(int index) const {
    const tinygltf::Image& img = model.images[size_t(index)];
    const bool file = !img.uri.empty() && img.uri.rfind("data:", 0) != 0;
    texture_source t;
    t.source = file ? img.uri : "image " + std::to_string(index);
    t.name = file ? texture_name_hint(img.uri, "") : !img.name.empty() ? img.name : stem_part(path) + "_" + std::to_string(index);
    if (img.bufferView >= 0) {
      const auto [bytes, size] = view_bytes(img.bufferView, "image " + std::to_string(index));
      t.bytes.assign(bytes, bytes + size);
    } else {
      t.bytes = img.image;
    }
    if (t.bytes.empty()) fail("texture " + t.source + " is missing or empty");
    return t;
  }
};

tinygltf::Model load(const std::string& path) {
  binfile f;
  if (!file_open(f, path, binfile_read)) throw import_error(path + ": file not found");
  if (file_size(f) == 0) throw import_error(path + ": the file is empty");
  char magic[4] = {};
  file_read(f, magic, std::min<uint64_t>(4, file_size(f)));
  file_close(f);
  tinygltf::TinyGLTF loader;
  loader.SetImageLoader(keep_image_bytes, nullptr);
  tinygltf::Model model;
  std::string err, warn;
  const bool ok = std::memcmp(magic, "glTF", 4) == 0 ? loader.LoadBinaryFromFile(&model, &err, &warn, path)
                                                    : loader.LoadASCIIFromFile(&model, &err, &warn, path);
  if (!ok) throw import_error(path + ": " + (err.empty() ? "not a glTF 2.0 file" : err.substr(0, err.find('\n'))));
  if (!model.extensionsRequired.empty())
    throw import_error(path + ": needs the extension " + model.extensionsRequired[0] + ", which this import does not read");
  return model;
}

}  // namespace

imported_model import_gltf(const std::string& path, const import_options& o) {
  const tinygltf::Model model = load(path);
  model_builder b;
  b.frame = frame_affine(o.axes_given ? o.axes : default_axes(model_gltf), o.scale);
  gltf_reader r{model, path, b, {}, std::vector<char>(model.nodes.size())};
  for (const tinygltf::Material& m : model.materials) r.material(m);
  for (int root : r.roots()) r.node(root, b.frame, 0);
  return finish_model(b, path, o);
}
