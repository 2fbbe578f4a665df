// kvvorl: the vessel and its markers in the engine's scene, drawn, identified and picked.
#include "render/kvvorl.h"

#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <utility>
#include <vector>

#include "design/meshstore.h"
#include "gl/glgr.h"
#include "gl/glmesh.h"
#include "render/procgenlib.h"
#include "render/vorlanim.h"
#include "render/vorlaux.h"
#include "render/vorlcalc.h"
#include "render/vorldraw.h"
#include "render/vorlutil.h"


namespace {

constexpr int sphere_bands = 6;
constexpr double marker_size = 2;                 // the crossed marker shapes
constexpr double pick_far_plane = 100000;
constexpr double pulse_microseconds = 100000;     // the selected group's colour turns with t / this
constexpr int code_room = 15;                     // objects and meshes an identification code can name
constexpr uint8_t pure = 255, pure_negative = 254;
constexpr float line_width = 1, hover_widening = 2, pick_line_width = 10, pick_hover_width = 12;
constexpr double arrow_start = 0.9, arrow_spread = 0.1; // arrow heads: from 90 % of the arm, 10 % off it
constexpr vec3 origin{0, 0, 0};
constexpr int thruster_slot = 1, exhaust_slot = 2;
constexpr int object_light = 2;                   // an object's own light: 0 is the main light, 1 the camera's

draw_rec* record(vorlscene& s, int index) {
  if (index < 0 || size_t(index) >= s.objects.size() || !s.objects[size_t(index)]) return nullptr;
  return s.objects[size_t(index)]->draw.get();
}

const draw_rec* record(const vorlscene& s, int index) { return record(const_cast<vorlscene&>(s), index); }

template <class T> bool in_range(const std::vector<T>& v, int i) { return i >= 0 && size_t(i) < v.size(); }

// --- Marker shapes ----------------------------------------------------------------------

typmshgrp sphere_marker(const vec3& at, double radius) {
  typmshgrp g;
  add_sphere(g, sphere_bands, false, radius, 1, false);
  translate_group(g, at);
  return g;
}

typmshgrp cube_marker(const vec3& at, double edge) {
  typmshgrp g;
  add_cube(g, at, {edge, edge, edge});
  g.centre = at;
  return g;
}

typmshgrp crossed_marker(const vec3& at) {    // two marker shapes a quarter turn apart about y
  typmshgrp g;
  add_marker_shape(g, origin, marker_size);
  rotate_group(g, 1, pi / 2);
  add_marker_shape(g, origin, marker_size);
  translate_group(g, at);
  return g;
}

// Where an exhaust's flame starts and where it points: its own vectors, or
// its thruster's position and reversed thrust; false when its thruster is gone.
bool exhaust_line(const vessel_design& d, const exhaust_def& e, exhaust_place& out) {
  if (e.mode == exhaust_free) {
    out = {e.pos, e.dir};
    return true;
  }
  if (!in_range(d.data.thrusters, e.thruster)) return false;
  const thruster_def& t = d.data.thrusters[size_t(e.thruster)];
  out = {t.pos, scale(vec3(t.dir), -1)};
  return true;
}

// The groups of one marker slot, in selection order: element x groups per element + part.
std::vector<typmshgrp> slot_groups(const vessel_design& d, int kind) {
  const vrkdll_data& a = d.data;
  std::vector<typmshgrp> out;
  switch (kind) {
    case 0:
      for (const beacon_def& b : a.beacons) out.push_back(crossed_marker(b.pos));
      break;
    case 1:
      for (const thruster_def& t : a.thrusters) {
        out.push_back(sphere_marker(t.pos, 0.5));
        out.push_back(cube_marker(sub(t.pos, t.dir), 0.5));
      }
      break;
    case 2:
      for (const exhaust_def& e : a.exhausts) {
        exhaust_place p;
        if (!exhaust_line(d, e, p)) {          // keeps the later exhausts' group numbers
          out.resize(out.size() + 2);
          continue;
        }
        out.push_back(sphere_marker(p.position, 0.5));
        out.push_back(cube_marker(add(p.position, p.direction), 0.5));
      }
      break;
    case 3:
      for (const dock_def& k : a.docks) {
        out.push_back(sphere_marker(k.pos, 1));
        out.push_back(cube_marker(add(k.pos, k.dir), 0.7));
        out.push_back(cube_marker(add(add(k.pos, k.dir), k.rot), 0.4));
      }
      break;
    case 4:
      for (const touchdown_set& t : a.touchdown_sets)
        for (const vec3 p : {vec3(t.pt1), vec3(t.pt2), vec3(t.pt3)}) out.push_back(crossed_marker(p));
      break;
    case 5:
      for (const aero_def& e : a.aero_elements) out.push_back(sphere_marker(e.pos, 0.5));
      break;
    default: break;
  }
  return out;
}

// --- Drawing ----------------------------------------------------------------------------

bool mesh_in_pass(int32_t flags, int pass, bool cockpit) {
  if (pass == 0) return !cockpit && (flags & (visibility_external | visibility_extpass));
  return cockpit && (flags & (visibility_cockpit | visibility_vc)) && !(flags & visibility_extpass);
}

packed_colour pulse_colour(double seconds) {
  const double t = seconds * 1e6 / pulse_microseconds;
  return pack_rgba(uint8_t(std::lround(std::fabs(std::sin(t)) * 255)),
                   uint8_t(std::lround(std::fabs(std::cos(t)) * 255)), 0, 255);
}

void set_light_colour(const colquad& c) {
  const GLfloat colour[4] = {float(c.r), float(c.g), float(c.b), float(c.a)};
  glLightfv(GL_LIGHT0, GL_DIFFUSE, colour);
  glLightfv(GL_LIGHT0, GL_SPECULAR, colour);
}

void identify_group(typmshgrp& g, int object, int mesh, int group) {
  const uint32_t e = identification_code(object, mesh, group);
  set_colour(pack_rgba(uint8_t(e), uint8_t(e >> 8), uint8_t(e >> 16), 255));
  draw_group(g, {.keep_state = true});
}

void draw_selected(typmshgrp& g, const vorlscene& s) {
  const packed_colour own = g.diffuse;
  g.diffuse = pulse_colour(s.frame_time);
  switch_gl(switch_lighting, false);
  draw_group(g, {});
  switch_gl(switch_lighting, true);
  g.diffuse = own;
}

vec3 axis_unit(int axis) { return axis == 0 ? vec3{1, 0, 0} : axis == 1 ? vec3{0, 1, 0} : vec3{0, 0, 1}; }

packed_colour handle_colour(int handle, bool identification) {
  const bool negative = handle > 3;
  const uint8_t level = identification ? (negative ? pure_negative : pure) : (negative ? 128 : 255);
  const int axis = (handle - 1) % 3;
  return pack_rgba(axis == 0 ? level : 0, axis == 1 ? level : 0, axis == 2 ? level : 0, 255);
}

struct line_vertex {                // a handle line's end with its colour, as the arrays read them
  svec3 position;
  uint32_t colour;                  // packed
};

// The handle's arm and, on the positive handles, its arrow head, as pairs of line ends.
void add_handle_lines(std::vector<line_vertex>& out, const vec3& centre, int handle, double arm, uint32_t colour) {
  const int axis = (handle - 1) % 3;
  const vec3 dir = scale(axis_unit(axis), handle > 3 ? -arm : arm), tip = add(centre, dir);
  const auto end = [&](const vec3& p) { out.push_back({to_svec(p), colour}); };
  end(centre);
  end(tip);
  if (handle <= 3)
    for (int other : {(axis + 1) % 3, (axis + 2) % 3})
      for (double side : {-1.0, 1.0}) {
        end(tip);
        end(add(add(centre, scale(dir, arrow_start)), scale(axis_unit(other), side * arrow_spread * arm)));
      }
}

// The lines in their order, one draw for each run of handles of one width.
void draw_handle_lines(const std::vector<line_vertex>& lines, const std::vector<std::pair<float, size_t>>& runs) {
  client_arrays(array_Vertex | array_Colour);
  bind_buffer(GL_ARRAY_BUFFER_ARB, 0);
  arrays_moved();
  glVertexPointer(3, GL_FLOAT, sizeof(line_vertex), &lines[0].position);
  glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(line_vertex), &lines[0].colour);
  size_t first = 0;
  for (const auto& [width, end] : runs) {
    glLineWidth(width);
    glDrawArrays(GL_LINES, GLint(first), GLsizei(end - first));
    first = end;
  }
  forget_colour();                  // the colour array leaves the current colour undefined
}

