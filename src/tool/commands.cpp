// commands: the command table, the argument splitting every command uses,
// and how commands read their input and name their output.
#include "tool/commands.h"

#include <cstdio>
#include "base/sys.h"
#include "design/designfile.h"
#include "design/sc3import.h"

namespace {
const tool_command table[] = {
  {"new", "OUT [--force]",
   "Writes the blank design to the design file OUT. An existing OUT is kept unless --force is given.",
   "corvane-tool new myship.vessdef", cmd_new},
  {"template", "OUT [--force]",
   "Writes the template vessel to the design file OUT. An existing OUT is kept unless --force is given.",
   "corvane-tool template deltaglider_vrk.vessdef", cmd_template},
  {"import-sc3", "IN OUT [--name NAME] [--force]",
   "Imports the Spacecraft3 vessel file IN and writes it to the design file OUT.\n"
   "NAME becomes the vessel and module name (default \"new_vessel\"). Every section and key the\n"
   "import does not know, and every KEY name that maps to no key, is named in a note with its line\n"
   "number. A file without any [section] is an error. An existing OUT is kept unless --force is given.",
   "corvane-tool import-sc3 Config/Vessels/Cutter.ini cutter.vessdef --name Cutter", cmd_import_sc3},
  {"info", "IN",
   "Prints the design in IN as JSON on standard output: a design file or a vessel module (the design\n"
   "block at its end, as stored) or a Spacecraft3 vessel (imported), told apart by their content.",
   "corvane-tool info Modules/deltaglider_vrk.dll", cmd_info, true},
  {"generate", "IN [-o OUT] [--allow-missing] [--strict]",
   "Generates the add-on package of IN (a design file, a vessel module or a Spacecraft3 vessel, told\n"
   "apart by their content) into the zip file OUT (default DLLNAME.zip). Meshes and textures are read\n"
   "from Meshes/ and Textures/ below the current folder, which must be the simulator's root. Each file\n"
   "left out is named in a warning; when none of the design's meshes is found nothing is written,\n"
   "unless --allow-missing is given. --strict makes every warning an error.",
   "corvane-tool generate deltaglider_vrk.vessdef -o deltaglider_vrk.zip", cmd_generate},
  {"module", "IN [-o OUT]",
   "Writes the vessel module of IN to OUT (default Modules/DLLNAME.dll, in the installation's modules\n"
   "folder whatever its capitalisation).",
   "corvane-tool module deltaglider_vrk.vessdef", cmd_module},
  {"listing", "IN -o OUT", "Writes the thrusters and docking ports of IN to the text file OUT.",
   "corvane-tool listing deltaglider_vrk.vessdef -o ports.txt", cmd_listing},
  {"project", "IN",
   "Writes the development project of IN (DLLNAME.dsw and DLLNAME.dsp) into Vessel_Design/DLLNAME/.",
   "corvane-tool project deltaglider_vrk.vessdef", cmd_project},
  {"install", "ZIP [--root DIR] [--force]",
   "Unpacks the add-on package ZIP into the simulator's root DIR (default: the current folder). Entry\n"
   "names take backslashes as separators, and each folder and file is matched ignoring case to one that\n"
   "exists (\"meshes\\dg\" goes into Meshes/dg). When files of the installation differ from the package,\n"
   "nothing is written unless --force is given. An entry that would lie outside DIR is not written\n"
   "and makes the exit code 1.",
   "corvane-tool install deltaglider_vrk.zip", cmd_install},
  {"run", "[SIMULATOR OPTIONS...]",
   "Starts veltora.exe in the current folder with the options given and exits with its exit code;\n"
   "veltora.exe --help lists its options.",
   "corvane-tool run --steps 200 --key 50:34", cmd_run},
  {"mesh", "FILE",
   "Reads the mesh file FILE and prints its groups (with their LABEL), textures and radius as JSON.",
   "corvane-tool mesh Meshes/dg/deltaglider.msh", cmd_mesh, true},
  {"image", "FILE [--raw OUT]",
   "Decodes the texture image FILE and prints its format, size and the CRC-32 of its RGBA pixels as\n"
   "JSON; OUT receives those pixels.",
   "corvane-tool image Textures/dg/hull.dds", cmd_image, true},
  {"import-mesh", "MODEL OUTPUT.msh [--textures DIR] [--scale S] [--axes +x+y-z] [--force]",
   "Imports the OBJ (with its MTL materials) or glTF 2.0 (.gltf with its buffers, or .glb) model MODEL\n"
   "as the mesh file OUTPUT.msh, and writes every texture its materials name as a DDS file (DXT1 when\n"
   "the image is opaque or its alpha only 0 or 255, else DXT5, with every mipmap level) into\n"
   "Textures/DIR/, named DIR\\NAME.dds in the mesh (DIR default: none).\n"
   "One group per OBJ material run or glTF primitive, labelled with the object or node name; glTF node\n"
   "transforms are applied. Polygons are fanned; lines and points are left out with a warning; faces\n"
   "without normals get their face's normal. OBJ texture v is flipped (it goes up, the mesh's down).\n"
   "--axes gives the source axes that become the vessel's x (right), y (up) and z (forward): default\n"
   "+x+y-z for OBJ (y up, -z forward), -x+y+z for glTF (its own convention); a mirroring choice turns\n"
   "the triangles round. --scale multiplies the coordinates into metres (default 1).\n"
   "Materials: OBJ Kd with d as alpha -> diffuse, Ka -> ambient, Ks -> specular, Ns -> power,\n"
   "Ke -> emissive, map_Kd -> texture. glTF base colour -> diffuse and ambient, emissive factor ->\n"
   "emissive, roughness r -> specular grey 1 - r with power 2/r^4 - 2 (at most 256, none for r = 1),\n"
   "base colour texture -> texture; extras written by export-mesh restore the mesh material exactly.\n"
   "A model that cannot be read whole is refused and nothing is written; existing files are kept\n"
   "unless --force is given.",
   "corvane-tool import-mesh models/ship.glb Meshes/myship/ship.msh --textures myship", cmd_import_mesh},
  {"export-mesh", "MESH.msh OUTPUT.(obj|gltf|glb) [--force]",
   "Exports the mesh file MESH.msh as an OBJ model (with OUTPUT.mtl beside it) or a glTF 2.0 model\n"
   "(.gltf with its buffer inside, or .glb), in the axes import-mesh takes by default. Textures are\n"
   "read from Textures/ and written as PNG files beside OUTPUT at their path in the mesh's list.\n"
   "Existing files are kept unless --force is given.",
   "corvane-tool export-mesh Meshes/dg/deltaglider.msh glider.gltf", cmd_export_mesh},
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
   "group's net force), group-torque (the net torque of a translation, HOVER or RETRO group),\n"
   "main-torque, hover-weight (hover thrust below the weight at 1 g), touchdown-tip (the centre of\n"
   "mass outside the touchdown triangle), module-name-case, gear-animation, aero-animation.\n"
   "Info: hover-none.\n"
   "Exit code 0 when no finding is an error, 1 when one is or when FILE cannot be read.",
   "corvane-tool check deltaglider_vrk.vessdef", cmd_check, true},
  {"diff", "A B",
   "Compares the designs in A and B field by field and prints each difference as a JSON object with\n"
   "its path (\"thrusters[3].max_thrust\"), the old value (A) and the new one (B); an element only one\n"
   "side has shows null on the other. Prints nothing when they are equal.\n"
   "Exit code 0 when equal, 1 when they differ or when a file cannot be read.",
   "corvane-tool diff old.vessdef new.vessdef", cmd_diff, true},
};

