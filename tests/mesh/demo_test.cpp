// The demo installation the build writes: the glider meshes have every group
// the template names, their animated groups sit at the template's hinges,
// every texture format is there and decodes, and all triangles face outwards
// the way their normals say.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "mesh/dds.h"
#include "mesh/grplib.h"
#include "mesh/texfile.h"

namespace {

namespace fs = std::filesystem;
const std::string root = CORVANE_DEMO_ROOT;

typmsh demo_mesh(const std::string& name) {
  typmsh m;
  EXPECT_TRUE(read_mesh(m, root + "/Meshes/" + name + ".msh", root + "/Textures/")) << name;
  return m;
}

// Distance from a point to a group's box.
double distance_to_box(const typmshgrp& g, const vec3& p) {
  auto out = [](double v, double lo, double hi) { return v < lo ? lo - v : (v > hi ? v - hi : 0.0); };
  return length(vec3{out(p.x, g.min_corner.x, g.max_corner.x), out(p.y, g.min_corner.y, g.max_corner.y),
                     out(p.z, g.min_corner.z, g.max_corner.z)});
}

struct hinge {
  int mesh;
  std::vector<int> groups;
  vec3 ref;
};

// The reference points of the template's animation components.
const hinge hinges[] = {
  {0, {92, 96}, {0, -1.048, 8.561}},        {0, {62, 81}, {0, -1.145, 8.65}},
  {0, {63, 82}, {-0.3, -1.222, 7.029}},     {0, {64, 83}, {0.3, -1.222, 7.029}},
  {0, {91, 95}, {-3.607, -1.137, -3.08}},   {0, {90, 94}, {3.607, -1.137, -3.08}},
  {0, {60, 61, 79, 80}, {-3.658, -1.239, -3.038}}, {0, {59, 78}, {-2.175, -1.178, -3.438}},
  {0, {56, 57, 75, 76}, {3.658, -1.239, -3.038}},  {0, {58, 77}, {2.175, -1.178, -3.438}},
  {1, {106}, {-0.424, -0.066, 9.838}},      {1, {107}, {0.424, -0.066, 9.838}},
  {0, {69, 84}, {-0.424, -0.066, 9.838}},   {0, {70, 85}, {0.424, -0.066, 9.838}},
  {0, {71, 86}, {-0.424, -0.914, 9.838}},   {0, {72, 87}, {0.424, -0.914, 9.838}},
};

}  // namespace

TEST(Demo, GliderMeshesHoldEveryGroupTheTemplateNames) {
  const typmsh outside = demo_mesh("dg/deltaglider");
  const typmsh cockpit = demo_mesh("dg\\deltaglidercockpit");
  EXPECT_GE(outside.group_count, 97);
  EXPECT_GE(cockpit.group_count, 137);
  EXPECT_GT(outside.radius, 10);  // so that loading it raises the template's size
  for (const typmsh* m : {&outside, &cockpit})
    for (const typmshgrp& g : m->groups) {
      EXPECT_FALSE(g.indices.empty());
      EXPECT_EQ(g.indices.size() % 3, 0u);
    }
  // The HUD of view 0 and the two MFDs lie where the template puts them.
  EXPECT_LT(distance_to_box(cockpit.groups[136], {0, 1.462, 7.09}), 0.01);
  EXPECT_LT(cockpit.groups[109].centre.x, 0);
  EXPECT_GT(cockpit.groups[110].centre.x, 0);
}

TEST(Demo, AnimatedGroupsSitAtTheirHinges) {
  const typmsh meshes[] = {demo_mesh("dg/deltaglider"), demo_mesh("dg/deltaglidercockpit")};
  // Each moving part touches its hinge; the rest of its list (wheels at the
  // end of legs) stays within a leg's length of it.
  for (const hinge& h : hinges) {
    double nearest = 1e9;
    for (int g : h.groups) {
      const double d = distance_to_box(meshes[h.mesh].groups[size_t(g)], h.ref);
      nearest = std::min(nearest, d);
      EXPECT_LT(d, 1.5) << "group " << g;
    }
    EXPECT_LT(nearest, 0.35) << "group " << h.groups[0];
  }
  // The dock seal that the nose animation shifts lies inside the closed cone.
  EXPECT_LT(distance_to_box(meshes[0].groups[45], {0, -0.49, 9.83}), 0.05);
  // With the gear down the wheels reach below the hull.
  EXPECT_LT(meshes[0].groups[96].min_corner.y, -2.2);
  EXPECT_LT(meshes[0].groups[95].min_corner.y, -2.2);
}

TEST(Demo, EveryTextureDecodes) {
  for (const char* name : {"dg/deltaglider", "dg/deltaglidercockpit", "Demo/cargopod", "Demo/Station/dockring",
                           "Demo/Probes/probe"}) {
    const typmsh m = demo_mesh(name);
    EXPECT_FALSE(m.texture_names.empty()) << name;
    for (const typmshgrp& g : m.groups)
      if (g.texture.index != -1) EXPECT_NE(g.texture.pixels, nullptr) << name << " " << g.texture.index;
  }
  std::set<std::string> formats;
  for (const auto& e : fs::recursive_directory_iterator(root + "/Textures")) {
    rgba_image img;
    ASSERT_TRUE(decode_image(e.path().string(), img) || e.is_directory()) << e.path();
    if (e.is_directory()) continue;
    formats.insert(image_format_name(img.format));
    dds_image dds;
    if (img.format == image_dds && read_dds_file(e.path().string(), true, dds))
      formats.insert(dds.format == dxt_none ? "dds-uncompressed" : "dxt" + std::to_string(dds.format));
  }
  EXPECT_EQ(formats, (std::set<std::string>{"bmp", "dds", "dds-uncompressed", "dxt1", "dxt3", "dxt5", "gif", "jpeg", "png"}));
  for (const char* t : {"Exhaust.dds", "cloud1.dds"}) EXPECT_TRUE(fs::exists(root + "/Textures/" + t)) << t;
  EXPECT_TRUE(fs::is_directory(root + "/Vessel_Design"));
}

