// glmesh: group and mesh drawing, the vertex buffer table, mesh texture upload and release.
#include "gl/glmesh.h"

#include <algorithm>
#include <cstddef>

#include "gl/glgr.h"

glmesh_state glmesh;

namespace {

// --- Material -----------------------------------------------------------------------

void apply_material(const typmshgrp& g, const draw_params& p) {
  colquad diffuse = unpack_rgba(g.diffuse);
  const int alpha = std::max(0, int(g.diffuse >> 24) - int(p.alpha_reduction));
  diffuse.a = float(alpha) / 255.0f;
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, &diffuse.r);
  if (gl_caps.shaders && p.colour_location != -1)
    gl_ext.glUniform4f(p.colour_location, diffuse.r, diffuse.g, diffuse.b, diffuse.a);
  const colquad emission = unpack_rgba(g.emissive);
  glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, &emission.r);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, std::min(g.specular_power, 128.0f));
  if (g.specular_power != 0) {
    const colquad specular = unpack_rgba(g.specular);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, &specular.r);
  }
  set_colour((g.diffuse & 0x00FFFFFFu) | uint32_t(alpha) << 24);
}

void bind_group_texture(const typmshgrp& g, int32_t texture) {
  if (texture == texture_own) texture = g.texture.index;
  if (texture < 0) {
    switch_gl(switch_texture_2d, false);
    return;
  }
  switch_gl(switch_texture_2d, true);
  bind_texture(GLuint(texture));
}

void reset_material() {
  static constexpr GLfloat black[4] = {0, 0, 0, 0};
  switch_gl(switch_texture_2d, true);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 0);
  glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, black);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, black);
}

bool is_identity(const draw_params& p) {
  return p.position.x == 0 && p.position.y == 0 && p.position.z == 0 && p.rotation.x == 0 && p.rotation.y == 0 &&
         p.rotation.z == 0 && p.scale.x == 1 && p.scale.y == 1 && p.scale.z == 1;
}

// Puts the group in place on the modelview; false (and nothing pushed) when
// the placement is the identity, which leaves the matrix exactly as it was.
bool place(const draw_params& p) {
  if (is_identity(p)) return false;
  glPushMatrix();
  glTranslated(p.position.x, p.position.y, p.position.z);
  if (p.scale_first) glScaled(p.scale.x, p.scale.y, p.scale.z);
  if (p.rotation.x != 0) glRotated(p.rotation.x, 1, 0, 0);
  if (p.rotation.y != 0) glRotated(p.rotation.y, 0, 1, 0);
  if (p.rotation.z != 0) glRotated(p.rotation.z, 0, 0, 1);
  if (!p.scale_first) glScaled(p.scale.x, p.scale.y, p.scale.z);
  return true;
}

// --- Vertex buffers -----------------------------------------------------------------

GLuint buffer_of(GLenum target, const void* data, size_t bytes) {
  GLuint b = 0;
  gl_ext.glGenBuffersARB(1, &b);
  gl_ext.glBindBufferARB(target, b);
  gl_ext.glBufferDataARB(target, GLsizeiptrARB(bytes), data, GL_STATIC_DRAW_ARB);
  return b;
}

// The group's positions, normals and texture coordinates pulled out of the
// vertex records into arrays of their own, and its indices at their width.
vbo_entry build_vbo(typmshgrp& g) {
  const size_t n = g.vertices.size();
  std::vector<svec3> positions(n), normals(n);
  std::vector<float> uv(2 * n);
  for (size_t i = 0; i < n; ++i) {
    positions[i] = g.vertices[i].position;
    normals[i] = g.vertices[i].normal;
    uv[2 * i] = g.vertices[i].u;
    uv[2 * i + 1] = g.vertices[i].v;
  }
  vbo_entry e;
  g.buffer_slot = e.slot = ++glmesh.last_slot;
  e.index_count = int32_t(g.indices.size());
  e.texture = g.texture.index;
  e.index_width = index_width_for(n);
  e.positions = buffer_of(GL_ARRAY_BUFFER_ARB, positions.data(), n * sizeof(svec3));
  e.normals = buffer_of(GL_ARRAY_BUFFER_ARB, normals.data(), n * sizeof(svec3));
  e.texcoords = buffer_of(GL_ARRAY_BUFFER_ARB, uv.data(), uv.size() * sizeof(float));
  if (e.index_width == 1) {
    std::vector<uint16_t> low(g.indices.size());
    std::transform(g.indices.begin(), g.indices.end(), low.begin(), [](int32_t i) { return uint16_t(i); });
    e.indices = buffer_of(GL_ELEMENT_ARRAY_BUFFER_ARB, low.data(), low.size() * 2);
  } else {
    e.indices = buffer_of(GL_ELEMENT_ARRAY_BUFFER_ARB, g.indices.data(), g.indices.size() * 4);
  }
  gl_ext.glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
  gl_ext.glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
  glmesh.table.push_back(e);
  return e;
}