// The centre and the six handle ends in window pixels, top-left origin.
void project_handles(vorlscene& s, const vec3& centre, double arm) {
  GLdouble model[16], proj[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glGetDoublev(GL_PROJECTION_MATRIX, proj);
  glGetIntegerv(GL_VIEWPORT, viewport);
  for (int i = 0; i <= 6; ++i) {
    const vec3 p = i == 0 ? centre : add(centre, scale(axis_unit((i - 1) % 3), i > 3 ? -arm : arm));
    GLdouble x = 0, y = 0, z = 0;
    if (gluProject(p.x, p.y, p.z, model, proj, viewport, &x, &y, &z) == GL_TRUE)
      s.handle_points[size_t(i)] = make_vec2(x, viewport[1] + viewport[3] - y);
  }
}

void draw_handles(vorlscene& s, const scene_object& o, const typmshgrp& g, bool identification) {
  const double arm = length(o.rel_position) / 2;
  switch_gl(switch_lighting, false);
  switch_gl(switch_texture_2d, false);
  switch_gl(switch_depth_test, false);
  std::vector<line_vertex> lines;
  std::vector<std::pair<float, size_t>> runs;     // width, end of its lines
  for (int h = 1; h <= 6; ++h) {
    const bool hovered = h == s.picked_handle;
    const float width = identification ? (hovered ? pick_hover_width : pick_line_width)
                                       : line_width + (hovered ? hover_widening : 0);
    add_handle_lines(lines, g.centre, h, arm, handle_colour(h, identification));
    if (runs.empty() || runs.back().first != width) runs.emplace_back(width, 0);
    runs.back().second = lines.size();
  }
  draw_handle_lines(lines, runs);
  glLineWidth(line_width);
  switch_gl(switch_depth_test, true);
  switch_gl(switch_texture_2d, true);
  if (identification) return;
  switch_gl(switch_lighting, true);
  project_handles(s, g.centre, arm);
}

typmshgrp* selected_group(vorlscene& s, draw_rec& r, int index) {
  if (s.picked_object != index || !in_range(r.meshes, s.picked_mesh)) return nullptr;
  typmsh& m = r.meshes[size_t(s.picked_mesh)];
  return m.loaded && in_range(m.groups, s.picked_group) ? &m.groups[size_t(s.picked_group)] : nullptr;
}

void draw_meshes(vorlscene& s, draw_rec& r, int index, int pass, bool identification) {
  for (size_t m = 0; m < r.meshes.size(); ++m) {
    typmsh& mesh = r.meshes[m];
    const int32_t flags = m < r.mesh_flags.size() ? r.mesh_flags[m] : 0;
    if (!mesh.loaded || !mesh_in_pass(flags, pass, r.cockpit_view)) continue;
    if (identification && m >= size_t(code_room)) break;
    const bool selected_mesh = s.picked_object == index && s.picked_mesh == int(m);
    const int32_t alone = selected_mesh ? s.picked_group : -1;
    const auto draw_alone = [&](typmshgrp& g, int k) {
      if (k == alone) draw_selected(g, s);
      else draw_group(g, {.alpha_reduction = r.alpha_reduction});
    };
    if (!identification && index == marker_object) {   // rebuilt often: from memory, one draw a slot
      draw_mesh_coloured(mesh, r.alpha_reduction, alone, draw_alone);
      continue;
    }
    if (!identification && batches_on()) {
      draw_mesh_batched(mesh, r.alpha_reduction, alone, draw_alone);
      continue;
    }
    for (size_t k = 0; k < mesh.groups.size(); ++k) {
      typmshgrp& g = mesh.groups[k];
      if (identification) identify_group(g, index, int(m), int(k));
      else if (s.picked_object == index && s.picked_mesh == int(m) && s.picked_group == int(k)) draw_selected(g, s);
      else draw_group(g, {.alpha_reduction = r.alpha_reduction});
    }
  }
}

void draw_object(vorlscene& s, scene_object& o, int index, int pass, bool identification) {
  draw_rec& r = *o.draw;
  if (identification && (r.alpha_reduction != 0 || index >= code_room)) return;
  if (!r.has_meshes) {
    if (pass == 0 && !identification) draw_point_light(origin, 1);
    return;
  }
  const bool own_light = !identification && s.multilight;
  if (!identification) {
    switch_gl(switch_lighting, true);
    glEnable(GL_LIGHT0);
    set_light_colour(r.light);
  }
  if (own_light) point_light(object_light, false, 0, origin);
  draw_meshes(s, r, index, pass, identification);
  const bool handles = !identification || s.designer.identifying_handles;
  if (typmshgrp* g = selected_group(s, r, index); g && handles && pass == (r.cockpit_view ? 1 : 0))
    draw_handles(s, o, *g, identification);
  if (own_light) glDisable(GL_LIGHT0 + object_light);
}

// A flame strip or glow quad: corners at along x a and across x c, texture (u, v) per corner.
void textured_quad(const vec3& p, const vec3& a, const vec3& c, const double along[2], const double across[2],
                   const float u[2], const float v[2]) {
  glBegin(GL_QUADS);
  for (int k = 0; k < 4; ++k) {
    const int i = k == 1 || k == 2, j = k >= 2;   // (0,0) (1,0) (1,1) (0,1) over across and along
    const vec3 q = add(p, add(scale(a, along[j]), scale(c, across[i])));
    glTexCoord2f(u[i], v[j]);
    glVertex3d(q.x, q.y, q.z);
  }
  glEnd();
}

// A direction square to a that faces the eye (from p) as far as it can.
vec3 facing_side(const vec3& a, const vec3& p, const vec3& eye) {
  vec3 side = cross(a, sub(eye, p));
  if (length(side) < 1e-9) side = cross(a, std::fabs(a.y) < 0.9 ? vec3{0, 1, 0} : vec3{1, 0, 0});
  return normalise(side);
}

void draw_flame(const exhaust_entry& e, const vec3& eye) {
  const vec3 p = *e.position, a = normalise(*e.direction), c = facing_side(a, p, eye);
  const double half = std::sqrt(e.level) * e.width;
  const double flame_along[2] = {0, e.level * e.length}, flame_across[2] = {-half, half};
  static constexpr float flame_u[2] = {0.01f, 0.24f}, flame_v[2] = {0, 1};
  textured_quad(p, a, c, flame_along, flame_across, flame_u, flame_v);
  const double glow_a = 7 * e.level * e.width, glow_c = 7 * half;
  const double glow_along[2] = {-glow_a, glow_a}, glow_across[2] = {-glow_c, glow_c};
  static constexpr float glow_u[2] = {0.50390625f, 0.99609375f}, glow_v[2] = {0.00390625f, 0.498046875f};
  textured_quad(p, a, c, glow_along, glow_across, glow_u, glow_v);
}

void draw_exhausts(vorlscene&, scene_object& o, const vec3& eye) {
  glDepthMask(GL_FALSE);
  switch_gl(switch_lighting, false);
  switch_gl(switch_cull_face, false);
  switch_gl(switch_texture_2d, true);
  set_colour(0xFFFFFFFFu);
  for (const exhaust_entry& e : o.draw->exhausts) {
    if (e.level == 0 || !e.position || !e.direction) continue;
    bind_texture(e.texture ? e.texture : vorl_res.default_exhaust);
    draw_flame(e, eye);
  }
  bind_texture(0);
  switch_gl(switch_lighting, true);
  switch_gl(switch_cull_face, true);
  glDepthMask(GL_TRUE);
}

void refresh_exhausts(vorlscene& s, draw_rec& r, const vessel_design& d) {
  if (r.exhausts.size() != d.data.exhausts.size()) {   // the design's exhausts changed: no flames
    r.exhausts.clear();
    s.designer.exhaust_places.clear();
    return;
  }
  for (size_t i = 0; i < r.exhausts.size(); ++i) {
    const exhaust_def& e = d.data.exhausts[i];
    if (!exhaust_line(d, e, s.designer.exhaust_places[i])) r.exhausts[i].level = 0;
    r.exhausts[i].length = e.length;
    r.exhausts[i].width = e.width;
  }
}

// Exhausts belong to thrusters: attached ones stand where their thruster
// does, and copying a thruster copies its exhausts, attached or free.
bool exhausts_follow_thrusters(const vessel_design& d) {
  const auto owned = [&](const exhaust_def& e) { return in_range(d.data.thrusters, e.thruster); };
  return std::ranges::any_of(d.data.exhausts, owned);
}

void rebuild_slot(vorlscene& s, typmsh& m, const vessel_design& d, int kind) {
  std::vector<typmshgrp> fresh = slot_groups(d, kind);
  for (size_t i = 0; i < std::min(fresh.size(), m.groups.size()); ++i) fresh[i].diffuse = m.groups[i].diffuse;
  m.groups = std::move(fresh);
  m.group_count = int32_t(m.groups.size());
  m.loaded = true;
  s.designer.stale[size_t(kind)] = false;
}

void reset_markers(vorlscene& s) {
  draw_rec* r = record(s, marker_object);
  if (!r) return;
  for (typmsh& m : r->meshes) {
    m.groups.clear();
    m.group_count = 0;
  }
  s.designer.stale = s.designer.shown;
}

// The pick's own state: exact identification colours, nothing blended, lit or textured.
void pick_state(const vorlscene& s) {
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  perspective(s.width, s.height, 2 * s.half_fov * 180 / pi, near_plane, pick_far_plane);
  switch_gl(switch_texture_2d, false);
  switch_gl(switch_blend, false);
  switch_gl(switch_lighting, false);
  switch_gl(switch_line_smooth, false);
  switch_gl(switch_cull_face, true);
  glDisable(GL_COLOR_MATERIAL);
  glDisable(GL_DITHER);
  glCullFace(GL_BACK);
  glFrontFace(GL_CCW);
  if (gl_caps.shaders) gl_ext.glUseProgram(0);
}

}  // namespace

