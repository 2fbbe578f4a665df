// Planets in a real GL context: which texture file a layer reads and how
// many levels it supports, a mesh file taking the textures' place, release
// and reload as the camera goes and comes back without leaking textures,
// the ring path, and the backdrop Earth seen from the template's views.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/gl_window.h"
#include "engine_folder.h"
#include "common/scratch_dir.h"
#include "mkdemo/imgwrite.h"
#include "gl/glmesh.h"
#include "render/dpringbs.h"
#include "render/dpringdraw.h"
#include "render/vorlaux.h"
#include "render/vorlcalc.h"
#include "render/vorldraw.h"
#include "render/vorlutil.h"

namespace {

const auto* const env = ::testing::AddGlobalTestEnvironment(new gl_window);
constexpr double level6_altitude = 2.96e6;     // 2 pi x apparent radius about 3,000 pixels in the 256-pixel view
constexpr double level0_altitude = 2e9;        // under a pixel

// A planet texture file of n DXT1 images, 8 x 8 texels each.
void write_tex(const std::string& path, int n) {
  rgba_image img{8, 8, std::vector<uint8_t>(8 * 8 * 4, 200)};
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary);
  for (int i = 0; i < n; ++i) {
    const bytes dds = encode_dds(img, dxt1);
    out.write(reinterpret_cast<const char*>(dds.data()), std::streamsize(dds.size()));
  }
}

std::string log_text() {
  std::ifstream in("vorl.log");
  return {std::istreambuf_iterator<char>(in), {}};
}

