// mshwrite: the demo meshes as built, and their mesh files.
//
// Groups are built with the mesh model's group operations and carry a label,
// a 1-based material and texture index (0: none). The file is written by the
// mesh library's writer from numbers rounded to four decimals, which keeps
// the demo files small and readable.
//
// Builds on: mesh/grph (groups), mesh/mshfile (materials, the writer).
#pragma once
#include <string>
#include <vector>

#include "mesh/grph.h"
#include "mesh/mshfile.h"

struct demo_group {
  typmshgrp g;                   // the geometry
  std::string label;             // written as a LABEL line
  int material = 0;              // 1-based, 0 none
  int texture = 0;               // 1-based, 0 none
};

struct demo_mesh {
  std::vector<demo_group> groups;
  std::vector<msh_material> materials;
  astr textures;                 // names as written, backslashes and " D" included
};

std::string mesh_text(const demo_mesh& m);   // the whole file, LF line ends
