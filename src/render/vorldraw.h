// vorldraw: one frame of the engine's scene.
//
// The passes in their order: frame set-up (sky colour from the nearest
// planet, clear, projection, state), the camera light, the star field as one
// indexed point draw, the suns as points or facing sprites, the planets in
// two passes with a depth clear between, the scene objects and their exhaust
// flames through the object interface, the post effect through the screen
// frame buffer, and the copy into a render target. Every pass catches its own
// failures, reports them (source "Graph") and the frame goes on.
//
// Builds on: render/vorldata, render/vorlaux (sprites), render/vorlutil
// (errors, apparent size), gl/glgr, gl/glmesh.
//
// Notes:
//   - positions reach the GL relative to the camera (refreshed at the start of
//     each frame in double precision), so nothing far from the origin jitters
//   - a sun lies far beyond the far plane: its sprite is drawn 1,000 m away in
//     its direction, scaled down by the same factor, which keeps its size on
//     screen
//   - the modelview mirrors z, so the view looks along +z
//   - the post effect shows the screen frame buffer's texture only when this
//     frame was drawn into it; when the frame buffer could not be bound the
//     frame is already in the window and the texture holds an older one
#pragma once
#include "gl/glgr.h"
#include "render/vorldata.h"

struct vorldraw_state {             // written by render_scene
  frustum_planes frustum{};         // after the camera is applied
  bool screen_frame = false;        // this frame is drawn into the screen frame buffer
};
extern vorldraw_state vorl_view;

constexpr double near_plane = 0.1, far_plane = 10000000;
constexpr double sun_draw_distance = 1000;    // metres from the eye a sun's sprite is drawn at
constexpr packed_colour default_sky = 0;      // transparent black: space

void update_relative_positions(vorlscene& s); // stars, planets and objects relative to the camera
packed_colour sky_colour(const vorlscene& s); // from the nearest planet, else default_sky
uint8_t glow_alpha(double apparent);          // round(s / 0.1 x 255), 255 from 0.1 on
void face_eye(const vec3& p);                 // turns +x, the sprites' normal, from p back to the eye
void apply_camera(const vorlscene& s);        // the camera's rotation on the modelview
void enter_object_frame(const scene_object& o); // translate to its relative position, turn by its orientation
void draw_scene_objects(vorlscene& s, bool identification); // both passes, last to first, visible only
void draw_point_light(const vec3& position, double point_size);
void render_scene(vorlscene& s);
