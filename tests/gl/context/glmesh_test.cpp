// Mesh drawing in a real GL context: which path a group takes, the index
// width of its buffers, what it puts on screen, texture sharing and release.
#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "common/gl_window.h"
#include "gl/glmesh.h"

namespace {

const auto* const env = ::testing::AddGlobalTestEnvironment(new gl_window);

// A fan of n vertices round the origin in the plane z = 0, facing +z, red.
typmshgrp fan(int n, bool buffered) {
  typmshgrp g;
  g.vertices.push_back(make_vertex({0, 0, 0}, {0, 0, 1}, 0.5, 0.5));
  for (int i = 1; i < n; ++i) {
    double a = 2 * pi * (i - 1) / (n - 2);
    g.vertices.push_back(make_vertex({std::cos(a), std::sin(a), 0}, {0, 0, 1}, 0.5, 0.5));
  }
  for (int i = 1; i + 1 < n; ++i) g.indices.insert(g.indices.end(), {0, i, i + 1});
  g.diffuse = 0xFF0000FFu;
  g.buffered = buffered;
  return g;
}

void clear_and_project() {
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  mode_2d(gl_window::size, gl_window::size);
  switch_gl(switch_lighting, false);
  switch_gl(switch_depth_test, false);
  switch_gl(switch_blend, false);
  glDisable(GL_CULL_FACE);
}

// Draws g scaled to 100 pixels at the window's centre; the centre pixel's red.
int drawn_red(typmshgrp& g) {
  clear_and_project();
  draw_params p;
  p.texture = texture_off;
  p.position = {128, 128, 0};
  p.scale = {100, 100, 1};
  draw_group(g, p);
  return pixel_at(128, 128)[0];
}

TEST(GlMesh, BufferedOnlyAboveTenVerticesWhenFlaggedAndSwitchedOn) {
  ASSERT_TRUE(gl_caps.vertex_buffers);
  typmshgrp ten = fan(10, true), eleven = fan(11, true), unflagged = fan(11, false);
  EXPECT_EQ(drawn_red(ten), 255);
  EXPECT_EQ(ten.buffer_slot, 0);
  EXPECT_EQ(drawn_red(unflagged), 255);
  EXPECT_EQ(unflagged.buffer_slot, 0);
  uint64_t before = glmesh.drawn_indices;
  EXPECT_EQ(drawn_red(eleven), 255);                   // built, bound and drawn from buffers
  ASSERT_NE(eleven.buffer_slot, 0);
  EXPECT_EQ(glmesh.drawn_indices - before, eleven.indices.size());
  const int32_t slot = eleven.buffer_slot;
  EXPECT_EQ(drawn_red(eleven), 255);                   // the second draw reuses the entry
  EXPECT_EQ(eleven.buffer_slot, slot);
  typmshgrp off = fan(11, true);
  glmesh.buffers_on = false;
  EXPECT_EQ(drawn_red(off), 255);
  glmesh.buffers_on = true;
  EXPECT_EQ(off.buffer_slot, 0);
  typmshgrp quads = fan(11, true);
  quads.primitive_kind = 1;
  EXPECT_FALSE(buffered_path(quads));
  typmsh m;
  m.groups = {std::move(eleven)};
  release_mesh_gl(m);
  EXPECT_EQ(find_vbo(slot), nullptr);
}

TEST(GlMesh, AGroupDrawnAgainReadsItsOwnVerticesAfterOtherDraws) {
  typmshgrp centre = fan(12, true), aside = fan(12, true);
  for (pntyp& v : aside.vertices) v.position.x += 5;   // clear of the window's centre
  EXPECT_EQ(drawn_red(centre), 255);
  EXPECT_EQ(drawn_red(aside), 0);
  EXPECT_EQ(drawn_red(centre), 255);
  fill_rect(0, 0, 2, 2, 0xFF00FF00u, 0xFF00FF00u);     // the 2D layer points the arrays at its vertices
  EXPECT_EQ(drawn_red(centre), 255);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(GlMesh, IndexWidthChangesAtSixtyFiveThousandVertices) {
  for (int n : {64999, 65000}) {
    typmshgrp g = fan(n, true);
    g.indices.resize(g.indices.size() - 3);
    g.indices.insert(g.indices.end(), {0, n - 2, n - 1});   // the last triangle names the last vertex
    EXPECT_EQ(drawn_red(g), 255) << n;
    const vbo_entry* e = find_vbo(g.buffer_slot);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->index_width, n == 64999 ? 1 : 2);
    GLint bytes = 0;
    gl_ext.glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, e->indices);
    gl_ext.glGetBufferParameterivARB(GL_ELEMENT_ARRAY_BUFFER_ARB, GL_BUFFER_SIZE_ARB, &bytes);
    gl_ext.glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
    EXPECT_EQ(size_t(bytes), g.indices.size() * (n == 64999 ? 2 : 4));
    typmsh m;
    m.groups = {std::move(g)};
    release_mesh_gl(m);
  }
}

