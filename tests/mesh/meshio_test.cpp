// The mesh file writer, the DDS encoder, and models imported from OBJ and
// glTF and exported back: geometry, frames, materials, damaged files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "common/model_samples.h"
#include "common/scratch_dir.h"
#include "images/png.h"
#include "mesh/dds.h"
#include "mesh/ddswrite.h"
#include "mesh/grplib.h"
#include "mesh/meshexport.h"
#include "mesh/meshimport.h"
#include "mesh/texfile.h"

namespace {

const std::string demo = CORVANE_DEMO_ROOT;

void write_box(const scratch_dir& dir) {
  dir.put("box.obj", box_obj());
  dir.put("box.mtl", box_mtl());
  write_bytes(dir.file("box.png"), encode_png(box_picture()));
  std::vector<uint8_t> bin;
  dir.put("box.gltf", box_gltf(bin));
  write_bytes(dir.file("box.bin"), bin);
}

vec3 at(const msh_group& g, size_t i, int k) { return to_vec(g.vertices[size_t(g.indices[3 * i + size_t(k)])].position); }

// The box is convex: every face vector, and every corner's normal, points away from its centre.
void expect_outward(const msh_group& g, const vec3& centre) {
  for (size_t i = 0; i < g.indices.size() / 3; ++i) {
    const vec3 n = cross(sub(at(g, i, 1), at(g, i, 0)), sub(at(g, i, 2), at(g, i, 0)));
    EXPECT_GT(dot(n, sub(at(g, i, 0), centre)), 0) << g.label << " triangle " << i;
    EXPECT_GT(dot(to_vec(g.vertices[size_t(g.indices[3 * i])].normal), n), 0);
  }
}

void expect_extents(const msh_document& d, const vec3& lo, const vec3& hi) {
  vec3 a{1e9, 1e9, 1e9}, b{-1e9, -1e9, -1e9};
  for (const msh_group& g : d.groups)
    for (const pntyp& v : g.vertices) {
      a = {std::min(a.x, double(v.position.x)), std::min(a.y, double(v.position.y)), std::min(a.z, double(v.position.z))};
      b = {std::max(b.x, double(v.position.x)), std::max(b.y, double(v.position.y)), std::max(b.z, double(v.position.z))};
    }
  EXPECT_NEAR(distance(a, lo), 0, 1e-6);
  EXPECT_NEAR(distance(b, hi), 0, 1e-6);
}

// Largest difference of any channel between a decoded image and its source;
// the colour of a transparent source pixel does not count.
int max_difference(const rgba_image& decoded, const rgba_image& source) {
  int d = 0;
  for (size_t i = 0; i < source.pixels.size(); ++i)
    if (i % 4 == 3 || source.pixels[i | 3] != 0) d = std::max(d, std::abs(decoded.pixels[i] - source.pixels[i]));
  return d;
}

rgba_image picture(int w, int h, auto alpha) {
  rgba_image img;
  img.width = w, img.height = h;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.pixels.insert(img.pixels.end(), {uint8_t(x * 6), uint8_t(y * 12), 90, uint8_t(alpha(x, y))});
  return img;
}

}  // namespace

