// vrkdll: the vessel module: its entry points and the vessel it builds.
//
// The module reads its design once when the simulator loads it and then
// builds every vessel of its class from that design: physical values,
// propellant, thrusters and groups, exhausts, meshes, animations, beacons,
// docks, aerodynamic elements and crew. At run time it moves animations,
// switches the touchdown points with the gear, answers keys, adds the crew
// lines to the head-up display, keeps animation states in the scenario and
// sets up the virtual-cockpit views.
//
// Builds on: vrkdll_read (the design), vrkdll_aero (lift surfaces),
// vrkdll_addons (Payload Manager and crew libraries), veltorasdk.
//
// Switches: VRKDLL_PAYLOAD_MANAGER (1: the image that binds every vessel to the
// Payload Manager library and exports secInit; 0: the plain image).
//
// Notes: an index read from the file that names nothing (gear animation, an
// aerodynamic element's animation, a component's mesh or group list, an
// exhaust's thruster, a thruster's tank or group) is treated as "none".
#include <stdio.h>  // first: on Windows the system C library's printf and scanf, not the larger portable ones
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <vector>
#include "vrkdll_addons.h"
#include "vrkdll_aero.h"
#include "vrkdll_read.h"

constexpr bool with_payload_manager = VRKDLL_PAYLOAD_MANAGER != 0;

namespace {

// --- Module-wide state: written only by InitModule and ExitModule ----------------------------
struct module_state {
  module_design design;          // the design as read
  bool ready = false;            // the whole block was read
};
module_state vrk;

constexpr int max_thruster_groups = thruster_group_unused;  // no group id can reach the unused mark
constexpr int crew_numbers[3] = {41, 65, 74};                // the default member's personal numbers
constexpr const char* crew_member_default = "Pilot";        // the default member's name
constexpr const char* anim_key = "ANIM_";                   // scenario key of an animation's state

vector3 kv(const vec3& v) { return {v.x, v.y, v.z}; }

// i when it indexes one of count elements, else -1 ("none").
int index_or_none(int32_t i, size_t count) { return i >= 0 && static_cast<size_t>(i) < count ? i : -1; }

// --- The vessel --------------------------------------------------------------------------------
struct vessel_anim {             // an animation of one vessel
  int32_t reserved_a;            // the simulator's animation id
  int32_t reserved_b;            // animations with a non-zero value ignore their key
  int32_t key;                   // scan code that operates it
  int32_t state;                 // anim_state
  double rate;                   // 1 / duration, per second
  double position;               // 0..1
  std::vector<std::vector<unsigned int>> lists;  // mesh groups per group list
  std::vector<anim_transform> transforms;        // one per component, kept for the simulator
  std::vector<anim_comp_handle> comps;           // component handles (null: not made)
};

struct vessel_beacon {           // a beacon and the storage its light reads
  vector3 pos;
  vector3 col;
  beacon_params light;           // what AddBeacon is given
};

class vrk_vessel : public VESSEL2 {
public:
  vrk_vessel(obj_handle h, int flightmodel) : VESSEL2(h, flightmodel), d(vrk.design) {}
  ~vrk_vessel() override;
  void clbkSetClassCaps(void* cfg) override;
  void clbkSaveState(scn_handle scn) override;
  void clbkLoadStateEx(scn_handle scn, void* status) override;
  void clbkPreStep(double simt, double simdt, double mjd) override;
  void clbkPostStep(double simt, double simdt, double mjd) override;
  bool clbkDrawHUD(int mode, hud_surface* surface) override;
  int clbkConsumeBufferedKey(unsigned int key, bool down, const char* kstate) override;
  bool clbkLoadVC(int id) override;

  pm_handle pm = nullptr;                          // Payload Manager binding (that image only)

private:
  const module_design& d;
  std::vector<propellant_handle> tanks;
  std::vector<thruster_handle> thrusters;
  std::vector<unsigned int> mesh_index;            // AddMesh index per design mesh
  std::vector<vessel_anim> anims;
  std::vector<vessel_beacon> beacons;
  int gear = -1;                                   // the gear animation, or -1
  const crew_api* crew_lib = nullptr;              // set while the crew is enabled
  crew_handle crew = nullptr;

