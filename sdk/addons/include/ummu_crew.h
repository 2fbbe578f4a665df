// ummu_crew: the calls a vessel module makes to the crew library.
//
// The crew library is a separate add-on ("UMmu.dll" in the modules folder,
// not shipped with an add-on). A module looks it up at run time; without it
// the vessel simply has no crew. One crew record is kept per vessel.
//
// Builds on: veltorasdk (VESSEL, vector3).
//
// Notes: every function has C linkage so that it can be found by name.
#pragma once
#include "veltorasdk.h"

typedef struct crew_rec* crew_handle;              // the library's record of one vessel's crew

extern "C" {
crew_handle crew_init(VESSEL* vessel);                                  // a vessel with crew
void crew_exit(crew_handle crew);                                       // the vessel is deleted
// The airlock: its door position and direction and the box a member must be in to enter.
void crew_define_airlock(crew_handle crew, const vector3* pos, const vector3* rot,
                         const vector3* box_min, const vector3* box_max);
void crew_set_max(crew_handle crew, int max_crew);                      // seats in the vessel
// Adds a member with its name, the three personal numbers and a description; false when full.
bool crew_add_member(crew_handle crew, const char* name, const int numbers[3], const char* description);
void crew_step(crew_handle crew, double simdt);                         // per time step
bool crew_eject(crew_handle crew, int member);                          // false: no such member
int crew_max(crew_handle crew);                                         // seats
int crew_count(crew_handle crew);                                       // members on board
const char* crew_member_name(crew_handle crew, int member);             // "" for no such member
}

typedef crew_handle (*crew_init_fn)(VESSEL*);
typedef void (*crew_exit_fn)(crew_handle);
typedef void (*crew_airlock_fn)(crew_handle, const vector3*, const vector3*, const vector3*, const vector3*);
typedef void (*crew_set_max_fn)(crew_handle, int);
typedef bool (*crew_add_fn)(crew_handle, const char*, const int*, const char*);
typedef void (*crew_step_fn)(crew_handle, double);
typedef bool (*crew_eject_fn)(crew_handle, int);
typedef int (*crew_int_fn)(crew_handle);
typedef const char* (*crew_name_fn)(crew_handle, int);
