// vesselapi: the stand-in simulator's side of the kit.
//
// Every call a module makes is checked, written to the report and answered
// with a handle of the calling vessel. The simulator does no physics: the
// report is what a flight produces.
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include "base/instpath.h"
#include "report.h"
#include "simstate.h"

namespace {

const char* const group_type_names[] = {
  "MAIN", "RETRO", "HOVER", "PITCHUP", "PITCHDOWN", "YAWLEFT", "YAWRIGHT", "BANKLEFT",
  "BANKRIGHT", "RIGHT", "LEFT", "UP", "DOWN", "FORWARD", "BACK"};
const char* const transform_names[] = {"rotation", "translation", "scaling"};
const double probe_angles[] = {-90, -60, -30, -2, 0, 15, 17.5, 20, 25, 60, 90}; // degrees
const double probe_mach[] = {0.5, 0.9};
constexpr double deg = 3.14159265358979323846 / 180.0;

struct mesh_store {                        // meshes loaded for every vessel, by name
  std::map<std::string, std::unique_ptr<sim_mesh>> by_name;
};
mesh_store meshes;

template <class H>
std::string handle_name(const char* kind, const H* h) {
  return h ? kind + std::to_string(h->index) : std::string("none");
}

// A handle passed back by a module: named when it is the vessel's own, else flagged.
template <class H>
std::string own_handle(const sim_vessel* v, const char* kind, const H* h) {
  if (h && h->owner != v) return "invalid-handle";
  return handle_name(kind, h);
}

std::string index_text(unsigned int i) { return i == mesh_none ? "none" : std::to_string(i); }

std::string group_type_text(thgroup_type t) {
  return t >= 0 && t < static_cast<int>(std::size(group_type_names)) ? group_type_names[t]
         : t == thgroup_user ? "USER" : "invalid-type " + std::to_string(static_cast<int>(t));
}

std::string index_list(const unsigned int* list, unsigned int n) {
  std::string s = "[";
  for (unsigned int i = 0; list && i < n; i++) s += (i ? " " : "") + std::to_string(list[i]);
  return s + "]";
}

} // namespace

sim_vessel*& sim_current() {
  static sim_vessel* current = nullptr;
  return current;
}

void say(const sim_vessel* v, const std::string& text) { report_line(v ? "[" + v->name + "] " + text : text); }

void release_meshes() { meshes.by_name.clear(); }

void probe_airfoils(sim_vessel* v) {
  for (const sim_airfoil& a : v->airfoils)
    for (double mach : probe_mach)
      for (double angle : probe_angles) {
        double cl = 0, cm = 0, cd = 0;
        a.cf(v->vessel, angle * deg, mach, 1e6, a.context, &cl, &cm, &cd);
        say(v, "airfoil af" + std::to_string(a.index) + " angle " + num(angle) + " mach " + num(mach) +
                   ": cl " + num(cl) + " cm " + num(cm) + " cd " + num(cd));
      }
}

void report_lights_and_drag(sim_vessel* v) {
  for (size_t i = 0; i < v->beacons.size(); i++)
    say(v, "beacon" + std::to_string(i) + " pos " + vec(*v->beacons[i]->pos) + " col " +
               vec(*v->beacons[i]->col) + " active " + boolean(v->beacons[i]->active));
  for (size_t i = 0; i < v->drag_elements.size(); i++)
    say(v, "drag" + std::to_string(i) + " value " +
               (v->drag_elements[i] ? num(*v->drag_elements[i]) : std::string("none")));
}

// --- VESSEL ----------------------------------------------------------------------------------
VESSEL::VESSEL(obj_handle hvessel, int flightmodel) : sim(hvessel) {}
VESSEL::~VESSEL() = default;
obj_handle VESSEL::GetHandle() const { return sim; }
const char* VESSEL::GetName() const { return sim->name.c_str(); }
const char* VESSEL::GetClassName() const { return sim->class_name.c_str(); }

