// vrkdll_addons: loading the add-on libraries beside the module (see header).
#include "vrkdll_addons.h"
#include <dirent.h>
#include <strings.h>
#include <string>
#include "base/dynlib.h"

namespace {

struct symbol_slot {
  const char* name;                      // exported name
  void** slot;                           // where its address goes
};

struct addon_state {                     // written only by load_addon and release_addons
  void* pm_lib = nullptr;                // loaded Payload Manager, or null
  void* crew_lib = nullptr;              // loaded crew library, or null
  bool pm_tried = false;                 // loading was attempted
  bool crew_tried = false;
  pm_api pm{};
  crew_api crew{};
};
addon_state addons;

std::string folder_of(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// The file in folder whose name matches name without regard to case, or "".
std::string find_in_folder(const std::string& folder, const char* name) {
  std::string found;
  if (DIR* d = opendir(folder.c_str())) {
    while (dirent* e = readdir(d))
      if (strcasecmp(e->d_name, name) == 0) {
        found = folder + "/" + e->d_name;
        break;
      }
    closedir(d);
  }
  return found;
}

void* load_addon(const char* name, const symbol_slot* slots, int count) {
  std::string path = find_in_folder(folder_of(module_file()), name);
  void* lib = path.empty() ? nullptr : dynlib_open(path);
  for (int i = 0; lib && i < count; i++)
    if (!(*slots[i].slot = dynlib_symbol(lib, slots[i].name))) {
      dynlib_close(lib);
      lib = nullptr;
    }
  return lib;
}

} // namespace

const char* module_file() {
  static std::string own;
  if (own.empty()) own = dynlib_file_of(reinterpret_cast<const void*>(&module_file));
  return own.c_str();
}

const pm_api* payload_manager() {
  pm_api& a = addons.pm;
  const symbol_slot slots[] = {
    {"init_pm", (void**)&a.init}, {"delete_pm", (void**)&a.remove},
    {"define_vehicle", (void**)&a.define_vehicle}, {"clbkSaveState", (void**)&a.save_state},
    {"loadState", (void**)&a.load_state}, {"clbkPreStep", (void**)&a.pre_step},
    {"clbkPostStep", (void**)&a.post_step}, {"DefineScenarioEditorPage", (void**)&a.editor_page},
  };
  if (!addons.pm_tried) addons.pm_lib = load_addon("PayloadManager.dll", slots, std::size(slots));
  addons.pm_tried = true;
  return addons.pm_lib ? &a : nullptr;
}

const crew_api* crew_library() {
  crew_api& a = addons.crew;
  const symbol_slot slots[] = {
    {"crew_init", (void**)&a.init}, {"crew_exit", (void**)&a.exit},
    {"crew_define_airlock", (void**)&a.define_airlock}, {"crew_set_max", (void**)&a.set_max},
    {"crew_add_member", (void**)&a.add_member}, {"crew_step", (void**)&a.step},
    {"crew_eject", (void**)&a.eject}, {"crew_max", (void**)&a.max},
    {"crew_count", (void**)&a.count}, {"crew_member_name", (void**)&a.member_name},
  };
  if (!addons.crew_tried) addons.crew_lib = load_addon("UMmu.dll", slots, std::size(slots));
  addons.crew_tried = true;
  return addons.crew_lib ? &a : nullptr;
}

void release_addons() {
  if (addons.pm_lib) dynlib_close(addons.pm_lib);
  if (addons.crew_lib) dynlib_close(addons.crew_lib);
  addons = addon_state{};
}
