#include "design/meshstore.h"

#include "base/instpath.h"
#include "mesh/grplib.h"

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

preview_link mesh_store_link(const std::shared_ptr<mesh_store>& store) {
  preview_link link;
  link.mesh_added = [store](int index, const std::string& name) { return load_store_mesh(*store, index, name); };
  link.design_reset = [store] {
    store->meshes.clear();
    store->results.clear();
  };
  return link;
}

const astr& mesh_texture_names(const mesh_store& s, int index) {
  static const astr none;
  return index >= 0 && size_t(index) < s.meshes.size() ? s.meshes[size_t(index)].texture_names : none;
}

std::vector<astr> mesh_texture_lists(const mesh_store& s) {
  std::vector<astr> lists;
  for (const typmsh& m : s.meshes) lists.push_back(m.texture_names);
  return lists;
}
