// vorldraw: frame set-up, sky, suns, planets, objects, exhausts, post effect.
#include "render/vorldraw.h"

#include <cmath>
#include <exception>
#include <string>
#include <utility>

#include "gl/glmesh.h"
#include "render/vorlaux.h"
#include "render/vorlshdr.h"
#include "render/vorlutil.h"

vorldraw_state vorl_view;

namespace {

constexpr size_t no_index = size_t(-1);

// Runs one pass; a failure inside is reported ("Error in " and the pass, with
// " (i=" index ")" for a pass over one element) and the frame goes on. The
// text is made only on failure: a frame allocates nothing for it.
template <class F> void guarded(const char* pass, size_t index, F&& body) {
  try {
    body();
  } catch (const std::exception&) {
    std::string text = std::string("Error in ") + pass;
    if (index != no_index) text += " (i=" + std::to_string(index) + ")";
    report_error("Graph", text);
  }
}

template <class F> void guarded(const char* pass, F&& body) { guarded(pass, no_index, std::forward<F>(body)); }

// --- Frame set-up ---------------------------------------------------------------------

void one_time_state() {
  static constexpr GLfloat ambient[4] = {0.5f, 0.5f, 0.7f, 1}, black[4] = {0, 0, 0, 1};
  for (GLenum h : {GL_PERSPECTIVE_CORRECTION_HINT, GL_POINT_SMOOTH_HINT, GL_LINE_SMOOTH_HINT}) glHint(h, GL_NICEST);
  glEnable(GL_POINT_SMOOTH);
  glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
  glEnable(GL_COLOR_MATERIAL);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 0);
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, black);
  glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, black);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
  glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
  glShadeModel(GL_SMOOTH);
  glLineWidth(1);
  glEnable(GL_NORMALIZE);
  if (gl_caps.shaders) gl_ext.glUseProgram(0);
  gl_state.material_known = false;  // set here behind the state record
}

bool bind_screen_frame(const vorlscene& s) {
  if (!gl_caps.framebuffers || !s.post_effects || !s.render[rt_frame_target]) return false;
  gl_ext.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, s.render[rt_frame_target]);
  if (gl_ext.glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_COMPLETE_EXT) return true;
  gl_ext.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
  return false;
}

