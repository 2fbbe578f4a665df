// vorlaux: starting the engine, the resources it owns, and the fixed backdrop.
//
// start_engine runs once after the window and the 2D layer exist: switches
// to their start values, the random seed, the progress callback and the log,
// the shader programs, the textures and frame buffers the passes use, the
// engine's procedural textures and sprite meshes, and the backdrop (the sun
// and the star field). stop_engine gives every GL object back.
//
// Builds on: render/vorldata, render/vorlutil, render/vorlshdr,
// render/procgenlib (shapes and texture pixels), gl/glgr, gl/glmesh,
// mesh/texfile and mesh/dds (texture files).
//
// Notes:
//   - the random generator is seeded with 65774 before the noise texture takes
//     65,536 numbers from it; the star field draws after that, so the field is
//     the same on every start
//   - a missing exhaust or cloud texture leaves its name 0
#pragma once
#include <GL/gl.h>
#include <array>
#include <string>

#include "render/procgenlib.h"
#include "render/vorldata.h"

using progress_fn = void (*)(const std::string& main_line, const std::string& second_line, bool loading);

struct vorl_resources {             // written by start_engine and stop_engine
  progress_fn progress = nullptr;   // the progress screen, for long loads
  GLuint exhaust = 0;               // "textures\Exhaust.dds"
  GLuint cloud = 0;                 // "textures\cloud1.dds"
  GLuint default_exhaust = 0;       // the texture directory's "/Exhaust.dds": exhausts without their own
  GLuint noise = 0;                 // 256 x 256
  GLuint ramp = 0;                  // 128 x 128
  std::array<GLuint, engine_texture_count> sprites{}; // sun core, glow, flare, day and night gradients
  std::array<typmsh, 2> grids;      // 16 x 16 cells carrying the gradients
  typmsh sun_sprite;                // core and glow quads
  typmsh flare_sprite;              // one quad
};
extern vorl_resources vorl_res;

constexpr uint32_t star_seed = 65774;
constexpr int star_count = 3000;
constexpr double sun_radius = 696000000;  // metres

void start_engine(vorlscene& s, int width, int height, progress_fn progress);
void stop_engine(vorlscene& s);                    // every GL object of the engine released
void build_star_field(vorlscene& s);               // 3000 points from the random generator
int switch_flags();                                // repeat wrapping, filtering and compression as the switches say
GLuint upload_engine_texture(const rgba_image& img);      // uploaded as the global filtering and compression switches say
