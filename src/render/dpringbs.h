// dpringbs: what a planet draws with, built and loaded as the camera needs it.
//
// Per planet and layer (the surface, the "_cloud" layer, the rings): the
// mesh-file check, done once, and the mesh read when the file is there;
// otherwise the ".tex" file, a DDS sequence uploaded still compressed, read
// when the level first needs it and released when the level falls to 0; and
// the patch lists of levels 1 to 8, made from the template patches and given
// their textures in file order. Besides: the horizon haze (texture and three
// strips), the ring band and the close-range rings.
//
// Builds on: render/vorldata, render/vorlcalc (levels), render/vorlaux (the
// ramp texture, texture switches), render/procgenlib (ring band), gl/glgr,
// gl/glmesh, mesh/dds, mesh/grplib, mesh/texfile.
//
// Notes:
//   - template patches lie on the unit sphere: latitude from the equator,
//     longitude east from -180 degrees, position (cos lat cos lon, sin lat,
//     cos lat sin lon); u runs east, v from a patch's poleward edge. Levels
//     1 to 3 are the whole globe, level 4 two hemispheres pole to pole, from
//     level 5 on latitude bands from the pole to the equator, the southern
//     patches mirrored from the northern ones and textured in the same order
//     after them
//   - the patches of one band share one shape, turned about y by multiples of
//     the band's width; turning by a degrees moves a patch a degrees east
//   - a layer whose file cannot be found stays at level 0 and tries again
//     when the level needed changes
#pragma once
#include <GL/gl.h>
#include <array>
#include <exception>
#include <string>
#include <vector>

#include "mesh/grph.h"
#include "render/vorlcalc.h"
#include "render/vorldata.h"
#include "render/vorlutil.h"

enum planet_layer_id { layer_surface, layer_clouds, layer_rings, layer_count };

struct planet_tile {                // one patch of a level
  typmshgrp* shape = nullptr;       // the band's template shape
  double angle = 0;                 // degrees about y
  int32_t texture = 0;              // index into the layer's textures
  vec3 centre{0, 0, 0};             // bounding sphere on the unit sphere, turned
  double bound = 0;
};

struct opmeshrec {                  // the patch list of one level
  std::vector<planet_tile> tiles;
  bool built = false;
};

struct planet_layer {
  typmsh mesh;                      // the mesh-file surface; loaded flag in it
  bool mesh_checked = false, mesh_exists = false;
  std::vector<GLuint> textures;     // file order; owned here
  int32_t highest = 0;              // highest level the textures support; 0 unknown
  int32_t built = 0;                // level the patch lists were last made for
  int32_t failed_at = -1;           // level needed when no file could be read
  std::array<opmeshrec, max_planet_level + 1> levels;
};

struct dpring {                     // the close-range ring structure
  typmsh mesh;                      // a finer band
  bool built = false;
};

struct planet_res {                 // a planet's drawing state: written by update_planet and release_planet_res
  std::array<planet_layer, layer_count> layers;
  int32_t default_texture = 0;      // n of the "plntdefault_n" fallback
  GLuint haze_texture = 0;          // ramp texture or the planet's own
  bool haze_owned = false;          // haze_texture came from a "_Horizon.dds" file
  typmsh haze;                      // three strips: veil, rim, outer glow
  typmsh ring_band;
  dpring close_rings;
};

struct planet_templates_state {     // written by planet_templates on first use
  std::array<typmsh, max_planet_level + 1> shapes;          // per level, one group a band shape
  std::array<std::vector<planet_tile>, max_planet_level + 1> tiles; // texture = offset within the level
};

constexpr int ring_segments = 16, close_ring_segments = 256, haze_segments = 64;
constexpr double cloud_lift = 1.004;             // cloud layer radius in planet radii

// Runs one step of the planet code; a failure inside is reported from "VELGL" and the frame goes on.
template <class F> void planet_guarded(const std::string& text, F&& work) {
  try {
    work();
  } catch (const std::exception&) {
    report_error("VELGL", text);
  }
}

const planet_templates_state& planet_templates();
planet_res& planet_state(drawplanetrec& p);      // made on first use, released with the record
int  drawn_level(const planet_layer& l);         // the smaller of the built level and the textures' level
double haze_height(const drawplanetrec& p);      // the atmosphere's height in planet radii, as the haze takes it
std::vector<std::string> texture_candidates(const std::string& dir, const std::string& name, planet_layer_id layer,
                                            int default_texture); // the search order
void update_planet(drawplanetrec& p, int index); // surface, clouds, rings, haze, close rings
void release_planet_res(planet_res& r);          // every GL object of the planet
