// cmd_meshio: models from general 3D tools imported as meshes of the
// installation, and meshes exported back to those tools.
#include <charconv>
#include <cmath>

#include "mesh/meshexport.h"
#include "mesh/meshimport.h"
#include "tool/commands.h"

namespace {

double scale_option(const command_args& a, const tool_command& cmd) {
  const auto at = a.options.find("--scale");
  if (at == a.options.end()) return 1;
  const std::string& s = at->second;
  double v = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  if (r.ec != std::errc{} || r.ptr != s.data() + s.size() || !(v > 0) || !std::isfinite(v))
    usage_failure(cmd, "--scale needs a number above 0, not " + s);
  return v;
}

// Writes the files together; an existing one is refused unless --force is given.
void write_outputs(const std::vector<file_output>& files, const command_args& a) {
  write_file_set(files, a.has("--force"));
  for (const file_output& f : files) note_written(f.path);
}

}  // namespace

int cmd_import_mesh(const astr& args) {
  const tool_command& cmd = command_named("import-mesh");
  const command_args a = parse_command_args(args, cmd, 2, 2, {"--textures", "--scale", "--axes"}, {"--force"});
  const std::string& model = a.positional[0];
  const std::string& out = a.positional[1];
  import_options o;
  o.scale = scale_option(a, cmd);
  if (a.has("--axes")) {
    o.axes_given = true;
    if (!parse_axes(a.options.at("--axes"), o.axes))
      usage_failure(cmd, "--axes needs three signed axes such as +x+y-z, not " + a.options.at("--axes"));
  }
  if (a.has("--textures")) o.texture_folder = a.options.at("--textures");
  if (!out.ends_with(".msh") && !out.ends_with(".MSH")) throw tool_error(out + ": the mesh file must end in .msh");
  refuse_same_file(model, out);
  try {
    const imported_model m = import_model(model, o);
    print_notes("warning", m.warnings);
    write_outputs(import_outputs(m, out, textures_folder()), a);
  } catch (const import_error& e) {
    throw tool_error(e.what());
  }
  return 0;
}

int cmd_export_mesh(const astr& args) {
  const tool_command& cmd = command_named("export-mesh");
  const command_args a = parse_command_args(args, cmd, 2, 2, {}, {"--force"});
  refuse_same_file(a.positional[0], a.positional[1]);
  try {
    const exported_model m = export_mesh(a.positional[0], a.positional[1], textures_folder());
    print_notes("warning", m.warnings);
    write_outputs(m.files, a);
  } catch (const import_error& e) {
    throw tool_error(e.what());
  }
  return 0;
}
