// modelbuild: what the OBJ and glTF importers share: the transform into the
// vessel frame, triangles in the right corner order, face normals, and the
// assembly of materials and textures into the imported model.
//
// Builds on: meshimport (the model and options), mshfile, texfile (decoding),
// base/instpath (texture names).
//
// Notes: the readers collect source materials and texture sources as the
// model states them; finish_model merges materials that are the same in
// every field (an export writes one per material and texture pair), names
// each texture once and decodes it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/maths.h"
#include "mesh/meshimport.h"

struct affine {
  double m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  double t[3] = {0, 0, 0};                     // p' = m·p + t
};

affine compose_affine(const affine& a, const affine& b);        // a after b
affine frame_affine(const axes_map& axes, double scale); // source to vessel frame, in metres
double affine_determinant(const affine& a);                     // of m; below 0: it mirrors
vec3   affine_point(const affine& a, const vec3& p);            // a point
vec3   affine_normal(const affine& a, const vec3& n);           // by the inverse transpose; its length kept
vec3   unit_or_zero(const vec3& v);                       // v / |v|; 0 when |v| is 0 or not finite
vec3   triangle_normal(const vec3& a, const vec3& b, const vec3& c); // unit (B - A) x (C - A); 0 when degenerate

struct source_material {
  msh_material material;
  int32_t texture = -1;                        // index into the texture sources, -1 none
};

struct texture_source {
  std::string name;                            // path relative to the model's folder, or a made-up name
  std::string source;                          // as the model names it, for messages
  std::vector<uint8_t> bytes;                  // the image file's content
};

struct model_builder {
  affine frame;                                // from the source to the vessel frame
  std::vector<source_material> materials;
  std::vector<texture_source> textures;
  std::vector<msh_group> groups;               // material: 1-based into materials, 0 none; texture unset
  astr warnings;
};

msh_group& new_group(model_builder& b, const std::string& label, int32_t material); // appended, empty
// Appends the triangle with its corners in the vessel frame's order.
void push_triangle(msh_group& g, int32_t a, int32_t b, int32_t c, bool mirror);
// Merges materials, names and decodes textures, checks the limits of the mesh
// file; import_error naming path when the model cannot become a mesh.
imported_model finish_model(model_builder& b, const std::string& path, const import_options& o);
std::string folder_part(const std::string& path);                // "" or the folder with its "/" ("\\" taken as "/")
std::string stem_part(const std::string& path);                  // the file name without its extension
std::string texture_name_hint(const std::string& image, const std::string& model_folder); // relative when inside

imported_model import_obj(const std::string& path, const import_options& o);   // objimport.cpp
imported_model import_gltf(const std::string& path, const import_options& o);  // gltfimport.cpp
