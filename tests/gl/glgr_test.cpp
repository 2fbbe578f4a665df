// The 2D layer's rules that need no GL context: extension names, text
// metrics, chamfered panels, glyphs, the screenshot file and the view maths.
#include <gtest/gtest.h>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include "gl/glgr.h"

namespace {

TEST(GlExtensions, NamesMatchOnlyAsWholeWords) {
  const char* list = "GL_ARB_vertex_buffer_object_extra GL_EXT_blend_minmax GL_EXT_fog_coord";
  EXPECT_TRUE(extension_present("GL_EXT_blend_minmax", list));
  EXPECT_TRUE(extension_present("GL_EXT_fog_coord", list));           // last word
  EXPECT_FALSE(extension_present("GL_ARB_vertex_buffer_object", list)); // a prefix of another name
  EXPECT_FALSE(extension_present("EXT_fog_coord", list));              // a suffix of another name
  EXPECT_FALSE(extension_present("GL_EXT_blend", list));
  EXPECT_FALSE(extension_present("", list));
  EXPECT_FALSE(extension_present("GL_EXT_blend_minmax GL_EXT_fog_coord", list)); // blanks never match
  EXPECT_TRUE(extension_present("GL_A", "GL_AB GL_A"));                 // a later whole occurrence
  EXPECT_TRUE(extension_present("GL_A", "GL_A"));
  EXPECT_FALSE(extension_present("GL_A", ""));
}

std::string mesa_extensions() {     // what Mesa's software renderer offers a compatibility context
  std::ifstream in(CORVANE_SOURCE_DIR "/tests/gl/data/mesa_llvmpipe_extensions.txt");
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(GlExtensions, EveryCapabilityIsFoundInMesasListByItsFullName) {
  const std::string mesa = mesa_extensions();
  ASSERT_GT(mesa.size(), 1000u);
  EXPECT_TRUE(extension_present("GL_EXT_fog_coord", mesa));
  EXPECT_FALSE(extension_present("EXT_fog_coord", mesa));
  EXPECT_FALSE(extension_present("GL_EXT_texture_filter", mesa));   // only a prefix of longer names
  EXPECT_TRUE(extension_present("GL_EXT_texture", mesa));           // beside longer names it prefixes
  static int found;
  gl_lookup every = [](const char*) -> void* { return &found; };
  gl_capabilities c = capabilities_offered(mesa, 45, every);
  EXPECT_TRUE(c.vertex_buffers && c.blend_minmax && c.fog_coord && c.shaders && c.framebuffers &&
              c.mipmap_generation && c.draw_range_elements && c.compressed_upload && c.compressed_read);
  EXPECT_EQ(reinterpret_cast<void*>(gl_ext.glFogCoordfEXT), &found);
  std::string without_fog = mesa;
  without_fog.erase(without_fog.find("GL_EXT_fog_coord "), 17);
  c = capabilities_offered(without_fog, 45, every);
  EXPECT_FALSE(c.fog_coord);
  EXPECT_EQ(gl_ext.glFogCoordfEXT, nullptr);
  EXPECT_TRUE(c.vertex_buffers);
  c = capabilities_offered(mesa, 14, [](const char*) -> void* { return nullptr; });  // no entry points
  EXPECT_FALSE(c.vertex_buffers || c.fog_coord || c.shaders);
  EXPECT_EQ(gl_ext.glBindBufferARB, nullptr);
  gl_ext = gl_entry_points{};
}

TEST(GlExtensions, VersionNumbers) {
  EXPECT_EQ(gl_version_number("2.1 Mesa 22.3.6"), 21);
  EXPECT_EQ(gl_version_number("4.5 (Compatibility Profile) Mesa"), 45);
  EXPECT_EQ(gl_version_number("garbage"), 0);
  EXPECT_EQ(gl_version_number(nullptr), 0);
}

TEST(TextMetrics, WidthsAndCentring) {
  EXPECT_DOUBLE_EQ(text_width("abcde"), 40);                 // 8 n at scale 1
  EXPECT_DOUBLE_EQ(text_width(""), 0);
  EXPECT_DOUBLE_EQ(text_width("abc", 2), 48);
  EXPECT_DOUBLE_EQ(centred_left("abc", 100), 88);             // x - 12
  EXPECT_DOUBLE_EQ(centred_left(std::string_view("\xdb\0z", 3), 100), 88); // every byte counts
}

TEST(FontGlyphs, AtlasCellsHoldTheGlyphsTheirCoordinatesName) {
  std::vector<uint8_t> atlas = atlas_pixels();
  ASSERT_EQ(atlas.size(), 128u * 256u * 4u);
  const glyph_font& f = fonts[0];
  for (int g : {0, int('A'), 0xB3, 0xDB, 255}) {
    std::vector<uint8_t> glyph = glyph_pixels(g);
    int x0 = int(f.left[g] * 128), y0 = int(f.top[g] * 256);
    EXPECT_EQ(int(f.right[g] * 128) - x0, 8);
    EXPECT_EQ(int(f.bottom[g] * 256) - y0, 16);
    for (int row = 0; row < 16; ++row)
      EXPECT_EQ(std::memcmp(&atlas[(size_t(y0 + row) * 128 + x0) * 4], &glyph[size_t(row) * 32], 32), 0) << g;
  }
  // a glyph quad covers only its ink box: nothing set lies outside it, and it is tight
  EXPECT_EQ(f.ink[' '].x1, f.ink[' '].x0);
  EXPECT_TRUE(f.ink[0xDB].x0 == 0 && f.ink[0xDB].y0 == 0 && f.ink[0xDB].x1 == 8 && f.ink[0xDB].y1 == 16);
  for (int g = 1; g < 256; ++g) {
    std::vector<uint8_t> glyph = glyph_pixels(g);
    const glyph_box& b = f.ink[g];
    int inside = 0, outside = 0, top_row = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 8; ++x) {
        bool set = glyph[size_t(y * 8 + x) * 4 + 3] != 0;
        bool in = x >= b.x0 && x < b.x1 && y >= b.y0 && y < b.y1;
        (in ? inside : outside) += set;
        top_row += set && y == b.y0;
      }
    EXPECT_EQ(outside, 0) << g;
    EXPECT_TRUE(inside == 0 || top_row > 0) << g;
  }
}

TEST(FontGlyphs, CodePage437BitmapsExpandMostSignificantBitFirst) {
  auto px = [](const std::vector<uint8_t>& g, int x, int y) { return g[size_t(y * 8 + x) * 4 + 3]; };
  std::vector<uint8_t> blank = glyph_pixels(' ');
  ASSERT_EQ(blank.size(), 8u * 16u * 4u);
  for (uint8_t b : blank) EXPECT_EQ(b, 0);
  std::vector<uint8_t> block = glyph_pixels(0xDB);           // the full block of code page 437
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(px(block, x, y), 255) << x << "," << y;
  std::vector<uint8_t> left_half = glyph_pixels(0xDD);       // the left half block
  EXPECT_EQ(px(left_half, 0, 8), 255);
  EXPECT_EQ(px(left_half, 7, 8), 0);
  std::vector<uint8_t> a = glyph_pixels('A');
  int set = 0;
  for (size_t i = 0; i < a.size(); i += 4) {
    EXPECT_TRUE(a[i + 3] == 0 || (a[i] == 255 && a[i + 1] == 255 && a[i + 2] == 255));
    set += a[i + 3] == 255;
  }
  EXPECT_GT(set, 15);
}

TEST(ChamferedPanel, OnlyAPanelTallerThanTwiceItsCornerIsFilled) {
  EXPECT_FALSE(chamfer_filled(7, 4));
  EXPECT_FALSE(chamfer_filled(8, 4));
  EXPECT_TRUE(chamfer_filled(9, 4));
  EXPECT_TRUE(chamfer_filled(200, 4));
  std::array<vec2, 8> p = chamfer_outline(10, 20, 100, 50, 4);
  EXPECT_DOUBLE_EQ(p[0].x, 14);
  EXPECT_DOUBLE_EQ(p[0].y, 20);
  EXPECT_DOUBLE_EQ(p[2].x, 110);
  EXPECT_DOUBLE_EQ(p[2].y, 24);
  EXPECT_DOUBLE_EQ(p[4].x, 106);
  EXPECT_DOUBLE_EQ(p[4].y, 70);
  EXPECT_DOUBLE_EQ(p[7].x, 10);
  EXPECT_DOUBLE_EQ(p[7].y, 24);
}

TEST(PackedColours, PackedRedLowestByte) {
  uint32_t c = pack_rgba(255, 128, 0, 51);
  EXPECT_EQ(c, 0x330080FFu);
  colquad q = unpack_rgba(c);
  EXPECT_FLOAT_EQ(q.r, 1);
  EXPECT_FLOAT_EQ(q.g, 128 / 255.0f);
  EXPECT_FLOAT_EQ(q.b, 0);
  EXPECT_FLOAT_EQ(q.a, 0.2f);
}

TEST(ScreenshotFile, BmpHeadersAreExact) {
  const uint8_t px[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24};
  std::vector<uint8_t> f = screenshot_bmp(3, 2, px);
  const uint8_t head[54] = {
    'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,           // size 54 + 24, offset 54
    40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 32, 0,         // 3 x 2, 1 plane, 32 bits
    0, 0, 0, 0, 24, 0, 0, 0, 0xE8, 3, 0, 0, 0xE8, 3, 0, 0,    // no compression, 24 bytes, 1000 per metre
    0, 0, 0, 0, 0, 0, 0, 0};
  ASSERT_EQ(f.size(), 78u);
  EXPECT_EQ(std::memcmp(f.data(), head, 54), 0);
  EXPECT_EQ(std::memcmp(f.data() + 54, px, 24), 0);
}

TEST(TextureSizes, DxtLevelSizes) {
  EXPECT_EQ(dxt_level_bytes(256, 256, 1), 64u * 64u * 8u);
  EXPECT_EQ(dxt_level_bytes(256, 256, 5), 64u * 64u * 16u);
  EXPECT_EQ(dxt_level_bytes(1, 1, 3), 16u);
  EXPECT_EQ(dxt_level_bytes(6, 2, 1), 16u);
  // without the entry point nothing is uploaded
  uint8_t data[8] = {};
  EXPECT_EQ(compressed_texture(4, 4, 1, data, 1, texture_None), 0u);
}

TEST(FrustumPlanes, IdentityMatricesGiveTheUnitCube) {
  double id[16] = {};
  for (int i = 0; i < 4; ++i) id[i * 5] = 1;
  frustum_planes f = frustum_from(id, id);
  EXPECT_DOUBLE_EQ(f.plane[0].x, 1 / std::sqrt(1.0));  // left: x + 1 >= 0
  EXPECT_DOUBLE_EQ(f.plane[0].w, 1);
  EXPECT_DOUBLE_EQ(f.plane[1].x, -1);                  // right: 1 - x >= 0
  EXPECT_DOUBLE_EQ(f.plane[5].z, -1);                  // far
  EXPECT_TRUE(sphere_visible(f, 0.1, {0, 0, 0}));
  EXPECT_TRUE(sphere_visible(f, 0.5, {1.4, 0, 0}));    // reaches inside
  EXPECT_FALSE(sphere_visible(f, 0.5, {1.5, 0, 0}));   // touches from outside: distance -0.5
  EXPECT_FALSE(sphere_visible(f, 0.1, {0, -3, 0}));
}

TEST(FrustumPlanes, PerspectiveNearAndFarPlanes) {
  // gluPerspective(90°, 1, 1, 100), column-major
  double p[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -101.0 / 99, -1, 0, 0, -200.0 / 99, 0};
  double id[16] = {};
  for (int i = 0; i < 4; ++i) id[i * 5] = 1;
  frustum_planes f = frustum_from(p, id);
  EXPECT_TRUE(sphere_visible(f, 0.1, {0, 0, -50}));
  EXPECT_FALSE(sphere_visible(f, 0.1, {0, 0, -0.5}));  // in front of the near plane
  EXPECT_FALSE(sphere_visible(f, 0.1, {0, 0, -101}));  // behind the far plane
  EXPECT_FALSE(sphere_visible(f, 1, {-20, 0, -10}));   // outside the left plane
  EXPECT_NEAR(f.plane[4].z * f.plane[4].z + f.plane[4].x * f.plane[4].x, 1, 1e-12);
}

TEST(ViewRotation, EulerForwardThenBackwardIsTheIdentity) {
  vec3 a{0.3, -1.1, 2.0};
  double m[16], n[16];
  euler_matrix(a, 1, m);
  euler_matrix(a, -1, n);
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) {
      double s = 0;
      for (int k = 0; k < 4; ++k) s += m[k * 4 + r] * n[c * 4 + k];
      EXPECT_NEAR(s, r == c ? 1 : 0, 1e-12);
    }
  euler_matrix({0, 0, pi / 2}, 1, m);                  // about z: x turns onto y
  EXPECT_NEAR(m[0], 0, 1e-12);
  EXPECT_NEAR(m[1], 1, 1e-12);
  euler_matrix({pi / 2, 0, 0}, 1, m);                  // about x: y turns onto z
  EXPECT_NEAR(m[6], 1, 1e-12);
}

TEST(ViewRotation, RigidInverseUndoesRotationAndTranslation) {
  double r[16];
  euler_matrix({0.4, 0.2, -0.7}, 1, r);
  float m[16];
  for (int i = 0; i < 16; ++i) m[i] = float(r[i]);
  m[12] = 3;
  m[13] = -2;
  m[14] = 5;
  float inv[16];
  rigid_inverse(m, inv);
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 4; ++col) {
      float s = 0;
      for (int k = 0; k < 4; ++k) s += inv[k * 4 + row] * m[col * 4 + k];
      EXPECT_NEAR(s, row == col ? 1 : 0, 1e-5) << row << "," << col;
    }
  EXPECT_EQ(inv[3], 0);
  EXPECT_EQ(inv[15], 1);
}

}  // namespace
