// glmesh: group and mesh drawing, the vertex buffer table, mesh texture upload and release.
#include "gl/glmesh.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <map>

#include "gl/glgr.h"

glmesh_state glmesh;

namespace {

// --- Material -----------------------------------------------------------------------

// What a group's material is with its alpha reduced. A group without
// specular power leaves the specular colour as it was, and every draw puts
// it back to black afterwards: black, also between the draws of a batch.
gl_material group_material(const typmshgrp& g, uint8_t alpha_reduction) {
  const int alpha = std::max(0, int(g.diffuse >> 24) - int(alpha_reduction));
  const uint32_t specular = g.specular_power != 0 ? g.specular : 0;
  return {(g.diffuse & 0x00FFFFFFu) | uint32_t(alpha) << 24, g.emissive, specular, std::min(g.specular_power, 128.0f)};
}

void apply_material(const typmshgrp& g, const draw_params& p) {
  const gl_material m = group_material(g, p.alpha_reduction);
  set_material(m);
  if (gl_caps.shaders && p.colour_location != -1) {
    const colquad c = unpack_rgba(m.diffuse);
    gl_ext.glUniform4f(p.colour_location, c.r, c.g, c.b, c.a);
  }
  set_colour(m.diffuse);
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
  switch_gl(switch_texture_2d, true);
  set_material({gl_state.material_known ? gl_state.material.diffuse : 0xFFFFFFFFu, 0, 0, 0});
}

bool is_identity(const draw_params& p) {
  return p.position.x == 0 && p.position.y == 0 && p.position.z == 0 && p.rotation.x == 0 && p.rotation.y == 0 &&
         p.rotation.z == 0 && p.scale.x == 1 && p.scale.y == 1 && p.scale.z == 1;
}

// The column-major product a x b.
void multiply(double a[16], const double b[16]) {
  double t[16];
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r) t[c * 4 + r] = a[r] * b[c * 4] + a[4 + r] * b[c * 4 + 1] + a[8 + r] * b[c * 4 + 2] +
                                             a[12 + r] * b[c * 4 + 3];
  std::copy(t, t + 16, a);
}

void turn(double m[16], double degrees, int axis) {
  if (degrees == 0) return;
  const double c = std::cos(degrees * pi / 180), s = std::sin(degrees * pi / 180);
  const int i = (axis + 1) % 3, j = (axis + 2) % 3;   // the plane the turn moves
  double r[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  r[i * 4 + i] = r[j * 4 + j] = c;
  r[i * 4 + j] = s;
  r[j * 4 + i] = -s;
  multiply(m, r);
}

void stretch(double m[16], const vec3& s) {
  for (int r = 0; r < 4; ++r) {
    m[r] *= s.x;
    m[4 + r] *= s.y;
    m[8 + r] *= s.z;
  }
}

// Puts the group in place on the modelview, as one product: moved, turned
// about x, y and z, scaled before or after turning; false (and nothing
// pushed) when the placement is the identity.
bool place(const draw_params& p) {
  if (is_identity(p)) return false;
  double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, p.position.x, p.position.y, p.position.z, 1};
  if (p.scale_first) stretch(m, p.scale);
  turn(m, p.rotation.x, 0);
  turn(m, p.rotation.y, 1);
  turn(m, p.rotation.z, 2);
  if (!p.scale_first) stretch(m, p.scale);
  glPushMatrix();
  glMultMatrixd(m);
  return true;
}

// --- Vertex buffers -----------------------------------------------------------------

GLuint buffer_of(GLenum target, const void* data, size_t bytes) {
  GLuint b = 0;
  gl_ext.glGenBuffersARB(1, &b);
  bind_buffer(target, b);
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
  glmesh.table.push_back(e);
  return e;
}

void delete_vbo(const vbo_entry& e) {
  const GLuint names[4] = {e.normals, e.texcoords, e.indices, e.positions};
  release_buffers(names);
}

void mesh_arrays() { client_arrays(array_Vertex | array_Normal | array_TexCoord); }

