// scene_link: what the editor pages ask of the preview scene.
//
// The pages show and hide element markers, place the virtual-cockpit camera
// and drop the mesh thumbnail; the preview scene does the work. The scene
// fills these hooks when it starts; until then, and in the tests, they are
// empty and the calls below do nothing.
//
// Builds on: base/maths (vectors).
//
// Notes: marker kinds are the point kinds of kvgen (beacons 0, thrusters 1,
// exhausts 2, docks 3, touchdown sets 4, aero elements 5).
#pragma once
#include "base/maths.h"

struct scene_link {                              // filled by the preview scene at start-up
  void (*markers_rebuild)(int kind) = nullptr;   // a list was opened or its elements changed
  void (*markers_clear)(int kind) = nullptr;     // its list was closed
  bool (*camera_offset)(vec3& offset) = nullptr; // live camera minus the vessel's position; false: no camera
  void (*vc_camera_place)(const vec3& offset) = nullptr; // second camera at vessel + offset, switched to
  void (*vc_camera_switch)() = nullptr;          // view through the second camera
  void (*thumbnail_release)() = nullptr;         // "Mesh view" drops its mesh
};
extern scene_link scene;

void scene_markers_rebuild(int kind);            // each calls its hook when there is one
void scene_markers_clear(int kind);
bool scene_camera_offset(vec3& offset);          // false without a scene
void scene_vc_camera_place(const vec3& offset);
void scene_vc_camera_switch();
void scene_thumbnail_release();
