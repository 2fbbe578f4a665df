// A preview that writes down what the design operations tell it, for as
// long as a recording_preview lives; then the calls do nothing again.
#pragma once
#include <string>
#include <utility>
#include <vector>
#include "design/kvvar.h"
#include "design/preview_calls.h"

struct told_preview {
  int resets = 0, anims = 0;
  std::vector<std::pair<int, int>> comps;    // (animation, component) registered
  std::vector<std::string> meshes;           // names, in the order told
  std::vector<double> moved;                 // animation positions
  std::vector<int> markers;                  // kinds whose markers changed
  double radius = 0;                         // what a mesh add answers
};
inline told_preview told;

struct recording_preview {
  recording_preview() {
    told = {};
    preview = {};
    preview.design_reset = [] { ++told.resets; };
    preview.mesh_added = [](const vessel_design& d, int i) {
      told.meshes.push_back(name_of(d.data.meshes[size_t(i)].name, sizeof d.data.meshes[0].name));
      return told.radius;
    };
    preview.anim_registered = [](const vessel_design&, int) { ++told.anims; };
    preview.comp_registered = [](const vessel_design&, int a, int c) { told.comps.push_back({a, c}); };
    preview.anim_moved = [](int, double p) { told.moved.push_back(p); };
    preview.markers_changed = [](const vessel_design&, int kind) { told.markers.push_back(kind); };
  }
  ~recording_preview() { preview = {}; }
};
