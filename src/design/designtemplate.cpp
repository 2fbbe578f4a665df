// designtemplate: the template vessel as tables, applied through the add operations.
#include "design/designtemplate.h"

#include "design/kvgen.h"

namespace {
struct thruster_row { vec3 pos, dir; double thrust; int group; };
struct exhaust_row { int thruster; double length, width; bool free; vec3 pos, dir; };
struct comp_row { int mesh, type, list; double state0, state1, degrees; vec3 ref, axis; };
struct beacon_row { uint32_t shape; vec3 pos, col; double size, falloff, period, duration, tofs; };
struct view_row { vec3 cam_pos; int32_t neighbours[4]; int32_t hud_mesh, hud_group; vec3 hud_center; double hud_size; };
struct aero_row { int kind; double chord, area, aspect; vec3 pos; };
struct anim_def { int key; double rate, position; std::vector<aointeger> lists; std::vector<comp_row> comps; };

constexpr double template_isp = 40000.0;
constexpr double template_rcs_thrust = 2500.0;

const thruster_row thrusters[] = {
  {{-1, 0, -7.7}, {0, 0, 1}, 200000.0, group_main},
  {{1, 0, -7.7}, {0, 0, 1}, 200000.0, group_main},
  {{-3, -0.236, 5.6}, {0, 0.042105, -0.999113}, 34000.0, group_retro},
  {{3, -0.236, 5.6}, {0, 0.042105, -0.999113}, 34000.0, group_retro},
  {{0, 0, 3}, {0, 1, 0}, 140000.0, group_hover},
  {{0, 0, -3}, {0, 1, 0}, 140000.0, group_hover},
};

const exhaust_row exhausts[] = {
  {0, 12.0, 1.0, false, {}, {}},
  {1, 12.0, 1.0, false, {}, {}},
  {2, 3.0, 0.4, false, {}, {}},
  {3, 3.0, 0.4, false, {}, {}},
  {4, 6.0, 0.5, true, {0, -1.6, 3}, {0, -1, 0}},
  {5, 6.0, 0.5, true, {-3, -1.3, -4.55}, {0, -1, 0}},
  {5, 6.0, 0.5, true, {3, -1.3, -4.55}, {0, -1, 0}},
};
constexpr int rcs_first = 6, rcs_count = 14;        // thrusters 6..19 get small attached flames

// The gear: rotations of mesh 0 only.
const anim_def gear = {34, 0.15, 1.0,
  {{92, 96}, {62, 81}, {63, 82}, {64, 83}, {91, 95}, {90, 94}, {60, 61, 79, 80}, {59, 78},
   {56, 57, 75, 76}, {58, 77}},
  {{0, comp_rotation, 0, 0.3, 1.0, -95, {0, -1.048, 8.561}, {1, 0, 0}},
   {0, comp_rotation, 1, 0.3, 0.9, -90, {0, -1.145, 8.65}, {1, 0, 0}},
   {0, comp_rotation, 2, 0.0, 0.3, -90, {-0.3, -1.222, 7.029}, {0, 0.052, 0.999}},
   {0, comp_rotation, 2, 0.7, 1.0, 90, {-0.3, -1.222, 7.029}, {0, 0.052, 0.999}},
   {0, comp_rotation, 3, 0.0, 0.3, 90, {0.3, -1.222, 7.029}, {0, 0.052, 0.999}},
   {0, comp_rotation, 3, 0.7, 1.0, -90, {0.3, -1.222, 7.029}, {0, 0.052, 0.999}},
   {0, comp_rotation, 4, 0.0, 1.0, -90, {-3.607, -1.137, -3.08}, {0, 0, 1}},
   {0, comp_rotation, 5, 0.0, 1.0, 90, {3.607, -1.137, -3.08}, {0, 0, 1}},
   {0, comp_rotation, 6, 0.0, 1.0, -110, {-3.658, -1.239, -3.038}, {0, 0, 1}},
   {0, comp_rotation, 7, 0.0, 0.3, 90, {-2.175, -1.178, -3.438}, {0, 0, 1}},
   {0, comp_rotation, 7, 0.7, 1.0, -90, {-2.175, -1.178, -3.438}, {0, 0, 1}},
   {0, comp_rotation, 8, 0.0, 1.0, 110, {3.658, -1.239, -3.038}, {0, 0, 1}},
   {0, comp_rotation, 9, 0.0, 0.3, -90, {2.175, -1.178, -3.438}, {0, 0, 1}},
   {0, comp_rotation, 9, 0.7, 1.0, 90, {2.175, -1.178, -3.438}, {0, 0, 1}}}};

// The nose cone: the cockpit mesh's and the outer mesh's halves, then the cone's shift.
const anim_def nose_cone = {37, 0.05, 0.0,
  {{106}, {107}, {69, 84}, {70, 85}, {71, 86}, {72, 87}, {45}},
  {{1, comp_rotation, 0, 0.01, 0.92, 150, {-0.424, -0.066, 9.838}, {-0.707, -0.707, 0}},
   {1, comp_rotation, 1, 0.03, 0.91, 150, {0.424, -0.066, 9.838}, {-0.707, 0.707, 0}},
   {0, comp_rotation, 2, 0.01, 0.92, 150, {-0.424, -0.066, 9.838}, {-0.707, -0.707, 0}},
   {0, comp_rotation, 3, 0.03, 0.91, 150, {0.424, -0.066, 9.838}, {-0.707, 0.707, 0}},
   {0, comp_rotation, 4, 0.0, 0.89, 150, {-0.424, -0.914, 9.838}, {0.707, -0.707, 0}},
   {0, comp_rotation, 5, 0.03, 0.94, 150, {0.424, -0.914, 9.838}, {0.707, 0.707, 0}},
   {0, comp_translate, 6, 0.8, 1.0, 0, {0, 0, 0}, {0, 0, 0.06}}}};

const beacon_row beacons[] = {
  {beacon_diffuse, {-8.6, 0, -3.3}, {1, 0.5, 0.5}, 0.3, 0.4, 0, 0.1, 1.2},
  {beacon_diffuse, {8.6, 0, -3.3}, {0.5, 1, 0.5}, 0.3, 0.4, 0, 0.1, 1.0},
  {beacon_diffuse, {0, 0.5, -7.5}, {1, 1, 1}, 0.3, 0.4, 0, 0.1, 0.8},
  {beacon_star, {0, 2.2, 2}, {1, 0.6, 0.6}, 0.55, 0.6, 2.0, 0.1, 0.6},
  {beacon_star, {0, -1.4, 2}, {1, 0.6, 0.6}, 0.55, 0.6, 2.0, 0.1, 0.4},
  {beacon_star, {-8.9, 2.5, -5.4}, {1, 1, 1}, 0.55, 0.6, 1.13, 0.05, 0.2},
  {beacon_star, {8.9, 2.5, -5.4}, {1, 1, 1}, 0.55, 0.6, 1.13, 0.05, 0.0},
};

const view_row views[] = {
  {{0, 1.467, 6.782}, {1, 2, -1, -1}, 1, 136, {0, 1.462, 7.09}, 0.15},
  {{-0.7, 1.15, 5.55}, {-1, 2, 0, 3}, -1, -1, {0, 0, 0}, 0},
  {{0.7, 1.15, 5.55}, {1, -1, 0, 4}, -1, -1, {0, 0, 0}, 0},
  {{-0.8, 1.2, 4.4}, {-1, 4, 1, -1}, -1, -1, {0, 0, 0}, 0},
  {{0.8, 1.2, 4.4}, {3, -1, 2, -1}, -1, -1, {0, 0, 0}, 0},
};

const aero_row aeros[] = {
  {lift_vertical, 5.0, 90.0, 1.5, {0, 0, -0.3}},
  {lift_horizontal, 5.0, 15.0, 1.5, {0, 0, -4}},
};

void set_template_header(design_header& h) {
  set_name(h.vessel_name, sizeof h.vessel_name, "DeltaGlider_vrk");
  set_name(h.dll_name, sizeof h.dll_name, "deltaglider_vrk");
  h.size = 10.0;
  h.empty_mass = 11000.0;
  h.pmi = {15.5, 22.1, 7.7};
  h.cross_sections = {53.0, 186.9, 25.9};
  h.rot_drag = {0.10, 0.13, 0.04};
  h.gear_anim = 0;
  h.vc_camera = {0, 1.467, 6.782};
  h.payload_manager = 0;
  h.needs_pilot = 1;
  h.albedo = pack_colour(0.77, 0.20, 0.13, 1.0);
  h.gravgrad_damp = 20.0;
  h.wing_aspect = 0.7;
  h.wing_effectiveness = 2.5;
  h.have_vc = 1;
}

int add_template_animation(vessel_design& d, const anim_def& a) {
  const int k = add_animation(d, a.key, a.rate, a.position);
  for (const aointeger& l : a.lists) add_group_list(d, k, l);
  for (const comp_row& c : a.comps)
    add_component(d, k, make_component(c.mesh, c.type, c.list, c.ref, c.axis, c.degrees * pi / 180,
                                       c.state0, c.state1));
  return k;
}
}  // namespace