void delete_vbo(const vbo_entry& e) {
  const GLuint names[4] = {e.normals, e.texcoords, e.indices, e.positions};
  gl_ext.glDeleteBuffersARB(4, names);
}

void set_arrays(bool on) {
  if (glmesh.arrays_held) return;
  for (GLenum a : {GL_VERTEX_ARRAY, GL_NORMAL_ARRAY, GL_TEXTURE_COORD_ARRAY})
    on ? glEnableClientState(a) : glDisableClientState(a);
  glDisableClientState(GL_COLOR_ARRAY);
}

// The arrays on once for every group of a mesh, not on and off around each;
// off again however the drawing ends.
struct held_arrays {
  held_arrays() {
    set_arrays(true);
    glmesh.arrays_held = true;
  }
  ~held_arrays() {
    glmesh.arrays_held = false;
    set_arrays(false);
  }
  held_arrays(const held_arrays&) = delete;
  held_arrays& operator=(const held_arrays&) = delete;
};

int32_t draw_buffered(typmshgrp& g) {
  const vbo_entry* found = find_vbo(g.buffer_slot);
  const vbo_entry e = found ? *found : build_vbo(g);
  set_arrays(true);
  gl_ext.glBindBufferARB(GL_ARRAY_BUFFER_ARB, e.normals);
  glNormalPointer(GL_FLOAT, 0, nullptr);
  gl_ext.glBindBufferARB(GL_ARRAY_BUFFER_ARB, e.texcoords);
  glTexCoordPointer(2, GL_FLOAT, 0, nullptr);
  gl_ext.glBindBufferARB(GL_ARRAY_BUFFER_ARB, e.positions);
  glVertexPointer(3, GL_FLOAT, 0, nullptr);
  gl_ext.glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, e.indices);
  glDrawElements(GL_TRIANGLES, e.index_count, e.index_width == 1 ? GL_UNSIGNED_SHORT : GL_UNSIGNED_INT, nullptr);
  gl_ext.glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
  gl_ext.glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
  set_arrays(false);
  return e.index_count;
}

// --- Client arrays and immediate quads ----------------------------------------------

int32_t draw_client_arrays(const typmshgrp& g) {
  const size_t count = g.indices.size();
  if (count == 0 || count != count / 3 * 3 || g.vertices.empty()) return 0;
  const auto* base = reinterpret_cast<const char*>(g.vertices.data());
  set_arrays(true);
  glNormalPointer(GL_FLOAT, GLsizei(vertex_stride), base + offsetof(pntyp, normal));
  glVertexPointer(3, GL_FLOAT, GLsizei(vertex_stride), base + offsetof(pntyp, position));
  glTexCoordPointer(2, GL_FLOAT, GLsizei(vertex_stride), base + offsetof(pntyp, u));
  glDrawElements(GL_TRIANGLES, GLsizei(count), GL_UNSIGNED_INT, g.indices.data());
  set_arrays(false);
  return int32_t(count);
}

int32_t draw_quads(const typmshgrp& g) {
  const size_t n = g.vertices.size();
  int32_t drawn = 0;
  for (size_t q = 0; q + 4 <= g.indices.size(); q += 4) {
    glBegin(GL_QUADS);
    for (size_t k = q; k < q + 4; ++k) {
      const size_t i = size_t(g.indices[k]);
      if (i >= n) continue;           // an index outside the group draws nothing
      const pntyp& v = g.vertices[i];
      glNormal3f(v.normal.x, v.normal.y, v.normal.z);
      glTexCoord2f(v.u, v.v);
      glVertex3f(v.position.x, v.position.y, v.position.z);
    }
    glEnd();
    drawn += 4;
  }
  return drawn;
}

}  // namespace

