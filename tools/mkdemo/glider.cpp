#include "mkdemo/glider.h"

#include <array>
#include <cmath>
#include <functional>
#include <map>

#include "mkdemo/shapes.h"

namespace {

constexpr double deg = pi / 180;
const vec3 x_axis{1, 0, 0}, y_axis{0, 1, 0}, z_axis{0, 0, 1};

using builder = std::function<void(typmshgrp&)>;

demo_group part(const std::string& label, int material, int texture, const builder& build) {
  demo_group d;
  d.label = label;
  d.material = material;
  d.texture = texture;
  build(d.g);
  finish_extents(d.g);
  return d;
}

// Turns an animated part from its animation's start to its end, one component
// after the other, as the preview does when the animation plays forward.
demo_group posed(demo_group d, const vec3& ref, const vec3& axis, const std::vector<double>& degrees) {
  for (double a : degrees) rotate_about(d.g, ref, axis, a * deg);
  finish_extents(d.g);
  return d;
}

// Fixed parts at their indices, the others in order in the free slots, and
// fillers where slots below min_groups are still empty.
std::vector<demo_group> assemble(std::map<int, demo_group> fixed, std::vector<demo_group> details, int min_groups,
                                 const std::function<demo_group(int)>& filler) {
  std::vector<demo_group> out;
  size_t next = 0;
  int fills = 0;
  const int last_fixed = fixed.empty() ? -1 : fixed.rbegin()->first;
  for (int i = 0; i < min_groups || i <= last_fixed || next < details.size(); ++i) {
    if (auto f = fixed.find(i); f != fixed.end())
      out.push_back(std::move(f->second));
    else if (next < details.size())
      out.push_back(std::move(details[next++]));
    else
      out.push_back(filler(fills++));
  }
  return out;
}

std::vector<vec2> mirror(std::vector<vec2> outline, double side) {
  for (vec2& p : outline) p.x *= side;
  return outline;
}

// --- Shared by both meshes -------------------------------------------------------------

enum glider_material { m_hull = 1, m_dark, m_glass, m_metal, m_rubber, m_red, m_green, m_white };
enum glider_texture { t_none = 0, t_hull, t_wing, t_fin, t_engine, t_canopy, t_decal, t_emblem };

msh_material make_material(const std::string& name, std::array<double, 4> d, double shine, double power,
                            std::array<double, 3> emit = {0, 0, 0}) {
  msh_material m{name, {d[0], d[1], d[2], d[3]}, {d[0] * 0.5, d[1] * 0.5, d[2] * 0.5, 1}, {shine, shine, shine, 1},
                  power, {emit[0], emit[1], emit[2], 1}};
  return m;
}

const std::vector<msh_material>& glider_materials() {
  static const std::vector<msh_material> list = {
    make_material("hull", {1, 1, 1, 1}, 0.3, 20),
    make_material("dark", {0.25, 0.25, 0.28, 1}, 0.1, 10),
    make_material("glass", {0.6, 0.75, 0.9, 0.4}, 1, 60),
    make_material("metal", {0.7, 0.7, 0.72, 1}, 0.6, 40),
    make_material("rubber", {0.08, 0.08, 0.08, 1}, 0, 0),
    make_material("red_light", {1, 0.3, 0.3, 1}, 0, 0, {1, 0.2, 0.2}),
    make_material("green_light", {0.3, 1, 0.3, 1}, 0, 0, {0.2, 1, 0.2}),
    make_material("white_light", {1, 1, 1, 1}, 0, 0, {1, 1, 1}),
  };
  return list;
}

// The nose cone: four petals on a cone whose rim passes through the petals'
// hinge points (radius 0.6 about (0, -0.49) at z 9.838).
const hull_ring cone_rings[] = {
  {9.838, 0.6, -0.49, 0.6, 0.6}, {10.12, 0.42, -0.49, 0.42, 0.42}, {10.3, 0.06, -0.49, 0.06, 0.06}};

// Quadrant 0 upper right, 1 upper left, 2 lower left, 3 lower right; a liner
// is the petal's inside, facing the cone's axis.
demo_group petal(const std::string& label, int quadrant, bool liner, int material, int texture) {
  return part(label, material, texture, [&](typmshgrp& g) {
    const double a0 = quadrant * pi / 2, a1 = a0 + pi / 2, k = liner ? 0.96 : 1;
    for (int i = 0; i < 2; ++i) {
      hull_ring r0 = cone_rings[i], r1 = cone_rings[i + 1];
      for (hull_ring* r : {&r0, &r1}) r->half_width *= k, r->top *= k, r->bottom *= k;
      add_hull_band(g, r0, r1, liner ? a1 : a0, liner ? a0 : a1, 6);
    }
  });
}

// --- External mesh ------------------------------------------------------------------

// The hull from the tail to the nose cone's rim.
const hull_ring hull_rings[] = {
  {-7.8, 1.7, -0.1, 0.9, 0.8},  {-6.0, 2.2, -0.1, 1.1, 1.1},  {-3.0, 2.4, -0.1, 1.3, 1.2},
  {0.0, 2.3, -0.1, 1.45, 1.25}, {3.0, 2.0, -0.15, 1.6, 1.2},  {5.5, 1.5, -0.2, 1.9, 1.1},
  {7.5, 1.05, -0.3, 1.85, 0.95}, {8.6, 0.85, -0.42, 1.1, 0.8}, {9.838, 0.6, -0.49, 0.6, 0.6}};
constexpr int hull_bands = int(std::size(hull_rings)) - 1;

void hull_groups(std::vector<demo_group>& out) {
  static const char* const quadrant_names[] = {"upper_right", "upper_left", "lower_left", "lower_right"};
  for (int b = 0; b < hull_bands; ++b)
    for (int q = 0; q < 4; ++q) {
      const bool canopy = (b == 4 || b == 5) && q < 2;  // above the cockpit
      out.push_back(part("hull_" + std::to_string(b) + "_" + quadrant_names[q], canopy ? m_glass : m_hull,
                         canopy ? t_canopy : t_hull, [&](typmshgrp& g) {
                           add_hull_band(g, hull_rings[b], hull_rings[b + 1], q * pi / 2, (q + 1) * pi / 2, 6);
                         }));
    }
  out.push_back(part("tail_plate", m_dark, t_none, [](typmshgrp& g) { add_hull_cap(g, hull_rings[0], false, 24); }));
}

void wing_groups(std::vector<demo_group>& out) {
  // Left wing planform pieces in (x, z); the right wing mirrors them.
  static const struct { const char* name; int texture; std::vector<vec2> outline; } pieces[] = {
    {"strake", t_wing, {{-2.0, 6.0}, {-4.93, 2.0}, {-2.0, 2.0}}},
    {"inner_wing", t_wing, {{-2.0, 2.0}, {-4.93, 2.0}, {-5.0, 1.909}, {-5.0, -4.573}, {-2.0, -5.3}}},
    {"inner_elevon", t_fin, {{-2.0, -5.3}, {-5.0, -4.573}, {-5.0, -5.473}, {-2.0, -6.2}}},
    {"outer_wing", t_wing, {{-5.0, 1.909}, {-8.6, -3.0}, {-8.6, -3.7}, {-5.0, -4.573}}},
    {"outer_elevon", t_fin, {{-5.0, -4.573}, {-8.6, -3.7}, {-8.6, -4.6}, {-5.0, -5.473}}},
  };
  for (double side : {-1.0, 1.0})
    for (const auto& p : pieces)
      out.push_back(part(std::string(side < 0 ? "left_" : "right_") + p.name, m_hull, p.texture, [&](typmshgrp& g) {
        add_slab(g, mirror(p.outline, -side), {0, -0.35, 0}, x_axis, z_axis, 0.3);
      }));
}

void fin_groups(std::vector<demo_group>& out) {
  const std::vector<vec2> fin = {{-3.0, -0.2}, {-4.7, -0.2}, {-6.5, 2.6}, {-5.9, 2.6}};    // (z, y)
  const std::vector<vec2> rudder = {{-4.7, -0.2}, {-5.4, -0.2}, {-6.9, 2.3}, {-6.45, 2.5}};
  const std::vector<vec2> emblem = {{-5.45, 1.05}, {-4.85, 1.05}, {-4.85, 1.65}, {-5.45, 1.65}};
  for (double side : {-1.0, 1.0}) {
    const std::string s = side < 0 ? "left_" : "right_";
    out.push_back(part(s + "fin", m_hull, t_fin, [&](typmshgrp& g) { add_slab(g, fin, {8.75 * side, 0, 0}, z_axis, y_axis, 0.2); }));
    out.push_back(part(s + "rudder", m_hull, t_fin, [&](typmshgrp& g) { add_slab(g, rudder, {8.75 * side, 0, 0}, z_axis, y_axis, 0.16); }));
    out.push_back(part(s + "emblem", m_hull, t_emblem, [&](typmshgrp& g) { add_slab(g, emblem, {8.87 * side, 0, 0}, z_axis, y_axis, 0.02); }));
    out.push_back(part(s + "decal", m_hull, t_decal, [&](typmshgrp& g) {
      add_slab(g, {{-1.5, -0.2}, {1.5, -0.2}, {1.5, 0.2}, {-1.5, 0.2}}, {2.31 * side, 0, 0}, z_axis, y_axis, 0.02);
    }));
  }
}

void engine_groups(std::vector<demo_group>& out) {
  for (double side : {-1.0, 1.0}) {
    const std::string s = side < 0 ? "left_" : "right_";
    out.push_back(part(s + "main_nozzle", m_metal, t_engine, [&](typmshgrp& g) { add_tube(g, {side, 0, -7.0}, {0, 0, -1.1}, 0.45, 0.6, 16, false); }));
    out.push_back(part(s + "main_housing", m_dark, t_none, [&](typmshgrp& g) { add_tube(g, {side, 0, -6.0}, {0, 0, -1.0}, 0.62, 0.5, 16, true); }));
    out.push_back(part(s + "retro_nozzle", m_metal, t_engine, [&](typmshgrp& g) { add_tube(g, {3 * side, -0.236, 5.0}, {0, 0, 0.6}, 0.18, 0.25, 12, false); }));
    out.push_back(part(s + "retro_cover", m_hull, t_hull, [&](typmshgrp& g) { add_box(g, {3 * side, -0.236, 4.6}, {0.35, 0.2, 0.4}); }));
    out.push_back(part(s + "hover_nozzle", m_metal, t_engine, [&](typmshgrp& g) { add_tube(g, {3 * side, -1.15, -4.55}, {0, -0.15, 0}, 0.45, 0.45, 16, true); }));
    out.push_back(part(s + "gear_fairing", m_hull, t_hull, [&](typmshgrp& g) { add_box(g, {2.95 * side, -0.9, -3.1}, {0.8, 0.3, 1.4}); }));
    out.push_back(part(s + "nose_rcs", m_dark, t_none, [&](typmshgrp& g) { add_box(g, {0.95 * side, -0.2, 8.1}, {0.12, 0.15, 0.25}); }));
    out.push_back(part(s + "tail_rcs", m_dark, t_none, [&](typmshgrp& g) { add_box(g, {2.0 * side, 0.1, -7.0}, {0.15, 0.2, 0.35}); }));
  }
  out.push_back(part("front_hover_nozzle", m_metal, t_engine, [](typmshgrp& g) { add_tube(g, {0, -1.2, 3}, {0, -0.15, 0}, 0.5, 0.5, 16, true); }));
  out.push_back(part("hatch", m_hull, t_hull, [](typmshgrp& g) { add_box(g, {0, 1.36, 1.0}, {0.4, 0.05, 0.4}); }));
  out.push_back(part("antenna", m_metal, t_none, [](typmshgrp& g) { add_tube(g, {0, 1.35, 2}, {0, 0.8, 0}, 0.03, 0.02, 6, true); }));
}

void beacon_groups(std::vector<demo_group>& out) {
  static const struct { vec3 pos; int material; } lights[] = {
    {{-8.6, 0, -3.3}, m_red}, {{8.6, 0, -3.3}, m_green}, {{0, 0.5, -7.5}, m_white}, {{0, 2.2, 2}, m_red},
    {{0, -1.4, 2}, m_red}, {{-8.9, 2.5, -5.4}, m_white}, {{8.9, 2.5, -5.4}, m_white}};
  int n = 0;
  for (const auto& l : lights)
    out.push_back(part("beacon_" + std::to_string(n++), l.material, t_none, [&](typmshgrp& g) { add_box(g, l.pos, {0.06, 0.06, 0.06}); }));
}

// A thin panel lying under the hull at height y, over the outline in (x, z).
builder door_panel(std::vector<vec2> outline, double y, double thickness) {
  return [outline, y, thickness](typmshgrp& g) { add_slab(g, outline, {0, y, 0}, x_axis, z_axis, thickness); };
}

// The gear animation's groups, built folded away and turned down by its components.
void gear_groups(std::map<int, demo_group>& fixed) {
  // Nose gear: the leg folds back along -z under the nose and swings down by 95 degrees.
  const vec3 nose_pivot{0, -1.048, 8.561};
  fixed[92] = posed(part("nose_gear_leg", m_metal, t_none, [&](typmshgrp& g) {
    add_tube(g, nose_pivot, {0, 0, -1.15}, 0.07, 0.06, 8, true); }), nose_pivot, x_axis, {-95});
  fixed[96] = posed(part("nose_gear_wheel", m_rubber, t_none, [&](typmshgrp& g) {
    add_tube(g, add(nose_pivot, {-0.12, 0, -1.15}), {0.24, 0, 0}, 0.27, 0.27, 16, true); }), nose_pivot, x_axis, {-95});
  const vec3 front_hinge{0, -1.145, 8.65};
  const std::vector<vec2> front_door = {{-0.28, 8.1}, {0.28, 8.1}, {0.28, 8.65}, {-0.28, 8.65}};
  fixed[62] = posed(part("nose_door_front", m_hull, t_hull, door_panel(front_door, -1.16, 0.03)), front_hinge, x_axis, {-90});
  fixed[81] = posed(part("nose_door_front_liner", m_dark, t_none, door_panel(front_door, -1.135, 0.02)), front_hinge, x_axis, {-90});
  const vec3 side_axis{0, 0.052, 0.999};
  for (double side : {-1.0, 1.0}) {
    const vec3 hinge{0.3 * side, -1.222, 7.029};
    const std::vector<vec2> door = {{0.3 * side, 7.03}, {0, 7.03}, {0, 8.05}, {0.3 * side, 8.05}};
    const std::vector<double> turns = {-90 * side, 90 * side};
    const std::string s = side < 0 ? "left" : "right";
    fixed[side < 0 ? 63 : 64] = posed(part("nose_door_" + s, m_hull, t_hull, door_panel(door, -1.235, 0.03)), hinge, side_axis, turns);
    fixed[side < 0 ? 82 : 83] = posed(part("nose_door_" + s + "_liner", m_dark, t_none, door_panel(door, -1.21, 0.02)), hinge, side_axis, turns);
  }
  // Main gear: the legs fold inwards along x under the wings and swing down by 90 degrees.
  for (double side : {-1.0, 1.0}) {
    const std::string s = side < 0 ? "left" : "right";
    const vec3 pivot{3.607 * side, -1.137, -3.08};
    const vec3 foot = add(pivot, {-1.15 * side, 0, 0});
    const double leg_turn = 90 * side;
    fixed[side < 0 ? 91 : 90] = posed(part(s + "_gear_leg", m_metal, t_none, [&](typmshgrp& g) {
      add_tube(g, pivot, {-1.15 * side, 0, 0}, 0.09, 0.08, 8, true); }), pivot, z_axis, {leg_turn});
    fixed[side < 0 ? 95 : 94] = posed(part(s + "_gear_wheel", m_rubber, t_none, [&](typmshgrp& g) {
      add_tube(g, add(foot, {0, -0.13, 0}), {0, 0.26, 0}, 0.3, 0.3, 16, true); }), pivot, z_axis, {leg_turn});
    // Outer doors open outwards by 110 degrees and stay open; inner doors open and close again.
    const vec3 outer_hinge{3.658 * side, -1.239, -3.038};
    const std::vector<vec2> outer = {{3.658 * side, -3.94}, {2.908 * side, -3.94}, {2.908 * side, -2.14}, {3.658 * side, -2.14}};
    const std::vector<double> outer_turn = {110 * side};
    const int outer_ids[4] = {side < 0 ? 60 : 56, side < 0 ? 61 : 57, side < 0 ? 79 : 75, side < 0 ? 80 : 76};
    fixed[outer_ids[0]] = posed(part(s + "_gear_door", m_hull, t_hull, door_panel(outer, -1.255, 0.03)), outer_hinge, z_axis, outer_turn);
    fixed[outer_ids[1]] = posed(part(s + "_gear_door_liner", m_dark, t_none, door_panel(outer, -1.23, 0.02)), outer_hinge, z_axis, outer_turn);
    fixed[outer_ids[2]] = posed(part(s + "_gear_door_rib", m_metal, t_none, [&](typmshgrp& g) {
      add_box(g, {3.3 * side, -1.2, -3.038}, {0.03, 0.03, 0.8}); }), outer_hinge, z_axis, outer_turn);
    fixed[outer_ids[3]] = posed(part(s + "_gear_door_arm", m_metal, t_none, [&](typmshgrp& g) {
      add_tube(g, {3.4 * side, -1.21, -3.038}, {-0.25 * side, 0.3, 0}, 0.025, 0.025, 6, true); }), outer_hinge, z_axis, outer_turn);
    const vec3 inner_hinge{2.175 * side, -1.178, -3.438};
    const std::vector<vec2> inner = {{2.175 * side, -4.3}, {2.905 * side, -4.3}, {2.905 * side, -2.6}, {2.175 * side, -2.6}};
    const std::vector<double> inner_turns = {90 * -side, -90 * -side};
    fixed[side < 0 ? 59 : 58] = posed(part(s + "_inner_door", m_hull, t_hull, door_panel(inner, -1.195, 0.03)), inner_hinge, z_axis, inner_turns);
    fixed[side < 0 ? 78 : 77] = posed(part(s + "_inner_door_liner", m_dark, t_none, door_panel(inner, -1.17, 0.02)), inner_hinge, z_axis, inner_turns);
  }
}

// The nose cone animation's groups: closed at its default position.
void nose_groups(std::map<int, demo_group>& fixed) {
  static const struct { int outer, liner, quadrant; const char* name; } petals[] = {
    {69, 84, 1, "upper_left"}, {70, 85, 0, "upper_right"}, {71, 86, 2, "lower_left"}, {72, 87, 3, "lower_right"}};
  for (const auto& p : petals) {
    fixed[p.outer] = petal(std::string("nose_petal_") + p.name, p.quadrant, false, m_hull, t_hull);
    fixed[p.liner] = petal(std::string("nose_petal_") + p.name + "_liner", p.quadrant, true, m_dark, t_none);
  }
  fixed[45] = part("dock_seal", m_metal, t_none, [](typmshgrp& g) { add_tube(g, {0, -0.49, 9.80}, {0, 0, 0.06}, 0.5, 0.5, 20, false); });
}

// --- Cockpit mesh ------------------------------------------------------------------

enum cockpit_material { c_panel = 1, c_seat, c_screen, c_glass, c_metal, c_switch, c_lamp, c_hull };
enum cockpit_texture { ct_none = 0, ct_panel, ct_seat, ct_screen, ct_canopy, ct_hull };

const vec3 panel_up = normalise({0, 0.8, -0.6});  // the instrument panel leans back towards the pilot

// A flat piece on the instrument panel's face, centred at (x, t) in its plane.
builder on_panel(double x, double t, double half_w, double half_h, double lift, double thickness) {
  return [=](typmshgrp& g) {
    const vec3 origin = add({0, 1.0, 7.25}, add(scale(panel_up, t), scale(cross(panel_up, x_axis), lift)));
    add_slab(g, {{x - half_w, -half_h}, {x + half_w, -half_h}, {x + half_w, half_h}, {x - half_w, half_h}}, origin,
             x_axis, panel_up, thickness);
  };
}

void seat_groups(std::vector<demo_group>& out) {
  static const struct { const char* name; vec3 at; } seats[] = {
    {"pilot", {0, 0.3, 6.45}}, {"left_front", {-0.7, 0.3, 5.3}}, {"right_front", {0.7, 0.3, 5.3}},
    {"left_rear", {-0.8, 0.3, 4.15}}, {"right_rear", {0.8, 0.3, 4.15}}};
  for (const auto& s : seats) {
    const std::string n = std::string("seat_") + s.name;
    out.push_back(part(n + "_cushion", c_seat, ct_seat, [&](typmshgrp& g) { add_box(g, add(s.at, {0, 0.35, 0.05}), {0.25, 0.06, 0.25}); }));
    out.push_back(part(n + "_back", c_seat, ct_seat, [&](typmshgrp& g) {
      add_slab(g, {{-0.24, 0}, {0.24, 0}, {0.22, 0.6}, {-0.22, 0.6}}, add(s.at, {0, 0.4, -0.22}), x_axis, normalise({0, 1, -0.25}), 0.1); }));
    out.push_back(part(n + "_headrest", c_seat, ct_seat, [&](typmshgrp& g) { add_box(g, add(s.at, {0, 1.1, -0.38}), {0.14, 0.1, 0.05}); }));
    out.push_back(part(n + "_frame", c_metal, ct_none, [&](typmshgrp& g) { add_box(g, add(s.at, {0, 0.14, 0}), {0.2, 0.14, 0.2}); }));
  }
}

void cabin_groups(std::vector<demo_group>& out) {
  out.push_back(part("floor", c_panel, ct_panel, [](typmshgrp& g) {
    add_slab(g, {{-1.1, 3.6}, {1.1, 3.6}, {0.9, 7.4}, {-0.9, 7.4}}, {0, 0.3, 0}, x_axis, z_axis, 0.05); }));
  for (double side : {-1.0, 1.0}) {
    const std::string s = side < 0 ? "left_" : "right_";
    out.push_back(part(s + "wall", c_panel, ct_panel, [&](typmshgrp& g) {
      add_slab(g, {{3.6, 0.3}, {7.2, 0.3}, {7.2, 1.3}, {3.6, 1.5}}, {1.15 * side, 0, 0}, z_axis, y_axis, 0.04); }));
    out.push_back(part(s + "console", c_panel, ct_panel, [&](typmshgrp& g) { add_box(g, {0.62 * side, 0.75, 6.7}, {0.14, 0.06, 0.45}); }));
    out.push_back(part(s + "throttle", c_metal, ct_none, [&](typmshgrp& g) { add_tube(g, {0.58 * side, 0.8, 6.8}, {0, 0.18, 0.05}, 0.015, 0.015, 6, true); }));
    out.push_back(part(s + "throttle_knob", c_switch, ct_none, [&](typmshgrp& g) { add_box(g, {0.58 * side, 0.99, 6.85}, {0.03, 0.02, 0.03}); }));
    out.push_back(part(s + "pedal", c_metal, ct_none, [&](typmshgrp& g) { add_box(g, {0.15 * side, 0.4, 7.2}, {0.06, 0.02, 0.1}); }));
    out.push_back(part(s + "mfd_bezel", c_panel, ct_none, on_panel(0.28 * side, 0, 0.13, 0.13, 0.02, 0.02)));
    out.push_back(part(s + "canopy_strut", c_metal, ct_none, [&](typmshgrp& g) { add_tube(g, {0.5 * side, 1.2, 7.2}, {-0.25 * side, 0.35, -1.4}, 0.02, 0.02, 6, true); }));
    out.push_back(part(s + "lamp", c_lamp, ct_none, [&](typmshgrp& g) { add_box(g, {0.9 * side, 1.45, 5.0}, {0.05, 0.02, 0.1}); }));
    for (int q = 0; q < 2; ++q)  // the canopy seen from inside
      out.push_back(part(s + "canopy_inner_" + std::to_string(q), c_glass, ct_canopy, [&](typmshgrp& g) {
        hull_ring r0 = hull_rings[4 + q], r1 = hull_rings[5 + q];
        for (hull_ring* r : {&r0, &r1}) r->half_width *= 0.95, r->top *= 0.95, r->bottom *= 0.95;
        add_hull_band(g, r0, r1, side < 0 ? pi : pi / 2, side < 0 ? pi / 2 : 0, 6);  // facing inwards
      }));
  }
  out.push_back(part("rear_bulkhead", c_panel, ct_panel, [](typmshgrp& g) {
    add_slab(g, {{-1.1, 0.3}, {1.1, 0.3}, {1.0, 1.7}, {-1.0, 1.7}}, {0, 0, 3.6}, x_axis, y_axis, 0.05); }));
  out.push_back(part("instrument_panel", c_panel, ct_panel, on_panel(0, 0, 0.62, 0.22, 0, 0.04)));
  out.push_back(part("glare_shield", c_panel, ct_panel, [](typmshgrp& g) {
    add_slab(g, {{-0.6, 7.12}, {0.6, 7.12}, {0.5, 7.45}, {-0.5, 7.45}}, {0, 1.22, 0}, x_axis, z_axis, 0.03); }));
  out.push_back(part("hud_frame", c_metal, ct_none, [](typmshgrp& g) { add_box(g, {0, 1.37, 7.1}, {0.09, 0.015, 0.02}); }));
  out.push_back(part("joystick", c_metal, ct_none, [](typmshgrp& g) { add_tube(g, {0, 0.72, 6.95}, {0, 0.25, 0}, 0.02, 0.015, 6, true); }));
  out.push_back(part("joystick_grip", c_switch, ct_none, [](typmshgrp& g) { add_box(g, {0, 1.0, 6.95}, {0.03, 0.05, 0.03}); }));
  out.push_back(part("overhead_panel", c_panel, ct_panel, [](typmshgrp& g) { add_box(g, {0, 1.62, 6.2}, {0.3, 0.03, 0.35}); }));
}

// One switch of the cockpit's switch rows: four rows above and below the MFDs,
// then rows on the overhead panel; there are as many as the cockpit needs.
demo_group cockpit_switch(int k) {
  static const double panel_rows[] = {-0.195, -0.155, 0.155, 0.195};
  const std::string name = "switch_" + std::to_string(k);
  if (k < 48)
    return part(name, k / 12 % 2 ? c_switch : c_lamp, ct_none, on_panel(-0.55 + 0.1 * (k % 12), panel_rows[k / 12], 0.015, 0.012, 0.03, 0.015));
  const int j = k - 48;
  return part(name, c_switch, ct_none, [j](typmshgrp& g) { add_box(g, {-0.25 + 0.05 * (j % 11), 1.58, 5.95 + 0.1 * (j / 11)}, {0.012, 0.012, 0.012}); });
}

}  // namespace

