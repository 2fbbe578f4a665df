#include "base/maths.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

static void expect_near(const vec3& v, double x, double y, double z, double eps = 1e-12) {
  EXPECT_NEAR(v.x, x, eps);
  EXPECT_NEAR(v.y, y, eps);
  EXPECT_NEAR(v.z, z, eps);
}

static void expect_orthonormal(const mat3& m) {
  mat3 t;
  for (int i = 0; i < 3; i++)
    for (int j = 0; j < 3; j++) t.m[i][j] = m.m[j][i];
  mat3 p = multiply(m, t);
  for (int i = 0; i < 3; i++)
    for (int j = 0; j < 3; j++) EXPECT_NEAR(p.m[i][j], i == j ? 1.0 : 0.0, 1e-12);
}

static vec3 column(const mat3& m, int c) { return {m.m[0][c], m.m[1][c], m.m[2][c]}; }

TEST(Maths, ScalarHelpers) {
  EXPECT_EQ(flag_sign(0), -1);
  EXPECT_EQ(flag_sign(1), 1);
  EXPECT_EQ(flag_sign(0x81), 1);  // the top bit is ignored
  EXPECT_DOUBLE_EQ(sign_of(0), 1);
  EXPECT_DOUBLE_EQ(sign_of(-0.5), -1);
  EXPECT_NEAR(power(2, 10), 1024, 1e-9);
  EXPECT_DOUBLE_EQ(power(0, 5), 1);
  EXPECT_DOUBLE_EQ(power(-2, 2), 1);
}

TEST(Maths, AngleOfHandlesTheOriginAndAxes) {
  EXPECT_EQ(angle_of(0, 0), 0);
  EXPECT_EQ(angle_of(-0.0, -0.0), 0);  // atan2 alone would give -π
  EXPECT_DOUBLE_EQ(angle_of(0, 1), pi / 2);
  EXPECT_DOUBLE_EQ(angle_of(0, -1), -pi / 2);
  EXPECT_DOUBLE_EQ(angle_of(-1, 0), pi);
}

TEST(Maths, CompassAngleOnAxesAndInQuadrants) {
  EXPECT_DOUBLE_EQ(compass_angle(0, 0, -1, 0), 0);
  EXPECT_DOUBLE_EQ(compass_angle(0, 0, 0, 1), 90);
  EXPECT_DOUBLE_EQ(compass_angle(0, 0, 1, 0), 180);
  EXPECT_DOUBLE_EQ(compass_angle(0, 0, 0, -1), 270);
  EXPECT_DOUBLE_EQ(compass_angle(2, 2, 2, 2), 0);
  EXPECT_NEAR(compass_angle(0, 0, -1, 1), 45, 1e-12);
  EXPECT_NEAR(compass_angle(0, 0, 1, 1), 135, 1e-12);
  EXPECT_NEAR(compass_angle(0, 0, 1, -1), 225, 1e-12);
  EXPECT_NEAR(compass_angle(5, 5, 4, 4), 315, 1e-12);  // relative to the first point
  double a = compass_angle(0, 0, -1, -1e-300);          // just below 360 must not reach it
  EXPECT_GE(a, 0);
  EXPECT_LT(a, 360);
}

TEST(Maths, HitTestsIncludeEdges) {
  EXPECT_TRUE(point_in_box(30, 20, 10, 10, 20, 10));   // right and bottom edge
  EXPECT_TRUE(point_in_box(10, 10, 10, 10, 20, 10));   // top-left corner
  EXPECT_FALSE(point_in_box(30.001, 20, 10, 10, 20, 10));
  EXPECT_FALSE(point_in_box(15, 9.999, 10, 10, 20, 10));
  EXPECT_TRUE(point_in_rect(1, 2, 1, 0, 3, 2));
  EXPECT_FALSE(point_in_rect(0.5, 1, 1, 0, 3, 2));
}

TEST(Maths, NormaliseLeavesShortVectorsAlone) {
  expect_near(normalise(vec3{0, 0, 0}), 0, 0, 0);
  vec3 tiny{9e-6, 0, 0};
  EXPECT_EQ(normalise(tiny).x, 9e-6);
  expect_near(normalise(vec3{3, 4, 0}), 0.6, 0.8, 0);
  vec2 p = normalise(vec2{0, -2});
  EXPECT_DOUBLE_EQ(p.y, -1);
  EXPECT_EQ(normalise(vec2{1e-6, 0}).x, 1e-6);
}

