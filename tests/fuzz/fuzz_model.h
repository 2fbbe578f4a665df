// What the two model harnesses share: the input is imported from a scratch
// file, and a model that imports is a mesh the mesh reader takes back whole.
#pragma once
#include "fuzz_check.h"
#include "mesh/grplib.h"
#include "mesh/meshimport.h"

inline void fuzz_import(const std::string& name, const uint8_t* data, size_t size) {
  imported_model m;
  try {
    m = import_model(scratch_file(name, data, size), {});
  } catch (const import_error&) {
    return;
  }
  fuzz_check(!m.mesh.groups.empty() && m.mesh.materials.size() <= size_t(max_mesh_materials), "groups and materials");
  fuzz_check(m.textures.size() == m.mesh.textures.size(), "one image per texture name");
  msh_document back;
  fuzz_check(read_mesh_document(back, mesh_text(m.mesh)), "the mesh text reads");
  fuzz_check(back.groups.size() == m.mesh.groups.size(), "every group read back");
  for (size_t i = 0; i < back.groups.size(); ++i) {
    const msh_group& g = m.mesh.groups[i];
    for (int32_t k : g.indices) fuzz_check(k >= 0 && size_t(k) < g.vertices.size(), "index in range");
    fuzz_check(back.groups[i].indices == g.indices && back.groups[i].material == g.material, "the group read back");
  }
}