int32_t draw_buffered(typmshgrp& g) {
  const vbo_entry* found = find_vbo(g.buffer_slot);
  const vbo_entry e = found ? *found : build_vbo(g);
  mesh_arrays();
  if (!arrays_read({e.positions, nullptr, 0})) {  // the patches of a planet's band share their buffers
    bind_buffer(GL_ARRAY_BUFFER_ARB, e.normals);
    glNormalPointer(GL_FLOAT, 0, nullptr);
    bind_buffer(GL_ARRAY_BUFFER_ARB, e.texcoords);
    glTexCoordPointer(2, GL_FLOAT, 0, nullptr);
    bind_buffer(GL_ARRAY_BUFFER_ARB, e.positions);
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
  }
  bind_buffer(GL_ELEMENT_ARRAY_BUFFER_ARB, e.indices);
  glDrawElements(GL_TRIANGLES, e.index_count, e.index_width == 1 ? GL_UNSIGNED_SHORT : GL_UNSIGNED_INT, nullptr);
  return e.index_count;
}

// --- Client arrays and immediate quads ----------------------------------------------

int32_t draw_client_arrays(const typmshgrp& g) {
  const size_t count = g.indices.size();
  if (count == 0 || count != count / 3 * 3 || g.vertices.empty()) return 0;
  const auto* base = reinterpret_cast<const char*>(g.vertices.data());
  mesh_arrays();
  bind_buffer(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
  if (!arrays_read({0, base, GLsizei(vertex_stride)})) {
    bind_buffer(GL_ARRAY_BUFFER_ARB, 0);
    glNormalPointer(GL_FLOAT, GLsizei(vertex_stride), base + offsetof(pntyp, normal));
    glVertexPointer(3, GL_FLOAT, GLsizei(vertex_stride), base + offsetof(pntyp, position));
    glTexCoordPointer(2, GL_FLOAT, GLsizei(vertex_stride), base + offsetof(pntyp, u));
  }
  glDrawElements(GL_TRIANGLES, GLsizei(count), GL_UNSIGNED_INT, g.indices.data());
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

// --- Batches -------------------------------------------------------------------------

bool has_translucent_texels(const std::vector<uint8_t>& rgba) {
  for (size_t i = 3; i < rgba.size(); i += 4)
    if (rgba[i] != 255) return true;
  return false;
}

// The texture and material of a group, as far as they tell draws apart.
struct group_look {
  int32_t texture;
  packed_colour diffuse, emissive, specular;
  float power;
  bool operator==(const group_look&) const = default;
  auto operator<=>(const group_look&) const = default;
};

group_look look_of(const typmshgrp& g, bool colour_per_vertex) {
  return {g.texture.index, colour_per_vertex ? 0 : g.diffuse, g.emissive, g.specular_power != 0 ? g.specular : 0,
          g.specular_power};
}

// Triangles that a buffer can hold as they are: whole and inside the group.
bool sound_triangles(const typmshgrp& g) {
  if (g.primitive_kind != 0 || g.outline_style != 0 || g.indices.empty() || g.indices.size() % 3 != 0) return false;
  return std::ranges::all_of(g.indices, [&](int32_t i) { return i >= 0 && size_t(i) < g.vertices.size(); });
}

bool blends(const typmshgrp& g, uint8_t alpha_reduction) {
  return alpha_reduction != 0 || (g.diffuse >> 24) != 255 ||
         std::ranges::find(glmesh.translucent_textures, uint32_t(g.texture.index)) != glmesh.translucent_textures.end();
}

mesh_batch* find_batch(const typmsh& m) {
  if (m.groups.empty()) return nullptr;
  for (mesh_batch& b : glmesh.batches)
    if (b.groups == m.groups.data() && b.base.size() == m.groups.size()) return &b;
  return nullptr;
}

void delete_batch(const mesh_batch& b) {
  const GLuint names[2] = {b.vertices, b.indices};
  release_buffers(names);
}

// Every vertex of the mesh in one buffer, as the records lie (stride 48).
mesh_batch& build_batch(typmsh& m) {
  mesh_batch b;
  b.groups = m.groups.data();
  std::vector<pntyp> all;
  for (const typmshgrp& g : m.groups) {
    b.base.push_back(int32_t(all.size()));
    all.insert(all.end(), g.vertices.begin(), g.vertices.end());
  }
  b.vertices = buffer_of(GL_ARRAY_BUFFER_ARB, all.data(), all.size() * sizeof(pntyp));
  gl_ext.glGenBuffersARB(1, &b.indices);
  glmesh.batches.push_back(std::move(b));
  return glmesh.batches.back();
}

void point_arrays_at_batch(const mesh_batch& b) {
  mesh_arrays();
  bind_buffer(GL_ELEMENT_ARRAY_BUFFER_ARB, b.indices);
  if (arrays_read({b.vertices, nullptr, GLsizei(vertex_stride)})) return;
  bind_buffer(GL_ARRAY_BUFFER_ARB, b.vertices);
  const auto at = [](size_t offset) { return reinterpret_cast<const void*>(offset); };
  glNormalPointer(GL_FLOAT, GLsizei(vertex_stride), at(offsetof(pntyp, normal)));
  glVertexPointer(3, GL_FLOAT, GLsizei(vertex_stride), at(offsetof(pntyp, position)));
  glTexCoordPointer(2, GL_FLOAT, GLsizei(vertex_stride), at(offsetof(pntyp, u)));
}

void replan(mesh_batch& b, const typmsh& m, std::vector<uint8_t> places) {
  batch_plan plan = plan_batch(m, places, false);
  bind_buffer(GL_ELEMENT_ARRAY_BUFFER_ARB, b.indices);
  gl_ext.glBufferDataARB(GL_ELEMENT_ARRAY_BUFFER_ARB, GLsizeiptrARB(plan.indices.size() * 4), plan.indices.data(),
                         GL_STATIC_DRAW_ARB);
  b.draws = std::move(plan.draws);
  b.places = std::move(places);
}

}  // namespace

// --- Batches ------------------------------------------------------------------------------

bool batches_on() { return glmesh.buffers_on && gl_caps.vertex_buffers; }

std::vector<uint8_t> batch_places(const typmsh& m, uint8_t alpha_reduction, int32_t alone) {
  std::vector<uint8_t> places(m.groups.size(), place_free);
  for (size_t k = 0; k < m.groups.size(); ++k) {
    const typmshgrp& g = m.groups[k];
    if (int32_t(k) == alone || !g.buffered || !sound_triangles(g)) places[k] = place_alone;
    else if (blends(g, alpha_reduction)) places[k] = place_kept;
  }
  return places;
}

batch_plan plan_batch(const typmsh& m, const std::vector<uint8_t>& places, bool colour_per_vertex) {
  const auto look = [&](size_t k) { return look_of(m.groups[k], colour_per_vertex); };
  std::vector<uint32_t> base;
  uint32_t vertices = 0;
  for (const typmshgrp& g : m.groups) {
    base.push_back(vertices);
    vertices += uint32_t(g.vertices.size());
  }
  batch_plan plan;
  std::map<group_look, std::vector<size_t>> stretch;   // the free groups since the last kept one, by look
  const auto append = [&](size_t k) {
    for (int32_t i : m.groups[k].indices) plan.indices.push_back(base[k] + uint32_t(i));
  };
  const auto open_draw = [&](size_t k) {
    plan.draws.push_back({int32_t(k), int32_t(plan.indices.size()), 0});
  };
  const auto close_draw = [&] { plan.draws.back().count = int32_t(plan.indices.size()) - plan.draws.back().first; };
  const auto end_stretch = [&] {
    for (const auto& [look, groups] : stretch) {
      open_draw(groups.front());
      for (size_t k : groups) append(k);
      close_draw();
    }
    stretch.clear();
  };
  bool kept_open = false;               // the last draw is a kept group's that a like neighbour may join
  for (size_t k = 0; k < m.groups.size(); ++k) {
    const uint8_t place = k < places.size() ? places[k] : uint8_t(place_alone);
    if (place == place_free) {
      stretch[look(k)].push_back(k);
      kept_open = false;
      continue;
    }
    end_stretch();
    if (place == place_alone) {
      plan.draws.push_back({int32_t(k), 0, 0});
      kept_open = false;
      continue;
    }
    if (!kept_open || look(size_t(plan.draws.back().group)) != look(k)) open_draw(k);
    append(k);
    close_draw();
    kept_open = true;
  }
  end_stretch();
  return plan;
}

void draw_mesh_batched(typmsh& m, uint8_t alpha_reduction, int32_t alone,
                       const std::function<void(typmshgrp& g, int group)>& draw_alone) {
  if (!m.loaded || !batches_on()) return;
  mesh_batch* found = find_batch(m);
  mesh_batch& b = found ? *found : build_batch(m);
  std::vector<uint8_t> places = batch_places(m, alpha_reduction, alone);
  if (places != b.places) replan(b, m, std::move(places));
  point_arrays_at_batch(b);
  uint64_t drawn = 0;
  for (const batch_draw& d : b.draws) {
    typmshgrp& g = m.groups[size_t(d.group)];
    if (d.count == 0) {                 // its own draw points the arrays elsewhere
      draw_alone(g, d.group);
      point_arrays_at_batch(b);
      continue;
    }
    bind_group_texture(g, texture_own);
    apply_material(g, {.alpha_reduction = alpha_reduction});
    glDrawElements(GL_TRIANGLES, d.count, GL_UNSIGNED_INT, reinterpret_cast<const void*>(size_t(d.first) * 4));
    drawn += uint64_t(d.count);
  }
  reset_material();
  glmesh.drawn_indices += drawn;
}

namespace {

struct coloured_vertex {            // a mesh vertex with its group's colour
  svec3 normal, position;
  float u, v;
  uint32_t colour;                  // packed, as the colour array reads it
};

void point_arrays_at(const std::vector<coloured_vertex>& v) {
  client_arrays(array_Vertex | array_Normal | array_TexCoord | array_Colour);
  bind_buffer(GL_ARRAY_BUFFER_ARB, 0);
  bind_buffer(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
  arrays_moved();                   // the colour array too, which no array_source covers
  glNormalPointer(GL_FLOAT, sizeof(coloured_vertex), &v[0].normal);
  glVertexPointer(3, GL_FLOAT, sizeof(coloured_vertex), &v[0].position);
  glTexCoordPointer(2, GL_FLOAT, sizeof(coloured_vertex), &v[0].u);
  glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(coloured_vertex), &v[0].colour);
}

}  // namespace

void draw_mesh_coloured(typmsh& m, uint8_t alpha_reduction, int32_t alone,
                        const std::function<void(typmshgrp& g, int group)>& draw_alone) {
  if (!m.loaded || m.groups.empty()) return;
  std::vector<uint8_t> places(m.groups.size(), place_kept);
  std::vector<coloured_vertex> vertices;
  for (size_t k = 0; k < m.groups.size(); ++k) {
    const typmshgrp& g = m.groups[k];
    if (int32_t(k) == alone || !sound_triangles(g)) places[k] = place_alone;
    const uint32_t colour = group_material(g, alpha_reduction).diffuse;
    for (const pntyp& v : g.vertices) vertices.push_back({v.normal, v.position, v.u, v.v, colour});
  }
  if (vertices.empty()) return;
  const batch_plan plan = plan_batch(m, places, true);
  point_arrays_at(vertices);
  for (const batch_draw& d : plan.draws) {
    typmshgrp& g = m.groups[size_t(d.group)];
    if (d.count == 0) {
      forget_colour();                  // the colour array left it undefined
      draw_alone(g, d.group);
      point_arrays_at(vertices);
      continue;
    }
    bind_group_texture(g, texture_own);
    apply_material(g, {.alpha_reduction = alpha_reduction});
    glDrawElements(GL_TRIANGLES, d.count, GL_UNSIGNED_INT, plan.indices.data() + d.first);
    glmesh.drawn_indices += uint64_t(d.count);
  }
  forget_colour();
  reset_material();
}

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
      if (!sized || has_translucent_texels(*g.texture.pixels)) glmesh.translucent_textures.push_back(m.gl_textures[entry]);
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
  if (const mesh_batch* b = find_batch(m)) {
    delete_batch(*b);
    std::erase_if(glmesh.batches, [&](const mesh_batch& x) { return x.groups == m.groups.data(); });
  }
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
    std::erase(glmesh.translucent_textures, t);
    GLuint name = t;
    release_texture(name);
    t = 0;
  }
  m.gl_textures.clear();
}

void glmesh_final() {
  for (const vbo_entry& e : glmesh.table) delete_vbo(e);
  glmesh.table.clear();
  for (const mesh_batch& b : glmesh.batches) delete_batch(b);
  glmesh.batches.clear();
}