TEST(Maths, VectorArithmetic) {
  expect_near(cross({1, 0, 0}, {0, 1, 0}), 0, 0, 1);
  expect_near(cross({0, 1, 0}, {1, 0, 0}), 0, 0, -1);
  expect_near(unit_normal({2, 0, 0}, {0, 3, 0}), 0, 0, 1);
  expect_near(swap_yz({1, 2, 3}), 1, 3, 2);
  EXPECT_DOUBLE_EQ(distance({1, 1, 1}, {4, 5, 1}), 5);
}

TEST(Maths, PlanarRotationsTurnTheRightWay) {
  vec3 v{1, 0, 0};
  rotate_z(v, pi / 2);
  expect_near(v, 0, 1, 0);
  v = {1, 0, 0};
  rotate_y(v, pi / 2);
  expect_near(v, 0, 0, -1);
  v = {0, 1, 0};
  rotate_x(v, pi / 2);
  expect_near(v, 0, 0, 1);
  svec3 s{0, 0, 1};
  rotate_y(s, pi / 2);
  EXPECT_NEAR(s.x, 1, 1e-6);
}

TEST(Maths, RotationByZeroIsBitIdentical) {
  vec3 v{-0.0, -0.0, -0.0};  // signed zeros show any arithmetic done on them
  vec3 before = v;
  rotate_x(v, 0);
  rotate_y(v, 0);
  rotate_z(v, 0);
  EXPECT_EQ(std::memcmp(&v, &before, sizeof v), 0);
}

TEST(Maths, AxisRotationIsARowVectorProduct) {
  // Rotating the row vector about +z turns it the opposite way to rotate_z.
  vec3 a = rotate_axis({1, 2, 3}, {0, 0, 1}, 0.4);
  vec3 b{1, 2, 3};
  rotate_z(b, -0.4);
  expect_near(a, b.x, b.y, b.z);
  vec3 n = normalise(vec3{1, 1, 1});
  vec3 r = rotate_axis({3, -1, 2}, n, 1.1);
  EXPECT_NEAR(length(r), length(vec3{3, -1, 2}), 1e-12);
  EXPECT_NEAR(dot(r, n), dot(vec3{3, -1, 2}, n), 1e-12);  // the part along the axis stays
  expect_near(rotate_axis(r, n, -1.1), 3, -1, 2);
  vec4 w = transform(vec4{0, 0, 0, 2}, axis_angle(n, 1.1));
  EXPECT_DOUBLE_EQ(w.w, 2);
}

TEST(Maths, TransformsMultiplyInTheOrderTheirArgumentsShow) {
  // Distinct entries everywhere, so a transposed product gives other numbers.
  mat3 a = {{{1, 2, 3}, {4, 5, 6}, {7, 8, 10}}};
  expect_near(transform(a, {1, 1, 0}), 3, 9, 15);      // M·v: sums along the rows
  mat4 m{};
  for (int r = 0; r < 4; r++)
    for (int c = 0; c < 4; c++) m.m[r][c] = 10 * r + c;
  vec4 w = transform(vec4{1, 1, 0, 0}, m);              // v·M: sums down the columns
  EXPECT_DOUBLE_EQ(w.x, 10);
  EXPECT_DOUBLE_EQ(w.y, 12);
  EXPECT_DOUBLE_EQ(w.z, 14);
  EXPECT_DOUBLE_EQ(w.w, 16);
}

TEST(Maths, SphericalCoordinates) {
  vec3 v{1, 1, 0};
  to_spherical(v, 1);
  expect_near(v, 0, pi / 4, std::sqrt(2.0) - 1);
  v = {-1, 1, 0};
  to_spherical(v, 0);
  EXPECT_NEAR(v.y, 3 * pi / 4, 1e-12);
  v = {-1, -1, 0};
  to_spherical(v, 0);
  EXPECT_NEAR(v.y, -3 * pi / 4, 1e-12);
  v = {0, 0, 2};
  to_spherical(v, 0);
  EXPECT_NEAR(v.x, pi / 2, 1e-12);
  v = {0, 0, -2};  // straight down is -π/2, not +π/2
  to_spherical(v, 0);
  EXPECT_NEAR(v.x, -pi / 2, 1e-12);
  EXPECT_NEAR(v.z, 2, 1e-12);
}

TEST(Maths, MatrixProductsAndPostRotation) {
  mat3 m = identity3();
  post_rotate_x(m, 0.3);
  expect_near(euler_angles(m), 0.3, 0, 0);
  m = identity3();
  post_rotate_y(m, 0.3);
  expect_near(euler_angles(m), 0, -0.3, 0);
  expect_near(euler_angles(identity3()), 0, 0, 0);
  mat3 a = {{{1, 2, 3}, {4, 5, 6}, {7, 8, 10}}};
  mat3 p = multiply(a, identity3());
  EXPECT_EQ(std::memcmp(&p, &a, sizeof a), 0);
  expect_near(transform(a, {1, 0, -1}), -2, -2, -3);
  mat3 sq = multiply(a, a);
  EXPECT_DOUBLE_EQ(sq.m[0][0], 1 + 8 + 21);
  EXPECT_DOUBLE_EQ(sq.m[2][1], 14 + 40 + 80);
}

