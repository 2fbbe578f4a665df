// vorlaux: engine start in its order, resource release, the sun and the star field.
#include "render/vorlaux.h"

#include <cmath>

#include "gl/glgr.h"
#include "gl/glmesh.h"
#include "mesh/texfile.h"
#include "render/vorlshdr.h"
#include "render/vorlutil.h"

vorl_resources vorl_res;
vorl_globals vorl_switches;
vorlscene vorl_scene;
planet_interface planet_code;
object_interface object_code;

namespace {

// --- Switches -------------------------------------------------------------------------

void reset_switches(vorlscene& s) {
  vorl_switches = vorl_globals{};
  glmesh.buffers_on = true;
  s.multilight = s.shadows = s.multishadow = s.terrain = s.advanced = false;
  s.second_camera = s.air_shade = s.wireframe = s.post_effects = false;
  s.shadow_level = 3;
  s.shadow_map_size = 512;
  s.second_render_size = 256;
  s.camera_light = true;
  s.menu_open = false;
  s.menu_key = 122;
  s.menu_key_name = "F11";
  s.screenshot_key = 120;
  s.screenshot_key_name = "F9";
}

// --- Textures -------------------------------------------------------------------------

GLuint file_texture(const std::string& path, int flags) {
  rgba_image img;
  if (!decode_image(path, img) || img.width <= 0 || img.height <= 0) return 0;
  return texture_from_pixels(img.width, img.height, img.pixels.data(), flags);
}

void make_render_textures(vorlscene& s) {
  if (gl_caps.framebuffers) {
    GLuint fb[2] = {0, 0};
    gl_ext.glGenFramebuffersEXT(2, fb);
    s.render[rt_frame_screen] = fb[0];
    s.render[rt_frame_target] = fb[1];
    s.render[rt_colour] = target_texture(s.width, s.height, texture_Linear);
    gl_ext.glGenRenderbuffersEXT(1, &s.render[rt_depth]);
    gl_ext.glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, s.render[rt_depth]);
    gl_ext.glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, s.width, s.height);
    gl_ext.glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, 0);
    gl_ext.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, fb[1]);
    gl_ext.glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D,
                                     s.render[rt_colour], 0);
    gl_ext.glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                                        s.render[rt_depth]);
    gl_ext.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
  }
  s.render[rt_quarter] = target_texture(std::max(1, s.width / 4), std::max(1, s.height / 4), texture_Linear);
  if (gl_caps.shaders) s.render[rt_shadow] = depth_texture(s.shadow_map_size, true);
}

// Two flat grids of 16 x 16 cells, u and v across them, one per gradient.
void make_grids() {
  for (int k = 0; k < 2; ++k) {
    typmsh& m = vorl_res.grids[k];
    m.groups.assign(1, typmshgrp{});
    typmshgrp& g = m.groups[0];
    for (int i = 0; i <= 16; ++i)
      for (int j = 0; j <= 16; ++j)
        g.vertices.push_back(make_vertex({j / 16.0 - 0.5, 0, i / 16.0 - 0.5}, {0, 1, 0}, j / 16.0, i / 16.0));
    for (int i = 0; i < 16; ++i)
      for (int j = 0; j < 16; ++j) {
        int p = i * 17 + j, q = p + 17;
        g.indices.insert(g.indices.end(), {p, q, p + 1, p + 1, q, q + 1});
      }
    g.texture.index = int32_t(vorl_res.sprites[k == 0 ? tex_gradient_day : tex_gradient_night]);
    g.buffered = true;
    m.group_count = 1;
    m.loaded = true;
  }
}

void make_sprites() {
  for (int t = 0; t < engine_texture_count; ++t)
    vorl_res.sprites[t] = upload_engine_texture(make_engine_texture(engine_texture(t)));
  typmsh& sun = vorl_res.sun_sprite;
  sun.groups.assign(2, typmshgrp{});
  for (int k = 0; k < 2; ++k) {
    add_sprite_quad(sun.groups[k], 16, 16);
    sun.groups[k].texture.index = int32_t(vorl_res.sprites[k == 0 ? tex_sun_core : tex_glow]);
  }
  sun.group_count = 2;
  sun.loaded = true;
  typmsh& flare = vorl_res.flare_sprite;
  flare.groups.assign(1, typmshgrp{});
  add_sprite_quad(flare.groups[0], 16, 16);
  flare.groups[0].texture.index = int32_t(vorl_res.sprites[tex_flare]);
  flare.group_count = 1;
  flare.loaded = true;
}

