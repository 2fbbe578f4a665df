// meshstore: the headless preview that the command-line tool and the tests
// link a design to.
//
// It reads every mesh the design adds or loads from the installation
// ("Meshes/" + name + ".msh", found whatever the capitalisation of its path)
// with the same reader as the designer's preview, so the design's size is
// raised to the same radius and the add-on generator packs the same texture
// names. It keeps no pixels and plays no animations.
//
// Builds on: preview_calls (the calls it answers), mesh/grplib (the reader),
// base/instpath (installation lookup).
//
// Notes: a mesh that cannot be found or read is kept as an unloaded entry
// with no texture names, reports radius 0, and its result says why.
#pragma once
#include <string>
#include <vector>

#include "base/asys.h"
#include "design/preview_calls.h"
#include "mesh/grph.h"

struct mesh_store {
  std::string root = ".";                 // the simulator's root
  std::vector<typmsh> meshes;             // by design mesh index; only the preview calls write it
  std::vector<read_result> results;       // by design mesh index: why a mesh is not loaded; written with meshes
};

extern mesh_store headless_meshes;         // the headless preview's meshes
preview_calls mesh_store_calls();          // mesh_added and design_reset fill headless_meshes
double       load_store_mesh(mesh_store& s, int index, const std::string& name); // reads Meshes/name.msh; radius or 0
// Meshes/name.msh of the installation at root, its textures from Textures/; why not when it fails.
read_result  read_installed_mesh(typmsh& m, const std::string& root, const std::string& name, bool load_textures);
const astr&  mesh_texture_names(const mesh_store& s, int index);            // the mesh's TEXTURES list; empty if none
