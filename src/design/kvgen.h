// kvgen: every operation on the vessel design.
//
// Add and delete elements, thruster groups and tanks, points edited in the 3D
// controls, animations and their playback, reset, and the per-frame update.
// Each operation takes the design it acts on; the program passes the global
// `design` of kvvar, the tests their own.
//
// Builds on: kvvar (record), vrkdll_format (records), maths.
//
// Sections: reset and frame update; fuel tanks and thrusters; thruster groups;
// exhausts and meshes; animations; VC views; touchdown sets, beacons, docks,
// aero elements; points; copy and mirror.
//
// Notes:
//   - an index out of range makes an operation do nothing; adds return the new
//     index, or -1 when the add is refused
//   - references stay valid: deleting a tank or a thruster renumbers the
//     thrusters and exhausts that refer to later elements, and removes the
//     exhausts of a deleted thruster; deleting a mesh drops the components
//     and MFD bindings on it and renumbers later meshes; deleting an animation
//     turns the gear and aero references to it into none (-1)
//   - after a mesh or an animation is deleted the preview is told the whole
//     design again, as its indices have moved
//   - every count in the header follows its array
//   - every operation and setter that changes the design the preview shows
//     reports what it changed: the preview's markers follow at once, and the
//     report waits in reported_changes for the editor (undo, the pages)
//   - playback, the frame update and the animation position are run-time
//     state and report nothing
#pragma once
#include <string>
#include <vector>
#include "design/kvvar.h"
#include "design/preview_calls.h"

// --- The change report ------------------------------------------------------------------
enum change_part : int {                             // what changed: the header, an array (block order), everything
  change_header = -1, change_fuel_tanks = 0, change_thrusters, change_exhausts, change_meshes, change_anims,
  change_vc_views, change_touchdown, change_beacons, change_docks, change_crew, change_aero, change_whole };
struct design_change {
  int part = change_whole;                           // change_part
  int index = -1;                                    // the element; -1 the whole array (or none)
  bool operator==(const design_change&) const = default;
};
extern std::vector<design_change> reported_changes;  // appended by the operations, taken by the editor
std::vector<design_change> take_changes();           // the reports so far; none are left
int marker_kind_of(int part);                        // point kind whose markers show the part, -1 none

// --- Setters: one field of the header, or of element `index` of an array -------------------
// Each stores the value, when it differs from the stored one, and reports the change; returns whether it did.
bool set_header_value(vessel_design& d, double design_header::*field, double value);
bool set_header_value(vessel_design& d, int32_t design_header::*field, int32_t value);
bool set_header_axis(vessel_design& d, stored_vec3 design_header::*field, int axis, double value); // axis 0..2
bool set_header_name(vessel_design& d, char (design_header::*field)[255], const std::string& value); // cut to 254
template <class E> bool set_element_value(vessel_design& d, int index, double E::*field, double value);
template <class E> bool set_element_value(vessel_design& d, int index, int32_t E::*field, int32_t value);
template <class E> bool set_element_axis(vessel_design& d, int index, stored_vec3 E::*field, int axis, double value);
bool set_vc_view_axis(vessel_design& d, int view, stored_vec3 vc_view::*field, int axis, double value); // of view's stored part

// --- Reset and frame update ------------------------------------------------------------
void reset_design(vessel_design& d);                 // blank header, empty arrays, one crew element
void reset_animations(vessel_design& d);             // every state -2, position 0 (before a save)
void update_design_frame(vessel_design& d, double dt); // design time, airlock from dock 0, playback
void advance_animations(vessel_design& d, double dt); // one playback step of every playing animation
void sync_airlock(vessel_design& d);                 // crew airlock from dock 0 while a dock exists
void after_load(vessel_design& d);                   // meshes and animations to the preview, play flags, crew
void replace_design(vessel_design& d, vessel_design&& loaded); // d takes loaded's contents; the preview is told it all
void replace_contents(vessel_design& d, const design_header& h, vrkdll_data&& data); // same meshes and animations: the preview keeps them
void relink_preview(vessel_design& d);               // the preview forgets everything and is told it all again
enum design_flag : int { flag_needs_pilot, flag_payload_manager, flag_transponder, flag_have_vc };
void set_design_flag(vessel_design& d, design_flag flag, bool on); // the header's 0/1 switches
bool design_flag_set(const vessel_design& d, design_flag flag);

