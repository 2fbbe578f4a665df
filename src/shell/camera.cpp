// camera: the view camera, picking and the drags of the 3D controls.
#include "shell/camera.h"
#include <cmath>
#include <cstdio>
#include "base/input_codes.h"
#include "design/kvgen.h"
#include "editor/grpgui.h"
#include "editor/kvwindows.h"
#include "editor/selection.h"
#include "editor/undo.h"

view_camera_state view;

namespace {

constexpr double radians_per_pixel = pi / 360;    // half a degree
constexpr double free_flight_step = 10000;        // a zoom factor's distance scale in free flight
constexpr double pan_factor = 0.001;              // pan per pixel and metre of distance
constexpr double drag_divisor = 4;                // pixels of mouse travel per unit of drag
constexpr double target_speed = 1.0, free_speed = 0.01, fine_speed = 0.0001;
constexpr uint16_t key_0 = '0', key_9 = '9';
constexpr int marker_object = 1;

// The scene's second reference orientation: the horizon frame at the vessel.
// The backdrop places the vessel straight above its planet along +y, so that
// frame is the world's own.
const mat3 horizon_reference = identity3();

struct wheel_row { uint16_t bit; double step; };
constexpr wheel_row wheel_steps[] = {{shift_Alt, 99}, {shift_Shift, 9}, {shift_Ctrl, 0.01}};
constexpr double plain_wheel_step = 0.1;

scene_object* vessel_object(vorlscene& s) {
  for (auto& o : s.objects)
    if (o && o->kind == 0) return o.get();
  return nullptr;
}

vec3 axis_vector(int axis, double t) {
  vec3 v{0, 0, 0};
  (axis == 0 ? v.x : axis == 1 ? v.y : v.z) = t;
  return v;
}

void move_point(vessel_design& d, int kind, int point, const vec3& step) {
  vec3 p;
  if (!element_point(d, kind, point, p)) return;
  p = add(p, step);
  set_element_point(d, kind, point, p.x, p.y, p.z);
}

// A direction or rotation vector turned by the step's components as angles
// about x, then y, then z.
void turn_point(vessel_design& d, int kind, int point, const vec3& angles) {
  vec3 v;
  if (!element_point(d, kind, point, v)) return;
  rotate_x(v, angles.x);
  rotate_y(v, angles.y);
  rotate_z(v, angles.z);
  set_element_point(d, kind, point, v.x, v.y, v.z);
}

// --- Picking -------------------------------------------------------------------------------------

void pick_handle(int x, int y) {
  preview.pick(x, y, true);
  view.hovered = vorl_scene.picked_handle;
}

// The scene keeps the previous pick where nothing is hit, so it starts from the
// editor's selection, which the lists may have changed since.
void pick_selection(int x, int y) {
  vorl_scene.picked_object = selection.object;
  vorl_scene.picked_mesh = selection.mesh;
  vorl_scene.picked_group = selection.group;
  preview.pick(x, y, false);
  selection = {vorl_scene.picked_object, vorl_scene.picked_mesh, vorl_scene.picked_group};
}

// --- Drags ---------------------------------------------------------------------------------------

// A whole drag, from the press on a handle to the release, is one change of the
// design: an undo step begins here and is committed in end_drag.
void start_drag() {
  undo_begin();
  view.dragging = true;
  view.drag_object = selection.object;
  view.drag_mesh = selection.mesh;
  view.drag_group = selection.group;
  view.drag_handle = view.hovered;
  show_page(page_controls);
}

void end_drag() {
  if (view.dragging) undo_commit();
  view.dragging = false;
}

void drag(int mx, int my) {
  double t = drag_distance(vorl_scene, view.drag_handle, mx, my);
  apply_drag(design, view.drag_mesh, view.drag_group, (view.drag_handle - 1) % 3, t);
}

void pan(int dx, int dy) {
  camera_block& c = vorl_scene.camera;
  double f = distance(c.position, c.target) * pan_factor, cy = std::cos(c.yaw), sy = std::sin(c.yaw);
  view.pan_a += (cy * dx - sy * dy) * f;
  view.pan_b += (cy * dy + sy * dx) * f;
  camera_rotate(c, view.reference, 0, 0);
}

void remember_mouse(int x, int y) {
  view.last_x = x;
  view.last_y = y;
}

// --- Keys ----------------------------------------------------------------------------------------

void toggle_mode() {
  camera_block& c = vorl_scene.camera;
  c.mode = c.mode == camera_free ? camera_target : camera_free;
  if (c.mode == camera_free) {
    view.speed = free_speed;
  } else {
    view.fine = false;
    view.speed = target_speed;
  }
  view.reference = horizon_reference;
}

void toggle_fine() {
  view.fine = !view.fine;
  if (vorl_scene.camera.mode == camera_free) view.speed = view.fine ? fine_speed : free_speed;
}

}  // namespace

