// veltools: the mesh browser's folder listing and the visibility text.
#include "design/veltools.h"

#include <algorithm>
#include "base/instpath.h"
#include "design/filef.h"
#include "design/vrkdll_format.h"

mesh_browser browser;

void list_mesh_folder(mesh_browser& b, const std::string& path) {
  b.mesh_browse_list.clear();
  b.mesh_browse_dirs = 0;
  const std::string found = install_path(b.root, path);
  if (!found.empty()) {
    const std::string folder = found.back() == '/' ? found : found + "/";
    b.mesh_browse_list = list_directory(folder + "*.*", attr_directory);
    b.mesh_browse_dirs = int32_t(b.mesh_browse_list.size());
    for (const std::string& mesh : list_directory(folder + "*.msh", attr_any))
      b.mesh_browse_list.push_back(mesh.substr(0, mesh.size() - 4));
  }
  b.mesh_browse_width = 0;
  for (const std::string& e : b.mesh_browse_list)
    b.mesh_browse_width = std::max(b.mesh_browse_width, int32_t(e.size()));
}

void browse_start(mesh_browser& b) {
  b.browse_path = "meshes/";
  b.browse_rel.clear();
  list_mesh_folder(b, b.browse_path);
}

bool browse_open(mesh_browser& b, int entry) {
  if (entry < 0 || entry >= b.mesh_browse_dirs) return false;
  const std::string name = b.mesh_browse_list[entry] + "/";
  b.browse_path += name;
  b.browse_rel += name;
  list_mesh_folder(b, b.browse_path);
  return true;
}

std::string browse_mesh_name(const mesh_browser& b, int entry) {
  if (entry < b.mesh_browse_dirs || entry >= int(b.mesh_browse_list.size())) return "";
  return b.browse_rel + b.mesh_browse_list[entry];
}

std::string visibility_text(int32_t visibility) {
  static const std::pair<int32_t, const char*> names[] = {
    {visibility_cockpit, "Cockpit"}, {visibility_external, "External"},
    {visibility_vc, "VC"}, {visibility_extpass, "EXTPASS"}};
  std::string text;
  for (const auto& [bit, name] : names)
    if (visibility & bit) text += std::string(name) + " ";
  if (!text.empty()) text.pop_back();
  return text.empty() ? "None" : text;
}