// --- Identification codes ---------------------------------------------------------------------

uint32_t identification_code(int object, int mesh, int group) {
  return uint32_t(object) + 16u * uint32_t(mesh) + 256u * uint32_t(group) + 273u;
}

std::optional<picked_element> decode_object_pixel(uint8_t r, uint8_t g, uint8_t b) {
  const uint32_t d = r + 256u * g + 65536u * b;
  if (d == 0 || r >= pure_negative || g >= pure_negative || b >= pure_negative) return std::nullopt;
  return picked_element{int32_t(d & 15) - 1, int32_t((d & 240) / 16) - 1, int32_t(d / 256) - 1};
}

int decode_handle_pixel(uint8_t r, uint8_t g, uint8_t b) {
  static constexpr uint8_t levels[2] = {pure, pure_negative};
  for (int n = 0; n < 2; ++n)
    for (int axis = 0; axis < 3; ++axis) {
      const uint8_t want[3] = {axis == 0 ? levels[n] : uint8_t(0), axis == 1 ? levels[n] : uint8_t(0),
                               axis == 2 ? levels[n] : uint8_t(0)};
      if (r == want[0] && g == want[1] && b == want[2]) return 1 + axis + 3 * n;
    }
  return 0;
}

// --- Start, the preview calls, vessel meshes ------------------------------------------------------