// --- Drawing --------------------------------------------------------------------------

int index_width_for(size_t vertex_count) { return vertex_count <= size_t(index16_vertex_limit) ? 1 : 2; }

bool buffered_path(const typmshgrp& g) {
  return glmesh.buffers_on && gl_caps.vertex_buffers && g.buffered && g.outline_style == 0 &&
         g.primitive_kind == 0 && g.vertices.size() > 10;
}

const vbo_entry* find_vbo(int32_t slot) {
  if (slot == 0) return nullptr;
  for (const vbo_entry& e : glmesh.table)
    if (e.slot == slot) return &e;
  return nullptr;
}

void draw_group(typmshgrp& g, const draw_params& p) {
  if (!p.keep_state) {
    bind_group_texture(g, p.texture);
    if (!p.skip_material) apply_material(g, p);
  }
  const bool placed = place(p);
  int32_t drawn = g.primitive_kind == 1 ? draw_quads(g) : buffered_path(g) ? draw_buffered(g) : draw_client_arrays(g);
  glmesh.drawn_indices += uint64_t(drawn);
  if (!p.keep_state) reset_material();
  if (placed) glPopMatrix();
}

void draw_group_simply(typmshgrp& g, int32_t texture, bool skip_material, const vec3& scale) {
  draw_params p;
  p.texture = texture;
  p.skip_material = skip_material;
  p.scale = scale;
  draw_group(g, p);
}

void draw_mesh(typmsh& m, const vec3& position, const vec3& rotation, const vec3& scale) {
  if (!m.loaded) return;
  draw_params p;
  p.position = position;
  p.rotation = rotation;
  p.scale = scale;
  held_arrays held;
  for (typmshgrp& g : m.groups) draw_group(g, p);
}

// --- Textures and release -----------------------------------------------------------

GLuint dds_texture(const dds_image& img, int flags) {
  const int w = int(img.width), h = int(img.height);
  if (w <= 0 || h <= 0) return 0;
  if (!img.compressed.empty()) return compressed_texture(w, h, int(img.format), img.compressed, 1, flags);
  if (img.pixels.size() < size_t(w) * size_t(h) * 4) return 0;
  return texture_from_pixels(w, h, img.pixels.data(), flags);
}

void upload_mesh_textures(typmsh& m) {
  m.gl_textures.resize(m.texture_names.size(), 0);
  for (typmshgrp& g : m.groups) {
    const int32_t entry = g.texture.index - 1;
    if (g.texture.index == -1 || entry < 0 || size_t(entry) >= m.gl_textures.size()) continue;
    if (m.gl_textures[entry] == 0) {
      const uint8_t* px = g.texture.pixels ? g.texture.pixels->data() : nullptr;
      const bool sized = px && g.texture.pixels->size() >= size_t(g.texture.width) * size_t(g.texture.height) * 4;
      m.gl_textures[entry] = sized ? texture_from_pixels(g.texture.width, g.texture.height, px,
                                                         texture_Repeat | texture_Linear | texture_Compressed)
                                   : empty_texture(1, 1, texture_Repeat | texture_Linear);
    }
    g.texture.pixels.reset();
  }
  for (typmshgrp& g : m.groups) {
    const int32_t entry = g.texture.index - 1;
    if (g.texture.index == -1) continue;
    g.texture.index = entry >= 0 && size_t(entry) < m.gl_textures.size() ? int32_t(m.gl_textures[entry]) : -1;
  }
}

void release_mesh_gl(typmsh& m) {
  for (typmshgrp& g : m.groups) {
    auto e = std::find_if(glmesh.table.begin(), glmesh.table.end(),
                          [&](const vbo_entry& v) { return g.buffer_slot != 0 && v.slot == g.buffer_slot; });
    if (e != glmesh.table.end()) {
      delete_vbo(*e);
      glmesh.table.erase(e);
    }
    g.buffer_slot = 0;
    if (!m.gl_textures.empty()) g.texture.index = -1;
  }
  for (uint32_t& t : m.gl_textures) {
    GLuint name = t;
    release_texture(name);
    t = 0;
  }
  m.gl_textures.clear();
}

void glmesh_final() {
  for (const vbo_entry& e : glmesh.table) delete_vbo(e);
  glmesh.table.clear();
}
