// kvgen: the design operations.
#include "design/kvgen.h"

#include <algorithm>
#include <cstring>
#include <utility>

preview_calls preview;

const preview_calls& preview_of(const vessel_design& d) {
  static const preview_calls silent;
  return !preview.shown || preview.shown == &d ? preview : silent;
}

// --- The change report ------------------------------------------------------------------

std::vector<design_change> reported_changes;

std::vector<design_change> take_changes() { return std::exchange(reported_changes, {}); }

// The point kinds in change_part order of their arrays.
static constexpr std::pair<int, int> marker_parts[] = {
  {change_beacons, point_beacons}, {change_thrusters, point_thrusters}, {change_exhausts, point_exhausts},
  {change_docks, point_docks}, {change_touchdown, point_touchdown}, {change_aero, point_aero}};

int marker_kind_of(int part) {
  for (const auto& [p, kind] : marker_parts)
    if (p == part) return kind;
  return -1;
}

static int part_of_kind(int kind) {
  for (const auto& [p, k] : marker_parts)
    if (k == kind) return p;
  return change_whole;
}

// Only the design the preview shows is followed; a design read beside it is not.
static void report(const vessel_design& d, int part, int index = -1) {
  if (&preview_of(d) != &preview) return;
  reported_changes.push_back({part, index});
  for (const auto& [p, kind] : marker_parts)
    if (part == p || part == change_whole) preview.markers_changed(d, kind);
}

// --- Array helpers -------------------------------------------------------------------------

template <class T> static bool in_range(const std::vector<T>& v, int index) {
  return index >= 0 && size_t(index) < v.size();
}

template <class T> static int append(std::vector<T>& v, int32_t& count, const T& e) {
  v.push_back(e);
  count = int32_t(v.size());
  return count - 1;
}

template <class T> static bool erase_at(std::vector<T>& v, int32_t& count, int index) {
  if (!in_range(v, index)) return false;
  v.erase(v.begin() + index);
  count = int32_t(v.size());
  return true;
}

// A reference to a deleted element becomes fallback; later references move down by one.
static int32_t renumbered(int32_t ref, int deleted, int32_t fallback) {
  return ref == deleted ? fallback : ref > deleted ? ref - 1 : ref;
}

// --- Reset and frame update ------------------------------------------------------------------

void reset_design(vessel_design& d) {
  const int32_t gear_anim = d.header.gear_anim;     // the one field reset leaves alone
  d.header = blank_header();
  d.header.gear_anim = gear_anim;
  d.data = vrkdll_data{};                            // empty arrays and the one crew element
  d.anim_playing.clear();
  sync_counts(d);
  preview_of(d).design_reset();
  report(d, change_whole);
}

void reset_animations(vessel_design& d) {
  for (anim_entry& a : d.data.anim_seqs) {
    a.seq.state = anim_rest;
    a.seq.position = 0.0;
  }
}

// One playback step: up to 1, one frame to turn, down to 0, one frame to turn, again.
static void step_animation(anim_seq& s, double dt) {
  if (s.state == anim_rest) s.state = anim_opening;
  else if (s.state == anim_open) s.state = anim_closing;
  const double step = dt * s.rate;
  if (s.state == anim_closing) {
    if (s.position > 0) s.position = std::max(s.position - step, 0.0);
    else s.state = anim_rest;
  } else {
    if (s.position >= 1) s.state = anim_open;
    else s.position = std::min(s.position + step, 1.0);
  }
}

void advance_animations(vessel_design& d, double dt) {
  d.anim_playing.resize(d.data.anim_seqs.size(), 0);
  for (size_t k = 0; k < d.data.anim_seqs.size(); ++k) {
    if (d.anim_playing[k] != 1) continue;
    anim_seq& s = d.data.anim_seqs[k].seq;
    step_animation(s, dt);
    preview_of(d).anim_moved(int(k), s.position);
  }
}

void sync_airlock(vessel_design& d) {
  if (d.data.docks.empty() || d.data.crew.empty()) return;
  crew_def& c = d.data.crew[0];
  c.airlock_pos = d.data.docks[0].pos;
  c.airlock_rot = d.data.docks[0].rot;
  c.airlock_size = make_vec(1, 1, 1);
}

void update_design_frame(vessel_design& d, double dt) {
  d.header.design_time += dt;
  sync_airlock(d);
  advance_animations(d, dt);
}

static void mesh_loaded(vessel_design& d, int index) {
  d.header.size = std::max(d.header.size, preview_of(d).mesh_added(d, index));
}

static void register_animation(vessel_design& d, int anim) {
  preview_of(d).anim_registered(d, anim);
}

static void register_component(vessel_design& d, int anim, int comp) {
  preview_of(d).comp_registered(d, anim, comp);
}

