// preview_calls: the one record of calls from the design model and the editor
// to the preview (and the two the shell answers for the file commands).
//
// The design operations tell the preview what meshes and animations the
// design holds; the pages show, hide and colour markers, place the cameras
// and pick; the file commands show the progress screen and end the program.
// The program fills the record once at start-up (the GL scene in the
// designer, the headless mesh store in the command-line tool); until then,
// and in the tests, every member is a call that does nothing, so callers
// call straight through.
//
// Builds on: base/maths (vectors). The design is only named, not included.
//
// Notes:
//   - the design operations make their calls through preview_of(d)
//   - calls about the design come after the design has changed, so they may
//     read the new element through the design they are given
//   - marker kinds are the point kinds of kvgen (beacons 0, thrusters 1,
//     exhausts 2, docks 3, touchdown sets 4, aero elements 5)
#pragma once
#include <cstdint>
#include <string>
#include "base/maths.h"

struct vessel_design;

struct preview_calls {
  // The design the preview shows: the design operations tell it only about
  // this one, so a design read or imported beside it is not shown (null: every design).
  const vessel_design* shown = nullptr;

  // --- What the design holds (the design operations) ---
  // Mesh index of d was added or loaded; returns its radius, 0 when nothing was loaded.
  double (*mesh_added)(const vessel_design& d, int index) = [](const vessel_design&, int) { return 0.0; };
  // Animation anim was added or loaded; it starts at its default_pos.
  void (*anim_registered)(const vessel_design& d, int anim) = [](const vessel_design&, int) {};
  // Component comp of animation anim was added or loaded.
  void (*comp_registered)(const vessel_design& d, int anim, int comp) = [](const vessel_design&, int, int) {};
  // Component comp of animation anim was changed in place.
  void (*comp_updated)(const vessel_design& d, int anim, int comp) = [](const vessel_design&, int, int) {};
  // Playback or the ruler moved animation anim to position.
  void (*anim_moved)(int anim, double position) = [](int, double) {};
  // The design was reset: forget the vessel name, size, every loaded mesh and the markers' elements.
  void (*design_reset)() = [] {};

  // --- Markers (the pages and the change report) ---
  void (*markers_show)(const vessel_design& d, int kind) = [](const vessel_design&, int) {};   // shown from now on
  void (*markers_changed)(const vessel_design& d, int kind) = [](const vessel_design&, int) {}; // rebuilt when shown
  void (*markers_hide)(int kind) = [](int) {};                                // its list was closed
  void (*markers_mode)(bool on) = [](bool) {};                                // the hull dimmed while a list is open
  void (*marker_colour)(int kind, int element, uint32_t colour) = [](int, int, uint32_t) {}; // every frame
  void (*vessel_shown)(const std::string& name, double size) = [](const std::string&, double) {}; // every frame

  // --- Vessel groups, cameras and picking ---
  bool (*group_reference)(int mesh, int group, vec3& out) = [](int, int, vec3&) { return false; }; // a group's centre
  bool (*camera_offset)(vec3& offset) = [](vec3&) { return false; };  // live camera minus the vessel; false: none
  void (*vc_camera_place)(const vec3& offset) = [](const vec3&) {};  // second camera at vessel + offset, switched to
  void (*vc_camera_switch)() = [] {};                                 // view through the second camera
  // Identification drawing at window pixel (x, y): with handles the scene's
  // picked handle, else its picked object, mesh and group when one is there.
  void (*pick)(int x, int y, bool handles) = [](int, int, bool) {};

  // --- The shell's, for the file commands ---
  void (*progress)(const std::string& line) = [](const std::string&) {}; // the progress screen
  void (*exit_program)() = [] {};                                     // closing screen, settings, end
  void (*wake)() = [] {};                                             // from any thread: a frame soon
};

// The program's record: filled once at start-up, read by everyone else.
extern preview_calls preview;

const preview_calls& preview_of(const vessel_design& d); // preview when it shows d, else calls that do nothing
