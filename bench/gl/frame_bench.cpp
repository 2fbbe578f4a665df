// One preview frame on the software renderer, against an empty frame (clear
// and swap): the backdrop alone (sky, star field, sun), and the backdrop with
// the demo installation's glider mesh in front of the camera, drawn through
// vertex buffers and through client arrays.
#include <filesystem>

#include "gl/glmesh.h"
#include "frame_ratio.h"
#include "mesh/grplib.h"
#include "render/vorlaux.h"
#include "render/vorldraw.h"

namespace {

bench_window win;
typmsh glider;

void draw_glider(vorlscene&, scene_object&, int, int pass, bool) {
  if (pass == 0) draw_mesh(glider, {0, 0, 0}, {0, 0, 0}, {1, 1, 1});
}

void empty(benchmark::State& state) {
  for (auto _ : state) {
    begin_frame();
    end_frame(win);
  }
}

void frame(benchmark::State& state, bool with_glider, bool buffers) {
  vorl_scene.objects.clear();
  if (with_glider) {
    auto o = std::make_unique<scene_object>();
    o->position = {vorl_scene.camera.position.x, vorl_scene.camera.position.y, vorl_scene.camera.position.z + 25};
    o->draw = std::make_unique<draw_rec>();
    vorl_scene.objects.push_back(std::move(o));
  }
  glmesh.buffers_on = buffers;
  for (auto _ : state) {
    render_scene(vorl_scene);
    end_frame(win);
  }
  state.counters["indices"] = double(glmesh.drawn_indices) / double(state.iterations());
  glmesh.drawn_indices = 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (!open_bench_window(win)) {
    std::fprintf(stderr, "bench_glframe: no GL window (%s)\n", SDL_GetError());
    return 1;
  }
  probe_capabilities();
  const std::string demo = CORVANE_DEMO_ROOT;
  const std::filesystem::path work = std::filesystem::temp_directory_path() / "corvane-bench-frame";
  std::filesystem::create_directories(work);
  std::filesystem::current_path(work);                 // the engine's log goes here
  start_engine(vorl_scene, win.width, win.height, nullptr);
  vorl_scene.camera.position = {1.5e11, 12000000, -20};  // where the designer starts
  if (!read_mesh(glider, demo + "/Meshes/dg/deltaglider.msh", demo + "/Textures/")) {
    std::fprintf(stderr, "bench_glframe: cannot read the glider from %s\n", demo.c_str());
    return 1;
  }
  upload_mesh_textures(glider);
  for (typmshgrp& g : glider.groups) g.buffered = true;
  object_code.draw_object = draw_glider;
  std::printf("glider: %zu groups\n", glider.groups.size());
  add_frame_case("empty", empty);
  add_frame_case("backdrop", [](benchmark::State& s) { frame(s, false, true); });
  add_frame_case("glider, vertex buffers", [](benchmark::State& s) { frame(s, true, true); });
  add_frame_case("glider, client arrays", [](benchmark::State& s) { frame(s, true, false); });
  const frame_rounds r = run_frame_rounds(argc, argv);
  print_frame_rounds(r, "empty");
  check_ratio(r, "backdrop", "empty", 1.5);
  check_ratio(r, "glider, vertex buffers", "glider, client arrays", 1.0);
  release_mesh_gl(glider);
  stop_engine(vorl_scene);
  close_bench_window(win);
  std::filesystem::remove_all(work);
  return 0;
}
