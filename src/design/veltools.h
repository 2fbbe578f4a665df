// veltools: what the installation holds for the mesh browser.
//
// Lists one folder of the simulator's meshes folder, sub-folders first, then
// the meshes without their extension, keeps the path being browsed, and gives
// the text form of a mesh visibility bit set.
//
// Builds on: filef (list_directory), instpath (case-insensitive folders).
//
// Notes: folders and meshes come in the order the file system gives them; a
// missing folder lists nothing. The folder names of the path are matched
// without regard to case, as installations spell "Meshes" either way.
#pragma once
#include <string>
#include "base/asys.h"

// The mesh browser's lists. Written by the browse functions below, read by the
// mesh browser window.
struct mesh_browser {
  astr mesh_browse_list;          // folders, then mesh names without ".msh"
  int32_t mesh_browse_dirs = 0;   // leading entries that are folders
  int32_t mesh_browse_width = 0;  // characters of the longest entry
  std::string browse_path = "meshes/"; // folder being listed, relative to the root
  std::string browse_rel;         // the same below the meshes folder ("" at the top)
  std::string root = ".";         // the simulator's root folder
};
extern mesh_browser browser;      // the designer's one browser

void list_mesh_folder(mesh_browser& b, const std::string& path); // path ends in "/"
void browse_start(mesh_browser& b);                  // "meshes/" and "", then list
bool browse_open(mesh_browser& b, int entry);        // into the folder entry; false for a mesh entry
std::string browse_mesh_name(const mesh_browser& b, int entry); // rel path + mesh name, "" when not a mesh
std::string visibility_text(int32_t visibility);     // "Cockpit External VC EXTPASS" subsets, or "None"
