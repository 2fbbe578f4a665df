// Vessels in flight: keys, animations, gear touchdown switching, scenario state,
// lift surface coefficients, drag elements and crew.
#include <gtest/gtest.h>
#include <cmath>
#include "design/designtemplate.h"
#include "design/kvgen.h"
#include "flight_harness.h"

namespace {

constexpr double deg = 3.14159265358979323846 / 180.0;

// A vessel with one animation on key G (34) taking 1 / rate seconds.
vessel_design animated(const std::string& name, double rate) {
  vessel_design d = named_design(name);
  int a = add_animation(d, 34, rate, 0);
  add_group_list(d, a, {0});
  add_component(d, a, make_component(0, comp_translate, 0, make_vec(0, 0, 0), make_vec(0, 1, 0), 0, 0, 1));
  return d;
}

flight_result fly_one(vessel_design& d, const std::vector<std::string>& state, std::vector<std::string> args) {
  flight_root root;
  root.install(d);
  root.add_scenario("f.scn", {{ship_of(d), name_of(d.header.vessel_name, 255), state}});
  args.insert(args.begin(), "Scenarios/f.scn");
  return root.fly(args);
}

std::vector<std::string> saved(const flight_result& r, const std::string& ship) {
  return starting(calls(r, ship), "saved ");
}

TEST(FlightKeys, FirstPressOpensSecondPressReverses) {
  vessel_design d = animated("Door", 1.0);
  const std::string ship = ship_of(d);
  flight_result open = fly_one(d, {}, {"--steps", "3", "--dt", "0.125", "--key", "0:34"});
  EXPECT_EQ(open.exit_code, 0) << open.errors;
  std::vector<std::string> v = calls(open, ship);
  EXPECT_NE(index_of(v, "clbkConsumeBufferedKey 34 down -> 0"), -1);   // not consumed
  EXPECT_EQ(starting(v, "SetAnimation"),
            (std::vector<std::string>{"SetAnimation anim0 0.125", "SetAnimation anim0 0.25", "SetAnimation anim0 0.375"}));
  EXPECT_EQ(saved(open, ship), std::vector<std::string>{"saved ANIM_0 1 0.3750"});

  flight_result reversed = fly_one(d, {}, {"--steps", "3", "--dt", "0.125", "--key", "0:34", "--key", "2:34"});
  EXPECT_EQ(starting(calls(reversed, ship), "SetAnimation"),
            (std::vector<std::string>{"SetAnimation anim0 0.125", "SetAnimation anim0 0.25", "SetAnimation anim0 0.125"}));
  EXPECT_EQ(saved(reversed, ship), std::vector<std::string>{"saved ANIM_0 -1 0.1250"});

  flight_result again = fly_one(d, {}, {"--steps", "4", "--dt", "0.125", "--key", "0:34", "--key", "2:34",
                                        "--key", "3:34"});  // a third press while closing opens it again
  EXPECT_EQ(saved(again, ship), std::vector<std::string>{"saved ANIM_0 1 0.2500"});
}

TEST(FlightKeys, OtherKeysAltAndReservedAnimationsLeaveItAlone) {
  vessel_design d = animated("Door", 1.0);
  flight_result r = fly_one(d, {}, {"--steps", "2", "--key", "0:37", "--key", "0:34:alt"});
  EXPECT_EQ(r.exit_code, 0) << r.errors;
  EXPECT_TRUE(starting(calls(r, ship_of(d)), "SetAnimation").empty());
  d.data.anim_seqs[0].seq.reserved_b = 1;            // a reserved animation ignores its key
  r = fly_one(d, {}, {"--steps", "2", "--key", "0:34"});
  EXPECT_TRUE(starting(calls(r, ship_of(d)), "SetAnimation").empty());
}

TEST(FlightKeys, UnknownStateBecomesOpen) {
  vessel_design d = animated("Door", 1.0);
  flight_result r = fly_one(d, {"ANIM_0 5 0.5"}, {"--steps", "1", "--key", "0:34"});
  EXPECT_EQ(saved(r, ship_of(d)), std::vector<std::string>{"saved ANIM_0 2 0.5000"});
}

TEST(FlightGear, TouchdownSetsFollowTheGearAtEitherEnd) {
  vessel_design d = animated("Lander", 2.0);         // a quarter per step of 0.125 s
  add_touchdown_set(d, make_vec(0, -1, 4), make_vec(-2, -1, -3), make_vec(2, -1, -3));
  add_touchdown_set(d, make_vec(0, -3, 4), make_vec(-2, -3, -3), make_vec(2, -3, -3));
  set_gear_animation(d, 0);
  const std::string retracted = "SetTouchdownPoints (0 -1 4) (-2 -1 -3) (2 -1 -3)";
  const std::string extended = "SetTouchdownPoints (0 -3 4) (-2 -3 -3) (2 -3 -3)";
  flight_result r = fly_one(d, {}, {"--steps", "12", "--dt", "0.125", "--key", "0:34", "--key", "6:34"});
  EXPECT_EQ(r.exit_code, 0) << r.errors;
  std::vector<std::string> flight = section(calls(r, ship_of(d)), "clbkPreStep 0 0.125", {"clbkDrawHUD"});
  std::vector<std::string> moves;
  for (const std::string& line : flight)
    if (line.rfind("SetAnimation", 0) == 0 || line.rfind("SetTouchdownPoints", 0) == 0) moves.push_back(line);
  const std::vector<std::string> expected = {
    "SetAnimation anim0 0.25", "SetAnimation anim0 0.5", "SetAnimation anim0 0.75", "SetAnimation anim0 1",
    "SetAnimation anim0 1", extended,                 // the step that finds it open switches to set 1
    "SetAnimation anim0 0.75", "SetAnimation anim0 0.5", "SetAnimation anim0 0.25", "SetAnimation anim0 0",
    "SetAnimation anim0 0", retracted};               // and closed, back to set 0
  EXPECT_EQ(moves, expected);
  EXPECT_EQ(saved(r, ship_of(d)), std::vector<std::string>{"saved ANIM_0 -2 0.0000"});
}

TEST(FlightScenario, AnimLinesAreReadAndWrittenBack) {
  vessel_design d = animated("Hatch", 0.5);
  int b = add_animation(d, 37, 0.25, 1);
  add_group_list(d, b, {3});
  add_touchdown_set(d, make_vec(0, -1, 4), make_vec(-2, -1, -3), make_vec(2, -1, -3));
  add_touchdown_set(d, make_vec(0, -3, 4), make_vec(-2, -3, -3), make_vec(2, -3, -3));
  set_gear_animation(d, 0);
  const std::vector<std::string> state = {"STATUS Landed Earth", "ANIM_0 2 1", "ANIM_1 -2 0.5", "ANIM_7 1 0.5",
                                          "ANIM_x", "PRPLEVEL 0:1.000"};
  flight_result r = fly_one(d, state, {"--steps", "0"});
  EXPECT_EQ(r.exit_code, 0) << r.errors;
  std::vector<std::string> load = section(calls(r, ship_of(d)), "clbkLoadStateEx 6 lines", {"default HUD"});
  const std::vector<std::string> expected_load = {
    "ParseScenarioLineEx \"STATUS Landed Earth\"", "SetAnimation anim0 1",
    "SetTouchdownPoints (0 -3 4) (-2 -3 -3) (2 -3 -3)", "SetAnimation anim1 0.5",
    "ParseScenarioLineEx \"PRPLEVEL 0:1.000\""};
  EXPECT_EQ(load, expected_load);
  const std::vector<std::string> expected_saved = {"saved STATUS Landed Earth", "saved PRPLEVEL 0:1.000",
                                                   "saved ANIM_0 2 1.0000", "saved ANIM_1 -2 0.5000"};
  std::vector<std::string> out = saved(r, ship_of(d));
  EXPECT_EQ(out, expected_saved);

  std::vector<std::string> again;                    // the saved lines fly to the same state
  for (const std::string& line : out) again.push_back(line.substr(6));
  EXPECT_EQ(saved(fly_one(d, again, {"--steps", "0"}), ship_of(d)), expected_saved);
}

TEST(FlightScenario, PositionsBeyondTheEndsOrNotANumberBecomeAnEnd) {
  vessel_design d = animated("Hatch", 0.5);
  add_animation(d, 37, 0.25, 0);
  add_animation(d, 36, 0.25, 0);
  flight_result r = fly_one(d, {"ANIM_0 2 nan", "ANIM_1 2 7", "ANIM_2 -2 -3"}, {"--steps", "0"});
  EXPECT_EQ(r.exit_code, 0) << r.errors;
  EXPECT_EQ(starting(calls(r, ship_of(d)), "SetAnimation"),
            (std::vector<std::string>{"SetAnimation anim0 0", "SetAnimation anim1 1", "SetAnimation anim2 0"}));
  EXPECT_EQ(saved(r, ship_of(d)),
            (std::vector<std::string>{"saved ANIM_0 2 0.0000", "saved ANIM_1 2 1.0000", "saved ANIM_2 -2 0.0000"}));
}

TEST(FlightAero, LiftSurfacesControlSurfacesAndDragElements) {
  vessel_design d = animated("Glider", 1.0);
  int v = add_aero_element(d, aero_lift, lift_vertical);
  d.data.aero_elements[v].chord = 5;
  d.data.aero_elements[v].area = 90;
  d.data.aero_elements[v].aspect = 1.5;
  add_aero_element(d, aero_lift, lift_horizontal);
  int c = add_aero_element(d, aero_control, control_elevator);
  d.data.aero_elements[c].anim = 0;
  d.data.aero_elements[c].area = 2;
  d.data.aero_elements[c].chord = 1.5;
  d.data.aero_elements[c].pos = make_vec(0, 0, -8);
  add_aero_element(d, aero_control, control_aileron);
  int g = add_aero_element(d, aero_variable_drag);
  d.data.aero_elements[g].anim = 0;
  d.data.aero_elements[g].chord = 3;
  add_aero_element(d, aero_variable_drag);
  flight_result r = fly_one(d, {}, {"--steps", "2", "--dt", "0.125", "--key", "0:34"});
  EXPECT_EQ(r.exit_code, 0) << r.errors;
  std::vector<std::string> calls_ = calls(r, ship_of(d));
  EXPECT_NE(index_of(calls_, "CreateAirfoil3 vertical ref (0 0 0) chord 5 area 90 aspect 1.5 -> af0"), -1);
  EXPECT_NE(index_of(calls_, "CreateAirfoil3 horizontal ref (0 0 0) chord 0 area 0 aspect 0 -> af1"), -1);
  double s = std::sin(17.5 * deg);
  double cd = 0.015 + 0.4 * s * s + 0.85 * 0.85 / (3.14159265358979323846 * 1.5 * 0.7);
  EXPECT_NE(index_of(calls_, "airfoil af0 angle 17.5 mach 0.5: cl 0.85 cm -0.007 cd " + num(cd)), -1);
  EXPECT_NE(index_of(calls_, "airfoil af0 angle 17.5 mach 0.9: cl 0.85 cm -0.007 cd " +
                                 num(cd + 0.04 * 0.15 / 0.25)), -1);  // transonic wave drag from mach 0.75
  EXPECT_NE(index_of(calls_, "airfoil af1 angle 60 mach 0.5: cl 0.2 cm 0 cd " +
                                 num(0.015 + 0.04 / (3.14159265358979323846 * 1.5 * 0.6))), -1);
  EXPECT_NE(index_of(calls_, "CreateControlSurface type 0 area 2 dcl 1.5 ref (0 0 -8) axis 0 anim anim0 -> cs0"), -1);
  EXPECT_NE(index_of(calls_, "CreateControlSurface type 2 area 0 dcl 0 ref (0 0 0) axis 0 anim none -> cs1"), -1);
  EXPECT_NE(index_of(calls_, "CreateVariableDragElement drag 0 factor 3 ref (0 0 0) -> drag0"), -1);
  EXPECT_NE(index_of(calls_, "CreateVariableDragElement drag none factor 0 ref (0 0 0) -> drag1"), -1);
  // the drag element reads the animation's live position
  EXPECT_NE(index_of(calls_, "drag0 value 0.25"), -1);
  EXPECT_NE(index_of(calls_, "drag1 value none"), -1);
}

TEST(FlightCrew, RegisteredShownOnTheHudAndEjectedWithAltDigit) {
  vessel_design d = named_design("Shuttle");
  d.data.crew[0].max_crew = 2;
  d.data.crew[0].airlock_pos = make_vec(1, 2, 3);
  d.data.crew[0].airlock_rot = make_vec(0, 1, 0);
  d.data.crew[0].airlock_size = make_vec(1, 1, 1);
  const std::string ship = ship_of(d);
  flight_result r = fly_one(d, {}, {"--steps", "3"});
  EXPECT_EQ(r.exit_code, 0) << r.errors;
  std::vector<std::string> v = calls(r, ship);
  EXPECT_NE(index_of(v, "crew crew_define_airlock pos (1 2 3) rot (0 1 0) box (0 1 2) (2 3 4)"), -1);
  EXPECT_NE(index_of(v, "crew crew_add_member \"Pilot\" 41 65 74 \"Capt\" -> true"), -1);
  const std::vector<std::string> hud = {"HUD text 5 150 \"Crew limit 2\"", "HUD text 5 168 \"Crew on board 1\"",
                                        "HUD text 5 186 \"Alt+num to kick out\"", "HUD text 5 204 \"0. Pilot\""};
  EXPECT_EQ(starting(v, "HUD text"), hud);
  EXPECT_LT(index_of(v, "default HUD mode 1"), index_of(v, hud[0]));
  EXPECT_NE(index_of(v, "crew crew_exit after 3 steps"), -1);

  // Alt+1 names member 1 (nobody), Alt+0 member 0; a digit without Alt ejects nobody
  flight_result ejected = fly_one(d, {}, {"--steps", "1", "--key", "0:11", "--key", "0:2:alt", "--key", "0:11:alt"});
  std::vector<std::string> e = calls(ejected, ship);
  EXPECT_EQ(starting(e, "crew crew_eject"),
            (std::vector<std::string>{"crew crew_eject 1 -> nobody", "crew crew_eject 0 -> Pilot"}));
  EXPECT_EQ(starting(e, "HUD text"),
            (std::vector<std::string>{"HUD text 5 150 \"Crew limit 2\"", "HUD text 5 168 \"Crew on board 0\"",
                                      "HUD text 5 186 \"Alt+num to kick out\""}));
}

TEST(FlightCrew, NoCrewWithoutTheLibraryOrSeats) {
  vessel_design d = named_design("Shuttle");
  d.data.crew[0].max_crew = 2;
  flight_root root(true, false);                      // no crew library installed
  root.install(d);
  root.add_scenario("f.scn", {{ship_of(d), "Shuttle", {}}});
  flight_result r = root.fly({"Scenarios/f.scn", "--steps", "1", "--key", "0:11:alt"});
  EXPECT_EQ(r.exit_code, 0) << r.errors;
  EXPECT_TRUE(starting(calls(r, ship_of(d)), "crew").empty());
  EXPECT_TRUE(starting(calls(r, ship_of(d)), "HUD text").empty());
  d.data.crew[0].max_crew = 0;                        // the library is there but the vessel has no seats
  r = fly_one(d, {}, {"--steps", "1"});
  EXPECT_TRUE(starting(calls(r, ship_of(d)), "crew").empty());
}

} // namespace
