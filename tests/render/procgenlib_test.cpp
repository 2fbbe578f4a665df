// Procedural shapes and engine textures: counts, layout and the properties
// the engine relies on (outward normals, seams, poles, wrap-round indices).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "render/procgenlib.h"

namespace {

vec3 pos(const pntyp& p) { return to_vec(p.position); }
vec3 nrm(const pntyp& p) { return to_vec(p.normal); }

uint8_t alpha_at(const rgba_image& img, int x, int y) { return img.pixels[(size_t(y) * img.width + x) * 4 + 3]; }

void expect_indices_in_range(const typmshgrp& g) {
  for (int32_t i : g.indices) {
    ASSERT_GE(i, 0);
    ASSERT_LT(size_t(i), g.vertices.size());
  }
}

}  // namespace

TEST(Procgen, AppendVertexNamesItAndFaceNormalFollowsItsOrder) {
  typmshgrp g;
  append_vertex(g, 1, 0, {1, 2, 3}, {0, 1, 0});
  append_vertex(g, 0.5, 0.25, {4, 5, 6}, {0, 0, 1});
  EXPECT_EQ(g.indices, (aointeger{0, 1}));
  EXPECT_EQ(g.vertices[0].u, 1.0f);  // kept as given, not pulled inside the unit square
  EXPECT_EQ(g.vertices[0].v, 0.0f);
  EXPECT_EQ(g.vertices[1].position.z, 6.0f);
  EXPECT_EQ(g.vertices[1].colour[0], 255.0f);
  // (P2 - P3) x (P1 - P2) for a triangle running counter-clockwise about +z.
  const vec3 n = face_normal({0, 0, 0}, {2, 0, 0}, {0, 2, 0});
  EXPECT_DOUBLE_EQ(n.z, -1);
  EXPECT_DOUBLE_EQ(length(n), 1);
}

TEST(Procgen, SpriteQuadHasTheFixedCornersAndTriangles) {
  typmshgrp g;
  append_vertex(g, 0, 0, {9, 9, 9}, {0, 1, 0});  // something already in the group
  add_sprite_quad(g, 16, 8);
  ASSERT_EQ(g.vertices.size(), 5u);
  EXPECT_EQ(g.indices, (aointeger{0, 1, 4, 3, 3, 2, 1}));
  const struct { float y, z, u, v; } want[4] = {{8, -4, 1, 0}, {-8, -4, 0, 0}, {-8, 4, 0, 1}, {8, 4, 1, 1}};
  for (int k = 0; k < 4; ++k) {
    const pntyp& p = g.vertices[size_t(k + 1)];
    EXPECT_EQ(p.position.x, 0.0f);
    EXPECT_EQ(p.position.y, want[k].y);
    EXPECT_EQ(p.position.z, want[k].z);
    EXPECT_EQ(p.u, want[k].u);
    EXPECT_EQ(p.v, want[k].v);
    EXPECT_EQ(p.normal.x, 1.0f);
  }
  EXPECT_EQ(g.primitive_kind, 0);
}

TEST(Procgen, CubeIsSixOutwardQuadsInFaceOrder) {
  typmshgrp g;
  const vec3 c{1, -2, 3};
  add_cube(g, c, {0.5, 0.5, 0.5});
  ASSERT_EQ(g.vertices.size(), 24u);
  ASSERT_EQ(g.indices.size(), 24u);
  EXPECT_EQ(g.primitive_kind, 1);
  EXPECT_EQ(g.outline_style, 0);
  const vec3 order[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 0, 1}, {0, 0, -1}, {0, 1, 0}, {0, -1, 0}};
  for (int f = 0; f < 6; ++f) {
    std::set<std::pair<float, float>> uv;
    for (int k = 0; k < 4; ++k) {
      const pntyp& p = g.vertices[size_t(4 * f + k)];
      EXPECT_EQ(g.indices[size_t(4 * f + k)], 4 * f + k);
      EXPECT_EQ(nrm(p).x, order[f].x);
      EXPECT_EQ(nrm(p).y, order[f].y);
      EXPECT_EQ(nrm(p).z, order[f].z);
      EXPECT_NEAR(dot(sub(pos(p), c), order[f]), 0.25, 1e-6);  // on its face, half an edge out
      EXPECT_NEAR(std::fabs(pos(p).x - c.x), 0.25, 1e-6);
      EXPECT_NEAR(std::fabs(pos(p).y - c.y), 0.25, 1e-6);
      uv.insert({p.u, p.v});
    }
    EXPECT_EQ(uv, (std::set<std::pair<float, float>>{{0, 0}, {1, 0}, {1, 1}, {0, 1}}));
    // Corners run counter-clockwise seen from outside.
    const vec3 a = pos(g.vertices[size_t(4 * f)]), b = pos(g.vertices[size_t(4 * f + 1)]),
               d = pos(g.vertices[size_t(4 * f + 2)]);
    EXPECT_GT(dot(cross(sub(b, a), sub(d, a)), order[f]), 0) << "face " << f;
  }
}