  void build_physics();
  void build_propulsion();
  void build_meshes();
  void build_anims();
  void build_lights_and_ports();
  void build_aero();
  void build_crew();
  void set_touchdown(int set);
  void gear_touchdown(int a);
  unsigned int mesh_of(int32_t i) const;
  void set_anim(int a, int32_t state, double position);
};

vrk_vessel::~vrk_vessel() {
  if (crew) crew_lib->exit(crew);
  if (pm) payload_manager()->remove(pm);
}

unsigned int vrk_vessel::mesh_of(int32_t i) const {
  int m = index_or_none(i, mesh_index.size());
  return m < 0 ? mesh_none : mesh_index[m];
}

void vrk_vessel::set_touchdown(int set) {
  const touchdown_set& t = d.touchdown_sets[set];
  SetTouchdownPoints(kv(t.pt1), kv(t.pt2), kv(t.pt3));
}

// At rest at either end, the gear animation selects the matching touchdown set.
void vrk_vessel::gear_touchdown(int a) {
  const vessel_anim& g = anims[a];
  if (a != gear || (g.state != anim_open && g.state != anim_rest)) return;
  size_t sets = d.touchdown_sets.size();
  if (g.position == 0.0 && sets >= 1) set_touchdown(0);
  else if (g.position == 1.0 && sets >= 2) set_touchdown(1);
}

void vrk_vessel::build_physics() {
  const design_header& h = d.header;
  SetSize(h.size);
  SetEmptyMass(h.empty_mass);
  SetPMI(kv(h.pmi));
  SetCrossSections(kv(h.cross_sections));
  SetRotDrag(kv(h.rot_drag));
  if (d.touchdown_sets.empty())
    SetTouchdownPoints({0, 0, 1}, {-1, 0, -1}, {1, 0, -1});
  else
    set_touchdown(0);
  SetSurfaceFrictionCoeff(h.roll_friction, h.side_friction);
  SetCW(h.cw_z_pos, h.cw_z_neg, h.cw_x, h.cw_y);
  EnableTransponder(h.transponder != 0);
  InitNavRadios(h.nav_radios);
  SetCameraOffset(kv(h.vc_camera));
  SetVisibilityLimit(h.vis_limit, h.spot_limit);
  SetAlbedoRGB({(h.albedo & 0xFF) / 255.0, ((h.albedo >> 8) & 0xFF) / 255.0,
                ((h.albedo >> 16) & 0xFF) / 255.0});
  SetGravityGradientDamping(h.gravgrad_damp);
  SetWingAspect(h.wing_aspect);
  SetWingEffectiveness(h.wing_effectiveness);
  SetMaxWheelbrakeForce(h.max_wheelbrake);
  SetBankMomentScale(h.bank_moment_scale);
  SetPitchMomentScale(h.pitch_moment_scale);
}

void vrk_vessel::build_propulsion() {
  for (const fuel_tank& t : d.fuel_tanks) tanks.push_back(CreatePropellantResource(t.max_mass, -1, 1.0));
  int group_count = d.header.thruster_group_count;
  group_count = group_count < 0 ? 0 : group_count > max_thruster_groups ? max_thruster_groups : group_count;
  std::vector<std::vector<thruster_handle>> lists(group_count);
  for (const thruster_def& t : d.thrusters) {
    int tank = index_or_none(t.tank, tanks.size());
    thruster_handle th = CreateThruster(kv(t.pos), kv(t.dir), t.max_thrust, tank < 0 ? nullptr : tanks[tank],
                                        t.isp, t.isp_ref, t.p_ref);
    thrusters.push_back(th);
    for (int32_t g : t.groups)
      if (index_or_none(g, lists.size()) >= 0) lists[g].push_back(th);
  }
  for (int g = 0; g < group_count; g++)
    CreateThrusterGroup(lists[g].data(), static_cast<int>(lists[g].size()),
                        g < thruster_group_id_count ? static_cast<thgroup_type>(g) : thgroup_user);
  for (const exhaust_def& e : d.exhausts) {
    int th = index_or_none(e.thruster, thrusters.size());
    if (th < 0) continue;
    if (e.mode == exhaust_free)
      AddExhaust(thrusters[th], e.length, e.width, kv(e.pos), kv(e.dir));
    else
      AddExhaust(thrusters[th], e.length, e.width);
  }
}

void vrk_vessel::build_meshes() {
  for (const mesh_entry& m : d.meshes) {
    unsigned int index = AddMesh(vapiLoadMeshGlobal(m.name));
    SetMeshVisibilityMode(index, static_cast<uint16_t>(m.visibility));
    mesh_index.push_back(index);
  }
}

// The transform a stored component asks for; false for an unknown type.
bool make_transform(const anim_comp& c, unsigned int mesh, const std::vector<unsigned int>* groups,
                    anim_transform& t) {
  static const transform_kind kinds[] = {transform_rotation, transform_translation, transform_scaling};
  if (index_or_none(c.type, std::size(kinds)) < 0) return false;
  t = anim_transform{kinds[c.type], mesh, groups ? groups->data() : nullptr,
                     groups ? static_cast<unsigned int>(groups->size()) : 0u,
                     c.type == comp_translate ? vector3{0, 0, 0} : kv(c.ref), kv(c.axis),
                     c.type == comp_rotation ? c.angle : 0.0f};
  return true;
}

void vrk_vessel::build_anims() {
  anims.resize(d.anim_seqs.size());                  // sized once: the simulator keeps pointers
  for (size_t a = 0; a < anims.size(); a++) {
    const anim_entry& m = d.anim_seqs[a];
    vessel_anim& v = anims[a];
    v = vessel_anim{0, m.seq.reserved_b, m.seq.key, m.seq.state, m.seq.rate, m.seq.position, {}, {}, {}};
    for (const auto& list : m.group_lists) v.lists.emplace_back(list.begin(), list.end());
    v.transforms.resize(m.comps.size());
    v.comps.assign(m.comps.size(), nullptr);
    v.reserved_a = static_cast<int32_t>(CreateAnimation(m.seq.default_pos));
    for (size_t c = 0; c < m.comps.size(); c++) {
      const anim_comp& comp = m.comps[c];
      int list = index_or_none(comp.group_list, v.lists.size());
      if (make_transform(comp, mesh_of(comp.mesh), list < 0 ? nullptr : &v.lists[list], v.transforms[c]))
        v.comps[c] = AddAnimationComponent(v.reserved_a, comp.state0, comp.state1, &v.transforms[c]);
    }
  }
  gear = index_or_none(d.header.gear_anim, anims.size());
}

void vrk_vessel::build_lights_and_ports() {
  beacons.resize(d.beacons.size());                  // sized once: the simulator reads pos and col
  for (size_t i = 0; i < beacons.size(); i++) {
    const beacon_def& b = d.beacons[i];
    vessel_beacon& v = beacons[i];
    v.pos = kv(b.pos);
    v.col = kv(b.col);
    v.light = beacon_params{b.shape, &v.pos, &v.col, b.size, b.falloff, b.period, b.duration, b.tofs, b.active != 0};
    AddBeacon(&v.light);
  }
  for (const dock_def& k : d.docks) CreateDock(kv(k.pos), kv(k.dir), kv(k.rot));
}

void vrk_vessel::build_aero() {
  for (const aero_def& e : d.aero_elements) {
    int a = index_or_none(e.anim, anims.size());
    switch (e.type) {
    case aero_lift:
      if (e.kind == lift_horizontal)
        CreateAirfoil3(airfoil_horizontal, kv(e.pos), horizontal_coeff, nullptr, e.chord, e.area, e.aspect);
      else
        CreateAirfoil3(airfoil_vertical, kv(e.pos), vertical_coeff, nullptr, e.chord, e.area, e.aspect);
      break;
    case aero_control:
      CreateControlSurface(e.kind, e.area, e.chord, kv(e.pos), e.ctrl_axis,
                           a < 0 ? anim_none : static_cast<unsigned int>(anims[a].reserved_a));
      break;
    case aero_variable_drag:
      CreateVariableDragElement(a < 0 ? nullptr : &anims[a].position, e.chord, kv(e.pos));
      break;
    default:
      break;
    }
  }
}

void vrk_vessel::build_crew() {
  if (d.crew.empty() || d.crew[0].max_crew == 0 || !(crew_lib = crew_library())) return;
  const crew_def& c = d.crew[0];
  vector3 pos = kv(c.airlock_pos), rot = kv(c.airlock_rot), size = kv(c.airlock_size);
  vector3 lo{pos.x - size.x, pos.y - size.y, pos.z - size.z};
  vector3 hi{pos.x + size.x, pos.y + size.y, pos.z + size.z};
  crew = crew_lib->init(this);
  crew_lib->define_airlock(crew, &pos, &rot, &lo, &hi);
  crew_lib->set_max(crew, c.max_crew);
  crew_lib->add_member(crew, crew_member_default, crew_numbers, "Capt");
}

void vrk_vessel::clbkSetClassCaps(void*) {
  build_physics();
  build_propulsion();
  build_meshes();
  build_anims();
  build_lights_and_ports();
  build_aero();
  build_crew();
  if (pm) payload_manager()->define_vehicle(pm, d.header.vessel_name, d.header.size, d.header.empty_mass);
}

// --- Scenario state --------------------------------------------------------------------------
void vrk_vessel::clbkSaveState(scn_handle scn) {
  VESSEL2::clbkSaveState(scn);
  for (size_t a = 0; a < anims.size(); a++) {
    char key[32], value[64];
    snprintf(key, sizeof key, "%s%u", anim_key, unsigned(a));
    snprintf(value, sizeof value, "%d %0.4f", anims[a].state, anims[a].position);
    vapiWriteScenarioLine(scn, key, value);
  }
  if (pm) payload_manager()->save_state(pm, scn);
}

void vrk_vessel::set_anim(int a, int32_t state, double position) {
  vessel_anim& v = anims[a];
  v.state = state;
  // a position beyond 0..1 means the nearer end; one that is not a number, 0
  v.position = !(position > 0) ? 0 : position > 1 ? 1 : position;
  SetAnimation(v.reserved_a, v.position);
  gear_touchdown(a);
}

void vrk_vessel::clbkLoadStateEx(scn_handle scn, void* status) {
  const char* line;
  while (vapiReadScenarioLine(scn, line)) {
    if (strncasecmp(line, anim_key, strlen(anim_key)) == 0) {
      int index, state;
      double position;
      if (sscanf(line + strlen(anim_key), "%d %d %lf", &index, &state, &position) == 3 &&
          index_or_none(index, anims.size()) >= 0)
        set_anim(index, state, position);
    } else if (!(pm && payload_manager()->load_state(pm, line))) {
      ParseScenarioLineEx(line, status);
    }
  }
}

// --- Time steps ------------------------------------------------------------------------------
void vrk_vessel::clbkPreStep(double simt, double simdt, double mjd) {
  if (pm) payload_manager()->pre_step(pm, simt, simdt, mjd);
}

void vrk_vessel::clbkPostStep(double simt, double simdt, double mjd) {
  for (size_t a = 0; a < anims.size(); a++) {
    vessel_anim& v = anims[a];
    if (v.state != anim_opening && v.state != anim_closing) continue;
    double step = v.rate * simdt;
    if (v.state == anim_closing) {
      if (v.position <= 0) v.state = anim_rest;
      else v.position = v.position - step > 0 ? v.position - step : 0;
    } else {
      if (v.position >= 1) v.state = anim_open;
      else v.position = v.position + step < 1 ? v.position + step : 1;
    }
    SetAnimation(v.reserved_a, v.position);
    gear_touchdown(static_cast<int>(a));
  }
  if (crew) crew_lib->step(crew, simdt);
  if (pm) payload_manager()->post_step(pm, simt, simdt, mjd);
}

// --- Keys and displays -------------------------------------------------------------------------
int vrk_vessel::clbkConsumeBufferedKey(unsigned int key, bool down, const char* kstate) {
  if (!down) return 0;
  if (key_held(kstate, key_lalt) || key_held(kstate, key_ralt)) {
    if (crew && key >= key_1 && key <= key_0)      // digits 1..9 then 0
      crew_lib->eject(crew, key == key_0 ? 0 : static_cast<int>(key - key_1 + 1));
    return 0;
  }
  for (vessel_anim& v : anims) {
    if (v.reserved_b != 0 || v.key != static_cast<int32_t>(key)) continue;
    switch (v.state) {
    case anim_opening: case anim_open: v.state = anim_closing; break;
    case anim_rest: case anim_closing: v.state = anim_opening; break;
    default: v.state = anim_open; break;
    }
  }
  return 0;
}

bool vrk_vessel::clbkDrawHUD(int mode, hud_surface* surface) {
  bool drawn = VESSEL2::clbkDrawHUD(mode, surface);
  if (!crew) return drawn;
  char text[300];
  snprintf(text, sizeof text, "Crew limit %d", crew_lib->max(crew));
  vapiHUDText(surface, 5, 150, text);
  snprintf(text, sizeof text, "Crew on board %d", crew_lib->count(crew));
  vapiHUDText(surface, 5, 168, text);
  vapiHUDText(surface, 5, 186, "Alt+num to kick out");
  for (int i = 0, n = crew_lib->count(crew); i < n; i++) {
    snprintf(text, sizeof text, "%d. %s", i, crew_lib->member_name(crew, i));
    vapiHUDText(surface, 5, 204 + 18 * i, text);
  }
  return drawn;
}

bool vrk_vessel::clbkLoadVC(int id) {
  const design_header& h = d.header;
  if (h.have_vc != 0 && index_or_none(id, d.vc_views.size()) >= 0) {
    const vc_view& v = d.vc_views[id].view;
    SetCameraDefaultDirection(kv(v.cam_dir));
    SetCameraOffset(kv(v.cam_pos));
    SetCameraShiftRange(kv(v.shift_fwd), kv(v.shift_left), kv(v.shift_right));
    int n[4];
    for (int i = 0; i < 4; i++) n[i] = index_or_none(v.neighbours[i], d.vc_views.size());
    vapiVCSetNeighbours(n[0], n[1], n[2], n[3]);
    vc_hud_params hud{mesh_of(v.hud_mesh), static_cast<unsigned int>(v.hud_group), kv(v.hud_center), v.hud_size};
    vapiVCRegisterHUD(&hud);
    for (const vc_mfd_bind& b : d.vc_views[id].mfds) {
      vc_mfd_params mfd{mesh_of(b.mesh), static_cast<unsigned int>(b.group)};
      vapiVCRegisterMFD(b.mfd, &mfd);
    }
  }
  return h.have_vc == 1;
}

// The simulator cannot run the vessel without the Payload Manager: tell the user and close.
[[noreturn]] void payload_manager_missing() {
  // A box with Yes and No; without a desktop to show it on, it is written to the
  // error stream and answered No, so no download page is opened.
  fprintf(stderr,
          "[Payload Manager] The Payload Manager library (PayloadManager.dll) is missing from the "
          "modules folder, so Veltora will now close. Open its download page? [Yes/No] No\n");
  exit(1);
}

} // namespace

// --- Entry points ------------------------------------------------------------------------------
VELTORA_EXPORT void InitModule(module_handle) {
  block_read r = read_design_file("test.ves", vrk.design);   // a test design in the current folder wins
  if (r == block_missing) r = read_design_file(module_file(), vrk.design);
  vrk.ready = r == block_ok;
}

VELTORA_EXPORT void ExitModule(module_handle) {
  release_addons();
  vrk = module_state{};
}

VELTORA_EXPORT int GetModuleVersion() { return kit_version; }

VELTORA_EXPORT VESSEL* ovcInit(obj_handle hvessel, int flightmodel) {
  if (!vrk.ready) return nullptr;
  if (with_payload_manager && !payload_manager()) payload_manager_missing();
  vrk_vessel* v = new vrk_vessel(hvessel, flightmodel);
  if (with_payload_manager) v->pm = payload_manager()->init(v, 2, 2);
  return v;
}

VELTORA_EXPORT void ovcExit(VESSEL* vessel) { delete vessel; }

#if VRKDLL_PAYLOAD_MANAGER
VELTORA_EXPORT void secInit(editor_handle editor, obj_handle hvessel) {
  if (const pm_api* pm = payload_manager()) pm->editor_page(editor, hvessel);
}
#endif
