// Building vessels: the calls of clbkSetClassCaps compared with what each design implies.
#include <gtest/gtest.h>
#include "design/designtemplate.h"
#include "design/kvgen.h"
#include "flight_harness.h"

namespace {

const char* const group_names[] = {"MAIN", "RETRO", "HOVER", "PITCHUP", "PITCHDOWN", "YAWLEFT", "YAWRIGHT",
                                   "BANKLEFT", "BANKRIGHT", "RIGHT", "LEFT", "UP", "DOWN", "FORWARD", "BACK"};

std::string indices(const std::vector<int32_t>& list) {
  std::string s = "[";
  for (size_t i = 0; i < list.size(); i++) s += (i ? " " : "") + std::to_string(list[i]);
  return s + "]";
}

std::string touchdown(const touchdown_set& t) {
  return "SetTouchdownPoints " + vec(t.pt1) + " " + vec(t.pt2) + " " + vec(t.pt3);
}

// The calls a design implies while its vessel is built, in the documented order,
// for a root without a "Meshes" folder; every index in the design is valid.
std::vector<std::string> expected_build(const vessel_design& d, bool crew) {
  const design_header& h = d.header;
  std::vector<std::string> e = {
    "SetSize " + num(h.size), "SetEmptyMass " + num(h.empty_mass), "SetPMI " + vec(h.pmi),
    "SetCrossSections " + vec(h.cross_sections), "SetRotDrag " + vec(h.rot_drag),
    d.data.touchdown_sets.empty() ? "SetTouchdownPoints (0 0 1) (-1 0 -1) (1 0 -1)"
                                  : touchdown(d.data.touchdown_sets[0]),
    "SetSurfaceFrictionCoeff " + num(h.roll_friction) + " " + num(h.side_friction),
    "SetCW " + num(h.cw_z_pos) + " " + num(h.cw_z_neg) + " " + num(h.cw_x) + " " + num(h.cw_y),
    std::string("EnableTransponder ") + (h.transponder ? "true" : "false"),
    "InitNavRadios " + std::to_string(h.nav_radios), "SetCameraOffset " + vec(h.vc_camera),
    "SetVisibilityLimit " + num(h.vis_limit) + " " + num(h.spot_limit),
    "SetAlbedoRGB " + vec({(h.albedo & 255) / 255.0, (h.albedo >> 8 & 255) / 255.0, (h.albedo >> 16 & 255) / 255.0}),
    "SetGravityGradientDamping " + num(h.gravgrad_damp), "SetWingAspect " + num(h.wing_aspect),
    "SetWingEffectiveness " + num(h.wing_effectiveness), "SetMaxWheelbrakeForce " + num(h.max_wheelbrake),
    "SetBankMomentScale " + num(h.bank_moment_scale), "SetPitchMomentScale " + num(h.pitch_moment_scale)};
  for (size_t i = 0; i < d.data.fuel_tanks.size(); i++)
    e.push_back("CreatePropellantResource " + num(d.data.fuel_tanks[i].max_mass) + " -1 1 -> ph" + std::to_string(i));
  std::vector<std::string> members(h.thruster_group_count);
  for (size_t i = 0; i < d.data.thrusters.size(); i++) {
    const thruster_def& t = d.data.thrusters[i];
    e.push_back("CreateThruster pos " + vec(t.pos) + " dir " + vec(t.dir) + " thrust " + num(t.max_thrust) + " ph" +
                std::to_string(t.tank) + " isp " + num(t.isp) + " isp_ref " + num(t.isp_ref) + " p_ref " +
                num(t.p_ref) + " -> th" + std::to_string(i));
    for (int32_t g : t.groups)
      if (g != thruster_group_unused) members[g] += (members[g].empty() ? "th" : " th") + std::to_string(i);
  }
  for (int g = 0; g < h.thruster_group_count; g++)
    e.push_back("CreateThrusterGroup " + std::string(g < 15 ? group_names[g] : "USER") + " [" + members[g] +
                "] -> tg" + std::to_string(g));
  for (size_t i = 0; i < d.data.exhausts.size(); i++) {
    const exhaust_def& x = d.data.exhausts[i];
    std::string s = "AddExhaust th" + std::to_string(x.thruster) + " length " + num(x.length) + " width " + num(x.width);
    if (x.mode == exhaust_free) s += " pos " + vec(x.pos) + " dir " + vec(x.dir);
    e.push_back(s + " -> " + std::to_string(i));
  }
  for (size_t i = 0; i < d.data.meshes.size(); i++) {
    std::string m = "mesh" + std::to_string(i);
    e.push_back("vapiLoadMeshGlobal \"" + std::string(d.data.meshes[i].name) + "\" -> " + m + " missing");
    e.push_back("AddMesh " + m + " -> " + std::to_string(i));
    e.push_back("SetMeshVisibilityMode " + std::to_string(i) + " " + std::to_string(d.data.meshes[i].visibility));
  }
  int comp = 0;
  for (size_t a = 0; a < d.data.anim_seqs.size(); a++) {
    const anim_entry& an = d.data.anim_seqs[a];
    e.push_back("CreateAnimation " + num(an.seq.default_pos) + " -> anim" + std::to_string(a));
    for (const anim_comp& c : an.comps) {
      std::string s = "AddAnimationComponent anim" + std::to_string(a) + " " + num(c.state0) + " " + num(c.state1) +
                      " " + (c.type == 0 ? "rotation" : c.type == 1 ? "translation" : "scaling") + " mesh " +
                      std::to_string(c.mesh) + " groups " + indices(an.group_lists[c.group_list]);
      if (c.type == comp_rotation) s += " ref " + vec(c.ref) + " axis " + vec(c.axis) + " angle " + num(c.angle);
      else if (c.type == comp_translate) s += " shift " + vec(c.axis);
      else s += " ref " + vec(c.ref) + " scale " + vec(c.axis);
      e.push_back(s + " parent none -> comp" + std::to_string(comp++));
    }
  }
  for (size_t i = 0; i < d.data.beacons.size(); i++) {
    const beacon_def& b = d.data.beacons[i];
    e.push_back("AddBeacon shape " + std::to_string(b.shape) + " pos " + vec(b.pos) + " col " + vec(b.col) + " size " +
                num(b.size) + " falloff " + num(b.falloff) + " period " + num(b.period) + " duration " +
                num(b.duration) + " tofs " + num(b.tofs) + " active " + (b.active ? "true" : "false") +
                " -> beacon" + std::to_string(i));
  }
  for (size_t i = 0; i < d.data.docks.size(); i++) {
    const dock_def& k = d.data.docks[i];
    e.push_back("CreateDock pos " + vec(k.pos) + " dir " + vec(k.dir) + " rot " + vec(k.rot) + " -> dock" +
                std::to_string(i));
  }
  int airfoils = 0;
  for (const aero_def& a : d.data.aero_elements) {
    if (a.type != aero_lift) continue;  // the designs flown here carry lift surfaces only
    e.push_back(std::string("CreateAirfoil3 ") + (a.kind == lift_horizontal ? "horizontal" : "vertical") + " ref " +
                vec(a.pos) + " chord " + num(a.chord) + " area " + num(a.area) + " aspect " + num(a.aspect) +
                " -> af" + std::to_string(airfoils++));
  }
  if (crew) {
    const crew_def& c = d.data.crew[0];
    vec3 lo = {c.airlock_pos.x - c.airlock_size.x, c.airlock_pos.y - c.airlock_size.y, c.airlock_pos.z - c.airlock_size.z};
    vec3 hi = {c.airlock_pos.x + c.airlock_size.x, c.airlock_pos.y + c.airlock_size.y, c.airlock_pos.z + c.airlock_size.z};
    e.push_back("crew crew_init");
    e.push_back("crew crew_define_airlock pos " + vec(c.airlock_pos) + " rot " + vec(c.airlock_rot) + " box " +
                vec(lo) + " " + vec(hi));
    e.push_back("crew crew_set_max " + std::to_string(c.max_crew));
    e.push_back("crew crew_add_member \"Pilot\" 41 65 74 \"Capt\" -> true");
  }
  if (h.payload_manager)
    e.push_back("pm define_vehicle \"" + std::string(h.vessel_name) + "\" size " + num(h.size) + " mass " +
                num(h.empty_mass));
  return e;
}

std::vector<std::string> build_calls(const flight_result& r, const std::string& ship) {
  return section(calls(r, ship), "clbkSetClassCaps", {"airfoil ", "clbkLoadStateEx"});
}

void expect_lines(const std::vector<std::string>& actual, const std::vector<std::string>& expected) {
  for (size_t i = 0; i < actual.size() && i < expected.size(); i++)
    ASSERT_EQ(actual[i], expected[i]) << "line " << i;
  EXPECT_EQ(actual.size(), expected.size());
}

TEST(FlightBuild, BlankDesignFliesOnTheDefaultTouchdownPoints) {
  flight_root root;
  vessel_design d;                                   // "The vessel", module "vessel", Payload Manager on
  root.install(d);
  root.add_scenario("blank.scn", {{"GL-01", "DeltaGlider", {"STATUS Orbiting Earth"}},
                                  {ship_of(d), "The vessel", {"STATUS Landed Earth"}}});
  flight_result r = root.fly({"Scenarios/blank.scn", "--steps", "2"});
  EXPECT_EQ(r.exit_code, 0) << r.errors;
  EXPECT_EQ(index_of(r.report, "[GL-01] class \"DeltaGlider\" skipped: no configuration"), 1);
  std::vector<std::string> build = build_calls(r, "The vessel-1");
  expect_lines(build, expected_build(d, false));
  EXPECT_EQ(build[5], "SetTouchdownPoints (0 0 1) (-1 0 -1) (1 0 -1)");
  std::vector<std::string> v = calls(r, "The vessel-1");
  EXPECT_EQ(v[0], "ovcInit");
  EXPECT_EQ(v[1], "pm init_pm 2 2");
  EXPECT_EQ(r.report[r.report.size() - 2], "skipped: [GL-01] class \"DeltaGlider\": no configuration");
  EXPECT_EQ(r.report.back(), "every vessel with a module created");
}

TEST(FlightBuild, ThrusterInTwoGroupsAndUserDefinedGroups) {
  flight_root root;
  vessel_design d = named_design("Thruster test");
  add_fuel_tank(d, 500);
  add_fuel_tank(d, 700);
  add_thruster(d, make_vec(0, 0, -2), make_vec(0, 0, 1), 1, {group_main, group_hover}, 1000, 3000);
  add_thruster(d, make_vec(1, 0, 0), make_vec(-1, 0, 0), 0, {group_main}, 50, 2000);
  d.data.thrusters[1].groups[0] = 16;                // group ids from 15 on come only from files
  d.header.thruster_group_count = 17;
  add_exhaust(d, 0, 4, 0.5);
  add_exhaust(d, 1, 1, 0.1, make_vec(1, 2, 3), make_vec(0, -1, 0));
  root.install(d);
  root.add_scenario("t.scn", {{ship_of(d), "Thruster test", {}}});
  flight_result r = root.fly({"Scenarios/t.scn", "--steps", "1", "--report", "t.log"});
  EXPECT_EQ(r.exit_code, 0) << r.errors;
  std::vector<std::string> build = build_calls(r, ship_of(d));
  expect_lines(build, expected_build(d, false));
  std::vector<std::string> groups = starting(build, "CreateThrusterGroup");
  ASSERT_EQ(groups.size(), 17u);
  EXPECT_EQ(groups[0], "CreateThrusterGroup MAIN [th0] -> tg0");
  EXPECT_EQ(groups[1], "CreateThrusterGroup RETRO [] -> tg1");
  EXPECT_EQ(groups[2], "CreateThrusterGroup HOVER [th0] -> tg2");
  EXPECT_EQ(groups[15], "CreateThrusterGroup USER [] -> tg15");
  EXPECT_EQ(groups[16], "CreateThrusterGroup USER [th1] -> tg16");
  EXPECT_EQ(index_of(build, "CreateThruster pos (0 0 -2) dir (0 0 1) thrust 1000 ph1 isp 3000 isp_ref 0 "
                            "p_ref 100000 -> th0"), 2 + index_of(build, "CreatePropellantResource 500 -1 1 -> ph0"));
}

TEST(FlightBuild, TemplateBuildsEveryElementKind) {
  flight_root root;
  vessel_design d;
  apply_template(d);
  root.install(d);
  const std::string ship = ship_of(d), cls = "DeltaGlider_vrk";
  root.add_scenario("template.scn", {{ship, cls, {"STATUS Landed Earth", "ANIM_0 -2 1", "ANIM_1 -2 0"}}});
  flight_result r = root.fly({"Scenarios/template.scn", "--steps", "3"});
  EXPECT_EQ(r.exit_code, 0) << r.errors;
  std::vector<std::string> build = build_calls(r, ship);
  expect_lines(build, expected_build(d, true));
  EXPECT_EQ(starting(build, "CreateThruster ").size(), 20u);
  EXPECT_EQ(starting(build, "AddExhaust").size(), 21u);
  EXPECT_EQ(starting(build, "AddAnimationComponent anim0").size(), 14u);
  EXPECT_EQ(starting(build, "AddAnimationComponent anim1").size(), 7u);
  EXPECT_EQ(starting(build, "AddBeacon").size(), 7u);
  EXPECT_EQ(starting(build, "CreateAirfoil3").size(), 2u);
  EXPECT_NE(index_of(build, "AddAnimationComponent anim1 0.8 1 translation mesh 0 groups [45] shift (0 0 0.06) "
                            "parent none -> comp20"), -1);

  // views 0..4 reached through the neighbours, each set up from its own record
  std::vector<std::string> v = calls(r, ship);
  for (int id = 0; id < 5; id++) EXPECT_NE(index_of(v, "clbkLoadVC " + std::to_string(id) + " -> true"), -1) << id;
  std::vector<std::string> view0 = section(v, "clbkDrawHUD -> true", {"clbkLoadVC"});
  const std::vector<std::string> expected_view0 = {
    "SetCameraDefaultDirection (0 0 1)", "SetCameraOffset (0 1.467 6.782)",
    "SetCameraShiftRange (0 0 0.1) (-0.2 0 0) (0.2 0 0)", "vapiVCSetNeighbours 1 2 -1 -1",
    "vapiVCRegisterHUD mesh 1 group 136 center (0 1.462 7.09) size 0.15",
    "vapiVCRegisterMFD 0 mesh 1 group 109", "vapiVCRegisterMFD 1 mesh 1 group 110"};
  EXPECT_EQ(view0, expected_view0);
  std::vector<std::string> view3 = section(v, "clbkLoadVC 2 -> true", {"clbkLoadVC"});
  ASSERT_GE(view3.size(), 5u);
  EXPECT_EQ(view3[3], "vapiVCSetNeighbours -1 4 1 -1");
  EXPECT_EQ(view3[4], "vapiVCRegisterHUD mesh none group none center (0 0 0) size 0");
  // beacons read again after the flight still show their own positions and colours
  EXPECT_NE(index_of(v, "beacon6 pos (8.9 2.5 -5.4) col (1 1 1) active true"), -1);
}

TEST(FlightBuild, IndicesThatNameNothingAreNone) {
  flight_root root;
  vessel_design d = named_design("Loose ends");
  add_thruster(d, make_vec(0, 0, 0), make_vec(0, 0, 1), 0, {group_main}, 10, 100);  // no tank exists
  add_exhaust(d, 0, 1, 1);
  d.data.exhausts[0].thruster = 5;                  // no such thruster: the exhaust is left out
  int a = add_animation(d, 34, 1, 0);
  add_group_list(d, a, {1, 2});
  add_component(d, a, make_component(3, comp_rotation, 0, make_vec(0, 0, 0), make_vec(1, 0, 0), 1, 0, 1));
  add_component(d, a, make_component(0, comp_scale, 4, make_vec(0, 0, 0), make_vec(2, 2, 2), 0, 0, 1));
  add_component(d, a, make_component(0, 7, 0, make_vec(0, 0, 0), make_vec(2, 2, 2), 0, 0, 1)); // unknown kind
  add_mesh(d, "box", visibility_external);
  add_touchdown_set(d);
  add_touchdown_set(d);
  d.header.gear_anim = 3;                            // no such animation: the gear never switches
  int e = add_aero_element(d, aero_control, control_rudder);
  d.data.aero_elements[e].anim = 9;
  root.install(d);
  root.add_scenario("loose.scn", {{ship_of(d), "Loose ends", {"ANIM_0 2 1"}}});
  flight_result r = root.fly({"Scenarios/loose.scn", "--steps", "0"});
  EXPECT_EQ(r.exit_code, 0) << r.errors;
  std::vector<std::string> v = calls(r, ship_of(d));
  EXPECT_NE(index_of(v, "CreateThruster pos (0 0 0) dir (0 0 1) thrust 10 none isp 100 isp_ref 0 p_ref 100000 -> th0"), -1);
  EXPECT_TRUE(starting(v, "AddExhaust").empty());
  EXPECT_EQ(starting(v, "AddAnimationComponent").size(), 2u);
  EXPECT_NE(index_of(v, "AddAnimationComponent anim0 0 1 rotation mesh none groups [1 2] ref (0 0 0) axis (1 0 0) "
                        "angle 1 parent none -> comp0"), -1);
  EXPECT_NE(index_of(v, "AddAnimationComponent anim0 0 1 scaling mesh 0 groups [] ref (0 0 0) scale (2 2 2) "
                        "parent none -> comp1"), -1);
  EXPECT_NE(index_of(v, "CreateControlSurface type 1 area 0 dcl 0 ref (0 0 0) axis 0 anim none -> cs0"), -1);
  EXPECT_EQ(starting(v, "SetTouchdownPoints").size(), 1u);  // only the build's
}

} // namespace
