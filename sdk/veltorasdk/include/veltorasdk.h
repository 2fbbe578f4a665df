// veltorasdk: the simulator's development kit for vessel modules.
//
// What a vessel module sees of the simulator: the vessel classes VESSEL (the
// calls a module makes to describe and move its vessel) and VESSEL2 (the
// callbacks the simulator makes, each with a default behaviour), the vapi
// functions, and the entry points a module exports. The simulator executable
// implements and exports everything declared here; a module links against it
// when the simulator loads the module.
//
// Builds on: nothing (self-contained, standard headers only).
//
// Notes:
//   - vectors are in the vessel frame: +z forward, +y up, +x right; metres
//   - handles are opaque; a null handle means "none"
//   - records handed to the simulator by pointer (transforms, beacons, drag
//     factors, coefficient contexts) must stay alive as long as the vessel
//   - key codes are keyboard scan codes; the key state passed with a key holds
//     0x80 for every key held down
#pragma once
#include <cstdint>

// VELTORA_EXPORT marks a module's entry points; VELTORA_API what the simulator
// exports to modules (on Windows, a module imports it from the simulator's
// executable; elsewhere the loader resolves it against the executable).
#ifdef _WIN32
#define VELTORA_EXPORT extern "C" __declspec(dllexport)
#ifdef VELTORA_SIMULATOR
#define VELTORA_API __declspec(dllexport)
#else
#define VELTORA_API __declspec(dllimport)
#endif
#else
#define VELTORA_EXPORT extern "C" __attribute__((visibility("default")))
#define VELTORA_API
#endif

// --- Values and handles --------------------------------------------------------------
struct vector3 { double x, y, z; };                 // a vector of the vessel frame

typedef struct sim_vessel* obj_handle;             // a simulated vessel
typedef struct sim_module* module_handle;          // a loaded module
typedef struct sim_propellant* propellant_handle;  // a propellant resource
typedef struct sim_thruster* thruster_handle;      // a thruster
typedef struct sim_thgroup* thgroup_handle;        // a thruster group
typedef struct sim_mesh* mesh_handle;              // a mesh loaded for every vessel
typedef struct sim_anim_comp* anim_comp_handle;    // an animation component
typedef struct sim_dock* dock_handle;              // a docking port
typedef struct sim_airfoil* airfoil_handle;        // a lift surface
typedef struct sim_ctrlsurf* ctrlsurf_handle;      // a control surface
typedef struct sim_scenario* scn_handle;           // a scenario file being read or written
typedef struct sim_editor* editor_handle;          // the scenario editor
typedef struct hud_surface hud_surface;            // what the head-up display draws on

constexpr unsigned int mesh_none = 0xFFFFFFFFu;    // "no mesh" where a mesh index is asked
constexpr unsigned int anim_none = 0xFFFFFFFFu;    // "no animation" where an animation is asked

// --- Thruster groups -------------------------------------------------------------------
enum thgroup_type {                                 // what a thruster group does
  thgroup_main, thgroup_retro, thgroup_hover,
  thgroup_pitchup, thgroup_pitchdown, thgroup_yawleft, thgroup_yawright,
  thgroup_bankleft, thgroup_bankright,
  thgroup_right, thgroup_left, thgroup_up, thgroup_down, thgroup_forward, thgroup_back,
  thgroup_user = 100                                // a group the module drives itself
};

// --- Mesh visibility ----------------------------------------------------------------------
enum meshvis_mode : uint16_t {                      // bits of SetMeshVisibilityMode
  meshvis_never = 0, meshvis_external = 1, meshvis_cockpit = 2, meshvis_vc = 4,
  meshvis_extpass = 16
};

// --- Animation transforms ------------------------------------------------------------------
enum transform_kind { transform_rotation, transform_translation, transform_scaling };

// How one animation component moves mesh groups; one record for the three kinds.
struct anim_transform {
  transform_kind kind;            // rotation, translation or scaling
  unsigned int mesh;              // mesh index (AddMesh), or mesh_none
  const unsigned int* groups;     // group indices of that mesh
  unsigned int group_count;       // number of group indices
  vector3 ref;                    // rotation and scaling: reference point
  vector3 axis;                   // rotation: axis; translation: shift; scaling: factors
  float angle;                    // rotation: angle, radians
};