void after_load(vessel_design& d) {
  for (size_t m = 0; m < d.data.meshes.size(); ++m) mesh_loaded(d, int(m));
  for (size_t a = 0; a < d.data.anim_seqs.size(); ++a) {
    register_animation(d, int(a));
    for (size_t c = 0; c < d.data.anim_seqs[a].comps.size(); ++c) register_component(d, int(a), int(c));
  }
  d.anim_playing.assign(d.data.anim_seqs.size(), 0);
  if (d.data.crew.empty()) d.data.crew.push_back(crew_def{});
  sync_counts(d);
}

void relink_preview(vessel_design& d) {
  const aointeger playing = d.anim_playing;         // after_load would stop every animation
  preview_of(d).design_reset();
  after_load(d);
  if (playing.size() == d.anim_playing.size()) d.anim_playing = playing;
}

void replace_design(vessel_design& d, vessel_design&& loaded) {
  d = std::move(loaded);
  relink_preview(d);
  report(d, change_whole);
}

void replace_contents(vessel_design& d, const design_header& h, vrkdll_data&& data) {
  d.header = h;
  d.data = std::move(data);
  report(d, change_whole);
}

// The header field behind each switch, in design_flag order.
static constexpr int32_t design_header::*flag_fields[] = {
  &design_header::needs_pilot, &design_header::payload_manager, &design_header::transponder, &design_header::have_vc};

void set_design_flag(vessel_design& d, design_flag flag, bool on) { set_header_value(d, flag_fields[flag], on ? 1 : 0); }

bool design_flag_set(const vessel_design& d, design_flag flag) { return d.header.*flag_fields[flag] != 0; }

// --- Fuel tanks and thrusters -------------------------------------------------------------------

int add_fuel_tank(vessel_design& d, double max_mass) {
  const int i = append(d.data.fuel_tanks, d.header.fuel_tank_count, fuel_tank{max_mass});
  report(d, change_fuel_tanks, i);
  return i;
}

bool delete_fuel_tank(vessel_design& d, int index) {
  if (d.data.fuel_tanks.size() <= 1) return false;
  if (!erase_at(d.data.fuel_tanks, d.header.fuel_tank_count, index)) return false;
  for (thruster_def& t : d.data.thrusters) t.tank = renumbered(t.tank, index, 0);
  report(d, change_fuel_tanks);
  report(d, change_thrusters);
  return true;
}

int add_thruster(vessel_design& d, const vec3& pos, const vec3& dir, int tank,
                 const std::vector<int>& groups, double max_thrust, double isp) {
  thruster_def t{};
  t.pos = pos;
  t.dir = dir;
  t.max_thrust = max_thrust;
  t.isp = isp;
  t.p_ref = standard_p_ref;
  t.tank = tank;
  std::fill(std::begin(t.groups), std::end(t.groups), thruster_group_unused);
  int slot = 0;
  for (int id : groups) {
    if (slot == thruster_group_slots) break;
    if (id < 0 || id >= thruster_group_id_count) continue;   // not a group id
    t.groups[slot++] = id;
    d.header.thruster_group_count = std::max(d.header.thruster_group_count, id + 1);
  }
  const int i = append(d.data.thrusters, d.header.thruster_count, t);
  report(d, change_thrusters, i);
  return i;
}

int add_editor_thruster(vessel_design& d, double max_thrust, double isp) {
  return add_thruster(d, make_vec(0, 0, 0), make_vec(0, 0, 1), 0, {group_main}, max_thrust, isp);
}

bool delete_thruster(vessel_design& d, int index) {
  if (!erase_at(d.data.thrusters, d.header.thruster_count, index)) return false;
  std::erase_if(d.data.exhausts, [index](const exhaust_def& e) { return e.thruster == index; });
  for (exhaust_def& e : d.data.exhausts) e.thruster = renumbered(e.thruster, index, 0);
  d.header.exhaust_count = int32_t(d.data.exhausts.size());
  report(d, change_thrusters);
  report(d, change_exhausts);
  return true;
}

int set_thruster_tank(vessel_design& d, int thruster, int tank) {
  if (!in_range(d.data.thrusters, thruster)) return 0;
  if (!in_range(d.data.fuel_tanks, tank)) tank = 0;
  set_element_value(d, thruster, &thruster_def::tank, tank);
  return tank;
}

void assign_thruster_tank(vessel_design& d, int thruster, int tank) {
  if (in_range(d.data.thrusters, thruster) && in_range(d.data.fuel_tanks, tank))
    set_element_value(d, thruster, &thruster_def::tank, int32_t(tank));
}

namespace {
struct rcs_thruster { vec3 pos, dir; std::vector<int> groups; };
}

