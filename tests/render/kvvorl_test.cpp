// The preview scene's rules that need no display: identification codes and
// their decoding, and the marker slots built from the template.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "design/designtemplate.h"
#include "design/kvgen.h"
#include "render/kvvorl.h"
#include "render/procgenlib.h"

namespace {

std::vector<double> xyz(const vec3& v) { return {v.x, v.y, v.z}; }

std::optional<picked_element> decode(uint32_t code) {
  return decode_object_pixel(uint8_t(code), uint8_t(code >> 8), uint8_t(code >> 16));
}

TEST(KvvorlPickCodes, ObjectCodesRoundTripAndHandleColoursNeverSelectAnObject) {
  for (const picked_element e : {picked_element{1, 1, 3}, picked_element{0, 14, 0}, picked_element{1, 5, 700}}) {
    const auto got = decode(identification_code(e.object, e.mesh, e.group));
    ASSERT_TRUE(got) << e.object << " " << e.mesh << " " << e.group;
    EXPECT_EQ(std::vector<int>({got->object, got->mesh, got->group}), std::vector<int>({e.object, e.mesh, e.group}));
  }
  EXPECT_EQ(identification_code(1, 1, 2), 1u + 16 + 512 + 273);
  EXPECT_FALSE(decode_object_pixel(0, 0, 0));                      // black keeps the selection
  for (const uint8_t high : {uint8_t(254), uint8_t(255)}) {
    EXPECT_FALSE(decode_object_pixel(high, 0, 0));
    EXPECT_FALSE(decode_object_pixel(17, high, 0));
    EXPECT_FALSE(decode_object_pixel(17, 1, high));
  }
  const int pure[6][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {254, 0, 0}, {0, 254, 0}, {0, 0, 254}};
  for (int h = 0; h < 6; ++h) EXPECT_EQ(decode_handle_pixel(pure[h][0], pure[h][1], pure[h][2]), h + 1);
  EXPECT_EQ(decode_handle_pixel(254, 1, 0), 0);
  EXPECT_EQ(decode_handle_pixel(0, 0, 0), 0);
}

class KvvorlMarkers : public ::testing::Test {
 protected:
  vorlscene& s = vorl_scene;         // the scene the preview calls act on
  vessel_design d;
  void SetUp() override {
    start_scene(s);
    apply_template(d);                 // before the scene's calls: no meshes are read
    for (int kind = 0; kind < marker_slots; ++kind) show_markers(s, d, kind);
  }
  void TearDown() override {
    preview = {};
    stop_scene(s);
  }
  std::vector<typmshgrp>& slot(int kind) { return s.objects[marker_object]->draw->meshes[size_t(kind)].groups; }
};

TEST_F(KvvorlMarkers, SlotsHoldTheGroupsOfEveryElementCentredOnWhatTheyMark) {
  ASSERT_FALSE(d.data.thrusters.empty());
  ASSERT_EQ(slot(1).size(), 2 * d.data.thrusters.size());
  for (size_t k = 0; k < d.data.thrusters.size(); ++k) {
    const thruster_def& t = d.data.thrusters[k];
    EXPECT_EQ(xyz(slot(1)[2 * k].centre), xyz(vec3(t.pos)));
    EXPECT_EQ(xyz(slot(1)[2 * k + 1].centre), xyz(sub(t.pos, t.dir)));
    EXPECT_EQ(slot(1)[2 * k + 1].primitive_kind, 1);                // the cube's quads
  }
  EXPECT_EQ(slot(3).size(), 3 * d.data.docks.size());
  EXPECT_EQ(slot(4).size(), 3 * d.data.touchdown_sets.size());
  EXPECT_EQ(slot(4)[0].indices.size(), size_t(2 * 3 * marker_triangles));  // two crossed marker shapes
  EXPECT_EQ(slot(2).size(), 2 * d.data.exhausts.size());
  for (int kind = 0; kind < marker_slots; ++kind)
    EXPECT_EQ(s.objects[marker_object]->draw->mesh_flags[size_t(kind)], marker_mesh_flags);
}

TEST_F(KvvorlMarkers, AddingOrDeletingRebuildsOnlyItsSlotAndKeepsTheColours) {
  preview = scene_preview_calls();
  set_marker_colour(s, 1, 0, 0xFF0000FFu);
  const size_t docks = slot(3).size();
  const std::vector<typmshgrp> beacons = slot(0);
  add_dock(d, {1, 2, 3}, {0, 0, 1}, {0, 1, 0});
  show_markers(s, d, 3);
  ASSERT_EQ(slot(3).size(), docks + 3);
  EXPECT_EQ(xyz(slot(3)[docks + 2].centre), xyz(vec3({1, 3, 4})));            // position + direction + rotation
  ASSERT_EQ(slot(0).size(), beacons.size());
  for (size_t i = 0; i < beacons.size(); ++i) EXPECT_EQ(slot(0)[i].vertices.size(), beacons[i].vertices.size());
  const vec3 moved{5, 6, 7};
  set_element_point(d, 1, 0, moved.x, moved.y, moved.z);             // a drag or the 3D controls
  EXPECT_EQ(xyz(slot(1)[0].centre), xyz(moved));
  EXPECT_EQ(slot(1)[0].diffuse, 0xFF0000FFu);
  hide_markers(s, 1);
  EXPECT_TRUE(slot(1).empty());
}

TEST_F(KvvorlMarkers, MovingAThrusterMovesTheMarkersAndFlameOfAnExhaustAttachedToIt) {
  preview = scene_preview_calls();
  const auto attached = std::ranges::find(d.data.exhausts, int32_t(exhaust_attached), &exhaust_def::mode);
  ASSERT_NE(attached, d.data.exhausts.end());
  const size_t e = size_t(attached - d.data.exhausts.begin());
  const thruster_def& t = d.data.thrusters[size_t(attached->thruster)];
  set_exhaust_levels(s, d, 1);
  const vec3 moved{5, 6, 7};
  set_element_point(d, 1, 2 * attached->thruster, moved.x, moved.y, moved.z);
  EXPECT_EQ(xyz(slot(2)[2 * e].centre), xyz(moved));
  EXPECT_EQ(xyz(slot(2)[2 * e + 1].centre), xyz(sub(moved, t.dir)));
  update_scene(s, d);
  EXPECT_EQ(xyz(*s.objects[vessel_object]->draw->exhausts[e].position), xyz(moved));
}

}  // namespace
