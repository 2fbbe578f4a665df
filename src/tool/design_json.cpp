// design_json: field tables of every stored record and the one routine that prints them.
#include "tool/design_json.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <span>

using json = nlohmann::ordered_json;

namespace {

enum field_type { t_i32, t_u32, t_u8, t_f64, t_f32, t_vec3, t_name, t_i32s };
struct field {
  const char* name;
  size_t offset;
  field_type type;
  size_t count = 0;          // bytes of a name, entries of an i32 array
};

#define FIELD(rec, member, type) field{#member, offsetof(rec, member), type, sizeof(rec::member) / (type == t_i32s ? 4 : 1)}

const field header_fields[] = {
  FIELD(design_header, magic, t_u32), FIELD(design_header, vessel_name, t_name),
  FIELD(design_header, dll_name, t_name), FIELD(design_header, size, t_f64),
  FIELD(design_header, empty_mass, t_f64), FIELD(design_header, pmi, t_vec3),
  FIELD(design_header, cross_sections, t_vec3), FIELD(design_header, rot_drag, t_vec3),
  FIELD(design_header, gear_anim, t_i32), FIELD(design_header, vc_camera, t_vec3),
  FIELD(design_header, roll_friction, t_f64), FIELD(design_header, side_friction, t_f64),
  FIELD(design_header, cw_z_pos, t_f64), FIELD(design_header, cw_z_neg, t_f64),
  FIELD(design_header, cw_x, t_f64), FIELD(design_header, cw_y, t_f64),
  FIELD(design_header, pitch_moment_scale, t_f64), FIELD(design_header, bank_moment_scale, t_f64),
  FIELD(design_header, transponder, t_i32), FIELD(design_header, nav_radios, t_i32),
  FIELD(design_header, payload_manager, t_i32), FIELD(design_header, needs_pilot, t_i32),
  FIELD(design_header, design_time, t_f64), FIELD(design_header, albedo, t_u32),
  FIELD(design_header, gravgrad_damp, t_f64), FIELD(design_header, wing_aspect, t_f64),
  FIELD(design_header, wing_effectiveness, t_f64), FIELD(design_header, max_wheelbrake, t_f64),
  FIELD(design_header, vis_limit, t_f64), FIELD(design_header, spot_limit, t_f64),
  FIELD(design_header, have_vc, t_i32), FIELD(design_header, fuel_tank_count, t_i32),
  FIELD(design_header, thruster_count, t_i32), FIELD(design_header, thruster_group_count, t_i32),
  FIELD(design_header, exhaust_count, t_i32), FIELD(design_header, mesh_count, t_i32),
  FIELD(design_header, anim_seq_count, t_i32), FIELD(design_header, vc_view_count, t_i32),
  FIELD(design_header, touchdown_set_count, t_i32), FIELD(design_header, beacon_count, t_i32),
  FIELD(design_header, dock_count, t_i32), FIELD(design_header, crew_count, t_i32),
  FIELD(design_header, aero_element_count, t_i32),
};
const field tank_fields[] = {FIELD(fuel_tank, max_mass, t_f64)};
const field thruster_fields[] = {
  FIELD(thruster_def, pos, t_vec3), FIELD(thruster_def, dir, t_vec3), FIELD(thruster_def, max_thrust, t_f64),
  FIELD(thruster_def, isp, t_f64), FIELD(thruster_def, isp_ref, t_f64), FIELD(thruster_def, p_ref, t_f64),
  FIELD(thruster_def, tank, t_i32), FIELD(thruster_def, groups, t_i32s),
};
const field exhaust_fields[] = {
  FIELD(exhaust_def, thruster, t_i32), FIELD(exhaust_def, mode, t_i32), FIELD(exhaust_def, length, t_f64),
  FIELD(exhaust_def, width, t_f64), FIELD(exhaust_def, pos, t_vec3), FIELD(exhaust_def, dir, t_vec3),
};
const field mesh_fields[] = {
  FIELD(mesh_entry, name, t_name), FIELD(mesh_entry, reserved1, t_i32), FIELD(mesh_entry, reserved2, t_i32),
  FIELD(mesh_entry, visibility, t_i32),
};
const field anim_fields[] = {
  FIELD(anim_seq, reserved_a, t_i32), FIELD(anim_seq, reserved_b, t_i32), FIELD(anim_seq, key, t_i32),
  FIELD(anim_seq, state, t_i32), FIELD(anim_seq, rate, t_f64), FIELD(anim_seq, position, t_f64),
  FIELD(anim_seq, default_pos, t_f64), FIELD(anim_seq, group_list_count, t_i32), FIELD(anim_seq, comp_count, t_i32),
};
const field comp_fields[] = {
  FIELD(anim_comp, mesh, t_i32), FIELD(anim_comp, type, t_i32), FIELD(anim_comp, group_list, t_i32),
  FIELD(anim_comp, ref, t_vec3), FIELD(anim_comp, axis, t_vec3), FIELD(anim_comp, angle, t_f32),
  FIELD(anim_comp, state0, t_f64), FIELD(anim_comp, state1, t_f64),
};
const field view_fields[] = {
  FIELD(vc_view, cam_pos, t_vec3), FIELD(vc_view, cam_dir, t_vec3), FIELD(vc_view, shift_fwd, t_vec3),
  FIELD(vc_view, shift_left, t_vec3), FIELD(vc_view, shift_right, t_vec3), FIELD(vc_view, neighbours, t_i32s),
  FIELD(vc_view, hud_mesh, t_i32), FIELD(vc_view, hud_group, t_i32), FIELD(vc_view, hud_center, t_vec3),
  FIELD(vc_view, hud_size, t_f64), FIELD(vc_view, mfd_count, t_i32),
};
const field mfd_fields[] = {FIELD(vc_mfd_bind, mesh, t_i32), FIELD(vc_mfd_bind, group, t_i32), FIELD(vc_mfd_bind, mfd, t_i32)};
const field touchdown_fields[] = {FIELD(touchdown_set, pt1, t_vec3), FIELD(touchdown_set, pt2, t_vec3), FIELD(touchdown_set, pt3, t_vec3)};
const field beacon_fields[] = {
  FIELD(beacon_def, shape, t_u32), FIELD(beacon_def, size, t_f64), FIELD(beacon_def, falloff, t_f64),
  FIELD(beacon_def, period, t_f64), FIELD(beacon_def, duration, t_f64), FIELD(beacon_def, tofs, t_f64),
  FIELD(beacon_def, active, t_u8), FIELD(beacon_def, pos, t_vec3), FIELD(beacon_def, col, t_vec3),
};
const field dock_fields[] = {FIELD(dock_def, pos, t_vec3), FIELD(dock_def, dir, t_vec3), FIELD(dock_def, rot, t_vec3)};
const field crew_fields[] = {
  FIELD(crew_def, airlock_pos, t_vec3), FIELD(crew_def, airlock_rot, t_vec3), FIELD(crew_def, airlock_size, t_vec3),
  FIELD(crew_def, max_crew, t_i32),
};
const field aero_fields[] = {
  FIELD(aero_def, type, t_i32), FIELD(aero_def, anim, t_i32), FIELD(aero_def, kind, t_i32),
  FIELD(aero_def, ctrl_axis, t_i32), FIELD(aero_def, chord, t_f64), FIELD(aero_def, area, t_f64),
  FIELD(aero_def, aspect, t_f64), FIELD(aero_def, pos, t_vec3),
};

#undef FIELD

template <class T> T load(const uint8_t* p) {
  T v;
  std::memcpy(&v, p, sizeof v);              // records are packed: fields may sit off alignment
  return v;
}

// The float as the shortest decimal that reads back to it, carried by the nearest double.
double shortest_float(float f) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, f).ptr;
  double d = 0;
  std::from_chars(text, end, d);
  return d;
}