void start_scene(vorlscene& s) {
  s.designer = kvvorl_state{};
  const vec3 place = add(add_backdrop_earth(s).position, earth_vessel_offset);
  s.objects.clear();
  for (int kind : {vessel_object, marker_object}) {
    auto o = std::make_unique<scene_object>();
    o->position = place;
    o->radius = object_visibility;
    o->kind = kind;
    o->draw = std::make_unique<draw_rec>();
    s.objects.push_back(std::move(o));
  }
  draw_rec& markers = *s.objects[marker_object]->draw;
  markers.meshes.resize(marker_slots);
  for (typmsh& m : markers.meshes) m.loaded = true;
  markers.mesh_flags.assign(marker_slots, marker_mesh_flags);
  markers.mesh_count = marker_slots;
  s.objects[vessel_object]->draw->alpha_reduction = marker_page_alpha;
  s.camera.target = place;
  s.camera.position = add(place, vessel_camera_offset);
  object_code.draw_object = draw_object;
  object_code.draw_exhausts = draw_exhausts;
}

static preview_anims* vessel_anims(vorlscene& s) {
  draw_rec* r = record(s, vessel_object);
  return r ? &r->anims : nullptr;
}

preview_calls scene_preview_calls() {
  preview_calls c;
  c.mesh_added = [](const vessel_design& d, int index) {
    if (preview_anims* a = vessel_anims(vorl_scene)) forget_mesh_poses(*a, index);
    return load_vessel_mesh(vorl_scene, d, index);
  };
  c.anim_registered = [](const vessel_design& d, int anim) {
    if (preview_anims* a = vessel_anims(vorl_scene)) register_preview_animation(*a, d, anim);
  };
  c.comp_registered = [](const vessel_design& d, int anim, int comp) {
    if (preview_anims* a = vessel_anims(vorl_scene)) register_preview_component(*a, d, anim, comp);
  };
  c.comp_updated = [](const vessel_design& d, int anim, int comp) {
    if (preview_anims* a = vessel_anims(vorl_scene)) refresh_preview_component(*a, d, anim, comp);
  };
  c.anim_moved = [](int anim, double position) {
    if (preview_anims* a = vessel_anims(vorl_scene)) move_preview_animation(*a, anim, position);
  };
  c.design_reset = [] {
    if (preview_anims* a = vessel_anims(vorl_scene)) *a = preview_anims{};
    release_vessel_meshes(vorl_scene);
    reset_markers(vorl_scene);
  };
  c.markers_show = [](const vessel_design& d, int kind) { show_markers(vorl_scene, d, kind); };
  c.markers_changed = [](const vessel_design& d, int kind) {
    if (kind >= 0 && kind < marker_slots && vorl_scene.designer.shown[size_t(kind)]) rebuild_markers(vorl_scene, d, kind);
  };
  c.markers_hide = [](int kind) { hide_markers(vorl_scene, kind); };
  c.markers_mode = [](bool on) { set_markers_mode(vorl_scene, on); };
  c.marker_colour = [](int kind, int element, uint32_t colour) { set_marker_colour(vorl_scene, kind, element, colour); };
  c.vessel_shown = [](const std::string& name, double size) { show_vessel(vorl_scene, name, size); };
  c.group_reference = [](int mesh, int group, vec3& out) { return vessel_group_reference(vorl_scene, mesh, group, out); };
  c.pick = [](int x, int y, bool handles) { pick(vorl_scene, x, y, handles); };
  return c;
}

