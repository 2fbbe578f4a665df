// vrkdll_format: the stored layout of a vessel design.
//
// One definition of every record of the design block, shared by the designer,
// the command-line tool and the vessel module, which reads the same bytes from
// the end of its own file. Every width, offset and padding byte is part of the
// file format; the static_asserts pin them down.
//
// Builds on: maths (only the plain vec3 record). Nothing here needs linking.
//
// Notes:
//   - all values are little-endian; f64 is an IEEE double, f32 an IEEE single
//   - records are packed: the padding fields are written as they stand in memory
//   - the run-time slots of anim_seq and vc_view are not part of the stored
//     records; their lists, components and bindings live in ordinary containers
//     beside the records (anim_entry, vc_view_entry)
//   - VRKDLL_ARRAYS is the one list of the element arrays: the record, the
//     block reader and writer (vrkdll_block.h), the count sync and the tool's
//     JSON all walk it, so a new array is added there and nowhere else
//   - beacon_def keeps its two 4-byte reference slots because they are stored;
//     their values mean nothing and nobody reads them
//   - design block: header, arrays in vrkdll_data order, end marker, block length
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>
#include "base/maths.h"

// --- Magic numbers and limits ------------------------------------------------------
constexpr uint32_t design_magic = 0xAEAADBCD;        // first 4 bytes of the header and the end marker
constexpr uint32_t module_image_size = 69632;        // each vessel-module image, 0x11000 bytes
constexpr uint32_t module_buffer_limit = 1048576;    // image + block must fit this working buffer
constexpr uint32_t design_trailer_size = 8;          // end marker + block length
constexpr int32_t design_name_capacity = 254;        // characters of vessel_name / dll_name
constexpr int32_t mesh_name_capacity = 255;          // characters of mesh_entry::name
constexpr int32_t thruster_group_slots = 8;          // groups one thruster can belong to
constexpr int32_t thruster_group_unused = 9999;      // an empty groups slot
constexpr int32_t element_kind_count = 11;           // arrays of vrkdll_data

// --- Thruster groups ----------------------------------------------------------------
enum thruster_group : int32_t {
  group_main = 0, group_retro, group_hover, group_pitchup, group_pitchdown,
  group_yawleft, group_yawright, group_bankleft, group_bankright,
  group_right, group_left, group_up, group_down, group_forward, group_back,
  thruster_group_id_count                            // 15 ids, 0..14
};
inline constexpr const char* thruster_group_names[thruster_group_id_count] = {
  "MAIN", "RETRO", "HOVER", "PITCHUP", "PITCHDOWN", "YAWLEFT", "YAWRIGHT",
  "BANKLEFT", "BANKRIGHT", "RIGHT", "LEFT", "UP", "DOWN", "FORWARD", "BACK"};

// --- Small codes --------------------------------------------------------------------
enum mesh_visibility : int32_t {                     // mesh_entry::visibility bits
  visibility_none = 0,
  visibility_external = 1 << 0,
  visibility_cockpit = 1 << 1,
  visibility_vc = 1 << 2,
  visibility_extpass = 1 << 4,
};
enum anim_comp_type : int32_t { comp_rotation = 0, comp_translate = 1, comp_scale = 2 };
enum exhaust_mode : int32_t { exhaust_attached = 0, exhaust_free = 1 };
enum beacon_shape : uint32_t { beacon_compact = 0, beacon_diffuse = 1, beacon_star = 2 };
enum mfd_side : int32_t { mfd_left = 0, mfd_right = 1 };
enum aero_type : int32_t { aero_lift = 0, aero_control = 1, aero_variable_drag = 2 };
enum aero_kind : int32_t {
  lift_vertical = 0, lift_horizontal = 1,            // lift surfaces
  control_elevator = 0, control_rudder = 1, control_aileron = 2, control_elevator_trim = 4,
};
enum anim_state : int32_t {                          // anim_seq::state
  anim_rest = -2, anim_closing = -1, anim_opening = 1, anim_open = 2,
};

#pragma pack(push, 1)

