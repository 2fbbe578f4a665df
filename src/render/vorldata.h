// vorldata: the engine's scene record and the types it holds.
//
// One scene per program (`vorl_scene`): the switches of the options menu, the
// camera, the backdrop (stars, planets) and the scene objects (the vessel and
// its markers), the render resources and the pick results. The engine's
// units read and write it on the window's thread; the designer's scene
// (kvvorl) fills its content.
//
// Builds on: mesh/grph (meshes of objects and sprites), render/vorlanim
// (the animations a draw record carries), base/maths.
//
// Index:
//   - engine-wide switches
//   - camera block
//   - stars, planets and the planet interface
//   - scene objects and the object interface
//   - the scene record
//
// Notes:
//   - world positions are doubles in metres; each frame the engine keeps
//     every position also relative to the camera, and only those go to the
//     GL (as single precision), so a vessel far from the origin draws
//     without jitter
//   - the planets' drawing and the objects' drawing are other units' work:
//     they reach the passes through planet_code and object_code, whose empty
//     members mean "nothing to do"
#pragma once
#include <GL/gl.h>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/maths.h"
#include "mesh/grph.h"
#include "render/vorlanim.h"

// --- Engine-wide switches ------------------------------------------------------------
struct vorl_globals {               // written by start_engine and the options menu
  bool linear_filtering = true;     // engine textures filtered linearly
  bool compression = true;          // engine textures stored compressed
  bool vsync = false;               // "-~ Vsync"
};
extern vorl_globals vorl_switches;  // vertex buffers ("-3 VBO accel") are glmesh.buffers_on

// --- Camera block ------------------------------------------------------------------------
// The view: `angles` turn world directions into the view, whose forward is
// +z; the view direction in the world is (0, 0, 1) turned by the negated angles.
struct camera_block {
  vec3 position{0, 0, 0};           // world metres
  vec3 work{0, 0, 0};               // scratch vector; the up vector after a frame step
  vec3 target{0, 0, 0};             // target mode circles this point
  vec3 angles{0, 0, 0};             // Euler angles of the orientation, radians
  double yaw = 0, pitch = 0;        // radians
  mat3 orientation = identity3();   // the active block: 72 bytes in the scene dump
  int32_t mode = 0;                 // 0 at engine start; 1 target mode, 3 free flight
};

// --- Stars, planets and the planet interface --------------------------------------------
struct vorl_star {
  uint32_t flags = 0;
  double radius = 0;                // metres
  vec3 position{0, 0, 0};           // world metres
  vec3 rel_position{0, 0, 0};       // relative to the camera, refreshed each frame
  int32_t value = 0;                // kept for the scene dump
  std::string name;                 // up to 64 characters
  packed_colour colour = 0xFFFFFFFFu;
  typmsh* sprite = nullptr;         // the engine's sun sprite mesh: core and glow groups
};

// What the engine itself knows of a planet; the planet code keeps the rest.
struct drawplanetrec {
  std::string name;                 // up to 64 characters; the stem of its resource files
  vec3 position{0, 0, 0};           // world metres
  vec3 rel_position{0, 0, 0};       // relative to the camera, refreshed each frame
  vec3 axis{0, 1, 0};               // the dump's unnamed vector
  double radius = 0;                // metres
  int32_t value = 0;                // kept for the scene dump
  bool atmosphere = false;
  double density = 0, max_density = 0, outer_radius = 0; // atmosphere
  float colour[3] = {0, 0, 0};      // atmosphere colour
  float haze = 0;                   // the dump's fourth atmosphere value
  bool rings = false;
  double ring_inner = 0, ring_outer = 0; // multiples of the radius
  bool surface = false;             // surface parameters follow in the dump
  std::array<uint8_t, 57> surface_params{}; // 16, 8, 8, 8, 8, 8 and 1 bytes
  std::shared_ptr<void> code_state; // the planet code's own record
};

struct planet_interface {           // filled by the planet code; empty members do nothing
  packed_colour (*sky_colour)(const drawplanetrec& p) = nullptr;      // transparent black: no sky
  void (*strength)(drawplanetrec& p, const vec3& camera) = nullptr;   // atmosphere density, each frame
  void (*update)(drawplanetrec& p, int index) = nullptr;              // resources, each frame
  void (*draw)(drawplanetrec& p, int index, int pass) = nullptr;      // pass 0 before the depth clear, 1 after
};
extern planet_interface planet_code;

// --- Scene objects and the object interface -----------------------------------------------
struct exhaust_entry {
  GLuint texture = 0;               // 0: the default exhaust texture
  double level = 0, length = 0, width = 0;
  const vec3* position = nullptr;   // in the object's frame
  const vec3* direction = nullptr;
};