void add_default_rcs(vessel_design& d, double thrust, double isp) {
  static const rcs_thruster table[] = {
    {{-6, 0.7, -0.4}, {0, -1, 0}, {group_bankleft}},
    {{6, -0.7, -0.4}, {0, 1, 0}, {group_bankleft}},
    {{-6, -0.7, -0.4}, {0, 1, 0}, {group_bankright}},
    {{6, 0.7, -0.4}, {0, -1, 0}, {group_bankright}},
    {{0, 0, 15}, {0, 1, 0}, {group_pitchup, group_up}},
    {{0, 0, -15}, {0, -1, 0}, {group_pitchup, group_down}},
    {{0, 0, 15}, {0, -1, 0}, {group_pitchdown, group_down}},
    {{0, 0, -15}, {0, 1, 0}, {group_pitchdown, group_up}},
    {{0, 0, 15}, {1, 0, 0}, {group_yawright, group_right}},
    {{0, 0, -15}, {-1, 0, 0}, {group_yawright, group_left}},
    {{0, 0, 15}, {-1, 0, 0}, {group_yawleft, group_left}},
    {{0, 0, -15}, {1, 0, 0}, {group_yawleft, group_right}},
    {{0, 0, 0}, {0, 0, -1}, {group_back}},
    {{0, 0, 0}, {0, 0, 1}, {group_forward}},
  };
  const size_t n = std::size(table);
  for (size_t i = 0; i < n; ++i) {
    const double f = i + 2 >= n ? 2 * thrust : thrust;     // the last two push twice as hard
    add_thruster(d, table[i].pos, table[i].dir, 0, table[i].groups, f, isp);
  }
}

// --- Thruster groups ----------------------------------------------------------------------------

bool thruster_in_group(const vessel_design& d, int thruster, int id) {
  if (!in_range(d.data.thrusters, thruster)) return false;
  const int32_t* g = d.data.thrusters[thruster].groups;
  return std::find(g, g + thruster_group_slots, id) != g + thruster_group_slots;
}

void thruster_group_add(vessel_design& d, int thruster, int id) {
  if (id < 0 || id >= thruster_group_id_count || thruster_in_group(d, thruster, id)) return;
  if (!in_range(d.data.thrusters, thruster)) return;
  int32_t* g = d.data.thrusters[thruster].groups;
  int32_t* free_slot = std::find(g, g + thruster_group_slots, thruster_group_unused);
  if (free_slot == g + thruster_group_slots) return;
  *free_slot = id;
  report(d, change_thrusters, thruster);
}

void thruster_group_remove(vessel_design& d, int thruster, int id) {
  if (!in_range(d.data.thrusters, thruster) || id == thruster_group_unused) return;
  int32_t* g = d.data.thrusters[thruster].groups;
  if (std::find(g, g + thruster_group_slots, id) == g + thruster_group_slots) return;
  std::replace(g, g + thruster_group_slots, int32_t(id), thruster_group_unused);
  report(d, change_thrusters, thruster);
}

// --- Exhausts and meshes ---------------------------------------------------------------------------

int add_exhaust(vessel_design& d, int thruster, double length, double width) {
  exhaust_def e{};
  e.thruster = thruster;
  e.mode = exhaust_attached;
  e.length = length;
  e.width = width;
  const int i = append(d.data.exhausts, d.header.exhaust_count, e);
  report(d, change_exhausts, i);
  return i;
}

int add_exhaust(vessel_design& d, int thruster, double length, double width,
                const vec3& pos, const vec3& dir) {
  const int i = add_exhaust(d, thruster, length, width);
  exhaust_def& e = d.data.exhausts[i];
  e.mode = exhaust_free;
  e.pos = pos;
  e.dir = dir;
  return i;
}

bool delete_exhaust(vessel_design& d, int index) {
  if (!erase_at(d.data.exhausts, d.header.exhaust_count, index)) return false;
  report(d, change_exhausts);
  return true;
}

void set_exhaust_mode(vessel_design& d, int exhaust, int mode) {
  set_element_value(d, exhaust, &exhaust_def::mode, mode == exhaust_free ? int32_t(exhaust_free) : int32_t(exhaust_attached));
}

bool set_exhaust_thruster(vessel_design& d, int exhaust, int thruster) {
  if (!in_range(d.data.thrusters, thruster)) return false;
  return set_element_value(d, exhaust, &exhaust_def::thruster, int32_t(thruster));
}

void set_mesh_visibility(vessel_design& d, int mesh, int visibility) {
  if (!in_range(d.data.meshes, mesh) || d.data.meshes[mesh].visibility == visibility) return;
  d.data.meshes[mesh].visibility = visibility;
  report(d, change_meshes, mesh);
}