void frame_set_up(vorlscene& s) {
  vorl_view.screen_frame = false;
  s.sky = sky_colour(s);
  s.daylight = double(s.sky >> 24) / 255.0;
  const colquad sky = unpack_rgba(s.sky);
  vorl_view.screen_frame = bind_screen_frame(s);
  glClearColor(sky.r, sky.g, sky.b, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  const bool target = s.target_texture != 0 && s.target_size > 0;
  const double fov = 2 * s.half_fov * 180 / pi;
  if (target) perspective(s.target_size, s.target_size, fov, near_plane, far_plane);
  else perspective(s.width, s.height, fov, near_plane, far_plane);
  switch_gl(switch_blend, true);
  blend_func(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glPointSize(1);
  switch_gl(switch_line_smooth, true);              // the 2D layer switches it off again
  switch_gl(switch_cull_face, true);
  glCullFace(GL_BACK);
  glFrontFace(GL_CCW);
  glScaled(1, 1, -1);
  if (gl_caps.shaders) gl_ext.glUseProgram(0);
  glPolygonMode(GL_FRONT_AND_BACK, s.wireframe ? GL_LINE : GL_FILL);
}

// --- Sky and suns ----------------------------------------------------------------------

void draw_star_field(const vorlscene& s) {
  if (s.star_indices.empty()) return;
  switch_gl(switch_lighting, false);
  switch_gl(switch_depth_test, false);
  switch_gl(switch_texture_2d, false);
  client_arrays(array_Vertex | array_Colour);
  bind_buffer(GL_ARRAY_BUFFER_ARB, 0);
  bind_buffer(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
  glDisable(GL_POINT_SMOOTH);       // a smoothed 1-pixel point is a dimmer 2 x 2 smear, and on the
                                    // software renderer it costs as much as the rest of the sky
  arrays_moved();
  glVertexPointer(3, GL_FLOAT, 0, s.star_points.data());
  glColorPointer(4, GL_UNSIGNED_BYTE, 0, s.star_colours.data());
  glDrawElements(GL_POINTS, GLsizei(s.star_indices.size()), GL_UNSIGNED_SHORT, s.star_indices.data());
  glEnable(GL_POINT_SMOOTH);
  forget_colour();                  // the colour array leaves the current colour undefined
}

void draw_sprite_group(typmshgrp& g, double size, uint8_t alpha) {
  g.diffuse = (g.diffuse & 0x00FFFFFFu) | uint32_t(alpha) << 24;
  draw_group_simply(g, texture_own, false, {size, size, size});
}

void draw_sun(vorlscene& s, vorl_star& star) {
  const vec3 d = star.rel_position;
  const double dist = length(d);
  const double apparent = apparent_size(star.radius, dist, s.height, s.half_fov);
  if (apparent < 0.01 || !star.sprite || star.sprite->groups.size() < 2 || dist <= 0) {
    draw_point_light(d, apparent);
    return;
  }
  const double k = sun_draw_distance / dist;          // brought inside the far plane
  switch_gl(switch_lighting, false);
  switch_gl(switch_depth_test, false);
  switch_gl(switch_cull_face, false);               // the mirrored view turns the quads' winding
  glPushMatrix();
  glTranslated(d.x * k, d.y * k, d.z * k);
  face_eye(d);
  draw_sprite_group(star.sprite->groups[0], star.radius * k, 255);
  draw_sprite_group(star.sprite->groups[1], star.radius * (dist / star.radius) / 80 * k, glow_alpha(apparent));
  glPopMatrix();
  switch_gl(switch_cull_face, true);                // what follows culls again, with no planet in view too
}

void place_sun_light(const vorlscene& s) {
  const vorl_star* nearest = nullptr;
  for (const auto& st : s.stars)
    if (!nearest || length(st->rel_position) < length(nearest->rel_position)) nearest = st.get();
  if (nearest) point_light(0, false, 0, nearest->rel_position);
}

// --- Planets, objects, exhausts ------------------------------------------------------------

void planets_pass(vorlscene& s, int pass) {
  if (!planet_code.draw) return;
  for (size_t i = 0; i < s.planets.size(); ++i)
    guarded("Renderplanets", i, [&] { planet_code.draw(*s.planets[i], int(i), pass); });
}

void exhausts_pass(vorlscene& s) {
  if (!object_code.draw_exhausts) return;
  for (size_t i = 0; i < s.objects.size(); ++i) {
    scene_object* o = s.objects[i].get();
    if (!o || !o->draw || o->draw->exhausts.empty()) continue;
    guarded("renderpars", i, [&] {
      double m[16];
      euler_matrix(o->orientation, 1, m);             // world into the object's frame
      const vec3 c = scale(o->rel_position, -1);
      const vec3 eye{m[0] * c.x + m[4] * c.y + m[8] * c.z, m[1] * c.x + m[5] * c.y + m[9] * c.z,
                     m[2] * c.x + m[6] * c.y + m[10] * c.z};
      glPushMatrix();
      enter_object_frame(*o);
      object_code.draw_exhausts(s, *o, eye);
      glPopMatrix();
    });
  }
}

void post_effect(const vorlscene& s) {
  if (!gl_caps.framebuffers) return;
  gl_ext.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
  mode_2d(s.width, s.height);
  if (vorl_view.screen_frame && s.render[rt_colour]) draw_textured(s.render[rt_colour], true, 0xFFFFFFFFu, 0, 0, s.width, s.height);
}

void copy_to_target(const vorlscene& s) {
  if (!s.target_texture || s.target_size <= 0) return;
  bind_texture(s.target_texture);
  glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 0, 0, s.target_size, s.target_size, 0);
  bind_texture(0);
}

}  // namespace

// --- Public ---------------------------------------------------------------------------------

void update_relative_positions(vorlscene& s) {
  const vec3 eye = s.camera.position;
  for (auto& st : s.stars) st->rel_position = sub(st->position, eye);
  for (auto& p : s.planets) p->rel_position = sub(p->position, eye);
  for (auto& o : s.objects)
    if (o) o->rel_position = sub(o->position, eye);
}

packed_colour sky_colour(const vorlscene& s) {
  const drawplanetrec* nearest = nullptr;
  for (const auto& p : s.planets)
    if (!nearest || length(p->rel_position) < length(nearest->rel_position)) nearest = p.get();
  return nearest && planet_code.sky_colour ? planet_code.sky_colour(*nearest) : default_sky;
}

uint8_t glow_alpha(double apparent) { return apparent >= 0.1 ? 255 : uint8_t(std::lround(apparent / 0.1 * 255)); }

void face_eye(const vec3& p) {
  const vec3 x = normalise(scale(p, -1));
  const vec3 up = std::fabs(x.y) < 0.9 ? vec3{0, 1, 0} : vec3{1, 0, 0};
  const vec3 y = normalise(sub(up, scale(x, dot(up, x))));
  const vec3 z = cross(x, y);
  const double m[16] = {x.x, x.y, x.z, 0, y.x, y.y, y.z, 0, z.x, z.y, z.z, 0, 0, 0, 0, 1};
  glMultMatrixd(m);
}

void apply_camera(const vorlscene& s) { euler_rotate(s.camera.angles, 1); }

void enter_object_frame(const scene_object& o) {
  glTranslated(o.rel_position.x, o.rel_position.y, o.rel_position.z);
  euler_rotate(o.orientation, -1);
}

void draw_scene_objects(vorlscene& s, bool identification) {
  if (!object_code.draw_object) return;
  for (int pass = 0; pass < 2; ++pass)
    for (size_t i = s.objects.size(); i-- > 0;) {
      scene_object* o = s.objects[i].get();
      if (!o || !o->draw || !sphere_visible(vorl_view.frustum, o->radius, o->rel_position)) continue;
      guarded("smobs_render", i, [&] {
        glPushMatrix();
        enter_object_frame(*o);
        object_code.draw_object(s, *o, int(i), pass, identification);
        glPopMatrix();
      });
    }
}

void draw_point_light(const vec3& p, double point_size) {
  switch_gl(switch_depth_test, false);
  switch_gl(switch_lighting, false);
  switch_gl(switch_texture_2d, false);
  glPointSize(float(std::max(point_size, 1.0)));
  set_colour(0xFFFFFFFFu);
  glBegin(GL_POINTS);
  glVertex3d(p.x, p.y, p.z);
  glEnd();
  glPointSize(1);
}

void render_scene(vorlscene& s) {
  update_relative_positions(s);
  if (s.first_frame) {
    one_time_state();
    s.first_frame = false;
  }
  guarded("Renderscn", [&] { frame_set_up(s); });
  if (s.camera_light) point_light(1, false, 0, {0, 0, 0});        // at the eye
  glDisable(GL_LIGHT1);
  glPushMatrix();
  apply_camera(s);
  if (s.draw_sky && s.daylight < 0.5) guarded("sky_render", [&] { draw_star_field(s); });
  guarded("Renderstar", [&] {
    for (auto& st : s.stars) draw_sun(s, *st);
    place_sun_light(s);
  });
  planets_pass(s, 0);
  glClear(GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  planets_pass(s, 1);
  vorl_view.frustum = current_frustum();
  restore_3d_switches();
  if (s.camera_light) glEnable(GL_LIGHT1);
  draw_scene_objects(s, false);
  glDisable(GL_LIGHT1);
  exhausts_pass(s);
  glPopMatrix();
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  guarded("Renderscn", [&] {
    post_effect(s);
    copy_to_target(s);
  });
}