// A vector as the block stores it. Packed records put vectors at addresses
// that are not multiples of 8 (anim_comp::ref sits at offset 12, and every
// other vc_view of an array is 4 bytes off), where a reference to a plain vec3
// would be misaligned. This type may sit anywhere and converts to and from vec3
// by value, so `length(c.axis)` or `c.ref = make_vec(...)` read and write safely.
struct stored_vec3 {
  double x, y, z;
  stored_vec3() = default;
  constexpr stored_vec3(double vx, double vy, double vz) : x(vx), y(vy), z(vz) {}
  constexpr stored_vec3(const vec3& v) : x(v.x), y(v.y), z(v.z) {}
  constexpr operator vec3() const { return {x, y, z}; }
};

// --- Header -------------------------------------------------------------------------
struct design_header {
  uint32_t magic;                  // design_magic
  char vessel_name[255];           // display name, NUL-terminated
  char dll_name[255];              // class and file base name, NUL-terminated
  uint8_t pad0[6];
  double size;                     // vessel radius, m
  double empty_mass;               // kg
  stored_vec3 pmi;                 // principal moments of inertia per unit mass, m²
  stored_vec3 cross_sections;      // m²
  stored_vec3 rot_drag;            // rotational drag coefficients
  int32_t gear_anim;               // animation switching the touchdown sets
  uint8_t pad1[4];
  stored_vec3 vc_camera;           // virtual-cockpit camera offset, m
  double roll_friction;            // longitudinal surface friction
  double side_friction;            // lateral surface friction
  double cw_z_pos;                 // drag coefficient forward
  double cw_z_neg;                 // drag coefficient backward
  double cw_x;                     // drag coefficient sideways
  double cw_y;                     // drag coefficient vertical
  double pitch_moment_scale;
  double bank_moment_scale;
  int32_t transponder;             // 1 = enabled
  int32_t nav_radios;              // number of navigation radios
  int32_t payload_manager;         // 1 = module with the Payload Manager
  int32_t needs_pilot;             // 1 = needs a pilot
  double design_time;              // seconds spent in the editor
  uint32_t albedo;                 // packed colour, R in the low byte
  uint8_t pad2[4];
  double gravgrad_damp;            // gravity-gradient damping
  double wing_aspect;
  double wing_effectiveness;
  double max_wheelbrake;           // N
  double vis_limit;
  double spot_limit;
  int32_t have_vc;                 // 1 = has a virtual cockpit
  int32_t fuel_tank_count;         // elements of fuel_tanks
  int32_t thruster_count;          // elements of thrusters
  int32_t thruster_group_count;    // largest group id given to an added thruster + 1
  int32_t exhaust_count;           // elements of exhausts
  int32_t mesh_count;              // elements of meshes
  int32_t anim_seq_count;          // elements of anim_seqs
  int32_t vc_view_count;           // elements of vc_views
  int32_t touchdown_set_count;     // elements of touchdown_sets
  int32_t beacon_count;            // elements of beacons
  int32_t dock_count;              // elements of docks
  int32_t crew_count;              // elements of crew (always 1)
  int32_t aero_element_count;      // elements of aero_elements
  uint8_t pad3[4];
};

// --- Element records ----------------------------------------------------------------
struct fuel_tank {
  double max_mass;                 // kg
};

struct thruster_def {
  stored_vec3 pos;                 // thrust application point, m
  stored_vec3 dir;                 // thrust direction, unit vector
  double max_thrust;               // N
  double isp;                      // exhaust velocity, m/s
  double isp_ref;                  // at the reference pressure; 0 = no pressure dependence
  double p_ref;                    // reference pressure, Pa
  int32_t tank;                    // index into fuel_tanks
  int32_t groups[8];               // group ids in order of adding; 9999 = unused
  uint8_t pad0[4];
};

struct exhaust_def {
  int32_t thruster;                // index into thrusters
  uint8_t pad0[4];
  int32_t mode;                    // exhaust_mode
  uint8_t pad1[4];
  double length;                   // m
  double width;                    // m
  stored_vec3 pos;                 // flame position (free mode)
  stored_vec3 dir;                 // flame direction (free mode)
};

struct mesh_entry {
  char name[256];                  // path below the meshes folder, no ".msh", NUL-terminated
  int32_t reserved1;               // 0 for every mesh the designer creates
  int32_t reserved2;               // 0
  int32_t visibility;              // mesh_visibility bits
};

struct anim_seq {                  // the stored part; lists and components live beside it
  int32_t reserved_a;              // 0; the module's animation handle at run time
  int32_t reserved_b;              // 0
  int32_t key;                     // keyboard scan code in the simulator
  int32_t state;                   // anim_state
  double rate;                     // 1 / duration in seconds
  double position;                 // current position, 0..1
  double default_pos;              // starting position in the simulator, 0..1
  int32_t group_list_count;        // group lists that follow in the block
  int32_t comp_count;              // components that follow in the block
};