json value_of(const uint8_t* p, const field& f) {
  switch (f.type) {
    case t_i32: return load<int32_t>(p);
    case t_u32: return load<uint32_t>(p);
    case t_u8: return *p;
    case t_f64: return load<double>(p);
    case t_f32: return shortest_float(load<float>(p));
    case t_vec3: { const vec3 v = load<vec3>(p); return json::array({v.x, v.y, v.z}); }
    case t_name: return name_of(reinterpret_cast<const char*>(p), f.count);
    case t_i32s: {
      json a = json::array();
      for (size_t i = 0; i < f.count; ++i) a.push_back(load<int32_t>(p + 4 * i));
      return a;
    }
  }
  return nullptr;
}

// The field table of each stored record.
std::span<const field> fields_of(const design_header&) { return header_fields; }
std::span<const field> fields_of(const fuel_tank&) { return tank_fields; }
std::span<const field> fields_of(const thruster_def&) { return thruster_fields; }
std::span<const field> fields_of(const exhaust_def&) { return exhaust_fields; }
std::span<const field> fields_of(const mesh_entry&) { return mesh_fields; }
std::span<const field> fields_of(const anim_seq&) { return anim_fields; }
std::span<const field> fields_of(const anim_comp&) { return comp_fields; }
std::span<const field> fields_of(const vc_view&) { return view_fields; }
std::span<const field> fields_of(const vc_mfd_bind&) { return mfd_fields; }
std::span<const field> fields_of(const touchdown_set&) { return touchdown_fields; }
std::span<const field> fields_of(const beacon_def&) { return beacon_fields; }
std::span<const field> fields_of(const dock_def&) { return dock_fields; }
std::span<const field> fields_of(const crew_def&) { return crew_fields; }
std::span<const field> fields_of(const aero_def&) { return aero_fields; }

