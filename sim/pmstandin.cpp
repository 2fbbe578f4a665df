// pmstandin: the stand-in Payload Manager library ("PayloadManager.dll").
//
// Records every call it gets in the simulator's report, prefixed "pm", and
// keeps just enough per vessel to answer: the scenario lines it owns (keys
// starting "PAYLOAD") are taken by loadState and written back by clbkSaveState.
//
// Builds on: payload_manager.h (the calls), report.h (sim_record, exported by
// the simulator).
#include <cstdio>
#include <cstring>
#include <string>
#include <strings.h>
#include <vector>
#include "payload_manager.h"
#include "report.h"

struct pm_rec {                                  // one bound vessel
  VESSEL* vessel;
  int pre_steps = 0;                             // steps seen, reported once at the end
  int post_steps = 0;
  std::vector<std::string> lines;                // payload lines read from the scenario
};

namespace {
const char* const payload_key = "PAYLOAD";

void record(const pm_rec* pm, const std::string& text) {
  std::string line = "[" + std::string(pm ? pm->vessel->GetName() : "editor") + "] pm " + text;
  sim_record(line.c_str());
}
} // namespace

extern "C" {

pm_handle init_pm(VESSEL* vessel, int mode_a, int mode_b) {
  pm_rec* pm = new pm_rec{vessel, 0, 0, {}};
  record(pm, "init_pm " + std::to_string(mode_a) + " " + std::to_string(mode_b));
  return pm;
}

void delete_pm(pm_handle pm) {
  record(pm, "delete_pm after " + std::to_string(pm->pre_steps) + " pre-steps and " +
                 std::to_string(pm->post_steps) + " post-steps");
  delete pm;
}

void define_vehicle(pm_handle pm, const char* class_name, double size, double empty_mass) {
  char text[64];
  snprintf(text, sizeof text, " size %g mass %g", size, empty_mass);
  record(pm, "define_vehicle \"" + std::string(class_name) + "\"" + text);
}

void clbkSaveState(pm_handle pm, scn_handle scn) {
  record(pm, "clbkSaveState");
  for (const std::string& line : pm->lines) {
    size_t blank = line.find(' ');
    vapiWriteScenarioLine(scn, line.substr(0, blank).c_str(),
                          blank == std::string::npos ? "" : line.substr(blank + 1).c_str());
  }
}

bool loadState(pm_handle pm, const char* line) {
  bool mine = strncasecmp(line, payload_key, strlen(payload_key)) == 0;
  if (mine) {
    pm->lines.push_back(line);
    record(pm, "loadState \"" + std::string(line) + "\"");
  }
  return mine;
}

void clbkPreStep(pm_handle pm, double, double, double) { pm->pre_steps++; }

void clbkPostStep(pm_handle pm, double, double, double) { pm->post_steps++; }

void DefineScenarioEditorPage(editor_handle editor, obj_handle) {
  record(nullptr, "DefineScenarioEditorPage");
}

} // extern "C"