struct anim_comp {                 // the stored part of a component
  int32_t mesh;                    // index into meshes
  int32_t type;                    // anim_comp_type
  int32_t group_list;              // index of a group list of the same animation
  stored_vec3 ref;                 // reference point (rotation, scaling)
  stored_vec3 axis;                // rotation axis, shift or scale factors
  float angle;                     // rotation angle, radians
  double state0;                   // position where the component starts
  double state1;                   // position where it ends, >= state0
};

struct vc_view {                   // the stored part; bindings live beside it
  stored_vec3 cam_pos;             // camera offset, m
  stored_vec3 cam_dir;             // default view direction
  stored_vec3 shift_fwd;           // shift range forward
  stored_vec3 shift_left;          // shift range left
  stored_vec3 shift_right;         // shift range right
  int32_t neighbours[4];           // left, right, top, bottom; -1 = none
  int32_t hud_mesh;                // -1 = none
  int32_t hud_group;               // -1 = none
  stored_vec3 hud_center;          // m
  double hud_size;                 // m
  int32_t mfd_count;               // bindings that follow in the block
};

struct vc_mfd_bind {
  int32_t mesh;                    // index into meshes
  int32_t group;                   // mesh group of the screen
  int32_t mfd;                     // mfd_side
};

struct touchdown_set {
  stored_vec3 pt1;                 // front
  stored_vec3 pt2;                 // rear left
  stored_vec3 pt3;                 // rear right
};

struct beacon_def {
  uint32_t shape;                  // beacon_shape
  uint32_t pos_ref;                // stored reference slot; meaningless
  uint32_t col_ref;                // stored reference slot; meaningless
  uint8_t pad0[4];
  double size;                     // m
  double falloff;
  double period;                   // s; 0 = steady
  double duration;                 // s
  double tofs;                     // time offset, s
  uint8_t active;                  // 1 = on
  uint8_t pad1[7];
  stored_vec3 pos;                 // m
  stored_vec3 col;                 // colour, 0..1
};

struct dock_def {
  stored_vec3 pos;                 // port position
  stored_vec3 dir;                 // approach direction
  stored_vec3 rot;                 // reference rotation direction
};

struct crew_def {
  stored_vec3 airlock_pos;         // from dock 0 while a dock exists
  stored_vec3 airlock_rot;         // from dock 0 while a dock exists
  stored_vec3 airlock_size;        // 1,1,1 while a dock exists
  int32_t max_crew;
  uint8_t pad0[4];
};

struct aero_def {
  int32_t type;                    // aero_type
  int32_t anim;                    // animation index; -1 = none
  int32_t kind;                    // aero_kind
  int32_t ctrl_axis;               // 0 = automatic
  double chord;                    // chord / lift shift / drag factor
  double area;                     // m²
  double aspect;                   // wing aspect ratio
  stored_vec3 pos;                 // attack point, m
};

#pragma pack(pop)

// --- Element arrays ---------------------------------------------------------------------
// One animation: its stored record, the lists its components move, its components.
struct anim_entry {
  anim_seq seq;                                   // group_list_count and comp_count match the vectors
  std::vector<std::vector<int32_t>> group_lists;  // mesh group indices per list
  std::vector<anim_comp> comps;                   // components in list order
};

// One virtual-cockpit view and its MFD bindings.
struct vc_view_entry {
  vc_view view;                                   // mfd_count matches mfds
  std::vector<vc_mfd_bind> mfds;                  // MFD screens of this view
};

// The element arrays in block order, one line each:
// X(member, element type, header count field, name in messages, elements of the blank design)
#define VRKDLL_ARRAYS(X)                                                   \
  X(fuel_tanks, fuel_tank, fuel_tank_count, "fuel tank", 0)               \
  X(thrusters, thruster_def, thruster_count, "thruster", 0)               \
  X(exhausts, exhaust_def, exhaust_count, "exhaust", 0)                   \
  X(meshes, mesh_entry, mesh_count, "mesh", 0)                            \
  X(anim_seqs, anim_entry, anim_seq_count, "animation", 0)                \
  X(vc_views, vc_view_entry, vc_view_count, "VC view", 0)                 \
  X(touchdown_sets, touchdown_set, touchdown_set_count, "touchdown set", 0) \
  X(beacons, beacon_def, beacon_count, "beacon", 0)                       \
  X(docks, dock_def, dock_count, "dock", 0)                               \
  X(crew, crew_def, crew_count, "crew", 1)                                \
  X(aero_elements, aero_def, aero_element_count, "aero element", 0)

