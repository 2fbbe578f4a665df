// The mesh reader as the tool and the headless preview call it: a file
// "Meshes/fuzz.msh" in a scratch installation with a texture folder, read
// through the mesh store. A mesh that reads has consistent counts, every
// triangle names vertices of its own group and every texture reference
// names an entry of the texture list.
#include "design/meshstore.h"
#include "fuzz_check.h"

namespace {

bool reference_ok(const grptexture& t, const typmsh& m) {
  return t.index == -1 || (t.index >= 1 && t.index <= m.texture_count);
}

void check_mesh(const typmsh& m) {
  fuzz_check(m.group_count == int32_t(m.groups.size()), "group count");
  fuzz_check(m.texture_count == int32_t(m.texture_names.size()), "texture count");
  for (const typmshgrp& g : m.groups) {
    fuzz_check(g.indices.size() % (g.primitive_kind ? 4 : 3) == 0, "whole triangles");
    for (int32_t i : g.indices) fuzz_check(i >= 0 && size_t(i) < g.vertices.size(), "index in range");
    fuzz_check(reference_ok(g.texture, m) && reference_ok(g.light_texture, m) && reference_ok(g.spec_texture, m),
               "texture reference in range");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  scratch_file("Meshes/fuzz.msh", data, size);
  std::filesystem::create_directories(scratch_folder() / "Textures");
  mesh_store store;
  store.root = scratch_folder().string();
  const double radius = load_store_mesh(store, 0, "fuzz");
  const typmsh& m = store.meshes.at(0);
  if (!m.loaded) return 0;
  fuzz_check(radius == m.radius, "the store reports the mesh's radius");
  check_mesh(m);
  return 0;
}
