// mshfile: the content of a mesh file as the file states it, and its writer.
//
// The reader (grplib) turns a file into a typmsh for drawing, where materials
// become packed colours and the lists are resolved into the groups. Import,
// export and the demo installation need the file's own terms instead: the
// material list with names and ambient colours, and each group's 1-based
// material and texture index. mesh_text writes such a document so that the
// reader gets back exactly the numbers it holds.
//
// Builds on: grph (vertices), base/asys (arrays).
//
// Notes:
//   - numbers are written in the shortest form that reads back to the same
//     float (plain decimals; an exponent only where that would exceed 24
//     characters), so a vertex line stays far below the reader's 255;
//   - MATERIAL and TEXTURE header lines are written only where they change,
//     as the format carries them over from one group to the next;
//   - names are cut at the first line break: one name is one line; blanks in
//     material names become "_".
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/asys.h"
#include "mesh/grph.h"

constexpr int max_mesh_materials = 254;        // a group's material index is one byte in the stored meshes

struct msh_material {
  std::string name;
  double diffuse[4] = {1, 1, 1, 1};            // red, green, blue, alpha in 0..1
  double ambient[4] = {1, 1, 1, 1};
  double specular[4] = {0, 0, 0, 1};
  double power = 0;                            // specular power; 0: no specular term
  double emissive[4] = {0, 0, 0, 1};
};

struct msh_group {
  std::string label;                           // the LABEL line, empty for none
  aopntyp vertices;                            // normals as stored (sums of face vectors when the file had none)
  aointeger indices;                           // three per triangle, into vertices
  int32_t material = 0;                        // 1-based into materials; anything else: none (grey)
  int32_t texture = 0;                         // 1-based into textures; 0 none
  int32_t light_texture = 0;                   // as read; never written
  int32_t spec_texture = 0;                    // as read; never written
};

struct msh_document {
  std::vector<msh_group> groups;
  std::vector<msh_material> materials;
  astr textures;                               // names as the mesh lists them ("dg\hull.dds")
};

void        append_number(std::string& out, float v);          // shortest text that reads back to v
void        append_number(std::string& out, double v);         // the same for a double
bool        valid_material(const msh_document& d, int32_t index); // index names a material the reader resolves
std::string mesh_text(const msh_document& d);                    // the whole file, LF line ends
