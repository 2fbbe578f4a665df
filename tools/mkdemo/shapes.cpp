#include "mkdemo/shapes.h"

#include <algorithm>
#include <cmath>

namespace {

int32_t push(typmshgrp& g, const vec3& p, const vec3& n, vec2 uv) {
  g.vertices.push_back(make_vertex(p, n, uv.x, uv.y));
  return int32_t(g.vertices.size() - 1);
}

// A unit vector at right angles to d, and a third completing the frame.
void frame_around(const vec3& d, vec3& e1, vec3& e2) {
  const vec3 helper = std::fabs(d.y) < 0.9 ? vec3{0, 1, 0} : vec3{1, 0, 0};
  e1 = normalise(cross(helper, d));
  e2 = normalise(cross(d, e1));
}

vec3 hull_point(const hull_ring& r, double a) {
  const double s = std::sin(a);
  return {r.half_width * std::cos(a), r.centre_y + s * (s > 0 ? r.top : r.bottom), r.z};
}

vec3 hull_normal(const hull_ring& r, double a) {
  const double s = std::sin(a);
  return normalise({std::cos(a) / std::max(r.half_width, 0.01), s / std::max(s > 0 ? r.top : r.bottom, 0.01), 0});
}

}  // namespace

void add_triangle(typmshgrp& g, const vec3& a, const vec3& b, const vec3& c, vec2 ua, vec2 ub, vec2 uc) {
  const vec3 n = unit_normal(sub(b, a), sub(c, a));
  const int32_t i = push(g, a, n, ua), j = push(g, b, n, ub), k = push(g, c, n, uc);
  g.indices.insert(g.indices.end(), {i, j, k});
}

void add_quad(typmshgrp& g, const vec3& a, const vec3& b, const vec3& c, const vec3& d) {
  const vec3 n = unit_normal(sub(b, a), sub(c, a));
  const int32_t i = push(g, a, n, {0, 0}), j = push(g, b, n, {1, 0}), k = push(g, c, n, {1, 1}),
                l = push(g, d, n, {0, 1});
  g.indices.insert(g.indices.end(), {i, j, k, i, k, l});
}

void add_box(typmshgrp& g, const vec3& c, const vec3& h) {
  const std::vector<vec2> square = {{-h.x, -h.z}, {h.x, -h.z}, {h.x, h.z}, {-h.x, h.z}};
  add_slab(g, square, {c.x, c.y, c.z}, {1, 0, 0}, {0, 0, 1}, 2 * h.y);
}

void add_slab(typmshgrp& g, const std::vector<vec2>& outline, const vec3& origin, const vec3& eu,
              const vec3& ev, double thickness) {
  const vec3 up = scale(normalise(cross(ev, eu)), thickness / 2);
  double lo[2] = {1e9, 1e9}, hi[2] = {-1e9, -1e9};
  for (const vec2& p : outline) {
    lo[0] = std::min(lo[0], p.x), hi[0] = std::max(hi[0], p.x);
    lo[1] = std::min(lo[1], p.y), hi[1] = std::max(hi[1], p.y);
  }
  auto at = [&](const vec2& p, const vec3& side) { return add(add(origin, add(scale(eu, p.x), scale(ev, p.y))), side); };
  auto uv = [&](const vec2& p) {
    return vec2{(p.x - lo[0]) / std::max(hi[0] - lo[0], 1e-9), (p.y - lo[1]) / std::max(hi[1] - lo[1], 1e-9)};
  };
  const vec3 down = scale(up, -1);
  const size_t n = outline.size();
  double area = 0;  // the fans and sides below need the outline anticlockwise
  for (size_t i = 0; i < n; ++i) area += outline[i].x * outline[(i + 1) % n].y - outline[(i + 1) % n].x * outline[i].y;
  if (area < 0) {
    std::vector<vec2> reversed(outline.rbegin(), outline.rend());
    add_slab(g, reversed, origin, eu, ev, thickness);
    return;
  }
  for (size_t i = 1; i + 1 < n; ++i) {  // top and bottom as fans
    const vec2 &a = outline[0], &b = outline[i], &c = outline[i + 1];
    add_triangle(g, at(a, up), at(c, up), at(b, up), uv(a), uv(c), uv(b));
    add_triangle(g, at(a, down), at(b, down), at(c, down), uv(a), uv(b), uv(c));
  }
  for (size_t i = 0; i < n; ++i) {
    const vec2 &a = outline[i], &b = outline[(i + 1) % n];
    add_quad(g, at(a, down), at(a, up), at(b, up), at(b, down));
  }
}

