// grplib: the reader of the simulator's text mesh files (".msh").
//
// The file is read whole and scanned line by line, keyword by keyword: the
// GROUPS count; per group a header (MATERIAL, TEXTURE, LIGHTTEXTURE,
// SPECTEXTURE, NONORMAL, whose indices carry over to later groups) ending in
// GEOM; the vertex and triangle lines; then the MATERIALS and TEXTURES lists.
// Groups without normals get the sums of their triangles' face vectors.
// Materials and textures are resolved into each group last, and the radius
// is the length of the largest absolute x, y and z.
//
// Builds on: grph (the mesh model), mshfile (the file's own terms), texfile
// (texture images), base/asys.
//
// Notes:
//   - fields are split without building strings and parsed with from_chars;
//   - a damaged file cannot make the reader allocate more than its bytes can
//     fill: vertices and triangles exist only for lines actually present;
//   - a triangle naming a vertex outside its group is dropped;
//   - when the MATERIALS line is missing, TEXTURES is still looked for after
//     the groups, so a texture list is never lost to a missing material list.
#pragma once
#include <string>
#include <string_view>

#include "base/asys.h"
#include "mesh/grph.h"
#include "mesh/mshfile.h"

constexpr int max_mesh_groups = 32768;             // larger GROUPS counts are refused

// The mesh file at path. When it is missing, unreadable or has no usable GROUPS
// line the mesh is unchanged and the result says which. Textures are decoded
// only when load_textures is set; their names are kept either way.
read_result read_mesh(typmsh& mesh, const std::string& path, const std::string& texture_dir, bool load_textures = true);
// The file's content in its own terms: material names and ambient colours kept,
// references beyond the lists turned into 0. False without a usable GROUPS line.
bool read_mesh_document(msh_document& doc, std::string_view text);
// The same for a file already in memory; path is only recorded.
bool read_mesh_text(typmsh& mesh, std::string_view text, const std::string& path,
                    const std::string& texture_dir, bool load_textures = true);
