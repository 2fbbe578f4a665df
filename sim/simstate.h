// simstate: the stand-in simulator's records of its vessels.
//
// The kit hands out opaque handles; here they are records owned by the
// vessel they belong to, so that every handle a module passes back can be
// checked and named in the report. The flight loop (veltora.cpp) creates the
// vessel records and makes the callbacks; the kit implementation
// (vesselapi.cpp) fills them as the module calls in.
//
// Builds on: veltorasdk, report.
//
// Notes: handles live in deques so that they keep their address while more
// are made; the vapi functions act on the vessel whose callback is running
// (sim_current).
#pragma once
#include <deque>
#include <string>
#include <vector>
#include "veltorasdk.h"

struct sim_propellant { sim_vessel* owner; int index; };   // "ph<index>"
struct sim_thruster   { sim_vessel* owner; int index; };   // "th<index>"
struct sim_thgroup    { sim_vessel* owner; int index; };   // "tg<index>"
struct sim_anim_comp  { sim_vessel* owner; int index; };   // "comp<index>"
struct sim_dock       { sim_vessel* owner; int index; };   // "dock<index>"
struct sim_ctrlsurf   { sim_vessel* owner; int index; };   // "cs<index>"
struct sim_airfoil {                                        // "af<index>"
  sim_vessel* owner;
  int index;
  airfoil_orientation orientation;
  airfoil_coeff_func cf;                                    // the module's coefficient function
  void* context;
};
struct sim_mesh { std::string name; bool found; int index; }; // "mesh<index>", shared by all vessels
struct hud_surface { sim_vessel* owner; };
struct sim_editor { int pages; };                           // pages defined so far
struct sim_scenario {                                       // one vessel's block being read or written
  const std::vector<std::string>* lines;                    // reading: the ship's state lines
  size_t next;                                              // reading: the next line
  std::vector<std::string> written;                         // writing: the lines saved
  std::string current;                                      // reading: the line handed out last
};

struct sim_vessel {
  std::string name;                                         // in the scenario
  std::string class_name;
  VESSEL2* vessel = nullptr;                                // made by the module's ovcInit
  std::vector<std::string> default_state;                   // lines the default parser took
  std::deque<sim_propellant> propellants;
  std::deque<sim_thruster> thrusters;
  std::deque<sim_thgroup> groups;
  std::deque<sim_anim_comp> comps;
  std::deque<sim_dock> docks;
  std::deque<sim_ctrlsurf> ctrlsurfs;
  std::deque<sim_airfoil> airfoils;
  std::vector<const beacon_params*> beacons;                  // read again after the flight
  std::vector<const double*> drag_elements;                 // drag drivers; null = none
  int exhausts = 0;
  int meshes = 0;
  int animations = 0;
  int vc_neighbours[4] = {-1, -1, -1, -1};                  // as last registered
};

sim_vessel*& sim_current();                                 // the vessel whose callback runs, or null
void say(const sim_vessel* v, const std::string& text);    // a report line about v (or the simulator)
void probe_airfoils(sim_vessel* v);                         // reports each airfoil's coefficients
void report_lights_and_drag(sim_vessel* v);                 // reads beacons and drag drivers again
void release_meshes();                                      // forgets the loaded meshes