void add_tube(typmshgrp& g, const vec3& base, const vec3& axis, double r0, double r1, int segments, bool caps) {
  const vec3 d = normalise(axis), top = add(base, axis);
  vec3 e1, e2;
  frame_around(d, e1, e2);
  auto ring = [&](const vec3& c, double r, double a) {
    return add(c, add(scale(e1, r * std::cos(a)), scale(e2, r * std::sin(a))));
  };
  const double slope = (r0 - r1) / std::max(length(axis), 1e-9);
  for (int i = 0; i < segments; ++i) {
    const double a0 = 2 * pi * i / segments, a1 = 2 * pi * (i + 1) / segments;
    auto normal = [&](double a) { return normalise(add(add(scale(e1, std::cos(a)), scale(e2, std::sin(a))), scale(d, slope))); };
    const double u0 = double(i) / segments, u1 = double(i + 1) / segments;
    const int32_t p = push(g, ring(base, r0, a0), normal(a0), {u0, 0}), q = push(g, ring(base, r0, a1), normal(a1), {u1, 0}),
                  r = push(g, ring(top, r1, a1), normal(a1), {u1, 1}), s = push(g, ring(top, r1, a0), normal(a0), {u0, 1});
    g.indices.insert(g.indices.end(), {p, q, r, p, r, s});
    if (!caps) continue;
    add_triangle(g, base, ring(base, r0, a1), ring(base, r0, a0), {0.5, 0.5}, {1, 0}, {0, 0});
    add_triangle(g, top, ring(top, r1, a0), ring(top, r1, a1), {0.5, 0.5}, {0, 1}, {1, 1});
  }
}

void add_hull_band(typmshgrp& g, const hull_ring& r0, const hull_ring& r1, double a0, double a1, int segments) {
  for (int i = 0; i < segments; ++i) {
    const double s = a0 + (a1 - a0) * i / segments, t = a0 + (a1 - a0) * (i + 1) / segments;
    const double u0 = double(i) / segments, u1 = double(i + 1) / segments;
    const int32_t p = push(g, hull_point(r0, s), hull_normal(r0, s), {u0, 0});
    const int32_t q = push(g, hull_point(r0, t), hull_normal(r0, t), {u1, 0});
    const int32_t r = push(g, hull_point(r1, t), hull_normal(r1, t), {u1, 1});
    const int32_t w = push(g, hull_point(r1, s), hull_normal(r1, s), {u0, 1});
    // Outward when r1 lies ahead of r0 and the angle runs from a0 up to a1.
    if ((a1 > a0) == (r1.z > r0.z))
      g.indices.insert(g.indices.end(), {p, q, r, p, r, w});
    else
      g.indices.insert(g.indices.end(), {p, r, q, p, w, r});
  }
}

void add_hull_cap(typmshgrp& g, const hull_ring& r, bool forward, int segments) {
  const vec3 c{0, r.centre_y, r.z};
  for (int i = 0; i < segments; ++i) {
    const double a0 = 2 * pi * i / segments, a1 = 2 * pi * (i + 1) / segments;
    const vec3 p = hull_point(r, a0), q = hull_point(r, a1);
    auto uv = [&](const vec3& v) { return vec2{0.5 + v.x / (2 * r.half_width), 0.5 + (v.y - r.centre_y) / (2 * r.top)}; };
    if (forward)
      add_triangle(g, c, p, q, uv(c), uv(p), uv(q));
    else
      add_triangle(g, c, q, p, uv(c), uv(q), uv(p));
  }
}

void rotate_about(typmshgrp& g, const vec3& ref, const vec3& axis, double angle) {
  const vec3 n = normalise(axis);
  for (pntyp& v : g.vertices) {
    v.position = to_svec(add(rotate_axis(sub(to_vec(v.position), ref), n, -angle), ref));
    v.normal = to_svec(rotate_axis(to_vec(v.normal), n, -angle));
  }
}

void finish_extents(typmshgrp& g) {
  if (g.vertices.empty()) return;
  vec3 lo{1e100, 1e100, 1e100}, hi{-1e100, -1e100, -1e100};
  for (const pntyp& v : g.vertices) {
    lo = {std::min(lo.x, double(v.position.x)), std::min(lo.y, double(v.position.y)), std::min(lo.z, double(v.position.z))};
    hi = {std::max(hi.x, double(v.position.x)), std::max(hi.y, double(v.position.y)), std::max(hi.z, double(v.position.z))};
  }
  g.min_corner = lo;
  g.max_corner = hi;
  g.centre = midpoint(lo, hi);
}
