// The editor's drawing in a real GL context: the mesh thumbnail rendered into
// its texture, read back and released, a missing mesh, and list rows placed
// from the first visible row.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "common/gl_window.h"
#include "design/designtemplate.h"
#include "design/veltools.h"
#include "editor/filecmds.h"
#include "editor/kvlists.h"
#include "editor/kvwindows.h"
#include "editor/meshview.h"

namespace {

const auto* const env = ::testing::AddGlobalTestEnvironment(new gl_window);

class Thumbnail : public ::testing::Test {
 protected:
  double time = 0.5;
  gg_wndtype window;
  GLuint colour = 0, depth = 0;
  void SetUp() override {
    colour = empty_texture(thumbnail_size, thumbnail_size, texture_Linear);
    depth = depth_texture(thumbnail_size, false);
    files.root = CORVANE_DEMO_ROOT;
    browser.browse_rel = "dg/";
    mesh_view_start(colour, depth, &time);
  }
  void TearDown() override {
    mesh_view_final();
    files = file_commands_state{};
    browser = mesh_browser{};
    release_texture(colour);
    release_texture(depth);
  }
  std::vector<uint8_t> texture_pixels() {
    std::vector<uint8_t> px(size_t(thumbnail_size) * thumbnail_size * 4);
    bind_texture(colour);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
    return px;
  }
};

int brightness(const std::vector<uint8_t>& px, int x, int y) {
  const uint8_t* p = &px[(size_t(y) * thumbnail_size + x) * 4];
  return p[0] + p[1] + p[2];
}

TEST_F(Thumbnail, RendersTheChosenMeshIntoItsTextureRestoresGlAndReleasesIt) {
  ASSERT_NE(mesh_view.framebuffer, 0u);
  files.pending_mesh = "deltaglider";
  mode_2d(gl_window::size, gl_window::size);
  mesh_view_draw(window);                              // the loading line only
  EXPECT_FALSE(mesh_view.mesh.loaded);
  EXPECT_EQ(mesh_view_file(), "meshes/dg/deltaglider.msh");
  std::array<GLint, 4> viewport{}, after{};
  glGetIntegerv(GL_VIEWPORT, viewport.data());
  const bool lit = glIsEnabled(GL_LIGHTING);
  mesh_view_draw(window);                              // read and rendered
  ASSERT_TRUE(mesh_view.mesh.loaded) << mesh_view.failure;
  glGetIntegerv(GL_VIEWPORT, after.data());
  EXPECT_EQ(after, viewport);
  EXPECT_EQ(bool(glIsEnabled(GL_LIGHTING)), lit);
  GLint bound = -1;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &bound);
  EXPECT_EQ(bound, 0);

  const std::vector<uint8_t> px = texture_pixels();
  int lit_centre = 0;
  for (int y = 206; y < 306; y += 4)
    for (int x = 206; x < 306; x += 4) lit_centre += brightness(px, x, y) > 0;
  EXPECT_GT(lit_centre, 100) << "of 625 samples round the centre";
  for (int c : {0, thumbnail_size - 1})
    for (int r : {0, thumbnail_size - 1}) EXPECT_EQ(brightness(px, c, r), 0) << c << ", " << r;

  const std::vector<uint32_t> textures = mesh_view.mesh.gl_textures;
  ASSERT_FALSE(textures.empty());
  for (uint32_t t : textures) EXPECT_TRUE(glIsTexture(t));
  mesh_view_release();                                 // as the file commands call it
  EXPECT_FALSE(mesh_view.mesh.loaded);
  for (uint32_t t : textures) EXPECT_FALSE(glIsTexture(t));
}

TEST_F(Thumbnail, AMissingMeshIsReadOnceAndSaysWhy) {
  files.pending_mesh = "missing";
  for (int frame = 0; frame < 3; ++frame) mesh_view_draw(window);
  EXPECT_FALSE(mesh_view.mesh.loaded);
  EXPECT_EQ(mesh_view.failure, "the file was not found");
  EXPECT_FALSE(mesh_view.read_due);                    // no new reading is on its way
  files.pending_mesh = "deltaglider";                  // another choice is read afresh
  mesh_view_draw(window);
  mesh_view_draw(window);
  EXPECT_TRUE(mesh_view.mesh.loaded);
  EXPECT_TRUE(mesh_view.failure.empty());
}

// The current row of a scrolled list is highlighted where it is shown, the
// Animations list as every other.
TEST(ListDrawing, TheCurrentRowIsHighlightedRelativeToTheFirstVisibleRow) {
  gui_init();
  build_font();
  pages = pages_state{};
  apply_template(design);
  while (design.data.anim_seqs.size() < 12) add_animation(design, 0, 1, 0);
  pages_build(800, 600);
  const std::array<uint8_t, 4> highlight{128, 128, 200, 255};
  for (int list : {list_animations, list_thrusters}) {
    ASSERT_GE(list_count_of(list), 12);
    pages.lists[list] = {5, 3};                        // element 6 current, rows 4 to 12 shown
    gg_wndtype& w = page(list_page(list));
    w.x = -110;                                        // the bars from x = 2
    w.y = 0;
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    mode_2d(gl_window::size, gl_window::size);
    list_draw(w);
    const auto row = [](int r) { return pixel_at(20, gl_window::size - 1 - (4 + 22 * r + 1)); };
    EXPECT_EQ(row(2), highlight) << "list " << list;
    EXPECT_NE(row(0), highlight) << "list " << list;
    EXPECT_NE(row(5), highlight) << "list " << list;
    const auto cap = [](int r) { return pixel_at(3, gl_window::size - 1 - (4 + 22 * r + 9)); };
    const std::array<uint8_t, 4> blue{0, 0, 255, 255};
    EXPECT_EQ(cap(8), blue) << "list " << list << ": the ninth row shows element 12";
    EXPECT_NE(cap(9), blue) << "list " << list << ": and no tenth row";
  }
  gui_final();
  design = vessel_design{};
}

}  // namespace