TEST(MeshWriter, WritesWhatTheReaderReadsBackExactly) {
  msh_document d;
  d.materials = {{"hull plate", {0.1, 0.2, 0.3, 1}, {1e-30, 0, 0, 1}, {0.5, 0.5, 0.5, 1}, 12.5, {0, 0, 1, 1}}};
  d.textures = {"dg\\hull.dds"};
  msh_group g{"first", {}, {0, 1, 2}, 1, 1, 0, 0};
  for (float f : {0.1f, -0.0f, 1e-30f, 3e38f, 123456.79f, -7.000001f}) {
    pntyp v{};
    v.position = {f, -f, f / 3};
    v.normal = {0, f, 1};
    v.u = f, v.v = 1 - f;
    g.vertices.push_back(v);
  }
  d.groups = {g, g};
  d.groups[1].material = 0;  // none after one: must not carry over
  d.groups[1].texture = 0;
  d.groups[1].label.clear();
  msh_document back;
  ASSERT_TRUE(read_mesh_document(back, mesh_text(d)));
  ASSERT_EQ(back.groups.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(std::memcmp(back.groups[i].vertices.data(), d.groups[i].vertices.data(), 6 * sizeof(pntyp)), 0);
    EXPECT_EQ(back.groups[i].indices, d.groups[i].indices);
    EXPECT_EQ(back.groups[i].label, d.groups[i].label);
    EXPECT_EQ(back.groups[i].material, d.groups[i].material);
    EXPECT_EQ(back.groups[i].texture, d.groups[i].texture);
  }
  EXPECT_EQ(back.materials[0].name, "hull_plate");
  EXPECT_EQ(back.materials[0].ambient[0], 1e-30);
  EXPECT_EQ(back.materials[0].power, 12.5);
  EXPECT_EQ(back.textures, d.textures);
  typmsh m;
  ASSERT_TRUE(read_mesh_text(m, mesh_text(d), "x.msh", "", false));
  EXPECT_EQ(m.groups[1].diffuse, pack_colour(128, 128, 128, 255));
}

TEST(DdsEncoder, ChoosesTheFormatByAlphaAndStoresTheWholeMipChain) {
  const struct { rgba_image img; dxt_format format; } cases[] = {
    {picture(37, 19, [](int, int) { return 255; }), dxt1},
    {picture(8, 8, [](int x, int) { return x < 4 ? 0 : 255; }), dxt1},
    {picture(16, 4, [](int x, int) { return x * 16; }), dxt5},
  };
  for (const auto& c : cases) {
    const std::vector<uint8_t> bytes = encode_dds_texture(c.img);
    dds_header h;
    std::memcpy(&h, bytes.data(), sizeof h);
    EXPECT_EQ(std::string(h.format.fourcc, 4), c.format == dxt1 ? "DXT1" : "DXT5");
    size_t size = sizeof h;
    uint32_t levels = 0;
    for (int w = c.img.width, hh = c.img.height;; w = std::max(1, w / 2), hh = std::max(1, hh / 2)) {
      size += dxt_data_size(c.format, uint32_t(w), uint32_t(hh));
      ++levels;
      if (w == 1 && hh == 1) break;
    }
    EXPECT_EQ(h.mipmap_count, levels);
    EXPECT_EQ(bytes.size(), size);
    rgba_image back;
    ASSERT_TRUE(decode_image_bytes(bytes, back));
    ASSERT_EQ(back.width, c.img.width);
    EXPECT_LE(max_difference(back, c.img), 24) << c.img.width;  // 5-6-5 colours and 8-step alpha
  }
}