// The element arrays of a design; a default-constructed one is the blank design's.
struct vrkdll_data {
#define VRKDLL_MEMBER(member, element, count, label, blank) std::vector<element> member = std::vector<element>(blank);
  VRKDLL_ARRAYS(VRKDLL_MEMBER)
#undef VRKDLL_MEMBER
};

// --- Layout checks --------------------------------------------------------------------
#define VRKDLL_ONE(...) +1
static_assert(0 VRKDLL_ARRAYS(VRKDLL_ONE) == element_kind_count);
#undef VRKDLL_ONE
static_assert(sizeof(vec3) == 24);
static_assert(sizeof(stored_vec3) == 24 && alignof(stored_vec3) == 1);
static_assert(sizeof(design_header) == 840);
static_assert(offsetof(design_header, vessel_name) == 4);
static_assert(offsetof(design_header, dll_name) == 259);
static_assert(offsetof(design_header, size) == 520);
static_assert(offsetof(design_header, empty_mass) == 528);
static_assert(offsetof(design_header, pmi) == 536);
static_assert(offsetof(design_header, cross_sections) == 560);
static_assert(offsetof(design_header, rot_drag) == 584);
static_assert(offsetof(design_header, gear_anim) == 608);
static_assert(offsetof(design_header, vc_camera) == 616);
static_assert(offsetof(design_header, roll_friction) == 640);
static_assert(offsetof(design_header, side_friction) == 648);
static_assert(offsetof(design_header, cw_z_pos) == 656);
static_assert(offsetof(design_header, cw_z_neg) == 664);
static_assert(offsetof(design_header, cw_x) == 672);
static_assert(offsetof(design_header, cw_y) == 680);
static_assert(offsetof(design_header, pitch_moment_scale) == 688);
static_assert(offsetof(design_header, bank_moment_scale) == 696);
static_assert(offsetof(design_header, transponder) == 704);
static_assert(offsetof(design_header, nav_radios) == 708);
static_assert(offsetof(design_header, payload_manager) == 712);
static_assert(offsetof(design_header, needs_pilot) == 716);
static_assert(offsetof(design_header, design_time) == 720);
static_assert(offsetof(design_header, albedo) == 728);
static_assert(offsetof(design_header, gravgrad_damp) == 736);
static_assert(offsetof(design_header, wing_aspect) == 744);
static_assert(offsetof(design_header, wing_effectiveness) == 752);
static_assert(offsetof(design_header, max_wheelbrake) == 760);
static_assert(offsetof(design_header, vis_limit) == 768);
static_assert(offsetof(design_header, spot_limit) == 776);
static_assert(offsetof(design_header, have_vc) == 784);
static_assert(offsetof(design_header, fuel_tank_count) == 788);
static_assert(offsetof(design_header, thruster_count) == 792);
static_assert(offsetof(design_header, thruster_group_count) == 796);
static_assert(offsetof(design_header, exhaust_count) == 800);
static_assert(offsetof(design_header, mesh_count) == 804);
static_assert(offsetof(design_header, anim_seq_count) == 808);
static_assert(offsetof(design_header, vc_view_count) == 812);
static_assert(offsetof(design_header, touchdown_set_count) == 816);
static_assert(offsetof(design_header, beacon_count) == 820);
static_assert(offsetof(design_header, dock_count) == 824);
static_assert(offsetof(design_header, crew_count) == 828);
static_assert(offsetof(design_header, aero_element_count) == 832);

static_assert(sizeof(fuel_tank) == 8);

static_assert(sizeof(thruster_def) == 120);
static_assert(offsetof(thruster_def, dir) == 24);
static_assert(offsetof(thruster_def, max_thrust) == 48);
static_assert(offsetof(thruster_def, isp) == 56);
static_assert(offsetof(thruster_def, isp_ref) == 64);
static_assert(offsetof(thruster_def, p_ref) == 72);
static_assert(offsetof(thruster_def, tank) == 80);
static_assert(offsetof(thruster_def, groups) == 84);

