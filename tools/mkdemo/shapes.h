// shapes: procedural building blocks for the demo meshes.
//
// Each function appends flat- or smooth-shaded triangles to a mesh group:
// boxes, slabs (a convex outline extruded to a thickness), tapered tubes and
// lofted hull sections. Triangles wind so that (B - A) x (C - A) points out of
// the surface, the rule the mesh reader uses for files without normals.
//
// Builds on: mesh/grph (groups, make_vertex), base/maths.
#pragma once
#include <vector>

#include "mesh/grph.h"

struct hull_ring {
  double z;                 // station along the hull
  double half_width;        // x extent
  double centre_y;          // y of the widest line
  double top, bottom;       // extents above and below centre_y
};

void add_triangle(typmshgrp& g, const vec3& a, const vec3& b, const vec3& c, vec2 ua, vec2 ub, vec2 uc); // flat
void add_quad(typmshgrp& g, const vec3& a, const vec3& b, const vec3& c, const vec3& d); // flat, a b c d around its edge
void add_box(typmshgrp& g, const vec3& centre, const vec3& half);                         // axis-aligned
// A convex outline (in the plane through origin spanned by eu and ev) extruded by
// thickness along eu x ev, centred on the plane.
void add_slab(typmshgrp& g, const std::vector<vec2>& outline, const vec3& origin, const vec3& eu,
              const vec3& ev, double thickness);
// A tapered tube from base along axis (length |axis|) with open ends unless capped.
void add_tube(typmshgrp& g, const vec3& base, const vec3& axis, double r0, double r1, int segments, bool caps);
// The part of a lofted hull between two rings, over the angle range a0..a1
// (0 = right side, pi/2 = top, -pi/2 = bottom).
void add_hull_band(typmshgrp& g, const hull_ring& r0, const hull_ring& r1, double a0, double a1, int segments);
// A flat cap closing a hull ring, facing forward (+z) or backward.
void add_hull_cap(typmshgrp& g, const hull_ring& r, bool forward, int segments);
// Turns the group about the line through ref along axis, as the preview turns
// animated groups when their animation runs from its start to its end.
void rotate_about(typmshgrp& g, const vec3& ref, const vec3& axis, double angle);
void finish_extents(typmshgrp& g);                                                          // corners and centre
