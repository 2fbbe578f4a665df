// frame_ratio: a hidden-window GL context for drawing benchmarks, and a run
// that measures each case as a multiple of a baseline frame measured beside it.
//
// Every case draws whole frames and ends each one with end_frame (finish and
// swap). The cases run in rounds: a round runs every case once for the same
// number of frames, starting one case later than the round before, so that
// the load of other work on the machine falls on every case alike. The first
// round only warms up (buffers built, textures placed) and is not counted.
// Each counted round gives a case its ratio to the baseline of that same
// round; the summary shows the median over the rounds with the quartiles and
// the extremes. Ratios rather than times, because the software renderer's
// speed depends on the machine.
//
// The cost is the CPU time of the whole process, the renderer's threads
// included (a case is registered with MeasureProcessCPUTime): on a machine
// shared with other work, wall time mostly measures the neighbours. The
// wall-time ratio is printed beside it as a check.
//
// Options before Google Benchmark's own: --rounds=N (counted rounds, 15) and
// --frames=N (frames of each case in a round, 20).
#pragma once
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
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

// --- Cases and rounds -----------------------------------------------------------------

struct frame_cost {                 // one case in one round, seconds per frame
  double cpu = 0, wall = 0;
};

struct frame_rounds {               // written by run_frame_rounds
  std::vector<std::string> names;   // in the order they were added
  std::map<std::string, std::vector<frame_cost>> costs;  // one entry per counted round
  std::map<std::string, std::map<std::string, double>> counters;  // the last round's, per frame
};

struct ratio_spread {
  double median = 0, low_quartile = 0, high_quartile = 0, lowest = 0, highest = 0;
  size_t rounds = 0;
};

using frame_fn = std::function<void(benchmark::State&)>;

inline std::vector<std::pair<std::string, frame_fn>>& frame_cases() {
  static std::vector<std::pair<std::string, frame_fn>> cases;
  return cases;
}

// Adds one case; fn draws one frame per iteration of its state.
inline void add_frame_case(const std::string& name, frame_fn fn) { frame_cases().emplace_back(name, std::move(fn)); }

// Keeps the time per frame of every run instead of printing it.
class frame_collector : public benchmark::BenchmarkReporter {
 public:
  std::map<std::string, frame_cost> last;
  std::map<std::string, std::map<std::string, double>> counters;
  bool ReportContext(const Context&) override { return true; }
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      if (r.run_type != Run::RT_Iteration || r.iterations <= 0) continue;
      const double n = double(r.iterations);
      last[r.run_name.function_name] = {r.cpu_accumulated_time / n, r.real_accumulated_time / n};
      for (const auto& [key, c] : r.counters) counters[r.run_name.function_name][key] = c.value;
    }
  }
};

inline double quantile(std::vector<double> v, double q) {
  std::sort(v.begin(), v.end());
  const double at = q * double(v.size() - 1);
  const size_t i = size_t(at);
  return i + 1 < v.size() ? v[i] + (v[i + 1] - v[i]) * (at - double(i)) : v.back();
}

// The per-round ratio of case a to case b (CPU time, or wall time).
inline ratio_spread ratio_of(const frame_rounds& r, const std::string& a, const std::string& b, bool cpu = true) {
  ratio_spread out;
  auto ia = r.costs.find(a), ib = r.costs.find(b);
  if (ia == r.costs.end() || ib == r.costs.end()) return out;
  std::vector<double> ratios;
  for (size_t i = 0; i < std::min(ia->second.size(), ib->second.size()); ++i) {
    const frame_cost& x = ia->second[i];
    const frame_cost& y = ib->second[i];
    const double den = cpu ? y.cpu : y.wall;
    if (den > 0) ratios.push_back((cpu ? x.cpu : x.wall) / den);
  }
  if (ratios.empty()) return out;
  out = {quantile(ratios, 0.5), quantile(ratios, 0.25), quantile(ratios, 0.75), quantile(ratios, 0), quantile(ratios, 1),
         ratios.size()};
  return out;
}

