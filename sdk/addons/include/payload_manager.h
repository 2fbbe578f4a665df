// payload_manager: the calls a vessel module makes to the Payload Manager library.
//
// The library is a separate add-on ("PayloadManager.dll" in the modules folder);
// a module that supports it loads it when a vessel is created and looks these
// functions up by name. One payload record is kept per vessel.
//
// Builds on: veltorasdk (VESSEL, scenario and editor handles).
//
// Notes: every function has C linkage so that it can be found by name.
#pragma once
#include "veltorasdk.h"

typedef struct pm_rec* pm_handle;                  // the library's record of one vessel

extern "C" {
// Binds a vessel to the library; the two numbers select its attachment behaviour.
pm_handle init_pm(VESSEL* vessel, int mode_a, int mode_b);
void delete_pm(pm_handle pm);                                          // the vessel is deleted
void define_vehicle(pm_handle pm, const char* class_name, double size, double empty_mass); // the carrier
void clbkSaveState(pm_handle pm, scn_handle scn);                      // the library's own lines
bool loadState(pm_handle pm, const char* line);                        // true: the line was the library's
void clbkPreStep(pm_handle pm, double simt, double simdt, double mjd);
void clbkPostStep(pm_handle pm, double simt, double simdt, double mjd);
void DefineScenarioEditorPage(editor_handle editor, obj_handle hvessel); // the payload page
}

typedef pm_handle (*pm_init_fn)(VESSEL*, int, int);
typedef void (*pm_delete_fn)(pm_handle);
typedef void (*pm_define_vehicle_fn)(pm_handle, const char*, double, double);
typedef void (*pm_save_fn)(pm_handle, scn_handle);
typedef bool (*pm_load_fn)(pm_handle, const char*);
typedef void (*pm_step_fn)(pm_handle, double, double, double);
typedef void (*pm_editor_page_fn)(editor_handle, obj_handle);
