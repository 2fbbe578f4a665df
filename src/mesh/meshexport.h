// meshexport: a mesh of the installation written as a model for general 3D
// tools: Wavefront OBJ with its MTL file, or glTF 2.0 (.gltf with the buffer
// inside, or .glb).
//
// The reverse of meshimport with the format's default axes: each group one
// object (OBJ) or one node with one mesh (glTF), named by its label; v
// flipped back for OBJ; one material per material and texture pair the
// groups use. Textures are decoded and written as PNG files beside the
// output, at their path in the mesh's texture list. glTF materials carry
// the mesh material's ambient, specular, power and emissive in their extras
// ("mesh_material"), which the import reads back; the PBR fields hold the
// same material as well as they can (roughness from the power).
//
// Builds on: grplib (reading the mesh document), meshimport (axes, file
// sets), texfile and images/png (textures), tinygltf (writing glTF).
#pragma once
#include <string>

#include "mesh/meshimport.h"

struct exported_model {
  std::vector<file_output> files;                // the PNG files, then the model (and MTL)
  astr warnings;                                 // textures left out, empty groups
};

// out's extension chooses the format; import_error when the mesh cannot be read
// or the extension is none of .obj, .gltf, .glb.
exported_model export_mesh(const std::string& mesh_path, const std::string& out, const std::string& textures_root);