// The names of the positional arguments in a usage line: its words before the first option.
astr positional_names(const char* usage) {
  astr names;
  std::string word;
  for (const char* c = usage;; ++c) {
    if (*c && *c != ' ') { word += *c; continue; }
    if (word.empty() || word[0] == '[' || word[0] == '-') break;
    names.push_back(word);
    word.clear();
    if (!*c) break;
  }
  return names;
}

bool listed(std::initializer_list<const char*> options, const std::string& a) {
  for (const char* o : options)
    if (a == o) return true;
  return false;
}

astr written;                                   // files the command wrote; only note_written adds
}  // namespace

std::span<const tool_command> tool_commands() { return table; }

const tool_command& command_named(const std::string& name) {
  for (const tool_command& c : table)
    if (name == c.name) return c;
  throw usage_error("unknown command " + name + "; corvane-tool --help lists the commands");
}

void usage_failure(const tool_command& cmd, const std::string& problem) {
  throw usage_error("usage: corvane-tool " + std::string(cmd.name) + " " + cmd.usage + ": " + problem +
                    " (corvane-tool help " + cmd.name + " explains it)");
}

command_args parse_command_args(const astr& args, const tool_command& cmd, size_t min_positional,
                                size_t max_positional, std::initializer_list<const char*> value_options,
                                std::initializer_list<const char*> flag_options) {
  command_args out;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.size() < 2 || a[0] != '-') { out.positional.push_back(a); continue; }
    if (listed(flag_options, a)) { out.options[a] = ""; continue; }
    if (!listed(value_options, a)) usage_failure(cmd, "unknown option " + a);
    if (i + 1 == args.size()) usage_failure(cmd, "option " + a + " needs a value");
    out.options[a] = args[++i];
  }
  const astr names = positional_names(cmd.usage);
  if (out.positional.size() < min_positional)
    usage_failure(cmd, "missing " + (out.positional.size() < names.size() ? names[out.positional.size()] : "argument"));
  if (out.positional.size() > max_positional) usage_failure(cmd, "unexpected argument " + out.positional[max_positional]);
  return out;
}

// The headless preview: the command's design reads its meshes from the
// installation into headless_meshes, as the designer's preview reads them.
void read_installation_meshes() { preview = mesh_store_calls(); }

// --- Inputs and outputs -------------------------------------------------------------------

constexpr uint64_t sc3_size_limit = 16 << 20;   // far beyond any vessel file; a larger file is none

static uint64_t size_of(const std::string& name) {
  binfile f;
  return file_open(f, name, binfile_read) ? file_size(f) : 0;
}

vessel_design read_input(const std::string& in, bool with_preview) {
  vessel_design d;
  if (with_preview) read_installation_meshes();
  const design_read_result r = read_design_file(d, in);
  if (r.status == design_read_ok) return d;
  if (r.status != design_no_block) throw tool_error(r.message);
  try {
    if (size_of(in) > sc3_size_limit) throw io_error("too large");
    print_notes("note", import_sc3(d, in, sc3_default_name));
    return d;
  } catch (const io_error&) {
    throw tool_error(r.message + ", and no [section] of a Spacecraft3 vessel either: " + in +
                     " is not a design file, a vessel module or a Spacecraft3 vessel");
  }
}

void refuse_same_file(const std::string& in, const std::string& out) {
  if (same_file(in, out)) throw tool_error(out + " is the input file " + in + "; choose another output");
}

void refuse_existing(const std::string& out, const command_args& a) {
  if (!a.has("--force") && kind_of_path(out) != path_missing)
    throw tool_error(out + " exists; give --force to replace it");
}

void note_written(const std::string& path) { written.push_back(path); }
const astr& files_written() { return written; }

void print_notes(const char* label, const astr& lines) {
  for (const std::string& l : lines) std::fprintf(stderr, "%s: %s\n", label, l.c_str());
}