void VESSEL::SetSize(double size) const { say(sim, "SetSize " + num(size)); }
void VESSEL::SetEmptyMass(double mass) const { say(sim, "SetEmptyMass " + num(mass)); }
void VESSEL::SetPMI(const vector3& pmi) const { say(sim, "SetPMI " + vec(pmi)); }
void VESSEL::SetCrossSections(const vector3& cs) const { say(sim, "SetCrossSections " + vec(cs)); }
void VESSEL::SetRotDrag(const vector3& rd) const { say(sim, "SetRotDrag " + vec(rd)); }
void VESSEL::SetTouchdownPoints(const vector3& a, const vector3& b, const vector3& c) const {
  say(sim, "SetTouchdownPoints " + vec(a) + " " + vec(b) + " " + vec(c));
}
void VESSEL::SetSurfaceFrictionCoeff(double lng, double lat) const {
  say(sim, "SetSurfaceFrictionCoeff " + num(lng) + " " + num(lat));
}
void VESSEL::SetCW(double zp, double zn, double x, double y) const {
  say(sim, "SetCW " + num(zp) + " " + num(zn) + " " + num(x) + " " + num(y));
}
void VESSEL::EnableTransponder(bool enable) const { say(sim, "EnableTransponder " + boolean(enable)); }
void VESSEL::InitNavRadios(int count) const { say(sim, "InitNavRadios " + std::to_string(count)); }
void VESSEL::SetCameraOffset(const vector3& ofs) const { say(sim, "SetCameraOffset " + vec(ofs)); }
void VESSEL::SetVisibilityLimit(double vis, double spot) const {
  say(sim, "SetVisibilityLimit " + num(vis) + " " + num(spot));
}
void VESSEL::SetAlbedoRGB(const vector3& albedo) const { say(sim, "SetAlbedoRGB " + vec(albedo)); }
void VESSEL::SetGravityGradientDamping(double d) const { say(sim, "SetGravityGradientDamping " + num(d)); }
void VESSEL::SetWingAspect(double a) const { say(sim, "SetWingAspect " + num(a)); }
void VESSEL::SetWingEffectiveness(double e) const { say(sim, "SetWingEffectiveness " + num(e)); }
void VESSEL::SetMaxWheelbrakeForce(double f) const { say(sim, "SetMaxWheelbrakeForce " + num(f)); }
void VESSEL::SetBankMomentScale(double s) const { say(sim, "SetBankMomentScale " + num(s)); }
void VESSEL::SetPitchMomentScale(double s) const { say(sim, "SetPitchMomentScale " + num(s)); }

propellant_handle VESSEL::CreatePropellantResource(double maxmass, double mass, double efficiency) const {
  sim->propellants.push_back({sim, static_cast<int>(sim->propellants.size())});
  propellant_handle h = &sim->propellants.back();
  say(sim, "CreatePropellantResource " + num(maxmass) + " " + num(mass) + " " + num(efficiency) + " -> " +
               handle_name("ph", h));
  return h;
}

thruster_handle VESSEL::CreateThruster(const vector3& pos, const vector3& dir, double maxth,
                                       propellant_handle ph, double isp, double isp_ref,
                                       double p_ref) const {
  sim->thrusters.push_back({sim, static_cast<int>(sim->thrusters.size())});
  thruster_handle h = &sim->thrusters.back();
  say(sim, "CreateThruster pos " + vec(pos) + " dir " + vec(dir) + " thrust " + num(maxth) + " " +
               own_handle(sim, "ph", ph) + " isp " + num(isp) + " isp_ref " + num(isp_ref) + " p_ref " +
               num(p_ref) + " -> " + handle_name("th", h));
  return h;
}

thgroup_handle VESSEL::CreateThrusterGroup(const thruster_handle* list, int count, thgroup_type type) const {
  std::string members = "[";
  for (int i = 0; list && i < count; i++) members += (i ? " " : "") + own_handle(sim, "th", list[i]);
  sim->groups.push_back({sim, static_cast<int>(sim->groups.size())});
  thgroup_handle h = &sim->groups.back();
  say(sim, "CreateThrusterGroup " + group_type_text(type) + " " + members + "] -> " + handle_name("tg", h));
  return h;
}

unsigned int VESSEL::AddExhaust(thruster_handle th, double length, double width) const {
  say(sim, "AddExhaust " + own_handle(sim, "th", th) + " length " + num(length) + " width " + num(width) +
               " -> " + std::to_string(sim->exhausts));
  return sim->exhausts++;
}

unsigned int VESSEL::AddExhaust(thruster_handle th, double length, double width, const vector3& pos,
                                const vector3& dir) const {
  say(sim, "AddExhaust " + own_handle(sim, "th", th) + " length " + num(length) + " width " + num(width) +
               " pos " + vec(pos) + " dir " + vec(dir) + " -> " + std::to_string(sim->exhausts));
  return sim->exhausts++;
}

unsigned int VESSEL::AddMesh(mesh_handle mesh, const vector3* ofs) const {
  say(sim, "AddMesh " + handle_name("mesh", mesh) + (ofs ? " offset " + vec(*ofs) : std::string()) + " -> " +
               std::to_string(sim->meshes));
  return sim->meshes++;
}

void VESSEL::SetMeshVisibilityMode(unsigned int mesh, uint16_t mode) const {
  say(sim, "SetMeshVisibilityMode " + index_text(mesh) + " " + std::to_string(mode) +
               (mesh < static_cast<unsigned int>(sim->meshes) ? "" : " invalid-mesh"));
}