inline double median_ms(const std::vector<frame_cost>& v, bool cpu) {
  std::vector<double> t;
  for (const frame_cost& c : v) t.push_back((cpu ? c.cpu : c.wall) * 1e3);
  return t.empty() ? 0 : quantile(t, 0.5);
}

// Takes "--NAME=N" out of the arguments; fallback when it is absent or bad.
inline int take_count_option(int& argc, char** argv, const char* name, int fallback) {
  const std::string prefix = std::string("--") + name + "=";
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], prefix.c_str(), prefix.size()) == 0) {
      const int n = std::atoi(argv[i] + prefix.size());
      std::copy(argv + i + 1, argv + argc, argv + i);
      --argc;
      return n > 0 ? n : fallback;
    }
  return fallback;
}

// The filter that selects exactly the case of this name.
inline std::string only(const std::string& name) {
  std::string re = "^";
  for (char c : name) {
    if (std::strchr(".^$|()[]{}*+?\\", c)) re += '\\';
    re += c;
  }
  return re + "(/|$)";          // the run name goes on with its settings
}

// Runs the warm-up round and the counted rounds of every added case.
inline frame_rounds run_frame_rounds(int argc, char** argv) {
  const int rounds = take_count_option(argc, argv, "rounds", 15);
  const int frames = take_count_option(argc, argv, "frames", 20);
  benchmark::Initialize(&argc, argv);
  frame_rounds out;
  for (const auto& [name, fn] : frame_cases()) {
    out.names.push_back(name);
    benchmark::RegisterBenchmark(name.c_str(), [fn = fn](benchmark::State& s) { fn(s); })
        ->Iterations(frames)
        ->MeasureProcessCPUTime();
  }
  const size_t n = out.names.size();
  for (int round = 0; round <= rounds; ++round)
    for (size_t k = 0; k < n; ++k) {
      const std::string& name = out.names[(size_t(round) + k) % n];
      frame_collector c;
      benchmark::RunSpecifiedBenchmarks(&c, only(name));
      if (round == 0 || !c.last.count(name)) continue;
      out.costs[name].push_back(c.last[name]);
      out.counters[name] = c.counters[name];
    }
  benchmark::Shutdown();
  return out;
}

// One line per case: median CPU and wall milliseconds per frame, and the
// CPU-time ratio to the baseline with its spread, then the wall-time ratio.
inline void print_frame_rounds(const frame_rounds& r, const std::string& baseline) {
  std::printf("%-26s %9s %9s   %-30s %s\n", "case", "CPU ms", "wall ms",
              ("CPU x " + baseline + ": median (quartiles; extremes)").c_str(), "wall x");
  for (const std::string& name : r.names) {
    const auto found = r.costs.find(name);
    if (found == r.costs.end()) {
      std::printf("%-26s no run\n", name.c_str());
      continue;
    }
    const auto& costs = found->second;
    std::printf("%-26s %9.3f %9.3f", name.c_str(), median_ms(costs, true), median_ms(costs, false));
    if (name != baseline) {
      const ratio_spread c = ratio_of(r, name, baseline), w = ratio_of(r, name, baseline, false);
      std::printf("   %6.2f (%.2f-%.2f; %.2f-%.2f)   %6.2f", c.median, c.low_quartile, c.high_quartile, c.lowest,
                  c.highest, w.median);
    }
    for (const auto& [key, v] : r.counters.count(name) ? r.counters.at(name) : std::map<std::string, double>{})
      std::printf("   %s %.0f", key.c_str(), v);
    std::printf("\n");
  }
}

// A target on the median CPU-time ratio of a to b: prints whether it is met.
inline bool check_ratio(const frame_rounds& r, const std::string& a, const std::string& b, double at_most) {
  const ratio_spread c = ratio_of(r, a, b);
  const bool met = c.rounds > 0 && c.median <= at_most;
  std::printf("target: %s <= %.2f x %s: %s (median %.2f over %zu rounds, quartiles %.2f-%.2f)\n", a.c_str(), at_most,
              b.c_str(), met ? "met" : "NOT met", c.median, c.rounds, c.low_quartile, c.high_quartile);
  return met;
}
