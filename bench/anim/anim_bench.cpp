// One preview animation step of the template's gear: the template design on
// the demo installation's meshes, the gear moved by a twentieth of its run per
// step, down and up again. Reported per step and per vertex of the gear's
// groups (every group one of its components names), absolute times: the
// frame benchmarks set steps beside an empty frame.
#include <benchmark/benchmark.h>

#include <set>

#include "design/designtemplate.h"
#include "design/kvvar.h"
#include "design/meshstore.h"
#include "render/vorlanim.h"

namespace {

void gear_step(benchmark::State& state) {
  mesh_store* store = &headless_meshes;
  store->root = CORVANE_DEMO_ROOT;
  static preview_anims anims_of_gear;
  preview_anims* anims = &anims_of_gear;
  preview = mesh_store_calls();
  preview.anim_registered = [](const vessel_design& d, int anim) { register_preview_animation(anims_of_gear, d, anim); };
  preview.comp_registered = [](const vessel_design& d, int anim, int comp) {
    register_preview_component(anims_of_gear, d, anim, comp);
  };
  vessel_design d;
  apply_template(d);
  const int gear = d.header.gear_anim;
  if (store->meshes.empty() || !store->meshes[0].loaded) return state.SkipWithError("demo meshes not found");
  std::set<int32_t> groups;
  for (const anim_comp_entry& c : anims->anims[size_t(gear)].comps) groups.insert(c.transform.groups.begin(), c.transform.groups.end());
  double vertices = 0;
  for (int32_t g : groups) vertices += double(store->meshes[0].groups[size_t(g)].vertices.size());
  int step = 0;
  for (auto _ : state) {
    step = (step + 1) % 40;  // 1 -> 0 in twenty steps, then back
    const double position = step <= 20 ? 1 - step / 20.0 : (step - 20) / 20.0;
    move_preview_animation(*anims, gear, position);
    update_animations(*anims, store->meshes);
  }
  state.counters["gear_vertices"] = vertices;
  state.counters["per_vertex"] = benchmark::Counter(vertices * double(state.iterations()),
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(gear_step)->Name("anim/gear_step")->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
