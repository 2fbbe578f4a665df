#include "render/procgenlib.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "mesh/dds.h"

// Sections: shapes (vertices, sprite, cube, marker, sphere, ring band), then
// textures (sprite recipes, gradients, noise, ramp).

namespace {

// Upper bounds that keep a wrong argument from asking for gigabytes.
constexpr int max_sphere_bands = 1024;
constexpr int max_ring_segments = 1 << 20;

// A vertex exactly as given (the vertex constructor would pull 0 and 1 inside
// the unit square, which the sprite, cube, ring and poles do not want).
pntyp raw_vertex(const vec3& pos, const vec3& normal, double u, double v) {
  return {to_svec(normal), to_svec(pos), float(u), float(v), {255, 255, 255, 255}};
}

int32_t first_index(const typmshgrp& g) { return int32_t(g.vertices.size()); }

vec3 hadamard(const vec3& a, const vec3& b) { return {a.x * b.x, a.y * b.y, a.z * b.z}; }

}  // namespace

// --- Shapes ------------------------------------------------------------------------

void append_vertex(typmshgrp& g, double u, double v, const vec3& pos, const vec3& normal) {
  g.indices.push_back(first_index(g));
  g.vertices.push_back(raw_vertex(pos, normal, u, v));
}

vec3 face_normal(const vec3& p1, const vec3& p2, const vec3& p3) {
  return unit_normal(sub(p2, p3), sub(p1, p2));
}

void add_sprite_quad(typmshgrp& g, double extent_y, double extent_z) {
  const double y = extent_y / 2, z = extent_z / 2;
  const struct { vec3 pos; double u, v; } corners[4] = {
      {{0, y, -z}, 1, 0}, {{0, -y, -z}, 0, 0}, {{0, -y, z}, 0, 1}, {{0, y, z}, 1, 1}};
  const int32_t base = first_index(g);
  for (const auto& c : corners) g.vertices.push_back(raw_vertex(c.pos, {1, 0, 0}, c.u, c.v));
  for (int32_t k : {0, 3, 2, 2, 1, 0}) g.indices.push_back(base + k);
  g.primitive_kind = 0;
}

void add_cube(typmshgrp& g, const vec3& centre, const vec3& edges) {
  // Outward normal and the two edge directions of each face, u x v = normal,
  // so every face runs counter-clockwise seen from outside.
  static const struct { vec3 n, u, v; } faces[6] = {
      {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},  {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
      {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},  {{0, 0, -1}, {0, 1, 0}, {1, 0, 0}},
      {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}},  {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}}};
  static const double corner[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
  const vec3 half = scale(edges, 0.5);
  for (const auto& f : faces)
    for (const auto& c : corner) {
      const vec3 unit = add(f.n, add(scale(f.u, c[0]), scale(f.v, c[1])));
      append_vertex(g, (c[0] + 1) / 2, (c[1] + 1) / 2, add(centre, hadamard(unit, half)), f.n);
    }
  g.primitive_kind = 1;
}

void add_marker_shape(typmshgrp& g, const vec3& centre, double size) {
  // A spindle: its lower tip at the centre, its upper tip size above, eight
  // sides widest (size/8 across) a quarter of the way up.
  constexpr int sides = marker_triangles / 2;
  const vec3 low = centre, high = add(centre, {0, size, 0});
  auto rim = [&](int k) {
    const double a = 2 * pi * (k % sides) / sides;
    return add(centre, {size / 16 * std::sin(a), size / 4, size / 16 * std::cos(a)});
  };
  auto triangle = [&](const vec3& p1, const vec3& p2, const vec3& p3) {
    const vec3 n = face_normal(p1, p2, p3);
    for (const vec3* p : {&p1, &p2, &p3}) append_vertex(g, 0.5, 0.5, *p, n);
  };
  for (int k = 0; k < sides; ++k) {
    triangle(low, rim(k), rim(k + 1));
    triangle(high, rim(k + 1), rim(k));
  }
  g.primitive_kind = 0;
}