// --- Fuel tanks and thrusters -----------------------------------------------------------
int  add_fuel_tank(vessel_design& d, double max_mass);  // returns the index
bool delete_fuel_tank(vessel_design& d, int index);     // refused for the last tank; renumbers thrusters
int  add_thruster(vessel_design& d, const vec3& pos, const vec3& dir, int tank,
                  const std::vector<int>& groups, double max_thrust, double isp); // first 8 groups kept
int  add_editor_thruster(vessel_design& d, double max_thrust, double isp); // at 0,0,0 along +z, MAIN
bool delete_thruster(vessel_design& d, int index);      // removes its exhausts, renumbers the others
int  set_thruster_tank(vessel_design& d, int thruster, int tank); // out of range becomes 0; returns the stored value
void assign_thruster_tank(vessel_design& d, int thruster, int tank); // both must be valid ("Set current")
void add_default_rcs(vessel_design& d, double thrust, double isp); // the 14 attitude thrusters
constexpr double editor_add_thrust = 40000000.0;     // initial "Add Thrust:" value, N
constexpr double editor_add_isp = 4500.0;            // initial "Add ISP:" value, m/s
constexpr double editor_tank_mass = 4500.0;          // "Add" on the fuel tank page, kg
constexpr double standard_p_ref = 100000.0;          // reference pressure of every thruster, Pa

// --- Thruster groups ----------------------------------------------------------------------
bool thruster_in_group(const vessel_design& d, int thruster, int id); // id is in groups
void thruster_group_add(vessel_design& d, int thruster, int id);   // into the first free slot
void thruster_group_remove(vessel_design& d, int thruster, int id); // frees every slot holding id

// --- Exhausts and meshes --------------------------------------------------------------------
int add_exhaust(vessel_design& d, int thruster, double length, double width); // attached (mode 0)
int add_exhaust(vessel_design& d, int thruster, double length, double width,
                const vec3& pos, const vec3& dir);   // free (mode 1)
bool delete_exhaust(vessel_design& d, int index);
void set_exhaust_mode(vessel_design& d, int exhaust, int mode); // exhaust_attached or exhaust_free
bool set_exhaust_thruster(vessel_design& d, int exhaust, int thruster); // false, nothing stored, when either is missing
int  add_mesh(vessel_design& d, const std::string& name, int visibility); // loads it for the preview; may raise size
int  components_on_mesh(const vessel_design& d, int mesh); // animation components that move it
bool delete_mesh(vessel_design& d, int index);       // drops its components and bindings, renumbers the rest
void set_mesh_visibility(vessel_design& d, int mesh, int visibility); // mesh_visibility bits

// --- Animations -----------------------------------------------------------------------------
int  add_animation(vessel_design& d, int key, double rate, double position); // at rest, default_pos = position
int  add_group_list(vessel_design& d, int anim, const aointeger& groups); // n >= 1; returns the list index
int  add_component(vessel_design& d, int anim, const anim_comp& c);  // returns the component index
void update_component(vessel_design& d, int anim, int comp, const anim_comp& c); // in place
anim_comp make_component(int mesh, int type, int group_list, const vec3& ref, const vec3& axis,
                         double angle, double state0, double state1); // angle stored as f32
