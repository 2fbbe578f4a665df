// frame_ratio: a hidden-window GL context for drawing benchmarks, and a run
// that prints each benchmark's cost as a multiple of the empty frame.
//
// Every benchmark draws one whole frame per iteration and ends it with
// end_frame (finish and swap); the one named "empty" only clears. Ratios
// rather than times, because the software renderer's speed depends on the
// machine. The cost is the CPU time of the whole process, the renderer's
// threads included (register with ->MeasureProcessCPUTime()): on a machine
// shared with other work, wall time mostly measures the neighbours.
#pragma once
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <GL/gl.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

struct bench_window {
  SDL_Window* window = nullptr;
  SDL_GLContext context = nullptr;
  int width = 800, height = 600;
};

// A compatibility context on an 800 x 600 window; false without a display.
inline bool open_bench_window(bench_window& w) {
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return false;
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  w.window = SDL_CreateWindow("bench", 0, 0, w.width, w.height, SDL_WINDOW_OPENGL);
  if (!w.window) return false;
  w.context = SDL_GL_CreateContext(w.window);
  return w.context && SDL_GL_MakeCurrent(w.window, w.context) == 0;
}

inline void close_bench_window(bench_window& w) {
  if (w.context) SDL_GL_DeleteContext(w.context);
  if (w.window) SDL_DestroyWindow(w.window);
  SDL_Quit();
}

inline void begin_frame() { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }

inline void end_frame(bench_window& w) {
  glFinish();                       // the software renderer draws lazily; count all of it
  SDL_GL_SwapWindow(w.window);
}

// The baseline every frame is measured against: clear and swap, nothing drawn.
// Register as BENCHMARK_CAPTURE(empty_frame, baseline, &window)->Name("empty").
inline void empty_frame(benchmark::State& state, bench_window* w) {
  for (auto _ : state) {
    begin_frame();
    end_frame(*w);
  }
}

// Keeps the CPU seconds per iteration of every run while printing as usual.
class frame_keeper : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> seconds;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration && r.iterations > 0)
        seconds[r.run_name.function_name] = r.cpu_accumulated_time / double(r.iterations);
    ConsoleReporter::ReportRuns(runs);
  }
};

// Runs the registered benchmarks and prints each one's cost as a multiple of
// the baseline's ("empty" unless a benchmark says what it is measured against).
inline int run_frame_ratios(int argc, char** argv, const std::string& baseline = "empty") {
  benchmark::Initialize(&argc, argv);
  frame_keeper keeper;
  benchmark::RunSpecifiedBenchmarks(&keeper);
  auto base = keeper.seconds.find(baseline);
  if (base != keeper.seconds.end())
    for (const auto& [name, s] : keeper.seconds)
      if (name != baseline)
        std::printf("%-24s %8.3f ms CPU = %6.2f %s frames (%.3f ms)\n", name.c_str(), s * 1e3, s / base->second,
                    baseline.c_str(), base->second * 1e3);
  benchmark::Shutdown();
  return 0;
}