bool delete_mesh(vessel_design& d, int index) {
  if (!erase_at(d.data.meshes, d.header.mesh_count, index)) return false;
  for (anim_entry& a : d.data.anim_seqs) {
    std::erase_if(a.comps, [&](const anim_comp& c) { return c.mesh == index; });
    for (anim_comp& c : a.comps) c.mesh = renumbered(c.mesh, index, -1);
  }
  for (vc_view_entry& v : d.data.vc_views) {
    std::erase_if(v.mfds, [&](const vc_mfd_bind& b) { return b.mesh == index; });
    for (vc_mfd_bind& b : v.mfds) b.mesh = renumbered(b.mesh, index, -1);
    if (v.view.hud_mesh == index) v.view.hud_group = -1;
    v.view.hud_mesh = renumbered(v.view.hud_mesh, index, -1);
  }
  sync_counts(d);
  relink_preview(d);
  report(d, change_whole);
  return true;
}

int add_mesh(vessel_design& d, const std::string& name, int visibility) {
  mesh_entry m{};
  set_name(m.name, sizeof m.name, name);
  m.visibility = visibility;
  const int i = append(d.data.meshes, d.header.mesh_count, m);
  mesh_loaded(d, i);
  report(d, change_meshes, i);
  report(d, change_header);                         // the size may have risen
  return i;
}

// --- Animations ----------------------------------------------------------------------------------------

int add_animation(vessel_design& d, int key, double rate, double position) {
  anim_entry a{};
  a.seq.key = key;
  a.seq.state = anim_rest;
  a.seq.rate = rate;
  a.seq.position = position;
  a.seq.default_pos = position;
  const int i = append(d.data.anim_seqs, d.header.anim_seq_count, a);
  d.anim_playing.resize(d.data.anim_seqs.size(), 0);
  register_animation(d, i);
  report(d, change_anims, i);
  return i;
}

int add_group_list(vessel_design& d, int anim, const aointeger& groups) {
  if (!in_range(d.data.anim_seqs, anim) || groups.empty()) return -1;
  anim_entry& a = d.data.anim_seqs[anim];
  const int i = append(a.group_lists, a.seq.group_list_count, groups);
  report(d, change_anims, anim);
  return i;
}

anim_comp make_component(int mesh, int type, int group_list, const vec3& ref, const vec3& axis,
                         double angle, double state0, double state1) {
  anim_comp c{};
  c.mesh = mesh;
  c.type = type;
  c.group_list = group_list;
  c.ref = ref;
  c.axis = axis;
  c.angle = float(angle);
  c.state0 = state0;
  c.state1 = state1;
  return c;
}

int add_component(vessel_design& d, int anim, const anim_comp& c) {
  if (!in_range(d.data.anim_seqs, anim)) return -1;
  anim_entry& a = d.data.anim_seqs[anim];
  const int i = append(a.comps, a.seq.comp_count, c);
  register_component(d, anim, i);
  report(d, change_anims, anim);
  return i;
}

void update_component(vessel_design& d, int anim, int comp, const anim_comp& c) {
  if (!in_range(d.data.anim_seqs, anim) || !in_range(d.data.anim_seqs[anim].comps, comp)) return;
  d.data.anim_seqs[anim].comps[comp] = c;
  preview_of(d).comp_updated(d, anim, comp);
  report(d, change_anims, anim);
}

void set_component_range(vessel_design& d, int anim, int comp, double state0, double state1) {
  if (!in_range(d.data.anim_seqs, anim) || !in_range(d.data.anim_seqs[anim].comps, comp)) return;
  anim_comp c = d.data.anim_seqs[anim].comps[comp];
  c.state1 = std::clamp(state1, 0.0, 1.0);
  c.state0 = std::min(std::clamp(state0, 0.0, 1.0), c.state1);
  update_component(d, anim, comp, c);
}

static anim_seq* animation(vessel_design& d, int anim) {
  return in_range(d.data.anim_seqs, anim) ? &d.data.anim_seqs[anim].seq : nullptr;
}

// A stored field of an animation, reported when it changes.
template <class T> static void set_sequence_value(vessel_design& d, int anim, T anim_seq::*field, T value) {
  anim_seq* s = animation(d, anim);
  if (!s || std::memcmp(&(s->*field), &value, sizeof value) == 0) return;
  s->*field = value;
  report(d, change_anims, anim);
}

static void set_playing(vessel_design& d, int anim, int32_t flag) {
  if (!in_range(d.data.anim_seqs, anim)) return;
  d.anim_playing.resize(d.data.anim_seqs.size(), 0);
  d.anim_playing[anim] = flag;
}

void play_animation(vessel_design& d, int anim) { set_playing(d, anim, 1); }
void stop_animation(vessel_design& d, int anim) { set_playing(d, anim, 0); }