// --- The pages' camera calls ---------------------------------------------------------------------

bool live_offset(vec3& offset) {
  offset = sub(vorl_scene.camera.position, vessel_position(vorl_scene));
  return true;
}

void place_at_offset(const vec3& offset) {
  place_second_camera(vorl_scene, add(vessel_position(vorl_scene), offset));
  switch_camera(vorl_scene, true);
}

void view_second() { switch_camera(vorl_scene, true); }

// --- Camera operations -------------------------------------------------------------------------

vec3 view_direction(const camera_block& c) {
  vec3 v{0, 0, 1};
  rotate_z(v, -c.angles.z);
  rotate_y(v, -c.angles.y);
  rotate_x(v, -c.angles.x);
  return v;
}

void camera_rotate(camera_block& c, const mat3& reference, double dx, double dy) {
  c.yaw -= dx * radians_per_pixel;
  c.pitch += dy * radians_per_pixel;
  mat3 turn = identity3();
  post_rotate_y(turn, -c.yaw);
  post_rotate_x(turn, c.pitch);
  c.orientation = multiply(reference, turn);
  c.angles = euler_angles(c.orientation);
  if (c.mode == camera_free) return;
  c.position = sub(c.target, scale(view_direction(c), distance(c.position, c.target)));
}

void camera_zoom(camera_block& c, double x) {
  if (c.mode != camera_free) {
    c.position = add(c.target, scale(sub(c.position, c.target), x));
    return;
  }
  double by = x >= 1 ? (1 - x) * free_flight_step : (1 / x - 1) * free_flight_step;
  c.position = add(c.position, scale(view_direction(c), by));
}

double wheel_step(uint16_t shift) {
  for (const wheel_row& r : wheel_steps)
    if (shift & r.bit) return r.step;
  return plain_wheel_step;
}

void camera_wheel(camera_block& c, double speed, uint16_t shift) {
  double x = speed * wheel_step(shift) + 1;
  if (shift & shift_WheelUp) camera_zoom(c, 1 / x);
  else if (shift & shift_WheelDown) camera_zoom(c, x);
}

void switch_camera(vorlscene& s, bool second) {
  view.slots[s.cockpit_view ? 1 : 0] = s.camera;   // input since the last frame is kept
  s.cockpit_view = second;
  if (scene_object* v = vessel_object(s); v && v->draw) v->draw->cockpit_view = second;
  s.camera = view.slots[second ? 1 : 0];
}

vec3 vessel_position(const vorlscene& s) {
  const scene_object* v = vessel_object(const_cast<vorlscene&>(s));
  return v ? v->position : view.home;
}

// --- Drags of design elements ------------------------------------------------------------------

void apply_drag(vessel_design& d, int kind, int group, int axis, double t) {
  const vec3 step = axis_vector(axis, t);
  switch (kind) {
    case point_beacons:
    case point_touchdown:
    case point_aero: move_point(d, kind, group, step); break;
    case point_thrusters:             // even: the position; odd: the direction
      if (group % 2 == 0) move_point(d, kind, group, step);
      else turn_point(d, kind, group, step);
      break;
    case point_docks:                 // position; direction with the rotation vector; rotation vector
      if (group % 3 == 0) {
        move_point(d, kind, group, step);
        break;
      }
      turn_point(d, kind, group, step);
      if (group % 3 == 1) turn_point(d, kind, group + 1, step);
      break;
    default: break;                   // an exhaust is placed on its own page, never by a drag
  }
}