TEST(GlMesh, GroupsNamingOneTextureShareItAndReleaseFreesEverything) {
  auto pixels = std::make_shared<const std::vector<uint8_t>>(std::vector<uint8_t>(16, 255));
  typmsh m;
  m.texture_names = {"a.dds", "b.dds"};
  m.texture_count = 2;
  for (int32_t index : {1, 2, 1, -1}) {
    typmshgrp g = fan(12, true);
    g.texture = {index, 2, 2, index == -1 ? nullptr : pixels};
    m.groups.push_back(std::move(g));
  }
  m.group_count = 4;
  m.loaded = true;
  upload_mesh_textures(m);
  EXPECT_EQ(m.groups[0].texture.index, m.groups[2].texture.index);
  EXPECT_NE(m.groups[0].texture.index, m.groups[1].texture.index);
  EXPECT_EQ(m.groups[3].texture.index, -1);
  EXPECT_EQ(m.groups[0].texture.pixels, nullptr);
  EXPECT_TRUE(glIsTexture(GLuint(m.groups[0].texture.index)));
  draw_mesh(m, {128, 128, 0}, {0, 0, 0}, {100, 100, 1});
  for (auto [bit, a] : {std::pair{array_Vertex, GL_VERTEX_ARRAY}, {array_Normal, GL_NORMAL_ARRAY},
                        {array_TexCoord, GL_TEXTURE_COORD_ARRAY}, {array_Colour, GL_COLOR_ARRAY}})
    EXPECT_EQ(bool(glIsEnabled(a)), bool(gl_state.arrays & bit)) << a;   // the record knows what GL has
  std::vector<GLuint> buffers;
  for (const typmshgrp& g : m.groups) {
    const vbo_entry* e = find_vbo(g.buffer_slot);
    ASSERT_NE(e, nullptr);
    buffers.insert(buffers.end(), {e->normals, e->texcoords, e->indices, e->positions});
  }
  const GLuint textures[2] = {GLuint(m.groups[0].texture.index), GLuint(m.groups[1].texture.index)};
  release_mesh_gl(m);
  for (GLuint b : buffers) EXPECT_FALSE(gl_ext.glIsBufferARB(b)) << b;
  for (GLuint t : textures) EXPECT_FALSE(glIsTexture(t)) << t;
  for (const typmshgrp& g : m.groups) EXPECT_EQ(g.buffer_slot, 0);
  EXPECT_TRUE(glmesh.table.empty());
}

}  // namespace

