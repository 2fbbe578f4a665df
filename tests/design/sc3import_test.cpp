// The Spacecraft3 import: keys, commits, mirroring, touchdown copying, animation numbering.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include "design/designfile.h"
#include "design/kvgen.h"
#include "design/sc3import.h"
#include "common/scratch_dir.h"

namespace {

struct imported {
  vessel_design d;
  astr notes;
};

imported import(const std::string& text) {
  imported r;
  r.notes = import_sc3_text(r.d, text, sc3_default_name);
  return r;
}

vec3 v(const stored_vec3& s) { return s; }   // a copy, safe from packed alignment

TEST(Sc3Import, NoFuelMassMeansNoTankAndNoThrusters) {
  const imported r = import("[CONFIG]\nMESHNAME=ship\nFUEL_MASS=0\nISP=3000\nMAIN_THRUST=100000\nATTITUDE_THRUST=50\n");
  EXPECT_EQ(r.d.header.fuel_tank_count, 0);
  EXPECT_EQ(r.d.header.thruster_count, 0);
  ASSERT_EQ(r.d.header.mesh_count, 1);
  EXPECT_STREQ(r.d.data.meshes[0].name, "ship");
  EXPECT_STREQ(r.d.header.vessel_name, "new_vessel");
  EXPECT_STREQ(r.d.header.dll_name, "new_vessel");
}

TEST(Sc3Import, OneMainThrusterAndItsExhaust) {
  const imported r = import(
      "[CONFIG]\nMAIN_THRUST=100000\nRETRO_THRUST=0\nISP=3000\nFUEL_MASS=500\n"
      "[EX_RETRO_1]\nOFF=(0,0,5)\nLENGTH=3\n"
      "[EX_MAIN_1]\nOFF=(0,0,-5)\nDIR=(0,0,-1)\nLENGTH=10\nWIDTH=1\n");
  ASSERT_EQ(r.d.header.fuel_tank_count, 1);
  EXPECT_EQ(r.d.data.fuel_tanks[0].max_mass, 500);
  ASSERT_EQ(r.d.header.thruster_count, 1);
  const thruster_def& t = r.d.data.thrusters[0];
  EXPECT_EQ(v(t.dir).z, 1);
  EXPECT_EQ(t.groups[0], group_main);
  EXPECT_EQ(t.groups[1], thruster_group_unused);
  EXPECT_EQ(t.max_thrust, 100000);
  EXPECT_EQ(t.isp, 3000);
  ASSERT_EQ(r.d.header.exhaust_count, 1);     // the retro exhaust had no thruster
  const exhaust_def& e = r.d.data.exhausts[0];
  EXPECT_EQ(e.mode, exhaust_free);
  EXPECT_EQ(v(e.pos).z, -5);
  EXPECT_EQ(e.length, 10);
}

TEST(Sc3Import, AttitudeThrustAddsTheDefaultSet) {
  const imported r = import("[CONFIG]\nFUEL_MASS=10\nISP=2000\nATTITUDE_THRUST=300\nHOVER_THRUST=5\n");
  ASSERT_EQ(r.d.header.thruster_count, 15);
  EXPECT_EQ(v(r.d.data.thrusters[0].dir).y, 1);   // hover first
  EXPECT_EQ(r.d.data.thrusters[14].max_thrust, 600);
}

TEST(Sc3Import, AileronsMirrorAndShareTheirValues) {
  const imported r = import(
      "[AERODYNAMICS]\nAILERON_ATTACK=(5,0,-2)\nAILERON_AREA=3\nAILERON_RIGHT_ANIM=1\n"
      "ELEVATOR_LIFT=0.5\nSPEEDBRAKE_DRAG=2\nVAIRFOIL_CHORD=4\n[ANIM_SEQ_0]\n[ANIM_SEQ_1]\n");
  ASSERT_EQ(r.d.header.aero_element_count, 5);
  const aero_def &left = r.d.data.aero_elements[0], &right = r.d.data.aero_elements[1];
  EXPECT_EQ(left.type, aero_control);
  EXPECT_EQ(left.kind, control_aileron);
  EXPECT_EQ(v(left.pos).x, 5);
  EXPECT_EQ(v(left.pos).z, -2);
  EXPECT_EQ(v(right.pos).x, -5);
  EXPECT_EQ(v(right.pos).z, -2);
  EXPECT_EQ(left.area, 3);
  EXPECT_EQ(right.area, 3);
  EXPECT_EQ(left.anim, -1);
  EXPECT_EQ(right.anim, 1);
  EXPECT_EQ(r.d.data.aero_elements[2].kind, control_elevator);
  EXPECT_EQ(r.d.data.aero_elements[2].chord, 0.5);
  EXPECT_EQ(r.d.data.aero_elements[3].type, aero_variable_drag);
  EXPECT_EQ(r.d.data.aero_elements[4].type, aero_lift);
  EXPECT_EQ(r.d.data.aero_elements[4].chord, 4);
}

TEST(Sc3Import, AnimationKeysDurationAndComponents) {
  const imported r = import(
      "[ANIM_SEQ_0]\nKEY=G\nDURATION=0\nINIT_POS=1\nREPEAT=1\n"
      "[ANIM_SEQ_1]\nKEY=Q\nDURATION=4\n"
      "[ANIM_COMP_0]\nSEQ=0\nTYPE=ROTATION\nGROUPS=3,4,5\nANGLE=90\nRANGE=(0.2,0.7)\nROT_PNT=(1,2,3)\nROT_AXIS=(0,0,1)\n"
      "[ANIM_COMP_1]\nSEQ=1\nTYPE=TRANSLATE\nGROUPS=7\nSHIFT=(0,1,0)\nROT_PNT=(9,9,9)\n"
      "[ANIM_COMP_2]\nSEQ=1\nTYPE=SCALE\nGROUPS=8\nSCALE=(2,2,2)\nREF=(1,1,1)\n"
      "[ANIM_COMP_3]\nSEQ=1\nTYPE=WOBBLE\nGROUPS=9\n");
  ASSERT_EQ(r.d.header.anim_seq_count, 2);
  const anim_entry &a0 = r.d.data.anim_seqs[0], &a1 = r.d.data.anim_seqs[1];
  EXPECT_EQ(a0.seq.key, 34);
  EXPECT_EQ(a0.seq.rate, 100);
  EXPECT_EQ(a0.seq.default_pos, 1);
  EXPECT_EQ(a1.seq.key, 0);
  EXPECT_EQ(a1.seq.rate, 0.25);
  ASSERT_EQ(a0.comps.size(), 1u);
  EXPECT_EQ(a0.group_lists[0], (aointeger{3, 4, 5}));
  EXPECT_EQ(a0.comps[0].angle, 1.5707964f);
  EXPECT_EQ(a0.comps[0].state0, 0.2);
  EXPECT_EQ(a0.comps[0].state1, 0.7);
  EXPECT_EQ(v(a0.comps[0].ref).z, 3);
  EXPECT_EQ(a0.comps[0].mesh, 0);
  ASSERT_EQ(a1.comps.size(), 2u);             // the unknown type adds nothing
  EXPECT_EQ(a1.comps[0].type, comp_translate);
  EXPECT_EQ(v(a1.comps[0].ref).x, 0);         // translation has no reference point
  EXPECT_EQ(v(a1.comps[0].axis).y, 1);
  EXPECT_EQ(a1.comps[1].type, comp_scale);
  EXPECT_EQ(a1.comps[1].group_list, 1);
  EXPECT_EQ(v(a1.comps[1].ref).x, 1);
  EXPECT_EQ(r.notes, (astr{"line 7: KEY=Q of [ANIM_SEQ_1] names no key the vessel can use (K, G, J, 1, 2, 3); "
                           "the animation gets none"}));   // and nothing else
}

TEST(Sc3Import, AnimationSectionsAreMatchedByNumber) {
  const imported r = import(
      "[ANIM_SEQ_1]\nKEY=K\n"
      "[ANIM_COMP_A]\nSEQ=1\nGROUPS=1\n"
      "[ANIM_COMP_B]\nSEQ=0\nGROUPS=2\n"      // section 0 has not appeared yet
      "[ANIM_SEQ_0]\nKEY=J\n"
      "[ANIM_COMP_C]\nSEQ=0\nGROUPS=3\n");
  ASSERT_EQ(r.d.header.anim_seq_count, 2);
  const anim_entry &first = r.d.data.anim_seqs[0], &second = r.d.data.anim_seqs[1];
  EXPECT_EQ(first.seq.key, 37);               // section 1 became animation 0
  ASSERT_EQ(first.comps.size(), 1u);
  EXPECT_EQ(first.group_lists[0], aointeger{1});
  EXPECT_EQ(second.seq.key, 36);
  ASSERT_EQ(second.comps.size(), 1u);
  EXPECT_EQ(second.group_lists[0], aointeger{3});
  ASSERT_EQ(r.notes.size(), 3u);              // two renumbered sections, one skipped component
  EXPECT_NE(r.notes[1].find("ANIM_COMP_B"), std::string::npos);
}

TEST(Sc3Import, AeroAnimationsFollowTheirSections) {
  const imported r = import(
      "[AERODYNAMICS]\nELEVATOR_ANIM=1\nRUDDER_ANIM=0\nSPEEDBRAKE_ANIM=5\nVAIRFOIL_AREA=9\n"
      "[ANIM_SEQ_1]\nKEY=G\n[ANIM_SEQ_0]\nKEY=K\n");
  ASSERT_EQ(r.d.header.aero_element_count, 4);
  ASSERT_EQ(r.d.header.anim_seq_count, 2);
  EXPECT_EQ(r.d.data.anim_seqs[0].seq.key, 34);          // section 1 came first
  EXPECT_EQ(r.d.data.aero_elements[0].anim, 0);          // the elevator moves with section 1
  EXPECT_EQ(r.d.data.aero_elements[1].anim, 1);          // the rudder with section 0
  EXPECT_EQ(r.d.data.aero_elements[2].anim, -1);         // there is no section 5
  EXPECT_EQ(r.d.data.aero_elements[3].anim, -1);         // never given one
  const auto mentions = [&](const std::string& text) {
    return std::count_if(r.notes.begin(), r.notes.end(),
                         [&](const std::string& n) { return n.find(text) != std::string::npos; });
  };
  EXPECT_EQ(mentions("[AERODYNAMICS]"), 3);
  EXPECT_EQ(mentions("ANIM_SEQ_5"), 1);
  // in a file numbered in order nothing moves and nothing is said
  const imported plain = import("[ANIM_SEQ_0]\n[AERODYNAMICS]\nRUDDER_ANIM=0\n");
  EXPECT_EQ(plain.d.data.aero_elements[0].anim, 0);
  EXPECT_TRUE(plain.notes.empty());
}

TEST(Sc3Import, OnlyLandingPointsFillBothSets) {
  const imported r = import("[CONFIG]\nLAND_PT1=(0,-2,5)\nLAND_PT2=(-3,-2,-3)\nLAND_PT3=(3,-2,-3)\n");
  ASSERT_EQ(r.d.header.touchdown_set_count, 2);
  EXPECT_EQ(v(r.d.data.touchdown_sets[0].pt1).z, 5);
  EXPECT_EQ(v(r.d.data.touchdown_sets[0].pt3).x, 3);
  EXPECT_EQ(std::memcmp(&r.d.data.touchdown_sets[0], &r.d.data.touchdown_sets[1], sizeof(touchdown_set)), 0);
  const imported none = import("[CONFIG]\n");
  EXPECT_EQ(v(none.d.data.touchdown_sets[1].pt2).x, -1);   // untouched preparation values
}

TEST(Sc3Import, VisibilityBlanksCommentsAndQuotes) {
  const imported r = import(
      "; a comment\n\n[CONFIG]\r\nMESHNAME = ignored\r\nMESHNAME=\"my ship\"\r\nVISIBLE=1 ; cockpit too\r\n"
      "size=12\r\nPMI=(1,2,3)\nCW_X =5\n");
  ASSERT_EQ(r.d.header.mesh_count, 1);
  EXPECT_STREQ(r.d.data.meshes[0].name, "my ship");
  EXPECT_EQ(r.d.data.meshes[0].visibility, 3);
  EXPECT_EQ(r.d.header.size, 12);             // keys are case-insensitive
  EXPECT_EQ(v(r.d.header.pmi).z, 3);
  EXPECT_EQ(r.d.header.cw_x, 2.0);            // "CW_X " is not a key
}

TEST(Sc3Import, VirtualCockpitAndDocks) {
  const imported r = import(
      "[CONFIG]\nMESHNAME=ship\nCAMERA=(0,1,2)\n"
      "[VC]\nMESHNAME=ship_vc\nMFD_LEFT=10\nHUD=12\nHUD_SIZE=0.2\nHUD_CENTER=(0,1,2.5)\n"
      "[DOCK_1]\nPOS=(0,0,9)\nDIR=(0,0,1)\nROT=(0,1,0)\n[DOCK_2]\n");
  EXPECT_EQ(r.d.header.have_vc, 1);
  ASSERT_EQ(r.d.header.mesh_count, 2);
  EXPECT_EQ(r.d.data.meshes[1].visibility, visibility_vc);
  ASSERT_EQ(r.d.header.vc_view_count, 1);
  const vc_view_entry& view = r.d.data.vc_views[0];
  EXPECT_EQ(view.view.hud_mesh, 1);
  EXPECT_EQ(view.view.hud_group, 12);
  EXPECT_EQ(v(view.view.cam_pos).z, 2);
  EXPECT_EQ(view.view.neighbours[3], -1);
  ASSERT_EQ(view.mfds.size(), 1u);
  EXPECT_EQ(view.mfds[0].group, 10);
  EXPECT_EQ(view.mfds[0].mfd, mfd_left);
  ASSERT_EQ(r.d.header.dock_count, 2);
  EXPECT_EQ(v(r.d.data.docks[0].pos).z, 9);
  EXPECT_EQ(v(r.d.data.docks[1].dir).z, 0);
  // a VC on the main mesh adds no mesh
  const imported same = import("[CONFIG]\nMESHNAME='ship'\n[VC]\nMESHNAME=ship\n");
  EXPECT_EQ(same.d.header.mesh_count, 1);
  EXPECT_EQ(same.d.data.vc_views[0].view.hud_mesh, 0);
}

TEST(Sc3Import, LongLinesAndManyValuesStayBounded) {
  std::string groups = "GROUPS=";
  for (int i = 0; i < 80; ++i) groups += std::to_string(i) + ",";
  const imported r = import("[ANIM_SEQ_0]\n[ANIM_COMP_0]\n" + groups + "\nTYPE=ROTATION\n[CONFIG]\nMESHNAME=" +
                            std::string(600, 'x') + "\n");
  ASSERT_EQ(r.d.data.anim_seqs[0].group_lists.size(), 1u);
  EXPECT_LE(r.d.data.anim_seqs[0].group_lists[0].size(), 50u);
  EXPECT_LE(std::strlen(r.d.data.meshes[0].name), 255u);
}

TEST(Sc3Import, ImportWritesAndReadsBackIdentically) {
  const imported r = import(
      "[CONFIG]\nMESHNAME=ship\nFUEL_MASS=100\nISP=3000\nMAIN_THRUST=10\nATTITUDE_THRUST=1\n"
      "[VC]\nMFD_RIGHT=4\n[AERODYNAMICS]\nRUDDER_AREA=2\n"
      "[ANIM_SEQ_0]\nKEY=1\n[ANIM_COMP_0]\nSEQ=0\nGROUPS=1,2\nTYPE=SCALE\n");
  vessel_design d = r.d;
  const std::vector<uint8_t> first = design_block_bytes(d);
  vessel_design back;
  ASSERT_EQ(read_design_bytes(back, first.data(), first.size()).status, design_read_ok);
  EXPECT_EQ(design_block_bytes(back), first);
}

TEST(Sc3Import, UnreadableFileLeavesABlankDesign) {
  scratch_dir dir;
  vessel_design d;
  add_fuel_tank(d, 1);
  EXPECT_THROW(import_sc3(d, dir.file("missing.ini"), "x"), io_error);
  EXPECT_TRUE(d.data.fuel_tanks.empty());
  write_bytes(dir.file("v.ini"), {'[', 'C', 'O', 'N', 'F', 'I', 'G', ']', '\n', 'S', 'I', 'Z', 'E', '=', '7'});
  import_sc3(d, dir.file("v.ini"), "named");
  EXPECT_EQ(d.header.size, 7);
  EXPECT_STREQ(d.header.vessel_name, "named");
}

}  // namespace
