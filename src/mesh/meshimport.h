// meshimport: models from general 3D tools (Wavefront OBJ with its MTL
// materials, glTF 2.0 as .gltf or .glb) turned into the simulator's meshes.
//
// Sections: options and axes; the imported model; reading (objimport.cpp,
// gltfimport.cpp, shared assembly here); the files an import writes.
//
// Each OBJ material run and each glTF primitive becomes one group, labelled
// with the object or node name. Positions are mapped from the source's
// right-handed frame to the vessel frame by the axes (three signed source
// axes that become x, y and z) and scaled to metres; a mapping that mirrors
// reverses the triangles' corner order, so that (B - A) x (C - A) still
// points out of the surface. Faces without normals get their face's normal.
// Polygons are fanned from their first corner; lines and points are left out
// with a warning. Every texture a material names becomes a DDS file.
//
// Builds on: mshfile (the document), ddswrite (DDS), texfile (decoding),
// base/instpath (names), tinyobjloader and tinygltf (the readers).
//
// Notes: a model is read and checked whole, and every output encoded, before
// anything is written: bad input writes nothing. Counts and offsets from the
// file are checked against the data present before anything is allocated.
#pragma once
#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "images/picture.h"
#include "mesh/mshfile.h"

// A model that cannot be imported; the text names the file and the fault.
struct import_error : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// --- Options and axes --------------------------------------------------------------
enum model_kind { model_obj, model_gltf };

struct axes_map {
  std::array<int, 3> source{0, 1, 2};            // source axis (0 x, 1 y, 2 z) that becomes x, y, z
  std::array<int, 3> sign{1, 1, 1};              // and its sign
};

struct import_options {
  double scale = 1;                              // source units to metres
  bool axes_given = false;                       // else the format's default
  axes_map axes;
  std::string texture_folder;                    // below the Textures folder; prefix of the names ("" none)
};

bool        parse_axes(const std::string& text, axes_map& out);   // "+x+y-z"; false unless three distinct signed axes
std::string axes_text(const axes_map& a);                         // back to "+x+y-z"
axes_map    default_axes(model_kind k);                           // OBJ: y up, -z forward; glTF: +z forward, -x right
model_kind  model_kind_of(const std::string& path);               // by extension; import_error for others

// --- The imported model ------------------------------------------------------------
struct import_texture {
  std::string source;                            // the image as the model names it, for messages
  rgba_image image;                              // decoded
};

struct imported_model {
  msh_document mesh;
  std::vector<import_texture> textures;          // one per mesh.textures entry
  astr warnings;                                 // what was left out
};

imported_model import_model(const std::string& path, const import_options& o); // import_error when it cannot

// --- Written files -----------------------------------------------------------------
struct file_output {
  std::string path;
  std::vector<uint8_t> bytes;
};

// The DDS files (below textures_root, the installation's Textures folder)
// followed by the mesh file at mesh_path.
std::vector<file_output> import_outputs(const imported_model& m, const std::string& mesh_path,
                                        const std::string& textures_root);
std::string textures_folder();                   // the installation's Textures folder as it is spelt, or "Textures"
void write_file_set(const std::vector<file_output>& files, bool replace); // in order, folders made; see below
// Without replace, any file that exists already is an import_error before
// anything is written. When a write fails, the files this call created are
// removed again and the io_error goes on; each file is replaced whole or not.
