#include "editor/importcmd.h"

#include <cctype>
#include <memory>

#include "base/instpath.h"
#include "base/sys.h"
#include "design/veltools.h"
#include "editor/filecmds.h"
#include "editor/kvwindows.h"
#include "editor/meshview.h"
#include "editor/statusline.h"
#include "mesh/grplib.h"
#include "mesh/meshimport.h"
#include "mesh/modelbuild.h"

import_window_state import_window;

namespace {

imported_model current;            // the import shown in "Mesh view"

std::string installation_folder(const char* name) {
  const std::string found = install_path(files.root, name);
  return found.empty() ? files.root + "/" + name : found;
}

// The model's file name made safe, with a number added until neither the
// mesh file nor the texture folder of that name exists.
std::string free_name(const std::string& model) {
  std::string stem;
  for (char c : stem_part(model)) stem += std::isalnum((unsigned char)c) || c == '-' ? c : '_';
  if (stem.empty()) stem = "model";
  std::string name = stem;
  for (int n = 2; kind_of_path(installation_folder("Meshes") + "/" + name + ".msh") != path_missing ||
                  kind_of_path(installation_folder("Textures") + "/" + name) != path_missing;
       ++n)
    name = stem + "_" + std::to_string(n);
  return name;
}

// The drawable mesh of the import, its textures from the decoded images.
typmsh thumbnail(const imported_model& m, const std::string& name) {
  typmsh t;
  read_mesh_text(t, mesh_text(m.mesh), name, "", false);
  std::vector<texture_pixels> pixels;
  for (const import_texture& tex : m.textures) pixels.push_back(std::make_shared<const std::vector<uint8_t>>(tex.image.pixels));
  for (typmshgrp& g : t.groups) {
    if (g.texture.index < 1) continue;
    const rgba_image& img = m.textures[size_t(g.texture.index - 1)].image;
    g.texture.pixels = pixels[size_t(g.texture.index - 1)];
    g.texture.width = img.width;
    g.texture.height = img.height;
  }
  return t;
}

std::string joined(const astr& lines) {
  std::string out;
  for (const std::string& l : lines) out += (out.empty() ? "" : "\n") + l;
  return out;
}

}  // namespace

void choose_model_file(const std::string& path) {
  import_window.model = path;
  import_window.name = free_name(path);
  import_apply();
}

void import_apply() {
  if (import_window.model.empty()) return;
  import_options o;
  o.scale = import_window.scale;
  o.texture_folder = import_window.name;
  if (!import_window.axes.empty() && !(o.axes_given = parse_axes(import_window.axes, o.axes))) {
    show_message("Axes: three signed axes such as +x+y-z, the source's axes that become x, y and z.");
    return;
  }
  try {
    current = import_model(import_window.model, o);
  } catch (const import_error& e) {
    show_message(e.what());
    return;
  }
  browser.browse_rel.clear();
  files.pending_mesh = import_window.name;
  mesh_view_show(thumbnail(current, import_window.name), import_window.name);
  show_page(page_mesh_view);
  show_page(page_import);
  if (!current.warnings.empty()) show_message(joined(current.warnings));
}

bool import_pending() {
  return !import_window.name.empty() && files.pending_mesh == import_window.name && browser.browse_rel.empty();
}

bool import_write() {
  try {
    write_file_set(import_outputs(current, installation_folder("Meshes") + "/" + import_window.name + ".msh",
                                  installation_folder("Textures")),
                   false);
  } catch (const std::exception& e) {
    show_message(e.what());
    return false;
  }
  const std::string model = import_window.model.substr(import_window.model.find_last_of("/\\") + 1);
  status_say("Imported " + model + " as Meshes/" + import_window.name + ".msh, " +
             counted(current.mesh.groups.size(), "group", "groups") + ", " +
             counted(current.textures.size(), "texture", "textures"));
  return true;
}

void import_drop() {
  current = imported_model{};
  import_window.model.clear();
  import_window.name.clear();
  hide_page(page_import);
}
