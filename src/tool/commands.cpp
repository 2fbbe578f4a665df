// commands: the command table and the argument splitting every command uses.
#include "tool/commands.h"

namespace {
const tool_command table[] = {
  {"new", "OUT", "Writes the blank design to the design file OUT.", cmd_new},
  {"template", "OUT", "Writes the template vessel to the design file OUT.", cmd_template},
  {"import-sc3", "IN OUT [--name NAME]",
   "Imports the Spacecraft3 vessel file IN and writes it to the design file OUT.\n"
   "NAME becomes the vessel and module name (default \"new_vessel\").", cmd_import_sc3},
  {"info", "FILE",
   "Reads the design block at the end of FILE (a design file or a vessel module)\n"
   "and prints it as JSON on standard output.", cmd_info},
  {"generate", "IN [-o OUT]", "Generates the add-on package of IN (design file, vessel module or Spacecraft3 .ini) into OUT (default DLLNAME.zip).", cmd_generate},
  {"module", "IN [-o OUT]", "Writes the vessel module of IN to OUT (default modules\\DLLNAME.dll).", cmd_module},
  {"listing", "IN -o OUT", "Writes the thrusters and docking ports of IN to the text file OUT.", cmd_listing},
  {"project", "IN", "Writes the development project of IN into Vessel_Design\\DLLNAME.", cmd_project},
  {"run", "", "Starts veltora.exe in the current folder and exits with its exit code.", cmd_run},
  {"mesh", "FILE", "Reads the mesh file FILE and prints its groups, textures and radius as JSON.", cmd_mesh},
  {"image", "FILE [--raw OUT]", "Decodes the texture image FILE and prints its format, size and the CRC-32 of its\nRGBA pixels as JSON; OUT receives those pixels.", cmd_image},
  {"check", "FILE [--root DIR]",
   "Checks the design in FILE (a design file or a vessel module) and prints the findings as a JSON\n"
   "list, sorted by severity, code, kind and index. Each finding is an object:\n"
   "  severity  \"error\", \"warning\" or \"info\"\n"
   "  code      what was found (below)\n"
   "  kind      the element array (\"thrusters\", \"meshes\", ...), \"header\" or \"thruster_groups\"\n"
   "  index     the element's index, the group id for thruster_groups, -1 for the header\n"
   "  text      one sentence\n"
   "Meshes, textures and modules are looked up in DIR (default: the current folder).\n"
   "Errors: mesh-missing, mesh-unreadable, mesh-unsafe (outside the meshes folder), thruster-tank,\n"
   "thruster-isp (zero specific impulse), exhaust-thruster, comp-mesh, comp-groups-empty,\n"
   "comp-group-range (beyond the mesh's groups), empty-mass, vessel-name, module-name (unsafe names).\n"
   "Warnings: texture-missing, anim-no-components, anim-no-key, anim-key-shared, group-force (a rotation\n"
   "group's net force), group-torque (a translation group's net torque), main-torque, hover-weight\n"
   "(hover thrust below the weight at 1 g), touchdown-tip (the centre of mass outside the touchdown\n"
   "triangle), module-name-case, gear-animation, aero-animation. Info: hover-none.\n"
   "Exit code 0 when no finding is an error, 1 when one is or when FILE cannot be read.", cmd_check},
  {"diff", "A B",
   "Compares the designs in A and B field by field and prints each difference as a JSON object with\n"
   "its path (\"thrusters[3].max_thrust\"), the old value (A) and the new one (B); an element only one\n"
   "side has shows null on the other. Prints nothing when they are equal.\n"
   "Exit code 0 when equal, 1 when they differ or when a file cannot be read.", cmd_diff},
};
}  // namespace

std::span<const tool_command> tool_commands() { return table; }

const tool_command& command_named(const std::string& name) {
  for (const tool_command& c : table)
    if (name == c.name) return c;
  throw tool_error("unknown command " + name + "; see corvane-tool --help");
}

command_args parse_command_args(const astr& args, const tool_command& cmd, size_t min_positional,
                                size_t max_positional, std::initializer_list<const char*> value_options) {
  const tool_error usage("usage: corvane-tool " + std::string(cmd.name) + " " + cmd.usage);
  command_args out;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.size() < 2 || a.rfind("--", 0) != 0) { out.positional.push_back(a); continue; }
    bool known = false;
    for (const char* o : value_options) known |= a == o;
    if (!known || i + 1 == args.size()) throw usage;
    out.options[a] = args[++i];
  }
  if (out.positional.size() < min_positional || out.positional.size() > max_positional) throw usage;
  return out;
}

// One store for the whole run: the command's design reads its meshes into it.
static const std::shared_ptr<mesh_store>& tool_store() {
  static const std::shared_ptr<mesh_store> store = std::make_shared<mesh_store>();
  return store;
}

mesh_store& tool_meshes() { return *tool_store(); }
preview_link tool_preview() { return mesh_store_link(tool_store()); }