TEST(ModelImport, BoxFromObjAndGltfHasTwoGroupsOutwardFacesAndTheSourcesMaterials) {
  scratch_dir dir;
  write_box(dir);
  const struct { const char* file; vec3 lo, hi; float first_v; double red_power; } cases[] = {
    {"box.obj", {0, 0, -4}, {2, 3, 0}, 1, 20},    // y up, -z forward; v flipped
    {"box.gltf", {-2, 0, 0}, {0, 3, 4}, 0, 30},   // +z forward, -x right; roughness 0.5
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const imported_model m = import_model(dir.file(c.file), {});
    ASSERT_EQ(m.mesh.groups.size(), 2u);
    expect_extents(m.mesh, c.lo, c.hi);
    for (const msh_group& g : m.mesh.groups) {
      EXPECT_EQ(g.label, "box");
      EXPECT_EQ(g.indices.size(), 18u);
      expect_outward(g, midpoint(c.lo, c.hi));
    }
    EXPECT_EQ(m.mesh.groups[1].vertices[0].v, c.first_v);
    ASSERT_EQ(m.mesh.materials.size(), 2u);
    EXPECT_EQ(m.mesh.materials[0].name, "red");
    EXPECT_EQ(m.mesh.materials[0].diffuse[0], 1);
    EXPECT_EQ(m.mesh.materials[0].power, c.red_power);
    EXPECT_EQ(m.mesh.groups[0].texture, 0);
    EXPECT_EQ(m.mesh.groups[1].texture, 1);
    EXPECT_EQ(m.mesh.textures, astr{"box.dds"});
    EXPECT_EQ(m.textures[0].image.pixels, box_picture().pixels);
  }
  import_options o;
  ASSERT_TRUE(parse_axes("+x+y+z", o.axes));
  o.axes_given = true, o.scale = 2, o.texture_folder = "ships/box";
  const imported_model m = import_model(dir.file("box.obj"), o);
  expect_extents(m.mesh, {0, 0, 0}, {4, 6, 8});
  expect_outward(m.mesh.groups[0], {2, 3, 4});
  EXPECT_EQ(m.mesh.textures, astr{"ships\\box\\box.dds"});
  EXPECT_EQ(m.mesh.materials[1].diffuse[3], 0.5);
  EXPECT_FLOAT_EQ(m.mesh.materials[1].emissive[2], 0.3);
}

TEST(ModelImport, NodeTransformsPolygonsLinesAndPoints) {
  scratch_dir dir;
  write_box(dir);
  std::vector<uint8_t> bin;
  dir.put("arm.gltf", box_gltf(bin, {{{"name", "arm"}, {"rotation", {0, std::sqrt(0.5), 0, std::sqrt(0.5)}}, {"translation", {10, 0, 0}},
                                       {"children", {1}}},
                                      {{"name", "hand"}, {"mesh", 0}, {"root", false}, {"scale", {0.5, 0.5, 0.5}},
                                       {"translation", {0, 0, 2}}}}));
  const imported_model arm = import_model(dir.file("arm.gltf"), {});
  EXPECT_EQ(arm.mesh.groups[0].label, "hand");
  expect_extents(arm.mesh, {-14, 0, -1}, {-12, 1.5, 0});  // turned 90 degrees about y, then moved along x
  expect_outward(arm.mesh.groups[0], {-13, 0.75, -0.5});

  dir.put("shape.obj", "v 0 0 0\nv 1 0 0\nv 2 1 0\nv 1 2 0\nv 0 1 0\nf 1 2 3 4 5\nl 1 3\np 2\n");
  const imported_model shape = import_model(dir.file("shape.obj"), {});
  ASSERT_EQ(shape.mesh.groups.size(), 1u);
  EXPECT_EQ(shape.mesh.groups[0].indices, (aointeger{0, 2, 1, 0, 3, 2, 0, 4, 3}));  // fanned, mirrored into the vessel frame
  ASSERT_FALSE(shape.warnings.empty());
  EXPECT_EQ(shape.warnings[0], "1 lines and 1 points left out: a mesh holds triangles only");
}

