// The designer's scene in a real GL context, with the template vessel read
// from a copy of the demo installation: meshes and size, picks of the hull,
// of markers and of handles, the gear moving the vessel's groups, flames and
// the objects' own lights.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <vector>

#include "common/gl_window.h"
#include "design/designtemplate.h"
#include "design/kvgen.h"
#include "engine_folder.h"
#include "render/kvvorl.h"
#include "render/vorldraw.h"

namespace {

const auto* const env = ::testing::AddGlobalTestEnvironment(new gl_window);
constexpr int centre = gl_window::size / 2;

class ScenePreview : public engine_folder {
 protected:
  vessel_design d;
  void prepare() override {
    namespace fs = std::filesystem;
    fs::copy(CORVANE_DEMO_ROOT "/Meshes", dir.file("Meshes"), fs::copy_options::recursive);
    fs::copy(CORVANE_DEMO_ROOT "/Textures/dg", dir.file("Textures/dg"), fs::copy_options::recursive);
    fs::copy_file(CORVANE_DEMO_ROOT "/Textures/Exhaust.dds", dir.file("Textures/Exhaust.dds"));
  }
  void SetUp() override {
    engine_folder::SetUp();
    start_scene(vorl_scene);
    preview = scene_preview_calls();
    preview.shown = &d;
    apply_template(d);
  }
  void TearDown() override {
    preview = {};
    stop_scene(vorl_scene);
    engine_folder::TearDown();
  }
  draw_rec& vessel() { return *vorl_scene.objects[vessel_object]->draw; }
  // The camera 'back' metres behind a point of the vessel frame, looking along +z.
  void look_at(const vec3& p, double back) {
    vorl_scene.camera.position = add(vorl_scene.objects[vessel_object]->position, add(p, {0, 0, -back}));
    vorl_scene.camera.angles = {0, 0, 0};
    render_preview(vorl_scene, d);
  }
  std::vector<uint8_t> frame() {
    std::vector<uint8_t> px(size_t(gl_window::size) * gl_window::size * 4);
    glFinish();
    glReadPixels(0, 0, gl_window::size, gl_window::size, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
    return px;
  }
  static int reds_changed(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    int n = 0;
    for (size_t i = 0; i < a.size(); i += 4) n += std::abs(int(a[i]) - int(b[i])) > 30;
    return n;
  }
  void select(int object, int mesh, int group) {
    vorl_scene.picked_object = object;
    vorl_scene.picked_mesh = mesh;
    vorl_scene.picked_group = group;
  }
  std::vector<int> picked() { return {vorl_scene.picked_object, vorl_scene.picked_mesh, vorl_scene.picked_group}; }
};

TEST_F(ScenePreview, TemplateMeshesLoadTexturedAMissingOneStaysUnloadedAndTheSizeFollowsTheLargest) {
  ASSERT_EQ(vessel().mesh_count, 2);
  for (const typmsh& m : vessel().meshes) EXPECT_TRUE(m.loaded);
  EXPECT_GT(vessel().meshes[0].groups[0].texture.index + vessel().meshes[0].groups.back().texture.index, 0);
  EXPECT_EQ(vessel().mesh_flags, aointeger({visibility_external, visibility_vc}));
  const double radius = vessel().meshes[0].radius;
  d.header.size = 1;
  ASSERT_EQ(add_mesh(d, "no\\such", visibility_external), 2);
  EXPECT_EQ(d.header.size, 1);                                        // nothing was loaded
  ASSERT_EQ(add_mesh(d, "dg\\deltaglider", visibility_external), 3);
  EXPECT_EQ(d.header.size, radius);
  ASSERT_EQ(vessel().mesh_count, 4);
  EXPECT_FALSE(vessel().meshes[2].loaded);
  EXPECT_TRUE(vessel().meshes[3].loaded);
  look_at({0, 0, 0}, 20);                                             // where the designer starts
  const std::vector<uint8_t> px = frame();
  const uint8_t* mid = &px[(size_t(centre) * gl_window::size + centre) * 4];
  EXPECT_GT(std::max({mid[0], mid[1], mid[2]}), 20) << "the hull in the middle";
}

TEST_F(ScenePreview, PicksFindTheHullOnlyWithoutMarkersAndMarkersInsideIt) {
  set_markers_mode(vorl_scene, false);
  look_at({0, 0, 0}, 20);
  pick(vorl_scene, centre, centre, false);
  EXPECT_EQ(vorl_scene.picked_object, 0);
  set_markers_mode(vorl_scene, true);                                 // a marker page is open
  select(7, 7, 7);
  pick(vorl_scene, centre, centre, false);
  EXPECT_EQ(picked(), std::vector<int>({7, 7, 7}));                   // black: nothing changes
  show_markers(vorl_scene, d, 1);
  const int k = 0;
  look_at(d.data.thrusters[k].pos, 4);                               // the marker lies inside the hull
  pick(vorl_scene, centre, centre, false);
  ASSERT_EQ(vorl_scene.picked_object, 1);
  EXPECT_EQ(vorl_scene.picked_mesh, 1);
  EXPECT_EQ(vorl_scene.picked_group / 2, k);
  select(1, 1, 2 * k);
  look_at(d.data.thrusters[k].pos, 20);                              // draws the handles, keeps their ends
  const vec2 c = vorl_scene.handle_points[0], x_end = vorl_scene.handle_points[1];
  pick(vorl_scene, int(c.x + 0.7 * (x_end.x - c.x)), int(c.y + 0.7 * (x_end.y - c.y)), true);
  EXPECT_EQ(vorl_scene.picked_handle, 1);
  EXPECT_EQ(picked(), std::vector<int>({1, 1, 2 * k}));
  pick(vorl_scene, 0, 0, true);
  EXPECT_EQ(vorl_scene.picked_handle, 0);
}

TEST_F(ScenePreview, TheGearOpenedAndClosedMovesTheVesselsGroupsAndBringsThemBack) {
  const int gear = d.header.gear_anim;
  const aopntyp before = vessel().meshes[0].groups[size_t(d.data.anim_seqs[size_t(gear)].group_lists[0][0])].vertices;
  auto moved = [&] {
    const aopntyp& now =
        vessel().meshes[0].groups[size_t(d.data.anim_seqs[size_t(gear)].group_lists[0][0])].vertices;
    double most = 0;
    for (size_t i = 0; i < now.size(); ++i)
      most = std::max({most, double(std::fabs(now[i].position.x - before[i].position.x)),
                       double(std::fabs(now[i].position.y - before[i].position.y)),
                       double(std::fabs(now[i].position.z - before[i].position.z))});
    return most;
  };
  const double start = d.data.anim_seqs[size_t(gear)].seq.position;
  set_animation_position(d, gear, start < 0.5 ? 1 : 0);
  update_scene(vorl_scene, d);
  EXPECT_GT(moved(), 0.1);
  set_animation_position(d, gear, start);
  update_scene(vorl_scene, d);
  EXPECT_LT(moved(), 1e-4);
}

TEST_F(ScenePreview, ExhaustsWithALevelBurnInFrontOfTheCamera) {
  add_exhaust(d, 0, 4, 0.5, {0, 0, -12}, {1, 0, 0});                  // across the view, before the hull
  set_exhaust_levels(vorl_scene, d, 0);
  look_at({0, 0, 0}, 20);
  const std::vector<uint8_t> dark = frame();
  set_exhaust_levels(vorl_scene, d, 1);
  look_at({0, 0, 0}, 20);
  EXPECT_GT(reds_changed(dark, frame()), 100);
}

TEST_F(ScenePreview, MultilightGivesEachObjectALightOfItsOwnWithoutAGlError) {
  show_markers(vorl_scene, d, 1);
  look_at({0, 0, 0}, 20);
  const std::vector<uint8_t> plain = frame();
  vorl_scene.multilight = true;
  look_at({0, 0, 0}, 20);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  EXPECT_GT(reds_changed(plain, frame()), 100);
}

}  // namespace