// --- Lights, aerodynamics, virtual cockpit --------------------------------------------------
struct beacon_params {            // a beacon light; pos and col are read every frame
  uint32_t shape;                 // 0 compact, 1 diffuse, 2 star
  const vector3* pos;             // position
  const vector3* col;             // colour, components 0..1
  double size;                    // m
  double falloff;                 // brightness falloff
  double period;                  // s; 0 = steady
  double duration;                // s, lit part of a period
  double tofs;                    // s, time offset
  bool active;                    // lit
};

enum airfoil_orientation { airfoil_vertical = 0, airfoil_horizontal = 1 };

class VESSEL;
// Lift, moment and drag coefficients of a lift surface at the angle of attack
// (vertical) or sideslip (horizontal) aoa, radians, Mach number and Reynolds number.
typedef void (*airfoil_coeff_func)(VESSEL* v, double aoa, double mach, double reynolds,
                                   void* context, double* cl, double* cm, double* cd);

struct vc_hud_params {            // the head-up display of a virtual-cockpit view
  unsigned int mesh;              // mesh index, or mesh_none
  unsigned int group;             // group of that mesh
  vector3 center;                 // centre, m
  double size;                    // size, m
};

struct vc_mfd_params {            // a screen of a virtual-cockpit view
  unsigned int mesh;              // mesh index, or mesh_none
  unsigned int group;             // group of that mesh
};

// --- Keys ------------------------------------------------------------------------------------
constexpr unsigned int key_1 = 0x02;               // digit keys 1..9 are 0x02..0x0A
constexpr unsigned int key_0 = 0x0B;
constexpr unsigned int key_lalt = 0x38;
constexpr unsigned int key_ralt = 0xB8;
inline bool key_held(const char* kstate, unsigned int key) { return (kstate[key] & 0x80) != 0; }

// --- Vessel calls ---------------------------------------------------------------------------
class VELTORA_API VESSEL {
public:
  VESSEL(obj_handle hvessel, int flightmodel);      // binds to a simulated vessel
  virtual ~VESSEL();
  obj_handle GetHandle() const;                     // the simulated vessel
  const char* GetName() const;                      // the vessel's name in the scenario
  const char* GetClassName() const;                 // its class

  // physical parameters
  void SetSize(double size) const;                  // radius, m
  void SetEmptyMass(double mass) const;             // kg
  void SetPMI(const vector3& pmi) const;            // principal moments of inertia per mass, m²
  void SetCrossSections(const vector3& cs) const;   // m²
  void SetRotDrag(const vector3& rd) const;         // rotational drag coefficients
  void SetTouchdownPoints(const vector3& front, const vector3& left, const vector3& right) const;
  void SetSurfaceFrictionCoeff(double mu_lng, double mu_lat) const;
  void SetCW(double z_pos, double z_neg, double x, double y) const; // drag coefficients
  void EnableTransponder(bool enable) const;
  void InitNavRadios(int count) const;
  void SetCameraOffset(const vector3& ofs) const;   // cockpit camera position
  void SetVisibilityLimit(double vislimit, double spotlimit) const;
  void SetAlbedoRGB(const vector3& albedo) const;   // components 0..1
  void SetGravityGradientDamping(double damping) const;
  void SetWingAspect(double aspect) const;
  void SetWingEffectiveness(double eff) const;
  void SetMaxWheelbrakeForce(double force) const;   // N
  void SetBankMomentScale(double scale) const;
  void SetPitchMomentScale(double scale) const;

  // propulsion
  propellant_handle CreatePropellantResource(double maxmass, double mass = -1.0,
                                             double efficiency = 1.0) const; // mass -1: full
  thruster_handle CreateThruster(const vector3& pos, const vector3& dir, double maxth,
                                 propellant_handle ph, double isp, double isp_ref = 0.0,
                                 double p_ref = 101400.0) const;
  thgroup_handle CreateThrusterGroup(const thruster_handle* list, int count,
                                     thgroup_type type) const;   // an empty list is allowed
  unsigned int AddExhaust(thruster_handle th, double length, double width) const; // at the thruster
  unsigned int AddExhaust(thruster_handle th, double length, double width,
                          const vector3& pos, const vector3& dir) const;          // free flame

  // meshes and animations
  unsigned int AddMesh(mesh_handle mesh, const vector3* ofs = nullptr) const; // mesh index
  void SetMeshVisibilityMode(unsigned int mesh, uint16_t mode) const;          // meshvis_mode bits
  unsigned int CreateAnimation(double initial_state) const;                    // animation id
  anim_comp_handle AddAnimationComponent(unsigned int anim, double state0, double state1,
                                         anim_transform* transform,
                                         anim_comp_handle parent = nullptr) const;
  bool SetAnimation(unsigned int anim, double state) const;                    // false: no such id