demo_mesh glider_mesh() {
  demo_mesh m;
  m.materials = glider_materials();
  m.textures = {"dg\\hull.dds", "dg\\wing.dds D", "dg\\fin.dds", "dg\\engine.dds", "dg\\canopy.png", "dg\\decal.jpg",
                "dg\\emblem.gif"};
  std::map<int, demo_group> fixed;
  gear_groups(fixed);
  nose_groups(fixed);
  std::vector<demo_group> details;
  hull_groups(details);
  wing_groups(details);
  fin_groups(details);
  engine_groups(details);
  beacon_groups(details);
  m.groups = assemble(std::move(fixed), std::move(details), 97, [](int k) {
    return part("rivet_" + std::to_string(k), m_metal, t_none, [k](typmshgrp& g) { add_box(g, {0, 1.3, -6.0 + 0.3 * k}, {0.02, 0.02, 0.02}); });
  });
  return m;
}

demo_mesh cockpit_mesh() {
  demo_mesh m;
  m.materials = {
    make_material("panel", {0.3, 0.3, 0.32, 1}, 0.1, 8),
    make_material("seat", {1, 1, 1, 1}, 0, 0),
    make_material("screen", {1, 1, 1, 1}, 0.2, 30, {0.3, 0.3, 0.3}),
    make_material("glass", {0.6, 0.75, 0.9, 0.3}, 1, 60),
    make_material("metal", {0.7, 0.7, 0.72, 1}, 0.6, 40),
    make_material("switch", {0.15, 0.15, 0.15, 1}, 0.3, 20),
    make_material("lamp", {1, 0.8, 0.3, 1}, 0, 0, {0.9, 0.6, 0.1}),
    make_material("hull", {1, 1, 1, 1}, 0.3, 20),
  };
  m.textures = {"dg\\panel.dds", "dg\\seat.bmp", "dg\\screen.bmp", "dg\\canopy.png", "dg\\hull.dds"};
  std::map<int, demo_group> fixed;
  fixed[106] = petal("nose_petal_upper_left", 1, false, c_hull, ct_hull);
  fixed[107] = petal("nose_petal_upper_right", 0, false, c_hull, ct_hull);
  fixed[109] = part("mfd_left", c_screen, ct_screen, on_panel(-0.28, 0, 0.1, 0.1, 0.04, 0.01));
  fixed[110] = part("mfd_right", c_screen, ct_screen, on_panel(0.28, 0, 0.1, 0.1, 0.04, 0.01));
  fixed[136] = part("hud", c_glass, ct_none, [](typmshgrp& g) {
    add_slab(g, {{-0.075, -0.075}, {0.075, -0.075}, {0.075, 0.075}, {-0.075, 0.075}}, {0, 1.462, 7.09}, x_axis, y_axis, 0.004); });
  std::vector<demo_group> details;
  cabin_groups(details);
  seat_groups(details);
  for (double side : {-1.0, 1.0})  // the MFDs' soft keys, six down each side of each screen
    for (int i = 0; i < 12; ++i)
      details.push_back(part("mfd_key_" + std::to_string(details.size()), c_switch, ct_none,
                             on_panel(0.28 * side + (i < 6 ? -0.115 : 0.115), 0.075 - 0.03 * (i % 6), 0.008, 0.008, 0.04, 0.012)));
  m.groups = assemble(std::move(fixed), std::move(details), 137, cockpit_switch);
  return m;
}