struct draw_rec {
  int32_t mesh_count = 0;           // == meshes.size()
  std::vector<typmsh> meshes;       // owned by the scene; released through release_mesh_gl
  colquad light{1, 1, 1, 1};        // light 0's colour while the object is drawn
  bool has_meshes = true;           // false: drawn as a white point
  uint8_t alpha_reduction = 0;      // subtracted from every group's diffuse alpha
  aointeger mesh_flags;             // per mesh: 1 external, 2 cockpit, 4 VC, 16 external pass
  preview_anims anims;              // animation states of the design
  bool cockpit_view = false;
  std::vector<exhaust_entry> exhausts;
};

struct scene_object {
  vec3 position{0, 0, 0};           // world metres
  vec3 rel_position{0, 0, 0};       // relative to the camera, refreshed each frame
  vec3 orientation{0, 0, 0};        // angles, radians
  double radius = 10;               // visibility radius
  int32_t kind = 0;                 // 0 vessel, 1 markers
  int32_t value = 0;                // kept for the scene dump
  std::string name;
  std::unique_ptr<draw_rec> draw;   // null: an empty slot
};

struct vorlscene;
// The passes visit the objects (from the last to the first, skipping those
// outside the view) and call these in the object's frame: translated to its
// camera-relative position and turned by its orientation.
struct object_interface {           // filled by the designer's scene; empty members do nothing
  void (*draw_object)(vorlscene& s, scene_object& o, int index, int pass, bool identification) = nullptr;
  void (*draw_exhausts)(vorlscene& s, scene_object& o, const vec3& camera_in_frame) = nullptr;
};
extern object_interface object_code;

// --- The designer's part of the scene --------------------------------------------------
constexpr int marker_slots = 6;     // beacons, thrusters, exhausts, docks, touchdown, aero

struct exhaust_place {              // an exhaust's flame in the vessel frame
  vec3 position{0, 0, 0};
  vec3 direction{0, 0, 1};
};

struct kvvorl_state {               // written by kvvorl only: its start, the design's calls, the pages' and picking
  std::array<bool, marker_slots> shown{};        // the slot's list is open
  std::array<bool, marker_slots> stale{};        // rebuild before the next drawing
  bool identifying_handles = false;              // the pick in progress draws the handles
  std::vector<exhaust_place> exhaust_places;     // what the vessel's exhaust entries point at
};

// --- The scene record ----------------------------------------------------------------------
enum render_slot { rt_frame_screen, rt_frame_target, rt_colour, rt_depth, rt_quarter, rt_shadow, rt_second,
                   rt_large, rt_count };

struct vorlscene {                  // one per program; see the header
  bool first_frame = true;          // the one-time GL state is still due
  bool menu_open = false;
  uint16_t menu_key = 122;          // F11
  uint16_t screenshot_key = 120;    // F9, with Ctrl
  std::string menu_key_name = "F11";
  std::string screenshot_key_name = "F9";
  std::vector<std::unique_ptr<vorl_star>> stars;
  std::vector<std::unique_ptr<drawplanetrec>> planets;
  std::vector<std::unique_ptr<scene_object>> objects;
  bool cockpit_view = false;
  bool draw_sky = true;             // "-4 Draw sky"
  double frame_time = 0;            // seconds
  std::array<GLuint, rt_count> render{}; // frame buffers, render buffer and render textures
  camera_block camera;
  double half_fov = 0.5235987755982989;  // radians
  int32_t width = 800, height = 600;     // window pixels
  int32_t picked_object = -1, picked_mesh = -1, picked_group = -1, picked_handle = 0;
  std::array<vec2, 7> handle_points{};   // projected handle ends and centre
  std::string texture_dir = "Textures";
  std::string mesh_dir = "Meshes";
  bool multilight = false;          // "-2 Multilight"
  bool shadows = false;             // stencil shadows: never on
  bool multishadow = false;         // "-8 Multish.(BROKEN)"
  bool terrain = false;             // "-5 Terrain"
  bool advanced = false;            // "-U Advanced grp"
  bool second_camera = false;       // "-1 Second camera"
  bool air_shade = false;           // "-6 Air shade"
  bool wireframe = false;           // "-M Wireframe"
  bool post_effects = false;        // "-P Posteffects"
  bool camera_light = true;         // "-L Camera light"
  int32_t shadow_level = 3;         // "-7 Shadows", 0..5
  int32_t shadow_map_size = 512;
  int32_t second_render_size = 256;
  int32_t draw_mode = 0;            // "drwm" of the vessel program
  packed_colour sky = 0;            // this frame's sky colour
  double daylight = 0;              // sky alpha / 255
  GLuint target_texture = 0;        // render into this square texture instead of the window; 0 none
  int32_t target_size = 0;          // its edge
  // the star field: one point per star, drawn as one indexed draw
  std::vector<svec3> star_points;   // 100 m from the eye, in the star's direction
  std::vector<uint32_t> star_colours; // packed, one per point
  std::vector<uint16_t> star_indices; // 0 .. count - 1
  kvvorl_state designer;            // the designer's markers and flames (kvvorl)
};
extern vorlscene vorl_scene;        // the program's scene; kvvorl fills its content
