// mshwrite: writes demo meshes in the simulator's text mesh format.
//
// Groups carry a label, a 1-based material and texture index (0: none); the
// header lines MATERIAL and TEXTURE are written only when they change, since
// the format carries them over from one group to the next. Vertices are
// written with normals and texture coordinates (eight fields).
//
// Builds on: mesh/grph (groups).
#pragma once
#include <string>
#include <vector>

#include "mesh/grph.h"

struct demo_material {
  std::string name;
  double diffuse[4];
  double ambient[4];
  double specular[4];
  double power;                  // 0: no specular term
  double emissive[4];
};

struct demo_group {
  typmshgrp g;                   // the geometry
  std::string label;             // written as a LABEL line
  int material = 0;              // 1-based, 0 none
  int texture = 0;               // 1-based, 0 none
};

struct demo_mesh {
  std::vector<demo_group> groups;
  std::vector<demo_material> materials;
  astr textures;                 // names as written, backslashes and " D" included
};

std::string mesh_text(const demo_mesh& m);   // the whole file, LF line ends
