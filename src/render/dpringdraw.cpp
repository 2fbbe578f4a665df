// dpringdraw: surface patches, clouds, haze and rings of one planet.
#include "render/dpringdraw.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "gl/glgr.h"
#include "gl/glmesh.h"
#include "render/dpringbs.h"
#include "render/vorldraw.h"
#include "render/vorlshdr.h"

namespace {

// --- Programs ----------------------------------------------------------------------------

bool use_program(vorl_program_id id) {
  const GLuint h = vorl_shaders.program[id].handle;
  if (!vorl_scene.advanced || !gl_caps.shaders || h == 0) return false;
  gl_ext.glUseProgram(h);
  return true;
}

void stop_program() {
  if (gl_caps.shaders) gl_ext.glUseProgram(0);
}

void set_int(vorl_program_id id, const char* name, int v) { gl_ext.glUniform1i(uniform_of(id, name), v); }
void set_float(vorl_program_id id, const char* name, double v) { gl_ext.glUniform1f(uniform_of(id, name), float(v)); }

void planet_uniforms(const drawplanetrec& p, double altitude) {
  set_int(prog_planet, "drwm", vorl_scene.air_shade && p.atmosphere ? 4 : 0);
  set_int(prog_planet, "istx2", 0);
  set_float(prog_planet, "rad", p.radius);
  set_float(prog_planet, "alt", altitude);
  set_float(prog_planet, "hfo", planet_fog_factor);
  if (!p.atmosphere) return;
  gl_ext.glUniform4f(uniform_of(prog_planet, "FogColor"), 1.1f * p.colour[0], 1.1f * p.colour[1], 1.1f * p.colour[2], 1);
  set_float(prog_planet, "FogDensity", planet_fog_density);
}

// --- Patches -------------------------------------------------------------------------------

GLuint tile_texture(const planet_layer& l, const planet_tile& t) {
  const GLuint name = size_t(t.texture) < l.textures.size() ? l.textures[size_t(t.texture)] : 0;
  return name;
}

// The patches of one level at radius r; eye is the camera relative to the centre.
void draw_tiles(planet_layer& l, int level, double r, uint8_t alpha, const vec3& eye) {
  for (planet_tile& t : l.levels[size_t(level)].tiles) {
    if (behind_horizon(eye, r, scale(t.centre, r), t.bound * r)) continue;
    t.shape->diffuse = pack_colour(255, 255, 255, alpha);
    draw_params dp;
    const GLuint tex = tile_texture(l, t);
    dp.texture = tex ? int32_t(tex) : texture_off;
    dp.rotation = {0, t.angle, 0};
    dp.scale = {r, r, r};
    draw_group(*t.shape, dp);
  }
}

void draw_surface(drawplanetrec& p, planet_res& r, int level, const vec3& eye) {
  const bool shaded = use_program(prog_planet);
  if (shaded) planet_uniforms(p, length(eye) - p.radius);
  const uint8_t alpha = p.rings ? 255 : uint8_t(std::lround(255 - vorl_scene.daylight));
  draw_tiles(r.layers[layer_surface], level, p.radius, alpha, eye);
  stop_program();
}

void draw_clouds(planet_res& r, const drawplanetrec& p, const vec3& eye) {
  planet_layer& l = r.layers[layer_clouds];
  const int level = drawn_level(l);
  if (!l.mesh.loaded && (level == 0 || l.textures.empty())) return;
  if (use_program(prog_clouds)) {
    set_int(prog_clouds, "drwm", 0);
    set_float(prog_clouds, "sdist", 0);
    set_float(prog_clouds, "fdist", 1);
    set_float(prog_clouds, "dst", 1);
  }
  const double lifted = p.radius * cloud_lift;
  switch_gl(switch_depth_test, false);
  if (l.mesh.loaded) draw_mesh(l.mesh, {0, 0, 0}, {0, 0, 0}, {lifted, lifted, lifted});
  else draw_tiles(l, level, lifted, 255, eye);
  switch_gl(switch_depth_test, true);
  stop_program();
}

// --- Haze and rings --------------------------------------------------------------------

// Strips round the limb as the camera sees it: the circle where its sight lines touch the sphere.
void draw_haze(const drawplanetrec& p, planet_res& r, const vec3& eye, std::initializer_list<size_t> strips) {
  const double d = length(eye), R = p.radius;
  if (!r.haze.loaded || !(d > R)) return;
  planet_guarded("Error in hazerender", [&] {
    const double offset = R * R / d, limb = R * std::sqrt(1 - (R / d) * (R / d));
    const vec3 at = scale(eye, offset / d);
    glPushMatrix();
    glTranslated(at.x, at.y, at.z);
    face_eye(scale(eye, -1));
    switch_gl(switch_lighting, false);
    switch_gl(switch_depth_test, false);
    switch_gl(switch_cull_face, false);
    for (size_t i : strips) {
      typmshgrp& g = r.haze.groups[i];
      g.diffuse = pack_float_colour(p.colour[0], p.colour[1], p.colour[2], 1);
      draw_group_simply(g, r.haze_texture ? int32_t(r.haze_texture) : texture_off, false, {limb, limb, limb});
    }
    switch_gl(switch_cull_face, true);
    switch_gl(switch_depth_test, true);
    switch_gl(switch_lighting, true);
    glPopMatrix();
  });
}

void draw_rings(planet_res& r, const drawplanetrec& p, const vec3& eye) {
  planet_layer& l = r.layers[layer_rings];
  typmsh& band = r.close_rings.built && length(eye) < 2 * p.radius ? r.close_rings.mesh : r.ring_band;
  const bool textured_band = band.loaded && !l.textures.empty() && l.built > 0;
  if (!l.mesh.loaded && !textured_band) return;
  if (use_program(prog_ring)) {
    set_float(prog_ring, "sdist", 0);
    set_float(prog_ring, "fdist", 1);
    const vec3 pov = normalise(eye);
    gl_ext.glUniform3f(uniform_of(prog_ring, "pov"), float(pov.x), float(pov.y), float(pov.z));
  }
  switch_gl(switch_lighting, false);
  switch_gl(switch_cull_face, false);
  glDepthMask(GL_FALSE);
  const vec3 size{p.radius, p.radius, p.radius};
  if (l.mesh.loaded) {
    draw_mesh(l.mesh, {0, 0, 0}, {0, 0, 0}, size);
  } else {
    band.groups[0].diffuse = 0xFFFFFFFFu;
    draw_group_simply(band.groups[0], l.textures[0] ? int32_t(l.textures[0]) : texture_off, false, size);
  }
  glDepthMask(GL_TRUE);
  switch_gl(switch_cull_face, true);
  switch_gl(switch_lighting, true);
  stop_program();
}

// How far from its centre the planet's drawing reaches, in planet radii: the
// clouds, the haze (never beyond the atmosphere's height off the limb), the
// rings and the meshes that take the place of textures.
double drawn_extent(planet_res& r, const drawplanetrec& p) {
  double e = std::max(cloud_lift, 1 + haze_height(p));
  if (p.rings) e = std::max(e, p.ring_outer);
  for (const planet_layer& l : r.layers)
    if (l.mesh.loaded) e = std::max(e, l.mesh.radius * cloud_lift);
  return e;
}

void draw_body(drawplanetrec& p, int index) {
  planet_res& r = planet_state(p);
  planet_layer& surface = r.layers[layer_surface];
  const vec3 eye = scale(p.rel_position, -1);
  const int level = drawn_level(surface);
  if (!surface.mesh.loaded && level == 0) return;
  const std::string i = std::to_string(index) + ")";
  switch_gl(switch_lighting, true);
  switch_gl(switch_depth_test, true);
  switch_gl(switch_cull_face, true);
  draw_haze(p, r, eye, {1, 2});
  if (surface.mesh.loaded) {
    draw_mesh(surface.mesh, {0, 0, 0}, {0, 0, 0}, {p.radius, p.radius, p.radius});
    draw_haze(p, r, eye, {0});
    return;
  }
  draw_surface(p, r, level, eye);
  planet_guarded("Error in pldrawclouds (i=" + i, [&] { draw_clouds(r, p, eye); });
  draw_haze(p, r, eye, {0});
  if (p.rings) planet_guarded("Error in pldrawrings (i=" + i, [&] { draw_rings(r, p, eye); });
}

}  // namespace

double planet_draw_scale(double distance, double radius) {
  if (!(distance > 0)) return 1;
  return std::min(1.0, std::max(planet_draw_distance / distance, near_surface_draw / (distance - radius)));
}

void draw_planet(drawplanetrec& p, int index, int pass) {
  if (pass != 0) return;
  const double k = planet_draw_scale(length(p.rel_position), p.radius);
  glPushMatrix();
  glTranslated(p.rel_position.x * k, p.rel_position.y * k, p.rel_position.z * k);
  glScaled(k, k, k);
  if (sphere_visible(current_frustum(), p.radius * drawn_extent(planet_state(p), p), {0, 0, 0}))  // else no pixel of it shows
    planet_guarded("Error in drwoplanet (i=" + std::to_string(index) + ")", [&] { draw_body(p, index); });
  glPopMatrix();
}