// --- Meshes to browse --------------------------------------------------------------

demo_mesh cargo_pod_mesh() {
  demo_mesh m;
  m.materials = {make_material("pod", {1, 1, 1, 1}, 0.3, 15), make_material("frame", {0.4, 0.4, 0.42, 1}, 0.5, 30)};
  m.textures = {"Demo\\pod.png", "Demo\\tank.dds"};
  m.groups.push_back(part("body", 1, 1, [](typmshgrp& g) { add_tube(g, {0, 0, -2}, {0, 0, 4}, 1, 1, 24, false); }));
  for (double end : {-1.0, 1.0})
    m.groups.push_back(part(end < 0 ? "rear_cap" : "front_cap", 1, 2, [end](typmshgrp& g) {
      add_tube(g, {0, 0, 2 * end}, {0, 0, 0.5 * end}, 1, 0.4, 24, true); }));
  for (int k = 0; k < 4; ++k)
    m.groups.push_back(part("rail_" + std::to_string(k), 2, 0, [k](typmshgrp& g) {
      const double a = pi / 4 + k * pi / 2;
      add_box(g, {1.02 * std::cos(a), 1.02 * std::sin(a), 0}, {0.06, 0.06, 2.1}); }));
  m.groups.push_back(part("adapter", 2, 0, [](typmshgrp& g) { add_tube(g, {0, 0, 2.5}, {0, 0, 0.3}, 0.35, 0.35, 16, true); }));
  return m;
}