void apply_template(vessel_design& d) {
  reset_design(d);
  set_template_header(d.header);
  d.data.crew[0].max_crew = 5;
  add_touchdown_set(d, {0, -1.5, 9}, {-6, -0.8, -5}, {3, -1.2, -5});
  add_touchdown_set(d, {0, -2.57, 10}, {-3.5, -2.57, -3}, {3.5, -2.57, -3});
  add_fuel_tank(d, 12900.0);
  add_fuel_tank(d, 600.0);
  for (const thruster_row& t : thrusters) add_thruster(d, t.pos, t.dir, 0, {t.group}, t.thrust, template_isp);
  add_default_rcs(d, template_rcs_thrust, template_isp);
  for (const exhaust_row& e : exhausts) {
    if (e.free) add_exhaust(d, e.thruster, e.length, e.width, e.pos, e.dir);
    else add_exhaust(d, e.thruster, e.length, e.width);
  }
  for (int t = rcs_first; t < rcs_first + rcs_count; ++t) add_exhaust(d, t, 0.7, 0.08);
  add_mesh(d, "dg\\deltaglider", visibility_external);
  add_mesh(d, "dg\\deltaglidercockpit", visibility_vc);
  const int gear_anim = add_template_animation(d, gear);
  set_gear_animation(d, gear_anim);
  add_template_animation(d, nose_cone);
  for (const beacon_row& b : beacons) {
    beacon_def e{};
    e.shape = b.shape;
    e.pos = b.pos;
    e.col = b.col;
    e.size = b.size;
    e.falloff = b.falloff;
    e.period = b.period;
    e.duration = b.duration;
    e.tofs = b.tofs;
    e.active = 1;
    add_beacon(d, e);
  }
  add_dock(d, {0, -0.49, 10.076}, {0, 0, 1}, {0, 1, 0});
  for (const view_row& r : views) {
    vc_view v{};
    v.cam_pos = r.cam_pos;
    v.cam_dir = {0, 0, 1};
    v.shift_fwd = {0, 0, 0.1};
    v.shift_left = {-0.2, 0, 0};
    v.shift_right = {0.2, 0, 0};
    std::copy(std::begin(r.neighbours), std::end(r.neighbours), v.neighbours);
    v.hud_mesh = r.hud_mesh;
    v.hud_group = r.hud_group;
    v.hud_center = r.hud_center;
    v.hud_size = r.hud_size;
    add_vc_view(d, v);
  }
  add_mfd_binding(d, 0, mfd_left, 1, 109);
  add_mfd_binding(d, 0, mfd_right, 1, 110);
  for (const aero_row& a : aeros) {
    const int i = add_aero_element(d, aero_lift, a.kind);
    aero_def& e = d.data.aero_elements[i];
    e.chord = a.chord;
    e.area = a.area;
    e.aspect = a.aspect;
    e.pos = a.pos;
  }
}
