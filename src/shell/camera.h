// camera: the view camera of the preview and the 3D controls.
//
// Turns the keyboard, mouse and wheel events that reach it into movements of
// the engine's camera (orbit, zoom, pan, free flight), switches between the
// editor camera and the second (virtual-cockpit) camera, and picks and drags
// the selected design element along the axis handles the preview draws
// around it. Every change to the design goes through the design operations.
//
// Builds on: render/vorldata (the camera block, pick results, projected
// handle points), editor/grpgui (the GUI's mouse procedures in the middle of
// the camera's), editor/selection, editor/kvwindows ("3D controls"),
// editor/undo (a drag is one step), design/preview_calls (picking),
// design/kvgen, base/maths.
//
// Index:
//   - state
//   - camera operations (rotate, zoom, wheel, switch camera)
//   - drags of design elements
//   - start-up, frame, keys and mouse events
//
// Notes:
//   - the live camera is vorl_scene.camera; its two stored copies are slot 0
//     (the editor camera) and slot 1 (the second camera); the scene's cockpit
//     view flag says which one is live
//   - the preview's projected handle points are in window pixels (top-left
//     origin, like the mouse): entry 0 the centre, entries 1 to 6 the ends
//     of the handles 1 to 6 (+x, +y, +z, -x, -y, -z)
//   - a drag on either arm of an axis follows the screen direction of that
//     axis's + arrow, so the element moves the way the mouse does
//   - in target mode the camera keeps its offset from the target when the
//     target moves (the pan offsets or the vessel), so panning carries the
//     view along instead of only shifting the point it circles
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include "base/maths.h"
#include "design/kvvar.h"
#include "render/vorldata.h"

// --- State ---------------------------------------------------------------------------
enum camera_mode { camera_target = 1, camera_free = 3 };

struct view_camera_state {          // written by the camera's key, mouse and frame procedures
  double speed = 1.0;               // s: scales wheel steps (1, 0.01, or 0.0001 in fine free flight)
  bool fine = false;                // fine camera control ("9")
  double pan_a = 0, pan_b = 0;      // target offset (-A, 0, -B) from the vessel's reference position
  std::array<camera_block, 2> slots{}; // 0 the editor camera, 1 the second camera
  mat3 reference = identity3();     // reference orientation of the live camera
  int last_x = 0, last_y = 0;       // mouse position of the last mouse event
  bool dragging = false;            // an axis handle is being dragged
  int drag_object = 0, drag_mesh = 0, drag_group = 0, drag_handle = 0; // at the drag's start
  int hovered = 0;                  // handle under the cursor: 0 none, 1 to 6
  vec3 home{0, 0, 0};               // the vessel's place while the scene has no vessel object
};
extern view_camera_state view;


// --- The pages' camera calls (the preview record's) ----------------------------------------
bool   live_offset(vec3& offset);                              // the live camera minus the vessel's position
void   place_at_offset(const vec3& offset);                    // second camera at vessel + offset, switched to
void   view_second();                                          // view through the second camera

// --- Camera operations ---------------------------------------------------------------------
vec3   view_direction(const camera_block& c);                  // (0, 0, 1) turned by the negated angles
void   camera_rotate(camera_block& c, const mat3& reference, double dx, double dy); // half a degree per pixel
void   camera_zoom(camera_block& c, double x);                 // free flight: along the view; target: scale the distance
double wheel_step(uint16_t shift);                             // k: 99 Alt, 9 Shift, 0.01 Ctrl, else 0.1
void   camera_wheel(camera_block& c, double speed, uint16_t shift); // one wheel step of the event's direction
void   switch_camera(vorlscene& s, bool second);               // stores the live camera, loads the other slot
vec3   vessel_position(const vorlscene& s);                    // the vessel object's position, else home

// --- Drags of design elements ------------------------------------------------------------------
// Moves or turns what (kind, group) names by t along axis (0 x, 1 y, 2 z), as
// a drag of that axis's handle does: positions move, directions and rotation
// vectors turn by t radians about the axis; an exhaust stays as it is.
void apply_drag(vessel_design& d, int kind, int group, int axis, double t);
double drag_distance(const vorlscene& s, int handle, int mx, int my); // t for a mouse step (mx, my)

// --- Start-up, frame, keys and mouse events ------------------------------------------------------
void camera_start(vorlscene& s, const vec3& vc_offset);        // target mode, home at the target, both slots
void place_second_camera(vorlscene& s, const vec3& position);  // slot 1 at position, looking ahead
void camera_frame(vorlscene& s);                               // live camera into its slot; the target from the pan
bool camera_key(vorlscene& s, uint16_t key);                   // "0", "9", F1; true when taken
void camera_mouse_move(uint16_t shift, int x, int y);          // rotate, GUI, handle pick, drag, pan
void camera_mouse_down(uint16_t shift, int x, int y);          // wheel, GUI, selection pick, drag start
void camera_mouse_up(uint16_t shift, int x, int y);            // drag end, GUI
std::string camera_report();                                   // "camera: mode ... " for the tests' eyes
