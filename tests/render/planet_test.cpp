// Planet numbers without a GL context: the size rule and the level clamps,
// atmosphere density and sky colour, the horizon test, the texture search
// order, and the template patches checked against the layout the demo's
// planet textures are painted in.
#include <gtest/gtest.h>

#include <cmath>

#include "mkdemo/planet.h"
#include "render/dpringbs.h"
#include "render/vorlcalc.h"

namespace {

TEST(PlanetLevel, CircumferenceStepsSkipLevelFourAndClampToTheTextures) {
  const double px = 1 / (2 * pi);   // apparent radius of one pixel of circumference
  EXPECT_EQ(resolution_level(0.99, 1e6), 0);
  EXPECT_EQ(resolution_level(100, 0), 0);
  EXPECT_EQ(resolution_level(127.9 * px, 1e6), 1);
  EXPECT_EQ(resolution_level(128 * px, 1e6), 2);
  EXPECT_EQ(resolution_level(511 * px, 1e6), 3);
  EXPECT_EQ(resolution_level(512 * px, 1e6), 5);
  EXPECT_EQ(resolution_level(4095 * px, 1e6), 6);
  EXPECT_EQ(resolution_level(32768 * px, 1e6), 10);
  EXPECT_EQ(clamp_level(10, 0), 8);
  EXPECT_EQ(clamp_level(-3, 0), 0);
  EXPECT_EQ(clamp_level(6, 4), 4);
  EXPECT_EQ(textures_level(5, 6), 4);
  EXPECT_EQ(textures_level(37, 2), 6);
  EXPECT_EQ(textures_level(600, 2), 8);
  EXPECT_EQ(textures_level(20, 6), 6);  // no level's count: the level asked for
}

struct Atmosphere : ::testing::Test {
  vorlscene s;
  drawplanetrec* p = nullptr;
  void SetUp() override {
    p = &create_planet(s, "Earth", {1.5e11, 0, 0}, 6371010, false);
    set_atmosphere(*p, 0, 1.2, 6371010 + 400000, {0.3f, 0.5f, 1.0f});
  }
  void camera_at(const vec3& offset) {     // offset from the centre
    s.camera.position = add(p->position, offset);
    p->rel_position = scale(offset, -1);
    atmosphere_strength(*p, s.camera.position);
  }
};

TEST_F(Atmosphere, DensityFallsToNothingAboveAQuarterOfTheHeight) {
  camera_at({0, p->radius + 100001, 0});
  EXPECT_EQ(p->density, 0);
  camera_at({0, p->radius, 0});
  EXPECT_DOUBLE_EQ(p->density, 1.2);
  camera_at({0, p->radius + 50000, 0});
  EXPECT_DOUBLE_EQ(p->density, 0.25 * 1.2);
}

TEST_F(Atmosphere, SkyIsClearOutsideAndFollowsTheFormulaInside) {
  camera_at({0, p->outer_radius + 1, 0});
  EXPECT_EQ(planet_sky_colour(*p), 0u);
  camera_at({-p->radius - 1000, 0, 0});    // over the noon point: the sun behind the camera
  const double d = std::sqrt(p->density / 1.2) * 1.0;
  const packed_colour noon = planet_sky_colour(*p);
  EXPECT_EQ(noon, pack_float_colour(0.3 * d, 0.5 * d, 1.0 * d, std::min(0.85, d)));
  EXPECT_GE(double(noon >> 24) / 255, 0.5);  // daylight enough to hide the stars
  camera_at({0, p->radius + 1000, 0});     // at the terminator: c = 0.4581
  const double f = std::sqrt(p->density / 1.2) * 0.4581;
  EXPECT_EQ(planet_sky_colour(*p), pack_float_colour(0.3 * f, 0.5 * f, f, f));
  camera_at({p->radius + 1000, 0, 0});     // midnight
  EXPECT_EQ(planet_sky_colour(*p), 0u);
}

TEST(PlanetHorizon, OnlyWhatLiesWhollyBeyondTheHorizonIsHidden) {
  const vec3 eye{0, 3, 0};                  // three radii up: the horizon plane is at y = 1/3
  EXPECT_TRUE(behind_horizon(eye, 1, {0, -1, 0}, 0.5));
  EXPECT_FALSE(behind_horizon(eye, 1, {0, 0.2, 0}, 0.2));
  EXPECT_FALSE(behind_horizon(eye, 1, {1, 0, 0}, 0.5));
  EXPECT_FALSE(behind_horizon({0, 0.5, 0}, 1, {0, -1, 0}, 0.1)); // inside: nothing is culled
}

TEST(PlanetTextures, SearchOrderPerLayer) {
  using v = std::vector<std::string>;
  EXPECT_EQ(texture_candidates("Textures", "Earth", layer_surface, 0),
            (v{"Textures2/Earth.tex", "Textures/Earth.tex", "Textures/plntdefault_0.tex"}));
  EXPECT_EQ(texture_candidates("Textures", "Earth", layer_clouds, 3),
            (v{"Textures2/Earth_cloud.tex", "Textures/Earth_cloud.tex", "Textures/plntdefault_3_cloud.tex"}));
  EXPECT_EQ(texture_candidates("Textures", "Saturn", layer_rings, 0),
            (v{"Textures2/Saturn_ring.tex", "Textures/Saturn_ring.tex", "Textures/default_ring.tex"}));
}

// Every patch vertex, turned as the GL turns it, lies where its texture
// coordinates say on the image that the patch's texture index names.
TEST(PlanetPatches, CountsAndTexturesMatchTheDemoTextureLayout) {
  const planet_templates_state& st = planet_templates();
  const std::vector<planet_patch> layout = planet_layout();
  for (int level = 1; level <= max_planet_level; ++level) {
    const auto& tiles = st.tiles[size_t(level)];
    ASSERT_EQ(int(tiles.size()), textures_needed[level] - textures_needed[level - 1]) << level;
    for (size_t i = 0; i < tiles.size(); ++i) {
      const planet_tile& t = tiles[i];
      ASSERT_EQ(t.texture, int(i));
      const size_t image = size_t(textures_needed[level - 1] + t.texture);
      if (image >= layout.size()) continue;  // the demo paints up to level 6
      const planet_patch& pp = layout[image];
      ASSERT_EQ(pp.level, level);
      const double a = t.angle * pi / 180;
      // vertices keep u and v 0.002 inside their edges
      const double lat_tol = 0.0021 * std::fabs(pp.bottom - pp.top), lon_tol = 0.0021 * (pp.east - pp.west);
      for (const pntyp& v : t.shape->vertices) {
        const double x = v.position.x * std::cos(a) + v.position.z * std::sin(a);
        const double z = -v.position.x * std::sin(a) + v.position.z * std::cos(a);
        const double lat = std::asin(std::clamp(double(v.position.y), -1.0, 1.0)) * 180 / pi;
        EXPECT_NEAR(lat, pp.top + v.v * (pp.bottom - pp.top), lat_tol) << "image " << image;
        if (std::fabs(lat) > 89.9) continue;  // longitude means nothing at a pole
        const double lon = pp.west + v.u * (pp.east - pp.west);
        const double dlon = std::remainder(std::atan2(z, x) * 180 / pi - lon, 360.0);
        EXPECT_NEAR(dlon, 0, lon_tol) << "image " << image << " u " << v.u;
      }
    }
  }
}

}  // namespace
