// vrkdll_addons: the vessel module's link to the Payload Manager and crew libraries.
//
// Both libraries are separate add-ons kept in the modules folder beside the
// module's own file ("PayloadManager.dll", "UMmu.dll", matched without regard
// to case). Each is loaded on first use and its functions are looked up by
// name; a library that is missing or lacks a function counts as absent.
//
// Builds on: veltorasdk, payload_manager.h, ummu_crew.h.
//
// Notes: the state below is module-wide; only this unit writes it.
#pragma once
#include "payload_manager.h"
#include "ummu_crew.h"

struct pm_api {                          // the Payload Manager functions
  pm_init_fn init;
  pm_delete_fn remove;
  pm_define_vehicle_fn define_vehicle;
  pm_save_fn save_state;
  pm_load_fn load_state;
  pm_step_fn pre_step;
  pm_step_fn post_step;
  pm_editor_page_fn editor_page;
};

struct crew_api {                        // the crew library functions
  crew_init_fn init;
  crew_exit_fn exit;
  crew_airlock_fn define_airlock;
  crew_set_max_fn set_max;
  crew_add_fn add_member;
  crew_step_fn step;
  crew_eject_fn eject;
  crew_int_fn max;
  crew_int_fn count;
  crew_name_fn member_name;
};

const char* module_file();               // this module's own file, as the simulator loaded it
const pm_api* payload_manager();         // null when the library cannot be loaded
const crew_api* crew_library();          // null when the library cannot be loaded
void release_addons();                   // unloads both libraries
