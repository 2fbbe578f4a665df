// The designer's scene on the software renderer, against an empty frame:
// a frame of the template vessel (its two demo meshes, the Earth below) with
// every marker slot filled and a thruster selected, so the pulse and the
// handles are drawn; one pick of the handles under the mouse; and one
// preview animation step of the template's gear. Targets: the frame within
// two empty frames, the pick within one template frame.
#include <filesystem>

#include "design/designtemplate.h"
#include "design/kvgen.h"
#include "frame_ratio.h"
#include "render/kvvorl.h"
#include "render/vorlaux.h"
#include "render/vorlcalc.h"
#include "render/vorldraw.h"

namespace {

bench_window win;
vessel_design design_shown;

void template_frame(benchmark::State& state) {
  for (auto _ : state) {
    planets_frame(vorl_scene);
    render_preview(vorl_scene, design_shown);
    end_frame(win);
  }
}

void handle_pick(benchmark::State& state) {
  const vec2 c = vorl_scene.handle_points[0], x_end = vorl_scene.handle_points[1];
  const int x = int((c.x + x_end.x) / 2), y = int((c.y + x_end.y) / 2);
  for (auto _ : state) {
    pick(vorl_scene, x, y, true);
    end_frame(win);
  }
  state.counters["handle"] = vorl_scene.picked_handle;
}

void gear_step(benchmark::State& state) {   // no drawing: the vertices of one frame's animation step
  const int gear = design_shown.header.gear_anim;
  int step = 0;
  for (auto _ : state) {
    step = (step + 1) % 40;                 // 1 -> 0 in twenty steps, then back
    set_animation_position(design_shown, gear, step <= 20 ? 1 - step / 20.0 : (step - 20) / 20.0);
    update_scene(vorl_scene, design_shown);
  }
}

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  if (!open_bench_window(win)) {
    std::fprintf(stderr, "bench_glscene: no GL window (%s)\n", SDL_GetError());
    return 1;
  }
  probe_capabilities();
  const fs::path demo = CORVANE_DEMO_ROOT, work = fs::temp_directory_path() / "corvane-bench-scene";
  fs::remove_all(work);
  fs::create_directories(work);
  for (const char* folder : {"Meshes", "Textures"}) fs::create_directory_symlink(demo / folder, work / folder);
  fs::current_path(work);                                // the installation's root; the engine's log goes here
  start_engine(vorl_scene, win.width, win.height, nullptr);
  install_planet_code();
  start_scene(vorl_scene);
  preview = scene_preview_calls();
  preview.shown = &design_shown;
  apply_template(design_shown);
  const draw_rec& vessel = *vorl_scene.objects[vessel_object]->draw;
  if (vessel.meshes.empty() || !vessel.meshes[0].loaded) {
    std::fprintf(stderr, "bench_glscene: the template's meshes are not in %s\n", demo.c_str());
    return 1;
  }
  for (int kind = 0; kind < marker_slots; ++kind) show_markers(vorl_scene, design_shown, kind);
  set_markers_mode(vorl_scene, true);
  vorl_scene.picked_object = marker_object;              // the first thruster's position
  vorl_scene.picked_mesh = 1;
  vorl_scene.picked_group = 0;
  planets_frame(vorl_scene);                             // textures loaded and handle ends known before timing
  render_preview(vorl_scene, design_shown);
  add_frame_case("empty", [](benchmark::State& st) {
    for (auto _ : st) {
      begin_frame();
      end_frame(win);
    }
  });
  add_frame_case("template, markers", template_frame);
  add_frame_case("pick, handles", handle_pick);
  add_frame_case("gear step", gear_step);
  const frame_rounds r = run_frame_rounds(argc, argv);
  print_frame_rounds(r, "empty");
  check_ratio(r, "template, markers", "empty", 2.0);
  check_ratio(r, "pick, handles", "template, markers", 1.0);
  stop_scene(vorl_scene);
  stop_engine(vorl_scene);
  close_bench_window(win);
  fs::current_path(demo);
  fs::remove_all(work);
  return 0;
}