void set_animation_position(vessel_design& d, int anim, double position) {
  anim_seq* s = animation(d, anim);
  if (!s) return;
  s->position = std::clamp(position, 0.0, 1.0);
  preview_of(d).anim_moved(anim, s->position);
}

void set_default_position(vessel_design& d, int anim) {
  if (anim_seq* s = animation(d, anim)) set_sequence_value(d, anim, &anim_seq::default_pos, s->position);
}

void set_duration(vessel_design& d, int anim, double seconds) {
  // a zero or negative duration would store an infinite or negative rate
  set_sequence_value(d, anim, &anim_seq::rate, 1.0 / std::max(seconds, min_duration));
}

void set_gear_animation(vessel_design& d, int anim) {
  if (in_range(d.data.anim_seqs, anim)) set_header_value(d, &design_header::gear_anim, anim);
}

void set_aero_animation(vessel_design& d, int element, int anim) {
  if (in_range(d.data.anim_seqs, anim)) set_element_value(d, element, &aero_def::anim, int32_t(anim));
}

void set_animation_key(vessel_design& d, int anim, int key) {
  set_sequence_value(d, anim, &anim_seq::key, int32_t(key));
}

bool delete_animation(vessel_design& d, int anim) {
  if (!erase_at(d.data.anim_seqs, d.header.anim_seq_count, anim)) return false;
  if (in_range(d.anim_playing, anim)) d.anim_playing.erase(d.anim_playing.begin() + anim);
  d.header.gear_anim = renumbered(d.header.gear_anim, anim, -1);
  for (aero_def& a : d.data.aero_elements) a.anim = renumbered(a.anim, anim, -1);
  relink_preview(d);
  report(d, change_whole);
  return true;
}

// The group list that component comp of animation anim moves, or null.
static aointeger* component_groups(vessel_design& d, int anim, int comp) {
  if (!in_range(d.data.anim_seqs, anim) || !in_range(d.data.anim_seqs[anim].comps, comp)) return nullptr;
  anim_entry& a = d.data.anim_seqs[anim];
  const int list = a.comps[comp].group_list;
  return in_range(a.group_lists, list) ? &a.group_lists[list] : nullptr;
}

bool add_component_group(vessel_design& d, int anim, int comp, int group) {
  aointeger* g = component_groups(d, anim, comp);
  if (!g || group < 0 || std::find(g->begin(), g->end(), group) != g->end()) return false;
  g->push_back(group);
  preview_of(d).comp_updated(d, anim, comp);
  report(d, change_anims, anim);
  return true;
}

bool remove_component_group(vessel_design& d, int anim, int comp, int index) {
  aointeger* g = component_groups(d, anim, comp);
  // a stored group list is never empty: its count comes first and n >= 1
  if (!g || !in_range(*g, index) || g->size() == 1) return false;
  g->erase(g->begin() + index);
  preview_of(d).comp_updated(d, anim, comp);
  report(d, change_anims, anim);
  return true;
}

// --- VC views -------------------------------------------------------------------------------------------

int add_vc_view(vessel_design& d, const vc_view& v) {
  vc_view_entry e{v, {}};
  e.view.mfd_count = 0;
  const int i = append(d.data.vc_views, d.header.vc_view_count, e);
  report(d, change_vc_views, i);
  return i;
}

int add_mfd_binding(vessel_design& d, int view, int mfd, int mesh, int group) {
  if (!in_range(d.data.vc_views, view)) return -1;
  vc_view_entry& v = d.data.vc_views[view];
  const int i = append(v.mfds, v.view.mfd_count, vc_mfd_bind{mesh, group, mfd});
  report(d, change_vc_views, view);
  return i;
}

void set_vc_camera(vessel_design& d, const vec3& camera) {
  for (int axis = 0; axis < 3; ++axis) set_header_axis(d, &design_header::vc_camera, axis, (&camera.x)[axis]);
}

// --- Touchdown sets, beacons, docks, aero elements ---------------------------------------------------------

int add_touchdown_set(vessel_design& d, const vec3& pt1, const vec3& pt2, const vec3& pt3) {
  if (d.data.touchdown_sets.size() >= 2) return -1;
  const int i = append(d.data.touchdown_sets, d.header.touchdown_set_count, touchdown_set{pt1, pt2, pt3});
  report(d, change_touchdown, i);
  return i;
}

int add_touchdown_set(vessel_design& d) {
  return add_touchdown_set(d, make_vec(0, 0, 5), make_vec(-5, 0, -5), make_vec(5, 0, -5));
}

bool delete_touchdown_set(vessel_design& d, int index) {
  if (!erase_at(d.data.touchdown_sets, d.header.touchdown_set_count, index)) return false;
  report(d, change_touchdown);
  return true;
}

