// scene_link: what the editor pages ask of the preview scene.
//
// The pages show, hide and colour element markers, place the virtual-cockpit
// camera, drop the mesh thumbnail, ask for a vessel group's reference point
// and pass on the vessel's name and size; the preview scene does the work. The scene
// fills these hooks when it starts; until then, and in the tests, they are
// empty and the calls below do nothing.
//
// Builds on: base/maths (vectors).
//
// Notes: marker kinds are the point kinds of kvgen (beacons 0, thrusters 1,
// exhausts 2, docks 3, touchdown sets 4, aero elements 5).
#pragma once
#include <cstdint>
#include <string>
#include "base/maths.h"

struct scene_link {                              // filled by the preview scene at start-up
  void (*markers_rebuild)(int kind) = nullptr;   // a list was opened or its elements changed
  void (*markers_clear)(int kind) = nullptr;     // its list was closed
  bool (*camera_offset)(vec3& offset) = nullptr; // live camera minus the vessel's position; false: no camera
  void (*vc_camera_place)(const vec3& offset) = nullptr; // second camera at vessel + offset, switched to
  void (*vc_camera_switch)() = nullptr;          // view through the second camera
  void (*thumbnail_release)() = nullptr;         // "Mesh view" drops its mesh (filled by meshview)
  bool (*group_reference)(int mesh, int group, vec3& out) = nullptr; // a vessel group's reference point
  void (*markers_mode)(bool on) = nullptr;       // element markers shown while a list of them is open
  void (*marker_colour)(int kind, int element, uint32_t colour) = nullptr; // every frame, per open list
  void (*vessel_shown)(const std::string& name, double size) = nullptr;    // every frame
};
extern scene_link scene;

void scene_markers_rebuild(int kind);            // each calls its hook when there is one
void scene_markers_clear(int kind);
bool scene_camera_offset(vec3& offset);          // false without a scene
void scene_vc_camera_place(const vec3& offset);
void scene_vc_camera_switch();
void scene_thumbnail_release();
bool scene_group_reference(int mesh, int group, vec3& out); // false without a scene
void scene_markers_mode(bool on);
void scene_marker_colour(int kind, int element, uint32_t colour);
void scene_vessel_shown(const std::string& name, double size);