TEST(Demo, TrianglesWindTheWayTheirNormalsPoint) {
  for (const char* name : {"dg/deltaglider", "dg/deltaglidercockpit", "Demo/cargopod", "Demo/Station/dockring",
                           "Demo/Probes/probe"}) {
    const typmsh m = demo_mesh(name);
    int wrong = 0, total = 0;
    for (const typmshgrp& g : m.groups)
      for (size_t i = 0; i + 2 < g.indices.size(); i += 3) {
        const pntyp *a = &g.vertices[size_t(g.indices[i])], *b = &g.vertices[size_t(g.indices[i + 1])],
                    *c = &g.vertices[size_t(g.indices[i + 2])];
        const vec3 face = cross(sub(to_vec(b->position), to_vec(a->position)), sub(to_vec(c->position), to_vec(a->position)));
        const vec3 normals = add(add(to_vec(a->normal), to_vec(b->normal)), to_vec(c->normal));
        if (length(face) < 1e-9) continue;
        ++total;
        wrong += dot(face, normals) < 0;
      }
    EXPECT_GT(total, 0);
    EXPECT_EQ(wrong, 0) << name;
  }
}

// Planet textures: DDS sequences with the images of levels 1 to 6 (1, 1, 1, 2,
// 8 and 24), a globe with oceans, land and ice caps, clouds in alpha, a ring.
TEST(Demo, PlanetTexturesAreSequencesOfAGlobeItsCloudsAndARing) {
  const std::string dir = root + "/Textures/";
  const std::vector<dds_image> kept = read_dds_sequence(dir + "Earth.tex", true);
  ASSERT_EQ(kept.size(), 37u);
  for (size_t i = 0; i < kept.size(); ++i) {
    const uint32_t w = i < 3 ? 64u << i : 256, h = i < 3 ? 32u << i : i < 13 ? 256 : 128;
    EXPECT_EQ(kept[i].format, dxt1) << i;
    EXPECT_EQ(kept[i].width, w) << i;
    EXPECT_EQ(kept[i].height, h) << i;
    EXPECT_EQ(kept[i].compressed.size(), size_t(w) * h / 2) << i;
  }
  const dds_image globe = read_dds_sequence(dir + "Earth.tex", false).at(2);  // level 3: the whole globe
  auto fraction = [&](uint32_t y0, uint32_t y1, bool (*kind)(const uint8_t*)) {
    size_t n = 0;
    for (uint32_t y = y0; y < y1; ++y)
      for (uint32_t x = 0; x < globe.width; ++x) n += kind(&globe.pixels[(size_t(y) * globe.width + x) * 4]);
    return double(n) / (double(y1 - y0) * globe.width);
  };
  auto sea = [](const uint8_t* p) { return p[2] > p[0] + 40 && p[2] > p[1] + 20; };
  auto ice = [](const uint8_t* p) { return p[0] > 200 && p[1] > 200 && p[2] > 200; };
  auto ground = [](const uint8_t* p) { return p[1] >= p[2] && !(p[0] > 200 && p[1] > 200); };
  EXPECT_GT(fraction(0, 128, sea), 0.45);
  EXPECT_LT(fraction(0, 128, sea), 0.8);
  EXPECT_GT(fraction(0, 128, ground), 0.15);
  EXPECT_GT(fraction(0, 4, ice), 0.9);      // polar caps
  EXPECT_GT(fraction(124, 128, ice), 0.9);
  EXPECT_EQ(fraction(48, 80, ice), 0);      // none near the equator

  const std::vector<dds_image> clouds = read_dds_sequence(dir + "Earth_cloud.tex", false);
  ASSERT_EQ(clouds.size(), 37u);
  size_t cloudy = 0, clear = 0;
  for (size_t i = 3; i < clouds[2].pixels.size(); i += 4) (clouds[2].pixels[i] > 128 ? cloudy : clear) += 1;
  EXPECT_GT(cloudy, clear / 4);  // a quarter to a half of the sky
  EXPECT_GT(clear, cloudy);

  const std::vector<dds_image> ring = read_dds_sequence(dir + "Ringed_ring.tex", false);
  ASSERT_EQ(ring.size(), 1u);
  const std::vector<uint8_t>& rp = ring[0].pixels;
  const size_t w = ring[0].width;
  EXPECT_EQ(rp[w * 61 / 100 * 4 + 3], 0);    // the gap
  EXPECT_GT(rp[w * 3 / 10 * 4 + 3], 100);    // ringlets
  EXPECT_EQ(rp[(3 * w + 20) * 4 + 3], rp[20 * 4 + 3]);  // the same along the band
}