beacon_def editor_beacon() {
  beacon_def b{};
  b.shape = beacon_diffuse;
  b.col = make_vec(1, 0, 0);
  b.size = 0.3;
  b.falloff = 0.4;
  b.duration = 0.1;
  b.tofs = 0.2;
  b.active = 1;
  return b;
}

int add_beacon(vessel_design& d, const beacon_def& b) {
  beacon_def e = b;
  e.pos_ref = e.col_ref = 0;                        // nothing here points into memory
  const int i = append(d.data.beacons, d.header.beacon_count, e);
  report(d, change_beacons, i);
  return i;
}

bool delete_beacon(vessel_design& d, int index) {
  if (!erase_at(d.data.beacons, d.header.beacon_count, index)) return false;
  report(d, change_beacons);
  return true;
}

void set_beacon_shape(vessel_design& d, int beacon, uint32_t shape) {
  if (!in_range(d.data.beacons, beacon) || shape > beacon_star || d.data.beacons[beacon].shape == shape) return;
  d.data.beacons[beacon].shape = shape;
  report(d, change_beacons, beacon);
}

void set_beacon_active(vessel_design& d, int beacon, bool on) {
  if (!in_range(d.data.beacons, beacon) || (d.data.beacons[beacon].active != 0) == on) return;
  d.data.beacons[beacon].active = on ? 1 : 0;
  report(d, change_beacons, beacon);
}

int add_dock(vessel_design& d, const vec3& pos, const vec3& dir, const vec3& rot) {
  const int i = append(d.data.docks, d.header.dock_count, dock_def{pos, dir, rot});
  report(d, change_docks, i);
  return i;
}

int add_dock(vessel_design& d) {
  return add_dock(d, make_vec(0, 0, 0), make_vec(1, 0, 0), make_vec(0, 1, 0));
}

bool delete_dock(vessel_design& d, int index) {
  if (!erase_at(d.data.docks, d.header.dock_count, index)) return false;
  report(d, change_docks);
  return true;
}

int add_aero_element(vessel_design& d, int type, int kind) {
  aero_def a{};
  a.type = type;
  a.anim = -1;
  a.kind = kind;
  const int i = append(d.data.aero_elements, d.header.aero_element_count, a);
  report(d, change_aero, i);
  return i;
}

bool delete_aero_element(vessel_design& d, int index) {
  if (!erase_at(d.data.aero_elements, d.header.aero_element_count, index)) return false;
  report(d, change_aero);
  return true;
}

void set_aero_type(vessel_design& d, int element, int type) {
  if (type >= aero_lift && type <= aero_variable_drag) set_element_value(d, element, &aero_def::type, int32_t(type));
}

void set_aero_kind(vessel_design& d, int element, int kind) {
  set_element_value(d, element, &aero_def::kind, int32_t(kind));
}

// --- Points ------------------------------------------------------------------------------------------------

// Vectors per element, by point kind.
static int marker_groups_per_kind(int kind) {
  static constexpr int per[] = {1, 2, 2, 3, 3, 1};
  return kind >= 0 && kind < int(std::size(per)) ? per[kind] : 1;
}

// Each element kind numbers the vectors of its elements in turn (the offsets
// below, in point order). The address of point `point` of kind in d, or null when it does not exist.
static stored_vec3* point_address(vessel_design& d, int kind, int point) {
  auto at = [point](auto& v, std::initializer_list<size_t> offsets) -> stored_vec3* {
    const int per = int(offsets.size());
    if (point < 0 || !in_range(v, point / per)) return nullptr;
    return reinterpret_cast<stored_vec3*>(reinterpret_cast<uint8_t*>(&v[point / per]) + offsets.begin()[point % per]);
  };
  vrkdll_data& a = d.data;
  switch (kind) {
    case point_beacons:   return at(a.beacons, {offsetof(beacon_def, pos)});
    case point_thrusters: return at(a.thrusters, {offsetof(thruster_def, pos), offsetof(thruster_def, dir)});
    case point_exhausts:  return at(a.exhausts, {offsetof(exhaust_def, pos), offsetof(exhaust_def, pos)});
    case point_docks:     return at(a.docks, {offsetof(dock_def, pos), offsetof(dock_def, dir), offsetof(dock_def, rot)});
    case point_touchdown: return at(a.touchdown_sets, {offsetof(touchdown_set, pt1), offsetof(touchdown_set, pt2), offsetof(touchdown_set, pt3)});
    case point_aero:      return at(a.aero_elements, {offsetof(aero_def, pos)});
    default: return nullptr;
  }
}