template <class T> json element(const T& rec) {
  json o = json::object();
  const uint8_t* base = reinterpret_cast<const uint8_t*>(&rec);
  for (const field& f : fields_of(rec)) o[f.name] = value_of(base + f.offset, f);
  return o;
}

template <class T> json elements(const std::vector<T>& v);

json element(const anim_entry& e) {
  json o = element(e.seq);
  o["group_lists"] = e.group_lists;
  o["comps"] = elements(e.comps);
  return o;
}

json element(const vc_view_entry& e) {
  json o = element(e.view);
  o["mfds"] = elements(e.mfds);
  return o;
}

template <class T> json elements(const std::vector<T>& v) {
  json a = json::array();
  for (const T& e : v) a.push_back(element(e));
  return a;
}

}  // namespace

json design_to_json(const vessel_design& d) {
  json o = json::object();
  o["header"] = element(d.header);
#define JSON_ARRAY(member, element_type, count, label, blank) o[#member] = elements(d.data.member);
  VRKDLL_ARRAYS(JSON_ARRAY)
#undef JSON_ARRAY
  return o;
}

// --- Text -----------------------------------------------------------------------------------------

namespace {

std::string scalar_text(const json& j) { return j.dump(-1, ' ', false, json::error_handler_t::replace); }

// The shortest digits that read back to v, laid out as the library lays numbers out:
// fixed from 1e-4 to below 1e15, scientific beyond; a whole number keeps ".0" so that
// it stays a float.
void put_double(std::string& out, double v) {
  if (!std::isfinite(v)) { out += "null"; return; }   // as the library prints them
  const double a = std::fabs(v);
  const auto format = a == 0 || (a >= 1e-4 && a < 1e15) ? std::chars_format::fixed : std::chars_format::scientific;
  char text[64];
  const std::string_view t(text, size_t(std::to_chars(text, text + sizeof text, v, format).ptr - text));
  out += t;
  if (t.find_first_of(".e") == std::string_view::npos) out += ".0";
}

void put_value(std::string& out, const json& j, size_t depth) {
  if (j.is_number_float()) { put_double(out, j.get<double>()); return; }
  if (!j.is_structured()) { out += scalar_text(j); return; }
  const bool object = j.is_object();
  out += object ? '{' : '[';
  for (auto it = j.begin(); it != j.end(); ++it) {
    out += it == j.begin() ? "\n" : ",\n";
    out.append(2 * (depth + 1), ' ');
    if (object) out += scalar_text(it.key()) + ": ";
    put_value(out, *it, depth + 1);
  }
  if (!j.empty()) out.append("\n").append(2 * depth, ' ');
  out += object ? '}' : ']';
}

}  // namespace

std::string json_text(const json& j) {
  std::string out;
  put_value(out, j, 0);
  return out;
}
