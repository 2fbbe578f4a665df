// The template vessel: counts, order-dependent values, and what a save stores.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include "design/designfile.h"
#include "design/designtemplate.h"
#include "design/kvgen.h"

namespace {

TEST(Template, HoldsEveryElementKind) {
  vessel_design d;
  apply_template(d);
  const design_header& h = d.header;
  EXPECT_EQ(h.thruster_count, 20);
  EXPECT_EQ(h.exhaust_count, 21);
  EXPECT_EQ(h.mesh_count, 2);
  EXPECT_EQ(h.anim_seq_count, 2);
  EXPECT_EQ(h.beacon_count, 7);
  EXPECT_EQ(h.dock_count, 1);
  EXPECT_EQ(h.vc_view_count, 5);
  EXPECT_EQ(h.touchdown_set_count, 2);
  EXPECT_EQ(h.fuel_tank_count, 2);
  EXPECT_EQ(h.aero_element_count, 2);
  EXPECT_EQ(h.crew_count, 1);
  EXPECT_EQ(h.thruster_group_count, 15);
  ASSERT_EQ(d.data.anim_seqs.size(), 2u);
  EXPECT_EQ(d.data.anim_seqs[0].seq.group_list_count, 10);
  EXPECT_EQ(d.data.anim_seqs[0].seq.comp_count, 14);
  EXPECT_EQ(d.data.anim_seqs[1].seq.group_list_count, 7);
  EXPECT_EQ(d.data.anim_seqs[1].seq.comp_count, 7);
  EXPECT_EQ(d.data.crew[0].max_crew, 5);
}

TEST(Template, ValuesLandWhereTheOrderPutsThem) {
  vessel_design d;
  apply_template(d);
  EXPECT_STREQ(d.header.dll_name, "deltaglider_vrk");
  EXPECT_EQ(d.header.payload_manager, 0);
  EXPECT_EQ(d.header.albedo, 0xFF2133C4u);   // 0.77, 0.20, 0.13, 1.0 as bytes, red lowest
  EXPECT_EQ(d.header.gear_anim, 0);
  EXPECT_STREQ(d.data.meshes[0].name, "dg\\deltaglider");
  EXPECT_EQ(d.data.meshes[1].visibility, visibility_vc);
  // thrusters 6..19 are the attitude set at 2500 N, the last two doubled
  EXPECT_EQ(d.data.thrusters[6].max_thrust, 2500.0);
  EXPECT_EQ(d.data.thrusters[19].max_thrust, 5000.0);
  EXPECT_EQ(d.data.thrusters[19].isp, 40000.0);
  EXPECT_EQ(d.data.thrusters[2].dir.y, 0.042105);
  // exhausts 7..20 sit on thrusters 6..19
  EXPECT_EQ(d.data.exhausts[7].thruster, 6);
  EXPECT_EQ(d.data.exhausts[20].thruster, 19);
  EXPECT_EQ(d.data.exhausts[20].width, 0.08);
  EXPECT_EQ(d.data.exhausts[6].mode, exhaust_free);
  EXPECT_EQ(d.data.exhausts[6].pos.x, 3);
  // the gear turns, the cone shifts at the end of its animation
  const anim_comp& first = d.data.anim_seqs[0].comps[0];
  EXPECT_EQ(first.angle, float(-95 * pi / 180));
  const vec3 ref = first.ref;                // copied: packed vectors may sit off alignment
  EXPECT_EQ(ref.z, 8.561);
  const anim_comp& shift = d.data.anim_seqs[1].comps[6];
  EXPECT_EQ(shift.type, comp_translate);
  const vec3 axis = shift.axis;
  EXPECT_EQ(axis.z, 0.06);
  EXPECT_EQ(shift.angle, 0.0f);
  EXPECT_EQ(d.data.anim_seqs[1].comps[0].mesh, 1);
  EXPECT_EQ(d.data.anim_seqs[0].seq.default_pos, 1.0);
  EXPECT_EQ(d.data.anim_seqs[0].seq.key, 34);
  // beacons count their time offsets down, views have their neighbours and HUD
  for (int i = 0; i < 7; ++i) EXPECT_NEAR(d.data.beacons[i].tofs, (6 - i) * 0.2, 1e-12);
  EXPECT_EQ(d.data.beacons[5].period, 1.13);
  EXPECT_EQ(d.data.vc_views[0].view.hud_group, 136);
  EXPECT_EQ(d.data.vc_views[4].view.neighbours[0], 3);
  EXPECT_EQ(d.data.vc_views[1].view.hud_mesh, -1);
  EXPECT_EQ(d.data.vc_views[0].mfds[1].group, 110);
  EXPECT_EQ(d.data.vc_views[0].mfds[1].mfd, mfd_right);
  EXPECT_EQ(d.data.aero_elements[1].kind, lift_horizontal);
  EXPECT_EQ(d.data.aero_elements[1].anim, -1);
  EXPECT_EQ(d.data.docks[0].pos.z, 10.076);
}

TEST(Template, SavingStoresAnimationsAtRest) {
  vessel_design d;
  apply_template(d);
  const std::vector<uint8_t> b = design_block_bytes(d);
  const size_t anim0 = 840 + 2 * 8 + 20 * 120 + 21 * 80 + 2 * 268;
  anim_seq s;
  std::memcpy(&s, b.data() + anim0, sizeof s);
  EXPECT_EQ(s.state, -2);
  EXPECT_EQ(s.position, 0.0);
  EXPECT_EQ(s.default_pos, 1.0);
  EXPECT_EQ(s.group_list_count, 10);
}

TEST(Template, ReplacesWhateverWasThere) {
  vessel_design d;
  apply_template(d);
  apply_template(d);
  EXPECT_EQ(d.header.thruster_count, 20);
  EXPECT_EQ(d.data.crew.size(), 1u);
  EXPECT_EQ(d.anim_playing.size(), 2u);
}

}  // namespace
