// mkcursor: draws the designer's mouse cursor and writes it as a PNG held in
// a C++ source file.
//
// usage: mkcursor OUTPUT.cpp [PICTURE.png]
//
// The cursor is a 32 by 32 cross hair: yellow arms with a black rim and a red
// centre, transparent elsewhere. The frame draws it with its top-left corner
// 16 pixels left of and above the mouse, so the hot spot is pixel (16, 16).
// The optional second file receives the PNG itself, for looking at it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <png.h>
#include <vector>

namespace {

constexpr int size = 32;
struct rgba { uint8_t r, g, b, a; };
constexpr rgba clear = {0, 0, 0, 0}, rim = {0, 0, 0, 255};
constexpr rgba arm = {255, 210, 0, 255}, centre = {255, 0, 0, 255};

// What lies at (x, y) before the rim is added.
rgba body(int x, int y) {
  bool mid_x = x == 15 || x == 16, mid_y = y == 15 || y == 16;
  bool along = (x >= 3 && x <= 12) || (x >= 19 && x <= 28);
  bool down = (y >= 3 && y <= 12) || (y >= 19 && y <= 28);
  if (mid_x && mid_y) return centre;
  if ((mid_y && along) || (mid_x && down)) return arm;
  return clear;
}

std::vector<rgba> draw() {
  std::vector<rgba> px(size * size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      rgba p = body(x, y);
      for (int dy = -1; dy <= 1 && p.a == 0; ++dy)
        for (int dx = -1; dx <= 1 && p.a == 0; ++dx) {
          int nx = x + dx, ny = y + dy;
          if (nx >= 0 && ny >= 0 && nx < size && ny < size && body(nx, ny).a) p = rim;
        }
      px[y * size + x] = p;
    }
  return px;
}

int fail(const char* what) {
  std::fprintf(stderr, "mkcursor: %s\n", what);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) return fail("usage: mkcursor OUTPUT.cpp [PICTURE.png]");
  std::vector<rgba> px = draw();
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = size;
  image.height = size;
  image.format = PNG_FORMAT_RGBA;
  png_alloc_size_t length = 0;
  if (!png_image_write_to_memory(&image, nullptr, &length, 0, px.data(), 0, nullptr))
    return fail("cannot size the PNG");
  std::vector<uint8_t> png(length);
  if (!png_image_write_to_memory(&image, png.data(), &length, 0, px.data(), 0, nullptr))
    return fail("cannot encode the PNG");
  png.resize(length);

  FILE* out = std::fopen(argv[1], "w");
  if (!out) return fail("cannot write the source file");
  std::fputs("// Generated at build time by mkcursor.\n#include \"data/assets.h\"\n\n", out);
  std::fputs("const uint8_t cursor_png[] = {", out);
  for (size_t i = 0; i < png.size(); ++i) std::fprintf(out, "%s0x%02x,", i % 16 ? "" : "\n  ", png[i]);
  std::fputs("\n};\nconst size_t cursor_png_size = sizeof cursor_png;\n", out);
  if (std::fclose(out) != 0) return fail("cannot write the source file");
  if (argc == 3) {
    FILE* pic = std::fopen(argv[2], "wb");
    if (!pic || std::fwrite(png.data(), 1, png.size(), pic) != png.size() || std::fclose(pic) != 0)
      return fail("cannot write the picture");
  }
  return 0;
}
