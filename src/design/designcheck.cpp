// designcheck: the rules, one short routine per element kind, and the group table.
#include "design/designcheck.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <tuple>
#include "base/instpath.h"
#include "base/strval.h"
#include "base/sys.h"
#include "mesh/grplib.h"

namespace {

constexpr double balance_tolerance = 1e-6;   // of the group's own scale: rounding, not design

// Findings as the checks make them; sorted once at the end.
struct report {
  std::vector<check_finding> findings;
  void add(int severity, const char* code, const char* kind, int index, std::string text) {
    findings.push_back({severity, code, kind, index, std::move(text)});
  }
};

std::string num(double v) { return decimal_to_text(v); }
std::string vec_text(const vec3& v) { return "(" + num(v.x) + ", " + num(v.y) + ", " + num(v.z) + ")"; }
std::string quoted(const std::string& s) { return "\"" + s + "\""; }

// --- Names ---

// Why a name cannot be a file name on every system the add-on may reach, or "".
std::string unsafe_name_reason(const std::string& name) {
  static const char* const devices[] = {"CON", "PRN", "AUX", "NUL", "COM1", "COM2", "COM3", "COM4", "COM5",
                                        "COM6", "COM7", "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4",
                                        "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};
  if (name.empty()) return "is empty";
  for (unsigned char c : name)
    if (c < 32 || c == 127 || std::string_view("<>:\"/\\|?*").find(char(c)) != std::string_view::npos)
      return "holds a character that file names cannot hold";
  if (name.front() == ' ' || name.back() == ' ' || name.back() == '.') return "starts or ends with a blank or ends with a dot";
  for (const char* dev : devices)
    if (same_ignoring_case(name, dev)) return "is a device name";
  return "";
}

void check_names(const vessel_design& d, report& r) {
  const std::string vessel = name_of(d.header.vessel_name, sizeof d.header.vessel_name);
  const std::string module = name_of(d.header.dll_name, sizeof d.header.dll_name);
  if (std::string why = unsafe_name_reason(vessel); !why.empty())
    r.add(check_error, "vessel-name", "header", -1, "The vessel name " + quoted(vessel) + " " + why + ".");
  if (std::string why = unsafe_name_reason(module); !why.empty())
    r.add(check_error, "module-name", "header", -1, "The module name " + quoted(module) + " " + why + ".");
  if (d.header.empty_mass <= 0)
    r.add(check_error, "empty-mass", "header", -1, "The empty mass is " + num(d.header.empty_mass) + " kg.");
}

// A module of the installation whose name differs from ours only in case.
void check_module_case(const vessel_design& d, const std::string& root, report& r) {
  const std::string module = name_of(d.header.dll_name, sizeof d.header.dll_name);
  const std::string folder = install_path(root, "Modules");
  if (folder.empty()) return;
  for (const std::string& name : folder_entries(folder)) {
    if (name.size() < 4 || !same_ignoring_case(name.substr(name.size() - 4), ".dll")) continue;
    const std::string base = name.substr(0, name.size() - 4);
    if (base != module && same_ignoring_case(base, module))
      r.add(check_warning, "module-name-case", "header", -1,
            "The module " + quoted(module) + " differs only in case from the installed module " + quoted(name) + ".");
  }
}

// --- Meshes ---

// Group counts of the design's meshes as read from the installation; -1 where unknown.
std::vector<int> check_meshes(const vessel_design& d, const std::string& root, report& r) {
  std::vector<int> groups;
  const std::string textures = install_path(root, "Textures");
  for (size_t i = 0; i < d.data.meshes.size(); ++i) {
    const std::string name = name_of(d.data.meshes[i].name, sizeof d.data.meshes[i].name);
    groups.push_back(-1);
    if (!is_safe_relative(name)) {
      r.add(check_error, "mesh-unsafe", "meshes", int(i), "The mesh " + quoted(name) + " lies outside the meshes folder.");
      continue;
    }
    const std::string path = install_path(root, "Meshes/" + to_slashes(name) + ".msh");
    if (path.empty()) {
      r.add(check_error, "mesh-missing", "meshes", int(i), "The mesh file " + quoted(name + ".msh") + " is not in the installation.");
      continue;
    }
    typmsh m;
    if (const read_result read = read_mesh(m, path, "", false); !read) {
      r.add(check_error, "mesh-unreadable", "meshes", int(i), "The mesh cannot be read: " + read.message + ".");
      continue;
    }
    groups.back() = m.group_count;
    for (const std::string& t : m.texture_names)
      if (!is_safe_relative(t) || install_path(textures.empty() ? root : textures, to_slashes(t)).empty())
        r.add(check_warning, "texture-missing", "meshes", int(i),
              "The texture " + quoted(t) + " of the mesh " + quoted(name) + " is not in the installation.");
  }
  return groups;
}

// --- Thrusters and exhausts ---

void check_thrusters(const vessel_design& d, report& r) {
  const int tanks = int(d.data.fuel_tanks.size()), thrusters = int(d.data.thrusters.size());
  for (int i = 0; i < thrusters; ++i) {
    const thruster_def& t = d.data.thrusters[size_t(i)];
    if (t.tank < 0 || t.tank >= tanks)
      r.add(check_error, "thruster-tank", "thrusters", i,
            "Thruster " + int_to_text(i) + " draws from tank " + int_to_text(t.tank) + ", which does not exist.");
    if (!(t.isp > 0))
      r.add(check_error, "thruster-isp", "thrusters", i, "Thruster " + int_to_text(i) + " has a specific impulse of " + num(t.isp) + ".");
  }
  for (size_t e = 0; e < d.data.exhausts.size(); ++e) {
    const int32_t t = d.data.exhausts[e].thruster;
    if (t < 0 || t >= thrusters)
      r.add(check_error, "exhaust-thruster", "exhausts", int(e),
            "Exhaust " + int_to_text(int(e)) + " belongs to thruster " + int_to_text(t) + ", which does not exist.");
  }
}

// --- Animations ---

void check_component(const anim_entry& a, int anim, int c, const std::vector<int>& mesh_groups, report& r) {
  const anim_comp& comp = a.comps[size_t(c)];
  const std::string which = "Component " + int_to_text(c) + " of animation " + int_to_text(anim);
  if (comp.mesh < 0 || size_t(comp.mesh) >= mesh_groups.size()) {
    r.add(check_error, "comp-mesh", "anim_seqs", anim, which + " moves mesh " + int_to_text(comp.mesh) + ", which does not exist.");
    return;
  }
  if (comp.group_list < 0 || size_t(comp.group_list) >= a.group_lists.size() || a.group_lists[size_t(comp.group_list)].empty()) {
    r.add(check_error, "comp-groups-empty", "anim_seqs", anim, which + " has no groups to move.");
    return;
  }
  const int count = mesh_groups[size_t(comp.mesh)];
  if (count < 0) return;                        // the mesh itself is reported
  for (int32_t g : a.group_lists[size_t(comp.group_list)])
    if (g < 0 || g >= count) {
      r.add(check_error, "comp-group-range", "anim_seqs", anim,
            which + " moves group " + int_to_text(g) + " of a mesh with " + int_to_text(count) + " groups.");
      return;
    }
}

void check_animations(const vessel_design& d, const std::vector<int>& mesh_groups, report& r) {
  const auto& anims = d.data.anim_seqs;
  for (int i = 0; i < int(anims.size()); ++i) {
    const anim_entry& a = anims[size_t(i)];
    const std::string which = "Animation " + int_to_text(i);
    if (a.comps.empty()) r.add(check_warning, "anim-no-components", "anim_seqs", i, which + " has no components.");
    if (a.seq.key == 0) r.add(check_warning, "anim-no-key", "anim_seqs", i, which + " has no key.");
    for (int j = 0; j < i && a.seq.key != 0; ++j)
      if (anims[size_t(j)].seq.key == a.seq.key) {
        r.add(check_warning, "anim-key-shared", "anim_seqs", i, which + " has the key of animation " + int_to_text(j) + ".");
        break;
      }
    for (int c = 0; c < int(a.comps.size()); ++c) check_component(a, i, c, mesh_groups, r);
  }
  const int n = int(anims.size());
  if (d.data.touchdown_sets.size() >= 2 && (d.header.gear_anim < 0 || d.header.gear_anim >= n))
    r.add(check_warning, "gear-animation", "header", -1, "The gear animation " + int_to_text(d.header.gear_anim) + " does not exist.");
  for (size_t e = 0; e < d.data.aero_elements.size(); ++e) {
    const int32_t anim = d.data.aero_elements[e].anim;
    if (anim != -1 && (anim < 0 || anim >= n))
      r.add(check_warning, "aero-animation", "aero_elements", int(e), "Airfoil " + int_to_text(int(e)) + " names animation " + int_to_text(anim) + ", which does not exist.");
  }
}

// --- Thrust ---

bool rotation_group(int g) { return g >= group_pitchup && g <= group_bankright; }
bool translation_group(int g) { return g >= group_right && g <= group_back; }
// Groups meant to push without turning: the translations, hover and retro (main has its own finding).
bool straight_group(int g) { return translation_group(g) || g == group_hover || g == group_retro; }

// Torque scale of a group: every thrust times its lever arm, so that rounding is told from design.
double torque_scale(const vessel_design& d, int g) {
  double s = 0;
  for (const thruster_def& t : d.data.thrusters)
    if (std::find(std::begin(t.groups), std::end(t.groups), g) != std::end(t.groups))
      s += std::fabs(t.max_thrust) * (length(t.pos) + 1);
  return s;
}

void check_groups(const vessel_design& d, report& r) {
  const auto table = thruster_group_balance(d);
  for (int g = 0; g < thruster_group_id_count; ++g) {
    const group_balance& b = table[size_t(g)];
    if (b.thrusters == 0) continue;
    const std::string name = thruster_group_names[g];
    const double f = length(b.force), t = length(b.torque), t_limit = balance_tolerance * torque_scale(d, g);
    if (rotation_group(g) && f > balance_tolerance * b.thrust)
      r.add(check_warning, "group-force", "thruster_groups", g, "The " + name + " group pushes with a net force of " + num(f) + " N " + vec_text(b.force) + ".");
    if (straight_group(g) && t > t_limit)
      r.add(check_warning, "group-torque", "thruster_groups", g, "The " + name + " group turns with a net torque of " + num(t) + " N m " + vec_text(b.torque) + ".");
    if (g == group_main && t > t_limit)
      r.add(check_warning, "main-torque", "thruster_groups", g, "Main thrust passes beside the centre of mass: a torque of " + num(t) + " N m " + vec_text(b.torque) + ".");
  }
  const double weight = standard_gravity * full_mass(d), hover = table[group_hover].thrust;
  if (table[group_hover].thrusters == 0)
    r.add(check_info, "hover-none", "thruster_groups", group_hover, "The vessel has no hover thrusters.");
  else if (hover < weight)
    r.add(check_warning, "hover-weight", "thruster_groups", group_hover,
          "Hover thrust " + num(hover) + " N is below the weight at 1 g, " + num(weight) + " N.");
}

// --- Touchdown points ---

// How far the centre of mass, dropped onto the plane of the points along its
// normal, lies inside their triangle (negative: outside, so the vessel tips).
double touchdown_margin(const touchdown_set& s) {
  const vec3 p[3] = {s.pt1, s.pt2, s.pt3};
  const vec3 n = cross(sub(p[1], p[0]), sub(p[2], p[0]));
  if (length(n) < 1e-9) return -INFINITY;
  const vec3 u = scale(n, 1 / length(n));
  const vec3 q = scale(u, dot(p[0], u));        // the origin's foot on the plane
  double margin = INFINITY;
  for (int i = 0; i < 3; ++i) {
    const vec3 a = p[i], b = p[(i + 1) % 3], c = p[(i + 2) % 3];
    vec3 inward = normalise(cross(u, sub(b, a)));
    if (dot(sub(c, a), inward) < 0) inward = scale(inward, -1);
    margin = std::min(margin, dot(sub(q, a), inward));
  }
  return margin;
}

void check_touchdown(const vessel_design& d, report& r) {
  for (size_t i = 0; i < d.data.touchdown_sets.size(); ++i) {
    const double m = touchdown_margin(d.data.touchdown_sets[i]);
    const std::string which = "Touchdown set " + int_to_text(int(i));
    if (std::isinf(m))
      r.add(check_warning, "touchdown-tip", "touchdown_sets", int(i), which + " has its three points on one line.");
    else if (m <= 0)
      r.add(check_warning, "touchdown-tip", "touchdown_sets", int(i),
            which + " leaves the centre of mass " + num(-m) + " m outside its triangle: the vessel would tip over.");
  }
}

bool listed_before(const check_finding& a, const check_finding& b) {
  return std::tie(a.severity, a.code, a.kind, a.index) < std::tie(b.severity, b.code, b.kind, b.index);
}

}  // namespace

const char* severity_name(int severity) {
  static const char* const names[] = {"error", "warning", "info"};
  return severity >= 0 && severity <= check_info ? names[severity] : "info";
}

double full_mass(const vessel_design& d) {
  double m = d.header.empty_mass;
  for (const fuel_tank& t : d.data.fuel_tanks) m += t.max_mass;
  return m;
}

std::array<group_balance, thruster_group_id_count> thruster_group_balance(const vessel_design& d) {
  std::array<group_balance, thruster_group_id_count> table{};
  for (const thruster_def& t : d.data.thrusters) {
    const vec3 f = scale(normalise(t.dir), t.max_thrust);
    const vec3 torque = cross(t.pos, f);
    for (int g = 0; g < thruster_group_id_count; ++g) {
      if (std::find(std::begin(t.groups), std::end(t.groups), g) == std::end(t.groups)) continue;
      group_balance& b = table[size_t(g)];
      ++b.thrusters;
      b.thrust += t.max_thrust;
      b.force = add(b.force, f);
      b.torque = add(b.torque, torque);
    }
  }
  return table;
}

std::vector<check_finding> check_design(const vessel_design& d, const std::string& root) {
  report r;
  check_names(d, r);
  check_module_case(d, root, r);
  const std::vector<int> mesh_groups = check_meshes(d, root, r);
  check_thrusters(d, r);
  check_animations(d, mesh_groups, r);
  check_groups(d, r);
  check_touchdown(d, r);
  std::stable_sort(r.findings.begin(), r.findings.end(), listed_before);
  return std::move(r.findings);
}
