#include "mesh/meshimport.h"

#include <cmath>
#include <cstdio>

#include "base/instpath.h"
#include "base/strval.h"
#include "base/sys.h"
#include "mesh/ddswrite.h"
#include "mesh/modelbuild.h"

// --- Options and axes --------------------------------------------------------------

bool parse_axes(const std::string& text, axes_map& out) {
  if (text.size() != 6) return false;
  axes_map a;
  bool used[3] = {false, false, false};
  for (size_t i = 0; i < 3; ++i) {
    const char sign = text[2 * i], axis = lower_ascii(text[2 * i + 1]);
    if ((sign != '+' && sign != '-') || axis < 'x' || axis > 'z' || used[axis - 'x']) return false;
    used[axis - 'x'] = true;
    a.source[i] = axis - 'x';
    a.sign[i] = sign == '+' ? 1 : -1;
  }
  out = a;
  return true;
}

std::string axes_text(const axes_map& a) {
  std::string out;
  for (size_t i = 0; i < 3; ++i) {
    out += a.sign[i] > 0 ? '+' : '-';
    out += char('x' + a.source[i]);
  }
  return out;
}

axes_map default_axes(model_kind k) {
  axes_map a;
  parse_axes(k == model_obj ? "+x+y-z" : "-x+y+z", a);
  return a;
}

model_kind model_kind_of(const std::string& path) {
  const std::string name = lower_case(path);
  if (name.ends_with(".obj")) return model_obj;
  if (name.ends_with(".gltf") || name.ends_with(".glb")) return model_gltf;
  throw import_error(path + ": not a model this import reads (.obj, .gltf or .glb)");
}

imported_model import_model(const std::string& path, const import_options& o) {
  const model_kind kind = model_kind_of(path);
  if (!(o.scale > 0) || !std::isfinite(o.scale)) throw import_error("the scale must be a number above 0");
  if (!o.texture_folder.empty() && !is_safe_relative(o.texture_folder))
    throw import_error(o.texture_folder + ": the texture folder must lie inside the Textures folder");
  if (kind_of_path(path) != path_regular) throw import_error(path + ": file not found");
  return kind == model_obj ? import_obj(path, o) : import_gltf(path, o);
}

// --- Written files -----------------------------------------------------------------

std::string textures_folder() {
  const std::string found = install_path("", "Textures");
  return found.empty() ? "Textures" : found;
}

std::vector<file_output> import_outputs(const imported_model& m, const std::string& mesh_path,
                                        const std::string& textures_root) {
  std::vector<file_output> out;
  for (size_t i = 0; i < m.textures.size(); ++i)
    out.push_back({textures_root + "/" + to_slashes(m.mesh.textures[i]), encode_dds_texture(m.textures[i].image)});
  const std::string text = mesh_text(m.mesh);
  out.push_back({mesh_path, std::vector<uint8_t>(text.begin(), text.end())});
  return out;
}

void write_file_set(const std::vector<file_output>& files, bool replace) {
  for (const file_output& f : files)
    if (!replace && kind_of_path(f.path) != path_missing) throw import_error(f.path + " exists; give --force to replace it");
  std::vector<std::string> created;
  try {
    for (const file_output& f : files) {
      const bool is_new = kind_of_path(f.path) == path_missing;
      const size_t cut = f.path.find_last_of('/');
      if (cut != std::string::npos && cut > 0 && !make_folders(f.path.substr(0, cut)))
        throw io_error("cannot write " + f.path + ": its folder cannot be made");
      replace_file(f.path, f.bytes.data(), f.bytes.size());
      if (is_new) created.push_back(f.path);
    }
  } catch (const io_error&) {
    for (const std::string& p : created) std::remove(p.c_str());
    throw;
  }
}