unsigned int VESSEL::CreateAnimation(double initial_state) const {
  say(sim, "CreateAnimation " + num(initial_state) + " -> anim" + std::to_string(sim->animations));
  return sim->animations++;
}

anim_comp_handle VESSEL::AddAnimationComponent(unsigned int anim, double state0, double state1,
                                               anim_transform* t, anim_comp_handle parent) const {
  if (anim >= static_cast<unsigned int>(sim->animations) || !t) {
    say(sim, "AddAnimationComponent " + std::to_string(anim) + " refused");
    return nullptr;
  }
  sim->comps.push_back({sim, static_cast<int>(sim->comps.size())});
  anim_comp_handle h = &sim->comps.back();
  std::string what = std::string(transform_names[t->kind]) + " mesh " + index_text(t->mesh) + " groups " +
                     index_list(t->groups, t->group_count);
  if (t->kind == transform_rotation)
    what += " ref " + vec(t->ref) + " axis " + vec(t->axis) + " angle " + num(t->angle);
  else if (t->kind == transform_translation)
    what += " shift " + vec(t->axis);
  else
    what += " ref " + vec(t->ref) + " scale " + vec(t->axis);
  say(sim, "AddAnimationComponent anim" + std::to_string(anim) + " " + num(state0) + " " + num(state1) + " " +
               what + " parent " + own_handle(sim, "comp", parent) + " -> " + handle_name("comp", h));
  return h;
}

bool VESSEL::SetAnimation(unsigned int anim, double state) const {
  bool known = anim < static_cast<unsigned int>(sim->animations);
  say(sim, "SetAnimation " + (known ? "anim" + std::to_string(anim) : "invalid-anim") + " " + num(state));
  return known;
}

void VESSEL::AddBeacon(beacon_params* b) const {
  say(sim, "AddBeacon shape " + std::to_string(b->shape) + " pos " + vec(*b->pos) + " col " + vec(*b->col) +
               " size " + num(b->size) + " falloff " + num(b->falloff) + " period " + num(b->period) +
               " duration " + num(b->duration) + " tofs " + num(b->tofs) + " active " + boolean(b->active) +
               " -> beacon" + std::to_string(sim->beacons.size()));
  sim->beacons.push_back(b);
}

dock_handle VESSEL::CreateDock(const vector3& pos, const vector3& dir, const vector3& rot) const {
  sim->docks.push_back({sim, static_cast<int>(sim->docks.size())});
  dock_handle h = &sim->docks.back();
  say(sim, "CreateDock pos " + vec(pos) + " dir " + vec(dir) + " rot " + vec(rot) + " -> " + handle_name("dock", h));
  return h;
}

airfoil_handle VESSEL::CreateAirfoil3(airfoil_orientation o, const vector3& ref, airfoil_coeff_func cf,
                                      void* context, double chord, double area, double aspect) const {
  sim->airfoils.push_back({sim, static_cast<int>(sim->airfoils.size()), o, cf, context});
  airfoil_handle h = &sim->airfoils.back();
  say(sim, std::string("CreateAirfoil3 ") + (o == airfoil_vertical ? "vertical" : "horizontal") + " ref " +
               vec(ref) + " chord " + num(chord) + " area " + num(area) + " aspect " + num(aspect) + " -> " +
               handle_name("af", h));
  return h;
}

ctrlsurf_handle VESSEL::CreateControlSurface(int type, double area, double dcl, const vector3& ref, int axis,
                                             unsigned int anim) const {
  sim->ctrlsurfs.push_back({sim, static_cast<int>(sim->ctrlsurfs.size())});
  ctrlsurf_handle h = &sim->ctrlsurfs.back();
  std::string a = anim == anim_none ? "none"
                  : anim < static_cast<unsigned int>(sim->animations) ? "anim" + std::to_string(anim)
                                                                       : "invalid-anim";
  say(sim, "CreateControlSurface type " + std::to_string(type) + " area " + num(area) + " dcl " + num(dcl) +
               " ref " + vec(ref) + " axis " + std::to_string(axis) + " anim " + a + " -> " +
               handle_name("cs", h));
  return h;
}

void VESSEL::CreateVariableDragElement(const double* drag, double factor, const vector3& ref) const {
  say(sim, "CreateVariableDragElement drag " + (drag ? num(*drag) : std::string("none")) + " factor " +
               num(factor) + " ref " + vec(ref) + " -> drag" + std::to_string(sim->drag_elements.size()));
  sim->drag_elements.push_back(drag);
}