void set_component_range(vessel_design& d, int anim, int comp, double state0, double state1); // clamped, state0 <= state1
void play_animation(vessel_design& d, int anim);     // "Play |>"
void stop_animation(vessel_design& d, int anim);     // "Stop |=|"
void set_animation_position(vessel_design& d, int anim, double position); // clamped to 0..1; the preview follows
void set_default_position(vessel_design& d, int anim); // default_pos := position
void set_duration(vessel_design& d, int anim, double seconds); // rate := 1 / max(seconds, 0.01)
void set_gear_animation(vessel_design& d, int anim); // gear_anim := anim when it exists
void set_aero_animation(vessel_design& d, int element, int anim); // aero anim := anim when both exist
void set_animation_key(vessel_design& d, int anim, int key); // the simulator's key code
bool delete_animation(vessel_design& d, int anim);   // gear and aero references to it become none
bool add_component_group(vessel_design& d, int anim, int comp, int group); // into the component's group list
bool remove_component_group(vessel_design& d, int anim, int comp, int index); // the index-th group of it
constexpr double editor_anim_rate = 1.0;             // "Add" on the animations page: one second
constexpr double min_duration = 0.01;                // shortest animation, s

// --- VC views -----------------------------------------------------------------------------------
int add_vc_view(vessel_design& d, const vc_view& v); // mfd_count becomes 0
int add_mfd_binding(vessel_design& d, int view, int mfd, int mesh, int group);
void set_vc_camera(vessel_design& d, const vec3& camera); // "Set VC camera to current"

// --- Touchdown sets, beacons, docks, aero elements -------------------------------------------------
int  add_touchdown_set(vessel_design& d, const vec3& pt1, const vec3& pt2, const vec3& pt3); // -1 when two exist
int  add_touchdown_set(vessel_design& d);            // the editor's 0,0,5 / -5,0,-5 / 5,0,-5
bool delete_touchdown_set(vessel_design& d, int index);
beacon_def editor_beacon();                          // the values of the editor's "Add"
int  add_beacon(vessel_design& d, const beacon_def& b); // reference slots cleared
bool delete_beacon(vessel_design& d, int index);
void set_beacon_shape(vessel_design& d, int beacon, uint32_t shape); // beacon_shape
void set_beacon_active(vessel_design& d, int beacon, bool on);
int  add_dock(vessel_design& d, const vec3& pos, const vec3& dir, const vec3& rot);
int  add_dock(vessel_design& d);                     // the editor's 0,0,0 / 1,0,0 / 0,1,0
bool delete_dock(vessel_design& d, int index);
int  add_aero_element(vessel_design& d, int type = aero_lift, int kind = 0); // anim -1, numbers 0
bool delete_aero_element(vessel_design& d, int index);
void set_aero_type(vessel_design& d, int element, int type);  // aero_type
void set_aero_kind(vessel_design& d, int element, int kind);  // aero_kind of its type

// --- Points ------------------------------------------------------------------------------------------
enum point_kind : int { point_beacons = 0, point_thrusters, point_exhausts, point_docks,
                        point_touchdown, point_aero };
bool set_element_point(vessel_design& d, int kind, int point, double x, double y, double z); // false when out of range
bool element_point(const vessel_design& d, int kind, int point, vec3& out); // the same vector read; false when out of range

// --- Copy and mirror -------------------------------------------------------------------------------------
// Adds element `index` of a kind (point_thrusters, point_beacons, point_docks, point_touchdown,
// point_aero) again, or mirrored in the vessel's symmetry plane x = 0: every position and direction
// gets x negated, a thruster's groups swap YAWLEFT/YAWRIGHT, BANKLEFT/BANKRIGHT and LEFT/RIGHT, a
// touchdown set's rear left and rear right points trade places, an airfoil keeps its kind. A
// thruster keeps its tank and groups and brings copies of its own exhausts. Returns the new index,
// or -1 for another kind, an index out of range or a refused add (a third touchdown set).
int duplicate_element(vessel_design& d, int kind, int index, bool mirror);
int mirrored_group(int id);                          // the group a mirror image belongs to instead