bool set_element_point(vessel_design& d, int kind, int point, double x, double y, double z) {
  stored_vec3* p = point_address(d, kind, point);
  if (!p) return false;
  const stored_vec3 v(x, y, z);
  if (std::memcmp(p, &v, sizeof v) != 0) {
    *p = v;
    report(d, part_of_kind(kind), point / marker_groups_per_kind(kind));
  }
  return true;
}

bool element_point(const vessel_design& d, int kind, int point, vec3& out) {
  const stored_vec3* p = point_address(const_cast<vessel_design&>(d), kind, point);
  if (p) out = *p;
  return p != nullptr;
}

// --- Copy and mirror -----------------------------------------------------------------------------------------

namespace {

vec3 mirrored(const vec3& v) { return make_vec(-v.x, v.y, v.z); }

// Groups that turn or push sideways act the other way in the mirror image.
constexpr int32_t mirror_pairs[][2] = {
  {group_yawleft, group_yawright}, {group_bankleft, group_bankright}, {group_left, group_right}};

int duplicate_thruster(vessel_design& d, int index, bool mirror) {
  thruster_def t = d.data.thrusters[size_t(index)];
  if (mirror) {
    t.pos = mirrored(t.pos);
    t.dir = mirrored(t.dir);
    for (int32_t& g : t.groups) g = mirrored_group(g);
  }
  for (int32_t g : t.groups)
    if (g >= 0 && g < thruster_group_id_count)
      d.header.thruster_group_count = std::max(d.header.thruster_group_count, g + 1);
  const int k = append(d.data.thrusters, d.header.thruster_count, t);
  report(d, change_thrusters, k);
  const size_t n = d.data.exhausts.size();           // the copies go after the originals
  for (size_t e = 0; e < n; ++e) {
    exhaust_def x = d.data.exhausts[e];
    if (x.thruster != index) continue;
    x.thruster = k;
    if (mirror) {
      x.pos = mirrored(x.pos);
      x.dir = mirrored(x.dir);
    }
    report(d, change_exhausts, append(d.data.exhausts, d.header.exhaust_count, x));
  }
  return k;
}

int duplicate_beacon(vessel_design& d, int index, bool mirror) {
  beacon_def b = d.data.beacons[size_t(index)];
  if (mirror) b.pos = mirrored(b.pos);
  return add_beacon(d, b);
}

int duplicate_dock(vessel_design& d, int index, bool mirror) {
  const dock_def& k = d.data.docks[size_t(index)];
  if (!mirror) return add_dock(d, k.pos, k.dir, k.rot);
  return add_dock(d, mirrored(k.pos), mirrored(k.dir), mirrored(k.rot));
}

int duplicate_touchdown_set(vessel_design& d, int index, bool mirror) {
  const touchdown_set t = d.data.touchdown_sets[size_t(index)];
  if (!mirror) return add_touchdown_set(d, t.pt1, t.pt2, t.pt3);
  return add_touchdown_set(d, mirrored(t.pt1), mirrored(t.pt3), mirrored(t.pt2));  // rear left <-> rear right
}

int duplicate_aero_element(vessel_design& d, int index, bool mirror) {
  aero_def a = d.data.aero_elements[size_t(index)];
  if (mirror) a.pos = mirrored(a.pos);
  const int i = append(d.data.aero_elements, d.header.aero_element_count, a);
  report(d, change_aero, i);
  return i;
}

}  // namespace

int mirrored_group(int id) {
  for (const auto& p : mirror_pairs) {
    if (id == p[0]) return p[1];
    if (id == p[1]) return p[0];
  }
  return id;
}

int duplicate_element(vessel_design& d, int kind, int index, bool mirror) {
  const vrkdll_data& a = d.data;
  int k = -1;
  switch (kind) {
    case point_thrusters: if (in_range(a.thrusters, index)) k = duplicate_thruster(d, index, mirror); break;
    case point_beacons:   if (in_range(a.beacons, index)) k = duplicate_beacon(d, index, mirror); break;
    case point_docks:     if (in_range(a.docks, index)) k = duplicate_dock(d, index, mirror); break;
    case point_touchdown: if (in_range(a.touchdown_sets, index)) k = duplicate_touchdown_set(d, index, mirror); break;
    case point_aero:      if (in_range(a.aero_elements, index)) k = duplicate_aero_element(d, index, mirror); break;
    default: break;
  }
  return k;
}

// --- Setters ------------------------------------------------------------------------------------------------