namespace {

TEST(GlMesh, KeptCompressedDdsDataIsUploadedAsItIs) {
  ASSERT_TRUE(gl_caps.compressed_upload);
  dds_image img;
  img.width = img.height = 4;
  img.format = dxt1;
  img.compressed = {0x00, 0xF8, 0x00, 0xF8, 0, 0, 0, 0};   // c0 = c1 = pure red, every index 0
  GLuint t = dds_texture(img, texture_None);
  ASSERT_NE(t, 0u);
  bind_texture(t);
  GLint compressed = 0, format = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_COMPRESSED_ARB, &compressed);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
  EXPECT_EQ(compressed, GL_TRUE);
  EXPECT_EQ(format, GL_COMPRESSED_RGBA_S3TC_DXT1_EXT);
  uint8_t px[4 * 4 * 4] = {};
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, px);
  EXPECT_EQ(px[0], 255);                                  // the GL decodes the block to red
  EXPECT_EQ(px[1], 0);
  release_texture(t);
  img.compressed.pop_back();                              // shorter than one block
  EXPECT_EQ(dds_texture(img, texture_None), 0u);
  img.format = dxt_other;
  img.compressed.assign(8, 0);
  EXPECT_EQ(dds_texture(img, texture_None), 0u);
}

}  // namespace

namespace {

std::vector<uint8_t> whole_window() {
  std::vector<uint8_t> px(size_t(gl_window::size) * gl_window::size * 4);
  glFinish();
  glReadPixels(0, 0, gl_window::size, gl_window::size, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
  return px;
}

// Overlapping fans at depths of their own, drawn lit and blended: two looks
// mixed in one stretch, a translucent one between, one moved by an animation.
typmsh layered_mesh() {
  typmsh m;
  const packed_colour colours[6] = {0xFF0000FFu, 0xFF00FF00u, 0xFF0000FFu, 0x8000FFFFu, 0xFF00FF00u, 0xFFFF0000u};
  for (int k = 0; k < 6; ++k) {
    typmshgrp g = fan(16, true);
    translate_group(g, {0.3 * (k % 3) - 0.3, 0.2 * (k / 3), -0.1 * k});
    g.diffuse = colours[k];
    g.specular = 0xFFFFFFFFu;
    g.specular_power = k == 1 ? 20.0f : 0.0f;
    m.groups.push_back(std::move(g));
  }
  m.groups[5].buffered = false;
  m.group_count = 6;
  m.loaded = true;
  return m;
}

void lit_view() {
  clear_and_project();
  glLoadIdentity();
  glTranslated(128, 128, 0);
  glScaled(100, 100, 1);
  switch_gl(switch_lighting, true);
  switch_gl(switch_depth_test, true);
  switch_gl(switch_blend, true);
  blend_func(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_LIGHT0);
  glEnable(GL_COLOR_MATERIAL);
}

}  // namespace

TEST(GlMesh, BatchesAndColouredDrawsPutThePixelsOfGroupByGroupOnScreen) {
  typmsh m = layered_mesh();
  for (uint8_t alpha : {0, 100}) {
    lit_view();
    for (typmshgrp& g : m.groups) draw_group(g, {.alpha_reduction = alpha});
    const std::vector<uint8_t> one_by_one = whole_window();
    lit_view();
    std::vector<int> alone;
    draw_mesh_batched(m, alpha, -1, [&](typmshgrp& g, int k) {
      alone.push_back(k);
      draw_group(g, {.alpha_reduction = alpha});
    });
    EXPECT_EQ(alone, std::vector<int>{5});             // the moved group, from its own vertices
    EXPECT_TRUE(whole_window() == one_by_one) << int(alpha);
    lit_view();                                         // as markers are drawn: colours per vertex
    draw_mesh_coloured(m, alpha, 1, [&](typmshgrp& g, int k) { draw_group(g, {.alpha_reduction = alpha}); });
    EXPECT_TRUE(whole_window() == one_by_one) << int(alpha);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  }
  ASSERT_EQ(glmesh.batches.size(), 1u);
  EXPECT_EQ(glmesh.batches[0].draws.size(), 6u);        // with every group kept only neighbours merge
  lit_view();
  draw_mesh_batched(m, 0, -1, [](typmshgrp& g, int) { draw_group(g, {}); });
  EXPECT_EQ(glmesh.batches[0].draws.size(), 5u);        // the two reds share a draw
  release_mesh_gl(m);
  EXPECT_TRUE(glmesh.batches.empty());
}