size_t count_of(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

class PlanetFrame : public engine_folder {
 protected:
  void demo_texture(const std::string& name) {
    std::filesystem::copy_file(CORVANE_DEMO_ROOT "/Textures/" + name, dir.file("Textures/" + name));
  }
  drawplanetrec& planet(const std::string& name) {
    vorl_scene.planets.clear();
    return create_planet(vorl_scene, name, {1.5e11, 0, 0}, earth_radius, false);
  }
  // The camera above the planet's north pole; the planets updated as the designer's frame does.
  void above(const drawplanetrec& p, double altitude) {
    vorl_scene.camera.position = add(p.position, {0, p.radius + altitude, 0});
    planets_frame(vorl_scene);
  }
  planet_layer& surface(drawplanetrec& p) { return planet_state(p).layers[layer_surface]; }
};

TEST_F(PlanetFrame, FiveImagesSupportLevelFourAndALevelSixRequestDrawsIt) {
  write_tex("Textures/Test.tex", 5);
  drawplanetrec& p = planet("Test");
  above(p, level6_altitude);
  ASSERT_EQ(planet_level(vorl_scene, p), 6);
  planet_layer& l = surface(p);
  EXPECT_EQ(l.textures.size(), 5u);
  EXPECT_EQ(l.highest, 4);
  EXPECT_EQ(drawn_level(l), 4);
  ASSERT_EQ(l.levels[4].tiles.size(), 2u);                       // the hemispheres, on images 4 and 5
  EXPECT_EQ(l.levels[4].tiles[0].texture, 3);
  EXPECT_EQ(l.levels[4].tiles[1].texture, 4);
  EXPECT_FALSE(l.levels[5].built);
  EXPECT_NE(log_text().find("    PLNT| Loading Textures/Test.tex OK"), std::string::npos) << log_text();
  render_scene(vorl_scene);
  EXPECT_EQ(vorl_log_file.errors, 0);
}

TEST_F(PlanetFrame, AMeshFileTakesThePlaceOfTheTextureFile) {
  write_tex("Textures/Test.tex", 37);
  write_tex("Textures/Test_cloud.tex", 37);
  const std::string triangle = "MSHX1\nGROUPS 1\nGEOM 3 1\n0 0 0 0 0 1\n1 0 0 0 0 1\n0 1 0 0 0 1\n0 1 2\n";
  dir.put("Meshes/Test.msh", triangle);
  dir.put("Meshes/Test_cloud.msh", triangle);
  drawplanetrec& p = planet("Test");
  above(p, level6_altitude);
  for (planet_layer_id id : {layer_surface, layer_clouds}) {
    EXPECT_TRUE(planet_state(p).layers[id].mesh.loaded) << id;
    EXPECT_TRUE(planet_state(p).layers[id].textures.empty()) << id;
  }
  EXPECT_EQ(log_text().find("Loading"), std::string::npos) << log_text();
  render_scene(vorl_scene);
  EXPECT_EQ(vorl_log_file.errors, 0);
}

// Each place of the search order in turn: one image, two, three; with none the
// layer keeps its patches untextured and tries again only when the level changes.
TEST_F(PlanetFrame, TextureFilesAreSearchedInOrder) {
  write_tex("Textures2/Test.tex", 1);
  write_tex("Textures/Test.tex", 2);
  write_tex("Textures/plntdefault_0.tex", 3);
  for (const char* next : {"Textures2/Test.tex", "Textures/Test.tex", "Textures/plntdefault_0.tex"}) {
    drawplanetrec& p = planet("Test");
    above(p, level6_altitude);
    EXPECT_EQ(surface(p).textures.size(), size_t(surface(p).highest)) << next;
    std::filesystem::remove(next);
  }
  EXPECT_EQ(count_of(log_text(), "Loading Textures/Test.tex OK"), 3u);
  drawplanetrec& p = planet("Test");
  above(p, level6_altitude);
  EXPECT_TRUE(surface(p).textures.empty());
  EXPECT_EQ(drawn_level(surface(p)), 6);
  write_tex("Textures/Test.tex", 37);
  above(p, level6_altitude);                                   // the same level: no new attempt
  EXPECT_TRUE(surface(p).textures.empty());
  above(p, level6_altitude * 2);
  EXPECT_EQ(surface(p).textures.size(), 37u);
}

TEST_F(PlanetFrame, GoingAwayReleasesTheTexturesAndComingBackReloadsThemWithoutLeaks) {
  demo_texture("Earth.tex");
  demo_texture("Earth_cloud.tex");
  drawplanetrec& p = planet("Earth");
  for (int cycle = 0; cycle < 100; ++cycle) {
    above(p, level6_altitude);
    std::vector<GLuint> names = surface(p).textures;
    const auto& clouds = planet_state(p).layers[layer_clouds].textures;
    names.insert(names.end(), clouds.begin(), clouds.end());
    ASSERT_EQ(names.size(), 74u);
    ASSERT_TRUE(std::all_of(names.begin(), names.end(), [](GLuint t) { return glIsTexture(t); }));
    above(p, level0_altitude);
    ASSERT_TRUE(surface(p).textures.empty());
    ASSERT_TRUE(std::none_of(names.begin(), names.end(), [](GLuint t) { return glIsTexture(t); })) << cycle;
  }
  const std::string log = log_text();
  EXPECT_EQ(count_of(log, "    PLNT| Released Earth.tex"), 100u);
  EXPECT_EQ(count_of(log, "    PLNT| Released Earth_cloud.tex"), 100u);
  EXPECT_EQ(count_of(log, "Loading Textures/Earth.tex OK"), 100u);
}

TEST_F(PlanetFrame, RingsLoadTheirTextureAndBuildTheCloseRangeRingsNearThePlanet) {
  demo_texture("Ringed_ring.tex");
  drawplanetrec& p = planet("Ringed");
  p.rings = true;
  p.ring_inner = 1.5;
  p.ring_outer = 2.4;
  above(p, 8e6);                                               // over two radii from the centre
  planet_res& r = planet_state(p);
  EXPECT_EQ(r.layers[layer_rings].textures.size(), 1u);
  EXPECT_TRUE(r.ring_band.loaded);
  EXPECT_FALSE(r.close_rings.built);
  EXPECT_NE(log_text().find("   PLNTR| Loading Textures/Ringed_ring.tex OK"), std::string::npos);
  above(p, p.radius * 0.5);
  EXPECT_TRUE(r.close_rings.built);
  vorl_scene.advanced = vorl_scene.air_shade = true;           // the planet, ring and cloud programs
  render_scene(vorl_scene);
  EXPECT_EQ(vorl_log_file.errors, 0);
}

// The backdrop of the designer: the vessel 12,000 km above the Earth, the
// camera 20 m behind it and turned down towards the planet.
TEST_F(PlanetFrame, TheEarthFillsTheLowerViewUnderAStarrySky) {
  demo_texture("Earth.tex");
  demo_texture("Earth_cloud.tex");
  vorl_scene.camera.position = add(add_backdrop_earth(vorl_scene).position, add(earth_vessel_offset, {0, 0, -20}));
  vorl_scene.camera.angles = {-0.9, 0, 0};
  planets_frame(vorl_scene);
  render_scene(vorl_scene);
  EXPECT_EQ(vorl_log_file.errors, 0);
  std::vector<uint8_t> px(size_t(gl_window::size) * gl_window::size * 4);
  glReadPixels(0, 0, gl_window::size, gl_window::size, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
  auto rgb = [&](int x, int y) { return &px[(size_t(y) * gl_window::size + x) * 4]; };
  int lit = 0, rim = 0, stars = 0;
  std::vector<uint32_t> colours;
  for (int y = 0; y < gl_window::size; ++y)
    for (int x = 0; x < gl_window::size; ++x) {
      const uint8_t* c = rgb(x, y);
      const bool lower = y < gl_window::size / 4, upper = y >= gl_window::size * 3 / 4;
      lit += lower && std::max({c[0], c[1], c[2]}) > 20;
      if (lower) colours.push_back(c[0] | c[1] << 8 | c[2] << 16);
      rim += c[2] > 150 && c[2] > c[0] + 60;                     // the blue of the atmosphere
      stars += upper && c[0] > 150 && c[0] == c[2];              // white points
    }
  std::sort(colours.begin(), colours.end());
  EXPECT_GT(lit, gl_window::size * gl_window::size / 4 * 3 / 4);  // the disc under most of the lower quarter
  EXPECT_GT(std::unique(colours.begin(), colours.end()) - colours.begin(), 200);  // textured, not flat
  EXPECT_GT(rim, 100);
  EXPECT_GT(stars, 20);
}

// Level, as the designer starts, the Earth lies wholly below the view and is not drawn.
TEST_F(PlanetFrame, TheEarthOutOfSightIsNotDrawnAndInSightItIs) {
  demo_texture("Earth.tex");
  drawplanetrec& earth = add_backdrop_earth(vorl_scene);
  vorl_scene.camera.position = add(earth.position, add(earth_vessel_offset, {0, 0, -20}));
  for (const double pitch : {0.0, -0.9}) {
    vorl_scene.camera.angles = {pitch, 0, 0};
    planets_frame(vorl_scene);
    update_relative_positions(vorl_scene);
    perspective(gl_window::size, gl_window::size, 2 * vorl_scene.half_fov * 180 / pi, near_plane, far_plane);
    glScaled(1, 1, -1);
    apply_camera(vorl_scene);
    const uint64_t before = glmesh.drawn_indices;
    draw_planet(earth, 0, 0);
    EXPECT_EQ(glmesh.drawn_indices > before, pitch != 0) << pitch;
  }
}

}  // namespace