double load_vessel_mesh(vorlscene& s, const vessel_design& d, int index) {
  draw_rec* r = record(s, vessel_object);
  if (!r || !in_range(d.data.meshes, index)) return 0;
  if (size_t(index) >= r->meshes.size()) {
    r->meshes.resize(size_t(index) + 1);
    r->mesh_flags.resize(size_t(index) + 1, 0);
    r->mesh_count = int32_t(r->meshes.size());
  }
  const mesh_entry& entry = d.data.meshes[size_t(index)];
  typmsh& m = r->meshes[size_t(index)];
  release_mesh_gl(m);
  m = typmsh{};
  r->mesh_flags[size_t(index)] = entry.visibility;
  const read_result read = read_installed_mesh(m, ".", name_of(entry.name, sizeof entry.name), true);
  if (!read) {                                      // stays unloaded and undrawn; its slot still counts
    m = typmsh{};
    vorl_log("KVVORL", read.message);
    return 0;
  }
  for (typmshgrp& g : m.groups) g.buffered = true;
  upload_mesh_textures(m);
  return m.radius;
}

void release_vessel_meshes(vorlscene& s) {
  draw_rec* r = record(s, vessel_object);
  if (!r) return;
  for (typmsh& m : r->meshes) release_mesh_gl(m);
  r->meshes.clear();
  r->mesh_flags.clear();
  r->mesh_count = 0;
}