void VESSEL::SetCameraDefaultDirection(const vector3& dir) const { say(sim, "SetCameraDefaultDirection " + vec(dir)); }
void VESSEL::SetCameraShiftRange(const vector3& fwd, const vector3& left, const vector3& right) const {
  say(sim, "SetCameraShiftRange " + vec(fwd) + " " + vec(left) + " " + vec(right));
}

void VESSEL::SaveDefaultState(scn_handle scn) const {
  for (const std::string& line : sim->default_state) {
    size_t blank = line.find(' ');
    vapiWriteScenarioLine(scn, line.substr(0, blank).c_str(),
                          blank == std::string::npos ? "" : line.substr(blank + 1).c_str());
  }
}

void VESSEL::ParseScenarioLineEx(const char* line, void* status) const {
  say(sim, "ParseScenarioLineEx " + quoted(line));
  sim->default_state.push_back(line);
}

// --- VESSEL2: the simulator's default behaviour --------------------------------------------------
VESSEL2::VESSEL2(obj_handle hvessel, int flightmodel) : VESSEL(hvessel, flightmodel) {}
void VESSEL2::clbkSetClassCaps(void* cfg) {}
void VESSEL2::clbkSaveState(scn_handle scn) { SaveDefaultState(scn); }
void VESSEL2::clbkLoadStateEx(scn_handle scn, void* status) {
  const char* line;
  while (vapiReadScenarioLine(scn, line)) ParseScenarioLineEx(line, status);
}
void VESSEL2::clbkPreStep(double simt, double simdt, double mjd) {}
void VESSEL2::clbkPostStep(double simt, double simdt, double mjd) {}
bool VESSEL2::clbkDrawHUD(int mode, hud_surface* surface) {
  say(sim, "default HUD mode " + std::to_string(mode));
  return true;
}
int VESSEL2::clbkConsumeBufferedKey(unsigned int key, bool down, const char* kstate) { return 0; }
bool VESSEL2::clbkLoadVC(int id) { return false; }

// --- vapi ------------------------------------------------------------------------------------------
mesh_handle vapiLoadMeshGlobal(const char* name) {
  std::unique_ptr<sim_mesh>& m = meshes.by_name[name];
  if (!m) {
    bool found = !install_path(".", std::string("Meshes/") + name + ".msh").empty();
    m.reset(new sim_mesh{name, found, static_cast<int>(meshes.by_name.size()) - 1});
  }
  say(sim_current(), "vapiLoadMeshGlobal " + quoted(name) + " -> " + handle_name("mesh", m.get()) +
                         (m->found ? " found" : " missing"));
  return m.get();
}

double vapiGetInducedDrag(double cl, double aspect, double eff) {
  return cl * cl / (3.14159265358979323846 * aspect * eff);
}

double vapiGetWaveDrag(double mach, double m1, double m2, double m3, double cmax) {
  if (mach < m1) return 0;
  if (mach < m2) return cmax * (mach - m1) / (m2 - m1);
  if (mach < m3) return cmax;
  return cmax * m3 / mach;
}

void vapiVCSetNeighbours(int left, int right, int top, int bottom) {
  sim_vessel* v = sim_current();
  if (v) {
    const int n[4] = {left, right, top, bottom};
    std::copy(n, n + 4, v->vc_neighbours);
  }
  say(v, "vapiVCSetNeighbours " + std::to_string(left) + " " + std::to_string(right) + " " +
             std::to_string(top) + " " + std::to_string(bottom));
}

void vapiVCRegisterHUD(const vc_hud_params* hud) {
  say(sim_current(), "vapiVCRegisterHUD mesh " + index_text(hud->mesh) + " group " + index_text(hud->group) +
                         " center " + vec(hud->center) + " size " + num(hud->size));
}

void vapiVCRegisterMFD(int mfd, const vc_mfd_params* screen) {
  say(sim_current(), "vapiVCRegisterMFD " + std::to_string(mfd) + " mesh " + index_text(screen->mesh) +
                         " group " + index_text(screen->group));
}

void vapiWriteScenarioLine(scn_handle scn, const char* key, const char* value) {
  std::string line = *value ? std::string(key) + " " + value : std::string(key);
  scn->written.push_back(line);
  say(sim_current(), "saved " + line);
}

bool vapiReadScenarioLine(scn_handle scn, const char*& line) {
  if (!scn->lines || scn->next >= scn->lines->size()) return false;
  scn->current = (*scn->lines)[scn->next++];
  line = scn->current.c_str();
  return true;
}

void vapiHUDText(hud_surface* surface, int x, int y, const char* text) {
  say(surface->owner, "HUD text " + std::to_string(x) + " " + std::to_string(y) + " " + quoted(text));
}