  // lights, ports, aerodynamics
  void AddBeacon(beacon_params* beacon) const;
  dock_handle CreateDock(const vector3& pos, const vector3& dir, const vector3& rot) const;
  airfoil_handle CreateAirfoil3(airfoil_orientation orientation, const vector3& ref,
                                airfoil_coeff_func cf, void* context,
                                double chord, double area, double aspect) const;
  ctrlsurf_handle CreateControlSurface(int type, double area, double dcl, const vector3& ref,
                                       int axis = 0, unsigned int anim = anim_none) const;
  void CreateVariableDragElement(const double* drag, double factor, const vector3& ref) const;

  // cameras
  void SetCameraDefaultDirection(const vector3& dir) const;
  void SetCameraShiftRange(const vector3& fwd, const vector3& left, const vector3& right) const;

  // scenario state
  void SaveDefaultState(scn_handle scn) const;                  // the simulator's own state lines
  void ParseScenarioLineEx(const char* line, void* status) const; // one line the module does not know

protected:
  struct sim_vessel* sim;                           // the simulator's record of this vessel
};

// The callbacks the simulator makes; a module overrides what it needs.
class VELTORA_API VESSEL2 : public VESSEL {
public:
  VESSEL2(obj_handle hvessel, int flightmodel);
  virtual void clbkSetClassCaps(void* cfg);                         // describe the vessel
  virtual void clbkSaveState(scn_handle scn);                       // default: the simulator's lines
  virtual void clbkLoadStateEx(scn_handle scn, void* status);       // default: every line parsed
  virtual void clbkPreStep(double simt, double simdt, double mjd);  // before the time step
  virtual void clbkPostStep(double simt, double simdt, double mjd); // after the time step
  virtual bool clbkDrawHUD(int mode, hud_surface* surface);         // default: the standard display
  virtual int  clbkConsumeBufferedKey(unsigned int key, bool down, const char* kstate); // 1: consumed
  virtual bool clbkLoadVC(int id);                                  // set up virtual-cockpit view id
};

// --- vapi functions ---------------------------------------------------------------------------
VELTORA_API mesh_handle vapiLoadMeshGlobal(const char* name);         // "Meshes/" + name + ".msh", loaded once
VELTORA_API double vapiGetInducedDrag(double cl, double aspect, double eff);           // lift-induced drag coefficient
VELTORA_API double vapiGetWaveDrag(double mach, double m1, double m2, double m3, double cmax); // transonic drag
VELTORA_API void vapiVCSetNeighbours(int left, int right, int top, int bottom);      // view ids; -1 none
VELTORA_API void vapiVCRegisterHUD(const vc_hud_params* hud);         // the view's head-up display
VELTORA_API void vapiVCRegisterMFD(int mfd, const vc_mfd_params* screen); // mfd: 0 left, 1 right
VELTORA_API void vapiWriteScenarioLine(scn_handle scn, const char* key, const char* value); // "key value"
VELTORA_API bool vapiReadScenarioLine(scn_handle scn, const char*& line);            // false at the end of the block
VELTORA_API void vapiHUDText(hud_surface* surface, int x, int y, const char* text);  // text at pixel x, y

// --- Module entry points ------------------------------------------------------------------------
// A module exports these (and the simulator looks them up by name).
VELTORA_EXPORT void InitModule(module_handle module);          // once, when the module is loaded
VELTORA_EXPORT void ExitModule(module_handle module);          // once, before it is unloaded
VELTORA_EXPORT int GetModuleVersion();                         // the kit version it was built for
VELTORA_EXPORT VESSEL* ovcInit(obj_handle hvessel, int flightmodel); // a new vessel, or null
VELTORA_EXPORT void ovcExit(VESSEL* vessel);                   // the vessel is deleted
VELTORA_EXPORT void secInit(editor_handle editor, obj_handle hvessel); // scenario editor pages

typedef void (*init_module_fn)(module_handle);
typedef void (*exit_module_fn)(module_handle);
typedef int (*module_version_fn)();
typedef VESSEL* (*ovc_init_fn)(obj_handle, int);
typedef void (*ovc_exit_fn)(VESSEL*);
typedef void (*sec_init_fn)(editor_handle, obj_handle);

constexpr int kit_version = 100;                               // GetModuleVersion of this kit
