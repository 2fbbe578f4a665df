// The design checks: the template is clean, every broken rule shows its code,
// and a mirrored half balances the groups.
#include <gtest/gtest.h>
#include <algorithm>
#include <set>
#include <tuple>
#include <string>
#include "../common/scratch_dir.h"
#include "design/designcheck.h"
#include "design/designtemplate.h"
#include "design/kvgen.h"

namespace {

std::set<std::string> codes(const std::vector<check_finding>& findings, int severity = -1) {
  std::set<std::string> out;
  for (const check_finding& f : findings)
    if (severity < 0 || f.severity == severity) out.insert(f.code);
  return out;
}

vessel_design template_design() {
  vessel_design d;
  apply_template(d);
  return d;
}

TEST(DesignChecks, TheTemplateHasNoErrorInTheDemoInstallation) {
  const std::vector<check_finding> f = check_design(template_design(), CORVANE_DEMO_ROOT);
  EXPECT_EQ(codes(f, check_error), std::set<std::string>{});
  EXPECT_TRUE(std::is_sorted(f.begin(), f.end(), [](const check_finding& a, const check_finding& b) {
    return a.severity < b.severity;
  }));
}

TEST(DesignChecks, EveryBrokenRuleReportsItsCode) {
  vessel_design d = template_design();
  set_name(d.header.vessel_name, sizeof d.header.vessel_name, "a/b");
  set_name(d.header.dll_name, sizeof d.header.dll_name, "con");
  d.header.empty_mass = 0;
  add_fuel_tank(d, 1e9);                                       // far too heavy to hover
  add_mesh(d, "nowhere", visibility_external);
  add_mesh(d, "../outside", visibility_external);
  d.data.thrusters[0].tank = 99;
  d.data.thrusters[1].isp = 0;
  add_exhaust(d, 0, 1, 1);
  d.data.exhausts.back().thruster = 999;
  const int a = add_animation(d, 0, 1, 0);                     // no key, no components yet
  add_animation(d, d.data.anim_seqs[0].seq.key, 1, 0);         // a key already taken
  const int list = add_group_list(d, 0, {5000});
  add_component(d, 0, make_component(0, comp_rotation, list, {}, make_vec(1, 0, 0), 1, 0, 1));
  add_component(d, 0, make_component(99, comp_rotation, list, {}, make_vec(1, 0, 0), 1, 0, 1));
  add_component(d, 0, make_component(0, comp_rotation, 99, {}, make_vec(1, 0, 0), 1, 0, 1));
  add_thruster(d, make_vec(0, 0, 3), make_vec(0, 1, 0), 0, {group_pitchup}, 100, 1);   // pushes as it turns
  add_thruster(d, make_vec(0, 0, 5), make_vec(1, 0, 0), 0, {group_right}, 100, 1);     // turns as it pushes
  add_thruster(d, make_vec(1, 0, 0), make_vec(0, 0, 1), 0, {group_main}, 100, 1);      // beside the centre
  set_element_point(d, point_touchdown, 0, 0, -1, -4);         // front point behind the centre of mass
  d.header.gear_anim = 50;
  d.data.aero_elements[size_t(add_aero_element(d, aero_control, control_rudder))].anim = 7;
  ASSERT_TRUE(d.data.anim_seqs[size_t(a)].comps.empty());
  const std::vector<check_finding> f = check_design(d, CORVANE_DEMO_ROOT);
  EXPECT_EQ(codes(f, check_error),
            (std::set<std::string>{"comp-group-range", "comp-groups-empty", "comp-mesh", "empty-mass", "exhaust-thruster",
                                   "mesh-missing", "mesh-unsafe", "module-name", "thruster-isp", "thruster-tank",
                                   "vessel-name"}));
  EXPECT_EQ(codes(f, check_warning),
            (std::set<std::string>{"aero-animation", "anim-key-shared", "anim-no-components", "anim-no-key",
                                   "gear-animation", "group-force", "group-torque", "hover-weight", "main-torque",
                                   "touchdown-tip"}));
  EXPECT_TRUE(std::is_sorted(f.begin(), f.end(), [](const check_finding& x, const check_finding& y) {
    return std::tie(x.severity, x.code, x.kind, x.index) < std::tie(y.severity, y.code, y.kind, y.index);
  }));
  EXPECT_EQ(check_design(d, CORVANE_DEMO_ROOT).size(), f.size());   // the same report again
}

TEST(DesignChecks, InstallationFilesAndNamesAreLookedUp) {
  scratch_dir root;
  root.put("Meshes/bad.msh", "no groups here\n");
  root.put("Meshes/skin.msh", "MSHX1\nGROUPS 1\nGEOM 0 0\nMATERIALS 0\nTEXTURES 2\nhere.dds\nmissing.dds\n");
  root.put("Textures/here.dds", "x");
  root.put("Modules/Vessel.DLL", "x");
  vessel_design d;
  reset_design(d);                                             // module "vessel", no thrusters
  add_mesh(d, "bad", visibility_external);
  add_mesh(d, "skin", visibility_external);
  const std::vector<check_finding> f = check_design(d, root.path.string());
  EXPECT_EQ(codes(f), (std::set<std::string>{"mesh-unreadable", "texture-missing", "module-name-case", "hover-none"}));
  for (const check_finding& x : f)
    if (x.code == "texture-missing") EXPECT_NE(x.text.find("missing.dds"), std::string::npos);
}

// Hover and retro thrust should lift and brake without turning: an unequal pair is reported.
TEST(DesignChecks, UnequalHoverOrRetroPairsTurnTheVessel) {
  for (auto [group, dir] : {std::pair{group_hover, make_vec(0, 1, 0)}, std::pair{group_retro, make_vec(0, 0, -1)}})
    for (double second : {100.0, 150.0}) {
      vessel_design d;
      reset_design(d);
      add_thruster(d, make_vec(2, 0, 4), dir, 0, {group}, 100, 1);
      add_thruster(d, make_vec(-2, 0, -4), dir, 0, {group}, second, 1);
      std::vector<int> found;  // groups with the finding
      for (const check_finding& f : check_design(d, ".")) if (f.code == "group-torque") found.push_back(f.index);
      EXPECT_EQ(found, second == 100.0 ? std::vector<int>{} : std::vector<int>{group}) << thruster_group_names[group];
    }
}

TEST(DesignChecks, AMirroredHalfBalancesTheGroups) {
  vessel_design d;
  reset_design(d);
  add_fuel_tank(d, 100);
  // The right-hand attitude thrusters, and the pitch thrusters on the symmetry plane.
  add_thruster(d, make_vec(6, -0.7, -0.4), make_vec(0, 1, 0), 0, {group_bankleft}, 10, 1);
  add_thruster(d, make_vec(6, 0.7, -0.4), make_vec(0, -1, 0), 0, {group_bankright}, 10, 1);
  add_thruster(d, make_vec(0, 0, 15), make_vec(1, 0, 0), 0, {group_yawright, group_right}, 10, 1);
  add_thruster(d, make_vec(0, 0, -15), make_vec(1, 0, 0), 0, {group_yawleft, group_right}, 10, 1);
  add_thruster(d, make_vec(0, 0, 15), make_vec(0, 1, 0), 0, {group_pitchup}, 10, 1);
  add_thruster(d, make_vec(0, 0, -15), make_vec(0, -1, 0), 0, {group_pitchup}, 10, 1);
  const std::set<std::string> unbalanced = {"group-force", "group-torque"};
  EXPECT_EQ(codes(check_design(d, ".")).count("group-force"), 1u);   // each bank and yaw group pushes
  for (int i = 0; i < 4; ++i) duplicate_element(d, point_thrusters, i, true);
  for (const check_finding& f : check_design(d, "."))
    EXPECT_EQ(unbalanced.count(f.code), 0u) << f.text;
  const auto table = thruster_group_balance(d);
  EXPECT_EQ(table[group_bankleft].thrusters, 2);
  EXPECT_DOUBLE_EQ(table[group_right].thrust, 20);
  EXPECT_DOUBLE_EQ(table[group_pitchup].torque.x, -300);     // up at the nose, down at the tail: nose up
}

}  // namespace
