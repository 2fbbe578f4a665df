// procgenlib: shapes and textures the engine builds itself instead of reading.
//
// Shapes are appended into mesh groups: the editor's markers (spheres, cubes
// and the pointed marker), the sprite quads that carry the sun's core, glow
// and flare, and the planet's ring band. Textures are RGBA pixel buffers made
// at engine start: the sun core, glow and flare sprites, the day and night
// gradients, the noise and the ramp. Nothing here touches the GL; the engine
// uploads the buffers and draws the groups.
//
// Builds on: mesh/grph (groups, make_vertex), mesh/dds (blur_alpha),
// images/picture (rgba_image), base/maths (vectors, random generator).
//
// Notes:
//   - every builder appends: indices it writes are offset by the vertex count
//     the group had before, so several shapes can share one group;
//   - builders set the group's primitive kind (quads for the cube, triangles
//     otherwise) and leave its outline style at 0; extents and centre are the
//     caller's;
//   - a face normal is (P2 - P3) x (P1 - P2): the marker's triangles are wound
//     so that it points out of the shape;
//   - the noise texture draws from the program's random generator (the star
//     field that follows depends on how many numbers it takes: one a texel);
//     the sprite recipes use a noise table of their own and leave it alone.
#pragma once
#include <cstdint>

#include "base/maths.h"
#include "images/picture.h"
#include "mesh/grph.h"

// --- Shapes ------------------------------------------------------------------------
void append_vertex(typmshgrp& g, double u, double v, const vec3& pos, const vec3& normal); // vertex + index naming it; u, v as given; white
vec3 face_normal(const vec3& p1, const vec3& p2, const vec3& p3);  // unit (P2 - P3) x (P1 - P2)
void add_sprite_quad(typmshgrp& g, double extent_y, double extent_z); // plane x = 0, normal +x, two triangles
void add_cube(typmshgrp& g, const vec3& centre, const vec3& edges); // six quads +x -x +z -z +y -y, outward normals
void add_marker_shape(typmshgrp& g, const vec3& centre, double size); // 16 triangles, tip at centre, size along +y, size/8 across
void add_sphere(typmshgrp& g, int bands, bool hemisphere, double radius, int texture_size, bool flip); // rings, seams, two pole fans
void add_ring_band(typmshgrp& g, int segments, double first_radius, double second_radius); // 2n vertices, 6n indices, in y = 0

constexpr int marker_triangles = 16;          // triangles of one marker shape

// --- Textures ----------------------------------------------------------------------
enum engine_texture : int {                   // the sprite and gradient textures made at engine start
  tex_sun_core = 0,                           // white, alpha: core and two sets of rays, blurred
  tex_glow,                                   // warm white, alpha falling smoothly to the edge
  tex_flare,                                  // tinted ring round a small core
  tex_gradient_day,                           // sky colours by row, alpha by column
  tex_gradient_night,                         // the same stops, night colours
  engine_texture_count
};
constexpr int32_t engine_texture_size = 256;  // edge of each engine texture
constexpr int32_t noise_texture_size = 256;   // edge of the noise texture
constexpr int32_t ramp_texture_size = 128;    // edge of the ramp texture
constexpr int32_t ramp_top_row = 123;         // the ramp's alpha reaches 250 here; rows beyond are 255

rgba_image make_engine_texture(engine_texture which); // 256 x 256 RGBA; empty for an unknown kind
rgba_image make_noise_texture();              // each texel's channels (r div 4) - 64 as a byte, r = random_below(255)
rgba_image make_ramp_texture();               // white; alpha round((row/123)^2 x 245) + 5, 255 beyond row 123
