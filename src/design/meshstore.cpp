#include "design/meshstore.h"

#include "base/instpath.h"
#include "design/kvvar.h"
#include "mesh/grplib.h"

mesh_store headless_meshes;

double load_store_mesh(mesh_store& s, int index, const std::string& name) {
  if (index < 0) return 0;
  if (size_t(index) >= s.meshes.size()) {
    s.meshes.resize(size_t(index) + 1);
    s.results.resize(size_t(index) + 1);
  }
  typmsh& m = s.meshes[size_t(index)];
  read_result& r = s.results[size_t(index)];
  m = typmsh{};
  r = read_installed_mesh(m, s.root, name, false);
  return r ? m.radius : 0;
}

read_result read_installed_mesh(typmsh& m, const std::string& root, const std::string& name, bool load_textures) {
  const std::string rel = "Meshes/" + to_slashes(name) + ".msh";
  const std::string path = install_path(root, rel);
  const std::string textures = install_path(root, "Textures");
  if (path.empty()) return read_failure(read_missing, rel + ": file not found");
  return read_mesh(m, path, (textures.empty() ? root + "/Textures" : textures) + "/", load_textures);
}

preview_calls mesh_store_calls() {
  preview_calls c;
  c.mesh_added = [](const vessel_design& d, int index) {
    return load_store_mesh(headless_meshes, index, name_of(d.data.meshes[size_t(index)].name, sizeof d.data.meshes[0].name));
  };
  c.design_reset = [] {
    headless_meshes.meshes.clear();
    headless_meshes.results.clear();
  };
  return c;
}

const astr& mesh_texture_names(const mesh_store& s, int index) {
  static const astr none;
  return index >= 0 && size_t(index) < s.meshes.size() ? s.meshes[size_t(index)].texture_names : none;
}