// --- Backdrop ---------------------------------------------------------------------------

void add_sun(vorlscene& s) {
  auto sun = std::make_unique<vorl_star>();
  sun->name = "Sun";
  sun->radius = sun_radius;
  sun->sprite = &vorl_res.sun_sprite;
  s.stars.push_back(std::move(sun));
}

void build_backdrop(vorlscene& s) {
  add_sun(s);
  try {
    build_star_field(s);
  } catch (...) {
    report_error("VORLAUX", "Error in setstars");
  }
}

void delete_render(vorlscene& s) {
  if (gl_caps.framebuffers) {
    const GLuint fb[2] = {s.render[rt_frame_screen], s.render[rt_frame_target]};
    gl_ext.glDeleteFramebuffersEXT(2, fb);
    gl_ext.glDeleteRenderbuffersEXT(1, &s.render[rt_depth]);
  }
  for (render_slot t : {rt_colour, rt_quarter, rt_shadow, rt_second, rt_large}) release_texture(s.render[t]);
  s.render.fill(0);
}

}  // namespace

int switch_flags() {
  return texture_Repeat | (vorl_switches.linear_filtering ? texture_Linear : 0) |
         (vorl_switches.compression ? texture_Compressed : 0);
}

GLuint upload_engine_texture(const rgba_image& img) {
  if (img.width <= 0 || img.height <= 0) return 0;
  return texture_from_pixels(img.width, img.height, img.pixels.data(), switch_flags());
}

void build_star_field(vorlscene& s) {
  s.star_points.clear();
  s.star_colours.clear();
  s.star_indices.clear();
  for (int i = 0; i < star_count; ++i) {
    const double lon = -pi + 2 * pi * random_next();
    const double lat = -pi / 2 + pi * random_next();
    random_next();                  // the magnitude: drawn for the sequence, the colour stays white
    const vec3 p{100 * std::cos(lat) * std::cos(lon), 100 * std::sin(lat), 100 * std::cos(lat) * std::sin(lon)};
    s.star_points.push_back(to_svec(p));
    s.star_colours.push_back(0xFFFFFFFFu);
    s.star_indices.push_back(uint16_t(i));
  }
}

void start_engine(vorlscene& s, int width, int height, progress_fn progress) {
  reset_switches(s);                                        // 1
  random_seed = star_seed;                                  // 2
  vorl_res.progress = progress;                             // 3
  open_log();
  s.texture_dir = "Textures";                               // 4
  s.mesh_dir = "Meshes";
  s.width = width;
  s.height = height;
  s.camera = camera_block{};
  s.picked_object = s.picked_mesh = s.picked_group = -1;   // 5
  vorl_log("VORLDBG", "VORL 090917 Debug.");
  build_programs();
  vorl_res.exhaust = file_texture("textures\\Exhaust.dds", texture_Repeat | texture_Linear);
  vorl_res.cloud = file_texture("textures\\cloud1.dds", texture_Repeat | texture_Linear);
  s.draw_sky = true;
  make_render_textures(s);                                  // 6, 7
  vorl_res.noise = upload_engine_texture(make_noise_texture());    // 8
  vorl_res.ramp = upload_engine_texture(make_ramp_texture());      // 9
  make_sprites();                                           // 10
  make_grids();
  vorl_res.default_exhaust = file_texture(s.texture_dir + "/Exhaust.dds", switch_flags());
  s.render[rt_second] = target_texture(s.second_render_size, s.second_render_size, texture_Linear);
  s.render[rt_large] = unfilled_texture(texture_Linear);   // 2048 x 2048 once something draws into it:
                                                          // the driver would zero 16 MB of it at every start
  build_backdrop(s);                                        // 11
  s.half_fov = 0.5235987755982989;
}

void stop_engine(vorlscene& s) {
  for (auto& o : s.objects)
    if (o && o->draw)
      for (typmsh& m : o->draw->meshes) release_mesh_gl(m);
  s.objects.clear();
  s.stars.clear();
  s.planets.clear();
  for (typmsh* m : {&vorl_res.sun_sprite, &vorl_res.flare_sprite, &vorl_res.grids[0], &vorl_res.grids[1]})
    release_mesh_gl(*m);
  for (GLuint* t : {&vorl_res.exhaust, &vorl_res.cloud, &vorl_res.default_exhaust, &vorl_res.noise, &vorl_res.ramp})
    release_texture(*t);
  for (GLuint& t : vorl_res.sprites) release_texture(t);
  delete_render(s);
  release_programs();
}
