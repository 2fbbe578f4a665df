// meshview: the "Mesh view" thumbnail, its reading, render pass and release.
#include "editor/meshview.h"

#include <GL/glext.h>
#include <cmath>
#include "design/meshstore.h"
#include "design/veltools.h"
#include "editor/filecmds.h"
#include "gl/glgr.h"
#include "gl/glmesh.h"

mesh_view_state mesh_view;

namespace {

constexpr uint32_t white = pack_rgba(255, 255, 255, 255);
constexpr double view_angle = 45;            // degrees, vertical, as the window's first projection
constexpr double distance_in_sizes = 3;      // the mesh sits 3 x its size in front of the eye
constexpr double turn_rate = 30;             // degrees per second about y; the nod about x is sin(t) x 30
const vec3 light_place = {-10000, 10000, -20000};

// --- Render target -----------------------------------------------------------------------------

GLuint make_framebuffer(GLuint colour, GLuint depth) {
  if (!gl_caps.framebuffers || colour == 0 || depth == 0) return 0;
  GLint previous = 0;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &previous);
  GLuint fb = 0;
  gl_ext.glGenFramebuffersEXT(1, &fb);
  gl_ext.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, fb);
  gl_ext.glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, colour, 0);
  gl_ext.glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_TEXTURE_2D, depth, 0);
  const bool complete = gl_ext.glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_COMPLETE_EXT;
  gl_ext.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, GLuint(previous));
  if (!complete) gl_ext.glDeleteFramebuffersEXT(1, &fb);
  return complete ? fb : 0;
}

// --- Reading -------------------------------------------------------------------------------------

std::string chosen_mesh() { return files.pending_mesh.empty() ? "" : browser.browse_rel + files.pending_mesh; }

std::string cause_of(const read_result& r) {
  switch (r.status) {
    case read_missing: return "the file was not found";
    case read_unreadable: return "the file cannot be read";
    default: return "it is not a mesh file";
  }
}

void read_chosen_mesh() {
  mesh_view.read_due = false;
  const read_result r = read_installed_mesh(mesh_view.mesh, files.root, mesh_view.name, true);
  if (!r) {
    mesh_view.failure = cause_of(r);
    return;
  }
  upload_mesh_textures(mesh_view.mesh);
}

// --- Render pass ---------------------------------------------------------------------------------

// The surfaces' own colours through colour material on both faces, over a
// bluish diffuse; two-sided lighting with the specular added after texturing.
void set_up_material() {
  static constexpr GLfloat diffuse[4] = {0.5f, 0.5f, 0.7f, 1}, none[4] = {0, 0, 0, 1};
  glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
  glEnable(GL_COLOR_MATERIAL);
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, none);
  glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, none);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 0);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
  glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
}

void push_matrices() {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
}

void pop_matrices() {
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
}

// The mesh into the render texture, turned by the time t.
void render_thumbnail(double t) {
  const gl_state_record saved = push_gl_state();
  GLint previous = 0;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &previous);
  push_matrices();
  gl_ext.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, mesh_view.framebuffer);
  const double size = mesh_view.mesh.radius > 0 ? mesh_view.mesh.radius : 1;
  const double distance = distance_in_sizes * size;
  perspective(thumbnail_size, thumbnail_size, view_angle, distance - 2 * size, distance + 2 * size);
  switch_gl(switch_blend, false);
  switch_gl(switch_cull_face, false);
  glClearColor(0, 0, 0, 1);
  glClearDepth(1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  set_up_material();
  glScaled(1, 1, -1);                          // the vessel frame is left-handed: +z into the screen
  lights_off();
  point_light(0, false, 0, light_place);
  glTranslated(0, 0, distance);
  glRotated(std::sin(t) * turn_rate, 1, 0, 0);
  glRotated(t * turn_rate, 0, 1, 0);
  draw_mesh(mesh_view.mesh, {0, 0, 0}, {0, 0, 0}, {1, 1, 1});
  gl_ext.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, GLuint(previous));
  pop_matrices();
  pop_gl_state(saved);
}

void say(const gg_wndtype& w, const std::string& line, int row = 0) {
  draw_text_centred(line, white, w.x + 4 + thumbnail_size / 2, w.y + 4 + thumbnail_size / 2 - 8 + 20 * row);
}

}  // namespace

std::string mesh_view_file() { return "meshes/" + chosen_mesh() + ".msh"; }

void mesh_view_start(GLuint colour, GLuint depth, const double* clock) {
  mesh_view_release();
  mesh_view.colour = colour;
  mesh_view.depth = depth;
  mesh_view.clock = clock;
  if (mesh_view.framebuffer == 0) mesh_view.framebuffer = make_framebuffer(colour, depth);
}

void mesh_view_draw(gg_wndtype& w) {
  fill_rect(w.x + 2, w.y + 2, thumbnail_size + 4, thumbnail_size + 4, gg_title_fill, white);
  const std::string chosen = chosen_mesh();
  if (chosen.empty()) return say(w, "No mesh loaded");
  if (chosen != mesh_view.name) {              // a choice made without a release: start afresh
    mesh_view_release();
    mesh_view.name = chosen;
  }
  if (mesh_view.failure.empty() && !mesh_view.mesh.loaded) {
    if (!mesh_view.read_due) {
      mesh_view.read_due = true;
      return say(w, "Loading mesh (" + mesh_view_file() + ")...");
    }
    read_chosen_mesh();
  }
  if (!mesh_view.failure.empty()) {
    say(w, "Cannot load mesh (" + mesh_view_file() + "):");
    return say(w, mesh_view.failure, 1);
  }
  if (mesh_view.framebuffer == 0) return say(w, "No render target for the thumbnail");
  render_thumbnail(mesh_view.clock ? *mesh_view.clock : 0);
  draw_textured(mesh_view.colour, true, white, w.x + 4, w.y + 4, thumbnail_size, thumbnail_size);
}

void mesh_view_show(typmsh mesh, const std::string& name) {
  mesh_view_release();
  mesh_view.mesh = std::move(mesh);
  mesh_view.name = name;
  upload_mesh_textures(mesh_view.mesh);
}

void mesh_view_release() {
  release_mesh_gl(mesh_view.mesh);
  mesh_view.mesh = typmsh{};
  mesh_view.name.clear();
  mesh_view.failure.clear();
  mesh_view.read_due = false;
}

void mesh_view_final() {
  mesh_view_release();
  if (mesh_view.framebuffer != 0) gl_ext.glDeleteFramebuffersEXT(1, &mesh_view.framebuffer);
  mesh_view.framebuffer = 0;
}
