#include "design/meshstore.h"

#include "base/instpath.h"
#include "mesh/grplib.h"

double load_store_mesh(mesh_store& s, int index, const std::string& name) {
  if (index < 0) return 0;
  if (size_t(index) >= s.meshes.size()) s.meshes.resize(size_t(index) + 1);
  typmsh& m = s.meshes[size_t(index)];
  m = typmsh{};
  const std::string path = install_path(s.root, "Meshes/" + to_slashes(name) + ".msh");
  if (path.empty()) return 0;
  const std::string textures = install_path(s.root, "Textures");
  try {
    if (!read_mesh(m, path, (textures.empty() ? s.root + "/Textures" : textures) + "/", false)) return 0;
  } catch (const io_error&) {
    return 0;  // an unreadable mesh shows as no mesh, like a missing one
  }
  return m.radius;
}

preview_link mesh_store_link(const std::shared_ptr<mesh_store>& store) {
  preview_link link;
  link.mesh_added = [store](int index, const std::string& name) { return load_store_mesh(*store, index, name); };
  link.design_reset = [store] { store->meshes.clear(); };
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
