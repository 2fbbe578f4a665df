// sc3import: the Spacecraft3 reader.
//
// Sections: line reading and tokens; import state; CONFIG; VC; AERODYNAMICS;
// exhausts and docks; animations; section dispatch and commit; the import.
#include "design/sc3import.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include "base/strval.h"
#include "design/kvgen.h"

namespace {

constexpr size_t sc3_line_limit = 255;     // characters of a line and of a token
constexpr size_t sc3_value_limit = 50;     // values after the key

// --- Line reading and tokens --------------------------------------------------------------

bool starts_with(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// Token 0 is the key, the others are values. Blanks stay inside tokens.
struct sc3_line {
  astr tok;

  std::string text(size_t i) const { return i < tok.size() ? tok[i] : std::string(); }
  double num(size_t i) const { return text_to_decimal(text(i)); }
  int integer(size_t i) const { return int(text_to_int(text(i))); }
  vec3 vec(size_t i) const { return make_vec(num(i), num(i + 1), num(i + 2)); }
};

sc3_line tokenize(const std::string& line) {
  sc3_line l;
  std::string cur;
  auto end_token = [&] {
    if (cur.empty()) return;
    if (l.tok.size() <= sc3_value_limit) l.tok.push_back(cur);
    cur.clear();
  };
  for (char c : line) {
    if (c == ';') break;
    if (c == '=' || c == ',' || c == '(' || c == ')') end_token();
    else if (cur.size() < sc3_line_limit) cur += c;
  }
  end_token();
  return l;
}

astr split_lines(const std::string& text) {
  astr lines;
  std::string cur;
  for (char c : text) {
    if (c == '\n') { lines.push_back(cur.substr(0, sc3_line_limit)); cur.clear(); }
    else if (c != '\r') cur += c;
  }
  if (!cur.empty()) lines.push_back(cur.substr(0, sc3_line_limit));
  return lines;
}

// --- Import state ---------------------------------------------------------------------------

enum aero_slot { lift_v, lift_h, aileron_l, aileron_r, elevator, rudder, speedbrake, elevator_trim, aero_slot_count };

// Values of the current section; back to these defaults at every section header.
struct section_values {
  std::string mesh_name;                            // CONFIG, VC
  int visible = 0;
  double fuel_mass = 0, isp = 0, main_thrust = 0, retro_thrust = 0, hover_thrust = 0, attitude_thrust = 0;
  int mfd_left = -1, mfd_right = -1, hud = -1;      // VC
  double hud_size = 0;
  vec3 hud_center = {};
  vec3 off = {}, dir = {};                          // exhausts
  double length = 0, width = 0;
  std::string key;                                  // ANIM_SEQ_
  double duration = 0, init_pos = 0;
  int seq = 0;                                      // ANIM_COMP_
  aointeger groups;
  double state0 = 0, state1 = 1;
  vec3 rot_pnt = {}, rot_axis = {}, shift = {}, scale = {}, ref = {};
  double angle = 0;
  std::string type = "ROTATION";
};

struct sc3_import {
  explicit sc3_import(vessel_design& target) : d(target) {}
  vessel_design& d;
  std::string section;                              // current section name
  section_values v;
  int main_thruster = -1, retro_thruster = -1, hover_thruster = -1;
  int dock = -1;                                    // dock of the current DOCK_ section
  int main_mesh = -1;
  std::string main_mesh_name;                       // cleaned
  int aero[aero_slot_count] = {-1, -1, -1, -1, -1, -1, -1, -1};
  bool launch_seen = false, land_seen = false;
  std::map<int, int> anim_of_section;               // ANIM_SEQ_ number -> animation index
  astr notes;
};

using key_handler = void (*)(sc3_import&, const sc3_line&);
struct key_rule { const char* key; key_handler apply; };

std::string clean_mesh_name(std::string s) {
  std::replace(s.begin(), s.end(), '\'', ' ');
  std::replace(s.begin(), s.end(), '"', ' ');
  return std::string(trim(s));
}

touchdown_set& touchdown(sc3_import& s, int set) { return s.d.data.touchdown_sets[set]; }

// --- CONFIG ---------------------------------------------------------------------------------

const key_rule config_keys[] = {
  {"MESHNAME", [](sc3_import& s, const sc3_line& l) { s.v.mesh_name = l.text(1); }},
  {"SIZE", [](sc3_import& s, const sc3_line& l) { s.d.header.size = l.num(1); }},
  {"VISIBLE", [](sc3_import& s, const sc3_line& l) { s.v.visible = l.integer(1); }},
  {"CAMERA", [](sc3_import& s, const sc3_line& l) { s.d.header.vc_camera = l.vec(1); }},
  {"EMPTY_MASS", [](sc3_import& s, const sc3_line& l) { s.d.header.empty_mass = l.num(1); }},
  {"FUEL_MASS", [](sc3_import& s, const sc3_line& l) { s.v.fuel_mass = l.num(1); }},
  {"MAIN_THRUST", [](sc3_import& s, const sc3_line& l) { s.v.main_thrust = l.num(1); }},
  {"RETRO_THRUST", [](sc3_import& s, const sc3_line& l) { s.v.retro_thrust = l.num(1); }},
  {"HOVER_THRUST", [](sc3_import& s, const sc3_line& l) { s.v.hover_thrust = l.num(1); }},
  {"ATTITUDE_THRUST", [](sc3_import& s, const sc3_line& l) { s.v.attitude_thrust = l.num(1); }},
  {"ISP", [](sc3_import& s, const sc3_line& l) { s.v.isp = l.num(1); }},
  {"PMI", [](sc3_import& s, const sc3_line& l) { s.d.header.pmi = l.vec(1); }},
  {"CW_Z_POS", [](sc3_import& s, const sc3_line& l) { s.d.header.cw_z_pos = l.num(1); }},
  {"CW_Z_NEG", [](sc3_import& s, const sc3_line& l) { s.d.header.cw_z_neg = l.num(1); }},
  {"CW_X", [](sc3_import& s, const sc3_line& l) { s.d.header.cw_x = l.num(1); }},
  {"CW_Y", [](sc3_import& s, const sc3_line& l) { s.d.header.cw_y = l.num(1); }},
  {"CROSS_SECTION", [](sc3_import& s, const sc3_line& l) { s.d.header.cross_sections = l.vec(1); }},
  {"PITCH_MOMENT_SCALE", [](sc3_import& s, const sc3_line& l) { s.d.header.pitch_moment_scale = l.num(1); }},
  {"BANK_MOMENT_SCALE", [](sc3_import& s, const sc3_line& l) { s.d.header.bank_moment_scale = l.num(1); }},
  {"ROT_DRAG", [](sc3_import& s, const sc3_line& l) { s.d.header.rot_drag = l.vec(1); }},
  {"WINGEFFECTIVENESS", [](sc3_import& s, const sc3_line& l) { s.d.header.wing_effectiveness = l.num(1); }},
  {"LAUNCH_PT1", [](sc3_import& s, const sc3_line& l) { touchdown(s, 0).pt1 = l.vec(1); s.launch_seen = true; }},
  {"LAUNCH_PT2", [](sc3_import& s, const sc3_line& l) { touchdown(s, 0).pt2 = l.vec(1); s.launch_seen = true; }},
  {"LAUNCH_PT3", [](sc3_import& s, const sc3_line& l) { touchdown(s, 0).pt3 = l.vec(1); s.launch_seen = true; }},
  {"LAND_PT1", [](sc3_import& s, const sc3_line& l) { touchdown(s, 1).pt1 = l.vec(1); s.land_seen = true; }},
  {"LAND_PT2", [](sc3_import& s, const sc3_line& l) { touchdown(s, 1).pt2 = l.vec(1); s.land_seen = true; }},
  {"LAND_PT3", [](sc3_import& s, const sc3_line& l) { touchdown(s, 1).pt3 = l.vec(1); s.land_seen = true; }},
};

void commit_config(sc3_import& s) {
  s.main_mesh_name = clean_mesh_name(s.v.mesh_name);
  s.main_mesh = add_mesh(s.d, s.main_mesh_name, s.v.visible * 2 + visibility_external);
  if (s.v.fuel_mass == 0 || s.v.isp == 0) return;
  add_fuel_tank(s.d, s.v.fuel_mass);
  const vec3 origin = make_vec(0, 0, 0);
  auto engine = [&](double thrust, const vec3& dir, int group) {
    return thrust != 0 ? add_thruster(s.d, origin, dir, 0, {group}, thrust, s.v.isp) : -1;
  };
  s.main_thruster = engine(s.v.main_thrust, make_vec(0, 0, 1), group_main);
  s.retro_thruster = engine(s.v.retro_thrust, make_vec(0, 0, -1), group_retro);
  s.hover_thruster = engine(s.v.hover_thrust, make_vec(0, 1, 0), group_hover);
  if (s.v.attitude_thrust != 0) add_default_rcs(s.d, s.v.attitude_thrust, s.v.isp);
}

// --- VC -------------------------------------------------------------------------------------------

const key_rule vc_keys[] = {
  {"MESHNAME", [](sc3_import& s, const sc3_line& l) { s.v.mesh_name = l.text(1); }},
  {"MFD_LEFT", [](sc3_import& s, const sc3_line& l) { s.v.mfd_left = l.integer(1); }},
  {"MFD_RIGHT", [](sc3_import& s, const sc3_line& l) { s.v.mfd_right = l.integer(1); }},
  {"HUD", [](sc3_import& s, const sc3_line& l) { s.v.hud = l.integer(1); }},
  {"HUD_SIZE", [](sc3_import& s, const sc3_line& l) { s.v.hud_size = l.num(1); }},
  {"HUD_CENTER", [](sc3_import& s, const sc3_line& l) { s.v.hud_center = l.vec(1); }},
};

void commit_vc(sc3_import& s) {
  s.d.header.have_vc = 1;
  // a VC without a mesh of its own shows the main mesh
  const std::string name = clean_mesh_name(s.v.mesh_name);
  const int mesh = name.empty() || name == s.main_mesh_name ? s.main_mesh : add_mesh(s.d, name, visibility_vc);
  vc_view view{};
  view.cam_pos = s.d.header.vc_camera;
  view.cam_dir = make_vec(0, 0, 1);
  view.shift_fwd = make_vec(0, 0, 0.1);
  view.shift_left = make_vec(-0.2, 0, 0);
  view.shift_right = make_vec(0.2, 0, 0);
  std::fill(std::begin(view.neighbours), std::end(view.neighbours), -1);
  view.hud_mesh = mesh;
  view.hud_group = s.v.hud;
  view.hud_center = s.v.hud_center;
  view.hud_size = s.v.hud_size;
  const int k = add_vc_view(s.d, view);
  if (s.v.mfd_left != -1) add_mfd_binding(s.d, k, mfd_left, mesh, s.v.mfd_left);
  if (s.v.mfd_right != -1) add_mfd_binding(s.d, k, mfd_right, mesh, s.v.mfd_right);
}

// --- AERODYNAMICS ----------------------------------------------------------------------------------

enum aero_field { field_pos, field_chord, field_area, field_aspect, field_anim };
struct aero_rule {
  const char* key;
  aero_slot slot;
  aero_field field;
  bool both_ailerons;                               // left as given, right a copy (pos mirrored in x)
};

const aero_rule aero_rules[] = {
  {"VAIRFOIL_ATTACK", lift_v, field_pos, false}, {"VAIRFOIL_CHORD", lift_v, field_chord, false},
  {"VAIRFOIL_AREA", lift_v, field_area, false}, {"VAIRFOIL_ASPECT", lift_v, field_aspect, false},
  {"HAIRFOIL_ATTACK", lift_h, field_pos, false}, {"HAIRFOIL_CHORD", lift_h, field_chord, false},
  {"HAIRFOIL_AREA", lift_h, field_area, false}, {"HAIRFOIL_ASPECT", lift_h, field_aspect, false},
  {"AILERON_AREA", aileron_l, field_area, true}, {"AILERON_LIFT", aileron_l, field_chord, true},
  {"AILERON_ATTACK", aileron_l, field_pos, true},
  {"AILERON_LEFT_ANIM", aileron_l, field_anim, false}, {"AILERON_RIGHT_ANIM", aileron_r, field_anim, false},
  {"ELEVATOR_AREA", elevator, field_area, false}, {"ELEVATOR_LIFT", elevator, field_chord, false},
  {"ELEVATOR_ATTACK", elevator, field_pos, false}, {"ELEVATOR_ANIM", elevator, field_anim, false},
  {"RUDDER_AREA", rudder, field_area, false}, {"RUDDER_LIFT", rudder, field_chord, false},
  {"RUDDER_ATTACK", rudder, field_pos, false}, {"RUDDER_ANIM", rudder, field_anim, false},
  {"SPEEDBRAKE_DRAG", speedbrake, field_chord, false}, {"SPEEDBRAKE_ATTACK", speedbrake, field_pos, false},
  {"SPEEDBRAKE_ANIM", speedbrake, field_anim, false},
  {"ELEVATOR_TRIM_AREA", elevator_trim, field_area, false}, {"ELEVATOR_TRIM_LIFT", elevator_trim, field_chord, false},
  {"ELEVATOR_TRIM_ATTACK", elevator_trim, field_pos, false}, {"ELEVATOR_TRIM_ANIM", elevator_trim, field_anim, false},
};

// type and kind of each slot's element
const int32_t slot_type_kind[aero_slot_count][2] = {
  {aero_lift, lift_vertical}, {aero_lift, lift_horizontal}, {aero_control, control_aileron},
  {aero_control, control_aileron}, {aero_control, control_elevator}, {aero_control, control_rudder},
  {aero_variable_drag, 0}, {aero_control, control_elevator_trim},
};

aero_def& aero_element(sc3_import& s, aero_slot slot) {
  if (s.aero[slot] < 0) s.aero[slot] = add_aero_element(s.d, slot_type_kind[slot][0], slot_type_kind[slot][1]);
  return s.d.data.aero_elements[s.aero[slot]];
}

void set_aero_field(aero_def& e, aero_field f, const sc3_line& l, bool mirror) {
  switch (f) {
    case field_pos: e.pos = l.vec(1); if (mirror) e.pos.x = -e.pos.x; break;
    case field_chord: e.chord = l.num(1); break;
    case field_area: e.area = l.num(1); break;
    case field_aspect: e.aspect = l.num(1); break;
    case field_anim: e.anim = l.integer(1); break;
  }
}

bool apply_aero_key(sc3_import& s, const std::string& key, const sc3_line& l) {
  for (const aero_rule& r : aero_rules) {
    if (key != r.key) continue;
    set_aero_field(aero_element(s, r.slot), r.field, l, false);
    if (r.both_ailerons) set_aero_field(aero_element(s, aileron_r), r.field, l, true);
    return true;
  }
  return false;
}

// --- Exhausts and docks ------------------------------------------------------------------------

const key_rule exhaust_keys[] = {
  {"OFF", [](sc3_import& s, const sc3_line& l) { s.v.off = l.vec(1); }},
  {"DIR", [](sc3_import& s, const sc3_line& l) { s.v.dir = l.vec(1); }},
  {"LENGTH", [](sc3_import& s, const sc3_line& l) { s.v.length = l.num(1); }},
  {"WIDTH", [](sc3_import& s, const sc3_line& l) { s.v.width = l.num(1); }},
};

void commit_exhaust(sc3_import& s, int thruster) {
  if (thruster >= 0) add_exhaust(s.d, thruster, s.v.length, s.v.width, s.v.off, s.v.dir);
}

dock_def& current_dock(sc3_import& s) { return s.d.data.docks[s.dock]; }

const key_rule dock_keys[] = {
  {"POS", [](sc3_import& s, const sc3_line& l) { current_dock(s).pos = l.vec(1); }},
  {"DIR", [](sc3_import& s, const sc3_line& l) { current_dock(s).dir = l.vec(1); }},
  {"ROT", [](sc3_import& s, const sc3_line& l) { current_dock(s).rot = l.vec(1); }},
};

// --- Animations -----------------------------------------------------------------------------------

const key_rule anim_seq_keys[] = {
  {"KEY", [](sc3_import& s, const sc3_line& l) { s.v.key = trim(l.text(1)); }},
  {"DURATION", [](sc3_import& s, const sc3_line& l) { s.v.duration = l.num(1); }},
  {"INIT_POS", [](sc3_import& s, const sc3_line& l) { s.v.init_pos = l.num(1); }},
  {"REPEAT", [](sc3_import&, const sc3_line&) {}},
  {"PAUSE", [](sc3_import&, const sc3_line&) {}},
};

int scan_code(const std::string& key_name) {
  static const std::pair<const char*, int> codes[] = {{"K", 37}, {"G", 34}, {"J", 36}, {"1", 2}, {"2", 3}, {"3", 4}};
  for (const auto& [name, code] : codes)
    if (key_name == name) return code;
  return 0;
}

void commit_anim_seq(sc3_import& s) {
  const int number = int(text_to_int(s.section.substr(std::strlen("ANIM_SEQ_"))));
  const int k = add_animation(s.d, scan_code(s.v.key), 1.0 / std::max(s.v.duration, min_duration), s.v.init_pos);
  if (s.anim_of_section.count(number))
    s.notes.push_back("[" + s.section + "] appears again; later components use animation " + std::to_string(k));
  else if (k != number)
    s.notes.push_back("[" + s.section + "] became animation " + std::to_string(k));
  s.anim_of_section[number] = k;
}

const key_rule anim_comp_keys[] = {
  {"SEQ", [](sc3_import& s, const sc3_line& l) { s.v.seq = l.integer(1); }},
  {"GROUPS", [](sc3_import& s, const sc3_line& l) {
     for (size_t i = 1; i < l.tok.size(); ++i)
       if (!trim(l.tok[i]).empty()) s.v.groups.push_back(l.integer(i));
   }},
  {"RANGE", [](sc3_import& s, const sc3_line& l) { s.v.state0 = l.num(1); s.v.state1 = l.num(2); }},
  {"TYPE", [](sc3_import& s, const sc3_line& l) { s.v.type = trim(l.text(1)); }},
  {"ROT_PNT", [](sc3_import& s, const sc3_line& l) { s.v.rot_pnt = l.vec(1); }},
  {"ROT_AXIS", [](sc3_import& s, const sc3_line& l) { s.v.rot_axis = l.vec(1); }},
  {"ANGLE", [](sc3_import& s, const sc3_line& l) { s.v.angle = l.num(1); }},
  {"SHIFT", [](sc3_import& s, const sc3_line& l) { s.v.shift = l.vec(1); }},
  {"SCALE", [](sc3_import& s, const sc3_line& l) { s.v.scale = l.vec(1); }},
  {"REF", [](sc3_import& s, const sc3_line& l) { s.v.ref = l.vec(1); }},
};

void commit_anim_comp(sc3_import& s) {
  const section_values& v = s.v;
  anim_comp c;
  if (v.type == "ROTATION") c = make_component(0, comp_rotation, 0, v.rot_pnt, v.rot_axis, v.angle * pi / 180, v.state0, v.state1);
  else if (v.type == "TRANSLATE") c = make_component(0, comp_translate, 0, make_vec(0, 0, 0), v.shift, 0, v.state0, v.state1);
  else if (v.type == "SCALE") c = make_component(0, comp_scale, 0, v.ref, v.scale, 0, v.state0, v.state1);
  else return;
  const auto found = s.anim_of_section.find(v.seq);
  if (found == s.anim_of_section.end()) {
    s.notes.push_back("[" + s.section + "] skipped: no [ANIM_SEQ_" + std::to_string(v.seq) + "] before it");
    return;
  }
  if (v.groups.empty()) {
    s.notes.push_back("[" + s.section + "] skipped: no GROUPS");
    return;
  }
  c.group_list = add_group_list(s.d, found->second, v.groups);
  add_component(s.d, found->second, c);
}

// --- Section dispatch and commit ---------------------------------------------------------------------

struct section_rule {
  const char* name;
  bool prefix;                                      // name is a prefix of the section name
  const key_rule* keys;
  size_t key_count;
  bool aero;                                        // keys come from aero_rules
  void (*commit)(sc3_import&);
};

template <size_t N> constexpr size_t count_of(const key_rule (&)[N]) { return N; }

const section_rule sections[] = {
  {"CONFIG", false, config_keys, count_of(config_keys), false, commit_config},
  {"VC", false, vc_keys, count_of(vc_keys), false, commit_vc},
  {"AERODYNAMICS", false, nullptr, 0, true, nullptr},
  {"EX_MAIN_", true, exhaust_keys, count_of(exhaust_keys), false, [](sc3_import& s) { commit_exhaust(s, s.main_thruster); }},
  {"EX_RETRO_", true, exhaust_keys, count_of(exhaust_keys), false, [](sc3_import& s) { commit_exhaust(s, s.retro_thruster); }},
  {"EX_HOVER_", true, exhaust_keys, count_of(exhaust_keys), false, [](sc3_import& s) { commit_exhaust(s, s.hover_thruster); }},
  {"EX_ATT_", true, exhaust_keys, count_of(exhaust_keys), false, nullptr},
  {"DOCK_", true, dock_keys, count_of(dock_keys), false, nullptr},
  {"ANIM_SEQ_", true, anim_seq_keys, count_of(anim_seq_keys), false, commit_anim_seq},
  {"ANIM_COMP_", true, anim_comp_keys, count_of(anim_comp_keys), false, commit_anim_comp},
};

const section_rule* rule_of(const std::string& section) {
  for (const section_rule& r : sections)
    if (r.prefix ? starts_with(section, r.name) : section == r.name) return &r;
  return nullptr;
}

void commit_section(sc3_import& s) {
  const section_rule* r = rule_of(s.section);
  if (r && r->commit) r->commit(s);
}

void begin_section(sc3_import& s, const std::string& line) {
  commit_section(s);
  const std::string t(trim(line));
  s.section = t.size() >= 2 ? t.substr(1, t.size() - 2) : std::string();
  s.v = section_values{};
  if (starts_with(s.section, "DOCK_"))
    s.dock = add_dock(s.d, make_vec(0, 0, 0), make_vec(0, 0, 0), make_vec(0, 0, 0));
}

void apply_key(sc3_import& s, const sc3_line& l) {
  const section_rule* r = rule_of(s.section);
  if (!r || l.tok.empty()) return;
  const std::string key = upper_case(l.tok[0]);
  if (r->aero) { apply_aero_key(s, key, l); return; }
  for (size_t i = 0; i < r->key_count; ++i)
    if (key == r->keys[i].key) { r->keys[i].apply(s, l); return; }
}

// Aerodynamic ANIM keys name an animation by its section number, as SEQ does; once
// every section is known they are turned into indices. A number without its section
// names no animation.
void map_aero_animations(sc3_import& s) {
  for (const int element : s.aero) {
    if (element < 0) continue;
    int32_t& anim = s.d.data.aero_elements[element].anim;
    if (anim == -1) continue;
    const auto found = s.anim_of_section.find(anim);
    const int32_t index = found == s.anim_of_section.end() ? -1 : found->second;
    if (index == -1)
      s.notes.push_back("[AERODYNAMICS] animation " + std::to_string(anim) + " has no [ANIM_SEQ_" +
                        std::to_string(anim) + "]; the element gets none");
    else if (index != anim)
      s.notes.push_back("[AERODYNAMICS] animation " + std::to_string(anim) + " is animation " + std::to_string(index));
    anim = index;
  }
}

}  // namespace

// --- The import ------------------------------------------------------------------------------------------

astr import_sc3_text(vessel_design& d, const std::string& text, const std::string& vessel_name) {
  reset_design(d);
  for (int i = 0; i < 2; ++i) add_touchdown_set(d, make_vec(0, 0, 1), make_vec(-1, 0, -1), make_vec(1, 0, -1));
  set_name(d.header.vessel_name, sizeof d.header.vessel_name, vessel_name);
  set_name(d.header.dll_name, sizeof d.header.dll_name, vessel_name);
  sc3_import s{d};
  for (const std::string& line : split_lines(text)) {
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') begin_section(s, line);
    else apply_key(s, tokenize(line));
  }
  if (s.launch_seen && !s.land_seen) d.data.touchdown_sets[1] = d.data.touchdown_sets[0];
  if (s.land_seen && !s.launch_seen) d.data.touchdown_sets[0] = d.data.touchdown_sets[1];
  commit_section(s);
  map_aero_animations(s);
  return s.notes;
}

astr import_sc3(vessel_design& d, const std::string& file, const std::string& vessel_name) {
  reset_design(d);
  const std::vector<uint8_t> bytes = file_read_all(file);
  return import_sc3_text(d, std::string(bytes.begin(), bytes.end()), vessel_name);
}
