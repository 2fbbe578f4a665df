// The 2D layer in a real GL context: a batch puts on screen exactly what the
// calls draw one by one, and outlines light the pixels of a line loop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/gl_window.h"

namespace {

std::vector<uint8_t> drawn(void (*draw)(), bool batched) {
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  mode_2d(gl_window::size, gl_window::size);
  if (batched) begin_2d_batch();
  draw();
  if (batched) end_2d_batch();
  std::vector<uint8_t> px(size_t(gl_window::size) * gl_window::size * 4);
  glFinish();
  glReadPixels(0, 0, gl_window::size, gl_window::size, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
  return px;
}

// A page's worth of overlaps: outlines under later fills, text on panels, a
// line across everything, a translucent panel and a texture of its own.
void page() {
  const uint32_t grey = pack_rgba(128, 128, 128, 210), white = 0xFFFFFFFFu, red = pack_rgba(255, 0, 0, 255);
  draw_panel(10, 10, 200, 150, 4, grey, white);
  for (int i = 0; i < 4; ++i) {
    fill_rect(20 + 45 * i, 30, 40, 20, grey, white);
    draw_text_centred("Go" + std::to_string(i), white, 40 + 45 * i, 32);
  }
  fill_rect(30, 45, 60, 30, pack_rgba(0, 128, 255, 120), pack_rgba(0, 0, 0, 0));  // over two outlines
  draw_line(0, 0, 255, 200, red);
  draw_text("over the line", pack_rgba(255, 255, 0, 255), 20, 90);
  draw_textured(fonts[0].atlas, true, pack_rgba(0, 255, 0, 255), 150, 120, 64, 64);
  draw_panel(100, 100, 120, 100, 6, pack_rgba(0, 0, 255, 90), red);
}

}  // namespace

TEST(Gl2d, ABatchPutsThePixelsOfCallByCallOnScreenInAFewDraws) {
  build_font();
  const std::vector<uint8_t> one_by_one = drawn(page, false);
  EXPECT_TRUE(drawn(page, true) == one_by_one);
  begin_2d_batch();
  page();
  EXPECT_LE(batch_2d.runs.size(), 8u);                  // 49 calls
  end_2d_batch();
  EXPECT_TRUE(batch_2d.vertices.empty() && batch_2d.lines.empty());
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(Gl2d, OutlinesLightThePixelsOfALineLoop) {
  build_font();
  const auto outlines = [] {
    fill_rect(13, 7, 101, 37, 0, 0xFFFFFFFFu);
    draw_panel(30, 60, 90, 70, 9, 0, 0xFFFFFFFFu);
  };
  const auto loops = [] {
    switch_gl(switch_texture_2d, false);
    set_colour(0xFFFFFFFFu);
    for (const std::vector<vec2>& loop : {std::vector<vec2>{{13, 7}, {114, 7}, {114, 44}, {13, 44}},
                                          [] {
                                            const auto p = chamfer_outline(30, 60, 90, 70, 9);
                                            return std::vector<vec2>(p.begin(), p.end());
                                          }()}) {
      glBegin(GL_LINE_LOOP);
      for (const vec2& p : loop) glVertex2d(p.x, p.y);
      glEnd();
    }
  };
  for (bool batched : {false, true}) EXPECT_TRUE(drawn(outlines, batched) == drawn(loops, false)) << batched;
}