void stop_scene(vorlscene& s) {
  release_vessel_meshes(s);
  object_code = object_interface{};
  s.objects.clear();
  s.designer = kvvorl_state{};
}

bool vessel_group_reference(const vorlscene& s, int mesh, int group, vec3& out) {
  const draw_rec* r = record(s, vessel_object);
  if (!r || !in_range(r->meshes, mesh) || !in_range(r->meshes[size_t(mesh)].groups, group)) return false;
  out = r->meshes[size_t(mesh)].groups[size_t(group)].centre;
  return true;
}

bool selection_pulsing(vorlscene& s) {
  for (int i : {vessel_object, marker_object})
    if (draw_rec* r = record(s, i); r && r->has_meshes && selected_group(s, *r, i)) return true;
  return false;
}

void show_vessel(vorlscene& s, const std::string& name, double size) {
  for (int i : {vessel_object, marker_object})
    if (record(s, i)) s.objects[size_t(i)]->radius = std::max(size, object_visibility);
  if (record(s, vessel_object)) s.objects[vessel_object]->name = name.substr(0, 64);
}

// --- Markers -----------------------------------------------------------------------------------

void rebuild_markers(vorlscene& s, const vessel_design& d, int kind) {
  draw_rec* r = record(s, marker_object);
  if (!r || kind < 0 || kind >= marker_slots || !in_range(r->meshes, kind)) return;
  rebuild_slot(s, r->meshes[size_t(kind)], d, kind);
  if (kind == thruster_slot && s.designer.shown[exhaust_slot] && exhausts_follow_thrusters(d))
    rebuild_slot(s, r->meshes[exhaust_slot], d, exhaust_slot);
}

