// mkfont: turns a PSF1 console font (gzip-compressed) into the glyph table
// of the text font, written as a C++ source file.
//
// usage: mkfont FONT.psf.gz OUTPUT.cpp
//
// The font must hold 8 by 16 glyphs in code page 437 order. When it carries
// a Unicode table, every printable ASCII glyph is checked against it so that a
// font in another order fails the build instead of drawing wrong letters.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>
#include <zlib.h>

namespace {

constexpr int glyphs = 256;
constexpr int rows = 16;
constexpr uint8_t psf1_magic0 = 0x36, psf1_magic1 = 0x04;
constexpr uint8_t psf1_mode512 = 0x01, psf1_has_table = 0x02, psf1_seq = 0x04;

int fail(const std::string& what) {
  std::fprintf(stderr, "mkfont: %s\n", what.c_str());
  return 1;
}

bool read_gzip(const char* path, std::vector<uint8_t>& out) {
  gzFile f = gzopen(path, "rb");
  if (!f) return false;
  uint8_t buf[4096];
  int n;
  while ((n = gzread(f, buf, sizeof buf)) > 0) out.insert(out.end(), buf, buf + n);
  bool ok = n == 0;
  gzclose(f);
  return ok;
}

// The Unicode values listed for each glyph (sequences skipped).
std::vector<std::vector<uint16_t>> unicode_table(const std::vector<uint8_t>& d, size_t at, int count) {
  std::vector<std::vector<uint16_t>> table(count);
  int g = 0;
  bool in_sequence = false;
  for (size_t i = at; i + 1 < d.size() && g < count; i += 2) {
    uint16_t v = uint16_t(d[i] | d[i + 1] << 8);
    if (v == 0xFFFF) { ++g; in_sequence = false; }
    else if (v == 0xFFFE) in_sequence = true;
    else if (!in_sequence) table[g].push_back(v);
  }
  return table;
}

bool ascii_in_place(const std::vector<std::vector<uint16_t>>& table) {
  for (uint16_t c = 32; c < 127; ++c) {
    bool found = false;
    for (uint16_t v : table[c]) found = found || v == c;
    if (!found && !table[c].empty()) return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return fail("usage: mkfont FONT.psf.gz OUTPUT.cpp");
  std::vector<uint8_t> d;
  if (!read_gzip(argv[1], d)) return fail(std::string("cannot read ") + argv[1]);
  if (d.size() < 4 || d[0] != psf1_magic0 || d[1] != psf1_magic1)
    return fail(std::string(argv[1]) + " is not a PSF1 font");
  uint8_t mode = d[2];
  if (d[3] != rows) return fail("the font's glyphs are not 16 rows high");
  int count = (mode & psf1_mode512) ? 512 : 256;
  size_t bitmap_end = 4 + size_t(count) * rows;
  if (d.size() < bitmap_end) return fail("the font file is truncated");
  if ((mode & (psf1_has_table | psf1_seq)) && !ascii_in_place(unicode_table(d, bitmap_end, count)))
    return fail("the font's glyphs are not in code page 437 order");

  FILE* out = std::fopen(argv[2], "w");
  if (!out) return fail(std::string("cannot write ") + argv[2]);
  std::fprintf(out, "// Generated at build time by mkfont from %s.\n", argv[1]);
  std::fprintf(out, "#include \"data/assets.h\"\n\nconst uint8_t font_cp437_8x16[%d] = {\n", glyphs * rows);
  for (int g = 0; g < glyphs; ++g) {
    std::fputs("  ", out);
    for (int r = 0; r < rows; ++r) std::fprintf(out, "0x%02x,", d[4 + g * rows + r]);
    std::fputs("\n", out);
  }
  std::fputs("};\n", out);
  return std::fclose(out) == 0 ? 0 : fail(std::string("cannot write ") + argv[2]);
}
