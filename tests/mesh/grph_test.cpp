// The mesh model: colour packing, vertex construction and the group operations.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "mesh/grph.h"

namespace {

typmshgrp two_vertex_group() {
  typmshgrp g;
  g.vertices.push_back(make_vertex({1, 2, 3}, {0, 0, 1}, 0.25, 0.75));
  g.vertices.push_back(make_vertex({-4, 0.5, 2}, {1, 0, 0}, 0.5, 0.5));
  g.indices = {0, 1, 0};
  g.centre = {1, 1, 1};
  g.min_corner = {-4, 0.5, 2};
  g.max_corner = {1, 2, 3};
  return g;
}

void expect_position(const pntyp& p, double x, double y, double z) {
  EXPECT_NEAR(p.position.x, x, 1e-5);
  EXPECT_NEAR(p.position.y, y, 1e-5);
  EXPECT_NEAR(p.position.z, z, 1e-5);
}

}  // namespace

TEST(Grph, PackedColourHoldsRedInTheLowByte) {
  const packed_colour c = pack_colour(1, 2, 3, 4);
  EXPECT_EQ(c, 0x04030201u);
  EXPECT_EQ(colour_byte(c, 0), 1);
  EXPECT_EQ(colour_byte(c, 3), 4);
}

TEST(Grph, FloatColourRoundsTiesToEvenAndSaturates) {
  EXPECT_EQ(pack_float_colour(1, 0.5, 0, 1), pack_colour(255, 128, 0, 255));
  // 2.5 and 3.5 are exact products here: ties go to the even neighbour.
  EXPECT_EQ(pack_float_colour(2.5 / 255, 3.5 / 255, 0.2, 0), pack_colour(2, 4, 51, 0));
  // Values just outside 0..1, which mesh files do contain, must not wrap.
  EXPECT_EQ(pack_float_colour(1.2, -0.1, 1.0001, 2), pack_colour(255, 0, 255, 255));
  EXPECT_EQ(pack_vector_colour({0, 1, 0.5}), pack_colour(0, 255, 128, 255));
}

TEST(Grph, UnpackGivesBytesOver255) {
  const colquad q = unpack_colour(pack_colour(255, 0, 51, 102));
  EXPECT_FLOAT_EQ(q.r, 1.0f);
  EXPECT_FLOAT_EQ(q.g, 0.0f);
  EXPECT_FLOAT_EQ(q.b, 0.2f);
  EXPECT_FLOAT_EQ(q.a, 0.4f);
}

TEST(Grph, AddAndScaleKeepAlphaOpaque) {
  EXPECT_EQ(add_colours(pack_colour(200, 100, 50, 0), pack_colour(100, 200, 10, 7)), pack_colour(44, 44, 60, 255));
  EXPECT_EQ(scale_colour(pack_colour(100, 51, 3, 9), 0.5), pack_colour(50, 26, 2, 255));  // 25.5 -> 26, 1.5 -> 2
  EXPECT_EQ(scale_colour(pack_colour(200, 10, 0, 0), 2), pack_colour(255, 20, 0, 255));
}

TEST(Grph, MakeVertexKeepsTextureCoordinatesInsideTheUnitSquare) {
  const pntyp a = make_vertex({1, 2, 3}, {0, 1, 0}, 1.0, 0.0);
  EXPECT_FLOAT_EQ(a.u, 0.998f);
  EXPECT_FLOAT_EQ(a.v, 0.002f);
  const pntyp b = make_vertex({0, 0, 0}, {0, 0, 0}, 1.5, -2.0);
  EXPECT_FLOAT_EQ(b.u, 0.998f);
  EXPECT_FLOAT_EQ(b.v, 0.002f);
  const pntyp c = make_vertex({0, 0, 0}, {0, 0, 0}, 0.999, 0.001);
  EXPECT_FLOAT_EQ(c.u, 0.999f);
  EXPECT_FLOAT_EQ(c.v, 0.001f);
  expect_position(a, 1, 2, 3);
  EXPECT_FLOAT_EQ(a.normal.y, 1.0f);
  for (float ch : a.colour) EXPECT_EQ(ch, 255.0f);
}

