// The view camera and the 3D controls without a display: orbit, zoom and wheel
// steps, the camera keys, panning, the two camera slots, and picking and
// dragging through the input procedure with a stand-in for the preview's pick.
#include <gtest/gtest.h>
#include <cmath>
#include <cstring>
#include "design/designtemplate.h"
#include "design/kvgen.h"
#include "editor/grpgui.h"
#include "editor/kvwindows.h"
#include "editor/selection.h"
#include "editor/undo.h"
#include "shell/app.h"
#include "shell/camera.h"

namespace {

void expect_near(const vec3& a, const vec3& b, double eps = 1e-9) {
  EXPECT_NEAR(a.x, b.x, eps);
  EXPECT_NEAR(a.y, b.y, eps);
  EXPECT_NEAR(a.z, b.z, eps);
}

// What the stand-in pick finds under the cursor: a marker in object mode, a
// handle in handle mode, anywhere in the window.
struct fake_hit { int object = 1, mesh = point_thrusters, group = 0, handle = 1; } hit;

void fake_pick(int, int, bool handles) {
  vorlscene& s = vorl_scene;
  if (handles) {
    s.picked_handle = hit.handle;
    return;
  }
  s.picked_object = hit.object;
  s.picked_mesh = hit.mesh;
  s.picked_group = hit.group;
}

class Camera : public ::testing::Test {
 protected:
  vec3 vessel{1000, 2000, 3000};
  void SetUp() override {
    gui_init();
    pages = pages_state{};
    design = vessel_design{};
    apply_template(design);
    clear_selection();
    pages_build(800, 600);
    vorl_scene.objects.clear();
    vorl_scene.objects.push_back(std::make_unique<scene_object>());
    vorl_scene.objects[0]->position = vessel;
    vorl_scene.objects[0]->draw = std::make_unique<draw_rec>();
    vorl_scene.camera = camera_block{};
    vorl_scene.camera.position = add(vessel, make_vec(0, 0, -20));
    camera_start(vorl_scene, make_vec(0, 1, 2));
    // The +x handle points right on the screen, +y up, +z down and to the left.
    vorl_scene.handle_points = {vec2{100, 100}, {150, 100}, {100, 50}, {80, 120}, {50, 100}, {100, 150}, {120, 80}};
    hit = fake_hit{};
    preview.pick = fake_pick;
    preview.camera_offset = live_offset;      // as the program wires the pages' camera calls
    preview.vc_camera_place = place_at_offset;
    preview.vc_camera_switch = view_second;
    input(input_mouse_move, 400, 300, 0, 0);    // off every window, so keys reach the camera
  }
  void TearDown() override {
    preview = {};
    vorl_scene.objects.clear();
    gui_final();
    design = vessel_design{};
  }
  camera_block& cam() { return vorl_scene.camera; }
  double range() { return distance(cam().position, cam().target); }
  void key(uint16_t k) { input(input_key_down, 0, 0, 0, k); }
  void wheel(uint16_t extra) { input(input_button_down, 400, 300, shift_WheelUp | extra, 0); }
  vec3 point(int kind, int p) {
    vec3 v{};
    EXPECT_TRUE(element_point(design, kind, p, v));
    return v;
  }
};

TEST_F(Camera, OrbitKeepsTheDistanceInTargetModeAndTurnsInPlaceInFreeFlight) {
  input(input_mouse_move, 300, 300, 0, 0);
  input(input_mouse_move, 340, 280, shift_RightButton, 0);
  EXPECT_NEAR(range(), 20, 1e-9);
  expect_near(cam().target, vessel);
  expect_near(normalise(sub(cam().target, cam().position)), view_direction(cam()));
  EXPECT_NEAR(cam().yaw, -40 * pi / 360, 1e-12);  // half a degree per pixel
  EXPECT_NEAR(cam().pitch, 20 * pi / 360, 1e-12);

  key('0');
  const vec3 before = cam().position, looking = view_direction(cam());
  input(input_mouse_move, 300, 300, shift_RightButton, 0);
  expect_near(cam().position, before);
  EXPECT_LT(dot(looking, view_direction(cam())), 0.99);
}

TEST_F(Camera, WheelStepsScaleTheDistanceOrMoveAlongTheView) {
  wheel(0);
  EXPECT_NEAR(range(), 20 / 1.1, 1e-9);
  input(input_button_down, 400, 300, shift_WheelDown, 0);
  EXPECT_NEAR(range(), 20, 1e-9);
  wheel(shift_Alt);
  EXPECT_NEAR(range(), 0.2, 1e-9);
  EXPECT_EQ(wheel_step(shift_Shift), 9);
  EXPECT_EQ(wheel_step(shift_Ctrl), 0.01);

  key('0');                                     // free flight: s = 0.01
  EXPECT_EQ(cam().mode, camera_free);
  vec3 start = cam().position, ahead = view_direction(cam());
  wheel(0);
  expect_near(sub(cam().position, start), scale(ahead, 10), 1e-6);
  key('9');                                     // fine control: s = 0.0001
  start = cam().position;
  wheel(0);
  expect_near(sub(cam().position, start), scale(ahead, 0.1), 1e-6);
  input(input_button_down, 400, 300, shift_WheelDown, 0);
  expect_near(cam().position, start, 1e-6);

  key('0');                                     // back: target mode, s = 1, fine control off
  EXPECT_EQ(cam().mode, camera_target);
  EXPECT_EQ(view.speed, 1.0);
  EXPECT_FALSE(view.fine);
  key('0');
  key('0');
  EXPECT_EQ(view.speed, 1.0);
}

TEST_F(Camera, PanningMovesTheTargetAndCarriesTheViewAlong) {
  input(input_mouse_move, 300, 300, 0, 0);
  input(input_mouse_move, 310, 300, shift_MiddleButton, 0);
  EXPECT_NEAR(view.pan_a, 10 * 20 * 0.001, 1e-12); // yaw 0: dx goes to A
  EXPECT_NEAR(view.pan_b, 0, 1e-12);
  const vec3 offset = sub(cam().position, cam().target);
  camera_frame(vorl_scene);
  expect_near(cam().target, add(vessel, make_vec(-0.2, 0, 0)));
  expect_near(sub(cam().position, cam().target), offset);
}

TEST_F(Camera, WithoutAVesselObjectTheCameraCirclesTheTargetItStartedWith) {
  vorl_scene.objects.clear();
  cam().target = make_vec(5, 6, 7);
  cam().position = make_vec(5, 6, -13);
  camera_start(vorl_scene, make_vec(0, 0, 0));
  camera_frame(vorl_scene);
  input(input_mouse_move, 340, 280, shift_RightButton, 0);
  expect_near(cam().target, make_vec(5, 6, 7));
  EXPECT_NEAR(range(), 20, 1e-9);
}

TEST_F(Camera, F1AndTheVcButtonsUseTheSecondSlot) {
  const vec3 editor_position = cam().position;
  key(vk_f1);
  EXPECT_TRUE(vorl_scene.cockpit_view);
  EXPECT_TRUE(vorl_scene.objects[0]->draw->cockpit_view);
  expect_near(cam().position, add(vessel, make_vec(0, 1, 2)));
  wheel(0);                                     // the target is the eye: nothing to zoom
  expect_near(cam().position, add(vessel, make_vec(0, 1, 2)));
  key(vk_f1);
  expect_near(cam().position, editor_position);

  vec3 offset{};
  ASSERT_TRUE(preview.camera_offset(offset));     // "Set VC camera to current"
  expect_near(offset, make_vec(0, 0, -20));
  preview.vc_camera_place(make_vec(0, 0, -20));
  EXPECT_TRUE(vorl_scene.cockpit_view);
  expect_near(cam().position, editor_position);
  key(vk_f1);
  preview.vc_camera_switch();                     // "VC"
  EXPECT_TRUE(vorl_scene.cockpit_view);
}

TEST_F(Camera, DraggingTheXHandleOfAThrusterPositionMovesOnlyItsX) {
  undo_start();
  input(input_button_down, 300, 300, shift_LeftButton, 0); // selection pick: thruster 0's position
  EXPECT_EQ(selection.object, 1);
  EXPECT_EQ(selection.mesh, point_thrusters);
  EXPECT_TRUE(view.dragging);
  EXPECT_TRUE(page(page_controls).visible);
  const vec3 before = point(point_thrusters, 0);
  input(input_mouse_move, 304, 306, shift_LeftButton, 0);
  input(input_mouse_move, 308, 306, shift_LeftButton, 0);  // 8 right along +x, 6 across it
  expect_near(point(point_thrusters, 0), add(before, make_vec(2, 0, 0)));
  input(input_button_up, 308, 306, shift_LeftButton, 0);
  EXPECT_FALSE(view.dragging);
  input(input_mouse_move, 320, 306, shift_LeftButton, 0);
  expect_near(point(point_thrusters, 0), add(before, make_vec(2, 0, 0)));
  ASSERT_TRUE(undo_step());                     // the whole drag is one step
  expect_near(point(point_thrusters, 0), before);
  EXPECT_FALSE(undo_step());
}

TEST_F(Camera, ANegativeArmDragsItsAxisTheWayTheMouseGoes) {
  hit.handle = 6;                               // -z: the +z arrow points down and to the left
  input(input_button_down, 300, 300, shift_LeftButton, 0);
  const vec3 before = point(point_thrusters, 0);
  input(input_mouse_move, 280, 320, shift_LeftButton, 0);
  expect_near(point(point_thrusters, 0), add(before, make_vec(0, 0, std::sqrt(800.0) / 4)));
}

TEST_F(Camera, APressOnAWindowOverAHandleStartsTheDragButPicksNoSelection) {
  selection = {1, point_beacons, 0};
  const gg_wndtype& menu = page(page_main);
  const int x = menu.x + 5, y = menu.y + 5;
  input(input_mouse_move, x, y, 0, 0);
  input(input_button_down, x, y, shift_LeftButton, 0);
  EXPECT_EQ(selection.mesh, point_beacons);     // the GUI took the press
  EXPECT_TRUE(view.dragging);
  EXPECT_EQ(view.drag_mesh, point_beacons);
}

TEST_F(Camera, DragsTurnDirectionsAndLeaveExhaustsAlone) {
  const vec3 dir = point(point_thrusters, 1);
  apply_drag(design, point_thrusters, 1, 1, pi / 2);        // the direction turns about y
  vec3 turned = dir;
  rotate_y(turned, pi / 2);
  expect_near(point(point_thrusters, 1), turned);

  const int dock = 3 * add_dock(design);                    // 0,0,0 / 1,0,0 / 0,1,0
  apply_drag(design, point_docks, dock + 1, 2, pi);         // direction and rotation vector about z
  expect_near(point(point_docks, dock + 1), make_vec(-1, 0, 0));
  expect_near(point(point_docks, dock + 2), make_vec(0, -1, 0));
  apply_drag(design, point_docks, dock + 2, 2, pi);         // the rotation vector alone
  expect_near(point(point_docks, dock + 1), make_vec(-1, 0, 0));
  expect_near(point(point_docks, dock + 2), make_vec(0, 1, 0));
  apply_drag(design, point_docks, dock, 0, 1.5);            // the position moves
  expect_near(point(point_docks, dock), make_vec(1.5, 0, 0));

  ASSERT_GT(design.data.exhausts.size(), 0u);
  const vessel_design kept = design;
  hit = {1, point_exhausts, 0, 1};
  input(input_button_down, 300, 300, shift_LeftButton, 0);
  input(input_mouse_move, 340, 300, shift_LeftButton, 0);
  EXPECT_EQ(std::memcmp(&kept.data.exhausts[0], &design.data.exhausts[0], sizeof(exhaust_def)), 0);
}

}  // namespace