void add_sphere(typmshgrp& g, int bands, bool hemisphere, double radius, int texture_size, bool flip) {
  if (bands < 2 || bands > max_sphere_bands) return;  // fewer than two bands make no ring
  const int n = bands, m = (hemisphere ? 1 : 2) * n;
  const double e = 0.5 / std::max(texture_size, 1);
  const double turn = hemisphere && flip ? pi : 0;
  const int32_t base = first_index(g), row = m + 1;  // the seam vertex repeats on each ring
  for (int i = 1; i < n; ++i) {
    const double a = i * pi / n;
    for (int j = 0; j <= m; ++j) {
      const double b = j * pi / n - pi + turn;
      const vec3 unit{std::sin(b) * std::sin(a), std::cos(a), std::cos(b) * std::sin(a)};
      g.vertices.push_back(make_vertex(scale(unit, radius), unit, a / pi, e + j * (1 - 2 * e) / m));
    }
  }
  const int32_t north = base + (n - 1) * row, south = north + 1;
  g.vertices.push_back(raw_vertex({0, radius, 0}, {0, 1, 0}, 0, 0.5));
  g.vertices.push_back(raw_vertex({0, -radius, 0}, {0, -1, 0}, 1, 0.5));
  auto ring = [&](int i, int j) { return base + (i - 1) * row + j; };
  auto push = [&](std::initializer_list<int32_t> t) { g.indices.insert(g.indices.end(), t); };
  for (int i = 1; i + 1 < n; ++i)
    for (int j = 0; j < m; ++j) {
      const int32_t p = ring(i, j), q = ring(i + 1, j);
      push({p, p + 1, q, p + 1, q + 1, q});
    }
  for (int j = 0; j < m; ++j) {
    const int32_t q = ring(1, j), p = ring(n - 1, j);
    push({north, q + 1, q, p, p + 1, south});
  }
  g.primitive_kind = 0;
}

void add_ring_band(typmshgrp& g, int segments, double first_radius, double second_radius) {
  if (segments < 1 || segments > max_ring_segments) return;
  const int n = segments;
  const double d = pi / n, outer = first_radius / std::cos(d);  // the first edge's chords touch first_radius
  const int32_t base = first_index(g), count = 2 * n;
  for (int i = 0; i < n; ++i) {
    const double a = 2 * i * d;
    const vec3 dir{std::sin(a), 0, std::cos(a)};
    double u1 = (1 - first_radius / outer) * 0.5, u2 = (1 - second_radius / outer) * 0.5;
    if (i % 2) u1 = 1 - u1, u2 = 1 - u2;
    g.vertices.push_back(raw_vertex(scale(dir, outer), {0, 1, 0}, u1, 0));
    g.vertices.push_back(raw_vertex(scale(dir, second_radius), {0, 1, 0}, u2, 1));
  }
  for (int32_t i = 0; i < n; ++i)
    for (int32_t k : {0, 1, 2, 3, 2, 1}) g.indices.push_back(base + (2 * i + k) % count);
  g.primitive_kind = 0;
}

// --- Textures ----------------------------------------------------------------------