void show_markers(vorlscene& s, const vessel_design& d, int kind) {
  if (kind < 0 || kind >= marker_slots) return;
  s.designer.shown[size_t(kind)] = true;
  rebuild_markers(s, d, kind);
}

void hide_markers(vorlscene& s, int kind) {
  draw_rec* r = record(s, marker_object);
  if (!r || kind < 0 || kind >= marker_slots || !in_range(r->meshes, kind)) return;
  s.designer.shown[size_t(kind)] = s.designer.stale[size_t(kind)] = false;
  r->meshes[size_t(kind)].groups.clear();
  r->meshes[size_t(kind)].group_count = 0;
}

void set_markers_mode(vorlscene& s, bool on) {
  if (draw_rec* r = record(s, vessel_object)) r->alpha_reduction = on ? marker_page_alpha : 0;
}

void set_marker_colour(vorlscene& s, int kind, int element, packed_colour c) {
  draw_rec* r = record(s, marker_object);
  if (!r || kind < 0 || kind >= marker_slots || !in_range(r->meshes, kind) || element < 0) return;
  std::vector<typmshgrp>& groups = r->meshes[size_t(kind)].groups;
  const size_t per = size_t(marker_groups_per_element[size_t(kind)]), first = size_t(element) * per;
  for (size_t i = first; i < std::min(first + per, groups.size()); ++i) groups[i].diffuse = c;
}

// --- Frame, drawing, picking ---------------------------------------------------------------------

void update_scene(vorlscene& s, const vessel_design& d) {
  for (int kind = 0; kind < marker_slots; ++kind)
    if (s.designer.shown[size_t(kind)] && s.designer.stale[size_t(kind)]) rebuild_markers(s, d, kind);
  draw_rec* r = record(s, vessel_object);
  if (!r) return;
  r->cockpit_view = s.cockpit_view;
  for (size_t m = 0; m < std::min(r->mesh_flags.size(), d.data.meshes.size()); ++m)
    r->mesh_flags[m] = d.data.meshes[m].visibility;
  refresh_exhausts(s, *r, d);
  try {
    update_animations(r->anims, r->meshes);
  } catch (const std::exception&) {
    report_error("VORL", "Error in vorlreupdatevals");
  }
}

void render_preview(vorlscene& s, const vessel_design& d) {
  update_scene(s, d);
  render_scene(s);
}

void set_exhaust_levels(vorlscene& s, const vessel_design& d, double level) {
  draw_rec* r = record(s, vessel_object);
  if (!r) return;
  s.designer.exhaust_places.assign(d.data.exhausts.size(), exhaust_place{});
  r->exhausts.assign(d.data.exhausts.size(), exhaust_entry{});
  for (size_t i = 0; i < r->exhausts.size(); ++i) {
    r->exhausts[i].level = level;
    r->exhausts[i].position = &s.designer.exhaust_places[i].position;
    r->exhausts[i].direction = &s.designer.exhaust_places[i].direction;
  }
  refresh_exhausts(s, *r, d);
}

void pick(vorlscene& s, int x, int y, bool handles) {
  try {
    pick_state(s);
    glPushMatrix();
    glScaled(1, 1, -1);
    apply_camera(s);
    update_relative_positions(s);
    vorl_view.frustum = current_frustum();
    s.designer.identifying_handles = handles;
    draw_scene_objects(s, true);
    s.designer.identifying_handles = false;
    glPopMatrix();
    uint8_t px[4] = {0, 0, 0, 0};
    glReadPixels(x, s.height - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
    if (handles) {
      s.picked_handle = decode_handle_pixel(px[0], px[1], px[2]);
    } else if (const auto p = decode_object_pixel(px[0], px[1], px[2])) {
      s.picked_object = p->object;
      s.picked_mesh = p->mesh;
      s.picked_group = p->group;
    }
  } catch (const std::exception&) {
    s.designer.identifying_handles = false;
    report_error("Graph", "Error in getpick");
  }
  glEnable(GL_COLOR_MATERIAL);
  glEnable(GL_DITHER);
}