TEST(Procgen, MarkerShapeIsSixteenOutwardTrianglesWithinItsSpan) {
  typmshgrp g;
  const vec3 c{2, 1, -1};
  const double s = 0.8;
  add_marker_shape(g, c, s);
  ASSERT_EQ(g.vertices.size(), size_t(3 * marker_triangles));
  ASSERT_EQ(g.indices.size(), size_t(3 * marker_triangles));
  double low = 1e9, high = -1e9, across = 0;
  for (const pntyp& p : g.vertices) {
    low = std::min(low, pos(p).y), high = std::max(high, pos(p).y);
    across = std::max({across, std::fabs(pos(p).x - c.x), std::fabs(pos(p).z - c.z)});
  }
  EXPECT_NEAR(low, c.y, 1e-6);
  EXPECT_NEAR(high - low, s, 1e-6);
  EXPECT_NEAR(2 * across, s / 8, 1e-6);
  for (size_t t = 0; t < g.vertices.size(); t += 3) {
    const vec3 mid = scale(add(pos(g.vertices[t]), add(pos(g.vertices[t + 1]), pos(g.vertices[t + 2]))), 1.0 / 3);
    const vec3 out{mid.x - c.x, 0, mid.z - c.z};  // away from the marker's axis
    EXPECT_GT(dot(nrm(g.vertices[t]), out), 0) << "triangle " << t / 3;
    EXPECT_EQ(nrm(g.vertices[t]).x, nrm(g.vertices[t + 2]).x);
  }
}

TEST(Procgen, SphereHasSeamedRingsPolesAndInsetTextureAcross) {
  typmshgrp g;
  add_sphere(g, 6, false, 2.5, 64, false);
  const int m = 12, row = m + 1;  // twelve longitude segments, the seam vertex repeated
  ASSERT_EQ(g.vertices.size(), size_t(5 * row + 2));
  EXPECT_EQ(g.indices.size(), size_t(3 * (2 * m * 4 + 2 * m)));
  expect_indices_in_range(g);
  const pntyp& north = g.vertices[size_t(5 * row)];
  const pntyp& south = g.vertices[size_t(5 * row + 1)];
  EXPECT_EQ(north.u, 0.0f);
  EXPECT_EQ(south.u, 1.0f);
  EXPECT_EQ(north.v, 0.5f);
  EXPECT_EQ(north.position.y, 2.5f);
  EXPECT_EQ(south.position.y, -2.5f);
  for (const pntyp& p : g.vertices) {
    EXPECT_NEAR(length(pos(p)), 2.5, 1e-5);
    EXPECT_NEAR(length(nrm(p)), 1, 1e-6);
  }
  const double e = 0.5 / 64;
  EXPECT_NEAR(g.vertices[0].v, e, 1e-7);
  EXPECT_NEAR(g.vertices[size_t(m)].v, 1 - e, 1e-7);
  EXPECT_NEAR(g.vertices[0].u, 1.0 / 6, 1e-7);  // first ring pi/6 below the pole
  EXPECT_NEAR(distance(pos(g.vertices[0]), pos(g.vertices[size_t(m)])), 0, 1e-5);
  // Half spheres keep one side of x = 0, the flipped one the other.
  for (bool flip : {false, true}) {
    typmshgrp h;
    add_sphere(h, 6, true, 1, 64, flip);
    ASSERT_EQ(h.vertices.size(), size_t(5 * 7 + 2));
    expect_indices_in_range(h);
    for (const pntyp& p : h.vertices) EXPECT_LE((flip ? -1 : 1) * p.position.x, 1e-6);
  }
  typmshgrp none;
  add_sphere(none, 1, false, 1, 64, false);
  EXPECT_TRUE(none.vertices.empty());
}

TEST(Procgen, RingBandHasTwoVerticesAndSixIndicesPerSegment) {
  for (int n : {3, 8, 64}) {
    typmshgrp g;
    add_ring_band(g, n, 100, 180);
    ASSERT_EQ(g.vertices.size(), size_t(2 * n));
    ASSERT_EQ(g.indices.size(), size_t(6 * n));
    expect_indices_in_range(g);
    const double d = pi / n;
    EXPECT_NEAR(length(pos(g.vertices[0])), 100 / std::cos(d), 1e-3);
    EXPECT_NEAR(length(pos(g.vertices[1])), 180, 1e-3);
    EXPECT_NEAR(g.vertices[0].u, (1 - std::cos(d)) * 0.5, 1e-6);
    EXPECT_NEAR(g.vertices[2].u, 1 - (1 - std::cos(d)) * 0.5, 1e-6);  // odd segments mirror u
    EXPECT_EQ(g.vertices[1].v, 1.0f);
    EXPECT_EQ(g.vertices[3].normal.y, 1.0f);
    // The last segment closes the band on the first one.
    const aointeger tail(g.indices.end() - 6, g.indices.end());
    EXPECT_EQ(tail, (aointeger{2 * n - 2, 2 * n - 1, 0, 1, 0, 2 * n - 1}));
  }
}