static_assert(sizeof(exhaust_def) == 80);
static_assert(offsetof(exhaust_def, mode) == 8);
static_assert(offsetof(exhaust_def, length) == 16);
static_assert(offsetof(exhaust_def, width) == 24);
static_assert(offsetof(exhaust_def, pos) == 32);
static_assert(offsetof(exhaust_def, dir) == 56);

static_assert(sizeof(mesh_entry) == 268);
static_assert(offsetof(mesh_entry, reserved1) == 256);
static_assert(offsetof(mesh_entry, reserved2) == 260);
static_assert(offsetof(mesh_entry, visibility) == 264);

static_assert(sizeof(anim_seq) == 48);
static_assert(offsetof(anim_seq, reserved_b) == 4);
static_assert(offsetof(anim_seq, key) == 8);
static_assert(offsetof(anim_seq, state) == 12);
static_assert(offsetof(anim_seq, rate) == 16);
static_assert(offsetof(anim_seq, position) == 24);
static_assert(offsetof(anim_seq, default_pos) == 32);
static_assert(offsetof(anim_seq, group_list_count) == 40);
static_assert(offsetof(anim_seq, comp_count) == 44);

static_assert(sizeof(anim_comp) == 80);
static_assert(offsetof(anim_comp, type) == 4);
static_assert(offsetof(anim_comp, group_list) == 8);
static_assert(offsetof(anim_comp, ref) == 12);
static_assert(offsetof(anim_comp, axis) == 36);
static_assert(offsetof(anim_comp, angle) == 60);
static_assert(offsetof(anim_comp, state0) == 64);
static_assert(offsetof(anim_comp, state1) == 72);

static_assert(sizeof(vc_view) == 180);
static_assert(offsetof(vc_view, cam_dir) == 24);
static_assert(offsetof(vc_view, shift_fwd) == 48);
static_assert(offsetof(vc_view, shift_left) == 72);
static_assert(offsetof(vc_view, shift_right) == 96);
static_assert(offsetof(vc_view, neighbours) == 120);
static_assert(offsetof(vc_view, hud_mesh) == 136);
static_assert(offsetof(vc_view, hud_group) == 140);
static_assert(offsetof(vc_view, hud_center) == 144);
static_assert(offsetof(vc_view, hud_size) == 168);
static_assert(offsetof(vc_view, mfd_count) == 176);

static_assert(sizeof(vc_mfd_bind) == 12);
static_assert(offsetof(vc_mfd_bind, group) == 4);
static_assert(offsetof(vc_mfd_bind, mfd) == 8);

static_assert(sizeof(touchdown_set) == 72);
static_assert(offsetof(touchdown_set, pt2) == 24);
static_assert(offsetof(touchdown_set, pt3) == 48);

static_assert(sizeof(beacon_def) == 112);
static_assert(offsetof(beacon_def, pos_ref) == 4);
static_assert(offsetof(beacon_def, col_ref) == 8);
static_assert(offsetof(beacon_def, size) == 16);
static_assert(offsetof(beacon_def, falloff) == 24);
static_assert(offsetof(beacon_def, period) == 32);
static_assert(offsetof(beacon_def, duration) == 40);
static_assert(offsetof(beacon_def, tofs) == 48);
static_assert(offsetof(beacon_def, active) == 56);
static_assert(offsetof(beacon_def, pos) == 64);
static_assert(offsetof(beacon_def, col) == 88);

static_assert(sizeof(dock_def) == 72);
static_assert(offsetof(dock_def, dir) == 24);
static_assert(offsetof(dock_def, rot) == 48);

static_assert(sizeof(crew_def) == 80);
static_assert(offsetof(crew_def, airlock_rot) == 24);
static_assert(offsetof(crew_def, airlock_size) == 48);
static_assert(offsetof(crew_def, max_crew) == 72);

static_assert(sizeof(aero_def) == 64);
static_assert(offsetof(aero_def, anim) == 4);
static_assert(offsetof(aero_def, kind) == 8);
static_assert(offsetof(aero_def, ctrl_axis) == 12);
static_assert(offsetof(aero_def, chord) == 16);
static_assert(offsetof(aero_def, area) == 24);
static_assert(offsetof(aero_def, aspect) == 32);
static_assert(offsetof(aero_def, pos) == 40);
