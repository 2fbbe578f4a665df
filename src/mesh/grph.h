// grph: the in-memory mesh model and its colour and vertex operations.
//
// Every 3D object of the program is a typmsh: an array of groups, each owning
// its vertices, triangle indices, material colours and texture references.
// The mesh reader (grplib) fills it from a mesh file; the editor builds marker
// meshes with make_vertex and the group operations; the preview animates
// groups in place. Drawing and texture upload belong to the GL layer, which
// hands the vertex array to the GL as strided arrays (stride 48).
//
// Builds on: base/maths (vectors, colour quads), base/asys (dynamic arrays).
//
// Notes:
//   - a packed colour holds red in the low byte, then green, blue, alpha;
//   - per-vertex data are single precision, extents and centres double;
//   - the stencil-shadow fields stay empty: those shadows are kept off.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/asys.h"
#include "base/maths.h"

using packed_colour = uint32_t;                 // R | G<<8 | B<<16 | A<<24

// --- Vertex ------------------------------------------------------------------------
struct pntyp {
  svec3 normal;                                 // not necessarily unit length
  svec3 position;                               // mesh units (metres for vessels)
  float u, v;                                   // texture coordinates
  float colour[4];                              // R G B A on 0..255; the reader leaves 0
};
using aopntyp = std::vector<pntyp>;             // a group's vertices

constexpr size_t vertex_stride = sizeof(pntyp); // for the GL's strided arrays
static_assert(sizeof(pntyp) == 48);
static_assert(offsetof(pntyp, normal) == 0);
static_assert(offsetof(pntyp, position) == 12);
static_assert(offsetof(pntyp, u) == 24);
static_assert(offsetof(pntyp, v) == 28);
static_assert(offsetof(pntyp, colour) == 32);

// --- Group -------------------------------------------------------------------------
using texture_pixels = std::shared_ptr<const std::vector<uint8_t>>; // RGBA; groups naming one texture share it

// One texture reference of a group (main, light or specular).
struct grptexture {
  int32_t index = -1;                           // 1-based into the texture list after reading; GL name after upload; -1 none
  int32_t width = 0;                            // decoded size
  int32_t height = 0;
  texture_pixels pixels;                        // decoded pixels until upload; null when none or failed
};

struct typmshgrp {
  std::string label;                            // group name (the reader leaves it empty)
  aopntyp vertices;                             // the group's vertices
  aointeger indices;                            // three per triangle (four per quad), into vertices
  aoquat face_planes;                           // shadow data: plane per triangle
  aoboolean lit_faces;                          // shadow data: facing the light, per triangle
  aointeger neighbours;                         // shadow data: 1 + triangle across each edge, 0 none
  aosingle face_areas;                          // shadow data: area per triangle
  bool shadow_built = false;                    // shadow data exist
  std::vector<svec3> shadow_volume;             // shadow data: extruded silhouette quads
  int32_t shadow_points = 0;                    // points used in shadow_volume
  grptexture texture;                           // main texture
  vec3 min_corner{0, 0, 0};                     // smallest x, y, z of the vertices
  vec3 max_corner{0, 0, 0};                     // largest x, y, z
  vec3 centre{0, 0, 0};                         // midpoint of the corners
  grptexture light_texture;                     // LIGHTTEXTURE reference
  grptexture spec_texture;                      // SPECTEXTURE reference
  packed_colour diffuse = 0xFFFFFFFF;           // material diffuse, opaque white by default
  packed_colour emissive = 0;                   // material emission
  packed_colour specular = 0;                   // material specular
  float specular_power = 0;                     // shininess; 0: no specular term
  uint8_t outline_style = 0;                    // 0 filled
  uint8_t primitive_kind = 0;                   // 0 triangles, 1 quads
  bool buffered = false;                        // may be drawn from vertex buffers
  int32_t buffer_slot = 0;                      // vertex buffer table entry, 0 none
};

// --- Mesh --------------------------------------------------------------------------
struct typmsh {
  bool loaded = false;                          // read or built completely; nothing is drawn before
  std::string file_name;                        // the mesh file's path
  std::string texture_dir;                      // prefix put in front of texture names
  astr texture_names;                           // the file's TEXTURES list, in order
  int32_t group_count = 0;                      // == groups.size()
  std::vector<typmshgrp> groups;                // the groups
  int32_t texture_count = 0;                    // == texture_names.size()
  vec3 shadow_light{0, 0, 0};                   // shadow data: light direction of the last build
  double radius = 0;                            // |(max |x|, max |y|, max |z|)| over all vertices
  std::vector<uint32_t> gl_textures;            // GL name per texture-list entry once uploaded, 0 none
};

// --- Colours -----------------------------------------------------------------------
packed_colour pack_colour(uint8_t r, uint8_t g, uint8_t b, uint8_t a);   // bytes to packed
packed_colour pack_float_colour(double r, double g, double b, double a); // 0..1, x255 rounded ties-to-even, clamped
colquad       unpack_colour(packed_colour c);                            // byte / 255 each
packed_colour pack_vector_colour(const vec3& rgb);                       // 0..1 per channel, alpha 255
packed_colour add_colours(packed_colour a, packed_colour b);             // per channel sum mod 256, alpha 255
packed_colour scale_colour(packed_colour c, double f);                   // rgb x f rounded and clamped, alpha 255
uint8_t       colour_byte(packed_colour c, int channel);                 // 0 red .. 3 alpha

// --- Vertices and groups -----------------------------------------------------------
pntyp make_vertex(const vec3& pos, const vec3& normal, double u, double v); // u, v kept inside (0, 1); colour white
void  reset_group(typmshgrp& g);                          // white, no textures, filled triangles, centre 0
void  clear_group(typmshgrp& g);                          // no vertices or indices, then reset
void  translate_group(typmshgrp& g, const vec3& d);       // positions and centre moved by d
void  rotate_group(typmshgrp& g, int axis, double angle); // axis 0 X, 1 Y, 2 Z; radians; 0 changes nothing
void  scale_group(typmshgrp& g, const vec3& s);           // positions scaled per axis