namespace {

using texel = std::array<uint8_t, 4>;
using texel_recipe = texel (*)(double r, double angle);  // polar, r = 1 at the middle of an edge

uint8_t unit_byte(double x) { return uint8_t(std::lround(std::clamp(x, 0.0, 1.0) * 255)); }

rgba_image square_image(int32_t size) {
  rgba_image img;
  img.width = img.height = size;
  img.pixels.assign(size_t(size) * size_t(size) * 4, 0);
  return img;
}

// Fills a square texture from a recipe in polar coordinates about its centre.
rgba_image polar_texture(texel_recipe recipe) {
  rgba_image img = square_image(engine_texture_size);
  const double half = engine_texture_size / 2.0;
  for (int32_t y = 0; y < img.height; ++y)
    for (int32_t x = 0; x < img.width; ++x) {
      const double dx = (x + 0.5 - half) / half, dy = (y + 0.5 - half) / half;
      const texel t = recipe(std::hypot(dx, dy), std::atan2(dy, dx));
      std::copy(t.begin(), t.end(), img.pixels.begin() + (size_t(y) * img.width + x) * 4);
    }
  return img;
}

// Smooth noise round the circle, 0..1, from a fixed permutation of its own so
// the program's random sequence is not disturbed.
double angular_noise(double angle) {
  static const auto table = [] {
    std::array<int, 256> t{};
    noise_permutation(20090917, t.data());
    return t;
  }();
  constexpr int cells = 32;
  const double s = (angle + pi) / (2 * pi) * cells;
  const int k = int(std::floor(s));
  const double f = s - k, w = f * f * (3 - 2 * f);
  const double a = table[size_t(k % cells)] / 255.0, b = table[size_t((k + 1) % cells)] / 255.0;
  return a + (b - a) * w;
}

double rim_fade(double r) { return r < 1 ? (1 - r) * (1 - r) : 0; }

texel sun_core(double r, double angle) {
  const double core = std::exp(-(r / 0.16) * (r / 0.16));
  const double fine = std::pow(std::fabs(std::cos(6 * angle)), 40) * std::max(1 - r, 0.0);  // twelve thin rays
  const double reach = 0.35 + 0.65 * angular_noise(angle);                           // nine rays of uneven length
  const double broad = std::pow(std::fabs(std::cos(4.5 * angle)), 8) * rim_fade(r / reach);
  return {255, 255, 255, unit_byte(core + fine + 0.8 * broad)};
}

texel glow(double r, double) {
  const double f = rim_fade(r);
  return {255, 240, 210, unit_byte(f * (1 - r))};
}

texel flare(double r, double) {
  const double ring = 0.45 * std::exp(-std::pow((r - 0.6) / 0.06, 2));
  const double core = std::exp(-std::pow(r / 0.08, 2));
  return {200, 220, 255, unit_byte(r < 1 ? ring + core : 0)};
}

// Eleven colour stops from the bottom row to the top, by day and by night.
struct colour_stop { double day[3], night[3]; };
constexpr colour_stop sky_stops[11] = {
    {{1.00, 0.96, 0.88}, {0.45, 0.20, 0.10}}, {{0.92, 0.93, 0.95}, {0.32, 0.14, 0.10}},
    {{0.80, 0.88, 0.97}, {0.20, 0.10, 0.12}}, {{0.68, 0.81, 0.96}, {0.12, 0.08, 0.14}},
    {{0.56, 0.73, 0.94}, {0.08, 0.06, 0.14}}, {{0.45, 0.64, 0.91}, {0.05, 0.05, 0.13}},
    {{0.35, 0.55, 0.87}, {0.04, 0.04, 0.11}}, {{0.26, 0.45, 0.80}, {0.03, 0.03, 0.09}},
    {{0.18, 0.35, 0.70}, {0.02, 0.02, 0.07}}, {{0.11, 0.25, 0.57}, {0.01, 0.01, 0.05}},
    {{0.05, 0.14, 0.40}, {0.00, 0.00, 0.03}}};

rgba_image gradient_texture(bool night) {
  rgba_image img = square_image(engine_texture_size);
  const int32_t last = img.height - 1;
  for (int32_t y = 0; y < img.height; ++y) {
    const double s = double(last - y) / last * 10;  // bottom row: stop 0
    const int k = std::min(int(s), 9);
    const double f = s - k;
    const double* a = night ? sky_stops[k].night : sky_stops[k].day;
    const double* b = night ? sky_stops[k + 1].night : sky_stops[k + 1].day;
    const texel t = {unit_byte(a[0] + (b[0] - a[0]) * f), unit_byte(a[1] + (b[1] - a[1]) * f),
                     unit_byte(a[2] + (b[2] - a[2]) * f), 255};
    for (int32_t x = 0; x < img.width; ++x)
      std::copy(t.begin(), t.end(), img.pixels.begin() + (size_t(y) * img.width + x) * 4);
  }
  return img;
}

rgba_image blurred(rgba_image img) {
  blur_alpha(img.pixels.data(), img.width, img.height);
  return img;
}

}  // namespace

rgba_image make_engine_texture(engine_texture which) {
  switch (which) {
    case tex_sun_core: return blurred(polar_texture(sun_core));
    case tex_glow: return polar_texture(glow);
    case tex_flare: return polar_texture(flare);
    case tex_gradient_day: return gradient_texture(false);
    case tex_gradient_night: return gradient_texture(true);
    default: return {};
  }
}

rgba_image make_noise_texture() {
  rgba_image img = square_image(noise_texture_size);
  for (size_t i = 0; i < img.pixels.size(); i += 4) {
    const uint8_t value = uint8_t(random_below(255) / 4 - 64);  // 192..255
    std::fill_n(img.pixels.begin() + i, 4, value);
  }
  return img;
}

rgba_image make_ramp_texture() {
  rgba_image img = square_image(ramp_texture_size);
  std::fill(img.pixels.begin(), img.pixels.end(), 255);
  for (int32_t row = 0; row <= ramp_top_row && row < img.height; ++row) {
    const double c = double(row) / ramp_top_row;
    const uint8_t alpha = uint8_t(std::nearbyint(c * c * 245) + 5);
    for (int32_t x = 0; x < img.width; ++x) img.pixels[(size_t(row) * img.width + x) * 4 + 3] = alpha;
  }
  return img;
}
