// preview_link: how the design model tells a preview what it holds.
//
// The design model calls these hooks when meshes, animations and components
// are added or loaded, when an animation moves and when the design is reset.
// The GL scene implements them in the editor; a headless mesh store implements
// them in the command-line tool and the tests. An empty hook does nothing, so
// a default-constructed preview_link is the no-op preview.
//
// Builds on: nothing (the design is only named, not included).
//
// Notes: hooks are called after the design has been changed, so they may read
// the new element through the design reference.
#pragma once
#include <functional>
#include <string>

struct vessel_design;

struct preview_link {
  // A mesh was added at index with this name (path below the meshes folder,
  // no ".msh"); returns the loaded mesh's radius, or 0 when nothing was loaded.
  std::function<double(int index, const std::string& name)> mesh_added;
  // Animation anim was added or loaded; it starts at its default_pos.
  std::function<void(const vessel_design& d, int anim)> anim_registered;
  // Component comp of animation anim was added or loaded.
  std::function<void(const vessel_design& d, int anim, int comp)> comp_registered;
  // Component comp of animation anim was changed in place.
  std::function<void(const vessel_design& d, int anim, int comp)> comp_updated;
  // Playback moved animation anim to position.
  std::function<void(int anim, double position)> anim_moved;
  // Points of one element kind were edited (kind codes of set_element_point).
  std::function<void(int kind)> markers_changed;
  // The design was reset: forget the vessel name, size and every loaded mesh.
  std::function<void()> design_reset;
};
