#include "mesh/grph.h"

#include <algorithm>
#include <cmath>

namespace {

// Rounds to the nearest byte (ties to even under the default rounding mode)
// and keeps the result in 0..255, so values slightly outside 0..1 in a file
// saturate instead of spilling into the neighbouring channel.
uint8_t to_byte(double x) {
  const double r = std::nearbyint(x);
  return uint8_t(std::clamp(r, 0.0, 255.0));
}

// Texture coordinates stay just inside the unit square.
float inside_unit(double t) {
  if (t >= 1) return 0.998f;
  if (t <= 0) return 0.002f;
  return float(t);
}

}  // namespace

packed_colour pack_colour(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  return packed_colour(r) | packed_colour(g) << 8 | packed_colour(b) << 16 | packed_colour(a) << 24;
}

packed_colour pack_float_colour(double r, double g, double b, double a) {
  return pack_colour(to_byte(r * 255), to_byte(g * 255), to_byte(b * 255), to_byte(a * 255));
}

uint8_t colour_byte(packed_colour c, int channel) { return uint8_t(c >> (8 * channel)); }

colquad unpack_colour(packed_colour c) {
  auto f = [c](int ch) { return float(colour_byte(c, ch)) / 255.0f; };
  return {f(0), f(1), f(2), f(3)};
}

packed_colour pack_vector_colour(const vec3& rgb) { return pack_float_colour(rgb.x, rgb.y, rgb.z, 1.0); }

packed_colour add_colours(packed_colour a, packed_colour b) {
  auto sum = [a, b](int ch) { return uint8_t(colour_byte(a, ch) + colour_byte(b, ch)); };
  return pack_colour(sum(0), sum(1), sum(2), 255);
}

packed_colour scale_colour(packed_colour c, double f) {
  auto scaled = [c, f](int ch) { return to_byte(colour_byte(c, ch) * f); };
  return pack_colour(scaled(0), scaled(1), scaled(2), 255);
}

pntyp make_vertex(const vec3& pos, const vec3& normal, double u, double v) {
  return {to_svec(normal), to_svec(pos), inside_unit(u), inside_unit(v), {255, 255, 255, 255}};
}

void reset_group(typmshgrp& g) {
  g.diffuse = pack_colour(255, 255, 255, 255);
  for (grptexture* t : {&g.texture, &g.light_texture, &g.spec_texture}) {
    t->index = -1;
    t->pixels.reset();
  }
  g.outline_style = 0;
  g.primitive_kind = 0;
  g.centre = {0, 0, 0};
}

void clear_group(typmshgrp& g) {
  g.vertices.clear();
  g.indices.clear();
  reset_group(g);
}

void translate_group(typmshgrp& g, const vec3& d) {
  const svec3 s = to_svec(d);
  for (pntyp& p : g.vertices) p.position = add(p.position, s);
  g.centre = add(g.centre, d);
}

void rotate_group(typmshgrp& g, int axis, double angle) {
  static void (*const turn[3])(svec3&, double) = {rotate_x, rotate_y, rotate_z};
  if (angle == 0 || axis < 0 || axis > 2) return;
  for (pntyp& p : g.vertices) {
    turn[axis](p.position, angle);
    turn[axis](p.normal, angle);
  }
}

void scale_group(typmshgrp& g, const vec3& s) {
  for (pntyp& p : g.vertices) {
    p.position.x = float(p.position.x * s.x);
    p.position.y = float(p.position.y * s.y);
    p.position.z = float(p.position.z * s.z);
  }
}
