// The preview's backdrop (sky, stars, sun) at the template's view turned down
// to the Earth, with the planet and without it, in the same run: the planet's
// cost as a multiple of the backdrop alone. The planet textures are the demo
// installation's.
#include "frame_ratio.h"
#include "render/vorlaux.h"
#include "render/vorlcalc.h"
#include "render/vorldraw.h"

namespace {

bench_window win;

void frames(benchmark::State& state) {
  for (auto _ : state) {
    planets_frame(vorl_scene);
    render_scene(vorl_scene);
    end_frame(win);
  }
}

void backdrop(benchmark::State& state) {
  auto kept = std::move(vorl_scene.planets);
  frames(state);
  vorl_scene.planets = std::move(kept);
}

}  // namespace

int main(int argc, char** argv) {
  if (!open_bench_window(win)) {
    std::fprintf(stderr, "bench_glplanet: no GL window (%s)\n", SDL_GetError());
    return 1;
  }
  probe_capabilities();
  start_engine(vorl_scene, win.width, win.height, nullptr);
  vorl_scene.texture_dir = CORVANE_DEMO_ROOT "/Textures";
  vorl_scene.mesh_dir = CORVANE_DEMO_ROOT "/Meshes";
  vorl_scene.camera.position = add(add_backdrop_earth(vorl_scene).position, add(earth_vessel_offset, {0, 0, -20}));
  vorl_scene.camera.angles = {-0.9, 0, 0};
  planets_frame(vorl_scene);        // the textures loaded before timing
  add_frame_case("backdrop", backdrop);
  add_frame_case("backdrop with the Earth", frames);
  print_frame_rounds(run_frame_rounds(argc, argv), "backdrop");
  stop_engine(vorl_scene);
  close_bench_window(win);
  return 0;
}