TEST(Grph, ResetAndClearGroup) {
  typmshgrp g = two_vertex_group();
  g.diffuse = pack_colour(1, 2, 3, 4);
  g.texture.index = 3;
  g.texture.pixels = std::make_shared<const std::vector<uint8_t>>(16, 9);
  g.spec_texture.index = 2;
  g.primitive_kind = 1;
  g.outline_style = 2;
  g.emissive = 77;
  reset_group(g);
  EXPECT_EQ(g.diffuse, 0xFFFFFFFFu);
  EXPECT_EQ(g.texture.index, -1);
  EXPECT_EQ(g.spec_texture.index, -1);
  EXPECT_EQ(g.light_texture.index, -1);
  EXPECT_EQ(g.texture.pixels, nullptr);
  EXPECT_EQ(g.primitive_kind, 0);
  EXPECT_EQ(g.outline_style, 0);
  EXPECT_EQ(g.centre.x, 0);
  EXPECT_EQ(g.vertices.size(), 2u);  // reset keeps the geometry
  EXPECT_EQ(g.emissive, 77u);        // and the rest of the material
  clear_group(g);
  EXPECT_TRUE(g.vertices.empty());
  EXPECT_TRUE(g.indices.empty());
}

TEST(Grph, TranslateMovesPositionsAndCentreOnly) {
  typmshgrp g = two_vertex_group();
  translate_group(g, {1, -1, 0.5});
  expect_position(g.vertices[0], 2, 1, 3.5);
  expect_position(g.vertices[1], -3, -0.5, 2.5);
  EXPECT_DOUBLE_EQ(g.centre.x, 2);
  EXPECT_DOUBLE_EQ(g.centre.y, 0);
  EXPECT_FLOAT_EQ(g.vertices[0].normal.z, 1.0f);
  EXPECT_DOUBLE_EQ(g.min_corner.x, -4);  // corners are not moved
}

TEST(Grph, RotateByZeroLeavesTheGroupBitForBit) {
  typmshgrp g = two_vertex_group();
  g.vertices[0].position = {0.1f, 1e-30f, -7.3f};
  const aopntyp before = g.vertices;
  for (int axis = 0; axis < 3; ++axis) rotate_group(g, axis, 0.0);
  EXPECT_EQ(std::memcmp(before.data(), g.vertices.data(), before.size() * sizeof(pntyp)), 0);
}

TEST(Grph, RotateTurnsPositionsAndNormalsAboutEachAxis) {
  const double q = pi / 2;
  typmshgrp g = two_vertex_group();
  rotate_group(g, 2, q);  // about z: (x, y) -> (-y, x)
  expect_position(g.vertices[0], -2, 1, 3);
  EXPECT_NEAR(g.vertices[1].normal.y, 1, 1e-6);  // (1, 0, 0) -> (0, 1, 0)
  g = two_vertex_group();
  rotate_group(g, 0, q);  // about x: (y, z) -> (-z, y)
  expect_position(g.vertices[0], 1, -3, 2);
  EXPECT_NEAR(g.vertices[0].normal.y, -1, 1e-6);  // (0, 0, 1) -> (0, -1, 0)
  g = two_vertex_group();
  rotate_group(g, 1, q);  // about y: (x, z) -> (z, -x)
  expect_position(g.vertices[0], 3, 2, -1);
  EXPECT_DOUBLE_EQ(g.centre.x, 1);  // centre and corners stay where they were
  EXPECT_DOUBLE_EQ(g.max_corner.z, 3);
}

TEST(Grph, ScaleMultipliesPositionsOnly) {
  typmshgrp g = two_vertex_group();
  scale_group(g, {2, -1, 0.5});
  expect_position(g.vertices[0], 2, -2, 1.5);
  expect_position(g.vertices[1], -8, -0.5, 1);
  EXPECT_FLOAT_EQ(g.vertices[0].normal.z, 1.0f);
  EXPECT_DOUBLE_EQ(g.centre.y, 1);
}