TEST(Procgen, EngineTexturesAreSquareSpritesAndGradients) {
  for (int k = 0; k < engine_texture_count; ++k) {
    const rgba_image img = make_engine_texture(engine_texture(k));
    ASSERT_EQ(img.width, engine_texture_size);
    ASSERT_EQ(img.height, engine_texture_size);
    ASSERT_EQ(img.pixels.size(), size_t(256 * 256 * 4));
  }
  const rgba_image sun = make_engine_texture(tex_sun_core);
  EXPECT_GE(alpha_at(sun, 128, 128), 250);
  EXPECT_EQ(alpha_at(sun, 1, 1), 0);
  for (size_t i = 0; i < sun.pixels.size(); i += 4) ASSERT_EQ(sun.pixels[i] + sun.pixels[i + 1] + sun.pixels[i + 2], 765);
  // Rays: halfway out, alpha changes a lot with the angle.
  int lo = 255, hi = 0;
  for (int a = 0; a < 360; ++a) {
    const int x = 128 + int(std::lround(64 * std::cos(a * pi / 180))), y = 128 + int(std::lround(64 * std::sin(a * pi / 180)));
    lo = std::min<int>(lo, alpha_at(sun, x, y)), hi = std::max<int>(hi, alpha_at(sun, x, y));
  }
  EXPECT_GT(hi - lo, 60);
  for (engine_texture k : {tex_glow, tex_flare}) {
    const rgba_image img = make_engine_texture(k);
    EXPECT_GT(alpha_at(img, 128, 128), 200);
    EXPECT_EQ(alpha_at(img, 0, 0), 0);
  }
  // Gradients: one colour per row, changing smoothly, night darker than day.
  const rgba_image day = make_engine_texture(tex_gradient_day), night = make_engine_texture(tex_gradient_night);
  auto row_sum = [](const rgba_image& img, int y, int x) {
    const uint8_t* p = &img.pixels[(size_t(y) * 256 + x) * 4];
    return p[0] + p[1] + p[2];
  };
  for (int y = 0; y < 256; ++y) {
    EXPECT_EQ(row_sum(day, y, 0), row_sum(day, y, 255));
    EXPECT_LT(row_sum(night, y, 7), row_sum(day, y, 7));
    if (y > 0) {
      EXPECT_LE(std::abs(row_sum(day, y, 0) - row_sum(day, y - 1, 0)), 12);
    }
  }
  EXPECT_NE(row_sum(day, 0, 0), row_sum(day, 255, 0));
}

TEST(Procgen, NoiseTakesOneNumberATexelAndRampRisesToRow123) {
  random_seed = 65774;
  const rgba_image noise = make_noise_texture();
  const uint32_t after = random_seed;
  random_seed = 65774;
  for (int i = 0; i < 256 * 256; ++i) random_next();
  EXPECT_EQ(after, random_seed);
  ASSERT_EQ(noise.width, 256);
  std::set<uint8_t> values;
  for (size_t i = 0; i < noise.pixels.size(); i += 4) {
    ASSERT_TRUE(std::all_of(&noise.pixels[i], &noise.pixels[i + 4], [&](uint8_t b) { return b == noise.pixels[i]; }));
    values.insert(noise.pixels[i]);
  }
  EXPECT_EQ(*values.begin(), 192);
  EXPECT_EQ(*values.rbegin(), 255);
  // The sprite recipes keep their own noise and leave the sequence alone.
  random_seed = 7;
  make_engine_texture(tex_sun_core);
  EXPECT_EQ(random_seed, 7u);

  const rgba_image ramp = make_ramp_texture();
  ASSERT_EQ(ramp.width, 128);
  ASSERT_EQ(ramp.height, 128);
  const struct { int row, alpha; } want[] = {{0, 5}, {1, 5}, {10, 7}, {61, 65}, {123, 250}, {124, 255}, {127, 255}};
  for (const auto& w : want) EXPECT_EQ(alpha_at(ramp, 77, w.row), w.alpha) << "row " << w.row;
  EXPECT_EQ(ramp.pixels[(61 * 128 + 3) * 4 + 1], 255);
}