namespace {

// The array of an element type, and its part of the change report.
template <class E> struct element_array;
#define ELEMENT_ARRAY(element, member, change)                           \
  template <> struct element_array<element> {                           \
    static std::vector<element>& of(vrkdll_data& a) { return a.member; } \
    static constexpr int part = change;                                  \
  };
ELEMENT_ARRAY(fuel_tank, fuel_tanks, change_fuel_tanks)
ELEMENT_ARRAY(thruster_def, thrusters, change_thrusters)
ELEMENT_ARRAY(exhaust_def, exhausts, change_exhausts)
ELEMENT_ARRAY(beacon_def, beacons, change_beacons)
ELEMENT_ARRAY(crew_def, crew, change_crew)
ELEMENT_ARRAY(aero_def, aero_elements, change_aero)
ELEMENT_ARRAY(dock_def, docks, change_docks)
ELEMENT_ARRAY(touchdown_set, touchdown_sets, change_touchdown)
#undef ELEMENT_ARRAY

// Stores value into field when its bytes differ; whether it did.
template <class T> bool store(T& field, const T& value) {
  if (std::memcmp(&field, &value, sizeof value) == 0) return false;
  std::memcpy(&field, &value, sizeof value);
  return true;
}

template <class T> bool set_header(vessel_design& d, T design_header::*field, const T& value) {
  if (!store(d.header.*field, value)) return false;
  report(d, change_header);
  return true;
}

template <class E, class T> bool set_element(vessel_design& d, int index, T E::*field, const T& value) {
  std::vector<E>& v = element_array<E>::of(d.data);
  if (!in_range(v, index) || !store(v[size_t(index)].*field, value)) return false;
  report(d, element_array<E>::part, index);
  return true;
}

stored_vec3 with_axis(stored_vec3 v, int axis, double value) {
  (axis == 0 ? v.x : axis == 1 ? v.y : v.z) = value;
  return v;
}

}  // namespace

bool set_header_value(vessel_design& d, double design_header::*field, double value) { return set_header(d, field, value); }
bool set_header_value(vessel_design& d, int32_t design_header::*field, int32_t value) { return set_header(d, field, value); }

bool set_header_axis(vessel_design& d, stored_vec3 design_header::*field, int axis, double value) {
  return axis >= 0 && axis < 3 && set_header(d, field, with_axis(d.header.*field, axis, value));
}

bool set_header_name(vessel_design& d, char (design_header::*field)[255], const std::string& value) {
  char cut[sizeof d.header.vessel_name];
  set_name(cut, sizeof cut, value);
  if (std::memcmp(d.header.*field, cut, sizeof cut) == 0) return false;
  std::memcpy(d.header.*field, cut, sizeof cut);
  report(d, change_header);
  return true;
}

template <class E> bool set_element_value(vessel_design& d, int index, double E::*field, double value) {
  return set_element(d, index, field, value);
}

template <class E> bool set_element_value(vessel_design& d, int index, int32_t E::*field, int32_t value) {
  return set_element(d, index, field, value);
}

template <class E> bool set_element_axis(vessel_design& d, int index, stored_vec3 E::*field, int axis, double value) {
  const std::vector<E>& v = element_array<E>::of(d.data);
  if (!in_range(v, index) || axis < 0 || axis > 2) return false;
  return set_element(d, index, field, with_axis(v[size_t(index)].*field, axis, value));
}

template bool set_element_value(vessel_design&, int, double fuel_tank::*, double);
template bool set_element_value(vessel_design&, int, double thruster_def::*, double);
template bool set_element_value(vessel_design&, int, int32_t thruster_def::*, int32_t);
template bool set_element_value(vessel_design&, int, double exhaust_def::*, double);
template bool set_element_value(vessel_design&, int, int32_t exhaust_def::*, int32_t);
template bool set_element_value(vessel_design&, int, double beacon_def::*, double);
template bool set_element_value(vessel_design&, int, double aero_def::*, double);
template bool set_element_value(vessel_design&, int, int32_t aero_def::*, int32_t);
template bool set_element_value(vessel_design&, int, int32_t crew_def::*, int32_t);
template bool set_element_axis(vessel_design&, int, stored_vec3 exhaust_def::*, int, double);
template bool set_element_axis(vessel_design&, int, stored_vec3 beacon_def::*, int, double);
template bool set_element_axis(vessel_design&, int, stored_vec3 dock_def::*, int, double);
template bool set_element_axis(vessel_design&, int, stored_vec3 touchdown_set::*, int, double);

bool set_vc_view_axis(vessel_design& d, int view, stored_vec3 vc_view::*field, int axis, double value) {
  if (!in_range(d.data.vc_views, view) || axis < 0 || axis > 2) return false;
  vc_view& v = d.data.vc_views[size_t(view)].view;
  if (!store(v.*field, with_axis(v.*field, axis, value))) return false;
  report(d, change_vc_views, view);
  return true;
}

int components_on_mesh(const vessel_design& d, int mesh) {
  int n = 0;
  for (const anim_entry& a : d.data.anim_seqs)
    for (const anim_comp& c : a.comps) n += c.mesh == mesh;
  return n;
}
