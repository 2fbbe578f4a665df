// The design operations: adds, deletes with renumbering, groups, points, playback.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include "design/designtemplate.h"
#include "design/kvgen.h"
#include "common/recording_preview.h"

namespace {

vessel_design blank() {
  vessel_design d;
  reset_design(d);
  return d;
}

bool same_bytes(const thruster_def& a, const thruster_def& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(DesignOperations, ResetGivesTheBlankDesign) {
  vessel_design d;
  d.header.gear_anim = 3;
  add_fuel_tank(d, 10);
  reset_design(d);
  EXPECT_EQ(d.header.magic, design_magic);
  EXPECT_STREQ(d.header.vessel_name, "The vessel");
  EXPECT_STREQ(d.header.dll_name, "vessel");
  EXPECT_EQ(d.header.size, 1.0);
  EXPECT_EQ(d.header.albedo, 0xFFFFFFFFu);
  EXPECT_EQ(d.header.payload_manager, 1);
  EXPECT_EQ(d.header.gear_anim, 3);        // reset leaves it alone
  EXPECT_EQ(d.header.fuel_tank_count, 0);
  EXPECT_TRUE(d.data.fuel_tanks.empty());
  ASSERT_EQ(d.data.crew.size(), 1u);
  EXPECT_EQ(d.header.crew_count, 1);
  EXPECT_EQ(d.data.crew[0].max_crew, 0);
  // the rest of the name fields is zero
  for (size_t i = std::strlen("The vessel"); i < sizeof d.header.vessel_name; ++i)
    ASSERT_EQ(d.header.vessel_name[i], 0);
}

TEST(DesignOperations, DeletingElementZeroMovesTheOthersDownByteForByte) {
  vessel_design d = blank();
  for (int i = 0; i < 3; ++i) add_thruster(d, make_vec(i, 0, 0), make_vec(0, 0, 1), 0, {i}, 100.0 * i, 1);
  const thruster_def second = d.data.thrusters[1], third = d.data.thrusters[2];
  EXPECT_TRUE(delete_thruster(d, 0));
  ASSERT_EQ(d.header.thruster_count, 2);
  EXPECT_TRUE(same_bytes(d.data.thrusters[0], second));
  EXPECT_TRUE(same_bytes(d.data.thrusters[1], third));
  EXPECT_FALSE(delete_thruster(d, 2));
  EXPECT_FALSE(delete_thruster(d, -1));
  EXPECT_EQ(d.header.thruster_count, 2);
}

TEST(DesignOperations, GroupCountGrowsWithAddedThrustersOnly) {
  vessel_design d = blank();
  d.header.thruster_group_count = 5;
  const int t = add_thruster(d, {}, make_vec(0, 0, 1), 0, {3, 11}, 1, 1);
  EXPECT_EQ(d.header.thruster_group_count, 12);
  thruster_group_add(d, t, 14);
  EXPECT_EQ(d.header.thruster_group_count, 12);
  delete_thruster(d, t);
  EXPECT_EQ(d.header.thruster_group_count, 12);
}

TEST(DesignOperations, GroupSlotsHoldEachIdOnceAndAtMostEight) {
  vessel_design d = blank();
  const int t = add_thruster(d, {}, make_vec(0, 0, 1), 0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 1, 1);
  const thruster_def& th = d.data.thrusters[t];
  EXPECT_EQ(th.groups[7], 7);                // only the first 8 are kept
  EXPECT_FALSE(thruster_in_group(d, t, 8));
  thruster_group_remove(d, t, 2);
  EXPECT_EQ(th.groups[2], thruster_group_unused);
  thruster_group_add(d, t, 14);
  thruster_group_add(d, t, 14);
  EXPECT_EQ(th.groups[2], 14);
  EXPECT_EQ(std::count(std::begin(th.groups), std::end(th.groups), 14), 1);
  thruster_group_add(d, t, 13);              // a ninth group is ignored
  EXPECT_FALSE(thruster_in_group(d, t, 13));
  thruster_group_remove(d, t, 14);
  thruster_group_add(d, t, 13);              // the freed slot takes the next add
  EXPECT_EQ(th.groups[2], 13);
}

TEST(DesignOperations, TankDeletionRenumbersThrusters) {
  vessel_design d = blank();
  add_fuel_tank(d, 1);
  EXPECT_FALSE(delete_fuel_tank(d, 0));      // the last tank stays
  EXPECT_EQ(d.header.fuel_tank_count, 1);
  add_fuel_tank(d, 2);
  add_fuel_tank(d, 3);
  for (int tank = 0; tank < 3; ++tank) add_thruster(d, {}, make_vec(0, 0, 1), tank, {0}, 1, 1);
  EXPECT_TRUE(delete_fuel_tank(d, 1));
  EXPECT_EQ(d.data.fuel_tanks[1].max_mass, 3);
  EXPECT_EQ(d.data.thrusters[0].tank, 0);
  EXPECT_EQ(d.data.thrusters[1].tank, 0);    // used the deleted tank
  EXPECT_EQ(d.data.thrusters[2].tank, 1);    // follows its tank down
}

TEST(DesignOperations, ThrusterDeletionRemovesItsExhaustsAndRenumbersTheRest) {
  vessel_design d = blank();
  for (int i = 0; i < 3; ++i) add_editor_thruster(d, 1, 1);
  add_exhaust(d, 0, 1, 1);
  add_exhaust(d, 1, 2, 1);
  add_exhaust(d, 1, 3, 1, make_vec(1, 2, 3), make_vec(0, -1, 0));
  add_exhaust(d, 2, 4, 1);
  delete_thruster(d, 1);
  ASSERT_EQ(d.header.exhaust_count, 2);
  EXPECT_EQ(d.data.exhausts[0].thruster, 0);
  EXPECT_EQ(d.data.exhausts[1].thruster, 1);
  EXPECT_EQ(d.data.exhausts[1].length, 4);
}

TEST(DesignOperations, TankSettingFallsBackToTankZero) {
  vessel_design d = blank();
  add_fuel_tank(d, 1);
  add_fuel_tank(d, 1);
  const int t = add_editor_thruster(d, 1, 1);
  EXPECT_EQ(set_thruster_tank(d, t, 1), 1);
  EXPECT_EQ(set_thruster_tank(d, t, 7), 0);
  EXPECT_EQ(d.data.thrusters[t].tank, 0);
  assign_thruster_tank(d, t, 5);             // not a tank: nothing changes
  EXPECT_EQ(d.data.thrusters[t].tank, 0);
  assign_thruster_tank(d, t, 1);
  EXPECT_EQ(d.data.thrusters[t].tank, 1);
}

TEST(DesignOperations, DefaultRcsAddsFourteenThrustersDoublingTheLastTwo) {
  vessel_design d = blank();
  add_default_rcs(d, 2500, 40000);
  ASSERT_EQ(d.header.thruster_count, 14);
  EXPECT_EQ(d.header.thruster_group_count, 15);
  EXPECT_EQ(d.data.thrusters[11].max_thrust, 2500);
  EXPECT_EQ(d.data.thrusters[12].max_thrust, 5000);
  EXPECT_EQ(d.data.thrusters[13].max_thrust, 5000);
  EXPECT_EQ(d.data.thrusters[12].groups[0], group_back);
  EXPECT_EQ(d.data.thrusters[4].groups[1], group_up);
  EXPECT_EQ(d.data.thrusters[9].dir.x, -1);
  EXPECT_EQ(d.data.thrusters[0].p_ref, 100000.0);
}

TEST(DesignOperations, TouchdownSetsStopAtTwo) {
  vessel_design d = blank();
  EXPECT_EQ(add_touchdown_set(d), 0);
  EXPECT_EQ(add_touchdown_set(d), 1);
  EXPECT_EQ(add_touchdown_set(d), -1);
  EXPECT_EQ(d.header.touchdown_set_count, 2);
  EXPECT_EQ(d.data.touchdown_sets[0].pt2.x, -5);
}

TEST(DesignOperations, PointsAddressTheRightVector) {
  vessel_design d = blank();
  add_dock(d);
  add_dock(d);
  add_editor_thruster(d, 1, 1);
  recording_preview rec;
  EXPECT_TRUE(set_element_point(d, point_docks, 5, 1, 2, 3));     // dock 1 rot
  EXPECT_EQ(d.data.docks[1].rot.z, 3);
  EXPECT_EQ(d.data.docks[1].pos.x, 0);
  EXPECT_EQ(told.markers, std::vector<int>{point_docks});
  EXPECT_TRUE(set_element_point(d, point_thrusters, 1, 0, 1, 0)); // thruster 0 dir
  EXPECT_EQ(d.data.thrusters[0].dir.y, 1);
  EXPECT_FALSE(set_element_point(d, point_thrusters, 2, 9, 9, 9));
  EXPECT_FALSE(set_element_point(d, point_beacons, 0, 9, 9, 9));
  EXPECT_FALSE(set_element_point(d, 17, 0, 9, 9, 9));
}

TEST(DesignOperations, ComponentRangeIsClampedAndOrdered) {
  vessel_design d = blank();
  const int a = add_animation(d, 34, 1, 0);
  add_group_list(d, a, {1});
  add_component(d, a, make_component(0, comp_rotation, 0, {}, make_vec(1, 0, 0), 1, 0, 1));
  set_component_range(d, a, 0, 0.8, 0.6);
  EXPECT_EQ(d.data.anim_seqs[a].comps[0].state0, 0.6);
  EXPECT_EQ(d.data.anim_seqs[a].comps[0].state1, 0.6);
  set_component_range(d, a, 0, -1, 7);
  EXPECT_EQ(d.data.anim_seqs[a].comps[0].state0, 0);
  EXPECT_EQ(d.data.anim_seqs[a].comps[0].state1, 1);
}

TEST(DesignOperations, AnimationAddsTellThePreviewAndRejectBadTargets) {
  vessel_design d = blank();
  recording_preview rec;
  const int a = add_animation(d, 37, 0.5, 0.25);
  EXPECT_EQ(d.data.anim_seqs[a].seq.state, anim_rest);
  EXPECT_EQ(d.data.anim_seqs[a].seq.default_pos, 0.25);
  EXPECT_EQ(d.anim_playing.size(), 1u);
  EXPECT_EQ(add_group_list(d, a, {}), -1);
  EXPECT_EQ(add_group_list(d, 4, {1}), -1);
  EXPECT_EQ(add_group_list(d, a, {1, 2}), 0);
  EXPECT_EQ(add_component(d, 1, anim_comp{}), -1);
  EXPECT_EQ(add_component(d, a, anim_comp{}), 0);
  EXPECT_EQ(told.anims, 1);
  EXPECT_EQ(told.comps, (std::vector<std::pair<int, int>>{{0, 0}}));
  EXPECT_EQ(d.data.anim_seqs[a].seq.group_list_count, 1);
  EXPECT_EQ(d.data.anim_seqs[a].seq.comp_count, 1);
}

TEST(DesignOperations, DurationNeverGivesAnInfiniteRate) {
  vessel_design d = blank();
  const int a = add_animation(d, 0, 1, 0);
  set_duration(d, a, 4);
  EXPECT_EQ(d.data.anim_seqs[a].seq.rate, 0.25);
  set_duration(d, a, 0);
  EXPECT_EQ(d.data.anim_seqs[a].seq.rate, 100);
}

TEST(DesignOperations, GearAndAeroAnimationNeedAnExistingAnimation) {
  vessel_design d = blank();
  add_aero_element(d);
  set_gear_animation(d, 0);
  set_aero_animation(d, 0, 0);
  EXPECT_EQ(d.header.gear_anim, 0);
  EXPECT_EQ(d.data.aero_elements[0].anim, -1);
  add_animation(d, 0, 1, 0);
  add_animation(d, 0, 1, 0);
  set_gear_animation(d, 1);
  set_aero_animation(d, 0, 1);
  EXPECT_EQ(d.header.gear_anim, 1);
  EXPECT_EQ(d.data.aero_elements[0].anim, 1);
}

// Runs frames of dt until the state differs from `state`; returns the frames run.
int frames_while(vessel_design& d, int state, double dt) {
  int n = 0;
  while (d.data.anim_seqs[0].seq.state == state && n < 1000) { update_design_frame(d, dt); ++n; }
  return n;
}

TEST(DesignOperations, PlaybackRunsUpTurnsAndRunsDown) {
  vessel_design d = blank();
  add_animation(d, 34, 0.5, 0);
  recording_preview rec;
  play_animation(d, 0);
  const anim_seq& s = d.data.anim_seqs[0].seq;
  // 2 s at 0.5 per second: 8 frames of 0.25 s reach 1
  for (int i = 0; i < 8; ++i) update_design_frame(d, 0.25);
  EXPECT_EQ(s.state, anim_opening);
  EXPECT_DOUBLE_EQ(s.position, 1.0);
  update_design_frame(d, 0.25);              // one frame only turns the state
  EXPECT_EQ(s.state, anim_open);
  EXPECT_DOUBLE_EQ(s.position, 1.0);
  update_design_frame(d, 0.25);
  EXPECT_EQ(s.state, anim_closing);
  EXPECT_DOUBLE_EQ(s.position, 0.875);
  EXPECT_EQ(frames_while(d, anim_closing, 0.25), 8);
  EXPECT_EQ(s.state, anim_rest);
  EXPECT_EQ(s.position, 0.0);
  update_design_frame(d, 0.25);              // and up again
  EXPECT_EQ(s.state, anim_opening);
  EXPECT_DOUBLE_EQ(s.position, 0.125);
  EXPECT_EQ(told.moved.back(), s.position);
  stop_animation(d, 0);
  update_design_frame(d, 0.25);
  EXPECT_DOUBLE_EQ(s.position, 0.125);       // a stopped animation keeps its position
  EXPECT_DOUBLE_EQ(d.header.design_time, 0.25 * 20);
}

TEST(DesignOperations, AirlockFollowsDockZero) {
  vessel_design d = blank();
  update_design_frame(d, 0.1);
  EXPECT_EQ(d.data.crew[0].airlock_size.x, 0);   // no dock: untouched
  add_dock(d, make_vec(2, 0, 5), make_vec(0, 0, 1), make_vec(0, 1, 0));
  update_design_frame(d, 0.1);
  EXPECT_EQ(d.data.crew[0].airlock_pos.x, 2);
  EXPECT_EQ(d.data.crew[0].airlock_pos.z, 5);
  EXPECT_EQ(d.data.crew[0].airlock_rot.y, 1);
  EXPECT_EQ(d.data.crew[0].airlock_size.z, 1);
}

TEST(DesignOperations, MeshAddCutsTheNameAndTakesThePreviewRadius) {
  vessel_design d = blank();
  recording_preview rec;
  told.radius = 12.5;
  const int m = add_mesh(d, std::string(300, 'm'), visibility_external);
  EXPECT_EQ(told.meshes.at(0).size(), 255u);
  EXPECT_EQ(d.data.meshes[m].name[255], 0);
  EXPECT_EQ(d.header.size, 12.5);
  told.radius = 3.0;
  add_mesh(d, "small", visibility_vc);
  EXPECT_EQ(d.header.size, 12.5);            // only ever raised
}

TEST(DesignOperations, BeaconsAndDeletesKeepCountsInStep) {
  vessel_design d = blank();
  beacon_def b = editor_beacon();
  b.pos_ref = 1234;
  add_beacon(d, b);
  add_beacon(d, editor_beacon());
  EXPECT_EQ(d.data.beacons[0].pos_ref, 0u);
  EXPECT_EQ(d.data.beacons[0].col.x, 1);
  EXPECT_TRUE(delete_beacon(d, 0));
  EXPECT_EQ(d.header.beacon_count, 1);
  add_aero_element(d);
  EXPECT_TRUE(delete_aero_element(d, 0));
  EXPECT_FALSE(delete_aero_element(d, 0));
  EXPECT_EQ(d.header.aero_element_count, 0);
}

}  // namespace

TEST(DesignOperations, MeshAndAnimationDeletionKeepReferencesValidAndRelinkThePreview) {
  vessel_design d;
  recording_preview rec;
  for (const char* m : {"a", "b", "c"}) add_mesh(d, m, visibility_external);
  for (int a = 0; a < 3; ++a) add_animation(d, 34 + a, 1.0, 0.0);
  const int list = add_group_list(d, 1, {4});
  add_component(d, 1, make_component(0, comp_rotation, list, {}, make_vec(1, 0, 0), 1, 0, 1));
  add_component(d, 1, make_component(1, comp_rotation, list, {}, make_vec(1, 0, 0), 1, 0, 1));
  add_component(d, 1, make_component(2, comp_rotation, list, {}, make_vec(1, 0, 0), 1, 0, 1));
  vc_view v{};
  v.hud_mesh = 1;
  add_vc_view(d, v);
  add_mfd_binding(d, 0, mfd_left, 1, 5);
  add_mfd_binding(d, 0, mfd_right, 2, 6);
  told = {};
  ASSERT_TRUE(delete_mesh(d, 1));
  EXPECT_EQ(told.resets, 1);
  EXPECT_EQ(told.meshes.size(), 2u);                       // the preview hears of the two left
  EXPECT_STREQ(d.data.meshes[1].name, "c");
  ASSERT_EQ(d.data.anim_seqs[1].seq.comp_count, 2);  // the component on mesh 1 went with it
  EXPECT_EQ(d.data.anim_seqs[1].comps[1].mesh, 1);  // mesh 2 is now mesh 1
  EXPECT_EQ(d.data.vc_views[0].view.hud_mesh, -1);
  ASSERT_EQ(d.data.vc_views[0].view.mfd_count, 1);
  EXPECT_EQ(d.data.vc_views[0].mfds[0].mesh, 1);

  d.header.gear_anim = 2;
  add_aero_element(d);
  add_aero_element(d);
  set_aero_animation(d, 0, 1);
  set_aero_animation(d, 1, 2);
  play_animation(d, 2);
  ASSERT_TRUE(delete_animation(d, 1));
  EXPECT_EQ(d.header.anim_seq_count, 2);
  EXPECT_EQ(d.data.anim_seqs[1].seq.key, 36);
  EXPECT_EQ(d.header.gear_anim, 1);
  EXPECT_EQ(d.data.aero_elements[0].anim, -1);       // it named the deleted one
  EXPECT_EQ(d.data.aero_elements[1].anim, 1);
  EXPECT_EQ(d.anim_playing, (aointeger{0, 1}));      // the play flag moved with its animation
  EXPECT_FALSE(delete_animation(d, 2));
  EXPECT_FALSE(delete_mesh(d, -1));
}

TEST(DesignOperations, ComponentGroupsAreAddedOnceAndNeverEmptied) {
  vessel_design d;
  add_animation(d, 34, 1.0, 0.0);
  const int list = add_group_list(d, 0, {3});
  add_component(d, 0, make_component(0, comp_translate, list, {}, make_vec(0, 1, 0), 0, 0, 1));
  EXPECT_TRUE(add_component_group(d, 0, 0, 7));
  EXPECT_FALSE(add_component_group(d, 0, 0, 7));
  EXPECT_FALSE(add_component_group(d, 0, 1, 7));     // no such component
  EXPECT_EQ(d.data.anim_seqs[0].group_lists[0], (aointeger{3, 7}));
  EXPECT_TRUE(remove_component_group(d, 0, 0, 0));
  EXPECT_FALSE(remove_component_group(d, 0, 0, 0));   // the last group stays
  EXPECT_EQ(d.data.anim_seqs[0].group_lists[0], (aointeger{7}));
}

TEST(DesignOperations, SwitchesShapesKindsAndVisibilityStayInTheirRange) {
  vessel_design d;
  set_design_flag(d, flag_payload_manager, false);
  set_design_flag(d, flag_have_vc, true);
  EXPECT_EQ(d.header.payload_manager, 0);
  EXPECT_EQ(d.header.have_vc, 1);
  EXPECT_TRUE(design_flag_set(d, flag_transponder));
  add_beacon(d, editor_beacon());
  set_beacon_shape(d, 0, beacon_star);
  set_beacon_shape(d, 0, 7);
  EXPECT_EQ(d.data.beacons[0].shape, uint32_t(beacon_star));
  add_aero_element(d);
  set_aero_type(d, 0, aero_control);
  set_aero_type(d, 0, 5);
  set_aero_kind(d, 0, control_elevator_trim);
  EXPECT_EQ(d.data.aero_elements[0].type, aero_control);
  EXPECT_EQ(d.data.aero_elements[0].kind, control_elevator_trim);
  add_thruster(d, {}, make_vec(0, 0, 1), 0, {0}, 1, 1);
  add_exhaust(d, 0, 10, 1);
  set_exhaust_mode(d, 0, exhaust_free);
  EXPECT_EQ(d.data.exhausts[0].mode, exhaust_free);
  EXPECT_TRUE(delete_exhaust(d, 0));
  EXPECT_EQ(d.header.exhaust_count, 0);
  add_mesh(d, "m", visibility_external);
  set_mesh_visibility(d, 0, visibility_cockpit | visibility_vc);
  EXPECT_EQ(d.data.meshes[0].visibility, visibility_cockpit | visibility_vc);
  add_animation(d, 34, 1, 0);
  set_animation_key(d, 0, 2);
  EXPECT_EQ(d.data.anim_seqs[0].seq.key, 2);
}

namespace {

using v3 = std::array<double, 3>;
v3 xyz(const vec3& v) { return {v.x, v.y, v.z}; }

bool in_groups(const thruster_def& t, int id) { return std::find(std::begin(t.groups), std::end(t.groups), id) != std::end(t.groups); }

TEST(CopyAndMirror, TheTemplatesYawLeftThrusterMirrorsIntoYawRight) {
  vessel_design d;
  apply_template(d);
  int src = -1;
  for (size_t i = 0; i < d.data.thrusters.size(); ++i) {
    const thruster_def& t = d.data.thrusters[i];
    if (xyz(t.pos) == v3{0, 0, 15} && xyz(t.dir) == v3{-1, 0, 0} && in_groups(t, group_yawleft)) src = int(i);
  }
  ASSERT_GE(src, 0);
  const int k = duplicate_element(d, point_thrusters, src, true);
  ASSERT_EQ(k, d.header.thruster_count - 1);
  const thruster_def& m = d.data.thrusters[size_t(k)];
  EXPECT_EQ(xyz(m.pos), (v3{0, 0, 15}));
  EXPECT_EQ(xyz(m.dir), (v3{1, 0, 0}));
  EXPECT_TRUE(in_groups(m, group_yawright) && in_groups(m, group_right));
  EXPECT_FALSE(in_groups(m, group_yawleft) || in_groups(m, group_left));
}

TEST(CopyAndMirror, ThrustersKeepTankGroupsAndBringTheirOwnExhausts) {
  vessel_design d = blank();
  add_fuel_tank(d, 10);
  add_fuel_tank(d, 20);
  add_editor_thruster(d, 1, 1);
  add_thruster(d, make_vec(2, 1, -3), make_vec(0.6, 0, 0.8), 1, {group_main, group_bankleft}, 5, 6);
  add_exhaust(d, 1, 3, 1, make_vec(2, 1, -4), make_vec(0.6, 0, -0.8));
  add_exhaust(d, 0, 9, 9);
  add_exhaust(d, 1, 4, 2);
  const thruster_def before = d.data.thrusters[1];
  EXPECT_EQ(duplicate_element(d, point_thrusters, 1, false), 2);
  EXPECT_TRUE(same_bytes(d.data.thrusters[2], before));
  EXPECT_EQ(duplicate_element(d, point_thrusters, 1, true), 3);
  const thruster_def& m = d.data.thrusters[3];
  EXPECT_EQ(xyz(m.pos), (v3{-2, 1, -3}));
  EXPECT_EQ(xyz(m.dir), (v3{-0.6, 0, 0.8}));
  EXPECT_EQ(m.tank, 1);
  EXPECT_EQ(m.max_thrust, 5);
  EXPECT_TRUE(in_groups(m, group_main) && in_groups(m, group_bankright) && !in_groups(m, group_bankleft));
  EXPECT_EQ(d.header.thruster_group_count, group_bankright + 1);
  // Two exhausts each for the copy and the mirror image, after the three originals.
  ASSERT_EQ(d.header.exhaust_count, 7);
  EXPECT_EQ(d.data.exhausts[3].thruster, 2);
  EXPECT_EQ(d.data.exhausts[4].thruster, 2);
  EXPECT_EQ(d.data.exhausts[6].thruster, 3);
  EXPECT_EQ(d.data.exhausts[6].length, 4);
  EXPECT_EQ(xyz(d.data.exhausts[5].pos), (v3{-2, 1, -4}));
  EXPECT_EQ(xyz(d.data.exhausts[5].dir), (v3{-0.6, 0, -0.8}));
}

TEST(CopyAndMirror, OtherKindsReflectTheirPointsAndRefuseWhatTheAddRefuses) {
  vessel_design d = blank();
  beacon_def b = editor_beacon();
  b.pos = make_vec(1, 2, 3);
  add_beacon(d, b);
  add_dock(d, make_vec(1, 0, 2), make_vec(1, 0, 0), make_vec(0.5, 0.5, 0));
  add_touchdown_set(d, make_vec(0.5, -1, 5), make_vec(-4, -1, -5), make_vec(3, -1, -5));
  add_aero_element(d, aero_control, control_aileron);
  set_element_point(d, point_aero, 0, 4, 0, -2);
  EXPECT_EQ(duplicate_element(d, point_beacons, 0, true), 1);
  EXPECT_EQ(xyz(d.data.beacons[1].pos), (v3{-1, 2, 3}));
  EXPECT_EQ(d.data.beacons[1].size, b.size);
  EXPECT_EQ(duplicate_element(d, point_docks, 0, true), 1);
  EXPECT_EQ(xyz(d.data.docks[1].pos), (v3{-1, 0, 2}));
  EXPECT_EQ(xyz(d.data.docks[1].dir), (v3{-1, 0, 0}));
  EXPECT_EQ(xyz(d.data.docks[1].rot), (v3{-0.5, 0.5, 0}));
  EXPECT_EQ(duplicate_element(d, point_touchdown, 0, true), 1);
  const touchdown_set& t = d.data.touchdown_sets[1];
  EXPECT_EQ(xyz(t.pt1), (v3{-0.5, -1, 5}));
  EXPECT_EQ(xyz(t.pt2), (v3{-3, -1, -5}));     // the right point mirrored is the new left one
  EXPECT_EQ(xyz(t.pt3), (v3{4, -1, -5}));
  EXPECT_EQ(duplicate_element(d, point_touchdown, 0, false), -1);   // a third set is refused
  EXPECT_EQ(duplicate_element(d, point_aero, 0, true), 1);
  EXPECT_EQ(d.data.aero_elements[1].kind, control_aileron);
  EXPECT_EQ(xyz(d.data.aero_elements[1].pos), (v3{-4, 0, -2}));
  EXPECT_EQ(duplicate_element(d, point_exhausts, 0, true), -1);
  EXPECT_EQ(duplicate_element(d, point_beacons, 5, false), -1);
  EXPECT_EQ(d.header.beacon_count, 2);
  EXPECT_EQ(d.header.aero_element_count, 2);
}

}  // namespace
