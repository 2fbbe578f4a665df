// How long the designer takes from its start to its first frame on screen.
//
// Each round forks a child that does what the program does from main() to
// the end of its first frame (the window and its context, the engine, the
// template, the pages, one frame swapped and finished) in the demo
// installation, and reports its process CPU time (all threads); the parent
// measures the wall time from the fork to that report. Loading the program
// itself is not counted: the child is already in memory. Target: the first
// frame within 0.5 s of wall time, median of the rounds (--rounds=N, 7).
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <vector>

#include "../gl/frame_ratio.h"
#include "editor/grpgui.h"
#include "shell/app.h"
#include "shell/dogl.h"
#include "shell/tim.h"

namespace {

const char* const measuring[] = {"corvane", "--no-frame-cap"};  // as started for measuring

// In the child: start, one frame, the CPU seconds so far; -1 without a window.
double first_frame() {
  tim_init();
  dogl_init();
  gui_init();
  if (!start_designer(false, parse_options(2, measuring))) return -1;
  frame(1.0 / 60, 1.0 / 60);
  glFinish();
  return double(std::clock()) / CLOCKS_PER_SEC;
}

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  const int rounds = take_count_option(argc, argv, "rounds", 7);
  const fs::path demo = CORVANE_DEMO_ROOT, work = fs::temp_directory_path() / "corvane-bench-startup";
  fs::remove_all(work);
  fs::create_directories(work);
  for (const char* folder : {"Meshes", "Textures"}) fs::create_directory_symlink(demo / folder, work / folder);
  fs::current_path(work);
  std::vector<double> wall, cpu;
  for (int r = 0; r < rounds; ++r) {
    int link[2];
    if (pipe(link) != 0) return 1;
    std::fflush(stdout);                // the child's copy of the buffer must be empty
    const auto t0 = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
      const double seconds = first_frame();
      if (write(link[1], &seconds, sizeof seconds) != sizeof seconds) _exit(1);
      _exit(0);
    }
    double seconds = -1;
    const bool read_it = read(link[0], &seconds, sizeof seconds) == sizeof seconds;
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    close(link[0]);
    close(link[1]);
    waitpid(child, nullptr, 0);
    if (!read_it || seconds < 0) {
      std::fprintf(stderr, "bench_glstartup: the designer did not start (no display?)\n");
      return 1;
    }
    wall.push_back(elapsed);
    cpu.push_back(seconds);
    std::printf("round %d: first frame after %.3f s, %.3f s of CPU\n", r + 1, elapsed, seconds);
  }
  const double median_wall = quantile(wall, 0.5);
  std::printf("start to first frame: median %.3f s wall (%.3f-%.3f), %.3f s CPU\n", median_wall, quantile(wall, 0),
              quantile(wall, 1), quantile(cpu, 0.5));
  std::printf("target: first frame within 0.5 s: %s\n", median_wall <= 0.5 ? "met" : "NOT met");
  fs::current_path(demo);
  fs::remove_all(work);
  return 0;
}