TEST(Maths, EulerAnglesSurviveRoundingPastOne) {
  mat3 m = identity3();
  m.m[0][2] = 1 + 1e-15;
  EXPECT_NEAR(euler_angles(m).y, -pi / 2, 1e-12);
}

TEST(Maths, FramesFromDirections) {
  const vec3 dirs[] = {{0, 0, 1}, {1, 0, 0}, {0, -1, 0}, {1, 2, 3}, {-1, -2, 0.5}};
  for (const vec3& d : dirs) {
    SCOPED_TRACE(testing::Message() << d.x << "," << d.y << "," << d.z);
    vec3 n = normalise(d);
    mat3 o = orientation_from_direction(d);
    expect_orthonormal(o);
    vec3 c = column(o, 1);  // the orientation carries +y onto the direction
    expect_near(c, n.x, n.y, n.z);
    mat3 f = frame_from_direction(d);
    expect_orthonormal(f);
    c = column(f, 1);
    expect_near(c, n.x, n.y, n.z);
  }
}

TEST(Maths, RotationBetweenCarriesOneDirectionOntoTheOther) {
  const vec3 pairs[][2] = {{{1, 0, 0}, {0, 1, 0}}, {{0, 0, 2}, {1, 1, 1}}, {{1, 2, 3}, {-3, 0.5, 1}}};
  for (const auto& p : pairs) {
    mat3 r = rotation_between(p[0], p[1]);
    expect_orthonormal(r);
    vec3 b = normalise(p[1]);
    expect_near(transform(r, normalise(p[0])), b.x, b.y, b.z);
  }
  mat3 same = rotation_between({0, 3, 0}, {0, 1, 0});
  expect_near(column(same, 0), 1, 0, 0);
  expect_near(column(same, 2), 0, 0, 1);
}

TEST(Maths, LineThroughSphere) {
  vec3 hit{9, 9, 9};
  EXPECT_GT(line_sphere({-5, 1, 0}, {5, 1, 0}, {0, 0, 0}, 2, hit), 0);
  expect_near(hit, 0, 1, 0);
  EXPECT_GT(line_sphere({-5, 0, 0}, {-4, 0, 0}, {1, 0, 0}, 2, hit), 0);
  expect_near(hit, 1, 0, 0);
  hit = {9, 9, 9};
  EXPECT_LT(line_sphere({-5, 3, 0}, {5, 3, 0}, {0, 0, 0}, 2, hit), 0);
  expect_near(hit, 9, 9, 9);
  line_sphere({1, 1, 1}, {1, 1, 1}, {1, 1, 1}, 2, hit);  // no line: hit stays as it was
  expect_near(hit, 9, 9, 9);
}

TEST(Maths, RandomSequence) {
  random_seed = 0;
  EXPECT_EQ(random_next(), 12345 / 4294967296.0);
  uint64_t s = (12345ull * 1103515245ull + 12345ull) % 4294967296ull;  // wraps modulo 2^32
  EXPECT_EQ(random_next(), double(s) / 4294967296.0);
  random_seed = 65774;
  double first[5];
  for (double& f : first) f = random_next();
  random_seed = 65774;
  for (double f : first) EXPECT_EQ(random_next(), f);
}

TEST(Maths, RandomBelowHalvesTheEnds) {
  random_seed = 1;
  int counts[4] = {};
  for (int i = 0; i < 40000; i++) {
    int r = random_below(4);
    ASSERT_GE(r, 0);
    ASSERT_LE(r, 3);
    counts[r]++;
  }
  // Rounding x·3 gives the end values half the width of the middle ones.
  EXPECT_NEAR(counts[0], 40000 / 6.0, 400);
  EXPECT_NEAR(counts[1], 40000 / 3.0, 400);
  EXPECT_NEAR(counts[3], 40000 / 6.0, 400);
}

TEST(Maths, NoisePermutationKeepsTheGlobalSeed) {
  random_seed = 777;
  int a[256], b[256], c[256];
  noise_permutation(42, a);
  EXPECT_EQ(random_seed, 777u);
  noise_permutation(42, b);
  noise_permutation(43, c);
  EXPECT_EQ(std::memcmp(a, b, sizeof a), 0);
  EXPECT_NE(std::memcmp(a, c, sizeof a), 0);
  random_seed = 42;
  for (int v : a) {
    EXPECT_EQ(v, random_below(256));
    EXPECT_LT(v, 256);
  }
}
