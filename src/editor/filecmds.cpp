// filecmds: New, Load, Save, Generate, Run Veltora, Exit and the mesh commands.
#include "editor/filecmds.h"

#include <filesystem>
#include <mutex>
#include <vector>
#include "base/instpath.h"
#include "base/sys.h"
#include "design/designfile.h"
#include "design/designtemplate.h"
#include "design/kvgen.h"
#include "design/meshstore.h"
#include "design/sc3import.h"
#include "design/veltools.h"
#include "editor/autosave.h"
#include "editor/filedialog.h"
#include "editor/importcmd.h"
#include "editor/kvwindows.h"
#include "editor/meshview.h"
#include "editor/selection.h"
#include "editor/statusline.h"
#include "generate/addon_install.h"
#include "generate/addon_files.h"
#include "generate/launcher.h"
#include "generate/module_writer.h"
#include "generate/project_writer.h"

file_commands_state files;

namespace {

constexpr uint16_t left_button = 0x0200;     // the shift word's bit for the left mouse button
constexpr size_t dialog_name_limit = 255;    // characters of a dialog's initial name

enum export_filter { export_addon = 1, export_module, export_listing, export_project, export_addon_zip };
enum load_filter { load_design_file = 1, load_module, load_sc3, load_any };

const std::vector<file_filter> export_filters = {
  {"Add-ons (*.zip)", "*.zip"}, {"Vessel modules (*.dll)", "*.dll"}, {"Definitions (*.txt)", "*.txt"},
  {"Sources (*.cpp, no select)", "*.cpp"}, {"All file types", "*.*"}};
const std::vector<file_filter> load_filters = {
  {"Vessel definitions (*.vessdef)", "*.vessdef"}, {"Vessel modules (*.dll)", "*.dll"},
  {"Spacecraft3 vessels (*.ini)", "*.ini"}, {"All file types", "*.*"}};
const std::vector<file_filter> mesh_filters = {{"Meshes", "*.msh"}, {"All file types", "*.*"}};
const std::vector<file_filter> model_filters = {
  {"Models (*.obj, *.gltf, *.glb)", "*.obj;*.gltf;*.glb"}, {"OBJ (*.obj)", "*.obj"}, {"glTF (*.gltf, *.glb)", "*.gltf;*.glb"},
  {"All file types", "*.*"}};

std::string dll_name() { return name_of(design.header.dll_name, sizeof design.header.dll_name); }
std::string design_file_name() { return dll_name() + design_extension; }
std::string in_root(const std::string& name) { return files.root + "/" + name; }

// Every dialog returns the process to the root, so relative paths keep meaning the installation.
void restore_root() {
  if (!files.root.empty() && !enter_folder(files.root))
    show_message("Cannot return to the folder \"" + files.root + "\".");
}

// Opens a dialog; after OK the chosen path and filter go to route.
void open_dialog(file_dialog_request request, void (*route)(const std::string& path, int filter)) {
  file_dialog_open(request, [route](const file_dialog_result& r) {
    restore_root();
    if (r.ok) route(r.path, r.filter_index);
    pages_frame();
  });
}

void show_progress(const std::string& line) {
  preview.progress(line);
}

std::string joined(const astr& lines) {
  std::string text;
  for (const std::string& l : lines) text += (text.empty() ? "" : " ") + l;
  return text;
}

// Names the files a written package lacks, as many as the message window shows, then how many more.
std::string left_out_message(const astr& names) {
  const size_t room = message_line_chars * message_lines;
  const auto count = [](size_t n) { return std::to_string(n) + (n == 1 ? " file" : " files"); };
  std::string text = "The package was written without " + count(names.size()) + " that could not be read: ";
  size_t shown = 0;
  for (; shown < names.size(); ++shown) {
    const size_t rest = names.size() - shown - 1;
    const std::string next = (shown ? ", " : "") + names[shown];
    const std::string more = rest ? " and " + std::to_string(rest) + " more" : "";
    if (text.size() + next.size() + more.size() + 1 > room) break;
    text += next;
  }
  if (shown < names.size()) text += (shown ? " and " + std::to_string(names.size() - shown) + " more" : count(names.size()));
  return text + ".";
}

std::string file_name_of(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

// A written package is offered for installing at once.
void write_addon(const std::string& path) {
  astr messages;
  const addon_report report = generate_addon(design, package_sources(design, files.root, settings.author_name), path, messages);
  if (!report.left_out_files.empty()) messages.push_back(left_out_message(report.left_out_files));
  if (!messages.empty()) show_message(joined(messages));
  status_say("Generated " + file_name_of(path) + ", " + size_text(file_size_of(path)) + ", " +
             counted(report.entries, "entry", "entries"));
  files.installable = path;
  ask(confirm_install, "Install the add-on into this installation now?");
}

// Installs the package Generate wrote; asks once when files of the installation would change.
void install_addon(bool replace) {
  try {
    const install_plan plan = plan_install(files.installable, files.root);
    const astr differing = differing_files(plan);
    if (!differing.empty() && !replace) {
      ask(confirm_install_replace, "Replace " + std::to_string(differing.size()) +
                                       " files of the installation that differ, such as " + differing[0] + "?");
      return;
    }
    const install_report r = install_package(plan);
    status_say("Installed " + file_name_of(files.installable) + ": " + counted(r.files, "file", "files") + ", " +
               size_text(r.bytes));
    if (!plan.refused.empty()) show_message("Not installed: " + joined(plan.refused));
  } catch (const io_error& e) {
    show_message(e.what());
  }
}

// A fresh start for the pages after the design was replaced.
void design_replaced() {
  for (list_state& l : pages.lists) l = list_state{};
  pages.current_comp = pages.comp_first = 0;
  clear_selection();
}

// The path below the meshes folder of a file in it, "" when it lies elsewhere.
std::string below_meshes(const std::string& path) {
  namespace fs = std::filesystem;
  const std::string meshes = install_path(files.root, "meshes");
  if (meshes.empty()) return "";
  std::error_code ec;
  const fs::path rel = fs::weakly_canonical(path, ec).lexically_relative(fs::weakly_canonical(meshes, ec));
  if (ec || rel.empty() || *rel.begin() == "..") return "";
  return rel.generic_string();
}

}  // namespace

void file_commands_init(const std::string& root) { files.root = root; }

// --- Main menu ---------------------------------------------------------------------------------------

void command_exit() {
  preview.exit_program();
}

void command_new() { ask(confirm_reset, "Erase everything and reset the corvane?"); }

void command_save() {
  const std::string name = design_file_name();
  if (!is_safe_relative(name)) {
    show_message("The DLL name \"" + dll_name() + "\" does not make a file name in this folder.");
    return;
  }
  if (file_exists(in_root(name))) ask(confirm_save, "Overwrite \"" + name + "\"?");
  else save_design_now();
}

void save_design_now() {
  try {
    const std::string path = in_root(design_file_name());
    write_design_file(design, path);
    status_say("Saved " + design_file_name() + ", " + size_text(file_size_of(path)));
  } catch (const io_error& e) {
    show_message(e.what());
  }
}

void command_yes() {
  const int action = pages.confirm;
  pages.confirm = confirm_none;
  if (action == confirm_save) save_design_now();
  if (action == confirm_reset) {
    apply_template(design);
    design_replaced();
  }
  if (action == confirm_restore) autosave_restore();
  if (action == confirm_install || action == confirm_install_replace) install_addon(action == confirm_install_replace);
  if (action == confirm_delete_mesh) delete_mesh(design, pages.doomed_mesh);
}

void command_blank() {
  pages.confirm = confirm_none;
  replace_design(design, vessel_design{});
  design_replaced();
}

void command_load() {
  open_dialog({"Load", "", "", load_filters, 1, fd_FileMustExist | fd_PathMustExist}, load_design);
}

void command_generate() {
  std::string name = dll_name() + ".zip";
  name.resize(std::min(name.size(), dialog_name_limit));
  open_dialog({"Export", "", name, export_filters, 1, fd_PathMustExist | fd_Save}, export_design);
}

namespace {

struct run_mailbox {               // written by the simulator threads and show_run_reports
  std::mutex lock;
  std::vector<std::string> sentences;
} runs;

void run_failed(const std::string& sentence) {
  {
    std::lock_guard<std::mutex> hold(runs.lock);
    runs.sentences.push_back(sentence);
  }
  preview.wake();
}

}  // namespace

void command_run() { run_veltora(files.root, run_failed); }

void show_run_reports() {
  std::vector<std::string> shown;
  {
    std::lock_guard<std::mutex> hold(runs.lock);
    shown.swap(runs.sentences);
  }
  for (const std::string& s : shown) show_message(s);   // the newest stays in the window
}

// --- Dialog routing -------------------------------------------------------------------------------------

void export_design(const std::string& path, int filter) {
  show_progress("Generating");
  try {
    switch (filter) {
      case export_addon: write_addon(path); break;
      case export_module:
        write_module_file(design, path, files.root);
        status_say("Wrote the module " + file_name_of(path) + ", " + size_text(file_size_of(path)));
        break;
      case export_listing:
        write_listing(design, path);
        status_say("Wrote the listing " + file_name_of(path) + ", " + size_text(file_size_of(path)));
        break;
      case export_project:
        write_project(files.root, dll_name());
        status_say("Wrote the project into Vessel_Design/" + dll_name());
        break;
      case export_addon_zip: write_addon(path + ".zip"); break;
      default: break;
    }
  } catch (const io_error& e) {
    show_message(e.what());
  }
}

void load_design(const std::string& path, int filter) {
  vessel_design loaded;                 // no preview: the live one is told once the read succeeded
  astr notes;
  show_progress("Loading");
  try {
    if (filter == load_sc3) {
      notes = import_sc3(loaded, path, sc3_default_name);
    } else {
      const design_read_result r = read_design_file(loaded, path);
      if (r.status != design_read_ok) {
        show_message(r.message);
        return;
      }
    }
  } catch (const io_error& e) {
    show_message(e.what());
    return;
  }
  replace_design(design, std::move(loaded));
  design_replaced();
  status_say((filter == load_sc3 ? "Imported " : "Loaded ") + file_name_of(path) + ", " + size_text(file_size_of(path)) +
             ", " + counted(design.data.meshes.size(), "mesh", "meshes") + ", " +
             counted(design.data.thrusters.size(), "thruster", "thrusters"));
  if (!notes.empty()) show_message(joined(notes));
}

void choose_mesh_file(const std::string& path) {
  const std::string rel = below_meshes(path);
  if (rel.size() <= 4) {
    show_message("Choose a mesh inside the simulator's meshes folder.");
    return;
  }
  browser.browse_rel.clear();
  mesh_view_release();
  files.pending_mesh = rel.substr(0, rel.size() - 4);
  show_page(page_mesh_view);
}

// --- Mesh commands --------------------------------------------------------------------------------------

void command_browse_meshes() {
  browser.root = files.root;
  browse_start(browser);
  files.browser_page = 0;
  files.hovered = -1;
  show_page(page_browser);
}

void command_other_mesh() {
  const std::string meshes = install_path(files.root, "meshes");
  open_dialog({"Open mesh", meshes.empty() ? "meshes" : meshes, "", mesh_filters, 1,
               fd_FileMustExist | fd_PathMustExist},
              [](const std::string& path, int) { choose_mesh_file(path); });
}

void command_import_model() {
  open_dialog({"Import model", "", "", model_filters, 1, fd_FileMustExist | fd_PathMustExist},
              [](const std::string& path, int) { choose_model_file(path); });
}

void command_cancel_mesh() {
  import_drop();
  mesh_view_release();
  files.pending_mesh.clear();
  hide_page(page_mesh_view);
}

void command_select_mesh() {
  if (import_pending() && !import_write()) return;
  import_drop();
  mesh_view_release();
  if (!files.pending_mesh.empty()) add_mesh(design, browser.browse_rel + files.pending_mesh, visibility_external);
  files.pending_mesh.clear();
  hide_page(page_mesh_view);
  hide_page(page_browser);
}

// --- Mesh browser -----------------------------------------------------------------------------------------

browser_grid browser_geometry(int width, int height) {
  browser_grid g;
  const int usable_w = width - 54, usable_h = height - 94;
  const int column = 8 * browser.mesh_browse_width + 5;
  g.columns = usable_w > 0 ? usable_w / column : 0;
  g.pitch = g.columns > 0 ? usable_w / g.columns : 0;
  g.rows = usable_h > 0 ? usable_h / 21 : 0;
  return g;
}

int browser_cell(const browser_grid& g, int x, int y) {
  for (int j = 0; j < g.columns; ++j)
    for (int i = 0; i < g.rows; ++i) {
      const int left = 9 + j * g.pitch, top = 44 + 21 * i;
      if (x >= left && x <= left + g.pitch - 2 && y >= top && y <= top + 20) return j * g.rows + i;
    }
  return -1;
}

namespace {

bool in_box(int x, int y, int left, int top) { return x >= left && x <= left + 16 && y >= top && y <= top + 16; }

void browser_press(const browser_grid& g, int width, int height, int x, int y) {
  const int count = int(browser.mesh_browse_list.size());
  if (in_box(x, y, 5, height - 48)) {
    if (files.browser_page > 0) --files.browser_page;
    return;
  }
  if (in_box(x, y, width - 61, height - 48)) {
    if (g.rows > 0 && files.browser_page + 1 < double(count) / g.rows) ++files.browser_page;
    return;
  }
  const int cell = browser_cell(g, x, y);
  const int entry = cell < 0 ? -1 : files.browser_page * g.rows + cell;
  if (entry < 0 || entry >= count) return;
  if (browse_open(browser, entry)) {
    files.browser_page = 0;
    return;
  }
  mesh_view_release();
  files.pending_mesh = browser.mesh_browse_list[size_t(entry)];
  show_page(page_mesh_view);
}

}  // namespace

void browser_mouse(gg_wndtype& w, int kind, uint16_t shift, int x, int y) {
  const browser_grid g = browser_geometry(w.width, w.height);
  if (kind == gg_down && (shift & left_button)) browser_press(g, w.width, w.height, x, y);
  else files.hovered = browser_cell(g, x, y);
}