TEST(ModelImport, RefusesDamagedAndHostileFiles) {
  scratch_dir dir;
  write_box(dir);
  std::vector<uint8_t> bin;
  const nlohmann::json box = nlohmann::json::parse(box_gltf(bin));
  auto changed = [&box](auto change) {
    nlohmann::json j = box;
    change(j);
    return j.dump();
  };
  std::vector<uint8_t> bad_index = bin;
  bad_index[240] = 0xF4, bad_index[241] = 1;  // the first index of the first primitive: 500 of 12
  dir.put("bad/index.gltf", box.dump());
  write_bytes(dir.file("bad/box.bin"), bad_index);
  dir.put("nobin/box.gltf", box.dump());
  dir.put("nopng/box.obj", box_obj());
  dir.put("nopng/box.mtl", box_mtl());
  dir.put("empty.obj", "");
  dir.put("empty.gltf", "");
  dir.put("index.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 9\n");
  dir.put("lying.gltf", changed([](auto& j) {
    j["buffers"][0] = {{"uri", "data:application/octet-stream;base64,AAAA"}, {"byteLength", 1000}}; }));
  dir.put("count.gltf", changed([](auto& j) { j["accessors"][0]["count"] = 2147483648u; }));
  dir.put("buffer.gltf", changed([](auto& j) { j["buffers"][0]["byteLength"] = 2147483648u; }));
  dir.put("view.gltf", changed([](auto& j) { j["bufferViews"][0]["byteOffset"] = 2147483000u; }));
  dir.put("cycle.gltf", changed([](auto& j) {
    j["nodes"] = {{{"children", {1}}}, {{"children", {0}}, {"mesh", 0}}}; }));
  dir.put("huge.glb", std::string("glTF\2\0\0\0\xff\xff\xff\x7f\xf0\xff\xff\x7fJSON{}", 22));
  for (const char* f : {"bad/index.gltf", "nobin/box.gltf", "nopng/box.obj", "empty.obj", "empty.gltf", "index.obj",
                        "lying.gltf", "count.gltf", "buffer.gltf", "view.gltf", "cycle.gltf", "huge.glb", "none.obj"}) {
    try {
      import_model(dir.file(f), {});
      ADD_FAILURE() << f << " was imported";
    } catch (const import_error& e) {
      EXPECT_NE(std::string(e.what()).find(dir.file(f)), std::string::npos) << e.what();
    }
  }
}

TEST(ModelExport, DemoGliderComesBackThroughGltfGlbAndObj) {
  scratch_dir dir;
  const std::string mesh = demo + "/Meshes/dg/deltaglider.msh";
  const std::vector<uint8_t> text = read_bytes(mesh);
  msh_document original;
  ASSERT_TRUE(read_mesh_document(original, std::string(text.begin(), text.end())));
  for (const std::string out : {"glider.gltf", "glider.glb", "glider.obj"}) {
    SCOPED_TRACE(out);
    const bool obj = out.ends_with(".obj");
    const exported_model e = export_mesh(mesh, dir.file(out), demo + "/Textures");
    EXPECT_TRUE(e.warnings.empty()) << e.warnings[0];
    write_file_set(e.files, true);  // the PNG files of the format before
    const msh_document back = import_model(dir.file(out), {}).mesh;
    ASSERT_EQ(back.groups.size(), original.groups.size());
    for (size_t i = 0; i < back.groups.size(); ++i) {
      const msh_group &a = original.groups[i], &b = back.groups[i];
      EXPECT_EQ(b.label, a.label);
      ASSERT_EQ(b.vertices.size(), a.vertices.size());
      ASSERT_EQ(b.indices.size(), a.indices.size());
      for (size_t t = 0; t < a.indices.size(); ++t) {
        const pntyp &p = a.vertices[size_t(a.indices[t])], &q = b.vertices[size_t(b.indices[t])];
        ASSERT_NEAR(distance(to_vec(p.position), to_vec(q.position)), 0, 1e-6) << a.label;
        ASSERT_NEAR(distance(to_vec(p.normal), to_vec(q.normal)), 0, 1e-6);
        ASSERT_NEAR(p.v, q.v, 1e-6);
      }
      if (!obj) {
        EXPECT_EQ(b.material, a.material);  // OBJ has one material per material and texture
      }
      const auto name = [](const astr& list, int32_t t) { return t ? list[size_t(t - 1)].substr(0, list[size_t(t - 1)].find('.')) : ""; };
      EXPECT_EQ(name(back.textures, b.texture), name(original.textures, a.texture));  // DDS now, whatever it was
    }
    if (obj) continue;
    ASSERT_EQ(back.materials.size(), original.materials.size());
    for (size_t i = 0; i < back.materials.size(); ++i) {
      EXPECT_EQ(back.materials[i].name, original.materials[i].name);
      EXPECT_EQ(std::memcmp(&back.materials[i].diffuse, &original.materials[i].diffuse, sizeof(double) * 17), 0);
    }
  }
}