double drag_distance(const vorlscene& s, int handle, int mx, int my) {
  if (handle < 1 || handle > 6) return 0;
  const vec2 centre = s.handle_points[0], end = s.handle_points[size_t((handle - 1) % 3 + 1)];
  const vec2 dir = normalise(make_vec2(end.x - centre.x, end.y - centre.y));
  return (mx * dir.x + my * dir.y) / drag_divisor;   // (u · dir) × |m| / 4
}

// --- Start-up, frame, keys and mouse events ------------------------------------------------------

void place_second_camera(vorlscene& s, const vec3& position) {
  camera_block c = s.cockpit_view ? s.camera : view.slots[1];
  c.position = c.target = position;
  c.yaw = c.pitch = 0;
  camera_rotate(c, view.reference, 0, 0);
  view.slots[1] = c;
  if (s.cockpit_view) s.camera = c;
}

void camera_start(vorlscene& s, const vec3& vc_offset) {
  view = view_camera_state{};
  view.home = s.camera.target;
  s.camera.mode = camera_target;
  s.camera.target = vessel_position(s);
  s.cockpit_view = false;
  view.slots = {s.camera, s.camera};
  place_second_camera(s, add(s.camera.target, vc_offset));
}

void camera_frame(vorlscene& s) {
  view.slots[s.cockpit_view ? 1 : 0] = s.camera;
  if (s.cockpit_view) return;
  camera_block& c = s.camera;
  vec3 target = add(vessel_position(s), make_vec(-view.pan_a, 0, -view.pan_b));
  if (c.mode != camera_free) c.position = add(c.position, sub(target, c.target));
  c.target = target;
}

bool camera_key(vorlscene& s, uint16_t key) {
  switch (key) {
    case key_0: toggle_mode(); return true;
    case key_9: toggle_fine(); return true;
    case vk_f1: switch_camera(s, !s.cockpit_view); return true;
    default: return false;
  }
}

void camera_mouse_move(uint16_t shift, int x, int y) {
  const int dx = x - view.last_x, dy = y - view.last_y;
  if (shift & shift_RightButton) camera_rotate(vorl_scene.camera, view.reference, dx, -dy);
  gui_mouse_move(shift, x, y);
  pick_handle(x, y);
  if ((shift & shift_LeftButton) && view.dragging && view.drag_object == marker_object) drag(dx, dy);
  if (shift & shift_MiddleButton) pan(dx, -dy);
  remember_mouse(x, y);
}

void camera_mouse_down(uint16_t shift, int x, int y) {
  if (shift & (shift_WheelUp | shift_WheelDown)) camera_wheel(vorl_scene.camera, view.speed, shift);
  const bool taken = gui_mouse_down(shift, x, y);
  if (!taken && (shift & shift_LeftButton)) pick_selection(x, y);
  if (shift & shift_LeftButton) {     // a press on a window over a handle still grabs it
    pick_handle(x, y);
    if (selection.object == marker_object && view.hovered >= 1 && view.hovered <= 6) start_drag();
  }
  remember_mouse(x, y);
}

void camera_mouse_up(uint16_t shift, int x, int y) {
  end_drag();
  remember_mouse(x, y);
  gui_mouse_up(shift, x, y);
}

std::string camera_report() {
  const camera_block& c = vorl_scene.camera;
  char line[256];
  std::snprintf(line, sizeof line, "camera: mode %d speed %g fine %d distance %.6f yaw %.6f position %.6f,%.6f,%.6f",
                c.mode, view.speed, view.fine ? 1 : 0, distance(c.position, c.target), c.yaw, c.position.x,
                c.position.y, c.position.z);
  return line;
}
