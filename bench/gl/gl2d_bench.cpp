// The 2D layer on the editor's worst page: 100 panels and 500 labels of 20
// characters drawn in one frame, against an empty frame.
#include "gl/glgr.h"
#include "frame_ratio.h"

namespace {

bench_window win;

void empty(benchmark::State& state) {
  for (auto _ : state) {
    begin_frame();
    end_frame(win);
  }
}

void labels_and_panels(benchmark::State& state) {
  constexpr uint32_t fill = pack_rgba(128, 128, 128, 210), outline = 0xFFFFFFFFu, text = 0xFF00FFFFu;
  for (auto _ : state) {
    begin_frame();
    mode_2d(win.width, win.height);
    for (int i = 0; i < 100; ++i) fill_rect(8 * (i % 10) * 10, 6 * (i / 10) * 10, 70, 50, fill, outline);
    for (int i = 0; i < 500; ++i) draw_text("Label 0123456789 abc", text, (i % 5) * 160, (i / 5) * 6);
    end_frame(win);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (!open_bench_window(win)) {
    std::fprintf(stderr, "bench_gl2d: no GL window (%s)\n", SDL_GetError());
    return 1;
  }
  probe_capabilities();
  build_font();
  add_frame_case("empty", empty);
  add_frame_case("500 labels, 100 panels", labels_and_panels);
  print_frame_rounds(run_frame_rounds(argc, argv), "empty");
  close_bench_window(win);
  return 0;
}