demo_mesh dock_ring_mesh() {
  demo_mesh m;
  m.materials = {make_material("ring", {1, 1, 1, 1}, 0.4, 25), make_material("plate", {1, 1, 1, 1}, 0.2, 10)};
  m.textures = {"Demo\\ring.jpg", "Demo\\plate.bmp"};
  for (int k = 0; k < 16; ++k)
    m.groups.push_back(part("segment_" + std::to_string(k), 1, 1, [k](typmshgrp& g) {
      add_box(g, {0, 0, 0}, {1.15, 0.4, 0.5});
      translate_group(g, {0, 0, 6});
      rotate_group(g, 1, k * pi / 8);  // about y: the ring lies in the x-z plane
    }));
  for (int k = 0; k < 4; ++k)
    m.groups.push_back(part("spoke_" + std::to_string(k), 2, 2, [k](typmshgrp& g) {
      add_box(g, {0, 0, 3}, {0.3, 0.15, 2.6});
      rotate_group(g, 1, k * pi / 2);
    }));
  m.groups.push_back(part("hub", 2, 2, [](typmshgrp& g) { add_tube(g, {0, -0.8, 0}, {0, 1.6, 0}, 0.6, 0.6, 20, true); }));
  return m;
}

demo_mesh probe_mesh() {
  demo_mesh m;
  m.materials = {make_material("gold", {0.85, 0.65, 0.2, 1}, 0.8, 50), make_material("cells", {1, 1, 1, 1}, 0.5, 30),
                 make_material("white", {0.9, 0.9, 0.9, 1}, 0.3, 20)};
  m.textures = {"Demo\\probe.gif"};
  m.groups.push_back(part("bus", 1, 0, [](typmshgrp& g) { add_box(g, {0, 0, 0}, {0.6, 0.6, 0.8}); }));
  for (double side : {-1.0, 1.0})
    m.groups.push_back(part(side < 0 ? "left_array" : "right_array", 2, 1, [side](typmshgrp& g) {
      add_slab(g, {{0.7, -0.6}, {3.5, -0.6}, {3.5, 0.6}, {0.7, 0.6}}, {0, 0, 0}, {side, 0, 0}, z_axis, 0.03); }));
  m.groups.push_back(part("dish", 3, 0, [](typmshgrp& g) { add_tube(g, {0, 0.6, 0}, {0, 0.4, 0}, 0.15, 1.0, 24, false); }));
  m.groups.push_back(part("mast", 3, 0, [](typmshgrp& g) { add_tube(g, {0, 0, 0.8}, {0, 0, 1.2}, 0.03, 0.02, 6, true); }));
  return m;
}
