// The editor's work for one input event that changes nothing: a mouse move
// over the pages, then the checkpoint that records changes as undo steps.
// Beside it, for scale, one snapshot of the same design: the work every such
// event did while undo found changes by comparing snapshots. Absolute times;
// the two lines of one run are the comparison.
#include <benchmark/benchmark.h>

#include "design/designtemplate.h"
#include "editor/grpgui.h"
#include "editor/kvwindows.h"
#include "editor/undo.h"

namespace {

void start_editor() {
  gui_init();
  screen = {1024, 768};
  pages = pages_state{};
  design = vessel_design{};
  apply_template(design);
  pages_build(1024, 768);
  show_page(page_general);
  undo_start();
}

void event_without_change(benchmark::State& state) {
  start_editor();
  int x = 0;
  for (auto _ : state) {
    gui_mouse_move(0, 300 + (x++ & 63), 300);
    undo_checkpoint();
  }
  if (history.done.size() != 1) state.SkipWithError("a mouse move recorded a step");
}

void snapshot_of_the_design(benchmark::State& state) {
  start_editor();
  for (auto _ : state) benchmark::DoNotOptimize(design_snapshot(design));
}

}  // namespace

BENCHMARK(event_without_change)->Name("editor/event_without_change")->Unit(benchmark::kMicrosecond);
BENCHMARK(snapshot_of_the_design)->Name("editor/snapshot_of_the_design")->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
